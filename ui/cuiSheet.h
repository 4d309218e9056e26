#pragma once
// A sheet: a grid of cells whose layout is written in the overlay text under
// one sheet key. Every page of editable cells (channel lists, settings pages,
// the pick lists of pop-up windows, printed pages) is one.
//
// Layout of a sheet key K (language text table):
//   K_Style      line 0: style items, each between '(' and ')'
//   K_BasicCell  line 0: the base cell of every cell of the sheet
//   K_Cells      row lines and ':' directive lines up to the next '#' line
// Style items: TitleString=, TitleColor=, TitleFont=, FixedCols=, FixedRows=,
// NoPrint, PrintFontRatio=, MultiSelect=Cell|Line, ColSizing,
// ColorSelectLine. Every row line is a grid row of '|'-separated cells.
// Directive items skip lines on conditions (Only_NFont, Only_TFont, Never,
// Only_Crvl, Only_Pmr, Only_Lmr, Only_KOVR, Only_SACC), open loops
// (LoopFrom n and the list loops) and close them (End, LoopTo), and switch
// multi-selection of the following rows (SelectON, SelectOFF). A loop shows
// its body (the row lines right after its ':' line) once where it stands and
// count - 1 more times after its end line; a one-line body is copied with
// the index + 1, a longer one parsed afresh so that its counters advance.
//
// A sheet never changes a value: every cell is rendered and acted on through
// the cell handler (the cell engine unless a handler is set), with a
// capsule. The model's sheets derive from this class and replace some of
// its virtual operations.
//
// Cells carry S (the cursor rests only on S cells), T (belongs to the S cell
// on its left), W and H (the column or row fits the text), '+' (continues the
// cell on its left), B, X and Q (rules), placement, colour and font.
#include "core/cmcCellCapsule.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "platform/base/Color.h"
#include "platform/base/Font.h"
#include "platform/base/Rect.h"
#include "platform/base/ShiftState.h"
#include "platform/ui/Control.h"
#include "ui/clsSheeRowAtr.h"
#include "ui/clsSheetCellId.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class cmcGTex;
class cuiGrid;
class cuiMenu;
class indActiveCell;
namespace plat {
class Canvas;
class Container;
class Control;
class ImageList;
class Label;
class Memo;
class MenuItem;
class Panel;
class PopupMenu;
class Printer;
} // namespace plat

class cuiSheet {
public:
    // Renders and acts on one cell; notify 1 lets it report what to repaint
    // through the capsule's OnChange.
    using CellHandler = std::function<CellExecResult(cmcCellCapsule* capsule, int notify)>;

    // Multi-selection modes.
    static constexpr int MultiSelectOff = 0;
    static constexpr int MultiSelectCell = 1;
    static constexpr int MultiSelectLine = 2;
    // Option bits.
    static constexpr uint8_t OptPopup = 0x01;
    static constexpr uint8_t OptNoPrint = 0x02;
    static constexpr uint8_t OptColSizing = 0x04;
    static constexpr uint8_t OptColorSelectLine = 0x08;
    // Cursor state bits.
    static constexpr uint8_t StMoving = 0x01;       // the sheet is moving the cursor itself
    static constexpr uint8_t StMarks = 0x02;        // marks are present
    static constexpr uint8_t StDrag = 0x04;         // a mouse button is held
    static constexpr uint8_t StNoHighlights = 0x08; // all line highlights are off

    // Nothing is built yet; Show builds. The origin capsule (the capsule of
    // the cell that opened the sheet) is copied.
    cuiSheet(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex,
             cmcGTex* texts, const std::string& key, plat::ImageList* images);
    virtual ~cuiSheet();
    cuiSheet(const cuiSheet&) = delete;
    cuiSheet& operator=(const cuiSheet&) = delete;

    // ---- virtual operations ----
    // Stores the code part of the sheet spec and returns it.
    virtual const std::string& SetCode(const std::string& code);
    // Builds the sheet, places the cursor and makes it usable.
    virtual void Show();
    virtual void ApplyStyle(std::string_view item);
    virtual void ApplyDirective(std::string_view item);
    virtual void LoadCells();
    virtual void LoadBasicCell();
    virtual void ParseRows(const std::string& cellsKey);
    virtual void BuildCells(const std::string& cellsKey);
    virtual void OnBuildRow(int row);
    virtual void OnBuildCell(int col, int row);
    virtual std::string Title() const;
    virtual bool IsPrintable() const;
    virtual bool CanPrintCurrent();
    virtual void LoadColumnWidths();
    virtual void SaveColumnWidths();

    // ---- set-up before Show ----
    void SetCellHandler(CellHandler handler) { m_cellHandler = std::move(handler); }
    // Pop-up mode: raised frame, wrap-around navigation, Enter and click
    // commit to the origin capsule.
    void SetPopupMode(bool popup);
    // Printing: drawn and measured on the printer's canvas; the scale is the
    // printer's pixels per inch divided by the screen's (a whole number, at
    // least 1). Null ends printing.
    void SetPrinter(plat::Printer* printer);
    // Preview: the printer and the canvas of the preview bitmap, scale 1.
    void SetPrintTarget(plat::Printer* printer, plat::Canvas* bitmapCanvas);
    // Draw and measure on the preview bitmap instead of the printer.
    void SetBitmapMode(bool on) { m_bitmapMode = on; }
    // Paper: the columns of the page being drawn, in order. The text of a
    // span is laid out over those of its cells that are on the page, as on
    // the screen over those in view. Empty: every column.
    void SetPaperColumns(const std::vector<int>& cols);
    // Absolute font height of the basic cell (printing); 0 = the font-size
    // percentage setting.
    void SetFontHeight(int height) { m_fontHeight = height; }
    // The position Show restores (column, row, left column, top row).
    void SetStartPosition(int col, int row, int leftCol, int topRow);
    // The stored column widths are deleted instead of loaded by the build.
    void SetResetWidthsRequest(bool on) { m_resetWidths = on; }

    const std::string& Spec() const { return m_spec; }
    void SetSpec(const std::string& spec) { m_spec = spec; }
    const std::string& Code() const { return m_code; }
    const std::string& Key() const { return m_key; }

    // The slot and cell of a grid position; fatal outside the slots.
    clsSheetCellId& CellSlot(int col, int row);
    cmcCellObj& CellAt(int col, int row) { return CellSlot(col, row).Cell; }
    bool HasSlots() const { return !m_slots.empty(); }

    // Top row and left column as far up and left as the fixed ones allow.
    void ScrollHome();
    // Widens every column that is narrower than the widest text its cells
    // show now (a window that shows data of varying length sizes itself to
    // them); never narrows one.
    void WidenColumnsToTexts();
    // The widths of columns shown side by side, in this order, with the
    // cells of the rows given (every row when empty): each column's own,
    // and where the part of a span among them is narrower than the span's
    // text, the last column of that part shown wider by the difference, so
    // that the text is drawn whole over the part.
    std::vector<int> ShownWidths(const std::vector<int>& cols, const std::vector<int>& rows);
    // The parent width (height) that shows every column (row).
    int FullWidth() const;
    int FullHeight() const;

    // Splits a line into its items and applies each.
    void ApplyStyleText(std::string_view text);
    void ApplyDirectiveText(std::string_view text);
    // The number after the first blank of a directive item (read as the C
    // library reads a decimal); nullopt when there is no blank or nothing
    // after it.
    static std::optional<int> NumberAfterBlank(std::string_view item);

    cuiGrid* Grid() const { return m_grid; }
    plat::Panel* TitlePanel() const { return m_titlePanel; }
    plat::Label* TitleLabel() const { return m_titleLabel; }
    plat::Panel* FramePanel() const { return m_framePanel; }
    plat::PopupMenu* PopupMenu() const { return m_popupMenu; }
    cuiMenu* PopupCuiMenu() const { return m_popupCuiMenu.get(); }
    plat::Memo* InlineEditor() const { return m_editor; }
    const cmcCellObj* BasicCell() const { return m_basicCell.get(); }
    const cmcCellCapsule* OriginCapsule() const { return m_origin.get(); }
    bool IsPopup() const { return (m_options & OptPopup) != 0; }
    bool IsPrinting() const { return m_printerCanvas != nullptr; }
    double Scale() const { return m_scale; }
    int MultiSelectMode() const { return m_multiSelect; }
    int FixedColsStyle() const { return m_fixedCols; }
    int FixedRowsStyle() const { return m_fixedRows; }
    int PrintFontRatio() const { return m_printFontRatio; }
    uint8_t Options() const { return m_options; }
    uint8_t State() const { return m_state; }
    int FirstSelectableCol() const { return m_firstSelCol; }
    int FirstSelectableRow() const { return m_firstSelRow; }
    int AnchorCol() const { return m_anchorCol; }
    int AnchorRow() const { return m_anchorRow; }
    plat::Color TitleColor() const { return m_titleColor; }
    const plat::Font* TitleFont() const { return m_titleFont.get(); }
    plat::Color UnfocusedSelectionColor() const { return m_unfocusedColor; }
    plat::Color CurrentLineColor() const { return m_currentLineColor; }

    // ---- actions, navigation, selection (run by the grid's handlers) ----
    void FillCapsule(int col, int row, cmcCellCapsule& capsule);
    // One cell action: a key code, a pop-up command, or (with a text) the
    // text of the in-place editor.
    void DoAction(int col, int row, int key, int command, const std::string* text);
    void MoveBy(int dx, int dy);
    void FocusCell(int category, int label, int index);
    void SelectCell(int col, int row);
    void MoveTo(int col, int row);
    bool SelectCellAtPoint(int x, int y, bool probe);
    bool FindSelectableLeft(int& col, int row);

    void UpdateSelection(int col, int row);
    void ClearMarks();
    void SetMarked(int col, int row, bool on);
    void SetLineHighlight(int col, int row, bool on);
    void UpdateLineHighlight();
    void RedrawSelection();
    bool IsSlotSelected(int col, int row);

    void UpdatePopupMenu(int col, int row, bool force);
    void OnPopupMenuPopup();
    void OnPopupItemClick(plat::MenuItem& item);

    void OpenInlineEditor(int col, int row, const std::string& text, int selStart, int selLength);
    void CloseInlineEditor(bool focusGrid);
    void CommitInlineEditor();
    void OpenEditorFor(cmcCellCapsule* capsule, int flag);

    void RedrawMatching(cmcCellCapsule* capsule, CellChangeScope scope);

    // ---- column widths ----
    std::string ColumnWidthKey(const std::string& key);
    void DeleteColumnWidths();
    void OnGridColWidthsChanged();
    void AutoFitColumn(int col);
    // The width that shows the widest text of a column, margin included.
    int WidestTextWidth(int col);

    // ---- drawing ----
    void DrawCell(int col, int row, const plat::Rect& rect);
    void ApplyCellFont(const cmcCellObj& cell, plat::Font& font) const;
    void ComputeSelectionColors();
    void UpdateSelectionColors();

    // ---- grid handlers ----
    void OnGridKeyDown(int& key, plat::ShiftState shift);
    void OnGridKeyUp(int& key, plat::ShiftState shift);
    void OnGridKeyPress(char32_t& ch);
    void OnGridMouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y);
    void OnGridMouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y);
    void OnGridDblClick();
    void OnGridMouseMove(plat::ShiftState shift, int x, int y);
    void OnGridSelectCell(int col, int row, bool& canSelect);
    void OnGridSetFocus();
    void OnGridKillFocus();
    void OnGridTimedScroll(unsigned direction);
    // After a repaint pass: the tails of cells drawn in it that the pass
    // did not draw itself are repainted.
    void OnGridPaintDone();
    void OnEditorKeyDown(int& key, plat::ShiftState shift);

    void OnEvent(const dst_Event* event);

    // A replayed jump key is given at most this many further runs (a cell
    // behaviour that keeps answering with a jump cannot hang the program).
    static constexpr int MaxReplays = 64;
    // The largest sheet a layout may ask for, in rows and in cells (columns
    // times rows); the largest pages are some thousand rows and some ten
    // thousand cells. A layout beyond these (a loop count such as
    // "LoopFrom 2000000000") is a configuration fault, "Illegal Cell
    // assign", rather than a build that never ends or exhausts the memory.
    static constexpr int MaxRows = 65536;
    static constexpr int64_t MaxCells = 262144;
    // Columns are counted in 16 bits where a cell's place is kept as
    // row x 65536 + column: a wider layout is the same fault.
    static constexpr int MaxCols = 65536;
    // Whether a layout of that many columns and rows may be built.
    static bool IsBuildableSize(int64_t cols, int64_t rows);

protected:
    // Builds the panels, the grid and its cells.
    void Build();
    // Without a stored position or a focus cell: the cursor on the first
    // selectable cell, the sheet scrolled to its top left.
    void OpenOnFirstCell();
    void InstallGridHandlers();
    void NotePainted(int col, int row);
    void InvalidateTail(int col, int row);
    void SetBusy(bool busy) { m_busy = busy; }
    // Appends a row attribute {line, flags} and counts the row; fatal past
    // MaxRows.
    void AppendRow(int line, bool selectable);
    // The canvas cells are measured on (printer, preview bitmap or grid).
    plat::Canvas* MeasureCanvas() const;
    // The first non-fixed row: the smaller of FixedRows and row count - 1.
    int FirstNonFixedRow() const;
    // Whether the column's cell in the first non-fixed row is selectable
    // (only such columns have stored widths and limits).
    bool IsStoredColumn(int col, int row);
    // Invalidates the non-fixed cells of a row.
    void InvalidateRow(int row);
    // The settings key that holds the widths stored under a sub.
    static std::string ColumnWidthPath(const std::string& sub);
    void ClampColumnWidths(int limit);
    std::string RenderedText(int col, int row);
    CellExecResult RunHandler(cmcCellCapsule* capsule, int notify);
    void FreePopupCuiMenu();
    void ReplyCurrentCell(const dst_Event* event);
    void RedrawForEvent(int type, intptr_t p2);
    void SendStatusCleared();
    bool IsCurrent(int col, int row) const;
    bool InGrid(int col, int row) const;

    // ---- fields ----
    plat::Container* m_parent;
    cmcGTex* m_texts;
    std::string m_key;
    std::unique_ptr<cmcCellCapsule> m_origin;
    plat::ImageList* m_images;
    CellHandler m_cellHandler;
    int m_focusLabel;
    int m_focusIndex;
    std::string m_code;
    bool m_busy = false;
    int m_lastMouseX = -1;
    int m_lastMouseY = -1;
    plat::Canvas* m_printerCanvas = nullptr; // set while printing or previewing
    int m_printerPpi = 0;
    double m_scale = 1.0;
    int m_fontHeight = 0;
    int m_startCol = -1;
    int m_startRow = -1;
    int m_startLeftCol = -1;
    int m_startTopRow = -1;
    std::string m_spec;
    std::string m_title;
    std::unique_ptr<plat::Font> m_titleFont;
    plat::Color m_titleColor;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
    int m_printFontRatio = 100;
    int m_multiSelect = MultiSelectOff;
    uint8_t m_options = 0;
    plat::Canvas* m_previewCanvas = nullptr;
    bool m_bitmapMode = false;
    std::vector<bool> m_paperColumn; // by column; empty: every column
    // A span's row, first and last columns, and the width its text takes
    // with the cell's margins; found once per build.
    struct SpanText {
        int Row, First, Last, Width;
    };
    std::vector<SpanText> m_spanTexts;
    bool m_spanTextsKnown = false;
    const std::vector<SpanText>& SpanTexts();
    // Widens the sheet's columns where a span's shown columns (hidden ones
    // take no room) are too narrow for its text.
    void WidenSpansToTexts();
    int m_firstSelCol = 0;
    int m_firstSelRow = 0;
    plat::Panel* m_titlePanel = nullptr;
    plat::Label* m_titleLabel = nullptr;
    plat::Panel* m_framePanel = nullptr;
    cuiGrid* m_grid = nullptr;
    plat::Memo* m_editor = nullptr;
    int m_editorCol = -1;
    int m_editorRow = -1;
    plat::PopupMenu* m_popupMenu = nullptr;
    std::unique_ptr<cuiMenu> m_popupCuiMenu;
    const cmcCellObj* m_lastPopupCell = nullptr;
    // While OnGridSelectCell runs: the cell the grid moves to (it becomes the
    // grid's current cell only afterwards); -1 otherwise. The pop-up menu
    // refreshed meanwhile shows the state of this cell.
    int m_selectingCol = -1;
    int m_selectingRow = -1;
    std::optional<std::string> m_lastPopupKey;
    clsSheeRowAtr m_rowAtr;
    int m_rowCount = 0;
    // Layout reading state.
    int m_skip = 0;
    int m_currentLine = 0;
    int m_colCount = 0;
    int m_loopStart = -1;
    int m_loopEnd = -1;
    int m_loopCount = -1;
    bool m_selectFlag = true;
    // The row lines of the open loop's body, in order.
    std::vector<int> m_loopBody;
    bool m_resetWidths = false;
    bool m_loadingWidths = false;
    CellCounters m_counters{};
    std::unique_ptr<cmcCellObj> m_basicCell;
    std::vector<clsSheetCellId> m_slots;
    int m_slotCols = 0;
    int m_slotRows = 0;
    cmcCellCapsule m_drawCapsule;
    // The text rectangle of the cell being drawn (the draw capsule's), and
    // the rectangle of the cell an action runs on (the action capsule's):
    // apart, so that a repaint during an action leaves the action's alone.
    plat::Rect m_drawRect;
    plat::Rect m_cellRect;
    std::unique_ptr<indActiveCell> m_engine;
    int m_lastReachedCol = 0;
    int m_lastReachedRow = 0;
    int m_anchorCol = -1;
    int m_anchorRow = -1;
    uint8_t m_state = StNoHighlights;
    plat::Color m_unfocusedColor = 0;
    plat::Color m_currentLineColor = 0;
    plat::Color m_lastWindowText = 0;
    plat::Color m_lastWindow = 0;
    // Cells drawn in the current repaint pass, and the tails (T cells) of
    // cells drawn in it, packed as row x 65536 + column.
    std::vector<int64_t> m_paintedThisPass;
    std::vector<int64_t> m_tailsThisPass;
    // Cleared when the sheet goes: handlers that outlive a cell action check it.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    cmcEvSubscription m_events;
};
