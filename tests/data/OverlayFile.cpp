#include "tests/data/OverlayFile.h"

#include "core/cmcGTex.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ovl {

namespace {

const char EndKey[] = "End_Of_Ovl";

bool IsKeyLine(const std::string& line) { return line.size() >= 2 && line[0] == '#'; }

} // namespace

std::string OverlayPath(const std::string& fileName) { return std::string(QM_OVERLAY_DIR) + "/" + fileName; }

Overlay::Overlay(const std::string& fileName) : m_name(fileName)
{
    m_bytes = qmtest::ReadFile(OverlayPath(fileName));
    size_t start = 0;
    while (start < m_bytes.size()) {
        size_t end = m_bytes.find('\n', start);
        if (end == std::string::npos) end = m_bytes.size();
        std::string line = m_bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        m_lines.push_back(line);
        start = end + 1;
    }
    bool ended = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (ended) {
            ++m_linesAfterEnd;
            continue;
        }
        if (!IsKeyLine(m_lines[i])) continue;
        std::string key = m_lines[i].substr(1);
        m_keyLines.emplace_back(key, i);
        m_first.emplace(key, i);
        if (key == EndKey) ended = true;
    }
}

bool Overlay::HasLine(const std::string& key, size_t n) const
{
    auto found = m_first.find(key);
    return found != m_first.end() && found->second + 1 + n < m_lines.size();
}

std::string Overlay::Line(const std::string& key, size_t n) const
{
    return HasLine(key, n) ? m_lines[m_first.at(key) + 1 + n] : std::string();
}

std::vector<std::string> Overlay::Section(const std::string& key, bool* ended) const
{
    std::vector<std::string> lines;
    if (ended) *ended = false;
    auto found = m_first.find(key);
    if (found == m_first.end()) return lines;
    for (size_t i = found->second + 1; i < m_lines.size(); ++i) {
        if (!m_lines[i].empty() && m_lines[i][0] == '#') {
            if (ended) *ended = true;
            break;
        }
        lines.push_back(m_lines[i]);
    }
    return lines;
}

std::vector<std::string> Overlay::HashEndedSection(const std::string& key, bool* ended) const
{
    std::vector<std::string> lines;
    if (ended) *ended = false;
    auto found = m_first.find(key);
    if (found == m_first.end()) return lines;
    for (size_t i = found->second + 1; i < m_lines.size(); ++i) {
        if (m_lines[i] == "#") {
            if (ended) *ended = true;
            break;
        }
        lines.push_back(m_lines[i]);
    }
    return lines;
}

std::set<std::string> Overlay::KeysWithSuffix(const std::string& suffix) const
{
    std::set<std::string> bases;
    for (const auto& [key, line] : m_keyLines) {
        if (key.size() > suffix.size() && key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0)
            bases.insert(key.substr(0, key.size() - suffix.size()));
    }
    return bases;
}

const Overlay& System()
{
    static const Overlay file(SystemFile);
    return file;
}

const Overlay& Language()
{
    static const Overlay file(LanguageFile);
    return file;
}

const Overlay& Help()
{
    static const Overlay file(HelpFile);
    return file;
}

LanguageTable::LanguageTable() { g_GTex.OpenOverlayFile(OverlayPath(LanguageFile)); }

LanguageTable::~LanguageTable()
{
    g_GTex.FreeState();
    g_GTex.InitState();
}

std::vector<cmcCellObj> ParseRow(std::string_view row, const cmcCellObj* base, CellCounters* counters)
{
    std::vector<cmcCellObj> cells;
    std::string rest(row);
    while (!rest.empty()) {
        cells.emplace_back();
        rest = cmcCellObj::ParseCell(&cells.back(), rest, counters, base, false);
    }
    return cells;
}

cmcCellObj ParseCellText(std::string_view text)
{
    cmcCellObj cell;
    CellCounters counters{};
    cmcCellObj::ParseCell(&cell, text, &counters, nullptr, false);
    return cell;
}

cmcCellObj ParseBodyLine(const std::string& line, const cmcCellObj* base)
{
    cmcCellObj cell;
    size_t plus = line.find('+');
    std::string text = plus == std::string::npos ? std::string() : line.substr(plus + 1);
    cmcCellObj::ParseCell(&cell, text, nullptr, base, false);
    return cell;
}

SheetSpec SplitSpec(const std::string& spec)
{
    SheetSpec parts;
    size_t comma = spec.find(',');
    std::string head = spec.substr(0, comma);
    if (comma != std::string::npos) parts.Code = spec.substr(comma + 1);
    size_t open = head.find('[');
    size_t close = open == std::string::npos ? std::string::npos : head.find(']', open);
    if (close != std::string::npos) {
        parts.Class = head.substr(open + 1, close - open - 1);
        parts.Key = head.substr(close + 1);
    } else {
        parts.Key = head;
    }
    return parts;
}

std::vector<std::string> Conversions(const std::string& text)
{
    std::vector<std::string> found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t j = i + 1;
        std::string length;
        while (j < text.size() && std::strchr("-+ #0123456789.*", text[j]) != nullptr) ++j;
        while (j < text.size() && std::strchr("hljztL", text[j]) != nullptr) length += text[j++];
        found.push_back("%" + length + (j < text.size() ? std::string(1, text[j]) : std::string()));
        i = j;
    }
    return found;
}

std::vector<ListEntry> ListEntries(const std::string& listKey, int label)
{
    std::vector<ListEntry> entries;
    CellCounters counters{};
    for (const std::string& line : Language().Section(listKey + "_Cells")) {
        for (const cmcCellObj& cell : ParseRow(line, nullptr, &counters)) {
            if (cell.Label != label) continue;
            entries.push_back({cell.Index, cell.Argument ? *cell.Argument : cell.GetText()});
        }
    }
    return entries;
}

} // namespace ovl

namespace ovl {

bool IsLabelName(const std::string& name)
{
    if (name.empty()) return false;
    try {
        return CellLabelIndex(name) != CL_NoLabel;
    } catch (const plat::FatalError&) {
        return false;
    }
}

} // namespace ovl

namespace ovl {

std::vector<PlacedCell> PlacedCells()
{
    const Overlay& file = Language();
    std::vector<PlacedCell> placed;
    std::set<std::string> sheets = file.KeysWithSuffix("_Style");
    for (const std::string& key : file.KeysWithSuffix("_Cells")) sheets.insert(key);
    for (const std::string& sheet : sheets) {
        cmcCellObj basic = ParseCellText(file.Line(sheet + "_BasicCell", 0));
        placed.push_back({sheet + "_BasicCell", basic});
        CellCounters counters{};
        std::vector<std::string> lines = file.Section(sheet + "_Cells");
        for (size_t n = 0; n < lines.size(); ++n) {
            if (!lines[n].empty() && lines[n][0] == ':') continue;
            for (const cmcCellObj& cell : ParseRow(lines[n], &basic, &counters))
                placed.push_back({sheet + "_Cells line " + std::to_string(n), cell});
        }
    }
    for (const std::string& list : file.KeysWithSuffix("_Body")) {
        cmcCellObj basic = ParseCellText(file.Line(list + "_BasicCell", 0));
        bool toolBar = list.rfind("GI_ToolBar_", 0) == 0;
        std::vector<std::string> lines = file.Section(list + "_Body");
        for (size_t n = 0; n < lines.size(); ++n) {
            std::string where = list + "_Body line " + std::to_string(n);
            if (toolBar) {
                CellCounters counters{};
                for (const cmcCellObj& cell : ParseRow(lines[n], &basic, &counters)) placed.push_back({where, cell});
            } else {
                placed.push_back({where, ParseBodyLine(lines[n], &basic)});
            }
        }
    }
    std::vector<std::string> checks = file.Section("GI_WarningCheckList");
    for (size_t n = 0; n < checks.size(); ++n)
        placed.push_back({"GI_WarningCheckList line " + std::to_string(n), ParseCellText(checks[n])});
    return placed;
}

} // namespace ovl

namespace ovl {

namespace {

void AddList(const std::string& list, std::vector<PlacedCell>& cells, std::set<std::string>& popups)
{
    const Overlay& file = Language();
    cmcCellObj basic = ParseCellText(file.Line(list + "_BasicCell", 0));
    const bool toolBar = list.rfind("GI_ToolBar_", 0) == 0;
    std::vector<std::string> lines = file.Section(list + "_Body");
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string where = list + "_Body line " + std::to_string(n);
        if (toolBar) {
            CellCounters counters{};
            for (cmcCellObj& cell : ParseRow(lines[n], &basic, &counters)) cells.push_back({where, cell});
        } else {
            cells.push_back({where, ParseBodyLine(lines[n], &basic)});
        }
        if (const std::string* popup = cells.back().Cell.FindPopupMenu()) popups.insert(*popup);
    }
}

void AddSheet(const std::string& sheet, std::vector<PlacedCell>& cells, std::set<std::string>& popups)
{
    const Overlay& file = Language();
    cmcCellObj basic = ParseCellText(file.Line(sheet + "_BasicCell", 0));
    cells.push_back({sheet + "_BasicCell", basic});
    if (basic.PopupMenu) popups.insert(*basic.PopupMenu);
    CellCounters counters{};
    std::vector<std::string> lines = file.Section(sheet + "_Cells");
    for (size_t n = 0; n < lines.size(); ++n) {
        if (!lines[n].empty() && lines[n][0] == ':') continue;
        for (cmcCellObj& cell : ParseRow(lines[n], &basic, &counters)) {
            if (const std::string* popup = cell.FindPopupMenu()) popups.insert(*popup);
            cells.push_back({sheet + "_Cells line " + std::to_string(n), cell});
        }
    }
}

// The pop-up menus, and the ones their items name in turn.
void AddPopups(std::set<std::string> popups, std::vector<PlacedCell>& cells)
{
    std::set<std::string> added;
    while (true) {
        auto next = std::find_if(popups.begin(), popups.end(), [&](const std::string& p) { return !added.count(p); });
        if (next == popups.end()) break;
        const std::string popup = *next;
        added.insert(popup);
        if (Language().Has(popup + "_Body")) AddList(popup, cells, popups);
    }
}

} // namespace

std::vector<PlacedCell> ReachedCells()
{
    const Overlay& file = Language();
    std::vector<PlacedCell> cells;
    std::set<std::string> popups = {"GI_PMenu_NoItem"}; // the Edit menu's filler
    for (const char* list : {"GI_Menu_Main", "GI_ToolBar_Main", "GI_ToolBar_CEdit"}) AddList(list, cells, popups);

    const size_t treeFirst = cells.size();
    AddList("GI_Tree_Main", cells, popups);
    cmcCellObj treeBasic = ParseCellText(file.Line("GI_Tree_Main_BasicCell", 0));
    bool memoryNode = false;
    for (size_t i = treeFirst; i < cells.size(); ++i)
        memoryNode = memoryNode || cells[i].Cell.Argument.value_or("") == "GI_Sheet_Memory_CH_Top";
    if (memoryNode) {
        for (size_t n = 0; n < 2; ++n)
            cells.push_back({"GI_Tree_Branch_Mch_BankOperation line " + std::to_string(n),
                             ParseBodyLine(file.Line("GI_Tree_Branch_Mch_BankOperation", n), &treeBasic)});
        const std::string format = file.Line("GI_Tree_Branch_Mch_Bank", 0);
        for (const char* type : {"Lmr", "Pmr"}) {
            char line[512];
            std::snprintf(line, sizeof line, format.c_str(), type, 0);
            cells.push_back({"GI_Tree_Branch_Mch_Bank (" + std::string(type) + ")", ParseBodyLine(line, &treeBasic)});
        }
    }
    std::set<std::string> sheets;
    for (size_t i = treeFirst; i < cells.size(); ++i)
        if (cells[i].Cell.Label == CallSheet && cells[i].Cell.Argument) sheets.insert(SplitSpec(*cells[i].Cell.Argument).Key);

    std::vector<std::string> checks = file.Section("GI_WarningCheckList");
    for (size_t n = 0; n < checks.size(); ++n)
        cells.push_back({"GI_WarningCheckList line " + std::to_string(n), ParseCellText(checks[n])});

    for (const std::string& sheet : sheets)
        if (file.Has(sheet + "_Cells")) AddSheet(sheet, cells, popups);
    AddPopups(popups, cells);
    return cells;
}

std::vector<PlacedCell> ReachableCells(const std::set<std::string>& openedByProgram)
{
    std::vector<PlacedCell> cells = ReachedCells();
    std::set<std::string> popups;
    for (const std::string& sheet : openedByProgram)
        if (Language().Has(sheet + "_Cells")) AddSheet(sheet, cells, popups);
    AddPopups(popups, cells);
    return cells;
}

} // namespace ovl
