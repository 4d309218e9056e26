// The common settings of the radio: passwords and clone comments, the
// time-out timer, CTCSS options, the two serial ports, GPS reporting, the
// scrambler, power save, man-down, the two low-battery alarms, the stun
// display, lone worker and emergency, and the channel groups.
//
// Nearly every cell is one field of the working tables (the table below);
// the passwords, the clone comments, the port modes, the GPS times and
// channel, and the channel groups have rules of their own.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/cmcFCache.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"

#include <array>
#include <string>

namespace {

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kOnOffI = "GI_Sheet_Sel_Misc_OnOff_I";
constexpr const char* kEnable = "GI_Sheet_Sel_Misc_Enable";
constexpr const char* kEnable3 = "GI_Sheet_Sel_Misc_Enable3";
constexpr const char* kEnable4 = "GI_Sheet_Sel_Misc_Enable4";
constexpr const char* kEnableI = "GI_Sheet_Sel_Misc_Enable_I";
constexpr const char* kAccess = "GI_Sheet_Sel_Comm_SetModeAccess";
constexpr const char* kPortSpeed = "GI_Sheet_Sel_Comm_RS232C_SPEED";
constexpr const char* kPortMode = "GI_Sheet_Sel_Comm_RS232C_Mode";

// Working-table bytes that several cells or rules read.
constexpr int kUserPassword = 175634;     // 6 digits, one per nibble
constexpr int kDealerPasscode = 175637;
constexpr int kPasswordDigits = 6;
constexpr int kScrambler = 175640;        // bit 3: inversion (no code settings)
constexpr int kScramblerInversionBit = 3;
constexpr int kPortOptions = 175678;      // 25-pin port: b0-3 speed, b4-5 mode class
constexpr int kManDown = 175679;          // bit 2: man-down on
constexpr int kManDownBit = 2;
constexpr int kGpsReportFlags = 175771;   // bit 2: the copy of automatic GPS reporting
constexpr int kOptionPort = 175772;       // option connector: b4-7 speed, b2-3 mode class, b1 mode bit 2
constexpr int kLowBattery = 175778;       // bits 5 and 4: the two alarms on
constexpr int kPortModeHigh = 175782;     // bit 0: 25-pin mode bit 2
constexpr int kClonePassword = 176104;
constexpr int kClonePasswordLength = 16;
constexpr int kCloneComment1 = 176120;
constexpr int kCloneComment2 = 176136;
constexpr int kCloneCommentLength = 16;
constexpr int kTotReset = 175755;
constexpr int kTotResetMax = 15;
constexpr int kStunDisplay = 181300;      // bit 5: display off
constexpr int kLoneWorkerTimeout = 181252;
constexpr int kEmergencyRepeat = 181271;
constexpr int kEmergencyCode = 181272;    // b0-6 code, b7 long code
constexpr int kEmergencySignal = 181275;  // bit 7: code on
constexpr int kGpsAuto = 182063;          // bit 4
constexpr int kGpsAutoBit = 4;
constexpr int kGpsChannelFlags = 197902;  // b1 priority (b2 its copy), b3 a specific channel
constexpr int kGpsChannel = 303590;       // 16-bit channel index
constexpr int kChannelGroupsOn = 325694;  // bit 7

// The GPS times: A counts 30-second units, B is a copy of A, C a signed
// correction in seconds.
struct GpsTime {
    int A, B, C;
    int MinSeconds;
};
constexpr GpsTime kTimeMarker{182061, 176070, 303588, 0};
constexpr GpsTime kIntervalTimer{182062, 176071, 303589, 1};
constexpr int kGpsTimeUnit = 30;
constexpr int kGpsTimeTopUnits = 119;
constexpr int kGpsTimeMax = 3599;

// The channel records the GPS channel warning reads.
constexpr int kChannelR = 130944;
constexpr int kChannelRSize = 30;
constexpr int kChannelS = 163346;
constexpr int kChannelSSize = 24;

// Channel group types.
constexpr int kGroupNone = 0;
constexpr int kGroupChannel = 1;
constexpr int kGroupScanList = 2;
constexpr int kGroupZone = 3;

// ---- The table ----

constexpr SettingRow kRows[] = {
    ListRow(CL_Comm_PwrOnPassword, 175683, 5, 1, kOnOff),
    ListRow(CL_Comm_SetModeAccess, 175681, 3, 1, kAccess),
    TimerRow(CL_Comm_AtResetTimer_A, 175710, 1, true),
    TimerRow(CL_Comm_AtResetTimer_B, 175711, 1, true),
    TimerRow(CL_Comm_InactiveTimer, 175712, 1),
    TimerRow(CL_Comm_Tot_Timer, 175706, 1),
    ListRow(CL_Comm_Tot_ID_Out, 175681, 5, 1, kOnOff),
    ListRow(CL_Comm_Tot_Dtmf_ID_Out, 175681, 5, 1, kOnOff),
    TimerRow(CL_Comm_Tot_PenaltyTimer, 175707, 1, true),
    ListRow(CL_Comm_Tot_Beep, 175681, 4, 1, kOnOff),
    TimerRow(CL_Comm_LockoutPenaltyTimer, 175708, 1, true),
    ListRow(CL_Comm_LockoutOverride, 175683, 6, 1, kOnOff),
    ListRow(CL_Comm_Ctcss_ToneBurst, 175680, 3, 1, "GI_Sheet_Sel_Comm_Ctcss_BurstType"),
    TimerRow(CL_Comm_Ctcss_ReverseBurst, 175688, 100, true),
    ListRow(CL_Comm_Ctcss_RxAfFilt, 175680, 2, 1, "GI_Sheet_Sel_Comm_RxAfSw"),
    ListRow(CL_Comm_Ctcss_ChMuteCont, 175758, 1, 1, "GI_Sheet_Sel_Exp_ChMuteCont"),
    ListRow(CL_Comm_Ctcss_Backup, 175683, 1, 1, kOnOffI),
    ListRow(CL_Comm_DSUB25_SPPED, kPortOptions, 0, 4, kPortSpeed),
    ListRow(CL_Comm_OPTCONNE_SPPED, kOptionPort, 4, 4, kPortSpeed),
    ListRow(CL_Comm_Scrm_Type, kScrambler, kScramblerInversionBit, 1, "GI_Sheet_Sel_Comm_Scrm_Type").Repaint(),
    ListRow(CL_Comm_Scrm_SyncCapture, kScrambler, 6, 2, "GI_Sheet_Sel_Comm_Scrm_SyncCapture")
        .GreyWhenSet(kScrambler, kScramblerInversionBit),
    ListRow(CL_Comm_Scrm_GroupCode, kScrambler, 0, 2, "GI_Sheet_Sel_Comm_Scrm_GroupCode")
        .GreyWhenSet(kScrambler, kScramblerInversionBit),
    ListRow(CL_Comm_Scrm_TStartTiming, kScrambler, 4, 2, "GI_Sheet_Sel_Comm_Scrm_ToneStartTiming")
        .GreyWhenSet(kScrambler, kScramblerInversionBit),
    TimerRow(CL_Comm_PwrSave_Timer1, 175750, 10),
    TimerRow(CL_Comm_PwrSave_Timer2, 175751, 1),
    ListRow(CL_Comm_ManDown_ON, kManDown, kManDownBit, 1, kOnOff).Repaint(),
    TimerRow(CL_Comm_ManDown_Timer, 175752, 10).GreyUnless(kManDown, kManDownBit),
    TimerRow(CL_Comm_ManDown_TS1, 182041, 10).GreyUnless(kManDown, kManDownBit),
    TimerRow(CL_Comm_ManDown_TS2, 182042, 10).GreyUnless(kManDown, kManDownBit),
    TimerRow(CL_Comm_ManDown_TS3, 182043, 10).GreyUnless(kManDown, kManDownBit),
    // The same bit as the emergency's silent setting.
    ListRow(CL_Comm_ManDown_Sairen, 175680, 7, 1, "GI_Sheet_Sel_Comm_Sairen").GreyUnless(kManDown, kManDownBit),
    NumberRow(CL_Comm_ManDown_ReCycle, 182039, 1, 8).GreyUnless(kManDown, kManDownBit),
    TimerRow(CL_Comm_LowBatt1_Periods, 175779, 1, true).GreyUnless(kLowBattery, 5),
    TimerRow(CL_Comm_LowBatt2_Periods, 175780, 1, true).GreyUnless(kLowBattery, 4),
    ListRow(CL_Comm_LowBatt1_TX_End, kLowBattery, 7, 1, kOnOff),
    ListRow(CL_Comm_LowBatt2_TX_End, kLowBattery, 6, 1, kOnOff),
    ListRow(CL_Comm_LowBatt1, kLowBattery, 5, 1, kOnOff).Repaint(),
    ListRow(CL_Comm_LowBatt2, kLowBattery, 4, 1, kOnOff).Repaint(),
    ListRow(CL_Comm_TRDataOut, 175681, 2, 1, kAccess),
    ListRow(CL_Comm_Tactical, 175758, 6, 1, kAccess),
    ListRow(CL_Comm_Wide, 175683, 7, 1, "GI_Sheet_Sel_Comm_Wide"),
    ListRow(CL_Comm_FNarrow, 147906, 5, 1, kOnOff),
    SplitListRow(CL_Comm_FNarrow_Change, {147906, 3, 1}, {147906, 4, 1}, "GI_Sheet_Sel_ForcedNarChange"),
    ListRow(CL_Comm_Sql_Tight_Ofs, 175775, 0, 8, "GI_Sheet_Sel_SetM_SqlLev"),
    ListRow(CL_Comm_AFON2_Always_ON, 175770, 2, 1, kEnable3),
    ListRow(CL_Comm_Demph_Setting, 175770, 0, 2, "GI_Sheet_Sel_DemphSetting"),
    ListRow(CL_Comm_DTMFDec_InputSet, 175679, 4, 1, "GI_Sheet_Sel_DTMFDecInputSet"),
    ListRow(CL_Comm_AutoTx_MicSel, 175776, 2, 1, "GI_Sheet_Sel_AutoTx_MicSel"),
    ListRow(CL_Comm_Escalating_Alarms, 175782, 2, 1, kEnable3),
    ListRow(CL_Comm_DSUB25_PIO23_Select, 175771, 6, 2, "GI_Sheet_Sel_Comm_PIO23_Select"),
    ListRow(CL_Comm_Strv_Stun_Type, 181302, 0, 4, "GI_Sheet_Sel_Comm_Stun_Type"),
    ListRow(CL_Comm_Strv_TRDataOut, kStunDisplay, 7, 1, kEnableI),
    ListRow(CL_Comm_Strv_PSW_Inhibit, kStunDisplay, 6, 1, kEnableI),
    ListRow(CL_Comm_Strv_LCD_OFF, kStunDisplay, 5, 1, kOnOff).Repaint(ScopeAlways),
    TimerRow(CL_Comm_Strv_LCD_OFF_Timer, 181301, 10).GreyUnless(kStunDisplay, 5),
    ListRow(CL_Comm_Strv_Text_ON, kStunDisplay, 4, 1, kEnable),
    LcdTextRow(CL_Comm_Strv_Text, 181276, 24),
    ListRow(CL_Comm_Strv_Beep_ON, kStunDisplay, 1, 1, kOnOff),
    ListRow(CL_Comm_Strv_DecAll, kStunDisplay, 3, 1, kEnableI),
    ListRow(CL_Comm_Strv_RevAll, kStunDisplay, 2, 1, kEnableI),
    TimerRow(CL_Emer_LoneWorker_Timeout, kLoneWorkerTimeout, 1, true).Repaint(),
    TimerRow(CL_Emer_LoneWorker_PreAlarm, 181253, 1).GreyUnless(kLoneWorkerTimeout, -1),
    TimerRow(CL_Emer_LoneWorker_RepeatAlarm, 181254, 1).GreyUnless(kLoneWorkerTimeout, -1),
    TimerRow(CL_Emer_LoneWorker_Pttdelay, 181255, 10).GreyUnless(kLoneWorkerTimeout, -1),
    LevelListRow(CL_Emer_Setting_MaxAlert, 181268, "GI_Sheet_Sel_SetM_BeepLev"),
    ListRow(CL_Emer_Setting_Sql, 181270, 0, 8, "GI_Sheet_Sel_SetM_SqlLev"),
    ListRow(CL_Emer_Setting_MicGain, 181269, 0, 8, "GI_Sheet_Sel_SetM_MicGain"),
    ListRow(CL_Emer_Setting_RptCancel, 181274, 7, 1, kOnOff),
    // The same bit as the man-down siren.
    ListRow(CL_Emer_Setting_Silent, 175680, 7, 1, "GI_Sheet_Sel_Comm_Silent"),
    TimerRow(CL_Emer_Timer_Start, 181251, 1),
    TimerRow(CL_Emer_Timer_TxTone, 181257, 1, true),
    TimerRow(CL_Emer_Timer_AutoTx, 181258, 1, true),
    TimerRow(CL_Emer_Timer_RxTone, 181259, 1, true),
    TimerRow(CL_Emer_Timer_AutoRx, 181260, 1, true),
    TimerRow(CL_Emer_Timer_Idle, 181261, 1, true),
    TimerRow(CL_Emer_Timer_Backlight, 181256, 1, true),
    ListRow(CL_Emer_Signal_ScanCancel, 181274, 6, 1, "GI_Sheet_Emergency_ScanCacnel"),
    ListRow(CL_Emer_Signal_CodeEna, kEmergencySignal, 7, 1, kEnable3).Repaint(),
    ListRow(CL_Emer_Signal_CodeLong, kEmergencyCode, 7, 1, kOnOff).GreyUnless(kEmergencySignal, 7),
    ListRow(CL_Emer_Signal_2TDec, kEmergencySignal, 6, 1, kEnable4),
    ListRow(CL_Emer_Signal_5TDec, kEmergencySignal, 6, 1, kEnable4),
    ListRow(CL_Emer_Signal_KOVRDec, kEmergencySignal, 5, 1, kEnable4),
    ListRow(CL_Emer_Signal_KOVRRep, kEmergencySignal, 4, 1, kEnable4),
    ListRow(CL_Emer_Signal_Digi_CallType, kEmergencySignal, 0, 2, "GI_Sheet_Sel_Dig_Status_CallType").Repaint(),
    ListRow(CL_Emer_Signal_Digi_RequestAck, kEmergencySignal, 2, 1, kEnableI),
    ListRow(CL_Emer_Signal_Digi_SendAckTalkgroup, 181274, 3, 1, kEnable),
    ListRow(CL_Emer_Signal_Digi_SendAckAllCall, 181274, 2, 1, kEnable),
    ListRow(CL_Comm_ChGrp_ON, kChannelGroupsOn, 7, 1, kOnOff),
};

// ---- Passwords and comments ----

// Six digits, one per nibble from the high nibble of the first byte.
void DigitsCell(indCellCall& call, int offset)
{
    ImageBytes image(&call.Image());
    std::array<int, kPasswordDigits> digits{};
    for (int i = 0; i < kPasswordDigits; ++i) {
        const int byte = image.U8(offset + i / 2);
        digits[size_t(i)] = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
    }
    if (!EditDigitString(call.Cap, digits.data(), kPasswordDigits, false, call.Result)) return;
    for (int i = 0; i < kPasswordDigits; ++i) image.SetBits(offset + i / 2, i % 2 == 0 ? 4 : 0, 4, uint32_t(digits[size_t(i)]));
}

void UserPasswordCell(indCellCall& call) { DigitsCell(call, kUserPassword); }
void DealerPasscodeCell(indCellCall& call) { DigitsCell(call, kDealerPasscode); }

// The password a clone write gives a radio that asks for one. Only the
// password dialog changes it; the cell shows the stored text.
void ClonePasswordCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    std::array<uint8_t, kClonePasswordLength> stored{};
    image.Read(kClonePassword, stored.data(), kClonePasswordLength);
    std::array<uint8_t, kClonePasswordLength> chosen{};
    if (EditClonePasswordCell(call.Cap, stored.data(), kClonePasswordLength, chosen.data()) == 1) {
        for (uint8_t& c : chosen)
            if (c < cellkey::FirstPrintable || c > cellkey::LastPrintable) c = 0;
        stored = chosen;
        image.Write(kClonePassword, stored.data(), kClonePasswordLength);
    }
    std::string text;
    for (uint8_t c : stored) {
        if (c == 0) break;
        text.push_back(char(c));
    }
    bool blank = true;
    for (uint8_t c : stored) blank = blank && c == 0;
    if (blank && call.Cap->Canvas) {
        text = OverlayLine("GI_AppInd_Opt_RdWrPwd_BlankMessage");
        GreySetting(call);
    }
    call.Cap->Text = text;
}

void CommentCell(indCellCall& call, int offset)
{
    ImageBytes image(&call.Image());
    std::array<char, kCloneCommentLength> text{};
    image.Read(offset, text.data(), kCloneCommentLength);
    if (!EditPlainText(call.Cap, text.data(), kCloneCommentLength, call.Result)) return;
    BlankNonPrintable(text.data(), kCloneCommentLength);
    image.Write(offset, text.data(), kCloneCommentLength);
}

void Comment1Cell(indCellCall& call) { CommentCell(call, kCloneComment1); }
void Comment2Cell(indCellCall& call) { CommentCell(call, kCloneComment2); }

// ---- Timers with texts of their own ----

// Whole seconds 0 to 15, shown with three decimals; "off" for 0 while only
// drawn.
void TotResetCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    int value = image.U8(kTotReset);
    if (EditScaledValue(call.Cap, value, 0, 3, 0, kTotResetMax, 1, true, false, call.Result)) image.SetU8(kTotReset, value);
    if (call.Cap->Key == 0 && value == 0) call.Cap->Text = OverlayLine("GI_AppInd_TimerOff");
}

// How often the emergency call repeats; 0 repeats without end.
void RepeatCycleCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    int value = image.U8(kEmergencyRepeat);
    if (EditIntWrap(call.Cap, value, 0, 255, call.Result)) image.SetU8(kEmergencyRepeat, value);
    if (!OnGrid(call.Cap) && value == 0) call.Cap->Text = OverlayLine("GI_AppInd_CounterInfinite");
}

// The emergency code, a number of the code list; bit 7 (the long code) stays.
void EmergencyCodeCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    int value = image.Bits(kEmergencyCode, 0, 7);
    if (ChooseFromCells(call.Cap, "GI_Sheet_Sel_RxC_EmgCode", Flex1, value, cmNearestNumber, call.Result))
        image.SetBits(kEmergencyCode, 0, 7, uint32_t(value));
    if (call.Cap->Canvas && !image.Bit(kEmergencySignal, 7)) GreySetting(call);
}

// ---- Serial ports ----

// A port's mode: bit 2 and the two-bit mode class.
struct PortMode {
    SettingBits High;
    SettingBits Class;
    SettingBits OtherClass;  // the other port's mode class
};
constexpr PortMode kDsub25Mode{{kPortModeHigh, 0, 1}, {kPortOptions, 4, 2}, {kOptionPort, 2, 2}};
constexpr PortMode kOptionPortMode{{kOptionPort, 1, 1}, {kOptionPort, 2, 2}, {kPortOptions, 4, 2}};
constexpr int kPortModePasses = 7;

// The two ports may not share a mode class other than 0: stepping skips the
// other port's class, and a conflicting pick stores nothing.
void PortModeCell(indCellCall& call, const PortMode& port)
{
    ImageBytes image(&call.Image());
    const SettingRow row = SplitListRow(0, port.High, port.Class, kPortMode);
    const int other = image.Bits(port.OtherClass.Offset, port.OtherClass.Low, port.OtherClass.Width);
    const bool stepping = OnGrid(call.Cap) && (call.Cap->Key == cellkey::Space || call.Cap->Key == cellkey::Backspace) &&
                          !call.Cap->Parent;
    for (int pass = 0; pass < kPortModePasses; ++pass) {
        int mode = ReadSettingValue(image, row);
        if (!ChooseFromList(call.Cap, kPortMode, mode, call.Result)) return;
        const bool conflicts = other != 0 && other == (mode & 3);
        if (!stepping) {
            if (!conflicts) WriteSettingValue(image, row, mode);
            return;
        }
        WriteSettingValue(image, row, mode);
        if (!conflicts) return;
    }
}

void Dsub25ModeCell(indCellCall& call) { PortModeCell(call, kDsub25Mode); }
void OptionPortModeCell(indCellCall& call) { PortModeCell(call, kOptionPortMode); }

// ---- GPS ----

// Automatic reporting; a second byte keeps a copy of the setting.
void GpsAutoCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    int value = image.Bit(kGpsAuto, kGpsAutoBit);
    if (ChooseFromList(call.Cap, kEnable3, value, call.Result)) image.SetBit(kGpsAuto, kGpsAutoBit, value);
    image.SetBit(kGpsReportFlags, 2, image.Bit(kGpsAuto, kGpsAutoBit));
}

// GPS priority; bit 2 keeps a copy of it.
void GpsPriorityCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    int value = image.Bit(kGpsChannelFlags, 1);
    if (ChooseFromList(call.Cap, kOnOff, value, call.Result)) image.SetBit(kGpsChannelFlags, 1, value);
    image.SetBit(kGpsChannelFlags, 2, image.Bit(kGpsChannelFlags, 1));
    RepaintAllSettings(call);
}

void GpsTimeCell(indCellCall& call, const GpsTime& t)
{
    ImageBytes image(&call.Image());
    int seconds = image.U8(t.A) * kGpsTimeUnit + int(int8_t(uint8_t(image.U8(t.C))));
    if (!EditMinSec(call.Cap, seconds, t.MinSeconds, kGpsTimeMax, 1, 0, call.Result)) return;
    const int q = seconds / kGpsTimeUnit, r = seconds % kGpsTimeUnit;
    int units = q, correction = 0;
    if (q == kGpsTimeTopUnits) {
        correction = r;
    } else if (r != 0) {
        units = q + 1;
        correction = r - kGpsTimeUnit;
    }
    image.SetU8(t.A, units);
    image.SetU8(t.B, units);
    image.SetU8(t.C, correction & 0xFF);
}

void TimeMarkerCell(indCellCall& call) { GpsTimeCell(call, kTimeMarker); }
void IntervalTimerCell(indCellCall& call) { GpsTimeCell(call, kIntervalTimer); }

// Whether the radio cannot send GPS reports on channel n.
bool GpsChannelUnfit(const ImageBytes& image, int n)
{
    const int bank = BankOfChannelNumber(n + 1);
    const int64_t r = kChannelR + int64_t(kChannelRSize) * n;
    const int64_t s = kChannelS + int64_t(kChannelSSize) * n;
    const bool lmr = IsLmrModel();
    if (IsVoteZoneBank(bank) || IsSmarTrunkBank(bank)) return true;
    if (lmr && (IsLtrBank(bank) || IsZephBank(bank) || IsMultisiteBank(bank))) return true;
    const bool inhibited = image.Bit(r, 7) || image.Bit(r + 4, 7);
    if (inhibited || image.U32(r) == 0) return true;
    const int digitalMode = image.Bits(r + 12, 0, 2);
    if (lmr) return digitalMode <= 1;
    const bool mskOn = image.Bit(s + 3, 3);
    return (digitalMode == 0 && (image.U8(s + 4) != 0 || !mskOn)) || (digitalMode == 1 && !mskOn);
}

// The channel GPS reports go out on: the displayed one, or a channel picked
// through its zone.
void GpsChannelCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    int channel = image.U16(kGpsChannel);
    int specific = image.Bit(kGpsChannelFlags, 3);
    if (EditGpsZoneChannel(call.Cap, channel, specific, call.Result)) {
        image.SetU16(kGpsChannel, uint32_t(channel));
        image.SetBit(kGpsChannelFlags, 3, specific);
        RepaintAllSettings(call);
        // The cell's own record (none on the settings pages) is stored as it is.
        call.Rec.Commit();
    }
    if (specific) call.Cap->WarningMark = call.Cap->WarningMark || GpsChannelUnfit(image, channel);
}

// ---- Channel groups (records of kind 34) ----

// The first bank with channels that is (zone) or is not (channel) a vote
// zone or SmarTrunk bank; -1 when none.
int FirstGroupBank(bool zone)
{
    for (int b = 0; b < WorkTables::Banks; ++b) {
        if (BankChannelCount(b) == 0) continue;
        if ((IsVoteZoneBank(b) || IsSmarTrunkBank(b)) == zone) return b;
    }
    return -1;
}

void GroupTypeCell(indCellCall& call)
{
    int type = call.Rec.ChGrpType;
    if (!ChooseFromList(call.Cap, "GI_Sheet_CL_Comm_ChGrp_Type", type, call.Result)) return;
    const bool stepping = OnGrid(call.Cap) && !call.Cap->Parent &&
                          (call.Cap->Key == cellkey::Space || call.Cap->Key == cellkey::Backspace);
    const bool forward = call.Cap->Key == cellkey::Space;
    int number = 0;
    if (type == kGroupZone || type == kGroupChannel) {
        const int bank = FirstGroupBank(type == kGroupZone);
        if (bank >= 0) {
            // A zone group names its bank, a channel group a channel: the
            // first one of the bank found.
            number = type == kGroupZone ? bank : BankFirstChannel(bank);
        } else if (stepping) {
            // Nothing to point at: the next type in the stepping direction.
            if (type == kGroupZone) type = forward ? kGroupNone : kGroupScanList;
            else type = forward ? kGroupScanList : kGroupNone;
            ShowText(call.Cap, ValueLabelCache().GetLabel("GI_Sheet_CL_Comm_ChGrp_Type", Flex0, type));
        } else {
            // A type picked or typed with nothing to point at: the group
            // stays as it was, its number included.
            return;
        }
    }
    call.Rec.ChGrpType = uint8_t(type);
    call.Rec.ChGrpNumber = uint32_t(number);
    call.Rec.Commit();
    RepaintAllSettings(call);
}

void GroupNumberCell(indCellCall& call)
{
    datCh& group = call.Rec;
    int number = int(group.ChGrpNumber);
    int changed = 0;
    switch (group.ChGrpType) {
    case kGroupChannel: changed = EditChGroupChannel(call.Cap, number, call.Result); break;
    case kGroupScanList: changed = ChooseFromList(call.Cap, "GI_Sheet_CL_Comm_ChGrp_ScanList", number, call.Result); break;
    case kGroupZone: changed = EditChGroupZone(call.Cap, number, call.Result); break;
    default:
        ShowText(call.Cap, "---");
        GreySetting(call);
        return;
    }
    if (!changed) return;
    group.ChGrpNumber = uint32_t(number);
    group.Commit();
}

constexpr LabelBehaviourEntry kOwnRules[] = {
    {CL_Comm_UserPassword, UserPasswordCell},
    {CL_Comm_DealerPasscode, DealerPasscodeCell},
    {CL_Comm_ClonePasswordStr, ClonePasswordCell},
    {CL_Comm_Tot_Reset, TotResetCell},
    {CL_Comm_CloneComment1, Comment1Cell},
    {CL_Comm_CloneComment2, Comment2Cell},
    {CL_Comm_DSUB25_Mode, Dsub25ModeCell},
    {CL_Comm_OPTCONNE_Mode, OptionPortModeCell},
    {CL_Comm_Gps_Auto, GpsAutoCell},
    {CL_Comm_Gps_TimeMarker, TimeMarkerCell},
    {CL_Comm_Gps_IntervalTimer, IntervalTimerCell},
    {CL_Comm_Gps_MoveGps, GpsChannelCell},
    {CL_Comm_Gps_Prio, GpsPriorityCell},
    {CL_Emer_Setting_RptCycle, RepeatCycleCell},
    {CL_Emer_Signal_Code, EmergencyCodeCell},
    {CL_Comm_ChGrp_Type, GroupTypeCell},
    {CL_Comm_ChGrp_Number, GroupNumberCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> CommonSettingCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> entries = SettingBehaviours(kRows, kOwnRules);
    return entries;
}
