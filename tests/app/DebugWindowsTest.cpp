// The two debug windows, opened by their events only: the text window that
// collects debug lines, and the working image as hexadecimal bytes with the
// comparison snapshot.
#include "tests/app/AppFixture.h"

#include "cells/indActiveCell.h"
#include "core/EventIds.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcEvMan.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiDebugWin.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <gtest/gtest.h>

namespace {

using apptest::ProgramFixture;

class DebugWindows : public ProgramFixture {
protected:
    std::string Text(cuiSheet& sheet, int col, int row, bool* marked = nullptr)
    {
        cmcCellCapsule capsule;
        sheet.FillCapsule(col, row, capsule);
        indActiveCell().Exec(&capsule, 0);
        if (marked != nullptr) *marked = capsule.WarningMark;
        return capsule.Text;
    }
};

TEST_F(DebugWindows, TheTextWindowCollectsLinesUnlessTextIsSelected)
{
    Start();
    EXPECT_EQ(cuiDebugWin::Newest(), nullptr);
    g_EvMan->Send(ev::DebugTextWindow, 0, 0);
    cuiDebugWin* window = cuiDebugWin::Newest();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Window()->Caption(), "Free Debug Window");
    EXPECT_EQ(window->Window()->Height(), std::max(100, int(Form().Height() * 0.8)));
    EXPECT_TRUE(Form().Enabled());

    g_EvMan->SendText(ev::DebugTextLine, 0, 0, "first line");
    g_EvMan->SendText(ev::DebugTextLine, 0, 0, "second line");
    window->Lines()->SetSelStart(0);
    window->Lines()->SetSelLength(5);
    g_EvMan->SendText(ev::DebugTextLine, 0, 0, "dropped");
    ASSERT_EQ(window->Lines()->LineCount(), 2);
    EXPECT_EQ(window->Lines()->Line(1), "second line");

    // Its close box hides it; it goes with the main window.
    window->Window()->Close();
    plat::ProcessMessages();
    EXPECT_FALSE(window->Window()->Visible());
}

TEST_F(DebugWindows, TheImageWindowShowsTheBytesMovesToAnAddressAndMarksChangesSinceTheSnapshot)
{
    Start();
    Main().CurrentImage().SetByte(0x23, 0xA5);
    g_EvMan->Send(ev::ImageDebugWindow, 0, 0);
    cuiEeDebugWin* window = cuiEeDebugWin::Newest();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Form().Enabled()); // the owner stays usable
    EXPECT_EQ(window->CloseButton()->Caption(), "OK");
    EXPECT_EQ(window->SetCompButton()->Caption(), "Set Comp");
    EXPECT_EQ(window->RedrawButton()->Caption(), "Redraw");
    cuiSheet& sheet = *window->Sheet();
    // As many rows of 16 bytes as a sheet holds cells for.
    EXPECT_EQ(sheet.Grid()->RowCount(), 3 + 7700);

    // Address 0x23: row 2 of the bytes, byte 3.
    g_EvMan->Send(ev::ImageDebugCursor, 0, 0x23);
    EXPECT_EQ(sheet.Grid()->Col(), 9);
    EXPECT_EQ(sheet.Grid()->Row(), 5);
    EXPECT_EQ(Text(sheet, 0, 5), "000020");
    EXPECT_EQ(Text(sheet, 9, 5), "A5");
    // An address past the rows shown, or before the first, leaves the cursor
    // where it is.
    const intptr_t pastTheRows = intptr_t(sheet.Grid()->RowCount() - 3) * 16;
    for (const intptr_t address : {pastTheRows, pastTheRows + 0x7F, intptr_t(-1)}) {
        g_EvMan->Send(ev::ImageDebugCursor, 0, address);
        EXPECT_EQ(sheet.Grid()->Col(), 9) << address;
        EXPECT_EQ(sheet.Grid()->Row(), 5) << address;
    }
    // The last byte shown is reached.
    g_EvMan->Send(ev::ImageDebugCursor, 0, pastTheRows - 1);
    EXPECT_EQ(sheet.Grid()->Col(), 15 * 2 + 3);
    EXPECT_EQ(sheet.Grid()->Row(), sheet.Grid()->RowCount() - 1);
    g_EvMan->Send(ev::ImageDebugCursor, 0, 0x23);

    // After the snapshot only what changes since is marked.
    window->SetCompButton()->Click();
    Wait();
    bool marked = true;
    Text(sheet, 9, 5, &marked);
    EXPECT_FALSE(marked);
    Main().CurrentImage().SetByte(0x23, 0x5A);
    EXPECT_EQ(Text(sheet, 9, 5, &marked), "5A");
    EXPECT_TRUE(marked);
    EXPECT_EQ(Text(sheet, 11, 5, &marked), Text(sheet, 11, 5));
    EXPECT_FALSE(marked);
    EXPECT_EQ(Text(sheet, 0, sheet.Grid()->RowCount() - 1), "01E130");
    ASSERT_TRUE(plat::SavePng(*window->Window(), (qmtest::OutputDir() / "image-debug-window.png").string()));

    window->CloseButton()->Click();
    plat::ProcessMessages();
    EXPECT_EQ(cuiEeDebugWin::Newest(), nullptr);
}

} // namespace
