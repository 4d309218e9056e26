#pragma once
// The value-label cache of choice cells.
//
// A choice list is an overlay sheet whose "<sheet>_Cells" section lists
// cells of one label: a cell's index is a value and its argument (or, without
// one, its display text) the value's label. For each (sheet key, label) the
// cache reads the section once, from the language table g_GTex, into a set
// that tells the label of a value and the value that comes n places after
// another in the order in which the pop-up sheet shows them (column after
// column, each column from the top).
#include "core/cmcHash2.h"

#include <string>
#include <vector>

struct dst_FCacheEntry {
    int Line = 0;   // line of the section
    int Column = 0; // position of the cell in its line, from 0
    int Value = 0;  // the cell's index
    std::string Label;
};

struct dst_FCacheSet {
    int LineCount = 0;   // lines of the section before its end
    int ColumnCount = 0; // the most cells in one line
    int EntryCount = 0;
    std::vector<dst_FCacheEntry> ByValue;    // ascending values; equal ones in order of appearance
    std::vector<dst_FCacheEntry> ByPosition; // by column, then by line
    dst_FCacheSet* Next = nullptr;
};

class cmcFCache {
public:
    cmcFCache();
    ~cmcFCache();
    cmcFCache(const cmcFCache&) = delete;
    cmcFCache& operator=(const cmcFCache&) = delete;

    // The label of the value, reading the list into the cache first when it
    // is not there yet; "error" when the list has no such value.
    std::string GetLabel(const std::string& sheetKey, int label, int value);
    // False when the list is not cached; otherwise true, with the label of
    // the value in text ("error" when the list has no such value).
    bool Lookup(const std::string& sheetKey, int label, int value, std::string& text) const;
    // False when the list is not cached or has no entries (value is then left
    // alone); otherwise true, with the value n places after the current one
    // in position order. Past the last entry comes the first, before the first
    // the last; a current value that is not in the list counts as one place
    // past the end.
    bool Step(const std::string& sheetKey, int label, int current, int n, int& value) const;
    // Reads the list into a new set (the list must not be cached yet).
    void Build(const std::string& sheetKey, int label);

    static void SortByValue(std::vector<dst_FCacheEntry>& entries);
    static void SortByPosition(std::vector<dst_FCacheEntry>& entries, int lineCount);
    // The index of an entry with the value in entries sorted by value, within
    // first to last (inclusive); -1 when there is none.
    static int BinarySearch(const std::vector<dst_FCacheEntry>& entries, int first, int last, int value);

    static std::string SetKey(const std::string& sheetKey, int label);

private:
    cmcHash2 m_sets{1031};
    dst_FCacheSet m_setList; // empty first node; the sets follow it, newest first
};
