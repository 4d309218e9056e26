#include "flashloader/cmcComm.h"

#include "core/cmcTask.h"
#include "platform/base/SerialDevice.h"

#include <algorithm>
#include <charconv>

namespace fl {

cmcComm::cmcComm() : m_writer(new cmcTask)
{
    m_writer->SetCallback([this](void*, cmcTask*) { WritePump(); }, nullptr);
}

cmcComm::~cmcComm()
{
    Close();
    m_writer->Dispose();
}

int cmcComm::Open(int portNumber, const std::string& baudText)
{
    if (IsOpen()) return 0;
    m_portNumber = portNumber;
    m_writeFailed = 0;
    // The text is a decimal number; anything else leaves a rate that no line
    // accepts.
    int baud = 0;
    const char* first = baudText.data();
    while (first != baudText.data() + baudText.size() && *first == ' ') ++first;
    auto [end, ec] = std::from_chars(first, baudText.data() + baudText.size(), baud);
    (void)end;
    m_baud = ec == std::errc() ? baud : 0;

    m_device = plat::SerialPorts().Open(portNumber, nullptr);
    if (!m_device) return 0;
    if (!m_device->Purge() || !Configure()) {
        Close();
        return 0;
    }
    return 1;
}

bool cmcComm::Configure()
{
    if (!IsOpen() || m_baud <= 0) return false;
    plat::SerialSettings settings;
    settings.baud = m_baud;
    settings.dataBits = 8;
    settings.parity = 'N';
    settings.stopBits = 0;
    settings.dtr = false;
    settings.rts = false;
    bool ok = m_device->Configure(settings);
    for (int retry = 0; !ok && retry < 10; ++retry) ok = m_device->Configure(settings);
    return ok;
}

bool cmcComm::SetBaud(int baud)
{
    m_baud = baud;
    if (!IsOpen()) return false;
    return Configure();
}

void cmcComm::Close()
{
    m_writer->Schedule(-1);
    m_device.reset();
    m_pending.Clear();
    m_writeFailed = 0;
}

void cmcComm::Write(const uint8_t* bytes, int count)
{
    if (!IsOpen() || count <= 0) return;
    m_writer->Schedule(-1);
    m_pending.AppendBytes(bytes, count);
    m_writer->Schedule(0);
    WritePump();
}

int cmcComm::Read(uint8_t* buffer, int count)
{
    if (!IsOpen() || count <= 0) return 0;
    int n = std::min(count, InQueue());
    if (n <= 0) return 0;
    int got = m_device->Read(buffer, n);
    return got > 0 ? got : 0;
}

int cmcComm::InQueue()
{
    if (!IsOpen()) return 0;
    int n = m_device->InQueue();
    return n > 0 ? n : 0;
}

int cmcComm::OutQueue()
{
    if (!IsOpen()) return 0;
    int n = m_device->OutQueue();
    return n > 0 ? n : 0;
}

int cmcComm::PendingOutput() { return OutQueue() + m_pending.Length(); }

void cmcComm::WritePump()
{
    if (!IsOpen()) {
        m_writer->Schedule(-1);
        return;
    }
    if (m_pending.Length() == 0) {
        m_writer->Schedule(-1);
        return;
    }
    if (OutQueue() > 0) {
        m_writer->Schedule(10);
        return;
    }
    int piece = std::min(m_pending.Length(), kOutputQueueSize);
    int written = m_device->Write(m_pending.Data(), piece);
    if (written < 0) {
        // A device error: the bytes stay pending, the driver gives up.
        m_writeFailed = 1;
        m_writer->Schedule(-1);
        return;
    }
    if (written < m_pending.Length()) {
        for (int i = 0; i < written; ++i) m_pending.PopFront();
        m_writer->Schedule(10);
        return;
    }
    m_pending.Clear();
    m_writer->Schedule(-1);
}

} // namespace fl
