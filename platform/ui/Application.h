#pragma once
// The application object of a windowed program and the services of the
// desktop it runs on.
#include "platform/base/Rect.h"
#include "platform/base/ShiftState.h"

#include <functional>
#include <memory>
#include <string>

class QApplication;
class QObject;

namespace plat {

class Form;

class Application {
public:
    // Create exactly once, in main, after SetProgramFileName. Starts the
    // window system (or joins the one a test program started) and routes
    // fatal messages to an error box.
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Instance();

    // The message loop: shows the main form when it is hidden and runs until
    // the main form is closed or destroyed, or Quit is called. Returns the
    // exit code.
    int Run(Form& mainForm);
    // Ends the message loop, modal loops included.
    void Quit(int exitCode = 0);

    // The program becomes the one the user works with (one of its windows
    // is active), or stops being it.
    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;
    bool Active() const { return m_active; }

private:
    void ActiveChanged(bool active);

    int m_argc;
    std::unique_ptr<QApplication> m_app;
    std::unique_ptr<QObject> m_watcher;
    bool m_active = false;
};

// Shows the hourglass over every window of the program while it lives;
// nested ones keep it until the outermost ends.
class ScopedHourglass {
public:
    ScopedHourglass();
    ~ScopedHourglass();
    ScopedHourglass(const ScopedHourglass&) = delete;
    ScopedHourglass& operator=(const ScopedHourglass&) = delete;
};
bool HourglassShown();

// The application title: the caption of the programs' own pop-up windows and
// of the error box of an unhandled exception. It starts as the program's file
// name and is kept here, apart from every window caption.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// Handles every pending event of the window system (deferred releases of
// forms and menu clicks included), then returns. While a test script is
// installed, an exception that a handler raised comes out of this call.
void ProcessMessages();

// The desktop work area: the primary screen without task bars and panels,
// unless a test set another (TestHooks.h).
Rect DesktopWorkArea();
// The size of the whole primary screen (TestHooks.h may set another).
Size ScreenSize();
// The largest client area of a window with a caption: the work area without
// the height of a window caption.
Size FullScreenClientSize();

// Pixels per inch of the screen as the programs count them: 96 unless set
// otherwise. Fonts on windows convert between points and pixels with it.
int GetScreenPixelsPerInch();
void SetScreenPixelsPerInch(int pixelsPerInch);

// The desktop position of the mouse pointer at the latest mouse event that
// reached a control (where the pointer is as far as the program knows).
Point CursorPos();
// The modifier keys and mouse buttons held at the latest key or mouse event
// the program received.
ShiftState KeyboardState();

} // namespace plat
