#include "cells/SettingTable.h"

#include "cells/HandlerSupport.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/ImageBytes.h"
#include "platform/base/Canvas.h"
#include "platform/base/Fatal.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr int kUserSetBytes = 2;
constexpr int kMaxText = 64;
constexpr int kHighestHexDigit = 15;
// DigitSet: digits 1 to 7 are bits 7 to 1; bit 0 belongs to another setting.
constexpr int kDigitBits = 0xFE;

int ReadField(const ImageBytes& image, const SettingBits& f, int64_t base)
{
    if (f.Width == SettingWord) return image.U16(base + f.Offset);
    return image.Bits(base + f.Offset, f.Low, f.Width);
}

void WriteField(ImageBytes& image, const SettingBits& f, int64_t base, int value)
{
    if (f.Width == SettingWord) image.SetU16(base + f.Offset, uint32_t(value) & 0xFFFF);
    else image.SetBits(base + f.Offset, f.Low, f.Width, uint32_t(value));
}

bool Greyed(const ImageBytes& image, const SettingRow& row)
{
    if (row.GreyWhen && row.GreyWhen(image)) return true;
    const SettingGrey& g = row.Grey;
    if (g.Offset == 0) return false;
    const bool on = g.Bit < 0 ? image.U8(g.Offset) != 0 : image.Bit(g.Offset, g.Bit);
    return on != g.Set;
}

// The rows of every family that lists them through SettingBehaviours, by label.
std::array<const SettingRow*, CL_NoLabel>& Registry()
{
    static std::array<const SettingRow*, CL_NoLabel> rows{};
    return rows;
}

void RunRegisteredRow(indCellCall& call)
{
    const SettingRow* row = call.Label >= 0 && call.Label < CL_NoLabel ? Registry()[size_t(call.Label)] : nullptr;
    if (row) RunSettingRow(call, *row);
}

// The bytes a text or bit-array handler edits in place; written back when
// the handler reports a change.
template <size_t N>
int EditBytes(ImageBytes& image, int64_t at, int n, auto edit)
{
    std::array<char, N> bytes{};
    image.Read(at, bytes.data(), n);
    if (!edit(bytes.data())) return 0;
    image.Write(at, bytes.data(), n);
    return 1;
}

// Runs the row's handler; the value it arrived at is in `value`, non-zero
// when it changed.
int RunHandler(indCellCall& call, const SettingRow& row, ImageBytes& image, int64_t base, int& value)
{
    cmcCellCapsule* cap = call.Cap;
    CellExecResult& result = call.Result;
    const int max = row.UnitIdMax ? call.UnitIdMax : row.Max;
    const char* key = call.Pmr && row.PmrKey ? row.PmrKey : row.Key;
    switch (row.How) {
    case SettingHandler::List: return ChooseFromList(cap, key ? key : "", value, result);
    case SettingHandler::Cells: return ChooseFromCells(cap, key ? key : "", Flex0, value, cmNearestNumber, result);
    case SettingHandler::Timer: {
        value += row.Bias;
        const int changed = EditTime(cap, value, row.Units, row.Min, max, row.OffShown ? TimerOffShown : 0, 0, result);
        value -= row.Bias;
        return changed;
    }
    case SettingHandler::MinSec:
        return EditMinSec(cap, value, row.Min, max, row.Step, row.OffShown ? TimerOffShown : 0, result);
    case SettingHandler::Number: return EditIntWrap(cap, value, row.Min, max, result);
    case SettingHandler::Byte: {
        uint8_t byte = uint8_t(value);
        const int changed = EditByteValue(cap, byte, row.Min, max, result);
        value = byte;
        return changed;
    }
    case SettingHandler::Stepped: {
        int shown = value * row.Scale;
        const int changed = EditIntValue(cap, shown, row.Min, max, 0, row.Step, nullptr, false, false, result);
        value = shown / row.Scale;
        return changed;
    }
    case SettingHandler::Scaled: {
        int shown = value * row.Scale;
        const int changed = EditScaledValue(cap, shown, row.StoredDecimals, row.ShownDecimals, row.From, row.To,
                                            row.Step, row.StepKeys, false, result);
        value = shown / row.Scale;
        return changed;
    }
    case SettingHandler::Digits: return EditNumber(cap, value, row.Length, row.Min, max, false, result);
    case SettingHandler::HexDigit: return EditHexDigit(cap, value, max >= kHighestHexDigit, result);
    case SettingHandler::HexDigits: return EditHexDigits(cap, value, row.Length, true, result);
    case SettingHandler::DigitSet: {
        const int kept = value & ~kDigitBits;
        value &= kDigitBits;
        const int changed = EditBitField(cap, value, 1, 7, 0, "", result);
        value = kept | (value & kDigitBits);
        return changed;
    }
    case SettingHandler::LcdText: {
        const int n = std::clamp(row.Length, 0, kMaxText);
        return EditBytes<kMaxText>(image, base + row.Field.Offset, n,
                                   [&](char* text) { return EditLcdText(cap, text, n, false, result); });
    }
    case SettingHandler::UserSetBit:
        return EditBytes<kUserSetBytes>(image, base + row.Field.Offset, kUserSetBytes, [&](char* bytes) {
            return EditUserSetBit(cap, reinterpret_cast<uint8_t*>(bytes), kUserSetBytes, row.Item, result);
        });
    }
    return 0;
}

// Whether the handler wrote the image itself rather than handing back a value.
bool EditsInPlace(const SettingRow& row)
{
    return row.How == SettingHandler::LcdText || row.How == SettingHandler::UserSetBit;
}

}  // namespace

int ReadSettingValue(const ImageBytes& image, const SettingRow& row, int64_t base)
{
    if (row.Compose == SettingValue::Hundreds) {
        const int byte = image.U8(base + row.Field.Offset);
        return ((byte >> 6) & 1) * 100 + (byte & 0x0F);
    }
    if (row.BitCount > 0) {
        int value = 0;
        for (int i = 0; i < row.BitCount; ++i) {
            const SettingBit& bit = row.Bits[size_t(i)];
            if (bit.Offset >= 0 && image.Bit(base + bit.Offset, bit.Bit)) value |= 1 << i;
        }
        return value;
    }
    const int value = ReadField(image, row.Field, base);
    if (row.Signed && row.Field.Width == 8) return int(int8_t(uint8_t(value)));
    return value;
}

void WriteSettingValue(ImageBytes& image, const SettingRow& row, int value, int64_t base)
{
    if (row.Compose == SettingValue::Hundreds) {
        image.SetBit(base + row.Field.Offset, 6, (value / 100) & 1);
        image.SetBits(base + row.Field.Offset, 0, 4, uint32_t(value % 100));
        return;
    }
    if (row.BitCount > 0) {
        for (int i = 0; i < row.BitCount; ++i) {
            const SettingBit& bit = row.Bits[size_t(i)];
            if (bit.Offset >= 0) image.SetBit(base + bit.Offset, bit.Bit, (value >> i) & 1);
        }
        return;
    }
    WriteField(image, row.Field, base, value);
}

bool RunSettingRow(indCellCall& call, const SettingRow& row, int64_t base)
{
    cmcCellCapsule* cap = call.Cap;
    ImageBytes image(&call.Image());
    // A text draws itself while the handler runs: its colour is set first.
    if (row.How == SettingHandler::LcdText && Greyed(image, row)) GreySetting(cap);
    const int stored = ReadSettingValue(image, row, base);
    int value = stored == 0 && row.ZeroShownAs >= 0 ? row.ZeroShownAs : stored;
    // A correction a handler makes while the cell is only drawn is shown,
    // not stored.
    const bool store = RunHandler(call, row, image, base, value) && HasInput(cap);
    if (store && !EditsInPlace(row)) WriteSettingValue(image, row, value, base);
    if (row.Scope == ScopeAlways || (row.Scope == ScopeOnChange && store)) RepaintAllSettings(call);
    if (Greyed(image, row)) GreySetting(cap);
    if (row.DashesWhen && row.DashesWhen(image) && call.Result != erStartEdit) DashedSetting(cap);
    return store;
}

const SettingRow* FindSettingRow(std::span<const SettingRow> rows, int label)
{
    for (const SettingRow& row : rows)
        if (row.Label == label) return &row;
    return nullptr;
}

std::vector<LabelBehaviourEntry> SettingBehaviours(std::span<const SettingRow> rows,
                                                   std::span<const LabelBehaviourEntry> own)
{
    std::vector<LabelBehaviourEntry> entries;
    for (const SettingRow& row : rows) {
        if (row.Label < 0 || row.Label >= CL_NoLabel || Registry()[size_t(row.Label)])
            plat::Fatal("Illegal Cell assign. (" + std::to_string(row.Label) + ")");
        Registry()[size_t(row.Label)] = &row;
        entries.push_back({row.Label, RunRegisteredRow});
    }
    entries.insert(entries.end(), own.begin(), own.end());
    return entries;
}

void GreySetting(cmcCellCapsule* cap)
{
    if (cap->Canvas) cap->Canvas->GetFont().color = plat::clSilver;
}

void GreySetting(indCellCall& call) { GreySetting(call.Cap); }

void DashedSetting(cmcCellCapsule* cap)
{
    ShowText(cap, "---");
    GreySetting(cap);
}

void RepaintAllSettings(indCellCall& call) { call.Scope |= csEveryLabelled; }
