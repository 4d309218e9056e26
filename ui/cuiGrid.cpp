#include "ui/cuiGrid.h"

cuiGrid::cuiGrid(plat::Container& parent) : plat::DrawGrid(parent) {}

cuiGrid::~cuiGrid() { ClearHandlers(); }

bool cuiGrid::MoveCurrentCell(int col, int row, bool, bool show) { return MoveCurrent(col, row, show); }

void cuiGrid::ClearHandlers()
{
    OnSelectCell = nullptr;
    OnDrawCell = nullptr;
    OnColWidthsChanged = nullptr;
    OnTimedScroll = nullptr;
    OnSetFocus = nullptr;
    OnKillFocus = nullptr;
    OnPaintDone = nullptr;
    OnKeyUp = nullptr;
    OnKeyDown = nullptr;
    OnKeyPress = nullptr;
    OnMouseDown = nullptr;
    OnMouseMove = nullptr;
    OnMouseUp = nullptr;
    OnDblClick = nullptr;
    OnEnter = nullptr;
    OnExit = nullptr;
}
