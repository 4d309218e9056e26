#pragma once
// The clone protocol driver: identifies the radio, reads its clone memory
// into an image or writes an image into it, over a cmcComm port.
//
// Nothing blocks: a start stores the completion and arms a 10 ms step task
// that works through the command script, reopens the port at the base
// settings and runs the exchange as a state machine with one running
// time-out. At the end the port is drained and closed and the completion is
// called exactly once with the operation's result, which the driver frees
// when the call returns. The completion may start the next operation, and
// it may destroy the driver.
//
// Frames to the radio are FE FE EE EF <command> ... FD, frames from it
// FE EF EE <command> ... FD (after any number of leading FE). Data frames
// carry ASCII text: the address (4 or 8 uppercase hexadecimal digits), the
// byte count, the data and a checksum that makes the decoded bytes sum to 0
// modulo 256.
#include "core/cmcBuff.h"
#include "core/cmcCloneRange.h"
#include "core/cmcComm.h"
#include "core/cmcEeprom.h"
#include "core/cmcTick.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class cmcTask;

// The result of one operation.
struct dst_CDrv_Result {
    int Mode = 0;        // 1 identify, 2 read, 3 write
    int ResultCode = 2;  // see the codes below
    int ModelCode = 0;
    int SubCode = 0;
    cmcBuff Payload;     // the identity reply's bytes after the sub code
    cmcEeprom Image;     // the received memory (read) or the image written
    cmcBuff Received;    // bit (a % 8) of byte a / 8: address a was received

    bool WasReceived(int address) const
    {
        return address >= 0 && address / 8 < Received.Length() && (Received.At(address / 8) >> (address % 8) & 1);
    }
};

// Result codes set by the driver.
enum CloneResultCode {
    kCloneOk = 0,
    kCloneOpenFailed = 2,
    kCloneEchoError = 4,
    kCloneTimeout = 5,
    kCloneBadFrame = 6,         // malformed or unexpected frame, or a refusal
    kCloneEndCountDiffers = 7,
    kCloneDataMissing = 8,
    kCloneDataOutside = 9,      // outside the ranges or the image
    kCloneWriteEndRefused = 10,
    kCloneWriteFailed = 17,
    kClonePasswordRefused = 19, // time-out after the clone password frame
};

// Called once at the end of an operation with its owner and the result.
struct CloneCompletion {
    std::function<void(void* owner, dst_CDrv_Result* result)> Function;
    void* Owner = nullptr;
    explicit operator bool() const { return static_cast<bool>(Function); }
};

class cmcCloneDrv {
public:
    enum Mode { ModeIdentify = 1, ModeRead = 2, ModeWrite = 3 };

    cmcCloneDrv();
    ~cmcCloneDrv();
    cmcCloneDrv(const cmcCloneDrv&) = delete;
    cmcCloneDrv& operator=(const cmcCloneDrv&) = delete;

    // ---- configuration, between operations ----
    void SetPort(int portNumber, std::string_view baseSettings);
    void SetModel(int modelCode, int subCode);
    void SetImageSize(int size);
    // Extra FE bytes before each command frame.
    void SetPreamble(int n);
    // Extra FE bytes before every data frame of a write.
    void SetDataPreamble(int n);
    void SetDataPreambles(int afterFirst, int first);
    void SetScript(std::string_view script);
    // Flags: any non-zero value is on.
    void SetEndFrameCount(int on);
    void SetEchoCheck(int on);
    void SetExtendedAddress(int on);
    void SetWaitWriteAck(int on);
    // Interval, phase and time-outs: 0 or less keeps the old value.
    void SetAckInterval(int interval, int phase);
    void SetDefaultTimeout(int ms);
    void SetAckTimeout(int ms);
    void SetParamReplyTimeout(int ms);
    // The script of the next operation carries the clone password frame: a
    // radio that stays silent afterwards is reported as 19. Every start
    // consumes the mark; an operation started without it never reports 19.
    void SetPasswordSent(int on);

    // ---- operations: false (and nothing changes) while one runs ----
    bool StartIdQuery(CloneCompletion completion);
    // The range list must stay valid until the completion has run.
    bool StartRead(const dst_AdrRange* ranges, CloneCompletion completion);
    // The image is copied; the ranges must stay valid until the completion.
    bool StartWrite(const cmcEeprom& image, const dst_AdrRange* ranges, CloneCompletion completion);
    bool IsBusy() const { return m_state != 0; }

    // ---- progress and state ----
    int State() const { return m_state; }
    int RunningMode() const { return m_mode; }
    int WireByteCount() const { return m_wireBytes; }
    int FrameCount() const { return m_frameCount; }
    int DataByteCount() const { return m_dataBytes; }
    int ModelCode() const { return m_modelCode; }
    int SubCode() const { return m_subCode; }
    int ImageSize() const { return m_imageSize; }
    bool PasswordSent() const { return m_passwordSent; }
    // Whether the last parameter reply passed its check (the exchange goes
    // on either way).
    bool ParamReplyAccepted() const { return m_paramReplyOk; }

    // ---- the machinery ----
    // The step task's callback: one step, then the finish of an ended
    // operation.
    void OnTick();
    void Step();
    void NewResult(int mode);
    void BusyWait(int ms);
    // Waits 100 ms, then drops what waits in the input (at most 65535
    // bytes). False when the port is closed.
    bool DrainInput();
    // The last reply frame completed by the bytes at hand (without its FD),
    // empty when none.
    cmcBuff ReadReplyFrame();
    // 1 data frame stored, 0 end frame, otherwise a result code.
    int CheckFrame(const cmcBuff& frame);
    int DecodeDataFrame(const uint8_t* text, int length);
    int CheckCoverage(const dst_CDrv_Result& result, const dst_AdrRange* ranges) const;

    static constexpr int kStepMs = 10;
    static constexpr int kReadChunk = 256;
    static constexpr int kBlockSize = 16;

private:
    bool Start(int mode, CloneCompletion completion);
    void Act(int state, int& next, bool& progress);
    void SetCode(int code);
    void TimeOut();
    uint32_t TimeoutFor(int state) const;
    bool RunScriptSegment();
    void SendCommand(uint8_t command, int p1, int p2);
    void SendParameterFrame();
    void SendEndFrame();
    void SendFrame(const cmcBuff& frame);
    int ReadIntoReceive();
    void ReceiveData(int& next, bool& progress);
    void WaitAck(int state, int& next, bool& progress);
    void SendData(int& next, bool& progress);
    bool HandOver();
    void BuildDataFrame();
    bool WriteRangesFit(const dst_AdrRange* ranges) const;
    void MarkReceived(int address, int count);
    int FrameLimit() const { return m_extendedAddress ? 526 : 522; }

    int m_modelCode = 0;
    int m_subCode = 0;
    int m_imageSize = 1;
    int m_portNumber = 1;
    std::string m_baseSettings = "9600,n,8,1";
    int m_commandPreamble = 0;
    int m_dataPreamble = 0;
    int m_firstDataPreamble = 0;
    int m_mode = 0;
    bool m_endFrameCount = true;
    bool m_echoCheck = false;
    bool m_extendedAddress = false;
    bool m_waitWriteAck = false;
    int m_ackInterval = 0;
    int m_ackPhase = 0;
    cmcComm m_port;
    cmcBuff m_receive;
    cmcBuff m_frame;
    cmcBuff m_sent;
    uint8_t m_readBuffer[kReadChunk] = {};
    std::string m_script;
    size_t m_scriptPos = 0;
    int m_wireBytes = 0;
    int m_frameCount = 0;
    int m_dataBytes = 0;
    const dst_AdrRange* m_ranges = nullptr; // the operation's list
    const dst_AdrRange* m_range = nullptr;  // the write's current range
    int m_writeAddress = 0;
    std::unique_ptr<dst_CDrv_Result> m_result;
    CloneCompletion m_completion;
    int m_state = 0;
    cmcTick m_timeout;
    bool m_passwordSent = false;
    bool m_passwordNext = false;
    // A failure code was set by the operation; a later time-out keeps it.
    bool m_failureSet = false;
    bool m_paramReplyOk = false;
    int m_defaultTimeout = 1000;
    int m_scriptTimeout = 1000;
    int m_writeEndTimeout = 2000;
    int m_identityTimeout = 1000;
    int m_ackTimeout = 1000;
    int m_paramTimeout = 1000;
    cmcTask* m_stepTask;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
