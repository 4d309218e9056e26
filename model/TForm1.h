#pragma once
// The main form of the cloning program: it takes its caption and font from
// the overlay and its bounds from the settings (kept reachable inside the
// desktop's work area), holds the two image lists of the program's
// pictures, and hands itself to the main object g_Main, which builds the
// window's content and shows it.
#include "platform/base/Rect.h"
#include "platform/ui/Form.h"

#include <array>

namespace plat {
class ImageList;
}

class TForm1 : public plat::Form {
public:
    // The smallest size the user can give the window.
    static constexpr int MinTrackWidth = 400;
    static constexpr int MinTrackHeight = 200;
    // At least this much of the window stays inside the work area.
    static constexpr int ReachableMargin = 16;

    // The pictures of the tree image list and of the tool-bar image list, in
    // index order (overlay cells name these indexes).
    static const std::array<const char*, 14> TreeImageNames;
    static const std::array<const char*, 19> ToolBarImageNames;

    // Needs g_Main (and g_Environ for the bounds).
    explicit TForm1(plat::Component* owner = nullptr);
    ~TForm1() override;

    plat::ImageList& TreeImages() const { return *m_treeImages; }
    plat::ImageList& ToolBarImages() const { return *m_toolBarImages; }

    // The window's size limit (the tracking size the window system asks for).
    void WMGetMinMaxInfo();

private:
    plat::ImageList* m_treeImages;
    plat::ImageList* m_toolBarImages;
};

// Moves the window bounds so that the window stays reachable in the work
// area: its left edge at most 16 pixels left of the area's right edge, its
// top at most 16 pixels above the bottom, its right edge at least 16 pixels
// right of the area's left edge, and its top not above the area's top.
plat::Rect KeepMainWindowReachable(const plat::Rect& bounds, const plat::Rect& workArea);
