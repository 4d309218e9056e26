// The tree view: node order over collapsed branches, deletion with the
// subtree, the delayed change notice on the manual clock, expansion
// handlers, overlay marks and what a person sees.
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plat;

namespace {

std::vector<std::string> TextsInOrder(const TreeView& tree)
{
    std::vector<std::string> texts;
    for (int i = 0; i < tree.Count(); ++i) texts.push_back(tree.Item(i)->Text());
    return texts;
}

// The tree's image list as the main form builds it: 12 the warning and 13
// the error mark, overlays 0 and 1.
void AddTreePictures(ImageList& images)
{
    for (const char* name : {"imgIcon_Tree_Rig", "imgIcon_Tree_Folder01", "imgIcon_Tree_Note01", "imgIcon_Tree_Note02"})
        images.AddArtwork(name);
    for (int i = 0; i < 8; ++i) images.AddArtwork("imgIcon_Tree_Bank" + std::to_string(i));
    images.AddArtwork("imgIcon_Tree_WarnW_RB");
    images.AddArtwork("imgIcon_Tree_WarnE_RB");
    images.SetOverlay(0, 13);
    images.SetOverlay(1, 12);
}

} // namespace

TEST(TreeView, NodeOrderCoversCollapsedBranchesAndDeletionTakesTheSubtree)
{
    Form f;
    auto* tree = new TreeView(f);
    TreeNode* a = tree->AddChild(nullptr, "A");
    TreeNode* a1 = tree->AddChild(a, "A1");
    tree->AddChild(a1, "A1a");
    TreeNode* a2 = tree->AddChild(a, "A2");
    TreeNode* b = tree->AddChild(nullptr, "B");
    tree->AddChild(b, "B1");
    tree->AddChild(b, "B2");
    a->SetExpanded(false);
    EXPECT_FALSE(a1->Expanded());

    EXPECT_EQ(TextsInOrder(*tree), (std::vector<std::string>{"A", "A1", "A1a", "A2", "B", "B1", "B2"}));
    EXPECT_EQ(a2->AbsoluteIndex(), 3);
    EXPECT_EQ(a1->GetNextSibling(), a2);
    EXPECT_EQ(a2->GetNextSibling(), nullptr);
    EXPECT_EQ(a->GetNextSibling(), b);
    EXPECT_EQ(b->GetNextSibling(), nullptr);
    EXPECT_EQ(a1->Item(0)->Parent(), a1);
    EXPECT_EQ(a1->Item(0)->Level(), 2);
    EXPECT_EQ(tree->Item(7), nullptr);
    EXPECT_EQ(tree->Item(-1), nullptr);

    int x = 5;
    a2->SetData(&x);
    a1->Delete();
    EXPECT_EQ(TextsInOrder(*tree), (std::vector<std::string>{"A", "A2", "B", "B1", "B2"}));
    EXPECT_EQ(a->GetFirstChild(), a2);
    EXPECT_EQ(a2->Data(), &x);
    b->DeleteChildren();
    EXPECT_EQ(TextsInOrder(*tree), (std::vector<std::string>{"A", "A2", "B"}));
    EXPECT_EQ(static_cast<QTreeWidget*>(tree->Widget())->topLevelItem(1)->childCount(), 0);
    tree->AddChild(b, "B3");
    EXPECT_EQ(TextsInOrder(*tree), (std::vector<std::string>{"A", "A2", "B", "B3"}));
    tree->Clear();
    EXPECT_EQ(tree->Count(), 0);
    EXPECT_EQ(tree->Selected(), nullptr);
}

TEST(TreeView, ChangeIsToldAfterTheDelayOnceTheSelectionRests)
{
    ScopedDialogScript script;
    qmtest::ManualTime time;
    Form f;
    auto* tree = new TreeView(f);
    TreeNode* first = tree->AddChild(nullptr, "first");
    TreeNode* second = tree->AddChild(nullptr, "second");
    TreeNode* third = tree->AddChild(nullptr, "third");
    std::vector<std::string> told;
    tree->OnChange = [&](TreeNode* node) { told.push_back(node != nullptr ? node->Text() : "none"); };
    tree->SetChangeDelay(100);

    tree->SetSelected(first);
    time.Advance(60);
    tree->SetSelected(second); // within the delay: the wait starts again
    time.Advance(99);
    EXPECT_TRUE(told.empty());
    time.Advance(1);
    EXPECT_EQ(told, std::vector<std::string>{"second"});
    EXPECT_EQ(tree->Selected(), second);

    // The user's keys select as well.
    f.Show();
    ProcessMessages();
    tree->SetFocus();
    SendKey(f, VK_DOWN);
    EXPECT_EQ(tree->Selected(), third);
    time.Advance(100);
    EXPECT_EQ(told, (std::vector<std::string>{"second", "third"}));

    // Without a delay at once; deleting the selected node selects another.
    tree->SetChangeDelay(0);
    tree->SetSelected(first);
    EXPECT_EQ(told.back(), "first");
    first->Delete();
    EXPECT_EQ(told.back(), tree->Selected() != nullptr ? tree->Selected()->Text() : "none");
    EXPECT_EQ(time.host.ActiveCount(), 0);
}

TEST(TreeView, ExpandedAndCollapsedHandlers)
{
    Form f;
    auto* tree = new TreeView(f);
    TreeNode* root = tree->AddChild(nullptr, "root");
    tree->AddChild(root, "child");
    std::vector<std::string> seen;
    tree->OnExpanded = [&](TreeNode* n) { seen.push_back("expanded " + n->Text()); };
    tree->OnCollapsed = [&](TreeNode* n) { seen.push_back("collapsed " + n->Text()); };
    root->SetExpanded(true);
    root->SetExpanded(true); // already: nothing
    EXPECT_TRUE(root->Expanded());
    root->SetExpanded(false);
    EXPECT_EQ(seen, (std::vector<std::string>{"expanded root", "collapsed root"}));
}

TEST(TreeView, OverlayMarksAndSelectedImagesAsShown)
{
    ScopedDialogScript script;
    Form f;
    f.SetClientSize(220, 160);
    ImageList& images = *new ImageList(&f); // owned by the form, as the main form owns its lists
    AddTreePictures(images);
    auto* tree = new TreeView(f);
    tree->SetAlign(alClient);
    tree->SetImages(&images);
    Font font;
    font.height = -13;
    tree->SetFont(font);
    tree->SetColor(clWindow);
    TreeNode* rig = tree->AddChild(nullptr, "Radio");
    rig->SetImageIndex(0);
    rig->SetSelectedIndex(0);
    TreeNode* folder = tree->AddChild(rig, "Lists");
    folder->SetImageIndex(1);
    folder->SetSelectedIndex(1);
    TreeNode* bank = tree->AddChild(folder, "Bank 3");
    bank->SetImageIndex(7);
    bank->SetSelectedIndex(2);
    TreeNode* common = tree->AddChild(rig, "Common");
    common->SetImageIndex(2);
    common->SetSelectedIndex(3);
    rig->SetExpanded(true);
    folder->SetExpanded(true);
    bank->SetOverlayIndex(0);   // error
    common->SetOverlayIndex(1); // warning
    auto* other = new Edit(f);
    other->SetAlign(alBottom);
    f.Show();
    ProcessMessages();
    tree->SetSelected(common);
    other->SetFocus(); // the tree loses the focus; its selection stays shown

    auto* widget = static_cast<QTreeWidget*>(tree->Widget());
    QTreeWidgetItem* bankItem = widget->topLevelItem(0)->child(0)->child(0);
    QTreeWidgetItem* commonItem = widget->topLevelItem(0)->child(1);
    QTreeWidgetItem* folderItem = widget->topLevelItem(0)->child(0);
    EXPECT_EQ(bankItem->icon(0).pixmap(16, 16).toImage(), images.Composed(7, 0).toImage());
    EXPECT_EQ(commonItem->icon(0).pixmap(16, 16, QIcon::Selected).toImage(), images.Composed(3, 1).toImage());
    EXPECT_NE(images.Composed(7, 0).toImage(), images.Pixmap(7)->toImage());

    QImage shot = widget->viewport()->grab().toImage();
    shot.save(QString::fromStdString((qmtest::OutputDir() / "treeview-marks.png").string()));
    auto count = [&](QTreeWidgetItem* item, auto predicate) {
        const QRect r = widget->visualItemRect(item);
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = 0; x < shot.width(); ++x) n += predicate(shot.pixelColor(x, y));
        return n;
    };
    auto markRed = [](const QColor& c) { return c == QColor(217, 52, 43); };
    auto markYellow = [](const QColor& c) { return c == QColor(246, 201, 69); };
    EXPECT_GT(count(bankItem, markRed), 10);
    EXPECT_EQ(count(folderItem, markRed), 0);
    EXPECT_GT(count(commonItem, markYellow), 5);
    EXPECT_EQ(count(bankItem, markYellow), 0);
    // The selected row is shown in a selection colour, not the background.
    auto notBackground = [](const QColor& c) { return c != QColor(255, 255, 255); };
    const QRect selectedRow = widget->visualItemRect(commonItem);
    EXPECT_NE(shot.pixelColor(selectedRow.right() - 2, selectedRow.center().y()), QColor(255, 255, 255))
        << "selection hidden without focus";
    EXPECT_GT(count(commonItem, notBackground), count(folderItem, notBackground));
}
