// Forms: modal results through the modal driver and through the real message
// loop, close queries, release and ownership, key routing and rendering.
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <map>
#include <ostream>

using namespace plat;

namespace plat {
static void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}"; }
} // namespace plat

namespace {

// A small dialog: a label, an edit and OK (default, mrOk) and Cancel
// (cancel, mrCancel) buttons, the way the programs build theirs.
struct PortDialog {
    Form* form = new Form();
    Label* label = new Label(*form);
    Edit* edit = new Edit(*form);
    Button* ok = new Button(*form);
    Button* cancel = new Button(*form);

    PortDialog()
    {
        form->SetCaption("COM Port");
        form->SetBorderStyle(bsDialog);
        form->SetClientSize(220, 90);
        label->SetCaption("Enter COM port [ 1-255]");
        label->SetBounds(8, 8, 0, 0);
        edit->SetName("edit");
        edit->SetBounds(8, 30, 60, 21);
        edit->SetMaxLength(3);
        ok->SetName("ok");
        ok->SetCaption("OK");
        ok->SetBounds(60, 60, 75, 25);
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        cancel->SetName("cancel");
        cancel->SetCaption("Cancel");
        cancel->SetBounds(140, 60, 75, 25);
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
    }
    ~PortDialog() { delete form; }
};

Edit& EditOf(Form& f) { return *dynamic_cast<Edit*>(f.FindControl("edit")); }
Button& ButtonOf(Form& f, const char* name) { return *dynamic_cast<Button*>(f.FindControl(name)); }

} // namespace

TEST(UiModalForm, DriverFillsTheEditAndPressesOk)
{
    ScopedDialogScript script;
    PortDialog d;
    script.Drive([](Form& f) {
        EXPECT_TRUE(f.Visible());
        EXPECT_TRUE(f.Modal());
        EditOf(f).SetText("42");
        ButtonOf(f, "ok").Click();
    });
    EXPECT_EQ(d.form->ShowModal(), mrOk);
    EXPECT_EQ(d.edit->Text(), "42");
    EXPECT_FALSE(d.form->Visible());
    EXPECT_FALSE(d.form->Modal());
    EXPECT_EQ(script.ModalForms(), std::vector<std::string>{"COM Port"});
    EXPECT_EQ(script.UnusedDrivers(), 0u);
}

TEST(UiModalForm, KeysEndTheDialogThroughTheDefaultAndCancelButtons)
{
    struct Case {
        const char* focus; // control that has the focus
        int key;
        int result;
    };
    const Case cases[] = {
        {"edit", VK_ESCAPE, mrCancel},
        {"edit", VK_RETURN, mrOk},
        {"cancel", VK_RETURN, mrCancel}, // Enter clicks the focused button
        {"ok", VK_ESCAPE, mrCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.focus) + " key " + std::to_string(c.key));
        ScopedDialogScript script;
        PortDialog d;
        script.Drive([&](Form& f) {
            f.FindControl(c.focus)->SetFocus();
            SendKey(f, c.key);
        });
        EXPECT_EQ(d.form->ShowModal(), c.result);
    }
}

TEST(UiModalForm, KeysDoNothingWithoutUsableButtons)
{
    ScopedDialogScript script;
    PortDialog d;
    d.ok->SetEnabled(false);
    d.cancel->SetVisible(false);
    script.Drive([&](Form& f) {
        EditOf(f).SetFocus();
        SendKey(f, VK_RETURN);
        SendKey(f, VK_ESCAPE);
        EXPECT_EQ(f.ModalResult(), mrNone);
        ButtonOf(f, "ok").Click(); // disabled: no effect either
        EXPECT_EQ(f.ModalResult(), mrNone);
        // A disabled form takes neither keys nor clicks.
        ButtonOf(f, "ok").SetEnabled(true);
        ButtonOf(f, "cancel").SetVisible(true);
        f.SetEnabled(false);
        SendKey(f, VK_ESCAPE);
        ButtonOf(f, "ok").Click();
        EXPECT_EQ(f.ModalResult(), mrNone);
        f.SetEnabled(true);
        f.Close(); // closing a modal form cancels it
    });
    EXPECT_EQ(d.form->ShowModal(), mrCancel);
}

TEST(UiModalForm, ClickHandlerRunsAfterTheButtonSetTheResultAndMayChangeIt)
{
    ScopedDialogScript script;
    script.Answer(IDOK);
    PortDialog d;
    d.ok->OnClick = [&] {
        EXPECT_EQ(d.form->ModalResult(), mrOk);
        if (d.edit->Text() == "0") {
            MessageBox("Bad COM Port Number", "COM Port", MB_OK | MB_ICONERROR, d.form);
            d.form->SetModalResult(mrCancel);
        }
    };
    script.Drive([](Form& f) {
        EditOf(f).SetText("0");
        ButtonOf(f, "ok").Click();
    });
    EXPECT_EQ(d.form->ShowModal(), mrCancel);
    ASSERT_EQ(script.Boxes().size(), 1u);
    EXPECT_EQ(script.Boxes()[0].text, "Bad COM Port Number");
}

TEST(UiModalForm, UnscriptedOrUnclosedModalFormsFailLoudly)
{
    PortDialog d;
    {
        ScopedDialogScript script;
        EXPECT_THROW(d.form->ShowModal(), UnscriptedDialog);
        EXPECT_FALSE(d.form->Visible());
        EXPECT_FALSE(d.form->Modal());
    }
    {
        ScopedDialogScript script;
        script.Drive([](Form& f) { EditOf(f).SetText("7"); });
        EXPECT_THROW(d.form->ShowModal(), UnscriptedDialog);
        EXPECT_FALSE(d.form->Visible());
    }
    {
        // The close query refuses: the driver's OK does not close the form.
        ScopedDialogScript script;
        d.form->OnCloseQuery = [](bool& canClose) { canClose = false; };
        script.Drive([](Form& f) { ButtonOf(f, "ok").Click(); });
        EXPECT_THROW(d.form->ShowModal(), UnscriptedDialog);
    }
    d.form->Show();
    EXPECT_EQ(qmtest::FatalMessage([&] { d.form->ShowModal(); }), "Cannot make a visible window modal");
}

TEST(UiModalForm, OwnMessageLoopEndsOnResultsAndAsksTheCloseQuery)
{
    PortDialog d;
    int queries = 0;
    // The first close is refused; the loop goes on, and the next event (the
    // Cancel click) ends the dialog.
    d.form->OnCloseQuery = [&](bool& canClose) {
        canClose = ++queries > 1;
        if (!canClose)
            QTimer::singleShot(0, [&] {
                EXPECT_TRUE(d.form->Visible());
                EXPECT_EQ(d.form->ModalResult(), mrNone);
                d.cancel->Click();
            });
    };
    bool closed = false;
    d.form->OnClose = [&] { closed = true; };
    QTimer::singleShot(0, [&] { d.ok->Click(); });
    EXPECT_EQ(d.form->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(d.form->Visible());

    // Destroying the form inside its modal loop ends the loop.
    Form* doomed = new Form();
    QTimer::singleShot(0, [&] { delete doomed; });
    EXPECT_EQ(doomed->ShowModal(), mrCancel);
}

TEST(UiApplication, RunEndsWhenTheMainFormClosesAndQuitEndsModalLoops)
{
    int argc = 1;
    char name[] = "uitest";
    char* argv[] = {name, nullptr};
    Application app(argc, argv);
    EXPECT_EQ(Application::Instance(), &app);
    const std::string oldTitle = ApplicationTitle();
    SetApplicationTitle("QM-7150Q RR 4.6.8");
    EXPECT_EQ(ApplicationTitle(), "QM-7150Q RR 4.6.8");

    Form main;
    main.SetCaption("main");
    QTimer::singleShot(0, [&] { main.Close(); });
    EXPECT_EQ(app.Run(main), 0);
    EXPECT_FALSE(main.Visible());

    PortDialog d;
    int modalResult = -1;
    QTimer::singleShot(0, [&] { modalResult = d.form->ShowModal(); });
    QTimer::singleShot(0, [&] { app.Quit(3); });
    EXPECT_EQ(app.Run(main), 3);
    EXPECT_EQ(modalResult, mrCancel);
    SetApplicationTitle(oldTitle);
}

TEST(UiForm, CloseQueryCloseReleaseAndOwnership)
{
    Form owner;
    auto* form = new Form(&owner);
    bool allow = false;
    int closes = 0;
    bool destroyed = false;
    form->OnCloseQuery = [&](bool& canClose) { canClose = allow; };
    form->OnClose = [&] { ++closes; };
    form->OnDestroy = [&] { destroyed = true; };
    form->Show();
    form->Close();
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(closes, 0);
    allow = true;
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(closes, 1);

    // Released from its own handler: freed once the message loop runs.
    form->OnClose = [&] { form->Release(); };
    form->Show();
    form->Close();
    EXPECT_FALSE(destroyed);
    ProcessMessages();
    EXPECT_TRUE(destroyed);

    // An owner frees the forms it owns; a form freed first leaves its owner.
    bool ownedDestroyed = false;
    {
        Form scratch;
        auto* owned = new Form(&scratch);
        owned->OnDestroy = [&] { ownedDestroyed = true; };
        delete new Form(&scratch);
    }
    EXPECT_TRUE(ownedDestroyed);
}

TEST(UiForm, KeyPreviewSeesKeysFirstAndMaySwallowThem)
{
    Form f;
    auto* edit = new Edit(f);
    std::vector<int> formKeys;
    std::vector<int> editKeys;
    f.OnKeyDown = [&](int& key, ShiftState) { formKeys.push_back(key); };
    f.OnKeyPress = [](char32_t& ch) {
        if (ch == 'x') ch = 0;
    };
    edit->OnKeyDown = [&](int& key, ShiftState shift) {
        editKeys.push_back(key);
        if (key == 'Q' && shift.IsExactly(ssCtrl)) key = 0;
    };
    f.Show();
    edit->SetFocus();

    TypeText(f, "axb");
    EXPECT_EQ(edit->Text(), "axb"); // without key preview the form sees nothing
    EXPECT_TRUE(formKeys.empty());

    f.SetKeyPreview(true);
    edit->SetText("");
    TypeText(f, "axB");
    EXPECT_EQ(edit->Text(), "aB");
    EXPECT_EQ(formKeys, (std::vector<int>{'A', 'X', 'B'}));
    EXPECT_EQ(editKeys, (std::vector<int>{'A', 'X', 'B', 'A', 'X', 'B'}));

    // The form's key-down handler swallows: the edit never sees the key.
    f.OnKeyDown = [](int& key, ShiftState) {
        if (key == VK_F1) key = 0;
    };
    editKeys.clear();
    SendKey(f, VK_F1);
    SendKey(f, 'Q', ssCtrl);
    EXPECT_EQ(editKeys, std::vector<int>{'Q'});
}

TEST(UiForm, ADisabledFocusedButtonHandsTheFocusToNoOtherButton)
{
    Form f;
    auto* first = new Button(f);
    auto* second = new Button(f);
    second->SetLeft(100);
    int clicks = 0;
    second->OnClick = [&] { ++clicks; };
    f.Show();
    first->SetFocus();
    ASSERT_TRUE(first->Focused());
    first->SetEnabled(false);
    EXPECT_FALSE(second->Focused());
    EXPECT_EQ(f.ActiveControl(), nullptr);
    SendKey(f, VK_SPACE);
    SendKey(f, VK_RETURN);
    EXPECT_EQ(clicks, 0);
    // An unfocused button is disabled as before.
    second->SetFocus();
    first->SetEnabled(true);
    first->SetEnabled(false);
    EXPECT_TRUE(second->Focused());
}

// The key that closes a dialog goes on (repeats, then its release) after the
// dialog is gone: none of it reaches the window that comes back.
TEST(UiForm, AKeyThatClosedADialogNeverReachesTheWindowBeneath)
{
    Form main;
    auto* button = new Button(main);
    int clicks = 0;
    button->OnClick = [&] { ++clicks; };
    main.Show();
    button->SetFocus();

    PortDialog d;
    QTimer::singleShot(0, [&] {
        d.ok->SetFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QCoreApplication::sendEvent(d.form->Widget()->focusWidget(), &press);
    });
    EXPECT_EQ(d.form->ShowModal(), mrOk);
    main.Show();
    ASSERT_TRUE(button->Focused());
    for (bool repeat : {true, true, false}) {
        QKeyEvent more(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, "\r", repeat);
        if (repeat) QCoreApplication::sendEvent(button->Widget(), &more);
        QCoreApplication::sendEvent(button->Widget(), &release);
    }
    EXPECT_EQ(clicks, 0);

    // A stroke that begins here works as ever.
    SendKey(main, VK_RETURN);
    EXPECT_EQ(clicks, 1);
}

// A key held down after it closed a dialog repeats in the window beneath as
// release-press pairs, each pair with one time stamp; the window system does
// not always flag them as repeats. None of them is a new stroke there.
TEST(UiForm, RepeatsOfAKeyHeldElsewhereAreNoStrokeEvenWhenUnflagged)
{
    Form main;
    auto* button = new Button(main);
    int clicks = 0;
    button->OnClick = [&] { ++clicks; };
    main.Show();
    button->SetFocus();

    PortDialog d;
    QTimer::singleShot(0, [&] {
        d.ok->SetFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        press.setTimestamp(1000);
        QCoreApplication::sendEvent(d.form->Widget()->focusWidget(), &press);
    });
    EXPECT_EQ(d.form->ShowModal(), mrOk);
    main.Show();
    ASSERT_TRUE(button->Focused());
    auto send = [&](QEvent::Type type, bool repeat, unsigned long time) {
        QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, "\r", repeat);
        key.setTimestamp(time);
        QCoreApplication::sendEvent(button->Widget(), &key);
    };
    send(QEvent::KeyRelease, false, 1001); // the release sent to the dialog's window
    for (unsigned long time = 1520; time < 2000; time += 40) {
        const bool flagged = time % 80 == 0; // every other pair goes unflagged
        send(QEvent::KeyRelease, flagged, time);
        send(QEvent::KeyPress, flagged, time);
    }
    send(QEvent::KeyRelease, false, 2100); // the key goes up at last
    EXPECT_EQ(clicks, 0);

    // A stroke that begins here works as ever, even at once.
    send(QEvent::KeyPress, false, 2101);
    send(QEvent::KeyRelease, false, 2180);
    EXPECT_EQ(clicks, 1);
}

// A key held on its own window repeats there, flagged as a repeat or not.
TEST(UiForm, AKeyHeldOnItsOwnWindowRepeatsThroughUnflaggedPairs)
{
    Form f;
    int downs = 0;
    f.OnKeyDown = [&](int& key, ShiftState) {
        if (key == VK_DOWN) ++downs;
    };
    f.Show();
    auto send = [&](QEvent::Type type, bool repeat, unsigned long time) {
        QKeyEvent key(type, Qt::Key_Down, Qt::NoModifier, QString(), repeat);
        key.setTimestamp(time);
        QCoreApplication::sendEvent(f.Widget(), &key);
    };
    send(QEvent::KeyPress, false, 100);
    for (unsigned long time = 480; time < 800; time += 40) {
        const bool flagged = time % 80 == 0; // every other pair goes unflagged
        send(QEvent::KeyRelease, flagged, time);
        send(QEvent::KeyPress, flagged, time);
    }
    send(QEvent::KeyRelease, false, 900);
    send(QEvent::KeyPress, true, 950); // a stray repeat after the key went up
    EXPECT_EQ(downs, 1 + 8);
}

// Enter, Space and Esc held down repeat as release-press pairs, some flagged
// as repeats and some not. The stroke presses one button once: the default
// button, the cancel button or the focused one, even when that button leaves
// the window open; and when the click moves the focus on (as OK hands it to
// Cancel when a long task starts), neither the repeats nor the release reach
// the control that has it now.
TEST(UiForm, AHeldEnterSpaceOrEscPressesOneButtonOnce)
{
    struct Case {
        const char* what;
        int key;
        const char* downOn;  // the control that has the focus as the key goes down
        const char* clicked; // the button the stroke presses
    };
    const Case cases[] = {
        {"Enter in an edit", Qt::Key_Return, "edit", "ok"},
        {"keypad Enter in an edit", Qt::Key_Enter, "edit", "ok"},
        {"Esc in an edit", Qt::Key_Escape, "edit", "cancel"},
        {"Enter on a button", Qt::Key_Return, "cancel", "cancel"},
        {"keypad Enter on a button", Qt::Key_Enter, "cancel", "cancel"},
        {"Space on a button", Qt::Key_Space, "cancel", "cancel"},
        {"Esc on a button", Qt::Key_Escape, "ok", "cancel"},
    };
    for (const Case& c : cases)
        for (bool focusMoves : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (focusMoves ? ", the click moves the focus" : ""));
            PortDialog d;
            // The buttons leave the window open.
            d.ok->SetModalResult(mrNone);
            d.cancel->SetModalResult(mrNone);
            auto* next = new Edit(*d.form);
            next->SetBounds(80, 30, 60, 21);
            std::vector<int> nextKeys;
            next->OnKeyDown = [&](int& key, ShiftState) { nextKeys.push_back(key); };
            std::map<std::string, int> clicks;
            for (Button* button : {d.ok, d.cancel})
                button->OnClick = [&, button] {
                    ++clicks[button->Name()];
                    if (focusMoves) next->SetFocus();
                };
            d.form->Show();
            d.form->FindControl(c.downOn)->SetFocus();
            const QString text = c.key == Qt::Key_Space    ? QStringLiteral(" ")
                                 : c.key == Qt::Key_Escape ? QStringLiteral("\x1b")
                                                           : QStringLiteral("\r");
            unsigned long time = 1000;
            auto send = [&](QEvent::Type type, bool flagged) {
                QKeyEvent event(type, c.key, Qt::NoModifier, text, flagged);
                event.setTimestamp(time);
                QCoreApplication::sendEvent(d.form->Widget()->focusWidget(), &event);
            };
            send(QEvent::KeyPress, false);
            for (int pair = 0; pair < 8; ++pair) {
                time += 33;
                send(QEvent::KeyRelease, pair % 2 == 0);
                send(QEvent::KeyPress, pair % 2 == 0);
            }
            time += 40;
            send(QEvent::KeyRelease, false);
            EXPECT_EQ(clicks, (std::map<std::string, int>{{c.clicked, 1}}));
            EXPECT_TRUE(nextKeys.empty());
            EXPECT_EQ(next->Text(), "");
            EXPECT_EQ(next->Focused(), focusMoves);
        }
}

TEST(UiForm, CharactersOfSpecialKeys)
{
    Form f;
    auto* edit = new Edit(f);
    std::vector<char32_t> chars;
    f.SetKeyPreview(true);
    f.OnKeyPress = [&](char32_t& ch) {
        chars.push_back(ch);
        ch = 0;
    };
    f.Show();
    edit->SetFocus();
    SendKey(f, 'C', ssCtrl);
    SendKey(f, VK_RETURN); // no default button: a character
    SendKey(f, VK_BACK);
    SendKey(f, VK_ESCAPE);
    SendKey(f, VK_SPACE);
    SendKey(f, VK_DELETE); // no character
    SendKey(f, VK_LEFT);
    TypeText(f, "é");
    EXPECT_EQ(chars, (std::vector<char32_t>{3, 13, 8, 27, 32, U'é'}));
    EXPECT_EQ(edit->Text(), "");
}

TEST(UiForm, VirtualKeyCodesOfQtKeys)
{
    const std::pair<int, int> table[] = {
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Return, 13},  {Qt::Key_Enter, 13},
        {Qt::Key_Escape, 27},   {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},      {Qt::Key_Home, 36},     {Qt::Key_Left, 37},    {Qt::Key_Up, 38},
        {Qt::Key_Right, 39},    {Qt::Key_Down, 40},     {Qt::Key_Insert, 45},  {Qt::Key_Delete, 46},
        {Qt::Key_0, 48},        {Qt::Key_9, 57},        {Qt::Key_A, 65},       {Qt::Key_Z, 90},
        {Qt::Key_F1, 112},      {Qt::Key_F12, 123},     {Qt::Key_Shift, 0},    {Qt::Key_Exclam, 0},
    };
    for (auto [qt, vk] : table) EXPECT_EQ(VirtualKeyOf(qt), vk) << "Qt key " << qt;
}

TEST(UiForm, HandlerExceptionsLeaveTheEventLoopAsErrors)
{
    ScopedDialogScript script;
    Form f;
    auto* button = new Button(f);
    button->OnClick = [] { throw std::runtime_error("handler failed"); };
    f.Show();
    button->SetFocus();
    // Space clicks the focused button inside the toolkit; the exception
    // comes out of the key call instead of passing through the toolkit.
    EXPECT_THROW(SendKey(f, VK_SPACE), std::runtime_error);
}

TEST(UiForm, GeometryMenuBarAndWorkArea)
{
    Form f;
    f.SetClientSize(300, 200);
    EXPECT_EQ(f.ClientWidth(), 300);
    EXPECT_EQ(f.ClientHeight(), 200);
    f.SetLeft(5000);
    f.SetTop(-50);
    EXPECT_EQ(f.Left(), 5000);
    EXPECT_EQ(f.Top(), -50);

    // Outer bounds set before the window first shows are its outer bounds
    // once shown, whatever frame the window system adds.
    Form g;
    g.SetBounds(10, 20, 300, 200);
    g.Show();
    EXPECT_EQ(g.BoundsRect(), (Rect{10, 20, 310, 220}));
    EXPECT_LE(g.ClientWidth(), 300);
    g.SetBounds(g.Left(), g.Top(), g.Width(), g.Height());
    EXPECT_EQ(g.BoundsRect(), (Rect{10, 20, 310, 220}));

    const Rect area{0, 0, 1920, 1040};
    {
        ScopedWorkArea guard(area);
        EXPECT_EQ(f.WorkArea(), area);
        EXPECT_EQ(DesktopWorkArea(), area);
    }
    EXPECT_NE(DesktopWorkArea(), area);
}

TEST(UiForm, RendersToPng)
{
    Form f;
    f.SetCaption("Render");
    f.SetClientSize(240, 120);
    auto* label = new Label(f);
    label->SetCaption("Rock && Roll");
    label->SetBounds(8, 8, 0, 0);
    auto* memo = new Memo(f);
    memo->SetBounds(8, 30, 150, 80);
    memo->AddLine("COM Open...[OK]");
    auto* button = new Button(f);
    button->SetCaption("OK");
    button->SetBounds(160, 85, 75, 25);
    f.Show();
    const std::string path = (qmtest::OutputDir() / "UiForm.png").string();
    ASSERT_TRUE(SavePng(f, path));
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), f.Widget()->width());
    EXPECT_EQ(image.height(), f.Widget()->height());
    // The memo's white page and the form's face differ: something was drawn.
    EXPECT_NE(image.pixel(20, 60), image.pixel(200, 20));
    EXPECT_FALSE(SavePng(f, "/nonexistent-folder/x.png"));
}
