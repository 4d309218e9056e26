// Every cell of the setting pages drawn over damaged settings (every byte
// 0xFF: values past their lists and ranges) and over cleared ones: the
// cells show something, open no box and write nothing.
#include "cells/CellFamilies.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/SettingCells.h"

#include <gtest/gtest.h>

using namespace celltest;
using namespace settingtest;

namespace {

// The working-table areas the setting cells read.
constexpr std::pair<int, int> kSettingAreas[] = {
    {147880, 147906}, {148174, 148174}, {175634, 176151}, {179464, 179464 + 34 * 17 - 1}, {181251, 181307},
    {182039, 182063}, {197854, 197916}, {242414, 242425}, {302478, 302540}, {303588, 303591}, {325616, 325694},
};

int CategoryOf(int label)
{
    if (label >= CL_ScanList_ScanMode && label <= CL_ScanList_PwrSave) return CT_Scan;
    if (label == CL_Comm_ChGrp_Type || label == CL_Comm_ChGrp_Number) return CT_CHGRP;
    if (label == CL_Mch_DNar || label == CL_Mch_EDivert) return CT_Mch;
    return CT_Null;
}

void DrawEverySettingCell(int fill, int model)
{
    CellWorld world(SettingLists(), model);
    TestImage image(world.Image());
    image.BankCounts({2}).Channel(0, 146000000).Channel(1, 146025000);
    for (auto [first, last] : kSettingAreas)
        for (int at = first; at <= last; ++at) image.Byte(at, fill);
    const cmcEeprom before = world.Image();
    plat::ScopedDialogScript noBoxes;  // a box would throw: nothing is scripted

    size_t drawn = 0;
    for (auto family : {CommonSettingCellBehaviours(), ScanCellBehaviours(), UserSetModeCellBehaviours(),
                        FurtherSettingCellBehaviours()}) {
        for (const LabelBehaviourEntry& e : family) {
            for (int index : {0, 1, 16}) {
                Call call(e.Label, index, CategoryOf(e.Label), false);
                plat::RecordingCanvas canvas;
                call.c.cap.Canvas = &canvas;
                call.Run();
                Call evaluated(e.Label, index, CategoryOf(e.Label), false);
                evaluated.Run();
                ++drawn;
            }
            EXPECT_FALSE(world.Image().Differs(before)) << CellLabelName(e.Label) << " wrote while drawn (fill " << fill << ")";
        }
    }
    EXPECT_GT(drawn, 3u * 200);
    EXPECT_TRUE(noBoxes.Boxes().empty());
    EXPECT_FALSE(world.Main().IsModified());
}

TEST(SettingDrawing, DamagedSettingsAreShownNotRepaired)
{
    DrawEverySettingCell(0xFF, 0);
    DrawEverySettingCell(0xFF, 1);
}

TEST(SettingDrawing, ClearedSettingsDrawWithoutWriting)
{
    DrawEverySettingCell(0x00, 0);
    DrawEverySettingCell(0x00, 1);
}

TEST(SettingDrawing, OutOfListValuesShowTheErrorText)
{
    CellWorld world(SettingLists());
    TestImage image(world.Image());
    image.Byte(175678, 0x0F).Byte(181270, 0xFF).Byte(147888, 0xF0);
    EXPECT_EQ(Shown(CL_Comm_DSUB25_SPPED), "error");
    EXPECT_EQ(Shown(CL_Emer_Setting_Sql), "error");
    EXPECT_EQ(Shown(CL_SetM_Backlight), "error");
    image.Byte(182039, 200);
    EXPECT_EQ(Shown(CL_Comm_ManDown_ReCycle), "200");
    EXPECT_EQ(image.ReadU8(182039), 200);
}

}  // namespace
