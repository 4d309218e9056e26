#include "platform/ui/StatusBar.h"

#include "platform/base/Fatal.h"
#include "platform/ui/Application.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/QtCanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace plat {

class StatusBarWidget : public QWidget {
public:
    explicit StatusBarWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
    StatusBar* bar = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (bar == nullptr) return;
        QPainter painter(this);
        bar->m_canvas->BeginPaint(&painter);
        GuardHandler([this] { bar->Paint(); });
        if (bar != nullptr) bar->m_canvas->EndPaint();
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (bar != nullptr) GuardHandler([this] { bar->SizeChanged(); });
    }
};

StatusBar::StatusBar(Container& parent) : Control(nullptr, &parent, new StatusBarWidget(parent.ClientWidget()))
{
    static_cast<StatusBarWidget*>(Widget())->bar = this;
    m_canvas = std::make_unique<QtCanvas>(Widget(), GetScreenPixelsPerInch());
    m_canvas->GetFont() = GetFont();
    const int line = QFontMetrics(Widget()->font()).height();
    SetBounds(0, 0, 200, std::max(19, line + 6));
    SetAlign(alBottom);
}

StatusBar::~StatusBar() { static_cast<StatusBarWidget*>(Widget())->bar = nullptr; }

const StatusPanel& StatusBar::Panel(int index) const
{
    if (index < 0 || index >= PanelCount()) Fatal("Status panel " + std::to_string(index) + " does not exist.");
    return m_panels[static_cast<size_t>(index)];
}

void StatusBar::SetPanel(int index, const StatusPanel& panel)
{
    Panel(index);
    m_panels[static_cast<size_t>(index)] = panel;
    Invalidate();
}

int StatusBar::AddPanel(const StatusPanel& panel)
{
    m_panels.push_back(panel);
    Invalidate();
    return PanelCount() - 1;
}

int StatusBar::PanelLeft(int index) const
{
    int x = 0;
    for (int i = 0; i < index; ++i) x += std::max(0, m_panels[static_cast<size_t>(i)].width);
    return x;
}

Rect StatusBar::PanelRect(int index) const
{
    const StatusPanel& panel = Panel(index);
    const int left = PanelLeft(index);
    int right = left + std::max(0, panel.width);
    if (index == PanelCount() - 1) right = std::max(right, Width());
    const int inset = panel.bevel == pbNone ? 0 : 1;
    return {left + inset, inset, std::max(left + inset, right - inset), std::max(inset, Height() - inset)};
}

void StatusBar::ApplyGeometry(int left, int top, int width, int height)
{
    Control::ApplyGeometry(left, top, width, height);
    SizeChanged();
}

void StatusBar::SizeChanged()
{
    if (Width() == m_lastWidth && Height() == m_lastHeight) return;
    m_lastWidth = Width();
    m_lastHeight = Height();
    if (OnResize) {
        auto handler = OnResize;
        handler();
    }
}

void StatusBar::Paint()
{
    Canvas& canvas = *m_canvas;
    Font font = GetFont();
    font.pixelsPerInch = canvas.GetFont().pixelsPerInch;
    canvas.GetFont() = font;
    canvas.GetPen() = Pen{};
    canvas.SetClipRect(std::nullopt);
    canvas.GetBrush() = Brush{GetColor(), bsSolid};
    canvas.FillRect({0, 0, Width(), Height()});
    for (int i = 0; i < PanelCount(); ++i) {
        const StatusPanel& panel = m_panels[static_cast<size_t>(i)];
        const Rect inner = PanelRect(i);
        if (panel.bevel != pbNone) {
            const Rect outer{inner.left - 1, inner.top - 1, inner.right + 1, inner.bottom + 1};
            const Color topLeft = panel.bevel == pbLowered ? clBtnShadow : clBtnHighlight;
            const Color bottomRight = panel.bevel == pbLowered ? clBtnHighlight : clBtnShadow;
            canvas.GetBrush() = Brush{topLeft, bsSolid};
            canvas.FillRect({outer.left, outer.top, outer.right, outer.top + 1});
            canvas.FillRect({outer.left, outer.top, outer.left + 1, outer.bottom});
            canvas.GetBrush() = Brush{bottomRight, bsSolid};
            canvas.FillRect({outer.left, outer.bottom - 1, outer.right, outer.bottom});
            canvas.FillRect({outer.right - 1, outer.top, outer.right, outer.bottom});
        }
        canvas.GetBrush() = Brush{GetColor(), bsSolid};
        canvas.GetFont() = font;
        if (panel.style == psOwnerDraw) {
            if (OnDrawPanel) {
                canvas.SetClipRect(inner);
                auto handler = OnDrawPanel;
                handler(i, inner, canvas);
                canvas.SetClipRect(std::nullopt);
            }
        } else if (!panel.text.empty()) {
            canvas.GetBrush().style = bsClear;
            const int y = inner.top + (inner.Height() - canvas.TextHeight(panel.text)) / 2;
            canvas.TextRect(inner, inner.left + 2, y, panel.text);
        }
    }
}

} // namespace plat
