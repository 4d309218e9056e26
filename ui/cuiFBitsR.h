#pragma once
// The bit-field editor: the borderless pop-up under a bit-mask cell with
// one column per bit, a header above each, and OK and Cancel. Space or a
// double click toggles a bit; the mask goes back to the cell that opened
// the editor (phase 2, as decimal text).
//
// The mask holds the bit of position n (1 for the first item) at bit
// 26 - n: the first item is bit 25. The editor shows the items of an
// overlay sheet of the caller's naming, or builds its own sheet for a run of
// items from a built-in template, with headers by item kind:
//   1 hexadecimal, 2 decimal with 10 shown as 0, 3 digits and letters (17
//   is "Z"), 4 letters from "A", 5 the positioning sentences (at most three
//   may be chosen), 6 "B" and the bit number counting down to "B0", others
//   decimal.
//
// The editor ends when its window goes: OK commits; Cancel, Esc and the
// going of the sheet that opened it discard; a click elsewhere and the
// pop-ups' close event commit unless the editor was cancelled or its mask
// may not be committed (OK disabled), which discards it. The commit runs at
// most once.
//
// The object frees itself when its window is destroyed; whoever opens the
// editor does not keep it.
#include "cells/indActiveCell.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcEvMan.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class cmcGTex;
class cuiSheet;
namespace plat {
class Button;
class Control;
class Form;
class Panel;
} // namespace plat

class cuiFBitsR {
public:
    // The key of the sheet built from the template.
    static constexpr const char* TemplateKey = "GI_Sheet_FBitsR";
    // Item kinds with rules of their own.
    static constexpr int KindHex = 1;
    static constexpr int KindDecimalZero = 2;
    static constexpr int KindDigitsLetters = 3;
    static constexpr int KindLetters = 4;
    static constexpr int KindSentences = 5;
    static constexpr int KindBitNumbers = 6;
    // Kind 5 takes at most this many items.
    static constexpr int MostSentences = 3;
    // Mark styles: the letter "o", or a check mark.
    static constexpr int MarkLetter = 0;
    static constexpr int MarkCheck = 1;

    // Builds and shows the editor for the originating capsule (copied): the
    // mask, the items first..last with their header kind, the mark style,
    // and the overlay sheet of the caller's texts to show (empty: the
    // template).
    cuiFBitsR(const cmcCellCapsule& origin, cmcGTex* texts, uint32_t mask, int firstItem, int lastItem,
              int itemKind, int markStyle, const std::string& sheetKey);
    ~cuiFBitsR();
    cuiFBitsR(const cuiFBitsR&) = delete;
    cuiFBitsR& operator=(const cuiFBitsR&) = delete;

    // The cell handler of the bit sheet.
    CellExecResult Exec(cmcCellCapsule* capsule, int notify);
    // Hands the mask to the originating cell (once) and closes.
    void CommitMask();

    // The template's lines for the items first..last of a kind.
    static std::vector<std::string> BuildOverlay(int firstItem, int lastItem, int itemKind);
    // The header of item i of a run that ends at lastItem.
    static std::string HeaderText(int item, int lastItem, int itemKind);
    // The mask bit of the cell of position n (1 for the first item).
    static constexpr int BitOfPosition(int n) { return 26 - n; }

    void OnFormClose();
    void OnFormDestroy();
    void OnFormDeactivate();
    void OnOkClick();
    void OnCancelClick();
    void OnEvent(const dst_Event* event);

    uint32_t Mask() const { return m_mask; }
    plat::Form* Window() const { return m_window; }
    cuiSheet* Sheet() const { return m_sheet.get(); }
    plat::Button* OkButton() const { return m_ok; }
    plat::Button* CancelButton() const { return m_cancel; }

    // The editor opened last that is still open; null when none is.
    static cuiFBitsR* Newest();

private:
    void Build(const cmcCellCapsule& origin, const std::string& sheetKey);
    // The number of items set, by position.
    int SetItemCount() const;
    // Whether the mask may be committed (kind 5: at most three items).
    bool MaskAllowed() const;
    void Release();

    plat::Control* m_owner;
    std::unique_ptr<cmcCellCapsule> m_origin;
    cmcGTex* m_texts;
    std::unique_ptr<cmcGTex> m_ownTexts;
    uint32_t m_mask;
    int m_first;
    int m_last;
    int m_kind;
    int m_markStyle;
    plat::Form* m_window = nullptr;
    plat::Panel* m_sheetPanel = nullptr;
    plat::Button* m_ok = nullptr;
    plat::Button* m_cancel = nullptr;
    std::unique_ptr<cuiSheet> m_sheet;
    indActiveCell m_engine;
    cmcEvSubscription m_events;
    bool m_cancelled = false;
    bool m_committed = false;
};
