// The language dialog and the help in the running program: a second
// language from a fixture file, and the help requests a person's commands
// make (the test's help service records them).
#include "tests/app/AppFixture.h"

#include "core/CellNames.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "platform/ui/Form.h"
#include "platform/ui/Help.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiFlector.h"
#include "ui/cuiGrid.h"
#include "ui/cuiLanguage.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <gtest/gtest.h>

namespace {

using apptest::ProgramFixture;

class LanguageDialog : public ProgramFixture {
protected:
    // A program folder with English and a second language, whose file is
    // the English one with its title and File menu renamed.
    void StartWithTwoLanguages()
    {
        const std::string folder =
            apptest::MakeProgramFolder(user, {}, {"English\tQM7148HE.OVL", "Testish\tQM7148HT.OVL"});
        std::string second = qmtest::ReadFile(folder + "QM7148HE.OVL");
        for (auto [from, to] : {std::pair<std::string, std::string>{"\n+&File\n", "\n+&Fichier\n"},
                                {"\nQM7148H Radio Programming\n", "\nQM7148H Programmation radio\n"}}) {
            const size_t at = second.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            second.replace(at, from.size(), to);
        }
        qmtest::WriteFile(folder + "QM7148HT.OVL", second);
        Start(true, folder);
    }
    std::string FirstMenu() { return Main().Menu()->Root()->Items(0)->Caption(); }
    cuiLanguage& OpenDialog()
    {
        Choose(MenuItem(CL_Menu_Lang));
        cuiLanguage* dialog = cuiLanguage::Current();
        if (dialog == nullptr) throw std::runtime_error("the language dialog did not open");
        return *dialog;
    }
};

TEST_F(LanguageDialog, OkReloadsTheTextsInThePickedLanguageCancelAndTheCloseBoxKeepTheOld)
{
    StartWithTwoLanguages();
    ASSERT_EQ(FirstMenu(), "&File");

    // The dialog shows the language in use and keeps the main window from
    // taking input.
    cuiLanguage& dialog = OpenDialog();
    EXPECT_FALSE(Form().Enabled());
    EXPECT_EQ(dialog.Window()->Caption(), "QM7148H Radio Programming");
    EXPECT_EQ(dialog.OkButton()->Caption(), "OK");
    EXPECT_EQ(dialog.CancelButton()->Caption(), "Cancel");
    ASSERT_TRUE(plat::SavePng(*dialog.Window(), (qmtest::OutputDir() / "language-dialog.png").string()));

    struct Case {
        const char* how;
        std::function<void(cuiLanguage&)> close;
        int language;
        const char* menu;
    } const cases[] = {
        {"Cancel", [](cuiLanguage& d) { d.CancelButton()->Click(); }, 0, "&File"},
        {"close box", [](cuiLanguage& d) { d.Window()->Close(); }, 0, "&File"},
        {"OK", [](cuiLanguage& d) { d.OkButton()->Click(); }, 1, "&Fichier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        cuiLanguage& open = cuiLanguage::Current() != nullptr ? *cuiLanguage::Current() : OpenDialog();
        Environ().Language = 1; // the pick in the dialog's sheet
        c.close(open);
        plat::ProcessMessages();
        Wait();
        EXPECT_EQ(cuiLanguage::Current(), nullptr);
        EXPECT_TRUE(Form().Enabled());
        EXPECT_EQ(Environ().Language, c.language);
        EXPECT_EQ(FirstMenu(), c.menu);
    }
    EXPECT_EQ(g_GTex.GetText("GI_Sys_AppTitle", 0), "QM7148H Programmation radio");
    EXPECT_NE(Form().Caption().find("QM7148H Programmation radio"), std::string::npos);

    // OK without another language reloads nothing: the value labels stay.
    const cmcFCache* labels = &Main().ValueLabels();
    OpenDialog().OkButton()->Click();
    plat::ProcessMessages();
    EXPECT_EQ(&Main().ValueLabels(), labels);
    EXPECT_TRUE(Form().Enabled());
}

// Enter on the language cell opens its list, as Enter does on every cell;
// from the list Enter picks, and Enter on OK presses OK.
TEST_F(LanguageDialog, EnterOnTheLanguageCellOpensItsList)
{
    StartWithTwoLanguages();
    cuiLanguage& dialog = OpenDialog();
    dialog.Sheet()->Grid()->SetFocus();
    plat::SendKey(*dialog.Window(), plat::VK_RETURN);
    plat::ProcessMessages();
    ASSERT_EQ(cuiLanguage::Current(), &dialog) << "Enter pressed OK";
    cuiFlector* list = cuiFlector::Newest();
    ASSERT_NE(list, nullptr);
    plat::SendKey(*list->Window(), plat::VK_DOWN);
    plat::SendKey(*list->Window(), plat::VK_RETURN);
    plat::ProcessMessages();
    EXPECT_EQ(Environ().Language, 1);
    EXPECT_EQ(cuiLanguage::Current(), &dialog);

    dialog.OkButton()->SetFocus();
    plat::SendKey(*dialog.Window(), plat::VK_RETURN);
    plat::ProcessMessages();
    Wait();
    EXPECT_EQ(cuiLanguage::Current(), nullptr);
    EXPECT_EQ(FirstMenu(), "&Fichier");
}

class Help : public ProgramFixture {
protected:
    std::vector<plat::HelpRequest> requests;
    plat::ScopedHelpHandler handler{[this](const plat::HelpRequest& r) {
        requests.push_back(r);
        return true;
    }};
};

TEST_F(Help, ContentsAndTheHelpOfACellOpenTheProgramsHelpPages)
{
    Start();
    const std::string contents = apptest::ProgramDir() + "help/index.html";

    Choose(MenuItem(CL_Help_Contents));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].file, contents);
    EXPECT_EQ(requests[0].command, plat::HELP_FINDER);

    // F1 on a channel's receive frequency opens its topic.
    plat::TreeView* view = Main().Tree()->View();
    view->SetSelected(view->Item(4));
    Wait(400);
    cuiSheet& sheet = *Main().CurrentSheet();
    cuiGrid& grid = *sheet.Grid();
    const int row = grid.RowCount() - 1;
    int freq = -1;
    for (int col = 0; col < grid.ColCount() && freq < 0; ++col)
        if (sheet.CellAt(col, row).Label == CL_Mch_FreqR) freq = col;
    ASSERT_GE(freq, 0);
    const plat::Rect r = grid.GetCellRect(freq, row);
    plat::ClickAt(grid, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    plat::SendKey(Form(), plat::VK_F1);
    Wait();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].file, contents);
    EXPECT_EQ(requests[1].command, plat::HELP_CONTEXTPOPUP);
    EXPECT_EQ(requests[1].data, 1001);
    // The page it opens is the topic's, installed beside the program.
    EXPECT_EQ(plat::HelpPage(requests[1]), apptest::ProgramDir() + "help/context-1001.html");
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Help, HelpThatCannotBeShownSaysSo)
{
    Start();
    requests.clear();
    plat::ScopedHelpHandler failing([](const plat::HelpRequest&) { return false; });
    dialogs.Answer(plat::IDOK);
    Choose(MenuItem(CL_Help_Contents));
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_NE(BoxTexts()[0].find("The help cannot be shown."), std::string::npos);
    EXPECT_NE(BoxTexts()[0].find(apptest::ProgramDir() + "help/index.html"), std::string::npos);
    // The opener the help needs, and its package.
    EXPECT_NE(BoxTexts()[0].find("xdg-open (package xdg-utils)"), std::string::npos);
}

} // namespace
