// Numbers, decimals, durations, hexadecimal digits, bit fields and texts.
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "model/indEnviron.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

#include <functional>

using namespace celltest;

namespace {

// One call of a handler on an int: the input, and what the cell shows and
// stores.
struct Call {
    const char* what;
    int value;
    int key;            // 0: none
    const char* typed;  // nullptr: not an edited text
    int changed;
    int after;
    std::string text;
    CellExecResult result = erNothing;
};

using Handler = std::function<int(cmcCellCapsule*, int&, CellExecResult&)>;

void Check(const Handler& handler, std::initializer_list<Call> calls)
{
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    for (const Call& k : calls) {
        Capsule c(cell.get());
        c.cap.Key = k.key;
        if (k.typed) c.Edit(k.typed);
        int value = k.value;
        CellExecResult result = erNothing;
        EXPECT_EQ(handler(&c.cap, value, result), k.changed) << k.what;
        EXPECT_EQ(value, k.after) << k.what;
        EXPECT_EQ(c.cap.Text, k.text) << k.what;
        EXPECT_EQ(result, k.result) << k.what;
    }
}

struct Handlers : ::testing::Test {
    CellWorld world;
};

TEST_F(Handlers, Numbers)
{
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditNumber(c, v, 3, 1, 16, false, r); },
          {
              {"zero filled", 7, 0, nullptr, 0, 7, "007"},
              {"Space reaches the top", 15, ' ', nullptr, 1, 16, "016"},
              {"Space past the top", 16, ' ', nullptr, 1, 1, "001"},
              {"Backspace past the bottom", 1, 8, nullptr, 1, 16, "016"},
              {"typed", 7, 0, "12", 1, 12, "012"},
              {"typed out of range", 7, 0, "20", 0, 7, "007"},
              {"typed no number", 7, 0, "x", 0, 7, "007"},
              {"a digit starts the editor", 7, '4', nullptr, 0, 7, "4", erStartEdit},
              {"no minus sign for a positive range", 7, '-', nullptr, 0, 7, "007"},
              {"Enter", 7, 13, nullptr, 0, 7, "007", erStartEdit},
          });
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditIntValue(c, v, 0, 100, 0, 5, nullptr, false, false, r); },
          {
              {"typed to the nearest step, down", 0, 0, "12", 1, 10, "10"},
              {"typed to the nearest step, up", 0, 0, "13", 1, 15, "15"},
              {"typed above the range", 0, 0, "400", 1, 100, "100"},
              {"typed without a digit", 20, 0, "-", 0, 20, "20"},
              {"Space reaches the top", 95, ' ', nullptr, 1, 100, "100"},
              {"Space past the top wraps", 100, ' ', nullptr, 1, 0, "0"},
              {"a step lands on a multiple", 12, ' ', nullptr, 1, 15, "15"},
          });
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditIntValue(c, v, 0, 100, 0, 5, nullptr, false, true, r); },
          {{"stopping at the ends", 100, ' ', nullptr, 1, 100, "100"}, {"and at the bottom", 0, 8, nullptr, 1, 0, "0"}});
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditIntValue(c, v, -10, 10, 1, 1, nullptr, false, false, r); },
          {
              {"shown with its offset", 4, 0, nullptr, 0, 4, "5"},
              {"typed with the offset", 4, 0, "-3", 1, -4, "-3"},
              {"a minus sign starts the editor", 4, '-', nullptr, 0, 4, "-", erStartEdit},
          });
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditIntValue(c, v, 1, 9, 0, 1, "Auto", true, false, r); },
          {
              {"a fixed text", 4, 0, nullptr, 0, 4, "Auto"},
              {"a stored value out of range is corrected by input", 40, ' ', nullptr, 1, 1, "Auto"},
          });
}

TEST_F(Handlers, CorrectionsWhileDrawingAreNoChange)
{
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule draw(cell.get(), false);
    int value = 300;
    CellExecResult result = erNothing;
    EXPECT_EQ(EditIntValue(&draw.cap, value, 0, 255, 0, 1, nullptr, true, false, result), 0);
    EXPECT_EQ(draw.cap.Text, "255");
    uint8_t byte = 7;
    EXPECT_EQ(EditByteValueEx(&draw.cap, byte, 10, 20, 0, 1, nullptr, true, result), 0);
    EXPECT_EQ(byte, 7);
    EXPECT_EQ(draw.cap.Text, "10");
}

TEST_F(Handlers, InvertedRangesTakeNoInput)
{
    // A range taken from other settings can end below its start.
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    for (int key : {int(' '), 8, 13, int('5')}) {
        Capsule c(cell.get());
        c.cap.Key = key;
        int value = 3;
        uint8_t byte = 3;
        CellExecResult result = erNothing;
        EXPECT_EQ(EditIntWrap(&c.cap, value, 1, 0, result), 0);
        EXPECT_EQ(EditByteValue(&c.cap, byte, 5, 4, result), 0);
        EXPECT_EQ(EditDecimal(&c.cap, value, 1, 1, 2.0, 1.0, 1, true, 0, false, result), 0);
        EXPECT_EQ(EditTime(&c.cap, value, 10, 9, 8, 0, 0, result), 0);
        EXPECT_EQ(EditHexNumber(&c.cap, value, 9, 8, 2, result), 0);
        EXPECT_EQ(EditNumber(&c.cap, value, 2, 9, 8, false, result), 0);
        EXPECT_EQ(EditMinSec(&c.cap, value, 90, 60, 1, 0, result), 0);
        EXPECT_EQ(value, 3);
        EXPECT_EQ(byte, 3);
        EXPECT_EQ(result, erNothing);
    }
    Capsule typed(cell.get());
    typed.Edit("2");
    int value = 3;
    CellExecResult result = erNothing;
    EXPECT_EQ(EditIntClamp(&typed.cap, value, 1, 0, result), 0);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(typed.cap.Text, "3");
}

TEST_F(Handlers, Decimals)
{
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditScaledValue(c, v, 2, 2, 0.01, 2.55, 1, true, false, r); },
          {
              {"two leading blanks", 5, 0, nullptr, 0, 5, "  0.05"},
              {"typed above the range", 5, 0, "3", 1, 255, "  2.55"},
              {"typed", 5, 0, "1.234", 1, 123, "  1.23"},
              {"Space reaches the top", 254, ' ', nullptr, 1, 255, "  2.55"},
              {"Space past the top wraps", 255, ' ', nullptr, 1, 1, "  0.01"},
              {"Backspace past the bottom wraps", 1, 8, nullptr, 1, 255, "  2.55"},
              {"a digit starts the editor", 5, '7', nullptr, 0, 5, "7", erStartEdit},
          });
    // A negative value keeps its sign, also below 1.
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditScaledValue(c, v, 3, 4, -99.975, 99.975, 25, false, true, r); },
          {
              {"minus a half", -500, 0, nullptr, 0, -500, " -0.5000"},
              {"minus one and a half", -1500, 0, nullptr, 0, -1500, " -1.5000"},
              {"typed negative, truncated to the step", 0, 0, "-0.51", 1, -500, " -0.5000"},
              {"Enter blanks the editor", 5, 13, nullptr, 0, 5, "", erStartEdit},
              {"Space edits when steps are off", 5, ' ', nullptr, 0, 5, "", erStartEdit},
          });
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditDecimal(c, v, 3, 3, 0, 100, 1, true, 4, false, r); },
          {
              {"trailing zeros trimmed", 1500, 0, nullptr, 0, 1500, "  1.5"},
              {"the point goes with them", 1000, 0, nullptr, 0, 1000, "  1"},
              {"no more than asked", 1230, 0, nullptr, 0, 1230, "  1.23"},
          });
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule c(cell.get());
    c.cap.Key = '.';
    int value = 123;
    CellExecResult result = erNothing;
    EditScaledValue(&c.cap, value, 2, 2, 0, 100, 1, true, false, result);
    EXPECT_EQ(result, erStartEdit);
    EXPECT_EQ(c.cap.Text, "  1.23");
    EXPECT_EQ(c.cap.SelStart, 4);
}

TEST_F(Handlers, Durations)
{
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditTime(c, v, 10, 0, 255, TimerOffShown, 0, r); },
          {
              {"off while drawn", 0, 0, nullptr, 0, 0, "Off"},
              {"a number once a key is given", 0, 13, nullptr, 0, 0, "  0.000", erStartEdit},
              {"typed of", 40, 0, "of", 1, 0, "Off"},
              {"typed OFF among digits", 40, 0, " OFF ", 1, 0, "Off"},
              {"typed seconds", 0, 0, "1.25", 1, 12, "  1.200"},
              {"typed above the range", 0, 0, "99", 1, 255, " 25.500"},
              {"Space reaches the top", 254, ' ', nullptr, 1, 255, " 25.500"},
              {"Space wraps", 255, ' ', nullptr, 1, 0, "  0.000"},
              {"'o' starts the editor", 5, 'o', nullptr, 0, 5, "o", erStartEdit},
          });
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditTime(c, v, 1000, 0, 60000, 0, 3, r); },
          {{"trimmed", 2500, 0, nullptr, 0, 2500, "  2.5"}});
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditMinSec(c, v, 0, 3600, 10, TimerOffShown, r); },
          {
              {"minutes and seconds", 13, 0, nullptr, 0, 13, " 2:10"},
              {"half a step goes up", 0, 0, "2:15", 1, 14, " 2:20"},
              {"less than half stays", 0, 0, "2:14", 1, 13, " 2:10"},
              {"minutes alone", 0, 0, "3", 1, 18, " 3:00"},
              {"seconds alone", 0, 0, ":40", 1, 4, " 0:40"},
              {"too long", 7, 0, "1234567", 0, 7, " 1:10"},
              {"off while drawn", 0, 0, nullptr, 0, 0, "Off"},
              {"Backspace wraps", 0, 8, nullptr, 1, 360, "60:00"},
              {"Space reaches the top", 359, ' ', nullptr, 1, 360, "60:00"},
              {"Space past the top wraps", 360, ' ', nullptr, 1, 0, " 0:00"},
          });
    uint8_t byte = 250;
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule c(cell.get());
    c.cap.Key = ' ';
    CellExecResult result = erNothing;
    EXPECT_EQ(EditTimeByteEx(&c.cap, byte, 10, 0, 250, 0, result), 1);
    EXPECT_EQ(byte, 0);
}

TEST_F(Handlers, HexadecimalDigits)
{
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditHexNumber(c, v, 0, 0xFFEF, 4, r); },
          {
              {"four digits", 0x1A, 0, nullptr, 0, 0x1A, "001A"},
              {"typed", 0, 0, " ff ", 1, 0xFF, "00FF"},
              {"typed above the range", 0, 0, "FFFFF", 1, 0xFFEF, "FFEF"},
              {"one character more is read", 1, 0, "123456", 1, 0xFFEF, "FFEF"},
              {"not hexadecimal", 1, 0, "12G", 0, 1, "0001"},
              // Hexadecimal values are never stepped.
              {"Space edits", 0x1A, ' ', nullptr, 0, 0x1A, "001A", erStartEdit},
              {"Backspace edits", 0x1A, 8, nullptr, 0, 0x1A, "001A", erStartEdit},
              {"a letter starts the editor", 0x1A, 'c', nullptr, 0, 0x1A, "c", erStartEdit},
          });
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditHexDigit(c, v, false, r); },
          {
              {"a digit", 11, 0, nullptr, 0, 11, "B"},
              {"typed", 3, 0, "e", 1, 14, "E"},
              {"F not allowed", 3, 0, "F", 1, 3, "3"},
              {"F not typed either", 3, 'F', nullptr, 0, 3, "3"},
              {"no digit", 16, 0, nullptr, 0, 16, ""},
          });
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditHexDigits(c, v, 4, true, r); },
          {{"typed short", 0, 0, "1a", 1, 0x1A, "001A"}, {"typed long", 0, 0, "12345", 1, 0x1234, "1234"}});
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditHexDigits(c, v, 4, false, r); },
          {{"letters dropped", 0, 0, "1a2", 1, 0x12, "0012"}});
    int digits[3] = {1, 2, 3};
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule c(cell.get());
    c.Edit("9");
    CellExecResult result = erNothing;
    EXPECT_EQ(EditDigitString(&c.cap, digits, 3, false, result), 1);
    EXPECT_EQ(c.cap.Text, "009");
    Capsule letter(cell.get());
    letter.cap.Key = 'a';
    EditDigitString(&letter.cap, digits, 3, false, result);
    EXPECT_EQ(letter.cap.Text, "009");  // letters do not start the editor
}

TEST_F(Handlers, BitFields)
{
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditBitField(c, v, 1, 9, 0, "", r); },
          {
              {"empty", 0, 0, nullptr, 0, 0, "_________\n"},
              {"1 toggles the first item", 0, '1', nullptr, 1, 0x100, "1________\n"},
              {"Space sets all when none is set", 0, ' ', nullptr, 1, 0x1FF, "123456789\n"},
              {"Space clears all when any is set", 0x10, ' ', nullptr, 1, 0, "_________\n"},
              {"Backspace inverts", 0x0F0, 8, nullptr, 1, 0x10F, "1____6789\n"},
              {"a digit outside the items", 0, '0', nullptr, 0, 0, "_________\n"},
          });
    // Eight items or fewer sit at the top of a byte.
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditBitField(c, v, 1, 4, 0, "", r); },
          {{"4 toggles bit 4", 0, '4', nullptr, 1, 0x10, "___4\n"}, {"Space", 0, ' ', nullptr, 1, 0xF0, "1234\n"}});
    // Letters: items from 10 on.
    Check([](cmcCellCapsule* c, int& v, CellExecResult& r) { return EditBitField(c, v, 1, 18, BitsAsLetters, "", r); },
          {
              {"a digit", 0, '9', nullptr, 1, 1 << 9, "________9_________\n"},
              {"a letter", 0, 'b', nullptr, 1, 1 << 7, "__________B_______\n"},
              {"Z", 0, 'z', nullptr, 1, 1 << 1, "________________Z_\n"},
          });
    // The bit editor exchanges a mask with item i at bit 25 - i.
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    Capsule c(cell.get(), false);
    c.cap.Key = 13;
    int value = 0x101;
    CellExecResult result = erNothing;
    EditBitField(&c.cap, value, 1, 9, 0, "GI_Sheet_Own_Bits", result);
    EXPECT_EQ(result, erPopupOpened);
    ASSERT_FALSE(world.popups.calls.empty());
    const PopupCall& bits = world.popups.calls.back();
    EXPECT_EQ(bits.mask, (1u << 25) | (1u << 17));
    EXPECT_EQ(bits.first, 1);
    EXPECT_EQ(bits.last, 9);
    EXPECT_EQ(bits.size, 1);
    EXPECT_EQ(bits.key, "GI_Sheet_Own_Bits");
    Capsule committed(cell.get());
    committed.cap.Phase = cpPicked;
    committed.cap.EditText = std::to_string((1u << 24) | (1u << 23));
    EXPECT_EQ(EditBitField(&committed.cap, value, 1, 9, 0, "", result), 1);
    EXPECT_EQ(value, 0x0C0);
}

TEST_F(Handlers, PlainTextsAndPasswords)
{
    auto cell = MakeCell(CT_Null, CL_Comm_Tactical);
    CellExecResult result = erNothing;
    char text[8] = {'A', 'B', ' ', 'C', ' ', ' ', ' ', ' '};
    Capsule show(cell.get());
    EXPECT_EQ(EditPlainText(&show.cap, text, 8, result), 0);
    EXPECT_EQ(show.cap.Text, "AB C");
    Capsule typed(cell.get());
    typed.Edit("Hi\tthere, long");
    EXPECT_EQ(EditPlainText(&typed.cap, text, 8, result), 1);
    EXPECT_EQ(std::string(text, 8), "Hi there");
    Capsule space(cell.get());
    space.cap.Key = ' ';
    EditPlainText(&space.cap, text, 8, result);
    EXPECT_EQ(result, erStartEdit);
    EXPECT_EQ(space.cap.Text, "Hi there");

    char password[8];
    Capsule pw(cell.get());
    pw.Edit("abC d");
    EXPECT_EQ(EditPassword(&pw.cap, password, 8, result), 1);
    EXPECT_EQ(std::string(password, 8), std::string("abc\0d\0\0\0", 8));
    EXPECT_EQ(pw.cap.Text, "abc");
}

TEST_F(Handlers, SharedOperations)
{
    int v = 5;
    EXPECT_EQ(ClampToRange(1, 4, v), 1);
    EXPECT_EQ(v, 4);
    EXPECT_EQ(ClampToRange(1, 4, v), 0);
    EXPECT_EQ(ParseDecimal("2.5"), 3);
    EXPECT_EQ(ParseDecimal("-2.5"), -3);
    EXPECT_EQ(ParseDecimal("a1b2"), 12);
    EXPECT_EQ(ParseDecimal("1234567891234"), 123456789);
    EXPECT_EQ(ParseDecimal("--"), 0);
    EXPECT_EQ(StripToDigitsAnd("a1.-2b", "."), "1.2");

    TestImage image(world.Image());
    const char name[12] = {'R', 'e', 'p', 0x01, 'A', 0, 'X', 'X', 'X', 'X', 'X', 'X'};
    for (int i = 0; i < 12; ++i) image.Byte(177448 + 12 * 3 + i, name[i]);
    EXPECT_EQ(FormatBankName(world.Image(), 3), "4: Rep*A");
    EXPECT_EQ(FormatBankName(world.Image(), 0), "1: ");

    char bytes[5] = {'a', 0x7F, 'b', 0x10, 0};
    MaskNonPrintable(bytes, 4);
    EXPECT_STREQ(bytes, "a*b*");
    EXPECT_TRUE(IsAllBlank("   ", 3));
    EXPECT_FALSE(IsAllBlank("  x", 3));

    EXPECT_EQ(MchKindOfModelType(1), 2);
    EXPECT_EQ(MchKindOfModelType(0), 1);
    EXPECT_EQ(MchKindOfModelType(7), 1);
    EXPECT_TRUE(IsLmrModel());
    world.Environ().ModelType = 1;
    EXPECT_TRUE(IsPmrModel());
    world.Environ().ModelType = 0;

    // The 7-column character set: the printing decides, then the open
    // sheet, then the view type.
    EXPECT_TRUE(UsesCEditCharSet());
    world.Environ().ViewType = 1;
    EXPECT_FALSE(UsesCEditCharSet());
    world.Main().SetCurrentSheet(reinterpret_cast<cuiSheet*>(&world), "GI_Sheet_Common_CEdit");
    EXPECT_TRUE(UsesCEditCharSet());
    world.Main().SetCharSetPrintOverride(2);
    EXPECT_FALSE(UsesCEditCharSet());

    image.BankCounts({3, 2}).Channel(0, 146000000).Channel(2, 147000000).Channel(3, 148000000);
    EXPECT_EQ(CountActiveChannels(), 3);
    EXPECT_EQ(CountActiveChannelsIn(1, 2), 1);
    EXPECT_EQ(CountActiveChannelsIn(2, 1), -1);
    EXPECT_EQ(CountActiveChannelsIn(0, 512), -1);
}

TEST(Confirmation, AsksWithTheOverlaysText)
{
    CellWorld world({"#GI_AppMess_Conv_Clear", "Clear the selected rows?", "They go back to their defaults.", "#"});
    plat::ScopedDialogScript script;
    script.Answer(plat::IDCANCEL);
    EXPECT_EQ(ConfirmOkCancel("GI_AppMess_Conv_Clear"), plat::IDCANCEL);
    ASSERT_EQ(script.Boxes().size(), 1u);
    EXPECT_EQ(script.Boxes()[0].text, "Clear the selected rows?\nThey go back to their defaults.");
    EXPECT_EQ(script.Boxes()[0].caption, "Radio Programmer");
    EXPECT_EQ(script.Boxes()[0].Buttons(), plat::MB_OKCANCEL);
    EXPECT_EQ(script.Boxes()[0].Icon(), plat::MB_ICONWARNING);
}

}  // namespace
