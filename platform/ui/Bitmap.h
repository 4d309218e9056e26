#pragma once
// A bitmap: an off-screen picture with a canvas that draws on it at once.
// Its canvas's font counts the pixels per inch given at construction (the
// screen's unless told otherwise), so that point sizes come out as they
// would on a window. A new size starts white.
#include "platform/base/Color.h"

#include <memory>
#include <string>

class QImage;

namespace plat {

class Canvas;

class Bitmap {
public:
    explicit Bitmap(int pixelsPerInch = 0); // 0: the screen's
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    int Width() const;
    int Height() const;
    // Sizes below one pixel become one pixel.
    void SetSize(int width, int height);
    Canvas& GetCanvas();

    // The colour of a pixel (white outside the bitmap).
    Color Pixel(int x, int y) const;
    bool SavePng(const std::string& path) const;
    // A copy of the picture (for the window layer and tests).
    QImage Image() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace plat
