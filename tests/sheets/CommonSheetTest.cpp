// The common sheet's row conditions: the maker-mode rows on top of the
// conditions every sheet knows.
#include "model/iuiSh_Common.h"
#include "tests/sheets/SheetWorld.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheetHost.h"

#include <gtest/gtest.h>

using namespace sheets;

namespace {

const std::vector<std::string> ConditionLayout = {
    "#C_Style", "", "#C_BasicCell", "{<-(%CT_Null.)}", "#C_Cells",
    "{WH}always",
    ":(Only_Maker 1)", "{WH}maker",
    ":(Only_Pmr 1)", "{WH}pmr",
    ":(Only_Lmr 1)", "{WH}lmr",
    ":(Only_KOVR 1)", "{WH}kovr",
    ":(Only_SACC 1)", "{WH}sacc",
    ":(Only_Crvl 1)", "{WH}customer",
    ":(Never 1)", "{WH}never",
    // Without a number the item leaves every line.
    ":(Only_Maker)", "{WH}end",
};

std::string ShownRows(const cuiSheet& sheet)
{
    std::string out;
    for (int row = 0; row < sheet.Grid()->RowCount(); ++row)
        out += (row > 0 ? " " : "") + const_cast<cuiSheet&>(sheet).CellAt(0, row).GetText();
    return out;
}

} // namespace

TEST(CommonSheet, MakerRowsShowOnlyInTheMakerModeBesideTheOtherConditions)
{
    struct Case {
        bool common;
        int model;
        bool maker;
        bool sacc;
        bool customer;
        std::string rows;
    };
    const Case cases[] = {
        {true, 0, false, false, false, "always lmr end"},
        {true, 0, true, false, false, "always maker lmr end"},
        {true, 1, true, true, true, "always maker pmr kovr sacc customer end"},
        // A plain sheet does not know the maker rows.
        {false, 0, false, false, false, "always maker lmr end"},
    };
    for (const Case& k : cases) {
        SheetWorld w(k.model, ConditionLayout);
        w.world.Main().SetMakerMode(k.maker ? 1 : 0);
        w.Data().Byte(11, k.sacc ? 0x08 : 0);
        cuiSheetHost host;
        host.CustomerMode = [&k] { return k.customer; };
        ScopedSheetHost modes(host);
        const cuiSheet& sheet = k.common ? static_cast<cuiSheet&>(w.Open<iuiSh_Common>("C", ""))
                                         : w.Open<cuiSheet>("C", "");
        EXPECT_EQ(ShownRows(sheet), k.rows) << k.common << k.model << k.maker;
    }
}
