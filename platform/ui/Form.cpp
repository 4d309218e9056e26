#include "platform/ui/Form.h"

#include "platform/base/Fatal.h"
#include "platform/ui/Menus.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/WindowHints.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMoveEvent>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace plat {

// The form's window: passes resizing, closing and activation to the form.
class FormWindow : public QWidget {
public:
    FormWindow() : QWidget(nullptr, Qt::Window) {}
    Form* form = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (form != nullptr) GuardHandler([this] {
            form->LayoutWindow();
            form->ApplyPendingOuterSize();
        });
    }
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        if (form != nullptr) GuardHandler([this] { form->Close(); });
    }
    // A reparenting window manager reports the frame only after it has put
    // the window into it, which the window sees as a move.
    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        if (form != nullptr) GuardHandler([this] { form->ApplyPendingOuterSize(); });
    }
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (form != nullptr && event->type() == QEvent::ActivationChange) {
            const bool active = isActiveWindow();
            GuardHandler([this, active] { form->HandleActivation(active); });
        }
    }
};

// Watches the keys of the form's widgets and runs its deferred release.
class FormHost : public QObject {
public:
    explicit FormHost(Form* owner) : form(owner) {}
    Form* form;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            // Asked before a key becomes a shortcut, of the focus widget.
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && widget == form->m_window->focusWidget())
                GuardHandler([&] { form->BeforeMenuKey(widget, *static_cast<QKeyEvent*>(event)); });
            return false;
        }
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr) return false;
        // A key that its widget ignores travels on to the widget's parents:
        // the form sees it once, at the widget that has the focus.
        QWidget* focus = form->m_window->focusWidget();
        if (focus != nullptr ? widget != focus : widget != form->m_window) return false;
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (!form->OwnsStroke(key, widget)) return true;
        if (event->type() != QEvent::KeyPress || !widget->isEnabled()) return false; // a disabled form takes no keys
        const bool repeat = form->m_strokes.LastWasRepeat();
        // A held key presses a button once: its repeats leave the button
        // that has the focus alone.
        if (repeat && KeyStrokes::PressesButtons(key.key()) && dynamic_cast<Button*>(ControlOfWidget(widget)) != nullptr)
            return true;
        bool swallowed = false;
        GuardHandler([&] { swallowed = form->DispatchKey(ControlOfWidget(widget), key, repeat); });
        return swallowed;
    }
};

Form::Form(Component* owner)
    : Container(owner, nullptr, new FormWindow()), m_window(Widget()), m_alive(std::make_shared<bool>(true))
{
    static_cast<FormWindow*>(m_window)->form = this;
    m_client = new QWidget(m_window);
    m_host = new FormHost(this);
    WatchKeys(m_window);
    WatchKeys(m_client);
    ApplyWindowFlags();
    ResizeWindow(320, 240);
}

Form::~Form()
{
    m_destroying = true;
    *m_alive = false;
    if (m_loop != nullptr) m_loop->exit();
    MainFormGone(this);
    if (OnDestroy) {
        auto handler = std::move(OnDestroy);
        GuardHandler(handler);
    }
    DestroyOwned();
    static_cast<FormWindow*>(m_window)->form = nullptr;
    delete m_host;
}

void Form::WatchKeys(QWidget* widget) { widget->installEventFilter(m_host); }

void Form::SetCaption(const std::string& caption)
{
    m_caption = caption;
    m_window->setWindowTitle(ToQString(caption));
}

void Form::SetBorderStyle(BorderStyle style)
{
    m_borderStyle = style;
    ApplyWindowFlags();
}

void Form::SetBorderIcons(unsigned icons)
{
    m_borderIcons = icons;
    ApplyWindowFlags();
}

void Form::ApplyWindowFlags()
{
    Qt::WindowFlags flags;
    switch (m_borderStyle) {
    case bsNone:
        flags = Qt::Window | Qt::FramelessWindowHint;
        break;
    case bsDialog:
    case bsToolWindow:
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if ((m_borderIcons & biSystemMenu) != 0) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        break;
    default:
        flags = (IsDialog() ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if ((m_borderIcons & biSystemMenu) != 0) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if ((m_borderIcons & biMinimize) != 0) flags |= Qt::WindowMinimizeButtonHint;
            if ((m_borderIcons & biMaximize) != 0 && m_borderStyle == bsSizeable) flags |= Qt::WindowMaximizeButtonHint;
        }
        break;
    }
    if (m_window->windowFlags() == flags) return;
    const bool wasVisible = m_window->isVisible();
    const QPoint position = m_window->pos();
    m_window->setWindowFlags(flags);
    m_window->move(position);
    ApplySizeLimits();
    if (wasVisible) ShowWindow();
}

bool Form::IsDialog() const
{
    if (m_borderStyle == bsNone) return false;
    const bool normal = m_borderStyle == bsSingle || m_borderStyle == bsSizeable;
    return !(normal && (m_borderIcons & biSystemMenu) != 0 && (m_borderIcons & biMinimize) != 0);
}

QWidget* Form::TransientOwnerWindow() const
{
    if (Form* owner = OwnerForm()) return owner != this ? owner->m_window : nullptr;
    if (!IsDialog()) return nullptr;
    // A dialog without an owner belongs to the program's main window, or
    // else to the window it comes up over.
    Form* main = RunningMainForm();
    if (main != nullptr && main != this && main->m_window->isVisible()) return main->m_window;
    QWidget* active = QApplication::activeWindow();
    return active != m_window ? active : nullptr;
}

void Form::ShowWindow()
{
    // A dialog (a window without a minimise button: dialogs, tool windows,
    // windows without border icons) is one the user may neither minimise
    // nor maximise, whatever the window manager would offer by itself.
    const bool systemMenu = (m_borderIcons & biSystemMenu) != 0;
    if (IsDialog()) {
        WindowFunctions functions;
        functions.close = systemMenu;
        functions.resize = m_borderStyle == bsSizeable;
        functions.maximize = m_borderStyle == bsSizeable && systemMenu && (m_borderIcons & biMaximize) != 0;
        SetWindowFunctions(m_window, functions);
        KeepFromMinimising(m_window);
    }
    m_window->show();
}

static void BringToFront(QWidget* window)
{
    // The offscreen platform of the tests cannot raise windows (and says so).
    static const bool canRaise = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (canRaise) window->raise();
    window->activateWindow();
}

static QMargins FrameOf(const QWidget* window)
{
    if (const Rect* margins = FrameMarginsOverride())
        return window->isVisible() ? QMargins(margins->left, margins->top, margins->right, margins->bottom) : QMargins();
    if (const QWindow* handle = window->windowHandle()) return handle->frameMargins();
    return {};
}

int Form::Left() const { return m_window->pos().x(); }
int Form::Top() const { return m_window->pos().y(); }
int Form::Width() const
{
    const QMargins m = FrameOf(m_window);
    return m_window->width() + m.left() + m.right();
}
int Form::Height() const
{
    const QMargins m = FrameOf(m_window);
    return m_window->height() + m.top() + m.bottom();
}

void Form::SetBounds(int left, int top, int width, int height)
{
    const QMargins m = FrameOf(m_window);
    m_window->move(left, top);
    ResizeWindow(width - m.left() - m.right(), height - m.top() - m.bottom());
    // The frame is known once the window has been shown: the outer size
    // then still holds (a stored window size does not grow by the frame).
    m_pendingOuter = !m_window->isVisible();
    m_pendingWidth = width;
    m_pendingHeight = height;
}

void Form::SetLeft(int left) { m_window->move(left, Top()); }
void Form::SetTop(int top) { m_window->move(Left(), top); }

void Form::ApplyPendingOuterSize()
{
    // A window manager that frames the window tells the frame only once it
    // has put the window into it, after the window was shown: until then
    // the outer size set while hidden is still to be kept, so that a window
    // stored at its outer size reopens at exactly that size.
    if (!m_pendingOuter || !m_window->isVisible()) return;
    const QMargins m = FrameOf(m_window);
    if (m.isNull()) return;
    m_pendingOuter = false;
    ResizeWindow(m_pendingWidth - m.left() - m.right(), m_pendingHeight - m.top() - m.bottom());
    ApplySizeLimits();
}

WindowState Form::GetWindowState() const
{
    const Qt::WindowStates state = m_window->windowState();
    if (state & Qt::WindowMinimized) return wsMinimized;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) return wsMaximized;
    return wsNormal;
}

void Form::SetWindowState(WindowState state)
{
    Qt::WindowStates qtState = m_window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == wsMinimized) qtState |= Qt::WindowMinimized;
    if (state == wsMaximized) qtState |= Qt::WindowMaximized;
    m_window->setWindowState(qtState);
}

Rect Form::NormalBounds() const
{
    const QRect normal = m_window->normalGeometry();
    if (GetWindowState() == wsNormal || !normal.isValid()) return BoundsRect();
    const QMargins m = FrameOf(m_window);
    return {normal.x() - m.left(), normal.y() - m.top(), normal.x() + normal.width() + m.right(),
            normal.y() + normal.height() + m.bottom()};
}

int Form::ClientWidth() const { return m_client->width(); }
int Form::ClientHeight() const { return m_client->height(); }

void Form::SetClientSize(int width, int height)
{
    m_pendingOuter = false;
    width = std::max(0, width);
    ResizeWindow(width, std::max(0, height) + MenuBarHeight(width));
}

void Form::SetMinTrackSize(int width, int height)
{
    m_minTrackWidth = std::max(0, width);
    m_minTrackHeight = std::max(0, height);
    ApplySizeLimits();
    if (m_borderStyle == bsSizeable)
        ResizeWindow(std::max(m_window->width(), m_window->minimumWidth()),
                     std::max(m_window->height(), m_window->minimumHeight()));
}

void Form::ResizeWindow(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (m_borderStyle == bsSizeable) {
        width = std::max(width, m_window->minimumWidth());
        height = std::max(height, m_window->minimumHeight());
        m_window->resize(width, height);
    } else {
        m_window->setFixedSize(width, height);
    }
    LayoutWindow();
}

void Form::ApplySizeLimits()
{
    if (m_borderStyle == bsSizeable) {
        const QMargins m = FrameOf(m_window);
        m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_window->setMinimumSize(std::max(0, m_minTrackWidth - m.left() - m.right()),
                                 std::max(0, m_minTrackHeight - m.top() - m.bottom()));
    } else {
        m_window->setFixedSize(m_window->size());
    }
}

int Form::MenuBarHeight(int width) const
{
    if (m_menu == nullptr) return 0;
    QMenuBar* bar = m_menu->Bar();
    const int h = bar->heightForWidth(width);
    return h >= 0 ? h : bar->sizeHint().height();
}

void Form::LayoutWindow()
{
    if (m_destroying) return;
    const int width = m_window->width();
    const int menuHeight = std::min(MenuBarHeight(width), m_window->height());
    if (m_menu != nullptr) m_menu->Bar()->setGeometry(0, 0, width, menuHeight);
    const bool sizeChanged = m_client->width() != width || m_client->height() != m_window->height() - menuHeight;
    m_client->setGeometry(0, menuHeight, width, m_window->height() - menuHeight);
    Realign();
    if (sizeChanged && OnResize) OnResize();
}

Form* Form::OwnerForm() const
{
    auto* owner = dynamic_cast<Control*>(Owner());
    return owner != nullptr ? owner->ParentForm() : nullptr;
}

bool Form::Visible() const { return m_window->isVisible(); }

void Form::SetVisible(bool visible)
{
    if (!visible) {
        if (m_modal) {
            // A modal form that is hidden ends as if closed.
            if (m_modalResult == mrNone) SetModalResult(mrCancel);
            return;
        }
        m_window->hide();
        return;
    }
    if (m_window->isVisible()) {
        BringToFront(m_window);
        return;
    }
    // The window manager keeps a window above the one it is transient for
    // and minimises it with that one.
    m_window->winId();
    QWidget* owner = TransientOwnerWindow();
    if (owner != nullptr) owner->winId();
    m_window->windowHandle()->setTransientParent(owner != nullptr ? owner->windowHandle() : nullptr);
    ShowWindow();
    if (m_pendingOuter) {
        // Shown at the outer size; the frame, as far as it is known yet,
        // comes off it (see ApplyPendingOuterSize for the rest).
        const QMargins m = FrameOf(m_window);
        ResizeWindow(m_pendingWidth - m.left() - m.right(), m_pendingHeight - m.top() - m.bottom());
        ApplyPendingOuterSize();
    }
    ApplySizeLimits();
    LayoutWindow();
    BringToFront(m_window);
    if (OnShow) OnShow();
}

void Form::SetModalResult(int result)
{
    m_modalResult = result;
    if (m_modal && result != mrNone && m_loop != nullptr) m_loop->exit();
}

bool Form::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(canClose);
    return canClose;
}

void Form::Close()
{
    if (m_modal) {
        if (m_modalResult == mrNone) SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    std::shared_ptr<bool> alive = m_alive;
    if (OnClose) OnClose();
    if (!*alive) return;
    m_window->hide();
    MainFormGone(this);
}

void Form::EndModal()
{
    m_modal = false;
    m_loop = nullptr;
    m_window->hide();
    m_window->setWindowModality(Qt::NonModal);
}

int Form::ShowModal()
{
    if (Visible() || m_modal) Fatal("Cannot make a visible window modal");
    std::shared_ptr<bool> alive = m_alive;
    m_modalResult = mrNone;
    m_modal = true;
    m_window->setWindowModality(Qt::ApplicationModal);
    struct Cleanup {
        Form* form;
        std::shared_ptr<bool> alive;
        ~Cleanup()
        {
            if (*alive && form->m_modal) form->EndModal();
        }
    } cleanup{this, alive};

    Show();
    if (ScopedDialogScript* script = ScopedDialogScript::Current()) {
        std::function<void(Form&)> driver = script->TakeDriver(m_caption);
        driver(*this);
        if (!*alive) return mrCancel;
        if (m_modalResult != mrNone && !CloseQuery()) m_modalResult = mrNone;
        if (!*alive) return mrCancel;
        if (m_modalResult == mrNone)
            throw UnscriptedDialog("the modal form \"" + m_caption + "\" is still open after its driver");
    } else {
        QEventLoop loop;
        for (;;) {
            m_loop = &loop;
            if (m_modalResult == mrNone && !QuitRequested()) loop.exec();
            if (!*alive) return mrCancel;
            m_loop = nullptr;
            if (QuitRequested()) {
                // The application ends: no question asked.
                if (m_modalResult == mrNone) m_modalResult = mrCancel;
                break;
            }
            if (m_modalResult == mrNone) continue;
            if (CloseQuery()) break;
            if (!*alive) return mrCancel;
            m_modalResult = mrNone;
        }
    }
    if (OnClose) OnClose();
    if (!*alive) return mrCancel;
    const int result = m_modalResult;
    EndModal();
    return result;
}

void Form::Release()
{
    if (m_releasing) return;
    m_releasing = true;
    QMetaObject::invokeMethod(m_host, [this] { delete this; }, Qt::QueuedConnection);
}

Control* Form::ActiveControl() const
{
    Control* control = ControlOfWidget(m_window->focusWidget());
    return control == this ? nullptr : control;
}

namespace {

// The letter of a menu key: Alt with a letter (Shift may be held as well);
// 0 for any other key.
int MenuKeyOf(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers held = event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (held != Qt::AltModifier) return 0;
    return event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z ? event.key() : 0;
}

} // namespace

void Form::BeforeMenuKey(QWidget* focus, const QKeyEvent& event)
{
    const int key = MenuKeyOf(event);
    if (key == 0 || m_menu == nullptr || !m_window->isEnabled() || m_menu->ItemOfMenuKey(key) == nullptr) return;
    Control* control = ControlOfWidget(focus);
    if (control != nullptr && control->OnMenuKey) {
        auto handler = control->OnMenuKey;
        handler();
    }
}

void Form::PassMenuKeyToOwner(const QKeyEvent& event)
{
    const int key = MenuKeyOf(event);
    if (key == 0 || m_menu != nullptr || m_borderStyle != bsNone) return;
    Form* owner = OwnerForm();
    while (owner != nullptr && owner->m_menu == nullptr) owner = owner->OwnerForm();
    if (owner == nullptr || !owner->m_window->isEnabled() || owner->m_menu->ItemOfMenuKey(key) == nullptr) return;
    // The menu opens once the owner is the active window again: this
    // window has then let go of the keyboard (a pop-up editor commits or
    // cancels as it does when it loses activation).
    owner->m_pendingMenuKey = key;
    owner->m_window->activateWindow();
}

void Form::OpenPendingMenu()
{
    const int key = m_pendingMenuKey;
    m_pendingMenuKey = 0;
    if (m_menu == nullptr || key == 0) return;
    if (MenuItem* item = m_menu->ItemOfMenuKey(key)) m_menu->OpenItem(item);
}

void Form::HandleActivation(bool active)
{
    if (!active) m_strokes.Clear();
    if (active && m_pendingMenuKey != 0) {
        // After the focus has come back to its control.
        std::weak_ptr<bool> alive = m_alive;
        QMetaObject::invokeMethod(
            m_host,
            [this, alive] {
                if (!alive.expired()) GuardHandler([this] { OpenPendingMenu(); });
            },
            Qt::QueuedConnection);
    }
    if (active) {
        if (OnActivate) OnActivate();
    } else {
        if (OnDeactivate) OnDeactivate();
    }
}

Button* Form::FindButton(bool cancel) const
{
    std::vector<const Container*> pending{this};
    while (!pending.empty()) {
        const Container* c = pending.front();
        pending.erase(pending.begin());
        for (int i = 0; i < c->ControlCount(); ++i) {
            Control* child = c->Controls(i);
            if (!child->Visible() || !child->Enabled()) continue;
            if (auto* button = dynamic_cast<Button*>(child)) {
                if (cancel ? button->Cancel() : button->Default()) return button;
            } else if (auto* inner = dynamic_cast<Container*>(child)) {
                pending.push_back(inner);
            }
        }
    }
    return nullptr;
}

bool Form::DispatchKey(Control* target, const QKeyEvent& event, bool repeat)
{
    std::shared_ptr<bool> alive = m_alive;
    if (target == nullptr) target = this;
    const bool toForm = target == this;
    QPointer<QWidget> targetWidget = target->Widget();
    auto targetGone = [&] { return !*alive || targetWidget.isNull(); };

    int key = VirtualKeyOf(event.key());
    const ShiftState shift = ShiftOf(event.modifiers());
    if (key != 0) {
        if ((m_keyPreview || toForm) && OnKeyDown) {
            OnKeyDown(key, shift);
            if (targetGone() || key == 0) return true;
        }
        if (!toForm && target->OnKeyDown) {
            target->OnKeyDown(key, shift);
            if (targetGone() || key == 0) return true;
        }
        if (key == VK_RETURN && !shift.Has(ssAlt) && !shift.Has(ssCtrl) && !repeat) {
            if (auto* button = dynamic_cast<Button*>(target)) {
                button->Click();
                return true;
            }
            if (!target->WantsReturn())
                if (Button* button = FindButton(false)) {
                    button->Click();
                    return true;
                }
        }
        if (key == VK_ESCAPE && !repeat)
            if (Button* button = FindButton(true)) {
                button->Click();
                return true;
            }
    }
    // Alt strokes belong to the menus: no control takes them as text. A
    // pop-up window has no menu bar of its own: the menus of the window
    // that owns it answer there.
    if (shift.Has(ssAlt) && !event.text().isEmpty()) {
        PassMenuKeyToOwner(event);
        return true;
    }
    char32_t ch = CharacterOf(event);
    if (ch != 0) {
        if ((m_keyPreview || toForm) && OnKeyPress) {
            OnKeyPress(ch);
            if (targetGone() || ch == 0) return true;
        }
        if (!toForm && target->OnKeyPress) {
            target->OnKeyPress(ch);
            if (targetGone() || ch == 0) return true;
        }
    }
    return false;
}

} // namespace plat
