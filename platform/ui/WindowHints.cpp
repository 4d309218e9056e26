#include "platform/ui/WindowHints.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace plat {

namespace {

// The Motif window manager hints: which fields are given, the functions
// and the decorations.
constexpr uint32_t MwmHintsFunctions = 1u << 0;
constexpr uint32_t MwmHintsDecorations = 1u << 1;
constexpr uint32_t MwmFuncResize = 1u << 1;
constexpr uint32_t MwmFuncMove = 1u << 2;
constexpr uint32_t MwmFuncMinimize = 1u << 3;
constexpr uint32_t MwmFuncMaximize = 1u << 4;
constexpr uint32_t MwmFuncClose = 1u << 5;
constexpr uint32_t MwmDecorBorder = 1u << 1;
constexpr uint32_t MwmDecorResizeH = 1u << 2;
constexpr uint32_t MwmDecorTitle = 1u << 3;
constexpr uint32_t MwmDecorMenu = 1u << 4;
constexpr uint32_t MwmDecorMinimize = 1u << 5;
constexpr uint32_t MwmDecorMaximize = 1u << 6;

xcb_connection_t* X11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// The window a dialog belongs to: the window of its parent widget, else
// the window it is transient for; null for a window of its own.
QWidget* OwnerOf(const QWidget* window)
{
    if (const QWidget* parent = window->parentWidget()) return parent->window();
    const QWindow* handle = window->windowHandle();
    const QWindow* transient = handle != nullptr ? handle->transientParent() : nullptr;
    if (transient == nullptr) return nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->windowHandle() == transient) return top;
    return nullptr;
}

bool IsMinimised(const QWidget* window) { return (window->windowState() & Qt::WindowMinimized) != 0; }

// The windows a dialog belongs to, directly or through other dialogs,
// nearest first.
std::vector<QWidget*> OwnersOf(const QWidget* window)
{
    constexpr size_t kMostOwners = 32; // a chain that closes on itself ends somewhere
    std::vector<QWidget*> owners;
    for (QWidget* owner = OwnerOf(window); owner != nullptr && owners.size() < kMostOwners; owner = OwnerOf(owner))
        owners.push_back(owner);
    return owners;
}

// Undoes a minimise of the dialog alone. A dialog goes into the minimised
// state with the window it belongs to (the window manager takes it along)
// and comes back with it. The manager tells the two states one after the
// other, so the guard decides once the events at hand are through, and it
// watches the owners while the dialog is minimised: when they come back,
// so does the dialog.
class MinimiseGuard : public QObject {
public:
    explicit MinimiseGuard(QWidget* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowStateChange && !m_checkPending) {
            m_checkPending = true;
            QMetaObject::invokeMethod(this, [this] { Check(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void Check()
    {
        m_checkPending = false;
        if (!IsMinimised(m_window)) return;
        const std::vector<QWidget*> owners = OwnersOf(m_window);
        if (std::none_of(owners.begin(), owners.end(), IsMinimised)) {
            m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
            return;
        }
        for (QWidget* owner : owners) owner->installEventFilter(this);
    }

    QWidget* m_window;
    bool m_checkPending = false;
};

} // namespace

void SetWindowFunctions(QWidget* window, const WindowFunctions& functions)
{
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || window == nullptr) return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    static const char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    if (reply == nullptr) return;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);

    uint32_t functionBits = MwmFuncMove;
    uint32_t decorations = MwmDecorBorder | MwmDecorTitle;
    if (functions.close) {
        functionBits |= MwmFuncClose;
        decorations |= MwmDecorMenu;
    }
    if (functions.resize) {
        functionBits |= MwmFuncResize;
        decorations |= MwmDecorResizeH;
    }
    if (functions.minimize) {
        functionBits |= MwmFuncMinimize;
        decorations |= MwmDecorMinimize;
    }
    if (functions.maximize) {
        functionBits |= MwmFuncMaximize;
        decorations |= MwmDecorMaximize;
    }
    const uint32_t hints[5] = {MwmHintsFunctions | MwmHintsDecorations, functionBits, decorations, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom, atom, 32, 5, hints);
    xcb_flush(connection);
}

void KeepFromMinimising(QWidget* window)
{
    static const char* const guarded = "qmKeptFromMinimising";
    if (window == nullptr || window->property(guarded).toBool()) return;
    window->setProperty(guarded, true);
    window->installEventFilter(new MinimiseGuard(window));
}

} // namespace plat
