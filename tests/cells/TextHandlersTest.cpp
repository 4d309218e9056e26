// Escaped texts, LCD texts drawn as dots, user characters and the read/write
// password cell.
#include "cells/LcdGlyphs.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/cmcCellObj.h"
#include "platform/base/Canvas.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace celltest;

namespace {

// A canvas that keeps what was drawn on it, each fill and frame with the
// brush colour it was drawn in.
class RecordingCanvas : public plat::Canvas {
public:
    RecordingCanvas() : plat::Canvas(96) {}
    plat::Size TextExtent(std::string_view text) override { return {int(text.size()) * 6, 12}; }

    struct Drawn {
        plat::Rect rect;
        plat::Color color;
    };
    std::vector<Drawn> fills;
    std::vector<Drawn> frames;

    // The smallest rectangle around the fills of one colour.
    plat::Rect Bounds(plat::Color color) const
    {
        plat::Rect b{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
        for (const Drawn& d : fills)
            if (d.color == color) {
                b.left = std::min(b.left, d.rect.left);
                b.top = std::min(b.top, d.rect.top);
                b.right = std::max(b.right, d.rect.right);
                b.bottom = std::max(b.bottom, d.rect.bottom);
            }
        return b;
    }
    int Count(plat::Color color) const
    {
        return int(std::count_if(fills.begin(), fills.end(), [color](const Drawn& d) { return d.color == color; }));
    }

protected:
    void DoFillRect(const plat::Rect& r) override { fills.push_back({r, GetBrush().color}); }
    void DoFrameRect(const plat::Rect& r) override { frames.push_back({r, GetBrush().color}); }
};

constexpr plat::Color kDots = 0x123456;
constexpr plat::Color kOlive = 0x008080;
constexpr int kLayoutByte = 175682;

TEST(CellText, EscapingKeepsEveryCharacterCodeEditable)
{
    EXPECT_EQ(EscapeCellText(std::string("A\x10%\xE9\x05" "B", 6)), "A%10%%%E9");
    EXPECT_EQ(UnescapeCellText("%41%05x"), std::string("A%05x"));
    EXPECT_EQ(UnescapeCellText("50%%"), "50%");
    EXPECT_EQ(UnescapeCellText("%1F%"), std::string("\x1F%"));
    EXPECT_EQ(UnescapeCellText("a\tb"), "a b");
    EXPECT_EQ(UnescapeCellText(EscapeCellText("x\x1F\x7F\xFFy")), "x\x1F\x7F\xFFy");
    EXPECT_EQ(EscapeCellText(std::string(300, 'a')).size(), 255u);
    EXPECT_TRUE(IsTextChar(200) && !IsTextChar(31) && IsUserCharCode(31) && !IsEscapedCharCode(126));

    cmcPackedBcd nibbles;
    for (int v : {1, 2, 14, 15, 9}) nibbles.AppendNibble(v);
    uint8_t bytes[3] = {0, 0, 0x0F};
    WriteNibbles(nibbles, bytes);
    EXPECT_EQ(bytes[0], 0x12);
    EXPECT_EQ(bytes[1], 0xEF);
    EXPECT_EQ(bytes[2], 0x9F);
}

TEST(CellText, BuiltInGlyphsHoldTheDesignInEachForm)
{
    // 'T': the top row full, then the middle column.
    const uint8_t* narrow = NarrowGlyph('T');
    for (int c = 0; c < 5; ++c) EXPECT_EQ(narrow[c] & 1, 1) << c;       // 5 x 8: top row in bit 0
    EXPECT_EQ(narrow[2], 0x7F);                                           // the stem, rows 0-6
    EXPECT_EQ(narrow[6 + 2 * 3] & 0x06, 0x06);                            // 5 x 17: row 0 doubled at rows 1, 2
    const uint8_t* wide = WideGlyph('T');
    EXPECT_EQ(wide[0], 0);                                                // column 0 is a margin
    EXPECT_EQ(wide[3] & 0x30, 0x30);                                      // 7 x 19: column 1, rows 2 and 3
    EXPECT_EQ(wide[21 + 3 * 4] & 0x3C, 0x3C);                             // 7 x 32: column 3, rows 2 to 5
    EXPECT_TRUE(std::all_of(NarrowGlyph(' '), NarrowGlyph(' ') + NarrowGlyphBytes, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(NarrowGlyph(5), NarrowGlyph(' '));
    EXPECT_NE(NarrowGlyph(200)[0], 0);  // codes without a picture show a box
}

struct LcdTexts : ::testing::Test {
    CellWorld world;
    std::unique_ptr<cmcCellObj> cell = MakeCell(CT_Null, CL_Comm_Tactical);
    CellExecResult result = erNothing;
    plat::Rect rect{100, 50, 100 + 400, 50 + 40};

    void Draw(Capsule& c, RecordingCanvas& canvas)
    {
        canvas.GetFont().color = kDots;
        c.cap.Canvas = &canvas;
        c.cap.CellRect = &rect;
    }
};

TEST_F(LcdTexts, TypedTextIsUnescapedAndFilled)
{
    char bytes[8];
    std::fill(bytes, bytes + 8, 'x');
    Capsule c(cell.get());
    c.Edit("%41B%10");
    EXPECT_EQ(EditLcdText(&c.cap, bytes, 8, false, result), 1);
    EXPECT_EQ(std::string(bytes, 8), std::string("AB\x10     "));
    EXPECT_EQ(c.cap.Text, std::string("AB\x10"));
    EXPECT_EQ(EditLcdText(&c.cap, bytes, 8, true, result), 1);
    EXPECT_EQ(std::string(bytes, 8), std::string("AB\x10\0\0\0\0\0", 8));

    Capsule enter(cell.get());
    enter.cap.Key = 8;  // acts as Enter
    EditLcdText(&enter.cap, bytes, 8, true, result);
    EXPECT_EQ(result, erPopupOpened);
    EXPECT_EQ(world.popups.calls.back().what, "text");
    EXPECT_EQ(world.popups.calls.back().bytes, std::string("AB\x10"));
    EXPECT_TRUE(world.popups.calls.back().selectAll);
    EXPECT_EQ(world.popups.calls.back().size, 8);
    Capsule typed(cell.get());
    typed.cap.Key = 'q';
    EditLcdText(&typed.cap, bytes, 8, true, result);
    EXPECT_EQ(world.popups.calls.back().bytes, "q");
    EXPECT_FALSE(world.popups.calls.back().selectAll);
}

TEST_F(LcdTexts, DrawnAsDotsInOneOrTwoLines)
{
    char bytes[24];
    std::fill(bytes, bytes + 24, 'I');
    // 5 x 8 characters in the two-line layout: 24 characters in two lines.
    world.Environ().ViewType = 1;
    world.Image().SetByte(kLayoutByte, 0x04);
    {
        RecordingCanvas canvas;
        Capsule c(cell.get(), false);
        Draw(c, canvas);
        EditLcdText(&c.cap, bytes, 24, false, result);
        EXPECT_EQ(c.cap.Text, "");  // nothing is written over the dots
        // Line height (40 - 4) / 2 = 18, cut to 16; width 398 / 12 = 33, cut
        // to 30, then limited to 5 x 16 / 8 = 10.
        const plat::Rect b = canvas.Bounds(kDots);
        EXPECT_EQ(b.left, 100 + 1 + 2);                     // the 'I' leaves its column 0 blank
        EXPECT_EQ(b.top, 50 + (18 - 16) / 2 + 1);
        EXPECT_EQ(b.bottom, 50 + 2 + 18 + 1 + 14);           // line 1: 7 rows of 2 pixels
        EXPECT_EQ(canvas.Count(kOlive), 0);
    }
    // The one-line layout shows only the first 12 characters.
    world.Image().SetByte(kLayoutByte, 0x00);
    {
        RecordingCanvas canvas;
        Capsule c(cell.get(), false);
        Draw(c, canvas);
        EditLcdText(&c.cap, bytes, 24, false, result);
        const plat::Rect b = canvas.Bounds(kDots);
        EXPECT_LT(b.bottom, 50 + 40);
        const int width = std::min((400 - 2) / 12 / 5 * 5, 5 * 38 / 17);
        EXPECT_LE(b.right, 100 + 1 + 12 * (width + 1));
    }
    // The portable set's 7 x 32 characters in a sheet row 20 pixels high:
    // square dots would leave a character 3 pixels wide; each dot column
    // keeps a pixel, so an 'M' is 5 pixels wide and 15 high, and the next
    // character starts 8 pixels on.
    world.Environ().ViewType = 0;
    world.Image().SetByte(kLayoutByte, 0x00);
    {
        rect = {100, 50, 260, 70};
        RecordingCanvas canvas;
        Capsule c(cell.get(), false);
        Draw(c, canvas);
        DrawLcdText(&c.cap, "MM", 12, 12, 1, false);
        const plat::Rect b = canvas.Bounds(kDots);
        EXPECT_EQ(b.left, 100 + 1 + 1);
        EXPECT_EQ(b.right, 100 + 1 + 8 + 6);
        EXPECT_EQ(b.top, 50 + 1 + 2 * 18 / 32);
        EXPECT_EQ(b.bottom, 50 + 1 + 30 * 18 / 32);
        rect = {100, 50, 100 + 400, 50 + 40};
    }
    // Unused positions of the two-line layout are olive; a printer draws black.
    world.Image().SetByte(kLayoutByte, 0x04);
    {
        RecordingCanvas canvas;
        Capsule c(cell.get(), false);
        Draw(c, canvas);
        c.cap.Printing = true;
        DrawLcdText(&c.cap, "AB", 14, 12, 2, false);
        EXPECT_EQ(canvas.Count(kOlive), 10);
        EXPECT_EQ(canvas.Count(kDots), 0);
        EXPECT_GT(canvas.Count(plat::clBlack), 0);
    }
}

TEST_F(LcdTexts, UserCharactersAreDrawnAndEditedDotByDot)
{
    // A 7 x 19 user character in a 70 x 40 cell: a 14 x 38 box, 2 x 2 dots,
    // 1 pixel from the cell's corner, framed in grey.
    world.Image().SetByte(kLayoutByte, 0x04);
    rect = {10, 20, 80, 60};
    auto userCell = MakeCell(CT_CEdit, CL_Null, 3);
    Capsule commit(userCell.get());
    commit.cap.Phase = cpPicked;
    std::string dots(7 * 19, '0');
    dots[0] = '1';               // column 0, row 0
    dots[18 * 7 + 6] = '1';      // column 6, row 18
    commit.cap.EditText = dots;
    EXPECT_EQ(EditUserChar(&commit.cap, result), 1);
    const datCh record = TestImage(world.Image()).Read(3, 3);
    EXPECT_EQ(record.CharBitmap[0], 0x80);
    EXPECT_EQ(record.CharBitmap[6 * 3 + 2], 0x20);

    RecordingCanvas canvas;
    Capsule draw(userCell.get(), false);
    Draw(draw, canvas);
    EditUserChar(&draw.cap, result);
    ASSERT_EQ(canvas.Count(kDots), 2);
    EXPECT_EQ(canvas.fills[0].rect, (plat::Rect{11, 21, 13, 23}));
    EXPECT_EQ(canvas.fills[1].rect, (plat::Rect{11 + 12, 21 + 36, 11 + 14, 21 + 38}));
    ASSERT_EQ(canvas.frames.size(), 1u);
    EXPECT_EQ(canvas.frames[0].rect, (plat::Rect{10, 20, 11 + 14 + 1, 21 + 38 + 1}));
    EXPECT_EQ(canvas.frames[0].color, 0x808080u);

    world.Environ().FontSizePercentage = 150;
    Capsule enter(userCell.get());
    enter.cap.Key = 13;
    EditUserChar(&enter.cap, result);
    EXPECT_EQ(result, erPopupOpened);
    const PopupCall& editor = world.popups.calls.back();
    EXPECT_EQ(editor.what, "char");
    EXPECT_EQ(editor.size, 21);
    EXPECT_EQ(editor.across, 7);
    EXPECT_EQ(editor.down, 19);
    EXPECT_EQ(editor.bytes, dots);

    // The 5-column set in the one-line layout: 5 x 17 dots, the top row in
    // the low bit of each column's first byte.
    world.Environ().ViewType = 1;
    world.Image().SetByte(kLayoutByte, 0x00);
    std::string narrow(5 * 17, '0');
    narrow[16 * 5 + 4] = '1';  // column 4, row 16
    commit.cap.EditText = narrow;
    EXPECT_EQ(EditUserChar(&commit.cap, result), 1);
    const datCh mob = TestImage(world.Image()).Read(4, 3);
    EXPECT_EQ(mob.CharBitmapMob[6 + 4 * 3 + 2], 0x01);
    EXPECT_EQ(TestImage(world.Image()).Read(3, 3).CharBitmap[0], 0x80);  // the other set is untouched
}

TEST_F(LcdTexts, PasswordComesOnlyFromItsDialog)
{
    const uint8_t current[8] = {'o', 'l', 'd', 0, 0, 0, 0, 0};
    uint8_t chosen[8];
    Capsule c(cell.get());
    c.cap.Key = 'x';
    world.popups.password = "newpass";
    EXPECT_EQ(EditClonePasswordCell(&c.cap, current, 8, chosen), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(chosen), 8), std::string("newpass\0", 8));
    EXPECT_EQ(world.popups.calls.back().bytes, "old");
    EXPECT_EQ(c.cap.Text, "");

    world.popups.password.reset();
    c.cap.Key = 8;
    EXPECT_EQ(EditClonePasswordCell(&c.cap, current, 8, chosen), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(chosen), 3), "old");

    // An edited text or a pick never stores anything.
    const size_t asked = world.popups.calls.size();
    Capsule typed(cell.get());
    typed.Edit("sneaky");
    std::fill(chosen, chosen + 8, 0xAA);
    EXPECT_EQ(EditClonePasswordCell(&typed.cap, current, 8, chosen), 0);
    EXPECT_EQ(chosen[0], 0xAA);
    EXPECT_EQ(world.popups.calls.size(), asked);
}

}  // namespace
