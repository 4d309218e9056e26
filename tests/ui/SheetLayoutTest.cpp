// Reading sheet layouts: rows, loops and their counters, skip conditions,
// style items, fixed rows and columns, sizes, and the row attributes.
#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "platform/base/Canvas.h"
#include "tests/ui/SheetFixture.h"
#include "ui/clsSheeRowAtr.h"
#include "ui/cuiSheetHost.h"

#include <limits>
#include <string>
#include <vector>

namespace {

using sheettest::SheetTest;

constexpr const char* Basic = "{<-(%CT_Mch.)}";

class SheetLayout : public SheetTest {
protected:
    // The rows of a cells section as Dump shows them, on a fresh overlay.
    std::string Rows(const std::vector<std::string>& cells, const std::string& style = "")
    {
        sheet.reset();
        g_GTex.FreeState();
        g_GTex.InitState();
        UseLayout(style, Basic, cells);
        Open();
        return Dump();
    }
};

TEST_F(SheetLayout, RowsLoopsAndCounters)
{
    struct Case {
        const char* name;
        std::vector<std::string> cells;
        const char* rows;
    };
    const Case cases[] = {
        {"one-line body copied with index + 1",
         {"{S(%CL_Mch_No[5])}", ":(LoopFrom 3)", "{S(%CL_Mch_No[5])}", ":(End)"},
         "#5 / #5 / #6 / #7"},
        {"a copied index stops at the largest int",
         {":(LoopFrom 3)", "{S(%CL_Mch_No[2147483646])}", ":(End)"},
         "#2147483646 / #2147483647 / #2147483647"},
        {"a longer body parsed afresh, counters advancing",
         {":(LoopFrom 2)", "{S(%CL_Mch_No[@ch0])}x\\(@ch0)", "{S(%CL_Mch_No[@ch0])(@ch0++)}y", ":(LoopTo)"},
         "#0 / #0 / #1 / #1"},
        {"a count of 0 or 1 shows the body once",
         {":(LoopFrom 0)", "{S(%CL_Mch_No[1])}", ":(End)", ":(LoopFrom 1)", "{S(%CL_Mch_No[2])}", ":(End)"},
         "#1 / #2"},
        {"LoopFrom without a number opens no loop",
         {":(LoopFrom)", "{S(%CL_Mch_No[1])}", ":(End)"},
         "#1"},
        {"Never passes over lines, directives included",
         {"a", ":(Never 2)", ":(LoopFrom 5)", "b", "c"},
         "a / c"},
        {"a '#' line ends the section while lines are skipped",
         {"a", ":(Never 5)", "b", "#S_More", "c"},
         "a"},
        {"the skip counter is set, not added to",
         {":(Never 3)(Never 1)", "a", "b"},
         "b"},
        {"a loop without rows adds none, however large its count",
         {"a", ":(LoopFrom 2147483647)", ":(Only_Pmr 1)", "b", ":(End)", "c"},
         "a / c"},
        {"a second loop start begins a new body",
         {":(LoopFrom 2)", "{S(%CL_Mch_No[1])}", ":(LoopFrom 3)", "{S(%CL_Mch_No[10])}", ":(End)"},
         "#1 / #10 / #11 / #12"},
        {"a skipped line inside a body does not become a row",
         {":(LoopFrom 2)", "{S(%CL_Mch_No[1])}", ":(Only_Pmr 1)", "{S(%CL_Mch_No[7])}", ":(End)"},
         "#1 / #2"},
        {"shorter rows keep empty cells",
         {"a|b|c", "d", ""},
         "a,b,c / d,, / ,,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Rows(c.cells), c.rows);
    }
}

TEST_F(SheetLayout, DirectiveConditionsFollowModelModeAndImage)
{
    cmcEeprom image;
    image.Resize(EepromMap::ImageSize);
    bool pmr = false;
    bool customer = false;
    ModelContext context;
    context.CurrentImage = &image;
    ScopedModelContext model(context);
    cuiSheetHost host;
    host.IsPmrModel = [&] { return pmr; };
    host.IsLmrModel = [&] { return !pmr; };
    host.CustomerMode = [&] { return customer; };
    ScopedSheetHost scoped(host);
    const std::vector<std::string> cells{
        ":(Only_Pmr 1)", "pmr", ":(Only_Lmr 1)", "lmr", ":(Only_KOVR 1)", "kovr", ":(Only_Crvl 1)", "crvl",
        ":(Only_NFont 1)", "nfont", ":(Only_TFont 1)", "tfont", ":(Only_SACC 1)", "sacc", "end"};

    EXPECT_EQ(Rows(cells), "lmr / tfont / end");
    pmr = true;
    customer = true;
    image.SetByte(175682, 0x04);
    image.SetByte(11, 0x08);
    EXPECT_EQ(Rows(cells), "pmr / kovr / crvl / nfont / sacc / end");

    // List loops take their count from the working tables.
    SetTgListCount(3, 19);
    EXPECT_EQ(Rows({":(TG List)", "{S(%CL_Mch_No[0])}", ":(End)"}), "#0 / #1 / #2");
    SetTgListCount(0, 19);
    EXPECT_EQ(Rows({":(TG List)", "{S(%CL_Mch_No[0])}", ":(End)"}), "#0");
}

TEST_F(SheetLayout, StyleItems)
{
    UseLayout("(TitleStringX=Channels)(TitleString=)(TitleColor=clRed)(FixedRows=5)(FixedCols=1)(NoPrintX)"
              "(MultiSelect=cell)(PrintFontRatio=80)(ColSizing)",
              Basic, {"a|b", "c|d", "e|f"});
    cuiSheet& s = Open();
    EXPECT_EQ(s.Title(), "Channels");
    EXPECT_NE(s.TitlePanel(), nullptr);
    EXPECT_EQ(s.TitleColor(), plat::clRed);
    EXPECT_EQ(Grid().FixedRows(), 2); // at most the row count - 1
    EXPECT_EQ(Grid().FixedCols(), 1);
    EXPECT_TRUE(s.IsPrintable());
    EXPECT_EQ(s.MultiSelectMode(), cuiSheet::MultiSelectOff);
    EXPECT_EQ(s.PrintFontRatio(), 80);
    EXPECT_TRUE(Grid().ColSizing());
    EXPECT_EQ(s.Options() & cuiSheet::OptColorSelectLine, 0);

    sheet.reset();
    g_GTex.FreeState();
    g_GTex.InitState();
    UseLayout("(NoPrint)(MultiSelect=Line)(ColorSelectLine)", Basic, {"a"});
    Open();
    EXPECT_FALSE(sheet->IsPrintable());
    EXPECT_EQ(sheet->MultiSelectMode(), cuiSheet::MultiSelectLine);
    EXPECT_EQ(sheet->TitlePanel(), nullptr);
    EXPECT_NE(sheet->Options() & cuiSheet::OptColorSelectLine, 0);
    EXPECT_FALSE(Grid().ColSizing());
}

TEST_F(SheetLayout, AnEmptyCellsSectionIsFatal)
{
    UseLayout("", Basic, {});
    EXPECT_EQ(qmtest::FatalMessage([&] { Open(); }), "Illegal Cell assign");
    sheet.reset();
    g_GTex.FreeState();
    g_GTex.InitState();
    UseLayout("", Basic, {"a"});
    Open();
    EXPECT_EQ(qmtest::FatalMessage([&] { sheet->CellSlot(1, 0); }), "Illegal Cell selection");
    EXPECT_EQ(qmtest::FatalMessage([&] { sheet->CellSlot(0, -1); }), "Illegal Cell selection");
}

TEST_F(SheetLayout, ALayoutBeyondTheLargestSheetIsFatal)
{
    // A loop count or a loop of wide rows that would take the memory, or
    // never end, is a fault of the layout like an empty one.
    const std::vector<std::vector<std::string>> layouts = {
        {":(LoopFrom 2000000000)", "a", ":(End)"},
        {":(LoopFrom 60000)", "a|b|c|d|e", ":(End)"},
    };
    for (const auto& cells : layouts) {
        SCOPED_TRACE(cells[0]);
        sheet.reset();
        g_GTex.FreeState();
        g_GTex.InitState();
        UseLayout("", Basic, cells);
        EXPECT_EQ(qmtest::FatalMessage([&] { Open(); }), "Illegal Cell assign");
    }
    // Up to the limits a layout is built.
    sheet.reset();
    g_GTex.FreeState();
    g_GTex.InitState();
    UseLayout("", Basic, {":(LoopFrom 52428)", "a|b|c|d|e", ":(End)"});
    Open();
    EXPECT_EQ(Grid().RowCount(), 52428);

    // The limits: a cell's place is kept in 16 bits of column, so a row
    // wider than that is refused like too many cells.
    const struct {
        int64_t cols;
        int64_t rows;
        bool buildable;
    } sizes[] = {
        {1, 1, true},         {0, 1, false},         {1, 0, false},
        {65536, 1, true},     {65537, 1, false},     {1, 65536, true},
        {1, 65537, false},    {4, 65536, true},      {5, 65536, false},
    };
    for (const auto& s : sizes)
        EXPECT_EQ(cuiSheet::IsBuildableSize(s.cols, s.rows), s.buildable) << s.cols << " x " << s.rows;
}

TEST_F(SheetLayout, SizesComeFromWAndHCellsOnly)
{
    UseLayout("", Basic, {"{W}Frequency|plain|{H}x", "a|b|c"});
    Open();
    plat::Canvas& canvas = Grid().GetCanvas();
    sheet->ApplyCellFont(sheet->CellAt(0, 0), canvas.GetFont());
    EXPECT_EQ(Grid().ColWidths(0), canvas.TextWidth("Frequency") + 8);
    EXPECT_EQ(Grid().RowHeights(0), canvas.TextHeight("x") + 2);
    EXPECT_EQ(Grid().ColWidths(1), 1);
    EXPECT_EQ(Grid().ColWidths(2), 1);
    EXPECT_EQ(Grid().RowHeights(1), 1);
}

TEST_F(SheetLayout, SelectableRowsInMultiSelection)
{
    UseLayout("(MultiSelect=Line)", Basic,
              {"{S(%CL_Mch_No[0])}", ":(SelectOFF)", "{S(%CL_Mch_No[1])}", ":(LoopFrom 2)(SelectON)",
               "{S(%CL_Mch_No[2])}", ":(SelectOFF)(End)"});
    Open();
    std::string bits;
    for (int row = 0; row < Grid().RowCount(); ++row) bits += sheet->CellSlot(0, row).IsSelectableInMulti() ? '1' : '0';
    // The copies of a loop take the flag in force at its end.
    EXPECT_EQ(bits, "1010");
}

TEST(SheetRowAtr, GrowsByHalfAgainAndKeepsItems)
{
    clsSheeRowAtr rows;
    std::vector<int> capacities;
    for (int i = 0; i < 12; ++i) {
        rows.EnsureIndex(i);
        rows[i].Line = 100 + i;
        if (capacities.empty() || capacities.back() != rows.Capacity()) capacities.push_back(rows.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 7, 11, 17}));
    clsSheeRowAtr eight;
    eight.EnsureIndex(5);
    ASSERT_EQ(eight.Capacity(), 8);
    for (int i = 0; i < 8; ++i) eight[i] = {i, 0};
    eight.EnsureIndex(7);
    EXPECT_EQ(eight.Capacity(), 8);
    eight.EnsureIndex(8);
    EXPECT_EQ(eight.Capacity(), 13);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(eight[i].Line, i);
    for (int i = 8; i < 13; ++i) EXPECT_EQ(eight[i].Line, 0);
    for (int i = 8; i < 13; ++i) EXPECT_EQ(eight[i].Flags, dst_SheetRowAtr::Selectable);
    // Growth stops at the largest number of rows; an index outside them is
    // a fault of the layout.
    eight.EnsureIndex(clsSheeRowAtr::MaxItems - 10);
    EXPECT_EQ(eight.Capacity(), clsSheeRowAtr::MaxItems);
    for (int index : {-1, clsSheeRowAtr::MaxItems, std::numeric_limits<int>::max()})
        EXPECT_EQ(qmtest::FatalMessage([&] { eight.EnsureIndex(index); }), "Illegal Cell assign") << index;
    EXPECT_EQ(eight.Capacity(), clsSheeRowAtr::MaxItems);
}

} // namespace
