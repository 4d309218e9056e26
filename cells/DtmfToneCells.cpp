// The DTMF cells: the eight DTMF memories (autodial, and on LMR models the
// emergency and log/ID codes), the ten DTMF decode entries with their decode
// options, and the DTMF timers; and the tone list, whose rows pair a receive
// tone with a transmit tone. A key typed into the tone list's empty row adds
// an entry while the list and the channel memory have room for it.
#include "cells/CellFamilies.h"
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/RecordFields.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/TableAccess.h"
#include "model/indMain.h"
#include "platform/ui/MessageBox.h"

#include <string>

namespace {

constexpr int kMaxDigits = 24;
constexpr int kLongTextLength = 24;
constexpr int kMaxTones = 80;
// DTMF memories with a fixed use.
constexpr int kAutodialEntry = 0;
constexpr int kEmergencyEntry = 6;
constexpr int kLogIdEntry = 7;

constexpr const char* kOnOff2 = "GI_Sheet_Sel_Misc_OnOff2";

// ---- DTMF memories and decode entries ----

void EntryNameCell(indCellCall& call)
{
    std::string name = std::to_string(call.Index + 1);
    if (call.Index == kAutodialEntry) name = "Autodial";
    else if (call.Lmr && call.Index == kEmergencyEntry) name = "Emergency";
    else if (call.Lmr && call.Index == kLogIdEntry) name = "Log/ID";
    ShowText(call.Cap, name);
}

void DigitsCell(indCellCall& call)
{
    int count = call.Rec.DigitCount;
    if (!EditDtmfDigits(call.Cap, call.Rec.Digits, count, kMaxDigits, call.Result)) return;
    call.Rec.DigitCount = uint8_t(count);
    call.Rec.Commit();
}

void LongTextCell(indCellCall& call)
{
    if (EditLcdText(call.Cap, call.Rec.LongText, kLongTextLength, false, call.Result)) call.Rec.Commit();
}

void DecodeAbcCell(indCellCall& call)
{
    int code = int(call.Rec.DecAbc);
    if (!EditAbcCode(call.Cap, code, call.Result)) return;
    call.Rec.DecAbc = uint32_t(code);
    call.Rec.Commit();
}

const RecordField kDecodeOptions[] = {
    {CL_Dtmf_Decode_IdDec, kOnOff2, RECORD_FIELD(DecIdDec)},
    {CL_Dtmf_Decode_Bell, "GI_Sheet_Sel_RxC_Bell", RECORD_FIELD(DecBell)},
    {CL_Dtmf_Decode_EmerCancel, kOnOff2, RECORD_FIELD(DecEmerCancel)},
    {CL_Dtmf_Decode_Exo, kOnOff2, RECORD_FIELD(DecExo)},
    {CL_Dtmf_Decode_Beep, "GI_Sheet_Sel_RxC_Beep", RECORD_FIELD(DecBeep)},
    {CL_Dtmf_Decode_AutoTx, kOnOff2, RECORD_FIELD(DecAutoTx)},
    {CL_Dtmf_Decode_Aud, "GI_Sheet_Sel_RxC_Aud", RECORD_FIELD(DecAud)},
    {CL_Dtmf_Decode_Stun, "GI_Sheet_Sel_RxC_Stun_Dtmf", RECORD_FIELD(DecStun)},
    {CL_Dtmf_Decode_Scan, "GI_Sheet_Sel_RxC_Scan", RECORD_FIELD(DecScan)},
    {CL_Dtmf_Decode_Sfunc, kOnOff2, RECORD_FIELD(DecSfunc)},
};

void DecodeOptionCell(indCellCall& call)
{
    if (const RecordField* row = FindRecordField(kDecodeOptions, call.Label)) RunRecordField(call, *row);
}

// ---- Timers (seconds) ----

const SettingRow kTimers[] = {
    TimerRow(CL_Dtmf_PttDelayTimer, 175773, 100),
    TimerRow(CL_Dtmf_DtmfTimer, 175695, 100),
    TimerRow(CL_Dtmf_FirstTimer, 175696, 100),
    TimerRow(CL_Dtmf_MarkTimer, 175697, 100),
    TimerRow(CL_Dtmf_NotoneTimer, 175774, 100),
    TimerRow(CL_Dtmf_ANI_Disp_Timer, 175777, 10),
    ListRow(CL_Dtmf_CompareTone, 175771, 0, 1, "GI_Sheet_Sel_Misc_OnOff"),
};

void TimerCell(indCellCall& call)
{
    if (const SettingRow* row = FindSettingRow(kTimers, call.Label)) RunSettingRow(call, *row);
}

// ---- Tone list ----

bool StartsNewTone(int key)
{
    return key == cellkey::Space || key == cellkey::Backspace || key == '.' || IsDigitKey(key) || key == cellkey::Enter;
}

void PostRepaint()
{
    if (g_EvMan) g_EvMan->Post(ev::RepaintLabelled, 0, 0);
}

// The receive tone opens the row: on the empty row below the list, a key
// that starts a tone adds an entry and goes on to edit its receive tone.
void ToneReceiveCell(indCellCall& call)
{
    cmcCellCapsule* cap = call.Cap;
    call.Rec.Reload();
    const int count = CToneListCount();
    bool beyond = call.Index + 1 > count;
    if (beyond && OnGrid(cap) && StartsNewTone(cap->Key) && call.Index == count) {
        if (count >= kMaxTones || !ItemsFit(call.Category, 1, 0)) {
            plat::MessageBox(g_GTex.GetFirstLine("GI_AppMess_ChErr_Overflow"), g_GTex.GetFirstLine("GI_Sys_AppTitle"),
                             plat::MB_OK | plat::MB_ICONERROR);
            return;
        }
        if (g_EvMan) g_EvMan->Send(ev::InsertTone, 0, call.Index);
        call.Rec.Reload();
        g_Main->Pack(call.Image());
        PostRepaint();
        beyond = call.Index + 1 > CToneListCount();
    }
    if (beyond) return;
    if (EditChannelTone(cap, call.Rec, true, call.Result)) {
        call.Rec.Commit();
        PostRepaint();
    }
}

bool InToneList(const indCellCall& call) { return call.Index + 1 <= CToneListCount(); }

void ToneTransmitCell(indCellCall& call)
{
    if (!InToneList(call)) return;
    if (EditChannelTone(call.Cap, call.Rec, false, call.Result)) call.Rec.Commit();
}

void ToneSelectCell(indCellCall& call)
{
    if (!InToneList(call)) return;
    int value = call.Rec.ListSel.CToneSel;
    if (!ChooseFromList(call.Cap, "GI_Sheet_Sel_Misc_OnOff2_I", value, call.Result)) return;
    call.Rec.ListSel.CToneSel = value & 1;
    call.Rec.Commit();
}

constexpr LabelBehaviourEntry kDtmfToneCells[] = {
    {CL_Dtmf_ChNo, EntryNameCell},
    {CL_Dtmf_Code, DigitsCell},
    {CL_Dtmf_CodeID, DigitsCell},
    {CL_Dtmf_CodeEmer, DigitsCell},
    {CL_Dtmf_Text, LongTextCell},
    {CL_Dtmf_Decode_Code, DigitsCell},
    {CL_Dtmf_Decode_Text, LongTextCell},
    {CL_Dtmf_Decode_IdDec, DecodeOptionCell},
    {CL_Dtmf_Decode_Bell, DecodeOptionCell},
    {CL_Dtmf_Decode_EmerCancel, DecodeOptionCell},
    {CL_Dtmf_Decode_Abc, DecodeAbcCell},
    {CL_Dtmf_Decode_Exo, DecodeOptionCell},
    {CL_Dtmf_Decode_Beep, DecodeOptionCell},
    {CL_Dtmf_Decode_AutoTx, DecodeOptionCell},
    {CL_Dtmf_Decode_Aud, DecodeOptionCell},
    {CL_Dtmf_Decode_Stun, DecodeOptionCell},
    {CL_Dtmf_Decode_Scan, DecodeOptionCell},
    {CL_Dtmf_Decode_Sfunc, DecodeOptionCell},
    {CL_Dtmf_PttDelayTimer, TimerCell},
    {CL_Dtmf_DtmfTimer, TimerCell},
    {CL_Dtmf_FirstTimer, TimerCell},
    {CL_Dtmf_MarkTimer, TimerCell},
    {CL_Dtmf_NotoneTimer, TimerCell},
    {CL_Dtmf_ANI_Disp_Timer, TimerCell},
    {CL_Dtmf_CompareTone, TimerCell},
    {CL_CTone_RX, ToneReceiveCell},
    {CL_CTone_TX, ToneTransmitCell},
    {CL_CTone_Sel, ToneSelectCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> DtmfToneCellBehaviours() { return kDtmfToneCells; }
