#include "platform/ui/Bitmap.h"

#include "platform/ui/Application.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace plat {

struct Bitmap::Impl {
    int ppi;
    QImage image;
    QPainter painter;
    std::unique_ptr<QtCanvas> canvas;

    void Start(int width, int height)
    {
        Font font;
        if (canvas) {
            canvas->EndPaint();
            font = canvas->GetFont();
        }
        if (painter.isActive()) painter.end();
        image = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
        const int dotsPerMeter = static_cast<int>(ppi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        const bool keepFont = canvas != nullptr;
        canvas = std::make_unique<QtCanvas>(&image, ppi);
        if (keepFont) canvas->GetFont() = font;
        painter.begin(&image);
        canvas->BeginPaint(&painter);
    }
};

Bitmap::Bitmap(int pixelsPerInch) : m_impl(std::make_unique<Impl>())
{
    m_impl->ppi = pixelsPerInch > 0 ? pixelsPerInch : GetScreenPixelsPerInch();
    m_impl->Start(1, 1);
}

Bitmap::~Bitmap()
{
    m_impl->canvas->EndPaint();
    m_impl->painter.end();
}

int Bitmap::Width() const { return m_impl->image.width(); }
int Bitmap::Height() const { return m_impl->image.height(); }
void Bitmap::SetSize(int width, int height) { m_impl->Start(width, height); }
Canvas& Bitmap::GetCanvas() { return *m_impl->canvas; }

Color Bitmap::Pixel(int x, int y) const
{
    if (!m_impl->image.valid(x, y)) return clWhite;
    const QRgb rgb = m_impl->image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

bool Bitmap::SavePng(const std::string& path) const { return m_impl->image.save(ToQString(path), "PNG"); }

QImage Bitmap::Image() const { return m_impl->image.copy(); }

} // namespace plat
