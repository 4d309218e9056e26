// The trunking and vote-zone settings on the bank rows, by bank type, and
// the LTR operation settings.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "platform/base/RecordingCanvas.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> TrunkLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    for (const char* key : {"GI_Sheet_Sel_Misc_OnOff", "GI_Sheet_Sel_Misc_OnOff2", "GI_Sheet_Sel_Misc_Phone",
                            "GI_Sheet_Sel_Ltr_TA_OutRange", "GI_Sheet_Sel_LsdDecode"})
        add(ListSection(key, "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff_I", "Flex0", {{0, "On"}, {1, "Off"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable2", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable_I", "Flex0", {{0, "Enable"}, {1, "Disable"}}));
    add(ListSection("GI_Sheet_Sel_Mch_RfPwr", "Flex0", {{0, "Low 1"}, {1, "Low 2"}, {2, "Low 3"}, {3, "High"}}));
    add(ListSection("GI_Sheet_Sel_Mch_ScramOn", "Flex0", {{0, "Off"}, {1, "On"}, {2, "Sw off"}, {3, "Sw on"}}));
    add(ListSection("GI_Sheet_Sel_Mch_ScramType", "Flex0", {{0, "T1"}, {1, "T2"}, {2, "T3"}, {3, "T4"}}));
    add(ListSection("GI_Sheet_Sel_EncryptionList", "Flex0", {{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"}}));
    return lines;
}

constexpr int kBank = 9;
constexpr int kLtrOptions = 204974;

struct Trunk : ::testing::Test {
    Trunk() { image.BankCounts({2}); }

    CellExecResult Run(Capsule& c) { return indActiveCell().Exec(&c.cap, 1); }
    std::string Shown(int label, int index = kBank, int category = CT_BankOp)
    {
        auto cell = MakeCell(category, label, index);
        Capsule c(cell.get(), false);
        Run(c);
        return c.cap.Text;
    }
    bool Grey(int label, int index = kBank, int category = CT_BankOp)
    {
        auto cell = MakeCell(category, label, index);
        plat::RecordingCanvas canvas;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        Run(c);
        return canvas.GetFont().color == plat::clSilver;
    }
    CellChangeScope Pick(int label, int value, int index = kBank, int category = CT_BankOp)
    {
        auto cell = MakeCell(category, label, index);
        Capsule c(cell.get());
        c.Pick(Flex0, value);
        CellChangeScope scope = 0;
        c.cap.OnChange = [&](cmcCellCapsule*, CellChangeScope s) { scope = s; };
        Run(c);
        return scope;
    }
    void Typed(int label, const std::string& text, int index = kBank, int category = CT_BankOp)
    {
        auto cell = MakeCell(category, label, index);
        Capsule c(cell.get());
        c.Edit(text);
        Run(c);
    }
    void Key(int label, int key, int index = kBank, int category = CT_BankOp)
    {
        auto cell = MakeCell(category, label, index);
        Capsule c(cell.get());
        c.cap.Key = key;
        Run(c);
    }
    datCh Bank() const { return image.Read(13, kBank); }

    CellWorld world{TrunkLists()};
    TestImage image{world.Image()};
};

// Every bank setting on every bank type: "---" where it does not belong
// (input ignored), the value and the change where it does.
TEST_F(Trunk, BankColumnsByBankType)
{
    enum Types : unsigned { C = 1, L = 2, Z = 4, M = 8, V = 16 };
    struct Column {
        int label;
        unsigned types;     // where the column applies
        const char* input;  // typed, or null for a pick of entry 1
        const char* shown;  // after the input
    };
    const Column columns[] = {
        {CL_Ltr_BlockIdEna, L | Z | M, nullptr, "Enable"},
        {CL_Ltr_BlockId_Fleet, M, "12", "12"},
        {CL_Ltr_BlockIdStart, L | Z | M, "1", "1"},
        {CL_Ltr_DecPriTgEna, L | Z | M, nullptr, "On"},
        {CL_Ltr_PriTg_Fleet, M, "30", "30"},
        {CL_Ltr_PriTgId, L | Z | M, "200", "200"},
        {CL_Ltr_RxBroadcast, M, "1500", "1500"},
        {CL_Ltr_TotDispatch, L | Z, nullptr, "On"},
        {CL_Ltr_TotPhone, L | Z, nullptr, "On"},
        {CL_Ltr_TaBusyLockout, L | Z, nullptr, "On"},
        {CL_Ltr_BeepHandShake, L | Z | M, nullptr, "On"},
        {CL_Zone_TxErrBeep, Z | M, nullptr, "Off"},
        {CL_Ltr_BeepOnRx, L | Z | M, nullptr, "On"},
        {CL_Ltr_PwrSave, L | Z | M, nullptr, "On"},
        {CL_VoteZone_RfPo, V, nullptr, "Low 2"},
        {CL_VoteZone_Scrm_On, V, nullptr, "On"},
        {CL_VoteZone_Fast_Mute, V, nullptr, "On"},
        {CL_VoteZone_Encryption, V, "3", "3"},
        {CL_Ltr_Op_NumPreBit, L, "77", "77"},
        {CL_Ltr_Op_NumHangBit, L, "0", "0"},
    };
    const std::pair<TestImage::BankType, unsigned> types[] = {{TestImage::Conventional, C}, {TestImage::Ltr, L},
                                                              {TestImage::Zeph, Z}, {TestImage::Multisite, M},
                                                              {TestImage::VoteZone, V}};
    for (const auto& [type, bit] : types) {
        for (const Column& k : columns) {
            image.Type(kBank, type).Item(13, kBank, [](datCh& b) {
                // A wide ZEPH block range so that a start of 1 is accepted.
                b.ZephWord0 = 5;
                b.ZephWord1 = 1000;
            });
            const cmcEeprom before(world.Image());
            if (k.input)
                Typed(k.label, k.input);
            else
                Pick(k.label, 1);
            const std::string what = std::string(CellLabelName(k.label)) + " on type " + std::to_string(bit);
            if (k.types & bit) {
                EXPECT_EQ(Shown(k.label), k.shown) << what;
                EXPECT_FALSE(Grey(k.label)) << what;
            } else {
                EXPECT_EQ(Shown(k.label), "---") << what;
                EXPECT_TRUE(Grey(k.label)) << what;
                EXPECT_TRUE(world.Image().Equals(before)) << what;
            }
        }
    }
}

TEST_F(Trunk, LtrAndZephBanksKeepTheirSettingsInTheirOwnTables)
{
    image.Type(kBank, TestImage::Ltr);
    Pick(CL_Ltr_TotPhone, 1);
    Typed(CL_Ltr_PriTgId, "300");  // above the LTR range
    EXPECT_TRUE(Bank().LtrBankFlags.L4);
    EXPECT_FALSE(Bank().ZephBankFlags2.TotPhone);
    EXPECT_EQ(Bank().LtrPriTgId, 250);

    image.Type(kBank, TestImage::Zeph);
    EXPECT_EQ(Shown(CL_Ltr_TotPhone), "Off");
    Pick(CL_Ltr_TotPhone, 1);
    Typed(CL_Ltr_PriTgId, "1999");
    EXPECT_TRUE(Bank().ZephBankFlags2.TotPhone);
    EXPECT_EQ(Bank().ZephWord2, 1999u);
    // Time-out on dispatch of a ZEPH bank is the LTR table's bit.
    Pick(CL_Ltr_TotDispatch, 1);
    EXPECT_TRUE(Bank().LtrBankFlags.L3);
}

TEST_F(Trunk, ZephBlockRangeStaysOrderedAndACrossedRangeTakesNoInput)
{
    image.Type(kBank, TestImage::Zeph).Item(13, kBank, [](datCh& b) {
        b.ZephWord0 = 100;
        b.ZephWord1 = 200;
    });
    Typed(CL_Ltr_BlockIdStart, "500");
    EXPECT_EQ(Bank().ZephWord0, 200u);
    Typed(CL_Ltr_BlockIdEnd, "50");
    EXPECT_EQ(Bank().ZephWord1, 200u);
    Typed(CL_Ltr_BlockIdEnd, "1800");
    EXPECT_EQ(Bank().ZephWord1, 1800u);

    // A start above the end (as a radio may hold it) shows as it is.
    image.Item(13, kBank, [](datCh& b) {
        b.ZephWord0 = 300;
        b.ZephWord1 = 0;
    });
    const cmcEeprom before(world.Image());
    EXPECT_EQ(Shown(CL_Ltr_BlockIdStart), "300");
    Key(CL_Ltr_BlockIdStart, ' ');
    Typed(CL_Ltr_BlockIdStart, "7");
    EXPECT_TRUE(world.Image().Equals(before));
}

TEST_F(Trunk, BroadcastFleetAppliesOnceABroadcastIdIsSet)
{
    image.Type(kBank, TestImage::Multisite);
    EXPECT_EQ(Shown(CL_Ltr_RxBroadcast), "OFF");
    EXPECT_EQ(Shown(CL_Ltr_RxBroadcast_Fleet), "---");
    Key(CL_Ltr_RxBroadcast, ' ');
    EXPECT_EQ(Shown(CL_Ltr_RxBroadcast), "1");
    Typed(CL_Ltr_RxBroadcast_Fleet, "4");
    EXPECT_EQ(Shown(CL_Ltr_RxBroadcast_Fleet), "4");
    Key(CL_Ltr_RxBroadcast, 8);
    EXPECT_EQ(Shown(CL_Ltr_RxBroadcast), "OFF");
    EXPECT_EQ(Shown(CL_Ltr_RxBroadcast_Fleet), "---");
}

TEST_F(Trunk, VoteZoneScramblerCodeKeepsItsNumberAcrossTypes)
{
    image.Type(kBank, TestImage::VoteZone);
    Typed(CL_VoteZone_Scrm_Code, "9");
    EXPECT_EQ(Bank().VoteZoneScrmCode, 9u);
    Pick(CL_VoteZone_Scrm_Type, 2);  // codes from 0
    EXPECT_EQ(Bank().VoteZoneScrmCode, 8u);
    EXPECT_EQ(Shown(CL_VoteZone_Scrm_Code), "9");
    Pick(CL_VoteZone_Scrm_Type, 1);  // no code
    EXPECT_EQ(Bank().VoteZoneScrmCode, 9u);
    EXPECT_EQ(Shown(CL_VoteZone_Scrm_Code), "----");
    EXPECT_TRUE(Grey(CL_VoteZone_Scrm_Code));
    // A code of 0 entering type 2 stays 0 instead of running past the byte.
    image.Item(13, kBank, [](datCh& b) { b.VoteZoneScrmCode = 0; });
    Pick(CL_VoteZone_Scrm_Type, 2);
    EXPECT_EQ(Bank().VoteZoneScrmCode, 0u);
    // Type 2 has 16 codes, shown 1 to 16 and stored 0 to 15.
    Typed(CL_VoteZone_Scrm_Code, "16");
    EXPECT_EQ(Bank().VoteZoneScrmCode, 15u);
    Typed(CL_VoteZone_Scrm_Code, "17");
    EXPECT_EQ(Bank().VoteZoneScrmCode, 15u);
    // A code of 255 leaving type 2 stays within the byte.
    image.Item(13, kBank, [](datCh& b) { b.VoteZoneScrmCode = 255; });
    Pick(CL_VoteZone_Scrm_Type, 0);
    EXPECT_EQ(Bank().VoteZoneScrmCode, 255u);
    world.Pump();
    EXPECT_FALSE(world.PostedOf(ev::UpdateBankNodes).empty());
}

TEST_F(Trunk, LtrOperationSettings)
{
    image.Byte(kLtrOptions, 0);
    // ATB ring-back is global and works on any bank's row or page.
    Pick(CL_Ltr_AtbRingBack, 1, 0, CT_Null);
    EXPECT_EQ(image.ReadU8(kLtrOptions), 0x01);
    Pick(CL_Ltr_Op_DispOnPtt, 1, 0, CT_Null);
    Pick(CL_Ltr_Op_BeepWithinRange, 1, 0, CT_Null);
    EXPECT_EQ(image.ReadU8(kLtrOptions), 0x91);

    EXPECT_FALSE(Grey(CL_Ltr_Op_TA_withinRange, 0, CT_Null));
    const CellChangeScope scope = Pick(CL_Ltr_Op_TA_OutOfRange, 1, 0, CT_Null);
    EXPECT_NE(scope & csEveryLabelled, 0);
    EXPECT_EQ(image.ReadU8(kLtrOptions), 0x93);
    EXPECT_TRUE(Grey(CL_Ltr_Op_TA_withinRange, 0, CT_Null));

    Typed(CL_Ltr_Op_Tim_FadeTimer, "2.5", 0, CT_Null);
    EXPECT_EQ(image.ReadU8(204976), 25);
    Pick(CL_Ltr_Op_LSD_Decoder, 1, 0, CT_Null);
    EXPECT_EQ(image.ReadU8(204977), 0x80);
}

TEST_F(Trunk, RowNumbersAndQuarterPillar)
{
    EXPECT_EQ(Shown(CL_Misc_ChNo_0Base, 4, CT_Null), "4");
    EXPECT_EQ(Shown(CL_Misc_ChNo_1Base, 4, CT_Null), "5");

    auto cell = MakeCell(CT_Null, CL_Misc_QuarterPillar, 0);
    plat::RecordingCanvas canvas;
    plat::Rect rect{10, 100, 50, 120};
    Capsule c(cell.get(), false);
    c.cap.Canvas = &canvas;
    c.cap.CellRect = &rect;
    Run(c);
    ASSERT_EQ(canvas.Calls().size(), 1u);
    EXPECT_EQ(canvas.Calls()[0].rect, (plat::Rect{10, 114, 50, 120}));
    EXPECT_EQ(canvas.Calls()[0].brush.color, plat::RGB(128, 128, 128));
}

}  // namespace
