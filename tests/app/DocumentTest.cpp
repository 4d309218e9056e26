// The working image as a document: New, Open, Save and Save As through the
// file dialogs, every check of Open, failed saves, the question before
// changes are lost, the model type that follows an opened file, and the COM
// port dialog.
#include "tests/app/AppFixture.h"

#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Splitter.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiTree.h"

#include <filesystem>

namespace {

using apptest::ProgramFixture;

constexpr int CommentByte = 176120;
constexpr int DataVersionByte = 181182;
constexpr int BankNames = 177448; // 12 bytes per bank

std::string Text(const char* key) { return g_GTex.GetText(key, 0); }

class Document : public ProgramFixture {
protected:
    std::string Title(const std::string& name) { return name + " - " + Text("GI_Sys_AppTitle"); }
    void PutComment(const std::string& text)
    {
        for (size_t i = 0; i < text.size(); ++i) Main().CurrentImage().SetByte(CommentByte + int(i), text[i]);
        Main().UpdateModified();
    }
    std::string CommentOfImage()
    {
        std::string text;
        for (int i = 0; i < 5; ++i) text.push_back(char(Main().CurrentImage().GetByte(CommentByte + i)));
        return text;
    }
    // A clone file written from an image as another program would leave it.
    static void WriteCloneFile(const std::string& path, cmcEeprom& image, int modelCode = indMain::ModelCodeMain,
                               int last = EepromMap::CloneLast)
    {
        cmcIcfFile file;
        file.SetImage(&image);
        file.SetModelCode(modelCode);
        file.SetMapRev(1);
        file.SetAdrBit(32);
        const dst_AdrRange ranges[] = {{0, last}, {1, 0}};
        ASSERT_EQ(file.Save(path, ranges), kIcfOk);
    }
    std::string FileError(const char* key) { return Text("GI_Mess_FileErr_Headline") + "\n\n" + Text(key); }
};

TEST_F(Document, NewOpenSaveAndSaveAsKeepTheTitleAndTheModifiedState)
{
    Start();
    const std::string docs = user.Documents();
    EXPECT_EQ(Main().Folder(), docs);
    EXPECT_EQ(Form().Caption(), Title("Untitled"));

    // A change marks the document modified; putting it back does not undo that.
    const int before = Main().CurrentImage().GetByte(CommentByte);
    PutComment("Hello");
    EXPECT_TRUE(Main().IsModified());
    PutComment(std::string(1, char(before)));
    EXPECT_TRUE(Main().IsModified());
    PutComment("Hello");

    // Save on an untitled document asks for a name.
    dialogs.AnswerFile(docs + "radio");
    Choose(MenuItem(CL_Menu_File_Save));
    ASSERT_EQ(dialogs.FileDialogs().size(), 1u);
    const plat::FileDialogRecord& asked = dialogs.FileDialogs()[0];
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.fileName, "Untitled");
    EXPECT_EQ(asked.initialDir, docs);
    EXPECT_EQ(asked.defaultExt, g_GTex.GetText("GI_Sys_Dialog_FOpen", 0));
    EXPECT_EQ(asked.filter, g_GTex.GetText("GI_Sys_Dialog_FOpen", 1));
    const std::string radio = docs + "radio.icf";
    ASSERT_TRUE(std::filesystem::exists(radio));
    EXPECT_NE(qmtest::ReadFile(radio).find("#Comment=Hello\n"), std::string::npos);
    EXPECT_EQ(Form().Caption(), Title("radio.icf"));
    EXPECT_FALSE(Main().IsModified());
    EXPECT_EQ(Environ().RecentFiles.Path(0), radio);
    EXPECT_EQ(Environ().CurrentDirectory, docs);

    // New asks before the changes are lost; No discards them.
    PutComment("Other");
    std::vector<int> bankNames;
    cmcEvSubscription names(EventHandler{[](void* user, const dst_Event* e) {
                                             if (e->type == ev::BankNameChanged)
                                                 static_cast<std::vector<int>*>(user)->push_back(int(e->p2));
                                         },
                                         &bankNames});
    dialogs.Answer(plat::IDNO);
    Choose(MenuItem(CL_Menu_File_New));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "Save the changes to radio.icf?");
    EXPECT_EQ(dialogs.Boxes()[0].Buttons(), plat::MB_YESNOCANCEL);
    EXPECT_EQ(Form().Caption(), Title("Untitled"));
    EXPECT_FALSE(Main().IsModified());
    EXPECT_NE(CommentOfImage(), "Other");
    EXPECT_EQ(bankNames.size(), 128u) << "every bank node shows its default name";

    // Open takes the saved file back.
    dialogs.AnswerFile(radio);
    Choose(MenuItem(CL_Menu_File_Open));
    EXPECT_EQ(dialogs.FileDialogs().back().save, false);
    EXPECT_EQ(Form().Caption(), Title("radio.icf"));
    EXPECT_FALSE(Main().IsModified());
    EXPECT_EQ(CommentOfImage(), "Hello");
    EXPECT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Top") << "the tick reopened the sheet";
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "app-after-open.png").string()));

    // Save As under a new name; the old file stays as it was.
    const std::string old = qmtest::ReadFile(radio);
    PutComment("Copy1");
    dialogs.AnswerFile(docs + "copy");
    Choose(MenuItem(CL_Menu_File_SaveAs));
    EXPECT_EQ(dialogs.FileDialogs().back().fileName, "radio.icf");
    EXPECT_EQ(Form().Caption(), Title("copy.icf"));
    EXPECT_EQ(qmtest::ReadFile(radio), old);
    EXPECT_EQ(Environ().RecentFiles.Path(0), docs + "copy.icf");
    EXPECT_EQ(Environ().RecentFiles.Path(1), radio);

    // Save on a titled document writes it without asking.
    PutComment("Copy2");
    Choose(MenuItem(CL_Menu_File_Save));
    EXPECT_NE(qmtest::ReadFile(docs + "copy.icf").find("#Comment=Copy2\n"), std::string::npos);
    EXPECT_EQ(dialogs.FileDialogs().size(), 3u);
    EXPECT_FALSE(Main().IsModified());
}

TEST_F(Document, EachFailedCheckOfOpenShowsItsErrorAndChangesNothing)
{
    Start();
    const std::string docs = user.Documents();
    // Images to write: the current one, changed before it is packed.
    auto packed = [this](const std::function<void(cmcEeprom&)>& change) {
        cmcEeprom image(Main().CurrentImage());
        change(image);
        return image;
    };
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> write;
        const char* error;
    };
    const Case cases[] = {
        {"missing", [](const std::string&) {}, "GI_Mess_FileErr_FileOpen"},
        {"model",
         [&](const std::string& path) {
             cmcEeprom image = packed([](cmcEeprom&) {});
             WriteCloneFile(path, image, 0x7150);
         },
         "GI_Mess_FileErr_Model"},
        {"header",
         [&](const std::string& path) {
             cmcEeprom image = packed([](cmcEeprom& i) { i.SetByte(EepromMap::FormatByte, 0); });
             WriteCloneFile(path, image);
         },
         "GI_Mess_FileErr_Data"},
        {"newer",
         [&](const std::string& path) {
             cmcEeprom image = packed([](cmcEeprom& i) {
                 i.SetByte(DataVersionByte, 4);
                 Pack(i);
             });
             WriteCloneFile(path, image);
         },
         "GI_Mess_FileErr_Newer"},
        {"old",
         [&](const std::string& path) {
             cmcEeprom image = packed([](cmcEeprom& i) {
                 i.SetByte(DataVersionByte, 2);
                 Pack(i);
             });
             WriteCloneFile(path, image);
         },
         "GI_Mess_FileErr_Data"},
        {"short",
         [&](const std::string& path) {
             cmcEeprom image = packed([](cmcEeprom&) {});
             WriteCloneFile(path, image, indMain::ModelCodeMain, EepromMap::HeaderSize - 1);
         },
         "GI_Mess_FileErr_Coverage"},
    };
    PutComment("Keep!");
    const cmcEeprom kept(Main().CurrentImage());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = docs + c.name + ".icf";
        c.write(path);
        const size_t boxes = dialogs.Boxes().size();
        // Don't save the changes, then the file's error.
        dialogs.Answer(plat::IDNO);
        dialogs.Answer(plat::IDOK);
        EXPECT_EQ(Main().OpenFile(path), 1);
        ASSERT_EQ(dialogs.Boxes().size(), boxes + 2);
        EXPECT_EQ(dialogs.LastBox().text, FileError(c.error));
        EXPECT_TRUE(Main().CurrentImage().Equals(kept));
        EXPECT_TRUE(Main().IsModified());
        EXPECT_TRUE(Main().IsUntitled());
        EXPECT_EQ(Main().Folder(), docs);
        EXPECT_EQ(Environ().RecentFiles.Count(), 0);
        EXPECT_EQ(Environ().ModelType, indMain::ModelTypeLmr);
    }
}

TEST_F(Document, OpeningAFileOfTheOtherModelTypeSwitchesToItsDefaults)
{
    const std::string pmrFile = user.Documents() + "pmr.icf";
    cmcEeprom openedAsPmr;
    {
        // A program set to PMR saves a file and opens it again.
        Start(false);
        Environ().ModelType = indMain::ModelTypePmr;
        form = std::make_unique<TForm1>();
        Wait();
        PutComment("PMR 1");
        // A bank name of the file, for the tree.
        const std::string name = "YARD";
        for (size_t i = 0; i < name.size(); ++i) Main().CurrentImage().SetByte(BankNames + 12 * 2 + int(i), name[i]);
        dialogs.AnswerFile(pmrFile);
        ASSERT_EQ(Main().FileSaveAs(), 0);
        ASSERT_EQ(Main().OpenFile(pmrFile), 0);
        openedAsPmr = Main().CurrentImage();
        form.reset();
        globals.reset();
    }
    // A program set to LMR opens it without asking: the model type, its
    // defaults and the tree follow the file.
    Start(false);
    Environ().ModelType = indMain::ModelTypeLmr;
    form = std::make_unique<TForm1>();
    Wait();
    const size_t boxes = dialogs.Boxes().size();
    ASSERT_EQ(Main().OpenFile(pmrFile), 0);
    EXPECT_EQ(dialogs.Boxes().size(), boxes);
    EXPECT_EQ(Environ().ModelType, indMain::ModelTypePmr);
    Wait();
    EXPECT_EQ(TreeCaptions(), ProgramTreeCaptions(indMain::ModelTypePmr));
    EXPECT_EQ(TreeCaptions()[5].substr(0, 11), "    3: YARD") << "the file's bank name";
    EXPECT_EQ(BankNodeSheets(), ProgramBankSheets(indMain::ModelTypePmr));
    EXPECT_TRUE(Main().CurrentImage().Equals(openedAsPmr)) << "no table keeps a default of the LMR type";
    EXPECT_FALSE(Main().IsModified());

    // A file of the type in use changes nothing about the type.
    ASSERT_EQ(Main().OpenFile(pmrFile), 0);
    EXPECT_EQ(Environ().ModelType, indMain::ModelTypePmr);
}

TEST_F(Document, ReopeningTheOpenFileOffersToSaveUnderAnotherName)
{
    Start();
    const std::string docs = user.Documents();
    dialogs.AnswerFile(docs + "a.icf");
    ASSERT_EQ(Main().FileSaveAs(), 0);
    PutComment("Again");
    dialogs.Answer(plat::IDYES);
    dialogs.AnswerFile(docs + "b.icf");
    ASSERT_EQ(Main().OpenFile(docs + "a.icf"), 0);
    ASSERT_FALSE(dialogs.Boxes().empty());
    EXPECT_EQ(dialogs.Boxes()[0].text, Text("GI_Mess_Confirm_WriteAnother"));
    EXPECT_NE(qmtest::ReadFile(docs + "b.icf").find("#Comment=Again\n"), std::string::npos);
    EXPECT_EQ(Form().Caption(), Title("a.icf"));
    EXPECT_NE(CommentOfImage(), "Again");

    // File names differ in letter case: another file, the usual question.
    PutComment("Case");
    dialogs.Answer(plat::IDCANCEL);
    EXPECT_EQ(Main().OpenFile(docs + "A.icf"), 1);
    EXPECT_EQ(dialogs.LastBox().text, "Save the changes to a.icf?");
}

TEST_F(Document, NewAnswersWhetherItReplacedTheDocument)
{
    Start();
    PutComment("Keep");
    dialogs.Answer(plat::IDCANCEL);
    EXPECT_EQ(Main().FileNew(), 1) << "cancelled";
    EXPECT_TRUE(Main().IsModified());
    dialogs.Answer(plat::IDNO);
    EXPECT_EQ(Main().FileNew(), 0);
    EXPECT_FALSE(Main().IsModified());
    EXPECT_EQ(Main().FileNew(), 0) << "nothing to ask";
}

TEST_F(Document, SavesThatCannotBeWrittenLeaveTheDocumentModified)
{
    Start();
    const std::string docs = user.Documents();
    dialogs.AnswerFile(docs + "kept.icf");
    ASSERT_EQ(Main().FileSaveAs(), 0);
    const std::string kept = qmtest::ReadFile(docs + "kept.icf");

    // A folder that does not exist: the file's error, the old file intact.
    PutComment("Lost?");
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(Main().SaveFile(docs + "no/such/folder.icf"), 1);
    EXPECT_EQ(dialogs.LastBox().text, FileError("GI_Mess_FileErr_FileOpen"));
    EXPECT_TRUE(Main().IsModified());
    EXPECT_EQ(Form().Caption(), Title("kept.icf"));

    // Tables that no longer fit into the clone memory: nothing is written.
    cmcEeprom& image = Main().CurrentImage();
    for (int g = 0; g < WorkTables::Banks; ++g) {
        SetGroupItemCount(g, 20, 22);
        SetGroupItemCount(g, 30, 27);
    }
    for (int kind : {18, 28, 32}) WriteIndListCount(image, 500, kind);
    for (int kind : {19, 29, 33}) WriteTgListCount(image, 500, kind);
    WriteCToneListCount(image, 80);
    WriteNacChListCount(image, 80);
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(Main().SaveFile(docs + "kept.icf"), 1);
    EXPECT_EQ(dialogs.LastBox().text, g_GTex.GetMultiLineText("GI_Mess_CloneErr_Datasize_Over"));
    EXPECT_EQ(dialogs.LastBox().Icon(), plat::MB_ICONERROR);
    EXPECT_EQ(qmtest::ReadFile(docs + "kept.icf"), kept);
    EXPECT_TRUE(Main().IsModified());
}

TEST_F(Document, AFailedSaveKeepsTheNameAndTheModifiedStateAndStillEndsItsSteps)
{
    Start();
    const std::string docs = user.Documents();
    dialogs.AnswerFile(docs + "kept.icf");
    ASSERT_EQ(Main().FileSaveAs(), 0);
    // A clean document whose image the save's normalisation changes: a
    // control character in the comment.
    cmcEeprom& image = Main().CurrentImage();
    image.SetByte(CommentByte, 0x07);
    Main().MarkSaved();
    ASSERT_FALSE(Main().IsModified());
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(Main().SaveFile(docs + "no/such/folder.icf"), 1);
    EXPECT_EQ(image.GetByte(CommentByte), ' ');  // normalised all the same
    EXPECT_FALSE(Main().IsModified());
    EXPECT_EQ(Main().FilePath(), docs + "kept.icf");
    EXPECT_EQ(Form().Caption(), Title("kept.icf"));

    // Tables that no longer fit: nothing is written, and the open scan list
    // sheet, whose lists the packing may have changed, is built again.
    for (int g = 0; g < WorkTables::Banks; ++g) {
        SetGroupItemCount(g, 20, 22);
        SetGroupItemCount(g, 30, 27);
    }
    for (int kind : {18, 28, 32}) WriteIndListCount(image, 500, kind);
    for (int kind : {19, 29, 33}) WriteTgListCount(image, 500, kind);
    WriteCToneListCount(image, 80);
    WriteNacChListCount(image, 80);
    Main().MarkSaved();
    const std::string kept = qmtest::ReadFile(docs + "kept.icf");
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(Main().SaveFile(docs + "kept.icf"), 1);
    EXPECT_EQ(dialogs.LastBox().text, g_GTex.GetMultiLineText("GI_Mess_CloneErr_Datasize_Over"));
    EXPECT_EQ(qmtest::ReadFile(docs + "kept.icf"), kept);
    EXPECT_FALSE(Main().IsModified());
    EXPECT_EQ(Main().FilePath(), docs + "kept.icf");
    ASSERT_NE(Main().CurrentSheet(), nullptr);
    Main().SetCurrentSheet(Main().CurrentSheet(), "GI_Sheet_Scan_List");
    dialogs.Answer(plat::IDOK);
    EXPECT_EQ(Main().SaveFile(docs + "kept.icf"), 1);
    EXPECT_NE(Main().CurrentSheetKey(), "GI_Sheet_Scan_List");
}

TEST_F(Document, TheCommentJoinsBothHalvesWithoutTheirTrailingBlanks)
{
    Start();
    cmcEeprom& image = Main().CurrentImage();
    const char first[16] = {'A', 'B', 'C', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    const char second[16] = {'D', 'E', 'F', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    image.WriteBlock(CommentByte, first, 16);
    image.WriteBlock(CommentByte + 16, second, 16);
    dialogs.AnswerFile(user.Documents() + "comment.icf");
    ASSERT_EQ(Main().FileSaveAs(), 0);
    EXPECT_NE(qmtest::ReadFile(user.Documents() + "comment.icf").find("#Comment=ABCDEF\n"), std::string::npos);
}

TEST_F(Document, ClosingWithChangesAsksAndEachAnswerDoesWhatItSays)
{
    struct Case {
        const char* name;
        int answer;
        bool saveDialogPicks; // the save dialog picks a file (else it is cancelled)
        bool closes;
        bool saved;
    };
    const Case cases[] = {
        {"cancel", plat::IDCANCEL, false, false, false},
        {"discard", plat::IDNO, false, true, false},
        {"save", plat::IDYES, true, true, true},
        {"save cancelled", plat::IDYES, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        const std::string file = user.Documents() + "closed.icf";
        std::filesystem::remove(file);
        PutComment("Close");
        dialogs.Answer(c.answer);
        if (c.answer == plat::IDYES) {
            if (c.saveDialogPicks) dialogs.AnswerFile(file);
            else dialogs.CancelFile();
        }
        EXPECT_EQ(CloseForm(), c.closes);
        EXPECT_EQ(std::filesystem::exists(file), c.saved);
        if (!c.closes) {
            EXPECT_TRUE(Main().IsModified()) << "the changes are still there";
        }
        if (c.closes) {
            EXPECT_FALSE(Main().TickRunning());
            EXPECT_EQ(Main().Tree(), nullptr);
            EXPECT_EQ(Main().CurrentSheet(), nullptr);
        } else {
            EXPECT_TRUE(Main().TickRunning());
        }
        EXPECT_EQ(dialogs.UnusedAnswers(), 0u);
        EXPECT_EQ(dialogs.UnusedFiles(), 0u);
        form.reset();
        globals.reset();
    }
}

TEST_F(Document, ClosingKeepsTheWindowPlaceAndTheTreeWidth)
{
    Start();
    Form().SetBounds(30, 40, 640, 480);
    // The user drags the splitter to make the tree 150 pixels wide.
    plat::Splitter& splitter = *Main().Splitter();
    const int from = Main().LeftPanel()->Width();
    plat::SendMouse(splitter, plat::MouseAction::Down, 1, 50);
    plat::SendMouse(splitter, plat::MouseAction::Move, 1 + 150 - from, 50);
    plat::SendMouse(splitter, plat::MouseAction::Up, 1 + 150 - from, 50);
    ASSERT_EQ(Main().LeftPanel()->Width(), 150);
    ASSERT_TRUE(CloseForm());
    EXPECT_EQ(Environ().Left, 30);
    EXPECT_EQ(Environ().Top, 40);
    EXPECT_EQ(Environ().Width, Form().Width());
    EXPECT_EQ(Environ().Height, Form().Height());
    EXPECT_EQ(Environ().SplitterV, 150);
}

TEST_F(Document, DisabledWindowCannotBeClosed)
{
    Start();
    Form().SetEnabled(false);
    EXPECT_FALSE(CloseForm());
    EXPECT_TRUE(dialogs.Boxes().empty()) << "nothing is asked while a clone operation runs";
    Form().SetEnabled(true);
    EXPECT_TRUE(CloseForm());
}

// The edit of a modal form (the first one found).
plat::Edit* EditOf(plat::Container& form)
{
    for (int i = 0; i < form.ControlCount(); ++i)
        if (auto* edit = dynamic_cast<plat::Edit*>(form.Controls(i))) return edit;
    return nullptr;
}

TEST_F(Document, ComPortDialogTakesPortsFrom1To256)
{
    struct Case {
        const char* text;
        int port;
    };
    for (const Case c : {Case{"1", 1}, Case{"256", 256}, Case{" 12 ", 12}, Case{"0", 0}, Case{"257", 0},
                         Case{"abc", 0}, Case{"", 0}, Case{"-3", 0}})
        EXPECT_EQ(cuiMain::ParseComPort(c.text), c.port) << c.text;

    Start();
    Environ().ComPort = 3;
    // The dialog shows the port; 0 is refused and the dialog stays; 7 is taken.
    dialogs.Drive([&](plat::Form& dialog) {
        plat::Edit* edit = EditOf(dialog);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->Text(), "3");
        EXPECT_EQ(edit->MaxLength(), 4);
        edit->SetText("0");
        dialogs.Answer(plat::IDOK);
        for (int i = 0; i < dialog.ControlCount(); ++i)
            if (auto* b = dynamic_cast<plat::Button*>(dialog.Controls(i)); b && b->Default()) b->Click();
        EXPECT_EQ(dialog.ModalResult(), plat::mrNone);
        EXPECT_EQ(Environ().ComPort, 3);
        edit->SetText("7");
        for (int i = 0; i < dialog.ControlCount(); ++i)
            if (auto* b = dynamic_cast<plat::Button*>(dialog.Controls(i)); b && b->Default()) b->Click();
    });
    Main().ShowComPortDialog();
    EXPECT_EQ(Environ().ComPort, 7);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, g_GTex.GetMultiLineText("GI_AppInd_Opt_ComSel_OutofRange"));
    EXPECT_EQ(dialogs.ModalForms().back(), Text("GI_AppInd_Opt_ComSel_Caption"));

    // Cancel changes nothing.
    dialogs.Drive([](plat::Form& dialog) {
        EditOf(dialog)->SetText("9");
        dialog.Close();
    });
    Main().ShowComPortDialog();
    EXPECT_EQ(Environ().ComPort, 7);
}

} // namespace
