// Moves of several steps over an irregular sheet, and the rectangle an
// action's capsule carries while the sheet repaints during the action.
#include "platform/ui/Application.h"
#include "platform/ui/Keys.h"
#include "platform/ui/TestHooks.h"
#include "tests/ui/SheetFixture.h"

#include <string>
#include <vector>

namespace {

using sheettest::SheetTest;

class SheetSteps : public SheetTest {
protected:
    void Focus()
    {
        form.Show();
        plat::ProcessMessages();
        Grid().SetFocus();
    }
};

// Each step of a page move searches the next row from the column the step
// before it reached: from (0,1) the first step finds only (3,2); the second
// then takes the cell of row 3 nearest to column 3, not to column 0 where
// the move began.
TEST_F(SheetSteps, EachStepOfAPageMoveSearchesFromWhereTheStepBeforeArrived)
{
    UseLayout("(FixedRows=1)", "{<-(%CT_Mch.)}",
              {
                  "{WH}A|{WH}B|{WH}C|{WH}D",
                  "{WHS(%CL_Mch_FreqR[0])}|{WH}x|{WH}x|{WH}x",
                  "{WH}x|{WH}x|{WH}x|{WHS(%CL_Mch_FreqR[1])}",
                  "{WH}x|{WHS(%CL_Mch_FreqR[2])}|{WHS(%CL_Mch_FreqT[2])}|{WH}x",
              });
    Open();
    Focus();
    ASSERT_EQ(Cursor(), "0,1");
    plat::SendKey(form, plat::VK_NEXT);
    EXPECT_EQ(Cursor(), "2,3");
    // Back up: row 2 has column 3 only, row 1 column 0 only.
    plat::SendKey(form, plat::VK_PRIOR);
    EXPECT_EQ(Cursor(), "0,1");
}

// An action's capsule keeps the rectangle of its own cell while the sheet
// repaints (as it does under a message box the action shows): a pop-up
// opened afterwards still stands at that cell.
TEST_F(SheetSteps, ARepaintDuringAnActionLeavesTheActionsCellRectangle)
{
    UseLayout("(FixedRows=1)", "{<-(%CT_Mch.)}",
              {"{WH}A|{WH}B", "{WHS(%CL_Mch_FreqR[0])}|{WHS(%CL_Mch_FreqT[0])}",
               "{WHS(%CL_Mch_FreqR[1])}|{WHS(%CL_Mch_FreqT[1])}"});
    Open();
    Focus();
    plat::SendKey(form, plat::VK_DOWN);
    ASSERT_EQ(Cursor(), "0,2");
    const plat::Rect cell = Grid().GetCellRect(0, 2);
    std::vector<plat::Rect> seen;
    int drawnBefore = 0;
    onAction = [&](cmcCellCapsule* c, int) {
        seen.push_back(*c->CellRect);
        drawnBefore = renders;
        Grid().Invalidate();
        Grid().Repaint();
        seen.push_back(*c->CellRect);
        return erNothing;
    };
    plat::SendKey(form, plat::VK_RETURN);
    ASSERT_GT(renders, drawnBefore) << "the sheet repainted during the action";
    EXPECT_EQ(seen, (std::vector<plat::Rect>{cell, cell}));
}

} // namespace
