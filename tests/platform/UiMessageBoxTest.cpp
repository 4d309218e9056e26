// Message boxes under a test script: answers, the record, and loud failures.
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>

using namespace plat;

TEST(UiMessageBox, ScriptedAnswersAndTheRecordOfEveryBox)
{
    ScopedDialogScript script;
    script.Answer(IDYES);
    script.Answer(IDCANCEL);
    script.Answer(IDOK);
    EXPECT_EQ(MessageBox("Save changes to a.icf?", "QM7148H", MB_YESNOCANCEL | MB_ICONWARNING), IDYES);
    EXPECT_EQ(MessageBox("Clear all?", "QM7148H", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(MessageBox("No answer from transceiver", "COM Port", MB_OK | MB_ICONERROR), IDOK);

    const auto& boxes = script.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Save changes to a.icf?");
    EXPECT_EQ(boxes[0].caption, "QM7148H");
    EXPECT_EQ(boxes[0].Buttons(), MB_YESNOCANCEL);
    EXPECT_EQ(boxes[0].Icon(), MB_ICONWARNING);
    EXPECT_EQ(boxes[0].answer, IDYES);
    EXPECT_EQ(boxes[1].Icon(), MB_ICONQUESTION);
    EXPECT_EQ(boxes[2].caption, "COM Port");
    EXPECT_EQ(boxes[2].Buttons(), MB_OK);
    EXPECT_EQ(boxes[2].Icon(), MB_ICONERROR);
    EXPECT_EQ(script.UnusedAnswers(), 0u);
}

TEST(UiMessageBox, BoxesWithoutAFittingAnswerFailLoudly)
{
    ScopedDialogScript script;
    EXPECT_THROW(MessageBox("Unexpected", "QM7150Q", MB_OK), UnscriptedDialog);
    ASSERT_EQ(script.Boxes().size(), 1u); // recorded all the same
    EXPECT_EQ(script.Boxes()[0].text, "Unexpected");

    const std::pair<unsigned, int> wrong[] = {
        {MB_OK, IDCANCEL}, {MB_OKCANCEL, IDYES}, {MB_YESNO, IDCANCEL}, {MB_YESNOCANCEL, IDOK}};
    for (auto [buttons, answer] : wrong) {
        script.Answer(answer);
        EXPECT_THROW(MessageBox("text", "caption", buttons), UnscriptedDialog) << buttons << " " << answer;
    }

    // A nested script answers while it lives; the outer one takes over again.
    script.Answer(IDNO);
    {
        ScopedDialogScript inner;
        inner.Answer(IDYES);
        EXPECT_EQ(MessageBox("inner", "c", MB_YESNO), IDYES);
    }
    EXPECT_EQ(MessageBox("outer", "c", MB_YESNO), IDNO);
}

TEST(UiMessageBox, UnsupportedStylesAreProgrammingFaults)
{
    ScopedDialogScript script;
    for (unsigned flags : {0x02u, 0x05u, 0x50u, 0x100u})
        EXPECT_NE(qmtest::FatalMessage([&] { MessageBox("x", "y", flags); }).find("Unsupported message box style"),
                  std::string::npos)
            << flags;
    EXPECT_TRUE(script.Boxes().empty());
}

// A key held since it went down on another window (it closed a dialog there)
// repeats on a message box that comes up meanwhile, flagged as a repeat or
// not, and goes up there: the box stays until a key stroke of its own.
TEST(UiMessageBox, AKeyHeldFromAnotherWindowDoesNotAnswerTheBox)
{
    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        bool openBeforeOwnStroke = false;
        QTimer::singleShot(0, [&] {
            QPointer<QWidget> box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            auto send = [&](QEvent::Type type, int code, bool repeat, unsigned long time) {
                if (box.isNull() || !box->isVisible()) return;
                QWidget* target = box->focusWidget() != nullptr ? box->focusWidget() : box.data();
                QKeyEvent event(type, code, Qt::NoModifier, code == Qt::Key_Return ? "\r" : "\x1b", repeat);
                event.setTimestamp(time);
                QCoreApplication::sendEvent(target, &event);
            };
            for (unsigned long time = 500; time < 800; time += 40) {
                const bool flagged = time % 80 == 0; // every other pair goes unflagged
                send(QEvent::KeyRelease, key, flagged, time);
                send(QEvent::KeyPress, key, flagged, time);
            }
            send(QEvent::KeyRelease, key, false, 900);
            openBeforeOwnStroke = !box.isNull() && box->isVisible();
            send(QEvent::KeyPress, Qt::Key_Return, false, 1000);
            send(QEvent::KeyRelease, Qt::Key_Return, false, 1080);
            // Never leave the test waiting on a box.
            if (!box.isNull() && box->isVisible()) box->close();
        });
        EXPECT_EQ(MessageBox("No answer from transceiver", "COM Port", MB_OK | MB_ICONERROR), IDOK);
        EXPECT_TRUE(openBeforeOwnStroke) << key;
    }
}

// A box with a short text is wide enough for its caption beside the icon
// and the close button that the window manager puts into the title bar:
// else the caption is cut.
TEST(UiMessageBox, ABoxIsAsWideAsItsCaption)
{
    const std::string caption = "QM7148H Radio Programming: the caption of a box whose text is much shorter than it";
    int width = 0;
    int captionWidth = 0;
    int buttonWidth = 0;
    QTimer::singleShot(0, [&] {
        QPointer<QWidget> box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QFont bold = box->font();
        bold.setBold(true);
        captionWidth = QFontMetrics(bold).horizontalAdvance(QString::fromStdString(caption));
        // The icon and the close button are squares as high as the title bar.
        buttonWidth = box->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, box);
        width = box->width();
        box->close();
    });
    EXPECT_EQ(MessageBox("Done.", caption, MB_OK | MB_ICONINFORMATION), IDOK);
    EXPECT_GT(captionWidth, 0);
    EXPECT_GT(buttonWidth, 0);
    EXPECT_GE(width, captionWidth + 2 * buttonWidth);
}

// A box that no window asks for (a report at the end of a long task, while
// the user works in another program) belongs to the program's main window:
// the window manager keeps it above that window and minimises it with it.
TEST(UiMessageBox, ABoxWithoutAnOwnerBelongsToTheMainWindow)
{
    int argc = 1;
    char name[] = "uitest";
    char* argv[] = {name, nullptr};
    Application app(argc, argv);
    Form main;
    main.SetCaption("main");
    QWindow* owner = nullptr;
    bool answered = false;
    QTimer::singleShot(0, [&] {
        {
            // Another window has the keyboard, and goes: no window of the
            // program is active.
            QWidget other;
            other.show();
            other.activateWindow();
            ProcessMessages();
        }
        ProcessMessages();
        QTimer::singleShot(0, [&] {
            QPointer<QWidget> box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            owner = box->windowHandle()->transientParent();
            box->close();
        });
        answered = MessageBox("Done.", "QM7148H", MB_OK | MB_ICONINFORMATION) == IDOK;
        main.Close();
    });
    EXPECT_EQ(app.Run(main), 0);
    EXPECT_TRUE(answered);
    EXPECT_EQ(owner, main.Widget()->windowHandle());
}
