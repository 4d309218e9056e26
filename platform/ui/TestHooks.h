#pragma once
// Test hooks of the window layer: scripted answers to message boxes and
// drivers of modal forms, keys sent through the real key path, a desktop work
// area of the test's choosing and forms rendered to PNG files.
//
// While a ScopedDialogScript lives, no message box or modal form waits for a
// person: a message box takes the next scripted answer, a modal form runs the
// next driver (which fills in edits and clicks buttons) and must be closed
// when the driver returns, and file and printer set-up dialogs take their
// scripted answers. A dialog that finds nothing scripted, an answer that is
// not one of the box's buttons, or a driver that leaves its form open throws
// UnscriptedDialog, so that the test fails loudly instead of hanging.
#include "platform/base/Rect.h"
#include "platform/base/ShiftState.h"
#include "platform/ui/Control.h"

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace plat {

class Control;
class Form;

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    unsigned flags = 0; // buttons and icon, as given (MessageBox.h)
    int answer = 0;
    unsigned Buttons() const { return flags & 0x0Fu; }
    unsigned Icon() const { return flags & 0xF0u; }
};

// What a file dialog was opened with (FileDialogs.h).
struct FileDialogRecord {
    bool save = false;
    std::string title;
    std::string filter;
    std::string defaultExt;
    std::string initialDir;
    std::string fileName;
};

class UnscriptedDialog : public std::logic_error {
public:
    explicit UnscriptedDialog(const std::string& what) : std::logic_error(what) {}
};

class ScopedDialogScript {
public:
    ScopedDialogScript();
    ~ScopedDialogScript();
    ScopedDialogScript(const ScopedDialogScript&) = delete;
    ScopedDialogScript& operator=(const ScopedDialogScript&) = delete;

    // The answer (IDOK, IDCANCEL, IDYES, IDNO) of the next message box.
    void Answer(int id);
    // The driver of the next modal form, called once the form is shown.
    void Drive(std::function<void(Form&)> driver);
    // The next file dialog: the file the user picks (as typed: the dialog
    // still adds the default extension and asks its questions), or cancel.
    void AnswerFile(const std::string& path);
    void CancelFile();
    // The next printer set-up dialog: OK (true) or cancel.
    void AnswerPrinterSetup(bool ok);

    // Every message box shown, in order.
    const std::vector<MessageBoxRecord>& Boxes() const { return m_boxes; }
    // The last message box shown; when none was, a record whose text says
    // so, so that an expectation on it fails instead of the test crashing.
    MessageBoxRecord LastBox() const
    {
        if (m_boxes.empty()) return MessageBoxRecord{"(no message box was shown)", "", 0, 0};
        return m_boxes.back();
    }
    // The caption of every modal form shown, in order.
    const std::vector<std::string>& ModalForms() const { return m_modalForms; }
    // Every file dialog shown, in order, and the number of printer set-up
    // dialogs.
    const std::vector<FileDialogRecord>& FileDialogs() const { return m_fileDialogs; }
    int PrinterSetups() const { return m_printerSetups; }
    size_t UnusedAnswers() const { return m_answers.size(); }
    size_t UnusedDrivers() const { return m_drivers.size(); }
    size_t UnusedFiles() const { return m_files.size(); }

    // For the window layer.
    static ScopedDialogScript* Current();
    int TakeAnswer(const std::string& text, const std::string& caption, unsigned flags);
    std::function<void(Form&)> TakeDriver(const std::string& caption);
    std::optional<std::string> TakeFile(const FileDialogRecord& dialog);
    bool TakePrinterSetup();

private:
    ScopedDialogScript* m_previous;
    std::deque<int> m_answers;
    std::deque<std::function<void(Form&)>> m_drivers;
    std::vector<MessageBoxRecord> m_boxes;
    std::vector<std::string> m_modalForms;
    std::deque<std::optional<std::string>> m_files;
    std::vector<FileDialogRecord> m_fileDialogs;
    std::deque<bool> m_setupAnswers;
    int m_printerSetups = 0;
};

// Sends a key stroke (key-down, characters, key-up) to the control of the
// form that has the focus (the form itself when none has), the way the
// window system delivers it. Letters type in lower case unless ssShift is
// held; Ctrl with a letter types its control code. An exception that a
// handler raised comes out of these calls.
void SendKey(Form& form, int virtualKey, ShiftState shift = {});
// Types each character of a UTF-8 text.
void TypeText(Form& form, const std::string& text);

// Mouse events on a control at client coordinates, delivered as the window
// system delivers them (a grid's go to its cell area). The buttons held
// during a move are those pressed and not yet released through these
// calls; a double click is the second press of a pair (send Down, Up,
// DoubleClick, Up). An exception that a handler raised comes out of these
// calls.
enum class MouseAction { Down, Move, Up, DoubleClick };
void SendMouse(Control& control, MouseAction action, int x, int y, MouseButton button = mbLeft, ShiftState shift = {});
// A press and release at one point.
void ClickAt(Control& control, int x, int y, MouseButton button = mbLeft, ShiftState shift = {});
// A turn of the wheel by `notches` (positive away from the user).
void SendWheel(Control& control, int notches, int x, int y, ShiftState shift = {});
// The keyboard's menu key pressed over a control.
void SendMenuKey(Control& control);

// Sets the desktop work area that DesktopWorkArea reports (none: the real
// one); returns the previous setting.
std::optional<Rect> SetDesktopWorkArea(std::optional<Rect> area);
class ScopedWorkArea {
public:
    explicit ScopedWorkArea(const Rect& area) : m_previous(SetDesktopWorkArea(area)) {}
    ~ScopedWorkArea() { SetDesktopWorkArea(m_previous); }
    ScopedWorkArea(const ScopedWorkArea&) = delete;
    ScopedWorkArea& operator=(const ScopedWorkArea&) = delete;

private:
    std::optional<Rect> m_previous;
};

// Sets the screen size that ScreenSize reports (none: the real one);
// returns the previous setting.
std::optional<Size> SetScreenSize(std::optional<Size> size);
class ScopedScreenSize {
public:
    explicit ScopedScreenSize(const Size& size) : m_previous(SetScreenSize(size)) {}
    ~ScopedScreenSize() { SetScreenSize(m_previous); }
    ScopedScreenSize(const ScopedScreenSize&) = delete;
    ScopedScreenSize& operator=(const ScopedScreenSize&) = delete;

private:
    std::optional<Size> m_previous;
};

// Window frames as a reparenting window manager reports them: a window
// that has just been shown has none yet; the frame comes a moment later,
// when the manager has put the window into it (each visible form then sees
// a move). While the object lives every form reports no frame until Arrive,
// and the given margins from then on.
class ScopedLateFrame {
public:
    ScopedLateFrame(int left, int top, int right, int bottom);
    ~ScopedLateFrame();
    ScopedLateFrame(const ScopedLateFrame&) = delete;
    ScopedLateFrame& operator=(const ScopedLateFrame&) = delete;
    void Arrive();

private:
    Rect m_margins;
};

// Renders a control (a form: its whole window, menu bar included) as it
// looks now and saves it as a PNG file; false when the file could not be
// written.
bool SavePng(const Control& control, const std::string& path);

} // namespace plat
