#include "cells/ImageSettings.h"

#include "cells/HandlerSupport.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "model/ImageBytes.h"
#include "platform/base/Canvas.h"

#include <cstdint>
#include <string>

namespace {

constexpr int kWordWidth = 16;
constexpr const char* kOff = "OFF";

int ReadField(const ImageBytes& image, const ImageSetting& s)
{
    if (s.Width == kWordWidth) return image.U16(s.Offset);
    const int raw = image.Bits(s.Offset, s.Low, s.Width);
    return s.Signed ? int(int8_t(uint8_t(raw))) : raw;
}

void WriteField(ImageBytes& image, const ImageSetting& s, int value)
{
    if (s.Width == kWordWidth)
        image.SetU16(s.Offset, uint32_t(value) & 0xFFFF);
    else
        image.SetBits(s.Offset, s.Low, s.Width, uint32_t(value));
}

int Edit(indCellCall& call, const ImageSetting& s, int& value)
{
    cmcCellCapsule* cap = call.Cap;
    switch (s.How) {
    case SettingEdit::List: return ChooseFromList(cap, s.Key, value, call.Result);
    case SettingEdit::IntWrap: return EditIntWrap(cap, value, s.Min, s.Max, call.Result);
    case SettingEdit::ByteValue: {
        uint8_t byte = uint8_t(value);
        const int changed = EditByteValue(cap, byte, s.Min, s.Max, call.Result);
        value = byte;
        return changed;
    }
    case SettingEdit::IntValueOff: {
        const int changed =
            EditIntValue(cap, value, s.Min, s.Max, 0, 1, value == 0 ? kOff : nullptr, true, false, call.Result);
        // The text follows the value the handler arrived at.
        if (changed && call.Result != erStartEdit) ShowText(cap, value == 0 ? kOff : std::to_string(value));
        return changed;
    }
    case SettingEdit::TimeByte: {
        uint8_t byte = uint8_t(value);
        const int changed = EditTimeByte(cap, byte, s.Units, s.OffMode, call.Result);
        value = byte;
        return changed;
    }
    case SettingEdit::Time: return EditTime(cap, value, s.Units, s.Min, s.Max, s.OffMode, 0, call.Result);
    case SettingEdit::ScaledValue:
        return EditScaledValue(cap, value, 0, s.Units, s.Min, s.Max, 1, true, false, call.Result);
    }
    return 0;
}

}  // namespace

void GreyText(cmcCellCapsule* cap)
{
    if (cap->Canvas) cap->Canvas->GetFont().color = plat::clSilver;
}

void DashedText(cmcCellCapsule* cap)
{
    ShowText(cap, "---");
    GreyText(cap);
}

const ImageSetting* FindSetting(std::span<const ImageSetting> table, int label)
{
    for (const ImageSetting& s : table)
        if (s.Label == label) return &s;
    return nullptr;
}

bool RunSetting(indCellCall& call, const ImageSetting& s)
{
    ImageBytes image(&call.Image());
    call.Scope |= s.Scope;
    int value = ReadField(image, s);
    const int before = value;
    bool stored = false;
    if (Edit(call, s, value) && value != before) {
        if (!s.MayStore || s.MayStore()) {
            WriteField(image, s, value);
            stored = true;
        } else {
            // Refused: the cell shows the stored value again.
            value = before;
            cmcCellCapsule* cap = call.Cap;
            const int key = cap->Key;
            const auto phase = cap->Phase;
            cap->Key = 0;
            cap->Phase = cpKeyOrRender;
            Edit(call, s, value);
            cap->Key = key;
            cap->Phase = phase;
        }
    }
    if (s.GreyWhen && s.GreyWhen(image)) GreyText(call.Cap);
    return stored;
}
