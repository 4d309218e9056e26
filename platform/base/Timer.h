#pragma once
// Repeating timers on the one user-interface thread.
//
// A Timer calls its fire function every period until it is stopped. The
// programs use the Qt host (timers of the running event loop); tests use a
// ManualTimerHost, which fires due timers while a ManualClock is advanced,
// so that no test sleeps to wait for a time-out.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace plat {

class ManualClock;

class Timer {
public:
    virtual ~Timer() = default;
    // (Re)starts the timer with the given period (at least 1 ms).
    virtual void Start(int periodMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

class TimerHost {
public:
    virtual ~TimerHost() = default;
    virtual std::unique_ptr<Timer> CreateTimer(std::function<void()> onFire) = 0;
};

// The current host: the Qt host unless a test installed another.
TimerHost& Timers();
// Installs a host (nullptr restores the Qt host); returns the previous one
// (nullptr when it was the Qt host).
TimerHost* SetTimerHost(TimerHost* host);

// Timers that fire only while Advance moves the manual clock on. Due timers
// fire in order of their due time (ties in order of creation), each at the
// moment it is due; a periodic timer is due again one period after it fired.
// Advance may be called again from inside a fire function (a nested loop).
class ManualTimerHost : public TimerHost {
public:
    explicit ManualTimerHost(ManualClock& clock);
    ~ManualTimerHost() override;

    std::unique_ptr<Timer> CreateTimer(std::function<void()> onFire) override;

    // Moves the clock on by ms, firing every timer that falls due.
    void Advance(uint32_t ms);
    // Advances in steps until pred() holds or maxMs have passed; returns pred().
    bool AdvanceUntil(const std::function<bool()>& pred, uint32_t maxMs, uint32_t stepMs = 1);
    // Number of timers that are running.
    int ActiveCount() const;
    ManualClock& Clock() { return m_clock; }

private:
    friend class ManualTimer;
    struct Entry {
        std::function<void()> onFire;
        bool active = false;
        int period = 0;
        uint64_t due = 0;
    };
    ManualClock& m_clock;
    uint64_t m_nextId = 1;
    std::map<uint64_t, Entry> m_entries;
};

// Installs a timer host for the lifetime of the guard (tests).
class ScopedTimerHost {
public:
    explicit ScopedTimerHost(TimerHost& host) : m_previous(SetTimerHost(&host)) {}
    ~ScopedTimerHost() { SetTimerHost(m_previous); }
    ScopedTimerHost(const ScopedTimerHost&) = delete;
    ScopedTimerHost& operator=(const ScopedTimerHost&) = delete;

private:
    TimerHost* m_previous;
};

} // namespace plat
