#include "platform/base/Timer.h"

#include "platform/base/Clock.h"

#include <QObject>
#include <QTimer>

#include <algorithm>

namespace plat {

namespace {

// A QTimer of the thread's event loop. The timer may be destroyed from inside
// its own fire function (a task that deletes itself); the QTimer is then left
// to the event loop to delete once its signal has returned.
class QtTimer : public Timer {
public:
    explicit QtTimer(std::function<void()> onFire) : m_onFire(std::move(onFire))
    {
        m_timer = new QTimer();
        m_timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_timer, &QTimer::timeout, [this] {
            m_firing = true;
            auto alive = m_alive;
            m_onFire();
            if (*alive) m_firing = false;
        });
    }
    ~QtTimer() override
    {
        *m_alive = false;
        m_timer->stop();
        QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
        if (m_firing)
            m_timer->deleteLater();
        else
            delete m_timer;
    }
    void Start(int periodMs) override { m_timer->start(std::max(periodMs, 1)); }
    void Stop() override { m_timer->stop(); }
    bool IsActive() const override { return m_timer->isActive(); }

private:
    std::function<void()> m_onFire;
    QTimer* m_timer;
    bool m_firing = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

class QtTimerHost : public TimerHost {
public:
    std::unique_ptr<Timer> CreateTimer(std::function<void()> onFire) override
    {
        return std::make_unique<QtTimer>(std::move(onFire));
    }
};

QtTimerHost g_qtHost;
TimerHost* g_host = &g_qtHost;

} // namespace

TimerHost& Timers() { return *g_host; }

TimerHost* SetTimerHost(TimerHost* host)
{
    TimerHost* previous = g_host == &g_qtHost ? nullptr : g_host;
    g_host = host ? host : &g_qtHost;
    return previous;
}

class ManualTimer : public Timer {
public:
    ManualTimer(ManualTimerHost& host, uint64_t id) : m_host(host), m_id(id) {}
    ~ManualTimer() override { m_host.m_entries.erase(m_id); }
    void Start(int periodMs) override
    {
        auto& e = m_host.m_entries.at(m_id);
        e.period = std::max(periodMs, 1);
        e.due = m_host.m_clock.Time64() + static_cast<uint64_t>(e.period);
        e.active = true;
    }
    void Stop() override { m_host.m_entries.at(m_id).active = false; }
    bool IsActive() const override { return m_host.m_entries.at(m_id).active; }

private:
    ManualTimerHost& m_host;
    uint64_t m_id;
};

ManualTimerHost::ManualTimerHost(ManualClock& clock) : m_clock(clock) {}

ManualTimerHost::~ManualTimerHost() = default;

std::unique_ptr<Timer> ManualTimerHost::CreateTimer(std::function<void()> onFire)
{
    uint64_t id = m_nextId++;
    m_entries[id].onFire = std::move(onFire);
    return std::make_unique<ManualTimer>(*this, id);
}

void ManualTimerHost::Advance(uint32_t ms)
{
    const uint64_t target = m_clock.Time64() + ms;
    for (;;) {
        // The earliest due timer, ties broken by creation order (map order).
        uint64_t bestId = 0;
        uint64_t bestDue = 0;
        for (auto& [id, e] : m_entries) {
            if (e.active && e.due <= target && (bestId == 0 || e.due < bestDue)) {
                bestId = id;
                bestDue = e.due;
            }
        }
        if (bestId == 0) break;
        if (bestDue > m_clock.Time64()) m_clock.SetTime64(bestDue);
        auto& e = m_entries.at(bestId);
        e.due = m_clock.Time64() + static_cast<uint64_t>(e.period);
        // Copy: the fire function may destroy its own timer.
        auto fire = e.onFire;
        fire();
    }
    if (m_clock.Time64() < target) m_clock.SetTime64(target);
}

bool ManualTimerHost::AdvanceUntil(const std::function<bool()>& pred, uint32_t maxMs, uint32_t stepMs)
{
    uint32_t waited = 0;
    while (!pred()) {
        if (waited >= maxMs) return false;
        Advance(stepMs);
        waited += stepMs;
    }
    return true;
}

int ManualTimerHost::ActiveCount() const
{
    return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(),
                                          [](const auto& kv) { return kv.second.active; }));
}

} // namespace plat
