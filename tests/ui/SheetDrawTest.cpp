// What a sheet looks like: backgrounds, selection colours, rules, spans,
// texts, tails and marks on screen, and the same cells on paper.
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/QtCanvas.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TestPrinter.h"
#include "tests/ui/SheetFixture.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <string>

namespace {

using sheettest::SheetTest;

constexpr QRgb Highlight = qRgb(0, 120, 215);
constexpr QRgb Unfocused = qRgb(191, 191, 191);   // (3 x 255 + 0 + 2) / 4
constexpr QRgb CurrentLine = qRgb(223, 223, 223); // (7 x 255 + 0 + 4) / 8
constexpr QRgb RuleGrey = qRgb(128, 128, 128);
constexpr QRgb ButtonFace = qRgb(240, 240, 240);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb ErrorRed = qRgb(255, 0, 0);
constexpr QRgb WarningYellow = qRgb(255, 255, 0);

// A header row with a span (the Frequency heading runs over the tail
// column), two list rows with frequency (right-placed), tail, tone and a
// name; rules B, X and Q.
const std::vector<std::string> DrawCells{
    "{WH^B(Color=clBtnFace)}Channel name|{H^BX(Color=clBtnFace)}Receive frequency|{WH+BX(Color=clBtnFace)}|"
    "{WH^B(Color=clBtnFace)}Tone",
    "{WHSX(%CL_Mch_Text[0])}|{WH>S(%CL_Mch_FreqR[0])}145.000|{WHTX}MHz|{WHSQ(%CL_Mch_FreqT[0])}",
    "{WHSX(%CL_Mch_Text[1])}|{WH>S(%CL_Mch_FreqR[1])}146.500|{WHTX}MHz|{WHSQ(%CL_Mch_FreqT[1])}",
};

class SheetDraw : public SheetTest {
protected:
    SheetDraw()
    {
        // Images 12 (warning) and 13 (error) of the mark list.
        for (int i = 0; i < 14; ++i) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(i == 13 ? ErrorRed : i == 12 ? WarningYellow : qRgb(0, 0, 0));
            images.AddImage(image);
        }
        renderText = [](const cmcCellObj& cell) -> std::string {
            switch (cell.Label) {
            case CL_Mch_Text: return cell.Index == 0 ? "Alpha" : "Bravo";
            case CL_Mch_FreqR: return cell.Index == 0 ? "145.000" : "146.500";
            case CL_Mch_FreqT: return "88.5";
            default: return "";
            }
        };
    }

    void OpenDrawSheet()
    {
        UseLayout("(TitleString=Memory channels)(TitleColor=clNavy)(TitleFont=,,clWhite,,,fsBold,)(FixedRows=1)"
                  "(ColorSelectLine)", "{<-(%CT_Mch.)(Color=clWindow)(Font=,,clWindowText,-13,,,)}",
                  DrawCells);
        sheet = std::make_unique<cuiSheet>(&form, nullptr, 0, 0, &g_GTex, "S", &images);
        sheet->SetCellHandler([this](cmcCellCapsule* c, int) {
            if (c->Canvas == nullptr) return erNothing;
            c->Text = renderText(*c->Cell);
            // An error on the second frequency, a warning on the first name.
            c->ErrorMark = c->Cell->Label == CL_Mch_FreqR && c->Cell->Index == 1;
            c->WarningMark = c->Cell->Label == CL_Mch_Text && c->Cell->Index == 0;
            return erNothing;
        });
        sheet->Show();
        other = new plat::Edit(form);
        other->SetBounds(0, 380, 50, 20);
        form.Show();
        plat::ProcessMessages();
        Grid().SetFocus();
        plat::SendKey(form, plat::VK_RIGHT); // the cursor on the first frequency
    }

    QImage Shot(const std::string& name)
    {
        plat::ProcessMessages();
        const QImage shot = Grid().Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        shot.save(QString::fromStdString((qmtest::OutputDir() / (name + ".png")).string()));
        return shot;
    }

    // A pixel of cell (col, row), dx and dy from its top-left corner (negative:
    // from its right or bottom edge).
    QRgb Pixel(const QImage& shot, int col, int row, int dx, int dy)
    {
        const plat::Rect r = Grid().GetCellRect(col, row);
        return shot.pixel(dx >= 0 ? r.left + dx : r.right + dx, dy >= 0 ? r.top + dy : r.bottom + dy);
    }

    // Pixels of a cell that are neither of the two colours given.
    int Others(const QImage& shot, int col, int row, QRgb a, QRgb b)
    {
        const plat::Rect r = Grid().GetCellRect(col, row);
        int n = 0;
        for (int y = r.top; y < r.bottom - 1; ++y)
            for (int x = r.left; x < r.right - 1; ++x)
                if (shot.pixel(x, y) != a && shot.pixel(x, y) != b) ++n;
        return n;
    }

    bool HasColour(const QImage& shot, const plat::Rect& r, QRgb c)
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (shot.pixel(x, y) == c) return true;
        return false;
    }

    plat::ImageList images;
    plat::Edit* other = nullptr;
};

TEST_F(SheetDraw, ScreenShowsSelectionRulesSpansTextsAndMarks)
{
    OpenDrawSheet();
    ASSERT_EQ(Cursor(), "1,1");
    const QImage shot = Shot("sheet-focused");
    plat::SavePng(form, (qmtest::OutputDir() / "sheet-window.png").string());
    // The title panel above the grid, in the title's colours.
    ASSERT_NE(sheet->TitleLabel(), nullptr);
    const QImage title = sheet->TitleLabel()->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(title.pixel(title.width() - 2, 1), qRgb(0, 0, 128));
    EXPECT_GE(sheet->TitlePanel()->Height(), 20); // the text, the bevel and a margin
    EXPECT_LE(sheet->TitlePanel()->Top() + sheet->TitlePanel()->Height(), sheet->FramePanel()->Top());

    // The current cell and its tail in the highlight colour, the rest of
    // the current row in the current-line colour, other rows white.
    EXPECT_EQ(Pixel(shot, 1, 1, 1, 1), Highlight);
    EXPECT_EQ(Pixel(shot, 2, 1, 1, 1), Highlight);
    EXPECT_EQ(Pixel(shot, 3, 1, 1, 1), CurrentLine);
    EXPECT_EQ(Pixel(shot, 0, 2, 1, 1), White);
    EXPECT_EQ(Pixel(shot, 0, 0, 1, 1), ButtonFace);

    // Rules: B white on the coloured header, X grey along the whole right
    // edge of a white cell, Q only along its lower 30 percent; no rule
    // between a cell and the '+' cell after it.
    EXPECT_EQ(Pixel(shot, 0, 0, 3, -1), White);
    EXPECT_EQ(Pixel(shot, 0, 2, -1, 1), RuleGrey);
    EXPECT_EQ(Pixel(shot, 0, 2, -1, -1), RuleGrey);
    EXPECT_EQ(Pixel(shot, 3, 2, -1, -1), RuleGrey);
    EXPECT_EQ(Pixel(shot, 3, 2, -1, 1), White);
    EXPECT_EQ(Pixel(shot, 1, 0, -1, 2), ButtonFace);
    EXPECT_EQ(Pixel(shot, 2, 0, -1, 2), White);

    // Texts: the frequency heading runs from its cell into the '+' cell; a
    // tail shows its own text.
    EXPECT_GT(Others(shot, 1, 0, ButtonFace, White), 0);
    EXPECT_GT(Others(shot, 2, 0, ButtonFace, White), 0);
    EXPECT_GT(Others(shot, 0, 2, White, RuleGrey), 0);
    EXPECT_GT(Others(shot, 2, 2, White, RuleGrey), 0);

    // Marks: the error of the right-placed frequency at its left edge, the
    // warning of the left-placed name right after its text.
    const plat::Rect freq = Grid().GetCellRect(1, 2);
    EXPECT_TRUE(HasColour(shot, {freq.left, freq.top, freq.left + 8, freq.bottom}, ErrorRed));
    EXPECT_FALSE(HasColour(shot, {freq.right - 8, freq.top, freq.right, freq.bottom}, ErrorRed));
    const plat::Rect name = Grid().GetCellRect(0, 1);
    plat::Canvas& canvas = Grid().GetCanvas();
    sheet->ApplyCellFont(sheet->CellAt(0, 1), canvas.GetFont());
    const int afterText = name.left + 4 + canvas.TextWidth("Alpha");
    EXPECT_EQ(shot.pixel(afterText + 2, name.bottom - 3), WarningYellow);
    EXPECT_NE(shot.pixel(afterText - 3, name.bottom - 3), WarningYellow);
}

TEST_F(SheetDraw, ATailRepaintsWithItsCellOnlyWhenItsPassLeftItOut)
{
    OpenDrawSheet();
    plat::ProcessMessages();
    // A whole repaint draws the tails with their cells: nothing more.
    Grid().SetInvalidationLog(true);
    Grid().Repaint();
    EXPECT_EQ(Grid().InvalidationLog(), (std::vector<plat::Point>{{-1, -1}}));
    // A pass that draws a cell without its tail asks for the tail.
    Grid().SetInvalidationLog(true);
    Grid().InvalidateGridCell(1, 2);
    plat::ProcessMessages();
    EXPECT_EQ(Grid().InvalidationLog(), (std::vector<plat::Point>{{1, 2}, {2, 2}}));
    plat::ProcessMessages();
    EXPECT_EQ(Grid().InvalidationLog().size(), 2u);
}

TEST_F(SheetDraw, SpansScrolledSidewaysShowTheirTextFromTheirFirstCellInViewOrNotAtAll)
{
    // A fixed column; a short heading and a long one over a narrow column
    // that runs on into the next; a hint in the fixed column that runs over
    // every column.
    UseLayout("(FixedRows=3)(FixedCols=1)", "{<-(Color=clBtnFace)(Font=,,clWindowText,-13,,,)}",
              {"{H}Channel|{H}Name|{H}Power|{H+}|{H}Tone",
               "{H}|{H}|{H}Transmit power settings of this channel|{H+}|{H}",
               "{H}Type a frequency into the row below to add a channel to this bank|{H+}|{H+}|{H+}|{H+}",
               "{WHS(Color=clWindow)}0000|{WHS(Color=clWindow)}BBBBBBBBBBBB|{WHS(Color=clWindow)}CC|"
               "{WHS(Color=clWindow)}DDDDDDDDDDDDDDDD|{WHS(Color=clWindow)}EEEEEEEEEEEEEEEEEEEEEEEE"});
    form.SetClientSize(300, 200);
    Open();
    form.Show();
    const QImage unscrolled = Shot("sheet-spans");
    Grid().SetLeftCol(3);
    const QImage scrolled = Shot("sheet-spans-scrolled");
    ASSERT_EQ(Grid().LeftCol(), 3);

    // The strip of cell (col, row) `width` pixels wide from its left edge.
    const auto strip = [&](const QImage& shot, int col, int row, int width) {
        const plat::Rect r = Grid().GetCellRect(col, row);
        return shot.copy(r.left, r.top, width, r.Height() - 1);
    };
    // With column 3 first in view, the short heading of columns 2 and 3
    // begins in column 3 as it began in column 2; the hint runs on in
    // column 3 as it ran on in column 1 right of the fixed column.
    Grid().SetLeftCol(1);
    const int heading = std::min(Grid().ColWidths(2), Grid().ColWidths(3)) - 1;
    const int hint = std::min(Grid().ColWidths(1), Grid().ColWidths(3)) - 1;
    const QImage headingBefore = strip(unscrolled, 2, 0, heading);
    const QImage hintBefore = strip(unscrolled, 1, 2, hint);
    EXPECT_GT(Others(unscrolled, 2, 1, ButtonFace, White), 0) << "the long heading shows over both its columns";
    Grid().SetLeftCol(3);
    EXPECT_EQ(strip(scrolled, 3, 0, heading), headingBefore);
    EXPECT_EQ(strip(scrolled, 3, 2, hint), hintBefore);
    EXPECT_GT(Others(scrolled, 3, 2, ButtonFace, White), 0) << "the hint shows";
    // The long heading does not fit column 3 alone: it shows nothing there
    // rather than its first letters.
    EXPECT_EQ(Others(scrolled, 3, 1, ButtonFace, White), 0) << "the long heading is cut";
}

// A text that ends in a line break (a bit field's) stands where the text
// without it stands: the break starts no second line to centre.
TEST_F(SheetDraw, ATextEndingInALineBreakIsDrawnAsOneLine)
{
    UseLayout("(FixedRows=0)", "{<-(Color=clWindow)(Font=,,clWindowText,-13,,,)}",
              {"{WHS(%CL_Mch_Text[0])}1_3_____|{WHS(%CL_Mch_Text[1])}1_3_____"});
    renderText = [](const cmcCellObj& cell) -> std::string { return cell.Index == 0 ? "1_3_____" : "1_3_____\n"; };
    Open();
    form.Show();
    other = new plat::Edit(form);
    other->SetFocus(); // no highlight: both cells white
    const QImage shot = Shot("sheet-line-break");
    // The rows of a cell that hold ink, from its top.
    const auto inkRows = [&](int col) {
        const plat::Rect r = Grid().GetCellRect(col, 0);
        std::vector<int> rows;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (shot.pixel(x, y) != White && shot.pixel(x, y) != Unfocused) {
                    rows.push_back(y - r.top);
                    break;
                }
        return rows;
    };
    ASSERT_FALSE(inkRows(0).empty());
    EXPECT_EQ(inkRows(1), inkRows(0));
}

TEST_F(SheetDraw, WithoutFocusTheSelectionIsGreyAndGreyTextTurnsWhite)
{
    renderText = [](const cmcCellObj& cell) -> std::string { return cell.Label == CL_Mch_FreqR ? "145.000" : ""; };
    OpenDrawSheet();
    other->SetFocus();
    const QImage shot = Shot("sheet-unfocused");
    EXPECT_EQ(Pixel(shot, 1, 1, 1, 1), Unfocused);
    EXPECT_EQ(Pixel(shot, 2, 1, 1, 1), Unfocused);
    // Black text on the grey: some pixels darker than the grey.
    EXPECT_GT(Others(shot, 1, 1, Unfocused, White), 0);
}

TEST_F(SheetDraw, PaperPrintsColouredCellsDarkWithWhiteTextAndDrawsMarks)
{
    OpenDrawSheet();
    plat::TestPrinter printer(96, 400, 200);
    // Drawn as printing does: the sheet set to the printer, cell by cell.
    sheet->SetPrinter(&printer);
    ASSERT_TRUE(printer.BeginDoc());
    const plat::Rect header{0, 0, 80, 24};
    const plat::Rect freq{0, 40, 80, 72};
    sheet->DrawCell(0, 0, header);
    sheet->DrawCell(1, 2, freq);
    printer.EndDoc();
    ASSERT_EQ(printer.Pages().size(), 1u);
    const QImage page = printer.Pages()[0].convertToFormat(QImage::Format_RGB32);
    page.save(QString::fromStdString((qmtest::OutputDir() / "sheet-paper.png").string()));

    // The header (clBtnFace) is dark grey with white text; the white cell
    // keeps the paper white, its text and the error cross black.
    EXPECT_EQ(page.pixel(1, 1), qRgb(96, 96, 96));
    int whiteOnGrey = 0;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 80; ++x) whiteOnGrey += page.pixel(x, y) == White;
    EXPECT_GT(whiteOnGrey, 0);
    EXPECT_EQ(page.pixel(1, 41), White);
    const int m = freq.Height() / 2;
    const int f = m / 8;
    // The centre of the cross (h2, h2) from (x, bottom - m - f), x = left + f.
    EXPECT_EQ(page.pixel(freq.left + f + m / 2, freq.bottom - m - f + m / 2), qRgb(0, 0, 0));

    // A preview page is drawn on its bitmap in bitmap mode.
    QImage bitmap(400, 200, QImage::Format_RGB32);
    bitmap.fill(White);
    plat::QtCanvas preview(&bitmap);
    QPainter painter(&bitmap);
    preview.BeginPaint(&painter);
    sheet->SetPrintTarget(&printer, &preview);
    sheet->SetBitmapMode(true);
    EXPECT_EQ(sheet->Scale(), 1.0);
    sheet->DrawCell(0, 0, header);
    preview.EndPaint();
    painter.end();
    EXPECT_EQ(bitmap.pixel(1, 1), qRgb(96, 96, 96));
    EXPECT_EQ(printer.Documents(), 1);
    sheet->SetBitmapMode(false);
    sheet->SetPrinter(nullptr);
}

} // namespace
