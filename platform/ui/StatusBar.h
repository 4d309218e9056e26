#pragma once
// A status bar: a row of panels along the bottom of a form, each showing a
// text or painted by its owner.
//
// Panels stand left to right at their widths, with the last one reaching
// the bar's right edge. Each has a bevel of one pixel; what lies inside it
// is the panel's area, which OnDrawPanel paints for an owner-drawn panel.
#include "platform/ui/Control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class Canvas;
class QtCanvas;

enum PanelBevel { pbNone, pbLowered, pbRaised };
enum PanelStyle { psText, psOwnerDraw };

struct StatusPanel {
    int width = 50;
    PanelBevel bevel = pbLowered;
    PanelStyle style = psText;
    std::string text;
    bool operator==(const StatusPanel&) const = default;
};

class StatusBar : public Control {
public:
    // Aligned to the bottom of its parent; as high as a line of its font
    // and a margin, at least 19 pixels.
    explicit StatusBar(Container& parent);
    ~StatusBar() override;

    int PanelCount() const { return static_cast<int>(m_panels.size()); }
    // Panel i (programming fault outside the panels: fatal).
    const StatusPanel& Panel(int index) const;
    // Changes a panel and shows it.
    void SetPanel(int index, const StatusPanel& panel);
    // Appends a panel; returns its index.
    int AddPanel(const StatusPanel& panel = {});
    // The area inside the panel's bevel, in the bar's client coordinates.
    Rect PanelRect(int index) const;

    // Paints an owner-drawn panel: its area and the bar's canvas (font: the
    // bar's; brush: the bar's colour).
    std::function<void(int index, const Rect& rect, Canvas& canvas)> OnDrawPanel;
    // After every change of the bar's size.
    std::function<void()> OnResize;

protected:
    void ApplyGeometry(int left, int top, int width, int height) override;

private:
    friend class StatusBarWidget;
    void Paint();
    void SizeChanged();
    int PanelLeft(int index) const;
    std::vector<StatusPanel> m_panels;
    std::unique_ptr<QtCanvas> m_canvas;
    int m_lastWidth = -1;
    int m_lastHeight = -1;
};

} // namespace plat
