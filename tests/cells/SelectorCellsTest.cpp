// Entries of choice lists and pickers: their own texts, the row numbers of
// zone, channel and ID pickers, and the marks of entries that the cell a list
// was opened for must not take.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> SelectorOverlay() { return {"#GI_NewChTitle", "New"}; }

struct Entry {
    std::string text;
    bool error;
    bool warning;
};

// An entry cell drawn in its list, opened (or not) for a cell.
Entry Draw(int label, int index, const cmcCellObj* opener = nullptr, const std::string& ownText = "")
{
    auto cell = MakeCell(CT_NoCategory, label, index);
    cell->SetText(ownText);
    cmcCellCapsule parent;
    parent.Cell = const_cast<cmcCellObj*>(opener);
    Capsule c(cell.get(), false);
    if (opener) c.cap.Parent = &parent;
    indActiveCell().Exec(&c.cap, 0);
    return {c.cap.Text, c.cap.ErrorMark, c.cap.WarningMark};
}

TEST(Selectors, EntriesShowTheirOwnText)
{
    CellWorld world(SelectorOverlay());
    for (int label : {Flex0, Flex1, Flex2, FlexDtcs, FlexKeyOpt, FlexZoneSel, FlexZoneSel_ChGrp_Chfunc,
                      FlexZoneSel_ChGrp_Zonefunc, FlexCHSel, FlexRxCodeAUX, FlexZoneSel_GPS_Zonefunc, FlexMark})
        EXPECT_EQ(Draw(label, 3, nullptr, "Narrow").text, "Narrow") << CellLabelName(label);
}

TEST(Selectors, RowNumbersOfPickers)
{
    CellWorld world(SelectorOverlay());
    // Banks 0 and 3 hold channels; bank 1 is an empty vote zone, bank 3 a
    // vote zone, bank 5 a SmarTrunk bank.
    TestImage image(world.Image());
    image.BankCounts({2, 0, 0, 3, 0, 1}).Type(1, TestImage::VoteZone).Type(3, TestImage::VoteZone);
    image.Type(5, TestImage::SmarTrunk).IdListCount(18, 5).TalkGroupCount(29, 2);

    struct Case {
        int label;
        int index;
        std::string text;
    };
    const Case cases[] = {
        {FlexZoneSelNum, 0, "  1"},    {FlexZoneSelNum, 1, "  6"},    {FlexZoneSelNum, 2, "129"},
        {FlexZoneSel_GPS_Num, 1, "  4"}, {FlexZoneSel_GPS_Num, 3, "129"},
        {FlexZoneSelNum_ChGrp_Chfunc, 0, "  1"}, {FlexZoneSelNum_ChGrp_Chfunc, 1, "129"},
        {FlexZoneSelNum_ChGrp_Zonefunc, 0, "  4"}, {FlexZoneSelNum_ChGrp_Zonefunc, 1, "  6"},
        {FlexCHSelNum, 9, " 10"},
        // The row after a list's last entry is where a new one is typed.
        {Flex_InvIDList_ChNo, 0, "  1"}, {Flex_InvIDList_ChNo, 4, "  5"}, {Flex_InvIDList_ChNo, 5, "New"},
        {Flex_TgIDList_ZEPH_ChNo, 2, "New"}, {Flex_TgIDList_ZEPH_ChNo, 1, "  2"},
        {Flex_InvIDList_Multisite_ChNo, 0, "New"},
    };
    for (const Case& k : cases) EXPECT_EQ(Draw(k.label, k.index).text, k.text) << CellLabelName(k.label) << " " << k.index;
}

TEST(Selectors, MarkedEntriesJudgeTheChannelTheListWasOpenedFor)
{
    struct Case {
        int opener;
        int entry;
        bool error;
        bool warning;
    };
    const Case cases[] = {
        {CL_Mch_Sel, 0, true, false},     {CL_Mch_Sel, 1, false, false},  {CL_Mch_Call, 1, true, false},
        {CL_Mch_PTT, 0, false, false},    {CL_Mch_Moni, 5, false, true},  {CL_Mch_Moni, 7, false, false},
        {CL_Mch_CH_Mute, 0, false, true}, {CL_Mch_CH_Mute_Lmr, 1, false, false},
        {CL_Mch_Sel_Kovr, 0, false, false},  // marks only for the named columns
    };
    for (int model : {0, 1}) {
        CellWorld world(SelectorOverlay(), model);
        TestImage(world.Image()).BankCounts({2}).Item(model == 1 ? 2 : 1, 1, [](datCh& c) {
            c.RxFreq = 450000000;
            c.ChFlagsF.MskSig = 1;
        });
        for (const Case& k : cases) {
            auto opener = MakeCell(CT_Mch, k.opener, 1);
            const Entry e = Draw(FlexMark, k.entry, opener.get(), "x");
            EXPECT_EQ(e.error, model == 1 && k.error) << CellLabelName(k.opener) << " " << k.entry;
            EXPECT_EQ(e.warning, model == 1 && k.warning) << CellLabelName(k.opener) << " " << k.entry;
        }
        // Without MSK signalling nothing is marked.
        TestImage(world.Image()).Item(model == 1 ? 2 : 1, 1, [](datCh& c) { c.ChFlagsF.MskSig = 0; });
        auto sel = MakeCell(CT_Mch, CL_Mch_Sel, 1);
        EXPECT_FALSE(Draw(FlexMark, 0, sel.get(), "x").error);
    }
}

TEST(Selectors, ScanChannelModesThatPointIntoVoteZonesAreWarned)
{
    CellWorld world(SelectorOverlay());
    TestImage image(world.Image());
    // Bank 0 is a vote zone with channels 0-1; bank 1 is conventional (2-3).
    image.BankCounts({2, 2}).Type(0, TestImage::VoteZone);
    image.U16(146304, 1).U16(146306, 3);  // priority channel A in the vote zone, B not
    auto opener = MakeCell(CT_Scan, CL_ScanList_Prio2_CH, 0);
    EXPECT_TRUE(Draw(FlexMark, 1, opener.get(), "A").warning);
    EXPECT_FALSE(Draw(FlexMark, 2, opener.get(), "B").warning);
    EXPECT_FALSE(Draw(FlexMark, 5, opener.get(), "Channel").warning);
    // Only vote zones hold channels: no channel can be picked.
    image.Type(1, TestImage::VoteZone);
    EXPECT_TRUE(Draw(FlexMark, 5, opener.get(), "Channel").warning);
    EXPECT_TRUE(Draw(FlexMark, 2, opener.get(), "B").warning);
}

}  // namespace
