#include "platform/ui/Control.h"

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/QtAccess.h"

#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace plat {

namespace {
const char* const kControlProperty = "plat_control";
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
    if (m_parent != nullptr) {
        m_parent->m_controls.push_back(this);
        RecordDesign(m_widget->x(), m_widget->y(), m_widget->width(), m_widget->height());
        if (Form* form = m_parent->ParentForm()) form->WatchKeys(m_widget);
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
