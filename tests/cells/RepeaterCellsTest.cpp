// An LTR bank set up end to end through its cells: repeaters typed into the
// repeater list, a home repeater, the channels' group columns; the check is
// then clear. Also the refusals of full groups and the repeater list of a
// ZEPH bank.
#include "cells/CellQueries.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "cells/ValueHandlers.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> RepeaterLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff_I", "Flex0", {{0, "On"}, {1, "Off"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable2", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_Mch_CH_TxInh", "Flex0", {{0, "Off"}, {1, "Inhibit"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Nar", "Flex0", {{0, "Wide"}, {1, "Narrow"}}));
    add(ListSection("GI_Sheet_Sel_Mch_RfPwr", "Flex0", {{0, "Low 1"}, {1, "Low 2"}, {2, "Low 3"}, {3, "High"}}));
    add(ListSection("GI_Sheet_Sel_Rpt_Atr", "Flex0", {{0, "Normal"}, {1, "Home"}}));
    add(ListSection("GI_Sheet_Sel_Atr_HomeSite", "Flex0", {{0, "-"}, {1, "Set"}, {2, "Clear"}}));
    for (const char* key : {"GI_Sheet_Sel_Dig_Option_UnitID", "GI_Sheet_Sel_Dig_Option_CallInfoDisp"})
        add(ListSection(key, "Flex0", {{0, "a"}, {1, "b"}, {2, "c"}, {3, "d"}}));
    add(ListSection("GI_Sheet_Sel_Rpt_Atr_ZEPH", "Flex0", {{0, "-"}, {1, "H1"}, {2, "H2"}}));
    add({"#GI_NewChTitle", "New", "#GI_AppMess_ChErr_Overflow", "No more fit.", "#GI_AreaSetBit_Bar", "Off", "On", "#"});
    return lines;
}

constexpr int kBank = 3;
// Horizontal placements of a cell's text.
constexpr int kCentred = 1;
constexpr int kRightAligned = 2;

struct Repeaters : ::testing::Test {
    Repeaters()
    {
        image.BankCounts({0, 0, 0, 0}).Type(kBank, TestImage::Ltr);
        world.listGroup = kBank;
        world.currentBank = kBank;
        world.Main().Pack(world.Image());  // the clone memory's free space
    }
    CellExecResult Run(Capsule& c) { return indActiveCell().Exec(&c.cap, 1); }
    std::string Shown(int category, int label, int index)
    {
        auto cell = MakeCell(category, label, index);
        return ShownIn(*cell);
    }
    // Draws the cell as the sheet does, which also places its text.
    std::string ShownIn(cmcCellObj& cell)
    {
        Capsule c(&cell, false);
        Run(c);
        return c.cap.Text;
    }
    CellExecResult Key(int category, int label, int index, int key)
    {
        auto cell = MakeCell(category, label, index);
        Capsule c(cell.get());
        c.cap.Key = key;
        return Run(c);
    }
    void Typed(int category, int label, int index, const std::string& text)
    {
        auto cell = MakeCell(category, label, index);
        Capsule c(cell.get());
        c.Edit(text);
        Run(c);
    }
    void Pick(int category, int label, int index, int value)
    {
        auto cell = MakeCell(category, label, index);
        Capsule c(cell.get());
        c.Pick(Flex0, value);
        Run(c);
    }
    // Types a receive frequency into the group's empty row.
    void AddRepeater(int category, int label, int kind, const std::string& mhz)
    {
        const int group = world.listGroup.value_or(kBank);
        const int row = GroupFirstItem(group, kind) + GroupItemCount(group, kind);
        Key(category, label, row, '1');
        Typed(category, label, row, mhz);
    }

    CellWorld world{RepeaterLists()};
    TestImage image{world.Image()};
    plat::ScopedDialogScript dialogs;  // a box nobody expects fails the test
};

TEST_F(Repeaters, LtrBankIsFinishedEndToEndAndTheCheckClears)
{
    EXPECT_TRUE(indActiveCell::CellError(CT_BankOp, CL_Mch_Rpt, kBank));
    EXPECT_TRUE(indActiveCell::CellError(CT_Null, CL_Check_Ltr_Repeater, 0));

    const int first = GroupFirstItem(kBank, 22);
    EXPECT_EQ(Shown(CT_Null, CL_Rpt_No, first), "New");
    AddRepeater(CT_Rpt, CL_Rpt_FreqR, 22, "150");
    AddRepeater(CT_Rpt, CL_Rpt_FreqR, 22, "470");
    ASSERT_EQ(GroupItemCount(kBank, 22), 2);
    EXPECT_EQ(Shown(CT_Null, CL_Rpt_No, first + 1), "  2");
    EXPECT_EQ(image.Read(22, first).RptTxFreq, 155000000);
    EXPECT_EQ(image.Read(22, first + 1).RptTxFreq, 473000000);
    // No home repeater yet: every home cell of the group is marked.
    EXPECT_TRUE(indActiveCell::CellError(CT_Rpt, CL_Rpt_Atr, first));

    Pick(CT_Rpt, CL_Rpt_Atr, first + 1, 1);
    EXPECT_EQ(Shown(CT_Rpt, CL_Rpt_Atr, first + 1), "H");
    EXPECT_EQ(Shown(CT_Rpt, CL_Rpt_Atr, first), "");
    EXPECT_FALSE(indActiveCell::CellError(CT_Rpt, CL_Rpt_Atr, first));
    EXPECT_EQ(Shown(CT_BankOp, CL_Mch_Rpt, kBank), " 2");
    // A stored power of 0 is the highest.
    EXPECT_EQ(Shown(CT_Rpt, CL_Rpt_RfPo, first), "High");
    Pick(CT_Rpt, CL_Rpt_RfPo, first, 1);
    Pick(CT_Rpt, CL_Rpt_Nar, first, 1);
    EXPECT_EQ(image.Read(22, first).RptRfPo, 1);
    EXPECT_TRUE(image.Read(22, first).RptFlags.Nar);

    // A channel comes into being through the receive group ID of the New row.
    const int channel = BankFirstChannel(kBank);
    Key(CT_Mch, CL_Grp_RxId, channel, '1');
    ASSERT_EQ(BankChannelCount(kBank), 1);
    Typed(CT_Mch, CL_Grp_RxId, channel, "12");
    Typed(CT_Mch, CL_Grp_HomeRptCh, channel, "2");
    Pick(CT_Mch, CL_Grp_PhonePriv, channel, 1);
    const datCh ch = image.Read(MchRecordKind(), channel);
    EXPECT_EQ(ch.GrpRxId, 12);
    EXPECT_EQ(ch.GrpTxId, 12);  // it followed the receive ID
    EXPECT_EQ(ch.GrpHomeRptCh, 2);
    EXPECT_TRUE(ch.GrpFlags.PhonePriv);
    // The arrow stands in the middle of the cell, a number on the right.
    auto txId = MakeCell(CT_Mch, CL_Grp_TxId, channel);
    EXPECT_EQ(ShownIn(*txId), "<-");
    EXPECT_EQ(txId->HorzPlacement(), kCentred);
    Typed(CT_Mch, CL_Grp_TxId, channel, "30");
    EXPECT_EQ(ShownIn(*txId), "30");
    EXPECT_EQ(txId->HorzPlacement(), kRightAligned);
    // Transmit IDs run from 1 to 250: a typed 0 is 1, and Backspace and
    // Space wrap between the ends.
    constexpr int kBackspace = 8, kSpace = 32;
    struct Step {
        const char* typed;
        int key;
        int id;
    };
    for (const Step& s : {Step{"0", 0, 1}, Step{nullptr, kBackspace, 250}, Step{nullptr, kSpace, 1}}) {
        if (s.typed) Typed(CT_Mch, CL_Grp_TxId, channel, s.typed);
        else Key(CT_Mch, CL_Grp_TxId, channel, s.key);
        EXPECT_EQ(image.Read(MchRecordKind(), channel).GrpTxId, s.id) << (s.typed ? s.typed : "key");
    }

    EXPECT_FALSE(indActiveCell::CellError(CT_BankOp, CL_Mch_Rpt, kBank));
    EXPECT_FALSE(indActiveCell::CellError(CT_Null, CL_Check_Ltr_Repeater, 0));

    // What the radio is written with still holds the repeaters.
    cmcEeprom packed(world.Image());
    world.Main().Pack(packed);
    EXPECT_EQ(ReadGroupItemCount(packed, kBank, 22), 2);
    datCh back(&packed);
    back.Unpack(22, first + 1);
    EXPECT_EQ(back.RptRxFreq, 470000000);
    EXPECT_TRUE(back.Attr.HomeRpt);
}

TEST_F(Repeaters, AFullGroupRefusesTheNextRepeater)
{
    image.Type(kBank, TestImage::Ltr).GroupCount(22, kBank, 20);
    const cmcEeprom before(world.Image());
    const int row = GroupFirstItem(kBank, 22) + 20;
    dialogs.Answer(plat::IDOK);
    Key(CT_Rpt, CL_Rpt_FreqR, row, '1');
    EXPECT_EQ(GroupItemCount(kBank, 22), 20);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "No more fit.");
    EXPECT_TRUE(world.Image().Equals(before));

    // A ZEPH group takes 30.
    image.Type(kBank, TestImage::Zeph).GroupCount(27, kBank, 29);
    world.Main().Pack(world.Image());
    AddRepeater(CT_ZEPH_Rpt, CL_Rpt_ZEPH_FreqR, 27, "460");
    EXPECT_EQ(GroupItemCount(kBank, 27), 30);
    dialogs.Answer(plat::IDOK);
    Key(CT_ZEPH_Rpt, CL_Rpt_ZEPH_FreqR, GroupFirstItem(kBank, 27) + 30, '1');
    EXPECT_EQ(GroupItemCount(kBank, 27), 30);
    EXPECT_EQ(dialogs.Boxes().size(), 2u);
}

TEST_F(Repeaters, ZephHomesAndTheAreaBit)
{
    image.Type(kBank, TestImage::Zeph);
    AddRepeater(CT_ZEPH_Rpt, CL_Rpt_ZEPH_FreqR, 27, "451");
    AddRepeater(CT_ZEPH_Rpt, CL_Rpt_ZEPH_FreqR, 27, "452");
    const int first = GroupFirstItem(kBank, 27);
    Pick(CT_ZEPH_Rpt, CL_Rpt_ZEPH_Atr, first, 1);
    Pick(CT_ZEPH_Rpt, CL_Rpt_ZEPH_Atr, first + 1, 2);
    EXPECT_EQ(Shown(CT_ZEPH_Rpt, CL_Rpt_ZEPH_Atr, first), "H1");
    EXPECT_EQ(Shown(CT_ZEPH_Rpt, CL_Rpt_ZEPH_Atr, first + 1), "H2");
    EXPECT_FALSE(indActiveCell::CellError(CT_BankOp, CL_Mch_Rpt, kBank));

    EXPECT_EQ(Shown(CT_ZEPH_Rpt, CL_Rpt_ZEPH_AreaBit, first), "Off");
    Pick(CT_BankOp, CL_Mch_AreaBit, kBank, 1);
    EXPECT_EQ(Shown(CT_ZEPH_Rpt, CL_Rpt_ZEPH_AreaBit, first), "On");
    image.Type(kBank, TestImage::Conventional);
    EXPECT_EQ(Shown(CT_BankOp, CL_Mch_AreaBit, kBank), "---");
}

TEST_F(Repeaters, ZephTalkGroupsIndividualIdsAndSettings)
{
    // The first key in the empty row opens the entry.
    Key(CT_ZEPH_Tg, CL_ZEPH_Grp_Id_Dec, 0, '2');
    ASSERT_EQ(TgListCount(29), 1);
    world.Pump();
    EXPECT_EQ(world.PostedOf(ev::RepaintLabelled).size(), 1u) << "channels that name talk groups repaint";
    Typed(CT_ZEPH_Tg, CL_ZEPH_Grp_Id_Dec, 0, "2010");
    EXPECT_EQ(image.Read(29, 0).GrpId, 2000u);
    Key(CT_ZEPH_Tg, CL_ZEPH_Grp_Id_Dec, 0, ' ');
    EXPECT_EQ(image.Read(29, 0).GrpId, 2047u);
    Typed(CT_ZEPH_Tg, CL_ZEPH_Grp_Id_Dec, 0, "1");
    Typed(CT_ZEPH_Tg, CL_ZEPH_Grp_Id_Dec, 0, "2047");
    EXPECT_EQ(image.Read(29, 0).GrpId, 2047u) << "a typed call to all";
    Key(CT_ZEPH_Inv, CL_ZEPH_Ind_Id_Dec, 0, '5');
    Typed(CT_ZEPH_Inv, CL_ZEPH_Ind_Id_Dec, 0, "55");
    EXPECT_EQ(IndListCount(28), 1);
    EXPECT_EQ(image.Read(28, 0).IndId, 55u);
    // With the clone memory full neither list takes another entry.
    image.U32(EepromMap::End32, CloneBudget::Limit);
    for (auto [category, label] : {std::pair{CT_ZEPH_Tg, CL_ZEPH_Grp_Id_Dec}, std::pair{CT_ZEPH_Inv, CL_ZEPH_Ind_Id_Dec}}) {
        dialogs.Answer(plat::IDOK);
        Key(category, label, 1, '3');
    }
    EXPECT_EQ(TgListCount(29), 1);
    EXPECT_EQ(IndListCount(28), 1);
    EXPECT_EQ(dialogs.Boxes().size(), 2u);
    world.Main().Pack(world.Image());

    constexpr int kOptions = 243067;
    image.Byte(kOptions, 0);
    auto grey = [&](int label) {
        auto cell = MakeCell(CT_Null, label);
        plat::RecordingCanvas canvas;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        Run(c);
        return canvas.GetFont().color == plat::clSilver;
    };
    EXPECT_TRUE(grey(CL_ZEPH_Op_Global_Edit));
    Pick(CT_Null, CL_ZEPH_Op_Unit_ID, 0, 2);  // global
    EXPECT_EQ(image.ReadU8(kOptions), 0x40);
    EXPECT_FALSE(grey(CL_ZEPH_Op_Global_Edit));
    EXPECT_TRUE(grey(CL_ZEPH_Op_Global_Auto));
    // The call information display: bit 0 is its high bit, bit 1 its low bit.
    for (auto [pick, bits] : {std::pair{2, 0x01}, std::pair{1, 0x02}, std::pair{3, 0x03}, std::pair{0, 0x00}}) {
        image.Byte(kOptions, 0x40);
        Pick(CT_Null, CL_ZEPH_Op_CallInfoDisp, 0, pick);
        EXPECT_EQ(image.ReadU8(kOptions), 0x40 | bits) << pick;
        EXPECT_EQ(Shown(CT_Null, CL_ZEPH_Op_CallInfoDisp, 0), "abcd"[pick] + std::string()) << pick;
    }
    image.Byte(kOptions, 0x40);
    // The ring-back timer switches its wait timer on and off.
    EXPECT_TRUE(grey(CL_ZEPH_Op_AtbRingBackTxWaitTimer));
    for (const char* timer : {"5", "1"}) {
        image.Byte(kOptions, 0x40);
        Typed(CT_Null, CL_ZEPH_Op_AtbRingBack, 0, timer);
        EXPECT_EQ(image.ReadU8(303616), std::stoi(timer));
        EXPECT_EQ(image.ReadU8(kOptions), 0xC0) << timer;
        EXPECT_FALSE(grey(CL_ZEPH_Op_AtbRingBackTxWaitTimer)) << timer;
    }
    // A switch out of step with its timer (a damaged or edited file) is put
    // right by entering the timer again, also with the value it holds.
    image.Byte(kOptions, 0x40);
    Typed(CT_Null, CL_ZEPH_Op_AtbRingBack, 0, "5");
    EXPECT_EQ(image.ReadU8(kOptions), 0xC0);
    // Drawn out of step, the page shows the wait timer as its timer has it
    // and writes nothing; any key on the timer brings the switch in step.
    image.Byte(kOptions, 0x40);
    EXPECT_FALSE(grey(CL_ZEPH_Op_AtbRingBackTxWaitTimer));
    EXPECT_EQ(image.ReadU8(kOptions), 0x40);
    Key(CT_Null, CL_ZEPH_Op_AtbRingBack, 0, 13);
    EXPECT_EQ(image.ReadU8(303616), 5);
    EXPECT_EQ(image.ReadU8(kOptions), 0xC0);
    image.Byte(303616, 0);
    EXPECT_TRUE(grey(CL_ZEPH_Op_AtbRingBackTxWaitTimer));
    EXPECT_EQ(image.ReadU8(kOptions), 0xC0);
    Key(CT_Null, CL_ZEPH_Op_AtbRingBack, 0, 13);
    EXPECT_EQ(image.ReadU8(kOptions), 0x40);
}

TEST_F(Repeaters, OnlyOneSiteIsTheHomeSite)
{
    image.SiteCount(10);
    Pick(CT_Multisite_SL, CL_Multisite_Atr_Home, 5, 1);
    Pick(CT_Multisite_SL, CL_Multisite_Atr_Home, 7, 1);
    EXPECT_EQ(Shown(CT_Multisite_SL, CL_Multisite_Atr_Home, 5), "");
    EXPECT_EQ(Shown(CT_Multisite_SL, CL_Multisite_Atr_Home, 7), "H");
    Pick(CT_Multisite_SL, CL_Multisite_Atr_Home, 7, 2);
    EXPECT_EQ(Shown(CT_Multisite_SL, CL_Multisite_Atr_Home, 7), "");
    EXPECT_EQ(Shown(CT_Null, CL_Multisite_List_No, 9), " 10");
    EXPECT_EQ(Shown(CT_Null, CL_Multisite_List_No, 10), "New");
}

TEST_F(Repeaters, ARepeaterTypedIntoAnEmptySiteStaysInThatSite)
{
    // Site 0 holds two repeaters, site 1 none, site 2 one. The empty site's
    // new row has the index of site 2's first repeater.
    image.SiteCount(3).GroupCount(31, 0, 2).GroupCount(31, 1, 0).GroupCount(31, 2, 1);
    image.Item(31, 2, [](datCh& r) {
        r.RptRxFreq = 460000000;
        r.RptTxFreq = 465000000;
    });
    world.listGroup = 1;
    EXPECT_EQ(Shown(CT_Multisite_Rpt, CL_Rpt_Multisite_FreqR, 2), "");
    EXPECT_EQ(Shown(CT_Null, CL_Rpt_Multisite_No, 2), "New");

    AddRepeater(CT_Multisite_Rpt, CL_Rpt_Multisite_FreqR, 31, "451");
    EXPECT_EQ(GroupItemCount(1, 31), 1);
    EXPECT_EQ(GroupItemCount(2, 31), 1);
    EXPECT_EQ(image.Read(31, 2).RptRxFreq, 451000000);
    EXPECT_EQ(image.Read(31, 3).RptRxFreq, 460000000);
}

}  // namespace
