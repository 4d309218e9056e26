#pragma once
// An in-memory serial line for unit tests: the program opens it as COM port
// n through a MemorySerialPorts opener; the far end (a simulated radio or
// the test) reads what the program wrote and feeds what the program reads.
// The line outlives the program's open and close, like a cable.
#include "platform/base/SerialDevice.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace plat {

class MemoryLine {
public:
    // ---- the far end ----
    // Takes at most max bytes of what the program wrote (they leave the
    // program's output queue).
    std::vector<uint8_t> TakeOutput(size_t max = SIZE_MAX);
    size_t OutputWaiting() const { return toFar.size(); }
    // Bytes the program will read.
    void Feed(const std::vector<uint8_t>& bytes) { toProgram.insert(toProgram.end(), bytes.begin(), bytes.end()); }
    void Feed(const std::string& bytes) { toProgram.insert(toProgram.end(), bytes.begin(), bytes.end()); }

    // ---- state the test may look at or set ----
    bool isOpen = false;
    int opens = 0;
    int purges = 0;
    SerialSettings settings;          // the last settings applied
    std::vector<SerialSettings> history; // every Configure call
    size_t outputCapacity = 4096;     // system output queue size
    // Faults on request.
    bool failOpen = false;
    bool failConfigure = false;
    bool failPurge = false;
    bool writeError = false; // Write answers -1
    bool readError = false;  // Read answers -1
    bool stallOutput = false; // Write accepts nothing
    std::string openError = "No such file or directory";

    std::deque<uint8_t> toFar;     // written by the program, not yet taken
    std::deque<uint8_t> toProgram; // fed, not yet read by the program
    std::vector<uint8_t> written;  // everything the program ever wrote
};

class MemorySerialPorts : public SerialOpener {
public:
    MemoryLine& Line(int portNumber) { return m_lines[portNumber]; }
    bool HasLine(int portNumber) const { return m_lines.count(portNumber) != 0; }
    // Only ports that have a line can be opened; a line opens once at a time.
    std::unique_ptr<SerialDevice> Open(int portNumber, std::string* error) override;

private:
    std::map<int, MemoryLine> m_lines;
};

// Installs an in-memory opener for the lifetime of the guard.
class ScopedMemorySerial {
public:
    ScopedMemorySerial() : m_previous(SetSerialPorts(&ports)) {}
    ~ScopedMemorySerial() { SetSerialPorts(m_previous); }
    ScopedMemorySerial(const ScopedMemorySerial&) = delete;
    ScopedMemorySerial& operator=(const ScopedMemorySerial&) = delete;
    MemorySerialPorts ports;

private:
    SerialOpener* m_previous;
};

} // namespace plat
