#include "platform/ui/QtCanvas.h"

#include "platform/ui/ImageList.h"
#include "platform/ui/QtAccess.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include <QFontDatabase>
#include <QFontInfo>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QString>

namespace plat {

namespace {

int LineHeight(const QFont& font, const QPaintDevice* device)
{
    return QFontMetrics(font, device).height();
}

QString ToQ(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

QFont ToQFont(const Font& font, const QPaintDevice* device)
{
    QFont f = font.name.empty() && font.pitch == FontPitch::fpFixed
                  ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                  : QFont();
    if (!font.name.empty()) f.setFamily(ToQ(font.name));
    if (font.pitch == FontPitch::fpFixed) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::Monospace);
    } else if (font.pitch == FontPitch::fpVariable) {
        f.setFixedPitch(false);
    }
    f.setBold((font.style & fsBold) != 0);
    f.setItalic((font.style & fsItalic) != 0);
    f.setUnderline((font.style & fsUnderline) != 0);
    f.setStrikeOut((font.style & fsStrikeOut) != 0);

    if (font.height < 0) {
        // The lowest height has no positive counterpart: the largest size.
        f.setPixelSize(font.height == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : -font.height);
    } else if (font.height > 0) {
        int target = font.height;
        int pixels = target;
        f.setPixelSize(pixels);
        int line = LineHeight(f, device);
        if (line > target) {
            // Start near the answer, then step down to the largest size that fits.
            pixels = std::max(1, static_cast<int>(static_cast<long long>(target) * target / line));
            f.setPixelSize(pixels);
            while (pixels > 1 && LineHeight(f, device) > target) f.setPixelSize(--pixels);
        }
        while (pixels < target) {
            QFont larger = f;
            larger.setPixelSize(pixels + 1);
            if (LineHeight(larger, device) > target) break;
            f = larger;
            ++pixels;
        }
    }
    return f;
}

Font FromQFont(const QFont& font, int pixelsPerInch)
{
    Font f;
    f.pixelsPerInch = pixelsPerInch;
    f.name = font.family().toUtf8().toStdString();
    if (font.pixelSize() > 0)
        f.height = -font.pixelSize();
    else
        f.height = -static_cast<int>(font.pointSizeF() * pixelsPerInch / 72.0 + 0.5);
    f.style = (font.bold() ? fsBold : 0u) | (font.italic() ? fsItalic : 0u) | (font.underline() ? fsUnderline : 0u) |
              (font.strikeOut() ? fsStrikeOut : 0u);
    return f;
}

QColor ToQColor(Color color)
{
    const Color rgb = ColorToRGB(color);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

QtCanvas::QtCanvas(QPaintDevice* device) : Canvas(device->logicalDpiY()), m_device(device) {}

QtCanvas::QtCanvas(QPaintDevice* device, int pixelsPerInch) : Canvas(pixelsPerInch), m_device(device) {}

QtCanvas::~QtCanvas() = default;

QFont QtCanvas::CurrentQFont()
{
    Metrics();
    return m_cachedFont;
}

const QFontMetrics& QtCanvas::Metrics()
{
    if (!m_cacheValid || !(m_cachedFor == GetFont())) {
        m_cachedFor = GetFont();
        m_cachedFont = ToQFont(m_cachedFor, m_device);
        m_metrics.emplace(m_cachedFont, m_device);
        m_cacheValid = true;
    }
    return *m_metrics;
}

Size QtCanvas::TextExtent(std::string_view text)
{
    const QFontMetrics& metrics = Metrics();
    return Size{text.empty() ? 0 : metrics.horizontalAdvance(ToQ(text)), metrics.height()};
}

void QtCanvas::BeginPaint(QPainter* painter)
{
    m_painter = painter;
    if (m_painter == nullptr) return;
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    DoClipChanged();
}

void QtCanvas::EndPaint() { m_painter = nullptr; }

void QtCanvas::DoClipChanged()
{
    if (m_painter == nullptr) return;
    if (ClipRect())
        m_painter->setClipRect(ToQRect(*ClipRect()));
    else
        m_painter->setClipping(false);
}

void QtCanvas::DoFillRect(const Rect& r)
{
    if (m_painter == nullptr) return;
    m_painter->fillRect(ToQRect(r), ToQColor(GetBrush().color));
}

void QtCanvas::DoFrameRect(const Rect& r)
{
    if (m_painter == nullptr) return;
    const QColor c = ToQColor(GetBrush().color);
    const int w = r.Width();
    const int h = r.Height();
    m_painter->fillRect(r.left, r.top, w, 1, c);
    m_painter->fillRect(r.left, r.bottom - 1, w, 1, c);
    m_painter->fillRect(r.left, r.top, 1, h, c);
    m_painter->fillRect(r.right - 1, r.top, 1, h, c);
}

void QtCanvas::WriteText(int x, int y, std::string_view text, const Rect* clip)
{
    const QFontMetrics& metrics = Metrics();
    const QString s = ToQ(text);
    if (clip != nullptr) {
        m_painter->save();
        m_painter->setClipRect(ToQRect(*clip), ClipRect() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    if (GetBrush().style == bsSolid) {
        if (clip != nullptr)
            m_painter->fillRect(ToQRect(*clip), ToQColor(GetBrush().color));
        else if (!s.isEmpty())
            m_painter->fillRect(x, y, metrics.horizontalAdvance(s), metrics.height(), ToQColor(GetBrush().color));
    }
    if (!s.isEmpty()) {
        if (m_painter->font() != m_cachedFont) m_painter->setFont(m_cachedFont);
        m_painter->setPen(ToQColor(GetFont().color));
        m_painter->drawText(QPoint(x, y + metrics.ascent()), s);
    }
    if (clip != nullptr) m_painter->restore();
}

void QtCanvas::DoTextOut(int x, int y, std::string_view text)
{
    if (m_painter != nullptr) WriteText(x, y, text, nullptr);
}

void QtCanvas::DoTextRect(const Rect& clip, int x, int y, std::string_view text)
{
    if (m_painter != nullptr) WriteText(x, y, text, &clip);
}

void QtCanvas::DoPolygon(const std::vector<Point>& points)
{
    if (m_painter == nullptr) return;
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& p : points) polygon << QPoint(p.x, p.y);
    QPen pen(ToQColor(GetPen().color));
    pen.setWidth(std::max(1, GetPen().width));
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter->setPen(pen);
    if (GetBrush().style == bsSolid)
        m_painter->setBrush(ToQColor(GetBrush().color));
    else
        m_painter->setBrush(Qt::NoBrush);
    m_painter->drawPolygon(polygon);
    m_painter->setBrush(Qt::NoBrush);
}

void QtCanvas::DoLine(Point from, Point to)
{
    if (m_painter == nullptr) return;
    // The end point is not part of the line: stop one step before it along
    // the longer axis.
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const int major = std::max(std::abs(dx), std::abs(dy));
    const QPoint last(to.x - static_cast<int>(std::lround(static_cast<double>(dx) / major)),
                      to.y - static_cast<int>(std::lround(static_cast<double>(dy) / major)));
    QPen pen(ToQColor(GetPen().color));
    pen.setWidth(std::max(1, GetPen().width));
    pen.setCapStyle(Qt::SquareCap);
    m_painter->setPen(pen);
    if (last == QPoint(from.x, from.y))
        m_painter->drawPoint(last);
    else
        m_painter->drawLine(QPoint(from.x, from.y), last);
}

void QtCanvas::DoDrawImage(int x, int y, const ImageList& images, int index)
{
    if (m_painter == nullptr) return;
    if (const QPixmap* pixmap = images.Pixmap(index)) m_painter->drawPixmap(x, y, *pixmap);
}

} // namespace plat
