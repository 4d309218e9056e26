// What every control gains: mouse and focus handlers, paint boxes, fonts and
// colours taken from the parent, pointer shapes; forms gain their window
// state; the layer answers the screen's size.
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/QtCanvas.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace plat;

namespace plat {
static void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}"; }
static void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
} // namespace plat

TEST(UiMouse, HandlersSeeTheWindowsOrderOfEvents)
{
    ScopedDialogScript script;
    Form f;
    auto* box = new PaintBox(f);
    box->SetBounds(10, 10, 100, 80);
    std::vector<std::string> seen;
    auto name = [](MouseButton b) { return b == mbLeft ? "L" : b == mbRight ? "R" : "M"; };
    auto held = [](ShiftState s) {
        return std::string(s.Has(ssLeft) ? "+left" : "") + (s.Has(ssShift) ? "+shift" : "") + (s.Has(ssDouble) ? "+double" : "");
    };
    box->OnMouseDown = [&](MouseButton b, ShiftState s, int x, int y) {
        seen.push_back(std::string("down ") + name(b) + held(s) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    box->OnMouseUp = [&](MouseButton b, ShiftState s, int x, int y) {
        seen.push_back(std::string("up ") + name(b) + held(s) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    box->OnMouseMove = [&](ShiftState s, int x, int y) { seen.push_back("move" + held(s) + " " + std::to_string(x) + "," + std::to_string(y)); };
    box->OnDblClick = [&] { seen.push_back("double click at " + std::to_string(box->ScreenToClient(CursorPos()).x)); };
    std::vector<ShiftState> states; // what the keyboard state says during each press
    box->OnMouseDown = [&, down = box->OnMouseDown](MouseButton b, ShiftState s, int x, int y) {
        states.push_back(KeyboardState());
        down(b, s, x, y);
    };
    f.Show();

    SendMouse(*box, MouseAction::Down, 5, 6, mbLeft, ssShift);
    SendMouse(*box, MouseAction::Move, 7, 8);
    SendMouse(*box, MouseAction::Up, 7, 8);
    SendMouse(*box, MouseAction::DoubleClick, 7, 8);
    SendMouse(*box, MouseAction::Up, 7, 8);
    SendMouse(*box, MouseAction::Move, 9, 9);
    ClickAt(*box, 1, 2, mbRight);
    const std::vector<std::string> expected{
        "down L+left+shift 5,6", "move+left 7,8", "up L 7,8", "double click at 7", "down L+left+double 7,8",
        "up L 7,8",              "move 9,9",      "down R 1,2", "up R 1,2",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(CursorPos(), box->ClientToScreen({1, 2}));
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0], ShiftState(ssShift | ssLeft));
    EXPECT_EQ(states[2], ShiftState(ssRight));
    // Keys: their modifiers, with the buttons still held.
    SendMouse(*box, MouseAction::Down, 1, 1);
    SendKey(f, VK_END, ssCtrl);
    EXPECT_EQ(KeyboardState(), ShiftState(ssCtrl | ssLeft));
    SendMouse(*box, MouseAction::Up, 1, 1);
    EXPECT_EQ(KeyboardState(), ShiftState());
}

TEST(UiFocus, EnterAndExitFollowTheFocusWithinTheWindowOnly)
{
    Form f;
    auto* first = new Edit(f);
    auto* second = new Edit(f);
    second->SetTop(30);
    std::vector<std::string> seen;
    first->OnEnter = [&] { seen.push_back("enter first"); };
    first->OnExit = [&] { seen.push_back("exit first"); };
    second->OnEnter = [&] { seen.push_back("enter second"); };
    second->OnExit = [&] { seen.push_back("exit second"); };
    f.Show();
    ProcessMessages();
    first->SetFocus();
    second->SetFocus();
    // Another window becomes active: the focus stays where it was.
    Form other;
    other.Show();
    ProcessMessages();
    f.Show();
    ProcessMessages();
    first->SetFocus();
    EXPECT_EQ(seen, (std::vector<std::string>{"enter first", "exit first", "enter second", "exit second", "enter first"}));
}

TEST(UiPaintBox, PaintsWhatItsHandlerDrawsOnItsCanvas)
{
    Form f;
    auto* box = new PaintBox(f);
    box->SetBounds(0, 0, 40, 30);
    box->SetColor(clAqua);
    f.Show();
    QImage plain = box->Widget()->grab().toImage();
    EXPECT_EQ(plain.pixelColor(20, 15), QColor(0, 255, 255)); // no handler: its colour

    int paints = 0;
    box->OnPaint = [&](Canvas& c) {
        ++paints;
        EXPECT_EQ(c.GetBrush().color, clAqua);
        c.GetBrush().color = clRed;
        c.FillRect({0, 0, 10, 10});
        c.GetPen().color = clBlack;
        c.MoveTo(0, 20);
        c.LineTo(40, 20);
    };
    box->Invalidate();
    QImage image = box->Widget()->grab().toImage();
    EXPECT_GE(paints, 1);
    EXPECT_EQ(image.pixelColor(9, 9), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(39, 20), QColor(0, 0, 0));
    // The canvas measures at any time, in the box's font.
    EXPECT_GT(box->GetCanvas().TextWidth("Preview"), 0);
}

TEST(UiControl, FontsAndColoursComeFromTheParentUntilSet)
{
    Form f;
    auto* panel = new Panel(f);
    auto* label = new Label(*panel);
    Font big;
    big.name = "DejaVu Sans";
    big.height = -20;
    big.color = clMaroon;
    f.SetFont(big);
    EXPECT_EQ(panel->GetFont().height, -20);
    EXPECT_EQ(label->GetFont().color, clMaroon);
    EXPECT_EQ(QFontInfo(label->Widget()->font()).pixelSize(), 20);
    EXPECT_EQ(label->Widget()->palette().color(QPalette::WindowText), QColor(128, 0, 0));

    Font small = big;
    small.height = -9;
    label->SetFont(small);
    EXPECT_TRUE(label->HasOwnFont());
    EXPECT_EQ(label->GetFont().height, -9);
    EXPECT_EQ(panel->GetFont().height, -20);
    EXPECT_EQ(label->GetFont().pixelsPerInch, GetScreenPixelsPerInch());

    EXPECT_EQ(label->GetColor(), clBtnFace);
    panel->SetColor(clGrayText);
    EXPECT_EQ(label->GetColor(), clGrayText);
    EXPECT_EQ(panel->Widget()->palette().color(QPalette::Window), QColor(128, 128, 128));

    EXPECT_EQ(panel->GetCursor(), crDefault);
    panel->SetCursor(crHSplit);
    EXPECT_EQ(panel->Widget()->cursor().shape(), Qt::SplitHCursor);
    panel->SetCursor(crDefault);
    EXPECT_FALSE(panel->Widget()->testAttribute(Qt::WA_SetCursor));
}

TEST(UiForm, WindowStateKeepsTheNormalBounds)
{
    ScopedDialogScript script;
    Form f;
    f.SetBounds(50, 60, 300, 200);
    f.Show();
    ProcessMessages();
    const Rect normal = f.BoundsRect();
    EXPECT_EQ(f.GetWindowState(), wsNormal);
    EXPECT_EQ(f.NormalBounds(), normal);

    f.SetWindowState(wsMaximized);
    ProcessMessages();
    EXPECT_EQ(f.GetWindowState(), wsMaximized);
    EXPECT_GT(f.Width(), 300);
    EXPECT_EQ(f.NormalBounds(), normal);

    f.SetWindowState(wsNormal);
    ProcessMessages();
    EXPECT_EQ(f.GetWindowState(), wsNormal);
    EXPECT_EQ(f.BoundsRect(), normal);

    f.SetWindowState(wsMinimized);
    EXPECT_EQ(f.GetWindowState(), wsMinimized);
    EXPECT_EQ(f.NormalBounds(), normal);

    // Set while hidden: shown that way.
    Form g;
    g.SetWindowState(wsMaximized);
    g.Show();
    ProcessMessages();
    EXPECT_EQ(g.GetWindowState(), wsMaximized);
}

TEST(UiScreen, SizesAndPixelsPerInchFromTheLayer)
{
    const Size real = ScreenSize();
    EXPECT_GT(real.cx, 0);
    EXPECT_GT(real.cy, 0);
    {
        ScopedScreenSize screen({1920, 1080});
        ScopedWorkArea area({0, 0, 1920, 1040});
        EXPECT_EQ(ScreenSize(), (Size{1920, 1080}));
        const Size full = FullScreenClientSize();
        EXPECT_EQ(full.cx, 1920);
        EXPECT_LT(full.cy, 1040);
        EXPECT_GT(full.cy, 1000);
    }
    EXPECT_EQ(ScreenSize(), real);
    EXPECT_EQ(GetScreenPixelsPerInch(), 96);
    SetScreenPixelsPerInch(120);
    Form f;
    Font font;
    font.SetSize(10);
    f.SetFont(font);
    EXPECT_EQ(f.GetFont().pixelsPerInch, 120);
    SetScreenPixelsPerInch(0); // not a resolution: back to 96
    EXPECT_EQ(GetScreenPixelsPerInch(), 96);
}

TEST(UiControl, ControlsAddedToAShownFormAreShown)
{
    Form f;
    auto* panel = new Panel(f);
    f.Show();
    auto* label = new Label(*panel);
    auto* hidden = new Label(*panel);
    hidden->Hide();
    EXPECT_TRUE(label->Widget()->isVisible());
    EXPECT_FALSE(hidden->Widget()->isVisible());
    auto* box = new PaintBox(f);
    EXPECT_TRUE(box->Widget()->isVisible());
}

TEST(UiMemo, InPlaceEditorAbilities)
{
    ScopedDialogScript script;
    Form f;
    auto* memo = new Memo(f);
    auto* widget = static_cast<QPlainTextEdit*>(memo->Widget());
    memo->SetBorder(false);
    EXPECT_EQ(widget->frameShape(), QFrame::NoFrame);
    memo->SetWordWrap(false);

    // The raw text has no line break after its last line.
    memo->SetRawText("145.000");
    EXPECT_EQ(memo->RawText(), "145.000");
    EXPECT_EQ(memo->LineCount(), 1);
    memo->SetRawText("a\nb");
    EXPECT_EQ(memo->RawText(), "a\nb");
    EXPECT_EQ(memo->Text(), "a\nb\n");

    // Caret and selection in characters: "é" is one.
    memo->SetRawText("Aéro 12");
    memo->SetSelStart(2);
    memo->SetSelLength(3);
    EXPECT_EQ(memo->SelStart(), 2);
    EXPECT_EQ(memo->SelLength(), 3);
    EXPECT_EQ(widget->textCursor().selectedText().toStdString(), "ro ");
    memo->SetSelStart(99);
    EXPECT_EQ(memo->SelStart(), 7);
    EXPECT_EQ(memo->SelLength(), 0);

    // Typing stops at the maximum wherever the caret is; the program may set
    // more.
    memo->SetMaxLength(8);
    f.Show();
    memo->SetFocus();
    memo->SetSelStart(1);
    TypeText(f, "xyz");
    EXPECT_EQ(memo->RawText(), "Axéro 12");
    EXPECT_TRUE(widget->document()->isUndoAvailable());
    memo->ClearUndo();
    EXPECT_FALSE(widget->document()->isUndoAvailable());
    memo->SetRawText("0123456789");
    EXPECT_EQ(memo->RawText(), "0123456789");
}

TEST(UiLabel, TextStandsWhereTheLayoutSays)
{
    Form f;
    auto* label = new Label(f);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 200, 40);
    label->SetCaption("Channel list & banks");
    EXPECT_EQ(static_cast<QLabel*>(label->Widget())->alignment(), Qt::AlignLeft | Qt::AlignTop);
    label->SetLayout(Label::tlCenter);
    EXPECT_EQ(static_cast<QLabel*>(label->Widget())->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    label->SetLayout(Label::tlBottom);
    EXPECT_EQ(static_cast<QLabel*>(label->Widget())->alignment(), Qt::AlignLeft | Qt::AlignBottom);
}
