#pragma once
// The cloning program in a test: manual time, settings, lock and documents
// folders of its own in a temporary folder, scripted dialogs, the program's
// globals over the real data files and, once started, its main form.
#include "model/ProgramEntry.h"
#include "model/TForm1.h"
#include "platform/ui/Application.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {
class MenuItem;
class ToolButton;
class TreeNode;
} // namespace plat

class cuiGrid;
class cuiSheet;

namespace apptest {

// The folder of the built program and its data files (trailing '/').
std::string ProgramDir();

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// The application object the program's message boxes need (its own in each
// test).
class TestApplication {
public:
    TestApplication();
    plat::Application& Get() { return m_app; }

private:
    int m_argc = 1;
    char* m_argv[2];
    plat::Application m_app;
};

// Points the program's settings, instance lock and documents folder into a
// temporary folder.
class IsolatedUser {
public:
    IsolatedUser();
    const qmtest::TempDir& Dir() const { return m_dir; }
    std::string File(const std::string& name) const { return m_dir.File(name); }
    std::string Documents() const { return m_dir.File("home/Documents") + "/"; }

private:
    qmtest::TempDir m_dir;
    ScopedEnv m_config;
    ScopedEnv m_runtime;
    ScopedEnv m_home;
};

// A program folder of its own in the user's temporary folder: copies of
// the real data files, the language file with the given sections put in
// front (they take the place of the real file's sections of the same key),
// and the language list (name, tab, file) when one is given.
std::string MakeProgramFolder(const IsolatedUser& user, const std::vector<std::string>& languageFront,
                              const std::vector<std::string>& languages = {});

class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture();
    ~ProgramFixture() override;

    // Builds the globals from the program folder and, with window, the main
    // form; then lets the first ticks run.
    void Start(bool window = true, const std::string& programFolder = ProgramDir());
    // Starts the program afresh for the model type with a new document
    // (with maker, in maker mode, so that the tree offers the factory pages
    // too); with full, the document is filled first (FullImage.h); then lets
    // the check run.
    void StartModel(int modelType, bool full, bool maker);
    // Closes the main form as the close box would; true when it closed.
    bool CloseForm();

    indMain& Main() { return globals->Main(); }
    indEnviron& Environ() { return globals->Environ(); }
    TForm1& Form() { return *form; }

    // The main menu's item whose cell has the label (and index); null when
    // none has.
    plat::MenuItem* MenuItem(int label, int index = 0);
    // The tool bar's button whose cell has the label (and index).
    plat::ToolButton* ToolButton(int label, int index = 0);
    // Chooses the item as a person would, then lets the program run on.
    void Choose(plat::MenuItem* item);
    // Lets time pass (timers, the event pump).
    void Wait(uint32_t ms = 60);

    // The captions of the tree's nodes in node order, each indented by its
    // level.
    std::vector<std::string> TreeCaptions();
    // The captions the program's own tree shows for the model type: the
    // radio, its memory channels, the bank operations and the 128 banks,
    // each bank by its number and its name in the current document, then
    // the pages the tree's body lists after them.
    std::vector<std::string> ProgramTreeCaptions(int modelType);
    // The sheet specs of the tree's bank nodes in node order, and those the
    // program's tree has for the model type.
    std::vector<std::string> BankNodeSheets();
    static std::vector<std::string> ProgramBankSheets(int modelType);
    // The texts of the message boxes shown so far.
    std::vector<std::string> BoxTexts() const;

    // ---- pages, as a person reaches them ----
    // The open sheet and its grid.
    cuiSheet& Sheet();
    cuiGrid& Grid();
    // The tree node whose sheet spec is spec, or whose caption is caption;
    // null when none has.
    plat::TreeNode* PageNode(const std::string& spec);
    plat::TreeNode* CaptionNode(const std::string& caption);
    // The sheet specs of the tree's pages in node order. Of the bank nodes,
    // which all open the one channel sheet, only the first `banks` and the
    // last are taken.
    std::vector<std::string> TreePages(int banks = 128);
    // Picks the node in the tree and lets the page open.
    void OpenNode(plat::TreeNode* node);
    // Opens the page of the node with the spec (or caption); a failure of
    // the test when the tree has none.
    void OpenPage(const std::string& spec);
    void OpenCaption(const std::string& caption);
    // The column and row of the open sheet's first cell with the label
    // (and index).
    bool FindCell(int label, int& col, int& row);
    bool FindCell(int label, int index, int& col, int& row);
    // What the cell shows, evaluated through the engine as the grid draws it.
    struct Shown {
        std::string Text;
        bool ErrorMark = false;
        bool WarningMark = false;
    };
    Shown ShowCell(int col, int row);
    std::string CellText(int col, int row) { return ShowCell(col, row).Text; }
    // The text of the cell with the label and index; "(no cell)" when the
    // sheet has none.
    std::string LabelText(int label, int index);
    // Scrolls the cell into view and clicks it.
    void ClickCell(int col, int row);
    // Clicks the cell and types the text into it, then Enter.
    void TypeInto(int col, int row, const std::string& text);

    TestApplication application;
    qmtest::ManualTime time;
    IsolatedUser user;
    plat::ScopedDialogScript dialogs;
    std::unique_ptr<ProgramGlobals> globals;
    std::unique_ptr<TForm1> form;
};

} // namespace apptest
