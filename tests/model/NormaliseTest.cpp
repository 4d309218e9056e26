#include "model/EepromMap.h"
#include "model/Normalise.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "model/datCh.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <array>
#include <cstring>
#include <random>

using namespace modeltest;

namespace {

constexpr int kMain = 130944;
constexpr int kSecond = 163346;
constexpr int kZephData = 243076;
constexpr int kPowerOnChannel = 147898;
constexpr int kStartPositions = 147912;
constexpr int kKeyTable1 = 175718, kKeyTable2 = 302478, kKeyTable3 = 302494;

int R(int n) { return kMain + 30 * n; }
int S(int n) { return kSecond + 24 * n; }

class NormaliseFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ctx().InitialImage = &initial;
        ctx().IdentityPayload = payload.data();
        ctx().SerialNumber = [this] { return serial; };
        ctx().UnitIdMax = [] { return 65519; };
        ctx().MchRecordKind = [this] { return kind; };
        // Defaults that the normalisation takes over.
        Put16(initial, kPowerOnChannel, 0x0123);
        initial.SetByte(0, 0x71);
        initial.SetByte(1, 0x43);
        initial.SetByte(2, 1);
        for (int k = 0; k < 8; ++k) initial.SetByte(256 + k, EepromMap::Marker[k]);
        Put16(initial, 266, 0x7143);
        Put16(initial, 197864, 1);
        Put16(initial, 197866, 2);
    }
    ModelContext& ctx() { return current.Context(); }
    cmcEeprom& image() { return current.image; }

    // Channels per bank, in bank order.
    void Banks(std::initializer_list<std::pair<int, int>> banks)
    {
        for (auto [b, n] : banks) Put16(image(), WorkTables::BankCounts + 2 * b, n);
    }
    // A conventional channel in use (receive frequency), Inh as given.
    void Conventional(int n, bool inh = false)
    {
        Put32(image(), R(n), 150000000u | (inh ? 0x80000000u : 0));
    }
    void TrunkedUnit(int n, int unit) { Put16(image(), kZephData + 5 * n + 2, unit); }

    OutputPreparation Run(int mode, bool forRadio = false) { return PrepareImageForOutput(image(), mode, forRadio); }

    CurrentImage current;
    cmcEeprom initial = MakeImage();
    std::array<uint8_t, 127> payload{};
    uint32_t serial = 0;
    int kind = 1;
};

// A rich image: random working tables with counts the program keeps.
void RandomImage(cmcEeprom& image, unsigned seed)
{
    std::mt19937 random(seed);
    for (int a = 0; a < EepromMap::ImageSize; ++a) image.SetByte(a, int(random() & 0xFF));
    for (int b = 0; b < 128; ++b) Put16(image, WorkTables::BankCounts + 2 * b, b % 3 == 0 ? 10 : 0);
    // One type per bank: conventional, LTR, ZEPH, multisite, vote zone.
    const int typeBits[] = {WorkTables::SmarTrunkBanks, WorkTables::LtrBanks, WorkTables::VoteZoneBanks,
                            WorkTables::ZephBanks, WorkTables::MultisiteBanks};
    for (int at : typeBits)
        for (int k = 0; k < 16; ++k) image.SetByte(at + k, 0);
    const int typeOf[] = {-1, WorkTables::LtrBanks, WorkTables::ZephBanks, WorkTables::MultisiteBanks,
                          WorkTables::VoteZoneBanks};
    for (int b = 0; b < 128; ++b)
        if (const int at = typeOf[b % 5]; at >= 0) image.SetByte(at + b / 8, image.GetByte(at + b / 8) | (0x80 >> (b % 8)));
    for (int g = 0; g < 128; ++g) {
        image.SetByte(WorkTables::LtrGroupCounts + g, g < 10 ? 3 : 0);
        image.SetByte(WorkTables::ZephGroupCounts + g, g < 10 ? 4 : 0);
    }
    for (int s = 0; s < 48; ++s) image.SetByte(WorkTables::MultisiteGroupCounts + s, 2);
    image.SetByte(WorkTables::MultisiteSiteCount, 5);
    for (int at : {EepromMap::CountToneList, EepromMap::CountNacList}) Put16(image, at, 33);
    for (int at : {EepromMap::CountIndKind18, EepromMap::CountTgKind19, EepromMap::CountIndKind28,
                   EepromMap::CountTgKind29, EepromMap::CountIndKind32, EepromMap::CountTgKind33})
        Put16(image, at, 20);
}

} // namespace

TEST_F(NormaliseFixture, NormalisingTwiceChangesNothingMore)
{
    for (int k : {1, 2}) {
        SCOPED_TRACE(k == 1 ? "LMR" : "PMR");
        kind = k;
        RandomImage(initial, 5);
        SanitiseCounts(initial);
        RandomImage(image(), 6);
        serial = 1234567;
        // Saving normalises and packs again.
        auto save = [&] {
            Run(kBeforeOutput);
            Pack(image());
        };
        save();
        const cmcEeprom once = image();
        save();
        for (int a = 0; a < EepromMap::ImageSize; ++a) ASSERT_EQ(image().GetByte(a), once.GetByte(a)) << a;

        // Loading the saved image twice gives the same working tables.
        Run(kAfterLoad);
        const cmcEeprom loaded = image();
        Run(kAfterLoad);
        for (int a = EepromMap::WorkStart; a < EepromMap::WorkEnd; ++a) ASSERT_EQ(image().GetByte(a), loaded.GetByte(a)) << a;
    }
}

TEST_F(NormaliseFixture, PowerOnChannelFollowsTheRadioVersion)
{
    // Bank 0 conventional (channels 0, 1), bank 1 ZEPH (2, 3), bank 2 multisite (4, 5).
    struct Case {
        const char* what;
        std::vector<int> active;  // channels in use
        bool inhFirst;            // channel 0 inhibited
        bool forRadio;
        int version;
        int channel;  // the power-on channel; 0x123 = the initial image's
        bool nonZeph, nonMultisite;
    } cases[] = {
        {"no active channel", {}, false, false, 0, 0x123, false, false},
        {"trunked channels, version 0x23", {2, 4}, false, true, 0x23, 0x123, false, false},
        {"trunked channels, version 0x31", {2, 4}, false, true, 0x31, 2, true, true},
        {"multisite only, version 0x31", {4}, false, true, 0x31, 0x123, true, false},
        {"multisite only, version 0x32", {4}, false, true, 0x32, 4, true, true},
        {"multisite only, to a file", {4}, false, false, 0, 4, true, true},
        {"first inhibited, second not", {0, 1}, true, false, 0, 1, true, true},
        {"only an inhibited one", {0}, true, false, 0, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        image().Fill(0);
        Banks({{0, 2}, {1, 2}, {2, 2}});
        SetZephBank(1, 1);
        SetMultisiteBank(2, 1);
        for (int n : c.active) {
            if (n < 2)
                Conventional(n, n == 0 && c.inhFirst);
            else
                TrunkedUnit(n, 7);
        }
        payload[34] = uint8_t(c.version);
        const OutputPreparation out = Run(kBeforeOutput, c.forRadio);
        EXPECT_EQ(Get16(image(), kPowerOnChannel), c.channel);
        EXPECT_EQ(out.HasNonZephChannel, c.nonZeph);
        EXPECT_EQ(out.HasNonMultisiteChannel, c.nonMultisite);
    }
}

TEST_F(NormaliseFixture, PowerOnFlagsFollowTheBankOfThePowerOnChannel)
{
    // The low nibble of the power-on flags comes from the initial image,
    // and is 1 when the power-on channel lies in a bank above 15.
    initial.SetByte(147904, 0x05);
    const std::pair<int, int> cases[] = {{0, 5}, {15, 5}, {16, 1}, {127, 1}};
    for (auto [bank, nibble] : cases) {
        image().Fill(0);
        Banks({{bank, 1}});
        Conventional(0);
        Run(kBeforeOutput);
        EXPECT_EQ(Get16(image(), kPowerOnChannel), 0) << bank;
        EXPECT_EQ(image().GetByte(147904) & 0x0F, nibble) << bank;
    }
}

TEST_F(NormaliseFixture, BanksAndTheirChannelsShareTheHomeRepeaterOfTheBanksOwnGroupOnly)
{
    // Banks 0 and 1 LTR, bank 2 conventional, one channel each; LTR groups
    // 0, 1 and 2 hold two repeaters each (items 0-1, 2-3, 4-5).
    constexpr int kLtrData = 231602, kLtrBanks = 204978;
    auto repeaterBits = [this](int item) { return image().GetByte(206002 + 10 * item + 8) & 0x38; };
    Banks({{0, 1}, {1, 1}, {2, 1}});
    SetLtrBank(0, 1);
    SetLtrBank(1, 1);
    for (int g = 0; g < 3; ++g) image().SetByte(WorkTables::LtrGroupCounts + g, 2);
    struct Channel {
        int home;      // home repeater number, from 1
        int power;     // RF power, 0-3
    } const channels[] = {{3, 3}, {2, 2}, {1, 1}};
    for (int n = 0; n < 3; ++n) {
        image().SetByte(kLtrData + 6 * n, 5);  // an LTR receive ID: active in an LTR bank
        image().SetByte(kLtrData + 6 * n + 2, channels[n].home);
        image().SetByte(R(n) + 12, 0x40);     // narrow
        image().SetByte(S(n), 0x80 | channels[n].power);  // power save
    }
    Conventional(2);
    Run(kAfterLoad);
    // Bank 0's home repeater 3 lies past its group of two: the bank keeps the
    // number, and group 1's first repeater keeps its own bits.
    EXPECT_EQ(image().GetByte(kLtrBanks + 7), 3);
    EXPECT_EQ(repeaterBits(2), 0);
    // Bank 1's home repeater, item 3, takes the channel's narrow and power.
    EXPECT_EQ(image().GetByte(kLtrBanks + 8 + 7), 2);
    EXPECT_EQ(image().GetByte(kLtrBanks + 8) & 0x02, 0x02);
    EXPECT_EQ(repeaterBits(3), 0x30);
    // A conventional bank takes its first active channel's values the same
    // way.
    EXPECT_EQ(image().GetByte(kLtrBanks + 16 + 7), 1);
    EXPECT_EQ(image().GetByte(kLtrBanks + 16) & 0x02, 0x02);
    EXPECT_EQ(repeaterBits(4), 0x28);
    EXPECT_EQ(repeaterBits(5), 0);

    // Before output each channel of a trunked bank takes the narrow and power
    // bits of its bank's home repeater, found in the bank's own group only:
    // bank 1's home (item 3) now says wide and power 1; bank 0's home 3 names
    // no repeater, and its channel keeps its own bits rather than those of
    // group 1's first repeater (item 2: wide, power 0).
    image().SetByte(206002 + 10 * 3 + 8, 0x08);
    Run(kBeforeOutput);
    EXPECT_EQ(image().GetByte(R(0) + 12) & 0x40, 0x40);
    EXPECT_EQ(image().GetByte(S(0)) & 0x03, 3);
    EXPECT_EQ(image().GetByte(R(1) + 12) & 0x40, 0);
    EXPECT_EQ(image().GetByte(S(1)) & 0x03, 1);
}

TEST_F(NormaliseFixture, PowerOnChannelGroupIsTheFirstThatQualifies)
{
    // Group types: 1 a channel, 2 a scan list that scans, 3 a bank with an
    // active channel.
    struct Case {
        int type;
        int number;
        bool qualifies;
    } cases[] = {{0, 0, false}, {1, 0, true},  {1, 1, false}, {1, 5, true},  {1, 512, false}, {2, 3, true},
                 {2, 4, false}, {2, 40, false}, {3, 0, true}, {3, 1, false},   {3, 200, false}};
    initial.SetByte(147907, 0xA0);
    for (const Case& c : cases) {
        image().Fill(0);
        Banks({{0, 2}, {1, 1}});
        Conventional(0);
        Put32(image(), R(1), 0x80000000u);  // not in use, inhibited
        Put32(image(), R(2), 0x80000000u);
        image().SetByte(179464 + 34 * 3 + 24, 0x02);  // scan list 3: mode 2
        // Group 2 holds the case; groups 0 and 1 never qualify.
        image().SetByte(325630 + 8, c.type);
        Put16(image(), 325630 + 10, c.number);
        Run(kBeforeOutput);
        EXPECT_EQ(image().GetByte(147907) >> 4, c.qualifies ? 2 : 0xA) << c.type << "/" << c.number;
    }
}

TEST_F(NormaliseFixture, StartPositionsAndValuesSharedWithBanks)
{
    // Bank 0: channel 0 empty, 1 active and inhibited, 2 active. Bank 1 (ZEPH):
    // channel 3 active with power save and a divert target.
    Banks({{0, 3}, {1, 1}});
    SetZephBank(1, 1);
    Conventional(1, true);
    Conventional(2);
    Put16(image(), 302548 + 2 * 2, 9);  // divert target without divert
    TrunkedUnit(3, 5);
    image().SetByte(S(3), 0x80);
    Put16(image(), 302548 + 2 * 3, 7);
    Run(kAfterLoad);
    // A load starts bank 0 where writing it out does: at its first active
    // channel that is not inhibited, although that channel's turn has its
    // bank's record by then.
    EXPECT_EQ(Get16(image(), kStartPositions), 2);
    EXPECT_EQ(Get16(image(), kStartPositions + 2), 0);
    EXPECT_TRUE(image().GetByte(245636 + 10 + 8) & 0x02);  // the ZEPH bank took the power save
    EXPECT_EQ(Get16(image(), 302548 + 4), 0);
    // The bank's record was committed in the channel's place: its target stays.
    EXPECT_EQ(Get16(image(), 302548 + 6), 7);

    // Before output the bank's value goes back into the channel.
    image().SetByte(245636 + 10 + 8, 0x00);
    Run(kBeforeOutput);
    EXPECT_FALSE(image().GetByte(S(3)) & 0x80);
    // What goes out starts bank 0 at its first active channel that is not
    // inhibited.
    EXPECT_EQ(Get16(image(), kStartPositions), 2);
}

TEST_F(NormaliseFixture, ChannelsAreRebuiltOverTheTemplates)
{
    Banks({{0, 3}});
    Conventional(0);
    Put32(image(), R(0) + 4, 156050000);        // a plan frequency
    image().SetByte(S(0) + 16, 0x44);           // a hidden byte
    image().SetByte(R(1) + 12, 0x80);           // a hidden bit
    std::memcpy(image().Data() + R(2) + 14, "SPARE NAME  ", 12);  // an empty slot with a name
    initial.SetByte(R(1) + 12, 0x00);
    initial.SetByte(S(0) + 2, 0x20);  // a template bit of the LMR view
    // Scrambler codes: type 1 always code 1, type 2 at most 15.
    struct Scrambler {
        int type, code, expected;
    } const scramblers[] = {{2, 16, 15}, {2, 15, 15}, {1, 9, 1}};
    for (int n = 0; n < 3; ++n) {
        image().SetByte(S(n) + 18, image().GetByte(S(n) + 18) | scramblers[n].type << 6);
        image().SetByte(S(n) + 5, scramblers[n].code);
    }
    Run(kBeforeOutput);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(image().GetByte(S(n) + 5), scramblers[n].expected) << scramblers[n].type << "/" << scramblers[n].code;
    EXPECT_EQ(image().GetByte(S(0) + 16), 0);
    EXPECT_EQ(image().GetByte(S(0) + 23), 0x44);
    EXPECT_TRUE(image().GetByte(S(0) + 18) & 0x08);
    EXPECT_TRUE(image().GetByte(S(0) + 2) & 0x20);
    EXPECT_FALSE(image().GetByte(R(1) + 12) & 0x80);
    datCh ch(&image());
    EXPECT_EQ(std::string(ch.Unpack(1, 2).Text, 12), "SPARE NAME  ");
    EXPECT_EQ(ch.Unpack(1, 0).RxFreq, 150000000);
}

TEST_F(NormaliseFixture, UnitIdsFromTheSerialNumberGoIntoBothImages)
{
    Banks({{0, 1}});
    Conventional(0);
    image().SetByte(197890, 0xA0);  // global unit ID, automatic
    Put16(image(), 197860, 2);
    struct Case {
        uint32_t serial;
        int unit;
    } cases[] = {{1234567, 24567}, {50000, 30000}};
    for (const Case& c : cases) {
        serial = c.serial;
        cmcEeprom copy = image();  // what a clone write normalises
        PrepareImageForOutput(copy, kBeforeOutput, true);
        EXPECT_EQ(Get16(copy, S(0) + 14), c.unit);
        EXPECT_EQ(Get16(image(), S(0) + 14), c.unit);
        EXPECT_EQ(Get16(copy, 302316 + 44), c.unit);  // the AAR records too
    }
    // Without the automatic mode the fixed number is used.
    image().SetByte(197890, 0x80);
    Put16(image(), 197862, 321);
    Run(kBeforeOutput);
    EXPECT_EQ(Get16(image(), S(0) + 14), 321);
}

TEST_F(NormaliseFixture, CountsListsWindowsAndIndexes)
{
    // Bank counts 300, 300, 10.
    Banks({{0, 300}, {1, 300}, {2, 10}});
    // A tone list of 30 entries.
    Put16(image(), EepromMap::CountToneList, 30);
    // Two-tone code 1 at 1000 and 1030 Hz; code 2 at 1000 and 1041 Hz,
    // whose windows meet at 1020 Hz without overlapping.
    datCh ch(&image());
    ch.Unpack(11, 1);
    ch.TxFreq1 = 1000;
    ch.TxFreq2 = 1030;
    ch.PackCurrent();
    ch.Unpack(11, 2);
    ch.TxFreq1 = 1000;
    ch.TxFreq2 = 1041;
    ch.PackCurrent();
    // Four individual IDs, three multisite IDs of equal number.
    Put16(image(), EepromMap::CountIndKind18, 4);
    for (int i = 0; i < 4; ++i) Put32(image(), 182852 + 16 * i, std::array<uint32_t, 4>{30, 10, 20, 10}[size_t(i)]);
    Put16(image(), EepromMap::CountIndKind32, 3);
    for (int i = 0; i < 3; ++i) {
        Put32(image(), 307616 + 17 * i, 5);
        image().SetByte(307616 + 17 * i + 16, std::array<int, 3>{3, 1, 2}[size_t(i)]);
    }
    initial.SetByte(198418 + 999, 0x77);

    Run(kBeforeOutput);
    EXPECT_EQ(ReadBankChannelCount(image(), 0), 300);
    EXPECT_EQ(ReadBankChannelCount(image(), 1), 0);
    EXPECT_EQ(ReadBankChannelCount(image(), 2), 0);
    for (int i = 0; i < 80; ++i) EXPECT_EQ(ch.Unpack(7, i).ListSel.CToneSel, i >= 30) << i;
    ch.Unpack(11, 1);
    EXPECT_EQ(ch.Freq1Low, 980u);
    EXPECT_EQ(ch.Freq1High, 1015u);
    EXPECT_EQ(ch.Freq2Low, 1015u);
    EXPECT_EQ(ch.Freq2High, 1051u);
    ch.Unpack(11, 2);
    EXPECT_EQ(ch.Freq1Low, 980u);
    EXPECT_EQ(ch.Freq1High, 1020u);
    EXPECT_EQ(ch.Freq2Low, 1020u);
    EXPECT_EQ(ch.Freq2High, 1062u);
    const std::array<int, 4> idOrder = {1, 3, 2, 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Get16(image(), 198418 + 2 * i), idOrder[size_t(i)]);
    EXPECT_EQ(image().GetByte(198418 + 999), 0x77);
    const std::array<int, 3> fleetOrder = {1, 2, 0};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Get16(image(), 323616 + 2 * i), fleetOrder[size_t(i)]);
}

TEST_F(NormaliseFixture, IdentityDefaultsAndVersion)
{
    image().Fill(0);
    Put16(image(), 197864, 0xFFFF);  // above the unit-ID limit
    Put16(image(), 197866, 2001);    // above 2000
    Put16(image(), 197868, 70);
    initial.SetByte(204703, 9);
    Put16(initial, 204704 + 2 * 5, 0x1234);
    Put16(image(), 204704 + 2 * 6, 0x0042);
    initial.SetByte(181183, 0x5C);
    Run(kBeforeOutput);
    EXPECT_EQ(Get16(image(), 0), 0x7143);
    EXPECT_EQ(Get16(image(), 266), 0x7143);
    EXPECT_EQ(image().GetByte(256), 'V');
    EXPECT_EQ(Get16(image(), 197864), 1);
    EXPECT_EQ(Get16(image(), 197866), 2);
    EXPECT_EQ(Get16(image(), 197868), 70);
    EXPECT_EQ(image().GetByte(204703), 9);
    EXPECT_EQ(Get16(image(), 204704 + 10), 0x1234);
    EXPECT_EQ(Get16(image(), 204704 + 12), 0x0042);
    EXPECT_EQ(image().GetByte(181182), 3);
    EXPECT_EQ(image().GetByte(181183), 0x5C);
    EXPECT_EQ(image().GetByte(302522), 1);
    // The image is packed for output.
    EXPECT_EQ(DynamicBase(image()), 512u);
}

TEST_F(NormaliseFixture, KeyFunctionsAndTheCustomerMode)
{
    image().SetByte(kKeyTable1 + 3, 0x61);
    image().SetByte(kKeyTable2 + 4, 0x20);
    image().SetByte(175684, 0xEE);
    image().SetByte(175728, 0x1E);
    image().SetByte(175744, 0x33);
    EXPECT_FALSE(Run(kBeforeOutput).CustomerMode);
    // Bits 1 and 5 (0x61), not 2, 3, 6, 7.
    EXPECT_EQ(image().GetByte(175684) & 0xEE, 0x22);
    EXPECT_TRUE(image().GetByte(175680) & 0x01);
    EXPECT_EQ(image().GetByte(175729), 0x1F);
    EXPECT_EQ(image().GetByte(175745), 0x00);
    image().SetByte(kKeyTable3 + 15, 0x69);
    EXPECT_TRUE(Run(kBeforeOutput).CustomerMode);

    // For a radio the first table's common keys go into the others; an old
    // radio takes function 5 for 4.
    image().SetByte(kKeyTable1 + 7, 0x11);
    image().SetByte(kKeyTable1 + 2, 0x04);
    image().SetByte(175771, 0x20 | 0x40);
    payload[34] = 0x26;
    cmcEeprom copy = image();
    PrepareImageForOutput(copy, kBeforeOutput, true);
    EXPECT_EQ(copy.GetByte(kKeyTable2 + 7), 0x11);
    EXPECT_EQ(copy.GetByte(kKeyTable3 + 7), 0x11);
    EXPECT_EQ(copy.GetByte(kKeyTable1 + 2), 0x05);
}

// Function 100 on a P key of the first table holds that key in the second
// and third tables too: a saved or written image carries it there, read
// back from its packed tables, whatever the other tables held.
TEST_F(NormaliseFixture, KeyBankFunctionOnAPKeyReachesTheOtherTables)
{
    constexpr int kP0 = 2, kP4 = 6;  // P0 to P4 are key positions 2 to 6
    for (bool forRadio : {false, true})
        for (int key = kP0; key <= kP4; ++key) {
            SCOPED_TRACE(testing::Message() << (forRadio ? "written" : "saved") << ", P" << key - kP0);
            for (int k = kP0; k <= kP4; ++k) {
                image().SetByte(kKeyTable1 + k, k == key ? 100 : 0x11);
                image().SetByte(kKeyTable2 + k, 0x22);
                image().SetByte(kKeyTable3 + k, 0x33);
            }
            Run(kBeforeOutput, forRadio);
            cmcEeprom packed = image();
            for (int a = EepromMap::WorkStart; a < EepromMap::WorkEnd; ++a) packed.SetByte(a, 0);
            Dynamic2Static(packed);
            // A key without the function in the first table keeps its own.
            for (int k = kP0; k <= kP4; ++k) {
                EXPECT_EQ(packed.GetByte(kKeyTable2 + k), k == key ? 100 : 0x22) << k;
                EXPECT_EQ(packed.GetByte(kKeyTable3 + k), k == key ? 100 : 0x33) << k;
            }
        }
}

TEST_F(NormaliseFixture, UpgradesOfOlderData)
{
    // Data version 0: MSK tables from the defaults, old emergency keys voted
    // and replaced.
    image().SetByte(181182, 0);
    initial.SetByte(147536, 0x99);
    image().SetByte(kKeyTable1 + 0, 0x1B);  // silent -1, repeat +1
    image().SetByte(kKeyTable2 + 1, 0x25);  // silent +1, repeat +1 (tested before 0x26)
    image().SetByte(kKeyTable3 + 1, 0x26);
    image().SetByte(kKeyTable1 + 5, 0x46);
    image().SetByte(147885, 0x3C);
    UpgradeVersion0Data(image());
    EXPECT_EQ(image().GetByte(147536), 0x99);
    EXPECT_EQ(image().GetByte(kKeyTable1), 0x55);
    EXPECT_EQ(image().GetByte(kKeyTable2 + 1), 0x55);
    EXPECT_EQ(image().GetByte(kKeyTable3 + 1), 0x55);
    EXPECT_EQ(image().GetByte(kKeyTable1 + 5), 0x53);
    EXPECT_FALSE(image().GetByte(175680) & 0x80);  // silent vote 0
    EXPECT_EQ(image().GetByte(181271), 1);         // repeat vote 2
    EXPECT_EQ(image().GetByte(175730), 0x5E);
    EXPECT_EQ(image().GetByte(181269), 0x3C);

    // Version 3 data are not upgraded.
    image().SetByte(181182, 3);
    image().SetByte(147536, 0x11);
    UpgradeVersion0Data(image());
    UpgradeVersion2Data(image());
    EXPECT_EQ(image().GetByte(147536), 0x11);

    image().SetByte(175771, 0x00);
    FixPio23Select(image());
    EXPECT_EQ(image().GetByte(175771), 0x40);
    image().SetByte(175771, 0x80);
    FixPio23Select(image());
    EXPECT_EQ(image().GetByte(175771), 0x80);

    // Priority functions go: modes of the scan lists, keys 7, 8, 9, 0x44.
    image().SetByte(179464 + 26, 0x21);  // TxChMode 2, Prio1Mode 1
    image().SetByte(179464 + 27, 0x10);  // Prio2Mode 1
    image().SetByte(kKeyTable1 + 9, 0x44);
    RemovePriorityFunctions(image());
    EXPECT_EQ(image().GetByte(179464 + 26), 0x03);
    EXPECT_EQ(image().GetByte(179464 + 27), 0x00);
    EXPECT_EQ(image().GetByte(kKeyTable1 + 9), 0);

    image().SetByte(302316 + 12, 0xFF);
    image().SetByte(302316 + 54 + 12, 0x03);
    image().SetByte(302316 + 108 + 12, 0x00);
    FixAarChannelModes(image());
    EXPECT_EQ(image().GetByte(302316 + 12), 0xBC);
    EXPECT_EQ(image().GetByte(302316 + 54 + 12), 0x40);
    EXPECT_EQ(image().GetByte(302316 + 108 + 12), 0x43);

    image().SetByte(kKeyTable2 + 3, 0x63);
    RemoveKeyFunctionC(image());
    EXPECT_EQ(image().GetByte(kKeyTable2 + 3), 0x63);
    ctx().KeyCRemoval = [] { return true; };
    RemoveKeyFunctionC(image());
    EXPECT_EQ(image().GetByte(kKeyTable2 + 3), 0);

    image().SetByte(175683, 0xFF);
    LimitRotarySelect(image());
    EXPECT_EQ(image().GetByte(175683), 0xF7);
}

TEST_F(NormaliseFixture, VoteZoneChannelsLeaveTheScanLists)
{
    // Bank 0: channels 0, 1; bank 1, a vote zone: channels 2, 3.
    Banks({{0, 2}, {1, 2}});
    SetVoteZoneBank(1, 1);
    image().SetByte(146320, 0xF0);        // scan list 0 holds channels 0-3
    image().SetByte(179464 + 24, 0x02);   // ScanMode 2
    image().SetByte(179464 + 26, 0x55);   // TxChMode 5, Prio1Mode 5
    Put16(image(), 179464 + 28, 3);       // transmit channel 3
    Put16(image(), 179464 + 30, 2);       // priority channel 2
    image().SetByte(179464 + 34 + 24, 0x02);  // scan list 1: mode 2, priority channel 0
    image().SetByte(179464 + 34 + 26, 0x05);
    RemoveVoteZoneChannelsFromScanLists(image());
    EXPECT_EQ(image().GetByte(146320), 0xC0);
    datCh scan(&image());
    scan.Unpack(6, 0);
    EXPECT_EQ(scan.ScanMode, 1);
    EXPECT_EQ(scan.ScanTxFlags.TxChMode, 0);
    EXPECT_EQ(scan.Unpack(6, 1).ScanMode, 2);
    // Nothing is a multisite bank here.
    RemoveMultisiteChannelsFromScanLists(image());
    EXPECT_EQ(image().GetByte(146320), 0xC0);
}

TEST_F(NormaliseFixture, TheRingBackSetBitFollowsItsTimerInEveryImageReadOrWritten)
{
    // The set bit (243067 bit 7) disagreeing with the timer (303616) either
    // way in an image that keeps the timer (303614 bit 6 set); an older image
    // takes 5 s when its set bit is on, else the default timer.
    initial.SetByte(303616, 9);
    struct Case {
        int flags;  // 303614
        int timer;
        int options;
        int expected;
        int expectedTimer;
    };
    const Case cases[] = {
        {0x40, 3, 0x40, 0xC0, 3}, {0x40, 0, 0xC1, 0x41, 0}, {0x40, 3, 0x80, 0x80, 3},
        {0x40, 0, 0x00, 0x00, 0}, {0x00, 0, 0x80, 0x80, 5}, {0x00, 0, 0x00, 0x80, 9},
    };
    for (int mode : {kAfterLoad, kBeforeOutput})
        for (const Case& k : cases) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", flags " << k.flags << ", timer " << k.timer
                                            << ", options " << k.options);
            image().SetByte(303614, k.flags);
            image().SetByte(303616, k.timer);
            image().SetByte(243067, k.options);
            Run(mode);
            EXPECT_EQ(image().GetByte(243067), k.expected);
            EXPECT_EQ(image().GetByte(303616), k.expectedTimer);
        }
}

TEST_F(NormaliseFixture, SettingsOutsideTheirRangeTakeTheDefaults)
{
    // The defaults.
    initial.SetByte(302530, 7);
    initial.SetByte(302531, 12);
    Put16(initial, 302534, 50);
    initial.SetByte(302538, 0x1F);
    initial.SetByte(302539, 0x2F);
    for (int k = 0; k < 6; ++k) initial.SetByte(148168 + k, 0xA0 + k);
    initial.SetByte(181276, 'S');
    initial.SetByte(163030, 0x12);
    initial.SetByte(163330 + 15, 0x34);
    initial.SetByte(204832, 4);
    initial.SetByte(204840, 6);
    initial.SetByte(303616, 9);
    // The image: too short noise-squelch times, no GPS delays, no stand-by
    // text, a comment with control characters, an opening text, zero expert
    // bytes, a home site past the last site, an unset ring-back timer.
    image().SetByte(302530, 4);
    image().SetByte(302531, 10);
    image().SetByte(302538, 0x05);
    image().SetByte(302539, 0x06);
    image().SetByte(148168, 0x55);
    image().SetByte(176120, 0x07);
    image().SetByte(176121, 'A');
    image().SetByte(176136 + 15, 0xC3);
    for (int k = 0; k < 48; ++k) image().SetByte(181190 + k, k == 24 + 3 ? 'X' : ' ');
    image().SetByte(197872, 0x02);
    image().SetByte(303639, 0x80);
    image().SetByte(303631, 3);
    image().SetByte(WorkTables::MultisiteSiteCount, 3);
    image().SetByte(163030, 0x99);
    image().SetByte(303614, 0x00);
    Run(kBeforeOutput);
    EXPECT_EQ(image().GetByte(302530), 7);
    EXPECT_EQ(image().GetByte(302531), 10);
    EXPECT_EQ(Get16(image(), 302534), 50);
    EXPECT_EQ(image().GetByte(302538), 0x15);
    EXPECT_EQ(image().GetByte(302539), 0x26);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(image().GetByte(148168 + k), 0xA0 + k) << k;
    EXPECT_EQ(image().GetByte(181276), 'S');
    EXPECT_EQ(image().GetByte(176120), ' ');
    EXPECT_EQ(image().GetByte(176121), 'A');
    EXPECT_EQ(image().GetByte(176136 + 15), ' ');
    EXPECT_FALSE(image().GetByte(175682) & 0x20);  // no text at 181190
    EXPECT_TRUE(image().GetByte(175758) & 0x20);   // a text at 181214
    EXPECT_EQ(image().GetByte(204832), 4);
    EXPECT_EQ(image().GetByte(204840), 6);
    EXPECT_EQ(image().GetByte(197872), 0x0A);
    EXPECT_EQ(image().GetByte(303639) & 0x80, 0);  // the home site is not a site
    EXPECT_EQ(image().GetByte(303631), 0);
    EXPECT_EQ(image().GetByte(163030), 0x12);
    EXPECT_EQ(image().GetByte(163330 + 15), 0x34);
    EXPECT_EQ(image().GetByte(303616), 9);
}
