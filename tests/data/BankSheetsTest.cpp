// The bank channel sheets and the bank operation sheets as the sheets read
// them: where their loops begin, what their loop rows hold, the header rows
// the style keeps fixed; and the bounded-value lists of the channel columns.
#include "tests/data/OverlayFile.h"

#include "cells/ValueHandlers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using ovl::Language;

struct SheetRows {
    std::vector<std::string> header;  // row lines before the loop
    std::string loopItem;             // the loop directive's item
    std::string loopRow;
    std::vector<std::string> after;   // row lines after the loop's end
};

SheetRows ReadRows(const std::string& sheet)
{
    SheetRows rows;
    const std::vector<std::string> lines = Language().Section(sheet + "_Cells");
    size_t n = 0;
    for (; n < lines.size() && lines[n].rfind(":(LoopFrom", 0) != 0; ++n) {
        EXPECT_NE(lines[n][0], ':') << sheet << ": a directive before the loop moves its grid row: " << lines[n];
        rows.header.push_back(lines[n]);
    }
    if (n + 2 >= lines.size()) {
        ADD_FAILURE() << sheet << ": no loop of one row";
        return rows;
    }
    rows.loopItem = lines[n].substr(2, lines[n].size() - 3);
    rows.loopRow = lines[n + 1];
    EXPECT_EQ(lines[n + 2], ":(End)") << sheet << ": the loop body is one row";
    rows.after.assign(lines.begin() + long(n) + 3, lines.end());
    return rows;
}

int FixedRows(const std::string& sheet)
{
    const std::string style = Language().Line(sheet + "_Style", 0);
    const size_t at = style.find("(FixedRows=");
    return at == std::string::npos ? 0 : std::atoi(style.c_str() + at + 11);
}

std::vector<cmcCellObj> Cells(const std::string& sheet, const std::string& row, int counter)
{
    cmcCellObj basic = ovl::ParseCellText(Language().Line(sheet + "_BasicCell", 0));
    CellCounters counters{};
    counters[0] = counter;
    return ovl::ParseRow(row, &basic, &counters);
}

class BankSheets : public ::testing::Test {
protected:
    ovl::LanguageTable table;
};

TEST_F(BankSheets, ChannelSheetsRepeatOneChannelRowFromGridRowFive)
{
    // The entry columns that keys typed into the empty row are sent to, by
    // bank type: every one of a bank type whose columns the sheet shows must
    // be there (the LTR group columns, with the LTR entry column, are not
    // placed yet).
    const std::map<std::string, std::vector<int>> entries = {
        {"GI_Sheet_Mch_Lmr", {CL_Mch_FreqR, CL_Mch_ZEPH_Unit_Dec, CL_Mch_Multisite_Unit_Dec}},
        {"GI_Sheet_Mch_Pmr", {CL_Mch_FreqR}},
    };
    for (const auto& [sheet, entryLabels] : entries) {
        SCOPED_TRACE(sheet);
        const SheetRows rows = ReadRows(sheet);
        // The sheet marks the row after the channels as the empty row by
        // counting from grid row 5.
        EXPECT_EQ(rows.header.size(), 5u);
        EXPECT_EQ(FixedRows(sheet), 5);
        EXPECT_EQ(rows.loopItem, "LoopFrom") << "a bare loop repeats the row once per channel and once more";
        EXPECT_TRUE(rows.after.empty());

        std::vector<int> labels;
        for (const cmcCellObj& cell : Cells(sheet, rows.loopRow, 37)) {
            ASSERT_NE(cell.Label, CL_NoLabel) << "every column of the row shows a channel setting";
            labels.push_back(cell.Label);
            // The loop's counter starts at the bank's first channel.
            EXPECT_EQ(cell.Index, 37) << CellLabelName(cell.Label);
            // The row number is no record cell, so that the empty row's
            // number is drawn too.
            EXPECT_EQ(cell.Category, cell.Label == CL_Mch_No ? CT_NoCategory : CT_Mch) << CellLabelName(cell.Label);
            EXPECT_EQ(cell.FlagsB & cmcCellObj::LetterS, cell.Label == CL_Mch_No ? 0 : cmcCellObj::LetterS)
                << CellLabelName(cell.Label);
        }
        EXPECT_EQ(labels.front(), CL_Mch_No);
        std::vector<int> sorted = labels;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "a column twice";
        for (int entry : entryLabels)
            EXPECT_NE(std::find(labels.begin(), labels.end(), entry), labels.end()) << CellLabelName(entry);
        // Columns without a behaviour would show their label number.
        for (int label : labels) {
            EXPECT_NE(label, CL_Mch_Multisite_TxInh);
            EXPECT_NE(label, CL_Mch_Msk_Log);
        }
    }
}

TEST_F(BankSheets, BankOperationSheetsShowEveryBankThenTheTotalAndTheFreeSpace)
{
    for (const char* sheet : {"GI_Sheet_BankOpLtr", "GI_Sheet_BankOpPmr"}) {
        SCOPED_TRACE(sheet);
        const SheetRows rows = ReadRows(sheet);
        EXPECT_EQ(FixedRows(sheet), int(rows.header.size()));
        EXPECT_EQ(rows.loopItem, "LoopFrom 128");
        for (const cmcCellObj& cell : Cells(sheet, rows.loopRow, 0)) {
            EXPECT_EQ(cell.Category, CT_BankOp) << CellLabelName(cell.Label);
            EXPECT_EQ(cell.Index, 0) << CellLabelName(cell.Label);
        }
        ASSERT_EQ(rows.after.size(), 2u);
        for (int r = 0; r < 2; ++r) {
            int counts = 0;
            for (const cmcCellObj& cell : Cells(sheet, rows.after[size_t(r)], 0)) {
                if (cell.Label == CL_NoLabel) continue;
                EXPECT_TRUE(cell.Label == CL_Mch_Bank || cell.Label == CL_Mch_UsedCHs) << CellLabelName(cell.Label);
                EXPECT_EQ(cell.Index, 128 + r);
                ++counts;
            }
            EXPECT_EQ(counts, 2);
        }
    }
}

TEST_F(BankSheets, SheetsThatShareTheirStoredColumnWidthsHaveTheSameColumns)
{
    // Widths are stored by column: a sheet that shares another's would take
    // widths meant for other settings.
    std::map<std::string, std::vector<std::string>> sheetsOfSub;
    for (const std::string& line : Language().Section("GI_CellWidthRegList")) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) break;
        sheetsOfSub[line.substr(colon + 1)].push_back(line.substr(0, colon));
    }
    auto labels = [](const std::string& sheet) {
        std::vector<int> out;
        const SheetRows rows = ReadRows(sheet);
        for (const cmcCellObj& cell : Cells(sheet, rows.loopRow, 0)) out.push_back(cell.Label);
        return out;
    };
    for (const auto& [sub, sheets] : sheetsOfSub)
        for (size_t k = 1; k < sheets.size(); ++k)
            EXPECT_EQ(labels(sheets[k]), labels(sheets[0])) << sub << ": " << sheets[k] << " and " << sheets[0];
}

TEST_F(BankSheets, MskRepeaterListsOfferTheNumberEntryAndTheirNumbers)
{
    // The bounded value takes the first entry on the selection list's last
    // line for "a number", and the numbers up to the highest its scan finds.
    EXPECT_EQ(FirstIndexOfLabel("GI_Sheet_Sel_Mch_Msk_Rpt_1st_Pmr", Flex0), 1);
    int highest = 0;
    for (const ovl::ListEntry& e : ovl::ListEntries("GI_Sheet_Sel_Mch_Msk_Rpt_2nd", Flex1)) highest = std::max(highest, e.Value);
    EXPECT_EQ(LastIndexOfLabel("GI_Sheet_Sel_Mch_Msk_Rpt_2nd", Flex1), highest);
    EXPECT_LT(highest, 255) << "255 stands for any repeater";
}

} // namespace
