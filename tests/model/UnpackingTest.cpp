#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "model/datCh.h"
#include "tests/model/ModelTestImage.h"
#include "tests/model/StoredImage.h"
#include "tests/support/TestSupport.h"

#include <random>

using namespace modeltest;

namespace {

constexpr int kTone = 179144;      // table 14, 4 x 80
constexpr int kUserChar2 = 176152; // table 10, 24 x 16
constexpr int kPrio = 146304;      // table 7, 16 x 1
constexpr int kMain = 130944;      // table 2, 30 x 512
constexpr int kSecond = 163346;    // table 3, 24 x 512
constexpr int kGps = 182062;       // table 24 byte 10
constexpr int kBank127Count = WorkTables::BankCounts + 254;

class UnpackFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        current.Context().InitialImage = &initial;
        current.image.Fill(0xEE);
        for (int a = 0; a < EepromMap::CloneSize; ++a) current.image.SetByte(a, 0);
    }
    // Stores the tables into the current image's clone memory and unpacks it.
    void Unpack(const std::vector<StoredTable>& tables, bool wide = true, int base = 512)
    {
        StoreTables(current.image, tables, wide, base);
        Dynamic2Static(current.image);
    }
    CurrentImage current;
    cmcEeprom initial = MakeImage(0x5A);
};

} // namespace

TEST_F(UnpackFixture, StoredTablesAreCutToTheirWorkingShape)
{
    std::vector<uint8_t> gps = Counting(16, 1);
    gps[10] = 0;
    Unpack({{14, 4, 30, Counting(4, 30)},          // 30 tones
            {10, 30, 16, Counting(30, 16)},        // wider entries: own stride, cut to 24
            {7, 16, 0, {}},                        // count 0, descriptor count 1: one entry
            {24, 16, 1, gps}},
           true, 0x400);  // a foreign dynamic base
    const cmcEeprom& img = current.image;
    EXPECT_EQ(ReadCToneListCount(img), 30);
    EXPECT_EQ(img.GetByte(kTone), 1);
    EXPECT_EQ(img.GetByte(kTone + 4 * 30 - 1), 120);
    EXPECT_EQ(img.GetByte(kTone + 4 * 30), 0xEE);  // entries beyond the stored ones keep theirs
    for (int e : {0, 1, 15}) {
        EXPECT_EQ(img.GetByte(kUserChar2 + 24 * e), uint8_t(1 + 30 * e)) << e;
        EXPECT_EQ(img.GetByte(kUserChar2 + 24 * e + 23), uint8_t(1 + 30 * e + 23)) << e;
    }
    // Table 7 took the bytes that follow its place (table 24's).
    EXPECT_EQ(img.GetByte(kPrio), 1);
    EXPECT_EQ(img.GetByte(kGps), 10);
    EXPECT_EQ(img.GetByte(kGps - 1), 10);

    // Narrower stored entries keep the rest of each working entry.
    current.image.Fill(0xEE);
    for (int a = 0; a < EepromMap::CloneSize; ++a) current.image.SetByte(a, 0);
    Unpack({{10, 20, 16, Counting(20, 16)}, {24, 16, 1, Counting(16, 1, 100)}}, false);
    EXPECT_EQ(img.GetByte(kUserChar2 + 24 + 19), 40);
    EXPECT_EQ(img.GetByte(kUserChar2 + 24 + 20), 0xEE);
    EXPECT_EQ(img.GetByte(kGps), 110);
    EXPECT_EQ(img.GetByte(kTone), 0xEE);  // a missing table stays
}

TEST_F(UnpackFixture, NoDirectoryLeavesTheImageAlone)
{
    const cmcEeprom before = current.image;
    Dynamic2Static(current.image);
    UnpackDefaults(current.image);
    EXPECT_TRUE(current.image.Equals(before));
}

TEST_F(UnpackFixture, Bank127IsRebuiltFromItsOwnTables)
{
    // 100 channels of banks 0-126, 20 of bank 127 (stored 32 and 26 bytes
    // per entry, as a foreign layout might), the rest from the initial image.
    std::vector<uint8_t> settings(486, 0);
    settings[156 + 1] = 100;  // bank 0: 100 channels
    settings[410 + 1] = 5;    // bank 127: 5
    current.image.Fill(0);
    std::vector<uint8_t> last(32 * 20, 0), lastSecond(26 * 20, 0);
    for (int u = 0; u < 20; ++u) {
        for (int k = 0; k < 32; ++k) last[size_t(32 * u + k)] = uint8_t(u + 1);
        for (int k = 0; k < 26; ++k) lastSecond[size_t(26 * u + k)] = uint8_t(u + 101);
    }
    // In use: a receive frequency. The 9th of bank 127 is the last in use.
    for (int u = 0; u < 20; ++u) last[size_t(32 * u + 3)] = u < 9 ? 1 : 0;
    for (int u = 0; u < 20; ++u) last[size_t(32 * u)] = last[size_t(32 * u + 1)] = last[size_t(32 * u + 2)] = 0;
    Unpack({{2, 30, 100, Counting(30, 100)}, {3, 24, 100, Counting(24, 100)}, {4, 32, 20, last},
            {5, 26, 20, lastSecond}, {8, 486, 1, settings}});
    const cmcEeprom& img = current.image;
    EXPECT_EQ(img.GetByte(kMain + 30 * 99 + 29), uint8_t(30 * 99 + 30));
    for (int u = 0; u < 20; ++u) {
        EXPECT_EQ(img.GetByte(kMain + 30 * (100 + u) + 29), u + 1) << u;
        EXPECT_EQ(img.GetByte(kSecond + 24 * (100 + u) + 23), u + 101) << u;
    }
    for (int c : {120, 300, 511}) {
        EXPECT_EQ(img.GetByte(kMain + 30 * c), 0x5A) << c;
        EXPECT_EQ(img.GetByte(kSecond + 24 * c + 23), 0x5A) << c;
    }
    // Stored count 5, last channel in use the 9th: 9.
    EXPECT_EQ(Get16(img, kBank127Count), 9);
    // The image is packed again in the program's own layout.
    PtblEntry e;
    ASSERT_TRUE(FindTable(img, 4, e));
    EXPECT_EQ(e.Count, 9);
    EXPECT_EQ(e.Size, 30);

    // Last in use the 3rd: the stored count stays.
    for (int u = 0; u < 20; ++u) last[size_t(32 * u + 3)] = u < 3 ? 1 : 0;
    current.image.Fill(0);
    Unpack({{2, 30, 100, Counting(30, 100)}, {3, 24, 100, Counting(24, 100)}, {4, 32, 20, last},
            {5, 26, 20, lastSecond}, {8, 486, 1, settings}});
    EXPECT_EQ(Get16(img, kBank127Count), 5);
}

TEST_F(UnpackFixture, Bank127StopsAtTheLastChannel)
{
    // 500 + 40 channels claimed: bank 127 gets 12 of them.
    std::vector<uint8_t> settings(486, 0);
    settings[156] = 500 >> 8, settings[157] = 500 & 0xFF;
    settings[411] = 40;
    Unpack({{2, 30, 500, Counting(30, 500)}, {3, 24, 500, Counting(24, 500)}, {4, 30, 40, Counting(30, 40, 7)},
            {5, 24, 40, Counting(24, 40, 9)}, {8, 486, 1, settings}});
    const cmcEeprom& img = current.image;
    EXPECT_EQ(img.GetByte(kMain + 30 * 500), 7);
    EXPECT_EQ(img.GetByte(kMain + 30 * 511 + 29), uint8_t(7 + 30 * 11 + 29));
    EXPECT_LE(UsedChannelCountInImage(img), 512);
}

TEST_F(UnpackFixture, DefaultsFillWholeTablesFromTemplates)
{
    std::vector<StoredTable> tables;
    for (const PtblDescriptor& d : DefaultDescriptors()) {
        // Mode 0 one descriptor-sized entry, mode 1 one template, mode 2 all.
        const int count = d.FillMode == kFillEntries ? d.EntryCount : 1;
        tables.push_back({d.Id, d.EntrySize, count, Counting(d.EntrySize, count, d.Id)});
        // Counts within their limits (bank channel counts, group counts).
        std::vector<uint8_t>& b = tables.back().bytes;
        if (d.Id == 8) std::fill(b.begin() + 156, b.begin() + 412, uint8_t(0));
        if (d.Id == 40 || d.Id == 88 || d.Id == 112)
            for (size_t k = 0; k < b.size(); ++k) b[k] = uint8_t(k % 20);
    }
    cmcEeprom& img = current.image;
    img.Fill(0);
    StoreTables(img, tables);
    UnpackDefaults(img);
    for (size_t row = 0; row < tables.size(); ++row) {
        const PtblDescriptor& d = DefaultDescriptors()[row];
        const PtblDescriptor& table = UnpackDescriptors()[row];
        const std::vector<uint8_t>& stored = tables[row].bytes;
        for (int k = 0; k < table.EntrySize * table.EntryCount; ++k) {
            // A template repeats; everything else is copied as stored.
            const size_t source = size_t(d.FillMode == kFillTemplate ? k % d.EntrySize : k);
            ASSERT_EQ(img.GetByte(d.Destination + k), stored[source]) << "table " << d.Id << " byte " << k;
        }
    }
    EXPECT_EQ(ReadCToneListCount(img), 40);
    EXPECT_EQ(ReadNacChListCount(img), 40);
    for (int at : {EepromMap::CountIndKind18, EepromMap::CountTgKind19, EepromMap::CountIndKind28,
                   EepromMap::CountTgKind29, EepromMap::CountIndKind32, EepromMap::CountTgKind33})
        EXPECT_EQ(Get16(img, at), 1) << at;
}

TEST_F(UnpackFixture, CountsAreSanitisedRightAfterUnpacking)
{
    std::vector<uint8_t> settings(486, 0);
    settings[157] = 44, settings[156] = 1;  // bank 0: 300
    settings[158] = 1, settings[159] = 44;  // bank 1: 300
    settings[161] = 10;                     // bank 2: 10
    std::vector<uint8_t> ltr(128, 0), zeph(128, 0), sites(50, 0);
    ltr[0] = 25, ltr[1] = 20;
    zeph[3] = 40;
    sites[0] = 31, sites[48] = 200;
    Unpack({{8, 486, 1, settings}, {40, 128, 1, ltr}, {88, 128, 1, zeph}, {112, 50, 1, sites}});
    const cmcEeprom& img = current.image;
    EXPECT_EQ(ReadBankChannelCount(img, 0), 300);
    EXPECT_EQ(ReadBankChannelCount(img, 1), 0);
    EXPECT_EQ(ReadBankChannelCount(img, 2), 0);
    EXPECT_EQ(ReadGroupItemCount(img, 0, 22), 20);
    EXPECT_EQ(ReadGroupItemCount(img, 1, 22), 20);
    EXPECT_EQ(ReadGroupItemCount(img, 3, 27), 30);
    EXPECT_EQ(ReadGroupItemCount(img, 0, 31), 30);
    EXPECT_EQ(img.GetByte(WorkTables::MultisiteSiteCount), 48);
}

TEST_F(UnpackFixture, DamagedImagesStayInsideTheImageAndComeOutSanitised)
{
    std::mt19937 random(2024);
    auto r = [&](uint32_t n) { return int(random() % n); };
    std::vector<int> ids;
    for (const PtblDescriptor& d : UnpackDescriptors()) ids.push_back(d.Id);
    ids.insert(ids.end(), {4, 5, 4, 5});
    cmcEeprom& img = current.image;
    for (int round = 0; round < 60; ++round) {
        for (int a = 0; a < img.Size(); ++a) img.SetByte(a, r(256));
        // A directory of random entries inside the clone memory, with random
        // counts, entry sizes and addresses (some far outside).
        const int entries = 1 + r(140);
        const int dir = 512 + r(EepromMap::CloneSize - 512 - 12 * entries);
        for (int k = 0; k < entries; ++k) {
            const int at = dir + 12 * k;
            Put16(img, at, ids[size_t(r(uint32_t(ids.size())))]);
            Put16(img, at + 2, r(4) == 0 ? r(65536) : r(600));
            Put16(img, at + 4, r(4) == 0 ? r(65536) : r(600));
            Put32(img, at + 8, r(3) == 0 ? uint32_t(random()) : uint32_t(512 + r(EepromMap::CloneSize)));
        }
        Put16(img, EepromMap::Dir12Present, 1);
        Put16(img, EepromMap::Dir12Size, r(4) == 0 ? r(30) : 12);
        Put16(img, EepromMap::Dir12Count, entries);
        Put32(img, EepromMap::Dir12Address, uint32_t(dir));
        Put32(img, EepromMap::Base32, r(4) == 0 ? uint32_t(random()) : 512u);
        Put32(img, EepromMap::End32PartA, 1);
        Put32(img, EepromMap::End32, 1);
        Put16(img, EepromMap::Dir10Present, r(2));
        if (round % 2) UnpackDefaults(img); else Dynamic2Static(img);

        ASSERT_LE(UsedChannelCountInImage(img), 512) << round;
        int ltr = 0, zeph = 0;
        for (int g = 0; g < 128; ++g) {
            ASSERT_LE(ReadGroupItemCount(img, g, 22), 20);
            ASSERT_LE(ReadGroupItemCount(img, g, 27), 30);
            ltr += ReadGroupItemCount(img, g, 22);
            zeph += ReadGroupItemCount(img, g, 27);
        }
        ASSERT_LE(ltr, 2560);
        ASSERT_LE(zeph, 3840);
        for (int s = 0; s < 48; ++s) ASSERT_LE(ReadGroupItemCount(img, s, 31), 30);
        ASSERT_LE(img.GetByte(WorkTables::MultisiteSiteCount), 48);
        ASSERT_LE(ReadCToneListCount(img), 80);
        ASSERT_LE(ReadNacChListCount(img), 80);
        for (int at : {EepromMap::CountIndKind18, EepromMap::CountTgKind19, EepromMap::CountIndKind28,
                       EepromMap::CountTgKind29, EepromMap::CountIndKind32, EepromMap::CountTgKind33})
            ASSERT_LE(Get16(img, at), 500);
        // Everything that walks the counts can now decode every item.
        datCh ch(&img);
        for (int c = 0; c < 512; ++c) ch.Unpack(1, c);
        for (int i = 0; i < 2560; ++i) ch.Unpack(22, i);
        for (int i = 0; i < 1440; ++i) ch.Unpack(31, i);
    }
}
