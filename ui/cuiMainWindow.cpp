// The main window: its parts built on the main form (menu, tool bar, tree
// panel, splitter, sheet area and status bar), the tree, the form's and the
// application's handlers, and the small operations on the window parts.
#include "ui/cuiMain.h"

#include "cells/ValueHandlers.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "core/cmcTask.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/Unpacking.h"
#include "model/indEnviron.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Splitter.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiMenu.h"
#include "ui/cuiPrinter.h"
#include "ui/cuiSheet.h"
#include "ui/cuiToolBar.h"
#include "model/iuiTree.h"
#include "ui/cuiTree.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int PanelBevelWidth = 2;
constexpr int SplitterWidth = 3;

} // namespace

void cuiMain::BuildMainWindow(plat::Form& form, plat::ImageList& treeImages, plat::ImageList& toolBarImages)
{
    // The memory map needs the whole image: the image is checked before it
    // is first used.
    if (m_imageSize < EepromMap::ImageSize) plat::Fatal("Self Check Error.\nEEPROM Map is too large.");

    int modelType = g_Environ != nullptr ? g_Environ->ModelType : 0;
    if (modelType < 0 || modelType > 1) modelType = 0;
    if (g_Environ != nullptr) g_Environ->ModelType = modelType;
    LoadInitialImage(modelType);
    UnpackDefaults(m_initial);
    m_current.Assign(m_initial);
    Pack(m_current);
    MarkSaved();
    CloseSheet();
    m_debugReference.Assign(m_initial);

    m_mainForm = &form;
    m_treeImages = &treeImages;
    m_toolBarImages = &toolBarImages;
    form.OnDestroy = [this] { ReleaseWindowParts(); };

    m_mainMenu = new plat::MainMenu(form);
    m_menu = std::make_unique<cuiMenu>(&form, &m_mainMenu->Items(), &g_GTex, "GI_Menu_Main");
    m_menu->Build();
    m_toolBar = std::make_unique<cuiToolBar>(&form, &g_GTex, "GI_ToolBar_Main", &toolBarImages);
    m_toolBar->Build();
    m_toolBar->Bar()->SetVisible(ToolBarVisible());

    if (g_EvMan != nullptr) g_EvMan->Send(ev::MainWindowBuilt, 0, 0);

    // The tree panel on the left, the splitter right of it and the sheet
    // area filling the rest.
    m_leftPanel = new plat::Panel(form);
    m_leftPanel->SetBevelWidth(PanelBevelWidth);
    m_leftPanel->SetAlign(plat::alLeft);
    m_splitter = new plat::Splitter(form);
    m_splitter->SetAlign(plat::alLeft);
    m_splitter->SetWidth(SplitterWidth);
    m_splitter->SetMinSize(MinPanelWidth);
    m_rightPanel = new plat::Panel(form);
    m_rightPanel->SetBevelWidth(PanelBevelWidth);
    m_rightPanel->SetAlign(plat::alClient);

    BuildTree();
    const int splitter = g_Environ != nullptr ? g_Environ->SplitterV : 0;
    m_leftPanel->SetWidth(splitter < m_splitter->MinSize() ? MinPanelWidth : splitter);
    m_treeWidthSet = splitter != indEnviron::DefaultSplitterV;
    if (!m_treeWidthSet) FitTreePanel(form);
    m_splitter->OnMoved = [this] { m_treeWidthSet = true; };

    BuildStatusBar(form);
    InstallFormHandlers(form);

    m_printer = std::make_unique<cuiPrinter>(*this, &form);
    m_tick->Schedule(TickMs);
    form.Show();
}

void cuiMain::FitTreePanel(const plat::Form& form)
{
    // The default width grows to show every caption of the tree whole, up
    // to a share of the window that leaves the pages most of it.
    if (m_tree == nullptr || m_tree->View() == nullptr) return;
    // The panel's bevels and border inset the tree.
    const int frame = m_leftPanel->Width() - m_leftPanel->AlignRect().Width();
    const int widest = form.ClientWidth() * MostTreeShare / 100;
    const int wanted = m_tree->View()->FullWidth() + frame;
    m_leftPanel->SetWidth(std::max<int>(indEnviron::DefaultSplitterV, std::min(wanted, widest)));
}

void cuiMain::BuildStatusBar(plat::Form& form)
{
    m_statusBar = new plat::StatusBar(form);
    m_statusBar->SetVisible(true);
    plat::StatusPanel square;
    square.bevel = plat::pbNone;
    square.width = m_statusBar->Height();
    m_statusBar->AddPanel(square);
    m_statusBar->OnResize = [this] { OnStatusBarResize(); };
    m_statusBar->OnDrawPanel = [this](int index, const plat::Rect& rect, plat::Canvas& canvas) {
        if (m_statusBar != nullptr) OnDrawStatusPanel(*m_statusBar, index, rect, canvas);
    };
    m_statusPanel = 0;
    InsertStatusPanel(*m_statusBar, m_statusPanel);
    plat::StatusPanel text;
    text.bevel = plat::pbNone;
    text.style = plat::psOwnerDraw;
    text.width = 0;
    m_statusBar->SetPanel(m_statusPanel, text);
    SetStatusColors(plat::clWindowText, plat::clBtnFace);
    OnStatusBarResize();
}

void cuiMain::InstallFormHandlers(plat::Form& form)
{
    form.SetKeyPreview(true);
    form.OnKeyPress = [this](char32_t& ch) { OnFormKeyPress(ch); };
    form.OnShow = [this] { OnFormShow(); };
    form.OnCloseQuery = [this](bool& canClose) { OnFormCloseQuery(canClose); };
    form.OnClose = [this] { OnFormClose(); };
    form.OnResize = [this, &form] {
        if (!m_treeWidthSet) FitTreePanel(form);
    };
    if (plat::Application* app = plat::Application::Instance()) {
        app->OnActivate = [this] { OnAppActivate(); };
        app->OnDeactivate = [this] { OnAppDeactivate(); };
    }
}

void cuiMain::SetStatusColors(plat::Color text, plat::Color back)
{
    m_statusTextColor = text;
    m_statusBackColor = back;
    if (m_statusBar != nullptr) m_statusBar->Invalidate();
}

void cuiMain::BuildTree()
{
    if (m_leftPanel == nullptr) return;
    if (m_tree != nullptr) delete m_tree;
    // The model's tree: the navigation tree with the bank branch.
    auto* tree = new iuiTree(m_leftPanel, &g_GTex, "GI_Tree_Main", m_treeImages);
    tree->OnDestroyed = [this](cuiTree* gone) { ForgetTree(gone); };
    m_tree = tree;
    plat::TreeView* view = tree->View();
    view->SetAlign(plat::alClient);
    tree->Build();
    view->Hide();
    SetTreeHandlers();
    UpdateCheckList(nullptr, nullptr);
    CloseSheet();
    view->Show();
    if (g_EvMan != nullptr) g_EvMan->Send(ev::DataReplaced, 0, 0);
    if (m_tree != nullptr) m_tree->View()->SetSelected(m_tree->View()->Item(0));
}

void cuiMain::SetTreeHandlers()
{
    plat::TreeView* view = m_tree->View();
    view->OnExpanded = [this](plat::TreeNode*) { OnTreeExpandCollapse(); };
    view->OnCollapsed = [this](plat::TreeNode*) { OnTreeExpandCollapse(); };
    view->SetChangeDelay(std::max(0, std::atoi(g_GTex.GetText("GI_Sys_TreeChangeDelay", 0).c_str())));
    view->OnChange = [this](plat::TreeNode*) { OnTreeChange(); };
}

void cuiMain::ForgetTree(cuiTree* tree)
{
    if (m_tree == tree) m_tree = nullptr;
}

bool cuiMain::ToolBarVisible() const { return g_Environ == nullptr || g_Environ->ToolbarVisible != 0; }

void cuiMain::ToggleToolBar()
{
    if (g_Environ != nullptr) g_Environ->ToolbarVisible = g_Environ->ToolbarVisible != 0 ? 0 : 1;
    if (m_toolBar) m_toolBar->Bar()->SetVisible(ToolBarVisible());
}

int cuiMain::InsertStatusPanel(plat::StatusBar& bar, int index)
{
    bar.AddPanel();
    const int count = bar.PanelCount();
    for (int i = count - 1; i > index; --i) bar.SetPanel(i, bar.Panel(i - 1));
    return count - 1 - index;
}

void cuiMain::DeleteFlaggedTreeNodes(plat::TreeView& view, int n)
{
    for (bool found = true; found;) {
        found = false;
        for (int i = 0; i < view.Count(); ++i) {
            plat::TreeNode* node = view.Item(i);
            const cmcCellObj* cell = cuiTree::CellOf(node);
            if (cell != nullptr && cell->GetFlag(n)) {
                node->Delete();
                found = true;
                break;
            }
        }
    }
}

void cuiMain::OnFormShow() { UpdateTitle(); }

void cuiMain::OnFormCloseQuery(bool& canClose)
{
    // A disabled window is running a clone operation.
    if (m_mainForm != nullptr && !m_mainForm->Enabled()) {
        canClose = false;
        return;
    }
    if (AskSaveChanges(false) == AnswerCancel) {
        canClose = false;
        return;
    }
    if (g_Environ != nullptr && m_mainForm != nullptr) {
        const plat::Rect bounds = m_mainForm->NormalBounds();
        g_Environ->Left = bounds.left;
        g_Environ->Top = bounds.top;
        g_Environ->Width = bounds.Width();
        g_Environ->Height = bounds.Height();
        // A width the user never set is no setting: the next start fits
        // the panel to its window again.
        if (m_leftPanel != nullptr)
            g_Environ->SplitterV = m_treeWidthSet ? m_leftPanel->Width() : indEnviron::DefaultSplitterV;
    }
}

void cuiMain::OnFormClose()
{
    m_tick->Schedule(-1);
    CloseSheet();
    if (m_tree != nullptr) delete m_tree;
    // The menu and the tool bar stay until the form is freed (its OnDestroy
    // frees them); nothing shows the title any more.
    m_mainForm = nullptr;
}
