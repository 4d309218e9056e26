#include "ui/cuiInformation.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

namespace {
constexpr int PanelBorderWidth = 8;
constexpr int PanelBevelWidth = 2;
// Room below the sheet for the button, and the button's distance from the
// right and bottom edges.
constexpr int ButtonRoom = 10;
constexpr int ButtonMargin = 5;
// The size the sheet is measured at: larger than any frame around its cells.
constexpr int MeasuringSize = 4096;
} // namespace

cuiInformation::cuiInformation(plat::Control* owner, const std::string& caption, cmcGTex* texts,
                               const std::string& key, plat::ImageList* images)
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
    // Every column and row of the sheet in view, measured with room to
    // spare for the panel's frame and the sheet's title. The texts (the
    // radio's own data) may be wider than the layout's sample texts: the
    // columns widen to them first.
    m_window->SetClientWidth(MeasuringSize);
    m_panel->SetHeight(MeasuringSize);
    m_sheet->WidenColumnsToTexts();
    const int growth = m_sheet->FullWidth() - m_panel->ClientWidth();
    const int panelHeight = m_sheet->FullHeight();
    m_window->SetClientWidth(m_window->ClientWidth() + growth);
    m_panel->SetHeight(panelHeight);
    m_window->SetClientHeight(m_panel->Height());

    const int clientWidth = m_window->ClientWidth();
    const int clientHeight = m_window->ClientHeight();
    if (owner != nullptr)
        CenterControl(*m_window, *owner);
    else
        KeepInWorkArea(*m_window);

    m_okButton = new plat::Button(*m_window);
    m_okButton->SetCaption(texts->GetText("GI_AppInd_Button_OkCancel", 0));
    // Setting the client size again keeps it from counting as the outer size
    // of the window that was moved while hidden.
    m_window->SetClientSize(clientWidth, clientHeight + m_okButton->Height() + ButtonRoom);
    m_okButton->SetBounds(m_window->ClientWidth() - ButtonMargin - m_okButton->Width(),
                          m_window->ClientHeight() - ButtonMargin - m_okButton->Height(), m_okButton->Width(),
                          m_okButton->Height());
    m_okButton->SetAnchors(plat::akRight | plat::akBottom);
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
