#include "platform/base/Settings.h"

#include <limits>
#include <vector>

namespace plat {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// True when text begins with prefix, letter case aside.
bool StartsWithName(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

std::vector<std::string> SplitKey(const std::string& key)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t at = key.find('\\', start);
        parts.push_back(key.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return parts;
}

bool NeedsQuotes(const std::string& text)
{
    if (text.empty()) return false;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (blank(text.front()) || blank(text.back()) || text.front() == '"') return true;
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return false;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

SettingsStore::SettingsStore(const std::string& settingsKey) : m_key(settingsKey), m_path(FilePathOf(settingsKey)) {}

std::string SettingsStore::FilePathOf(const std::string& settingsKey)
{
    std::vector<std::string> parts = SplitKey(settingsKey);
    if (parts.size() < 3 || !SameName(parts[0], "Software")) return {};
    std::string path = ConfigDir();
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        if (p.empty() || p == "." || p == ".." || p.find('/') != std::string::npos ||
            p.find('\0') != std::string::npos)
            return {};
        path += "/" + p;
    }
    return path + ".ini";
}

bool SettingsStore::Load()
{
    if (m_path.empty()) {
        m_ini.Parse("");
        return false;
    }
    return m_ini.Load(m_path);
}

bool SettingsStore::Save() const { return !m_path.empty() && m_ini.Save(m_path); }

std::optional<std::string> SettingsStore::SectionOf(const std::string& keyPath) const
{
    if (SameName(keyPath, m_key)) return std::string();
    if (keyPath.size() > m_key.size() + 1 && StartsWithName(keyPath, m_key) && keyPath[m_key.size()] == '\\')
        return keyPath.substr(m_key.size() + 1);
    return std::nullopt;
}

std::optional<int32_t> SettingsStore::ReadInt(const std::string& section, const std::string& name) const
{
    std::optional<long long> v = m_ini.GetInt(section, name);
    if (!v || *v < std::numeric_limits<int32_t>::min() || *v > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(*v);
}

std::optional<std::string> SettingsStore::ReadText(const std::string& section, const std::string& name) const
{
    std::optional<std::string> v = m_ini.Get(section, name);
    if (!v) return std::nullopt;
    return DecodeText(*v);
}

void SettingsStore::WriteInt(const std::string& section, const std::string& name, int32_t value)
{
    m_ini.SetInt(section, name, value);
}

void SettingsStore::WriteText(const std::string& section, const std::string& name, const std::string& text)
{
    m_ini.Set(section, name, EncodeText(text));
}

void SettingsStore::DeleteSection(const std::string& section)
{
    const std::string below = section + "\\";
    for (const std::string& s : m_ini.Sections())
        if (SameName(s, section) || StartsWithName(s, below)) m_ini.RemoveSection(s);
}

std::string SettingsStore::EncodeText(const std::string& text)
{
    if (!NeedsQuotes(text)) return text;
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20 || u == 0x7F) {
                out += "\\x";
                out += digits[u >> 4];
                out += digits[u & 0x0F];
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::optional<std::string> SettingsStore::DecodeText(const std::string& stored)
{
    if (stored.empty() || stored.front() != '"') return stored;
    if (stored.size() < 2 || stored.back() != '"') return std::nullopt;
    std::string out;
    const size_t end = stored.size() - 1;
    for (size_t i = 1; i < end; ++i) {
        char c = stored[i];
        if (c == '"') return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= end) return std::nullopt;
        switch (stored[i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 2 >= end) return std::nullopt;
            int hi = HexValue(stored[i + 1]), lo = HexValue(stored[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi << 4 | lo);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

} // namespace plat
