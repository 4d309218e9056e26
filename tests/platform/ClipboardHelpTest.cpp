#include "platform/ui/Clipboard.h"
#include "platform/ui/Help.h"

#include "tests/support/TestSupport.h"


#include <filesystem>
#include <fstream>
#include <vector>

namespace {

TEST(Clipboard, TextGoesOnAndComesBack)
{
    plat::SetClipboardText("0012345678");
    EXPECT_EQ(plat::ClipboardText(), "0012345678");
    plat::SetClipboardText("Zone 1 \xC3\xA9");
    EXPECT_EQ(plat::ClipboardText(), "Zone 1 \xC3\xA9");
}

TEST(Help, RequestsReachTheInstalledHandlerOnly)
{
    EXPECT_FALSE(plat::ShowHelp("QM7148H.HLP", plat::HELP_CONTEXTPOPUP, 12));
    std::vector<plat::HelpRequest> seen;
    {
        plat::ScopedHelpHandler handler([&](const plat::HelpRequest& r) {
            seen.push_back(r);
            return true;
        });
        EXPECT_TRUE(plat::ShowHelp("/opt/QM7148H.HLP", plat::HELP_CONTEXTPOPUP, 12));
    }
    EXPECT_FALSE(plat::ShowHelp("QM7148H.HLP", plat::HELP_FINDER, 0));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].file, "/opt/QM7148H.HLP");
    EXPECT_EQ(seen[0].command, plat::HELP_CONTEXTPOPUP);
    EXPECT_EQ(seen[0].data, 12);
}

// The page a request opens: the context's topic page when the help has
// one, else the contents; nothing when the help is not installed.
TEST(Help, RequestsOpenTheTopicPageOrTheContents)
{
    qmtest::TempDir dir;
    const std::filesystem::path contents = dir.Path() / "help" / "index.html";
    const std::string file = contents.string();
    EXPECT_EQ(plat::HelpPage({file, plat::HELP_FINDER, 0}), "");

    std::filesystem::create_directories(contents.parent_path());
    std::ofstream(contents) << "<html></html>";
    std::ofstream(contents.parent_path() / "context-1001.html") << "<html></html>";
    const std::string topic = (contents.parent_path() / "context-1001.html").string();

    struct Case {
        unsigned command;
        int data;
        std::string page;
    } const cases[] = {
        {plat::HELP_FINDER, 0, file},
        {plat::HELP_FINDER, 1001, file},
        {plat::HELP_CONTEXTPOPUP, 1001, topic},
        {plat::HELP_CONTEXTPOPUP, 1002, file}, // no topic page: the contents
        {plat::HELP_CONTEXTPOPUP, 0, file},
        {plat::HELP_CONTEXTPOPUP, -5, file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.command) + "/" + std::to_string(c.data));
        EXPECT_EQ(plat::HelpPage({file, c.command, c.data}), c.page);
    }
}

} // namespace
