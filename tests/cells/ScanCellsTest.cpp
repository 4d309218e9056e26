// The scan lists and the scan and vote settings: cells that do not apply
// in a list's scan mode, channels that warn, the scan check over all 17
// lists, and the table-driven common cells.
#include "tests/cells/SettingCells.h"

#include <gtest/gtest.h>

using namespace celltest;
using namespace settingtest;

namespace {

constexpr int kPriorityA = 146304;
constexpr int kLists = 17;

struct Scan : ::testing::Test {
    Scan() : world(SettingLists()), image(world.Image())
    {
        world.Environ().PriorityRemoval = 0;  // the priority channels are kept
        // Bank 0 conventional (channels 0-3), bank 1 a vote zone (4-5), bank 2
        // multisite (6-7).
        image.BankCounts({4, 2, 2}).Type(1, TestImage::VoteZone).Type(2, TestImage::Multisite);
    }
    void List(int list, const std::function<void(datCh&)>& fill) { image.Item(6, list, fill); }
    CellWorld world;
    TestImage image;
};

TEST_F(Scan, CellsThatDoNotApplyShowGreyDashesAndTakeNoInput)
{
    struct Applies {
        int label;
        bool off, normal, priority, vote;  // scan modes 0, 1, 2 and 17
    };
    const Applies cases[] = {
        {CL_ScanList_Prio1_CH, false, false, true, false}, {CL_ScanList_Prio2_CH, false, false, true, false},
        {CL_ScanList_TX_CH, false, true, true, false},     {CL_ScanList_TalkBack, false, true, true, false},
        {CL_ScanList_TX_Action, false, true, true, false}, {CL_ScanList_Cancel_CH, false, true, true, false},
        {CL_ScanList_DispText, false, true, true, true},   {CL_ScanList_PwrSave, true, true, true, true},
    };
    for (const Applies& k : cases) {
        for (auto [mode, applies] : {std::pair{0, k.off}, {1, k.normal}, {2, k.priority}, {17, k.vote}}) {
            List(3, [&](datCh& s) {
                s.Clear();
                s.ScanMode = uint8_t(mode);
                s.ScanTxFlags.TxChMode = 1;
            });
            const Drawn drawn = Draw(k.label, 3, CT_Scan);
            EXPECT_EQ(drawn.text == "----", !applies) << CellLabelName(k.label) << " in mode " << mode;
            EXPECT_EQ(drawn.grey, !applies) << CellLabelName(k.label) << " in mode " << mode;
            const datCh before = image.Read(6, 3);
            Key(k.label, ' ', 3, CT_Scan);
            const datCh after = image.Read(6, 3);
            const bool same = before.ScanPrioModes.Value() == after.ScanPrioModes.Value() &&
                              before.ScanTxFlags.Value() == after.ScanTxFlags.Value() &&
                              before.ScanCancel.Value() == after.ScanCancel.Value();
            EXPECT_EQ(same, !applies) << CellLabelName(k.label) << " in mode " << mode;
        }
    }
    // Talk-back also needs a transmit channel mode.
    List(3, [](datCh& s) {
        s.ScanMode = 1;
        s.ScanTxFlags.TxChMode = 0;
    });
    EXPECT_EQ(Shown(CL_ScanList_TalkBack, 3, CT_Scan), "----");
}

TEST_F(Scan, ListFieldsAreStoredInTheirList)
{
    Pick(CL_ScanList_ScanMode, 17, Flex0, 16, CT_Scan);
    EXPECT_EQ(image.Read(6, 16).ScanMode, 17);
    EXPECT_EQ(Shown(CL_ScanList_ScanMode, 16, CT_Scan), "Vote");
    Pick(CL_ScanList_DispText, 1, Flex0, 16, CT_Scan);
    EXPECT_EQ(image.Read(6, 16).ScanCancel.DispText, 1);
    Typed(CL_ScanList_Text, "Fire", 16, CT_Scan);
    EXPECT_EQ(std::string(image.Read(6, 16).LongText, 4), "Fire");
    EXPECT_EQ(image.Read(6, 15).ScanMode, 0) << "the other lists stay";
    Pick(CL_ScanList_PwrSave, 1, Flex0, 0, CT_Scan);
    EXPECT_EQ(image.Read(6, 0).ScanCancel.PwrSave, 1);
}

TEST_F(Scan, ChannelsInVoteZonesOrMultisiteBanksWarn)
{
    struct Named {
        const char* what;
        int label;
        int mode;
        int channel;  // of the list, or of priority A
        bool warns;
    };
    const Named cases[] = {
        {"priority A in a vote zone", CL_ScanList_Prio1_CH, 1, 4, true},
        {"priority A in a conventional bank", CL_ScanList_Prio1_CH, 1, 1, false},
        {"no channel named", CL_ScanList_Prio1_CH, 0, 4, false},
        {"own channel in a multisite bank", CL_ScanList_Prio2_CH, 5, 7, true},
        {"own channel in a conventional bank", CL_ScanList_Prio2_CH, 5, 2, false},
        {"transmit on an own vote-zone channel", CL_ScanList_TX_CH, 5, 5, true},
        {"transmit on priority A", CL_ScanList_TX_CH, 1, 6, true},
    };
    for (const Named& k : cases) {
        image.U16(kPriorityA, k.mode == 1 ? k.channel : 0);
        List(2, [&](datCh& s) {
            s.Clear();
            s.ScanMode = 2;
            s.ScanPrioModes.Prio1Mode = uint8_t(k.label == CL_ScanList_Prio1_CH ? k.mode : 0);
            s.ScanPrioModes.Prio2Mode = uint8_t(k.label == CL_ScanList_Prio2_CH ? k.mode : 0);
            s.ScanTxFlags.TxChMode = uint8_t(k.label == CL_ScanList_TX_CH ? k.mode : 0);
            s.Prio1Ch = s.Prio2Ch = s.ScanTxCh = uint32_t(k.channel);
        });
        EXPECT_EQ(indActiveCell::CellWarning(CT_Scan, k.label, 2), k.warns) << k.what;
        EXPECT_EQ(indActiveCell::CellWarning(CT_Null, CL_Check_Scan_Setting, 0), k.warns) << k.what;
    }
    // A priority channel that a list not in priority scan would name does not warn.
    List(2, [](datCh& s) { s.ScanMode = 1; });
    image.U16(kPriorityA, 4);
    EXPECT_FALSE(indActiveCell::CellWarning(CT_Scan, CL_ScanList_Prio1_CH, 2));
}

TEST_F(Scan, ScanCheckLooksAtEveryList)
{
    EXPECT_FALSE(indActiveCell::CellWarning(CT_Null, CL_Check_Scan_Setting, 0));
    for (int list : {0, 8, kLists - 1}) {
        List(list, [](datCh& s) {
            s.ScanMode = 1;
            s.ScanTxFlags.TxChMode = 5;
            s.ScanTxCh = 6;
        });
        EXPECT_TRUE(indActiveCell::CellWarning(CT_Null, CL_Check_Scan_Setting, 0)) << "list " << list;
        List(list, [](datCh& s) { s.ScanTxCh = 0; });
        EXPECT_FALSE(indActiveCell::CellWarning(CT_Null, CL_Check_Scan_Setting, 0)) << "list " << list;
    }
}

TEST_F(Scan, CommonScanAndVoteCells)
{
    struct Case {
        const char* what;
        int label;
        int offset;
        int before;
        std::string shown;
        int key;  // Space or Backspace
        int after;
    };
    const Case cases[] = {
        {"vote level steps to the other end", CL_ScanComm_VoteLevel_Fast, 176065, 0xB0, "-80", ' ', 0x88},
        {"and back", CL_ScanComm_VoteLevel_L0, 176067, 0x88, "-120", 8, 0xB0},
        {"signal strength sampling", CL_ScanComm_VoteTimer_Rssi, 176064, 123, "1230", ' ', 124},
        {"signal strength wraps", CL_ScanComm_VoteTimer_Rssi, 176064, 255, "2550", ' ', 0},
        {"millisecond timer", CL_ScanComm_ScanTimer_Fast, 175686, 50, "  0.050", ' ', 51},
        {"tenths timer", CL_ScanComm_StopTimer, 175699, 0, "  0.000", 8, 255},
        {"flag", CL_ScanComm_VoteOnFast, 175770, 0x20, "On", ' ', 0x00},
    };
    for (const Case& k : cases) {
        image.Byte(k.offset, k.before);
        EXPECT_EQ(Shown(k.label), k.shown) << k.what;
        Key(k.label, k.key);
        EXPECT_EQ(image.ReadU8(k.offset), k.after) << k.what;
    }
    // Typed levels are held to the range; the sampling takes tens.
    Typed(CL_ScanComm_VoteLevel_L2, "-130");
    EXPECT_EQ(int8_t(image.ReadU8(176066)), -120);
    Typed(CL_ScanComm_VoteTimer_Rssi, "1234");
    EXPECT_EQ(image.ReadU8(176064), 123);

    // Values over two bytes.
    image.Byte(175681, 0x7F).Byte(175776, 0xDF);
    EXPECT_EQ(Shown(CL_ScanComm_PwrOnScan), "Off");
    Pick(CL_ScanComm_PwrOnScan, 3);
    EXPECT_EQ(image.ReadU8(175681), 0xFF);
    EXPECT_EQ(image.ReadU8(175776), 0xFF);
    Pick(CL_ScanComm_PwrOnScan, 2);
    EXPECT_EQ(image.ReadU8(175776), 0xDF);
}

}  // namespace
