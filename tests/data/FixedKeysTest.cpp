// Every key that the program reads by a fixed name or pattern exists in the
// file it is read from, with the lines it is read for; texts used as printf
// formats hold exactly the conversions the program supplies; texts read as
// numbers or file names hold them.
#include "tests/data/OverlayFile.h"

#include "core/cmcGTex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

using ovl::Language;

enum class Shape {
    Lines, // lines 0 .. n-1 are read one by one
    Multi, // read up to the first line that starts with '#'
    Walk,  // lines 0, 1, ... up to the first line that starts with '#' (none is fine)
    List,  // a menu, tree or tool bar: _BasicCell and _Body
    Sheet, // _Style, _BasicCell and _Cells
    Model, // a cell model
};

struct FixedKey {
    const char* key;
    Shape shape;
    int lines = 1;
};

// The keys of the language file that the program reads by name.
const FixedKey LanguageKeys[] = {
    // Program, file, print and start-up texts.
    {"GI_Sys_AppTitle", Shape::Lines},
    {"GI_Sys_AppTitleRev", Shape::Lines},
    {"GI_Sys_Maker", Shape::Lines},
    {"GI_Sys_Printer_Margins", Shape::Lines},
    {"GI_Sys_Printer_FrameFont", Shape::Lines},
    {"GI_Sys_Printer_NoPrinter", Shape::Multi},
    {"GI_Sys_Printer_PrintingDialog", Shape::Lines, 3},
    {"GI_Sys_Printer_NoRoom", Shape::Multi},
    {"GI_Sys_Printer_NotStarted", Shape::Multi},
    {"GI_Sys_Dialog_FOpen", Shape::Lines, 2},
    {"GI_Sys_Dialog_FOpenRpt", Shape::Lines, 2},
    {"GI_Sys_MyHelpFile", Shape::Lines},
    {"GI_Sys_MyHelpOvl", Shape::Lines},
    {"GI_Sys_TreeChangeDelay", Shape::Lines},
    {"GI_Sys_LockoutNewerData", Shape::Lines},
    {"GI_App_InitialFile", Shape::Lines, 2},
    {"GI_AppUnitIdMax", Shape::Lines},
    {"GI_Form_Main_BasicCell", Shape::Lines},
    {"GI_StatusPanel_Maker", Shape::Lines},
    {"GI_PCG_Seg_Data", Shape::Multi},
    {"GI_CellWidthRegList", Shape::Multi},
    {"GI_WarningCheckList", Shape::Walk},
    // Menus, tool bars, tree, pop-up menus.
    {"GI_Menu_Main", Shape::List},
    {"GI_ToolBar_Main", Shape::List},
    {"GI_ToolBar_CEdit", Shape::List},
    {"GI_Tree_Main", Shape::List},
    {"GI_Tree_Branch_Mch_BankOperation", Shape::Lines, 2},
    {"GI_Tree_Branch_Mch_Bank", Shape::Lines},
    {"GI_PMenu_NoItem", Shape::List},
    {"GI_PMenu_Edit", Shape::List},
    // Cell models of the built-in bit-field editor.
    {"Basic", Shape::Model},
    {"iChI", Shape::Model},
    {"eWh", Shape::Model},
    {"iQp", Shape::Model},
    // Dialog and window texts.
    {"GI_AppInd_Button_OkCancel", Shape::Lines, 2},
    {"GI_AppInd_Button_LoadSave", Shape::Lines, 2},
    {"GI_AppInd_CharacterEditorCaption", Shape::Lines},
    {"GI_AppInd_Opt_ComSel_Caption", Shape::Lines},
    {"GI_AppInd_Opt_ComSel_Notice", Shape::Multi},
    {"GI_AppInd_Opt_ComSel_Buttons", Shape::Lines, 2},
    {"GI_AppInd_Opt_ComSel_SizeOfButtons", Shape::Lines},
    {"GI_AppInd_Opt_ComSel_OutofRange", Shape::Multi},
    {"GI_AppInd_Opt_ClonePwd_Caption", Shape::Lines},
    {"GI_AppInd_Opt_ClonePwd_Notice", Shape::Multi},
    {"GI_AppInd_Opt_ClonePwd_Buttons", Shape::Lines, 2},
    {"GI_AppInd_Opt_ClonePwd_SizeOfButtons", Shape::Lines},
    {"GI_AppInd_Opt_ClonePwd_OutofRange", Shape::Multi},
    {"GI_AppInd_Opt_RdWrPwd_Caption", Shape::Lines},
    {"GI_AppInd_Opt_RdWrPwd_Notice", Shape::Multi},
    {"GI_AppInd_Opt_RdWrPwd_Password", Shape::Lines},
    {"GI_AppInd_Opt_RdWrPwd_Confirm", Shape::Lines},
    {"GI_AppInd_Opt_RdWrPwr_Buttons", Shape::Lines, 2},
    {"GI_AppInd_Opt_RdWrPwd_SizeOfButtons", Shape::Lines},
    {"GI_AppInd_Opt_RdWrPwd_BlankMessage", Shape::Lines},
    {"GI_AppInd_ModelTree", Shape::Lines, 2},
    {"GI_AppInd_MchSheet_Printer_Head", Shape::Lines},
    {"GI_AppInd_MchSheet_Printer_SmarTrunk", Shape::Lines},
    {"GI_AppInd_Sheet_Title_LeftCH", Shape::Lines},
    {"GI_AppInd_Sheet_Title_Site", Shape::Lines},
    {"GI_AppInd_Sheet_Title_Bank", Shape::Lines},
    {"GI_AppInd_RptSheet_Printer_Head", Shape::Lines},
    // Cell texts.
    {"GI_NewChTitle", Shape::Lines},
    {"GI_AddCH", Shape::Lines},
    {"GI_AppInd_TimerOff", Shape::Lines},
    {"GI_AppInd_CounterInfinite", Shape::Lines},
    {"GI_Mess_OAA_TxText_Blank", Shape::Lines},
    {"GI_AreaSetBit_Bar", Shape::Lines, 2},
    {"GI_CollectRepeater_1st", Shape::Lines},
    {"GI_CollectRepeater_2nd", Shape::Lines},
    {"GI_AppItem_Ctcss", Shape::Multi},
    {"GI_Sheet_Sel_KDisp_Scan_B_Key", Shape::Lines},
    {"GI_AppInd_Model", Shape::Lines, 2},
    // Clone information texts and sheet.
    {"GI_Sheet_CloneInfo", Shape::Sheet},
    {"GI_Mess_CloneInfo_Model", Shape::Lines, 2},
    {"GI_Mess_CloneInfo_TenKey", Shape::Lines, 2},
    {"GI_Mess_CloneInfo_Opt_Digi", Shape::Lines, 3},
    {"GI_Mess_CloneInfo_Opt_Ut96", Shape::Lines},
    {"GI_Mess_CloneInfo_Opt_Ut103", Shape::Lines},
    {"GI_Mess_CloneInfo_Opt_Ut105", Shape::Lines},
    {"GI_Mess_CloneInfo_Opt_Ut108", Shape::Lines},
    {"GI_Mess_CloneInfo_Opt_Ut109", Shape::Lines},
    {"GI_Mess_CloneInfo_Opt_Ut110", Shape::Lines},
    {"GI_Mess_CloneInfo_Opt_Ut117", Shape::Lines},
    {"GI_Mess_CloneInfo_Opt_Ut124", Shape::Lines},
    {"GI_Mess_CloneInfo_Opt_FFN", Shape::Lines},
    {"GI_Mess_CloneInfo_OverVolt", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_DTMF", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_2Tone", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_5Tone", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_KOVR", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_MDC", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_Digital", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_ZEPHTrunk", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_Multisite", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_ID", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_ID_Multisite", Shape::Lines},
    {"GI_Mess_CloneInfo_StunKill_Multisite_System", Shape::Lines},
    {"GI_Mess_CloneInfo_Stun", Shape::Lines},
    {"GI_Mess_CloneInfo_Kill", Shape::Lines},
    // Messages.
    {"GI_Mess_FileErr_Headline", Shape::Lines},
    {"GI_Mess_FileErr_FileOpen", Shape::Lines},
    {"GI_Mess_FileErr_FileAccess", Shape::Lines},
    {"GI_Mess_FileErr_Model", Shape::Lines},
    {"GI_Mess_FileErr_Extra", Shape::Lines},
    {"GI_Mess_FileErr_MapRev", Shape::Lines},
    {"GI_Mess_FileErr_Format", Shape::Lines},
    {"GI_Mess_FileErr_Coverage", Shape::Lines},
    {"GI_Mess_FileErr_Data", Shape::Lines},
    {"GI_Mess_FileErr_Newer", Shape::Lines},
    {"GI_Mess_Confirm_WriteFile", Shape::Lines},
    {"GI_Mess_Confirm_WriteAnother", Shape::Lines},
    {"GI_Mess_CloneWrite_Succeeded", Shape::Multi},
    {"GI_Mess_CloneErr_Head", Shape::Lines, 20},
    {"GI_Mess_CloneErr_Check", Shape::Lines, 9},
    {"GI_Mess_CloneErr_Datasize_Over", Shape::Multi},
    {"GI_Mess_CloneErr_Old_Datasize_Model", Shape::Multi},
    {"GI_Mess_DataError", Shape::Multi},
    {"GI_Mess_Confirm_CloneWrite", Shape::Multi},
    {"GI_Mess_Confirm_CloneWriteClonePass", Shape::Multi},
    {"GI_Mess_Corvel_Confirm", Shape::Multi},
    {"GI_Mess_Maker_Caution", Shape::Multi},
    {"GI_Mess_Confirm_Repeater", Shape::Multi},
    {"GI_AppMess_ChangeModel", Shape::Multi},
    {"GI_AppMess_CloneErr_NoActualCh", Shape::Multi},
    {"GI_AppMess_CloneErr_NotReadyZEPHTrunk", Shape::Multi},
    {"GI_AppMess_CloneErr_NotReadyMultisiteTrunk", Shape::Multi},
    {"GI_AppMess_Confirm_CEdit_Clear", Shape::Multi},
    {"GI_AppMess_Conv_Overwrite", Shape::Multi},
    {"GI_AppMess_Conv_Clear", Shape::Multi},
    {"GI_AppMess_Conv_Delete", Shape::Multi},
    {"GI_AppMess_ChErr_Overflow", Shape::Lines},
    {"GI_AppMess_ChErr_DelPrio", Shape::Lines},
    {"GI_AppMess_ChErr_NoCh", Shape::Lines},
    {"GI_AppMess_ChErr_NotBlank", Shape::Lines},
    {"GI_AppMess_ListErr_NoList", Shape::Lines},
    {"GI_AppMess_EmerDivertCH", Shape::Multi},
    {"GI_AppMEss_EntrTGID", Shape::Multi},
    {"GI_AppMess_KeyConflict", Shape::Lines},
    {"GI_AppMess_KeyErr_Fixed", Shape::Lines},
    {"GI_AppMess_S_Copy", Shape::Lines},
    {"GI_AppMess_S_Paste", Shape::Lines},
    {"GI_AppMess_S_Clear", Shape::Lines},
    {"GI_AppMess_S_Delete", Shape::Lines},
    {"GI_AppMess_S_Insert", Shape::Lines},
};

// Checks one key of the language file in its shape; an empty text when it
// passes, else what is wrong.
std::string CheckShape(const FixedKey& k)
{
    const ovl::Overlay& file = Language();
    auto missing = [&](const std::string& key) { return file.Has(key) ? std::string() : "#" + key + " is missing"; };
    switch (k.shape) {
    case Shape::Lines:
        if (!file.Has(k.key)) return missing(k.key);
        for (int n = 0; n < k.lines; ++n) {
            if (!file.HasLine(k.key, n)) return "line " + std::to_string(n) + " is past the end of the file";
            if (!file.Line(k.key, n).empty() && file.Line(k.key, n)[0] == '#')
                return "line " + std::to_string(n) + " is a key line, not text";
        }
        // The program's own reader answers the last line read.
        g_GTex.GetText(k.key, k.lines - 1);
        return {};
    case Shape::Multi: {
        if (!file.Has(k.key)) return missing(k.key);
        bool ended = false;
        std::vector<std::string> lines = file.Section(k.key, &ended);
        if (!ended) return "the text is not followed by a '#' line";
        if (lines.empty()) return "the text has no line";
        g_GTex.GetMultiLineText(k.key);
        return {};
    }
    case Shape::Walk: {
        if (!file.Has(k.key)) return missing(k.key);
        bool ended = false;
        file.Section(k.key, &ended);
        return ended ? std::string() : "the lines are not followed by a '#' line";
    }
    case Shape::List:
        for (const char* part : {"_BasicCell", "_Body"}) {
            std::string problem = missing(k.key + std::string(part));
            if (!problem.empty()) return problem;
        }
        return {};
    case Shape::Sheet:
        for (const char* part : {"_Style", "_BasicCell", "_Cells"}) {
            std::string problem = missing(k.key + std::string(part));
            if (!problem.empty()) return problem;
        }
        return {};
    case Shape::Model:
        return missing("CellModel_" + std::string(k.key));
    }
    return {};
}

class FixedKeys : public ::testing::Test {
protected:
    ovl::LanguageTable table;
};

TEST_F(FixedKeys, EveryKeyReadByNameExistsInItsShape)
{
    for (const FixedKey& k : LanguageKeys) {
        std::string problem = CheckShape(k);
        EXPECT_TRUE(problem.empty()) << k.key << ": " << problem;
    }
}

// String literals "GI_..." of the program's sources. A literal that the
// program completes (a prefix ending with '_') or formats (with '%') is
// returned as it stands.
std::set<std::string> KeyLiteralsOfSources()
{
    std::set<std::string> literals;
    const std::regex literal("\"(GI_[A-Za-z0-9_%]*)\"");
    for (const char* folder : {"core", "ui", "model", "cells"}) {
        std::filesystem::path root = std::filesystem::path(QM_SOURCE_DIR) / folder;
        if (!std::filesystem::is_directory(root)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            std::ifstream in(entry.path());
            std::stringstream text;
            text << in.rdbuf();
            std::string source = text.str();
            for (std::sregex_iterator m(source.begin(), source.end(), literal), end; m != end; ++m)
                literals.insert((*m)[1].str());
        }
    }
    return literals;
}

TEST_F(FixedKeys, EveryKeyLiteralOfTheSourcesExists)
{
    // Keys of the system and help files; the rest are read from the language
    // file, as texts, sheets (_Style ...) or lists (_Body ...).
    const std::set<std::string> systemKeys = {"GI_Sys_Language"};
    const std::set<std::string> helpKeys = {"GI_AppItem_Topic_ID", "GI_AppItem_Key_Assign_Topic_ID", "GI_AppItem_Context_ID"};
    // Keys of the overlay lines that the program builds in memory.
    const std::set<std::string> builtIn = {"GI_Sheet_FBitsR"};
    // Sheet keys the code only compares the open sheet with; nothing reads
    // them, so they need not exist until their sheets are authored.
    const std::set<std::string> comparedOnly = {
        "GI_Sheet_Scan_List",
        // The list sheet's titles (the repeater windows and the ID, talk
        // group and site lists).
        "GI_Sheet_RptSetWin",          "GI_Sheet_RptSetWin_ZEPH",   "GI_Sheet_RptSetWin_Multisite",
        "GI_Sheet_Digital_Ind_Id",     "GI_Sheet_Digital_Grp_Id",   "GI_Sheet_ZEPH_Ind_Id",
        "GI_Sheet_ZEPH_Grp_Id",        "GI_Sheet_Multisite_Ind_Id", "GI_Sheet_Multisite_Grp_Id",
        "GI_Sheet_Multisite_SiteList"};
    // The values that the program puts into the key patterns it formats.
    const std::map<std::string, std::vector<std::string>> patterns = {
        {"GI_Sheet_Mch_%s", {"GI_Sheet_Mch_Lmr", "GI_Sheet_Mch_Pmr"}},
    };
    const ovl::Overlay& file = Language();
    auto defined = [&](const std::string& key) {
        return file.Has(key) || file.Has(key + "_Style") || file.Has(key + "_Body");
    };
    for (const std::string& literal : KeyLiteralsOfSources()) {
        if (builtIn.count(literal) || comparedOnly.count(literal)) continue;
        if (systemKeys.count(literal)) {
            EXPECT_TRUE(ovl::System().Has(literal)) << literal;
        } else if (helpKeys.count(literal)) {
            EXPECT_TRUE(ovl::Help().Has(literal)) << literal;
        } else if (literal.find('%') != std::string::npos) {
            auto pattern = patterns.find(literal);
            if (pattern == patterns.end()) {
                ADD_FAILURE() << "the key pattern " << literal << " is new: add its values to this test";
                continue;
            }
            for (const std::string& key : pattern->second) EXPECT_TRUE(defined(key)) << key << " (" << literal << ")";
        } else if (literal.back() == '_') {
            bool any = false;
            for (const auto& [key, line] : file.KeyLines()) any = any || key.rfind(literal, 0) == 0;
            EXPECT_TRUE(any) << "no key begins with " << literal;
        } else {
            EXPECT_TRUE(defined(literal)) << literal;
        }
    }
}

TEST_F(FixedKeys, TextsUsedAsFormatsHoldExactlyTheConversionsSupplied)
{
    using Conv = std::vector<std::string>;
    struct Format {
        const char* key;
        int line; // -1: all lines of the multi-line text
        Conv conversions;
    };
    std::vector<Format> formats = {
        {"GI_Tree_Branch_Mch_Bank", 0, {"%s", "%d"}},
        {"GI_Mess_Confirm_WriteFile", 0, {"%s"}},
        {"GI_AppMess_EmerDivertCH", -1, {"%d", "%d"}},
        {"GI_AppMess_HelpNotShown", -1, {"%s"}},
        {"GI_Mess_CloneInfo_StunKill_ID", 0, {"%d"}},
        {"GI_Mess_CloneInfo_StunKill_ID_Multisite", 0, {"%d", "%d"}},
    };
    // The stun and kill texts are formats without arguments.
    for (const char* key :
         {"GI_Mess_CloneInfo_StunKill_DTMF", "GI_Mess_CloneInfo_StunKill_2Tone", "GI_Mess_CloneInfo_StunKill_5Tone",
          "GI_Mess_CloneInfo_StunKill_KOVR", "GI_Mess_CloneInfo_StunKill_MDC", "GI_Mess_CloneInfo_StunKill_Digital",
          "GI_Mess_CloneInfo_StunKill_ZEPHTrunk", "GI_Mess_CloneInfo_StunKill_Multisite",
          "GI_Mess_CloneInfo_StunKill_Multisite_System", "GI_Mess_CloneInfo_Stun", "GI_Mess_CloneInfo_Kill"})
        formats.push_back({key, 0, {}});
    // The clone error heads: line 2 takes the port number, every other line
    // goes through the same formatting without an argument.
    for (int line = 0; line < 20; ++line) formats.push_back({"GI_Mess_CloneErr_Head", line, line == 2 ? Conv{"%d"} : Conv{}});

    const ovl::Overlay& file = Language();
    for (const Format& f : formats) {
        ASSERT_TRUE(file.Has(f.key)) << f.key;
        std::string text;
        if (f.line < 0) {
            for (const std::string& line : file.Section(f.key)) text += line + "\n";
        } else {
            text = file.Line(f.key, static_cast<size_t>(f.line));
        }
        EXPECT_EQ(ovl::Conversions(text), f.conversions) << f.key << " line " << f.line << ": " << text;
    }
}

TEST_F(FixedKeys, NumbersAndFileNamesAreWhatTheProgramReads)
{
    const ovl::Overlay& file = Language();
    auto isNumber = [](const std::string& text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    };
    for (const char* key : {"GI_Sys_TreeChangeDelay", "GI_Sys_LockoutNewerData", "GI_Sys_Printer_FrameFont", "GI_AppUnitIdMax"})
        EXPECT_TRUE(isNumber(file.Line(key, 0))) << key << ": " << file.Line(key, 0);

    // Unit IDs stay below the window of 16-bit IDs that are never stored
    // (65520 to 65534).
    int unitIdMax = std::atoi(file.Line("GI_AppUnitIdMax", 0).c_str());
    EXPECT_GE(unitIdMax, 1);
    EXPECT_LE(unitIdMax, 65519);

    std::stringstream margins(file.Line("GI_Sys_Printer_Margins", 0));
    std::string part;
    int count = 0;
    while (std::getline(margins, part, ',')) {
        part.erase(0, part.find_first_not_of(' '));
        part.erase(part.find_last_not_of(' ') + 1);
        EXPECT_TRUE(isNumber(part)) << "margin " << count << ": " << part;
        ++count;
    }
    EXPECT_EQ(count, 4) << "margins are left, top, right, bottom";

    // The initial clone files are generated into bin/ under these names.
    EXPECT_EQ(file.Line("GI_App_InitialFile", 0), "InitialLMR.icf");
    EXPECT_EQ(file.Line("GI_App_InitialFile", 1), "InitialPMR.icf");
    // After a change of language the help file of the new language is opened.
    EXPECT_EQ(file.Line("GI_Sys_MyHelpOvl", 0), ovl::HelpFile);
}

TEST_F(FixedKeys, SegmentGlyphLinesParse)
{
    // Segment lines first: a triangle count (negative for an unfilled
    // segment), then one field of three points per triangle; comment lines
    // and "0" lines only after them.
    const std::regex point(R"(\(\s*-?\d+\s*,\s*-?\d+\s*\))");
    bool tail = false;
    int segments = 0;
    for (std::string line : Language().Section("GI_PCG_Seg_Data")) {
        line.erase(0, line.find_first_not_of(' '));
        if (line.rfind("//", 0) == 0 || line == "0") {
            tail = true;
            continue;
        }
        EXPECT_FALSE(tail) << "a segment line after a comment: " << line;
        std::vector<std::string> fields;
        std::stringstream parts(line);
        for (std::string field; std::getline(parts, field, '|');) fields.push_back(field);
        ASSERT_FALSE(fields.empty());
        int triangles = std::atoi(fields[0].c_str());
        EXPECT_EQ(std::to_string(triangles), fields[0]) << line;
        ASSERT_EQ(static_cast<size_t>(std::abs(triangles)) + 1, fields.size()) << line;
        for (size_t i = 1; i < fields.size(); ++i) {
            auto points = std::distance(std::sregex_iterator(fields[i].begin(), fields[i].end(), point), std::sregex_iterator());
            EXPECT_EQ(points, 3) << fields[i];
        }
        ++segments;
    }
    EXPECT_GT(segments, 0);
}

TEST_F(FixedKeys, ColumnWidthListLinesNameASheetAndAStoreKey)
{
    // The reader stops at an empty line or a line without ':' as well, so
    // every line before the '#' line must be "sheet key:store key".
    for (const std::string& line : Language().Section("GI_CellWidthRegList")) {
        size_t colon = line.find(':');
        ASSERT_NE(colon, std::string::npos) << line;
        EXPECT_GT(colon, 0u) << line;
        EXPECT_LT(colon + 1, line.size()) << line;
        EXPECT_EQ(line.find_first_of(" \t\\"), std::string::npos) << "the store key names a settings section: " << line;
    }
}

} // namespace
