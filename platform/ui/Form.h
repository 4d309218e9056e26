#pragma once
// Top-level windows.
//
// A form is shown non-modally (Show) or modally (ShowModal, which returns
// when the form's modal result becomes non-zero: a button with a modal
// result sets it when clicked, a handler may set it, Esc clicks the cancel
// button, Enter the default button, and closing the window sets mrCancel).
// Before a form closes its close query is asked, which may refuse (a
// refused modal close resets the modal result to mrNone and the form stays).
//
// A form's owner (any component) frees it when the owner is freed; the form
// itself may be freed at any time: with `delete` from outside its own
// handlers, with Release from inside them (the form is freed once control
// is back in the message loop). OnDestroy runs when the form is freed,
// before its controls; a class derived from Form does its own clean-up in
// its destructor.
//
// Key preview: the form's key handlers see every key before the control
// that has the focus (without key preview only keys sent to the form
// itself).
//
// A key stroke belongs to the window where its key went down: the repeats
// and the release of a key that went down elsewhere (on a dialog or message
// box that it closed) never reach this form's controls.
#include "platform/ui/Control.h"
#include "platform/ui/KeyStrokes.h"

#include <functional>
#include <memory>
#include <string>

class QEventLoop;
class QKeyEvent;

namespace plat {

class Button;
class FormHost;
class FormWindow;
class MainMenu;

enum BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };

enum BorderIcon : unsigned {
    biSystemMenu = 1u << 0,
    biMinimize = 1u << 1,
    biMaximize = 1u << 2,
};

enum WindowState { wsNormal, wsMinimized, wsMaximized };

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

class Form : public Container {
public:
    explicit Form(Component* owner = nullptr);
    ~Form() override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);

    // Sizeable by default with all border icons; single, dialog, tool window
    // and no border cannot be resized by the user. A framed window without a
    // minimise button (a dialog or tool window, or a single or sizeable one
    // without that icon) is a dialog to the window manager: transient for
    // its owner's form (without an owner: for the main form, else for the
    // window it comes up over), so that it stays above that window and is
    // never minimised on its own.
    BorderStyle GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(BorderStyle style);
    unsigned BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(unsigned icons);

    // The outer rectangle on the desktop, frame included as far as the
    // window system reports it (it does once the window has been shown).
    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void SetBounds(int left, int top, int width, int height) override;
    // Moving keeps the size as it was set: a client size stays the client
    // size once the window manager frames the window.
    void SetLeft(int left) override;
    void SetTop(int top) override;

    // The client area: the window without frame and menu bar.
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
    void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }
    void SetClientSize(int width, int height);
    // The smallest outer size the user can give the window.
    void SetMinTrackSize(int width, int height);

    // Normal, minimised or maximised; a state set while the form is hidden
    // takes effect when it is shown.
    WindowState GetWindowState() const;
    void SetWindowState(WindowState state);
    // The outer rectangle the window has in its normal state: its bounds,
    // and while it is minimised or maximised the bounds it returns to.
    Rect NormalBounds() const;

    // Showing makes the form the active window and then runs OnShow.
    bool Visible() const override;
    void SetVisible(bool visible) override;
    // Shows the form modally and returns its modal result. While a test
    // script is installed (TestHooks.h), the script's next driver runs
    // instead of a message loop.
    int ShowModal();
    bool Modal() const { return m_modal; }
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result);
    // A modal form: sets mrCancel (when no result is set). Otherwise: when
    // the close query allows, OnClose runs and the form is hidden; closing
    // the application's main form ends the message loop.
    void Close();
    // OnCloseQuery's answer (true without a handler).
    bool CloseQuery();
    // Frees the form once control is back in the message loop.
    void Release();

    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool preview) { m_keyPreview = preview; }
    // The control that has (or, in an inactive window, will get) the focus.
    Control* ActiveControl() const;
    MainMenu* Menu() const { return m_menu; }

    QWidget* ClientWidget() const override { return m_client; }

    std::function<void()> OnShow;
    std::function<void(bool& canClose)> OnCloseQuery;
    std::function<void()> OnClose;
    std::function<void()> OnDestroy;
    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;
    std::function<void()> OnResize;

    // For the window layer: routes the keys of a widget on this form.
    void WatchKeys(QWidget* widget);

private:
    friend class FormHost;
    friend class FormWindow;
    friend class MainMenu;

    void ApplyWindowFlags();
    // Shows the window with the window manager hints of its border.
    void ShowWindow();
    void ResizeWindow(int width, int height);
    // Takes the frame off an outer size set while the form was hidden, once
    // the window system tells the frame.
    void ApplyPendingOuterSize();
    void ApplySizeLimits();
    void LayoutWindow();
    int MenuBarHeight(int width) const;
    Form* OwnerForm() const;
    // A framed window without a minimise button.
    bool IsDialog() const;
    // The window this one is transient for, or null.
    QWidget* TransientOwnerWindow() const;
    // The key press to the form's handlers and the control's (a repeat of a
    // held key presses no button).
    bool DispatchKey(Control* target, const QKeyEvent& event, bool repeat = false);
    // False for a repeat or a release of a key that went down elsewhere, or
    // of a key that presses buttons and went down on another control.
    bool OwnsStroke(const QKeyEvent& event, const QWidget* control) { return m_strokes.Owns(event, control); }
    Button* FindButton(bool cancel) const;
    // A menu key of the form's menu bar is about to become a shortcut: the
    // focus control lets go first.
    void BeforeMenuKey(QWidget* focus, const QKeyEvent& event);
    // A menu key typed into a pop-up window opens that menu of the owning
    // window that has a menu bar, once that window is active.
    void PassMenuKeyToOwner(const QKeyEvent& event);
    void OpenPendingMenu();
    void HandleActivation(bool active);
    void EndModal();

    QWidget* m_window;
    QWidget* m_client;
    FormHost* m_host;
    MainMenu* m_menu = nullptr;
    int m_pendingMenuKey = 0; // the menu key that opens a menu once the form is active
    std::shared_ptr<bool> m_alive;
    QEventLoop* m_loop = nullptr;
    std::string m_caption;
    BorderStyle m_borderStyle = bsSizeable;
    unsigned m_borderIcons = biSystemMenu | biMinimize | biMaximize;
    bool m_pendingOuter = false;
    int m_pendingWidth = 0;
    int m_pendingHeight = 0;
    int m_minTrackWidth = 0;
    int m_minTrackHeight = 0;
    int m_modalResult = mrNone;
    bool m_modal = false;
    bool m_keyPreview = false;
    KeyStrokes m_strokes;
    bool m_releasing = false;
    bool m_destroying = false;
};

} // namespace plat
