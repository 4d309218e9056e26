#include "platform/base/IniFile.h"
#include "tests/support/TestSupport.h"

TEST(IniFile, CaseInsensitiveNamesAndOtherContentKept)
{
    plat::IniFile ini;
    ini.Parse("; a comment\r\n[Com Settings]\r\nPort=3\r\ngarbage line\r\n\r\n[Other]\r\nx = 1 \r\n");
    EXPECT_EQ(ini.GetInt("com settings", "PORT"), 3);
    EXPECT_EQ(ini.Get("OTHER", "X"), "1");
    EXPECT_EQ(ini.Get("Other", "garbage line"), std::nullopt);
    ini.SetInt("COM SETTINGS", "port", 7);
    ini.Set("New", "Path", "a=b\nc");
    ini.Set("Other", "y", "2");
    EXPECT_EQ(ini.Text(), "; a comment\n[Com Settings]\nPort=7\ngarbage line\n\n[Other]\nx = 1 \ny=2\n\n[New]\nPath=a=b c\n");
    EXPECT_EQ(ini.Keys("other"), (std::vector<std::string>{"x", "y"}));
    ini.RemoveSection("other");
    ini.Remove("new", "path");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Com Settings", "New"}));
}

TEST(IniFile, NumbersMustBeWholeAndSavingIsAtomic)
{
    plat::IniFile ini;
    ini.Parse("[s]\na=12x\nb=\nc=-4\nd=99999999999999999999\n");
    EXPECT_EQ(ini.GetInt("s", "a"), std::nullopt);
    EXPECT_EQ(ini.GetInt("s", "b"), std::nullopt);
    EXPECT_EQ(ini.GetInt("s", "c"), -4);
    EXPECT_EQ(ini.GetInt("s", "d"), std::nullopt);

    qmtest::TempDir dir;
    std::string path = dir.File("sub/dir/x.ini");
    ASSERT_TRUE(ini.Save(path));
    plat::IniFile back;
    ASSERT_TRUE(back.Load(path));
    EXPECT_EQ(back.Text(), ini.Text());
    // A target that cannot be replaced keeps its old content.
    std::filesystem::create_directories(dir.File("blocked.ini"));
    EXPECT_FALSE(ini.Save(dir.File("blocked.ini")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    EXPECT_FALSE(back.Load(dir.File("missing.ini")));
    EXPECT_TRUE(back.Sections().empty());
}

TEST(IniFile, LinesEndingInSeveralCarriageReturnsReadTheSameAfterASave)
{
    // Found by fuzzing: the first start saw no section, every later one did.
    plat::IniFile first;
    first.Parse("[Global]\r\r\nComPort=3\r\r\r\n\x04\r\r");
    EXPECT_EQ(first.GetInt("Global", "ComPort"), 3);
    plat::IniFile second;
    second.Parse(first.Text());
    EXPECT_EQ(second.GetInt("Global", "ComPort"), 3);
    EXPECT_EQ(second.Text(), first.Text());
}
