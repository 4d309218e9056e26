// A sheet's life: construction, the build of its panels and grid, showing
// with the cursor placed, and destruction.
#include "ui/cuiSheet.h"

#include "cells/indActiveCell.h"
#include "core/EventIds.h"
#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "platform/base/Fatal.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Printer.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheetHost.h"

#include <algorithm>

namespace {
constexpr int TitleBevelWidth = 2;
constexpr int TitlePadding = 8;
constexpr int FrameBevelWidth = 2;
constexpr int PopupFrameBevelWidth = 1;
constexpr int PopupFrameBorderWidth = 2;
} // namespace

cuiSheet::cuiSheet(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex,
                   cmcGTex* texts, const std::string& key, plat::ImageList* images)
    : m_parent(parent), m_texts(texts), m_key(key), m_images(images), m_focusLabel(focusLabel),
      m_focusIndex(focusIndex), m_spec(key), m_titleColor(plat::clGrayText), m_engine(std::make_unique<indActiveCell>())
{
    if (origin != nullptr) {
        m_origin = std::make_unique<cmcCellCapsule>();
        m_origin->Assign(*origin);
    }
    ComputeSelectionColors();
    sheethost::ClearApplicationInactive();
    m_events = cmcEvSubscription(MemberEventHandler<&cuiSheet::OnEvent>(this));
}

cuiSheet::~cuiSheet()
{
    m_events.Reset();
    *m_alive = false;
    // Nothing of the sheet may run while its parts go.
    if (m_editor != nullptr) {
        m_editor->OnExit = nullptr;
        m_editor->OnKeyDown = nullptr;
    }
    if (m_grid != nullptr) {
        m_grid->ClearHandlers();
        if (m_printerCanvas == nullptr && !IsPopup()) SaveColumnWidths();
    }
    if (g_EvMan != nullptr) g_EvMan->Send(ev::ControlClosing, 0, reinterpret_cast<intptr_t>(m_grid));
    delete m_titlePanel;
    m_popupCuiMenu.reset();
    delete m_framePanel; // with the grid, its pop-up menu and the in-place editor
}

const std::string& cuiSheet::SetCode(const std::string& code)
{
    m_code = code;
    return m_code;
}

void cuiSheet::SetPopupMode(bool popup)
{
    if (popup) m_options |= OptPopup;
    else m_options &= static_cast<uint8_t>(~OptPopup);
}

void cuiSheet::SetPrinter(plat::Printer* printer)
{
    m_printerCanvas = printer != nullptr ? &printer->GetCanvas() : nullptr;
    m_previewCanvas = nullptr;
    m_printerPpi = printer != nullptr ? printer->PixelsPerInch() : 0;
    // A whole number, at least 1 (a printer coarser than the screen still
    // prints at the screen's sizes).
    m_scale = printer != nullptr ? std::max(1, m_printerPpi / plat::GetScreenPixelsPerInch()) : 1;
}

void cuiSheet::SetPaperColumns(const std::vector<int>& cols)
{
    m_paperColumn.clear();
    for (int col : cols) {
        if (col < 0) continue;
        if (size_t(col) >= m_paperColumn.size()) m_paperColumn.resize(size_t(col) + 1, false);
        m_paperColumn[size_t(col)] = true;
    }
}

void cuiSheet::SetPrintTarget(plat::Printer* printer, plat::Canvas* bitmapCanvas)
{
    m_printerCanvas = printer != nullptr ? &printer->GetCanvas() : nullptr;
    m_previewCanvas = bitmapCanvas;
    m_printerPpi = printer != nullptr ? printer->PixelsPerInch() : 0;
    m_scale = 1.0;
}

void cuiSheet::SetStartPosition(int col, int row, int leftCol, int topRow)
{
    m_startCol = col;
    m_startRow = row;
    m_startLeftCol = leftCol;
    m_startTopRow = topRow;
}

clsSheetCellId& cuiSheet::CellSlot(int col, int row)
{
    if (col < 0 || row < 0 || col >= m_slotCols || row >= m_slotRows) plat::Fatal("Illegal Cell selection");
    return m_slots[static_cast<size_t>(row) * static_cast<size_t>(m_slotCols) + static_cast<size_t>(col)];
}

std::string cuiSheet::Title() const { return m_title; }

bool cuiSheet::IsPrintable() const { return (m_options & OptNoPrint) == 0; }

bool cuiSheet::CanPrintCurrent() { return IsPrintable(); }

void cuiSheet::ScrollHome()
{
    m_grid->SetLeftCol(m_grid->FixedCols());
    m_grid->SetTopRow(m_grid->FixedRows());
}

int cuiSheet::FullWidth() const
{
    int sum = 0;
    for (int col = 0; col < m_grid->ColCount(); ++col) sum += m_grid->ColWidths(col);
    return m_parent->Width() + sum - m_grid->ClientWidth();
}

int cuiSheet::FullHeight() const
{
    int sum = 0;
    for (int row = 0; row < m_grid->RowCount(); ++row) sum += m_grid->RowHeights(row);
    return m_parent->Height() + sum - m_grid->ClientHeight();
}

std::string cuiSheet::RenderedText(int col, int row)
{
    cmcCellCapsule capsule;
    capsule.Owner = m_grid;
    capsule.Cell = &CellAt(col, row);
    capsule.Parent = m_origin.get();
    capsule.Images = m_images;
    capsule.Printing = m_printerCanvas != nullptr;
    capsule.Sheet = this;
    RunHandler(&capsule, 0);
    return capsule.Text;
}

void cuiSheet::Show()
{
    if (!m_cellHandler) m_cellHandler = [this](cmcCellCapsule* c, int notify) { return m_engine->Exec(c, notify); };
    m_busy = true;
    Build();
    const int cols = m_grid->ColCount();
    const int rows = m_grid->RowCount();
    if (m_startCol >= cols || m_startLeftCol >= cols || m_startRow >= rows || m_startTopRow >= rows)
        m_startCol = m_startRow = -1;
    if (m_startCol < 0 || m_startRow < 0) {
        if (m_focusLabel != 0) {
            bool done = false;
            for (int row = 0; row < rows && !done; ++row)
                for (int col = 0; col < cols && !done; ++col) {
                    const cmcCellObj& cell = CellAt(col, row);
                    if ((cell.FlagsB & cmcCellObj::LetterS) != 0 && cell.Label == m_focusLabel &&
                        cell.Index == m_focusIndex) {
                        SelectCell(col, row);
                        done = true;
                    }
                }
        } else {
            OpenOnFirstCell();
        }
    } else if ((CellAt(m_startCol, m_startRow).FlagsB & cmcCellObj::LetterS) != 0) {
        if (m_grid->GridWidth() >= m_grid->ClientWidth() && m_startLeftCol >= 0) m_grid->SetLeftCol(m_startLeftCol);
        if (m_grid->GridHeight() >= m_grid->ClientHeight() && m_startTopRow >= 0) m_grid->SetTopRow(m_startTopRow);
        MoveTo(m_startCol, m_startRow);
    }
    if ((CellAt(m_grid->Col(), m_grid->Row()).FlagsB & cmcCellObj::LetterS) == 0) m_grid->SetEnabled(false);
    m_busy = false;
    m_grid->Invalidate();
    UpdatePopupMenu(m_grid->Col(), m_grid->Row(), false);
}

void cuiSheet::OpenOnFirstCell()
{
    // The first selectable cell that shows, rows from the top and each row
    // from the left; the sheet shows its top rows and left columns.
    const int cols = std::min(m_slotCols, m_grid->ColCount());
    const int rows = std::min(m_slotRows, m_grid->RowCount());
    for (int row = m_grid->FixedRows(); row < rows; ++row)
        for (int col = m_grid->FixedCols(); col < cols; ++col)
            if ((CellAt(col, row).FlagsB & cmcCellObj::LetterS) != 0 && m_grid->ColWidths(col) > 0) {
                MoveTo(col, row);
                ScrollHome();
                return;
            }
}

void cuiSheet::Build()
{
    ApplyStyleText(m_texts->GetText(m_key + "_Style", 0));
    if (!m_title.empty()) {
        m_titlePanel = new plat::Panel(*m_parent);
        m_titlePanel->SetVisible(false);
        m_titlePanel->SetAlign(plat::alTop);
        m_titlePanel->SetBevelOuter(plat::bvLowered);
        m_titlePanel->SetBevelWidth(TitleBevelWidth);
        m_titleLabel = new plat::Label(*m_titlePanel);
        m_titleLabel->SetAutoSize(false);
        m_titleLabel->SetAlign(plat::alClient);
        m_titleLabel->SetLayout(plat::Label::tlCenter);
        if (m_titleFont) m_titleLabel->SetFont(*m_titleFont);
        m_titleLabel->SetColor(m_titleColor);
        m_titleLabel->SetCaption(m_title);
    }
    m_framePanel = new plat::Panel(*m_parent);
    m_framePanel->SetVisible(false);
    m_framePanel->SetAlign(plat::alClient);
    if (IsPopup()) {
        m_framePanel->SetBevelOuter(plat::bvRaised);
        m_framePanel->SetBevelWidth(PopupFrameBevelWidth);
        m_framePanel->SetBorderWidth(PopupFrameBorderWidth);
    } else {
        m_framePanel->SetBevelOuter(plat::bvLowered);
        m_framePanel->SetBevelWidth(FrameBevelWidth);
    }
    m_grid = new cuiGrid(*m_framePanel);
    m_grid->SetAlign(plat::alClient);
    if (m_titleLabel != nullptr) {
        // The title's text height, measured in the label's font.
        plat::Canvas& canvas = m_grid->GetCanvas();
        const plat::Font labelFont = m_titleLabel->GetFont();
        AssignFont(&canvas.GetFont(), &labelFont);
        m_titlePanel->SetHeight(MultiLineTextExtent(canvas, m_title).cy + TitleBevelWidth + TitlePadding);
    }
    LoadCells();
    m_grid->SetColSizing((m_options & OptColSizing) != 0);
    m_grid->SetFixedCols(std::max(0, std::min(m_fixedCols, m_grid->ColCount() - 1)));
    m_grid->SetFixedRows(std::max(0, std::min(m_fixedRows, m_grid->RowCount() - 1)));
    m_grid->SetScrollBars(plat::ssBoth);
    m_popupMenu = new plat::PopupMenu(m_grid);
    m_grid->SetPopupMenu(m_popupMenu);
    m_popupMenu->SetAutoPopup(false);
    // The cursor settles on a selectable cell near the top-left corner: from
    // the first cell the grid lets be current (never a fixed one).
    MoveTo(m_grid->FixedCols(), m_grid->FixedRows());
    MoveBy(0, 1);
    MoveBy(0, -1);
    MoveBy(1, 0);
    MoveBy(-1, 0);
    InstallGridHandlers();
    if (m_titlePanel != nullptr) m_titlePanel->Show();
    m_framePanel->Show();
}

void cuiSheet::InstallGridHandlers()
{
    m_grid->SetOnSetFocus([this] { OnGridSetFocus(); });
    m_grid->SetOnKillFocus([this] { OnGridKillFocus(); });
    m_grid->OnKeyDown = [this](int& key, plat::ShiftState shift) { OnGridKeyDown(key, shift); };
    m_grid->OnKeyUp = [this](int& key, plat::ShiftState shift) { OnGridKeyUp(key, shift); };
    m_grid->OnKeyPress = [this](char32_t& ch) { OnGridKeyPress(ch); };
    m_grid->OnMouseDown = [this](plat::MouseButton b, plat::ShiftState shift, int x, int y) {
        OnGridMouseDown(b, shift, x, y);
    };
    m_grid->OnMouseUp = [this](plat::MouseButton b, plat::ShiftState shift, int x, int y) {
        OnGridMouseUp(b, shift, x, y);
    };
    m_grid->OnDblClick = [this] { OnGridDblClick(); };
    m_grid->OnMouseMove = [this](plat::ShiftState shift, int x, int y) { OnGridMouseMove(shift, x, y); };
    m_grid->SetOnTimedScroll([this](unsigned directions) { OnGridTimedScroll(directions); });
    m_grid->OnSelectCell = [this](int col, int row, bool& canSelect) { OnGridSelectCell(col, row, canSelect); };
    m_grid->OnDrawCell = [this](int col, int row, const plat::Rect& rect, plat::GridDrawState) {
        DrawCell(col, row, rect);
    };
    m_grid->SetOnPaintDone([this] { OnGridPaintDone(); });
    m_grid->OnColWidthsChanged = [this] { OnGridColWidthsChanged(); };
    m_popupMenu->OnPopup = [this] { OnPopupMenuPopup(); };
}

namespace {
int64_t PackCell(int col, int row) { return static_cast<int64_t>(row) * 65536 + col; }
} // namespace

void cuiSheet::NotePainted(int col, int row) { m_paintedThisPass.push_back(PackCell(col, row)); }

void cuiSheet::InvalidateTail(int col, int row) { m_tailsThisPass.push_back(PackCell(col, row)); }

void cuiSheet::OnGridPaintDone()
{
    std::sort(m_paintedThisPass.begin(), m_paintedThisPass.end());
    for (int64_t tail : m_tailsThisPass)
        if (!std::binary_search(m_paintedThisPass.begin(), m_paintedThisPass.end(), tail))
            m_grid->InvalidateGridCell(static_cast<int>(tail % 65536), static_cast<int>(tail / 65536));
    m_paintedThisPass.clear();
    m_tailsThisPass.clear();
}
