#include "platform/ui/QtCanvas.h"

#include "tests/support/TestSupport.h"

#include <QFontMetrics>
#include <QImage>

#include <limits>

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

TEST(QtCanvas, FontHeightsAtTheEndsOfTheIntRange)
{
    // A layout's font spec can ask for any height; the conversion neither
    // overflows nor gives a size below 1.
    QImage screen = ImageAt(96);
    for (int height : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), -std::numeric_limits<int>::max()}) {
        plat::Font font;
        font.height = height;
        EXPECT_GE(plat::ToQFont(font, &screen).pixelSize(), 1) << height;
    }
    plat::Font font;
    font.height = std::numeric_limits<int>::min();
    EXPECT_EQ(plat::ToQFont(font, &screen).pixelSize(), std::numeric_limits<int>::max());
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

// ---- drawing ----

#include "platform/base/RecordingCanvas.h"
#include "platform/ui/ImageList.h"

#include <QPainter>

namespace {

// A white image with a canvas painting on it for the life of the object.
struct Surface {
    QImage image;
    QPainter painter;
    plat::QtCanvas canvas;
    explicit Surface(int width = 60, int height = 40)
        : image(ImageAt(96).copy(0, 0, width, height)), painter(), canvas(&image)
    {
        image.fill(Qt::white);
        painter.begin(&image);
        canvas.BeginPaint(&painter);
    }
    ~Surface() { Finish(); }
    const QImage& Finish()
    {
        if (painter.isActive()) {
            canvas.EndPaint();
            painter.end();
        }
        return image;
    }
    int Count(const QColor& color, const plat::Rect& area) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += image.pixelColor(x, y) == color;
        return n;
    }
};

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kBlack(0, 0, 0);
const QColor kLime(0, 255, 0);

} // namespace

TEST(QtCanvas, RectanglesAndLinesArePixelExact)
{
    Surface s;
    plat::Canvas& c = s.canvas;
    c.GetBrush() = {plat::clRed, plat::bsSolid};
    c.FillRect({2, 3, 7, 6}); // 5 x 3, right and bottom edges left out
    c.GetBrush().color = plat::clBlue;
    c.FrameRect({10, 10, 15, 14});
    c.GetBrush().style = plat::bsClear;
    c.FillRect({30, 0, 40, 10}); // a clear brush fills nothing
    c.FrameRect({30, 0, 40, 10});
    c.GetPen() = {plat::clBlack, 1};
    c.MoveTo(0, 20);
    c.LineTo(5, 20); // the end point is not drawn
    c.LineTo(5, 25);
    EXPECT_EQ(c.PenPos(), (plat::Point{5, 25}));
    const QImage& image = s.Finish();

    EXPECT_EQ(s.Count(kRed, {0, 0, 60, 40}), 15);
    EXPECT_EQ(image.pixelColor(2, 3), kRed);
    EXPECT_EQ(image.pixelColor(6, 5), kRed);
    EXPECT_EQ(image.pixelColor(7, 5), kWhite);
    EXPECT_EQ(image.pixelColor(6, 6), kWhite);
    EXPECT_EQ(s.Count(kBlue, {0, 0, 60, 40}), 14); // the frame of 5 x 4 only
    EXPECT_EQ(image.pixelColor(11, 11), kWhite);
    EXPECT_EQ(s.Count(kWhite, {30, 0, 40, 10}), 100);
    EXPECT_EQ(s.Count(kBlack, {0, 20, 6, 26}), 10);
    EXPECT_EQ(image.pixelColor(5, 25), kWhite);
    EXPECT_EQ(image.pixelColor(4, 20), kBlack);
    EXPECT_EQ(image.pixelColor(5, 20), kBlack); // the second line starts there
}

TEST(QtCanvas, PolygonWithoutSmoothing)
{
    Surface s;
    plat::Canvas& c = s.canvas;
    c.GetPen() = {plat::clBlack, 1};
    c.GetBrush() = {plat::clLime, plat::bsSolid};
    c.Polygon({{5, 5}, {35, 5}, {20, 30}});
    c.GetBrush().style = plat::bsClear;
    c.Polygon({{40, 5}, {55, 5}, {55, 20}, {40, 20}});
    const QImage& image = s.Finish();
    // Only the three colours: no blended edge pixels.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            EXPECT_TRUE(p == kWhite || p == kBlack || p == kLime) << x << "," << y;
        }
    EXPECT_EQ(image.pixelColor(20, 12), kLime);
    EXPECT_EQ(image.pixelColor(20, 5), kBlack);
    EXPECT_EQ(image.pixelColor(47, 12), kWhite); // clear brush: outline only
    EXPECT_EQ(image.pixelColor(40, 12), kBlack);
}

TEST(QtCanvas, TextOutMovesThePenAndTextRectClips)
{
    Surface s(120, 40);
    plat::Canvas& c = s.canvas;
    c.GetFont().height = -16;
    c.GetFont().color = plat::clBlack;
    c.GetBrush() = {plat::clYellow, plat::bsSolid};
    c.TextOut(2, 2, "Wide");
    const plat::Size extent = c.TextExtent("Wide");
    EXPECT_EQ(c.PenPos(), (plat::Point{2 + extent.cx, 2}));
    c.GetBrush().style = plat::bsClear;
    c.TextRect({60, 2, 70, 30}, 55, 2, "WWWW"); // starts left of the clip: cut on both sides
    EXPECT_EQ(c.PenPos(), (plat::Point{2 + extent.cx, 2}));
    const QImage& image = s.Finish();

    // A solid brush lies under the text: the extent is yellow or ink.
    const plat::Rect written{2, 2, 2 + extent.cx, 2 + extent.cy};
    EXPECT_EQ(s.Count(kWhite, written), 0);
    EXPECT_GT(s.Count(QColor(255, 255, 0), written), 0);
    int ink = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool inClip = x >= 60 && x < 70 && y >= 2 && y < 30;
            const bool inFirst = x >= written.left && x < written.right && y >= written.top && y < written.bottom;
            if (!inClip && !inFirst) {
                EXPECT_EQ(image.pixelColor(x, y), kWhite) << x << "," << y;
            }
            if (inClip) ink += image.pixelColor(x, y).lightness() < 128;
        }
    EXPECT_GT(ink, 0);
}

TEST(QtCanvas, ClippingAndImages)
{
    Surface s;
    plat::Canvas& c = s.canvas;
    plat::ImageList images(nullptr, 16, 16);
    QImage magenta(8, 8, QImage::Format_RGB32); // scaled to the list's size
    magenta.fill(QColor(255, 0, 255));
    ASSERT_EQ(images.AddImage(magenta), 0);
    c.SetClipRect(plat::Rect{10, 10, 20, 20});
    c.GetBrush() = {plat::clRed, plat::bsSolid};
    c.FillRect({0, 0, 60, 40});
    c.SetClipRect(std::nullopt);
    c.Draw(30, 5, images, 0);
    c.Draw(30, 25, images, 1); // not in the list: nothing
    EXPECT_EQ(s.Count(kRed, {0, 0, 60, 40}), 100);
    EXPECT_EQ(s.Count(QColor(255, 0, 255), {0, 0, 60, 40}), 256);
    EXPECT_EQ(s.Finish().pixelColor(30, 5), QColor(255, 0, 255));
}

TEST(QtCanvas, WithoutPainterItOnlyMeasures)
{
    QImage image = ImageAt(96);
    image.fill(Qt::white);
    plat::QtCanvas canvas(&image);
    canvas.GetBrush() = {plat::clRed, plat::bsSolid};
    canvas.FillRect({0, 0, 50, 50});
    canvas.TextOut(10, 10, "abc");
    EXPECT_EQ(canvas.PenPos(), (plat::Point{10 + canvas.TextWidth("abc"), 10}));
    canvas.MoveTo(0, 0);
    canvas.LineTo(20, 20);
    EXPECT_EQ(image.pixelColor(5, 5), kWhite);
    EXPECT_EQ(image.pixelColor(15, 15), kWhite);
}

TEST(SystemColors, FixedTableResolvesSymbolicColours)
{
    EXPECT_EQ(plat::ColorToRGB(plat::clWindow), plat::clWhite);
    EXPECT_EQ(plat::ColorToRGB(plat::clWindowText), plat::clBlack);
    EXPECT_EQ(plat::ColorToRGB(plat::clHighlight), plat::RGB(0, 120, 215));
    EXPECT_EQ(plat::ColorToRGB(plat::clBtnFace), plat::RGB(240, 240, 240));
    EXPECT_EQ(plat::ColorToRGB(plat::clRed), plat::clRed);
    EXPECT_EQ(plat::ColorToRGB(0x02123456), 0x123456u); // a stray top byte is dropped
    EXPECT_EQ(plat::SysColor(-1), plat::clBlack);
    EXPECT_EQ(plat::ColorToRGB(0x80000000u + 400), plat::clBlack);
    EXPECT_EQ(plat::ToQColor(plat::clHightlightText), kWhite);
}

TEST(RecordingCanvas, NotesEachCallWithItsStateAndMeasuresWithoutFonts)
{
    plat::RecordingCanvas alone;
    alone.GetFont().height = -12;
    EXPECT_EQ(alone.TextExtent("abé"), (plat::Size{18, 12}));
    alone.GetFont().height = 0;
    EXPECT_EQ(alone.TextExtent(""), (plat::Size{0, 11}));
    alone.GetFont().height = -12;
    alone.GetFont().color = plat::clRed;
    alone.GetBrush().style = plat::bsClear;
    alone.TextOut(5, 6, "Bank");
    EXPECT_EQ(alone.PenPos(), (plat::Point{5 + 24, 6}));
    alone.GetBrush() = {plat::clBlack, plat::bsSolid};
    alone.FillRect({0, 0, 0, 10}); // empty: not drawn, not noted
    alone.FillRect({0, 0, 4, 10});
    alone.Polygon({{0, 0}, {3, 0}, {0, 3}});
    ASSERT_EQ(alone.Calls().size(), 3u);
    const plat::DrawCall& text = alone.Calls()[0];
    EXPECT_EQ(text.kind, plat::DrawCall::TextOut);
    EXPECT_EQ(text.at, (plat::Point{5, 6}));
    EXPECT_EQ(text.font.color, plat::clRed);
    EXPECT_EQ(text.brush.style, plat::bsClear);
    EXPECT_EQ(alone.Calls()[1].rect, (plat::Rect{0, 0, 4, 10}));
    EXPECT_EQ(alone.Calls()[2].points.size(), 3u);
    EXPECT_EQ(alone.Texts(), std::vector<std::string>{"Bank"});

    // Through an image's canvas: noted and drawn, measured in the real font.
    Surface s;
    plat::RecordingCanvas through(s.canvas);
    through.GetFont().height = -14;
    const plat::Size measured = through.TextExtent("Wq");
    EXPECT_EQ(s.canvas.GetFont().height, -14);
    EXPECT_EQ(measured, s.canvas.TextExtent("Wq"));
    through.GetBrush() = {plat::clBlue, plat::bsSolid};
    through.FillRect({1, 1, 3, 3});
    through.TextRect({20, 0, 40, 20}, 20, 0, "x");
    EXPECT_EQ(through.Calls().size(), 2u);
    EXPECT_EQ(s.Count(kBlue, {0, 0, 60, 40}), 4 + s.Count(kBlue, {20, 0, 40, 20}));
}
