#pragma once
// Image lists: pictures of one fixed size (16 x 16 unless given), drawn by
// index at a point on any canvas.
//
// An overlay is a picture of the list drawn over another one (the tree marks
// its nodes with them): overlay n (0 to 3) names the image shown for it.
#include "platform/ui/Control.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QImage;
class QPixmap;

namespace plat {

class Canvas;

class ImageList : public Component {
public:
    explicit ImageList(Component* owner = nullptr, int width = 16, int height = 16);
    ~ImageList() override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const;

    // Appends one of the program's pictures (ArtworkNames) and returns its
    // index; a name that is not among them is a programming fault (fatal).
    int AddArtwork(std::string_view name);
    // Appends a picture, scaled to the list's size when it has another.
    int AddImage(const QImage& image);

    // The image shown for overlay 0 to 3 (-1: none).
    void SetOverlay(int overlay, int index);
    int OverlayImage(int overlay) const;

    // Draws image `index` at (x, y), and over it the image of the overlay
    // (-1: none). Indexes outside the list draw nothing.
    void Draw(Canvas& canvas, int x, int y, int index, int overlay = -1) const;

    // For the window layer: the picture of an index (null outside the
    // list), and the picture with an overlay drawn over it.
    const QPixmap* Pixmap(int index) const;
    QPixmap Composed(int index, int overlay) const;
    // For controls that show the list without owning it: empty once the
    // list is gone.
    std::weak_ptr<ImageList* const> Handle() const { return m_handle; }

private:
    struct Pictures;
    int m_width;
    int m_height;
    std::unique_ptr<Pictures> m_pictures;
    int m_overlays[4] = {-1, -1, -1, -1};
    std::shared_ptr<ImageList* const> m_handle;
};

// The names of the program's pictures, in the order the main form declares
// them: the tool bar's file, COM port, clone, editing and page pictures
// ("imgIcon_Bar_..."), the tree's rig, folder, notes, banks and marks
// ("imgIcon_Tree_..."; the marks, WarnE_RB and WarnW_RB, lie in the lower
// right corner and are transparent elsewhere, for use as overlays).
const std::vector<std::string>& ArtworkNames();

} // namespace plat
