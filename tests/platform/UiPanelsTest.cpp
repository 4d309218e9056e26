// The status bar with its owner-drawn panels, the splitter between two
// panels, and the drop-down list.
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Splitter.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QImage>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace plat;

namespace plat {
static void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}"; }
} // namespace plat

TEST(StatusBar, PanelsOwnerDrawingAndResize)
{
    ScopedDialogScript script;
    Form f;
    f.SetClientSize(300, 100);
    auto* bar = new StatusBar(f);
    EXPECT_EQ(bar->Top() + bar->Height(), 100);
    EXPECT_GE(bar->Height(), 19);
    int resizes = 0;
    bar->OnResize = [&] { ++resizes; };
    // As the main window builds its bar: a text panel that the owner
    // draws, then a square panel.
    StatusPanel text;
    text.style = psOwnerDraw;
    text.bevel = pbNone;
    text.width = 0;
    bar->AddPanel(text);
    StatusPanel square;
    square.width = bar->Height();
    bar->AddPanel(square);
    StatusPanel widened = bar->Panel(0);
    widened.width = 300 - bar->Height();
    bar->SetPanel(0, widened);

    EXPECT_EQ(bar->PanelRect(0), (Rect{0, 0, 300 - bar->Height(), bar->Height()}));
    EXPECT_EQ(bar->PanelRect(1), (Rect{300 - bar->Height() + 1, 1, 299, bar->Height() - 1}));

    std::vector<Rect> drawn;
    bar->OnDrawPanel = [&](int index, const Rect& r, Canvas& c) {
        drawn.push_back(r);
        EXPECT_EQ(index, 0);
        c.GetBrush() = {clMaroon, bsSolid};
        c.FillRect(r);
        c.GetFont().color = clWhite;
        c.GetBrush().style = bsClear;
        c.TextOut(r.left + 4, r.top + 2, "Reading...");
    };
    f.Show();
    QImage shot = bar->Widget()->grab().toImage();
    shot.save(QString::fromStdString((qmtest::OutputDir() / "statusbar.png").string()));
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back(), bar->PanelRect(0));
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(128, 0, 0));
    int white = 0;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < bar->Height(); ++y) white += shot.pixelColor(x, y).lightness() > 200;
    EXPECT_GT(white, 10); // the text
    EXPECT_EQ(shot.pixelColor(300 - bar->Height(), 0), QColor(160, 160, 160)); // the lowered bevel

    // Text panels show their text; the last panel reaches the right edge.
    const int before = resizes;
    f.SetClientWidth(400);
    EXPECT_GT(resizes, before);
    EXPECT_EQ(bar->PanelRect(1).right, 399);
    StatusPanel status = bar->Panel(1);
    status.style = psText;
    status.text = "COM1";
    bar->SetPanel(1, status);
    EXPECT_EQ(bar->Panel(1).text, "COM1");
    EXPECT_THROW(bar->Panel(2), FatalError);
}

TEST(Splitter, DraggingResizesTheLeftPanelWithinTheMinimum)
{
    ScopedDialogScript script;
    Form f;
    f.SetClientSize(400, 200);
    auto* left = new Panel(f);
    left->SetAlign(alLeft);
    left->SetWidth(100);
    auto* splitter = new Splitter(f);
    splitter->SetMinSize(8);
    splitter->SetLeft(100);
    auto* right = new Panel(f);
    right->SetAlign(alClient);
    f.Show();
    EXPECT_EQ(splitter->Width(), 3);
    EXPECT_EQ(splitter->Left(), 100);
    EXPECT_EQ(splitter->Neighbour(), left);
    EXPECT_EQ(splitter->GetCursor(), crHSplit);
    int moved = 0;
    splitter->OnMoved = [&] { ++moved; };

    // Live: the panels follow each move.
    SendMouse(*splitter, MouseAction::Down, 1, 50);
    SendMouse(*splitter, MouseAction::Move, 31, 50);
    EXPECT_EQ(left->Width(), 130);
    EXPECT_EQ(splitter->Left(), 130);
    EXPECT_EQ(right->Left(), 133);
    SendMouse(*splitter, MouseAction::Move, -500, 50); // no snapping away: the minimum
    EXPECT_EQ(left->Width(), 8);
    SendMouse(*splitter, MouseAction::Move, 1000, 50); // the right side keeps its minimum too
    EXPECT_EQ(right->Width(), 8);
    EXPECT_EQ(left->Width(), 400 - 3 - 8);
    SendMouse(*splitter, MouseAction::Up, 1000, 50);
    SendMouse(*splitter, MouseAction::Move, 0, 50);
    EXPECT_EQ(left->Width(), 400 - 3 - 8);
    EXPECT_EQ(moved, 3) << "each move the user made is told; none else";
}

TEST(ComboBox, DropDownListPicksOneItemOrNone)
{
    Form f;
    auto* box = new ComboBox(f);
    box->SetItems({"1", "2", "3", "4", "5"});
    EXPECT_EQ(box->ItemIndex(), -1);
    box->SetItemIndex(2);
    EXPECT_EQ(box->ItemIndex(), 2);
    EXPECT_EQ(static_cast<QComboBox*>(box->Widget())->currentText().toStdString(), "3");
    box->AddItem("6");
    EXPECT_EQ(box->ItemIndex(), 2);
    box->SetItemIndex(9);
    EXPECT_EQ(box->ItemIndex(), -1);
    EXPECT_FALSE(static_cast<QComboBox*>(box->Widget())->isEditable());
    EXPECT_EQ(box->Items().size(), 6u);
    ComboBox* empty = new ComboBox(f);
    empty->AddItem("only");
    EXPECT_EQ(empty->ItemIndex(), -1);
}
