#pragma once
// The readable default tables of the initial clone files (data/initial/*.txt)
// and how they are applied to an image. Used by the generator of the initial
// files and by the tests that check what the program unpacks from them.
//
// A line sets bytes at one place; '#' starts a comment:
//
//   W175790 00*256          # working offset: bytes in hexadecimal, HH*N repeats
//   H256 "VOSK Inc"         # clone-memory header offset: a text in double quotes
//   W179464 20*24 @34x17    # the same bytes 17 times, 34 bytes apart
//
// W places must lie inside one working table that the initial file stores
// (a template table only in its first entry, which serves every entry); H
// places inside the 512-byte header.
#include "model/EepromMap.h"
#include "model/Unpacking.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace initial {

struct Assignment {
    bool header = false;  // H place, else W
    int offset = 0;
    std::vector<uint8_t> bytes;
    int stride = 0;  // repeated `times` times, stride bytes apart
    int times = 1;
    int line = 0;
};

struct Defaults {
    std::vector<Assignment> assignments;
    std::string error;  // the first fault, with its line; empty when none
};

inline std::optional<int> HexByte(const std::string& s)
{
    if (s.size() != 2) return std::nullopt;
    int v = 0;
    for (char c : s) {
        v <<= 4;
        if (c >= '0' && c <= '9') v |= c - '0';
        else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
        else return std::nullopt;
    }
    return v;
}

inline std::optional<int> Decimal(const std::string& s)
{
    if (s.empty() || s.size() > 9) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// The working table of the default list that holds [offset, offset + n).
inline const PtblDescriptor* TableOf(int offset, int n, int& row)
{
    const auto tables = UnpackDescriptors();
    for (size_t k = 0; k < tables.size(); ++k) {
        const PtblDescriptor& t = tables[k];
        if (offset >= t.Destination && offset + n <= t.Destination + t.EntrySize * t.EntryCount) {
            row = int(k);
            return &t;
        }
    }
    return nullptr;
}

// Parses the text of one defaults file (name: for messages).
inline void Parse(const std::string& text, const std::string& name, Defaults& out)
{
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    auto fail = [&](const std::string& what) {
        if (out.error.empty()) out.error = name + ":" + std::to_string(number) + ": " + what;
    };
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        // Tokens: words, and texts in double quotes (which may hold '#').
        std::vector<std::string> tokens;
        std::vector<bool> quoted;
        size_t i = 0;
        while (i < raw.size()) {
            if (raw[i] == ' ' || raw[i] == '\t') {
                ++i;
                continue;
            }
            if (raw[i] == '#') break;
            if (raw[i] == '"') {
                const size_t end = raw.find('"', i + 1);
                if (end == std::string::npos) {
                    fail("a text without its closing quote");
                    break;
                }
                tokens.push_back(raw.substr(i + 1, end - i - 1));
                quoted.push_back(true);
                i = end + 1;
                continue;
            }
            size_t end = i;
            while (end < raw.size() && raw[end] != ' ' && raw[end] != '\t' && raw[end] != '#') ++end;
            tokens.push_back(raw.substr(i, end - i));
            quoted.push_back(false);
            i = end;
        }
        if (tokens.empty()) continue;
        Assignment a;
        a.line = number;
        const std::string& place = tokens[0];
        const auto offset = place.size() > 1 && !quoted[0] ? Decimal(place.substr(1)) : std::nullopt;
        if (!offset || (place[0] != 'H' && place[0] != 'W')) {
            fail("a place is H or W and a decimal offset: " + place);
            continue;
        }
        a.header = place[0] == 'H';
        a.offset = *offset;
        for (size_t t = 1; t < tokens.size(); ++t) {
            if (!quoted[t] && tokens[t][0] == '@') {
                const size_t x = tokens[t].find('x');
                const auto stride = x == std::string::npos ? std::nullopt : Decimal(tokens[t].substr(1, x - 1));
                const auto times = x == std::string::npos ? std::nullopt : Decimal(tokens[t].substr(x + 1));
                if (!stride || !times || *times < 1 || t + 1 != tokens.size()) {
                    fail("a repetition is @<stride>x<times> at the end of the line: " + tokens[t]);
                    break;
                }
                a.stride = *stride;
                a.times = *times;
                continue;
            }
            if (quoted[t]) {
                a.bytes.insert(a.bytes.end(), tokens[t].begin(), tokens[t].end());
                continue;
            }
            const std::string& tok = tokens[t];
            const size_t star = tok.find('*');
            const auto byte = HexByte(tok.substr(0, star));
            const auto repeat = star == std::string::npos ? std::optional<int>(1) : Decimal(tok.substr(star + 1));
            if (!byte || !repeat || *repeat < 1) {
                fail("a value is HH, HH*N or a text in quotes: " + tok);
                break;
            }
            a.bytes.insert(a.bytes.end(), size_t(*repeat), uint8_t(*byte));
        }
        if (a.bytes.empty()) fail("no value for " + place);
        const int n = int(a.bytes.size());
        if (a.times > 1 && a.stride < n) fail("repetitions must not overlap: " + place);
        // The whole run, repetitions included.
        const int span = a.stride * (a.times - 1) + n;
        if (a.header) {
            if (a.offset + span > EepromMap::HeaderSize) fail("past the header: " + place);
        } else {
            int row = 0;
            const PtblDescriptor* t = TableOf(a.offset, span, row);
            if (!t) {
                fail("not inside one working table: " + place);
            } else if (DefaultDescriptors()[size_t(row)].FillMode == kFillTemplate &&
                       a.offset + span > t->Destination + t->EntrySize) {
                fail("table " + std::to_string(t->Id) + " is a template: only its first entry is stored: " + place);
            }
        }
        out.assignments.push_back(std::move(a));
    }
}

inline bool ReadFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

// Reads the common defaults and those of one model type ("lmr" or "pmr").
inline Defaults Read(const std::string& folder, const std::string& modelType)
{
    Defaults out;
    for (const std::string& name : {std::string("common.txt"), modelType + ".txt"}) {
        std::string text;
        if (!ReadFile(folder + "/" + name, text)) {
            out.error = "cannot read " + folder + "/" + name;
            return out;
        }
        Parse(text, name, out);
    }
    return out;
}

// Writes the defaults into an image of the map's size; later lines win.
inline void Apply(const Defaults& d, cmcEeprom& image)
{
    // Both kinds of place are image offsets.
    for (const Assignment& a : d.assignments)
        for (int r = 0; r < a.times; ++r)
            for (size_t k = 0; k < a.bytes.size(); ++k) image.SetByte(a.offset + a.stride * r + int(k), a.bytes[k]);
}

// The working tables the defaults describe: every entry of a template table
// is its first entry.
inline void ReplicateTemplates(cmcEeprom& image)
{
    const auto defaults = DefaultDescriptors();
    const auto tables = UnpackDescriptors();
    for (size_t k = 0; k < tables.size(); ++k) {
        if (defaults[k].FillMode != kFillTemplate) continue;
        const PtblDescriptor& t = tables[k];
        for (int e = 1; e < t.EntryCount; ++e)
            for (int b = 0; b < t.EntrySize; ++b)
                image.SetByte(t.Destination + t.EntrySize * e + b, image.GetByte(t.Destination + b));
    }
}

} // namespace initial
