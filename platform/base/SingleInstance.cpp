#include "platform/base/SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace plat {

namespace {

// The name as one file name: no folder separators, never empty.
std::string FileNameOf(const std::string& name)
{
    std::string out = name.empty() ? std::string("instance") : name;
    for (char& c : out)
        if (c == '/' || c == '\0') c = '_';
    return out;
}

} // namespace

std::string SingleInstance::RuntimeLockPath(const std::string& name)
{
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir == nullptr || *dir != '/') return {};
    return std::string(dir) + "/" + FileNameOf(name) + ".lock";
}

std::string SingleInstance::TempLockPath(const std::string& name)
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    return (dir / (FileNameOf(name) + "-" + std::to_string(getuid()) + ".lock")).string();
}

SingleInstance::SingleInstance(const std::string& name)
{
    std::string runtime = RuntimeLockPath(name);
    if (!runtime.empty()) m_state = TryLock(runtime);
    if (m_state == State::Unavailable) m_state = TryLock(TempLockPath(name));
}

SingleInstance::~SingleInstance()
{
    // Closing the descriptor releases the lock; the file stays, so that a
    // process starting at this moment never locks a file about to vanish.
    if (m_fd >= 0) close(m_fd);
}

SingleInstance::State SingleInstance::TryLock(const std::string& path)
{
    m_path = path;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return State::Unavailable;
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_fd = fd;
        return State::Held;
    }
    int err = errno;
    close(fd);
    return err == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
}

} // namespace plat
