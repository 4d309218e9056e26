#pragma once
// The flash loader's main window: a read-only log, a progress bar, the
// buttons OK (one flashing pass), Cancel and Exit, and a menu with File/Exit
// and the COM port choice.
//
// A flashing pass chains the sequencer's operations, each started from the
// completion of the one before: identity query (no answer goes straight to
// the boot entry, which is how a radio left in its boot loader is flashed),
// the password when the radio asks for one, boot entry, pre-process upload
// and ROM write. Every step is logged; an error ends the pass with its text
// in the log (and in a message box for the port and time-out errors).
#include "flashloader/ComPort.h"
#include "platform/ui/Form.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace plat {
class Button;
class MainMenu;
class Memo;
class MenuItem;
class ProgressBar;
}

namespace fl {

class TfrmPassword;

// Shown in the caption and the log.
inline constexpr const char* kProductText = "QM-7150Q RR 4.6.8";
inline constexpr const char* kSeriesText = "KR-W8830_W8850 Series";

class TfrmMain : public plat::Form {
public:
    // Shows the window and starts the session: the sequencer (with the port
    // from the INI file) and the start-up log.
    TfrmMain();
    ~TfrmMain() override;

    // Controls.
    plat::Memo* memoMain;
    plat::ProgressBar* prgBarMain;
    plat::Button* btnOK;
    plat::Button* btnCancel;
    plat::Button* btnExit;
    plat::MainMenu* mnuMain;
    plat::MenuItem* File1;
    plat::MenuItem* Exit1;
    plat::MenuItem* COMPort1;
    plat::MenuItem* COM11;
    plat::MenuItem* COM21;
    plat::MenuItem* COM31;
    plat::MenuItem* COM41;
    plat::MenuItem* COMMore;

    // Handlers.
    void btnOKClick();
    void btnCancelClick();
    void btnExitClick();
    void Exit1Click();
    void COM11Click();
    void COM21Click();
    void COM31Click();
    void COM41Click();
    void COMMoreClick();

    // The identity check the sequencer runs on every finished identity query.
    void CheckIdAnswer(dst_CDrv_Result& result);
    // Progress of an upload: the bar and the caption show the percentage.
    void UpdateProgress(int done, int total);
    void ResetProgress();

    // The password dialog of the passes; the main window owns it. Created on
    // first use when the program has not attached one.
    TfrmPassword& PasswordForm();
    void AttachPasswordForm(TfrmPassword* form) { m_frmPassword = form; }
    void DetachPasswordForm(const TfrmPassword* form);
    // Set by the password dialog when it accepts a password.
    void SetPasswordEntered(bool entered) { m_passwordEntered = entered; }

    // Observers.
    int RunCount() const { return m_runCount; }
    ComPort& Sequencer() { return *m_comPort; }
    bool PasswordEntered() const { return m_passwordEntered; }
    bool PasswordSent() const { return m_passwordSent; }
    const std::array<uint8_t, 4>& IdentityBytes() const { return m_identity; }
    const std::array<uint8_t, 125>& RadioInfo() const { return m_radioInfo; }

private:
    // Deletes the sequencer, which saves the port.
    void FormDestroy();
    void BuildControls();
    void InitSession();
    void Log(const std::string& line);
    void CheckPortItems();
    void SelectPort(int port);
    void ShowPortBusy();
    void StartRun();
    void StartBootEntry();
    bool RadioProtected() const;
    void ShowRunError(int code);
    void EndRun();

    // The pass, one completion per step.
    void OnIdQueryDone(dst_CDrv_Result& result);
    void OnPasswordDone(dst_CDrv_Result& result);
    void OnBootEntryDone(dst_CDrv_Result& result);
    void OnPreProcessDone(dst_CDrv_Result& result);
    void OnRomWriteDone(dst_CDrv_Result& result);

    int m_runCount = 1;
    std::unique_ptr<ComPort> m_comPort;
    std::array<uint8_t, 4> m_identity{};   // model high, low, sub code high, low
    std::array<uint8_t, 125> m_radioInfo{}; // the identity reply's payload
    bool m_passwordEntered = false;
    bool m_passwordSent = false;
    TfrmPassword* m_frmPassword = nullptr;
};

} // namespace fl
