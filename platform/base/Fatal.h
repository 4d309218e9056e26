#pragma once
// Configuration faults that ordinary use cannot repair.
//
// Fatal shows the message (a message box with the program's file name as
// caption and the error icon when a window system is up, standard error
// otherwise) and ends the process at once, without running static
// destructors. Tests install a handler that throws FatalError instead, so a
// test fails rather than the runner dying.
#include <functional>
#include <stdexcept>
#include <string>

namespace plat {

[[noreturn]] void Fatal(const std::string& message);

// The program's file name without folder, the caption of fatal messages.
void SetProgramFileName(const std::string& pathOrName);
const std::string& ProgramFileName();

// Shows a fatal message to the user; installed by the window layer once the
// application object exists. Without one, the message goes to standard error.
using FatalPresenter = std::function<void(const std::string& caption, const std::string& message)>;
void SetFatalPresenter(FatalPresenter presenter);

// Replaces the whole fatal path (tests). A handler must not return; if it
// does, the process ends as usual.
using FatalHandler = std::function<void(const std::string& message)>;
FatalHandler SetFatalHandler(FatalHandler handler);

// What the test handler throws.
class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

// Installs a handler that throws FatalError for the lifetime of the guard.
class ScopedThrowingFatal {
public:
    ScopedThrowingFatal();
    ~ScopedThrowingFatal();
    ScopedThrowingFatal(const ScopedThrowingFatal&) = delete;
    ScopedThrowingFatal& operator=(const ScopedThrowingFatal&) = delete;

private:
    FatalHandler m_previous;
};

} // namespace plat
