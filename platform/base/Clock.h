#pragma once
// The millisecond clock and the plain sleep of both programs.
//
// GetTickCount is a 32-bit count of milliseconds from a monotonic clock; it
// wraps after about 49.7 days, so durations are always computed as unsigned
// differences (TickElapsed). Sleep blocks the calling thread and processes
// no events. Tests install a ManualClock, whose Sleep only moves its time on.
#include <cstdint>

namespace plat {

class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual uint32_t Now() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// The current clock; the monotonic system clock unless a test installed one.
uint32_t GetTickCount();
void Sleep(uint32_t ms);

// Installs a clock (nullptr restores the system clock); returns the previous
// one (nullptr when it was the system clock).
ClockSource* SetClockSource(ClockSource* clock);

// Milliseconds from `from` to `to` modulo 2^32: correct across a wrap.
inline uint32_t TickElapsed(uint32_t from, uint32_t to) { return to - from; }

// A clock that moves only when told to. It keeps a 64-bit time internally
// and reports the low 32 bits, so a test can start it just before the wrap.
class ManualClock : public ClockSource {
public:
    explicit ManualClock(uint32_t start = 0) : m_time(start) {}
    uint32_t Now() override { return static_cast<uint32_t>(m_time); }
    void Sleep(uint32_t ms) override { m_time += ms; }
    void Advance(uint32_t ms) { m_time += ms; }
    uint64_t Time64() const { return m_time; }
    void SetTime64(uint64_t t) { m_time = t; }

private:
    uint64_t m_time;
};

// Installs a clock for the lifetime of the guard (tests).
class ScopedClock {
public:
    explicit ScopedClock(ClockSource& clock) : m_previous(SetClockSource(&clock)) {}
    ~ScopedClock() { SetClockSource(m_previous); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    ClockSource* m_previous;
};

} // namespace plat
