#pragma once
// The window layer's own Qt side: conversions between the layer's terms and
// Qt's, and the guard at every place where Qt calls into the programs' code.
// For the layer and for tests that need Qt; the programs' code never
// includes it.
#include "platform/base/Rect.h"
#include "platform/base/ShiftState.h"

#include <QRect>
#include <QString>
#include <Qt>

#include <exception>
#include <string>
#include <utility>

class QEvent;
class QFocusEvent;
class QKeyEvent;
class QObject;
class QPointF;
class QWidget;

namespace plat {

class Control;

// The control whose widget this is (or whose widget holds it), else null.
Control* ControlOfWidget(const QWidget* widget);
void BindWidget(QWidget* widget, Control* control);

// Virtual-key code of a Qt key; 0 for keys that have none.
int VirtualKeyOf(int qtKey);
// Qt key of a virtual-key code; 0 for codes that have none.
int QtKeyOf(int virtualKey);
ShiftState ShiftOf(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers ModifiersOf(ShiftState shift);
// The character a key event types, or 0 (see Keys.h).
char32_t CharacterOf(const QKeyEvent& event);

// The shift state of a mouse event: modifier keys and the buttons held.
ShiftState MouseShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// Calls the control's mouse handler for a mouse or wheel event (positions
// taken as the control's client coordinates); true when a wheel handler
// kept the turn for itself.
bool ReportMouseEvent(Control& control, QEvent* event);
// Calls OnEnter or OnExit for a focus event that moves the focus within the
// window.
void ReportFocusChange(Control& control, const QFocusEvent& event);
// Remembers the desktop position of the latest mouse event (CursorPos).
void NoteCursorPos(const QPointF& global);

// The Qt shape of a Cursor (Control.h).
Qt::CursorShape ToQCursorShape(int cursor);

inline QString ToQString(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline std::string FromQString(const QString& text) { return text.toUtf8().toStdString(); }
// Exclusive right and bottom edges on our side, Qt's own on the other.
inline QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
inline Rect FromQRect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

// An exception that leaves a handler called from the toolkit's event loop
// cannot pass through the toolkit. It is shown to the user in an error box
// (caption: the application title), or, while a test script answers the
// dialogs, kept for the test to see (TestHooks.h).
void ReportHandlerException(std::exception_ptr error);
template <typename Fn>
void GuardHandler(Fn&& fn)
{
    try {
        std::forward<Fn>(fn)();
    } catch (...) {
        ReportHandlerException(std::current_exception());
    }
}
// Rethrows an exception kept by ReportHandlerException (tests).
void RethrowKeptException();

// The frame margins (left, top, right, bottom) a test has the forms report
// in place of the window system's (TestHooks.h), else null.
const Rect* FrameMarginsOverride();

class Form;
// Whether Application::Quit was called during the current run.
bool QuitRequested();
// The main form was closed or destroyed: the message loop ends.
void MainFormGone(const Form* form);
// The main form of the running message loop, or null.
Form* RunningMainForm();

} // namespace plat
