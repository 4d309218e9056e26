#pragma once
// A canvas for tests that notes every drawing call with where it went and
// the canvas's state at that moment, so that layouts and pages can be checked
// without looking at pixels.
//
// It draws and measures through another canvas when given one (an image's,
// a printer page's). Alone it measures with fixed metrics that do not
// depend on any font: a line is as high as the font's pixel height (its
// height without sign; 11 when the height is 0) and every character half of
// that (at least 1 pixel) wide.
#include "platform/base/Canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace plat {

struct DrawCall {
    enum Kind { FillRect, FrameRect, TextOut, TextRect, Polygon, Line, Image };
    Kind kind = FillRect;
    Rect rect;                 // FillRect and FrameRect: the rectangle; TextRect: the clip rectangle
    Point at;                  // TextOut, TextRect, Image: the point; Line: where it starts
    Point to;                  // Line: where it ends (not drawn)
    std::vector<Point> points; // Polygon
    std::string text;          // TextOut, TextRect
    int image = -1;            // Image: the index in its list
    Font font;
    Pen pen;
    Brush brush;
    std::optional<Rect> clip;
};

class RecordingCanvas : public Canvas {
public:
    // Alone, with the given pixels per inch.
    explicit RecordingCanvas(int pixelsPerInch = ScreenPixelsPerInch);
    // Through another canvas (which must outlive this one), with its pixels
    // per inch.
    explicit RecordingCanvas(Canvas& target);

    Size TextExtent(std::string_view text) override;

    const std::vector<DrawCall>& Calls() const { return m_calls; }
    void Clear() { m_calls.clear(); }
    // The texts written (TextOut and TextRect), in order.
    std::vector<std::string> Texts() const;

protected:
    void DoFillRect(const Rect& r) override;
    void DoFrameRect(const Rect& r) override;
    void DoTextOut(int x, int y, std::string_view text) override;
    void DoTextRect(const Rect& clip, int x, int y, std::string_view text) override;
    void DoPolygon(const std::vector<Point>& points) override;
    void DoLine(Point from, Point to) override;
    void DoDrawImage(int x, int y, const ImageList& images, int index) override;

private:
    DrawCall& Record(DrawCall::Kind kind);
    // The target takes this canvas's state before each call.
    Canvas* Synced();

    Canvas* m_target = nullptr;
    std::vector<DrawCall> m_calls;
};

} // namespace plat
