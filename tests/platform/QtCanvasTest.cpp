#include "platform/ui/QtCanvas.h"

#include "tests/support/TestSupport.h"

#include <QFontMetrics>
#include <QImage>

namespace {

QImage ImageAt(int dpi)
{
    QImage image(200, 100, QImage::Format_RGB32);
    int dotsPerMeter = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

TEST(QtCanvas, FontHeightsAreDevicePixels)
{
    QImage screen = ImageAt(96);
    QImage printer = ImageAt(300);
    plat::QtCanvas onScreen(&screen);
    plat::QtCanvas onPrinter(&printer);
    EXPECT_EQ(onScreen.GetFont().pixelsPerInch, 96);
    EXPECT_EQ(onPrinter.GetFont().pixelsPerInch, 300);

    // A negative height is the character height in pixels.
    onScreen.GetFont().height = -17;
    EXPECT_EQ(onScreen.CurrentQFont().pixelSize(), 17);

    // A positive height is the cell height: the largest size whose line fits.
    for (int cellHeight : {5, 12, 20, 40}) {
        plat::Font font;
        font.height = cellHeight;
        QFont q = plat::ToQFont(font, &screen);
        EXPECT_LE(QFontMetrics(q, &screen).height(), cellHeight) << cellHeight;
        if (q.pixelSize() < cellHeight) {
            QFont larger = q;
            larger.setPixelSize(q.pixelSize() + 1);
            EXPECT_GT(QFontMetrics(larger, &screen).height(), cellHeight) << cellHeight;
        }
    }

    // The same point size takes about three times the pixels at 300 dpi.
    onScreen.GetFont().SetSize(10);
    onPrinter.GetFont().SetSize(10);
    EXPECT_EQ(onScreen.GetFont().height, -13);
    EXPECT_EQ(onPrinter.GetFont().height, -42);
    EXPECT_GT(onPrinter.TextHeight("Ag"), 2 * onScreen.TextHeight("Ag"));
    EXPECT_GT(onPrinter.TextWidth("Sample"), 2 * onScreen.TextWidth("Sample"));

    // A pixel height is the same number of pixels on the printer.
    onPrinter.GetFont().height = -30;
    EXPECT_EQ(onPrinter.CurrentQFont().pixelSize(), 30);
}

TEST(QtCanvas, StyleAndPitch)
{
    QImage screen = ImageAt(96);
    plat::Font font;
    font.name = "DejaVu Serif";
    font.style = plat::fsBold | plat::fsUnderline;
    QFont q = plat::ToQFont(font, &screen);
    EXPECT_EQ(q.family(), "DejaVu Serif");
    EXPECT_TRUE(q.bold());
    EXPECT_FALSE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.strikeOut());

    font.style = plat::fsItalic | plat::fsStrikeOut;
    font.name.clear();
    font.pitch = plat::FontPitch::fpFixed;
    q = plat::ToQFont(font, &screen);
    EXPECT_FALSE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_TRUE(q.strikeOut());
    EXPECT_EQ(QFontMetrics(q, &screen).horizontalAdvance("iiii"), QFontMetrics(q, &screen).horizontalAdvance("WWWW"));
}

TEST(QtCanvas, MeasuresUtf8TextInTheCurrentFont)
{
    QImage screen = ImageAt(96);
    plat::QtCanvas canvas(&screen);
    canvas.GetFont().height = -16;

    plat::Size empty = canvas.TextExtent("");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_GT(empty.cy, 0);
    EXPECT_GT(canvas.TextWidth("WW"), canvas.TextWidth("W"));
    // "é" is two bytes but one character.
    EXPECT_EQ(canvas.TextWidth("éé"), 2 * canvas.TextWidth("é"));
    EXPECT_LT(canvas.TextWidth("é"), canvas.TextWidth("Ã©"));

    // Changing the canvas's font changes what is measured next.
    int before = canvas.TextWidth("Sample");
    canvas.GetFont().height = -32;
    EXPECT_GT(canvas.TextWidth("Sample"), before);
    canvas.GetFont().style = plat::fsBold;
    EXPECT_TRUE(canvas.CurrentQFont().bold());
}

} // namespace
