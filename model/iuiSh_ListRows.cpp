#include "model/iuiSh_ListRows.h"

#include "ui/cuiGrid.h"

#include <algorithm>

iuiSh_ListRows::iuiSh_ListRows(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel,
                               int focusIndex, cmcGTex* texts, const std::string& key, plat::ImageList* images)
    : cuiSheet(parent, origin, focusLabel, focusIndex, texts, key, images)
{
}

void iuiSh_ListRows::LoadCells()
{
    cuiSheet::LoadCells();
    const int rows = m_grid->RowCount();
    if (rows >= PreparedRows) return;
    m_slots.resize(static_cast<size_t>(m_slotCols) * PreparedRows);
    m_slotRows = PreparedRows;
    for (int row = rows; row < PreparedRows; ++row)
        for (int col = 0; col < m_slotCols; ++col) {
            const clsSheetCellId& above = CellSlot(col, row - 1);
            clsSheetCellId& slot = CellSlot(col, row);
            slot.Cell.Assign(above.Cell);
            ++slot.Cell.Index;
            slot.Flags = above.Flags & (clsSheetCellId::SelectableInMulti | clsSheetCellId::Marked |
                                        clsSheetCellId::LineHighlighted);
        }
}

void iuiSh_ListRows::ParseRows(const std::string& cellsKey)
{
    m_notMarkableRows.clear();
    cuiSheet::ParseRows(cellsKey);
    for (int row = 0; row < m_rowCount; ++row) {
        const bool markable =
            std::find(m_notMarkableRows.begin(), m_notMarkableRows.end(), row) == m_notMarkableRows.end();
        m_rowAtr[row].Flags = markable ? dst_SheetRowAtr::Selectable : 0;
    }
}

void iuiSh_ListRows::OnBuildRow(int row)
{
    if (row == m_loopRow) m_counters[0] = m_firstItem;
}

void iuiSh_ListRows::OnBuildCell(int, int) {}

bool iuiSh_ListRows::IsBareLoopFrom(std::string_view item)
{
    return item.substr(0, 8) == "LoopFrom" && item.find(' ') == std::string_view::npos;
}

void iuiSh_ListRows::OpenListLoop(std::optional<int> count, bool lastNotMarkable)
{
    m_loopStart = m_currentLine;
    if (count) m_loopCount = *count;
    if (lastNotMarkable) {
        m_selectFlag = false;
        if (count && *count > 0) m_notMarkableRows.push_back(m_rowCount + *count - 1);
    }
    if (m_loopRow < 0) m_loopRow = m_rowCount;
}

void iuiSh_ListRows::DeselectHiddenColumns()
{
    for (int col = 0; col < m_grid->ColCount(); ++col) {
        if (m_grid->ColWidths(col) != 0) continue;
        for (int row = 0; row < m_grid->RowCount(); ++row) CellAt(col, row).FlagsB &= ~cmcCellObj::LetterS;
    }
}

bool iuiSh_ListRows::AddRow()
{
    const int r = m_grid->RowCount();
    if (m_loopRow < 0 || r >= m_slotRows) return false;
    for (int col = 0; col < m_slotCols; ++col) {
        CellSlot(col, r - 1).Flags |= clsSheetCellId::SelectableInMulti;
        CellSlot(col, r).Flags &= static_cast<uint8_t>(~clsSheetCellId::SelectableInMulti);
    }
    m_rowCount = r + 1;
    m_grid->SetRowCount(r + 1);
    m_grid->SetRowHeights(r, m_grid->RowHeights(r - 1));
    return true;
}

bool iuiSh_ListRows::RemoveRow()
{
    const int count = m_grid->RowCount();
    if (m_loopRow < 0 || count <= m_loopRow + 1) return false;
    for (int col = 0; col < m_slotCols; ++col)
        CellSlot(col, count - 2).Flags &= static_cast<uint8_t>(~clsSheetCellId::SelectableInMulti);
    m_rowCount = count - 1;
    m_grid->SetRowCount(count - 1);
    return true;
}
