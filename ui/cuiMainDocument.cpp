// The working image as a document: New, Open, Save and Save As with their
// checks and messages, the initial image of the model type, the question
// before unsaved changes are lost, and the COM port dialog.
#include "ui/cuiMain.h"

#include "cells/ValueHandlers.h"
#include "core/CheckedFormat.h"
#include "core/EventIds.h"
#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/indEnviron.h"
#include "platform/base/Fatal.h"
#include "platform/base/Folders.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiEntryDialog.h"
#include "ui/cuiSheet.h"

#include <cstdlib>

namespace {

// The comment of a saved file: two 16-byte texts of the settings.
constexpr int CommentFirstHalf = 176120;
constexpr int CommentSecondHalf = 176136;
constexpr int CommentHalfLength = 16;
// Saved files: map revision 1 with 32-bit addresses.
constexpr int SavedMapRev = 1;
constexpr int SavedAdrBit = 32;
constexpr int FirstComPort = 1;
constexpr int LastComPort = 256;
constexpr int ComPortDigits = 4;

std::string AppTitle() { return g_GTex.GetText("GI_Sys_AppTitle", 0); }

// A 16-byte text of the image with its unprintable bytes as blanks and
// without its trailing blanks.
std::string CommentHalf(const cmcEeprom& image, int at)
{
    std::string text;
    for (int i = 0; i < CommentHalfLength; ++i) {
        const int c = image.GetByte(at + i);
        text.push_back(IsPrintableAscii(c) ? static_cast<char>(c) : ' ');
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

void KeepFolderOf(const std::string& path, std::string& folder)
{
    folder = plat::FolderOf(path);
    if (g_Environ != nullptr) {
        g_Environ->CurrentDirectory = folder;
        g_Environ->RecentFiles.AddFront(path);
    }
}

plat::FileDialog CloneFileDialog(const std::string& folder, const std::string& fileName)
{
    plat::FileDialog dialog;
    dialog.defaultExt = g_GTex.GetText("GI_Sys_Dialog_FOpen", 0);
    dialog.filter = g_GTex.GetText("GI_Sys_Dialog_FOpen", 1);
    dialog.initialDir = folder;
    dialog.fileName = fileName;
    return dialog;
}

} // namespace

void cuiMain::LoadInitialImage(int modelType)
{
    const std::string path = m_programFolder + g_GTex.GetText("GI_App_InitialFile", modelType);
    cmcIcfFile file;
    file.SetImage(&m_initial);
    file.SetModelCode(m_modelCode);
    file.SetSubCode(m_subCode);
    file.SetMapRevCheck({[](void*, int mapRev) { return AcceptMapRev(mapRev); }, nullptr});
    file.SetHeaderCheck({[this](void*, int model, int sub, int* error) { return CheckModelCode(model, sub, error); },
                         nullptr});
    file.SetCompareSize(LoadCompareSize);
    const std::vector<dst_AdrRange> ranges = AddressRanges(RangesLoadFile);
    if (file.Load(path, ranges.data()) != kIcfOk) plat::Fatal("Cannot open '" + path + "'.");
}

int cuiMain::AskSaveChanges(bool anotherFile)
{
    ClosePopups();
    if (!m_modified) return AnswerSave;
    const std::string question =
        anotherFile ? g_GTex.GetText("GI_Mess_Confirm_WriteAnother", 0)
                    : CheckedFormat(g_GTex.GetText("GI_Mess_Confirm_WriteFile", 0), {plat::FileNameOf(FilePath())});
    int answer = plat::MessageBox(question, AppTitle(), plat::MB_YESNOCANCEL | plat::MB_ICONWARNING, m_mainForm);
    if (answer == AnswerSave) {
        const int failed = IsUntitled() || anotherFile ? FileSaveAs() : SaveFile(FilePath());
        if (failed != 0) answer = AnswerCancel;
    }
    return answer;
}

int cuiMain::FileNew()
{
    if (AskSaveChanges(false) == AnswerCancel) return 1;
    m_current.Assign(m_initial);
    Pack(m_current);
    MarkSaved();
    SetFileName("");
    CloseSheet();
    if (g_EvMan != nullptr) {
        for (int bank = 0; bank < WorkTables::Banks; ++bank)
            g_EvMan->PostText(ev::BankNameChanged, 0, bank, FormatBankName(m_current, bank));
    }
    return 0;
}

int cuiMain::FileOpen()
{
    ClosePopups();
    plat::FileDialog dialog = CloneFileDialog(m_folder, "");
    if (!plat::ExecuteOpenDialog(dialog, m_mainForm)) return 1;
    return OpenFile(dialog.fileName);
}

int cuiMain::OpenFile(const std::string& path)
{
    // Opening the open file again first offers to save it under a new name.
    if (AskSaveChanges(path == FilePath()) == AnswerCancel) return 1;
    cmcEeprom scratch;
    scratch.Resize(m_current.Size());
    plat::ScopedHourglass hourglass;

    cmcIcfFile file;
    file.SetImage(&scratch);
    file.SetModelCode(m_modelCode);
    file.SetSubCode(m_subCode);
    file.SetMapRevCheck({[](void*, int mapRev) { return AcceptMapRev(mapRev); }, nullptr});
    file.SetHeaderCheck({[this](void*, int model, int sub, int* error) { return CheckModelCode(model, sub, error); },
                         nullptr});
    file.SetCompareSize(LoadCompareSize);

    // Each check shows its own message and stops at the first failure.
    if (file.Load(path, nullptr) != kIcfOk) return 1;
    if (CheckImageHeader(scratch, false) != 0) {
        ShowFileError(kIcfData);
        return 1;
    }
    if (CheckNewerData(scratch)) {
        ShowFileError(kIcfNewer);
        return 1;
    }
    if (CheckOldData(scratch)) {
        ShowFileError(kIcfData);
        return 1;
    }
    const std::vector<dst_AdrRange> ranges = AddressRanges(RangesLoadFile);
    if (const int coverage = file.CheckCoverage(ranges.data()); coverage != kIcfOk) {
        ShowFileError(coverage);
        return 1;
    }

    m_current.Assign(m_initial);
    PackPlain(m_current);
    KeepFolderOf(path, m_folder);
    SetFileName(path);
    CopyCloneArea(&m_current, &scratch);
    AfterImageLoaded(m_current);
    MarkSaved();
    CloseSheet();
    if (g_EvMan != nullptr) g_EvMan->Send(ev::DataReplaced, 0, 0);
    return 0;
}

int cuiMain::FileSaveAs()
{
    plat::FileDialog dialog = CloneFileDialog(m_folder, plat::FileNameOf(FilePath()));
    if (!plat::ExecuteSaveDialog(dialog, m_mainForm)) return 1;
    return SaveFile(dialog.fileName);
}

int cuiMain::SaveFile(const std::string& path)
{
    ClosePopups();
    BeforeImageSaved(m_current, 1);
    int result = kIcfOk;
    // Tables that do not fit into the clone memory would be saved without
    // their directory, so that the file would load as defaults: nothing is
    // written then.
    if (Pack(m_current) != kPackOk) {
        plat::MessageBox(g_GTex.GetMultiLineText("GI_Mess_CloneErr_Datasize_Over"), AppTitle(),
                         plat::MB_OK | plat::MB_ICONERROR, m_mainForm);
        result = -1;
    } else {
        cmcIcfFile file;
        file.SetImage(&m_current);
        file.SetModelCode(m_modelCode);
        file.SetSubCode(m_subCode);
        file.SetMapRev(SavedMapRev);
        file.SetAdrBit(SavedAdrBit);
        plat::ScopedHourglass hourglass;
        file.SetComment(CommentHalf(m_current, CommentFirstHalf) + CommentHalf(m_current, CommentSecondHalf));
        const std::vector<dst_AdrRange> ranges = AddressRanges(RangesSaveFile);
        result = file.Save(path, ranges.data());
    }
    // A failed save leaves the file name and the modified state as they
    // were (the old file is untouched; the document keeps what it had).
    if (result == kIcfOk) {
        KeepFolderOf(path, m_folder);
        SetFileName(path);
        MarkSaved();
    }
    // Packing may have changed the scan lists the open scan list sheet shows,
    // whether the file was written or not.
    if (m_currentSheetKey == "GI_Sheet_Scan_List") ReopenTreeSelection();
    return result == kIcfOk ? 0 : 1;
}

int cuiMain::ParseComPort(const std::string& text)
{
    std::string trimmed = text;
    TrimBlanks(trimmed);
    if (trimmed.empty() || trimmed.size() > ComPortDigits ||
        trimmed.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int port = std::atoi(trimmed.c_str());
    return port >= FirstComPort && port <= LastComPort ? port : 0;
}

void cuiMain::ShowComPortDialog()
{
    cuiEntryDialogTexts texts;
    texts.Caption = g_GTex.GetText("GI_AppInd_Opt_ComSel_Caption", 0);
    texts.Notice = g_GTex.GetMultiLineText("GI_AppInd_Opt_ComSel_Notice");
    texts.OkCaption = g_GTex.GetText("GI_AppInd_Opt_ComSel_Buttons", 0);
    texts.CancelCaption = g_GTex.GetText("GI_AppInd_Opt_ComSel_Buttons", 1);
    texts.ButtonSample = g_GTex.GetText("GI_AppInd_Opt_ComSel_SizeOfButtons", 0);
    texts.EditSample = "255WWWW";
    cuiEntryDialog dialog(m_mainForm, texts);
    dialog.Edit().SetMaxLength(ComPortDigits);
    dialog.Edit().SetText(std::to_string(g_Environ != nullptr ? g_Environ->ComPort : FirstComPort));
    dialog.OnAccept = [&dialog](const std::string& text) {
        const int port = ParseComPort(text);
        if (port == 0) {
            plat::MessageBox(g_GTex.GetMultiLineText("GI_AppInd_Opt_ComSel_OutofRange"), AppTitle(),
                             plat::MB_OK | plat::MB_ICONERROR, &dialog.Form());
            return false;
        }
        if (g_Environ != nullptr) g_Environ->ComPort = port;
        return true;
    };
    dialog.ShowModal();
}
