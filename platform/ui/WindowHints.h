#pragma once
// What the window layer tells the window manager about a top-level window
// beyond Qt's own hints, and what it keeps up against a manager that does
// not listen. The layer's Qt side only.
class QWidget;

namespace plat {

// The functions a window offers the user through its window manager.
struct WindowFunctions {
    bool close = false;    // a close button and the system menu
    bool resize = false;   // a border the user may drag
    bool minimize = false; // a minimise button
    bool maximize = false; // a maximise button
};

// Sets the window manager hints (the Motif hints most X11 window managers
// honour, with an explicit list of functions) of a window that has been
// created and not yet shown. Qt leaves every function to the manager's
// choice when a window has no close, minimise or maximise button; this
// names them, so that a window without buttons cannot be minimised or
// maximised either. Nothing on other window systems.
void SetWindowFunctions(QWidget* window, const WindowFunctions& functions);

// Keeps a window that offers no minimise button from being minimised on its
// own by a window manager that offers it anyway (restored at once, so that
// it never vanishes while it is waited for). It goes into the minimised
// state along with the window it belongs to, and comes back with it.
// Installed on the window; lives with it.
void KeepFromMinimising(QWidget* window);

} // namespace plat
