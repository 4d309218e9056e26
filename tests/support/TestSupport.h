#pragma once
// Helpers shared by the test programs.
#include "platform/base/Clock.h"
#include "platform/base/Fatal.h"
#include "platform/base/Timer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace qmtest {

// Runs fn and returns the message of the fatal error it raised; fails the
// test when it raised none.
template <typename Fn>
std::string FatalMessage(Fn&& fn)
{
    try {
        fn();
    } catch (const plat::FatalError& e) {
        return e.what();
    }
    ADD_FAILURE() << "expected a fatal error";
    return {};
}

// A manual clock and timer host installed for the lifetime of the object.
class ManualTime {
public:
    explicit ManualTime(uint32_t start = 0)
        : clock(start), host(clock), m_clockGuard(clock), m_hostGuard(host) {}
    void Advance(uint32_t ms) { host.Advance(ms); }
    plat::ManualClock clock;
    plat::ManualTimerHost host;

private:
    plat::ScopedClock m_clockGuard;
    plat::ScopedTimerHost m_hostGuard;
};

// A fresh temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Writes text to a file (binary: the bytes as given).
void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);

// A folder under the build tree where tests leave artefacts (screenshots).
std::filesystem::path OutputDir();

} // namespace qmtest
