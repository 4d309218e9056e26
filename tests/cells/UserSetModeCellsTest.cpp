// The set mode: starting values and the permission bits that let the user
// change each item in the radio.
#include "tests/cells/SettingCells.h"

#include <gtest/gtest.h>

using namespace celltest;
using namespace settingtest;

namespace {

constexpr int kEnable = 175650;

struct SetMode : ::testing::Test {
    SetMode() : world(SettingLists()), image(world.Image()) {}
    CellWorld world;
    TestImage image;
};

TEST_F(SetMode, EachItemTogglesItsOwnPermissionBit)
{
    const int items[] = {CL_USetM_Backlight, CL_USetM_LcdContrast, CL_USetM_BeepOn,   CL_USetM_BeepLev,
                         CL_USetM_RingerLev, CL_USetM_SqlLev,      CL_USetM_AfMinLev, CL_USetM_MicGain,
                         CL_USetM_VoxGain,   CL_USetM_VoxDelay,    CL_USetM_HornOut,  CL_USetM_BATVDisp,
                         CL_USetM_BERDisp,   CL_USetM_SigMoni,     CL_USetM_LoneWorker};
    for (int n = 0; n < 15; ++n) {
        image.U16(kEnable, 0x0001);  // the unused last bit stays
        EXPECT_EQ(Shown(items[n]), "Fixed") << n;
        Key(items[n], ' ');
        EXPECT_EQ(image.ReadU16(kEnable), 0x0001 | (0x8000 >> n)) << CellLabelName(items[n]);
        EXPECT_EQ(Shown(items[n]), "User") << n;
        Pick(items[n], 0);
        EXPECT_EQ(image.ReadU16(kEnable), 0x0001) << CellLabelName(items[n]);
    }
    image.U16(kEnable, 0);
    Key(CL_USetM_MicGain, ' ');
    EXPECT_EQ(image.ReadU8(kEnable), 0x01);
    Key(CL_USetM_VoxGain, ' ');
    EXPECT_EQ(image.ReadU8(kEnable + 1), 0x80);
}

TEST_F(SetMode, StartingValues)
{
    struct Case {
        const char* what;
        int label;
        int offset;
        int before;
        std::string shown;
        int pick;  // -1: typed "77" instead
        int after;
    };
    const Case cases[] = {
        {"beep level on page two", CL_SetM_BeepLev, 147882, 0xC3, "Level 3 loud", 5, 0x85},
        {"ringer level to page two", CL_SetM_RingerLev, 147883, 0x05, "Level 5", 103, 0x43},
        {"backlight in the high nibble", CL_SetM_Backlight, 147888, 0x1E, "Level 1", 5, 0x5E},
        {"the same for hand-helds", CL_SetM_Backlight_HH, 147888, 0x5E, "Auto", 0, 0x0E},
        {"horn, on is 0", CL_SetM_HornOut, 147888, 0x08, "Off", 0, 0x00},
        {"battery voltage", CL_SetM_BATVDisp, 147888, 0x00, "Off", 1, 0x04},
        {"lone worker", CL_SetM_LoneWorker, 147906, 0x40, "On", 0, 0x00},
        {"squelch level byte", CL_SetM_SqlLev, 147880, 9, "9", 1, 1},
        {"squelch level past the list", CL_SetM_SqlLev, 147880, 200, "error", 0, 0},
        {"contrast", CL_SetM_LcdContrast, 147881, 64, "64", -1, 77},
        {"audio minimum", CL_SetM_AFMinLev, 147884, 255, "255", -1, 77},
    };
    for (const Case& k : cases) {
        image.Byte(k.offset, k.before);
        EXPECT_EQ(Shown(k.label), k.shown) << k.what;
        if (k.pick >= 0) Pick(k.label, k.pick);
        else Typed(k.label, "77");
        EXPECT_EQ(image.ReadU8(k.offset), k.after) << k.what;
    }
    EXPECT_EQ(Shown(CL_SetM_BERDisp), "----");
    Key(CL_SetM_BERDisp, ' ');
    Typed(CL_SetM_LcdContrast, "200");
    EXPECT_EQ(image.ReadU8(147881), 127);
}

}  // namespace
