#pragma once
// The cloning program's COM port.
//
// The port is opened by number with a settings text ("9600,N,8,1": baud rate,
// parity letter, data bits, stop bits) and configured for raw 8-bit traffic
// whose reads never wait. Writes go into a pending-output buffer that a writer
// task passes to the system in pieces of at most 1024 bytes, each only once
// the system's output queue has emptied, so that no call blocks for long.
//
// A piece that the system takes only in part is not a failure: the rest stays
// pending and goes with a later pass. The write-failed flag is set on a
// device error, or when the output makes no progress within the write
// time-out (100000 / baud ms per byte of the piece plus 3000 ms).
#include "core/cmcBuff.h"
#include "core/cmcTick.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace plat {
class SerialDevice;
}
class cmcTask;

class cmcComm {
public:
    cmcComm();
    ~cmcComm();
    cmcComm(const cmcComm&) = delete;
    cmcComm& operator=(const cmcComm&) = delete;

    // 1 on success; 0 when the port is open already or opening fails.
    int Open(int portNumber, std::string_view settings);
    // Stops the writer, closes the device, drops the pending output and
    // clears the write-failed flag. Harmless on a closed port.
    void Close();
    bool IsOpen() const { return m_device != nullptr; }

    // Queues the bytes and starts passing them to the system at once. Bytes
    // given to a closed port are dropped.
    void Write(const void* bytes, int count);
    // At most min(count, InQueue()) bytes; 0 when closed, when nothing waits
    // or when the read fails. Never waits.
    int Read(void* buffer, int count);
    // Bytes in the system's input and output queues (0 when closed or when
    // the query fails).
    int InQueue() const;
    int OutQueue() const;
    // OutQueue() plus the bytes not yet passed to the system.
    int PendingOutput() const;
    bool WriteFailed() const { return m_writeFailed; }

    // Applies the time-outs and line settings to the open port.
    bool Configure();
    // Field n of a settings text (split at ',').
    static std::optional<std::string> ExtractField(std::string_view settings, int n);

    // The writer task's callback.
    void WritePump();

    int PortNumber() const { return m_portNumber; }
    int BaudRate() const { return m_baudRate; }
    int ByteSize() const { return m_byteSize; }
    char Parity() const { return m_parity; }
    int StopBits() const { return m_stopBits; }
    // The write time-out of a piece of n bytes, in ms.
    uint32_t WriteTimeout(int n) const;

    static constexpr int kInQueueSize = 32000;
    static constexpr int kOutQueueSize = 1024;
    static constexpr int kRetryMs = 10;

private:
    void ReadSettings(std::string_view settings);
    void NoteProgress();
    void FailWrite();

    std::unique_ptr<plat::SerialDevice> m_device;
    int m_portNumber = 0;
    bool m_writeFailed = false;
    cmcBuff m_pending;
    int m_baudRate = 9600;
    // Line flags in the layout of the classic device control block: byte 1
    // binary mode and transmit-continue-on-XOFF (DTR control disabled), byte
    // 2 RTS control enabled; no parity checking, no flow control.
    uint8_t m_lineFlags1 = 0x81;
    uint8_t m_lineFlags2 = 0x10;
    int m_byteSize = 8;
    char m_parity = 'N';
    int m_stopBits = 0;
    uint32_t m_writeMultiplier = 10; // ms per byte
    uint32_t m_writeConstant = 3000; // ms
    cmcTask* m_writer;
    // Output progress: the countdown runs while bytes are pending and is
    // restarted whenever the system takes bytes or its queue shrinks.
    cmcTick m_stall;
    int m_lastOutQueue = 0;
};
