// The bank rows: channel counts that grow and shrink with every reference
// renumbered, the total and free-space rows, names, trunking types, the home
// repeater, and the memory usage cells.
#include "cells/CellQueries.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> BankLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Bank_SelBankFree", "Flex0", {{0, "Single bank"}, {1, "Multiple banks"}}));
    add(ListSection("GI_Sheet_Sel_Bank_TrunkType", "Flex0",
                    {{0, "Conventional"}, {1, "SmarTrunk"}, {2, "LTR"}, {4, "Vote zone"}, {8, "ZEPH"}, {16, "Multisite"}}));
    add(ListSection("GI_Sheet_Sel_Bank_TrunkType2", "Flex0", {{0, "Conventional"}, {1, "SmarTrunk"}, {4, "Vote zone"}}));
    add({"#GI_AppMess_ChErr_Overflow", "No more channels fit.", "#"});
    return lines;
}

constexpr int kPriorityA = 146304;
constexpr int kPriorityB = 146306;
constexpr int kDivertTargets = 302548;

CellExecResult RunCell(Capsule& c) { return indActiveCell().Exec(&c.cap, 0); }

std::string Shown(int label, int index)
{
    auto cell = MakeCell(CT_BankOp, label, index);
    Capsule c(cell.get(), false);
    RunCell(c);
    return c.cap.Text;
}

void Key(int label, int index, int key)
{
    auto cell = MakeCell(CT_BankOp, label, index);
    Capsule c(cell.get());
    c.cap.Key = key;
    RunCell(c);
}

void Typed(int label, int index, const std::string& text)
{
    auto cell = MakeCell(CT_BankOp, label, index);
    Capsule c(cell.get());
    c.Edit(text);
    RunCell(c);
}

void Pick(int label, int index, int value)
{
    auto cell = MakeCell(CT_BankOp, label, index);
    Capsule c(cell.get());
    c.Pick(Flex0, value);
    RunCell(c);
}

// Bank 0: ten channels, the last three empty; bank 1: two channels in use.
// Priority channel A and a divert target point at bank 1's second channel.
struct Banks : ::testing::Test {
    Banks()
    {
        world.Environ().PriorityRemoval = 0;  // priority channels are kept
        image.BankCounts({10, 2});
        for (int n = 0; n < 7; ++n) image.Channel(n, 146000000 + 25000 * n);
        image.Channel(10, 440000000).Channel(11, 440025000);
        image.U16(kPriorityA, 11).U16(kDivertTargets + 2 * 3, 11);
        world.Main().Pack(world.Image());
    }
    int PriorityA() { return image.ReadU16(kPriorityA); }
    CellWorld world{BankLists()};
    TestImage image{world.Image()};
    plat::ScopedDialogScript dialogs;
};

TEST_F(Banks, CountShrinksByItsEmptyTailAndGrowsIntoFreeChannels)
{
    EXPECT_EQ(Shown(CL_Mch_Bank, 0), "10");
    for (int expected : {9, 8, 7, 7}) {
        Key(CL_Mch_Bank, 0, 8);  // Backspace
        EXPECT_EQ(BankChannelCount(0), expected);
    }
    // Bank 1's channels moved down three places, and what pointed at them too.
    EXPECT_EQ(BankFirstChannel(1), 7);
    EXPECT_EQ(image.Read(1, 8).RxFreq, 440025000);
    EXPECT_EQ(PriorityA(), 8);
    EXPECT_EQ(image.ReadU16(kDivertTargets + 2 * 3), 8);

    Key(CL_Mch_Bank, 0, ' ');
    EXPECT_EQ(BankChannelCount(0), 8);
    EXPECT_EQ(PriorityA(), 9);
    EXPECT_EQ(image.Read(1, 7).RxFreq, 0);  // the new channel is empty

    // Typed counts stay within the room: not below the last channel in use.
    Typed(CL_Mch_Bank, 0, "3");
    EXPECT_EQ(BankChannelCount(0), 7);
    EXPECT_EQ(UsedChannelCount(), 9);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(Banks, ReferencedChannelsAtTheEndAreKept)
{
    image.U16(kPriorityB, 8);  // an empty channel that priority B names
    Typed(CL_Mch_Bank, 0, "0");
    EXPECT_EQ(BankChannelCount(0), 9);
    EXPECT_EQ(image.ReadU16(kPriorityB), 8);
}

TEST_F(Banks, CountGrowsOnlyAsFarAsTheRadioHoldsChannels)
{
    image.BankCount(2, WorkTables::Channels - 14);  // 510 channels in use
    world.Main().Pack(world.Image());
    for (int expected : {11, 12, 12}) {
        Key(CL_Mch_Bank, 0, ' ');
        EXPECT_EQ(BankChannelCount(0), expected);
    }
    EXPECT_EQ(UsedChannelCount(), WorkTables::Channels);
    Typed(CL_Mch_Bank, 1, "40");
    EXPECT_EQ(BankChannelCount(1), 2);

    // With the clone memory already full not even the top is a step up.
    Key(CL_Mch_Bank, 0, 8);
    image.U32(EepromMap::End32, 0x1FF7F + 1);
    Key(CL_Mch_Bank, 0, ' ');
    EXPECT_EQ(BankChannelCount(0), 11);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(Banks, TotalAndFreeRows)
{
    const int fit = MaxItemsThatFit(CT_Mch, WorkTables::Channels - 12, 0);
    ASSERT_GT(fit, 0);
    EXPECT_EQ(Shown(CL_Mch_Bank, 128), "12");
    EXPECT_EQ(Shown(CL_Mch_Bank, 129), std::to_string(fit));
    EXPECT_EQ(Shown(CL_Mch_UsedCHs, 0), "7");
    EXPECT_EQ(Shown(CL_Mch_UsedCHs, 128), "9");
    EXPECT_EQ(Shown(CL_Mch_UsedCHs, 129), std::to_string(fit + 12 - 9));
    EXPECT_EQ(Shown(CL_Bank_UsedTotal, 0), "9");
    EXPECT_EQ(Shown(CL_Bank_UsedLeft, 0), "503");
    EXPECT_EQ(Shown(CL_Bank_SmarTrunk, 0), "Non");
    // No used quantity is kept for a bank.
    EXPECT_EQ(Shown(CL_Bank_UsedQty, 3), "---");
    for (int label : {CL_Mch_TrunkType, CL_Mch_TrunkType2, CL_Mch_SmarTrunk, CL_Mch_LTR})
        EXPECT_EQ(Shown(label, 128), "----") << CellLabelName(label);
}

TEST_F(Banks, NameChangeRenamesTheTreeNode)
{
    Typed(CL_Mch_BankText, 1, "DISPATCH");
    EXPECT_EQ(Shown(CL_Mch_BankText, 1), "DISPATCH");
    world.Pump();
    ASSERT_EQ(world.PostedOf(ev::BankNameChanged), (std::vector<int>{1}));
    for (const PostedEvent& e : world.posted) {
        if (e.type == ev::BankNameChanged) {
            EXPECT_EQ(e.text, "2: DISPATCH    ");
        }
    }
}

TEST_F(Banks, TrunkTypeKeepsTheHighestTypePicked)
{
    struct Case {
        int label;
        int code;
        bool multisite, zeph, vote, ltr, smarTrunk;
    };
    const Case cases[] = {
        {CL_Mch_TrunkType, 24, true, false, false, false, false},
        {CL_Mch_TrunkType, 12, false, true, false, false, false},
        {CL_Mch_TrunkType, 6, false, false, true, false, false},
        {CL_Mch_TrunkType, 3, false, false, false, true, false},
        {CL_Mch_TrunkType, 1, false, false, false, false, true},
        {CL_Mch_TrunkType, 0, false, false, false, false, false},
        // The second list sets vote zone and SmarTrunk only.
        {CL_Mch_TrunkType2, 1, false, false, false, false, true},
        {CL_Mch_TrunkType2, 5, false, false, true, false, false},
    };
    for (const Case& k : cases) {
        image.Type(4, TestImage::Conventional);
        Pick(k.label, 4, k.code);
        const std::string what = std::string(CellLabelName(k.label)) + " " + std::to_string(k.code);
        EXPECT_EQ(IsMultisiteBank(4), k.multisite) << what;
        EXPECT_EQ(IsZephBank(4), k.zeph) << what;
        EXPECT_EQ(IsVoteZoneBank(4), k.vote) << what;
        EXPECT_EQ(IsLtrBank(4), k.ltr) << what;
        EXPECT_EQ(IsSmarTrunkBank(4), k.smarTrunk) << what;
    }
    world.Pump();
    EXPECT_EQ(world.PostedOf(ev::UpdateBankNodes).size(), std::size(cases));
    EXPECT_EQ(world.PostedOf(ev::RepaintLabelled).size(), std::size(cases));
    EXPECT_EQ(Shown(CL_Mch_TrunkType, 4), "Vote zone");

    // SmarTrunk stays off on an LTR bank; the LTR type stays.
    image.Type(5, TestImage::Ltr);
    Pick(CL_Mch_TrunkType2, 5, 1);
    EXPECT_TRUE(IsLtrBank(5));
    EXPECT_FALSE(IsSmarTrunkBank(5));

    Pick(CL_Mch_SmarTrunk, 6, 1);
    EXPECT_TRUE(IsSmarTrunkBank(6));
    EXPECT_EQ(Shown(CL_Mch_SmarTrunk, 6), "On");
    Pick(CL_Mch_LTR, 6, 1);
    EXPECT_TRUE(IsLtrBank(6));
}

TEST_F(Banks, HomeRepeaterOfTrunkedBanks)
{
    struct Case {
        const char* what;
        TestImage::BankType type;
        int home;
        int repeaters;
        std::string shown;
        bool error;
    };
    const Case cases[] = {
        {"LTR bank without home repeater", TestImage::Ltr, 0, 2, "", true},
        {"LTR home is the group's last repeater", TestImage::Ltr, 2, 2, " 2", false},
        {"LTR home past the group's repeaters", TestImage::Ltr, 3, 2, " 3", true},
        {"LTR home past 20", TestImage::Ltr, 21, 2, "", true},
        {"LTR bank without repeaters", TestImage::Ltr, 3, 0, " 3", true},
        {"ZEPH home in the group", TestImage::Zeph, 25, 25, "25", false},
        {"ZEPH home past the group's repeaters", TestImage::Zeph, 25, 1, "25", true},
        {"conventional bank", TestImage::Conventional, 3, 0, "---", false},
    };
    for (const Case& k : cases) {
        image.Type(7, k.type).GroupCount(22, 7, k.type == TestImage::Ltr ? k.repeaters : 0);
        image.GroupCount(27, 7, k.type == TestImage::Zeph ? k.repeaters : 0);
        image.Item(13, 7, [&](datCh& b) { b.LtrHomeRpt = b.ZephHomeRpt = uint8_t(k.home); });
        auto cell = MakeCell(CT_BankOp, CL_Mch_Rpt, 7);
        plat::RecordingCanvas canvas;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        RunCell(c);
        EXPECT_EQ(c.cap.Text, k.shown) << k.what;
        EXPECT_EQ(c.cap.ErrorMark, k.error) << k.what;
        EXPECT_EQ(canvas.GetFont().color == plat::clSilver, k.type == TestImage::Conventional) << k.what;
        EXPECT_EQ(indActiveCell::CellError(CT_BankOp, CL_Mch_Rpt, 7), k.error) << k.what;
        // The warning check, which stops a write, reports the same.
        EXPECT_EQ(indActiveCell::CellError(CT_Null, CL_Check_Ltr_Repeater, 0), k.error) << k.what;
    }

    // Enter opens the repeater list of the bank's group.
    image.Type(7, TestImage::Ltr);
    Key(CL_Mch_Rpt, 7, 13);
    ASSERT_EQ(world.popups.calls.size(), 1u);
    EXPECT_EQ(world.popups.calls[0].what, "repeaters");
    EXPECT_EQ(world.popups.calls[0].focus, 22);
    EXPECT_EQ(world.popups.calls[0].first, 7);
}

TEST_F(Banks, BankFreeChoiceThatIsNotStoredChangesNothing)
{
    EXPECT_EQ(Shown(CL_Bank_SelBankFree, 0), "Multiple banks");
    const cmcEeprom before(world.Image());
    auto cell = MakeCell(CT_BankOp, CL_Bank_SelBankFree, 0);
    Capsule c(cell.get());
    c.Pick(Flex0, 0);
    std::vector<CellChangeScope> scopes;
    c.cap.OnChange = [&](cmcCellCapsule*, CellChangeScope s) { scopes.push_back(s); };
    indActiveCell().Exec(&c.cap, 1);
    EXPECT_TRUE(world.Image().Equals(before));
    EXPECT_TRUE(world.sent.empty());
    ASSERT_EQ(scopes.size(), 1u);
    EXPECT_EQ(scopes[0] & csEveryLabelled, 0);
}

}  // namespace
