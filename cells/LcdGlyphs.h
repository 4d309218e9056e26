#pragma once
// The radio's built-in character set as dot glyphs, for the codes 32 to 255,
// in the two layouts of the two user character sets:
//   - 49 bytes per glyph for the 7-column set: the 7 x 19 form (7 columns of
//     3 bytes) followed by the 7 x 32 form (7 columns of 4 bytes); row r of
//     a column is bit 7 - r % 8 of its byte r / 8;
//   - 24 bytes per glyph for the 5-column set: the 5 x 8 form (5 columns of
//     1 byte, one spare byte) followed by the 5 x 17 form (5 columns of 3
//     bytes, 3 spare bytes); row r is bit r % 8 of its byte r / 8.
// The letters, digits and signs of ASCII are drawn from a 5 x 7 design;
// codes from 127 on, which have no picture here, show as an outlined box.
#include <cstdint>

constexpr int GlyphFirstCode = 32;
constexpr int GlyphCount = 224;
constexpr int WideGlyphBytes = 49;
constexpr int NarrowGlyphBytes = 24;

// The glyph of a code (codes outside 32..255 give the blank of code 32).
const uint8_t* WideGlyph(int code);
const uint8_t* NarrowGlyph(int code);
