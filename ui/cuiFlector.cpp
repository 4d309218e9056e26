#include "ui/cuiFlector.h"

#include "core/EventIds.h"
#include "core/TextFunctions.h"
#include "cells/indActiveCell.h"
#include "core/cmcCellCapsule.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiOpenWindows.h"

#include <algorithm>
#include <vector>

namespace {

// How far right of the cell's left edge a pick list begins.
constexpr int PopupIndent = 8;
// The window's size while the sheet's full size is measured: larger than
// any frame around the cells.
constexpr int MeasuringSize = 4096;

// The pick lists that are open, oldest first.
std::unique_ptr<cuiSheet> PlainSheet(plat::Container* window, const cmcCellCapsule& origin, int focusLabel,
                                     int focusIndex, cmcGTex* texts, const std::string& key, plat::ImageList* images)
{
    return std::make_unique<cuiSheet>(window, &origin, focusLabel, focusIndex, texts, key, images);
}

} // namespace

cuiFlector::cuiFlector(const cmcCellCapsule& origin, int focusLabel, int focusIndex, cmcGTex* texts,
                       const std::string& key)
    : cuiFlector(origin, focusLabel, focusIndex, texts, key, PlainSheet)
{
}

cuiFlector::cuiFlector(const cmcCellCapsule& origin, int focusLabel, int focusIndex, cmcGTex* texts,
                       const std::string& key, const SheetMaker& makeSheet)
    : m_owner(origin.Owner), m_texts(texts), m_key(key), m_images(origin.Images)
{
    cuiOpenWindows<cuiFlector>::Add(this);
    Build(origin, focusLabel, focusIndex, makeSheet);
}

cuiFlector::~cuiFlector()
{
    m_events.Reset();
    cuiOpenWindows<cuiFlector>::Remove(this);
    m_sheet.reset();
}

cuiFlector* cuiFlector::Newest() { return cuiOpenWindows<cuiFlector>::Newest(); }

void cuiFlector::Build(const cmcCellCapsule& origin, int focusLabel, int focusIndex, const SheetMaker& makeSheet)
{
    m_window = new plat::Form(m_owner);
    m_window->SetBorderStyle(plat::bsNone);
    m_window->SetBorderIcons(plat::biSystemMenu);
    m_window->SetCaption(plat::ApplicationTitle());
    // Esc closes the list wherever the focus is.
    m_window->SetKeyPreview(true);

    m_sheet = makeSheet(m_window, origin, focusLabel, focusIndex, m_texts, m_key, m_images);
    // A pick hides the list, which takes its activation away; it closes at
    // the pick also where the window system does not report that.
    m_sheet->SetCellHandler([this](cmcCellCapsule* capsule, int notify) {
        const CellExecResult result = m_engine.Exec(capsule, notify);
        if (capsule->Phase == cpPicked) m_window->Release();
        return result;
    });
    m_sheet->SetPopupMode(true);
    m_sheet->Show();

    FitToCells();
    m_sheet->ScrollHome();
    PlacePopupAtCell(origin, *m_window);

    m_window->OnDestroy = [this] { OnFormDestroy(); };
    m_window->OnDeactivate = [this] { OnFormDeactivate(); };
    m_window->OnKeyDown = [this](int& key, plat::ShiftState shift) { OnFormKeyDown(key, shift); };
    m_window->Show();
    // The keys go to the list.
    if (cuiGrid* grid = m_sheet->Grid(); grid != nullptr && grid->Enabled()) grid->SetFocus();
    m_events = cmcEvSubscription(MemberEventHandler<&cuiFlector::OnEvent>(this));
}

void cuiFlector::FitToCells()
{
    const plat::Rect work = plat::DesktopWorkArea();
    cuiGrid* grid = m_sheet->Grid();
    grid->SetScrollBars(plat::ssNone);
    // Measured on a window with room to spare around the cells.
    m_window->SetBounds(m_window->Left(), m_window->Top(), MeasuringSize, MeasuringSize);
    int width = m_sheet->FullWidth();
    int height = m_sheet->FullHeight();
    if (width > work.Width() || height > work.Height()) {
        // Too large for the desktop: scroll bars, and no more than the work
        // area in either direction; measured again at that size, where the
        // scroll bars show.
        grid->SetScrollBars(plat::ssBoth);
        m_window->SetBounds(m_window->Left(), m_window->Top(), std::min(width, work.Width()),
                            std::min(height, work.Height()));
        width = std::min(m_sheet->FullWidth(), work.Width());
        height = std::min(m_sheet->FullHeight(), work.Height());
    }
    m_window->SetBounds(m_window->Left(), m_window->Top(), width, height);
}

void cuiFlector::OnFormDestroy() { delete this; }

void cuiFlector::OnFormDeactivate() { m_window->Release(); }

void cuiFlector::OnFormKeyDown(int& key, plat::ShiftState)
{
    if (key != plat::VK_ESCAPE) return;
    m_window->SetModalResult(plat::mrCancel);
    m_window->Release();
}

void cuiFlector::OnEvent(const dst_Event* event)
{
    const bool ownerCloses = event->IsClosingOf(m_owner);
    if (ownerCloses || event->type == ev::ClosePopups) m_window->Release();
}

plat::Point PopupPositionAtCell(const plat::Rect& cell, int width, int height, const plat::Rect& workArea)
{
    int top = cell.bottom;
    bool low = false;
    if (top + height > workArea.bottom) {
        if (height >= cell.top - workArea.top) {
            low = true;
            top = workArea.bottom - height;
        } else {
            top = cell.top - height;
        }
    }
    int left = cell.left + PopupIndent;
    if (left + width > workArea.right) {
        left = workArea.right - width;
        // Standing beside the cell keeps it in view.
        if (low && width < cell.left - workArea.left) left = cell.left - width;
    }
    return {left, top};
}

void PlacePopupAtCell(const cmcCellCapsule& capsule, plat::PlacedControl& window)
{
    if (capsule.CellRect == nullptr || capsule.Owner == nullptr) {
        KeepInWorkArea(window);
        return;
    }
    const plat::Point origin = capsule.Owner->ClientToScreen({0, 0});
    const plat::Rect& r = *capsule.CellRect;
    const plat::Rect cell{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
    const plat::Point at = PopupPositionAtCell(cell, window.Width(), window.Height(), window.WorkArea());
    window.SetLeft(at.x);
    window.SetTop(at.y);
}
