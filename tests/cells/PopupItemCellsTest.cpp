// The items of a cell's pop-up menu judge the row of the cell the menu
// belongs to: disabled past the list's entries, at its ends for moves, and
// for paste while the clipboard holds other items.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "model/datClipCh.h"
#include "tests/cells/CellWorld.h"

#include <gtest/gtest.h>

using namespace celltest;

namespace {

constexpr int kHidden = 1;
constexpr int kDisabled = 2;

struct ItemState {
    bool disabled;
    bool hidden;
};

// Refreshes the item as a menu does: run without a key, the menu's cell as
// parent.
ItemState Refresh(int item, int category, int index)
{
    auto owner = MakeCell(category, CL_Comm_Tactical, index);
    auto cell = MakeCell(CT_PopupMenu, item);
    cmcCellCapsule parent;
    parent.Cell = owner.get();
    Capsule c(cell.get(), false);
    c.cap.Parent = &parent;
    indActiveCell().Exec(&c.cap, 0);
    return {cell->GetFlag(kDisabled), cell->GetFlag(kHidden)};
}

struct PopupItems : ::testing::Test {
    PopupItems()
    {
        // Bank 0: channels 0-2; bank 1: channels 3-6.
        TestImage image(world.Image());
        image.BankCounts({3, 4}).ToneListCount(4).SiteCount(3).GroupCount(22, 0, 2).GroupCount(22, 1, 3);
        world.currentBank = 1;
        world.listGroup = 1;
        g_ClipCh = &clip;
    }
    ~PopupItems() override { g_ClipCh = nullptr; }
    CellWorld world;
    datClipCh clip;
};

TEST_F(PopupItems, RowCommandsAreDisabledWhereTheyFindNoEntry)
{
    clip.Copy(&world.Image(), 1, 0, 1);
    struct Case {
        int item;
        int category;
        int index;
        bool disabled;
    };
    const Case cases[] = {
        // Channels of the open bank 1.
        {CL_PMenu_Copy, CT_Mch, 3, false},     {CL_PMenu_Copy, CT_Mch, 7, true},
        {CL_PMenu_Copy, CT_Mch, 2, true},      {CL_PMenu_Delete, CT_Mch, 6, false},
        {CL_PMenu_Clear, CT_Mch, 7, true},     {CL_PMenu_Paste, CT_Mch, 4, false},
        {CL_PMenu_Paste, CT_Mch, 7, true},     {CL_PMenu_Paste, CT_CTone, 1, true},  // other items held
        // Moves stay within the bank, even when the bank before holds channels.
        {CL_PMenu_CarryUp, CT_Mch, 3, true},   {CL_PMenu_CarryUp, CT_Mch, 4, false},
        {CL_PMenu_CarryDown, CT_Mch, 6, true}, {CL_PMenu_CarryDown, CT_Mch, 5, false},
        // Tone list of four entries.
        {CL_PMenu_Copy, CT_CTone, 4, true},    {CL_PMenu_CarryDown, CT_CTone, 3, true},
        {CL_PMenu_CarryDown, CT_CTone, 2, false},
        // Lists whose first entry is fixed, and the fixed status message.
        {CL_PMenu_Copy, CT_RX_Code, 0, true},  {CL_PMenu_Copy, CT_RX_Code, 1, false},
        {CL_PMenu_Clear, CT_MSK_Msg_Status, 23, true}, {CL_PMenu_Clear, CT_MSK_Msg_Status, 22, false},
        // Repeaters of group 1 (items 2-4).
        {CL_PMenu_CarryUp, CT_Rpt, 2, true},   {CL_PMenu_CarryUp, CT_Rpt, 3, false},
        {CL_PMenu_CarryDown, CT_Rpt, 4, true}, {CL_PMenu_Copy, CT_Rpt, 5, true},
        // Multisite sites: up is refused only at site 0, down at the last site.
        {CL_PMenu_CarryUp, CT_Multisite_SL, 0, true}, {CL_PMenu_CarryUp, CT_Multisite_SL, 5, false},
        {CL_PMenu_CarryDown, CT_Multisite_SL, 2, true}, {CL_PMenu_CarryDown, CT_Multisite_SL, 1, false},
        {CL_PMenu_CarryDown, CT_Multisite_SL, 5, true},
        // Settings without a list are never past it.
        {CL_PMenu_Copy, CT_DTMF, 5, false},
    };
    for (const Case& k : cases) {
        const ItemState s = Refresh(k.item, k.category, k.index);
        EXPECT_EQ(s.disabled, k.disabled) << CellLabelName(k.item) << " " << "category " << k.category << "[" << k.index << "]";
        EXPECT_FALSE(s.hidden);
    }

    // The fixed status message takes a paste of status messages.
    clip.Copy(&world.Image(), 16, 0, 1);
    EXPECT_FALSE(Refresh(CL_PMenu_Paste, CT_MSK_Msg_Status, 23).disabled);
    clip.Clear();
    EXPECT_TRUE(Refresh(CL_PMenu_Paste, CT_Mch, 4).disabled);
}

TEST_F(PopupItems, TheNoCommandItemShowsOnlyAsTheEditMenusOneItem)
{
    EXPECT_TRUE(Refresh(CL_PMenu_NoItem, CT_Mch, 3).hidden);  // no main menu
    world.popups.menuSubItems[CL_Menu_Edit_Top] = 1;
    const ItemState alone = Refresh(CL_PMenu_NoItem, CT_Mch, 3);
    EXPECT_FALSE(alone.hidden);
    EXPECT_TRUE(alone.disabled);
    world.popups.menuSubItems[CL_Menu_Edit_Top] = 4;
    EXPECT_TRUE(Refresh(CL_PMenu_NoItem, CT_Mch, 3).hidden);
}

}  // namespace
