// The menu bar worked from the keyboard while a sheet has the focus: Alt with
// a letter opens its menu on the first press, the Edit menu then lists the
// sheet's row commands, and no key held with Alt (or Ctrl, but for the
// control codes of the letters) reaches a cell as a typed character.
#include "core/CellNames.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdControls.h"
#include "tests/ui/SheetFixture.h"
#include "ui/cuiMenu.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>

#include <string>
#include <vector>

namespace {

using sheettest::Action;
using sheettest::SheetTest;

const std::vector<std::string> Cells{
    "{WH}A|{WH}B",
    "{WHS(%CL_Mch_FreqR[0])}|{WHS(%CL_Mch_FreqT[0])}",
    "{WHS(%CL_Mch_FreqR[1])}|{WHS(%CL_Mch_FreqT[1])}",
};
// The row pop-up menu of the cells, and a main menu whose File item has a
// command and whose Edit item mirrors the row menu.
const std::vector<std::string> Menus{
    "#P_BasicCell", "{(%CT_PopupMenu.)}", "#P_Body", "+{(%CL_PMenu_Copy:Ctrl+C)}&Copy",
    "+{(%CL_PMenu_CarryUp)}Carry &up", "#",
    "#M_BasicCell", "{(%CT_Null.CL_Null)}", "#M_Body", "+{(%CL_Null)}&File", " +{(%CL_Null)}&New",
    "+{(%CL_Menu_Edit_Top)}&Edit", "#"};

class SheetMenuKeys : public SheetTest {
protected:
    SheetMenuKeys()
    {
        bar = new plat::MainMenu(form);
        mainMenu = std::make_unique<cuiMenu>(&form, &bar->Items(), &g_GTex, "M");
        UseLayout("(FixedRows=1)", "{<-(%CT_Mch.)(PopupMenu=P)}", Cells, Menus);
        Open();
        mainMenu->Build();
        form.Show();
        plat::ProcessMessages();
        Grid().SetFocus();
    }
    ~SheetMenuKeys() override { CloseMenus(); }

    // The caption of the menu that is open, "" when none is.
    static std::string OpenMenu()
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu != nullptr ? menu->title().toStdString() : "";
    }
    // Escape until no menu is open, and the grid back in charge. (The test
    // platform deactivates the window when a menu closes; a window system
    // gives the focus back to the grid.)
    void CloseMenus()
    {
        for (int i = 0; i < 4 && QApplication::activePopupWidget() != nullptr; ++i) {
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            plat::ProcessMessages();
        }
        form.Show();
        plat::ProcessMessages();
        Grid().SetFocus();
    }
    plat::MenuItem& EditItem() { return *mainMenu->FindItem(nullptr, CL_Menu_Edit_Top); }

    plat::MainMenu* bar = nullptr;
    std::unique_ptr<cuiMenu> mainMenu;
};

TEST_F(SheetMenuKeys, AltWithALetterOpensItsMenuAtTheFirstPressAndTheEditMenuListsTheRowCommands)
{
    ASSERT_EQ(EditItem().Count(), 2);

    QTest::keyClick(Grid().Widget(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(OpenMenu(), "&File");
    EXPECT_EQ(EditItem().Count(), 2);
    CloseMenus();

    QTest::keyClick(Grid().Widget(), Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(OpenMenu(), "&Edit");
    EXPECT_EQ(EditItem().Count(), 2); // the mirrored row commands
    EXPECT_NE(sheet->PopupCuiMenu(), nullptr);
    CloseMenus();
    EXPECT_TRUE(actions.empty());
}

// With the in-place editor open, Alt with a letter first commits the edit,
// as leaving the editor does, and then opens its menu at the first press;
// the letter is no text for the editor.
TEST_F(SheetMenuKeys, AltWithALetterCommitsAnOpenEditAndOpensItsMenu)
{
    onAction = [](cmcCellCapsule* c, int) {
        if (c->Key != '4') return erNothing;
        c->Text = "4";
        c->SelStart = 1;
        return erStartEdit;
    };
    QTest::keyClick(Grid().Widget(), Qt::Key_4);
    ASSERT_NE(sheet->InlineEditor(), nullptr);
    ASSERT_TRUE(sheet->InlineEditor()->Visible());
    actions.clear();

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(OpenMenu(), "&Edit");
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].phase, cpEditText);
    EXPECT_EQ(actions[0].text, "4");
    EXPECT_FALSE(sheet->InlineEditor()->Visible());
    EXPECT_EQ(EditItem().Count(), 2); // the mirrored row commands
    CloseMenus();
}

TEST_F(SheetMenuKeys, KeysHeldWithAltOrCtrlTypeNothingIntoACell)
{
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } strokes[] = {
        {Qt::Key_3, Qt::AltModifier},     {Qt::Key_Q, Qt::AltModifier},
        {Qt::Key_3, Qt::ControlModifier}, {Qt::Key_Space, Qt::AltModifier},
        {Qt::Key_Return, Qt::AltModifier}, {Qt::Key_3, Qt::AltModifier | Qt::ShiftModifier},
    };
    for (const auto& s : strokes) {
        QTest::keyClick(Grid().Widget(), s.key, s.modifiers);
        CloseMenus();
    }
    EXPECT_TRUE(actions.empty());
    // The same keys without the modifiers, and a control code, are typed.
    QTest::keyClick(Grid().Widget(), Qt::Key_3);
    QTest::keyClick(Grid().Widget(), Qt::Key_Q, Qt::ControlModifier);
    std::vector<int> keys;
    for (const Action& a : actions) keys.push_back(a.key);
    EXPECT_EQ(keys, (std::vector<int>{'3', 17}));
}

} // namespace
