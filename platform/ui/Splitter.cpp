#include "platform/ui/Splitter.h"

#include "platform/ui/QtAccess.h"

#include <QMouseEvent>
#include <QWidget>

#include <algorithm>

namespace plat {

class SplitterWidget : public QWidget {
public:
    explicit SplitterWidget(QWidget* parent) : QWidget(parent) {}
    Splitter* splitter = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (splitter != nullptr && event->button() == Qt::LeftButton)
            GuardHandler([&] { splitter->BeginDrag(static_cast<int>(event->globalPosition().x())); });
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (splitter != nullptr && (event->buttons() & Qt::LeftButton))
            GuardHandler([&] { splitter->DragTo(static_cast<int>(event->globalPosition().x())); });
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (splitter != nullptr && event->button() == Qt::LeftButton) splitter->EndDrag();
    }
};

Splitter::Splitter(Container& parent) : Control(nullptr, &parent, new SplitterWidget(parent.ClientWidget()))
{
    static_cast<SplitterWidget*>(Widget())->splitter = this;
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

void Splitter::SetMinSize(int size) { m_minSize = std::max(0, size); }

Control* Splitter::Neighbour() const
{
    const Container* parent = Parent();
    if (parent == nullptr || (GetAlign() != alLeft && GetAlign() != alRight)) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        Control* c = parent->Controls(i);
        if (c == this || !c->Visible() || c->GetAlign() != GetAlign()) continue;
        const bool touches = GetAlign() == alLeft ? c->Left() + c->Width() == Left() : c->Left() == Left() + Width();
        if (touches) return c;
    }
    return nullptr;
}

void Splitter::BeginDrag(int screenX)
{
    Control* neighbour = Neighbour();
    if (neighbour == nullptr) return;
    m_dragging = true;
    m_startX = screenX;
    m_startWidth = neighbour->Width();
}

void Splitter::DragTo(int screenX)
{
    Control* neighbour = Neighbour();
    if (!m_dragging || neighbour == nullptr) return;
    const int delta = GetAlign() == alLeft ? screenX - m_startX : m_startX - screenX;
    // The room beyond the splitter: up to the parent's edge, less what the
    // controls aligned to that edge take.
    const Container* parent = Parent();
    const Rect area = parent->AlignRect();
    int beyond = GetAlign() == alLeft ? area.right - (Left() + Width()) : Left() - area.left;
    const Align opposite = GetAlign() == alLeft ? alRight : alLeft;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        const Control* c = parent->Controls(i);
        if (c->Visible() && c->GetAlign() == opposite) beyond -= c->Width();
    }
    const int largest = neighbour->Width() + std::max(0, beyond - m_minSize);
    const int width = std::clamp(m_startWidth + delta, std::min(m_minSize, largest), std::max(m_minSize, largest));
    if (width == neighbour->Width()) return;
    neighbour->SetWidth(width);
    if (OnMoved) {
        auto handler = OnMoved;
        handler();
    }
}

} // namespace plat
