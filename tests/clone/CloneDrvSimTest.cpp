// The clone driver against the simulated radio over an in-memory line, on the
// manual clock: whole transfers, and every result code provoked from the far
// end of the cable or by the port.
#include "core/cmcCloneDrv.h"
#include "platform/base/MemorySerial.h"
#include "tests/sim/CloneRadio.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kPort = 5;
constexpr int kCloneSize = qmsim::CloneRadio::kMemorySize;

struct Outcome {
    int calls = 0;
    int code = -1;
    int model = 0;
    std::vector<uint8_t> payload;
    std::vector<uint8_t> image;
    bool allReceived = false; // every address of the image
    int received = 0;         // number of addresses received
};

class DriverAndRadio : public ::testing::Test {
protected:
    DriverAndRadio()
    {
        radio.pacing = false;
        radio.Start();
        drv.SetModel(0x7148, 0);
        image.Resize(kCloneSize);
    }

    // The driver set up as the cloning program sets it up for a transfer.
    void Configure(bool highSpeed, bool write, const std::string* password = nullptr, bool extended = true)
    {
        std::string base;
        int preamble = 0;
        drv.SetScript(qmsim::CloneScript(drv.ModelCode(), highSpeed, write, password, &base, &preamble));
        drv.SetPort(kPort, base);
        drv.SetPreamble(preamble);
        drv.SetDataPreamble(0);
        drv.SetEchoCheck(0);
        drv.SetEndFrameCount(1);
        drv.SetWaitWriteAck(1);
        drv.SetAckInterval(128, 0);
        drv.SetDefaultTimeout(write ? 2000 : 1000);
        drv.SetAckTimeout(5000);
        drv.SetParamReplyTimeout(5000);
        drv.SetExtendedAddress(extended);
        drv.SetImageSize(kCloneSize);
        drv.SetPasswordSent(password != nullptr);
    }

    CloneCompletion Record()
    {
        return {[this](void*, dst_CDrv_Result* r) {
                    ++out.calls;
                    out.code = r->ResultCode;
                    out.model = r->ModelCode;
                    out.payload.assign(r->Payload.Data(), r->Payload.Data() + r->Payload.Length());
                    out.image.assign(r->Image.Data(), r->Image.Data() + r->Image.Size());
                    out.received = 0;
                    for (int a = 0; a < r->Image.Size(); ++a) out.received += r->WasReceived(a) ? 1 : 0;
                    out.allReceived = out.received == r->Image.Size();
                },
                nullptr};
    }

    int Finish(uint32_t maxMs = 120000)
    {
        EXPECT_TRUE(time.host.AdvanceUntil([&] { return out.calls > 0; }, maxMs, 10));
        time.Advance(3000); // and nothing more happens
        EXPECT_EQ(out.calls, 1);
        return out.code;
    }
    int Identify()
    {
        out = {};
        drv.SetModel(0, 0);
        Configure(false, false);
        EXPECT_TRUE(drv.StartIdQuery(Record()));
        return Finish();
    }
    int Read(bool highSpeed, int last, const std::string* password = nullptr, bool extended = true)
    {
        out = {};
        Configure(highSpeed, false, password, extended);
        ranges = {{0, last}, {1, 0}};
        EXPECT_TRUE(drv.StartRead(ranges.data(), Record()));
        return Finish();
    }
    int Write(int first, int last, const std::string* password = nullptr, bool extended = true)
    {
        out = {};
        Configure(true, true, password, extended);
        ranges = {{first, last}, {1, 0}};
        EXPECT_TRUE(drv.StartWrite(image, ranges.data(), Record()));
        return Finish();
    }
    std::vector<uint8_t> Memory(int first, int last) const
    {
        return {radio.memory.begin() + first, radio.memory.begin() + last + 1};
    }

    qmtest::ManualTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    qmsim::MemoryRadioLink link{line};
    qmsim::CloneRadio radio{link};
    cmcCloneDrv drv;
    cmcEeprom image;
    std::vector<dst_AdrRange> ranges;
    Outcome out;
};

void FillImage(cmcEeprom& image, uint32_t seed)
{
    for (int a = 0; a < image.Size(); ++a) image.SetByte(a, static_cast<int>((static_cast<uint32_t>(a) * 2654435761u + seed) >> 13));
}

} // namespace

TEST_F(DriverAndRadio, IdentifiesTheRadio)
{
    ASSERT_EQ(Identify(), 0);
    EXPECT_EQ(out.model, 0x7148);
    EXPECT_EQ(drv.ModelCode(), 0x7148);
    ASSERT_EQ(out.payload.size(), 127u);
    EXPECT_EQ(out.payload[0], 127);
    EXPECT_EQ(out.payload[53] & 0x18, 0x10); // no password asked
    EXPECT_EQ(std::string(out.payload.begin() + 101, out.payload.begin() + 109), "0001FF7F");
    // The identify runs at 9600 baud after the script's speed changes.
    EXPECT_EQ(line.settings.baud, 9600);
    EXPECT_EQ(radio.Stats().identifies, 1);

    // What the caller checks arrives as the radio sent it.
    radio.fault = qmsim::CloneFault::WrongModel;
    ASSERT_EQ(Identify(), 0);
    EXPECT_NE(out.model, 0x7148);
    radio.fault = qmsim::CloneFault::WrongPayloadLength;
    ASSERT_EQ(Identify(), 0);
    EXPECT_EQ(out.payload[0], 128);
    radio.password = "1234";
    radio.fault = qmsim::CloneFault::None;
    ASSERT_EQ(Identify(), 0);
    EXPECT_EQ(out.payload[53] & 0x18, 0x08);
}

TEST_F(DriverAndRadio, ReadsTheCloneMemory)
{
    struct Case {
        const char* name;
        bool highSpeed;
        bool extended;
        int last;
        int block;
        qmsim::ReadOrder order;
    };
    const Case cases[] = {
        {"whole area, 38400, 32-bit", true, true, kCloneSize - 1, 32, qmsim::ReadOrder::Ascending},
        {"whole area, 9600, largest odd frames backwards", false, true, kCloneSize - 1, 255, qmsim::ReadOrder::Descending},
        {"part, small frames out of order", true, true, 0x2FFF, 7, qmsim::ReadOrder::Interleaved},
        {"16-bit addresses", false, false, 0xFFFF, 128, qmsim::ReadOrder::Ascending},
    };
    int seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio.FillPattern(static_cast<uint32_t>(++seed));
        radio.SetEndAddress(static_cast<uint32_t>(c.last));
        radio.readBlock = c.block;
        radio.order = c.order;
        ASSERT_EQ(Read(c.highSpeed, c.last, nullptr, c.extended), 0);
        EXPECT_TRUE(std::equal(radio.memory.begin(), radio.memory.begin() + c.last + 1, out.image.begin()));
        EXPECT_EQ(out.received, c.last + 1);
        EXPECT_EQ(line.settings.baud, c.highSpeed ? 38400 : 9600);
        EXPECT_EQ(drv.DataByteCount(), c.last + 1);
        EXPECT_EQ(drv.FrameCount(), (c.last + c.block) / c.block);
    }
}

TEST_F(DriverAndRadio, WritesAnImage)
{
    struct Case {
        const char* name;
        bool extended;
        int first, last;
    };
    const Case cases[] = {
        {"clone area past the header, 32-bit", true, 0x100, kCloneSize - 1},
        {"16-bit addresses", false, 0x10, 0xFFFF},
    };
    uint32_t seed = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FillImage(image, ++seed);
        const std::vector<uint8_t> before = radio.memory;
        ASSERT_EQ(Write(c.first, c.last, nullptr, c.extended), 0);
        EXPECT_TRUE(radio.Stats().lastWriteOk);
        EXPECT_TRUE(std::equal(radio.memory.begin() + c.first, radio.memory.begin() + c.last + 1, image.Data() + c.first));
        EXPECT_TRUE(std::equal(radio.memory.begin(), radio.memory.begin() + c.first, before.begin()));
        EXPECT_TRUE(std::equal(radio.memory.begin() + c.last + 1, radio.memory.end(), before.begin() + c.last + 1));
    }
}

TEST_F(DriverAndRadio, WriteKeepsPaceWithASlowLine)
{
    // The radio takes the bytes at 38400 baud: frames back up on the port and
    // some are still held when an acknowledge point is reached. They must go
    // out before the driver waits, or the radio never acknowledges.
    radio.pacing = true;
    FillImage(image, 21);
    ASSERT_EQ(Write(0x100, 0x17FF), 0);
    EXPECT_TRUE(std::equal(radio.memory.begin() + 0x100, radio.memory.begin() + 0x1800, image.Data() + 0x100));
}

TEST_F(DriverAndRadio, ClonePasswordOpensReadsAndWrites)
{
    radio.password = "QM71";
    radio.SetEndAddress(0x7FF);
    const std::string right = "QM71", wrong = "QM72";
    EXPECT_EQ(Read(true, 0x7FF, &right), 0);
    EXPECT_EQ(radio.Stats().passwordAccepted, 1);
    EXPECT_EQ(Read(true, 0x7FF, &wrong), 19); // the radio keeps silent
    EXPECT_EQ(Read(true, 0x7FF), 5);          // no password sent: a plain time-out
    FillImage(image, 3);
    EXPECT_EQ(Write(0x100, 0x7FF, &right), 0);
    EXPECT_TRUE(std::equal(radio.memory.begin() + 0x100, radio.memory.begin() + 0x800, image.Data() + 0x100));
    EXPECT_EQ(Write(0x100, 0x7FF, &wrong), 19);
}

TEST_F(DriverAndRadio, EveryFailureHasItsResultCode)
{
    enum Op { Identifying, Reading, Writing };
    struct Case {
        const char* name;
        Op op;
        int code;
        qmsim::CloneFault fault = qmsim::CloneFault::None;
        bool echoCheck = false;
        bool radioEchoes = false;
        bool plat::MemoryLine::*portFault = nullptr;
    };
    using F = qmsim::CloneFault;
    const Case cases[] = {
        {"radio silent at identify", Identifying, 5, F::Silence},
        {"radio silent at read", Reading, 5, F::Silence},
        {"slow data frames", Reading, 5, F::SlowFrames},
        {"bad checksum", Reading, 6, F::BadChecksum},
        {"lowercase hexadecimal", Reading, 6, F::LowercaseHex},
        {"end count wrong", Reading, 7, F::WrongEndCount},
        {"a byte missing", Reading, 8, F::MissingAddress},
        {"a byte beyond the range", Reading, 9, F::ExtraAddress},
        {"write refused", Writing, 6, F::RefuseWrite},
        {"block refused", Writing, 6, F::RefuseBlock},
        {"write end refused", Writing, 10, F::WrongWriteEnd},
        {"no echo on the line", Reading, 4, F::None, true, false},
        {"no echo and no answer", Identifying, 4, F::Silence, true, false},
        {"echo altered", Identifying, 4, F::BadEcho, true, true},
        {"echo as expected", Reading, 0, F::None, true, true},
        {"echo during a write", Writing, 0, F::None, true, true},
        {"port cannot be opened", Identifying, 2, F::None, false, false, &plat::MemoryLine::failOpen},
        {"port write error", Writing, 17, F::None, false, false, &plat::MemoryLine::writeError},
    };
    radio.SetEndAddress(0x7FF);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio.fault = c.fault;
        radio.echo = c.radioEchoes;
        if (c.portFault) line.*c.portFault = true;
        out = {};
        switch (c.op) {
        case Identifying:
            drv.SetModel(0, 0);
            Configure(false, false);
            drv.SetEchoCheck(c.echoCheck);
            ASSERT_TRUE(drv.StartIdQuery(Record()));
            break;
        case Reading:
            Configure(true, false);
            drv.SetEchoCheck(c.echoCheck);
            ranges = {{0, 0x7FF}, {1, 0}};
            ASSERT_TRUE(drv.StartRead(ranges.data(), Record()));
            break;
        case Writing:
            Configure(true, true);
            drv.SetEchoCheck(c.echoCheck);
            ranges = {{0x100, 0x7FF}, {1, 0}};
            ASSERT_TRUE(drv.StartWrite(image, ranges.data(), Record()));
            break;
        }
        EXPECT_EQ(Finish(), c.code);
        EXPECT_FALSE(line.isOpen);
        if (c.portFault) line.*c.portFault = false;
        drv.SetModel(0x7148, 0);
    }
}

TEST_F(DriverAndRadio, AnOutputThatNeverLeavesIsAWriteFailure)
{
    // Once the write request is out the system takes no more bytes: the
    // radio never sees the data, the acknowledge wait runs out, and while the
    // driver waits for the output to drain, the port gives up on it.
    radio.SetEndAddress(0x7FF);
    Configure(true, true);
    ranges = {{0x100, 0x7FF}, {1, 0}};
    ASSERT_TRUE(drv.StartWrite(image, ranges.data(), Record()));
    ASSERT_TRUE(time.host.AdvanceUntil([&] { return radio.Stats().writesStarted > 0; }, 10000));
    line.stallOutput = true;
    EXPECT_EQ(Finish(), 17);
    EXPECT_EQ(radio.Stats().dataFramesIn, 0);
}

TEST_F(DriverAndRadio, RadioPacesToTheLineSpeed)
{
    radio.pacing = true;
    radio.SetEndAddress(0xFFF);
    for (bool highSpeed : {true, false}) {
        SCOPED_TRACE(highSpeed);
        const int baud = highSpeed ? 38400 : 9600;
        out = {};
        Configure(highSpeed, false);
        ranges = {{0, 0xFFF}, {1, 0}};
        radio.ResetStats();
        ASSERT_TRUE(drv.StartRead(ranges.data(), Record()));
        ASSERT_TRUE(time.host.AdvanceUntil([&] { return radio.Stats().readsStarted > 0; }, 10000));
        const uint64_t start = time.clock.Time64();
        const uint64_t sentBefore = radio.Stats().bytesOut;
        ASSERT_TRUE(time.host.AdvanceUntil([&] { return out.calls > 0; }, 60000));
        ASSERT_EQ(out.code, 0);
        const double wireMs = static_cast<double>(radio.Stats().bytesOut - sentBefore) * 10000.0 / baud;
        const double tookMs = static_cast<double>(time.clock.Time64() - start);
        EXPECT_GE(tookMs, wireMs);
        EXPECT_LE(tookMs, wireMs * 1.05 + 50);
    }
}
