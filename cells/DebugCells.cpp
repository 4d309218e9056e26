// The cells of the image debug window: one row per 16 bytes of the working
// image, its address and the bytes in hexadecimal. A byte that differs from
// the comparison snapshot (the "Set Comp" button) is marked.
#include "cells/CellFamilies.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/cmcCellCapsule.h"
#include "model/indMain.h"

#include <cstdio>

namespace {

constexpr int kBytesPerRow = 16;

void RowAddress(indCellCall& call)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", call.Index * kBytesPerRow);
    call.Cap->Text = text;
}

// Byte `column` of the row.
template <int column>
void ImageByte(indCellCall& call)
{
    if (g_Main == nullptr || call.Index < 0) return;
    const int address = call.Index * kBytesPerRow + column;
    const cmcEeprom& image = g_Main->CurrentImage();
    if (address >= image.Size()) return;
    const int value = image.GetByte(address);
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    call.Cap->Text = text;
    const cmcEeprom& reference = g_Main->DebugReference();
    if (address < reference.Size() && reference.GetByte(address) != value) call.Cap->WarningMark = true;
}

constexpr LabelBehaviourEntry kDebugCells[] = {
    {CL_EeDebugWin_Adr, RowAddress}, {CL_EeDebugWin_0, ImageByte<0>},   {CL_EeDebugWin_1, ImageByte<1>},
    {CL_EeDebugWin_2, ImageByte<2>}, {CL_EeDebugWin_3, ImageByte<3>},   {CL_EeDebugWin_4, ImageByte<4>},
    {CL_EeDebugWin_5, ImageByte<5>}, {CL_EeDebugWin_6, ImageByte<6>},   {CL_EeDebugWin_7, ImageByte<7>},
    {CL_EeDebugWin_8, ImageByte<8>}, {CL_EeDebugWin_9, ImageByte<9>},   {CL_EeDebugWin_A, ImageByte<10>},
    {CL_EeDebugWin_B, ImageByte<11>}, {CL_EeDebugWin_C, ImageByte<12>}, {CL_EeDebugWin_D, ImageByte<13>},
    {CL_EeDebugWin_E, ImageByte<14>}, {CL_EeDebugWin_F, ImageByte<15>},
};

} // namespace

std::span<const LabelBehaviourEntry> DebugCellBehaviours() { return kDebugCells; }
