#pragma once
// The small modal dialog that asks for one entry: a notice, an edit below
// it and the buttons OK and Cancel at the lower right, laid out from the
// sizes of its texts. The COM port dialog uses it, and the clone password
// dialog shares its layout.
//
// Layout: the notice stands one "W" height from the left and top edges;
// the edit, as wide as its width sample, two "W" widths right of the
// notice's left edge and half a "W" height below it; the buttons, each as
// wide as the button sample and twice as high as the OK caption, at the
// same top, four edit heights below the edit's top, Cancel's right edge at
// the notice's, OK half a button height left of Cancel. The dialog is as
// wide as the notice and its margins (wider when the edit or the buttons
// need it) and half a button height taller than the buttons reach.
#include <functional>
#include <memory>
#include <string>

namespace plat {
class Button;
class Edit;
class Form;
class Label;
} // namespace plat

struct cuiEntryDialogTexts {
    std::string Caption;
    std::string Notice;        // line breaks start new lines; '&' shown as it is
    std::string OkCaption;
    std::string CancelCaption;
    std::string ButtonSample;  // the width of a button
    std::string EditSample;    // the width of the edit
};

class cuiEntryDialog {
public:
    // The dialog is owned by the owner form (or nobody) and centred over it.
    cuiEntryDialog(plat::Form* owner, const cuiEntryDialogTexts& texts);
    ~cuiEntryDialog();
    cuiEntryDialog(const cuiEntryDialog&) = delete;
    cuiEntryDialog& operator=(const cuiEntryDialog&) = delete;

    // Called by OK with the edit's text; true closes the dialog (OK), false
    // keeps it open with the focus in the edit.
    std::function<bool(const std::string& text)> OnAccept;

    // Shows the dialog modally with the focus in the edit; the form's modal
    // result (plat::mrOk or plat::mrCancel).
    int ShowModal();

    plat::Form& Form() const { return *m_form; }
    plat::Label& Notice() const { return *m_notice; }
    plat::Edit& Edit() const { return *m_edit; }
    plat::Button& Ok() const { return *m_ok; }
    plat::Button& Cancel() const { return *m_cancel; }

private:
    void Layout(const cuiEntryDialogTexts& texts);
    void OkClick();

    std::unique_ptr<plat::Form> m_form;
    plat::Form* m_owner;
    plat::Label* m_notice;
    plat::Edit* m_edit;
    plat::Button* m_ok;
    plat::Button* m_cancel;
};
