// Further settings: the second and third key banks (B2, B3) with their fixed
// keys, squelch levels and noise-squelch timers, key and display options,
// scan, GPS and MDC GPS options, digital options (talk group, over-the-air
// alias, compatibility), the row numbers of the tone and NAC lists, and two
// columns of the bank channel sheets (digital narrow, emergency divert).
//
// The keys of banks B2 and B3 that the radio fixes (the right-up, right-down,
// option and external emergency keys) show the function they share with the
// first bank and cannot be changed. A P key whose first-bank function is 100
// holds that function in all three banks.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "platform/ui/MessageBox.h"

#include <array>
#include <cstdio>
#include <string>

namespace {

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kEnable = "GI_Sheet_Sel_Misc_Enable";
constexpr const char* kEnable3 = "GI_Sheet_Sel_Misc_Enable3";
constexpr const char* kAccess = "GI_Sheet_Sel_Comm_SetModeAccess";

constexpr int kKeyOptions = 175683;        // bit 4: the rotary switch selects talk groups
constexpr int kTacticalOptions = 175758;   // bit 6: tactical groups
constexpr int kTalkGroupMode = 197889;     // bit 0: one talk group for every channel
constexpr int kCompatibility = 197872;     // b0-1 and b2-3 data type, b4 GPS type B message
constexpr int kKeyDisplay = 302528;        // b5 CR knob, b2 tactical group rotary, ...
constexpr int kKeyDisplay2 = 302529;
constexpr int kGlobalTalkGroup = 302526;   // an entry of the digital talk-group list
constexpr int kDigitalTalkGroups = 19;
constexpr int kMdcGps = 302532;
constexpr int kOaaText = 325616;
constexpr int kOaaTextLength = 12;
constexpr int kOaa = 325628;               // bit 7: the alias is sent
constexpr int kDataTypeB = 1;              // the data type that sends GPS type B messages

// Key tables: the first bank's P keys start at entry 2; B2 and B3 share
// the first bank's fixed keys in the B2 table.
constexpr int kFirstBankP0 = KeyTableConv + 2;
constexpr int kB2P0 = KeyTableB2 + 2;
constexpr int kB3P0 = KeyTableB3 + 2;
constexpr int kRightUpKey = KeyTableB2 + 0;
constexpr int kRightDownKey = KeyTableB2 + 1;
constexpr int kOptionKey0 = KeyTableB2 + 7;
constexpr int kExternalEmergencyKey = KeyTableB2 + 12;
// The function that, on a first-bank P key, holds that key in every bank.
constexpr uint8_t kAllBanksFunction = 100;

bool TactGroupGrey(const ImageBytes& image)
{
    return !image.Bit(kKeyOptions, 4) || !image.Bit(kTacticalOptions, 6) || image.Bit(kKeyDisplay, 5);
}

// GPS type B messages apply when either data type field is type B.
bool GpsTypeBGrey(const ImageBytes& image)
{
    return image.Bits(kCompatibility, 0, 2) != kDataTypeB && image.Bits(kCompatibility, 2, 2) != kDataTypeB;
}

constexpr SettingRow BoundedTimer(int label, int offset, int units, int min, int max, int bias = 0)
{
    return {.Label = label, .How = SettingHandler::Timer, .Field = {offset, 0, 8}, .Units = units, .Min = min,
            .Max = max, .Bias = bias};
}

constexpr SettingRow kRows[] = {
    ListRow(CL_KDisp_CRKnob, kKeyDisplay, 5, 1, kOnOff).Repaint(ScopeAlways),
    SplitListRow(CL_Digi_Config_ShortCutKeyCallType, {197904, 1, 1}, {197904, 2, 2},
                 "GI_Sheet_Sel_Dig_Option_ShortcutCallType"),
    ListRow(CL_Digi_Config_Talkgroup_ID, kTalkGroupMode, 0, 1, "GI_Sheet_Sel_Dig_Option_TalkgroupID").Repaint(ScopeAlways),
    ListRow(CL_KDisp_TactGroup, kKeyDisplay, 2, 1, "GI_Sheet_Sel_KDisp_RotaryTG").GreyIf(TactGroupGrey),
    ListRow(CL_KDisp_BWCode, 181307, 0, 1, kEnable3),
    LcdTextRow(CL_KDisp_BWNText, 181304, 1),
    LcdTextRow(CL_KDisp_BWWText, 181305, 1),
    LcdTextRow(CL_KDisp_BWVText, 181306, 1),
    SplitListRow(CL_KDisp_RotaryLock, {kKeyDisplay, 4, 1}, {kKeyDisplay, 3, 1}, "GI_Sheet_Sel_Rotary_Lock"),
    ListRow(CL_KDisp_MenuBanks, 302511, 0, 8, "GI_Sheet_Sel_KDisp_MenuAccess"),
    ListRow(CL_Comm_ForceLowRfPo, kKeyDisplay, 7, 1, "GI_Sheet_Sel_Misc_Enable_I"),
    NumberRow(CL_Comm_SqlLvl_1, 302513, -127, 127, true),
    NumberRow(CL_Comm_SqlLvl_2, 302514, -127, 127, true),
    NumberRow(CL_Comm_SqlLvl_3, 302515, -127, 127, true),
    NumberRow(CL_Comm_SqlLvl_4, 302516, -127, 127, true),
    NumberRow(CL_Comm_SqlLvl_5, 302517, -127, 127, true),
    NumberRow(CL_Comm_SqlLvl_6, 302518, -127, 127, true),
    NumberRow(CL_Comm_SqlLvl_7, 302519, -127, 127, true),
    NumberRow(CL_Comm_SqlLvl_8, 302520, -127, 127, true),
    NumberRow(CL_Comm_SqlLvl_9, 302521, -127, 127, true),
    ListRow(CL_Comm_PwrSave_Mode, 175672, 0, 8, "GI_Sheet_Sel_Comm_PWR_Mode"),
    ListRow(CL_Comm_Sql_Algorithm, kKeyDisplay, 6, 1, kEnable),
    ListRow(CL_ScanComm_ScanCancelBeep, kKeyDisplay, 1, 1, kOnOff),
    ListRow(CL_ScanComm_PrioCHActivity, kKeyDisplay, 0, 1, kOnOff),
    ListRow(CL_Comm_PwrOn_UserSet, kKeyDisplay2, 7, 1, kAccess),
    ListRow(CL_ScanComm_ActiveLED, kKeyDisplay2, 6, 1, kOnOff),
    BoundedTimer(CL_Comm_NSql_SDT, 302531, 1000, 10, 255),
    BoundedTimer(CL_Comm_NSql_NDT, 302530, 1000, 5, 255),
    ListRow(CL_Comm_PA_Output, kKeyDisplay2, 5, 1, "GI_Sheet_Sel_Comm_PA_Output"),
    ListRow(CL_KDisp_CycleChDisplay, kKeyDisplay2, 3, 1, kOnOff),
    ListRow(CL_KDisp_DTMFHot_Keypad, kKeyDisplay2, 2, 1, kEnable3),
    // The byte holds tenths of a second less one second.
    BoundedTimer(CL_KDisp_DTMFHot_HoldTimer, 302540, 10, 10, 100, 10),
    ListRow(CL_Comm_PW_Firmware, kKeyDisplay2, 0, 2, kAccess),
    ListRow(CL_KDisp_Security_SCK, 148174, 2, 1, kEnable3),
    // The byte counts half watts.
    {.Label = CL_KDisp_RfPoHighRed, .How = SettingHandler::Scaled, .Field = {302536, 0, 8}, .Step = 5, .Scale = 5,
     .From = 0, .To = 25.0, .StoredDecimals = 1, .ShownDecimals = 1, .StepKeys = false},
    ListRow(CL_Mdc_GPS_Poll_Rx, kMdcGps, 6, 1, kEnable),
    ListRow(CL_Mdc_Cfg_Gps_On_PTT_DWN, kMdcGps, 7, 1, kEnable),
    ListRow(CL_Mdc_Cfg_Gps_On_PTT_UP, kMdcGps, 5, 1, kEnable),
    ListRow(CL_Mdc_GPS_On_Key_Tx, kMdcGps, 3, 1, kEnable),
    ListRow(CL_Mdc_GPS_Rx, kMdcGps, 2, 1, kEnable),
    ListRow(CL_Mdc_Cfg_Gps_Sentence, kMdcGps, 0, 2, "GI_Sheet_Sel_Msk_GpsSentence"),
    // Milliseconds.
    {.Label = CL_Mdc_GPS_Poll_Ack_Delay, .How = SettingHandler::Scaled, .Field = {302534, 0, 16}, .From = 0.05,
     .To = 60.0, .StoredDecimals = 3, .ShownDecimals = 3, .StepKeys = false},
    {.Label = CL_Mdc_GPS_On_Key_No_Retry, .How = SettingHandler::Byte, .Field = {302538, 4, 4}, .Min = 1, .Max = 15},
    // Whole seconds.
    {.Label = CL_Mdc_GPS_On_Key_Ack_Delay, .How = SettingHandler::Scaled, .Field = {302539, 4, 4}, .From = 1.0,
     .To = 15.0, .StoredDecimals = 0, .ShownDecimals = 3},
    ListRow(CL_Digi_Opt_OAA_TX, kOaa, 7, 1, kOnOff).Repaint(ScopeAlways),
    ListRow(CL_Digi_Opt_OAA_LstOvrwrt, kOaa, 5, 1, kOnOff),
    ListRow(CL_Digi_Opt_OAA_RXTxtPrio, kOaa, 6, 1, "GI_Sheet_Sel_OAA_RX_TxtPrio"),
    ListRow(CL_Digi_Opt_OAA_RXBkup, kOaa, 4, 1, "GI_Sheet_Sel_Misc_OnOff_I"),
    ListRow(CL_Digi_Expert_Compati_GPSTypeBMes, kCompatibility, 4, 1, "GI_Sheet_Sel_Compati_GPSTypeBMes")
        .GreyIf(GpsTypeBGrey),
};

// ---- Row numbers ----

// "%3d" of the row, or the new-entry title on the row after the last entry.
void ListRowNumber(indCellCall& call, int count)
{
    if (call.Index == count) {
        ShowText(call.Cap, OverlayLine("GI_NewChTitle"));
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%3d", call.Index + 1);
    ShowText(call.Cap, text);
}

void ToneListRowNumber(indCellCall& call) { ListRowNumber(call, CToneListCount()); }
void NacListRowNumber(indCellCall& call) { ListRowNumber(call, NacChListCount()); }

// The zone number of the emergency divert zone list.
void DivertZoneNumber(indCellCall& call)
{
    char text[16];
    std::snprintf(text, sizeof text, "%3d", NthUsedBank(call.Index) + 1);
    ShowText(call.Cap, text);
}

// ---- Digital options ----

// The talk group every channel uses, an entry of the talk group list.
void GlobalTalkGroupCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    int value = image.U16(kGlobalTalkGroup);
    const int key = call.Cap->Key;
    if (key == cellkey::Space || key == cellkey::Backspace) call.Cap->Key = 0;
    if (ChooseFromCells(call.Cap, "GI_Sheet_Sel_TGList", Flex_TgIDList_ChNo, value, cmNearestNumber, call.Result))
        image.SetU16(kGlobalTalkGroup, uint32_t(value));
    call.Cap->Key = key;
    if (call.Result != erStartEdit) call.Cap->Text = std::to_string(value + 1);
    const bool inUse = image.Bit(kTalkGroupMode, 0);
    if (call.Cap->Canvas && !inUse) GreySetting(call);
    // Error: the talk group every channel uses lies past the end of the list.
    call.Cap->ErrorMark = inUse && value >= TgListCount(kDigitalTalkGroups);
}

// The data type is kept in two fields alike.
void DataTypeCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    int value = image.Bits(kCompatibility, 0, 2);
    if (!ChooseFromList(call.Cap, "GI_Sheet_Sel_Compati_DataType", value, call.Result)) return;
    image.SetBits(kCompatibility, 0, 2, uint32_t(value));
    image.SetBits(kCompatibility, 2, 2, uint32_t(value));
    RepaintAllSettings(call);
}

// The alias text sent over the air; a blank text is drawn as a note.
void AliasTextCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    std::array<char, kOaaTextLength> text{};
    image.Read(kOaaText, text.data(), kOaaTextLength);
    if (call.Cap->Canvas && IsAllBlank(text.data(), kOaaTextLength)) {
        ShowText(call.Cap, OverlayLine("GI_Mess_OAA_TxText_Blank"));
        GreySetting(call);
        return;
    }
    if (EditLcdText(call.Cap, text.data(), kOaaTextLength, false, call.Result))
        image.Write(kOaaText, text.data(), kOaaTextLength);
    if (call.Cap->Canvas && !image.Bit(kOaa, 7)) GreySetting(call);
}

// ---- Channel columns ----

void DigitalNarrowCell(indCellCall& call)
{
    int value = call.Rec.ChFlagsB.DNar;
    if (ChooseFromList(call.Cap, "GI_Sheet_Sel_Misc_YesNo_I", value, call.Result)) {
        call.Rec.ChFlagsB.DNar = uint16_t(value);
        call.Rec.Commit();
    }
    constexpr int kDigitalOnly = 3;
    if (call.Rec.ChFlagsF.DigSig == kDigitalOnly) GreySetting(call);
}

// Where the memory keeps the divert mode without a target channel (a PMR
// radio, the last bank of an LMR radio), a divert to a channel read in is an
// error until another mode is chosen.
void EmergencyDivertCell(indCellCall& call)
{
    int mode = call.Rec.ChFlagsA.EDivert;
    if (EditZoneChannel(call.Cap, call.Image(), call.Rec, mode, call.Bank.Group, call.Result)) {
        call.Rec.ChFlagsA.EDivert = uint8_t(mode);
        call.Rec.Commit();
    }
    call.Cap->ErrorMark =
        call.Rec.ChFlagsA.EDivert == kDivertToChannel && !DivertTargetKept(BankOfChannelNumber(call.Index + 1));
}

// ---- Keys of banks B2 and B3 ----

// The function byte at an image offset (a spare byte when the image is too
// short to hold it).
uint8_t& FunctionByte(indCellCall& call, int offset)
{
    static uint8_t spare = 0;
    cmcEeprom& image = call.Image();
    if (!image.Data() || offset < 0 || offset >= image.Size()) return spare = 0;
    return image.Data()[offset];
}

// A key the radio fixes: drawn grey, shown with its function, and the
// editing keys give the fixed-key message instead of a change.
void FixedKey(indCellCall& call, int offset, bool externalEmergency)
{
    GreySetting(call);
    const int key = call.Cap->Key;
    if (OnGrid(call.Cap) && (key == cellkey::Space || key == cellkey::Backspace || key == cellkey::Enter)) {
        plat::MessageBox(g_GTex.GetFirstLine("GI_AppMess_KeyErr_Fixed"), g_GTex.GetFirstLine("GI_Sys_AppTitle"),
                         plat::MB_OK | plat::MB_ICONERROR);
        call.Cap->Key = 0;
    }
    // Shown only: nothing a fixed key's cell does is stored.
    uint8_t function = FunctionByte(call, offset);
    if (externalEmergency) EditExtEmerKey(call.Cap, call.Image(), function, call.Scope, call.Result);
    else EditConvKey(call.Cap, call.Image(), function, call.Scope, call.Result);
    call.Cap->Key = key;
}

template <int Offset>
void FixedKeyCell(indCellCall& call)
{
    FixedKey(call, Offset, false);
}

void ExternalEmergencyKeyCell(indCellCall& call) { FixedKey(call, kExternalEmergencyKey, true); }

// P key k of bank B2 or B3 (bankP0: the bank's P0 entry).
void PKey(indCellCall& call, int bankP0, int k)
{
    const int first = kFirstBankP0 + k;
    const int own = bankP0 + k;
    ImageBytes image(&call.Image());
    if (image.U8(first) == kAllBanksFunction) {
        image.SetU8(kB2P0 + k, kAllBanksFunction);
        image.SetU8(kB3P0 + k, kAllBanksFunction);
        FixedKey(call, first, false);
        return;
    }
    uint8_t& function = FunctionByte(call, own);
    if (!EditConvKeyB2(call.Cap, call.Image(), function, call.Scope, call.Result)) return;
    if (function == kAllBanksFunction) image.SetU8(first, kAllBanksFunction);
    RepaintAllSettings(call);
}

template <int BankP0, int K>
void PKeyCell(indCellCall& call)
{
    PKey(call, BankP0, K);
}

constexpr LabelBehaviourEntry kOwnRules[] = {
    {Flex_CTNList_ChNo, ToneListRowNumber},
    {Flex_NACList_ChNo, NacListRowNumber},
    {FlexZoneSelNumEmer, DivertZoneNumber},
    {CL_Digi_Config_Global_Talkgroup, GlobalTalkGroupCell},
    {CL_Digi_Expert_Compati_DataType, DataTypeCell},
    {CL_Digi_Opt_OAA_TX_Text, AliasTextCell},
    {CL_Mch_DNar, DigitalNarrowCell},
    {CL_Mch_EDivert, EmergencyDivertCell},
    {CL_KDisp_Key_B2_RightUp, FixedKeyCell<kRightUpKey>},
    {CL_KDisp_Key_B3_RightUp, FixedKeyCell<kRightUpKey>},
    {CL_KDisp_Key_B2_RightDn, FixedKeyCell<kRightDownKey>},
    {CL_KDisp_Key_B3_RightDn, FixedKeyCell<kRightDownKey>},
    {CL_KDisp_Key_B2_Opf0, FixedKeyCell<kOptionKey0>},
    {CL_KDisp_Key_B3_Opf0, FixedKeyCell<kOptionKey0>},
    {CL_KDisp_Key_B2_Opf1, FixedKeyCell<kOptionKey0 + 1>},
    {CL_KDisp_Key_B3_Opf1, FixedKeyCell<kOptionKey0 + 1>},
    {CL_KDisp_Key_B2_Opf2, FixedKeyCell<kOptionKey0 + 2>},
    {CL_KDisp_Key_B3_Opf2, FixedKeyCell<kOptionKey0 + 2>},
    {CL_KDisp_Key_B2_ExtEmr, ExternalEmergencyKeyCell},
    {CL_KDisp_Key_B3_ExtEmr, ExternalEmergencyKeyCell},
    {CL_KDisp_Key_B2_P0, PKeyCell<kB2P0, 0>},
    {CL_KDisp_Key_B2_P1, PKeyCell<kB2P0, 1>},
    {CL_KDisp_Key_B2_P2, PKeyCell<kB2P0, 2>},
    {CL_KDisp_Key_B2_P3, PKeyCell<kB2P0, 3>},
    {CL_KDisp_Key_B2_P4, PKeyCell<kB2P0, 4>},
    {CL_KDisp_Key_B3_P0, PKeyCell<kB3P0, 0>},
    {CL_KDisp_Key_B3_P1, PKeyCell<kB3P0, 1>},
    {CL_KDisp_Key_B3_P2, PKeyCell<kB3P0, 2>},
    {CL_KDisp_Key_B3_P3, PKeyCell<kB3P0, 3>},
    {CL_KDisp_Key_B3_P4, PKeyCell<kB3P0, 4>},
};

}  // namespace

std::span<const LabelBehaviourEntry> FurtherSettingCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> entries = SettingBehaviours(kRows, kOwnRules);
    return entries;
}
