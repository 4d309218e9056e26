// Forms under a window manager: one stored at its outer size reopens at
// exactly that size, also when the manager tells the frame only after
// showing the window; one without a minimise button stays up and is a
// dialog that the manager keeps above the window it belongs to.
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace plat;

TEST(UiForm, AStoredOuterSizeHoldsWhenTheFrameIsToldLate)
{
    ScopedDialogScript script;
    ScopedLateFrame frame(2, 25, 2, 2);
    Form f;
    f.SetBounds(100, 50, 800, 600);
    f.Show();
    ProcessMessages();
    frame.Arrive();
    EXPECT_EQ(f.Width(), 800);
    EXPECT_EQ(f.Height(), 600);
    EXPECT_EQ(f.ClientWidth(), 800 - 4);
    EXPECT_EQ(f.ClientHeight(), 600 - 27);

    // Closed and opened again at the size it was closed at: it does not
    // grow by its frame.
    const Rect closed = f.NormalBounds();
    EXPECT_EQ(closed.Width(), 800);
    EXPECT_EQ(closed.Height(), 600);
    ScopedLateFrame again(2, 25, 2, 2);
    Form g;
    g.SetBounds(closed.left, closed.top, closed.Width(), closed.Height());
    g.Show();
    ProcessMessages();
    again.Arrive();
    EXPECT_EQ(g.NormalBounds().Width(), 800);
    EXPECT_EQ(g.NormalBounds().Height(), 600);

    // Without a frame (no window manager) the size is the window's.
    ScopedLateFrame none(0, 0, 0, 0);
    Form h;
    h.SetBounds(10, 10, 640, 480);
    h.Show();
    ProcessMessages();
    none.Arrive();
    EXPECT_EQ(h.Width(), 640);
    EXPECT_EQ(h.ClientHeight(), 480);
}

// A dialog laid out by its client size and then centred on its owner
// keeps that client size when the frame arrives: moving is no outer size.
TEST(UiForm, AClientSizeHoldsWhenTheFormIsMovedBeforeTheFrameIsTold)
{
    ScopedDialogScript script;
    ScopedLateFrame frame(2, 25, 2, 2);
    Form f;
    f.SetClientSize(400, 180);
    f.SetLeft(120);
    f.SetTop(90);
    f.Show();
    ProcessMessages();
    frame.Arrive();
    EXPECT_EQ(f.ClientWidth(), 400);
    EXPECT_EQ(f.ClientHeight(), 180);
    EXPECT_EQ(f.Left(), 120);
    EXPECT_EQ(f.Top(), 90);
}

// A window that offers no minimise button cannot be minimised, even by a
// window manager that offers it anyway: it stays up (a progress window
// waited for must never vanish). One with the button minimises.
TEST(UiForm, OnlyWindowsWithAMinimiseButtonMinimise)
{
    ScopedDialogScript script;
    const struct {
        BorderStyle style;
        unsigned icons;
        WindowState after;
    } cases[] = {
        {bsToolWindow, 0, wsNormal},
        {bsDialog, biSystemMenu, wsNormal},
        {bsSingle, biSystemMenu, wsNormal},
        {bsSizeable, biSystemMenu | biMinimize | biMaximize, wsMinimized},
    };
    for (const auto& c : cases) {
        Form f;
        f.SetBorderStyle(c.style);
        f.SetBorderIcons(c.icons);
        f.Show();
        ProcessMessages();
        f.SetWindowState(wsMinimized);
        ProcessMessages();
        EXPECT_EQ(f.GetWindowState(), c.after) << "border style " << c.style;
    }
}

// A dialog goes into the minimised state with the window it belongs to
// (the window manager takes it along, telling the two states in either
// order) and stays there until that window comes back; then it comes back
// too. Only a minimise of the dialog alone is undone. Nested dialogs (a
// message box over a dialog) follow in the same way.
TEST(UiForm, ADialogFollowsItsOwnerIntoAndOutOfTheMinimisedState)
{
    ScopedDialogScript script;
    Form owner;
    owner.SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
    owner.Show();
    ProcessMessages();
    Form dialog(&owner);
    dialog.SetBorderStyle(bsDialog);
    dialog.SetBorderIcons(biSystemMenu);
    dialog.Show();
    ProcessMessages();
    Form inner(&dialog);
    inner.SetBorderStyle(bsDialog);
    inner.SetBorderIcons(biSystemMenu);
    const auto state = [](const Form& f) { return f.GetWindowState(); };

    const struct {
        bool nested;      // a dialog over the dialog is open as well
        bool dialogFirst; // the manager tells the dialog's state first
    } cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.nested ? "nested" : "single") + (c.dialogFirst ? ", dialog first" : ", owner first"));
        inner.SetVisible(c.nested);
        ProcessMessages();
        Form& top = c.nested ? inner : dialog;

        // Alone, the dialog comes back at once.
        top.SetWindowState(wsMinimized);
        ProcessMessages();
        EXPECT_EQ(state(top), wsNormal);
        EXPECT_EQ(state(owner), wsNormal);

        // With its owner, it stays minimised.
        std::vector<Form*> order{&owner, &dialog};
        if (c.nested) order.push_back(&inner);
        if (c.dialogFirst) std::reverse(order.begin(), order.end());
        for (Form* f : order) f->SetWindowState(wsMinimized);
        ProcessMessages();
        EXPECT_EQ(state(owner), wsMinimized);
        EXPECT_EQ(state(dialog), wsMinimized);
        EXPECT_EQ(state(top), wsMinimized);

        // The owner comes back, and the dialogs with it.
        owner.SetWindowState(wsNormal);
        ProcessMessages();
        EXPECT_EQ(state(owner), wsNormal);
        EXPECT_EQ(state(dialog), wsNormal);
        EXPECT_EQ(state(top), wsNormal);
    }
}

// Every window without a minimise button is a dialog to the window manager,
// transient for its owner's form; one without an owner is transient for the
// window it came up over. A window with a minimise button stands on its own.
TEST(UiForm, WindowsWithoutAMinimiseButtonAreDialogsOfTheirOwner)
{
    ScopedDialogScript script;
    const struct {
        BorderStyle style;
        unsigned icons;
        bool dialog;
    } cases[] = {
        {bsDialog, biSystemMenu, true},
        {bsToolWindow, 0, true},
        {bsSingle, biSystemMenu, true},
        {bsSizeable, biSystemMenu, true},
        {bsSizeable, biSystemMenu | biMaximize, true},
        {bsSizeable, biSystemMenu | biMinimize | biMaximize, false},
    };
    Form owner;
    owner.Show();
    ProcessMessages();
    const QWindow* ownerWindow = owner.Widget()->windowHandle();
    for (const auto& c : cases) {
        for (const bool owned : {true, false}) {
            Form f(owned ? &owner : nullptr);
            f.SetBorderStyle(c.style);
            f.SetBorderIcons(c.icons);
            owner.Show(); // the window the unowned one comes up over
            ProcessMessages();
            f.Show();
            ProcessMessages();
            const QWindow* window = f.Widget()->windowHandle();
            ASSERT_NE(window, nullptr);
            const std::string what = "border style " + std::to_string(c.style) + ", icons " +
                                     std::to_string(c.icons) + (owned ? ", owned" : ", without owner");
            EXPECT_EQ(window->type() == Qt::Dialog, c.dialog) << what;
            if (c.dialog || owned)
                EXPECT_EQ(window->transientParent(), ownerWindow) << what;
            else
                EXPECT_EQ(window->transientParent(), nullptr) << what;
        }
    }
}
