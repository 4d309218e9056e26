#include "ui/cuiLanguage.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

namespace {
constexpr int PanelBorderWidth = 8;
constexpr int PanelBevelWidth = 2;
// Room below the sheet for the buttons, their distance from the right and
// bottom edges and from each other.
constexpr int ButtonRoom = 10;
constexpr int ButtonMargin = 5;
constexpr int ButtonGap = 10;
// The size the sheet is measured at: larger than any frame around its cells.
constexpr int MeasuringSize = 4096;
// The first line of "GI_AppInd_Button_OkCancel" is OK, the second Cancel.
constexpr int OkLine = 0;
constexpr int CancelLine = 1;

int LanguageSetting() { return g_Environ != nullptr ? g_Environ->Language : 0; }

cuiLanguage* g_OpenLanguageDialog = nullptr;
} // namespace

cuiLanguage* cuiLanguage::Current() { return g_OpenLanguageDialog; }

cuiLanguage::cuiLanguage(plat::Control* owner, const std::string& caption, cmcGTex* texts, const std::string& key,
                         plat::ImageList* images)
    : m_owner(owner)
{
    m_window = new plat::Form(owner);
    m_window->SetBorderStyle(plat::bsDialog);
    m_window->SetBorderIcons(plat::biSystemMenu);
    m_window->SetCaption(caption);

    m_panel = new plat::Panel(*m_window);
    m_panel->SetAlign(plat::alTop);
    m_panel->SetBorderWidth(PanelBorderWidth);
    m_panel->SetBevelOuter(plat::bvRaised);
    m_panel->SetBevelInner(plat::bvLowered);
    m_panel->SetBevelWidth(PanelBevelWidth);

    m_sheet = std::make_unique<cuiSheet>(m_panel, nullptr, 0, 0, texts, key, images);
    m_sheet->Show();
    m_sheet->Grid()->SetScrollBars(plat::ssNone);
    m_window->SetClientWidth(MeasuringSize);
    m_panel->SetHeight(MeasuringSize);
    const int growth = m_sheet->FullWidth() - m_panel->ClientWidth();
    m_window->SetClientWidth(m_window->ClientWidth() + growth);
    m_panel->SetHeight(m_sheet->FullHeight());
    m_window->SetClientHeight(m_panel->Height());

    const int clientWidth = m_window->ClientWidth();
    const int clientHeight = m_window->ClientHeight();
    if (owner != nullptr)
        CenterControl(*m_window, *owner);
    else
        KeepInWorkArea(*m_window);

    m_cancelButton = new plat::Button(*m_window);
    m_cancelButton->SetCaption(texts->GetText("GI_AppInd_Button_OkCancel", CancelLine));
    m_okButton = new plat::Button(*m_window);
    m_okButton->SetCaption(texts->GetText("GI_AppInd_Button_OkCancel", OkLine));
    m_window->SetClientSize(clientWidth, clientHeight + m_cancelButton->Height() + ButtonRoom);
    const int top = m_window->ClientHeight() - ButtonMargin - m_cancelButton->Height();
    const int cancelLeft = m_window->ClientWidth() - ButtonMargin - m_cancelButton->Width();
    m_cancelButton->SetBounds(cancelLeft, top, m_cancelButton->Width(), m_cancelButton->Height());
    m_okButton->SetBounds(cancelLeft - ButtonGap - m_okButton->Width(), top, m_okButton->Width(),
                          m_okButton->Height());
    for (plat::Button* button : {m_okButton, m_cancelButton}) button->SetAnchors(plat::akRight | plat::akBottom);
    m_cancelButton->SetCancel(true);
    m_okButton->SetDefault(true);
    m_okButton->OnClick = [this] { OnOkClick(); };
    m_cancelButton->OnClick = [this] { OnCancelClick(); };

    if (owner != nullptr) owner->SetEnabled(false);
    m_window->OnClose = [this] { OnFormClose(); };
    m_window->OnDestroy = [this] { OnFormDestroy(); };
    m_window->Show();
    m_language = LanguageSetting();
    g_OpenLanguageDialog = this;
}

cuiLanguage::~cuiLanguage()
{
    if (g_OpenLanguageDialog == this) g_OpenLanguageDialog = nullptr;
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
