// A user's way through the program: a bank picked in the tree opens its
// channel sheet; frequencies typed into the row marked New become channels
// of that bank, each with a row of its own and a new empty row after it.
#include "tests/app/AppFixture.h"

#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/TextFunctions.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcCellObj.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indMain.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <QMenu>

#include <algorithm>
#include <cstdlib>

namespace {

class BankEditing : public apptest::ProgramFixture {
protected:
    int ColumnOf(int label)
    {
        const int row = Grid().RowCount() - 1;
        for (int col = 0; col < Grid().ColCount(); ++col)
            if (Sheet().CellAt(col, row).Label == label) return col;
        return -1;
    }
    int RoomInTitle()
    {
        const std::string& text = Sheet().TitleLabel()->Caption();
        const size_t dash = text.rfind("- ");
        return dash == std::string::npos ? -1 : std::atoi(text.c_str() + dash + 2);
    }
};

TEST_F(BankEditing, FrequenciesTypedIntoTheNewRowBecomeChannelsOfTheBankPickedInTheTree)
{
    Start();
    Form().SetClientSize(1000, 420);
    plat::TreeView* view = Main().Tree()->View();
    // The radio, its memory channels, the bank operations, then bank 1 and 2.
    view->SetSelected(view->Item(4));
    Wait(400);
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Mch_Lmr");
    const int emptyRow = Grid().RowCount() - 1;
    const int freq = ColumnOf(CL_Mch_FreqR);
    ASSERT_GE(freq, 0);
    EXPECT_EQ(CellText(0, emptyRow), "New");
    const int room = RoomInTitle();

    TypeInto(freq, emptyRow, "146.05");
    TypeInto(freq, emptyRow + 1, "155.3");
    EXPECT_EQ(BankChannelCount(1), 2);
    EXPECT_EQ(BankChannelCount(0), 0);
    ASSERT_EQ(Grid().RowCount(), emptyRow + 3);
    EXPECT_EQ(CellText(freq, emptyRow), "146.050000");
    EXPECT_EQ(CellText(freq, emptyRow + 1), "155.300000");
    EXPECT_EQ(CellText(0, emptyRow + 1), "2-  2");
    EXPECT_EQ(CellText(0, emptyRow + 2), "New");
    EXPECT_EQ(RoomInTitle(), room - 2);
    EXPECT_TRUE(Main().IsModified());
    // Once the check has run, the bank's node shows a filled bank.
    constexpr int EmptyBankIcon = 4, FilledBankIcon = 5;
    EXPECT_EQ(view->Item(4)->ImageIndex(), EmptyBankIcon);
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    EXPECT_EQ(view->Item(4)->ImageIndex(), FilledBankIcon);
    EXPECT_EQ(view->Item(3)->ImageIndex(), EmptyBankIcon);

    // The first digit makes the channel; a frequency beyond the radio's
    // range then leaves it without one, shown empty, for the user to retype.
    TypeInto(freq, emptyRow + 2, "5000");
    EXPECT_EQ(BankChannelCount(1), 3);
    EXPECT_EQ(CellText(0, emptyRow + 2), "2-  3");
    EXPECT_EQ(CellText(freq, emptyRow + 2), "");
    EXPECT_TRUE(BoxTexts().empty());
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "app-bank-sheet.png").string()));
}

TEST_F(BankEditing, TheRowMenuOnTheNewRowOffersNothingThatReachesTheNextBank)
{
    Start();
    Form().SetClientSize(1000, 420);
    // Bank 2 (index 1) with channels 2-1 to 2-3, bank 3 with one channel.
    datCh ch(&Main().CurrentImage());
    SetBankChannelCount(1, 3);
    SetBankChannelCount(2, 1);
    for (int n = 0; n < 4; ++n) {
        ch.Unpack(MchRecordKind(), n);
        ch.RxFreq = uint32_t(146000000 + 12500 * n);
        ch.Pack(MchRecordKind(), n);
    }
    plat::TreeView* view = Main().Tree()->View();
    view->SetSelected(view->Item(4));
    Wait(400);
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Mch_Lmr");
    const int newRow = Grid().RowCount() - 1;
    ASSERT_EQ(CellText(0, newRow), "New");
    const int freq = ColumnOf(CL_Mch_FreqR);
    auto click = [&](int row, plat::MouseButton button) {
        const plat::Rect r = Grid().GetCellRect(freq, row);
        plat::ClickAt(Grid(), (r.left + r.right) / 2, (r.top + r.bottom) / 2, button);
    };
    auto enabled = [&](int label) {
        plat::MenuItem* item = Sheet().PopupCuiMenu()->FindItem(nullptr, label);
        return item != nullptr && item->Enabled() ? 1 : 0;
    };
    auto state = [&] {
        std::string s;
        for (int label : {CL_PMenu_Copy, CL_PMenu_CarryUp, CL_PMenu_CarryDown, CL_PMenu_Clear, CL_PMenu_Delete})
            s += std::to_string(enabled(label));
        return s;
    };

    // From the bank's last channel to the New row: the menu judges the New row.
    click(newRow - 1, plat::mbLeft);
    click(newRow, plat::mbLeft);
    click(newRow, plat::mbRight);
    ASSERT_NE(Sheet().PopupCuiMenu(), nullptr);
    EXPECT_TRUE(Sheet().PopupMenu()->Menu()->isVisible());
    EXPECT_EQ(state(), "00000");  // copy, up, down, clear, delete
    Sheet().PopupMenu()->Menu()->hide();
    // The first channel moves down only, the last one up only.
    click(newRow - 3, plat::mbLeft);
    EXPECT_EQ(state(), "10111");
    click(newRow - 1, plat::mbLeft);
    EXPECT_EQ(state(), "11011");

    // Clear and Delete sent to the New row all the same touch nothing (the
    // engine packs the tables after a command).
    Main().Pack(Main().CurrentImage());
    const cmcEeprom before = Main().CurrentImage();
    click(newRow, plat::mbLeft);
    for (int command : {CL_PMenu_Clear, CL_PMenu_Delete}) Sheet().DoAction(Grid().Col(), newRow, 0, command, nullptr);
    Wait();
    EXPECT_TRUE(Main().CurrentImage().Equals(before));
    EXPECT_EQ(BankChannelCount(1), 3);
    EXPECT_EQ(BankChannelCount(2), 1);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(BankEditing, TheWarningCheckMarksTheBankOfAFaultyChannelInTheTreeUntilItIsMended)
{
    // A PMR radio's bank 1 holds a channel with MSK signalling whose
    // selective call the signalling cannot use: the program's own check list,
    // on the real data files, marks that bank's node with an error.
    Start(false);
    Environ().ModelType = indMain::ModelTypePmr;
    form = std::make_unique<TForm1>();
    Wait();
    constexpr int Pmr = 2;
    auto channel = [&](bool faulty) {
        datCh ch(&Main().CurrentImage());
        ch.Unpack(Pmr, 0);
        ch.RxFreq = ch.TxFreq = 151625000;
        ch.State.InUse = 1;
        ch.State.Active = 1;
        ch.ChFlagsC.Moni = 6;
        ch.ChFlagsF.MskSig = faulty;
        ch.ChFlagsD.Sel = !faulty;
        ch.Pack(Pmr, 0);
    };
    SetBankChannelCount(0, 1);
    channel(true);
    Main().ScheduleCheck();
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    plat::TreeView* view = Main().Tree()->View();
    // The radio, its memory channels, the bank operations, then the banks.
    EXPECT_EQ(view->Item(3)->OverlayIndex(), cuiTree::ErrorOverlay);
    EXPECT_EQ(view->Item(4)->OverlayIndex(), cuiTree::NoOverlay);
    EXPECT_FALSE(Main().CheckErrors().empty());

    channel(false);
    Main().ScheduleCheck();
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    EXPECT_EQ(view->Item(3)->OverlayIndex(), cuiTree::NoOverlay);
    EXPECT_TRUE(Main().CheckErrors().empty());
}

// The hint over a bank sheet stays whole while the sheet is scrolled to its
// last columns: it runs on over every column, so part of it always shows.
TEST_F(BankEditing, TheHintStaysWholeWhenTheSheetScrollsSideways)
{
    for (int modelType : {indMain::ModelTypeLmr, indMain::ModelTypePmr}) {
        SCOPED_TRACE(modelType == indMain::ModelTypeLmr ? "LMR" : "PMR");
        StartModel(modelType, false, false);
        OpenPage(ProgramBankSheets(modelType).front());
        Grid().SetLeftCol(Grid().ColCount() - 1);
        Wait();
        ASSERT_GT(Grid().LeftCol(), Grid().FixedCols() + 8);
        int shown = 0;
        for (int col = 0; col < Grid().FixedCols(); ++col) shown += Grid().ColWidths(col);
        for (int col = Grid().LeftCol(); col < Grid().ColCount(); ++col)
            if ((Sheet().CellAt(col, 0).FlagsA & cmcCellObj::LetterPlus) != 0) shown += Grid().ColWidths(col);
        shown = std::min(shown, Grid().ClientWidth());
        const cmcCellObj& hint = Sheet().CellAt(0, 0);
        plat::Canvas& canvas = Grid().GetCanvas();
        Sheet().ApplyCellFont(hint, canvas.GetFont());
        EXPECT_LE(MultiLineTextExtent(canvas, hint.GetText()).cx, shown) << hint.GetText();
    }
}

// The emergency divert column offers what the model's memory keeps: on LMR a
// divert to channel 1-2 set on channel 1-1 comes back from the saved file; a
// PMR radio's memory keeps the divert mode but no target channel, so there
// the column steps through the modes without "Direct channel", and a divert
// to a zone chosen in it comes back from the saved file.
TEST_F(BankEditing, AnEmergencyDivertIsOfferedAsFarAsSavingKeepsIt)
{
    constexpr int kDivertToZone = 1, kDivertToChannel = 2;
    for (int modelType : {indMain::ModelTypeLmr, indMain::ModelTypePmr}) {
        const bool pmr = modelType == indMain::ModelTypePmr;
        SCOPED_TRACE(pmr ? "PMR" : "LMR");
        StartModel(modelType, true, false);
        const std::string bankPage = ProgramBankSheets(modelType).front();
        OpenPage(bankPage);
        const int col = ColumnOf(CL_Mch_EDivert);
        ASSERT_GE(col, 0);
        datCh channel(&Main().CurrentImage());
        if (pmr) {
            // Space steps through every mode the list offers, back to the first.
            int found = 0, row = 0;
            ASSERT_TRUE(FindCell(CL_Mch_EDivert, 0, found, row));
            std::vector<std::string> offered{CellText(col, row)};
            ClickCell(col, row);
            for (int step = 0; step < 3; ++step) {
                plat::SendKey(Form(), plat::VK_SPACE);
                Wait();
                offered.push_back(CellText(col, row));
            }
            EXPECT_EQ(offered, (std::vector<std::string>{"Current/Global", "Zone", "Current/Global", "Zone"}));
            EXPECT_FALSE(ShowCell(col, row).ErrorMark);
        } else {
            // As the cell's pickers store it: channel index 1.
            channel.Unpack(MchRecordKind(), 0);
            channel.ChFlagsA.EDivert = kDivertToChannel;
            channel.EDivertTarget = 1;
            channel.Pack(MchRecordKind(), 0);
        }
        const int mode = pmr ? kDivertToZone : kDivertToChannel;
        EXPECT_EQ(channel.Unpack(MchRecordKind(), 0).ChFlagsA.EDivert, mode);
        const std::string shown = LabelText(CL_Mch_EDivert, 0);
        const std::string file = user.Documents() + "divert" + std::to_string(modelType) + ".icf";
        dialogs.AnswerFile(file);
        ASSERT_EQ(Main().FileSaveAs(), 0);
        ASSERT_EQ(Main().FileNew(), 0);
        ASSERT_EQ(Main().OpenFile(file), 0);
        OpenPage(bankPage);
        EXPECT_EQ(LabelText(CL_Mch_EDivert, 0), shown);
        datCh reopened(&Main().CurrentImage());
        reopened.Unpack(MchRecordKind(), 0);
        EXPECT_EQ(reopened.ChFlagsA.EDivert, mode);
        if (!pmr) {
            EXPECT_EQ(reopened.EDivertTarget, 1);
        }
    }
    EXPECT_TRUE(BoxTexts().empty());
}

// A PMR channel read in with a divert to a channel (as files saved by older
// versions hold, or a radio may) still sends that mode to the radio: the
// cell shows it as an error, the bank's tree node is marked and Clone > Write
// refuses, until a mode the memory keeps is chosen.
TEST_F(BankEditing, APmrDivertToAChannelIsAnErrorThatStopsAWriteUntilAKeptModeIsChosen)
{
    constexpr int kDivertToChannel = 2;
    StartModel(indMain::ModelTypePmr, true, false);
    const std::string bankPage = ProgramBankSheets(indMain::ModelTypePmr).front();
    datCh channel(&Main().CurrentImage());
    channel.Unpack(MchRecordKind(), 0);
    channel.ChFlagsA.EDivert = kDivertToChannel;
    channel.Pack(MchRecordKind(), 0);
    OpenPage(bankPage);
    int col = 0, row = 0;
    ASSERT_TRUE(FindCell(CL_Mch_EDivert, 0, col, row));
    const Shown stored = ShowCell(col, row);
    EXPECT_EQ(stored.Text, "Direct channel");
    EXPECT_TRUE(stored.ErrorMark);
    int errors = 0;
    Main().UpdateCheckList(&errors, nullptr);
    EXPECT_GT(errors, 0);
    const std::vector<std::string>& named = Main().CheckErrors();
    EXPECT_NE(std::find(named.begin(), named.end(), bankPage), named.end()) << "the bank's node is marked";
    dialogs.Answer(plat::IDOK);
    Choose(MenuItem(CL_Menu_Clone_Write));
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0].rfind("The data contain errors", 0), 0u) << BoxTexts()[0];

    // Space takes the cell to a mode the memory keeps: the mark and the
    // check's error go.
    ClickCell(col, row);
    plat::SendKey(Form(), plat::VK_SPACE);
    Wait();
    const Shown chosen = ShowCell(col, row);
    EXPECT_EQ(chosen.Text, "Current/Global");
    EXPECT_FALSE(chosen.ErrorMark);
    EXPECT_EQ(channel.Unpack(MchRecordKind(), 0).ChFlagsA.EDivert, 0);
    Main().UpdateCheckList(&errors, nullptr);
    EXPECT_EQ(errors, 0);
    EXPECT_TRUE(Main().CheckErrors().empty());
}

TEST_F(BankEditing, TheBanksPageOfEitherModelShowsAValueInEveryCell)
{
    // The initial file's banks as the Banks page of the tree shows them:
    // every setting a bank starts with is one its list offers.
    for (int modelType : {indMain::ModelTypeLmr, indMain::ModelTypePmr}) {
        SCOPED_TRACE(modelType == indMain::ModelTypeLmr ? "LMR" : "PMR");
        form.reset();
        globals.reset();
        Start(false);
        Environ().ModelType = modelType;
        form = std::make_unique<TForm1>();
        Wait();
        plat::TreeView* view = Main().Tree()->View();
        view->SetSelected(view->Item(2));
        Wait(400);
        ASSERT_NE(Main().CurrentSheet(), nullptr);
        ASSERT_GT(Grid().RowCount(), 100);
        EXPECT_EQ(Main().CurrentSheetKey(), modelType == indMain::ModelTypeLmr ? "GI_Sheet_BankOpLtr" : "GI_Sheet_BankOpPmr");
        EXPECT_EQ(CellText(2, Grid().FixedRows()), "Conventional");
        for (int row = 0; row < Grid().RowCount(); ++row)
            for (int col = 0; col < Grid().ColCount(); ++col)
                ASSERT_NE(CellText(col, row), "error") << "column " << col << ", row " << row;
    }
}

TEST_F(BankEditing, APmrVoteZoneKeepsItsSettingsThroughSavingAndOpening)
{
    // Bank 1 of a PMR radio is a vote zone with one channel: the Banks page
    // shows its vote-zone settings, and one changed there comes back from
    // the saved file.
    StartModel(indMain::ModelTypePmr, false, false);
    constexpr int Pmr = 2;
    SetVoteZoneBank(0, 1);
    SetBankChannelCount(0, 1);
    {
        datCh ch(&Main().CurrentImage());
        ch.Unpack(Pmr, 0);
        ch.RxFreq = ch.TxFreq = 151625000;
        ch.Pack(Pmr, 0);
    }
    OpenPage("GI_Sheet_BankOpPmr,Bank %d,%d,0");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_BankOpPmr");
    int col = 0, row = 0;
    for (int label : {CL_VoteZone_RfPo, CL_VoteZone_Scrm_On, CL_VoteZone_Scrm_Type, CL_VoteZone_Scrm_Code,
                      CL_VoteZone_Encryption, CL_VoteZone_Fast_Mute}) {
        ASSERT_TRUE(FindCell(label, 0, col, row)) << CellLabelName(label);
        EXPECT_NE(CellText(col, row), "---") << CellLabelName(label);
    }
    ASSERT_TRUE(FindCell(CL_VoteZone_Fast_Mute, 0, col, row));
    const std::string before = CellText(col, row);
    ClickCell(col, row);
    plat::SendKey(Form(), plat::VK_SPACE);
    Wait();
    const std::string after = CellText(col, row);
    ASSERT_NE(after, before);
    datCh bank(&Main().CurrentImage());
    const int fastMute = bank.Unpack(13, 0).VoteZoneFlags.FastMute;

    const std::string file = user.Documents() + "vote.icf";
    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_SaveAs));
    Choose(MenuItem(CL_Menu_File_New));
    EXPECT_EQ(bank.Unpack(13, 0).VoteZoneFlags.FastMute, 0);
    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_Open));
    EXPECT_EQ(bank.Unpack(13, 0).VoteZoneFlags.FastMute, fastMute);
    OpenPage("GI_Sheet_BankOpPmr,Bank %d,%d,0");
    EXPECT_EQ(LabelText(CL_VoteZone_Fast_Mute, 0), after);
}

} // namespace
