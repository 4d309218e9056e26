// The scan lists and the settings of scanning and voting.
//
// A scan list row shows one of the 17 lists (the cell index), decoded as an
// item of kind 6; what a row offers depends on its scan mode, and the cells
// that do not apply show dashes. The priority and TX channel cells warn
// when their channel lies in a vote-zone or multisite bank, and the scan
// check gathers those warnings for the warning check list. The scan and
// vote timers, levels and flags are fields of the working tables.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"

namespace {

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";

constexpr int kScanLists = 17;
constexpr int kScanListTextLength = 24;

// Scan modes.
constexpr int kScanOff = 0;
constexpr int kPriorityScan = 2;
constexpr int kVoteScan = 17;

// Channel modes of the priority and TX channel selectors that name a channel.
constexpr int kPriorityAMode = 1;
constexpr int kPriorityBMode = 2;
constexpr int kListChannelMode = 5;
constexpr int kPriorityAChannel = 146304;
constexpr int kPriorityBChannel = 146306;

// The selectors of EditScanChannel.
constexpr int kPriority1 = 0;
constexpr int kPriority2 = 1;
constexpr int kTxChannel = 2;

// ---- The scan and vote settings ----

constexpr SettingRow kRows[] = {
    TimerRow(CL_ScanComm_StopTimer, 175699, 10),
    TimerRow(CL_ScanComm_StopTimerB, 175753, 10),
    TimerRow(CL_ScanComm_ResumeTimer, 175700, 10),
    TimerRow(CL_ScanComm_TalkBackTimer, 175754, 10),
    TimerRow(CL_ScanComm_ScanTimer_Fast, 175686, 1000),
    TimerRow(CL_ScanComm_ScanTimer_Slow, 175687, 100),
    TimerRow(CL_ScanComm_VoteTimer_ReVoteDwell, 175783, 10),
    TimerRow(CL_ScanComm_VoteTimer_LeadIn, 176062, 100),
    TimerRow(CL_ScanComm_VoteTimer_Dwell, 176063, 1000),
    // The byte holds the level divided by 10.
    {.Label = CL_ScanComm_VoteTimer_Rssi, .How = SettingHandler::Stepped, .Field = {176064, 0, 8}, .Min = 0,
     .Max = 2550, .Step = 10, .Scale = 10},
    TimerRow(CL_ScanComm_VoteTimer_PTTSideTone, 175781, 100),
    LcdTextRow(CL_VoteOp_VoteText, 242414, 12),
    NumberRow(CL_ScanComm_VoteLevel_Fast, 176065, -120, -80, true),
    NumberRow(CL_ScanComm_VoteLevel_L2, 176066, -120, -80, true),
    NumberRow(CL_ScanComm_VoteLevel_L0, 176067, -120, -80, true),
    SplitListRow(CL_ScanComm_PwrOnScan, {175681, 7, 1}, {175776, 5, 1}, "GI_Sheet_Sel_PwrOnScan"),
    ListRow(CL_ScanComm_AutoChCall_PmrOnly, 175680, 1, 1, kOnOff),
    ListRow(CL_ScanComm_BacklitatStopScan, 175758, 4, 1, kOnOff),
    SplitListRow(CL_ScanComm_VoteCheckCONT, {175685, 0, 1}, {175770, 6, 1}, "GI_Sheet_Sel_Vote_Check_BeforeRSSI"),
    ListRow(CL_ScanComm_VoteOnFast, 175770, 5, 1, kOnOff),
    ListRow(CL_ScanComm_VoteAfterTalk, 175776, 1, 1, kOnOff),
    ListRow(CL_ScanComm_VotePTTSideTone, 175776, 0, 1, kOnOff),
    ListRow(CL_ScanComm_VoteDisplayGroup, 175782, 7, 1, kOnOff),
    ListRow(CL_ScanComm_VoteDisplayCH, 175782, 6, 1, kOnOff),
    ListRow(CL_ScanComm_VoteStopHookOff, 175782, 5, 1, kOnOff),
    ListRow(CL_ScanComm_NuisanceDelete, 175679, 3, 1, kOnOff),
    ListRow(CL_ScanComm_ModeSlaveScan, 175680, 6, 1, kOnOff),
    ListRow(CL_ScanComm_MonitorKeyAction, 175776, 7, 1, "GI_Sheet_Sel_MonitorKey_Action"),
    ListRow(CL_ScanComm_TalkBackTimerBeep, 175776, 6, 1, kOnOff),
};

// ---- The scan list rows ----

int ScanMode(const indCellCall& c) { return c.Rec.ScanMode; }
bool ModeOffOrVote(const indCellCall& c) { return ScanMode(c) == kScanOff || ScanMode(c) == kVoteScan; }

// A cell that does not apply in the list's scan mode: dashes, grey, no input.
void Dashes(indCellCall& call)
{
    ShowText(call.Cap, "----");
    GreySetting(call);
}

// A choice of a field of the scan list; a change is stored at once.
void ListField(indCellCall& call, const char* key, int value, void (*store)(datCh&, int))
{
    if (!ChooseFromList(call.Cap, key, value, call.Result)) return;
    store(call.Rec, value);
    call.Rec.Commit();
}

void ScanModeCell(indCellCall& call)
{
    ListField(call, "GI_Sheet_Sel_ScanMode", call.Rec.ScanMode, [](datCh& r, int v) { r.ScanMode = uint8_t(v); });
}

// The channel a selector names in its mode; -1 for none.
int NamedChannel(const indCellCall& call, int mode, uint32_t own)
{
    const ImageBytes image(call.Image());
    switch (mode) {
    case kListChannelMode: return int(own);
    case kPriorityAMode: return image.U16(kPriorityAChannel);
    case kPriorityBMode: return image.U16(kPriorityBChannel);
    default: return -1;
    }
}

// A scan list channel the radio cannot scan: one in a vote-zone or multisite bank.
void ChannelWarning(indCellCall& call, int mode, uint32_t own)
{
    const int channel = NamedChannel(call, mode, own);
    if (channel < 0) return;
    const int bank = BankOfChannelNumber(channel + 1);
    if (IsVoteZoneBank(bank) || IsMultisiteBank(bank)) call.Cap->WarningMark = true;
}

void Prio1Cell(indCellCall& call)
{
    if (ScanMode(call) != kPriorityScan) return Dashes(call);
    int mode = call.Rec.ScanPrioModes.Prio1Mode;
    if (EditScanChannel(call.Cap, call.Rec, mode, kPriority1, call.Result)) {
        call.Rec.ScanPrioModes.Prio1Mode = uint8_t(mode);
        call.Rec.Commit();
    }
    ChannelWarning(call, call.Rec.ScanPrioModes.Prio1Mode, call.Rec.Prio1Ch);
}

void Prio2Cell(indCellCall& call)
{
    if (ScanMode(call) != kPriorityScan) return Dashes(call);
    int mode = call.Rec.ScanPrioModes.Prio2Mode;
    if (EditScanChannel(call.Cap, call.Rec, mode, kPriority2, call.Result)) {
        call.Rec.ScanPrioModes.Prio2Mode = uint8_t(mode);
        call.Rec.Commit();
    }
    ChannelWarning(call, call.Rec.ScanPrioModes.Prio2Mode, call.Rec.Prio2Ch);
}

void TxChannelCell(indCellCall& call)
{
    if (ModeOffOrVote(call)) return Dashes(call);
    int mode = call.Rec.ScanTxFlags.TxChMode;
    if (EditScanChannel(call.Cap, call.Rec, mode, kTxChannel, call.Result)) {
        call.Rec.ScanTxFlags.TxChMode = uint8_t(mode);
        call.Rec.Commit();
    }
    ChannelWarning(call, call.Rec.ScanTxFlags.TxChMode, call.Rec.ScanTxCh);
}

void TalkBackCell(indCellCall& call)
{
    if (ModeOffOrVote(call) || call.Rec.ScanTxFlags.TxChMode == 0) return Dashes(call);
    ListField(call, kOnOff, call.Rec.ScanTxFlags.TalkBack, [](datCh& r, int v) { r.ScanTxFlags.TalkBack = uint8_t(v); });
}

void TxActionCell(indCellCall& call)
{
    if (ModeOffOrVote(call)) return Dashes(call);
    ListField(call, "GI_Sheet_Sel_ScanTXAct", call.Rec.ScanTxFlags.TxAction,
              [](datCh& r, int v) { r.ScanTxFlags.TxAction = uint8_t(v); });
}

void CancelChannelCell(indCellCall& call)
{
    if (ModeOffOrVote(call)) return Dashes(call);
    ListField(call, "GI_Sheet_Sel_ScanCancelCH", call.Rec.ScanCancel.CancelChMode,
              [](datCh& r, int v) { r.ScanCancel.CancelChMode = uint8_t(v); });
}

void ListNameCell(indCellCall& call)
{
    if (EditLcdText(call.Cap, call.Rec.LongText, kScanListTextLength, false, call.Result)) call.Rec.Commit();
}

void DisplayTextCell(indCellCall& call)
{
    if (ScanMode(call) == kScanOff) return Dashes(call);
    ListField(call, "GI_Sheet_Sel_ScanList_Text", call.Rec.ScanCancel.DispText,
              [](datCh& r, int v) { r.ScanCancel.DispText = uint8_t(v); });
}

void PowerSaveCell(indCellCall& call)
{
    ListField(call, "GI_Sheet_Sel_Misc_OnOff2", call.Rec.ScanCancel.PwrSave,
              [](datCh& r, int v) { r.ScanCancel.PwrSave = uint8_t(v); });
}

// The warning check of the scan lists: any priority or TX channel warning.
void ScanCheck(indCellCall& call)
{
    for (int list = 0; list < kScanLists; ++list)
        for (int label : {CL_ScanList_Prio1_CH, CL_ScanList_Prio2_CH, CL_ScanList_TX_CH})
            if (indActiveCell::CellWarning(CT_Scan, label, list)) {
                call.Cap->WarningMark = true;
                return;
            }
}

constexpr LabelBehaviourEntry kOwnRules[] = {
    {CL_ScanList_ScanMode, ScanModeCell},
    {CL_ScanList_Prio1_CH, Prio1Cell},
    {CL_ScanList_Prio2_CH, Prio2Cell},
    {CL_ScanList_TX_CH, TxChannelCell},
    {CL_ScanList_TalkBack, TalkBackCell},
    {CL_ScanList_TX_Action, TxActionCell},
    {CL_ScanList_Cancel_CH, CancelChannelCell},
    {CL_ScanList_Text, ListNameCell},
    {CL_ScanList_DispText, DisplayTextCell},
    {CL_ScanList_PwrSave, PowerSaveCell},
    {CL_Check_Scan_Setting, ScanCheck},
};

}  // namespace

std::span<const LabelBehaviourEntry> ScanCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> entries = SettingBehaviours(kRows, kOwnRules);
    return entries;
}
