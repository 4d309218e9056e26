#pragma once
// Settings that are one byte, one 16-bit word or a few bits of the working
// image, each shown and edited through one value handler. A family lists its
// plain settings as rows of a table and runs them all through RunSetting;
// only settings with rules of their own are written as code.
#include "cells/LabelDispatch.h"
#include "core/cmcCellCapsule.h"

#include <span>

class ImageBytes;
class indCellCall;

enum class SettingEdit {
    List,          // ChooseFromList with Key
    IntWrap,       // EditIntWrap Min..Max
    ByteValue,     // EditByteValue Min..Max (whole bytes only)
    IntValueOff,   // EditIntValue Min..Max, "OFF" while the stored value is 0, clamp
    TimeByte,      // EditTimeByte, Units per second, OffMode (whole bytes only)
    Time,          // EditTime Min..Max, Units per second, OffMode
    ScaledValue,   // EditScaledValue: stored as it is, shown with Units decimals
};

struct ImageSetting {
    int Label;
    int Offset;           // working-image offset
    int Low = 0;          // the lowest bit of the field
    int Width = 8;        // bits: 1 to 8 within the byte, or 16 for a big-endian word
    SettingEdit How = SettingEdit::List;
    const char* Key = nullptr;  // the choice list
    int Min = 0;
    int Max = 0;
    int Units = 1;        // time units per second, or the shown decimals
    int OffMode = 0;
    bool Signed = false;  // a signed byte
    // Grey while the image says the setting does not apply (it stays
    // editable); none when null.
    bool (*GreyWhen)(const ImageBytes& image) = nullptr;
    // Bits added to the repaint scope on every call.
    CellChangeScope Scope = 0;
    // A change is stored only when this holds; the setting keeps its value
    // otherwise (the check tells the user why). None when null.
    bool (*MayStore)() = nullptr;
};

// Shows and edits the call's setting; true when a change was stored.
bool RunSetting(indCellCall& call, const ImageSetting& setting);
// The setting of the label in the table, or null.
const ImageSetting* FindSetting(std::span<const ImageSetting> table, int label);
// Draws the cell's text in silver (when drawing).
void GreyText(cmcCellCapsule* cap);
// "---" in silver: the cell does not apply and takes no input.
void DashedText(cmcCellCapsule* cap);
