#include "tests/app/AppFixture.h"

#include "cells/ValueHandlers.h"
#include "core/cmcCellObj.h"
#include "model/TableAccess.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menus.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiMenu.h"
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
    if (modelType != indMain::ModelTypePmr) {
        // Trunking is LMR only.
        captions.push_back("  Trunking");
        captions.push_back("    LTR Operation");
        captions.push_back("    ZEPH Individual IDs");
        captions.push_back("    ZEPH Talk Groups");
        captions.push_back("    ZEPH Operation");
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

} // namespace apptest
