#pragma once

#include <map>
#include <set>

class QKeyEvent;

namespace plat {

// Which key strokes began on one window. A key that went down elsewhere (on
// a window that closed on its press, say) goes on repeating and then goes up
// wherever the focus is now; none of that is a stroke of this window.
class KeyStrokes {
public:
    // Notes the keys that go down here; false for a repeat or a release of a
    // key that went down elsewhere.
    bool Owns(const QKeyEvent& event);
    // Strokes that go on while another window is active are not ours.
    void Clear() { m_down.clear(); }

private:
    struct Release {
        unsigned long time = 0;
        bool owned = false; // the stroke it ended was ours
    };
    std::set<int> m_down;                  // keys whose stroke began here
    std::map<int, Release> m_lastReleases; // each key's last release seen
};

} // namespace plat
