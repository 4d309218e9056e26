// Every cell line of the language file parses with the program's own cell
// parser (so every cell model, category and label name is known), sheets and
// lists have all their sections, pop-up menus exist for every cell that names
// one, and the tree and the warning check list hold what the program needs.
#include "tests/data/OverlayFile.h"

#include "cells/LabelDispatch.h"
#include "model/indMain.h"
#include "platform/base/Fatal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>

namespace {

using ovl::Language;

class CellLines : public ::testing::Test {
protected:
    // Runs fn; a fatal error of the parser (an unknown name or model, a bad
    // counter) becomes a test failure that names where it happened.
    static bool Parses(const std::string& where, const std::function<void()>& fn)
    {
        try {
            fn();
            return true;
        } catch (const plat::FatalError& e) {
            ADD_FAILURE() << where << ": " << e.what();
            return false;
        }
    }

    // Sheets are the keys with _Style or _Cells.
    static std::set<std::string> Sheets()
    {
        std::set<std::string> sheets = Language().KeysWithSuffix("_Style");
        for (const std::string& key : Language().KeysWithSuffix("_Cells")) sheets.insert(key);
        return sheets;
    }

    static std::set<std::string> Lists() { return Language().KeysWithSuffix("_Body"); }
    static bool IsToolBar(const std::string& key) { return key.rfind("GI_ToolBar_", 0) == 0; }

    ovl::LanguageTable table;
};

TEST_F(CellLines, EverySheetHasItsSectionsAndKnownStyleItems)
{
    const char* styleItems[] = {"TitleString=", "TitleColor=", "TitleFont=", "FixedCols=", "FixedRows=",
                                "PrintFontRatio=", "MultiSelect=", "ColSizing", "ColorSelectLine"};
    for (const std::string& sheet : Sheets()) {
        SCOPED_TRACE(sheet);
        for (const char* part : {"_Style", "_BasicCell", "_Cells"})
            ASSERT_TRUE(Language().Has(sheet + part)) << sheet << part << " is missing";
        std::string style = Language().Line(sheet + "_Style", 0);
        ASSERT_TRUE(style.empty() || style[0] != '#') << "the style line is missing";
        for (size_t open = style.find('('); open != std::string::npos; open = style.find('(', open + 1)) {
            size_t close = style.find(')', open);
            ASSERT_NE(close, std::string::npos) << style;
            std::string item = style.substr(open + 1, close - open - 1);
            bool known = item == "NoPrint" || std::any_of(std::begin(styleItems), std::end(styleItems), [&](const char* s) {
                             return item.rfind(s, 0) == 0;
                         });
            EXPECT_TRUE(known) << "unknown style item (" << item << ")";
            if (item.rfind("MultiSelect=", 0) == 0) {
                EXPECT_TRUE(item == "MultiSelect=Cell" || item == "MultiSelect=Line") << item;
            }
        }
    }
}

TEST_F(CellLines, EveryBasicCellBelongsToASheetOrAList)
{
    // The main form's basic cell stands alone: only its font is used.
    std::set<std::string> owners = Sheets();
    for (const std::string& list : Lists()) owners.insert(list);
    owners.insert("GI_Form_Main");
    for (const std::string& key : Language().KeysWithSuffix("_BasicCell"))
        EXPECT_TRUE(owners.count(key)) << key << "_BasicCell has no sheet or list";
}

TEST_F(CellLines, EverySheetRowParsesOnItsBasicCell)
{
    const char* directives[] = {"Only_NFont ", "Only_TFont ", "Never ", "Only_Crvl ", "Only_Pmr ", "Only_Lmr ",
                                "Only_KOVR ", "Only_SACC ", "Only_Maker ", "Only_Print ", "LoopFrom", "TG List",
                                "Ind List", "ZEPH TG List", "ZEPH Ind List", "Multisite TG List", "Multisite Ind List",
                                "EDivert_Zone_List", "EDivert_CH_List", "End", "LoopTo", "SelectON", "SelectOFF"};
    for (const std::string& sheet : Sheets()) {
        SCOPED_TRACE(sheet);
        std::string basicText = Language().Line(sheet + "_BasicCell", 0);
        cmcCellObj basic;
        if (!Parses("basic cell", [&] { basic = ovl::ParseCellText(basicText); })) continue;
        EXPECT_EQ(basic.Label, CL_NoLabel) << "a basic cell with a label would give every caption cell that label";

        bool ended = false;
        std::vector<std::string> lines = Language().Section(sheet + "_Cells", &ended);
        EXPECT_TRUE(ended) << "the cells are not followed by a '#' line";
        CellCounters counters{};
        size_t rows = 0;
        size_t widest = 0;
        for (size_t n = 0; n < lines.size(); ++n) {
            const std::string& line = lines[n];
            // An empty line would stop the value-label cache, which reads
            // every sheet it is given.
            EXPECT_FALSE(line.empty()) << "empty line " << n;
            if (!line.empty() && line[0] == ':') {
                for (size_t open = line.find('('); open != std::string::npos; open = line.find('(', open + 1)) {
                    std::string item = line.substr(open + 1, line.find(')', open) - open - 1);
                    bool known = std::any_of(std::begin(directives), std::end(directives), [&](const char* d) {
                        return item.rfind(d, 0) == 0;
                    });
                    EXPECT_TRUE(known) << "line " << n << ": unknown directive (" << item << ")";
                }
                continue;
            }
            std::vector<cmcCellObj> cells;
            Parses("line " + std::to_string(n), [&] { cells = ovl::ParseRow(line, &basic, &counters); });
            ++rows;
            widest = std::max(widest, cells.size());
        }
        EXPECT_GT(rows, 0u) << "a sheet without rows ends the program";
        EXPECT_GT(widest, 0u) << "a sheet without columns ends the program";
    }
}

TEST_F(CellLines, EveryListBodyParsesOnItsBasicCell)
{
    for (const std::string& list : Lists()) {
        SCOPED_TRACE(list);
        ASSERT_TRUE(Language().Has(list + "_BasicCell"));
        cmcCellObj basic;
        if (!Parses("basic cell", [&] { basic = ovl::ParseCellText(Language().Line(list + "_BasicCell", 0)); })) continue;
        bool ended = false;
        std::vector<std::string> lines = Language().Section(list + "_Body", &ended);
        EXPECT_TRUE(ended) << "the body is not followed by a '#' line";
        for (size_t n = 0; n < lines.size(); ++n) {
            const std::string& line = lines[n];
            EXPECT_FALSE(line.empty()) << "empty line " << n << " would be an item without text";
            if (IsToolBar(list)) {
                CellCounters counters{};
                Parses("line " + std::to_string(n), [&] { ovl::ParseRow(line, &basic, &counters); });
            } else {
                EXPECT_NE(line.find('+'), std::string::npos) << "line " << n << " has no item mark '+'";
                Parses("line " + std::to_string(n), [&] { ovl::ParseBodyLine(line, &basic); });
            }
        }
    }
}

TEST_F(CellLines, EveryCellModelParses)
{
    for (const std::string& model : Language().KeysWithSuffix("")) {
        if (model.rfind("CellModel_", 0) != 0) continue;
        Parses(model, [&] { ovl::ParseCellText("{($" + model.substr(10) + ")}"); });
    }
}

TEST_F(CellLines, PopupMenusNamedByCellsExistAndTheirItemsNameTheirCategory)
{
    // Pop-up menu keys named by placed cells (their own or through a model)
    // and by the cell models.
    std::set<std::string> named;
    auto collect = [&](const cmcCellObj& cell) {
        if (cell.PopupMenu && !cell.PopupMenu->empty()) named.insert(*cell.PopupMenu);
    };
    for (const ovl::PlacedCell& placed : ovl::PlacedCells()) collect(placed.Cell);
    for (const std::string& model : Language().KeysWithSuffix(""))
        if (model.rfind("CellModel_", 0) == 0) collect(ovl::ParseCellText("{($" + model.substr(10) + ")}"));
    named.insert("GI_PMenu_NoItem"); // the Edit menu's filler
    for (const std::string& key : Language().KeysWithSuffix("_Body"))
        if (key.rfind("GI_PMenu_", 0) == 0) named.insert(key);

    // The Edit menu mirrors a pop-up menu by parsing its items on the main
    // menu's basic cell, so every item with a command names its category.
    cmcCellObj mainBasic = ovl::ParseCellText(Language().Line("GI_Menu_Main_BasicCell", 0));
    for (const std::string& menu : named) {
        SCOPED_TRACE(menu);
        ASSERT_TRUE(Language().Has(menu + "_BasicCell"));
        ASSERT_TRUE(Language().Has(menu + "_Body"));
        std::vector<std::string> items = Language().Section(menu + "_Body");
        EXPECT_FALSE(items.empty());
        for (const std::string& line : items) {
            cmcCellObj item = ovl::ParseBodyLine(line, &mainBasic);
            if (item.Label == CL_NoLabel) continue;
            EXPECT_EQ(item.Category, CT_PopupMenu) << line;
            EXPECT_TRUE(item.Label >= CL_PMenu_NoItem && item.Label <= CL_PMenu_WinCopy) << line;
        }
    }
    std::vector<std::string> noItem = Language().Section("GI_PMenu_NoItem_Body");
    ASSERT_EQ(noItem.size(), 1u);
    EXPECT_EQ(ovl::ParseBodyLine(noItem[0], &mainBasic).Label, CL_PMenu_NoItem);
}

TEST_F(CellLines, MainMenuHasTheEditItemAndCommandItems)
{
    cmcCellObj basic = ovl::ParseCellText(Language().Line("GI_Menu_Main_BasicCell", 0));
    int editItems = 0;
    for (const std::string& line : Language().Section("GI_Menu_Main_Body")) {
        cmcCellObj item = ovl::ParseBodyLine(line, &basic);
        editItems += item.Label == CL_Menu_Edit_Top;
        if (item.Label != CL_NoLabel) {
            EXPECT_FALSE(item.GetText().empty()) << "an item without caption: " << line;
        }
    }
    EXPECT_EQ(editItems, 1);
}

// The sheet keys that a spec names must have their three sections.
void ExpectSheetOf(const std::string& spec, const std::string& where)
{
    ovl::SheetSpec parts = ovl::SplitSpec(spec);
    ASSERT_FALSE(parts.Key.empty()) << where << ": " << spec;
    for (const char* part : {"_Style", "_BasicCell", "_Cells"})
        EXPECT_TRUE(Language().Has(parts.Key + part)) << where << ": the sheet of " << spec << " lacks " << part;
    EXPECT_TRUE(parts.Class.empty() || parts.Class == "St_ChBank" || parts.Class == "St_Common") << where << ": " << spec;
}

TEST_F(CellLines, TreeNodesOpenSheetsThatExist)
{
    cmcCellObj basic = ovl::ParseCellText(Language().Line("GI_Tree_Main_BasicCell", 0));
    std::vector<std::string> body = Language().Section("GI_Tree_Main_Body");
    ASSERT_FALSE(body.empty());
    auto depth = [](const std::string& line) { return line.find('+'); };
    EXPECT_EQ(depth(body[0]), 0u) << "node 0 is the root";
    for (size_t n = 1; n < body.size(); ++n) EXPECT_GT(depth(body[n]), depth(body[0])) << "one root only: " << body[n];

    // The program builds the sheet class each spec asks for.
    indMainHolder main;
    for (size_t n = 0; n < body.size(); ++n) {
        cmcCellObj node = ovl::ParseBodyLine(body[n], &basic);
        // Printing takes the sheet of every node, so every node names one.
        EXPECT_EQ(node.Label, CallSheet) << body[n];
        ASSERT_TRUE(node.Argument && !node.Argument->empty()) << body[n];
        ExpectSheetOf(*node.Argument, "tree node " + std::to_string(n));
        EXPECT_TRUE(main.Get().HasSheetClass(cuiMain::SheetClassOf(*node.Argument))) << body[n];
        EXPECT_GE(node.ImageIndex, 0) << body[n];
        EXPECT_LE(node.ImageIndex, 11) << body[n];
    }
    // The bank branch hangs under the memory-channel node, which printing
    // expects as node 1, the first child of the root.
    if (body.size() > 1) {
        EXPECT_EQ(*ovl::ParseBodyLine(body[1], &basic).Argument, "GI_Sheet_Memory_CH_Top");
    }
}

TEST_F(CellLines, TreeBranchLinesGiveTheSpecsTheProgramUses)
{
    cmcCellObj basic = ovl::ParseCellText(Language().Line("GI_Tree_Main_BasicCell", 0));
    // The bank line is a format; "%%" stands for the '%' of the reference.
    std::string format = Language().Line("GI_Tree_Branch_Mch_Bank", 0);
    ASSERT_EQ(ovl::Conversions(format), (std::vector<std::string>{"%s", "%d"})) << format;
    for (auto [type, bank] : {std::pair<const char*, int>{"Lmr", 0}, {"Pmr", 127}}) {
        char line[512];
        std::snprintf(line, sizeof line, format.c_str(), type, bank);
        cmcCellObj node = ovl::ParseBodyLine(line, &basic);
        EXPECT_EQ(node.Label, CallSheet);
        // The warning check list marks the bank node by this spec.
        EXPECT_EQ(node.Argument.value_or(""), std::string("[St_ChBank]GI_Sheet_Mch_") + type + ",Bank " + std::to_string(bank));
        EXPECT_GE(node.ImageIndex, 4);
        EXPECT_LE(node.ImageIndex, 11);
    }
    // Line 0 for PMR, line 1 for LMR; printing compares the LMR spec exactly.
    cmcCellObj pmr = ovl::ParseBodyLine(Language().Line("GI_Tree_Branch_Mch_BankOperation", 0), &basic);
    cmcCellObj lmr = ovl::ParseBodyLine(Language().Line("GI_Tree_Branch_Mch_BankOperation", 1), &basic);
    EXPECT_EQ(lmr.Label, CallSheet);
    EXPECT_EQ(lmr.Argument.value_or(""), "GI_Sheet_BankOpLtr,Bank %d,%d,0");
    EXPECT_EQ(pmr.Label, CallSheet);
    EXPECT_FALSE(pmr.Argument.value_or("").empty());
}

TEST_F(CellLines, WarningCheckLinesNameACheckOrACellOfThePageTheyMark)
{
    const int checks[] = {CL_Check_User_Tone_Encode, CL_Check_Msk_IdRange, CL_Check_Msk_OwnIdGroup, CL_Check_Msk_Config,
                          CL_Check_Mdc_SelfID, CL_Check_MDC_Status, CL_Check_Dig_Nacch, CL_Check_Dig_IndID,
                          CL_Check_Ltr_Repeater, CL_Check_Multisite_Repeater, CL_Check_GPS_Auto_Tx, CL_Check_Scan_Setting};
    // The specs of each model type's tree nodes, as the tree marks them (case
    // ignored): the program drops the nodes of the other model type (flag 1
    // LMR only, flag 2 PMR only) and takes its own bank operation line (0 PMR,
    // 1 LMR).
    auto lower = [](std::string text) {
        for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    struct ModelTree {
        int otherModelFlag;
        size_t bankOperationLine;
        std::set<std::string> nodes;
    };
    ModelTree lmr{2, 1, {}}, pmr{1, 0, {}};
    cmcCellObj treeBasic = ovl::ParseCellText(Language().Line("GI_Tree_Main_BasicCell", 0));
    for (ModelTree* tree : {&lmr, &pmr}) {
        for (const std::string& line : Language().Section("GI_Tree_Main_Body")) {
            const cmcCellObj node = ovl::ParseBodyLine(line, &treeBasic);
            if (!node.GetFlag(tree->otherModelFlag)) tree->nodes.insert(lower(node.Argument.value_or("")));
        }
        tree->nodes.insert(lower(
            ovl::ParseBodyLine(Language().Line("GI_Tree_Branch_Mch_BankOperation", tree->bankOperationLine), &treeBasic)
                .Argument.value_or("")));
    }

    // The labels of the cells each sheet places, by sheet key.
    std::map<std::string, std::set<int>> sheetLabels;
    for (const ovl::PlacedCell& placed : ovl::ReachedCells()) {
        const size_t cells = placed.Where.find("_Cells line ");
        if (cells != std::string::npos) sheetLabels[placed.Where.substr(0, cells)].insert(placed.Cell.Label);
    }

    std::set<int> used;
    bool ended = false;
    for (const std::string& line : Language().Section("GI_WarningCheckList", &ended)) {
        cmcCellObj cell;
        if (!Parses(line, [&] { cell = ovl::ParseCellText(line); })) continue;
        // Each line is parsed into a fresh cell, so it names its category.
        EXPECT_NE(cell.Category, CT_NoCategory) << line;
        // A check cell, or a cell of the page the line marks: its own marks
        // are the page's.
        const bool check = std::find(std::begin(checks), std::end(checks), cell.Label) != std::end(checks);
        const std::string sheet = ovl::SplitSpec(cell.Argument.value_or("")).Key;
        EXPECT_TRUE(check || sheetLabels[sheet].count(cell.Label)) << "neither a check nor a cell of its page: " << line;
        // A check names a node of one model type's tree at least (that it
        // runs only on the model types whose tree has it is a test of the
        // program's check run).
        const std::string node = lower(cell.Argument.value_or(""));
        EXPECT_TRUE(lmr.nodes.count(node) || pmr.nodes.count(node)) << "no tree node to mark: " << line;
        EXPECT_TRUE(used.insert(cell.Label).second) << "the check runs twice: " << line;
    }
    EXPECT_TRUE(ended);
    // Every check that the program carries out is in the list.
    for (int check : checks)
        if (FamilyBehaviour(check) != nullptr) {
            EXPECT_TRUE(used.count(check)) << CellLabelName(check);
        }
}

} // namespace
