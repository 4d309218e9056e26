#include "core/cmcComm.h"
#include "platform/base/MemorySerial.h"
#include "tests/support/TestSupport.h"

#include <numeric>
#include <vector>

namespace {

constexpr int kPort = 4;

class CommOnLine : public ::testing::Test {
protected:
    qmtest::ManualTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    cmcComm comm;
};

std::vector<uint8_t> Sequence(int n)
{
    std::vector<uint8_t> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7 + i / 256);
    return v;
}

} // namespace

TEST_F(CommOnLine, SettingsTextsBecomeLineSettings)
{
    struct Case {
        const char* text;
        int baud, bits;
        char parity;
        int stop;
    };
    const Case cases[] = {
        {"9600,n,8,1", 9600, 8, 'N', 0},  {"38400,N,8,1", 38400, 8, 'N', 0}, {"4800,E,12,2", 4800, 8, 'E', 2},
        {"1200,o,3,1.5", 1200, 4, 'O', 1}, {"19200,N,7,3", 19200, 7, 'N', 0}, {"2400,M,5,1", 2400, 5, 'N', 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(comm.Open(kPort, c.text), 1);
        EXPECT_EQ(line.settings.baud, c.baud);
        EXPECT_EQ(line.settings.dataBits, c.bits);
        EXPECT_EQ(line.settings.parity, c.parity);
        EXPECT_EQ(line.settings.stopBits, c.stop);
        // DTR held off, RTS on; everything waiting at the open is dropped.
        EXPECT_FALSE(line.settings.dtr);
        EXPECT_TRUE(line.settings.rts);
        comm.Close();
    }
    EXPECT_EQ(line.purges, static_cast<int>(std::size(cases)));
}

TEST_F(CommOnLine, OpeningAnOpenPortFailsAndKeepsItsSettings)
{
    ASSERT_EQ(comm.Open(kPort, "38400,N,8,1"), 1);
    EXPECT_EQ(comm.Open(kPort, "9600,N,8,1"), 0);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_EQ(comm.BaudRate(), 38400);
    EXPECT_EQ(line.history.size(), 1u);
    EXPECT_EQ(line.opens, 1);
}

TEST_F(CommOnLine, FailedOpensLeaveThePortClosed)
{
    struct Case {
        const char* name;
        int port;
        const char* settings;
        bool plat::MemoryLine::*fault;
    };
    const Case cases[] = {
        {"no such port", 9, "9600,N,8,1", nullptr},
        {"device refuses", kPort, "9600,N,8,1", &plat::MemoryLine::failOpen},
        {"purge fails", kPort, "9600,N,8,1", &plat::MemoryLine::failPurge},
        {"settings refused", kPort, "9600,N,8,1", &plat::MemoryLine::failConfigure},
        {"no baud rate", kPort, "fast,N,8,1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::MemoryLine& l = serial.ports.Line(kPort);
        l.failOpen = l.failPurge = l.failConfigure = false;
        if (c.fault) l.*c.fault = true;
        EXPECT_EQ(comm.Open(c.port, c.settings), 0);
        EXPECT_FALSE(comm.IsOpen());
        EXPECT_FALSE(l.isOpen);
    }
}

TEST_F(CommOnLine, WriterPassesPiecesOnlyOnceTheSystemQueueIsEmpty)
{
    ASSERT_EQ(comm.Open(kPort, "9600,N,8,1"), 1);
    const std::vector<uint8_t> data = Sequence(3000);
    comm.Write(data.data(), 3000);
    EXPECT_EQ(line.written.size(), 1024u); // the first piece at once
    EXPECT_EQ(comm.PendingOutput(), 3000);

    time.Advance(50); // the system still sends the first piece
    EXPECT_EQ(line.written.size(), 1024u);
    EXPECT_EQ(line.TakeOutput().size(), 1024u);
    time.Advance(9);
    EXPECT_EQ(line.written.size(), 1024u);
    time.Advance(1);
    EXPECT_EQ(line.written.size(), 2048u);
    EXPECT_EQ(line.TakeOutput().size(), 1024u);
    time.Advance(10);
    EXPECT_EQ(line.TakeOutput().size(), 952u);
    EXPECT_EQ(line.written, data);
    EXPECT_EQ(comm.PendingOutput(), 0);
    EXPECT_FALSE(comm.WriteFailed());
    EXPECT_EQ(time.host.ActiveCount(), 0); // the writer stops once nothing is pending
}

TEST_F(CommOnLine, PartialWritesKeepTheRestPending)
{
    ASSERT_EQ(comm.Open(kPort, "38400,N,8,1"), 1);
    line.outputCapacity = 100;
    const std::vector<uint8_t> data = Sequence(700);
    comm.Write(data.data(), 300);
    comm.Write(data.data() + 300, 400);
    EXPECT_EQ(line.written.size(), 100u);
    std::vector<uint8_t> far;
    for (int i = 0; i < 20 && far.size() < data.size(); ++i) {
        auto got = line.TakeOutput(60); // a slow far end
        far.insert(far.end(), got.begin(), got.end());
        time.Advance(10);
    }
    EXPECT_EQ(far, data);
    EXPECT_FALSE(comm.WriteFailed());
}

TEST_F(CommOnLine, ReadTakesWhatWaitsAndNeverWaits)
{
    ASSERT_EQ(comm.Open(kPort, "9600,N,8,1"), 1);
    uint8_t buf[100];
    EXPECT_EQ(comm.Read(buf, 100), 0);
    line.Feed(std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(comm.InQueue(), 7);
    EXPECT_EQ(comm.Read(buf, 3), 3);
    EXPECT_EQ(comm.Read(buf, 100), 4);
    EXPECT_EQ(buf[3], 7);
    line.Feed(std::vector<uint8_t>{9});
    line.readError = true;
    EXPECT_EQ(comm.Read(buf, 100), 0);
    line.readError = false;
    comm.Close();
    EXPECT_EQ(comm.Read(buf, 100), 0);
    EXPECT_EQ(comm.InQueue(), 0);
}

TEST_F(CommOnLine, PendingOutputIsZeroOnlyWhenBothQueuesAreEmpty)
{
    ASSERT_EQ(comm.Open(kPort, "9600,N,8,1"), 1);
    const std::vector<uint8_t> data = Sequence(1100);
    comm.Write(data.data(), 1100);
    EXPECT_EQ(comm.OutQueue(), 1024);
    EXPECT_EQ(comm.PendingOutput(), 1100);
    line.TakeOutput();
    EXPECT_EQ(comm.PendingOutput(), 76); // only our own buffer
    time.Advance(10);
    EXPECT_EQ(comm.OutQueue(), 76);
    EXPECT_EQ(comm.PendingOutput(), 76); // only the system's queue
    line.TakeOutput(75);
    EXPECT_EQ(comm.PendingOutput(), 1);
    line.TakeOutput();
    EXPECT_EQ(comm.PendingOutput(), 0);
}

TEST_F(CommOnLine, WriteFailsOnADeviceErrorAndOnlyThen)
{
    ASSERT_EQ(comm.Open(kPort, "9600,N,8,1"), 1);
    line.writeError = true;
    comm.Write("\x01\x02", 2);
    EXPECT_TRUE(comm.WriteFailed());
    EXPECT_EQ(comm.PendingOutput(), 2); // the bytes stay
    comm.Close();
    EXPECT_FALSE(comm.WriteFailed());
    EXPECT_EQ(comm.PendingOutput(), 0);
    comm.Write("\x01", 1); // a closed port drops bytes
    EXPECT_TRUE(line.written.empty());
}

TEST_F(CommOnLine, OutputWithoutProgressFailsAfterTheWriteTimeout)
{
    // 9600 baud: 10 ms per byte of the piece plus 3000 ms.
    struct Case {
        const char* name;
        bool stallOutput; // the system takes nothing
    };
    for (const Case& c : {Case{"system takes nothing", true}, Case{"system queue never drains", false}}) {
        SCOPED_TRACE(c.name);
        line.toFar.clear();
        ASSERT_EQ(comm.Open(kPort, "9600,N,8,1"), 1);
        line.stallOutput = c.stallOutput;
        if (!c.stallOutput) {
            comm.Write("\x55", 1); // sits in the system's queue; nobody takes it
        }
        const std::vector<uint8_t> data = Sequence(50);
        comm.Write(data.data(), 50);
        time.Advance(3000 + 500 - 20);
        EXPECT_FALSE(comm.WriteFailed());
        time.Advance(30);
        EXPECT_TRUE(comm.WriteFailed());
        comm.Close();
        line.stallOutput = false;
    }
}

TEST_F(CommOnLine, ASlowButMovingQueueIsNotAFailure)
{
    ASSERT_EQ(comm.Open(kPort, "38400,N,8,1"), 1);
    const std::vector<uint8_t> data = Sequence(2000);
    comm.Write(data.data(), 2000);
    std::vector<uint8_t> far;
    // One byte every 10 ms: a piece takes longer than its write time-out
    // (2 ms a byte plus 3000 ms), but the queue keeps shrinking.
    while (far.size() < data.size() && time.clock.Time64() < 60'000) {
        auto got = line.TakeOutput(1);
        far.insert(far.end(), got.begin(), got.end());
        time.Advance(10);
        ASSERT_FALSE(comm.WriteFailed()) << far.size();
    }
    EXPECT_EQ(far, data);
}
