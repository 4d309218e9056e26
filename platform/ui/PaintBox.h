#pragma once
// A paint box: a plain area that its owner paints, with the mouse handlers
// of every control (Control.h).
#include "platform/ui/Control.h"

#include <functional>
#include <memory>

namespace plat {

class Canvas;
class QtCanvas;

class PaintBox : public Control {
public:
    explicit PaintBox(Container& parent);
    ~PaintBox() override;

    // Paints the whole box whenever it must be shown again (after an
    // Invalidate, or when uncovered); nothing is erased first. The canvas
    // starts each time with the box's font, its colour as a solid brush, a
    // black pen of width 1 and no clip rectangle.
    std::function<void(Canvas& canvas)> OnPaint;
    // The box's canvas, for measuring at any time.
    Canvas& GetCanvas();

private:
    friend class PaintBoxWidget;
    void Paint();
    std::unique_ptr<QtCanvas> m_canvas;
};

} // namespace plat
