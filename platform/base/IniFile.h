#pragma once
// A small INI-style settings file: "[section]" lines and "key=value" lines.
// Section and key names match case-insensitively (ASCII); lines that are
// neither (comments, damage) are kept as they stand and otherwise ignored.
// Saving writes a temporary file beside the target and renames it over the
// target, so a failed save never destroys the previous file.
#include <optional>
#include <string>
#include <vector>

namespace plat {

class IniFile {
public:
    // Reads a file; a missing or unreadable file gives an empty store and
    // false.
    bool Load(const std::string& path);
    void Parse(const std::string& text);
    std::string Text() const;
    // Creates missing folders; false when the file could not be written.
    bool Save(const std::string& path) const;

    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // A decimal integer value, or nothing when missing or not a number.
    std::optional<long long> GetInt(const std::string& section, const std::string& key) const;
    // Sets a value (line breaks in it become blanks); adds the section and
    // key where missing and keeps the place and spelling of existing ones.
    void Set(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, long long value);
    void Remove(const std::string& section, const std::string& key);
    void RemoveSection(const std::string& section);
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(const std::string& section) const;

private:
    struct Line {
        std::string text;    // the line as stored
        std::string section; // the section it belongs to (or defines)
        std::string key;     // key of a "key=value" line, else empty
        bool isSection = false;
    };
    int FindKey(const std::string& section, const std::string& key) const;
    std::vector<Line> m_lines;
};

// $XDG_CONFIG_HOME, else ~/.config.
std::string ConfigDir();

} // namespace plat
