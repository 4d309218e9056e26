#include "platform/base/RecordingCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace plat {

RecordingCanvas::RecordingCanvas(int pixelsPerInch) : Canvas(pixelsPerInch) {}

RecordingCanvas::RecordingCanvas(Canvas& target) : Canvas(target.GetFont().pixelsPerInch), m_target(&target)
{
    GetFont() = target.GetFont();
}

Size RecordingCanvas::TextExtent(std::string_view text)
{
    if (Canvas* target = Synced()) return target->TextExtent(text);
    const int height = GetFont().height == 0 ? 11 : std::abs(GetFont().height);
    const int charWidth = std::max(1, height / 2);
    int characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++characters; // continuation bytes belong to the character before
    return {characters * charWidth, height};
}

std::vector<std::string> RecordingCanvas::Texts() const
{
    std::vector<std::string> texts;
    for (const DrawCall& call : m_calls)
        if (call.kind == DrawCall::TextOut || call.kind == DrawCall::TextRect) texts.push_back(call.text);
    return texts;
}

DrawCall& RecordingCanvas::Record(DrawCall::Kind kind)
{
    DrawCall& call = m_calls.emplace_back();
    call.kind = kind;
    call.font = GetFont();
    call.pen = GetPen();
    call.brush = GetBrush();
    call.clip = ClipRect();
    return call;
}

Canvas* RecordingCanvas::Synced()
{
    if (m_target == nullptr) return nullptr;
    m_target->GetFont() = GetFont();
    m_target->GetPen() = GetPen();
    m_target->GetBrush() = GetBrush();
    if (m_target->ClipRect() != ClipRect()) m_target->SetClipRect(ClipRect());
    return m_target;
}

void RecordingCanvas::DoFillRect(const Rect& r)
{
    Record(DrawCall::FillRect).rect = r;
    if (Canvas* target = Synced()) target->FillRect(r);
}

void RecordingCanvas::DoFrameRect(const Rect& r)
{
    Record(DrawCall::FrameRect).rect = r;
    if (Canvas* target = Synced()) target->FrameRect(r);
}

void RecordingCanvas::DoTextOut(int x, int y, std::string_view text)
{
    DrawCall& call = Record(DrawCall::TextOut);
    call.at = {x, y};
    call.text = std::string(text);
    if (Canvas* target = Synced()) target->TextOut(x, y, text);
}

void RecordingCanvas::DoTextRect(const Rect& clip, int x, int y, std::string_view text)
{
    DrawCall& call = Record(DrawCall::TextRect);
    call.rect = clip;
    call.at = {x, y};
    call.text = std::string(text);
    if (Canvas* target = Synced()) target->TextRect(clip, x, y, text);
}

void RecordingCanvas::DoPolygon(const std::vector<Point>& points)
{
    Record(DrawCall::Polygon).points = points;
    if (Canvas* target = Synced()) target->Polygon(points);
}

void RecordingCanvas::DoLine(Point from, Point to)
{
    DrawCall& call = Record(DrawCall::Line);
    call.at = from;
    call.to = to;
    if (Canvas* target = Synced()) {
        target->MoveTo(from.x, from.y);
        target->LineTo(to.x, to.y);
    }
}

void RecordingCanvas::DoDrawImage(int x, int y, const ImageList& images, int index)
{
    DrawCall& call = Record(DrawCall::Image);
    call.at = {x, y};
    call.image = index;
    if (Canvas* target = Synced()) target->Draw(x, y, images, index);
}

} // namespace plat
