#include "core/cmcRecent.h"
#include "core/cmcScrBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Entries(cmcRecent& r)
{
    std::vector<std::string> out;
    for (int i = 0; i < r.Count(); ++i) out.push_back(r.Path(i));
    return out;
}

TEST(Recent, KeepsTheMostRecentWithoutDuplicates)
{
    cmcRecent r(10);
    for (int i = 0; i < 11; ++i) r.AddFront("/d/f" + std::to_string(i));
    ASSERT_EQ(r.Count(), 10);
    EXPECT_EQ(r.Path(0), "/d/f10");
    EXPECT_EQ(r.Path(9), "/d/f1"); // f0, the oldest, dropped

    r.AddFront("/d/f5");
    std::vector<std::string> e = Entries(r);
    ASSERT_EQ(e.size(), 10u);
    EXPECT_EQ(e[0], "/d/f5");
    EXPECT_EQ(std::count(e.begin(), e.end(), "/d/f5"), 1);
    EXPECT_EQ(e[1], "/d/f10");

    r.Remove("/d/f10");
    EXPECT_EQ(r.Count(), 9);
    EXPECT_EQ(r.Path(1), "/d/f9");
    EXPECT_EQ(r.Path(9), ""); // past the end
    EXPECT_EQ(r.Path(-1), "");

    r.Clear();
    EXPECT_EQ(r.Count(), 0);
}

TEST(Recent, AddBackLoadsInOrderAndDropsRepeats)
{
    cmcRecent r(3);
    for (const char* p : {"/a", "/b", "/a", "/c", "/d"}) r.AddBack(p);
    // "/a" again moves to the back; "/d", a fourth entry, does not fit.
    EXPECT_EQ(Entries(r), (std::vector<std::string>{"/b", "/a", "/c"}));
}

TEST(Recent, PathsDifferingInCaseAreDifferentFiles)
{
    cmcRecent r(10);
    r.AddFront("/data/radio.icf");
    r.AddFront("/data/Radio.icf");
    EXPECT_EQ(Entries(r), (std::vector<std::string>{"/data/Radio.icf", "/data/radio.icf"}));
    r.Remove("/data/RADIO.icf");
    EXPECT_EQ(r.Count(), 2);
    r.Remove("/data/radio.icf");
    EXPECT_EQ(Entries(r), (std::vector<std::string>{"/data/Radio.icf"}));
}

TEST(Recent, DisplayNameShowsTheFileNameInsideTheGivenFolder)
{
    cmcRecent r(10);
    r.AddFront("/x.icf");
    r.AddFront("/home/u/Data/a.icf");
    struct Case {
        int entry;
        const char* folder;
        const char* shown;
    } cases[] = {
        {0, "/home/u/Data", "a.icf"},
        {0, "/home/u/Data/", "a.icf"},
        {0, "/home/u/Data//", "a.icf"},
        {0, "/home/u/data", "/home/u/Data/a.icf"}, // case matters
        {0, "/home/u/Other", "/home/u/Data/a.icf"},
        {0, "/home/u", "/home/u/Data/a.icf"},
        {0, "", "/home/u/Data/a.icf"}, // an empty folder gives the full path to open
        {1, "", "/x.icf"},             // also for a file in the root folder
        {1, "/", "x.icf"},
        {2, "/", ""},
        {-1, "/", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(r.DisplayName(c.entry, c.folder), c.shown) << c.entry << " in '" << c.folder << "'";
}

TEST(ScrBlock, SplitsWordAndArguments)
{
    struct Case {
        const char* line;
        const char* word;
        std::vector<std::string> args;
    } cases[] = {
        {"Word 3, 7", "Word", {"3", "7"}},
        {"Word", "Word", {""}},
        {"A  x , y,z", "A", {"x", "y", "z"}},
        {"Bank\t12", "Bank", {"12"}},
        {"  L 1,2  ", "L", {"1", "2"}},
        {"C ,5", "C", {"", "5"}},
        {"C 1,,", "C", {"1", "", ""}},
        {"", "", {""}},
    };
    for (const Case& c : cases) {
        cmcScrBlock b(c.line);
        EXPECT_EQ(b.GetWord(), c.word) << "'" << c.line << "'";
        std::vector<std::string> args;
        for (int i = 0; i < b.GetCount(); ++i) args.push_back(b.GetArg(i));
        EXPECT_EQ(args, c.args) << "'" << c.line << "'";
    }
}

TEST(ScrBlock, ArgumentsOutsideTheListAndResizing)
{
    cmcScrBlock b("L 4, 9");
    EXPECT_EQ(b.GetArg(-1), "");
    EXPECT_EQ(b.GetArg(2), "");

    b.SetCount(4);
    ASSERT_EQ(b.GetCount(), 4);
    EXPECT_EQ(b.GetArg(1), "9");
    EXPECT_EQ(b.GetArg(2), ""); // new places are empty texts
    EXPECT_EQ(b.GetArg(3), "");

    b.SetCount(1);
    EXPECT_EQ(b.GetCount(), 1);
    EXPECT_EQ(b.GetArg(0), "4");
    EXPECT_EQ(b.GetArg(1), "");

    b.SetCount(-3);
    EXPECT_EQ(b.GetCount(), 0);
    EXPECT_EQ(b.GetArg(0), "");
}

} // namespace
