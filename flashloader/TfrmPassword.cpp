#include "flashloader/TfrmPassword.h"

#include "flashloader/ComPort.h"
#include "flashloader/TfrmMain.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"

#include <algorithm>

namespace fl {

namespace {
constexpr int kMaxPasswordLength = 16;
constexpr const char* kCaption = "Password";
}

std::optional<std::string> PasswordBytes(const std::string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        unsigned code = lead;
        size_t length = 1;
        if (lead >= 0x80) {
            // Two bytes reach U+07FF; only U+0080 to U+00FF (lead C2 or C3)
            // fit into one byte. Anything longer is beyond them anyway.
            if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= text.size()) return std::nullopt;
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = (lead & 0x1Fu) << 6 | (next & 0x3Fu);
            length = 2;
        }
        bytes += static_cast<char>(code);
        i += length;
    }
    if (bytes.empty() || bytes.size() > kMaxPasswordLength) return std::nullopt;
    return bytes;
}

TfrmPassword::TfrmPassword(TfrmMain& main) : plat::Form(&main), m_main(main)
{
    SetCaption(kCaption);
    SetBorderStyle(plat::bsDialog);
    SetBorderIcons(plat::biSystemMenu);

    lblPassword = new plat::Label(*this);
    lblPassword->SetName("lblPassword");
    lblPassword->SetCaption("Enter Password:");
    lblPassword->SetLeft(12);
    lblPassword->SetTop(14);

    edtPWText = new plat::Edit(*this);
    edtPWText->SetName("edtPWText");
    edtPWText->SetBounds(lblPassword->Left() + lblPassword->Width() + 8, 10, 128, 21);
    edtPWText->SetMaxLength(kMaxPasswordLength);
    edtPWText->SetPasswordChar(U'*');

    SetClientSize(std::max(250, edtPWText->Left() + edtPWText->Width() + 12), 96);

    btnPWOK = new plat::Button(*this);
    btnPWOK->SetName("btnPWOK");
    btnPWOK->SetCaption("OK");
    btnPWOK->SetBounds(40, 56, 75, 25);
    btnPWOK->SetDefault(true);
    btnPWOK->OnClick = [this] { btnPWOKClick(); };

    btnPWCancel = new plat::Button(*this);
    btnPWCancel->SetName("btnPWCancel");
    btnPWCancel->SetCaption("Cancel");
    btnPWCancel->SetBounds(135, 56, 75, 25);
    btnPWCancel->SetCancel(true);
    btnPWCancel->OnClick = [this] { btnPWCancelClick(); };

    OnShow = [this] { FormShow(); };
    main.AttachPasswordForm(this);
}

TfrmPassword::~TfrmPassword() { m_main.DetachPasswordForm(this); }

void TfrmPassword::btnPWOKClick()
{
    if (std::optional<std::string> password = PasswordBytes(edtPWText->Text())) {
        g_FlashPassword = *password;
        m_main.SetPasswordEntered(true);
        m_main.Sequencer().SetUsePassword(true);
        SetModalResult(plat::mrOk);
        return;
    }
    plat::MessageBox("Password out of Range. Enter a Valid Password or click Cancel to Exit", kCaption,
                     plat::MB_OK | plat::MB_ICONERROR, this);
    edtPWText->SetText("");
    edtPWText->SetFocus();
}

void TfrmPassword::btnPWCancelClick() { SetModalResult(plat::mrCancel); }

void TfrmPassword::FormShow() { edtPWText->SetFocus(); }

} // namespace fl
