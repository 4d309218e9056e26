#include "ui/cuiClonePasswordDialog.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "platform/base/Canvas.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiMain.h"

#include <algorithm>

plat::Size DialogTextExtent(plat::Form& form, const std::string& text)
{
    // A hidden paint box lends its canvas for measuring in the form's font.
    auto* probe = new plat::PaintBox(form);
    probe->Hide();
    plat::Canvas& canvas = probe->GetCanvas();
    plat::Font font = form.GetFont();
    font.pixelsPerInch = canvas.GetFont().pixelsPerInch;
    canvas.GetFont() = font;
    const plat::Size size = canvas.TextExtent(text);
    delete probe;
    return size;
}

void PlaceDialog(plat::Form& dialog, plat::Form* owner, int clientWidth, int clientHeight)
{
    dialog.SetClientSize(clientWidth, clientHeight);
    if (owner != nullptr)
        CenterControl(dialog, *owner);
    else
        KeepInWorkArea(dialog);
    // Moving a hidden form makes its size an outer size; the client area
    // must keep its own.
    dialog.SetClientSize(clientWidth, clientHeight);
}

cuiClonePasswordDialog::cuiClonePasswordDialog(plat::Form* owner) : plat::Form(owner)
{
    SetBorderStyle(plat::bsSingle);
    SetBorderIcons(plat::biSystemMenu);
    SetCaption(g_GTex.GetText("GI_AppInd_Opt_ClonePwd_Caption", 0));

    const int margin = DialogTextExtent(*this, "W").cy;
    Notice = new plat::Label(*this);
    Notice->SetCaption(g_GTex.GetMultiLineText("GI_AppInd_Opt_ClonePwd_Notice"));
    Notice->SetLeft(margin);
    Notice->SetTop(margin);

    PasswordEdit = new plat::Edit(*this);
    PasswordEdit->SetPrintableAsciiOnly(true);
    PasswordEdit->SetMaxLength(cuiMain::ClonePasswordMax);
    PasswordEdit->SetPasswordChar(U'*');
    // One text line high, with room for the edit's frame.
    const int editHeight = margin + 8;
    PasswordEdit->SetBounds(Notice->Left() + DialogTextExtent(*this, "WW").cx, Notice->Top() + Notice->Height() + margin / 2,
                            DialogTextExtent(*this, "****************WWWW").cx, editHeight);

    const int clientWidth = std::max(Notice->Width() + 2 * margin, PasswordEdit->Left() + PasswordEdit->Width() + margin);
    const std::string okText = g_GTex.GetText("GI_AppInd_Opt_ClonePwd_Buttons", 0);
    const int buttonWidth = DialogTextExtent(*this, g_GTex.GetText("GI_AppInd_Opt_ClonePwd_SizeOfButtons", 0)).cx;
    const int buttonHeight = 2 * DialogTextExtent(*this, okText).cy;
    const int buttonTop = PasswordEdit->Top() + 4 * PasswordEdit->Height();

    CancelButton = new plat::Button(*this);
    CancelButton->SetCaption(g_GTex.GetText("GI_AppInd_Opt_ClonePwd_Buttons", 1));
    CancelButton->SetCancel(true);
    CancelButton->SetBounds(clientWidth - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    OkButton = new plat::Button(*this);
    OkButton->SetCaption(okText);
    OkButton->SetDefault(true);
    OkButton->SetBounds(CancelButton->Left() - buttonHeight / 2 - buttonWidth, buttonTop, buttonWidth, buttonHeight);

    PlaceDialog(*this, owner, clientWidth, buttonTop + buttonHeight * 3 / 2);
    OnShow = [this] { PasswordEdit->SetFocus(); };
}
