#pragma once
// The dialog that asks for the radio's password during a flashing pass. One
// dialog serves every pass, so it keeps the text typed last.
#include "platform/ui/Form.h"

#include <optional>
#include <string>

namespace plat {
class Button;
class Edit;
class Label;
}

namespace fl {

class TfrmMain;

// The password as the radio takes it: one byte for each character (the
// characters U+0000 to U+00FF). None when the text (UTF-8) holds a character
// beyond them, or is not 1 to 16 characters long.
std::optional<std::string> PasswordBytes(const std::string& text);

class TfrmPassword : public plat::Form {
public:
    // Owned by the main window, which shows it.
    explicit TfrmPassword(TfrmMain& main);
    ~TfrmPassword() override;

    plat::Label* lblPassword;
    plat::Edit* edtPWText; // at most 16 characters, shown as '*'
    plat::Button* btnPWOK;
    plat::Button* btnPWCancel;

    // Takes a valid password (the sequencer then sends it) and closes with
    // OK; otherwise says so, and the edit starts again empty.
    void btnPWOKClick();
    void btnPWCancelClick();
    void FormShow();

private:
    TfrmMain& m_main;
};

} // namespace fl
