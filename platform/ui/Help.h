#pragma once
// The help service: shows a topic of the program's help, either the topic
// of one context or the help's contents.
//
// The program's help is a set of HTML pages: the help file names the
// contents page, and the topic of context n is the page "context-<n>.html"
// beside it. The browser viewer opens the page in the desktop's web browser
// (through xdg-open). A handler can be installed in its place: tests install
// one that records the requests.
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

// The page a request shows: the topic page of the context when the help has
// one, else the contents page (the help file itself); empty when the help
// file does not exist.
std::string HelpPage(const HelpRequest& request);
// The file name of the topic page of a context, beside the contents page.
std::string HelpTopicFileName(int context);

// Shows the request's page in the desktop's web browser; false when there
// is no page or no browser could be started.
bool ShowHelpInBrowser(const HelpRequest& request);

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
