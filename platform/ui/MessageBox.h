#pragma once
// Message boxes: a text (line breaks start new lines), a caption, buttons and
// an icon, answered with the number of the button chosen.
#include "platform/base/UserMessage.h"

#include <string>

namespace plat {

class Control;

// Buttons, icons and answers: platform/base/UserMessage.h.

// Shows a modal message box over the owner's form (the active window when
// no owner is given) and returns the answer. Buttons or icons other than
// those listed are a programming fault (fatal).
int MessageBox(const std::string& text, const std::string& caption, unsigned flags, const Control* owner = nullptr);

} // namespace plat
