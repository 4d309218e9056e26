#include "model/ListRows.h"

#include "model/EepromMap.h"
#include "platform/base/Color.h"
#include "platform/base/Fatal.h"
#include "tests/model/RowTestSupport.h"

#include <functional>

using modeltest::Get16;
using modeltest::Put16;
using rowtest::Event;
using rowtest::RowFixture;

namespace {

constexpr int kScanList0 = rowtest::kScanLists;
constexpr int kScanList1 = rowtest::kScanLists + 34;

class ListRows : public RowFixture {
protected:
    // Bank 0 with `count` channels of distinct frequencies.
    void ChannelBank(int count, int bank = 0, int firstId = 0)
    {
        SetBankChannelCount(bank, count);
        const int first = BankFirstChannel(bank);
        for (int i = 0; i < count; ++i) PutChannel(first + i, Freq(firstId + i));
    }
    std::vector<int32_t> Freqs(int from, int to)
    {
        std::vector<int32_t> f;
        for (int i = from; i <= to; ++i) f.push_back(FreqOf(i));
        return f;
    }
    std::vector<int32_t> Expected(std::initializer_list<int> ids)
    {
        std::vector<int32_t> f;
        for (int id : ids) f.push_back(id < 0 ? 0 : Freq(id));
        return f;
    }
    void Deliver() { time.Advance(20); }
};

TEST_F(ListRows, DeletingAChannelRenumbersEveryReferenceToTheChannels)
{
    ChannelBank(12);
    ChannelBank(2, 1, 12);
    SetLtrBank(1, 1);
    {
        datCh d(&initial);
        d.Unpack(1, 511);
        std::memcpy(d.Text, "DEFAULT     ", 12);
        d.Commit();
    }
    // Scan list 0: priority 1 is channel 5 as a fixed channel, TX channel 9.
    image().SetByte(kScanList0 + 26, 0x55);
    Put16(image(), kScanList0 + 30, 5);
    Put16(image(), kScanList0 + 28, 9);
    // Scan list 1: priority 2 is channel 5 (its switch on), priority 1 is
    // bank 1's first channel in mode 3.
    image().SetByte(kScanList1 + 24, 0x80);
    image().SetByte(kScanList1 + 26, 0x03);
    image().SetByte(kScanList1 + 27, 0x50);
    Put16(image(), kScanList1 + 32, 5);
    Put16(image(), kScanList1 + 30, 12);
    // Channel groups: channels 9 and 5, banks 1 and 0.
    const int groups[4][2] = {{1, 9}, {1, 5}, {3, 1}, {3, 0}};
    for (int j = 0; j < 4; ++j) {
        image().SetByte(rowtest::kChannelGroups + 4 * j, groups[j][0]);
        Put16(image(), rowtest::kChannelGroups + 4 * j + 2, groups[j][1]);
    }
    Put16(image(), rowtest::kGpsMove, 5);
    image().SetByte(rowtest::kGpsSwitch, 0x09);
    Divert(2, 9, 1);
    Divert(3, 5, 2);
    Divert(13, 5, 1);
    dialogs.Answer(plat::IDOK);

    Run(rowcmd::Delete, 1, 5, 0, 11);

    EXPECT_EQ(questions, std::vector<std::string>{"GI_AppMess_Conv_Delete"});
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "Zone 1 channel 4 diverted to the deleted channel.\nDivert is now 100% off.");
    EXPECT_EQ(dialogs.Boxes()[0].caption, "Test Title");
    EXPECT_EQ(dialogs.Boxes()[0].flags, plat::MB_OK | plat::MB_ICONERROR);
    EXPECT_EQ(EventsOf(ev::DeleteChannel), (std::vector<Event>{{ev::DeleteChannel, 0, 5, ""}}));
    EXPECT_EQ(deleteRunningSeen, std::vector<int>{1});
    EXPECT_EQ(g_RowDeleteRunning, 0);

    EXPECT_EQ(BankChannelCount(0), 11);
    // Bank types stay with the banks although channels crossed the border.
    EXPECT_FALSE(IsLtrBank(0));
    EXPECT_TRUE(IsLtrBank(1));
    EXPECT_EQ(Freqs(3, 13), Expected({3, 4, 6, 7, 8, 9, 10, 11, 12, 13, -1}));
    datCh last(&image());
    EXPECT_EQ(std::string(last.Unpack(1, 511).Text, 7), "DEFAULT");

    EXPECT_EQ(Get16(image(), kScanList0 + 30), 0);
    EXPECT_EQ(image().GetByte(kScanList0 + 26), 0x51);  // priority 1 falls back to mode 1
    EXPECT_EQ(Get16(image(), kScanList0 + 28), 8);
    EXPECT_EQ(Get16(image(), kScanList1 + 32), 0);
    EXPECT_EQ(image().GetByte(kScanList1 + 27), 0x00);
    EXPECT_EQ(image().GetByte(kScanList1 + 24), 0x00);
    EXPECT_EQ(Get16(image(), kScanList1 + 30), 11);
    const int groupsAfter[4] = {8, 0, 1, 0};
    for (int j = 0; j < 4; ++j) EXPECT_EQ(Get16(image(), rowtest::kChannelGroups + 4 * j + 2), groupsAfter[j]) << j;
    EXPECT_EQ(Get16(image(), rowtest::kGpsMove), 512);
    EXPECT_EQ(image().GetByte(rowtest::kGpsSwitch), 0x01);
    EXPECT_EQ(DivertTarget(2), 8);
    EXPECT_EQ(DivertMode(2), 1);
    EXPECT_EQ(DivertTarget(3), 0);
    EXPECT_EQ(DivertMode(3), 0);
    EXPECT_EQ(DivertTarget(12), 0);  // channel 13 moved up; no message for a mode other than 2
    EXPECT_EQ(DivertMode(12), 1);
    EXPECT_EQ(scope, csEveryLabelled | csSameIndex);

    EXPECT_EQ(capsule.Jump, 1);
    EXPECT_EQ(capsule.JumpIndex, 5);
    Deliver();
    EXPECT_EQ(EventsOf(ev::StatusText),
              (std::vector<Event>{{ev::StatusText, intptr_t(plat::clWindowText), intptr_t(plat::clBtnFace), "Deleted"}}));
    EXPECT_EQ(EventsOf(ev::RepaintLabelled).size(), 1u);
}

TEST_F(ListRows, ChannelDeleteRefusesPriorityChannelsAndSwitchesDesignatedChannelsOff)
{
    current.priorityRemoval = false;
    ChannelBank(8);
    Put16(image(), rowtest::kPrioA, 4);
    SelectRows(3, 5);
    const cmcEeprom before = image();
    dialogs.Answer(plat::IDOK);
    Run(rowcmd::Delete, 1, 3, 0, 7);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "DelPrio");
    EXPECT_TRUE(image().Equals(before));
    EXPECT_TRUE(EventsOf(ev::DeleteChannel).empty());

    // Channel 3 is the designated channel of function C (switched on).
    Put16(image(), rowtest::kPrioA, 7);
    Put16(image(), 175670, 3);
    image().SetByte(175680, 0x20);
    SelectRows(3, 4);
    Run(rowcmd::Delete, 1, 3, 0, 7);
    EXPECT_EQ(image().GetByte(175680) & 0x20, 0);
    EXPECT_EQ(EventsOf(ev::DeleteChannel), (std::vector<Event>{{ev::DeleteChannel, 0, 3, ""}, {ev::DeleteChannel, 0, 3, ""}}));
    EXPECT_EQ(BankChannelCount(0), 6);
    EXPECT_EQ(Freqs(2, 5), Expected({2, 5, 6, 7}));
    EXPECT_EQ(Get16(image(), rowtest::kPrioA), 5);  // the priority channel moved with its item
}

TEST_F(ListRows, InsertingChannelsRenumbersAndStopsWhenTheMemoryIsFull)
{
    ChannelBank(6);
    ChannelBank(2, 1, 6);
    image().SetByte(kScanList0 + 26, 0x55);
    Put16(image(), kScanList0 + 28, 3);
    Put16(image(), kScanList0 + 30, 2);
    Divert(1, 4, 2);
    Put16(image(), rowtest::kGpsMove, 3);
    image().SetByte(rowtest::kChannelGroups, 1);
    Put16(image(), rowtest::kChannelGroups + 2, 3);
    image().SetByte(rowtest::kChannelGroups + 4, 3);
    Put16(image(), rowtest::kChannelGroups + 6, 1);
    capsule.Cell = nullptr;
    SelectRows(3, 4);

    Run(rowcmd::Insert, 1, 3, 0, 5);

    EXPECT_EQ(EventsOf(ev::InsertChannel), (std::vector<Event>{{ev::InsertChannel, 0, 3, ""}, {ev::InsertChannel, 0, 3, ""}}));
    EXPECT_EQ(packs, 2);
    EXPECT_EQ(fitQueries.size(), 2u);
    EXPECT_EQ(fitQueries[0], (FitQuery{0, 1, 0}));
    EXPECT_EQ(BankChannelCount(0), 8);
    EXPECT_EQ(Freqs(2, 10), Expected({2, -1, -1, 3, 4, 5, 6, 7, -1}));
    EXPECT_EQ(Get16(image(), kScanList0 + 28), 5);
    EXPECT_EQ(Get16(image(), kScanList0 + 30), 2);
    EXPECT_EQ(DivertTarget(1), 6);
    EXPECT_EQ(DivertMode(1), 2);
    EXPECT_EQ(Get16(image(), rowtest::kGpsMove), 5);
    EXPECT_EQ(Get16(image(), rowtest::kChannelGroups + 2), 5);
    EXPECT_EQ(Get16(image(), rowtest::kChannelGroups + 6), 1);  // a bank entry never shifts
    EXPECT_EQ(capsule.RangeFlags & 2, 2);
    EXPECT_EQ(capsule.RangeFirst, 3);
    EXPECT_EQ(capsule.RangeLast, 4);
    EXPECT_EQ(EventsOf(ev::StatusText).back().text, "Inserted");
    EXPECT_TRUE(dialogs.Boxes().empty());

    // The memory takes one more item only: the first row goes in, then the
    // overflow message; the row already inserted stays.
    events.clear();
    int fits = 1;
    CurrentRowOpsHooks().ItemsFit = [&](int, int, int) { return fits-- > 0; };
    dialogs.Answer(plat::IDOK);
    Run(rowcmd::Insert, 1, 3, 0, 7);
    EXPECT_EQ(EventsOf(ev::InsertChannel).size(), 1u);
    EXPECT_EQ(BankChannelCount(0), 9);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "Overflow");

    // With 512 channels in use nothing goes in and no success is reported.
    events.clear();
    SetBankChannelCount(2, 512 - UsedChannelCount());
    const cmcEeprom full = image();
    CurrentRowOpsHooks().ItemsFit = nullptr;
    SelectRows(0, 0);
    dialogs.Answer(plat::IDOK);
    Run(rowcmd::Insert, 1, 0, 0, 8);
    EXPECT_TRUE(image().Equals(full));
    EXPECT_TRUE(EventsOf(ev::InsertChannel).empty());
    EXPECT_TRUE(EventsOf(ev::StatusText).empty());
}

TEST_F(ListRows, CarryMovesTheBlockPastItsNeighbourAndBack)
{
    current.priorityRemoval = false;
    ChannelBank(8);
    Put16(image(), rowtest::kPrioA, 3);
    image().SetByte(kScanList0 + 26, 0x55);
    image().SetByte(kScanList0 + 27, 0x50);
    Put16(image(), kScanList0 + 28, 5);
    Put16(image(), kScanList0 + 30, 3);
    Put16(image(), kScanList0 + 32, 4);
    Divert(0, 5, 1);
    Divert(7, 3, 2);
    image().SetByte(rowtest::kChannelGroups, 1);
    Put16(image(), rowtest::kChannelGroups + 2, 5);
    Put16(image(), rowtest::kGpsMove, 5);
    const cmcEeprom before = image();

    SelectRows(3, 4);
    Run(rowcmd::CarryDown, 1, 3, 0, 7);

    EXPECT_EQ(Freqs(2, 6), Expected({2, 5, 3, 4, 6}));
    EXPECT_EQ(Get16(image(), kScanList0 + 28), 3);
    EXPECT_EQ(Get16(image(), kScanList0 + 30), 4);
    EXPECT_EQ(Get16(image(), kScanList0 + 32), 5);
    EXPECT_EQ(DivertTarget(0), 3);
    EXPECT_EQ(DivertTarget(7), 4);
    EXPECT_EQ(Get16(image(), rowtest::kPrioA), 4);
    // The channel group and the GPS move channel stay where they are.
    EXPECT_EQ(Get16(image(), rowtest::kChannelGroups + 2), 5);
    EXPECT_EQ(Get16(image(), rowtest::kGpsMove), 5);
    EXPECT_EQ(capsule.RangeFirst, 4);
    EXPECT_EQ(capsule.RangeLast, 5);
    EXPECT_EQ(capsule.RangeFlags, 3);
    EXPECT_EQ(capsule.Jump, 1);
    EXPECT_EQ(capsule.JumpIndex, 5);
    Deliver();
    EXPECT_EQ(EventsOf(ev::RepaintIndex), (std::vector<Event>{{ev::RepaintIndex, 0, 0, ""}, {ev::RepaintIndex, 0, 7, ""}}));
    EXPECT_TRUE(questions.empty());

    Run(rowcmd::CarryUp, 1, 4, 0, 7);
    EXPECT_TRUE(image().Equals(before));
    EXPECT_EQ(capsule.JumpIndex, 3);

    // Nothing moves past the bounds.
    SelectRows(3, 4);
    Run(rowcmd::CarryUp, 1, 3, 3, 7);
    SelectRows(6, 7);
    Run(rowcmd::CarryDown, 1, 6, 0, 7);
    EXPECT_TRUE(image().Equals(before));
}

TEST_F(ListRows, ClearReleasesDivertReferencesToEveryClearedRow)
{
    ChannelBank(10);
    Divert(6, 2, 2);
    Divert(7, 3, 2);
    Divert(8, 4, 2);
    Divert(9, 3, 1);
    SelectRows(2, 3);
    confirm = false;
    const cmcEeprom before = image();
    Run(rowcmd::Clear, 1, 2, 0, 9);
    EXPECT_TRUE(image().Equals(before));

    confirm = true;
    dialogs.Answer(plat::IDOK);
    dialogs.Answer(plat::IDOK);
    Run(rowcmd::Clear, 1, 2, 0, 9);

    EXPECT_EQ(questions, (std::vector<std::string>{"GI_AppMess_Conv_Clear", "GI_AppMess_Conv_Clear"}));
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    const std::string tail = " waa using this cleared channel as an Emergency Divert Channel.\n"
                             " The Emergency Divert Option for this channel has been changed to Current/Global.";
    EXPECT_EQ(dialogs.Boxes()[0].text, "Zone 1 Channel 7" + tail);
    EXPECT_EQ(dialogs.Boxes()[1].text, "Zone 1 Channel 8" + tail);
    EXPECT_EQ(dialogs.Boxes()[0].caption, plat::ProgramFileName());
    EXPECT_EQ(dialogs.Boxes()[0].Icon(), plat::MB_ICONERROR);
    EXPECT_EQ(std::vector<int>({DivertTarget(6), DivertMode(6), DivertTarget(7), DivertMode(7)}), std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(DivertTarget(8), 4);
    EXPECT_EQ(DivertMode(8), 2);
    EXPECT_EQ(DivertTarget(9), 0);
    EXPECT_EQ(DivertMode(9), 1);
    EXPECT_EQ(Freqs(1, 4), Expected({1, -1, -1, 4}));
    EXPECT_EQ(BankChannelCount(0), 10);
    EXPECT_EQ(EventsOf(ev::StatusText).back().text, "Cleared");
    Deliver();
    std::vector<int> repainted;
    for (const Event& e : EventsOf(ev::RepaintIndex)) repainted.push_back(int(e.p2));
    EXPECT_EQ(repainted, (std::vector<int>{6, 7, 9, 2, 3}));
}

TEST_F(ListRows, IdListDeletesRenumberItsReferencesAndNeverEmptyTheList)
{
    SetIndListCount(5, 18);
    datCh id(&image());
    for (int i = 0; i < 5; ++i) {
        id.Unpack(18, i).IndId = uint32_t(100 + i);
        id.Commit();
    }
    Put16(image(), 204666, 4);
    ChannelBank(3);
    ChannelBank(1, 1, 3);
    SetZephBank(1, 1);
    const int lists[4] = {2, 4, 1, 4};  // channel 3 lies in a ZEPH bank
    datCh ch(&image());
    for (int n = 0; n < 4; ++n) {
        ch.Unpack(1, n).IndList = uint32_t(lists[n]);
        ch.Commit();
    }

    SelectRows(0, 4);
    const cmcEeprom before = image();
    dialogs.Answer(plat::IDOK);
    Run(rowcmd::Delete, 18, 0, 0, 4);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "NoList");
    EXPECT_EQ(dialogs.Boxes()[0].caption, "Test Title");
    EXPECT_TRUE(image().Equals(before));

    SelectRows(1, 2);
    Run(rowcmd::Delete, 18, 1, 0, 4, 7);
    EXPECT_EQ(EventsOf(ev::DeleteDigitalId), (std::vector<Event>{{ev::DeleteDigitalId, 0, 1, ""}, {ev::DeleteDigitalId, 0, 1, ""}}));
    EXPECT_EQ(IndListCount(18), 3);
    std::vector<uint32_t> ids;
    for (int i = 0; i < 5; ++i) ids.push_back(id.Unpack(18, i).IndId);
    EXPECT_EQ(ids, (std::vector<uint32_t>{100, 103, 104, 0, 0}));
    EXPECT_EQ(Get16(image(), 204666), 2);
    std::vector<uint32_t> used;
    for (int n = 0; n < 4; ++n) used.push_back(ch.Unpack(1, n).IndList);
    EXPECT_EQ(used, (std::vector<uint32_t>{0, 2, 0, 4}));
}

// The GPS send ID and the switch-on status ID of each individual ID list
// follow their entry alike when entries are deleted, inserted or carried.
TEST_F(ListRows, GpsSendAndPowerStatusIdsFollowTheirEntry)
{
    struct List {
        const char* name;
        int kind;
        int gpsSendId;
        int powerStatusId;
    };
    const List lists[] = {
        {"digital", 18, 197916, 204666},
        {"ZEPH", 28, 243070, 243068},
        {"multisite", 32, 303642, 303640},
    };
    struct Change {
        const char* what;
        int command;
        int row;
        int expected;  // both references named entry 2 before
    };
    const Change changes[] = {
        {"delete before it", rowcmd::Delete, 1, 1},
        {"delete it", rowcmd::Delete, 2, 0},
        {"delete after it", rowcmd::Delete, 3, 2},
        {"insert before it", rowcmd::Insert, 1, 3},
        {"insert after it", rowcmd::Insert, 3, 2},
        {"carry it down", rowcmd::CarryDown, 2, 3},
        {"carry its neighbour up", rowcmd::CarryUp, 3, 3},
    };
    for (const List& list : lists) {
        for (const Change& change : changes) {
            SCOPED_TRACE(std::string(list.name) + ": " + change.what);
            SetIndListCount(5, list.kind);
            Put16(image(), list.gpsSendId, 2);
            Put16(image(), list.powerStatusId, 2);
            Run(change.command, list.kind, change.row, 0, 4);
            EXPECT_EQ(Get16(image(), list.gpsSendId), change.expected);
            EXPECT_EQ(Get16(image(), list.powerStatusId), change.expected);
        }
    }
}

TEST_F(ListRows, DeletedTalkGroupSwitchesItsEntryReferenceOff)
{
    SetTgListCount(4, 19);
    image().SetByte(148174, 0x03);
    Put16(image(), 148178, 2);
    Put16(image(), 302526, 3);
    dialogs.Answer(plat::IDOK);
    Run(rowcmd::Delete, 19, 2, 0, 3);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "EntrTGID\ntalk group gone");
    EXPECT_EQ(image().GetByte(148174), 0x01);
    EXPECT_EQ(Get16(image(), 148178), 0);
    EXPECT_EQ(Get16(image(), 302526), 2);
    EXPECT_EQ(TgListCount(19), 3);
}

TEST_F(ListRows, DeletedRepeaterReleasesItsMarkAndTheOtherGroupsKeepTheirs)
{
    const int counts[3] = {3, 4, 2};
    for (int g = 0; g < 3; ++g) SetGroupItemCount(g, counts[g], 27);
    current.listRow = 1;
    datCh rpt(&image());
    for (int i = 0; i < 9; ++i) {
        rpt.Unpack(27, i).RptRxFreq = Freq(i);
        rpt.Commit();
    }
    const int z1 = 245636 + 10, z2 = 245636 + 20;  // ZEPH bank records of groups 1 and 2
    image().SetByte(z1 + 6, 2);
    image().SetByte(z1 + 7, 4);
    image().SetByte(z2 + 6, 1);
    image().SetByte(z2 + 7, 2);

    Run(rowcmd::Delete, 27, 4, 3, 6, 1);  // group 1, position 2: its first home

    EXPECT_EQ(EventsOf(ev::DeleteZephRepeater), (std::vector<Event>{{ev::DeleteZephRepeater, 1, 4, ""}}));
    EXPECT_EQ(GroupItemCount(1, 27), 3);
    EXPECT_EQ(image().GetByte(z1 + 6), 0);
    EXPECT_EQ(image().GetByte(z1 + 7), 3);  // the second home moved up with its repeater
    EXPECT_EQ(image().GetByte(z2 + 6), 1);
    EXPECT_EQ(image().GetByte(z2 + 7), 2);
    std::vector<int32_t> freqs;
    for (int i = 3; i <= 8; ++i) freqs.push_back(rpt.Unpack(27, i).RptRxFreq);
    EXPECT_EQ(freqs, Expected({3, 5, 6, 7, 8, -1}));
}

TEST_F(ListRows, MultisiteSecondCollectingRepeaterIsReleasedAloneAndInsertsStayInTheSite)
{
    image().SetByte(WorkTables::MultisiteSiteCount, 2);
    SetGroupItemCount(0, 3, 31);
    SetGroupItemCount(1, 1, 31);
    datCh rpt(&image());
    for (int i = 0; i < 4; ++i) {
        rpt.Unpack(31, i).RptRxFreq = Freq(i);
        rpt.Commit();
    }
    const int site0 = 162646;
    image().SetByte(site0 + 4, 1);
    image().SetByte(site0 + 5, 3);

    Run(rowcmd::Delete, 31, 2, 0, 2, 0);
    EXPECT_EQ(GroupItemCount(0, 31), 2);
    EXPECT_EQ(image().GetByte(site0 + 4), 1);
    EXPECT_EQ(image().GetByte(site0 + 5), 0);
    EXPECT_EQ(rpt.Unpack(31, 2).RptRxFreq, Freq(3));  // site 1's repeater, in its own block

    // An insert at position 2 of site 0 moves the site's later repeaters and
    // its mark within the site's block; site 1 keeps its repeater.
    image().SetByte(site0 + 4, 2);
    Run(rowcmd::Insert, 31, 1, 0, 1, 0);
    EXPECT_EQ(GroupItemCount(0, 31), 3);
    std::vector<int32_t> freqs;
    for (int i = 0; i < 4; ++i) freqs.push_back(rpt.Unpack(31, i).RptRxFreq);
    EXPECT_EQ(freqs, Expected({0, -1, 1, 3}));
    EXPECT_EQ(image().GetByte(site0 + 4), 3);
}

TEST_F(ListRows, DeletedSiteTakesItsRepeatersAndTheSiteReferenceAlong)
{
    image().SetByte(WorkTables::MultisiteSiteCount, 3);
    datCh site(&image());
    for (int s = 0; s < 3; ++s) {
        site.Unpack(30, s).SiteId = uint8_t(10 + s);
        site.Commit();
    }
    SetGroupItemCount(1, 1, 31);
    SetGroupItemCount(2, 2, 31);
    datCh rpt(&image());
    for (int i = 0; i < 3; ++i) {
        rpt.Unpack(31, i).RptRxFreq = Freq(i);
        rpt.Commit();
    }
    image().SetByte(303639, 0x80);
    image().SetByte(303631, 2);

    Run(rowcmd::Delete, 30, 1, 0, 2);

    EXPECT_EQ(EventsOf(ev::DeleteMultisiteSite), (std::vector<Event>{{ev::DeleteMultisiteSite, 0, 1, ""}}));
    EXPECT_EQ(MultisiteSiteCount(), 2);
    EXPECT_EQ(std::vector<int>({site.Unpack(30, 0).SiteId, site.Unpack(30, 1).SiteId, site.Unpack(30, 2).SiteId}),
              std::vector<int>({10, 12, 0}));
    EXPECT_EQ(std::vector<int>({GroupItemCount(0, 31), GroupItemCount(1, 31), GroupItemCount(2, 31)}),
              std::vector<int>({0, 2, 0}));
    EXPECT_EQ(rpt.Unpack(31, 0).RptRxFreq, Freq(1));
    EXPECT_EQ(rpt.Unpack(31, 1).RptRxFreq, Freq(2));
    EXPECT_EQ(image().GetByte(303631), 1);
    EXPECT_EQ(image().GetByte(303639), 0x80);
}

TEST_F(ListRows, InsertNeedsRoomInTheList)
{
    struct Case {
        const char* name;
        int kind;
        std::function<void()> fill;
    };
    const Case cases[] = {
        {"LTR group of 20", 22, [] { SetGroupItemCount(0, 20, 22); }},
        {"ZEPH group of 30", 27, [] { SetGroupItemCount(0, 30, 27); }},
        {"48 sites", 30, [this] { image().SetByte(WorkTables::MultisiteSiteCount, 48); }},
        {"500 IDs", 28, [] { SetIndListCount(500, 28); }},
        {"500 talk groups", 33, [] { SetTgListCount(500, 33); }},
    };
    for (const Case& c : cases) {
        c.fill();
        const cmcEeprom full = image();
        events.clear();
        fitQueries.clear();
        dialogs.Answer(plat::IDOK);
        Run(rowcmd::Insert, c.kind, 0, 0, 0);
        EXPECT_TRUE(image().Equals(full)) << c.name;
        EXPECT_EQ(dialogs.LastBox().text, "Overflow") << c.name;
        EXPECT_TRUE(EventsOf(ListEventsOfKind(c.kind)->insertEvent).empty()) << c.name;
    }

    // Sites take no memory budget: with room an insert goes in whatever the
    // memory check would say.
    image().SetByte(WorkTables::MultisiteSiteCount, 47);
    itemsFit = false;
    fitQueries.clear();
    Run(rowcmd::Insert, 30, 0, 0, 0);
    EXPECT_TRUE(fitQueries.empty());
    EXPECT_EQ(MultisiteSiteCount(), 48);
}

TEST_F(ListRows, CopyAndPasteKeepToTheirBounds)
{
    ChannelBank(6);
    SelectRows(4, 9);
    Run(rowcmd::Copy, 1, 4, 0, 5);
    EXPECT_EQ(clip.Count(), 2);
    EXPECT_EQ(clip.FirstIndex(), 4);
    EXPECT_EQ(capsule.RangeFirst, 4);
    EXPECT_EQ(capsule.RangeLast, 5);
    EXPECT_EQ(capsule.RangeFlags & 2, 2);
    EXPECT_EQ(EventsOf(ev::StatusText),
              (std::vector<Event>{{ev::StatusText, intptr_t(plat::clWindowText), intptr_t(plat::clBtnFace), "Copied"}}));

    // Three rows pasted at the last row of the list: only one goes in.
    SelectRows(0, 2);
    Run(rowcmd::Copy, 1, 0, 0, 5);
    capsule.RangeFlags = 0;
    Run(rowcmd::Paste, 1, 5, 0, 5);
    EXPECT_EQ(questions, std::vector<std::string>{"GI_AppMess_Conv_Overwrite"});
    EXPECT_EQ(Freqs(4, 6), Expected({4, 0, -1}));
    EXPECT_EQ(capsule.RangeFirst, 5);
    EXPECT_EQ(capsule.RangeLast, 5);
    Deliver();
    EXPECT_EQ(EventsOf(ev::RepaintIndex), (std::vector<Event>{{ev::RepaintIndex, 0, 5, ""}}));

    // Cancel in the overwrite question, a row outside the bounds and another
    // kind change nothing.
    const cmcEeprom before = image();
    confirm = false;
    Run(rowcmd::Paste, 1, 1, 0, 5);
    confirm = true;
    Run(rowcmd::Paste, 1, 6, 0, 5);
    Run(rowcmd::Paste, 2, 1, 0, 5);
    EXPECT_TRUE(image().Equals(before));
}

TEST_F(ListRows, ClearAndDeleteKeepToTheRowsOfTheirBankListOrGroup)
{
    // Bank 0: channels 0-5; bank 1: channels 6-7.
    ChannelBank(6);
    ChannelBank(2, 1, 6);
    // From the row past the bank (bank 1's first channel), nothing is cleared
    // or deleted, with or without a selection.
    const cmcEeprom before = image();
    for (int command : {rowcmd::Clear, rowcmd::Delete}) {
        capsule.RangeFlags = 0;
        Run(command, 1, 6, 0, 5);
        SelectRows(4, 6);
        Run(command, 1, 6, 0, 5);
    }
    EXPECT_TRUE(image().Equals(before));
    EXPECT_TRUE(questions.empty());

    // A selection reaching one row past the bank: only the bank's rows.
    SelectRows(4, 6);
    Run(rowcmd::Clear, 1, 5, 0, 5);
    EXPECT_EQ(Freqs(3, 7), Expected({3, -1, -1, 6, 7}));
    ChannelBank(6);
    SelectRows(4, 6);
    Run(rowcmd::Delete, 1, 4, 0, 5);
    EXPECT_EQ(EventsOf(ev::DeleteChannel).size(), 2u);
    EXPECT_EQ(BankChannelCount(0), 4);
    EXPECT_EQ(BankChannelCount(1), 2);
    EXPECT_EQ(Freqs(3, 5), Expected({3, 6, 7}));

    // An ID list of five: a selection of its last two and the row past it
    // deletes two entries and keeps the rest.
    SetIndListCount(5, 18);
    datCh id(&image());
    for (int i = 0; i < 5; ++i) {
        id.Unpack(18, i).IndId = uint32_t(100 + i);
        id.Commit();
    }
    SelectRows(3, 5);
    Run(rowcmd::Delete, 18, 3, 0, 4);
    EXPECT_EQ(IndListCount(18), 3);
    std::vector<uint32_t> ids;
    for (int i = 0; i < 3; ++i) ids.push_back(id.Unpack(18, i).IndId);
    EXPECT_EQ(ids, (std::vector<uint32_t>{100, 101, 102}));

    // LTR groups 0 (items 0-2) and 1 (items 3-4): a selection reaching into
    // group 1 deletes from group 0 only.
    SetGroupItemCount(0, 3, 22);
    SetGroupItemCount(1, 2, 22);
    datCh rpt(&image());
    for (int i = 0; i < 5; ++i) {
        rpt.Unpack(22, i).RptRxFreq = Freq(i);
        rpt.Commit();
    }
    SelectRows(2, 3);
    Run(rowcmd::Delete, 22, 2, 0, 2, 0);
    EXPECT_EQ(GroupItemCount(0, 22), 2);
    EXPECT_EQ(GroupItemCount(1, 22), 2);
    std::vector<int32_t> freqs;
    for (int i = 0; i < 4; ++i) freqs.push_back(rpt.Unpack(22, i).RptRxFreq);
    EXPECT_EQ(freqs, Expected({0, 1, 3, 4}));

    // Insert may open the row just past the list, and no row beyond it.
    capsule.RangeFlags = 0;
    Run(rowcmd::Insert, 22, 2, 0, 1, 0);
    EXPECT_EQ(GroupItemCount(0, 22), 3);
    Run(rowcmd::Insert, 22, 5, 0, 2, 0);
    EXPECT_EQ(GroupItemCount(0, 22), 3);
    EXPECT_EQ(GroupItemCount(1, 22), 2);
}

TEST_F(ListRows, KindsWithoutListEventsAreNeverDeletedOrInserted)
{
    // Clear, delete and insert only act on row-editable kinds; kinds 3, 4,
    // 24 and 34 are cleared but never deleted or inserted.
    const std::pair<int, int> cases[] = {
        {3, rowcmd::Delete}, {4, rowcmd::Insert}, {24, rowcmd::Delete}, {34, rowcmd::Insert},
        {7, rowcmd::Clear},  {7, rowcmd::Delete}, {20, rowcmd::Insert}, {6, rowcmd::Clear},
    };
    const cmcEeprom before = image();
    for (const auto& [kind, command] : cases) {
        Run(command, kind, 1, 0, 5);
        EXPECT_TRUE(image().Equals(before)) << kind << " " << command;
    }
    EXPECT_TRUE(questions.empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(ListRows, ListEventsOfEachKind)
{
    EXPECT_EQ(ListEventsOfKind(2)->deleteEvent, ev::DeleteChannel);
    EXPECT_EQ(ListEventsOfKind(31)->length, 1440);
    EXPECT_EQ(ListEventsOfEvent(ev::InsertMultisiteSite)->kind, 30);
    EXPECT_EQ(ListEventsOfEvent(ev::DeleteChannel)->kind, 1);
    EXPECT_EQ(ListEventsOfKind(3), nullptr);
    EXPECT_EQ(ListEventsOfEvent(ev::QueryCurrentBank), nullptr);
}

} // namespace
