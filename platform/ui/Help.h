#pragma once
// The help service: shows a topic of a help file, either as a small pop-up
// for one context or as the file's contents.
//
// The program has no help viewer yet, so a request shows nothing and
// answers false. A handler can be installed in its place: the help feature
// will install its viewer there, and tests install one that records the
// requests.
#include <functional>
#include <string>
#include <utility>

namespace plat {

// What a request asks for (the values of the classic help commands).
inline constexpr unsigned HELP_CONTEXTPOPUP = 8; // data: the context number
inline constexpr unsigned HELP_FINDER = 11;      // the contents; data unused

struct HelpRequest {
    std::string file;
    unsigned command = 0;
    int data = 0;
};

// Passes the request to the installed handler; false when there is none or
// it could not show the help.
bool ShowHelp(const std::string& file, unsigned command, int data);

using HelpHandler = std::function<bool(const HelpRequest& request)>;
// Installs the handler (empty: none) and returns the previous one.
HelpHandler SetHelpHandler(HelpHandler handler);

// Installs a handler for the lifetime of the guard.
class ScopedHelpHandler {
public:
    explicit ScopedHelpHandler(HelpHandler handler) : m_previous(SetHelpHandler(std::move(handler))) {}
    ~ScopedHelpHandler() { SetHelpHandler(std::move(m_previous)); }
    ScopedHelpHandler(const ScopedHelpHandler&) = delete;
    ScopedHelpHandler& operator=(const ScopedHelpHandler&) = delete;

private:
    HelpHandler m_previous;
};

} // namespace plat
