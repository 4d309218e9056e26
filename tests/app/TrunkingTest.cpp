// A technician's way through an LTR bank in the running program: the bank's
// Home repeater cell opens the repeater window; repeaters typed there and a
// home repeater chosen clear the check; the bank's channels take their group
// IDs on the bank sheet; Cancel in the window puts everything back.
#include "tests/app/AppFixture.h"

#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "cells/ValueHandlers.h"
#include "core/cmcCellCapsule.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "model/iuiRptSetWin.h"
#include "model/iuiSh_Mch.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiFlector.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <filesystem>

namespace {

class Trunking : public apptest::ProgramFixture {
protected:
    static int ColumnOf(cuiSheet& sheet, int label)
    {
        cuiGrid& grid = *sheet.Grid();
        for (int row = grid.RowCount() - 1; row >= 0; --row)
            for (int col = 0; col < grid.ColCount(); ++col)
                if (sheet.CellAt(col, row).Label == label) return col;
        return -1;
    }
    static std::string Text(cuiSheet& sheet, int col, int row)
    {
        cmcCellCapsule capsule;
        sheet.FillCapsule(col, row, capsule);
        indActiveCell().Exec(&capsule, 0);
        return capsule.Text;
    }
    // Clicks the cell (scrolled into view) and sends the keys.
    void Click(cuiSheet& sheet, plat::Form& window, int col, int row)
    {
        cuiGrid& grid = *sheet.Grid();
        if (col > grid.LastVisibleCol()) grid.SetLeftCol(col);
        if (row > grid.LastVisibleRow()) grid.SetTopRow(row);
        const plat::Rect r = grid.GetCellRect(col, row);
        plat::ClickAt(grid, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        (void)window;
        Wait();
    }
    void TypeInto(cuiSheet& sheet, plat::Form& window, int col, int row, const std::string& text)
    {
        Click(sheet, window, col, row);
        plat::TypeText(window, text);
        plat::SendKey(window, plat::VK_RETURN);
        Wait();
    }
    void SavePicture(const plat::Control& control, const std::string& name)
    {
        ASSERT_TRUE(plat::SavePng(control, (qmtest::OutputDir() / ("trunking-" + name)).string()));
    }
    // Opens the repeater window of bank 0 from the Banks page.
    iuiRptSetWin* OpenWindow()
    {
        plat::TreeView* view = Main().Tree()->View();
        view->SetSelected(view->Item(2));
        Wait(400);
        cuiSheet& banks = *Main().CurrentSheet();
        const int col = ColumnOf(banks, CL_Mch_Rpt);
        const int row = banks.Grid()->FixedRows();
        Click(banks, Form(), col, row);
        plat::SendKey(Form(), plat::VK_RETURN);
        Wait();
        return iuiRptSetWin::Current();
    }
};

TEST_F(Trunking, AnLtrBankIsSetUpThroughTheRepeaterWindowAndItsChannelsGroupColumns)
{
    Start();
    Form().SetClientSize(1100, 600);
    SetLtrBank(0, 1);
    Main().ScheduleCheck();
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    EXPECT_FALSE(Main().CheckErrors().empty());

    iuiRptSetWin* window = OpenWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(Form().Enabled());
    cuiSheet& list = *window->Sheet();
    plat::Form& w = *window->Window();
    const int freq = ColumnOf(list, CL_Rpt_FreqR);
    ASSERT_GE(freq, 0);
    int row = list.Grid()->RowCount() - 1;
    EXPECT_EQ(Text(list, 0, row), "New");
    TypeInto(list, w, freq, row, "451.5");
    TypeInto(list, w, freq, row + 1, "452.5");
    ASSERT_EQ(GroupItemCount(0, 22), 2);
    EXPECT_EQ(Text(list, freq, row), "451.500000");
    EXPECT_EQ(Text(list, ColumnOf(list, CL_Rpt_FreqT), row + 1), "457.500000");

    // The second repeater becomes the home repeater through its list.
    const int home = ColumnOf(list, CL_Rpt_Atr);
    Click(list, w, home, row + 1);
    plat::SendKey(w, plat::VK_RETURN);
    Wait();
    cuiFlector* pick = cuiFlector::Newest();
    ASSERT_NE(pick, nullptr);
    plat::SendKey(*pick->Window(), plat::VK_DOWN);
    plat::SendKey(*pick->Window(), plat::VK_RETURN);
    Wait();
    EXPECT_EQ(Text(list, home, row + 1), "H");
    SavePicture(w, "repeater-window.png");

    window->OkButton()->Click();
    Wait();
    EXPECT_EQ(iuiRptSetWin::Current(), nullptr);
    EXPECT_TRUE(Form().Enabled());
    Main().ScheduleCheck();
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    EXPECT_TRUE(Main().CheckErrors().empty());

    // The bank's sheet: a channel made by its receive group ID.
    plat::TreeView* view = Main().Tree()->View();
    view->SetSelected(view->Item(3));
    Wait(400);
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Mch_Lmr");
    cuiSheet& bank = *Main().CurrentSheet();
    const int rxId = ColumnOf(bank, CL_Grp_RxId);
    ASSERT_GE(rxId, 0);
    const int newRow = bank.Grid()->RowCount() - 1;
    TypeInto(bank, Form(), rxId, newRow, "12");
    ASSERT_EQ(BankChannelCount(0), 1);
    TypeInto(bank, Form(), ColumnOf(bank, CL_Grp_HomeRptCh), newRow, "2");
    datCh ch(&Main().CurrentImage());
    ch.Unpack(MchRecordKind(), BankFirstChannel(0));
    EXPECT_EQ(ch.GrpRxId, 12);
    EXPECT_EQ(ch.GrpHomeRptCh, 2);
    // A new channel's transmit ID follows its receive ID until it is set apart.
    const int txId = ColumnOf(bank, CL_Grp_TxId);
    EXPECT_EQ(ch.GrpTxId, 12);
    EXPECT_EQ(Text(bank, txId, newRow), "<-");
    TypeInto(bank, Form(), txId, newRow, "30");
    TypeInto(bank, Form(), rxId, newRow, "40");
    ch.Unpack(MchRecordKind(), BankFirstChannel(0));
    EXPECT_EQ(ch.GrpRxId, 40);
    EXPECT_EQ(ch.GrpTxId, 30);
    SavePicture(Form(), "ltr-bank-sheet.png");
    EXPECT_TRUE(BoxTexts().empty());
}

// Every channel of an LTR bank goes to the radio and into a file with its
// bank's home repeater, so the channels' Home repeater cells show the bank's
// and take no other: what they show before saving comes back after it.
TEST_F(Trunking, AChannelsHomeRepeaterIsItsBanksAndComesBackFromTheFileAsShown)
{
    constexpr int kLtrRepeaters = 22, kRepeaters = 3, kBankHome = 1;
    Start();
    Form().SetClientSize(1100, 600);
    SetLtrBank(0, 1);
    SetGroupItemCount(0, kRepeaters, kLtrRepeaters);
    datCh item(&Main().CurrentImage());
    for (int k = 0; k < kRepeaters; ++k) {
        item.Unpack(kLtrRepeaters, GroupFirstItem(0, kLtrRepeaters) + k);
        item.RptRxFreq = 451500000 + 1000000 * k;
        item.RptTxFreq = item.RptRxFreq + 5000000;
        item.Attr.HomeRpt = k + 1 == kBankHome;
        item.Commit();
    }
    item.Unpack(13, 0);
    item.LtrHomeRpt = kBankHome;
    item.Commit();
    SetBankChannelCount(0, 3);
    for (int n = 0; n < 3; ++n) {
        item.Unpack(MchRecordKind(), n);
        item.GrpRxId = item.GrpTxId = uint8_t(10 + n);
        item.Commit();
    }

    const std::string bankPage = ProgramBankSheets(indMain::ModelTypeLmr).front();
    OpenPage(bankPage);
    const int home = ColumnOf(Sheet(), CL_Grp_HomeRptCh);
    ASSERT_GE(home, 0);
    const int first = Grid().RowCount() - 4;  // the three channels, then New
    const char* typed[] = {"2", "1", "5"};
    std::vector<std::string> shown;
    for (int n = 0; n < 3; ++n) {
        TypeInto(Sheet(), Form(), home, first + n, typed[n]);
        shown.push_back(Text(Sheet(), home, first + n));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "1", "1"}));

    const std::string file = user.Documents() + "home.icf";
    dialogs.AnswerFile(file);
    ASSERT_EQ(Main().FileSaveAs(), 0);
    ASSERT_EQ(Main().FileNew(), 0);
    ASSERT_EQ(Main().OpenFile(file), 0);
    OpenPage(bankPage);
    datCh reopened(&Main().CurrentImage());
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(Text(Sheet(), home, first + n), shown[size_t(n)]) << "channel " << n + 1;
        EXPECT_EQ(reopened.Unpack(MchRecordKind(), n).GrpHomeRptCh, kBankHome) << "channel " << n + 1;
    }
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(Trunking, CancelInTheRepeaterWindowPutsBackWhatItChanged)
{
    Start();
    Form().SetClientSize(1100, 600);
    SetLtrBank(0, 1);
    const cmcEeprom before(Main().CurrentImage());
    iuiRptSetWin* window = OpenWindow();
    ASSERT_NE(window, nullptr);
    cuiSheet& list = *window->Sheet();
    const int freq = ColumnOf(list, CL_Rpt_FreqR);
    const int row = list.Grid()->RowCount() - 1;
    TypeInto(list, *window->Window(), freq, row, "451.5");
    ASSERT_EQ(GroupItemCount(0, 22), 1);
    // The list also renames its bank; the tree follows.
    const std::string name = FormatBankName(before, 0);
    TypeInto(list, *window->Window(), ColumnOf(list, CL_Rpt_Text), row, "HILLTOP");
    Wait();
    const plat::TreeNode* bankNode = Main().Tree()->View()->Item(3);
    ASSERT_NE(FormatBankName(Main().CurrentImage(), 0), name);
    EXPECT_EQ(bankNode->Text(), FormatBankName(Main().CurrentImage(), 0));

    dialogs.Answer(plat::IDOK);  // discard the changes
    window->CancelButton()->Click();
    Wait();
    EXPECT_EQ(iuiRptSetWin::Current(), nullptr);
    EXPECT_EQ(GroupItemCount(0, 22), 0);
    EXPECT_EQ(BoxTexts().size(), 1u);
    cmcEeprom packedBefore(before);
    Main().Pack(packedBefore);
    EXPECT_TRUE(Main().CurrentImage().Equals(packedBefore));
    EXPECT_EQ(bankNode->Text(), name);

    // A rename alone is a change that Cancel asks about and puts back.
    window = OpenWindow();
    ASSERT_NE(window, nullptr);
    cuiSheet& again = *window->Sheet();
    TypeInto(again, *window->Window(), ColumnOf(again, CL_Rpt_Text), again.Grid()->RowCount() - 1, "VALLEY");
    ASSERT_NE(FormatBankName(Main().CurrentImage(), 0), name);
    dialogs.Answer(plat::IDOK);
    window->CancelButton()->Click();
    Wait();
    EXPECT_EQ(iuiRptSetWin::Current(), nullptr);
    EXPECT_EQ(BoxTexts().size(), 2u);
    EXPECT_EQ(FormatBankName(Main().CurrentImage(), 0), name);
    EXPECT_EQ(bankNode->Text(), name);
}

TEST_F(Trunking, OkWithoutEditsChangesNothingAndKeepsThePlacementForNextTime)
{
    Start();
    Form().SetClientSize(1100, 600);
    SetLtrBank(0, 1);
    const cmcEeprom before(Main().CurrentImage());
    iuiRptSetWin* window = OpenWindow();
    ASSERT_NE(window, nullptr);
    const dst_EditFormPos* open = Environ().EditFormPosition("GI_Sheet_RptSetWin");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->Open, 1);
    window->Window()->SetBounds(40, 30, 700, 400);
    window->OkButton()->Click();
    Wait();
    EXPECT_EQ(iuiRptSetWin::Current(), nullptr);
    // The Banks page packs the image for its free-space figures.
    cmcEeprom packedBefore(before);
    Main().Pack(packedBefore);
    EXPECT_TRUE(Main().CurrentImage().Equals(packedBefore));
    EXPECT_TRUE(BoxTexts().empty());
    const dst_EditFormPos* closed = Environ().EditFormPosition("GI_Sheet_RptSetWin");
    ASSERT_NE(closed, nullptr);
    EXPECT_EQ(closed->Open, 0);
    EXPECT_EQ(closed->Width, 700);

    // The next window opens where this one was.
    window = OpenWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Window()->Width(), 700);
    window->OkButton()->Click();
    Wait();
}

TEST_F(Trunking, TabGoesFromOkToCancelLoadAndSaveInTheRepeaterWindow)
{
    Start();
    SetLtrBank(0, 1);
    iuiRptSetWin* window = OpenWindow();
    ASSERT_NE(window, nullptr);
    plat::Form& form = *window->Window();
    const plat::Button* const order[] = {window->CancelButton(), window->LoadButton(), window->SaveButton()};
    window->OkButton()->SetFocus();
    ASSERT_TRUE(window->OkButton()->Focused());
    for (const plat::Button* next : order) {
        plat::SendKey(form, plat::VK_TAB);
        EXPECT_TRUE(next->Focused()) << next->Caption();
    }
    window->OkButton()->Click();
    Wait();
}

// The ZEPH ID and talk-group lists end in the row where a new entry is
// typed, titled New as on every other list.
TEST_F(Trunking, TheZephListsTitleTheRowAfterTheirLastEntryNew)
{
    Start();
    const struct {
        const char* spec;
        int entryLabel;
        int (*count)();
    } pages[] = {
        {"GI_Sheet_ZEPH_Ind_Id,x 9", CL_ZEPH_Ind_Id_Dec, [] { return IndListCount(28); }},
        {"GI_Sheet_ZEPH_Grp_Id,q 9", CL_ZEPH_Grp_Id_Dec, [] { return TgListCount(29); }},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.spec);
        OpenPage(page.spec);
        const int count = page.count();
        int col = 0, row = 0;
        ASSERT_TRUE(FindCell(page.entryLabel, count, col, row));
        EXPECT_EQ(CellText(0, row), "New");
        TypeInto(Sheet(), Form(), col, row, "1500");
        ASSERT_EQ(page.count(), count + 1);
        std::string number = CellText(0, row);
        number.erase(0, number.find_first_not_of(' '));
        EXPECT_EQ(number, std::to_string(count + 1));
        ASSERT_TRUE(FindCell(page.entryLabel, count + 1, col, row));
        EXPECT_EQ(CellText(0, row), "New");
    }
    EXPECT_TRUE(BoxTexts().empty());
}

}  // namespace
