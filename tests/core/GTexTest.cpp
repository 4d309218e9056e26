#include "core/cmcGTex.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

namespace {

std::string NotFound(const std::string& key) { return "GTEX Error !\nThe index '" + key + "' was not found."; }

// One request and its answer; a null text means the request is fatal.
struct Step {
    const char* key;
    int n;
    const char* text;
};

void RunSteps(cmcGTex& table, const std::vector<Step>& steps)
{
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.key) + " line " + std::to_string(s.n));
        if (s.text) {
            EXPECT_EQ(table.GetText(s.key, s.n), s.text);
        } else {
            EXPECT_EQ(qmtest::FatalMessage([&] { table.GetText(s.key, s.n); }), NotFound(s.key));
        }
    }
}

std::string Join(const std::vector<std::string>& lines, const std::string& lineEnd)
{
    std::string text;
    for (const auto& line : lines) text += line + lineEnd;
    return text;
}

enum class Source { FileLf, FileCrLf, Lines };

// The same overlay read from a file with either line end and from a line array.
class GTexSources : public ::testing::TestWithParam<Source> {
protected:
    void Open(const std::vector<std::string>& lines)
    {
        if (GetParam() == Source::Lines) {
            ASSERT_EQ(table.OpenOverlayLines(lines), 1);
            return;
        }
        const std::string path = dir.File("table.ovl");
        qmtest::WriteFile(path, Join(lines, GetParam() == Source::FileLf ? "\n" : "\r\n"));
        ASSERT_EQ(table.OpenOverlayFile(path), 1);
    }

    qmtest::TempDir dir;
    cmcGTex table;
};

const std::vector<std::string> kFormat = {
    "preamble", "#A", "a0", "#", "a\rb", "", "#B c", "b0", "#A", "dup0", "#End_Of_Ovl", "#C", "c0",
};

} // namespace

TEST_P(GTexSources, SectionsHaveNoBoundAndTheFirstOccurrenceWins)
{
    Open(kFormat);
    RunSteps(table, {
        {"A", 0, "a0"},
        {"A", 1, "#"},          // "#" alone opens nothing
        {"A", 2, "a\rb"},       // a lone carriage return is text
        {"A", 3, ""},
        {"A", 4, "#B c"},       // reading runs on into the next section
        {"B c", 0, "b0"},       // blanks belong to the key
        {"A", 7, "dup0"},
        {"A", 0, "a0"},         // the duplicate, now indexed, is never returned
        {"A", 10, "c0"},
        {"A", 11, nullptr},     // past the end of the source
        {"A", -1, nullptr},     // a negative line is missing too
        {"A", 1, "#"},
        {"C", 0, nullptr},      // after the end key
        {"End_Of_Ovl", 0, "#C"},
        {"B", 0, nullptr},
        {"a", 0, nullptr},
        {"", 0, nullptr},
        {"B c ", 0, nullptr},
    });
}

TEST_P(GTexSources, DuplicateSeenBeforeTheFirstLookupStillLoses)
{
    Open(kFormat);
    RunSteps(table, {{"End_Of_Ovl", 1, "c0"}, {"A", 0, "a0"}, {"A", 6, "#A"}, {"A", 0, "a0"}});
}

TEST_P(GTexSources, CursorMakesForwardWalksReadOnlyTheNeededLines)
{
    Open({"#V", "v0", "v1", "#W", "w0", "w1", "w2", "w3", "w4", "w5", "#End_Of_Ovl"});
    struct Walk {
        const char* key;
        int n;
        const char* text;
        long linesRead;
    } walks[] = {
        {"W", 2, "w2", 3}, {"W", 1, "w1", 2},  // back: restart from line 0
        {"W", 3, "w3", 2},                     // forward: lines 2 and 3 only
        {"W", 3, "w3", 4}, {"W", 4, "w4", 1}, {"V", 0, "v0", 1}, {"W", 5, "w5", 1},
        {"V", 1, "v1", 1}, {"W", 0, "w0", 1}, {"W", 1, "w1", 1}, {"W", 6, "#End_Of_Ovl", 5},
    };
    for (const Walk& w : walks) {
        SCOPED_TRACE(std::string(w.key) + " line " + std::to_string(w.n));
        const long before = table.Counts().SectionLines;
        EXPECT_EQ(table.GetText(w.key, w.n), w.text);
        EXPECT_EQ(table.Counts().SectionLines - before, w.linesRead);
    }
    // A failed request leaves the cursor usable.
    RunSteps(table, {{"W", 7, nullptr}, {"W", 5, "w5"}, {"W", 6, "#End_Of_Ovl"}});
}

TEST_P(GTexSources, MultiLineTextStopsAtTheFirstHashLine)
{
    Open({"#M1", "first", "", "third", "#M2", "only", "#", "#M3", "#Next", "#M4", "x"});
    EXPECT_EQ(table.GetMultiLineText("M1"), "first\n\nthird");
    EXPECT_EQ(table.GetMultiLineText("M2"), "only");
    EXPECT_EQ(table.GetMultiLineText("M3"), "");
    EXPECT_EQ(table.GetFirstLine("M2"), "only");
    // The source ends without a '#' line after the text.
    EXPECT_EQ(qmtest::FatalMessage([&] { table.GetMultiLineText("M4"); }), NotFound("M4"));
    EXPECT_EQ(qmtest::FatalMessage([&] { table.GetMultiLineText("M5"); }), NotFound("M5"));
}

// Moving keys to the front must keep the list whole (also when the tail
// moves) and keep first occurrences ahead of later ones.
TEST_P(GTexSources, KeysAreIndexedLazilyAndOnce)
{
    std::vector<std::string> lines;
    for (int k = 0; k < 25; ++k) {
        lines.push_back("#K" + std::to_string(k));
        lines.push_back("k" + std::to_string(k));
    }
    lines.insert(lines.end(), {"#K15", "late", "#End_Of_Ovl", "#K99", "k99"});
    Open(lines);

    RunSteps(table, {{"K3", 0, "k3"}});
    EXPECT_EQ(table.KeyCount(), 4);
    RunSteps(table, {{"K20", 0, "k20"}});
    EXPECT_EQ(table.KeyCount(), 21);
    RunSteps(table, {{"K20", 1, "#K21"}, {"K22", 0, "k22"}, {"K5", 0, "k5"}, {"K21", 0, "k21"}, {"K20", 0, "k20"}});
    EXPECT_EQ(table.KeyCount(), 23);

    RunSteps(table, {{"K99", 0, nullptr}});
    EXPECT_EQ(table.KeyCount(), 27);
    const long read = table.Counts().SourceLines;
    RunSteps(table, {{"K99", 0, nullptr}, {"Z", 0, nullptr}});
    EXPECT_EQ(table.Counts().SourceLines, read); // nothing is indexed twice

    for (int round = 0; round < 2; ++round) {
        for (int k = 24; k >= 0; --k) {
            EXPECT_EQ(table.GetFirstLine("K" + std::to_string(k)), "k" + std::to_string(k));
        }
    }
    RunSteps(table, {{"K15", 0, "k15"}, {"K15", 1, "#K16"}});
}

TEST_P(GTexSources, LongLinesAreSplit)
{
    const std::string x10000(10000, 'x');
    Open({"#K", x10000, "next", "#L", "l0", "#End_Of_Ovl"});
    EXPECT_EQ(table.GetText("K", 0), std::string(8191, 'x'));
    if (GetParam() == Source::Lines) {
        // An array element is one line: what does not fit is dropped.
        EXPECT_EQ(table.GetText("K", 1), "next");
    } else {
        EXPECT_EQ(table.GetText("K", 1), std::string(1809, 'x'));
        EXPECT_EQ(table.GetText("K", 2), "next");
    }
    EXPECT_EQ(table.GetText("L", 0), "l0");
}

INSTANTIATE_TEST_SUITE_P(, GTexSources, ::testing::Values(Source::FileLf, Source::FileCrLf, Source::Lines),
                         [](const ::testing::TestParamInfo<Source>& info) {
                             switch (info.param) {
                             case Source::FileLf: return "FileLf";
                             case Source::FileCrLf: return "FileCrLf";
                             case Source::Lines: return "Lines";
                             }
                             return "";
                         });

TEST(cmcGTex, LineLimitCountsTheNewlineAsOneCharacter)
{
    qmtest::TempDir dir;
    struct Case {
        size_t length;
        const char* lineEnd;
        std::vector<size_t> lengths; // of the lines read before "next"
    } cases[] = {
        {8190, "\n", {8190}},  {8190, "\r\n", {8190}}, {8191, "\n", {8191, 0}},
        {8191, "\r\n", {8191, 0}}, {16382, "\n", {8191, 8191, 0}}, {8189, "\r\n", {8189}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + (c.lineEnd[0] == '\r' ? " CRLF" : " LF"));
        const std::string path = dir.File("long.ovl");
        qmtest::WriteFile(path, "#K\n" + std::string(c.length, 'y') + c.lineEnd + "next\n#End_Of_Ovl\n");
        cmcGTex table;
        table.OpenOverlayFile(path);
        int n = 0;
        for (size_t length : c.lengths) EXPECT_EQ(table.GetText("K", n++), std::string(length, 'y'));
        EXPECT_EQ(table.GetText("K", n), "next");
    }
    // A split line whose rest starts with '#' gives a key line.
    const std::string path = dir.File("hidden.ovl");
    qmtest::WriteFile(path, "#K\n" + std::string(8191, 'z') + "#Hidden\nh0\n");
    cmcGTex table;
    table.OpenOverlayFile(path);
    EXPECT_EQ(table.GetText("Hidden", 0), "h0");
}

// Files are read in blocks: a "\r\n" split between two reads is still one
// line end. Over the eight preamble lengths a carriage return falls on every
// offset modulo 8, so on the last byte of any power-of-two block.
TEST(cmcGTex, CrLfSplitBetweenReadsIsOneLineEnd)
{
    qmtest::TempDir dir;
    const int lines = 9000; // more than 64 KiB
    for (int preamble = 0; preamble < 8; ++preamble) {
        SCOPED_TRACE(preamble);
        std::string text = "#K\r\n" + std::string(static_cast<size_t>(preamble), 'p') + "\r\n";
        for (int i = 0; i < lines; ++i) text += "abcdef\r\n";
        text += "#End_Of_Ovl\r\n";
        qmtest::WriteFile(dir.File("crlf.ovl"), text);
        cmcGTex table;
        table.OpenOverlayFile(dir.File("crlf.ovl"));
        ASSERT_EQ(table.GetText("K", 0), std::string(static_cast<size_t>(preamble), 'p'));
        int wrong = 0;
        for (int n = 1; n <= lines; ++n) wrong += table.GetText("K", n) != "abcdef";
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(table.GetText("K", lines + 1), "#End_Of_Ovl");
    }
}

TEST(cmcGTex, CacheEvictsTheLeastRecentlyUsedLines)
{
    qmtest::TempDir dir;
    std::vector<std::string> lines = {"#A", "a0", "a1", "a2", "#B"};
    for (int i = 0; i < 70; ++i) lines.push_back("b" + std::to_string(i));
    lines.push_back("#End_Of_Ovl");
    const std::string path = dir.File("cache.ovl");
    qmtest::WriteFile(path, Join(lines, "\n"));
    cmcGTex table;
    table.OpenOverlayFile(path);

    // Walks a section from `from` to `to` and returns the lines read from the file.
    auto walk = [&](const char* key, int from, int to) {
        const long before = table.Counts().SourceLines;
        for (int n = from; n <= to; ++n) {
            const std::string expected = key == std::string("A") ? "a" + std::to_string(n) : "b" + std::to_string(n);
            EXPECT_EQ(table.GetText(key, n), expected) << key << n;
        }
        return table.Counts().SourceLines - before;
    };
    walk("A", 0, 2);
    walk("B", 0, 0); // indexes B
    EXPECT_EQ(walk("B", 1, 59), 59);
    EXPECT_EQ(walk("A", 0, 2), 0);  // 63 lines held
    EXPECT_EQ(walk("B", 60, 62), 3); // evicts b0 and b1, not the older but recently used a0 to a2
    EXPECT_EQ(walk("A", 0, 2), 0);
    EXPECT_EQ(walk("B", 0, 0), 1);   // evicts b2
    EXPECT_EQ(walk("A", 0, 2), 0);
    EXPECT_EQ(walk("B", 3, 3), 3);   // b1 and b2 are gone; reading them pushes b3 out
}

TEST(cmcGTex, OpenOverlayLinesKeepsAnExistingSource)
{
    qmtest::TempDir dir;
    const std::string path = dir.File("f.ovl");
    qmtest::WriteFile(path, "#K\nfile\n#End_Of_Ovl\n");

    cmcGTex fromLines;
    EXPECT_EQ(fromLines.OpenOverlayLines({"#K", "first"}), 1);
    EXPECT_EQ(fromLines.GetText("K", 0), "first");
    EXPECT_EQ(fromLines.OpenOverlayLines({"#K", "second", "#J", "j"}), 0);
    RunSteps(fromLines, {{"K", 0, "first"}, {"J", 0, nullptr}});

    cmcGTex fromFile;
    fromFile.OpenOverlayFile(path);
    EXPECT_EQ(fromFile.OpenOverlayLines({"#K", "lines"}), 0);
    EXPECT_EQ(fromFile.GetText("K", 0), "file");

    // Back to an empty table; a failed lookup without a source does not stop
    // a source set later from being indexed.
    fromFile.FreeState();
    fromFile.InitState();
    EXPECT_EQ(qmtest::FatalMessage([&] { fromFile.GetText("K", 0); }), NotFound("K"));
    EXPECT_EQ(fromFile.OpenOverlayLines({"#K", "lines"}), 1);
    EXPECT_EQ(fromFile.GetText("K", 0), "lines");
}

TEST(cmcGTex, ReopeningStartsAfresh)
{
    qmtest::TempDir dir;
    // The same key at the same offsets: cached lines and cursors must not survive.
    qmtest::WriteFile(dir.File("en.ovl"), "#Title\nHello\nWorld\n#OnlyEn\nx\n#End_Of_Ovl\n");
    qmtest::WriteFile(dir.File("de.ovl"), "#Title\nHallo\nWelt!\n#End_Of_Ovl\n");

    cmcGTex table;
    EXPECT_EQ(table.OpenOverlayLines({"#Title", "Lines"}), 1);
    EXPECT_EQ(table.GetText("Title", 0), "Lines");
    EXPECT_EQ(table.OpenOverlayFile(dir.File("en.ovl")), 1);
    RunSteps(table, {{"Title", 1, "World"}, {"OnlyEn", 0, "x"}});
    EXPECT_EQ(table.OpenOverlayFile(dir.File("de.ovl")), 1);
    RunSteps(table, {{"Title", 1, "Welt!"}, {"Title", 0, "Hallo"}, {"OnlyEn", 0, nullptr}});
    EXPECT_EQ(table.OpenOverlayFile(dir.File("missing.ovl")), 1);
    RunSteps(table, {{"Title", 0, nullptr}});
    EXPECT_EQ(table.OpenOverlayFile(""), 1);
    RunSteps(table, {{"Title", 0, nullptr}});
}

TEST(cmcGTex, EmptyOrUnterminatedSources)
{
    qmtest::TempDir dir;
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"no final newline", "#K\nk0\n#Last"},
        {"hash at the very end", "#K\nk0\n#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qmtest::WriteFile(dir.File("t.ovl"), c.text);
        cmcGTex table;
        table.OpenOverlayFile(dir.File("t.ovl"));
        if (c.text.empty()) {
            RunSteps(table, {{"K", 0, nullptr}});
            continue;
        }
        const std::string last = c.text.substr(c.text.rfind('\n') + 1);
        RunSteps(table, {{"K", 0, "k0"}, {"K", 1, last.c_str()}, {"K", 2, nullptr}});
    }
}
