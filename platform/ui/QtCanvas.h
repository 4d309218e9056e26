#pragma once
// The canvas on a Qt paint device: a widget, an image or a printer. Text is
// measured with the device's own font metrics, so that it can be measured
// before (or without) anything is painted on it. It draws while a painter is
// attached (between BeginPaint and EndPaint), and only measures otherwise.
#include "platform/base/Canvas.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>

#include <optional>

class QPaintDevice;
class QPainter;

namespace plat {

// The Qt font of a font description on a device. A negative height is the
// character height in the device's pixels; a positive height is the cell
// height, met by the largest pixel size whose line height does not exceed it;
// 0 keeps the default size. The character set is not used.
QFont ToQFont(const Font& font, const QPaintDevice* device);
// The font description of a Qt font at the given pixels per inch.
Font FromQFont(const QFont& font, int pixelsPerInch);
// The Qt colour of a colour (system colours resolved, ColorToRGB).
QColor ToQColor(Color color);

class QtCanvas : public Canvas {
public:
    // The canvas's font takes the device's vertical resolution as its pixels
    // per inch, or the given one (windows: the screen's as the programs
    // count it). The device must outlive the canvas.
    explicit QtCanvas(QPaintDevice* device);
    QtCanvas(QPaintDevice* device, int pixelsPerInch);
    ~QtCanvas() override;

    Size TextExtent(std::string_view text) override;
    QPaintDevice* Device() const { return m_device; }
    // The Qt font of the canvas's current font.
    QFont CurrentQFont();

    // Drawing goes to the painter (which paints on the canvas's device)
    // until EndPaint. The painter's state is the canvas's own meanwhile:
    // antialiasing off, the canvas's clip rectangle.
    void BeginPaint(QPainter* painter);
    void EndPaint();
    QPainter* Painter() const { return m_painter; }

protected:
    void DoFillRect(const Rect& r) override;
    void DoFrameRect(const Rect& r) override;
    void DoTextOut(int x, int y, std::string_view text) override;
    void DoTextRect(const Rect& clip, int x, int y, std::string_view text) override;
    void DoPolygon(const std::vector<Point>& points) override;
    void DoLine(Point from, Point to) override;
    void DoDrawImage(int x, int y, const ImageList& images, int index) override;
    void DoClipChanged() override;

private:
    const QFontMetrics& Metrics();
    void WriteText(int x, int y, std::string_view text, const Rect* clip);

    QPaintDevice* m_device;
    QPainter* m_painter = nullptr;
    Font m_cachedFor;
    QFont m_cachedFont;
    std::optional<QFontMetrics> m_metrics;
    bool m_cacheValid = false;
};

} // namespace plat
