#pragma once
// Settings kept as one field of the working image: a byte, a bit field of
// one byte, or a big-endian 16-bit word. A family lists such settings as
// rows (label, offset, bits, value handler and its arguments); one function
// reads the field, runs the handler and writes a change back, keeping the
// other bits of the byte.
#include "cells/indCellCall.h"

#include <cstdint>
#include <span>

class cmcEeprom;

enum class FieldEditor {
    Choice,     // ChooseFromList over Key
    Timer,      // EditTimeByte, Units per second, never the "off" text
    Scaled,     // EditScaledValue: Stored and Shown decimals, Min..Max, Step, Steps
    IntWrap,    // EditIntWrap over Min..Max
    ByteValue,  // EditByteValue over Min..Max
    HexDigit,   // EditHexDigit; Units is the highest digit (14 or 15)
    HexDigits,  // EditHexDigits, Units digits
    Number,     // EditNumber: Units digits with zeros, Min..Max
    DigitSet,   // EditBitField over the digits 1 to 7 (digit 1 the top bit)
};

constexpr int WordField = 16;

struct ImageField {
    int Label;
    int Offset;            // from the base the family gives
    FieldEditor Editor;
    int Low = 0;           // the field's lowest bit
    int Width = 8;         // 1 to 8 bits of one byte, or WordField
    const char* Key = nullptr;
    int Units = 1;
    int Stored = 0;
    int Shown = 0;
    double Min = 0;
    double Max = 0;
    int Step = 1;
    bool Steps = true;
};

int ReadImageField(const cmcEeprom& image, const ImageField& field, int64_t base);
void WriteImageField(cmcEeprom& image, const ImageField& field, int64_t base, int value);

const ImageField* FindImageField(std::span<const ImageField> fields, int label);

// Shows the field at base + Offset and applies the call's input; true when
// the value changed and was written.
bool RunImageField(indCellCall& call, const ImageField& field, int64_t base);

// A real-valued record field (a tone frequency or period) as the integer
// that value handlers edit: halves are taken away from zero, so that what is
// stored, saved and read back is the value shown.
int RoundHalfAway(double value);

// A choice field of the call's decoded record, stored with datCh::Commit.
struct RecordChoice {
    int Label;
    const char* Key;
    int (*Get)(const datCh&);
    void (*Set)(datCh&, int);
    bool DashesOnFirstRow = false;  // the sheet's first row (index 0) has no such field
};

#define RECORD_FIELD(expr) \
    [](const datCh& r) { return int(r.expr); }, [](datCh& r, int v) { r.expr = decltype(r.expr)(v); }

const RecordChoice* FindRecordChoice(std::span<const RecordChoice> rows, int label);
// Shows the choice and applies the call's input; true when it changed.
bool RunRecordChoice(indCellCall& call, const RecordChoice& row);

// "----": the cell has no value here and takes no input.
void ShowDashes(cmcCellCapsule* cap);
