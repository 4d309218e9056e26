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

class DigitalPages : public apptest::ProgramFixture {
protected:
    cuiSheet& Sheet() { return *Main().CurrentSheet(); }
    cuiGrid& Grid() { return *Sheet().Grid(); }
    // The tree node that opens the sheet spec.
    plat::TreeNode* Node(const std::string& spec)
    {
        plat::TreeView* view = Main().Tree()->View();
        for (int i = 0; i < view->Count(); ++i) {
            const cmcCellObj* cell = cuiTree::CellOf(view->Item(i));
            if (cell && cell->Argument && *cell->Argument == spec) return view->Item(i);
        }
        ADD_FAILURE() << "no tree node opens " << spec;
        return nullptr;
    }
    // Picks the tree node that opens the sheet spec.
    void OpenNode(const std::string& spec)
    {
        if (plat::TreeNode* node = Node(spec)) {
            Main().Tree()->View()->SetSelected(node);
            Wait(400);
        }
    }
    // The column and row of the cell with the label and index.
    bool Find(int label, int index, int& col, int& row)
    {
        for (row = 0; row < Grid().RowCount(); ++row)
            for (col = 0; col < Grid().ColCount(); ++col)
                if (Sheet().CellAt(col, row).Label == label && Sheet().CellAt(col, row).Index == index) return true;
        return false;
    }
    std::string Text(int col, int row)
    {
        cmcCellCapsule capsule;
        Sheet().FillCapsule(col, row, capsule);
        indActiveCell().Exec(&capsule, 0);
        return capsule.Text;
    }
    void TypeInto(int col, int row, const std::string& text)
    {
        const plat::Rect r = Grid().GetCellRect(col, row);
        plat::ClickAt(Grid(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        plat::TypeText(Form(), text);
        plat::SendKey(Form(), plat::VK_RETURN);
        Wait();
    }
};

TEST_F(DigitalPages, AnIndividualIdTypedIntoTheNewRowIsSavedAndOpenedAgain)
{
    Start();
    Form().SetClientSize(900, 420);
    OpenNode("GI_Sheet_Digital_Ind_Id,X 9");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Digital_Ind_Id");
    const int count = IndListCount(18);
    int col = 0, row = 0;
    ASSERT_TRUE(Find(CL_Digi_Ind_Id_Dec, count, col, row)) << "the row marked New";
    EXPECT_EQ(Text(0, row), "New");

    TypeInto(col, row, "4321");
    EXPECT_EQ(IndListCount(18), count + 1);
    EXPECT_EQ(Text(col, row), "4321");
    int hexCol = 0, hexRow = 0;
    ASSERT_TRUE(Find(CL_Digi_Ind_Id_Hex, count, hexCol, hexRow));
    EXPECT_EQ(Text(hexCol, hexRow), "10E1");
    ASSERT_TRUE(Find(CL_Digi_Ind_Id_Dec, count + 1, col, row)) << "a new empty row follows";
    EXPECT_TRUE(BoxTexts().empty());
    std::filesystem::create_directories("/tmp/i25-pictures");
    ASSERT_TRUE(plat::SavePng(Form(), "/tmp/i25-pictures/individual-ids.png"));

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
    OpenNode("GI_Sheet_Digital_Ind_Id,X 9");
    int col = 0, row = 0;
    ASSERT_TRUE(Find(CL_Digi_Ind_Id_Hex, 0, col, row));
    TypeInto(col, row, "FFFF");
    EXPECT_EQ(Text(col, row), "FFFF");
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    plat::TreeNode* node = Node("GI_Sheet_Digital_Ind_Id,X 9");
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
    OpenNode("GI_Sheet_KeyDisp");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_KeyDisp");
    uint8_t* data = Main().CurrentImage().Data();
    data[KeyTableConv + 2] = 'b';
    data[175734 + 2] = '1';
    Sheet().Grid()->Repaint();
    Wait();
    int col = 0, row = 0;
    ASSERT_TRUE(Find(CL_KDisp_Key_Conv_P0, 0, col, row));
    const std::string conventional = Text(col, row);
    ASSERT_TRUE(Find(CL_KDisp_Key_SmTr_P0, 0, col, row));
    const std::string smarTrunk = Text(col, row);
    EXPECT_NE(conventional, smarTrunk);
    EXPECT_NE(conventional.find(" -"), std::string::npos) << conventional << ": the speaker option";
    EXPECT_EQ(conventional.find("error"), std::string::npos) << conventional;
    EXPECT_EQ(smarTrunk.find("error"), std::string::npos) << smarTrunk;
    std::filesystem::create_directories("/tmp/i25-pictures");
    ASSERT_TRUE(plat::SavePng(Form(), "/tmp/i25-pictures/keys-and-display.png"));
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
        form.reset();
        globals.reset();
        Start(false);
        Environ().ModelType = modelType;
        form = std::make_unique<TForm1>();
        Form().SetClientSize(1000, 700);
        Wait();
        for (const char* page : pages) {
            SCOPED_TRACE(page);
            OpenNode(page);
            ASSERT_NE(Main().CurrentSheet(), nullptr);
            for (int row = 0; row < Grid().RowCount(); ++row)
                for (int col = 0; col < Grid().ColCount(); ++col) {
                    if (Sheet().CellAt(col, row).Label == CL_NoLabel) continue;
                    const std::string text = Text(col, row);
                    EXPECT_EQ(text.find("error"), std::string::npos) << col << "," << row << ": " << text;
                    EXPECT_EQ(text.find("*Yet*"), std::string::npos) << col << "," << row << ": " << text;
                }
            if (std::string(page) == "GI_Sheet_Digital_Opt" && modelType == indMain::ModelTypeLmr) {
                std::filesystem::create_directories("/tmp/i25-pictures");
                ASSERT_TRUE(plat::SavePng(Form(), "/tmp/i25-pictures/digital-calls-and-display.png"));
            }
        }
        EXPECT_TRUE(BoxTexts().empty());
    }
}

}  // namespace
