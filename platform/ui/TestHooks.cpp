#include "platform/ui/TestHooks.h"

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtAccess.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMoveEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <cstdio>

namespace plat {

namespace {
ScopedDialogScript* g_script = nullptr;
std::exception_ptr g_kept;

std::string MessageOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "Unknown exception.";
}

void SendStroke(Form& form, int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QWidget* window = form.Widget();
    QPointer<QWidget> target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    if (!target.isNull()) {
        QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, text);
        QCoreApplication::sendEvent(target, &release);
    }
    RethrowKeptException();
}
} // namespace

// ---- window frames ----

namespace {
std::optional<Rect> g_frameMargins;
} // namespace

const Rect* FrameMarginsOverride() { return g_frameMargins ? &*g_frameMargins : nullptr; }

ScopedLateFrame::ScopedLateFrame(int left, int top, int right, int bottom) : m_margins{left, top, right, bottom}
{
    g_frameMargins = Rect{};
}

ScopedLateFrame::~ScopedLateFrame()
{
    g_frameMargins.reset();
}

void ScopedLateFrame::Arrive()
{
    g_frameMargins = m_margins;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        QMoveEvent move(window->pos(), window->pos());
        QCoreApplication::sendEvent(window, &move);
    }
    RethrowKeptException();
}

// ---- handler exceptions ----

void ReportHandlerException(std::exception_ptr error)
{
    if (g_script != nullptr) {
        if (!g_kept) g_kept = error;
        return;
    }
    const std::string message = MessageOf(error);
    std::fprintf(stderr, "%s: %s\n", ApplicationTitle().c_str(), message.c_str());
    MessageBox(message, ApplicationTitle(), MB_OK | MB_ICONERROR);
}

void RethrowKeptException()
{
    if (!g_kept) return;
    std::exception_ptr error = g_kept;
    g_kept = nullptr;
    std::rethrow_exception(error);
}

// ---- ScopedDialogScript ----

ScopedDialogScript::ScopedDialogScript() : m_previous(g_script) { g_script = this; }

ScopedDialogScript::~ScopedDialogScript()
{
    g_script = m_previous;
    if (g_script == nullptr && g_kept) {
        std::fprintf(stderr, "exception left in a window handler: %s\n", MessageOf(g_kept).c_str());
        g_kept = nullptr;
    }
}

ScopedDialogScript* ScopedDialogScript::Current() { return g_script; }

void ScopedDialogScript::Answer(int id) { m_answers.push_back(id); }

void ScopedDialogScript::Drive(std::function<void(Form&)> driver) { m_drivers.push_back(std::move(driver)); }

void ScopedDialogScript::AnswerFile(const std::string& path) { m_files.push_back(path); }

void ScopedDialogScript::CancelFile() { m_files.push_back(std::nullopt); }

void ScopedDialogScript::AnswerPrinterSetup(bool ok) { m_setupAnswers.push_back(ok); }

std::optional<std::string> ScopedDialogScript::TakeFile(const FileDialogRecord& dialog)
{
    m_fileDialogs.push_back(dialog);
    if (m_files.empty())
        throw UnscriptedDialog(std::string("no scripted answer for the ") + (dialog.save ? "save" : "open") +
                               " dialog \"" + dialog.title + "\"");
    std::optional<std::string> answer = m_files.front();
    m_files.pop_front();
    return answer;
}

bool ScopedDialogScript::TakePrinterSetup()
{
    ++m_printerSetups;
    if (m_setupAnswers.empty()) throw UnscriptedDialog("no scripted answer for the printer set-up dialog");
    const bool ok = m_setupAnswers.front();
    m_setupAnswers.pop_front();
    return ok;
}

int ScopedDialogScript::TakeAnswer(const std::string& text, const std::string& caption, unsigned flags)
{
    MessageBoxRecord record{text, caption, flags, 0};
    const std::string what = "the message box \"" + caption + "\" (\"" + text + "\")";
    if (m_answers.empty()) {
        m_boxes.push_back(record);
        throw UnscriptedDialog("no scripted answer for " + what);
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    bool offered = false;
    switch (record.Buttons()) {
    case MB_OK: offered = answer == IDOK; break;
    case MB_OKCANCEL: offered = answer == IDOK || answer == IDCANCEL; break;
    case MB_YESNOCANCEL: offered = answer == IDYES || answer == IDNO || answer == IDCANCEL; break;
    case MB_YESNO: offered = answer == IDYES || answer == IDNO; break;
    default: break;
    }
    record.answer = answer;
    m_boxes.push_back(record);
    if (!offered) throw UnscriptedDialog("the scripted answer " + std::to_string(answer) + " is not a button of " + what);
    return answer;
}

std::function<void(Form&)> ScopedDialogScript::TakeDriver(const std::string& caption)
{
    m_modalForms.push_back(caption);
    if (m_drivers.empty()) throw UnscriptedDialog("no driver for the modal form \"" + caption + "\"");
    std::function<void(Form&)> driver = std::move(m_drivers.front());
    m_drivers.pop_front();
    if (!driver) throw UnscriptedDialog("an empty driver for the modal form \"" + caption + "\"");
    return driver;
}

// ---- keys ----

void SendKey(Form& form, int virtualKey, ShiftState shift)
{
    const int qtKey = QtKeyOf(virtualKey);
    if (qtKey == 0) throw std::invalid_argument("SendKey: no such key " + std::to_string(virtualKey));
    QString text;
    switch (virtualKey) {
    case VK_RETURN: text = QStringLiteral("\r"); break;
    case VK_ESCAPE: text = QString(QChar(27)); break;
    case VK_BACK: text = QString(QChar(8)); break;
    case VK_TAB: text = QStringLiteral("\t"); break;
    case VK_SPACE: text = QStringLiteral(" "); break;
    default:
        if (virtualKey >= 'A' && virtualKey <= 'Z') {
            if (shift.Has(ssCtrl))
                text = QString(QChar(virtualKey - 'A' + 1));
            else
                text = QString(QChar(shift.Has(ssShift) ? virtualKey : virtualKey - 'A' + 'a'));
        } else if (virtualKey >= '0' && virtualKey <= '9' && !shift.Has(ssCtrl)) {
            text = QString(QChar(virtualKey));
        }
        break;
    }
    SendStroke(form, qtKey, ModifiersOf(shift), text);
}

void TypeText(Form& form, const std::string& text)
{
    for (char32_t ch : ToQString(text).toUcs4()) {
        int qtKey = Qt::Key_unknown;
        Qt::KeyboardModifiers modifiers;
        if (ch >= 'a' && ch <= 'z') {
            qtKey = static_cast<int>(ch - 'a' + 'A');
        } else if (ch >= 'A' && ch <= 'Z') {
            qtKey = static_cast<int>(ch);
            modifiers = Qt::ShiftModifier;
        } else if (ch >= 32 && ch < 127) {
            qtKey = static_cast<int>(ch); // Qt's codes of printable ASCII keys
        }
        SendStroke(form, qtKey, modifiers, QString::fromUcs4(&ch, 1));
    }
}

// ---- mouse ----

namespace {
Qt::MouseButtons g_heldButtons;

QWidget* MouseTarget(Control& control)
{
    QWidget* widget = control.Widget();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) return area->viewport();
    if (auto* container = dynamic_cast<Container*>(&control)) return container->ClientWidget();
    return widget;
}

Qt::MouseButton QtButtonOf(MouseButton button)
{
    switch (button) {
    case mbRight: return Qt::RightButton;
    case mbMiddle: return Qt::MiddleButton;
    default: return Qt::LeftButton;
    }
}
} // namespace

void SendMouse(Control& control, MouseAction action, int x, int y, MouseButton button, ShiftState shift)
{
    QWidget* target = MouseTarget(control);
    const QPointF local(x, y);
    const QPointF global = target->mapToGlobal(local);
    const Qt::MouseButton qtButton = QtButtonOf(button);
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton changed = Qt::NoButton;
    switch (action) {
    case MouseAction::Down:
        type = QEvent::MouseButtonPress;
        g_heldButtons |= qtButton;
        changed = qtButton;
        break;
    case MouseAction::DoubleClick:
        type = QEvent::MouseButtonDblClick;
        g_heldButtons |= qtButton;
        changed = qtButton;
        break;
    case MouseAction::Up:
        type = QEvent::MouseButtonRelease;
        g_heldButtons &= ~Qt::MouseButtons(qtButton);
        changed = qtButton;
        break;
    case MouseAction::Move: break;
    }
    QMouseEvent event(type, local, global, changed, g_heldButtons, ModifiersOf(shift));
    QCoreApplication::sendEvent(target, &event);
    if (action == MouseAction::Down && button == mbRight) {
        // The window system follows a right press with a request for the
        // control's context menu.
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(x, y), global.toPoint(), ModifiersOf(shift));
        QCoreApplication::sendEvent(target, &menu);
    }
    RethrowKeptException();
}

void ClickAt(Control& control, int x, int y, MouseButton button, ShiftState shift)
{
    SendMouse(control, MouseAction::Down, x, y, button, shift);
    SendMouse(control, MouseAction::Up, x, y, button, shift);
}

void SendWheel(Control& control, int notches, int x, int y, ShiftState shift)
{
    QWidget* target = MouseTarget(control);
    const QPointF local(x, y);
    QWheelEvent event(local, target->mapToGlobal(local), QPoint(), QPoint(0, notches * 120), g_heldButtons,
                      ModifiersOf(shift), Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
    RethrowKeptException();
}

void SendMenuKey(Control& control)
{
    QWidget* target = MouseTarget(control);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0), target->mapToGlobal(QPoint(0, 0)));
    QCoreApplication::sendEvent(target, &event);
    RethrowKeptException();
}

// ---- images ----

bool SavePng(const Control& control, const std::string& path)
{
    return control.Widget()->grab().save(ToQString(path), "PNG");
}

} // namespace plat
