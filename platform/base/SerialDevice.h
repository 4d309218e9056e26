#pragma once
// The serial device under both programs' COM ports.
//
// COM port number n resolves to a device path: the environment variable
// QM_COM<n> when set (a full path; tests point it at a pseudo-terminal), else
// /dev/ttyS<n-1> for n of 1 to 4 and /dev/ttyUSB<n-5> for n of 5 and more.
// Devices are raw 8-bit lines whose reads never wait. A write may accept
// fewer bytes than offered (the system queue is full): that is not a failure,
// the caller keeps the rest and tries again later.
#include <cstdint>
#include <memory>
#include <string>

namespace plat {

struct SerialSettings {
    int baud = 9600;
    int dataBits = 8;  // 5 to 8
    char parity = 'N'; // 'N' none, 'E' even, 'O' odd
    int stopBits = 0;  // 0 one, 1 one and a half, 2 two
    bool dtr = false;  // modem lines, where the device has them
    bool rts = false;
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // Applies line settings; false on failure.
    virtual bool Configure(const SerialSettings& settings) = 0;
    // Drops what waits in both directions; false on failure.
    virtual bool Purge() = 0;
    // Reads up to max bytes without waiting: the count read, 0 when nothing
    // waits, -1 on a device error.
    virtual int Read(void* buffer, int max) = 0;
    // Passes up to n bytes to the system: the count accepted (0 when its
    // queue is full), -1 on a device error.
    virtual int Write(const void* bytes, int n) = 0;
    // Bytes waiting in the system's input and output queues; -1 on failure.
    virtual int InQueue() = 0;
    virtual int OutQueue() = 0;
    // Waits at most maxMs for the output queue to drain (before a close).
    virtual void Drain(uint32_t maxMs) = 0;
};

// Opens COM ports by number. The programs use the device rule above; tests
// install an opener of in-memory lines.
class SerialOpener {
public:
    virtual ~SerialOpener() = default;
    // nullptr on failure, with the reason in *error when error is given.
    virtual std::unique_ptr<SerialDevice> Open(int portNumber, std::string* error) = 0;
};

SerialOpener& SerialPorts();
// Installs an opener (nullptr restores the device opener); returns the
// previous one (nullptr when it was the device opener).
SerialOpener* SetSerialPorts(SerialOpener* opener);

// The device path of COM port n (see above); "" for n below 1.
std::string ComPortPath(int portNumber);

// Opens a terminal device by path (termios, raw, non-blocking, exclusive).
// On failure the system's reason goes to standard error and into *error.
std::unique_ptr<SerialDevice> OpenSerialPath(const std::string& path, std::string* error);

} // namespace plat
