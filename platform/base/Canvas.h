#pragma once
// A surface that text is measured on (a window, a bitmap or a printer page).
//
// The canvas owns its current font. The font's pixels per inch are the
// canvas's own: assign a font with AssignFont (core/TextFunctions.h), which
// keeps them, so that heights stay in the canvas's pixels.
#include "platform/base/Color.h"
#include "platform/base/Font.h"
#include "platform/base/Rect.h"

#include <string_view>

namespace plat {

class Canvas {
public:
    virtual ~Canvas() = default;

    Font& GetFont() { return m_font; }
    const Font& GetFont() const { return m_font; }

    // Width and height of one line of text (UTF-8) in the current font; the
    // height is the font's line height, also for an empty text.
    virtual Size TextExtent(std::string_view text) = 0;
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }

    // Fills the rectangle (right and bottom edges exclusive) with a solid
    // colour; FrameRect draws its one-pixel outline, the rectangle's own
    // outermost pixels. A canvas that only measures draws nothing.
    virtual void FillRect(const Rect& /*rect*/, Color /*color*/) {}
    virtual void FrameRect(const Rect& /*rect*/, Color /*color*/) {}

protected:
    explicit Canvas(int pixelsPerInch) { m_font.pixelsPerInch = pixelsPerInch; }

private:
    Font m_font;
};

} // namespace plat
