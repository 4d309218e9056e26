// The program's pictures and image lists: every picture exists, is drawn,
// differs from the others, and the marks leave the node's picture visible.
#include "platform/ui/Artwork.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/QtCanvas.h"
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace plat;

TEST(Artwork, ThirtyThreeDistinctPicturesNoneBlank)
{
    const auto& names = ArtworkNames();
    ASSERT_EQ(names.size(), 33u);
    EXPECT_EQ(names.front(), "imgIcon_Bar_Com1");
    EXPECT_EQ(names.back(), "imgIcon_Bar_Page_Zoom");
    std::set<std::string> seen;
    std::vector<QImage> pictures;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(seen.insert(name).second);
        QImage image = ArtworkImage(name);
        ASSERT_EQ(image.size(), QSize(16, 16));
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) drawn += qAlpha(image.pixel(x, y)) == 255;
        EXPECT_GE(drawn, 30);
        for (const QImage& other : pictures) EXPECT_NE(image, other);
        pictures.push_back(image);
    }
    EXPECT_TRUE(ArtworkImage("imgIcon_Nothing").isNull());

    // The marks lie in the lower right corner only.
    for (const char* mark : {"imgIcon_Tree_WarnE_RB", "imgIcon_Tree_WarnW_RB"}) {
        QImage image = ArtworkImage(mark);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if (x < 7 || y < 7) {
                    EXPECT_EQ(qAlpha(image.pixel(x, y)), 0) << mark << " " << x << "," << y;
                }
            }
    }
}

TEST(ImageList, DrawsPicturesAndOverlaysAtAPoint)
{
    ImageList list;
    EXPECT_EQ(list.AddArtwork("imgIcon_Tree_Bank0"), 0);
    EXPECT_EQ(list.AddArtwork("imgIcon_Tree_WarnE_RB"), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.OverlayImage(0), -1);
    list.SetOverlay(0, 1);
    EXPECT_EQ(list.OverlayImage(0), 1);
    EXPECT_THROW(list.AddArtwork("imgIcon_Bar_Nothing"), FatalError);

    // The whole artwork at 1:1 and a bank with its error mark, drawn
    // through a canvas.
    ImageList all;
    for (const std::string& name : ArtworkNames()) all.AddArtwork(name);
    QImage sheet(32 * 20 + 4, 44, QImage::Format_RGB32);
    sheet.fill(QColor(240, 240, 240));
    {
        QPainter painter(&sheet);
        QtCanvas canvas(&sheet);
        canvas.BeginPaint(&painter);
        for (int i = 0; i < all.Count(); ++i) all.Draw(canvas, 4 + i * 20, 4, i);
        list.Draw(canvas, 4, 24, 0, 0);
        list.Draw(canvas, 24, 24, 0);
        all.Draw(canvas, 44, 24, 99); // outside the list: nothing
        canvas.EndPaint();
    }
    sheet.save(QString::fromStdString((qmtest::OutputDir() / "artwork.png").string()));
    EXPECT_EQ(sheet.pixelColor(4 + 13, 24 + 11), QColor(217, 52, 43));  // the mark over the bank
    EXPECT_EQ(sheet.pixelColor(24 + 13, 24 + 11), QColor(37, 163, 163)); // the bank alone
    EXPECT_EQ(sheet.pixelColor(4 + 3, 24 + 3), QColor(37, 163, 163));    // the bank under the mark
    EXPECT_EQ(sheet.pixelColor(44 + 8, 24 + 8), QColor(240, 240, 240));
}
