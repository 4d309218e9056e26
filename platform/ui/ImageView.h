#pragma once
// A scroll box holding one picture. Fitted (the default), the picture fills
// the box, centred and scaled to fit with its proportions kept; at actual
// size it stands at the top-left corner at its own size and the box scrolls
// over it. The box's colour shows around the picture.
#include "platform/ui/Control.h"

namespace plat {

class Bitmap;

class ImageView : public Control {
public:
    explicit ImageView(Container& parent);
    ~ImageView() override;

    // Shows a copy of the bitmap as it is now.
    void SetPicture(const Bitmap& bitmap);
    int PictureWidth() const;
    int PictureHeight() const;

    bool ActualSize() const { return m_actualSize; }
    void SetActualSize(bool actual);
    // Scrolls by lines (negative: up or left), as the arrows of the scroll
    // bars do.
    void ScrollLines(int horizontal, int vertical);
    // The scroll positions in pixels.
    int ScrollX() const;
    int ScrollY() const;

private:
    bool m_actualSize = false;
};

} // namespace plat
