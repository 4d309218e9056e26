#include "platform/base/SerialDevice.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace plat {

namespace {

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

class TermiosDevice : public SerialDevice {
public:
    explicit TermiosDevice(int fd) : m_fd(fd) {}
    ~TermiosDevice() override
    {
        // The exclusive mode outlives the descriptor while the other end of a
        // pseudo-terminal stays open; clear it so the port can be reopened.
        (void)ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
    }

    bool Configure(const SerialSettings& s) override
    {
        speed_t speed = SpeedOf(s.baud);
        if (speed == B0) return false;
        if (s.dataBits < 5 || s.dataBits > 8) return false; // a terminal has no other sizes
        termios t{};
        if (tcgetattr(m_fd, &t) != 0) return false;
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
        switch (s.dataBits) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        default: t.c_cflag |= CS8; break;
        }
        if (s.parity == 'E' || s.parity == 'e') t.c_cflag |= PARENB;
        if (s.parity == 'O' || s.parity == 'o') t.c_cflag |= PARENB | PARODD;
        if (s.stopBits != 0) t.c_cflag |= CSTOPB;
        t.c_iflag &= ~(IXON | IXOFF | IXANY);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) return false;
        if (tcsetattr(m_fd, TCSANOW, &t) != 0) return false;
        // Modem lines: a pseudo-terminal has none, so a failure is ignored.
        int dtr = TIOCM_DTR, rts = TIOCM_RTS;
        (void)ioctl(m_fd, s.dtr ? TIOCMBIS : TIOCMBIC, &dtr);
        (void)ioctl(m_fd, s.rts ? TIOCMBIS : TIOCMBIC, &rts);
        return true;
    }

    bool Purge() override
    {
        // Output is discarded only while some waits to be sent. A
        // pseudo-terminal never reports any waiting, yet its flush destroys
        // bytes its far end has still to read: bytes that a real line would
        // have carried already.
        if (tcflush(m_fd, TCIFLUSH) != 0) return false;
        return OutQueue() <= 0 || tcflush(m_fd, TCOFLUSH) == 0;
    }

    int Read(void* buffer, int max) override
    {
        if (max <= 0) return 0;
        ssize_t n = ::read(m_fd, buffer, static_cast<size_t>(max));
        if (n >= 0) return static_cast<int>(n);
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
        return -1;
    }

    int Write(const void* bytes, int n) override
    {
        if (n <= 0) return 0;
        ssize_t w = ::write(m_fd, bytes, static_cast<size_t>(n));
        if (w >= 0) return static_cast<int>(w);
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
        return -1;
    }

    int InQueue() override
    {
        int n = 0;
        return ioctl(m_fd, FIONREAD, &n) == 0 ? n : -1;
    }

    int OutQueue() override
    {
        int n = 0;
        return ioctl(m_fd, TIOCOUTQ, &n) == 0 ? n : -1;
    }

    void Drain(uint32_t maxMs) override
    {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
        while (OutQueue() > 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

private:
    int m_fd;
};

class DeviceOpener : public SerialOpener {
public:
    std::unique_ptr<SerialDevice> Open(int portNumber, std::string* error) override
    {
        std::string path = ComPortPath(portNumber);
        if (path.empty()) {
            if (error) *error = "invalid port number";
            return nullptr;
        }
        return OpenSerialPath(path, error);
    }
};

DeviceOpener g_deviceOpener;
SerialOpener* g_opener = &g_deviceOpener;

} // namespace

SerialOpener& SerialPorts() { return *g_opener; }

SerialOpener* SetSerialPorts(SerialOpener* opener)
{
    SerialOpener* previous = g_opener == &g_deviceOpener ? nullptr : g_opener;
    g_opener = opener ? opener : &g_deviceOpener;
    return previous;
}

std::string ComPortPath(int portNumber)
{
    if (portNumber < 1) return {};
    std::string var = "QM_COM" + std::to_string(portNumber);
    if (const char* env = std::getenv(var.c_str()); env != nullptr && *env != '\0') return env;
    if (portNumber <= 4) return "/dev/ttyS" + std::to_string(portNumber - 1);
    return "/dev/ttyUSB" + std::to_string(portNumber - 5);
}

std::unique_ptr<SerialDevice> OpenSerialPath(const std::string& path, std::string* error)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && !isatty(fd)) {
        ::close(fd);
        fd = -1;
        errno = ENOTTY;
    }
    if (fd >= 0 && ioctl(fd, TIOCEXCL) != 0 && errno == EBUSY) {
        ::close(fd);
        fd = -1;
        errno = EBUSY;
    }
    if (fd < 0) {
        std::string reason = std::strerror(errno);
        std::fprintf(stderr, "%s: %s\n", path.c_str(), reason.c_str());
        if (error) *error = reason;
        return nullptr;
    }
    return std::make_unique<TermiosDevice>(fd);
}

} // namespace plat
