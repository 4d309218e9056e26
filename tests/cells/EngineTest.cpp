// The engine's frame: prologue, pop-up commands, empty-row redirect, label
// dispatch and epilogue.
#include "cells/CellQueries.h"
#include "cells/ValueHandlers.h"
#include "cells/LabelDispatch.h"
#include "cells/indActiveCell.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/cmcGTex.h"
#include "core/EventIds.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Help.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace celltest;

namespace {

// What a label behaviour saw of its call.
struct Seen {
    int runs = 0;
    int key = -1;
    int command = -1;
    int kind = -1;
    int index = -1;
    int rxFreq = -1;
    int unitIdMax = -1;
    bool rowOutside = false;
    ListRange bank;
    ListRange ltrGroup;
};

ScopedLabelBehaviour::Behaviour Record(Seen& seen)
{
    return [&seen](indCellCall& call) {
        ++seen.runs;
        seen.key = call.Cap->Key;
        seen.command = call.Cap->Command;
        seen.kind = call.Kind;
        seen.index = call.Index;
        seen.rxFreq = call.Rec.RxFreq;
        seen.unitIdMax = call.UnitIdMax;
        seen.rowOutside = call.RowOutsideBank;
        seen.bank = call.Bank;
        seen.ltrGroup = call.GroupRange(22);
        call.Cap->Text = "shown";
    };
}

CellExecResult RunCell(Capsule& c, int notify = 0) { return indActiveCell().Exec(&c.cap, notify); }

TEST(Engine, PrologueDecodesTheRecordAndTheCurrentRanges)
{
    CellWorld world;
    TestImage(world.Image()).BankCounts({3, 2}).Channel(4, 146520000).GroupCount(22, 0, 2).GroupCount(22, 1, 5);
    world.currentBank = 1;
    world.listGroup = 1;
    Seen seen;
    ScopedLabelBehaviour behaviour(CL_Mch_Tot, Record(seen));
    auto cell = MakeCell(CT_Mch, CL_Mch_Tot, 4);
    Capsule c(cell.get());
    c.cap.Text = "stale";
    c.cap.ErrorMark = c.cap.WarningMark = true;
    c.cap.Key = 256;  // a double click counts as Enter

    RunCell(c);
    EXPECT_EQ(seen.runs, 1);
    EXPECT_EQ(seen.key, 13);
    EXPECT_EQ(seen.kind, 1);
    EXPECT_EQ(seen.rxFreq, 146520000);
    EXPECT_EQ(seen.unitIdMax, 65519);
    EXPECT_EQ(seen.bank, (ListRange{1, 3, 4, 2}));
    EXPECT_EQ(seen.ltrGroup, (ListRange{1, 2, 6, 5}));
    EXPECT_FALSE(seen.rowOutside);
    EXPECT_EQ(c.cap.Text, "shown");
    EXPECT_FALSE(c.cap.ErrorMark || c.cap.WarningMark);
    EXPECT_EQ(c.cap.JumpCategory, CT_Mch);
    EXPECT_EQ(c.cap.JumpLabel, CL_Mch_Tot);
    EXPECT_EQ(c.cap.JumpIndex, 4);

    // Nobody answers: the ranges are empty and every row lies outside (the
    // check list's channel cells are never taken for empty rows).
    cell->Category = CT_Mch_Check;
    world.currentBank.reset();
    world.listGroup.reset();
    RunCell(c);
    EXPECT_EQ(seen.bank, ListRange{});
    EXPECT_EQ(seen.ltrGroup, ListRange{});
    EXPECT_TRUE(seen.rowOutside);
}

TEST(Engine, PmrChannelsDecodeAsTheirOwnKind)
{
    CellWorld world({}, /*modelType*/ 1);
    TestImage(world.Image()).BankCounts({2}).Channel(1, 450000000);
    world.currentBank = 0;
    Seen seen;
    ScopedLabelBehaviour behaviour(CL_Mch_Tot, Record(seen));
    auto cell = MakeCell(CT_Mch, CL_Mch_Tot, 1);
    Capsule c(cell.get());
    RunCell(c);
    EXPECT_EQ(seen.kind, 2);
    EXPECT_EQ(seen.rxFreq, 450000000);
}

TEST(Engine, EditCommandIsAnEnterOnTheCell)
{
    CellWorld world;
    Seen seen;
    ScopedLabelBehaviour behaviour(CL_Comm_Tactical, Record(seen));
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule c(cell.get());
    c.cap.Command = CL_PMenu_Edit;
    RunCell(c);
    EXPECT_EQ(seen.runs, 1);
    EXPECT_EQ(seen.key, 13);
    EXPECT_EQ(seen.command, 0);
}

TEST(Engine, RowCommandsAreHandledAndBoundedByTheirList)
{
    CellWorld world;
    TestImage(world.Image())
        .BankCounts({4, 6})
        .ToneListCount(7)
        .IdListCount(28, 9)
        .GroupCount(27, 0, 3)
        .GroupCount(27, 1, 4)
        .SiteCount(5);
    world.currentBank = 1;
    world.listGroup = 1;

    struct Case {
        int category;
        int index;
        int command;
        RowBounds expected;
    };
    const Case cases[] = {
        {CT_Mch, 5, CL_PMenu_Copy, {4, 9, 1}},
        {CT_Mch_Check, 5, CL_PMenu_Delete, {4, 9, 1}},
        {CT_CTone, 2, CL_PMenu_Paste, {0, 6, 0}},
        {CT_ZEPH_Inv, 0, CL_PMenu_Clear, {0, 8, 0}},
        {CT_ZEPH_Rpt, 4, CL_PMenu_Insert, {3, 6, 1}},
        {CT_DIG_Status, 222, CL_PMenu_Copy, {223, 224, 1}},
        {CT_DIG_Status, 10, CL_PMenu_Copy, {0, 99, 1}},
        {CT_BankOp, 3, CL_PMenu_CarryUp, {0, 127, 1}},
        {CT_BankOp, 3, CL_PMenu_Copy, {0, 127, 1}},
        {CT_Multisite_SL, 3, CL_PMenu_CarryDown, {0, 4, 1}},
        {CT_Multisite_SL, 3, CL_PMenu_Copy, {0, 4, 1}},
        {CT_Multisite_SL, 7, CL_PMenu_Delete, {0, 4, 1}},
        {CT_DTMF, 1, CL_PMenu_Copy, {0, 7, 1}},
    };
    auto check = [](const Case& k) {
        auto cell = MakeCell(k.category, CL_Null, k.index);
        Capsule c(cell.get());
        c.cap.Command = k.command;
        indCellCall call(&c.cap);
        call.Category = k.category;
        call.Kind = RecordKindOfCategory(k.category);
        call.Index = k.index;
        call.RefreshRanges();
        const RowBounds b = CommandRowBounds(call, k.command);
        EXPECT_EQ(b.First, k.expected.First) << k.category << " " << k.command;
        EXPECT_EQ(b.Last, k.expected.Last) << k.category << " " << k.command;
        EXPECT_EQ(b.Group, k.expected.Group) << k.category << " " << k.command;
    };
    for (const Case& k : cases) check(k);
    // An empty bank or group holds no row, so that no command reaches the
    // first row of the next one.
    TestImage(world.Image()).BankCount(0, 0).GroupCount(27, 0, 0).SiteCount(0);
    world.currentBank = 0;
    world.listGroup = 0;
    check({CT_Mch, 0, CL_PMenu_Clear, {0, -1, 0}});
    check({CT_ZEPH_Rpt, 0, CL_PMenu_Delete, {0, -1, 0}});
    check({CT_Multisite_SL, 0, CL_PMenu_CarryDown, {0, -1, 0}});

    // The command is the whole call: the cell's own behaviour does not run.
    Seen seen;
    ScopedLabelBehaviour behaviour(CL_Mch_Tot, Record(seen));
    auto cell = MakeCell(CT_Mch, CL_Mch_Tot, 5);
    Capsule c(cell.get());
    c.cap.Command = CL_PMenu_Copy;
    EXPECT_EQ(DynamicBase(world.Image()), 0u);
    RunCell(c);
    EXPECT_EQ(seen.runs, 0);
    EXPECT_TRUE(world.Main().CheckScheduled());
    // The tables are packed after the command.
    EXPECT_NE(DynamicBase(world.Image()), 0u);
}

TEST(Engine, CarryingBanksMovesTheirChannelCountsAndRenamesTheRows)
{
    CellWorld world;
    TestImage(world.Image()).BankCounts({1, 2, 3, 4, 5, 6}).GroupCount(22, 3, 2).GroupCount(22, 2, 1);
    world.currentBank = 3;
    // Channel n on frequency 150 MHz + n steps; bank b named "BANK b"; the
    // LTR repeaters of groups 2 (item 0) and 3 (items 1 and 2) numbered 1-3.
    const int kind = MchRecordKind();
    auto freq = [](int n) { return uint32_t(150000000 + 12500 * n); };
    auto name = [](int b) { return "BANK " + std::to_string(b) + std::string(6, ' '); };
    {
        TestImage data(world.Image());
        for (int n = 0; n < 21; ++n) data.Item(kind, n, [&](datCh& ch) { ch.RxFreq = freq(n); });
        for (int b = 0; b < 6; ++b) data.Item(13, b, [&](datCh& r) { std::memcpy(r.Text, name(b).data(), 12); });
        for (int i = 0; i < 3; ++i) data.Item(22, i, [&](datCh& r) { r.RptRxFreq = freq(100 + i); });
    }
    int scope = 0;
    auto cell = MakeCell(CT_BankOp, CL_Null, 3);
    Capsule c(cell.get());
    c.cap.Command = CL_PMenu_CarryUp;
    c.cap.RangeFlags = 1;
    c.cap.RangeFirst = 3;
    c.cap.RangeLast = 5;
    c.cap.OnChange = [&](cmcCellCapsule*, CellChangeScope s) { scope = s; };
    RunCell(c, 1);
    world.Pump();

    // Banks 3, 4 and 5 moved one up in turn: bank 2's channels end below them.
    TestImage image(world.Image());
    std::vector<int> counts;
    for (int b = 0; b < 6; ++b) counts.push_back(BankChannelCount(b));
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 4, 5, 6, 3}));
    EXPECT_EQ(GroupItemCount(2, 22), 2);
    EXPECT_EQ(GroupItemCount(5, 22), 1);
    EXPECT_EQ(world.PostedOf(ev::UpdateBankNodes).size(), 1u);
    EXPECT_EQ(world.PostedOf(ev::RereadBankName), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_TRUE(scope & csEveryLabelled);
    // The channels, the bank records and the repeaters moved with them.
    const int channelOrder[] = {0, 1, 2, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 3, 4, 5};
    for (int n = 0; n < 21; ++n) EXPECT_EQ(uint32_t(image.Read(kind, n).RxFreq), freq(channelOrder[n])) << n;
    const int bankOrder[] = {0, 1, 3, 4, 5, 2};
    for (int b = 0; b < 6; ++b) EXPECT_EQ(std::string(image.Read(13, b).Text, 12), name(bankOrder[b])) << b;
    const int repeaterOrder[] = {1, 2, 0};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(uint32_t(image.Read(22, i).RptRxFreq), freq(100 + repeaterOrder[i])) << i;

    // Bank 0 cannot move up: nothing moves, the rows are still named.
    world.posted.clear();
    cell->Index = 0;
    c.cap.RangeFirst = c.cap.RangeLast = 0;
    RunCell(c);
    world.Pump();
    EXPECT_EQ(BankChannelCount(0), 1);
    EXPECT_EQ(world.PostedOf(ev::RereadBankName), (std::vector<int>{0}));
}

TEST(Engine, CarryingASiteSwapsItsRepeaters)
{
    CellWorld world;
    TestImage image(world.Image());
    image.SiteCount(3).GroupCount(31, 0, 1).GroupCount(31, 1, 2).GroupCount(31, 2, 1);
    image.Item(31, 0, [](datCh& r) { r.RptRxFreq = 451000000; });
    image.Item(31, 1, [](datCh& r) { r.RptRxFreq = 452000000; });
    image.Item(31, 2, [](datCh& r) { r.RptRxFreq = 453000000; });
    image.Item(31, 3, [](datCh& r) { r.RptRxFreq = 454000000; });
    image.Item(30, 0, [](datCh& r) { r.SiteHome1 = 1; r.SiteHome2 = 0; });
    image.Item(30, 1, [](datCh& r) { r.SiteHome1 = 2; r.SiteHome2 = 1; });

    auto cell = MakeCell(CT_Multisite_SL, CL_Null, 1);
    Capsule c(cell.get());
    c.cap.Command = CL_PMenu_CarryUp;
    RunCell(c);

    EXPECT_EQ(GroupItemCount(0, 31), 2);
    EXPECT_EQ(GroupItemCount(1, 31), 1);
    std::vector<int> freqs;
    for (int i = 0; i < 4; ++i) freqs.push_back(image.Read(31, i).RptRxFreq);
    EXPECT_EQ(freqs, (std::vector<int>{452000000, 453000000, 451000000, 454000000}));
}

TEST(Engine, SiteRowCommandsKeepToTheSitesTheListHolds)
{
    CellWorld world({"#GI_Sys_AppTitle", "Test Title", "#GI_AppMess_Conv_Delete", "Delete?", "#GI_AppMess_S_Delete",
                     "Deleted", "#"});
    plat::ScopedDialogScript dialogs;
    TestImage image(world.Image());
    // Three sites, numbered 11 to 13, with one repeater each.
    image.SiteCount(3).GroupCount(31, 0, 1).GroupCount(31, 1, 1).GroupCount(31, 2, 1);
    for (int s = 0; s < 3; ++s) image.Item(30, s, [s](datCh& r) { r.SiteId = uint8_t(11 + s); });
    auto ids = [&] {
        std::vector<int> out;
        for (int s = 0; s < MultisiteSiteCount(); ++s) out.push_back(image.Read(30, s).SiteId);
        return out;
    };
    auto run = [&](int command, int first, int last) {
        auto cell = MakeCell(CT_Multisite_SL, CL_Null, first);
        Capsule c(cell.get());
        c.cap.Command = command;
        c.cap.RangeFlags = 1;
        c.cap.RangeFirst = first;
        c.cap.RangeLast = last;
        dialogs.Answer(plat::IDOK);
        RunCell(c);
        world.Pump();
    };

    // The last site cannot move down past the end of the list.
    run(CL_PMenu_CarryDown, 2, 2);
    EXPECT_EQ(ids(), (std::vector<int>{11, 12, 13}));
    EXPECT_EQ(GroupItemCount(2, 31), 1);
    EXPECT_EQ(GroupItemCount(3, 31), 0);
    // Deleting the last site and the empty row after it removes one site.
    run(CL_PMenu_Delete, 2, 3);
    EXPECT_EQ(ids(), (std::vector<int>{11, 12}));
}

TEST(Engine, ContentMovesKeepTheHomeRepeatersInPlace)
{
    CellWorld world;
    TestImage image(world.Image());
    // Two sites whose second repeater of site 1 is its first home.
    image.SiteCount(2).GroupCount(31, 0, 1).GroupCount(31, 1, 2);
    image.Item(30, 0, [](datCh& r) { r.SiteHome1 = 1; r.SiteHome2 = 0; });
    image.Item(30, 1, [](datCh& r) { r.SiteHome1 = 2; r.SiteHome2 = 1; });
    cmcCellCapsule capsule;
    MoveSiteGroupBlock(&capsule, world.Image(), 31, 1, -1);
    EXPECT_EQ(image.Read(30, 0).SiteHome1, 1);
    EXPECT_EQ(image.Read(30, 0).SiteHome2, 0);
    EXPECT_EQ(image.Read(30, 1).SiteHome1, 2);
    EXPECT_EQ(image.Read(30, 1).SiteHome2, 1);

    // The LTR and ZEPH home repeaters of two banks.
    image.GroupCount(22, 0, 2).GroupCount(22, 1, 3).GroupCount(27, 0, 1).GroupCount(27, 1, 1);
    image.Item(13, 0, [](datCh& r) { r.LtrHomeRpt = 2; r.ZephHomeRpt = 1; r.ZephHomeRpt2 = 0; });
    image.Item(13, 1, [](datCh& r) { r.LtrHomeRpt = 3; r.ZephHomeRpt = 0; r.ZephHomeRpt2 = 1; });
    // Repeaters numbered by their place: LTR 0-4, ZEPH 10-11.
    for (int i = 0; i < 5; ++i) image.Item(22, i, [i](datCh& r) { r.RptRxFreq = uint32_t(451000000 + 12500 * i); });
    for (int i = 0; i < 2; ++i) image.Item(27, i, [i](datCh& r) { r.RptRxFreq = uint32_t(451000000 + 12500 * (10 + i)); });
    MoveGroupBlock(&capsule, world.Image(), 22, ListItemTotal(22), 0, 1);
    // The range is left on the moved block: group 0's two repeaters now
    // follow group 1's three.
    EXPECT_EQ(capsule.RangeFirst, 3);
    EXPECT_EQ(capsule.RangeLast, 4);
    MoveGroupBlock(&capsule, world.Image(), 27, ListItemTotal(27), 0, 1);
    EXPECT_EQ(GroupItemCount(0, 22), 3);
    EXPECT_EQ(GroupItemCount(1, 22), 2);
    const datCh bank0 = image.Read(13, 0), bank1 = image.Read(13, 1);
    EXPECT_EQ(bank0.LtrHomeRpt, 2);
    EXPECT_EQ(bank1.LtrHomeRpt, 3);
    EXPECT_EQ(bank0.ZephHomeRpt, 1);
    EXPECT_EQ(bank1.ZephHomeRpt2, 1);
    // The repeaters themselves changed groups.
    std::vector<int> ltr, zeph;
    for (int i = 0; i < 5; ++i) ltr.push_back((int(image.Read(22, i).RptRxFreq) - 451000000) / 12500);
    for (int i = 0; i < 2; ++i) zeph.push_back((int(image.Read(27, i).RptRxFreq) - 451000000) / 12500);
    EXPECT_EQ(ltr, (std::vector<int>{2, 3, 4, 0, 1}));
    EXPECT_EQ(zeph, (std::vector<int>{11, 10}));
}

TEST(Engine, HelpCommandAsksTheHelpServiceForTheCellsContext)
{
    CellWorld world;
    world.Main().SetProgramFolder("/opt/qm/");
    g_GTexHelp.InitState();
    g_GTexHelp.OpenOverlayLines({"#GI_AppItem_Topic_ID", "CL_Comm_Tactical\tTactical", "#",
                                 "#GI_AppItem_Context_ID", "Tactical\t77", "#", "#End_Of_Ovl"});
    std::vector<plat::HelpRequest> requests;
    plat::ScopedHelpHandler help([&](const plat::HelpRequest& r) {
        requests.push_back(r);
        return true;
    });
    Seen seen;
    ScopedLabelBehaviour behaviour(CL_Comm_Tactical, Record(seen));
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule c(cell.get());
    c.cap.Command = CL_PMenu_Help;
    EXPECT_EQ(RunCell(c), erNothing);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].file, "/opt/qm/QM7148H.HLP");
    EXPECT_EQ(requests[0].command, plat::HELP_CONTEXTPOPUP);
    EXPECT_EQ(requests[0].data, 77);
    EXPECT_EQ(seen.runs, 0);
    g_GTexHelp.InitState();
}

TEST(Engine, SerialNumberGoesToTheClipboardOnlyFromItsCell)
{
    CellWorld world;
    auto payloadWith = [&](const std::string& serial) {
        uint8_t payload[127] = {};
        payload[0] = 127;
        for (size_t i = 0; i < serial.size(); ++i) payload[37 + i] = uint8_t(serial[i]);
        world.Main().SetIdentity(0x7143, 0, payload, 127);
    };
    Seen seen;
    ScopedLabelBehaviour behaviour(CL_CloneInfo_Esn, Record(seen));
    auto esn = MakeCell(CT_Null, CL_CloneInfo_Esn);
    auto other = MakeCell(CT_Null, CL_CloneInfo_Comment1);

    plat::SetClipboardText("before");
    payloadWith("00010200C350");  // 0x0001, 0x02, 0x00C350
    Capsule c(esn.get());
    c.cap.Command = CL_PMenu_WinCopy;
    RunCell(c);
    EXPECT_EQ(plat::ClipboardText(), "00010250000");
    EXPECT_EQ(seen.runs, 1);  // the cell still shows itself

    plat::SetClipboardText("before");
    payloadWith("00010200C35G");  // not 12 hexadecimal digits
    RunCell(c);
    Capsule d(other.get());
    d.cap.Command = CL_PMenu_WinCopy;
    payloadWith("00010200C350");
    RunCell(d);
    EXPECT_EQ(plat::ClipboardText(), "before");
}

// ---- Empty rows ----

struct RedirectCase {
    const char* what;
    int category;
    int label;
    int index;
    int key;
    bool jumps;      // a jump to the entry column is asked
    int entry;       // its label
    bool runsOwn;    // the cell's own behaviour runs
};

void CheckRedirect(const RedirectCase& k)
{
    Seen seen;
    ScopedLabelBehaviour behaviour(k.label, Record(seen));
    auto cell = MakeCell(k.category, k.label, k.index);
    Capsule c(cell.get());
    c.cap.Key = k.key;
    RunCell(c);
    EXPECT_EQ(c.cap.Jump, k.jumps ? 1 : 0) << k.what;
    if (k.jumps) {
        EXPECT_EQ(c.cap.JumpLabel, k.entry) << k.what;
        EXPECT_EQ(c.cap.JumpKey, k.key) << k.what;
        EXPECT_EQ(c.cap.JumpCategory, k.category) << k.what;
        EXPECT_EQ(c.cap.JumpIndex, k.index) << k.what;
    }
    EXPECT_EQ(seen.runs, k.runsOwn ? 1 : 0) << k.what;
    if (!k.runsOwn) {
        EXPECT_EQ(c.cap.Text, "") << k.what;
    }
}

TEST(Engine, KeysTypedIntoAnEmptyChannelRowGoToItsFirstColumn)
{
    CellWorld world;
    // Bank 0: conventional, channels 0-2 (channel 2 empty); bank 1: LTR,
    // channels 3-4; bank 2: ZEPH, channel 5; bank 3: multisite, channel 6.
    TestImage image(world.Image());
    image.BankCounts({3, 2, 1, 1}).Channel(0, 146520000).Channel(1, 146540000);
    image.Type(1, TestImage::Ltr).Type(2, TestImage::Zeph).Type(3, TestImage::Multisite);
    image.Item(1, 3, [](datCh& ch) { ch.GrpRxId = 5; });

    world.currentBank = 0;
    const RedirectCase conventional[] = {
        {"typed into the power column", CT_Mch, CL_Mch_RfPo, 2, '1', true, CL_Mch_FreqR, false},
        {"drawn", CT_Mch, CL_Mch_RfPo, 2, 0, true, CL_Mch_FreqR, false},
        {"the entry column itself", CT_Mch, CL_Mch_FreqR, 2, '1', false, 0, true},
        {"the attribute column inside the bank", CT_Mch, CL_Mch_Atr, 2, '1', false, 0, true},
        {"the attribute column past the bank", CT_Mch, CL_Mch_Atr, 3, '1', true, CL_Mch_FreqR, false},
        {"a channel in use", CT_Mch, CL_Mch_RfPo, 1, '1', false, 0, true},
        {"an action code", CT_Mch, CL_Mch_RfPo, 2, 0x2700, false, 0, true},
        {"the check list's channels", CT_Mch_Check, CL_Mch_RfPo, 2, 0, false, 0, true},
    };
    for (const RedirectCase& k : conventional) CheckRedirect(k);

    world.currentBank = 1;
    CheckRedirect(RedirectCase{"LTR row with a group ID", CT_Mch, CL_Mch_RfPo, 3, 'x', false, 0, true});
    CheckRedirect(RedirectCase{"LTR row without one", CT_Mch, CL_Mch_RfPo, 4, 'x', true, CL_Grp_RxId, false});
    world.currentBank = 2;
    CheckRedirect(RedirectCase{"ZEPH row", CT_Mch, CL_Mch_RfPo, 5, 'x', true, CL_Mch_ZEPH_Unit_Dec, false});
    world.currentBank = 3;
    CheckRedirect(RedirectCase{"multisite row", CT_Mch, CL_Mch_RfPo, 6, 'x', true, CL_Mch_Multisite_Unit_Dec, false});
}

TEST(Engine, EmptyRowsOfCountedListsAndRepeaterGroups)
{
    CellWorld world;
    TestImage image(world.Image());
    image.ToneListCount(2).TalkGroupCount(19, 1).SiteCount(1);
    image.GroupCount(22, 0, 2).GroupCount(22, 1, 2);
    image.Item(22, 2, [](datCh& r) { r.RptRxFreq = 851012500; });  // group 1: item 2 used, item 3 empty
    world.listGroup = 1;

    const RedirectCase cases[] = {
        {"tone list past its count", CT_CTone, CL_CTone_TX, 2, 'A', true, CL_CTone_RX, false},
        {"tone list entry", CT_CTone, CL_CTone_TX, 1, 'A', false, 0, true},
        {"talk groups past the count", CT_DIG_Tg, CL_Digi_Grp_Id_Hex, 1, '3', true, CL_Digi_Grp_Id_Dec, false},
        {"sites past the count", CT_Multisite_SL, CL_Multisite_SiteList_Areabit, 1, 'a', true, CL_MultiSite_SiteID, false},
        {"repeater in use", CT_Rpt, CL_Rpt_RfPo, 2, '1', false, 0, true},
        {"empty repeater", CT_Rpt, CL_Rpt_RfPo, 3, '1', true, CL_Rpt_FreqR, false},
        {"empty repeater's entry", CT_Rpt, CL_Rpt_FreqR, 3, '1', false, 0, true},
        {"empty repeater's name", CT_Rpt, CL_Rpt_Text, 3, '1', false, 0, true},
        {"empty repeater's attribute", CT_Rpt, CL_Rpt_Atr, 3, '1', true, CL_Rpt_FreqR, true},
        {"outside the group", CT_Rpt, CL_Rpt_Atr, 0, '1', true, CL_Rpt_FreqR, false},
        {"outside the group, an action code", CT_Rpt, CL_Rpt_RfPo, 4, 0x2500, false, 0, false},
        {"outside the group, the entry", CT_Rpt, CL_Rpt_FreqR, 4, 0x2500, false, 0, true},
    };
    for (const RedirectCase& k : cases) CheckRedirect(k);
}

TEST(Engine, PopupItemsJudgeTheRowOfTheirMenusCell)
{
    CellWorld world;
    TestImage(world.Image()).BankCounts({2}).Channel(1, 155500000);
    Seen seen;
    ScopedLabelBehaviour behaviour(CL_PMenu_Copy, Record(seen));
    auto owner = MakeCell(CT_Mch, CL_Mch_FreqR, 1);
    auto item = MakeCell(CT_PopupMenu, CL_PMenu_Copy, 0);
    cmcCellCapsule parent;
    parent.Cell = owner.get();
    Capsule c(item.get(), false);
    c.cap.Parent = &parent;
    RunCell(c);
    EXPECT_EQ(seen.kind, 1);
    EXPECT_EQ(seen.index, 1);
    EXPECT_EQ(seen.rxFreq, 155500000);
}

// ---- Dispatch ----

TEST(Engine, LabelsWithoutABehaviourShowTheirNumber)
{
    // The labels that show "<number> *Yet*", as the cell behaviour tables
    // give them, each name once.
    const char* const runs[][2] = {
        {"FlexEeDebugWin", nullptr}, {"CL_Model_LmrLtr", nullptr}, {"CL_Model_LmrP25", nullptr},
        {"CL_Model_KovrPmr", nullptr}, {"CL_Model_Lmr_Mob", nullptr}, {"CL_Model_LmrLtr_Mob", nullptr},
        {"CL_Model_LmrP25_Mob", nullptr}, {"CL_Model_Pmr_Mob", nullptr}, {"CL_Model_KovrPmr_Mob", nullptr},
        {"CL_Menu_Debug_Compare", nullptr}, {"CL_Menu_Debug_CorrectComp", nullptr},
        {"CL_Menu_Debug_25kCheckComp", nullptr}, {"CL_Menu_Debug_Window", nullptr},
        {"CL_Menu_Debug_EeWindow", nullptr}, {"CL_Check_SetMode", nullptr}, {"CL_Check_Common", nullptr},
        {"CL_CloneInfo_KeyBoard", nullptr}, {"CL_CloneInfo_PllRef", nullptr}, {"CL_PMenu_Edit", nullptr}, {"CL_PMenu_Insert", nullptr},
        {"CL_PMenu_Help", nullptr}, {"CL_PMenu_WinCopy", nullptr}, {"CL_FBits", nullptr},
        {"CL_Mch_Multisite_TxInh", nullptr}, {"CL_Mch_Msk_Log", nullptr}, {"CL_Msk_Msg_ShortTxtTxMsg_2", nullptr},
        {"CL_Msk_Msg_ShortTxtTxMsg_3", nullptr}, {"CL_Msk_TimingErr_ND", nullptr}, {"CL_Msk_TimingErr_TOF", nullptr},
        {"CL_Msk_TimingErr_TOI", nullptr}, {"CL_Msk_TimingErr_TWF", nullptr}, {"CL_Msk_TimingErr_TWI", nullptr},
        {"CL_Msk_TimingErr_TRV", nullptr}, {"CL_Msk_TimingErr_TS1", nullptr}, {"CL_Msk_TimingErr_TS2", nullptr},
        {"CL_Msk_TimingErr_TS3", nullptr}, {"CL_Msk_TimingErr_TI", nullptr}, {"CL_Msk_TimingErr_N1", nullptr},
        {"CL_Msk_TimingErr_N2", nullptr}, {"CL_Msk_TimingErr_K", nullptr}, {"CL_Msk_TimingErr_TT", nullptr},
        {"CL_Msk_TimingErr_dTT", nullptr}, {"CL_Msk_TimingErr_TC", nullptr}, {"CL_Msk_TimingErr_TF", nullptr},
        {"CL_Msk_TimingErr_TV", nullptr}, {"CL_Msk_TimingErr_T3", nullptr}, {"CL_Msk_Cfg_Dec_DurationTimer", nullptr},
        {"CL_Msk_Cfg_Status_Send_Base", nullptr}, {"CL_Msk_Cfg_Status_Send_Dim", nullptr},
        {"CL_Msk_Cfg_Gps_Enable", nullptr}, {"CL_Msk_Cfg_Gps_Send_Call", nullptr},
        {"CL_Msk_Cfg_Gps_Send_Ack", nullptr}, {"CL_Digi_Config_Emer_Tans", nullptr},
        {"CL_Multisite_SiteList_No", nullptr}, {"CL_KDisp_Key_Conv_LeftUp", nullptr},
        {"CL_KDisp_Key_Conv_LeftDn", nullptr}, {"CL_KDisp_Key_Conv_DialCcw", nullptr},
        {"CL_KDisp_Key_SmTr_LeftUp", nullptr}, {"CL_KDisp_Key_SmTr_LeftDn", nullptr},
        {"CL_KDisp_Key_SmTr_DialCcw", nullptr}, {"CL_KDisp_SmaKey", nullptr}, {"CL_KDisp_LED_LP0", nullptr},
        {"CL_KDisp_LED_LP1", nullptr}, {"CL_KDisp_LED_LP2", nullptr}, {"CL_SetM_AudioFilt", nullptr},
        {"CL_USetM_AudioFilt", nullptr}, {"CL_Comm_EmerIn", nullptr}, {"CL_Comm_EmerTim_On", nullptr},
        {"CL_Comm_EmerTim_Off", nullptr}, {"CL_Comm_EmerTim_Start", nullptr}, {"CL_Comm_EmerTim_Sairen", nullptr},
        {"CL_Comm_EmerTim_ReCycle", nullptr}, {"CL_Exp_RxAf_Filter", nullptr}, {"CL_Exp_PSaveStartTimer_1", nullptr},
        {"CL_Exp_PSaveStartTimer_2", nullptr}, {"CL_Exp_Select_ExPttFtsw", nullptr}, {"CL_Exp_EpttFtsw_C", nullptr},
        {"CL_Exp_EpttFtsw_S", nullptr}, {"CL_Exp_DimIgsw", nullptr}, {"CL_Dtmf_Decode_ChNo", nullptr},
        {"CL_Select_TX_Code", nullptr}, {"CL_Select_TX_Text", nullptr}, {"CL_5TTx_DispDigit1", "CL_5TTx_DispDigit9"},
        {"CL_5TTx_DispDigit0", nullptr}, {"CL_UTone_Auto", nullptr}, {"CL_Maker_CtcssTone_Burst", nullptr},
        {"CL_Maker_MchPitch", nullptr}, {"CL_Maker_RollStart_RX", nullptr}, {"CL_Maker_RollTiming_RX", nullptr},
        {"CL_Maker_RollTiming_TX", nullptr}, {"CL_Maker_DaSw_DelayTimer", nullptr}, {"CL_Maker_mSFBW", nullptr},
        {"CL_Maker_mBFRQ", nullptr}, {"CL_Maker_mREF", nullptr}, {"CL_Maker_mSQLM0", nullptr},
        {"CL_Maker_mSQLM1", nullptr}, {"CL_Maker_mSQLM2", nullptr}, {"CL_Maker_mSQLTS", nullptr},
        {"CL_Maker_mCTNV", nullptr}, {"CL_Maker_mCTNM0", nullptr}, {"CL_Maker_mCTNM1", nullptr},
        {"CL_Maker_mCTNM2", nullptr}, {"CL_Maker_mLTNC0", nullptr}, {"CL_Maker_mLTNC1", nullptr},
        {"CL_Maker_mLTNC2", nullptr}, {"CL_Maker_mCTNTS", nullptr}, {"CL_Maker_mCTNB0", "CL_Maker_mCTNB6"},
        {"CL_Maker_mDEVV0", nullptr}, {"CL_Maker_mDEVV1", nullptr}, {"CL_Maker_mDEVV2", nullptr},
        {"CL_Maker_mDEVC0", nullptr}, {"CL_Maker_mDEVC1", nullptr}, {"CL_Maker_mDEVC2", nullptr},
        {"CL_Maker_mDEVTS", nullptr}, {"CL_Maker_mDEVB0", "CL_Maker_mDEVB6"}, {"CL_Maker_mBALV0", nullptr},
        {"CL_Maker_mBALV1", nullptr}, {"CL_Maker_mBALV2", nullptr}, {"CL_Maker_mBALC0", nullptr},
        {"CL_Maker_mBALC1", nullptr}, {"CL_Maker_mBALC2", nullptr}, {"CL_Maker_mBALTS", nullptr},
        {"CL_Maker_mBALB0", "CL_Maker_mBALB6"}, {"CL_Maker_mBPFV0", nullptr}, {"CL_Maker_mBPFV1", nullptr},
        {"CL_Maker_mBPFM", nullptr}, {"CL_Maker_mRFPP", nullptr}, {"CL_Maker_mRFPV0", nullptr},
        {"CL_Maker_mRFPV1", nullptr}, {"CL_Maker_mRFPV2", nullptr}, {"CL_Maker_mPOWB0", "CL_Maker_mPOWB6"},
        {"CL_Maker_mLVIN0", nullptr}, {"CL_Maker_mLVIN1", nullptr}, {"CL_Maker_mLVA0", nullptr},
        {"CL_Maker_mLVA1", nullptr}, {"CL_Maker_mLVARB0", "CL_Maker_mLVARB6"},
        {"CL_Maker_mLVATB0", "CL_Maker_mLVATB6"}, {"CL_Maker_mRSSIS1", nullptr}, {"CL_Maker_mRSSIS3", nullptr},
        {"CL_Maker_mRSSISR", nullptr}, {"CL_Maker_mRSSISL", nullptr}, {"CL_Model_MdcLmr", nullptr},
        {"CL_Model_MdcPmr", nullptr}, {"CL_Model_MdcLmr_Mob", nullptr}, {"CL_Model_MdcPmr_Mob", nullptr},
        {"CL_Mdc_Emg_Cnt_Beep", nullptr}, {"CL_Mdc_Emg_Beep_Type", nullptr}, {"CL_Mdc_Emg_Beep_Time", nullptr},
        {"CL_Mdc_Conv_Time", nullptr},
        // The menu offers no About box: it keeps the default text too.
        {"CL_Help_About", nullptr},
    };
    std::set<int> expected;
    for (const auto& run : runs) {
        const int first = CellLabelIndex(run[0]);
        const int last = run[1] ? CellLabelIndex(run[1]) : first;
        for (int l = first; l <= last; ++l) expected.insert(l);
    }
    ASSERT_EQ(expected.size(), 194u);
    const std::span<const int> table = DefaultTextLabels();
    EXPECT_EQ(std::set<int>(table.begin(), table.end()), expected);

    CellWorld world;
    for (int label : {int(CL_Maker_mBPFM), 1047, 1400}) {
        auto cell = MakeCell(CT_Null, label);
        Capsule c(cell.get());
        c.cap.Key = 13;
        RunCell(c);
        std::string expected = std::to_string(label);
        expected += " *Yet*";
        EXPECT_EQ(c.cap.Text, expected);
    }
    // Silent labels, and a label that no family serves, show nothing.
    // Every named label is served; only unnamed numbers are left.
    int unserved = -1;
    for (int label = 0; label < CL_NoLabel; ++label) {
        if (FamilyBehaviour(label) || IsDefaultTextLabel(label) || IsSilentLabel(label)) continue;
        EXPECT_EQ(CellLabelName(label), "") << label << " has no behaviour";
        if (unserved < 0) unserved = label;
    }
    ASSERT_GE(unserved, 0);
    for (int label : {int(CL_Null), int(Flex_Language_ChNo), int(CL_Mdc_Alias3_ID), int(CL_NoLabel), unserved}) {
        auto cell = MakeCell(CT_Null, label);
        Capsule c(cell.get());
        c.cap.Text.assign(3, 'x');
        RunCell(c);
        EXPECT_EQ(c.cap.Text, "") << label;
    }
}

// ---- Epilogue ----

TEST(Engine, RepaintScopeReachesTheViewOnlyWhenAskedFor)
{
    CellWorld world;
    TestImage(world.Image()).BankCounts({1}).Channel(0, 146000000);
    world.currentBank = 0;
    ScopedLabelBehaviour wide(CL_Comm_Tactical, [](indCellCall& call) { call.Scope |= csEveryLabelled; });
    ScopedLabelBehaviour quiet(CL_Mch_Tot, [](indCellCall&) {});
    std::vector<int> scopes;
    auto listen = [&](cmcCellCapsule*, CellChangeScope s) { scopes.push_back(s); };

    auto setting = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule a(setting.get());
    a.cap.OnChange = listen;
    RunCell(a, 1);
    RunCell(a, 0);
    auto channel = MakeCell(CT_Mch, CL_Mch_Tot, 0);
    Capsule b(channel.get());
    b.cap.OnChange = listen;
    RunCell(b, 1);
    // Without a closure nothing is called (and nothing fails).
    Capsule d(channel.get());
    RunCell(d, 1);
    EXPECT_EQ(scopes, (std::vector<int>{csSameLabelAndIndex | csEveryLabelled, csSameLabelAndIndex | csSameIndex}));
}

TEST(Engine, InputArmsTheCheckAndUpdatesTheModifiedState)
{
    CellWorld world;
    // A behaviour that changes a byte whenever it runs, as a few cells do.
    ScopedLabelBehaviour writer(CL_Comm_Tactical, [](indCellCall& call) {
        call.Image().SetByte(176000, (call.Image().GetByte(176000) + 1) & 0xFF);
    });
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);

    // Drawing never re-arms the check nor marks the document modified.
    Capsule draw(cell.get(), false);
    RunCell(draw);
    EXPECT_FALSE(world.Main().CheckScheduled());
    EXPECT_FALSE(world.Main().IsModified());
    EXPECT_EQ(GetCellText(cell.get(), 0), "");
    EXPECT_FALSE(world.Main().CheckScheduled());

    struct Input {
        const char* what;
        int key;
        int phase;
        int command;
    };
    for (const Input& in : {Input{"a key", 0x2500, 0, 0}, Input{"an edited text", 0, cpEditText, 0},
                            Input{"a command", 0, 0, CL_PMenu_Edit}}) {
        world.Main().MarkSaved();
        Capsule c(cell.get());
        c.cap.Key = in.key;
        c.cap.Phase = in.phase;
        c.cap.Command = in.command;
        world.time.Advance(300);
        EXPECT_TRUE(world.Main().TakeExpiredCheck() || !world.Main().CheckScheduled()) << in.what;
        RunCell(c);
        EXPECT_TRUE(world.Main().CheckScheduled()) << in.what;
        EXPECT_EQ(world.Main().CheckDelayRemaining(), 250u) << in.what;
        EXPECT_TRUE(world.Main().IsModified()) << in.what;
    }
}

TEST(Engine, ConsumedKeysStillCountAsInput)
{
    CellWorld world;
    ScopedLabelBehaviour consume(CL_Comm_Tactical, [](indCellCall& call) { call.Cap->Key = 0; });
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule c(cell.get());
    c.cap.Key = ' ';
    RunCell(c);
    EXPECT_TRUE(world.Main().CheckScheduled());
}

}  // namespace
