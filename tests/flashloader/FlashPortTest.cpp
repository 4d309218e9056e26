#include "flashloader/cmcComm.h"
#include "flashloader/cmcTick.h"
#include "platform/base/MemorySerial.h"
#include "tests/support/TestSupport.h"

#include <vector>

TEST(FlashTick, CountsDownOnTheMillisecondClockAcrossItsWrap)
{
    qmtest::ManualTime time(0xFFFFFFFFu - 199u);
    fl::cmcTick tick;
    EXPECT_EQ(tick.Remaining(), 0u); // never started
    tick.Start(1000);
    time.Advance(500);
    EXPECT_EQ(tick.Remaining(), 500u);
    time.Advance(500);
    EXPECT_EQ(tick.Remaining(), 0u);
    EXPECT_FALSE(tick.IsActive());
    time.Advance(0x7FFFFFFF);
    EXPECT_EQ(tick.Remaining(), 0u);
    tick.Start(0);
    EXPECT_EQ(tick.Remaining(), 0u);
}

TEST(FlashComm, OpensARaw8N1LineWithModemLinesOffAndChangesSpeedInPlace)
{
    qmtest::ManualTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(3);
    fl::cmcComm port;

    ASSERT_EQ(port.Open(3, "38400"), 1);
    EXPECT_EQ(line.settings.baud, 38400);
    EXPECT_EQ(line.settings.dataBits, 8);
    EXPECT_EQ(line.settings.parity, 'N');
    EXPECT_EQ(line.settings.stopBits, 0);
    EXPECT_FALSE(line.settings.dtr);
    EXPECT_FALSE(line.settings.rts);
    EXPECT_EQ(line.purges, 1);

    EXPECT_EQ(port.Open(3, "9600"), 0); // open already: the old settings stay
    EXPECT_EQ(line.settings.baud, 38400);

    EXPECT_TRUE(port.SetBaud(9600));
    EXPECT_EQ(line.settings.baud, 9600);
    EXPECT_EQ(line.opens, 1); // not reopened

    port.Close();
    EXPECT_FALSE(port.SetBaud(38400));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(line.isOpen);
    EXPECT_EQ(line.opens, 1);
}

TEST(FlashComm, AFailedOpenLeavesThePortClosed)
{
    qmtest::ManualTime time;
    struct Case {
        const char* name;
        int port;
        const char* baud;
        bool failOpen, failPurge, failConfigure;
    };
    const Case cases[] = {
        {"no such port", 9, "9600", false, false, false},
        {"device refuses", 1, "9600", true, false, false},
        {"purge fails", 1, "9600", false, true, false},
        {"configuration fails", 1, "38400", false, false, true},
        {"baud text is no number", 1, "fast", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::ScopedMemorySerial serial;
        plat::MemoryLine& line = serial.ports.Line(1);
        line.failOpen = c.failOpen;
        line.failPurge = c.failPurge;
        line.failConfigure = c.failConfigure;
        fl::cmcComm port;
        EXPECT_EQ(port.Open(c.port, c.baud), 0);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(line.isOpen);
    }
}

TEST(FlashComm, HandsOutputOverInPiecesOnceTheSystemQueueIsEmpty)
{
    qmtest::ManualTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(1);
    fl::cmcComm port;
    ASSERT_EQ(port.Open(1, "9600"), 1);

    std::vector<uint8_t> bytes(3000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    port.Write(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(line.written.size(), 1024u); // at once
    EXPECT_EQ(port.PendingOutput(), 3000);

    std::vector<size_t> pieces = {line.TakeOutput().size()};
    time.Advance(50); // the system queue is empty: the next piece goes
    pieces.push_back(line.TakeOutput().size());
    time.Advance(5);
    EXPECT_EQ(line.OutputWaiting(), 0u); // not before 10 ms
    time.Advance(5);
    pieces.push_back(line.TakeOutput().size());
    EXPECT_EQ(pieces, (std::vector<size_t>{1024, 1024, 952}));
    EXPECT_EQ(line.written, bytes);
    EXPECT_EQ(port.PendingOutput(), 0);
}

TEST(FlashComm, APartlyTakenWriteStaysPendingAndADeviceErrorFails)
{
    qmtest::ManualTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(1);
    line.outputCapacity = 100;
    fl::cmcComm port;
    ASSERT_EQ(port.Open(1, "9600"), 1);

    std::vector<uint8_t> bytes(300, 0x5A);
    port.Write(bytes.data(), 300);
    EXPECT_EQ(line.written.size(), 100u);
    EXPECT_FALSE(port.WriteFailed());
    for (int i = 0; i < 5; ++i) {
        line.TakeOutput();
        time.Advance(10);
    }
    EXPECT_EQ(line.written.size(), 300u);
    EXPECT_FALSE(port.WriteFailed());

    line.writeError = true;
    port.Write(bytes.data(), 1);
    EXPECT_TRUE(port.WriteFailed());
    port.Close();
    EXPECT_FALSE(port.WriteFailed());

    port.Write(bytes.data(), 5); // closed: dropped
    EXPECT_EQ(port.PendingOutput(), 0);
}

TEST(FlashComm, ReadsWhatWaitsWithoutWaiting)
{
    qmtest::ManualTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(1);
    fl::cmcComm port;
    uint8_t buffer[100];
    EXPECT_EQ(port.Read(buffer, 100), 0); // closed
    ASSERT_EQ(port.Open(1, "9600"), 1);
    line.Feed(std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(port.InQueue(), 7);
    EXPECT_EQ(port.Read(buffer, 100), 7);
    EXPECT_EQ(buffer[6], 7);
    EXPECT_EQ(port.Read(buffer, 100), 0);
    line.Feed(std::vector<uint8_t>{9});
    line.readError = true;
    EXPECT_EQ(port.Read(buffer, 100), 0);
}
