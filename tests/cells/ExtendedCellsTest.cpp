// The extended setting cells on their bytes of the working image, and the
// user character cells that open the character editor and store its dots.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> ExtendedLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Exp_DtcsInv", "Flex0", {{0, "Normal"}, {1, "Inverted"}}));
    add(ListSection("GI_Sheet_Sel_Exp_ClShift", "Flex0", {{0, "Off"}, {1, "Shift 1"}, {2, "Shift 2"}, {3, "Shift 3"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable3", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_BattChangeType", "Flex0", {{0, "Manual"}, {1, "Automatic"}}));
    return lines;
}

struct CellRun {
    std::string text;
    CellExecResult result;
};

// The cell run with a key (0: drawn only) or a typed text.
CellRun Cell(int label, int key, const char* typed = nullptr, int category = CT_Null, int index = 0)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get());
    c.cap.Key = key;
    if (typed != nullptr) c.Edit(typed);
    const CellExecResult result = indActiveCell().Exec(&c.cap, 0);
    return {c.cap.Text, result};
}

} // namespace

TEST(ExtendedCells, ByteFieldsShowAndStoreTheirOwnBitsOnly)
{
    CellWorld world(ExtendedLists());
    TestImage image(world.Image());
    image.Byte(175682, 0xFE).Byte(175679, 0x40).Byte(175685, 0x00).Byte(147904, 0x10).Byte(175770, 0x00);
    image.Byte(175703, 25).Byte(175705, 7).Byte(175715, 0);

    struct Case {
        int label;
        const char* shown;
        int key;              // Space steps to the next entry
        int offset;
        int storedAfterKey;   // the whole byte
    };
    const Case cases[] = {
        {CL_Exp_ClShift, "Shift 2", ' ', 175682, 0xFF},
        {CL_Exp_BattTypeChange, "Enable", ' ', 175682, 0xF7},
        {CL_Exp_DtcsInv_Tx, "Normal", ' ', 175679, 0xC0},
        {CL_Exp_DtcsInv_Rx, "Inverted", ' ', 175679, 0x80},
        {CL_Exp_RxExo_On, "Off", ' ', 175685, 0x08},
        {CL_Exp_ToneMuteExPtt, "Off", ' ', 175685, 0x0C},
        {CL_Exp_Ignition, "Enable", ' ', 147904, 0x00},
        {CL_Exp_BattChangeMode, "Manual", ' ', 175770, 0x80},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cell(c.label, 0).text, c.shown) << c.label;
        Cell(c.label, c.key);
        EXPECT_EQ(image.ReadU8(c.offset), c.storedAfterKey) << c.label;
    }
    // Timer bytes: tenths and whole seconds; the delays show "off" at 0.
    EXPECT_EQ(Cell(CL_Exp_Emer_SwOnTimer, 0).text, "  2.500");
    EXPECT_EQ(Cell(CL_Exp_Emer_StartRepeat, 0).text, "  7.000");
    Cell(CL_Exp_Emer_SwOffTimer, 0, "1.2");
    EXPECT_EQ(image.ReadU8(175704), 12);
    for (int label : {CL_Exp_RxExo_Delay, CL_Exp_ExPttDelay}) {
        image.Byte(label == CL_Exp_RxExo_Delay ? 175715 : 175716, 0);
        EXPECT_EQ(Cell(label, 0).text, "Off") << CellLabelName(label);
    }
    Cell(CL_Exp_ExPttDelay, 0, "0.5");
    EXPECT_EQ(image.ReadU8(175716), 5);
}

TEST(ExtendedCells, FrequenciesAndTheIgnitionTimer)
{
    CellWorld world(ExtendedLists());
    TestImage image(world.Image());
    image.U16(175644, 10005).U16(175646, 20000).U16(177442, 885).Byte(175717, 3);

    // Beep frequencies are tenths of a hertz shown in whole hertz.
    EXPECT_EQ(Cell(CL_Exp_BeepFreq_Low, 0).text, "1000");
    Cell(CL_Exp_BeepFreq_Low, 0, "1000");
    EXPECT_EQ(image.ReadU16(175644), 10000);
    Cell(CL_Exp_BeepFreq_High, 0, "2750");
    EXPECT_EQ(image.ReadU16(175646), 27500);
    // The user tone: 60.0 to 300.0 Hz in tenths.
    EXPECT_EQ(Cell(CL_Exp_UserCtcss, 0).text, " 88.5");
    Cell(CL_Exp_UserCtcss, 0, "123.4");
    EXPECT_EQ(image.ReadU16(177442), 1234);
    // The ignition timer counts steps of 30 seconds, up to two hours.
    EXPECT_EQ(Cell(CL_Exp_IgnitionTimer, 0).text, " 1:30");
    Cell(CL_Exp_IgnitionTimer, 0, "120:00");
    EXPECT_EQ(image.ReadU8(175717), 240);
    Cell(CL_Exp_IgnitionTimer, 0, "200:00");
    EXPECT_EQ(image.ReadU8(175717), 240);
}

TEST(ExtendedCells, AUserCharacterCellOpensTheEditorWithItsDotsAndStoresWhatComesBack)
{
    // The 7-column set (view type 0) in the 7 x 19 layout.
    CellWorld world(ExtendedLists());
    TestImage image(world.Image());
    image.Byte(175682, 0x04);
    const CellRun opened = Cell(CL_CEdit, 13, nullptr, CT_CEdit, 2);
    EXPECT_EQ(opened.result, erPopupOpened);
    ASSERT_EQ(world.popups.calls.size(), 1u);
    const PopupCall& call = world.popups.calls[0];
    EXPECT_EQ(call.what, "char");
    EXPECT_EQ(call.across, 7);
    EXPECT_EQ(call.down, 19);
    EXPECT_EQ(call.size, 14);

    // The editor hands back a diagonal: one digit per dot, row by row.
    std::string dots(7 * 19, '0');
    for (int k = 0; k < 7; ++k) dots[size_t(k * 7 + k)] = '1';
    auto cell = MakeCell(CT_CEdit, CL_CEdit, 2);
    Capsule c(cell.get());
    c.Pick(Flex0, 0);
    c.cap.EditText = dots;
    indActiveCell().Exec(&c.cap, 0);
    const datCh record = image.Read(3, 2);
    // Column k holds its dot in row k: byte 3k + k / 8, bit 7 - k % 8.
    for (int k = 0; k < 7; ++k) EXPECT_EQ(record.CharBitmap[3 * k], 0x80 >> k) << k;
    EXPECT_EQ(record.CharBitmap[1], 0);
}
