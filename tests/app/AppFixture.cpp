#include "tests/app/AppFixture.h"
#include "tests/app/FullImage.h"

#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/cmcCellCapsule.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/TableAccess.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMain.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheet.h"
#include "ui/cuiToolBar.h"
#include "ui/cuiTree.h"

#include <cstdlib>
#include <filesystem>

namespace apptest {

std::string ProgramDir() { return QM_PROGRAM_DIR; }

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name)
{
    if (const char* old = std::getenv(name)) m_old = old;
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (m_old) setenv(m_name.c_str(), m_old->c_str(), 1);
    else unsetenv(m_name.c_str());
}

namespace {
char g_programName[] = "app_tests";
} // namespace

TestApplication::TestApplication() : m_argv{g_programName, nullptr}, m_app(m_argc, m_argv) {}

namespace {
std::string Made(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    return folder;
}
} // namespace

IsolatedUser::IsolatedUser()
    : m_config("XDG_CONFIG_HOME", Made(m_dir.File("config"))), m_runtime("XDG_RUNTIME_DIR", Made(m_dir.File("run"))),
      m_home("HOME", Made(m_dir.File("home")))
{
    Made(m_dir.File("home/Documents"));
}

std::string MakeProgramFolder(const IsolatedUser& user, const std::vector<std::string>& languageFront,
                              const std::vector<std::string>& languages)
{
    const std::string folder = user.File("program") + "/";
    std::filesystem::create_directories(folder);
    for (const char* name : {"QM7148H.OVL", "QM7148HH.OVL", "InitialLMR.icf", "InitialPMR.icf"}) {
        std::filesystem::copy_file(ProgramDir() + name, folder + name, std::filesystem::copy_options::overwrite_existing);
    }
    std::string front;
    for (const std::string& line : languageFront) front += line + "\n";
    qmtest::WriteFile(folder + "QM7148HE.OVL", front + qmtest::ReadFile(ProgramDir() + "QM7148HE.OVL"));
    if (!languages.empty()) {
        std::string system = "#GI_Sys_Language\n";
        for (const std::string& line : languages) system += line + "\n";
        qmtest::WriteFile(folder + "QM7148H.OVL", system + "#\n#End_Of_Ovl\n");
    }
    return folder;
}

ProgramFixture::ProgramFixture() = default;

ProgramFixture::~ProgramFixture()
{
    form.reset();
    globals.reset();
}

void ProgramFixture::Start(bool window, const std::string& programFolder)
{
    globals = std::make_unique<ProgramGlobals>(programFolder);
    if (!window) return;
    form = std::make_unique<TForm1>();
    Wait();
}

void ProgramFixture::StartModel(int modelType, bool full, bool maker)
{
    form.reset();
    globals.reset();
    Start(false);
    Environ().ModelType = modelType;
    form = std::make_unique<TForm1>();
    Form().SetClientSize(1200, 700);
    Wait();
    if (maker) {
        Main().SetMakerMode(1);
        Main().BuildTree();
    }
    if (full) {
        FillFullImage(modelType);
        g_EvMan->Send(ev::DataReplaced, 0, 0);
    }
    Main().ScheduleCheck();
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
}

bool ProgramFixture::CloseForm()
{
    form->Close();
    plat::ProcessMessages();
    return !form->Visible();
}

plat::MenuItem* ProgramFixture::MenuItem(int label, int index)
{
    cuiMenu* menu = Main().Menu();
    std::vector<plat::MenuItem*> stack{menu->Root()};
    while (!stack.empty()) {
        plat::MenuItem* item = stack.back();
        stack.pop_back();
        if (const cmcCellObj* cell = cuiMenu::CellOf(item); cell && cell->Label == label && cell->Index == index)
            return item;
        for (int i = item->Count() - 1; i >= 0; --i) stack.push_back(item->Items(i));
    }
    return nullptr;
}

plat::ToolButton* ProgramFixture::ToolButton(int label, int index)
{
    plat::ToolBar* bar = Main().ToolBar()->Bar();
    for (int i = 0; i < bar->ButtonCount(); ++i) {
        plat::ToolButton* button = bar->Buttons(i);
        if (const cmcCellObj* cell = cuiToolBar::CellOf(button); cell && cell->Label == label && cell->Index == index)
            return button;
    }
    return nullptr;
}

void ProgramFixture::Choose(plat::MenuItem* item)
{
    ASSERT_NE(item, nullptr);
    item->Click();
    plat::ProcessMessages();
    Wait();
}

void ProgramFixture::Wait(uint32_t ms)
{
    time.Advance(ms);
    plat::ProcessMessages();
}

std::vector<std::string> ProgramFixture::TreeCaptions()
{
    std::vector<std::string> captions;
    if (Main().Tree() == nullptr) return captions;
    plat::TreeView* view = Main().Tree()->View();
    for (int i = 0; i < view->Count(); ++i)
        captions.push_back(std::string(size_t(2 * view->Item(i)->Level()), ' ') + view->Item(i)->Text());
    return captions;
}

std::vector<std::string> ProgramFixture::ProgramTreeCaptions(int modelType)
{
    std::vector<std::string> captions = {modelType == indMain::ModelTypePmr ? "Radio (PMR)" : "Radio (LMR)",
                                         "  Memory Channels", "    Banks"};
    for (int bank = 0; bank < WorkTables::Banks; ++bank)
        captions.push_back("    " + FormatBankName(Main().CurrentImage(), bank));
    cmcCellObj basic;
    cmcCellObj::ParseCell(&basic, g_GTex.GetText("GI_Tree_Main_BasicCell", 0), nullptr, nullptr, false);
    // The pages the tree's body lists after the memory channels, each by its
    // depth, without those the model type or the maker mode leaves out (with
    // the nodes below them). Flag 0 marks the maker's pages, flag 1 the
    // LMR's, flag 2 the PMR's.
    constexpr int makerOnly = 0, lmrOnly = 1, pmrOnly = 2;
    const int hidden = modelType == indMain::ModelTypeLmr ? pmrOnly : lmrOnly;
    int skipBelow = -1;
    for (int n = 2;; ++n) {
        const std::string line = g_GTex.GetText("GI_Tree_Main_Body", n);
        if (!line.empty() && line[0] == '#') break;
        const size_t depth = line.find('+');
        if (depth == std::string::npos) continue;
        if (skipBelow >= 0 && int(depth) > skipBelow) continue;
        skipBelow = -1;
        cmcCellObj cell;
        CellCounters counters{};
        cmcCellObj::ParseCell(&cell, line.substr(depth + 1), &counters, &basic, false);
        if (cell.GetFlag(hidden) || (Main().MakerMode() == 0 && cell.GetFlag(makerOnly))) {
            skipBelow = int(depth);
            continue;
        }
        captions.push_back(std::string(2 * depth, ' ') + cell.GetText());
    }
    return captions;
}

std::vector<std::string> ProgramFixture::BankNodeSheets()
{
    std::vector<std::string> specs;
    if (Main().Tree() == nullptr) return specs;
    plat::TreeView* view = Main().Tree()->View();
    for (int i = 0; i < view->Count(); ++i) {
        const cmcCellObj* cell = cuiTree::CellOf(view->Item(i));
        if (cell != nullptr && cell->Argument && cell->Argument->rfind("[St_ChBank]", 0) == 0)
            specs.push_back(*cell->Argument);
    }
    return specs;
}

std::vector<std::string> ProgramFixture::ProgramBankSheets(int modelType)
{
    const std::string sheet = modelType == indMain::ModelTypePmr ? "GI_Sheet_Mch_Pmr" : "GI_Sheet_Mch_Lmr";
    std::vector<std::string> specs;
    for (int bank = 0; bank < WorkTables::Banks; ++bank)
        specs.push_back("[St_ChBank]" + sheet + ",Bank " + std::to_string(bank));
    return specs;
}

std::vector<std::string> ProgramFixture::BoxTexts() const
{
    std::vector<std::string> texts;
    for (const plat::MessageBoxRecord& box : dialogs.Boxes()) texts.push_back(box.text);
    return texts;
}

cuiSheet& ProgramFixture::Sheet() { return *Main().CurrentSheet(); }

cuiGrid& ProgramFixture::Grid() { return *Sheet().Grid(); }

plat::TreeNode* ProgramFixture::PageNode(const std::string& spec)
{
    plat::TreeView* view = Main().Tree()->View();
    for (int i = 0; i < view->Count(); ++i) {
        const cmcCellObj* cell = cuiTree::CellOf(view->Item(i));
        if (cell && cell->Argument && *cell->Argument == spec) return view->Item(i);
    }
    return nullptr;
}

plat::TreeNode* ProgramFixture::CaptionNode(const std::string& caption)
{
    plat::TreeView* view = Main().Tree()->View();
    for (int i = 0; i < view->Count(); ++i)
        if (view->Item(i)->Text() == caption) return view->Item(i);
    return nullptr;
}

std::vector<std::string> ProgramFixture::TreePages(int banks)
{
    std::vector<std::string> specs;
    plat::TreeView* view = Main().Tree()->View();
    int bank = 0;
    for (int i = 0; i < view->Count(); ++i) {
        const cmcCellObj* cell = cuiTree::CellOf(view->Item(i));
        if (cell == nullptr || !cell->Argument || cell->Argument->empty()) continue;
        const bool bankNode = cell->Argument->rfind("[St_ChBank]", 0) == 0;
        if (bankNode && bank++ >= banks && bank != WorkTables::Banks) continue;
        specs.push_back(*cell->Argument);
    }
    return specs;
}

void ProgramFixture::OpenNode(plat::TreeNode* node)
{
    Main().Tree()->View()->SetSelected(node);
    Wait(400);
}

void ProgramFixture::OpenPage(const std::string& spec)
{
    if (plat::TreeNode* node = PageNode(spec)) OpenNode(node);
    else ADD_FAILURE() << "no tree node opens " << spec;
}

void ProgramFixture::OpenCaption(const std::string& caption)
{
    if (plat::TreeNode* node = CaptionNode(caption)) OpenNode(node);
    else ADD_FAILURE() << "no page " << caption;
}

bool ProgramFixture::FindCell(int label, int& col, int& row)
{
    for (row = 0; row < Grid().RowCount(); ++row)
        for (col = 0; col < Grid().ColCount(); ++col)
            if (Sheet().CellAt(col, row).Label == label) return true;
    return false;
}

bool ProgramFixture::FindCell(int label, int index, int& col, int& row)
{
    for (row = 0; row < Grid().RowCount(); ++row)
        for (col = 0; col < Grid().ColCount(); ++col)
            if (Sheet().CellAt(col, row).Label == label && Sheet().CellAt(col, row).Index == index) return true;
    return false;
}

ProgramFixture::Shown ProgramFixture::ShowCell(int col, int row)
{
    cmcCellCapsule capsule;
    Sheet().FillCapsule(col, row, capsule);
    indActiveCell().Exec(&capsule, 0);
    return {capsule.Text, capsule.ErrorMark, capsule.WarningMark};
}

std::string ProgramFixture::LabelText(int label, int index)
{
    int col = 0, row = 0;
    if (!FindCell(label, index, col, row)) return "(no cell)";
    return CellText(col, row);
}

void ProgramFixture::ClickCell(int col, int row)
{
    cuiGrid& grid = Grid();
    if (col >= grid.FixedCols() && (col < grid.LeftCol() || col > grid.LastVisibleCol())) grid.SetLeftCol(col);
    if (row >= grid.FixedRows() && (row < grid.TopRow() || row > grid.LastVisibleRow())) grid.SetTopRow(row);
    const plat::Rect r = grid.GetCellRect(col, row);
    plat::ClickAt(grid, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void ProgramFixture::TypeInto(int col, int row, const std::string& text)
{
    ClickCell(col, row);
    plat::TypeText(Form(), text);
    plat::SendKey(Form(), plat::VK_RETURN);
    Wait();
}

} // namespace apptest
