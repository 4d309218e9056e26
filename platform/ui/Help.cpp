#include "platform/ui/Help.h"

#include <utility>

namespace plat {

namespace {
HelpHandler& Handler()
{
    static HelpHandler handler;
    return handler;
}
} // namespace

bool ShowHelp(const std::string& file, unsigned command, int data)
{
    const HelpHandler& handler = Handler();
    if (!handler) return false;
    return handler(HelpRequest{file, command, data});
}

HelpHandler SetHelpHandler(HelpHandler handler)
{
    HelpHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

} // namespace plat
