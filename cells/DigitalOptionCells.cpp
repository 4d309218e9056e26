// The radio-wide digital options: group operation and display, trunking
// subscriber timers, GPS sending, the digital configuration, talk-back,
// status, ANI, call log, short data messages, call alert, radio check,
// stun, kill, revive, remote monitor and the expert receiver parameters.
// None has a record: each reads and writes its bits of the working image.
// Most are one field through one value handler (the table below); the few
// with rules of their own follow it.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/SettingTable.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"

#include <string>

namespace {

using Row = SettingRow;

// Settings that steer other cells.
constexpr int kUnitIdMode = 197890;        // bit 7 global, bit 5 automatic
constexpr int kGlobalBit = 7;
constexpr int kAutomaticBit = 5;
constexpr int kTalkBack = 197914;          // bit 6: on
constexpr int kTalkBackBit = 6;
constexpr int kTalkBackOptions = 197904;   // bit 0: ID display
constexpr int kDelayedHeaderCount = 303620;
constexpr int kDigitalKeyMode = 303592;    // bit 0
constexpr int kSingleMultisiteGps = 303614; // bit 2: fixed IDs
constexpr int kAutoGpsTransmission = 175771; // bit 2

constexpr int kHighestTrunkId = 2000;
constexpr int kHighestFleet = 30;

constexpr const char* kEnable = "GI_Sheet_Sel_Misc_Enable";
constexpr const char* kEnable3 = "GI_Sheet_Sel_Misc_Enable3";
constexpr const char* kEnableI = "GI_Sheet_Sel_Misc_Enable_I";
constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kOnOffI = "GI_Sheet_Sel_Misc_OnOff_I";
constexpr const char* kBeep = "GI_Sheet_Sel_RxC_Beep";
constexpr const char* kFixedId = "GI_Sheet_Sel_GPS_FixedID";
constexpr const char* kPowerStatus = "GI_Sheet_Sel_Dig_Status_PowerStatus";

// ---- The conditions that grey cells ----

bool TalkBackOff(const ImageBytes& i) { return !i.Bit(kTalkBack, kTalkBackBit); }
bool TalkBackTextOff(const ImageBytes& i) { return TalkBackOff(i) || !i.Bit(kTalkBackOptions, 0); }
bool NotGlobalOnly(const ImageBytes& i) { return !(i.Bit(kUnitIdMode, kGlobalBit) && !i.Bit(kUnitIdMode, kAutomaticBit)); }
bool NotGlobalAutomatic(const ImageBytes& i)
{
    return !(i.Bit(kUnitIdMode, kGlobalBit) && i.Bit(kUnitIdMode, kAutomaticBit));
}
bool DigitalKeyModeOn(const ImageBytes& i) { return i.Bit(kDigitalKeyMode, 0); }
bool CallTypeResetApplies(const ImageBytes& i) { return i.Bit(kTalkBack, 4) && !DigitalKeyModeOn(i); }
bool NoDelayedHeader(const ImageBytes& i) { return i.U16(kDelayedHeaderCount) == 0; }
bool NoSingleMultisiteFixedIds(const ImageBytes& i) { return !i.Bit(kSingleMultisiteGps, 2); }
bool NoAutomaticFixedIdTransmission(const ImageBytes& i)
{
    return NoSingleMultisiteFixedIds(i) || !i.Bit(kAutoGpsTransmission, 2);
}

// ---- Row makers ----

constexpr Row List(int label, int offset, int low, int width, const char* key)
{
    return ListRow(label, offset, low, width, key);
}
constexpr Row Flag(int label, int offset, int bit, const char* key) { return List(label, offset, bit, 1, key); }
constexpr Row Cells(int label, int offset, const char* key)
{
    return {.Label = label, .How = SettingHandler::Cells, .Field = {offset}, .Key = key};
}
constexpr Row TimeByte(int label, int offset, int units, bool offShown) { return TimerRow(label, offset, units, offShown); }
constexpr Row Time(int label, int offset, int units, int min, int max, bool offShown)
{
    return {.Label = label, .How = SettingHandler::Timer, .Field = {offset}, .Units = units, .OffShown = offShown,
            .Min = min, .Max = max};
}
constexpr Row ByteValue(int label, int offset, int min, int max) { return ByteRow(label, {offset}, min, max); }
constexpr Row ByteWrap(int label, int offset, int min, int max) { return NumberRow(label, offset, min, max); }
constexpr Row Word(int label, int offset, int min, int max)
{
    return {.Label = label, .How = SettingHandler::Number, .Field = {offset, 0, SettingWord}, .Min = min, .Max = max};
}
constexpr Row UnitId(int label, int offset)
{
    return {.Label = label, .How = SettingHandler::Number, .Field = {offset, 0, SettingWord}, .Min = 1,
            .UnitIdMax = true};
}
constexpr Row Text(int label, int offset, int length) { return LcdTextRow(label, offset, length); }
constexpr Row Grey(Row row, bool (*when)(const ImageBytes&)) { return row.GreyIf(when); }
constexpr Row Dashes(Row row, bool (*when)(const ImageBytes&)) { return row.DashesIf(when); }
constexpr Row Repaint(Row row) { return row.Repaint(ScopeAlways); }
// A number of seconds stored as it is and shown with three decimals.
constexpr Row Seconds(int label, SettingBits field, int storedDecimals)
{
    return {.Label = label, .How = SettingHandler::Scaled, .Field = field, .From = 0, .To = 60,
            .StoredDecimals = storedDecimals, .ShownDecimals = 3};
}

const Row kOptions[] = {
    // Group operation and display.
    Flag(CL_Digi_Ind_Op_Disp_RecieveUId, 197888, 5, kOnOffI),
    {.Label = CL_Digi_Grp_Op_Pre_Len, .How = SettingHandler::Stepped, .Field = {197873}, .Min = 0, .Max = 2550,
     .Step = 10, .Scale = 10},
    Flag(CL_Digi_Grp_Op_Disp_Mode, 197889, 6, kOnOff),
    Flag(CL_Digi_Grp_Op_Disp_Recieve, 197889, 5, kOnOff),
    Flag(CL_Digi_Grp_Op_Disp_RecieveUId, 197889, 3, kOnOff),
    TimeByte(CL_Digi_Grp_Op_Disp_Timer, 197874, 10, false),
    Flag(CL_Digi_Grp_Op_Disp_Ptt, 197889, 4, kOnOff),
    // Trunking subscriber unit (the three wait timers follow below).
    ByteWrap(CL_Digi_Trunk_SU_RAccess_Retry, 197899, 0, 255),
    List(CL_Digi_Trunk_SU_ReceiveBeep, 197895, 4, 4, kBeep),
    // GPS.
    Flag(CL_Digi_Gps_Fix_Id, 197900, 7, kEnable3),
    Flag(CL_Digi_Gps_Send_Status, 197900, 6, kEnable3),
    Flag(CL_Digi_Gps_Send_Sdm, 197900, 5, kEnable3),
    Flag(CL_Digi_Gps_Send_CallAlert, 197900, 4, kEnable3),
    Flag(CL_Digi_Gps_Send_Emer, 197900, 3, kEnable3),
    Flag(CL_Digi_Gps_Send_ManDown, 197900, 2, kEnable3),
    List(CL_Digi_Gps_Sentence, 197902, 4, 2, "GI_Sheet_Sel_Msk_GpsSentence"),
    Flag(CL_Digi_Gps_Send_Login, 197900, 1, kEnable3),
    Flag(CL_Digi_Gps_Send_Logoff, 197902, 6, kEnable3),
    Repaint(Flag(CL_Digi_Gps_SingleMultisite_Fix_Id, kSingleMultisiteGps, 2, kEnable3)),
    Dashes(List(CL_Digi_Gps_SingleMultisite_Send_Login, kSingleMultisiteGps, 0, 2, kFixedId), NoSingleMultisiteFixedIds),
    Dashes(List(CL_Digi_Gps_SingleMultisite_Send_Logoff, 303618, 6, 2, kFixedId), NoSingleMultisiteFixedIds),
    Dashes(List(CL_Digi_Gps_SingleMultisite_Send_Status, 303618, 4, 2, kFixedId), NoSingleMultisiteFixedIds),
    Dashes(List(CL_Digi_Gps_SingleMultisite_Send_Sdm, 303618, 2, 2, kFixedId), NoSingleMultisiteFixedIds),
    Dashes(List(CL_Digi_Gps_SingleMultisite_Send_CallAlert, 303618, 0, 2, kFixedId), NoSingleMultisiteFixedIds),
    Dashes(List(CL_Digi_Gps_SingleMultisite_Send_Emer, 303619, 6, 2, kFixedId), NoSingleMultisiteFixedIds),
    Dashes(List(CL_Digi_Gps_SingleMultisite_Send_ManDown, 303619, 4, 2, kFixedId), NoSingleMultisiteFixedIds),
    Dashes(List(CL_Digi_Gps_SingleMultisite_Send_AutoTX, 303619, 2, 2, kFixedId), NoAutomaticFixedIdTransmission),
    // Configuration: value bit 1 is the global bit, bit 0 the automatic bit.
    Repaint(BitsListRow(CL_Digi_Config_Unit_ID, {{{kUnitIdMode, kAutomaticBit}, {kUnitIdMode, kGlobalBit}}}, 2,
                        "GI_Sheet_Sel_Dig_Option_UnitID")),
    Repaint(Grey(UnitId(CL_Digi_Config_Global_Edit, 197862), NotGlobalOnly)),
    Repaint(Grey(Word(CL_Digi_Config_Global_Auto, 197860, 0, 5), NotGlobalAutomatic)),
    List(CL_Digi_Config_Beep, kUnitIdMode, 0, 4, kBeep),
    List(CL_Digi_Config_BeepG, 197895, 0, 4, kBeep),
    TimeByte(CL_Digi_Config_SS_Wait, 197875, 100, false),
    Time(CL_Digi_Config_FSSP_Wait, 197891, 20, 0, 100, false),
    Time(CL_Digi_Config_T_ACK_Wait, 197892, 20, 0, 20, false),
    Time(CL_Digi_Config_T_LONG_Wait, 197893, 20, 0, 100, false),
    Time(CL_Digi_Config_T_SHORT_Wait, 197894, 20, 0, 10, false),
    Text(CL_Digi_Config_Emer_Text, 181214, 24),
    List(CL_Digi_Config_Emer_Beep, 175759, 0, 4, kBeep),
    Flag(CL_Digi_Config_ID_Disp, 175759, 4, kOnOff),
    Seconds(CL_Digi_Config_BeepRepeatTimer, {197901}, false),
    Seconds(CL_Digi_Config_Ack_TX_Delay, {197908, 0, SettingWord}, 3),
    Seconds(CL_Digi_Config_Ack_RX_Wait, {197910, 0, SettingWord}, 3),
    ByteValue(CL_Digi_Config_Attempt_No, 197912, 1, 15),
    Flag(CL_Digi_Config_CallTypeMode, kTalkBack, 5, "GI_Sheet_Sel_Dig_Option_CallType"),
    Repaint(Grey(Flag(CL_Digi_Config_CallTypeReset, kTalkBack, 4, kOnOffI), DigitalKeyModeOn)),
    Grey(Time(CL_Digi_Config_ResetTimer, 197913, 1, 0, 60, true), CallTypeResetApplies),
    Flag(CL_Digi_Config_DecodeComparson, kUnitIdMode, 6, kOnOff),
    // Talk-back (the timer follows below).
    Grey(Flag(CL_Digi_Option_TalkBackLockPTT, kSingleMultisiteGps, 7, kOnOff), TalkBackOff),
    Grey(Flag(CL_Digi_Option_TalkBackRXType, kUnitIdMode, 4, "GI_Sheet_Sel_Dig_Talk_Back_RX_Type"), TalkBackOff),
    Grey(Flag(CL_Digi_Option_TalkBackBeep, kTalkBackOptions, 4, kOnOff), TalkBackOff),
    Repaint(Grey(Flag(CL_Digi_Option_TalkBackIdDisplay, kTalkBackOptions, 0, kOnOff), TalkBackOff)),
    Grey(Text(CL_Digi_Option_AnalogTalkBackText, 303596, 12), TalkBackTextOff),
    // Status, ANI and call log (the ID references follow below).
    Flag(CL_Digi_Status_Set_AllowPoll, 204662, 3, kEnable),
    Flag(CL_Digi_Status_Set_PollTX, 204662, 2, kEnable),
    Flag(CL_Digi_Status_Set_Log, 204662, 4, kEnable),
    Cells(CL_Digi_Status_Set_PowerONStat, 204663, kPowerStatus),
    Cells(CL_Digi_Status_Set_PowerOFFStat, 204664, kPowerStatus),
    Cells(CL_Digi_Status_Set_GpsStatus, 204665, kPowerStatus),
    Flag(CL_Digi_Status_Set_RequestAck, 204662, 5, kEnableI),
    Flag(CL_Digi_Status_Set_Send_Voice, 197902, 7, kEnable3),
    Cells(CL_Digi_Status_Set_Send_Status_Num, 197903, "GI_Sheet_Sel_Dig_Simul_Send_Status_Num"),
    TimeByte(CL_Digi_ANI_PreDisplayTimer, 197905, 10, true),
    TimeByte(CL_Digi_ANI_PostDisplayTimer, 197906, 10, true),
    Flag(CL_Digi_ANI_CurtRinger, kTalkBackOptions, 7, kEnable),
    Flag(CL_Digi_ANI_OverRinger, kTalkBackOptions, 6, kOnOff),
    Flag(CL_Digi_ANI_TX_RTTBeep, kTalkBackOptions, 5, kOnOff),
    Flag(CL_Digi_CallLog_Log, kTalkBack, 7, kEnable),
    List(CL_Digi_CallLog_LogActType, kTalkBack, 0, 4, "GI_Sheet_Sel_Dig_CallLog_LogActType"),
    // Short data messages, call alert, radio check, stun, kill, revive and
    // remote monitor (the call alert's AUX output follows below).
    Flag(CL_Digi_SDM_Setting_RX, 204688, 3, kEnable),
    List(CL_Digi_SDM_Setting_Ringer, 204688, 0, 3, kBeep),
    Flag(CL_Digi_SDM_Setting_Log, 204688, 4, kEnable),
    Flag(CL_Digi_SDM_Setting_RequestAck, 204688, 5, kEnableI),
    Flag(CL_Digi_CallAlert_RX, 204690, 7, kEnable),
    Flag(CL_Digi_CallAlert_TX, 204690, 6, kEnable),
    List(CL_Digi_CallAlert_Ringer, 204690, 0, 3, kBeep),
    Flag(CL_Digi_CallAlert_ShowIcon, 204690, 3, "GI_Sheet_Digital_CallAlert_Bell"),
    Flag(CL_Digi_CallAlert_Log, 204690, 5, kEnable),
    Flag(CL_Digi_CallAlert_DecExo, 204690, 4, kEnable),
    Flag(CL_Digi_CallAlert_RequestAck, 204692, 7, kEnableI),
    Flag(CL_Digi_RadioChk_RX, 204694, 7, kEnable),
    Flag(CL_Digi_RadioChk_TX, 204694, 6, kEnable),
    Flag(CL_Digi_Stun_RX, 204696, 7, kEnable),
    Flag(CL_Digi_Stun_TX, 204696, 6, kEnable),
    Flag(CL_Digi_Stun_Mode, 204696, 5, "GI_Sheet_Sel_Dig_Stun_Mode"),
    Flag(CL_Digi_Stun_FixedID_Enable, 197888, 2, kEnable3),
    UnitId(CL_Digi_Stun_FixedID, 197868),
    Word(CL_Digi_Stun_ZEPH_FixedID, 197870, 1, kHighestTrunkId),
    ByteWrap(CL_Digi_Stun_Multisite_Fleet_Dec, 303613, 1, kHighestFleet),
    Word(CL_Digi_Stun_Multisite_FixedID, 303610, 1, kHighestTrunkId),
    Flag(CL_Digi_Kill_RX, 204698, 7, kEnable),
    Flag(CL_Digi_Kill_TX, 204698, 6, kEnable),
    Flag(CL_Digi_Kill_FixedID_Enable, 197888, 3, kEnable3),
    UnitId(CL_Digi_Kill_FixedID, 197864),
    Word(CL_Digi_Kill_ZEPH_FixedID, 197866, 1, kHighestTrunkId),
    ByteWrap(CL_Digi_Kill_Multisite_Fleet_Dec, 303612, 1, kHighestFleet),
    Word(CL_Digi_Kill_Multisite_FixedID, 303608, 1, kHighestTrunkId),
    Flag(CL_Digi_Revive_RX, 204700, 7, kEnable),
    Flag(CL_Digi_Revive_TX, 204700, 6, kEnable),
    Flag(CL_Digi_RMONI_RX, 204702, 7, kEnable),
    Flag(CL_Digi_RMONI_TX, 204702, 6, kEnable),
    Time(CL_Digi_RMONI_TXTimer, 204703, 1, 1, 255, false),
    Flag(CL_Digi_RMONI_Mode, 204702, 5, "GI_Sheet_Sel_Dig_RMONI_Mode"),
    // Expert receiver parameters.
    ByteValue(CL_Digi_Expert_FS38_Attack, 204830, 1, 255),
    ByteValue(CL_Digi_Expert_FS20_Attack, 204831, 1, 255),
    ByteValue(CL_Digi_Expert_N5_BitError, 204832, 1, 20),
    ByteValue(CL_Digi_Expert_N6_BitError, 204833, 1, 38),
    ByteValue(CL_Digi_Expert_N7_BitError, 204834, 1, 20),
    ByteValue(CL_Digi_Expert_N7_Counter, 204835, 1, 255),
    ByteValue(CL_Digi_Expert_N5_Counter, 204836, 1, 255),
    NumberRow(CL_Digi_Expert_Resync_Counter, 204837, -96, 96, true),
    Time(CL_Digi_Expert_LET, 204838, 1000, 1, 255, false),
    Word(CL_Digi_Expert_Delayed_Header, kDelayedHeaderCount, 0, 15).Repaint(ScopeOnChange),
    Grey(TimeByte(CL_Digi_Expert_Delayed_Header_OffTimer, 303622, 10, false), NoDelayedHeader),
    Grey(Flag(CL_Digi_Expert_Delayed_Header_Voice, 204842, 4, kEnable3), NoDelayedHeader),
    TimeByte(CL_Digi_Expert_Lag_Timer, 204843, 100, false),
    ByteValue(CL_Digi_Expert_RAN_Det_Count, 204839, 1, 255),
    ByteValue(CL_Digi_Expert_RAN_Undet_Count, 204840, 1, 255),
    Flag(CL_Digi_Expert_TxAllCall, 204842, 7, kEnable),
    Flag(CL_Digi_Expert_RxAllCall, 204842, 6, kEnable),
    TimeByte(CL_Digi_Expert_PowerDown, 204841, 100, false),
};

void OptionCell(indCellCall& call)
{
    if (const Row* row = FindSettingRow(kOptions, call.Label)) RunSettingRow(call, *row);
}

// ---- Cells with rules of their own ----

// The subscriber wait timers never hold 0: a stored 0 becomes 1 as soon as
// the cell is shown.
const Row kWaitTimers[] = {
    TimeByte(CL_Digi_Trunk_SU_Busy_Wait, 197896, 1, true),
    TimeByte(CL_Digi_Trunk_SU_Grp_Wait, 197897, 10, true),
    TimeByte(CL_Digi_Trunk_SU_RAccess_Timer, 197898, 10, true),
};

void WaitTimerCell(indCellCall& call)
{
    const Row* row = FindSettingRow(kWaitTimers, call.Label);
    if (!row) return;
    ImageBytes image(&call.Image());
    if (image.U8(row->Field.Offset) == 0) image.SetU8(row->Field.Offset, 1);
    RunSettingRow(call, *row);
}

// The talk-back timer switches talk-back on while it is not 0.
void TalkBackTimerCell(indCellCall& call)
{
    static constexpr Row row = Repaint(Time(CL_Digi_Option_TalkBackTimer, 197915, 10, 0, 255, true));
    if (RunSettingRow(call, row)) {
        ImageBytes image(&call.Image());
        image.SetBit(kTalkBack, kTalkBackBit, image.U8(197915) != 0);
    }
}

// References into an individual ID list, shown as the 1-based entry number.
struct IdReference {
    int Label;
    int Offset;
    const char* Key;
    int EntryLabel;
    bool Picker;  // the digital list's picker; otherwise the entries are matched as typed
    int ListKind; // the list referred to
};

constexpr int kDigitalIds = 18;
constexpr int kZephIds = 28;
constexpr int kMultisiteIds = 32;

const IdReference kIdReferences[] = {
    {CL_Digi_Gps_GPS_Send_ID, 197916, "GI_Sheet_Sel_DIG_INDList", Flex_InvIDList_ChNo, true, kDigitalIds},
    {CL_Digi_GPS_ZEPH_GPS_Send_ID, 243070, "GI_Sheet_Sel_DIG_INDList_ZEPH", Flex_InvIDList_ZEPH_ChNo, false, kZephIds},
    {CL_Digi_GPS_Multisite_GPS_Send_ID, 303642, "GI_Sheet_Sel_DIG_INDList_Multisite", Flex_InvIDList_Multisite_ChNo,
     false, kMultisiteIds},
    {CL_Digi_Status_Set_PowerStatID, 204666, "GI_Sheet_Sel_DIG_INDList", Flex_InvIDList_ChNo, true, kDigitalIds},
    {CL_Digi_Status_Set_ZEPH_PowerStatID, 243068, "GI_Sheet_Sel_DIG_INDList_ZEPH", Flex_InvIDList_ZEPH_ChNo, false,
     kZephIds},
    {CL_Digi_Status_Set_Multisite_PowerStatID, 303640, "GI_Sheet_Sel_DIG_INDList_Multisite",
     Flex_InvIDList_Multisite_ChNo, false, kMultisiteIds},
};

void IdReferenceCell(indCellCall& call)
{
    const IdReference* ref = nullptr;
    for (const IdReference& r : kIdReferences)
        if (r.Label == call.Label) ref = &r;
    if (!ref) return;
    ImageBytes image(&call.Image());
    int value = image.U16(ref->Offset);
    const int changed = ref->Picker
                            ? PickFromList(call.Cap, ref->Key, ref->EntryLabel, value, value, "Z", call.Result)
                            : ChooseFromCells(call.Cap, ref->Key, ref->EntryLabel, value, cmNearestNumber, call.Result);
    if (changed && HasInput(call.Cap)) image.SetU16(ref->Offset, uint32_t(value));
    if (call.Result != erStartEdit) ShowText(call.Cap, std::to_string(image.U16(ref->Offset) + 1));
    // Error: the reference lies past the end of its list. The ZEPH and
    // multisite lists belong to LMR radios; a PMR radio is sent neither them
    // nor their references, and its pages do not show them.
    const bool listSent = ref->ListKind == kDigitalIds || call.Lmr;
    call.Cap->ErrorMark = listSent && image.U16(ref->Offset) >= IndListCount(ref->ListKind);
}

// The call alert's AUX output: the code byte and a two-bit action.
void CallAlertAuxCell(indCellCall& call)
{
    constexpr int kCode = 204691;
    constexpr int kAction = 204692;
    ImageBytes image(&call.Image());
    int code = image.U8(kCode);
    int action = image.Bits(kAction, 0, 2);
    if (EditAuxCode(call.Cap, code, action, call.Scope, "GI_Sheet_Sel_RxC_Aux2", call.Result) && HasInput(call.Cap)) {
        image.SetU8(kCode, code);
        image.SetBits(kAction, 0, 2, code != 0 ? uint32_t(action) : 0);
    }
}

std::vector<LabelBehaviourEntry> Family()
{
    std::vector<LabelBehaviourEntry> entries;
    for (const Row& row : kOptions) entries.push_back({row.Label, OptionCell});
    for (const Row& row : kWaitTimers) entries.push_back({row.Label, WaitTimerCell});
    for (const IdReference& ref : kIdReferences) entries.push_back({ref.Label, IdReferenceCell});
    entries.push_back({CL_Digi_Option_TalkBackTimer, TalkBackTimerCell});
    entries.push_back({CL_Digi_CallAlert_Aux, CallAlertAuxCell});
    return entries;
}

}  // namespace

std::span<const LabelBehaviourEntry> DigitalOptionCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> entries = Family();
    return entries;
}
