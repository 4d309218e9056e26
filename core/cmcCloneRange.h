#pragma once
// An inclusive range {First, Last} of image addresses. A list of ranges ends
// at the first entry whose Last is below its First (for example {1, 0}).
struct dst_AdrRange {
    int First;
    int Last;
};

inline bool IsRangeEnd(const dst_AdrRange& range) { return range.Last < range.First; }
