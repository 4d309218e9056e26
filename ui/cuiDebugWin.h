#pragma once
// Two diagnostic windows with fixed English texts, opened only through the
// debug events of the main object:
//   cuiDebugWin    collects the debug lines sent to it (event 22);
//   cuiEeDebugWin  shows the working image as a sheet of hexadecimal bytes,
//                  with a button that takes the comparison snapshot (bytes
//                  that differ from it are marked) and one that redraws.
// Each frees itself when its window is destroyed; the opener does not keep
// it.
#include "core/cmcEvMan.h"

#include <memory>
#include <string>

class cmcGTex;
class cuiSheet;
namespace plat {
class Button;
class Control;
class Form;
class ImageList;
class Memo;
class Panel;
} // namespace plat

class cuiDebugWin {
public:
    static constexpr const char* Caption = "Free Debug Window";
    static constexpr double HeightOfMainForm = 0.8;
    static constexpr int MinimumHeight = 100;

    explicit cuiDebugWin(plat::Form* owner);
    ~cuiDebugWin();
    cuiDebugWin(const cuiDebugWin&) = delete;
    cuiDebugWin& operator=(const cuiDebugWin&) = delete;

    void OnEvent(const dst_Event* event);
    void OnFormDestroy();
    void OnFormDeactivate() {}

    plat::Form* Window() const { return m_window; }
    plat::Memo* Lines() const { return m_memo; }
    // The window that is open, if any (the newest).
    static cuiDebugWin* Newest();

private:
    plat::Form* m_window = nullptr;
    plat::Memo* m_memo = nullptr;
    cmcEvSubscription m_events;
};

class cuiEeDebugWin {
public:
    // The grid position of an image address: two columns a byte after the
    // three columns of the address, three header rows.
    static constexpr int BytesPerRow = 16;
    static constexpr int FirstByteColumn = 3;
    static constexpr int FirstByteRow = 3;

    cuiEeDebugWin(plat::Control* owner, const std::string& caption, cmcGTex* texts, const std::string& key,
                  plat::ImageList* images);
    ~cuiEeDebugWin();
    cuiEeDebugWin(const cuiEeDebugWin&) = delete;
    cuiEeDebugWin& operator=(const cuiEeDebugWin&) = delete;

    void OnEvent(const dst_Event* event);
    void OnSetCompClick();
    void OnRedrawClick();
    void RedrawAll();
    void OnFormClose();
    void OnFormDestroy();
    // Would read the window's own text table when no sheet key is given; the
    // program always gives one.
    void LoadBuiltinOverlay() {}

    plat::Form* Window() const { return m_window; }
    cuiSheet* Sheet() const { return m_sheet.get(); }
    plat::Button* CloseButton() const { return m_closeButton; }
    plat::Button* SetCompButton() const { return m_setCompButton; }
    plat::Button* RedrawButton() const { return m_redrawButton; }
    static cuiEeDebugWin* Newest();

private:
    plat::Control* m_owner;
    plat::Form* m_window = nullptr;
    plat::Panel* m_panel = nullptr;
    plat::Button* m_closeButton = nullptr;
    plat::Button* m_setCompButton = nullptr;
    plat::Button* m_redrawButton = nullptr;
    std::unique_ptr<cuiSheet> m_sheet;
    cmcEvSubscription m_events;
};
