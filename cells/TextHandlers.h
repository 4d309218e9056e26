#pragma once
// The value handlers for values shown as the radio's own display shows them:
// texts drawn as dot-matrix LCD characters and edited in the free-text
// editor, the user-defined characters drawn and edited dot by dot, and the
// read/write password cell; with the escaping of character codes in
// editable texts and the nibble buffer of the digit cells.
//
// Character codes: 32..126 printable ASCII; 16..31 the 16 user characters;
// 127..255 further characters of the radio's set; 0..15 are no characters
// (a zero byte ends a text).
#include "core/cmcBuff.h"
#include "core/cmcCellCapsule.h"

#include <cstdint>
#include <string>
#include <string_view>

// One nibble value (0..15) per element.
class cmcPackedBcd : public cmcBuff {
public:
    cmcPackedBcd() = default;
    void AppendNibble(int value) { AppendByte(uint8_t(value & 0x0F)); }
};

// Writes element i as nibble i of the bytes (even i the high nibble).
void WriteNibbles(const cmcPackedBcd& nibbles, uint8_t* bytes);

bool IsUserCharCode(int code);
bool IsEscapedCharCode(int code);
bool IsTextChar(int code);
bool IsNibbleValue(int value);

// Editable text of character bytes (at most 255): '%' as "%%", codes 16..31
// and 127..255 as '%' and two upper-case hexadecimal digits; a byte 0..15
// ends the text.
std::string EscapeCellText(std::string_view bytes);
// The bytes of an edited text (at most 255 characters): "%%" is '%', '%'
// and two hexadecimal digits the byte they give unless it is 0..15; other
// characters stay when they are text characters, else become blanks.
std::string UnescapeCellText(std::string_view text);

// The glyph form of the user character set in use: columns and dot rows
// (7 x 19 or 7 x 32 for the 7-column set, 5 x 8 or 5 x 17 for the
// 5-column set, by the display layout flag).
struct GlyphForm {
    int Columns;
    int Rows;
};
GlyphForm CurrentGlyphForm();
// The display layout flag of the working image (the two-line layout).
bool LcdLayoutFlag();
// Whether dot (column, row) of a character code is set in the current form.
bool GlyphDot(int code, int column, int row);

// A text of n character bytes shown as LCD characters; zeroFill: the text is
// filled up with zero bytes (else blanks).
int EditLcdText(cmcCellCapsule* cap, char* bytes, int n, bool zeroFill, CellExecResult& result);
// Draws the text as dot-matrix characters into the cell's rectangle on its
// canvas: `perLine` characters per line, `lines` lines (two at most), grey
// frames around the character boxes when asked.
void DrawLcdText(cmcCellCapsule* cap, std::string_view text, int length, int perLine, int lines, bool frame);
// The user character of the cell's index.
int EditUserChar(cmcCellCapsule* cap, CellExecResult& result);
// The read/write password (n bytes, at most 16): its dialog stores a new
// password into newBytes; the cell shows nothing.
int EditClonePasswordCell(cmcCellCapsule* cap, const uint8_t* current, int n, uint8_t* newBytes);
