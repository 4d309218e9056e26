#include "core/cmcEeprom.h"
#include "tests/support/TestSupport.h"

#include <array>

TEST(cmcEeprom, ResizeClearsAndSingleBytesAreChecked)
{
    cmcEeprom e;
    EXPECT_EQ(e.Size(), 0);
    EXPECT_EQ(e.Data(), nullptr);
    e.Resize(16);
    e.SetByte(15, 0x1AB);
    EXPECT_EQ(e.GetByte(15), 0xAB);
    e.Resize(16);
    EXPECT_EQ(e.GetByte(15), 0);
    EXPECT_EQ(qmtest::FatalMessage([&] { e.SetByte(16, 1); }), "Out of EEPROM image address (SetByte).");
    EXPECT_EQ(qmtest::FatalMessage([&] { e.GetByte(-1); }), "Out of EEPROM image address (GetByte).");
    e.Resize(-4);
    EXPECT_EQ(e.Size(), 0);
    EXPECT_EQ(qmtest::FatalMessage([&] { e.GetByte(0); }), "Out of EEPROM image address (GetByte).");
}

TEST(cmcEeprom, BlocksCopyOnlyWhenWhollyInside)
{
    cmcEeprom e;
    e.Resize(10);
    const std::array<uint8_t, 4> four = {1, 2, 3, 4};
    struct Case { int address, length; bool copies; } cases[] = {
        {7, 4, false}, {6, 4, true}, {-1, 4, false}, {10, 1, false}, {0, 0, false}, {0, -1, false}, {0x7FFFFFFF, 4, false},
    };
    for (const auto& c : cases) {
        e.Fill(0xEE);
        e.WriteBlock(c.address, four.data(), c.length);
        EXPECT_EQ(e.GetByte(6) == 1, c.copies && c.address == 6) << c.address << "," << c.length;
        std::array<uint8_t, 4> out = {9, 9, 9, 9};
        e.ReadBlock(c.address, out.data(), c.length);
        EXPECT_EQ(out[0] != 9, c.copies) << c.address << "," << c.length;
    }
}

TEST(cmcEeprom, EqualityNeedsEqualSizesAndBytes)
{
    cmcEeprom a, b;
    EXPECT_TRUE(a.Equals(b));
    a.Resize(4);
    b.Resize(5);
    EXPECT_TRUE(a.Differs(b)); // a prefix of b is not equal
    b.Assign(a);
    EXPECT_TRUE(a.Equals(b));
    b.SetByte(3, 1);
    EXPECT_FALSE(a.Equals(b));
}
