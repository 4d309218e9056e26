#pragma once
// The borderless pick list that opens right under a cell when the cell
// offers choices: a sheet in pop-up mode on a window of its own. Enter, a
// double click or a release of the left button hands the picked cell back
// to the cell that opened the list (phase 2); the list closes as soon as its
// window loses activation (a click elsewhere, or the pick itself, which
// hides the window), on Esc, when the pop-ups are told to close (event 21)
// and when the sheet that opened it goes (event 1 for its grid).
//
// The object frees itself when its window is destroyed; whoever opens a
// pick list does not keep it.
#include "cells/indActiveCell.h"
#include "core/cmcEvMan.h"
#include "platform/base/Rect.h"
#include "platform/base/ShiftState.h"

#include <functional>
#include <memory>
#include <string>

class cmcCellCapsule;
class cmcGTex;
class cuiSheet;
namespace plat {
class Container;
class Control;
class Form;
class ImageList;
class PlacedControl;
} // namespace plat

class cuiFlector {
public:
    // Builds the pick list of the sheet `key` for the originating capsule
    // (copied by the sheet), with the cursor on the cell of the focus label
    // and index, sizes it to its cells within the desktop work area, places
    // it at the cell and shows it.
    cuiFlector(const cmcCellCapsule& origin, int focusLabel, int focusIndex, cmcGTex* texts, const std::string& key);
    virtual ~cuiFlector();
    cuiFlector(const cuiFlector&) = delete;
    cuiFlector& operator=(const cuiFlector&) = delete;

    // Window handlers: destruction frees the object, deactivation releases
    // the window, Esc cancels and releases it (the key goes on).
    void OnFormDestroy();
    void OnFormDeactivate();
    void OnFormKeyDown(int& key, plat::ShiftState shift);
    void OnEvent(const dst_Event* event);

    plat::Form* Window() const { return m_window; }
    cuiSheet* Sheet() const { return m_sheet.get(); }
    plat::Control* OwnerControl() const { return m_owner; }
    const std::string& Key() const { return m_key; }

    // The pick list opened last that is still open; null when none is.
    static cuiFlector* Newest();

protected:
    // Makes the (not yet shown) sheet of the pick list on the window.
    using SheetMaker = std::function<std::unique_ptr<cuiSheet>(plat::Container* window, const cmcCellCapsule& origin,
                                                               int focusLabel, int focusIndex, cmcGTex* texts,
                                                               const std::string& key, plat::ImageList* images)>;
    // The construction with the sheet of the maker in place of a plain one.
    cuiFlector(const cmcCellCapsule& origin, int focusLabel, int focusIndex, cmcGTex* texts, const std::string& key,
               const SheetMaker& makeSheet);

private:
    void Build(const cmcCellCapsule& origin, int focusLabel, int focusIndex, const SheetMaker& makeSheet);
    // The window at the size that shows every cell, within the work area.
    void FitToCells();

    plat::Control* m_owner;
    cmcGTex* m_texts;
    std::string m_key;
    plat::ImageList* m_images;
    plat::Form* m_window = nullptr;
    std::unique_ptr<cuiSheet> m_sheet;
    indActiveCell m_engine;
    cmcEvSubscription m_events;
};

// Where a pop-up of width x height goes for a cell (screen coordinates)
// within the work area: under the cell, 8 pixels in from its left edge;
// above it when it would pass the bottom of the work area and fits above;
// otherwise (the "low" case) against the bottom of the work area. A pop-up
// that would pass the right edge is moved left to end there, and in the low
// case, when it fits left of the cell, it stands left of the cell instead
// of covering it. Answers the pop-up's top-left corner.
plat::Point PopupPositionAtCell(const plat::Rect& cell, int width, int height, const plat::Rect& workArea);

// Places a window next to the capsule's cell (its rectangle in the client
// coordinates of the capsule's owner control) within the desktop work area.
// Without a cell rectangle or owner the window is only kept in the work
// area.
void PlacePopupAtCell(const cmcCellCapsule& capsule, plat::PlacedControl& window);
