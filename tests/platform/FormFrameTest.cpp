// A form stored at its outer size reopens at exactly that size, also under a
// window manager that tells the window's frame only after showing it.
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

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
