// The memory channel columns: what a stored channel shows, what typed or
// picked input stores, what is refused; the empty row that adds a channel;
// the marks of PMR channels with MSK signalling and of dangling list
// references; columns that grey or do not apply.
#include "cells/ValueHandlers.h"
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

#include <functional>

using namespace celltest;

namespace {

std::vector<std::string> ChannelLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Nar", "Flex0", {{0, "Wide"}, {1, "Narrow"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Lockout_LmrP25", "Flex0", {{0, "Off"}, {1, "Busy"}, {2, "Repeater"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Lockout_Pmr", "Flex0", {{0, "None"}, {2, "Carrier"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Sel", "FlexMark", {{0, "Off"}, {1, "Own ID"}, {2, "Group"}, {3, "All"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Moni", "FlexMark", {{0, "Open"}, {6, "Signalling"}, {7, "Signalling 2"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Call", "FlexMark", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Ptt", "FlexMark", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Mch_ChMute", "FlexMark", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Scan_List", "Flex0", {{0, "List 1"}, {5, "List 6"}}));
    add(ListSection("GI_Sheet_Sel_Mch_ScramType", "Flex0", {{0, "Type A"}, {1, "None"}, {2, "16 codes"}, {3, "Type B"}}));
    add(ListSection("GI_Sheet_Sel_RxC_AbcCode", "Flex1", {{1, "1"}, {2, "2"}, {32, "32"}}));
    add(ListSection("GI_Sheet_Sel_Mch_DTMF_Dec", "Flex0", {{0, "Off"}, {1, "1"}, {2, "2"}}));
    // The entry that stands for a number comes first on the last line; the
    // numbers one to a line.
    add({"#GI_Sheet_Sel_Mch_Msk_Rpt_1st_Pmr_Cells", "{(%Flex0[0])}Off", "{(%Flex0[255])}None", "{(%Flex0[1])}Number"});
    add({"#GI_Sheet_Sel_Mch_Msk_Rpt_2nd_Cells", "{(%Flex1[1])}1", "{(%Flex1[2])}2", "{(%Flex1[32])}32"});
    add(ListSection("GI_Sheet_Sel_Mch_LTone", "Flex0", {{0, "-"}, {1, "L"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Dig_Signal", "Flex0", {{0, "Analog"}, {1, "Mixed"}, {2, "Digital"}, {3, "Digital only"}}));
    add({"#GI_Sheet_Sel_Mch_CTone_Cells", "{(%Flex0[0])}67.0|{(%Flex0[1])}69.3|{(%Flex0[52])}Off|{(%FlexDtcs[53])}DTCS"});
    add({"#GI_AppItem_Ctcss", "67.0,69.3", "#"});
    // ID pick lists repeat one row for the entries in use.
    for (auto [key, label] : {std::pair{"GI_Sheet_Sel_IndList", "Flex_InvIDList_ChNo"},
                              {"GI_Sheet_Sel_IndList_ZEPH", "Flex_InvIDList_ZEPH_ChNo"}}) {
        add({std::string("#") + key + "_Cells", "{!S}No.", ":(Ind List)", std::string("{(%") + label + "[0])}", ":(End)"});
    }
    add({"#GI_NewChTitle", "New"});
    add({"#GI_AppMess_ChErr_Overflow", "No more channels fit into the radio's memory.", "#"});
    return lines;
}

CellExecResult RunCell(Capsule& c, int notify = 0) { return indActiveCell().Exec(&c.cap, notify); }

// What a cell shows when it is drawn.
std::string Shown(cmcCellObj* cell)
{
    Capsule c(cell, false);
    RunCell(c);
    return c.cap.Text;
}

// Bank 0 holds four channels; channel 1 is the one the cases set up.
struct ChannelWorld {
    explicit ChannelWorld(int modelType = 0) : world(ChannelLists(), modelType)
    {
        TestImage(world.Image()).BankCounts({4, 2});
        for (int n = 0; n < 6; ++n) TestImage(world.Image()).Channel(n, 146000000 + 25000 * n);
        world.currentBank = 0;
    }
    datCh Channel(int n = 1) { return TestImage(world.Image()).Read(MchRecordKind(), n); }
    void SetChannel(const std::function<void(datCh&)>& fill, int n = 1)
    {
        TestImage(world.Image()).Item(MchRecordKind(), n, [&](datCh& ch) {
            ch.Clear();
            ch.RxFreq = ch.TxFreq = 146520000;
            fill(ch);
        });
    }
    CellWorld world;
};

struct ColumnCase {
    const char* what;
    int label;
    std::function<void(datCh&)> stored;
    std::function<void(TestImage&)> settings;  // working-image settings, or none
    const char* typed;                         // in-place edited text, or none
    int pickLabel;                             // a list entry picked (with pickIndex), or 0
    int pickIndex;
    std::string shown;                         // drawn afterwards
    std::function<bool(const datCh&)> after;   // the channel afterwards
};

void CheckColumns(ChannelWorld& w, const std::vector<ColumnCase>& cases)
{
    for (const ColumnCase& k : cases) {
        SCOPED_TRACE(k.what);
        w.world.Image().Fill(0);
        TestImage image(w.world.Image());
        image.BankCounts({4, 2});
        if (k.settings) k.settings(image);
        w.SetChannel(k.stored);
        auto cell = MakeCell(CT_Mch, k.label, 1);
        if (k.typed || k.pickLabel) {
            Capsule c(cell.get());
            if (k.typed) c.Edit(k.typed);
            if (k.pickLabel) c.Pick(k.pickLabel, k.pickIndex);
            RunCell(c);
        }
        EXPECT_EQ(Shown(cell.get()), k.shown);
        EXPECT_TRUE(k.after(w.Channel()));
    }
}

auto Unchanged = [](const datCh&) { return true; };

TEST(ChannelColumns, StoredValuesShowAndInputIsStoredWithinItsRange)
{
    ChannelWorld w;
    auto slaveScan = [](TestImage& i) { i.Byte(175680, 0x40); };
    const std::vector<ColumnCase> cases = {
        {"receive frequency", CL_Mch_FreqR, [](datCh&) {}, nullptr, nullptr, 0, 0, "146.520000", Unchanged},
        {"typed receive frequency", CL_Mch_FreqR, [](datCh& c) { c.TxFreq = 147000000; }, nullptr, "155.0125", 0, 0,
         "155.012500", [](const datCh& c) { return c.RxFreq == 155012500 && c.TxFreq == 147000000; }},
        {"no frequency in the text", CL_Mch_FreqR, [](datCh&) {}, nullptr, "abc", 0, 0, "146.520000",
         [](const datCh& c) { return c.RxFreq == 146520000; }},
        {"transmit equal to receive", CL_Mch_FreqT, [](datCh&) {}, nullptr, nullptr, 0, 0, "<-", Unchanged},
        {"name", CL_Mch_Text, [](datCh&) {}, nullptr, "HOME", 0, 0, "HOME",
         [](const datCh& c) { return std::string(c.Text, 12) == "HOME        "; }},
        {"narrow", CL_Mch_Nar, [](datCh& c) { c.ChFlagsB.Nar = 1; }, nullptr, nullptr, 0, 0, "Narrow", Unchanged},
        {"wide picked", CL_Mch_Nar, [](datCh& c) { c.ChFlagsB.Nar = 1; }, nullptr, nullptr, Flex0, 0, "Wide",
         [](const datCh& c) { return c.ChFlagsB.Nar == 0; }},
        {"lockout from the LMR list", CL_Mch_Lockout, [](datCh& c) { c.Lockout = 2; }, nullptr, nullptr, 0, 0,
         "Repeater", Unchanged},
        {"scan lists 1, 10 and 17", CL_Mch_Scan, [](datCh& c) { c.ScanMask = (1u << 16) | (1u << 7) | 1u; }, nullptr,
         nullptr, 0, 0, "1________A______Z\n", Unchanged},
        {"16-code scrambler counts from 0", CL_Mch_Scrm_Code,
         [](datCh& c) {
             c.Scrm.ScrmType = 2;
             c.ScrmCode = 4;
         },
         nullptr, nullptr, 0, 0, "5", Unchanged},
        {"16-code scrambler above its range", CL_Mch_Scrm_Code, [](datCh& c) { c.Scrm.ScrmType = 2; }, nullptr, "20", 0,
         0, "16", [](const datCh& c) { return c.ScrmCode == 15; }},
        {"scrambler above the byte", CL_Mch_Scrm_Code, [](datCh& c) { c.Scrm.ScrmType = 3; }, nullptr, "300", 0, 0,
         "255", [](const datCh& c) { return c.ScrmCode == 255; }},
        {"scrambler without codes", CL_Mch_Scrm_Code, [](datCh& c) { c.Scrm.ScrmType = 1; }, nullptr, "9", 0, 0, "----",
         [](const datCh& c) { return c.ScrmCode == 0; }},
        {"receive NAC takes the equal transmit NAC along, within 0-63", CL_Mch_RxNac,
         [](datCh& c) { c.RxNac = c.TxNac = 5; }, nullptr, "70", 0, 0, "63",
         [](const datCh& c) { return c.RxNac == 63 && c.TxNac == 63; }},
        {"a different transmit NAC stays", CL_Mch_RxNac,
         [](datCh& c) {
             c.RxNac = 5;
             c.TxNac = 9;
         },
         nullptr, "7", 0, 0, "7", [](const datCh& c) { return c.RxNac == 7 && c.TxNac == 9; }},
        {"transmit NAC equal to receive", CL_Mch_TxNac, [](datCh& c) { c.RxNac = c.TxNac = 5; }, nullptr, nullptr, 0,
         0, "<-", Unchanged},
        {"unit ID within the overlay's limit", CL_Mch_Unit_Dec, [](datCh&) {}, nullptr, "99999", 0, 0, "65519",
         [](const datCh& c) { return c.UnitDec == 65519; }},
        {"individual ID reference counts from 1", CL_Mch_Ind_List, [](datCh& c) { c.IndList = 4; }, nullptr, nullptr,
         0, 0, "5", Unchanged},
        {"typed entry number", CL_Mch_Ind_List, [](datCh&) {}, nullptr, "12", 0, 0, "12",
         [](const datCh& c) { return c.IndList == 11; }},
        {"entry number past the list's size", CL_Mch_Ind_List, [](datCh&) {}, nullptr, "900", 0, 0, "500",
         [](const datCh& c) { return c.IndList == 499; }},
        {"picked entry", CL_Mch_Ind_List, [](datCh&) {}, nullptr, nullptr, Flex_InvIDList_ChNo, 3, "4",
         [](const datCh& c) { return c.IndList == 3; }},
        {"one talk group for every channel", CL_Mch_TG_List, [](datCh& c) { c.TgList = 2; },
         [](TestImage& i) { i.Byte(197889, 1).U16(302526, 41); }, "7", 0, 0, "42",
         [](const datCh& c) { return c.TgList == 2; }},
        {"fleet within 1-30", CL_Mch_ZEPH_Fleet_Dec, [](datCh& c) { c.ZephFleetDec = 3; }, nullptr, "31", 0, 0, "30",
         [](const datCh& c) { return c.ZephFleetDec == 30; }},
        {"fleet of the multisite system", CL_Mch_ZEPH_Fleet_Dec, [](datCh& c) { c.ZephFleetDec = 3; },
         [](TestImage& i) { i.Byte(303639, 0x20).Byte(303648, 7); }, "12", 0, 0, " 7",
         [](const datCh& c) { return c.ZephFleetDec == 3; }},
        {"scan list outside slave scan", CL_Mch_Scan_List, [](datCh& c) { c.ScanList = 5; }, nullptr, nullptr, Flex0, 0,
         "----", [](const datCh& c) { return c.ScanList == 5; }},
        {"scan list in slave scan", CL_Mch_Scan_List, [](datCh& c) { c.ScanList = 5; }, slaveScan, nullptr, 0, 0,
         "List 6", Unchanged},
        {"a DTMF decoder number switches the decoder on", CL_Mch_RxCNoDtmf, [](datCh&) {}, nullptr, nullptr, Flex0, 2,
         "2", [](const datCh& c) { return c.RxCNoDtmf == 2 && c.DtmfDec == 1; }},
        {"and number 0 off", CL_Mch_RxCNoDtmf,
         [](datCh& c) {
             c.RxCNoDtmf = 2;
             c.DtmfDec = 1;
         },
         nullptr, nullptr, Flex0, 0, "Off", [](const datCh& c) { return c.RxCNoDtmf == 0 && c.DtmfDec == 0; }},
    };
    CheckColumns(w, cases);
}

TEST(ChannelColumns, PmrColumnsOfSignallingAndMsk)
{
    ChannelWorld w(1);
    auto msk = [](datCh& c) { c.ChFlagsF.MskSig = 1; };
    const std::vector<ColumnCase> cases = {
        {"lockout from the PMR list", CL_Mch_Lockout_Pmr, [](datCh& c) { c.Lockout = 2; }, nullptr, nullptr, 0, 0,
         "Carrier", Unchanged},
        {"repeater code without MSK", CL_Mch_Rpt_C, [](datCh& c) { c.RptC = 2; }, nullptr, nullptr, 0, 0, "2", Unchanged},
        {"repeater code with MSK", CL_Mch_Rpt_C, msk, nullptr, nullptr, 0, 0, "----", Unchanged},
        {"repeater code with MSK and no MSK repeater", CL_Mch_Rpt_C,
         [](datCh& c) {
             c.ChFlagsF.MskSig = c.ChFlagsF.MskRptNone = 1;
             c.RptC = 32;
         },
         nullptr, nullptr, 0, 0, "32", Unchanged},
        {"station code with MSK", CL_Mch_Stn_L, msk, nullptr, nullptr, 0, 0, "-", Unchanged},
        {"MSK repeater without MSK", CL_Mch_Msk_Rpt, [](datCh&) {}, nullptr, "7", 0, 0, "----",
         [](const datCh& c) { return c.RptC == 0; }},
        {"MSK repeater typed", CL_Mch_Msk_Rpt, msk, nullptr, "7", 0, 0, "7",
         [](const datCh& c) { return c.RptC == 7 && !c.ChFlagsF.MskRptNone; }},
        {"MSK repeater past the highest number", CL_Mch_Msk_Rpt, msk, nullptr, "300", 0, 0, "32",
         [](const datCh& c) { return c.RptC == 32; }},
        {"no MSK repeater is a flag, the code stays", CL_Mch_Msk_Rpt,
         [](datCh& c) {
             c.ChFlagsF.MskSig = 1;
             c.RptC = 3;
         },
         nullptr, nullptr, Flex0, 255, "None", [](const datCh& c) { return c.RptC == 3 && c.ChFlagsF.MskRptNone; }},
        {"MSK decoder numbers keep bit 7", CL_Mch_Msk_RxCNo, [](datCh& c) { c.MskRxCNo = 0x81; }, nullptr, nullptr, 0,
         0, "______7\n", Unchanged},
    };
    CheckColumns(w, cases);

    // Toggling item 1 sets value bit 6; bit 7 stays.
    w.SetChannel([](datCh& c) { c.MskRxCNo = 0x81; });
    auto cell = MakeCell(CT_Mch, CL_Mch_Msk_RxCNo, 1);
    Capsule c(cell.get());
    c.cap.Key = '1';
    RunCell(c);
    EXPECT_EQ(w.Channel().MskRxCNo, 0xC1u);
}

TEST(ChannelColumns, PlanFlagFollowsTheTransmitFrequency)
{
    ChannelWorld w;
    w.SetChannel([](datCh& c) {
        c.RxFreq = 150000000;
        c.TxFreq = 150500000;
    });
    auto rx = MakeCell(CT_Mch, CL_Mch_FreqR, 1);
    auto tx = MakeCell(CT_Mch, CL_Mch_FreqT, 1);
    Capsule a(rx.get());
    a.Edit("156.050");
    RunCell(a);
    EXPECT_EQ(w.Channel().RxFreq, 156050000);
    EXPECT_FALSE(w.Channel().ChFlagsB.Plan156);
    Capsule b(tx.get());
    b.Edit("156.050");
    RunCell(b);
    EXPECT_TRUE(w.Channel().ChFlagsB.Plan156);
    // And leaves it when the transmit frequency leaves the plan.
    Capsule d(tx.get());
    d.Edit("156.040");
    RunCell(d);
    EXPECT_FALSE(w.Channel().ChFlagsB.Plan156);
}

TEST(ChannelColumns, ScramblerTypeKeepsTheShownCodeWithinTheByte)
{
    ChannelWorld w;
    auto type = MakeCell(CT_Mch, CL_Mch_Scrm_Type, 1);
    auto code = MakeCell(CT_Mch, CL_Mch_Scrm_Code, 1);
    struct Case {
        int typeBefore, codeBefore, typeAfter, codeAfter;
        std::string shown;
    };
    const Case cases[] = {
        {2, 4, 3, 5, "5"},     // code 5 of the 16 codes is stored as 4
        {0, 5, 2, 4, "5"},
        {2, 4, 2, 4, "5"},     // the same type picked again moves nothing
        {0, 0, 2, 0, "1"},     // never below 0
        {2, 255, 0, 255, "255"}, // never above 255
    };
    for (const Case& k : cases) {
        w.SetChannel([&](datCh& c) {
            c.Scrm.ScrmType = k.typeBefore;
            c.ScrmCode = uint32_t(k.codeBefore);
        });
        Capsule c(type.get());
        c.Pick(Flex0, k.typeAfter);
        RunCell(c);
        EXPECT_EQ(w.Channel().Scrm.ScrmType, k.typeAfter);
        EXPECT_EQ(w.Channel().ScrmCode, uint32_t(k.codeAfter)) << k.typeBefore << "->" << k.typeAfter;
        EXPECT_EQ(Shown(code.get()), k.shown);
    }
}

TEST(ChannelColumns, PmrChannelsWithMskSignallingAreMarked)
{
    struct Case {
        int label;
        int value;
        bool msk;
        bool error;
        bool warning;
    };
    const Case cases[] = {
        {CL_Mch_Sel, 0, true, true, false},   {CL_Mch_Sel, 1, true, false, false},
        {CL_Mch_Sel, 0, false, false, false}, {CL_Mch_Moni, 6, true, false, false},
        {CL_Mch_Moni, 7, true, false, false}, {CL_Mch_Moni, 0, true, false, true},
        {CL_Mch_Call, 1, true, true, false},  {CL_Mch_Call, 0, true, false, false},
        {CL_Mch_PTT, 1, true, true, false},   {CL_Mch_CH_Mute, 0, true, false, true},
        {CL_Mch_CH_Mute, 1, true, false, false},
    };
    for (int model : {0, 1}) {
        ChannelWorld w(model);
        for (const Case& k : cases) {
            w.SetChannel([&](datCh& c) {
                c.ChFlagsF.MskSig = k.msk;
                c.ChFlagsD.Sel = k.label == CL_Mch_Sel ? k.value : 1;
                c.ChFlagsC.Moni = k.label == CL_Mch_Moni ? k.value : 6;
                c.ChFlagsD.Call = k.label == CL_Mch_Call ? k.value : 0;
                c.ChFlagsD.PTT = k.label == CL_Mch_PTT ? k.value : 0;
                c.ChFlagsD.ChMute = k.label == CL_Mch_CH_Mute ? k.value : 1;
            });
            auto cell = MakeCell(CT_Mch, k.label, 1);
            Capsule c(cell.get(), false);
            RunCell(c);
            // LMR channels have no MSK signalling.
            EXPECT_EQ(c.cap.ErrorMark, model == 1 && k.error) << CellLabelName(k.label) << " " << k.value;
            EXPECT_EQ(c.cap.WarningMark, model == 1 && k.warning) << CellLabelName(k.label) << " " << k.value;
            // The check list sees the same marks.
            EXPECT_EQ(indActiveCell::CellError(CT_Mch_Check, k.label, 1), model == 1 && k.error);
        }
    }
}

TEST(ChannelColumns, ReferencesPastTheEndOfTheirListAreErrorsOnActiveChannels)
{
    ChannelWorld w;
    TestImage image(w.world.Image());
    image.Type(1, TestImage::Zeph).IdListCount(28, 3).IdListCount(18, 3);
    // Bank 1 (channels 4 and 5) is a ZEPH bank; channel 5 has no unit and is
    // not active there.
    image.Item(1, 4, [](datCh& c) {
        c.ZephUnit = 12;
        c.IndList = 3;
    });
    image.Item(1, 5, [](datCh& c) {
        c.ZephUnit = 0;
        c.IndList = 3;
    });
    image.Item(1, 1, [](datCh& c) { c.IndList = 3; });
    image.Item(1, 2, [](datCh& c) { c.IndList = 2; });
    EXPECT_TRUE(indActiveCell::CellError(CT_Mch_Check, CL_Mch_ZEPH_Ind_List, 4));
    EXPECT_FALSE(indActiveCell::CellError(CT_Mch_Check, CL_Mch_ZEPH_Ind_List, 5));
    // The digital list of a conventional channel.
    EXPECT_TRUE(indActiveCell::CellError(CT_Mch_Check, CL_Mch_Ind_List, 1));
    EXPECT_FALSE(indActiveCell::CellError(CT_Mch_Check, CL_Mch_Ind_List, 2));
    // A ZEPH channel's reference is not judged against the digital list.
    EXPECT_FALSE(indActiveCell::CellError(CT_Mch_Check, CL_Mch_Ind_List, 4));
}

TEST(ChannelColumns, ColumnsThatDoNotApplyAreDrawnGrey)
{
    ChannelWorld w;
    struct Case {
        int label;
        int digitalMode;
        bool grey;
    };
    const Case cases[] = {
        {CL_Mch_Nar, 3, true},        {CL_Mch_Nar, 2, false},     {CL_Mch_CTone_T, 2, true},
        {CL_Mch_CTone_R, 2, false},   {CL_Mch_RxNac, 0, true},    {CL_Mch_RxNac, 1, false},
        {CL_Mch_Ind_List, 1, true},   {CL_Mch_Ind_List, 2, false}, {CL_Mch_Scan_List, 0, true},
    };
    for (const Case& k : cases) {
        w.SetChannel([&](datCh& c) { c.ChFlagsF.DigSig = k.digitalMode; });
        auto cell = MakeCell(CT_Mch, k.label, 1);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        RunCell(c);
        EXPECT_EQ(canvas.GetFont().color == plat::clSilver, k.grey) << CellLabelName(k.label) << " " << k.digitalMode;
    }
}

TEST(ChannelColumns, UnitIdsThatAreSetForAllChannelsShowAndTakeNoInput)
{
    ChannelWorld w;
    TestImage image(w.world.Image());
    image.Byte(197890, 0xA0).U16(197860, 123);  // global and automatic
    w.SetChannel([](datCh& c) { c.UnitDec = 9; });
    auto cell = MakeCell(CT_Mch, CL_Mch_Unit_Dec, 1);
    EXPECT_EQ(Shown(cell.get()), "123****");
    Capsule c(cell.get());
    c.Edit("77");
    RunCell(c);
    EXPECT_EQ(w.Channel().UnitDec, 9u);
    image.Byte(197890, 0x80).U16(197862, 4001);
    EXPECT_EQ(Shown(cell.get()), "4001");
}

TEST(ChannelColumns, TrunkUnitIdsMarkTheChannelInUse)
{
    ChannelWorld w;
    TestImage image(w.world.Image());
    image.Type(0, TestImage::Zeph);
    auto unit = MakeCell(CT_Mch, CL_Mch_ZEPH_Unit_Dec, 1);

    // Own unit IDs: 0 is not stored; another number is, and every cell repaints.
    w.SetChannel([](datCh& c) { c.ZephUnit = 5; });
    Capsule zero(unit.get());
    zero.Edit("0");
    RunCell(zero);
    EXPECT_EQ(w.Channel().ZephUnit, 5u);
    Capsule twelve(unit.get());
    twelve.Edit("2500");
    RunCell(twelve);
    EXPECT_EQ(w.Channel().ZephUnit, 2000u);
    w.world.Pump();
    EXPECT_EQ(w.world.PostedOf(ev::RepaintLabelled).size(), 1u);
    w.SetChannel([](datCh& c) { c.ZephUnit = 0; });
    EXPECT_EQ(Shown(unit.get()), "");

    // Unit IDs of the system: shown, and a key puts the channel in use.
    image.Byte(243067, 0x60).U16(243072, 300);
    EXPECT_EQ(Shown(unit.get()), "");  // not in use yet
    Capsule typed(unit.get());
    typed.cap.Key = '4';
    RunCell(typed);
    EXPECT_EQ(w.Channel().ZephUnit, 1u);
    EXPECT_EQ(Shown(unit.get()), "300***");
}

// ---- New channels ----

struct NewChannels : ::testing::Test {
    NewChannels()
    {
        // Bank 0 holds two channels, bank 1 one channel that follows them.
        TestImage(world.Image()).BankCounts({2, 1}).Channel(0, 146000000).Channel(1, 146025000).Channel(2, 440000000);
        world.currentBank = 0;
        world.Main().Pack(world.Image());
    }
    CellExecResult Type(int index, int key, int label = CL_Mch_FreqR)
    {
        auto cell = MakeCell(CT_Mch, label, index);
        Capsule c(cell.get());
        c.cap.Key = key;
        const CellExecResult r = RunCell(c);
        text = c.cap.Text;
        return r;
    }
    CellWorld world{ChannelLists()};
    plat::ScopedDialogScript dialogs;
    std::string text;
};

TEST_F(NewChannels, AKeyInTheEmptyRowAppendsAChannelToTheBank)
{
    auto number = MakeCell(CT_Null, CL_Mch_No, 2);
    EXPECT_EQ(Shown(number.get()), "New");
    auto freq = MakeCell(CT_Mch, CL_Mch_FreqR, 2);
    EXPECT_EQ(Shown(freq.get()), "");  // bank 1's channel is not shown in the empty row

    EXPECT_EQ(Type(2, '1'), erStartEdit);
    EXPECT_EQ(text, "1");
    const std::vector<PostedEvent> inserts = world.SentOf(ev::InsertChannel);
    ASSERT_EQ(inserts.size(), 1u);
    EXPECT_EQ(inserts[0].p1, 0);
    EXPECT_EQ(inserts[0].p2, 2);
    EXPECT_EQ(BankChannelCount(0), 3);
    EXPECT_EQ(Shown(number.get()), "1-  3");
    // The channel of the next bank moved up with its bank.
    EXPECT_EQ(TestImage(world.Image()).Read(1, 3).RxFreq, 440000000);

    Capsule typed(freq.get());
    typed.Edit("146.050");
    RunCell(typed);
    EXPECT_EQ(TestImage(world.Image()).Read(1, 2).RxFreq, 146050000);
    EXPECT_EQ(Shown(freq.get()), "146.050000");
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(NewChannels, OnlyTheRowAfterTheBankAndOnlyEntryKeysAddChannels)
{
    EXPECT_EQ(Type(2, 'x'), erNothing);   // not a key that starts a channel
    EXPECT_EQ(Type(3, '1'), erNothing);   // a row further down is not the empty row
    auto freq = MakeCell(CT_Mch, CL_Mch_FreqR, 2);
    Capsule drawn(freq.get(), false);
    drawn.cap.Key = '1';                  // no grid: keys do not apply
    RunCell(drawn);
    EXPECT_TRUE(world.sent.empty());
    EXPECT_EQ(BankChannelCount(0), 2);
}

TEST_F(NewChannels, AddingStopsAtTheLastChannelTheRadioHolds)
{
    // Bank 1 takes every channel but two of the 512.
    TestImage(world.Image()).BankCount(1, WorkTables::Channels - 4);
    world.Main().Pack(world.Image());
    EXPECT_EQ(Type(2, '5'), erStartEdit);
    EXPECT_EQ(Type(3, '5'), erStartEdit);
    EXPECT_EQ(UsedChannelCount(), WorkTables::Channels);
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(Type(4, '5'), erNothing);
    EXPECT_EQ(BankChannelCount(0), 4);
    EXPECT_EQ(world.SentOf(ev::InsertChannel).size(), 2u);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "No more channels fit into the radio's memory.");
    EXPECT_EQ(dialogs.Boxes()[0].caption, "Radio Programmer");
    EXPECT_EQ(dialogs.Boxes()[0].Icon(), plat::MB_ICONERROR);
    EXPECT_EQ(text, "");  // the key went nowhere
}

TEST_F(NewChannels, AFullCloneMemoryRefusesTheChannel)
{
    // The packed data end just below the memory's limit.
    TestImage(world.Image()).U32(EepromMap::End32, 0x1FF7F - 10);
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(Type(2, ' '), erNothing);
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_TRUE(world.sent.empty());
    EXPECT_EQ(BankChannelCount(0), 2);
}

}  // namespace
