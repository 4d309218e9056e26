#pragma once
// The dialog that takes any COM port number from 1 to 255.
#include "platform/ui/Form.h"

namespace plat {
class Button;
class Edit;
class Label;
}

namespace fl {

class ComPort;

class TfrmComPort : public plat::Form {
public:
    // Presets the edit with the sequencer's current port.
    explicit TfrmComPort(ComPort& comPort, plat::Component* owner = nullptr);

    plat::Label* lblPort;
    plat::Edit* mskEditPort; // up to three digits
    plat::Button* btnOk;
    plat::Button* btnCancel;

    // Sets the port typed; a number outside 1 to 255 (or none) and a busy
    // sequencer are refused with a message box and close the dialog with
    // cancel.
    void btnOkClick();

private:
    ComPort& m_comPort;
};

} // namespace fl
