// The alignment layout: kinds in their order, creation order within a kind,
// panel borders, anchors and hidden controls.
#include "platform/ui/Form.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdControls.h"

#include <QMenuBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>

using namespace plat;

namespace plat {
static void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}"; }
} // namespace plat

namespace {
Panel* Aligned(Container& parent, Align align, int size)
{
    auto* p = new Panel(parent);
    if (align == alTop || align == alBottom)
        p->SetHeight(size);
    else
        p->SetWidth(size);
    p->SetAlign(align);
    return p;
}
} // namespace

TEST(UiLayout, AlignedControlsShareTheClientAreaByKindThenCreationOrder)
{
    Form f;
    f.SetClientSize(400, 300);
    // Created in an order unlike the kinds' order: the client panel first,
    // the bottom panel before the top ones (as the main window builds its
    // panels before its status bar).
    Panel* client = Aligned(f, alClient, 0);
    Panel* bottom = Aligned(f, alBottom, 20);
    Panel* top = Aligned(f, alTop, 30);
    Panel* top2 = Aligned(f, alTop, 10);
    Panel* left = Aligned(f, alLeft, 100);
    Panel* right = Aligned(f, alRight, 50);

    EXPECT_EQ(top->BoundsRect(), (Rect{0, 0, 400, 30}));
    EXPECT_EQ(top2->BoundsRect(), (Rect{0, 30, 400, 40}));
    EXPECT_EQ(bottom->BoundsRect(), (Rect{0, 280, 400, 300}));
    EXPECT_EQ(left->BoundsRect(), (Rect{0, 40, 100, 280}));
    EXPECT_EQ(right->BoundsRect(), (Rect{350, 40, 400, 280}));
    EXPECT_EQ(client->BoundsRect(), (Rect{100, 40, 350, 280}));

    f.SetClientSize(500, 400);
    EXPECT_EQ(bottom->BoundsRect(), (Rect{0, 380, 500, 400}));
    EXPECT_EQ(right->BoundsRect(), (Rect{450, 40, 500, 380}));
    EXPECT_EQ(client->BoundsRect(), (Rect{100, 40, 450, 380}));

    // A hidden control takes no room; a changed size moves its neighbours.
    top2->Hide();
    left->SetWidth(120);
    EXPECT_EQ(left->BoundsRect(), (Rect{0, 30, 120, 380}));
    EXPECT_EQ(client->BoundsRect(), (Rect{120, 30, 450, 380}));
    delete top;
    EXPECT_EQ(client->BoundsRect(), (Rect{120, 0, 450, 380}));
}

TEST(UiLayout, PanelBordersAndBevelsInsetAlignedChildren)
{
    Form f;
    f.SetClientSize(200, 100);
    Panel* outer = Aligned(f, alClient, 0);
    outer->SetBevelOuter(bvRaised);
    outer->SetBevelInner(bvLowered);
    outer->SetBevelWidth(2);
    outer->SetBorderWidth(8);
    Panel* inner = Aligned(*outer, alClient, 0);
    EXPECT_EQ(inner->BoundsRect(), (Rect{12, 12, 188, 88}));
    outer->SetBevelInner(bvNone);
    EXPECT_EQ(inner->BoundsRect(), (Rect{10, 10, 190, 90}));
    // Children that are not aligned are placed from the panel's corner.
    auto* label = new Label(*outer);
    label->SetBounds(0, 0, 20, 10);
    EXPECT_EQ(label->BoundsRect(), (Rect{0, 0, 20, 10}));
}

TEST(UiLayout, AnchorsKeepDistancesToTheRightAndBottomEdges)
{
    Form f;
    f.SetClientSize(400, 300);
    auto* ok = new Button(f);
    ok->SetBounds(320, 270, 75, 25);
    ok->SetAnchors(akRight | akBottom);
    auto* edit = new Edit(f);
    edit->SetBounds(10, 10, 380, 21);
    edit->SetAnchors(akLeft | akTop | akRight);
    auto* fixed = new Label(f);
    fixed->SetBounds(10, 40, 50, 15);

    f.SetClientSize(500, 360);
    EXPECT_EQ(ok->BoundsRect(), (Rect{420, 330, 495, 355}));
    EXPECT_EQ(edit->BoundsRect(), (Rect{10, 10, 490, 31}));
    EXPECT_EQ(fixed->BoundsRect(), (Rect{10, 40, 60, 55}));

    // Moving an anchored control takes its new distances.
    ok->SetLeft(100);
    f.SetClientSize(400, 300);
    EXPECT_EQ(ok->BoundsRect(), (Rect{0, 270, 75, 295}));
}

TEST(UiLayout, MenuBarLiesAboveTheClientArea)
{
    Form f;
    f.SetClientSize(300, 200);
    auto* menu = new MainMenu(f);
    menu->Items().Add("&File")->Add("E&xit");
    f.SetClientSize(300, 200);
    Panel* client = Aligned(f, alClient, 0);
    const int barHeight = menu->Bar()->height();
    EXPECT_GT(barHeight, 0);
    EXPECT_EQ(f.ClientHeight(), 200);
    EXPECT_EQ(f.Widget()->height(), 200 + barHeight);
    EXPECT_EQ(client->BoundsRect(), (Rect{0, 0, 300, 200}));
    delete menu;
    EXPECT_EQ(f.ClientHeight(), 200 + barHeight);
    EXPECT_EQ(client->BoundsRect(), (Rect{0, 0, 300, 200 + barHeight}));
}
