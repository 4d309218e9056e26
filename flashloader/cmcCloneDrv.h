#pragma once
// The flash loader's protocol driver.
//
// It never blocks: an operation is started, a task steps a state machine
// every 10 ms, one countdown (re-armed by every tick that makes progress)
// bounds the waits for the radio, and at the end the completion receives the
// result. Five operations:
//   1 identity query   script, then E0 and the E1 reply
//   2 password         the script alone (it carries the password frame)
//   3 boot entry       script, the two boot frames, the wake bytes until the
//                      boot loader answers 55, then the byte handshake;
//                      the port stays open for the next operation
//   4 pre-process      the block's length (echoed), then the block in chunks
//                      paced 250 ms apart, answered with AA; port stays open
//   5 ROM write        escaped 128-byte address records, each acknowledged
//                      with FB (FA refuses), then the two sum frames
#include "core/cmcBuff.h"
#include "flashloader/cmcComm.h"
#include "flashloader/cmcTick.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class cmcTask;

namespace fl {

// Size of the radio's flash memory and of the firmware image.
constexpr uint32_t kFlashImageSize = 0x80000;

// Operations.
enum : uint8_t {
    kOpIdQuery = 1,
    kOpPassword = 2,
    kOpBootEntry = 3,
    kOpPreProcess = 4,
    kOpRomWrite = 5,
};

// Result codes.
enum : uint8_t {
    kResultOk = 0,
    kResultOpenFailed = 2,     // a speed change of the script could not open the port
    kResultBaudFailed = 4,     // the speed change after the script failed
    kResultTimeout = 5,        // no answer
    kResultRefused = 6,        // a malformed identity reply, or FA
    kResultBadIdentity = 11,   // set by the identity check
    kResultWriteFailed = 17,   // the port refused a write
    kResultCancelled = 18,
};

// The result of one operation; the completion may read it during its call.
struct dst_CDrv_Result {
    uint8_t Operation = 0;
    uint8_t Code = kResultOpenFailed; // until the operation sets another
    int ModelCode = 0;
    int SubCode = 0;
    cmcBuff Payload; // the identity reply's bytes after the sub code
};

// Called once at the end of every started operation (never when the driver
// is destroyed first). Cleared before the call, so it may start the next one.
using CloneCompletion = std::function<void(dst_CDrv_Result& result)>;

// What the pre-process upload and the ROM write work on.
struct dst_FlashParam {
    int Total = 0;             // pre-process: bytes; ROM write: 128-byte blocks
    int ChunkSize = 0;         // pre-process: bytes per chunk
    int ImageSum = 0;          // ROM write: 16-bit sum of the image
    uint32_t FirstAddress = 0; // ROM write: address of the first record
    uint32_t EndAddress = 0;   // ROM write: address of the last data byte
    const uint8_t* Data = nullptr; // pre-process: the block; ROM write: the
                                   // image of kFlashImageSize bytes
};

class cmcCloneDrv {
public:
    cmcCloneDrv();
    // Stops the step task; a running operation ends without its completion.
    ~cmcCloneDrv();
    cmcCloneDrv(const cmcCloneDrv&) = delete;
    cmcCloneDrv& operator=(const cmcCloneDrv&) = delete;

    // Port and the baud rate (decimal text) that follows the script.
    void SetPort(int portNumber, const std::string& baudText);
    void SetModel(int firstModel, int secondModel, int subCode);
    // Command script: "(baud)" reopens the port at that speed, everything
    // else is hexadecimal bytes to send.
    void SetScript(const std::string& script);
    // A value of 0 or less keeps the old one.
    void SetDefaultTimeout(int ms);
    void SetScriptTimeout(int ms);

    // Each returns false and changes nothing while an operation runs; the
    // pre-process upload also refuses a chunk size of 0 or less.
    bool StartIdQuery(CloneCompletion completion);
    bool StartPassword(CloneCompletion completion);
    bool StartBootEntry(CloneCompletion completion);
    bool StartPreProcess(const dst_FlashParam& param, CloneCompletion completion);
    bool StartRomWrite(const dst_FlashParam& param, CloneCompletion completion);

    bool IsBusy() const { return m_state != 0; }
    // The next tick ends the running operation with code 18.
    void Cancel() { m_cancel = true; }

    // Waits 200 ms (the radio settles), then drops what waits in the input,
    // at most 65535 bytes. False when the port is closed.
    bool DrainInput();
    // Reads what waits and returns the last reply frame completed by it
    // (FE starts a frame, FD ends it and is not kept); empty when none was
    // completed. A frame that grows past 521 bytes gives the frame 00.
    cmcBuff ReadReplyFrame();

    // One tick of the state machine, and the step task's callback.
    void Step();
    void OnTick();

    // Observers.
    int PortNumber() const { return m_portNumber; }
    const std::string& BaudText() const { return m_baudText; }
    const std::string& Script() const { return m_script; }
    int FirstModel() const { return m_firstModel; }
    int SecondModel() const { return m_secondModel; }
    int SubCode() const { return m_subCode; }
    int DefaultTimeout() const { return m_replyTimeout; }
    int ScriptTimeout() const { return m_scriptTimeout; }
    uint8_t State() const { return m_state; }
    uint8_t Operation() const { return m_operation; }
    int ProgressDone() const { return m_done; }
    int ProgressTotal() const { return m_total; }
    int WireByteCount() const { return m_wireBytes; }
    cmcComm& Port() { return m_port; }

private:
    bool Start(uint8_t operation, uint8_t firstState, CloneCompletion completion);
    void NewResult();
    // Reads what waits, as far as the receive buffer has room for one read.
    void ReadInput();
    int TakeByte() { return m_receive.PopFront(); }
    // A wait for one answer byte: reads, then drops every byte before the
    // first awaited one (as many as a byte-a-tick wait would drop in as many
    // ticks, only without the backlog). Returns that byte, taken, or -1 when
    // none came; the bytes after it stay for the states that follow.
    int TakeAwaited(int awaited, int other = -1);
    void SendFrame();
    void SendBootFrame(int model);
    void SendByte(uint8_t b);
    void SendSumFrame(uint8_t kind);
    uint8_t SendNextRecord();
    uint8_t ImageByte(uint64_t address) const;
    void AppendEscaped(uint8_t b);

    int m_firstModel = 0;
    int m_secondModel = 0;
    int m_subCode = 0;
    int m_portNumber = 1;
    std::string m_baudText = "9600";
    uint8_t m_operation = 0;
    cmcComm m_port;
    cmcBuff m_receive;
    cmcBuff m_frame;
    uint8_t m_readBuffer[256] = {};
    std::string m_script;
    int m_wireBytes = 0;
    int m_tickCount = 0;
    int m_total = 0;
    int m_chunk = 0;
    int m_done = 0;
    int m_imageSum = 0;
    uint32_t m_address = 0;
    uint32_t m_endAddress = 0;
    const uint8_t* m_data = nullptr;
    std::unique_ptr<dst_CDrv_Result> m_result;
    CloneCompletion m_completion;
    uint8_t m_state = 0;
    cmcTick m_timeout;
    bool m_cancel = false;
    bool m_sumAccepted = false; // the first sum frame was acknowledged
    int m_replyTimeout = 1000;
    int m_scriptTimeout = 1000;
    cmcTask* m_task; // owned; disposed, since it may be running
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace fl
