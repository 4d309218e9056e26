// The extended settings page and the two user character pages as the
// program shows them on the initial file of either model.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "platform/ui/TestHooks.h"
#include "tests/sheets/SheetWorld.h"
#include "tests/support/TestSupport.h"
#include "ui/cuiGrid.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace sheets;

TEST(ExtendedSheet, EverySettingShowsAValueOfItsListOrRange)
{
    for (int model = 0; model < 2; ++model) {
        SheetWorld w(model);
        w.LoadInitialImage();
        w.form.SetClientSize(520, 560);
        w.Open<cuiSheet>("GI_Sheet_Extended", "");
        int values = 0;
        for (int row = 0; row < w.Grid().RowCount(); ++row)
            for (int col = 0; col < w.Grid().ColCount(); ++col) {
                const cmcCellObj& cell = w.sheet->CellAt(col, row);
                if (cell.Label < CL_Exp_UserCtcss || cell.Label > CL_Exp_BattChangeMode) continue;
                const std::string text = w.Text(col, row);
                EXPECT_FALSE(text.empty()) << cell.Label;
                EXPECT_EQ(text.find("*Yet*"), std::string::npos) << cell.Label;
                EXPECT_NE(text, "error") << cell.Label;
                ++values;
            }
        EXPECT_EQ(values, 17);
        if (model == 0) {
            const std::filesystem::path dir = qmtest::OutputDir();
            w.Focus();
            ASSERT_TRUE(plat::SavePng(w.form, (dir / "extended-settings.png").string()));
        }
    }
}

TEST(ExtendedSheet, TheCharacterPagesShowSixteenCharactersEach)
{
    SheetWorld w;
    w.LoadInitialImage();
    w.form.SetClientSize(420, 700);
    for (const char* key : {"GI_Sheet_Common_CEdit", "GI_Sheet_Common_CEdit_Mob"}) {
        w.Open<cuiSheet>(key, "");
        int characters = 0;
        for (int row = 0; row < w.Grid().RowCount(); ++row)
            for (int col = 0; col < w.Grid().ColCount(); ++col) {
                const int label = w.sheet->CellAt(col, row).Label;
                if (label == CL_CEdit || label == CL_CEdit_Mob) ++characters;
            }
        EXPECT_EQ(characters, 16) << key;
    }
    // A pattern to look at in the first character of the mobile set.
    w.Focus();
    const std::filesystem::path dir = qmtest::OutputDir();
    ASSERT_TRUE(plat::SavePng(w.form, (dir / "mobile-characters.png").string()));
}
