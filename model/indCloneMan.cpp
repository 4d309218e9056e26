#include "model/indCloneMan.h"

#include "core/CheckedFormat.h"
#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "core/cmcTask.h"
#include "model/indEnviron.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiMain.h"

#include <string_view>
#include <vector>

namespace {

// E8 parameter values of the script.
constexpr uint8_t kParamSpeed = 0x01;
constexpr uint8_t kSpeedTo9600[] = {0x32, 0x37};  // "27", sent at 38400
constexpr uint8_t kSpeedTo38400[] = {0x30, 0x39}; // "09", sent at 9600
constexpr uint8_t kParamPassword = 0x99;
constexpr uint8_t kParamMode = 0x55;

constexpr const char* kSettings38400 = "38400,N,8,1";
constexpr const char* kSettings9600 = "9600,N,8,1";

// Lines of "GI_Mess_CloneErr_Check" shown below the head line of each code.
std::vector<int> CheckLinesOf(int code)
{
    switch (code) {
    case kCloneOpenFailed: return {0, 1, 2, 3};
    case kCloneWriteEndRefused: return {0, 2, 3};
    case 11:
    case 12: return {0, 1, 2, 3, 4, 5};
    case 13:
    case 18: return {6, 7};
    case 14: return {0, 4, 5};
    case 16: return {};
    case kClonePasswordRefused: return {8};
    default: return {0, 1, 2, 3};
    }
}

// Bytes of a script frame to the radio: FE FE EE EF E8, the model code, the
// zero sub code and the parameter bytes, FD; with a preamble of FE bytes in
// place of the first FE FE.
class ScriptFrame {
public:
    ScriptFrame(int modelCode, int preambleFe)
    {
        if (preambleFe > 0)
            m_bytes.append(static_cast<size_t>(preambleFe), '\xFE');
        else
            m_bytes += "\xFE\xFE";
        m_bytes += "\xEE\xEF\xE8";
        Byte(modelCode >> 8);
        Byte(modelCode);
        Byte(0);
        Byte(0);
    }
    ScriptFrame& Byte(int b)
    {
        m_bytes.push_back(static_cast<char>(b & 0xFF));
        return *this;
    }
    ScriptFrame& Bytes(std::string_view bytes)
    {
        m_bytes += bytes;
        return *this;
    }
    std::string Hex() const { return StringToHex(m_bytes + "\xFD"); }

private:
    std::string m_bytes;
};

std::string_view AsText(const uint8_t* bytes, size_t n) { return {reinterpret_cast<const char*>(bytes), n}; }

// A settings segment of the script: "(9600,N,8,1)".
std::string Settings(const char* settings) { return std::string(1, '(').append(settings).append(1, ')'); }

} // namespace

indCloneMan::indCloneMan(cuiMain* owner) : m_owner(owner), m_driver(std::make_unique<cmcCloneDrv>())
{
    m_progressTask = new cmcTask;
    m_progressTask->SetCallback([this](void*, cmcTask*) { OnProgressTick(); }, nullptr);
}

indCloneMan::~indCloneMan()
{
    m_progressTask->Dispose();
    m_driver.reset();
    if (m_progressWindow != nullptr) {
        plat::Form* window = m_progressWindow;
        m_progressWindow = nullptr;
        m_progressBox = nullptr;
        window->OnDestroy = nullptr;
        window->Hide();
        delete window;
    }
}

void indCloneMan::SetModel(int modelCode, int subCode) { m_driver->SetModel(modelCode, subCode); }
void indCloneMan::SetImageSize(int bytes) { m_driver->SetImageSize(bytes); }
void indCloneMan::SetExtendedAddressing(bool on) { m_driver->SetExtendedAddress(on ? 1 : 0); }

int indCloneMan::ComPort() const { return g_Environ != nullptr ? g_Environ->ComPort : 1; }

std::string indCloneMan::BuildScript(bool highSpeed, bool withPassword, bool write)
{
    const int model = m_driver->ModelCode() & 0xFFFF;
    std::string script;
    // A radio listening at 38400 baud is asked to go to 9600 ...
    script += Settings(kSettings38400);
    script += ScriptFrame(model, kPreambleFe).Byte(kParamSpeed).Bytes(AsText(kSpeedTo9600, 2)).Hex();
    script += Settings(kSettings9600);
    if (withPassword) {
        const std::string password = g_Environ != nullptr ? g_Environ->ClonePassword : std::string();
        unsigned sum = 0;
        for (char c : password) sum += static_cast<uint8_t>(c);
        // The check byte makes the password's bytes and itself add up to 0.
        script += ScriptFrame(model, 0)
                      .Byte(kParamPassword)
                      .Byte(static_cast<int>(password.size()))
                      .Byte(static_cast<int>((256 - sum % 256) % 256))
                      .Bytes(password)
                      .Hex();
    }
    script += ScriptFrame(model, 0).Byte(kParamMode).Byte(0x30).Byte(write ? kModeWrite : kModeRead).Hex();
    // ... and the transfer runs at the speed the last handshake asks for.
    if (highSpeed) {
        script += Settings(kSettings9600);
        script += ScriptFrame(model, kPreambleFe).Byte(kParamSpeed).Bytes(AsText(kSpeedTo38400, 2)).Hex();
        m_driver->SetPort(ComPort(), kSettings38400);
        m_driver->SetPreamble(kHighSpeedPreamble);
    } else {
        script += Settings(kSettings38400);
        script += ScriptFrame(model, kPreambleFe).Byte(kParamSpeed).Bytes(AsText(kSpeedTo9600, 2)).Hex();
        m_driver->SetPort(ComPort(), kSettings9600);
        m_driver->SetPreamble(kLowSpeedPreamble);
    }
    m_driver->SetDataPreamble(0);
    m_driver->SetScript(script);
    m_driver->SetEchoCheck(0);
    m_driver->SetEndFrameCount(1);
    m_driver->SetWaitWriteAck(1);
    m_driver->SetAckInterval(kAckInterval, 0);
    m_driver->SetDefaultTimeout(kDefaultTimeoutMs);
    return script;
}

CloneCompletion indCloneMan::DriverCompletion()
{
    return {[this](void*, dst_CDrv_Result* result) { OnDriverDone(result); }, this};
}

bool indCloneMan::StartIdQuery(CloneCompletion completion)
{
    if (IsBusy()) return false;
    // An identify always runs at 9600 baud, without the password.
    BuildIdQueryScript(false);
    m_driver->SetPasswordSent(0);
    m_completion = std::move(completion);
    SetMainFormEnabled(false);
    m_driver->StartIdQuery(DriverCompletion());
    return true;
}

bool indCloneMan::StartRead(const dst_AdrRange* ranges, CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_total = RangeBytes(ranges);
    const bool highSpeed = g_Environ != nullptr && g_Environ->ComSpeedHigh != 0;
    BuildReadScript(highSpeed, m_passwordGiven);
    m_driver->SetPasswordSent(m_passwordGiven ? 1 : 0);
    m_passwordGiven = false;
    m_driver->SetParamReplyTimeout(kReplyTimeoutMs);
    m_completion = std::move(completion);
    m_driver->StartRead(ranges, DriverCompletion());
    ShowProgress();
    m_progressTask->Schedule(kProgressMs);
    return true;
}

bool indCloneMan::StartWrite(const cmcEeprom& image, const dst_AdrRange* ranges, CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_total = RangeBytes(ranges);
    const bool highSpeed = g_Environ != nullptr && g_Environ->ComSpeedHigh != 0;
    BuildScript(highSpeed, m_passwordGiven, true);
    m_driver->SetPasswordSent(m_passwordGiven ? 1 : 0);
    m_passwordGiven = false;
    m_driver->SetAckTimeout(kReplyTimeoutMs);
    m_driver->SetParamReplyTimeout(kReplyTimeoutMs);
    m_driver->SetDefaultTimeout(kWriteTimeoutMs);
    m_completion = std::move(completion);
    m_driver->StartWrite(image, ranges, DriverCompletion());
    ShowProgress();
    m_progressTask->Schedule(kProgressMs);
    return true;
}

int indCloneMan::RangeBytes(const dst_AdrRange* ranges)
{
    int64_t total = 0;
    for (const dst_AdrRange* r = ranges; r != nullptr && !IsRangeEnd(*r); ++r) total += int64_t(r->Last) - r->First + 1;
    return total > INT32_MAX ? INT32_MAX : static_cast<int>(total);
}

void indCloneMan::OnDriverDone(dst_CDrv_Result* result)
{
    if (result->Mode == cmcCloneDrv::ModeIdentify) {
        if (m_idCheck)
            m_idCheck.Function(m_idCheck.Owner, result);
        else
            result->ResultCode = 11;
    } else if (result->Mode == cmcCloneDrv::ModeRead) {
        if (m_readCheck)
            m_readCheck.Function(m_readCheck.Owner, result);
        else
            result->ResultCode = kCloneDataMissing;
    }
    ShowCloneError(result->ResultCode);
    CloseProgress();
    if (m_completion) {
        CloneCompletion completion = std::move(m_completion);
        m_completion = {};
        completion.Function(completion.Owner, result);
    }
}

// ---- the clone error box ----

std::string indCloneMan::CloneErrorText(int code, int comPort)
{
    std::string text = g_GTex.GetText("GI_Mess_CloneErr_Head", code);
    if (code == kCloneOpenFailed) text = CheckedFormat(text, {comPort});
    text += "\n\n";
    bool first = true;
    for (int line : CheckLinesOf(code)) {
        if (!first) text += "\n";
        text += g_GTex.GetText("GI_Mess_CloneErr_Check", line);
        first = false;
    }
    if (code == kClonePasswordRefused) text += "\n";
    return text;
}

void indCloneMan::ShowCloneError(int code)
{
    if (code == kCloneOk) return;
    plat::MessageBox(CloneErrorText(code, ComPort()), g_GTex.GetText("GI_Sys_AppTitle", 0),
                     plat::MB_OK | plat::MB_ICONERROR);
}

// ---- the progress window ----

void indCloneMan::SetMainFormEnabled(bool enabled)
{
    plat::Form* form = m_owner != nullptr ? m_owner->MainForm() : nullptr;
    if (form == nullptr) return;
    form->SetEnabled(enabled);
    if (enabled && form->Visible()) form->SetFocus();
}

void indCloneMan::ShowProgress()
{
    if (m_progressWindow != nullptr) return;
    auto* window = new plat::Form();
    window->SetBorderStyle(plat::bsToolWindow);
    window->SetBorderIcons(0);
    window->SetCaption(kProgressCaption);
    window->OnCloseQuery = [this](bool& canClose) { OnProgressCloseQuery(canClose); };
    window->OnDestroy = [this] { OnProgressDestroy(); };
    auto* panel = new plat::Panel(*window);
    panel->SetBevelOuter(plat::bvLowered);
    panel->SetBevelWidth(1);
    const int frame = panel->BevelWidth();
    panel->SetBounds(16, 8, kBarWidth + 2 * frame, kBarHeight + 2 * frame);
    window->SetClientSize(panel->Width() + 32, panel->Height() + 32);
    auto* box = new plat::PaintBox(*panel);
    box->SetAlign(plat::alClient);
    box->OnPaint = [this, box](plat::Canvas& canvas) { PaintProgress(canvas, box->Width(), box->Height()); };
    m_progressWindow = window;
    m_progressBox = box;
    plat::Form* mainForm = m_owner != nullptr ? m_owner->MainForm() : nullptr;
    const int clientWidth = window->ClientWidth(), clientHeight = window->ClientHeight();
    if (mainForm != nullptr)
        CenterControl(*window, *mainForm);
    else
        KeepInWorkArea(*window);
    // Moving a hidden form makes its size an outer size; the client area
    // must keep its own.
    window->SetClientSize(clientWidth, clientHeight);
    window->Show();
    SetMainFormEnabled(false);
}

void indCloneMan::OnProgressCloseQuery(bool& canClose) { canClose = false; }

void indCloneMan::OnProgressDestroy()
{
    m_progressWindow = nullptr;
    m_progressBox = nullptr;
}

void indCloneMan::CloseProgress()
{
    SetMainFormEnabled(true);
    if (m_progressWindow == nullptr) return;
    plat::Form* window = m_progressWindow;
    window->Hide();
    delete window; // its OnDestroy forgets the references
}

int indCloneMan::FilledSegments(int done, int total)
{
    if (total <= 0) return 0;
    return static_cast<int>(int64_t(done) * (kSegments + 1) / total);
}

void indCloneMan::PaintProgress(plat::Canvas& canvas, int width, int height)
{
    const int segment = (width + 1) / kSegments;
    const int filled = FilledSegments(m_driver->DataByteCount(), m_total);
    for (int i = 0; i < kSegments; ++i) {
        const int left = i * segment;
        canvas.GetBrush() = {i < filled ? plat::clHighlight : plat::clWindow, plat::bsSolid};
        canvas.FillRect({left, 0, left + segment - 1, height});
        canvas.GetBrush() = {plat::clWindow, plat::bsSolid};
        canvas.FillRect({left + segment - 1, 0, left + segment, height});
    }
}

void indCloneMan::OnProgressTick()
{
    if (m_progressBox != nullptr) m_progressBox->Invalidate();
    if (!IsBusy()) m_progressTask->Schedule(-1);
}
