#include "core/TextFunctions.h"

#include "core/cmcHash.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// A byte that can act as a separator: a single-byte character.
bool IsSingleByte(char c) { return !IsMultiByteUnit(static_cast<unsigned char>(c)); }

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Piece n of the text cut at every byte for which isSeparator holds.
template <typename Pred>
std::optional<std::string> NthPiece(std::string_view text, int n, Pred isSeparator)
{
    if (n < 0) return std::nullopt;
    size_t start = 0;
    for (int i = 0; i < n; ++i) {
        size_t p = start;
        while (p < text.size() && !isSeparator(text[p])) ++p;
        if (p >= text.size()) return std::nullopt;
        start = p + 1;
    }
    size_t end = start;
    while (end < text.size() && !isSeparator(text[end])) ++end;
    return std::string(text.substr(start, end - start));
}

// The colour names with their values, in table order.
struct NamedColor {
    const char* name;
    plat::Color value;
};
constexpr NamedColor kColorNames[] = {
    {"clAqua", plat::clAqua},
    {"clBlack", plat::clBlack},
    {"clBlue", plat::clBlue},
    {"clDkGray", plat::clDkGray},
    {"clFuchsia", plat::clFuchsia},
    {"clGray", plat::clGray},
    {"clGreen", plat::clGreen},
    {"clLime", plat::clLime},
    {"clLtGray", plat::clLtGray},
    {"clMaroon", plat::clMaroon},
    {"clNavy", plat::clNavy},
    {"clOlive", plat::clOlive},
    {"clPurple", plat::clPurple},
    {"clRed", plat::clRed},
    {"clSilver", plat::clSilver},
    {"clTeal", plat::clTeal},
    {"clWhite", plat::clWhite},
    {"clYellow", plat::clYellow},
    {"clBackground", plat::clBackground},
    {"clActiveCaption", plat::clActiveCaption},
    {"clInactiveCaption", plat::clInactiveCaption},
    {"clMenu", plat::clMenu},
    {"clWindow", plat::clWindow},
    {"clWindowFrame", plat::clWindowFrame},
    {"clMenuText", plat::clMenuText},
    {"clWindowText", plat::clWindowText},
    {"clCaptionText", plat::clCaptionText},
    {"clActiveBorder", plat::clActiveBorder},
    {"clInactiveBorder", plat::clInactiveBorder},
    {"clAppWorkSpace", plat::clAppWorkSpace},
    {"clHighlight", plat::clHighlight},
    {"clHightlightText", plat::clHightlightText},
    {"clBtnFace", plat::clBtnFace},
    {"clBtnShadow", plat::clBtnShadow},
    {"clGrayText", plat::clGrayText},
    {"clBtnText", plat::clBtnText},
    {"clInactiveCaptionText", plat::clInactiveCaptionText},
    {"clBtnHighlight", plat::clBtnHighlight},
};

// The colour name table: 101 buckets, filled on first use.
cmcHash& ColorNameTable()
{
    static cmcHash g_ColorNames(101);
    static const bool filled = [] {
        for (const NamedColor& c : kColorNames) g_ColorNames.Insert(c.name, static_cast<int>(c.value));
        return true;
    }();
    (void)filled;
    return g_ColorNames;
}

struct NamedValue {
    const char* name;
    int value;
};

constexpr NamedValue kCharsetNames[] = {
    {"ANSI_CHARSET", 0},         {"DEFAULT_CHARSET", 1},     {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},         {"SHIFTJIS_CHARSET", 128},  {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},      {"GB2312_CHARSET", 134},    {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},      {"TURKISH_CHARSET", 162},   {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},     {"ARABIC_CHARSET", 178},    {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204},    {"THAI_CHARSET", 222},      {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};

constexpr NamedValue kStyleNames[] = {
    {"fsBold", plat::fsBold},
    {"fsItalic", plat::fsItalic},
    {"fsUnderline", plat::fsUnderline},
    {"fsStrikeOut", plat::fsStrikeOut},
};

constexpr NamedValue kPitchNames[] = {
    {"fpDefault", static_cast<int>(plat::FontPitch::fpDefault)},
    {"fpFixed", static_cast<int>(plat::FontPitch::fpFixed)},
    {"fpVariable", static_cast<int>(plat::FontPitch::fpVariable)},
};

// The text without trailing blanks and tabs.
std::string_view WithoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
    return text;
}

// The value of the table name that the text holds, followed by nothing but
// blanks; nullopt when the text holds none.
template <size_t N>
std::optional<int> LookUpName(const NamedValue (&table)[N], std::string_view text)
{
    text = WithoutTrailingBlanks(text);
    for (const NamedValue& entry : table) {
        if (text == entry.name) return entry.value;
    }
    return std::nullopt;
}

constexpr int64_t kNumberCap = int64_t{1} << 40;

// Reads decimal digits from the front of the text (saturating); nullopt when
// there is none.
std::optional<int64_t> ReadDigits(std::string_view& text)
{
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    int64_t value = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        value = std::min(value * 10 + (text.front() - '0'), kNumberCap);
        text.remove_prefix(1);
    }
    return value;
}

int ClampToInt(int64_t v)
{
    constexpr int64_t hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(v, -hi, hi));
}

// A height or size field: "%N" scales the present value by N percent
// (magnitude at least 1, sign kept), a signed decimal number replaces it;
// blanks may stand before and after. nullopt leaves the value: an empty or
// unrecognised field, or the number 0.
std::optional<int> ParseMeasure(std::string_view field, int current)
{
    field = WithoutTrailingBlanks(SkipBlanks(field));
    if (!field.empty() && field.front() == '%') {
        field.remove_prefix(1);
        std::optional<int64_t> percent = ReadDigits(field);
        if (!percent || !field.empty()) return std::nullopt;
        int64_t magnitude = current < 0 ? -static_cast<int64_t>(current) : current;
        // Any product above 100 x INT_MAX clamps to INT_MAX alike: stop there
        // before the multiplication could leave the 64-bit range.
        constexpr int64_t limit = int64_t{100} * std::numeric_limits<int>::max();
        const int64_t scaled = magnitude != 0 && *percent > limit / magnitude ? limit : magnitude * *percent;
        magnitude = std::max<int64_t>(scaled / 100, 1);
        return ClampToInt(current < 0 ? -magnitude : magnitude);
    }
    bool negative = false;
    if (!field.empty() && (field.front() == '-' || field.front() == '+')) {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    std::optional<int64_t> number = ReadDigits(field);
    if (!number || !field.empty() || *number == 0) return std::nullopt;
    return ClampToInt(negative ? -*number : *number);
}

} // namespace

std::optional<std::string> ExtractField(std::string_view text, char separator, int n)
{
    return NthPiece(text, n, [separator](char c) { return c == separator && IsSingleByte(c); });
}

std::optional<std::string> ExtractToken(std::string_view text, std::string_view separators, int n)
{
    return NthPiece(text, n, [separators](char c) {
        return IsSingleByte(c) && separators.find(c) != std::string_view::npos;
    });
}

std::string_view SkipBlanks(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlankChar(text[i])) ++i;
    return text.substr(i);
}

const char* SkipBlanks(const char* text)
{
    if (text == nullptr) return nullptr;
    while (IsBlankChar(*text)) ++text;
    return text;
}

void TrimBlanks(std::string& text)
{
    size_t end = text.size();
    while (end > 0 && IsBlankChar(text[end - 1])) --end;
    size_t start = 0;
    while (start < end && IsBlankChar(text[start])) ++start;
    text = text.substr(start, end - start);
}

void RemoveBlanks(std::string& text) { std::erase_if(text, IsBlankChar); }

std::string DupString(const char* text) { return text == nullptr ? std::string() : std::string(text); }

std::string DupStringN(const char* text, int n)
{
    if (text == nullptr || n <= 0) return {};
    size_t length = strnlen(text, static_cast<size_t>(n));
    // Cut before a character that does not fit whole: back off over the
    // continuation bytes and the lead byte of the cut character.
    if (length == static_cast<size_t>(n) && text[length] != '\0' &&
        (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        while (length > 0 && (static_cast<unsigned char>(text[length - 1]) & 0xC0) == 0x80) --length;
        if (length > 0 && static_cast<unsigned char>(text[length - 1]) >= 0xC0) --length;
    }
    return std::string(text, length);
}

std::string DoubleAmpersands(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

cmcBuff HexToBuff(std::string_view text)
{
    cmcBuff buff;
    int high = -1;
    for (char c : text) {
        int v = HexDigitValue(c);
        if (v < 0) continue;
        if (high < 0) {
            high = v;
        } else {
            buff.AppendByte(static_cast<uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0) buff.AppendByte(static_cast<uint8_t>(high << 4));
    return buff;
}

std::string StringToHex(std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

std::optional<std::string> HexToString(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 2 + 1);
    for (size_t i = 0; i < text.size(); i += 2) {
        int value = 0;
        for (size_t j = i; j < std::min(i + 2, text.size()); ++j) {
            int v = HexDigitValue(text[j]);
            if (v < 0) return std::nullopt;
            value = value << 4 | v;
        }
        out += static_cast<char>(value);
    }
    return out;
}

bool IsPrintableAscii(int code) { return code >= 32 && code <= 126; }

bool InRange(int value, int lo, int hi) { return lo <= value && value <= hi; }

int GetNibble(const uint8_t* bytes, int n)
{
    uint8_t b = bytes[n / 2];
    return n % 2 == 0 ? b >> 4 : b & 0x0F;
}

void SetNibble(uint8_t* bytes, int n, int value)
{
    uint8_t& b = bytes[n / 2];
    auto v = static_cast<uint8_t>(value & 0x0F);
    b = n % 2 == 0 ? static_cast<uint8_t>((b & 0x0F) | v << 4) : static_cast<uint8_t>((b & 0xF0) | v);
}

void AssignFont(plat::Font* font, const plat::Font* source)
{
    if (font == nullptr || source == nullptr || font == source) return;
    int pixelsPerInch = font->pixelsPerInch;
    *font = *source;
    font->pixelsPerInch = pixelsPerInch;
    font->height = source->height;
}

int ColorByName(std::string_view name, plat::Color& color)
{
    const cmcHash::Node* node = ColorNameTable().Find(std::string(name));
    if (node == nullptr) return 1;
    color = static_cast<plat::Color>(node->value);
    return 0;
}

void ParseFontSpec(std::string_view spec, plat::Font& font, double pixelScale)
{
    // A height given outright, on the device: never 0, the sign kept as the
    // scale gives it.
    const auto scaled = [pixelScale](int height) {
        if (pixelScale == 1.0) return height;
        const double value = std::round(height * pixelScale);
        const double limit = std::numeric_limits<int>::max();
        if (std::abs(value) < 1) return height * pixelScale < 0 ? -1 : 1;
        return static_cast<int>(std::clamp(value, -limit, limit));
    };
    for (int i = 0; i < 7; ++i) {
        std::optional<std::string> field = ExtractField(spec, ',', i);
        if (!field) return;
        std::string_view f = *field;
        const bool outright = SkipBlanks(f).substr(0, 1) != "%";
        switch (i) {
        case 0:
            if (auto charset = LookUpName(kCharsetNames, SkipBlanks(f))) font.charset = *charset;
            break;
        case 1:
            if (std::string_view name = SkipBlanks(f); !name.empty()) font.name = std::string(name);
            break;
        case 2:
            ColorByName(f, font.color);
            break;
        case 3:
            if (auto height = ParseMeasure(f, font.height)) font.height = outright ? scaled(*height) : *height;
            break;
        case 4:
            if (auto size = ParseMeasure(f, font.Size())) {
                font.SetSize(*size);
                if (outright) font.height = scaled(font.height);
            }
            break;
        case 5: {
            bool recognised = false;
            for (int part = 0;; ++part) {
                std::optional<std::string> item = ExtractField(f, '+', part);
                if (!item) break;
                std::optional<int> style = LookUpName(kStyleNames, SkipBlanks(*item));
                if (!style) continue;
                if (!recognised) font.style = 0;
                recognised = true;
                font.style |= static_cast<plat::FontStyles>(*style);
            }
            break;
        }
        case 6:
            if (auto pitch = LookUpName(kPitchNames, f)) font.pitch = static_cast<plat::FontPitch>(*pitch);
            break;
        }
    }
}

plat::Size MultiLineTextExtent(plat::Canvas& canvas, std::string_view text)
{
    plat::Size total;
    for (;;) {
        size_t end = text.find('\n');
        plat::Size line = canvas.TextExtent(text.substr(0, end));
        total.cx = std::max(total.cx, line.cx);
        total.cy += line.cy;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return total;
}

void CenterControl(plat::PlacedControl& control, const plat::PlacedControl& other)
{
    control.SetLeft(other.Left() + (other.Width() - control.Width()) / 2);
    control.SetTop(other.Top() + (other.Height() - control.Height()) / 2);
    KeepInWorkArea(control);
}

void KeepInWorkArea(plat::PlacedControl& control)
{
    plat::Rect area = control.WorkArea();
    if (control.Left() + control.Width() > area.right) control.SetLeft(area.right - control.Width());
    if (control.Left() < area.left) control.SetLeft(area.left);
    if (control.Top() + control.Height() > area.bottom) control.SetTop(area.bottom - control.Height());
    if (control.Top() < area.top) control.SetTop(area.top);
}
