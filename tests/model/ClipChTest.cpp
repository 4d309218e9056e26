#include "model/datClipCh.h"

#include "model/TableAccess.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <cstring>

namespace {

using modeltest::Get16;
using modeltest::Put16;

constexpr int kPrioA = 146304;
constexpr int kScanBits = 146320;

class ClipCh : public ::testing::Test {
protected:
    ClipCh()
    {
        current.priorityRemoval = false;
        // Bank 0 (LTR) holds channels 0-3, bank 1 (conventional) 4-7.
        SetBankChannelCount(0, 4);
        SetBankChannelCount(1, 4);
        SetLtrBank(0, 1);
        datCh ch(&current.image);
        for (int n = 0; n < 8; ++n) {
            ch.Unpack(1, n);
            ch.RxFreq = 440000000 + 25000 * n;
            ch.GrpRxId = uint8_t(n + 1);
            ch.TxTone.On = 1;
            ch.TxTone.AnalogIndex = uint16_t(n);
            std::memcpy(ch.Text, "CHANNEL     ", 12);
            ch.Text[8] = char('0' + n);
            ch.ScanMask = 1u << (16 - n);
            ch.Commit();
        }
        Put16(current.image, kPrioA, 1);
        Put16(current.image, kPrioA + 2, 9);
    }

    datCh Channel(int n)
    {
        datCh ch(&current.image);
        ch.Unpack(1, n);
        return ch;
    }

    modeltest::CurrentImage current;
    datClipCh clip;
};

TEST_F(ClipCh, CopyThenPasteOntoTheSameRowsChangesNothing)
{
    clip.Copy(&current.image, 1, 1, 2);
    EXPECT_TRUE(clip.HoldsKind(1));
    EXPECT_EQ(clip.Count(), 2);
    EXPECT_EQ(clip.FirstIndex(), 1);
    const cmcEeprom before = current.image;
    clip.Paste(&current.image, 1, 1, 2);
    EXPECT_TRUE(current.image.Equals(before));
    clip.PasteKeepingLinks(&current.image, 1, 1, 2);
    EXPECT_TRUE(current.image.Equals(before));
}

TEST_F(ClipCh, PastesOnlyTheHeldKindAndAtMostTheHeldItems)
{
    const cmcEeprom before = current.image;
    clip.Paste(&current.image, 1, 0, 4);  // empty
    EXPECT_FALSE(clip.HoldsKind(0));
    clip.Copy(&current.image, 1, 0, 0);   // nothing to hold
    EXPECT_FALSE(clip.HoldsKind(1));
    clip.Paste(&current.image, 1, 0, 4);
    EXPECT_TRUE(current.image.Equals(before));

    clip.Copy(&current.image, 1, 0, 2);
    EXPECT_FALSE(clip.HoldsKind(0));
    EXPECT_FALSE(clip.HoldsKind(19));
    clip.Paste(&current.image, 19, 0, 2);
    EXPECT_TRUE(current.image.Equals(before));

    // Pasting is cut at the count the caller gives, and at the held items.
    clip.Paste(&current.image, 1, 5, 1);
    clip.Paste(&current.image, 1, 6, 5);
    EXPECT_EQ(Channel(4).RxFreq, 440000000 + 25000 * 4);
    EXPECT_EQ(Channel(5).RxFreq, 440000000);
    EXPECT_EQ(Channel(6).RxFreq, 440000000);
    EXPECT_EQ(Channel(7).RxFreq, 440000000 + 25000);
    EXPECT_EQ(clip.Count(), 2);  // the held items stay for another paste

    clip.Clear();
    EXPECT_FALSE(clip.HoldsKind(1));
    EXPECT_EQ(clip.Count(), 0);
}

TEST_F(ClipCh, CopyAcrossBanksCarriesTheItemButNotThePositionsBankType)
{
    // Channel 2 of the LTR bank onto channel 6 of the conventional bank.
    clip.Copy(&current.image, 1, 2, 1);
    clip.Paste(&current.image, 1, 6, 1);
    const datCh moved = Channel(6);
    EXPECT_EQ(moved.RxFreq, 440000000 + 25000 * 2);
    EXPECT_EQ(moved.GrpRxId, 3);
    EXPECT_EQ(moved.TxTone.AnalogIndex, 2);
    EXPECT_EQ(std::string(moved.Text, 9), "CHANNEL 2");
    EXPECT_EQ(moved.ScanMask, 1u << 14);
    EXPECT_EQ(current.image.GetByte(kScanBits + 64 * 2), 0x20 | 0x02);  // list 2 now holds channels 2 and 6
    EXPECT_FALSE(IsLtrBank(1));
    EXPECT_TRUE(IsLtrBank(0));
    EXPECT_EQ(moved.Attr.LtrBank, 0);
}

TEST_F(ClipCh, PlainPasteMovesThePriorityMarkAndKeepingLinksLeavesIt)
{
    // Channel 1 is priority channel A.
    ASSERT_EQ(Channel(1).Attr.PrioA, 1);
    clip.Copy(&current.image, 1, 1, 1);

    clip.PasteKeepingLinks(&current.image, 1, 5, 1);
    EXPECT_EQ(Get16(current.image, kPrioA), 1);
    EXPECT_EQ(Channel(5).RxFreq, 440000000 + 25000);
    EXPECT_EQ(Channel(5).Attr.PrioA, 0);
    // The held record took the last target's links: a plain paste from it
    // no longer carries the mark either.
    clip.Paste(&current.image, 1, 6, 1);
    EXPECT_EQ(Get16(current.image, kPrioA), 1);

    clip.Copy(&current.image, 1, 1, 1);
    clip.Paste(&current.image, 1, 6, 1);
    EXPECT_EQ(Get16(current.image, kPrioA), 6);
    EXPECT_EQ(Get16(current.image, kPrioA + 2), 9);
}

} // namespace
