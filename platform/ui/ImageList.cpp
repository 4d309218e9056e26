#include "platform/ui/ImageList.h"

#include "platform/base/Canvas.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Artwork.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace plat {

struct ImageList::Pictures {
    std::vector<QPixmap> pixmaps;
};

ImageList::ImageList(Component* owner, int width, int height)
    : Component(owner), m_width(std::max(1, width)), m_height(std::max(1, height)),
      m_pictures(std::make_unique<Pictures>()), m_handle(std::make_shared<ImageList* const>(this))
{
}

ImageList::~ImageList() = default;

int ImageList::Count() const { return static_cast<int>(m_pictures->pixmaps.size()); }

int ImageList::AddArtwork(std::string_view name)
{
    const QImage image = ArtworkImage(name);
    if (image.isNull()) Fatal("There is no picture named '" + std::string(name) + "'.");
    return AddImage(image);
}

int ImageList::AddImage(const QImage& image)
{
    QImage sized = image.size() == QSize(m_width, m_height)
                       ? image
                       : image.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_pictures->pixmaps.push_back(QPixmap::fromImage(sized));
    return Count() - 1;
}

void ImageList::SetOverlay(int overlay, int index)
{
    if (overlay >= 0 && overlay < 4) m_overlays[overlay] = index;
}

int ImageList::OverlayImage(int overlay) const { return overlay >= 0 && overlay < 4 ? m_overlays[overlay] : -1; }

const QPixmap* ImageList::Pixmap(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return &m_pictures->pixmaps[static_cast<size_t>(index)];
}

QPixmap ImageList::Composed(int index, int overlay) const
{
    const QPixmap* base = Pixmap(index);
    const QPixmap* mark = Pixmap(OverlayImage(overlay));
    if (base == nullptr) return mark != nullptr ? *mark : QPixmap();
    if (mark == nullptr) return *base;
    QPixmap composed = *base;
    QPainter painter(&composed);
    painter.drawPixmap(0, 0, *mark);
    return composed;
}

void ImageList::Draw(Canvas& canvas, int x, int y, int index, int overlay) const
{
    canvas.Draw(x, y, *this, index);
    const int mark = OverlayImage(overlay);
    if (mark >= 0) canvas.Draw(x, y, *this, mark);
}

} // namespace plat
