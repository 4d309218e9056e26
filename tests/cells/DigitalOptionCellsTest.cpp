// The digital options: stored bits shown and written back through their
// handlers, refused input, the cells that grey or show dashes, the wait
// timers that never hold 0, talk-back, the unit ID mode, references into the
// ID lists and the call alert's AUX output; every digital label is built.
#include "cells/HandlerSupport.h"
#include "cells/LabelDispatch.h"
#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "model/TableAccess.h"
#include "platform/base/RecordingCanvas.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

#include <functional>

using namespace celltest;

namespace {

std::vector<std::string> OptionLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_Enable", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable3", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable_I", "Flex0", {{0, "Enable"}, {1, "Disable"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff_I", "Flex0", {{0, "On"}, {1, "Off"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Beep", "Flex0", {{0, "Off"}, {1, "Beep 1"}, {7, "Beep 7"}, {9, "Beep 9"}}));
    add(ListSection("GI_Sheet_Sel_GPS_FixedID", "Flex0", {{0, "Off"}, {1, "ID 1"}, {2, "ID 2"}, {3, "ID 3"}}));
    add(ListSection("GI_Sheet_Sel_Dig_Option_UnitID", "Flex0",
                    {{0, "Per channel"}, {1, "Automatic"}, {2, "Global"}, {3, "Global, automatic"}}));
    add(ListSection("GI_Sheet_Sel_Dig_Status_PowerStatus", "Flex0", {{0, "Off"}, {1, "1"}, {2, "2"}, {40, "40"}}));
    add(ListSection("GI_Sheet_Sel_Dig_Talk_Back_RX_Type", "Flex0", {{0, "Digital"}, {1, "Analog and digital"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux2", "Flex0", {{0, "None"}, {1, "AUX 1"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux_Act", "FlexRxCodeAUX", {{0, "Off"}, {1, "On"}, {2, "Momentary"}}));
    // The entries written out behind the loop, as the generated ID lists are.
    add({"#GI_Sheet_Sel_DIG_INDList_ZEPH_Cells", "{!S}No.", ":(ZEPH Ind List)", "{(%Flex_InvIDList_ZEPH_ChNo[0])}",
         ":(End)", ":(Never 3)", "{(%Flex_InvIDList_ZEPH_ChNo[0])}1", "{(%Flex_InvIDList_ZEPH_ChNo[1])}2",
         "{(%Flex_InvIDList_ZEPH_ChNo[2])}3"});
    add({"#GI_Sheet_Sel_DIG_INDList_Multisite_Cells", "{(%Flex_InvIDList_Multisite_ChNo[0])}1",
         "{(%Flex_InvIDList_Multisite_ChNo[1])}2", "{(%Flex_InvIDList_Multisite_ChNo[2])}3"});
    return lines;
}

CellExecResult RunCell(Capsule& c) { return indActiveCell().Exec(&c.cap, 0); }

struct Options : ::testing::Test {
    uint8_t& At(int offset) { return world.Image().Data()[offset]; }
    int Word(int offset) { return At(offset) << 8 | At(offset + 1); }
    CellExecResult Apply(int label, const std::function<void(Capsule&)>& input)
    {
        auto cell = MakeCell(CT_Null, label);
        Capsule c(cell.get());
        input(c);
        return RunCell(c);
    }
    // The text drawn, and whether it is grey.
    std::string Shown(int label, bool* grey = nullptr)
    {
        auto cell = MakeCell(CT_Null, label);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule c(cell.get(), false);
        // Text cells draw themselves on a canvas; their text is read without one.
        if (grey) c.cap.Canvas = &canvas;
        RunCell(c);
        if (grey) *grey = canvas.GetFont().color == plat::clSilver;
        return c.cap.Text;
    }
    CellWorld world{OptionLists()};
};

struct OptionCase {
    const char* what;
    int label;
    std::vector<std::pair<int, int>> stored;  // offset, byte
    const char* typed;                        // or a pick (pick >= 0), or a key
    int pick;
    int key;
    std::string shown;
    std::vector<std::pair<int, int>> after;   // offset, byte
};

TEST_F(Options, FieldsShowAndStoreThroughTheirHandlers)
{
    const OptionCase cases[] = {
        {"flag picked", CL_Digi_Gps_Send_Emer, {{197900, 0x80}}, nullptr, 1, 0, "Enable", {{197900, 0x88}}},
        {"flag stepped", CL_Digi_Expert_RxAllCall, {{204842, 0x40}}, nullptr, -1, cellkey::Space, "Disable",
         {{204842, 0x00}}},
        {"inverted list", CL_Digi_Ind_Op_Disp_RecieveUId, {{197888, 0x20}}, nullptr, -1, 0, "Off", {{197888, 0x20}}},
        {"high nibble", CL_Digi_Trunk_SU_ReceiveBeep, {{197895, 0x9A}}, nullptr, 7, 0, "Beep 7", {{197895, 0x7A}}},
        {"three-bit ringer keeps bit 3", CL_Digi_CallAlert_Ringer, {{204690, 0x08}}, nullptr, 7, 0, "Beep 7",
         {{204690, 0x0F}}},
        {"two-bit field in its byte", CL_Digi_Gps_SingleMultisite_Send_Sdm, {{303614, 0x04}, {303618, 0xF3}}, nullptr,
         1, 0, "ID 1", {{303618, 0xF7}}},
        {"byte value typed", CL_Digi_Expert_N6_BitError, {{204833, 5}}, "38", -1, 0, "38", {{204833, 38}}},
        {"byte value above its range", CL_Digi_Expert_N5_BitError, {{204832, 5}}, "99", -1, 0, "20", {{204832, 20}}},
        {"attempts up to 15", CL_Digi_Config_Attempt_No, {{197912, 3}}, "16", -1, 0, "15", {{197912, 15}}},
        {"byte value not a number", CL_Digi_Config_Attempt_No, {{197912, 3}}, "x", -1, 0, "3", {{197912, 3}}},
        {"signed byte shows its sign", CL_Digi_Expert_Resync_Counter, {{204837, 0xF6}}, nullptr, -1, 0, "-10", {}},
        {"signed byte typed negative", CL_Digi_Expert_Resync_Counter, {{204837, 0}}, "-96", -1, 0, "-96",
         {{204837, 0xA0}}},
        {"time in tenths", CL_Digi_Grp_Op_Disp_Timer, {{197874, 25}}, "1.5", -1, 0, "  1.500", {{197874, 15}}},
        {"time with a range", CL_Digi_Config_T_ACK_Wait, {{197892, 0}}, "5", -1, 0, "  1.000", {{197892, 20}}},
        {"time off shows the off text", CL_Digi_ANI_PreDisplayTimer, {{197905, 0}}, nullptr, -1, 0, "Off", {}},
        {"length stored in tens", CL_Digi_Grp_Op_Pre_Len, {{197873, 3}}, "124", -1, 0, "120", {{197873, 12}}},
        {"word ID up to 2000", CL_Digi_Kill_ZEPH_FixedID, {}, "2500", -1, 0, "2000", {{197866, 0x07}, {197867, 0xD0}}},
        {"unit ID up to the overlay's limit", CL_Digi_Stun_FixedID, {}, "70000", -1, 0, "65519",
         {{197868, 0xFF}, {197869, 0xEF}}},
        {"thousandths of a second", CL_Digi_Config_Ack_TX_Delay, {}, "1.25", -1, 0, "  1.250",
         {{197908, 0x04}, {197909, 0xE2}}},
        {"power status picked by number", CL_Digi_Status_Set_PowerONStat, {}, "39", -1, 0, "40", {{204663, 40}}},
        {"emergency text", CL_Digi_Config_Emer_Text, {}, "HELP", -1, 0, "HELP", {{181214, 'H'}, {181237, ' '}}},
    };
    for (const OptionCase& k : cases) {
        SCOPED_TRACE(k.what);
        world.Image().Fill(0);
        for (auto [offset, byte] : k.stored) At(offset) = uint8_t(byte);
        if (k.typed) Apply(k.label, [&](Capsule& c) { c.Edit(k.typed); });
        if (k.pick >= 0) Apply(k.label, [&](Capsule& c) { c.Pick(Flex0, k.pick); });
        if (k.key) Apply(k.label, [&](Capsule& c) { c.cap.Key = k.key; });
        EXPECT_EQ(Trimmed(Shown(k.label)), Trimmed(k.shown));
        for (auto [offset, byte] : k.after) EXPECT_EQ(At(offset), byte) << offset;
    }
}

TEST_F(Options, CellsGreyWhileWhatTheyDependOnIsOff)
{
    struct Case {
        const char* what;
        int label;
        std::vector<std::pair<int, int>> stored;  // offset, byte
        bool grey;
    };
    const Case cases[] = {
        {"reset timer with the call-type reset on", CL_Digi_Config_ResetTimer, {{197914, 0x10}}, true},
        {"reset timer with the call-type reset off", CL_Digi_Config_ResetTimer, {{197914, 0xEF}}, false},
        {"reset timer in the digital key mode", CL_Digi_Config_ResetTimer, {{197914, 0x10}, {303592, 0x01}}, false},
        {"delayed header off timer without headers", CL_Digi_Expert_Delayed_Header_OffTimer, {}, true},
        {"delayed header off timer", CL_Digi_Expert_Delayed_Header_OffTimer, {{303621, 1}}, false},
        {"delayed header voice without headers", CL_Digi_Expert_Delayed_Header_Voice, {}, true},
        {"delayed header voice, count in the high byte", CL_Digi_Expert_Delayed_Header_Voice, {{303620, 1}}, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        world.Image().Fill(0);
        for (auto [offset, byte] : k.stored) At(offset) = uint8_t(byte);
        bool grey = false;
        Shown(k.label, &grey);
        EXPECT_EQ(grey, k.grey);
    }
}

TEST_F(Options, WaitTimersNeverHoldZero)
{
    EXPECT_EQ(At(197896), 0);
    EXPECT_EQ(Trimmed(Shown(CL_Digi_Trunk_SU_Busy_Wait)), "1.000");
    EXPECT_EQ(At(197896), 1) << "the stored 0 became 1 when the cell was shown";
    Apply(CL_Digi_Trunk_SU_Grp_Wait, [](Capsule& c) { c.Edit("0"); });
    EXPECT_EQ(Trimmed(Shown(CL_Digi_Trunk_SU_Grp_Wait)), "0.100");
    EXPECT_EQ(At(197897), 1);
}

TEST_F(Options, TheTalkBackTimerSwitchesTalkBackAndItsOptionsGrey)
{
    const int options[] = {CL_Digi_Option_TalkBackLockPTT, CL_Digi_Option_TalkBackRXType, CL_Digi_Option_TalkBackBeep,
                           CL_Digi_Option_TalkBackIdDisplay, CL_Digi_Option_AnalogTalkBackText};
    At(197904) = 0x01;  // talk-back ID display on
    Apply(CL_Digi_Option_TalkBackTimer, [](Capsule& c) { c.Edit("2"); });
    EXPECT_EQ(At(197915), 20);
    EXPECT_EQ(At(197914), 0x40);
    bool grey = true;
    for (int label : options) {
        Shown(label, &grey);
        EXPECT_FALSE(grey) << CellLabelName(label);
    }
    Apply(CL_Digi_Option_TalkBackTimer, [](Capsule& c) { c.Edit("0"); });
    EXPECT_EQ(At(197914), 0x00);
    EXPECT_EQ(Shown(CL_Digi_Option_TalkBackTimer), "Off");
    for (int label : options) {
        Shown(label, &grey);
        EXPECT_TRUE(grey) << CellLabelName(label);
    }
    // The analog text also greys while the ID display is off.
    Apply(CL_Digi_Option_TalkBackTimer, [](Capsule& c) { c.Edit("1"); });
    At(197904) = 0x00;
    Shown(CL_Digi_Option_AnalogTalkBackText, &grey);
    EXPECT_TRUE(grey);
}

TEST_F(Options, SingleMultisiteGpsCellsShowDashesWithoutFixedIdsYetTakeKeys)
{
    At(303618) = 0x40;
    bool grey = false;
    EXPECT_EQ(Shown(CL_Digi_Gps_SingleMultisite_Send_Logoff, &grey), "---");
    EXPECT_TRUE(grey);
    Apply(CL_Digi_Gps_SingleMultisite_Send_Logoff, [](Capsule& c) { c.cap.Key = cellkey::Space; });
    EXPECT_EQ(At(303618), 0x80);
    Apply(CL_Digi_Gps_SingleMultisite_Fix_Id, [](Capsule& c) { c.Pick(Flex0, 1); });
    EXPECT_EQ(Shown(CL_Digi_Gps_SingleMultisite_Send_Logoff, &grey), "ID 2");
    EXPECT_FALSE(grey);
    // Automatic transmission also needs the automatic GPS transmission.
    EXPECT_EQ(Shown(CL_Digi_Gps_SingleMultisite_Send_AutoTX), "---");
    At(175771) = 0x04;
    EXPECT_EQ(Shown(CL_Digi_Gps_SingleMultisite_Send_AutoTX), "Off");
}

TEST_F(Options, TheUnitIdModeDecidesWhichUnitIdGreys)
{
    struct Case {
        int mode;  // the list value
        int byte;  // 197890 afterwards
        bool globalGrey;
        bool autoGrey;
    };
    for (const Case& k : {Case{0, 0x00, true, true}, Case{1, 0x20, true, true}, Case{2, 0x80, false, true},
                          Case{3, 0xA0, true, false}}) {
        SCOPED_TRACE(k.mode);
        Apply(CL_Digi_Config_Unit_ID, [&](Capsule& c) { c.Pick(Flex0, k.mode); });
        EXPECT_EQ(At(197890) & 0xA0, k.byte);
        bool grey = false;
        Shown(CL_Digi_Config_Global_Edit, &grey);
        EXPECT_EQ(grey, k.globalGrey);
        Shown(CL_Digi_Config_Global_Auto, &grey);
        EXPECT_EQ(grey, k.autoGrey);
    }
}

TEST_F(Options, ReferencesIntoTheIdListsShowTheEntryNumber)
{
    // The digital list's picker opens on Enter with its sheet code.
    At(197916) = 0;
    At(197917) = 4;
    EXPECT_EQ(Shown(CL_Digi_Gps_GPS_Send_ID), "5");
    EXPECT_EQ(Apply(CL_Digi_Gps_GPS_Send_ID, [](Capsule& c) { c.cap.Key = cellkey::Enter; }), erPopupOpened);
    ASSERT_EQ(world.popups.calls.size(), 1u);
    EXPECT_EQ(world.popups.calls[0].what, "picker");
    EXPECT_EQ(world.popups.calls[0].key, "GI_Sheet_Sel_DIG_INDList");
    EXPECT_EQ(world.popups.calls[0].code, "Z");
    EXPECT_EQ(world.popups.calls[0].focus, 4);
    Apply(CL_Digi_Status_Set_PowerStatID, [](Capsule& c) { c.Pick(Flex_InvIDList_ChNo, 2); });
    EXPECT_EQ(Word(204666), 2);
    EXPECT_EQ(Shown(CL_Digi_Status_Set_PowerStatID), "3");

    // A typed entry number of the ZEPH list is matched against the written-out entries.
    Apply(CL_Digi_GPS_ZEPH_GPS_Send_ID, [](Capsule& c) { c.Edit("3"); });
    EXPECT_EQ(Word(243070), 2);
    EXPECT_EQ(Shown(CL_Digi_GPS_ZEPH_GPS_Send_ID), "3");
    Apply(CL_Digi_GPS_ZEPH_GPS_Send_ID, [](Capsule& c) { c.Edit("none"); });
    EXPECT_EQ(Word(243070), 2);
}

TEST_F(Options, AReferencePastTheEndOfItsListIsAnError)
{
    struct Case {
        int label;
        int offset;
        int kind;
    };
    const Case cases[] = {
        {CL_Digi_Gps_GPS_Send_ID, 197916, 18},           {CL_Digi_Status_Set_PowerStatID, 204666, 18},
        {CL_Digi_GPS_ZEPH_GPS_Send_ID, 243070, 28},      {CL_Digi_Status_Set_ZEPH_PowerStatID, 243068, 28},
        {CL_Digi_GPS_Multisite_GPS_Send_ID, 303642, 32}, {CL_Digi_Status_Set_Multisite_PowerStatID, 303640, 32},
    };
    auto marked = [&](int label) {
        auto cell = MakeCell(CT_Null, label);
        Capsule c(cell.get(), false);
        RunCell(c);
        return bool(c.cap.ErrorMark);
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(CellLabelName(k.label));
        SetIndListCount(3, k.kind);
        At(k.offset) = 0;
        At(k.offset + 1) = 2;  // entry 3, the last one
        EXPECT_FALSE(marked(k.label));
        At(k.offset + 1) = 3;  // entry 4
        EXPECT_TRUE(marked(k.label));
        EXPECT_EQ(Shown(k.label), "4");
    }
}

TEST_F(Options, TheCallAlertAuxOutputDropsItsActionWithoutACode)
{
    At(204692) = 0x80;
    EXPECT_EQ(Apply(CL_Digi_CallAlert_Aux, [](Capsule& c) { c.Pick(Flex0, 1); }), erPopupOpened);
    Apply(CL_Digi_CallAlert_Aux, [](Capsule& c) { c.Pick(FlexRxCodeAUX, 2); });
    EXPECT_EQ(At(204691), 1);
    EXPECT_EQ(At(204692), 0x82);
    EXPECT_EQ(Shown(CL_Digi_CallAlert_Aux), "AUX 1 /Momentary");
    Apply(CL_Digi_CallAlert_Aux, [](Capsule& c) { c.Pick(Flex0, 0); });
    EXPECT_EQ(At(204691), 0);
    EXPECT_EQ(At(204692), 0x80);
}

TEST(DigitalLabels, EveryDigitalLabelIsBuiltButTheOneWithoutBehaviour)
{
    for (int label = CL_Digi_Ind_Id_Hex; label <= CL_Digi_Expert_PowerDown; ++label) {
        if (label == CL_Digi_Config_Emer_Tans) {
            EXPECT_TRUE(IsDefaultTextLabel(label));
            continue;
        }
        EXPECT_NE(FamilyBehaviour(label), nullptr) << CellLabelName(label);
    }
}

}  // namespace
