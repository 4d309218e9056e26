// The DTMF memories, decode entries and timers, and the tone list with its
// empty row that adds an entry up to the list's limit.
#include "cells/HandlerSupport.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "model/TableAccess.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"
#include "tests/cells/SettingCells.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> DtmfLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2_I", "Flex0", {{0, "No"}, {1, "Yes"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Bell", "Flex0", {{0, "Off"}, {1, "Bell 1"}, {2, "Bell 2"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Stun_Dtmf", "Flex0", {{0, "Off"}, {1, "Stun"}, {2, "Kill"}}));
    add(ListSection("GI_Sheet_Sel_RxC_AbcSel", "Flex0", {{0, "Off"}, {1, "Number"}}));
    add({"#GI_Sheet_Sel_Mch_CTone_Cells", "{(%Flex0[0])}67.0|{(%Flex0[1])}69.3|{(%Flex0[52])}Off|{(%FlexDtcs[53])}DTCS"});
    add({"#GI_AppItem_Ctcss", "67.0,69.3", "#"});
    add({"#GI_AppMess_ChErr_Overflow", "The list is full.", "#"});
    return lines;
}

// The shared cell calls, with the category first as the tables here list it.
std::string Shown(int category, int label, int index) { return settingtest::Shown(label, index, category); }

CellExecResult Typed(int category, int label, int index, const std::string& text)
{
    settingtest::Call call(label, index, category);
    call.c.Edit(text);
    return call.Run();
}

CellExecResult Key(int category, int label, int index, int key) { return settingtest::Key(label, key, index, category); }

void Picked(int category, int label, int index, int value) { settingtest::Pick(label, value, Flex0, index, category); }

constexpr int kDtmfKind = 5;
constexpr int kDecodeKind = 23;
constexpr int kToneKind = 7;

TEST(DtmfMemories, TheFixedEntriesAreNamedByModel)
{
    struct Case {
        int model;
        int index;
        const char* name;
    };
    for (const Case& k : {Case{0, 0, "Autodial"}, Case{0, 3, "4"}, Case{0, 6, "Emergency"}, Case{0, 7, "Log/ID"},
                          Case{1, 0, "Autodial"}, Case{1, 6, "7"}, Case{1, 7, "8"}}) {
        SCOPED_TRACE(std::to_string(k.model) + "/" + std::to_string(k.index));
        CellWorld world(DtmfLists(), k.model);
        EXPECT_EQ(Shown(CT_DTMF, CL_Dtmf_ChNo, k.index), k.name);
        EXPECT_EQ(Key(CT_DTMF, CL_Dtmf_ChNo, k.index, '5'), erNothing);  // read only
    }
}

TEST(DtmfMemories, TypedDigitsArePackedTwoToAByteUpToTwentyFour)
{
    CellWorld world(DtmfLists());
    struct Case {
        int label;
        const char* typed;
        const char* shown;
        int count;
    };
    for (const Case& k : {Case{CL_Dtmf_Code, "12*#a", "12*#A", 5}, Case{CL_Dtmf_CodeEmer, "9x-9", "99", 2},
                          Case{CL_Dtmf_CodeID, "0123456789012345678901234567", "012345678901234567890123", 24},
                          Case{CL_Dtmf_Code, "", "", 0}}) {
        SCOPED_TRACE(k.typed);
        Typed(CT_DTMF, k.label, 2, k.typed);
        EXPECT_EQ(Shown(CT_DTMF, k.label, 2), k.shown);
        EXPECT_EQ(TestImage(world.Image()).Read(kDtmfKind, 2).DigitCount, k.count);
    }
    Typed(CT_DTMF, CL_Dtmf_Code, 2, "12*#");
    const datCh entry = TestImage(world.Image()).Read(kDtmfKind, 2);
    EXPECT_EQ(entry.Digits[0], 0x12);
    EXPECT_EQ(entry.Digits[1], 0xEF);
    Typed(CT_DTMF, CL_Dtmf_Text, 2, "GATE");
    EXPECT_EQ(std::string(TestImage(world.Image()).Read(kDtmfKind, 2).LongText, 24), "GATE" + std::string(20, ' '));
}

TEST(DtmfDecode, EntriesKeepTheirCodesAndOptions)
{
    CellWorld world(DtmfLists());
    Typed(CT_DTMF_Rx, CL_Dtmf_Decode_Code, 9, "5551");
    Picked(CT_DTMF_Rx, CL_Dtmf_Decode_Bell, 9, 2);
    Picked(CT_DTMF_Rx, CL_Dtmf_Decode_Stun, 9, 1);
    Typed(CT_DTMF_Rx, CL_Dtmf_Decode_Abc, 9, "12");
    const datCh entry = TestImage(world.Image()).Read(kDecodeKind, 9);
    EXPECT_EQ(entry.DigitCount, 4);
    EXPECT_EQ(entry.DecBell, 2u);
    EXPECT_EQ(entry.DecStun, 1u);
    EXPECT_EQ(entry.DecAbc, 12u);
    EXPECT_EQ(Shown(CT_DTMF_Rx, CL_Dtmf_Decode_Code, 9), "5551");
    EXPECT_EQ(Shown(CT_DTMF_Rx, CL_Dtmf_Decode_Bell, 9), "Bell 2");
    EXPECT_EQ(Shown(CT_DTMF_Rx, CL_Dtmf_Decode_Stun, 9), "Stun");
    EXPECT_EQ(Shown(CT_DTMF_Rx, CL_Dtmf_Decode_Abc, 9), "12");
    // The neighbour entry is untouched.
    EXPECT_EQ(TestImage(world.Image()).Read(kDecodeKind, 8).DecBell, 0u);
}

TEST(DtmfTimers, BytesCountHundredthsOrTenthsOfASecond)
{
    CellWorld world(DtmfLists());
    struct Case {
        int label;
        int offset;
        const char* typed;
        int stored;
    };
    for (const Case& k : {Case{CL_Dtmf_DtmfTimer, 175695, "1.5", 150}, Case{CL_Dtmf_FirstTimer, 175696, "0.07", 7},
                          Case{CL_Dtmf_MarkTimer, 175697, "0.255", 25}, Case{CL_Dtmf_PttDelayTimer, 175773, "9", 255},
                          Case{CL_Dtmf_NotoneTimer, 175774, "0.5", 50}, Case{CL_Dtmf_ANI_Disp_Timer, 175777, "2.5", 25}}) {
        SCOPED_TRACE(k.typed);
        Typed(CT_Null, k.label, 0, k.typed);
        EXPECT_EQ(TestImage(world.Image()).ReadU8(k.offset), k.stored);
    }
    EXPECT_EQ(Shown(CT_Null, CL_Dtmf_DtmfTimer, 0), "  1.500");
    EXPECT_EQ(Shown(CT_Null, CL_Dtmf_ANI_Disp_Timer, 0), "  2.500");
    // The compare-tone switch is one bit of its byte.
    TestImage(world.Image()).Byte(175771, 0xF0);
    Picked(CT_Null, CL_Dtmf_CompareTone, 0, 1);
    EXPECT_EQ(TestImage(world.Image()).ReadU8(175771), 0xF1);
    EXPECT_EQ(Shown(CT_Null, CL_Dtmf_CompareTone, 0), "On");
}

struct ToneList : ::testing::Test {
    ToneList() : world(DtmfLists())
    {
        TestImage(world.Image()).ToneListCount(2);
        TestImage(world.Image()).Item(kToneKind, 1, [](datCh& t) {
            t.RxTone = ToneSpec{};
            t.RxTone.On = 1;
            t.RxTone.AnalogIndex = 1;
        });
        world.Main().Pack(world.Image());  // the clone memory's use
    }
    CellWorld world;
    plat::ScopedDialogScript dialogs;
};

TEST_F(ToneList, ADigitInTheEmptyRowAddsAnEntryAndEditsItsReceiveTone)
{
    EXPECT_EQ(Shown(CT_CTone, CL_CTone_RX, 1), "69.3");
    EXPECT_EQ(Shown(CT_CTone, CL_CTone_RX, 2), "");
    EXPECT_EQ(Shown(CT_CTone, CL_CTone_TX, 2), "");
    EXPECT_EQ(Key(CT_CTone, CL_CTone_RX, 2, '6'), erStartEdit);
    EXPECT_EQ(CToneListCount(), 3);
    EXPECT_EQ(world.SentOf(ev::InsertTone).size(), 1u);
    Typed(CT_CTone, CL_CTone_RX, 2, "67");
    EXPECT_EQ(Shown(CT_CTone, CL_CTone_RX, 2), "67.0");
    // A row further down is not the empty row: nothing is added.
    Key(CT_CTone, CL_CTone_RX, 5, '6');
    EXPECT_EQ(CToneListCount(), 3);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(ToneList, EntriesAreAddedUpToEightyThenRefused)
{
    TestImage(world.Image()).ToneListCount(78);
    world.Main().Pack(world.Image());
    Key(CT_CTone, CL_CTone_RX, 78, '6');
    Key(CT_CTone, CL_CTone_RX, 79, cellkey::Space);
    EXPECT_EQ(CToneListCount(), 80);
    EXPECT_TRUE(dialogs.Boxes().empty());
    const std::vector<uint8_t> before(world.Image().Data(), world.Image().Data() + world.Image().Size());
    dialogs.Answer(plat::IDOK);
    Key(CT_CTone, CL_CTone_RX, 80, '6');
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "The list is full.");
    EXPECT_EQ(dialogs.Boxes()[0].Icon(), unsigned(plat::MB_ICONERROR));
    EXPECT_EQ(CToneListCount(), 80);
    EXPECT_EQ(std::vector<uint8_t>(world.Image().Data(), world.Image().Data() + world.Image().Size()), before);
    EXPECT_EQ(Shown(CT_CTone, CL_CTone_RX, 80), "");
}

TEST_F(ToneList, TheSelectFlagIsOneBitOfTheEntry)
{
    Picked(CT_CTone, CL_CTone_Sel, 1, 1);
    EXPECT_EQ(TestImage(world.Image()).Read(kToneKind, 1).ListSel.CToneSel, 1);
    EXPECT_EQ(TestImage(world.Image()).Read(kToneKind, 0).ListSel.CToneSel, 0);
    EXPECT_EQ(Shown(CT_CTone, CL_CTone_Sel, 1), "Yes");
}

}  // namespace
