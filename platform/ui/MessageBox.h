#pragma once
// Message boxes: a text (line breaks start new lines), a caption, buttons and
// an icon, answered with the number of the button chosen.
#include <string>

namespace plat {

class Control;

// Buttons (one of these) ...
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_YESNOCANCEL = 0x03;
inline constexpr unsigned MB_YESNO = 0x04;
// ... combined with an icon (or none).
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;

// Answers. Esc (or the close box) answers IDCANCEL where there is a Cancel
// button, IDOK in a box with OK alone and IDNO in a Yes/No box.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Shows a modal message box over the owner's form (the active window when
// no owner is given) and returns the answer. Buttons or icons other than
// those above are a programming fault (fatal).
int MessageBox(const std::string& text, const std::string& caption, unsigned flags, const Control* owner = nullptr);

} // namespace plat
