#pragma once
// Keys as the programs see them.
//
// A key stroke reaches a window in two stages. First the key-down event with
// the key's virtual-key code and the shift state; a handler swallows the key
// by setting the code to 0. Then, for keys that type a character and were not
// swallowed, the typed-character event with the character (a Unicode code
// point: Enter 13, Backspace 8, Esc 27, Space 32, Ctrl+letter the control
// code 1 to 26); a handler drops it by setting it to 0. A key held with Alt
// types nothing (Alt strokes are for the menus), nor does one held with Ctrl
// other than those control codes. A handler that changes
// the code or character to anything else than 0 changes nothing.
#include "platform/base/ShiftState.h"

#include <functional>

namespace plat {

inline constexpr int VK_BACK = 8;
inline constexpr int VK_TAB = 9;
inline constexpr int VK_RETURN = 13;
inline constexpr int VK_ESCAPE = 27;
inline constexpr int VK_SPACE = 32;
inline constexpr int VK_PRIOR = 33; // Page Up
inline constexpr int VK_NEXT = 34;  // Page Down
inline constexpr int VK_END = 35;
inline constexpr int VK_HOME = 36;
inline constexpr int VK_LEFT = 37;
inline constexpr int VK_UP = 38;
inline constexpr int VK_RIGHT = 39;
inline constexpr int VK_DOWN = 40;
inline constexpr int VK_INSERT = 45;
inline constexpr int VK_DELETE = 46;
// The digit keys are '0' to '9' (48 to 57), the letter keys 'A' to 'Z'
// (65 to 90), whatever the shift state.
inline constexpr int VK_F1 = 112;
inline constexpr int VK_F12 = 123;

// Set key to 0 to swallow the key.
using KeyDownHandler = std::function<void(int& key, ShiftState shift)>;
// Set ch to 0 to drop the character.
using KeyPressHandler = std::function<void(char32_t& ch)>;

} // namespace plat
