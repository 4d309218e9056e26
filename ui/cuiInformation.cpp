#include "ui/cuiInformation.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiSheetDialog.h"

cuiInformation::cuiInformation(plat::Control* owner, const std::string& caption, cmcGTex* texts,
                               const std::string& key, plat::ImageList* images)
    : m_owner(owner)
{
    SheetDialogLayout layout;
    layout.WidenToTexts = true; // the radio's own texts may be longer than the samples
    SheetDialogParts parts = MakeSheetDialog(owner, caption, texts, key, images, layout);
    m_window = parts.Window;
    m_panel = parts.Panel;
    m_sheet = std::move(parts.Sheet);

    m_okButton = new plat::Button(*m_window);
    m_okButton->SetCaption(texts->GetText("GI_AppInd_Button_OkCancel", 0));
    PlaceDialogButtons(*m_window, {m_okButton}, 0, false);
    m_okButton->SetDefault(true);
    m_okButton->SetCancel(true);
    m_okButton->OnClick = [this] { OnOkClick(); };

    if (owner != nullptr) owner->SetEnabled(false);
    m_window->OnClose = [this] { OnFormClose(); };
    m_window->OnDestroy = [this] { OnFormDestroy(); };
    m_window->Show();
    m_okButton->SetFocus();
}

cuiInformation::~cuiInformation()
{
    if (m_owner != nullptr) {
        m_owner->SetEnabled(true);
        m_owner->SetFocus();
    }
    m_sheet.reset();
}

void cuiInformation::OnFormClose() { m_window->Release(); }

void cuiInformation::OnFormDestroy() { delete this; }

void cuiInformation::OnOkClick() { m_window->Release(); }
