// Every cell label that the language file places (menus, tool bars, the
// tree, the pages, the pop-up windows and lists, the warning check list) has
// a behaviour: none of them shows the "*Yet*" text of a label without one,
// or does nothing where a command is expected. And the other way round:
// every label with a behaviour is placed somewhere a technician reaches it,
// but for the few listed with their reason.
#include "tests/data/OverlayFile.h"

#include "cells/LabelDispatch.h"
#include "core/CellNames.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Labels whose meaning the engine gives without a behaviour of their own.
bool ExemptLabel(const cmcCellObj& cell)
{
    // A caption shows its own text; the silent labels show nothing on purpose.
    if (cell.Label == CL_NoLabel || IsSilentLabel(cell.Label)) return true;
    // A pop-up menu item's command is carried out by the engine itself.
    return cell.Category == CT_PopupMenu && cell.Label >= CL_PMenu_NoItem && cell.Label <= CL_PMenu_WinCopy;
}

TEST(PlacedCells, EveryPlacedLabelHasABehaviour)
{
    ovl::LanguageTable table;
    std::vector<ovl::PlacedCell> cells = ovl::PlacedCells();
    ASSERT_FALSE(cells.empty());
    // The reached cells add the tree's bank branch, which is formatted by the program.
    for (ovl::PlacedCell& reached : ovl::ReachedCells()) cells.push_back(std::move(reached));
    for (const ovl::PlacedCell& placed : cells) {
        if (ExemptLabel(placed.Cell)) continue;
        const int label = placed.Cell.Label;
        EXPECT_FALSE(IsDefaultTextLabel(label)) << placed.Where << ": " << CellLabelName(label) << " shows only its number";
        EXPECT_NE(FamilyBehaviour(label), nullptr) << placed.Where << ": " << CellLabelName(label) << " has no behaviour yet";
    }
}

// Labels with a behaviour that no overlay line places, and why.
struct Unplaced {
    int Label;
    int Twin;  // a label with the same behaviour that is placed instead, or CL_NoLabel
    const char* Why;
};

const Unplaced kUnplaced[] = {
    // Twins: the same field through the same rule under a second name; the
    // pages use one of each pair.
    {Flex2, Flex0, "shows the cell's own text, as Flex0 does"},
    {CL_Mch_RxCNo2, CL_Mch_RxCNo2_Ltr, "the LMR channel page shows the receive code through its LTR twin"},
    {CL_Mch_Lockout_Dig, CL_Mch_Lockout, "the busy lockout list follows the model, whichever name runs it"},
    {CL_Mch_AutoReset_Kovr, CL_Mch_AutoReset_Pmr, "PMR twin"},
    {CL_Mch_Log_Kovr, CL_Mch_Log_Pmr, "PMR twin"},
    {CL_Mch_TxInh_Kovr, CL_Mch_TxInh, "PMR twin"},
    {CL_Mch_Tot_Kovr, CL_Mch_Tot, "PMR twin"},
    {CL_Mch_PwrSave_Kovr, CL_Mch_PwrSave, "PMR twin"},
    {CL_Mch_Scan_Kovr, CL_Mch_Scan, "PMR twin"},
    {CL_Mch_Moni_Kovr, CL_Mch_Moni, "PMR twin"},
    {CL_Mch_Sel_Kovr, CL_Mch_Sel, "PMR twin"},
    {CL_Mch_Call_Kovr, CL_Mch_Call, "PMR twin"},
    {CL_Mch_PTT_Kovr, CL_Mch_PTT, "PMR twin"},
    {CL_Mch_Form_Kovr, CL_Mch_Form, "PMR twin"},
    {CL_Mch_Rpt_C_Kovr, CL_Mch_Rpt_C, "PMR twin"},
    {CL_Mch_Rpt_L_Kovr, CL_Mch_Rpt_L, "PMR twin"},
    {CL_KDisp_PwrSW_HH, CL_KDisp_PwrSW, "the same two bits under a second name"},
    // Switches that the bank's trunking type sets with its precedence rules;
    // set one by one they would give a bank two types, which no type choice shows.
    {CL_Mch_SmarTrunk, CL_Mch_TrunkType, "set through the trunking type"},
    {CL_Mch_LTR, CL_Mch_TrunkType, "set through the trunking type"},
    {CL_Bank_SmarTrunk, CL_Mch_TrunkType, "a fixed text; the trunking type column says it"},
    // Figures the Banks page already gives in its used-channel column and its
    // total and free rows.
    {CL_Bank_UsedQty, CL_Mch_UsedCHs, "the used channels of a bank"},
    {CL_Bank_UsedTotal, CL_Mch_UsedCHs, "the total row's used channels"},
    {CL_Bank_UsedLeft, CL_Mch_Bank, "the free row's channel count"},
    // Placed by the program itself.
    {CL_Check_Mch, CL_NoLabel, "the warning check runs one per bank from a text of its own"},
    {CL_Misc_QuarterPillar, CL_NoLabel, "the bit-field editor builds its sheet in code"},
    // Nothing to show.
    {CL_CloneInfo_Dummy, CL_NoLabel, "an empty filler; the radio information needs none"},
    {CL_Bank_SelBankFree, CL_NoLabel, "the bank-free mode it offers stores nothing on these radios"},
    {CL_Misc_ChNo_0Base, CL_NoLabel, "rows are numbered from 1 on every page"},
    {CL_Misc_ChNo_1Base, CL_NoLabel, "each list numbers its rows with its own label, which titles the new-entry row"},
};

// The cells of the image debug window, which its sheet places but no
// command opens.
constexpr int kDebugWindowFirst = CL_EeDebugWin_Adr;
constexpr int kDebugWindowLast = CL_EeDebugWin_F;

// Windows that the program opens itself, not through the tree.
const char* const kWindows[] = {
    "GI_Sheet_RptSetWin",           // the LTR repeater cells of a bank
    "GI_Sheet_RptSetWin_ZEPH",      // the ZEPH repeater cells of a bank
    "GI_Sheet_RptSetWin_Multisite", // the repeater cells of a site
    "GI_Sheet_FBitsR",              // the bit-field editor of a cell
    "GI_Sheet_CloneInfo",           // the radio information after a read
    "GI_Sheet_LanguageSel",         // the language command
};

// The sheets that cells and commands open: the choice lists and pickers and
// the windows above.
std::set<std::string> SheetsTheProgramOpens()
{
    std::set<std::string> sheets(std::begin(kWindows), std::end(kWindows));
    for (const std::string& sheet : ovl::Language().KeysWithSuffix("_Cells")) {
        const bool list = sheet.rfind("GI_Sheet_Sel_", 0) == 0 || sheet.rfind("GI_Sheet_CL_", 0) == 0 ||
                          sheet.rfind("GI_Sheet_Mdc_", 0) == 0 || sheet == "GI_Sheet_Digital_CallAlert_Bell" ||
                          sheet == "GI_Sheet_Emergency_ScanCacnel";
        if (list) sheets.insert(sheet);
    }
    return sheets;
}

// A label counts as placed only on a sheet that something opens: the tree,
// a menu, a tool bar, a pop-up menu, or the program for a cell or command.
TEST(PlacedCells, EveryLabelWithABehaviourIsPlaced)
{
    ovl::LanguageTable table;
    std::set<int> placed;
    for (const ovl::PlacedCell& cell : ovl::ReachableCells(SheetsTheProgramOpens())) placed.insert(cell.Cell.Label);
    std::set<int> listed;
    for (const Unplaced& u : kUnplaced) {
        listed.insert(u.Label);
        EXPECT_NE(FamilyBehaviour(u.Label), nullptr) << CellLabelName(u.Label) << " is listed but has no behaviour";
        EXPECT_FALSE(placed.count(u.Label)) << CellLabelName(u.Label) << " is listed as unplaced but is placed";
        if (u.Twin != CL_NoLabel) {
            EXPECT_TRUE(placed.count(u.Twin)) << CellLabelName(u.Label) << ": its twin " << CellLabelName(u.Twin) << " is not placed";
        }
    }
    for (int label = kDebugWindowFirst; label <= kDebugWindowLast; ++label) {
        listed.insert(label);
        EXPECT_FALSE(placed.count(label)) << CellLabelName(label) << " is reached after all";
    }
    for (int label = 0; label < CL_NoLabel; ++label) {
        if (FamilyBehaviour(label) == nullptr || listed.count(label)) continue;
        EXPECT_TRUE(placed.count(label)) << CellLabelName(label) << " has a behaviour but no page, menu or list places it";
    }
}

TEST(PlacedCells, ReachedCellsFollowTheTreeToItsPages)
{
    ovl::LanguageTable table;
    bool menu = false, tree = false, page = false;
    for (const ovl::PlacedCell& placed : ovl::ReachedCells()) {
        menu = menu || placed.Where.rfind("GI_Menu_Main_Body", 0) == 0;
        tree = tree || placed.Where.rfind("GI_Tree_Main_Body", 0) == 0;
        page = page || placed.Where.rfind("GI_Sheet_Top_Cells", 0) == 0;
        // Choice lists are read as data until a reached cell opens them.
        EXPECT_EQ(placed.Where.rfind("GI_Sheet_Sel_", 0), std::string::npos) << placed.Where;
    }
    EXPECT_TRUE(menu);
    EXPECT_TRUE(tree);
    EXPECT_TRUE(page);
}

} // namespace
