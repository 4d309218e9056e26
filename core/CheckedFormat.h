#pragma once
// Texts of the overlay that the program uses as formats ("Zone %d Channel
// %d ...") are written by translators, not programmers: a stray '%' or a
// conversion of the wrong type must never crash the program or print
// garbage. CheckedFormat substitutes exactly the values the code supplies
// and prints everything else as it stands.
#include <initializer_list>
#include <string>
#include <string_view>

// One value for a checked format: an integer or a text.
class FormatArg {
public:
    FormatArg(int value) : m_isText(false), m_number(value) {}
    FormatArg(long value) : m_isText(false), m_number(value) {}
    FormatArg(long long value) : m_isText(false), m_number(value) {}
    FormatArg(unsigned value) : m_isText(false), m_number(value) {}
    FormatArg(std::string_view text) : m_isText(true), m_text(text) {}
    FormatArg(const char* text) : m_isText(true), m_text(text ? text : "") {}
    FormatArg(const std::string& text) : m_isText(true), m_text(text) {}

    bool IsText() const { return m_isText; }
    long long Number() const { return m_number; }
    const std::string& Text() const { return m_text; }

private:
    bool m_isText;
    long long m_number = 0;
    std::string m_text;
};

// The format with its conversions replaced, in order, by the values:
//   - "%%" is one '%';
//   - a conversion '%' [flags "-+0"] [width] ['.' precision] [length
//     "h", "hh", "l", "ll"] and one of d i u x X o c takes the next value
//     when it is an integer, 's' when it is a text;
//   - a conversion whose value is missing or of the other type, a '%' that
//     starts no conversion, or a width or precision above 255 is printed as
//     it stands (the value then waits for the next conversion). A blank
//     after '%' is no flag: "100% done" stays as written.
// Values left over are ignored.
std::string CheckedFormat(std::string_view format, std::initializer_list<FormatArg> args = {});
