// The editors as a user reaches them in the running program: a channel is
// renamed in the free-text editor and a user character drawn in the
// character editor; both are in the saved file and come back when it is
// opened again.
#include "tests/app/AppFixture.h"

#include "cells/TextHandlers.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/cmcCellCapsule.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/indCloneMan.h"
#include "model/datCh.h"
#include "model/indMain.h"
#include "platform/base/MemorySerial.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "tests/sim/CloneRadio.h"
#include "ui/cuiCEdit.h"
#include "ui/cuiFText.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <QApplication>
#include <QMenu>

#include <cstring>
#include <filesystem>

namespace {

constexpr int kLmr = 1;
constexpr int kPortableSet = 3;

class EditorsInTheProgram : public apptest::ProgramFixture {
protected:
    // The grid position of the cell with the label and index.
    plat::Point CellOf(int label, int index)
    {
        int col = 0, row = 0;
        if (FindCell(label, index, col, row)) return {col, row};
        ADD_FAILURE() << "no cell " << label;
        return {0, 0};
    }
    // A channel typed into the row marked New of bank 2, then named in the
    // free-text editor that a letter typed on its name cell opens.
    void NameNewChannel(const std::string& name)
    {
        plat::TreeView* view = Main().Tree()->View();
        view->SetSelected(view->Item(4));
        Wait(400);
        const plat::Point freq = CellOf(CL_Mch_FreqR, 0);
        ClickCell(freq.x, freq.y);
        plat::TypeText(Form(), "146.05");
        plat::SendKey(Form(), plat::VK_RETURN);
        Wait();
        ASSERT_EQ(BankChannelCount(1), 1);
        const plat::Point cell = CellOf(CL_Mch_Text, 0);
        ClickCell(cell.x, cell.y);
        plat::TypeText(Form(), name.substr(0, 1));
        Wait();
        cuiFText* text = cuiFText::Newest();
        ASSERT_NE(text, nullptr);
        plat::TypeText(*text->Window(), name.substr(1));
        plat::SendKey(*text->Window(), plat::VK_RETURN);
        Wait();
        EXPECT_EQ(cuiFText::Newest(), nullptr);
        EXPECT_TRUE(Main().IsModified());
    }
    std::string ChannelName()
    {
        datCh ch(&Main().CurrentImage());
        ch.Unpack(kLmr, 0);
        return std::string(ch.Text, 12);
    }
};

TEST_F(EditorsInTheProgram, ARenamedChannelAndADrawnCharacterAreInTheSavedFile)
{
    Start();
    Form().SetClientSize(1000, 500);
    NameNewChannel("North gate");

    // User character 1 of the portable set: a dot in its upper left corner.
    OpenCaption("Portable Radio Characters");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Common_CEdit");
    const plat::Point glyph = CellOf(CL_CEdit, 0);
    ClickCell(glyph.x, glyph.y);
    plat::SendKey(Form(), plat::VK_RETURN);
    Wait();
    cuiCEdit* chars = cuiCEdit::Newest();
    ASSERT_NE(chars, nullptr);
    EXPECT_FALSE(Form().Enabled());
    const plat::Rect dot = chars->DotRect(1, 1);
    plat::ClickAt(*chars->Matrix(), dot.left + 1, dot.top + 1);
    chars->OkButton()->Click();
    Wait();
    EXPECT_EQ(cuiCEdit::Newest(), nullptr);
    EXPECT_TRUE(Form().Enabled());

    const std::string file = user.Documents() + "renamed.icf";
    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_Save));
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_FALSE(Main().IsModified());

    // A new document forgets both; opening the file brings them back.
    Choose(MenuItem(CL_Menu_File_New));
    auto cornerDot = [&] {
        datCh ch(&Main().CurrentImage());
        ch.Unpack(kPortableSet, 0);
        // The form in use: 7 x 19 in the first 21 bytes (layout flag set),
        // else 7 x 32 after them; row r in bit 7 - r % 8 of the column's
        // byte r / 8.
        const bool flag = LcdLayoutFlag();
        return (ch.CharBitmap[(flag ? 0 : 21) + (flag ? 3 : 4) * 1] >> 6) & 1;
    };
    EXPECT_NE(ChannelName(), "North gate  ");
    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_Open));
    Wait();
    EXPECT_EQ(BankChannelCount(1), 1);
    EXPECT_EQ(ChannelName(), "North gate  ");
    EXPECT_EQ(cornerDot(), 1);
}

// Alt with a menu's letter in the name editor types nothing: the editor
// commits, as when it loses activation, and that menu of the main window
// opens.
TEST_F(EditorsInTheProgram, AMenuKeyInTheNameEditorCommitsAndOpensItsMenu)
{
    Start();
    Form().SetClientSize(1000, 500);
    NameNewChannel("Gate");
    const plat::Point cell = CellOf(CL_Mch_Text, 0);
    ClickCell(cell.x, cell.y);
    plat::TypeText(Form(), "Y");
    Wait();
    cuiFText* text = cuiFText::Newest();
    ASSERT_NE(text, nullptr);
    plat::SendKey(*text->Window(), 'F', plat::ssAlt);
    Wait(); // the main window comes back: the editor loses activation
    Wait(); // and goes; the menu opens
    EXPECT_EQ(cuiFText::Newest(), nullptr);
    EXPECT_EQ(ChannelName(), "Y           ");
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title().toStdString(), "&File");
    menu->close();
    Wait();
}

class EditorsAndTheRadio : public EditorsInTheProgram {
protected:
    EditorsAndTheRadio() { radio.pacing = false; }
    void UntilDone()
    {
        ASSERT_TRUE(time.host.AdvanceUntil([&] { return !Main().CloneMan().IsBusy(); }, 120000, 10));
        Wait(100);
    }
    static constexpr int kPort = 3;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    qmsim::MemoryRadioLink link{line};
    qmsim::CloneRadio radio{link};
};

TEST_F(EditorsAndTheRadio, ARenamedChannelIsWrittenToTheRadio)
{
    Start();
    Environ().ComPort = kPort;
    // The radio holds the program's defaults.
    {
        cmcEeprom& doc = Main().CurrentImage();
        const cmcEeprom kept(doc);
        ASSERT_EQ(Static2Dynamic(doc, false, false, false), kPackOk);
        radio.memory.assign(doc.Data(), doc.Data() + EepromMap::CloneSize);
        doc.Assign(kept);
    }
    radio.SetExtendedAddressing(true);
    radio.SetEndAddress(EepromMap::CloneLast);
    radio.Start();
    Form().SetClientSize(1000, 500);
    NameNewChannel("Depot");

    dialogs.Answer(plat::IDOK); // the write confirmation
    dialogs.Answer(plat::IDOK); // the write succeeded
    Choose(MenuItem(CL_Menu_Clone_Write));
    UntilDone();
    EXPECT_EQ(radio.Stats().writesDone, 1);
    EXPECT_TRUE(radio.Stats().lastWriteOk);

    // Read back from the radio, the channel has its name.
    dialogs.Answer(plat::IDNO); // the document is not saved first
    Choose(MenuItem(CL_Menu_Clone_Read));
    UntilDone();
    EXPECT_EQ(BankChannelCount(1), 1);
    EXPECT_EQ(ChannelName(), "Depot       ");
}

} // namespace
