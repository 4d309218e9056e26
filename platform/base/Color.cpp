#include "platform/base/Color.h"

namespace plat {

namespace {

// The desktop scheme: window white with black text, light grey faces, a
// blue highlight with white text.
constexpr Color kSystemColors[] = {
    RGB(200, 200, 200), // 0 scroll bar
    RGB(58, 110, 165),  // 1 desktop background
    RGB(153, 180, 209), // 2 active caption
    RGB(191, 205, 219), // 3 inactive caption
    RGB(240, 240, 240), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(100, 100, 100), // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(0, 0, 0),       // 9 caption text
    RGB(180, 180, 180), // 10 active border
    RGB(244, 247, 252), // 11 inactive border
    RGB(171, 171, 171), // 12 application work space
    RGB(0, 120, 215),   // 13 highlight
    RGB(255, 255, 255), // 14 highlight text
    RGB(240, 240, 240), // 15 button face
    RGB(160, 160, 160), // 16 button shadow
    RGB(128, 128, 128), // 17 grey text
    RGB(0, 0, 0),       // 18 button text
    RGB(0, 0, 0),       // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(105, 105, 105), // 21 3D dark shadow
    RGB(227, 227, 227), // 22 3D light
    RGB(0, 0, 0),       // 23 tool tip text
    RGB(255, 255, 225), // 24 tool tip background
    RGB(0, 0, 0),       // 25 (unused)
    RGB(0, 102, 204),   // 26 hot-tracked item
    RGB(185, 209, 234), // 27 active caption gradient
    RGB(215, 228, 242), // 28 inactive caption gradient
    RGB(51, 153, 255),  // 29 menu highlight
    RGB(240, 240, 240), // 30 menu bar
};

constexpr Color kSystemFlag = 0x80000000u;

} // namespace

Color SysColor(int index)
{
    if (index < 0 || index >= static_cast<int>(sizeof kSystemColors / sizeof kSystemColors[0])) return clBlack;
    return kSystemColors[index];
}

Color ColorToRGB(Color color)
{
    if ((color & kSystemFlag) != 0) return SysColor(static_cast<int>(color & 0x7FFFFFFFu));
    return color & 0x00FFFFFFu;
}

} // namespace plat
