// The memory channel cells: one row per channel of the open bank, one column
// per channel setting. The engine has decoded the row's channel (the cell
// index is the absolute channel number) and asked the open sheet for its
// bank; each column shows its field through a value handler and writes a
// change back with datCh::Commit.
//
// The first column of a row (the receive frequency, or the unit ID on ZEPH
// and multisite banks) is also where a channel comes into being: a key typed
// into the empty row below the bank's last channel appends a channel to the
// bank while the channel memory has room for it.
#include "cells/CellFamilies.h"
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "model/indMain.h"
#include "platform/base/Canvas.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Working-image settings that decide how some columns show.
constexpr int kScanSettings = 175680;           // bit 6: slave scan mode
constexpr int kSlaveScanBit = 6;
constexpr int kDigitalTalkGroupMode = 197889;   // bit 0: one talk group for every channel
constexpr int kDigitalGlobalTalkGroup = 302526;
constexpr int kDigitalUnitIdMode = 197890;      // bit 7 global, bit 5 automatic
constexpr int kDigitalAutoUnitIdBase = 197860;
constexpr int kDigitalGlobalUnitId = 197862;
constexpr int kMultisiteFleetId = 303648;

// Where a trunked bank type keeps its unit ID mode and its two unit IDs.
struct UnitIdSettings {
    int Mode;
    int GlobalBit;
    int AutoBit;
    int AutoBase;
    int Global;
};
constexpr UnitIdSettings kZephUnitIds{243067, 6, 5, 243072, 243074};
constexpr UnitIdSettings kMultisiteUnitIds{303639, 5, 4, 303644, 303646};

constexpr int kHighestTrunkUnit = 2000;
constexpr int kHighestNac = 63;
constexpr int kHighestFleet = 30;
// The ID lists hold up to 500 entries; a reference counts from 1.
constexpr int kIdListSize = 500;
constexpr int kScrambler16Codes = 2;  // the scrambler type whose codes are 0-based
constexpr int kScramblerNoCode = 1;   // the scrambler type without a code
constexpr int kLastBank = WorkTables::Banks - 1;
constexpr int kMskRepeaterFlagValue = 255;

// The digital modes of a channel (datCh::ChFlagsF bits 3-4).
constexpr int kAnalogOnly = 0;
constexpr int kDigitalOnly = 3;

// Cell placement codes.
enum Horz { kLeft = 0, kCentre = 1, kRight = 2 };
enum Vert { kMiddle = 1, kBottom = 2 };

constexpr const char* kOnOff2 = "GI_Sheet_Sel_Misc_OnOff2";

// ---- What the columns test ----

int DigitalMode(const indCellCall& c) { return c.Rec.ChFlagsF.DigSig; }
// The bank that holds the row's channel (not necessarily the open one).
int OwnBank(const indCellCall& c) { return BankOfChannelNumber(c.Index + 1); }
bool OwnLtr(const indCellCall& c) { return IsLtrBank(OwnBank(c)); }
bool OwnZephOrMultisite(const indCellCall& c) { return IsZephBank(OwnBank(c)) || IsMultisiteBank(OwnBank(c)); }
bool CurrentLtr(const indCellCall& c) { return IsLtrBank(c.Bank.Group); }

// MSK signalling of a PMR channel record; always off on LMR records.
bool MskOn(const indCellCall& c) { return c.Rec.Kind == 2 && c.Rec.ChFlagsF.MskSig; }
bool MskOff(const indCellCall& c) { return c.Rec.Kind == 2 && !c.Rec.ChFlagsF.MskSig; }
bool MskRepeaterFlag(const indCellCall& c) { return c.Rec.Kind == 2 && c.Rec.ChFlagsF.MskRptNone && c.Pmr; }

bool Never(const indCellCall&) { return false; }
bool Mode3(const indCellCall& c) { return DigitalMode(c) == kDigitalOnly; }
bool Mode2Or3(const indCellCall& c) { return DigitalMode(c) >= 2; }
bool Mode3UnlessOwnLtr(const indCellCall& c) { return Mode3(c) && !OwnLtr(c); }
bool Mode2Or3UnlessOwnLtr(const indCellCall& c) { return Mode2Or3(c) && !OwnLtr(c); }
bool Mode0(const indCellCall& c) { return DigitalMode(c) == kAnalogOnly; }
bool Mode0Or1(const indCellCall& c) { return DigitalMode(c) <= 1; }
bool Mode0UnlessOwnZephOrMultisite(const indCellCall& c) { return Mode0(c) && !OwnZephOrMultisite(c); }
bool DtmfDecoderOnLtr(const indCellCall& c) { return CurrentLtr(c) && c.Rec.DtmfDec; }
bool TwoToneGrey(const indCellCall& c) { return Mode2Or3UnlessOwnLtr(c) || DtmfDecoderOnLtr(c); }
bool LtrDecoderGrey(const indCellCall& c) { return Mode3UnlessOwnLtr(c) || DtmfDecoderOnLtr(c); }
bool NotOnLtr(const indCellCall& c) { return !CurrentLtr(c); }
bool DtmfNumberGrey(const indCellCall& c) { return Mode3UnlessOwnLtr(c) || NotOnLtr(c); }
bool SendStatusGrey(const indCellCall& c) { return (c.Pmr && MskOff(c)) || Mode3(c); }
bool TxInhibited(const indCellCall& c) { return c.Rec.ChFlagsA.TxInh; }

// Columns that apply only in some states; the others show dashes.
bool Always(const indCellCall&) { return true; }
bool SlaveScan(const indCellCall& c) { return ImageBytes(c.Image()).Bit(kScanSettings, kSlaveScanBit); }
bool RepeaterCodeApplies(const indCellCall& c) { return MskOff(c) || (MskOn(c) && MskRepeaterFlag(c)) || !c.Pmr; }
bool StationCodeApplies(const indCellCall& c) { return MskOff(c) || !c.Pmr; }
bool MskCodeApplies(const indCellCall& c) { return MskOn(c) || !c.Pmr; }

// ---- Drawing ----

void Place(cmcCellCapsule* cap, int horz, int vert)
{
    if (!cap->Cell) return;
    cap->Cell->FlagsA = uint8_t((cap->Cell->FlagsA & ~(cmcCellObj::HorzMask | cmcCellObj::VertMask)) | horz | (vert << 2));
}

// A value that does not apply in the current state is drawn in silver; it
// stays editable.
void Grey(cmcCellCapsule* cap)
{
    if (cap->Canvas) cap->Canvas->GetFont().color = plat::clSilver;
}

// A cell that does not apply: dashes, centred and grey; keys do nothing.
void Dashed(cmcCellCapsule* cap, const char* dashes)
{
    ShowText(cap, dashes);
    Place(cap, kCentre, kMiddle);
    Grey(cap);
}

std::string Number(int value) { return std::to_string(value); }

// ---- Choice columns ----

enum class Editor { List, MarkList, Cells };
enum class Align { AsLaidOut, CentreBottom, RightBottom };

struct ChoiceColumn {
    int Label;
    Editor How;
    const char* Key;
    const char* PmrKey = nullptr;  // the list on PMR models, when it differs
    int (*Get)(const datCh&) = nullptr;
    void (*Set)(datCh&, int) = nullptr;
    bool (*GreyWhen)(const indCellCall&) = Never;
    // Marks of the shown value (none when null).
    void (*Marks)(indCellCall&, int value) = nullptr;
    // Bits added to the repaint scope after a change.
    CellChangeScope ChangeScope = 0;
    bool (*Applies)(const indCellCall&) = Always;
    const char* Dashes = nullptr;
    Align Placement = Align::AsLaidOut;
    int CellsLabel = Flex0;  // the entry label for Editor::Cells
};

// PMR channels with MSK signalling need these values.
void MonitorWarning(indCellCall& c, int v) { c.Cap->WarningMark = c.Pmr && MskOn(c) && v != 6 && v != 7; }
void SelectError(indCellCall& c, int v) { c.Cap->ErrorMark = c.Pmr && MskOn(c) && v != 1; }
void CallError(indCellCall& c, int v) { c.Cap->ErrorMark = c.Pmr && MskOn(c) && v == 1; }
void MuteWarning(indCellCall& c, int v) { c.Cap->WarningMark = c.Pmr && MskOn(c) && v == 0; }

#define FIELD(expr) .Get = [](const datCh& r) { return int(r.expr); }, .Set = [](datCh& r, int v) { r.expr = v; }

const ChoiceColumn kChoiceColumns[] = {
    {.Label = CL_Mch_Inh, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_ChInh", FIELD(ChFlagsA.Inh)},
    {.Label = CL_Mch_TxInh, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_CH_TxInh", FIELD(ChFlagsA.TxInh)},
    {.Label = CL_Mch_TxInh_Kovr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_CH_TxInh", FIELD(ChFlagsA.TxInh)},
    {.Label = CL_Mch_Nar, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Nar", FIELD(ChFlagsB.Nar), .GreyWhen = Mode3},
    {.Label = CL_Mch_Nar_Pmr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Nar", FIELD(ChFlagsB.Nar), .GreyWhen = Mode3},
    {.Label = CL_Mch_Compander, .How = Editor::List, .Key = kOnOff2, FIELD(ChFlagsB.Compander),
     .GreyWhen = Mode3UnlessOwnLtr},
    {.Label = CL_Mch_PwrSave, .How = Editor::List, .Key = kOnOff2, FIELD(ChFlagsB.PwrSave)},
    {.Label = CL_Mch_PwrSave_Kovr, .How = Editor::List, .Key = kOnOff2, FIELD(ChFlagsB.PwrSave)},
    {.Label = CL_Mch_Tot, .How = Editor::List, .Key = kOnOff2, FIELD(ChFlagsB.Tot)},
    {.Label = CL_Mch_Tot_Kovr, .How = Editor::List, .Key = kOnOff2, FIELD(ChFlagsB.Tot)},
    {.Label = CL_Mch_RfPo, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_RfPwr", FIELD(ChFlagsB.RfPo)},
    {.Label = CL_Mch_Lockout, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Lockout_LmrP25",
     .PmrKey = "GI_Sheet_Sel_Mch_Lockout_Pmr", FIELD(Lockout)},
    {.Label = CL_Mch_Lockout_Pmr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Lockout_LmrP25",
     .PmrKey = "GI_Sheet_Sel_Mch_Lockout_Pmr", FIELD(Lockout)},
    {.Label = CL_Mch_Lockout_Dig, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Lockout_LmrP25",
     .PmrKey = "GI_Sheet_Sel_Mch_Lockout_Pmr", FIELD(Lockout)},
    {.Label = CL_Mch_AutoChScan, .How = Editor::List, .Key = kOnOff2, FIELD(ChFlagsB.AutoChScan)},
    {.Label = CL_Mch_AutoReset, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_AutoReset_Lmr",
     .PmrKey = "GI_Sheet_Sel_Mch_AutoReset_Pmr", FIELD(ChFlagsC.AutoReset)},
    {.Label = CL_Mch_AutoReset_Pmr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_AutoReset_Lmr",
     .PmrKey = "GI_Sheet_Sel_Mch_AutoReset_Pmr", FIELD(ChFlagsC.AutoReset)},
    {.Label = CL_Mch_AutoReset_Kovr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_AutoReset_Lmr",
     .PmrKey = "GI_Sheet_Sel_Mch_AutoReset_Pmr", FIELD(ChFlagsC.AutoReset)},
    {.Label = CL_Mch_CH_Mute_Lmr, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_ChMute", FIELD(ChFlagsD.ChMute),
     .GreyWhen = Mode3, .Marks = MuteWarning, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_CH_Mute, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_ChMute", FIELD(ChFlagsD.ChMute),
     .GreyWhen = Mode3, .Marks = MuteWarning, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_2Tone, .How = Editor::Cells, .Key = "GI_Sheet_Sel_Mch_2Tone", FIELD(TwoTone),
     .GreyWhen = TwoToneGrey},
    {.Label = CL_Mch_Log, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Log_Lmr", .PmrKey = "GI_Sheet_Sel_Mch_Log_Pmr",
     FIELD(ChFlagsC.Log), .GreyWhen = Mode2Or3UnlessOwnLtr},
    {.Label = CL_Mch_Log_Pmr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Log_Lmr",
     .PmrKey = "GI_Sheet_Sel_Mch_Log_Pmr", FIELD(ChFlagsC.Log), .GreyWhen = Mode2Or3UnlessOwnLtr},
    {.Label = CL_Mch_Log_Kovr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Log_Lmr",
     .PmrKey = "GI_Sheet_Sel_Mch_Log_Pmr", FIELD(ChFlagsC.Log), .GreyWhen = Mode2Or3UnlessOwnLtr},
    {.Label = CL_Mch_Scan_Inc, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_ScanInc", FIELD(ScanInc)},
    {.Label = CL_Mch_Scan_List, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Scan_List", FIELD(ScanList),
     .Applies = SlaveScan, .Dashes = "----", .Placement = Align::CentreBottom},
    {.Label = CL_Mch_Scan_ListSel, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Scan_ListSel",
     FIELD(ChFlagsC.ScanListSel), .Applies = SlaveScan, .Dashes = "---", .Placement = Align::CentreBottom},
    {.Label = CL_Mch_Scrm_On, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_ScramOn", FIELD(Scrm.ScrmOn)},
    {.Label = CL_Mch_Sql_Tight, .How = Editor::List, .Key = kOnOff2, FIELD(SqlTight)},
    {.Label = CL_Mch_ZEPH_TxInh, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_CH_TxInh", FIELD(ZephTxInh)},
    {.Label = CL_Mch_ZEPH_MsgTrunking, .How = Editor::List, .Key = "GI_Sheet_Sel_Misc_Enable",
     FIELD(MsFlags.MsgTrunking)},
    {.Label = CL_Mch_Moni, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_Moni", FIELD(ChFlagsC.Moni),
     .GreyWhen = Mode3, .Marks = MonitorWarning, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Moni_Kovr, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_Moni", FIELD(ChFlagsC.Moni),
     .GreyWhen = Mode3, .Marks = MonitorWarning, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Sel, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_Sel", FIELD(ChFlagsD.Sel),
     .GreyWhen = Mode3, .Marks = SelectError, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Sel_Kovr, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_Sel", FIELD(ChFlagsD.Sel),
     .GreyWhen = Mode3, .Marks = SelectError, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Call, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_Call", FIELD(ChFlagsD.Call),
     .GreyWhen = Mode3, .Marks = CallError, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Call_Kovr, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_Call", FIELD(ChFlagsD.Call),
     .GreyWhen = Mode3, .Marks = CallError, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_PTT, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_Ptt", FIELD(ChFlagsD.PTT),
     .GreyWhen = Mode3, .Marks = CallError, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_PTT_Kovr, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_Ptt", FIELD(ChFlagsD.PTT),
     .GreyWhen = Mode3, .Marks = CallError, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Form, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Form", FIELD(Form), .GreyWhen = Mode3},
    {.Label = CL_Mch_Form_Kovr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Form", FIELD(Form), .GreyWhen = Mode3},
    {.Label = CL_Mch_Rpt_C, .How = Editor::Cells, .Key = "GI_Sheet_Sel_RxC_AbcCode", FIELD(RptC), .GreyWhen = Mode3,
     .Applies = RepeaterCodeApplies, .Dashes = "----", .Placement = Align::RightBottom, .CellsLabel = Flex1},
    {.Label = CL_Mch_Rpt_C_Kovr, .How = Editor::Cells, .Key = "GI_Sheet_Sel_RxC_AbcCode", FIELD(RptC),
     .GreyWhen = Mode3, .Applies = RepeaterCodeApplies, .Dashes = "----", .Placement = Align::RightBottom,
     .CellsLabel = Flex1},
    {.Label = CL_Mch_Rpt_L, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_LTone", FIELD(ChFlagsE.RptL),
     .Applies = RepeaterCodeApplies, .Dashes = "-", .Placement = Align::CentreBottom},
    {.Label = CL_Mch_Rpt_L_Kovr, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_LTone", FIELD(ChFlagsE.RptL),
     .Applies = RepeaterCodeApplies, .Dashes = "-", .Placement = Align::CentreBottom},
    {.Label = CL_Mch_Stn_C, .How = Editor::Cells, .Key = "GI_Sheet_Sel_RxC_AbcCode", FIELD(StnC), .GreyWhen = Mode3,
     .Applies = StationCodeApplies, .Dashes = "----", .Placement = Align::RightBottom, .CellsLabel = Flex1},
    {.Label = CL_Mch_Stn_L, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_LTone", FIELD(ChFlagsE.StnL),
     .Applies = StationCodeApplies, .Dashes = "-", .Placement = Align::CentreBottom},
    {.Label = CL_Mch_Id_C, .How = Editor::Cells, .Key = "GI_Sheet_Sel_RxC_AbcCode", FIELD(IdC), .GreyWhen = Mode3,
     .Applies = StationCodeApplies, .Dashes = "----", .Placement = Align::RightBottom, .CellsLabel = Flex1},
    {.Label = CL_Mch_Id_L, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_LTone", FIELD(ChFlagsE.IdL),
     .Applies = StationCodeApplies, .Dashes = "-", .Placement = Align::CentreBottom},
    {.Label = CL_Mch_Pos, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Pos", FIELD(ChFlagsE.Pos), .GreyWhen = Mode3},
    // A DTMF decoder number other than 0 switches the channel's DTMF decoder on.
    {.Label = CL_Mch_RxCNoDtmf, .How = Editor::Cells, .Key = "GI_Sheet_Sel_Mch_DTMF_Dec",
     .Get = [](const datCh& r) { return int(r.RxCNoDtmf); },
     .Set =
         [](datCh& r, int v) {
             r.RxCNoDtmf = uint8_t(v);
             r.DtmfDec = v != 0;
         },
     .GreyWhen = DtmfNumberGrey},
    {.Label = CL_Mch_DtmfDec, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_ChMuteLtr", FIELD(DtmfDec),
     .GreyWhen = NotOnLtr},
    {.Label = CL_Mch_Msk_Sig, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Msk_Signal_Pmr", FIELD(ChFlagsF.MskSig),
     .GreyWhen = Mode3, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Msk_SendStatus, .How = Editor::MarkList, .Key = "GI_Sheet_Sel_Mch_SendStatus",
     FIELD(ChFlagsF.MskSendStatus), .GreyWhen = SendStatusGrey, .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Msk_Stn, .How = Editor::Cells, .Key = "GI_Sheet_Sel_Mch_Msk_ID", FIELD(StnC), .GreyWhen = Mode3,
     .Applies = MskCodeApplies, .Dashes = "----", .Placement = Align::RightBottom},
    {.Label = CL_Mch_Dig_Sig, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_Dig_Signal", FIELD(ChFlagsF.DigSig),
     .ChangeScope = csEveryLabelled},
    {.Label = CL_Mch_Fast_Mute, .How = Editor::List, .Key = kOnOff2, FIELD(ChFlagsF.FastMute),
     .GreyWhen = Mode0UnlessOwnZephOrMultisite},
    {.Label = CL_Mch_SQL_Type, .How = Editor::List, .Key = "GI_Sheet_Sel_Mch_SQL_Type", FIELD(ChFlagsF.SqlType),
     .GreyWhen = Mode0},
    {.Label = CL_Mch_Encryption_No, .How = Editor::Cells, .Key = "GI_Sheet_Sel_EncryptionList", FIELD(EncryptionNo),
     .GreyWhen = Mode0UnlessOwnZephOrMultisite},
};

#undef FIELD

const ChoiceColumn* FindChoiceColumn(int label)
{
    for (const ChoiceColumn& column : kChoiceColumns)
        if (column.Label == label) return &column;
    return nullptr;
}

void ChoiceCell(indCellCall& call)
{
    const ChoiceColumn* column = FindChoiceColumn(call.Label);
    if (!column) return;
    cmcCellCapsule* cap = call.Cap;
    if (!column->Applies(call)) {
        Dashed(cap, column->Dashes);
        return;
    }
    if (column->Placement == Align::CentreBottom) Place(cap, kCentre, kBottom);
    if (column->Placement == Align::RightBottom) Place(cap, kRight, kBottom);

    const std::string key = call.Pmr && column->PmrKey ? column->PmrKey : column->Key;
    int value = column->Get(call.Rec);
    int changed = 0;
    switch (column->How) {
    case Editor::List: changed = ChooseFromList(cap, key, value, call.Result); break;
    case Editor::MarkList: changed = ChooseFromListMark(cap, key, value, call.Result); break;
    case Editor::Cells: changed = ChooseFromCells(cap, key, column->CellsLabel, value, cmNearestNumber, call.Result); break;
    }
    if (changed) {
        column->Set(call.Rec, value);
        call.Rec.Commit();
        call.Scope |= column->ChangeScope;
        value = column->Get(call.Rec);
    }
    if (column->GreyWhen(call)) Grey(cap);
    if (column->Marks) column->Marks(call, value);
}

// ---- Bit-field columns ----

struct BitColumn {
    int Label;
    int First;
    int Last;
    int Style;
    int (*Get)(const datCh&);
    void (*Set)(datCh&, int);
    bool (*GreyWhen)(const indCellCall&);
};

constexpr int kPlainItems = 0;
constexpr int kDecoderItems = 2;

const BitColumn kBitColumns[] = {
    {CL_Mch_Scan, 1, 17, BitsAsLetters, [](const datCh& r) { return int(r.ScanMask); },
     [](datCh& r, int v) { r.ScanMask = uint32_t(v); }, Never},
    {CL_Mch_Scan_Kovr, 1, 17, BitsAsLetters, [](const datCh& r) { return int(r.ScanMask); },
     [](datCh& r, int v) { r.ScanMask = uint32_t(v); }, Never},
    {CL_Mch_RxCNo2, 1, 10, kDecoderItems, [](const datCh& r) { return int(r.RxCNo); },
     [](datCh& r, int v) { r.RxCNo = uint32_t(v); }, LtrDecoderGrey},
    {CL_Mch_RxCNo2_Ltr, 1, 10, kDecoderItems, [](const datCh& r) { return int(r.RxCNo); },
     [](datCh& r, int v) { r.RxCNo = uint32_t(v); }, LtrDecoderGrey},
    {CL_Mch_RxCNo, 1, 8, kPlainItems, [](const datCh& r) { return int(r.RxCNo); },
     [](datCh& r, int v) { r.RxCNo = uint32_t(v); }, Mode3},
    // Items 1 to 7 are bits 0 to 6 of the MSK decoder numbers; bit 7 is not
    // one of them.
    {CL_Mch_Msk_RxCNo, 1, 7, kPlainItems, [](const datCh& r) { return int((r.MskRxCNo & 0x7F) << 1); },
     [](datCh& r, int v) { r.MskRxCNo = (r.MskRxCNo & 0x80) | ((uint32_t(v) >> 1) & 0x7F); }, Mode3},
};

void BitCell(indCellCall& call)
{
    const BitColumn* column = nullptr;
    for (const BitColumn& c : kBitColumns)
        if (c.Label == call.Label) column = &c;
    if (!column) return;
    const int count = column->Last - column->First + 1;
    // The bits the field does not show are kept.
    const int shown = count <= 8 ? 0xFF : (1 << count) - 1;
    const int stored = column->Get(call.Rec);
    int value = stored & shown;
    if (EditBitField(call.Cap, value, column->First, column->Last, column->Style, "", call.Result)) {
        column->Set(call.Rec, (stored & ~shown) | (value & shown));
        call.Rec.Commit();
    }
    if (column->GreyWhen(call)) Grey(call.Cap);
}

// ---- New channels ----

bool StartsNewChannel(int key)
{
    return key == cellkey::Space || key == cellkey::Backspace || key == '.' || IsDigitKey(key) || key == cellkey::Enter;
}

enum class NewRow { NotTyped, Created, Refused };

// A key typed into the empty row appends a channel to the open bank when the
// channel memory takes one more; otherwise the user is told and the key is
// dropped. The empty row is the row right after the bank's last channel.
NewRow AddChannelOnEmptyRow(indCellCall& call)
{
    cmcCellCapsule* cap = call.Cap;
    if (!call.RowOutsideBank || !OnGrid(cap) || !StartsNewChannel(cap->Key)) return NewRow::NotTyped;
    if (call.Index != call.Bank.First + call.Bank.Count) return NewRow::NotTyped;
    if (UsedChannelCount() < WorkTables::Channels && ItemsFit(call.Category, 1, call.Bank.Group)) {
        if (g_EvMan) g_EvMan->Send(ev::InsertChannel, call.Bank.Group, call.Index);
        call.RefreshRanges();
        call.Rec.Reload();
        g_Main->Pack(call.Image());
        return NewRow::Created;
    }
    plat::MessageBox(g_GTex.GetFirstLine("GI_AppMess_ChErr_Overflow"), g_GTex.GetFirstLine("GI_Sys_AppTitle"),
                     plat::MB_OK | plat::MB_ICONERROR);
    return NewRow::Refused;
}

// The entry column's own handling runs only on a channel of the bank: the
// empty row shows nothing until a channel exists there.
bool OnChannelOfBank(indCellCall& call)
{
    const NewRow added = AddChannelOnEmptyRow(call);
    return added != NewRow::Refused && !call.RowOutsideBank;
}

// ---- Frequencies, tones and names ----

void FrequencyCell(indCellCall& call)
{
    const bool rx = call.Label == CL_Mch_FreqR;
    if (rx && !OnChannelOfBank(call)) return;
    if (EditFrequency(call.Cap, call.Rec, rx, call.Result)) {
        // The 156 MHz channel plan follows the transmit frequency.
        call.Rec.ChFlagsB.Plan156 = IsPlan156Frequency(call.Rec.TxFreq);
        call.Rec.Commit();
    }
    if (!rx && TxInhibited(call)) Grey(call.Cap);
}

void ToneCell(indCellCall& call)
{
    const bool rx = call.Label == CL_Mch_CTone_R;
    if (EditChannelTone(call.Cap, call.Rec, rx, call.Result)) call.Rec.Commit();
    if (rx ? Mode3(call) : Mode2Or3(call)) Grey(call.Cap);
}

constexpr int kNameLength = 12;

void NameCell(indCellCall& call)
{
    if (EditLcdText(call.Cap, call.Rec.Text, kNameLength, false, call.Result)) call.Rec.Commit();
}

// ---- Row number and attribute letters ----

void NumberCell(indCellCall& call)
{
    if (call.RowOutsideBank) {
        ShowText(call.Cap, g_GTex.GetFirstLine("GI_NewChTitle"));
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%d-%3d", call.Bank.Group + 1, call.Index - call.Bank.First + 1);
    ShowText(call.Cap, text);
}

void AttributeCell(indCellCall& call)
{
    // Another channel may have taken a priority or reference mark since the
    // record was read.
    call.Rec.Reload();
    const int bank = call.Bank.Group;
    const char* key = "GI_Sheet_Sel_Mch_Atr";
    if (IsLtrBank(bank) || IsVoteZoneBank(bank) || IsZephBank(bank) || IsMultisiteBank(bank))
        key = "GI_Sheet_Sel_Mch_Atr2";
    else if (bank == kLastBank)
        key = "GI_Sheet_Sel_Mch_Atr3";
    const uint16_t attr = call.Rec.Attr.Value();
    uint8_t low = uint8_t(attr & 0xFF), high = uint8_t(attr >> 8);
    if (EditFlagLetters(call.Cap, key, low, high, call.Result)) {
        call.Rec.Attr.SetValue(uint16_t(low | (high << 8)));
        call.Rec.Commit();
        call.Scope |= csSameLabel | csEveryLabelled;
    }
}

// ---- Scrambler ----

void ScramblerTypeCell(indCellCall& call)
{
    int type = call.Rec.Scrm.ScrmType;
    const int before = type;
    if (ChooseFromList(call.Cap, "GI_Sheet_Sel_Mch_ScramType", type, call.Result)) {
        call.Rec.Scrm.ScrmType = type;
        call.Rec.Commit();
        // Type 2 counts its codes from 0, the others from 1: the code moves
        // so that the same number stays shown (within the byte).
        const int code = int(call.Rec.ScrmCode);
        int rebased = code;
        if (before == kScrambler16Codes && type != kScrambler16Codes) rebased = std::min(code + 1, 255);
        if (before != kScrambler16Codes && type == kScrambler16Codes) rebased = std::max(code - 1, 0);
        if (rebased != code) {
            call.Rec.ScrmCode = uint32_t(rebased);
            call.Rec.Commit();
        }
    }
    if (Mode3UnlessOwnLtr(call)) Grey(call.Cap);
}

void ScramblerCodeCell(indCellCall& call)
{
    const int type = call.Rec.Scrm.ScrmType;
    if (type == kScramblerNoCode) {
        Dashed(call.Cap, "----");
        return;
    }
    Place(call.Cap, kRight, kBottom);
    const int code = int(call.Rec.ScrmCode);
    if (type == kScrambler16Codes) {
        int shown = std::min(code, 15) + 1;
        if (EditIntWrap(call.Cap, shown, 1, 16, call.Result)) {
            call.Rec.ScrmCode = uint32_t(shown - 1);
            call.Rec.Commit();
        }
    } else {
        int shown = std::min(code, 255);
        if (EditIntWrap(call.Cap, shown, 1, 255, call.Result)) {
            call.Rec.ScrmCode = uint32_t(shown);
            call.Rec.Commit();
        }
    }
    if (Mode3UnlessOwnLtr(call)) Grey(call.Cap);
}

// ---- Trunking: fleet, unit IDs and list references ----

void FleetCell(indCellCall& call)
{
    const ImageBytes image(call.Image());
    if (image.Bit(kMultisiteUnitIds.Mode, kMultisiteUnitIds.GlobalBit)) {
        char text[16];
        std::snprintf(text, sizeof text, "%2d", image.U8(kMultisiteFleetId));
        ShowText(call.Cap, text);
        return;
    }
    int fleet = call.Rec.ZephFleetDec;
    if (EditIntWrap(call.Cap, fleet, 1, kHighestFleet, call.Result)) {
        call.Rec.ZephFleetDec = uint8_t(fleet);
        call.Rec.Commit();
    }
}

// The unit ID of a ZEPH or multisite channel: the channel counts as in use
// in its bank while its unit is not 0.
void TrunkUnitCell(indCellCall& call)
{
    const UnitIdSettings& settings = call.Label == CL_Mch_ZEPH_Unit_Dec ? kZephUnitIds : kMultisiteUnitIds;
    const NewRow added = AddChannelOnEmptyRow(call);
    if (added == NewRow::Refused || call.RowOutsideBank) return;
    cmcCellCapsule* cap = call.Cap;
    const ImageBytes image(call.Image());
    if (image.Bit(settings.Mode, settings.GlobalBit)) {
        char text[32];
        if (image.Bit(settings.Mode, settings.AutoBit))
            std::snprintf(text, sizeof text, "%d***", image.U16(settings.AutoBase));
        else
            std::snprintf(text, sizeof text, "%d", image.U16(settings.Global));
        ShowText(cap, text);
        const int key = cap->Key;
        const bool typed = key == cellkey::Space || key == cellkey::Backspace || IsDigitKey(key) ||
                           ((key == '.' || key == cellkey::Enter) && added != NewRow::Created);
        if (OnGrid(cap) && typed) {
            call.Rec.ZephUnit = 1;
            call.Rec.Commit();
        }
    } else {
        int unit = int(call.Rec.ZephUnit);
        if (EditIntWrap(cap, unit, 0, kHighestTrunkUnit, call.Result) && unit != 0) {
            call.Rec.ZephUnit = uint32_t(unit);
            call.Rec.Commit();
            if (g_EvMan) g_EvMan->Post(ev::RepaintLabelled, 0, 0);
        }
    }
    if (cap->Key == 0 && call.Rec.ZephUnit == 0) ShowText(cap, "");
}

// A reference into an ID or talk-group list, shown as its 1-based entry
// number. A typed number is the entry; the list opens on Enter; Space and
// Backspace do nothing.
struct IdListColumn {
    int Label;
    const char* Key;
    int EntryLabel;
    int (*Get)(const datCh&);
    void (*Set)(datCh&, int);
    // Error: the channel refers past the end of its list (none when null).
    bool (*Dangling)(const indCellCall&, int value);
    bool (*GreyWhen)(const indCellCall&);
};

bool ActiveIn(const indCellCall& c, bool (*isType)(int)) { return isType(OwnBank(c)) && !OwnLtr(c) && c.Rec.State.Active; }

const IdListColumn kIdListColumns[] = {
    {CL_Mch_ZEPH_Ind_List, "GI_Sheet_Sel_IndList_ZEPH", Flex_InvIDList_ZEPH_ChNo,
     [](const datCh& r) { return int(r.IndList); }, [](datCh& r, int v) { r.IndList = uint32_t(v); },
     [](const indCellCall& c, int v) { return ActiveIn(c, IsZephBank) && v >= IndListCount(28); }, Never},
    {CL_Mch_ZEPH_TG_List, "GI_Sheet_Sel_TGList_ZEPH", Flex_TgIDList_ZEPH_ChNo,
     [](const datCh& r) { return int(r.ZephTgList); }, [](datCh& r, int v) { r.ZephTgList = uint32_t(v); }, nullptr,
     Never},
    {CL_Mch_Multisite_Ind_List, "GI_Sheet_Sel_IndList_Multisite", Flex_InvIDList_Multisite_ChNo,
     [](const datCh& r) { return int(r.MsIndList); }, [](datCh& r, int v) { r.MsIndList = uint32_t(v); },
     [](const indCellCall& c, int v) { return ActiveIn(c, IsMultisiteBank) && v >= IndListCount(32); }, Never},
    {CL_Mch_Multisite_TG_List, "GI_Sheet_Sel_TGList_Multisite", Flex_TgIDList_Multisite_ChNo,
     [](const datCh& r) { return int(r.MsTgList); }, [](datCh& r, int v) { r.MsTgList = uint32_t(v); }, nullptr,
     Never},
    {CL_Mch_Ind_List, "GI_Sheet_Sel_IndList", Flex_InvIDList_ChNo, [](const datCh& r) { return int(r.IndList); },
     [](datCh& r, int v) { r.IndList = uint32_t(v); },
     [](const indCellCall& c, int v) {
         const int b = OwnBank(c);
         return !IsZephBank(b) && !IsMultisiteBank(b) && !IsLtrBank(b) && c.Rec.State.Active && v >= IndListCount(18);
     },
     Mode0Or1},
    {CL_Mch_TG_List, "GI_Sheet_Sel_TGList", Flex_TgIDList_ChNo, [](const datCh& r) { return int(r.TgList); },
     [](datCh& r, int v) { r.TgList = uint32_t(v); }, nullptr, Mode0},
};

void IdListCell(indCellCall& call)
{
    const IdListColumn* column = nullptr;
    for (const IdListColumn& c : kIdListColumns)
        if (c.Label == call.Label) column = &c;
    if (!column) return;
    cmcCellCapsule* cap = call.Cap;
    int value = column->Get(call.Rec);

    const ImageBytes image(call.Image());
    if (call.Label == CL_Mch_TG_List && image.Bit(kDigitalTalkGroupMode, 0)) {
        // One talk group for every channel: shown here, set elsewhere.
        value = image.U16(kDigitalGlobalTalkGroup);
        ShowText(cap, Number(value + 1));
    } else {
        int changed = 0;
        if (cap->Phase == cpEditText) {
            // The pick lists show the current entries only, so a typed entry
            // number is taken as it is, within the lists' size.
            const std::string text = UpperAscii(Trimmed(cap->EditText));
            const std::string typed = text.rfind("OF", 0) == 0 ? "0" : StripToDigitsAnd(text, "");
            if (!typed.empty()) {
                value = std::clamp(ParseDecimal(typed), 1, kIdListSize) - 1;
                changed = 1;
            }
            ShowText(cap, Number(value + 1));
        } else {
            const int key = cap->Key;
            if (key == cellkey::Space || key == cellkey::Backspace) cap->Key = 0;
            changed = ChooseFromCells(cap, column->Key, column->EntryLabel, value, cmNearestNumber, call.Result);
            cap->Key = key;
        }
        if (changed) {
            column->Set(call.Rec, value);
            call.Rec.Commit();
            value = column->Get(call.Rec);
        }
        if (call.Result != erStartEdit) ShowText(cap, Number(value + 1));
    }
    if (column->GreyWhen(call)) Grey(cap);
    if (column->Dangling) cap->ErrorMark = column->Dangling(call, value);
}

// ---- MSK repeater ----

void MskRepeaterCell(indCellCall& call)
{
    if (!MskCodeApplies(call)) {
        Dashed(call.Cap, "----");
        return;
    }
    Place(call.Cap, kRight, kBottom);
    int value = call.Rec.ChFlagsF.MskRptNone ? kMskRepeaterFlagValue : int(call.Rec.RptC);
    if (EditBoundedValue(call.Cap, "GI_Sheet_Sel_Mch_Msk_Rpt_1st_Pmr", "GI_Sheet_Sel_Mch_Msk_Rpt_2nd", value,
                         call.Result)) {
        if (value == kMskRepeaterFlagValue) {
            call.Rec.ChFlagsF.MskRptNone = 1;
        } else {
            call.Rec.ChFlagsF.MskRptNone = 0;
            call.Rec.RptC = uint32_t(value);
        }
        call.Rec.Commit();
    }
    if (Mode3(call)) Grey(call.Cap);
}

// ---- Digital: NAC and unit ID ----

void RxNacCell(indCellCall& call)
{
    const bool followed = call.Rec.RxNac == call.Rec.TxNac;
    int nac = int(call.Rec.RxNac);
    if (EditIntWrap(call.Cap, nac, 0, kHighestNac, call.Result)) {
        call.Rec.RxNac = uint32_t(nac);
        if (followed) call.Rec.TxNac = uint32_t(nac);
        call.Rec.Commit();
    }
    if (Mode0(call)) Grey(call.Cap);
}

void TxNacCell(indCellCall& call)
{
    PlaceHorz(call.Cap, kLeft);
    int nac = int(call.Rec.TxNac);
    if (EditIntWrap(call.Cap, nac, 0, kHighestNac, call.Result)) {
        call.Rec.TxNac = uint32_t(nac);
        call.Rec.Commit();
    }
    if (Mode0(call)) Grey(call.Cap);
    if (call.Rec.TxNac == call.Rec.RxNac && call.Result != erStartEdit) {
        ShowText(call.Cap, "<-");
        PlaceHorz(call.Cap, kCentre);
    }
}

void DigitalUnitCell(indCellCall& call)
{
    const ImageBytes image(call.Image());
    if (image.Bit(kDigitalUnitIdMode, 7)) {
        char text[32];
        if (image.Bit(kDigitalUnitIdMode, 5))
            std::snprintf(text, sizeof text, "%d****", image.U16(kDigitalAutoUnitIdBase));
        else
            std::snprintf(text, sizeof text, "%d", image.U16(kDigitalGlobalUnitId));
        ShowText(call.Cap, text);
    } else {
        int unit = int(call.Rec.UnitDec);
        if (EditIntWrap(call.Cap, unit, 1, call.UnitIdMax, call.Result)) {
            call.Rec.UnitDec = uint32_t(unit);
            call.Rec.Commit();
        }
    }
    if (Mode0(call)) Grey(call.Cap);
}

// ---- The family ----

constexpr LabelBehaviourEntry kChannelCells[] = {
    {CL_Mch_No, NumberCell},
    {CL_Mch_Atr, AttributeCell},
    {CL_Mch_Inh, ChoiceCell},
    {CL_Mch_FreqR, FrequencyCell},
    {CL_Mch_FreqT, FrequencyCell},
    {CL_Mch_TxInh, ChoiceCell},
    {CL_Mch_Nar, ChoiceCell},
    {CL_Mch_CTone_R, ToneCell},
    {CL_Mch_CTone_T, ToneCell},
    {CL_Mch_Text, NameCell},
    {CL_Mch_Compander, ChoiceCell},
    {CL_Mch_PwrSave, ChoiceCell},
    {CL_Mch_Tot, ChoiceCell},
    {CL_Mch_RfPo, ChoiceCell},
    {CL_Mch_Lockout, ChoiceCell},
    {CL_Mch_Scan, BitCell},
    {CL_Mch_AutoChScan, ChoiceCell},
    {CL_Mch_AutoReset, ChoiceCell},
    {CL_Mch_CH_Mute_Lmr, ChoiceCell},
    {CL_Mch_2Tone, ChoiceCell},
    {CL_Mch_Log, ChoiceCell},
    {CL_Mch_Scan_Inc, ChoiceCell},
    {CL_Mch_Scan_List, ChoiceCell},
    {CL_Mch_Scan_ListSel, ChoiceCell},
    {CL_Mch_Scrm_On, ChoiceCell},
    {CL_Mch_Scrm_Type, ScramblerTypeCell},
    {CL_Mch_Scrm_Code, ScramblerCodeCell},
    {CL_Mch_Sql_Tight, ChoiceCell},
    {CL_Mch_RxCNo2, BitCell},
    {CL_Mch_ZEPH_Fleet_Dec, FleetCell},
    {CL_Mch_ZEPH_Unit_Dec, TrunkUnitCell},
    {CL_Mch_ZEPH_Ind_List, IdListCell},
    {CL_Mch_ZEPH_TG_List, IdListCell},
    {CL_Mch_ZEPH_TxInh, ChoiceCell},
    {CL_Mch_ZEPH_MsgTrunking, ChoiceCell},
    {CL_Mch_Multisite_Unit_Dec, TrunkUnitCell},
    {CL_Mch_Multisite_Ind_List, IdListCell},
    {CL_Mch_Multisite_TG_List, IdListCell},
    {CL_Mch_Nar_Pmr, ChoiceCell},
    {CL_Mch_Lockout_Pmr, ChoiceCell},
    {CL_Mch_AutoReset_Pmr, ChoiceCell},
    {CL_Mch_Log_Pmr, ChoiceCell},
    {CL_Mch_Moni, ChoiceCell},
    {CL_Mch_Sel, ChoiceCell},
    {CL_Mch_Call, ChoiceCell},
    {CL_Mch_PTT, ChoiceCell},
    {CL_Mch_CH_Mute, ChoiceCell},
    {CL_Mch_Form, ChoiceCell},
    {CL_Mch_Rpt_C, ChoiceCell},
    {CL_Mch_Rpt_L, ChoiceCell},
    {CL_Mch_Stn_C, ChoiceCell},
    {CL_Mch_Stn_L, ChoiceCell},
    {CL_Mch_Id_C, ChoiceCell},
    {CL_Mch_Id_L, ChoiceCell},
    {CL_Mch_Pos, ChoiceCell},
    {CL_Mch_RxCNo, BitCell},
    {CL_Mch_RxCNoDtmf, ChoiceCell},
    {CL_Mch_DtmfDec, ChoiceCell},
    {CL_Mch_AutoReset_Kovr, ChoiceCell},
    {CL_Mch_Log_Kovr, ChoiceCell},
    {CL_Mch_TxInh_Kovr, ChoiceCell},
    {CL_Mch_Tot_Kovr, ChoiceCell},
    {CL_Mch_PwrSave_Kovr, ChoiceCell},
    {CL_Mch_Scan_Kovr, BitCell},
    {CL_Mch_Moni_Kovr, ChoiceCell},
    {CL_Mch_Sel_Kovr, ChoiceCell},
    {CL_Mch_Call_Kovr, ChoiceCell},
    {CL_Mch_PTT_Kovr, ChoiceCell},
    {CL_Mch_Form_Kovr, ChoiceCell},
    {CL_Mch_Rpt_C_Kovr, ChoiceCell},
    {CL_Mch_Rpt_L_Kovr, ChoiceCell},
    {CL_Mch_Msk_Sig, ChoiceCell},
    {CL_Mch_Msk_SendStatus, ChoiceCell},
    {CL_Mch_Msk_Rpt, MskRepeaterCell},
    {CL_Mch_Msk_Stn, ChoiceCell},
    {CL_Mch_Msk_RxCNo, BitCell},
    {CL_Mch_RxCNo2_Ltr, BitCell},
    {CL_Mch_Lockout_Dig, ChoiceCell},
    {CL_Mch_Dig_Sig, ChoiceCell},
    {CL_Mch_RxNac, RxNacCell},
    {CL_Mch_TxNac, TxNacCell},
    {CL_Mch_Unit_Dec, DigitalUnitCell},
    {CL_Mch_Ind_List, IdListCell},
    {CL_Mch_TG_List, IdListCell},
    {CL_Mch_Fast_Mute, ChoiceCell},
    {CL_Mch_SQL_Type, ChoiceCell},
    {CL_Mch_Encryption_No, ChoiceCell},
};

}  // namespace

bool EnterChannelRow(indCellCall& call) { return OnChannelOfBank(call); }

std::span<const LabelBehaviourEntry> ChannelCellBehaviours() { return kChannelCells; }
