// The segment glyph shapes read from the language table.
#include "ui/Segchar.h"

#include "core/cmcGTex.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<cmcGTex> TextsWith(std::vector<std::string> section)
{
    std::vector<std::string> lines{"#GI_Other", "x"};
    lines.push_back("#GI_PCG_Seg_Data");
    lines.insert(lines.end(), section.begin(), section.end());
    lines.push_back("#GI_Next");
    lines.push_back("y");
    lines.push_back("#End_Of_Ovl");
    auto texts = std::make_unique<cmcGTex>();
    texts->OpenOverlayLines(lines);
    return texts;
}

TEST(Segchar, ReadsFilledAndUnfilledSegmentsAndTheirBoundingBox)
{
    auto texts = TextsWith({
        "2|(12,0)(48,0)(12,8)|(48,0)(48,8)(12,8)",
        " -1 | ( -3 , 7 )( 60,10 )(52, 146) ",
        "// a comment after the segments",
        "0",
    });
    Segchar glyphs(*texts);
    ASSERT_EQ(glyphs.SegmentCount(), 2);

    const Segment& bar = glyphs.SegmentAt(0);
    EXPECT_TRUE(bar.Filled());
    ASSERT_EQ(bar.Count(), 2);
    EXPECT_EQ(bar.Triangles()[1].Index, 1);
    EXPECT_EQ(bar.Triangles()[1].Points[1].x, 48);
    EXPECT_EQ(bar.Triangles()[1].Points[1].y, 8);

    const Segment& outline = glyphs.SegmentAt(1);
    EXPECT_FALSE(outline.Filled());
    ASSERT_EQ(outline.Count(), 1);
    EXPECT_EQ(outline.Triangles()[0].Points[0].x, -3);
    EXPECT_EQ(outline.Triangles()[0].Points[2].y, 146);

    EXPECT_EQ(glyphs.MinX(), -3);
    EXPECT_EQ(glyphs.MinY(), 0);
    EXPECT_EQ(glyphs.MaxX(), 60);
    EXPECT_EQ(glyphs.MaxY(), 146);
}

TEST(Segchar, AnEmptySectionHasNoSegmentsAndAnEmptyBox)
{
    auto texts = TextsWith({"// only a comment"});
    Segchar glyphs(*texts);
    EXPECT_EQ(glyphs.SegmentCount(), 0);
    EXPECT_EQ(glyphs.MinX(), Segchar::NoMinimum);
    EXPECT_EQ(glyphs.MaxY(), Segchar::NoMaximum);
}

TEST(Segchar, AMalformedLineIsAConfigurationFault)
{
    const char* const malformed[] = {
        "two|(1,2)(3,4)(5,6)",          // count not a number
        "2|(1,2)(3,4)(5,6)",            // fewer fields than the count
        "1|(1,2)(3,4)",                 // a point missing
        "1|(1,x)(3,4)(5,6)",            // coordinate not a number
        "1|(1,2)(3,4)(5,99999999999)",  // coordinate out of range
        "// a comment before a segment line is read as one",
    };
    for (const char* line : malformed) {
        SCOPED_TRACE(line);
        auto texts = TextsWith({line, "1|(0,0)(1,1)(2,2)"});
        const std::string message = qmtest::FatalMessage([&] { Segchar glyphs(*texts); });
        EXPECT_NE(message.find("GI_PCG_Seg_Data"), std::string::npos) << message;
    }
}

} // namespace
