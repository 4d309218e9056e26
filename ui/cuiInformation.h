#pragma once
// A small dialog that shows one sheet and an OK button, without being modal:
// the window that opened it stays disabled while it is open. It closes on
// its button, on Esc and when its window is closed, and frees itself when
// its window is destroyed; the opener does not keep it.
//
// The clone information window is one.
#include <memory>
#include <string>

class cmcGTex;
class cuiSheet;
namespace plat {
class Button;
class Control;
class Form;
class ImageList;
class Panel;
} // namespace plat

class cuiInformation {
public:
    // Builds and shows the dialog over the owner with the sheet `key` of the
    // text table, sized to show every cell of the sheet.
    cuiInformation(plat::Control* owner, const std::string& caption, cmcGTex* texts, const std::string& key,
                   plat::ImageList* images);
    // Enables the owner again, gives it the focus and destroys the sheet.
    ~cuiInformation();
    cuiInformation(const cuiInformation&) = delete;
    cuiInformation& operator=(const cuiInformation&) = delete;

    // Closing and the button release the window; its destruction frees the
    // object.
    void OnFormClose();
    void OnFormDestroy();
    void OnOkClick();

    plat::Form* Window() const { return m_window; }
    cuiSheet* Sheet() const { return m_sheet.get(); }
    plat::Button* OkButton() const { return m_okButton; }

private:
    plat::Control* m_owner;
    plat::Form* m_window = nullptr;
    plat::Panel* m_panel = nullptr;
    plat::Button* m_okButton = nullptr;
    std::unique_ptr<cuiSheet> m_sheet;
};
