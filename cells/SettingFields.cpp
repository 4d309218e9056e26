#include "cells/SettingFields.h"

#include "cells/HandlerSupport.h"
#include "cells/ValueHandlers.h"
#include "model/ImageBytes.h"

#include <algorithm>
#include <cmath>

int ReadImageField(const cmcEeprom& image, const ImageField& field, int64_t base)
{
    const ImageBytes bytes(image);
    const int64_t at = base + field.Offset;
    if (field.Width == WordField) return bytes.U16(at);
    return bytes.Bits(at, field.Low, field.Width);
}

void WriteImageField(cmcEeprom& image, const ImageField& field, int64_t base, int value)
{
    ImageBytes bytes(&image);
    const int64_t at = base + field.Offset;
    if (field.Width == WordField)
        bytes.SetU16(at, uint32_t(value) & 0xFFFF);
    else
        bytes.SetBits(at, field.Low, field.Width, uint32_t(value));
}

const ImageField* FindImageField(std::span<const ImageField> fields, int label)
{
    for (const ImageField& f : fields)
        if (f.Label == label) return &f;
    return nullptr;
}

bool RunImageField(indCellCall& call, const ImageField& f, int64_t base)
{
    cmcCellCapsule* cap = call.Cap;
    CellExecResult& result = call.Result;
    const int stored = ReadImageField(call.Image(), f, base);
    int value = stored;
    int changed = 0;
    switch (f.Editor) {
    case FieldEditor::Choice: changed = ChooseFromList(cap, f.Key, value, result); break;
    case FieldEditor::Timer: {
        uint8_t byte = uint8_t(value);
        changed = EditTimeByte(cap, byte, f.Units, 0, result);
        value = byte;
        break;
    }
    case FieldEditor::Scaled:
        changed = EditScaledValue(cap, value, f.Stored, f.Shown, f.Min, f.Max, f.Step, f.Steps, false, result);
        break;
    case FieldEditor::IntWrap: changed = EditIntWrap(cap, value, int(f.Min), int(f.Max), result); break;
    case FieldEditor::ByteValue: {
        uint8_t byte = uint8_t(value);
        changed = EditByteValue(cap, byte, int(f.Min), int(f.Max), result);
        value = byte;
        break;
    }
    case FieldEditor::HexDigit: changed = EditHexDigit(cap, value, f.Units >= 15, result); break;
    case FieldEditor::HexDigits: changed = EditHexDigits(cap, value, f.Units, true, result); break;
    case FieldEditor::Number: changed = EditNumber(cap, value, f.Units, int(f.Min), int(f.Max), false, result); break;
    case FieldEditor::DigitSet: {
        // Digits 1 to 7 are bits 7 to 1; bit 0 belongs to another setting.
        value = stored & 0xFE;
        changed = EditBitField(cap, value, 1, 7, 0, "", result);
        value = (stored & 0x01) | (value & 0xFE);
        break;
    }
    }
    if (!changed) return false;
    WriteImageField(call.Image(), f, base, value);
    return true;
}

int RoundHalfAway(double value)
{
    if (!std::isfinite(value)) return 0;
    return int(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

const RecordChoice* FindRecordChoice(std::span<const RecordChoice> rows, int label)
{
    for (const RecordChoice& r : rows)
        if (r.Label == label) return &r;
    return nullptr;
}

bool RunRecordChoice(indCellCall& call, const RecordChoice& row)
{
    if (row.DashesOnFirstRow && call.Index == 0) {
        ShowDashes(call.Cap);
        return false;
    }
    int value = row.Get(call.Rec);
    if (!ChooseFromList(call.Cap, row.Key, value, call.Result)) return false;
    row.Set(call.Rec, value);
    call.Rec.Commit();
    return true;
}

void ShowDashes(cmcCellCapsule* cap) { ShowText(cap, "----"); }
