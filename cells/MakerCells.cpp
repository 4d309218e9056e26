// The factory adjustment cells: squelch, tone decoding, PLL and timing
// settings and the battery thresholds in the first 256 bytes of the clone
// memory (sent to the radio only by a clone write in maker mode), and the
// word that enters the maker mode.
//
// Most cells are one byte or bit field through one handler and are rows of
// kMakerFields; the battery thresholds take their ranges from each other,
// and the voltage band cells show what the thresholds mean.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/SettingTable.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/cmcCellObj.h"
#include "model/ImageBytes.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/base/Canvas.h"
#include "platform/base/Color.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kOnOffI = "GI_Sheet_Sel_Misc_OnOff_I";
constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kEnable = "GI_Sheet_Sel_Misc_Enable";
constexpr const char* kPolar = "GI_Sheet_Sel_Maker_DtcsPolar";
constexpr const char* kDecodeMethod = "GI_Sheet_Sel_SDECMethodSet";
constexpr int kMs = 1000;    // timers in milliseconds
constexpr int kCs = 100;     // timers in hundredths of a second

constexpr SettingRow Choice(int label, int offset, int bit, const char* list, int width = 1)
{
    return ListRow(label, offset, bit, width, list);
}
constexpr SettingRow Number(int label, int offset) { return ByteRow(label, {offset}, 0, 255); }

constexpr SettingRow kMakerFields[] = {
    Choice(CL_Maker_SqlDelay_Op, 11, 7, kOnOffI),
    TimerRow(CL_Maker_SqlDelay_ResetTimer, 26, kMs),
    TimerRow(CL_Maker_Sql_SigDetTimer, 24, kMs),
    TimerRow(CL_Maker_Sql_NoiseDetTimer, 25, kMs),
    Number(CL_Maker_CtcssDec_Attack, 32),
    Number(CL_Maker_CtcssDec_Release, 33),
    TimerRow(CL_Maker_CtcssDec_DelayTimer, 34, kMs),
    Choice(CL_Maker_Dtcs_TxPolar, 11, 6, kPolar),
    Choice(CL_Maker_Dtcs_RxPolar, 11, 5, kPolar),
    Choice(CL_Maker_Digital_TxPolar, 12, 4, kPolar),
    Choice(CL_Maker_Digital_RxPolar, 12, 3, kPolar),
    TimerRow(CL_Maker_PwrOffTimer, 37, kCs),
    TimerRow(CL_Maker_ON_Timer1, 38, kCs),
    TimerRow(CL_Maker_ON_Timer2, 39, kCs),
    Choice(CL_Maker_Pll_Type, 11, 0, "GI_Sheet_Sel_Maker_PllType", 2),
    TimerRow(CL_Maker_Pll_TxFastTimer, 27, kMs),
    TimerRow(CL_Maker_Pll_RxFastTimer, 28, kMs),
    TimerRow(CL_Maker_Pll_TxFastTimer2, 42, kMs),
    TimerRow(CL_Maker_Pll_RxFastTimer2, 43, kMs),
    TimerRow(CL_Maker_MuteTimer_Tx, 29, kMs),
    TimerRow(CL_Maker_MuteTimer_Rx, 30, kMs),
    Choice(CL_Maker_SetModeAccess, 11, 3, kEnable),
    Choice(CL_Maker_2ToneDecMethod, 12, 1, kDecodeMethod),
    Choice(CL_Maker_5ToneDecMethod, 12, 0, kDecodeMethod),
    Choice(CL_Maker_VcoOutput, 11, 4, "GI_Sheet_Sel_Misc_HiLow"),
    Choice(CL_Maker_PdPol, 12, 7, "GI_Sheet_Sel_Polarity"),
    Choice(CL_Maker_ClShift, 12, 6, kOnOff),
};

// The squelch levels: shown and edited in the maker mode only.
constexpr SettingRow kSquelchLevels[] = {
    Number(CL_Maker_Sql_Level_A, 73), Number(CL_Maker_Sql_Level_B, 74), Number(CL_Maker_Sql_Level_C, 75),
    Number(CL_Maker_Sql_Level_D, 76), Number(CL_Maker_Sql_Level_E, 77), Number(CL_Maker_Sql_Level_F, 78),
    Number(CL_Maker_Sql_Level_G, 79),
};

bool MakerModeOn() { return g_Main != nullptr && g_Main->MakerMode() != 0; }

void SquelchLevelCell(indCellCall& call)
{
    const SettingRow* row = FindSettingRow(kSquelchLevels, call.Label);
    if (row && MakerModeOn()) RunSettingRow(call, *row);
}

void FieldCell(indCellCall& call)
{
    if (const SettingRow* row = FindSettingRow(kMakerFields, call.Label)) RunSettingRow(call, *row);
}

// ---- Cells with rules of their own ----

constexpr int kDtcsDecode = 35;
constexpr int kDtcsDecodeBias = 11;
constexpr int kIfFrequency = 16;
constexpr int kPllReference = 20;
constexpr int kVcoControl = 40;
constexpr int kHertzDecimals = 6;
constexpr int kMegahertzShown = 4;
constexpr int kRasterHz = 25000;

void DtcsDecode(indCellCall& call)
{
    ImageBytes image(call.Image());
    int value = image.U8(kDtcsDecode) + kDtcsDecodeBias;
    if (EditIntWrap(call.Cap, value, 12, 23, call.Result)) image.SetU8(kDtcsDecode, value - kDtcsDecodeBias);
}

void IfFrequency(indCellCall& call)
{
    ImageBytes image(call.Image());
    int value = static_cast<int32_t>(image.U32(kIfFrequency));
    if (EditScaledValue(call.Cap, value, kHertzDecimals, kMegahertzShown, -99.975, 99.975, kRasterHz, false, false,
                        call.Result))
        image.SetU32(kIfFrequency, static_cast<uint32_t>(value));
}

void PllReference(indCellCall& call)
{
    ImageBytes image(call.Image());
    // Above the largest value shown the stored word reads as out of range,
    // never as a negative frequency.
    int value = static_cast<int>(std::min<uint32_t>(image.U32(kPllReference), 0x7FFFFFFF));
    if (EditScaledValue(call.Cap, value, kHertzDecimals, kMegahertzShown, 0, 99.975, kRasterHz, false, false,
                        call.Result))
        image.SetU32(kPllReference, static_cast<uint32_t>(value));
}

void VcoControl(indCellCall& call)
{
    ImageBytes image(call.Image());
    int value = image.U16(kVcoControl);
    if (EditScaledValue(call.Cap, value, 1, kMegahertzShown, 0, 799.9, 1, true, false, call.Result))
        image.SetU16(kVcoControl, static_cast<uint32_t>(value));
}

// ---- Battery thresholds ----

// A threshold byte n stands for n x 10 / 255 volts. Each threshold lies
// between bounds that the neighbouring thresholds give: a bound is a fixed
// value (From = -1) or another threshold byte plus a margin.
struct Bound {
    int From;
    int Add;
};
struct Threshold {
    int Label;
    int Offset;
    Bound Min;
    Bound Max;
};

constexpr Threshold kThresholds[] = {
    {CL_Maker_Liion_Normal_Low1, 64, {65, 7}, {-1, 245}},
    {CL_Maker_Liion_Normal_Low2, 65, {66, 1}, {64, -7}},
    {CL_Maker_Liion_Normal_Low3, 66, {-1, 0}, {65, -1}},
    {CL_Maker_Liion_Low_Low1, 67, {68, 25}, {-1, 241}},
    {CL_Maker_Liion_Low_Low2, 68, {69, 1}, {67, -25}},
    {CL_Maker_Liion_Low_Low3, 69, {-1, 0}, {68, -1}},
    {CL_Maker_Liion_Dry_Low1, 70, {71, 7}, {-1, 245}},
    {CL_Maker_Liion_Dry_Low2, 71, {-1, 0}, {70, -7}},
};

int BoundValue(const ImageBytes& image, Bound b) { return b.From < 0 ? b.Add : image.U8(b.From) + b.Add; }

void ThresholdCell(indCellCall& call)
{
    if (!MakerModeOn()) return;
    const auto* t = std::find_if(std::begin(kThresholds), std::end(kThresholds),
                                 [&](const Threshold& x) { return x.Label == call.Label; });
    if (t == std::end(kThresholds)) return;
    ImageBytes image(call.Image());
    uint8_t value = uint8_t(image.U8(t->Offset));
    // An inverted range (damaged bytes) shows the value and takes no input.
    if (EditByteValue(call.Cap, value, BoundValue(image, t->Min), BoundValue(image, t->Max), call.Result)) {
        image.SetU8(t->Offset, value);
        call.Scope |= csEveryLabelled;
    }
}

// The voltage band of a battery state: from the upper voltage (the fixed
// top, or a threshold plus a margin) down to the lower one (a threshold plus
// a margin, or none).
constexpr double kFixedTopVolts = 9.84313678741455;
constexpr int kNone = -1;
struct Band {
    int Label;
    int Upper; // a threshold byte, or kNone for the fixed top
    int UpperAdd;
    int Lower; // a threshold byte, or kNone
    int LowerAdd;
};

constexpr Band kBands[] = {
    {CL_Maker_Liion_Normal_DispNormal, kNone, 0, 64, 1}, {CL_Maker_Liion_Normal_DispLow1, 64, 4, 65, 1},
    {CL_Maker_Liion_Normal_DispLow2, 65, 5, 66, 1},      {CL_Maker_Liion_Normal_DispLow3, 66, 0, kNone, 0},
    {CL_Maker_Liion_Low_DispNormal, kNone, 0, 67, 1},    {CL_Maker_Liion_Low_DispLow1, 67, 7, 68, 1},
    {CL_Maker_Liion_Low_DispLow2, 68, 23, 69, 1},        {CL_Maker_Liion_Low_DispLow3, 69, 0, kNone, 0},
    {CL_Maker_Liion_Dry_DispNormal, kNone, 0, 70, 1},    {CL_Maker_Liion_Dry_DispLow1, 70, 5, 71, 1},
    {CL_Maker_Liion_Dry_DispLow2, 71, 5, kNone, 0},
};

double Volts(int n) { return n * 10.0 / 255.0; }

void BandCell(indCellCall& call)
{
    if (!MakerModeOn()) return;
    const auto* b = std::find_if(std::begin(kBands), std::end(kBands), [&](const Band& x) { return x.Label == call.Label; });
    if (b == std::end(kBands)) return;
    ImageBytes image(call.Image());
    const double upper = b->Upper == kNone ? kFixedTopVolts : Volts(image.U8(b->Upper) + b->UpperAdd);
    char text[64];
    if (b->Lower == kNone)
        std::snprintf(text, sizeof text, "[%3.2fV] - [0.00V]", upper);
    else
        std::snprintf(text, sizeof text, "[%3.2fV] - [%3.2fV]", upper, Volts(image.U8(b->Lower) + b->LowerAdd));
    call.Cap->Text = text;
}

// ---- The maker-mode word ----

constexpr int kWordLength = 8;
constexpr int kShortestWord = 4;
constexpr const char* kHiddenWord = "----------------";
// Placement codes of the hidden word.
constexpr int kCentred = 1;
constexpr int kMiddle = 1;

void MakerWordCell(indCellCall& call)
{
    cmcCellCapsule* cap = call.Cap;
    if (!MakerModeOn() || g_Environ == nullptr) {
        cap->Text = kHiddenWord;
        if (cap->Cell != nullptr)
            cap->Cell->FlagsA = uint8_t((cap->Cell->FlagsA & ~(cmcCellObj::HorzMask | cmcCellObj::VertMask)) |
                                        kCentred | (kMiddle << 2));
        if (cap->Canvas != nullptr) cap->Canvas->GetFont().color = plat::clSilver;
        return;
    }
    std::array<char, kWordLength + 1> word{};
    std::strncpy(word.data(), g_Environ->MakerWord.c_str(), kWordLength);
    if (EditPassword(cap, word.data(), kWordLength, call.Result)) {
        const std::string typed(word.data());
        // A word too short to guard the maker mode is dropped.
        if (typed.size() >= size_t(kShortestWord)) g_Environ->MakerWord = typed;
    }
    if (cap->Cell != nullptr) cap->Cell->FlagsA = uint8_t(cap->Cell->FlagsA & ~cmcCellObj::HorzMask);
}

} // namespace

std::span<const LabelBehaviourEntry> MakerCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> entries = [] {
        std::vector<LabelBehaviourEntry> e;
        for (const SettingRow& r : kMakerFields) e.push_back({r.Label, FieldCell});
        for (const SettingRow& r : kSquelchLevels) e.push_back({r.Label, SquelchLevelCell});
        for (const Threshold& t : kThresholds) e.push_back({t.Label, ThresholdCell});
        for (const Band& b : kBands) e.push_back({b.Label, BandCell});
        e.push_back({CL_Maker_Dtcs_Decode, DtcsDecode});
        e.push_back({CL_Maker_IfFreq, IfFrequency});
        e.push_back({CL_Maker_Pll_Reference, PllReference});
        e.push_back({CL_Maker_VcoControl, VcoControl});
        e.push_back({CL_Maker_Password, MakerWordCell});
        return e;
    }();
    return entries;
}
