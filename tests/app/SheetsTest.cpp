// The one open sheet: the sheet class a spec asks for, the remembered cursor
// positions, and the reopening of the tree's selection.
#include "tests/app/AppFixture.h"

#include "cells/RadioHandlers.h"
#include "core/CellNames.h"
#include "model/TableAccess.h"
#include "model/iuiSh_ChBank.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

namespace {

using apptest::ProgramFixture;
using SheetClass = cuiMain::SheetClass;

TEST(SheetClassOf, TheClassComesFirstThenTheCodeLetter)
{
    struct Case {
        const char* spec;
        SheetClass sheetClass;
    };
    const Case cases[] = {
        {"[St_ChBank]GI_Sheet_Mch_Lmr,Bank 3", SheetClass::ChBank},
        {"[St_Common]GI_Sheet_Common,K", SheetClass::Common},
        {"GI_Sheet_Digital_Ind_Id,X 9", SheetClass::List},
        {"GI_Sheet_Scan,k", SheetClass::List},
        {"GI_Sheet_Rpt,R 9,5", SheetClass::List},
        {"GI_Sheet_Bank,B 3", SheetClass::Plain},
        {"GI_Sheet_Top", SheetClass::Plain},
        {"[st_common]GI_Sheet_Common", SheetClass::Plain}, // classes compare exactly
        {"[St_Other]GI_Sheet_List,y", SheetClass::List},
    };
    for (const Case& c : cases) EXPECT_EQ(cuiMain::SheetClassOf(c.spec), c.sheetClass) << c.spec;
}

// Pages of the test's own: two with selectable cells, enough rows to scroll.
std::vector<std::string> TestSheets()
{
    std::vector<std::string> lines;
    for (const char* key : {"GI_Sheet_T1", "GI_Sheet_T2"}) {
        lines.push_back(std::string("#") + key + "_Style");
        lines.push_back("(TitleString=Test)(FixedRows=1)");
        lines.push_back(std::string("#") + key + "_BasicCell");
        lines.push_back("{<-(Color=clWindow)}");
        lines.push_back(std::string("#") + key + "_Cells");
        lines.push_back("{WH}Head|{WH}Head");
        lines.push_back(":(LoopFrom 80)");
        lines.push_back("{WHS}Cell|{WHS}Cell");
        lines.push_back(":(End)");
    }
    lines.push_back("#");
    return lines;
}

class Sheets : public ProgramFixture {
protected:
    void StartWithTestSheets() { Start(true, apptest::MakeProgramFolder(user, TestSheets())); }
    cuiGrid& Grid() { return *Main().CurrentSheet()->Grid(); }
};

TEST_F(Sheets, FactoryMakesTheModelClassesThroughTheirMakers)
{
    StartWithTestSheets();
    // The program makes every class of sheet spec with the model's own
    // sheet classes.
    for (SheetClass sheetClass : {SheetClass::Plain, SheetClass::ChBank, SheetClass::Common, SheetClass::List})
        EXPECT_TRUE(Main().HasSheetClass(sheetClass));
    EXPECT_NE(dynamic_cast<iuiSh_ChBank*>(Main().CreateSheet(Main().RightPanel(), "[St_ChBank]GI_Sheet_T1,Bank 2").get()),
              nullptr);

    // A maker put in place of the model's is the one that makes the class.
    std::vector<std::string> made;
    Main().SetSheetMaker(SheetClass::Common, [&](plat::Container* parent, cmcGTex* texts, const std::string& key,
                                                 plat::ImageList* images) {
        made.push_back(key);
        return std::make_unique<cuiSheet>(parent, nullptr, 0, 0, texts, key, images);
    });
    std::unique_ptr<cuiSheet> sheet = Main().CreateSheet(Main().RightPanel(), "[St_Common]GI_Sheet_T1,K 9,2");
    EXPECT_EQ(made, (std::vector<std::string>{"GI_Sheet_T1"}));
    EXPECT_EQ(sheet->Key(), "GI_Sheet_T1");
    EXPECT_EQ(sheet->Spec(), "[St_Common]GI_Sheet_T1,K 9,2");
    EXPECT_EQ(sheet->Code(), "K 9,2");
    EXPECT_TRUE(Main().HasSheetClass(SheetClass::Common));

    // A class the program has no maker for is a fault of the overlay.
    Main().SetSheetMaker(SheetClass::ChBank, nullptr);
    EXPECT_FALSE(Main().HasSheetClass(SheetClass::ChBank));
    EXPECT_EQ(qmtest::FatalMessage([&] { Main().CreateSheet(Main().RightPanel(), "[St_ChBank]GI_Sheet_T1,Bank 0"); }),
              "Cannot open the sheet '[St_ChBank]GI_Sheet_T1,Bank 0': its sheet class is not part of this program.");
}

TEST_F(Sheets, ReopenedSheetsComeBackWhereTheyWereLeft)
{
    StartWithTestSheets();
    Main().OpenSheet("GI_Sheet_T1");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_T1");
    ASSERT_TRUE(Grid().MoveCurrentCell(1, 50, true, true));
    const int top = Grid().TopRow();
    ASSERT_GT(top, 1) << "scrolled";
    Main().OpenSheet("GI_Sheet_T2");
    Main().OpenSheet("GI_Sheet_T1");
    EXPECT_EQ(Grid().Col(), 1);
    EXPECT_EQ(Grid().Row(), 50);
    EXPECT_EQ(Grid().TopRow(), top);

    // A, B, A: two remembered sheets, A the newest.
    Main().CloseSheet();
    int col = 0, row = 0, left = 0, topRow = 0;
    EXPECT_EQ(Main().HistoryCount(), 3) << "GI_Sheet_Top, T2 and T1";
    EXPECT_TRUE(Main().FindSheetPosition("GI_Sheet_T1", col, row, left, topRow));
    EXPECT_EQ(row, 50);
    EXPECT_TRUE(Main().FindSheetPosition("GI_Sheet_T2", col, row, left, topRow));
    EXPECT_FALSE(Main().FindSheetPosition("GI_Sheet_None", col, row, left, topRow));
    EXPECT_EQ(col + row + left + topRow, 0);
}

TEST_F(Sheets, ASheetThatWasNeverShownLeavesNoPosition)
{
    StartWithTestSheets();
    const int before = Main().HistoryCount();
    Form().Hide();
    Main().OpenSheet("GI_Sheet_T2");
    Main().CloseSheet();
    EXPECT_EQ(Main().HistoryCount(), before);
}

TEST_F(Sheets, WithoutATreeTheNewestRememberedSheetIsReopened)
{
    StartWithTestSheets();
    Main().OpenSheet("GI_Sheet_T2");
    Main().CloseSheet();
    delete Main().Tree();
    EXPECT_EQ(Main().Tree(), nullptr);
    Wait(cuiMain::TickMs);
    EXPECT_EQ(Main().CurrentSheetKey(), "GI_Sheet_T2");
}

TEST_F(Sheets, TreeSelectionChangesTheSheetAfterTheDelay)
{
    std::vector<std::string> overlay = TestSheets();
    for (const char* line : {"#GI_Tree_Main_BasicCell", "{(%CT_Null.)}", "#GI_Tree_Main_Body",
                             "+{(%CallSheet:GI_Sheet_T1)}One", " +{(%CallSheet:GI_Sheet_T2)}Two", "#"})
        overlay.push_back(line);
    Start(true, apptest::MakeProgramFolder(user, overlay));
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_T1");
    plat::TreeView* view = Main().Tree()->View();
    view->SetSelected(view->Item(1));
    Wait(100);
    EXPECT_EQ(Main().CurrentSheetKey(), "GI_Sheet_T1") << "the change waits for the delay";
    Wait(250);
    EXPECT_EQ(Main().CurrentSheetKey(), "GI_Sheet_T2");
    // Selecting the node of the open sheet again keeps the sheet as it is.
    cuiSheet* open = Main().CurrentSheet();
    view->SetSelected(view->Item(1));
    Wait(300);
    EXPECT_EQ(Main().CurrentSheet(), open);
}

TEST_F(Sheets, ChannelPickerHasARowForEachChannelOfThePickedZone)
{
    Start();
    SetBankChannelCount(0, 2);
    SetBankChannelCount(1, 5);
    const int fixedRows = [&] {
        g_PickerBank = 0;
        Main().OpenSheet("GI_Sheet_Sel_CHSel");
        return Grid().RowCount() - 2;
    }();
    Main().CloseSheet();
    g_PickerBank = 1;
    Main().OpenSheet("GI_Sheet_Sel_CHSel");
    EXPECT_EQ(Grid().RowCount(), fixedRows + 5);
    g_PickerBank = 0;
}

} // namespace

// Choosing a page in the tree brings the menus up to date with it as well as
// the tool bar, while the focus stays in the tree: File > Print (and its
// Ctrl+P) is offered exactly when the page prints.
TEST_F(Sheets, PrintCommandFollowsThePageChosenInTheTree)
{
    Start();
    plat::TreeView* view = Main().Tree()->View();
    constexpr int RadioNode = 0;
    constexpr int BanksNode = 2; // prints; the radio's page does not
    for (int node : {BanksNode, RadioNode, BanksNode}) {
        SCOPED_TRACE(node);
        view->SetFocus();
        OpenNode(view->Item(node));
        ASSERT_TRUE(view->Focused());
        const bool prints = node == BanksNode;
        EXPECT_EQ(ToolButton(CL_Menu_File_Print_Current)->Enabled(), prints);
        EXPECT_EQ(MenuItem(CL_Menu_File_Print_Current)->Enabled(), prints);
    }
}
