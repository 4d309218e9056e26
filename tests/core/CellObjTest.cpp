#include "core/cmcCellObj.h"

#include "core/cmcGTex.h"
#include "tests/support/TestSupport.h"

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Opt = std::optional<std::string>;

class CellObj : public ::testing::Test {
protected:
    void SetUp() override { ResetOverlay(); }
    void TearDown() override { ResetOverlay(); }

    static void ResetOverlay()
    {
        g_GTex.FreeState();
        g_GTex.InitState();
    }

    static void UseOverlay(std::vector<std::string> lines)
    {
        lines.push_back("#End_Of_Ovl");
        ASSERT_EQ(g_GTex.OpenOverlayLines(std::move(lines)), 1);
    }

    // Parses the first cell of the row and returns the rest of the row.
    std::string Parse(std::string_view row, const cmcCellObj* base = nullptr, bool skip = false)
    {
        return cmcCellObj::ParseCell(&cell, row, &counters, base, skip);
    }

    cmcCellObj cell;
    CellCounters counters{};
};

// What one row text parses to on the base cell below.
struct Expected {
    int category = 2;
    int label = 5;
    int index = 3;
    int flagsA = 0x80 | 2;      // B, right-aligned
    int flagsB = 2 | 0x10;      // Q, Flag0
    Opt display;                // a cell without display text drops the base's
    Opt argument = "base arg";
    std::string rest;
};

cmcCellObj MakeBase()
{
    cmcCellObj base;
    base.Category = 2;
    base.Label = 5;
    base.Index = 3;
    base.FlagsA = 0x80 | 2;
    base.FlagsB = 2 | 0x10;
    base.DisplayText = "base text";
    base.Argument = "base arg";
    base.Color = plat::clYellow;
    return base;
}

TEST_F(CellObj, SyntaxTable)
{
    struct Case {
        std::string row;
        std::function<void(Expected&)> expect;
    };
    const Case cases[] = {
        {"{<B}Name|{>}x", [](Expected& e) { e.flagsA = 0x80; e.display = "Name"; e.rest = "{>}x"; }},
        {"{^}a", [](Expected& e) { e.flagsA = 0x80 | 1; e.display = "a"; }},
        {"{-}a", [](Expected& e) { e.flagsA |= 1 << 2; e.display = "a"; }},
        {"{_~}a", [](Expected& e) { e.display = "a"; }},
        {"{_}a", [](Expected& e) { e.flagsA |= 2 << 2; e.display = "a"; }},
        {"{WH+}", [](Expected& e) { e.flagsA |= 0x70; }},
        {"{X}", [](Expected& e) { e.flagsB = 1 | 0x10; }},
        {"{ST}", [](Expected& e) { e.flagsB |= 0x0C; }},
        // Negation: '!' clears the next letter's bit, X/Q go to code 0,
        // placement letters ignore it.
        {"{!B}", [](Expected& e) { e.flagsA = 2; }},
        {"{!Q}", [](Expected& e) { e.flagsB = 0x10; }},
        {"{!<}", [](Expected& e) { e.flagsA = 0x80; }},
        {"{!!B}", [](Expected& e) { e.flagsA = 2; }},
        {"{!xB}", [](Expected&) {}},                 // x takes the negation
        {"{!表B}", [](Expected& e) { e.flagsA = 2; }}, // multi-byte bytes do not
        {"{!\\xB}", [](Expected& e) { e.flagsA = 2; }}, // nor escaped characters
        {"{!(Flag9=1)B}", [](Expected&) {}},          // a group does
        {"{!B!W}", [](Expected& e) { e.flagsA = 2; }},
        {"{!S}", [](Expected&) {}},
        {"{ST!S}", [](Expected& e) { e.flagsB |= 0x08; }},
        // Braces anywhere, joined; the rest of the text is display text.
        {"A{W}B{H}C", [](Expected& e) { e.flagsA |= 0x30; e.display = "ABC"; }},
        {"{W", [](Expected& e) { e.flagsA |= 0x10; e.display = std::nullopt; }},
        {"a}b", [](Expected& e) { e.display = "ab"; }},
        {"a\\{W}b", [](Expected& e) { e.flagsA |= 0x10; e.display = "ab"; }}, // braces are not escapable
        // Row splitting and escapes.
        {"a\\|b|c", [](Expected& e) { e.display = "a|b"; e.rest = "c"; }},
        {"a\\|ソ|b", [](Expected& e) { e.display = "a|ソ"; e.rest = "b"; }},
        {"{<B}表示|x", [](Expected& e) { e.flagsA = 0x80; e.display = "表示"; e.rest = "x"; }},
        {"{(PopupMenu=a|b)}", [](Expected& e) { e.rest = "b)}"; }},
        {"", [](Expected& e) { e.display = std::nullopt; }},
        {"|", [](Expected& e) { e.display = std::nullopt; }},
        {"  \t ", [](Expected& e) { e.display = std::nullopt; }},
        {" \x01 x\\ny\\Nz\\_w\\\\v\\q \x7f", [](Expected& e) { e.display = "x\ny\nz w\\vq"; }},
        {"表\\_示\\表", [](Expected& e) { e.display = "表 示表"; }},
        {"a\\", [](Expected& e) { e.display = "a"; }},
        {"\\(x)", [](Expected& e) { e.display = "(x)"; }},
        // Cell references.
        {"{(%CT_Mch.CL_Null:a\\:b)}", [](Expected& e) { e.category = 2; e.label = 0; e.argument = "a:b"; }},
        {"{(%CT_CHGRP.Flex0[12])}", [](Expected& e) { e.category = 40; e.label = 1; e.index = 12; }},
        {"{(%.CL_Null)}", [](Expected& e) { e.category = 41; e.label = 0; }},
        {"{(%Flex1)}", [](Expected& e) { e.label = 2; }},
        {"{(%CallSheet:GI_Sheet_X)}", [](Expected& e) { e.label = 63; e.argument = "GI_Sheet_X"; }},
        {"{(%CL_Null:a\\.b\\\\c)}", [](Expected& e) { e.label = 0; e.argument = "a.b\\c"; }},
        {"{(%CL_Null:)}", [](Expected& e) { e.label = 0; e.argument = ""; }},
        {"{(%)}", [](Expected& e) { e.label = 1396; }},
        {"{(%CT_Null.[7])}", [](Expected& e) { e.category = 0; e.label = 1396; e.index = 7; }},
        {"{(%Flex0[-4]:x)}", [](Expected& e) { e.label = 1; e.index = -4; e.argument = "x"; }},
        // Groups that change nothing.
        {"{(Flag9=1)(Flag2=x)(Flag2)(Nonsense)()}", [](Expected&) {}},
        {"{(Flag1=1)(Flag0=0)(Flag6=1)}", [](Expected& e) { e.flagsB = 2 | 0x20; }},
    };
    const cmcCellObj base = MakeBase();
    for (const Case& c : cases) {
        Expected e;
        c.expect(e);
        std::string rest = Parse(c.row, &base);
        SCOPED_TRACE(c.row);
        EXPECT_EQ(rest, e.rest);
        EXPECT_EQ(cell.Category, e.category);
        EXPECT_EQ(cell.Label, e.label);
        EXPECT_EQ(cell.Index, e.index);
        EXPECT_EQ(cell.FlagsA, e.flagsA);
        EXPECT_EQ(cell.FlagsB, e.flagsB);
        EXPECT_EQ(cell.DisplayText, e.display);
        EXPECT_EQ(cell.Argument, e.argument);
        EXPECT_EQ(cell.Counters, nullptr);
    }
}

TEST_F(CellObj, FlagsAndPlainGroups)
{
    const cmcCellObj base = MakeBase();
    Parse("{(Flag7=1)(Flag4=1)(Flag3=1)(ImageIndex=7)(PopupMenu=GI_PMenu_Edit)(Color=clRed)}", &base);
    EXPECT_EQ(cell.FlagsC, 0x09);
    EXPECT_TRUE(cell.GetFlag(3) && cell.GetFlag(4) && cell.GetFlag(7) && cell.GetFlag(0));
    EXPECT_FALSE(cell.GetFlag(1) || cell.GetFlag(5) || cell.GetFlag(8) || cell.GetFlag(-1));
    EXPECT_EQ(cell.ImageIndex, 7);
    EXPECT_EQ(cell.PopupMenu, Opt("GI_PMenu_Edit"));
    EXPECT_EQ(cell.Color, plat::clRed);

    // Unknown colour names and groups without '=' keep the inherited values.
    Parse("{(Color=clNoSuch)(Color)(ImageIndex)(ImageIndex=x)(PopupMenu)}", &base);
    EXPECT_EQ(cell.Color, plat::clYellow);
    EXPECT_EQ(cell.ImageIndex, -1);
    EXPECT_EQ(cell.PopupMenu, std::nullopt);
    EXPECT_EQ(cell.Font, nullptr);
}

TEST_F(CellObj, Counters)
{
    struct Case {
        std::string row;
        int index;
        Opt display;
        std::vector<int> slots; // slots 0 to 2 afterwards
    };
    const Case cases[] = {
        {"{(@ch0=5)(%CL_Null[@ch0])}\\(@ch0+2)", 5, "7", {5, 0, 0}},
        {"{(@ch0=5)(@ch0++)(%CL_Null[@ch0])}", 6, std::nullopt, {6, 0, 0}},
        {"{(@ch1 = 12 )(@ch1++)(@ch2)}\\( @ch1 + 3 )x", 0, "16x", {0, 13, 0}},
        {"{(@ch2=-3)}n\\(@ch2)", 0, "n-3", {0, 0, -3}},
        {"\\(@ch0-2)", 0, "0", {0, 0, 0}}, // only '+' adds
        {"\\(@ch0+2", 0, "2", {0, 0, 0}},  // runs to the end of the text
        {"{(@ch0=9)}a\\(@ch0)b\\(@ch0+1)c", 0, "a9b10c", {9, 0, 0}},
        {"{(@ch0)(@ch0=)(@ch0=x)(@ch0+5)}", 0, std::nullopt, {0, 0, 0}},
        // Found by fuzzing: a counter stops at the largest int.
        {"{(@ch0=2147483647)(@ch0++)(%CL_Null[@ch0])}\\(@ch0+1)", INT_MAX, "214748", {INT_MAX, 0, 0}},
    };
    for (const Case& c : cases) {
        counters.fill(0);
        cell.Index = 0;
        Parse(c.row);
        SCOPED_TRACE(c.row);
        EXPECT_EQ(cell.Index, c.index);
        EXPECT_EQ(cell.DisplayText, c.display);
        EXPECT_EQ(std::vector<int>(counters.begin(), counters.begin() + 3), c.slots);
    }

    // A value is written with at most six characters.
    counters.fill(0);
    counters[3] = 1234567;
    Parse("\\(@ch3)");
    EXPECT_EQ(cell.GetText(), "123456");
    counters[3] = -1234567;
    Parse("\\(@ch3)");
    EXPECT_EQ(cell.GetText(), "-12345");
}

TEST_F(CellObj, Fonts)
{
    // A cell without a font of its own gets a new one, or a copy of the base's.
    cmcCellObj plain;
    Parse("{(Font=,Serif,,-17)}", &plain);
    ASSERT_NE(cell.Font, nullptr);
    plat::Font expected;
    expected.name = "Serif";
    expected.height = -17;
    EXPECT_EQ(*cell.Font, expected);

    cmcCellObj base = MakeBase();
    base.Font = std::make_unique<plat::Font>();
    base.Font->style = plat::fsBold;
    base.Font->height = -20;
    Parse("{(Font=,,clRed,%50)(Font=,,,,,,fpFixed)}", &base);
    ASSERT_NE(cell.Font, nullptr);
    EXPECT_EQ(cell.Font->style, plat::fsBold);
    EXPECT_EQ(cell.Font->color, plat::clRed);
    EXPECT_EQ(cell.Font->height, -10);
    EXPECT_EQ(cell.Font->pitch, plat::FontPitch::fpFixed);
    EXPECT_EQ(base.Font->height, -20);

    // Reset does not inherit the font: a cell without a Font group has none.
    Parse("x", &base);
    EXPECT_EQ(cell.Font, nullptr);
    Parse("{(Font)}", &base);
    EXPECT_EQ(cell.Font, nullptr);
}

TEST_F(CellObj, Models)
{
    UseOverlay({
        "#CellModel_Basic", "^-WH(Color=clGray)(@ch1++)",
        "#CellModel_Outer", "($Basic)B(Font=,,clWhite,,,fsBold,)",
        "#CellModel_Neg", "!W",
        "#CellModel_Loop", "($Loop)",
        "#CellModel_PingA", "W($PingB)",
        "#CellModel_PingB", "($PingA)",
        "#CellModel_Deep0", "($Deep1)", "#CellModel_Deep1", "($Deep2)", "#CellModel_Deep2", "S",
    });
    counters.fill(0);
    Parse("{($Outer)(@ch1++)(%Flex0[@ch1])}\\(@ch1)");
    EXPECT_EQ(cell.FlagsA, 0x80 | 0x30 | 1 << 2 | 1);
    EXPECT_EQ(cell.Color, plat::clGray);
    ASSERT_NE(cell.Font, nullptr);
    EXPECT_EQ(cell.Font->style, plat::fsBold);
    EXPECT_EQ(cell.Font->color, plat::clWhite);
    EXPECT_EQ(cell.Index, 2);
    EXPECT_EQ(cell.GetText(), "2");

    // A model is parsed on its own: a '!' inside it does not reach past it.
    Parse("{W($Neg)H}");
    EXPECT_EQ(cell.FlagsA, 0x20);
    Parse("{($Deep0)}");
    EXPECT_EQ(cell.FlagsB, 0x04);

    for (const char* row : {"{($Loop)}", "{($PingA)}"}) {
        std::string message = qmtest::FatalMessage([&] { Parse(row); });
        EXPECT_TRUE(message.starts_with("Cell model nesting too deep.\n'")) << message;
        EXPECT_EQ(cell.Counters, nullptr);
    }
    EXPECT_EQ(qmtest::FatalMessage([&] { Parse("{($Nope)}"); }),
              "GTEX Error !\nThe index 'CellModel_Nope' was not found.");
}

TEST_F(CellObj, FatalFaults)
{
    struct Case {
        std::string row;
        bool withCounters;
        std::string message;
    };
    const Case cases[] = {
        {"{(@ch10)}", true, "Ch No. Error"},
        {"{(@ch)}", true, "Ch No. Error"},
        {"{(@cx1++)}", true, "Ch No. Error"},
        {"{(@CH1++)}", true, "Ch No. Error"},
        {"{(%Flex0[@ch12])}", true, "Ch No. Error"},
        {"\\(@ch)", true, "Ch No. Error"},
        {"{(@ch0++)}", false, "Ch No. Error"},
        {"{(%Flex0[@ch0])}", false, "Ch No. Error"},
        {"x\\(@ch0)", false, "Ch No. Error"},
        {"{(%CT_Bogus.CL_Null)}", true, "Cannot use the specified category.\n'CT_Bogus'"},
        {"{(%ct_mch.CL_Null)}", true, "Cannot use the specified category.\n'ct_mch'"},
        {"{(%CL_Bogus[1])}", true, "Cannot use the specified cell.\n'CL_Bogus'"},
        {"{(%CL_Null:a.b)}", true, "Cannot use the specified category.\n'CL_Null:a'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qmtest::FatalMessage([&] {
                      cmcCellObj::ParseCell(&cell, c.row, c.withCounters ? &counters : nullptr, nullptr, false);
                  }),
                  c.message)
            << c.row;
        EXPECT_EQ(cell.Counters, nullptr) << c.row;
    }
    // Without counter slots, cells that use none parse normally.
    cmcCellObj::ParseCell(&cell, "{B(%Flex0[4])}x", nullptr, nullptr, false);
    EXPECT_EQ(cell.Index, 4);
}

TEST_F(CellObj, InheritanceSkipAndReuse)
{
    // A blank display text drops the inherited one; skip copies the base.
    cmcCellObj base = MakeBase();
    base.PopupMenu = "GI_Base_Menu";
    base.ImageIndex = 4;
    EXPECT_EQ(Parse("{W}  |next", &base), "next");
    EXPECT_EQ(cell.DisplayText, std::nullopt);
    EXPECT_EQ(cell.Color, plat::clYellow);
    EXPECT_EQ(cell.ImageIndex, 4);
    EXPECT_EQ(cell.PopupMenu, std::nullopt);
    ASSERT_NE(cell.FindPopupMenu(), nullptr);
    EXPECT_EQ(*cell.FindPopupMenu(), "GI_Base_Menu");

    EXPECT_EQ(Parse("{!B(Color=clRed)(@ch0++)}other|rest", &base, true), "rest");
    EXPECT_EQ(cell.FlagsA, base.FlagsA);
    EXPECT_EQ(cell.Color, plat::clYellow);
    EXPECT_EQ(cell.DisplayText, base.DisplayText);
    EXPECT_EQ(counters[0], 0);

    // A cell reused without a base keeps category and index, not the label.
    cmcCellObj reused;
    cmcCellObj::ParseCell(&reused, "{(%CT_Mch.Flex0[9]:a)B}t", &counters, nullptr, false);
    cmcCellObj::ParseCell(&reused, "{W}", &counters, nullptr, false);
    EXPECT_EQ(reused.Category, 2);
    EXPECT_EQ(reused.Index, 9);
    EXPECT_EQ(reused.Label, 1396);
    EXPECT_EQ(reused.FlagsA, 0x10);
    EXPECT_EQ(reused.Argument, std::nullopt);
    EXPECT_EQ(reused.Color, plat::clWindow);
    EXPECT_EQ(reused.ImageIndex, -1);

    // The row text may be the cell's own display text.
    reused.SetText("{B}abc|def");
    EXPECT_EQ(cmcCellObj::ParseCell(&reused, reused.GetText(), nullptr, nullptr, false), "def");
    EXPECT_EQ(reused.GetText(), "abc");
}

TEST_F(CellObj, PopupMenuChainAndAssign)
{
    cmcCellObj top, middle, bottom;
    top.PopupMenu = "GI_Top";
    middle.Base = &top;
    middle.PopupMenu = "";
    bottom.Base = &middle;
    ASSERT_NE(bottom.FindPopupMenu(), nullptr);
    EXPECT_EQ(*bottom.FindPopupMenu(), "GI_Top");
    middle.PopupMenu = "GI_Middle";
    EXPECT_EQ(*bottom.FindPopupMenu(), "GI_Middle");
    top.PopupMenu.reset();
    middle.PopupMenu.reset();
    EXPECT_EQ(bottom.FindPopupMenu(), nullptr);

    cmcCellObj source = MakeBase();
    source.Base = &top;
    source.PopupMenu = "GI_Menu";
    source.ImageIndex = 3;
    source.FlagsC = 0x05;
    source.Font = std::make_unique<plat::Font>();
    source.Font->name = "Serif";
    cmcCellObj copy;
    copy.Assign(source);
    EXPECT_EQ(copy.Base, &top);
    EXPECT_EQ(copy.Category, 2);
    EXPECT_EQ(copy.Label, 5);
    EXPECT_EQ(copy.Index, 3);
    EXPECT_EQ(copy.ImageIndex, 3);
    EXPECT_EQ(copy.FlagsA, source.FlagsA);
    EXPECT_EQ(copy.FlagsB, source.FlagsB);
    EXPECT_EQ(copy.FlagsC, 0x05);
    EXPECT_EQ(copy.Color, plat::clYellow);
    EXPECT_EQ(copy.PopupMenu, Opt("GI_Menu"));
    ASSERT_NE(copy.Font, nullptr);
    EXPECT_NE(copy.Font.get(), source.Font.get());
    EXPECT_EQ(*copy.Font, *source.Font);
    copy.Font->name = "Mono";
    copy.SetText("changed");
    *copy.Argument = "changed";
    EXPECT_EQ(source.Font->name, "Serif");
    EXPECT_EQ(source.GetText(), "base text");
    EXPECT_EQ(source.Argument, Opt("base arg"));

    // A source without a font gives a copy without one.
    cmcCellObj fontless;
    copy.Assign(fontless);
    EXPECT_EQ(copy.Font, nullptr);
    EXPECT_EQ(copy.GetText(), "");

    dst_CellRef ref{};
    source.GetCellRef(ref);
    EXPECT_EQ(ref.category, 2);
    EXPECT_EQ(ref.label, 5);
    EXPECT_EQ(ref.index, 3);
}

} // namespace
