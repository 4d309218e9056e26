// Column widths: stored per sheet in the settings, restored on screen and
// for printing, kept within limits, fitted to the widest text.
#include "ui/cuiSheet.h"

#include "core/CellNames.h"
#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "model/indEnviron.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "ui/SplitSheetSpec.h"
#include "ui/cuiGrid.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr const char* WidthListKey = "GI_CellWidthRegList";
constexpr int MinColumnWidth = 10;
constexpr int MaxColumnWidth = 650;
constexpr int DefaultFontSizePercentage = 100;
constexpr int DefaultPrinterFontSize = 10;

// The "key:sub" lines of the width list, up to a '#' line, an empty line or
// a line without ':'.
std::vector<std::pair<std::string, std::string>> WidthList(cmcGTex& texts)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (int n = 0;; ++n) {
        const std::string line = texts.GetText(WidthListKey, n);
        const size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos) break;
        entries.emplace_back(line.substr(0, colon), line.substr(colon + 1));
    }
    return entries;
}

} // namespace

std::string cuiSheet::ColumnWidthPath(const std::string& sub)
{
    return std::string(indEnviron::SettingsKeyName) + "\\Display\\" + sub + "\\colwidth";
}

std::string cuiSheet::ColumnWidthKey(const std::string& key)
{
    for (const auto& [sheetKey, sub] : WidthList(*m_texts))
        if (sheetKey == key) return sub;
    return "";
}

int cuiSheet::FirstNonFixedRow() const { return std::min(m_fixedRows, m_grid->RowCount() - 1); }

bool cuiSheet::IsStoredColumn(int col, int row)
{
    return row >= 0 && (CellAt(col, row).FlagsB & cmcCellObj::LetterS) != 0;
}

void cuiSheet::LoadColumnWidths()
{
    m_loadingWidths = true;
    const std::string sub = ColumnWidthKey(SplitSheetSpec(m_spec).Key);
    if (sub.empty() || g_Environ == nullptr) {
        m_loadingWidths = false;
        return;
    }
    const std::string path = ColumnWidthPath(sub);
    const int row = FirstNonFixedRow();
    if (m_printerCanvas == nullptr) {
        for (int col = 0; col < m_colCount; ++col) {
            if (!IsStoredColumn(col, row)) continue;
            const int32_t value = g_Environ->ReadInteger(path, std::to_string(col));
            if (value != -1) m_grid->SetColWidths(col, value);
        }
        // Widths from the settings file keep to the limits of a width the
        // user drags.
        ClampColumnWidths(MaxColumnWidth);
    } else {
        const int percentage = g_Environ->FontSizePercentage > 0 ? g_Environ->FontSizePercentage : DefaultFontSizePercentage;
        const int p = std::max(1, percentage * 16 / 100);
        const int fontSize = g_Environ->FontSizePrinter > 0 ? g_Environ->FontSizePrinter : DefaultPrinterFontSize;
        const plat::Canvas& canvas = *MeasureCanvas();
        const double factor = fontSize * (static_cast<double>(canvas.GetFont().pixelsPerInch) /
                                          plat::GetScreenPixelsPerInch() * 16.0 / p) * 0.1;
        for (int col = 0; col < m_colCount; ++col) {
            if (!IsStoredColumn(col, row)) continue;
            const int32_t value = g_Environ->ReadInteger(path, std::to_string(col));
            if (value == -1) continue;
            const int width = static_cast<int>(value * factor + 0.5);
            m_grid->SetColWidths(col, std::min(m_grid->ColWidths(col), width));
        }
    }
    m_loadingWidths = false;
}

void cuiSheet::SaveColumnWidths()
{
    if (m_printerCanvas != nullptr || g_Environ == nullptr || !HasSlots()) return;
    const std::string sub = ColumnWidthKey(SplitSheetSpec(m_spec).Key);
    if (sub.empty()) return;
    const std::string path = ColumnWidthPath(sub);
    const int row = FirstNonFixedRow();
    for (int col = 0; col < m_colCount; ++col)
        if (IsStoredColumn(col, row)) g_Environ->WriteInteger(path, m_grid->ColWidths(col), std::to_string(col));
}

void cuiSheet::DeleteColumnWidths()
{
    if (g_Environ == nullptr) return;
    const std::string settingsKey = indEnviron::SettingsKeyName;
    for (const auto& entry : WidthList(*m_texts))
        g_Environ->DeleteKey(settingsKey, "Display\\" + entry.second + "\\colwidth");
}

void cuiSheet::ClampColumnWidths(int limit)
{
    const int row = FirstNonFixedRow();
    for (int col = 0; col < m_colCount; ++col) {
        if (!IsStoredColumn(col, row)) continue;
        const int width = m_grid->ColWidths(col);
        const int clamped = std::min(std::max(width, MinColumnWidth), limit);
        if (clamped != width) m_grid->SetColWidths(col, clamped);
    }
}

void cuiSheet::OnGridColWidthsChanged()
{
    // Printed widths are in printer pixels: the screen's limits do not apply.
    if (m_printerCanvas != nullptr || !HasSlots()) return;
    int limit = MaxColumnWidth;
    if (!m_loadingWidths) {
        limit = m_grid->ClientWidth();
        for (int col = 0; col < m_grid->FixedCols(); ++col) limit -= m_grid->ColWidths(col);
        limit = std::clamp(limit, MinColumnWidth, MaxColumnWidth);
    }
    ClampColumnWidths(limit);
}

void cuiSheet::AutoFitColumn(int col)
{
    if (col < 0 || col >= m_colCount) return;
    m_grid->SetColWidths(col, WidestTextWidth(col));
}

void cuiSheet::WidenColumnsToTexts()
{
    for (int col = 0; col < m_colCount; ++col) {
        const int width = WidestTextWidth(col);
        if (width > m_grid->ColWidths(col)) m_grid->SetColWidths(col, width);
    }
}

int cuiSheet::WidestTextWidth(int col)
{
    plat::Canvas& canvas = *(m_printerCanvas != nullptr ? MeasureCanvas() : &m_grid->GetCanvas());
    const int margin = static_cast<int>(8 * m_scale + 0.5);
    int width = 0;
    const int fixedRows = m_grid->FixedRows();
    for (int row = 0; row < m_grid->RowCount(); ++row) {
        const cmcCellObj& cell = CellAt(col, row);
        std::string text;
        if (row < fixedRows) {
            if (col + 1 < m_colCount && (CellAt(col + 1, row).FlagsA & cmcCellObj::LetterPlus) != 0) continue;
            text = cell.GetText();
        } else {
            text = RenderedText(col, row);
        }
        ApplyCellFont(cell, canvas.GetFont());
        const int textWidth = text.empty() ? 0 : MultiLineTextExtent(canvas, text).cx;
        width = std::max(width, textWidth + margin);
    }
    return width;
}

const std::vector<cuiSheet::SpanText>& cuiSheet::SpanTexts()
{
    if (m_spanTextsKnown) return m_spanTexts;
    m_spanTexts.clear();
    plat::Canvas& canvas = *MeasureCanvas();
    const int margin = static_cast<int>(8 * m_scale + 0.5);
    for (int row = 0; row < m_rowCount; ++row)
        for (int col = 0; col + 1 < m_colCount; ++col) {
            if ((CellAt(col + 1, row).FlagsA & cmcCellObj::LetterPlus) == 0 ||
                (CellAt(col, row).FlagsA & cmcCellObj::LetterPlus) != 0)
                continue;
            int last = col + 1;
            while (last + 1 < m_colCount && (CellAt(last + 1, row).FlagsA & cmcCellObj::LetterPlus) != 0) ++last;
            const cmcCellObj& cell = CellAt(col, row);
            std::string text = cell.Label >= CL_NoLabel ? cell.GetText() : RenderedText(col, row);
            if (!text.empty() && text.back() == '\n') text.pop_back();
            if (text.empty()) continue;
            ApplyCellFont(cell, canvas.GetFont());
            m_spanTexts.push_back({row, col, last, MultiLineTextExtent(canvas, text).cx + margin});
        }
    m_spanTextsKnown = true;
    return m_spanTexts;
}

std::vector<int> cuiSheet::ShownWidths(const std::vector<int>& cols, const std::vector<int>& rows)
{
    std::vector<int> widths;
    widths.reserve(cols.size());
    for (int col : cols) widths.push_back(m_grid->ColWidths(col));
    std::vector<bool> rowShown;
    if (!rows.empty()) {
        rowShown.assign(static_cast<size_t>(m_rowCount), false);
        for (int row : rows)
            if (row >= 0 && row < m_rowCount) rowShown[static_cast<size_t>(row)] = true;
    }
    for (const SpanText& span : SpanTexts()) {
        if (!rowShown.empty() && !rowShown[static_cast<size_t>(span.Row)]) continue;
        if (m_grid->RowHeights(span.Row) < 1) continue;
        const auto inSpan = [&](size_t i) { return cols[i] >= span.First && cols[i] <= span.Last; };
        for (size_t i = 0; i < cols.size();) {
            if (!inSpan(i)) {
                ++i;
                continue;
            }
            // One part of the span: the columns of it shown side by side.
            int64_t share = 0;
            size_t lastShown = cols.size();
            for (; i < cols.size() && inSpan(i); ++i) {
                share += widths[i];
                if (widths[i] > 0) lastShown = i;
            }
            if (lastShown < cols.size() && share < span.Width)
                widths[lastShown] += static_cast<int>(span.Width - share);
        }
    }
    return widths;
}

void cuiSheet::WidenSpansToTexts()
{
    std::vector<int> cols;
    for (int col = 0; col < m_colCount; ++col) cols.push_back(col);
    const std::vector<int> widths = ShownWidths(cols, {});
    for (int col = 0; col < m_colCount; ++col)
        if (const int width = widths[static_cast<size_t>(col)]; width != m_grid->ColWidths(col))
            m_grid->SetColWidths(col, width);
}
