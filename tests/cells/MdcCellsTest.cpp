// The MDC cells: the fields of the five systems' function blocks (stored
// bytes shown, typed and picked values stored, refused input), the system
// entries, the status numbers, AUX outputs, texts, the first alias and the
// MDC system of a memory channel.
#include "cells/HandlerSupport.h"
#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "model/TableAccess.h"
#include "platform/base/RecordingCanvas.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> MdcLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add(ListSection("GI_Sheet_Sel_Misc_OnOff", "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_Enable", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Mdc_Status_Mute_Type", "Flex0", {{0, "Off"}, {1, "Own ID"}, {2, "Own or group ID"}}));
    add(ListSection("GI_Sheet_Mdc_Status_No_Sel", "Flex0", {{0, "None"}, {1, "Status 1"}, {2, "Status 2"}, {3, "Status 3"}}));
    add(ListSection("GI_Sheet_Sel_MDC_Beep_Type", "Flex0", {{0, "None"}, {1, "Beep once"}, {3, "Ring"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux", "Flex0", {{0, "Off"}, {1, "AUX 1"}, {2, "AUX 2"}}));
    add(ListSection("GI_Sheet_Sel_RxC_Aux_Act", "FlexRxCodeAUX", {{0, "Off"}, {1, "On"}, {2, "Momentary"}}));
    add(ListSection("GI_Sheet_Mdc_General_Log_Action_Type", "Flex0", {{0, "Log only"}, {3, "Log, beep and display"}}));
    // Typed numbers pick the entry whose text starts with the nearest number.
    add(ListSection("GI_Sheet_Sel_Mdc_System_Revive_List", "Flex0", {{0, "0 (Revive 0)"}, {1, "1 (Revive 1)"}, {4, "4 (Revive 4)"}}));
    add(ListSection("GI_Sheet_Sel_Mdc_System_Alias_List", "Flex0", {{0, "0 (Off)"}, {1, "1 (On)"}}));
    add(ListSection("GI_Sheet_Sel_Mdc_System_General_List", "Flex0", {{0, "0 (Gen 0)"}, {1, "1 (Gen 1)"}, {4, "4 (Gen 4)"}}));
    add(ListSection("GI_Sheet_Sel_Mch_Mdc_System_List", "Flex0", {{0, "0 (Sys 0)"}, {1, "1 (Sys 1)"}, {3, "3 (Sys 3)"}}));
    return lines;
}

CellExecResult RunCell(Capsule& c) { return indActiveCell().Exec(&c.cap, 0); }

struct Drawn {
    std::string text;
    bool warning;
};

Drawn Draw(int label, int index, int category = CT_Null)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get(), false);
    RunCell(c);
    return {c.cap.Text, c.cap.WarningMark};
}

std::string Shown(int label, int index, int category = CT_Null) { return Draw(label, index, category).text; }

CellExecResult Typed(int label, int index, const std::string& text, int category = CT_Null)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get());
    c.Edit(text);
    return RunCell(c);
}

CellExecResult Key(int label, int index, int key, int category = CT_Null)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get());
    c.cap.Key = key;
    return RunCell(c);
}

void Picked(int label, int index, int value, int pickLabel = Flex0, int category = CT_Null)
{
    auto cell = MakeCell(category, label, index);
    Capsule c(cell.get());
    c.Pick(pickLabel, value);
    RunCell(c);
}

// The first byte of a block of system s.
constexpr int System(int s) { return 235134 + 12 * s; }
constexpr int General(int s) { return 235194 + 20 * s; }
constexpr int SelCall(int s) { return 235414 + 6 * s; }
constexpr int CallAlert(int s) { return 235444 + 12 * s; }
constexpr int RadioCheck(int s) { return 235504 + 8 * s; }
constexpr int PttId(int s) { return 235294 + 6 * s; }
constexpr int Emergency(int s) { return 235324 + 18 * s; }
constexpr int Status(int s) { return 235624 + 10 * s; }
constexpr int StatusTexts(int s) { return 235754 + 208 * s; }
constexpr int MessageTexts(int s) { return 236794 + 208 * s; }

TEST(MdcFields, StoredBytesShowAndInputIsStoredInItsOwnBits)
{
    CellWorld world(MdcLists());
    TestImage image(world.Image());
    struct Case {
        const char* what;
        int label;
        int index;
        int offset;                      // the byte (or the first of two) the cell keeps
        int before;                      // stored before (16 bits for two bytes)
        const char* shownBefore;
        const char* typed;               // or a pick of Flex0 value `picked`
        int picked;
        int after;
        bool word;
    };
    const Case cases[] = {
        {"MDC on, other bits kept", CL_Mdc_General_Mdc_On, 2, General(2), 0x2F, "Off", nullptr, 1, 0xAF, false},
        {"PTT ID transmit is bit 7, receive bit 6 kept", CL_Mdc_PttId_Tx, 3, PttId(3), 0x40, "Disable", nullptr, 1, 0xC0,
         false},
        {"mute type nibble", CL_Mdc_General_Mute_Type, 2, General(2), 0xE0, "Off", nullptr, 2, 0xE2, false},
        {"initial delay in ms", CL_Mdc_General_Initial_Tx_Delay, 1, General(1) + 5, 250, "0.250", "1.5", 0, 1500, true},
        {"initial delay above 10 s", CL_Mdc_General_Initial_Tx_Delay, 1, General(1) + 5, 0, "0.000", "11", 0, 10000, true},
        {"menu time-out at least 1 s", CL_Mdc_General_Menu_Timeout, 0, General(0) + 9, 5000, "5.000", "0.2", 0, 1000, true},
        {"sync threshold", CL_Mdc_General_Rx_Sync_Threshold, 4, General(4) + 8, 29, "29", "35", 0, 35, false},
        {"log action type", CL_Mdc_General_Log_Action_Type, 0, General(0) + 19, 0x80, "Log only", nullptr, 3, 0x83, false},
        {"call alert retries, two bytes", CL_Mdc_CallAlert_Num_Retry, 3, CallAlert(3) + 2, 1, "1", "250", 0, 250, true},
        {"radio check retries nibble", CL_Mdc_RadioChk_Num_Retry, 0, RadioCheck(0), 0xC1, "1", "15", 0, 0xCF, false},
        {"polite count, high nibble", CL_Mdc_Emg_No_Polite, 1, Emergency(1) + 1, 0x35, "3", "7", 0, 0x75, false},
        {"open microphone", CL_Mdc_Emg_Open_Mic_Duration, 1, Emergency(1) + 14, 0, "0", "140", 0, 140, false},
        {"status poll", CL_Mdc_Status_Poll_Tx, 4, Status(4), 0x01, "Disable", nullptr, 1, 0x11, false},
        {"status 4 of system 2 acknowledged", CL_Mdc_Status_Ack, 2 * 16 + 3, StatusTexts(2) + 192 + 3, 0x10, "Disable",
         nullptr, 1, 0x90, false},
        {"message 16 of system 4 strips tones", CL_Mdc_Msg_Strip_Tones, 4 * 16 + 15, MessageTexts(4) + 192 + 15, 0,
         "Disable", nullptr, 1, 0x40, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        k.word ? image.U16(k.offset, k.before) : image.Byte(k.offset, k.before);
        EXPECT_EQ(Trimmed(Shown(k.label, k.index)), k.shownBefore);
        if (k.typed) Typed(k.label, k.index, k.typed);
        else Picked(k.label, k.index, k.picked);
        EXPECT_EQ(k.word ? image.ReadU16(k.offset) : image.ReadU8(k.offset), k.after);
    }
    // A time starts in-place editing on Space instead of stepping.
    image.U16(General(0) + 17, 3000);
    EXPECT_EQ(Key(CL_Mdc_General_Auto_Reset, 0, cellkey::Space), erStartEdit);
    EXPECT_EQ(image.ReadU16(General(0) + 17), 3000);
    // An index that names no system shows nothing and stores nothing.
    EXPECT_EQ(Shown(CL_Mdc_General_Mdc_On, 5), "");
    EXPECT_EQ(Shown(CL_Mdc_Status_Ack, 80), "");
}

TEST(MdcFields, TheGroupIdIsE000AndThreeDigits)
{
    CellWorld world(MdcLists());
    TestImage image(world.Image());
    for (auto [typed, stored, shown] : {std::tuple{"123", 0xE123, "123"}, std::tuple{"FFF", 0xEFFF, "FFF"},
                                        std::tuple{"1", 0xE001, "001"}, std::tuple{"ABCD", 0xEABC, "ABC"}}) {
        SCOPED_TRACE(typed);
        Typed(CL_Mdc_General_Group_Id, 3, typed);
        EXPECT_EQ(image.ReadU16(General(3) + 3), stored);
        EXPECT_EQ(Shown(CL_Mdc_General_Group_Id, 3), shown);
    }
}

TEST(MdcFields, AnOwnIdOfZeroAndADisabledFirstStatusAreWarned)
{
    CellWorld world(MdcLists());
    TestImage image(world.Image());
    EXPECT_TRUE(Draw(CL_Mdc_General_Self_Id, 2).warning);
    EXPECT_EQ(Shown(CL_Mdc_General_Self_Id, 2), "0000");
    Typed(CL_Mdc_General_Self_Id, 2, "12ab");
    EXPECT_EQ(image.ReadU16(General(2) + 1), 0x12AB);
    EXPECT_EQ(Draw(CL_Mdc_General_Self_Id, 2).text, "12AB");
    EXPECT_FALSE(Draw(CL_Mdc_General_Self_Id, 2).warning);
    // Status 1 of every system must be enabled; the others may be off.
    EXPECT_TRUE(Draw(CL_Mdc_Status_Enabled, 16).warning);
    EXPECT_FALSE(Draw(CL_Mdc_Status_Enabled, 17).warning);
    Picked(CL_Mdc_Status_Enabled, 16, 1);
    EXPECT_EQ(image.ReadU8(StatusTexts(1) + 192), 0x10);
    EXPECT_FALSE(Draw(CL_Mdc_Status_Enabled, 16).warning);
}

TEST(MdcFields, AStatusNumberIsASetBitAndTheNumberLessOne)
{
    CellWorld world(MdcLists());
    TestImage image(world.Image());
    image.Byte(Emergency(1), 0xE0).Byte(Emergency(1) + 2, 0xF5);
    EXPECT_EQ(Shown(CL_Mdc_Emg_Status_No, 1), "None");
    EXPECT_EQ(image.ReadU8(Emergency(1) + 2), 0xF0) << "a number without its set bit is cleared when drawn";
    EXPECT_EQ(image.ReadU8(Emergency(1)), 0xE0);
    Picked(CL_Mdc_Emg_Status_No, 1, 3);
    EXPECT_EQ(image.ReadU8(Emergency(1)), 0xF0);
    EXPECT_EQ(image.ReadU8(Emergency(1) + 2), 0xF2);
    EXPECT_EQ(Shown(CL_Mdc_Emg_Status_No, 1), "Status 3");
    Picked(CL_Mdc_Emg_Status_No, 1, 0);
    EXPECT_EQ(image.ReadU8(Emergency(1)), 0xE0);
    EXPECT_EQ(image.ReadU8(Emergency(1) + 2), 0xF0);
    Picked(CL_Mdc_Status_On_Pwr_Up, 0, 1);
    EXPECT_EQ(image.ReadU8(Status(0) + 1), 0x80);
    EXPECT_EQ(Shown(CL_Mdc_Status_On_Pwr_Up, 0), "Status 1");
}

TEST(MdcFields, AnAuxOutputWithoutACodeKeepsNoAction)
{
    CellWorld world(MdcLists());
    TestImage image(world.Image());
    image.Byte(SelCall(0) + 5, 0xFC);
    Picked(CL_Mdc_SelCall_AUX, 0, 2);
    Picked(CL_Mdc_SelCall_AUX, 0, 1, FlexRxCodeAUX);
    EXPECT_EQ(image.ReadU8(SelCall(0) + 4), 2);
    EXPECT_EQ(image.ReadU8(SelCall(0) + 5), 0xFD);
    EXPECT_EQ(Shown(CL_Mdc_SelCall_AUX, 0), "AUX 2 /ON");
    Picked(CL_Mdc_SelCall_AUX, 0, 0);
    EXPECT_EQ(image.ReadU8(SelCall(0) + 4), 0);
    EXPECT_EQ(image.ReadU8(SelCall(0) + 5), 0xFC);
    Picked(CL_Mdc_Emg_AUX, 4, 1);
    EXPECT_EQ(image.ReadU8(Emergency(4) + 16), 1);
}

TEST(MdcSystems, EachEntryKeepsItsOwnByte)
{
    CellWorld world(MdcLists());
    TestImage image(world.Image());
    Typed(CL_Mdc_System_List_General, 3, "4");
    EXPECT_EQ(image.ReadU8(System(3)), 4);
    EXPECT_EQ(Shown(CL_Mdc_System_List_General, 3), "4 (Gen 4)");
    // The alias entry picked stays when the revive entry beside it is drawn
    // or changed.
    Picked(CL_Mdc_System_List_Alias, 2, 1);
    EXPECT_EQ(Shown(CL_Mdc_System_List_Revive, 2), "0 (Revive 0)");
    Picked(CL_Mdc_System_List_Revive, 2, 4);
    EXPECT_EQ(image.ReadU8(System(2) + 6), 4);
    EXPECT_EQ(image.ReadU8(System(2) + 8), 1);
    EXPECT_EQ(Shown(CL_Mdc_System_List_Alias, 2), "1 (On)");
}

TEST(MdcSystems, NamesAreFixedAndTakeNoText)
{
    CellWorld world(MdcLists());
    const std::vector<uint8_t> before(world.Image().Data(), world.Image().Data() + world.Image().Size());
    struct Case {
        int label;
        const char* name;
    };
    for (const Case& k : {Case{CL_Mdc_System_List_Text, "Sys 3"}, Case{CL_Mdc_General_Text, "Gen 3"},
                          Case{CL_Mdc_PttId_Text, "PTT 3"}, Case{CL_Mdc_SelCall_Text, "SelC 3"},
                          Case{CL_Mdc_RadioChk_Text, "RdoC 3"}, Case{CL_Mdc_Emg_Text, "Emg 3"},
                          Case{CL_Mdc_Stun_Text, "STUN 3"}}) {
        EXPECT_EQ(Key(k.label, 3, 'A'), erNothing) << k.name;
        Typed(k.label, 3, "YARD");
        EXPECT_EQ(Shown(k.label, 3), k.name);
    }
    EXPECT_EQ(std::vector<uint8_t>(world.Image().Data(), world.Image().Data() + world.Image().Size()), before);
}

TEST(MdcTexts, StatusAndMessageTextsAreTwelveCharactersOfTheirSystem)
{
    CellWorld world(MdcLists());
    TestImage image(world.Image());
    Typed(CL_Mdc_Status_Text, 16 + 5, "ON SCENE");
    Typed(CL_Mdc_Msg_Text, 4 * 16 + 15, "CALL BASE NOW PLEASE");
    auto text = [&](int at) {
        std::string s;
        for (int i = 0; i < 12; ++i) s.push_back(char(image.ReadU8(at + i)));
        return s;
    };
    EXPECT_EQ(text(StatusTexts(1) + 12 * 5), "ON SCENE    ");
    EXPECT_EQ(text(MessageTexts(4) + 12 * 15), "CALL BASE NO");
    EXPECT_EQ(Shown(CL_Mdc_Status_Num, 16 + 5), "6");
    EXPECT_EQ(Shown(CL_Mdc_Msg_Num, 4 * 16 + 15), "16");
}

TEST(MdcAliases, TheFirstAliasIsAnEntryOfTheAliasList)
{
    CellWorld world(MdcLists());
    constexpr int kAliasKind = 24;
    Typed(CL_Mdc_Alias1_ID, 299, "beef", CT_MDC_Alias);
    Typed(CL_Mdc_Alias1_Text, 299, "DISPATCH", CT_MDC_Alias);
    Picked(CL_Mdc_Alias1_Strip, 299, 1, Flex0, CT_MDC_Alias);
    Picked(CL_Mdc_Alias1_Beep_Type, 299, 3, Flex0, CT_MDC_Alias);
    const datCh alias = TestImage(world.Image()).Read(kAliasKind, 299);
    EXPECT_EQ(alias.AliasId, 0xBEEFu);
    EXPECT_EQ(std::string(alias.AliasText, 12), "DISPATCH    ");
    EXPECT_EQ(alias.AliasStrip, 1);
    EXPECT_EQ(alias.AliasBeepType, 3);
    EXPECT_EQ(Shown(CL_Mdc_Alias1_Beep_Type, 299, CT_MDC_Alias), "Ring");
    EXPECT_EQ(Shown(CL_Mdc_Alias2_Text, 299, CT_MDC_Alias), "");
}

TEST(MdcChannels, AChannelNamesItsSystemAndGreysWhenDigitalOutsideAnLtrBank)
{
    CellWorld world(MdcLists());
    TestImage image(world.Image());
    image.BankCounts({2, 1}).Channel(0, 146000000).Channel(1, 146025000).Channel(2, 450000000).Type(1, TestImage::Ltr);
    world.currentBank = 0;
    Typed(CL_Mch_Mdc_System, 1, "3", CT_Mch);
    EXPECT_EQ(image.Read(MchRecordKind(), 1).MdcSystem, 3);
    EXPECT_EQ(Shown(CL_Mch_Mdc_System, 1, CT_Mch), "3 (Sys 3)");
    struct Case {
        int channel;
        int digitalMode;
        bool grey;
    };
    for (const Case& k : {Case{1, 0, false}, Case{1, 1, true}, Case{1, 3, true}, Case{2, 3, false}}) {
        image.Item(MchRecordKind(), k.channel, [&](datCh& c) { c.ChFlagsF.DigSig = k.digitalMode; });
        auto cell = MakeCell(CT_Mch, CL_Mch_Mdc_System, k.channel);
        plat::RecordingCanvas canvas;
        canvas.GetFont().color = plat::clWindowText;
        Capsule c(cell.get(), false);
        c.cap.Canvas = &canvas;
        RunCell(c);
        EXPECT_EQ(canvas.GetFont().color == plat::clSilver, k.grey) << k.channel << " " << k.digitalMode;
    }
}

}  // namespace
