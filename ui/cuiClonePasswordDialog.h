#pragma once
// The clone password dialog: a notice, one edit that shows '*' for every
// character (at most 16), OK and Cancel. It is laid out like the program's
// other small modal dialogs: margins of the height of a "W", the edit the
// width of "WW" in from the notice and half a "W" below it, the buttons four
// edit heights below the edit's top, at the right margin.
//
// The dialog only builds the window; the main object wires the buttons
// (cuiMain::OnClonePasswordOkClick and OnClonePasswordCancelClick) and
// decides when it closes.
#include "platform/base/Rect.h"
#include "platform/ui/Form.h"

#include <string>

namespace plat {
class Button;
class Edit;
class Label;
} // namespace plat

// The extent of a text in the form's font.
plat::Size DialogTextExtent(plat::Form& form, const std::string& text);
// Gives the dialog its client size and centres it over the owner (kept in
// the work area without one); the client size survives the move.
void PlaceDialog(plat::Form& dialog, plat::Form* owner, int clientWidth, int clientHeight);

class cuiClonePasswordDialog : public plat::Form {
public:
    // owner: the main form (or none); it is centred over it.
    explicit cuiClonePasswordDialog(plat::Form* owner);

    plat::Label* Notice;
    plat::Edit* PasswordEdit;
    plat::Button* OkButton;
    plat::Button* CancelButton;
};
