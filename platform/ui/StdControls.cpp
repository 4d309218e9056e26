#include "platform/ui/StdControls.h"

#include "platform/ui/Form.h"
#include "platform/ui/QtAccess.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace plat {

namespace {

// Whether a person could reach the control: it and every container it lies
// on are visible and enabled, and so is its form (shown or not).
bool Usable(const Control* control)
{
    for (const Control* c = control; c != nullptr; c = c->Parent()) {
        if (!c->Enabled()) return false;
        if (c->Parent() != nullptr && !c->Visible()) return false;
    }
    return true;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

// ---- Panel ----

class PanelWidget : public QWidget {
public:
    PanelWidget(QWidget* parent) : QWidget(parent) {}
    Panel* panel = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (panel == nullptr) return;
        QPainter p(this);
        QRect r = rect();
        auto bevel = [&](BevelCut cut) {
            if (cut == bvNone) return;
            const QColor light = palette().color(QPalette::Light);
            const QColor dark = palette().color(QPalette::Dark);
            const QColor topLeft = cut == bvRaised ? light : dark;
            const QColor bottomRight = cut == bvRaised ? dark : light;
            for (int i = 0; i < panel->BevelWidth() && r.width() > 0 && r.height() > 0; ++i) {
                p.setPen(topLeft);
                p.drawLine(r.left(), r.top(), r.right(), r.top());
                p.drawLine(r.left(), r.top(), r.left(), r.bottom());
                p.setPen(bottomRight);
                p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
                p.drawLine(r.right(), r.top(), r.right(), r.bottom());
                r.adjust(1, 1, -1, -1);
            }
        };
        bevel(panel->BevelOuter());
        r.adjust(panel->BorderWidth(), panel->BorderWidth(), -panel->BorderWidth(), -panel->BorderWidth());
        bevel(panel->BevelInner());
    }
};

Panel::Panel(Container& parent) : Container(nullptr, &parent, new PanelWidget(parent.ClientWidget()))
{
    static_cast<PanelWidget*>(Widget())->panel = this;
    Widget()->setAutoFillBackground(true);
    SetBounds(0, 0, 185, 41);
}

void Panel::SetBevelOuter(BevelCut cut)
{
    m_outer = cut;
    BevelsChanged();
}

void Panel::SetBevelInner(BevelCut cut)
{
    m_inner = cut;
    BevelsChanged();
}

void Panel::SetBevelWidth(int width)
{
    m_bevelWidth = std::max(1, width);
    BevelsChanged();
}

void Panel::SetBorderWidth(int width)
{
    m_borderWidth = std::max(0, width);
    BevelsChanged();
}

void Panel::BevelsChanged()
{
    Widget()->update();
    Realign();
}

Rect Panel::AlignRect() const
{
    int inset = m_borderWidth;
    if (m_outer != bvNone) inset += m_bevelWidth;
    if (m_inner != bvNone) inset += m_bevelWidth;
    return {inset, inset, std::max(inset, ClientWidth() - inset), std::max(inset, ClientHeight() - inset)};
}

// ---- Label ----

Label::Label(Container& parent) : Control(nullptr, &parent, new QLabel(parent.ClientWidget()))
{
    auto* label = static_cast<QLabel*>(Widget());
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FitText();
}

void Label::SetCaption(const std::string& caption)
{
    m_caption = caption;
    static_cast<QLabel*>(Widget())->setText(ToQString(caption));
    FitText();
}

void Label::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    FitText();
}

void Label::SetLayout(TextLayout layout)
{
    m_layout = layout;
    const Qt::Alignment vertical = layout == tlCenter ? Qt::AlignVCenter : layout == tlBottom ? Qt::AlignBottom : Qt::AlignTop;
    auto* label = static_cast<QLabel*>(Widget());
    label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | vertical);
}

void Label::FitText()
{
    if (!m_autoSize) return;
    const QSize size = static_cast<QLabel*>(Widget())->sizeHint();
    SetBounds(Left(), Top(), size.width(), size.height());
}

// ---- Button ----

Button::Button(Container& parent) : Control(nullptr, &parent, new QPushButton(parent.ClientWidget()))
{
    auto* button = static_cast<QPushButton*>(Widget());
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, button, [this] { GuardHandler([this] { Click(); }); });
    SetBounds(0, 0, 75, 25);
}

void Button::SetCaption(const std::string& caption)
{
    m_caption = caption;
    static_cast<QPushButton*>(Widget())->setText(ToQString(caption));
}

void Button::SetDefault(bool isDefault)
{
    m_default = isDefault;
    static_cast<QPushButton*>(Widget())->setDefault(isDefault);
}

void Button::Click()
{
    if (!Usable(this)) return;
    if (m_modalResult != mrNone)
        if (Form* form = ParentForm()) form->SetModalResult(m_modalResult);
    if (OnClick) OnClick();
}

void Button::SetEnabled(bool enabled)
{
    if (!enabled && Focused())
        if (Form* form = ParentForm()) form->Widget()->setFocus(Qt::OtherFocusReason);
    Control::SetEnabled(enabled);
}

// ---- Edit ----

Edit::Edit(Container& parent) : Control(nullptr, &parent, new QLineEdit(parent.ClientWidget()))
{
    SetBounds(0, 0, 121, 21);
}

std::string Edit::Text() const { return FromQString(static_cast<QLineEdit*>(Widget())->text()); }

void Edit::SetText(const std::string& text) { static_cast<QLineEdit*>(Widget())->setText(ToQString(text)); }

void Edit::SetMaxLength(int length)
{
    m_maxLength = std::max(0, length);
    static_cast<QLineEdit*>(Widget())->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
}

void Edit::SetPasswordChar(char32_t ch)
{
    m_passwordChar = ch;
    auto* edit = static_cast<QLineEdit*>(Widget());
    if (ch == 0) {
        edit->setEchoMode(QLineEdit::Normal);
        edit->setStyleSheet(QString());
    } else {
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("lineedit-password-character: %1").arg(static_cast<uint>(ch)));
    }
    // A change of echo mode turns the input methods on again.
    ApplyInputMethod();
}

void Edit::SetNumbersOnly(bool numbersOnly)
{
    m_numbersOnly = numbersOnly;
    ApplyCharacterLimit();
    ApplyInputMethod();
}

void Edit::SetPrintableAsciiOnly(bool asciiOnly)
{
    m_printableAsciiOnly = asciiOnly;
    ApplyCharacterLimit();
    ApplyInputMethod();
}

void Edit::ApplyInputMethod()
{
    auto* edit = static_cast<QLineEdit*>(Widget());
    // No input method composes characters for a limited edit (they would be
    // characters the text cannot hold).
    const bool off = m_numbersOnly || m_printableAsciiOnly;
    edit->setAttribute(Qt::WA_InputMethodEnabled, !off);
    edit->setInputMethodHints(m_numbersOnly ? Qt::ImhDigitsOnly
                              : off ? Qt::ImhLatinOnly | Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase
                                    : Qt::ImhNone);
}

void Edit::ApplyCharacterLimit()
{
    auto* edit = static_cast<QLineEdit*>(Widget());
    delete edit->validator();
    QString pattern;
    if (m_numbersOnly)
        pattern = QStringLiteral("[0-9]*");
    else if (m_printableAsciiOnly)
        pattern = QStringLiteral("[\\x{20}-\\x{7E}]*");
    edit->setValidator(pattern.isEmpty() ? nullptr : new QRegularExpressionValidator(QRegularExpression(pattern), edit));
}

void Edit::SelectAll() { static_cast<QLineEdit*>(Widget())->selectAll(); }

// ---- Memo ----

Memo::Memo(Container& parent) : Control(nullptr, &parent, new QPlainTextEdit(parent.ClientWidget()))
{
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    edit->setTabChangesFocus(true);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] {
        if (m_updating) return;
        TakeWidgetText();
        if (OnChange) OnChange();
    });
    QObject::connect(edit->document(), &QTextDocument::contentsChange, edit, [this](int position, int, int added) {
        if (!m_updating && added > 0) CutToMaxLength(position, added);
    });
    SetScrollBars(ssNone);
    SetWordWrap(true);
    SetBounds(0, 0, 185, 89);
}

void Memo::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    static_cast<QPlainTextEdit*>(Widget())->setReadOnly(readOnly);
}

void Memo::SetScrollBars(ScrollStyle bars)
{
    m_scrollBars = bars;
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    const bool vertical = bars == ssVertical || bars == ssBoth;
    const bool horizontal = bars == ssHorizontal || bars == ssBoth;
    edit->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void Memo::SetWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    static_cast<QPlainTextEdit*>(Widget())->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

std::string Memo::Line(int index) const
{
    if (index < 0 || index >= LineCount()) return {};
    return m_lines[static_cast<size_t>(index)];
}

void Memo::AddLine(const std::string& line)
{
    std::vector<std::string> added = SplitLines(line);
    if (added.empty()) added.emplace_back();
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    m_updating = true;
    for (const std::string& l : added) {
        if (!m_lines.empty()) cursor.insertBlock();
        cursor.insertText(ToQString(l));
        m_lines.push_back(l);
    }
    m_updating = false;
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    if (OnChange) OnChange();
}

void Memo::Clear()
{
    m_lines.clear();
    ShowLines();
}

std::string Memo::Text() const
{
    std::string text;
    for (const std::string& l : m_lines) {
        text += l;
        text += '\n';
    }
    return text;
}

void Memo::SetText(const std::string& text)
{
    m_lines = SplitLines(text);
    ShowLines();
}

void Memo::ShowLines()
{
    std::string joined;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0) joined += '\n';
        joined += m_lines[i];
    }
    m_updating = true;
    static_cast<QPlainTextEdit*>(Widget())->setPlainText(ToQString(joined));
    m_updating = false;
    if (OnChange) OnChange();
}

std::string Memo::RawText() const { return FromQString(static_cast<QPlainTextEdit*>(Widget())->toPlainText()); }

void Memo::SetRawText(const std::string& text)
{
    m_updating = true;
    static_cast<QPlainTextEdit*>(Widget())->setPlainText(ToQString(text));
    m_updating = false;
    TakeWidgetText();
    if (OnChange) OnChange();
}

void Memo::SetMaxLength(int length) { m_maxLength = std::max(0, length); }

void Memo::SetBorder(bool border)
{
    m_border = border;
    static_cast<QPlainTextEdit*>(Widget())->setFrameShape(border ? QFrame::StyledPanel : QFrame::NoFrame);
}

namespace {
// Characters (code points) before a position in UTF-16 units, and back.
int CharactersBefore(const QString& text, int units)
{
    return static_cast<int>(text.left(units).toUcs4().size());
}
int UnitsBefore(const QString& text, int characters)
{
    int units = 0;
    for (int c = 0; c < characters && units < text.size(); ++c) units += text.at(units).isHighSurrogate() ? 2 : 1;
    return std::min(units, static_cast<int>(text.size()));
}
} // namespace

int Memo::SelStart() const
{
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    const QTextCursor cursor = edit->textCursor();
    return CharactersBefore(edit->toPlainText(), cursor.selectionStart());
}

int Memo::SelLength() const
{
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    const QTextCursor cursor = edit->textCursor();
    const QString text = edit->toPlainText();
    return CharactersBefore(text, cursor.selectionEnd()) - CharactersBefore(text, cursor.selectionStart());
}

void Memo::SetSelStart(int start)
{
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(UnitsBefore(edit->toPlainText(), std::max(0, start)));
    edit->setTextCursor(cursor);
}

void Memo::SetSelLength(int length)
{
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    const QString text = edit->toPlainText();
    QTextCursor cursor = edit->textCursor();
    const int start = cursor.selectionStart();
    const int end = UnitsBefore(text, CharactersBefore(text, start) + std::max(0, length));
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

void Memo::ClearUndo() { static_cast<QPlainTextEdit*>(Widget())->document()->clearUndoRedoStacks(); }

int Memo::ClientHeight() const
{
    // Known before the memo is first shown, when the viewport is not laid
    // out yet.
    return Height() - 2 * static_cast<QPlainTextEdit*>(Widget())->frameWidth();
}

void Memo::SetSelText(const std::string& text)
{
    // The widget reports the change as a person's edit.
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    QTextCursor cursor = edit->textCursor();
    cursor.insertText(ToQString(text));
    edit->setTextCursor(cursor);
}

void Memo::CutToMaxLength(int position, int added)
{
    if (m_maxLength <= 0) return;
    auto* edit = static_cast<QPlainTextEdit*>(Widget());
    const QString text = edit->toPlainText();
    const int excess = static_cast<int>(text.toUcs4().size()) - m_maxLength;
    if (excess <= 0) return;
    // What was just typed or pasted loses its end; what stood there stays.
    const int insertedEnd = std::min(static_cast<int>(text.size()), position + added);
    const int start = std::max(position, UnitsBefore(text, CharactersBefore(text, insertedEnd) - excess));
    QTextCursor cursor(edit->document());
    cursor.setPosition(start);
    cursor.setPosition(insertedEnd, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void Memo::TakeWidgetText()
{
    // A person edited the text: an empty text has no lines, and every line
    // break starts another line (an empty last one included).
    std::string text = FromQString(static_cast<QPlainTextEdit*>(Widget())->toPlainText());
    m_lines.clear();
    if (text.empty()) return;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            m_lines.push_back(text.substr(start));
            break;
        }
        m_lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

// ---- ProgressBar ----

ProgressBar::ProgressBar(Container& parent) : Control(nullptr, &parent, new QProgressBar(parent.ClientWidget()))
{
    static_cast<QProgressBar*>(Widget())->setTextVisible(false);
    Apply();
    SetBounds(0, 0, 150, 16);
}

void ProgressBar::SetRange(int min, int max)
{
    m_min = min;
    m_max = std::max(min, max);
    m_position = std::clamp(m_position, m_min, m_max);
    Apply();
}

void ProgressBar::SetPosition(int position)
{
    m_position = std::clamp(position, m_min, m_max);
    Apply();
}

void ProgressBar::Apply()
{
    auto* bar = static_cast<QProgressBar*>(Widget());
    bar->setRange(m_min, m_max);
    bar->setValue(m_position);
}

} // namespace plat
