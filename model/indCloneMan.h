#pragma once
// The clone manager: the model's side of the clone protocol driver.
//
// It writes the command script of each operation (speed handshakes, the
// clone password frame, the read or write mode) and configures the driver
// for it, starts an identify, a read or a write, shows the progress window
// while data travel, hands the driver's result to the main object's identity
// or read check, shows the clone error box for a failed operation and then
// calls the caller's completion, which also runs for a failure (it ignores
// results with a code).
//
// One operation at a time: a start while the driver is busy returns false
// and changes nothing. The main form is disabled from the start of an
// identify, or from the opening of the progress window, until the result has
// been handled; the progress window cannot be closed by the user.
#include "core/cmcCloneDrv.h"

#include <memory>
#include <string>

class cmcTask;
class cuiMain;
namespace plat {
class Canvas;
class Form;
class PaintBox;
} // namespace plat

class indCloneMan {
public:
    // The E8 parameter frames of the script.
    static constexpr int kModeRead = 0x30;     // 55 30 30
    static constexpr int kModeWrite = 0x31;    // 55 30 31
    static constexpr int kPreambleFe = 20;     // FE bytes before a speed frame
    static constexpr int kHighSpeedPreamble = 48;
    static constexpr int kLowSpeedPreamble = 12;
    static constexpr int kAckInterval = 128;
    static constexpr int kDefaultTimeoutMs = 1000;
    static constexpr int kWriteTimeoutMs = 2000;
    static constexpr int kReplyTimeoutMs = 5000; // parameter reply, and acknowledge of a write
    static constexpr int kMaxPasswordLength = 16;

    // The progress window.
    static constexpr int kProgressMs = 30;
    static constexpr int kSegments = 32;
    static constexpr int kBarWidth = 256;
    static constexpr int kBarHeight = 16;
    static constexpr const char* kProgressCaption = "Cloning";

    // owner: the main object whose main form (when it has one) is disabled
    // while an operation runs.
    explicit indCloneMan(cuiMain* owner);
    ~indCloneMan();
    indCloneMan(const indCloneMan&) = delete;
    indCloneMan& operator=(const indCloneMan&) = delete;

    // Forwarded to the driver.
    void SetModel(int modelCode, int subCode);
    void SetImageSize(int bytes);
    void SetExtendedAddressing(bool on);

    // The main object's checks: run on identify results and on read results
    // before the error box; they may set a result code.
    void SetIdCheck(CloneCompletion check) { m_idCheck = std::move(check); }
    void SetReadCheck(CloneCompletion check) { m_readCheck = std::move(check); }

    // Writes the command script and configures the driver for it (port,
    // base settings, preambles, flags, acknowledge points, default time-out).
    // The password frame carries the environment's clone password.
    std::string BuildScript(bool highSpeed, bool withPassword, bool write);
    std::string BuildReadScript(bool highSpeed, bool withPassword) { return BuildScript(highSpeed, withPassword, false); }
    std::string BuildIdQueryScript(bool highSpeed) { return BuildReadScript(highSpeed, false); }

    // The operations; false (and nothing changes) while the driver is busy.
    // The range list must stay valid until the completion has run; the image
    // of a write is copied when the write starts.
    bool StartIdQuery(CloneCompletion completion);
    bool StartRead(const dst_AdrRange* ranges, CloneCompletion completion);
    bool StartWrite(const cmcEeprom& image, const dst_AdrRange* ranges, CloneCompletion completion);
    bool IsBusy() const { return m_driver->IsBusy(); }
    // The driver's state (0 idle).
    int State() const { return m_driver->State(); }

    // The next read or write sends the clone password frame; the flag is
    // consumed when that operation starts.
    void SetPasswordGiven(bool given) { m_passwordGiven = given; }
    bool PasswordGiven() const { return m_passwordGiven; }

    // The clone error box of a result code (nothing for 0).
    void ShowCloneError(int code);
    // Its text.
    static std::string CloneErrorText(int code, int comPort);

    // The progress window (nothing when one is open) and its closing, which
    // enables the main form again.
    void ShowProgress();
    void CloseProgress();
    plat::Form* ProgressWindow() const { return m_progressWindow; }
    // Paints the bar of `width` pixels: 32 segments, the first `filled` of
    // them highlighted.
    void PaintProgress(plat::Canvas& canvas, int width, int height);
    static int FilledSegments(int done, int total);
    void OnProgressTick();
    // Bytes the running read or write covers.
    int Total() const { return m_total; }
    static int RangeBytes(const dst_AdrRange* ranges);

    cmcCloneDrv& Driver() { return *m_driver; }
    const cmcCloneDrv& Driver() const { return *m_driver; }

private:
    void OnDriverDone(dst_CDrv_Result* result);
    // The user cannot close the progress window; it forgets its references
    // when it goes.
    void OnProgressCloseQuery(bool& canClose);
    void OnProgressDestroy();
    CloneCompletion DriverCompletion();
    void SetMainFormEnabled(bool enabled);
    int ComPort() const;

    cuiMain* m_owner;
    plat::Form* m_progressWindow = nullptr;
    plat::PaintBox* m_progressBox = nullptr;
    CloneCompletion m_idCheck;
    CloneCompletion m_readCheck;
    CloneCompletion m_completion;
    std::unique_ptr<cmcCloneDrv> m_driver;
    int m_total = 0;
    bool m_passwordGiven = false;
    cmcTask* m_progressTask;
};
