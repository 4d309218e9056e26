#include "core/TextFunctions.h"

#include "tests/support/TestSupport.h"

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Opt = std::optional<std::string>;

TEST(TextFunctions, ExtractFieldAndToken)
{
    struct Case {
        std::string text;
        char separator;
        int n;
        Opt expected;
    };
    const Case fields[] = {
        {"a,,b", ',', 0, "a"},
        {"a,,b", ',', 1, ""},
        {"a,,b", ',', 2, "b"},
        {"a,,b", ',', 3, std::nullopt},
        {"", ',', 0, ""},
        {"", ',', 1, std::nullopt},
        {"a,", ',', 1, ""},
        {"a", ',', -1, std::nullopt},
        {"ソ,表", ',', 1, "表"},
        // 0xA9 is the second byte of "é" (C3 A9): it is not a separator.
        {"é", '\xA9', 0, "é"},
        {"é", '\xA9', 1, std::nullopt},
    };
    for (const Case& c : fields)
        EXPECT_EQ(ExtractField(c.text, c.separator, c.n), c.expected) << c.text << " field " << c.n;

    struct TokenCase {
        std::string text;
        int n;
        Opt expected;
    };
    const TokenCase tokens[] = {
        {"a, b;;c", 0, "a"},
        {"a, b;;c", 1, " b"},
        {"a, b;;c", 2, ""},
        {"a, b;;c", 3, "c"},
        {"a, b;;c", 4, std::nullopt},
        {"表;é,x", 1, "é"},
        {"表;é,x", 2, "x"},
    };
    for (const TokenCase& c : tokens)
        EXPECT_EQ(ExtractToken(c.text, ",;", c.n), c.expected) << c.text << " token " << c.n;
    EXPECT_EQ(ExtractToken("é", "\xA9", 0), Opt("é"));
}

TEST(TextFunctions, BlanksAndCopies)
{
    EXPECT_EQ(SkipBlanks(std::string_view(" \t x y ")), "x y ");
    EXPECT_STREQ(SkipBlanks("\t\tab"), "ab");
    EXPECT_EQ(SkipBlanks(static_cast<const char*>(nullptr)), nullptr);

    struct Case {
        std::string text, trimmed, removed;
    };
    const Case cases[] = {
        {"  a b\t", "a b", "ab"},
        {"\t \t", "", ""},
        {"", "", ""},
        {" 表 示 ", "表 示", "表示"},
        {"\na\n", "\na\n", "\na\n"}, // only blanks and tabs
    };
    for (const Case& c : cases) {
        std::string t = c.text, r = c.text;
        TrimBlanks(t);
        RemoveBlanks(r);
        EXPECT_EQ(t, c.trimmed) << '[' << c.text << ']';
        EXPECT_EQ(r, c.removed) << '[' << c.text << ']';
    }

    EXPECT_EQ(DupString(nullptr), "");
    EXPECT_EQ(DupString("abc"), "abc");

    struct NCase {
        const char* text;
        int n;
        std::string expected;
    };
    const NCase dupN[] = {
        {"abcdef", 3, "abc"},
        {"ab", 5, "ab"},
        {"abc", 0, ""},
        {"abc", -2, ""},
        {nullptr, 3, ""},
        {"aé", 2, "a"},     // the two bytes of é do not fit after 'a'
        {"aé", 3, "aé"},
        {"表x", 2, ""},     // a three-byte character is never cut
        {"表x", 3, "表"},
        {"表x", 4, "表x"},
    };
    for (const NCase& c : dupN)
        EXPECT_EQ(DupStringN(c.text, c.n), c.expected) << (c.text ? c.text : "(null)") << " n=" << c.n;

    EXPECT_EQ(DoubleAmpersands("A&B&&C"), "A&&B&&&&C");
    EXPECT_EQ(DoubleAmpersands("表&"), "表&&");
    EXPECT_EQ(DoubleAmpersands(""), "");
}

std::vector<int> BytesOf(const cmcBuff& b)
{
    return std::vector<int>(b.Data(), b.Data() + b.Length());
}

TEST(TextFunctions, HexConversions)
{
    struct Case {
        std::string text;
        std::vector<int> bytes;
    };
    const Case cases[] = {
        {"FE FE 0", {0xFE, 0xFE, 0x00}},
        {"xyz", {}},
        {"", {}},
        {"a1B2", {0xA1, 0xB2}},
        {"1-2-3", {0x12, 0x30}},
        {"7", {0x70}},
    };
    for (const Case& c : cases) EXPECT_EQ(BytesOf(HexToBuff(c.text)), c.bytes) << c.text;

    const std::string raw("A\xff\x00z", 4);
    EXPECT_EQ(StringToHex(raw), "41FF007A");
    EXPECT_EQ(StringToHex("é"), "C3A9");
    EXPECT_EQ(HexToString("41FF007A"), Opt(raw));
    EXPECT_EQ(HexToString("41ff007a"), Opt(raw));
    EXPECT_EQ(HexToString("414"), Opt(std::string("A\x04")));
    EXPECT_EQ(HexToString(""), Opt(""));
    EXPECT_EQ(HexToString("4G"), std::nullopt);
    EXPECT_EQ(HexToString("41 42"), std::nullopt);

    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(HexToString(StringToHex(all)), Opt(all));
}

TEST(TextFunctions, RangesAndNibbles)
{
    EXPECT_FALSE(IsPrintableAscii(31));
    EXPECT_TRUE(IsPrintableAscii(32));
    EXPECT_TRUE(IsPrintableAscii(126));
    EXPECT_FALSE(IsPrintableAscii(127));
    EXPECT_FALSE(IsPrintableAscii(0xE9));
    EXPECT_TRUE(InRange(5, 5, 5));
    EXPECT_TRUE(InRange(-3, -5, 0));
    EXPECT_FALSE(InRange(4, 5, 6));
    EXPECT_FALSE(InRange(7, 5, 6));

    uint8_t bytes[] = {0x12, 0x34};
    EXPECT_EQ(GetNibble(bytes, 0), 1);
    EXPECT_EQ(GetNibble(bytes, 1), 2);
    EXPECT_EQ(GetNibble(bytes, 2), 3);
    EXPECT_EQ(GetNibble(bytes, 3), 4);
    SetNibble(bytes, 1, 0xAF); // only the low four bits are stored
    EXPECT_EQ(bytes[0], 0x1F);
    SetNibble(bytes, 2, 0x5);
    EXPECT_EQ(bytes[1], 0x54);
    SetNibble(bytes, 0, 0);
    EXPECT_EQ(bytes[0], 0x0F);
}

TEST(TextFunctions, ColorByName)
{
    struct Case {
        std::string name;
        int result;
        plat::Color color;
    };
    const plat::Color untouched = 0x123456;
    const Case cases[] = {
        {"clAqua", 0, 0xFFFF00},
        {"clRed", 0, 0x0000FF},
        {"clMaroon", 0, 0x000080},
        {"clYellow", 0, 0x00FFFF},
        {"clBackground", 0, 0x80000001},
        {"clWindow", 0, 0x80000005},
        {"clHightlightText", 0, 0x8000000E},
        {"clBtnHighlight", 0, 0x80000014},
        {"clHighlightText", 1, untouched}, // the table's spelling is the one that counts
        {"clred", 1, untouched},
        {"clRed ", 1, untouched},
        {"", 1, untouched},
    };
    for (const Case& c : cases) {
        plat::Color color = untouched;
        EXPECT_EQ(ColorByName(c.name, color), c.result) << c.name;
        EXPECT_EQ(color, c.color) << c.name;
    }
}

plat::Font BaseFont()
{
    plat::Font f;
    f.name = "Base";
    f.charset = 1;
    f.color = plat::clBlack;
    f.height = -20;
    f.style = plat::fsUnderline;
    f.pitch = plat::FontPitch::fpDefault;
    return f;
}

TEST(TextFunctions, ParseFontSpec)
{
    using plat::Font;
    struct Case {
        std::string spec;
        std::function<void(Font&)> start;  // changes to the base font before parsing
        std::function<void(Font&)> expect; // changes the spec makes
        double pixelScale = 1.0;
    };
    auto none = [](Font&) {};
    const Case cases[] = {
        {",Arial,,%150,,fsBold+fsItalic", none,
         [](Font& f) {
             f.name = "Arial";
             f.height = -30;
             f.style = plat::fsBold | plat::fsItalic;
         }},
        {"SHIFTJIS_CHARSET", none, [](Font& f) { f.charset = 128; }},
        {"  RUSSIAN_CHARSET \t", none, [](Font& f) { f.charset = 204; }},
        {"SHIFTJIS", none, none},
        {"OEM_CHARSET,", none, [](Font& f) { f.charset = 255; }},
        {"", none, none},
        {",   ", none, none},
        {",  Noto Sans", none, [](Font& f) { f.name = "Noto Sans"; }},
        {",,clRed", none, [](Font& f) { f.color = plat::clRed; }},
        {",,clBtnFace", none, [](Font& f) { f.color = plat::clBtnFace; }},
        {",, clRed", none, none},
        {",,clNoSuchColour", none, none},
        // Heights: "%N" keeps the sign of the height and gives at least 1.
        {",,,%1", [](Font& f) { f.height = 12; }, [](Font& f) { f.height = 1; }},
        {",,,%1", none, [](Font& f) { f.height = -1; }},
        {",,,%50", [](Font& f) { f.height = -17; }, [](Font& f) { f.height = -8; }},
        {",,,%0", none, [](Font& f) { f.height = -1; }},
        {",,,%99999999999999999999", none, [](Font& f) { f.height = -INT_MAX; }},
        // Found by fuzzing: a large height times a large percentage left the
        // 64-bit range before it was clamped.
        {",,,%9999999999999", [](Font& f) { f.height = 128000289; }, [](Font& f) { f.height = INT_MAX; }},
        {",,,2147483647,%9999999999999", none, [](Font& f) { f.height = INT_MAX; }},
        {",,,-17", none, [](Font& f) { f.height = -17; }},
        {",,, 12 ", none, [](Font& f) { f.height = 12; }},
        {",,,0", none, none},
        {",,,abc", none, none},
        {",,,12px", none, none},
        {",,,%", none, none},
        {",,,%-50", none, none},
        // Sizes are points at the font's 96 pixels per inch.
        {",,,,10", none, [](Font& f) { f.height = -13; }},
        {",,,,%200", none, [](Font& f) { f.height = -40; }},
        {",,,-17,12", none, [](Font& f) { f.height = -16; }},
        {",,,,0", none, none},
        // Styles: the first recognised name clears the set.
        {",,,,,fsNone+fsBold", none, [](Font& f) { f.style = plat::fsBold; }},
        {",,,,,fsNone", none, none},
        {",,,,, fsItalic + fsStrikeOut ", none, [](Font& f) { f.style = plat::fsItalic | plat::fsStrikeOut; }},
        {",,,,,fsBoldx", none, none},
        {",,,,,,fpFixed", none, [](Font& f) { f.pitch = plat::FontPitch::fpFixed; }},
        {",,,,,,fpVariable  ", none, [](Font& f) { f.pitch = plat::FontPitch::fpVariable; }},
        {",,,,,,fpWide", none, none},
        {"DEFAULT_CHARSET,,clWindowText,-17,,,", [](Font& f) { f.charset = 128; },
         [](Font& f) {
             f.charset = 1;
             f.color = plat::clWindowText;
             f.height = -17;
         }},
        // A height or size given outright is put on the device by the pixel
        // scale, which may turn a character height into a cell height; a
        // percentage of the present height is not scaled again.
        {",,,-15", none, [](Font& f) { f.height = -188; }, 12.5},
        {",,,,10", none, [](Font& f) { f.height = -163; }, 12.5},
        {",,,-15", none, [](Font& f) { f.height = 30; }, -2.0},
        {",,,-1", none, [](Font& f) { f.height = -1; }, 0.1},
        {",,,%150", none, [](Font& f) { f.height = -30; }, 12.5},
        {",,,,%200", none, [](Font& f) { f.height = -40; }, 12.5},
    };
    for (const Case& c : cases) {
        Font font = BaseFont();
        c.start(font);
        Font expected = font;
        c.expect(expected);
        ParseFontSpec(c.spec, font, c.pixelScale);
        EXPECT_EQ(font, expected) << '[' << c.spec << "] name=" << font.name << " charset=" << font.charset
                                  << " color=" << font.color << " height=" << font.height
                                  << " style=" << font.style;
    }
}

TEST(TextFunctions, FontSizeFollowsPixelsPerInch)
{
    plat::Font f;
    f.pixelsPerInch = 96;
    f.SetSize(12);
    EXPECT_EQ(f.height, -16);
    EXPECT_EQ(f.Size(), 12);
    f.pixelsPerInch = 600;
    f.SetSize(10);
    EXPECT_EQ(f.height, -83); // 10 x 600 / 72 = 83.3
    EXPECT_EQ(f.Size(), 10);
    f.height = 20; // a cell height gives a negative size
    EXPECT_EQ(f.Size(), -2);
}

TEST(TextFunctions, AssignFontKeepsTheTargetsResolution)
{
    plat::Font source = BaseFont();
    source.style = plat::fsBold;
    source.pitch = plat::FontPitch::fpFixed;
    source.charset = 204;
    plat::Font target;
    target.pixelsPerInch = 600;
    AssignFont(&target, &source);
    plat::Font expected = source;
    expected.pixelsPerInch = 600;
    EXPECT_EQ(target, expected);
    EXPECT_EQ(target.height, -20);

    plat::Font before = target;
    AssignFont(&target, nullptr);
    AssignFont(nullptr, &source);
    AssignFont(&target, &target);
    EXPECT_EQ(target, before);
}

// A canvas whose text is 10 pixels a byte wide and 7 pixels high.
class FixedCanvas : public plat::Canvas {
public:
    FixedCanvas() : Canvas(96) {}
    plat::Size TextExtent(std::string_view text) override
    {
        measured.emplace_back(text);
        return {static_cast<int>(text.size()) * 10, 7};
    }
    std::vector<std::string> measured;
};

TEST(TextFunctions, MultiLineTextExtent)
{
    struct Case {
        std::string text;
        plat::Size size;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {0, 7}, {""}},
        {"abc", {30, 7}, {"abc"}},
        {"ab\ncde\nf", {30, 21}, {"ab", "cde", "f"}},
        {"ab\n", {20, 14}, {"ab", ""}},
        {"\n\n", {0, 21}, {"", "", ""}},
    };
    for (const Case& c : cases) {
        FixedCanvas canvas;
        EXPECT_EQ(MultiLineTextExtent(canvas, c.text), c.size) << c.text;
        EXPECT_EQ(canvas.measured, c.lines) << c.text;
    }
}

class FakeControl : public plat::PlacedControl {
public:
    FakeControl(int l, int t, int w, int h, plat::Rect area = {0, 0, 800, 600})
        : left(l), top(t), width(w), height(h), area(area) {}
    int Left() const override { return left; }
    int Top() const override { return top; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    void SetLeft(int l) override { left = l; }
    void SetTop(int t) override { top = t; }
    plat::Rect WorkArea() const override { return area; }
    int left, top, width, height;
    plat::Rect area;
};

TEST(TextFunctions, KeepInWorkAreaAndCenterControl)
{
    struct Case {
        const char* what;
        FakeControl control;
        plat::Point expected;
    };
    const plat::Rect offset{100, 50, 900, 650};
    const Case keep[] = {
        {"inside stays", {10, 20, 100, 100}, {10, 20}},
        {"beyond right", {750, 20, 100, 100}, {700, 20}},
        {"touching right edge", {700, 500, 100, 100}, {700, 500}},
        {"beyond bottom", {10, 550, 100, 100}, {10, 500}},
        {"before left and top", {-30, -5, 100, 100}, {0, 0}},
        {"wider and taller than the area", {300, 200, 1000, 700}, {0, 0}},
        {"area not at the origin", {0, 0, 100, 100, offset}, {100, 50}},
        {"beyond the offset area", {850, 640, 100, 100, offset}, {800, 550}},
    };
    for (const Case& c : keep) {
        FakeControl control = c.control;
        KeepInWorkArea(control);
        EXPECT_EQ((plat::Point{control.left, control.top}), c.expected) << c.what;
    }

    FakeControl owner(100, 100, 400, 300);
    FakeControl dialog(0, 0, 200, 100);
    CenterControl(dialog, owner);
    EXPECT_EQ((plat::Point{dialog.left, dialog.top}), (plat::Point{200, 200}));

    // (100 - 201) / 2 truncates toward zero: -50.
    FakeControl small(300, 300, 100, 100);
    FakeControl wide(0, 0, 201, 101);
    CenterControl(wide, small);
    EXPECT_EQ((plat::Point{wide.left, wide.top}), (plat::Point{250, 300}));

    // Centred over an owner near the corner, then kept in the work area.
    FakeControl corner(-50, 560, 100, 100);
    CenterControl(dialog, corner);
    EXPECT_EQ((plat::Point{dialog.left, dialog.top}), (plat::Point{0, 500}));
}

} // namespace
