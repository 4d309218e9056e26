// The navigation tree and the tool bar on their own, built from overlay
// descriptions in memory.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "tests/support/TestSupport.h"
#include "ui/cuiToolBar.h"
#include "ui/cuiTree.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Overlay(std::vector<std::string> lines)
{
    lines.push_back("#End_Of_Ovl");
    return lines;
}

class Tree : public ::testing::Test {
protected:
    void BuildTree(const std::vector<std::string>& body)
    {
        std::vector<std::string> lines = {"#T_BasicCell", "{(%CT_Null.)(ImageIndex=1)}", "#T_Body"};
        lines.insert(lines.end(), body.begin(), body.end());
        lines.push_back("#");
        texts.OpenOverlayLines(Overlay(lines));
        tree = new cuiTree(&panel, &texts, "T", &images);
        tree->OnDestroyed = [this](cuiTree*) { tree = nullptr; };
        tree->Build();
    }
    plat::TreeNode* Node(int i) { return tree->View()->Item(i); }
    std::vector<int> Overlays()
    {
        std::vector<int> marks;
        for (int i = 0; i < tree->View()->Count(); ++i) marks.push_back(Node(i)->OverlayIndex());
        return marks;
    }
    void SetAll(int overlay)
    {
        for (int i = 0; i < tree->View()->Count(); ++i) Node(i)->SetOverlayIndex(overlay);
    }
    ~Tree() override { delete tree; }

    qmtest::ManualTime time;
    cmcEvManHolder events;
    cmcGTex texts;
    plat::Form form;
    plat::Panel panel{form};
    plat::ImageList images;
    cuiTree* tree = nullptr;
};

TEST_F(Tree, NodesFollowTheDepthMarksAndCarryTheirCells)
{
    BuildTree({"+{(%CallSheet:A)(ImageIndex=0)}Root", " +{(%CallSheet:B)}Child", "   +{(%CallSheet:C)}Grandchild",
               " +{(%CallSheet:B)}Same spec", "+{(%CallSheet:D)}Second root"});
    ASSERT_EQ(tree->View()->Count(), 5);
    EXPECT_EQ(tree->View()->TopLevelCount(), 2);
    EXPECT_EQ(Node(2)->Parent(), Node(1));
    EXPECT_EQ(Node(0)->Text(), "Root");
    EXPECT_EQ(Node(0)->ImageIndex(), 0);
    EXPECT_EQ(Node(1)->ImageIndex(), 1) << "from the basic cell";
    EXPECT_EQ(Node(1)->SelectedIndex(), 1);
    EXPECT_TRUE(Node(0)->Expanded()) << "the first node is opened";
    EXPECT_EQ(tree->CellCount(), 5);
    // The upper of two nodes with the same spec; the spec compares exactly.
    EXPECT_EQ(tree->FindNode("B"), Node(1));
    EXPECT_EQ(tree->FindNode("b"), nullptr);
    EXPECT_EQ(tree->FindNode("Z"), nullptr);
    EXPECT_EQ(tree->SelectedCell(), nullptr);
    tree->View()->SetSelected(Node(4));
    EXPECT_EQ(*tree->SelectedCell()->Argument, "D");
    // The view shows the marks of images 13 and 12.
    EXPECT_EQ(images.OverlayImage(cuiTree::ErrorOverlay), cuiTree::ErrorMarkImage);
    EXPECT_EQ(images.OverlayImage(cuiTree::WarningOverlay), cuiTree::WarningMarkImage);
}

TEST_F(Tree, AnEmptyBodyBuildsAnEmptyTree)
{
    BuildTree({});
    EXPECT_EQ(tree->View()->Count(), 0);
    EXPECT_EQ(tree->SelectedCell(), nullptr);
}

TEST_F(Tree, MarksReachCollapsedAncestorsOnlyAndIgnoreLetterCase)
{
    BuildTree({"+{(%CallSheet:R)}Root", " +{(%CallSheet:G)}Grandparent", "  +{(%CallSheet:P)}Parent",
               "   +{(%CallSheet:D)}Descendant", " +{(%CallSheet:X)}Other"});
    Node(2)->SetExpanded(true); // the parent, inside the collapsed grandparent
    ASSERT_FALSE(Node(1)->Expanded());
    EXPECT_EQ(tree->MarkNodes(Node(0), {"d", "x"}, cuiTree::WarningOverlay), 2);
    EXPECT_EQ(Overlays(), (std::vector<int>{-1, 1, -1, 1, 1}));
    // The span of a node ends at its next sibling.
    EXPECT_EQ(tree->MarkNodes(Node(1), {"X"}, cuiTree::ErrorOverlay), 0);
}

TEST_F(Tree, ClearingMarksCoversTheNodeAndWhatLiesBelowIt)
{
    BuildTree({"+{(%CallSheet:A)}A", " +{(%CallSheet:A1)}A1", "+{(%CallSheet:B)}B", " +{(%CallSheet:B1)}B1",
               "+{(%CallSheet:C)}C", " +{(%CallSheet:C1)}C1"});
    SetAll(0);
    tree->ClearMarks(Node(0));
    EXPECT_EQ(Overlays(), (std::vector<int>{-1, -1, 0, 0, 0, 0})) << "the first of several: its branch only";
    SetAll(0);
    tree->ClearMarks(Node(4));
    EXPECT_EQ(Overlays(), (std::vector<int>{0, 0, 0, 0, -1, -1})) << "the last: to the end";
}

TEST_F(Tree, DeletingChildrenFreesTheCellsOnlyTheyUsed)
{
    BuildTree({"+{(%CallSheet:A)}A", " +{(%CallSheet:A1)}A1", " +{(%CallSheet:A2)}A2", "+{(%CallSheet:B)}B"});
    tree->AddNode(Node(3), "+{(%CallSheet:B1)}B1");
    EXPECT_EQ(tree->CellCount(), 5);
    tree->DeleteChildren(Node(0));
    EXPECT_EQ(tree->View()->Count(), 3);
    EXPECT_EQ(tree->CellCount(), 3);
    EXPECT_EQ(*cuiTree::CellOf(Node(2))->Argument, "B1");
    tree->DeleteChildren(nullptr);
    EXPECT_EQ(tree->CellCount(), 3);
    // A line without '+' is a node with an empty cell.
    plat::TreeNode* bare = tree->AddNode(nullptr, "   ");
    EXPECT_EQ(bare->Text(), "");
}

TEST_F(Tree, TheTreeGoesWhenItsOwnerCloses)
{
    BuildTree({"+{(%CallSheet:A)}A"});
    g_EvMan->Send(ev::ControlClosing, 0, 12345);
    EXPECT_NE(tree, nullptr);
    g_EvMan->Send(ev::ControlClosing, 0, reinterpret_cast<intptr_t>(&panel));
    EXPECT_EQ(tree, nullptr);
}

class ToolBar : public ::testing::Test {
protected:
    void Build(const std::vector<std::string>& body)
    {
        std::vector<std::string> lines = {"#B_BasicCell", "{(%CT_Null.)}", "#B_Body"};
        lines.insert(lines.end(), body.begin(), body.end());
        lines.push_back("#");
        texts.OpenOverlayLines(Overlay(lines));
        bar = std::make_unique<cuiToolBar>(&form, &texts, "B", &images);
        bar->Build();
    }
    plat::ToolButton& Button(int i) { return *bar->Bar()->Buttons(i); }

    qmtest::ManualTime time;
    cmcEvManHolder events;
    cmcGTex texts;
    plat::Form form;
    plat::ImageList images;
    std::unique_ptr<cuiToolBar> bar;
};

TEST_F(ToolBar, LinesBecomeButtonsSeparatorsAndRowBreaks)
{
    Build({"{(%CL_Menu_File_New)(ImageIndex=0)}New", "-", "{(%CL_Menu_Port_Com[1])(ImageIndex=3)}COM1", "/",
           "{(%CL_Menu_Port_Com[2])(ImageIndex=4)}COM2"});
    ASSERT_EQ(bar->Bar()->ButtonCount(), 5);
    EXPECT_EQ(bar->Count(), 5);
    EXPECT_EQ(Button(0).Style(), plat::tbsButton);
    EXPECT_EQ(Button(0).ImageIndex(), 0);
    EXPECT_EQ(Button(0).Hint(), "New");
    EXPECT_EQ(cuiToolBar::CellOf(&Button(0))->Label, CL_Menu_File_New);
    EXPECT_EQ(Button(1).Style(), plat::tbsSeparator);
    EXPECT_EQ(Button(1).Width(), 8);
    EXPECT_EQ(cuiToolBar::CellOf(&Button(1)), nullptr);
    EXPECT_EQ(Button(3).Width(), 1);
    EXPECT_TRUE(Button(3).Wrap());
    bar->Bar()->Arrange();
    EXPECT_EQ(bar->Bar()->RowCount(), 2);
    EXPECT_GT(Button(4).Top(), Button(2).Top()) << "COM2 starts the second row";
    EXPECT_EQ(bar->Bar()->Indent(), 4);
    EXPECT_FALSE(bar->Bar()->Flat());
}

TEST_F(ToolBar, AnEmptyBodyGivesAnEmptyBar)
{
    Build({});
    EXPECT_EQ(bar->Bar()->ButtonCount(), 0);
    EXPECT_EQ(bar->Count(), 0);
}

TEST_F(ToolBar, RefreshShowsOnlyWhatTheCellsSayNow)
{
    Build({"{(%CL_Menu_Port_Com[1])(ImageIndex=3)}COM1", "-", "{(%CL_Menu_Port_Com[2])(ImageIndex=4)}COM2"});
    int port = 1;
    int seen = 0;
    indActiveCell::TestOverride engine([&](cmcCellCapsule* c, int notify) {
        EXPECT_EQ(notify, 0);
        EXPECT_EQ(c->Owner, &form);
        EXPECT_EQ(c->Key, 0);
        EXPECT_FALSE(c->Cell->GetFlag(0)) << "cleared before the cell runs";
        ++seen;
        c->Cell->SetFlag(0, c->Cell->Index == port);
        c->Cell->SetFlag(2, c->Cell->Index == 2 && port == 3);
        return erNothing;
    });
    g_EvMan->Send(ev::ToolBarRefresh, 0, 0);
    EXPECT_EQ(seen, 2) << "separators run no cell";
    EXPECT_EQ(Button(0).Style(), plat::tbsCheck);
    EXPECT_TRUE(Button(0).Down());
    EXPECT_EQ(Button(2).Style(), plat::tbsButton);
    EXPECT_FALSE(Button(2).Down());
    EXPECT_FALSE(Button(1).Down());

    // Another port: the first button is up again, the second down.
    port = 2;
    bar->Refresh();
    EXPECT_FALSE(Button(0).Down());
    EXPECT_EQ(Button(0).Style(), plat::tbsButton);
    EXPECT_TRUE(Button(2).Down());
    // A disabled button.
    port = 3;
    bar->Refresh();
    EXPECT_FALSE(Button(2).Enabled());
    port = 1;
    bar->Refresh();
    EXPECT_TRUE(Button(2).Enabled());
}

TEST_F(ToolBar, AClickRunsTheCellWithEnter)
{
    Build({"{(%CL_Menu_File_Open)(ImageIndex=1)}Open"});
    std::vector<int> keys;
    indActiveCell::TestOverride engine([&](cmcCellCapsule* c, int notify) {
        EXPECT_EQ(notify, 0);
        EXPECT_EQ(c->Parent, nullptr);
        EXPECT_EQ(c->Cell->Label, CL_Menu_File_Open);
        keys.push_back(c->Key);
        return erNothing;
    });
    form.Show();
    Button(0).Click();
    EXPECT_EQ(keys, (std::vector<int>{13}));
}

TEST_F(ToolBar, BuildingAgainReplacesTheButtons)
{
    Build({"{(%CL_Menu_File_Open)(ImageIndex=1)}Open", "-", "{(%CL_Menu_File_New)(ImageIndex=0)}New"});
    bar->Build();
    ASSERT_EQ(bar->Bar()->ButtonCount(), 3);
    std::vector<int> labels;
    indActiveCell::TestOverride engine([&](cmcCellCapsule* c, int) {
        labels.push_back(c->Cell->Label);
        return erNothing;
    });
    bar->Refresh(); // every button's cell is alive
    EXPECT_EQ(labels, (std::vector<int>{CL_Menu_File_Open, CL_Menu_File_New}));
}

} // namespace
