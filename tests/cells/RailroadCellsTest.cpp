// The railroad plan's channel templates: fields of the template bytes, the
// NAC pair, the scrambler code by type, the columns that follow the radio's
// scan-list, talk-group and unit-ID settings, and greying by digital mode.
#include "cells/HandlerSupport.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "platform/base/RecordingCanvas.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> RailroadLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Lockout_LmrP25", "Flex0", {{0, "Off"}, {5, "Five"}, {31, "All"}}));
    add(ListSection("GI_Sheet_Sel_Mch_ScramOn", "Flex0", {{0, "Off"}, {1, "On"}, {2, "Switchable, off"}, {3, "Switchable, on"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Scan_List", "Flex0", {{0, "List 1"}, {4, "List 5"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Scan_ListSel", "Flex0", {{0, "Fixed"}, {1, "Selectable"}}));
    add(ListSection("GI_Sheet_Sel_Mch_DTMF_Dec", "Flex0", {{0, "Off"}, {1, "1"}, {2, "2"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Mdc_System_List", "Flex0", {{0, "0 (Sys 0)"}, {1, "1 (Sys 1)"}}));
    add(ListSection("GI_Sheet_Sel_Mch_2Tone", "Flex0", {{0, "Off"}, {1, "1"}, {10, "10"}}));
    add({"#GI_Sheet_Sel_Mch_CTone_Cells", "{(%Flex0[0])}67.0|{(%Flex0[1])}69.3|{(%Flex0[52])}Off|{(%FlexDtcs[53])}DTCS"});
    add({"#GI_AppItem_Ctcss", "67.0,69.3", "#"});
    add({"#GI_Sheet_Sel_TGList_Cells", "{!S}No.", ":(TG List)", "{(%Flex_TgIDList_ChNo[0])}", ":(End)"});
    return lines;
}

constexpr int T(int t, int byte) { return 302316 + 54 * t + byte; }

CellExecResult RunCell(Capsule& c) { return indActiveCell().Exec(&c.cap, 0); }

std::string Shown(int label, int t)
{
    auto cell = MakeCell(CT_Null, label, t);
    Capsule c(cell.get(), false);
    RunCell(c);
    return c.cap.Text;
}

void Typed(int label, int t, const std::string& text)
{
    auto cell = MakeCell(CT_Null, label, t);
    Capsule c(cell.get());
    c.Edit(text);
    RunCell(c);
}

void Key(int label, int t, int key)
{
    auto cell = MakeCell(CT_Null, label, t);
    Capsule c(cell.get());
    c.cap.Key = key;
    RunCell(c);
}

void Picked(int label, int t, int value)
{
    auto cell = MakeCell(CT_Null, label, t);
    Capsule c(cell.get());
    c.Pick(Flex0, value);
    RunCell(c);
}

TEST(RailroadTemplates, FieldsAreWrittenIntoTheirTemplateBytes)
{
    CellWorld world(RailroadLists());
    TestImage image(world.Image());
    image.Byte(T(1, 30), 0x03).Byte(T(1, 47), 0xF8).Byte(T(1, 33), 0x10);
    Picked(CL_AAR_Lockout, 1, 31);
    EXPECT_EQ(image.ReadU8(T(1, 30)), 0x0F);
    EXPECT_EQ(image.ReadU8(T(1, 47)), 0xFF);
    Picked(CL_AAR_Lockout, 1, 5);
    EXPECT_EQ(image.ReadU8(T(1, 30)), 0x07);
    EXPECT_EQ(image.ReadU8(T(1, 47)), 0xF9);
    EXPECT_EQ(Shown(CL_AAR_Lockout, 1), "Five");
    Picked(CL_AAR_Scrm_On, 1, 2);
    EXPECT_EQ(image.ReadU8(T(1, 33)), 0x50);
    Picked(CL_AAR_Compander, 1, 0);
    EXPECT_EQ(image.ReadU8(T(1, 33)), 0x40);
    // Decoders 1 and 10: the top ten bits of bytes 40-41.
    Key(CL_AAR_RxCNo2_Ltr, 1, '1');
    Key(CL_AAR_RxCNo2_Ltr, 1, '0');
    EXPECT_EQ(image.ReadU16(T(1, 40)), 0x8040);
    EXPECT_EQ(Shown(CL_AAR_RxCNo2_Ltr, 1), "1________0\n");
    // A DTMF decoder number switches the decoder on; 0 off.
    Typed(CL_AAR_RxCNoDtmf, 1, "2");
    EXPECT_EQ(image.ReadU8(T(1, 50)), 2);
    EXPECT_EQ(image.ReadU8(T(1, 48)) & 0x20, 0x20);
    Typed(CL_AAR_RxCNoDtmf, 1, "0");
    EXPECT_EQ(image.ReadU8(T(1, 48)) & 0x20, 0);
    image.Byte(T(1, 38), 0x80);
    Typed(CL_AAR_2Tone, 1, "10");
    EXPECT_EQ(image.ReadU8(T(1, 38)), 10) << "the whole byte takes the code";
    image.Byte(T(1, 38), 0x8A);
    EXPECT_EQ(Shown(CL_AAR_2Tone, 1), "10") << "bit 7 is no part of the code";
    // Tones: the receive tone of template 2 leaves its transmit tone.
    image.Byte(T(2, 8), 0x80).Byte(T(2, 10), 0x00).Byte(T(2, 11), 0x01);
    Typed(CL_AAR_CTone_R, 2, "67.0");
    EXPECT_EQ(image.ReadU16(T(2, 8)), 0x0000);
    EXPECT_EQ(image.ReadU16(T(2, 10)), 0x0001);
    EXPECT_EQ(Shown(CL_AAR_CTone_T, 2), "69.3");
    // The other templates are untouched.
    EXPECT_EQ(image.ReadU8(T(0, 30)), 0);
    EXPECT_EQ(image.ReadU8(T(2, 30)), 0);
    EXPECT_EQ(Shown(CL_AAR_Tot, 3), "") << "there are three templates";
}

TEST(RailroadTemplates, ATransmitNacEqualToTheReceiveNacFollowsIt)
{
    CellWorld world(RailroadLists());
    TestImage image(world.Image());
    image.U16(T(0, 26), 5).U16(T(0, 28), 5);
    Typed(CL_AAR_RxNac, 0, "6");
    EXPECT_EQ(image.ReadU16(T(0, 28)), 6);
    EXPECT_EQ(Shown(CL_AAR_TxNac, 0), "<-");
    Typed(CL_AAR_TxNac, 0, "7");
    EXPECT_EQ(image.ReadU16(T(0, 26)), 6);
    EXPECT_EQ(image.ReadU16(T(0, 28)), 7);
    EXPECT_EQ(Shown(CL_AAR_TxNac, 0), "7");
    Typed(CL_AAR_RxNac, 0, "8");
    EXPECT_EQ(image.ReadU16(T(0, 28)), 7) << "a different transmit NAC stays";
}

TEST(RailroadTemplates, TheScramblerCodeFollowsTheScramblerType)
{
    CellWorld world(RailroadLists());
    TestImage image(world.Image());
    image.Byte(T(0, 48), 0x80).Byte(T(0, 35), 20);  // type 2: 16 codes from 0
    EXPECT_EQ(Shown(CL_AAR_Scrm_Code, 0), "16");
    Typed(CL_AAR_Scrm_Code, 0, "3");
    EXPECT_EQ(image.ReadU8(T(0, 35)), 2);
    image.Byte(T(0, 48), 0x40);  // type 1: no code
    EXPECT_EQ(Shown(CL_AAR_Scrm_Code, 0), "----");
    Typed(CL_AAR_Scrm_Code, 0, "9");
    EXPECT_EQ(image.ReadU8(T(0, 35)), 2);
    image.Byte(T(0, 48), 0x00);
    Typed(CL_AAR_Scrm_Code, 0, "200");
    EXPECT_EQ(image.ReadU8(T(0, 35)), 200);
}

TEST(RailroadTemplates, ColumnsFollowTheRadiosSettings)
{
    CellWorld world(RailroadLists());
    TestImage image(world.Image());
    // Without scan lists both scan-list columns are dashes that take no keys.
    image.Byte(T(0, 13), 4);
    EXPECT_EQ(Shown(CL_AAR_Scan_List, 0), "----");
    EXPECT_EQ(Shown(CL_AAR_Scan_ListSel, 0), "---");
    Key(CL_AAR_Scan_ListSel, 0, cellkey::Space);
    EXPECT_EQ(image.ReadU8(T(0, 30)), 0);
    image.Byte(175680, 0x40);
    EXPECT_EQ(Shown(CL_AAR_Scan_List, 0), "List 5");
    Picked(CL_AAR_Scan_ListSel, 0, 1);
    EXPECT_EQ(image.ReadU8(T(0, 30)), 0x20);
    // One talk group for every channel: the global one is shown, keys do nothing.
    image.U16(T(1, 52), 9).Byte(197889, 0x01).U16(302526, 41);
    EXPECT_EQ(Shown(CL_AAR_TG_List, 1), "42");
    Typed(CL_AAR_TG_List, 1, "3");
    EXPECT_EQ(image.ReadU16(T(1, 52)), 9);
    image.Byte(197889, 0x00);
    EXPECT_EQ(Shown(CL_AAR_TG_List, 1), "10");
    Typed(CL_AAR_TG_List, 1, "3");
    EXPECT_EQ(image.ReadU16(T(1, 52)), 2);
    // A unit ID set for the radio is shown instead of the template's.
    image.U16(T(1, 44), 77).Byte(197890, 0xA0).U16(197860, 500).U16(197862, 600);
    EXPECT_EQ(Shown(CL_AAR_Unit_Dec, 1), "500****");
    image.Byte(197890, 0x80);
    EXPECT_EQ(Shown(CL_AAR_Unit_Dec, 1), "600");
    Typed(CL_AAR_Unit_Dec, 1, "12");
    EXPECT_EQ(image.ReadU16(T(1, 44)), 77);
    image.Byte(197890, 0x00);
    Typed(CL_AAR_Unit_Dec, 1, "12");
    EXPECT_EQ(image.ReadU16(T(1, 44)), 12);
}

TEST(RailroadTemplates, ColumnsGreyByTheTemplatesDigitalMode)
{
    CellWorld world(RailroadLists());
    TestImage image(world.Image());
    struct Case {
        int label;
        int mode;
        bool grey;
    };
    const Case cases[] = {
        {CL_AAR_Compander, 3, true}, {CL_AAR_Compander, 0, false}, {CL_AAR_RxNac, 0, true},
        {CL_AAR_RxNac, 3, false},    {CL_AAR_Mdc_System, 1, true}, {CL_AAR_Mdc_System, 0, false},
        {CL_AAR_CTone_R, 3, true},   {CL_AAR_Fast_Mute, 0, true},  {CL_AAR_Tot, 3, false},
    };
    for (const Case& k : cases) {
        image.Byte(T(2, 12), k.mode);
        auto cell = MakeCell(CT_Null, k.label, 2);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        RunCell(c);
        EXPECT_EQ(canvas.GetFont().color == plat::clSilver, k.grey) << k.label << " mode " << k.mode;
    }
}

}  // namespace
