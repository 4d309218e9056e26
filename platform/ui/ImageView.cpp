#include "platform/ui/ImageView.h"

#include "platform/ui/Bitmap.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/QtCanvas.h"

#include <QAbstractSlider>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

namespace plat {

namespace {

class PictureWidget : public QWidget {
public:
    explicit PictureWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
    QImage picture;
    bool actual = false;
    QColor back = Qt::gray;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), back);
        if (picture.isNull()) return;
        if (actual) {
            painter.drawImage(0, 0, picture);
            return;
        }
        QSize size = picture.size();
        size.scale(this->size(), Qt::KeepAspectRatio);
        const QRect target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(), size.height());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, picture);
    }
};

QScrollArea* Area(const Control& control) { return static_cast<QScrollArea*>(control.Widget()); }
PictureWidget* Picture(const Control& control) { return static_cast<PictureWidget*>(Area(control)->widget()); }

} // namespace

ImageView::ImageView(Container& parent) : Control(nullptr, &parent, new QScrollArea(parent.ClientWidget()))
{
    QScrollArea* area = Area(*this);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(new PictureWidget(area));
    area->setWidgetResizable(true);
    area->setFocusPolicy(Qt::NoFocus);
}

ImageView::~ImageView() = default;

void ImageView::SetPicture(const Bitmap& bitmap)
{
    PictureWidget* picture = Picture(*this);
    picture->picture = bitmap.Image();
    picture->back = ToQColor(GetColor());
    if (m_actualSize) picture->resize(picture->picture.size());
    picture->update();
}

int ImageView::PictureWidth() const { return Picture(*this)->picture.width(); }
int ImageView::PictureHeight() const { return Picture(*this)->picture.height(); }

void ImageView::SetActualSize(bool actual)
{
    m_actualSize = actual;
    QScrollArea* area = Area(*this);
    PictureWidget* picture = Picture(*this);
    picture->actual = actual;
    picture->back = ToQColor(GetColor());
    area->setWidgetResizable(!actual);
    if (actual) picture->resize(picture->picture.size());
    picture->update();
}

void ImageView::ScrollLines(int horizontal, int vertical)
{
    QScrollArea* area = Area(*this);
    const auto step = [](QScrollBar* bar, int lines) {
        for (; lines > 0; --lines) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        for (; lines < 0; ++lines) bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    };
    step(area->horizontalScrollBar(), horizontal);
    step(area->verticalScrollBar(), vertical);
}

int ImageView::ScrollX() const { return Area(*this)->horizontalScrollBar()->value(); }
int ImageView::ScrollY() const { return Area(*this)->verticalScrollBar()->value(); }

} // namespace plat
