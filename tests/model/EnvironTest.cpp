#include "model/indEnviron.h"

#include "platform/base/Fatal.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old) setenv(m_name.c_str(), m_old->c_str(), 1);
        else unsetenv(m_name.c_str());
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

const std::string Key = indEnviron::SettingsKeyName;

// A complete settings file as a previous run leaves it.
const char* const StoredSettings =
    "[Global]\n"
    "BBT=753951\n"
    "ComPort=3\n"
    "ComSpeedHigh=0\n"
    "Current Directory=/home/u/radio\n"
    "[Recent File List]\n"
    "Recent0=/home/u/radio/a.icf\n"
    "Recent1=/home/u/b.icf\n"
    "Recent2=/home/u/radio/a.icf\n"
    "Recent3=\n"
    "Recent4=/home/u/radio/A.icf\n"
    "[View Option]\n"
    "FontSize Percentage=150\n"
    "Toolbar Visible=0\n"
    "FontSize Printer=9\n"
    "ViewType=1\n"
    "[Window Position]\n"
    "Left=10\n"
    "Top=20\n"
    "Width=640\n"
    "Height=480\n"
    "SplitterV=250\n"
    "[Setup]\n"
    "ModelType=1\n"
    "Language=2\n"
    "[Password]\n"
    "MakerMarlockMode=414243\n";

class Environ : public ::testing::Test {
protected:
    Environ()
    {
        std::filesystem::create_directories(dir.Path() / "run");
    }

    std::unique_ptr<indEnviron> Start(int screenWidth = 1024, int screenHeight = 768)
    {
        return std::make_unique<indEnviron>(indEnviron::MutexName, Key, screenWidth, screenHeight);
    }

    void WriteSettings(const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        qmtest::WriteFile(file, text);
    }

    // The stored settings with one value line replaced ("" removes it).
    static std::string StoredWith(const std::string& line, const std::string& replacement)
    {
        std::string text = StoredSettings;
        size_t at = text.find(line + "\n");
        EXPECT_NE(at, std::string::npos) << line;
        text.replace(at, line.size() + 1, replacement.empty() ? "" : replacement + "\n");
        return text;
    }

    static void ExpectDefaults(const indEnviron& e)
    {
        EXPECT_EQ(e.BBT, indEnviron::ValidMarker);
        EXPECT_EQ(e.ComPort, 1);
        EXPECT_EQ(e.ComSpeedHigh, 1);
        EXPECT_EQ(e.CurrentDirectory, "");
        EXPECT_EQ(e.ClonePassword, "");
        EXPECT_EQ(const_cast<indEnviron&>(e).RecentFiles.Count(), 0);
        EXPECT_EQ(e.FontSizePercentage, 100);
        EXPECT_EQ(e.ToolbarVisible, 1);
        EXPECT_EQ(e.FontSizePrinter, 10);
        EXPECT_EQ(e.SplitterV, 200);
        EXPECT_EQ(e.ModelType, 0);
        EXPECT_EQ(e.Language, 0);
        EXPECT_EQ(e.MakerWord, "marlock");
        EXPECT_EQ(e.CustomerWord, "corvel");
        EXPECT_EQ(e.PriorityRemoval, 1);
        EXPECT_EQ(e.RotaryLimit, 1);
        EXPECT_EQ(e.KeyCRemoval, 0);
    }

    qmtest::TempDir dir;
    ScopedEnv config{"XDG_CONFIG_HOME", (dir.Path() / "config").string()};
    ScopedEnv runtime{"XDG_RUNTIME_DIR", (dir.Path() / "run").string()};
    std::string file = (dir.Path() / "config" / "Vosk" / "KT-W8840PX.ini").string();
};

TEST_F(Environ, FirstStartTakesTheDefaultsAndWritesThemAtExit)
{
    auto e = Start(1024, 768);
    ASSERT_TRUE(e->IsStartAllowed());
    ExpectDefaults(*e);
    EXPECT_EQ(e->ViewType, 0);
    EXPECT_EQ(e->Left, 112);
    EXPECT_EQ(e->Top, 50);
    EXPECT_EQ(e->Width, 800);
    EXPECT_EQ(e->Height, 600);
    EXPECT_FALSE(std::filesystem::exists(file)); // settings reach the file only at exit

    e.reset();
    std::string text = qmtest::ReadFile(file);
    for (const char* expected : {"[Global]\nBBT=753951\nComPort=1\nComSpeedHigh=1\nCurrent Directory=\n",
                                 "[Recent File List]\nRecent0=\n", "Recent9=\n",
                                 "[View Option]\nFontSize Percentage=100\nToolbar Visible=1\nFontSize Printer=10\n"
                                 "ViewType=0\n",
                                 "[Window Position]\nLeft=112\nTop=50\nWidth=800\nHeight=600\nSplitterV=200\n",
                                 "[Setup]\nModelType=0\nLanguage=0\n", "[Password]\nMakerMarlockMode=6D61726C6F636B\n"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin\n" << text;
}

TEST_F(Environ, TheDefaultWindowFitsTheScreen)
{
    struct Case {
        int screenW, screenH, left, top, width, height;
    } cases[] = {
        {1024, 768, 112, 50, 800, 600},
        {640, 480, 32, 14, 576, 432},
        {1920, 1080, 560, 144, 800, 600},
        {800, 600, 40, 18, 720, 540},
    };
    for (const Case& c : cases) {
        auto e = Start(c.screenW, c.screenH);
        EXPECT_EQ(e->Left, c.left) << c.screenW << "x" << c.screenH;
        EXPECT_EQ(e->Top, c.top) << c.screenW << "x" << c.screenH;
        EXPECT_EQ(e->Width, c.width) << c.screenW << "x" << c.screenH;
        EXPECT_EQ(e->Height, c.height) << c.screenW << "x" << c.screenH;
        e.reset();
        std::filesystem::remove(file);
    }
}

TEST_F(Environ, StoredSettingsComeBackAndChangesSurviveARestart)
{
    WriteSettings(StoredSettings);
    auto e = Start();
    ASSERT_TRUE(e->IsStartAllowed());
    EXPECT_EQ(e->ComPort, 3);
    EXPECT_EQ(e->ComSpeedHigh, 0);
    EXPECT_EQ(e->CurrentDirectory, "/home/u/radio");
    // Loaded in order; a repeat moves to its later place, empty places are no files.
    ASSERT_EQ(e->RecentFiles.Count(), 3);
    EXPECT_EQ(e->RecentFiles.Path(0), "/home/u/b.icf");
    EXPECT_EQ(e->RecentFiles.Path(1), "/home/u/radio/a.icf");
    EXPECT_EQ(e->RecentFiles.Path(2), "/home/u/radio/A.icf");
    EXPECT_EQ(e->FontSizePercentage, 150);
    EXPECT_EQ(e->ToolbarVisible, 0);
    EXPECT_EQ(e->FontSizePrinter, 9);
    EXPECT_EQ(e->ViewType, 1);
    EXPECT_EQ(e->Left, 10);
    EXPECT_EQ(e->Top, 20);
    EXPECT_EQ(e->Width, 640);
    EXPECT_EQ(e->Height, 480);
    EXPECT_EQ(e->SplitterV, 250);
    EXPECT_EQ(e->ModelType, 1);
    EXPECT_EQ(e->Language, 2);
    EXPECT_EQ(e->MakerWord, "ABC");
    EXPECT_EQ(e->CustomerWord, "corvel");

    e->ComPort = 200;
    e->ComSpeedHigh = 1;
    e->CurrentDirectory = " /home/u/with blank first";
    e->RecentFiles.AddFront("/home/u/x=y;z #1.icf");
    e->FontSizePercentage = 1000;
    e->ToolbarVisible = 1;
    e->FontSizePrinter = 12;
    e->ViewType = 0;
    e->Left = -8;
    e->Top = 0;
    e->Width = 1200;
    e->Height = 900;
    e->SplitterV = 0;
    e->ModelType = 0;
    e->Language = 5;
    e->MakerWord = "";
    e->ClonePassword = "secret";
    e.reset();

    std::string text = qmtest::ReadFile(file);
    EXPECT_EQ(text.find("secret"), std::string::npos);
    EXPECT_EQ(text.find("corvel"), std::string::npos);
    EXPECT_NE(text.find("MakerMarlockMode=00\n"), std::string::npos) << text;

    e = Start();
    EXPECT_EQ(e->ComPort, 200);
    EXPECT_EQ(e->ComSpeedHigh, 1);
    EXPECT_EQ(e->CurrentDirectory, " /home/u/with blank first");
    ASSERT_EQ(e->RecentFiles.Count(), 4);
    EXPECT_EQ(e->RecentFiles.Path(0), "/home/u/x=y;z #1.icf");
    EXPECT_EQ(e->RecentFiles.Path(3), "/home/u/radio/A.icf");
    EXPECT_EQ(e->FontSizePercentage, 1000);
    EXPECT_EQ(e->ToolbarVisible, 1);
    EXPECT_EQ(e->FontSizePrinter, 12);
    EXPECT_EQ(e->ViewType, 0);
    EXPECT_EQ(e->Left, -8);
    EXPECT_EQ(e->Top, 0);
    EXPECT_EQ(e->Width, 1200);
    EXPECT_EQ(e->Height, 900);
    EXPECT_EQ(e->SplitterV, 0);
    EXPECT_EQ(e->ModelType, 0);
    EXPECT_EQ(e->Language, 5);
    EXPECT_EQ(e->MakerWord, "");
    EXPECT_EQ(e->ClonePassword, "");
    EXPECT_EQ(e->CustomerWord, "corvel");
}

TEST_F(Environ, LoadingKeepsValuesInTheirRanges)
{
    struct Case {
        const char* line;
        const char* stored;
        int32_t indEnviron::*member;
        int32_t loaded;
    } cases[] = {
        {"ComPort=3", "ComPort=0", &indEnviron::ComPort, 1},
        {"ComPort=3", "ComPort=300", &indEnviron::ComPort, 256},
        {"ComPort=3", "ComPort=256", &indEnviron::ComPort, 256},
        {"ComPort=3", "ComPort=-7", &indEnviron::ComPort, 1},
        {"ComSpeedHigh=0", "ComSpeedHigh=2", &indEnviron::ComSpeedHigh, 1},
        {"ComSpeedHigh=0", "ComSpeedHigh=-1", &indEnviron::ComSpeedHigh, 0},
        {"FontSize Percentage=150", "FontSize Percentage=5", &indEnviron::FontSizePercentage, 25},
        {"FontSize Percentage=150", "FontSize Percentage=1001", &indEnviron::FontSizePercentage, 1000},
        {"Toolbar Visible=0", "Toolbar Visible=5", &indEnviron::ToolbarVisible, 1},
        {"Toolbar Visible=0", "Toolbar Visible=-1", &indEnviron::ToolbarVisible, 1},
        {"FontSize Printer=9", "FontSize Printer=20", &indEnviron::FontSizePrinter, 12},
        {"FontSize Printer=9", "FontSize Printer=7", &indEnviron::FontSizePrinter, 8},
        {"ViewType=1", "ViewType=7", &indEnviron::ViewType, 1},
        {"ViewType=1", "ViewType=-2", &indEnviron::ViewType, 0},
        {"Language=2", "Language=-4", &indEnviron::Language, 0},
        {"Language=2", "Language=300", &indEnviron::Language, 300},
        {"ModelType=1", "ModelType=5", &indEnviron::ModelType, 5},
        {"Left=10", "Left=-5000", &indEnviron::Left, -5000},
        {"SplitterV=250", "SplitterV=-1", &indEnviron::SplitterV, -1},
    };
    for (const Case& c : cases) {
        WriteSettings(StoredWith(c.line, c.stored));
        auto e = Start();
        EXPECT_EQ((*e).*c.member, c.loaded) << c.stored;
        EXPECT_EQ(e->MakerWord, "ABC") << c.stored; // nothing else reset
    }
}

TEST_F(Environ, AnyMissingOrUnreadableNumberResetsEverySetting)
{
    struct Case {
        const char* line;
        const char* replacement;
        int32_t viewType; // the view type keeps what was read before the fault
    } cases[] = {
        {"BBT=753951", "", 0},
        {"BBT=753951", "BBT=5", 1},
        {"ComPort=3", "ComPort=three", 0},
        {"FontSize Printer=9", "FontSize Printer=99999999999", 0},
        {"[Window Position]\nLeft=10\nTop=20\nWidth=640\nHeight=480\nSplitterV=250", "", 1},
        {"Height=480", "Height=", 1},
        {"Language=2", "Language=0x2", 1},
        {"[Setup]", "[Set up]", 1},
    };
    for (const Case& c : cases) {
        WriteSettings(StoredWith(c.line, c.replacement));
        auto e = Start(640, 480);
        ASSERT_TRUE(e->IsStartAllowed());
        ExpectDefaults(*e);
        EXPECT_EQ(e->ViewType, c.viewType) << c.replacement;
        EXPECT_EQ(e->Width, 576) << c.replacement;
        EXPECT_EQ(e->Top, 14) << c.replacement;
    }
}

TEST_F(Environ, ACorruptFileNeverStopsTheProgram)
{
    std::string garbage(4096, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) % 256);
    for (const std::string& text : {garbage, std::string("[Global]\nBBT=753951\nComPort=\"9\"\n"),
                                    std::string("=\n[\n]\n[[Global]]\n==\n")}) {
        WriteSettings(text);
        {
            auto e = Start();
            ASSERT_TRUE(e->IsStartAllowed());
            ExpectDefaults(*e);
            e->ComPort = 4;
        }
        // The next start finds the settings of the last run.
        auto e = Start();
        EXPECT_EQ(e->ComPort, 4);
        EXPECT_EQ(e->MakerWord, "marlock");
    }
}

TEST_F(Environ, TheMakerWordIsStoredAsHexadecimal)
{
    struct Case {
        const char* stored; // nullptr: no value
        const char* word;
    } loads[] = {
        {nullptr, "marlock"}, {"", "marlock"},      {"00", ""},          {"414243", "ABC"},
        {"616263", "abc"},    {"41424", "AB\x04"}, {"zz41", "marlock"}, {"41 42", "marlock"},
        {"4100", "marlock"},
    };
    for (const Case& c : loads) {
        WriteSettings(StoredWith("MakerMarlockMode=414243",
                                 c.stored ? std::string("MakerMarlockMode=") + c.stored : std::string()));
        auto e = Start();
        EXPECT_EQ(e->MakerWord, c.word) << (c.stored ? c.stored : "(none)");
        EXPECT_EQ(e->ComPort, 3); // a bad word resets nothing else
    }

    struct Saved {
        const char* word;
        const char* stored;
    } saves[] = {{"", "00"}, {"Ab1", "416231"}, {"marlock", "6D61726C6F636B"}};
    for (const Saved& s : saves) {
        auto e = Start();
        e->MakerWord = s.word;
        e.reset();
        EXPECT_NE(qmtest::ReadFile(file).find(std::string("MakerMarlockMode=") + s.stored + "\n"), std::string::npos)
            << s.word;
        EXPECT_EQ(Start()->MakerWord, s.word);
    }
}

TEST_F(Environ, ASecondInstanceIsRefusedAndNeverSaves)
{
    WriteSettings(StoredSettings);
    auto first = Start();
    ASSERT_TRUE(first->IsStartAllowed());
    {
        plat::ScopedDialogScript script;
        script.Answer(plat::IDOK);
        auto second = Start();
        EXPECT_FALSE(second->IsStartAllowed());
        ASSERT_EQ(script.Boxes().size(), 1u);
        EXPECT_EQ(script.Boxes()[0].text, "Application Error. Check to see if application already running.");
        EXPECT_EQ(script.Boxes()[0].caption, plat::ProgramFileName());
        EXPECT_EQ(script.Boxes()[0].Icon(), plat::MB_ICONERROR);
        EXPECT_EQ(script.Boxes()[0].Buttons(), plat::MB_OK);
        // Nothing was loaded, and nothing is written.
        EXPECT_EQ(second->ComPort, 0);
        EXPECT_NE(second->BBT, indEnviron::ValidMarker);
        EXPECT_EQ(second->FindEditForm("Any"), nullptr);
        second->ComPort = 9;
        second->BBT = indEnviron::ValidMarker;
        second->WriteInteger(Key + "\\Display\\X\\colwidth", 1, "1");
        second.reset();
        EXPECT_EQ(qmtest::ReadFile(file), StoredSettings);
    }
    first->ComPort = 7;
    first.reset();
    auto third = Start();
    EXPECT_TRUE(third->IsStartAllowed());
    EXPECT_EQ(third->ComPort, 7);
}

TEST_F(Environ, WithoutAnyLockFileTheProgramStillStarts)
{
    const std::string mutex = "Environ Test Lock " + std::to_string(getpid());
    // The fallback lock lives in the temporary folder: this test's own.
    std::filesystem::create_directories(dir.Path() / "tmp");
    ScopedEnv tmp{"TMPDIR", (dir.Path() / "tmp").string()};
    std::string target = (dir.Path() / "elsewhere").string();
    std::string tempLock = plat::SingleInstance::TempLockPath(mutex);
    std::filesystem::create_symlink(target, plat::SingleInstance::RuntimeLockPath(mutex));
    std::filesystem::create_symlink(target, tempLock);
    WriteSettings(StoredSettings);
    {
        indEnviron e(mutex, Key, 1024, 768);
        EXPECT_TRUE(e.IsStartAllowed());
        EXPECT_EQ(e.ComPort, 3);
        e.ComPort = 8;
    }
    std::filesystem::remove(tempLock);
    indEnviron again(mutex, Key, 1024, 768);
    EXPECT_EQ(again.ComPort, 8);
}

TEST_F(Environ, WindowPlacementsAreReadOnceAndKeptInMemory)
{
    WriteSettings(std::string(StoredSettings) +
                  "[EditForm Position]\n"
                  "GI_Sheet_Rpt_Left=10\nGI_Sheet_Rpt_Top=20\nGI_Sheet_Rpt_Width=300\nGI_Sheet_Rpt_Height=200\n"
                  "GI_Sheet_Rpt_WindowState=2\n"
                  "Half_Left=1\nHalf_Top=2\nHalf_Width=3\nHalf_Height=4\n");
    auto e = Start();
    dst_EditFormPos* rpt = e->EditFormPosition("GI_Sheet_Rpt");
    ASSERT_NE(rpt, nullptr);
    EXPECT_EQ(rpt->Name, "GI_Sheet_Rpt");
    EXPECT_EQ(std::vector<int32_t>({rpt->Left, rpt->Top, rpt->Width, rpt->Height, rpt->WindowState}),
              std::vector<int32_t>({10, 20, 300, 200, 2}));
    EXPECT_EQ(std::vector<int32_t>({rpt->GridCol, rpt->GridRow, rpt->LeftCol, rpt->TopRow, rpt->Open}),
              std::vector<int32_t>({-1, -1, -1, -1, 0}));
    EXPECT_EQ(e->FindEditForm("GI_Sheet_Rpt"), rpt);
    EXPECT_EQ(e->FindEditForm("GI_Sheet"), nullptr);

    // Four of five values: none, and the store is asked again next time.
    EXPECT_EQ(e->FindEditForm("Half"), nullptr);
    e->WriteInteger(Key + "\\EditForm Position", 0, "Half_WindowState");
    ASSERT_NE(e->FindEditForm("Half"), nullptr);
    EXPECT_EQ(e->FindEditForm("Half")->Height, 4);

    // Later changes live in memory: the store is not read again.
    EXPECT_EQ(e->SetEditFormPosition("GI_Sheet_Rpt", 5, 6, 7, 8, 1, 2, 3, 4, 0, 1), rpt);
    e->WriteInteger(Key + "\\EditForm Position", 99, "GI_Sheet_Rpt_Left");
    EXPECT_EQ(e->EditFormPosition("GI_Sheet_Rpt")->Left, 5);
    EXPECT_EQ(rpt->TopRow, 4);
    EXPECT_EQ(rpt->Open, 1);
    dst_EditFormPos* fresh = e->SetEditFormPosition("New Window", 50, 60, 70, 80, 0, 0, 0, 0, 2, 0);
    EXPECT_EQ(e->EditFormPosition("New Window"), fresh);
    e.reset();

    e = Start();
    rpt = e->EditFormPosition("GI_Sheet_Rpt");
    ASSERT_NE(rpt, nullptr);
    EXPECT_EQ(std::vector<int32_t>({rpt->Left, rpt->Top, rpt->Width, rpt->Height, rpt->WindowState, rpt->GridCol}),
              std::vector<int32_t>({5, 6, 7, 8, 0, -1}));
    fresh = e->EditFormPosition("New Window");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(std::vector<int32_t>({fresh->Left, fresh->Top, fresh->Width, fresh->Height, fresh->WindowState}),
              std::vector<int32_t>({50, 60, 70, 80, 2}));
}

TEST_F(Environ, ColumnWidthKeysBelowTheSettingsKey)
{
    const std::string bank = Key + "\\Display\\Bank\\colwidth";
    const std::string mch = Key + "\\Display\\Mch\\colwidth";
    WriteSettings(std::string(StoredSettings) + "[Display\\Mch\\colwidth]\n2=abc\n3=90\n");
    {
        auto e = Start();
        EXPECT_EQ(e->ReadInteger(bank, "3"), -1);
        EXPECT_EQ(e->ReadInteger(mch, "3"), 90);
        EXPECT_EQ(e->ReadInteger(mch, "2"), -1); // not a number
        e->WriteInteger(bank, 120, "3");
        e->WriteInteger("software\\vosk\\kt-w8840px\\display\\bank\\colwidth", 130, "4");
        EXPECT_EQ(e->ReadInteger(bank, "3"), 120);
        EXPECT_EQ(e->ReadInteger(bank, "4"), 130);

        e->WriteInteger("Software\\Other\\Program\\Display", 5, "1"); // outside the settings: ignored
        EXPECT_EQ(e->ReadInteger("Software\\Other\\Program\\Display", "1"), -1);

        e->DeleteKey(Key, "Display\\Mch\\colwidth");
        EXPECT_EQ(e->ReadInteger(mch, "3"), -1);
        EXPECT_EQ(e->ReadInteger(bank, "3"), 120);
        e->DeleteKey(Key + "\\Display", "Nothing\\colwidth"); // a missing key: nothing happens
    }
    auto e = Start();
    EXPECT_EQ(e->ReadInteger(bank, "3"), 120);
    EXPECT_EQ(e->ReadInteger(mch, "3"), -1);
    std::string text = qmtest::ReadFile(file);
    EXPECT_NE(text.find("[Display\\Bank\\colwidth]\n3=120\n4=130\n"), std::string::npos) << text;
}

TEST_F(Environ, AnUnwritableSettingsFolderIsSkippedSilently)
{
    qmtest::WriteFile((dir.Path() / "config").string(), "not a folder");
    auto e = Start();
    ASSERT_TRUE(e->IsStartAllowed());
    ExpectDefaults(*e);
    e->ComPort = 5;
    e.reset(); // the save fails; nothing is reported
    EXPECT_FALSE(std::filesystem::is_directory(dir.Path() / "config"));
}

TEST_F(Environ, TheHolderInstallsTheProgramsEnvironment)
{
    indEnviron* before = g_Environ;
    {
        indEnvironHolder holder(1024, 768);
        EXPECT_EQ(g_Environ, &holder.Get());
        EXPECT_TRUE(g_Environ->IsStartAllowed());
        EXPECT_EQ(g_Environ->GetMutexName(), "Vosk KT-W8840PX APP Exclusive Mutex");
        EXPECT_EQ(g_Environ->GetSettingsKey(), "Software\\Vosk\\KT-W8840PX");
        g_Environ->ComPort = 6;
    }
    EXPECT_EQ(g_Environ, before);
    EXPECT_EQ(Start()->ComPort, 6);
}

} // namespace
