#include "platform/base/Settings.h"
#include "platform/base/SingleInstance.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Sets (or, with nullptr, removes) an environment variable for the lifetime
// of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
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

const char* const Key = "Software\\Vosk\\KT-W8840PX";

class Settings : public ::testing::Test {
protected:
    qmtest::TempDir dir;
    ScopedEnv config{"XDG_CONFIG_HOME", dir.Path().c_str()};
    std::string file = dir.File("Vosk/KT-W8840PX.ini");
};

TEST_F(Settings, FileOfASettingsKey)
{
    EXPECT_EQ(plat::SettingsStore::FilePathOf(Key), file);
    EXPECT_EQ(plat::SettingsStore::FilePathOf("software\\Maker\\Tool\\Sub"), dir.File("Maker/Tool/Sub.ini"));
    for (const char* bad : {"", "Software", "Software\\Vosk", "Hardware\\Vosk\\X", "Software\\..\\X",
                            "Software\\Vosk\\", "Software\\a/b\\X"})
        EXPECT_EQ(plat::SettingsStore::FilePathOf(bad), "") << bad;

    plat::SettingsStore store(Key);
    EXPECT_EQ(store.SectionOf(Key), "");
    EXPECT_EQ(store.SectionOf("software\\vosk\\kt-w8840px\\Display\\Bank\\colwidth"), "Display\\Bank\\colwidth");
    EXPECT_EQ(store.SectionOf("Software\\Vosk\\KT-W8840PXY\\Global"), std::nullopt);
    EXPECT_EQ(store.SectionOf("Software\\Vosk"), std::nullopt);
}

TEST_F(Settings, ValuesSurviveTheFileExactly)
{
    const std::string texts[] = {
        "/home/u/radio files/a=b;c.icf",
        " leading blank",
        "trailing tab\t",
        "\"quoted\"",
        "line\nbreak\rand\x01 control \x7F",
        "back\\slash \"inside\"",
        "\xE6\x97\xA5\xE6\x9C\xAC.icf",
        "",
    };
    {
        plat::SettingsStore store(Key);
        EXPECT_FALSE(store.Load()); // no file yet
        store.WriteInt("Global", "ComPort", 3);
        store.WriteInt("Window Position", "Left", -2147483647 - 1);
        store.WriteInt("Display\\Bank\\colwidth", "4", 120);
        for (size_t i = 0; i < std::size(texts); ++i)
            store.WriteText("Texts", "T" + std::to_string(i), texts[i]);
        ASSERT_TRUE(store.Save());
    }
    std::string content = qmtest::ReadFile(file);
    EXPECT_NE(content.find("[Global]\nComPort=3\n"), std::string::npos) << content;
    EXPECT_NE(content.find("[Display\\Bank\\colwidth]\n4=120\n"), std::string::npos) << content;
    EXPECT_NE(content.find("T0=/home/u/radio files/a=b;c.icf\n"), std::string::npos) << content;

    plat::SettingsStore store(Key);
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.ReadInt("GLOBAL", "comport"), 3);
    EXPECT_EQ(store.ReadInt("Window Position", "Left"), -2147483647 - 1);
    EXPECT_EQ(store.ReadInt("Display\\Bank\\colwidth", "4"), 120);
    EXPECT_EQ(store.ReadInt("Display\\Bank\\colwidth", "5"), std::nullopt);
    EXPECT_EQ(store.ReadInt("Missing", "4"), std::nullopt);
    for (size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(store.ReadText("Texts", "T" + std::to_string(i)), texts[i]) << i;
}

TEST_F(Settings, ADamagedFileReadsAsMissingValues)
{
    std::filesystem::create_directories(dir.Path() / "Vosk");
    qmtest::WriteFile(file, std::string("\x00\xFF", 2) + " garbage\r\n[Global\r\n=5\r\n[Global]\r\n" +
                                "ComPort=12abc\r\nBBT=753951\r\nBig=4294967296\r\nSmall=-2147483649\r\n"
                                "Hex=0x10\r\nEmpty=\r\nSpaced =  42 \r\nOpen=\"no end\r\nBad=\"\\q\"\r\n"
                                "Short=\"\\x4\"\r\nPlain=just text\r\n[View Option\r\nFontSize Printer=9\r\n");
    plat::SettingsStore store(Key);
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.ReadInt("Global", "BBT"), 753951);
    EXPECT_EQ(store.ReadInt("Global", "Spaced"), 42);
    for (const char* name : {"ComPort", "Big", "Small", "Hex", "Empty", "Plain"})
        EXPECT_EQ(store.ReadInt("Global", name), std::nullopt) << name;
    for (const char* name : {"Open", "Bad", "Short"}) EXPECT_EQ(store.ReadText("Global", name), std::nullopt) << name;
    EXPECT_EQ(store.ReadText("Global", "Plain"), "just text");
    EXPECT_EQ(store.ReadText("Global", "Empty"), "");
    // "[View Option" is no section header: its line belongs to [Global].
    EXPECT_EQ(store.ReadInt("View Option", "FontSize Printer"), std::nullopt);

    // Writing over the damage keeps the file usable.
    store.WriteInt("Global", "ComPort", 2);
    ASSERT_TRUE(store.Save());
    plat::SettingsStore again(Key);
    again.Load();
    EXPECT_EQ(again.ReadInt("Global", "ComPort"), 2);
    EXPECT_EQ(again.ReadInt("Global", "BBT"), 753951);
}

TEST_F(Settings, DeletingAKeyRemovesTheKeysBelowIt)
{
    plat::SettingsStore store(Key);
    store.WriteInt("Display\\Bank\\colwidth", "1", 50);
    store.WriteInt("Display\\Bank\\colwidth\\Extra", "1", 51);
    store.WriteInt("Display\\Bank2\\colwidth", "1", 60);
    store.WriteInt("Display\\Bankx", "1", 70);
    store.DeleteSection("display\\bank");
    EXPECT_EQ(store.ReadInt("Display\\Bank\\colwidth", "1"), std::nullopt);
    EXPECT_EQ(store.ReadInt("Display\\Bank\\colwidth\\Extra", "1"), std::nullopt);
    EXPECT_EQ(store.ReadInt("Display\\Bank2\\colwidth", "1"), 60);
    EXPECT_EQ(store.ReadInt("Display\\Bankx", "1"), 70);
}

TEST_F(Settings, AnUnwritablePlaceFailsQuietly)
{
    // The configuration folder is a file: nothing can be read or written below it.
    std::string notAFolder = dir.File("plain");
    qmtest::WriteFile(notAFolder, "x");
    ScopedEnv badConfig("XDG_CONFIG_HOME", notAFolder.c_str());
    plat::SettingsStore store(Key);
    EXPECT_FALSE(store.Load());
    store.WriteInt("Global", "ComPort", 9);
    EXPECT_FALSE(store.Save());
    EXPECT_EQ(store.ReadInt("Global", "ComPort"), 9);

    plat::SettingsStore keyless("Software\\Vosk");
    EXPECT_FALSE(keyless.Load());
    keyless.WriteInt("Global", "ComPort", 9);
    EXPECT_FALSE(keyless.Save());
}

// ---- single instance --------------------------------------------------------

class Instance : public ::testing::Test {
protected:
    qmtest::TempDir dir;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.Path().c_str()};
    const std::string name = "Test Instance " + std::to_string(getpid());
};

using State = plat::SingleInstance::State;

TEST_F(Instance, ASecondHolderIsRefusedUntilTheFirstGoes)
{
    auto first = std::make_unique<plat::SingleInstance>(name);
    EXPECT_EQ(first->GetState(), State::Held);
    EXPECT_EQ(first->LockPath(), dir.File(name + ".lock"));
    {
        plat::SingleInstance second(name);
        EXPECT_EQ(second.GetState(), State::HeldElsewhere);
    }
    plat::SingleInstance other("Another " + name);
    EXPECT_EQ(other.GetState(), State::Held);
    first.reset();
    plat::SingleInstance third(name);
    EXPECT_EQ(third.GetState(), State::Held);
}

TEST_F(Instance, FallsBackToTheTemporaryFolder)
{
    for (const char* runtimeDir : {static_cast<const char*>(nullptr), "", "relative/dir", "/nonexistent/run/dir"}) {
        ScopedEnv noRuntime("XDG_RUNTIME_DIR", runtimeDir);
        plat::SingleInstance first(name);
        EXPECT_EQ(first.GetState(), State::Held) << (runtimeDir ? runtimeDir : "(unset)");
        EXPECT_EQ(first.LockPath(), plat::SingleInstance::TempLockPath(name));
        EXPECT_NE(first.LockPath().find(std::to_string(getuid())), std::string::npos);
        plat::SingleInstance second(name);
        EXPECT_EQ(second.GetState(), State::HeldElsewhere);
    }
    std::filesystem::remove(plat::SingleInstance::TempLockPath(name));
}

TEST_F(Instance, NeverFollowsASymbolicLink)
{
    // A planted link is not followed: the next place is tried, and when no
    // place is usable there is no lock at all (nothing is created elsewhere).
    std::string target = dir.File("elsewhere");
    std::string runtimePath = plat::SingleInstance::RuntimeLockPath(name);
    std::string tempPath = plat::SingleInstance::TempLockPath(name);
    std::filesystem::create_symlink(target, runtimePath);
    {
        plat::SingleInstance lock(name);
        EXPECT_EQ(lock.GetState(), State::Held);
        EXPECT_EQ(lock.LockPath(), tempPath);
    }
    std::filesystem::remove(tempPath);
    std::filesystem::create_symlink(target, tempPath);
    {
        plat::SingleInstance lock(name);
        EXPECT_EQ(lock.GetState(), State::Unavailable);
    }
    std::filesystem::remove(tempPath);
    EXPECT_FALSE(std::filesystem::exists(target));
}

// A child process that takes the lock, reports its state on a pipe, and
// holds the lock until told to go (or killed).
class Child {
public:
    Child(const std::string& name, int goFd = -1)
    {
        int report[2], hold[2];
        if (pipe(report) != 0 || pipe(hold) != 0) throw std::runtime_error("pipe");
        m_pid = fork();
        if (m_pid == 0) {
            close(report[0]);
            close(hold[1]);
            char c;
            if (goFd >= 0 && read(goFd, &c, 1) < 0) _exit(3);
            plat::SingleInstance lock(name);
            char state = static_cast<char>('0' + static_cast<int>(lock.GetState()));
            if (write(report[1], &state, 1) != 1) _exit(3);
            while (read(hold[0], &c, 1) > 0) {
            }
            _exit(0);
        }
        close(report[1]);
        close(hold[0]);
        m_report = report[0];
        m_hold = hold[1];
    }
    ~Child()
    {
        if (m_pid > 0) Kill();
        close(m_report);
        if (m_hold >= 0) close(m_hold);
    }
    State ReadState()
    {
        char c = 0;
        EXPECT_EQ(read(m_report, &c, 1), 1);
        return static_cast<State>(c - '0');
    }
    // Ends the child normally (it releases the lock on its way out).
    void Finish()
    {
        close(m_hold);
        m_hold = -1;
        Wait();
    }
    // Ends the child without a chance to clean up.
    void Kill()
    {
        kill(m_pid, SIGKILL);
        Wait();
    }

private:
    void Wait()
    {
        int status;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
    pid_t m_pid = -1;
    int m_report = -1;
    int m_hold = -1;
};

TEST_F(Instance, ProcessesOneAfterTheOther)
{
    {
        plat::SingleInstance mine(name);
        ASSERT_EQ(mine.GetState(), State::Held);
        Child child(name);
        EXPECT_EQ(child.ReadState(), State::HeldElsewhere);
        child.Finish();
    }
    {
        Child child(name);
        EXPECT_EQ(child.ReadState(), State::Held);
        EXPECT_EQ(plat::SingleInstance(name).GetState(), State::HeldElsewhere);
        child.Finish();
        EXPECT_EQ(plat::SingleInstance(name).GetState(), State::Held);
    }
    {
        // A holder that dies leaves its lock file behind, but not its lock.
        Child child(name);
        EXPECT_EQ(child.ReadState(), State::Held);
        child.Kill();
        EXPECT_TRUE(std::filesystem::exists(dir.File(name + ".lock")));
        EXPECT_EQ(plat::SingleInstance(name).GetState(), State::Held);
    }
}

TEST_F(Instance, ProcessesStartedAtOnceGetOneLock)
{
    for (int round = 0; round < 5; ++round) {
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        Child a(name, go[0]), b(name, go[0]), c(name, go[0]);
        close(go[0]);
        const char start[3] = {1, 1, 1};
        ASSERT_EQ(write(go[1], start, 3), 3);
        close(go[1]);
        int held = 0, refused = 0;
        for (Child* child : {&a, &b, &c}) {
            State s = child->ReadState();
            held += s == State::Held;
            refused += s == State::HeldElsewhere;
        }
        EXPECT_EQ(held, 1);
        EXPECT_EQ(refused, 2);
    }
}

} // namespace
