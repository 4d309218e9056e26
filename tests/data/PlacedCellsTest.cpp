// Every cell label that the program reaches (menus, tool bars, the tree,
// the pages the tree opens, their pop-up menus and the warning check list)
// has a behaviour: none of them shows the "*Yet*" text of a label without
// one, or does nothing where a command is expected.
#include "tests/data/OverlayFile.h"

#include "cells/LabelDispatch.h"
#include "core/CellNames.h"

#include <gtest/gtest.h>

namespace {

// Labels whose meaning the engine gives without a behaviour of their own.
bool ExemptLabel(const cmcCellObj& cell)
{
    // A caption shows its own text; the silent labels show nothing on purpose.
    if (cell.Label == CL_NoLabel || IsSilentLabel(cell.Label)) return true;
    // A pop-up menu item's command is carried out by the engine itself.
    return cell.Category == CT_PopupMenu && cell.Label >= CL_PMenu_NoItem && cell.Label <= CL_PMenu_WinCopy;
}

TEST(PlacedCells, EveryLabelTheProgramReachesHasABehaviour)
{
    ovl::LanguageTable table;
    const std::vector<ovl::PlacedCell> cells = ovl::ReachedCells();
    ASSERT_FALSE(cells.empty());
    for (const ovl::PlacedCell& placed : cells) {
        if (ExemptLabel(placed.Cell)) continue;
        const int label = placed.Cell.Label;
        EXPECT_FALSE(IsDefaultTextLabel(label)) << placed.Where << ": " << CellLabelName(label) << " shows only its number";
        EXPECT_NE(FamilyBehaviour(label), nullptr) << placed.Where << ": " << CellLabelName(label) << " has no behaviour yet";
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
