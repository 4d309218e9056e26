#pragma once
// The free-text editor: the borderless pop-up in which a text that the
// radio shows on its dot-matrix display (a channel, bank or list name, a
// message) is edited. From the top: a one-line text field, a preview of the
// text in the radio's display characters, a table of every character of the
// radio's set (for those the keyboard cannot type), and OK and Cancel.
//
// Characters that are not plain printable ones stand in the text field in
// their escaped form ('%' and two hexadecimal digits, "%%" for '%'). Only
// the printable ASCII characters are typed into the field as themselves: a
// typed character outside them is refused, and one that arrives otherwise
// (pasted) becomes a blank, so that the field never holds a character the
// radio does not know.
//
// The edited text goes back to the cell that opened the editor (phase 2)
// on OK, on Enter and when the editor loses activation (a click elsewhere)
// or the pop-ups are told to close, at most once. Cancel and Esc close it
// without a change, and so does the going of the sheet that opened it.
//
// The object frees itself when its window is destroyed; whoever opens the
// editor does not keep it.
#include "cells/indActiveCell.h"
#include "core/cmcBuff.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcEvMan.h"
#include "platform/base/ShiftState.h"

#include <memory>
#include <string>

class cmcGTex;
class cuiSheet;
namespace plat {
class Button;
class Canvas;
class Control;
class Form;
class Memo;
class PaintBox;
class Panel;
} // namespace plat

class cuiFText {
public:
    // The sheet key of the character table.
    static constexpr const char* TableKey = "GI_Sheet_Sel_Text";

    // Builds and shows the editor for the originating capsule (copied) with
    // the text's bytes, wholly selected or with the caret after them, and
    // the number of display characters the preview shows.
    cuiFText(const cmcCellCapsule& origin, cmcGTex* texts, const cmcBuff& text, bool selectAll, int maxLength);
    ~cuiFText();
    cuiFText(const cuiFText&) = delete;
    cuiFText& operator=(const cuiFText&) = delete;

    // The cell handler of the character table.
    CellExecResult Exec(cmcCellCapsule* capsule, int notify);
    // Replaces the field's selection with the escaped form of the code; the
    // caret stands after it.
    void InsertChar(int code);
    // Hands the field's text to the originating cell (once) and closes.
    void CommitText();

    void OnFormClose();
    void OnFormDestroy();
    void OnFormDeactivate();
    void OnPreviewPaint(plat::Canvas& canvas);
    void OnMemoChange();
    void OnMemoKeyDown(int& key, plat::ShiftState shift);
    void OnMemoKeyPress(char32_t& ch);
    void OnWindowKeyDown(int& key, plat::ShiftState shift);
    void OnOkClick();
    void OnCancelClick();
    void OnEvent(const dst_Event* event);

    // The field's text with every character the radio cannot show as a
    // blank: printable ASCII stays, any other character (a UTF-8 sequence
    // counts as one) becomes one blank.
    static std::string DisplayableFieldText(const std::string& text);

    plat::Form* Window() const { return m_window; }
    plat::Memo* TextField() const { return m_memo; }
    plat::PaintBox* Preview() const { return m_preview; }
    cuiSheet* Sheet() const { return m_sheet.get(); }
    plat::Button* OkButton() const { return m_ok; }
    plat::Button* CancelButton() const { return m_cancel; }
    // The bytes of the field's text.
    const cmcBuff& TextBytes() const { return m_buffer; }

    // The editor opened last that is still open; null when none is.
    static cuiFText* Newest();

private:
    void Build(const cmcCellCapsule& origin, bool selectAll);
    void Release();

    plat::Control* m_owner;
    std::unique_ptr<cmcCellCapsule> m_origin;
    cmcGTex* m_texts;
    int m_maxLength;
    plat::Form* m_window = nullptr;
    plat::Panel* m_textPanel = nullptr;
    plat::Panel* m_previewPanel = nullptr;
    plat::Panel* m_sheetPanel = nullptr;
    plat::Memo* m_memo = nullptr;
    plat::PaintBox* m_preview = nullptr;
    plat::Button* m_ok = nullptr;
    plat::Button* m_cancel = nullptr;
    std::unique_ptr<cuiSheet> m_sheet;
    cmcBuff m_buffer;
    indActiveCell m_engine;
    cmcEvSubscription m_events;
    bool m_cancelled = false;
    bool m_committed = false;
};
