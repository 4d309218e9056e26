#pragma once
// 32-bit colours: 0x00BBGGRR for fixed colours, 0x80000000 plus the system
// colour index for colours that follow the desktop scheme.
#include <cstdint>

namespace plat {

using Color = std::uint32_t;

// Fixed colours.
inline constexpr Color clAqua = 0xFFFF00;
inline constexpr Color clBlack = 0x000000;
inline constexpr Color clBlue = 0xFF0000;
inline constexpr Color clDkGray = 0x808080;
inline constexpr Color clFuchsia = 0xFF00FF;
inline constexpr Color clGray = 0x808080;
inline constexpr Color clGreen = 0x008000;
inline constexpr Color clLime = 0x00FF00;
inline constexpr Color clLtGray = 0xC0C0C0;
inline constexpr Color clMaroon = 0x000080;
inline constexpr Color clNavy = 0x800000;
inline constexpr Color clOlive = 0x008080;
inline constexpr Color clPurple = 0x800080;
inline constexpr Color clRed = 0x0000FF;
inline constexpr Color clSilver = 0xC0C0C0;
inline constexpr Color clTeal = 0x808000;
inline constexpr Color clWhite = 0xFFFFFF;
inline constexpr Color clYellow = 0x00FFFF;

// System colours.
inline constexpr Color clBackground = 0x80000001;
inline constexpr Color clActiveCaption = 0x80000002;
inline constexpr Color clInactiveCaption = 0x80000003;
inline constexpr Color clMenu = 0x80000004;
inline constexpr Color clWindow = 0x80000005;
inline constexpr Color clWindowFrame = 0x80000006;
inline constexpr Color clMenuText = 0x80000007;
inline constexpr Color clWindowText = 0x80000008;
inline constexpr Color clCaptionText = 0x80000009;
inline constexpr Color clActiveBorder = 0x8000000A;
inline constexpr Color clInactiveBorder = 0x8000000B;
inline constexpr Color clAppWorkSpace = 0x8000000C;
inline constexpr Color clHighlight = 0x8000000D;
inline constexpr Color clHightlightText = 0x8000000E;
inline constexpr Color clBtnFace = 0x8000000F;
inline constexpr Color clBtnShadow = 0x80000010;
inline constexpr Color clGrayText = 0x80000011;
inline constexpr Color clBtnText = 0x80000012;
inline constexpr Color clInactiveCaptionText = 0x80000013;
inline constexpr Color clBtnHighlight = 0x80000014;

// The colour of a system colour index (0 to 30) in the desktop scheme of
// this program: a fixed table, the same on every desktop, so that what is
// drawn does not depend on the desktop theme. Indexes outside it give black.
Color SysColor(int index);
// The fixed colour a colour stands for: system colours through SysColor,
// fixed colours as they are (the top byte cleared).
Color ColorToRGB(Color color);
// The red, green and blue parts of a fixed colour, and the reverse.
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr Color RGB(int r, int g, int b)
{
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

} // namespace plat
