#pragma once
// The flash loader's millisecond countdown.
//
// It counts on the platform's monotonic millisecond clock (plat::GetTickCount),
// which already has millisecond resolution: there is no timer resolution to
// raise while a countdown exists.
#include <cstdint>

namespace fl {

class cmcTick {
public:
    cmcTick() { Reset(); }

    // Duration 0, start 0, inactive.
    void Reset();
    void Start(uint32_t ms);
    // Milliseconds left; 0 when inactive or once expired (the countdown then
    // becomes inactive). The elapsed time is taken modulo 2^32, so a wrap of
    // the clock does not matter.
    uint32_t Remaining();
    bool IsActive() const { return m_active; }

private:
    uint32_t m_duration;
    uint32_t m_start;
    bool m_active;
};

} // namespace fl
