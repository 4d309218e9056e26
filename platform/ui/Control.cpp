#include "platform/ui/Control.h"

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/QtCanvas.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QMouseEvent>
#include <QVariant>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace plat {

namespace {
const char* const kControlProperty = "plat_control";

// Passes the mouse and focus events of every control's widget to the
// control's handlers; the widget then handles them as usual.
class InputRouter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::FocusIn:
        case QEvent::FocusOut: break;
        default: return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        QVariant v = widget->property(kControlProperty);
        if (!v.isValid()) return false;
        auto* control = static_cast<Control*>(v.value<void*>());
        if (control == nullptr) return false;
        bool handled = false;
        GuardHandler([&] {
            if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
                ReportFocusChange(*control, *static_cast<QFocusEvent*>(event));
            else
                handled = ReportMouseEvent(*control, event);
        });
        return handled;
    }
};

Point g_cursorPos;
bool g_cursorKnown = false;
ShiftState g_inputState;
unsigned g_heldButtons = 0;

// Notes the modifier keys and buttons of every key and mouse event, before
// any window or control sees it.
class InputStateWatcher : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            // Keys carry no buttons: those of the latest mouse event stay.
            auto* key = static_cast<QKeyEvent*>(event);
            g_inputState = ShiftState(ShiftOf(key->modifiers()).bits | g_heldButtons);
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            g_inputState = MouseShiftOf(mouse->modifiers(), mouse->buttons());
            g_heldButtons = g_inputState.bits & (ssLeft | ssRight | ssMiddle);
            break;
        }
        default: break;
        }
        return false;
    }
};

InputRouter* Router()
{
    static InputRouter* router = [] {
        auto* watcher = new InputStateWatcher();
        watcher->setParent(qApp); // goes with the application
        qApp->installEventFilter(watcher);
        return new InputRouter();
    }();
    return router;
}
} // namespace

ShiftState KeyboardState() { return g_inputState; }

ShiftState MouseShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    unsigned bits = ShiftOf(modifiers).bits;
    if (buttons & Qt::LeftButton) bits |= ssLeft;
    if (buttons & Qt::RightButton) bits |= ssRight;
    if (buttons & Qt::MiddleButton) bits |= ssMiddle;
    return ShiftState(bits);
}

void NoteCursorPos(const QPointF& global)
{
    g_cursorPos = {static_cast<int>(global.x()), static_cast<int>(global.y())};
    g_cursorKnown = true;
}

Point CursorPos()
{
    if (g_cursorKnown) return g_cursorPos;
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

bool ReportMouseEvent(Control& control, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        NoteCursorPos(wheel->globalPosition());
        if (!control.OnMouseWheel) return false;
        bool handled = false;
        const QPoint p = wheel->position().toPoint();
        control.OnMouseWheel(MouseShiftOf(wheel->modifiers(), wheel->buttons()), wheel->angleDelta().y(), p.x(), p.y(),
                             handled);
        return handled;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    NoteCursorPos(mouse->globalPosition());
    const QPoint p = mouse->position().toPoint();
    MouseButton button = mbLeft;
    if (mouse->button() == Qt::RightButton) button = mbRight;
    if (mouse->button() == Qt::MiddleButton) button = mbMiddle;
    ShiftState shift = MouseShiftOf(mouse->modifiers(), mouse->buttons());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (control.OnMouseDown) control.OnMouseDown(button, shift, p.x(), p.y());
        break;
    case QEvent::MouseButtonDblClick:
        if (control.OnDblClick) {
            std::function<void()> handler = control.OnDblClick;
            QPointer<QWidget> alive = control.Widget();
            handler();
            if (alive.isNull()) break;
        }
        if (control.OnMouseDown) control.OnMouseDown(button, ShiftState(shift.bits | ssDouble), p.x(), p.y());
        break;
    case QEvent::MouseButtonRelease:
        if (control.OnMouseUp) control.OnMouseUp(button, shift, p.x(), p.y());
        break;
    case QEvent::MouseMove:
        if (control.OnMouseMove) control.OnMouseMove(shift, p.x(), p.y());
        break;
    default: break;
    }
    return false;
}

void ReportFocusChange(Control& control, const QFocusEvent& event)
{
    // The activation of the window and menus that open and close do not move
    // the focus within the window: a control that loses the focus that way
    // and gets it back hears nothing. (The first control to get the focus
    // when a window is first activated does enter.)
    static const char* const kKeptFocus = "plat_kept_focus";
    QWidget* window = control.Widget()->window();
    const bool passing = event.reason() == Qt::ActiveWindowFocusReason || event.reason() == Qt::PopupFocusReason;
    if (event.type() == QEvent::FocusOut) {
        if (passing) {
            window->setProperty(kKeptFocus, QVariant::fromValue(static_cast<void*>(&control)));
            return;
        }
        window->setProperty(kKeptFocus, QVariant());
        if (control.OnExit) control.OnExit();
        return;
    }
    const QVariant kept = window->property(kKeptFocus);
    window->setProperty(kKeptFocus, QVariant());
    if (passing && kept.isValid() && kept.value<void*>() == &control) return;
    if (control.OnEnter) control.OnEnter();
}

void BindWidget(QWidget* widget, Control* control)
{
    widget->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(control)));
}

Control* ControlOfWidget(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        QVariant v = w->property(kControlProperty);
        if (v.isValid()) return static_cast<Control*>(v.value<void*>());
    }
    return nullptr;
}

// ---- Component ----

Component::Component(Component* owner) : m_owner(owner)
{
    if (m_owner != nullptr) m_owner->m_owned.push_back(this);
}

Component::~Component()
{
    DestroyOwned();
    if (m_owner != nullptr) {
        auto& list = m_owner->m_owned;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void Component::DestroyOwned()
{
    while (!m_owned.empty()) delete m_owned.back();
}

// ---- Control ----

Control::Control(Component* owner, Container* parent, QWidget* widget)
    : Component(parent != nullptr ? parent : owner), m_parent(parent), m_widget(widget)
{
    BindWidget(m_widget, this);
    m_widget->installEventFilter(Router());
    if (m_parent != nullptr) {
        m_parent->m_controls.push_back(this);
        RecordDesign(m_widget->x(), m_widget->y(), m_widget->width(), m_widget->height());
        if (Form* form = m_parent->ParentForm()) form->WatchKeys(m_widget);
        // On a container that is shown already the control shows at once
        // (a widget added later would stay hidden).
        if (m_parent->ClientWidget()->isVisible()) m_widget->show();
    }
}

Control::~Control()
{
    DestroyOwned();
    if (m_parent != nullptr) {
        auto& list = m_parent->m_controls;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (m_align != alNone) m_parent->Realign();
    }
    // The widget's last events (a lost focus) no longer reach this control.
    m_widget->setProperty(kControlProperty, QVariant());
    delete m_widget;
}

Form* Control::ParentForm() const
{
    const Control* c = this;
    while (c->m_parent != nullptr) c = c->m_parent;
    return dynamic_cast<Form*>(const_cast<Control*>(c));
}

int Control::Left() const { return m_widget->x(); }
int Control::Top() const { return m_widget->y(); }
int Control::Width() const { return m_widget->width(); }
int Control::Height() const { return m_widget->height(); }

void Control::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
void Control::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
void Control::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void Control::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

void Control::SetBounds(int left, int top, int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    RecordDesign(left, top, width, height);
    if (m_parent != nullptr && m_align != alNone)
        m_parent->Realign();
    else
        ApplyGeometry(left, top, width, height);
}

Rect Control::WorkArea() const { return DesktopWorkArea(); }

void Control::RecordDesign(int left, int top, int width, int height)
{
    m_design.left = left;
    m_design.top = top;
    m_design.width = width;
    m_design.height = height;
    if (m_parent != nullptr) {
        m_design.parentWidth = m_parent->ClientWidth();
        m_design.parentHeight = m_parent->ClientHeight();
    }
}

void Control::ApplyGeometry(int left, int top, int width, int height)
{
    m_widget->setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void Control::SetAlign(Align align)
{
    if (align == m_align) return;
    if (align == alNone) RecordDesign(Left(), Top(), Width(), Height());
    m_align = align;
    ParentChanged();
}

void Control::SetAnchors(unsigned anchors)
{
    m_anchors = anchors;
    RecordDesign(Left(), Top(), Width(), Height());
}

void Control::SetVisible(bool visible)
{
    if (visible == m_visible) return;
    m_visible = visible;
    m_widget->setVisible(visible);
    ParentChanged();
}

void Control::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    m_widget->setEnabled(enabled);
}

void Control::SetFocus()
{
    m_widget->setFocus(Qt::OtherFocusReason);
}

bool Control::Focused() const
{
    return m_widget->window()->focusWidget() == m_widget;
}

void Control::SetTabOrder(std::initializer_list<Control*> order)
{
    const Control* previous = nullptr;
    for (const Control* control : order) {
        if (previous != nullptr) QWidget::setTabOrder(previous->m_widget, control->m_widget);
        previous = control;
    }
}

void Control::SetCursor(Cursor cursor)
{
    m_cursor = cursor;
    if (cursor == crDefault)
        m_widget->unsetCursor();
    else
        m_widget->setCursor(ToQCursorShape(cursor));
}

Font Control::GetFont() const
{
    if (m_font) return *m_font;
    if (m_parent != nullptr) return m_parent->GetFont();
    return FromQFont(QApplication::font(), GetScreenPixelsPerInch());
}

void Control::SetFont(const Font& font)
{
    m_font = font;
    m_font->pixelsPerInch = GetScreenPixelsPerInch();
    m_widget->setFont(ToQFont(*m_font, m_widget));
    QPalette palette = m_widget->palette();
    const QColor text = ToQColor(m_font->color);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    m_widget->setPalette(palette);
    Invalidate();
}

Color Control::GetColor() const
{
    if (m_color) return *m_color;
    if (m_parent != nullptr) return m_parent->GetColor();
    return clBtnFace;
}

void Control::SetColor(Color color)
{
    m_color = color;
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    palette.setColor(QPalette::Base, ToQColor(color));
    m_widget->setPalette(palette);
    m_widget->setAutoFillBackground(true);
    Invalidate();
}

void Control::Invalidate() { m_widget->update(); }

void Control::Repaint() { m_widget->repaint(); }

static const QWidget* ClientWidgetOf(const Control* control)
{
    if (auto* container = dynamic_cast<const Container*>(control)) return container->ClientWidget();
    return control->Widget();
}

Point Control::ClientToScreen(Point p) const
{
    const QPoint q = ClientWidgetOf(this)->mapToGlobal(QPoint(p.x, p.y));
    return {q.x(), q.y()};
}

Point Control::ScreenToClient(Point p) const
{
    const QPoint q = ClientWidgetOf(this)->mapFromGlobal(QPoint(p.x, p.y));
    return {q.x(), q.y()};
}

void Control::ParentChanged()
{
    if (m_parent != nullptr) m_parent->Realign();
}

// ---- Container ----

Container::Container(Component* owner, Container* parent, QWidget* widget) : Control(owner, parent, widget) {}

Container::~Container()
{
    m_aligning = true; // children leave one by one: no layout in between
    DestroyOwned();
}

Control* Container::FindControl(const std::string& name) const
{
    for (Control* c : m_controls) {
        if (c->Name() == name) return c;
        if (auto* inner = dynamic_cast<Container*>(c))
            if (Control* found = inner->FindControl(name)) return found;
    }
    return nullptr;
}

void Container::ApplyGeometry(int left, int top, int width, int height)
{
    Control::ApplyGeometry(left, top, width, height);
    Realign();
}

int Container::ClientWidth() const { return ClientWidget()->width(); }
int Container::ClientHeight() const { return ClientWidget()->height(); }

Rect Container::AlignRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }

void Container::Realign()
{
    if (m_aligning) return;
    m_aligning = true;
    Rect r = AlignRect();
    for (Align kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (Control* c : m_controls) {
            if (c->m_align != kind || !c->m_visible) continue;
            const int w = c->m_design.width;
            const int h = c->m_design.height;
            switch (kind) {
            case alTop:
                c->ApplyGeometry(r.left, r.top, r.Width(), h);
                r.top += h;
                break;
            case alBottom:
                c->ApplyGeometry(r.left, r.bottom - h, r.Width(), h);
                r.bottom -= h;
                break;
            case alLeft:
                c->ApplyGeometry(r.left, r.top, w, r.Height());
                r.left += w;
                break;
            case alRight:
                c->ApplyGeometry(r.right - w, r.top, w, r.Height());
                r.right -= w;
                break;
            default:
                c->ApplyGeometry(r.left, r.top, r.Width(), r.Height());
                break;
            }
        }
    }
    const int width = ClientWidth();
    const int height = ClientHeight();
    for (Control* c : m_controls) {
        if (c->m_align != alNone) continue;
        const Control::Design& d = c->m_design;
        int left = d.left, top = d.top, w = d.width, h = d.height;
        const int dx = width - d.parentWidth;
        const int dy = height - d.parentHeight;
        if ((c->m_anchors & akRight) != 0) {
            if ((c->m_anchors & akLeft) != 0)
                w += dx;
            else
                left += dx;
        }
        if ((c->m_anchors & akBottom) != 0) {
            if ((c->m_anchors & akTop) != 0)
                h += dy;
            else
                top += dy;
        }
        c->ApplyGeometry(left, top, w, h);
    }
    m_aligning = false;
}

} // namespace plat
