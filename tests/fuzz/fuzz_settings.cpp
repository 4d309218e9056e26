// The INI file reader and the settings store: any bytes as the settings
// file. Loading, saving and loading again must give the same settings, and
// a text or number written into the store must read back exactly, also after
// the round trip through the file.
//
// Input: the file's text, a NUL, then the text to write.
#include "platform/base/IniFile.h"
#include "platform/base/Settings.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>
#include <unistd.h>

namespace {

const char kKey[] = "Software\\Vosk\\KT-W8840PX";
const char kOwnSection[] = "Fuzz Target";
std::string g_home;
std::string g_file;

bool IsOwnSection(const std::string& section)
{
    if (section.size() != sizeof kOwnSection - 1) return false;
    for (size_t i = 0; i < section.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(section[i])) != std::tolower(static_cast<unsigned char>(kOwnSection[i])))
            return false;
    return true;
}

using Values = std::map<std::tuple<std::string, std::string>,
                        std::tuple<std::optional<std::string>, std::optional<int32_t>>>;

// Every value the file holds, as the store reads it; the sections and keys
// are listed by the INI reader of the same text.
Values Read(const plat::SettingsStore& store, const std::string& text)
{
    plat::IniFile ini;
    ini.Parse(text);
    Values values;
    std::vector<std::string> sections = ini.Sections();
    sections.push_back(""); // the values before the first section header
    for (const std::string& section : sections) {
        if (IsOwnSection(section)) continue;
        for (const std::string& key : ini.Keys(section))
            values[{section, key}] = {store.ReadText(section, key), store.ReadInt(section, key)};
    }
    return values;
}

std::string FileText()
{
    std::string text;
    if (FILE* f = std::fopen(g_file.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    g_home = std::string(shm) + "/qm-fuzz-settings-" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", g_home.c_str(), 1);
    g_file = plat::SettingsStore::FilePathOf(kKey);
    std::filesystem::create_directories(std::filesystem::path(g_file).parent_path());
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(g_home, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using qmfuzz::Require;
    qmfuzz::Input in(data, size);
    const std::string text(in.Until('\0'));
    const std::string written(in.Rest());
    // A number that the input decides, over the whole 32-bit range.
    uint32_t number32 = static_cast<uint32_t>(written.size());
    for (unsigned char c : written) number32 = number32 * 31u + c;
    const int32_t number = static_cast<int32_t>(number32);

    // Load what the user's file holds.
    if (FILE* f = std::fopen(g_file.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    plat::SettingsStore store(kKey);
    store.Load();
    const Values loaded = Read(store, text);

    // Change the program's own values, save, and load again.
    store.WriteText(kOwnSection, "Text", written);
    store.WriteInt(kOwnSection, "Number", number);
    Require(store.ReadText(kOwnSection, "Text") == written, "a written text reads back differently");
    Require(store.ReadInt(kOwnSection, "Number") == number, "a written number reads back differently");
    Require(store.Save(), "the settings file could not be saved");

    plat::SettingsStore again(kKey);
    Require(again.Load(), "the saved settings file could not be loaded");
    const std::string saved = FileText();
    Require(Read(again, saved) == loaded, "the settings changed between one start and the next");
    Require(again.ReadText(kOwnSection, "Text") == written, "a saved text reads back differently");
    Require(again.ReadInt(kOwnSection, "Number") == number, "a saved number reads back differently");

    // A second save changes nothing more.
    Require(again.Save() && FileText() == saved, "saving again changes the file");
    return 0;
}
