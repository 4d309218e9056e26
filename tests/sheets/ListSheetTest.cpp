// The list sheet: the letter of its code chooses the list whose items the
// loop row repeats (with an empty row on screen, without one on paper);
// rows follow inserted and deleted items; pick lists show exactly their
// items; titles of the repeater lists.
#include "cells/CellQueries.h"
#include "cells/RadioHandlers.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/iuiSh_Mch.h"
#include "platform/ui/Keys.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TestPrinter.h"
#include "tests/sheets/SheetWorld.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheetHost.h"

#include <gtest/gtest.h>

using namespace sheets;
using celltest::TestImage;

namespace {

// A list of one header row, a row for paper only and the loop row, under
// the key of the LTR repeater window (which has a title of its own) and
// under a key of no named list.
std::vector<std::string> ListLayouts()
{
    std::vector<std::string> lines;
    for (const char* key : {"GI_Sheet_RptSetWin", "T_List"}) {
        const std::string k = key;
        lines.insert(lines.end(), {"#" + k + "_Style", "(TitleString=Repeaters)(FixedRows=1)(MultiSelect=Line)",
                                   "#" + k + "_BasicCell", "{<-(%CT_Null.)}",
                                   "#" + k + "_Cells", "{WH!S}No.|{WH!S}Entry", ":(Only_Print 1)",
                                   "{WH!S}Printed|{WH!S}only", ":(LoopFrom)",
                                   "{WHS(%Flex0[@ch0])}A|{WHS(%Flex1[@ch0])}B", ":(End)"});
    }
    return lines;
}

// The index of the first column's cell in every row below the header row,
// and "-" for a row that cannot be marked in multi-selection: "4 5 6 7-".
std::string Rows(SheetWorld& w)
{
    std::string out;
    for (int row = 1; row < w.Grid().RowCount(); ++row) {
        if (!out.empty()) out += " ";
        out += std::to_string(w.sheet->CellAt(0, row).Index);
        if (!w.sheet->CellSlot(0, row).IsSelectableInMulti()) out += "-";
    }
    return out;
}

void SetSiteId(SheetWorld& w, int site, int id)
{
    w.Data().Item(30, site, [id](datCh& s) { s.SiteId = uint8_t(id); });
}

} // namespace

TEST(ListSheet, TheLetterChoosesTheListWhoseItemsTheLoopShowsWithAnEmptyRow)
{
    struct Case {
        const char* name;
        std::function<void(SheetWorld&)> data;
        std::string code;
        int kind;
        std::string rows;
    };
    auto ltrGroups = [](SheetWorld& w) {
        w.Data().GroupCount(22, 0, 4).GroupCount(22, 3, 2).GroupCount(22, 5, 3).GroupCount(27, 5, 1);
    };
    const Case cases[] = {
        {"LTR bank", [&](SheetWorld& w) { ltrGroups(w); w.Data().Type(5, TestImage::Ltr); }, "R 0,5", 22, "6 7 8 9-"},
        {"ZEPH bank", [&](SheetWorld& w) { ltrGroups(w); w.Data().Type(5, TestImage::Zeph); }, "R 0,5", 27,
         "0 1-"},
        {"bank of neither type", ltrGroups, "R 0,5", 0, "0-"},
        {"site with an ID", [](SheetWorld& w) { w.Data().GroupCount(31, 0, 2).GroupCount(31, 2, 2); SetSiteId(w, 2, 9); },
         "M 7,2", 31, "2 3 4-"},
        {"site without an ID", [](SheetWorld& w) { w.Data().GroupCount(31, 2, 2); }, "M 7,2", 31, "0-"},
        {"tone list", [](SheetWorld& w) { w.Data().ToneListCount(3); }, "K", 7, "0 1 2 3-"},
        {"NAC list", [](SheetWorld& w) { w.Data().NacListCount(1); }, "k", 20, "0 1-"},
        {"digital IDs", [](SheetWorld& w) { w.Data().IdListCount(18, 2); }, "X", 18, "0 1 2-"},
        {"ZEPH talk groups", [](SheetWorld& w) { w.Data().TalkGroupCount(29, 1); }, "q", 29, "0 1-"},
        {"multisite sites", [](SheetWorld& w) { w.Data().SiteCount(2); }, "m", 30, "0 1 2-"},
        {"a letter of no list", [](SheetWorld& w) { w.Data().ToneListCount(3); }, "V", 0, "0"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        SheetWorld w(0, ListLayouts());
        k.data(w);
        iuiSh_Mch& sheet = w.OpenList("T_List", k.code);
        EXPECT_EQ(sheet.ListKind(), k.kind);
        EXPECT_EQ(Rows(w), k.rows);
        // The row for paper only is left out on screen.
        EXPECT_EQ(sheet.LoopRow(), 1);
    }
}

TEST(ListSheet, GroupComesFromTheOpeningCellOrTheCodeAndNamesTheRepeaterWindowsTitle)
{
    SheetWorld w(0, ListLayouts());
    w.Data().GroupCount(22, 6, 2).Type(6, TestImage::Ltr).Type(7, TestImage::Ltr);
    cmcCellObj opener;
    opener.Index = 6;
    cmcCellCapsule origin;
    origin.Cell = &opener;

    iuiSh_Mch& fromCell = w.OpenList("GI_Sheet_RptSetWin", "R", &origin);
    EXPECT_EQ(fromCell.Group(), 6);
    EXPECT_EQ(fromCell.ListLength(), 2);
    // A bank's list names the bank.
    EXPECT_EQ(fromCell.Title(), "Repeaters (Bank:  7)");
    // The grouped items' cells ask the sheet for its group.
    EXPECT_EQ(QueryCurrentListGroup(), 6);
    EXPECT_EQ(GetCurrentGroupRange(22), (ListRange{6, 0, 1, 2}));
    // The title panel shows the room left in the repeater lists.
    g_EvMan->Send(ev::RefreshSheetTitles, 0, 0);
    EXPECT_NE(fromCell.TitleLabel()->Caption().find(" Repeaters - Bank:  7  (Room left - "), std::string::npos)
        << fromCell.TitleLabel()->Caption();

    iuiSh_Mch& fromCode = w.OpenList("GI_Sheet_RptSetWin", "R 0,7", &origin);
    EXPECT_EQ(fromCode.Group(), 7);
    EXPECT_EQ(fromCode.ListLength(), 0);
    // A multisite site's list names the site.
    EXPECT_EQ(w.OpenList("GI_Sheet_RptSetWin", "M 0,2", &origin).Title(), "Repeaters (Site:  3)");
    // While lists are printed the opening cell names no group.
    cuiSheetHost host;
    host.ListPrinting = [] { return true; };
    ScopedSheetHost printing(host);
    EXPECT_EQ(iuiSh_Mch(&w.form, &origin, 0, 0, &g_GTex, "T_List", nullptr).Group(), 0);
    // A list that is not one of the named ones has no title.
    EXPECT_EQ(w.OpenList("T_List", "K").Title(), "");
}

TEST(ListSheet, PrintedListsShowTheirItemsOnlyAndTheRowsForPaper)
{
    SheetWorld w(0, ListLayouts());
    w.Data().ToneListCount(3);
    cuiSheetHost host;
    host.ListPrinting = [] { return true; };
    ScopedSheetHost printing(host);
    plat::TestPrinter printer;
    iuiSh_Mch sheet(&w.form, nullptr, 0, 0, &g_GTex, "T_List", nullptr);
    sheet.SetPrinter(&printer);
    sheet.SetCode("K");
    sheet.Show();
    ASSERT_EQ(sheet.Grid()->RowCount(), 5);
    EXPECT_EQ(sheet.CellAt(0, 1).GetText(), "Printed");
    EXPECT_EQ(sheet.CellAt(0, 2).Index, 0);
    EXPECT_EQ(sheet.CellAt(0, 4).Index, 2);
}

TEST(ListSheet, RowsFollowInsertedAndDeletedItems)
{
    SheetWorld w(0, ListLayouts());
    w.Data().ToneListCount(3);
    iuiSh_Mch& sheet = w.OpenList("T_List", "K");
    w.Focus();

    g_EvMan->Send(ev::RowsAdded, 2, 0);
    EXPECT_EQ(Rows(w), "0 1 2 3 4 5-");
    EXPECT_EQ(w.Grid().RowHeights(6), w.Grid().RowHeights(5));
    // The site list's events are not this list's.
    g_EvMan->Send(ev::SiteRowsAdded, 1, 0);
    g_EvMan->Send(ev::SiteRowsRemoved, 1, 0);
    EXPECT_EQ(Rows(w), "0 1 2 3 4 5-");

    // One row removed with the cursor on the last item: the cursor goes up
    // with it, and the event reaches later handlers as it was sent.
    sheet.FocusCell(CT_Null, Flex1, 4);
    g_EvMan->Send(ev::RowsRemoved, 1, 0);
    EXPECT_EQ(Rows(w), "0 1 2 3 4-");
    EXPECT_EQ(w.Cursor(), "1,4");
    EXPECT_EQ(w.rowEvents.back(), (std::pair<int, intptr_t>{ev::RowsRemoved, 1}));

    // Three rows removed with the cursor among them: it leaves them, and
    // comes back to its item when that is still there.
    sheet.FocusCell(CT_Null, Flex0, 3);
    g_EvMan->Send(ev::RowsRemoved, 3, 0);
    EXPECT_EQ(Rows(w), "0 1-");
    EXPECT_EQ(w.Cursor(), "0,2");
    sheet.FocusCell(CT_Null, Flex0, 0);
    g_EvMan->Send(ev::RowsAdded, 1, 0);
    EXPECT_EQ(Rows(w), "0 1 2-");
    EXPECT_EQ(w.Cursor(), "0,1");
    // The empty row stays whatever is removed.
    g_EvMan->Send(ev::RowsRemoved, 10, 0);
    EXPECT_EQ(Rows(w), "0-");

    // A list grows to the last prepared row and no further.
    g_EvMan->Send(ev::RowsAdded, iuiSh_ListRows::PreparedRows, 0);
    EXPECT_EQ(w.Grid().RowCount(), iuiSh_ListRows::PreparedRows);
    EXPECT_EQ(sheet.CellAt(1, iuiSh_ListRows::PreparedRows - 1).Index, iuiSh_ListRows::PreparedRows - 2);

    // The site list answers the site events only.
    w.Data().SiteCount(1);
    w.OpenList("T_List", "m");
    g_EvMan->Send(ev::RowsAdded, 1, 0);
    EXPECT_EQ(Rows(w), "0 1-");
    g_EvMan->Send(ev::SiteRowsAdded, 1, 0);
    EXPECT_EQ(Rows(w), "0 1 2-");
}

TEST(ListSheet, PickListsShowExactlyTheirItems)
{
    const std::vector<std::string> languages = {"#GI_Sys_Language", "English\tQM7148HE.OVL", "Deutsch\tQM7148HG.OVL",
                                                "Francais\tQM7148HF.OVL", "#End_Of_Ovl"};
    g_GTexSys.FreeState();
    g_GTexSys.InitState();
    g_GTexSys.OpenOverlayLines(languages);
    SheetWorld w(0, ListLayouts());
    w.Data().BankCounts({2, 3, 1, 0}).Type(2, TestImage::VoteZone);
    struct Case {
        std::string code;
        int picked;
        int items;
    };
    const Case cases[] = {
        {"C", 1, 3},  // the channels of the bank picked last
        {"C", 3, 0},  // an empty bank: no row at all
        {"B", 0, 2},  // the banks with channels that are not vote zones
        {"T", 0, 3},  // the banks that hold channels
        {"Y", 0, 3},  // the languages of the system table
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.code + " " + std::to_string(k.picked));
        g_PickerBank = k.picked;
        iuiSh_Mch& sheet = w.OpenList("T_List", k.code);
        std::string expected;
        for (int i = 0; i < k.items; ++i) expected += (i > 0 ? " " : "") + std::to_string(i);
        if (k.items > 0) expected += "-";
        EXPECT_EQ(Rows(w), expected);
        // Pick lists take no inserted or deleted rows.
        g_EvMan->Send(ev::RowsAdded, 1, 0);
        EXPECT_EQ(Rows(w), expected);
        // Nothing to pick: the list takes no cursor.
        EXPECT_EQ(sheet.Grid()->Enabled(), k.items > 0);
    }
    g_PickerBank = 0;
    g_GTexSys.FreeState();
    g_GTexSys.InitState();
}
