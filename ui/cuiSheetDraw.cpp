// Drawing one cell of a sheet on the screen, a printer page or a preview
// bitmap: background, rules, the text the cell engine renders, and the
// error and warning marks.
#include "ui/cuiSheet.h"

#include "core/TextFunctions.h"
#include "platform/base/Canvas.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr plat::Color PaperDarkGrey = plat::RGB(96, 96, 96);
constexpr plat::Color ScreenRuleGrey = plat::RGB(128, 128, 128);
// Images of the mark list.
constexpr int ErrorImage = 13;
constexpr int WarningImage = 12;

bool IsWhite(plat::Color c) { return c == plat::clWindow || c == plat::clWhite; }

plat::Color Blend(plat::Color window, plat::Color text, int windowWeight, int divisor)
{
    const auto mix = [&](int w, int t) { return (windowWeight * w + t + divisor / 2) / divisor; };
    return plat::RGB(mix(plat::RedOf(window), plat::RedOf(text)), mix(plat::GreenOf(window), plat::GreenOf(text)),
                     mix(plat::BlueOf(window), plat::BlueOf(text)));
}

std::vector<plat::Point> Offset(std::initializer_list<plat::Point> points, int x, int y)
{
    std::vector<plat::Point> out;
    for (plat::Point p : points) out.push_back({p.x + x, p.y + y});
    return out;
}

// A rectangle cut to the canvas's clip, when it has one.
plat::Rect WithinClip(plat::Rect r, const std::optional<plat::Rect>& clip)
{
    if (clip) {
        r.left = std::max(r.left, clip->left);
        r.top = std::max(r.top, clip->top);
        r.right = std::min(r.right, clip->right);
        r.bottom = std::min(r.bottom, clip->bottom);
    }
    return r;
}

// The rules of a cell: below it, and at its right edge unless the cell to its
// right continues its span.
void DrawRules(plat::Canvas& canvas, const cmcCellObj& cell, bool rightRule, bool paper, const plat::Rect& rect)
{
    plat::Brush& brush = canvas.GetBrush();
    brush.style = plat::bsSolid;
    brush.color = IsWhite(cell.Color) ? (paper ? plat::clBlack : ScreenRuleGrey) : plat::clWhite;
    if ((cell.FlagsA & cmcCellObj::LetterB) != 0) canvas.FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom});
    if (rightRule && cell.XQCode() == 1) canvas.FillRect({rect.right - 1, rect.top, rect.right, rect.bottom});
    if (rightRule && cell.XQCode() == 2)
        canvas.FillRect({rect.right - 1, rect.top + (rect.bottom - rect.top) * 7 / 10, rect.right, rect.bottom});
}

} // namespace

void cuiSheet::ComputeSelectionColors()
{
    m_lastWindow = plat::ColorToRGB(plat::clWindow);
    m_lastWindowText = plat::ColorToRGB(plat::clWindowText);
    m_currentLineColor = Blend(m_lastWindow, m_lastWindowText, 7, 8);
    m_unfocusedColor = Blend(m_lastWindow, m_lastWindowText, 3, 4);
}

void cuiSheet::UpdateSelectionColors()
{
    if (plat::ColorToRGB(plat::clWindow) != m_lastWindow || plat::ColorToRGB(plat::clWindowText) != m_lastWindowText)
        ComputeSelectionColors();
}

void cuiSheet::ApplyCellFont(const cmcCellObj& cell, plat::Font& font) const
{
    const plat::Font* source = cell.Font ? cell.Font.get() : (m_basicCell ? m_basicCell->Font.get() : nullptr);
    AssignFont(&font, source);
}

void cuiSheet::DrawCell(int col, int row, const plat::Rect& rect)
{
    if (m_busy || !HasSlots() || m_grid->ColWidths(col) < 1 || m_grid->RowHeights(row) < 1) return;
    const bool paper = m_printerCanvas != nullptr;
    plat::Canvas& canvas = paper ? *MeasureCanvas() : m_grid->GetCanvas();
    const bool focused = m_grid->Focused();
    const plat::Brush savedBrush = canvas.GetBrush();
    UpdateSelectionColors();
    // Everything of the cell stays inside it: the text of a span is drawn
    // by each of its cells, each its own part.
    const std::optional<plat::Rect> savedClip = canvas.ClipRect();
    canvas.SetClipRect(WithinClip(rect, savedClip));

    const bool rightRule = !(col + 1 < m_colCount && (CellAt(col + 1, row).FlagsA & cmcCellObj::LetterPlus) != 0);
    // The text of a span is laid out over its cells as they stand on the
    // screen: columns scrolled away behind the fixed ones take no room, so
    // a span that begins in a fixed column runs on in the first columns in
    // view, and one whose first cell is scrolled away starts at its first
    // cell in view instead of showing the end of its text beside the fixed
    // columns. Paper shows the columns of its page.
    const auto inView = [&](int k) {
        if (paper)
            return m_paperColumn.empty() || (size_t(k) < m_paperColumn.size() && m_paperColumn[size_t(k)]);
        return k < m_grid->FixedCols() || k >= m_grid->LeftCol();
    };
    plat::Rect text = rect;
    bool partScrolledAway = false;
    for (int k = col + 1; k < m_colCount && (CellAt(k, row).FlagsA & cmcCellObj::LetterPlus) != 0; ++k) {
        if (inView(k)) text.right += m_grid->ColWidths(k);
        else if (m_grid->ColWidths(k) > 0) partScrolledAway = true;
    }
    int drawCol = col;
    while (drawCol > 0 && (CellAt(drawCol, row).FlagsA & cmcCellObj::LetterPlus) != 0) {
        --drawCol;
        if (inView(drawCol)) text.left -= m_grid->ColWidths(drawCol);
        else if (m_grid->ColWidths(drawCol) > 0) partScrolledAway = true;
    }
    cmcCellObj& cell = CellAt(drawCol, row);

    if (paper) {
        // On paper a span is drawn once, by its first cell on the page,
        // background and text over its whole width there: parts drawn apart
        // meet in a seam that a viewer shows as a light line through the
        // text. The other cells of the span add only their rules.
        int first = drawCol;
        while (first < col && (!inView(first) || m_grid->ColWidths(first) < 1)) ++first;
        if (first != col) {
            DrawRules(canvas, cell, rightRule, paper, rect);
            canvas.GetBrush() = savedBrush;
            canvas.SetClipRect(savedClip);
            return;
        }
        canvas.SetClipRect(WithinClip(text, savedClip));
    }

    bool selected = IsSlotSelected(col, row);
    if (!selected && (cell.FlagsB & cmcCellObj::LetterT) != 0 && row == m_grid->Row()) {
        // A tail is drawn selected together with the cell it belongs to.
        int owner = col;
        selected = FindSelectableLeft(owner, row) && owner == m_grid->Col();
    }
    std::string shown = cell.GetText();

    // Background.
    bool darkOnPaper = false;
    bool highlighted = false;
    bool unfocusedSelection = false;
    plat::Brush& brush = canvas.GetBrush();
    brush.style = plat::bsSolid;
    if (paper) {
        if (!IsWhite(cell.Color)) {
            darkOnPaper = true;
            brush.color = PaperDarkGrey;
            canvas.FillRect(text);
        }
    } else {
        const bool editing = m_editor != nullptr && m_editor->Visible();
        if (selected && !editing) {
            highlighted = focused || IsPopup();
            unfocusedSelection = !highlighted;
            brush.color = highlighted ? plat::clHighlight : m_unfocusedColor;
        } else if ((m_options & OptColorSelectLine) != 0 && row == m_grid->Row() && col >= m_grid->FixedCols() &&
                   !IsPopup()) {
            brush.color = m_currentLineColor;
        } else {
            brush.color = cell.Color;
        }
        canvas.FillRect(rect);
    }

    // Rules.
    DrawRules(canvas, cell, rightRule, paper, rect);

    // Font and text.
    plat::Font& font = canvas.GetFont();
    ApplyCellFont(cell, font);
    if (!paper && highlighted) font.color = plat::clHightlightText;
    if (cell.Label != CL_NoLabel) {
        m_drawCapsule.Reset();
        m_drawCapsule.Parent = m_origin.get();
        m_drawCapsule.Cell = &cell;
        m_drawCapsule.Canvas = &canvas;
        m_drawRect = text;
        m_drawCapsule.CellRect = &m_drawRect;
        m_drawCapsule.Focused = selected;
        m_drawCapsule.Printing = paper;
        RunHandler(&m_drawCapsule, 0);
        shown = m_drawCapsule.Text;
    }
    if (paper) {
        font.color = darkOnPaper ? plat::clWhite : plat::clBlack;
    } else if (unfocusedSelection) {
        const plat::Color c = font.color;
        if (c == plat::clBtnFace || c == m_unfocusedColor || c == plat::clSilver || c == plat::clGrayText)
            font.color = plat::clWindow;
    }

    // A line break that ends the text ends its last line: it starts no empty
    // line below it (bit-field texts end in one).
    if (!shown.empty() && shown.back() == '\n') shown.pop_back();
    const double s = paper ? m_scale : 1.0;
    const plat::Size extent = MultiLineTextExtent(canvas, shown);
    int y = 0;
    switch (cell.VertPlacement()) {
    case 1: y = text.top + (text.bottom + 1 - text.top - extent.cy) / 2; break;
    case 2: y = static_cast<int>(text.top + (text.bottom + 1 - text.top - extent.cy) - s - 1 + 0.5); break;
    default: y = static_cast<int>(text.top + s + 0.5); break;
    }
    brush.style = plat::bsClear;
    // A span scrolled sideways so far that the part of it in view cannot
    // hold its whole text shows no text until more of it is in view: a cut
    // heading ("Scra" for "Scrambler") reads as another word.
    if (!paper && partScrolledAway && extent.cx + 8 > text.Width()) {
        shown.clear();
        canvas.MoveTo(text.left, y);
    }
    std::string_view rest = shown;
    for (;;) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        const plat::Size lineExtent = canvas.TextExtent(line);
        const int w = lineExtent.cx;
        int x = 0;
        switch (cell.HorzPlacement()) {
        case 1: x = text.left + (text.right + 1 - text.left - w) / 2; break;
        case 2: x = static_cast<int>(text.left + (text.right + 1 - text.left - w) - 4 * s + 0.5); break;
        default: x = static_cast<int>(text.left + 4 * s + 0.5); break;
        }
        x = std::max(x, text.left);
        if (text.left + w + 1 < text.right) {
            canvas.TextOut(x, y, line);
        } else {
            canvas.TextRect(text, x, y, line);
            canvas.MoveTo(text.right, y);
        }
        y += lineExtent.cy;
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }

    // Marks.
    if (m_images != nullptr && (m_drawCapsule.ErrorMark || m_drawCapsule.WarningMark)) {
        const int m = paper ? rect.Height() / 2 : m_images->Width();
        const int f = m / 8;
        int place = m_drawCapsule.MarkPlace;
        if (place == mpByPlacement) place = cell.HorzPlacement() == 2 ? mpLeftEdge : mpAfterText;
        int x = rect.left + f;
        if (place != mpLeftEdge) {
            const int x0 = rect.right - m - 1;
            const int penX = canvas.PenPos().x;
            x = place == mpAfterText && penX < x0 ? penX : std::max(x0, rect.left);
        }
        if (!paper) {
            canvas.Draw(x, rect.bottom - m_images->Height() - 1, *m_images,
                        m_drawCapsule.ErrorMark ? ErrorImage : WarningImage);
        } else {
            const int top = rect.bottom - m - f;
            const int h2 = m / 2;
            const int i = m - 1;
            plat::Pen& pen = canvas.GetPen();
            pen.color = plat::clBlack;
            pen.width = 1;
            brush.style = plat::bsSolid;
            if (m_drawCapsule.ErrorMark) {
                brush.color = plat::clBlack;
                canvas.Polygon(Offset({{f, 0}, {h2, h2 - f}, {i - f, 0}, {i, f}, {h2 + f, h2}, {i, i - f},
                                       {i - f, i}, {h2, h2 + f}, {f, i}, {0, i - f}, {h2 - f, h2}, {0, f}},
                                      x, top));
            } else {
                brush.color = plat::clWhite;
                pen.width = m / 16 + 1;
                canvas.Polygon(Offset({{h2, 0}, {i, i}, {0, i}}, x, top));
                pen.width = 1;
                brush.color = plat::clBlack;
                canvas.Polygon(Offset({{h2 - f, m / 3}, {h2 + f, m / 3}, {h2 + m / 10, 2 * m / 3}, {h2 - m / 10, 2 * m / 3}},
                                      x, top));
                canvas.Polygon(Offset({{h2 - m / 10, 3 * m / 4},
                                       {h2 + m / 10, 3 * m / 4},
                                       {h2 + m / 10, 3 * m / 4 + m / 6},
                                       {h2 - m / 10, 3 * m / 4 + m / 6}},
                                      x, top));
            }
        }
    }
    m_drawCapsule.ErrorMark = false;
    m_drawCapsule.WarningMark = false;

    canvas.GetBrush() = savedBrush;
    canvas.SetClipRect(savedClip);
    if (!paper) NotePainted(col, row);
    if (col + 1 < m_colCount && (CellAt(col + 1, row).FlagsB & cmcCellObj::LetterT) != 0 && !paper)
        InvalidateTail(col + 1, row);
}
