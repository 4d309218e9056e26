#pragma once
// The drawing grid: a table of cells that its owner draws, with fixed rows
// and columns that stay in place while the rest scrolls in whole cells.
//
// Geometry. Columns 0 .. FixedCols-1 stand at the left and rows
// 0 .. FixedRows-1 at the top, always in view; the scrolling columns start at
// LeftCol right of them and the scrolling rows at TopRow below them. There
// are no grid lines: a cell begins where its left (upper) neighbour ends. A
// column of width 0 or a row of height 0 takes no room and is never hit by
// the mouse. Rectangles are in client coordinates (the grid's area without
// its scroll bars, origin at its top-left corner) with exclusive right and
// bottom edges (Rect.h).
//
// The current cell is always a scrolling cell (not in a fixed row or
// column). Before any change of it, whatever asks for it (a click, a drag, a
// program call), OnSelectCell is asked and may refuse. The grid has no
// keyboard navigation of its own: keys go to the handlers only (OnKeyDown,
// then OnKeyPress with the character, see Keys.h; then OnKeyUp); Tab still
// moves the focus on.
//
// Drawing: OnDrawCell is the only painter of the cells (without it cells
// show the grid's colour only); what lies beyond the last column and below
// the last row shows the grid's colour. Repaints never erase the cells
// first. During OnDrawCell the grid's canvas draws on the grid; at other
// times it measures text in its current font.
//
// Mouse, in this order for each event: the grid's own handling, then the
// control's mouse handlers (Control.h). Its own handling of the left
// button: a press on a scrolling cell makes it current (scrolled into view),
// and dragging moves the current cell along; dragging past an edge of the
// scrolling area scrolls on a timer (OnTimedScroll). With ColSizing a press
// on a column border within the fixed rows drags that column's width
// instead. The wheel scrolls rows and leaves the current cell where it is.
// The right button shows the pop-up menu when its automatic pop-up is on;
// the keyboard's menu key shows it at the current cell in any case.
#include "platform/ui/Control.h"
#include "platform/ui/StdControls.h"

#include <functional>
#include <memory>
#include <vector>

namespace plat {

class Canvas;
class GridWidget;
class PopupMenu;
class QtCanvas;
class Timer;

// What OnDrawCell is told about a cell; any combination of these bits.
enum GridDrawFlag : unsigned {
    gdSelected = 1u << 0, // the current cell
    gdFocused = 1u << 1,  // the current cell while the grid has the keyboard focus
    gdFixed = 1u << 2,    // a cell of a fixed row or column
};
using GridDrawState = unsigned;

// Directions of a timed scroll while dragging: where the pointer lies past
// the edges of the scrolling area (two bits for a corner).
enum ScrollDirection : unsigned {
    sdLeft = 1,
    sdRight = 2,
    sdUp = 4,
    sdDown = 8,
};

class DrawGrid : public Control {
public:
    // Defaults: 5 x 5 cells, one fixed row and column, cells 64 x 24, both
    // scroll bars (shown when needed), colour clWindow, no column sizing.
    explicit DrawGrid(Container& parent);
    ~DrawGrid() override;

    // ---- Cells ----

    // The number of columns (rows), at least 1. Columns (rows) that are
    // added take the default width (height). When the count drops, the
    // fixed columns (rows) drop below it and the current cell moves into
    // what is left without asking OnSelectCell (there is no other choice).
    int ColCount() const { return static_cast<int>(m_colWidths.size()); }
    void SetColCount(int count);
    int RowCount() const { return static_cast<int>(m_rowHeights.size()); }
    void SetRowCount(int count);
    // Fixed columns (rows), 0 to count - 1; a current cell among them moves
    // to the first scrolling one.
    int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int count);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int count);
    // Setting a default width (height) gives it to every column (row).
    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int height);
    // Widths and heights in pixels, 0 or more (0 hides). Reading outside the
    // grid gives 0; setting outside it does nothing. A change of a column
    // width runs OnColWidthsChanged (whoever changed it).
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    // The sum of all column widths (row heights), fixed ones included.
    int GridWidth() const;
    int GridHeight() const;
    // The sums over the fixed columns (rows) only.
    int FixedWidth() const;
    int FixedHeight() const;
    // The size of the client area: the grid without its scroll bars.
    int ClientWidth() const;
    int ClientHeight() const;

    // ---- Scrolling ----

    // The first scrolling column (row) in view. Set values are kept between
    // the first scrolling column and the last one that still fills the
    // client area with the columns after it (so no room is wasted).
    int LeftCol() const { return m_leftCol; }
    void SetLeftCol(int col);
    int TopRow() const { return m_topRow; }
    void SetTopRow(int row);
    // The last column (row) that is at least partly in view, fixed ones
    // included; -1 when none is.
    int LastVisibleCol() const;
    int LastVisibleRow() const;
    // Which scroll bars the grid may show (ScrollStyle, StdControls.h); a
    // bar is shown when there is something to scroll that way. May be
    // changed at any time; the client size follows at once.
    ScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(ScrollStyle bars);

    // ---- Current cell ----

    int Col() const { return m_col; }
    int Row() const { return m_row; }
    // Makes (col, Row) or (Col, row) current when it differs from the
    // current cell, as MoveCurrent with show.
    void SetCol(int col);
    void SetRow(int row);
    // Asks OnSelectCell (also for the current cell itself) and, when it
    // agrees, makes the cell current; with show the cell is then scrolled
    // into view. The old and the new current cell are invalidated. False
    // when refused, or when the cell is not a scrolling cell of the grid.
    bool MoveCurrent(int col, int row, bool show);

    // ---- Options ----

    // The user may drag column borders within the fixed rows.
    bool ColSizing() const { return m_colSizing; }
    void SetColSizing(bool on) { m_colSizing = on; }
    // How far from a border (pixels, either side) a press takes the border.
    static constexpr int ColSizingMargin = 3;
    // Enter typed into the grid goes to its cells (off: to the form's
    // default button, as in a dialog whose cells take no Enter).
    void SetWantsReturn(bool on) { m_wantsReturn = on; }

    // ---- Geometry and painting ----

    // The rectangle of a cell in view, in client coordinates; the whole
    // cell even when the client area cuts it. A cell out of view (scrolled
    // away, beyond the client area, or not in the grid) gives an empty
    // rectangle at 0, 0.
    Rect CellRect(int col, int row) const;
    // The column and row under a client point, each -1 when the point lies
    // outside every column (row) in view.
    void MouseToCell(int x, int y, int& col, int& row) const;
    // The column whose right border lies within ColSizingMargin of a client
    // point in the fixed rows (columns of width 0 never), else -1. This is
    // the border that a press drags when ColSizing is on.
    int ColumnBorderAt(int x, int y) const;
    // Schedules the repaint of one cell (nothing when it is out of view).
    void InvalidateCell(int col, int row);
    // Schedules the repaint of the whole client area, without erasing.
    void Invalidate() override;
    // Paints what is scheduled at once.
    void Repaint() override;
    // The grid's canvas (font: the grid's at the start of each repaint).
    Canvas& GetCanvas();

    // ---- Pop-up menu ----

    // The menu that the right button (with its automatic pop-up on) and the
    // menu key show; none by default. The grid does not own it.
    PopupMenu* GetPopupMenu() const;
    void SetPopupMenu(PopupMenu* menu);

    // ---- Handlers ----

    // Before the current cell changes (canSelect starts true).
    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
    // Paints one cell in view: rect in client coordinates (the whole cell),
    // drawn on GetCanvas().
    std::function<void(int col, int row, const Rect& rect, GridDrawState state)> OnDrawCell;
    // After every change of a column width.
    std::function<void()> OnColWidthsChanged;
    // While the pointer is dragged past an edge, every TimedScrollPeriod
    // ms: the directions (ScrollDirection bits). Without a handler the
    // current cell moves one cell that way (through OnSelectCell).
    std::function<void(unsigned directions)> OnTimedScroll;
    static constexpr int TimedScrollPeriod = 60;
    // The grid gains (loses) the keyboard focus, for any reason (also when
    // its window is activated or deactivated) but a pop-up menu opening or
    // closing, or the menu bar borrowing the focus while it is worked from
    // the keyboard (the focus stays where it is then, as far as the program
    // is concerned, and the grid still draws as focused); called before the
    // grid's own handling (which invalidates the current cell).
    std::function<void()> OnSetFocus;
    std::function<void()> OnKillFocus;
    // After every repaint pass, once every cell of the pass is drawn.
    std::function<void()> OnPaintDone;
    // A key is released (not for the repeats of a held key).
    KeyDownHandler OnKeyUp;

    // ---- Tests ----

    // While the log is on, every repaint that is asked for is noted:
    // InvalidateCell as (col, row) (the grid's own calls included), and
    // Invalidate and Repaint as (-1, -1). Turning the log on empties it.
    void SetInvalidationLog(bool on);
    const std::vector<Point>& InvalidationLog() const { return m_invalidationLog; }
    void ClearInvalidationLog() { m_invalidationLog.clear(); }

protected:
    void ApplyGeometry(int left, int top, int width, int height) override;
    bool WantsReturn() const override { return m_wantsReturn; }

private:
    friend class GridWidget;
    struct Drag;

    GridWidget* View() const;
    bool IsScrollingCell(int col, int row) const;
    int MaxLeftCol(int clientWidth) const;
    int MaxTopRow(int clientHeight) const;
    void Relayout();
    void ClampTopLeft();
    void ScrollInView(int col, int row);
    void Note(int col, int row);
    void Paint(const Rect& area, bool hasFocus);
    void MousePress(int button, ShiftState shift, int x, int y);
    void MouseMove(ShiftState shift, int x, int y);
    void MouseRelease(int x, int y);
    void TimedScrollTick();
    unsigned DirectionsPast(Point p) const;
    void ShowPopupAt(Point screen);
    void ShowPopupAtCurrentCell();

    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_leftCol = 1;
    int m_topRow = 1;
    int m_col = 1;
    int m_row = 1;
    ScrollStyle m_scrollBars = ssBoth;
    bool m_hBarShown = false;
    bool m_vBarShown = false;
    bool m_colSizing = false;
    bool m_wantsReturn = false;
    bool m_relayouting = false;
    PopupMenu* m_popupMenu = nullptr;
    std::unique_ptr<QtCanvas> m_canvas;
    std::unique_ptr<Drag> m_drag;
    std::unique_ptr<Timer> m_scrollTimer;
    std::shared_ptr<bool> m_alive;
    bool m_logging = false;
    std::vector<Point> m_invalidationLog;
};

} // namespace plat
