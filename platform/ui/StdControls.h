#pragma once
// The simple controls: panels, labels, buttons, single-line edits, memos and
// progress bars. Each is created with `new` on its parent container, which
// frees it.
#include "platform/ui/Control.h"

#include <functional>
#include <string>
#include <vector>

namespace plat {

enum BevelCut { bvNone, bvLowered, bvRaised };

// A container with an outer and an inner bevel around a border; aligned
// children share the area inside them.
class Panel : public Container {
public:
    explicit Panel(Container& parent);

    BevelCut BevelOuter() const { return m_outer; }
    void SetBevelOuter(BevelCut cut);
    BevelCut BevelInner() const { return m_inner; }
    void SetBevelInner(BevelCut cut);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);

    Rect AlignRect() const override;

private:
    friend class PanelWidget;
    void BevelsChanged();
    BevelCut m_outer = bvRaised;
    BevelCut m_inner = bvNone;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
};

// Plain text, '&' shown as it is; line breaks start new lines. With auto
// size (the default) the label takes the size of its text.
class Label : public Control {
public:
    explicit Label(Container& parent);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    // Where the text stands within the label's height.
    enum TextLayout { tlTop, tlCenter, tlBottom };
    TextLayout Layout() const { return m_layout; }
    void SetLayout(TextLayout layout);

private:
    void FitText();
    std::string m_caption;
    bool m_autoSize = true;
    TextLayout m_layout = tlTop;
};

// A push button. A click sets the form's modal result to the button's own
// (when that is not mrNone) and then runs OnClick. The default button
// answers Enter, the cancel button Esc, wherever the focus is on the form.
class Button : public Control {
public:
    explicit Button(Container& parent);

    const std::string& Caption() const { return m_caption; }
    // '&' marks the access key; "&&" shows an ampersand.
    void SetCaption(const std::string& caption);
    bool Default() const { return m_default; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool isCancel) { m_cancel = isCancel; }
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }

    std::function<void()> OnClick;
    // Clicks the button as a person would: nothing happens while the button
    // or a container it lies on is hidden or disabled, or its form disabled.
    void Click();

    // A focused button that is disabled leaves the focus with its form, never
    // with another button: a key meant for this one must not press that.
    void SetEnabled(bool enabled) override;

private:
    std::string m_caption;
    bool m_default = false;
    bool m_cancel = false;
    int m_modalResult = 0;
};

// A single-line edit.
class Edit : public Control {
public:
    explicit Edit(Container& parent);

    std::string Text() const;
    void SetText(const std::string& text);
    // The most characters a person can enter (0: no limit of its own).
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int length);
    // The character shown for each character of the text (0: the text).
    char32_t PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(char32_t ch);
    // Only the digits 0 to 9 can be typed or pasted, and input methods are
    // off.
    bool NumbersOnly() const { return m_numbersOnly; }
    void SetNumbersOnly(bool numbersOnly);
    // Only the printable ASCII characters (blank to '~') can be typed or
    // pasted, one byte each, and input methods are off: for texts that a
    // radio stores byte for byte.
    bool PrintableAsciiOnly() const { return m_printableAsciiOnly; }
    void SetPrintableAsciiOnly(bool asciiOnly);
    void SelectAll();

private:
    // The validator of the character limits set (none, digits, ASCII).
    void ApplyCharacterLimit();
    // Input methods are off while a limit is set.
    void ApplyInputMethod();

    int m_maxLength = 0;
    char32_t m_passwordChar = 0;
    bool m_numbersOnly = false;
    bool m_printableAsciiOnly = false;
};

enum ScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line edit seen as a list of lines. Enter typed into a memo stays
// in the memo.
class Memo : public Control {
public:
    explicit Memo(Container& parent);

    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    ScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(ScrollStyle bars);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wrap);

    int LineCount() const { return static_cast<int>(m_lines.size()); }
    // Line i (0-based); "" outside the lines.
    std::string Line(int index) const;
    // Appends a line (a text with line breaks appends several) and shows
    // the end of the text.
    void AddLine(const std::string& line);
    void Clear();
    // The lines, each followed by "\n".
    std::string Text() const;
    // Replaces the lines; "\n" and "\r\n" end lines, and a final line break
    // adds no empty line.
    void SetText(const std::string& text);

    // The text as it stands in the memo: its lines joined by "\n", without a
    // line break after the last one; setting it replaces the lines.
    std::string RawText() const;
    void SetRawText(const std::string& text);
    // The most characters a person can enter (0: no limit): typed and
    // pasted text that would pass it loses its end.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int length);
    // A border around the text (on by default).
    bool Border() const { return m_border; }
    void SetBorder(bool border);
    // The caret and the selection, counted in characters of RawText: the
    // selection starts at SelStart and is SelLength characters long.
    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int start);
    void SetSelLength(int length);
    // Forgets what Undo could take back.
    void ClearUndo();
    // The height of the area the text is shown in (inside the border).
    int ClientHeight() const;
    // Replaces the selection (at the caret: nothing) with the text; the
    // caret stands after it.
    void SetSelText(const std::string& text);

    // After every change of the text, by a person or by the program.
    std::function<void()> OnChange;

protected:
    bool WantsReturn() const override { return true; }

private:
    void ShowLines();
    void TakeWidgetText();
    void CutToMaxLength(int position, int added);
    std::vector<std::string> m_lines;
    bool m_readOnly = false;
    bool m_border = true;
    int m_maxLength = 0;
    bool m_wordWrap = true;
    bool m_updating = false;
    ScrollStyle m_scrollBars = ssNone;
};

class ProgressBar : public Control {
public:
    explicit ProgressBar(Container& parent);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    // The range; the position is kept inside it.
    void SetRange(int min, int max);
    void SetMin(int min) { SetRange(min, m_max); }
    void SetMax(int max) { SetRange(m_min, max); }
    void SetPosition(int position);

private:
    void Apply();
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
};

} // namespace plat
