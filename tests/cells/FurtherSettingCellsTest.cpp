// Further settings: the keys of banks 2 and 3 (fixed keys, P keys that
// follow the first bank's function 100), squelch levels, timers and scaled
// values, the alias text, the talk group and compatibility fields, row
// numbers, and the digital narrow and emergency divert channel columns.
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/SettingCells.h"

#include <gtest/gtest.h>

using namespace celltest;
using namespace settingtest;

namespace {

constexpr int kFirstP0 = 175720;
constexpr int kB2P0 = 302480;
constexpr int kB3P0 = 302496;

struct Further : ::testing::Test {
    explicit Further(int model = 0) : world(SettingLists(), model), image(world.Image()) {}
    CellWorld world;
    TestImage image;
};

TEST_F(Further, FunctionHundredOnAFirstBankPKeyHoldsItInEveryBank)
{
    world.Main().MarkSaved();
    image.Byte(kFirstP0 + 2, 100).Byte(kB2P0 + 2, '1').Byte(kB3P0 + 2, 0);
    for (int label : {CL_KDisp_Key_B2_P2, CL_KDisp_Key_B3_P2}) {
        const Drawn drawn = Draw(label);
        EXPECT_EQ(drawn.text, "Talk around") << CellLabelName(label);
        EXPECT_TRUE(drawn.grey);
    }
    EXPECT_EQ(image.ReadU8(kB2P0 + 2), 100);
    EXPECT_EQ(image.ReadU8(kB3P0 + 2), 100);
    EXPECT_FALSE(world.Main().IsModified()) << "drawing is no edit";

    plat::ScopedDialogScript dialogs;
    for (int k = 0; k < 3; ++k) dialogs.Answer(plat::IDOK);
    for (int key : {int(' '), 8, 13}) Key(CL_KDisp_Key_B3_P2, key);
    ASSERT_EQ(dialogs.Boxes().size(), 3u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "This key is fixed.");
    EXPECT_EQ(dialogs.Boxes()[0].caption, "Radio Programmer");
    EXPECT_EQ(dialogs.Boxes()[0].Icon(), unsigned(plat::MB_ICONERROR));
    EXPECT_EQ(image.ReadU8(kB3P0 + 2), 100);
    EXPECT_TRUE(world.popups.calls.empty());
}

TEST_F(Further, PKeysOfBanksTwoAndThreeAreTheirOwn)
{
    Pick(CL_KDisp_Key_B2_P1, '1');
    EXPECT_EQ(image.ReadU8(kB2P0 + 1), '1');
    EXPECT_EQ(image.ReadU8(kB3P0 + 1), 0);
    EXPECT_EQ(image.ReadU8(kFirstP0 + 1), 0);
    Key(CL_KDisp_Key_B3_P4, ' ');
    EXPECT_EQ(image.ReadU8(kB3P0 + 4), '1');
    // Function 100 on a bank 3 key goes to the first bank too.
    Pick(CL_KDisp_Key_B3_P1, 100);
    EXPECT_EQ(image.ReadU8(kB3P0 + 1), 100);
    EXPECT_EQ(image.ReadU8(kFirstP0 + 1), 100);
    EXPECT_EQ(Draw(CL_KDisp_Key_B2_P1).text, "Talk around");
    EXPECT_EQ(image.ReadU8(kB2P0 + 1), 100);
}

TEST_F(Further, FixedKeysShowTheirFunctionAndRefuseChanges)
{
    image.Byte(302478, '1').Byte(302479, 100).Byte(302485, 0).Byte(302490, 94);
    plat::ScopedDialogScript dialogs;
    struct Fixed {
        int b2, b3;
        int offset;
        std::string shown;
    };
    const Fixed keys[] = {
        {CL_KDisp_Key_B2_RightUp, CL_KDisp_Key_B3_RightUp, 302478, "Scan /L"},
        {CL_KDisp_Key_B2_RightDn, CL_KDisp_Key_B3_RightDn, 302479, "Talk around"},
        {CL_KDisp_Key_B2_Opf0, CL_KDisp_Key_B3_Opf0, 302485, "None"},
        {CL_KDisp_Key_B2_ExtEmr, CL_KDisp_Key_B3_ExtEmr, 302490, "Off"},
    };
    size_t boxes = 0;
    for (const Fixed& k : keys) {
        for (int label : {k.b2, k.b3}) {
            const Drawn drawn = Draw(label);
            EXPECT_EQ(drawn.text, k.shown) << CellLabelName(label);
            EXPECT_TRUE(drawn.grey) << CellLabelName(label);
            const int before = image.ReadU8(k.offset);
            dialogs.Answer(plat::IDOK);
            Key(label, ' ');
            Pick(label, '1');
            EXPECT_EQ(image.ReadU8(k.offset), before) << CellLabelName(label);
            EXPECT_EQ(dialogs.Boxes().size(), ++boxes) << CellLabelName(label);
        }
    }
}

TEST_F(Further, TableCells)
{
    struct Case {
        const char* what;
        int label;
        int offset;
        int before;
        std::string shown;
        std::string typed;
        int after;
    };
    const Case cases[] = {
        {"hold timer stored less one second", CL_KDisp_DTMFHot_HoldTimer, 302540, 0, "  1.000", "2.5", 15},
        {"hold timer at ten seconds", CL_KDisp_DTMFHot_HoldTimer, 302540, 90, " 10.000", "20", 90},
        {"power reduction in half watts", CL_KDisp_RfPoHighRed, 302536, 25, " 12.5", "3", 6},
        {"power reduction held to 25 W", CL_KDisp_RfPoHighRed, 302536, 0, "  0.0", "40", 50},
        {"squelch level signed", CL_Comm_SqlLvl_3, 302515, 0xF6, "-10", "-127", 0x81},
        {"squelch level 9", CL_Comm_SqlLvl_9, 302521, 5, "5", "127", 127},
        {"noise squelch at least 10 ms", CL_Comm_NSql_SDT, 302531, 20, "  0.020", "0.001", 10},
        {"noise detect at least 5 ms", CL_Comm_NSql_NDT, 302530, 20, "  0.020", "0", 5},
        {"retries in the high nibble", CL_Mdc_GPS_On_Key_No_Retry, 302538, 0x35, "3", "15", 0xF5},
        {"acknowledge delay whole seconds", CL_Mdc_GPS_On_Key_Ack_Delay, 302539, 0x2A, "  2.000", "7", 0x7A},
    };
    for (const Case& k : cases) {
        image.Byte(k.offset, k.before);
        EXPECT_EQ(Shown(k.label), k.shown) << k.what;
        Typed(k.label, k.typed);
        EXPECT_EQ(image.ReadU8(k.offset), k.after) << k.what;
    }
    image.U16(302534, 1500);
    EXPECT_EQ(Shown(CL_Mdc_GPS_Poll_Ack_Delay), "  1.500");
    Typed(CL_Mdc_GPS_Poll_Ack_Delay, "0.01");
    EXPECT_EQ(image.ReadU16(302534), 50) << "at least 0.05 seconds";

    // A value over two fields: bits 2-3 below, bit 1 above them; bits 0 and
    // 4-7 stay.
    image.Byte(197904, 0xF9);
    Pick(CL_Digi_Config_ShortCutKeyCallType, 6);
    EXPECT_EQ(image.ReadU8(197904), 0xFB);
    Pick(CL_Digi_Config_ShortCutKeyCallType, 1);
    EXPECT_EQ(image.ReadU8(197904), 0xF5);
}

TEST_F(Further, CompatibilityDataTypeKeepsBothFields)
{
    image.Byte(197872, 0xF0);
    Pick(CL_Digi_Expert_Compati_DataType, 1);
    EXPECT_EQ(image.ReadU8(197872), 0xF5);
    EXPECT_FALSE(Draw(CL_Digi_Expert_Compati_GPSTypeBMes).grey);
    Pick(CL_Digi_Expert_Compati_DataType, 2);
    EXPECT_TRUE(Draw(CL_Digi_Expert_Compati_GPSTypeBMes).grey);
    image.Byte(197872, 0x06);  // only the second field is type B
    EXPECT_FALSE(Draw(CL_Digi_Expert_Compati_GPSTypeBMes).grey);
}

TEST_F(Further, TalkGroupForEveryChannel)
{
    image.U16(302526, 4).Byte(197889, 0);
    const Drawn drawn = Draw(CL_Digi_Config_Global_Talkgroup);
    EXPECT_EQ(drawn.text, "5");
    EXPECT_TRUE(drawn.grey);
    Key(CL_Digi_Config_Global_Talkgroup, ' ');
    EXPECT_EQ(image.ReadU16(302526), 4) << "Space does not step";
    Pick(CL_Digi_Config_Global_Talkgroup, 9, Flex_TgIDList_ChNo);
    EXPECT_EQ(image.ReadU16(302526), 9);
    image.Byte(197889, 1);
    EXPECT_FALSE(Draw(CL_Digi_Config_Global_Talkgroup).grey);
    EXPECT_EQ(Shown(CL_Digi_Config_Global_Talkgroup), "10");

    // A talk group past the end of the list is an error while every channel
    // uses it.
    SetTgListCount(10, 19);
    EXPECT_FALSE(Draw(CL_Digi_Config_Global_Talkgroup).error);
    SetTgListCount(9, 19);
    EXPECT_TRUE(Draw(CL_Digi_Config_Global_Talkgroup).error);
    image.Byte(197889, 0);
    EXPECT_FALSE(Draw(CL_Digi_Config_Global_Talkgroup).error);
}

TEST_F(Further, TheTacticalGroupGreysUnlessRotaryTalkGroupsAndTacticalGroupsApply)
{
    struct Case {
        int keyOptions;  // 175683 bit 4: the rotary switch selects talk groups
        int tactical;    // 175758 bit 6: tactical groups
        int display;     // 302528 bit 5: the CR knob
        bool grey;
    };
    for (const Case& k : {Case{0x10, 0x40, 0xDF, false}, Case{0xEF, 0x40, 0x00, true}, Case{0x10, 0xBF, 0x00, true},
                          Case{0x10, 0x40, 0x20, true}}) {
        image.Byte(175683, k.keyOptions).Byte(175758, k.tactical).Byte(302528, k.display);
        EXPECT_EQ(Draw(CL_KDisp_TactGroup).grey, k.grey) << k.keyOptions << " " << k.tactical << " " << k.display;
    }
}

TEST_F(Further, BlankAliasIsDrawnAsAGreyNote)
{
    for (int i = 0; i < 12; ++i) image.Byte(325616 + i, ' ');
    image.Byte(325628, 0x80);
    const Drawn drawn = Draw(CL_Digi_Opt_OAA_TX_Text);
    EXPECT_EQ(drawn.text, "No alias");
    EXPECT_TRUE(drawn.grey);
    Typed(CL_Digi_Opt_OAA_TX_Text, "Unit 7");
    EXPECT_EQ(Shown(CL_Digi_Opt_OAA_TX_Text), "Unit 7");
    EXPECT_EQ(image.ReadU8(325616 + 11), ' ');
    EXPECT_EQ(image.ReadU8(325628), 0x80) << "the flags after the text stay";
}

TEST_F(Further, RowNumbersMarkTheNewEntryRow)
{
    image.ToneListCount(3).NacListCount(1);
    EXPECT_EQ(Shown(Flex_CTNList_ChNo, 2), "  3");
    EXPECT_EQ(Shown(Flex_CTNList_ChNo, 3), "New");
    EXPECT_EQ(Shown(Flex_NACList_ChNo, 0), "  1");
    EXPECT_EQ(Shown(Flex_NACList_ChNo, 1), "New");
    image.BankCounts({0, 2, 0, 1});
    EXPECT_EQ(Shown(FlexZoneSelNumEmer, 1), "  4");
}

TEST_F(Further, DigitalNarrowAndEmergencyDivertColumns)
{
    image.BankCounts({3}).Channel(0, 146000000).Channel(1, 146025000).Channel(2, 146050000);
    world.currentBank = 0;
    Pick(CL_Mch_DNar, 1, Flex0, 1, CT_Mch);
    EXPECT_EQ(image.Read(1, 1).ChFlagsB.DNar, 1);
    EXPECT_EQ(Shown(CL_Mch_DNar, 1, CT_Mch), "No");
    EXPECT_EQ(image.Read(1, 0).ChFlagsB.DNar, 0);
    image.Item(1, 1, [](datCh& c) { c.ChFlagsF.DigSig = 3; });
    EXPECT_TRUE(Draw(CL_Mch_DNar, 1, CT_Mch).grey);
    EXPECT_FALSE(Draw(CL_Mch_DNar, 0, CT_Mch).grey);

    Pick(CL_Mch_EDivert, 1, FlexMark, 2, CT_Mch);
    EXPECT_EQ(image.Read(1, 2).ChFlagsA.EDivert, 1);
    EXPECT_EQ(image.Read(1, 1).ChFlagsA.EDivert, 0);
}

}  // namespace
