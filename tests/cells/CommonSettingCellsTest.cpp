// The common settings: what stored bytes show, what typed or picked values
// store, what is refused; the clone password, the two serial ports' mode
// classes, the GPS times and channel, the channel groups; cells that draw
// grey; copies kept while drawing that do not make the document modified;
// and damaged values that drawing never writes.
#include "model/ImageBytes.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/SettingCells.h"

#include <gtest/gtest.h>

#include <functional>

using namespace celltest;
using namespace settingtest;

namespace {

struct Common : ::testing::Test {
    explicit Common(int model = 0) : world(SettingLists(), model), image(world.Image()) {}
    ImageBytes Bytes() { return ImageBytes(&world.Image()); }
    CellWorld world;
    TestImage image;
};

struct CommonPmr : Common {
    CommonPmr() : Common(1) {}
};

// One input to a cell.
struct Input {
    enum Kind { None, Key, Type, Pick } kind = None;
    int value = 0;
    std::string text = {};
};
Input KeyIn(int key) { return {Input::Key, key}; }
Input TypeIn(const std::string& text) { return {Input::Type, 0, text}; }
Input PickIn(int value) { return {Input::Pick, value}; }

void Apply(int label, const Input& in, int listLabel = Flex0)
{
    switch (in.kind) {
    case Input::Key: Key(label, in.value); break;
    case Input::Type: Typed(label, in.text); break;
    case Input::Pick: Pick(label, in.value, listLabel); break;
    case Input::None: break;
    }
}

using Bytes = std::vector<std::pair<int, int>>;

struct Case {
    const char* what;
    int label;
    Bytes before;
    std::string shown;
    Input in;
    Bytes after;  // the bytes after the input
};

TEST_F(Common, TableCellsShowStoredBytesAndStoreInput)
{
    const Case cases[] = {
        {"list bit, other bits kept", CL_Comm_PwrOnPassword, {{175683, 0xFF}}, "On", PickIn(0), {{175683, 0xDF}}},
        {"list bit stepped", CL_Comm_LockoutOverride, {{175683, 0x00}}, "Off", KeyIn(' '), {{175683, 0x40}}},
        {"list nibble", CL_Comm_DSUB25_SPPED, {{175678, 0xA3}}, "9600", PickIn(5), {{175678, 0xA5}}},
        {"upper nibble", CL_Comm_OPTCONNE_SPPED, {{175772, 0x3C}}, "9600", PickIn(0), {{175772, 0x0C}}},
        {"value over two bits", CL_Comm_FNarrow_Change, {{147906, 0x08}}, "High", PickIn(1), {{147906, 0x10}}},
        {"whole byte list", CL_Comm_Sql_Tight_Ofs, {{175775, 9}}, "9", KeyIn(8), {{175775, 1}}},
        {"level list page two", CL_Emer_Setting_MaxAlert, {{181268, 0xC3}}, "Level 3 loud", PickIn(5), {{181268, 0x85}}},
        {"level list page two by bit 6 alone", CL_Emer_Setting_MaxAlert, {{181268, 0x43}}, "Level 3 loud", PickIn(5),
         {{181268, 0x05}}},
        {"level list to page two", CL_Emer_Setting_MaxAlert, {{181268, 0x05}}, "Level 5", PickIn(103), {{181268, 0x43}}},
        {"timer off at 0", CL_Comm_AtResetTimer_A, {{175710, 0}}, "Off", TypeIn("12"), {{175710, 12}}},
        {"timer without off", CL_Comm_Tot_Timer, {{175706, 0}}, "  0.000", KeyIn(' '), {{175706, 1}}},
        {"hundredths timer", CL_Comm_Ctcss_ReverseBurst, {{175688, 25}}, "  0.250", TypeIn("1.5"), {{175688, 150}}},
        {"tenths timer", CL_Comm_ManDown_Timer, {{175752, 15}}, "  1.500", KeyIn(8), {{175752, 14}}},
        {"number wraps", CL_Comm_ManDown_ReCycle, {{182039, 8}}, "8", KeyIn(' '), {{182039, 1}}},
        {"number typed past the range", CL_Comm_ManDown_ReCycle, {{182039, 3}}, "3", TypeIn("12"), {{182039, 8}}},
        {"number typed as no number", CL_Comm_ManDown_ReCycle, {{182039, 3}}, "3", TypeIn("x"), {{182039, 3}}},
        {"repeat count", CL_Emer_Setting_RptCycle, {{181271, 7}}, "7", TypeIn("0"), {{181271, 0}}},
        {"repeat without end", CL_Emer_Setting_RptCycle, {{181271, 0}}, "Infinite", KeyIn(8), {{181271, 255}}},
        {"reset timer off", CL_Comm_Tot_Reset, {{175755, 0}}, "Off", KeyIn(' '), {{175755, 1}}},
        {"reset timer", CL_Comm_Tot_Reset, {{175755, 15}}, " 15.000", KeyIn(' '), {{175755, 0}}},
        {"reset timer typed past 15", CL_Comm_Tot_Reset, {{175755, 2}}, "  2.000", TypeIn("40"), {{175755, 15}}},
        {"user password", CL_Comm_UserPassword, {{175634, 0x12}, {175635, 0x34}, {175636, 0x56}, {175637, 0x77}},
         "123456", TypeIn("987654"), {{175634, 0x98}, {175635, 0x76}, {175636, 0x54}, {175637, 0x77}}},
        {"password letters refused", CL_Comm_DealerPasscode, {{175637, 0x11}, {175638, 0x11}, {175639, 0x11}}, "111111",
         TypeIn("12ab34"), {{175637, 0x00}, {175638, 0x12}, {175639, 0x34}}},
        {"emergency code keeps bit 7", CL_Emer_Signal_Code, {{181272, 0x85}}, "5", PickIn(7), {{181272, 0x87}}},
        {"emergency code typed", CL_Emer_Signal_Code, {{181272, 0x05}}, "5", TypeIn("9"), {{181272, 0x09}}},
    };
    for (const Case& k : cases) {
        for (auto [at, v] : k.before) image.Byte(at, v);
        EXPECT_EQ(Shown(k.label), k.shown) << k.what;
        Apply(k.label, k.in, k.label == CL_Emer_Signal_Code ? Flex1 : Flex0);
        for (auto [at, v] : k.after) EXPECT_EQ(image.ReadU8(at), v) << k.what << " at " << at;
    }
}

TEST_F(Common, SharedBitsShowAndChangeAlike)
{
    for (auto [a, b] : {std::pair{CL_Comm_ManDown_Sairen, CL_Emer_Setting_Silent},
                        std::pair{CL_Comm_Tot_ID_Out, CL_Comm_Tot_Dtmf_ID_Out}}) {
        const std::string before = Shown(b);
        Key(a, ' ');
        EXPECT_NE(Shown(b), before) << CellLabelName(b);
        Key(b, ' ');
        EXPECT_EQ(Shown(a), Shown(b));
        EXPECT_EQ(Shown(b), before);
    }
    image.Byte(175680, 0);
    Pick(CL_Comm_ManDown_Sairen, 1);
    EXPECT_EQ(image.ReadU8(175680), 0x80);
}

TEST_F(Common, CellsGreyWhileWhatTheyDependOnIsOff)
{
    struct Grey {
        int label;
        int offset;
        int on;   // the byte that makes the cell apply
        int off;  // the byte that greys it
    };
    const Grey cases[] = {
        {CL_Comm_ManDown_Timer, 175679, 0x04, 0xFB},       {CL_Comm_ManDown_TS2, 175679, 0x04, 0x00},
        {CL_Comm_ManDown_ReCycle, 175679, 0x04, 0x00},     {CL_Comm_Scrm_SyncCapture, 175640, 0x00, 0x08},
        {CL_Comm_Scrm_TStartTiming, 175640, 0xF7, 0x08},   {CL_Comm_LowBatt1_Periods, 175778, 0x20, 0x10},
        {CL_Comm_LowBatt2_Periods, 175778, 0x10, 0x20},    {CL_Comm_Strv_LCD_OFF_Timer, 181300, 0x20, 0x00},
        {CL_Emer_LoneWorker_PreAlarm, 181252, 30, 0},      {CL_Emer_LoneWorker_Pttdelay, 181252, 1, 0},
        {CL_Emer_Signal_CodeLong, 181275, 0x80, 0x7F},     {CL_Emer_Signal_Code, 181275, 0x80, 0x00},
    };
    for (const Grey& k : cases) {
        image.Byte(k.offset, k.on);
        EXPECT_FALSE(Draw(k.label).grey) << CellLabelName(k.label);
        image.Byte(k.offset, k.off);
        EXPECT_TRUE(Draw(k.label).grey) << CellLabelName(k.label);
    }
}

TEST_F(Common, SwitchesRepaintEveryCellThatDependsOnThem)
{
    for (int label : {CL_Comm_ManDown_ON, CL_Comm_Scrm_Type, CL_Comm_LowBatt1, CL_Emer_LoneWorker_Timeout}) {
        Call call(label);
        call.c.cap.Key = ' ';
        CellChangeScope scope = 0;
        call.c.cap.OnChange = [&](cmcCellCapsule*, CellChangeScope s) { scope = s; };
        call.Run(1);
        EXPECT_TRUE(scope & csEveryLabelled) << CellLabelName(label);
    }
    // A display switch repaints even when only drawn.
    Call drawn(CL_Comm_Strv_LCD_OFF, 0, CT_Null, false);
    CellChangeScope scope = 0;
    drawn.c.cap.OnChange = [&](cmcCellCapsule*, CellChangeScope s) { scope = s; };
    drawn.Run(1);
    EXPECT_TRUE(scope & csEveryLabelled);
}

// ---- Clone password and comments ----

TEST_F(Common, ClonePasswordStoresPrintableCharactersOnlyFromTheDialog)
{
    world.popups.password = std::string("abcd\x01" "fgh");
    Key(CL_Comm_ClonePasswordStr, 13);
    ASSERT_EQ(world.popups.calls.size(), 1u);
    EXPECT_EQ(world.popups.calls[0].what, "password");
    EXPECT_EQ(image.ReadU8(176104 + 4), 0);
    EXPECT_EQ(image.ReadU8(176104 + 5), 'f');
    EXPECT_EQ(Shown(CL_Comm_ClonePasswordStr), "abcd");

    // A typed text or a pick is no password: nothing is stored, no zeros.
    image.Byte(176104 + 4, 'e');
    Typed(CL_Comm_ClonePasswordStr, "zzzz");
    Pick(CL_Comm_ClonePasswordStr, 0);
    EXPECT_EQ(Shown(CL_Comm_ClonePasswordStr), "abcdefgh");

    // Cancelling the dialog keeps the password.
    world.popups.password.reset();
    Key(CL_Comm_ClonePasswordStr, 13);
    EXPECT_EQ(Shown(CL_Comm_ClonePasswordStr), "abcdefgh");
}

TEST_F(Common, BlankClonePasswordIsDrawnAsAGreyNote)
{
    const Drawn drawn = Draw(CL_Comm_ClonePasswordStr);
    EXPECT_EQ(drawn.text, "No password");
    EXPECT_TRUE(drawn.grey);
    EXPECT_EQ(Shown(CL_Comm_ClonePasswordStr), "");
    image.Byte(176104, 'x');
    EXPECT_EQ(Draw(CL_Comm_ClonePasswordStr).text, "x");
    EXPECT_FALSE(Draw(CL_Comm_ClonePasswordStr).grey);
}

TEST_F(Common, CloneCommentsStoreBlanksForWhatCannotBePrinted)
{
    Typed(CL_Comm_CloneComment1, std::string("Fleet\x01" "A"));
    EXPECT_EQ(Shown(CL_Comm_CloneComment1), "Fleet A");
    EXPECT_EQ(image.ReadU8(176120 + 15), ' ');
    Typed(CL_Comm_CloneComment2, "12345678901234567890");
    EXPECT_EQ(Shown(CL_Comm_CloneComment2), "1234567890123456");
    EXPECT_EQ(image.ReadU8(176136 + 16), 0) << "the next setting stays";
}

// ---- Serial ports ----

TEST_F(Common, PortsNeverShareAModeClassOtherThanOff)
{
    const int kDsub = 175678, kOption = 175772, kHigh = 175782;
    auto dsubMode = [&] { return (image.ReadU8(kHigh) & 1) * 4 + ((image.ReadU8(kDsub) >> 4) & 3); };
    image.Byte(kOption, 2 << 2);  // the option connector sends GPS
    image.Byte(kDsub, 1 << 4);    // the 25-pin port sends data

    Key(CL_Comm_DSUB25_Mode, ' ');
    EXPECT_EQ(dsubMode(), 3) << "GPS skipped";
    Key(CL_Comm_DSUB25_Mode, 8);
    EXPECT_EQ(dsubMode(), 1) << "GPS skipped going back";
    Pick(CL_Comm_DSUB25_Mode, 6);
    EXPECT_EQ(dsubMode(), 1) << "a GPS mode picked is refused";
    Pick(CL_Comm_DSUB25_Mode, 7);
    EXPECT_EQ(dsubMode(), 7);
    EXPECT_EQ(image.ReadU8(kDsub) & 0x0F, 0) << "the speed stays";

    // Off never conflicts; the option connector sees the 25-pin class.
    image.Byte(kOption, 0);
    Pick(CL_Comm_OPTCONNE_Mode, 3);
    EXPECT_EQ(image.ReadU8(kOption), 0) << "remote control is the 25-pin port's";
    Pick(CL_Comm_OPTCONNE_Mode, 4);
    EXPECT_EQ(image.ReadU8(kOption), 0x02) << "off with flow control";
    Pick(CL_Comm_DSUB25_Mode, 0);
    Pick(CL_Comm_OPTCONNE_Mode, 0);
    Pick(CL_Comm_DSUB25_Mode, 4);
    EXPECT_EQ(dsubMode(), 4);
}

// ---- GPS ----

TEST_F(Common, GpsTimesSplitIntoUnitsAndACorrection)
{
    struct Time {
        int label;
        std::string typed;
        int a, c;
        std::string shown;
    };
    const Time cases[] = {
        {CL_Comm_Gps_TimeMarker, "1:01", 3, -29, " 1:01"},   {CL_Comm_Gps_TimeMarker, "1:00", 2, 0, " 1:00"},
        {CL_Comm_Gps_TimeMarker, "59:59", 119, 29, "59:59"}, {CL_Comm_Gps_TimeMarker, "0:00", 0, 0, " 0:00"},
        {CL_Comm_Gps_IntervalTimer, "0:00", 1, -29, " 0:01"}, {CL_Comm_Gps_IntervalTimer, "0:29", 1, -1, " 0:29"},
    };
    for (const Time& k : cases) {
        Typed(k.label, k.typed);
        const bool marker = k.label == CL_Comm_Gps_TimeMarker;
        EXPECT_EQ(image.ReadU8(marker ? 182061 : 182062), k.a) << k.typed;
        EXPECT_EQ(image.ReadU8(marker ? 176070 : 176071), k.a) << k.typed;
        EXPECT_EQ(int8_t(image.ReadU8(marker ? 303588 : 303589)), k.c) << k.typed;
        EXPECT_EQ(Shown(k.label), k.shown) << k.typed;
    }
}

// Channel 0 of bank 0, able to send GPS reports on either model.
void GpsFitChannel(TestImage& image)
{
    image.BankCounts({2, 2}).Channel(0, 146000000).Channel(1, 146025000).Channel(2, 150000000);
    image.Byte(130944 + 12, 2);              // digital mode 2
    image.Byte(163346 + 3, 0x08);            // MSK on (PMR)
    image.U16(303590, 0).Byte(197902, 0x08); // a specific channel: channel 0
}

TEST_F(Common, GpsChannelWarnsWhenTheLmrRadioCannotReportOnIt)
{
    GpsFitChannel(image);
    struct Unfit {
        const char* what;
        std::function<void(TestImage&)> make;
        bool warns;
    };
    const Unfit cases[] = {
        {"fit", [](TestImage&) {}, false},
        {"the displayed channel", [](TestImage& i) { i.Byte(197902, 0); }, false},
        {"inhibited", [](TestImage& i) { i.Byte(130944, i.ReadU8(130944) | 0x80); }, true},
        {"transmit inhibited", [](TestImage& i) { i.Byte(130944 + 4, i.ReadU8(130944 + 4) | 0x80); }, true},
        {"analog only", [](TestImage& i) { i.Byte(130944 + 12, 0); }, true},
        {"mixed", [](TestImage& i) { i.Byte(130944 + 12, 1); }, true},
        {"LTR bank", [](TestImage& i) { i.Type(0, TestImage::Ltr); }, true},
        {"vote zone", [](TestImage& i) { i.Type(0, TestImage::VoteZone); }, true},
        {"empty channel", [](TestImage& i) { i.U16(303590, 3); }, true},
    };
    for (const Unfit& k : cases) {
        GpsFitChannel(image);
        image.Type(0, TestImage::Conventional);
        k.make(image);
        EXPECT_EQ(Draw(CL_Comm_Gps_MoveGps).warning, k.warns) << k.what;
        EXPECT_EQ(indActiveCell::CellWarning(CT_Null, CL_Comm_Gps_MoveGps, 0), k.warns) << k.what;
    }
}

TEST_F(CommonPmr, GpsChannelRulesOfThePmrRadio)
{
    struct Unfit {
        const char* what;
        std::function<void(TestImage&)> make;
        bool warns;
    };
    const Unfit cases[] = {
        {"digital", [](TestImage&) {}, false},
        {"LTR bank is no matter", [](TestImage& i) { i.Type(0, TestImage::Ltr); }, false},
        {"SmarTrunk bank", [](TestImage& i) { i.Type(0, TestImage::SmarTrunk); }, true},
        {"analog with MSK", [](TestImage& i) { i.Byte(130944 + 12, 0); }, false},
        {"analog with a status", [](TestImage& i) { i.Byte(130944 + 12, 0).Byte(163346 + 4, 1); }, true},
        {"analog without MSK", [](TestImage& i) { i.Byte(130944 + 12, 0).Byte(163346 + 3, 0); }, true},
        {"mixed without MSK", [](TestImage& i) { i.Byte(130944 + 12, 1).Byte(163346 + 3, 0); }, true},
    };
    for (const Unfit& k : cases) {
        GpsFitChannel(image);
        image.Byte(163346 + 4, 0);
        image.Type(0, TestImage::Conventional);
        k.make(image);
        EXPECT_EQ(Draw(CL_Comm_Gps_MoveGps).warning, k.warns) << k.what;
    }
}

TEST_F(Common, GpsChannelPickLeavesTheChannelsAlone)
{
    GpsFitChannel(image);
    image.Byte(197902, 0);
    std::vector<int> channels;
    for (int at = 130944; at < 130944 + 3 * 30; ++at) channels.push_back(image.ReadU8(at));
    EXPECT_EQ(Shown(CL_Comm_Gps_MoveGps), "Displayed");
    Key(CL_Comm_Gps_MoveGps, ' ');
    EXPECT_EQ(image.ReadU8(197902), 0x08);
    Pick(CL_Comm_Gps_MoveGps, 1, FlexZoneSel_GPS_Num);
    EXPECT_EQ(image.ReadU16(303590), 1) << "the second channel of the picked zone";
    for (int at = 130944, k = 0; at < 130944 + 3 * 30; ++at, ++k) EXPECT_EQ(image.ReadU8(at), channels[size_t(k)]) << at;
}

TEST_F(Common, CopiesKeptWhileDrawingDoNotMakeTheDocumentModified)
{
    world.Main().MarkSaved();
    image.Byte(182063, 0x10).Byte(175771, 0x00).Byte(197902, 0x02);
    Draw(CL_Comm_Gps_Auto);
    Draw(CL_Comm_Gps_Prio);
    Draw(CL_Comm_UserPassword);
    EXPECT_EQ(image.ReadU8(175771), 0x04) << "the report flag follows the setting";
    EXPECT_EQ(image.ReadU8(197902), 0x06) << "the priority copy follows the priority";
    EXPECT_FALSE(world.Main().IsModified());
    // Input does.
    Key(CL_Comm_Gps_Auto, ' ');
    EXPECT_EQ(image.ReadU8(175771), 0x00);
    EXPECT_TRUE(world.Main().IsModified());
}

// ---- Channel groups ----

TEST_F(Common, ChannelGroupTypeFindsItsBankOrStepsOn)
{
    // Bank 0 is a vote zone with channels 0-2, bank 1 is empty, bank 2 holds
    // channels 3 and 4.
    image.BankCounts({3, 0, 2, 2}).Type(0, TestImage::VoteZone);
    auto group = [&] { return image.Read(34, 4); };
    Pick(CL_Comm_ChGrp_Type, 1, Flex0, 4, CT_CHGRP);
    EXPECT_EQ(group().ChGrpType, 1);
    EXPECT_EQ(group().ChGrpNumber, 3u) << "the first channel of the first ordinary bank with channels";
    EXPECT_EQ(Shown(CL_Comm_ChGrp_Number, 4, CT_CHGRP).substr(0, 3), "3-1");
    Pick(CL_Comm_ChGrp_Type, 3, Flex0, 4, CT_CHGRP);
    EXPECT_EQ(group().ChGrpType, 3);
    EXPECT_EQ(group().ChGrpNumber, 0u) << "the first vote zone with channels";
    EXPECT_EQ(Shown(CL_Comm_ChGrp_Number, 4, CT_CHGRP), "Zone 1");

    // Without a vote zone: stepping passes zone, a pick of it changes nothing.
    image.Type(0, TestImage::Conventional);
    Pick(CL_Comm_ChGrp_Type, 2, Flex0, 4, CT_CHGRP);
    Key(CL_Comm_ChGrp_Type, ' ', 4, CT_CHGRP);
    EXPECT_EQ(group().ChGrpType, 0) << "forward from the scan list";
    Key(CL_Comm_ChGrp_Type, 8, 4, CT_CHGRP);
    EXPECT_EQ(group().ChGrpType, 2) << "back from off";
    Pick(CL_Comm_ChGrp_Type, 1, Flex0, 16 - 1, CT_CHGRP);
    Pick(CL_Comm_ChGrp_Type, 2, Flex0, 4, CT_CHGRP);
    Pick(CL_Comm_ChGrp_Number, 16, Flex0, 4, CT_CHGRP);
    Pick(CL_Comm_ChGrp_Type, 3, Flex0, 4, CT_CHGRP);
    EXPECT_EQ(group().ChGrpType, 2) << "a picked zone type with no zone";
    EXPECT_EQ(group().ChGrpNumber, 16u) << "keeps its scan list";
    EXPECT_EQ(Shown(CL_Comm_ChGrp_Number, 4, CT_CHGRP), "List 17");
    EXPECT_EQ(image.Read(34, 15).ChGrpType, 1) << "other groups stay";
}

TEST_F(Common, ChannelGroupOffShowsDashesAndTakesNoInput)
{
    const Drawn drawn = Draw(CL_Comm_ChGrp_Number, 0, CT_CHGRP);
    EXPECT_EQ(drawn.text, "---");
    EXPECT_TRUE(drawn.grey);
    EXPECT_EQ(Key(CL_Comm_ChGrp_Number, 13, 0, CT_CHGRP), erNothing);
    Key(CL_Comm_ChGrp_Number, ' ', 0, CT_CHGRP);
    EXPECT_EQ(image.Read(34, 0).ChGrpNumber, 0u);
    EXPECT_TRUE(world.popups.calls.empty());
}

}  // namespace
