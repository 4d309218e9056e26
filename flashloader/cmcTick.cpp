#include "flashloader/cmcTick.h"

#include "platform/base/Clock.h"

namespace fl {

void cmcTick::Reset()
{
    m_duration = 0;
    m_start = 0;
    m_active = false;
}

void cmcTick::Start(uint32_t ms)
{
    m_duration = ms;
    m_start = plat::GetTickCount();
    m_active = true;
}

uint32_t cmcTick::Remaining()
{
    if (!m_active) return 0;
    uint32_t elapsed = plat::TickElapsed(m_start, plat::GetTickCount());
    if (elapsed < m_duration) return m_duration - elapsed;
    m_active = false;
    return 0;
}

} // namespace fl
