#include "platform/ui/Clipboard.h"
#include "platform/ui/Help.h"
#include "platform/ui/QtCanvas.h"

#include "tests/support/TestSupport.h"

#include <QImage>

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

TEST(QtCanvas, FillsAndFramesWithExclusiveEdges)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        plat::QtCanvas canvas(&image);
        canvas.FillRect({2, 3, 6, 5}, plat::clRed);
        canvas.FrameRect({10, 10, 14, 13}, plat::clWindowText);
    }
    EXPECT_EQ(image.pixelColor(2, 3), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(5, 4), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(6, 4), QColor(255, 255, 255));  // right edge exclusive
    EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 255, 255));  // bottom edge exclusive
    EXPECT_EQ(image.pixelColor(10, 10), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(13, 12), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(11, 11), QColor(255, 255, 255)); // the inside stays
    EXPECT_EQ(image.pixelColor(14, 12), QColor(255, 255, 255));
}

} // namespace
