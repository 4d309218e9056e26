#include "model/TableAccess.h"

#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ImageBytes.h"
#include "model/ModelContext.h"
#include "model/datCh.h"

#include <algorithm>
#include <cstring>

namespace {

cmcEeprom* Current() { return CurrentModelContext().CurrentImage; }

bool ValidBank(int b) { return b >= 0 && b < WorkTables::Banks; }

int ChannelRecordKind()
{
    const auto& query = CurrentModelContext().MchRecordKind;
    return query ? query() : 1;
}

// Bank type bit arrays: bank b at bit 7 - b mod 8 of byte b / 8.
bool BankBit(int base, int b)
{
    const cmcEeprom* image = Current();
    if (!image || !ValidBank(b)) return false;
    return ImageBytes(*image).Bit(base + b / 8, 7 - b % 8);
}

bool SetBankBit(int base, int b, int on)
{
    cmcEeprom* image = Current();
    if (!image || !ValidBank(b)) return false;
    ImageBytes(image).SetBit(base + b / 8, 7 - b % 8, on != 0);
    return BankBit(base, b);
}

// Bank groups: 1 holds the non-empty vote-zone and SmarTrunk banks, 0 the
// other non-empty banks.
bool InBankGroup(int b, int g)
{
    if (BankChannelCount(b) == 0) return false;
    const bool one = IsVoteZoneBank(b) || IsSmarTrunkBank(b);
    return g != 0 ? one : !one;
}

template <typename Pred>
int CountBanks(int limit, Pred pred)
{
    int n = 0;
    for (int b = 0; b < limit; ++b)
        if (pred(b)) ++n;
    return n;
}

template <typename Pred>
int NthBank(int n, int limit, Pred pred)
{
    if (n < 0) return WorkTables::Banks;
    for (int b = 0; b < limit; ++b)
        if (pred(b) && n-- == 0) return b;
    return WorkTables::Banks;
}

bool NonEmpty(int b) { return BankChannelCount(b) != 0; }

// Grouped lists.
int GroupCountTable(int kind)
{
    switch (kind) {
    case 22: return WorkTables::LtrGroupCounts;
    case 27: return WorkTables::ZephGroupCounts;
    case 31: return WorkTables::MultisiteGroupCounts;
    default: return -1;
    }
}

int GroupLimit(int kind) { return kind == 31 ? WorkTables::Sites : WorkTables::Banks; }

// Counters.
constexpr int kToneListMax = 80;
constexpr int kNacListMax = 80;
constexpr int kIdListMax = 500;

int ReadCounter(const cmcEeprom* image, int at) { return at < 0 || !image ? 0 : ImageBytes(*image).U16(at); }

void WriteCounter(cmcEeprom* image, int at, int n, int max)
{
    if (at < 0 || !image) return;
    ImageBytes(image).SetU16(at, uint32_t(std::clamp(n, 0, max)));
}

void StepCounter(int at, int step, int max)
{
    cmcEeprom* image = Current();
    const int n = ReadCounter(image, at);
    if ((step < 0 && n <= 0) || (step > 0 && n >= max)) return;
    WriteCounter(image, at, n + step, max);
}

int IndCounterAt(int kind)
{
    switch (kind) {
    case 18: return EepromMap::CountIndKind18;
    case 28: return EepromMap::CountIndKind28;
    case 32: return EepromMap::CountIndKind32;
    default: return -1;
    }
}

int TgCounterAt(int kind)
{
    switch (kind) {
    case 19: return EepromMap::CountTgKind19;
    case 29: return EepromMap::CountTgKind29;
    case 33: return EepromMap::CountTgKind33;
    default: return -1;
    }
}

// Multisite sites: the item count and the block of 30 records of a site.
int SiteBlock(int s) { return WorkTables::MultisiteRepeaters + s * WorkTables::SiteRecords * WorkTables::SiteRecordSize; }
constexpr int kSiteBlockSize = WorkTables::SiteRecords * WorkTables::SiteRecordSize;

void CopySite(ImageBytes& img, int from, int to)
{
    for (int k = 0; k < kSiteBlockSize; ++k) img.SetU8(SiteBlock(to) + k, img.U8(SiteBlock(from) + k));
    img.SetU8(WorkTables::MultisiteGroupCounts + to, img.U8(WorkTables::MultisiteGroupCounts + from));
}

void ClearSite(ImageBytes& img, int s)
{
    img.Zero(SiteBlock(s), kSiteBlockSize);
    img.SetU8(WorkTables::MultisiteGroupCounts + s, 0);
}

} // namespace

// Banks and channels.

int ReadBankChannelCount(const cmcEeprom& image, int b)
{
    return ValidBank(b) ? ImageBytes(image).U16(WorkTables::BankCounts + 2 * b) : 0;
}

int BankChannelCount(int b)
{
    const cmcEeprom* image = Current();
    return image ? ReadBankChannelCount(*image, b) : 0;
}

int SetBankChannelCount(int b, int n)
{
    cmcEeprom* image = Current();
    if (!image || !ValidBank(b)) return 0;
    ImageBytes(image).SetU16(WorkTables::BankCounts + 2 * b, uint32_t(n) & 0xFFFF);
    return BankChannelCount(b);
}

int BankFirstChannelInImage(const cmcEeprom& image, int b)
{
    int sum = 0;
    for (int k = 0; k < std::min(b, WorkTables::Banks); ++k) sum += ReadBankChannelCount(image, k);
    return sum;
}

int BankFirstChannel(int b)
{
    const cmcEeprom* image = Current();
    return image ? BankFirstChannelInImage(*image, b) : 0;
}

int BankLastChannel(int b) { return std::max(BankFirstChannel(b + 1) - 1, 0); }

int UsedChannelCountInImage(const cmcEeprom& image) { return BankFirstChannelInImage(image, WorkTables::Banks); }

int UsedChannelCount() { return BankFirstChannel(WorkTables::Banks); }

int BankOfChannelInImage(const cmcEeprom& image, int index)
{
    if (index < 0) return 0;
    constexpr int kCountBytes = 2 * WorkTables::Banks;
    if (!ImageBytes(image).Fits(WorkTables::BankCounts, kCountBytes)) {
        int sum = 0;
        for (int b = 0; b < WorkTables::Banks; ++b) {
            sum += ReadBankChannelCount(image, b);
            if (index < sum) return b;
        }
        return WorkTables::Banks;
    }
    // Every channel's cell and every channel decode asks this, so the bank
    // starts are kept for the last counts seen and looked up by halving;
    // they are summed again only when the counts differ. (At first both
    // arrays are zero, which are the bank ends of all-zero counts.)
    thread_local uint8_t seen[kCountBytes];
    thread_local int ends[WorkTables::Banks];  // channels up to the end of each bank
    const uint8_t* counts = image.Data() + WorkTables::BankCounts;
    if (std::memcmp(seen, counts, kCountBytes) != 0) {
        std::memcpy(seen, counts, kCountBytes);
        int sum = 0;
        for (int b = 0; b < WorkTables::Banks; ++b) ends[b] = sum += (counts[2 * b] << 8) | counts[2 * b + 1];
    }
    return int(std::upper_bound(ends, ends + WorkTables::Banks, index) - ends);
}

int BankOfChannelNumber(int n)
{
    const cmcEeprom* image = Current();
    if (!image || n <= 0) return 0;
    const int b = BankOfChannelInImage(*image, n - 1);
    return b < WorkTables::Banks ? b : 0;
}

bool IsSmarTrunkBank(int b) { return BankBit(WorkTables::SmarTrunkBanks, b); }
bool IsLtrBank(int b) { return BankBit(WorkTables::LtrBanks, b); }
bool IsVoteZoneBank(int b) { return BankBit(WorkTables::VoteZoneBanks, b); }
bool IsZephBank(int b) { return BankBit(WorkTables::ZephBanks, b); }
bool IsMultisiteBank(int b) { return BankBit(WorkTables::MultisiteBanks, b); }
bool SetSmarTrunkBank(int b, int on) { return SetBankBit(WorkTables::SmarTrunkBanks, b, on); }
bool SetLtrBank(int b, int on) { return SetBankBit(WorkTables::LtrBanks, b, on); }
bool SetVoteZoneBank(int b, int on) { return SetBankBit(WorkTables::VoteZoneBanks, b, on); }
bool SetZephBank(int b, int on) { return SetBankBit(WorkTables::ZephBanks, b, on); }
bool SetMultisiteBank(int b, int on) { return SetBankBit(WorkTables::MultisiteBanks, b, on); }

// Channels past the last channel slot never count: they cannot be decoded.
int BankActiveChannelCount(int b)
{
    if (!ValidBank(b)) return 0;
    const int first = BankFirstChannel(b);
    const int end = std::min(first + BankChannelCount(b), WorkTables::Channels);
    const int kind = ChannelRecordKind();
    datCh ch(Current());
    int n = 0;
    for (int c = first; c < end; ++c)
        if (ch.Unpack(kind, c).State.Active) ++n;
    return n;
}

int ActiveChannelCount()
{
    int n = 0;
    for (int b = 0; b < WorkTables::Banks; ++b) n += BankActiveChannelCount(b);
    return n;
}

int BankLastUsedPosition(int b)
{
    if (!ValidBank(b)) return 0;
    const int first = BankFirstChannel(b);
    const int end = std::min(first + BankChannelCount(b), WorkTables::Channels);
    const int kind = ChannelRecordKind();
    datCh ch(Current());
    for (int c = end - 1; c >= first; --c)
        if (ch.Unpack(kind, c).State.InUse) return c - first + 1;
    return 0;
}

int NonEmptyBankCount() { return CountBanks(WorkTables::Banks, NonEmpty); }
int NthNonEmptyBank(int n) { return NthBank(n, WorkTables::Banks, NonEmpty); }
int UsedBankCount() { return CountBanks(WorkTables::Banks - 1, NonEmpty); }
int NthUsedBank(int n) { return NthBank(n, WorkTables::Banks - 1, NonEmpty); }

static bool NonVote(int b) { return NonEmpty(b) && !IsVoteZoneBank(b); }
int NonVoteBankCount() { return CountBanks(WorkTables::Banks, NonVote); }
int NthNonVoteBank(int n) { return NthBank(n, WorkTables::Banks, NonVote); }

int CountBanksOfGroup(int g)
{
    const int n = CountBanks(WorkTables::Banks, [g](int b) { return InBankGroup(b, g); });
    return n == 0 ? 1 : n;
}

int NthBankOfGroup(int n, int g)
{
    return NthBank(n, WorkTables::Banks, [g](int b) { return InBankGroup(b, g); });
}

// Grouped lists.

bool IsValidGroup(int g, int kind) { return g >= 0 && g < GroupLimit(kind); }

int ReadGroupItemCount(const cmcEeprom& image, int g, int kind)
{
    const int table = GroupCountTable(kind);
    if (table < 0 || !IsValidGroup(g, kind)) return 0;
    return ImageBytes(image).U8(table + g);
}

int GroupItemCount(int g, int kind)
{
    const cmcEeprom* image = Current();
    return image ? ReadGroupItemCount(*image, g, kind) : 0;
}

int SetGroupItemCount(int g, int n, int kind)
{
    const int table = GroupCountTable(kind);
    cmcEeprom* image = Current();
    if (image && table >= 0 && IsValidGroup(g, kind)) ImageBytes(image).SetU8(table + g, n & 0xFF);
    return GroupItemCount(g, kind);
}

int CountGroupItems(int g, int /*any*/, int kind) { return GroupItemCount(g, kind); }

int GroupFirstItem(int g, int kind)
{
    int sum = 0;
    for (int k = 0; k < g && IsValidGroup(k, kind); ++k) sum += GroupItemCount(k, kind);
    return sum;
}

int GroupLastItem(int g, int kind) { return std::max(GroupFirstItem(g + 1, kind) - 1, 0); }

int ListItemTotal(int kind)
{
    if (GroupCountTable(kind) < 0) return 0;
    return GroupFirstItem(GroupLimit(kind), kind);
}

int GroupOfItem(int i, int kind)
{
    int sum = 0;
    for (int g = 0; g < GroupLimit(kind); ++g) {
        sum += GroupItemCount(g, kind);
        if (sum > i) return g;
    }
    return 0;
}

int ItemPositionInGroup(int i, int kind)
{
    int sum = 0;
    for (int g = 0; g < GroupLimit(kind); ++g) {
        const int first = sum;
        sum += GroupItemCount(g, kind);
        if (sum > i) return i - first;
    }
    return 0;
}

int ItemsPerGroup(int kind)
{
    switch (kind) {
    case 22: return 20;
    case 27:
    case 31: return 30;
    default: return 0;
    }
}

// Counters.

int ReadCToneListCount(const cmcEeprom& image) { return ReadCounter(&image, EepromMap::CountToneList); }
int CToneListCount() { return ReadCounter(Current(), EepromMap::CountToneList); }
void WriteCToneListCount(cmcEeprom& image, int n) { WriteCounter(&image, EepromMap::CountToneList, n, kToneListMax); }
void SetCToneListCount(int n) { WriteCounter(Current(), EepromMap::CountToneList, n, kToneListMax); }
void IncCToneListCount() { StepCounter(EepromMap::CountToneList, 1, kToneListMax); }
void DecCToneListCount() { StepCounter(EepromMap::CountToneList, -1, kToneListMax); }

int ReadNacChListCount(const cmcEeprom& image) { return ReadCounter(&image, EepromMap::CountNacList); }
int NacChListCount() { return ReadCounter(Current(), EepromMap::CountNacList); }
void WriteNacChListCount(cmcEeprom& image, int n) { WriteCounter(&image, EepromMap::CountNacList, n, kNacListMax); }
void SetNacChListCount(int n) { WriteCounter(Current(), EepromMap::CountNacList, n, kNacListMax); }
void IncNacChListCount() { StepCounter(EepromMap::CountNacList, 1, kNacListMax); }
void DecNacChListCount() { StepCounter(EepromMap::CountNacList, -1, kNacListMax); }

int IndListCount(int kind) { return ReadCounter(Current(), IndCounterAt(kind)); }
void WriteIndListCount(cmcEeprom& image, int n, int kind) { WriteCounter(&image, IndCounterAt(kind), n, kIdListMax); }
void SetIndListCount(int n, int kind) { WriteCounter(Current(), IndCounterAt(kind), n, kIdListMax); }
void IncIndListCount(int kind) { StepCounter(IndCounterAt(kind), 1, kIdListMax); }
void DecIndListCount(int kind) { StepCounter(IndCounterAt(kind), -1, kIdListMax); }

int TgListCount(int kind) { return ReadCounter(Current(), TgCounterAt(kind)); }
void WriteTgListCount(cmcEeprom& image, int n, int kind) { WriteCounter(&image, TgCounterAt(kind), n, kIdListMax); }
void SetTgListCount(int n, int kind) { WriteCounter(Current(), TgCounterAt(kind), n, kIdListMax); }
void IncTgListCount(int kind) { StepCounter(TgCounterAt(kind), 1, kIdListMax); }
void DecTgListCount(int kind) { StepCounter(TgCounterAt(kind), -1, kIdListMax); }

// Multisite sites.

int MultisiteSiteCount()
{
    const cmcEeprom* image = Current();
    return image ? ImageBytes(*image).U8(WorkTables::MultisiteSiteCount) : 0;
}

int IncMultisiteSiteCount()
{
    const int n = MultisiteSiteCount();
    if (!Current() || n >= WorkTables::Sites) return 0;
    ImageBytes(Current()).SetU8(WorkTables::MultisiteSiteCount, n + 1);
    return 1;
}

int DecMultisiteSiteCount()
{
    const int n = MultisiteSiteCount();
    if (!Current() || n <= 0) return 0;
    ImageBytes(Current()).SetU8(WorkTables::MultisiteSiteCount, n - 1);
    return 1;
}

int DeleteMultisiteSite(int s)
{
    const int count = MultisiteSiteCount();
    cmcEeprom* image = Current();
    if (!image || s < 0 || s >= WorkTables::Sites) return count;
    ImageBytes img(image);
    for (int i = s; i < std::min(count, WorkTables::Sites); ++i) {
        if (i + 1 < WorkTables::Sites)
            CopySite(img, i + 1, i);
        else
            ClearSite(img, i);
    }
    return count;
}

void InsertMultisiteSite(int s)
{
    const int count = MultisiteSiteCount();
    cmcEeprom* image = Current();
    if (!image || count >= WorkTables::Sites || s < 0 || s >= WorkTables::Sites) return;
    ImageBytes img(image);
    for (int i = std::min(count, WorkTables::Sites - 2); i >= s; --i) CopySite(img, i, i + 1);
    ClearSite(img, s);
}

int CurrentListRow()
{
    const auto& query = CurrentModelContext().CurrentListRow;
    return query ? query() : 0;
}
