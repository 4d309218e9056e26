#pragma once

#include <map>

class QKeyEvent;

namespace plat {

// Which key strokes began on one window, and on which of its controls. A key
// that went down elsewhere (on a window that closed on its press, say) goes
// on repeating and then goes up wherever the focus is now; none of that is a
// stroke of this window. Within the window, a stroke of a key that presses
// buttons (Enter, Space, Esc) belongs to the control it went down on: when
// its press moved the focus, its repeats and its release reach no other
// control, so that a held key presses one button once.
class KeyStrokes {
public:
    // Notes the keys that go down here, on the control (null: the window
    // as a whole); false for a repeat or a release of a key that went down
    // elsewhere.
    bool Owns(const QKeyEvent& event, const void* control = nullptr);
    // Whether the event Owns saw last repeats a held key (flagged as a
    // repeat or not).
    bool LastWasRepeat() const { return m_lastRepeat; }
    // The keys that press buttons: Enter (the default button and the one
    // with the focus), Space (the one with the focus) and Esc (the cancel
    // button).
    static bool PressesButtons(int qtKey);
    // Strokes that go on while another window is active are not ours.
    void Clear() { m_down.clear(); }

private:
    struct Release {
        unsigned long time = 0;
        bool owned = false;             // the stroke it ended was ours
        const void* control = nullptr;  // where that stroke went down
    };
    std::map<int, const void*> m_down;     // keys whose stroke began here, and on which control
    std::map<int, Release> m_lastReleases; // each key's last release seen
    bool m_lastRepeat = false;
};

} // namespace plat
