#include "ui/cuiEntryDialog.h"

#include "core/TextFunctions.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TextMetrics.h"

#include <algorithm>

namespace {
// The edit's frame around its line of text.
constexpr int EditFrame = 8;
} // namespace

cuiEntryDialog::cuiEntryDialog(plat::Form* owner, const cuiEntryDialogTexts& texts)
    : m_form(std::make_unique<plat::Form>(nullptr)), m_owner(owner)
{
    m_form->SetCaption(texts.Caption);
    m_form->SetBorderStyle(plat::bsSingle);
    m_form->SetBorderIcons(plat::biSystemMenu);
    m_notice = new plat::Label(*m_form);
    m_notice->SetCaption(texts.Notice);
    m_edit = new plat::Edit(*m_form);
    m_ok = new plat::Button(*m_form);
    m_ok->SetCaption(texts.OkCaption);
    m_ok->SetDefault(true);
    m_ok->OnClick = [this] { OkClick(); };
    m_cancel = new plat::Button(*m_form);
    m_cancel->SetCaption(texts.CancelCaption);
    m_cancel->SetCancel(true);
    m_cancel->SetModalResult(plat::mrCancel);
    Layout(texts);
}

cuiEntryDialog::~cuiEntryDialog() = default;

void cuiEntryDialog::Layout(const cuiEntryDialogTexts& texts)
{
    const int w = plat::ControlTextWidth(*m_notice, "W");
    const int h = plat::ControlTextHeight(*m_notice, "W");
    const int margin = h;
    m_notice->SetLeft(margin);
    m_notice->SetTop(margin);

    const int editWidth = plat::ControlTextWidth(*m_edit, texts.EditSample);
    const int editHeight = plat::ControlTextHeight(*m_edit, "W") + EditFrame;
    m_edit->SetBounds(m_notice->Left() + 2 * w, m_notice->Top() + m_notice->Height() + h / 2, editWidth, editHeight);

    const int buttonWidth = plat::ControlTextWidth(*m_ok, texts.ButtonSample);
    const int buttonHeight = 2 * plat::ControlTextHeight(*m_ok, texts.OkCaption);
    const int gap = buttonHeight / 2;
    // The notice's right edge, or further right when the edit or the two
    // buttons would not fit left of it.
    const int right = std::max({m_notice->Left() + m_notice->Width(), m_edit->Left() + m_edit->Width(),
                                margin + 2 * buttonWidth + gap});
    const int buttonTop = m_edit->Top() + 4 * editHeight;
    m_cancel->SetBounds(right - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    m_ok->SetBounds(m_cancel->Left() - gap - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    m_form->SetClientSize(right + margin, buttonTop + buttonHeight * 3 / 2);
}

void cuiEntryDialog::OkClick()
{
    if (!OnAccept || OnAccept(m_edit->Text())) {
        m_form->SetModalResult(plat::mrOk);
        return;
    }
    m_edit->SetFocus();
}

int cuiEntryDialog::ShowModal()
{
    if (m_owner != nullptr) CenterControl(*m_form, *m_owner);
    m_edit->SetFocus();
    return m_form->ShowModal();
}
