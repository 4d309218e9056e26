#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <array>
#include <map>
#include <random>
#include <set>

using namespace modeltest;

namespace {

// The shape of a test image: channels per bank and the list sizes.
struct Shape {
    std::map<int, int> banks;  // bank -> channel count
    int tone = 40, nac = 40, ind18 = 1, tg19 = 1, ind28 = 1, tg29 = 1, ind32 = 1, tg33 = 1;
    int ltr = 0, zeph = 0;     // repeater totals, spread over the groups
    int sites = 0;
};

void Spread(cmcEeprom& image, int counts, int groups, int perGroup, int total)
{
    for (int g = 0; g < groups; ++g) {
        const int n = std::min(perGroup, total);
        image.SetByte(counts + g, n);
        total -= n;
    }
}

// Every working table filled with random bytes, then the counts of the shape.
void Fill(cmcEeprom& image, const Shape& s, unsigned seed)
{
    std::mt19937 random(seed);
    for (int a = EepromMap::WorkStart; a < EepromMap::WorkEnd; ++a) image.SetByte(a, int(random() & 0xFF));
    for (int b = 0; b < 128; ++b) Put16(image, WorkTables::BankCounts + 2 * b, s.banks.count(b) ? s.banks.at(b) : 0);
    Put16(image, EepromMap::CountToneList, s.tone);
    Put16(image, EepromMap::CountNacList, s.nac);
    Put16(image, EepromMap::CountIndKind18, s.ind18);
    Put16(image, EepromMap::CountTgKind19, s.tg19);
    Put16(image, EepromMap::CountIndKind28, s.ind28);
    Put16(image, EepromMap::CountTgKind29, s.tg29);
    Put16(image, EepromMap::CountIndKind32, s.ind32);
    Put16(image, EepromMap::CountTgKind33, s.tg33);
    Spread(image, WorkTables::LtrGroupCounts, 128, 20, s.ltr);
    Spread(image, WorkTables::ZephGroupCounts, 128, 30, s.zeph);
    Spread(image, WorkTables::MultisiteGroupCounts, 48, 30, 30 * s.sites);
    image.SetByte(WorkTables::MultisiteSiteCount, s.sites);
}

int Used(const Shape& s)
{
    int n = 0;
    for (const auto& [b, c] : s.banks) n += c;
    return n;
}

// The directory of a packed image, as {id, count, size, address}.
std::vector<std::array<int, 4>> Directory(const cmcEeprom& image)
{
    std::vector<std::array<int, 4>> out;
    const bool wide = Get16(image, EepromMap::Dir12Present) == 1;
    const int count = Get16(image, wide ? EepromMap::Dir12Count : EepromMap::Dir10Count);
    int at = wide ? int((uint32_t(Get16(image, EepromMap::Dir12Address)) << 16) | Get16(image, EepromMap::Dir12Address + 2))
                  : Get16(image, EepromMap::Dir10Address);
    for (int k = 0; k < count; ++k, at += wide ? 12 : 10) {
        const int address = wide ? (Get16(image, at + 8) << 16) | Get16(image, at + 10) : Get16(image, at + 6);
        out.push_back({Get16(image, at), Get16(image, at + 4), Get16(image, at + 2), address});
    }
    return out;
}

const std::array<int, 4>* Entry(const std::vector<std::array<int, 4>>& dir, int id)
{
    for (const auto& e : dir)
        if (e[0] == id) return &e;
    return nullptr;
}

// The packed count of a table; -1 (a failure of the test) when the
// directory has no entry for it.
int CountIn(const std::vector<std::array<int, 4>>& dir, int id)
{
    const std::array<int, 4>* e = Entry(dir, id);
    if (e == nullptr) {
        ADD_FAILURE() << "the directory has no entry for table " << id;
        return -1;
    }
    return (*e)[1];
}

int End32(const cmcEeprom& image) { return (Get16(image, EepromMap::End32) << 16) | Get16(image, EepromMap::End32 + 2); }

bool HasMarkerAt(const cmcEeprom& image, int at)
{
    for (int k = 0; k < 8; ++k)
        if (image.GetByte(at + k) != EepromMap::Marker[k]) return false;
    return true;
}

// A model context with the given model type and identity payload.
class PackFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Use(1);
        SanitiseCounts(initial);
    }
    void Use(int recordKind)
    {
        current.Context().MchRecordKind = [recordKind] { return recordKind; };
        current.Context().IdentityPayload = payload.data();
        current.Context().InitialImage = &initial;
    }
    CurrentImage current;
    cmcEeprom image = MakeImage();
    cmcEeprom initial = MakeImage(0x5A);
    std::array<uint8_t, 127> payload{};
};

} // namespace

// Tables whose packed count follows the data; the rest are packed whole.
struct Variable {
    int id;
    int count;
};

TEST_F(PackFixture, WorkingTablesSurviveAPackAndAnUnpack)
{
    Shape lmr;
    for (int b = 0; b < 100; ++b) lmr.banks[b * 127 / 99] = 5;  // 100 banks up to 127
    lmr.banks[3] = 15;
    lmr.tone = 80, lmr.nac = 80, lmr.ind18 = 100, lmr.tg19 = 100, lmr.ind28 = 50, lmr.tg29 = 50, lmr.ind32 = 50,
    lmr.tg33 = 50, lmr.ltr = 600, lmr.zeph = 600, lmr.sites = 48;
    Shape small;
    for (int b : {0, 1, 2, 40, 126, 127}) small.banks[b] = 25;
    small.ltr = 20, small.zeph = 30, small.sites = 2;
    Shape pmrFull;
    for (int b = 0; b < 128; ++b) pmrFull.banks[b] = 4;
    pmrFull.tone = 80, pmrFull.nac = 80, pmrFull.ind18 = 500, pmrFull.tg19 = 500;

    struct Case {
        const char* what;
        Shape shape;
        int kind;
        bool legacy16;
    } cases[] = {{"LMR, 512 channels in 100 banks", lmr, 1, false},
                 {"LMR, 16-bit layout", small, 1, true},
                 {"PMR, full lists", pmrFull, 2, false}};

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Use(c.kind);
        const bool isLmr = c.kind == 1;
        Fill(image, c.shape, 11);
        image.SetByte(PackLayout::LayoutByte, image.GetByte(PackLayout::LayoutByte) | 0x80);
        ASSERT_EQ(Static2Dynamic(image, false, false, c.legacy16), kPackOk);
        EXPECT_EQ(Get16(image, c.legacy16 ? EepromMap::Dir10Present : EepromMap::Dir12Present), 1);
        EXPECT_EQ(Get16(image, c.legacy16 ? EepromMap::Dir12Present : EepromMap::Dir10Present), 0);

        // The way a file or a radio image is taken in: the defaults, then the
        // clone memory, then the unpack.
        cmcEeprom loaded = initial;
        for (int a = 0; a < EepromMap::CloneSize; ++a) loaded.SetByte(a, image.GetByte(a));
        current.image = loaded;
        Dynamic2Static(current.image);
        const cmcEeprom& back = current.image;

        const int used = Used(c.shape);
        const int totalLtr = std::min(c.shape.ltr, 2560), totalZeph = std::min(c.shape.zeph, 3840);
        const Variable variables[] = {{2, used},          {3, used},           {45, used},          {91, used},
                                      {115, used},        {14, c.shape.tone},  {36, c.shape.nac},   {34, c.shape.ind18},
                                      {35, c.shape.tg19}, {92, c.shape.ind28}, {93, c.shape.tg29},  {116, c.shape.ind32},
                                      {117, c.shape.tg33}, {43, totalLtr},     {90, totalZeph}};
        const std::set<int> lmrOnly = {112, 121, 120, 113, 40, 41, 42, 43, 45, 46, 88, 89, 90, 91, 92, 93,
                                       94,  95,  96,  98,  103, 107, 110, 125, 111, 114, 115, 116, 117, 118, 119};
        for (const PtblDescriptor& d : UnpackDescriptors()) {
            int n = d.EntryCount;
            for (const Variable& v : variables)
                if (v.id == d.Id) n = v.count;
            // Not packed: the defaults stay.
            const bool packed = d.Id != 23 && (isLmr || !lmrOnly.count(d.Id));
            for (int a = d.Destination; a < d.Destination + d.EntrySize * d.EntryCount; ++a) {
                const bool data = packed && a < d.Destination + d.EntrySize * n;
                int expected = data ? image.GetByte(a) : initial.GetByte(a);
                // The packer keeps the layout bit.
                if (a == PackLayout::LayoutByte) expected |= 0x80;
                ASSERT_EQ(back.GetByte(a), expected) << "table " << d.Id << " byte " << a - d.Destination;
            }
        }
        for (auto [at, expected] : std::map<int, int>{{EepromMap::CountToneList, c.shape.tone},
                                                       {EepromMap::CountIndKind18, c.shape.ind18},
                                                       {EepromMap::CountTgKind19, c.shape.tg19}})
            EXPECT_EQ(Get16(back, at), expected);
        if (!c.legacy16) {
            // Packed again by the unpack, the clone memory is the same.
            for (int a = 0; a < EepromMap::CloneSize; ++a) ASSERT_EQ(back.GetByte(a), image.GetByte(a)) << a;
        }
    }
}

TEST_F(PackFixture, PackedLayoutDirectoryAndEndMarker)
{
    Shape s;
    s.banks = {{0, 10}, {127, 3}};
    Fill(image, s, 3);
    image.SetByte(PackLayout::LayoutByte, 0);
    ASSERT_EQ(Pack(image), kPackOk);
    const auto dir = Directory(image);

    // Every table once, in packing order; each right after the previous one.
    const std::vector<int> partA = {2, 7, 15, 6, 62, 18, 27, 32, 72, 4, 5, 84, 102, 112, 121, 120, 113, 127, 128};
    ASSERT_GE(dir.size(), partA.size());
    std::set<int> ids;
    int address = 512;
    for (size_t k = 0; k < dir.size(); ++k) {
        if (k < partA.size()) {
            EXPECT_EQ(dir[k][0], partA[k]) << k;
        }
        EXPECT_TRUE(ids.insert(dir[k][0]).second) << dir[k][0];
        EXPECT_EQ(dir[k][3], address) << dir[k][0];
        address += dir[k][1] * dir[k][2];
    }
    EXPECT_EQ(dir.size(), 123u);  // LMR, new tables, layout bit set by the trial
    EXPECT_TRUE(image.GetByte(PackLayout::LayoutByte) & 0x80);
    for (int id : {2, 4, 45, 128}) ASSERT_NE(Entry(dir, id), nullptr) << id;
    EXPECT_EQ(*Entry(dir, 2), (std::array<int, 4>{2, 10, 30, 512}));
    EXPECT_EQ(CountIn(dir, 4), 3);
    EXPECT_EQ(CountIn(dir, 45), 13);

    // Part A ends after table 128; the directory, then the marker; the end
    // is the address just past the marker.
    const auto& t128 = *Entry(dir, 128);
    EXPECT_EQ((Get16(image, EepromMap::End32PartA) << 16) | Get16(image, EepromMap::End32PartA + 2), t128[3] + 16);
    EXPECT_EQ(HasMarkerAt(image, address + 12 * int(dir.size())), true);
    EXPECT_EQ(End32(image), address + 12 * int(dir.size()) + 8);
    EXPECT_EQ(DynamicBase(image), 512u);
    for (int a = EepromMap::End16PartA; a < EepromMap::End16PartA + 26; ++a) EXPECT_EQ(image.GetByte(a), 0) << a;

    // The working directory finds the packed tables.
    PtblEntry e;
    ASSERT_TRUE(FindTable(image, 45, e));
    EXPECT_EQ(e.Count, 13);
}

TEST_F(PackFixture, ModelTypeAndRadioVersionChooseTheTables)
{
    Shape s;
    s.banks = {{0, 4}};
    auto ids = [&](int kind, bool forRadio, int version) {
        Use(kind);
        payload[34] = uint8_t(version);
        Fill(image, s, 5);
        image.SetByte(PackLayout::LayoutByte, 0x80);
        EXPECT_EQ(Static2Dynamic(image, forRadio, false, false), kPackOk);
        std::set<int> out;
        for (const auto& e : Directory(image)) out.insert(e[0]);
        return out;
    };
    const std::set<int> trunking = {112, 121, 120, 113, 40, 41, 42, 43, 45, 46, 88, 89, 90, 91, 92, 93,
                                    94,  95,  96,  98,  103, 107, 110, 125, 111, 114, 115, 116, 117, 118, 119};
    const std::set<int> newest = {112, 121, 120, 113, 127, 128, 107, 108, 109, 110, 125, 111, 114, 115, 116, 117, 118, 119, 126, 122, 123, 124};
    const auto lmr = ids(1, false, 0);
    const auto pmr = ids(2, false, 0);
    for (int id : trunking) {
        EXPECT_TRUE(lmr.count(id)) << id;
        EXPECT_FALSE(pmr.count(id)) << id;
    }
    EXPECT_EQ(lmr.size(), pmr.size() + trunking.size());
    const auto old = ids(1, true, 0x31);
    const auto recent = ids(1, true, 0x32);
    for (int id : newest) {
        EXPECT_FALSE(old.count(id)) << id;
        EXPECT_TRUE(recent.count(id)) << id;
    }
    // A pack that is not for a radio ignores the version.
    EXPECT_EQ(ids(1, false, 0x10), lmr);
}

TEST_F(PackFixture, OverflowLeavesNoDirectoryNoMarkerAndNoEnds)
{
    Shape s;
    for (int b = 0; b < 128; ++b) s.banks[b] = 4;
    s.tone = 80, s.nac = 80, s.ind18 = 500, s.tg19 = 500;
    Fill(image, s, 9);
    // Fits the normal layout, not the 16-bit one.
    EXPECT_EQ(Static2Dynamic(image, false, false, false), kPackOk);
    EXPECT_EQ(Static2Dynamic(image, false, false, true), kPackOverflow);
    for (int at : {EepromMap::Dir10Present, EepromMap::Dir12Present, EepromMap::End16, EepromMap::End32, EepromMap::End32 + 2})
        EXPECT_EQ(Get16(image, at), 0) << at;
    EXPECT_EQ(DynamicBase(image), 0u);
    for (int a = 512; a + 8 <= EepromMap::CloneSize; ++a) ASSERT_FALSE(HasMarkerAt(image, a)) << a;

    // Every list full does not fit even the normal layout.
    s.ltr = 2560, s.zeph = 3840, s.ind28 = s.tg29 = s.ind32 = s.tg33 = 500;
    Fill(image, s, 9);
    EXPECT_EQ(Pack(image), kPackOverflow);
    EXPECT_EQ(DynamicBase(image), 0u);
}

TEST_F(PackFixture, LayoutTrialKeepsTable125OnlyWhenItFits)
{
    // Data that fit the 16-bit layout only without table 125 (24 bytes).
    Shape s;
    s.banks = {{0, 100}};
    auto packedSize = [&](int layout) {
        Fill(image, s, 2);
        image.SetByte(PackLayout::LayoutByte, layout);
        EXPECT_EQ(Static2Dynamic(image, false, false, true), kPackOk);
        return Get16(image, EepromMap::End16);
    };
    const int without = packedSize(0x00);
    EXPECT_EQ(packedSize(0x80), without + 24 + 10);
    // Grow the channels (71 bytes each), the ID list (16 bytes an entry) and
    // the tone list (4 bytes) until the data end between the two sizes.
    auto room = [&] { return PackLayout::Limit16 - packedSize(0x00); };
    s.banks[0] = 100 + (room() - 300) / 71;
    ASSERT_LT(s.banks[0], 512);
    s.ind18 = 1 + (room() - 100) / 16;
    s.tone = 40 + (room() - 20) / 4;
    const int end = packedSize(0x00);
    ASSERT_LE(end, PackLayout::Limit16);
    ASSERT_GT(end + 34, PackLayout::Limit16);

    Fill(image, s, 2);
    image.SetByte(PackLayout::LayoutByte, 0x00);
    EXPECT_EQ(PackWithLayoutFlag(image, false, false, true), kPackOk);
    EXPECT_EQ(image.GetByte(PackLayout::LayoutByte) & 0x80, 0);

    s.tone = 40;
    s.ind18 = 1;
    s.banks[0] = 100;
    Fill(image, s, 2);
    image.SetByte(PackLayout::LayoutByte, 0x00);
    EXPECT_EQ(PackWithLayoutFlag(image, false, false, true), kPackOk);
    EXPECT_EQ(image.GetByte(PackLayout::LayoutByte) & 0x80, 0x80);
}

TEST_F(PackFixture, APackMayEndExactlyAtTheLimitAndNotOneBytePast)
{
    // Packed ends of the 16-bit layout; 0 for an overflow.
    auto end = [&](const Shape& s) {
        Fill(image, s, 3);
        image.SetByte(PackLayout::LayoutByte, 0x00);
        return Static2Dynamic(image, false, false, true) == kPackOk ? Get16(image, EepromMap::End16) : 0;
    };
    // Channels (71 bytes each) and ID list entries (16 bytes) until some 220
    // bytes are left, then channels and tone entries (4 bytes) for the rest.
    auto endingAt = [&](int target) {
        Shape s;
        s.banks = {{0, 100}};
        s.tone = 10;
        s.banks[0] += (target - end(s) - 300) / 71;
        s.ind18 += (target - end(s) - 220) / 16;
        const int rest = target - end(s);
        const int channels = (3 * rest) % 4;  // 71 channels are 3 bytes past a multiple of 4
        s.banks[0] += channels;
        s.tone += (rest - 71 * channels) / 4;
        EXPECT_LT(s.banks[0], 512);
        EXPECT_LE(s.tone, 80);
        return s;
    };
    EXPECT_EQ(end(endingAt(PackLayout::Limit16)), PackLayout::Limit16);
    EXPECT_EQ(end(endingAt(PackLayout::Limit16 - 1)), PackLayout::Limit16 - 1);
    EXPECT_EQ(end(endingAt(PackLayout::Limit16 + 1)), 0);
}

TEST_F(PackFixture, TheBudgetPadsBank127ButNeverDropsItsChannels)
{
    Shape s;
    s.banks = {{0, 20}, {127, 6}};
    // The working image's last pack leaves room for exactly 30 channels:
    // each needs 71 bytes of the free space.
    current.image = MakeImage();
    Put32(current.image, EepromMap::End32PartA, 1000);
    Put32(current.image, EepromMap::End32, PackLayout::Limit - 71 * 30);
    auto bank127 = [&](bool budget, bool tactical) {
        Fill(image, s, 4);
        image.SetByte(PackLayout::TacticalByte, tactical ? 0x40 : 0x00);
        EXPECT_EQ(Static2Dynamic(image, true, budget, false), kPackOk);
        const auto dir = Directory(image);
        EXPECT_EQ(CountIn(dir, 4), CountIn(dir, 5));
        EXPECT_EQ(CountIn(dir, 45), 20 + CountIn(dir, 4));
        return CountIn(dir, 4);
    };
    payload[34] = 0x40;
    EXPECT_EQ(bank127(true, true), 6 + 30);
    EXPECT_EQ(bank127(true, false), 6);
    EXPECT_EQ(bank127(false, true), 6);
    Put32(current.image, EepromMap::End32, PackLayout::Limit - 70);  // no room at all
    EXPECT_EQ(bank127(true, true), 6);


    // Byte 109 of the identity payload: a radio that takes the 16-bit layout
    // only is budgeted on a copy of the working image packed that way.
    Put32(current.image, EepromMap::End32, PackLayout::Limit - 71 * 30);
    Fill(current.image, s, 8);
    Put32(current.image, EepromMap::End32PartA, 1000);
    Put32(current.image, EepromMap::End32, PackLayout::Limit - 71 * 30);
    const int packedRoom = MaxChannelsThatFitPacked(current.image, 512 - 26);
    ASSERT_NE(packedRoom, 30);
    auto legacyBank127 = [&](int flags) {
        payload[109] = uint8_t(flags);
        Fill(image, s, 4);
        image.SetByte(PackLayout::TacticalByte, 0x40);
        EXPECT_EQ(Static2Dynamic(image, true, true, true), kPackOk);
        return CountIn(Directory(image), 4);
    };
    EXPECT_EQ(legacyBank127(0x00), 6 + packedRoom);  // 16-bit addressing only
    EXPECT_EQ(legacyBank127(0x50), 6 + packedRoom);  // 32-bit addressing of another kind
    EXPECT_EQ(legacyBank127(0x60), 6 + 30);          // both layouts
}

TEST_F(PackFixture, MdcAddressesAndAliasTextBits)
{
    Shape s;
    s.banks = {{0, 2}};
    for (bool legacy16 : {false, true}) {
        Fill(image, s, 6);
        // Alias 0 has text, alias 1 only blanks and zeros.
        for (int k = 0; k < 12; ++k) {
            image.SetByte(237834 + k, k == 5 ? 'A' : ' ');
            image.SetByte(237834 + 15 + k, k % 2 ? 0 : ' ');
        }
        ASSERT_EQ(Static2Dynamic(image, false, false, legacy16), kPackOk);
        const auto dir = Directory(image);
        for (int id : {59, 60, 61}) ASSERT_NE(Entry(dir, id), nullptr) << id;
        const auto& blocksA = *Entry(dir, 60);
        const auto& blocksB = *Entry(dir, 61);
        const auto& aliases = *Entry(dir, 59);
        for (int k = 0; k < 5; ++k) {
            if (legacy16) {
                EXPECT_EQ(Get16(image, 235624 + 10 * k + 8), blocksA[3] + 208 * k);
                EXPECT_EQ(Get16(image, 235674 + 10 * k + 7), blocksB[3] + 208 * k);
                EXPECT_EQ(Get16(image, 235724 + 6 * k), aliases[3]);
                EXPECT_EQ(Get16(image, 235724 + 6 * k + 2), aliases[3] + 4485);
            } else {
                EXPECT_EQ(Get16(image, 242334 + 4 * k + 2), blocksA[3] + 208 * k);
                EXPECT_EQ(Get16(image, 242354 + 4 * k + 2), blocksB[3] + 208 * k);
                EXPECT_EQ(Get16(image, 242374 + 8 * k + 2), aliases[3]);
                EXPECT_EQ(Get16(image, 242374 + 8 * k + 6), aliases[3] + 4485);
            }
            EXPECT_EQ(Get16(image, 235724 + 6 * k + 4), 300);
        }
        EXPECT_EQ(Entry(dir, 104) != nullptr, !legacy16);
        EXPECT_TRUE(image.GetByte(237834 + 12) & 0x40);
        EXPECT_FALSE(image.GetByte(237834 + 15 + 12) & 0x40);
        // The packed copies carry the addresses and bits.
        EXPECT_EQ(image.GetByte(aliases[3] + 12), image.GetByte(237834 + 12));
    }
}

TEST_F(PackFixture, ChannelBudgetJudgedFromTheLastPack)
{
    cmcEeprom judged = MakeImage();
    // No ends: no free space, not even for 0 channels.
    EXPECT_FALSE(ChannelsFit(judged, 0, false));
    EXPECT_EQ(MaxChannelsThatFit(judged, 5), -1);
    // 16-bit ends count when the 32-bit form is 0.
    Put16(judged, EepromMap::End16PartA, 1000);
    Put16(judged, EepromMap::End16, PackLayout::Limit16 - 71 * 3);
    EXPECT_EQ(MaxChannelsThatFit(judged, 5), 5);
    EXPECT_TRUE(ChannelsFit(judged, 3, true));
    EXPECT_FALSE(ChannelsFit(judged, 4, true));
    EXPECT_FALSE(ChannelsFit(judged, -1, false));
    // Part A needs more than 30 bytes per channel.
    Put32(judged, EepromMap::End32PartA, PackLayout::Limit - 90);
    Put32(judged, EepromMap::End32, 2000);
    EXPECT_EQ(MaxChannelsThatFit(judged, 5), 2);
}
