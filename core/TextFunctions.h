#pragma once
// Text, hexadecimal, font, colour and placement helpers shared by the overlay
// readers, the cell parser, the protocol driver and the windows.
//
// Texts are UTF-8 byte strings. Every byte of a multi-byte character is 0x80
// or above, so it is never taken for a separator, an escape or a blank: the
// scanners below work byte by byte and never split a character.
#include "core/cmcBuff.h"
#include "platform/base/Canvas.h"
#include "platform/base/Color.h"
#include "platform/base/Font.h"
#include "platform/base/Placement.h"
#include "platform/base/Rect.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// True for a byte that belongs to a multi-byte character.
constexpr bool IsMultiByteUnit(unsigned char c) { return c >= 0x80; }

// Field n (0-based) of the text split at the separator; nullopt when the
// text has n fields or fewer. Field 0 always exists ("" for an empty text).
std::optional<std::string> ExtractField(std::string_view text, char separator, int n);
// Token n of the text split at any character of the separator set; empty
// tokens between adjacent separators count. nullopt when there are fewer.
std::optional<std::string> ExtractToken(std::string_view text, std::string_view separators, int n);

// The text after its leading blanks and tabs.
std::string_view SkipBlanks(std::string_view text);
const char* SkipBlanks(const char* text);
// Removes leading and trailing blanks and tabs.
void TrimBlanks(std::string& text);
// Removes every blank and tab.
void RemoveBlanks(std::string& text);

// A copy of the text; null gives "".
std::string DupString(const char* text);
// A copy of at most n bytes; null gives "". A multi-byte character that the
// limit would cut is left out whole.
std::string DupStringN(const char* text, int n);
// The text with every '&' doubled (menu captions then show '&' literally).
std::string DoubleAmpersands(std::string_view text);

// Hexadecimal digits taken in pairs (first = high nibble); other characters
// are skipped; an odd last digit gives a byte with it as the high nibble.
cmcBuff HexToBuff(std::string_view text);
// Each byte as two uppercase hexadecimal digits.
std::string StringToHex(std::string_view text);
// The reverse of StringToHex: each pair of hexadecimal digits (an odd last
// digit alone) becomes the byte of that value. nullopt when a character is
// not a hexadecimal digit.
std::optional<std::string> HexToString(std::string_view text);

bool IsPrintableAscii(int code);
bool InRange(int value, int lo, int hi);

// Nibble n of a byte array: byte n / 2, the high nibble for even n.
int GetNibble(const uint8_t* bytes, int n);
// Stores the low four bits of value as nibble n, keeping the byte's other nibble.
void SetNibble(uint8_t* bytes, int n, int value);

// When both are given: the font takes every property of the source and its
// height in pixels; it keeps its own pixels per inch.
void AssignFont(plat::Font* font, const plat::Font* source);

// Looks the exact colour name up ("clRed", "clWindow", ...): 0 and the colour
// set when found, 1 and the colour left when not.
int ColorByName(std::string_view name, plat::Color& color);

// Applies a font specification "charset,name,colour,height,size,style,pitch".
// A missing field ends it; an empty or unrecognised field leaves that property.
// Heights and sizes may be "%N": N percent of the present value, keeping its
// sign, with a magnitude of at least 1. A height or size given outright is
// multiplied by pixelScale (a font written in the screen's pixels, sized for
// another device); a percentage of the present value is not.
void ParseFontSpec(std::string_view spec, plat::Font& font, double pixelScale = 1.0);

// For a text split at line feeds: the width of the widest line and the sum
// of the line heights, measured in the canvas's font.
plat::Size MultiLineTextExtent(plat::Canvas& canvas, std::string_view text);

// Centres the control over the other, then keeps it in the work area.
void CenterControl(plat::PlacedControl& control, const plat::PlacedControl& other);
// Moves the control into its work area: first so that its right and bottom
// edges lie inside, then so that its left and top edges do (a control larger
// than the area ends at the area's left or top edge).
void KeepInWorkArea(plat::PlacedControl& control);
