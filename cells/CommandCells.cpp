// The command cells of the main menu, the tool bar and the tree: run with
// Enter they carry out the program's commands (file, clone, view, port and
// model commands, the tree's sheet openers); run without a key (a menu or
// tool-bar refresh) they report their item's state in the cell's flags:
// Flag0 check mark, Flag1 hidden, Flag2 disabled, Flag3 the caption is the
// cell's text. The cell's index picks the value of the item families that
// share one label (font sizes, view types, COM ports, speeds, recent files,
// languages).
#include "cells/CellFamilies.h"

#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/TextFunctions.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/ui/Form.h"
#include "platform/ui/Help.h"
#include "platform/ui/Menus.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheet.h"

#include <string>

namespace {

constexpr int KeyEnter = 13;
constexpr int FlagChecked = 0;
constexpr int FlagHidden = 1;
constexpr int FlagDisabled = 2;
constexpr int FlagCaption = 3;
// Ports above the four serial ports are picked in the port dialog.
constexpr int LastSerialPort = 4;

bool Enter(const indCellCall& call) { return call.Cap->Key == KeyEnter; }
void SetFlag(indCellCall& call, int flag, bool on = true)
{
    if (on) call.Cell->SetFlag(flag, true);
}

void Send(int type)
{
    if (g_EvMan != nullptr) g_EvMan->Send(type, 0, 0);
}

void FileNew(indCellCall& call)
{
    if (Enter(call)) g_Main->FileNew();
}

void FileOpen(indCellCall& call)
{
    if (Enter(call)) g_Main->FileOpen();
}

void FileSave(indCellCall& call)
{
    if (!Enter(call)) return;
    if (g_Main->IsUntitled()) g_Main->FileSaveAs();
    else g_Main->SaveFile(g_Main->FilePath());
}

void FileSaveAs(indCellCall& call)
{
    if (Enter(call)) g_Main->FileSaveAs();
}

// Print current is offered while the open sheet may be printed.
void FilePrintCurrent(indCellCall& call)
{
    const cuiSheet* sheet = g_Main->CurrentSheet();
    const bool enabled = sheet != nullptr && sheet->IsPrintable();
    SetFlag(call, FlagDisabled, !enabled);
    if (Enter(call) && enabled) g_Main->PrintCurrent();
}

void FilePrintAll(indCellCall& call)
{
    if (Enter(call)) g_Main->PrintAll();
}

void FileRecent(indCellCall& call)
{
    const int n = call.Index;
    cmcRecent& recent = g_Environ->RecentFiles;
    const std::string name = recent.DisplayName(n, g_Main->Folder());
    call.Cell->SetText("&" + std::to_string(n + 1) + " " + DoubleAmpersands(name));
    if (name.empty()) {
        SetFlag(call, FlagDisabled);
        SetFlag(call, FlagHidden, n != 0);
    } else {
        SetFlag(call, FlagCaption);
    }
    if (Enter(call)) {
        // The full path: the entry taken without a folder.
        const std::string path = recent.DisplayName(n, "");
        if (!path.empty()) g_Main->OpenFile(path);
    }
}

void FileExit(indCellCall& call)
{
    if (Enter(call) && g_Main->MainForm() != nullptr) g_Main->MainForm()->Close();
}

// The Edit menu mirrors the pop-up menu of the open sheet's cell; while
// it has nothing to mirror, it shows the "no item" filler.
void EditTop(indCellCall&)
{
    cuiMenu* menu = g_Main->Menu();
    if (menu == nullptr || g_EvMan == nullptr) return;
    plat::MenuItem* item = menu->FindItem(nullptr, CL_Menu_Edit_Top);
    if (item != nullptr && item->Count() == 0) {
        g_EvMan->PostText(ev::MenuRebuildSubItems, reinterpret_cast<intptr_t>(menu), CL_Menu_Edit_Top, "GI_PMenu_NoItem");
        // The filler greys itself in the refresh that follows it.
        g_EvMan->Post(ev::MenuRefresh, 0, 0);
    }
}

// A new font size or view type reopens the sheet with its default
// column widths.
void ViewFontSize(indCellCall& call)
{
    if (Enter(call)) {
        g_Environ->FontSizePercentage = call.Index;
        g_Main->RequestColumnWidthReset();
        g_Main->RebuildSheet();
    }
    SetFlag(call, FlagChecked, g_Environ->FontSizePercentage == call.Index);
}

void ViewType(indCellCall& call)
{
    if (Enter(call)) {
        g_Environ->ViewType = call.Index;
        g_Main->RequestColumnWidthReset();
        g_Main->RebuildSheet();
    }
    SetFlag(call, FlagChecked, g_Environ->ViewType == call.Index);
}

void ViewToolBar(indCellCall& call)
{
    if (Enter(call)) g_Main->ToggleToolBar();
    SetFlag(call, FlagChecked, g_Main->ToolBarVisible());
}

void PortCom(indCellCall& call)
{
    if (Enter(call)) {
        g_Environ->ComPort = call.Index;
        Send(ev::MainWindowBuilt);
    }
    SetFlag(call, FlagChecked, g_Environ->ComPort == call.Index);
}

void PortUsb(indCellCall& call)
{
    if (Enter(call)) {
        g_Main->ShowComPortDialog();
        // The tool bar's port buttons follow the port the dialog chose.
        Send(ev::MainWindowBuilt);
    }
    SetFlag(call, FlagChecked, g_Environ->ComPort > LastSerialPort);
}

void PortSpeedHigh(indCellCall& call)
{
    if (Enter(call)) g_Environ->ComSpeedHigh = call.Index;
    SetFlag(call, FlagChecked, g_Environ->ComSpeedHigh == call.Index);
}

void CloneRead(indCellCall& call)
{
    if (Enter(call)) g_Main->CloneRead();
}

void CloneWrite(indCellCall& call)
{
    if (Enter(call)) g_Main->CloneWrite();
}

void CloneInfo(indCellCall& call)
{
    if (Enter(call)) g_Main->ShowCloneInformation();
}

void ModelLmr(indCellCall& call)
{
    if (Enter(call)) g_Main->ChangeModelType(indMain::ModelTypeLmr, true);
    SetFlag(call, FlagChecked, g_Environ->ModelType == indMain::ModelTypeLmr);
}

void ModelPmr(indCellCall& call)
{
    if (Enter(call)) g_Main->ChangeModelType(indMain::ModelTypePmr, true);
    SetFlag(call, FlagChecked, g_Environ->ModelType == indMain::ModelTypePmr);
}

// The name of language n of the language list.
void LanguageText(indCellCall& call)
{
    const std::string entry = g_GTexSys.GetText("GI_Sys_Language", call.Index);
    call.Cap->Text = entry.substr(0, entry.find('\t'));
}

// The contents of the program's help.
void HelpContents(indCellCall& call)
{
    if (Enter(call)) g_Main->ShowHelpFile(plat::HELP_FINDER, 0);
}

void LanguageDialog(indCellCall& call)
{
    if (Enter(call)) g_Main->ShowLanguageDialog(call.Cap);
}

void CallSheetCommand(indCellCall& call)
{
    if (Enter(call) && call.Cell->Argument) g_Main->OpenSheet(*call.Cell->Argument);
}

// The commands that need the environment and the main object do nothing
// without them (a cell evaluated outside the program).
template <void (*Command)(indCellCall&)>
void WithProgram(indCellCall& call)
{
    if (g_Main != nullptr && g_Environ != nullptr && call.Cell != nullptr) Command(call);
}

constexpr LabelBehaviourEntry kCommandCells[] = {
    {CL_Menu_File_New, WithProgram<FileNew>},
    {CL_Menu_File_Open, WithProgram<FileOpen>},
    {CL_Menu_File_Save, WithProgram<FileSave>},
    {CL_Menu_File_SaveAs, WithProgram<FileSaveAs>},
    {CL_Menu_File_Print_Current, WithProgram<FilePrintCurrent>},
    {CL_Menu_File_Print_All, WithProgram<FilePrintAll>},
    {CL_Menu_File_Recent, WithProgram<FileRecent>},
    {CL_Menu_File_Exit, WithProgram<FileExit>},
    {CL_Menu_Edit_Top, WithProgram<EditTop>},
    {CL_Menu_View_FontSize, WithProgram<ViewFontSize>},
    {CL_Menu_View_Type, WithProgram<ViewType>},
    {CL_Menu_View_ToolBar, WithProgram<ViewToolBar>},
    {CL_Menu_Port_Com, WithProgram<PortCom>},
    {CL_Menu_Port_Usb, WithProgram<PortUsb>},
    {CL_Menu_Port_SpeedHigh, WithProgram<PortSpeedHigh>},
    {CL_Menu_Clone_Read, WithProgram<CloneRead>},
    {CL_Menu_Clone_Write, WithProgram<CloneWrite>},
    {CL_Menu_Clone_Info, WithProgram<CloneInfo>},
    {CL_Model_Lmr, WithProgram<ModelLmr>},
    {CL_Model_Pmr, WithProgram<ModelPmr>},
    {CL_Help_Contents, WithProgram<HelpContents>},
    {CL_Menu_Lang, WithProgram<LanguageDialog>},
    {CL_Language_Text, LanguageText},
    {CallSheet, WithProgram<CallSheetCommand>},
};

} // namespace

std::span<const LabelBehaviourEntry> CommandCellBehaviours() { return kCommandCells; }
