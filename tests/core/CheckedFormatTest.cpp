#include "core/CheckedFormat.h"

#include "tests/support/TestSupport.h"

#include <string>

namespace {

TEST(CheckedFormat, SubstitutesTheSuppliedValuesInOrder)
{
    EXPECT_EQ(CheckedFormat("Zone %d Channel %d is empty.", {3, 12}), "Zone 3 Channel 12 is empty.");
    EXPECT_EQ(CheckedFormat("Save '%s'?", {"a.icf"}), "Save 'a.icf'?");
    EXPECT_EQ(CheckedFormat("[%04d|%-4s|%3X|%c]", {42, "ab", 255, 'Q'}), "[0042|ab  | FF|Q]");
    EXPECT_EQ(CheckedFormat("%ld items, %5.2s", {7, "abcdef"}), "7 items,    ab");
}

TEST(CheckedFormat, PrintsEveryOtherPercentAsItStands)
{
    struct Case {
        const char* format;
        std::string expected;
    };
    // A translated text may hold anything: nothing but the supplied values
    // is ever substituted.
    const Case cases[] = {
        {"100% done", "100% done"},          // not a conversion
        {"50%% off", "50% off"},             // a literal percent sign
        {"%s and %d", "%s and 5"},           // a text conversion gets no number
        {"%d %d %d", "5 %d %d"},             // only one value supplied
        {"%n%p%f", "%n%p%f"},                // conversions the code never supplies
        {"%999999d", "%999999d"},            // an absurd width
        {"%", "%"},                          // a percent sign at the end
        {"%*d", "%*d"},                      // widths from arguments are not taken
    };
    for (const Case& c : cases) EXPECT_EQ(CheckedFormat(c.format, {5}), c.expected) << c.format;
    EXPECT_EQ(CheckedFormat("Stun %d of %s", {"radio"}), "Stun %d of radio");
    EXPECT_EQ(CheckedFormat("no conversions: %d", {}), "no conversions: %d");
}

} // namespace
