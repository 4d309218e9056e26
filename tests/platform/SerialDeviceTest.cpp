#include "platform/base/SerialDevice.h"
#include "tests/support/TestSupport.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Pty {
    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        grantpt(master);
        unlockpt(master);
        path = ptsname(master);
    }
    ~Pty() { close(master); }
    int master;
    std::string path;
};

// Polls until pred() holds; false when it still does not after two seconds.
// The terminal passes bytes on in its own time.
template <typename Pred>
bool Eventually(Pred pred)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        usleep(1000);
    }
    return true;
}

} // namespace

TEST(SerialDevice, ComPortNumbersResolveToDevices)
{
    unsetenv("QM_COM3");
    unsetenv("QM_COM7");
    EXPECT_EQ(plat::ComPortPath(1), "/dev/ttyS0");
    EXPECT_EQ(plat::ComPortPath(4), "/dev/ttyS3");
    EXPECT_EQ(plat::ComPortPath(5), "/dev/ttyUSB0");
    EXPECT_EQ(plat::ComPortPath(7), "/dev/ttyUSB2");
    EXPECT_EQ(plat::ComPortPath(0), "");
    setenv("QM_COM3", "/tmp/some-pty", 1);
    EXPECT_EQ(plat::ComPortPath(3), "/tmp/some-pty");
    unsetenv("QM_COM3");
}

TEST(SerialDevice, PseudoTerminalCarriesBytesBothWaysWithoutWaiting)
{
    Pty pty;
    setenv("QM_COM9", pty.path.c_str(), 1);
    std::string error;
    auto dev = plat::SerialPorts().Open(9, &error);
    unsetenv("QM_COM9");
    ASSERT_NE(dev, nullptr) << error;
    ASSERT_TRUE(dev->Configure({38400, 8, 'N', 0, false, false}));
    char buf[64];
    EXPECT_EQ(dev->Read(buf, sizeof buf), 0); // nothing waits: no blocking
    ASSERT_EQ(write(pty.master, "\xFE\xFE\xFD", 3), 3);
    ASSERT_TRUE(Eventually([&] { return dev->InQueue() == 3; }));
    EXPECT_EQ(dev->Read(buf, 2), 2);
    EXPECT_EQ(dev->Read(buf, sizeof buf), 1);
    EXPECT_EQ(static_cast<uint8_t>(buf[0]), 0xFD);
    EXPECT_EQ(dev->Write("\x00\x80\xFF", 3), 3); // raw 8-bit, no translation
    std::vector<uint8_t> got;
    ASSERT_TRUE(Eventually([&] {
        unsigned char part[8];
        ssize_t n = read(pty.master, part, sizeof part);
        if (n > 0) got.insert(got.end(), part, part + n);
        return got.size() >= 3;
    }));
    EXPECT_EQ(got, (std::vector<uint8_t>{0x00, 0x80, 0xFF}));
    dev.reset();
    // Reopening while the other end stays open works (a change of speed).
    EXPECT_NE(plat::OpenSerialPath(pty.path, nullptr), nullptr);
}

// A port is reopened for a change of speed and purged as it opens. Bytes
// written just before stay on their way: a pseudo-terminal holds them for its
// far end, where a real line would have sent them already.
TEST(SerialDevice, ThePurgeOfAReopenedPortKeepsWhatWasWrittenBefore)
{
    Pty pty;
    const std::vector<uint8_t> sent = {0xFE, 0xFE, 0xE0, 0x71, 0xFD};
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        std::string error;
        auto dev = plat::OpenSerialPath(pty.path, &error);
        ASSERT_NE(dev, nullptr) << error;
        ASSERT_TRUE(dev->Configure({9600, 8, 'N', 0, false, false}));
        ASSERT_EQ(dev->Write(sent.data(), int(sent.size())), int(sent.size()));
        dev.reset();
        dev = plat::OpenSerialPath(pty.path, &error);
        ASSERT_NE(dev, nullptr) << error;
        ASSERT_TRUE(dev->Configure({38400, 8, 'N', 0, false, false}));
        ASSERT_TRUE(dev->Purge());
        std::vector<uint8_t> got;
        ASSERT_TRUE(Eventually([&] {
            unsigned char part[16];
            ssize_t n = read(pty.master, part, sizeof part);
            if (n > 0) got.insert(got.end(), part, part + n);
            return got.size() >= sent.size();
        })) << got.size() << " bytes arrived";
        EXPECT_EQ(got, sent);
    }
}

TEST(SerialDevice, OpenFailureGivesTheSystemReason)
{
    // The reason is the system's text of the error number, in the user's
    // language: compare it with the text of the number expected.
    std::string error;
    EXPECT_EQ(plat::OpenSerialPath("/nonexistent/ttyX", &error), nullptr);
    EXPECT_EQ(error, std::strerror(ENOENT));
    EXPECT_EQ(plat::OpenSerialPath("/dev/null", &error), nullptr);
    EXPECT_EQ(error, std::strerror(ENOTTY));
}
