#include "model/TableAccess.h"

#include "model/ImageBytes.h"
#include "model/datCh.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <vector>

using modeltest::CurrentImage;
using modeltest::Get16;
using modeltest::Put16;

namespace {

void SetBankCounts(const std::vector<int>& counts)
{
    for (int b = 0; b < WorkTables::Banks; ++b) SetBankChannelCount(b, b < int(counts.size()) ? counts[b] : 0);
}

void SetGroupCounts(int kind, const std::vector<int>& counts)
{
    for (int g = 0; g < 128; ++g) SetGroupItemCount(g, g < int(counts.size()) ? counts[g] : 0, kind);
}

} // namespace

TEST(TableAccess, BankRangesFollowTheRunningSums)
{
    CurrentImage current;
    SetBankCounts({3, 0, 5});
    EXPECT_EQ(Get16(current.image, WorkTables::BankCounts + 4), 5);
    EXPECT_EQ(datCh::BankOfChannel(3), 2);
    EXPECT_EQ(datCh::BankOfChannel(2), 0);
    EXPECT_EQ(datCh::BankOfChannel(8), 128);
    EXPECT_EQ(datCh::BankOfChannel(-1), 128);
    EXPECT_EQ(BankFirstChannel(2), 3);
    EXPECT_EQ(BankFirstChannel(200), 8) << "past the last bank: every count";
    EXPECT_EQ(BankLastChannel(1), 2);
    EXPECT_EQ(BankLastChannel(0), 2);
    EXPECT_EQ(BankLastChannel(127), 7);
    EXPECT_EQ(BankOfChannelNumber(4), 2);
    EXPECT_EQ(BankOfChannelNumber(3), 0);
    EXPECT_EQ(BankOfChannelNumber(9), 0);
    EXPECT_EQ(UsedChannelCount(), 8);
    EXPECT_EQ(UsedChannelCountInImage(current.image), 8);
    EXPECT_EQ(BankFirstChannelInImage(current.image, 3), 8);

    SetBankChannelCount(127, 4);
    EXPECT_EQ(Get16(current.image, 176044), 4) << "bank 127's count";
    EXPECT_EQ(BankLastChannel(127), 11);
    EXPECT_EQ(datCh::BankOfChannel(10), 127);
    EXPECT_EQ(SetBankChannelCount(5, 0x12345), 0x2345);

    // The bank of a channel follows a count changed after it was asked, and
    // another image with other counts answers for its own.
    SetBankCounts({3, 0, 5});
    EXPECT_EQ(datCh::BankOfChannel(3), 2);
    SetBankChannelCount(1, 1);
    EXPECT_EQ(datCh::BankOfChannel(3), 1);
    cmcEeprom other(current.image);
    ImageBytes(&other).SetU16(WorkTables::BankCounts, 9);
    EXPECT_EQ(BankOfChannelInImage(other, 3), 0);
    EXPECT_EQ(BankOfChannelInImage(current.image, 3), 1);
    EXPECT_EQ(BankOfChannelInImage(current.image, 9), 128);
}

TEST(TableAccess, BankIndexesOutsideTheBanksReadZeroAndWriteNothing)
{
    CurrentImage current;
    const cmcEeprom before = current.image;
    EXPECT_EQ(SetBankChannelCount(128, 9), 0);
    EXPECT_EQ(SetBankChannelCount(-1, 9), 0);
    EXPECT_FALSE(SetLtrBank(200, 1));
    EXPECT_FALSE(SetMultisiteBank(-8, 1));
    EXPECT_TRUE(current.image.Equals(before));
    EXPECT_EQ(BankChannelCount(128), 0);
    EXPECT_FALSE(IsLtrBank(128));
    EXPECT_EQ(BankActiveChannelCount(128), 0);
    EXPECT_EQ(BankLastUsedPosition(-1), 0);
}

TEST(TableAccess, BankTypeBitsLiveInTheirArrays)
{
    CurrentImage current;
    struct Case {
        bool (*set)(int, int);
        bool (*get)(int);
        int base;
    } cases[] = {
        {SetSmarTrunkBank, IsSmarTrunkBank, 175654}, {SetLtrBank, IsLtrBank, 176046},
        {SetVoteZoneBank, IsVoteZoneBank, 176072},   {SetZephBank, IsZephBank, 176088},
        {SetMultisiteBank, IsMultisiteBank, 303572},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.set(9, 5)) << c.base;
        EXPECT_EQ(current.image.GetByte(c.base + 1), 0x40) << c.base;
        EXPECT_TRUE(c.get(9));
        EXPECT_FALSE(c.get(8));
        EXPECT_TRUE(c.set(127, 1));
        EXPECT_EQ(current.image.GetByte(c.base + 15), 0x01);
        EXPECT_FALSE(c.set(9, 0));
        EXPECT_EQ(current.image.GetByte(c.base + 1), 0x00);
    }
}

TEST(TableAccess, BankListsAndBankGroups)
{
    CurrentImage current;
    // Banks 1 (vote zone), 4 (SmarTrunk), 6 and 127 hold channels; 2 is an empty vote zone.
    std::vector<int> counts(128, 0);
    counts[1] = 2;
    counts[4] = 1;
    counts[6] = 3;
    counts[127] = 1;
    SetBankCounts(counts);
    SetVoteZoneBank(1, 1);
    SetVoteZoneBank(2, 1);
    SetSmarTrunkBank(4, 1);

    EXPECT_EQ(NonEmptyBankCount(), 4);
    EXPECT_EQ(NthNonEmptyBank(3), 127);
    EXPECT_EQ(NthNonEmptyBank(4), 128);
    EXPECT_EQ(NthNonEmptyBank(-1), 128);
    EXPECT_EQ(UsedBankCount(), 3) << "bank 127 never counts";
    EXPECT_EQ(NthUsedBank(2), 6);
    EXPECT_EQ(NthUsedBank(3), 128);
    EXPECT_EQ(NonVoteBankCount(), 3);
    EXPECT_EQ(NthNonVoteBank(0), 4);

    EXPECT_EQ(CountBanksOfGroup(1), 2);
    EXPECT_EQ(NthBankOfGroup(0, 1), 1);
    EXPECT_EQ(NthBankOfGroup(1, 7), 4) << "any non-zero group is group 1";
    EXPECT_EQ(NthBankOfGroup(2, 1), 128) << "no third bank in group 1";
    EXPECT_EQ(CountBanksOfGroup(0), 2);
    EXPECT_EQ(NthBankOfGroup(1, 0), 127);

    SetBankCounts({});
    EXPECT_EQ(CountBanksOfGroup(0), 1) << "an empty group still counts one";
    EXPECT_EQ(CountBanksOfGroup(1), 1);
    EXPECT_EQ(NthBankOfGroup(0, 0), 128);
}

TEST(TableAccess, ActiveChannelsAndLastUsedPositionFollowTheBankType)
{
    CurrentImage current;
    SetBankCounts({4, 3});
    SetLtrBank(1, 1);
    datCh ch(&current.image);
    // Bank 0: channels 0-3, in use: 1 (frequency) and 2 (group id only).
    ch.Unpack(1, 1).RxFreq = 146000000;
    ch.Commit();
    ch.Unpack(1, 2).GrpRxId = 5;
    ch.Commit();
    // Bank 1 (LTR): channels 4-6; 4 has a frequency, 5 a group id.
    ch.Unpack(1, 4).RxFreq = 146000000;
    ch.Commit();
    ch.Unpack(1, 5).GrpRxId = 9;
    ch.Commit();

    EXPECT_EQ(BankActiveChannelCount(0), 1);
    EXPECT_EQ(BankActiveChannelCount(1), 1);
    EXPECT_EQ(ActiveChannelCount(), 2);
    EXPECT_EQ(BankLastUsedPosition(0), 3);
    EXPECT_EQ(BankLastUsedPosition(1), 2);
    EXPECT_EQ(BankLastUsedPosition(2), 0);

    // A damaged count runs past the last channel slot: the slots past it never count.
    SetBankCounts({0, 0, 0xFFFF});
    EXPECT_EQ(BankLastUsedPosition(2), 6);
    EXPECT_EQ(BankActiveChannelCount(2), 2);
}

TEST(TableAccess, GroupedListsFollowTheirCounts)
{
    CurrentImage current;
    SetGroupCounts(22, {2, 0, 3});
    EXPECT_EQ(current.image.GetByte(WorkTables::LtrGroupCounts + 2), 3);
    struct Case { int item, group, position; } cases[] = {
        {0, 0, 0}, {1, 0, 1}, {2, 2, 0}, {4, 2, 2}, {5, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GroupOfItem(c.item, 22), c.group) << c.item;
        EXPECT_EQ(ItemPositionInGroup(c.item, 22), c.position) << c.item;
    }
    EXPECT_EQ(GroupFirstItem(2, 22), 2);
    EXPECT_EQ(GroupLastItem(1, 22), 1);
    EXPECT_EQ(GroupLastItem(2, 22), 4);
    EXPECT_EQ(ListItemTotal(22), 5);
    EXPECT_EQ(ListItemTotal(27), 0);
    EXPECT_EQ(ListItemTotal(18), 0);
    EXPECT_EQ(CountGroupItems(2, 99, 22), 3);
    EXPECT_EQ(ItemsPerGroup(22), 20);
    EXPECT_EQ(ItemsPerGroup(27), 30);
    EXPECT_EQ(ItemsPerGroup(31), 30);
    EXPECT_EQ(ItemsPerGroup(13), 0);

    // Kind 31 has 48 groups: the site count right after them is no group count.
    for (int g = 0; g < 48; ++g) SetGroupItemCount(g, 1, 31);
    current.image.SetByte(WorkTables::MultisiteSiteCount, 40);
    EXPECT_EQ(ListItemTotal(31), 48);
    EXPECT_EQ(GroupFirstItem(60, 31), 48) << "the sum stops at the first invalid group";
    EXPECT_EQ(SetGroupItemCount(48, 9, 31), 0);
    EXPECT_EQ(current.image.GetByte(WorkTables::MultisiteSiteCount), 40);

    const cmcEeprom before = current.image;
    EXPECT_EQ(SetGroupItemCount(3, 7, 13), 0) << "not a grouped list";
    EXPECT_EQ(SetGroupItemCount(128, 7, 27), 0);
    EXPECT_TRUE(current.image.Equals(before));
    struct Valid { int g, kind; bool valid; } valid[] = {
        {47, 31, true}, {48, 31, false}, {127, 22, true}, {128, 27, false}, {-1, 22, false}, {100, 5, true},
    };
    for (const auto& v : valid) EXPECT_EQ(IsValidGroup(v.g, v.kind), v.valid) << v.g << "/" << v.kind;
    EXPECT_EQ(ReadGroupItemCount(current.image, 2, 22), 3);
}

TEST(TableAccess, ListCountersStayWithinTheirLists)
{
    CurrentImage current;
    struct Counter {
        const char* name;
        int at;
        int max;
        std::function<int()> read;
        std::function<void(int)> set;
        std::function<void(cmcEeprom&, int)> write;
        std::function<void()> inc, dec;
    };
    auto ind = [](int kind, int at) {
        return Counter{"ind", at, 500, [=] { return IndListCount(kind); }, [=](int n) { SetIndListCount(n, kind); },
                       [=](cmcEeprom& i, int n) { WriteIndListCount(i, n, kind); }, [=] { IncIndListCount(kind); },
                       [=] { DecIndListCount(kind); }};
    };
    auto tg = [](int kind, int at) {
        return Counter{"tg", at, 500, [=] { return TgListCount(kind); }, [=](int n) { SetTgListCount(n, kind); },
                       [=](cmcEeprom& i, int n) { WriteTgListCount(i, n, kind); }, [=] { IncTgListCount(kind); },
                       [=] { DecTgListCount(kind); }};
    };
    std::vector<Counter> counters = {
        {"tone", 328542, 80, CToneListCount, SetCToneListCount, WriteCToneListCount, IncCToneListCount, DecCToneListCount},
        {"nac", 328544, 80, NacChListCount, SetNacChListCount, WriteNacChListCount, IncNacChListCount, DecNacChListCount},
        ind(18, 328534), ind(28, 328538), ind(32, 328546), tg(19, 328536), tg(29, 328540), tg(33, 328548),
    };
    for (auto& c : counters) {
        c.set(7);
        EXPECT_EQ(Get16(current.image, c.at), 7) << c.name << c.at;
        c.inc();
        EXPECT_EQ(c.read(), 8) << c.name << c.at;
        c.set(0);
        c.dec();
        EXPECT_EQ(c.read(), 0) << c.name << c.at << ": no wrap below 0";
        c.set(c.max);
        c.inc();
        EXPECT_EQ(c.read(), c.max) << c.name << c.at << ": no growth past the list";
        c.write(current.image, c.max + 100);
        EXPECT_EQ(c.read(), c.max) << c.name << c.at;
        c.write(current.image, -3);
        EXPECT_EQ(c.read(), 0) << c.name << c.at;
        c.write(current.image, 3);
    }
    EXPECT_EQ(ReadCToneListCount(current.image), 3);
    EXPECT_EQ(ReadNacChListCount(current.image), 3);

    const cmcEeprom before = current.image;
    EXPECT_EQ(IndListCount(19), 0) << "a talk-group kind has no individual-ID counter";
    SetIndListCount(9, 19);
    IncTgListCount(18);
    WriteTgListCount(current.image, 9, 7);
    EXPECT_TRUE(current.image.Equals(before));
}

namespace {

int SiteRecordByte(int site, int record) { return WorkTables::MultisiteRepeaters + 300 * site + 10 * record; }

// Marks site s: every record byte and the item count carry s + 1.
void MarkSite(cmcEeprom& image, int s)
{
    for (int k = 0; k < 300; ++k) image.SetByte(SiteRecordByte(s, 0) + k, s + 1);
    image.SetByte(WorkTables::MultisiteGroupCounts + s, s + 1);
}

int SiteMark(const cmcEeprom& image, int s)
{
    const int mark = image.GetByte(WorkTables::MultisiteGroupCounts + s);
    for (int k = 0; k < 300; ++k)
        if (image.GetByte(SiteRecordByte(s, 0) + k) != mark) return -1;
    return mark;
}

} // namespace

TEST(TableAccess, SiteCountStopsAtZeroAnd48)
{
    CurrentImage current;
    EXPECT_EQ(DecMultisiteSiteCount(), 0);
    EXPECT_EQ(MultisiteSiteCount(), 0);
    current.image.SetByte(WorkTables::MultisiteSiteCount, 47);
    EXPECT_EQ(IncMultisiteSiteCount(), 1);
    EXPECT_EQ(IncMultisiteSiteCount(), 0);
    EXPECT_EQ(MultisiteSiteCount(), 48);
    EXPECT_EQ(DecMultisiteSiteCount(), 1);
    EXPECT_EQ(MultisiteSiteCount(), 47);
}

TEST(TableAccess, InsertingASiteOpensAClearedSite)
{
    struct Case { int sites, at; } cases[] = {{3, 1}, {47, 10}, {47, 46}, {5, 5}, {0, 0}};
    for (const auto& c : cases) {
        CurrentImage current;
        for (int s = 0; s < 48; ++s) MarkSite(current.image, s);
        current.image.SetByte(WorkTables::MultisiteSiteCount, c.sites);
        InsertMultisiteSite(c.at);
        for (int s = 0; s < c.at; ++s) EXPECT_EQ(SiteMark(current.image, s), s + 1) << c.sites << "/" << c.at;
        EXPECT_EQ(SiteMark(current.image, c.at), 0) << c.sites << "/" << c.at << ": the new site is empty";
        for (int s = c.at + 1; s <= c.sites; ++s) EXPECT_EQ(SiteMark(current.image, s), s) << c.sites << "/" << c.at;
        EXPECT_EQ(MultisiteSiteCount(), c.sites) << "the caller changes the site count";
        EXPECT_EQ(current.image.GetByte(162646), 0) << "nothing spills into the site records";
    }
}

TEST(TableAccess, InsertingASiteIntoAFullListChangesNothing)
{
    CurrentImage current;
    for (int s = 0; s < 48; ++s) MarkSite(current.image, s);
    current.image.SetByte(WorkTables::MultisiteSiteCount, 48);
    const cmcEeprom before = current.image;
    InsertMultisiteSite(3);
    InsertMultisiteSite(-1);
    current.image.SetByte(WorkTables::MultisiteSiteCount, 200);
    InsertMultisiteSite(3);
    current.image.SetByte(WorkTables::MultisiteSiteCount, 48);
    EXPECT_TRUE(current.image.Equals(before));
}

TEST(TableAccess, DeletingASiteMovesTheLaterSitesDown)
{
    struct Case { int sites, at; } cases[] = {{5, 1}, {48, 46}, {48, 47}, {200, 40}};
    for (const auto& c : cases) {
        CurrentImage current;
        for (int s = 0; s < 48; ++s) MarkSite(current.image, s);
        current.image.SetByte(WorkTables::MultisiteSiteCount, c.sites);
        EXPECT_EQ(DeleteMultisiteSite(c.at), c.sites);
        const int used = std::min(c.sites, 48);
        for (int s = 0; s < c.at; ++s) EXPECT_EQ(SiteMark(current.image, s), s + 1);
        for (int s = c.at; s < used - 1; ++s) EXPECT_EQ(SiteMark(current.image, s), s + 2) << c.sites << "/" << c.at;
        EXPECT_EQ(SiteMark(current.image, used - 1), used == 48 ? 0 : used + 1) << c.sites << "/" << c.at;
        EXPECT_EQ(current.image.GetByte(162646), 0);
    }
}

TEST(TableAccess, WithoutACurrentImageEverythingReadsZero)
{
    ScopedModelContext none{ModelContext{}};
    EXPECT_EQ(BankChannelCount(0), 0);
    EXPECT_EQ(SetBankChannelCount(0, 4), 0);
    EXPECT_FALSE(SetLtrBank(0, 1));
    EXPECT_EQ(UsedChannelCount(), 0);
    EXPECT_EQ(ActiveChannelCount(), 0);
    EXPECT_EQ(NthNonEmptyBank(0), 128);
    EXPECT_EQ(SetGroupItemCount(0, 3, 22), 0);
    EXPECT_EQ(CToneListCount(), 0);
    IncCToneListCount();
    EXPECT_EQ(IncMultisiteSiteCount(), 0);
    InsertMultisiteSite(0);
    EXPECT_EQ(CurrentListRow(), 0);
}

TEST(TableAccess, CurrentListRowAsksTheOpenSheet)
{
    CurrentImage current;
    current.listRow = 17;
    EXPECT_EQ(CurrentListRow(), 17);
}
