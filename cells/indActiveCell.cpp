#include "cells/indActiveCell.h"

#include "cells/CellQueries.h"
#include "cells/LabelDispatch.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ListRows.h"
#include "model/TableAccess.h"
#include "model/indMain.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Help.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

indActiveCell::Behaviour& Override()
{
    static indActiveCell::Behaviour behaviour;
    return behaviour;
}

constexpr int kKeyEnter = 13;
constexpr int kKeyActivate = 256;  // a double click: the same as Enter
constexpr int kLastRedirectedKey = 127;

// The radio's serial number in the identity payload: 12 hexadecimal
// characters, read as three numbers of 4, 2 and 6 digits.
constexpr int kSerialOffset = 37;
constexpr int kSerialLength = 12;

constexpr int kLastBankRow = WorkTables::Banks - 1;

int UnitIdBound()
{
    const std::string text = g_GTex.GetText("GI_AppUnitIdMax", 0);
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = std::min(value * 10 + (c - '0'), 0x7FFFFFFFL);
    }
    return int(value);
}

cmcEeprom& WorkingImage()
{
    if (!g_Main) plat::Fatal("The cell engine runs without its main object.");
    return g_Main->CurrentImage();
}

void Post(int type, intptr_t p1, intptr_t p2)
{
    if (g_EvMan) g_EvMan->Post(type, p1, p2);
}

// ---- Stage 2: pop-up menu commands ----------------------------------------

}  // namespace

RowBounds CommandRowBounds(const indCellCall& call, int command)
{
    RowBounds b{KindTableMin(call.Kind), KindTableMax(call.Kind), call.Bank.Group};
    const bool carry = command == CL_PMenu_CarryUp || command == CL_PMenu_CarryDown;
    auto list = [](int count) { return RowBounds{0, count - 1, 0}; };
    // The rows of a bank or group run from its first item through its count:
    // an empty one has no row (its range's last row is no row of its own).
    auto items = [](const ListRange& r) { return RowBounds{r.First, r.First + r.Count - 1, r.Group}; };
    auto group = [&call, &items](int kind) { return items(call.GroupRange(kind)); };
    switch (call.Category) {
    case CT_Mch:
    case CT_Mch_Check: b = items(call.Bank); break;
    case CT_CTone: b = list(CToneListCount()); break;
    case CT_DIG_NacCh: b = list(NacChListCount()); break;
    case CT_DIG_Inv: b = list(IndListCount(18)); break;
    case CT_DIG_Tg: b = list(TgListCount(19)); break;
    case CT_ZEPH_Inv: b = list(IndListCount(28)); break;
    case CT_ZEPH_Tg: b = list(TgListCount(29)); break;
    case CT_Multisite_Inv: b = list(IndListCount(32)); break;
    case CT_Multisite_Tg: b = list(TgListCount(33)); break;
    case CT_DIG_Status:
        // The two status rows from 222 on are moved as a pair of their own.
        if (call.Index >= 222) b = {223, 224, call.Bank.Group};
        break;
    case CT_Rpt: b = group(22); break;
    case CT_ZEPH_Rpt: b = group(27); break;
    case CT_Multisite_Rpt: b = group(31); break;
    case CT_BankOp:
        if (carry) b = {0, kLastBankRow, call.Bank.Group};
        break;
    case CT_Multisite_SL:
        // Every command, a carry too, keeps to the sites the list holds.
        b = {0, MultisiteSiteCount() - 1, call.Bank.Group};
        break;
    default: break;
    }
    return b;
}

// Carries the n rows from `first` past the m rows of the neighbour block in
// direction d, one row at a time, and leaves the capsule's range on their new
// place. No rows: nothing to carry (the counts say it all).
static void CarryBlock(cmcCellCapsule* capsule, cmcEeprom& image, int kind, int upper, int first, int n, int m, int d)
{
    if (n == 0) return;
    datCh record(&image);
    record.Unpack(kind, first);
    // The rows carried are the block's, whatever the capsule selected.
    capsule->RangeFlags |= 1;
    capsule->RangeFirst = first;
    capsule->RangeLast = first + n - 1;
    for (int k = 0; k < m; ++k) CarryRows(capsule, record, 0, upper, d);
    capsule->RangeFirst = first + d * m;
    capsule->RangeLast = capsule->RangeFirst + n - 1;
}

// Moves the channels of bank b one bank up (d = -1) or down (+1): the two
// banks swap their channel counts and the block of b's channels is carried
// past every channel of the neighbour bank, one row at a time.
void MoveBankBlock(cmcCellCapsule* capsule, cmcEeprom& image, int kind, int upper, int b, int d)
{
    const int first = BankFirstChannel(b);
    const int n = BankChannelCount(b);
    const int m = BankChannelCount(b + d);
    SetBankChannelCount(b, m);
    SetBankChannelCount(b + d, n);
    CarryBlock(capsule, image, kind, upper, first, n, m, d);
}

// The same for the repeaters of group g of kind 22 or 27; the home repeater
// bytes of the two banks stay where they are.
void MoveGroupBlock(cmcCellCapsule* capsule, cmcEeprom& image, int kind, int upper, int g, int d)
{
    datCh bankHere(&image), bankThere(&image);
    bankHere.Unpack(13, g);
    bankThere.Unpack(13, g + d);
    const datCh homeHere = bankHere, homeThere = bankThere;

    const int first = GroupFirstItem(g, kind);
    const int n = GroupItemCount(g, kind);
    const int m = GroupItemCount(g + d, kind);
    SetGroupItemCount(g, m, kind);
    SetGroupItemCount(g + d, n, kind);
    CarryBlock(capsule, image, kind, upper, first, n, m, d);

    auto keepHome = [&](datCh& bank, const datCh& home, int row) {
        bank.Unpack(13, row);
        if (kind == 22) {
            bank.LtrHomeRpt = home.LtrHomeRpt;
        } else {
            bank.ZephHomeRpt = home.ZephHomeRpt;
            bank.ZephHomeRpt2 = home.ZephHomeRpt2;
        }
        bank.Commit();
    };
    keepHome(bankHere, homeHere, g);
    keepHome(bankThere, homeThere, g + d);
}

// Site s and site s + d swap their multisite repeaters (kind 31); the home
// repeater bytes of the two site records stay where they are.
void MoveSiteGroupBlock(cmcCellCapsule* /*capsule*/, cmcEeprom& image, int kind, int s, int d)
{
    datCh siteHere(&image), siteThere(&image);
    siteHere.Unpack(30, s);
    siteThere.Unpack(30, s + d);
    const uint8_t homes[2][2] = {{siteHere.SiteHome1, siteHere.SiteHome2}, {siteThere.SiteHome1, siteThere.SiteHome2}};

    auto copy = [&](int site) {
        std::vector<datCh> records(size_t(std::max(0, GroupItemCount(site, kind))), datCh(&image));
        const int first = GroupFirstItem(site, kind);
        for (size_t i = 0; i < records.size(); ++i) records[i].Unpack(kind, first + int(i));
        return records;
    };
    std::vector<datCh> here = copy(s), there = copy(s + d);
    SetGroupItemCount(s, int(there.size()), kind);
    SetGroupItemCount(s + d, int(here.size()), kind);
    auto paste = [&](std::vector<datCh>& records, int site) {
        const int first = GroupFirstItem(site, kind);
        for (size_t i = 0; i < records.size(); ++i) records[i].Pack(kind, first + int(i));
    };
    paste(here, s + d);
    paste(there, s);

    auto keepHome = [&](datCh& site, const uint8_t (&home)[2], int row) {
        site.Unpack(30, row);
        site.SiteHome1 = home[0];
        site.SiteHome2 = home[1];
        site.Commit();
    };
    keepHome(siteHere, homes[0], s);
    keepHome(siteThere, homes[1], s + d);
}

namespace {

// Carry up or down of bank or site rows: the channels (or repeaters) of each
// selected row follow it before the rows themselves are moved.
void MoveRowContents(indCellCall& call, int command)
{
    cmcCellCapsule* capsule = call.Cap;
    const int d = command == CL_PMenu_CarryUp ? -1 : 1;
    const bool banks = call.Category == CT_BankOp;
    // The last row the move may reach: the last bank, or the last site the
    // list holds (none in an empty list).
    const int highest = CommandRowBounds(call, command).Last;
    if (highest < 0) return;
    int first = capsule->RangeFirst, last = capsule->RangeLast;
    if (first == last) first = last = call.Index;
    if (first > last) std::swap(first, last);
    first = std::clamp(first, 0, highest);
    last = std::clamp(last, 0, highest);

    cmcCellCapsule saved;
    saved.Assign(*capsule);
    capsule->RangeFlags |= 1;
    cmcEeprom& image = call.Image();
    auto move = [&](int r) {
        if (banks) {
            MoveBankBlock(capsule, image, MchRecordKind(), UsedChannelCount(), r, d);
            MoveGroupBlock(capsule, image, 22, ListItemTotal(22), r, d);
            MoveGroupBlock(capsule, image, 27, ListItemTotal(27), r, d);
        } else {
            MoveSiteGroupBlock(capsule, image, 31, r, d);
        }
    };
    if (d < 0 && first > 0)
        for (int r = first; r <= last; ++r) move(r);
    if (d > 0 && last < highest)
        for (int r = last; r >= first; --r) move(r);
    capsule->Assign(saved);

    Post(ev::UpdateBankNodes, 0, 0);
    if (d < 0 && first > 0) --first;
    if (d > 0 && last < highest) ++last;
    for (int r = first; r <= last; ++r) Post(ev::RereadBankName, 0, r);
    call.Scope |= csEveryLabelled;
}

void ShowContextHelp(indCellCall& call)
{
    g_Main->ShowHelpFile(plat::HELP_CONTEXTPOPUP, g_Main->HelpContextId(*call.Cap));
}

bool ReadHex(const uint8_t* text, int length, long& value)
{
    value = 0;
    for (int i = 0; i < length; ++i) {
        const int c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else return false;
        value = value * 16 + digit;
    }
    return true;
}

void CopySerialNumber(const indCellCall& call)
{
    if (call.Label != CL_CloneInfo_Esn) return;
    const uint8_t* serial = g_Main->IdentityPayload().data() + kSerialOffset;
    long a = 0, b = 0, c = 0;
    if (!ReadHex(serial, 4, a) || !ReadHex(serial + 4, 2, b) || !ReadHex(serial + 6, kSerialLength - 6, c)) return;
    char text[40];
    std::snprintf(text, sizeof text, "%04ld%02ld%05ld", a, b, c);
    plat::SetClipboardText(text);
}

void RunCommand(indCellCall& call)
{
    cmcCellCapsule* capsule = call.Cap;
    const int command = capsule->Command;
    switch (command) {
    case CL_PMenu_Edit:
        capsule->Key = kKeyEnter;
        capsule->Command = 0;
        break;
    case CL_PMenu_CarryUp:
    case CL_PMenu_CarryDown:
        if (call.Category == CT_BankOp || call.Category == CT_Multisite_SL) MoveRowContents(call, command);
        [[fallthrough]];
    case CL_PMenu_Copy:
    case CL_PMenu_Paste:
    case CL_PMenu_Clear:
    case CL_PMenu_Delete:
    case CL_PMenu_Insert: {
        const RowBounds b = CommandRowBounds(call, command);
        RunRowCommand(capsule, call.Rec, b.First, b.Last, b.Group);
        g_Main->Pack(call.Image());
        call.Handled = true;
        break;
    }
    case CL_PMenu_Help:
        ShowContextHelp(call);
        call.Handled = true;
        break;
    case CL_PMenu_WinCopy: CopySerialNumber(call); break;
    default: break;
    }
}

// ---- Stage 3: category stage -------------------------------------------------

// The empty-row rule of one list category: the entry column that a typed
// key is sent to and the labels that keep their own behaviour.
struct EmptyRowRule {
    int Entry = CL_NoLabel;
    int Exempt[2] = {CL_NoLabel, CL_NoLabel};
    bool IsExempt(int label) const { return label == Exempt[0] || label == Exempt[1]; }
};

void Redirect(indCellCall& call, int entry, bool handled)
{
    call.Cap->Jump = 1;
    call.Cap->JumpLabel = entry;
    call.Cap->JumpKey = call.Cap->Key;
    if (handled) call.Handled = true;
}

// A counted list: the rows from the count on are empty.
void CountedListRow(indCellCall& call, int count, int entry)
{
    if (call.Index < count || call.Label == entry) return;
    Redirect(call, entry, true);
}

void ChannelRow(indCellCall& call)
{
    const int bank = call.Bank.Group;
    EmptyRowRule rule;
    bool empty;
    if (IsLtrBank(bank)) {
        rule.Entry = CL_Grp_RxId;
        empty = call.Rec.GrpRxId == 0;
    } else if (IsZephBank(bank)) {
        rule.Entry = CL_Mch_ZEPH_Unit_Dec;
        empty = call.Rec.ZephUnit == 0;
    } else if (IsMultisiteBank(bank)) {
        rule.Entry = CL_Mch_Multisite_Unit_Dec;
        empty = call.Rec.ZephUnit == 0;
    } else {
        rule.Entry = CL_Mch_FreqR;
        empty = call.Rec.RxFreq == 0;
    }
    empty = empty || call.RowOutsideBank;
    if (!empty || call.Label == rule.Entry) return;
    // The attribute cell of a row inside the bank keeps its own behaviour.
    if (call.Label == CL_Mch_Atr && !call.RowOutsideBank) return;
    Redirect(call, rule.Entry, true);
}

void RepeaterRow(indCellCall& call, int kind, int entry, int attribute, EmptyRowRule rule)
{
    const bool keyTyped = call.Cap->Key >= 0 && call.Cap->Key <= kLastRedirectedKey;
    const bool own = call.Label == entry || rule.IsExempt(call.Label);
    if (keyTyped && call.Rec.RptRxFreq == 0 && !own) Redirect(call, entry, call.Label != attribute);
    if (call.Handled) return;
    const ListRange& group = call.GroupRange(kind);
    const bool outside = group.Count == 0 || call.Index < group.First || call.Index > group.Last;
    if (!outside || own) return;
    // A row outside the group shows nothing, whatever the key.
    call.Handled = true;
    if (keyTyped) Redirect(call, entry, true);
}

void CategoryStage(indCellCall& call)
{
    cmcCellCapsule* capsule = call.Cap;
    if (call.Category == CT_PopupMenu) {
        // A pop-up menu item judges the row of the cell its menu belongs to.
        if (capsule->Parent && capsule->Parent->Cell) {
            const cmcCellObj* parent = capsule->Parent->Cell;
            call.Kind = RecordKindOfCategory(parent->Category);
            call.Index = parent->Index;
            call.Rec.Unpack(call.Kind, call.Index);
            call.RowOutsideBank = call.Bank.Count == 0 || call.Index > call.Bank.Last;
        }
        return;
    }
    if (call.Handled) return;
    const int key = capsule->Key;
    switch (call.Category) {
    case CT_Rpt: RepeaterRow(call, 22, CL_Rpt_FreqR, CL_Rpt_Atr, {CL_NoLabel, {CL_Rpt_Text, CL_Rpt_AreaBit}}); return;
    case CT_ZEPH_Rpt:
        RepeaterRow(call, 27, CL_Rpt_ZEPH_FreqR, CL_Rpt_ZEPH_Atr, {CL_NoLabel, {CL_Rpt_Text, CL_Rpt_ZEPH_AreaBit}});
        return;
    case CT_Multisite_Rpt:
        RepeaterRow(call, 31, CL_Rpt_Multisite_FreqR, CL_Multisite_Atr_Collect,
                    {CL_NoLabel, {CL_Rpt_Multisite_AreaBit, CL_NoLabel}});
        return;
    default: break;
    }
    if (key < 0 || key > kLastRedirectedKey) return;
    switch (call.Category) {
    case CT_Mch: ChannelRow(call); break;
    case CT_CTone: CountedListRow(call, CToneListCount(), CL_CTone_RX); break;
    case CT_DIG_Inv: CountedListRow(call, IndListCount(18), CL_Digi_Ind_Id_Dec); break;
    case CT_DIG_Tg: CountedListRow(call, TgListCount(19), CL_Digi_Grp_Id_Dec); break;
    case CT_DIG_NacCh: CountedListRow(call, NacChListCount(), CL_Digi_NacCh_RxNac); break;
    case CT_ZEPH_Inv: CountedListRow(call, IndListCount(28), CL_ZEPH_Ind_Id_Dec); break;
    case CT_ZEPH_Tg: CountedListRow(call, TgListCount(29), CL_ZEPH_Grp_Id_Dec); break;
    case CT_Multisite_SL: CountedListRow(call, MultisiteSiteCount(), CL_MultiSite_SiteID); break;
    case CT_Multisite_Inv: CountedListRow(call, IndListCount(32), CL_Multisite_Ind_Id_Dec); break;
    case CT_Multisite_Tg: CountedListRow(call, TgListCount(33), CL_Multisite_Grp_Id_Dec); break;
    default: break;
    }
}

}  // namespace

// ---- The working set ------------------------------------------------------------

indCellCall::indCellCall(cmcCellCapsule* capsule)
    : Cap(capsule), Cell(capsule->Cell), Rec(&WorkingImage()), Kovr(&WorkingImage()), m_image(&WorkingImage())
{
}

const ListRange& indCellCall::GroupRange(int kind) const
{
    return kind == 22 ? m_ltrGroup : kind == 27 ? m_zephGroup : m_multisiteGroup;
}

void indCellCall::RefreshRanges()
{
    Bank = GetCurrentBankRange();
    m_ltrGroup = m_zephGroup = m_multisiteGroup = ListRange{};
    if (g_EvMan) {
        // One question serves the three grouped lists.
        if (std::unique_ptr<cmcEvAns> answer = g_EvMan->Query(ev::QueryListGroup, 0, 0)) {
            m_ltrGroup = GetGroupRange(answer->value, 22);
            m_zephGroup = GetGroupRange(answer->value, 27);
            m_multisiteGroup = GetGroupRange(answer->value, 31);
        }
    }
    RowOutsideBank = Bank.Count == 0 || Index > Bank.Last;
}

// ---- The engine -------------------------------------------------------------------

indActiveCell::~indActiveCell() = default;

indActiveCell::TestOverride::TestOverride(Behaviour behaviour) : m_previous(std::move(Override()))
{
    Override() = std::move(behaviour);
}

indActiveCell::TestOverride::~TestOverride()
{
    Override() = std::move(m_previous);
}

CellExecResult indActiveCell::Exec(cmcCellCapsule* capsule, int notify)
{
    if (Override()) return Override()(capsule, notify);
    if (!capsule) return erNothing;
    if (!capsule->Cell) {
        capsule->Text.clear();
        capsule->WarningMark = false;
        capsule->ErrorMark = false;
        return erNothing;
    }

    // Stage 1: prologue.
    indCellCall call(capsule);
    const cmcCellObj* cell = capsule->Cell;
    call.Kind = RecordKindOfCategory(cell->Category);
    call.UnitIdMax = UnitIdBound();
    call.Category = cell->Category;
    call.Label = cell->Label;
    call.Index = cell->Index;
    call.Lmr = IsLmrModel();
    call.Pmr = IsPmrModel();
    call.SecondBank = SecondBankUsed(call.Image());
    capsule->Text.clear();
    capsule->WarningMark = false;
    capsule->ErrorMark = false;
    if (call.Kind != 0) call.Rec.Unpack(call.Kind, call.Index);
    call.RefreshRanges();
    if (call.Kind == 2 && call.Pmr) {
        call.PmrMsk = call.Rec.ChFlagsF.MskSig;
        call.PmrNoMsk = !call.Rec.ChFlagsF.MskSig;
        call.PmrMskRptNone = call.Rec.ChFlagsF.MskRptNone;
    }
    capsule->JumpCategory = call.Category;
    capsule->JumpLabel = call.Label;
    capsule->JumpIndex = call.Index;
    if (capsule->Key == kKeyActivate) capsule->Key = kKeyEnter;

    // Stage 2: pop-up menu commands.
    if (capsule->Command != 0) RunCommand(call);
    // Whether the call carries input, as it came (a handler may consume the key).
    const bool input = capsule->Key != 0 || capsule->Phase != 0 || capsule->Command != 0;

    // Stage 3: category stage; stage 4: the label's behaviour.
    CategoryStage(call);
    RunLabelBehaviour(call);

    // Stage 5: epilogue.
    if (call.Rec.Kind != 0) call.Scope |= csSameIndex;
    if (notify == 1 && call.Scope != 0) capsule->CallOnChange(call.Scope);
    if (input) {
        g_Main->ScheduleCheck();
        g_Main->UpdateModified();
    }
    return call.Result;
}

void indActiveCell::EvaluateCellMarks(int category, int label, int index, bool& error, bool& warning)
{
    cmcCellObj cell;
    cell.Category = category;
    cell.Label = label;
    cell.Index = index;
    cmcCellCapsule capsule;
    capsule.Bank = BankOfChannelNumber(index + 1);
    capsule.Cell = &cell;
    indActiveCell().Exec(&capsule, 0);
    error = capsule.ErrorMark;
    warning = capsule.WarningMark;
}

bool indActiveCell::CellError(int category, int label, int index)
{
    bool error = false, warning = false;
    EvaluateCellMarks(category, label, index, error, warning);
    return error;
}

bool indActiveCell::CellWarning(int category, int label, int index)
{
    bool error = false, warning = false;
    EvaluateCellMarks(category, label, index, error, warning);
    return warning;
}
