#pragma once
// What the value handlers open besides message boxes: the pick lists, the
// model's pickers, the bit-field, free-text and user character editors and
// the read/write password dialog. Those windows belong to the sheet layer;
// the engine reaches them through this interface, which the program
// installs once the windows exist and tests install to answer the calls.
// While none is installed nothing opens and the cell stays as it is.
#include "core/cmcBuff.h"

#include <array>
#include <cstdint>
#include <string>

class cmcCellCapsule;

class indCellPopups {
public:
    virtual ~indCellPopups() = default;

    // Each Open call builds a window that keeps a copy of the originating
    // capsule and later runs it again with the picked cell (phase 2) or the
    // edited value. They answer whether the window opened.

    // The borderless pick list under the cell: the cells of `label` in the
    // overlay sheet `sheetKey`, the one with index `focusIndex` current.
    virtual bool OpenChoiceList(const cmcCellCapsule& origin, int label, int focusIndex,
                                const std::string& sheetKey) = 0;
    // The model's pick list whose rows come from the radio data (banks,
    // channels, IDs), chosen by the sheet code.
    virtual bool OpenPicker(const cmcCellCapsule& origin, int label, int focusIndex, const std::string& sheetKey,
                            const std::string& sheetCode) = 0;
    // The bit-field editor: the mask holds item i at bit 25 - i; items
    // first..last; itemKind chooses the header texts, markStyle the mark of
    // a set bit; sheetKey names an overlay sheet of its own or is empty.
    virtual bool OpenBitEditor(const cmcCellCapsule& origin, uint32_t mask, int firstItem, int lastItem,
                               int itemKind, int markStyle, const std::string& sheetKey) = 0;
    // The free-text editor with the text's bytes (fully selected or with the
    // caret after them) and the longest text the cell takes.
    virtual bool OpenTextEditor(const cmcCellCapsule& origin, const cmcBuff& text, bool selectAll,
                                int maxLength) = 0;
    // The user character editor: dots of dotSize pixels, across x down of
    // them, one byte (0 or 1) per dot row by row from the top.
    virtual bool OpenCharEditor(const cmcCellCapsule& origin, int dotSize, int across, int down,
                                const cmcBuff& dots) = 0;
    // The modal read/write password dialog starting with the given text
    // (bytes up to the first zero). True when the user confirmed; result
    // then holds the new password, filled up with zero bytes.
    virtual bool AskReadWritePassword(const std::string& initial, std::array<uint8_t, 16>& result) = 0;

    // The main object's windows that cells open or ask about.

    // The modal repeater list window of the group of list kind 22, 27 or 31
    // that the originating cell's index names; true when it opened.
    virtual bool OpenRepeaterSetWindow(const cmcCellCapsule& origin, int kind) = 0;
    // The number of sub-items of the main menu's item whose cell has the
    // label; -1 when the main menu has no such item.
    virtual int MainMenuSubItemCount(int label) const = 0;
};

// The installed pop-ups, or null.
indCellPopups* CellPopups();
// Installs the pop-ups (null: none) and returns the previous ones.
indCellPopups* SetCellPopups(indCellPopups* popups);

class ScopedCellPopups {
public:
    explicit ScopedCellPopups(indCellPopups* popups) : m_previous(SetCellPopups(popups)) {}
    ~ScopedCellPopups() { SetCellPopups(m_previous); }
    ScopedCellPopups(const ScopedCellPopups&) = delete;
    ScopedCellPopups& operator=(const ScopedCellPopups&) = delete;

private:
    indCellPopups* m_previous;
};
