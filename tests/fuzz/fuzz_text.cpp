// The text, hexadecimal, font-spec and colour functions on any text: fields
// joined again give the text, hexadecimal text reads back as the bytes it
// was made of, and font specs apply to fonts of any height.
#include "core/TextFunctions.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using qmfuzz::Require;
    qmfuzz::Input in(data, size);
    const char separator = static_cast<char>(in.Byte());
    const int n = in.Byte();
    const int32_t height = in.I32();
    const std::string text(in.Rest());

    // Fields: joined with the separator they give the text back (each field
    // is found from the front: a few dozen keep the work per input small).
    if (!IsMultiByteUnit(static_cast<unsigned char>(separator)) && std::count(text.begin(), text.end(), separator) < 64) {
        std::string joined;
        int count = 0;
        while (auto field = ExtractField(text, separator, count)) {
            if (count++ > 0) joined += separator;
            joined += *field;
        }
        Require(count >= 1 && joined == text, "fields that do not join to their text");
    }
    ExtractToken(text, std::string_view(text).substr(0, 3), n % 8);

    std::string trimmed = text;
    TrimBlanks(trimmed);
    Require(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != '\t' && trimmed.back() != ' ' &&
                                trimmed.front() != '\t'),
            "blanks left by TrimBlanks");
    std::string removed = text;
    RemoveBlanks(removed);
    Require(removed.find_first_of(" \t") == std::string::npos, "blanks left by RemoveBlanks");
    SkipBlanks(std::string_view(text));
    const std::string cut = DupStringN(text.c_str(), n);
    Require(cut.size() <= static_cast<size_t>(n) && text.compare(0, cut.size(), cut) == 0, "DupStringN is no prefix");
    Require(DoubleAmpersands(text).size() == text.size() + static_cast<size_t>(std::count(text.begin(), text.end(), '&')),
            "DoubleAmpersands");

    // Hexadecimal.
    const size_t digits = static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }));
    Require(static_cast<size_t>(HexToBuff(text).Length()) == (digits + 1) / 2, "HexToBuff byte count");
    Require(HexToString(StringToHex(text)) == text, "StringToHex does not read back");
    HexToString(text);

    uint8_t nibbles[16] = {};
    std::copy_n(text.begin(), std::min<size_t>(text.size(), sizeof nibbles), nibbles);
    SetNibble(nibbles, n % 32, height);
    Require(GetNibble(nibbles, n % 32) == (height & 0x0F), "SetNibble then GetNibble");

    plat::Color color = plat::clWindow;
    ColorByName(text, color);
    plat::Font font;
    font.height = height;
    ParseFontSpec(text, font);
    font.Size();
    return 0;
}
