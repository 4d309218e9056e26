#pragma once
// Setting cells described as table rows. Most settings are one field of the
// working image shown and edited through one value handler: a row names the
// label, where the value lives, the handler with its parameters, when the
// cell is drawn grey and what else repaints after a change. RunSettingRow
// does the rest; only cells with rules of their own are written as code.
#include "cells/LabelDispatch.h"
#include "core/cmcCellCapsule.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class ImageBytes;
class indCellCall;

// A bit field of one working-image byte (bit 7 the most significant); a
// width of 16 is the big-endian word at the offset.
struct SettingBits {
    int Offset = 0;
    int Low = 0;
    int Width = 8;
};

constexpr int SettingWord = 16;

// One bit of a value composed of single bits; Offset -1 stands for a value
// bit that is not stored (read as 0, never written).
struct SettingBit {
    int Offset = -1;
    int Bit = 0;
};

enum class SettingHandler {
    List,        // ChooseFromList with the row's list key (PmrKey on PMR models, when given)
    Cells,       // ChooseFromCells on the list key (label Flex0), typed numbers matched to the nearest entry
    Timer,       // EditTime: Units per second, Min..Max, optionally "off" at 0; shown = stored + Bias
    MinSec,      // EditMinSec Min..Max seconds, Step seconds a stored unit, optionally "off" at 0
    Number,      // EditIntWrap Min..Max (Signed: the byte is a signed number)
    Byte,        // EditByteValue Min..Max
    Stepped,     // EditIntValue Min..Max in steps of Step, shown and typed as value x Scale
    Scaled,      // EditScaledValue on value x Scale over From..To
    Digits,      // EditNumber: Length decimal digits with zeros, Min..Max
    HexDigit,    // EditHexDigit; Max is the highest digit (14 or 15)
    HexDigits,   // EditHexDigits: Length digits
    DigitSet,    // EditBitField over the digits 1 to 7 of the byte (digit 1 bit 7); bit 0 stays
    LcdText,     // EditLcdText over Length bytes from the offset, filled with blanks
    UserSetBit,  // EditUserSetBit: item Item of the set-mode enable bits
};

// How the stored value is composed.
enum class SettingValue {
    Field,     // the Field, or the Bits when BitCount > 0
    Hundreds,  // bit 6 of the byte x 100 + its low nibble (a level list's second page)
};

// When the cell is drawn grey: unless the bit (or, with Bit -1, the whole
// byte being non-zero) equals Set. Offset 0: never.
struct SettingGrey {
    int Offset = 0;
    int Bit = -1;
    bool Set = true;
};

// When every labelled cell repaints.
enum SettingScope : int {
    ScopeNone = 0,
    ScopeOnChange = 1,  // after a change was stored
    ScopeAlways = 2,    // after every run
};

constexpr int kMaxSettingBits = 5;

struct SettingRow {
    int Label;
    SettingHandler How = SettingHandler::List;
    SettingBits Field = {};     // the value (unless composed of Bits)
    const char* Key = nullptr;  // the list of List and Cells rows
    const char* PmrKey = nullptr;
    // A value composed of single bits: value bit i is Bits[i].
    std::array<SettingBit, kMaxSettingBits> Bits{};
    int BitCount = 0;
    SettingValue Compose = SettingValue::Field;
    int Units = 1;              // Timer: units per second
    bool OffShown = false;      // Timer, MinSec: 0 shows the "off" text
    int Min = 0;
    int Max = 255;
    bool UnitIdMax = false;     // Number: Max is the unit ID limit of the overlay
    bool Signed = false;
    int Step = 1;               // Stepped, Scaled; MinSec: seconds a stored unit
    int Scale = 1;              // Stepped, Scaled: shown value = stored value x Scale
    double From = 0;            // Scaled: the range in shown units
    double To = 0;
    int Bias = 0;               // Timer: shown value = stored value + Bias
    int StoredDecimals = 0;     // Scaled
    int ShownDecimals = 0;      // Scaled
    bool StepKeys = true;       // Scaled: Space and Backspace step
    int Length = 0;             // LcdText: characters; Digits, HexDigits: digits
    int Item = 0;               // UserSetBit: enable item
    int ZeroShownAs = -1;       // a stored 0 is shown (and stepped from) as this value, when not -1
    SettingGrey Grey = {};
    bool (*GreyWhen)(const ImageBytes&) = nullptr;    // a grey rule of several fields
    bool (*DashesWhen)(const ImageBytes&) = nullptr;  // "---" in grey; the value stays editable
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
    constexpr SettingRow DashesIf(bool (*when)(const ImageBytes&)) const
    {
        SettingRow r = *this;
        r.DashesWhen = when;
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
// A list whose value is composed of single bits, value bit 0 first.
constexpr SettingRow BitsListRow(int label, std::array<SettingBit, kMaxSettingBits> bits, int count, const char* key)
{
    return {.Label = label, .How = SettingHandler::List, .Key = key, .Bits = bits, .BitCount = count};
}
// A list whose value is the one-bit Upper field above the Field.
constexpr SettingRow SplitListRow(int label, SettingBits upper, SettingBits field, const char* key)
{
    std::array<SettingBit, kMaxSettingBits> bits{};
    int n = 0;
    for (int i = 0; i < field.Width && n < kMaxSettingBits; ++i) bits[size_t(n++)] = {field.Offset, field.Low + i};
    for (int i = 0; i < upper.Width && n < kMaxSettingBits; ++i) bits[size_t(n++)] = {upper.Offset, upper.Low + i};
    return BitsListRow(label, bits, n, key);
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
constexpr SettingRow ByteRow(int label, SettingBits field, int min, int max)
{
    return {.Label = label, .How = SettingHandler::Byte, .Field = field, .Min = min, .Max = max};
}
constexpr SettingRow LcdTextRow(int label, int offset, int length)
{
    return {.Label = label, .How = SettingHandler::LcdText, .Field = {offset, 0, 8}, .Length = length};
}

// The stored value of the row's fields, and writing one back (only the
// fields' bits change). The fields lie at base + their offsets.
int ReadSettingValue(const ImageBytes& image, const SettingRow& row, int64_t base = 0);
void WriteSettingValue(ImageBytes& image, const SettingRow& row, int value, int64_t base = 0);

// Shows and edits the call's cell as the row says, the fields at base +
// their offsets (the grey rules read the image as it is); true when the
// call's input stored a value. Drawing never writes the image.
bool RunSettingRow(indCellCall& call, const SettingRow& row, int64_t base = 0);

// The row of the label, or null.
const SettingRow* FindSettingRow(std::span<const SettingRow> rows, int label);

// The behaviours of a family: every row run through RunSettingRow, then the
// family's cells with rules of their own. The rows must outlive the program
// (static tables).
std::vector<LabelBehaviourEntry> SettingBehaviours(std::span<const SettingRow> rows,
                                                   std::span<const LabelBehaviourEntry> own);

// Shared by the setting families.
// Grey font while the cell is drawn; the value stays editable.
void GreySetting(cmcCellCapsule* cap);
void GreySetting(indCellCall& call);
// "---" in grey: the setting does not apply.
void DashedSetting(cmcCellCapsule* cap);
// Adds every labelled cell to the repaint scope.
void RepaintAllSettings(indCellCall& call);
