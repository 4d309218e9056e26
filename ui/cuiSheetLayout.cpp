// Reading a sheet's layout: style items, directives with their conditions
// and loops, the basic cell, the rows and the cells with their sizes.
#include "ui/cuiSheet.h"

#include "core/TextFunctions.h"
#include "core/cmcGTex.h"
#include "model/TableAccess.h"
#include "model/indEnviron.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Application.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheetHost.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

// Working-image bits that layout conditions test.
constexpr int FontSetByte = 175682; // bit 2: the radio's font set
constexpr int FontSetBit = 2;
constexpr int OptionByte = 11;      // bit 3: the SACC option
constexpr int SaccBit = 3;
// List kinds whose counts open list loops.
constexpr int KindDigitalId = 18;
constexpr int KindDigitalTalkGroup = 19;
constexpr int KindZephId = 28;
constexpr int KindZephTalkGroup = 29;
constexpr int KindMultisiteId = 32;
constexpr int KindMultisiteTalkGroup = 33;
constexpr int DefaultPrintFontRatio = 100;
constexpr int DefaultFontSizePercentage = 100;

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The value after the first '=' of a style item; nullopt without '='.
std::optional<std::string_view> ValueOf(std::string_view item)
{
    const size_t eq = item.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return item.substr(eq + 1);
}

// A decimal number read as the C library reads it: blanks, an optional sign,
// digits; 0 without digits.
int DecimalOf(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = std::min(value * 10 + (text[i] - '0'), 0x7FFFFFFFLL);
    return static_cast<int>(negative ? -value : value);
}


// Calls fn for every item of the line: the text between a '(' and the next
// ')'. Bytes of multi-byte characters are never brackets.
template <typename Fn>
void ForEachItem(std::string_view text, Fn&& fn)
{
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '(') {
            ++i;
            continue;
        }
        const size_t close = text.find(')', i + 1);
        if (close == std::string_view::npos) return;
        fn(text.substr(i + 1, close - i - 1));
        i = close + 1;
    }
}

} // namespace

std::optional<int> cuiSheet::NumberAfterBlank(std::string_view item)
{
    const size_t blank = item.find(' ');
    if (blank == std::string_view::npos || blank + 1 >= item.size()) return std::nullopt;
    return DecimalOf(item.substr(blank + 1));
}

void cuiSheet::ApplyStyleText(std::string_view text)
{
    ForEachItem(text, [this](std::string_view item) { ApplyStyle(item); });
}

void cuiSheet::ApplyDirectiveText(std::string_view text)
{
    ForEachItem(text, [this](std::string_view item) { ApplyDirective(item); });
}

void cuiSheet::ApplyStyle(std::string_view item)
{
    if (StartsWith(item, "TitleString")) {
        if (auto value = ValueOf(item); value && !value->empty()) m_title = std::string(*value);
    } else if (StartsWith(item, "TitleColor")) {
        if (auto value = ValueOf(item)) ColorByName(*value, m_titleColor);
    } else if (StartsWith(item, "TitleFont")) {
        if (auto value = ValueOf(item)) {
            m_titleFont = std::make_unique<plat::Font>();
            ParseFontSpec(*value, *m_titleFont);
        }
    } else if (StartsWith(item, "FixedCols")) {
        if (auto value = ValueOf(item)) m_fixedCols = DecimalOf(*value);
    } else if (StartsWith(item, "FixedRows")) {
        if (auto value = ValueOf(item)) m_fixedRows = DecimalOf(*value);
    } else if (item == "NoPrint") {
        m_options |= OptNoPrint;
    } else if (StartsWith(item, "PrintFontRatio")) {
        if (auto value = ValueOf(item)) m_printFontRatio = DecimalOf(*value);
    } else if (StartsWith(item, "MultiSelect")) {
        const auto value = ValueOf(item);
        m_multiSelect = !value ? MultiSelectOff
                        : *value == "Cell" ? MultiSelectCell
                        : *value == "Line" ? MultiSelectLine
                                           : MultiSelectOff;
    } else if (StartsWith(item, "ColSizing")) {
        m_options |= OptColSizing;
    } else if (StartsWith(item, "ColorSelectLine")) {
        m_options |= OptColorSelectLine;
    }
}

void cuiSheet::ApplyDirective(std::string_view item)
{
    // Skip items: the next n lines are left out when the condition holds.
    struct Skip {
        std::string_view name;
        bool (*skips)();
    };
    static const Skip skips[] = {
        {"Only_NFont", [] { return !sheethost::ImageBit(FontSetByte, FontSetBit); }},
        {"Only_TFont", [] { return sheethost::ImageBit(FontSetByte, FontSetBit); }},
        {"Never", [] { return true; }},
        {"Only_Crvl", [] { return !sheethost::CustomerMode(); }},
    };
    for (const Skip& s : skips) {
        if (!StartsWith(item, s.name)) continue;
        if (auto n = NumberAfterBlank(item); n && s.skips()) m_skip = *n;
        return;
    }
    // List loops: the count comes from the radio data.
    struct ListLoop {
        std::string_view name;
        int (*count)();
    };
    static const ListLoop loops[] = {
        {"TG List", [] { return TgListCount(KindDigitalTalkGroup); }},
        {"Ind List", [] { return IndListCount(KindDigitalId); }},
        {"ZEPH TG List", [] { return TgListCount(KindZephTalkGroup); }},
        {"ZEPH Ind List", [] { return IndListCount(KindZephId); }},
        {"Multisite TG List", [] { return TgListCount(KindMultisiteTalkGroup); }},
        {"Multisite Ind List", [] { return IndListCount(KindMultisiteId); }},
        {"EDivert_Zone_List", [] { return UsedBankCount(); }},
        {"EDivert_CH_List", [] { return BankChannelCount(sheethost::PickerBank()); }},
    };
    for (const ListLoop& l : loops) {
        if (!StartsWith(item, l.name)) continue;
        m_loopStart = m_currentLine;
        m_loopCount = l.count();
        return;
    }
    if (StartsWith(item, "End")) {
        m_loopEnd = m_currentLine;
    } else if (StartsWith(item, "LoopFrom")) {
        if (auto n = NumberAfterBlank(item)) {
            m_loopStart = m_currentLine;
            m_loopCount = std::max(1, *n);
        }
    } else if (StartsWith(item, "LoopTo")) {
        m_loopEnd = m_currentLine;
    } else if (StartsWith(item, "SelectON")) {
        m_selectFlag = true;
    } else if (StartsWith(item, "SelectOFF")) {
        m_selectFlag = false;
    } else {
        struct ModelSkip {
            std::string_view name;
            bool (*keeps)();
        };
        static const ModelSkip modelSkips[] = {
            {"Only_Pmr", [] { return sheethost::IsPmrModel(); }},
            {"Only_Lmr", [] { return sheethost::IsLmrModel(); }},
            {"Only_KOVR", [] { return sheethost::IsPmrModel(); }},
            {"Only_SACC", [] { return sheethost::ImageBit(OptionByte, SaccBit); }},
        };
        for (const ModelSkip& s : modelSkips) {
            if (!StartsWith(item, s.name)) continue;
            if (auto n = NumberAfterBlank(item); n && !s.keeps()) m_skip = *n;
            return;
        }
    }
}

void cuiSheet::LoadCells()
{
    LoadBasicCell();
    ParseRows(m_key + "_Cells");
    m_slots.clear();
    m_slotCols = m_colCount;
    m_slotRows = m_rowCount;
    m_slots.resize(static_cast<size_t>(m_slotCols) * static_cast<size_t>(m_slotRows));
    const int size = m_printerCanvas != nullptr && !m_bitmapMode
                         ? std::max(1, m_printerPpi / plat::GetScreenPixelsPerInch())
                         : 1;
    m_grid->SetDefaultColWidth(size);
    m_grid->SetDefaultRowHeight(size);
    m_firstSelCol = m_colCount;
    m_firstSelRow = m_rowCount;
    m_spanTextsKnown = false;
    BuildCells(m_key + "_Cells");
    WidenSpansToTexts();
}

void cuiSheet::LoadBasicCell()
{
    auto basic = std::make_unique<cmcCellObj>();
    std::string text = m_texts->GetText(m_key + "_BasicCell", 0);
    char item[64];
    if (m_fontHeight != 0) {
        std::snprintf(item, sizeof item, "{(Font=,,,%d,,,)}", m_fontHeight);
    } else {
        const int percentage = g_Environ != nullptr ? g_Environ->FontSizePercentage : DefaultFontSizePercentage;
        std::snprintf(item, sizeof item, "{(Font=,,,%%%d,,,)}", percentage);
    }
    text += item;
    if (m_printerCanvas != nullptr && m_printFontRatio != DefaultPrintFontRatio) {
        std::snprintf(item, sizeof item, "{(Font=,,,%%%d,,,)}", m_printFontRatio);
        text += item;
    }
    cmcCellObj::ParseCell(basic.get(), text, nullptr, nullptr, false);
    // On paper a cell's own font, written in the screen's pixels, is sized
    // as the basic cell's is: by the ratio of the basic cell's printed
    // height to the height its own text gives it.
    if (m_printerCanvas != nullptr && basic->Font) {
        cmcCellObj written;
        cmcCellObj::ParseCell(&written, m_texts->GetText(m_key + "_BasicCell", 0), nullptr, nullptr, false);
        const int screenHeight = written.Font ? written.Font->height : plat::Font{}.height;
        if (screenHeight != 0) basic->FontScale = static_cast<double>(basic->Font->height) / screenHeight;
    }
    m_basicCell = std::move(basic);
    m_grid->SetColor(m_basicCell->Color);
    if (m_basicCell->Font) {
        m_framePanel->SetFont(*m_basicCell->Font);
        m_grid->SetFont(*m_basicCell->Font);
    }
}

bool cuiSheet::IsBuildableSize(int64_t cols, int64_t rows)
{
    return cols > 0 && rows > 0 && cols <= MaxCols && rows <= MaxRows && cols * rows <= MaxCells;
}

void cuiSheet::AppendRow(int line, bool selectable)
{
    if (m_rowCount >= MaxRows) plat::Fatal("Illegal Cell assign");
    m_rowAtr.EnsureIndex(m_rowCount);
    m_rowAtr[m_rowCount].Line = line;
    m_rowAtr[m_rowCount].Flags = selectable ? dst_SheetRowAtr::Selectable : 0;
    ++m_rowCount;
}

void cuiSheet::ParseRows(const std::string& cellsKey)
{
    m_loopStart = m_loopEnd = m_loopCount = -1;
    m_colCount = 0;
    m_rowCount = 0;
    m_selectFlag = true;
    m_loopBody.clear();
    for (int line = 0;; ++line) {
        m_currentLine = line;
        const std::string text = m_texts->GetText(cellsKey, line);
        if (!text.empty() && text[0] == '#') break;
        if (m_skip > 0) {
            --m_skip;
            continue;
        }
        if (!text.empty() && text[0] == ':') {
            const int loopStart = m_loopStart;
            ApplyDirectiveText(text);
            // A loop start begins a new body, also when an earlier loop was
            // never closed.
            if (m_loopStart >= 0 && m_loopStart != loopStart) m_loopBody.clear();
            if (m_loopStart >= 0 && m_loopEnd >= 0 && m_loopCount > 0) {
                // The copies take exactly the row lines read as the body, so
                // that no directive or skipped line becomes a row. A loop
                // without rows copies nothing, whatever its count.
                for (int copy = 1; copy < m_loopCount && !m_loopBody.empty(); ++copy)
                    for (int bodyLine : m_loopBody) AppendRow(bodyLine, m_selectFlag);
                m_loopStart = m_loopEnd = m_loopCount = -1;
                m_loopBody.clear();
            }
            continue;
        }
        int cells = 0;
        cmcCellObj scratch;
        for (std::string rest = text; !rest.empty(); ++cells)
            rest = cmcCellObj::ParseCell(&scratch, rest, nullptr, m_basicCell.get(), true);
        m_colCount = std::max(m_colCount, cells);
        AppendRow(line, m_selectFlag);
        if (m_loopStart < 0 || m_loopEnd >= 0) m_loopBody.clear();
        else m_loopBody.push_back(line);
    }
    if (!IsBuildableSize(m_colCount, m_rowCount)) plat::Fatal("Illegal Cell assign");
    m_grid->SetColCount(m_colCount);
    m_grid->SetRowCount(m_rowCount);
}

plat::Canvas* cuiSheet::MeasureCanvas() const
{
    if (m_printerCanvas != nullptr) return m_bitmapMode && m_previewCanvas != nullptr ? m_previewCanvas : m_printerCanvas;
    return &m_grid->GetCanvas();
}

void cuiSheet::BuildCells(const std::string& cellsKey)
{
    plat::Canvas& canvas = *MeasureCanvas();
    int previousLine = -1;
    int previousCells = 0;
    std::string rowText;
    for (int row = 0; row < m_rowCount; ++row) {
        const int line = m_rowAtr[row].Line;
        OnBuildRow(row);
        const bool repeat = line == previousLine;
        if (!repeat) {
            rowText = m_texts->GetText(cellsKey, line);
            previousLine = line;
        }
        const bool rowSelectable = (m_rowAtr[row].Flags & dst_SheetRowAtr::Selectable) != 0;
        int col = 0;
        for (; repeat ? col < previousCells : !rowText.empty(); ++col) {
            OnBuildCell(col, row);
            clsSheetCellId& slot = CellSlot(col, row);
            cmcCellObj& cell = slot.Cell;
            if (repeat) {
                cell.Assign(CellAt(col, row - 1));
                // The index stops at the largest int, as a cell counter does.
                if (cell.Index < std::numeric_limits<int>::max()) ++cell.Index;
                m_grid->SetRowHeights(row, m_grid->RowHeights(row - 1));
            } else {
                rowText = cmcCellObj::ParseCell(&cell, rowText, &m_counters, m_basicCell.get(), false);
                ApplyCellFont(cell, canvas.GetFont());
                if ((cell.FlagsA & (cmcCellObj::LetterW | cmcCellObj::LetterH)) != 0) {
                    const plat::Size extent = MultiLineTextExtent(canvas, cell.GetText());
                    const int width = static_cast<int>(extent.cx + 8 * m_scale + 0.5);
                    const int height = static_cast<int>(extent.cy + 2 * m_scale + 0.5);
                    if ((cell.FlagsA & cmcCellObj::LetterW) != 0 && width > m_grid->ColWidths(col))
                        m_grid->SetColWidths(col, width);
                    if ((cell.FlagsA & cmcCellObj::LetterH) != 0 && height > m_grid->RowHeights(row))
                        m_grid->SetRowHeights(row, height);
                }
            }
            if ((cell.FlagsB & cmcCellObj::LetterS) != 0) {
                m_firstSelCol = std::min(m_firstSelCol, col);
                m_firstSelRow = std::min(m_firstSelRow, row);
            }
            const bool multi = m_multiSelect != MultiSelectOff && rowSelectable;
            slot.Flags = static_cast<uint8_t>(multi ? slot.Flags | clsSheetCellId::SelectableInMulti
                                                    : slot.Flags & ~clsSheetCellId::SelectableInMulti);
        }
        previousCells = col;
    }
    if (m_printerCanvas != nullptr) {
        LoadColumnWidths();
    } else if (!IsPopup()) {
        if (m_resetWidths) DeleteColumnWidths();
        else LoadColumnWidths();
        SaveColumnWidths();
    }
    m_resetWidths = false;
}

void cuiSheet::OnBuildRow(int) {}

void cuiSheet::OnBuildCell(int, int) {}
