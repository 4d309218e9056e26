#pragma once
// A font description without a toolkit: the value that cells, forms and
// canvases carry. The window layer turns it into a real font at draw time.
//
// The height is in pixels of the device the font is used on: a negative
// height is the character height (the em size), a positive height the cell
// height (character height plus internal leading). The point size is not
// stored: it follows from the height and the font's pixels per inch.
#include "platform/base/Color.h"

#include <string>

namespace plat {

// Style bits; a style set is any combination of them.
enum FontStyle : unsigned {
    fsBold = 1u << 0,
    fsItalic = 1u << 1,
    fsUnderline = 1u << 2,
    fsStrikeOut = 1u << 3,
};
using FontStyles = unsigned;

enum class FontPitch { fpDefault, fpFixed, fpVariable };

inline constexpr int DefaultCharset = 1;
inline constexpr int ScreenPixelsPerInch = 96;

struct Font {
    std::string name;              // family name; "" means the platform's default family
    int charset = DefaultCharset;  // kept as given; rendering is Unicode regardless
    Color color = clWindowText;
    int height = -11;              // 8 points at 96 pixels per inch
    FontStyles style = 0;
    FontPitch pitch = FontPitch::fpDefault;
    int pixelsPerInch = ScreenPixelsPerInch;

    // Point size: -height x 72 / pixels per inch, rounded to the nearest.
    int Size() const;
    // Sets the height for a point size: -size x pixels per inch / 72, rounded.
    void SetSize(int points);

    bool operator==(const Font&) const = default;
};

} // namespace plat
