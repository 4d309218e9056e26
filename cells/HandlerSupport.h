#pragma once
// What the value handlers share: key codes, the display text conventions,
// picks from pop-ups, the value-label cache and the list sheets' cells.
#include "core/cmcCellCapsule.h"

#include <functional>
#include <string>

class cmcCellObj;
class cmcFCache;

namespace cellkey {
constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int Space = 32;
constexpr int FirstPrintable = 32;
constexpr int LastPrintable = 126;
}  // namespace cellkey

inline bool IsDigitKey(int key) { return key >= '0' && key <= '9'; }
inline bool IsHexDigitKey(int key)
{
    return IsDigitKey(key) || (key >= 'a' && key <= 'f') || (key >= 'A' && key <= 'F');
}
inline bool IsPrintableKey(int key) { return key >= cellkey::FirstPrintable && key <= cellkey::LastPrintable; }
inline bool OnGrid(const cmcCellCapsule* cap) { return cap->Grid != nullptr; }
// Whether the call brings input (a key, an edited text or a pick) rather
// than only asking for the cell's text.
inline bool HasInput(const cmcCellCapsule* cap) { return cap->Key != 0 || cap->Phase != cpKeyOrRender; }

// The display text, wholly selected.
void ShowText(cmcCellCapsule* cap, std::string text);
// Where the cell's text stands across the cell for this drawing, as the
// '<', '^' and '>' of the cell's code place it.
namespace cellplace {
constexpr int Left = 0;
constexpr int Centre = 1;
constexpr int Right = 2;
}  // namespace cellplace
void PlaceHorz(cmcCellCapsule* cap, int horz);
// In-place editing with the current text wholly selected.
void StartEdit(cmcCellCapsule* cap, CellExecResult& result);
// In-place editing with the given text, the caret at selStart.
void StartEditWith(cmcCellCapsule* cap, std::string text, int selStart, int selLength, CellExecResult& result);
// In-place editing that starts with the typed character (which replaces the
// value), the caret after it.
void StartEditTyped(cmcCellCapsule* cap, int key, CellExecResult& result);

// True, with the picked index, when the call is a pick (phase 2) from a
// list whose cells have the label.
bool PickedFrom(const cmcCellCapsule* cap, int label, int& index);
// The label of the parent capsule's cell, or -1 without one.
int ParentLabel(const cmcCellCapsule* cap);

// The main object's value-label cache.
cmcFCache& ValueLabelCache();
// Line 0 of an overlay key.
std::string OverlayLine(const std::string& key);

// Pop-ups through the installed pop-up service; result erPopupOpened when
// the window opened.
void OpenChoiceList(cmcCellCapsule* cap, int label, int focus, const std::string& key, CellExecResult& result);
void OpenPicker(cmcCellCapsule* cap, int label, int focus, const std::string& key, const std::string& code,
                CellExecResult& result);

// Calls fn(line, column, cell) for every cell of the lines of "<key>_Cells"
// before the first line that starts with '#'. The cells are parsed as
// written (no loops expanded), with ten counter slots that start at 0.
void ForEachListCell(const std::string& key, const std::function<void(int line, int column, const cmcCellObj& cell)>& fn);
// A list cell's label text: its argument when it has one, else its text.
std::string ListCellText(const cmcCellObj& cell);

// Upper-cases ASCII letters.
std::string UpperAscii(std::string text);
// Trims blanks and tabs at both ends.
std::string Trimmed(std::string text);
