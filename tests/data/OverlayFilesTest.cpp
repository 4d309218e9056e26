// The three overlay files as files: how they end, what bytes they hold, keys
// that a later definition would shadow, and the system and help tables.
#include "tests/data/OverlayFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using ovl::Overlay;

TEST(OverlayFiles, EachEndsWithTheEndKeyAndHoldsPlainText)
{
    struct Case {
        const Overlay& file;
        bool tabsAllowed; // the system and help tables separate their fields by a tab
    };
    for (const Case& c : {Case{ovl::System(), true}, Case{ovl::Language(), false}, Case{ovl::Help(), true}}) {
        SCOPED_TRACE(c.file.Name());
        const std::string& bytes = c.file.Bytes();
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.back(), '\n');
        ASSERT_FALSE(c.file.KeyLines().empty());
        EXPECT_EQ(c.file.KeyLines().back().first, "End_Of_Ovl");
        EXPECT_EQ(c.file.KeyLines().back().second, c.file.Lines().size() - 1) << "the end key is not the last line";
        EXPECT_EQ(c.file.LinesAfterEnd(), 0u);
        for (size_t i = 0; i < bytes.size(); ++i) {
            auto b = static_cast<unsigned char>(bytes[i]);
            bool ok = (b >= 0x20 && b < 0x7F) || b == '\n' || (b == '\t' && c.tabsAllowed);
            if (!ok) {
                ADD_FAILURE() << "byte " << static_cast<int>(b) << " at offset " << i;
                break;
            }
        }
    }
}

TEST(OverlayFiles, NoKeyIsDefinedTwice)
{
    // The reader takes the first definition of a key, so a second one (from
    // another fragment, say) would be dead text.
    for (const Overlay* file : {&ovl::System(), &ovl::Language(), &ovl::Help()}) {
        std::map<std::string, int> seen;
        for (const auto& [key, line] : file->KeyLines()) ++seen[key];
        for (const auto& [key, count] : seen) EXPECT_EQ(count, 1) << file->Name() << ": #" << key;
    }
}

TEST(OverlayFiles, LanguageListNamesLanguageFilesBesideTheProgram)
{
    bool ended = false;
    std::vector<std::string> lines = ovl::System().Section("GI_Sys_Language", &ended);
    EXPECT_TRUE(ended) << "the language list must end with a '#' line";
    ASSERT_FALSE(lines.empty()) << "an empty language list leaves the program without a language file";
    EXPECT_LE(lines.size(), 255u);
    for (const std::string& line : lines) {
        size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_GT(tab, 0u) << "a language needs a name: " << line;
        std::string file = line.substr(tab + 1);
        EXPECT_TRUE(std::filesystem::is_regular_file(ovl::OverlayPath(file))) << file;
    }
    EXPECT_EQ(lines.front().substr(lines.front().find('\t') + 1), ovl::LanguageFile);
}

TEST(OverlayFiles, HelpTablesHoldTwoFieldsALineAndEndWithAHashLine)
{
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> tables;
    for (const char* key : {"GI_AppItem_Topic_ID", "GI_AppItem_Key_Assign_Topic_ID", "GI_AppItem_Context_ID"}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(ovl::Help().Has(key));
        bool ended = false;
        for (const std::string& line : ovl::Help().HashEndedSection(key, &ended)) {
            size_t tab = line.find('\t');
            ASSERT_NE(tab, std::string::npos) << line;
            EXPECT_EQ(line.find('\t', tab + 1), std::string::npos) << line;
            EXPECT_GT(tab, 0u) << line;
            EXPECT_LT(tab + 1, line.size()) << line;
            tables[key].emplace_back(line.substr(0, tab), line.substr(tab + 1));
        }
        EXPECT_TRUE(ended) << "the table must end with a line that is exactly '#'";
    }
    std::set<std::string> contexts;
    for (const auto& [topic, number] : tables["GI_AppItem_Context_ID"]) {
        EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << topic << " " << number;
        contexts.insert(topic);
        // Every context opens a help page of its own, placed beside the
        // contents page that "GI_Sys_MyHelpFile" names.
        const std::filesystem::path contents = ovl::OverlayPath(ovl::Language().Line("GI_Sys_MyHelpFile", 0));
        EXPECT_TRUE(std::filesystem::is_regular_file(contents)) << contents;
        EXPECT_TRUE(std::filesystem::is_regular_file(contents.parent_path() / ("context-" + number + ".html")))
            << topic << " " << number;
    }
    for (const char* key : {"GI_AppItem_Topic_ID", "GI_AppItem_Key_Assign_Topic_ID"}) {
        for (const auto& [name, topic] : tables[key])
            EXPECT_TRUE(contexts.count(topic)) << key << ": topic " << topic << " of " << name << " has no context";
    }
    // Cell names are the program's label names.
    for (const auto& [name, topic] : tables["GI_AppItem_Topic_ID"]) EXPECT_NE(CellLabelIndex(name), CL_NoLabel) << name;
}

} // namespace
