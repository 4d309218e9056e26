// The command cells of the menu and the tool bar: what each item shows
// (check marks, hidden and disabled items, captions) after each command, and
// what the commands do.
#include "tests/app/AppFixture.h"

#include "core/CellNames.h"
#include "core/cmcGTex.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/ToolBar.h"
#include "ui/cuiSheet.h"
#include "ui/cuiToolBar.h"

namespace {

using apptest::ProgramFixture;

class CommandCells : public ProgramFixture {
protected:
    std::vector<bool> PortChecks()
    {
        std::vector<bool> checks;
        for (int port = 1; port <= 4; ++port) checks.push_back(MenuItem(CL_Menu_Port_Com, port)->Checked());
        checks.push_back(MenuItem(CL_Menu_Port_Usb)->Checked());
        return checks;
    }
    std::vector<bool> PortButtons()
    {
        std::vector<bool> down;
        for (int port = 1; port <= 4; ++port) down.push_back(ToolButton(CL_Menu_Port_Com, port)->Down());
        return down;
    }
};

TEST_F(CommandCells, RecentFilesShowTheirNumberAndName)
{
    Start();
    // No file yet: the first item disabled, the others hidden.
    plat::MenuItem* first = MenuItem(CL_Menu_File_Recent, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->Enabled());
    EXPECT_TRUE(first->Visible());
    for (int n = 1; n < 10; ++n) EXPECT_FALSE(MenuItem(CL_Menu_File_Recent, n)->Visible()) << n;

    // A file in the folder shows its name, another its full path; '&' shows
    // as it is.
    const std::string docs = user.Documents();
    Environ().RecentFiles.AddFront("/elsewhere/b.icf");
    Environ().RecentFiles.AddFront(docs + "R&D.icf");
    Choose(MenuItem(CL_Menu_View_ToolBar)); // any command refreshes the menu
    Choose(MenuItem(CL_Menu_View_ToolBar));
    EXPECT_EQ(first->Caption(), "&1 R&&D.icf");
    EXPECT_TRUE(first->Enabled());
    EXPECT_EQ(MenuItem(CL_Menu_File_Recent, 1)->Caption(), "&2 /elsewhere/b.icf");
    EXPECT_TRUE(MenuItem(CL_Menu_File_Recent, 1)->Visible());
    EXPECT_FALSE(MenuItem(CL_Menu_File_Recent, 2)->Visible());

    // Choosing one opens it with its full path.
    dialogs.AnswerFile(docs + "R&D.icf");
    ASSERT_EQ(Main().FileSaveAs(), 0);
    Choose(MenuItem(CL_Menu_File_New));
    Choose(MenuItem(CL_Menu_File_Recent, 0));
    EXPECT_EQ(Main().FilePath(), docs + "R&D.icf");
}

TEST_F(CommandCells, PortItemsAndButtonsShowTheChosenPort)
{
    Start();
    EXPECT_EQ(PortChecks(), (std::vector<bool>{true, false, false, false, false}));
    EXPECT_EQ(PortButtons(), (std::vector<bool>{true, false, false, false}));

    Choose(MenuItem(CL_Menu_Port_Com, 3));
    EXPECT_EQ(Environ().ComPort, 3);
    EXPECT_EQ(PortChecks(), (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(PortButtons(), (std::vector<bool>{false, false, true, false}));

    // A port above 4 is chosen in the port dialog and checks its item.
    dialogs.Drive([](plat::Form& dialog) {
        for (int i = 0; i < dialog.ControlCount(); ++i) {
            if (auto* edit = dynamic_cast<plat::Edit*>(dialog.Controls(i))) edit->SetText("12");
        }
        for (int i = 0; i < dialog.ControlCount(); ++i) {
            if (auto* b = dynamic_cast<plat::Button*>(dialog.Controls(i)); b && b->Default()) b->Click();
        }
    });
    Choose(MenuItem(CL_Menu_Port_Usb));
    EXPECT_EQ(Environ().ComPort, 12);
    EXPECT_EQ(PortChecks(), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(PortButtons(), (std::vector<bool>{false, false, false, false}));

    // A port button.
    ToolButton(CL_Menu_Port_Com, 2)->Click();
    Wait();
    EXPECT_EQ(Environ().ComPort, 2);
    EXPECT_EQ(PortChecks(), (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(PortButtons(), (std::vector<bool>{false, true, false, false}));
}

TEST_F(CommandCells, SpeedViewAndModelItemsCheckTheSettingInUse)
{
    Start();
    Choose(MenuItem(CL_Menu_Port_SpeedHigh, 0));
    EXPECT_EQ(Environ().ComSpeedHigh, 0);
    EXPECT_TRUE(MenuItem(CL_Menu_Port_SpeedHigh, 0)->Checked());
    EXPECT_FALSE(MenuItem(CL_Menu_Port_SpeedHigh, 1)->Checked());

    EXPECT_TRUE(MenuItem(CL_Model_Lmr)->Checked());
    EXPECT_FALSE(MenuItem(CL_Model_Pmr)->Checked());
    dialogs.Answer(plat::IDOK);
    Choose(MenuItem(CL_Model_Pmr));
    EXPECT_EQ(Environ().ModelType, indMain::ModelTypePmr);
    EXPECT_FALSE(MenuItem(CL_Model_Lmr)->Checked());
    EXPECT_TRUE(MenuItem(CL_Model_Pmr)->Checked());

    EXPECT_TRUE(MenuItem(CL_Menu_View_ToolBar)->Checked());
    Choose(MenuItem(CL_Menu_View_ToolBar));
    EXPECT_EQ(Environ().ToolbarVisible, 0);
    EXPECT_FALSE(Main().ToolBar()->Bar()->Visible());
    EXPECT_FALSE(MenuItem(CL_Menu_View_ToolBar)->Checked());
}

TEST_F(CommandCells, FontSizeAndViewTypeReopenTheSheetWithDefaultWidths)
{
    Start();
    const cuiSheet* before = Main().CurrentSheet();
    ASSERT_NE(before, nullptr);
    for (plat::MenuItem* item : {MenuItem(CL_Menu_View_FontSize, 150), MenuItem(CL_Menu_View_Type, 1)}) {
        ASSERT_NE(item, nullptr);
        item->Click();
        plat::ProcessMessages();
        EXPECT_EQ(Main().CurrentSheet(), nullptr);
        EXPECT_TRUE(Main().ColumnWidthResetRequested());
        Wait(cuiMain::TickMs);
        EXPECT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Top");
        EXPECT_FALSE(Main().ColumnWidthResetRequested()) << "handed to the new sheet";
    }
    EXPECT_EQ(Environ().FontSizePercentage, 150);
    EXPECT_EQ(Environ().ViewType, 1);
    EXPECT_TRUE(MenuItem(CL_Menu_View_FontSize, 150)->Checked());
    EXPECT_FALSE(MenuItem(CL_Menu_View_FontSize, 100)->Checked());
    EXPECT_TRUE(MenuItem(CL_Menu_View_Type, 1)->Checked());
    EXPECT_FALSE(MenuItem(CL_Menu_View_Type, 0)->Checked());
}

TEST_F(CommandCells, ToolBarFileButtonsAndExit)
{
    Start();
    Main().CurrentImage().SetByte(176120, 'Q');
    Main().UpdateModified();
    // New asks first; Cancel keeps everything.
    dialogs.Answer(plat::IDCANCEL);
    ToolButton(CL_Menu_File_New)->Click();
    Wait();
    EXPECT_TRUE(Main().IsModified());
    // Open: the file dialog first (cancelled here: nothing is asked).
    dialogs.CancelFile();
    ToolButton(CL_Menu_File_Open)->Click();
    Wait();
    EXPECT_EQ(dialogs.FileDialogs().size(), 1u);
    // Save asks for a name while untitled.
    dialogs.AnswerFile(user.Documents() + "t.icf");
    ToolButton(CL_Menu_File_Save)->Click();
    Wait();
    EXPECT_EQ(Main().FilePath(), user.Documents() + "t.icf");
    // Exit closes the window.
    Choose(MenuItem(CL_Menu_File_Exit));
    EXPECT_FALSE(Form().Visible());
    EXPECT_EQ(dialogs.UnusedAnswers(), 0u);
}

} // namespace

namespace {

TEST_F(CommandCells, CloneItemsStartTheCloneCommands)
{
    Start();
    // A read first offers to save the changes; Cancel ends it there.
    Main().CurrentImage().SetByte(176120, 'R');
    Main().UpdateModified();
    dialogs.Answer(plat::IDCANCEL);
    Choose(MenuItem(CL_Menu_Clone_Read));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "Save the changes to Untitled?");
    EXPECT_TRUE(Main().IsModified());

    // A write of a document without any channel is refused before the radio
    // is asked anything.
    dialogs.Answer(plat::IDOK);
    ToolButton(CL_Menu_Clone_Write)->Click();
    Wait();
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    EXPECT_EQ(dialogs.Boxes()[1].text, g_GTex.GetMultiLineText("GI_AppMess_CloneErr_NoActualCh"));
}

} // namespace
