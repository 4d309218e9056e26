#pragma once
// The canvas on a Qt paint device: a widget, an image or a printer. Text is
// measured with the device's own font metrics, so that it can be measured
// before (or without) anything is painted on it.
#include "platform/base/Canvas.h"

#include <QColor>
#include <QFont>

class QPaintDevice;

namespace plat {

// The Qt font of a font description on a device. A negative height is the
// character height in the device's pixels; a positive height is the cell
// height, met by the largest pixel size whose line height does not exceed it;
// 0 keeps the default size. The character set is not used.
QFont ToQFont(const Font& font, const QPaintDevice* device);

// The Qt colour of a colour value; system colours take the classic desktop
// scheme's values (window white, window text black, button face grey ...).
QColor ToQColor(Color color);

class QtCanvas : public Canvas {
public:
    // The canvas's font takes the device's vertical resolution as its pixels
    // per inch. The device must outlive the canvas.
    explicit QtCanvas(QPaintDevice* device);

    Size TextExtent(std::string_view text) override;
    // Draw on the device through a painter of their own; the device must not
    // be painted by another painter at the same time.
    void FillRect(const Rect& rect, Color color) override;
    void FrameRect(const Rect& rect, Color color) override;
    QPaintDevice* Device() const { return m_device; }
    // The Qt font of the canvas's current font.
    QFont CurrentQFont();

private:
    QPaintDevice* m_device;
    Font m_cachedFor;
    QFont m_cachedFont;
    bool m_cacheValid = false;
};

} // namespace plat
