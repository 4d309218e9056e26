#include "tests/sim/CloneRadio.h"

#include "platform/base/Clock.h"
#include "platform/base/MemorySerial.h"
#include "platform/base/Timer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace qmsim {

namespace {

const uint8_t kMaker[9] = {'V', 'o', 's', 'k', ' ', 'I', 'n', 'c', '.'};

char HexDigit(int v, bool lower = false) { return (lower ? "0123456789abcdef" : "0123456789ABCDEF")[v & 15]; }

void PutHex(std::vector<uint8_t>& out, uint8_t b, bool lower = false)
{
    out.push_back(static_cast<uint8_t>(HexDigit(b >> 4, lower)));
    out.push_back(static_cast<uint8_t>(HexDigit(b, lower)));
}

std::string Hex(uint32_t v, int digits)
{
    std::string s(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, v >>= 4) s[static_cast<size_t>(i)] = HexDigit(static_cast<int>(v));
    return s;
}

// The value of an uppercase hexadecimal digit, -1 otherwise: the radio
// accepts nothing else in data frames.
int StrictHex(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int AnyHex(uint8_t c)
{
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return StrictHex(c);
}

int BaudOfSpeed(speed_t s)
{
    switch (s) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

} // namespace

// ---- links ----

int MemoryRadioLink::Receive(uint8_t* buffer, int max)
{
    if (max <= 0) return 0;
    std::vector<uint8_t> got = m_line.TakeOutput(static_cast<size_t>(max));
    std::copy(got.begin(), got.end(), buffer);
    return static_cast<int>(got.size());
}

int MemoryRadioLink::Send(const uint8_t* bytes, int n)
{
    if (n <= 0) return 0;
    m_line.Feed(std::vector<uint8_t>(bytes, bytes + n));
    return n;
}

int MemoryRadioLink::Baud() { return m_line.settings.baud; }

PtyRadioLink::PtyRadioLink()
{
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        m_error = std::strerror(errno);
        if (master >= 0) ::close(master);
        return;
    }
    char name[128];
    if (ptsname_r(master, name, sizeof name) != 0) {
        m_error = std::strerror(errno);
        ::close(master);
        return;
    }
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        m_error = std::strerror(errno);
        ::close(master);
        return;
    }
    // A raw line from the start: the terminal must not echo or translate
    // what passes before the program configures it.
    termios t{};
    if (tcgetattr(slave, &t) == 0) {
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        tcsetattr(slave, TCSANOW, &t);
    }
    m_master = master;
    m_slave = slave;
    m_path = name;
}

PtyRadioLink::~PtyRadioLink()
{
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
}

int PtyRadioLink::Receive(uint8_t* buffer, int max)
{
    if (m_master < 0 || max <= 0) return 0;
    ssize_t n = ::read(m_master, buffer, static_cast<size_t>(max));
    return n > 0 ? static_cast<int>(n) : 0;
}

int PtyRadioLink::Send(const uint8_t* bytes, int n)
{
    if (m_master < 0 || n <= 0) return 0;
    ssize_t w = ::write(m_master, bytes, static_cast<size_t>(n));
    return w > 0 ? static_cast<int>(w) : 0;
}

int PtyRadioLink::Baud()
{
    termios t{};
    if (m_slave < 0 || tcgetattr(m_slave, &t) != 0) return 0;
    return BaudOfSpeed(cfgetospeed(&t));
}

// ---- the radio ----

CloneRadio::CloneRadio(RadioLink& link) : m_link(link)
{
    memory.assign(kMemorySize, 0);
    FillPattern(1);
    payload.assign(kPayloadSize, 0);
    payload[0] = kPayloadSize;
    const char* comment = "SIMULATED RADIO CLONE TEST UNIT ";
    std::copy(comment, comment + 32, payload.begin() + 2);
    payload[34] = 0x40; // version
    payload[35] = 0x00; // data format
    std::string serial = Hex(static_cast<uint32_t>(modelCode), 4) + "00" + Hex(0x012345, 6);
    std::copy(serial.begin(), serial.end(), payload.begin() + 37);
    SetEndAddress(kMemorySize - 1);
    payload[109] = 0x20; // layout choice 2
    SetExtendedAddressing(true);
}

CloneRadio::~CloneRadio() = default;

void CloneRadio::Start(int periodMs)
{
    m_timer = plat::Timers().CreateTimer([this] { Poll(); });
    m_lastPoll = plat::GetTickCount();
    m_timer->Start(periodMs);
}

void CloneRadio::Stop() { m_timer.reset(); }

void CloneRadio::SetEndAddress(uint32_t last)
{
    std::string h8 = Hex(last, 8);
    std::string h4 = Hex(last & 0xFFFF, 4);
    std::copy(h8.begin(), h8.end(), payload.begin() + 101);
    std::copy(h4.begin(), h4.end(), payload.begin() + 56);
}

uint32_t CloneRadio::EndAddress() const
{
    uint32_t v = 0;
    for (int i = 101; i < 109; ++i) v = v << 4 | static_cast<uint32_t>(std::max(AnyHex(payload[static_cast<size_t>(i)]), 0));
    return v;
}

void CloneRadio::SetExtendedAddressing(bool on)
{
    payload[109] = static_cast<uint8_t>(on ? payload[109] | 0x40 : payload[109] & ~0x40);
}

void CloneRadio::FillPattern(uint32_t seed)
{
    uint32_t x = seed * 2654435761u + 12345u;
    for (auto& b : memory) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x >> 8);
    }
}

bool CloneRadio::LoadCloneFile(const std::string& text, std::string* error)
{
    auto fail = [error](int line, const std::string& why) {
        if (error) *error = "line " + std::to_string(line) + ": " + why;
        return false;
    };
    std::vector<uint8_t> loaded = memory;
    int addressDigits = 4;
    int lineNumber = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (lineNumber == 1 || line.empty()) continue; // model and sub code
        if (line[0] == '#') {
            if (line.rfind("#AdrBit=", 0) == 0) {
                const int bits = std::atoi(line.c_str() + 8);
                addressDigits = bits == 32 ? 8 : bits == 24 ? 6 : 4;
            }
            continue;
        }
        std::vector<int> digits;
        for (char c : line) digits.push_back(AnyHex(static_cast<uint8_t>(c)));
        if (std::find(digits.begin(), digits.end(), -1) != digits.end()) return fail(lineNumber, "not hexadecimal");
        auto number = [&](size_t from, size_t n) {
            uint64_t v = 0;
            for (size_t i = from; i < from + n; ++i) v = v << 4 | static_cast<uint64_t>(digits[i]);
            return v;
        };
        const size_t a = static_cast<size_t>(addressDigits);
        if (digits.size() < a + 2) return fail(lineNumber, "too short");
        const uint64_t address = number(0, a);
        const size_t count = static_cast<size_t>(number(a, 2));
        if (digits.size() != a + 2 + 2 * count) return fail(lineNumber, "length does not match the count");
        if (address + count > loaded.size()) return fail(lineNumber, "outside the memory");
        for (size_t i = 0; i < count; ++i)
            loaded[static_cast<size_t>(address) + i] = static_cast<uint8_t>(number(a + 2 + 2 * i, 2));
    }
    memory.swap(loaded);
    return true;
}

bool CloneRadio::Idle() const { return !m_reading && m_outHead >= m_out.size(); }

void CloneRadio::QueueByte(uint8_t b)
{
    if (fault == CloneFault::Silence) return;
    m_out.push_back(b);
}

void CloneRadio::Queue(const std::vector<uint8_t>& bytes)
{
    if (fault == CloneFault::Silence) return;
    m_out.insert(m_out.end(), bytes.begin(), bytes.end());
}

void CloneRadio::Reply(uint8_t command, const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> f;
    f.reserve(bytes.size() + 6);
    for (uint8_t b : {uint8_t{0xFE}, uint8_t{0xFE}, uint8_t{0xEF}, uint8_t{0xEE}, command}) f.push_back(b);
    f.insert(f.end(), bytes.begin(), bytes.end());
    f.push_back(0xFD);
    Queue(f);
}

void CloneRadio::Poll()
{
    const uint32_t now = plat::GetTickCount();
    const uint32_t elapsed = plat::TickElapsed(m_lastPoll, now);
    m_lastPoll = now;
    const int baud = m_link.Baud();
    const bool paced = pacing && baud > 0;
    const double perMs = baud / 10000.0;

    // Take what the line brings, no faster than it can carry it.
    if (paced) m_inCredit += elapsed * perMs;
    uint8_t buf[4096];
    for (;;) {
        int room = static_cast<int>(sizeof buf);
        if (paced) room = std::min(room, static_cast<int>(m_inCredit));
        if (room <= 0) break;
        int n = m_link.Receive(buf, room);
        if (n > 0) {
            m_stats.bytesIn += static_cast<uint64_t>(n);
            if (paced) m_inCredit -= n;
            for (int i = 0; i < n; ++i) OnByte(buf[i]);
        }
        if (n < room) {
            // The line was idle for part of the time: no credit builds up.
            if (paced) m_inCredit -= std::floor(m_inCredit);
            break;
        }
    }

    if (m_delayedAck >= 0 && static_cast<int32_t>(now - m_delayedAckAt) >= 0) {
        QueueByte(static_cast<uint8_t>(m_delayedAck));
        m_delayedAck = -1;
    }

    // Send, paced to the line speed (and slower still for trickling frames).
    if (paced) m_outCredit += elapsed * perMs;
    const bool slow = fault == CloneFault::SlowFrames && m_reading;
    if (slow) m_slowCredit += elapsed * (2.0 * readBlock + 14) / std::max(slowFrameMs, 1);
    for (;;) {
        FillOutput();
        const size_t waiting = m_out.size() - m_outHead;
        if (waiting == 0) {
            m_out.clear();
            m_outHead = 0;
            m_outCredit -= std::floor(m_outCredit);
            m_slowCredit -= std::floor(m_slowCredit);
            break;
        }
        int allowed = static_cast<int>(std::min<size_t>(waiting, 65536));
        if (paced) allowed = std::min(allowed, static_cast<int>(m_outCredit));
        if (slow) allowed = std::min(allowed, static_cast<int>(m_slowCredit));
        if (allowed <= 0) break;
        int sent = m_link.Send(m_out.data() + m_outHead, allowed);
        if (sent <= 0) break;
        m_outHead += static_cast<size_t>(sent);
        m_stats.bytesOut += static_cast<uint64_t>(sent);
        if (paced) m_outCredit -= sent;
        if (slow) m_slowCredit -= sent;
        if (m_outHead > 65536) {
            m_out.erase(m_out.begin(), m_out.begin() + static_cast<std::ptrdiff_t>(m_outHead));
            m_outHead = 0;
        }
        if (sent < allowed) break;
    }
}

void CloneRadio::OnByte(uint8_t b)
{
    if (echo) {
        const bool afterRequest = m_rx.size() == 3 && m_rx[0] == 0xEE && m_rx[1] == 0xEF &&
                                  (m_rx[2] == 0xE0 || m_rx[2] == 0xE2 || m_rx[2] == 0xEB);
        m_out.push_back(fault == CloneFault::BadEcho && afterRequest ? static_cast<uint8_t>(b ^ 0x55) : b);
    }
    if (b == 0xFE) {
        // Leading FE bytes (preambles) belong to the frame; an FE after
        // other bytes starts a new one.
        if (!m_rx.empty()) m_rx.clear();
        m_inFrame = true;
        return;
    }
    if (!m_inFrame) return;
    if (b == 0xFD) {
        m_inFrame = false;
        std::vector<uint8_t> body;
        body.swap(m_rx);
        OnFrame(body);
        return;
    }
    if (m_rx.size() >= 1024) {
        m_rx.clear();
        m_inFrame = false;
        return;
    }
    m_rx.push_back(b);
}

void CloneRadio::OnFrame(const std::vector<uint8_t>& body)
{
    // EE EF <command> ...: a frame to the radio.
    if (body.size() < 3 || body[0] != 0xEE || body[1] != 0xEF) return;
    switch (body[2]) {
    case 0xE0: {
        ++m_stats.identifies;
        if (body.size() >= 5) m_stats.lastIdentifyModel = (body[3] << 8) | body[4];
        m_unlocked = false;
        m_extended = false;
        std::vector<uint8_t> p = payload;
        if (p.size() > 53) {
            // Bit 3: a clone password is asked; bit 4: none is needed.
            p[53] = static_cast<uint8_t>(p[53] & ~0x18);
            p[53] = static_cast<uint8_t>(p[53] | (password.empty() ? 0x10 : 0x08));
        }
        if (fault == CloneFault::WrongPayloadLength && !p.empty()) p[0] = static_cast<uint8_t>(p.size() + 1);
        int model = fault == CloneFault::WrongModel ? modelCode ^ 0x0101 : modelCode;
        std::vector<uint8_t> reply;
        reply.reserve(p.size() + 4);
        for (int v : {model >> 8, model, subCode >> 8, subCode}) reply.push_back(static_cast<uint8_t>(v));
        reply.insert(reply.end(), p.begin(), p.end());
        Reply(0xE1, reply);
        break;
    }
    case 0xE8:
        OnParameter(body);
        break;
    case 0xE2:
        if (Locked()) break;
        ++m_stats.readsStarted;
        BeginRead();
        break;
    case 0xEB:
        if (Locked()) break;
        ++m_stats.writesStarted;
        m_writeError = false;
        m_writeFrames = 0;
        m_acks = 0;
        m_writing = fault != CloneFault::RefuseWrite;
        if (writeAckDelayMs > 0) {
            m_delayedAck = fault == CloneFault::RefuseWrite ? 0xFA : 0xFB;
            m_delayedAckAt = plat::GetTickCount() + static_cast<uint32_t>(writeAckDelayMs);
        } else {
            QueueByte(fault == CloneFault::RefuseWrite ? 0xFA : 0xFB);
        }
        break;
    case 0xE4:
        if (m_writing) OnDataFrame(body);
        break;
    case 0xE5:
        if (m_writing) OnWriteEnd(body);
        break;
    default:
        break;
    }
}

void CloneRadio::OnParameter(const std::vector<uint8_t>& body)
{
    // EE EF E8 model(2) 00 00 <parameter> ...
    if (body.size() < 8) return;
    const uint8_t kind = body[7];
    if (kind == 0x99 && body.size() >= 10) {
        ++m_stats.passwordFrames;
        const size_t length = body[8];
        const uint8_t check = body[9];
        std::vector<uint8_t> given(body.begin() + 10, body.end());
        unsigned sum = check;
        for (uint8_t c : given) sum += c;
        m_unlocked = given.size() == length && sum % 256 == 0 && !password.empty() &&
                     std::equal(given.begin(), given.end(), password.begin(), password.end());
        if (m_unlocked) ++m_stats.passwordAccepted;
    } else if (kind == 0x63 && body.size() >= 10 && body[8] == 0x30 && body[9] == 0x30) {
        ++m_stats.parameterExchanges;
        m_extended = true;
        Reply(0xE8, {static_cast<uint8_t>(modelCode >> 8), static_cast<uint8_t>(modelCode), 0x00, 0x00, 0x63, 0x31,
                     0x31});
    }
    // Speed (01 ..) and mode (55 ..) parameters need no answer: the line
    // speed is whatever the program set.
}

void CloneRadio::BeginRead()
{
    uint32_t last = std::min<uint32_t>(EndAddress(), static_cast<uint32_t>(memory.size() - 1));
    if (!m_extended) last = std::min<uint32_t>(last, 0xFFFF);
    const int block = std::clamp(readBlock, 1, 255);
    m_blocks.clear();
    for (uint64_t a = 0; a <= last; a += static_cast<uint64_t>(block)) {
        m_blocks.push_back({static_cast<uint32_t>(a), static_cast<int>(std::min<uint64_t>(block, last - a + 1))});
    }
    if (fault == CloneFault::MissingAddress && !m_blocks.empty()) {
        Block& b = m_blocks[m_blocks.size() / 2];
        if (b.count > 1)
            --b.count;
        else
            m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(m_blocks.size() / 2));
    }
    if (fault == CloneFault::ExtraAddress && !m_blocks.empty()) {
        Block& b = m_blocks.back();
        if (b.count < 255)
            ++b.count;
        else
            m_blocks.push_back({last + 1, 1});
    }
    if (order == ReadOrder::Descending) {
        std::reverse(m_blocks.begin(), m_blocks.end());
    } else if (order == ReadOrder::Interleaved) {
        std::vector<Block> sorted;
        for (size_t i = 0; i < m_blocks.size(); i += 2) sorted.push_back(m_blocks[i]);
        for (size_t i = 1; i < m_blocks.size(); i += 2) sorted.push_back(m_blocks[i]);
        m_blocks.swap(sorted);
    }
    m_nextBlock = 0;
    m_reading = true;
    m_slowCredit = 0;
}

std::vector<uint8_t> CloneRadio::DataFrame(uint32_t address, int count, int index) const
{
    const int faulty = m_blocks.size() > 1 ? 1 : 0;
    const bool lower = fault == CloneFault::LowercaseHex && index == faulty;
    std::vector<uint8_t> f = {0xFE, 0xFE, 0xEF, 0xEE, 0xE4};
    unsigned sum = 0;
    for (int shift = m_extended ? 24 : 8; shift >= 0; shift -= 8) {
        uint8_t b = static_cast<uint8_t>(address >> shift);
        PutHex(f, b, lower);
        sum += b;
    }
    PutHex(f, static_cast<uint8_t>(count), lower);
    sum += static_cast<unsigned>(count);
    for (int i = 0; i < count; ++i) {
        uint64_t a = static_cast<uint64_t>(address) + static_cast<uint64_t>(i);
        uint8_t b = a < memory.size() ? memory[static_cast<size_t>(a)] : 0;
        PutHex(f, b, lower);
        sum += b;
    }
    uint8_t check = static_cast<uint8_t>(-sum & 0xFF);
    if (fault == CloneFault::BadChecksum && index == faulty) ++check;
    PutHex(f, check, lower);
    f.push_back(0xFD);
    return f;
}

void CloneRadio::FillOutput()
{
    while (m_reading && m_out.size() - m_outHead < 1024) {
        if (m_nextBlock < m_blocks.size()) {
            const Block& b = m_blocks[m_nextBlock];
            Queue(DataFrame(b.address, b.count, static_cast<int>(m_nextBlock)));
            ++m_nextBlock;
            ++m_stats.dataFramesOut;
            continue;
        }
        int count = static_cast<int>(m_blocks.size()) + (fault == CloneFault::WrongEndCount ? 1 : 0);
        std::vector<uint8_t> end(kMaker, kMaker + 9);
        PutHex(end, static_cast<uint8_t>(count & 0xFF));
        Reply(0xE5, end);
        m_reading = false;
        ++m_stats.readsDone;
        EndSession();
    }
}

void CloneRadio::OnDataFrame(const std::vector<uint8_t>& body)
{
    ++m_stats.dataFramesIn;
    const size_t addressBytes = m_extended ? 4 : 2;
    const size_t chars = body.size() - 3;
    std::vector<uint8_t> bytes;
    bool ok = chars % 2 == 0;
    for (size_t i = 3; ok && i + 1 < body.size(); i += 2) {
        int hi = StrictHex(body[i]);
        int lo = StrictHex(body[i + 1]);
        ok = hi >= 0 && lo >= 0;
        bytes.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    ok = ok && bytes.size() >= addressBytes + 2 && bytes.size() == addressBytes + 2 + bytes[addressBytes];
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    ok = ok && sum % 256 == 0;
    if (!ok) {
        m_writeError = true;
        return;
    }
    ++m_writeFrames;
    uint64_t address = 0;
    for (size_t i = 0; i < addressBytes; ++i) address = address << 8 | bytes[i];
    const int count = bytes[addressBytes];
    if (address + static_cast<uint64_t>(count) > memory.size()) {
        m_writeError = true;
    } else {
        std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(addressBytes + 1),
                  bytes.begin() + static_cast<std::ptrdiff_t>(addressBytes + 1 + static_cast<size_t>(count)),
                  memory.begin() + static_cast<std::ptrdiff_t>(address));
    }
    if ((address + static_cast<uint64_t>(count)) % kAckBlock == 0) {
        ++m_acks;
        const bool refuse = m_writeError || (fault == CloneFault::RefuseBlock && m_acks == 1);
        QueueByte(refuse ? 0xFA : 0xFB);
    }
}

void CloneRadio::OnWriteEnd(const std::vector<uint8_t>& body)
{
    std::vector<uint8_t> expected(kMaker, kMaker + 9);
    PutHex(expected, static_cast<uint8_t>(m_writeFrames & 0xFF));
    const bool ok = !m_writeError && body.size() == 3 + expected.size() &&
                    std::equal(expected.begin(), expected.end(), body.begin() + 3);
    Reply(0xE6, {static_cast<uint8_t>(ok && fault != CloneFault::WrongWriteEnd ? 0x00 : 0x01)});
    m_stats.lastWriteOk = ok;
    ++m_stats.writesDone;
    m_writing = false;
    EndSession();
}

void CloneRadio::EndSession()
{
    m_unlocked = false;
    m_extended = false;
}

// ---- the program's script ----

std::string CloneScript(int modelCode, bool highSpeed, bool write, const std::string* password,
                        std::string* baseSettings, int* preamble)
{
    const std::string m = Hex(static_cast<uint32_t>(modelCode & 0xFFFF), 4);
    std::string fe20;
    for (int i = 0; i < 20; ++i) fe20 += "FE";
    std::string s = "(38400,N,8,1)" + fe20 + " EEEF E8 " + m + " 0000 013237 FD";
    s += "(9600,N,8,1)";
    if (password) {
        unsigned sum = 0;
        std::string chars;
        for (char c : *password) {
            sum += static_cast<uint8_t>(c);
            chars += Hex(static_cast<uint8_t>(c), 2);
        }
        s += "FEFE EEEF E8 " + m + " 0000 99 " + Hex(static_cast<uint32_t>(password->size()), 2) + " " +
             Hex(-sum & 0xFF, 2) + " " + chars + " FD";
    }
    s += "FEFE EEEF E8 " + m + " 0000 5530" + (write ? "31" : "30") + " FD";
    if (highSpeed) {
        s += "(9600,N,8,1)" + fe20 + " EEEF E8 " + m + " 0000 013039 FD";
        if (baseSettings) *baseSettings = "38400,N,8,1";
        if (preamble) *preamble = 48;
    } else {
        s += "(38400,N,8,1)" + fe20 + " EEEF E8 " + m + " 0000 013237 FD";
        if (baseSettings) *baseSettings = "9600,N,8,1";
        if (preamble) *preamble = 12;
    }
    return s;
}

} // namespace qmsim
