#pragma once
// Text measured in the font a control shows (for laying out dialogs from
// their texts).
#include "platform/base/Rect.h"

#include <string_view>

namespace plat {

class Control;

// Width and height of one line of text in the control's font (its own, or
// the one it takes from its parent).
Size ControlTextExtent(const Control& control, std::string_view text);
inline int ControlTextWidth(const Control& control, std::string_view text) { return ControlTextExtent(control, text).cx; }
inline int ControlTextHeight(const Control& control, std::string_view text)
{
    return ControlTextExtent(control, text).cy;
}

} // namespace plat
