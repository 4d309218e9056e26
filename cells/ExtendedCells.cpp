// The extended setting cells (user CTCSS tone, emergency switch timers, beep
// frequencies, DTCS inversion, external output and external PTT options,
// ignition sense, clock shift and battery type change), which work on
// bytes of the working image, and the cells of the two user character sets,
// which show and edit one user-defined display character each.
//
// Most rows are a choice field or a timer byte described by a table row;
// the rows with numbers of their own (the CTCSS frequency, the beep
// frequencies, the ignition timer) have a function each.
#include "cells/CellFamilies.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/ImageBytes.h"

#include <cstdint>

namespace {

constexpr int kUserCtcss = 177442;    // 16 bits, tenths of a hertz
constexpr int kBeepLow = 175644;      // 16 bits, tenths of a hertz
constexpr int kBeepHigh = 175646;     // 16 bits, tenths of a hertz
constexpr int kIgnitionTimer = 175717; // steps of 30 seconds

constexpr SettingRow kByteRows[] = {
    TimerRow(CL_Exp_Emer_SwOnTimer, 175703, 10),
    TimerRow(CL_Exp_Emer_SwOffTimer, 175704, 10),
    TimerRow(CL_Exp_Emer_StartRepeat, 175705, 1),
    ListRow(CL_Exp_DtcsInv_Tx, 175679, 7, 1, "GI_Sheet_Sel_Exp_DtcsInv"),
    ListRow(CL_Exp_DtcsInv_Rx, 175679, 6, 1, "GI_Sheet_Sel_Exp_DtcsInv"),
    ListRow(CL_Exp_RxExo_On, 175685, 3, 1, "GI_Sheet_Sel_Misc_OnOff"),
    TimerRow(CL_Exp_RxExo_Delay, 175715, 10, true),
    TimerRow(CL_Exp_ExPttDelay, 175716, 10, true),
    ListRow(CL_Exp_ToneMuteExPtt, 175685, 2, 1, "GI_Sheet_Sel_Misc_OnOff"),
    ListRow(CL_Exp_Ignition, 147904, 4, 1, "GI_Sheet_Sel_Misc_Enable"),
    ListRow(CL_Exp_ClShift, 175682, 0, 2, "GI_Sheet_Sel_Exp_ClShift"),
    ListRow(CL_Exp_BattTypeChange, 175682, 3, 1, "GI_Sheet_Sel_Misc_Enable3"),
    ListRow(CL_Exp_BattChangeMode, 175770, 7, 1, "GI_Sheet_Sel_BattChangeType"),
};

void ByteRowCell(indCellCall& call)
{
    if (const SettingRow* row = FindSettingRow(kByteRows, call.Label)) RunSettingRow(call, *row);
}

// The user CTCSS tone: 60.0 to 300.0 Hz in tenths, typed only.
void UserCtcssCell(indCellCall& call)
{
    ImageBytes bytes(&call.Image());
    int value = bytes.U16(kUserCtcss);
    if (EditScaledValue(call.Cap, value, 1, 1, 60.0, 300.0, 1, false, false, call.Result))
        bytes.SetU16(kUserCtcss, uint32_t(value));
}

// A beep frequency: stored in tenths of a hertz, shown and edited in whole
// hertz from 400 to 3000.
void BeepFrequencyCell(indCellCall& call)
{
    const int offset = call.Label == CL_Exp_BeepFreq_Low ? kBeepLow : kBeepHigh;
    ImageBytes bytes(&call.Image());
    int hertz = bytes.U16(offset) / 10;
    if (EditIntWrap(call.Cap, hertz, 400, 3000, call.Result)) bytes.SetU16(offset, uint32_t(hertz * 10));
}

// The ignition sense timer: minutes and seconds, up to two hours in steps
// of 30 seconds.
void IgnitionTimerCell(indCellCall& call)
{
    ImageBytes bytes(&call.Image());
    int steps = bytes.U8(kIgnitionTimer);
    if (EditMinSec(call.Cap, steps, 0, 7200, 30, 0, call.Result)) bytes.SetU8(kIgnitionTimer, steps);
}

// A user character: the whole cell is the character's.
void UserCharCell(indCellCall& call) { EditUserChar(call.Cap, call.Result); }

constexpr LabelBehaviourEntry kExtendedCells[] = {
    {CL_Exp_UserCtcss, UserCtcssCell},
    {CL_Exp_Emer_SwOnTimer, ByteRowCell},
    {CL_Exp_Emer_SwOffTimer, ByteRowCell},
    {CL_Exp_Emer_StartRepeat, ByteRowCell},
    {CL_Exp_BeepFreq_Low, BeepFrequencyCell},
    {CL_Exp_BeepFreq_High, BeepFrequencyCell},
    {CL_Exp_DtcsInv_Tx, ByteRowCell},
    {CL_Exp_DtcsInv_Rx, ByteRowCell},
    {CL_Exp_RxExo_On, ByteRowCell},
    {CL_Exp_RxExo_Delay, ByteRowCell},
    {CL_Exp_ExPttDelay, ByteRowCell},
    {CL_Exp_ToneMuteExPtt, ByteRowCell},
    {CL_Exp_Ignition, ByteRowCell},
    {CL_Exp_IgnitionTimer, IgnitionTimerCell},
    {CL_Exp_ClShift, ByteRowCell},
    {CL_Exp_BattTypeChange, ByteRowCell},
    {CL_Exp_BattChangeMode, ByteRowCell},
    {CL_CEdit, UserCharCell},
    {CL_CEdit_Mob, UserCharCell},
};

} // namespace

std::span<const LabelBehaviourEntry> ExtendedCellBehaviours() { return kExtendedCells; }
