#pragma once
// The shapes of a segment-display glyph, read from the language table's
// section "GI_PCG_Seg_Data": each line is one segment, made of filled
// triangles in one coordinate system, for example
//     2|(12,0)(48,0)(12,8)|(48,0)(48,8)(12,8)
// The count before the first '|' is written negative for a segment that is
// drawn unfilled. Lines that begin with "//" and lines that are "0" are
// skipped; the first line that begins with '#' ends the section.
//
// The main object holds one for its lifetime; nothing draws the shapes, so
// what it does is make sure the section is well formed at start-up: a
// malformed line is a configuration fault.
#include <memory>
#include <string>
#include <vector>

class cmcGTex;

struct SegPoint {
    int x = 0;
    int y = 0;
};

class dataTriangle {
public:
    SegPoint Points[3];
    int Index = 0;
};

class Segment {
public:
    // Reads segment line n of the section.
    Segment(cmcGTex& texts, int n);

    const std::vector<dataTriangle>& Triangles() const { return m_triangles; }
    int Count() const { return m_count; }
    int Line() const { return m_line; }
    bool Filled() const { return m_fill != 0; }

private:
    dataTriangle ParseTriangle(int i) const;

    std::vector<dataTriangle> m_triangles;
    int m_count = 0;
    int m_line = 0;
    int m_spare = 0;
    int m_fill = 0;
    std::string m_text;
};

class Segchar {
public:
    static constexpr const char* SectionKey = "GI_PCG_Seg_Data";
    static constexpr int NoMinimum = 999999999;
    static constexpr int NoMaximum = -999999999;

    explicit Segchar(cmcGTex& texts);

    int SegmentCount() const { return static_cast<int>(m_segments.size()); }
    const Segment& SegmentAt(int n) const { return *m_segments[size_t(n)]; }
    int MinX() const { return m_minX; }
    int MinY() const { return m_minY; }
    int MaxX() const { return m_maxX; }
    int MaxY() const { return m_maxY; }

private:
    std::unique_ptr<Segment> CreateSegment(int n);

    cmcGTex& m_texts;
    std::vector<std::unique_ptr<Segment>> m_segments;
    int m_minX = NoMinimum;
    int m_minY = NoMinimum;
    int m_maxX = NoMaximum;
    int m_maxY = NoMaximum;
};
