#include "platform/ui/ToolBar.h"

#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/QtAccess.h"

#include <QChildEvent>
#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

#include <algorithm>

namespace plat {

namespace {

constexpr int kDefaultSeparatorWidth = 8;
constexpr int kRowGap = 0;
constexpr int kMargin = 2; // above the first and below the last row

// Whether a person could reach the control (it and its containers visible
// and enabled).
bool Usable(const Control* control)
{
    for (const Control* c = control; c != nullptr; c = c->Parent()) {
        if (!c->Enabled()) return false;
        if (c->Parent() != nullptr && !c->Visible()) return false;
    }
    return true;
}

// A tool button's widget: a Qt tool button, or for a separator a thin
// etched line.
class ToolButtonWidget : public QToolButton {
public:
    explicit ToolButtonWidget(QWidget* parent) : QToolButton(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setCheckable(true);
        setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    bool separator = false;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!separator) {
            QToolButton::paintEvent(event);
            return;
        }
        if (width() < 6) return;
        QPainter p(this);
        const int x = width() / 2;
        p.setPen(palette().color(QPalette::Dark));
        p.drawLine(x - 1, 2, x - 1, height() - 3);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(x, 2, x, height() - 3);
    }
};

} // namespace

// The bar's widget: notices controls placed on it and changes of their
// size and visibility.
class ToolBarWidget : public QWidget {
public:
    explicit ToolBarWidget(QWidget* parent) : QWidget(parent) {}
    ToolBar* bar = nullptr;

protected:
    bool event(QEvent* e) override
    {
        if (bar != nullptr && e->type() == QEvent::ChildAdded) {
            if (QObject* child = static_cast<QChildEvent*>(e)->child(); child->isWidgetType())
                child->installEventFilter(this);
            bar->ScheduleArrange();
        }
        return QWidget::event(e);
    }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (bar != nullptr && watched->parent() == this) {
            switch (e->type()) {
            case QEvent::Resize:
            case QEvent::ShowToParent:
            case QEvent::HideToParent: bar->ScheduleArrange(); break;
            default: break;
            }
        }
        return false;
    }
    void paintEvent(QPaintEvent*) override
    {
        // A raised edge along the top, as tool bars have.
        QPainter p(this);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(0, 0, width() - 1, 0);
    }
};

// ---- ToolButton ----

ToolButton::ToolButton(ToolBar& bar)
    : Control(nullptr, &bar, new ToolButtonWidget(bar.ClientWidget())), m_bar(bar)
{
    auto* widget = static_cast<ToolButtonWidget*>(Widget());
    widget->setAutoRaise(bar.Flat());
    QObject::connect(widget, &QToolButton::clicked, widget, [this] { GuardHandler([this] { Click(); }); });
    ShowState();
    m_bar.Arrange();
}

void ToolButton::SetStyle(ToolButtonStyle style)
{
    m_style = style;
    static_cast<ToolButtonWidget*>(Widget())->separator = style == tbsSeparator;
    if (style == tbsSeparator) Control::SetBounds(Left(), Top(), kDefaultSeparatorWidth, Height());
    ShowState();
    m_bar.Arrange();
}

void ToolButton::SetImageIndex(int index)
{
    m_imageIndex = index;
    ShowState();
}

void ToolButton::SetDown(bool down)
{
    m_down = down;
    if (down && m_grouped && m_style == tbsCheck) {
        // The others of the group (the grouped check buttons next to this
        // one, on both sides) go up.
        const int count = m_bar.ButtonCount();
        int index = 0;
        while (index < count && m_bar.Buttons(index) != this) ++index;
        auto release = [&](int step) {
            for (int i = index + step; i >= 0 && i < count; i += step) {
                ToolButton* other = m_bar.Buttons(i);
                if (!other->m_grouped || other->m_style != tbsCheck) break;
                other->m_down = false;
                other->ShowState();
            }
        };
        release(-1);
        release(1);
    }
    ShowState();
}

void ToolButton::SetWrap(bool wrap)
{
    m_wrap = wrap;
    m_bar.Arrange();
}

void ToolButton::SetHint(const std::string& hint)
{
    m_hint = hint;
    Widget()->setToolTip(ToQString(hint));
}

void ToolButton::SetVisible(bool visible)
{
    Control::SetVisible(visible);
    m_bar.Arrange();
}

void ToolButton::SetBounds(int left, int top, int width, int height)
{
    Control::SetBounds(left, top, width, height);
    m_bar.Arrange();
}

void ToolButton::SetEnabled(bool enabled)
{
    Control::SetEnabled(enabled);
    ShowState();
}

void ToolButton::ShowState()
{
    auto* widget = static_cast<ToolButtonWidget*>(Widget());
    widget->setChecked(m_down && m_style != tbsSeparator);
    widget->setEnabled(Enabled() && m_style != tbsSeparator);
    const ImageList* images = m_bar.Images();
    const QPixmap* picture = images != nullptr && m_style != tbsSeparator ? images->Pixmap(m_imageIndex) : nullptr;
    widget->setIcon(picture != nullptr ? QIcon(*picture) : QIcon());
    if (images != nullptr) widget->setIconSize(QSize(images->Width(), images->Height()));
}

void ToolButton::Click()
{
    if (m_style == tbsSeparator || !Usable(this)) {
        ShowState();
        return;
    }
    if (m_style == tbsCheck) SetDown(m_grouped ? true : !m_down);
    ShowState();
    if (OnClick) {
        auto handler = OnClick;
        handler(*this);
    }
}

// ---- ToolBar ----

ToolBar::ToolBar(Container& parent) : Container(nullptr, &parent, new ToolBarWidget(parent.ClientWidget()))
{
    static_cast<ToolBarWidget*>(Widget())->bar = this;
    SetAlign(alTop);
    Arrange();
}

ToolBar::~ToolBar() { static_cast<ToolBarWidget*>(Widget())->bar = nullptr; }

ImageList* ToolBar::Images() const
{
    auto handle = m_images.lock();
    return handle ? *handle : nullptr;
}

void ToolBar::SetImages(ImageList* images)
{
    m_images = images != nullptr ? images->Handle() : std::weak_ptr<ImageList* const>();
    for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->ShowState();
    Arrange();
}

void ToolBar::SetFlat(bool flat)
{
    m_flat = flat;
    for (int i = 0; i < ButtonCount(); ++i) static_cast<QToolButton*>(Buttons(i)->Widget())->setAutoRaise(flat);
}

void ToolBar::SetIndent(int indent)
{
    m_indent = std::max(0, indent);
    Arrange();
}

int ToolBar::ButtonWidth() const
{
    const ImageList* images = Images();
    return (images != nullptr ? images->Width() : 16) + 7;
}

int ToolBar::ButtonHeight() const
{
    const ImageList* images = Images();
    return (images != nullptr ? images->Height() : 16) + 6;
}

int ToolBar::ButtonCount() const
{
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i) n += dynamic_cast<ToolButton*>(Controls(i)) != nullptr;
    return n;
}

ToolButton* ToolBar::Buttons(int index) const
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* button = dynamic_cast<ToolButton*>(Controls(i)))
            if (index-- == 0) return button;
    return nullptr;
}

void ToolBar::ApplyGeometry(int left, int top, int width, int height)
{
    Container::ApplyGeometry(left, top, width, height);
    Arrange();
}

void ToolBar::ScheduleArrange()
{
    if (m_arranging || m_scheduled) return;
    m_scheduled = true;
    QMetaObject::invokeMethod(
        Widget(), [this] { GuardHandler([this] { Arrange(); }); }, Qt::QueuedConnection);
}

void ToolBar::Arrange()
{
    m_scheduled = false;
    if (m_arranging) return;
    m_arranging = true;
    struct Placed {
        Control* control;
        int width;
        int height;
    };
    std::vector<std::vector<Placed>> rows(1);
    for (int i = 0; i < ControlCount(); ++i) {
        Control* c = Controls(i);
        if (!c->Visible()) continue;
        auto* button = dynamic_cast<ToolButton*>(c);
        int w = c->Width();
        int h = c->Height();
        if (button != nullptr) {
            w = button->Style() == tbsSeparator ? c->Width() : ButtonWidth();
            h = ButtonHeight();
        }
        rows.back().push_back({c, w, h});
        if (button != nullptr && button->Wrap()) rows.emplace_back();
    }
    if (rows.size() > 1 && rows.back().empty()) rows.pop_back();
    int y = kMargin;
    for (const auto& row : rows) {
        int rowHeight = ButtonHeight();
        for (const Placed& p : row) rowHeight = std::max(rowHeight, p.height);
        int x = m_indent;
        for (const Placed& p : row) {
            const bool isButton = dynamic_cast<ToolButton*>(p.control) != nullptr;
            p.control->SetBounds(x, isButton ? y : y + (rowHeight - p.height) / 2, p.width, isButton ? rowHeight : p.height);
            x += p.width;
        }
        y += rowHeight + kRowGap;
    }
    m_rows = static_cast<int>(rows.size());
    const int height = y - kRowGap + kMargin;
    if (Height() != height) SetHeight(height);
    m_arranging = false;
}

} // namespace plat
