#pragma once
// Message boxes for the code that has no windows of its own (the common
// core): the buttons, icons and answers of a message box, and a message
// function that the window layer points at its message box when the
// application object starts. Until then, and in programs without windows,
// the text goes to standard error and the answer is IDOK.
#include <functional>
#include <string>

namespace plat {

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

using UserMessageFunction = std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;

// Installs the function and returns the previous one.
UserMessageFunction SetUserMessageFunction(UserMessageFunction function);
// Shows a message box through the installed function and returns its answer.
int UserMessage(const std::string& text, const std::string& caption, unsigned flags);

} // namespace plat
