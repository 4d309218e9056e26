// The free-text editor that a name cell opens: the typed text goes through
// the real editor into the image, characters the keyboard cannot type come
// from its character table, and characters the radio cannot show never
// reach the image.
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "model/datCh.h"
#include "model/iuiSh_ChBank.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/sheets/SheetWorld.h"
#include "tests/support/TestSupport.h"
#include "ui/cuiFText.h"
#include "ui/cuiGrid.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstring>
#include <filesystem>

using namespace sheets;

namespace {

constexpr int HeaderRows = 5;

// A bank of two named channels, the cursor on the name of the first.
struct NameWorld {
    NameWorld()
    {
        w.Data()
            .BankCounts({2})
            .Channel(0, 146000000)
            .Channel(1, 146025000)
            .Item(1, 0, [](datCh& r) { std::memcpy(r.Text, "GATE        ", 12); });
        w.Pack();
        w.OpenBank(0);
        w.Focus();
        w.sheet->FocusCell(CT_Mch, CL_Mch_Text, 0);
        w.world.Main().MarkSaved();
    }
    // A key on the name cell: the editor opens.
    cuiFText& Open(int key = plat::VK_RETURN)
    {
        if (key == plat::VK_RETURN)
            plat::SendKey(w.form, key);
        else
            plat::TypeText(w.form, std::string(1, char(key)));
        plat::ProcessMessages();
        cuiFText* editor = cuiFText::Newest();
        EXPECT_NE(editor, nullptr);
        return *editor;
    }
    std::string Name() { return std::string(w.Data().Read(1, 0).Text, 12); }
    std::string Shown() { return w.Text(w.Grid().Col(), HeaderRows); }
    bool Closed()
    {
        plat::ProcessMessages();
        plat::ProcessMessages();
        return cuiFText::Newest() == nullptr;
    }
    // Selects the character table's cell of a code.
    static void PickInTable(cuiFText& editor, int code)
    {
        cuiSheet& table = *editor.Sheet();
        for (int row = 0; row < table.Grid()->RowCount(); ++row)
            for (int col = 0; col < table.Grid()->ColCount(); ++col)
                if (table.CellAt(col, row).Label == Flex0 && table.CellAt(col, row).Index == code) {
                    table.SelectCell(col, row);
                    table.Grid()->SetFocus();
                    return;
                }
        ADD_FAILURE() << "no cell for code " << code;
    }
    SheetWorld w;
};

std::string FieldText(cuiFText& editor) { return editor.TextField()->RawText(); }

} // namespace

TEST(TextEditor, ATypedNameGoesIntoTheImageAndShowsInTheCell)
{
    NameWorld n;
    cuiFText& editor = n.Open();
    plat::Form& window = *editor.Window();
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(window.GetBorderStyle(), plat::bsNone);
    // The name, wholly selected: typing replaces it.
    EXPECT_EQ(FieldText(editor), "GATE");
    EXPECT_EQ(editor.TextField()->SelLength(), 4);
    EXPECT_TRUE(editor.TextField()->Focused());
    // Under the cell, as wide as the whole character table.
    const plat::Rect cell = n.w.Grid().GetCellRect(n.w.Grid().Col(), n.w.Grid().Row());
    EXPECT_EQ(window.Top(), n.w.Grid().ClientToScreen({cell.left, cell.bottom}).y);
    const cuiGrid& table = *editor.Sheet()->Grid();
    EXPECT_EQ(table.ClientWidth(), table.GridWidth());
    EXPECT_LT(table.ClientHeight(), table.GridHeight());
    const std::filesystem::path dir = qmtest::OutputDir();
    ASSERT_TRUE(plat::SavePng(window, (dir / "text-editor-opened.png").string()));

    plat::TypeText(window, "Pump 3");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(editor.TextBytes().Data()), 6), "Pump 3");
    plat::SendKey(window, plat::VK_RETURN);
    EXPECT_TRUE(n.Closed());
    EXPECT_EQ(n.Name(), "Pump 3      ");
    EXPECT_EQ(n.Shown(), "Pump 3");
    EXPECT_TRUE(n.w.world.Main().IsModified());
}

TEST(TextEditor, TheCharacterTableInsertsWhatTheKeyboardCannotType)
{
    NameWorld n;
    // A typed letter opens the editor with that letter, the caret after it.
    cuiFText& editor = n.Open('x');
    EXPECT_EQ(FieldText(editor), "x");
    EXPECT_EQ(editor.TextField()->SelStart(), 1);
    plat::Form& window = *editor.Window();

    // User character 0 (code 16) picked with Space, a character of the
    // radio's upper set with a double click: their escaped forms stand in
    // the field.
    NameWorld::PickInTable(editor, 16);
    plat::SendKey(window, plat::VK_SPACE);
    EXPECT_EQ(FieldText(editor), "x%10");
    NameWorld::PickInTable(editor, 0xE9);
    const cuiGrid& grid = *editor.Sheet()->Grid();
    const plat::Rect r = grid.GetCellRect(grid.Col(), grid.Row());
    plat::SendMouse(*editor.Sheet()->Grid(), plat::MouseAction::Down, r.left + 2, r.top + 2);
    plat::SendMouse(*editor.Sheet()->Grid(), plat::MouseAction::Up, r.left + 2, r.top + 2);
    plat::SendMouse(*editor.Sheet()->Grid(), plat::MouseAction::DoubleClick, r.left + 2, r.top + 2);
    plat::SendMouse(*editor.Sheet()->Grid(), plat::MouseAction::Up, r.left + 2, r.top + 2);
    EXPECT_EQ(FieldText(editor), "x%10%E9");
    EXPECT_TRUE(editor.TextField()->Focused());
    // Esc in the table hands the focus back to the field; the editor stays.
    NameWorld::PickInTable(editor, 'A');
    plat::SendKey(window, plat::VK_ESCAPE);
    ASSERT_FALSE(n.Closed());
    EXPECT_TRUE(editor.TextField()->Focused());
    EXPECT_EQ(FieldText(editor), "x%10%E9");
    // A letter typed in the table goes to the field; a picked character
    // replaces the field's selection; '%' is written doubled.
    NameWorld::PickInTable(editor, 'A');
    plat::TypeText(window, "%");
    EXPECT_EQ(FieldText(editor), "x%10%E9%%");
    editor.TextField()->SetSelStart(0);
    editor.TextField()->SetSelLength(1);
    NameWorld::PickInTable(editor, '#');
    plat::SendKey(window, plat::VK_SPACE);
    EXPECT_EQ(FieldText(editor), "#%10%E9%%");
    const std::string bytes(reinterpret_cast<const char*>(editor.TextBytes().Data()), size_t(editor.TextBytes().Length()));
    EXPECT_EQ(bytes, "#\x10\xE9%");

    const std::filesystem::path dir = qmtest::OutputDir();
    ASSERT_TRUE(plat::SavePng(window, (dir / "text-editor.png").string()));

    // Clicking elsewhere commits.
    plat::Form other;
    other.Show();
    EXPECT_TRUE(n.Closed());
    EXPECT_EQ(n.Name(), std::string("#\x10\xE9%        ", 12));
}

TEST(TextEditor, CharactersTheRadioCannotShowNeverReachTheImage)
{
    NameWorld n;
    cuiFText& editor = n.Open();
    plat::Form& window = *editor.Window();
    // Typed: refused.
    plat::TypeText(window, "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(FieldText(editor), "Caf ");
    // Arriving otherwise (pasted, with a line break): one blank for each.
    editor.TextField()->SetSelText("\xC3\xA9\n\xF0\x9F\x93\xBB!");
    EXPECT_EQ(FieldText(editor), "Caf    !");
    EXPECT_EQ(editor.TextField()->SelStart(), 8);
    // An escape of a code that is no character stays plain text.
    editor.TextField()->SetSelText("%05");
    plat::SendKey(window, plat::VK_RETURN);
    EXPECT_TRUE(n.Closed());
    EXPECT_EQ(n.Name(), "Caf    !%05 ");
}

// A '%' typed into the field is a percent sign, whatever follows it; a key
// typed with Alt is no text.
TEST(TextEditor, TypedPercentSignsStayPercentSignsAndAltTypesNothing)
{
    NameWorld n;
    cuiFText& editor = n.Open();
    plat::Form& window = *editor.Window();
    plat::TypeText(window, "Rate 5%41");
    plat::SendKey(window, 'F', plat::ssAlt);
    EXPECT_EQ(FieldText(editor), "Rate 5%%41");
    plat::SendKey(window, plat::VK_RETURN);
    EXPECT_TRUE(n.Closed());
    EXPECT_EQ(n.Name(), "Rate 5%41   ");
}

// The preview shows the text as the radio's display does: with the display
// layout flag set, every character the text may have, in lines of 12; with
// it clear, the first line only.
TEST(TextEditor, ThePreviewShowsTheLinesOfTheDisplayLayout)
{
    NameWorld n;
    constexpr int LayoutByte = 175682; // bit 2
    constexpr int Length = 24;         // two lines of the display
    for (bool flag : {false, true}) {
        SCOPED_TRACE(flag);
        n.w.Data().Byte(LayoutByte, flag ? 0x04 : 0x00);
        const cuiGrid& grid = n.w.Grid();
        plat::Rect rect = grid.GetCellRect(grid.Col(), grid.Row());
        cmcCellCapsule origin;
        origin.Owner = &n.w.Grid();
        origin.Cell = &n.w.sheet->CellAt(grid.Col(), grid.Row());
        origin.CellRect = &rect;
        auto* editor = new cuiFText(origin, &g_GTex, cmcBuff{}, false, Length);
        // The preview of a text, as the window shows it.
        const auto preview = [&](const std::string& text) {
            editor->TextField()->SetRawText(text);
            plat::ProcessMessages();
            return editor->Preview()->Widget()->grab().toImage();
        };
        const QImage oneLine = preview("FIRST LINE  ");
        const QImage twoLines = preview("FIRST LINE  SECOND LINE ");
        EXPECT_EQ(oneLine == twoLines, !flag) << "the second line shows only with the flag";
        editor->CancelButton()->Click();
        ASSERT_TRUE(n.Closed());
    }
}

TEST(TextEditor, EscCancelAndTheClosingOfItsSheetLeaveTheNameAsItWas)
{
    NameWorld n;
    // Esc in the field.
    plat::TypeText(*n.Open().Window(), "X");
    plat::SendKey(*cuiFText::Newest()->Window(), plat::VK_ESCAPE);
    EXPECT_TRUE(n.Closed());
    // Cancel.
    cuiFText& editor = n.Open();
    plat::TypeText(*editor.Window(), "Y");
    editor.CancelButton()->Click();
    EXPECT_TRUE(n.Closed());
    // The sheet that opened it goes.
    plat::TypeText(*n.Open().Window(), "Z");
    n.w.CloseSheet();
    EXPECT_TRUE(n.Closed());
    EXPECT_EQ(n.Name(), "GATE        ");
    EXPECT_FALSE(n.w.world.Main().IsModified());
}

TEST(TextEditor, ThePopUpsCloseEventCommitsOnlyOnce)
{
    NameWorld n;
    cuiFText& editor = n.Open();
    plat::TypeText(*editor.Window(), "Yard");
    g_EvMan->Send(ev::ClosePopups, 0, 0);
    EXPECT_EQ(n.Name(), "Yard        ");
    // Whatever comes before the window is gone commits nothing more.
    n.w.Data().Item(1, 0, [](datCh& r) { std::memcpy(r.Text, "OTHER       ", 12); });
    editor.OkButton()->Click();
    g_EvMan->Send(ev::ClosePopups, 0, 0);
    EXPECT_TRUE(n.Closed());
    EXPECT_EQ(n.Name(), "OTHER       ");
}
