#include "platform/ui/PaintBox.h"

#include "platform/ui/Application.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/QtCanvas.h"

#include <QPainter>
#include <QWidget>

namespace plat {

class PaintBoxWidget : public QWidget {
public:
    explicit PaintBoxWidget(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }
    PaintBox* box = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (box == nullptr) return;
        QPainter painter(this);
        box->m_canvas->BeginPaint(&painter);
        GuardHandler([this] { box->Paint(); });
        if (box != nullptr) box->m_canvas->EndPaint();
    }
};

PaintBox::PaintBox(Container& parent) : Control(nullptr, &parent, new PaintBoxWidget(parent.ClientWidget()))
{
    static_cast<PaintBoxWidget*>(Widget())->box = this;
    m_canvas = std::make_unique<QtCanvas>(Widget(), GetScreenPixelsPerInch());
    m_canvas->GetFont() = GetFont();
    SetBounds(0, 0, 105, 105);
}

PaintBox::~PaintBox() { static_cast<PaintBoxWidget*>(Widget())->box = nullptr; }

Canvas& PaintBox::GetCanvas() { return *m_canvas; }

void PaintBox::Paint()
{
    Canvas& canvas = *m_canvas;
    Font font = GetFont();
    font.pixelsPerInch = canvas.GetFont().pixelsPerInch;
    canvas.GetFont() = font;
    canvas.GetPen() = Pen{};
    canvas.GetBrush() = Brush{GetColor(), bsSolid};
    canvas.SetClipRect(std::nullopt);
    canvas.MoveTo(0, 0);
    if (OnPaint) {
        auto handler = OnPaint;
        handler(canvas);
    } else {
        canvas.FillRect({0, 0, Width(), Height()});
    }
}

} // namespace plat
