// Services of the layer: file dialogs with their questions, the printer
// service with the test printer, the hourglass and the activation of the
// program.
#include "platform/base/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Printer.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TestPrinter.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QPrinter>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

using namespace plat;

TEST(FileDialogs, OpenTakesExistingFilesWithTheDefaultExtension)
{
    qmtest::TempDir dir;
    qmtest::WriteFile(dir.File("radio.icf"), "x");
    qmtest::WriteFile(dir.File("notes"), "x");
    ScopedDialogScript script;
    FileDialog d;
    d.filter = "Clone files (*.icf)|*.icf|All files|*.*";
    d.defaultExt = "icf";
    d.initialDir = dir.Path().string();

    script.AnswerFile(dir.File("radio")); // the extension is added
    ASSERT_TRUE(ExecuteOpenDialog(d));
    EXPECT_EQ(d.fileName, dir.File("radio.icf"));
    script.AnswerFile(dir.File("notes")); // exists as picked: kept
    ASSERT_TRUE(ExecuteOpenDialog(d));
    EXPECT_EQ(d.fileName, dir.File("notes"));

    // A missing file is refused and the user picks again; cancel changes
    // nothing.
    script.AnswerFile(dir.File("missing.icf"));
    script.Answer(IDOK);
    script.CancelFile();
    EXPECT_FALSE(ExecuteOpenDialog(d));
    EXPECT_EQ(d.fileName, dir.File("notes"));
    ASSERT_EQ(script.Boxes().size(), 1u);
    EXPECT_EQ(script.Boxes()[0].text, dir.File("missing.icf") + "\nFile not found.\nCheck the file name and try again.");
    EXPECT_EQ(script.Boxes()[0].caption, "Open");
    ASSERT_EQ(script.FileDialogs().size(), 4u);
    EXPECT_FALSE(script.FileDialogs()[0].save);
    EXPECT_EQ(script.FileDialogs()[0].filter, d.filter);
    EXPECT_EQ(script.FileDialogs()[0].initialDir, dir.Path().string());
    EXPECT_EQ(script.FileDialogs()[1].fileName, dir.File("radio.icf"));
    EXPECT_EQ(script.UnusedFiles(), 0u);
}

TEST(FileDialogs, SaveAsksBeforeReplacingAndRefusesReadOnlyFiles)
{
    qmtest::TempDir dir;
    qmtest::WriteFile(dir.File("old.icf"), "x");
    qmtest::WriteFile(dir.File("locked.icf"), "x");
    chmod(dir.File("locked.icf").c_str(), 0444);
    std::filesystem::create_directory(dir.File("folder.icf"));
    ScopedDialogScript script;
    FileDialog d;
    d.title = "Save the clone file";
    d.defaultExt = "icf";

    script.AnswerFile(dir.File("new")); // new: no question
    ASSERT_TRUE(ExecuteSaveDialog(d));
    EXPECT_EQ(d.fileName, dir.File("new.icf"));

    script.AnswerFile(dir.File("locked"));     // read-only: refused
    script.Answer(IDOK);
    script.AnswerFile(dir.File("folder.icf")); // a folder: refused
    script.Answer(IDOK);
    script.AnswerFile(dir.File("old"));        // exists: "No" picks again
    script.Answer(IDNO);
    script.AnswerFile(dir.File("old.icf"));    // "Yes" takes it
    script.Answer(IDYES);
    ASSERT_TRUE(ExecuteSaveDialog(d));
    EXPECT_EQ(d.fileName, dir.File("old.icf"));
    ASSERT_EQ(script.Boxes().size(), 4u);
    EXPECT_EQ(script.Boxes()[0].text, dir.File("locked.icf") + " is read-only.\nChoose another name.");
    EXPECT_EQ(script.Boxes()[1].text, dir.File("folder.icf") + " is a folder.\nChoose a file name.");
    EXPECT_EQ(script.Boxes()[2].text, dir.File("old.icf") + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(script.Boxes()[2].Buttons(), MB_YESNO);
    EXPECT_EQ(script.Boxes()[3].caption, "Save the clone file");
    EXPECT_TRUE(script.FileDialogs()[1].save);

    // Nothing scripted: the test fails loudly instead of waiting.
    EXPECT_THROW(ExecuteSaveDialog(d), UnscriptedDialog);
}

TEST(Printer, TestPrinterRendersPagesAndNotesTheirCalls)
{
    TestPrinterService service;
    ScopedPrinterService installed(service);
    ASSERT_EQ(&Printers(), &service);
    Printer& printer = Printers().SystemPrinter();
    EXPECT_EQ(printer.PixelsPerInch(), 150);
    EXPECT_EQ(printer.PageWidth(), 1165);
    EXPECT_FALSE(printer.Printing());

    // Measuring before the document: the printer's font resolution, nothing
    // printed or noted.
    Canvas& c = printer.GetCanvas();
    c.GetFont().SetSize(10);
    EXPECT_EQ(c.GetFont().height, -21);
    const int width = c.TextWidth("Channel");
    c.TextOut(0, 0, "not printed");
    EXPECT_GT(width, 0);

    {
        ScopedDialogScript script;
        script.AnswerPrinterSetup(false);
        EXPECT_FALSE(printer.SetupDialog(nullptr));
        script.AnswerPrinterSetup(true);
        EXPECT_TRUE(printer.SetupDialog(nullptr));
        EXPECT_EQ(script.PrinterSetups(), 2);
    }
    ASSERT_TRUE(printer.BeginDoc());
    c.GetFont().color = clBlack;
    c.GetBrush() = {clBlack, bsSolid};
    c.FillRect({100, 100, 200, 110});
    c.GetBrush().style = bsClear;
    c.TextOut(100, 120, "Page one");
    printer.NewPage();
    c.TextOut(100, 120, "Page two");
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    TestPrinter& test = service.Test();
    ASSERT_EQ(test.Pages().size(), 2u);
    EXPECT_EQ(test.Documents(), 1);
    EXPECT_EQ(test.Pages()[0].size(), QSize(1165, 1679));
    EXPECT_EQ(test.Pages()[0].pixelColor(150, 105), QColor(0, 0, 0));
    EXPECT_EQ(test.Pages()[1].pixelColor(150, 105), QColor(255, 255, 255));
    ASSERT_EQ(test.PageCalls().size(), 2u);
    EXPECT_EQ(test.PageCalls()[0].size(), 2u);
    EXPECT_EQ(test.PageCalls()[0][1].text, "Page one");
    EXPECT_EQ(test.PageCalls()[0][1].font.height, -21);
    EXPECT_EQ(test.PageCalls()[1][0].text, "Page two");
    int ink = 0;
    for (int y = 120; y < 150; ++y)
        for (int x = 100; x < 100 + width * 2; ++x) ink += test.Pages()[1].pixelColor(x, y).lightness() < 128;
    EXPECT_GT(ink, 20);

    // No printer at all, as the service answers.
    service.SetAnyPrinter(false);
    EXPECT_FALSE(Printers().AnyPrinter());
}

TEST(Printer, SystemPrinterMeasuresWithoutStartingADocument)
{
    ASSERT_EQ(SetPrinterService(nullptr), nullptr);
    EXPECT_TRUE(Printers().AnyPrinter()); // a PDF file can always be printed to
    Printer& printer = Printers().SystemPrinter();
    EXPECT_GT(printer.PixelsPerInch(), 96);
    EXPECT_GT(printer.PageWidth(), 0);
    EXPECT_LT(printer.PageWidth(), printer.PageHeight());
    Canvas& c = printer.GetCanvas();
    EXPECT_EQ(c.GetFont().pixelsPerInch, printer.PixelsPerInch());
    c.GetFont().SetSize(10);
    EXPECT_GT(c.TextHeight("Ag"), 2 * 13);
    c.TextOut(10, 10, "nothing starts");
    EXPECT_FALSE(printer.Printing());
    ScopedDialogScript script;
    script.AnswerPrinterSetup(false);
    EXPECT_FALSE(printer.SetupDialog(nullptr));
}

TEST(UiServices, HourglassWhileItLivesNested)
{
    EXPECT_FALSE(HourglassShown());
    {
        ScopedHourglass outer;
        EXPECT_TRUE(HourglassShown());
        {
            ScopedHourglass inner;
            EXPECT_TRUE(HourglassShown());
        }
        EXPECT_TRUE(HourglassShown());
    }
    EXPECT_FALSE(HourglassShown());
}

TEST(UiServices, ActivationOfTheProgramReachesItsHandlers)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    Application app(argc, argv);
    std::vector<std::string> seen;
    app.OnActivate = [&] { seen.push_back("active"); };
    app.OnDeactivate = [&] { seen.push_back("inactive"); };
    const bool wasActive = app.Active();
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qApp->applicationStateChanged(Qt::ApplicationHidden); // still not active: once
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    std::vector<std::string> expected{"inactive", "active"};
    if (!wasActive) expected.erase(expected.begin());
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(app.Active());
}
