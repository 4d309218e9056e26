// The selective-calling tone cells: the 2-tone codes (decode frequencies
// with their decode windows, decode options, transmit frequencies and tone
// periods), the 5-tone decode and encode codes with their options, the
// 5-tone special tones and timers, and the user tones (encode frequency,
// decode window, tone period, no-tone time and length).
//
// Frequencies are kept in tenths of a hertz. The 2-tone frequencies and
// periods are real numbers in the record; the cells edit them as integers
// and store whole numbers, so what is saved and read back is what was shown.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/RecordFields.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kLongTextLength = 24;
constexpr int kTextLength = 12;
constexpr int kMaxCodeDigits = 7;
// The extra row of the user tone sheet, with a tone period and a no-tone
// time of its own.
constexpr int kUserToneExtraRow = 15;
constexpr int kUserTonePeriods = 177410;
constexpr int kUserToneExtraPeriod = 177437;
constexpr int kUserToneNoTone = 177419;
constexpr int kUserToneExtraNoTone = 177438;
constexpr int kUserToneLengths = 177428;
// Decode windows: 2 % either side of a 2-tone frequency, 3 % of a user tone.
constexpr double kTwoToneWindow = 0.02;
constexpr double kUserToneWindow = 0.03;
constexpr int kUserToneLowest = 4000;
constexpr int kUserToneHighest = 30000;

constexpr const char* kOnOff2 = "GI_Sheet_Sel_Misc_OnOff2";
constexpr const char* kAuxList = "GI_Sheet_Sel_RxC_Aux";

// A window edge: the value rounded to the nearest tenth of a hertz.
uint32_t WindowEdge(int nominal, double factor) { return uint32_t(int(nominal * factor + 0.5)); }

// ---- 2-tone codes (kind 11, rows 1 to 10) ----

void TwoToneFrequencyCell(indCellCall& call, bool first, bool setsWindow)
{
    double& nominal = first ? call.Rec.TxFreq1 : call.Rec.TxFreq2;
    int value = RoundHalfAway(nominal);
    if (!EditScaledValue(call.Cap, value, 1, 1, 250.0, 3300.0, 1, true, false, call.Result)) return;
    nominal = value;
    if (setsWindow) {
        (first ? call.Rec.Freq1High : call.Rec.Freq2High) = WindowEdge(value, 1 + kTwoToneWindow);
        (first ? call.Rec.Freq1Low : call.Rec.Freq2Low) = WindowEdge(value, 1 - kTwoToneWindow);
    }
    call.Rec.Commit();
}

void DecodeFrequencyCell(indCellCall& call)
{
    call.Rec.Reload();
    if (call.Index == 0) {
        ShowDashes(call.Cap);
        return;
    }
    TwoToneFrequencyCell(call, call.Label == CL_2T_RxFreq_1st, true);
}

void TransmitFrequencyCell(indCellCall& call)
{
    const bool first = call.Label == CL_2TTx_Freq_1st;
    // The first row keeps no 2-tone fields.
    if (first && call.Index == 0) {
        ShowDashes(call.Cap);
        return;
    }
    // A one-tone code has no second tone.
    if (!first && !call.Rec.CodeType) {
        ShowText(call.Cap, "----  ");
        return;
    }
    TwoToneFrequencyCell(call, first, false);
}

void PeriodCell(indCellCall& call)
{
    if (call.Index == 0) {
        ShowDashes(call.Cap);
        return;
    }
    double& period = call.Label == CL_2T_1st_Period ? call.Rec.Period1 : call.Rec.Period2;
    int value = RoundHalfAway(period);
    // A typed period is taken to the nearest tenth of a second, halves away
    // from zero, before the duration editor reads it.
    if (call.Cap->Phase == cpEditText) {
        const std::string typed = StripToDigitsAnd(call.Cap->EditText, ".");
        if (!typed.empty()) {
            const double seconds = std::strtod(typed.substr(0, 9).c_str(), nullptr);
            const int tenths = std::clamp(RoundHalfAway(seconds * 10), 0, 255);
            call.Cap->EditText = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
        }
    }
    if (!EditTime(call.Cap, value, 10, 0, 255, 0, 2, call.Result)) return;
    period = value;
    call.Rec.Commit();
}

void LongTextCell(indCellCall& call)
{
    if (EditLcdText(call.Cap, call.Rec.LongText, kLongTextLength, false, call.Result)) call.Rec.Commit();
}

void ShortTextCell(indCellCall& call)
{
    if (EditLcdText(call.Cap, call.Rec.Text, kTextLength, false, call.Result)) call.Rec.Commit();
}

// A 2-tone code's transmit text is the first 12 characters of its name:
// saving the code writes it so. It shows that text and takes no input, as
// a text typed here would be replaced at once.
void TwoToneTxTextCell(indCellCall& call)
{
    if (HasInput(call.Cap)) return;
    char text[kTextLength];
    std::memcpy(text, call.Rec.Text, sizeof text);
    CellExecResult ignored{};
    EditLcdText(call.Cap, text, kTextLength, false, ignored);
}

// The AUX code and its action; a code of 0 keeps no action.
template <uint32_t datCh::*Code, uint32_t datCh::*Mode>
void AuxCell(indCellCall& call)
{
    int code = int(call.Rec.*Code);
    int mode = int(call.Rec.*Mode);
    if (!EditAuxCode(call.Cap, code, mode, call.Scope, kAuxList, call.Result)) return;
    call.Rec.*Code = uint32_t(code);
    call.Rec.*Mode = code != 0 ? uint32_t(mode) : 0;
    call.Rec.Commit();
}

// ---- 5-tone codes (decode kind 8, rows 1 to 8; encode kind 9) ----

void DecodeCodeCell(indCellCall& call)
{
    if (call.Index == 0) {
        ShowDashes(call.Cap);
        return;
    }
    if (EditToneDigits(call.Cap, call.Rec, kMaxCodeDigits, true, call.Result)) call.Rec.Commit();
}

void DecodeAbcCell(indCellCall& call)
{
    if (call.Index == 0) {
        ShowDashes(call.Cap);
        return;
    }
    int code = int(call.Rec.DecAbc);
    if (!EditAbcCode(call.Cap, code, call.Result)) return;
    call.Rec.DecAbc = uint32_t(code);
    call.Rec.Commit();
}

void EncodeCodeCell(indCellCall& call)
{
    call.Rec.Reload();
    if (EditToneDigits(call.Cap, call.Rec, kMaxCodeDigits, false, call.Result)) call.Rec.Commit();
}

// Digits 1 to 7 of the encode code that the user may enter on the radio
// (bits 7 to 1; bit 0 is the update flag).
void InputDigitCell(indCellCall& call)
{
    call.Rec.Reload();
    int value = call.Rec.InputDigit & 0xFE;
    if (!EditBitField(call.Cap, value, 1, kMaxCodeDigits, 0, "", call.Result)) return;
    call.Rec.InputDigit = uint8_t(value & 0xFE);
    call.Rec.Commit();
}

const RecordField kCodeChoices[] = {
    // 2-tone codes
    {CL_2T_GroupCall, "GI_Sheet_Sel_2TRxC_Group", RECORD_FIELD(GroupCall), true},
    {CL_2T_Bell, "GI_Sheet_Sel_RxC_Bell", RECORD_FIELD(TtBell)},
    {CL_2T_ANS, kOnOff2, RECORD_FIELD(TtAns)},
    {CL_2T_EXO, kOnOff2, RECORD_FIELD(TtExo)},
    {CL_2T_Beep, "GI_Sheet_Sel_RxC_Beep", RECORD_FIELD(TtBeep)},
    {CL_2T_AutoTx, kOnOff2, RECORD_FIELD(TtAutoTx), true},
    {CL_2T_Stun, "GI_Sheet_Sel_RxC_Stun", RECORD_FIELD(TtStun)},
    {CL_2T_Scan, "GI_Sheet_Sel_RxC_Scan", RECORD_FIELD(TtScan)},
    {CL_2T_Sfunc, kOnOff2, RECORD_FIELD(TtSfunc)},
    {CL_2T_Code_Type, "GI_Sheet_Sel_2TRxC_Type", RECORD_FIELD(CodeType), true},
    // 5-tone decode codes
    {CL_5TRx_IdDec, kOnOff2, RECORD_FIELD(DecIdDec)},
    {CL_5TRx_Bell, "GI_Sheet_Sel_RxC_Bell", RECORD_FIELD(DecBell)},
    {CL_5TRx_EmerCancel, kOnOff2, RECORD_FIELD(DecEmerCancel)},
    {CL_5TRx_Exo, kOnOff2, RECORD_FIELD(DecExo)},
    {CL_5TRx_Beep, "GI_Sheet_Sel_RxC_Beep", RECORD_FIELD(DecBeep)},
    {CL_5TRx_AutoTx, kOnOff2, RECORD_FIELD(DecAutoTx), true},
    {CL_5TRx_Aud, "GI_Sheet_Sel_RxC_Aud", RECORD_FIELD(DecAud)},
    {CL_5TRx_Stun, "GI_Sheet_Sel_RxC_Stun", RECORD_FIELD(DecStun)},
    {CL_5TRx_Scan, "GI_Sheet_Sel_RxC_Scan", RECORD_FIELD(DecScan)},
    {CL_5TRx_Sfunc, kOnOff2, RECORD_FIELD(DecSfunc)},
    // 5-tone encode codes
    {CL_5TTx_Update, kOnOff2, RECORD_FIELD(TxUpdate)},
    {CL_5TTx_AbcDec, kOnOff2, RECORD_FIELD(TxAbcDec)},
    {CL_5TTx_AbcAud, kOnOff2, RECORD_FIELD(TxAbcAud)},
    {CL_5TTx_Sel, kOnOff2, RECORD_FIELD(TxSel)},
};

void CodeChoiceCell(indCellCall& call)
{
    if (const RecordField* row = FindRecordField(kCodeChoices, call.Label)) RunRecordField(call, *row);
}

// ---- Settings shared by the codes (seconds unless said) ----

constexpr SettingRow OnOff(int label, int offset, int bit) { return ListRow(label, offset, bit, 1, "GI_Sheet_Sel_Misc_OnOff"); }

// Seconds stored with `stored` decimals and shown with three.
constexpr SettingRow Seconds(int label, int offset, int stored, double from, double to, int step = 1)
{
    return {.Label = label, .How = SettingHandler::Scaled, .Field = {offset}, .Step = step, .From = from, .To = to,
            .StoredDecimals = stored, .ShownDecimals = 3};
}

constexpr SettingRow DigitSet(int label, int offset)
{
    return {.Label = label, .How = SettingHandler::DigitSet, .Field = {offset}};
}

// A special tone: one hexadecimal digit up to `highest`.
constexpr SettingRow SpecialTone(int label, int offset, int highest)
{
    return {.Label = label, .How = SettingHandler::HexDigit, .Field = {offset}, .Max = highest};
}

const SettingRow kCommonSettings[] = {
    Seconds(CL_2T_NotoneTimer, kUserToneNoTone, 2, 0.02, 0.3, 2),
    TimerRow(CL_2T_GroupTimer, 175698, 10),
    TimerRow(CL_2T_ExoTimer, 175714, 1),
    TimerRow(CL_5TRx_ExoTimer, 175714, 1),
    Seconds(CL_2T_BeepRepeatTimer, 175709, 0, 0, 60.0),
    Seconds(CL_5TRx_BeepRepeatTimer, 175709, 0, 0, 60.0),
    TimerRow(CL_2T_AutoTxTimer, 175713, 1),
    TimerRow(CL_5TRx_AutoTxTimer, 175713, 1),
    OnOff(CL_2T_CompareTone, 175758, 0),
    OnOff(CL_5TRx_CompareTone, 175758, 0),
    TimerRow(CL_5TRx_LinkATimer, 175692, 100),
    DigitSet(CL_5TRx_CompareDigit, 175674),
    TimerRow(CL_5TRx_IdDecodeTimer, 175701, 10),
    TimerRow(CL_5TRx_AuxTimer, 175756, 1),
    TimerRow(CL_5TTx_LongToneTimer, 175693, 100),
    TimerRow(CL_5TTx_LinkRTimer, 175689, 100),
    TimerRow(CL_5TTx_Link1Timer, 175690, 100),
    TimerRow(CL_5TTx_Link2Timer, 175691, 100),
    TimerRow(CL_5TTx_LeadOutDelayTimer, 175694, 100),
    TimerRow(CL_5TTx_AbcDecTimer, 175702, 10),
    DigitSet(CL_5TTx_DispDigit, 175673),
    SpecialTone(CL_5TTx_SpTone_Group, 175675, 14),
    SpecialTone(CL_5TTx_SpTone_Repeat, 175676, 14),
    SpecialTone(CL_5TTx_SpTone_Link2, 175677, 15),
    OnOff(CL_5TTx_PTTCallIna, 175681, 6),
};

void CommonSettingCell(indCellCall& call)
{
    if (const SettingRow* row = FindSettingRow(kCommonSettings, call.Label)) RunSettingRow(call, *row);
}

// ---- User tones (kind 10, rows 0 to 14, and the extra row 15) ----

void UserToneEncodeCell(indCellCall& call)
{
    int value = int(call.Rec.UToneEncode);
    if (!EditScaledValue(call.Cap, value, 1, 1, 400.0, 3000.0, 1, true, false, call.Result)) return;
    call.Rec.UToneEncode = uint32_t(value);
    call.Rec.UToneDecLow = std::max(WindowEdge(value, 1 - kUserToneWindow), uint32_t(kUserToneLowest));
    call.Rec.UToneDecHigh = std::min(WindowEdge(value, 1 + kUserToneWindow), uint32_t(kUserToneHighest));
    call.Rec.Commit();
    call.Scope |= csSameIndex;
}

// A window whose high edge lies below its low edge is marked on both edges.
void UserToneWindowCell(indCellCall& call)
{
    const bool low = call.Label == CL_UTone_Dec_Low;
    int value = int(low ? call.Rec.UToneDecLow : call.Rec.UToneDecHigh);
    if (EditScaledValue(call.Cap, value, 1, 1, 400.0, 3000.0, 1, true, false, call.Result)) {
        (low ? call.Rec.UToneDecLow : call.Rec.UToneDecHigh) = uint32_t(value);
        call.Rec.Commit();
        call.Scope |= csSameIndex;
    }
    call.Cap->WarningMark = call.Rec.UToneDecHigh < call.Rec.UToneDecLow;
}

// The tone period, no-tone time and length arrays lie nine bytes apart, so
// each holds the first nine tones only; the extra row keeps a period and a
// no-tone time of its own after them, and no length. A tone without a byte
// of its own shows dashes and takes no input.
constexpr int kUserToneTimedTones = kUserToneNoTone - kUserTonePeriods;
static_assert(kUserToneLengths - kUserToneNoTone == kUserToneTimedTones &&
              kUserToneExtraPeriod - kUserToneLengths == kUserToneTimedTones);

void UserToneTimeCell(indCellCall& call)
{
    const bool extra = call.Index == kUserToneExtraRow;
    const bool timed = call.Index >= 0 && call.Index < kUserToneTimedTones;
    if (!timed && !(extra && call.Label != CL_UTone_Length)) {
        ShowDashes(call.Cap);
        return;
    }
    SettingRow row{.Label = call.Label};
    switch (call.Label) {
    case CL_UTone_TonePeriod:
        row = Seconds(call.Label, extra ? kUserToneExtraPeriod : kUserTonePeriods + call.Index, 3, 0, 0.255);
        break;
    case CL_UTone_NotoneTimer:
        row = Seconds(call.Label, extra ? kUserToneExtraNoTone : kUserToneNoTone + call.Index, 2, 0.02, 0.3, 2);
        break;
    default:
        row = Seconds(call.Label, kUserToneLengths + call.Index, 2, 0.01, 2.55);
        break;
    }
    RunSettingRow(call, row);
}

constexpr LabelBehaviourEntry kToneCodeCells[] = {
    {CL_2T_RxFreq_1st, DecodeFrequencyCell},
    {CL_2T_RxFreq_2nd, DecodeFrequencyCell},
    {CL_2T_GroupCall, CodeChoiceCell},
    {CL_2T_Text, LongTextCell},
    {CL_2T_Bell, CodeChoiceCell},
    {CL_2T_ANS, CodeChoiceCell},
    {CL_2T_EXO, CodeChoiceCell},
    {CL_2T_Aux, AuxCell<&datCh::TtAux, &datCh::TtAuxMode>},
    {CL_2T_Beep, CodeChoiceCell},
    {CL_2T_AutoTx, CodeChoiceCell},
    {CL_2T_Stun, CodeChoiceCell},
    {CL_2T_Scan, CodeChoiceCell},
    {CL_2T_Sfunc, CodeChoiceCell},
    {CL_2T_NotoneTimer, CommonSettingCell},
    {CL_2T_GroupTimer, CommonSettingCell},
    {CL_2T_ExoTimer, CommonSettingCell},
    {CL_2T_BeepRepeatTimer, CommonSettingCell},
    {CL_2T_AutoTxTimer, CommonSettingCell},
    {CL_2T_CompareTone, CommonSettingCell},
    {CL_2T_Code_Type, CodeChoiceCell},
    {CL_2TTx_Freq_1st, TransmitFrequencyCell},
    {CL_2T_1st_Period, PeriodCell},
    {CL_2TTx_Freq_2nd, TransmitFrequencyCell},
    {CL_2T_2nd_Period, PeriodCell},
    {CL_2T_TxText, TwoToneTxTextCell},
    {CL_5TRx_RxCode, DecodeCodeCell},
    {CL_5TRx_Text, LongTextCell},
    {CL_5TRx_IdDec, CodeChoiceCell},
    {CL_5TRx_Bell, CodeChoiceCell},
    {CL_5TRx_EmerCancel, CodeChoiceCell},
    {CL_5TRx_Abc, DecodeAbcCell},
    {CL_5TRx_Exo, CodeChoiceCell},
    {CL_5TRx_Aux, AuxCell<&datCh::DecAux, &datCh::DecAuxMode>},
    {CL_5TRx_Beep, CodeChoiceCell},
    {CL_5TRx_AutoTx, CodeChoiceCell},
    {CL_5TRx_Aud, CodeChoiceCell},
    {CL_5TRx_Stun, CodeChoiceCell},
    {CL_5TRx_Scan, CodeChoiceCell},
    {CL_5TRx_Sfunc, CodeChoiceCell},
    {CL_5TRx_LinkATimer, CommonSettingCell},
    {CL_5TRx_CompareDigit, CommonSettingCell},
    {CL_5TRx_IdDecodeTimer, CommonSettingCell},
    {CL_5TRx_ExoTimer, CommonSettingCell},
    {CL_5TRx_AuxTimer, CommonSettingCell},
    {CL_5TRx_BeepRepeatTimer, CommonSettingCell},
    {CL_5TRx_AutoTxTimer, CommonSettingCell},
    {CL_5TRx_CompareTone, CommonSettingCell},
    {CL_5TTx_TxCode, EncodeCodeCell},
    {CL_5TTx_InputDigit, InputDigitCell},
    {CL_5TTx_Text, ShortTextCell},
    {CL_5TTx_Update, CodeChoiceCell},
    {CL_5TTx_AbcDec, CodeChoiceCell},
    {CL_5TTx_AbcAud, CodeChoiceCell},
    {CL_5TTx_Sel, CodeChoiceCell},
    {CL_5TTx_LongToneTimer, CommonSettingCell},
    {CL_5TTx_LinkRTimer, CommonSettingCell},
    {CL_5TTx_Link1Timer, CommonSettingCell},
    {CL_5TTx_Link2Timer, CommonSettingCell},
    {CL_5TTx_LeadOutDelayTimer, CommonSettingCell},
    {CL_5TTx_AbcDecTimer, CommonSettingCell},
    {CL_5TTx_DispDigit, CommonSettingCell},
    {CL_5TTx_SpTone_Group, CommonSettingCell},
    {CL_5TTx_SpTone_Repeat, CommonSettingCell},
    {CL_5TTx_SpTone_Link2, CommonSettingCell},
    {CL_5TTx_PTTCallIna, CommonSettingCell},
    {CL_UTone_Encode, UserToneEncodeCell},
    {CL_UTone_Dec_Low, UserToneWindowCell},
    {CL_UTone_Dec_High, UserToneWindowCell},
    {CL_UTone_TonePeriod, UserToneTimeCell},
    {CL_UTone_NotoneTimer, UserToneTimeCell},
    {CL_UTone_Length, UserToneTimeCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> ToneCodeCellBehaviours() { return kToneCodeCells; }
