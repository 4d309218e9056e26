#include "model/datKovrAdr.h"

#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

namespace {

struct Expected { int from, to, first, last; };

void ExpectRanges(const datKovrAdr& plan, std::initializer_list<Expected> expected)
{
    for (const auto& e : expected)
        for (int k = e.from; k <= e.to; ++k) {
            EXPECT_EQ(plan.Ranges[k].First, e.first) << "entry " << k;
            EXPECT_EQ(plan.Ranges[k].Last, e.last) << "entry " << k;
        }
}

} // namespace

TEST(datKovrAdr, RangesFollowTheOwnId)
{
    cmcEeprom image = modeltest::MakeImage();
    image.SetByte(datKovrAdr::OwnIdOffset, 0x01);
    datKovrAdr plan(&image);
    EXPECT_EQ(plan.OwnId, 256u);
    ExpectRanges(plan, {{0, 0, 0, 0}, {1, 1, 0, 4095}, {2, 2, 256, 4095}, {3, 3, 4095, 4095}, {4, 4, 0, 4095},
                        {5, 6, 0, 255}, {7, 13, 256, 4095}, {14, 45, 0, 4095}});

    image.SetByte(datKovrAdr::OwnIdOffset, 0);
    plan.LoadOwnId();
    ExpectRanges(plan, {{5, 6, 0, -1}, {2, 2, 0, 4095}});
}

TEST(datKovrAdr, StoringTheOwnIdWritesItAndRebuilds)
{
    cmcEeprom image = modeltest::MakeImage(0xAA);
    datKovrAdr plan(&image);
    for (auto& r : plan.Ranges) r.Spare = 7;
    plan.OwnId = 4095;
    plan.StoreOwnId();
    EXPECT_EQ(image.GetByte(181580), 0x0F);
    EXPECT_EQ(image.GetByte(181581), 0xFF);
    EXPECT_EQ(image.GetByte(181582), 0xAA);
    ExpectRanges(plan, {{2, 2, 4095, 4095}, {7, 13, 4095, 4095}, {5, 6, 0, 4094}});
    for (const auto& r : plan.Ranges) EXPECT_EQ(r.Spare, 7u) << "the plan never sets Spare";
}

TEST(datKovrAdr, WithoutAnImageTheOwnIdIsZero)
{
    datKovrAdr plan(nullptr);
    EXPECT_EQ(plan.OwnId, 0u);
    plan.OwnId = 9;
    plan.StoreOwnId();
    EXPECT_EQ(plan.Ranges[2].First, 9);
}
