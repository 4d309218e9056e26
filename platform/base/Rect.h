#pragma once
// Points, sizes and rectangles in pixels. A rectangle's right and bottom
// edges are exclusive: the rectangle {0, 0, 10, 5} covers columns 0 to 9 and
// rows 0 to 4, and its width is right - left.
namespace plat {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool operator==(const Rect&) const = default;
};

} // namespace plat
