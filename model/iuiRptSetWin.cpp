#include "model/iuiRptSetWin.h"

#include "cells/ValueHandlers.h"
#include "core/EventIds.h"
#include "core/TextFunctions.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcCellObj.h"
#include "core/cmcEeprom.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/RepeaterFiles.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "model/iuiSh_Mch.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"

#include <algorithm>

namespace {

constexpr int kLtrKind = 22;
constexpr int kZephKind = 27;
constexpr int kSiteKind = 31;
constexpr int kRecordSize = 10;
constexpr int kBanks = 128;
constexpr int kSites = 48;

// Where each list keeps its records, group counts and home marks.
constexpr int kLtrRecords = 206002;
constexpr int kZephRecords = 246916;
constexpr int kSiteRecords = 148246;
constexpr int kLtrCounts = 204846;
constexpr int kZephCounts = 242938;
constexpr int kSiteCounts = 148184;
constexpr int kLtrBankTable = 204978;  // 8 bytes a bank: byte 0 bit 7 group flag, byte 7 home repeater
constexpr int kLtrBankSize = 8;
constexpr int kZephBankTable = 245636; // 10 bytes a bank: bytes 6 and 7 homes, byte 8 bit 7 group flag
constexpr int kZephBankSize = 10;
constexpr int kSiteTable = 162646;     // 8 bytes a site: bytes 4 and 5 the collecting repeaters
constexpr int kSiteSize = 8;
constexpr uint8_t kGroupFlag = 0x80;
constexpr int kBankNames = 177448;     // 12 characters a bank
constexpr int kBankNameLength = 12;

// The window's state values as placements store them.
constexpr int kStateNormal = 0;
constexpr int kStateMaximised = 2;

iuiRptSetWin*& OpenWindow()
{
    static iuiRptSetWin* window = nullptr;
    return window;
}

std::string Line(const char* key, int line) { return g_GTex.GetText(key, line); }

}  // namespace

// ---- The backup ----

int RepeaterListBackup::ListLength(int kind)
{
    return kind == kLtrKind ? 2560 : kind == kZephKind ? 3840 : 1440;
}

RepeaterListBackup::RepeaterListBackup(const cmcEeprom& image, int kind)
{
    const int records = kind == kLtrKind ? kLtrRecords : kind == kZephKind ? kZephRecords : kSiteRecords;
    m_areas.push_back({records, ListLength(kind) * kRecordSize, 0xFF, 1});
    if (kind == kLtrKind) {
        m_areas.push_back({kLtrCounts, kBanks, 0xFF, 1});
        m_areas.push_back({kLtrBankTable + 7, kBanks, 0xFF, kLtrBankSize});
        // The LTR list also shows its bank's name for editing.
        m_areas.push_back({kBankNames, kBanks * kBankNameLength, 0xFF, 1});
    } else if (kind == kZephKind) {
        m_areas.push_back({kZephCounts, kBanks, 0xFF, 1});
        m_areas.push_back({kZephBankTable + 6, kBanks, 0xFF, kZephBankSize});
        m_areas.push_back({kZephBankTable + 7, kBanks, 0xFF, kZephBankSize});
    } else {
        m_areas.push_back({kSiteCounts, kSites, 0xFF, 1});
        m_areas.push_back({kSiteTable + 4, kSites, 0xFF, kSiteSize});
        m_areas.push_back({kSiteTable + 5, kSites, 0xFF, kSiteSize});
    }
    // A repeater list file also sets the group flag of the bank it loads
    // into: every bank's flag of both trunking tables is kept.
    m_areas.push_back({kLtrBankTable, kBanks, kGroupFlag, kLtrBankSize});
    m_areas.push_back({kZephBankTable + 8, kBanks, kGroupFlag, kZephBankSize});

    const ImageBytes bytes(image);
    for (const Area& a : m_areas)
        for (int k = 0; k < a.Length; ++k) m_bytes.push_back(uint8_t(bytes.U8(a.Offset + k * a.Stride) & a.Mask));
}

bool RepeaterListBackup::Matches(const cmcEeprom& image) const
{
    const ImageBytes bytes(image);
    size_t n = 0;
    for (const Area& a : m_areas)
        for (int k = 0; k < a.Length; ++k)
            if ((bytes.U8(a.Offset + k * a.Stride) & a.Mask) != m_bytes[n++]) return false;
    return true;
}

void RepeaterListBackup::Restore(cmcEeprom& image) const
{
    ImageBytes bytes(&image);
    size_t n = 0;
    for (const Area& a : m_areas) {
        for (int k = 0; k < a.Length; ++k) {
            const int at = a.Offset + k * a.Stride;
            bytes.SetU8(at, (bytes.U8(at) & ~a.Mask) | m_bytes[n++]);
        }
    }
}

// ---- The window ----

iuiRptSetWin* iuiRptSetWin::Current() { return OpenWindow(); }

iuiRptSetWin::iuiRptSetWin(plat::Form* parent, const std::string& caption, cmcGTex* texts, const std::string& sheetKey,
                           plat::ImageList* images, const cmcCellCapsule& origin, int kind)
    : m_group(origin.Cell ? origin.Cell->Index : 0),
      m_kind(kind),
      m_backup(g_Main->CurrentImage(), kind),
      m_parent(parent),
      m_key(sheetKey)
{
    OpenWindow() = this;
    const int m = Margin;
    m_window = new plat::Form(parent);
    m_window->SetCaption(caption);
    m_window->SetBorderStyle(plat::bsSizeable);
    m_window->SetBorderIcons(plat::biSystemMenu);

    m_bottom = new plat::Panel(*m_window);
    m_bottom->SetBevelOuter(plat::bvNone);
    m_bottom->SetBevelInner(plat::bvNone);
    m_bottom->SetAlign(plat::alBottom);

    auto button = [&](const char* key, int line) {
        auto* b = new plat::Button(*m_bottom);
        b->SetCaption(Line(key, line));
        return b;
    };
    m_cancel = button("GI_AppInd_Button_OkCancel", 1);
    m_ok = button("GI_AppInd_Button_OkCancel", 0);
    m_load = button("GI_AppInd_Button_LoadSave", 0);
    m_save = button("GI_AppInd_Button_LoadSave", 1);
    m_cancel->SetCancel(true);
    const int bw = m_cancel->Width();
    const int bh = m_cancel->Height();
    m_bottom->SetBounds(0, 0, m_window->ClientWidth(), bh + 2 * m);
    const int panelWidth = m_bottom->ClientWidth();
    m_cancel->SetBounds(panelWidth - m - bw, m, bw, bh);
    m_cancel->SetAnchors(plat::akRight | plat::akBottom);
    m_ok->SetBounds(panelWidth - 2 * m - 2 * bw, m, bw, bh);
    m_ok->SetAnchors(plat::akRight | plat::akBottom);
    m_load->SetBounds(m, m, bw, bh);
    m_load->SetAnchors(plat::akLeft | plat::akBottom);
    m_save->SetBounds(2 * m + bw, m, bw, bh);
    m_save->SetAnchors(plat::akLeft | plat::akBottom);
    // Tab goes along the buttons as they read to the user: OK first.
    plat::Control::SetTabOrder({m_ok, m_cancel, m_load, m_save});

    m_sheetPanel = new plat::Panel(*m_window);
    m_sheetPanel->SetBorderWidth(8);
    m_sheetPanel->SetBevelOuter(plat::bvRaised);
    m_sheetPanel->SetBevelInner(plat::bvLowered);
    m_sheetPanel->SetBevelWidth(2);
    m_sheetPanel->SetAlign(plat::alClient);

    m_sheet = std::make_unique<iuiSh_Mch>(m_sheetPanel, &origin, 1, 0, texts, sheetKey, images);
    m_sheet->SetCode(kind == kSiteKind ? "M 9" : "R 9");

    const bool fresh = RestorePlacement();
    m_sheet->Show();
    SavePlacement(1);
    if (g_EvMan) g_EvMan->Send(ev::RefreshSheetTitles, 0, 0);

    if (fresh) {
        if (cuiGrid* grid = m_sheet->Grid()) grid->SetScrollBars(plat::ssBoth);
        const plat::Rect work = plat::DesktopWorkArea();
        const int frameWidth = m_window->Width() - m_window->ClientWidth();
        const int frameHeight = m_window->Height() - m_window->ClientHeight();
        const int sheetHeight = work.Height() / 2;
        m_window->SetClientSize(std::min(m_sheet->FullWidth() + 20, work.Width() - frameWidth),
                                sheetHeight + m_bottom->Height());
        (void)frameHeight;
        if (parent) CenterControl(*m_window, *parent);
    }
    const int minWidth = 4 * bw + 7 * m - 1;
    const int minHeight = 8 * m_bottom->Height();
    m_window->SetMinTrackSize(minWidth, minHeight);
    if (m_window->Width() < minWidth || m_window->Height() < minHeight)
        m_window->SetBounds(m_window->Left(), m_window->Top(), std::max(m_window->Width(), minWidth),
                            std::max(m_window->Height(), minHeight));
    KeepInWorkArea(*m_window);
    if (fresh && parent && m_window->Top() < parent->Top() + parent->Height()) {
        const plat::Rect work = plat::DesktopWorkArea();
        if (parent->Top() - work.top >= m_window->Height()) {
            m_window->SetTop(parent->Top() - m_window->Height());
            KeepInWorkArea(*m_window);
        }
    }

    if (parent) parent->SetEnabled(false);
    m_window->OnCloseQuery = [this](bool& canClose) { canClose = m_closing || RevertChanges(); };
    m_window->OnClose = [this] {
        if (!m_closing) Close();
    };
    m_window->OnDestroy = [this] { delete this; };
    m_ok->OnClick = [this] { OnOkClick(); };
    m_cancel->OnClick = [this] { OnCancelClick(); };
    m_load->OnClick = [this] { OnLoadClick(); };
    m_save->OnClick = [this] { OnSaveClick(); };
    m_window->Show();
    if (cuiGrid* grid = m_sheet->Grid(); grid && grid->Enabled()) grid->SetFocus();
    if (g_EvMan) g_EvMan->Send(ev::MainWindowBuilt, 0, 0);
    m_events = cmcEvSubscription(MemberEventHandler<&iuiRptSetWin::OnEvent>(this));
}

iuiRptSetWin::~iuiRptSetWin()
{
    if (OpenWindow() == this) OpenWindow() = nullptr;
    m_sheet.reset();
    m_events.Reset();
    if (g_EvMan) {
        g_EvMan->Send(ev::ControlClosing, 0, reinterpret_cast<intptr_t>(m_window));
        g_EvMan->Send(ev::RepaintLabelled, 0, 0);
    }
    if (g_Main) g_Main->ScheduleCheck();
}

void iuiRptSetWin::SavePlacement(int open)
{
    if (!g_Environ || !m_window) return;
    const plat::Rect r = m_window->NormalBounds();
    cuiGrid* grid = m_sheet ? m_sheet->Grid() : nullptr;
    g_Environ->SetEditFormPosition(m_key, r.left, r.top, r.Width(), r.Height(), grid ? grid->Col() : -1,
                                   grid ? grid->Row() : -1, grid ? grid->LeftCol() : -1, grid ? grid->TopRow() : -1,
                                   int(m_window->GetWindowState()), open);
}

bool iuiRptSetWin::RestorePlacement()
{
    const dst_EditFormPos* placement = g_Environ ? g_Environ->EditFormPosition(m_key) : nullptr;
    if (!placement) return true;
    m_window->SetBounds(placement->Left, placement->Top, placement->Width, placement->Height);
    if (placement->WindowState == kStateNormal || placement->WindowState == kStateMaximised)
        m_window->SetWindowState(plat::WindowState(placement->WindowState));
    return false;
}

bool iuiRptSetWin::RevertChanges()
{
    cmcEeprom& image = g_Main->CurrentImage();
    if (m_backup.Matches(image)) return true;
    if (ConfirmOkCancel("GI_Mess_Confirm_Repeater") != plat::IDOK) return false;
    m_backup.Restore(image);
    g_Main->Pack(image);
    // The tree names the bank as the window's sheet left it: name it again.
    if (m_kind == kLtrKind && g_EvMan)
        g_EvMan->PostText(ev::BankNameChanged, 0, m_group, FormatBankName(image, m_group));
    return true;
}

void iuiRptSetWin::Close()
{
    if (m_closing) return;
    m_closing = true;
    SavePlacement(0);
    if (m_parent) m_parent->SetEnabled(true);
    m_window->Release();
    if (g_EvMan) g_EvMan->Send(ev::MainWindowBuilt, 0, 0);
}

void iuiRptSetWin::OnOkClick() { Close(); }

void iuiRptSetWin::OnCancelClick()
{
    if (RevertChanges()) Close();
}

void iuiRptSetWin::OnLoadClick() { ImportRepeaterList(m_group, m_kind, m_window); }

void iuiRptSetWin::OnSaveClick() { ExportRepeaterList(m_group, m_kind, m_window); }

void iuiRptSetWin::OnEvent(const dst_Event* event)
{
    const bool parentCloses = event->IsClosingOf(m_parent);
    if (parentCloses || event->type == ev::ClosePopups) Close();
}
