#pragma once
// Periodic and deferred work on the user-interface thread: a repeating timer
// that calls one callback.
#include <functional>
#include <memory>

namespace plat {
class Timer;
}

class cmcTask;

// Called as callback(data, task); an empty callback is never called.
using TaskCallback = std::function<void(void* data, cmcTask* task)>;

class cmcTask {
public:
    cmcTask();
    ~cmcTask();
    cmcTask(const cmcTask&) = delete;
    cmcTask& operator=(const cmcTask&) = delete;

    void SetCallback(TaskCallback callback, void* data);
    // A negative interval disables the timer; any other value enables it with
    // a period of max(interval, 1) ms. Returns whether the timer is disabled.
    bool Schedule(int interval);
    // Clears callback and data and disables the timer.
    void Cancel();
    // The task deletes itself in a later timer event, never while its own
    // callback is on the stack. Only for tasks created with new.
    void DeleteLater();
    // For owners: cancels the task and deletes it now, or later when its
    // callback is running (the owner may be called from inside it).
    void Dispose();

    // The timer event.
    void OnTimer();

    int Interval() const { return m_interval; }
    bool IsStopped() const { return m_stopped; }
    bool IsRunning() const { return m_running; }
    bool IsDeletePending() const { return m_deletePending; }

private:
    std::unique_ptr<plat::Timer> m_timer;
    TaskCallback m_callback;
    void* m_data = nullptr;
    int m_interval = -1;
    bool m_running = false;
    bool m_deletePending = false;
    bool m_stopped = true;
};
