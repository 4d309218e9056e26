// The user character editor that a user character cell opens: dots drawn
// with the mouse (points off the matrix included), the tool bar's tools and
// clear command, and the bytes that OK stores in the character's record.
#include "core/CellNames.h"
#include "model/datCh.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/ToolBar.h"
#include "tests/sheets/SheetWorld.h"
#include "tests/support/TestSupport.h"
#include "ui/cuiCEdit.h"
#include "ui/cuiToolBar.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace sheets;

namespace {

constexpr int kLayoutByte = 175682; // bit 2: the two-line display layout

// The portable radio characters in the 7 x 19 form, the cursor on user
// character 3 (index 2).
struct CharWorld {
    explicit CharWorld(int layout = 0x04)
    {
        w.Data().Byte(kLayoutByte, layout);
        w.Open<cuiSheet>("GI_Sheet_Common_CEdit", "");
        w.Focus();
        w.sheet->FocusCell(CT_CEdit, CL_CEdit, 2);
        w.world.Main().MarkSaved();
    }
    cuiCEdit& Open()
    {
        plat::SendKey(w.form, plat::VK_RETURN);
        plat::ProcessMessages();
        cuiCEdit* editor = cuiCEdit::Newest();
        EXPECT_NE(editor, nullptr);
        return *editor;
    }
    bool Closed()
    {
        plat::ProcessMessages();
        plat::ProcessMessages();
        return cuiCEdit::Newest() == nullptr;
    }
    // Dot (column, row) of user character 3 as stored: the 7 x 19 form,
    // row r in bit 7 - r % 8 of the column's byte r / 8.
    bool Stored(int column, int row)
    {
        const datCh record = w.Data().Read(3, 2);
        return (record.CharBitmap[column * 3 + row / 8] >> (7 - row % 8)) & 1;
    }
    SheetWorld w;
};

plat::Point Centre(const cuiCEdit& editor, int column, int row)
{
    const plat::Rect r = editor.DotRect(column, row);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A drag on the matrix from one dot to another (points may lie off it).
void Drag(cuiCEdit& editor, plat::Point from, plat::Point to, plat::MouseButton button = plat::mbLeft)
{
    plat::PaintBox& matrix = *editor.Matrix();
    plat::SendMouse(matrix, plat::MouseAction::Down, from.x, from.y, button);
    plat::SendMouse(matrix, plat::MouseAction::Move, (from.x + to.x) / 2, (from.y + to.y) / 2, button);
    plat::SendMouse(matrix, plat::MouseAction::Move, to.x, to.y, button);
    plat::SendMouse(matrix, plat::MouseAction::Up, to.x, to.y, button);
}

bool Shown(const cuiCEdit& editor, int column, int row) { return editor.ShownDots()[size_t(column + row * 7)] != 0; }

int ShownCount(const cuiCEdit& editor)
{
    int n = 0;
    for (uint8_t d : editor.ShownDots()) n += d;
    return n;
}

// The tool bar button with the picture.
plat::ToolButton& ToolButton(cuiCEdit& editor, int image)
{
    plat::ToolBar& bar = *editor.Tools()->Bar();
    for (int i = 0; i < bar.ButtonCount(); ++i)
        if (bar.Buttons(i)->Style() != plat::tbsSeparator && bar.Buttons(i)->ImageIndex() == image) return *bar.Buttons(i);
    ADD_FAILURE() << "no button " << image;
    return *bar.Buttons(0);
}

} // namespace

TEST(CharEditor, PointsOffTheMatrixAreOutsideItOnEverySide)
{
    CharWorld c;
    cuiCEdit& editor = c.Open();
    // Dots of 14 pixels with a 1-pixel gap, the first at (2, 2).
    struct Case {
        int x, y;
        bool outside;
        int column, row;
    };
    const Case cases[] = {
        {2, 2, false, 0, 0},   {16, 16, false, 0, 0}, {17, 2, false, 1, 0}, {1, 10, true, -1, 0},
        {10, 1, true, 0, -1},  {-14, 10, true, -2, 0}, {106, 271, false, 6, 17}, {107, 10, true, 7, 0},
        {10, 287, true, 0, 19},
    };
    for (const Case& k : cases) {
        int column = 0, row = 0;
        EXPECT_EQ(editor.DotAtPoint(k.x, k.y, column, row), k.outside) << k.x << "," << k.y;
        EXPECT_EQ(column, k.column) << k.x << "," << k.y;
        EXPECT_EQ(row, k.row) << k.x << "," << k.y;
    }
    // A press just left of the first column or above the first row draws
    // nothing.
    Drag(editor, {1, 10}, {1, 10});
    Drag(editor, {10, 1}, {10, 1});
    EXPECT_EQ(ShownCount(editor), 0);
    editor.CancelButton()->Click();
    EXPECT_TRUE(c.Closed());
}

TEST(CharEditor, DrawnDotsGoIntoTheCharactersRecord)
{
    CharWorld c;
    plat::Form& main = c.w.form;
    cuiCEdit& editor = c.Open();
    EXPECT_FALSE(main.Enabled());
    EXPECT_TRUE(editor.Window()->Visible());
    EXPECT_EQ(editor.Window()->Caption(), "User Character");
    EXPECT_TRUE(ToolButton(editor, cuiCEdit::ImagePen).Down());

    // The pen: a left drag sets the dots it passes, a right click clears.
    Drag(editor, Centre(editor, 1, 1), Centre(editor, 1, 5));
    EXPECT_TRUE(Shown(editor, 1, 1) && Shown(editor, 1, 3) && Shown(editor, 1, 5));
    Drag(editor, Centre(editor, 1, 3), Centre(editor, 1, 3), plat::mbRight);
    EXPECT_FALSE(Shown(editor, 1, 3));
    EXPECT_EQ(ShownCount(editor), 2);

    // The rectangle, dragged past the lower right corner, stops at the last
    // column and row.
    ToolButton(editor, cuiCEdit::ImageRectangle).Click();
    EXPECT_FALSE(ToolButton(editor, cuiCEdit::ImagePen).Down());
    Drag(editor, Centre(editor, 4, 15), {400, 500});
    EXPECT_EQ(ShownCount(editor), 2 + 3 * 4);
    EXPECT_TRUE(Shown(editor, 6, 18));
    // With the right button it clears.
    Drag(editor, Centre(editor, 5, 16), Centre(editor, 6, 18), plat::mbRight);
    EXPECT_EQ(ShownCount(editor), 2 + 3 * 4 - 2 * 3);

    // The shift tool moves the pattern one dot right: the rightmost column
    // comes back on the left.
    ToolButton(editor, cuiCEdit::ImageShift).Click();
    const std::vector<uint8_t> before = editor.ShownDots();
    Drag(editor, Centre(editor, 3, 3), Centre(editor, 4, 3));
    for (int row = 0; row < 19; ++row)
        for (int column = 0; column < 7; ++column)
            EXPECT_EQ(editor.ShownDots()[size_t(column + row * 7)], before[size_t((column + 6) % 7 + row * 7)])
                << column << "," << row;
    EXPECT_TRUE(Shown(editor, 0, 15));

    const std::filesystem::path dir = qmtest::OutputDir();
    plat::ProcessMessages();
    ASSERT_TRUE(plat::SavePng(*editor.Window(), (dir / "character-editor.png").string()));

    const std::vector<uint8_t> drawn = editor.ShownDots();
    editor.OkButton()->Click();
    EXPECT_TRUE(c.Closed());
    EXPECT_TRUE(main.Enabled());
    for (int row = 0; row < 19; ++row)
        for (int column = 0; column < 7; ++column)
            EXPECT_EQ(c.Stored(column, row), drawn[size_t(column + row * 7)] != 0) << column << "," << row;
    EXPECT_TRUE(c.w.world.Main().IsModified());

    // Opened again, the editor shows what was stored.
    cuiCEdit& again = c.Open();
    EXPECT_EQ(again.ShownDots(), drawn);
    again.CancelButton()->Click();
    EXPECT_TRUE(c.Closed());
}

TEST(CharEditor, ClearAsksFirstAndCancelKeepsTheCharacter)
{
    CharWorld c;
    cuiCEdit& editor = c.Open();
    Drag(editor, Centre(editor, 2, 2), Centre(editor, 2, 2));
    editor.OkButton()->Click();
    EXPECT_TRUE(c.Closed());
    ASSERT_TRUE(c.Stored(2, 2));

    cuiCEdit& again = c.Open();
    plat::ScopedDialogScript dialogs;
    // Refused: the dots stay; the clear command does not stay pressed.
    dialogs.Answer(plat::IDCANCEL);
    ToolButton(again, cuiCEdit::ImageClear).Click();
    EXPECT_EQ(ShownCount(again), 1);
    EXPECT_FALSE(ToolButton(again, cuiCEdit::ImageClear).Down());
    EXPECT_TRUE(ToolButton(again, cuiCEdit::ImagePen).Down());
    dialogs.Answer(plat::IDOK);
    ToolButton(again, cuiCEdit::ImageClear).Click();
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    EXPECT_EQ(ShownCount(again), 0);
    // Cancel forgets the clearing.
    again.CancelButton()->Click();
    EXPECT_TRUE(c.Closed());
    EXPECT_TRUE(c.Stored(2, 2));

    // Cleared and confirmed with OK: every dot comes back clear.
    cuiCEdit& third = c.Open();
    dialogs.Answer(plat::IDOK);
    ToolButton(third, cuiCEdit::ImageClear).Click();
    third.OkButton()->Click();
    EXPECT_TRUE(c.Closed());
    EXPECT_FALSE(c.Stored(2, 2));
}

TEST(CharEditor, DotsTheDisplayLeavesOutAreMarked)
{
    // The mobile radio characters: 5 x 17 with the layout flag clear.
    CharWorld c(0x00);
    c.w.world.Environ().ViewType = 1;
    c.w.Open<cuiSheet>("GI_Sheet_Common_CEdit_Mob", "");
    c.w.Focus();
    c.w.sheet->FocusCell(CT_CEdit_Mob, CL_CEdit_Mob, 0);
    cuiCEdit& editor = c.Open();
    EXPECT_EQ(editor.ShownDots().size(), 5u * 17u);
    for (int row = 0; row < 17; ++row)
        EXPECT_EQ(editor.OutsideDisplay(2, row), row <= 1 || row >= 14) << row;
    editor.CancelButton()->Click();
    EXPECT_TRUE(c.Closed());
}
