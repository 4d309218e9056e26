// The warning checks: each sums the marks of the cells it evaluates, within
// its range and for its model type only.
#include "cells/LabelDispatch.h"
#include "cells/indActiveCell.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

struct Marks {
    bool error;
    bool warning;
    bool operator==(const Marks&) const = default;
};

// The lists that the channel cells of the bank check read.
std::vector<std::string> ChannelLists()
{
    std::vector<std::string> lines;
    for (const char* key : {"GI_Sheet_Sel_Mch_Moni", "GI_Sheet_Sel_Mch_Sel", "GI_Sheet_Sel_Mch_Call",
                            "GI_Sheet_Sel_Mch_Ptt", "GI_Sheet_Sel_Mch_ChMute"}) {
        const std::vector<std::string> list = ListSection(key, "FlexMark", {{0, "0"}, {1, "1"}, {6, "6"}});
        lines.insert(lines.end(), list.begin(), list.end());
    }
    for (const char* key : {"GI_Sheet_Sel_Mch_EDivert", "GI_Sheet_Sel_Mch_EDivert2"}) {
        const std::vector<std::string> list = ListSection(key, "FlexMark", {{0, "0"}, {1, "1"}, {2, "2"}});
        lines.insert(lines.end(), list.begin(), list.end());
    }
    for (const char* key : {"GI_Sheet_Sel_IndList", "GI_Sheet_Sel_IndList_ZEPH"})
        lines.insert(lines.end(), {std::string("#") + key + "_Cells", "{!S}No."});
    lines.push_back("#");
    return lines;
}

Marks RunCheck(int label, int bank = 0)
{
    auto cell = MakeCell(CT_Null, label);
    Capsule c(cell.get(), false);
    c.cap.Bank = bank;
    indActiveCell().Exec(&c.cap, 0);
    EXPECT_EQ(c.cap.Text, "") << CellLabelName(label);
    return {c.cap.ErrorMark, c.cap.WarningMark};
}

// A cell of another family marked at one index only.
ScopedLabelBehaviour MarkedAt(int category, int label, int index, bool error)
{
    return ScopedLabelBehaviour(label, [=](indCellCall& call) {
        if (call.Category != category || call.Index != index) return;
        (error ? call.Cap->ErrorMark : call.Cap->WarningMark) = true;
    });
}

TEST(Checks, EachSumsTheMarksOfItsCellsWithinItsRange)
{
    struct Case {
        const char* what;
        int check;
        int category;
        int label;
        int index;
        bool error;       // the evaluated cell's mark
        int modelType;
        Marks expected;
    };
    const Case cases[] = {
        {"user tone decoder", CL_Check_User_Tone_Encode, CT_UserTone, CL_UTone_Dec_High, 14, false, 1, {false, true}},
        {"user tone decoder on LMR", CL_Check_User_Tone_Encode, CT_UserTone, CL_UTone_Dec_High, 14, false, 0,
         {false, false}},
        {"user tone past the 15 tones", CL_Check_User_Tone_Encode, CT_UserTone, CL_UTone_Dec_Low, 15, false, 1,
         {false, false}},
        {"MSK ID range on PMR", CL_Check_Msk_IdRange, CT_Null, CL_Msk_AdrRange_Killer, 0, true, 1, {true, false}},
        {"MSK ID range on LMR", CL_Check_Msk_IdRange, CT_Null, CL_Msk_AdrRange_Killer, 0, true, 0, {false, false}},
        {"own ID groups", CL_Check_Msk_OwnIdGroup, CT_MSK_IdGroup, CL_Msk_IdGroup_Adr, 7, true, 1, {true, false}},
        {"MSK configuration", CL_Check_Msk_Config, CT_Null, CL_Msk_Cfg_Gps_FixBaseId, 0, true, 1, {true, false}},
        {"MDC self IDs", CL_Check_Mdc_SelfID, CT_Null, CL_Mdc_General_Self_Id, 4, false, 0, {false, true}},
        {"MDC statuses", CL_Check_MDC_Status, CT_Null, CL_Mdc_Status_Enabled, 79, false, 0, {false, true}},
        {"MDC status past 80", CL_Check_MDC_Status, CT_Null, CL_Mdc_Status_Enabled, 80, false, 0, {false, false}},
        {"NAC channels", CL_Check_Dig_Nacch, CT_DIG_NacCh, CL_Digi_NacCh_TxNac, 0, true, 0, {true, false}},
        {"individual ID in the list", CL_Check_Dig_IndID, CT_DIG_Inv, CL_Digi_Ind_Id_Dec, 4, false, 0, {false, true}},
        {"individual ID past the list", CL_Check_Dig_IndID, CT_DIG_Inv, CL_Digi_Ind_Id_Dec, 5, false, 0, {false, false}},
        {"multisite repeater on LMR", CL_Check_Multisite_Repeater, CT_Multisite_SL, CL_Multisite_Rpt, 47, true, 0,
         {true, false}},
        {"multisite repeater on PMR", CL_Check_Multisite_Repeater, CT_Multisite_SL, CL_Multisite_Rpt, 47, true, 1,
         {false, false}},
        {"multisite system code", CL_Check_Multisite_Repeater, CT_Multisite_SL, CL_Multisite_SiteList_SystemCode, 0,
         false, 0, {false, true}},
        {"GPS automatic transmission", CL_Check_GPS_Auto_Tx, CT_Null, CL_Comm_Gps_MoveGps, 0, false, 0, {false, true}},
        // A mark of the wrong kind does not count.
        {"an error where warnings are summed", CL_Check_Mdc_SelfID, CT_Null, CL_Mdc_General_Self_Id, 0, true, 0,
         {false, false}},
    };
    for (const Case& k : cases) {
        CellWorld world({}, k.modelType);
        // Lists and sites in use: rows past them are empty rows, which show nothing.
        TestImage(world.Image()).IdListCount(18, 5).NacListCount(80).SiteCount(48);
        ScopedLabelBehaviour marked = MarkedAt(k.category, k.label, k.index, k.error);
        EXPECT_EQ(RunCheck(k.check), k.expected) << k.what;
    }
}

TEST(Checks, BankChannelsOfPmrModelsWithMskSignalling)
{
    CellWorld world(ChannelLists(), 1);
    TestImage image(world.Image());
    image.BankCounts({0, 3, 2}).IdListCount(18, 1);
    auto channel = [&](int n, const std::function<void(datCh&)>& fill) {
        image.Item(2, n, [&](datCh& c) {
            c.RxFreq = c.TxFreq = 450000000;
            c.ChFlagsD.Sel = 1;
            c.ChFlagsC.Moni = 6;
            c.ChFlagsD.ChMute = 1;
            fill(c);
        });
    };
    for (int n = 0; n < 5; ++n) channel(n, [](datCh& c) { c.ChFlagsF.MskSig = 1; });
    EXPECT_EQ(RunCheck(CL_Check_Mch, 1), (Marks{false, false}));
    channel(2, [](datCh& c) {
        c.ChFlagsF.MskSig = 1;
        c.ChFlagsC.Moni = 0;
    });
    EXPECT_EQ(RunCheck(CL_Check_Mch, 1), (Marks{false, true}));
    channel(1, [](datCh& c) {
        c.ChFlagsF.MskSig = 1;
        c.ChFlagsD.PTT = 1;
    });
    EXPECT_EQ(RunCheck(CL_Check_Mch, 1), (Marks{true, true}));
    // The next bank and an empty one have no marks.
    EXPECT_EQ(RunCheck(CL_Check_Mch, 2), (Marks{false, false}));
    EXPECT_EQ(RunCheck(CL_Check_Mch, 0), (Marks{false, false}));
    EXPECT_EQ(RunCheck(CL_Check_Mch, 127), (Marks{false, false}));
    // A divert to a channel, which a PMR radio's memory cannot keep, is an error.
    channel(3, [](datCh& c) {
        c.ChFlagsF.MskSig = 1;
        c.ChFlagsA.EDivert = 2;
    });
    EXPECT_EQ(RunCheck(CL_Check_Mch, 2), (Marks{true, false}));
}

TEST(Checks, BankChannelsReferringPastTheirIdListsOnEveryModel)
{
    CellWorld world(ChannelLists());
    TestImage image(world.Image());
    image.BankCounts({2, 2}).Type(1, TestImage::Zeph).IdListCount(28, 1).IdListCount(18, 4);
    image.Item(1, 0, [](datCh& c) {
        c.RxFreq = 146000000;
        c.IndList = 3;
    });
    image.Item(1, 2, [](datCh& c) {
        c.ZephUnit = 8;
        c.IndList = 0;
    });
    EXPECT_EQ(RunCheck(CL_Check_Mch, 0), (Marks{false, false}));
    EXPECT_EQ(RunCheck(CL_Check_Mch, 1), (Marks{false, false}));
    image.Item(1, 2, [](datCh& c) { c.IndList = 1; });  // the ZEPH list holds one ID
    EXPECT_EQ(RunCheck(CL_Check_Mch, 1), (Marks{true, false}));
    image.Item(1, 0, [](datCh& c) { c.IndList = 4; });
    EXPECT_EQ(RunCheck(CL_Check_Mch, 0), (Marks{true, false}));
}

TEST(Checks, ADivertToAChannelIsAnErrorWhereTheMemoryKeepsNoTarget)
{
    constexpr int kZone = 1, kChannel = 2;
    struct Case {
        const char* what;
        int model;
        int bank;
        int mode;
        bool error;
    };
    const Case cases[] = {
        {"LMR, to a channel", 0, 0, kChannel, false},
        {"LMR last bank, to a channel", 0, 127, kChannel, true},
        {"LMR last bank, to a zone", 0, 127, kZone, false},
        {"PMR, to a channel", 1, 0, kChannel, true},
        {"PMR last bank, to a channel", 1, 127, kChannel, true},
        {"PMR, to a zone", 1, 0, kZone, false},
    };
    for (const Case& k : cases) {
        CellWorld world(ChannelLists(), k.model);
        TestImage image(world.Image());
        image.BankCount(k.bank, 1).IdListCount(18, 1);
        image.Item(k.model == 0 ? 1 : 2, 0, [&](datCh& c) { c.RxFreq = c.TxFreq = 450000000; });
        // The mode's two bits as a file or a radio holds them: a record of
        // the last bank commits no divert to a channel itself.
        constexpr int kModeByte = 130944 + 12;
        image.Byte(kModeByte, k.mode << 2);
        EXPECT_EQ(RunCheck(CL_Check_Mch, k.bank), (Marks{k.error, false})) << k.what;
    }
}

TEST(Checks, LtrBankWithoutHomeRepeaterIsAnErrorOnLmrModels)
{
    for (int model : {0, 1}) {
        CellWorld world({}, model);
        TestImage image(world.Image());
        image.Type(5, TestImage::Ltr).GroupCount(22, 5, 2);
        image.Item(13, 5, [](datCh& b) { b.LtrHomeRpt = 1; });
        EXPECT_EQ(RunCheck(CL_Check_Ltr_Repeater), (Marks{false, false}));
        image.Item(13, 5, [](datCh& b) { b.LtrHomeRpt = 0; });
        EXPECT_EQ(RunCheck(CL_Check_Ltr_Repeater), (Marks{model == 0, false})) << model;
    }
}

}  // namespace
