#include "ui/cuiDebugWin.h"

#include "core/EventIds.h"
#include "core/TextFunctions.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiOpenWindows.h"
#include "ui/cuiSheet.h"
#include "ui/cuiSheetDialog.h"

#include <algorithm>

namespace {
// The buttons stand this far apart.
constexpr int ButtonGap = 5;
// The sheet's focus: the first row address cell.
constexpr int FocusLabel = 1;

} // namespace

// ---- the debug text window ----

cuiDebugWin::cuiDebugWin(plat::Form* owner)
{
    m_window = new plat::Form(owner);
    m_window->SetCaption(Caption);
    m_memo = new plat::Memo(*m_window);
    m_memo->SetAlign(plat::alClient);
    m_memo->SetScrollBars(plat::ssBoth);
    m_memo->SetWordWrap(false);
    if (owner != nullptr) {
        m_window->SetHeight(std::max(MinimumHeight, static_cast<int>(owner->Height() * HeightOfMainForm)));
        CenterControl(*m_window, *owner);
    }
    m_window->OnDestroy = [this] { OnFormDestroy(); };
    m_window->OnDeactivate = [this] { OnFormDeactivate(); };
    m_window->Show();
    m_events = cmcEvSubscription(MemberEventHandler<&cuiDebugWin::OnEvent>(this));
    cuiOpenWindows<cuiDebugWin>::Add(this);
}

cuiDebugWin::~cuiDebugWin()
{
    m_events.Reset();
    cuiOpenWindows<cuiDebugWin>::Remove(this);
}

cuiDebugWin* cuiDebugWin::Newest() { return cuiOpenWindows<cuiDebugWin>::Newest(); }

void cuiDebugWin::OnEvent(const dst_Event* event)
{
    // A line arriving while the user has text selected is dropped, so that
    // the selection stays where it is.
    if (event->type == ev::DebugTextLine && m_memo->SelLength() == 0) m_memo->AddLine(event->Text());
}

void cuiDebugWin::OnFormDestroy() { delete this; }

// ---- the image debug window ----

cuiEeDebugWin::cuiEeDebugWin(plat::Control* owner, const std::string& caption, cmcGTex* texts,
                             const std::string& key, plat::ImageList* images)
    : m_owner(owner)
{
    m_events = cmcEvSubscription(MemberEventHandler<&cuiEeDebugWin::OnEvent>(this));
    if (key.empty()) LoadBuiltinOverlay();
    SheetDialogLayout layout;
    layout.FocusLabel = FocusLabel;
    layout.ScrollBars = plat::ssVertical;
    layout.MostPanelHeight = plat::ScreenSize().cy / 2;
    SheetDialogParts parts = MakeSheetDialog(owner, caption, texts, key, images, layout);
    m_window = parts.Window;
    m_panel = parts.Panel;
    m_sheet = std::move(parts.Sheet);

    m_closeButton = new plat::Button(*m_window);
    m_closeButton->SetCaption(texts->GetText("GI_AppInd_Button_OkCancel", 0));
    m_setCompButton = new plat::Button(*m_window);
    m_setCompButton->SetCaption("Set Comp");
    m_redrawButton = new plat::Button(*m_window);
    m_redrawButton->SetCaption("Redraw");
    PlaceDialogButtons(*m_window, {m_closeButton, m_setCompButton, m_redrawButton}, ButtonGap, true);
    m_closeButton->SetCancel(true);
    m_closeButton->OnClick = [this] { m_window->Release(); };
    m_setCompButton->OnClick = [this] { OnSetCompClick(); };
    m_redrawButton->OnClick = [this] { OnRedrawClick(); };

    m_window->OnClose = [this] { OnFormClose(); };
    m_window->OnDestroy = [this] { OnFormDestroy(); };
    m_window->Show();
    cuiOpenWindows<cuiEeDebugWin>::Add(this);
}

cuiEeDebugWin::~cuiEeDebugWin()
{
    cuiOpenWindows<cuiEeDebugWin>::Remove(this);
    m_events.Reset();
    m_sheet.reset();
}

cuiEeDebugWin* cuiEeDebugWin::Newest() { return cuiOpenWindows<cuiEeDebugWin>::Newest(); }

void cuiEeDebugWin::OnSetCompClick()
{
    if (g_EvMan == nullptr) return;
    g_EvMan->Send(ev::ImageSnapshot, 0, 0);
    g_EvMan->Post(ev::EepromDebugRefresh, 0, 0);
}

void cuiEeDebugWin::OnRedrawClick()
{
    if (g_EvMan != nullptr) g_EvMan->Send(ev::DataReplaced, 0, 0);
}

void cuiEeDebugWin::RedrawAll()
{
    cmcCellObj cell;
    cell.Category = 0;
    cell.Label = 0;
    cell.Index = -1;
    cmcCellCapsule capsule;
    capsule.Cell = &cell;
    m_sheet->RedrawMatching(&capsule, csEveryLabelled);
}

void cuiEeDebugWin::OnEvent(const dst_Event* event)
{
    if (event->type == ev::EepromDebugRefresh) {
        RedrawAll();
    } else if (event->type == ev::ImageDebugCursor) {
        // Only an address of a row the sheet shows moves the cursor.
        const intptr_t address = event->p2;
        const cuiGrid* grid = m_sheet->Grid();
        if (address < 0 || grid == nullptr || address / BytesPerRow >= grid->RowCount() - FirstByteRow) return;
        m_sheet->MoveTo(static_cast<int>(address % BytesPerRow) * 2 + FirstByteColumn,
                        static_cast<int>(address / BytesPerRow) + FirstByteRow);
    }
}

void cuiEeDebugWin::OnFormClose() { m_window->Release(); }

void cuiEeDebugWin::OnFormDestroy() { delete this; }
