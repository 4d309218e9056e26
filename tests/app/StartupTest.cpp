// Start-up of the cloning program with its real data files: the globals,
// the main window and its parts, the refusal of a second instance, the
// language list, the window's place and size.
#include "tests/app/AppFixture.h"

#include "core/CellNames.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "platform/base/SingleInstance.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Splitter.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/MessageBox.h"
#include "ui/Segchar.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheet.h"
#include "ui/cuiToolBar.h"
#include "ui/cuiTree.h"

#include <QImage>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using apptest::ProgramFixture;

class Startup : public ProgramFixture {};

TEST_F(Startup, MainWindowHasItsPartsInEnglishWithAnUntitledDocument)
{
    Start();
    const std::string title = "Untitled - " + g_GTex.GetText("GI_Sys_AppTitle", 0);
    EXPECT_EQ(Form().Caption(), title);
    EXPECT_EQ(plat::ApplicationTitle(), title);
    EXPECT_TRUE(Form().Visible());
    EXPECT_TRUE(Main().TickRunning());
    // The segment glyph shapes of the language table: a seven-segment digit
    // and its decimal point.
    ASSERT_NE(Main().SegmentGlyphs(), nullptr);
    EXPECT_EQ(Main().SegmentGlyphs()->SegmentCount(), 8);
    EXPECT_EQ(Main().SegmentGlyphs()->MaxX(), 74);
    EXPECT_EQ(Main().SegmentGlyphs()->MaxY(), 100);

    // Menu bar: the overlay's top items, the Edit menu filled with its
    // filler while no sheet offers a pop-up menu.
    std::vector<std::string> top;
    plat::MenuItem* root = Main().Menu()->Root();
    for (int i = 0; i < root->Count(); ++i) top.push_back(root->Items(i)->Caption());
    EXPECT_EQ(top, (std::vector<std::string>{"&File", "&Edit", "&View", "&Port", "&Clone", "&Model", "&Help"}));
    plat::MenuItem* edit = MenuItem(CL_Menu_Edit_Top);
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(edit->Count(), 1);
    EXPECT_EQ(cuiMenu::CellOf(edit->Items(0))->Label, CL_PMenu_NoItem);
    // Being the menu's one item, it shows, greyed, so the menu never opens empty.
    EXPECT_TRUE(edit->Items(0)->Visible());
    EXPECT_FALSE(edit->Items(0)->Enabled());

    // Tool bar with its buttons, tree with its root node, the sheet of the
    // selected node open in the sheet area.
    plat::ToolBar* bar = Main().ToolBar()->Bar();
    EXPECT_TRUE(bar->Visible());
    EXPECT_GT(bar->ButtonCount(), 0);
    // The tree: the radio, its memory channels with the bank operations and
    // every bank of the model type, named as the document names them.
    EXPECT_EQ(TreeCaptions(), ProgramTreeCaptions(indMain::ModelTypeLmr));
    EXPECT_EQ(BankNodeSheets(), ProgramBankSheets(indMain::ModelTypeLmr));
    EXPECT_EQ(Main().Tree()->View()->Selected(), Main().Tree()->View()->Item(0));
    EXPECT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Top");
    ASSERT_NE(Main().CurrentSheet(), nullptr);
    const plat::Container* parent = Main().CurrentSheet()->Grid()->Parent();
    while (parent != nullptr && parent != Main().RightPanel()) parent = parent->Parent();
    EXPECT_EQ(parent, Main().RightPanel()) << "the sheet lies in the sheet area";

    // Status bar: the owner-drawn text panel takes what the square panel at
    // its right leaves.
    plat::StatusBar* status = Main().StatusBar();
    ASSERT_EQ(status->PanelCount(), 2);
    EXPECT_EQ(status->Panel(0).style, plat::psOwnerDraw);
    EXPECT_EQ(status->Panel(1).width, status->Height());
    EXPECT_EQ(status->Panel(0).width, std::max(indMain::MinStatusTextWidth, status->Width() - status->Height()));

    // The document: the initial image of the model type, packed, saved.
    EXPECT_FALSE(Main().IsModified());
    EXPECT_TRUE(Main().IsUntitled());
    EXPECT_TRUE(Main().CurrentImage().Equals(Main().SavedCopy()));
    EXPECT_EQ(Main().CheckImageHeader(Main().CurrentImage(), true), 0);
    EXPECT_TRUE(dialogs.Boxes().empty());

    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "app-startup.png").string()));
}

TEST_F(Startup, SecondInstanceIsRefusedBeforeAnyWindow)
{
    plat::SingleInstance first(indEnviron::MutexName);
    ASSERT_EQ(first.GetState(), plat::SingleInstance::State::Held);
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(RunCloningProgram(application.Get(), {"QM7148H"}, apptest::ProgramDir()), 0);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, indEnviron::RefusalText);
    EXPECT_EQ(dialogs.Boxes()[0].caption, plat::ProgramFileName());
    EXPECT_TRUE(dialogs.ModalForms().empty());
    // The refused instance saves no settings.
    EXPECT_FALSE(std::filesystem::exists(user.File("config/Vosk/KT-W8840PX.ini")));
}

TEST_F(Startup, ToolBarSettingAndNarrowSplitter)
{
    // A previous run left the tool bar hidden and a splitter of 3 pixels.
    Start(false);
    Environ().ToolbarVisible = 0;
    Environ().SplitterV = 3;
    form = std::make_unique<TForm1>();
    EXPECT_FALSE(Main().ToolBar()->Bar()->Visible());
    EXPECT_GT(Main().ToolBar()->Bar()->ButtonCount(), 0) << "built all the same";
    EXPECT_EQ(Main().LeftPanel()->Width(), cuiMain::MinPanelWidth);
    EXPECT_EQ(Main().Splitter()->MinSize(), cuiMain::MinPanelWidth);
}

// Whether every caption of the tree shows whole in its panel, each node
// expanded: every row draws, page by page, as it does in a panel far wider
// than any caption needs (a cut caption ends in an ellipsis there).
::testing::AssertionResult EveryCaptionShowsWhole(plat::Panel& panel, QTreeWidget& tree)
{
    tree.expandAll();
    plat::ProcessMessages();
    QScrollBar* bar = tree.verticalScrollBar();
    auto pages = [&] {
        std::vector<QImage> shots;
        for (int at = bar->minimum();; at += bar->pageStep()) {
            bar->setValue(at);
            shots.push_back(tree.viewport()->grab().toImage());
            if (at >= bar->maximum()) break;
        }
        return shots;
    };
    const int width = panel.Width();
    const std::vector<QImage> shown = pages();
    panel.SetWidth(width + 1000);
    const std::vector<QImage> wide = pages();
    panel.SetWidth(width);
    if (shown.size() != wide.size()) return ::testing::AssertionFailure() << "the pages of the tree differ";
    for (size_t page = 0; page < shown.size(); ++page) {
        const QImage& a = shown[page];
        const QImage& b = wide[page];
        // The focus frame of the current node stops at the panel's edge.
        const int right = a.width() - 2;
        for (int y = 0; y < std::min(a.height(), b.height()); ++y)
            for (int x = 0; x < right; ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    bar->setValue(bar->minimum() + static_cast<int>(page) * bar->pageStep());
                    const QTreeWidgetItem* item = tree.itemAt(x, y);
                    return ::testing::AssertionFailure()
                           << "cut at x " << x << ": \"" << (item != nullptr ? item->text(0).toStdString() : "?") << "\"";
                }
    }
    return ::testing::AssertionSuccess();
}

QTreeWidget& TreeWidgetOf(cuiMain& main) { return *qobject_cast<QTreeWidget*>(main.Tree()->View()->Widget()); }

// At its default width the tree panel widens to show every caption whole,
// on either model; a width the user chose stays.
TEST_F(Startup, TheDefaultTreePanelShowsEveryCaptionWhole)
{
    const struct {
        int stored;
        int model;
    } cases[] = {{indEnviron::DefaultSplitterV, 0}, {indEnviron::DefaultSplitterV, 1}, {250, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("stored " + std::to_string(c.stored) + ", model " + std::to_string(c.model));
        Start(false);
        Environ().SplitterV = c.stored;
        Environ().ModelType = c.model;
        // The window's default size.
        Environ().Width = 800;
        Environ().Height = 600;
        form = std::make_unique<TForm1>();
        Wait();
        plat::Panel& panel = *Main().LeftPanel();
        if (c.stored == indEnviron::DefaultSplitterV) {
            EXPECT_GT(panel.Width(), c.stored) << "the captions need more than the default";
            EXPECT_TRUE(EveryCaptionShowsWhole(panel, TreeWidgetOf(Main())));
            EXPECT_LE(panel.Width(), Form().ClientWidth() * cuiMain::MostTreeShare / 100) << "the pages keep most of the window";
        } else {
            EXPECT_EQ(panel.Width(), c.stored);
        }
        form.reset();
        globals.reset();
    }
}

// The default width follows the window (narrowed, widened) until the user
// drags the splitter; from then on the user's width stays, and it is the
// one kept for the next start. An unset width is kept as unset.
TEST_F(Startup, TheDefaultTreeWidthFollowsTheWindowUntilTheUserSetsOne)
{
    for (const bool drag : {false, true}) {
        SCOPED_TRACE(drag ? "dragged" : "never dragged");
        Start(false);
        Environ().SplitterV = indEnviron::DefaultSplitterV;
        Environ().Width = 400;
        Environ().Height = 600;
        form = std::make_unique<TForm1>();
        Wait();
        plat::Panel& panel = *Main().LeftPanel();
        EXPECT_EQ(panel.Width(), indEnviron::DefaultSplitterV) << "no narrower than the default";
        EXPECT_FALSE(EveryCaptionShowsWhole(panel, TreeWidgetOf(Main()))) << "a window too narrow for the captions";

        if (drag) {
            plat::Splitter& splitter = *Main().Splitter();
            plat::SendMouse(splitter, plat::MouseAction::Down, 1, 50);
            plat::SendMouse(splitter, plat::MouseAction::Move, 11, 50);
            plat::SendMouse(splitter, plat::MouseAction::Up, 11, 50);
            ASSERT_EQ(panel.Width(), indEnviron::DefaultSplitterV + 10);
        }
        Form().SetClientWidth(1000);
        Wait();
        if (drag) {
            EXPECT_EQ(panel.Width(), indEnviron::DefaultSplitterV + 10);
        } else {
            EXPECT_GT(panel.Width(), indEnviron::DefaultSplitterV);
            EXPECT_TRUE(EveryCaptionShowsWhole(panel, TreeWidgetOf(Main())));
            Form().SetClientWidth(400);
            Wait();
            EXPECT_EQ(panel.Width(), indEnviron::DefaultSplitterV);
        }
        Form().Close();
        Wait();
        EXPECT_EQ(Environ().SplitterV, drag ? indEnviron::DefaultSplitterV + 10 : indEnviron::DefaultSplitterV);
        form.reset();
        globals.reset();
    }
}

TEST_F(Startup, WindowStaysReachableInTheWorkArea)
{
    const plat::Rect work{0, 0, 1920, 1040};
    struct Case {
        plat::Rect stored;
        plat::Rect placed;
    };
    const Case cases[] = {
        {{5000, 100, 5800, 700}, {1904, 100, 2704, 700}},   // left edge past the right edge
        {{100, 2000, 900, 2600}, {100, 1024, 900, 1624}},   // top past the bottom
        {{-790, 100, 10, 700}, {-784, 100, 16, 700}},       // right edge left of the area
        {{100, -50, 900, 550}, {100, 0, 900, 600}},         // caption above the area
        {{100, 100, 900, 700}, {100, 100, 900, 700}},       // inside: unchanged
    };
    for (const Case& c : cases) EXPECT_EQ(KeepMainWindowReachable(c.stored, work), c.placed) << c.stored.left;

    // The form applies it to the stored bounds.
    plat::ScopedWorkArea area({0, 0, 1920, 1040});
    Start(false);
    Environ().Left = 5000;
    Environ().Top = -50;
    Environ().Width = 700;
    Environ().Height = 500;
    form = std::make_unique<TForm1>();
    EXPECT_EQ(Form().Left(), 1904);
    EXPECT_EQ(Form().Top(), 0);
}

TEST_F(Startup, WindowIsNeverSmallerThan400By200)
{
    Start();
    Form().SetBounds(Form().Left(), Form().Top(), 100, 50);
    plat::ProcessMessages();
    EXPECT_GE(Form().Width(), TForm1::MinTrackWidth);
    EXPECT_GE(Form().Height(), TForm1::MinTrackHeight);
}

TEST_F(Startup, ImageListsHoldThePicturesInTheirIndexOrder)
{
    Start();
    EXPECT_EQ(Form().TreeImages().Count(), 14);
    EXPECT_EQ(Form().ToolBarImages().Count(), 19);
    EXPECT_EQ(Form().TreeImages().Width(), 16);
    // The tree's marks: overlay 0 the error mark (13), overlay 1 the warning.
    EXPECT_EQ(Form().TreeImages().OverlayImage(cuiTree::ErrorOverlay), 13);
    EXPECT_EQ(Form().TreeImages().OverlayImage(cuiTree::WarningOverlay), 12);
    EXPECT_EQ(std::string(TForm1::TreeImageNames[13]), "imgIcon_Tree_WarnE_RB");
    EXPECT_EQ(std::string(TForm1::ToolBarImageNames[7]), "imgIcon_Bar_Clone_Read");
}

// A program folder of its own whose system overlay holds the given language
// list; the other data files are the real ones.
class LanguageList : public ProgramFixture {
protected:
    std::string MakeFolder(const std::vector<std::string>& languages)
    {
        const std::string folder = user.File("program") + "/";
        std::filesystem::create_directories(folder);
        for (const char* name : {"QM7148HE.OVL", "QM7148HH.OVL", "InitialLMR.icf", "InitialPMR.icf"})
            std::filesystem::copy_file(apptest::ProgramDir() + name, folder + name);
        std::string system = "#GI_Sys_Language\n";
        for (const std::string& line : languages) system += line + "\n";
        system += "#\n#End_Of_Ovl\n";
        qmtest::WriteFile(folder + "QM7148H.OVL", system);
        return folder;
    }
};

TEST_F(LanguageList, StoredLanguageOutsideTheListIsTheFirst)
{
    std::vector<std::string> many;
    for (int i = 0; i < 300; ++i) many.push_back("Language " + std::to_string(i) + "\tQM7148HE.OVL");
    const std::string folder = MakeFolder(many);
    struct Case {
        int stored;
        int used;
    };
    // 300 entries offer 255 languages.
    for (const Case c : {Case{254, 254}, Case{255, 0}, Case{299, 0}, Case{-1, 0}, Case{3, 3}}) {
        indEnvironHolder environ(1024, 768);
        environ.Get().Language = c.stored;
        cmcEvManHolder events;
        indMainHolder main(folder);
        EXPECT_EQ(environ.Get().Language, c.used) << c.stored;
        EXPECT_EQ(g_GTex.GetText("GI_Sys_AppTitle", 0), "QM7148H Radio Programming");
    }
}

TEST_F(LanguageList, EmptyListEndsTheProgramWithAClearMessage)
{
    const std::string folder = MakeFolder({});
    indEnvironHolder environ(1024, 768);
    cmcEvManHolder events;
    EXPECT_EQ(qmtest::FatalMessage([&] { indMainHolder main(folder); }), "Cannot open '" + folder + "'.");
}

TEST(SelfCheck, ImageTooSmallForTheMapEndsBeforeTheImageIsUsed)
{
    apptest::TestApplication application;
    qmtest::ManualTime time;
    cmcEvManHolder events;
    cuiMain small("QM7148H", 1000);
    plat::Form form;
    plat::ImageList images;
    EXPECT_EQ(qmtest::FatalMessage([&] { small.BuildMainWindow(form, images, images); }),
              "Self Check Error.\nEEPROM Map is too large.");
}

} // namespace

namespace {

TEST_F(LanguageList, MissingInitialFileEndsTheProgramAfterItsFileError)
{
    const std::string folder = apptest::MakeProgramFolder(user, {});
    std::filesystem::remove(folder + "InitialLMR.icf");
    Start(false, folder);
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(qmtest::FatalMessage([&] { form = std::make_unique<TForm1>(); }),
              "Cannot open '" + folder + "InitialLMR.icf'.");
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_NE(dialogs.Boxes()[0].text.find(g_GTex.GetText("GI_Mess_FileErr_FileOpen", 0)), std::string::npos);
}

} // namespace
