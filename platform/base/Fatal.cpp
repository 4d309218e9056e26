#include "platform/base/Fatal.h"

#include <cstdio>
#include <cstdlib>

namespace plat {

namespace {

std::string& ProgramName()
{
    static std::string name;
    return name;
}

FatalPresenter& Presenter()
{
    static FatalPresenter presenter;
    return presenter;
}

FatalHandler& Handler()
{
    static FatalHandler handler;
    return handler;
}

} // namespace

void SetProgramFileName(const std::string& pathOrName)
{
    auto slash = pathOrName.find_last_of('/');
    ProgramName() = slash == std::string::npos ? pathOrName : pathOrName.substr(slash + 1);
}

const std::string& ProgramFileName() { return ProgramName(); }

void SetFatalPresenter(FatalPresenter presenter) { Presenter() = std::move(presenter); }

FatalHandler SetFatalHandler(FatalHandler handler)
{
    FatalHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

void Fatal(const std::string& message)
{
    if (Handler()) Handler()(message);
    if (Presenter()) {
        Presenter()(ProgramFileName(), message);
    } else {
        std::fprintf(stderr, "%s: %s\n", ProgramFileName().c_str(), message.c_str());
        std::fflush(stderr);
    }
    std::_Exit(1);
}

ScopedThrowingFatal::ScopedThrowingFatal()
    : m_previous(SetFatalHandler([](const std::string& message) { throw FatalError(message); }))
{
}

ScopedThrowingFatal::~ScopedThrowingFatal() { SetFatalHandler(std::move(m_previous)); }

} // namespace plat
