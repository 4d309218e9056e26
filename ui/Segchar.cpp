#include "ui/Segchar.h"

#include "core/cmcGTex.h"
#include "platform/base/Fatal.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// A section holds far fewer segments than this; the bound only keeps a
// section without its closing '#' line from being read for ever.
constexpr int kMostSegmentLines = 4096;

std::string Trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

bool IsComment(const std::string& line) { return line.rfind("//", 0) == 0; }
bool IsSkipped(const std::string& line) { return IsComment(line) || line == "0"; }
bool EndsSection(const std::string& line) { return !line.empty() && line[0] == '#'; }

[[noreturn]] void Malformed(int line, const std::string& text)
{
    plat::Fatal("The segment shape on line " + std::to_string(line) + " of '" + Segchar::SectionKey +
                "' is not well formed.\n'" + text + "'");
}

// A decimal integer with blanks around it, or a configuration fault.
int ToInt(const std::string& field, int line, const std::string& text)
{
    const std::string t = Trim(field);
    if (t.empty()) Malformed(line, text);
    size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size()) Malformed(line, text);
    for (size_t k = i; k < t.size(); ++k)
        if (t[k] < '0' || t[k] > '9') Malformed(line, text);
    errno = 0;
    const long value = std::strtol(t.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX) Malformed(line, text);
    return static_cast<int>(value);
}

} // namespace

Segment::Segment(cmcGTex& texts, int n) : m_line(n)
{
    m_text = Trim(texts.GetText(Segchar::SectionKey, n));
    const size_t bar = m_text.find('|');
    const int count = ToInt(m_text.substr(0, bar), n, m_text);
    m_fill = count > 0 ? 1 : 0;
    m_count = count < 0 ? -count : count;
    if (count == INT_MIN) Malformed(n, m_text);
    m_triangles.reserve(size_t(std::min(m_count, 64)));
    for (int i = 0; i < m_count; ++i) m_triangles.push_back(ParseTriangle(i));
}

dataTriangle Segment::ParseTriangle(int i) const
{
    std::string rest = m_text;
    for (int k = 0; k <= i; ++k) {
        const size_t bar = rest.find('|');
        if (bar == std::string::npos) Malformed(m_line, m_text);
        rest.erase(0, bar + 1);
    }
    dataTriangle triangle;
    triangle.Index = i;
    for (SegPoint& point : triangle.Points) {
        const size_t open = rest.find('(');
        const size_t comma = rest.find(',', open == std::string::npos ? 0 : open);
        const size_t close = rest.find(')', comma == std::string::npos ? 0 : comma);
        const size_t bar = rest.find('|');
        // The point must lie inside this triangle's field.
        if (open == std::string::npos || comma == std::string::npos || close == std::string::npos ||
            (bar != std::string::npos && close > bar))
            Malformed(m_line, m_text);
        point.x = ToInt(rest.substr(open + 1, comma - open - 1), m_line, m_text);
        point.y = ToInt(rest.substr(comma + 1, close - comma - 1), m_line, m_text);
        rest.erase(0, close + 1);
    }
    return triangle;
}

Segchar::Segchar(cmcGTex& texts) : m_texts(texts)
{
    int count = 0;
    for (int n = 0; n < kMostSegmentLines; ++n) {
        const std::string line = Trim(m_texts.GetText(SectionKey, n));
        if (EndsSection(line)) break;
        if (!IsSkipped(line)) ++count;
    }
    for (int n = 0; n < count; ++n) m_segments.push_back(CreateSegment(n));
    for (const auto& segment : m_segments)
        for (const dataTriangle& triangle : segment->Triangles())
            for (const SegPoint& p : triangle.Points) {
                m_minX = std::min(m_minX, p.x);
                m_minY = std::min(m_minY, p.y);
                m_maxX = std::max(m_maxX, p.x);
                m_maxY = std::max(m_maxY, p.y);
            }
}

std::unique_ptr<Segment> Segchar::CreateSegment(int n) { return std::make_unique<Segment>(m_texts, n); }
