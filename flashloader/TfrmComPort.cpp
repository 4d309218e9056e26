#include "flashloader/TfrmComPort.h"

#include "flashloader/ComPort.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace fl {

namespace {
constexpr const char* kCaption = "COM Port";
}

TfrmComPort::TfrmComPort(ComPort& comPort, plat::Component* owner) : plat::Form(owner), m_comPort(comPort)
{
    SetCaption(kCaption);
    SetBorderStyle(plat::bsDialog);
    SetBorderIcons(plat::biSystemMenu);

    lblPort = new plat::Label(*this);
    lblPort->SetName("lblPort");
    lblPort->SetCaption("Enter COM port [ 1-255]");
    lblPort->SetLeft(12);
    lblPort->SetTop(14);

    mskEditPort = new plat::Edit(*this);
    mskEditPort->SetName("mskEditPort");
    mskEditPort->SetBounds(lblPort->Left() + lblPort->Width() + 8, 10, 50, 21);
    mskEditPort->SetMaxLength(3);
    mskEditPort->SetNumbersOnly(true);
    mskEditPort->SetText(std::to_string(comPort.GetPort()));

    SetClientSize(std::max(230, mskEditPort->Left() + mskEditPort->Width() + 12), 96);

    btnOk = new plat::Button(*this);
    btnOk->SetName("btnOk");
    btnOk->SetCaption("OK");
    btnOk->SetBounds(30, 56, 75, 25);
    btnOk->SetDefault(true);
    btnOk->SetModalResult(plat::mrOk);
    btnOk->OnClick = [this] { btnOkClick(); };

    btnCancel = new plat::Button(*this);
    btnCancel->SetName("btnCancel");
    btnCancel->SetCaption("Cancel");
    btnCancel->SetBounds(125, 56, 75, 25);
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(plat::mrCancel);

    OnShow = [this] {
        mskEditPort->SetFocus();
        mskEditPort->SelectAll();
    };
}

void TfrmComPort::btnOkClick()
{
    // An empty entry is no number either.
    const std::string text = mskEditPort->Text();
    int port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    const bool number = ec == std::errc() && end == text.data() + text.size();
    if (!number || port <= 0 || port >= 256) {
        plat::MessageBox("Bad COM Port Number", kCaption, plat::MB_OK | plat::MB_ICONERROR, this);
        SetModalResult(plat::mrCancel);
        return;
    }
    if (!m_comPort.SetPort(port)) {
        plat::MessageBox("COM Port Busy", kCaption, plat::MB_OK | plat::MB_ICONERROR, this);
        SetModalResult(plat::mrCancel);
    }
}

} // namespace fl
