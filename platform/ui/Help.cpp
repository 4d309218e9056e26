#include "platform/ui/Help.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include <filesystem>
#include <system_error>
#include <utility>

namespace plat {

namespace {
HelpHandler& Handler()
{
    static HelpHandler handler;
    return handler;
}

bool IsFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
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

std::string HelpTopicFileName(int context) { return "context-" + std::to_string(context) + ".html"; }

std::string HelpPage(const HelpRequest& request)
{
    const std::filesystem::path contents(request.file);
    if (request.file.empty() || !IsFile(contents)) return std::string();
    if (request.command == HELP_CONTEXTPOPUP && request.data > 0) {
        const std::filesystem::path topic = contents.parent_path() / HelpTopicFileName(request.data);
        if (IsFile(topic)) return topic.string();
    }
    return contents.string();
}

bool ShowHelpInBrowser(const HelpRequest& request)
{
    const std::string page = HelpPage(request);
    if (page.empty()) return false;
    const std::filesystem::path absolute = std::filesystem::absolute(page);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(absolute.string())));
}

} // namespace plat
