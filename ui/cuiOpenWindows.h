#pragma once
// The windows of one class that are open, in the order they opened: each
// window adds itself when it is made and takes itself out when it goes, so
// that the newest one can be found (by its opener's tests, or to close it).
#include <algorithm>
#include <vector>

template <typename Window>
class cuiOpenWindows {
public:
    static void Add(Window* window) { List().push_back(window); }
    static void Remove(Window* window)
    {
        auto& list = List();
        list.erase(std::remove(list.begin(), list.end(), window), list.end());
    }
    // The newest open window, or null.
    static Window* Newest() { return List().empty() ? nullptr : List().back(); }

private:
    static std::vector<Window*>& List()
    {
        static std::vector<Window*> list;
        return list;
    }
};
