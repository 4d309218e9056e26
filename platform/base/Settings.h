#pragma once
// The current user's settings, organised like a registry: keys named by
// paths joined with '\' that hold named integer and text values.
//
// A settings key "Software\<Maker>\<Product>" is one INI file,
// <ConfigDir>/<Maker>/<Product>.ini. The keys below the settings key are its
// sections, named by their path below it ("Global", "Display\Bank\colwidth"),
// and the values are the lines of a section ("ComPort=3"). Names match
// without regard to ASCII letter case, as registry names do.
//
// The store works on a copy in memory: Load reads the file, the writes
// change the copy, and Save replaces the file atomically. Whatever in the
// file cannot be read (a damaged line, a number that is no 32-bit decimal
// integer, a badly quoted text) counts as missing; it never stops the
// program.
//
// Texts are stored as they stand, unless they begin or end with a blank or
// tab, begin with '"', or hold control characters: those are stored between
// double quotes, with \\, \", \n, \r, \t and \xHH escapes, so that every
// text reads back byte for byte.
#include "platform/base/IniFile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace plat {

class SettingsStore {
public:
    // settingsKey: the registry-style key of the program's settings, for
    // example "Software\Vosk\KT-W8840PX". The file path is fixed here, from
    // the configuration folder of that moment.
    explicit SettingsStore(const std::string& settingsKey);

    // The file of a settings key; "" when the key does not have the form
    // "Software\<name>\<name>..." with usable names.
    static std::string FilePathOf(const std::string& settingsKey);

    const std::string& SettingsKey() const { return m_key; }
    const std::string& FilePath() const { return m_path; }

    // Reads the file into memory; a missing or unreadable file gives an empty
    // store and false.
    bool Load();
    // Replaces the file with the store's content, creating its folders;
    // false when that failed (the previous file is then left as it was).
    bool Save() const;

    // The section that holds the values of a full key path: "" for the
    // settings key itself, the rest of the path below it otherwise; nothing
    // for a key outside the settings key.
    std::optional<std::string> SectionOf(const std::string& keyPath) const;

    std::optional<int32_t> ReadInt(const std::string& section, const std::string& name) const;
    std::optional<std::string> ReadText(const std::string& section, const std::string& name) const;
    void WriteInt(const std::string& section, const std::string& name, int32_t value);
    void WriteText(const std::string& section, const std::string& name, const std::string& text);
    // Removes the section and every section below it.
    void DeleteSection(const std::string& section);

    // The stored form of a text, and the text of a stored form (nothing when
    // the stored form is badly quoted).
    static std::string EncodeText(const std::string& text);
    static std::optional<std::string> DecodeText(const std::string& stored);

private:
    std::string m_key;
    std::string m_path;
    IniFile m_ini;
};

} // namespace plat
