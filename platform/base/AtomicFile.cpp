#include "platform/base/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace plat {

namespace {

// Writes everything, retrying short writes and interrupted calls.
bool WriteAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

SaveResult SaveFileAtomically(const std::string& path, std::string_view bytes)
{
    // The folder of the target, so that the rename never crosses file systems.
    const std::string tmp = path + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return SaveResult::CannotCreate;
    bool ok = WriteAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return SaveResult::WriteFailed;
    }
    return SaveResult::Saved;
}

} // namespace plat
