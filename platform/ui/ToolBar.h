#pragma once
// A tool bar: a row (or rows) of tool buttons with pictures, separators, and
// any other controls placed on it (buttons with captions, edits, labels).
//
// Everything on the bar stands left to right in the order it was created,
// starting Indent pixels from the left; a new row starts after an item whose
// Wrap is set (the bar never wraps by itself). Hidden items take no room.
// Tool buttons are ButtonWidth x ButtonHeight (the image size plus a
// border), separators as wide as their own width; other controls keep their
// size and stand in the middle of the row's height. The bar's height
// follows its rows. Items take their places whenever a tool button or the
// bar changes and when another control on it is shown, hidden or resized;
// Arrange places them at once.
#include "platform/ui/Control.h"

#include <functional>
#include <memory>
#include <string>

namespace plat {

class ImageList;
class ToolBar;

enum ToolButtonStyle { tbsButton, tbsCheck, tbsSeparator };

class ToolButton : public Control {
public:
    // A plain button at the end of the bar.
    explicit ToolButton(ToolBar& bar);

    ToolButtonStyle Style() const { return m_style; }
    void SetStyle(ToolButtonStyle style);
    // The picture from the bar's image list (-1: none).
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);
    // Shown pressed. A grouped check button that goes down lets the others
    // of its group up.
    bool Down() const { return m_down; }
    void SetDown(bool down);
    // Next to each other, grouped check buttons form an exclusive group: at
    // most one of them is down, and clicking the one that is down leaves it
    // down.
    bool Grouped() const { return m_grouped; }
    void SetGrouped(bool grouped) { m_grouped = grouped; }
    // A new row starts after this item.
    bool Wrap() const { return m_wrap; }
    void SetWrap(bool wrap);
    // The text shown when the pointer rests on the button.
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint);
    void* Tag() const { return m_tag; }
    void SetTag(void* tag) { m_tag = tag; }

    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    // A separator's width is its own (8 unless set); a button's is the
    // bar's ButtonWidth.
    void SetBounds(int left, int top, int width, int height) override;

    // After the button's own reaction to a click (a check button changes
    // its Down state).
    std::function<void(ToolButton& sender)> OnClick;
    // Clicks the button as a person would: nothing happens while it, its
    // bar or the form is disabled or hidden; separators take no clicks.
    void Click();

    ToolBar& Bar() const { return m_bar; }

private:
    friend class ToolBar;
    void ShowState();
    ToolBar& m_bar;
    ToolButtonStyle m_style = tbsButton;
    int m_imageIndex = -1;
    bool m_down = false;
    bool m_grouped = false;
    bool m_wrap = false;
    std::string m_hint;
    void* m_tag = nullptr;
};

class ToolBar : public Container {
public:
    // Aligned to the top of its parent.
    explicit ToolBar(Container& parent);
    ~ToolBar() override;

    // The pictures of the buttons (not owned; null: none).
    ImageList* Images() const;
    void SetImages(ImageList* images);
    // Flat buttons show their border only under the pointer.
    bool Flat() const { return m_flat; }
    void SetFlat(bool flat);
    int Indent() const { return m_indent; }
    void SetIndent(int indent);
    int ButtonWidth() const;
    int ButtonHeight() const;

    // The tool buttons (separators included), in order.
    int ButtonCount() const;
    ToolButton* Buttons(int index) const;
    // The number of rows of the last arrangement.
    int RowCount() const { return m_rows; }

    void Arrange();

protected:
    void ApplyGeometry(int left, int top, int width, int height) override;

private:
    friend class ToolButton;
    friend class ToolBarWidget;
    void ScheduleArrange();
    void ButtonClicked(ToolButton& button);

    std::weak_ptr<ImageList* const> m_images;
    bool m_flat = false;
    int m_indent = 4;
    int m_rows = 0;
    bool m_arranging = false;
    bool m_scheduled = false;
};

} // namespace plat
