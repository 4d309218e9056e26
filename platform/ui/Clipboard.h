#pragma once
// The desktop's clipboard, as text (UTF-8).
#include <string>

namespace plat {

// Puts the text on the clipboard, replacing what it held.
void SetClipboardText(const std::string& text);
// The clipboard's text; "" when it holds none.
std::string ClipboardText();

} // namespace plat
