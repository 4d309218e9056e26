#include "core/cmcComm.h"

#include "core/TextFunctions.h"
#include "core/cmcTask.h"
#include "platform/base/SerialDevice.h"

#include <algorithm>

namespace {

// The leading decimal number of a field (blanks before it allowed); 0 when
// the field has none.
int LeadingNumber(const std::string& field)
{
    size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
    long long v = 0;
    bool any = false;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9' && v < 100000000) {
        v = v * 10 + (field[i] - '0');
        ++i;
        any = true;
    }
    return any ? static_cast<int>(v) : 0;
}

std::string Trimmed(std::string text)
{
    TrimBlanks(text);
    return text;
}

} // namespace

cmcComm::cmcComm()
{
    m_writer = new cmcTask;
    m_writer->SetCallback([this](void*, cmcTask*) { WritePump(); }, nullptr);
}

cmcComm::~cmcComm()
{
    Close();
    m_writer->Dispose();
}

std::optional<std::string> cmcComm::ExtractField(std::string_view settings, int n)
{
    return ::ExtractField(settings, ',', n);
}

void cmcComm::ReadSettings(std::string_view settings)
{
    if (auto f = ExtractField(settings, 0)) m_baudRate = LeadingNumber(*f);
    if (auto f = ExtractField(settings, 1)) {
        std::string p = Trimmed(*f);
        char c = p.empty() ? 'N' : p[0];
        // None unless the letter asks for even or odd parity.
        m_parity = (c == 'E' || c == 'e') ? 'E' : (c == 'O' || c == 'o') ? 'O' : 'N';
    }
    if (auto f = ExtractField(settings, 2)) {
        int bits = LeadingNumber(*f);
        m_byteSize = bits > 7 ? 8 : bits <= 4 ? 4 : bits;
    }
    if (auto f = ExtractField(settings, 3)) {
        std::string s = Trimmed(*f);
        m_stopBits = s == "1.5" ? 1 : s == "2" ? 2 : 0;
    }
}

int cmcComm::Open(int portNumber, std::string_view settings)
{
    if (IsOpen()) return 0;
    m_portNumber = portNumber;
    m_writeFailed = false;
    ReadSettings(settings);
    std::string error;
    m_device = plat::SerialPorts().Open(portNumber, &error);
    if (!m_device) return 0;
    if (!m_device->Purge() || !Configure()) {
        Close();
        return 0;
    }
    return 1;
}

bool cmcComm::Configure()
{
    if (!IsOpen() || m_baudRate <= 0) return false;
    m_writeMultiplier = static_cast<uint32_t>(100000 / m_baudRate);
    m_writeConstant = 3000;
    plat::SerialSettings s;
    s.baud = m_baudRate;
    s.dataBits = m_byteSize;
    s.parity = m_parity;
    s.stopBits = m_stopBits;
    s.dtr = ((m_lineFlags1 >> 4) & 3) == 1;
    s.rts = ((m_lineFlags2 >> 4) & 3) == 1;
    return m_device->Configure(s);
}

void cmcComm::Close()
{
    m_writer->Schedule(-1);
    m_device.reset();
    m_pending.Clear();
    m_writeFailed = false;
    m_lastOutQueue = 0;
}

uint32_t cmcComm::WriteTimeout(int n) const
{
    return m_writeMultiplier * static_cast<uint32_t>(std::max(n, 0)) + m_writeConstant;
}

void cmcComm::Write(const void* bytes, int count)
{
    if (!IsOpen() || count <= 0) return;
    m_writer->Schedule(-1);
    bool idle = m_pending.Length() == 0;
    m_pending.AppendBytes(bytes, count);
    if (idle) NoteProgress();
    m_writer->Schedule(kRetryMs);
    WritePump();
}

int cmcComm::Read(void* buffer, int count)
{
    if (!IsOpen() || count <= 0) return 0;
    int n = std::min(count, InQueue());
    if (n <= 0) return 0;
    int got = m_device->Read(buffer, n);
    return got > 0 ? got : 0;
}

int cmcComm::InQueue() const
{
    if (!IsOpen()) return 0;
    return std::max(m_device->InQueue(), 0);
}

int cmcComm::OutQueue() const
{
    if (!IsOpen()) return 0;
    return std::max(m_device->OutQueue(), 0);
}

int cmcComm::PendingOutput() const { return OutQueue() + m_pending.Length(); }

void cmcComm::NoteProgress()
{
    m_stall.Start(WriteTimeout(std::min(m_pending.Length(), kOutQueueSize)));
}

void cmcComm::FailWrite()
{
    m_writeFailed = true;
    m_writer->Schedule(-1);
}

void cmcComm::WritePump()
{
    if (!IsOpen() || m_pending.Length() == 0) {
        m_writer->Schedule(-1);
        return;
    }
    int queued = OutQueue();
    if (queued > 0) {
        // The system still sends the previous piece; a shrinking queue is
        // progress.
        if (queued < m_lastOutQueue) NoteProgress();
        m_lastOutQueue = queued;
        if (m_stall.Remaining() == 0) {
            FailWrite();
            return;
        }
        m_writer->Schedule(kRetryMs);
        return;
    }
    m_lastOutQueue = 0;
    int piece = std::min(m_pending.Length(), kOutQueueSize);
    int written = m_device->Write(m_pending.Data(), piece);
    if (written < 0) {
        FailWrite();
        return;
    }
    if (written > 0) {
        int rest = m_pending.Length() - written;
        m_pending.AssignBytes(m_pending.Data() + written, rest);
        NoteProgress();
    } else if (m_stall.Remaining() == 0) {
        FailWrite();
        return;
    }
    if (m_pending.Length() > 0) {
        m_lastOutQueue = OutQueue();
        m_writer->Schedule(kRetryMs);
    } else {
        m_pending.Clear();
        m_writer->Schedule(-1);
    }
}
