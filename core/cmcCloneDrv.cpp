#include "core/cmcCloneDrv.h"

#include "core/cmcTask.h"
#include "platform/base/Clock.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t kCompany[9] = {0x56, 0x6F, 0x73, 0x6B, 0x20, 0x49, 0x6E, 0x63, 0x2E};
constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value of an uppercase hexadecimal digit; -1 for anything else.
int UpperHexValue(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendHex(cmcBuff& buff, uint8_t b)
{
    buff.AppendChar(kHexDigits[b >> 4]);
    buff.AppendChar(kHexDigits[b & 15]);
}

} // namespace

cmcCloneDrv::cmcCloneDrv()
{
    m_stepTask = new cmcTask;
    m_stepTask->SetCallback([this](void*, cmcTask*) { OnTick(); }, nullptr);
}

cmcCloneDrv::~cmcCloneDrv()
{
    // A destructor run from inside the completion must leave OnTick nothing
    // to touch; the step task goes once its callback has returned.
    *m_alive = false;
    m_stepTask->Dispose();
}

// ---- configuration ----

void cmcCloneDrv::SetPort(int portNumber, std::string_view baseSettings)
{
    m_portNumber = portNumber;
    m_baseSettings = baseSettings;
}

void cmcCloneDrv::SetModel(int modelCode, int subCode)
{
    m_modelCode = modelCode;
    m_subCode = subCode;
}

void cmcCloneDrv::SetImageSize(int size) { m_imageSize = size; }
void cmcCloneDrv::SetPreamble(int n) { m_commandPreamble = std::max(n, 0); }
void cmcCloneDrv::SetDataPreamble(int n) { SetDataPreambles(n, n); }

void cmcCloneDrv::SetDataPreambles(int afterFirst, int first)
{
    m_dataPreamble = std::max(afterFirst, 0);
    m_firstDataPreamble = std::max(first, 0);
}

void cmcCloneDrv::SetScript(std::string_view script) { m_script = script; }
void cmcCloneDrv::SetEndFrameCount(int on) { m_endFrameCount = on != 0; }
void cmcCloneDrv::SetEchoCheck(int on) { m_echoCheck = on != 0; }
void cmcCloneDrv::SetExtendedAddress(int on) { m_extendedAddress = on != 0; }
void cmcCloneDrv::SetWaitWriteAck(int on) { m_waitWriteAck = on != 0; }

void cmcCloneDrv::SetAckInterval(int interval, int phase)
{
    if (interval > 0) m_ackInterval = interval;
    if (phase > 0) m_ackPhase = phase;
}

void cmcCloneDrv::SetDefaultTimeout(int ms)
{
    if (ms > 0) m_defaultTimeout = ms;
}

void cmcCloneDrv::SetAckTimeout(int ms)
{
    if (ms > 0) m_ackTimeout = ms;
}

void cmcCloneDrv::SetParamReplyTimeout(int ms)
{
    if (ms > 0) m_paramTimeout = ms;
}

void cmcCloneDrv::SetPasswordSent(int on) { m_passwordNext = on != 0; }

// ---- operations ----

bool cmcCloneDrv::Start(int mode, CloneCompletion completion)
{
    m_completion = std::move(completion);
    m_frameCount = 0;
    m_dataBytes = 0;
    m_mode = mode;
    m_state = 2;
    NewResult(mode);
    m_passwordSent = m_passwordNext;
    m_passwordNext = false;
    m_failureSet = false;
    m_paramReplyOk = false;
    m_timeout.Reset();
    m_stepTask->Schedule(kStepMs);
    return true;
}

bool cmcCloneDrv::StartIdQuery(CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_ranges = m_range = nullptr;
    return Start(ModeIdentify, std::move(completion));
}

bool cmcCloneDrv::StartRead(const dst_AdrRange* ranges, CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_ranges = m_range = ranges;
    return Start(ModeRead, std::move(completion));
}

bool cmcCloneDrv::StartWrite(const cmcEeprom& image, const dst_AdrRange* ranges, CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_ranges = m_range = ranges;
    m_writeAddress = ranges ? ranges->First : 0;
    Start(ModeWrite, std::move(completion));
    int n = std::min(image.Size(), m_result->Image.Size());
    if (n > 0) m_result->Image.WriteBlock(0, image.Data(), n);
    if (!WriteRangesFit(ranges)) {
        // Nothing is sent: the operation ends on its first step.
        SetCode(kCloneDataOutside);
        m_state = 17;
    }
    return true;
}

bool cmcCloneDrv::WriteRangesFit(const dst_AdrRange* ranges) const
{
    // Every address written must lie in the image, and with 16-bit
    // addresses it must fit the four digits of the frame.
    const int64_t limit = m_extendedAddress ? m_imageSize : std::min(m_imageSize, 0x10000);
    for (const dst_AdrRange* r = ranges; r && !IsRangeEnd(*r); ++r) {
        if (r->First < 0 || r->Last >= limit) return false;
    }
    return true;
}

void cmcCloneDrv::NewResult(int mode)
{
    m_result = std::make_unique<dst_CDrv_Result>();
    m_result->Mode = mode;
    m_result->ResultCode = kCloneOpenFailed;
    m_result->ModelCode = m_modelCode;
    m_result->SubCode = m_subCode;
    m_result->Image.Resize(m_imageSize);
    m_wireBytes = 0;
    m_frameCount = 0;
    m_dataBytes = 0;
}

void cmcCloneDrv::BusyWait(int ms)
{
    if (ms > 0) plat::Sleep(static_cast<uint32_t>(ms));
}

bool cmcCloneDrv::DrainInput()
{
    if (!m_port.IsOpen()) return false;
    BusyWait(100);
    int dropped = 0;
    while (dropped < 65535) {
        int n = m_port.Read(m_readBuffer, std::min(kReadChunk, 65535 - dropped));
        if (n <= 0) break;
        dropped += n;
    }
    return true;
}

// ---- receiving ----

int cmcCloneDrv::ReadIntoReceive()
{
    int n = m_port.Read(m_readBuffer, kReadChunk);
    if (n > 0) {
        m_receive.AppendBytes(m_readBuffer, n);
        m_wireBytes += n;
    }
    return n;
}

cmcBuff cmcCloneDrv::ReadReplyFrame()
{
    ReadIntoReceive();
    const int limit = m_extendedAddress ? 525 : 521;
    cmcBuff candidate;
    for (;;) {
        int b = m_receive.PopFront();
        if (b < 0) break;
        if (b == 0xFE) {
            m_frame.SetLength(0);
            m_frame.AppendByte(0xFE);
        } else if (m_frame.Length() == 0) {
            // Outside a frame.
        } else if (b == 0xFD) {
            candidate.Assign(m_frame);
            m_frame.SetLength(0);
        } else if (m_frame.Length() >= limit) {
            m_frame.SetLength(0);
            candidate.Clear();
            candidate.AppendByte(0x00);
            return candidate;
        } else {
            m_frame.AppendByte(static_cast<uint8_t>(b));
        }
    }
    return candidate;
}

int cmcCloneDrv::CheckFrame(const cmcBuff& frame)
{
    const int len = frame.Length();
    const uint8_t* f = frame.Data();
    if (len < 4 || len > FrameLimit() || f[0] != 0xFE || f[1] != 0xEF || f[2] != 0xEE) return kCloneBadFrame;
    switch (f[3]) {
    case 0xE4:
        if (len < (m_extendedAddress ? 14 : 12)) return kCloneBadFrame;
        return DecodeDataFrame(f + 4, len - 4);
    case 0xE5: {
        uint8_t expected[11];
        std::memcpy(expected, kCompany, 9);
        int expectedLen = 9;
        if (m_endFrameCount) {
            uint8_t count = static_cast<uint8_t>(m_frameCount & 0xFF);
            expected[9] = static_cast<uint8_t>(kHexDigits[count >> 4]);
            expected[10] = static_cast<uint8_t>(kHexDigits[count & 15]);
            expectedLen = 11;
        }
        const int textLen = len - 4;
        if (textLen != expectedLen || std::memcmp(f + 4, kCompany, 9) != 0) return kCloneBadFrame;
        if (std::memcmp(f + 4, expected, static_cast<size_t>(expectedLen)) != 0) return kCloneEndCountDiffers;
        return 0;
    }
    default:
        return kCloneBadFrame;
    }
}

int cmcCloneDrv::DecodeDataFrame(const uint8_t* text, int length)
{
    // An odd number of characters cannot be read as bytes.
    if (length <= 0 || length % 2 != 0) return kCloneBadFrame;
    const int n = length / 2;
    uint8_t bytes[300];
    if (n > static_cast<int>(sizeof bytes)) return kCloneBadFrame;
    int sum = 0;
    for (int i = 0; i < n; ++i) {
        int hi = UpperHexValue(text[2 * i]);
        int lo = UpperHexValue(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return kCloneBadFrame;
        bytes[i] = static_cast<uint8_t>(hi << 4 | lo);
        sum += bytes[i];
    }
    const int addressBytes = m_extendedAddress ? 4 : 2;
    if (n < addressBytes + 2) return kCloneBadFrame;
    const int count = bytes[addressBytes];
    if (n != count + addressBytes + 2) return kCloneBadFrame;
    if (sum % 256 != 0) return kCloneBadFrame;
    int64_t address = 0;
    for (int i = 0; i < addressBytes; ++i) address = address << 8 | bytes[i];
    if (address + count > m_imageSize) return kCloneDataOutside;
    if (count > 0) {
        m_result->Image.WriteBlock(static_cast<int>(address), bytes + addressBytes + 1, count);
        MarkReceived(static_cast<int>(address), count);
    }
    m_dataBytes += count;
    return 1;
}

void cmcCloneDrv::MarkReceived(int address, int count)
{
    cmcBuff& bits = m_result->Received;
    const int needed = (address + count - 1) / 8 + 1;
    if (bits.Length() < needed) {
        int old = bits.Length();
        bits.SetLength(needed);
        std::memset(bits.Data() + old, 0, static_cast<size_t>(needed - old));
    }
    for (int a = address; a < address + count; ++a) bits.Data()[a / 8] |= static_cast<uint8_t>(1u << (a % 8));
}

int cmcCloneDrv::CheckCoverage(const dst_CDrv_Result& result, const dst_AdrRange* ranges) const
{
    const int size = result.Image.Size();
    const int length = (size + 7) / 8;
    std::vector<uint8_t> required(static_cast<size_t>(length), 0);
    // Addresses beyond the image can never be received: they count as
    // missing, and never reach the bitmap.
    bool beyond = false;
    for (const dst_AdrRange* r = ranges; r && !IsRangeEnd(*r); ++r) {
        if (r->First < 0 || r->Last >= size) beyond = true;
        const int lo = std::max(r->First, 0);
        const int hi = std::min(r->Last, size - 1);
        for (int a = lo; a <= hi; ++a) required[static_cast<size_t>(a / 8)] |= static_cast<uint8_t>(1u << (a % 8));
    }
    bool equal = !beyond;
    bool extra = false;
    for (int i = 0; i < length; ++i) {
        uint8_t got = i < result.Received.Length() ? result.Received.At(i) : 0;
        uint8_t want = required[static_cast<size_t>(i)];
        if (got != want) equal = false;
        if (got & ~want) extra = true;
    }
    if (equal) return kCloneOk;
    return extra ? kCloneDataOutside : kCloneDataMissing;
}

// ---- sending ----

void cmcCloneDrv::SendFrame(const cmcBuff& frame)
{
    m_port.Write(frame.Data(), frame.Length());
    m_sent.Append(frame);
}

void cmcCloneDrv::SendCommand(uint8_t command, int p1, int p2)
{
    cmcBuff f;
    f.AppendFill(0xFE, m_commandPreamble);
    const uint8_t head[] = {0xFE, 0xFE, 0xEE, 0xEF, command,
                            static_cast<uint8_t>(p1 >> 8), static_cast<uint8_t>(p1),
                            static_cast<uint8_t>(p2 >> 8), static_cast<uint8_t>(p2), 0xFD};
    f.AppendBytes(head, sizeof head);
    SendFrame(f);
    m_frame.SetLength(0);
}

void cmcCloneDrv::SendParameterFrame()
{
    cmcBuff f;
    f.AppendFill(0xFE, m_commandPreamble);
    const uint8_t bytes[] = {0xFE, 0xFE, 0xEE, 0xEF, 0xE8,
                             static_cast<uint8_t>(m_modelCode >> 8), static_cast<uint8_t>(m_modelCode),
                             0x00, 0x00, 0x63, 0x30, 0x30, 0xFD};
    f.AppendBytes(bytes, sizeof bytes);
    SendFrame(f);
    m_frame.SetLength(0);
}

void cmcCloneDrv::SendEndFrame()
{
    cmcBuff f;
    const uint8_t head[] = {0xFE, 0xFE, 0xEE, 0xEF, 0xE5};
    f.AppendBytes(head, sizeof head);
    f.AppendBytes(kCompany, sizeof kCompany);
    if (m_endFrameCount) AppendHex(f, static_cast<uint8_t>(m_frameCount & 0xFF));
    f.AppendByte(0xFD);
    SendFrame(f);
}

void cmcCloneDrv::BuildDataFrame()
{
    int count = kBlockSize - m_writeAddress % kBlockSize;
    count = std::min(count, m_range->Last - m_writeAddress + 1);
    const uint32_t address = static_cast<uint32_t>(m_writeAddress);
    m_frame.AppendFill(0xFE, m_frameCount == 0 ? m_firstDataPreamble : m_dataPreamble);
    const uint8_t head[] = {0xFE, 0xFE, 0xEE, 0xEF, 0xE4};
    m_frame.AppendBytes(head, sizeof head);
    const uint8_t a[4] = {static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16),
                          static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
    for (int i = m_extendedAddress ? 0 : 2; i < 4; ++i) AppendHex(m_frame, a[i]);
    AppendHex(m_frame, static_cast<uint8_t>(count));
    unsigned sum = a[0] + a[1] + a[2] + a[3] + static_cast<unsigned>(count);
    const uint8_t* data = m_result->Image.Data() + m_writeAddress;
    for (int i = 0; i < count; ++i) {
        AppendHex(m_frame, data[i]);
        sum += data[i];
    }
    AppendHex(m_frame, static_cast<uint8_t>(-sum & 0xFF));
    m_frame.AppendByte(0xFD);
    ++m_frameCount;
    m_writeAddress += count;
    m_dataBytes += count;
}

bool cmcCloneDrv::HandOver()
{
    const int len = m_frame.Length();
    if (m_port.PendingOutput() > 4 * len) return false;
    m_port.Write(m_frame.Data(), len);
    m_sent.Append(m_frame);
    m_wireBytes += len;
    m_frame.SetLength(0);
    return true;
}
