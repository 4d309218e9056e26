#include "ui/cuiLanguage.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiOpenWindows.h"
#include "ui/cuiSheet.h"
#include "ui/cuiSheetDialog.h"

namespace {
// OK stands this far left of Cancel.
constexpr int ButtonGap = 10;
// The first line of "GI_AppInd_Button_OkCancel" is OK, the second Cancel.
constexpr int OkLine = 0;
constexpr int CancelLine = 1;

int LanguageSetting() { return g_Environ != nullptr ? g_Environ->Language : 0; }

} // namespace

cuiLanguage* cuiLanguage::Current() { return cuiOpenWindows<cuiLanguage>::Newest(); }

cuiLanguage::cuiLanguage(plat::Control* owner, const std::string& caption, cmcGTex* texts, const std::string& key,
                         plat::ImageList* images)
    : m_owner(owner)
{
    SheetDialogParts parts = MakeSheetDialog(owner, caption, texts, key, images, SheetDialogLayout{});
    m_window = parts.Window;
    m_panel = parts.Panel;
    m_sheet = std::move(parts.Sheet);

    m_cancelButton = new plat::Button(*m_window);
    m_cancelButton->SetCaption(texts->GetText("GI_AppInd_Button_OkCancel", CancelLine));
    m_okButton = new plat::Button(*m_window);
    m_okButton->SetCaption(texts->GetText("GI_AppInd_Button_OkCancel", OkLine));
    PlaceDialogButtons(*m_window, {m_cancelButton, m_okButton}, ButtonGap, false);
    m_cancelButton->SetCancel(true);
    m_okButton->SetDefault(true);
    // Enter on the language cell opens its list, as on every cell; on the
    // buttons it presses OK.
    m_sheet->Grid()->SetWantsReturn(true);
    m_okButton->OnClick = [this] { OnOkClick(); };
    m_cancelButton->OnClick = [this] { OnCancelClick(); };

    if (owner != nullptr) owner->SetEnabled(false);
    m_window->OnClose = [this] { OnFormClose(); };
    m_window->OnDestroy = [this] { OnFormDestroy(); };
    m_window->Show();
    m_language = LanguageSetting();
    cuiOpenWindows<cuiLanguage>::Add(this);
}

cuiLanguage::~cuiLanguage()
{
    cuiOpenWindows<cuiLanguage>::Remove(this);
    if (m_owner != nullptr) {
        m_owner->SetEnabled(true);
        m_owner->SetFocus();
    }
    m_sheet.reset();
}

void cuiLanguage::RestoreLanguage()
{
    if (g_Environ != nullptr) g_Environ->Language = m_language;
}

void cuiLanguage::OnOkClick()
{
    if (LanguageSetting() != m_language && g_Main != nullptr) g_Main->ReloadLanguage();
    m_window->Release();
}

void cuiLanguage::OnCancelClick()
{
    RestoreLanguage();
    m_window->Release();
}

// The close box cancels too: the setting then always names the language
// the program shows.
void cuiLanguage::OnFormClose()
{
    RestoreLanguage();
    m_window->Release();
}

void cuiLanguage::OnFormDestroy() { delete this; }
