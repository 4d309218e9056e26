#pragma once
// A simulated radio for the flash loader, written from the wire protocol.
//
// Normal mode (power-on, 9600 baud) reads framed commands FE FE EE EF <cmd>
// ... FD (a frame restarts at every FE): E0 is answered with the identity
// reply FE FE EF EE E1 <model> <sub> <payload> FD; E8 frames carry
// parameters: 01 32 37 moves the line to 9600 baud, 01 30 39 to 38400, 99
// <ASCII hexadecimal of [length][check][characters]> offers the password, and
// F0 30 30 addressed to the radio's own model enters the boot loader (only
// when no password is required or the right one was offered).
//
// The boot loader answers the wake bytes 56 4F 53 4B with 55, then the
// handshake 00 55 44 43 42 41 byte by byte with 00 AA 44 43 42 41, echoes the
// two length bytes of the pre-process block, takes that many bytes, answers
// AA and erases its flash. It then takes frames FE FE <escaped bytes> FD
// (FF x stands for F0 + x): a 132-byte record (4 address bytes, 128 data
// bytes) is written and acknowledged with FB (FA when it does not fit); the
// sum frame 01 <hi> <lo> is answered FB when the flash sums to that value
// modulo 65536, else FA; the frame 0F <hi> <lo> ends the session, back to
// normal mode at 9600 baud. Wake bytes outside a frame restart the handshake.
//
// It can misbehave on request (Faults), and it is served on an in-memory
// line (polled by a timer of the current timer host, so a manual clock
// drives it; bytes sent at another speed than the radio's are lost both
// ways) or on a pseudo-terminal from a thread of its own (optionally paced
// to the line speed).
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace plat {
class MemoryLine;
class Timer;
}

namespace qmsim {

class FlashRadio {
public:
    static constexpr uint32_t kFlashSize = 0x80000;

    enum class Mode { Normal, Wake, Handshake, Length, PreProcess, Flash };

    struct Faults {
        bool silent = false;        // sends nothing at all
        bool noWakeAnswer = false;  // never answers the wake bytes
        int wrongHandshake = -1;    // answers handshake byte k (0 to 5) wrongly
        int refuseRecord = -1;      // answers FA to record k (0-based)
    };

    struct Settings {
        int model = 0x7143;
        int subCode = 0;
        std::string password; // not empty: the radio requires it
        bool startInBoot = false; // powered on in its boot loader (38400 baud)
        Faults faults;
    };

    FlashRadio();
    explicit FlashRadio(Settings settings);

    // Bytes from the loader, and what the radio sends back.
    void Receive(const uint8_t* bytes, size_t n);
    void Receive(const std::vector<uint8_t>& bytes) { Receive(bytes.data(), bytes.size()); }
    std::vector<uint8_t> TakeOutput();

    Mode GetMode() const { return m_mode; }
    int LineSpeed() const { return m_speed; }
    bool Protected() const { return !m_settings.password.empty(); }
    bool Unlocked() const { return m_unlocked; }
    const std::vector<uint8_t>& IdentityPayload() const { return m_payload; }
    const std::vector<uint8_t>& Flash() const { return m_flash; }
    const std::vector<uint8_t>& PreProcess() const { return m_preProcess; }

    // What happened.
    int identityRequests = 0;
    int passwordOffers = 0;
    int bootEntries = 0;
    int recordsWritten = 0;
    std::vector<uint32_t> recordAddresses; // of the records written
    int recordsRefused = 0;
    int sumChecks = 0;
    bool lastSumMatched = false;
    int sessionsEnded = 0; // 0F frames

private:
    void NormalByte(uint8_t b);
    void NormalFrame();
    void BootByte(uint8_t b);
    bool WakeSeen(uint8_t b);
    void FlashFrame();
    void Send(std::initializer_list<uint8_t> bytes);
    void Send(const std::vector<uint8_t>& bytes);

    Settings m_settings;
    Mode m_mode = Mode::Normal;
    int m_speed = 9600;
    bool m_unlocked = false;
    std::vector<uint8_t> m_payload;
    std::vector<uint8_t> m_frame;
    bool m_inFrame = false;
    uint32_t m_wakeWindow = 0;
    int m_handshakeStep = 0;
    int m_lengthBytes = 0;
    size_t m_preLength = 0;
    std::vector<uint8_t> m_preProcess;
    std::vector<uint8_t> m_flash;
    int m_recordIndex = 0;
    std::vector<uint8_t> m_output;
};

// Serves a radio on an in-memory line: a timer of the current timer host
// polls the line every millisecond.
class FlashRadioOnLine {
public:
    FlashRadioOnLine(FlashRadio& radio, plat::MemoryLine& line);
    ~FlashRadioOnLine();
    void Poll();
    // Bytes lost because the two ends used different speeds.
    size_t garbledToRadio = 0;
    size_t garbledToLoader = 0;

private:
    FlashRadio& m_radio;
    plat::MemoryLine& m_line;
    std::unique_ptr<plat::Timer> m_timer;
};

// Serves a radio on a pseudo-terminal from a thread of its own; the loader
// opens SlavePath(). Paced, each byte reaches the radio, and each answer the
// loader, only when a line at the radio's speed would have carried it (10
// bits a byte, one byte after the other). Look at the radio only after Stop().
class FlashRadioOnPty {
public:
    FlashRadioOnPty(FlashRadio& radio, bool paced);
    ~FlashRadioOnPty();
    // Creates the pseudo-terminal and starts the thread; false (with the
    // reason) when the terminal cannot be made.
    bool Start(std::string* error = nullptr);
    void Stop();
    const std::string& SlavePath() const { return m_slavePath; }

    // Bytes exchanged and the time they take on the wire at the speeds used.
    uint64_t bytesToRadio = 0;
    uint64_t bytesToLoader = 0;
    double wireSeconds = 0;

private:
    void Run();

    FlashRadio& m_radio;
    bool m_paced;
    int m_master = -1;
    int m_spareSlave = -1;
    std::string m_slavePath;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

// Makes COM port n open the device at path (the QM_COM<n> variable).
void PointComPortAt(int portNumber, const std::string& path);

// Runs the event loop of the current thread until pred() holds or maxMs have
// passed; answers pred(). For code that runs on real timers.
bool RunEventsUntil(const std::function<bool()>& pred, int maxMs);

// An application object for programs that have none (timers need one).
class EventLoopScope {
public:
    EventLoopScope(int& argc, char** argv);
    ~EventLoopScope();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmsim
