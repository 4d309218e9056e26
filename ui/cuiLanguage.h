#pragma once
// The language dialog: a small window over the main form with the sheet
// that lists the languages of the system table, and OK and Cancel. Picking
// a language in the sheet changes the environment's language setting; OK
// reloads the texts in the new language when the setting changed, Cancel
// and the close box put the setting back as it was at opening. The owner
// stays disabled while the dialog is open; the dialog frees itself when its
// window is destroyed, so the opener does not keep it.
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

class cuiLanguage {
public:
    cuiLanguage(plat::Control* owner, const std::string& caption, cmcGTex* texts, const std::string& key,
                plat::ImageList* images);
    // Enables the owner again, gives it the focus and destroys the sheet.
    ~cuiLanguage();
    cuiLanguage(const cuiLanguage&) = delete;
    cuiLanguage& operator=(const cuiLanguage&) = delete;

    void OnOkClick();
    void OnCancelClick();
    void OnFormClose();
    void OnFormDestroy();

    plat::Form* Window() const { return m_window; }
    cuiSheet* Sheet() const { return m_sheet.get(); }
    plat::Button* OkButton() const { return m_okButton; }
    plat::Button* CancelButton() const { return m_cancelButton; }
    int LanguageAtOpening() const { return m_language; }
    // The dialog that is open, if any.
    static cuiLanguage* Current();

private:
    void RestoreLanguage();

    plat::Control* m_owner;
    plat::Form* m_window = nullptr;
    plat::Panel* m_panel = nullptr;
    plat::Button* m_okButton = nullptr;
    plat::Button* m_cancelButton = nullptr;
    std::unique_ptr<cuiSheet> m_sheet;
    int m_language = 0;
};
