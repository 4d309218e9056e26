// What a person does on a sheet: keys, typed characters and Enter, jumps
// with replayed keys, in-place editing, multi-selection, the row pop-up menu
// and its mirror in the main menu, pop-up sheets, showing, repaint scopes.
#include "cells/indActiveCell.h"
#include "core/EventIds.h"
#include "platform/base/Clock.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/ui/SheetFixture.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheetHost.h"

#include <QMenu>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <any>
#include <string>
#include <vector>

namespace {

using plat::SendKey;
using plat::ShiftState;
using sheettest::Action;
using sheettest::SheetTest;

// A header row, then three rows of a list: frequency, tone, a tail of the
// tone cell, and a name cell that only row 2 has.
const std::vector<std::string> ListCells{
    "{WH}A|{WH}B|{WH}C|{WH}D",
    "{WHS(%CL_Mch_FreqR[0])}|{WHS(%CL_Mch_FreqT[0])}|{WHT}|",
    "{WHS(%CL_Mch_FreqR[1])}|{WHS(%CL_Mch_FreqT[1])}|{WHT}|{WHS(%CL_Mch_Text[1])}",
    "{WHS(%CL_Mch_FreqR[2])}|{WHS(%CL_Mch_FreqT[2])}|{WHT}|",
};
// The pop-up menu of the list cells and a main menu with an Edit item.
const std::vector<std::string> Menus{
    "#P_BasicCell", "{(%CT_PopupMenu.)}", "#P_Body", "+{(%CL_PMenu_Edit:Enter)}&Edit",
    "+{(%CL_PMenu_Copy:Ctrl+C)}&Copy", "+{(%CL_PMenu_CarryUp)}Carry &up", "#",
    "#M_BasicCell", "{(%CT_Null.CL_Null)}", "#M_Body", "+{(%CL_Null)}&File", "+{(%CL_Menu_Edit_Top)}&Edit", "#"};

class SheetActions : public SheetTest {
protected:
    cuiSheet& OpenList(const std::string& style = "(FixedRows=1)", const std::string& basic = "{<-(%CT_Mch.)(PopupMenu=P)}")
    {
        UseLayout(style, basic, ListCells, Menus);
        return Open();
    }
    // Shows the form, lets it become active and gives the grid the focus.
    void Focus()
    {
        form.Show();
        plat::ProcessMessages();
        Grid().SetFocus();
    }
    std::vector<std::string> Keys() const
    {
        std::vector<std::string> out;
        for (const Action& a : actions)
            out.push_back(std::to_string(a.col) + "," + std::to_string(a.row) + ":" + std::to_string(a.key) + "/" +
                          std::to_string(a.command) + (a.phase != 0 ? "/p" + std::to_string(a.phase) + "=" + a.text : ""));
        return out;
    }
    std::vector<plat::Point> Invalidated() const { return Grid().InvalidationLog(); }
    cuiGrid& Grid() const { return *sheet->Grid(); }
};

TEST_F(SheetActions, KeysMoveOverSelectableCellsAndGiveEdgeActions)
{
    OpenList();
    Focus();
    ASSERT_EQ(Cursor(), "0,1");
    struct Step {
        int key;
        unsigned shift;
        const char* cursor;
    };
    const Step steps[] = {
        {plat::VK_DOWN, 0, "0,2"},
        {plat::VK_DOWN, 0, "0,3"},
        {plat::VK_DOWN, 0, "0,3"}, // the last row: nothing further
        {plat::VK_RIGHT, 0, "1,3"},
        // Columns 2 and 3 hold nothing selectable in row 3: the next column
        // with a selectable cell takes the one nearest the last row reached.
        {plat::VK_RIGHT, 0, "3,2"},
        {plat::VK_RIGHT, 0, "3,2"}, // the right edge: action 0x2700
        {plat::VK_LEFT, 0, "1,2"},  // the tail in column 2 is not selectable
        {plat::VK_UP, plat::ssCtrl, "1,2"},
        {plat::VK_UP, plat::ssCtrl | plat::ssShift, "1,1"},
        {plat::VK_HOME, 0, "1,1"},
        {plat::VK_END, 0, "1,1"},
        {plat::VK_F1 + 4, 0, "1,1"}, // F5: action 0x7400
        {plat::VK_LEFT, 0, "0,1"},
        {plat::VK_LEFT, 0, "0,1"}, // the left edge: action 0x2500
    };
    for (const Step& s : steps) {
        SendKey(form, s.key, ShiftState(s.shift));
        EXPECT_EQ(Cursor(), s.cursor) << "after key " << s.key;
    }
    EXPECT_EQ(Keys(), (std::vector<std::string>{"3,2:9984/0", "1,1:29696/0", "0,1:9472/0"}));
    for (const Action& a : actions) EXPECT_EQ(a.notify, 1);
}

TEST_F(SheetActions, PageKeysMoveTenSelectableRows)
{
    UseLayout("(FixedRows=1)", "{<-(%CT_Mch.)}",
              {"{WH}No", "{WHS(%CL_Mch_No[0])}", ":(LoopFrom 30)", "{WHS(%CL_Mch_No[1])}", ":(End)"});
    Open();
    Focus();
    SendKey(form, plat::VK_NEXT);
    EXPECT_EQ(Cursor(), "0,11");
    SendKey(form, plat::VK_NEXT);
    SendKey(form, plat::VK_NEXT);
    SendKey(form, plat::VK_NEXT);
    EXPECT_EQ(Cursor(), "0,31");
    EXPECT_GT(Grid().TopRow(), 1); // scrolled into view
    const int top = Grid().TopRow();
    sheet->ScrollHome();
    EXPECT_EQ(Grid().TopRow(), 1);
    EXPECT_EQ(Cursor(), "0,31");
    Grid().SetTopRow(top);
    SendKey(form, plat::VK_PRIOR);
    EXPECT_EQ(Cursor(), "0,21");
    // Back at the first selectable row the view returns to the top.
    SendKey(form, plat::VK_PRIOR);
    SendKey(form, plat::VK_PRIOR);
    SendKey(form, plat::VK_PRIOR);
    EXPECT_EQ(Cursor(), "0,1");
    EXPECT_EQ(Grid().TopRow(), 1);
    EXPECT_TRUE(actions.empty());
}

TEST_F(SheetActions, TypedCharactersAndEnterActOnTheCurrentCellOnce)
{
    OpenList("(FixedRows=1)", "{<-(%CT_Mch.)}"); // no pop-up menu
    Focus();
    plat::TypeText(form, "a5");
    SendKey(form, plat::VK_RETURN);
    SendKey(form, plat::VK_SPACE);
    SendKey(form, plat::VK_BACK);
    plat::TypeText(form, "\xc3\xa9"); // beyond ASCII: not a key of a cell
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,1:97/0", "0,1:53/0", "0,1:13/0", "0,1:32/0", "0,1:8/0"}));
}

// Enter in a grid with the main menu's Edit item mirroring the row pop-up
// menu: the mirrored "Edit" item owns the Enter shortcut, as main-menu
// shortcuts come before the focused control's keys; its command (111)
// reaches the cell once. Without a pop-up menu the grid gets Enter as a key,
// also once.
TEST_F(SheetActions, EnterEditsTheCellExactlyOnceWithOrWithoutTheMirroredEditItem)
{
    auto* bar = new plat::MainMenu(form);
    cuiMenu mainMenu(&form, &bar->Items(), &g_GTex, "M");
    OpenList();
    mainMenu.Build();
    Focus();
    ASSERT_TRUE(Grid().Focused());
    plat::MenuItem* edit = mainMenu.FindItem(nullptr, CL_Menu_Edit_Top);
    ASSERT_EQ(edit->Count(), 3); // mirrored when the grid took the focus
    EXPECT_EQ(edit->Items(0)->GetShortCut(), plat::VK_RETURN);

    QTest::keyClick(Grid().Widget(), Qt::Key_Return);
    plat::ProcessMessages();
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,1:0/111"}));

    actions.clear();
    QTest::keyClick(Grid().Widget(), Qt::Key_C, Qt::ControlModifier);
    plat::ProcessMessages();
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,1:0/112"}));

    // A cell without a pop-up key: no mirrored items, Enter is a key.
    actions.clear();
    sheet.reset();
    g_GTex.FreeState();
    g_GTex.InitState();
    UseLayout("(FixedRows=1)", "{<-(%CT_Mch.)}", ListCells, Menus);
    Open();
    Focus();
    EXPECT_EQ(edit->Count(), 0);
    QTest::keyClick(Grid().Widget(), Qt::Key_Return);
    plat::ProcessMessages();
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,1:13/0"}));
}

TEST_F(SheetActions, PopupMenuFollowsTheFocusAndItsItemsActOnTheCurrentCell)
{
    auto* bar = new plat::MainMenu(form);
    cuiMenu mainMenu(&form, &bar->Items(), &g_GTex, "M");
    OpenList();
    mainMenu.Build();
    auto* other = new plat::Edit(form);
    other->SetBounds(0, 380, 50, 20);
    plat::MenuItem* edit = mainMenu.FindItem(nullptr, CL_Menu_Edit_Top);
    EXPECT_EQ(edit->Count(), 0); // nothing while the grid has no focus
    Focus();
    ASSERT_NE(sheet->PopupCuiMenu(), nullptr);
    EXPECT_EQ(sheet->PopupMenu()->Items().Count(), 3);
    ASSERT_EQ(edit->Count(), 3);

    // Refreshing the mirrored items asks the sheet for its current cell.
    std::vector<int> parents;
    indActiveCell::TestOverride engine([&](cmcCellCapsule* c, int) {
        if (c->Cell->Label == CL_PMenu_Copy) parents.push_back(c->Parent != nullptr ? c->Parent->Cell->Label : -1);
        return erNothing;
    });
    g_EvMan->Send(ev::MenuRefresh, 0, 0);
    EXPECT_EQ(parents, (std::vector<int>{CL_Mch_FreqR, CL_Mch_FreqR}));

    SendKey(form, plat::VK_DOWN);
    edit->Items(1)->Click();
    sheet->PopupMenu()->Items().Items(2)->Click();
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,2:0/112", "0,2:0/114"}));

    // Losing the focus takes the mirrored items away; the sheet answers no
    // query for the main menu's own items.
    other->SetFocus();
    EXPECT_EQ(edit->Count(), 0);
    EXPECT_EQ(sheet->PopupCuiMenu(), nullptr);
    EXPECT_EQ(sheet->PopupMenu()->Items().Count(), 0);
    std::unique_ptr<cmcEvAns> answers = g_EvMan->Query(ev::QueryCurrentCell, reinterpret_cast<intptr_t>(&bar->Items()), 0);
    EXPECT_EQ(answers, nullptr);
}

TEST_F(SheetActions, PopupItemsShowTheStateOfTheCellTheMenuOpensOn)
{
    auto* bar = new plat::MainMenu(form);
    cuiMenu mainMenu(&form, &bar->Items(), &g_GTex, "M");
    OpenList();
    mainMenu.Build();
    // Copy is disabled on the last row of the list, Carry up on the first:
    // each item judges the row of the cell it is refreshed for.
    indActiveCell::TestOverride engine([&](cmcCellCapsule* c, int) {
        if (c->Key != 0 || c->Parent == nullptr) return erNothing;
        const int row = c->Parent->Cell->Index;
        if (c->Cell->Label == CL_PMenu_Copy) c->Cell->SetFlag(2, row == 2);
        if (c->Cell->Label == CL_PMenu_CarryUp) c->Cell->SetFlag(2, row == 0);
        return erNothing;
    });
    Focus();
    plat::MenuItem* edit = mainMenu.FindItem(nullptr, CL_Menu_Edit_Top);
    auto state = [&] {
        plat::MenuItem& items = sheet->PopupMenu()->Items();
        std::string s = std::string(items.Items(1)->Enabled() ? "copy" : "-") + "," +
                        (items.Items(2)->Enabled() ? "up" : "-");
        // The Edit menu's mirror shows the same.
        EXPECT_EQ(edit->Items(1)->Enabled(), items.Items(1)->Enabled());
        EXPECT_EQ(edit->Items(2)->Enabled(), items.Items(2)->Enabled());
        return s;
    };
    EXPECT_EQ(state(), "copy,-");

    const plat::Rect last = Grid().GetCellRect(1, 3);
    plat::ClickAt(Grid(), last.left + 2, last.top + 2);  // by mouse
    EXPECT_EQ(Cursor(), "1,3");
    EXPECT_EQ(state(), "-,up");
    SendKey(form, plat::VK_UP);  // by keyboard
    EXPECT_EQ(Cursor(), "1,2");
    EXPECT_EQ(state(), "copy,up");
    sheet->MoveTo(0, 1);  // by the program
    EXPECT_EQ(state(), "copy,-");
    sheet->SelectCell(1, 3);
    EXPECT_EQ(state(), "-,up");

    // A right click moves to the cell and opens the menu showing its state.
    const plat::Rect first = Grid().GetCellRect(0, 1);
    plat::ClickAt(Grid(), first.left + 2, first.top + 2, plat::mbRight);
    EXPECT_TRUE(sheet->PopupMenu()->Menu()->isVisible());
    EXPECT_EQ(state(), "copy,-");
    sheet->PopupMenu()->Menu()->hide();
}

TEST_F(SheetActions, RightClickSelectsTheCellAndOpensTheMenuUnlessTheProgramWasInactive)
{
    bool inactive = true;
    cuiSheetHost host;
    host.ApplicationInactive = [&] { return inactive; };
    host.ClearApplicationInactive = [&] { inactive = false; };
    ScopedSheetHost scoped(host);
    OpenList();
    EXPECT_FALSE(inactive); // a new sheet clears it
    inactive = true;
    Focus();
    const plat::Rect tone = Grid().GetCellRect(1, 2);
    plat::ClickAt(Grid(), tone.left + 2, tone.top + 2, plat::mbRight);
    EXPECT_EQ(Cursor(), "1,2");
    EXPECT_FALSE(sheet->PopupMenu()->Menu()->isVisible()); // the click that reactivates
    EXPECT_FALSE(inactive);
    plat::ClickAt(Grid(), tone.left + 2, tone.top + 2, plat::mbRight);
    EXPECT_TRUE(sheet->PopupMenu()->Menu()->isVisible());
    // The open menu does not take the focus from the sheet: its items stay.
    EXPECT_NE(sheet->PopupCuiMenu(), nullptr);
    EXPECT_EQ(sheet->PopupMenu()->Items().Count(), 3);
    sheet->PopupMenu()->Menu()->hide();
    EXPECT_NE(sheet->PopupCuiMenu(), nullptr);
    // A right click on a tail selects the cell it belongs to.
    const plat::Rect tail = Grid().GetCellRect(2, 3);
    plat::ClickAt(Grid(), tail.left + 2, tail.top + 2, plat::mbRight);
    EXPECT_EQ(Cursor(), "1,3");
    sheet->PopupMenu()->Menu()->hide();
}

TEST_F(SheetActions, JumpsMoveTheCursorAndReplayTheKeyThereWithinABound)
{
    OpenList();
    Focus();
    SendKey(form, plat::VK_RIGHT);
    // A key typed into the tone column of row 1 belongs to its frequency.
    onAction = [](cmcCellCapsule* c, int) {
        if (c->Cell->Label == CL_Mch_FreqT && c->Key == 'x') {
            c->Jump = 1;
            c->JumpCategory = c->Cell->Category;
            c->JumpLabel = CL_Mch_FreqR;
            c->JumpIndex = c->Cell->Index;
            c->JumpKey = c->Key;
        }
        return erNothing;
    };
    const uint32_t start = plat::GetTickCount();
    plat::TypeText(form, "x");
    EXPECT_EQ(Cursor(), "0,1");
    EXPECT_EQ(Keys(), (std::vector<std::string>{"1,1:120/0", "0,1:120/0"}));
    EXPECT_EQ(plat::GetTickCount() - start, 30u);

    // A cell that always answers with a jump to the other column: the
    // replay ends after a bounded number of runs, the pauses shrinking.
    actions.clear();
    onAction = [](cmcCellCapsule* c, int) {
        c->Jump = 1;
        c->JumpCategory = c->Cell->Category;
        c->JumpLabel = c->Cell->Label == CL_Mch_FreqR ? CL_Mch_FreqT : CL_Mch_FreqR;
        c->JumpIndex = c->Cell->Index;
        c->JumpKey = 'y';
        return erNothing;
    };
    const uint32_t again = plat::GetTickCount();
    plat::TypeText(form, "y");
    EXPECT_EQ(static_cast<int>(actions.size()), 1 + cuiSheet::MaxReplays);
    EXPECT_EQ(plat::GetTickCount() - again, 30u + 24 + 18 + 12 + 6);

    // A replayed jump that stays where it is ends the replay at once.
    actions.clear();
    onAction = [](cmcCellCapsule* c, int) {
        c->Jump = 1;
        c->JumpCategory = c->Cell->Category;
        c->JumpLabel = c->Cell->Label;
        c->JumpIndex = c->Cell->Index;
        c->JumpKey = 'z';
        return erNothing;
    };
    plat::TypeText(form, "z");
    EXPECT_EQ(actions.size(), 2u);
}

TEST_F(SheetActions, InPlaceEditCommitsOrCancels)
{
    OpenList();
    auto* other = new plat::Edit(form);
    other->SetBounds(0, 380, 50, 20);
    Focus();
    SendKey(form, plat::VK_DOWN);
    onAction = [](cmcCellCapsule* c, int) {
        if (c->Key != 13 || c->Phase != 0) return erNothing;
        c->Text = "145.000";
        c->SelStart = 0;
        c->SelLength = 3;
        return erStartEdit;
    };
    SendKey(form, plat::VK_RETURN);
    plat::Memo* editor = sheet->InlineEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->Visible());
    EXPECT_TRUE(editor->Focused());
    // Over the cell (the editor lies on the grid's parent).
    const plat::Rect cell = Grid().GetCellRect(0, 2);
    EXPECT_EQ(editor->Left(), Grid().Left() + cell.left);
    EXPECT_EQ(editor->Width(), cell.Width());
    EXPECT_GE(editor->Top(), Grid().Top() + cell.top);
    EXPECT_LE(editor->Top() + editor->Height(), Grid().Top() + cell.bottom);
    plat::TypeText(form, "9");
    EXPECT_EQ(editor->RawText(), "9.000");
    SendKey(form, plat::VK_RETURN);
    EXPECT_FALSE(editor->Visible());
    EXPECT_TRUE(Grid().Focused());
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,2:13/0", "0,2:0/0/p1=9.000"}));

    // Esc closes without committing; Down commits and moves on.
    actions.clear();
    SendKey(form, plat::VK_RETURN);
    plat::TypeText(form, "1");
    SendKey(form, plat::VK_ESCAPE);
    EXPECT_FALSE(editor->Visible());
    SendKey(form, plat::VK_RETURN);
    plat::TypeText(form, "2");
    SendKey(form, plat::VK_DOWN);
    EXPECT_EQ(Cursor(), "0,3");
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,2:13/0", "0,2:13/0", "0,2:0/0/p1=2.000"}));

    // The engine may ask for the editor while it handles a key.
    actions.clear();
    onAction = [](cmcCellCapsule* c, int) {
        if (c->Key == 'e') {
            c->Text = "ABC";
            c->SelStart = 3;
            c->CallOnEdit(0);
        }
        return erNothing;
    };
    plat::TypeText(form, "e");
    ASSERT_TRUE(editor->Visible());
    plat::TypeText(form, "D");
    SendKey(form, plat::VK_RETURN);
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,3:101/0", "0,3:0/0/p1=ABCD"}));
    onAction = [](cmcCellCapsule* c, int) {
        if (c->Key != 13 || c->Phase != 0) return erNothing;
        c->Text = "145.000";
        c->SelStart = 0;
        c->SelLength = 3;
        return erStartEdit;
    };

    // Event 21 (close every pop-up) commits an open edit; so does the focus
    // leaving the editor.
    actions.clear();
    SendKey(form, plat::VK_RETURN);
    plat::TypeText(form, "3");
    g_EvMan->Send(ev::ClosePopups, 0, 0);
    EXPECT_FALSE(editor->Visible());
    SendKey(form, plat::VK_RETURN);
    plat::TypeText(form, "4");
    other->SetFocus();
    EXPECT_FALSE(editor->Visible());
    EXPECT_EQ(Keys(), (std::vector<std::string>{"0,3:13/0", "0,3:0/0/p1=3.000", "0,3:13/0", "0,3:0/0/p1=4.000"}));
}

TEST_F(SheetActions, MultiSelectionByLineMarksRowsAndGivesTheRange)
{
    OpenList("(FixedRows=1)(MultiSelect=Line)");
    Focus();
    SendKey(form, plat::VK_DOWN, plat::ssShift);
    SendKey(form, plat::VK_DOWN, plat::ssShift);
    EXPECT_EQ(Cursor(), "0,3");
    for (int row = 1; row <= 3; ++row) {
        EXPECT_TRUE(sheet->CellSlot(0, row).IsMarked()) << row;
        EXPECT_TRUE(sheet->IsSlotSelected(1, row)) << row; // the whole line
        EXPECT_FALSE(sheet->CellSlot(0, row).IsMarked() && row == 0);
    }
    EXPECT_NE(sheet->State() & cuiSheet::StMarks, 0);

    // An action carries the range of the marked rows (the indices of the
    // first column) and clears the marks.
    cmcCellCapsule seen;
    onAction = [&](cmcCellCapsule* c, int) {
        seen.RangeFlags = c->RangeFlags;
        seen.RangeFirst = c->RangeFirst;
        seen.RangeLast = c->RangeLast;
        return erNothing;
    };
    sheet->DoAction(0, 3, 'a', 0, nullptr);
    EXPECT_EQ(seen.RangeFlags, 1);
    EXPECT_EQ(seen.RangeFirst, 0);
    EXPECT_EQ(seen.RangeLast, 2);
    EXPECT_EQ(sheet->State() & cuiSheet::StMarks, 0);
    EXPECT_FALSE(sheet->CellSlot(0, 1).IsMarked());

    // A command that moved the rows asks to select them again: the rows of
    // the new indices are marked, the anchor at the other end.
    SendKey(form, plat::VK_UP, plat::ssShift);
    EXPECT_EQ(Cursor(), "0,2");
    // The carry moved the rows of indices first..last.
    auto carried = [](int first, int last) {
        return [first, last](cmcCellCapsule* c, int) {
            if (c->Command == CL_PMenu_CarryUp) {
                c->RangeFlags |= 2;
                c->RangeFirst = first;
                c->RangeLast = last;
            }
            return erNothing;
        };
    };
    onAction = carried(0, 1);
    SendKey(form, plat::VK_UP); // the cursor follows the moved rows
    sheet->PopupMenu()->Items().Items(2)->Click();
    EXPECT_TRUE(sheet->CellSlot(0, 1).IsMarked());
    EXPECT_TRUE(sheet->CellSlot(0, 2).IsMarked());
    EXPECT_FALSE(sheet->CellSlot(0, 3).IsMarked());
    EXPECT_EQ(sheet->AnchorRow(), 2);

    // When no row holds the other end of the moved range, the anchor stays
    // where it was.
    ASSERT_EQ(Cursor(), "0,1");
    onAction = carried(0, 99);
    sheet->PopupMenu()->Items().Items(2)->Click();
    EXPECT_TRUE(sheet->CellSlot(0, 3).IsMarked());
    EXPECT_EQ(sheet->AnchorRow(), 2);
}

TEST_F(SheetActions, MarksFollowShiftClicksAndDragsAndSurviveARightClick)
{
    OpenList("(FixedRows=1)(MultiSelect=Cell)");
    Focus();
    const plat::Rect a = Grid().GetCellRect(0, 1);
    const plat::Rect b = Grid().GetCellRect(1, 3);
    plat::ClickAt(Grid(), a.left + 2, a.top + 2);
    plat::ClickAt(Grid(), b.left + 2, b.top + 2, plat::mbLeft, plat::ssShift);
    std::string marked;
    for (int row = 1; row <= 3; ++row)
        for (int col = 0; col <= 1; ++col) marked += sheet->CellSlot(col, row).IsMarked() ? '1' : '0';
    EXPECT_EQ(marked, "111111");
    EXPECT_FALSE(sheet->IsSlotSelected(3, 2)); // cell mode: no line highlight

    // A right click with marks present keeps them and opens the menu.
    const plat::Rect c = Grid().GetCellRect(0, 2);
    plat::ClickAt(Grid(), c.left + 2, c.top + 2, plat::mbRight);
    EXPECT_EQ(Cursor(), "1,3");
    EXPECT_TRUE(sheet->CellSlot(0, 1).IsMarked());
    EXPECT_TRUE(sheet->PopupMenu()->Menu()->isVisible());
    sheet->PopupMenu()->Menu()->hide();

    // A plain click starts afresh; a drag marks as it goes.
    plat::ClickAt(Grid(), a.left + 2, a.top + 2);
    EXPECT_EQ(sheet->State() & cuiSheet::StMarks, 0);
    plat::SendMouse(Grid(), plat::MouseAction::Down, a.left + 2, a.top + 2);
    const plat::Rect d = Grid().GetCellRect(0, 2);
    plat::SendMouse(Grid(), plat::MouseAction::Move, d.left + 2, d.top + 2);
    plat::SendMouse(Grid(), plat::MouseAction::Up, d.left + 2, d.top + 2);
    EXPECT_TRUE(sheet->CellSlot(0, 1).IsMarked());
    EXPECT_TRUE(sheet->CellSlot(0, 2).IsMarked());
    EXPECT_FALSE(sheet->CellSlot(1, 2).IsMarked());
}

TEST_F(SheetActions, DoubleClickActsOnTheCurrentCellOrItsTail)
{
    OpenList();
    Focus();
    const plat::Rect other = Grid().GetCellRect(1, 2);
    // A double click's first press already moved the cursor there.
    DoubleClickAt(other.left + 2, other.top + 2);
    EXPECT_EQ(Cursor(), "1,2");
    const plat::Rect tail = Grid().GetCellRect(2, 2);
    DoubleClickAt(tail.left + 2, tail.top + 2);
    EXPECT_EQ(Cursor(), "1,2");
    EXPECT_EQ(Keys(), (std::vector<std::string>{"1,2:256/0", "1,2:256/0"}));
    // A double click on a cell that cannot be current does nothing.
    actions.clear();
    const plat::Rect header = Grid().GetCellRect(0, 0);
    DoubleClickAt(header.left + 2, header.top + 2);
    EXPECT_TRUE(actions.empty());
}

TEST_F(SheetActions, RepaintScopesReachTheMatchingVisibleCells)
{
    OpenList();
    Focus();
    SendKey(form, plat::VK_DOWN);
    SendKey(form, plat::VK_RIGHT);
    plat::ProcessMessages();
    struct Case {
        CellChangeScope scope;
        std::vector<plat::Point> cells;
    };
    // The acted cell is the tone of row 2 (category CT_Mch, index 1).
    const Case cases[] = {
        {csSameLabelAndIndex, {{1, 2}}},
        {csSameLabel, {{1, 1}, {1, 2}, {1, 3}}},
        {csSameIndex, {{0, 2}, {1, 2}, {3, 2}}},
        {csIndexAtOrAbove, {{0, 2}, {1, 2}, {3, 2}, {0, 3}, {1, 3}}},
        {csIndexAtOrBelow, {{0, 1}, {1, 1}, {0, 2}, {1, 2}, {3, 2}}},
        {csNeighbourIndex, {{0, 1}, {1, 1}, {0, 2}, {1, 2}, {3, 2}, {0, 3}, {1, 3}}},
    };
    for (const Case& c : cases) {
        Grid().SetInvalidationLog(true);
        onAction = [&](cmcCellCapsule* capsule, int notify) {
            if (notify == 1) capsule->CallOnChange(c.scope);
            return erNothing;
        };
        sheet->DoAction(1, 2, 'q', 0, nullptr);
        std::vector<plat::Point> logged = Grid().InvalidationLog();
        std::vector<plat::Point> expected = c.cells;
        auto order = [](plat::Point p, plat::Point q) { return p.y != q.y ? p.y < q.y : p.x < q.x; };
        std::sort(logged.begin(), logged.end(), order);
        logged.erase(std::unique(logged.begin(), logged.end()), logged.end());
        // The action itself may repaint the current cell.
        std::erase_if(logged, [](plat::Point p) { return p.x == 1 && p.y == 2; });
        std::erase_if(expected, [](plat::Point p) { return p.x == 1 && p.y == 2; });
        EXPECT_EQ(logged, expected) << "scope " << c.scope;
    }

    // Events 13 to 18 stand in a cell for the change.
    Grid().SetInvalidationLog(true);
    g_EvMan->Send(ev::RepaintLabel, 0, CL_Mch_Text);
    EXPECT_EQ(Grid().InvalidationLog(), (std::vector<plat::Point>{{3, 2}}));
    Grid().SetInvalidationLog(true);
    g_EvMan->Send(ev::RepaintFromIndex, 0, 2);
    EXPECT_EQ(Grid().InvalidationLog(), (std::vector<plat::Point>{{0, 3}, {1, 3}}));
    Grid().SetInvalidationLog(true);
    g_EvMan->Send(ev::RepaintLabelled, 0, 0);
    EXPECT_EQ(Grid().InvalidationLog().size(), 7u);
}

TEST_F(SheetActions, PopupSheetsCommitThePickToTheirOrigin)
{
    UseLayout("", "{<-(%CT_Null.)}",
              {"{WHS(%Flex0[0])}Low", "{WHS(%Flex0[1])}Mid", "{WHS(%Flex0[2])}High"});
    cmcCellObj originCell;
    originCell.Label = CL_Mch_FreqR;
    cmcCellCapsule origin;
    origin.Cell = &originCell;
    origin.Key = 77;
    auto* panel = new plat::Panel(form);
    panel->SetBounds(10, 10, 200, 200);
    sheet = std::make_unique<cuiSheet>(panel, &origin, 0, 0, &g_GTex, "S", nullptr);
    sheet->SetPopupMode(true);
    std::vector<std::string> commits;
    sheet->SetCellHandler([&](cmcCellCapsule* c, int notify) {
        if (c->Phase == cpPicked)
            commits.push_back(std::to_string(c->Cell->Label) + "<-" + std::to_string(c->Parent->Cell->Index) + "/" +
                              std::to_string(notify) + "/" + std::to_string(c->Key));
        return erNothing;
    });
    sheet->Show();
    Focus();
    Grid().SetScrollBars(plat::ssNone);
    ASSERT_EQ(Cursor(), "0,0");
    // A holder sized to the full width and height shows every cell.
    panel->SetBounds(10, 10, sheet->FullWidth(), sheet->FullHeight());
    EXPECT_EQ(Grid().ClientWidth(), Grid().GridWidth());
    EXPECT_EQ(Grid().ClientHeight(), Grid().GridHeight());
    // Without scroll bars Up wraps to the last row.
    SendKey(form, plat::VK_UP);
    EXPECT_EQ(Cursor(), "0,2");
    SendKey(form, plat::VK_DOWN);
    EXPECT_EQ(Cursor(), "0,0");
    SendKey(form, plat::VK_SPACE);
    EXPECT_TRUE(commits.empty());
    SendKey(form, plat::VK_DOWN);
    EXPECT_EQ(Cursor(), "0,1");
    SendKey(form, plat::VK_RETURN);
    EXPECT_EQ(commits, (std::vector<std::string>{std::to_string(CL_Mch_FreqR) + "<-1/1/77"}));
    EXPECT_FALSE(panel->Visible());

    // With scroll bars the cursor stops at the edge.
    Grid().SetScrollBars(plat::ssBoth);
    SendKey(form, plat::VK_DOWN);
    SendKey(form, plat::VK_DOWN);
    EXPECT_EQ(Cursor(), "0,2");

    // The cursor follows the pointer; releasing the left button picks.
    commits.clear();
    const plat::Rect low = Grid().GetCellRect(0, 0);
    const plat::Rect mid = Grid().GetCellRect(0, 1);
    plat::SendMouse(Grid(), plat::MouseAction::Move, low.left + 3, low.top + 3);
    plat::SendMouse(Grid(), plat::MouseAction::Move, mid.left + 3, mid.top + 3);
    EXPECT_EQ(Cursor(), "0,1");
    plat::SendMouse(Grid(), plat::MouseAction::Move, low.left + 3, low.top + 3);
    EXPECT_EQ(Cursor(), "0,0");
    plat::SendMouse(Grid(), plat::MouseAction::Up, low.left + 3, low.top + 3);
    EXPECT_EQ(commits, (std::vector<std::string>{std::to_string(CL_Mch_FreqR) + "<-0/1/77"}));
}

TEST_F(SheetActions, DraggingPastTheBottomEdgeMovesTheCursorOnATimer)
{
    UseLayout("(FixedRows=1)", "{<-(%CT_Mch.)}",
              {"{WH}No", "{WHS(%CL_Mch_No[0])}", ":(LoopFrom 60)", "{WHS(%CL_Mch_No[1])}", ":(End)"});
    Open();
    Focus();
    const plat::Rect first = Grid().GetCellRect(0, 1);
    plat::SendMouse(Grid(), plat::MouseAction::Down, first.left + 2, first.top + 2);
    plat::SendMouse(Grid(), plat::MouseAction::Move, first.left + 2, Grid().ClientHeight() + 10);
    const std::string before = Cursor();
    time.Advance(cuiGrid::TimedScrollPeriod);
    const int row = Grid().Row();
    EXPECT_NE(Cursor(), before);
    time.Advance(cuiGrid::TimedScrollPeriod);
    EXPECT_EQ(Grid().Row(), row + 1);
    plat::SendMouse(Grid(), plat::MouseAction::Up, first.left + 2, Grid().ClientHeight() + 10);
    time.Advance(cuiGrid::TimedScrollPeriod);
    EXPECT_EQ(Grid().Row(), row + 1);
}

TEST_F(SheetActions, ShowPlacesTheCursorByFocusLabelOrStartPosition)
{
    UseLayout("(FixedRows=1)", "{<-(%CT_Mch.)}", ListCells);
    sheet = std::make_unique<cuiSheet>(&form, nullptr, CL_Mch_FreqT, 2, &g_GTex, "S", nullptr);
    sheet->SetCellHandler([](cmcCellCapsule*, int) { return erNothing; });
    sheet->Show();
    EXPECT_EQ(Cursor(), "1,3");

    // A remembered position wins over the focus label; one outside the grid
    // is forgotten.
    sheet = std::make_unique<cuiSheet>(&form, nullptr, CL_Mch_FreqT, 2, &g_GTex, "S", nullptr);
    sheet->SetCellHandler([](cmcCellCapsule*, int) { return erNothing; });
    sheet->SetStartPosition(3, 2, 0, 1);
    sheet->Show();
    EXPECT_EQ(Cursor(), "3,2");
    sheet = std::make_unique<cuiSheet>(&form, nullptr, 0, 0, &g_GTex, "S", nullptr);
    sheet->SetCellHandler([](cmcCellCapsule*, int) { return erNothing; });
    sheet->SetStartPosition(9, 2, 0, 1);
    sheet->Show();
    EXPECT_EQ(Cursor(), "0,1");
    EXPECT_TRUE(Grid().Enabled());

    // Going, a sheet tells the pop-ups of its grid to close (event 1).
    struct Closing {
        std::vector<intptr_t> controls;
        void OnEvent(const dst_Event* e)
        {
            if (e->type == ev::ControlClosing) controls.push_back(e->p2);
        }
    } closing;
    cmcEvSubscription subscription(MemberEventHandler<&Closing::OnEvent>(&closing));
    const auto grid = reinterpret_cast<intptr_t>(sheet->Grid());
    sheet.reset();
    EXPECT_EQ(closing.controls, std::vector<intptr_t>{grid});

    // A sheet without selectable cells shows a disabled grid.
    g_GTex.FreeState();
    g_GTex.InitState();
    UseLayout("", "{<-(%CT_Mch.)}", {"{WH}a|{WH}b", "{WH}c|{WH}d"});
    Open();
    EXPECT_FALSE(Grid().Enabled());
}

} // namespace
