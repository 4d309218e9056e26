#pragma once
// A window or control as far as placing it on the desktop goes: its outer
// position and size in desktop coordinates, and the work area of the desktop
// it is shown on (the desktop without task bars and panels).
#include "platform/base/Rect.h"

namespace plat {

class PlacedControl {
public:
    virtual ~PlacedControl() = default;
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetLeft(int left) = 0;
    virtual void SetTop(int top) = 0;
    virtual Rect WorkArea() const = 0;
};

} // namespace plat
