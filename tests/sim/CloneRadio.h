#pragma once
// A simulated radio at the far end of the clone cable.
//
// It answers the clone protocol as a radio does: the identify request with
// its identity (model, sub code and a 127-byte payload), the read request
// with data frames of its own size and order followed by the end frame, the
// write request with an acknowledge after the request and after every frame
// that ends on a 128-byte boundary and the write-end reply at the end; the
// 32-bit parameter exchange; and the clone password frame, without which a
// radio that has a password ignores read and write requests. It holds the
// 0x1FF80-byte clone memory.
//
// The radio is polled by a plat::Timer of the current timer host, so a test's
// manual clock drives it as well as a real event loop does. With pacing on it
// takes and sends bytes no faster than the line speed that the program set
// (10 bits a byte); with pacing off it is as fast as the line lets it be.
//
// On request it misbehaves (CloneFault), so that every way a transfer can
// fail can be provoked from the far end of the cable.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {
class MemoryLine;
class Timer;
} // namespace plat

namespace qmsim {

// The radio's end of the serial line.
class RadioLink {
public:
    virtual ~RadioLink() = default;
    // Bytes the program sent, at most max; 0 when none wait.
    virtual int Receive(uint8_t* buffer, int max) = 0;
    // Passes bytes towards the program; returns how many the line took.
    virtual int Send(const uint8_t* bytes, int n) = 0;
    // The line speed the program set (0 when unknown).
    virtual int Baud() = 0;
};

// The far end of an in-memory line (unit tests).
class MemoryRadioLink : public RadioLink {
public:
    explicit MemoryRadioLink(plat::MemoryLine& line) : m_line(line) {}
    int Receive(uint8_t* buffer, int max) override;
    int Send(const uint8_t* bytes, int n) override;
    int Baud() override;

private:
    plat::MemoryLine& m_line;
};

// A pseudo-terminal: the program opens Path(); the radio holds the master
// side and keeps the terminal itself open, so that it and its settings
// survive the program's closing and reopening at another speed. The line
// speed is read from the terminal's settings.
class PtyRadioLink : public RadioLink {
public:
    PtyRadioLink();
    ~PtyRadioLink() override;
    PtyRadioLink(const PtyRadioLink&) = delete;
    PtyRadioLink& operator=(const PtyRadioLink&) = delete;
    bool IsOpen() const { return m_master >= 0; }
    // The reason when the terminal could not be created.
    const std::string& Error() const { return m_error; }
    const std::string& Path() const { return m_path; }
    int Receive(uint8_t* buffer, int max) override;
    int Send(const uint8_t* bytes, int n) override;
    int Baud() override;

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
    std::string m_error;
};

enum class CloneFault {
    None,
    Silence,            // answers nothing at all
    SlowFrames,         // each data frame of a read trickles in over slowFrameMs
    BadChecksum,        // the second data frame of a read has its checksum off by one
    LowercaseHex,       // the second data frame of a read is in lowercase hexadecimal
    MissingAddress,     // a read leaves out one byte in the middle of the memory
    ExtraAddress,       // a read sends one byte beyond the end address
    WrongEndCount,      // the read's end frame counts one frame too many
    RefuseWrite,        // FA instead of FB after the write request
    RefuseBlock,        // FA instead of FB at the first acknowledge point
    WrongWriteEnd,      // the write-end reply is E6 01
    WrongModel,         // the identity reply carries another model code
    WrongPayloadLength, // the payload's length byte is one more than its length
    BadEcho,            // (with echo) the byte after a request's command comes back altered
};

enum class ReadOrder {
    Ascending,
    Descending,
    Interleaved, // the even-numbered frames first, then the odd-numbered ones
};

// What the radio saw and did.
struct CloneRadioStats {
    uint64_t bytesIn = 0;  // taken from the line
    uint64_t bytesOut = 0; // put on the line
    int identifies = 0;
    int lastIdentifyModel = -1; // the model code the last identify asked for
    int readsStarted = 0;
    int readsDone = 0; // end frame sent
    int writesStarted = 0;
    int writesDone = 0;  // write-end reply sent
    bool lastWriteOk = false;
    int passwordFrames = 0;
    int passwordAccepted = 0;
    int parameterExchanges = 0;
    int dataFramesIn = 0;
    int dataFramesOut = 0;
};

class CloneRadio {
public:
    static constexpr int kMemorySize = 0x1FF80;
    static constexpr int kPayloadSize = 127;
    static constexpr int kAckBlock = 128;

    explicit CloneRadio(RadioLink& link);
    ~CloneRadio();
    CloneRadio(const CloneRadio&) = delete;
    CloneRadio& operator=(const CloneRadio&) = delete;

    // Starts and stops polling the line with a timer of the current host.
    void Start(int periodMs = 1);
    void Stop();
    // One poll: take what the line brings (paced), answer, send (paced).
    void Poll();

    // ---- configuration ----
    int modelCode = 0x7148;
    int subCode = 0;
    std::vector<uint8_t> memory;  // kMemorySize bytes
    std::vector<uint8_t> payload; // kPayloadSize bytes, byte 0 the length
    std::string password;         // empty: none asked
    int readBlock = 32;           // data bytes per frame of a read, 1 to 255
    ReadOrder order = ReadOrder::Ascending;
    bool pacing = true;
    bool echo = false; // every byte the program sends comes back (one-wire cable)
    CloneFault fault = CloneFault::None;
    int slowFrameMs = 1500;
    int writeAckDelayMs = 0; // the answer to a write request comes this much later

    // The last address of the memory that a read sends (payload bytes
    // 56-59 and 101-108, hexadecimal text).
    void SetEndAddress(uint32_t last);
    uint32_t EndAddress() const;
    // Whether the radio uses 32-bit addresses (payload byte 109 bit 6).
    void SetExtendedAddressing(bool on);
    // Fills the memory with a reproducible pattern.
    void FillPattern(uint32_t seed);
    // Puts the data records of a clone file (the text of a .icf file: the
    // model and sub code line, '#' lines, then address, count and data in
    // hexadecimal) into the memory. False, with the reason, when a line
    // cannot be read or a record lies outside the memory; the memory is then
    // unchanged.
    bool LoadCloneFile(const std::string& text, std::string* error = nullptr);

    const CloneRadioStats& Stats() const { return m_stats; }
    void ResetStats() { m_stats = {}; }
    // Whether the password frame has unlocked read and write requests.
    bool Unlocked() const { return m_unlocked; }
    // Nothing is being sent or is about to be.
    bool Idle() const;

private:
    struct Block {
        uint32_t address;
        int count;
    };
    void OnByte(uint8_t b);
    void OnFrame(const std::vector<uint8_t>& body);
    void OnParameter(const std::vector<uint8_t>& body);
    void OnDataFrame(const std::vector<uint8_t>& body);
    void OnWriteEnd(const std::vector<uint8_t>& body);
    void Reply(uint8_t command, const std::vector<uint8_t>& bytes);
    void Queue(const std::vector<uint8_t>& bytes);
    void QueueByte(uint8_t b);
    void BeginRead();
    void FillOutput();
    std::vector<uint8_t> DataFrame(uint32_t address, int count, int index) const;
    void EndSession();
    bool Locked() const { return !password.empty() && !m_unlocked; }

    RadioLink& m_link;
    std::unique_ptr<plat::Timer> m_timer;
    uint32_t m_lastPoll = 0;
    double m_inCredit = 0;
    double m_outCredit = 0;
    double m_slowCredit = 0;

    bool m_inFrame = false;
    std::vector<uint8_t> m_rx; // the frame being received, after its FEs
    std::vector<uint8_t> m_out;
    size_t m_outHead = 0;

    bool m_unlocked = false;
    bool m_extended = false; // the parameter exchange asked for 32-bit addresses
    bool m_reading = false;
    std::vector<Block> m_blocks;
    size_t m_nextBlock = 0;
    bool m_writing = false;
    bool m_writeError = false;
    int m_writeFrames = 0;
    int m_acks = 0;
    int m_delayedAck = -1; // the answer to a write request, while it waits
    uint32_t m_delayedAckAt = 0;

    CloneRadioStats m_stats;
};

// The command script that the cloning program runs before an identify, a
// read or a write, in the driver's script language: speed handshakes at
// 38400 and 9600 baud, the clone password frame when one is given, and the
// mode frame. highSpeed chooses the base speed of the transfer; *baseSettings
// and *preamble receive the settings and command preamble that go with it.
std::string CloneScript(int modelCode, bool highSpeed, bool write, const std::string* password,
                        std::string* baseSettings = nullptr, int* preamble = nullptr);

} // namespace qmsim
