#include "core/cmcCellObj.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "platform/base/Fatal.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

bool IsMultiByte(char c) { return IsMultiByteUnit(static_cast<unsigned char>(c)); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
// Blanks and control characters, trimmed from display texts.
bool IsTrimmed(char c)
{
    auto b = static_cast<unsigned char>(c);
    return b <= 0x20 || b == 0x7F;
}

// Position of the first single-byte occurrence of c at or after from that is
// not escaped by '\'; npos when there is none.
size_t FindUnescaped(std::string_view text, char c, size_t from)
{
    for (size_t i = from; i < text.size(); ++i) {
        char ch = text[i];
        if (IsMultiByte(ch)) continue;
        if (ch == '\\') {
            ++i;
            continue;
        }
        if (ch == c) return i;
    }
    return std::string_view::npos;
}

// A leading decimal number as the C library reads it: blanks, an optional
// sign, digits; 0 when there are no digits. Saturates at the int range.
int LeadingNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlankOrTab(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), std::numeric_limits<int>::max());
    return static_cast<int>(negative ? -value : value);
}

// A whole decimal number with optional sign and surrounding blanks; nullopt
// when the text holds anything else.
std::optional<int> WholeNumber(std::string_view text)
{
    while (!text.empty() && IsBlankOrTab(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrTab(text.back())) text.remove_suffix(1);
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    if (i == text.size()) return std::nullopt;
    for (size_t j = i; j < text.size(); ++j)
        if (!IsDigit(text[j])) return std::nullopt;
    return LeadingNumber(text);
}

bool OnlyBlanks(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), IsBlankOrTab);
}

// The value after the first '=' of a "Name=value" group; nullopt without '='.
std::optional<std::string_view> ValueAfterEquals(std::string_view group)
{
    size_t eq = group.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return group.substr(eq + 1);
}

} // namespace

cmcCellObj::cmcCellObj() { Reset(); }

cmcCellObj::cmcCellObj(const cmcCellObj& other) { Assign(other); }

cmcCellObj& cmcCellObj::operator=(const cmcCellObj& other)
{
    Assign(other);
    return *this;
}

cmcCellObj::~cmcCellObj() { FreeStrings(); }

void cmcCellObj::FreeStrings()
{
    Argument.reset();
    DisplayText.reset();
    Font.reset();
    PopupMenu.reset();
}

void cmcCellObj::Reset()
{
    FreeStrings();
    Label = CL_NoLabel;
    ImageIndex = -1;
    FlagsA = 0;
    FlagsB = 0;
    FlagsC &= 0xF0;
    Color = plat::clWindow;
    if (Base == nullptr) return;
    Category = Base->Category;
    Label = Base->Label;
    Index = Base->Index;
    Argument = Base->Argument;
    ImageIndex = Base->ImageIndex;
    FlagsA = Base->FlagsA;
    FlagsB = Base->FlagsB;
    FlagsC = Base->FlagsC;
    Color = Base->Color;
    DisplayText = Base->DisplayText;
}

void cmcCellObj::Assign(const cmcCellObj& other)
{
    if (&other == this) return;
    Base = other.Base;
    Counters = nullptr;
    Category = other.Category;
    Label = other.Label;
    Index = other.Index;
    Argument = other.Argument;
    ImageIndex = other.ImageIndex;
    FlagsA = other.FlagsA;
    FlagsB = other.FlagsB;
    FlagsC = other.FlagsC;
    Color = other.Color;
    if (other.Font) {
        Font = std::make_unique<plat::Font>();
        AssignFont(Font.get(), other.Font.get());
    } else {
        Font.reset();
    }
    PopupMenu = other.PopupMenu;
    DisplayText = other.DisplayText;
    FontScale = other.FontScale;
}

const std::string& cmcCellObj::GetText() const
{
    static const std::string empty;
    return DisplayText ? *DisplayText : empty;
}

const std::string* cmcCellObj::FindPopupMenu() const
{
    for (const cmcCellObj* c = this; c != nullptr; c = c->Base) {
        if (c->PopupMenu && !c->PopupMenu->empty()) return &*c->PopupMenu;
    }
    return nullptr;
}

void cmcCellObj::GetCellRef(dst_CellRef& out) const
{
    out.category = Category;
    out.label = Label;
    out.index = Index;
}

bool cmcCellObj::GetFlag(int n) const
{
    if (n >= 0 && n <= 3) return (FlagsB >> (4 + n)) & 1;
    if (n >= 4 && n <= 7) return (FlagsC >> (n - 4)) & 1;
    return false;
}

void cmcCellObj::SetFlag(int n, bool on)
{
    uint8_t* byte = nullptr;
    uint8_t mask = 0;
    if (n >= 0 && n <= 3) {
        byte = &FlagsB;
        mask = static_cast<uint8_t>(0x10 << n);
    } else if (n >= 4 && n <= 7) {
        byte = &FlagsC;
        mask = static_cast<uint8_t>(1 << (n - 4));
    } else {
        return;
    }
    *byte = on ? static_cast<uint8_t>(*byte | mask) : static_cast<uint8_t>(*byte & ~mask);
}

std::string cmcCellObj::ParseCell(cmcCellObj* cell, std::string_view rowText, CellCounters* counters,
                                  const cmcCellObj* base, bool skip)
{
    // Copies first: the row text may live in a cell that Reset frees.
    size_t bar = FindUnescaped(rowText, '|', 0);
    std::string cellText(rowText.substr(0, bar));
    std::string rest = bar == std::string_view::npos ? std::string() : std::string(rowText.substr(bar + 1));

    cell->Base = base;
    cell->Reset();
    if (!skip) {
        cell->Counters = counters;
        std::string attributes;
        std::string display;
        cell->SplitBraces(cellText, attributes, display);
        try {
            cell->ParseAttributes(attributes, 0);
            cell->ParseDisplayText(display);
        } catch (...) {
            cell->Counters = nullptr;
            throw;
        }
        cell->Counters = nullptr;
    }
    return rest;
}

void cmcCellObj::SplitBraces(std::string_view cellText, std::string& attributes, std::string& display) const
{
    bool inside = false;
    for (char c : cellText) {
        if (c == '{') {
            inside = true;
        } else if (c == '}') {
            inside = false;
        } else {
            (inside ? attributes : display) += c;
        }
    }
}

void cmcCellObj::ParseAttributes(std::string_view text, int depth)
{
    // '!' sets the count to 2; every processed character lowers it by one, so
    // the character right after the '!' sees 1 and is negated.
    int negation = 0;
    auto processed = [&negation](int n) { negation = std::max(negation - n, 0); };

    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (IsMultiByte(c)) continue;
        if (c == '\\') {
            ++i;
            continue;
        }
        bool negated = negation == 1;
        switch (c) {
        case '<': FlagsA = static_cast<uint8_t>((FlagsA & ~HorzMask) | 0); break;
        case '^': FlagsA = static_cast<uint8_t>((FlagsA & ~HorzMask) | 1); break;
        case '>': FlagsA = static_cast<uint8_t>((FlagsA & ~HorzMask) | 2); break;
        case '~': FlagsA = static_cast<uint8_t>((FlagsA & ~VertMask) | 0 << 2); break;
        case '-': FlagsA = static_cast<uint8_t>((FlagsA & ~VertMask) | 1 << 2); break;
        case '_': FlagsA = static_cast<uint8_t>((FlagsA & ~VertMask) | 2 << 2); break;
        case 'W':
        case 'H':
        case '+':
        case 'B': {
            uint8_t bit = c == 'W' ? LetterW : c == 'H' ? LetterH : c == '+' ? LetterPlus : LetterB;
            FlagsA = negated ? static_cast<uint8_t>(FlagsA & ~bit) : static_cast<uint8_t>(FlagsA | bit);
            break;
        }
        case 'X':
        case 'Q': {
            int code = negated ? 0 : c == 'X' ? 1 : 2;
            FlagsB = static_cast<uint8_t>((FlagsB & ~XQMask) | code);
            break;
        }
        case 'S':
        case 'T': {
            uint8_t bit = c == 'S' ? LetterS : LetterT;
            FlagsB = negated ? static_cast<uint8_t>(FlagsB & ~bit) : static_cast<uint8_t>(FlagsB | bit);
            break;
        }
        case '!':
            negation = 2;
            break;
        case '(': {
            size_t close = FindUnescaped(text, ')', i + 1);
            size_t end = close == std::string_view::npos ? text.size() : close;
            std::string_view group = text.substr(i + 1, end - i - 1);
            // The parentheses and the group's own characters count as processed.
            int count = close == std::string_view::npos ? 1 : 2;
            for (size_t j = 0; j < group.size(); ++j) {
                if (IsMultiByte(group[j])) continue;
                if (group[j] == '\\') {
                    ++j;
                    continue;
                }
                ++count;
            }
            processed(count);
            ParseGroup(group, depth);
            i = end;
            continue;
        }
        default:
            break;
        }
        processed(1);
    }
}

void cmcCellObj::ParseGroup(std::string_view group, int depth)
{
    if (group.empty()) return;
    if (group.front() == '$') {
        std::string model(group.substr(1));
        if (depth >= MaxModelDepth)
            plat::Fatal("Cell model nesting too deep.\n'" + model + "'");
        std::string text = g_GTex.GetFirstLine("CellModel_" + model);
        ParseAttributes(text, depth + 1);
        return;
    }
    if (group.starts_with("Color")) {
        if (auto value = ValueAfterEquals(group)) ColorByName(*value, Color);
        return;
    }
    if (group.starts_with("Font")) {
        auto value = ValueAfterEquals(group);
        if (!value) return;
        if (!Font) Font = Base && Base->Font ? std::make_unique<plat::Font>(*Base->Font) : std::make_unique<plat::Font>();
        ParseFontSpec(*value, *Font, Base != nullptr ? Base->FontScale : 1.0);
        return;
    }
    if (group.front() == '%') {
        ParseCellRef(group.substr(1));
        return;
    }
    if (group.front() == '@') {
        int slot = ChannelValueRef(group);
        std::string_view rest = group.substr(4);
        while (!rest.empty() && IsBlankOrTab(rest.front())) rest.remove_prefix(1);
        if (rest.starts_with("++") && OnlyBlanks(rest.substr(2))) {
            // A counter stops at the largest int instead of overflowing.
            int& counter = (*Counters)[slot];
            if (counter < std::numeric_limits<int>::max()) ++counter;
        } else if (rest.starts_with("=")) {
            if (auto number = WholeNumber(rest.substr(1))) (*Counters)[slot] = *number;
        }
        // A reference alone, or followed by anything else, only checks it.
        return;
    }
    if (group.starts_with("ImageIndex")) {
        if (auto value = ValueAfterEquals(group)) {
            if (auto number = WholeNumber(*value)) ImageIndex = *number;
        }
        return;
    }
    if (group.starts_with("PopupMenu")) {
        if (auto value = ValueAfterEquals(group)) PopupMenu = std::string(*value);
        return;
    }
    if (group.starts_with("Flag") && group.size() >= 7 && IsDigit(group[4]) && group[5] == '=' &&
        (group[6] == '0' || group[6] == '1') && OnlyBlanks(group.substr(7))) {
        SetFlag(group[4] - '0', group[6] == '1');
    }
}

int cmcCellObj::ChannelValueRef(std::string_view text) const
{
    bool valid = text.size() >= 4 && text[0] == '@' && text[1] == 'c' && text[2] == 'h' && IsDigit(text[3]) &&
                 (text.size() == 4 || !IsDigit(text[4]));
    if (!valid || Counters == nullptr) plat::Fatal("Ch No. Error");
    return text[3] - '0';
}

void cmcCellObj::ParseCellRef(std::string_view text)
{
    // The category: up to the first '.', unless that '.' is escaped.
    size_t dot = text.find('.');
    if (dot != std::string_view::npos && (dot == 0 || text[dot - 1] != '\\')) {
        Category = CategoryIndex(std::string(text.substr(0, dot)));
        text.remove_prefix(dot + 1);
    }
    size_t labelEnd = text.find_first_of("[:");
    Label = CellLabelIndex(std::string(text.substr(0, labelEnd)));
    if (labelEnd == std::string_view::npos) return;
    text.remove_prefix(labelEnd);

    if (text.front() == '[') {
        size_t close = text.find(']');
        std::string_view index = text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        std::string_view trimmed = index;
        while (!trimmed.empty() && IsBlankOrTab(trimmed.front())) trimmed.remove_prefix(1);
        if (!trimmed.empty() && trimmed.front() == '@') {
            int slot = ChannelValueRef(trimmed);
            Index = (*Counters)[slot];
        } else {
            Index = LeadingNumber(index);
        }
        text = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
    }

    size_t colon = text.find(':');
    if (colon == std::string_view::npos) return;
    std::string argument;
    std::string_view value = text.substr(colon + 1);
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\') {
            if (++i == value.size()) break;
        }
        argument += value[i];
    }
    Argument = std::move(argument);
}

void cmcCellObj::ParseDisplayText(std::string_view text)
{
    while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
    if (text.empty()) {
        DisplayText.reset();
        return;
    }

    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) break;
        c = text[i];
        if (c == 'N' || c == 'n') {
            out += '\n';
        } else if (c == '_') {
            out += ' ';
        } else if (c == '(') {
            // A value reference "\(@chN)" or "\(@chN+k)", up to the next ')'.
            size_t close = text.find(')', i + 1);
            size_t end = close == std::string_view::npos ? text.size() : close;
            std::string ref;
            for (char r : text.substr(i + 1, end - i - 1))
                if (!IsBlankOrTab(r)) ref += r;
            if (ref.empty() || ref.front() != '@') {
                out += '(';
                continue;
            }
            int slot = ChannelValueRef(ref);
            int64_t value = (*Counters)[slot];
            if (ref.size() > 4 && ref[4] == '+') value += LeadingNumber(std::string_view(ref).substr(5));
            char digits[32];
            std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
            out.append(digits, std::min<size_t>(std::char_traits<char>::length(digits), 6));
            i = end;
        } else {
            out += c;
        }
    }
    DisplayText = std::move(out);
}
