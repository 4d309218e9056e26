#include "core/cmcFCache.h"

#include "core/CellNames.h"
#include "core/cmcGTex.h"
#include "core/cmcHash.h"
#include "core/cmcHash2.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The language table holds the lists of these tests for their duration.
class FCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_GTex.FreeState();
        g_GTex.InitState();
        ASSERT_EQ(g_GTex.OpenOverlayLines({
                      "#GI_Sheet_Sel_Test_Cells",
                      "{(%Flex0[3])}Three|{(%Flex0[1]:one)}One text",
                      "{(%Flex0[2])}Two|{(%Flex0[0])}Zero",
                      "#GI_Sheet_Sel_Mixed_Cells",
                      "{(%Flex1[7])}Head|{(%Flex0[5])}Five",
                      "",
                      "{(%Flex0[5])}Five again|{(%Flex0[4])}Four|{}",
                      "#GI_Sheet_Sel_Count_Cells",
                      "{(%Flex0[@ch0])(@ch0++)}a|{(%Flex0[@ch0])(@ch0++)}b",
                      "{(%Flex0[@ch0])(@ch0++)}c",
                      "#End_Of_Ovl",
                  }),
                  1);
    }
    void TearDown() override
    {
        g_GTex.FreeState();
        g_GTex.InitState();
    }

    // The values met when stepping by n from start, count times.
    static std::vector<int> Walk(const cmcFCache& cache, const char* key, int start, int n, int count)
    {
        std::vector<int> out;
        int v = start;
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(cache.Step(key, Flex0, v, n, v));
            out.push_back(v);
        }
        return out;
    }

    cmcFCache cache;
};

TEST_F(FCache, LabelsByValueAndStepsInColumnOrder)
{
    const char* key = "GI_Sheet_Sel_Test";
    EXPECT_EQ(cache.GetLabel(key, Flex0, 3), "Three");
    EXPECT_EQ(cache.GetLabel(key, Flex0, 1), "one"); // the argument wins over the display text
    EXPECT_EQ(cache.GetLabel(key, Flex0, 2), "Two");
    EXPECT_EQ(cache.GetLabel(key, Flex0, 0), "Zero");
    EXPECT_EQ(cache.GetLabel(key, Flex0, 4), "error");
    EXPECT_EQ(cache.GetLabel(key, Flex0, -1), "error");

    // Column 0 of both lines, then column 1 of both: 3, 2, 1, 0.
    EXPECT_EQ(Walk(cache, key, 3, 1, 4), (std::vector<int>{2, 1, 0, 3}));
    EXPECT_EQ(Walk(cache, key, 3, -1, 4), (std::vector<int>{0, 1, 2, 3}));

    struct Case {
        int from, n, to;
    } cases[] = {
        {0, 1, 3},   // from the last to the first
        {3, -1, 0},  // from the first to the last
        {2, 5, 3},   // far past the end: the first
        {2, -7, 0},  // far before the start: the last
        {9, 1, 3},   // a value not in the list: the first
        {1, 0, 1},
        {3, 2147483647, 3},
        {0, -2147483647 - 1, 0},
    };
    for (const Case& c : cases) {
        int v = -100;
        EXPECT_TRUE(cache.Step(key, Flex0, c.from, c.n, v));
        EXPECT_EQ(v, c.to) << c.from << " by " << c.n;
    }
}

TEST_F(FCache, ReadsAListOnceAndOnlyOnDemand)
{
    const char* key = "GI_Sheet_Sel_Test";
    std::string text = "unchanged";
    int v = 42;
    EXPECT_FALSE(cache.Lookup(key, Flex0, 3, text));
    EXPECT_FALSE(cache.Step(key, Flex0, 3, 1, v));
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(v, 42);

    long before = g_GTex.Counts().SectionLines;
    EXPECT_EQ(cache.GetLabel(key, Flex0, 2), "Two");
    long afterBuild = g_GTex.Counts().SectionLines;
    EXPECT_GT(afterBuild, before);

    EXPECT_EQ(cache.GetLabel(key, Flex0, 0), "Zero");
    EXPECT_TRUE(cache.Lookup(key, Flex0, 3, text));
    EXPECT_EQ(text, "Three");
    EXPECT_TRUE(cache.Lookup(key, Flex0, 8, text));
    EXPECT_EQ(text, "error");
    EXPECT_EQ(g_GTex.Counts().SectionLines, afterBuild);

    // Each label of a list is a set of its own.
    EXPECT_FALSE(cache.Lookup(key, Flex1, 3, text));
    EXPECT_EQ(cache.SetKey(key, Flex1), "GI_Sheet_Sel_Test#2");

    // Building a set that is cached already is a programming fault.
    EXPECT_EQ(qmtest::FatalMessage([&] { cache.Build(key, Flex0); }), "Overlapped Hash2 table.");
}

TEST_F(FCache, AListWithoutTheLabelAnswersErrorAndNeverSteps)
{
    const char* key = "GI_Sheet_Sel_Test";
    EXPECT_EQ(cache.GetLabel(key, Flex1, 3), "error");
    EXPECT_EQ(cache.GetLabel(key, Flex1, 0), "error");
    int v = 3;
    EXPECT_FALSE(cache.Step(key, Flex1, 3, 1, v));
    EXPECT_FALSE(cache.Step(key, Flex1, 3, -1, v));
    EXPECT_EQ(v, 3);
}

TEST_F(FCache, EmptyLinesRepeatedValuesAndOtherLabels)
{
    const char* key = "GI_Sheet_Sel_Mixed";
    // Line 1 is empty: a line without cells. Position order: line 2 column 0
    // (5, "Five again"), line 0 column 1 (5, "Five"), line 2 column 1 (4).
    EXPECT_EQ(cache.GetLabel(key, Flex0, 4), "Four");
    EXPECT_EQ(cache.GetLabel(key, Flex0, 5), "Five"); // the first in value order
    EXPECT_EQ(Walk(cache, key, 4, 1, 3), (std::vector<int>{5, 5, 5}));
    EXPECT_EQ(Walk(cache, key, 5, 2, 1), (std::vector<int>{4}));
    EXPECT_EQ(Walk(cache, key, 4, -1, 1), (std::vector<int>{5}));
    EXPECT_EQ(cache.GetLabel(key, Flex1, 7), "Head");
}

TEST_F(FCache, CounterSlotsStartAtZeroForEachList)
{
    const char* key = "GI_Sheet_Sel_Count";
    EXPECT_EQ(cache.GetLabel(key, Flex0, 0), "a");
    EXPECT_EQ(cache.GetLabel(key, Flex0, 1), "b");
    EXPECT_EQ(cache.GetLabel(key, Flex0, 2), "c");

    cmcFCache other;
    EXPECT_EQ(other.GetLabel(key, Flex0, 0), "a");
    // Position order: a (line 0), c (line 1), b (line 0, column 1).
    EXPECT_EQ(Walk(other, key, 0, 1, 3), (std::vector<int>{2, 1, 0}));
}

TEST(FCacheSearch, BinarySearchWithinARange)
{
    std::vector<dst_FCacheEntry> e(5);
    const int values[] = {1, 3, 3, 8, 20};
    for (int i = 0; i < 5; ++i) e[static_cast<size_t>(i)].Value = values[i];
    struct Case {
        int first, last, value, found;
    } cases[] = {
        {0, 4, 1, 0},  {0, 4, 8, 3},  {0, 4, 20, 4}, {0, 4, 4, -1}, {0, 4, 0, -1},
        {0, 4, 21, -1}, {0, -1, 1, -1}, {3, 4, 1, -1}, {0, 2, 8, -1}, {0, 4, 3, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cmcFCache::BinarySearch(e, c.first, c.last, c.value), c.found)
            << c.value << " in " << c.first << ".." << c.last;
}

TEST(Hash2, SharesTheBucketsOfTheNameHashAndRefusesDuplicates)
{
    cmcHash names(0);
    cmcHash2 sets(0);
    EXPECT_EQ(sets.BucketCount(), 1031u);
    for (const char* k : {"GI_Sheet_Sel_Test#1", "a", "", "\xE3\x81\x82#5"})
        EXPECT_EQ(sets.HashOf(k), names.HashOf(k)) << k;

    dst_FCacheSet a, b;
    sets.Insert("k#1", &a);
    sets.Insert("K#1", &b); // keys are compared exactly
    EXPECT_EQ(sets.Find("k#1"), &a);
    EXPECT_EQ(sets.Find("K#1"), &b);
    EXPECT_EQ(sets.Find("k#2"), nullptr);
    EXPECT_EQ(qmtest::FatalMessage([&] { sets.Insert("k#1", &b); }), "Overlapped Hash2 table.");
    EXPECT_EQ(sets.Find("k#1"), &a);

    cmcHash2 tiny(1);
    tiny.Insert("x", nullptr);
    EXPECT_EQ(qmtest::FatalMessage([&] { tiny.Insert("x", &a); }), "Overlapped Hash2 table.");
}

} // namespace
