// Edits, memos and labels as a person uses them.
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

using namespace plat;

TEST(UiEdit, LimitsOnWhatCanBeTyped)
{
    struct Case {
        const char* name;
        std::function<void(Edit&)> setUp;
        const char* typed;
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"maximum length", [](Edit& e) { e.SetMaxLength(3); }, "12345", "123", "123"},
        {"digits only", [](Edit& e) { e.SetNumbersOnly(true); }, "a1-b2 3", "123", "123"},
        {"password", [](Edit& e) { e.SetPasswordChar('*'); }, "Ab1", "Ab1", "***"},
        {"password, 16 at most",
         [](Edit& e) {
             e.SetPasswordChar('*');
             e.SetMaxLength(16);
         },
         "12345678901234567890", "1234567890123456", "****************"},
        {"password shown again", [](Edit& e) {
             e.SetPasswordChar('*');
             e.SetPasswordChar(0);
         },
         "ab", "ab", "ab"},
        {"printable ASCII only", [](Edit& e) { e.SetPrintableAsciiOnly(true); }, "a\u00e9 ~\u20ac\u00b4Z", "a ~Z", "a ~Z"},
        {"printable ASCII password of 16",
         [](Edit& e) {
             e.SetPrintableAsciiOnly(true);
             e.SetPasswordChar('*');
             e.SetMaxLength(16);
         },
         "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9abcdefghijklmnopq", "abcdefghijklmnop", "****************"},
        {"digits only, then anything", [](Edit& e) {
             e.SetNumbersOnly(true);
             e.SetNumbersOnly(false);
         },
         "a1", "a1", "a1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Form f;
        auto* edit = new Edit(f);
        c.setUp(*edit);
        f.Show();
        edit->SetFocus();
        TypeText(f, c.typed);
        EXPECT_EQ(edit->Text(), c.text);
        EXPECT_EQ(static_cast<QLineEdit*>(edit->Widget())->displayText().toStdString(), c.shown);
        // No input method composes characters the text could not hold.
        EXPECT_EQ(edit->Widget()->testAttribute(Qt::WA_InputMethodEnabled),
                  !edit->PrintableAsciiOnly() && !edit->NumbersOnly());
    }
}

TEST(UiEdit, SelectAllThenTypingReplacesTheText)
{
    Form f;
    auto* edit = new Edit(f);
    edit->SetText("255");
    f.Show();
    edit->SetFocus();
    edit->SelectAll();
    TypeText(f, "7");
    EXPECT_EQ(edit->Text(), "7");
    EXPECT_TRUE(edit->Focused());
}

TEST(UiControl, TabFollowsTheOrderSetNotTheOrderMade)
{
    Form f;
    auto* first = new Button(f);
    auto* second = new Button(f);
    auto* edit = new Edit(f);
    Control::SetTabOrder({edit, first, second});
    f.Show();
    edit->SetFocus();
    std::vector<const Control*> visited;
    for (int i = 0; i < 3; ++i) {
        SendKey(f, VK_TAB);
        for (const Control* control : {static_cast<Control*>(first), static_cast<Control*>(second), static_cast<Control*>(edit)})
            if (control->Focused()) visited.push_back(control);
    }
    const std::vector<const Control*> expected{first, second, edit};
    EXPECT_EQ(visited, expected);
}

TEST(UiMemo, LinesAddedSetAndTyped)
{
    Form f;
    auto* memo = new Memo(f);
    auto* widget = static_cast<QPlainTextEdit*>(memo->Widget());
    EXPECT_EQ(memo->LineCount(), 0);

    memo->AddLine(""); // an empty first line is a line
    memo->AddLine("QM-7150Q RR 4.6.8");
    memo->AddLine("a\nb");
    EXPECT_EQ(memo->LineCount(), 4);
    EXPECT_EQ(memo->Line(1), "QM-7150Q RR 4.6.8");
    EXPECT_EQ(memo->Line(3), "b");
    EXPECT_EQ(memo->Line(4), "");
    EXPECT_EQ(memo->Line(-1), "");
    EXPECT_EQ(memo->Text(), "\nQM-7150Q RR 4.6.8\na\nb\n");
    EXPECT_EQ(widget->toPlainText().toStdString(), "\nQM-7150Q RR 4.6.8\na\nb");

    memo->SetText("x\r\ny\n");
    EXPECT_EQ(memo->LineCount(), 2);
    EXPECT_EQ(memo->Text(), "x\ny\n");

    memo->Clear();
    EXPECT_EQ(memo->LineCount(), 0);
    EXPECT_EQ(widget->toPlainText().toStdString(), "");

    // Typed text, Enter included, stays in the memo even with a default
    // button on the form.
    auto* ok = new Button(f);
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&] { ++clicks; };
    f.Show();
    memo->SetFocus();
    TypeText(f, "ab");
    SendKey(f, VK_RETURN);
    TypeText(f, "c");
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(memo->LineCount(), 2);
    EXPECT_EQ(memo->Text(), "ab\nc\n");

    // Read-only: typing changes nothing.
    memo->SetReadOnly(true);
    TypeText(f, "zz");
    EXPECT_EQ(memo->Text(), "ab\nc\n");
}

TEST(UiLabel, PlainTextSizedToItself)
{
    Form f;
    auto* label = new Label(f);
    label->SetCaption("Enter COM port [ 1-255]");
    const int oneLine = label->Height();
    const int width = label->Width();
    EXPECT_GT(width, 0);
    label->SetCaption("R&D\nsecond line");
    EXPECT_GT(label->Height(), oneLine);
    auto* widget = static_cast<QLabel*>(label->Widget());
    EXPECT_EQ(widget->textFormat(), Qt::PlainText);
    EXPECT_EQ(widget->text().toStdString(), "R&D\nsecond line");
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 10, 10);
    label->SetCaption("a much longer text than ten pixels");
    EXPECT_EQ(label->Width(), 10);
}
