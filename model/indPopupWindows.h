#pragma once
// The windows that cells open, as the running program has them: the pick
// lists under a cell (cuiFlector for the overlay's choice lists, indFlector
// for the lists that come from the radio data), the bit-field, free-text and
// user character editors and the read/write password dialog of the main
// object.
//
// The main object makes one for its lifetime: it installs itself as the
// cells' pop-ups and puts the previous ones back when it goes.
#include "cells/CellPopups.h"

class indPopupWindows : public indCellPopups {
public:
    indPopupWindows();
    ~indPopupWindows() override;
    indPopupWindows(const indPopupWindows&) = delete;
    indPopupWindows& operator=(const indPopupWindows&) = delete;

    bool OpenChoiceList(const cmcCellCapsule& origin, int label, int focusIndex, const std::string& sheetKey) override;
    bool OpenPicker(const cmcCellCapsule& origin, int label, int focusIndex, const std::string& sheetKey,
                    const std::string& sheetCode) override;
    bool OpenBitEditor(const cmcCellCapsule& origin, uint32_t mask, int firstItem, int lastItem, int itemKind,
                       int markStyle, const std::string& sheetKey) override;
    bool OpenTextEditor(const cmcCellCapsule& origin, const cmcBuff& text, bool selectAll, int maxLength) override;
    bool OpenCharEditor(const cmcCellCapsule& origin, int dotSize, int across, int down, const cmcBuff& dots) override;
    bool AskReadWritePassword(const std::string& initial, std::array<uint8_t, 16>& result) override;
    // The repeater window of the group, over the main form.
    bool OpenRepeaterSetWindow(const cmcCellCapsule& origin, int kind) override;
    // Counted on the main form's menu bar.
    int MainMenuSubItemCount(int label) const override;

private:
    indCellPopups* m_previous;
};
