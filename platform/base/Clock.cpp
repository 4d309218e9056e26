#include "platform/base/Clock.h"

#include <chrono>
#include <thread>

namespace plat {

namespace {

class SystemClock : public ClockSource {
public:
    uint32_t Now() override
    {
        using namespace std::chrono;
        auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        return static_cast<uint32_t>(static_cast<uint64_t>(ms));
    }
    void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

SystemClock g_systemClock;
ClockSource* g_clock = &g_systemClock;

} // namespace

uint32_t GetTickCount() { return g_clock->Now(); }

void Sleep(uint32_t ms) { g_clock->Sleep(ms); }

ClockSource* SetClockSource(ClockSource* clock)
{
    ClockSource* previous = g_clock == &g_systemClock ? nullptr : g_clock;
    g_clock = clock ? clock : &g_systemClock;
    return previous;
}

} // namespace plat
