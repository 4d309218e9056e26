#include "flashloader/TfrmMain.h"

#include "flashloader/TfrmComPort.h"
#include "flashloader/TfrmPassword.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"

#include <algorithm>
#include <cstdio>

namespace fl {

namespace {

constexpr const char* kDashes = "-------------------------------";
constexpr const char* kPortCaption = "COM Port";

std::string WithNumber(const char* format, int n)
{
    char text[80];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

} // namespace

TfrmMain::TfrmMain()
{
    BuildControls();
    Show();
    memoMain->Clear();
    SetCaption(kProductText);
    m_runCount = 1;
    InitSession();
}

TfrmMain::~TfrmMain()
{
    // The password dialog goes first: it refers to this window.
    DestroyOwned();
    FormDestroy();
}

void TfrmMain::FormDestroy() { m_comPort.reset(); }

void TfrmMain::BuildControls()
{
    SetClientSize(420, 330);
    SetMinTrackSize(300, 220);

    // Aligned from the bottom up: the button row, the progress bar above it,
    // and the log filling the rest.
    auto* buttons = new plat::Panel(*this);
    buttons->SetBevelOuter(plat::bvNone);
    buttons->SetAlign(plat::alBottom);
    buttons->SetHeight(42);
    auto makeButton = [buttons](const char* name, const char* caption, int left) {
        auto* button = new plat::Button(*buttons);
        button->SetName(name);
        button->SetCaption(caption);
        button->SetBounds(left, 9, 90, 25);
        return button;
    };
    btnOK = makeButton("btnOK", "OK", 20);
    btnCancel = makeButton("btnCancel", "Cancel", 165);
    btnExit = makeButton("btnExit", "Exit", 310);
    btnExit->SetAnchors(plat::akTop | plat::akRight);
    btnOK->OnClick = [this] { btnOKClick(); };
    btnCancel->OnClick = [this] { btnCancelClick(); };
    btnExit->OnClick = [this] { btnExitClick(); };

    prgBarMain = new plat::ProgressBar(*this);
    prgBarMain->SetName("prgBarMain");
    prgBarMain->SetAlign(plat::alBottom);
    prgBarMain->SetHeight(20);
    prgBarMain->SetRange(0, 100);

    memoMain = new plat::Memo(*this);
    memoMain->SetName("memoMain");
    memoMain->SetAlign(plat::alClient);
    memoMain->SetReadOnly(true);
    memoMain->SetScrollBars(plat::ssVertical);

    mnuMain = new plat::MainMenu(*this);
    File1 = mnuMain->Items().Add("File");
    Exit1 = File1->Add("Exit", [this](plat::MenuItem&) { Exit1Click(); });
    COMPort1 = mnuMain->Items().Add("COM Port");
    COM11 = COMPort1->Add("COM1", [this](plat::MenuItem&) { COM11Click(); });
    COM21 = COMPort1->Add("COM2", [this](plat::MenuItem&) { COM21Click(); });
    COM31 = COMPort1->Add("COM3", [this](plat::MenuItem&) { COM31Click(); });
    COM41 = COMPort1->Add("COM4", [this](plat::MenuItem&) { COM41Click(); });
    COMMore = COMPort1->Add("more...", [this](plat::MenuItem&) { COMMoreClick(); });
}

void TfrmMain::InitSession()
{
    btnOK->SetFocus();
    btnCancel->SetEnabled(false);
    memoMain->Clear();
    m_comPort = std::make_unique<ComPort>();
    m_comPort->SetIdCheck([this](dst_CDrv_Result& result) { CheckIdAnswer(result); });
    m_comPort->SetProgressReport([this](int done, int total) { UpdateProgress(done, total); });
    m_passwordEntered = false;
    m_passwordSent = false;
    CheckPortItems();

    Log("");
    Log(kProductText);
    Log(std::string(kSeriesText) + " Flash Loader");
    Log("File Loaded.");
    Log(WithNumber("SUM= $%04X", m_comPort->ImageSum()));
    Log("");
    Log(kDashes);
    if (m_comPort->ImageError() != kImageOk) {
        // Nothing may be written from an image that did not load whole.
        Log("ERROR Reading MOT File");
        Log("");
        btnOK->SetEnabled(false);
        btnExit->SetFocus();
        return;
    }
    Log(WithNumber("Connect to Transceiver (No. %d)", m_runCount));
    Log("Hit [OK] to Start Writing");
}

void TfrmMain::Log(const std::string& line) { memoMain->AddLine(line); }

// Ports 1 to 4 have their own item, every higher port shares "more...", and
// a port below 1 has none.
void TfrmMain::CheckPortItems()
{
    const int port = m_comPort->GetPort();
    plat::MenuItem* items[] = {COM11, COM21, COM31, COM41, COMMore};
    for (int i = 0; i < 5; ++i) {
        const bool mine = i < 4 ? port == i + 1 : port >= 5;
        items[i]->SetChecked(mine);
    }
}

void TfrmMain::ShowPortBusy() { plat::MessageBox("COM Port Busy", kPortCaption, plat::MB_OK | plat::MB_ICONERROR, this); }

void TfrmMain::SelectPort(int port)
{
    if (m_comPort->GetPort() == port) return;
    if (!m_comPort->SetPort(port)) ShowPortBusy();
    CheckPortItems();
}

void TfrmMain::COM11Click() { SelectPort(1); }
void TfrmMain::COM21Click() { SelectPort(2); }
void TfrmMain::COM31Click() { SelectPort(3); }
void TfrmMain::COM41Click() { SelectPort(4); }

void TfrmMain::COMMoreClick()
{
    auto dialog = std::make_unique<TfrmComPort>(*m_comPort, this);
    dialog->ShowModal();
    dialog.reset();
    CheckPortItems();
}

void TfrmMain::btnExitClick() { Close(); }
void TfrmMain::Exit1Click() { Close(); }

void TfrmMain::btnCancelClick() { m_comPort->CancelOperation(); }

void TfrmMain::btnOKClick()
{
    // The focus goes to Cancel before OK is disabled: during a pass a key
    // must never reach Exit, which would leave the radio in its boot loader.
    btnCancel->SetEnabled(true);
    btnCancel->SetFocus();
    btnOK->SetEnabled(false);
    ++m_runCount;
    memoMain->Clear();
    Log("COM Open...[OK]");
    Log("Connecting...");
    StartRun();
}

void TfrmMain::StartRun()
{
    if (m_comPort->IsBusy()) return;
    m_comPort->StartIdQuery([this](dst_CDrv_Result& r) { OnIdQueryDone(r); });
}

TfrmPassword& TfrmMain::PasswordForm()
{
    if (m_frmPassword == nullptr) new TfrmPassword(*this);
    return *m_frmPassword;
}

void TfrmMain::DetachPasswordForm(const TfrmPassword* form)
{
    if (m_frmPassword == form) m_frmPassword = nullptr;
}

void TfrmMain::CheckIdAnswer(dst_CDrv_Result& result)
{
    if (result.Code != kResultOk) return;
    if (result.ModelCode != ComPort::kFirstModel && result.ModelCode != ComPort::kSecondModel) {
        result.Code = kResultBadIdentity;
        return;
    }
    m_identity = {static_cast<uint8_t>(result.ModelCode >> 8), static_cast<uint8_t>(result.ModelCode),
                  static_cast<uint8_t>(result.SubCode >> 8), static_cast<uint8_t>(result.SubCode)};
    // The payload starts with its own length; an empty one has none.
    const int length = result.Payload.Length();
    if (length == 0 || result.Payload.At(0) != length) {
        result.Code = kResultBadIdentity;
        return;
    }
    // A short payload leaves the rest of the block zero, never the bytes of
    // an earlier radio.
    m_radioInfo.fill(0);
    std::copy_n(result.Payload.Data(), std::min<int>(length, static_cast<int>(m_radioInfo.size())), m_radioInfo.begin());
}

bool TfrmMain::RadioProtected() const { return (m_radioInfo[53] & 0x08) != 0 && (m_radioInfo[109] & 0x02) != 0; }

void TfrmMain::StartBootEntry()
{
    m_comPort->StartBootEntry([this](dst_CDrv_Result& r) { OnBootEntryDone(r); });
}

void TfrmMain::OnIdQueryDone(dst_CDrv_Result& result)
{
    // No answer is no error here: the radio may be in its boot loader already.
    if (result.Code != kResultOk && result.Code != kResultTimeout) {
        ShowRunError(result.Code);
        return;
    }
    if (m_comPort->IsBusy()) return;
    ResetProgress();
    if (result.Code == kResultTimeout) {
        StartBootEntry();
    } else if (RadioProtected()) {
        Log("[Password Protected]");
        if (PasswordForm().ShowModal() == plat::mrOk) {
            Log("[Password Entered]");
            m_comPort->StartPassword([this](dst_CDrv_Result& r) { OnPasswordDone(r); });
            m_passwordSent = true;
        } else {
            Log("[NO Password Entered]");
            m_passwordSent = false;
            StartBootEntry();
        }
    } else {
        StartBootEntry();
    }
    if (m_passwordEntered && !m_passwordSent) m_passwordEntered = false;
}

void TfrmMain::OnPasswordDone(dst_CDrv_Result& result)
{
    if (result.Code != kResultOk) {
        ShowRunError(result.Code);
        return;
    }
    if (m_comPort->IsBusy()) return;
    ResetProgress();
    Log("[Password Sent]");
    StartBootEntry();
}

void TfrmMain::OnBootEntryDone(dst_CDrv_Result& result)
{
    if (result.Code != kResultOk) {
        ShowRunError(result.Code);
        return;
    }
    if (m_comPort->IsBusy()) return;
    ResetProgress();
    Log("[OK]");
    Log("Pre-processing...");
    m_comPort->StartPreProcess([this](dst_CDrv_Result& r) { OnPreProcessDone(r); });
}

void TfrmMain::OnPreProcessDone(dst_CDrv_Result& result)
{
    if (result.Code != kResultOk) {
        ShowRunError(result.Code);
        return;
    }
    if (m_comPort->IsBusy()) return;
    Log("[OK]");
    Log("Writing ROM data...");
    m_comPort->StartRomWrite([this](dst_CDrv_Result& r) { OnRomWriteDone(r); });
}

void TfrmMain::OnRomWriteDone(dst_CDrv_Result& result)
{
    if (result.Code != kResultOk) {
        ShowRunError(result.Code);
        return;
    }
    Log("Upload Successful");
    Log("Disconnecting");
    EndRun();
}

void TfrmMain::ShowRunError(int code)
{
    const char* text = "COM Port Error";
    bool box = false;
    switch (code) {
    case kResultOpenFailed: text = "Cannot Open COM Port"; box = true; break;
    case kResultBaudFailed: text = "Cannot Access COM Port"; box = true; break;
    case kResultTimeout: text = "No answer from transceiver"; box = true; break;
    case kResultCancelled: text = "Cancelled by user"; break;
    default: break;
    }
    Log("** Error **");
    Log(text);
    if (box) plat::MessageBox(text, kPortCaption, plat::MB_OK | plat::MB_ICONERROR, this);
    EndRun();
}

void TfrmMain::EndRun()
{
    btnOK->SetEnabled(true);
    btnOK->SetFocus();
    btnCancel->SetEnabled(false);
    ResetProgress();
    Log("");
    Log(kDashes);
    Log(WithNumber("Connect to Transceiver (No. %d)", m_runCount));
    Log("Hit [OK] to Start Writing");
}

void TfrmMain::UpdateProgress(int done, int total)
{
    const unsigned divisor = total == 0 ? 3000u : static_cast<unsigned>(total);
    const unsigned percent = static_cast<unsigned>(done) * 100u / divisor;
    if (percent < 100) prgBarMain->SetPosition(static_cast<int>(percent));
    char text[24];
    std::snprintf(text, sizeof text, "%2u%% ", percent);
    const std::string title = text + std::string(kProductText);
    SetCaption(title);
    plat::SetApplicationTitle(title);
}

void TfrmMain::ResetProgress()
{
    prgBarMain->SetPosition(prgBarMain->Min());
    SetCaption(kProductText);
    plat::SetApplicationTitle(kProductText);
}

} // namespace fl
