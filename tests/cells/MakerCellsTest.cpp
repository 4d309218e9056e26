// The factory adjustment cells and the maker-mode word: what they show of
// the clone memory header, what they store, the ranges the battery
// thresholds give each other, and what shows outside the maker mode.
#include "tests/cells/CellWorld.h"

#include "cells/indActiveCell.h"
#include "core/CellNames.h"

#include <gtest/gtest.h>

namespace {

using namespace celltest;

std::vector<std::string> Lists()
{
    std::vector<std::string> lines;
    auto add = [&](std::vector<std::string> more) { lines.insert(lines.end(), more.begin(), more.end()); };
    add(ListSection("GI_Sheet_Sel_Maker_PllType", "Flex0", {{0, "Type 0"}, {1, "Type 1"}, {2, "Type 2"}, {3, "Type 3"}}));
    add(ListSection("GI_Sheet_Sel_Maker_DtcsPolar", "Flex0", {{0, "Normal"}, {1, "Reverse"}}));
    return lines;
}

std::string Show(int label)
{
    auto cell = MakeCell(CT_Null, label);
    Capsule c(cell.get(), false);
    indActiveCell().Exec(&c.cap, 0);
    return c.cap.Text;
}

void Type(int label, const std::string& text)
{
    auto cell = MakeCell(CT_Null, label);
    Capsule c(cell.get());
    c.Edit(text);
    indActiveCell().Exec(&c.cap, 1);
}

TEST(MakerCells, FieldsShowAndStoreTheHeaderBytes)
{
    CellWorld world{Lists()};
    world.Main().SetMakerMode(1);
    TestImage(world.Image())
        .Byte(11, 0x42)                 // DTCS TX polarity reversed, PLL type 2
        .Byte(35, 1)                    // DTCS decode 12
        .U32(16, uint32_t(-500000))     // IF frequency -0.5 MHz
        .U32(20, 12800000)              // PLL reference 12.8 MHz
        .U16(40, 1234)                  // VCO control 123.4
        .Byte(73, 200);                 // squelch level A

    struct Case {
        int label;
        std::string shown;
    } const cases[] = {
        {CL_Maker_Pll_Type, "Type 2"},
        {CL_Maker_Dtcs_TxPolar, "Reverse"},
        {CL_Maker_Dtcs_RxPolar, "Normal"},
        {CL_Maker_Dtcs_Decode, "12"},
        {CL_Maker_IfFreq, " -0.5000"},
        {CL_Maker_Pll_Reference, " 12.8000"},
        {CL_Maker_Sql_Level_A, "200"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CellLabelName(c.label));
        EXPECT_EQ(Show(c.label), c.shown);
    }

    Type(CL_Maker_Dtcs_Decode, "23");
    EXPECT_EQ(TestImage(world.Image()).ReadU8(35), 12);
    Type(CL_Maker_IfFreq, "45.1");
    EXPECT_EQ(int32_t(uint32_t(TestImage(world.Image()).ReadU16(16)) << 16 | TestImage(world.Image()).ReadU16(18)),
              45100000);
    Type(CL_Maker_VcoControl, "799.9");
    EXPECT_EQ(TestImage(world.Image()).ReadU16(40), 7999);
    Type(CL_Maker_Sql_Level_G, "17");
    EXPECT_EQ(TestImage(world.Image()).ReadU8(79), 17);
}

TEST(MakerCells, BatteryThresholdsKeepTheirDistanceFromEachOther)
{
    CellWorld world{Lists()};
    world.Main().SetMakerMode(1);
    TestImage(world.Image()).Byte(64, 150).Byte(65, 100).Byte(66, 20);

    // Normal low 1 lies between low 2 + 7 and 245, low 2 between low 3 + 1
    // and low 1 - 7.
    struct Case {
        int label;
        int offset;
        const char* typed;
        int stored;
    } const cases[] = {
        {CL_Maker_Liion_Normal_Low1, 64, "107", 107},
        {CL_Maker_Liion_Normal_Low1, 64, "245", 245},
        {CL_Maker_Liion_Normal_Low1, 64, "150", 150},
        {CL_Maker_Liion_Normal_Low2, 65, "21", 21},
        {CL_Maker_Liion_Normal_Low2, 65, "143", 143},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Type(c.label, c.typed);
        EXPECT_EQ(TestImage(world.Image()).ReadU8(c.offset), c.stored);
    }
    // Values past the bounds never reach the byte as typed.
    Type(CL_Maker_Liion_Normal_Low1, "106");
    EXPECT_GE(TestImage(world.Image()).ReadU8(64), 150); // low 2 is 143 now
    Type(CL_Maker_Liion_Normal_Low2, "144");
    EXPECT_LE(TestImage(world.Image()).ReadU8(65), 143);

    // A damaged pair whose range is inverted shows the value and takes no
    // input.
    TestImage(world.Image()).Byte(70, 3).Byte(71, 9);
    EXPECT_EQ(Show(CL_Maker_Liion_Dry_Low2), "9");
    Type(CL_Maker_Liion_Dry_Low2, "0");
    EXPECT_EQ(TestImage(world.Image()).ReadU8(71), 9);
}

TEST(MakerCells, VoltageBandsFollowTheThresholds)
{
    CellWorld world{Lists()};
    world.Main().SetMakerMode(1);
    TestImage(world.Image()).Byte(64, 149).Byte(65, 100).Byte(66, 20).Byte(71, 50);
    EXPECT_EQ(Show(CL_Maker_Liion_Normal_DispNormal), "[9.84V] - [5.88V]");
    EXPECT_EQ(Show(CL_Maker_Liion_Normal_DispLow1), "[6.00V] - [3.96V]");
    EXPECT_EQ(Show(CL_Maker_Liion_Normal_DispLow3), "[0.78V] - [0.00V]");
    EXPECT_EQ(Show(CL_Maker_Liion_Dry_DispLow2), "[2.16V] - [0.00V]");
}

TEST(MakerCells, OutsideTheMakerModeTheMakerOnlyCellsShowNothingAndTakeNoInput)
{
    CellWorld world{Lists()};
    TestImage(world.Image()).Byte(73, 200).Byte(64, 149);
    EXPECT_EQ(Show(CL_Maker_Sql_Level_A), "");
    EXPECT_EQ(Show(CL_Maker_Liion_Normal_DispNormal), "");
    EXPECT_EQ(Show(CL_Maker_Liion_Normal_Low1), "");
    Type(CL_Maker_Sql_Level_A, "5");
    EXPECT_EQ(TestImage(world.Image()).ReadU8(73), 200);
    // The word is hidden.
    EXPECT_EQ(Show(CL_Maker_Password), "----------------");
    Type(CL_Maker_Password, "secret12");
    EXPECT_EQ(world.Environ().MakerWord, "marlock");
    // Cells without the maker mark work in either mode.
    EXPECT_EQ(Show(CL_Maker_Dtcs_Decode), "11");
}

TEST(MakerCells, TheMakerWordTakesFourToEightCharacters)
{
    CellWorld world{Lists()};
    world.Main().SetMakerMode(1);
    EXPECT_EQ(Show(CL_Maker_Password), "marlock");
    Type(CL_Maker_Password, "abc");
    EXPECT_EQ(world.Environ().MakerWord, "marlock");
    Type(CL_Maker_Password, "factory8");
    EXPECT_EQ(world.Environ().MakerWord, "factory8");
    Type(CL_Maker_Password, "wxyz");
    EXPECT_EQ(world.Environ().MakerWord, "wxyz");
}

} // namespace
