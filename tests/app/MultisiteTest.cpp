// The multisite pages in the running program: sites typed into the empty row
// of the site list become sites, are saved with the document and are there
// again when the file is opened; the site list is drawn to a picture.
#include "tests/app/AppFixture.h"

#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/cmcCellCapsule.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indMain.h"
#include "platform/ui/Keys.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMain.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <filesystem>

namespace {

constexpr const char* kSiteList = "GI_Sheet_Multisite_SiteList,m";

class MultisitePages : public apptest::ProgramFixture {};

TEST_F(MultisitePages, SitesTypedIntoTheEmptyRowAreSavedAndOpenedAgain)
{
    Start();
    Form().SetClientSize(1100, 360);
    OpenPage(kSiteList);
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Multisite_SiteList");
    const int count = MultisiteSiteCount();
    int col = 0, row = 0;
    ASSERT_TRUE(FindCell(CL_MultiSite_SiteID, count, col, row)) << "the empty row";
    EXPECT_EQ(ShowCell(col, row).Text, "");

    TypeInto(col, row, "17");
    EXPECT_EQ(MultisiteSiteCount(), count + 1);
    EXPECT_EQ(ShowCell(col, row).Text, "17");
    int rptCol = 0, rptRow = 0;
    ASSERT_TRUE(FindCell(CL_Multisite_Rpt, count, rptCol, rptRow));
    EXPECT_TRUE(ShowCell(rptCol, rptRow).ErrorMark) << "a site without repeaters";
    ASSERT_TRUE(FindCell(CL_MultiSite_SiteID, count + 1, col, row)) << "a new empty row follows";
    TypeInto(col, row, "18");
    EXPECT_EQ(MultisiteSiteCount(), count + 2);
    int codeCol = 0, codeRow = 0;
    ASSERT_TRUE(FindCell(CL_Multisite_SiteList_IntegratorCode, count + 1, codeCol, codeRow));
    TypeInto(codeCol, codeRow, "9");
    EXPECT_EQ(ShowCell(codeCol, codeRow).Text, "9");
    EXPECT_TRUE(BoxTexts().empty());
    // The check marks the Sites node: the new sites have no repeaters yet.
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    plat::TreeNode* node = PageNode(kSiteList);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->OverlayIndex(), cuiTree::ErrorOverlay);
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "multisite-site-list.png").string()));

    const std::string file = user.Documents() + "multisite.icf";
    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_Save));
    ASSERT_TRUE(std::filesystem::exists(file));
    Choose(MenuItem(CL_Menu_File_New));
    EXPECT_EQ(MultisiteSiteCount(), count);

    dialogs.AnswerFile(file);
    Choose(MenuItem(CL_Menu_File_Open));
    ASSERT_EQ(MultisiteSiteCount(), count + 2);
    datCh site(&Main().CurrentImage());
    site.Unpack(30, count);
    EXPECT_EQ(site.SiteId, 17);
    site.Unpack(30, count + 1);
    EXPECT_EQ(site.SiteId, 18);
    EXPECT_EQ(site.IntegratorCode, 9);
}

TEST_F(MultisitePages, TheSettingsPageShowsEveryCell)
{
    Start();
    Form().SetClientSize(1000, 760);
    OpenPage("GI_Sheet_Multisite_Settings");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Multisite_Settings");
    for (int row = 0; row < Grid().RowCount(); ++row)
        for (int col = 1; col < Grid().ColCount(); ++col) {
            const int label = Sheet().CellAt(col, row).Label;
            if (label < CL_MultiSite_SiteID || label > CL_MultiSite_CCSiteIDErrorP3) continue;
            const std::string text = ShowCell(col, row).Text;
            EXPECT_EQ(text.find("Yet"), std::string::npos) << label;
        }
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "multisite-system-settings.png").string()));
}

TEST_F(MultisitePages, AnIdAndATalkGroupTypedIntoTheNewRowsBecomeEntries)
{
    Start();
    Form().SetClientSize(700, 300);
    struct Page {
        const char* spec;
        int entryLabel;
        int kind;
        const char* picture;
    };
    for (const Page& page : {Page{"GI_Sheet_Multisite_Ind_Id,y 9", CL_Multisite_Ind_Id_Dec, 32, "individual-ids.png"},
                             Page{"GI_Sheet_Multisite_Grp_Id,r 9", CL_Multisite_Grp_Id_Dec, 33, "talk-groups.png"}}) {
        SCOPED_TRACE(page.spec);
        OpenPage(page.spec);
        const int count = page.kind == 32 ? IndListCount(32) : TgListCount(33);
        int col = 0, row = 0;
        ASSERT_TRUE(FindCell(page.entryLabel, count, col, row)) << "the row marked New";
        EXPECT_EQ(ShowCell(0, row).Text, "New");
        TypeInto(col, row, "1500");
        EXPECT_EQ((page.kind == 32 ? IndListCount(32) : TgListCount(33)), count + 1);
        EXPECT_EQ(ShowCell(col, row).Text, "1500");
        ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / (std::string("multisite-") + page.picture)).string()));
    }
    EXPECT_TRUE(BoxTexts().empty());
}

}  // namespace
