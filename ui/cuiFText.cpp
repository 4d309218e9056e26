#include "ui/cuiFText.h"

#include "cells/HandlerSupport.h"
#include "cells/TextHandlers.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/StdControls.h"
#include "ui/cuiFlector.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiOpenWindows.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int OuterBevelWidth = 2;
constexpr int PanelBorderWidth = 5;
constexpr int FieldMaxLength = 1024;
constexpr int ButtonGap = 8;
// The cells of the character table: label 1, the index is the code.
constexpr int CharacterLabel = Flex0;
constexpr int KeyDoubleClick = 256;
constexpr int KeyEscape = 27;
// The display characters of one line of the radio's display.
constexpr int CharsPerLine = 12;
// The part of the character table the editor shows at first (a third).
constexpr int TableShownNumerator = 5;
constexpr int TableShownDenominator = 15;

} // namespace

cuiFText* cuiFText::Newest() { return cuiOpenWindows<cuiFText>::Newest(); }

std::string cuiFText::DisplayableFieldText(const std::string& text)
{
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            shown.push_back(IsPrintableKey(c) ? char(c) : ' ');
            ++i;
            continue;
        }
        // One character of several bytes: its lead byte tells how many
        // continuation bytes follow.
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        size_t n = 1;
        while (n < length && i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        shown.push_back(' ');
        i += n;
    }
    return shown;
}

cuiFText::cuiFText(const cmcCellCapsule& origin, cmcGTex* texts, const cmcBuff& text, bool selectAll, int maxLength)
    : m_owner(origin.Owner), m_origin(std::make_unique<cmcCellCapsule>()), m_texts(texts), m_maxLength(maxLength)
{
    m_origin->Assign(origin);
    m_buffer.Assign(text);
    cuiOpenWindows<cuiFText>::Add(this);
    Build(origin, selectAll);
}

cuiFText::~cuiFText()
{
    m_events.Reset();
    cuiOpenWindows<cuiFText>::Remove(this);
    // The field's handlers must not reach a half-destroyed editor.
    if (m_memo != nullptr) m_memo->OnChange = nullptr;
    m_sheet.reset();
}

void cuiFText::Build(const cmcCellCapsule& origin, bool selectAll)
{
    m_window = new plat::Form(m_owner);
    m_window->SetBorderStyle(plat::bsNone);
    m_window->SetBorderIcons(plat::biSystemMenu);
    m_window->SetCaption(plat::ApplicationTitle());
    m_window->SetKeyPreview(true);

    auto* framePanel = new plat::Panel(*m_window);
    plat::Container& frame = *framePanel;
    framePanel->SetAlign(plat::alClient);
    framePanel->SetBevelOuter(plat::bvRaised);
    framePanel->SetBevelWidth(OuterBevelWidth);

    m_textPanel = new plat::Panel(frame);
    m_textPanel->SetAlign(plat::alTop);
    m_textPanel->SetBevelOuter(plat::bvNone);
    m_textPanel->SetBorderWidth(PanelBorderWidth);
    m_previewPanel = new plat::Panel(frame);
    m_previewPanel->SetAlign(plat::alTop);
    m_previewPanel->SetBevelOuter(plat::bvNone);
    auto* buttonPanel = new plat::Panel(frame);
    buttonPanel->SetAlign(plat::alBottom);
    buttonPanel->SetBevelOuter(plat::bvNone);
    buttonPanel->SetBorderWidth(PanelBorderWidth);
    m_sheetPanel = new plat::Panel(frame);
    m_sheetPanel->SetAlign(plat::alClient);
    m_sheetPanel->SetBevelOuter(plat::bvNone);

    m_ok = new plat::Button(*buttonPanel);
    m_ok->SetCaption(g_GTex.GetText("GI_AppInd_Button_OkCancel", 0));
    m_ok->SetDefault(true);
    m_cancel = new plat::Button(*buttonPanel);
    m_cancel->SetCaption(g_GTex.GetText("GI_AppInd_Button_OkCancel", 1));
    m_cancel->SetCancel(true);

    // The text field, in the edited cell's font.
    m_memo = new plat::Memo(*m_textPanel);
    m_memo->SetAlign(plat::alClient);
    m_memo->SetWordWrap(false);
    m_memo->SetMaxLength(FieldMaxLength);
    if (const cmcCellObj* cell = origin.Cell) {
        const plat::Font* source = cell->Font ? cell->Font.get() : (cell->Base ? cell->Base->Font.get() : nullptr);
        if (source != nullptr) m_memo->SetFont(*source);
    }
    const int fieldFrame = m_textPanel->Height() - m_memo->ClientHeight();
    const int fontHeight = std::abs(m_memo->GetFont().height);
    m_textPanel->SetHeight(fieldFrame + fontHeight * 3 / 2);
    m_memo->SetRawText(EscapeCellText(std::string_view(reinterpret_cast<const char*>(m_buffer.Data()),
                                                       size_t(m_buffer.Length()))));
    if (selectAll) {
        m_memo->SetSelStart(0);
        m_memo->SetSelLength(int(m_memo->RawText().size()));
    } else {
        m_memo->SetSelStart(int(m_memo->RawText().size()));
    }
    m_memo->OnChange = [this] { OnMemoChange(); };
    m_memo->OnKeyDown = [this](int& key, plat::ShiftState shift) { OnMemoKeyDown(key, shift); };
    m_memo->OnKeyPress = [this](char32_t& ch) { OnMemoKeyPress(ch); };

    m_preview = new plat::PaintBox(*m_previewPanel);
    m_preview->SetAlign(plat::alClient);
    m_preview->OnPaint = [this](plat::Canvas& canvas) { OnPreviewPaint(canvas); };
    m_previewPanel->SetHeight(2 * m_textPanel->Height() + 2);

    m_sheet = std::make_unique<cuiSheet>(m_sheetPanel, &origin, CharacterLabel, 0, m_texts, TableKey, origin.Images);
    m_sheet->SetCellHandler([this](cmcCellCapsule* capsule, int notify) { return Exec(capsule, notify); });
    m_sheet->Show();
    m_sheet->Grid()->SetScrollBars(plat::ssVertical);

    // The table's whole width and a third of its height; the buttons at the
    // right of their panel, OK left of Cancel.
    buttonPanel->SetHeight(m_ok->Height() + 2 * PanelBorderWidth);
    m_window->SetClientWidth(m_window->ClientWidth() + m_sheet->FullWidth() - m_sheetPanel->ClientWidth());
    m_window->SetClientHeight(m_window->ClientHeight() +
                              m_sheet->FullHeight() * TableShownNumerator / TableShownDenominator -
                              m_sheetPanel->ClientHeight());
    m_cancel->SetBounds(buttonPanel->ClientWidth() - PanelBorderWidth - m_cancel->Width(), PanelBorderWidth,
                        m_cancel->Width(), m_cancel->Height());
    m_ok->SetBounds(m_cancel->Left() - ButtonGap - m_ok->Width(), PanelBorderWidth, m_ok->Width(), m_ok->Height());
    m_cancel->SetAnchors(plat::akRight | plat::akTop);
    m_ok->SetAnchors(plat::akRight | plat::akTop);
    PlacePopupAtCell(origin, *m_window);

    m_ok->OnClick = [this] { OnOkClick(); };
    m_cancel->OnClick = [this] { OnCancelClick(); };
    m_window->OnClose = [this] { OnFormClose(); };
    m_window->OnDestroy = [this] { OnFormDestroy(); };
    m_window->OnDeactivate = [this] { OnFormDeactivate(); };
    m_window->OnKeyDown = [this](int& key, plat::ShiftState shift) { OnWindowKeyDown(key, shift); };
    m_window->Show();
    m_memo->SetFocus();
    m_events = cmcEvSubscription(MemberEventHandler<&cuiFText::OnEvent>(this));
}

CellExecResult cuiFText::Exec(cmcCellCapsule* capsule, int /*notify*/)
{
    const cmcCellObj* cell = capsule->Cell;
    if (cell == nullptr) return erNothing;
    const int originLabel = m_origin->Cell != nullptr ? m_origin->Cell->Label : -1;
    if (cell->Label != CharacterLabel) {
        if (cell->Label == originLabel) return erNothing;
        return m_engine.Exec(capsule, 0);
    }
    const int code = cell->Index;
    const int key = capsule->Key;
    if (key == cellkey::Space || key == KeyDoubleClick) {
        InsertChar(code);
        if (key == KeyDoubleClick) m_memo->SetFocus();
    } else if (key == cellkey::Enter) {
        CommitText();
    } else if (key == cellkey::Backspace || key == KeyEscape) {
        m_memo->SetFocus();
    } else if (IsPrintableKey(key)) {
        // A typed key is the keyboard's character, which is the radio's
        // only for printable ASCII.
        InsertChar(key);
        m_memo->SetFocus();
    }
    capsule->Key = 0;
    const char c = char(code);
    DrawLcdText(capsule, std::string_view(&c, 1), 1, 1, 1, false);
    return erNothing;
}

void cuiFText::InsertChar(int code)
{
    if (code < 0 || code > 255 || m_committed) return;
    const char byte = char(code);
    m_memo->SetSelText(EscapeCellText(std::string_view(&byte, 1)));
}

void cuiFText::OnMemoChange()
{
    const std::string raw = m_memo->RawText();
    const std::string shown = DisplayableFieldText(raw);
    if (shown != raw) {
        // A character for every character: the caret stays where it was.
        const int start = m_memo->SelStart();
        const int length = m_memo->SelLength();
        m_memo->SetRawText(shown); // comes back here with the clean text
        m_memo->SetSelStart(start);
        m_memo->SetSelLength(length);
        return;
    }
    const std::string bytes = UnescapeCellText(raw);
    m_buffer.AssignBytes(bytes.data(), int(bytes.size()));
    if (m_preview != nullptr) m_preview->Invalidate();
}

void cuiFText::OnPreviewPaint(plat::Canvas& canvas)
{
    const int width = m_preview->Width();
    const int height = m_preview->Height();
    canvas.FillRect({0, 0, width, height});
    canvas.GetBrush() = plat::Brush{plat::clBlack, plat::bsSolid};
    canvas.FrameRect({0, 0, width, height});

    cmcCellObj cell;
    plat::Rect rect{1, 2, width - 2, height - 2};
    cmcCellCapsule scratch;
    scratch.Owner = m_previewPanel;
    scratch.Canvas = &canvas;
    scratch.Cell = &cell;
    scratch.CellRect = &rect;
    // As the cell shows it: with the one-line layout only the first line of
    // the display.
    const int length = LcdLayoutFlag() ? m_maxLength : std::min(m_maxLength, CharsPerLine);
    const std::string text(reinterpret_cast<const char*>(m_buffer.Data()), size_t(m_buffer.Length()));
    DrawLcdText(&scratch, text, length, CharsPerLine, (length + CharsPerLine - 1) / CharsPerLine, false);
}

void cuiFText::OnMemoKeyDown(int& key, plat::ShiftState)
{
    if (key == plat::VK_RETURN) {
        key = 0;
        CommitText();
    } else if (key == plat::VK_ESCAPE) {
        key = 0;
        m_cancelled = true;
        Release();
    }
}

void cuiFText::OnMemoKeyPress(char32_t& ch)
{
    // Control characters (Backspace, Ctrl with a letter) keep their work.
    if (ch >= 0x7F) ch = 0;
    // A typed '%' is a percent sign: it goes into the field escaped, as the
    // table puts it there, so that the digits typed after it stay digits.
    if (ch == '%') {
        ch = 0;
        InsertChar('%');
    }
}

void cuiFText::OnWindowKeyDown(int& key, plat::ShiftState)
{
    // Esc in the character table hands the focus back to the text field
    // before the Cancel button can take it.
    if (key == plat::VK_ESCAPE && m_sheet != nullptr && m_sheet->Grid()->Focused()) {
        key = 0;
        m_memo->SetFocus();
    }
}

void cuiFText::CommitText()
{
    if (m_committed) return;
    m_committed = true;
    cmcCellObj scratchCell;
    scratchCell.Label = CharacterLabel;
    cmcCellCapsule scratch;
    scratch.Cell = &scratchCell;
    cmcCellCapsule commit;
    commit.Assign(*m_origin);
    commit.Parent = &scratch;
    commit.Phase = cpPicked;
    commit.Key = 0;
    commit.EditText = m_memo->RawText();
    m_engine.Exec(&commit, 1);
    Release();
}

void cuiFText::Release() { m_window->Release(); }

void cuiFText::OnFormClose() { m_window->Release(); }

void cuiFText::OnFormDestroy() { delete this; }

void cuiFText::OnFormDeactivate()
{
    if (!m_cancelled) CommitText();
    Release();
}

void cuiFText::OnOkClick() { CommitText(); }

void cuiFText::OnCancelClick()
{
    m_cancelled = true;
    Release();
}

void cuiFText::OnEvent(const dst_Event* event)
{
    const bool ownerCloses = event->IsClosingOf(m_owner);
    if (ownerCloses) {
        m_cancelled = true;
        Release();
    } else if (event->type == ev::ClosePopups) {
        OnFormDeactivate();
    }
}
