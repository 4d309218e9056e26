// The information dialog shows the radio's own texts, which may be longer
// than the sample texts its layout is measured with: it widens to show each
// of them whole.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "platform/base/Canvas.h"
#include "tests/sheets/SheetWorld.h"
#include "ui/cuiGrid.h"
#include "ui/cuiInformation.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

using namespace sheets;

TEST(InformationDialog, WidensToTheRadiosLongestLine)
{
    SheetWorld w;
    w.form.Show();
    // A digital option with a revision: "Digital option (conventional)"
    // followed by "(Rev:A.B:$0123)", wider than the layout's sample text.
    std::array<uint8_t, 127> payload{};
    payload[51] = 0x10;
    payload[76] = 'A';
    payload[77] = 'B';
    std::memcpy(&payload[82], "0123", 4);
    w.world.Main().SetIdentity(0x7148, 0, payload.data(), static_cast<int>(payload.size()));

    auto* info = new cuiInformation(&w.form, "Radio Programmer", &g_GTex, "GI_Sheet_CloneInfo", &w.images);
    cuiSheet& sheet = *info->Sheet();
    cuiGrid& grid = *sheet.Grid();
    // The option line, measured in the sheet's font.
    bool found = false;
    for (int row = 0; row < grid.RowCount() && !found; ++row)
        for (int col = 0; col < grid.ColCount() && !found; ++col) {
            if (sheet.CellAt(col, row).Label != CL_CloneInfo_Option) continue;
            cmcCellObj cell;
            cell.Assign(sheet.CellAt(col, row));
            cmcCellCapsule capsule;
            capsule.Owner = &grid;
            capsule.Cell = &cell;
            indActiveCell().Exec(&capsule, 0);
            ASSERT_NE(capsule.Text.find("Digital option (conventional)(Rev:A.B:$0123)"), std::string::npos)
                << capsule.Text;
            found = true;
            const int textWidth = MultiLineTextExtent(grid.GetCanvas(), capsule.Text).cx;
            EXPECT_GT(grid.ColWidths(col), textWidth);
        }
    ASSERT_TRUE(found);
    EXPECT_EQ(grid.ClientWidth(), grid.GridWidth()); // every column in view
    info->OkButton()->Click();
}
