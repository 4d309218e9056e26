#pragma once
// Printing sheets on the system printer (or into a PDF file).
//
// A sheet is printed by building it again off screen in printing mode, with
// a font sized for the printer, and cutting it into blocks of columns and
// rows that fit the printable area between the margins: each page shows one
// block under a page frame (the sheet's title and the program's revision at
// the top, the maker at the bottom, a rule under and over them), with the
// fixed rows and columns repeated (on a sheet without them, its label
// columns and the headings the block continues). A block that does not fit
// is shrunk by building the sheet again with a smaller font, at most three
// times. Pages run across the column groups of the first row group, then of
// the next. A header over columns stays on one page where it fits.
//
// Print checks that a printer exists, lets the user set it up, shows the
// pages in the print preview and prints them when its Print button is
// pressed: one sheet at once, a list of sheets one sheet per tick of a 50 ms
// task, each sheet starting on a new page. The printing dialog takes its
// clicks between blocks: Cancel stops the sheet being printed after the
// block being printed, and a list ends there; the next print run starts
// afresh.
//
// Printable area rectangles are in printer pixels from the origin of the
// printer's printable area.
#include "platform/base/Rect.h"

#include <memory>
#include <string>
#include <vector>

class cmcTask;
class cuiMain;
class cuiPreview;
class cuiSheet;
namespace plat {
class Button;
class Form;
class Label;
class Printer;
} // namespace plat

// The column groups and row groups of a sheet's pages (sizes, in order).
struct dst_PrintBlocks {
    std::vector<int> Cols;
    std::vector<int> Rows;
};

class cuiPrinter {
public:
    static constexpr int TickMs = 50;
    // A block that does not fit is measured at most this many times, the
    // sheet built again with a smaller font after each.
    static constexpr int FitPasses = 3;
    static constexpr double InchesPerMm = 0.03937007874015748;
    static constexpr int PointsPerInch = 72;
    // The printer font size when there are no settings.
    static constexpr int DefaultFontSize = 10;
    // Pause that lets the printing dialog paint before the pages go out.
    static constexpr int DialogPaintMs = 10;

    // The owner: the main window (parent of the dialogs, disabled while
    // printing; may be null without a window). The task starts ticking.
    cuiPrinter(cuiMain& main, plat::Form* owner);
    ~cuiPrinter();
    cuiPrinter(const cuiPrinter&) = delete;
    cuiPrinter& operator=(const cuiPrinter&) = delete;

    // The whole print command: the current sheet alone, or (all) the sheet
    // list.
    void Print(bool all, cuiSheet* current);

    // Paginates one sheet; unless counting it prints the pages, with record
    // it adds them to the preview. Returns the number of pages.
    int PrintSheet(plat::Printer& printer, const std::string& spec, const plat::Rect& area, bool counting, bool record);
    // The fixed rows and columns and the block's own, laid out from the
    // rectangle's top-left corner; drawn unless measuring. Returns the
    // rectangle they cover.
    plat::Rect DrawBlock(cuiSheet& sheet, const plat::Rect& rect, int firstCol, int firstRow, int colCount, int rowCount,
                         bool measure);
    // The page frame on the printer's canvas or (toBitmap) on the preview's
    // page; returns the rectangle left inside it for the block.
    plat::Rect DrawPageFrame(plat::Printer& printer, cuiSheet& sheet, const plat::Rect& page, bool measure,
                             bool toBitmap);
    static dst_PrintBlocks SplitBlocks(cuiSheet& sheet, const plat::Rect& inner);
    // The columns every page repeats in front of its block: the fixed
    // columns, or on a sheet without them its leading columns of labels
    // (no cell the cursor can take; never every column).
    static std::vector<int> RepeatedColumns(cuiSheet& sheet);
    // The rows a page repeats over its block of rows from firstRow: the
    // fixed rows, or on a sheet without them the headings of the part of
    // the sheet the block continues (none for the first block, nor for a
    // block that opens with headings of its own).
    static std::vector<int> RepeatedRows(cuiSheet& sheet, int firstRow);
    // The printable area inside the overlay's margins (millimetres) on a
    // page of the printer's printable size.
    static plat::Rect MarginArea(int pageWidth, int pageHeight, int pixelsPerInch);

    int CountListPages(plat::Printer& printer, const plat::Rect& area);
    int CountSheetPages(plat::Printer& printer, const plat::Rect& area);
    // Record the pages in the preview and show it; true when its Print
    // button was pressed.
    bool PreviewList(plat::Printer& printer, const plat::Rect& area);
    bool PreviewSheet(plat::Printer& printer, const plat::Rect& area);

    void OnCancelClick();
    void OnTick();
    // The printer font size setting in points (the default without
    // settings), and the user character set a sheet is printed with: 1 and
    // 2 for the two character editors' sheets, else 0 (the open sheet's).
    static int PrinterFontSize();
    static int CharSetOverrideOf(const std::string& spec);
    // Begins a document on the printer: its first page is the next page
    // printed. False when the printer cannot be started.
    bool StartDocument(plat::Printer& printer);

    // The sheets that printing "all" prints, in order.
    const std::vector<std::string>& SheetList() const { return m_list; }
    void ClearList() { m_list.clear(); }
    void AddSheet(const std::string& spec) { m_list.push_back(spec); }

    bool PrintingAll() const { return m_printingAll; }
    bool Aborted() const { return m_abort; }
    cuiPreview* Preview() const { return m_preview.get(); }
    plat::Form* PrintingDialog() const { return m_dialog.get(); }
    plat::Form* Owner() const { return m_owner; }
    cuiMain& Main() const { return m_main; }

private:
    void BuildPrintingDialog();
    void ShowPrintingDialog();
    // The end of every print run: flags clear, the owner enabled and
    // focused, the dialog gone.
    void Finish();
    void SayNoRoom();

    cuiMain& m_main;
    plat::Form* m_owner;
    bool m_printingAll = false;
    bool m_pageStarted = false;
    bool m_abort = false;
    // A sheet found no room between the margins in this run.
    bool m_noRoom = false;
    size_t m_listIndex = 0;
    plat::Rect m_area;
    plat::Printer* m_printer = nullptr;
    std::unique_ptr<plat::Form> m_dialog;
    cuiSheet* m_current = nullptr;
    std::vector<std::string> m_list;
    cmcTask* m_task; // disposed of, as it may be inside its callback
    std::unique_ptr<cuiPreview> m_preview;
};
