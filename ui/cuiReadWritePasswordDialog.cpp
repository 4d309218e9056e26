#include "ui/cuiReadWritePasswordDialog.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiClonePasswordDialog.h"
#include "ui/cuiMain.h"

#include <algorithm>

cuiReadWritePasswordDialog::cuiReadWritePasswordDialog(plat::Form* owner, const std::string& initial)
    : plat::Form(owner)
{
    SetBorderStyle(plat::bsSingle);
    SetBorderIcons(plat::biSystemMenu);
    SetCaption(g_GTex.GetText("GI_AppInd_Opt_RdWrPwd_Caption", 0));

    const int margin = DialogTextExtent(*this, "W").cy;
    Notice = new plat::Label(*this);
    Notice->SetCaption(g_GTex.GetMultiLineText("GI_AppInd_Opt_RdWrPwd_Notice"));
    Notice->SetLeft(margin);
    Notice->SetTop(margin);

    PasswordLabel = new plat::Label(*this);
    PasswordLabel->SetCaption(g_GTex.GetMultiLineText("GI_AppInd_Opt_RdWrPwd_Password"));
    ConfirmLabel = new plat::Label(*this);
    ConfirmLabel->SetCaption(g_GTex.GetMultiLineText("GI_AppInd_Opt_RdWrPwd_Confirm"));
    // The edits stand right of the wider label, so neither label is covered.
    const int labelWidth = std::max(PasswordLabel->Width(), ConfirmLabel->Width());
    const int editWidth = DialogTextExtent(*this, "****************WWWW").cx;
    const int editHeight = margin + 8; // one text line and the edit's frame
    const int editLeft = 3 * margin + labelWidth;

    auto makeEdit = [&](int top) {
        auto* edit = new plat::Edit(*this);
        edit->SetPrintableAsciiOnly(true);
        edit->SetMaxLength(cuiMain::ClonePasswordMax);
        edit->SetText(initial);
        edit->SetBounds(editLeft, top, editWidth, editHeight);
        return edit;
    };
    PasswordEdit = makeEdit(Notice->Top() + Notice->Height() + margin);
    ConfirmEdit = makeEdit(PasswordEdit->Top() + editHeight * 3 / 2);
    PasswordLabel->SetLeft(margin);
    PasswordLabel->SetTop(PasswordEdit->Top() + (editHeight - PasswordLabel->Height()) / 2);
    ConfirmLabel->SetLeft(margin);
    ConfirmLabel->SetTop(ConfirmEdit->Top() + (editHeight - ConfirmLabel->Height()) / 2);

    const std::string okText = g_GTex.GetText("GI_AppInd_Opt_RdWrPwr_Buttons", 0);
    const int buttonWidth = DialogTextExtent(*this, g_GTex.GetText("GI_AppInd_Opt_RdWrPwd_SizeOfButtons", 0)).cx;
    const int buttonHeight = 2 * DialogTextExtent(*this, okText).cy;
    const int buttonTop = PasswordEdit->Top() + 5 * editHeight;
    CancelButton = new plat::Button(*this);
    CancelButton->SetCaption(g_GTex.GetText("GI_AppInd_Opt_RdWrPwr_Buttons", 1));
    CancelButton->SetCancel(true);
    CancelButton->SetBounds(PasswordEdit->Left() + editWidth - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    OkButton = new plat::Button(*this);
    OkButton->SetCaption(okText);
    OkButton->SetDefault(true);
    OkButton->SetBounds(CancelButton->Left() - buttonHeight / 2 - buttonWidth, buttonTop, buttonWidth, buttonHeight);

    // Four margins, the label and the edit; wider when the notice needs it.
    const int clientWidth = std::max(4 * margin + labelWidth + editWidth, Notice->Width() + 2 * margin);
    PlaceDialog(*this, owner, clientWidth, buttonTop + buttonHeight * 3 / 2);
    OnShow = [this] {
        PasswordEdit->SetFocus();
        PasswordEdit->SelectAll();
    };
}
