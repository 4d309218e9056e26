// The radio's set mode: the starting values of the items a user adjusts
// on the radio (backlight, contrast, beep and ringer levels, squelch, audio
// minimum, microphone and VOX, horn, battery voltage and signal displays,
// lone worker), and for each item whether the user may change it there.
// Every cell is one field of the working tables.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/SettingTable.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"

namespace {

constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kOnOffI = "GI_Sheet_Sel_Misc_OnOff_I";

constexpr int kDisplayItems = 147888;  // high nibble backlight, b3 horn, b2 battery voltage, b1 signal monitor
constexpr int kVox = 147886;           // low nibble gain, high nibble delay
// The enable bits: item n is bit 7 - n % 8 of byte n / 8.
constexpr int kUserSetEnable = 175650;

constexpr SettingRow Enable(int label, int item)
{
    return {.Label = label, .How = SettingHandler::UserSetBit, .Field = {kUserSetEnable, 0, 8}, .Item = item};
}

constexpr SettingRow kRows[] = {
    ListRow(CL_SetM_Backlight, kDisplayItems, 4, 4, "GI_Sheet_Sel_SetM_Mob_Backlight"),
    ListRow(CL_SetM_Backlight_HH, kDisplayItems, 4, 4, "GI_Sheet_Sel_SetM_Mob_Backlight"),
    NumberRow(CL_SetM_LcdContrast, 147881, 0, 127),
    ListRow(CL_SetM_BeepOn, 147882, 7, 1, kOnOff),
    LevelListRow(CL_SetM_BeepLev, 147882, "GI_Sheet_Sel_SetM_BeepLev"),
    LevelListRow(CL_SetM_RingerLev, 147883, "GI_Sheet_Sel_SetM_BeepLev"),
    ListRow(CL_SetM_SqlLev, 147880, 0, 8, "GI_Sheet_Sel_SetM_SqlLev"),
    {.Label = CL_SetM_AFMinLev, .How = SettingHandler::Byte, .Field = {147884, 0, 8}, .Min = 0, .Max = 255},
    ListRow(CL_SetM_MicGain, 147885, 0, 8, "GI_Sheet_Sel_SetM_MicGain"),
    ListRow(CL_SetM_VoxGain, kVox, 0, 4, "GI_Sheet_Sel_SetM_VoxGain"),
    ListRow(CL_SetM_VoxDelay, kVox, 4, 4, "GI_Sheet_Sel_SetM_VoxDelay"),
    ListRow(CL_SetM_HornOut, kDisplayItems, 3, 1, kOnOffI),
    ListRow(CL_SetM_BATVDisp, kDisplayItems, 2, 1, kOnOff),
    ListRow(CL_SetM_SigMoni, kDisplayItems, 1, 1, kOnOffI),
    ListRow(CL_SetM_LoneWorker, 147906, 6, 1, kOnOff),
    Enable(CL_USetM_Backlight, 0),
    Enable(CL_USetM_LcdContrast, 1),
    Enable(CL_USetM_BeepOn, 2),
    Enable(CL_USetM_BeepLev, 3),
    Enable(CL_USetM_RingerLev, 4),
    Enable(CL_USetM_SqlLev, 5),
    Enable(CL_USetM_AfMinLev, 6),
    Enable(CL_USetM_MicGain, 7),
    Enable(CL_USetM_VoxGain, 8),
    Enable(CL_USetM_VoxDelay, 9),
    Enable(CL_USetM_HornOut, 10),
    Enable(CL_USetM_BATVDisp, 11),
    Enable(CL_USetM_BERDisp, 12),
    Enable(CL_USetM_SigMoni, 13),
    Enable(CL_USetM_LoneWorker, 14),
};

// The radio has no bit error rate item to set.
void BitErrorRateCell(indCellCall& call) { ShowText(call.Cap, "----"); }

constexpr LabelBehaviourEntry kOwnRules[] = {
    {CL_SetM_BERDisp, BitErrorRateCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> UserSetModeCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> entries = SettingBehaviours(kRows, kOwnRules);
    return entries;
}
