#include "model/iuiSh_ChBank.h"

#include "cells/CellQueries.h"
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "core/cmcScrBlock.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "platform/base/Color.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

constexpr const char* BankWord = "Bank";

// The columns each trunking type of bank has no use for.
constexpr std::initializer_list<int> LtrHidden = {
    CL_Mch_FreqR, CL_Mch_FreqT, CL_Mch_TxInh, CL_Mch_Nar, CL_Mch_CTone_R, CL_Mch_CTone_T, CL_Mch_PwrSave,
    CL_Mch_RfPo, CL_Mch_Lockout, CL_Mch_CH_Mute_Lmr, CL_Mch_Sql_Tight, CL_Mch_ZEPH_Fleet_Dec, CL_Mch_ZEPH_Unit_Dec,
    CL_Mch_ZEPH_Ind_List, CL_Mch_ZEPH_TG_List, CL_Mch_ZEPH_TxInh, CL_Mch_ZEPH_MsgTrunking,
    CL_Mch_Multisite_Unit_Dec, CL_Mch_Multisite_Ind_List, CL_Mch_Multisite_TG_List, CL_Mch_Log_Pmr, CL_Mch_Dig_Sig,
    CL_Mch_RxNac, CL_Mch_TxNac, CL_Mch_Unit_Dec, CL_Mch_Ind_List, CL_Mch_TG_List, CL_Mch_Fast_Mute, CL_Mch_SQL_Type,
    CL_Mch_Encryption_No, CL_Grp_BlockIdEnable, CL_Grp_BlockIdStart, CL_Grp_BlockIdEnd, CL_Mch_DNar, CL_Mch_EDivert};
constexpr std::initializer_list<int> VoteZoneHidden = {
    CL_Mch_RfPo, CL_Mch_Scan, CL_Mch_AutoChScan, CL_Mch_Scan_Inc, CL_Mch_Scan_List, CL_Mch_Scan_ListSel,
    CL_Mch_Scrm_On, CL_Mch_Scrm_Type, CL_Mch_Scrm_Code, CL_Mch_ZEPH_Fleet_Dec, CL_Mch_ZEPH_Unit_Dec,
    CL_Mch_ZEPH_Ind_List, CL_Mch_ZEPH_TG_List, CL_Mch_ZEPH_TxInh, CL_Mch_ZEPH_MsgTrunking,
    CL_Mch_Multisite_Unit_Dec, CL_Mch_Multisite_Ind_List, CL_Mch_Multisite_TG_List, CL_Mch_RxCNoDtmf,
    CL_Mch_Scan_Kovr, CL_Mch_Fast_Mute, CL_Mch_Encryption_No, CL_Grp_RxId, CL_Grp_TxId, CL_Grp_TxInh,
    CL_Grp_HomeRptCh, CL_Grp_PhonePriv, CL_Grp_BlockIdEnable, CL_Grp_BlockIdStart, CL_Grp_BlockIdEnd, CL_Mch_DNar};
constexpr std::initializer_list<int> ZephHidden = {
    CL_Mch_FreqR, CL_Mch_FreqT, CL_Mch_TxInh, CL_Mch_Nar, CL_Mch_CTone_R, CL_Mch_CTone_T, CL_Mch_Compander,
    CL_Mch_PwrSave, CL_Mch_RfPo, CL_Mch_Lockout, CL_Mch_CH_Mute_Lmr, CL_Mch_2Tone, CL_Mch_Log, CL_Mch_Scrm_Type,
    CL_Mch_Scrm_Code, CL_Mch_Sql_Tight, CL_Mch_ZEPH_Fleet_Dec, CL_Mch_ZEPH_MsgTrunking, CL_Mch_Multisite_Unit_Dec,
    CL_Mch_Multisite_Ind_List, CL_Mch_Multisite_TG_List, CL_Mch_RxCNoDtmf, CL_Mch_RxCNo2_Ltr, CL_Mch_Dig_Sig,
    CL_Mch_RxNac, CL_Mch_TxNac, CL_Mch_Unit_Dec, CL_Mch_Ind_List, CL_Mch_TG_List, CL_Mch_SQL_Type, CL_Grp_RxId,
    CL_Grp_TxId, CL_Grp_TxInh, CL_Mch_Mdc_System, CL_Mch_DNar, CL_Mch_EDivert};
constexpr std::initializer_list<int> MultisiteHidden = {
    CL_Mch_FreqR, CL_Mch_FreqT, CL_Mch_TxInh, CL_Mch_Nar, CL_Mch_CTone_R, CL_Mch_CTone_T, CL_Mch_Compander,
    CL_Mch_PwrSave, CL_Mch_RfPo, CL_Mch_Lockout, CL_Mch_Scan, CL_Mch_AutoChScan, CL_Mch_CH_Mute_Lmr, CL_Mch_2Tone,
    CL_Mch_Log, CL_Mch_Scan_Inc, CL_Mch_Scan_List, CL_Mch_Scan_ListSel, CL_Mch_Scrm_Type, CL_Mch_Scrm_Code,
    CL_Mch_Sql_Tight, CL_Mch_ZEPH_Unit_Dec, CL_Mch_ZEPH_Ind_List, CL_Mch_ZEPH_TG_List, CL_Mch_RxCNoDtmf,
    CL_Mch_RxCNo2_Ltr, CL_Mch_Dig_Sig, CL_Mch_RxNac, CL_Mch_TxNac, CL_Mch_Unit_Dec, CL_Mch_Ind_List, CL_Mch_TG_List,
    CL_Mch_SQL_Type, CL_Grp_RxId, CL_Grp_TxId, CL_Grp_TxInh, CL_Grp_PhonePriv, CL_Mch_Mdc_System, CL_Mch_DNar,
    CL_Mch_EDivert};
constexpr std::initializer_list<int> ConventionalHidden = {
    CL_Mch_ZEPH_Fleet_Dec, CL_Mch_ZEPH_Unit_Dec, CL_Mch_ZEPH_Ind_List, CL_Mch_ZEPH_TG_List, CL_Mch_ZEPH_TxInh,
    CL_Mch_ZEPH_MsgTrunking, CL_Mch_Multisite_Unit_Dec, CL_Mch_Multisite_Ind_List, CL_Mch_Multisite_TG_List,
    CL_Mch_RxCNoDtmf, CL_Grp_RxId, CL_Grp_TxId, CL_Grp_TxInh, CL_Grp_HomeRptCh, CL_Grp_PhonePriv,
    CL_Grp_BlockIdEnable, CL_Grp_BlockIdStart, CL_Grp_BlockIdEnd};

// The hidden columns of the bank's type; the type is tested in this order.
const std::initializer_list<int>& HiddenLabelsOf(int bank)
{
    if (IsLtrBank(bank)) return LtrHidden;
    if (IsVoteZoneBank(bank)) return VoteZoneHidden;
    if (IsZephBank(bank)) return ZephHidden;
    if (IsMultisiteBank(bank)) return MultisiteHidden;
    return ConventionalHidden;
}

std::string Line0(const char* key) { return g_GTex.GetText(key, 0); }

std::string BankName(int bank)
{
    const cmcEeprom* image = CurrentModelContext().CurrentImage;
    return image != nullptr ? BankNameText(*image, bank) : std::string();
}

std::string SmarTrunkMark(int bank)
{
    return IsSmarTrunkBank(bank) ? Line0("GI_AppInd_MchSheet_Printer_SmarTrunk") : std::string();
}

} // namespace

iuiSh_ChBank::iuiSh_ChBank(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex,
                           cmcGTex* texts, const std::string& key, plat::ImageList* images)
    : iuiSh_ListRows(parent, origin, focusLabel, focusIndex, texts, key, images)
{
    m_events = cmcEvSubscription(MemberEventHandler<&iuiSh_ChBank::OnEvent>(this));
}

iuiSh_ChBank::~iuiSh_ChBank() { m_events.Reset(); }

const std::string& iuiSh_ChBank::SetCode(const std::string& code)
{
    cuiSheet::SetCode(code);
    const cmcScrBlock line(code);
    if (line.GetWord() == BankWord) {
        if (const std::string number = line.GetArg(0); !number.empty()) {
            const long bank = std::strtol(number.c_str(), nullptr, 10);
            // A bank the radio does not have leaves the sheet at bank 0.
            if (bank >= 0 && bank < WorkTables::Banks) m_bank = static_cast<int>(bank);
        }
        m_firstItem = BankFirstChannel(m_bank);
        m_channelCount = BankChannelCount(m_bank);
    }
    return m_code;
}

void iuiSh_ChBank::Show()
{
    cuiSheet::Show();
    if (g_EvMan != nullptr) g_EvMan->Send(ev::RefreshSheetTitles, 0, 0);
}

void iuiSh_ChBank::ApplyDirective(std::string_view item)
{
    if (!IsBareLoopFrom(item)) {
        cuiSheet::ApplyDirective(item);
        return;
    }
    // On screen one row more than the bank has channels: the empty row.
    if (IsPrinting()) OpenListLoop(m_channelCount, false);
    else OpenListLoop(m_channelCount + 1, true);
}

void iuiSh_ChBank::BuildCells(const std::string& cellsKey)
{
    cuiSheet::BuildCells(cellsKey);
    for (int col = 0; col < m_grid->ColCount(); ++col)
        for (int row = 0; row < m_grid->RowCount(); ++row)
            if (IsColumnHidden(CellAt(col, row))) {
                m_grid->SetColWidths(col, 0);
                break;
            }
    DeselectHiddenColumns();
}

bool iuiSh_ChBank::IsColumnHidden(const cmcCellObj& cell) const
{
    const std::initializer_list<int>& hidden = HiddenLabelsOf(m_bank);
    return std::find(hidden.begin(), hidden.end(), cell.Label) != hidden.end();
}

std::string iuiSh_ChBank::Title() const
{
    char text[256];
    std::snprintf(text, sizeof text, "%s %d: %s %s", Line0("GI_AppInd_MchSheet_Printer_Head").c_str(), m_bank + 1,
                  BankName(m_bank).c_str(), SmarTrunkMark(m_bank).c_str());
    return text;
}

bool iuiSh_ChBank::IsPrintable() const { return cuiSheet::IsPrintable() && BankChannelCount(m_bank) > 0; }

void iuiSh_ChBank::RefreshTitle()
{
    if (m_titleLabel == nullptr) return;
    // What still fits into the radio's memory; nothing (not less) when the
    // memory is already over.
    const int room =
        std::max(0, MaxItemsThatFit(CT_Mch, WorkTables::Channels - UsedChannelCount(), m_bank));
    char text[512];
    std::snprintf(text, sizeof text, "%s %d: %s %s (%s - %d)", m_title.c_str(), m_bank + 1, BankName(m_bank).c_str(),
                  SmarTrunkMark(m_bank).c_str(), Line0("GI_AppInd_Sheet_Title_LeftCH").c_str(), room);
    plat::Font font = m_titleLabel->GetFont();
    font.color = IsSmarTrunkBank(m_bank) ? plat::clAqua : plat::clYellow;
    m_titleLabel->SetFont(font);
    m_titleLabel->SetCaption(text);
    m_titlePanel->Repaint();
}

void iuiSh_ChBank::RemoveChannelRow()
{
    if (!RemoveRow()) return;
    const int row = m_grid->Row() - 1;
    if (row >= m_grid->FixedRows()) m_grid->SetRow(row);
}

void iuiSh_ChBank::OnEvent(const dst_Event* event)
{
    switch (event->type) {
    case ev::QueryCurrentBank:
        if (event->mode == dst_Event::Queried) g_EvMan->Reply(m_bank, m_firstItem);
        break;
    case ev::RefreshSheetTitles: RefreshTitle(); break;
    case ev::RowsAdded:
        if (HasSlots()) AddRow();
        break;
    case ev::RowsRemoved:
        if (HasSlots()) RemoveChannelRow();
        break;
    default: break;
    }
}
