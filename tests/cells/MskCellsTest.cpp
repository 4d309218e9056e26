// The MSK cells: the address plan split at the own ID and the range marks
// that follow it, ID groups and call-list addresses, the status row the
// radio keeps for itself, and the settings of timing and configuration.
#include "cells/HandlerSupport.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "platform/base/RecordingCanvas.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> MskLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff2", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable3", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Beep", "Flex0", {{0, "Off"}, {1, "Single beep"}}));
    add(ListSection("GI_Sheet_Sel_Msk_GpsSentence", "Flex0", {{0, "None"}, {1, "GGA"}, {2, "GLL"}, {3, "GSA"}}));
    add(ListSection("GI_Sheet_Sel_Msk_ANI_Disp", "Flex0", {{0, "Off"}, {1, "Number"}, {2, "Name"}, {3, "Both"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux", "Flex0", {{0, "Off"}, {1, "AUX 1"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux_Act", "FlexRxCodeAUX", {{0, "Off"}, {1, "On"}, {2, "Momentary"}}));
    return lines;
}

constexpr int kOwnId = 181580;
constexpr int kKiller = 181584;
constexpr int kIdGroupKind = 14;
constexpr int kCallListKind = 15;
constexpr int kStatusKind = 16;

CellExecResult RunCell(Capsule& c, int notify = 0) { return indActiveCell().Exec(&c.cap, notify); }

struct Drawn {
    std::string text;
    bool error;
    int markPlace;
};

Drawn Draw(int category, int label, int index)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get(), false);
    RunCell(c);
    return {c.cap.Text, c.cap.ErrorMark, c.cap.MarkPlace};
}

void Typed(int category, int label, int index, const std::string& text)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get());
    c.Edit(text);
    RunCell(c);
}

void Picked(int category, int label, int index, int value, int pickLabel = Flex0)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get());
    c.Pick(pickLabel, value);
    RunCell(c);
}

TEST(MskAddressPlan, TheOwnIdSplitsIndividualAndGroupAddresses)
{
    CellWorld world(MskLists(), 1);
    TestImage image(world.Image());
    EXPECT_EQ(Draw(CT_MSK_AdrRange, CL_Msk_AdrRange_Individual, 1).text, "----");
    image.U16(kKiller, 0);
    EXPECT_TRUE(Draw(CT_MSK_AdrRange, CL_Msk_AdrRange_Killer, 0).error) << "no individual address with own ID 0";

    // Typing the own ID repaints every labelled cell.
    auto own = MakeCell(CT_MSK_AdrRange, CL_Msk_AdrRange_Group, 0);
    Capsule c(own.get());
    c.Edit("256");
    CellChangeScope scope = 0;
    c.cap.OnChange = [&](cmcCellCapsule*, CellChangeScope s) { scope = s; };
    RunCell(c, 1);
    EXPECT_EQ(image.ReadU16(kOwnId), 256);
    EXPECT_TRUE(scope & csEveryLabelled);

    struct Case {
        int label;
        int index;
        const char* shown;
    };
    for (const Case& k : {Case{CL_Msk_AdrRange_Individual, 0, "0000 (No Edit)"},
                          Case{CL_Msk_AdrRange_Individual, 1, "0255 (No Edit)"},
                          Case{CL_Msk_AdrRange_Individual, 2, "error"}, Case{CL_Msk_AdrRange_Group, 0, "0256"},
                          Case{CL_Msk_AdrRange_Group, 1, "4095 (No Edit)"}})
        EXPECT_EQ(Draw(CT_MSK_AdrRange, k.label, k.index).text, k.shown) << k.label << "[" << k.index << "]";
    Typed(CT_MSK_AdrRange, CL_Msk_AdrRange_Group, 1, "100");
    EXPECT_EQ(image.ReadU16(kOwnId), 256) << "the top of the group range takes no input";
    EXPECT_FALSE(Draw(CT_MSK_AdrRange, CL_Msk_AdrRange_Killer, 0).error);
    Typed(CT_MSK_AdrRange, CL_Msk_AdrRange_Killer, 0, "256");
    EXPECT_EQ(image.ReadU16(kKiller), 256);
    EXPECT_TRUE(Draw(CT_MSK_AdrRange, CL_Msk_AdrRange_Killer, 0).error);
    Typed(CT_MSK_AdrRange, CL_Msk_AdrRange_Common, 0, "4095");
    Typed(CT_MSK_AdrRange, CL_Msk_AdrRange_Common, 0, "5000");
    EXPECT_EQ(image.ReadU16(181582), 4095) << "an address above 4095 is refused";
}

TEST(MskAddressPlan, IdGroupsAndCallListAddressesAreMarkedOutsideTheirRanges)
{
    CellWorld world(MskLists(), 1);
    TestImage image(world.Image());
    image.U16(kOwnId, 256);
    struct Case {
        int group;
        const char* typed;
        bool error;
    };
    for (const Case& k : {Case{0, "0", false}, Case{0, "255", false}, Case{0, "256", true}, Case{1, "255", true},
                          Case{1, "256", false}, Case{7, "4095", false}}) {
        Typed(CT_MSK_IdGroup, CL_Msk_IdGroup_Adr, k.group, k.typed);
        const Drawn d = Draw(CT_MSK_IdGroup, CL_Msk_IdGroup_Adr, k.group);
        EXPECT_EQ(d.error, k.error) << k.group << " " << k.typed;
        EXPECT_EQ(d.markPlace, mpLeftEdge);
    }
    EXPECT_EQ(image.Read(kIdGroupKind, 7).MskAdr, 4095u);
    // Call-list addresses may be any number; a stored digit above 9 is none.
    Typed(CT_MSK_CallList, CL_Msk_CallList_Adr, 31, "1234");
    EXPECT_EQ(image.Read(kCallListKind, 31).CallListAdr, 1234u);
    EXPECT_FALSE(Draw(CT_MSK_CallList, CL_Msk_CallList_Adr, 31).error);
    image.Item(kCallListKind, 30, [](datCh& c) { c.CallListAdr = 0; });
    const int at = 147536 + 4 * 30;  // the entry's BCD digits
    image.Byte(at, 0x1A);
    EXPECT_TRUE(Draw(CT_MSK_CallList, CL_Msk_CallList_Adr, 30).error);
}

TEST(MskMessages, TheLastStatusRowIsTheRadiosOwnAndTakesNoKeys)
{
    CellWorld world(MskLists(), 1);
    TestImage image(world.Image());
    for (int row : {22, 23}) {
        auto cell = MakeCell(CT_MSK_Msg_Status, CL_Msk_Msg_Status_Horn, row);
        Capsule c(cell.get());
        c.cap.Key = cellkey::Space;
        RunCell(c);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule drawn(cell.get(), false);
        drawn.cap.Canvas = &canvas;
        RunCell(drawn);
        EXPECT_EQ(canvas.GetFont().color == plat::clOlive, row == 23) << row;
    }
    EXPECT_EQ(image.Read(kStatusKind, 22).StatusHorn, 1u);
    EXPECT_EQ(image.Read(kStatusKind, 23).StatusHorn, 0u) << "the radio's own row took the key";
    // An AUX output without a code keeps no action.
    Picked(CT_MSK_Msg_Status, CL_Msk_Msg_Status_Aux, 3, 1);
    Picked(CT_MSK_Msg_Status, CL_Msk_Msg_Status_Aux, 3, 2, FlexRxCodeAUX);
    EXPECT_EQ(image.Read(kStatusKind, 3).StatusAuxMode, 2u);
    Picked(CT_MSK_Msg_Status, CL_Msk_Msg_Status_Aux, 3, 0);
    EXPECT_EQ(image.Read(kStatusKind, 3).StatusAux, 0u);
    EXPECT_EQ(image.Read(kStatusKind, 3).StatusAuxMode, 0u);
    Typed(CT_MSK_Msg_Status, CL_Msk_Msg_Status_Text_Tx, 3, "ARRIVED");
    EXPECT_EQ(std::string(image.Read(kStatusKind, 3).Text2, 12), "ARRIVED     ");
}

TEST(MskSettings, FieldsKeepTheOtherBitsAndBaseIdsLieBelowTheOwnId)
{
    CellWorld world(MskLists(), 1);
    TestImage image(world.Image());
    image.U16(kOwnId, 300);
    struct Case {
        int label;
        const char* typed;
        int picked;
        int offset;
        int before, after;
        bool word;
    };
    const Case cases[] = {
        {CL_Msk_TimingErr_NA, "5", 0, 182036, 1, 5, false},
        {CL_Msk_TimingErr_NA, "9", 0, 182036, 1, 8, false},
        {CL_Msk_TimingErr_TAC, "1.5", 0, 182040, 1, 150, false},
        {CL_Msk_TimingErr_LetCall, "3", 0, 182045, 0, 255, false},
        {CL_Msk_Cfg_Enc_SyncvWord, "abcd", 0, 182056, 0, 0xABCD, true},
        {CL_Msk_Cfg_Dec_ANI_Disp_Timer, "2", 0, 182058, 0, 20, false},
        {CL_Msk_Cfg_Gps_Sentence, nullptr, 3, 182063, 0xF0, 0xF3, false},
        {CL_Msk_Cfg_Dec_ANI_Disp, nullptr, 2, 182065, 0x8F, 0xAF, false},
        {CL_Msk_Cfg_Gps_Send_Emer, nullptr, 1, 182064, 0x01, 0x81, false},
        {CL_Msk_Cfg_Status_Send_PrioA, nullptr, 1, 175682, 0x04, 0x44, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);
        k.word ? image.U16(k.offset, k.before) : image.Byte(k.offset, k.before);
        if (k.typed) Typed(CT_MSK_Cfg, k.label, 0, k.typed);
        else Picked(CT_MSK_Cfg, k.label, 0, k.picked);
        EXPECT_EQ(k.word ? image.ReadU16(k.offset) : image.ReadU8(k.offset), k.after);
    }
    for (int label : {CL_Msk_Cfg_Status_FixBaseId, CL_Msk_Cfg_Gps_FixBaseId}) {
        Typed(CT_MSK_Cfg, label, 0, "299");
        EXPECT_FALSE(Draw(CT_MSK_Cfg, label, 0).error);
        Typed(CT_MSK_Cfg, label, 0, "300");
        EXPECT_TRUE(Draw(CT_MSK_Cfg, label, 0).error);
    }
}

}  // namespace
