#pragma once
// One grid position of a sheet: the cell that stands there and the state
// bits of multi-selection.
#include "core/cmcCellObj.h"

#include <cstdint>

class clsSheetCellId {
public:
    // Flag bits.
    static constexpr uint8_t SelectableInMulti = 0x01; // may be marked in multi-selection
    static constexpr uint8_t Marked = 0x02;
    static constexpr uint8_t LineHighlighted = 0x04;

    // A fresh default cell (no category, no label), selectable in
    // multi-selection, neither marked nor highlighted.
    clsSheetCellId() = default;

    bool IsSelectableInMulti() const { return (Flags & SelectableInMulti) != 0; }
    bool IsMarked() const { return (Flags & Marked) != 0; }
    bool IsLineHighlighted() const { return (Flags & LineHighlighted) != 0; }

    cmcCellObj Cell;
    uint8_t Flags = SelectableInMulti;
};
