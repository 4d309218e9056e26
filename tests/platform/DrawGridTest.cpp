// The drawing grid: geometry over awkward sizes, the select veto whatever
// asks, keys that only reach the handlers, dragging, timed scrolling, column
// sizing, the invalidation log, the pop-up menu and what a person sees.
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/QtCanvas.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace plat;

namespace plat {
static void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}"; }
static void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
} // namespace plat

namespace {

// A grid without scroll bars on a form, sized so that its client area is
// exactly width x height.
struct GridForm {
    Form form;
    DrawGrid* grid = new DrawGrid(form);

    GridForm(int width, int height, std::vector<int> widths, std::vector<int> heights, int fixedCols, int fixedRows)
    {
        form.SetClientSize(width + 20, height + 20);
        grid->SetScrollBars(ssNone);
        grid->SetBounds(0, 0, width, height);
        grid->SetColCount(static_cast<int>(widths.size()));
        grid->SetRowCount(static_cast<int>(heights.size()));
        for (size_t i = 0; i < widths.size(); ++i) grid->SetColWidths(static_cast<int>(i), widths[i]);
        for (size_t i = 0; i < heights.size(); ++i) grid->SetRowHeights(static_cast<int>(i), heights[i]);
        grid->SetFixedCols(fixedCols);
        grid->SetFixedRows(fixedRows);
    }
};

Point CellAt(const DrawGrid& grid, int x, int y)
{
    int col = 0;
    int row = 0;
    grid.MouseToCell(x, y, col, row);
    return {col, row};
}

} // namespace

TEST(DrawGrid, RectanglesAndHitsOverHiddenAndThinCells)
{
    // Columns: a fixed 30, then 0 (hidden), 20, 1, 40, 25; rows: a fixed 10,
    // then 1, 0 (hidden), 12, 15. Client area 100 x 30.
    GridForm g(100, 30, {30, 0, 20, 1, 40, 25}, {10, 1, 0, 12, 15}, 1, 1);
    DrawGrid& grid = *g.grid;
    EXPECT_EQ(grid.ClientWidth(), 100);
    EXPECT_EQ(grid.ClientHeight(), 30);
    EXPECT_EQ(grid.GridWidth(), 116);
    EXPECT_EQ(grid.GridHeight(), 38);

    struct RectCase {
        int col, row;
        Rect rect;
    };
    const RectCase rects[] = {
        {0, 0, {0, 0, 30, 10}},     {1, 0, {30, 0, 30, 10}},  {2, 1, {30, 10, 50, 11}}, {3, 1, {50, 10, 51, 11}},
        {4, 3, {51, 11, 91, 23}},   {5, 3, {91, 11, 116, 23}}, // cut by the client area, given whole
        {2, 2, {30, 11, 50, 11}},   {0, 4, {0, 23, 30, 38}},
        {6, 0, {}},                 {0, 5, {}},                {-1, 0, {}},
    };
    for (const RectCase& c : rects) EXPECT_EQ(grid.CellRect(c.col, c.row), c.rect) << c.col << "," << c.row;

    struct HitCase {
        int x, y;
        Point cell;
    };
    const HitCase hits[] = {
        {0, 0, {0, 0}},    {29, 9, {0, 0}},   {30, 10, {2, 1}},  {49, 10, {2, 1}}, {50, 11, {3, 3}},
        {51, 22, {4, 3}},  {90, 23, {4, 4}},  {91, 29, {5, 4}},  {99, 29, {5, 4}}, {100, 5, {-1, 0}},
        {-1, 5, {-1, 0}},  {10, 30, {0, -1}},
    };
    for (const HitCase& h : hits) EXPECT_EQ(CellAt(grid, h.x, h.y), h.cell) << h.x << "," << h.y;
    EXPECT_EQ(grid.LastVisibleCol(), 5);
    EXPECT_EQ(grid.LastVisibleRow(), 4);

    // Scrolled: the fixed column and row stay, the others start after them.
    // Columns 3 to 5 fill the 70 pixels right of the fixed column, so the
    // grid scrolls no further than column 3.
    grid.SetLeftCol(4);
    grid.SetTopRow(3);
    EXPECT_EQ(grid.LeftCol(), 3);
    EXPECT_EQ(grid.TopRow(), 3);
    EXPECT_EQ(grid.CellRect(4, 3), (Rect{31, 10, 71, 22}));
    EXPECT_EQ(grid.CellRect(5, 4), (Rect{71, 22, 96, 37}));
    EXPECT_EQ(grid.CellRect(0, 4), (Rect{0, 22, 30, 37}));
    EXPECT_EQ(grid.CellRect(2, 3), Rect{}); // scrolled away
    EXPECT_EQ(CellAt(grid, 29, 21), (Point{0, 3}));
    EXPECT_EQ(CellAt(grid, 96, 5), (Point{-1, 0}));
}

TEST(DrawGrid, ScrollingStopsWhereTheLastCellsFill)
{
    struct Case {
        const char* name;
        std::vector<int> widths;
        int fixed;
        int asked;
        int expected;
    };
    // Client width 100 throughout.
    const Case cases[] = {
        {"tail of 30+30+30 fits after the fixed 10", {10, 30, 30, 30, 30, 30}, 1, 99, 3},
        {"cannot scroll into the fixed columns", {10, 30, 30, 30, 30, 30}, 1, 0, 1},
        {"last column wider than the room", {50, 20, 80}, 1, 99, 2},
        {"hidden columns at the end do not count", {10, 60, 60, 0, 0}, 1, 99, 2},
        {"everything fits: no scrolling", {10, 20, 20}, 1, 2, 1},
        {"no fixed columns", {40, 40, 40, 40}, 0, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridForm g(100, 50, c.widths, {20, 20}, c.fixed, 1);
        g.grid->SetLeftCol(c.asked);
        EXPECT_EQ(g.grid->LeftCol(), c.expected);
    }

    // Rows likewise, with 1-pixel rows: 522 rows of 1 pixel below a fixed
    // row of 10 in 50 pixels leave 40 rows in view at the end.
    GridForm g(100, 50, {10, 30}, std::vector<int>(523, 1), 1, 1);
    g.grid->SetRowHeights(0, 10);
    g.grid->SetTopRow(1000);
    EXPECT_EQ(g.grid->TopRow(), 523 - 40);
    EXPECT_EQ(g.grid->LastVisibleRow(), 522);
    // Fewer rows after that keep the top row in range.
    g.grid->SetRowCount(100);
    EXPECT_EQ(g.grid->TopRow(), 100 - 40);
}

TEST(DrawGrid, CountsKeepFixedAndCurrentInside)
{
    GridForm g(200, 100, {20, 20, 20, 20}, {20, 20, 20, 20}, 2, 2);
    DrawGrid& grid = *g.grid;
    ASSERT_TRUE(grid.MoveCurrent(3, 3, true));
    grid.SetRowCount(522);
    EXPECT_EQ(grid.RowCount(), 522);
    EXPECT_EQ(grid.RowHeights(521), grid.DefaultRowHeight());
    grid.SetColCount(2); // fixed columns drop below the count, current moves in
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.Col(), 1);
    grid.SetColCount(0);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.Col(), 0);
    grid.SetFixedRows(400);
    EXPECT_EQ(grid.FixedRows(), 400);
    EXPECT_EQ(grid.Row(), 400);
    EXPECT_EQ(grid.ColWidths(7), 0);
    grid.SetRowHeights(900, 5); // outside: nothing happens
    EXPECT_EQ(grid.RowCount(), 522);
}

TEST(DrawGrid, SelectVetoFromMouseKeyboardAndProgram)
{
    ScopedDialogScript script;
    GridForm g(200, 100, {20, 40, 40, 40}, {20, 20, 20, 20}, 1, 1);
    DrawGrid& grid = *g.grid;
    std::vector<Point> asked;
    grid.OnSelectCell = [&](int col, int row, bool& canSelect) {
        asked.push_back({col, row});
        canSelect = col != 2; // column 2 refuses
    };
    // Keys reach the handlers; the grid itself neither moves nor asks.
    std::vector<int> keys;
    grid.OnKeyDown = [&](int& key, ShiftState) {
        keys.push_back(key);
        if (key == VK_RIGHT) grid.SetCol(grid.Col() + 1); // the program moves on a key
    };
    g.form.Show();
    grid.SetFocus();

    // Mouse: a click on a refused cell leaves the current cell.
    ClickAt(grid, 70, 30); // column 2, row 1
    EXPECT_EQ((Point{grid.Col(), grid.Row()}), (Point{1, 1}));
    ClickAt(grid, 110, 50); // column 3, row 2
    EXPECT_EQ((Point{grid.Col(), grid.Row()}), (Point{3, 2}));
    // Even a click on the current cell asks.
    ClickAt(grid, 110, 50);
    // Fixed cells are not selectable: no question.
    ClickAt(grid, 5, 5);

    // Keyboard: the handler's program move is asked and refused.
    SendKey(g.form, VK_LEFT);
    SendKey(g.form, VK_DOWN);
    EXPECT_EQ((Point{grid.Col(), grid.Row()}), (Point{3, 2}));
    SendKey(g.form, VK_RIGHT); // to column 4: outside the grid, no question
    grid.SetCol(2);            // program: refused
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_FALSE(grid.MoveCurrent(2, 3, true));
    EXPECT_TRUE(grid.MoveCurrent(1, 3, false));
    EXPECT_EQ((Point{grid.Col(), grid.Row()}), (Point{1, 3}));

    const std::vector<Point> expected{{2, 1}, {3, 2}, {3, 2}, {2, 2}, {2, 3}, {1, 3}};
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(keys, (std::vector<int>{VK_LEFT, VK_DOWN, VK_RIGHT}));
}

TEST(DrawGrid, KeysGoToTheHandlersOnly)
{
    ScopedDialogScript script;
    GridForm g(100, 40, {20, 20, 20, 20, 20, 20, 20}, std::vector<int>(30, 10), 1, 1);
    DrawGrid& grid = *g.grid;
    std::vector<std::string> seen;
    grid.OnKeyDown = [&](int& key, ShiftState shift) {
        seen.push_back("down " + std::to_string(key) + (shift.Has(ssCtrl) ? " ctrl" : ""));
        if (key == 'X') key = 0; // swallowed: no character follows
    };
    grid.OnKeyPress = [&](char32_t& ch) { seen.push_back("press " + std::to_string(static_cast<int>(ch))); };
    grid.OnKeyUp = [&](int& key, ShiftState) { seen.push_back("up " + std::to_string(key)); };
    g.form.Show();
    grid.SetFocus();

    for (int key : {VK_DOWN, VK_NEXT, VK_END, VK_RIGHT}) SendKey(g.form, key);
    EXPECT_EQ((Point{grid.Col(), grid.Row()}), (Point{1, 1}));
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(grid.LeftCol(), 1);

    seen.clear();
    SendKey(g.form, 'A');
    SendKey(g.form, 'C', ssCtrl);
    SendKey(g.form, 'X');
    SendKey(g.form, VK_RETURN);
    const std::vector<std::string> expected{"down 65", "press 97", "up 65",  "down 67 ctrl", "press 3", "up 67",
                                            "down 88", "up 88",    "down 13", "press 13",     "up 13"};
    EXPECT_EQ(seen, expected);

    // Tab still moves the focus on.
    auto* next = new Edit(g.form);
    next->SetTop(60);
    ProcessMessages();
    grid.SetFocus();
    SendKey(g.form, VK_TAB);
    EXPECT_TRUE(next->Focused());
}

TEST(DrawGrid, DragMovesTheCurrentCellAndTimedScrollReportsDirections)
{
    ScopedDialogScript script;
    qmtest::ManualTime time;
    // Fixed column 20 and row 10; cells 20 x 10; client 100 x 50.
    GridForm g(100, 50, std::vector<int>(20, 20), std::vector<int>(40, 10), 1, 1);
    DrawGrid& grid = *g.grid;
    g.form.Show();

    SendMouse(grid, MouseAction::Down, 25, 15);
    EXPECT_EQ((Point{grid.Col(), grid.Row()}), (Point{1, 1}));
    SendMouse(grid, MouseAction::Move, 65, 35);
    EXPECT_EQ((Point{grid.Col(), grid.Row()}), (Point{3, 3}));

    // Past the bottom-right corner: both bits, every 60 ms, only while
    // the pointer stays past the edge and the button is held.
    std::vector<unsigned> directions;
    grid.OnTimedScroll = [&](unsigned d) { directions.push_back(d); };
    SendMouse(grid, MouseAction::Move, 120, 70);
    time.Advance(DrawGrid::TimedScrollPeriod * 2);
    SendMouse(grid, MouseAction::Move, 10, 5); // over the fixed cells: left and up
    time.Advance(DrawGrid::TimedScrollPeriod);
    SendMouse(grid, MouseAction::Move, 50, 25); // back inside: no more
    time.Advance(DrawGrid::TimedScrollPeriod * 3);
    EXPECT_EQ(directions, (std::vector<unsigned>{sdRight | sdDown, sdRight | sdDown, sdLeft | sdUp}));

    // Without a handler the current cell walks one cell per tick and the
    // grid scrolls along; the release ends it.
    grid.OnTimedScroll = nullptr;
    SendMouse(grid, MouseAction::Move, 60, 60); // below the client area
    const int row = grid.Row();
    time.Advance(DrawGrid::TimedScrollPeriod * 5);
    EXPECT_EQ(grid.Row(), row + 5);
    EXPECT_GT(grid.TopRow(), 1);
    EXPECT_LE(grid.CellRect(grid.Col(), grid.Row()).bottom, grid.ClientHeight());
    SendMouse(grid, MouseAction::Up, 60, 60);
    time.Advance(DrawGrid::TimedScrollPeriod * 5);
    EXPECT_EQ(grid.Row(), row + 5);
    EXPECT_EQ(time.host.ActiveCount(), 0);
}

TEST(DrawGrid, ColumnSizingByDraggingABorderInTheFixedRows)
{
    ScopedDialogScript script;
    // Columns 30 (fixed), 40, 0 (hidden), 50; fixed row 20.
    GridForm g(300, 100, {30, 40, 0, 50}, {20, 20, 20}, 1, 1);
    DrawGrid& grid = *g.grid;
    g.form.Show();

    struct BorderCase {
        int x, y, col;
    };
    const BorderCase borders[] = {
        {30, 5, 0}, {27, 5, 0}, {33, 19, 0}, {34, 5, -1}, {70, 5, 1}, // 70 is also the hidden column's border
        {120, 5, 3}, {123, 5, 3}, {70, 20, -1}, {200, 5, -1},
    };
    for (const BorderCase& b : borders) EXPECT_EQ(grid.ColumnBorderAt(b.x, b.y), b.col) << b.x << "," << b.y;

    std::vector<int> widthsSeen;
    grid.OnColWidthsChanged = [&] { widthsSeen.push_back(grid.ColWidths(1)); };
    // Without column sizing a press there selects nothing and sizes nothing.
    SendMouse(grid, MouseAction::Down, 70, 5);
    SendMouse(grid, MouseAction::Move, 90, 5);
    SendMouse(grid, MouseAction::Up, 90, 5);
    EXPECT_EQ(grid.ColWidths(1), 40);

    grid.SetColSizing(true);
    SendMouse(grid, MouseAction::Down, 71, 5);
    SendMouse(grid, MouseAction::Move, 81, 6);
    SendMouse(grid, MouseAction::Move, 101, 6);
    SendMouse(grid, MouseAction::Move, 0, 6); // never below 1 pixel
    SendMouse(grid, MouseAction::Up, 0, 6);
    EXPECT_EQ(widthsSeen, (std::vector<int>{50, 70, 1}));
    EXPECT_EQ(grid.ColWidths(1), 1);
    EXPECT_EQ(grid.ColWidths(2), 0);
    EXPECT_EQ((Point{grid.Col(), grid.Row()}), (Point{1, 1})); // sizing moved no cell

    // The handler may cut a width back (as a sheet limits its columns).
    grid.OnColWidthsChanged = [&] {
        if (grid.ColWidths(1) > 60) grid.SetColWidths(1, 60);
    };
    SendMouse(grid, MouseAction::Down, 31, 5);
    SendMouse(grid, MouseAction::Move, 200, 5);
    SendMouse(grid, MouseAction::Up, 200, 5);
    EXPECT_EQ(grid.ColWidths(1), 60);

    // A press below the fixed rows selects instead.
    SendMouse(grid, MouseAction::Down, 91, 30);
    SendMouse(grid, MouseAction::Move, 140, 30);
    SendMouse(grid, MouseAction::Up, 140, 30);
    EXPECT_EQ(grid.ColWidths(1), 60);
    EXPECT_EQ(grid.Col(), 3);
}

TEST(DrawGrid, InvalidationLogNamesTheCellsAskedFor)
{
    GridForm g(200, 100, {20, 20, 20, 20}, {20, 20, 20, 20}, 1, 1);
    DrawGrid& grid = *g.grid;
    grid.SetInvalidationLog(true);
    grid.InvalidateCell(2, 3);
    grid.MoveCurrent(3, 2, true); // old and new current cell
    grid.MoveCurrent(3, 2, true); // the same cell: nothing
    grid.Invalidate();
    grid.InvalidateCell(9, 9); // outside: asked for all the same
    const std::vector<Point> expected{{2, 3}, {1, 1}, {3, 2}, {-1, -1}, {9, 9}};
    EXPECT_EQ(grid.InvalidationLog(), expected);
    grid.ClearInvalidationLog();
    grid.SetInvalidationLog(false);
    grid.InvalidateCell(1, 1);
    EXPECT_TRUE(grid.InvalidationLog().empty());
}

TEST(DrawGrid, WheelScrollsRowsAndLeavesTheCurrentCell)
{
    ScopedDialogScript script;
    GridForm g(100, 50, {20, 20}, std::vector<int>(100, 10), 1, 1);
    DrawGrid& grid = *g.grid;
    g.form.Show();
    SendWheel(grid, -2, 30, 30); // towards the user: down
    EXPECT_EQ(grid.TopRow(), 1 + 2 * QApplication::wheelScrollLines());
    EXPECT_EQ(grid.Row(), 1);
    SendWheel(grid, 5, 30, 30);
    EXPECT_EQ(grid.TopRow(), 1);

    // A handler may keep the turn for itself.
    grid.OnMouseWheel = [](ShiftState, int, int, int, bool& handled) { handled = true; };
    SendWheel(grid, -1, 30, 30);
    EXPECT_EQ(grid.TopRow(), 1);
}

TEST(DrawGrid, PopupMenuFromRightButtonAndMenuKey)
{
    ScopedDialogScript script;
    GridForm g(200, 100, {20, 40, 40}, {20, 20, 20}, 1, 1);
    DrawGrid& grid = *g.grid;
    PopupMenu menu(&grid);
    menu.Items().Add("Edit");
    int popups = 0;
    menu.OnPopup = [&] { ++popups; };
    grid.SetPopupMenu(&menu);
    g.form.Show();

    SendMouse(grid, MouseAction::Down, 30, 30, mbRight);
    SendMouse(grid, MouseAction::Up, 30, 30, mbRight);
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(menu.Menu()->isVisible());
    EXPECT_EQ(menu.Menu()->pos(), grid.Widget()->mapToGlobal(QPoint(30, 30)));
    menu.Menu()->hide();

    // Automatic pop-up off: the right button shows nothing, the menu key
    // still shows the menu, at the current cell's lower left corner.
    menu.SetAutoPopup(false);
    SendMouse(grid, MouseAction::Down, 30, 30, mbRight);
    SendMouse(grid, MouseAction::Up, 30, 30, mbRight);
    EXPECT_EQ(popups, 1);
    ASSERT_TRUE(grid.MoveCurrent(2, 2, true));
    SendMenuKey(grid);
    EXPECT_EQ(popups, 2);
    EXPECT_EQ(menu.Menu()->pos(), grid.Widget()->mapToGlobal(QPoint(60, 60)));
    menu.Menu()->hide();

    // A menu that is gone is no longer shown.
    grid.SetPopupMenu(nullptr);
    SendMenuKey(grid);
    EXPECT_EQ(popups, 2);
}

TEST(DrawGrid, FocusHandlersRunBeforeTheGridsOwnHandling)
{
    ScopedDialogScript script;
    GridForm g(200, 100, {20, 40, 40}, {20, 20, 20}, 1, 1);
    DrawGrid& grid = *g.grid;
    auto* other = new DrawGrid(g.form);
    other->SetBounds(0, 120, 50, 50);
    std::vector<std::string> events;
    grid.SetInvalidationLog(true);
    grid.OnSetFocus = [&] { events.push_back("set, log " + std::to_string(grid.InvalidationLog().size())); };
    grid.OnKillFocus = [&] { events.push_back("kill, log " + std::to_string(grid.InvalidationLog().size())); };
    g.form.Show();
    ProcessMessages(); // the window becomes active
    grid.SetFocus();
    other->SetFocus();
    EXPECT_EQ(events, (std::vector<std::string>{"set, log 0", "kill, log 1"}));
    EXPECT_EQ(grid.InvalidationLog(), (std::vector<Point>{{1, 1}, {1, 1}}));
}

// The menu bar worked from the keyboard borrows the focus: the grid keeps it
// for the program until the focus moves on from the menu bar elsewhere.
TEST(DrawGrid, TheFocusLentToTheMenuBarIsNotLost)
{
    ScopedDialogScript script;
    GridForm g(200, 100, {20, 40, 40}, {20, 20, 20}, 1, 1);
    auto* bar = new MainMenu(g.form);
    bar->Items().Add("&File")->Add("&New");
    DrawGrid& grid = *g.grid;
    auto* other = new DrawGrid(g.form);
    other->SetBounds(0, 120, 50, 50);
    std::vector<std::string> events;
    grid.OnSetFocus = [&] { events.push_back("set"); };
    grid.OnKillFocus = [&] { events.push_back("kill"); };
    g.form.Show();
    ProcessMessages();
    grid.SetFocus();
    // Lent and given back.
    bar->Bar()->setFocus(Qt::MenuBarFocusReason);
    grid.Widget()->setFocus(Qt::MenuBarFocusReason);
    EXPECT_EQ(events, (std::vector<std::string>{"set"}));
    // Lent, and the focus then goes elsewhere: lost there.
    bar->Bar()->setFocus(Qt::MenuBarFocusReason);
    EXPECT_EQ(events, (std::vector<std::string>{"set"}));
    other->SetFocus();
    EXPECT_EQ(events, (std::vector<std::string>{"set", "kill"}));
    grid.SetFocus();
    EXPECT_EQ(events, (std::vector<std::string>{"set", "kill", "set"}));
}

TEST(DrawGrid, ScrollBarsSwitchedAfterBuilding)
{
    GridForm g(200, 100, std::vector<int>(20, 30), std::vector<int>(40, 10), 1, 1);
    DrawGrid& grid = *g.grid;
    EXPECT_EQ(grid.ClientWidth(), 200);
    grid.SetScrollBars(ssBoth);
    EXPECT_LT(grid.ClientWidth(), 200);
    EXPECT_LT(grid.ClientHeight(), 100);
    grid.SetLeftCol(100);
    const int maxLeftWithBars = grid.LeftCol();
    grid.SetScrollBars(ssNone);
    EXPECT_EQ(grid.ClientWidth(), 200);
    EXPECT_EQ(grid.ClientHeight(), 100);
    EXPECT_LE(grid.LeftCol(), maxLeftWithBars);
    // Nothing to scroll: no bars even when allowed.
    GridForm small(200, 100, {30, 30}, {10, 10}, 1, 1);
    small.grid->SetScrollBars(ssBoth);
    EXPECT_EQ(small.grid->ClientWidth(), 200);
    EXPECT_EQ(small.grid->ClientHeight(), 100);
}

TEST(DrawGrid, RenderedCellsShowWhatTheHandlerDraws)
{
    ScopedDialogScript script;
    GridForm g(160, 60, {40, 60, 0, 60}, {20, 20, 20}, 1, 1);
    DrawGrid& grid = *g.grid;
    grid.SetColor(clBlue);
    g.form.Show();
    QImage before = grid.Widget()->grab().toImage();
    // Without a draw handler the cells show the grid's colour only.
    EXPECT_EQ(before.pixelColor(50, 30), QColor(0, 0, 255));
    EXPECT_EQ(before.pixelColor(5, 5), QColor(0, 0, 255));

    std::vector<Point> drawn;
    grid.OnDrawCell = [&](int col, int row, const Rect& rect, GridDrawState state) {
        drawn.push_back({col, row});
        Canvas& c = grid.GetCanvas();
        c.GetBrush() = Brush{(state & gdFixed) != 0 ? clBtnFace : (state & gdSelected) != 0 ? clYellow : clWhite, bsSolid};
        c.FillRect(rect);
        c.GetFont().color = clBlack;
        c.GetBrush().style = bsClear;
        c.TextOut(rect.left + 2, rect.top + 2, std::to_string(col) + "/" + std::to_string(row));
    };
    QImage image = grid.Widget()->grab().toImage();
    image.save(QString::fromStdString((qmtest::OutputDir() / "drawgrid-cells.png").string()));
    // Every visible cell with room was drawn once; the hidden column never.
    EXPECT_EQ(drawn.size(), 9u);
    for (const Point& p : drawn) EXPECT_NE(p.x, 2);

    auto darkPixels = [&](const Rect& r) {
        int dark = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) dark += image.pixelColor(x, y).lightness() < 100;
        return dark;
    };
    for (int col : {0, 1, 3})
        for (int row : {0, 1, 2}) EXPECT_GT(darkPixels(grid.CellRect(col, row)), 5) << col << "/" << row;
    // Backgrounds: fixed face, current yellow, others white, beyond blue.
    EXPECT_EQ(image.pixelColor(1, 1), QColor(240, 240, 240));
    EXPECT_EQ(image.pixelColor(98, 38), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(158, 58), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(159, 1), QColor(240, 240, 240)); // the last column is cut at 160
}
