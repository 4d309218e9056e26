// Printing: the print command, the pagination of a sheet into blocks, the
// page frame, and the list printed one sheet per tick.
#include "ui/cuiPrinter.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "core/cmcTask.h"
#include "model/indEnviron.h"
#include "platform/base/Canvas.h"
#include "platform/base/Clock.h"
#include "platform/ui/Application.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Printer.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TextMetrics.h"
#include "ui/SplitSheetSpec.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMain.h"
#include "ui/cuiPreview.h"
#include "ui/cuiSheet.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace {

constexpr const char* CEditSheet = "GI_Sheet_Common_CEdit";
constexpr const char* CEditMobSheet = "GI_Sheet_Common_CEdit_Mob";
constexpr int FrameFontDefault = 8;

std::string Line0(const char* key) { return g_GTex.GetText(key, 0); }

std::string AppTitle() { return Line0("GI_Sys_AppTitle"); }

// The number a text starts with (after blanks), as the C library reads it.
double NumberOf(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

int cuiPrinter::CharSetOverrideOf(const std::string& spec)
{
    const std::string key = SplitSheetSpec(spec).Key;
    if (key == CEditSheet) return 1;
    if (key == CEditMobSheet) return 2;
    return 0;
}

cuiPrinter::cuiPrinter(cuiMain& main, plat::Form* owner) : m_main(main), m_owner(owner), m_task(new cmcTask)
{
    m_task->SetCallback([this](void*, cmcTask*) { OnTick(); }, nullptr);
    m_task->Schedule(TickMs);
}

cuiPrinter::~cuiPrinter()
{
    m_task->Dispose();
    m_task = nullptr;
    // A list still being printed ends its document.
    if (m_printingAll && m_printer != nullptr && m_printer->Printing()) m_printer->EndDoc();
}

bool cuiPrinter::StartDocument(plat::Printer& printer)
{
    m_pageStarted = false;
    return printer.BeginDoc();
}

plat::Rect cuiPrinter::MarginArea(int pageWidth, int pageHeight, int pixelsPerInch)
{
    double margins[4] = {0, 0, 0, 0};
    std::stringstream line(Line0("GI_Sys_Printer_Margins"));
    std::string item;
    for (double& m : margins) {
        if (!std::getline(line, item, ',')) break;
        m = NumberOf(item);
    }
    const double perMm = pixelsPerInch * InchesPerMm;
    return {static_cast<int>(margins[0] * perMm), static_cast<int>(margins[1] * perMm),
            pageWidth - static_cast<int>(margins[2] * perMm), pageHeight - static_cast<int>(margins[3] * perMm)};
}

int cuiPrinter::PrinterFontSize()
{
    return g_Environ != nullptr && g_Environ->FontSizePrinter > 0 ? g_Environ->FontSizePrinter : DefaultFontSize;
}

void cuiPrinter::Print(bool all, cuiSheet* current)
{
    // Every run starts afresh: a Cancel of an earlier run stops nothing here.
    m_abort = false;
    m_pageStarted = false;
    m_noRoom = false;
    m_main.ClosePopups();
    if (current == nullptr) {
        m_main.SetListPrinting(false);
        return;
    }
    current->SaveColumnWidths();
    m_current = current;

    plat::PrinterService& service = plat::Printers();
    if (!service.AnyPrinter()) {
        plat::MessageBox(g_GTex.GetMultiLineText("GI_Sys_Printer_NoPrinter"), AppTitle(),
                         plat::MB_OK | plat::MB_ICONERROR, m_owner);
        m_main.SetListPrinting(false);
        return;
    }
    plat::Printer& printer = service.SystemPrinter();
    if (!printer.SetupDialog(m_owner)) {
        m_main.SetListPrinting(false);
        return;
    }

    if (m_owner != nullptr) m_owner->SetEnabled(false);
    BuildPrintingDialog();
    m_printer = &printer;
    const plat::Rect area = MarginArea(printer.PageWidth(), printer.PageHeight(), printer.PixelsPerInch());

    m_preview = std::make_unique<cuiPreview>(*this, m_owner, AppTitle(), m_main.ToolBarImages());
    const int pages = all ? CountListPages(printer, area) : CountSheetPages(printer, area);
    if (m_noRoom) SayNoRoom();
    bool print = false;
    if (pages > 0 || !m_noRoom) {
        m_preview->Prepare(printer, pages);
        print = all ? PreviewList(printer, area) : PreviewSheet(printer, area);
    }
    m_preview.reset();

    if (!print) {
        Finish();
        return;
    }
    if (all) {
        ShowPrintingDialog();
        m_listIndex = 0;
        m_area = area;
        m_printingAll = true;
        m_main.SetCharSetPrintOverride(0);
        return;
    }
    // The sheet may have gone while the preview was open.
    if (m_main.CurrentSheet() == current && current->IsPrintable()) {
        ShowPrintingDialog();
        if (StartDocument(printer)) {
            PrintSheet(printer, current->Spec(), area, false, false);
            printer.EndDoc();
        } else {
            plat::MessageBox(g_GTex.GetMultiLineText("GI_Sys_Printer_NotStarted"), AppTitle(),
                             plat::MB_OK | plat::MB_ICONERROR, m_owner);
        }
    }
    Finish();
}

void cuiPrinter::Finish()
{
    m_printingAll = false;
    m_main.SetCharSetPrintOverride(0);
    m_main.SetListPrinting(false);
    if (m_owner != nullptr) {
        m_owner->SetEnabled(true);
        m_owner->SetFocus();
    }
    m_dialog.reset();
    m_current = nullptr;
    m_printer = nullptr;
}

void cuiPrinter::SayNoRoom()
{
    plat::MessageBox(g_GTex.GetMultiLineText("GI_Sys_Printer_NoRoom"), AppTitle(), plat::MB_OK | plat::MB_ICONERROR,
                     m_owner);
}

void cuiPrinter::BuildPrintingDialog()
{
    m_dialog = std::make_unique<plat::Form>();
    plat::Form& dialog = *m_dialog;
    dialog.SetBorderStyle(plat::bsSingle);
    dialog.SetBorderIcons(0);
    dialog.SetCaption(g_GTex.GetText("GI_Sys_Printer_PrintingDialog", 0));
    auto* label = new plat::Label(dialog);
    label->SetAutoSize(true);
    label->SetCaption(g_GTex.GetText("GI_Sys_Printer_PrintingDialog", 1));
    auto* button = new plat::Button(dialog);
    button->SetName("Cancel");
    button->SetCaption(g_GTex.GetText("GI_Sys_Printer_PrintingDialog", 2));
    button->SetWidth(static_cast<int>(label->Width() * 1.2));
    button->SetDefault(true);
    button->SetCancel(true);
    button->OnClick = [this] { OnCancelClick(); };
    const int clientWidth = 2 * label->Width();
    const int clientHeight = 3 * (label->Height() + button->Height());
    dialog.SetClientSize(clientWidth, clientHeight);
    label->SetBounds((clientWidth - label->Width()) / 2, 2 * label->Height(), label->Width(), label->Height());
    button->SetBounds((clientWidth - button->Width()) / 2, clientHeight - static_cast<int>(1.5 * button->Height()),
                      button->Width(), button->Height());
    if (m_owner != nullptr) CenterControl(dialog, *m_owner);
}

void cuiPrinter::ShowPrintingDialog()
{
    if (!m_dialog) return;
    m_dialog->Show();
    m_dialog->Repaint();
    plat::Sleep(DialogPaintMs);
}

void cuiPrinter::OnCancelClick() { m_abort = true; }

int cuiPrinter::PrintSheet(plat::Printer& printer, const std::string& spec, const plat::Rect& area, bool counting,
                           bool record)
{
    // A list entry without a sheet prints nothing; after a Cancel the rest
    // of the list passes without being built.
    if (spec.empty() || m_abort) return 0;
    plat::Form hidden;
    plat::Canvas& canvas = printer.GetCanvas();
    canvas.GetFont().SetSize(PrinterFontSize());
    int height = PrinterFontSize() * printer.PixelsPerInch() / -PointsPerInch;

    std::unique_ptr<cuiSheet> sheet;
    const auto build = [&] {
        sheet = m_main.CreateSheet(&hidden, spec);
        sheet->SetPrinter(&printer);
        sheet->SetFontHeight(height);
        sheet->Show();
    };
    build();

    const plat::Rect inner = DrawPageFrame(printer, *sheet, area, true, false);
    // Margins that leave no room on the page print nothing of the sheet.
    if (inner.Width() <= 0 || inner.Height() <= 0) {
        m_noRoom = true;
        return 0;
    }
    const dst_PrintBlocks blocks = SplitBlocks(*sheet, inner);
    const int fixedCols = static_cast<int>(RepeatedColumns(*sheet).size());
    const int fixedRows = sheet->Grid()->FixedRows();

    int count = 0;
    bool stopped = false;
    int firstRow = fixedRows;
    for (size_t r = 0; r < blocks.Rows.size() && !stopped; firstRow += blocks.Rows[r], ++r) {
        int firstCol = fixedCols;
        for (size_t c = 0; c < blocks.Cols.size() && !stopped; firstCol += blocks.Cols[c], ++c) {
            const int cols = blocks.Cols[c];
            const int rows = blocks.Rows[r];
            plat::Rect measured{inner.left, inner.top, inner.left + 1, inner.top + 1};
            for (int pass = 0; pass < FitPasses; ++pass) {
                if (!sheet) build();
                if (!sheet->IsPrintable() || m_abort) break;
                measured = DrawBlock(*sheet, inner, firstCol, firstRow, cols, rows, true);
                const int width = std::max(1, measured.Width());
                const int blockHeight = std::max(1, measured.Height());
                if (width <= inner.Width() && blockHeight <= inner.Height()) break;
                const double factor = std::min(static_cast<double>(inner.Height()) / blockHeight,
                                               static_cast<double>(inner.Width()) / width);
                // A positive height from here on (the font's cell height),
                // never 0, which would mean the screen's font size.
                height = std::max(1, static_cast<int>(std::abs(height) * factor));
                sheet.reset();
            }
            if (!sheet) build();
            if (!sheet->IsPrintable() || m_abort) {
                stopped = true;
                break;
            }
            if (!counting) {
                if (m_pageStarted) printer.NewPage();
                const plat::Rect at = DrawPageFrame(printer, *sheet, area, false, false);
                DrawBlock(*sheet, at, firstCol, firstRow, cols, rows, false);
                m_pageStarted = true;
                // The printing dialog's Cancel is taken between blocks.
                plat::ProcessMessages();
            }
            if (record && m_preview) {
                m_preview->AddPage(printer, spec, area, firstCol, firstRow, cols, rows, measured);
                m_preview->IncPageCount();
            }
            ++count;
        }
    }
    sheet.reset();
    return count;
}

plat::Rect cuiPrinter::DrawBlock(cuiSheet& sheet, const plat::Rect& rect, int firstCol, int firstRow, int colCount,
                                 int rowCount, bool measure)
{
    cuiGrid& grid = *sheet.Grid();
    std::vector<int> cols = RepeatedColumns(sheet);
    for (int c = firstCol; c < firstCol + colCount && c < grid.ColCount(); ++c) cols.push_back(c);
    std::vector<int> rows = RepeatedRows(sheet, firstRow);
    for (int r = firstRow; r < firstRow + rowCount && r < grid.RowCount(); ++r) rows.push_back(r);
    sheet.SetPaperColumns(cols);
    // The page's columns at their widths on this page (the part of a span
    // on it as wide as its text), the sheet's own widths kept for the
    // pages after it.
    const std::vector<int> widths = sheet.ShownWidths(cols, rows);
    std::vector<int> kept;
    for (size_t i = 0; i < cols.size(); ++i) {
        kept.push_back(grid.ColWidths(cols[i]));
        if (widths[i] != kept[i]) grid.SetColWidths(cols[i], widths[i]);
    }

    int x = rect.left;
    int y = rect.top;
    for (int row : rows) {
        x = rect.left;
        const int height = grid.RowHeights(row);
        for (size_t i = 0; i < cols.size(); ++i) {
            const int width = widths[i];
            if (!measure) sheet.DrawCell(cols[i], row, {x, y, x + width, y + height});
            x += width;
        }
        y += height;
    }
    for (size_t i = 0; i < cols.size(); ++i)
        if (widths[i] != kept[i]) grid.SetColWidths(cols[i], kept[i]);
    return {rect.left, rect.top, x, y};
}

plat::Rect cuiPrinter::DrawPageFrame(plat::Printer& printer, cuiSheet& sheet, const plat::Rect& page, bool measure,
                                     bool toBitmap)
{
    plat::Canvas& canvas =
        toBitmap && m_preview ? m_preview->PageBitmap().GetCanvas() : printer.GetCanvas();
    plat::Font& font = canvas.GetFont();
    if (sheet.TitleFont() != nullptr) AssignFont(&font, sheet.TitleFont());
    int size = static_cast<int>(NumberOf(Line0("GI_Sys_Printer_FrameFont")));
    if (size <= 0) size = FrameFontDefault;
    font.height = size * font.pixelsPerInch / -PointsPerInch;
    font.style = 0;
    font.color = plat::clBlack;
    const int a = std::abs(font.height);
    const int b = static_cast<int>(a * 0.1 + 1);

    const plat::Brush saved = canvas.GetBrush();
    if (!measure) {
        canvas.GetBrush().style = plat::bsClear;
        canvas.TextOut(page.left, page.top, sheet.Title());
        const std::string revision = Line0("GI_Sys_AppTitleRev");
        canvas.TextOut(page.right - canvas.TextWidth(revision) - 1, page.top, revision);
        canvas.GetBrush() = plat::Brush{plat::clBlack, plat::bsSolid};
        canvas.FillRect({page.left, page.top + a + b, page.right, page.top + a + 2 * b});

        canvas.GetBrush().style = plat::bsClear;
        const std::string maker = Line0("GI_Sys_Maker");
        canvas.TextOut(page.right - canvas.TextWidth(maker) - 1, page.bottom - a - 1, maker);
        canvas.GetBrush() = plat::Brush{plat::clBlack, plat::bsSolid};
        canvas.FillRect({page.left, page.bottom - a - 2 * b, page.right, page.bottom - a - b});
    }
    canvas.GetBrush() = saved;
    return {page.left, page.top + a + 6 * b, page.right, page.bottom - a - 6 * b};
}

dst_PrintBlocks cuiPrinter::SplitBlocks(cuiSheet& sheet, const plat::Rect& inner)
{
    dst_PrintBlocks blocks;
    const cuiGrid& grid = *sheet.Grid();
    const int colCount = grid.ColCount();
    const int rowCount = grid.RowCount();
    const std::vector<int> repeatedCols = RepeatedColumns(sheet);
    const int firstBodyCol = static_cast<int>(repeatedCols.size());
    const int fixedRows = grid.FixedRows();
    const int64_t widthBudget = inner.Width();
    const int64_t heightBudget = inner.Height();

    int64_t fixedWidth = 0;
    for (int c : repeatedCols) fixedWidth += grid.ColWidths(c);
    const auto continues = [&](int col, int row) {
        return (sheet.CellAt(col, row).FlagsA & cmcCellObj::LetterPlus) != 0;
    };
    // Whether the header span through the cell fits on one page beside the
    // repeated columns: one that cannot (a title over every column) is cut
    // between pages rather than shrinking the page until it fits.
    const auto spanFits = [&](int col, int row) {
        int first = col;
        while (first > 0 && continues(first, row)) --first;
        int64_t width = fixedWidth;
        for (int k = std::max(first, firstBodyCol); k < colCount && (k <= col || continues(k, row)); ++k)
            width += grid.ColWidths(k);
        return width <= widthBudget;
    };
    // A column whose header cells continue the cell on their left never
    // starts a page, unless that header cannot fit on a page at all.
    const auto breakAllowed = [&](int col) {
        for (int row = 0; row < fixedRows; ++row)
            if (continues(col, row) && spanFits(col, row)) return false;
        return true;
    };
    // The width of a page of the columns from `first` to `last`, with the
    // parts of spans on it as wide as their texts.
    const auto pageWidth = [&](int first, int last) {
        std::vector<int> cols = repeatedCols;
        for (int col = first; col <= last; ++col) cols.push_back(col);
        int64_t sum = 0;
        for (int width : sheet.ShownWidths(cols, {})) sum += width;
        return sum;
    };
    for (int c = firstBodyCol; c < colCount;) {
        int size = 0;
        for (int i = 0;; ++i) {
            const int col = c + i;
            const int64_t sum = pageWidth(c, col);
            if (breakAllowed(col)) size = i;
            if (size > 0 && sum > widthBudget) break;
            if (col == colCount - 1) {
                size = colCount - c;
                break;
            }
        }
        size = std::max(1, size);
        blocks.Cols.push_back(size);
        c += size;
    }

    for (int r = fixedRows; r < rowCount;) {
        int64_t sum = 0;
        for (int row : RepeatedRows(sheet, r)) sum += grid.RowHeights(row);
        int size = 0;
        while (r + size < rowCount && (size == 0 || sum + grid.RowHeights(r + size) <= heightBudget)) {
            sum += grid.RowHeights(r + size);
            ++size;
        }
        blocks.Rows.push_back(size);
        r += size;
    }
    return blocks;
}

namespace {

bool IsHeadingRow(cuiSheet& sheet, int row)
{
    for (int col = 0; col < sheet.Grid()->ColCount(); ++col)
        if ((sheet.CellAt(col, row).FlagsB & cmcCellObj::LetterS) != 0) return false;
    return true;
}

// A row of column headings: a heading row of separate cells, not one title.
bool IsColumnHeadings(cuiSheet& sheet, int row)
{
    if (sheet.Grid()->ColCount() < 2 || !IsHeadingRow(sheet, row)) return false;
    for (int col = 0; col < sheet.Grid()->ColCount(); ++col)
        if ((sheet.CellAt(col, row).FlagsA & cmcCellObj::LetterPlus) != 0) return false;
    return true;
}

bool IsLabelColumn(cuiSheet& sheet, int col)
{
    for (int row = 0; row < sheet.Grid()->RowCount(); ++row)
        if ((sheet.CellAt(col, row).FlagsB & cmcCellObj::LetterS) != 0) return false;
    return true;
}

} // namespace

std::vector<int> cuiPrinter::RepeatedColumns(cuiSheet& sheet)
{
    const cuiGrid& grid = *sheet.Grid();
    int count = grid.FixedCols();
    if (count == 0 && sheet.HasSlots())
        while (count + 1 < grid.ColCount() && IsLabelColumn(sheet, count)) ++count;
    std::vector<int> cols;
    for (int c = 0; c < count; ++c) cols.push_back(c);
    return cols;
}

std::vector<int> cuiPrinter::RepeatedRows(cuiSheet& sheet, int firstRow)
{
    const cuiGrid& grid = *sheet.Grid();
    std::vector<int> rows;
    if (grid.FixedRows() > 0) {
        for (int r = 0; r < grid.FixedRows(); ++r) rows.push_back(r);
        return rows;
    }
    // A block that opens with headings of its own needs none repeated.
    if (!sheet.HasSlots() || firstRow <= 0 || firstRow >= grid.RowCount() || IsHeadingRow(sheet, firstRow)) return rows;
    // The headings over the rows the block continues...
    int end = firstRow - 1;
    while (end >= 0 && !IsHeadingRow(sheet, end)) --end;
    if (end < 0) return rows;
    int start = end;
    while (start > 0 && IsHeadingRow(sheet, start - 1)) --start;
    bool columnHeadings = false;
    for (int r = start; r <= end; ++r) columnHeadings = columnHeadings || IsColumnHeadings(sheet, r);
    // ...under the column headings above them when those are only a
    // subtitle, with the title rows right over the column headings.
    if (!columnHeadings) {
        int headings = start - 1;
        while (headings >= 0 && !IsColumnHeadings(sheet, headings)) --headings;
        if (headings >= 0) {
            int title = headings;
            while (title > 0 && IsHeadingRow(sheet, title - 1)) --title;
            for (int r = title; r <= headings; ++r) rows.push_back(r);
        }
    }
    for (int r = start; r <= end; ++r) rows.push_back(r);
    return rows;
}

int cuiPrinter::CountListPages(plat::Printer& printer, const plat::Rect& area)
{
    int pages = 0;
    for (const std::string& spec : m_list) {
        m_main.SetCharSetPrintOverride(CharSetOverrideOf(spec));
        pages += PrintSheet(printer, spec, area, true, false);
    }
    m_main.SetCharSetPrintOverride(0);
    return pages;
}

int cuiPrinter::CountSheetPages(plat::Printer& printer, const plat::Rect& area)
{
    if (m_current == nullptr || !m_current->CanPrintCurrent()) return 0;
    return PrintSheet(printer, m_current->Spec(), area, true, false);
}

bool cuiPrinter::PreviewList(plat::Printer& printer, const plat::Rect& area)
{
    for (const std::string& spec : m_list) {
        m_main.SetCharSetPrintOverride(CharSetOverrideOf(spec));
        PrintSheet(printer, spec, area, true, true);
    }
    m_main.SetCharSetPrintOverride(0);
    return m_preview->Execute();
}

bool cuiPrinter::PreviewSheet(plat::Printer& printer, const plat::Rect& area)
{
    if (m_current == nullptr || !m_current->CanPrintCurrent()) return false;
    PrintSheet(printer, m_current->Spec(), area, true, true);
    return m_preview->Execute();
}

void cuiPrinter::OnTick()
{
    if (!m_printingAll || m_printer == nullptr) return;
    if (m_listIndex == 0 && !m_printer->Printing() && !m_list.empty() && !StartDocument(*m_printer)) {
        plat::MessageBox(g_GTex.GetMultiLineText("GI_Sys_Printer_NotStarted"), AppTitle(),
                         plat::MB_OK | plat::MB_ICONERROR, m_owner);
        m_list.clear();
    }
    if (!m_abort && m_listIndex < m_list.size()) {
        const std::string spec = m_list[m_listIndex];
        m_main.SetCharSetPrintOverride(CharSetOverrideOf(spec));
        PrintSheet(*m_printer, spec, m_area, false, false);
        ++m_listIndex;
    }
    // A Cancel leaves the rest of the list at once.
    if (m_abort) m_listIndex = m_list.size();
    // After the last sheet (at once for an empty list).
    if (m_listIndex >= m_list.size()) {
        if (m_printer->Printing()) m_printer->EndDoc();
        Finish();
        m_list.clear();
    }
}
