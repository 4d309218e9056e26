#pragma once
// Setting cells: cells without a record that show and edit one field of the
// working image (a bit, a few bits, a byte, a big-endian word, or a value
// composed of single bits scattered over several bytes) through one value
// handler. A family lists such cells as rows of a table and hands each call
// to RunSettingRow; only cells with rules of their own need code.
#include "core/cmcCellCapsule.h"

#include <array>
#include <span>

class indCellCall;
class ImageBytes;

namespace setting {

// How the field is shown and edited.
enum class Editor {
    List,      // ChooseFromList on Key (label Flex0)
    Cells,     // ChooseFromCells on Key (label Flex0), typed numbers matched to the nearest entry
    Time,      // EditTime: Units per second, Min..Max, OffMode
    IntWrap,   // EditIntWrap Min..Max (Max 0 with UnitIdMax: the unit ID limit)
    ByteValue, // EditByteValue Min..Max
    IntStep,   // EditIntValue Min..Max in steps of Step, clamped; stored as value / Step
    Scaled,    // EditScaledValue: StoredDecimals stored, ShownDecimals shown, Min..Max, step 1
    MinSec,    // EditMinSec Min..Max seconds, Step seconds a stored unit, OffMode
    LcdText,   // EditLcdText: Max characters at Offset, filled up with blanks
};

// One bit of the image; Offset -1 stands for a value bit that is not stored
// (read as 0, never written).
struct BitRef {
    int Offset = -1;
    int Bit = 0;
};

struct Row {
    int Label;
    int Offset = 0;       // the byte (or the high byte of a word)
    int Low = 0;          // lowest bit of a bit field
    int Width = 8;        // bits of the field; 16: a big-endian word at Offset
    Editor How = Editor::List;
    const char* Key = nullptr;
    const char* PmrKey = nullptr;  // the list on PMR models, when it differs
    int Min = 0;
    int Max = 0;
    int Units = 1;        // Time: stored units per second
    int OffMode = 0;      // Time, MinSec: 1 shows a stored 0 as the "off" text
    int Step = 1;         // IntStep: the step (and divisor of the stored byte); MinSec: seconds a unit
    int StoredDecimals = 0;
    int ShownDecimals = 0;
    bool Signed = false;  // a byte read as -128..127
    bool UnitIdMax = false;  // Max is the unit ID limit of the overlay
    // A value composed of single bits: value bit i is Parts[i]. Used when
    // PartCount > 0, in place of Offset/Low/Width.
    std::array<BitRef, 5> Parts{};
    int PartCount = 0;
    // A stored 0 is shown (and stepped from) as this value, when not -1.
    int ZeroShownAs = -1;
    // Drawn grey (silver) when this holds; the cell stays editable.
    bool (*GreyWhen)(const ImageBytes& image) = nullptr;
    // Shows "---" in grey when this holds; the value stays editable.
    bool (*DashesWhen)(const ImageBytes& image) = nullptr;
    // Added to the repaint scope on every call, and after a change.
    CellChangeScope Always = 0;
    CellChangeScope OnChange = 0;
};

// The row of the label, or null.
const Row* Find(std::span<const Row> rows, int label);
// Shows and edits the row's field; true when the image changed.
bool Run(indCellCall& call, const Row& row);

// The field's value as stored, and written back.
int Read(const ImageBytes& image, const Row& row);
void Write(ImageBytes& image, const Row& row, int value);

// Draws the cell in silver (it stays editable).
void Grey(cmcCellCapsule* cap);

}  // namespace setting
