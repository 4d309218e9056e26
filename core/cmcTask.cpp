#include "core/cmcTask.h"

#include "platform/base/Timer.h"

cmcTask::cmcTask()
{
    m_timer = plat::Timers().CreateTimer([this] { OnTimer(); });
    Schedule(-1);
}

cmcTask::~cmcTask() = default;

void cmcTask::SetCallback(TaskCallback callback, void* data)
{
    m_callback = std::move(callback);
    m_data = data;
}

bool cmcTask::Schedule(int interval)
{
    m_interval = interval;
    if (interval < 0) {
        m_timer->Stop();
        m_stopped = true;
    } else {
        m_timer->Start(interval < 1 ? 1 : interval);
        m_stopped = false;
    }
    return m_stopped;
}

void cmcTask::Cancel()
{
    m_callback = nullptr;
    m_data = nullptr;
    Schedule(-1);
}

void cmcTask::DeleteLater()
{
    m_deletePending = true;
    Schedule(1);
}

void cmcTask::Dispose()
{
    Cancel();
    if (m_running)
        DeleteLater();
    else
        delete this;
}

void cmcTask::OnTimer()
{
    if (m_deletePending) {
        // A timer event delivered by a nested loop inside the callback must
        // not free the task under it: the deletion waits for a later event.
        if (!m_running) delete this;
        return;
    }
    if (m_running || !m_callback) return;
    m_running = true;
    // The callback may replace or clear itself; call a copy.
    TaskCallback callback = m_callback;
    callback(m_data, this);
    m_running = false;
}
