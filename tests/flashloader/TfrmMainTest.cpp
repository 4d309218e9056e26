// The flash loader's main window and password dialog: the start-up log, the
// flashing pass with its log lines, progress and error reports, the COM port
// menu, and a whole pass over a pseudo-terminal with a screenshot.
#include "flashloader/TfrmMain.h"
#include "flashloader/TfrmPassword.h"
#include "platform/base/MemorySerial.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/flashloader/FlashTestSupport.h"
#include "tests/sim/FlashRadio.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using qmsim::FlashRadio;
using Lines = std::vector<std::string>;

const std::string kDashes = "-------------------------------";

// Points the settings folder (and so the INI file) at a temporary folder.
class ConfigHome {
public:
    ConfigHome()
    {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) m_old = old;
        ::setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
    }
    ~ConfigHome()
    {
        if (m_old)
            ::setenv("XDG_CONFIG_HOME", m_old->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    std::string IniPath() const { return m_dir.File("Vosk/QM7150Q.INI"); }
    void WriteIni(const std::string& text) const
    {
        std::filesystem::create_directories(m_dir.Path() / "Vosk");
        qmtest::WriteFile(IniPath(), text);
    }

private:
    qmtest::TempDir m_dir;
    std::optional<std::string> m_old;
};

Lines MemoLines(const plat::Memo& memo)
{
    Lines lines;
    for (int i = 0; i < memo.LineCount(); ++i) lines.push_back(memo.Line(i));
    return lines;
}

Lines Join(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Lines PassStart() { return {"COM Open...[OK]", "Connecting..."}; }
Lines PassEnd(int transceiver)
{
    return {"", kDashes, "Connect to Transceiver (No. " + std::to_string(transceiver) + ")", "Hit [OK] to Start Writing"};
}
Lines Uploaded()
{
    return {"[OK]", "Pre-processing...", "[OK]", "Writing ROM data...", "Upload Successful", "Disconnecting"};
}

std::vector<bool> PortChecks(const fl::TfrmMain& f)
{
    return {f.COM11->Checked(), f.COM21->Checked(), f.COM31->Checked(), f.COM41->Checked(), f.COMMore->Checked()};
}

// Answers the password dialog with a text typed into its edit.
std::function<void(plat::Form&)> TypePassword(const std::string& text)
{
    return [text](plat::Form& f) {
        auto& dialog = dynamic_cast<fl::TfrmPassword&>(f);
        EXPECT_TRUE(dialog.edtPWText->Focused());
        dialog.edtPWText->SetText("");
        plat::TypeText(f, text);
        dialog.btnPWOK->Click();
    };
}

std::function<void(plat::Form&)> CancelPassword()
{
    return [](plat::Form& f) { dynamic_cast<fl::TfrmPassword&>(f).btnPWCancel->Click(); };
}

// The window against a simulated radio on the in-memory line of COM1, on the
// manual clock.
struct Rig {
    explicit Rig(FlashRadio::Settings settings = {}) : radio(std::move(settings)) {}
    // Presses OK and runs the pass to its end.
    bool Pass(uint32_t maxMs = 60000)
    {
        form.btnOK->Click();
        return time.host.AdvanceUntil([this] { return !form.Sequencer().IsBusy(); }, maxMs, 5);
    }
    qmtest::ManualTime time;
    ConfigHome home;
    plat::ScopedMemorySerial serial;
    plat::ScopedDialogScript script;
    FlashRadio radio;
    qmsim::FlashRadioOnLine server{radio, serial.ports.Line(1)};
    fl::TfrmMain form;
    fl::TfrmPassword* password = new fl::TfrmPassword(form);
};

TEST(FlashMainWindow, StartsWithTheImageSumAndTheFirstTransceiver)
{
    Rig rig;
    fl::TfrmMain& f = rig.form;
    char sum[16];
    std::snprintf(sum, sizeof sum, "SUM= $%04X", f.Sequencer().ImageSum());
    EXPECT_EQ(MemoLines(*f.memoMain), (Lines{"", "QM-7150Q RR 4.6.8", "KR-W8830_W8850 Series Flash Loader", "File Loaded.",
                                             sum, "", kDashes, "Connect to Transceiver (No. 1)",
                                             "Hit [OK] to Start Writing"}));
    EXPECT_EQ(f.Caption(), "QM-7150Q RR 4.6.8");
    EXPECT_EQ(f.RunCount(), 1);
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(f.btnOK->Enabled());
    EXPECT_FALSE(f.btnCancel->Enabled());
    EXPECT_TRUE(f.btnExit->Enabled());
    EXPECT_TRUE(f.memoMain->ReadOnly());
    EXPECT_EQ(f.prgBarMain->Position(), 0);
    EXPECT_EQ(PortChecks(f), (std::vector<bool>{true, false, false, false, false}));
    EXPECT_EQ(&f.PasswordForm(), rig.password);
}

TEST(FlashMainWindow, ChecksTheMenuItemOfThePortFromTheIniFile)
{
    struct Case {
        const char* ini;
        std::vector<bool> checks;
    };
    const Case cases[] = {
        {"[Com Settings]\nPort=2\n", {false, true, false, false, false}},
        {"[Com Settings]\nPort=4\n", {false, false, false, true, false}},
        {"[Com Settings]\nPort=5\n", {false, false, false, false, true}},
        {"[Com Settings]\nPort=255\n", {false, false, false, false, true}},
        {"[Com Settings]\nPort=0\n", {false, false, false, false, false}},
        {"", {true, false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        ConfigHome home;
        home.WriteIni(c.ini);
        fl::TfrmMain f;
        EXPECT_EQ(PortChecks(f), c.checks);
    }
}

// Every way a pass can end, from OK to the line that asks for the next
// transceiver.
TEST(FlashMainWindow, APassLogsEachStepAndEndsReadyForTheNext)
{
    auto with = [](auto change) {
        FlashRadio::Settings s;
        change(s);
        return s;
    };
    using Driver = std::function<void(plat::Form&)>;
    struct Case {
        const char* name;
        FlashRadio::Settings radio;
        int port;
        std::vector<Driver> passwordDialog;
        Lines log; // between "Connecting..." and the closing lines
        std::vector<std::string> boxes; // texts, all captioned "COM Port"
        bool flashed;
    };
    const Case cases[] = {
        {"a radio that asks for nothing", {}, 1, {}, Uploaded(), {}, true},
        {"a radio already in its boot loader", with([](auto& s) { s.startInBoot = true; }), 1, {}, Uploaded(), {},
         true},
        {"the right password",
         with([](auto& s) { s.password = "Secret1"; }),
         1,
         {TypePassword("Secret1")},
         Join({{"[Password Protected]", "[Password Entered]", "[Password Sent]"}, Uploaded()}),
         {},
         true},
        {"a wrong password",
         with([](auto& s) { s.password = "Secret1"; }),
         1,
         {TypePassword("Secret2")},
         {"[Password Protected]", "[Password Entered]", "[Password Sent]", "** Error **", "No answer from transceiver"},
         {"No answer from transceiver"},
         false},
        {"the password dialog cancelled",
         with([](auto& s) { s.password = "Secret1"; }),
         1,
         {CancelPassword()},
         {"[Password Protected]", "[NO Password Entered]", "** Error **", "No answer from transceiver"},
         {"No answer from transceiver"},
         false},
        {"another model", with([](auto& s) { s.model = 0x7150; }), 1, {}, {"** Error **", "COM Port Error"}, {}, false},
        {"no radio", with([](auto& s) { s.faults.silent = true; }), 1, {},
         {"** Error **", "No answer from transceiver"}, {"No answer from transceiver"}, false},
        {"a wrong handshake answer", with([](auto& s) { s.faults.wrongHandshake = 3; }), 1, {},
         {"** Error **", "No answer from transceiver"}, {"No answer from transceiver"}, false},
        {"a refused record", with([](auto& s) { s.faults.refuseRecord = 5; }), 1, {},
         {"[OK]", "Pre-processing...", "[OK]", "Writing ROM data...", "** Error **", "COM Port Error"}, {}, false},
        {"a port that cannot be opened", {}, 2, {}, {"** Error **", "Cannot Open COM Port"}, {"Cannot Open COM Port"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.radio);
        fl::TfrmMain& f = rig.form;
        if (c.port != 1) f.COM21->Click();
        for (const Driver& d : c.passwordDialog) rig.script.Drive(d);
        for (size_t i = 0; i < c.boxes.size(); ++i) rig.script.Answer(plat::IDOK);

        ASSERT_TRUE(rig.Pass());
        EXPECT_EQ(MemoLines(*f.memoMain), Join({PassStart(), c.log, PassEnd(2)}));
        ASSERT_EQ(rig.script.Boxes().size(), c.boxes.size());
        for (size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(rig.script.Boxes()[i].text, c.boxes[i]);
            EXPECT_EQ(rig.script.Boxes()[i].caption, "COM Port");
            EXPECT_EQ(rig.script.Boxes()[i].Icon(), plat::MB_ICONERROR);
        }
        EXPECT_EQ(rig.script.UnusedDrivers(), 0u);
        EXPECT_EQ(rig.radio.Flash() == flashtest::EmbeddedImage(), c.flashed);
        EXPECT_EQ(f.RunCount(), 2);
        EXPECT_TRUE(f.btnOK->Enabled());
        EXPECT_FALSE(f.btnCancel->Enabled());
        EXPECT_EQ(f.prgBarMain->Position(), 0);
        EXPECT_EQ(f.Caption(), "QM-7150Q RR 4.6.8");
    }
}

TEST(FlashMainWindow, PasswordDialogRefusesWhatTheRadioCannotTakeAndKeepsItsText)
{
    FlashRadio::Settings settings;
    settings.password = "P\xE4ss";  // Latin-1, as the radio holds it
    Rig rig(settings);
    fl::TfrmMain& f = rig.form;
    std::vector<std::string> seen; // the edit's text when the dialog opens
    auto refused = [&](const std::string& typed) {
        return [&seen, typed](plat::Form& form) {
            auto& dialog = dynamic_cast<fl::TfrmPassword&>(form);
            seen.push_back(dialog.edtPWText->Text());
            dialog.edtPWText->SetText(typed);
            dialog.btnPWOK->Click();
            EXPECT_EQ(dialog.ModalResult(), plat::mrNone); // still open
            EXPECT_EQ(dialog.edtPWText->Text(), "");
            EXPECT_TRUE(dialog.edtPWText->Focused());
            plat::TypeText(form, "P\u00e4ss");
            dialog.btnPWOK->Click();
        };
    };
    // An empty text, then a character beyond one byte; each time the right
    // password follows in the same dialog.
    rig.script.Drive(refused(""));
    rig.script.Answer(plat::IDOK);
    ASSERT_TRUE(rig.Pass());
    rig.script.Drive(refused("P\u20acss"));
    rig.script.Answer(plat::IDOK);
    ASSERT_TRUE(rig.Pass());

    ASSERT_EQ(rig.script.Boxes().size(), 2u);
    for (const auto& box : rig.script.Boxes()) {
        EXPECT_EQ(box.text, "Password out of Range. Enter a Valid Password or click Cancel to Exit");
        EXPECT_EQ(box.caption, "Password");
        EXPECT_EQ(box.Icon(), plat::MB_ICONERROR);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"", "P\u00e4ss"}));
    EXPECT_EQ(fl::g_FlashPassword, "P\xE4ss");
    EXPECT_EQ(rig.radio.sessionsEnded, 2);
    EXPECT_EQ(rig.radio.Flash(), flashtest::EmbeddedImage());
    EXPECT_TRUE(f.PasswordEntered());
    EXPECT_TRUE(f.PasswordSent());
    EXPECT_EQ(MemoLines(*f.memoMain).back(), "Hit [OK] to Start Writing");
    EXPECT_EQ(f.RunCount(), 3);

    // Cancelled next time: the password entered before is forgotten.
    rig.script.Drive(CancelPassword());
    rig.script.Answer(plat::IDOK); // no answer from the locked radio
    ASSERT_TRUE(rig.Pass());
    EXPECT_FALSE(f.PasswordEntered());
    EXPECT_FALSE(f.PasswordSent());
}

TEST(FlashMainWindow, PasswordBytesAreOneForEachCharacter)
{
    const std::string sixteenUmlauts = [] {
        std::string s;
        for (int i = 0; i < 16; ++i) s += "\u00e4";
        return s;
    }();
    struct Case {
        std::string text;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {"1234", "1234"},
        {"A", "A"},
        {"0123456789abcdef", "0123456789abcdef"},
        {"0123456789abcdefg", std::nullopt},
        {"", std::nullopt},
        {"\u00e4\u00ff\u00a0x", "\xE4\xFF\xA0x"},
        {sixteenUmlauts, std::string(16, '\xE4')},
        {sixteenUmlauts + "a", std::nullopt},
        {"ab\u0100", std::nullopt},
        {"\u20ac", std::nullopt},
        {"\U0001F600", std::nullopt},
        {"\xC3", std::nullopt}, // cut short
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fl::PasswordBytes(c.text), c.bytes);
    }
}

TEST(FlashMainWindow, CancelDuringTheRomWriteEndsThePassWithoutABox)
{
    Rig rig;
    fl::TfrmMain& f = rig.form;
    f.btnOK->Click();
    EXPECT_FALSE(f.btnOK->Enabled());
    EXPECT_TRUE(f.btnCancel->Enabled());
    ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return rig.radio.recordsWritten >= 10; }, 60000, 5));
    f.btnCancel->Click();
    ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return !f.Sequencer().IsBusy(); }, 1000));
    EXPECT_EQ(MemoLines(*f.memoMain),
              Join({PassStart(), {"[OK]", "Pre-processing...", "[OK]", "Writing ROM data...", "** Error **",
                                  "Cancelled by user"},
                    PassEnd(2)}));
    EXPECT_TRUE(rig.script.Boxes().empty());
    EXPECT_TRUE(f.btnOK->Enabled());
    EXPECT_FALSE(f.btnCancel->Enabled());

    // The radio waits in its boot loader; the next pass finds it there.
    ASSERT_TRUE(rig.Pass());
    EXPECT_EQ(MemoLines(*f.memoMain), Join({PassStart(), Uploaded(), PassEnd(3)}));
    EXPECT_EQ(rig.radio.Flash(), flashtest::EmbeddedImage());
}

// Enter or Space pressed during a pass reaches Cancel: the focus moves there
// when OK is pressed, and never to Exit, which would end the program in the
// middle of the pass.
TEST(FlashMainWindow, KeysDuringAPassReachCancelAndNeverExit)
{
    for (int key : {plat::VK_SPACE, plat::VK_RETURN}) {
        SCOPED_TRACE(key);
        Rig rig;
        fl::TfrmMain& f = rig.form;
        ASSERT_TRUE(f.btnOK->Focused());
        plat::SendKey(f, key);
        EXPECT_TRUE(f.Sequencer().IsBusy());
        EXPECT_TRUE(f.btnCancel->Focused());
        EXPECT_FALSE(f.btnExit->Focused());
        ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return rig.radio.recordsWritten >= 3; }, 60000, 5));
        plat::SendKey(f, key);
        ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return !f.Sequencer().IsBusy(); }, 1000));
        EXPECT_TRUE(f.Visible());
        const Lines log = MemoLines(*f.memoMain);
        ASSERT_GE(log.size(), 5u);
        EXPECT_EQ(log[log.size() - 5], "Cancelled by user");
        EXPECT_TRUE(f.btnOK->Focused());
    }
}

// A key held down on OK repeats as release-press pairs, some flagged as
// repeats and some not, at whatever has the focus: Cancel, once the pass
// has begun, and OK again when the pass is over while the key is still
// down. The stroke belongs to OK and presses it once: it starts one pass,
// and neither its repeats nor its release press Cancel or OK again.
TEST(FlashMainWindow, AKeyHeldOnOkStartsExactlyOnePass)
{
    for (int key : {Qt::Key_Return, Qt::Key_Space}) {
        SCOPED_TRACE(key);
        Rig rig;
        fl::TfrmMain& f = rig.form;
        f.Show();
        ASSERT_TRUE(f.btnOK->Focused());
        const QString text = key == Qt::Key_Return ? QStringLiteral("\r") : QStringLiteral(" ");
        unsigned long time = 1000;
        auto send = [&](QEvent::Type type, bool flagged) {
            QKeyEvent event(type, key, Qt::NoModifier, text, flagged);
            event.setTimestamp(time);
            QCoreApplication::sendEvent(f.Widget()->focusWidget(), &event);
        };
        auto repeats = [&] {
            for (int pair = 0; pair < 12; ++pair) {
                time += 33;
                send(QEvent::KeyRelease, pair % 2 == 0);
                send(QEvent::KeyPress, pair % 2 == 0);
            }
        };
        send(QEvent::KeyPress, false);
        repeats();
        EXPECT_TRUE(f.Sequencer().IsBusy());
        EXPECT_TRUE(f.btnCancel->Focused());
        ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return !f.Sequencer().IsBusy(); }, 60000, 5));
        ASSERT_TRUE(f.btnOK->Focused());
        repeats();
        time += 40;
        send(QEvent::KeyRelease, false);
        EXPECT_FALSE(f.Sequencer().IsBusy());
        EXPECT_EQ(f.RunCount(), 2);
        EXPECT_EQ(MemoLines(*f.memoMain), Join({PassStart(), Uploaded(), PassEnd(2)}));
        EXPECT_EQ(rig.radio.Flash(), flashtest::EmbeddedImage());
    }
}

TEST(FlashMainWindow, PortCannotChangeWhileAPassRuns)
{
    Rig rig;
    fl::TfrmMain& f = rig.form;
    f.btnOK->Click();
    ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return rig.radio.bootEntries >= 1; }, 30000, 5));
    ASSERT_TRUE(f.Sequencer().IsBusy());

    rig.script.Answer(plat::IDOK);
    f.COM31->Click();
    // The dialog too: it closes with cancel.
    rig.script.Drive([](plat::Form& d) {
        auto* edit = dynamic_cast<plat::Edit*>(d.FindControl("mskEditPort"));
        edit->SetText("3");
        dynamic_cast<plat::Button*>(d.FindControl("btnOk"))->Click();
        EXPECT_EQ(d.ModalResult(), plat::mrCancel);
    });
    rig.script.Answer(plat::IDOK);
    f.COMMore->Click();

    ASSERT_EQ(rig.script.Boxes().size(), 2u);
    for (const auto& box : rig.script.Boxes()) {
        EXPECT_EQ(box.text, "COM Port Busy");
        EXPECT_EQ(box.caption, "COM Port");
        EXPECT_EQ(box.Icon(), plat::MB_ICONERROR);
    }
    EXPECT_EQ(f.Sequencer().GetPort(), 1);
    EXPECT_EQ(PortChecks(f), (std::vector<bool>{true, false, false, false, false}));

    ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return !f.Sequencer().IsBusy(); }, 60000, 5));
    EXPECT_EQ(MemoLines(*f.memoMain), Join({PassStart(), Uploaded(), PassEnd(2)}));
}

TEST(FlashMainWindow, PortMenuMovesTheCheckAndTheIniKeepsThePort)
{
    ConfigHome home;
    plat::ScopedDialogScript script;
    {
        fl::TfrmMain f;
        struct Step {
            const char* name;
            std::function<void(fl::TfrmMain&)> choose;
            int port;
            std::vector<bool> checks;
        };
        auto more = [&script](const char* typed) {
            return [&script, typed](fl::TfrmMain& m) {
                script.Drive([typed](plat::Form& d) {
                    auto* edit = dynamic_cast<plat::Edit*>(d.FindControl("mskEditPort"));
                    edit->SetText(typed);
                    dynamic_cast<plat::Button*>(d.FindControl("btnOk"))->Click();
                });
                m.COMMore->Click();
            };
        };
        const Step steps[] = {
            {"COM3", [](fl::TfrmMain& m) { m.COM31->Click(); }, 3, {false, false, true, false, false}},
            {"COM3 again", [](fl::TfrmMain& m) { m.COM31->Click(); }, 3, {false, false, true, false, false}},
            {"more... 12", more("12"), 12, {false, false, false, false, true}},
            {"more... 2", more("2"), 2, {false, true, false, false, false}},
            {"COM4", [](fl::TfrmMain& m) { m.COM41->Click(); }, 4, {false, false, false, true, false}},
            {"COM1", [](fl::TfrmMain& m) { m.COM11->Click(); }, 1, {true, false, false, false, false}},
            {"more... 255", more("255"), 255, {false, false, false, false, true}},
        };
        for (const Step& s : steps) {
            SCOPED_TRACE(s.name);
            s.choose(f);
            EXPECT_EQ(f.Sequencer().GetPort(), s.port);
            EXPECT_EQ(PortChecks(f), s.checks);
        }
        EXPECT_TRUE(script.Boxes().empty());
        EXPECT_EQ(script.UnusedDrivers(), 0u);
    }
    EXPECT_NE(qmtest::ReadFile(home.IniPath()).find("Port=255"), std::string::npos);
    fl::TfrmMain again;
    EXPECT_EQ(again.Sequencer().GetPort(), 255);
}

TEST(FlashMainWindow, ExitClosesTheWindow)
{
    for (int viaMenu = 0; viaMenu < 2; ++viaMenu) {
        ConfigHome home;
        fl::TfrmMain f;
        ASSERT_TRUE(f.Visible());
        if (viaMenu)
            f.Exit1->Click();
        else
            f.btnExit->Click();
        EXPECT_FALSE(f.Visible());
    }
}

// Exit stays usable while a pass runs: the window goes, the pass ends
// without a word, and the port is kept.
TEST(FlashMainWindow, ExitDuringAPassEndsItQuietly)
{
    qmtest::ManualTime time;
    ConfigHome home;
    home.WriteIni("[Com Settings]\nPort=3\n");
    plat::ScopedMemorySerial serial;
    plat::ScopedDialogScript script;
    FlashRadio radio;
    qmsim::FlashRadioOnLine server{radio, serial.ports.Line(3)};
    auto f = std::make_unique<fl::TfrmMain>();
    new fl::TfrmPassword(*f);
    f->btnOK->Click();
    ASSERT_TRUE(time.host.AdvanceUntil([&] { return radio.recordsWritten >= 3; }, 60000, 5));
    f->btnExit->Click();
    EXPECT_FALSE(f->Visible());
    f.reset();
    time.Advance(5000);
    EXPECT_FALSE(serial.ports.Line(3).isOpen);
    EXPECT_LT(radio.recordsWritten, 10);
    EXPECT_TRUE(script.Boxes().empty());
    EXPECT_NE(qmtest::ReadFile(home.IniPath()).find("Port=3"), std::string::npos);
}

TEST(FlashMainWindow, ProgressShowsThePercentageInBarAndCaption)
{
    ConfigHome home;
    fl::TfrmMain f;
    struct Case {
        int done, total;
        int bar;             // where the bar stands afterwards
        const char* caption; // before the product text
    };
    const Case cases[] = {
        {0, 3884, 0, " 0% "},
        {255, 3884, 6, " 6% "},
        {3825, 3884, 98, "98% "},
        {50, 100, 50, "50% "},
        {100, 100, 50, "100% "},   // the bar stops below 100
        {103, 100, 50, "103% "},
        {1500, 0, 50, "50% "},     // no total: thousandths of 3000
        {99, 100, 99, "99% "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.done) + "/" + std::to_string(c.total));
        f.UpdateProgress(c.done, c.total);
        EXPECT_EQ(f.prgBarMain->Position(), c.bar);
        EXPECT_EQ(f.Caption(), std::string(c.caption) + "QM-7150Q RR 4.6.8");
        EXPECT_EQ(plat::ApplicationTitle(), f.Caption());
    }
    f.ResetProgress();
    EXPECT_EQ(f.prgBarMain->Position(), 0);
    EXPECT_EQ(f.Caption(), "QM-7150Q RR 4.6.8");
    EXPECT_EQ(plat::ApplicationTitle(), "QM-7150Q RR 4.6.8");
}

TEST(FlashMainWindow, IdentityCheckTakesOnlyAWellFormedReplyOfEitherModel)
{
    ConfigHome home;
    fl::TfrmMain f;
    auto payload = [](int length, int first) {
        std::vector<uint8_t> p(static_cast<size_t>(length), 0);
        if (length > 0) p[0] = static_cast<uint8_t>(first);
        if (length > 109) {
            p[53] = 0x08;
            p[109] = 0x02;
        }
        return p;
    };
    struct Case {
        const char* name;
        uint8_t code;
        int model;
        std::vector<uint8_t> payload;
        uint8_t result;
        bool protectedInfo; // information bytes 53 and 109 as the reply set them
    };
    const Case cases[] = {
        {"first model", 0, 0x7143, payload(127, 127), 0, true},
        {"second model", 0, 0x7148, payload(125, 125), 0, true},
        {"another model", 0, 0x7150, payload(127, 127), 11, true},
        {"first byte not the length", 0, 0x7143, payload(127, 126), 11, true},
        {"no payload", 0, 0x7143, {}, 11, true},
        {"a short payload", 0, 0x7148, payload(10, 10), 0, false}, // nothing left of the one before
        {"an error already", 6, 0x7150, {}, 6, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fl::dst_CDrv_Result r;
        r.Operation = fl::kOpIdQuery;
        r.Code = c.code;
        r.ModelCode = c.model;
        r.SubCode = 0x0102;
        if (!c.payload.empty()) r.Payload.AppendBytes(c.payload.data(), static_cast<int>(c.payload.size()));
        f.CheckIdAnswer(r);
        EXPECT_EQ(r.Code, c.result);
        EXPECT_EQ(f.RadioInfo()[53] == 0x08 && f.RadioInfo()[109] == 0x02, c.protectedInfo);
        if (c.result == 0) {
            EXPECT_EQ(f.IdentityBytes(), (std::array<uint8_t, 4>{uint8_t(c.model >> 8), uint8_t(c.model), 1, 2}));
            EXPECT_EQ(f.RadioInfo()[0], c.payload[0]);
        }
    }
}

// A whole pass in real time over a pseudo-terminal, the password dialog
// answered by its driver, then a screenshot of the window.
TEST(FlashMainWindowPty, FlashesAProtectedRadioAndShowsTheLog)
{
    ConfigHome home;
    home.WriteIni("[Com Settings]\nPort=7\n");
    FlashRadio::Settings settings;
    settings.password = "Key\xE9";
    FlashRadio radio(settings);
    qmsim::FlashRadioOnPty server(radio, false);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    qmsim::PointComPortAt(7, server.SlavePath());

    plat::ScopedDialogScript script;
    fl::TfrmMain f;
    new fl::TfrmPassword(f);
    EXPECT_TRUE(f.COMMore->Checked());
    script.Drive(TypePassword("Key\u00e9"));

    // The bar and caption while the uploads run.
    int highest = 0;
    bool captionShowedIt = false;
    auto watch = [&] {
        const int position = f.prgBarMain->Position();
        if (position > highest) {
            highest = position;
            char caption[16];
            std::snprintf(caption, sizeof caption, "%2d%% ", position);
            captionShowedIt = f.Caption() == std::string(caption) + "QM-7150Q RR 4.6.8";
        }
    };
    f.btnOK->Click();
    const bool ended = qmsim::RunEventsUntil(
        [&] {
            watch();
            return f.btnOK->Enabled();
        },
        120000);
    server.Stop();
    ASSERT_TRUE(ended);

    EXPECT_EQ(MemoLines(*f.memoMain),
              Join({PassStart(), {"[Password Protected]", "[Password Entered]", "[Password Sent]"}, Uploaded(),
                    PassEnd(2)}));
    EXPECT_TRUE(script.Boxes().empty());
    EXPECT_EQ(radio.Flash(), flashtest::EmbeddedImage());
    EXPECT_TRUE(radio.lastSumMatched);
    EXPECT_GE(highest, 90);
    EXPECT_TRUE(captionShowedIt);
    EXPECT_EQ(f.prgBarMain->Position(), 0);
    EXPECT_EQ(f.Caption(), "QM-7150Q RR 4.6.8");

    const std::string png = (qmtest::OutputDir() / "flashloader-main-after-pass.png").string();
    std::filesystem::remove(png);
    ASSERT_TRUE(plat::SavePng(f, png));
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
    const std::string shown = f.memoMain->Text();
    EXPECT_NE(shown.find("Upload Successful\nDisconnecting\n"), std::string::npos);
    EXPECT_NE(shown.find("Connect to Transceiver (No. 2)\nHit [OK] to Start Writing\n"), std::string::npos);
}

} // namespace
