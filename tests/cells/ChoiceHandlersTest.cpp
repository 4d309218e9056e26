// Choice lists, bounded values, list readers, flag letters and bit arrays.
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

std::vector<std::string> Lists()
{
    std::vector<std::string> lines;
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    // Two lines: the pop-up shows column after column (0, 2, 1, 3).
    add({"#GI_Sheet_Sel_Power_Cells", "{(%Flex0[0])}Low|{(%Flex0[1])}Mid", "{(%Flex0[2])}High|{(%Flex0[3])}Max"});
    add(ListSection("GI_Sheet_Sel_Code", "Flex0",
                    {{0, "Off"}, {1, "100"}, {2, "250"}, {3, "1000"}, {4, "Auto"}}));
    lines.push_back("{(%Flex0[5]:Custom)}Shown text");
    // The number entry stands first on the last line of its list.
    add({"#GI_Sheet_Sel_Limit_Cells", "{(%Flex0[0])}Off|{(%Flex0[99])}Always", "{(%Flex0[1])}Number..."});
    add({"#GI_Sheet_Sel_Limit_Num_Cells", "{(%Flex1[1])}1", "{(%Flex1[2])}2", "{(%Flex1[3])}3",
         "{(%Flex1[16])}16", "{(%Flex1[4])}4"});
    add(ListSection("GI_Sheet_Sel_UserSetEnable", "Flex0", {{0, "Disable"}, {1, "Enable"}}));
    add(ListSection("GI_Sheet_Sel_Options", "Flex0", {{0, "None"}, {1, "A"}, {2, "B"}}));
    lines.push_back("#");
    return lines;
}

struct ChoiceWorld : ::testing::Test {
    CellWorld world{Lists()};
    std::unique_ptr<cmcCellObj> cell = MakeCell(CT_Null, CL_Comm_Tactical);
    CellExecResult result = erNothing;
};

TEST_F(ChoiceWorld, ListShowsStepsOpensAndTakesAPick)
{
    const std::string key = "GI_Sheet_Sel_Power";
    struct Case {
        int value;
        int key;
        std::string text;
        int after;
        int changed;
    };
    const Case cases[] = {
        {1, 0, "Mid", 1, 0},
        {7, 0, "error", 7, 0},       // a value the list does not hold
        {0, ' ', "High", 2, 1},      // the pop-up's order: column after column
        {3, ' ', "Low", 0, 1},       // past the last comes the first
        {0, 8, "Max", 3, 1},
        {7, ' ', "Low", 0, 1},       // from an unknown value to the first entry
    };
    for (const Case& k : cases) {
        Capsule c(cell.get());
        c.cap.Key = k.key;
        int value = k.value;
        result = erNothing;
        EXPECT_EQ(ChooseFromList(&c.cap, key, value, result), k.changed) << k.value << "/" << k.key;
        EXPECT_EQ(value, k.after);
        EXPECT_EQ(c.cap.Text, k.text);
        EXPECT_EQ(c.cap.SelLength, int(k.text.size()));
    }

    Capsule enter(cell.get());
    enter.cap.Key = 13;
    int value = 2;
    EXPECT_EQ(ChooseFromList(&enter.cap, key, value, result), 0);
    EXPECT_EQ(result, erPopupOpened);
    ASSERT_EQ(world.popups.calls.size(), 1u);
    EXPECT_EQ(world.popups.calls[0].what, "choice");
    EXPECT_EQ(world.popups.calls[0].label, Flex0);
    EXPECT_EQ(world.popups.calls[0].focus, 2);
    EXPECT_EQ(world.popups.calls[0].key, key);

    // Keys need a grid.
    Capsule loose(cell.get(), false);
    loose.cap.Key = ' ';
    EXPECT_EQ(ChooseFromList(&loose.cap, key, value, result), 0);
    EXPECT_EQ(value, 2);

    Capsule pick(cell.get());
    pick.Pick(Flex0, 3);
    EXPECT_EQ(ChooseFromList(&pick.cap, key, value, result), 1);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(pick.cap.Text, "");
    pick.Pick(FlexMark, 1);  // another list's pick
    EXPECT_EQ(ChooseFromList(&pick.cap, key, value, result), 0);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(ChooseFromListMark(&pick.cap, key, value, result), 1);
    EXPECT_EQ(value, 1);
    // The second form ignores a parent that is no pick of its list.
    pick.Pick(FlexMark, 0);
    EXPECT_EQ(ChooseFromList2(&pick.cap, key, value, result), 0);
    EXPECT_EQ(pick.cap.Text, "Mid");
}

TEST_F(ChoiceWorld, PickerOpensWithItsCodeAndShowsNothing)
{
    Capsule c(cell.get());
    c.cap.Key = 13;
    int value = 4;
    EXPECT_EQ(PickFromList(&c.cap, "GI_Sheet_Sel_Language", Flex_Language_ChNo, value, 4, "Y", result), 0);
    EXPECT_EQ(result, erPopupOpened);
    ASSERT_EQ(world.popups.calls.size(), 1u);
    EXPECT_EQ(world.popups.calls[0].what, "picker");
    EXPECT_EQ(world.popups.calls[0].code, "Y");
    EXPECT_EQ(c.cap.Text, "");
    c.Pick(Flex_Language_ChNo, 2);
    EXPECT_EQ(PickFromList(&c.cap, "GI_Sheet_Sel_Language", Flex_Language_ChNo, value, 4, "Y", result), 1);
    EXPECT_EQ(value, 2);
}

TEST_F(ChoiceWorld, TypedNamesAndNumbersPickListEntries)
{
    const std::string key = "GI_Sheet_Sel_Code";
    struct Case {
        int mode;
        const char* typed;
        int expected;  // -1: no change
    };
    const Case cases[] = {
        {cmNearestNumber, "240", 2},  {cmNearestNumber, "900", 3},   {cmNearestNumber, " 175 ", 1},
        {cmNearestNumber, "of", 0},   {cmNearestNumber, "OFF", 0},   {cmNearestNumber, "ox", -1},
        {cmNearestNumber, "abc", -1}, {cmNearestNumber, "", -1},     {cmNamePrefix, "au", 4},
        {cmNamePrefix, "cus", 5},     {cmNamePrefix, "x", -1},       {cmNameThenNumber, "a", -1},
        {cmNameThenNumber, "AU", 4},  {cmNameThenNumber, "260", 2},
        // Numbers beyond any range are read as every typed number is.
        {cmNearestNumber, "-99999999999999999999", 0}, {cmNearestNumber, "99999999999999999999", 3},
    };
    for (const Case& k : cases) {
        Capsule c(cell.get());
        c.Edit(k.typed);
        int value = 9;
        result = erNothing;
        const int changed = ChooseFromCells(&c.cap, key, Flex0, value, k.mode, result);
        EXPECT_EQ(changed, k.expected >= 0 ? 1 : 0) << k.typed;
        EXPECT_EQ(value, k.expected >= 0 ? k.expected : 9) << k.typed;
    }
    // Typing starts the editor: digits and 'o' for numbers, any letter for names.
    for (auto [mode, key_, edits] : {std::tuple{cmNearestNumber, '2', true}, std::tuple{cmNearestNumber, 'o', true},
                                     std::tuple{cmNearestNumber, 'x', false}, std::tuple{cmNamePrefix, 'x', true}}) {
        Capsule c(cell.get());
        c.cap.Key = key_;
        int value = 1;
        result = erNothing;
        ChooseFromCells(&c.cap, key, Flex0, value, mode, result);
        EXPECT_EQ(result == erStartEdit, edits) << char(key_);
        if (edits) {
            EXPECT_EQ(c.cap.Text, std::string(1, char(key_)));
        }
    }
    Capsule shown(cell.get(), false);
    int value = 5;
    ChooseFromCells(&shown.cap, key, Flex0, value, cmNamePrefix, result);
    EXPECT_EQ(shown.cap.Text, "Custom");
}

TEST_F(ChoiceWorld, BoundedValuesAreListEntriesOrNumbers)
{
    const std::string sel = "GI_Sheet_Sel_Limit", num = "GI_Sheet_Sel_Limit_Num";
    EXPECT_EQ(FirstIndexOfLabel(sel, Flex0), 1);   // the first cell of the last line
    EXPECT_EQ(FirstIndexOfLabel(num, Flex1), 4);
    EXPECT_EQ(LastIndexOfLabel(num, Flex1), 16);
    EXPECT_EQ(LastIndexOfLabel(sel, Flex1), 0);    // none
    // Each line is read up to its first cell above the highest so far.
    EXPECT_EQ(LastIndexOfLabel("GI_Sheet_Sel_Power", Flex0), 2);

    auto run = [&](Capsule& c, int& value) {
        result = erNothing;
        return EditBoundedValue(&c.cap, sel, num, value, result);
    };
    for (auto [value, text] : {std::pair{9, "9"}, std::pair{99, "Always"}, std::pair{0, "Off"}}) {
        Capsule c(cell.get(), false);
        run(c, value);
        EXPECT_EQ(c.cap.Text, text);
    }
    struct Typed {
        const char* text;
        int expected;
    };
    for (const Typed& t : {Typed{"of", 0}, Typed{"0", 0}, Typed{"99", 16}, Typed{"12", 12}, Typed{"x", 9}}) {
        Capsule c(cell.get());
        c.Edit(t.text);
        int value = 9;
        run(c, value);
        EXPECT_EQ(value, t.expected) << t.text;
    }

    Capsule pick(cell.get());
    int value = 5;
    pick.Pick(Flex0, 1);  // "Number...": the number list opens on the value
    EXPECT_EQ(run(pick, value), 0);
    EXPECT_EQ(result, erPopupOpened);
    EXPECT_EQ(world.popups.calls.back().label, Flex1);
    EXPECT_EQ(world.popups.calls.back().focus, 5);
    EXPECT_EQ(world.popups.calls.back().key, num);
    pick.Pick(Flex0, 99);
    EXPECT_EQ(run(pick, value), 1);
    EXPECT_EQ(value, 99);
    pick.Pick(Flex1, 7);
    EXPECT_EQ(run(pick, value), 1);
    EXPECT_EQ(value, 7);

    // Stepping passes over the number entry: Off, (Number...), Always.
    struct Step {
        int from;
        int key;
        int to;
    };
    for (const Step& st : {Step{0, ' ', 99}, Step{5, ' ', 99}, Step{99, 8, 0}}) {
        Capsule c(cell.get());
        c.cap.Key = st.key;
        int v = st.from;
        EXPECT_EQ(run(c, v), 1);
        EXPECT_EQ(v, st.to) << st.from;
    }
    Capsule enter(cell.get());
    enter.cap.Key = 13;
    value = 5;
    run(enter, value);
    EXPECT_EQ(world.popups.calls.back().key, sel);
    EXPECT_EQ(world.popups.calls.back().focus, 1);
    EXPECT_EQ(enter.cap.Text, "5");
    Capsule typed(cell.get());
    typed.cap.Key = 'o';
    run(typed, value);
    EXPECT_EQ(result, erStartEdit);
}

TEST_F(ChoiceWorld, FlagLettersAndBitArrays)
{
    uint8_t f0 = 0x01 | 0x04, f1 = 0x10;
    Capsule show(cell.get());
    EditFlagLetters(&show.cap, "GI_Sheet_Sel_Options", f0, f1, result);
    EXPECT_EQ(show.cap.Text, "AEH");
    show.cap.Key = 13;
    EditFlagLetters(&show.cap, "GI_Sheet_Sel_Options", f0, f1, result);
    EXPECT_EQ(world.popups.calls.back().focus, 0);

    struct Pick {
        int entry;
        uint8_t f0, f1;  // before
        uint8_t f0After, f1After;
    };
    const Pick picks[] = {
        {2, 0x00, 0x00, 0x02, 0x00}, {3, 0x08, 0x00, 0x04, 0x00}, {4, 0x04, 0x00, 0x08, 0x00},
        {5, 0x10, 0x00, 0x00, 0x00}, {6, 0x00, 0x00, 0x20, 0x00}, {7, 0x00, 0x20, 0x00, 0x10},
        {8, 0x00, 0x10, 0x00, 0x20}, {8, 0x00, 0x00, 0x00, 0x00},
    };
    for (const Pick& p : picks) {
        Capsule c(cell.get());
        c.Pick(Flex0, p.entry);
        uint8_t a = p.f0, b = p.f1;
        EXPECT_EQ(EditFlagLetters(&c.cap, "GI_Sheet_Sel_Options", a, b, result), 1) << p.entry;
        EXPECT_EQ(a, p.f0After) << p.entry;
        EXPECT_EQ(b, p.f1After) << p.entry;
    }
    world.Pump();
    EXPECT_EQ(world.PostedOf(ev::UpdateBankNodes).size(), std::size(picks));
    EXPECT_EQ(world.PostedOf(ev::RefreshSheetTitles).size(), std::size(picks));

    uint8_t bits[2] = {0x00, 0x40};
    Capsule c(cell.get());
    c.cap.Key = ' ';
    EXPECT_EQ(EditUserSetBit(&c.cap, bits, 2, 9, result), 1);  // byte 1, bit 6
    EXPECT_EQ(bits[1], 0x00);
    EXPECT_EQ(c.cap.Text, "Disable");
    Capsule past(cell.get());
    EXPECT_EQ(EditUserSetBit(&past.cap, bits, 2, 16, result), 0);
    EXPECT_EQ(past.cap.Text, "");
}

}  // namespace
