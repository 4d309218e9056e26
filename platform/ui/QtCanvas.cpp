#include "platform/ui/QtCanvas.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QString>

namespace plat {

namespace {

int LineHeight(const QFont& font, const QPaintDevice* device)
{
    return QFontMetrics(font, device).height();
}

} // namespace

QColor ToQColor(Color color)
{
    if (color & 0x80000000u) {
        // The classic scheme, by system colour index 0 to 20.
        static constexpr uint32_t kSystem[] = {
            0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
            0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080,
            0x000000, 0xC8D0D4, 0xFFFFFF,
        };
        const uint32_t index = color & 0xFFu;
        color = index < std::size(kSystem) ? kSystem[index] : 0;
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QFont ToQFont(const Font& font, const QPaintDevice* device)
{
    QFont f = font.name.empty() && font.pitch == FontPitch::fpFixed
                  ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                  : QFont();
    if (!font.name.empty()) f.setFamily(QString::fromUtf8(font.name.data(), static_cast<qsizetype>(font.name.size())));
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
        f.setPixelSize(-font.height);
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
        while (true) {
            QFont larger = f;
            larger.setPixelSize(pixels + 1);
            if (pixels + 1 > target || LineHeight(larger, device) > target) break;
            f = larger;
            ++pixels;
        }
    }
    return f;
}

QtCanvas::QtCanvas(QPaintDevice* device) : Canvas(device->logicalDpiY()), m_device(device) {}

QFont QtCanvas::CurrentQFont()
{
    if (!m_cacheValid || !(m_cachedFor == GetFont())) {
        m_cachedFor = GetFont();
        m_cachedFont = ToQFont(m_cachedFor, m_device);
        m_cacheValid = true;
    }
    return m_cachedFont;
}

Size QtCanvas::TextExtent(std::string_view text)
{
    QFontMetrics metrics(CurrentQFont(), m_device);
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return Size{metrics.horizontalAdvance(s), metrics.height()};
}

void QtCanvas::FillRect(const Rect& rect, Color color)
{
    if (rect.IsEmpty()) return;
    QPainter painter(m_device);
    painter.fillRect(rect.left, rect.top, rect.Width(), rect.Height(), ToQColor(color));
}

void QtCanvas::FrameRect(const Rect& rect, Color color)
{
    if (rect.IsEmpty()) return;
    QPainter painter(m_device);
    const QColor c = ToQColor(color);
    painter.fillRect(rect.left, rect.top, rect.Width(), 1, c);
    painter.fillRect(rect.left, rect.bottom - 1, rect.Width(), 1, c);
    painter.fillRect(rect.left, rect.top, 1, rect.Height(), c);
    painter.fillRect(rect.right - 1, rect.top, 1, rect.Height(), c);
}

} // namespace plat
