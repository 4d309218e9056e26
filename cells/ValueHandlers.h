#pragma once
// The value handlers of the cell engine for plain numbers, fixed-point
// numbers, durations, hexadecimal digits, bit fields, choice lists and plain
// texts, with the small operations they share.
//
// A label behaviour never formats or parses a value itself: it hands the
// value to a handler, which
//   - writes the display text into capsule->Text (the whole text selected
//     for editing unless a handler says otherwise);
//   - applies the capsule's key (only when the cell lies on a grid), the
//     text typed in the in-place editor (phase 1) or the value picked in a
//     pop-up (phase 2: the parent capsule's cell carries the list's label
//     and the picked index);
//   - opens the pop-up that belongs to the value (result erPopupOpened) or
//     asks for in-place editing (erStartEdit);
//   - returns non-zero when the value changed; the behaviour then writes it
//     back.
// A value corrected while the cell is only drawn is shown corrected but is
// not a change: drawing never writes the image.
#include "core/cmcCellCapsule.h"

#include <cstdint>
#include <string>
#include <string_view>

class cmcEeprom;

// ---- Choice lists (overlay sheets "GI_Sheet_Sel_...": the cells of one label
// in "<key>_Cells" are the entries; a cell's index is the value, its
// argument or text the label) ----

int ChooseFromListBy(cmcCellCapsule* cap, const std::string& key, int label, int& value, int focus,
                     CellExecResult& result);
// Label Flex0, focused on the value.
int ChooseFromList(cmcCellCapsule* cap, const std::string& key, int& value, CellExecResult& result);
// Label FlexMark, focused on the value.
int ChooseFromListMark(cmcCellCapsule* cap, const std::string& key, int& value, CellExecResult& result);
int EditChoiceChar(cmcCellCapsule* cap, const std::string& key, uint8_t& value, CellExecResult& result);
// For capsules that carry a parent that is not a pick of this list: such a
// parent is ignored.
int ChooseFromList2By(cmcCellCapsule* cap, const std::string& key, int label, int& value, int focus,
                      CellExecResult& result);
int ChooseFromList2(cmcCellCapsule* cap, const std::string& key, int& value, CellExecResult& result);
// The model's picker (sheet code chooses the rows); no display text.
int PickFromList(cmcCellCapsule* cap, const std::string& key, int label, int& value, int focus,
                 const std::string& sheetCode, CellExecResult& result);

// How ChooseFromCells matches a typed text.
enum CellsMatch : int {
    cmNearestNumber = 0, // the entry whose text as a number is nearest; "of..." is 0
    cmNamePrefix = 1,    // the first entry whose text begins with the typed text
    cmNameThenNumber = 2 // two or more characters: by name, else by number
};
int ChooseFromCells(cmcCellCapsule* cap, const std::string& key, int label, int& value, int mode,
                    CellExecResult& result);

// A selection list one of whose entries (label selLabel) stands for "a
// number", and a number list (label numLabel).
int EditBoundedValueBy(cmcCellCapsule* cap, const std::string& selKey, const std::string& numKey, int selLabel,
                       int numLabel, int& value, bool offAllowed, CellExecResult& result);
int EditBoundedValue(cmcCellCapsule* cap, const std::string& selKey, const std::string& numKey, int& value,
                     CellExecResult& result);

// ---- Numbers, durations and digits ----

// A decimal number filled with zeros on the left to the width (unless
// noZeros); Space and Backspace step and wrap.
int EditNumber(cmcCellCapsule* cap, int& value, int width, int min, int max, bool noZeros, CellExecResult& result);
// The integer core: the cell shows value + offset (or the fixed text);
// typed numbers are taken to the nearest multiple of the step; Space and
// Backspace step and wrap, or stop at the ends; with clamp a stored value
// outside min..max is corrected. A range whose minimum lies above its
// maximum shows the value and takes no input.
int EditIntValue(cmcCellCapsule* cap, int& value, int min, int max, int offset, int step, const char* fixedText,
                 bool clamp, bool stopAtEnds, CellExecResult& result);
int EditIntWrap(cmcCellCapsule* cap, int& value, int min, int max, CellExecResult& result);
int EditIntClamp(cmcCellCapsule* cap, int& value, int min, int max, CellExecResult& result);
int EditByteValue(cmcCellCapsule* cap, uint8_t& value, int min, int max, CellExecResult& result);
int EditByteValueEx(cmcCellCapsule* cap, uint8_t& value, int min, int max, int offset, int step,
                    const char* fixedText, bool clamp, CellExecResult& result);
// A fixed-point number stored as number x 10^storedDecimals, shown with
// shownDecimals; up to `trim` trailing zeros (and then the point) are cut.
int EditDecimal(cmcCellCapsule* cap, int& value, int storedDecimals, int shownDecimals, double low, double high,
                int step, bool stepsAllowed, int trim, bool blankOnEnter, CellExecResult& result);
int EditScaledValue(cmcCellCapsule* cap, int& value, int storedDecimals, int shownDecimals, double low,
                    double high, int step, bool stepsAllowed, bool blankOnEnter, CellExecResult& result);
// offMode 1: the value 0 shows the overlay's "off" text while drawn.
constexpr int TimerOffShown = 1;
// A duration in seconds with three decimals; the value counts 1/u seconds.
int EditTime(cmcCellCapsule* cap, int& value, int unitsPerSecond, int min, int max, int offMode, int trim,
             CellExecResult& result);
int EditTimeByte(cmcCellCapsule* cap, uint8_t& value, int unitsPerSecond, int offMode, CellExecResult& result);
int EditTimeByteEx(cmcCellCapsule* cap, uint8_t& value, int unitsPerSecond, int min, int max, int offMode,
                   CellExecResult& result);
// A duration as minutes and seconds; the value counts steps of
// secondsPerStep seconds.
int EditMinSec(cmcCellCapsule* cap, int& value, int minSeconds, int maxSeconds, int secondsPerStep, int offMode,
               CellExecResult& result);
int EditHexNumber(cmcCellCapsule* cap, int& value, int min, int max, int digits, CellExecResult& result);
int EditHexDigit(cmcCellCapsule* cap, int& value, bool fAllowed, CellExecResult& result);
// An int shown as n hexadecimal digits; EditDigitString keeps one digit per
// int.
int EditHexDigits(cmcCellCapsule* cap, int& value, int n, bool lettersAllowed, CellExecResult& result);
int EditDigitString(cmcCellCapsule* cap, int* digits, int n, bool lettersAllowed, CellExecResult& result);

// ---- Bits, letters and texts ----

// Item styles of EditBitField.
constexpr int BitsAsLetters = 3; // items from 10 on show as letters A..Z
// Up to 25 items first..last of a value, most significant bit first.
int EditBitField(cmcCellCapsule* cap, int& value, int first, int last, int style, const std::string& sheetKey,
                 CellExecResult& result);
// Bit n of a bit array (byte n / 8, bit 7 - n % 8) as a choice of
// "GI_Sheet_Sel_UserSetEnable"; a bit past the array does nothing.
int EditUserSetBit(cmcCellCapsule* cap, uint8_t* bytes, int length, int bit, CellExecResult& result);
// Option letters A, B, E and H of two flag bytes.
int EditFlagLetters(cmcCellCapsule* cap, const std::string& key, uint8_t& flags0, uint8_t& flags1,
                    CellExecResult& result);
// A fixed-length text of printable characters filled up with blanks.
int EditPlainText(cmcCellCapsule* cap, char* bytes, int length, CellExecResult& result);
// A fixed-length lower-case text filled up with zero bytes.
int EditPassword(cmcCellCapsule* cap, char* bytes, int length, CellExecResult& result);

// ---- Shared operations ----

// Brings the value into min..max; 1 when it changed it.
int ClampToRange(int min, int max, int& value);
// Digits, '.' and '-' of the text (at most 9 of them) read as a real and
// taken to the nearest integer (halves away from zero); 0 when they read as
// no number.
int ParseDecimal(std::string_view text);
// The text without every character that is neither a digit nor in the set.
std::string StripToDigitsAnd(std::string_view text, std::string_view set);
void KeepDigitsAnd(std::string& text, std::string_view set);
// The index of the first cell of the label on the last line of
// "<key>_Cells" that has one, and the highest index of the label found
// (each line scanned up to the first cell above the highest so far); 0 when
// none.
int FirstIndexOfLabel(const std::string& key, int label);
int LastIndexOfLabel(const std::string& key, int label);
// A warning box with OK and Cancel showing the key's lines; the answer
// (plat::IDOK for OK).
int ConfirmOkCancel(const std::string& key);
// "<bank + 1>: <name>" with the bank's 12-byte name (up to its first zero
// byte, other unprintable bytes shown as '*').
std::string FormatBankName(const cmcEeprom& image, int bank);
// The bank's 12-byte name up to its first zero byte, other unprintable bytes
// shown as '*'.
std::string BankNameText(const cmcEeprom& image, int bank);
bool IsAllBlank(const char* bytes, int n);
void CopyBytes(char* destination, const char* source, int n);
// Bytes outside 32..126 become '*' (and a zero byte follows the n bytes:
// the buffer holds n + 1) or blanks.
void MaskNonPrintable(char* bytes, int n);
void BlankNonPrintable(char* bytes, int n);
// Whether sheets may edit cells: always.
bool CellEditAllowed();

// The model type's channel record kind: 2 for the PMR type (1), else 1.
int MchKindOfModelType(int modelType);
int MchRecordKind();
bool IsLmrModel();
bool IsPmrModel();
// Whether the 7-column user character set (record kind 3) is in use rather
// than the 5-column one (kind 4): the printing's override, else the open
// sheet, else the view type.
bool UsesCEditCharSet();

// The channels first..last whose record is active; -1 for a range outside
// 0..511 or reversed.
int CountActiveChannelsOf(const cmcEeprom& image, int first, int last);
int CountActiveChannelsIn(int first, int last);
int CountActiveChannels();
// The model keeps no used quantity of a bank.
int BankUsedQty(int bank);
