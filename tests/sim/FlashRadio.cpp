#include "tests/sim/FlashRadio.h"

#include "platform/base/MemorySerial.h"
#include "platform/base/Timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <numeric>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace qmsim {

namespace {

constexpr uint32_t kWakeWord = 0x564F534B; // "VOSK"
constexpr uint8_t kHandshakeIn[6] = {0x00, 0x55, 0x44, 0x43, 0x42, 0x41};
constexpr uint8_t kHandshakeOut[6] = {0x00, 0xAA, 0x44, 0x43, 0x42, 0x41};

int HexValue(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

FlashRadio::FlashRadio() : FlashRadio(Settings{}) {}

FlashRadio::FlashRadio(Settings settings) : m_settings(std::move(settings)), m_flash(kFlashSize, 0xFF)
{
    // 127 bytes, the first one their count; no byte can be taken for FD or FE.
    m_payload.resize(127);
    m_payload[0] = 0x7F;
    for (size_t i = 1; i < m_payload.size(); ++i) m_payload[i] = static_cast<uint8_t>((i * 37 + 11) & 0x77);
    m_payload[53] = Protected() ? 0x08 : 0x00;
    m_payload[109] = Protected() ? 0x02 : 0x00;
    if (m_settings.startInBoot) {
        m_mode = Mode::Wake;
        m_speed = 38400;
    }
}

std::vector<uint8_t> FlashRadio::TakeOutput()
{
    std::vector<uint8_t> out;
    out.swap(m_output);
    return out;
}

void FlashRadio::Send(std::initializer_list<uint8_t> bytes)
{
    if (!m_settings.faults.silent) m_output.insert(m_output.end(), bytes.begin(), bytes.end());
}

void FlashRadio::Send(const std::vector<uint8_t>& bytes)
{
    if (!m_settings.faults.silent) m_output.insert(m_output.end(), bytes.begin(), bytes.end());
}

void FlashRadio::Receive(const uint8_t* bytes, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (m_mode == Mode::Normal)
            NormalByte(bytes[i]);
        else
            BootByte(bytes[i]);
    }
}

void FlashRadio::NormalByte(uint8_t b)
{
    if (b == 0xFE) {
        m_frame.clear();
        m_inFrame = true;
    } else if (!m_inFrame) {
        // noise between frames
    } else if (b == 0xFD) {
        m_inFrame = false;
        NormalFrame();
    } else if (m_frame.size() < 600) {
        m_frame.push_back(b);
    } else {
        m_inFrame = false;
    }
}

// A frame to the radio: EE EF <command> <model hi lo> <sub hi lo> ...
void FlashRadio::NormalFrame()
{
    const std::vector<uint8_t>& f = m_frame;
    if (f.size() < 7 || f[0] != 0xEE || f[1] != 0xEF) return;
    const int model = f[3] << 8 | f[4];
    if (f[2] == 0xE0) {
        ++identityRequests;
        std::vector<uint8_t> reply;
        reply.reserve(m_payload.size() + 10);
        for (uint8_t b : {uint8_t{0xFE}, uint8_t{0xFE}, uint8_t{0xEF}, uint8_t{0xEE}, uint8_t{0xE1},
                          static_cast<uint8_t>(m_settings.model >> 8), static_cast<uint8_t>(m_settings.model),
                          static_cast<uint8_t>(m_settings.subCode >> 8), static_cast<uint8_t>(m_settings.subCode)})
            reply.push_back(b);
        for (uint8_t b : m_payload) reply.push_back(b);
        reply.push_back(0xFD);
        Send(reply);
        return;
    }
    if (f[2] != 0xE8 || f.size() < 8) return;
    const uint8_t what = f[7];
    if (what == 0x01 && f.size() >= 10) {
        if (f[8] == 0x32 && f[9] == 0x37) m_speed = 9600;
        if (f[8] == 0x30 && f[9] == 0x39) m_speed = 38400;
    } else if (what == 0x99) {
        ++passwordOffers;
        // ASCII hexadecimal text of [length][check][characters].
        std::vector<uint8_t> block;
        bool ok = (f.size() - 8) % 2 == 0;
        for (size_t i = 8; ok && i + 1 < f.size(); i += 2) {
            int hi = HexValue(f[i]), lo = HexValue(f[i + 1]);
            ok = hi >= 0 && lo >= 0;
            block.push_back(static_cast<uint8_t>(hi << 4 | lo));
        }
        ok = ok && block.size() >= 2 && block[0] + 2u == block.size() &&
             (std::accumulate(block.begin() + 1, block.end(), 0u) & 0xFF) == 0;
        if (ok) m_unlocked = std::string(block.begin() + 2, block.end()) == m_settings.password;
    } else if (what == 0xF0 && f.size() >= 10 && f[8] == 0x30 && f[9] == 0x30 && model == m_settings.model) {
        if (!Protected() || m_unlocked) {
            ++bootEntries;
            m_mode = Mode::Wake;
            m_wakeWindow = 0;
        }
    }
}

bool FlashRadio::WakeSeen(uint8_t b)
{
    m_wakeWindow = m_wakeWindow << 8 | b;
    if (m_wakeWindow != kWakeWord) return false;
    m_wakeWindow = 0;
    return true;
}

void FlashRadio::BootByte(uint8_t b)
{
    switch (m_mode) {
    case Mode::Wake:
        if (WakeSeen(b) && !m_settings.faults.noWakeAnswer) {
            Send({0x55});
            m_mode = Mode::Handshake;
            m_handshakeStep = 0;
        }
        break;
    case Mode::Handshake: {
        if (WakeSeen(b)) {
            // Wake bytes still on their way before the first handshake byte
            // are skipped; later ones start the handshake again.
            if (m_handshakeStep > 0) {
                Send({0x55});
                m_handshakeStep = 0;
            }
            break;
        }
        if (b != kHandshakeIn[m_handshakeStep]) break;
        uint8_t answer = kHandshakeOut[m_handshakeStep];
        if (m_settings.faults.wrongHandshake == m_handshakeStep) answer = static_cast<uint8_t>(answer + 1);
        Send({answer});
        if (++m_handshakeStep == 6) {
            m_mode = Mode::Length;
            m_lengthBytes = 0;
            m_preLength = 0;
        }
        break;
    }
    case Mode::Length:
        Send({b});
        m_preLength = m_preLength << 8 | b;
        if (++m_lengthBytes < 2) break;
        m_preProcess.clear();
        m_mode = Mode::PreProcess;
        if (m_preLength > 0) break;
        [[fallthrough]];
    case Mode::PreProcess:
        if (m_preProcess.size() < m_preLength) m_preProcess.push_back(b);
        if (m_preProcess.size() == m_preLength) {
            Send({0xAA});
            std::fill(m_flash.begin(), m_flash.end(), 0xFF);
            m_recordIndex = 0;
            m_inFrame = false;
            m_wakeWindow = 0;
            m_mode = Mode::Flash;
        }
        break;
    case Mode::Flash:
        if (b == 0xFE) {
            m_frame.clear();
            m_inFrame = true;
        } else if (!m_inFrame) {
            if (WakeSeen(b)) {
                if (!m_settings.faults.noWakeAnswer) Send({0x55});
                m_mode = Mode::Handshake;
                m_handshakeStep = 0;
            }
        } else if (b == 0xFD) {
            m_inFrame = false;
            FlashFrame();
        } else if (m_frame.size() < 600) {
            m_frame.push_back(b);
        } else {
            m_inFrame = false;
        }
        break;
    case Mode::Normal:
        break;
    }
}

// A boot loader frame, its escapes undone: a record, a sum or the end.
void FlashRadio::FlashFrame()
{
    std::vector<uint8_t> d;
    bool escapesOk = true;
    for (size_t i = 0; i < m_frame.size(); ++i) {
        uint8_t b = m_frame[i];
        if (b == 0xFF) {
            if (i + 1 >= m_frame.size() || m_frame[i + 1] < 0x0A || m_frame[i + 1] > 0x0F) {
                escapesOk = false;
                break;
            }
            d.push_back(static_cast<uint8_t>(0xF0 | m_frame[++i]));
        } else {
            escapesOk = escapesOk && b < 0xFA;
            d.push_back(b);
        }
    }
    if (m_frame.size() >= 132 || (d.size() == 3 && (d[0] == 0x01 || d[0] == 0x0F))) {
        // a frame meant for the boot loader
    } else {
        return; // leftovers of framed commands: not for the boot loader
    }
    if (!escapesOk) {
        Send({0xFA});
        return;
    }
    if (d.size() == 132) {
        const uint32_t address = uint32_t{d[0]} << 24 | uint32_t{d[1]} << 16 | uint32_t{d[2]} << 8 | d[3];
        const int index = m_recordIndex++;
        if (index == m_settings.faults.refuseRecord || address > kFlashSize - 128) {
            ++recordsRefused;
            Send({0xFA});
            return;
        }
        std::copy(d.begin() + 4, d.end(), m_flash.begin() + address);
        ++recordsWritten;
        recordAddresses.push_back(address);
        Send({0xFB});
    } else if (d.size() == 3 && d[0] == 0x01) {
        ++sumChecks;
        unsigned sum = std::accumulate(m_flash.begin(), m_flash.end(), 0u) & 0xFFFF;
        lastSumMatched = sum == (unsigned{d[1]} << 8 | d[2]);
        Send({static_cast<uint8_t>(lastSumMatched ? 0xFB : 0xFA)});
    } else if (d.size() == 3 && d[0] == 0x0F) {
        ++sessionsEnded;
        m_mode = Mode::Normal;
        m_speed = 9600;
        m_unlocked = false;
    } else {
        Send({0xFA});
    }
}

// ---------------------------------------------------------------------------

FlashRadioOnLine::FlashRadioOnLine(FlashRadio& radio, plat::MemoryLine& line) : m_radio(radio), m_line(line)
{
    m_timer = plat::Timers().CreateTimer([this] { Poll(); });
    m_timer->Start(1);
}

FlashRadioOnLine::~FlashRadioOnLine() = default;

void FlashRadioOnLine::Poll()
{
    // Byte by byte: a frame may move the radio to another speed.
    for (uint8_t b : m_line.TakeOutput()) {
        if (m_line.settings.baud == m_radio.LineSpeed())
            m_radio.Receive(&b, 1);
        else
            ++garbledToRadio;
    }
    std::vector<uint8_t> out = m_radio.TakeOutput();
    if (out.empty()) return;
    if (m_line.isOpen && m_line.settings.baud == m_radio.LineSpeed())
        m_line.Feed(out);
    else
        garbledToLoader += out.size();
}

// ---------------------------------------------------------------------------

FlashRadioOnPty::FlashRadioOnPty(FlashRadio& radio, bool paced) : m_radio(radio), m_paced(paced) {}

FlashRadioOnPty::~FlashRadioOnPty() { Stop(); }

bool FlashRadioOnPty::Start(std::string* error)
{
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        Stop();
        return false;
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0) return fail("posix_openpt");
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) return fail("unlockpt");
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0) return fail("ptsname");
    m_slavePath = name;
    // A spare slave keeps the terminal alive while the loader has it closed
    // (the master would read EIO otherwise); raw like a cable, no echo.
    m_spareSlave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_spareSlave < 0) return fail("open slave");
    termios t{};
    if (tcgetattr(m_spareSlave, &t) != 0) return fail("tcgetattr");
    cfmakeraw(&t);
    if (tcsetattr(m_spareSlave, TCSANOW, &t) != 0) return fail("tcsetattr");
    m_stop = false;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void FlashRadioOnPty::Stop()
{
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_spareSlave >= 0) ::close(m_spareSlave);
    if (m_master >= 0) ::close(m_master);
    m_spareSlave = m_master = -1;
}

void FlashRadioOnPty::Run()
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto now = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    // Bytes are taken from the terminal at once (a terminal's flush on open
    // must not eat bytes that a real line would have carried already); paced,
    // each reaches the radio, and each answer the loader, only when the line
    // at the radio's speed would have carried it.
    std::deque<std::pair<double, uint8_t>> inbox;  // byte and when it was sent
    std::deque<std::pair<double, uint8_t>> outbox; // byte and when it arrives
    double rxFree = 0;
    double txFree = 0;
    uint8_t buffer[512];

    while (!m_stop) {
        double t = now();
        ssize_t n = ::read(m_master, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i) inbox.emplace_back(t, buffer[i]);

        while (!inbox.empty()) {
            const double byteTime = 10.0 / m_radio.LineSpeed();
            const double arrives = std::max(rxFree, inbox.front().first) + (m_paced ? byteTime : 0.0);
            if (arrives > t) break;
            rxFree = arrives;
            const uint8_t b = inbox.front().second;
            inbox.pop_front();
            ++bytesToRadio;
            wireSeconds += byteTime;
            m_radio.Receive(&b, 1);
            for (uint8_t reply : m_radio.TakeOutput()) {
                const double replyTime = 10.0 / m_radio.LineSpeed();
                ++bytesToLoader;
                wireSeconds += replyTime;
                txFree = std::max(txFree, arrives) + (m_paced ? replyTime : 0.0);
                outbox.emplace_back(txFree, reply);
            }
        }
        while (!outbox.empty() && outbox.front().first <= t) {
            const uint8_t b = outbox.front().second;
            if (::write(m_master, &b, 1) != 1) break;
            outbox.pop_front();
        }

        if (n > 0) continue;
        if (!inbox.empty() || !outbox.empty()) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            continue;
        }
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, 1) > 0 && (p.revents & POLLIN) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1)); // hang-up: nobody there
    }
}

// ---------------------------------------------------------------------------

void PointComPortAt(int portNumber, const std::string& path)
{
    ::setenv(("QM_COM" + std::to_string(portNumber)).c_str(), path.c_str(), 1);
}

bool RunEventsUntil(const std::function<bool()>& pred, int maxMs)
{
    if (pred()) return true;
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer check;
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (pred() || elapsed.elapsed() >= maxMs) loop.quit();
    });
    check.start();
    loop.exec();
    return pred();
}

struct EventLoopScope::Impl {
    std::unique_ptr<QCoreApplication> app;
};

EventLoopScope::EventLoopScope(int& argc, char** argv) : m_impl(std::make_unique<Impl>())
{
    if (QCoreApplication::instance() == nullptr) m_impl->app = std::make_unique<QCoreApplication>(argc, argv);
}

EventLoopScope::~EventLoopScope() = default;

} // namespace qmsim
