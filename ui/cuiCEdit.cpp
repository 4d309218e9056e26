#include "ui/cuiCEdit.h"

#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "model/TForm1.h"
#include "model/indMain.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/ToolBar.h"
#include "ui/cuiFlector.h"
#include "ui/cuiToolBar.h"
#include "ui/cuiOpenWindows.h"

#include <algorithm>

namespace {

constexpr int PanelBorderWidth = 5;
constexpr int ButtonWidth = 84;
constexpr int ButtonGap = 4;
// The matrix starts this far in from the paint box's corner (inside its
// frame).
constexpr int MatrixMargin = 2;
// Room around the preview's squares for its frame.
constexpr int PreviewMargin = 8;
constexpr plat::Color OutsideGrey = 0x808080;
// The cell that stands for a pick in the commit.
constexpr int PickLabel = Flex0;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int Mod(int a, int b) { return ((a % b) + b) % b; }

} // namespace

cuiCEdit* cuiCEdit::Newest() { return cuiOpenWindows<cuiCEdit>::Newest(); }

cuiCEdit::cuiCEdit(const cmcCellCapsule& origin, int dotSize, int across, int down, const std::vector<uint8_t>& dots)
    : m_owner(origin.Owner), m_origin(std::make_unique<cmcCellCapsule>()), m_dotSize(std::max(1, dotSize)),
      m_across(std::max(1, across)), m_down(std::max(1, down)), m_wideSet(UsesCEditCharSet()),
      m_layoutFlag(LcdLayoutFlag())
{
    m_origin->Assign(origin);
    const size_t count = size_t(m_across * m_down);
    m_shown.assign(count, 0);
    for (size_t i = 0; i < count && i < dots.size(); ++i) m_shown[i] = dots[i] != 0 ? 1 : 0;
    m_pattern = m_shown;
    m_layer.assign(count, 0);
    cuiOpenWindows<cuiCEdit>::Add(this);
    Build(origin);
}

cuiCEdit::~cuiCEdit()
{
    m_events.Reset();
    cuiOpenWindows<cuiCEdit>::Remove(this);
    m_toolBar.reset();
    if (m_mainWindow != nullptr) {
        m_mainWindow->SetEnabled(true);
        // The focus goes back to the cell's sheet while it is there.
        if (m_owner != nullptr)
            m_owner->SetFocus();
        else
            m_mainWindow->SetFocus();
    }
}

void cuiCEdit::Build(const cmcCellCapsule& origin)
{
    m_window = new plat::Form(m_owner);
    m_window->SetBorderStyle(plat::bsDialog);
    m_window->SetBorderIcons(plat::biSystemMenu);
    m_window->SetCaption(g_GTex.GetText("GI_AppInd_CharacterEditorCaption", 0));
    m_window->SetKeyPreview(true);

    m_rightPanel = new plat::Panel(*m_window);
    m_rightPanel->SetAlign(plat::alRight);
    m_rightPanel->SetBevelOuter(plat::bvNone);
    m_rightPanel->SetBorderWidth(PanelBorderWidth);
    plat::Container& right = *m_rightPanel;

    // The tools, each a button of one group that stays down; the pen first.
    plat::ImageList* images = g_Main != nullptr ? g_Main->ToolBarImages() : nullptr;
    if (images == nullptr) {
        m_ownImages = std::make_unique<plat::ImageList>();
        for (const char* name : TForm1::ToolBarImageNames) m_ownImages->AddArtwork(name);
        images = m_ownImages.get();
    }
    m_toolBar = std::make_unique<cuiToolBar>(&right, &g_GTex, "GI_ToolBar_CEdit", images);
    m_toolBar->Build([this](plat::ToolButton& sender) { OnToolClick(sender); });
    plat::ToolBar& bar = *m_toolBar->Bar();
    bar.SetIndent(0);
    int barWidth = 0;
    bool first = true;
    for (int i = 0; i < bar.ButtonCount(); ++i) {
        plat::ToolButton& button = *bar.Buttons(i);
        if (button.Style() == plat::tbsSeparator) {
            barWidth += button.Width();
            continue;
        }
        barWidth += bar.ButtonWidth();
        button.SetStyle(plat::tbsCheck);
        button.SetGrouped(true);
        if (first) button.SetDown(true);
        first = false;
    }

    auto* buttonPanel = new plat::Panel(right);
    buttonPanel->SetAlign(plat::alBottom);
    buttonPanel->SetBevelOuter(plat::bvNone);
    m_ok = new plat::Button(*buttonPanel);
    m_ok->SetCaption(g_GTex.GetText("GI_AppInd_Button_OkCancel", 0));
    m_ok->SetDefault(true);
    m_cancel = new plat::Button(*buttonPanel);
    m_cancel->SetCaption(g_GTex.GetText("GI_AppInd_Button_OkCancel", 1));
    m_cancel->SetCancel(true);
    const int buttonHeight = m_ok->Height();
    buttonPanel->SetHeight(2 * buttonHeight + ButtonGap);
    const int rightWidth = std::max(barWidth, ButtonWidth) + 2 * PanelBorderWidth;
    m_rightPanel->SetWidth(rightWidth);
    m_ok->SetBounds(0, 0, ButtonWidth, buttonHeight);
    m_cancel->SetBounds(0, buttonHeight + ButtonGap, ButtonWidth, buttonHeight);

    m_preview = new plat::PaintBox(right);
    m_preview->SetAlign(plat::alClient);

    m_matrixPanel = new plat::Panel(*m_window);
    m_matrixPanel->SetAlign(plat::alClient);
    m_matrixPanel->SetBevelOuter(plat::bvNone);
    m_matrixPanel->SetBorderWidth(PanelBorderWidth);
    m_matrix = new plat::PaintBox(*m_matrixPanel);
    m_matrix->SetAlign(plat::alClient);

    // Room for every dot, and beside it for the tools, the preview and the
    // buttons.
    const plat::Rect last = DotRect(m_across - 1, m_down - 1);
    const int matrixWidth = last.right + 2 * MatrixMargin + 2 * PanelBorderWidth;
    const int matrixHeight = last.bottom + 2 * MatrixMargin + 2 * PanelBorderWidth;
    const int rightHeight = bar.Height() + m_down * PreviewDot + 2 * PreviewMargin + buttonPanel->Height() +
                            2 * PanelBorderWidth;
    m_window->SetClientSize(rightWidth + matrixWidth, std::max(matrixHeight, rightHeight));
    PlacePopupAtCell(origin, *m_window);

    m_matrix->OnPaint = [this](plat::Canvas& canvas) { OnMatrixPaint(canvas); };
    m_matrix->OnMouseDown = [this](plat::MouseButton b, plat::ShiftState s, int x, int y) {
        OnMatrixMouseDown(b, s, x, y);
    };
    m_matrix->OnMouseMove = [this](plat::ShiftState s, int x, int y) { OnMatrixMouseMove(s, x, y); };
    m_matrix->OnMouseUp = [this](plat::MouseButton b, plat::ShiftState s, int x, int y) {
        OnMatrixMouseUp(b, s, x, y);
    };
    m_preview->OnPaint = [this](plat::Canvas& canvas) { OnPreviewPaint(canvas); };
    m_ok->OnClick = [this] { OnOkClick(); };
    m_cancel->OnClick = [this] { OnCancelClick(); };
    m_window->OnClose = [this] { OnFormClose(); };
    m_window->OnDestroy = [this] { OnFormDestroy(); };

    // The main window waits while the character is drawn.
    m_mainWindow = g_Main != nullptr && g_Main->MainForm() != nullptr ? g_Main->MainForm()
                   : m_owner != nullptr                              ? m_owner->ParentForm()
                                                                     : nullptr;
    if (m_mainWindow != nullptr) m_mainWindow->SetEnabled(false);
    m_window->Show();
    m_events = cmcEvSubscription(MemberEventHandler<&cuiCEdit::OnEvent>(this));
}

void cuiCEdit::OnEvent(const dst_Event* event)
{
    // The sheet of the cell goes (and the editor with it): nothing may
    // reach its controls any more.
    if (event->IsClosingOf(m_owner)) m_owner = nullptr;
}

plat::Rect cuiCEdit::DotRect(int column, int row) const
{
    const int left = column * (m_dotSize + 1) + MatrixMargin;
    const int top = row * (m_dotSize + 1) + MatrixMargin;
    return {left, top, left + m_dotSize, top + m_dotSize};
}

plat::Rect cuiCEdit::PreviewDotRect(int column, int row) const
{
    const int left = (m_preview->Width() - m_across * PreviewDot) / 2 + column * PreviewDot;
    const int top = (m_preview->Height() - m_down * PreviewDot) / 2 + row * PreviewDot;
    return {left, top, left + PreviewDot, top + PreviewDot};
}

bool cuiCEdit::DotAtPoint(int x, int y, int& column, int& row) const
{
    // A point left of or above the matrix lies outside it, not in column
    // or row 0.
    column = FloorDiv(x - MatrixMargin, m_dotSize + 1);
    row = FloorDiv(y - MatrixMargin, m_dotSize + 1);
    return !Inside(column, row);
}

bool cuiCEdit::OutsideDisplay(int column, int row) const
{
    if (m_wideSet) {
        if (column >= m_across - 1) return true;
        return m_layoutFlag && (row == 0 || row >= m_down - 1);
    }
    if (m_layoutFlag) return row == 0;
    return row <= 1 || row >= m_down - 3;
}

void cuiCEdit::SetDot(int column, int row, bool on)
{
    if (!Inside(column, row)) return;
    m_shown[At(column, row)] = on ? 1 : 0;
    m_matrix->Invalidate();
    m_preview->Invalidate();
}

void cuiCEdit::UpdateDisplay(bool repaintAll)
{
    for (int row = 0; row < m_down; ++row)
        for (int column = 0; column < m_across; ++column) {
            const size_t i = At(column, row);
            const bool pattern = m_pattern[i] != 0, layer = m_layer[i] != 0;
            const bool value = m_dragMode == 1 ? pattern && !layer : m_dragMode == 2 ? layer : pattern || layer;
            if (repaintAll || value != (m_shown[i] != 0)) SetDot(column, row, value);
        }
}

void cuiCEdit::MergeLayer()
{
    UpdateDisplay(false);
    m_pattern = m_shown;
    std::fill(m_layer.begin(), m_layer.end(), 0);
}

void cuiCEdit::OnMatrixPaint(plat::Canvas& canvas)
{
    canvas.FillRect({0, 0, m_matrix->Width(), m_matrix->Height()});
    const plat::Rect last = DotRect(m_across - 1, m_down - 1);
    canvas.GetBrush() = plat::Brush{plat::clBlack, plat::bsSolid};
    canvas.FrameRect({0, 0, last.right + 2, last.bottom + 2});
    for (int row = 0; row < m_down; ++row)
        for (int column = 0; column < m_across; ++column) {
            plat::Color color = plat::clWhite;
            if (m_shown[At(column, row)] != 0)
                color = plat::clBlack;
            else if (OutsideDisplay(column, row))
                color = OutsideGrey;
            canvas.GetBrush() = plat::Brush{color, plat::bsSolid};
            canvas.FillRect(DotRect(column, row));
        }
}

void cuiCEdit::OnPreviewPaint(plat::Canvas& canvas)
{
    canvas.FillRect({0, 0, m_preview->Width(), m_preview->Height()});
    const plat::Rect first = PreviewDotRect(0, 0);
    const plat::Rect last = PreviewDotRect(m_across - 1, m_down - 1);
    canvas.GetBrush() = plat::Brush{plat::clBlack, plat::bsSolid};
    canvas.FrameRect({first.left - 2, first.top - 2, last.right + 2, last.bottom + 2});
    for (int row = 0; row < m_down; ++row)
        for (int column = 0; column < m_across; ++column) {
            canvas.GetBrush() = plat::Brush{m_shown[At(column, row)] != 0 ? plat::clBlack : plat::clWhite, plat::bsSolid};
            canvas.FillRect(PreviewDotRect(column, row));
        }
}

void cuiCEdit::TakeButtons(plat::ShiftState shift)
{
    if (!shift.Has(plat::ssLeft)) m_buttons &= uint8_t(~1u);
    if (!shift.Has(plat::ssRight)) m_buttons &= uint8_t(~2u);
}

void cuiCEdit::OnMatrixMouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y)
{
    m_buttons = 0;
    int column = 0, row = 0;
    if (DotAtPoint(x, y, column, row)) return;
    if (button == plat::mbLeft) m_buttons |= 1;
    if (button == plat::mbRight) m_buttons |= 2;
    MergeLayer();
    m_startColumn = column;
    m_startRow = row;
    // The press counts as held for the move it makes.
    unsigned held = shift.bits;
    if (button == plat::mbLeft) held |= plat::ssLeft;
    if (button == plat::mbRight) held |= plat::ssRight;
    OnMatrixMouseMove(plat::ShiftState(held), x, y);
}

void cuiCEdit::OnMatrixMouseMove(plat::ShiftState shift, int x, int y)
{
    TakeButtons(shift);
    if (m_buttons == 0) return;
    const bool setting = (m_buttons & 1) != 0;
    int column = 0, row = 0;
    const bool outside = DotAtPoint(x, y, column, row);
    std::fill(m_layer.begin(), m_layer.end(), 0);
    switch (m_tool) {
    case ToolPen:
        m_dragMode = 0;
        if (!outside) m_pattern[At(column, row)] = setting ? 1 : 0;
        break;
    case ToolRectangle: {
        m_dragMode = setting ? 0 : 1;
        column = std::clamp(column, 0, m_across - 1);
        row = std::clamp(row, 0, m_down - 1);
        for (int r = std::min(row, m_startRow); r <= std::max(row, m_startRow); ++r)
            for (int c = std::min(column, m_startColumn); c <= std::max(column, m_startColumn); ++c)
                m_layer[At(c, r)] = 1;
        break;
    }
    case ToolShift: {
        m_dragMode = 2;
        const int dx = Mod(column, m_across), dy = Mod(row, m_down);
        for (int i = 0; i < m_down; ++i)
            for (int j = 0; j < m_across; ++j)
                m_layer[At(j, i)] =
                    m_pattern[At(Mod(m_startColumn + j - dx, m_across), Mod(m_startRow + i - dy, m_down))];
        break;
    }
    default:
        break;
    }
    UpdateDisplay(false);
}

void cuiCEdit::OnMatrixMouseUp(plat::MouseButton, plat::ShiftState shift, int, int)
{
    TakeButtons(shift);
    MergeLayer();
    m_dragMode = 0;
}

void cuiCEdit::OnToolClick(plat::ToolButton& sender)
{
    switch (sender.ImageIndex()) {
    case ImagePen: m_tool = ToolPen; break;
    case ImageRectangle: m_tool = ToolRectangle; break;
    case ImageShift: m_tool = ToolShift; break;
    case ImageClear:
        // A command, not a tool: it does not stay pressed.
        sender.SetDown(false);
        if (ConfirmOkCancel("GI_AppMess_Confirm_CEdit_Clear") == plat::IDOK) {
            std::fill(m_pattern.begin(), m_pattern.end(), 0);
            UpdateDisplay(true);
        }
        break;
    default:
        break;
    }
}

void cuiCEdit::OnOkClick()
{
    if (m_closing) return;
    MergeLayer();
    cmcCellObj scratchCell;
    scratchCell.Label = PickLabel;
    cmcCellCapsule scratch;
    scratch.Cell = &scratchCell;
    cmcCellCapsule commit;
    commit.Assign(*m_origin);
    commit.Parent = &scratch;
    commit.Phase = cpPicked;
    commit.Key = 0;
    std::string digits;
    for (uint8_t dot : m_shown) digits.push_back(dot != 0 ? '1' : '0');
    commit.EditText = digits;
    m_engine.Exec(&commit, 1);
    Close();
}

void cuiCEdit::OnCancelClick() { Close(); }

void cuiCEdit::Close()
{
    m_closing = true;
    m_window->Release();
}

void cuiCEdit::OnFormClose() { Close(); }

void cuiCEdit::OnFormDestroy() { delete this; }
