// The digital lists: what a stored entry shows, what typed, stepped or
// picked input stores and what is refused; the excluded ID window; new
// entries typed into the empty row up to each list's size; the list-wide
// settings and the strapped column; the row bounds of the status rows.
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace celltest;

namespace {

std::vector<std::string> DigitalLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2_I", "Flex0", {{0, "On"}, {1, "Off"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable_I", "Flex0", {{0, "Enable"}, {1, "Disable"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Beep", "Flex0", {{0, "Off"}, {1, "Beep 1"}, {2, "Beep 2"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux", "Flex0", {{0, "None"}, {1, "AUX 1"}, {2, "AUX 2"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux_Act", "FlexRxCodeAUX", {{0, "Off"}, {1, "On"}, {2, "Momentary"}}));
    add({"#GI_NewChTitle", "New"});
    add({"#GI_AppMess_ChErr_Overflow", "The list is full.", "#"});
    return lines;
}

CellExecResult RunCell(Capsule& c) { return indActiveCell().Exec(&c.cap, 0); }

std::string Shown(int category, int label, int index = 0, bool* warning = nullptr)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get(), false);
    RunCell(c);
    if (warning) *warning = c.cap.WarningMark;
    return c.cap.Text;
}

// Three individual IDs, two talk groups, two NAC channels.
struct DigitalWorld {
    DigitalWorld()
    {
        TestImage image(world.Image());
        image.IdListCount(18, 3).TalkGroupCount(19, 2).NacListCount(2);
        for (int i = 0; i < 3; ++i) image.Item(18, i, [i](datCh& r) { r.IndId = uint32_t(100 + i); });
        for (int i = 0; i < 2; ++i) image.Item(19, i, [i](datCh& r) { r.GrpId = uint32_t(200 + i); });
        world.Main().Pack(world.Image());
    }
    datCh Read(int kind, int index) { return TestImage(world.Image()).Read(kind, index); }
    CellWorld world{DigitalLists()};
    plat::ScopedDialogScript dialogs;
};

// One input to a cell of entry 1 (or of the setting): typed text, a key on
// the grid, or a pick from a list.
struct Input {
    const char* typed = nullptr;
    int key = 0;
    int pickLabel = 0;
    int pickIndex = 0;
};

void Apply(int category, int label, int index, const Input& in)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get());
    if (in.typed) c.Edit(in.typed);
    if (in.key) c.cap.Key = in.key;
    if (in.pickLabel) c.Pick(in.pickLabel, in.pickIndex);
    RunCell(c);
}

struct EntryCase {
    const char* what;
    int category;
    int label;
    int kind;
    std::function<void(datCh&)> stored;
    Input input;
    std::string shown;                          // drawn afterwards
    std::function<bool(const datCh&)> after;    // the entry afterwards
};

TEST(DigitalLists, EntryColumnsShowStoreAndRefuse)
{
    DigitalWorld w;
    const EntryCase cases[] = {
        {"hex ID shown with four digits", CT_DIG_Inv, CL_Digi_Ind_Id_Hex, 18, [](datCh& r) { r.IndId = 0x12A; }, {},
         "012A", [](const datCh& r) { return r.IndId == 0x12A; }},
        {"hex ID typed", CT_DIG_Inv, CL_Digi_Ind_Id_Hex, 18, [](datCh& r) { r.IndId = 1; }, {.typed = "beef"}, "BEEF",
         [](const datCh& r) { return r.IndId == 0xBEEF; }},
        {"hex ID typed into the excluded window", CT_DIG_Inv, CL_Digi_Ind_Id_Hex, 18, [](datCh& r) { r.IndId = 1; },
         {.typed = "FFF5"}, "FFEF", [](const datCh& r) { return r.IndId == 0xFFEF; }},
        {"hex ID 0 refused as below the range", CT_DIG_Inv, CL_Digi_Ind_Id_Hex, 18, [](datCh& r) { r.IndId = 9; },
         {.typed = "0"}, "0001", [](const datCh& r) { return r.IndId == 1; }},
        {"hex ID not a number", CT_DIG_Inv, CL_Digi_Ind_Id_Hex, 18, [](datCh& r) { r.IndId = 9; }, {.typed = "xyz"},
         "0009", [](const datCh& r) { return r.IndId == 9; }},
        {"hex ID never steps", CT_DIG_Tg, CL_Digi_Grp_Id_Hex, 19, [](datCh& r) { r.GrpId = 0xFFEF; },
         {.key = cellkey::Space}, "FFEF", [](const datCh& r) { return r.GrpId == 0xFFEF; }},
        {"individual ID typed", CT_DIG_Inv, CL_Digi_Ind_Id_Dec, 18, [](datCh& r) { r.IndId = 5; }, {.typed = "4242"},
         "4242", [](const datCh& r) { return r.IndId == 4242; }},
        {"individual ID stops below the window", CT_DIG_Inv, CL_Digi_Ind_Id_Dec, 18, [](datCh& r) { r.IndId = 5; },
         {.typed = "70000"}, "65519", [](const datCh& r) { return r.IndId == 65519; }},
        {"talk group steps over the window", CT_DIG_Tg, CL_Digi_Grp_Id_Dec, 19, [](datCh& r) { r.GrpId = 65519; },
         {.key = cellkey::Space}, "65535", [](const datCh& r) { return r.GrpId == 65535; }},
        {"talk group steps back under the window", CT_DIG_Tg, CL_Digi_Grp_Id_Dec, 19,
         [](datCh& r) { r.GrpId = 65535; }, {.key = cellkey::Backspace}, "65519",
         [](const datCh& r) { return r.GrpId == 65519; }},
        {"talk group typed into the window", CT_DIG_Tg, CL_Digi_Grp_Id_Dec, 19, [](datCh& r) { r.GrpId = 7; },
         {.typed = "65530"}, "65519", [](const datCh& r) { return r.GrpId == 65519; }},
        {"talk group 0 is a talk group", CT_DIG_Tg, CL_Digi_Grp_Id_Dec, 19, [](datCh& r) { r.GrpId = 7; },
         {.typed = "0"}, "0", [](const datCh& r) { return r.GrpId == 0; }},
        {"name typed", CT_DIG_Tg, CL_Digi_Grp_Id_Name, 19, [](datCh&) {}, {.typed = "Dispatch"}, "Dispatch",
         [](const datCh& r) { return std::memcmp(r.Text, "Dispatch    ", 12) == 0; }},
        {"NAC receive typed, transmit follows", CT_DIG_NacCh, CL_Digi_NacCh_RxNac, 20,
         [](datCh& r) { r.NacRx = r.NacTx = 4; }, {.typed = "12"}, "12",
         [](const datCh& r) { return r.NacRx == 12 && r.NacTx == 12; }},
        {"NAC receive typed, transmit stays", CT_DIG_NacCh, CL_Digi_NacCh_RxNac, 20,
         [](datCh& r) { r.NacRx = 4, r.NacTx = 5; }, {.typed = "99"}, "63",
         [](const datCh& r) { return r.NacRx == 63 && r.NacTx == 5; }},
        {"NAC transmit equal to receive", CT_DIG_NacCh, CL_Digi_NacCh_TxNac, 20,
         [](datCh& r) { r.NacRx = r.NacTx = 4; }, {}, "<-", [](const datCh&) { return true; }},
        {"NAC transmit of its own", CT_DIG_NacCh, CL_Digi_NacCh_TxNac, 20, [](datCh& r) { r.NacRx = 4, r.NacTx = 9; },
         {}, "9", [](const datCh&) { return true; }},
        {"NAC selectable picked", CT_DIG_NacCh, CL_Digi_NacCh_Sel, 20, [](datCh&) {}, {.pickLabel = Flex0, .pickIndex = 1},
         "Off", [](const datCh& r) { return r.NacSel == 1; }},
        {"status beep stepped", CT_DIG_Status, CL_Digi_Msg_Status_Beep, 21, [](datCh& r) { r.DStatusBeep = 1; },
         {.key = cellkey::Space}, "Beep 2", [](const datCh& r) { return r.DStatusBeep == 2; }},
        {"status transmit text", CT_DIG_Status, CL_Digi_Msg_Status_Text_Tx, 21, [](datCh&) {}, {.typed = "ON SCENE"},
         "ON SCENE", [](const datCh& r) { return std::memcmp(r.Text2, "ON SCENE    ", 12) == 0; }},
        {"status AUX code 0 drops the action", CT_DIG_Status, CL_Digi_Msg_Status_AUX, 21,
         [](datCh& r) { r.DStatusAux = 2, r.DStatusAuxMode = 2; }, {.pickLabel = Flex0, .pickIndex = 0}, "None",
         [](const datCh& r) { return r.DStatusAux == 0 && r.DStatusAuxMode == 0; }},
        {"status AUX action picked", CT_DIG_Status, CL_Digi_Msg_Status_AUX, 21, [](datCh& r) { r.DStatusAux = 1; },
         {.pickLabel = FlexRxCodeAUX, .pickIndex = 2}, "AUX 1 /Momentary",
         [](const datCh& r) { return r.DStatusAux == 1 && r.DStatusAuxMode == 2; }},
        {"short data message selectable", CT_DIG_SDM, CL_Digi_SDM_Sel, 26, [](datCh&) {},
         {.pickLabel = Flex0, .pickIndex = 1}, "On", [](const datCh& r) { return r.SdmSel == 1; }},
        {"encryption key typed past the top", CT_DIG_Encryption, CL_Digi_Encryption_Key, 25,
         [](datCh& r) { r.EncryptionKey = 5; }, {.typed = "40000"}, "32767",
         [](const datCh& r) { return r.EncryptionKey == 32767; }},
    };
    for (const EntryCase& k : cases) {
        SCOPED_TRACE(k.what);
        TestImage(w.world.Image()).Item(k.kind, 1, k.stored);
        Apply(k.category, k.label, 1, k.input);
        EXPECT_EQ(Shown(k.category, k.label, 1), k.shown);
        EXPECT_TRUE(k.after(w.Read(k.kind, 1)));
    }
}

TEST(DigitalLists, AnIndividualIdOfFFFFCarriesAWarning)
{
    DigitalWorld w;
    TestImage(w.world.Image()).Item(18, 2, [](datCh& r) { r.IndId = 0xFFFF; });
    bool warning = false;
    EXPECT_EQ(Shown(CT_DIG_Inv, CL_Digi_Ind_Id_Dec, 2, &warning), "65535");
    EXPECT_TRUE(warning);
    EXPECT_EQ(Shown(CT_DIG_Inv, CL_Digi_Ind_Id_Dec, 1, &warning), "101");
    EXPECT_FALSE(warning);
}

// ---- New entries ----

struct GrowingCase {
    const char* what;
    int category;
    int entryLabel;
    int insertEvent;
    int limit;
    std::function<void(TestImage&, int)> setCount;
    std::function<int()> count;
    bool repaints;  // a new entry repaints every labelled cell (channel columns name it)
};

TEST(DigitalLists, AKeyInTheEmptyRowAddsAnEntryUpToTheListsSize)
{
    const GrowingCase cases[] = {
        {"individual IDs", CT_DIG_Inv, CL_Digi_Ind_Id_Dec, ev::InsertDigitalId, 500,
         [](TestImage& i, int n) { i.IdListCount(18, n); }, [] { return IndListCount(18); }, false},
        {"talk groups", CT_DIG_Tg, CL_Digi_Grp_Id_Dec, ev::InsertDigitalTalkGroup, 500,
         [](TestImage& i, int n) { i.TalkGroupCount(19, n); }, [] { return TgListCount(19); }, true},
        {"NAC channels", CT_DIG_NacCh, CL_Digi_NacCh_RxNac, ev::InsertDigitalNac, 80,
         [](TestImage& i, int n) { i.NacListCount(n); }, [] { return NacChListCount(); }, true},
    };
    for (const GrowingCase& k : cases) {
        SCOPED_TRACE(k.what);
        DigitalWorld w;
        TestImage image(w.world.Image());
        k.setCount(image, k.limit - 1);
        w.world.Main().Pack(w.world.Image());

        // The empty row shows nothing until a key makes it an entry.
        EXPECT_EQ(Shown(k.category, k.entryLabel, k.limit - 1), "");
        auto cell = MakeCell(k.category, k.entryLabel, k.limit - 1);
        Capsule typed(cell.get());
        typed.cap.Key = '3';
        EXPECT_EQ(RunCell(typed), erStartEdit);
        EXPECT_EQ(typed.cap.Text, "3");
        EXPECT_EQ(k.count(), k.limit);
        ASSERT_EQ(w.world.SentOf(k.insertEvent).size(), 1u);
        EXPECT_EQ(w.world.SentOf(k.insertEvent)[0].p2, k.limit - 1);
        w.world.Pump();
        EXPECT_EQ(w.world.PostedOf(ev::RepaintLabelled).size(), k.repaints ? 1u : 0u);
        Capsule edited(cell.get());
        edited.Edit("3");
        RunCell(edited);
        EXPECT_EQ(Shown(k.category, k.entryLabel, k.limit - 1), "3");
        EXPECT_TRUE(w.dialogs.Boxes().empty());

        // The list is full: the next entry is refused with a message.
        w.dialogs.Answer(plat::IDOK);
        auto past = MakeCell(k.category, k.entryLabel, k.limit);
        Capsule refused(past.get());
        refused.cap.Key = '4';
        EXPECT_EQ(RunCell(refused), erNothing);
        EXPECT_EQ(k.count(), k.limit);
        EXPECT_EQ(w.world.SentOf(k.insertEvent).size(), 1u);
        ASSERT_EQ(w.dialogs.Boxes().size(), 1u);
        EXPECT_EQ(w.dialogs.Boxes()[0].text, "The list is full.");
        EXPECT_EQ(w.dialogs.Boxes()[0].Icon(), plat::MB_ICONERROR);

        // A list with room left is refused too when the clone memory is full.
        k.setCount(image, 3);
        w.world.Main().Pack(w.world.Image());
        image.U32(EepromMap::End32, CloneBudget::Limit);
        w.dialogs.Answer(plat::IDOK);
        auto next = MakeCell(k.category, k.entryLabel, 3);
        Capsule noRoom(next.get());
        noRoom.cap.Key = '4';
        EXPECT_EQ(RunCell(noRoom), erNothing);
        EXPECT_EQ(k.count(), 3);
        EXPECT_EQ(w.dialogs.Boxes().size(), 2u);
    }
}

TEST(DigitalLists, OnlyEntryKeysInTheRowRightAfterTheListAddEntries)
{
    DigitalWorld w;
    for (auto [index, key] : {std::pair{3, int('x')}, {4, int('1')}}) {
        auto cell = MakeCell(CT_DIG_Inv, CL_Digi_Ind_Id_Dec, index);
        Capsule c(cell.get());
        c.cap.Key = key;
        EXPECT_EQ(RunCell(c), erNothing);
    }
    // A key in another column of the empty row goes to the entry column.
    auto name = MakeCell(CT_DIG_Inv, CL_Digi_Ind_Id_Name, 3);
    Capsule c(name.get());
    c.cap.Key = '1';
    RunCell(c);
    EXPECT_EQ(c.cap.Jump, 1);
    EXPECT_EQ(c.cap.JumpLabel, CL_Digi_Ind_Id_Dec);
    EXPECT_TRUE(w.world.sent.empty());
    EXPECT_EQ(IndListCount(18), 3);
}

// ---- Settings of the list pages and the channel column ----

TEST(DigitalLists, BlockDecodingBoundsNeverCrossAndGreyWhileOff)
{
    DigitalWorld w;
    TestImage image(w.world.Image());
    image.U16(197856, 300).U16(197858, 200);
    Apply(CT_Null, CL_Digi_Grp_Set_BlockDecode_Max, 0, {.typed = "100"});
    EXPECT_EQ(image.ReadU16(197856), 201);
    Apply(CT_Null, CL_Digi_Grp_Set_BlockDecode_Min, 0, {.typed = "900"});
    EXPECT_EQ(image.ReadU16(197858), 200);
    Apply(CT_Null, CL_Digi_Grp_Set_BlockDecode_Min, 0, {.typed = "150"});
    EXPECT_EQ(image.ReadU16(197858), 150);

    auto greyed = [](int label) {
        auto cell = MakeCell(CT_Null, label);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        RunCell(c);
        return canvas.GetFont().color == plat::clSilver;
    };
    EXPECT_TRUE(greyed(CL_Digi_Grp_Set_BlockDecode_Max));
    Apply(CT_Null, CL_Digi_Grp_Set_BlockDecode, 0, {.pickLabel = Flex0, .pickIndex = 1});
    EXPECT_EQ(image.ReadU8(197854), 0x08);
    EXPECT_FALSE(greyed(CL_Digi_Grp_Set_BlockDecode_Min));

    Apply(CT_Null, CL_Digi_Ind_Set_LogForInd, 0, {.key = cellkey::Space});
    EXPECT_EQ(image.ReadU8(190852), 0x08);
    EXPECT_EQ(Shown(CT_Null, CL_Digi_Ind_Set_LogForInd), "Enable");
}

TEST(DigitalLists, TheStrappedColumnSetsItsChannelBitAndGreysOnAnalogChannels)
{
    DigitalWorld w;
    TestImage(w.world.Image()).BankCounts({2}).Channel(0, 146000000).Channel(1, 146025000);
    w.world.currentBank = 0;
    Apply(CT_Mch, CL_Digi_Grp_Op_Strapped, 1, {.pickLabel = Flex0, .pickIndex = 1});
    const datCh channel = w.Read(1, 1);
    EXPECT_EQ(channel.ChFlagsF.Strapped, 1);
    EXPECT_EQ(channel.RxFreq, 146025000);
    EXPECT_EQ(w.Read(1, 0).ChFlagsF.Strapped, 0);
    EXPECT_EQ(Shown(CT_Mch, CL_Digi_Grp_Op_Strapped, 1), "On");

    for (int mode : {0, 2}) {
        TestImage(w.world.Image()).Item(1, 1, [mode](datCh& r) { r.ChFlagsF.DigSig = mode; });
        auto cell = MakeCell(CT_Mch, CL_Digi_Grp_Op_Strapped, 1);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        RunCell(c);
        EXPECT_EQ(canvas.GetFont().color == plat::clSilver, mode == 0) << mode;
    }
}

// The status rows from 222 on are moved as a pair of their own; the rows of
// the status page are those of the table, whose bounds the commands keep.
TEST(DigitalLists, StatusRowCommandsStayWithinTheirRows)
{
    DigitalWorld w;
    for (auto [index, first, last] : {std::tuple{5, 0, 99}, {99, 0, 99}, {222, 223, 224}, {224, 223, 224}}) {
        auto cell = MakeCell(CT_DIG_Status, CL_Digi_Msg_Status_Beep, index);
        cmcCellCapsule cap;
        cap.Cell = cell.get();
        indCellCall call(&cap);
        call.Kind = 21;
        call.Category = CT_DIG_Status;
        call.Index = index;
        const RowBounds b = CommandRowBounds(call, CL_PMenu_Clear);
        EXPECT_EQ(b.First, first) << index;
        EXPECT_EQ(b.Last, last) << index;
    }
}

}  // namespace
