#include "platform/base/UserMessage.h"

#include <cstdio>
#include <utility>

namespace plat {

namespace {

UserMessageFunction& Installed()
{
    static UserMessageFunction function;
    return function;
}

} // namespace

UserMessageFunction SetUserMessageFunction(UserMessageFunction function)
{
    UserMessageFunction previous = std::move(Installed());
    Installed() = std::move(function);
    return previous;
}

int UserMessage(const std::string& text, const std::string& caption, unsigned flags)
{
    if (Installed()) return Installed()(text, caption, flags);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return IDOK;
}

} // namespace plat
