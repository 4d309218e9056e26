#include "ui/cuiFBitsR.h"

#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiFlector.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiOpenWindows.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int OuterBevelWidth = 2;
constexpr int PanelBorderWidth = 5;
constexpr int ButtonGap = 8;
// The window's size while the sheet's full size is measured: larger than
// any frame around the cells.
constexpr int MeasuringSize = 4096;
constexpr int KeySpace = 32;
constexpr int KeyDoubleClick = 256;
// The cell that stands for a pick in the commit.
constexpr int PickLabel = Flex0;

const char* const kSentences[] = {"RMC", "GGA", "GLL", "GSA", "VTG"};

} // namespace

cuiFBitsR* cuiFBitsR::Newest() { return cuiOpenWindows<cuiFBitsR>::Newest(); }

std::string cuiFBitsR::HeaderText(int item, int lastItem, int itemKind)
{
    char text[16];
    switch (itemKind) {
    case KindHex:
        std::snprintf(text, sizeof text, "%X", unsigned(item));
        return text;
    case KindDecimalZero:
        return std::to_string(item == 10 ? 0 : item);
    case KindDigitsLetters:
        if (item >= 0 && item <= 9) return std::to_string(item);
        if (item == 17) return "Z";
        return std::string(1, char(item + 55));
    case KindLetters:
        return std::string(1, char(item + 64));
    case KindSentences:
        if (item >= 1 && item <= 5) return kSentences[item - 1];
        return std::to_string(item);
    case KindBitNumbers:
        return "B" + std::to_string(lastItem - item);
    default:
        return std::to_string(item);
    }
}

std::vector<std::string> cuiFBitsR::BuildOverlay(int firstItem, int lastItem, int itemKind)
{
    const int count = lastItem - firstItem + 1;
    std::string headers;
    for (int i = firstItem; i <= lastItem; ++i) headers += "|{($iChI)}" + HeaderText(i, lastItem, itemKind) + "|";
    std::string bits;
    for (int k = 1; k <= count; ++k) {
        char cell[64];
        std::snprintf(cell, sizeof cell, "|{($eWh)^(%%CL_FBits[%d])}9|", k);
        bits += cell;
        if (k < count) bits += "{($iQp)}";
    }
    return {
        "#GI_Sheet_FBitsR_Style",
        "(FixedCols=1)(FixedRows=1)",
        "#GI_Sheet_FBitsR_BasicCell",
        "{($Basic)(PopupMenu=GI_PMenu_NoItem)}",
        "#GI_Sheet_FBitsR_Cells",
        "",
        headers,
        "",
        bits,
        "",
        "",
        "#",
        "#CellModel_iChI",
        "^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
        "#CellModel_eWh",
        "S<_WHB",
        "#CellModel_iQp",
        "(%CT_Null.CL_Misc_QuarterPillar)",
        "#CellModel_Basic",
        "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(PopupMenu=GI_PMenu_Edit)",
        "#GI_PMenu_NoItem_BasicCell",
        "{($Basic)}",
        "#GI_PMenu_NoItem_Body",
        "+No item\t{(%CT_PopupMenu.CL_PMenu_NoItem)}",
        "#",
        "#GI_PMenu_Edit_BasicCell",
        "{($Basic)(%CT_PopupMenu.)}",
        "#GI_PMenu_Edit_Body",
        "+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}",
        "#",
        // The bits' columns keep no widths of their own.
        "#GI_CellWidthRegList",
        "#",
        "#End_Of_Ovl",
        "",
    };
}

cuiFBitsR::cuiFBitsR(const cmcCellCapsule& origin, cmcGTex* texts, uint32_t mask, int firstItem, int lastItem,
                     int itemKind, int markStyle, const std::string& sheetKey)
    : m_owner(origin.Owner), m_origin(std::make_unique<cmcCellCapsule>()), m_texts(texts), m_mask(mask),
      m_first(firstItem), m_last(std::max(firstItem, lastItem)), m_kind(itemKind), m_markStyle(markStyle)
{
    m_origin->Assign(origin);
    cuiOpenWindows<cuiFBitsR>::Add(this);
    Build(origin, sheetKey);
}

cuiFBitsR::~cuiFBitsR()
{
    m_events.Reset();
    cuiOpenWindows<cuiFBitsR>::Remove(this);
    m_sheet.reset();
}

void cuiFBitsR::Build(const cmcCellCapsule& origin, const std::string& sheetKey)
{
    m_window = new plat::Form(m_owner);
    m_window->SetBorderStyle(plat::bsNone);
    m_window->SetBorderIcons(plat::biSystemMenu);
    m_window->SetCaption(plat::ApplicationTitle());
    m_window->SetKeyPreview(true);

    auto* framePanel = new plat::Panel(*m_window);
    plat::Container& frame = *framePanel;
    framePanel->SetAlign(plat::alClient);
    framePanel->SetBevelOuter(plat::bvRaised);
    framePanel->SetBevelWidth(OuterBevelWidth);
    auto* buttonPanel = new plat::Panel(frame);
    buttonPanel->SetAlign(plat::alBottom);
    buttonPanel->SetBevelOuter(plat::bvNone);
    buttonPanel->SetBorderWidth(PanelBorderWidth);
    m_sheetPanel = new plat::Panel(frame);
    m_sheetPanel->SetAlign(plat::alClient);
    m_sheetPanel->SetBevelOuter(plat::bvNone);
    m_sheetPanel->SetBorderWidth(PanelBorderWidth);

    m_ok = new plat::Button(*buttonPanel);
    m_ok->SetCaption(g_GTex.GetText("GI_AppInd_Button_OkCancel", 0));
    m_ok->SetDefault(true);
    m_cancel = new plat::Button(*buttonPanel);
    m_cancel->SetCaption(g_GTex.GetText("GI_AppInd_Button_OkCancel", 1));
    m_cancel->SetCancel(true);
    buttonPanel->SetHeight(m_ok->Height() + 2 * PanelBorderWidth);

    cmcGTex* texts = m_texts;
    std::string key = sheetKey;
    if (key.empty()) {
        m_ownTexts = std::make_unique<cmcGTex>();
        m_ownTexts->OpenOverlayLines(BuildOverlay(m_first, m_last, m_kind));
        texts = m_ownTexts.get();
        key = TemplateKey;
    }
    m_sheet = std::make_unique<cuiSheet>(m_sheetPanel, &origin, PickLabel, 0, texts, key, origin.Images);
    m_sheet->SetCellHandler([this](cmcCellCapsule* capsule, int notify) { return Exec(capsule, notify); });
    m_sheet->Show();
    m_sheet->Grid()->SetScrollBars(plat::ssNone);

    // Measured on a window with room to spare around the cells.
    m_window->SetClientSize(MeasuringSize, MeasuringSize);
    const int buttons = m_ok->Width() + m_cancel->Width() + 2 * PanelBorderWidth + ButtonGap;
    const int width = std::max(m_sheet->FullWidth(), buttons) + 2 * OuterBevelWidth;
    const int height = m_window->ClientHeight() + m_sheet->FullHeight() - m_sheetPanel->Height();
    m_window->SetClientSize(width, height);
    m_cancel->SetBounds(buttonPanel->ClientWidth() - PanelBorderWidth - m_cancel->Width(), PanelBorderWidth,
                        m_cancel->Width(), m_cancel->Height());
    m_ok->SetBounds(m_cancel->Left() - ButtonGap - m_ok->Width(), PanelBorderWidth, m_ok->Width(), m_ok->Height());
    m_cancel->SetAnchors(plat::akRight | plat::akTop);
    m_ok->SetAnchors(plat::akRight | plat::akTop);
    m_ok->SetEnabled(MaskAllowed());
    PlacePopupAtCell(origin, *m_window);

    m_ok->OnClick = [this] { OnOkClick(); };
    m_cancel->OnClick = [this] { OnCancelClick(); };
    m_window->OnClose = [this] { OnFormClose(); };
    m_window->OnDestroy = [this] { OnFormDestroy(); };
    m_window->OnDeactivate = [this] { OnFormDeactivate(); };
    m_window->Show();
    if (cuiGrid* grid = m_sheet->Grid(); grid != nullptr && grid->Enabled()) grid->SetFocus();
    m_events = cmcEvSubscription(MemberEventHandler<&cuiFBitsR::OnEvent>(this));
}

int cuiFBitsR::SetItemCount() const
{
    int set = 0;
    for (int n = 1; n <= m_last - m_first + 1 && BitOfPosition(n) >= 0; ++n)
        if ((m_mask >> BitOfPosition(n)) & 1u) ++set;
    return set;
}

bool cuiFBitsR::MaskAllowed() const { return m_kind != KindSentences || SetItemCount() <= MostSentences; }

CellExecResult cuiFBitsR::Exec(cmcCellCapsule* capsule, int notify)
{
    m_origin->Parent = nullptr;
    const cmcCellObj* cell = capsule->Cell;
    if (cell == nullptr || cell->Label != CL_FBits) return m_engine.Exec(capsule, 0);

    const int bit = BitOfPosition(cell->Index);
    if (bit < 0 || bit > 31) return erNothing;
    bool value = (m_mask >> bit) & 1u;
    if (capsule->Key == KeySpace || capsule->Key == KeyDoubleClick) {
        value = !value;
        m_mask = value ? m_mask | (1u << bit) : m_mask & ~(1u << bit);
        if (m_kind == KindSentences) m_ok->SetEnabled(MaskAllowed());
        if (g_EvMan != nullptr) g_EvMan->Post(ev::RepaintLabelled, 0, 0);
    }

    capsule->Text.clear();
    if (value && capsule->Canvas != nullptr && capsule->CellRect != nullptr) {
        if (m_markStyle == MarkLetter) {
            capsule->Text = "o";
        } else {
            // A check mark in the font's colour, in a square of the cell.
            plat::Canvas& canvas = *capsule->Canvas;
            const plat::Rect& r = *capsule->CellRect;
            const int w = r.Width(), h = r.Height();
            const int d = std::min(w, h);
            const int ox = h < w ? int((w - h + 0.3 * h) / 2) : int(0.15 * w);
            const int oy = w < h ? int((h - w + 0.3 * w) / 2) : int(0.15 * h);
            static constexpr double kShape[6][2] = {{0, 0.4}, {0, 0.6}, {0.4, 1.0}, {1.0, 0.35}, {1.0, 0.15}, {0.4, 0.7}};
            std::vector<plat::Point> points;
            for (const auto& f : kShape)
                points.push_back({r.left + ox + int(f[0] * 0.7 * d), r.top + oy + int(f[1] * 0.7 * d)});
            const plat::Brush brush = canvas.GetBrush();
            const plat::Pen pen = canvas.GetPen();
            canvas.GetBrush() = plat::Brush{canvas.GetFont().color, plat::bsSolid};
            canvas.GetPen() = plat::Pen{canvas.GetFont().color, 1};
            canvas.Polygon(points);
            canvas.GetBrush() = brush;
            canvas.GetPen() = pen;
        }
    }
    // Too many sentences: the set ones show it.
    if (value && !MaskAllowed()) capsule->ErrorMark = true;
    if (notify != 0 && capsule->OnChange) capsule->CallOnChange(csSameLabelAndIndex);
    return erNothing;
}

void cuiFBitsR::CommitMask()
{
    if (m_committed) return;
    m_committed = true;
    cmcCellObj scratchCell;
    scratchCell.Label = PickLabel;
    cmcCellCapsule scratch;
    scratch.Cell = &scratchCell;
    cmcCellCapsule commit;
    commit.Assign(*m_origin);
    commit.Parent = &scratch;
    commit.Phase = cpPicked;
    commit.Key = 0;
    commit.EditText = std::to_string(m_mask);
    m_engine.Exec(&commit, 1);
    Release();
}

void cuiFBitsR::Release() { m_window->Release(); }

void cuiFBitsR::OnFormClose() { Release(); }

void cuiFBitsR::OnFormDestroy() { delete this; }

void cuiFBitsR::OnFormDeactivate()
{
    // A mask that OK would not take is discarded, never committed.
    if (!m_cancelled && MaskAllowed()) CommitMask();
    Release();
}

void cuiFBitsR::OnOkClick() { CommitMask(); }

void cuiFBitsR::OnCancelClick()
{
    m_cancelled = true;
    Release();
}

void cuiFBitsR::OnEvent(const dst_Event* event)
{
    const bool ownerCloses = event->IsClosingOf(m_owner);
    if (ownerCloses) {
        m_cancelled = true;
        Release();
    } else if (event->type == ev::ClosePopups) {
        OnFormDeactivate();
    }
}
