#pragma once
// A millisecond countdown that periodic work polls.
#include <cstdint>

class cmcTick {
public:
    cmcTick() { Reset(); }
    ~cmcTick() = default;

    void Reset();
    void Start(uint32_t ms);
    // Milliseconds left; 0 once expired (the countdown then becomes inactive)
    // or when it was never started. Correct across a wrap of the clock.
    uint32_t Remaining();
    bool IsActive() const { return m_active; }

private:
    uint32_t m_duration;
    uint32_t m_start;
    bool m_active;
};
