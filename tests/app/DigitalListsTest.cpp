// The digital pages in the running program: an individual ID typed into the
// row marked New becomes an entry of the list, is saved with the document
// and is there again when the file is opened; the key and display page
// shows the functions of both key sets.
#include "tests/app/AppFixture.h"

#include "cells/RadioHandlers.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/cmcCellCapsule.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indMain.h"
#include "platform/ui/Keys.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMain.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <filesystem>

namespace {

class DigitalPages : public apptest::ProgramFixture {};

TEST_F(DigitalPages, AnIndividualIdTypedIntoTheNewRowIsSavedAndOpenedAgain)
{
    Start();
    Form().SetClientSize(900, 420);
    OpenPage("GI_Sheet_Digital_Ind_Id,X 9");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Digital_Ind_Id");
    const int count = IndListCount(18);
    int col = 0, row = 0;
    ASSERT_TRUE(FindCell(CL_Digi_Ind_Id_Dec, count, col, row)) << "the row marked New";
    EXPECT_EQ(CellText(0, row), "New");

    TypeInto(col, row, "4321");
    EXPECT_EQ(IndListCount(18), count + 1);
    EXPECT_EQ(CellText(col, row), "4321");
    int hexCol = 0, hexRow = 0;
    ASSERT_TRUE(FindCell(CL_Digi_Ind_Id_Hex, count, hexCol, hexRow));
    EXPECT_EQ(CellText(hexCol, hexRow), "10E1");
    ASSERT_TRUE(FindCell(CL_Digi_Ind_Id_Dec, count + 1, col, row)) << "a new empty row follows";
    EXPECT_TRUE(BoxTexts().empty());
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "digital-individual-ids.png").string()));

    const std::string file = user.Documents() + "digital.icf";
    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_Save));
    ASSERT_TRUE(std::filesystem::exists(file));
    Choose(MenuItem(CL_Menu_File_New));
    EXPECT_EQ(IndListCount(18), count);

    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_Open));
    EXPECT_EQ(IndListCount(18), count + 1);
    datCh entry(&Main().CurrentImage());
    entry.Unpack(18, count);
    EXPECT_EQ(entry.IndId, 4321u);
}

TEST_F(DigitalPages, TheWarningCheckMarksTheIndividualIdsNodeWhileAnIdIsFFFF)
{
    Start();
    OpenPage("GI_Sheet_Digital_Ind_Id,X 9");
    int col = 0, row = 0;
    ASSERT_TRUE(FindCell(CL_Digi_Ind_Id_Hex, 0, col, row));
    TypeInto(col, row, "FFFF");
    EXPECT_EQ(CellText(col, row), "FFFF");
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    plat::TreeNode* node = PageNode("GI_Sheet_Digital_Ind_Id,X 9");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->OverlayIndex(), cuiTree::WarningOverlay);

    TypeInto(col, row, "1234");
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    EXPECT_EQ(node->OverlayIndex(), cuiTree::NoOverlay);
}

TEST_F(DigitalPages, TheKeyPageShowsTheFunctionsOfBothKeySets)
{
    Start();
    Form().SetClientSize(1000, 700);
    OpenPage("GI_Sheet_KeyDisp");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_KeyDisp");
    uint8_t* data = Main().CurrentImage().Data();
    data[KeyTableConv + 2] = 'b';
    data[175734 + 2] = '1';
    Sheet().Grid()->Repaint();
    Wait();
    int col = 0, row = 0;
    ASSERT_TRUE(FindCell(CL_KDisp_Key_Conv_P0, 0, col, row));
    const std::string conventional = CellText(col, row);
    ASSERT_TRUE(FindCell(CL_KDisp_Key_SmTr_P0, 0, col, row));
    const std::string smarTrunk = CellText(col, row);
    EXPECT_NE(conventional, smarTrunk);
    EXPECT_NE(conventional.find(" -"), std::string::npos) << conventional << ": the speaker option";
    EXPECT_EQ(conventional.find("error"), std::string::npos) << conventional;
    EXPECT_EQ(smarTrunk.find("error"), std::string::npos) << smarTrunk;
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "digital-keys-and-display.png").string()));
}

TEST_F(DigitalPages, EveryCellOfTheDigitalAndKeyPagesShowsAValueForEitherModel)
{
    // The initial file's settings as the pages show them: every stored value
    // is one its list offers.
    const char* pages[] = {"GI_Sheet_Digital_Ind_Id,X 9", "GI_Sheet_Digital_Grp_Id,Q 9", "GI_Sheet_Digital_Nac,k 9",
                           "GI_Sheet_Digital_Status", "GI_Sheet_Digital_SDM", "GI_Sheet_Digital_Encryption",
                           "GI_Sheet_Digital_Opt", "GI_Sheet_Digital_Gps", "GI_Sheet_Digital_Functions",
                           "GI_Sheet_Digital_Expert", "GI_Sheet_KeyDisp"};
    for (int modelType : {indMain::ModelTypeLmr, indMain::ModelTypePmr}) {
        SCOPED_TRACE(modelType == indMain::ModelTypeLmr ? "LMR" : "PMR");
        StartModel(modelType, false, false);
        Form().SetClientSize(1000, 700);
        for (const char* page : pages) {
            SCOPED_TRACE(page);
            OpenPage(page);
            ASSERT_NE(Main().CurrentSheet(), nullptr);
            for (int row = 0; row < Grid().RowCount(); ++row)
                for (int col = 0; col < Grid().ColCount(); ++col) {
                    if (Sheet().CellAt(col, row).Label == CL_NoLabel) continue;
                    const std::string text = CellText(col, row);
                    EXPECT_EQ(text.find("error"), std::string::npos) << col << "," << row << ": " << text;
                    EXPECT_EQ(text.find("*Yet*"), std::string::npos) << col << "," << row << ": " << text;
                }
            if (std::string(page) == "GI_Sheet_Digital_Opt" && modelType == indMain::ModelTypeLmr) {
                ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "digital-calls-and-display.png").string()));
            }
        }
        EXPECT_TRUE(BoxTexts().empty());
    }
}

}  // namespace
