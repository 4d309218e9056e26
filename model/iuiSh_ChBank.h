#pragma once
// The memory channels of one bank: the layout's channel row repeated once
// per channel of the bank, plus the empty row where a new channel is typed;
// the columns that do not apply to the bank's trunking type hidden; a title
// that names the bank and how many channels still fit; a print header with
// the bank's name.
//
// The sheet code is "Bank n" (n from 0). The layout's bare "LoopFrom" must
// stand at grid row 5 (five header rows), the channel row being the
// sheet's last. Inserted and deleted channels reach the open sheet as events
// 55 and 57 (one row more or less), its title as event 53.
#include "core/cmcEvMan.h"
#include "model/iuiSh_ListRows.h"

class iuiSh_ChBank : public iuiSh_ListRows {
public:
    iuiSh_ChBank(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex,
                 cmcGTex* texts, const std::string& key, plat::ImageList* images);
    ~iuiSh_ChBank() override;

    // Stores the code; for "Bank n" the bank, its channel count and first
    // channel are taken.
    const std::string& SetCode(const std::string& code) override;
    // The sheet, then its title (event 53).
    void Show() override;
    void ApplyDirective(std::string_view item) override;
    // The base's cells; then every column that a cell of the bank's type
    // does not use is hidden.
    void BuildCells(const std::string& cellsKey) override;
    // "<head> <bank + 1>: <name> <SmarTrunk mark>", the print header.
    std::string Title() const override;
    // Only a bank that holds channels is printed.
    bool IsPrintable() const override;
    // Whether the cell's column is hidden for the bank's trunking type.
    bool IsColumnHidden(const cmcCellObj& cell) const;

    void OnEvent(const dst_Event* event);

    int Bank() const { return m_bank; }
    int ChannelCount() const { return m_channelCount; }
    int FirstChannel() const { return m_firstItem; }

private:
    void RefreshTitle();
    void RemoveChannelRow();

    int m_bank = 0;
    int m_channelCount = 0;
    cmcEvSubscription m_events;
};
