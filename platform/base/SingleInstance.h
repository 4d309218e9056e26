#pragma once
// One running instance per user: a lock file held with an exclusive flock
// for the life of the object.
//
// The file lies in $XDG_RUNTIME_DIR, else in the temporary folder (there
// with the user id in its name, since that folder is shared). The kernel
// drops the lock when the holding process ends in any way, so a lock left by
// a process that died never blocks the next start. A second holder of the
// same name, in another process or in this one, is refused while the first
// lives.
#include <string>

namespace plat {

class SingleInstance {
public:
    enum class State {
        Held,          // this object holds the lock
        HeldElsewhere, // another holder has it: start refused
        Unavailable    // no lock file could be opened or locked at all
    };

    explicit SingleInstance(const std::string& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    State GetState() const { return m_state; }
    // The file this object locks (or tried last).
    const std::string& LockPath() const { return m_path; }

    // The folders tried, in order, for a lock of the given name.
    static std::string RuntimeLockPath(const std::string& name);
    static std::string TempLockPath(const std::string& name);

private:
    State TryLock(const std::string& path);

    std::string m_path;
    int m_fd = -1;
    State m_state = State::Unavailable;
};

} // namespace plat
