#include "core/cmcFCache.h"

#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"

#include <algorithm>
#include <cstdint>

cmcFCache::cmcFCache() = default;

cmcFCache::~cmcFCache()
{
    dst_FCacheSet* set = m_setList.Next;
    while (set) {
        dst_FCacheSet* next = set->Next;
        delete set;
        set = next;
    }
}

std::string cmcFCache::SetKey(const std::string& sheetKey, int label)
{
    return sheetKey + "#" + std::to_string(label);
}

std::string cmcFCache::GetLabel(const std::string& sheetKey, int label, int value)
{
    std::string text;
    if (Lookup(sheetKey, label, value, text)) return text;
    Build(sheetKey, label);
    if (Lookup(sheetKey, label, value, text)) return text;
    return {};
}

bool cmcFCache::Lookup(const std::string& sheetKey, int label, int value, std::string& text) const
{
    const dst_FCacheSet* set = m_sets.Find(SetKey(sheetKey, label));
    if (!set) return false;
    int i = BinarySearch(set->ByValue, 0, set->EntryCount - 1, value);
    text = i < 0 ? std::string("error") : set->ByValue[static_cast<size_t>(i)].Label;
    return true;
}

bool cmcFCache::Step(const std::string& sheetKey, int label, int current, int n, int& value) const
{
    const dst_FCacheSet* set = m_sets.Find(SetKey(sheetKey, label));
    if (!set || set->EntryCount == 0) return false;
    const int64_t count = set->EntryCount;
    int64_t p = count + 1;
    for (int64_t i = 0; i < count; ++i) {
        if (set->ByPosition[static_cast<size_t>(i)].Value == current) {
            p = i;
            break;
        }
    }
    int64_t target = p + n;
    if (target >= count) target = 0;
    else if (target < 0) target = count - 1;
    value = set->ByPosition[static_cast<size_t>(target)].Value;
    return true;
}

void cmcFCache::Build(const std::string& sheetKey, int label)
{
    auto* set = new dst_FCacheSet;
    set->Next = m_setList.Next;
    m_setList.Next = set;
    m_sets.Insert(SetKey(sheetKey, label), set);

    const std::string section = sheetKey + "_Cells";
    CellCounters counters{};
    for (int line = 0;; ++line) {
        std::string text = g_GTex.GetText(section, line);
        if (!text.empty() && text[0] == '#') break;
        set->LineCount = line + 1;
        // An empty line is a line without cells.
        std::string rest = text;
        int column = 0;
        while (!rest.empty()) {
            cmcCellObj cell;
            rest = cmcCellObj::ParseCell(&cell, rest, &counters, nullptr, false);
            if (cell.Label == label) {
                dst_FCacheEntry entry;
                entry.Line = line;
                entry.Column = column;
                entry.Value = cell.Index;
                entry.Label = cell.Argument ? *cell.Argument : cell.GetText();
                set->ByValue.push_back(std::move(entry));
            }
            ++column;
        }
        set->ColumnCount = std::max(set->ColumnCount, column);
    }
    set->EntryCount = static_cast<int>(set->ByValue.size());
    SortByValue(set->ByValue);
    set->ByPosition = set->ByValue;
    SortByPosition(set->ByPosition, set->LineCount);
}

void cmcFCache::SortByValue(std::vector<dst_FCacheEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const dst_FCacheEntry& a, const dst_FCacheEntry& b) { return a.Value < b.Value; });
}

void cmcFCache::SortByPosition(std::vector<dst_FCacheEntry>& entries, int lineCount)
{
    auto place = [lineCount](const dst_FCacheEntry& e) {
        return static_cast<int64_t>(e.Column) * lineCount + e.Line;
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const dst_FCacheEntry& a, const dst_FCacheEntry& b) { return place(a) < place(b); });
}

int cmcFCache::BinarySearch(const std::vector<dst_FCacheEntry>& entries, int first, int last, int value)
{
    while (first <= last) {
        if (value < entries[static_cast<size_t>(first)].Value || value > entries[static_cast<size_t>(last)].Value)
            return -1;
        int middle = first + (last - first) / 2;
        int v = entries[static_cast<size_t>(middle)].Value;
        if (v < value) first = middle + 1;
        else if (v == value) return middle;
        else last = middle - 1;
    }
    return -1;
}
