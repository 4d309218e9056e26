#pragma once
// Small operations around the cell engine: running a cell once from outside
// a sheet (a tree node, the text of a cell, the marks of another cell), the
// record kind that belongs to a cell category, the bank and group ranges of
// the open sheet, the bank count readers and the budget check that tells
// whether more channels or list entries still fit into the clone memory.
#include "core/cmcCellCapsule.h"

#include <string>

class cmcCellObj;
class cmcEeprom;

// One bank of channels or one group of a grouped list: {group, first item,
// last item, item count}; all 0 for an invalid bank or group, or when nobody
// answers the query for the current one.
struct ListRange {
    int Group = 0;
    int First = 0;
    int Last = 0;
    int Count = 0;
    bool operator==(const ListRange&) const = default;
};

// The item record kind that the engine decodes for a cell of the category
// (0 for categories without records; the channel categories follow the
// model type). A category outside the table is a fatal fault.
int RecordKindOfCategory(int category);

// Run the engine once on a fresh capsule that carries only the cell and the
// key (no grid, no canvas, notify 0): the result, or the display text. A
// missing cell gives 0 or "".
CellExecResult ExecCellKey(cmcCellObj* cell, int key);
std::string GetCellText(cmcCellObj* cell, int key);

// The first answer to the query of the current bank (event QueryCurrentBank)
// and of the group the open list sheet shows (QueryListGroup); 0 when
// nobody answers.
int QueryCurrentBankNumber();
int QueryCurrentListGroup();

bool IsBankIndex(int b);
ListRange GetBankRange(int b);
ListRange GetCurrentBankRange();
// Kinds 22, 27 and 31.
ListRange GetGroupRange(int g, int kind);
ListRange GetCurrentGroupRange(int kind);

// The channel count of bank b of the image; 0 for an invalid bank.
int ReadBankCount(const cmcEeprom& image, int b);
// True when bank 1 of the image holds channels.
bool SecondBankUsed(const cmcEeprom& image);
// The model keeps no bank-free setting: the change is accepted and nothing
// is stored.
bool SetBankFreeMode(cmcEeprom& image, bool on, bool lmr);

// The clone-memory budget. The first part of the packed tables must stay
// below the limit of the radio's 16-bit addressing; strict uses that limit
// for the whole as well (older radios).
namespace CloneBudget {
constexpr int StrictLimit = 0xFF7F;
constexpr int Limit = 0x1FF7F;
}  // namespace CloneBudget

// True when n more items of the category (channels of the bank for the
// channel categories) still fit into the image's clone memory.
bool ChannelMemoryFits(const cmcEeprom& image, int category, int n, int bank, bool strict);
// ChannelMemoryFits on the working image, not strict.
bool ItemsFit(int category, int n, int bank);
// The largest m from n down to 0 that fits; -1 when none does (or n < 0).
int MaxItemsThatFit(int category, int n, int bank);
// The same on a scratch copy of the working image packed for the radio in
// the legacy layout, strict: 0 when that packing overflows.
int MaxItemsThatFitPacked(int category, int n, int bank);
