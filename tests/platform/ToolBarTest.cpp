// The tool bar: rows that break where asked, separators of their own width,
// exclusive groups, other controls standing among the buttons, and the
// pictures a person sees.
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/ToolBar.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QToolButton>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace plat;

namespace plat {
static void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}"; }
} // namespace plat

namespace {

ToolButton* AddButton(ToolBar& bar, int image, ToolButtonStyle style = tbsButton)
{
    auto* b = new ToolButton(bar);
    b->SetStyle(style);
    b->SetImageIndex(image);
    return b;
}

void AddBarPictures(ImageList& images)
{
    for (const char* name : {"imgIcon_Bar_File_New", "imgIcon_Bar_File_Open", "imgIcon_Bar_File_Save", "imgIcon_Bar_Com1",
                             "imgIcon_Bar_Com2", "imgIcon_Bar_Com3", "imgIcon_Bar_Com4", "imgIcon_Bar_Clone_Read"})
        images.AddArtwork(name);
}

} // namespace

TEST(ToolBar, RowsBreakAfterWrappedItemsAndSeparatorsKeepTheirWidth)
{
    Form f;
    f.SetClientSize(400, 200);
    ImageList& images = *new ImageList(&f); // owned by the form, as the main form owns its lists
    AddBarPictures(images);
    auto* bar = new ToolBar(f);
    bar->SetImages(&images);
    ToolButton* b0 = AddButton(*bar, 0);
    ToolButton* b1 = AddButton(*bar, 1);
    ToolButton* sep = AddButton(*bar, -1, tbsSeparator);
    ToolButton* b2 = AddButton(*bar, 2);
    ToolButton* wrap = AddButton(*bar, -1, tbsSeparator);
    wrap->SetWidth(1);
    wrap->SetWrap(true);
    ToolButton* b3 = AddButton(*bar, 3);
    ToolButton* hidden = AddButton(*bar, 4);
    hidden->Hide();
    ToolButton* b4 = AddButton(*bar, 5);

    const int w = bar->ButtonWidth();
    const int h = bar->ButtonHeight();
    EXPECT_EQ(w, 23);
    EXPECT_EQ(h, 22);
    EXPECT_EQ(b0->BoundsRect(), (Rect{4, 2, 4 + w, 2 + h}));
    EXPECT_EQ(b1->Left(), 4 + w);
    EXPECT_EQ(sep->BoundsRect(), (Rect{4 + 2 * w, 2, 4 + 2 * w + 8, 2 + h}));
    EXPECT_EQ(b2->Left(), 4 + 2 * w + 8);
    EXPECT_EQ(wrap->Width(), 1);
    EXPECT_EQ(b3->BoundsRect(), (Rect{4, 2 + h, 4 + w, 2 + 2 * h}));
    EXPECT_EQ(b4->Left(), 4 + w); // the hidden one takes no room
    EXPECT_EQ(bar->RowCount(), 2);
    EXPECT_EQ(bar->Height(), 2 + 2 * h + 2);
    EXPECT_EQ(bar->ButtonCount(), 8);
    EXPECT_EQ(bar->Buttons(3), b2);

    // No break: one row; the bar lies at the top and the form's client area
    // below it follows its height and visibility.
    auto* below = new Panel(f);
    below->SetAlign(alClient);
    wrap->SetWrap(false);
    EXPECT_EQ(bar->RowCount(), 1);
    EXPECT_EQ(b3->Top(), 2);
    EXPECT_EQ(below->Top(), bar->Height());
    bar->Hide();
    EXPECT_EQ(below->Top(), 0);
    bar->Show();
    EXPECT_EQ(below->Top(), bar->Height());

    // The list goes first: the bar shows no pictures and lives on.
    delete &images;
    EXPECT_EQ(bar->Images(), nullptr);
    b0->SetImageIndex(1);
    EXPECT_TRUE(static_cast<QToolButton*>(b0->Widget())->icon().isNull());
}

TEST(ToolBar, ExclusiveGroupsAndCheckButtons)
{
    ScopedDialogScript script;
    Form f;
    auto* bar = new ToolBar(f);
    std::vector<ToolButton*> group;
    for (int i = 0; i < 3; ++i) {
        group.push_back(AddButton(*bar, i, tbsCheck));
        group.back()->SetGrouped(true);
    }
    AddButton(*bar, -1, tbsSeparator);
    ToolButton* otherGroup = AddButton(*bar, 3, tbsCheck);
    otherGroup->SetGrouped(true);
    ToolButton* toggle = AddButton(*bar, 4, tbsCheck);
    ToolButton* plain = AddButton(*bar, 5);
    std::vector<std::string> clicks;
    for (ToolButton* b : {group[0], group[1], group[2], otherGroup, toggle, plain})
        b->OnClick = [&](ToolButton& sender) { clicks.push_back(std::to_string(sender.ImageIndex()) + (sender.Down() ? " down" : " up")); };
    otherGroup->SetDown(true);
    group[0]->SetDown(true);
    f.Show();

    group[1]->Click();
    EXPECT_EQ((std::vector<bool>{group[0]->Down(), group[1]->Down(), group[2]->Down()}), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(otherGroup->Down()); // beyond the separator: another group
    group[1]->Click(); // the one that is down stays down
    EXPECT_TRUE(group[1]->Down());
    group[2]->SetDown(true);
    EXPECT_FALSE(group[1]->Down());
    toggle->Click();
    toggle->Click();
    plain->Click();
    EXPECT_FALSE(plain->Down());
    plain->SetEnabled(false);
    plain->Click(); // disabled: nothing
    EXPECT_EQ(clicks, (std::vector<std::string>{"1 down", "1 down", "4 down", "4 up", "5 up"}));

    // A click of the real button goes the same way and shows the state.
    auto* widget = static_cast<QToolButton*>(group[0]->Widget());
    widget->click();
    EXPECT_TRUE(group[0]->Down());
    EXPECT_TRUE(widget->isChecked());
    EXPECT_FALSE(static_cast<QToolButton*>(group[2]->Widget())->isChecked());
    EXPECT_FALSE(static_cast<QToolButton*>(plain->Widget())->isEnabled());
}

TEST(ToolBar, OtherControlsStandAmongTheButtons)
{
    ScopedDialogScript script;
    Form f;
    f.SetClientSize(500, 200);
    ImageList& images = *new ImageList(&f); // owned by the form, as the main form owns its lists
    AddBarPictures(images);
    auto* bar = new ToolBar(f);
    bar->SetImages(&images);
    bar->SetFlat(true);
    auto* print = new Button(*bar);
    print->SetCaption("&Print");
    print->SetWidth(70);
    AddButton(*bar, -1, tbsSeparator);
    ToolButton* top = AddButton(*bar, 0);
    top->SetHint("Top Page");
    auto* page = new Edit(*bar);
    page->SetWidth(30);
    page->SetText("1");
    auto* count = new Label(*bar);
    count->SetCaption(" / 1");
    ToolButton* next = AddButton(*bar, 1);
    f.Show();
    ProcessMessages();

    EXPECT_EQ(print->Left(), 4);
    EXPECT_EQ(top->Left(), 4 + 70 + 8);
    EXPECT_EQ(page->Left(), top->Left() + bar->ButtonWidth());
    EXPECT_EQ(count->Left(), page->Left() + 30);
    EXPECT_EQ(next->Left(), count->Left() + count->Width());
    // Taller than a button: the row takes its height, the others stand in
    // its middle.
    const int rowHeight = std::max(bar->ButtonHeight(), std::max(print->Height(), page->Height()));
    EXPECT_EQ(bar->Height(), 2 + rowHeight + 2);
    EXPECT_EQ(count->Top(), 2 + (rowHeight - count->Height()) / 2);
    // A longer label pushes what follows.
    count->SetCaption(" / 100");
    ProcessMessages();
    EXPECT_EQ(next->Left(), count->Left() + count->Width());
    EXPECT_EQ(top->Widget()->toolTip().toStdString(), "Top Page");

    QImage shot = bar->Widget()->grab().toImage();
    shot.save(QString::fromStdString((qmtest::OutputDir() / "toolbar.png").string()));
    // The pictures are on the buttons: the open folder's dark yellow and the
    // new page's outline lie inside their buttons.
    auto has = [&](const Control& c, QColor colour) {
        for (int y = c.Top(); y < c.Top() + c.Height(); ++y)
            for (int x = c.Left(); x < c.Left() + c.Width(); ++x)
                if (shot.pixelColor(x, y) == colour) return true;
        return false;
    };
    EXPECT_TRUE(has(*next, QColor(212, 154, 30)));
    EXPECT_FALSE(has(*top, QColor(212, 154, 30)));
    EXPECT_TRUE(has(*top, QColor(43, 43, 43)));
}
