#include "platform/base/IniFile.h"

#include "platform/base/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace plat {

namespace {

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

} // namespace

bool IniFile::Load(const std::string& path)
{
    m_lines.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    Parse(s.str());
    return true;
}

void IniFile::Parse(const std::string& text)
{
    m_lines.clear();
    std::string section;
    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
        // Every carriage return before the line end goes: a file saved from
        // this one must read back the same.
        while (!raw.empty() && raw.back() == '\r') raw.pop_back();
        Line line;
        line.text = raw;
        std::string t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            section = t.substr(1, t.size() - 2);
            line.isSection = true;
        } else if (!t.empty() && t[0] != ';' && t[0] != '#') {
            auto eq = raw.find('=');
            if (eq != std::string::npos) line.key = Trim(raw.substr(0, eq));
        }
        line.section = section;
        m_lines.push_back(std::move(line));
    }
}

std::string IniFile::Text() const
{
    std::string out;
    for (const auto& l : m_lines) {
        out += l.text;
        out += '\n';
    }
    return out;
}

bool IniFile::Save(const std::string& path) const
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    return SaveFileAtomically(path, Text()) == SaveResult::Saved;
}

int IniFile::FindKey(const std::string& section, const std::string& key) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        if (!l.isSection && !l.key.empty() && SameName(l.section, section) && SameName(l.key, key))
            return static_cast<int>(i);
    }
    return -1;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const
{
    int i = FindKey(section, key);
    if (i < 0) return std::nullopt;
    const std::string& t = m_lines[static_cast<size_t>(i)].text;
    return Trim(t.substr(t.find('=') + 1));
}

std::optional<long long> IniFile::GetInt(const std::string& section, const std::string& key) const
{
    auto v = Get(section, key);
    if (!v || v->empty()) return std::nullopt;
    const char* s = v->c_str();
    char* end = nullptr;
    errno = 0;
    long long n = std::strtoll(s, &end, 10);
    if (errno != 0 || end == s || *end != '\0') return std::nullopt;
    return n;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value)
{
    std::string clean = value;
    for (char& c : clean)
        if (c == '\n' || c == '\r') c = ' ';
    int i = FindKey(section, key);
    if (i >= 0) {
        Line& l = m_lines[static_cast<size_t>(i)];
        l.text = l.text.substr(0, l.text.find('=') + 1) + clean;
        return;
    }
    // Append after the last line of the section, or a new section at the end.
    int last = -1;
    for (size_t j = 0; j < m_lines.size(); ++j)
        if (SameName(m_lines[j].section, section) && (m_lines[j].isSection || !m_lines[j].text.empty()))
            last = static_cast<int>(j);
    Line line;
    line.text = key + "=" + clean;
    line.key = key;
    if (last < 0) {
        if (!m_lines.empty() && !m_lines.back().text.empty()) m_lines.push_back(Line{"", m_lines.back().section, "", false});
        Line head;
        head.text = "[" + section + "]";
        head.section = section;
        head.isSection = true;
        m_lines.push_back(head);
        line.section = section;
        m_lines.push_back(line);
    } else {
        line.section = m_lines[static_cast<size_t>(last)].section;
        m_lines.insert(m_lines.begin() + last + 1, line);
    }
}

void IniFile::SetInt(const std::string& section, const std::string& key, long long value)
{
    Set(section, key, std::to_string(value));
}

void IniFile::Remove(const std::string& section, const std::string& key)
{
    int i;
    while ((i = FindKey(section, key)) >= 0) m_lines.erase(m_lines.begin() + i);
}

void IniFile::RemoveSection(const std::string& section)
{
    std::vector<Line> kept;
    for (auto& l : m_lines)
        if (!SameName(l.section, section)) kept.push_back(std::move(l));
    m_lines = std::move(kept);
}

std::vector<std::string> IniFile::Sections() const
{
    std::vector<std::string> out;
    for (const auto& l : m_lines) {
        if (!l.isSection) continue;
        bool seen = false;
        for (const auto& s : out) seen = seen || SameName(s, l.section);
        if (!seen) out.push_back(l.section);
    }
    return out;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const
{
    std::vector<std::string> out;
    for (const auto& l : m_lines) {
        if (l.isSection || l.key.empty() || !SameName(l.section, section)) continue;
        bool seen = false;
        for (const auto& k : out) seen = seen || SameName(k, l.key);
        if (!seen) out.push_back(l.key);
    }
    return out;
}

std::string ConfigDir()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config";
}

} // namespace plat
