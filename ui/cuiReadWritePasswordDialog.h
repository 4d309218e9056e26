#pragma once
// The read/write password dialog of the password cell: a notice, a password
// edit and a confirmation edit (each at most 16 characters, shown as typed,
// starting with the current password) with their labels, OK and Cancel; laid
// out like the clone password dialog (ui/cuiClonePasswordDialog.h), the
// buttons five edit heights below the first edit's top and ending at its
// right edge.
//
// The dialog only builds the window; the main object wires the buttons
// (cuiMain::OnReadWritePasswordOkClick and OnReadWritePasswordCancelClick).
#include "platform/ui/Form.h"

#include <string>

namespace plat {
class Button;
class Edit;
class Label;
} // namespace plat

class cuiReadWritePasswordDialog : public plat::Form {
public:
    cuiReadWritePasswordDialog(plat::Form* owner, const std::string& initial);

    plat::Label* Notice;
    plat::Label* PasswordLabel;
    plat::Label* ConfirmLabel;
    plat::Edit* PasswordEdit;
    plat::Edit* ConfirmEdit;
    plat::Button* OkButton;
    plat::Button* CancelButton;
};
