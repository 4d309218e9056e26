// The key and display page: the functions of the radio's programmable keys
// (the conventional and the SmarTrunk key sets), the keypad and DTMF
// options, the hang-up actions, the opening text and beep, the rotary and
// display options, the power switch and the priority-A options. Every cell
// reads and writes bytes of the working image; none has a record.
//
// Some conventional keys are mirrored: RightUp, RightDn, Opf0-Opf2 and the
// external emergency input carry the same function in the B2 and B3 key
// tables, which every change of them rewrites. A P key that carries the
// key-bank function (100) carries it in all three tables, so changing it
// away from that function clears its B2 and B3 positions.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/ImageBytes.h"

namespace {

constexpr int kSmarTrunkKeys = 175734;
// Positions in a key table.
constexpr int kRightUp = 0;
constexpr int kRightDn = 1;
constexpr int kP0 = 2;
constexpr int kOpf0 = 7;
constexpr int kDialCw = 10;
constexpr int kExtEmr = 12;

// The function that leaves the external emergency input at its standard use.
constexpr int kStandardEmergency = 94;
// The function of the P keys that switches key banks.
constexpr int kKeyBankFunction = 100;

// 175782 bit 4: the conventional, bit 3: the SmarTrunk external emergency
// input carries a function of its own.
constexpr int kEmergencyKeyFlags = 175782;
constexpr int kConvEmergencyBit = 4;
constexpr int kSmarTrunkEmergencyBit = 3;

constexpr int kOpeningText = 181190;
constexpr int kOpeningTextLength = 24;
constexpr int kScrollTimer = 175784;
constexpr int kScrollTimerCopy = 182060;

enum class KeyKind { Mirrored, Dial, PKey, ExtEmergency };

struct ConvKey {
    int Label;
    int Position;
    KeyKind Kind;
};

const ConvKey kConvKeys[] = {
    {CL_KDisp_Key_Conv_RightUp, kRightUp, KeyKind::Mirrored},
    {CL_KDisp_Key_Conv_RightDn, kRightDn, KeyKind::Mirrored},
    {CL_KDisp_Key_Conv_DialCw, kDialCw, KeyKind::Dial},
    {CL_KDisp_Key_Conv_P0, kP0, KeyKind::PKey},
    {CL_KDisp_Key_Conv_P1, kP0 + 1, KeyKind::PKey},
    {CL_KDisp_Key_Conv_P2, kP0 + 2, KeyKind::PKey},
    {CL_KDisp_Key_Conv_P3, kP0 + 3, KeyKind::PKey},
    {CL_KDisp_Key_Conv_P4, kP0 + 4, KeyKind::PKey},
    {CL_KDisp_Key_Conv_Opf0, kOpf0, KeyKind::Mirrored},
    {CL_KDisp_Key_Conv_Opf1, kOpf0 + 1, KeyKind::Mirrored},
    {CL_KDisp_Key_Conv_Opf2, kOpf0 + 2, KeyKind::Mirrored},
    {CL_KDisp_Key_Conv_ExtEmr, kExtEmr, KeyKind::ExtEmergency},
};

void ConvKeyCell(indCellCall& call)
{
    const ConvKey* key = nullptr;
    for (const ConvKey& k : kConvKeys)
        if (k.Label == call.Label) key = &k;
    if (!key) return;
    ImageBytes image(&call.Image());
    const int p = key->Position;
    const int at = KeyTableConv + p;
    const int before = image.U8(at);
    uint8_t function = uint8_t(before);
    int changed = 0;
    switch (key->Kind) {
    case KeyKind::Dial: changed = EditDialKey(call.Cap, call.Image(), function, call.Scope, call.Result, {at}); break;
    case KeyKind::PKey: changed = EditConvKey(call.Cap, call.Image(), function, call.Scope, call.Result, {at}); break;
    case KeyKind::Mirrored:
        // The mirrors are overwritten by this edit too.
        changed = EditConvKey(call.Cap, call.Image(), function, call.Scope, call.Result,
                              {at, KeyTableB2 + p, KeyTableB3 + p});
        break;
    case KeyKind::ExtEmergency:
        changed = EditExtEmerKey(call.Cap, call.Image(), function, call.Scope, call.Result,
                                 {at, KeyTableB2 + p, KeyTableB3 + p});
        break;
    }
    if (!changed || !HasInput(call.Cap)) return;
    image.SetU8(at, function);
    switch (key->Kind) {
    case KeyKind::Dial: break;
    case KeyKind::PKey:
        if (before == kKeyBankFunction) {
            image.SetU8(KeyTableB2 + p, 0);
            image.SetU8(KeyTableB3 + p, 0);
        }
        call.Scope |= csEveryLabelled;
        break;
    case KeyKind::ExtEmergency:
        image.SetBit(kEmergencyKeyFlags, kConvEmergencyBit, function != kStandardEmergency);
        [[fallthrough]];
    case KeyKind::Mirrored:
        image.SetU8(KeyTableB2 + p, function);
        image.SetU8(KeyTableB3 + p, function);
        call.Scope |= csEveryLabelled;
        break;
    }
}

struct SmarTrunkKey {
    int Label;
    int Position;
    const char* Key;
};

constexpr const char* kSmarTrunkList = "GI_Sheet_Sel_KDisp_Key_SmTr";

const SmarTrunkKey kSmarTrunkKeyCells[] = {
    {CL_KDisp_Key_SmTr_RightUp, kRightUp, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_RightDn, kRightDn, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_DialCw, kDialCw, "GI_Sheet_Sel_KDisp_Dial_SmTr"},
    {CL_KDisp_Key_SmTr_P0, kP0, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_P1, kP0 + 1, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_P2, kP0 + 2, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_P3, kP0 + 3, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_P4, kP0 + 4, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_Opf0, kOpf0, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_Opf1, kOpf0 + 1, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_Opf2, kOpf0 + 2, kSmarTrunkList},
    {CL_KDisp_Key_SmTr_ExtEmr, kExtEmr, "GI_Sheet_Sel_KDisp_Key_SmTr_Ext_Emer"},
};

void SmarTrunkKeyCell(indCellCall& call)
{
    const SmarTrunkKey* key = nullptr;
    for (const SmarTrunkKey& k : kSmarTrunkKeyCells)
        if (k.Label == call.Label) key = &k;
    if (!key) return;
    ImageBytes image(&call.Image());
    const int at = kSmarTrunkKeys + key->Position;
    uint8_t function = uint8_t(image.U8(at));
    if (!EditChoiceChar(call.Cap, key->Key, function, call.Result) || !HasInput(call.Cap)) return;
    image.SetU8(at, function);
    if (key->Position == kExtEmr)
        image.SetBit(kEmergencyKeyFlags, kSmarTrunkEmergencyBit, function != kStandardEmergency);
}

// ---- Options: one field each ----

bool OpeningTextBlank(const ImageBytes& image)
{
    char text[kOpeningTextLength];
    image.Read(kOpeningText, text, kOpeningTextLength);
    return IsAllBlank(text, kOpeningTextLength);
}

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kOnOffI = "GI_Sheet_Sel_Misc_OnOff_I";
constexpr const char* kEnable3 = "GI_Sheet_Sel_Misc_Enable3";

// The MR code: value bits 0 and 1 are bits 0 and 1 of 175679, bit 2 is bit 1
// of 175778.
constexpr std::array<SettingBit, kMaxSettingBits> kMrCodeBits{{{175679, 0}, {175679, 1}, {175778, 1}}};
constexpr std::array<SettingBit, kMaxSettingBits> kPowerSwitchBits{{{175682, 4}, {175758, 7}}};

constexpr SettingRow Flag(int label, int offset, int bit, const char* key) { return ListRow(label, offset, bit, 1, key); }

const SettingRow kOptions[] = {
    Flag(CL_KDisp_DigiKey_Mode, 303592, 0, "GI_Sheet_Sel_DigiKeyMode_Text").Repaint(ScopeAlways),
    {.Label = CL_KDisp_Tenkey_Select, .Key = "GI_Sheet_Sel_KDisp_Tenkey_Normal", .PmrKey = "GI_Sheet_Sel_KDisp_Tenkey",
     .Bits = {{{175680, 4}, {175778, 2}, {175782, 1}, {175771, 3}, {175772, 0}}}, .BitCount = 5},
    Flag(CL_KDisp_DTMFDecoder_Select, 175778, 3, "GI_Sheet_Sel_KDisp_DTMFDecoder_Select"),
    Flag(CL_KDisp_DTMFMic_Customize, 175771, 1, kEnable3),
    Flag(CL_KDisp_HangAct_Moni, 175685, 7, kOnOff),
    Flag(CL_KDisp_HangAct_Scan, 175685, 5, kOnOff),
    Flag(CL_KDisp_HangAct_PrioA, 175685, 6, kEnable3),
    BitsListRow(CL_KDisp_HangAct_ScanSuspend, {{{175685, 4}, {175776, 4}, {175776, 3}}}, 3,
                "GI_Sheet_Sel_HookOffSuspend"),
    Flag(CL_KDisp_AmpOnOff, 175683, 0, kOnOffI),
    ListRow(CL_KDisp_OpeningBeep, 175678, 6, 2, "GI_Sheet_Sel_KDisp_Opening_Beep").GreyIf(OpeningTextBlank),
    // Value bit 0 is never stored: an odd pick writes the bits of the even
    // value below it.
    BitsListRow(CL_KDisp_RotarySel, {{{-1, 0}, {175683, 3}, {175683, 4}}}, 3, "GI_Sheet_Sel_KDisp_Rotary")
        .Repaint(ScopeAlways),
    Flag(CL_KDisp_DispLines, 175682, 2, "GI_Sheet_Sel_KDisp_Lines").Repaint(ScopeAlways),
    Flag(CL_KDisp_ErrChDisplay, 175770, 3, kOnOff),
    Flag(CL_KDisp_RfPoSel, 175683, 2, "GI_Sheet_Sel_KDisp_RfPwr"),
    BitsListRow(CL_KDisp_MrCode, kMrCodeBits, 3, "GI_Sheet_Sel_MrCode"),
    BitsListRow(CL_KDisp_MrCodeLmr, kMrCodeBits, 3, "GI_Sheet_Sel_MrCodeLmr"),
    BitsListRow(CL_KDisp_PwrSW, kPowerSwitchBits, 2, "GI_Sheet_Sel_Power_Switch"),
    BitsListRow(CL_KDisp_PwrSW_HH, kPowerSwitchBits, 2, "GI_Sheet_Sel_Power_Switch"),
    {.Label = CL_KDisp_RfPoBatt, .Field = {175758, 2, 2}, .Key = "GI_Sheet_Sel_Batt_RfPwr", .ZeroShownAs = 1},
    Flag(CL_KDisp_PrioA_SwOn, 175681, 1, kEnable3),
    Flag(CL_KDisp_PrioA_AutoReset, 175770, 4, kEnable3),
    Flag(CL_KDisp_PrioA_ClearDown, 175682, 7, kEnable3),
    {.Label = CL_KDisp_Auto_KeyLock_Timer, .How = SettingHandler::MinSec, .Field = {175757}, .OffShown = true,
     .Min = 0, .Max = 3600, .Step = 30},
};

void OptionCell(indCellCall& call)
{
    if (const SettingRow* row = FindSettingRow(kOptions, call.Label)) RunSettingRow(call, *row);
}

void OpeningTextCell(indCellCall& call)
{
    call.Scope |= csEveryLabelled;
    ImageBytes image(&call.Image());
    char text[kOpeningTextLength];
    image.Read(kOpeningText, text, kOpeningTextLength);
    if (EditLcdText(call.Cap, text, kOpeningTextLength, false, call.Result) && HasInput(call.Cap))
        image.Write(kOpeningText, text, kOpeningTextLength);
}

// The scroll timer keeps a copy at a second place.
void ScrollTimerCell(indCellCall& call)
{
    static constexpr SettingRow row = TimerRow(CL_KDisp_ScrollTimer, kScrollTimer, 10, true);
    if (RunSettingRow(call, row)) {
        ImageBytes image(&call.Image());
        image.SetU8(kScrollTimerCopy, image.U8(kScrollTimer));
    }
}

constexpr LabelBehaviourEntry kKeyCells[] = {
    {CL_KDisp_Key_Conv_RightUp, ConvKeyCell},
    {CL_KDisp_Key_Conv_RightDn, ConvKeyCell},
    {CL_KDisp_Key_Conv_DialCw, ConvKeyCell},
    {CL_KDisp_Key_Conv_P0, ConvKeyCell},
    {CL_KDisp_Key_Conv_P1, ConvKeyCell},
    {CL_KDisp_Key_Conv_P2, ConvKeyCell},
    {CL_KDisp_Key_Conv_P3, ConvKeyCell},
    {CL_KDisp_Key_Conv_P4, ConvKeyCell},
    {CL_KDisp_Key_Conv_Opf0, ConvKeyCell},
    {CL_KDisp_Key_Conv_Opf1, ConvKeyCell},
    {CL_KDisp_Key_Conv_Opf2, ConvKeyCell},
    {CL_KDisp_Key_Conv_ExtEmr, ConvKeyCell},
    {CL_KDisp_Key_SmTr_RightUp, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_RightDn, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_DialCw, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_P0, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_P1, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_P2, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_P3, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_P4, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_Opf0, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_Opf1, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_Opf2, SmarTrunkKeyCell},
    {CL_KDisp_Key_SmTr_ExtEmr, SmarTrunkKeyCell},
    {CL_KDisp_DigiKey_Mode, OptionCell},
    {CL_KDisp_Tenkey_Select, OptionCell},
    {CL_KDisp_DTMFDecoder_Select, OptionCell},
    {CL_KDisp_DTMFMic_Customize, OptionCell},
    {CL_KDisp_HangAct_Moni, OptionCell},
    {CL_KDisp_HangAct_Scan, OptionCell},
    {CL_KDisp_HangAct_PrioA, OptionCell},
    {CL_KDisp_HangAct_ScanSuspend, OptionCell},
    {CL_KDisp_AmpOnOff, OptionCell},
    {CL_KDisp_OpeningText, OpeningTextCell},
    {CL_KDisp_OpeningBeep, OptionCell},
    {CL_KDisp_RotarySel, OptionCell},
    {CL_KDisp_ScrollTimer, ScrollTimerCell},
    {CL_KDisp_DispLines, OptionCell},
    {CL_KDisp_ErrChDisplay, OptionCell},
    {CL_KDisp_RfPoSel, OptionCell},
    {CL_KDisp_MrCode, OptionCell},
    {CL_KDisp_MrCodeLmr, OptionCell},
    {CL_KDisp_PwrSW, OptionCell},
    {CL_KDisp_PwrSW_HH, OptionCell},
    {CL_KDisp_RfPoBatt, OptionCell},
    {CL_KDisp_PrioA_SwOn, OptionCell},
    {CL_KDisp_PrioA_AutoReset, OptionCell},
    {CL_KDisp_PrioA_ClearDown, OptionCell},
    {CL_KDisp_Auto_KeyLock_Timer, OptionCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> KeyCellBehaviours() { return kKeyCells; }
