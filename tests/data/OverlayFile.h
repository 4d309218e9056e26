#pragma once
// Reading the built overlay files for the overlay check: the lines and keys
// of a file as the program's reader sees them, the sections that the
// program's walkers read, cell rows parsed with the program's own parser, and
// the parts of a sheet spec.
#include "core/cmcCellObj.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace ovl {

// The three files, as the build places them beside the program.
inline const char SystemFile[] = "QM7148H.OVL";
inline const char LanguageFile[] = "QM7148HE.OVL";
inline const char HelpFile[] = "QM7148HH.OVL";

std::string OverlayPath(const std::string& fileName);

class Overlay {
public:
    explicit Overlay(const std::string& fileName);

    const std::string& Name() const { return m_name; }
    const std::string& Bytes() const { return m_bytes; }
    // The physical lines, newline cut.
    const std::vector<std::string>& Lines() const { return m_lines; }
    // Every key line up to and including "#End_Of_Ovl", in file order, with
    // the index of its line; a key may occur more than once.
    const std::vector<std::pair<std::string, size_t>>& KeyLines() const { return m_keyLines; }
    // Lines that come after the end key.
    size_t LinesAfterEnd() const { return m_linesAfterEnd; }

    // The key as the program finds it: its first occurrence before the end.
    bool Has(const std::string& key) const { return m_first.count(key) != 0; }
    // Line n of the section (the n-th line after the key line, across later
    // keys as the reader allows); "" when it does not exist.
    std::string Line(const std::string& key, size_t n) const;
    bool HasLine(const std::string& key, size_t n) const;
    // Lines 0, 1, ... up to the first line that starts with '#' (how menus,
    // sheets, lists and multi-line texts are walked); empty when the key is
    // missing. endedBy tells whether such a line was met before the file end.
    std::vector<std::string> Section(const std::string& key, bool* ended = nullptr) const;
    // Lines up to the first line that is exactly "#" (the help tables).
    std::vector<std::string> HashEndedSection(const std::string& key, bool* ended = nullptr) const;

    // Keys that end with the suffix, without it: the sheets ("_Style") or
    // menus ("_Body") of the file.
    std::set<std::string> KeysWithSuffix(const std::string& suffix) const;

private:
    std::string m_name;
    std::string m_bytes;
    std::vector<std::string> m_lines;
    std::vector<std::pair<std::string, size_t>> m_keyLines;
    std::map<std::string, size_t> m_first;
    size_t m_linesAfterEnd = 0;
};

const Overlay& System();
const Overlay& Language();
const Overlay& Help();

// Points the program's language table g_GTex at the built language file for
// the lifetime of the object, so that cell models resolve as in the program.
class LanguageTable {
public:
    LanguageTable();
    ~LanguageTable();
    LanguageTable(const LanguageTable&) = delete;
    LanguageTable& operator=(const LanguageTable&) = delete;
};

// The cells of a row text, parsed one after the other on the base as the
// sheet engine does (a trailing '|' adds no cell).
std::vector<cmcCellObj> ParseRow(std::string_view row, const cmcCellObj* base, CellCounters* counters);
// One cell text without base (basic cells, check-list lines).
cmcCellObj ParseCellText(std::string_view text);
// The item cell of a menu, tree or pop-up body line: the text after the first
// '+', parsed on the base.
cmcCellObj ParseBodyLine(const std::string& line, const cmcCellObj* base);

// A sheet spec: "[class]key,code".
struct SheetSpec {
    std::string Class;
    std::string Key;
    std::string Code;
};
SheetSpec SplitSpec(const std::string& spec);

// The printf conversions of a text in order ("%d", "%s", "%ld" ...); "%%"
// is no conversion.
std::vector<std::string> Conversions(const std::string& text);

// A choice-list entry as the value-label cache reads it: the cells of the
// label in the list's "_Cells" lines (up to the first line that starts with
// '#'), parsed without base.
struct ListEntry {
    int Value;
    std::string Text;
};
std::vector<ListEntry> ListEntries(const std::string& listKey, int label);

} // namespace ovl

namespace ovl {

// Whether the name is one of the program's cell label names.
bool IsLabelName(const std::string& name);

// A cell that the language file places where the program runs it: on a
// sheet (basic cells included), in a menu, tree or tool bar, or in the
// warning check list.
struct PlacedCell {
    std::string Where; // the key and line
    cmcCellObj Cell;
};
// Every placed cell, parsed as the program parses it (needs LanguageTable).
std::vector<PlacedCell> PlacedCells();
// The placed cells that the program reaches: those of the main menu and
// its Edit menu filler, the tool bars, the tree (with its bank branch when
// the tree holds the memory-channel node), the warning check list, the
// sheets the tree's nodes open and the pop-up menus their cells name.
// Choice lists and other sheets that no reached cell opens are left out:
// they are data until a cell that opens them is placed.
std::vector<PlacedCell> ReachedCells();
// The reached cells and those of the given sheets, which the program opens
// itself (choice lists, pickers and windows that cells and commands open),
// with the pop-up menus their cells name.
std::vector<PlacedCell> ReachableCells(const std::set<std::string>& openedByProgram);

} // namespace ovl
