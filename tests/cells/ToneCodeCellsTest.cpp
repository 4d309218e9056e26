// The 2-tone and 5-tone codes, their common settings and the user tones:
// stored values shown, typed and picked values stored, the decode windows
// that follow a frequency, and the rounding of typed tone values.
#include "cells/HandlerSupport.h"
#include "cells/RecordFields.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "tests/cells/CellWorld.h"
#include "tests/cells/SettingCells.h"

#include <gtest/gtest.h>

#include <map>

using namespace celltest;

namespace {

std::vector<std::string> ToneLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_2TRxC_Group", "Flex0", {{0, "Individual"}, {1, "Group"}}));
    add(ListSection("GI_Sheet_Sel_2TRxC_Type", "Flex0", {{0, "One tone"}, {1, "Two tones"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Bell", "Flex0", {{0, "Off"}, {1, "Bell 1"}, {2, "Bell 2"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux", "Flex0", {{0, "Off"}, {1, "AUX 1"}, {2, "AUX 2"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux_Act", "FlexRxCodeAUX", {{0, "Off"}, {1, "On"}, {2, "Momentary"}}));
    return lines;
}

// The shared cell calls, with the category first as the tables here list it.
std::string Shown(int category, int label, int index) { return settingtest::Shown(label, index, category); }

bool Warned(int category, int label, int index)
{
    settingtest::Call call(label, index, category, false);
    call.Run();
    return call.c.cap.WarningMark;
}

void Typed(int category, int label, int index, const std::string& text)
{
    settingtest::Typed(label, text, index, category);
}

void Key(int category, int label, int index, int key) { settingtest::Key(label, key, index, category); }

void Picked(int category, int label, int index, int pickLabel, int value)
{
    settingtest::Pick(label, value, pickLabel, index, category);
}

constexpr int kRxCodeKind = 8;
constexpr int kTxCodeKind = 9;
constexpr int kUserToneKind = 10;
constexpr int kTwoToneKind = 11;

datCh TwoTone(CellWorld& w, int i) { return TestImage(w.Image()).Read(kTwoToneKind, i); }

TEST(TwoToneCodes, ADecodeFrequencySetsItsWindowTwoPercentEitherSide)
{
    CellWorld world(ToneLists());
    struct Case {
        const char* typed;
        uint32_t low, nominal, high;
        const char* shown;
    };
    for (const Case& k : {Case{"1000", 9800, 10000, 10200, "1000.0"}, Case{"250", 2450, 2500, 2550, "250.0"},
                          Case{"3300", 32340, 33000, 33660, "3300.0"}, Case{"9999", 32340, 33000, 33660, "3300.0"},
                          Case{"100", 2450, 2500, 2550, "250.0"}}) {
        SCOPED_TRACE(k.typed);
        Typed(CT_2Tone_Code, CL_2T_RxFreq_2nd, 4, k.typed);
        const datCh code = TwoTone(world, 4);
        EXPECT_EQ(code.Freq2Low, k.low);
        EXPECT_EQ(code.TxFreq2, double(k.nominal));
        EXPECT_EQ(code.Freq2High, k.high);
        EXPECT_EQ(Shown(CT_2Tone_Code, CL_2T_RxFreq_2nd, 4), k.shown);
    }
    // The first tone's window is its own.
    EXPECT_EQ(TwoTone(world, 4).Freq1Low, 0u);
}

TEST(TwoToneCodes, TheTransmitFrequencyLeavesTheDecodeWindow)
{
    CellWorld world(ToneLists());
    Typed(CT_2Tone_Code, CL_2T_RxFreq_1st, 2, "1000");
    Typed(CT_2Tone_Code, CL_2TTx_Freq_1st, 2, "1100");
    EXPECT_EQ(TwoTone(world, 2).TxFreq1, 11000.0);
    EXPECT_EQ(TwoTone(world, 2).Freq1High, 10200u);
}

TEST(TwoToneCodes, TheFirstRowShowsDashesAndTakesNoInput)
{
    CellWorld world(ToneLists());
    for (int label : {CL_2T_RxFreq_1st, CL_2T_RxFreq_2nd, CL_2T_GroupCall, CL_2T_AutoTx, CL_2T_Code_Type,
                      CL_2TTx_Freq_1st, CL_2T_1st_Period, CL_2T_2nd_Period}) {
        SCOPED_TRACE(label);
        EXPECT_EQ(Shown(CT_2Tone_Code, label, 0), "----");
        Typed(CT_2Tone_Code, label, 0, "1000");
        EXPECT_EQ(Shown(CT_2Tone_Code, label, 0), "----");
    }
    for (int label : {CL_5TRx_RxCode, CL_5TRx_Abc, CL_5TRx_AutoTx}) EXPECT_EQ(Shown(CT_RX_Code, label, 0), "----");
}

TEST(TwoToneCodes, AOneToneCodeHasNoSecondTransmitTone)
{
    CellWorld world(ToneLists());
    Picked(CT_2Tone_Code, CL_2T_Code_Type, 3, Flex0, 0);
    EXPECT_EQ(Shown(CT_2Tone_Code, CL_2TTx_Freq_2nd, 3), "----  ");
    Typed(CT_2Tone_Code, CL_2TTx_Freq_2nd, 3, "1500");
    EXPECT_EQ(TwoTone(world, 3).TxFreq2, 0.0);
    Picked(CT_2Tone_Code, CL_2T_Code_Type, 3, Flex0, 1);
    Typed(CT_2Tone_Code, CL_2TTx_Freq_2nd, 3, "1500");
    EXPECT_EQ(TwoTone(world, 3).TxFreq2, 15000.0);
    EXPECT_EQ(Shown(CT_2Tone_Code, CL_2T_Code_Type, 3), "Two tones");
}

// Typed tone values are taken to the stored unit with halves away from
// zero; what is stored reads back as the text shown after typing.
TEST(ToneRounding, TypedValuesStoreAsShownAndReadBackTheSame)
{
    CellWorld world(ToneLists());
    Picked(CT_2Tone_Code, CL_2T_Code_Type, 5, Flex0, 1);
    struct Case {
        int label;
        const char* typed;
        double stored;
        const char* shown;
    };
    const Case cases[] = {
        {CL_2T_RxFreq_1st, "1000.05", 10001, "1000.1"}, {CL_2T_RxFreq_1st, "1000.04", 10000, "1000.0"},
        {CL_2T_RxFreq_1st, "999.95", 10000, "1000.0"},  {CL_2TTx_Freq_2nd, "250.05", 2501, " 250.1"},
        {CL_2T_1st_Period, "0.25", 3, "0.3"},           {CL_2T_1st_Period, "0.24", 2, "0.2"},
        {CL_2T_2nd_Period, "1.05", 11, "1.1"},          {CL_2T_2nd_Period, "30", 255, "25.5"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.typed);
        Typed(CT_2Tone_Code, k.label, 5, k.typed);
        const std::string shownAfterTyping = Shown(CT_2Tone_Code, k.label, 5);
        const datCh code = TwoTone(world, 5);
        const double stored = k.label == CL_2T_RxFreq_1st ? code.TxFreq1
                              : k.label == CL_2TTx_Freq_2nd ? code.TxFreq2
                              : k.label == CL_2T_1st_Period ? code.Period1
                                                            : code.Period2;
        EXPECT_EQ(stored, k.stored);
        EXPECT_EQ(Trimmed(shownAfterTyping), Trimmed(k.shown));
        // Written out through the codec and read again: the same text.
        world.Main().Pack(world.Image());
        EXPECT_EQ(Shown(CT_2Tone_Code, k.label, 5), shownAfterTyping);
    }
    struct Real {
        double value;
        int rounded;
    };
    for (const Real& r : {Real{1500.5, 1501}, Real{1500.49, 1500}, Real{-2.5, -3}, Real{2.5, 3}, Real{0.0, 0}})
        EXPECT_EQ(RoundHalfAway(r.value), r.rounded) << r.value;
}

TEST(TwoToneCodes, OptionsAndTheAuxOutputAreStoredInTheCode)
{
    CellWorld world(ToneLists());
    Picked(CT_2Tone_Code, CL_2T_GroupCall, 6, Flex0, 1);
    Picked(CT_2Tone_Code, CL_2T_Bell, 6, Flex0, 2);
    Picked(CT_2Tone_Code, CL_2T_Aux, 6, Flex0, 2);
    Picked(CT_2Tone_Code, CL_2T_Aux, 6, FlexRxCodeAUX, 2);
    EXPECT_EQ(TwoTone(world, 6).GroupCall, 1u);
    EXPECT_EQ(TwoTone(world, 6).TtBell, 2u);
    EXPECT_EQ(TwoTone(world, 6).TtAux, 2u);
    EXPECT_EQ(TwoTone(world, 6).TtAuxMode, 2u);
    EXPECT_EQ(Shown(CT_2Tone_Code, CL_2T_Aux, 6), "AUX 2 /Momentary");
    // No AUX output keeps no action.
    Picked(CT_2Tone_Code, CL_2T_Aux, 6, Flex0, 0);
    EXPECT_EQ(TwoTone(world, 6).TtAux, 0u);
    EXPECT_EQ(TwoTone(world, 6).TtAuxMode, 0u);
    Typed(CT_2Tone_Code, CL_2T_Text, 6, "YARD");
    EXPECT_EQ(std::string(TwoTone(world, 6).LongText, 4), "YARD");
}

// Saving a code writes the first 12 characters of its name as its transmit
// text, so that text follows the name and takes no input of its own.
TEST(TwoToneCodes, TheTransmitTextIsTheNamesFirstTwelveCharacters)
{
    CellWorld world(ToneLists());
    Typed(CT_2Tone_Code, CL_2T_Text, 3, "NORTH YARD SIGNAL BOX");
    EXPECT_EQ(std::string(TwoTone(world, 3).Text, 12), "NORTH YARD S");
    EXPECT_EQ(Shown(CT_2Tone_Code, CL_2T_TxText, 3), "NORTH YARD S");
    auto bytes = [&world] { return std::vector<uint8_t>(world.Image().Data(), world.Image().Data() + world.Image().Size()); };
    const std::vector<uint8_t> before = bytes();
    Typed(CT_2Tone_Code, CL_2T_TxText, 3, "OTHER");
    Key(CT_2Tone_Code, CL_2T_TxText, 3, cellkey::Space);
    Key(CT_2Tone_Code, CL_2T_TxText, 3, cellkey::Enter);
    EXPECT_TRUE(bytes() == before);
    EXPECT_EQ(Shown(CT_2Tone_Code, CL_2T_TxText, 3), "NORTH YARD S");
    EXPECT_TRUE(world.popups.calls.empty()) << "no editor opens on it";
    // A 5-tone encode code keeps a text of its own.
    Typed(CT_TX_Code, CL_5TTx_Text, 3, "DEPOT");
    EXPECT_EQ(Shown(CT_TX_Code, CL_5TTx_Text, 3).substr(0, 5), "DEPOT");
}

TEST(FiveToneCodes, CodesAndDigitSetsAreStored)
{
    CellWorld world(ToneLists());
    Typed(CT_RX_Code, CL_5TRx_RxCode, 3, "12345");
    EXPECT_EQ(Shown(CT_RX_Code, CL_5TRx_RxCode, 3), "12345");
    Typed(CT_TX_Code, CL_5TTx_TxCode, 31, "54321");
    EXPECT_EQ(Shown(CT_TX_Code, CL_5TTx_TxCode, 31), "54321");
    Picked(CT_RX_Code, CL_5TRx_Bell, 3, Flex0, 1);
    EXPECT_EQ(TestImage(world.Image()).Read(kRxCodeKind, 3).DecBell, 1u);
    // Digit 3 is bit 5; the update flag (bit 0) stays.
    Picked(CT_TX_Code, CL_5TTx_Update, 4, Flex0, 1);
    Key(CT_TX_Code, CL_5TTx_InputDigit, 4, '3');
    const datCh tx = TestImage(world.Image()).Read(kTxCodeKind, 4);
    EXPECT_EQ(tx.InputDigit, 0x20);
    EXPECT_EQ(tx.TxUpdate, 1u);
    EXPECT_EQ(Shown(CT_TX_Code, CL_5TTx_InputDigit, 4), "__3____\n");
}

TEST(ToneSettings, CommonBytesShowAndStoreWithinTheirRanges)
{
    CellWorld world(ToneLists());
    struct Case {
        int label;
        const char* typed;
        int key;
        int offset;
        int before, after;
    };
    const Case cases[] = {
        {CL_2T_GroupTimer, "2.5", 0, 175698, 0, 25},
        {CL_5TRx_ExoTimer, "7", 0, 175714, 0, 7},
        {CL_2T_BeepRepeatTimer, "61", 0, 175709, 0, 60},
        {CL_5TTx_Link2Timer, "0.3", 0, 175691, 0, 30},
        {CL_5TRx_CompareDigit, nullptr, '1', 175674, 0x01, 0x81},
        {CL_5TTx_DispDigit, nullptr, '7', 175673, 0x00, 0x02},
        {CL_5TTx_SpTone_Group, "F", 0, 175675, 3, 3},    // F is not a group tone
        {CL_5TTx_SpTone_Link2, "F", 0, 175677, 3, 15},
        {CL_5TTx_PTTCallIna, nullptr, 0, 175681, 0x01, 0x41},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);
        TestImage(world.Image()).Byte(k.offset, k.before);
        if (k.typed) Typed(CT_Null, k.label, 0, k.typed);
        else if (k.key) Key(CT_Null, k.label, 0, k.key);
        else Picked(CT_Null, k.label, 0, Flex0, 1);
        EXPECT_EQ(TestImage(world.Image()).ReadU8(k.offset), k.after);
    }
    // The 2-tone no-tone time is the no-tone time of the first user tone.
    Typed(CT_Null, CL_2T_NotoneTimer, 0, "0.1");
    EXPECT_EQ(TestImage(world.Image()).ReadU8(177419), 10);
    EXPECT_EQ(Shown(CT_UserTone, CL_UTone_NotoneTimer, 0), Shown(CT_Null, CL_2T_NotoneTimer, 0));
}

datCh UserTone(CellWorld& w, int i) { return TestImage(w.Image()).Read(kUserToneKind, i); }

TEST(UserTones, TheEncodeFrequencySetsADecodeWindowWithinTheToneRange)
{
    CellWorld world(ToneLists());
    struct Case {
        const char* typed;
        uint32_t low, encode, high;
    };
    for (const Case& k : {Case{"400", 4000, 4000, 4120}, Case{"3000", 29100, 30000, 30000},
                          Case{"1000", 9700, 10000, 10300}}) {
        SCOPED_TRACE(k.typed);
        Typed(CT_UserTone, CL_UTone_Encode, 7, k.typed);
        EXPECT_EQ(UserTone(world, 7).UToneDecLow, k.low);
        EXPECT_EQ(UserTone(world, 7).UToneEncode, k.encode);
        EXPECT_EQ(UserTone(world, 7).UToneDecHigh, k.high);
    }
    EXPECT_FALSE(Warned(CT_UserTone, CL_UTone_Dec_Low, 7));
    Typed(CT_UserTone, CL_UTone_Dec_High, 7, "900");
    EXPECT_EQ(UserTone(world, 7).UToneDecHigh, 9000u);
    EXPECT_TRUE(Warned(CT_UserTone, CL_UTone_Dec_Low, 7));
    EXPECT_TRUE(Warned(CT_UserTone, CL_UTone_Dec_High, 7));
    EXPECT_FALSE(Warned(CT_UserTone, CL_UTone_Dec_High, 6));
}

// Each timing array holds nine tones; the extra row has a period and a
// no-tone time after them. Every cell that takes a value writes one byte of
// that block, a byte no other user-tone cell writes; the rest show dashes
// and write nothing (the user CTCSS tone follows the block).
TEST(UserTones, EachTimingCellWritesOnlyItsOwnByte)
{
    CellWorld world(ToneLists());
    constexpr int kFirst = 177410, kLast = 177438;
    auto bytes = [&world] { return std::vector<uint8_t>(world.Image().Data(), world.Image().Data() + world.Image().Size()); };
    struct Timing {
        int label;
        const char* typed;
    };
    std::map<int, std::string> owner;
    for (const Timing& t : {Timing{CL_UTone_TonePeriod, "0.2"}, Timing{CL_UTone_NotoneTimer, "0.3"},
                            Timing{CL_UTone_Length, "1"}}) {
        for (int row = 0; row <= 15; ++row) {
            const std::string cell = CellLabelName(t.label) + std::string(" row ") + std::to_string(row);
            SCOPED_TRACE(cell);
            const bool owns = row < 9 || (row == 15 && t.label != CL_UTone_Length);
            const std::vector<uint8_t> before = bytes();
            Typed(CT_UserTone, t.label, row, t.typed);
            const std::vector<uint8_t> after = bytes();
            std::vector<int> written;
            for (size_t i = 0; i < before.size(); ++i)
                if (before[i] != after[i]) written.push_back(int(i));
            if (!owns) {
                EXPECT_TRUE(written.empty());
                EXPECT_EQ(Shown(CT_UserTone, t.label, row), "----");
                continue;
            }
            ASSERT_EQ(written.size(), 1u);
            EXPECT_GE(written[0], kFirst);
            EXPECT_LE(written[0], kLast);
            EXPECT_TRUE(owner.emplace(written[0], cell).second) << "also written by " << owner[written[0]];
        }
    }
    EXPECT_EQ(TestImage(world.Image()).ReadU8(177437), 200);
    EXPECT_EQ(TestImage(world.Image()).ReadU8(177438), 30);
    EXPECT_EQ(TestImage(world.Image()).ReadU8(177428 + 8), 100);
    Typed(CT_UserTone, CL_UTone_TonePeriod, 2, "1");  // above 0.255 s
    EXPECT_EQ(TestImage(world.Image()).ReadU8(177412), 255);
}

}  // namespace
