#pragma once
// One parsed overlay cell: its behaviour (category, label, index, argument),
// its layout attributes, colour, font, pop-up menu, image and display text.
//
// A row text is a sequence of cells separated by '|'. A cell is attribute
// text in braces plus display text outside them:
//
//   {<B(Color=clRed)(%CT_Mch.CL_Mch_Tot[@ch0]:arg)(@ch0++)}Text\nLine 2
//
// Attribute letters: < ^ > (horizontal placement), ~ - _ (vertical
// placement), W H + B (flag byte A bits 4-7), X Q (flag byte B code 1 or 2),
// S T (flag byte B bits 2-3); '!' negates the next letter. Groups in
// parentheses: ($model), (Color=name), (Font=spec), (%cellref), (@chN++),
// (@chN=k), (@chN), (ImageIndex=n), (PopupMenu=key), (FlagN=0|1).
// A cell reference is [category '.'] label ['[' index ']'] [':' argument].
// '\' escapes the next character; bytes of multi-byte characters are never
// separators, escapes or braces.
//
// Faults in a cell are configuration faults of the overlay and end the
// program (plat::Fatal).
#include "core/CellNames.h"
#include "platform/base/Color.h"
#include "platform/base/Font.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The counter slots @ch0 to @ch9 that a layout engine owns while it parses rows.
using CellCounters = std::array<int, 10>;

class cmcCellObj {
public:
    // Flag byte A.
    static constexpr uint8_t HorzMask = 0x03;  // placement code 0 '<', 1 '^', 2 '>'
    static constexpr uint8_t VertMask = 0x0C;  // placement code 0 '~', 1 '-', 2 '_' (shifted by 2)
    static constexpr uint8_t LetterW = 0x10;
    static constexpr uint8_t LetterH = 0x20;
    static constexpr uint8_t LetterPlus = 0x40;
    static constexpr uint8_t LetterB = 0x80;
    // Flag byte B.
    static constexpr uint8_t XQMask = 0x03;    // code 0 none, 1 'X', 2 'Q'
    static constexpr uint8_t LetterS = 0x04;
    static constexpr uint8_t LetterT = 0x08;
    // Flag0 to Flag3 are bits 4-7 of flag byte B, Flag4 to Flag7 bits 0-3 of flag byte C.

    // Deepest chain of ($model) groups inside one another.
    static constexpr int MaxModelDepth = 16;

    cmcCellObj();
    cmcCellObj(const cmcCellObj& other);
    cmcCellObj& operator=(const cmcCellObj& other);
    ~cmcCellObj();

    // Parses the first cell of the row text into cell, on the base cell (or
    // none), and returns the rest of the row (after the cell's '|'). The
    // counter slots may be null when the caller has none. With skip set the
    // cell only becomes a copy of its base and the row advances by one cell.
    static std::string ParseCell(cmcCellObj* cell, std::string_view rowText, CellCounters* counters,
                                 const cmcCellObj* base, bool skip);

    // Frees the strings and the font; label none, image index -1, flags clear
    // (bits 4-7 of flag byte C kept), colour clWindow; category and index
    // stay. With a base, every field is then copied from it except font and
    // pop-up menu key.
    void Reset();
    // A deep copy of every field (the font only when the other has one).
    void Assign(const cmcCellObj& other);

    void SetText(std::string_view text) { DisplayText = std::string(text); }
    // The display text, or "" when the cell has none.
    const std::string& GetText() const;
    // The first non-empty pop-up menu key of the cell or its chain of bases;
    // nullptr when none has one.
    const std::string* FindPopupMenu() const;
    void GetCellRef(dst_CellRef& out) const;

    // Flag0 to Flag7 (n outside 0 to 7: false, and nothing is set).
    bool GetFlag(int n) const;
    void SetFlag(int n, bool on);
    int HorzPlacement() const { return FlagsA & HorzMask; }
    int VertPlacement() const { return (FlagsA & VertMask) >> 2; }
    int XQCode() const { return FlagsB & XQMask; }

    const cmcCellObj* Base = nullptr;
    CellCounters* Counters = nullptr;   // set only while the cell is parsed
    int Category = CT_NoCategory;
    int Label = CL_NoLabel;
    int Index = 0;
    std::optional<std::string> Argument;
    int ImageIndex = -1;
    uint8_t FlagsA = 0;
    uint8_t FlagsB = 0;
    uint8_t FlagsC = 0;
    plat::Color Color = plat::clWindow;
    std::unique_ptr<plat::Font> Font;
    std::optional<std::string> PopupMenu;
    std::optional<std::string> DisplayText;
    // On a base cell: what the font heights and sizes that the cells built
    // on it give outright are multiplied by (a sheet laid out in the
    // screen's pixels and printed); 1 elsewhere.
    double FontScale = 1.0;

private:
    void FreeStrings();
    void SplitBraces(std::string_view cellText, std::string& attributes, std::string& display) const;
    void ParseAttributes(std::string_view text, int depth);
    void ParseGroup(std::string_view group, int depth);
    void ParseDisplayText(std::string_view text);
    // The slot of a counter reference "@chN" at the front of the text; the
    // text must not go on with another digit. Fatal when it is not one, or
    // when the cell is parsed without counter slots.
    int ChannelValueRef(std::string_view text) const;
    void ParseCellRef(std::string_view text);
};
