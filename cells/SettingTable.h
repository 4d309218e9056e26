#pragma once
// Setting cells described as table rows. Most radio-wide settings are one
// field of the working image shown and edited through one value handler: a
// row names the label, where the value lives, the handler with its
// parameters, when the cell is drawn grey and what else repaints after a
// change. RunSettingRow does the rest; only cells with rules of their own
// are written as code.
#include "cells/LabelDispatch.h"

#include <span>
#include <vector>

class ImageBytes;
class indCellCall;

// A bit field of one working-image byte (bit 7 the most significant); a
// width of 16 is the big-endian word at the offset.
struct SettingBits {
    int Offset = 0;  // 0: no field
    int Low = 0;
    int Width = 8;
};

enum class SettingHandler {
    List,        // ChooseFromList with the row's list key
    Timer,       // EditTimeByteEx: Units per second, Min..Max, optionally "off" at 0
    Number,      // EditIntWrap Min..Max (Signed: the byte is a signed number)
    Byte,        // EditByteValue Min..Max
    Stepped,     // EditIntValue Min..Max in steps of Step, shown and typed as value x Scale
    Scaled,      // EditScaledValue on value x Scale
    LcdText,     // EditLcdText over Length bytes from the offset, filled with blanks
    UserSetBit,  // EditUserSetBit: item Item of the set-mode enable bits
};

// How the stored value is composed from the fields.
enum class SettingValue {
    Bits,      // the Upper field above the Field: (Upper << width of Field) | Field
    Hundreds,  // bit 6 of the byte x 100 + its low nibble (a level list's second page)
};

// When the cell is drawn grey: unless the bit (or, with Bit -1, the whole
// byte being non-zero) equals Set. Offset 0: never.
struct SettingGrey {
    int Offset = 0;
    int Bit = -1;
    bool Set = true;
};

// Bits added to the repaint scope.
enum SettingScope : int {
    ScopeNone = 0,
    ScopeOnChange = 1,  // every labelled cell after a change
    ScopeAlways = 2,    // every labelled cell after every run
};

struct SettingRow {
    int Label;
    SettingHandler How;
    SettingBits Field;          // the value (its low part for composed values)
    const char* Key = nullptr;  // the list of List rows
    SettingBits Upper = {};     // the high part of a value split over two fields
    SettingValue Compose = SettingValue::Bits;
    int Units = 1;              // Timer: units per second
    bool OffShown = false;      // Timer: 0 shows the "off" text
    int Min = 0;
    int Max = 255;
    bool Signed = false;
    int Step = 1;               // Stepped, Scaled
    int Scale = 1;              // Stepped, Scaled: shown value = stored value x Scale
    double From = 0;            // Scaled: the range in shown units
    double To = 0;
    int Offset = 0;             // Timer: shown value = stored value + Offset
    int StoredDecimals = 0;     // Scaled
    int ShownDecimals = 0;      // Scaled
    bool StepKeys = true;       // Scaled: Space and Backspace step
    int Length = 0;             // LcdText: characters
    int Item = 0;               // UserSetBit: enable item
    SettingGrey Grey = {};
    bool (*GreyWhen)(const ImageBytes&) = nullptr;  // a grey rule of several fields
    int Scope = ScopeNone;

    // Copies with a grey rule or a repaint scope added.
    constexpr SettingRow GreyUnless(int offset, int bit, bool set = true) const
    {
        SettingRow r = *this;
        r.Grey = {offset, bit, set};
        return r;
    }
    constexpr SettingRow GreyWhenSet(int offset, int bit) const { return GreyUnless(offset, bit, false); }
    constexpr SettingRow GreyIf(bool (*when)(const ImageBytes&)) const
    {
        SettingRow r = *this;
        r.GreyWhen = when;
        return r;
    }
    constexpr SettingRow Repaint(int scope = ScopeOnChange) const
    {
        SettingRow r = *this;
        r.Scope = scope;
        return r;
    }
};

// The common kinds of rows.
constexpr SettingRow ListRow(int label, int offset, int low, int width, const char* key)
{
    return {.Label = label, .How = SettingHandler::List, .Field = {offset, low, width}, .Key = key};
}
// A list whose value is the Upper field above the Field.
constexpr SettingRow SplitListRow(int label, SettingBits upper, SettingBits field, const char* key)
{
    return {.Label = label, .How = SettingHandler::List, .Field = field, .Key = key, .Upper = upper};
}
// A level list: bit 6 x 100 + the low nibble of the byte.
constexpr SettingRow LevelListRow(int label, int offset, const char* key)
{
    return {.Label = label, .How = SettingHandler::List, .Field = {offset, 0, 8}, .Key = key,
            .Compose = SettingValue::Hundreds};
}
// A duration byte counting 1/units seconds; offShown: 0 shows the "off" text.
constexpr SettingRow TimerRow(int label, int offset, int units, bool offShown = false)
{
    return {.Label = label, .How = SettingHandler::Timer, .Field = {offset, 0, 8}, .Units = units, .OffShown = offShown};
}
constexpr SettingRow NumberRow(int label, int offset, int min, int max, bool isSigned = false)
{
    return {.Label = label, .How = SettingHandler::Number, .Field = {offset, 0, 8}, .Min = min, .Max = max,
            .Signed = isSigned};
}
constexpr SettingRow LcdTextRow(int label, int offset, int length)
{
    return {.Label = label, .How = SettingHandler::LcdText, .Field = {offset, 0, 8}, .Length = length};
}

// The stored value of the row's fields, and writing one back (only the
// fields' bits change).
int ReadSettingValue(const ImageBytes& image, const SettingRow& row);
void WriteSettingValue(ImageBytes& image, const SettingRow& row, int value);

// Shows and edits the call's cell as the row says.
void RunSettingRow(indCellCall& call, const SettingRow& row);

// The behaviours of a family: every row run through RunSettingRow, then the
// family's cells with rules of their own. The rows must outlive the program
// (static tables).
std::vector<LabelBehaviourEntry> SettingBehaviours(std::span<const SettingRow> rows,
                                                   std::span<const LabelBehaviourEntry> own);

// Shared by the setting families.
// Grey font while the cell is drawn; the value stays editable.
void GreySetting(indCellCall& call);
// Adds every labelled cell to the repaint scope.
void RepaintAllSettings(indCellCall& call);
