#pragma once
// A splitter: a thin bar between two aligned controls that the user drags to
// share the room between them. It resizes the control aligned on its side
// just before it (the one whose edge it touches) while the pointer moves,
// keeping that control and the room beyond the splitter at least MinSize
// pixels wide.
#include "platform/ui/Control.h"

namespace plat {

class Splitter : public Control {
public:
    // 3 pixels wide, aligned left, with the left-right split pointer.
    explicit Splitter(Container& parent);

    int MinSize() const { return m_minSize; }
    void SetMinSize(int size);

    // The control that the splitter resizes (null when none touches it).
    Control* Neighbour() const;

    // After the user has dragged the splitter to another place.
    std::function<void()> OnMoved;

private:
    friend class SplitterWidget;
    void BeginDrag(int screenX);
    void DragTo(int screenX);
    void EndDrag() { m_dragging = false; }

    int m_minSize = 30;
    bool m_dragging = false;
    int m_startX = 0;
    int m_startWidth = 0;
};

} // namespace plat
