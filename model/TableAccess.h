#pragma once
// Accessors of the structures that many parts of the program walk in the
// working tables: the bank channel counts and bank types, the grouped
// repeater lists, the list counters and the multisite sites. A function
// without an image argument works on the main object's current working image
// (ModelContext); without one it reads 0 and writes nothing.
class cmcEeprom;

namespace WorkTables {
constexpr int Banks = 128;
constexpr int Channels = 512;
constexpr int Sites = 48;               // multisite sites
constexpr int SiteRecords = 30;         // repeater records per site
constexpr int SiteRecordSize = 10;
constexpr int BankCounts = 175790;      // 128 x 16 bits
constexpr int SmarTrunkBanks = 175654;  // 128 bits each
constexpr int LtrBanks = 176046;
constexpr int VoteZoneBanks = 176072;
constexpr int ZephBanks = 176088;
constexpr int MultisiteBanks = 303572;
constexpr int LtrGroupCounts = 204846;        // kind 22, 128 bytes
constexpr int ZephGroupCounts = 242938;       // kind 27, 128 bytes
constexpr int MultisiteGroupCounts = 148184;  // kind 31, 48 bytes
constexpr int MultisiteSiteCount = 148232;
constexpr int MultisiteRepeaters = 148246;  // 48 sites x 30 records x 10 bytes
}  // namespace WorkTables

// Banks and channels.
int BankChannelCount(int b);
int ReadBankChannelCount(const cmcEeprom& image, int b);
int SetBankChannelCount(int b, int n);
int BankFirstChannel(int b);
int BankFirstChannelInImage(const cmcEeprom& image, int b);
int BankLastChannel(int b);
int UsedChannelCount();
int UsedChannelCountInImage(const cmcEeprom& image);
int BankOfChannelNumber(int n);
// The bank that holds the channel at 0-based `index`, walking the stored
// counts; WorkTables::Banks when the counts end before it.
int BankOfChannelInImage(const cmcEeprom& image, int index);

bool IsSmarTrunkBank(int b);
bool IsLtrBank(int b);
bool IsVoteZoneBank(int b);
bool IsZephBank(int b);
bool IsMultisiteBank(int b);
bool SetSmarTrunkBank(int b, int on);
bool SetLtrBank(int b, int on);
bool SetVoteZoneBank(int b, int on);
bool SetZephBank(int b, int on);
bool SetMultisiteBank(int b, int on);

int BankActiveChannelCount(int b);
int ActiveChannelCount();
int BankLastUsedPosition(int b);

int NonEmptyBankCount();
int NthNonEmptyBank(int n);
int UsedBankCount();
int NthUsedBank(int n);
int NonVoteBankCount();
int NthNonVoteBank(int n);
int CountBanksOfGroup(int g);
int NthBankOfGroup(int n, int g);

// Grouped lists (kinds 22, 27 and 31).
bool IsValidGroup(int g, int kind);
int GroupItemCount(int g, int kind);
int ReadGroupItemCount(const cmcEeprom& image, int g, int kind);
int SetGroupItemCount(int g, int n, int kind);
int CountGroupItems(int g, int any, int kind);
int GroupFirstItem(int g, int kind);
int GroupLastItem(int g, int kind);
int ListItemTotal(int kind);
int GroupOfItem(int i, int kind);
int ItemPositionInGroup(int i, int kind);
int ItemsPerGroup(int kind);

// List counters. Writers keep the count within 0 and the list's size; adding
// and subtracting stop there instead of wrapping.
int ReadCToneListCount(const cmcEeprom& image);
int CToneListCount();
void WriteCToneListCount(cmcEeprom& image, int n);
void SetCToneListCount(int n);
void IncCToneListCount();
void DecCToneListCount();

int ReadNacChListCount(const cmcEeprom& image);
int NacChListCount();
void WriteNacChListCount(cmcEeprom& image, int n);
void SetNacChListCount(int n);
void IncNacChListCount();
void DecNacChListCount();

int IndListCount(int kind);
void WriteIndListCount(cmcEeprom& image, int n, int kind);
void SetIndListCount(int n, int kind);
void IncIndListCount(int kind);
void DecIndListCount(int kind);

int TgListCount(int kind);
void WriteTgListCount(cmcEeprom& image, int n, int kind);
void SetTgListCount(int n, int kind);
void IncTgListCount(int kind);
void DecTgListCount(int kind);

// Multisite sites.
int MultisiteSiteCount();
int IncMultisiteSiteCount();
int DecMultisiteSiteCount();
int DeleteMultisiteSite(int s);
// Opens an empty site at position s (30 cleared records, item count 0);
// does nothing when 48 sites are in use or s is not a site position.
void InsertMultisiteSite(int s);

// The group that the open list sheet shows; 0 when nobody answers.
int CurrentListRow();
