// The COM port on a real terminal device: a pseudo-terminal stands in for the
// cable, its master side for the radio.
#include "core/cmcComm.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kPort = 11;

class CommOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        setenv("QM_COM11", ptsname(master), 1);
    }
    void TearDown() override
    {
        unsetenv("QM_COM11");
        if (master >= 0) close(master);
    }
    // Runs the event loop until pred() holds or 2 s pass.
    template <typename Pred>
    bool Until(Pred pred)
    {
        QElapsedTimer t;
        t.start();
        while (!pred() && t.elapsed() < 2000) {
            QCoreApplication::processEvents();
            usleep(1000);
        }
        return pred();
    }
    int master = -1;
    cmcComm comm;
};

} // namespace

TEST_F(CommOnPty, CarriesRawBytesAtTheSpeedItWasOpenedWith)
{
    ASSERT_EQ(comm.Open(kPort, "38400,N,8,1"), 1);
    termios t{};
    ASSERT_EQ(tcgetattr(master, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B38400);

    // All 256 byte values both ways, untranslated; reads never wait.
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    uint8_t buf[512];
    EXPECT_EQ(comm.Read(buf, sizeof buf), 0);
    ASSERT_EQ(write(master, all.data(), all.size()), 256);
    ASSERT_TRUE(Until([&] { return comm.InQueue() == 256; }));
    EXPECT_EQ(comm.Read(buf, sizeof buf), 256);
    EXPECT_TRUE(std::equal(all.begin(), all.end(), buf));

    comm.Write(all.data(), 256);
    std::vector<uint8_t> got;
    ASSERT_TRUE(Until([&] {
        ssize_t n = read(master, buf, sizeof buf);
        if (n > 0) got.insert(got.end(), buf, buf + n);
        return got.size() >= all.size();
    }));
    EXPECT_EQ(got, all);
    EXPECT_EQ(comm.PendingOutput(), 0);
    EXPECT_FALSE(comm.WriteFailed());

    // Reopening at another speed works while the other end stays open.
    comm.Close();
    ASSERT_EQ(comm.Open(kPort, "9600,N,8,1"), 1);
    ASSERT_EQ(tcgetattr(master, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B9600);
}

TEST_F(CommOnPty, SettingsTheTerminalCannotTakeFailTheOpen)
{
    for (const char* settings : {"9600,N,3,1", "12345,N,8,1"}) {
        SCOPED_TRACE(settings);
        EXPECT_EQ(comm.Open(kPort, settings), 0);
        EXPECT_FALSE(comm.IsOpen());
    }
    EXPECT_EQ(comm.Open(kPort, "9600,N,8,1"), 1);
}
