#include "model/datCh.h"

#include "model/TableAccess.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <cstring>
#include <string>

using modeltest::CurrentImage;
using modeltest::Get16;
using modeltest::MakeImage;
using modeltest::Put16;
using modeltest::Put32;

namespace {

constexpr int R0 = 130944;  // main channel records, 30 bytes
constexpr int S0 = 163346;  // second channel records, 24 bytes

std::string Text(const char* field, int n) { return std::string(field, size_t(n)); }

void SetText(char* field, const char* text, int n)
{
    std::memset(field, ' ', size_t(n));
    std::memcpy(field, text, std::min(std::strlen(text), size_t(n)));
}

} // namespace

TEST(ToneSpec, DecodesAndEncodesBothForms)
{
    struct Case {
        int t0, t1;
        bool on, digital, inverted;
        int analog, code;
    } cases[] = {
        {0x00, 0x12, true, false, false, 0x12, 0},
        {0x80, 0x00, false, false, false, 0, 0},
        {0x61, 0x23, true, true, true, 0, 0x123},
        {0xC0, 0xFF, false, true, false, 0, 0xFF},
        {0x3F, 0x05, true, false, false, 5, 0},  // analog: bits 0 and 5 mean nothing
    };
    for (const auto& c : cases) {
        const ToneSpec t = ToneSpec::Decode(c.t0, c.t1);
        EXPECT_EQ(bool(t.On), c.on) << c.t0;
        EXPECT_EQ(bool(t.Digital), c.digital) << c.t0;
        EXPECT_EQ(bool(t.Inverted), c.inverted) << c.t0;
        EXPECT_EQ(t.AnalogIndex, c.analog) << c.t0;
        EXPECT_EQ(t.DigitalCode, c.code) << c.t0;
        int t0 = c.t0, t1 = 0;
        t.Encode(t0, t1);
        EXPECT_EQ(t1, c.t1) << c.t0;
        EXPECT_EQ(t0, c.digital ? c.t0 : (c.t0 & ~0x21)) << c.t0;
    }
    // The bits other than 7, 6, 5 and 0 keep their values.
    ToneSpec t = ToneSpec::Decode(0x40, 0);
    t.DigitalCode = 0x1FF;
    t.Inverted = 1;
    int t0 = 0x1E, t1 = 0;
    t.Encode(t0, t1);
    EXPECT_EQ(t0, 0x1E | 0x40 | 0x21);
    EXPECT_EQ(t1, 0xFF);
}

TEST(datCh, BcdAddresses)
{
    const uint8_t good[4] = {0x12, 0x34, 0xFF, 0xFF};
    const uint8_t bad[4] = {0x1A, 0x34, 0, 0};
    EXPECT_EQ(BcdToInt(good), 1234);
    EXPECT_EQ(BcdToInt(bad), 65535);
    uint8_t out[4] = {0, 0, 0, 0};
    IntToBcd(981234, out, 4);
    EXPECT_EQ(out[0], 0x12);
    EXPECT_EQ(out[1], 0x34);
    EXPECT_EQ(out[2], 0xFF);
    EXPECT_EQ(out[3], 0xFF);
    uint8_t one[2] = {0, 0x77};
    IntToBcd(7, one, 1);
    EXPECT_EQ(one[0], 0x00);
    EXPECT_EQ(one[1], 0x77) << "the buffer's length bounds the write";
}

TEST(datCh, KindTableAndIndexRanges)
{
    struct Case { int kind, min, max, flag; } cases[] = {
        {0, 0, 0, 0},  {1, 0, 511, 1}, {5, 0, 7, 0},  {8, 1, 8, 0},      {11, 1, 10, 0},
        {16, 0, 22, 0}, {21, 0, 99, 0}, {24, 0, 299, 1}, {27, 0, 3839, 1}, {31, 0, 1439, 1},
        {34, 0, 15, 1}, {35, 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KindTableMin(c.kind), c.min) << c.kind;
        EXPECT_EQ(KindTableMax(c.kind), c.max) << c.kind;
        EXPECT_EQ(KindTableFlag(c.kind), c.flag) << c.kind;
    }
    int flagged = 0;
    for (int k = 0; k < ItemKindCount; ++k) flagged += KindTableFlag(k);
    EXPECT_EQ(flagged, 4 + 2 + 1 + 1 + 8);  // 1-4, 18, 19, 22, 24, 27-34
    EXPECT_EQ(datCh::MaxIndex(35), 100000000);
    EXPECT_EQ(datCh::MinIndex(40), 0);
    EXPECT_EQ(datCh::MaxIndex(13), 127);
}

TEST(datCh, ChannelFrequenciesDropTheInhibitBitAndClamp)
{
    CurrentImage current;
    struct Case { uint32_t stored; int32_t decoded; bool inhibit; } cases[] = {
        {0x80000000u | 146000000u, 146000000, true}, {800000000u, 799999950, false},
        {0xFFFFFFFFu, 799999950, true},              {0, 0, false},
    };
    datCh ch(&current.image);
    for (const auto& c : cases) {
        Put32(current.image, R0 + 30 * 7, c.stored);
        ch.Unpack(2, 7);
        EXPECT_EQ(ch.RxFreq, c.decoded) << c.stored;
        EXPECT_EQ(bool(ch.ChFlagsA.Inh), c.inhibit) << c.stored;
    }
    // An empty channel packs RxFreq 0 as four zero bytes and keeps Inh.
    Put32(current.image, R0 + 30 * 7, 0x80000000u);
    ch.Unpack(1, 7);
    ch.RxFreq = -5;
    ch.PackCurrent();
    EXPECT_EQ(current.image.GetByte(R0 + 210), 0x80);
    for (int k = 1; k < 4; ++k) EXPECT_EQ(current.image.GetByte(R0 + 210 + k), 0);
    ch.RxFreq = 900000000;
    ch.Commit();
    EXPECT_EQ(ch.RxFreq, 799999950);
}

TEST(datCh, ChannelSlot512IsTheNoChannelValue)
{
    CurrentImage current(0xFF);
    datCh ch(&current.image);
    ch.TwoTone = 3;
    ch.Unpack(1, 512);
    EXPECT_TRUE(ch.State.InUse);
    EXPECT_EQ(ch.Kind, 1u);
    EXPECT_EQ(ch.Index, 512);
    EXPECT_EQ(ch.RxFreq, 0);
    EXPECT_EQ(ch.TwoTone, 0u);
    const cmcEeprom before = current.image;
    ch.RxFreq = 146000000;
    ch.Pack(1, 512);
    ch.Pack(2, -1);
    ch.Pack(2, 1 << 30);
    EXPECT_TRUE(current.image.Equals(before));
}

TEST(datCh, LmrChannelWritesThePmrOnlyBytesAsZeroAndTheTwoToneByte)
{
    CurrentImage current(0xFF);
    datCh ch(&current.image);
    const int S = S0 + 24 * 3;
    current.image.SetByte(S + 8, 0x85);
    ch.Unpack(1, 3);
    EXPECT_EQ(ch.TwoTone, 5u);
    EXPECT_EQ(ch.StnC, 1u);
    EXPECT_EQ(ch.ChFlagsE.StnL, 1);
    ch.TwoTone = 0x42;
    ch.PackCurrent();
    EXPECT_EQ(current.image.GetByte(S + 7), 0);
    EXPECT_EQ(current.image.GetByte(S + 9), 0);
    EXPECT_EQ(current.image.GetByte(S + 6), 0x30) << "bits 0-3 and 6-7 cleared, 4-5 kept";
    EXPECT_EQ(current.image.GetByte(S + 8), 0x42);
}

TEST(datCh, ChannelReceiveCodeNumbersPerKind)
{
    CurrentImage current;
    datCh ch(&current.image);
    const int S = S0 + 24 * 2;
    ch.Unpack(1, 2);
    ch.RxCNo = 0x2AB;
    ch.Commit();
    EXPECT_EQ(Get16(current.image, S + 10), (0x2AB << 6) & 0xFFFF);
    EXPECT_EQ(ch.RxCNo, 0x2ABu);
    ch.Unpack(2, 2);
    ch.RxCNo = 0x1C5;
    ch.MskRxCNo = 0x20;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(S + 10), 0x21);
    EXPECT_EQ(current.image.GetByte(S + 11), 0xC5);
    EXPECT_EQ(ch.RxCNo, 0xC5u);
    EXPECT_EQ(ch.MskRxCNo, 0x21u);
}

TEST(datCh, EmergencyDivertIsRefusedInBank127)
{
    CurrentImage current;
    SetBankChannelCount(0, 2);
    SetBankChannelCount(127, 2);
    datCh ch(&current.image);
    for (int n : {1, 2}) {
        ch.Unpack(1, n);
        ch.ChFlagsA.EDivert = 2;
        ch.EDivertTarget = 40;
        ch.Commit();
        const bool bank127 = n == 2;
        EXPECT_EQ(ch.ChFlagsA.EDivert, bank127 ? 0 : 2) << n;
        EXPECT_EQ(ch.EDivertTarget, bank127 ? 0 : 40) << n;
        EXPECT_EQ(Get16(current.image, 302548 + 2 * n), bank127 ? 0 : 40) << n;
    }
    ch.Unpack(1, 2);
    ch.ChFlagsA.EDivert = 1;
    ch.EDivertTarget = 40;
    EXPECT_EQ(ch.Commit().ChFlagsA.EDivert, 1) << "only divert mode 2 is refused";
}

TEST(datCh, BankFactsComeFromTheCurrentImageWhateverImageIsBound)
{
    CurrentImage current;
    SetBankChannelCount(0, 1);
    SetBankChannelCount(1, 1);
    SetLtrBank(1, 1);
    cmcEeprom other = MakeImage();
    datCh ch(&other);
    ch.Unpack(1, 1);
    EXPECT_TRUE(ch.Attr.LtrBank);
    ch.RxFreq = 146000000;
    ch.Commit();
    EXPECT_TRUE(ch.State.InUse);
    EXPECT_FALSE(ch.State.Active) << "an LTR channel is active by its group id";
    ch.GrpRxId = 3;
    EXPECT_TRUE(ch.Commit().State.Active);
    ch.Attr.LtrBank = 0;
    ch.Commit();
    EXPECT_FALSE(IsLtrBank(1)) << "the bank type is written to the current image";
}

TEST(datCh, ChannelActivityByBankType)
{
    CurrentImage current;
    for (int b = 0; b < 4; ++b) SetBankChannelCount(b, 1);
    SetLtrBank(1, 1);
    SetZephBank(2, 1);
    SetMultisiteBank(3, 1);
    datCh ch(&current.image);
    struct Case { int rx, grp, unit; bool active[5]; } cases[] = {
        // active in banks 0 (plain), 1 (LTR), 2 (ZEPH), 3 (multisite), and in no bank (channel 4)
        {146000000, 0, 0, {true, false, false, false, true}},
        {0, 7, 0, {false, true, false, false, false}},
        {0, 0, 9, {false, false, true, true, false}},
        {0, 0, 0, {false, false, false, false, false}},
    };
    for (const auto& c : cases) {
        for (int n = 0; n < 5; ++n) {
            ch.Unpack(1, n);
            ch.RxFreq = c.rx;
            ch.GrpRxId = uint8_t(c.grp);
            ch.ZephUnit = uint32_t(c.unit);
            ch.Commit();
            EXPECT_EQ(bool(ch.State.Active), c.active[n]) << n << " " << c.rx << c.grp << c.unit;
            EXPECT_EQ(bool(ch.State.InUse), c.rx || c.grp || c.unit);
        }
    }
}

TEST(datCh, ChannelReferencesAndPriorityRemoval)
{
    CurrentImage current;
    datCh ch(&current.image);
    Put16(current.image, 146304, 9);   // priority A
    Put16(current.image, 146306, 10);  // priority B
    current.priorityRemoval = false;
    EXPECT_TRUE(ch.Unpack(1, 9).Attr.PrioA);
    EXPECT_TRUE(ch.Unpack(2, 10).Attr.PrioB);
    // Clearing the mark leaves the reference alone.
    ch.Unpack(1, 9).Attr.PrioA = 0;
    ch.Commit();
    EXPECT_EQ(Get16(current.image, 146304), 9);
    EXPECT_TRUE(ch.Attr.PrioA);
    // Setting it on another channel moves the reference.
    ch.Unpack(1, 4).Attr.PrioA = 1;
    ch.Commit();
    EXPECT_EQ(Get16(current.image, 146304), 4);

    current.priorityRemoval = true;
    for (int n : {4, 9, 10}) {
        ch.Unpack(2, n);
        EXPECT_FALSE(ch.Attr.PrioA || ch.Attr.PrioB) << n;
    }

    // RefC and RefD: the reference counts only while the function is on.
    Put16(current.image, 175670, 6);
    Put16(current.image, 148176, 6);
    ch.Unpack(1, 6);
    EXPECT_TRUE(ch.Attr.RefCOff && ch.Attr.RefDOff);
    EXPECT_FALSE(ch.Attr.RefC || ch.Attr.RefD);
    ch.Attr.RefCOff = 0;
    ch.Attr.RefDOff = 0;
    ch.Commit();
    EXPECT_TRUE(ch.Attr.RefC && ch.Attr.RefD);
    EXPECT_EQ(current.image.GetByte(175680), 0x20);
    EXPECT_EQ(current.image.GetByte(148174), 0x01);
    EXPECT_EQ((ch.Attr.Value() >> 8) & 0x10, 0x10) << "RefD is bit 4 of the attribute's high byte";
}

TEST(datCh, ScanMembershipMapsListsToMaskBits)
{
    CurrentImage current;
    datCh ch(&current.image);
    ch.Unpack(1, 13);
    ch.ScanMask = (1u << 16) | 1u;  // scan list 0 and scan list 16
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(146320 + 1), 0x04);
    EXPECT_EQ(current.image.GetByte(146320 + 64 * 16 + 1), 0x04);
    int set = 0;
    for (int at = 146320; at < 146320 + 17 * 64; ++at) set += __builtin_popcount(unsigned(current.image.GetByte(at)));
    EXPECT_EQ(set, 2);
    EXPECT_EQ(ch.ScanMask, (1u << 16) | 1u);
}

TEST(datCh, TextPresentBitsFollowTheText)
{
    CurrentImage current;
    datCh ch(&current.image);
    struct Case {
        int kind, index;
        char* text;
        int length;
        int at, bit;
    } cases[] = {
        {1, 0, ch.Text, 12, R0 + 12, 5},
        {8, 1, ch.LongText, 24, 180786 + 36 + 31, 2},
        {9, 1, ch.Text, 12, 180338 + 14 + 13, 5},
        {14, 1, ch.Text, 12, 181308 + 34 + 29, 2},
        {15, 1, ch.Text, 12, 181588 + 14 + 13, 5},
        {23, 1, ch.LongText, 24, 234674 + 46 + 39, 2},
    };
    for (const auto& c : cases) {
        ch.Unpack(c.kind, c.index);
        SetText(c.text, "NAME", c.length);
        ch.Commit();
        EXPECT_TRUE((current.image.GetByte(c.at) >> c.bit) & 1) << c.kind;
        SetText(c.text, "", c.length);
        ch.Commit();
        EXPECT_FALSE((current.image.GetByte(c.at) >> c.bit) & 1) << c.kind;
    }
}

TEST(datCh, ScanListPriorityModesWithPriorityRemoval)
{
    CurrentImage current;
    datCh ch(&current.image);
    const int X = 179464 + 34 * 2;
    struct Case { int stored; int removed; } cases[] = {{0, 0}, {1, 3}, {2, 3}, {3, 3}, {4, 4}};
    for (const auto& c : cases) {
        current.image.SetByte(X + 26, 0xA0 | c.stored);
        current.priorityRemoval = true;
        EXPECT_EQ(ch.Unpack(6, 2).ScanPrioModes.Prio1Mode, c.removed);
        EXPECT_EQ(ch.ScanTxFlags.TxChMode, 0xA);
        current.priorityRemoval = false;
        EXPECT_EQ(ch.Unpack(6, 2).ScanPrioModes.Prio1Mode, c.stored);
    }
}

TEST(datCh, SelectBitsOfTheToneAndNacLists)
{
    CurrentImage current;
    datCh ch(&current.image);
    struct Case { int kind, index, at, mask; } cases[] = {
        {7, 0, 175760, 0x80},  {7, 39, 175764, 0x01}, {7, 40, 175785, 0x80}, {7, 79, 175789, 0x01},
        {20, 0, 175765, 0x80}, {20, 39, 175769, 0x01}, {20, 40, 175641, 0x80}, {20, 63, 175643, 0x01},
        {20, 64, 175652, 0x80}, {20, 79, 175653, 0x01},
    };
    for (const auto& c : cases) {
        const cmcEeprom before = current.image;
        ch.Unpack(c.kind, c.index);
        ch.ListSel.CToneSel = 1;
        ch.NacSel = 1;
        ch.Commit();
        EXPECT_TRUE(c.kind == 7 ? ch.ListSel.CToneSel : ch.NacSel) << c.kind << "/" << c.index;
        EXPECT_EQ(current.image.GetByte(c.at), before.GetByte(c.at) | c.mask) << c.kind << "/" << c.index;
    }
}

TEST(datCh, TwoToneCodes)
{
    CurrentImage current;
    datCh ch(&current.image);
    // Index 0 has only the decode record.
    cmcEeprom before = current.image;
    ch.Unpack(11, 0);
    SetText(ch.LongText, "GROUP", 24);
    ch.TxFreq1 = 1000;
    ch.CodeType = 1;
    ch.TtAns = 1;
    ch.Commit();
    for (int at = 130944; at < 325696; ++at)
        if (at < 180786 || at >= 180786 + 36) {
            ASSERT_EQ(current.image.GetByte(at), before.GetByte(at)) << at;
        }
    EXPECT_EQ(current.image.GetByte(180786 + 29), 0xFF);

    ch.Unpack(11, 4);
    SetText(ch.LongText, "FIRE BRIGADE NORTH", 24);
    ch.TxFreq1 = 1500.9;
    ch.TxFreq2 = -1.0e300;
    ch.Period1 = 12.7;
    ch.CodeType = 1;
    ch.Commit();
    EXPECT_EQ(Get16(current.image, 147404 + 16), 1500);
    EXPECT_EQ(Get16(current.image, 147404 + 18), 0) << "a real that fits no integer writes 0";
    EXPECT_EQ(current.image.GetByte(177418 + 8), 12);
    EXPECT_EQ(current.image.GetByte(180324 + 56 + 12), 0x33);
    EXPECT_EQ(Text(ch.Text, 12), "FIRE BRIGADE");
    EXPECT_EQ(ch.TxFreq1, 1500.0);
    EXPECT_TRUE(ch.CodeType);
    ch.CodeType = 0;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(180324 + 56 + 12), 0x0F);
    EXPECT_FALSE(ch.CodeType);
}

TEST(datCh, CallListAddressesAreBcd)
{
    CurrentImage current;
    datCh ch(&current.image);
    ch.Unpack(15, 3).CallListAdr = 1234;
    ch.Commit();
    const int at = 147536 + 12;
    EXPECT_EQ(current.image.GetByte(at), 0x12);
    EXPECT_EQ(current.image.GetByte(at + 1), 0x34);
    EXPECT_EQ(current.image.GetByte(at + 2), 0xFF);
    EXPECT_EQ(current.image.GetByte(at + 3), 0xFF);
    current.image.SetByte(at + 1, 0x3C);
    EXPECT_EQ(ch.Reload().CallListAdr, 65535u);
}

TEST(datCh, DigitalStatusEntries223And224LiveInTheirOwnTables)
{
    CurrentImage current;
    datCh ch(&current.image);
    struct Case { int index; int v, u; } cases[] = {{223, 204630, 204598}, {224, 204646, 204614}, {99, 202998 + 1584, 201398 + 1584}};
    for (const auto& c : cases) {
        ch.Unpack(21, c.index);
        SetText(ch.Text, "RX", 12);
        SetText(ch.Text2, "TX", 12);
        ch.DStatusSelection = 1;
        ch.Commit();
        EXPECT_EQ(current.image.GetByte(c.v), 'R') << c.index;
        EXPECT_EQ(current.image.GetByte(c.u), 'T') << c.index;
        EXPECT_EQ(current.image.GetByte(c.u + 12), 0x02) << c.index;
    }
    const cmcEeprom before = current.image;
    for (int index : {100, 150, 222, 225, -1}) {
        ch.Unpack(21, index);
        EXPECT_EQ(Text(ch.Text, 2), std::string(2, '\0')) << index;
        SetText(ch.Text, "XX", 12);
        ch.Commit();
    }
    EXPECT_TRUE(current.image.Equals(before)) << "indexes between the two ranges have no place";
}

TEST(datCh, LtrRepeaterHomeFollowsTheOpenGroup)
{
    CurrentImage current;
    SetGroupItemCount(0, 4, 22);
    SetGroupItemCount(1, 0, 22);
    SetGroupItemCount(2, 5, 22);
    current.listRow = 2;
    const int H = 204978 + 8 * 2;
    datCh ch(&current.image);
    ch.Unpack(22, 6);  // position 3 of group 2
    EXPECT_FALSE(ch.Attr.HomeRpt);
    ch.Attr.HomeRpt = 1;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(H + 7), 3);
    EXPECT_TRUE(ch.Attr.HomeRpt);
    EXPECT_EQ(ch.LtrHomeRpt, 3);
    EXPECT_FALSE(ch.Unpack(22, 7).Attr.HomeRpt);
    // With another group open, the same item is compared with that group's home.
    current.listRow = 0;
    EXPECT_FALSE(ch.Unpack(22, 6).Attr.HomeRpt);
    current.listRow = 2;
    ch.Unpack(22, 6).Attr.ClearHome = 1;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(H + 7), 0);
    EXPECT_FALSE(ch.Attr.HomeRpt);

    // The list is stored back to back: the slot just past its total is still a
    // record (an insert moves the last item there before the group's count grows).
    ch.Unpack(22, 9).RptRxFreq = 451000000;
    ch.Commit();
    EXPECT_EQ(ch.RptRxFreq, 451000000);
    EXPECT_EQ(Get16(current.image, 206002 + 90) << 16 | Get16(current.image, 206002 + 92), 451000000);

    SetLtrBank(2, 1);
    current.image.SetByte(H, 0x80);
    ch.Unpack(22, 6);
    EXPECT_TRUE(ch.LtrBankFlags.Ltr);
    EXPECT_TRUE(ch.LtrBankFlags.L1);
    EXPECT_FALSE(ch.State.InUse) << "a repeater without a receive frequency is not in use";
}

TEST(datCh, ZephRepeaterHomes)
{
    CurrentImage current;
    SetGroupItemCount(0, 2, 27);
    SetGroupItemCount(1, 6, 27);
    current.listRow = 1;
    const int Z = 245636 + 10;
    datCh ch(&current.image);
    // Item 4 is position 3 of group 1: first home.
    ch.Unpack(27, 4).Attr.HomeRpt = 1;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(Z + 6), 3);
    // The first home made second home as well: it becomes the second and the first is cleared.
    ch.Attr.HomeRpt2 = 1;
    ASSERT_TRUE(ch.Attr.HomeRpt);
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(Z + 6), 0);
    EXPECT_EQ(current.image.GetByte(Z + 7), 3);
    EXPECT_TRUE(ch.Attr.HomeRpt2);
    EXPECT_FALSE(ch.Attr.HomeRpt);
    // Another item made first home keeps the second.
    ch.Unpack(27, 6).Attr.HomeRpt = 1;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(Z + 6), 5);
    EXPECT_EQ(current.image.GetByte(Z + 7), 3);
    ch.Attr.ClearHome = 1;
    ch.Attr.ClearHome2 = 1;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(Z + 6), 0);
    EXPECT_EQ(current.image.GetByte(Z + 7), 0);

    const cmcEeprom before = current.image;
    current.listRow = 128;
    ch.Unpack(27, 4);
    ch.RptRxFreq = 450000000;
    ch.Commit();
    current.listRow = -1;
    ch.Unpack(22, 4).RptRxFreq = 450000000;
    ch.Commit();
    EXPECT_TRUE(current.image.Equals(before)) << "no group open: no item";
}

TEST(datCh, MultisiteRepeatersUseFixedBlocksOfThirty)
{
    CurrentImage current;
    SetGroupItemCount(0, 2, 31);
    SetGroupItemCount(1, 0, 31);
    SetGroupItemCount(2, 3, 31);
    datCh ch(&current.image);
    // Item 3 is record 1 of site 2.
    ch.Unpack(31, 3).RptRxFreq = 450012500;
    ch.Attr.SiteHome1 = 1;
    ch.Commit();
    EXPECT_EQ(Get16(current.image, 148246 + 600 + 10) << 16 | Get16(current.image, 148246 + 612), 450012500);
    const int P = 162646 + 16;
    EXPECT_EQ(current.image.GetByte(P + 4), 2);
    ch.Attr.SiteHome1 = 0;
    ch.Attr.SiteHome2 = 1;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(P + 4), 0);
    EXPECT_EQ(current.image.GetByte(P + 5), 2);
    EXPECT_EQ(ch.SiteHome2, 2);
    ch.Attr.ClearHome = 1;
    ch.Commit();
    EXPECT_EQ(current.image.GetByte(P + 5), 0);

    // Indexes outside every group, and positions past a site's 30 records, are no items.
    SetGroupItemCount(47, 40, 31);
    const cmcEeprom counted = current.image;
    for (int index : {-1, 5 + 30, 5 + 39, 5 + 40, 100000}) {
        ch.Unpack(31, index);
        EXPECT_EQ(ch.RptRxFreq, 0) << index;
        ch.RptRxFreq = 450000000;
        ch.Attr.SiteHome1 = 1;
        ch.Commit();
    }
    EXPECT_TRUE(current.image.Equals(counted));
}

TEST(datCh, BankRecordsCarryTheirTypesAndTables)
{
    CurrentImage current;
    datCh ch(&current.image);
    ch.Unpack(13, 100);
    SetText(ch.Text, "DISPATCH", 12);
    ch.LtrBankFlags.Ltr = 1;
    ch.MsFlags.Multisite = 1;
    ch.LtrDecPriTg = 2;
    ch.ZephMode = 1;
    ch.VoteZoneFlags.ScrmType = 3;
    ch.LtrRxBroadcast = 0x1234;
    ch.Commit();
    EXPECT_TRUE(IsLtrBank(100));
    EXPECT_TRUE(IsMultisiteBank(100));
    EXPECT_FALSE(IsZephBank(100));
    EXPECT_EQ(Text(ch.Text, 12), "DISPATCH    ");
    EXPECT_EQ(current.image.GetByte(204978 + 800 + 1), 0x80) << "LtrDecPriTg bit 1";
    EXPECT_EQ(current.image.GetByte(245636 + 1000 + 8), 0x20) << "ZephMode bit 0";
    EXPECT_EQ(current.image.GetByte(242426 + 400), 0x30);
    EXPECT_EQ(Get16(current.image, 303776 + 600), 0x1234);
    EXPECT_EQ(ch.LtrDecPriTg, 2);
    EXPECT_EQ(ch.ZephMode, 1);
}

TEST(datCh, ShortImagesHoldNoItems)
{
    CurrentImage current;
    cmcEeprom small;
    small.Resize(1000);
    small.Fill(0x55);
    datCh ch(&small);
    for (int kind = 0; kind < 36; ++kind) {
        ch.Unpack(kind, 0);
        EXPECT_EQ(ch.RxFreq, 0);
        EXPECT_EQ(ch.Text[0], 0);
        ch.Pack(kind, 0);
    }
    for (int at = 0; at < 1000; ++at) ASSERT_EQ(small.GetByte(at), 0x55);
    datCh unbound;
    unbound.Unpack(1, 0).RxFreq = 5;
    unbound.PackCurrent();
    EXPECT_TRUE(unbound.State.InUse);
}

TEST(datCh, ClearKeepsTheImageAndSetsInUse)
{
    CurrentImage current;
    datCh ch(&current.image);
    ch.Unpack(18, 2).IndId = 77;
    ch.Clear();
    EXPECT_EQ(ch.Image, &current.image);
    EXPECT_EQ(ch.IndId, 0u);
    EXPECT_EQ(ch.State.Value(), 1);
    datCh copy = ch;
    EXPECT_EQ(copy.Image, &current.image);
}

TEST(datCh, CodeSettingIsReadButNeverWritten)
{
    CurrentImage current;
    current.image.SetByte(175675, 0x5A);
    datCh ch(&current.image);
    for (int kind : {8, 9}) {
        EXPECT_EQ(ch.Unpack(kind, 1).CodeSetting, 0x5Au) << kind;
        ch.CodeSetting = 3;
        ch.Commit();
        EXPECT_EQ(current.image.GetByte(175675), 0x5A) << kind;
    }
}
