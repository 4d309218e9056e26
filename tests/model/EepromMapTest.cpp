#include "model/EepromMap.h"

#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <set>
#include <vector>

using modeltest::Get16;
using modeltest::MakeImage;
using modeltest::Put16;
using modeltest::Put32;

// The working tables tile the working area without overlapping; the only
// bytes left over are the four gaps that belong to no table and the
// packer's address tables.
TEST(EepromMap, WorkingTablesTileTheWorkingArea)
{
    std::vector<WorkingTable> tables(WorkingTables().begin(), WorkingTables().end());
    EXPECT_EQ(tables.size(), 119u);
    std::set<int> ids;
    for (const auto& t : tables) EXPECT_TRUE(ids.insert(t.Id).second) << "duplicate id " << t.Id;
    for (const auto& t : PackerAddressTables()) tables.push_back(t);

    std::sort(tables.begin(), tables.end(), [](auto& a, auto& b) { return a.Offset < b.Offset; });
    struct Gap { int from, to; };
    const std::vector<Gap> expectedGaps = {{178984, 179144}, {197918, 198418}, {199418, 199578}, {199898, 200398}};
    std::vector<Gap> gaps;
    int at = EepromMap::WorkStart;
    for (const auto& t : tables) {
        ASSERT_GE(t.Offset, at) << "table " << t.Id << " overlaps its predecessor";
        if (t.Offset > at) gaps.push_back({at, t.Offset});
        at = t.End();
    }
    EXPECT_EQ(at, EepromMap::WorkEnd);
    ASSERT_EQ(gaps.size(), expectedGaps.size());
    for (size_t k = 0; k < gaps.size(); ++k) {
        EXPECT_EQ(gaps[k].from, expectedGaps[k].from);
        EXPECT_EQ(gaps[k].to, expectedGaps[k].to);
    }
    EXPECT_EQ(EepromMap::Dir10Work + 129 * 10, EepromMap::Dir12Work);
    EXPECT_EQ(EepromMap::Dir12Work + 129 * 12, EepromMap::CountIndKind18);
    EXPECT_EQ(EepromMap::CountTgKind33 + 2, EepromMap::ImageSize);

    ASSERT_NE(FindWorkingTable(113), nullptr);
    EXPECT_EQ(FindWorkingTable(113)->Offset, 148246);
    EXPECT_EQ(FindWorkingTable(106)->EntrySize, 8);
    EXPECT_EQ(FindWorkingTable(4), nullptr);
}

TEST(EepromMap, DynamicBaseNeedsTheBaseAndBothEnds)
{
    struct Case {
        uint32_t base32, partA32, end32;
        int base16, partA16, end16;
        uint32_t expected;
    } cases[] = {
        {512, 0x4000, 0x5000, 0, 0, 0, 512},
        {512, 0x4000, 0, 0x400, 0x1000, 0x2000, 0x400},  // 32-bit end missing: the 16-bit form
        {512, 0, 0x5000, 0x400, 0x1000, 0x2000, 0x400},
        {0, 0x4000, 0x5000, 0x400, 0x1000, 0x2000, 0x400},
        {0, 0, 0, 0x400, 0, 0x2000, 0},
        {0, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        cmcEeprom image = MakeImage();
        Put32(image, EepromMap::Base32, c.base32);
        Put32(image, EepromMap::End32PartA, c.partA32);
        Put32(image, EepromMap::End32, c.end32);
        Put16(image, EepromMap::Base16, c.base16);
        Put16(image, EepromMap::End16PartA, c.partA16);
        Put16(image, EepromMap::End16, c.end16);
        EXPECT_EQ(DynamicBase(image), c.expected) << c.base32 << " " << c.end32 << " " << c.base16;
    }
}

namespace {

// An image whose header describes a 32-bit layout with base `base` and a
// 12-byte directory at clone address `address` holding `count` entries of
// `entrySize` bytes (ids 1000 + k, counts k, sizes 7, addresses 0x10000 + k).
void Write12ByteDirectory(cmcEeprom& image, uint32_t base, uint32_t address, int count, int entrySize)
{
    Put32(image, EepromMap::Base32, base);
    Put32(image, EepromMap::End32PartA, base + 0x100);
    Put32(image, EepromMap::End32, base + 0x200);
    Put16(image, EepromMap::Dir12Present, 1);
    Put16(image, EepromMap::Dir12Size, entrySize);
    Put16(image, EepromMap::Dir12Count, count);
    Put32(image, EepromMap::Dir12Address, address);
    const int start = int(512 + address - base);
    for (int k = 0; k < count; ++k) {
        const int e = start + k * entrySize;
        if (entrySize >= 2) Put16(image, e, 1000 + k);
        if (entrySize >= 4) Put16(image, e + 2, 7);
        if (entrySize >= 6) Put16(image, e + 4, k);
        if (entrySize >= 8) Put16(image, e + 6, 0xABCD);  // spare
        if (entrySize >= 12) Put32(image, e + 8, 0x10000 + k);
    }
}

} // namespace

TEST(EepromMap, CopyDirectoryKeeps129EntriesAndLookupsSeeOnlyThem)
{
    cmcEeprom image = MakeImage();
    Write12ByteDirectory(image, 512, 0x1234, 200, 12);
    PtblEntry e;
    EXPECT_FALSE(FindTable(image, 1000, e)) << "nothing is found before the directory is copied";
    ASSERT_TRUE(CopyDirectory(image));
    ASSERT_TRUE(FindTable(image, 1128, e));
    EXPECT_EQ(e.Address, 0x10000u + 128);
    EXPECT_EQ(e.Count, 128);
    EXPECT_EQ(e.Size, 7);
    EXPECT_EQ(e.Id, 1128);
    EXPECT_FALSE(FindTable(image, 1129, e));
    // Nothing spilled into the list counters after the 129th working entry.
    for (int at = EepromMap::CountIndKind18; at < EepromMap::ImageSize; ++at) ASSERT_EQ(image.GetByte(at), 0);
}

TEST(EepromMap, DirectoryAddressIsRelativeToTheDynamicBase)
{
    // Base 0x400: the directory at clone address 0x1234 starts at image byte 0x1234 - 0x200.
    cmcEeprom image = MakeImage();
    Write12ByteDirectory(image, 0x400, 0x1234, 3, 12);
    EXPECT_EQ(Get16(image, 0x1234 - 0x200), 1000);
    ASSERT_TRUE(CopyDirectory(image));
    PtblEntry e;
    ASSERT_TRUE(FindTable(image, 1002, e));
    EXPECT_EQ(e.Address, 0x10002u);
}

TEST(EepromMap, CopyDirectoryReadsTheTenByteFormAgainstTheSixteenBitBase)
{
    cmcEeprom image = MakeImage();
    EXPECT_FALSE(CopyDirectory(image)) << "no form present";

    Put16(image, EepromMap::Base16, 0x400);
    Put16(image, EepromMap::End16PartA, 0x800);
    Put16(image, EepromMap::End16, 0x900);
    Put16(image, EepromMap::Dir10Present, 1);
    Put16(image, EepromMap::Dir10Size, 10);
    Put16(image, EepromMap::Dir10Count, 2);
    Put16(image, EepromMap::Dir10Address, 0x1234);
    const int start = 512 + 0x1234 - 0x400;
    const int stored[2][4] = {{21, 8, 1, 0x0600}, {2, 30, 9, 0x0700}};  // id, size, count, address
    for (int k = 0; k < 2; ++k)
        for (int f = 0; f < 4; ++f) Put16(image, start + 10 * k + 2 * f, stored[k][f]);
    for (int at = EepromMap::Dir10Work; at < EepromMap::Dir10Work + 20; ++at) image.SetByte(at, 0x5A);

    ASSERT_TRUE(CopyDirectory(image));
    PtblEntry e;
    ASSERT_TRUE(FindTable(image, 2, e));
    EXPECT_EQ(e.Address, 0x700u);
    EXPECT_EQ(e.Count, 9);
    EXPECT_EQ(e.Size, 30);
    ASSERT_TRUE(FindTable(image, 21, e));
    EXPECT_EQ(e.Address, 0x600u);
    for (int at = EepromMap::Dir12Work; at < EepromMap::Dir12Work + 24; ++at)
        ASSERT_EQ(image.GetByte(at), 0) << "the 12-byte copy is not touched";
}

TEST(EepromMap, StoredEntrySizesOtherThanTheFormsAreReadWithTheirStride)
{
    struct Case { int entrySize; bool addressCopied; } cases[] = {{16, true}, {6, false}};
    for (const auto& c : cases) {
        cmcEeprom image = MakeImage();
        Write12ByteDirectory(image, 512, 0x2000, 4, c.entrySize);
        // Stale bytes in the working copy must not survive a short entry.
        for (int at = EepromMap::Dir12Work; at < EepromMap::Dir12Work + 4 * 12; ++at) image.SetByte(at, 0x5A);
        ASSERT_TRUE(CopyDirectory(image));
        PtblEntry e;
        ASSERT_TRUE(FindTable(image, 1003, e)) << c.entrySize;
        EXPECT_EQ(e.Count, 3);
        EXPECT_EQ(e.Address, c.addressCopied ? 0x10003u : 0u) << c.entrySize;
        EXPECT_EQ(Get16(image, EepromMap::Dir12Work + 3 * 12 + 6), c.entrySize == 16 ? 0xABCD : 0) << "spare";
    }
}

TEST(EepromMap, DirectoriesOutsideTheCloneMemoryAreNotRead)
{
    // Only whole entries inside the clone memory are copied: here at most the
    // last 12 bytes of it, which hold id 0x0300.
    struct Case { uint32_t address; int count; bool lastEntryCopied; } cases[] = {
        {0xFFFFFFF0u, 3, false},
        {uint32_t(EepromMap::CloneSize) - 12, 3, true},
        {uint32_t(EepromMap::CloneSize) - 11, 2, false},
        {0x80000000u, 129, false},
    };
    for (const auto& c : cases) {
        cmcEeprom image = MakeImage();
        Put32(image, EepromMap::Base32, 512);
        Put32(image, EepromMap::End32PartA, 0x600);
        Put32(image, EepromMap::End32, 0x700);
        Put16(image, EepromMap::Dir12Present, 1);
        Put16(image, EepromMap::Dir12Size, 12);
        Put16(image, EepromMap::Dir12Count, c.count);
        Put32(image, EepromMap::Dir12Address, c.address);
        image.SetByte(EepromMap::CloneSize - 12, 0x03);
        for (int at = EepromMap::WorkEnd; at < EepromMap::ImageSize; ++at) image.SetByte(at, 0x77);
        ASSERT_TRUE(CopyDirectory(image));
        PtblEntry e;
        EXPECT_EQ(FindTable(image, 0x300, e), c.lastEntryCopied) << c.address;
        for (int k = c.lastEntryCopied ? 1 : 0; k < c.count; ++k)
            for (int b = 0; b < 12; ++b) ASSERT_EQ(image.GetByte(EepromMap::Dir12Work + 12 * k + b), 0) << c.address;
        EXPECT_EQ(image.GetByte(EepromMap::Dir12Work + 12 * c.count), 0x77) << "entries past the count are not touched";
    }
}

TEST(EepromMap, FindTablePrefersTheTwelveByteFormAndFallsBackToTheTenByteForm)
{
    cmcEeprom image = MakeImage();
    Put16(image, EepromMap::Dir12Present, 1);
    Put16(image, EepromMap::Dir10Present, 1);
    AddTable(image, 0x12345678, 9, 30, 2);
    AddTable(image, 0x0000ABCD, 5, 24, 3);
    // An id only in the 10-byte copy.
    Put16(image, EepromMap::Dir10Work + 2 * 10, 77);
    Put16(image, EepromMap::Dir10Work + 2 * 10 + 6, 0x4444);
    Put16(image, EepromMap::Dir10Count, 3);

    PtblEntry e;
    ASSERT_TRUE(FindTable(image, 2, e));
    EXPECT_EQ(e.Address, 0x12345678u) << "the 12-byte form answers";
    ASSERT_TRUE(FindLegacyPtblEntry(image, 2, e));
    EXPECT_EQ(e.Address, 0x5678u) << "the 10-byte form keeps the low 16 bits";
    EXPECT_EQ(e.Count, 9);
    EXPECT_EQ(e.Size, 30);
    ASSERT_TRUE(FindTable(image, 77, e));
    EXPECT_EQ(e.Address, 0x4444u);

    Put16(image, EepromMap::Dir12Present, 0);
    ASSERT_TRUE(FindTable(image, 3, e));
    EXPECT_EQ(e.Address, 0xABCDu);
    Put16(image, EepromMap::Dir10Present, 2);
    EXPECT_FALSE(FindTable(image, 3, e)) << "a form is present only when its flag reads 1";
}

TEST(EepromMap, AddTableStopsAt129EntriesAndLeavesTheSpareAlone)
{
    cmcEeprom image = MakeImage();
    Put16(image, EepromMap::Dir12Work + 6, 0x1111);
    for (int k = 0; k < 140; ++k) AddTable(image, 0x20000 + k, k, 4, 10 + k);
    EXPECT_EQ(Get16(image, EepromMap::Dir12Count), 129);
    EXPECT_EQ(Get16(image, EepromMap::Dir10Count), 129);
    EXPECT_EQ(Get16(image, EepromMap::Dir12Work + 6), 0x1111);
    const int last12 = EepromMap::Dir12Work + 128 * 12;
    EXPECT_EQ(Get16(image, last12), 138);
    EXPECT_EQ(Get16(image, last12 + 2), 4);
    EXPECT_EQ(Get16(image, last12 + 4), 128);
    EXPECT_EQ(Get16(image, last12 + 8), 0x0002);
    EXPECT_EQ(Get16(image, last12 + 10), 128);
    EXPECT_EQ(Get16(image, EepromMap::Dir10Work + 128 * 10 + 6), 128);
    for (int at = EepromMap::CountIndKind18; at < EepromMap::ImageSize; ++at) ASSERT_EQ(image.GetByte(at), 0);
}
