#include "platform/ui/KeyStrokes.h"

#include <QKeyEvent>

namespace plat {

bool KeyStrokes::PressesButtons(int qtKey)
{
    return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter || qtKey == Qt::Key_Space || qtKey == Qt::Key_Escape;
}

bool KeyStrokes::Owns(const QKeyEvent& event, const void* control)
{
    const int key = event.key();
    const bool press = event.type() == QEvent::KeyPress;
    bool repeat = event.isAutoRepeat();
    // The window system repeats a held key as pairs of a release and a press
    // that carry one time stamp, and it does not flag every pair as a repeat
    // (it can tell only when the press has already arrived with its release).
    // A press at the very time of the key's last release is such a repeat: it
    // goes on with the stroke that release seemed to end, and a key held
    // since it went down on another window never starts a stroke here. Time
    // stamp 0 means none was given.
    if (press && !repeat && event.timestamp() != 0) {
        const auto released = m_lastReleases.find(key);
        if (released != m_lastReleases.end() && released->second.time == event.timestamp()) {
            repeat = true;
            if (released->second.owned) m_down[key] = released->second.control;
        }
    }
    m_lastRepeat = repeat;
    if (press && !repeat) m_down[key] = control;
    const auto stroke = m_down.find(key);
    const bool ours = stroke != m_down.end();
    const void* began = ours ? stroke->second : nullptr;
    if (!press) {
        m_lastReleases[key] = {event.timestamp(), ours, began};
        if (!repeat) m_down.erase(key);
    }
    return ours && (!PressesButtons(key) || began == control);
}

} // namespace plat
