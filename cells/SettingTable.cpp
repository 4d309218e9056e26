#include "cells/SettingTable.h"

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

int ReadField(const ImageBytes& image, const SettingBits& f)
{
    if (f.Width == 16) return image.U16(f.Offset);
    return image.Bits(f.Offset, f.Low, f.Width);
}

void WriteField(ImageBytes& image, const SettingBits& f, int value)
{
    if (f.Width == 16) image.SetU16(f.Offset, uint32_t(value) & 0xFFFF);
    else image.SetBits(f.Offset, f.Low, f.Width, uint32_t(value));
}

bool Greyed(const ImageBytes& image, const SettingRow& row)
{
    if (row.GreyWhen && row.GreyWhen(image)) return true;
    const SettingGrey& g = row.Grey;
    if (g.Offset == 0) return false;
    const bool on = g.Bit < 0 ? image.U8(g.Offset) != 0 : image.Bit(g.Offset, g.Bit);
    return on != g.Set;
}

// The rows of every setting family by label, filled as the families join.
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

// Runs the row's handler on the value; non-zero when it changed.
int RunHandler(indCellCall& call, const SettingRow& row, ImageBytes& image)
{
    cmcCellCapsule* cap = call.Cap;
    CellExecResult& result = call.Result;
    int value = ReadSettingValue(image, row);
    switch (row.How) {
    case SettingHandler::List:
        if (!ChooseFromList(cap, row.Key, value, result)) return 0;
        break;
    case SettingHandler::Timer: {
        value += row.Offset;
        if (!EditTime(cap, value, row.Units, row.Min, row.Max, row.OffShown ? TimerOffShown : 0, 0, result)) return 0;
        value -= row.Offset;
        break;
    }
    case SettingHandler::Number:
        if (!EditIntWrap(cap, value, row.Min, row.Max, result)) return 0;
        break;
    case SettingHandler::Byte: {
        uint8_t byte = uint8_t(value);
        if (!EditByteValue(cap, byte, row.Min, row.Max, result)) return 0;
        value = byte;
        break;
    }
    case SettingHandler::Stepped:
        value *= row.Scale;
        if (!EditIntValue(cap, value, row.Min, row.Max, 0, row.Step, nullptr, false, false, result)) return 0;
        value /= row.Scale;
        break;
    case SettingHandler::Scaled:
        value *= row.Scale;
        if (!EditScaledValue(cap, value, row.StoredDecimals, row.ShownDecimals, row.From, row.To, row.Step,
                             row.StepKeys, false, result))
            return 0;
        value /= row.Scale;
        break;
    case SettingHandler::LcdText: {
        std::array<char, kMaxText> text{};
        const int n = std::min(row.Length, kMaxText);
        image.Read(row.Field.Offset, text.data(), n);
        if (!EditLcdText(cap, text.data(), n, false, result)) return 0;
        image.Write(row.Field.Offset, text.data(), n);
        return 1;
    }
    case SettingHandler::UserSetBit: {
        std::array<uint8_t, kUserSetBytes> bytes{};
        image.Read(row.Field.Offset, bytes.data(), kUserSetBytes);
        if (!EditUserSetBit(cap, bytes.data(), kUserSetBytes, row.Item, result)) return 0;
        image.Write(row.Field.Offset, bytes.data(), kUserSetBytes);
        return 1;
    }
    }
    WriteSettingValue(image, row, value);
    return 1;
}

}  // namespace

int ReadSettingValue(const ImageBytes& image, const SettingRow& row)
{
    if (row.Compose == SettingValue::Hundreds) {
        const int byte = image.U8(row.Field.Offset);
        return ((byte >> 6) & 1) * 100 + (byte & 0x0F);
    }
    int value = ReadField(image, row.Field);
    if (row.Signed && row.Field.Width == 8) value = int(int8_t(uint8_t(value)));
    if (row.Upper.Offset) value |= ReadField(image, row.Upper) << row.Field.Width;
    return value;
}

void WriteSettingValue(ImageBytes& image, const SettingRow& row, int value)
{
    if (row.Compose == SettingValue::Hundreds) {
        image.SetBit(row.Field.Offset, 6, (value / 100) & 1);
        image.SetBits(row.Field.Offset, 0, 4, uint32_t(value % 100));
        return;
    }
    WriteField(image, row.Field, value & ((1 << row.Field.Width) - 1));
    if (row.Upper.Offset) WriteField(image, row.Upper, value >> row.Field.Width);
}

void RunSettingRow(indCellCall& call, const SettingRow& row)
{
    ImageBytes image(&call.Image());
    const int changed = RunHandler(call, row, image);
    if (call.Cap->Canvas && Greyed(image, row)) GreySetting(call);
    if (row.Scope == ScopeAlways || (row.Scope == ScopeOnChange && changed)) RepaintAllSettings(call);
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

void GreySetting(indCellCall& call)
{
    if (call.Cap->Canvas) call.Cap->Canvas->GetFont().color = plat::clSilver;
}

void RepaintAllSettings(indCellCall& call) { call.Scope |= csEveryLabelled; }
