// Segment glyph shapes: any bytes as the lines of the language table's
// glyph section. The read either ends in a configuration fault or gives one
// segment for each segment line (comments and "0" lines left out, up to the
// first '#' line), each with as many triangles as its count says, and a
// bounding box that holds every point.
#include "core/cmcGTex.h"
#include "tests/fuzz/FuzzSupport.h"
#include "ui/Segchar.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string Trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> section;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        // Key lines of their own would cut the section short in any case;
        // a text line holds no zero byte.
        if (!line.empty() && line[0] == '#') line = "#";
        std::replace(line.begin(), line.end(), '\0', ' ');
        section.push_back(line);
        start = end + 1;
    }
    std::vector<std::string> lines{"#GI_PCG_Seg_Data"};
    lines.insert(lines.end(), section.begin(), section.end());
    lines.push_back("#");
    lines.push_back("#End_Of_Ovl");
    cmcGTex texts;
    texts.OpenOverlayLines(lines);

    // The reader looks at no more lines than this.
    constexpr size_t kMostLines = 4096;
    size_t expected = 0;
    for (size_t n = 0; n < section.size() && n < kMostLines; ++n) {
        const std::string t = Trim(section[n]);
        if (!t.empty() && t[0] == '#') break;
        if (t.rfind("//", 0) != 0 && t != "0") ++expected;
    }
    try {
        Segchar glyphs(texts);
        qmfuzz::Require(size_t(glyphs.SegmentCount()) == expected, "a segment line was lost or added");
        for (int n = 0; n < glyphs.SegmentCount(); ++n) {
            const Segment& segment = glyphs.SegmentAt(n);
            qmfuzz::Require(segment.Count() >= 0 && size_t(segment.Count()) == segment.Triangles().size(),
                            "a segment's triangles differ from its count");
            for (const dataTriangle& triangle : segment.Triangles())
                for (const SegPoint& p : triangle.Points)
                    qmfuzz::Require(p.x >= glyphs.MinX() && p.x <= glyphs.MaxX() && p.y >= glyphs.MinY() &&
                                        p.y <= glyphs.MaxY(),
                                    "a point lies outside the bounding box");
        }
    } catch (const plat::FatalError&) {
        // A malformed line: the program would have ended with its message.
    }
    return 0;
}
