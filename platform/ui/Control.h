#pragma once
// Components, controls and containers of the window layer.
//
// A component may have an owner, which frees it when the owner is freed; it
// may also be freed earlier, and then leaves its owner. A control lies on a
// parent container, which is also its owner: controls are created with `new`
// on their parent and belong to it. Forms, menus and pop-up menus are owned
// by the component given to them (or by nobody, and then by their creator).
//
// Positions are in pixels relative to the parent's client area (a form's
// client area lies below its menu bar; a panel's children are positioned
// from the panel's outer corner, as its bevels lie inside it).
//
// Alignment: a container places its aligned children in this order: every
// top-aligned child (in creation order) takes its own height off the top of
// the free area, then every bottom-aligned one off its bottom, every
// left-aligned one its own width off the left, every right-aligned one off
// the right, and every client-aligned child fills what is left. Children
// that are not aligned keep their position; anchored to the right (or
// bottom) they keep their distance to the container's right (or bottom)
// edge when the container is resized, and anchored to both sides they
// stretch. Hidden children take no room.
//
// Mouse: a control reports the presses, releases, moves, double clicks and
// wheel turns of the mouse over it to its handlers, with client coordinates
// and the shift state (modifier keys and the buttons held). A double click
// arrives as down, up, double click, up: the second press calls OnDblClick
// and then OnMouseDown with ssDouble.
//
// Focus: OnEnter and OnExit run when the keyboard focus moves to or away from
// the control within its window, not when the window itself is activated or
// deactivated or a menu opens.
//
// Font and colour: a control without a font of its own shows its parent's
// (a form without one the desktop's); the colour is the background colour,
// likewise taken from the parent until one is set.
#include "platform/base/Font.h"
#include "platform/base/Placement.h"
#include "platform/base/Rect.h"
#include "platform/ui/Keys.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace plat {

class Container;
class Form;

class Component {
public:
    explicit Component(Component* owner);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return m_owner; }

protected:
    // Frees every owned component, the newest first. Derived classes call it
    // in their destructor where owned components must go before their own
    // parts.
    void DestroyOwned();

private:
    Component* m_owner;
    std::vector<Component*> m_owned;
};

enum Align { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum MouseButton { mbLeft, mbRight, mbMiddle };

// Mouse pointer shapes.
enum Cursor {
    crDefault,   // the arrow (or what the control shows by itself)
    crHSplit,    // a bar that moves left and right (splitters)
    crSizeWE,    // a border that moves left and right (column sizing)
    crHourGlass, // busy
};

using MouseButtonHandler = std::function<void(MouseButton button, ShiftState shift, int x, int y)>;
using MouseMoveHandler = std::function<void(ShiftState shift, int x, int y)>;
// delta: 120 per notch, positive away from the user; set handled to keep the
// control from acting on the turn itself (a grid scrolls).
using MouseWheelHandler = std::function<void(ShiftState shift, int delta, int x, int y, bool& handled)>;

enum AnchorFlag : unsigned {
    akLeft = 1u << 0,
    akTop = 1u << 1,
    akRight = 1u << 2,
    akBottom = 1u << 3,
};

class Control : public Component, public PlacedControl {
public:
    ~Control() override;

    Container* Parent() const { return m_parent; }
    // The form the control lies on; a form is its own form.
    Form* ParentForm() const;

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }

    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void SetLeft(int left) override;
    void SetTop(int top) override;
    void SetWidth(int width);
    void SetHeight(int height);
    virtual void SetBounds(int left, int top, int width, int height);
    Rect BoundsRect() const { return {Left(), Top(), Left() + Width(), Top() + Height()}; }
    // The desktop work area (see Application.h).
    Rect WorkArea() const override;

    Align GetAlign() const { return m_align; }
    void SetAlign(Align align);
    unsigned Anchors() const { return m_anchors; }
    void SetAnchors(unsigned anchors);

    // The control's own Visible and Enabled flags; a control on a hidden or
    // disabled parent keeps its own flag.
    virtual bool Visible() const { return m_visible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool enabled);

    void SetFocus();
    bool Focused() const;
    // Tab moves the focus from each control to the next in the order given
    // (all on one form); Shift+Tab goes back.
    static void SetTabOrder(std::initializer_list<Control*> order);

    // Key handlers of the control (see Keys.h); a form with key preview sees
    // each key first.
    KeyDownHandler OnKeyDown;
    KeyPressHandler OnKeyPress;

    MouseButtonHandler OnMouseDown;
    MouseMoveHandler OnMouseMove;
    MouseButtonHandler OnMouseUp;
    std::function<void()> OnDblClick;
    MouseWheelHandler OnMouseWheel;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;
    // A menu key (Alt with the letter of a menu of the bar) is about to take
    // the focus to the menus: the control lets go of it first (an open
    // in-place editor commits or cancels as it does on leaving).
    std::function<void()> OnMenuKey;

    // The pointer shape over the control.
    Cursor GetCursor() const { return m_cursor; }
    void SetCursor(Cursor cursor);

    // The control's font: its own, else its parent's (see above).
    Font GetFont() const;
    void SetFont(const Font& font);
    bool HasOwnFont() const { return m_font.has_value(); }
    // The background colour: its own, else its parent's, else clBtnFace.
    Color GetColor() const;
    void SetColor(Color color);

    // Schedules a repaint of the whole control (nothing is erased first);
    // Repaint paints at once.
    virtual void Invalidate();
    virtual void Repaint();

    // Client coordinates to desktop coordinates and back.
    Point ClientToScreen(Point p) const;
    Point ScreenToClient(Point p) const;

    // The toolkit widget (the window of a form); for the window layer and
    // tests only.
    QWidget* Widget() const { return m_widget; }

protected:
    // `widget` is created by the derived class, on the parent's client
    // widget when there is a parent. A control without parent (a form) is
    // owned by `owner`.
    Control(Component* owner, Container* parent, QWidget* widget);
    // Whether Enter typed into the control belongs to it (a memo) rather
    // than to the form's default button.
    virtual bool WantsReturn() const { return false; }
    // Places the widget (layout and setters).
    virtual void ApplyGeometry(int left, int top, int width, int height);

private:
    friend class Container;
    friend class Form;
    struct Design {
        int left = 0, top = 0, width = 0, height = 0;
        int parentWidth = 0, parentHeight = 0;
    };
    void RecordDesign(int left, int top, int width, int height);
    void ParentChanged();

    Container* m_parent;
    QWidget* m_widget;
    std::string m_name;
    Align m_align = alNone;
    unsigned m_anchors = akLeft | akTop;
    Cursor m_cursor = crDefault;
    std::optional<Font> m_font;
    std::optional<Color> m_color;
    bool m_visible = true;
    bool m_enabled = true;
    Design m_design;
};

class Container : public Control {
public:
    ~Container() override;

    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    Control* Controls(int index) const { return m_controls.at(static_cast<size_t>(index)); }
    // The first control of that name on this container or below it.
    Control* FindControl(const std::string& name) const;

    // The size of the area that children lie on.
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    // The part of the client area that aligned children share (a panel's
    // client area without its border and bevels).
    virtual Rect AlignRect() const;
    // The widget that children are created on.
    virtual QWidget* ClientWidget() const { return Widget(); }

    // Places the children again (after the container's size changed).
    void Realign();

protected:
    Container(Component* owner, Container* parent, QWidget* widget);
    void ApplyGeometry(int left, int top, int width, int height) override;

private:
    friend class Control;
    std::vector<Control*> m_controls;
    bool m_aligning = false;
};

} // namespace plat
