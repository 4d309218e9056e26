// The MSK signalling cells of the PMR radios: the address plan (own ID, the
// individual, group, common and killer addresses, the country code), the
// eight ID groups, the call list, the status and short text messages, the
// timing parameters and the MSK configuration.
//
// The address plan splits the 12-bit addresses at the radio's own ID:
// individual addresses lie below it, group addresses from it upwards. An
// address outside the range its place allows is marked as an error.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/RecordFields.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/ImageBytes.h"
#include "platform/base/Canvas.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kAddressDigits = 4;
constexpr int kHighestAddress = 4095;
constexpr int kTextLength = 12;
// The address ranges of the plan: the killer range, the ID groups' and the
// call-list entries'.
constexpr int kKillerRange = 5;
constexpr int kFirstIdGroupRange = 6;
constexpr int kIdGroups = 8;
constexpr int kFirstCallListRange = 14;
constexpr int kCallListEntries = 32;
// The status message row that the radio keeps for itself: drawn in olive,
// it takes no keys.
constexpr int kFixedStatusRow = 23;

bool InRange(const datKovrAdr::Range& r, int value) { return value >= r.First && value <= r.Last; }

std::string NoEdit(int value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d (No Edit)", value);
    return text;
}

// ---- Address plan ----

void IndividualRangeCell(indCellCall& call)
{
    const int own = int(call.Kovr.OwnId);
    std::string text = "error";
    if (own == 0) text = "----";
    else if (call.Index == 0) text = NoEdit(0);
    else if (call.Index == 1) text = NoEdit(own - 1);
    ShowText(call.Cap, text);
}

void GroupRangeCell(indCellCall& call)
{
    if (call.Index == 1) {
        ShowText(call.Cap, NoEdit(kHighestAddress));
        return;
    }
    if (call.Index != 0) return;
    int own = int(call.Kovr.OwnId);
    if (!EditNumber(call.Cap, own, kAddressDigits, 0, kHighestAddress, false, call.Result)) return;
    call.Kovr.OwnId = uint32_t(own);
    call.Kovr.StoreOwnId();
    // Every range and its marks follow the own ID.
    call.Scope |= csEveryLabelled;
}

void IdGroupAddressCell(indCellCall& call)
{
    int address = int(call.Rec.MskAdr);
    if (EditNumber(call.Cap, address, kAddressDigits, 0, kHighestAddress, false, call.Result)) {
        call.Rec.MskAdr = uint32_t(address);
        call.Rec.Commit();
    }
    if (call.Index >= 0 && call.Index < kIdGroups)
        call.Cap->ErrorMark = !InRange(call.Kovr.Ranges[kFirstIdGroupRange + call.Index], int(call.Rec.MskAdr));
    call.Cap->MarkPlace = mpLeftEdge;
}

void CallListAddressCell(indCellCall& call)
{
    call.Rec.Reload();
    int address = int(call.Rec.CallListAdr);
    if (EditNumber(call.Cap, address, kAddressDigits, 0, kHighestAddress, false, call.Result)) {
        call.Rec.CallListAdr = uint32_t(address);
        call.Rec.Commit();
    }
    // A stored address that is no number (a digit above 9) is out of range too.
    if (call.Index >= 0 && call.Index < kCallListEntries)
        call.Cap->ErrorMark = !InRange(call.Kovr.Ranges[kFirstCallListRange + call.Index], int(call.Rec.CallListAdr));
    call.Cap->MarkPlace = mpLeftEdge;
}

void CallListDigitCell(indCellCall& call)
{
    int digits = int(call.Rec.CallListDigit);
    if (!EditBitField(call.Cap, digits, 1, 4, 0, "", call.Result)) return;
    call.Rec.CallListDigit = uint32_t(digits);
    call.Rec.Commit();
}

void TextCell(indCellCall& call)
{
    const bool reload = call.Label == CL_Msk_CallList_Text;
    if (reload) call.Rec.Reload();
    char* text = call.Label == CL_Msk_Msg_Status_Text_Tx ? call.Rec.Text2 : call.Rec.Text;
    if (EditLcdText(call.Cap, text, kTextLength, false, call.Result)) call.Rec.Commit();
}

// ---- Records' choices ----

const RecordField kRecordFields[] = {
    {CL_Msk_IdGroup_Alert, "GI_Sheet_Sel_RxC_Beep", RECORD_FIELD(MskAlert)},
    {CL_Msk_IdGroup_Bell, "GI_Sheet_Sel_Msk_IdGroup_Bell", RECORD_FIELD(MskBell)},
    {CL_Msk_IdGroup_SFunc, "GI_Sheet_Sel_Misc_OnOff2", RECORD_FIELD(MskSFunc)},
    {CL_Msk_CallList_Update, "GI_Sheet_Sel_Misc_Enable2", RECORD_FIELD(CallListUpdate)},
    {CL_Msk_CallList_Sel, "GI_Sheet_Sel_Misc_Enable2", RECORD_FIELD(CallListSel)},
    {CL_Msk_Msg_Status_Beep, "GI_Sheet_Sel_RxC_Beep", RECORD_FIELD(StatusBeep)},
    {CL_Msk_Msg_Status_Horn, "GI_Sheet_Sel_Misc_OnOff2", RECORD_FIELD(StatusHorn)},
    {CL_Msk_Msg_Status_Auto, "GI_Sheet_Sel_Misc_OnOff2", RECORD_FIELD(StatusAuto)},
    {CL_Msk_Msg_Status_SFunc, "GI_Sheet_Sel_Misc_OnOff2", RECORD_FIELD(StatusSFunc)},
    {CL_Msk_Msg_Status_Rriority, "GI_Sheet_Sel_Msk_StatusMessPrio", RECORD_FIELD(StatusPriority)},
    {CL_Msk_Msg_Status_Selection, "GI_Sheet_Sel_Misc_OnOff2", RECORD_FIELD(StatusSelection)},
    {CL_Msk_Msg_ShortTxtTxMsg_Sel, "GI_Sheet_Sel_Misc_OnOff2", RECORD_FIELD(StatusSelection)},
};

void RecordFieldCell(indCellCall& call)
{
    if (const RecordField* row = FindRecordField(kRecordFields, call.Label)) RunRecordField(call, *row);
}

void StatusAuxCell(indCellCall& call)
{
    int code = int(call.Rec.StatusAux);
    int action = int(call.Rec.StatusAuxMode);
    if (!EditAuxCode(call.Cap, code, action, call.Scope, "GI_Sheet_Sel_RxC_Aux", call.Result)) return;
    call.Rec.StatusAux = uint32_t(code);
    call.Rec.StatusAuxMode = code != 0 ? uint32_t(action) : 0;
    call.Rec.Commit();
}

// The cells of the fixed status row ignore keys and draw in olive.
template <void (*Behaviour)(indCellCall&)>
void FixedStatusRow(indCellCall& call)
{
    if (call.Index == kFixedStatusRow) call.Cap->Key = 0;
    Behaviour(call);
    if (call.Index == kFixedStatusRow && call.Cap->Canvas) call.Cap->Canvas->GetFont().color = plat::clOlive;
}

// ---- Settings of the working image ----

constexpr SettingRow Address(int label, int offset)
{
    return {.Label = label, .How = SettingHandler::Digits, .Field = {offset, 0, SettingWord}, .Max = kHighestAddress,
            .Length = kAddressDigits};
}

constexpr SettingRow Enable3(int label, int offset, int bit)
{
    return ListRow(label, offset, bit, 1, "GI_Sheet_Sel_Misc_Enable3");
}

constexpr SettingRow Count(int label, int offset) { return NumberRow(label, offset, 1, 8); }

constexpr SettingRow Hundredths(int label, int offset, double lowest)
{
    return {.Label = label, .How = SettingHandler::Scaled, .Field = {offset}, .From = lowest, .To = 2.55,
            .StoredDecimals = 2, .ShownDecimals = 2};
}

constexpr int kEncoderFlags = 182063;
constexpr int kSendFlags = 182064;
constexpr int kDisplayFlags = 182065;

const SettingRow kSettings[] = {
    Address(CL_Msk_AdrRange_Common, 181582),
    ListRow(CL_Msk_AdrRange_CountryCode, 181586, 0, 8, "GI_Sheet_Sel_MSK_Country_Code"),
    Address(CL_Msk_AdrRange_Killer, 181584),
    Count(CL_Msk_TimingErr_NA, 182036),
    Count(CL_Msk_TimingErr_NM, 182037),
    Count(CL_Msk_TimingErr_NR, 182038),
    Hundredths(CL_Msk_TimingErr_TAC, 182040, 0.01),
    ByteRow(CL_Msk_TimingErr_BusyCheck, {182046}, 0, 255),
    Hundredths(CL_Msk_TimingErr_LetAck, 182044, 0),
    Hundredths(CL_Msk_TimingErr_LetCall, 182045, 0),
    Enable3(CL_Msk_Cfg_Enc_PttCall, kEncoderFlags, 7),
    ListRow(CL_Msk_Cfg_Enc_PreEmphasis, kEncoderFlags, 6, 1, "GI_Sheet_Sel_Msk_PreEmphasis"),
    {.Label = CL_Msk_Cfg_Enc_SyncvWord, .How = SettingHandler::HexDigits, .Field = {182056, 0, SettingWord},
     .Length = 4},
    ListRow(CL_Msk_Cfg_Enc_PttSideTone, kEncoderFlags, 2, 1, "GI_Sheet_Sel_Msk_PttSideTone"),
    {.Label = CL_Msk_Cfg_Dec_BeepRepeatTimer, .How = SettingHandler::Scaled, .Field = {182059}, .From = 0, .To = 60,
     .ShownDecimals = 3},
    ListRow(CL_Msk_Cfg_Dec_MuteMskTone, kEncoderFlags, 5, 1, "GI_Sheet_Sel_Misc_OnOff"),
    ListRow(CL_Msk_Cfg_Dec_ANI_Disp, kDisplayFlags, 4, 2, "GI_Sheet_Sel_Msk_ANI_Disp"),
    TimerRow(CL_Msk_Cfg_Dec_ANI_Disp_Timer, 182058, 10),
    Address(CL_Msk_Cfg_Status_FixBaseId, 182052),
    Enable3(CL_Msk_Cfg_Status_Send_PrioA, 175682, 6),
    Enable3(CL_Msk_Cfg_Status_Send_On, kSendFlags, 1),
    Enable3(CL_Msk_Cfg_Status_Send_Off, kSendFlags, 0),
    Address(CL_Msk_Cfg_Gps_FixBaseId, 182054),
    Enable3(CL_Msk_Cfg_Gps_Send_Base, kSendFlags, 6),
    Enable3(CL_Msk_Cfg_Gps_Send_Logoff, kSendFlags, 4),
    Enable3(CL_Msk_Cfg_Gps_Send_Status, kSendFlags, 3),
    Enable3(CL_Msk_Cfg_Gps_Send_Sdm, kSendFlags, 5),
    Enable3(CL_Msk_Cfg_Gps_Send_Emer, kSendFlags, 7),
    Enable3(CL_Msk_Cfg_Gps_Send_ManDown, kSendFlags, 2),
    ListRow(CL_Msk_Cfg_Gps_Sentence, kEncoderFlags, 0, 2, "GI_Sheet_Sel_Msk_GpsSentence"),
    Enable3(CL_Msk_Cfg_Etc_PttEnableAtConnect, kDisplayFlags, 7),
    Enable3(CL_Msk_Cfg_Gps_Log_In, kDisplayFlags, 3),
};

void SettingCell(indCellCall& call)
{
    const SettingRow* row = FindSettingRow(kSettings, call.Label);
    if (!row) return;
    RunSettingRow(call, *row);
    const int value = ReadSettingValue(ImageBytes(call.Image()), *row);
    switch (call.Label) {
    // The killer address is an individual address.
    case CL_Msk_AdrRange_Killer: call.Cap->ErrorMark = !InRange(call.Kovr.Ranges[kKillerRange], value); break;
    // Fixed base IDs are individual addresses: below the own ID.
    case CL_Msk_Cfg_Status_FixBaseId:
    case CL_Msk_Cfg_Gps_FixBaseId: call.Cap->ErrorMark = uint32_t(value) >= call.Kovr.OwnId; break;
    default: break;
    }
}

constexpr LabelBehaviourEntry kMskCells[] = {
    {CL_Msk_AdrRange_Individual, IndividualRangeCell},
    {CL_Msk_AdrRange_Group, GroupRangeCell},
    {CL_Msk_IdGroup_Adr, IdGroupAddressCell},
    {CL_Msk_IdGroup_Text, TextCell},
    {CL_Msk_CallList_Adr, CallListAddressCell},
    {CL_Msk_CallList_Digit, CallListDigitCell},
    {CL_Msk_CallList_Text, TextCell},
    {CL_Msk_Msg_Status_Beep, FixedStatusRow<RecordFieldCell>},
    {CL_Msk_Msg_Status_Horn, FixedStatusRow<RecordFieldCell>},
    {CL_Msk_Msg_Status_Aux, FixedStatusRow<StatusAuxCell>},
    {CL_Msk_Msg_Status_Auto, FixedStatusRow<RecordFieldCell>},
    {CL_Msk_Msg_Status_Text_Rx, FixedStatusRow<TextCell>},
    {CL_Msk_Msg_Status_Text_Tx, TextCell},
    {CL_Msk_Msg_ShortTxtTxMsg_1, TextCell},
};

std::vector<LabelBehaviourEntry> AllMskCells()
{
    std::vector<LabelBehaviourEntry> all(std::begin(kMskCells), std::end(kMskCells));
    for (const RecordField& r : kRecordFields)
        if (r.Label != CL_Msk_Msg_Status_Beep && r.Label != CL_Msk_Msg_Status_Horn && r.Label != CL_Msk_Msg_Status_Auto)
            all.push_back({r.Label, RecordFieldCell});
    for (const SettingRow& r : kSettings) all.push_back({r.Label, SettingCell});
    return all;
}

}  // namespace

std::span<const LabelBehaviourEntry> MskCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> cells = AllMskCells();
    return cells;
}
