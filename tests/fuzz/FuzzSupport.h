#pragma once
// What the fuzz targets share.
//
// Configuration faults end the programs through plat::Fatal; for a bad
// overlay that is the expected answer, not a finding. The targets run with a
// fatal handler that throws plat::FatalError, catch it, and drop the object
// that raised it, as the program would have ended there.
//
// A finding that no sanitizer sees (a result that breaks a rule, a driver
// that never finishes) goes through Finding, which aborts: libFuzzer then
// keeps the input like any crash.
#include "platform/base/Clock.h"
#include "platform/base/Fatal.h"
#include "platform/base/Timer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qmfuzz {

// Installs the throwing fatal handler for the whole run (call from the
// target's set-up, once).
void InstallThrowingFatal();

// Reports a broken rule and aborts.
[[noreturn]] void Finding(const std::string& what);
inline void Require(bool holds, const std::string& what)
{
    if (!holds) Finding(what);
}

// A manual clock and timer host for one input: simulated time, so that a
// driver's time-outs cost no real time.
class SimulatedTime {
public:
    SimulatedTime() : host(clock), m_clockGuard(clock), m_hostGuard(host) {}
    void Advance(uint32_t ms) { host.Advance(ms); }
    uint64_t Now() const { return clock.Time64(); }
    plat::ManualClock clock;
    plat::ManualTimerHost host;

private:
    plat::ScopedClock m_clockGuard;
    plat::ScopedTimerHost m_hostGuard;
};

// Reads an input front to back: small numbers, then texts and byte runs;
// past the end every read gives zeros or empty texts.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    size_t Left() const { return m_size - m_pos; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(Byte() << 8 | Byte()); }
    int32_t I32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
        return static_cast<int32_t>(v);
    }
    // The next n bytes (fewer at the end).
    std::string_view Bytes(size_t n);
    // Up to the next byte `end` (not included, and consumed) or the end of
    // the input.
    std::string_view Until(char end);
    std::string_view Rest() { return Bytes(Left()); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace qmfuzz
