// What the user does on a sheet: cell actions and what the cell engine
// answers (jumps, replayed keys, in-place editing, re-selected ranges),
// navigation over selectable cells, keys, mouse, multi-selection, the row
// pop-up menu, the in-place editor and repainting by scope.
#include "ui/cuiSheet.h"

#include "cells/indActiveCell.h"
#include "core/EventIds.h"
#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "platform/base/Clock.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheetHost.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int KeyEnter = 13;
constexpr int KeyDoubleClick = 256;
// Action codes of Left and Right when the cursor cannot move, and of the
// function keys (virtual key x 256).
constexpr int ActionLeftEdge = 0x2500;
constexpr int ActionRightEdge = 0x2700;
constexpr int FunctionKeyFactor = 256;
constexpr int PageStep = 10;
// The pauses before replayed keys, dropping by 6 ms from 30 ms.
constexpr int FirstReplayPause = 30;
constexpr int ReplayPauseStep = 6;
// Range flags of a capsule: a row range is selected; select it again.
constexpr int RangeSelected = 0x01;
constexpr int RangeReselect = 0x02;
constexpr int EditorMaxLength = 1024;
constexpr int ColSizingSlack = 4;
// The highest character that is sent to a cell as a typed key: codes from
// 256 on are action codes.
constexpr char32_t LastTypedKey = 127;

bool IsSelectable(const cmcCellObj& cell) { return (cell.FlagsB & cmcCellObj::LetterS) != 0; }
bool CarriesT(const cmcCellObj& cell) { return (cell.FlagsB & cmcCellObj::LetterT) != 0; }
int Sign(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

} // namespace

bool cuiSheet::IsCurrent(int col, int row) const { return col == m_grid->Col() && row == m_grid->Row(); }

bool cuiSheet::InGrid(int col, int row) const
{
    return col >= 0 && row >= 0 && col < m_grid->ColCount() && row < m_grid->RowCount();
}

CellExecResult cuiSheet::RunHandler(cmcCellCapsule* capsule, int notify)
{
    if (m_cellHandler) return m_cellHandler(capsule, notify);
    return m_engine->Exec(capsule, notify);
}

void cuiSheet::SendStatusCleared()
{
    if (g_EvMan != nullptr) g_EvMan->SendText(ev::StatusText, plat::clWindowText, plat::clBtnFace, "");
}

void cuiSheet::FillCapsule(int col, int row, cmcCellCapsule& capsule)
{
    capsule.Reset();
    capsule.Owner = m_grid;
    capsule.Grid = m_grid;
    capsule.Cell = &CellAt(col, row);
    m_cellRect = m_grid->GetCellRect(col, row);
    capsule.CellRect = &m_cellRect;
    capsule.Canvas = nullptr;
    capsule.Images = m_images;
    capsule.Parent = m_origin.get();
    capsule.OnChange = [this](cmcCellCapsule* c, CellChangeScope scope) { RedrawMatching(c, scope); };
    capsule.OnEdit = [this](cmcCellCapsule* c, int flag) { OpenEditorFor(c, flag); };
    capsule.Focused = IsCurrent(col, row);
    capsule.Printing = m_printerCanvas != nullptr;
    capsule.Sheet = this;
    if ((m_state & StMarks) != 0) {
        capsule.RangeFlags |= RangeSelected;
        const int firstCol = m_grid->FixedCols();
        const int anchorRow = m_anchorRow >= 0 ? m_anchorRow : m_grid->Row();
        const int a = CellAt(firstCol, anchorRow).Index;
        const int b = CellAt(firstCol, m_grid->Row()).Index;
        capsule.RangeFirst = std::min(a, b);
        capsule.RangeLast = std::max(a, b);
    }
}

void cuiSheet::DoAction(int col, int row, int key, int command, const std::string* text)
{
    const std::shared_ptr<bool> alive = m_alive;
    cmcCellCapsule capsule;
    int pause = FirstReplayPause;
    FillCapsule(col, row, capsule);
    capsule.Key = key;
    capsule.Command = command;
    if (text != nullptr) {
        capsule.Phase = cpEditText;
        capsule.Key = 0;
        capsule.EditText = *text;
    }

    if (IsPopup()) {
        // A pick commits the picked cell to the capsule that opened the pop-up.
        if (key != KeyEnter && key != KeyDoubleClick) return;
        cmcCellCapsule commit;
        if (m_origin) commit.Assign(*m_origin);
        commit.Parent = &capsule;
        commit.Phase = cpPicked;
        capsule.Key = 0;
        RunHandler(&commit, 1);
        if (!*alive) return;
        m_parent->Hide();
        if (g_EvMan != nullptr) g_EvMan->Send(ev::MenuRefresh, 0, 0);
        return;
    }

    CellExecResult result = RunHandler(&capsule, 1);
    for (int replays = 0;; ++replays) {
        if (!*alive) return;
        if (capsule.Jump != 0) {
            const int fromCol = m_grid->Col();
            const int fromRow = m_grid->Row();
            FocusCell(capsule.JumpCategory, capsule.JumpLabel, capsule.JumpIndex);
            // A replayed key whose jump stays where it is would only run again
            // on the same cell: the replay ends there.
            if (replays > 0 && fromCol == m_grid->Col() && fromRow == m_grid->Row()) break;
            col = m_grid->Col();
            row = m_grid->Row();
        }
        if (result == erPopupOpened) ClearMarks();
        if (result == erStartEdit) OpenInlineEditor(col, row, capsule.Text, capsule.SelStart, capsule.SelLength);
        if (capsule.JumpKey == 0 || replays >= MaxReplays) break;
        if (pause > 0) {
            m_grid->Repaint();
            plat::Sleep(static_cast<uint32_t>(pause));
            pause -= ReplayPauseStep;
        }
        const int replayKey = capsule.JumpKey;
        FillCapsule(col, row, capsule);
        capsule.Key = replayKey;
        result = RunHandler(&capsule, 1);
    }

    if (m_multiSelect != MultiSelectOff && (capsule.RangeFlags & RangeReselect) != 0) {
        // The engine moved a row range: select the moved rows again.
        ClearMarks();
        const cmcCellObj acted = *capsule.Cell;
        const int otherEnd = acted.Index == capsule.RangeFirst ? capsule.RangeLast : capsule.RangeFirst;
        int otherRow = -1;
        for (int r = 0; r < m_grid->RowCount(); ++r)
            for (int c = 0; c < m_colCount; ++c) {
                const cmcCellObj& cell = CellAt(c, r);
                if (cell.Label != acted.Label) continue;
                if (cell.Index >= capsule.RangeFirst && cell.Index <= capsule.RangeLast) SetMarked(c, r, true);
                if (cell.Index == otherEnd && otherRow < 0) otherRow = r;
            }
        // Without a cell at the other end the old anchor stays.
        if (otherRow >= 0) m_anchorRow = otherRow;
        m_state |= StMarks;
        UpdateLineHighlight();
    } else {
        ClearMarks();
        UpdateSelection(m_grid->Col(), m_grid->Row());
    }
    if (g_EvMan != nullptr) g_EvMan->Send(ev::MenuRefresh, 0, 0);
}

// ---- navigation ----

void cuiSheet::MoveBy(int dx, int dy)
{
    const bool horizontal = dx != 0;
    const int steps = std::abs(horizontal ? dx : dy);
    const int dir = Sign(horizontal ? dx : dy);
    const bool wrap = IsPopup() && std::abs(dx) <= 1 && std::abs(dy) <= 1 && m_grid->ScrollBars() == plat::ssNone;
    const int rows = m_grid->RowCount();
    int col = m_grid->Col();
    int row = m_grid->Row();
    for (int step = 0; step < steps; ++step) {
        bool found = false;
        int c = col;
        int r = row;
        const int count = horizontal ? m_colCount : rows;
        for (int walked = 1; walked <= count; ++walked) {
            int& pos = horizontal ? c : r;
            pos += dir;
            if (wrap) pos = (pos % count + count) % count;
            else if (pos < 0 || pos >= count) break;
            if (c == col && r == row) break; // back where the walk began
            if (IsSelectable(CellAt(c, r))) {
                found = true;
                break;
            }
        }
        if (!found && !IsPopup()) {
            // The nearest selectable cell of the following columns (rows),
            // nearest to the last reached row (column).
            if (horizontal) {
                for (c = col + dir; !found && c >= 0 && c < m_colCount; c += dir) {
                    int best = -1;
                    for (int k = 0; k < rows; ++k)
                        if (IsSelectable(CellAt(c, k)) &&
                            (best < 0 || std::abs(k - m_lastReachedRow) < std::abs(best - m_lastReachedRow)))
                            best = k;
                    if (best >= 0) {
                        r = best;
                        found = true;
                        break;
                    }
                }
            } else {
                for (r = row + dir; !found && r >= 0 && r < rows; r += dir) {
                    int best = -1;
                    for (int k = 0; k < m_colCount; ++k)
                        if (IsSelectable(CellAt(k, r)) &&
                            (best < 0 || std::abs(k - m_lastReachedCol) < std::abs(best - m_lastReachedCol)))
                            best = k;
                    if (best >= 0) {
                        c = best;
                        found = true;
                        break;
                    }
                }
            }
        }
        if (found) {
            col = c;
            row = r;
        }
        // Each step searches from where the one before it arrived.
        m_lastReachedCol = col;
        m_lastReachedRow = row;
        if (!found) break;
    }
    SelectCell(col, row);
    if (m_firstSelCol >= col) m_grid->SetLeftCol(m_grid->FixedCols());
    if (m_firstSelRow >= row) m_grid->SetTopRow(m_grid->FixedRows());
}

void cuiSheet::FocusCell(int category, int label, int index)
{
    // The match of the last row that has one.
    int foundCol = -1;
    int foundRow = -1;
    for (int row = 0; row < m_grid->RowCount(); ++row)
        for (int col = 0; col < m_colCount; ++col) {
            const cmcCellObj& cell = CellAt(col, row);
            if (IsSelectable(cell) && cell.Category == category && cell.Label == label && cell.Index == index) {
                foundCol = col;
                foundRow = row;
                break;
            }
        }
    if (foundCol >= 0) MoveTo(foundCol, foundRow);
}

void cuiSheet::SelectCell(int col, int row)
{
    if (IsCurrent(col, row)) return;
    UpdateSelection(col, row);
    m_state |= StMoving;
    m_grid->SetCol(col);
    m_state &= static_cast<uint8_t>(~StMoving);
    m_grid->SetRow(row);
    UpdatePopupMenu(m_grid->Col(), m_grid->Row(), false);
}

void cuiSheet::MoveTo(int col, int row)
{
    if (IsCurrent(col, row)) return;
    UpdateSelection(col, row);
    m_grid->MoveCurrentCell(col, row, true, false);
    UpdatePopupMenu(m_grid->Col(), m_grid->Row(), false);
}

bool cuiSheet::SelectCellAtPoint(int x, int y, bool probe)
{
    int col = -1;
    int row = -1;
    m_grid->GetMouseCell(x, y, col, row);
    if (col < 0 || row < 0) return false;
    if (!IsSelectable(CellAt(col, row)) && !FindSelectableLeft(col, row)) return false;
    if (!probe) SelectCell(col, row);
    return true;
}

bool cuiSheet::FindSelectableLeft(int& col, int row)
{
    for (int c = col; c >= 0; --c) {
        const cmcCellObj& cell = CellAt(c, row);
        if (IsSelectable(cell)) {
            col = c;
            return true;
        }
        if (!CarriesT(cell)) return false;
    }
    return false;
}

// ---- multi-selection ----

bool cuiSheet::IsSlotSelected(int col, int row)
{
    const clsSheetCellId& slot = CellSlot(col, row);
    if (slot.IsSelectableInMulti() && (slot.IsMarked() || slot.IsLineHighlighted())) return true;
    return IsCurrent(col, row);
}

void cuiSheet::UpdateSelection(int col, int row)
{
    const int curCol = m_grid->Col();
    const int curRow = m_grid->Row();
    bool extending = plat::KeyboardState().Has(plat::ssShift) || (m_state & StDrag) != 0;
    const bool eligible =
        ((m_multiSelect != MultiSelectOff && !IsCurrent(col, row)) || (m_state & StMarks) != 0) &&
        CellSlot(curCol, curRow).IsSelectableInMulti() && CellSlot(col, row).IsSelectableInMulti();
    if (!eligible || !extending || m_anchorCol < 0) {
        m_anchorCol = col;
        m_anchorRow = row;
    }
    if (sheethost::RowDeleteRunning()) {
        m_state &= static_cast<uint8_t>(~StDrag);
        extending = false;
    }
    if (extending && eligible) {
        const int left = std::min({m_anchorCol, curCol, col});
        const int right = std::max({m_anchorCol, curCol, col});
        const int top = std::min({m_anchorRow, curRow, row});
        const int bottom = std::max({m_anchorRow, curRow, row});
        const int markLeft = std::min(m_anchorCol, col);
        const int markRight = std::max(m_anchorCol, col);
        const int markTop = std::min(m_anchorRow, row);
        const int markBottom = std::max(m_anchorRow, row);
        for (int r = top; r <= bottom; ++r)
            for (int c = left; c <= right; ++c)
                SetMarked(c, r, c >= markLeft && c <= markRight && r >= markTop && r <= markBottom);
        m_state |= StMarks;
    } else if ((m_state & StMarks) != 0) {
        ClearMarks();
    } else {
        SetMarked(curCol, curRow, false);
        SetLineHighlight(curCol, curRow, false);
    }
    SetMarked(col, row, true);
    UpdateLineHighlight();
}

void cuiSheet::ClearMarks()
{
    if ((m_state & StMarks) == 0) return;
    for (int row = 0; row < m_slotRows; ++row)
        for (int col = 0; col < m_slotCols; ++col) SetMarked(col, row, false);
    UpdateLineHighlight();
    m_state &= static_cast<uint8_t>(~StMarks);
}

void cuiSheet::SetMarked(int col, int row, bool on)
{
    clsSheetCellId& slot = CellSlot(col, row);
    if (!IsSelectable(slot.Cell) || slot.IsMarked() == on) return;
    slot.Flags ^= clsSheetCellId::Marked;
    if (InGrid(col, row)) m_grid->InvalidateGridCell(col, row);
}

void cuiSheet::SetLineHighlight(int col, int row, bool on)
{
    clsSheetCellId& slot = CellSlot(col, row);
    if (!IsSelectable(slot.Cell) || slot.IsLineHighlighted() == on) return;
    slot.Flags ^= clsSheetCellId::LineHighlighted;
    if (on) m_state &= static_cast<uint8_t>(~StNoHighlights);
    if (InGrid(col, row)) m_grid->InvalidateGridCell(col, row);
}

void cuiSheet::UpdateLineHighlight()
{
    if ((m_state & StMarks) == 0 || m_multiSelect != MultiSelectLine) return;
    const int rows = m_grid->RowCount();
    const int fixedCols = m_grid->FixedCols();
    bool any = false;
    for (int row = 0; row < rows; ++row) {
        bool marked = false;
        for (int col = 0; col < m_colCount && !marked; ++col) marked = CellSlot(col, row).IsMarked();
        if (!marked && (m_state & StNoHighlights) != 0) continue;
        any = any || marked;
        for (int col = fixedCols; col < m_colCount; ++col) SetLineHighlight(col, row, marked);
    }
    if (!any) m_state |= StNoHighlights;
}

void cuiSheet::RedrawSelection()
{
    if (!HasSlots()) return;
    const int rows = m_grid->RowCount();
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < m_colCount; ++col)
            if (IsSlotSelected(col, row)) m_grid->InvalidateGridCell(col, row);
}

// ---- pop-up menu ----

void cuiSheet::FreePopupCuiMenu()
{
    if (!m_popupCuiMenu) return;
    m_popupCuiMenu.reset();
    // The items it built carry its cells: they go with it.
    m_popupMenu->Items().Clear();
}

void cuiSheet::UpdatePopupMenu(int col, int row, bool force)
{
    if (m_printerCanvas != nullptr || !HasSlots() || !m_grid->Focused()) return;
    const cmcCellObj* cell = &CellAt(col, row);
    if (cell == m_lastPopupCell && !force) return;
    m_lastPopupCell = cell;
    const std::string* key = cell->FindPopupMenu();
    if (!force && (key == nullptr || (m_lastPopupKey && *key == *m_lastPopupKey))) {
        g_EvMan->Send(ev::MenuRefresh, 0, 0);
        return;
    }
    m_lastPopupKey = key != nullptr ? std::optional<std::string>(*key) : std::nullopt;
    FreePopupCuiMenu();
    g_EvMan->Send(ev::MenuDeleteSubItems, 0, CL_Menu_Edit_Top);
    if (key != nullptr) {
        m_popupCuiMenu = std::make_unique<cuiMenu>(m_grid, &m_popupMenu->Items(), m_texts, *key,
                                                   [this](plat::MenuItem& item) { OnPopupItemClick(item); });
        m_popupCuiMenu->Build();
        g_EvMan->SendText(ev::MenuRebuildSubItems, reinterpret_cast<intptr_t>(m_popupCuiMenu.get()),
                          CL_Menu_Edit_Top, *m_lastPopupKey);
    }
    g_EvMan->Send(ev::MenuRefresh, 0, 0);
}

void cuiSheet::OnPopupMenuPopup()
{
    if (!HasSlots()) return;
    UpdatePopupMenu(m_grid->Col(), m_grid->Row(), false);
    // The items show what their commands can do on the cell as it is now,
    // also when the menu stays the one of the last refresh.
    if (g_EvMan != nullptr) g_EvMan->Send(ev::MenuRefresh, 0, 0);
}

void cuiSheet::OnPopupItemClick(plat::MenuItem& item)
{
    const cmcCellObj* cell = cuiMenu::CellOf(&item);
    if (cell == nullptr || !HasSlots()) return;
    DoAction(m_grid->Col(), m_grid->Row(), 0, cell->Label, nullptr);
}

// ---- in-place editor ----

void cuiSheet::OpenInlineEditor(int col, int row, const std::string& text, int selStart, int selLength)
{
    if (m_editor == nullptr) {
        m_editor = new plat::Memo(*m_framePanel);
        m_editor->SetVisible(false);
        m_editor->SetWordWrap(false);
        m_editor->SetBorder(false);
        m_editor->SetMaxLength(EditorMaxLength);
        m_editor->OnExit = [this] { CommitInlineEditor(); };
        m_editor->OnKeyDown = [this](int& key, plat::ShiftState shift) { OnEditorKeyDown(key, shift); };
        // A menu key leaves the editor as leaving it does (committing), and
        // the menus then open from the grid as they do without an editor.
        m_editor->OnMenuKey = [this] { CloseInlineEditor(true); };
    }
    ClearMarks();
    MoveTo(col, row);
    plat::Rect rect = m_grid->GetCellRect(col, row);
    rect.left += m_grid->Left();
    rect.right += m_grid->Left();
    rect.top += m_grid->Top();
    rect.bottom += m_grid->Top();
    if (rect.Width() < 1 || rect.Height() < 1) return;
    const cmcCellObj& cell = CellAt(col, row);
    plat::Font font = m_grid->GetFont();
    ApplyCellFont(cell, font);
    m_editor->SetFont(font);
    plat::Canvas& canvas = m_grid->GetCanvas();
    ApplyCellFont(cell, canvas.GetFont());
    const int textHeight = canvas.TextHeight("A");
    if (textHeight < rect.Height()) {
        int top = rect.top;
        if (cell.VertPlacement() == 1) top = rect.top + (rect.Height() - textHeight) / 2;
        else if (cell.VertPlacement() == 2) top = rect.bottom - textHeight;
        m_editor->SetBounds(rect.left, top, rect.Width(), textHeight);
    } else {
        m_editor->SetBounds(rect.left, rect.top, rect.Width(), rect.Height());
    }
    m_editor->SetRawText(text);
    m_editor->SetSelStart(selStart);
    m_editor->SetSelLength(selLength);
    m_editor->ClearUndo();
    m_editor->Show();
    m_editor->SetFocus();
    m_editorCol = col;
    m_editorRow = row;
}

void cuiSheet::CloseInlineEditor(bool focusGrid)
{
    if (m_editor == nullptr || !m_editor->Visible()) return;
    // The grid taking the focus commits the edit (the editor's OnExit).
    if (focusGrid && m_editor->Focused()) m_grid->SetFocus();
    m_editor->Hide();
}

void cuiSheet::CommitInlineEditor()
{
    if (m_editor == nullptr || !m_editor->Visible()) return;
    // Hidden before the action, so that a message box of the cell (which
    // takes the focus) cannot commit the same edit a second time.
    const std::string text = m_editor->RawText();
    const bool focused = m_editor->Focused();
    m_editor->Hide();
    if (focused) m_grid->SetFocus();
    DoAction(m_editorCol, m_editorRow, KeyEnter, 0, &text);
}

void cuiSheet::OpenEditorFor(cmcCellCapsule* capsule, int flag)
{
    if (flag != 0 || !HasSlots() || capsule->Cell != &CellAt(m_grid->Col(), m_grid->Row())) return;
    OpenInlineEditor(m_grid->Col(), m_grid->Row(), capsule->Text, capsule->SelStart, capsule->SelLength);
}

void cuiSheet::OnEditorKeyDown(int& key, plat::ShiftState shift)
{
    SendStatusCleared();
    if (m_editor == nullptr || !m_editor->Visible()) {
        OnGridKeyDown(key, shift);
        return;
    }
    switch (key) {
    case plat::VK_RETURN:
    case plat::VK_UP:
    case plat::VK_DOWN: {
        const int pressed = key;
        key = 0;
        const std::shared_ptr<bool> alive = m_alive;
        CommitInlineEditor();
        if (!*alive) return;
        if (pressed == plat::VK_UP) MoveBy(0, -1);
        if (pressed == plat::VK_DOWN) MoveBy(0, 1);
        break;
    }
    case plat::VK_ESCAPE: {
        // Closed without committing; the key goes on (to the window).
        auto onExit = std::move(m_editor->OnExit);
        m_editor->OnExit = nullptr;
        CloseInlineEditor(true);
        m_editor->OnExit = std::move(onExit);
        break;
    }
    case plat::VK_PRIOR:
    case plat::VK_NEXT: {
        const std::shared_ptr<bool> alive = m_alive;
        CommitInlineEditor();
        if (!*alive) return;
        OnGridKeyDown(key, shift);
        break;
    }
    default:
        break;
    }
}

// ---- keys and mouse ----

void cuiSheet::OnGridKeyDown(int& key, plat::ShiftState shift)
{
    CloseInlineEditor(true);
    SendStatusCleared();
    if (!HasSlots()) return;
    const int col = m_grid->Col();
    const int row = m_grid->Row();
    switch (key) {
    case plat::VK_PRIOR:
        MoveBy(0, -PageStep);
        break;
    case plat::VK_NEXT:
        MoveBy(0, PageStep);
        break;
    case plat::VK_END:
    case plat::VK_HOME:
        break;
    case plat::VK_LEFT:
    case plat::VK_RIGHT: {
        const bool left = key == plat::VK_LEFT;
        MoveBy(left ? -1 : 1, 0);
        if (IsCurrent(col, row)) DoAction(col, row, left ? ActionLeftEdge : ActionRightEdge, 0, nullptr);
        break;
    }
    case plat::VK_UP:
    case plat::VK_DOWN:
        if (!shift.IsExactly(plat::ssCtrl)) MoveBy(0, key == plat::VK_UP ? -1 : 1);
        break;
    default:
        if (key >= plat::VK_F1 && key <= plat::VK_F12) {
            DoAction(col, row, key * FunctionKeyFactor, 0, nullptr);
            break;
        }
        return; // passed on
    }
    key = 0;
}

void cuiSheet::OnGridKeyUp(int&, plat::ShiftState) { m_popupMenu->SetAutoPopup(true); }

void cuiSheet::OnGridKeyPress(char32_t& ch)
{
    const char32_t typed = ch;
    ch = 0;
    if (!HasSlots() || typed == 0 || typed > LastTypedKey) return;
    DoAction(m_grid->Col(), m_grid->Row(), static_cast<int>(typed), 0, nullptr);
}

void cuiSheet::OnGridMouseDown(plat::MouseButton button, plat::ShiftState, int x, int y)
{
    m_popupMenu->SetAutoPopup(false);
    if (button != plat::mbRight) {
        m_state |= StDrag;
        return;
    }
    if (!HasSlots()) return;
    const bool marks = (m_state & StMarks) != 0;
    const bool found = marks || SelectCellAtPoint(x, y, false);
    if (found && m_popupCuiMenu && !sheethost::ApplicationInactive()) {
        const plat::Point at = m_grid->ClientToScreen({x, y});
        m_popupMenu->Popup(at.x, at.y);
    }
    sheethost::ClearApplicationInactive();
}

void cuiSheet::OnGridMouseUp(plat::MouseButton button, plat::ShiftState, int, int)
{
    m_popupMenu->SetAutoPopup(false);
    m_state &= static_cast<uint8_t>(~StDrag);
    if (IsPopup() && button == plat::mbLeft) OnGridDblClick();
}

void cuiSheet::OnGridDblClick()
{
    if (!HasSlots()) return;
    const plat::Point p = m_grid->ScreenToClient(plat::CursorPos());

    int col = -1;
    int row = -1;
    m_grid->GetMouseCell(p.x, p.y, col, row);
    if ((m_options & OptColSizing) != 0) {
        const int fixedCols = m_grid->FixedCols();
        if (col >= fixedCols && row >= 0 && row < m_grid->FixedRows()) {
            const plat::Rect rect = m_grid->GetCellRect(col, row);
            if (p.x - rect.left <= ColSizingSlack) {
                int left = col - 1;
                while (left >= fixedCols && m_grid->ColWidths(left) <= 0) --left;
                if (left >= fixedCols) AutoFitColumn(left);
            } else if (rect.right - p.x <= ColSizingSlack) {
                AutoFitColumn(col);
            }
        } else if (col < 0) {
            int last = m_colCount - 1;
            while (last >= 0 && m_grid->ColWidths(last) <= 0) --last;
            if (last >= 0) {
                const int right = m_grid->GetCellRect(last, m_grid->TopRow()).right;
                if (p.x >= right && p.x - right <= ColSizingSlack) AutoFitColumn(last);
            }
        }
    }
    if (col < 0 || row < 0) return;
    FindSelectableLeft(col, row);
    if (IsCurrent(col, row)) DoAction(col, row, KeyDoubleClick, 0, nullptr);
}

void cuiSheet::OnGridMouseMove(plat::ShiftState, int x, int y)
{
    if (IsPopup() && m_lastMouseX >= 0 && (x != m_lastMouseX || y != m_lastMouseY) &&
        (m_editor == nullptr || !m_editor->Visible()) && HasSlots())
        SelectCellAtPoint(x, y, false);
    m_lastMouseX = x;
    m_lastMouseY = y;
}

void cuiSheet::OnGridTimedScroll(unsigned direction)
{
    if (!HasSlots()) return;
    const int dx = ((direction & plat::sdRight) != 0 ? 1 : 0) - ((direction & plat::sdLeft) != 0 ? 1 : 0);
    const int dy = ((direction & plat::sdDown) != 0 ? 1 : 0) - ((direction & plat::sdUp) != 0 ? 1 : 0);
    MoveBy(dx, dy);
}

void cuiSheet::InvalidateRow(int row)
{
    for (int col = m_grid->FixedCols(); col < m_colCount; ++col) m_grid->InvalidateGridCell(col, row);
}

void cuiSheet::OnGridSelectCell(int col, int row, bool& canSelect)
{
    SendStatusCleared();
    if ((m_state & StMoving) == 0 && HasSlots()) {
        const clsSheetCellId& slot = CellSlot(col, row);
        canSelect = IsSelectable(slot.Cell) && ((m_state & StMarks) == 0 || slot.IsSelectableInMulti());
        if (!IsCurrent(col, row) && g_EvMan != nullptr) {
            dst_CellRef ref;
            slot.Cell.GetCellRef(ref);
            g_EvMan->PostData(ev::CurrentCell, &ref, sizeof ref);
        }
        if (canSelect) {
            if (row != m_grid->Row() && !IsPopup()) {
                InvalidateRow(m_grid->Row());
                InvalidateRow(row);
            }
            m_selectingCol = col;
            m_selectingRow = row;
            UpdatePopupMenu(col, row, false);
            m_selectingCol = m_selectingRow = -1;
            UpdateSelection(col, row);
        }
    }
    CloseInlineEditor(true);
}

void cuiSheet::OnGridSetFocus()
{
    if (!HasSlots()) return;
    UpdatePopupMenu(m_grid->Col(), m_grid->Row(), true);
    RedrawSelection();
}

void cuiSheet::OnGridKillFocus()
{
    FreePopupCuiMenu();
    if (g_EvMan != nullptr) {
        g_EvMan->Send(ev::MenuDeleteSubItems, 0, CL_Menu_Edit_Top);
        g_EvMan->Send(ev::MenuRefresh, 0, 0);
    }
    RedrawSelection();
}

// ---- repainting ----

void cuiSheet::RedrawMatching(cmcCellCapsule* capsule, CellChangeScope scope)
{
    if (!HasSlots() || capsule == nullptr || capsule->Cell == nullptr) return;
    const cmcCellObj& o = *capsule->Cell;
    const bool oHasCategory = o.Category != CT_NoCategory;
    const int lastRow = std::min(m_grid->LastVisibleRow() + 1, m_grid->RowCount() - 1);
    const int lastCol = std::min(m_grid->LastVisibleCol() + 1, m_grid->ColCount() - 1);
    for (int row = 0; row <= lastRow; ++row)
        for (int col = 0; col <= lastCol; ++col) {
            const cmcCellObj& c = CellAt(col, row);
            const bool cHasLabel = c.Label != CL_NoLabel;
            const bool match =
                ((scope & csSameLabelAndIndex) != 0 && c.Label == o.Label && c.Index == o.Index) ||
                ((scope & csSameCategory) != 0 && c.Category == o.Category) ||
                ((scope & csSameLabel) != 0 && c.Label == o.Label) ||
                ((scope & csSameIndex) != 0 && c.Index == o.Index && oHasCategory && cHasLabel) ||
                ((scope & csNeighbourIndex) != 0 && c.Category == o.Category && cHasLabel &&
                 std::abs(c.Index - o.Index) <= 1) ||
                ((scope & csEveryLabelled) != 0 && cHasLabel) ||
                ((scope & csIndexAtOrAbove) != 0 && c.Index >= o.Index && oHasCategory && cHasLabel) ||
                ((scope & csIndexAtOrBelow) != 0 && c.Index <= o.Index && oHasCategory && cHasLabel);
            if (match) m_grid->InvalidateGridCell(col, row);
        }
}

void cuiSheet::RedrawForEvent(int type, intptr_t p2)
{
    cmcCellObj changed;
    changed.Category = type == ev::RepaintCategory ? static_cast<int>(p2) : 0;
    changed.Label = type == ev::RepaintLabel ? static_cast<int>(p2) : 0;
    changed.Index = type >= ev::RepaintIndex ? static_cast<int>(p2) : -1;
    CellChangeScope scope = csEveryLabelled;
    switch (type) {
    case ev::RepaintCategory: scope = csSameCategory; break;
    case ev::RepaintLabel: scope = csSameLabel; break;
    case ev::RepaintIndex: scope = csSameIndex; break;
    case ev::RepaintToIndex: scope = csIndexAtOrBelow; break;
    case ev::RepaintFromIndex: scope = csIndexAtOrAbove; break;
    default: break;
    }
    cmcCellCapsule capsule;
    capsule.Cell = &changed;
    RedrawMatching(&capsule, scope);
}

void cuiSheet::ReplyCurrentCell(const dst_Event* event)
{
    if (m_popupMenu == nullptr || !HasSlots()) return;
    if (event->p1 != reinterpret_cast<intptr_t>(static_cast<const plat::Component*>(&m_popupMenu->Items()))) return;
    if (m_selectingCol >= 0)
        g_EvMan->ReplyObject(CellAt(m_selectingCol, m_selectingRow));
    else
        g_EvMan->ReplyObject(CellAt(m_grid->Col(), m_grid->Row()));
}

void cuiSheet::OnEvent(const dst_Event* event)
{
    switch (event->type) {
    case ev::QueryCurrentCell:
        ReplyCurrentCell(event);
        break;
    case ev::RepaintLabelled:
    case ev::RepaintCategory:
    case ev::RepaintLabel:
    case ev::RepaintIndex:
    case ev::RepaintToIndex:
    case ev::RepaintFromIndex:
        RedrawForEvent(event->type, event->p2);
        break;
    case ev::ClosePopups:
        CommitInlineEditor();
        break;
    default:
        break;
    }
}
