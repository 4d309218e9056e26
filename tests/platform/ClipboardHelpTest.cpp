#include "platform/ui/Clipboard.h"
#include "platform/ui/Help.h"

#include "tests/support/TestSupport.h"


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

} // namespace
