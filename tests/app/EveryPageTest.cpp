// Every page of the running program, for both model types, on the document
// File > New gives and on a full one: each opens from its node in the tree,
// builds its sheet and draws, no message box appears, and no cell shows the
// text of a value outside its list or of a label without a behaviour.
#include "tests/app/AppFixture.h"
#include "tests/app/FullImage.h"

#include "core/CellNames.h"
#include "core/TextFunctions.h"
#include "core/cmcCellObj.h"
#include "model/TableAccess.h"
#include "model/indMain.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMain.h"
#include "ui/cuiSheet.h"

#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <set>

namespace {

bool ShowsAFault(const std::string& text)
{
    return text.find("error") != std::string::npos || text.find("*Yet*") != std::string::npos;
}

class EveryPage : public apptest::ProgramFixture {
protected:
    // The cursor may stand on the cell, and its column shows.
    bool Selectable(int col, int row)
    {
        return (Sheet().CellAt(col, row).FlagsB & cmcCellObj::LetterS) != 0 && Grid().ColWidths(col) > 0;
    }
    // The width a cell has to draw in: its column and the columns that
    // continue it on the right.
    int SpanWidth(int col, int row)
    {
        int width = Grid().ColWidths(col);
        for (int c = col + 1; c < Grid().ColCount() && (Sheet().CellAt(c, row).FlagsA & cmcCellObj::LetterPlus) != 0; ++c)
            width += Grid().ColWidths(c);
        return width;
    }
    // The text of a cell is drawn whole, in the font it is drawn in, over
    // the columns of it that show (a cell whose columns are all hidden and
    // the continuations of a cell aside).
    void ExpectTextFits(int col, int row, const std::string& text)
    {
        const cmcCellObj& cell = Sheet().CellAt(col, row);
        if (text.empty() || SpanWidth(col, row) <= 0 || (cell.FlagsA & cmcCellObj::LetterPlus) != 0) return;
        plat::Canvas& canvas = Grid().GetCanvas();
        Sheet().ApplyCellFont(cell, canvas.GetFont());
        const int width = MultiLineTextExtent(canvas, text).cx;
        EXPECT_LE(width, SpanWidth(col, row)) << "cell " << col << "," << row << " is cut: " << text;
    }
};

// The bank nodes all open the one channel sheet: on the new document they
// are alike, on the full one they differ by the bank's type; one bank of
// each type (the types repeat in bank order) and the last bank are opened.
// Each page is painted once.
TEST_F(EveryPage, OpensBuildsAndDrawsOnANewAndOnAFullDocumentOfEitherModel)
{
    struct Case {
        const char* what;
        int modelType;
        bool full;
    };
    const Case cases[] = {{"LMR, new", indMain::ModelTypeLmr, false},
                          {"LMR, full", indMain::ModelTypeLmr, true},
                          {"PMR, new", indMain::ModelTypePmr, false},
                          {"PMR, full", indMain::ModelTypePmr, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartModel(c.modelType, c.full, true);
        if (c.full) {
            ASSERT_EQ(UsedChannelCount(), WorkTables::Channels);
        }
        // A valid document: the check finds nothing to mark.
        EXPECT_EQ(Main().CheckErrors(), std::vector<std::string>{});
        EXPECT_EQ(Main().CheckWarnings(), std::vector<std::string>{});

        const std::vector<std::string> pages = TreePages(int(apptest::BankTypes(c.modelType).size()));
        ASSERT_FALSE(pages.empty());
        ASSERT_NE(std::find(pages.begin(), pages.end(), "[St_Common]GI_Sheet_Maker"), pages.end()) << "maker mode";
        std::set<std::string> opened;
        for (const std::string& spec : pages) {
            SCOPED_TRACE(spec);
            OpenPage(spec);
            ASSERT_NE(Main().CurrentSheet(), nullptr);
            ASSERT_TRUE(spec.find(Main().CurrentSheetKey()) != std::string::npos) << Main().CurrentSheetKey();
            // A page opened for the first time shows its top left, the
            // cursor on its first cell that can take it.
            if (opened.insert(Main().CurrentSheetKey()).second) {
                EXPECT_EQ(Grid().TopRow(), Grid().FixedRows());
                EXPECT_EQ(Grid().LeftCol(), Grid().FixedCols());
                if (Grid().Enabled()) {
                    for (int row = Grid().FixedRows(); row < Grid().Row(); ++row)
                        for (int col = Grid().FixedCols(); col < Grid().ColCount(); ++col)
                            EXPECT_FALSE(Selectable(col, row))
                                << "cursor " << Grid().Col() << "," << Grid().Row() << " below " << col << "," << row;
                    for (int col = Grid().FixedCols(); col < Grid().Col(); ++col)
                        EXPECT_FALSE(Selectable(col, Grid().Row()))
                            << "cursor " << Grid().Col() << "," << Grid().Row() << " right of " << col;
                }
            }
            for (int row = 0; row < Grid().RowCount(); ++row)
                for (int col = 0; col < Grid().ColCount(); ++col) {
                    if (Sheet().CellAt(col, row).Label >= CL_NoLabel) {
                        ExpectTextFits(col, row, Sheet().CellAt(col, row).GetText());
                        continue;
                    }
                    const std::string text = CellText(col, row);
                    ExpectTextFits(col, row, text);
                    EXPECT_FALSE(ShowsAFault(text)) << "cell " << col << "," << row << " label "
                                                    << Sheet().CellAt(col, row).Label << ": " << text;
                }
            // The drawing path: the whole window painted.
            EXPECT_FALSE(Form().Widget()->grab().isNull());
            ASSERT_TRUE(dialogs.Boxes().empty()) << dialogs.Boxes().front().text;
        }
    }
}

}  // namespace
