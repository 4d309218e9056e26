#include "cells/SettingCells.h"

#include "cells/HandlerSupport.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/ImageBytes.h"
#include "platform/base/Canvas.h"

#include <algorithm>
#include <vector>

namespace setting {

namespace {

constexpr int kWord = 16;

}  // namespace

const Row* Find(std::span<const Row> rows, int label)
{
    for (const Row& row : rows)
        if (row.Label == label) return &row;
    return nullptr;
}

int Read(const ImageBytes& image, const Row& row)
{
    if (row.PartCount > 0) {
        int value = 0;
        for (int i = 0; i < row.PartCount; ++i) {
            const BitRef& part = row.Parts[size_t(i)];
            if (part.Offset >= 0 && image.Bit(part.Offset, part.Bit)) value |= 1 << i;
        }
        return value;
    }
    if (row.Width == kWord) return image.U16(row.Offset);
    const int value = image.Bits(row.Offset, row.Low, row.Width);
    if (row.Signed && row.Width == 8 && value >= 128) return value - 256;
    return value;
}

void Write(ImageBytes& image, const Row& row, int value)
{
    if (row.PartCount > 0) {
        for (int i = 0; i < row.PartCount; ++i) {
            const BitRef& part = row.Parts[size_t(i)];
            if (part.Offset >= 0) image.SetBit(part.Offset, part.Bit, (value >> i) & 1);
        }
        return;
    }
    if (row.Width == kWord) {
        image.SetU16(row.Offset, uint32_t(value) & 0xFFFF);
        return;
    }
    image.SetBits(row.Offset, row.Low, row.Width, uint32_t(value));
}

void Grey(cmcCellCapsule* cap)
{
    if (cap->Canvas) cap->Canvas->GetFont().color = plat::clSilver;
}

bool Run(indCellCall& call, const Row& row)
{
    cmcCellCapsule* cap = call.Cap;
    ImageBytes image(&call.Image());
    call.Scope |= row.Always;
    if (row.How == Editor::LcdText) {
        std::vector<char> text(size_t(std::max(row.Max, 0)));
        image.Read(row.Offset, text.data(), row.Max);
        if (row.GreyWhen && row.GreyWhen(image)) Grey(cap);  // the text draws itself
        const bool store = EditLcdText(cap, text.data(), row.Max, false, call.Result) && HasInput(cap);
        if (store) {
            image.Write(row.Offset, text.data(), row.Max);
            call.Scope |= row.OnChange;
        }
        if (row.GreyWhen && row.GreyWhen(image)) Grey(cap);
        return store;
    }
    const int stored = Read(image, row);
    int value = stored == 0 && row.ZeroShownAs >= 0 ? row.ZeroShownAs : stored;
    const int max = row.UnitIdMax ? call.UnitIdMax : row.Max;
    const std::string key = row.Key ? (call.Pmr && row.PmrKey ? row.PmrKey : row.Key) : "";
    int changed = 0;
    switch (row.How) {
    case Editor::List: changed = ChooseFromList(cap, key, value, call.Result); break;
    case Editor::Cells: changed = ChooseFromCells(cap, key, Flex0, value, cmNearestNumber, call.Result); break;
    case Editor::Time: changed = EditTime(cap, value, row.Units, row.Min, max, row.OffMode, 0, call.Result); break;
    case Editor::IntWrap: changed = EditIntWrap(cap, value, row.Min, max, call.Result); break;
    case Editor::ByteValue: {
        uint8_t byte = uint8_t(value);
        changed = EditByteValue(cap, byte, row.Min, max, call.Result);
        value = byte;
        break;
    }
    case Editor::IntStep: {
        int shown = value * row.Step;
        changed = EditIntValue(cap, shown, row.Min, max, 0, row.Step, nullptr, true, false, call.Result);
        value = shown / row.Step;
        break;
    }
    case Editor::Scaled:
        changed = EditScaledValue(cap, value, row.StoredDecimals, row.ShownDecimals, row.Min, max, 1, true, false,
                                  call.Result);
        break;
    case Editor::MinSec:
        changed = EditMinSec(cap, value, row.Min, max, row.Step, row.OffMode, call.Result);
        break;
    case Editor::LcdText: break;
    }
    // A correction the handler made while the cell was only drawn is shown,
    // not stored.
    const bool store = changed && HasInput(cap);
    if (store) {
        Write(image, row, value);
        call.Scope |= row.OnChange;
    }
    if (row.GreyWhen && row.GreyWhen(image)) Grey(cap);
    if (row.DashesWhen && row.DashesWhen(image) && call.Result != erStartEdit) {
        ShowText(cap, "---");
        Grey(cap);
    }
    return store;
}

}  // namespace setting
