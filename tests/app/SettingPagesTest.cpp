// The setting pages in the running program: each opens from its node in the
// tree, a value changed on it with the keyboard is saved to a clone file,
// File > New brings the default back, and opening the file shows the value
// again. A picture of the common settings page is kept.
#include "tests/app/AppFixture.h"

#include "core/CellNames.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indMain.h"
#include "platform/ui/Keys.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <filesystem>

namespace {

class SettingPages : public apptest::ProgramFixture {};

struct Page {
    const char* spec;
    int label;
};

const Page kPages[] = {
    {"GI_Sheet_Scan_List", CL_ScanList_ScanMode},
    {"[St_Common]GI_Sheet_ScanVote", CL_ScanComm_VoteOnFast},
    {"[St_Common]GI_Sheet_Comm_General", CL_Comm_Tot_Timer},
    {"[St_Common]GI_Sheet_Comm_Ports", CL_Comm_DSUB25_SPPED},
    {"[St_Common]GI_Sheet_Gps", CL_Comm_Gps_Prio},
    {"[St_Common]GI_Sheet_Comm_Emergency", CL_Emer_Timer_Start},
    {"[St_Common]GI_Sheet_Comm_Stun", CL_Comm_Strv_Beep_ON},
    {"[St_Common]GI_Sheet_Comm_Squelch", CL_Comm_SqlLvl_1},
    {"[St_Common]GI_Sheet_Comm_ChGrp", CL_Comm_ChGrp_ON},
    {"[St_Common]GI_Sheet_SetMode", CL_USetM_BeepOn},
    {"[St_Common]GI_Sheet_KDisp_B2B3", CL_KDisp_CRKnob},
    {"[St_Common]GI_Sheet_Digital_TalkGroup", CL_Digi_Opt_OAA_LstOvrwrt},
};

TEST_F(SettingPages, AValueChangedOnEachPageIsSavedAndOpenedAgain)
{
    Start();
    Form().SetClientSize(1000, 600);
    std::vector<std::string> before, changed;
    for (const Page& page : kPages) {
        OpenPage(page.spec);
        ASSERT_TRUE(std::string(page.spec).ends_with(Main().CurrentSheetKey())) << page.spec;
        int col = 0, row = 0;
        ASSERT_TRUE(FindCell(page.label, col, row)) << page.spec;
        before.push_back(CellText(col, row));
        Sheet().SelectCell(col, row);
        ClickCell(col, row);
        plat::SendKey(Form(), plat::VK_SPACE);
        Wait();
        changed.push_back(CellText(col, row));
        EXPECT_NE(changed.back(), before.back()) << page.spec;
    }
    EXPECT_TRUE(Main().IsModified());
    const std::string file = user.Documents() + "settings.icf";
    dialogs.AnswerFile(file);
    ASSERT_EQ(Main().FileSaveAs(), 0);
    ASSERT_TRUE(std::filesystem::exists(file));

    ASSERT_EQ(Main().FileNew(), 0);
    ASSERT_EQ(Main().OpenFile(file), 0);
    for (size_t k = 0; k < std::size(kPages); ++k) {
        OpenPage(kPages[k].spec);
        int col = 0, row = 0;
        ASSERT_TRUE(FindCell(kPages[k].label, col, row)) << kPages[k].spec;
        EXPECT_EQ(CellText(col, row), changed[k]) << kPages[k].spec;
    }
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SettingPages, AScanListChannelInAVoteZoneMarksTheScanListsNodeAndItsCell)
{
    Start();
    Form().SetClientSize(1000, 600);
    // Bank 2 is a vote zone; scan list 1 transmits on its first channel.
    SetBankChannelCount(0, 1);
    SetBankChannelCount(1, 2);
    SetVoteZoneBank(1, 1);
    auto transmitOn = [&](int mode) {
        datCh list(&Main().CurrentImage());
        list.Unpack(6, 0);
        list.ScanMode = 1;
        list.ScanTxFlags.TxChMode = uint8_t(mode);
        list.ScanTxCh = 1;
        list.Pack(6, 0);
        Main().ScheduleCheck();
        Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    };
    transmitOn(5);
    plat::TreeNode* node = Main().Tree()->FindNode("GI_Sheet_Scan_List");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->OverlayIndex(), cuiTree::WarningOverlay);

    // The scan list page shows the warning on the transmit channel of list 1.
    OpenPage("GI_Sheet_Scan_List");
    int col = 0, row = 0;
    ASSERT_TRUE(FindCell(CL_ScanList_TX_CH, col, row));
    EXPECT_TRUE(ShowCell(col, row).WarningMark);

    // Mended: the list transmits on the channel where scanning stopped.
    transmitOn(0);
    EXPECT_EQ(node->OverlayIndex(), cuiTree::NoOverlay);
}

TEST_F(SettingPages, CommonSettingsPagePicture)
{
    Start();
    Form().SetClientSize(900, 700);
    OpenPage("[St_Common]GI_Sheet_Comm_General");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Comm_General");
    int col = 0, row = 0;
    ASSERT_TRUE(FindCell(CL_Comm_ClonePasswordStr, col, row));
    EXPECT_EQ(CellText(col, row), "") << "the default file has no clone password";
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "app-common-settings.png").string()));
}

}  // namespace
