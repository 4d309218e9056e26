// Printing in the running program: the pages a sheet is cut into, the page
// frame, the preview with its paging, page edit and Setting dialog, the
// print commands of the menu with the sheets they choose, printing on the
// test printer (pages as images) and into a PDF file that is rendered back
// to a picture and compared with the test printer's page.
#include "tests/app/AppFixture.h"
#include "tests/app/FullImage.h"

#include "core/CellNames.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Printer.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TestPrinter.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiPreview.h"
#include "ui/cuiPrinter.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <QCoreApplication>
#include <QImage>
#include <QMetaObject>
#include <QPrinter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Tree nodes: the radio, its memory channels, the banks, then bank 1 on.
constexpr int BanksNode = 2;
constexpr int FirstBankNode = 3;

// Stand-ins for the repeater lists' sheets, put in front of the program's
// language file: a title, a head row and a loop over the group's items.
std::vector<std::string> RepeaterSheetStandIns()
{
    std::vector<std::string> lines;
    for (const char* key : {"GI_Sheet_RptSetWin", "GI_Sheet_RptSetWin_ZEPH", "GI_Sheet_RptSetWin_Multisite"}) {
        const std::string k = key;
        lines.insert(lines.end(), {"#" + k + "_Style", "(TitleString=Repeaters)(FixedRows=1)", "#" + k + "_BasicCell",
                                   "{($Page)}", "#" + k + "_Cells", "{<-WH}Repeater|{<-WH}Frequency",
                                   "{<-WH}1|{<-WH}450.000000"});
    }
    lines.push_back("#");
    return lines;
}

class Printing : public apptest::ProgramFixture {
protected:
    Printing() : scoped(service) {}
    // The program goes before the printers it may still be printing on.
    ~Printing() override
    {
        form.reset();
        globals.reset();
    }

    plat::TestPrinter& Paper() { return service.Test(); }
    cuiPrinter& Printer() { return *Main().Printer(); }

    void OpenNode(int n)
    {
        plat::TreeView* view = Main().Tree()->View();
        view->SetSelected(view->Item(n));
        Wait(400);
    }

    // The first `banks` banks hold `perBank` channels each, with
    // frequencies, tones and names.
    void FillBanks(int banks, int perBank)
    {
        cmcEeprom& image = Main().CurrentImage();
        for (int b = 0; b < banks; ++b) SetBankChannelCount(b, perBank);
        datCh ch(&image);
        for (int i = 0; i < banks * perBank; ++i) {
            ch.Unpack(1, i);
            ch.RxFreq = 146000000 + 12500 * i;
            ch.TxFreq = ch.RxFreq + 600000;
            ch.RxTone.On = 1;
            ch.RxTone.AnalogIndex = uint16_t(i % 50);
            ch.TxTone = ch.RxTone;
            char name[16];
            std::snprintf(name, sizeof name, "CH %-9d", (i + 1) % 1000);
            std::copy(name, name + 12, ch.Text);
            ch.Pack(1, i);
        }
        Main().Pack(image);
    }

    // Runs a print command with the printer set-up answered OK; the preview
    // is handed to `inPreview`, which must press Print or close it.
    void RunPrint(const std::function<void()>& command, const std::function<void(cuiPreview&)>& inPreview)
    {
        dialogs.AnswerPrinterSetup(true);
        dialogs.Drive([&](plat::Form&) {
            ASSERT_NE(Printer().Preview(), nullptr);
            inPreview(*Printer().Preview());
        });
        command();
        // A list prints one sheet per tick.
        for (int i = 0; i < 400 && Printer().PrintingAll(); ++i) Wait(cuiPrinter::TickMs);
    }
    static void PressPrint(cuiPreview& preview) { preview.PrintButton()->Click(); }
    static void Close(cuiPreview& preview) { preview.Window().Close(); }

    // The sheet titles at the top of each printed page, in order.
    std::vector<std::string> PageTitles()
    {
        std::vector<std::string> titles;
        for (const auto& calls : Paper().PageCalls()) {
            auto text = std::find_if(calls.begin(), calls.end(),
                                     [](const plat::DrawCall& c) { return c.kind == plat::DrawCall::TextOut; });
            titles.push_back(text != calls.end() ? text->text : std::string());
        }
        return titles;
    }

    // The texts (TextOut and TextRect) of each printed page.
    std::vector<std::vector<std::string>> PageTexts()
    {
        std::vector<std::vector<std::string>> pages;
        for (const auto& calls : Paper().PageCalls()) {
            pages.emplace_back();
            for (const plat::DrawCall& c : calls)
                if (c.kind == plat::DrawCall::TextOut || c.kind == plat::DrawCall::TextRect)
                    pages.back().push_back(c.text);
        }
        return pages;
    }

    // A click on the printing dialog's Cancel that arrives with the next
    // events the program takes (none when the dialog is gone by then).
    void ClickCancelWithTheNextEvents()
    {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this] {
                if (plat::Form* dialog = Printer().PrintingDialog())
                    dynamic_cast<plat::Button*>(dialog->FindControl("Cancel"))->Click();
            },
            Qt::QueuedConnection);
    }

    static void SavePicture(const QImage& image, const std::string& name)
    {
        image.save(QString::fromStdString((qmtest::OutputDir() / ("print-" + name)).string()));
    }

    // Where a text is drawn on a printed page, it is drawn in one piece
    // (parts drawn apart meet in a seam that a viewer shows as a light line
    // through it), every pixel of it is on the page, and no rule crosses it.
    void ExpectEveryTextWholeAndUncrossed()
    {
        plat::Canvas& measure = Paper().GetCanvas();
        std::vector<std::string> cut;
        std::vector<std::string> split;
        std::vector<std::string> crossed;
        int texts = 0;
        for (size_t p = 0; p < Paper().PageCalls().size(); ++p) {
            const std::vector<plat::DrawCall>& calls = Paper().PageCalls()[p];
            const std::string page = "page " + std::to_string(p + 1) + ": ";
            std::set<std::tuple<std::string, int, int>> seen;
            for (const plat::DrawCall& text : calls) {
                if ((text.kind != plat::DrawCall::TextOut && text.kind != plat::DrawCall::TextRect) || text.text.empty() ||
                    !seen.insert({text.text, text.at.x, text.at.y}).second)
                    continue;
                ++texts;
                measure.GetFont() = text.font;
                const plat::Size extent = measure.TextExtent(text.text);
                const int left = text.at.x;
                const int right = text.at.x + extent.cx;
                // The columns of pixels the draws of this text leave on the page.
                std::vector<std::pair<int, int>> shown;
                for (const plat::DrawCall& c : calls) {
                    if (c.kind != text.kind || c.text != text.text || c.at.x != left || c.at.y != text.at.y) continue;
                    int from = c.clip ? c.clip->left : left;
                    int to = c.clip ? c.clip->right : right;
                    if (c.kind == plat::DrawCall::TextRect) {
                        from = std::max(from, c.rect.left);
                        to = std::min(to, c.rect.right);
                    }
                    shown.emplace_back(from, to);
                }
                if (shown.size() > 1) split.push_back(page + text.text);
                std::sort(shown.begin(), shown.end());
                int reach = left;
                for (const auto& [from, to] : shown)
                    if (from <= reach) reach = std::max(reach, to);
                // A pixel of the last letter's own room may go.
                if (reach < right - 1)
                    cut.push_back(page + text.text + " (" + std::to_string(reach - left) + " of " +
                                  std::to_string(extent.cx) + " px)");
                for (const plat::DrawCall& c : calls)
                    if (c.kind == plat::DrawCall::FillRect && c.rect.Width() == 1 && c.rect.left > left + 1 &&
                        c.rect.left < right - 1 && c.rect.top < text.at.y + extent.cy && c.rect.bottom > text.at.y)
                        crossed.push_back(page + text.text);
            }
        }
        EXPECT_GT(texts, 500);
        EXPECT_TRUE(cut.empty()) << ::testing::PrintToString(cut);
        EXPECT_TRUE(split.empty()) << ::testing::PrintToString(split);
        EXPECT_TRUE(crossed.empty()) << ::testing::PrintToString(crossed);
    }

    plat::TestPrinterService service;
    plat::ScopedPrinterService scoped;
};

// ---- Pagination ----

// A Banks sheet of six columns: a fixed column, three fixed rows; the
// header carries '+' over columns 1, 2 and 4.
const std::vector<std::string> kSixColumnBanks = {
    "#GI_Sheet_BankOpLtr_Style",
    "(TitleString=Banks)(FixedRows=3)(FixedCols=1)(ColSizing)(ColorSelectLine)(MultiSelect=Line)",
    "#GI_Sheet_BankOpLtr_BasicCell",
    "{($BankBase)}",
    "#GI_Sheet_BankOpLtr_Cells",
    "{($ChGroup)}Bank|{($ChGroup)+}|{($ChGroup)+}|{($ChGroup)}Channels|{($ChGroup)+}|{($ChGroup)}\\_",
    "{($ChHead)}No.|{($ChHead)}Name|{($ChHead)}Type|{($ChHead)}Channels|{($ChHead)}In use|{($ChHead)}Home",
    "{($ChHead)}\\_|{($ChHead)}\\_|{($ChHead)}\\_|{($ChHead)}\\_|{($ChHead)}\\_|{($ChHead)}repeater",
    ":(LoopFrom 128)",
    "{($ChNumber)(%CT_BankOp.FlexCHSelNum[0])}000|{($ChCell)<(%CT_BankOp.CL_Mch_BankText[0])}MMMMMMMMMMMM|"
    "{($ChCell)(%CT_BankOp.CL_Mch_TrunkType[0])}Vote zone, SmarTrunk|{($ChCell)>(%CT_BankOp.CL_Mch_Bank[0])}000|"
    "{($ChCell)>(%CT_BankOp.CL_Mch_UsedCHs[0])}000|{($ChCell)>(%CT_BankOp.CL_Mch_Rpt[0])}00",
    ":(End)",
    "{($ChTotal)}\\_|{($ChTotal)<}Total|{($ChTotal)}\\_|{($ChTotal)>(%CT_BankOp.CL_Mch_Bank[128])}000|"
    "{($ChTotal)>(%CT_BankOp.CL_Mch_UsedCHs[128])}000|{($ChTotal)}\\_",
    "{($ChTotal)}\\_|{($ChTotal)<}Free|{($ChTotal)}\\_|{($ChTotal)>(%CT_BankOp.CL_Mch_Bank[129])}000|"
    "{($ChTotal)>(%CT_BankOp.CL_Mch_UsedCHs[129])}000|{($ChTotal)}\\_",
};

// A sheet without fixed rows or columns: a title over both columns, the
// column headings, three rows of cells, a subtitle over both columns and
// three more rows.
const std::vector<std::string> kTwoColumnParts = {
    "#GI_Sheet_PrintParts_Style",
    "(TitleString=Parts)",
    "#GI_Sheet_PrintParts_BasicCell",
    "{($Page)}",
    "#GI_Sheet_PrintParts_Cells",
    "{<-WH}Parts list|{+}",
    "{<-WH}Part|{<-WH}Count",
    ":(LoopFrom 3)",
    "{S<-WH}Bolt|{S>-WH}10",
    ":(End)",
    "{<-WH}Spares|{+}",
    ":(LoopFrom 3)",
    "{S<-WH}Nut|{S>-WH}20",
    ":(End)",
};

// A sheet whose fixed row is a title over its three columns, and no fixed
// or label columns.
const std::vector<std::string> kThreeColumnTitled = {
    "#GI_Sheet_PrintTitled_Style",
    "(TitleString=Titled)(FixedRows=1)",
    "#GI_Sheet_PrintTitled_BasicCell",
    "{($Page)}",
    "#GI_Sheet_PrintTitled_Cells",
    "{<-WH}Titled|{+}|{+}",
    ":(LoopFrom 3)",
    "{S<-WH}a|{S<-WH}b|{S<-WH}c",
    ":(End)",
};

std::vector<std::string> PaginationStandIns()
{
    std::vector<std::string> lines = kSixColumnBanks;
    lines.insert(lines.end(), kTwoColumnParts.begin(), kTwoColumnParts.end());
    lines.insert(lines.end(), kThreeColumnTitled.begin(), kThreeColumnTitled.end());
    return lines;
}

// Column and row groups of a six-column Banks sheet and of two sheets
// without fixed or label columns, with set widths and heights, for pages of
// several sizes.
TEST_F(Printing, BlocksFollowThePageSizeAndNeverStartAColumnThatContinuesItsHeader)
{
    Start(true, apptest::MakeProgramFolder(user, PaginationStandIns()));
    plat::Form hidden;
    std::unique_ptr<cuiSheet> banks = Main().CreateSheet(&hidden, indMain::BankOperationSpec);
    std::unique_ptr<cuiSheet> parts = Main().CreateSheet(&hidden, "GI_Sheet_PrintParts");
    std::unique_ptr<cuiSheet> titled = Main().CreateSheet(&hidden, "GI_Sheet_PrintTitled");
    for (cuiSheet* sheet : {banks.get(), parts.get(), titled.get()}) {
        sheet->SetPrinter(&Paper());
        sheet->Show();
    }
    ASSERT_EQ(banks->Grid()->ColCount(), 6);
    ASSERT_EQ(banks->Grid()->FixedCols(), 1);
    ASSERT_EQ(banks->Grid()->FixedRows(), 3);
    ASSERT_EQ(banks->Grid()->RowCount() - 3, 130);
    ASSERT_EQ(parts->Grid()->ColCount(), 2);
    ASSERT_EQ(parts->Grid()->RowCount(), 9);
    ASSERT_TRUE(cuiPrinter::RepeatedColumns(*parts).empty());
    ASSERT_TRUE(cuiPrinter::RepeatedColumns(*titled).empty());
    enum Sheet { Banks, Parts, Titled };
    struct Case {
        std::vector<int> widths; // every column's
        int rowHeight;
        int pageWidth;
        int pageHeight;
        std::vector<int> cols;
        size_t rowGroups;
        int firstRowGroup;
        Sheet sheet = Banks;
    };
    const Case cases[] = {
        // Everything fits across; ten rows under the fixed ones per page.
        {{100, 100, 100, 100, 100, 100}, 20, 10000, 260, {5}, 13, 10},
        // Narrow pages: the spans 1-2 and 3-4 stay together...
        {{100, 100, 100, 100, 100, 100}, 20, 350, 2660, {2, 2, 1}, 1, 130},
        // ...unless a page cannot hold them: then they are cut, a column a
        // page, rather than shrunk.
        {{100, 100, 100, 100, 100, 100}, 20, 150, 2660, {1, 1, 1, 1, 1}, 1, 130},
        // Two spans fit beside the fixed column.
        {{100, 100, 100, 100, 100, 100}, 20, 500, 2660, {4, 1}, 1, 130},
        // A column wider than the page: its header span cannot fit on a
        // page either, so the page breaks inside it.
        {{100, 50, 50, 5000, 50, 50}, 20, 500, 2660, {2, 1, 2}, 1, 130},
        // A span that fits on a page stays together: the page breaks
        // before it.
        {{100, 50, 50, 150, 150, 50}, 20, 450, 2660, {2, 3}, 1, 130},
        // Pages lower than the fixed rows still take one row each.
        {{100, 100, 100, 100, 100, 100}, 20, 10000, 50, {5}, 130, 1},
        // Rows of no height all fit on one page.
        {{100, 100, 100, 100, 100, 100}, 0, 10000, 100, {5}, 1, 130},
        // A span exactly as wide as the page beside the fixed column fits.
        {{100, 50, 50, 100, 100, 50}, 20, 300, 2660, {2, 2, 1}, 1, 130},
        // A span is measured from its first column, though it is not on
        // the page: the break before its second column is taken.
        {{100, 50, 50, 300, 100, 50}, 20, 450, 2660, {2, 1, 2}, 1, 130},
        // Without repeated columns: a fixed title over every column is
        // measured from the first column to the last; too wide for the
        // page, it is cut between pages.
        {{60, 30, 30}, 10, 100, 10000, {2, 1}, 1, 3, Titled},
        {{60, 30, 30}, 10, 120, 10000, {3}, 1, 3, Titled},
        // Pages of four rows: the title and column headings repeated over
        // the rows they head (4 + 2), then with the subtitle over its rows
        // (3 + 1 each).
        {{60, 60}, 10, 1000, 40, {2}, 5, 4, Parts},
    };
    for (const Case& c : cases) {
        cuiSheet& sheet = c.sheet == Parts ? *parts : c.sheet == Titled ? *titled : *banks;
        cuiGrid& grid = *sheet.Grid();
        SCOPED_TRACE(sheet.Key() + " " + std::to_string(c.pageWidth) + " x " + std::to_string(c.pageHeight));
        for (int col = 0; col < grid.ColCount(); ++col) grid.SetColWidths(col, c.widths[size_t(col)]);
        for (int row = 0; row < grid.RowCount(); ++row) grid.SetRowHeights(row, c.rowHeight);
        const dst_PrintBlocks blocks = cuiPrinter::SplitBlocks(sheet, {0, 0, c.pageWidth, c.pageHeight});
        EXPECT_EQ(blocks.Cols, c.cols);
        EXPECT_EQ(blocks.Rows.size(), c.rowGroups);
        ASSERT_FALSE(blocks.Rows.empty());
        EXPECT_EQ(blocks.Rows.front(), c.firstRowGroup);
        int rows = 0;
        for (int r : blocks.Rows) rows += r;
        EXPECT_EQ(rows, grid.RowCount() - grid.FixedRows());
    }

    // The rows a page repeats over a block of the two-column sheet.
    struct Repeat {
        int firstRow;
        std::vector<int> rows;
    };
    const Repeat repeats[] = {
        // The first block, and one that opens with a heading of its own.
        {0, {}},
        {5, {}},
        // The title and the column headings over the first rows.
        {3, {0, 1}},
        // Over the rows under the subtitle: the title and column headings,
        // then the subtitle.
        {7, {0, 1, 5}},
    };
    for (const Repeat& r : repeats)
        EXPECT_EQ(cuiPrinter::RepeatedRows(*parts, r.firstRow), r.rows) << "block from row " << r.firstRow;
}

TEST_F(Printing, MarginsAreMillimetresAtThePrintersResolution)
{
    struct Case {
        std::vector<std::string> margins; // put in front of the language file
        int ppi, width, height;
        plat::Rect area;
    };
    const Case cases[] = {
        // The shipped 15 mm at 150 pixels per inch: 88 pixels (truncated);
        // at 600: 354.
        {{}, 150, 1165, 1679, {88, 88, 1165 - 88, 1679 - 88}},
        {{}, 600, 4660, 6716, {354, 354, 4660 - 354, 6716 - 354}},
        // Left, top, right, bottom, each its own: 59.05, 118.11, 177.16
        // and 236.22 pixels.
        {{"#GI_Sys_Printer_Margins", "10, 20 ,30,40"}, 150, 1165, 1679, {59, 118, 1165 - 177, 1679 - 236}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.margins.empty() ? "shipped" : c.margins[1]);
        globals.reset();
        Start(false, c.margins.empty() ? apptest::ProgramDir() : apptest::MakeProgramFolder(user, c.margins));
        EXPECT_EQ(cuiPrinter::MarginArea(c.width, c.height, c.ppi), c.area);
    }
}

// The page frame: the sheet's title over a rule at the top, the maker over
// a rule at the bottom, and the block kept four rule widths clear of each
// rule, measured or drawn.
TEST_F(Printing, ThePageFrameKeepsTheBlockClearOfItsRules)
{
    Start();
    plat::TestPrinter printer;
    plat::Form hidden;
    std::unique_ptr<cuiSheet> sheet = Main().CreateSheet(&hidden, indMain::BankOperationSpec);
    sheet->SetPrinter(&printer);
    sheet->Show();
    const plat::Rect page{40, 50, 1100, 1600};
    const plat::Rect measured = Printer().DrawPageFrame(printer, *sheet, page, true, false);
    ASSERT_TRUE(printer.BeginDoc());
    const plat::Rect inner = Printer().DrawPageFrame(printer, *sheet, page, false, false);
    printer.EndDoc();
    EXPECT_EQ(measured, inner);
    std::vector<plat::Rect> rules;
    std::vector<std::string> texts;
    for (const plat::DrawCall& c : printer.PageCalls().at(0)) {
        if (c.kind == plat::DrawCall::FillRect) rules.push_back(c.rect);
        if (c.kind == plat::DrawCall::TextOut) texts.push_back(c.text);
    }
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(texts, (std::vector<std::string>{"Banks", g_GTex.GetText("GI_Sys_AppTitleRev", 0),
                                               g_GTex.GetText("GI_Sys_Maker", 0)}));
    const plat::Rect top = rules[0];
    const plat::Rect bottom = rules[1];
    const int b = top.Height();
    ASSERT_GT(b, 0);
    EXPECT_EQ(bottom.Height(), b);
    for (const plat::Rect& r : {top, bottom, inner}) {
        EXPECT_EQ(r.left, page.left);
        EXPECT_EQ(r.right, page.right);
    }
    EXPECT_EQ(inner.top, top.bottom + 4 * b);
    EXPECT_EQ(inner.bottom, bottom.top - 4 * b);
    // The title's line and the maker's line at the page's edges.
    EXPECT_GT(top.top, page.top + b);
    EXPECT_EQ(page.bottom - bottom.bottom, top.top - page.top);
}

// The bank channel sheet of a full bank on pages of three sizes: every page
// repeats the fixed column and rows, and together the pages show every
// column and row once; a smaller page takes more pages.
TEST_F(Printing, ABankSheetIsCutIntoPagesThatTogetherShowEveryCellOnce)
{
    Start();
    FillBanks(1, 60);
    const std::string spec = Main().TreeNodeSpec(FirstBankNode);
    struct Paper {
        int ppi, width, height;
    };
    int lastPages = 0;
    for (const Paper& p : {Paper{150, 1165, 1679}, Paper{150, 1679, 1165}, Paper{100, 500, 700}}) {
        plat::TestPrinter printer(p.ppi, p.width, p.height);
        const plat::Rect area = cuiPrinter::MarginArea(p.width, p.height, p.ppi);
        const int pages = Printer().PrintSheet(printer, spec, area, true, false);
        ASSERT_TRUE(Printer().StartDocument(printer));
        EXPECT_EQ(Printer().PrintSheet(printer, spec, area, false, false), pages);
        printer.EndDoc();
        ASSERT_EQ(static_cast<int>(printer.Pages().size()), pages) << p.width << " x " << p.height;
        EXPECT_GT(pages, 1);
        if (p.ppi == 100) {
            EXPECT_GT(pages, lastPages);
        }
        lastPages = pages;
        // Every page shows the first column's head and the bank's title.
        for (const auto& calls : printer.PageCalls()) {
            std::vector<std::string> texts;
            for (const plat::DrawCall& c : calls)
                if (c.kind == plat::DrawCall::TextOut || c.kind == plat::DrawCall::TextRect) texts.push_back(c.text);
            EXPECT_NE(std::find(texts.begin(), texts.end(), "Channel"), texts.end());
            EXPECT_NE(std::find(texts.begin(), texts.end(), "Vosk Inc."), texts.end());
            // Nothing is filled outside the printable area.
            for (const plat::DrawCall& c : calls) {
                if (c.kind != plat::DrawCall::FillRect) continue;
                plat::Rect r = c.rect;
                if (c.clip) {
                    r.left = std::max(r.left, c.clip->left);
                    r.top = std::max(r.top, c.clip->top);
                    r.right = std::min(r.right, c.clip->right);
                    r.bottom = std::min(r.bottom, c.clip->bottom);
                }
                if (r.IsEmpty()) continue;
                EXPECT_GE(r.left, area.left);
                EXPECT_LE(r.right, area.right);
                EXPECT_GE(r.top, area.top);
                EXPECT_LE(r.bottom, area.bottom);
            }
        }
    }
}

// ---- The print command ----

// The Banks sheet is an overview: in the LMR mode print current prints its
// group (here the Banks sheet alone: the radio's and the memory channels'
// pages are not printed).
TEST_F(Printing, PrintCurrentShowsThePreviewAndPrintsTheBanksSheetsGroup)
{
    Start();
    OpenNode(BanksNode);
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_BankOpLtr");
    int shownPages = 0;
    RunPrint([&] { Main().PrintCurrent(); },
             [&](cuiPreview& preview) {
                 shownPages = preview.LastPage() + 1;
                 // The page picture is the printable area at screen resolution.
                 EXPECT_EQ(preview.PageBitmap().Width(), 1165 * 96 / 150);
                 EXPECT_EQ(preview.PageBitmap().Height(), 1679 * 96 / 150);
                 EXPECT_EQ(preview.Status()->Panel(0).text, " 1 / " + std::to_string(shownPages));
                 EXPECT_FALSE(preview.TopPageButton()->Enabled());
                 EXPECT_FALSE(preview.PreviousPageButton()->Enabled());
                 // The frame and the cells are on the page.
                 int dark = 0;
                 const plat::Bitmap& page = preview.PageBitmap();
                 for (int y = 1; y < page.Height() - 1; ++y)
                     for (int x = 1; x < page.Width() - 1; ++x)
                         if (plat::ColorToRGB(page.Pixel(x, y)) != plat::ColorToRGB(plat::clWhite)) ++dark;
                 EXPECT_GT(dark, 2000);
                 preview.PageBitmap().SavePng((qmtest::OutputDir() / "print-preview-page.png").string());
                 plat::SavePng(preview.Window(), (qmtest::OutputDir() / "print-preview-window.png").string());
                 PressPrint(preview);
             });
    ASSERT_GT(shownPages, 0);
    ASSERT_EQ(static_cast<int>(Paper().Pages().size()), shownPages);
    EXPECT_EQ(Paper().Documents(), 1);
    EXPECT_EQ(PageTitles().front(), "Banks");
    SavePicture(Paper().Pages().front(), "printed-page.png");
    // The program is usable again and no list printing is left on.
    EXPECT_TRUE(Form().Enabled());
    EXPECT_FALSE(Main().ListPrinting());
    EXPECT_EQ(Printer().PrintingDialog(), nullptr);
}

// Any other sheet prints alone, at once, without the list-print flag.
TEST_F(Printing, PrintCurrentOnABankSheetPrintsThatSheetAloneAtOnce)
{
    Start();
    FillBanks(2, 100);
    OpenNode(FirstBankNode + 1);
    dialogs.AnswerPrinterSetup(true);
    dialogs.Drive([&](plat::Form&) {
        EXPECT_FALSE(Main().ListPrinting());
        PressPrint(*Printer().Preview());
    });
    Main().PrintCurrent();
    EXPECT_FALSE(Printer().PrintingAll());
    ASSERT_GT(Paper().Pages().size(), 1u);
    for (const std::string& title : PageTitles()) EXPECT_EQ(title.rfind("Bank 2:", 0), 0u) << title;
    EXPECT_TRUE(Form().Enabled());
}

TEST_F(Printing, NothingIsPrintedWithoutAPrinterOrWhenTheSetUpOrThePreviewIsCancelled)
{
    Start();
    OpenNode(BanksNode);
    service.SetAnyPrinter(false);
    dialogs.Answer(plat::IDOK);
    Main().PrintCurrent();
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, g_GTex.GetMultiLineText("GI_Sys_Printer_NoPrinter"));
    EXPECT_EQ(dialogs.Boxes()[0].Icon(), unsigned(plat::MB_ICONERROR));
    service.SetAnyPrinter(true);

    dialogs.AnswerPrinterSetup(false);
    Main().PrintCurrent();
    EXPECT_EQ(dialogs.ModalForms().size(), 0u);

    RunPrint([&] { Main().PrintCurrent(); }, Close);
    EXPECT_TRUE(Paper().Pages().empty());
    EXPECT_TRUE(Form().Enabled());
}

// One Cancel stops the list being printed, and only that run.
TEST_F(Printing, CancelStopsTheRunningPrintAndNoLaterOne)
{
    Start();
    FillBanks(3, 20);
    OpenNode(FirstBankNode);
    Printer().ClearList();
    for (int b = 0; b < 3; ++b) Printer().AddSheet(Main().TreeNodeSpec(FirstBankNode + b));
    dialogs.AnswerPrinterSetup(true);
    dialogs.Drive([&](plat::Form&) { PressPrint(*Printer().Preview()); });
    Printer().Print(true, Main().CurrentSheet());
    ASSERT_TRUE(Printer().PrintingAll());
    ASSERT_NE(Printer().PrintingDialog(), nullptr);
    EXPECT_FALSE(Form().Enabled());
    Wait(cuiPrinter::TickMs); // bank 1
    const size_t firstSheetPages = Paper().Pages().size();
    ASSERT_GT(firstSheetPages, 0u);
    dynamic_cast<plat::Button*>(Printer().PrintingDialog()->FindControl("Cancel"))->Click();
    for (int i = 0; i < 20 && Printer().PrintingAll(); ++i) Wait(cuiPrinter::TickMs);
    EXPECT_FALSE(Printer().PrintingAll());
    // Banks 2 and 3 printed nothing.
    EXPECT_EQ(Paper().Pages().size(), firstSheetPages);
    EXPECT_TRUE(Form().Enabled());

    // The next print counts, shows and prints its pages.
    Paper().Clear();
    RunPrint([&] { Main().PrintCurrent(); }, PressPrint);
    EXPECT_FALSE(Printer().Aborted());
    EXPECT_EQ(Paper().Pages().size(), firstSheetPages);
}

// The printing dialog takes a click between blocks: Cancel stops the sheet
// after the page being printed, and a list ends at once.
TEST_F(Printing, CancelIsTakenBetweenPagesAndEndsAListAtOnce)
{
    Start();
    FillBanks(3, 200);
    OpenNode(FirstBankNode);
    for (const bool all : {false, true}) {
        SCOPED_TRACE(all ? "print all" : "one sheet");
        Paper().Clear();
        Printer().ClearList();
        for (int b = 0; b < 3; ++b) Printer().AddSheet(Main().TreeNodeSpec(FirstBankNode + b));
        dialogs.AnswerPrinterSetup(true);
        dialogs.Drive([&](plat::Form&) {
            PressPrint(*Printer().Preview());
            ClickCancelWithTheNextEvents();
        });
        Printer().Print(all, Main().CurrentSheet());
        // One sheet is printed within the command, a list from the next
        // tick on.
        if (all) Wait(cuiPrinter::TickMs);
        EXPECT_EQ(Paper().Pages().size(), 1u);
        EXPECT_FALSE(Printer().PrintingAll());
        EXPECT_EQ(Printer().PrintingDialog(), nullptr);
        EXPECT_TRUE(Form().Enabled());
        for (int i = 0; i < 20 && Printer().PrintingAll(); ++i) Wait(cuiPrinter::TickMs);
        EXPECT_EQ(Paper().Pages().size(), 1u);
        EXPECT_EQ(Paper().Documents(), 1);
    }
}

// Sheets wider or longer than a page: every page repeats the labels and
// headings that tell what its cells are, and no page is shrunk for a header
// that cannot fit on one page anyway.
TEST_F(Printing, EveryPageOfASheetShowsTheLabelsOfItsCells)
{
    Start();
    struct Case {
        const char* spec;
        // Each page shows every one of these texts...
        std::vector<std::string> always;
        // ...and one of these.
        std::vector<std::string> oneOf;
    };
    const Case cases[] = {
        // A title over every column, a fixed column.
        {"GI_Sheet_Aar", {"The radio derives the railroad plan's channels from these three templates.", "Template"},
         {"1"}},
        // No fixed rows or columns: the memories' column and its heading.
        {"GI_Sheet_Dtmf", {"DTMF memories", "Memory"}, {"Emergency"}},
        // Two tables one under the other, each with its own headings.
        {"[St_Common]GI_Sheet_MdcStatus", {}, {"Block", "No."}},
    };
    const int cellFont = cuiPrinter::PrinterFontSize() * Paper().PixelsPerInch() / -cuiPrinter::PointsPerInch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        Paper().Clear();
        ASSERT_TRUE(Printer().StartDocument(Paper()));
        const int pages = Printer().PrintSheet(Paper(), c.spec, cuiPrinter::MarginArea(1165, 1679, 150), false, false);
        Paper().EndDoc();
        EXPECT_GT(pages, 1);
        const std::vector<std::vector<std::string>> texts = PageTexts();
        ASSERT_EQ(static_cast<int>(texts.size()), pages);
        for (size_t p = 0; p < texts.size(); ++p) {
            const auto shows = [&](const std::string& t) {
                return std::find(texts[p].begin(), texts[p].end(), t) != texts[p].end();
            };
            for (const std::string& t : c.always) EXPECT_TRUE(shows(t)) << "page " << p + 1 << ": " << t;
            EXPECT_TRUE(std::any_of(c.oneOf.begin(), c.oneOf.end(), shows)) << "page " << p + 1;
        }
        // A title over columns is laid out over the page's own columns:
        // each of its cells draws the text from the same place.
        for (const auto& calls : Paper().PageCalls()) {
            std::set<int> starts;
            for (const plat::DrawCall& call : calls)
                if (!c.always.empty() && call.text == c.always[0]) starts.insert(call.at.x);
            EXPECT_LE(starts.size(), 1u);
        }
        // The cells keep the printer's font size.
        for (const auto& calls : Paper().PageCalls())
            for (const plat::DrawCall& call : calls) {
                if (call.kind == plat::DrawCall::TextRect) {
                    EXPECT_EQ(call.font.height, cellFont) << call.text;
                }
            }
    }
}

// Sheets that print nothing: a blank page, no paging, no Print.
TEST_F(Printing, APreviewWithoutPagesShowsABlankPageWithPagingAndPrintDisabled)
{
    Start();
    OpenNode(0);
    Printer().ClearList();
    Printer().AddSheet("");
    Printer().AddSheet(Main().TreeNodeSpec(0)); // the radio's page is not printed
    RunPrint([&] { Printer().Print(true, Main().CurrentSheet()); },
             [&](cuiPreview& preview) {
                 EXPECT_EQ(preview.LastPage(), -1);
                 EXPECT_EQ(preview.Status()->Panel(0).text, " 0 / 0");
                 EXPECT_EQ(preview.PageCountLabel()->Caption(), " / 0");
                 EXPECT_FALSE(preview.PrintButton()->Enabled());
                 for (plat::ToolButton* b : {preview.TopPageButton(), preview.PreviousPageButton(),
                                             preview.NextPageButton(), preview.LastPageButton()})
                     EXPECT_FALSE(b->Enabled());
                 plat::SendKey(preview.Window(), plat::VK_NEXT);
                 plat::TypeText(preview.Window(), "2\r");
                 EXPECT_EQ(preview.CurrentPage(), 0);
                 preview.OnPrintClick();
                 EXPECT_FALSE(preview.PrintPressed());
                 Close(preview);
             });
    EXPECT_TRUE(Paper().Pages().empty());
}

TEST_F(Printing, ThePageEditTakesDigitsAndEnterGoesToThePageWithinTheRange)
{
    Start();
    FillBanks(1, 200);
    OpenNode(FirstBankNode);
    RunPrint([&] { Main().PrintCurrent(); },
             [&](cuiPreview& preview) {
                 ASSERT_GE(preview.LastPage(), 2);
                 plat::Edit& edit = *preview.PageEdit();
                 edit.SetFocus();
                 edit.SetText("");
                 plat::TypeText(preview.Window(), "a!(.$2");
                 EXPECT_EQ(edit.Text(), "2");
                 plat::SendKey(preview.Window(), plat::VK_RETURN);
                 EXPECT_EQ(preview.CurrentPage(), 1);
                 EXPECT_EQ(preview.Status()->Panel(0).text, " 2 / " + std::to_string(preview.LastPage() + 1));
                 edit.SetText("99");
                 plat::SendKey(preview.Window(), plat::VK_RETURN);
                 EXPECT_EQ(preview.CurrentPage(), preview.LastPage());
                 EXPECT_FALSE(preview.NextPageButton()->Enabled());
                 EXPECT_FALSE(preview.LastPageButton()->Enabled());
                 EXPECT_TRUE(preview.TopPageButton()->Enabled());
                 // Empty: Enter goes nowhere.
                 edit.SetText("");
                 plat::SendKey(preview.Window(), plat::VK_RETURN);
                 EXPECT_EQ(preview.CurrentPage(), preview.LastPage());
                 // Paging keys and buttons.
                 plat::SendKey(preview.Window(), plat::VK_PRIOR);
                 EXPECT_EQ(preview.CurrentPage(), preview.LastPage() - 1);
                 preview.TopPageButton()->Click();
                 EXPECT_EQ(preview.CurrentPage(), 0);
                 plat::SendKey(preview.Window(), plat::VK_DOWN);
                 EXPECT_EQ(preview.CurrentPage(), 1);
                 // Zoomed, the arrows scroll the page instead.
                 preview.ZoomButton()->Click();
                 ASSERT_TRUE(preview.Image()->ActualSize());
                 plat::SendKey(preview.Window(), plat::VK_DOWN);
                 EXPECT_EQ(preview.CurrentPage(), 1);
                 Close(preview);
             });
}

// The Setting dialog: "1" to "5" are 8 to 12 points; a new size lays the
// pages out again from page 1; OK without a choice keeps the size.
TEST_F(Printing, TheSettingDialogChangesThePrinterFontSizeAndRepaginates)
{
    Start();
    FillBanks(1, 200);
    OpenNode(FirstBankNode);
    Environ().FontSizePrinter = 12;
    int pagesAt12 = 0;
    int pagesAt8 = 0;
    RunPrint([&] { Main().PrintCurrent(); },
             [&](cuiPreview& preview) {
                 pagesAt12 = preview.LastPage() + 1;
                 preview.NextPageButton()->Click();
                 dialogs.Drive([&](plat::Form& dialog) {
                     EXPECT_EQ(dialog.Caption(), "Setting");
                     ASSERT_NE(preview.FontSizeList(), nullptr);
                     EXPECT_EQ(preview.FontSizeList()->ItemIndex(), 4);
                     preview.FontSizeList()->SetItemIndex(0);
                     dynamic_cast<plat::Button*>(dialog.FindControl("OK"))->Click();
                 });
                 preview.SettingButton()->Click();
                 EXPECT_EQ(Environ().FontSizePrinter, 8);
                 pagesAt8 = preview.LastPage() + 1;
                 EXPECT_EQ(preview.CurrentPage(), 0);

                 // A size outside the list: nothing chosen, and OK keeps it.
                 Environ().FontSizePrinter = 20;
                 dialogs.Drive([&](plat::Form& dialog) {
                     EXPECT_EQ(preview.FontSizeList()->ItemIndex(), -1);
                     dynamic_cast<plat::Button*>(dialog.FindControl("OK"))->Click();
                 });
                 preview.SettingButton()->Click();
                 EXPECT_EQ(Environ().FontSizePrinter, 20);
                 // Cancel keeps it too.
                 dialogs.Drive([&](plat::Form& dialog) {
                     preview.FontSizeList()->SetItemIndex(2);
                     dynamic_cast<plat::Button*>(dialog.FindControl("Cancel"))->Click();
                 });
                 preview.SettingButton()->Click();
                 EXPECT_EQ(Environ().FontSizePrinter, 20);
                 Close(preview);
             });
    EXPECT_GT(pagesAt12, 0);
    EXPECT_LT(pagesAt8, pagesAt12);
}

// Margins wider than the page: nothing is printed, and the user is told.
TEST_F(Printing, MarginsLargerThanThePagePrintNothingAndSaySo)
{
    const std::string folder =
        apptest::MakeProgramFolder(user, {"#GI_Sys_Printer_Margins", "150,150,150,150"});
    Start(true, folder);
    OpenNode(BanksNode);
    dialogs.AnswerPrinterSetup(true);
    dialogs.Answer(plat::IDOK);
    Main().PrintCurrent();
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, g_GTex.GetMultiLineText("GI_Sys_Printer_NoRoom"));
    EXPECT_TRUE(dialogs.ModalForms().empty());
    EXPECT_TRUE(Paper().Pages().empty());
    EXPECT_TRUE(Form().Enabled());
}

// A page far too small for one cell at the printer's font: the font shrinks
// three times, down to a cell height of one pixel, and never falls back to
// the screen's font size.
TEST_F(Printing, ABlockThatCannotFitShrinksTheFontButNeverToNothing)
{
    Start();
    FillBanks(1, 5);
    plat::TestPrinter tiny(150, 60, 60);
    const plat::Rect area{0, 0, 60, 60};
    const std::string spec = Main().TreeNodeSpec(FirstBankNode);
    ASSERT_TRUE(Printer().StartDocument(tiny));
    const int pages = Printer().PrintSheet(tiny, spec, area, false, false);
    tiny.EndDoc();
    ASSERT_GT(pages, 0);
    ASSERT_EQ(static_cast<int>(tiny.PageCalls().size()), pages);
    int cellTexts = 0;
    for (const auto& calls : tiny.PageCalls())
        for (const plat::DrawCall& c : calls) {
            if (c.kind != plat::DrawCall::TextRect && c.kind != plat::DrawCall::TextOut) continue;
            // The page frame's texts keep their own size.
            if (c.text.rfind("Bank 1:", 0) == 0 || c.text == g_GTex.GetText("GI_Sys_AppTitleRev", 0) ||
                c.text == g_GTex.GetText("GI_Sys_Maker", 0))
                continue;
            ++cellTexts;
            // A cell height (positive) of a few pixels at most.
            EXPECT_GT(c.font.height, 0) << c.text;
            EXPECT_LE(c.font.height, 3) << c.text;
        }
    EXPECT_GT(cellTexts, 0);
}

// The block is stretched to its share of the page, and never below a pixel.
TEST_F(Printing, FittingTheBlockToThePageEndsAndKeepsEveryCellAtLeastOnePixel)
{
    Start();
    plat::TestPrinter printer;
    cuiPreview preview(Printer(), nullptr, "Preview", nullptr);
    plat::Form hidden;
    std::unique_ptr<cuiSheet> sheet = Main().CreateSheet(&hidden, indMain::BankOperationSpec);
    sheet->SetPrinter(&printer);
    sheet->Show();
    cuiGrid& grid = *sheet->Grid();
    dst_Preview page;
    page.Page = {0, 0, 700, 1000};
    page.FirstCol = 1;
    page.ColCount = 5;
    page.FirstRow = 3;
    page.RowCount = 10;
    struct Case {
        int width, height; // of every block column and row
        plat::Rect block;  // recorded
        plat::Rect measured;
        int expectColumns; // the block's columns together; -1: not checked
    };
    const Case cases[] = {
        // Narrower than recorded: the columns grow by the difference.
        {40, 20, {0, 0, 400, 300}, {0, 0, 300, 300}, 300},
        // A block that cannot shrink that far stops at one pixel a column.
        {2, 2, {0, 0, 1, 1}, {0, 0, 5000, 5000}, 5},
        // Columns and rows of no size stay as they are.
        {0, 0, {0, 0, 400, 400}, {0, 0, 10, 10}, 0},
    };
    for (const Case& c : cases) {
        for (int col = 1; col < 6; ++col) grid.SetColWidths(col, c.width);
        for (int row = 3; row < 13; ++row) grid.SetRowHeights(row, c.height);
        page.Block = c.block;
        preview.FitBlockToPage(*sheet, page, c.measured);
        int columns = 0;
        for (int col = 1; col < 6; ++col) {
            EXPECT_GE(grid.ColWidths(col), c.width > 0 ? 1 : 0);
            columns += grid.ColWidths(col);
        }
        for (int row = 3; row < 13; ++row) EXPECT_GE(grid.RowHeights(row), c.height > 0 ? 1 : 0);
        if (c.expectColumns >= 0) {
            EXPECT_EQ(columns, c.expectColumns);
        }
    }
}

// ---- The print selections ----

TEST_F(Printing, PrintAllListsTheTreeSheetsWithTheRepeaterListsAfterTheBanks)
{
    Start(true, apptest::MakeProgramFolder(user, RepeaterSheetStandIns()));
    // LTR bank 3 and ZEPH bank 7 hold repeaters, LTR bank 5 and ZEPH bank 9
    // none.
    SetLtrBank(3, 1);
    SetLtrBank(5, 1);
    SetZephBank(7, 1);
    SetZephBank(9, 1); // no repeaters
    SetGroupItemCount(3, 4, indMain::LtrRepeaterKind);
    SetGroupItemCount(7, 2, indMain::ZephRepeaterKind);
    const std::vector<std::string> list = Main().PrintAllSheets();
    const int nodes = Main().TreeNodeCount();
    ASSERT_EQ(static_cast<int>(list.size()), nodes + 2);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(list[size_t(n)], Main().TreeNodeSpec(n));
    EXPECT_EQ(list[3], "GI_Sheet_RptSetWin,R 9,3");
    EXPECT_EQ(list[4], "GI_Sheet_RptSetWin_ZEPH,R 9,7");
    for (int n = 3; n < nodes; ++n) EXPECT_EQ(list[size_t(n + 2)], Main().TreeNodeSpec(n));
    // Repeater lists print their paper rows.
    EXPECT_TRUE(Main().ListPrinting());
    Main().SetListPrinting(false);

    // The bank operation sheet's group: the first three tree sheets and the
    // repeater lists.
    const std::vector<std::string> group = Main().BankOperationSheets();
    EXPECT_EQ(group, std::vector<std::string>(list.begin(), list.begin() + 5));
    Main().SetListPrinting(false);

    // The PMR mode prints the tree's sheets alone.
    dialogs.Answer(plat::IDOK);
    Main().ChangeModelType(indMain::ModelTypePmr, true);
    Wait();
    const std::vector<std::string> pmr = Main().PrintAllSheets();
    ASSERT_EQ(static_cast<int>(pmr.size()), Main().TreeNodeCount());
    EXPECT_FALSE(Main().ListPrinting());
    EXPECT_TRUE(Main().MultisiteSheets().empty());
}

// The program's own language file holds the repeater lists' sheets: an LTR
// bank with repeaters adds its list to the tree's sheets.
TEST_F(Printing, RepeaterListsOfTheProgramsOwnSheetsArePrinted)
{
    Start();
    SetLtrBank(3, 1);
    SetGroupItemCount(3, 4, indMain::LtrRepeaterKind);
    EXPECT_EQ(static_cast<int>(Main().PrintAllSheets().size()), Main().TreeNodeCount() + 1);
    Main().SetListPrinting(false);
}

TEST_F(Printing, AMultisiteSiteIsListedWithRepeatersAndAnIdentityOnly)
{
    Start(true, apptest::MakeProgramFolder(user, RepeaterSheetStandIns()));
    cmcEeprom& image = Main().CurrentImage();
    const auto siteId = [&](int s) { return indMain::SiteRecords + indMain::SiteRecordSize * s + indMain::SiteIdByte; };
    SetGroupItemCount(2, 3, indMain::SiteRepeaterKind);
    image.SetByte(siteId(2), 17);
    SetGroupItemCount(4, 3, indMain::SiteRepeaterKind); // identity 0
    image.SetByte(siteId(4), 0);
    image.SetByte(siteId(6), 9); // no repeaters
    const std::vector<std::string> list = Main().MultisiteSheets();
    EXPECT_EQ(list, (std::vector<std::string>{indMain::SiteListSpec, "GI_Sheet_RptSetWin_Multisite,M 9,2"}));
    Main().SetListPrinting(false);
}

// Print all of a radio with its banks in use: the pages come in the
// list's order, each sheet starting on a page of its own.
TEST_F(Printing, PrintAllPrintsEverySheetInTheListsOrder)
{
    Start(true, apptest::MakeProgramFolder(user, RepeaterSheetStandIns()));
    FillBanks(4, 30);
    SetLtrBank(2, 1);
    SetGroupItemCount(2, 3, indMain::LtrRepeaterKind);
    OpenNode(BanksNode);
    int previewPages = 0;
    RunPrint([&] { Main().PrintAll(); },
             [&](cuiPreview& preview) {
                 previewPages = preview.LastPage() + 1;
                 PressPrint(preview);
             });
    EXPECT_EQ(Paper().Documents(), 1);
    ASSERT_EQ(static_cast<int>(Paper().Pages().size()), previewPages);
    // The radio's and the memory channels' pages print nothing; the banks
    // sheet, the repeater list of bank 3, then banks 1 to 4 in order; empty
    // banks print nothing. The pages of the tree's later nodes follow.
    std::vector<std::string> order;
    for (const std::string& title : PageTitles())
        if (order.empty() || order.back() != title) order.push_back(title);
    ASSERT_GE(order.size(), 6u);
    for (size_t n = 6; n < order.size(); ++n) EXPECT_NE(order[n].rfind("Bank ", 0), 0u) << order[n];
    EXPECT_EQ(order[0], "Banks");
    EXPECT_EQ(order[1].rfind(g_GTex.GetText("GI_AppInd_RptSheet_Printer_Head", 0), 0), 0u) << order[1];
    for (int b = 1; b <= 4; ++b)
        EXPECT_EQ(order[size_t(b + 1)].rfind("Bank " + std::to_string(b) + ":", 0), 0u) << order[size_t(b + 1)];
    EXPECT_TRUE(Printer().SheetList().empty());
    EXPECT_FALSE(Main().ListPrinting());
}

// The two user-character sheets print each its own character set, whatever
// set the open page and the view type use: the dots of a character filled
// in that set reach the paper.
TEST_F(Printing, EachCharacterSheetPrintsItsOwnCharacterSet)
{
    Start();
    OpenNode(BanksNode);
    struct Case {
        const char* spec;
        int kind; // the set's records
        int viewType; // the other set's
    };
    const Case cases[] = {{"GI_Sheet_Common_CEdit", 3, 1}, {"GI_Sheet_Common_CEdit_Mob", 4, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        Environ().ViewType = c.viewType;
        const auto blackFills = [&] {
            Paper().Clear();
            Printer().ClearList();
            Printer().AddSheet(c.spec);
            RunPrint([&] { Printer().Print(true, Main().CurrentSheet()); }, PressPrint);
            int fills = 0;
            for (const auto& calls : Paper().PageCalls())
                for (const plat::DrawCall& call : calls)
                    if (call.kind == plat::DrawCall::FillRect && call.brush.color == plat::clBlack) ++fills;
            return fills;
        };
        const int before = blackFills();
        ASSERT_GT(Paper().Pages().size(), 0u);
        // Every dot of the first user character set.
        cmcEeprom& image = Main().CurrentImage();
        datCh glyph(&image);
        glyph.Unpack(c.kind, 0);
        std::fill(std::begin(glyph.CharBitmap), std::end(glyph.CharBitmap), uint8_t(0xFF));
        std::fill(std::begin(glyph.CharBitmapMob), std::end(glyph.CharBitmapMob), uint8_t(0xFF));
        glyph.Pack(c.kind, 0);
        Main().Pack(image);
        EXPECT_GT(blackFills(), before);
    }
}

// ---- Menu and tool bar ----

TEST_F(Printing, PrintCurrentIsOfferedForSheetsThatPrint)
{
    Start();
    OpenNode(0); // the radio's page is not printed
    Choose(MenuItem(CL_Menu_View_ToolBar));
    Choose(MenuItem(CL_Menu_View_ToolBar));
    EXPECT_FALSE(MenuItem(CL_Menu_File_Print_Current)->Enabled());
    EXPECT_FALSE(ToolButton(CL_Menu_File_Print_Current)->Enabled());
    EXPECT_TRUE(MenuItem(CL_Menu_File_Print_All)->Enabled());
    OpenNode(BanksNode);
    Choose(MenuItem(CL_Menu_View_ToolBar));
    Choose(MenuItem(CL_Menu_View_ToolBar));
    EXPECT_TRUE(MenuItem(CL_Menu_File_Print_Current)->Enabled());
    EXPECT_TRUE(ToolButton(CL_Menu_File_Print_Current)->Enabled());

    // The menu item runs print current.
    dialogs.AnswerPrinterSetup(true);
    dialogs.Drive([&](plat::Form&) { Close(*Printer().Preview()); });
    Choose(MenuItem(CL_Menu_File_Print_Current));
    EXPECT_EQ(dialogs.PrinterSetups(), 1);
    EXPECT_EQ(dialogs.UnusedDrivers(), 0u);
}

// ---- PDF output ----

// The Banks page printed into a PDF file, rendered back to a picture,
// shows what the test printer's page shows.
TEST_F(Printing, APdfPageMatchesTheTestPrintersPage)
{
    if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is missing";
    Start();
    OpenNode(BanksNode);
    RunPrint([&] { Main().PrintCurrent(); }, PressPrint);
    ASSERT_FALSE(Paper().Pages().empty());
    const QImage expected = Paper().Pages().front();

    const std::string pdf = user.File("banks.pdf");
    {
        plat::PdfPrinterService pdfService(pdf, 150);
        plat::ScopedPrinterService scopedPdf(pdfService);
        RunPrint([&] { Main().PrintCurrent(); }, PressPrint);
    }
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string stem = user.File("banks");
    ASSERT_EQ(std::system(("pdftoppm -r 150 -png -f 1 -l 1 -singlefile '" + pdf + "' '" + stem + "'").c_str()), 0);
    QImage rendered(QString::fromStdString(stem + ".png"));
    ASSERT_FALSE(rendered.isNull());
    SavePicture(rendered, "pdf-page.png");
    // The printable area starts a quarter inch in.
    const int margin = 37;
    ASSERT_GE(rendered.width(), expected.width() + margin);
    ASSERT_GE(rendered.height(), expected.height() + margin);

    // Grey levels of 6 x 6 cells; the best of the offsets around the margin
    // (a pixel of rounding); few cells may differ by more than a quarter.
    const auto grey = [](const QImage& image, int x0, int y0, int x, int y) {
        int sum = 0;
        for (int dy = 0; dy < 6; ++dy)
            for (int dx = 0; dx < 6; ++dx) sum += qGray(image.pixel(x0 + x + dx, y0 + y + dy));
        return sum / 36;
    };
    double best = 1.0;
    for (int oy = margin - 1; oy <= margin + 1; ++oy)
        for (int ox = margin - 1; ox <= margin + 1; ++ox) {
            int cells = 0;
            int differing = 0;
            for (int y = 0; y + 6 <= expected.height() - 2; y += 6)
                for (int x = 0; x + 6 <= expected.width() - 2; x += 6) {
                    ++cells;
                    if (std::abs(grey(expected, 0, 0, x, y) - grey(rendered, ox, oy, x, y)) > 64) ++differing;
                }
            best = std::min(best, static_cast<double>(differing) / cells);
        }
    EXPECT_LT(best, 0.02);
}

// A word of a PDF page as pdftotext reads it, in points from the page's
// top left corner.
struct PdfWord {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

// The words of each page of a PDF file (pdftotext writes them into the
// given file on the way).
std::vector<std::vector<PdfWord>> ReadPdfWords(const std::string& pdf, const std::string& html)
{
    std::vector<std::vector<PdfWord>> pages;
    if (std::system(("pdftotext -bbox '" + pdf + "' '" + html + "'").c_str()) != 0) return pages;
    std::ifstream in(html);
    std::stringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    const std::regex word(
        R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    for (auto m = std::sregex_iterator(text.begin(), text.end(), word); m != std::sregex_iterator(); ++m) {
        if ((*m)[1].length() == 0) {
            pages.emplace_back();
            continue;
        }
        if (pages.empty()) continue;
        std::string w = (*m)[5].str();
        for (const auto& [entity, c] : {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"},
                                        {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}})
            for (size_t at = w.find(entity); at != std::string::npos; at = w.find(entity, at + c.size()))
                w.replace(at, entity.size(), c);
        pages.back().push_back({std::stod((*m)[1]), std::stod((*m)[2]), std::stod((*m)[3]), std::stod((*m)[4]), w});
    }
    return pages;
}

// The resolution of the printer the print dialog sets up (printing into a
// PDF file when the system has no printer).
int PrintDialogPixelsPerInch()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    return printer.resolution();
}

// Every page a full radio of either model type prints, into a PDF file at
// the print dialog's resolution: no word on any page is below a readable
// size. The bank sheets all print the one channel sheet: the first bank of
// each type stands for them, and the first repeater list of each kind for
// the lists.
TEST_F(Printing, EveryPageOfAFullRadioPrintsAtAReadableSize)
{
    const int ppi = PrintDialogPixelsPerInch();
    ASSERT_GE(ppi, 600);
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is missing";
    constexpr double kReadablePoints = 6.0;
    for (const int modelType : {indMain::ModelTypeLmr, indMain::ModelTypePmr}) {
        SCOPED_TRACE(modelType == indMain::ModelTypeLmr ? "LMR" : "PMR");
        StartModel(modelType, true, true);
        const int types = static_cast<int>(apptest::BankTypes(modelType).size());
        std::set<std::string> left;
        for (int b = types; b < WorkTables::Banks; ++b) left.insert(Main().TreeNodeSpec(FirstBankNode + b));
        std::set<std::string> listKeys;
        Printer().ClearList();
        for (const std::string& spec : Main().PrintAllSheets()) {
            if (left.count(spec) != 0) continue;
            if (spec.rfind("GI_Sheet_RptSetWin", 0) == 0 && !listKeys.insert(spec.substr(0, spec.find(','))).second)
                continue;
            Printer().AddSheet(spec);
        }
        ASSERT_GT(Printer().SheetList().size(), 20u);

        const std::string pdf = user.File("full.pdf");
        int previewPages = 0;
        {
            plat::PdfPrinterService pdfService(pdf, ppi);
            plat::ScopedPrinterService scopedPdf(pdfService);
            RunPrint([&] { Printer().Print(true, Main().CurrentSheet()); },
                     [&](cuiPreview& preview) {
                         previewPages = preview.LastPage() + 1;
                         PressPrint(preview);
                     });
        }
        Main().SetListPrinting(false);
        ASSERT_FALSE(Printer().PrintingAll());
        const std::vector<std::vector<PdfWord>> pages = ReadPdfWords(pdf, user.File("full.html"));
        int count = 0;
        std::vector<std::string> small;
        for (size_t p = 0; p < pages.size(); ++p)
            for (const PdfWord& w : pages[p]) {
                ++count;
                const double height = w.yMax - w.yMin;
                if (height < kReadablePoints && small.size() < 10)
                    small.push_back("page " + std::to_string(p + 1) + ": " + w.text + " (" + std::to_string(height) +
                                    " pt)");
            }
        EXPECT_EQ(static_cast<int>(pages.size()), previewPages);
        EXPECT_GT(count, 1000);
        EXPECT_TRUE(small.empty()) << ::testing::PrintToString(small);
    }
}

// Pages that show only part of a span (a group heading over columns, the
// hint over a bank sheet, a heading that begins in the repeated column)
// print its text whole, with no rule across it: the Banks sheet and a bank
// of each type, on either model.
TEST_F(Printing, APageShowsTheTextOfEverySpanOnItWhole)
{
    for (const int modelType : {indMain::ModelTypeLmr, indMain::ModelTypePmr}) {
        SCOPED_TRACE(modelType == indMain::ModelTypeLmr ? "LMR" : "PMR");
        StartModel(modelType, true, true);
        Paper().Clear();
        Printer().ClearList();
        Printer().AddSheet(Main().TreeNodeSpec(BanksNode));
        for (size_t b = 0; b < apptest::BankTypes(modelType).size(); ++b)
            Printer().AddSheet(Main().TreeNodeSpec(FirstBankNode + static_cast<int>(b)));
        RunPrint([&] { Printer().Print(true, Main().CurrentSheet()); }, PressPrint);
        Main().SetListPrinting(false);
        ASSERT_GT(Paper().PageCalls().size(), 5u);
        ExpectEveryTextWholeAndUncrossed();
    }
}

} // namespace
