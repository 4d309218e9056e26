#pragma once
// The flash loader's COM port: a raw 8-bit line (no parity, one stop bit,
// DTR and RTS off) whose reads never wait, and whose output goes through a
// pending buffer that a writer task hands to the system in pieces of at most
// 1024 bytes, so that no call blocks the user interface for long.
#include "core/cmcBuff.h"

#include <cstdint>
#include <memory>
#include <string>

class cmcTask;

namespace plat {
class SerialDevice;
}

namespace fl {

class cmcComm {
public:
    cmcComm();
    ~cmcComm();
    cmcComm(const cmcComm&) = delete;
    cmcComm& operator=(const cmcComm&) = delete;

    // Opens COM port n at the baud rate given as decimal text ("38400").
    // 1 on success; 0 when the port is open already or on any failure (the
    // port is then closed).
    int Open(int portNumber, const std::string& baudText);
    // Applies the line settings to the open port; a failing attempt is
    // repeated up to 10 more times. True when the last attempt succeeded.
    bool Configure();
    // Stores the baud rate and reconfigures the open port without closing it;
    // false when the port is closed or the configuration fails.
    bool SetBaud(int baud);
    // Stops the writer, closes the port, drops the pending output and clears
    // the write-failed flag. Harmless on a closed port.
    void Close();
    bool IsOpen() const { return m_device != nullptr; }

    // Queues bytes for sending and starts handing them over; bytes given to a
    // closed port are dropped.
    void Write(const uint8_t* bytes, int count);
    void Write(const cmcBuff& bytes) { Write(bytes.Data(), bytes.Length()); }
    // Reads at most min(count, InQueue()) bytes without waiting; 0 when the
    // port is closed, nothing waits or the read fails.
    int Read(uint8_t* buffer, int count);
    // Bytes waiting in the system's input and output queues; 0 when closed or
    // when the query fails.
    int InQueue();
    int OutQueue();
    // OutQueue() plus the bytes not yet handed to the system.
    int PendingOutput();
    // The system refused a write (a device error).
    bool WriteFailed() const { return m_writeFailed != 0; }

    // The writer task's work: hands the next piece of pending output to the
    // system once its output queue is empty, and retries every 10 ms while
    // output remains. A piece the system takes only in part is not a failure:
    // the rest stays pending.
    void WritePump();

    int PortNumber() const { return m_portNumber; }
    int Baud() const { return m_baud; }

    static constexpr int kInputQueueSize = 32000;
    static constexpr int kOutputQueueSize = 1024;

private:
    std::unique_ptr<plat::SerialDevice> m_device;
    int m_portNumber = 0;
    uint8_t m_writeFailed = 0;
    cmcBuff m_pending;
    int m_baud = 9600;
    cmcTask* m_writer; // owned; disposed, since it may be running
};

} // namespace fl
