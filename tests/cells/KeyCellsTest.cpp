// The key and display page: key functions picked and stepped against the
// exclusive functions on other keys (mirrored keys included), the mirrors
// and the key-bank rule, the external emergency flags, the High/Low option
// list, and the option cells' stored bits.
#include "cells/RadioHandlers.h"
#include "cells/HandlerSupport.h"
#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

constexpr int kSmarTrunkKeys = 175734;

std::vector<std::string> KeyLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    // In list order: none, the five exclusive functions, two others, the key bank.
    add(ListSection("GI_Sheet_Sel_Keys_Conv_Lmr", "Flex0",
                    {{0, "None"}, {'0', "Scan"}, {'3', "Talk around"}, {'a', "Emergency"}, {'b', "Speaker"},
                     {'i', "Priority scan"}, {'1', "Power"}, {'6', "Squelch"}, {100, "Key bank"}}));
    add(ListSection("GI_Sheet_Sel_Keys_Conv_Lmr_Ext_Emer", "Flex0", {{94, "Emergency"}, {'a', "Alarm"}, {'1', "Power"}}));
    add(ListSection("GI_Sheet_Sel_Dials_Conv", "Flex0", {{0, "Channel"}, {'7', "Volume"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_Key_SmTr", "Flex0", {{0, "None"}, {'1', "Power"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_Key_SmTr_Ext_Emer", "Flex0", {{94, "Emergency"}, {'1', "Power"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_KeyOpt_HL", "FlexKeyOpt", {{0, "Low"}, {1, "High"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_KeyESpkr2", "FlexKeyOpt", {{0, "Internal"}, {1, "On/Off"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_Rotary", "Flex0", {{0, "Channel"}, {2, "Zone"}, {4, "Volume"}, {6, "Off"}}));
    add(ListSection("GI_Sheet_Sel_Batt_RfPwr", "Flex0", {{1, "Low"}, {2, "Middle"}, {3, "High"}}));
    add(ListSection("GI_Sheet_Sel_MrCode", "Flex0", {{0, "A"}, {3, "D"}, {5, "F"}, {7, "H"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_Tenkey_Normal", "Flex0", {{0, "Normal"}, {17, "Normal 17"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_Tenkey", "Flex0", {{0, "PMR"}, {17, "PMR 17"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_Opening_Beep", "Flex0", {{0, "Off"}, {1, "Short"}, {2, "Long"}, {3, "Tune"}}));
    add(ListSection("GI_Sheet_Sel_Power_Switch", "Flex0", {{0, "A"}, {1, "B"}, {2, "C"}, {3, "D"}}));
    add({"#GI_AppMess_KeyConflict", "This function cannot share the keys with the one already assigned.", "#"});
    add({"#GI_Sheet_Sel_KDisp_Scan_B_Key", "Scan (zone B)"});
    return lines;
}

CellExecResult RunCell(Capsule& c) { return indActiveCell().Exec(&c.cap, 0); }

struct KeyPage : ::testing::Test {
    uint8_t& At(int offset) { return world.Image().Data()[offset]; }
    uint8_t& Conv(int p) { return At(KeyTableConv + p); }
    uint8_t& B2(int p) { return At(KeyTableB2 + p); }
    uint8_t& B3(int p) { return At(KeyTableB3 + p); }
    CellExecResult Run(int label, const std::function<void(Capsule&)>& input)
    {
        auto cell = MakeCell(CT_Null, label);
        Capsule c(cell.get());
        input(c);
        return RunCell(c);
    }
    CellExecResult Pick(int label, int index)
    {
        return Run(label, [&](Capsule& c) { c.Pick(Flex0, index); });
    }
    CellExecResult Key(int label, int key)
    {
        return Run(label, [&](Capsule& c) { c.cap.Key = key; });
    }
    std::string Shown(int label)
    {
        auto cell = MakeCell(CT_Null, label);
        Capsule c(cell.get(), false);
        RunCell(c);
        return c.cap.Text;
    }
    CellWorld world{KeyLists()};
    plat::ScopedDialogScript dialogs;
};

struct ConflictCase {
    const char* what;
    std::function<void(KeyPage&)> before;  // functions on other keys
    int label;                              // the key edited
    int position;
    int pick;                               // a function picked, or 0 for a key
    int key;
    int stored;                             // the key's function afterwards
    bool refused;                           // with the conflict message
};

TEST_F(KeyPage, ExclusiveFunctionsConflictWhetherPickedOrStepped)
{
    const ConflictCase cases[] = {
        {"pick of 'a' with 'b' on a B2 key", [](KeyPage& k) { k.B2(3) = 'b'; }, CL_KDisp_Key_Conv_P0, 2, 'a', 0, 0, true},
        {"pick of 'b' with 'b' elsewhere", [](KeyPage& k) { k.B2(3) = 'b'; }, CL_KDisp_Key_Conv_P0, 2, 'b', 0, 'b', false},
        {"pick of a plain function", [](KeyPage& k) { k.B3(4) = 'i'; }, CL_KDisp_Key_Conv_P0, 2, '1', 0, '1', false},
        // The mirrors of the edited key are overwritten with it.
        {"pick of 'a' on a mirrored key holding 'b'", [](KeyPage& k) { k.Conv(0) = k.B2(0) = k.B3(0) = 'b'; },
         CL_KDisp_Key_Conv_RightUp, 0, 'a', 0, 'a', false},
        {"pick of 'a' on the mirrored emergency input", [](KeyPage& k) { k.Conv(12) = k.B2(12) = k.B3(12) = 'b'; },
         CL_KDisp_Key_Conv_ExtEmr, 12, 'a', 0, 'a', false},
        {"pick of 'a' on a P key whose B2 position holds 'b'", [](KeyPage& k) { k.B2(2) = 'b'; },
         CL_KDisp_Key_Conv_P0, 2, 'a', 0, 0, true},
        // Stepping skips what a pick would refuse.
        {"Space skips the exclusive functions", [](KeyPage& k) { k.B2(3) = 'b'; }, CL_KDisp_Key_Conv_P1, 3, 0,
         cellkey::Space, 'b', false},
        {"Backspace skips them too", [](KeyPage& k) { k.Conv(2) = '3', k.Conv(3) = '1'; }, CL_KDisp_Key_Conv_P1, 3, 0,
         cellkey::Backspace, '3', false},
        {"Space past the exclusive functions", [](KeyPage& k) { k.Conv(2) = '3', k.Conv(3) = 'a'; },
         CL_KDisp_Key_Conv_P1, 3, 0, cellkey::Space, '1', false},
        {"Space on a mirrored key ignores its own mirrors", [](KeyPage& k) { k.Conv(7) = k.B2(7) = k.B3(7) = 'b'; },
         CL_KDisp_Key_Conv_Opf0, 7, 0, cellkey::Space, 'i', false},
    };
    for (const ConflictCase& k : cases) {
        SCOPED_TRACE(k.what);
        world.Image().Fill(0);
        k.before(*this);
        const size_t boxes = dialogs.Boxes().size();
        if (k.refused) dialogs.Answer(plat::IDOK);
        if (k.pick) Pick(k.label, k.pick);
        else Key(k.label, k.key);
        EXPECT_EQ(Conv(k.position), k.stored);
        EXPECT_EQ(dialogs.Boxes().size(), boxes + (k.refused ? 1 : 0));
    }
}

TEST_F(KeyPage, MirroredKeysAndTheKeyBankFunction)
{
    Pick(CL_KDisp_Key_Conv_Opf1, '1');
    EXPECT_EQ(Conv(8), '1');
    EXPECT_EQ(B2(8), '1');
    EXPECT_EQ(B3(8), '1');

    // A P key changed away from the key bank clears its B2 and B3 positions.
    Conv(4) = B2(4) = B3(4) = 100;
    Pick(CL_KDisp_Key_Conv_P2, '6');
    EXPECT_EQ(Conv(4), '6');
    EXPECT_EQ(B2(4), 0);
    EXPECT_EQ(B3(4), 0);
    // Changed to the key bank, it leaves them as they are.
    B2(4) = 'b';
    Pick(CL_KDisp_Key_Conv_P2, 100);
    EXPECT_EQ(Conv(4), 100);
    EXPECT_EQ(B2(4), 'b');
    // The dial is not mirrored.
    Pick(CL_KDisp_Key_Conv_DialCw, '7');
    EXPECT_EQ(Conv(10), '7');
    EXPECT_EQ(B2(10), 0);
}

TEST_F(KeyPage, ExternalEmergencyInputsFlagAFunctionOfTheirOwn)
{
    Pick(CL_KDisp_Key_Conv_ExtEmr, '1');
    EXPECT_EQ(At(175782) & 0x10, 0x10);
    EXPECT_EQ(B3(12), '1');
    Pick(CL_KDisp_Key_Conv_ExtEmr, 94);
    EXPECT_EQ(At(175782) & 0x10, 0);
    Pick(CL_KDisp_Key_SmTr_ExtEmr, '1');
    EXPECT_EQ(At(kSmarTrunkKeys + 12), '1');
    EXPECT_EQ(At(175782), 0x08);
    Key(CL_KDisp_Key_SmTr_ExtEmr, cellkey::Space);
    EXPECT_EQ(At(kSmarTrunkKeys + 12), 94);
    EXPECT_EQ(At(175782), 0);
    EXPECT_EQ(Shown(CL_KDisp_Key_SmTr_ExtEmr), "Emergency");
}

// The High/Low option is offered only where it is kept.
TEST_F(KeyPage, TheHighLowListOpensOnlyForFunctionsThatKeepTheOption)
{
    EXPECT_EQ(Pick(CL_KDisp_Key_Conv_P0, '1'), erPopupOpened);
    ASSERT_EQ(world.popups.calls.size(), 1u);
    EXPECT_EQ(world.popups.calls[0].key, "GI_Sheet_Sel_KDisp_KeyOpt_HL");
    EXPECT_EQ(Pick(CL_KDisp_Key_Conv_P1, '6'), erNothing);
    EXPECT_EQ(Conv(3), '6');
    EXPECT_EQ(world.popups.calls.size(), 1u);
    EXPECT_EQ(Shown(CL_KDisp_Key_Conv_P1), "Squelch /L");
    EXPECT_EQ(Pick(CL_KDisp_Key_Conv_P2, 'b'), erPopupOpened);
    EXPECT_EQ(world.popups.calls.back().key, "GI_Sheet_Sel_KDisp_KeyESpkr2");
}

struct OptionCase {
    const char* what;
    int label;
    std::vector<std::pair<int, int>> stored;  // offset, byte
    int pick;                                 // the list entry picked, or -1
    std::string shown;                        // drawn afterwards
    std::vector<std::pair<int, int>> after;   // offset, byte
};

TEST_F(KeyPage, OptionsShowAndStoreTheirBits)
{
    const OptionCase cases[] = {
        {"rotary selector shown", CL_KDisp_RotarySel, {{175683, 0x18}}, -1, "Off", {{175683, 0x18}}},
        {"an odd rotary value keeps bit 0 out", CL_KDisp_RotarySel, {{175683, 0x01}}, 5, "Volume", {{175683, 0x11}}},
        {"battery power 0 is shown as 1", CL_KDisp_RfPoBatt, {{175758, 0x80}}, -1, "Low", {{175758, 0x80}}},
        {"battery power picked", CL_KDisp_RfPoBatt, {{175758, 0x80}}, 1, "Low", {{175758, 0x84}}},
        {"MR code over two bytes", CL_KDisp_MrCode, {{175679, 0x03}, {175778, 0x02}}, -1, "H", {}},
        {"MR code picked", CL_KDisp_MrCode, {{175679, 0xF0}}, 5, "F", {{175679, 0xF1}, {175778, 0x02}}},
        {"ten-key value of five bits", CL_KDisp_Tenkey_Select, {}, 17, "Normal 17",
         {{175680, 0x10}, {175772, 0x01}, {175778, 0}, {175782, 0}, {175771, 0}}},
        {"power switch", CL_KDisp_PwrSW_HH, {{175758, 0x80}}, 1, "B", {{175682, 0x10}, {175758, 0}}},
        {"opening beep", CL_KDisp_OpeningBeep, {}, 2, "Long", {{175678, 0x80}}},
        {"scroll timer and its copy", CL_KDisp_ScrollTimer, {{175784, 25}}, -1, "  2.500", {{182060, 0}}},
        {"key lock timer", CL_KDisp_Auto_KeyLock_Timer, {{175757, 5}}, -1, " 2:30", {}},
        {"key lock timer off", CL_KDisp_Auto_KeyLock_Timer, {{175757, 0}}, -1, "Off", {}},
    };
    for (const OptionCase& k : cases) {
        SCOPED_TRACE(k.what);
        world.Image().Fill(0);
        for (auto [offset, byte] : k.stored) At(offset) = uint8_t(byte);
        if (k.pick >= 0) Pick(k.label, k.pick);
        EXPECT_EQ(Shown(k.label), k.shown);
        for (auto [offset, byte] : k.after) EXPECT_EQ(At(offset), byte) << offset;
    }
}

TEST_F(KeyPage, ScrollTimerChangesReachItsCopyAndTheTenKeyListFollowsTheModel)
{
    Run(CL_KDisp_ScrollTimer, [](Capsule& c) { c.Edit("1.5"); });
    EXPECT_EQ(At(175784), 15);
    EXPECT_EQ(At(182060), 15);

    CellWorld pmr(KeyLists(), 1);
    pmr.Image().Data()[175680] = 0x10;
    pmr.Image().Data()[175772] = 0x01;
    auto cell = MakeCell(CT_Null, CL_KDisp_Tenkey_Select);
    Capsule c(cell.get(), false);
    RunCell(c);
    EXPECT_EQ(c.cap.Text, "PMR 17");
}

TEST_F(KeyPage, TheOpeningBeepGreysWhileTheOpeningTextIsBlank)
{
    auto greyed = [&] {
        auto cell = MakeCell(CT_Null, CL_KDisp_OpeningBeep);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        RunCell(c);
        return canvas.GetFont().color == plat::clSilver;
    };
    std::fill_n(world.Image().Data() + 181190, 24, uint8_t(' '));
    EXPECT_TRUE(greyed());
    Run(CL_KDisp_OpeningText, [](Capsule& c) { c.Edit("HELLO"); });
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(world.Image().Data() + 181190), 24),
              "HELLO                   ");
    EXPECT_FALSE(greyed());
    // Grey, it still takes a key.
    std::fill_n(world.Image().Data() + 181190, 24, uint8_t(' '));
    Key(CL_KDisp_OpeningBeep, cellkey::Space);
    EXPECT_EQ(At(175678), 0x40);
}

}  // namespace
