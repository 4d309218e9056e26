#include "model/indMain.h"

#include "cells/CellQueries.h"
#include "cells/RadioHandlers.h"
#include "cells/ValueHandlers.h"
#include "core/CheckedFormat.h"
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/Normalise.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "model/indEnviron.h"
#include "model/indModelSheets.h"
#include "model/indPopupWindows.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TextMetrics.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiSheetHost.h"
#include "ui/cuiTree.h"

#include <algorithm>
#include <cstdlib>

indMain* g_Main = nullptr;

namespace {

// The working byte that tells the model type of the data (bit 6: PMR).
constexpr int ModelTypeByte = 176068;
constexpr int ModelTypeBit = 0x40;
// The working byte of the data's version.
constexpr int DataVersionByte = 181182;
// Data above this version are newer than the program's; data at or below
// OldDataVersion with table 110 have an outdated layout.
constexpr int NewestDataVersion = 3;
constexpr int OldDataVersion = 2;
constexpr int OldLayoutTable = 110;
// The maker flag of tree nodes, and the flags of the nodes of one model type
// only (deleted for the other type).
constexpr int MakerNodeFlag = 0;
constexpr int LmrOnlyNodeFlag = 1;
constexpr int PmrOnlyNodeFlag = 2;
constexpr const char* MemoryChannelNode = "GI_Sheet_Memory_CH_Top";

ModelContext MakeContext(indMain* main)
{
    ModelContext context;
    context.CurrentImage = &main->CurrentImage();
    context.CurrentListRow = [] { return QueryCurrentListGroup(); };
    context.MchRecordKind = [] { return MchRecordKind(); };
    context.PriorityRemoval = [] { return g_Environ ? g_Environ->PriorityRemoval != 0 : true; };
    context.RotaryLimit = [] { return g_Environ ? g_Environ->RotaryLimit != 0 : true; };
    context.KeyCRemoval = [] { return g_Environ ? g_Environ->KeyCRemoval != 0 : false; };
    context.InitialImage = &main->InitialImage();
    // All zeros until the first identification, as the data layer expects.
    context.IdentityPayload = main->IdentityPayload().data();
    context.SerialNumber = [main] { return main->SerialNumber(); };
    return context;
}

RowOpsHooks MakeRowOpsHooks(indMain* main)
{
    RowOpsHooks hooks;
    hooks.ConfirmOkCancel = [](const std::string& key) { return ConfirmOkCancel(key) == plat::IDOK; };
    hooks.ItemsFit = [](int category, int n, int group) { return ItemsFit(category, n, group); };
    hooks.Pack = [main] { main->Pack(main->CurrentImage()); };
    return hooks;
}

char32_t LowerCase(char32_t ch) { return ch >= U'A' && ch <= U'Z' ? ch - U'A' + U'a' : ch; }

std::string LowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A scratch copy of an image of any size with its tables unpacked.
cmcEeprom Unpacked(const cmcEeprom& image)
{
    cmcEeprom scratch;
    scratch.Resize(EepromMap::ImageSize);
    scratch.WriteBlock(0, image.Data(), std::min(image.Size(), EepromMap::ImageSize));
    Dynamic2Static(scratch);
    return scratch;
}

// The data version of an image.
int DataVersion(const cmcEeprom& image) { return Unpacked(image).GetByte(DataVersionByte); }

} // namespace

int GetArrayBit(const uint8_t* bytes, int length, int n)
{
    if (bytes == nullptr || n < 0 || n / 8 >= length) return 0;
    return (bytes[n / 8] >> (7 - n % 8)) & 1;
}

indMain::indMain() : cuiMain("QM7148H", EepromMap::ImageSize), m_context(MakeContext(this))
{
    Init();
}

indMain::indMain(const std::string& programFolder)
    : cuiMain("QM7148H", EepromMap::ImageSize, programFolder), m_context(MakeContext(this))
{
    Init();
}

void indMain::Init()
{
    InitModelInfo();
    m_rowOps = std::make_unique<ScopedRowOpsHooks>(MakeRowOpsHooks(this));
    InstallModelSheetMakers(*this);
    // The channel picker lists the channels of the zone picked before it.
    CurrentSheetHost().PickerBank = [] { return g_PickerBank; };
    m_events = cmcEvSubscription(MemberEventHandler<&indMain::OnEvent>(this));
}

indMain::~indMain()
{
    m_events.Reset();
    // The window parts go while the model's overrides can still be called.
    ReleaseWindowParts();
}

void indMain::InitModelInfo()
{
    cuiMain::InitModelInfo();
    m_modelCode = ModelCodeMain;
    m_secondModelCode = ModelCodeSecond;
    m_subCode = 0;
    m_variant = false;
    m_identified = false;
}

int indMain::ModelType() const { return g_Environ != nullptr ? g_Environ->ModelType : ModelTypeLmr; }

void indMain::BuildMainWindow(plat::Form& form, plat::ImageList& treeImages, plat::ImageList& toolBarImages)
{
    cuiMain::BuildMainWindow(form, treeImages, toolBarImages);
    // The cells' pick lists and dialogs open on the window from now on.
    m_popups = std::make_unique<indPopupWindows>();
    for (const std::string& argument : m_arguments)
        if (LowerCase(argument) == MakerSwitch) EnterMakerMode();
}

void indMain::BuildTree()
{
    cuiMain::BuildTree();
    if (Tree() == nullptr) return;
    if (plat::TreeNode* root = Tree()->View()->Item(0))
        root->SetText(root->Text() + g_GTex.GetText("GI_AppInd_ModelTree", ModelType()));
}

bool indMain::CheckNewerData(const cmcEeprom& image)
{
    const bool lockedOut = std::atoi(g_GTex.GetText("GI_Sys_LockoutNewerData", 0).c_str()) != 0;
    return lockedOut && DataVersion(image) > NewestDataVersion;
}

bool indMain::CheckOldData(const cmcEeprom& image)
{
    if (DataVersion(image) > OldDataVersion) return false;
    // Table 110 in the image's own stored directory (not in a repacked one).
    cmcEeprom scratch;
    scratch.Resize(EepromMap::ImageSize);
    scratch.WriteBlock(0, image.Data(), std::min(image.Size(), EepromMap::CloneSize));
    if (!CopyDirectory(scratch)) return false;
    PtblEntry entry;
    return FindTable(scratch, OldLayoutTable, entry);
}

int indMain::ModelTypeOfData(const cmcEeprom& image) const
{
    return (Unpacked(image).GetByte(ModelTypeByte) & ModelTypeBit) != 0 ? ModelTypePmr : ModelTypeLmr;
}

void indMain::AfterImageLoaded(cmcEeprom& image)
{
    const int modelType = ModelTypeOfData(image);
    if (modelType != ModelType()) {
        // The tables the loaded data do not cover take the defaults of the
        // new model type, not those of the old one.
        ChangeModelType(modelType, false);
        cmcEeprom loaded(image);
        image.Assign(InitialImage());
        PackPlain(image);
        CopyCloneArea(&image, &loaded);
    }
    Dynamic2Static(image);
    BeforeImageSaved(image, 0);
}

void indMain::BeforeImageSaved(cmcEeprom& image, int flag) { PrepareImageForOutput(image, flag, 0); }

void indMain::PrepareImageForOutput(cmcEeprom& image, int mode, int forRadio)
{
    const OutputPreparation out = ::PrepareImageForOutput(image, mode, forRadio != 0);
    m_hasNonZephChannel = out.HasNonZephChannel;
    m_hasNonMultisiteChannel = out.HasNonMultisiteChannel;
    if (out.CustomerMode) SetCustomerMode(1);
}

void indMain::BeforeCloneWrite(cmcEeprom&) {}

void indMain::UpdateCheckList(int* errors, int* warnings)
{
    cuiMain::UpdateCheckList(errors, warnings);
    if (g_EvMan != nullptr) {
        g_EvMan->Post(ev::UpdateBankNodes, 0, 0);
        g_EvMan->Post(ev::RefreshSheetTitles, 0, 0);
    }
}

bool indMain::CheckModelCode(int model, int sub, int* error)
{
    const bool modelOk = model == m_modelCode || (m_secondModelCode != 0 && model == m_secondModelCode);
    if (!modelOk) {
        if (error != nullptr) *error = kIcfModel;
        return false;
    }
    if (sub != m_subCode && sub != AnySubCode) {
        if (error != nullptr) *error = kIcfExtra;
        return false;
    }
    if (!m_identified) m_variant = model == m_secondModelCode;
    return true;
}

bool indMain::FollowWord(int& counter, const std::string& word, char32_t ch)
{
    const int length = static_cast<int>(word.size());
    if (counter < length) {
        auto at = [&word](int i) { return static_cast<char32_t>(static_cast<unsigned char>(word[size_t(i)])); };
        if (ch == at(counter)) ++counter;
        else counter = length > 0 && ch == at(0) ? 1 : 0;
    }
    return counter >= length;
}

void indMain::OnFormKeyPress(char32_t& ch)
{
    const char32_t typed = LowerCase(ch);
    if (MakerMode() == 0 && g_Environ != nullptr && FollowWord(m_makerWordTyped, g_Environ->MakerWord, typed))
        EnterMakerMode();
    if (CustomerMode() == 0 && g_Environ != nullptr &&
        FollowWord(m_customerWordTyped, g_Environ->CustomerWord, typed)) {
        if (ConfirmCorvelMode() == plat::IDOK) SetCustomerMode(1);
        else m_customerWordTyped = 0;
    }
}

void indMain::EnterMakerMode()
{
    if (MakerMode() != 0) return;
    if (ConfirmMakerCaution() != plat::IDOK) {
        m_makerWordTyped = 0;
        return;
    }
    SetMakerMode(1);
    BuildTree();
    m_makerPanelText = g_GTex.GetText("GI_StatusPanel_Maker", 0);
    plat::StatusBar* bar = StatusBar();
    if (bar == nullptr) return;
    m_makerPanel = bar->PanelCount() - 1;
    InsertStatusPanel(*bar, m_makerPanel);
    plat::StatusPanel panel;
    panel.style = plat::psOwnerDraw;
    panel.width = plat::ControlTextWidth(*bar, m_makerPanelText) + plat::ControlTextWidth(*bar, "XX");
    bar->SetPanel(m_makerPanel, panel);
    OnStatusBarResize();
}

void indMain::OnStatusBarResize()
{
    plat::StatusBar* bar = StatusBar();
    if (bar == nullptr || bar->PanelCount() == 0) return;
    int others = 0;
    for (int i = 1; i < bar->PanelCount(); ++i) others += bar->Panel(i).width;
    plat::StatusPanel first = bar->Panel(0);
    first.width = std::max(MinStatusTextWidth, bar->Width() - others);
    bar->SetPanel(0, first);
}

void indMain::OnDrawStatusPanel(plat::StatusBar& bar, int panel, const plat::Rect& rect, plat::Canvas& canvas)
{
    if (panel != m_makerPanel || m_makerPanel < 0) {
        cuiMain::OnDrawStatusPanel(bar, panel, rect, canvas);
        return;
    }
    canvas.GetBrush() = {plat::RGB(128, 0, 0), plat::bsSolid};
    canvas.FillRect(rect);
    canvas.GetBrush().style = plat::bsClear;
    canvas.GetFont().color = plat::clWhite;
    const plat::Size text = canvas.TextExtent(m_makerPanelText);
    canvas.TextRect(rect, rect.left + (rect.Width() - text.cx) / 2, rect.top + (rect.Height() - text.cy) / 2,
                    m_makerPanelText);
}

void indMain::ChangeModelType(int modelType, bool confirm)
{
    if (g_Environ == nullptr || modelType == g_Environ->ModelType) return;
    if (confirm && Confirm("GI_AppMess_ChangeModel") != plat::IDOK) return;
    g_Environ->ModelType = modelType;
    LoadInitialImage(modelType);
    UnpackDefaults(InitialImage());
    if (confirm) {
        // The document is replaced without asking to save it: the question
        // above is the only warning.
        CurrentImage().Assign(InitialImage());
        Pack(CurrentImage());
        MarkSaved();
        SetFileName("");
    }
    BuildTree();
}

int indMain::Confirm(const std::string& key)
{
    return plat::MessageBox(g_GTex.GetMultiLineText(key), g_GTex.GetText("GI_Sys_AppTitle", 0),
                            plat::MB_OKCANCEL | plat::MB_ICONWARNING, MainForm());
}

int indMain::ConfirmCloneWrite() { return Confirm("GI_Mess_Confirm_CloneWrite"); }
int indMain::ConfirmClonePasswordWrite() { return Confirm("GI_Mess_Confirm_CloneWriteClonePass"); }
int indMain::ConfirmCorvelMode() { return Confirm("GI_Mess_Corvel_Confirm"); }
int indMain::ConfirmMakerCaution() { return Confirm("GI_Mess_Maker_Caution"); }

void indMain::OnEvent(const dst_Event* event)
{
    if (event->type != ev::DataReplaced || Tree() == nullptr) return;
    plat::TreeView* view = Tree()->View();
    const cmcCellObj* selected = Tree()->SelectedCell();
    const std::string kept = selected != nullptr && selected->Argument ? *selected->Argument : std::string();

    if (MakerMode() == 0) DeleteFlaggedTreeNodes(*view, MakerNodeFlag);
    DeleteFlaggedTreeNodes(*view, ModelType() == ModelTypeLmr ? PmrOnlyNodeFlag : LmrOnlyNodeFlag);
    RebuildBankBranch();

    // The selected node went with the deleted ones: the one after it takes
    // its place.
    if (plat::TreeNode* now = view->Selected()) {
        const cmcCellObj* cell = cuiTree::CellOf(now);
        const std::string argument = cell != nullptr && cell->Argument ? *cell->Argument : std::string();
        if (argument != kept) {
            if (plat::TreeNode* next = view->Item(now->AbsoluteIndex() + 1)) view->SetSelected(next);
        }
    }
    if (g_EvMan != nullptr) g_EvMan->Send(ev::RefreshSheetTitles, 0, 0);
}

void indMain::RebuildBankBranch()
{
    // Without the memory-channel node the tree has no bank branch.
    plat::TreeNode* parent = Tree()->FindNode(MemoryChannelNode);
    if (parent == nullptr) return;
    const bool lmr = ModelType() == ModelTypeLmr;
    Tree()->DeleteChildren(parent);
    Tree()->AddNode(parent, g_GTex.GetText("GI_Tree_Branch_Mch_BankOperation", lmr ? 1 : 0));
    const std::string bankLine = g_GTex.GetText("GI_Tree_Branch_Mch_Bank", 0);
    for (int bank = 0; bank < WorkTables::Banks; ++bank) {
        Tree()->AddNode(parent, CheckedFormat(bankLine, {lmr ? "Lmr" : "Pmr", bank}));
        if (g_EvMan != nullptr) g_EvMan->PostText(ev::BankNameChanged, 0, bank, FormatBankName(CurrentImage(), bank));
    }
}

indMainHolder::indMainHolder() : m_previous(g_Main), m_main(std::make_unique<indMain>())
{
    g_Main = m_main.get();
}

indMainHolder::indMainHolder(const std::string& programFolder)
    : m_previous(g_Main), m_main(std::make_unique<indMain>(programFolder))
{
    g_Main = m_main.get();
}

indMainHolder::~indMainHolder()
{
    m_main.reset();
    g_Main = m_previous;
}
