#include "platform/ui/MessageBox.h"

#include "platform/base/Fatal.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/KeyStrokes.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/WindowHints.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSpacerItem>

#include <cstdio>

namespace plat {

namespace {

// Room beside the caption in the frame of a window manager: the window's
// icon and its buttons.
constexpr int CaptionRoom = 100;

// Makes a box at least as wide as its caption in a bold title font, so that
// the window manager does not cut the caption of a box with a short text.
void FitCaption(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + CaptionRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// Lets a message box take only the key strokes that begin on it: a key that
// went down on the window the box came up over (and closed a dialog there,
// say) and is still held must not answer the box.
class BoxKeys : public QObject {
public:
    explicit BoxKeys(QMessageBox& box) : m_box(box)
    {
        box.installEventFilter(this);
        for (QWidget* child : box.findChildren<QWidget*>()) child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
        // A key travels from the focus on to its parents: it counts once.
        QWidget* focus = m_box.focusWidget();
        if (watched != (focus != nullptr ? static_cast<QObject*>(focus) : &m_box)) return false;
        return !m_strokes.Owns(*static_cast<QKeyEvent*>(event));
    }

private:
    QMessageBox& m_box;
    KeyStrokes m_strokes;
};

} // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned flags, const Control* owner)
{
    const unsigned buttons = flags & 0x0Fu;
    const unsigned icon = flags & 0xF0u;
    const bool knownButtons = buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL || buttons == MB_YESNO;
    if ((flags & ~0xFFu) != 0 || !knownButtons || icon > MB_ICONINFORMATION) {
        char message[64];
        std::snprintf(message, sizeof message, "Unsupported message box style 0x%X.", flags);
        Fatal(message);
    }
    if (ScopedDialogScript* script = ScopedDialogScript::Current()) return script->TakeAnswer(text, caption, flags);

    QWidget* parent = nullptr;
    if (owner != nullptr && owner->ParentForm() != nullptr) parent = owner->ParentForm()->Widget();
    if (parent == nullptr) parent = QApplication::activeModalWidget();
    if (parent == nullptr) parent = QApplication::activeWindow();
    if (parent == nullptr && RunningMainForm() != nullptr) parent = RunningMainForm()->Widget();

    QMessageBox box(parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(text));
    box.setWindowTitle(ToQString(caption));
    switch (icon) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    QMessageBox::StandardButtons standard;
    switch (buttons) {
    case MB_OK: standard = QMessageBox::Ok; break;
    case MB_OKCANCEL: standard = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MB_YESNOCANCEL: standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    default: standard = QMessageBox::Yes | QMessageBox::No; break;
    }
    box.setStandardButtons(standard);
    box.setDefaultButton(buttons == MB_OK || buttons == MB_OKCANCEL ? QMessageBox::Ok : QMessageBox::Yes);
    if (buttons == MB_OK)
        box.setEscapeButton(QMessageBox::Ok);
    else if (buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL)
        box.setEscapeButton(QMessageBox::Cancel);
    else
        box.setEscapeButton(QMessageBox::No);
    // A message box offers no minimise or maximise: the window it belongs
    // to waits for it.
    box.winId();
    SetWindowFunctions(&box, {.close = true});
    KeepFromMinimising(&box);
    FitCaption(box);
    BoxKeys keys(box);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Cancel: return IDCANCEL;
    default: break;
    }
    if (buttons == MB_OK) return IDOK;
    if (buttons == MB_YESNO) return IDNO;
    return IDCANCEL;
}

} // namespace plat
