#pragma once
// The grid a sheet draws on: the window layer's drawing grid with the
// handlers a sheet installs and public wrappers of the grid operations the
// sheet and the cell engine use.
//
// Handlers (all empty at construction): select cell, draw cell, column
// widths changed, set focus, kill focus and timed scroll (direction bits:
// left 1, right 2, up 4, down 8), besides the key, mouse and double-click
// handlers every control has. Without a draw handler nothing is painted in
// the cells; without a select handler the grid's own rule decides.
#include "platform/ui/DrawGrid.h"

#include <functional>

class cuiGrid : public plat::DrawGrid {
public:
    explicit cuiGrid(plat::Container& parent);
    ~cuiGrid() override;

    void SetOnSetFocus(std::function<void()> handler) { OnSetFocus = std::move(handler); }
    void SetOnKillFocus(std::function<void()> handler) { OnKillFocus = std::move(handler); }
    void SetOnTimedScroll(std::function<void(unsigned directions)> handler) { OnTimedScroll = std::move(handler); }
    // Runs after every repaint pass, once every cell of the pass is drawn.
    void SetOnPaintDone(std::function<void()> handler) { OnPaintDone = std::move(handler); }

    // The client rectangle of a cell (empty when out of view).
    plat::Rect GetCellRect(int col, int row) const { return CellRect(col, row); }
    // The column and row under a client point, each -1 outside the cells.
    void GetMouseCell(int x, int y, int& col, int& row) const { MouseToCell(x, y, col, row); }
    // Schedules the repaint of one cell.
    void InvalidateGridCell(int col, int row) { InvalidateCell(col, row); }
    // Makes a cell current through the select handler; with show it is
    // scrolled into view. False when refused.
    bool MoveCurrentCell(int col, int row, bool moveAnchor, bool show);

    // Empties every handler (the grid then calls nobody back).
    void ClearHandlers();
};
