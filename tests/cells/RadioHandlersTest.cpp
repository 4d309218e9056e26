// Frequencies, tones, digit strings, key functions, decoder codes and the
// channel pickers.
#include "cells/RadioHandlers.h"
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/cmcCellObj.h"
#include "model/TableAccess.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> RadioLists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    add({"#GI_Sheet_Sel_Mch_CTone_Cells",
         "{(%Flex0[0])}67.0|{(%Flex0[1])}69.3|{(%Flex0[2])}71.9|{(%Flex0[3])}100.0|{(%Flex0[52])}Off|"
         "{(%FlexDtcs[53])}DTCS"});
    add({"#GI_AppItem_Ctcss", "67.0, 69.3,71.9", "100.0,", "#"});
    add(ListSection("GI_Sheet_Sel_Keys_Conv_Lmr", "Flex0",
                    {{0, "Monitor"}, {'0', "Scan"}, {'1', "Power"}, {'a', "Talk around"}, {'b', "Speaker"}, {'i', "Lock"},
                     {'6', "Squelch"}, {5, "Scan B"}}));
    add(ListSection("GI_Sheet_Sel_Keys_Conv_Pmr", "Flex0", {{0, "Monitor"}, {'a', "Talk around"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_KeyOpt_HL", "FlexKeyOpt", {{0, "Low"}, {1, "High"}}));
    add(ListSection("GI_Sheet_Sel_KDisp_KeyESpkr2", "FlexKeyOpt", {{0, "Internal"}, {1, "On/Off"}}));
    add({"#GI_Sheet_Sel_KDisp_Scan_B_Key", "Scan (zone B)"});
    add(ListSection("GI_Sheet_Sel_RxC_Aux", "Flex0", {{0, "None"}, {1, "AUX 1"}, {2, "AUX 2"}}));
    add(ListSection("GI_Sheet_Sel_RxC_AbcSel", "Flex0", {{0, "Off"}, {1, "Code..."}, {33, "All"}}));
    add(ListSection("GI_Sheet_Sel_ScanPrio2CH", "FlexMark", {{0, "None"}, {1, "Priority A"}, {5, "Channel"}}));
    add(ListSection("GI_Sheet_Sel_Mch_EDivert", "FlexMark", {{0, "Current"}, {1, "Global"}, {2, "Direct"}}));
    add({"#GI_AppMess_KeyConflict", "This function cannot share the keys with the one already assigned.", "#"});
    lines.push_back("#");
    return lines;
}

struct Radio : ::testing::Test {
    CellWorld world{RadioLists()};
    std::unique_ptr<cmcCellObj> cell = MakeCell(CT_Mch, CL_Mch_FreqR);
    CellExecResult result = erNothing;
};

TEST(FrequencyGrid, TypedFrequenciesFitTheChannelGrid)
{
    struct Case {
        int typed;
        int fitted;
    };
    const Case cases[] = {
        {155012500, 155012500}, {155006000, 155006250}, {155013000, -1},       {0, 0},
        {146520000, 146520000}, {450003125, 450003125}, {450003100, 450003125}, {450003130, -1},
    };
    for (const Case& k : cases) EXPECT_EQ(FitFrequencyToGrid(k.typed), k.fitted) << k.typed;
    EXPECT_EQ(FitFrequencyToGrid(155005000, true), 155005000);
    EXPECT_EQ(FitFrequencyToGrid(155001000, true), -1);
    EXPECT_TRUE(IsPlan156Frequency(156025000));
    EXPECT_TRUE(IsPlan156Frequency(157425000));
    EXPECT_FALSE(IsPlan156Frequency(156037500));
    EXPECT_FALSE(IsPlan156Frequency(157450000));
}

TEST_F(Radio, FrequenciesAreTypedShownAndFollowed)
{
    struct Case {
        const char* what;
        int rx, tx;
        bool inUse;
        bool rxCell;
        int offset;
        const char* typed;
        int key;
        int rxAfter, txAfter;
        std::string text;
        int placement;
    };
    const Case cases[] = {
        {"typed", 146000000, 147000000, true, true, 0, "155.0125", 0, 155012500, 147000000, "155.012500", 2},
        {"to the grid above", 146000000, 147000000, true, true, 0, "155.006", 0, 155006250, 147000000, "155.006250", 2},
        {"no grid frequency in reach", 146000000, 147000000, true, true, 0, "155.013", 0, 146000000, 147000000, "146.000000", 2},
        {"zero", 146000000, 147000000, true, true, 0, "0", 0, 146000000, 147000000, "146.000000", 2},
        {"TX follows an equal RX", 146000000, 146000000, true, true, 0, "147", 0, 147000000, 147000000, "147.000000", 2},
        {"a new channel with a shift", 0, 0, false, true, 5000000, "460", 0, 460000000, 465000000, "460.000000", 2},
        {"a new channel above 470 MHz", 0, 0, false, true, 5000000, "480", 0, 480000000, 483000000, "480.000000", 2},
        {"a new channel at 470 MHz takes the rule above", 0, 0, false, true, 5000000, "470", 0, 470000000, 473000000, "470.000000", 2},
        {"TX typed", 146000000, 146000000, true, false, 0, "146.6", 0, 146000000, 146600000, "146.600000", 2},
        {"TX equal to RX", 146000000, 146000000, true, false, 0, nullptr, 0, 146000000, 146000000, "<-", 1},
        {"an empty channel", 0, 0, false, true, 0, nullptr, 0, 0, 0, "", 2},
    };
    for (const Case& k : cases) {
        datCh record(&world.Image());
        record.RxFreq = k.rx;
        record.TxFreq = k.tx;
        record.State.InUse = k.inUse;
        Capsule c(cell.get());
        if (k.typed) c.Edit(k.typed);
        c.cap.Key = k.key;
        result = erNothing;
        EditFrequencyStep(&c.cap, record, k.rxCell, k.offset, result);
        EXPECT_EQ(record.RxFreq, k.rxAfter) << k.what;
        EXPECT_EQ(record.TxFreq, k.txAfter) << k.what;
        EXPECT_EQ(c.cap.Text, k.text) << k.what;
        EXPECT_EQ(cell->HorzPlacement(), k.placement) << k.what;
    }

    datCh record(&world.Image());
    record.RxFreq = record.TxFreq = 146520000;
    Capsule equals(cell.get());
    equals.cap.Key = '=';
    EditFrequency(&equals.cap, record, false, result);
    EXPECT_EQ(result, erStartEdit);
    EXPECT_EQ(equals.cap.Text, "146.520000");
    Capsule point(cell.get());
    point.cap.Key = '.';
    EditFrequency(&point.cap, record, true, result);
    EXPECT_EQ(point.cap.SelStart, 4);
    record.RxFreq = 0;
    Capsule enter(cell.get());
    enter.cap.Key = ' ';  // acts as Enter
    EditFrequency(&enter.cap, record, true, result);
    EXPECT_EQ(result, erStartEdit);
    EXPECT_EQ(enter.cap.Text, "");
}

ToneSpec Analog(int index)
{
    ToneSpec t{};
    t.On = 1;
    t.AnalogIndex = uint16_t(index);
    return t;
}

ToneSpec Digital(int code, bool inverted)
{
    ToneSpec t{};
    t.On = 1;
    t.Digital = 1;
    t.Inverted = inverted;
    t.DigitalCode = uint16_t(code);
    return t;
}

TEST_F(Radio, TonesAreTypedAsNamesOrCodes)
{
    int first = -1;
    EXPECT_EQ(FindToneIndex("GI_AppItem_Ctcss", "6", first), 2);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(FindToneIndex("GI_AppItem_Ctcss", " 69 ", first), 1);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(FindToneIndex("GI_AppItem_Ctcss", "100", first), 1);
    EXPECT_EQ(first, 3);

    struct Case {
        const char* typed;
        ToneSpec before;
        bool changed;
        ToneSpec after;
        std::string text;
    };
    const Case cases[] = {
        {"023i", Analog(0), true, Digital(19, true), "023i"},
        {"100", Analog(0), true, Digital(64, false), "100N"},
        {"100.0", Analog(0), true, Analog(3), "100.0"},
        {"69", Analog(0), true, Analog(1), "69.3"},
        {"6", Analog(2), false, Analog(2), "71.9"},     // two names begin with 6
        {"089", Analog(2), false, Analog(2), "71.9"},   // 9 is no octal digit
        {"xyz", Digital(7, false), false, Digital(7, false), "007N"},
    };
    for (const Case& k : cases) {
        ToneSpec rx = k.before, tx = Analog(1);
        Capsule c(cell.get());
        c.Edit(k.typed);
        result = erNothing;
        EXPECT_EQ(EditToneCode(&c.cap, rx, tx, true, result), k.changed ? 1 : 0) << k.typed;
        EXPECT_EQ(rx.On, k.after.On) << k.typed;
        EXPECT_EQ(rx.Digital, k.after.Digital) << k.typed;
        EXPECT_EQ(rx.Inverted, k.after.Inverted) << k.typed;
        EXPECT_EQ(rx.Digital ? rx.DigitalCode : rx.AnalogIndex, k.after.Digital ? k.after.DigitalCode : k.after.AnalogIndex)
            << k.typed;
        EXPECT_EQ(c.cap.Text, k.text) << k.typed;
    }
}

TEST_F(Radio, TonesFromTheListAndTheirFollowers)
{
    // An equal TX tone follows the RX tone; it then shows "<-".
    ToneSpec rx = Analog(0), tx = Analog(0);
    Capsule pick(cell.get());
    pick.Pick(Flex0, 2);
    EXPECT_EQ(EditToneCode(&pick.cap, rx, tx, true, result), 1);
    EXPECT_EQ(tx.AnalogIndex, 2);
    Capsule txCell(cell.get(), false);
    EditToneCode(&txCell.cap, rx, tx, false, result);
    EXPECT_EQ(txCell.cap.Text, "<-");
    EXPECT_EQ(cell->HorzPlacement(), 1);

    // Picking "off" switches the tone off.
    pick.Pick(Flex0, 52);
    EXPECT_EQ(EditToneCode(&pick.cap, rx, tx, true, result), 1);
    EXPECT_FALSE(rx.On);
    EXPECT_EQ(rx.AnalogIndex, 0);
    Capsule off(cell.get(), false);
    EditToneCode(&off.cap, rx, tx, true, result);
    EXPECT_EQ(off.cap.Text, "Off");

    // Space inverts a digital code.
    rx = Digital(19, false);
    tx = Analog(0);
    Capsule space(cell.get());
    space.cap.Key = ' ';
    EXPECT_EQ(EditToneCode(&space.cap, rx, tx, true, result), 1);
    EXPECT_TRUE(rx.Inverted);
    EXPECT_EQ(space.cap.Text, "023i");
    EXPECT_EQ(space.cap.Key, 0);

    // The DTCS entry opens the cell's editor with the code.
    int edits = 0;
    Capsule dtcs(cell.get());
    dtcs.Pick(FlexDtcs, 53);
    dtcs.cap.OnEdit = [&](cmcCellCapsule* c, int) {
        ++edits;
        EXPECT_EQ(c->Text, "023i");
    };
    EXPECT_EQ(EditToneCode(&dtcs.cap, rx, tx, true, result), 0);
    EXPECT_EQ(edits, 1);
}

TEST_F(Radio, DigitStrings)
{
    uint8_t bytes[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    int count = 0;
    Capsule c(cell.get());
    c.Edit("12*#");
    EXPECT_EQ(EditDtmfDigits(&c.cap, bytes, count, 12, result), 1);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(bytes[0], 0x12);
    EXPECT_EQ(bytes[1], 0xEF);
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(bytes[5], 0x00);
    EXPECT_EQ(c.cap.Text, "12*#");
    Capsule longer(cell.get(), false);
    count = 20;  // more than the cell holds
    EditDtmfDigits(&longer.cap, bytes, count, 3, result);
    EXPECT_EQ(longer.cap.Text, "12*");

    datCh record(&world.Image());
    record.CodeSetting = 14;
    Capsule decoder(cell.get());
    decoder.Edit("1+2*fF3");
    EXPECT_EQ(EditToneDigits(&decoder.cap, record, 7, true, result), 1);
    EXPECT_EQ(record.RxCode[0], 0x10);
    EXPECT_EQ(record.RxCode[1], 0x2E);
    EXPECT_EQ(record.RxCode[2], 0x3F);
    EXPECT_EQ(record.RxCode[3], 0xFF);
    EXPECT_EQ(record.RxCodePlusMask, 0x40);
    EXPECT_EQ(decoder.cap.Text, "1+2*3");
    Capsule encoder(cell.get());
    encoder.Edit("1+2");
    EditToneDigits(&encoder.cap, record, 7, false, result);
    EXPECT_EQ(encoder.cap.Text, "12");
}

struct Keys : Radio {
    uint8_t* Key(int table, int position) { return world.Image().Data() + table + position; }
};

TEST_F(Keys, ExclusiveFunctionsAreRefused)
{
    *Key(KeyTableB2, 3) = 'b';
    *Key(KeyTableConv, 0) = '1';
    EXPECT_TRUE(IsKeyFunctionAssigned(world.Image(), 'b'));
    EXPECT_TRUE(KeyFunctionConflicts(world.Image(), 'a'));
    EXPECT_FALSE(KeyFunctionConflicts(world.Image(), 'b'));
    EXPECT_FALSE(KeyFunctionConflicts(world.Image(), '1'));
    EXPECT_FALSE(KeyFunctionConflicts(world.Image(), 'a', {KeyTableB2 + 3}));

    plat::ScopedDialogScript script;
    script.Answer(plat::IDOK);
    int scope = 1;
    Capsule c(cell.get());
    c.Pick(Flex0, 'a');
    EXPECT_EQ(EditConvKey(&c.cap, world.Image(), *Key(KeyTableConv, 0), scope, result), 0);
    EXPECT_EQ(*Key(KeyTableConv, 0), '1');
    ASSERT_EQ(script.Boxes().size(), 1u);
    EXPECT_EQ(script.Boxes()[0].caption, "Radio Programmer");
    EXPECT_EQ(script.Boxes()[0].Icon(), plat::MB_ICONERROR);

    // Replacing the function on the very key that holds it is no conflict.
    EXPECT_EQ(EditConvKey(&c.cap, world.Image(), *Key(KeyTableB2, 3), scope, result), 1);
    EXPECT_EQ(*Key(KeyTableB2, 3), 'a');
    EXPECT_EQ(script.Boxes().size(), 1u);
}

TEST_F(Keys, OptionsOfFunctions)
{
    EXPECT_EQ(KeyOptionIndex('3'), 11);
    EXPECT_EQ(KeyOptionIndex('4'), 12);
    EXPECT_EQ(KeyOptionIndex(';'), 23);
    EXPECT_EQ(KeyOptionIndex('a'), 0);
    int scope = 1;
    uint8_t function = 0;

    // Picking a function with an option opens its High/Low list.
    Capsule c(cell.get());
    c.Pick(Flex0, '1');
    EXPECT_EQ(EditConvKey(&c.cap, world.Image(), function, scope, result), 1);
    EXPECT_EQ(function, '1');
    EXPECT_EQ(result, erPopupOpened);
    EXPECT_EQ(world.popups.calls.back().key, "GI_Sheet_Sel_KDisp_KeyOpt_HL");
    EXPECT_EQ(world.popups.calls.back().label, FlexKeyOpt);
    c.Pick(FlexKeyOpt, 1);
    EXPECT_EQ(EditConvKey(&c.cap, world.Image(), function, scope, result), 1);
    EXPECT_TRUE(world.Image().GetByte(175684) & 0x40);
    EXPECT_TRUE(scope & csEveryLabelled);

    struct Shown {
        uint8_t function;
        std::string text;
    };
    world.Image().SetByte(302529, 0x10);
    for (const Shown& s : {Shown{'1', "Power /H"}, Shown{'0', "Scan /L"}, Shown{'6', "Squelch /L"},
                           Shown{'b', "Speaker -On/Off"}, Shown{5, "Scan (zone B)"}, Shown{0, "Monitor"}}) {
        Capsule show(cell.get(), false);
        function = s.function;
        EditConvKey(&show.cap, world.Image(), function, scope, result);
        EXPECT_EQ(show.cap.Text, s.text);
    }
    // Options without storage are shown and not kept.
    EXPECT_EQ(GetKeyOption(world.Image(), 21), 0);
    EXPECT_TRUE(SetKeyOption(world.Image(), 21, 1));
    EXPECT_EQ(GetKeyOption(world.Image(), 21), 0);
}

TEST_F(Radio, DecoderCodes)
{
    int code = 0, action = 0, scope = 1;
    Capsule c(cell.get());
    c.Pick(Flex0, 2);
    EXPECT_EQ(EditAuxCode(&c.cap, code, action, scope, "GI_Sheet_Sel_RxC_Aux", result), 1);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(world.popups.calls.back().key, "GI_Sheet_Sel_RxC_Aux_Act");
    c.Pick(FlexRxCodeAUX, 2);
    EXPECT_EQ(EditAuxCode(&c.cap, code, action, scope, "GI_Sheet_Sel_RxC_Aux", result), 1);
    EXPECT_EQ(action, 2);
    Capsule show(cell.get(), false);
    EditAuxCode(&show.cap, code, action, scope, "GI_Sheet_Sel_RxC_Aux", result);
    EXPECT_EQ(show.cap.Text, "AUX 2 /Momentary");

    struct Abc {
        const char* what;
        int code;
        int key;
        const char* typed;
        int after;
        std::string text;
    };
    for (const Abc& k : {Abc{"a number", 7, 0, nullptr, 7, "7"}, Abc{"an entry", 33, 0, nullptr, 33, "All"},
                         Abc{"typed", 0, 0, "45", 32, "32"}, Abc{"typed of", 7, 0, "off", 0, "Off"},
                         Abc{"Space passes the number entry", 0, ' ', nullptr, 33, "All"},
                         Abc{"Space from a number", 7, ' ', nullptr, 33, "All"}}) {
        Capsule a(cell.get(), k.typed == nullptr);
        if (k.typed) a.Edit(k.typed);
        a.cap.Key = k.key;
        int value = k.code;
        result = erNothing;
        EditAbcCode(&a.cap, value, result);
        if (k.typed) {
            Capsule again(cell.get(), false);
            EditAbcCode(&again.cap, value, result);
            a.cap.Text = again.cap.Text;
        }
        EXPECT_EQ(value, k.after) << k.what;
        EXPECT_EQ(a.cap.Text, k.text) << k.what;
    }
    Capsule number(cell.get());
    number.Pick(Flex0, 1);
    int value = 4;
    EXPECT_EQ(EditAbcCode(&number.cap, value, result), 0);
    EXPECT_EQ(world.popups.calls.back().key, "GI_Sheet_Sel_RxC_AbcCode");
    EXPECT_EQ(world.popups.calls.back().focus, 4);
}

struct Pickers : Radio {
    void SetUp() override
    {
        // Bank 0: 2 channels, bank 1: a vote zone with 1, bank 2: 3 channels,
        // bank 3: SmarTrunk with 2.
        TestImage image(world.Image());
        image.BankCounts({2, 1, 3, 2}).Type(1, TestImage::VoteZone).Type(3, TestImage::SmarTrunk);
        for (int n = 0; n < 8; ++n) image.Channel(n, 146000000 + n * 12500);
    }
};

TEST_F(Pickers, ScanChannelThroughZoneAndChannelLists)
{
    EXPECT_EQ(FormatPickerChannel(4), "3-2");
    datCh scan(&world.Image());
    int mode = 0;
    Capsule c(cell.get());
    c.Pick(FlexMark, 5);
    EXPECT_EQ(EditScanChannel(&c.cap, scan, mode, 1, result), 1);
    EXPECT_EQ(mode, 5);
    EXPECT_TRUE(scan.ScanTxFlags.Flag24);
    EXPECT_EQ(world.popups.calls.back().code, "B");
    EXPECT_EQ(world.popups.calls.back().key, "GI_Sheet_Sel_ScanZoneSel");

    // Zone 1 of the non-vote banks is bank 2.
    c.Pick(FlexZoneSel, 1);
    EXPECT_EQ(EditScanChannel(&c.cap, scan, mode, 1, result), 0);
    EXPECT_EQ(world.popups.calls.back().code, "C");
    c.Pick(FlexCHSel, 2);
    EXPECT_EQ(EditScanChannel(&c.cap, scan, mode, 1, result), 1);
    EXPECT_EQ(scan.Prio2Ch, 5u);
    Capsule show(cell.get(), false);
    EditScanChannel(&show.cap, scan, mode, 1, result);
    EXPECT_EQ(show.cap.Text, "3-3");

    c.Pick(FlexMark, 0);
    EXPECT_EQ(EditScanChannel(&c.cap, scan, mode, 1, result), 1);
    EXPECT_FALSE(scan.ScanTxFlags.Flag24);
}

TEST_F(Pickers, ChannelGroupChannelsSkipVoteAndSmarTrunkBanks)
{
    int channel = 1;
    Capsule c(cell.get());
    c.cap.Key = ' ';
    EXPECT_EQ(EditChGroupChannel(&c.cap, channel, result), 1);
    EXPECT_EQ(channel, 3);  // channel 2 lies in the vote zone
    channel = 5;
    EXPECT_EQ(EditChGroupChannel(&c.cap, channel, result), 1);
    EXPECT_EQ(channel, 0);  // past the SmarTrunk bank, round to the start
    c.cap.Key = 8;
    EXPECT_EQ(EditChGroupChannel(&c.cap, channel, result), 1);
    EXPECT_EQ(channel, 5);

    c.Pick(FlexZoneSel_ChGrp_Chfunc, 9);  // no such zone: no channel
    EXPECT_EQ(EditChGroupChannel(&c.cap, channel, result), 1);
    EXPECT_EQ(channel, 512);
    Capsule show(cell.get(), false);
    EditChGroupChannel(&show.cap, channel, result);
    EXPECT_EQ(show.cap.Text, "Null");

    int zone = 128;
    Capsule z(cell.get());
    z.cap.Key = ' ';
    EXPECT_EQ(EditChGroupZone(&z.cap, zone, result), 1);
    EXPECT_EQ(zone, 1);
    EXPECT_EQ(EditChGroupZone(&z.cap, zone, result), 1);
    EXPECT_EQ(zone, 3);
    EXPECT_EQ(z.cap.Text, "Zone 4");
}

TEST_F(Pickers, GpsChannelOrDisplayed)
{
    int channel = 600, mode = 0;
    Capsule show(cell.get(), false);
    EditGpsZoneChannel(&show.cap, channel, mode, result);
    EXPECT_EQ(show.cap.Text, "Displayed");
    Capsule c(cell.get());
    c.cap.Key = ' ';
    EXPECT_EQ(EditGpsZoneChannel(&c.cap, channel, mode, result), 1);
    EXPECT_EQ(channel, 0);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(c.cap.Text, "1-1");
    c.Pick(FlexZoneSel_GPS_Zonefunc, 40);  // past the last zone
    EXPECT_EQ(EditGpsZoneChannel(&c.cap, channel, mode, result), 1);
    EXPECT_EQ(mode, 0);
    c.Pick(FlexZoneSel_GPS_Zonefunc, 1);
    EditGpsZoneChannel(&c.cap, channel, mode, result);
    c.Pick(FlexZoneSel_GPS_Num, 0);
    EXPECT_EQ(EditGpsZoneChannel(&c.cap, channel, mode, result), 1);
    EXPECT_EQ(channel, 2);
    EXPECT_EQ(mode, 1);
}

TEST_F(Pickers, EmergencyDivertRefusesAnEmptyChannel)
{
    TestImage(world.Image()).Channel(6, 0);
    datCh record(&world.Image());
    int mode = 0;
    Capsule c(cell.get());
    c.Pick(FlexMark, 2);
    EXPECT_EQ(EditZoneChannel(&c.cap, world.Image(), record, mode, 0, result), 1);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(world.popups.calls.back().key, "GI_Sheet_Sel_ZoneSel");
    c.Pick(FlexZoneSel, 3);  // the used banks are 0 to 3
    EditZoneChannel(&c.cap, world.Image(), record, mode, 0, result);
    EXPECT_EQ(world.popups.calls.back().key, "GI_Sheet_Sel_CHSel");
    c.Pick(FlexCHSel, 1);
    EXPECT_EQ(EditZoneChannel(&c.cap, world.Image(), record, mode, 0, result), 1);
    EXPECT_EQ(record.EDivertTarget, 7);

    plat::ScopedDialogScript script;
    script.Answer(plat::IDOK);
    c.Pick(FlexCHSel, 0);
    EXPECT_EQ(EditZoneChannel(&c.cap, world.Image(), record, mode, 0, result), 1);
    EXPECT_EQ(record.EDivertTarget, 0);
    EXPECT_EQ(mode, 0);
    ASSERT_EQ(script.Boxes().size(), 1u);
    EXPECT_EQ(script.Boxes()[0].text,
              "Zone 4 Channel 1 is an Empty Channel.\nCannot select an Empty Channel for Emergency Divert Direct.");
    EXPECT_EQ(script.Boxes()[0].caption, plat::ProgramFileName());

    mode = 2;
    record.EDivertTarget = 4;
    c.Pick(FlexMark, 1);
    EXPECT_EQ(EditZoneChannel(&c.cap, world.Image(), record, mode, 0, result), 1);
    EXPECT_EQ(record.EDivertTarget, 0);
}

}  // namespace
