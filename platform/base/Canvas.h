#pragma once
// A surface that text is measured and drawn on (a window, a bitmap or a
// printer page).
//
// The canvas owns its current font, pen and brush and its pen position. The
// font's pixels per inch are the canvas's own: assign a font with AssignFont
// (core/TextFunctions.h), which keeps them, so that heights stay in the
// canvas's pixels.
//
// Drawing follows the rectangle rule of Rect.h (right and bottom edges
// exclusive) and is pixel-exact: no antialiasing. A canvas that only measures
// (a printer before its document starts, a window outside its painting)
// takes every drawing call without drawing anything; the pen position still
// moves as it would.
//
// Text is UTF-8; (x, y) of a text is the top-left corner of its first
// character cell. The text's colour is the font's colour. With a solid brush
// text is written on the brush colour; with a clear brush only the
// characters are drawn.
#include "platform/base/Color.h"
#include "platform/base/Font.h"
#include "platform/base/Rect.h"

#include <optional>
#include <string_view>
#include <vector>

namespace plat {

class ImageList;

struct Pen {
    Color color = clBlack;
    int width = 1; // pixels; 0 draws as 1
    bool operator==(const Pen&) const = default;
};

enum BrushStyle { bsSolid, bsClear };

struct Brush {
    Color color = clWhite;
    BrushStyle style = bsSolid;
    bool operator==(const Brush&) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Font& GetFont() { return m_font; }
    const Font& GetFont() const { return m_font; }
    Pen& GetPen() { return m_pen; }
    const Pen& GetPen() const { return m_pen; }
    Brush& GetBrush() { return m_brush; }
    const Brush& GetBrush() const { return m_brush; }

    // Width and height of one line of text in the current font; the height
    // is the font's line height, also for an empty text.
    virtual Size TextExtent(std::string_view text) = 0;
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }

    // Fills the rectangle with the brush colour (nothing with a clear brush).
    void FillRect(const Rect& r);
    // A one-pixel frame along the inside of the rectangle, in the brush
    // colour (nothing with a clear brush).
    void FrameRect(const Rect& r);
    // Writes the text at (x, y); the pen moves to (x + the text's width, y).
    void TextOut(int x, int y, std::string_view text);
    // Writes the text at (x, y), cut off at the edges of the clip rectangle;
    // a solid brush fills the clip rectangle first. The pen does not move.
    void TextRect(const Rect& clip, int x, int y, std::string_view text);
    // A closed polygon: filled with the brush, outlined with the pen.
    void Polygon(const std::vector<Point>& points);
    Point PenPos() const { return m_penPos; }
    void MoveTo(int x, int y) { m_penPos = {x, y}; }
    // A line in the pen from the pen position to (x, y), the end point
    // itself not drawn; the pen moves to (x, y).
    void LineTo(int x, int y);
    // Image `index` of the list with its top-left corner at (x, y); an index
    // outside the list draws nothing.
    void Draw(int x, int y, const ImageList& images, int index);

    // Drawing outside the clip rectangle is cut off (none: no clipping).
    const std::optional<Rect>& ClipRect() const { return m_clip; }
    void SetClipRect(std::optional<Rect> clip);

protected:
    explicit Canvas(int pixelsPerInch) { m_font.pixelsPerInch = pixelsPerInch; }

    // What a drawing surface does for each call; the state (font, pen,
    // brush, clip rectangle) is read from the canvas. A canvas that only
    // measures keeps these empty.
    virtual void DoFillRect(const Rect&) {}
    virtual void DoFrameRect(const Rect&) {}
    virtual void DoTextOut(int, int, std::string_view) {}
    virtual void DoTextRect(const Rect&, int, int, std::string_view) {}
    virtual void DoPolygon(const std::vector<Point>&) {}
    virtual void DoLine(Point, Point) {}
    virtual void DoDrawImage(int, int, const ImageList&, int) {}
    virtual void DoClipChanged() {}

private:
    Font m_font;
    Pen m_pen;
    Brush m_brush;
    Point m_penPos;
    std::optional<Rect> m_clip;
};

inline void Canvas::FillRect(const Rect& r)
{
    if (m_brush.style != bsClear && !r.IsEmpty()) DoFillRect(r);
}

inline void Canvas::FrameRect(const Rect& r)
{
    if (m_brush.style != bsClear && !r.IsEmpty()) DoFrameRect(r);
}

inline void Canvas::TextOut(int x, int y, std::string_view text)
{
    DoTextOut(x, y, text);
    m_penPos = {x + (text.empty() ? 0 : TextWidth(text)), y};
}

inline void Canvas::TextRect(const Rect& clip, int x, int y, std::string_view text) { DoTextRect(clip, x, y, text); }

inline void Canvas::Polygon(const std::vector<Point>& points)
{
    if (!points.empty()) DoPolygon(points);
}

inline void Canvas::LineTo(int x, int y)
{
    const Point from = m_penPos;
    m_penPos = {x, y};
    if (!(from == m_penPos)) DoLine(from, m_penPos);
}

inline void Canvas::Draw(int x, int y, const ImageList& images, int index) { DoDrawImage(x, y, images, index); }

inline void Canvas::SetClipRect(std::optional<Rect> clip)
{
    m_clip = clip;
    DoClipChanged();
}

} // namespace plat
