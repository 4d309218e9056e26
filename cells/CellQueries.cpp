#include "cells/CellQueries.h"

#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "model/EepromMap.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "model/indMain.h"
#include "platform/base/Fatal.h"

#include <cstdint>

namespace {

// Record kinds by category; the channel categories are -1 (model type).
constexpr int kChannelKind = -1;
constexpr int kKindOfCategory[CT_NoCategory + 1] = {
    0,  0,  kChannelKind, kChannelKind, 3,  4,  5,  6,  7,  8,  9,  11, 12, 10, 13, 0,  14, 15, 16, 17, 0,
    0,  18, 19,           0,            20, 21, 22, 0,  23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 0,
};
static_assert(kKindOfCategory[CT_2Tone_Code] == 11 && kKindOfCategory[CT_UserTone] == 10 &&
              kKindOfCategory[CT_BankOp] == 13 && kKindOfCategory[CT_Rpt] == 22 && kKindOfCategory[CT_CHGRP] == 34);

int FirstAnswer(int event)
{
    if (!g_EvMan) return 0;
    std::unique_ptr<cmcEvAns> answers = g_EvMan->Query(event, 0, 0);
    return answers ? answers->value : 0;
}

}  // namespace

int RecordKindOfCategory(int category)
{
    if (category < 0 || category > CT_NoCategory)
        plat::Fatal("Unknown Cell Category. (" + std::to_string(category) + ")");
    const int kind = kKindOfCategory[category];
    return kind == kChannelKind ? MchRecordKind() : kind;
}

CellExecResult ExecCellKey(cmcCellObj* cell, int key)
{
    if (!cell) return erNothing;
    cmcCellCapsule capsule;
    capsule.Cell = cell;
    capsule.Key = key;
    return indActiveCell().Exec(&capsule, 0);
}

std::string GetCellText(cmcCellObj* cell, int key)
{
    if (!cell) return {};
    cmcCellCapsule capsule;
    capsule.Cell = cell;
    capsule.Key = key;
    indActiveCell().Exec(&capsule, 0);
    return capsule.Text;
}

int QueryCurrentBankNumber() { return FirstAnswer(ev::QueryCurrentBank); }
int QueryCurrentListGroup() { return FirstAnswer(ev::QueryListGroup); }

bool IsBankIndex(int b) { return b >= 0 && b < WorkTables::Banks; }

ListRange GetBankRange(int b)
{
    if (!IsBankIndex(b)) return {};
    return {b, BankFirstChannel(b), BankLastChannel(b), BankChannelCount(b)};
}

ListRange GetCurrentBankRange()
{
    if (!g_EvMan) return {};
    std::unique_ptr<cmcEvAns> answers = g_EvMan->Query(ev::QueryCurrentBank, 0, 0);
    return answers ? GetBankRange(answers->value) : ListRange{};
}

ListRange GetGroupRange(int g, int kind)
{
    if (!IsValidGroup(g, kind)) return {};
    return {g, GroupFirstItem(g, kind), GroupLastItem(g, kind), GroupItemCount(g, kind)};
}

ListRange GetCurrentGroupRange(int kind)
{
    if (!g_EvMan) return {};
    std::unique_ptr<cmcEvAns> answers = g_EvMan->Query(ev::QueryListGroup, 0, 0);
    return answers ? GetGroupRange(answers->value, kind) : ListRange{};
}

int ReadBankCount(const cmcEeprom& image, int b)
{
    if (!IsBankIndex(b)) return 0;
    return ImageBytes(image).U16(WorkTables::BankCounts + 2 * b);
}

bool SecondBankUsed(const cmcEeprom& image) { return ReadBankCount(image, 1) != 0; }

bool SetBankFreeMode(cmcEeprom& /*image*/, bool /*on*/, bool /*lmr*/) { return true; }

bool ChannelMemoryFits(const cmcEeprom& image, int category, int n, int bank, bool strict)
{
    const ImageBytes header(image);
    const int64_t limit = strict ? CloneBudget::StrictLimit : CloneBudget::Limit;
    // An end from its 32-bit form, or the 16-bit form when that is 0; the
    // free space before the limit, 0 when both forms are 0.
    auto freeBefore = [&](int at32, int at16) -> int64_t {
        const int64_t end32 = header.U32(at32);
        const int64_t end16 = header.U16(at16);
        if (end32 == 0 && end16 == 0) return 0;
        return limit - (end32 != 0 ? end32 : end16);
    };
    const int64_t freeFirst = freeBefore(EepromMap::End32PartA, EepromMap::End16PartA);
    const int64_t freeWhole = freeBefore(EepromMap::End32, EepromMap::End16);

    const int64_t items = n;
    int64_t growthFirst = 0, growthRest = 0;
    bool firstPartOk = true;
    switch (category) {
    case CT_Mch:
        if (bank == WorkTables::Banks - 1) {
            growthFirst = 71 * items;
        } else {
            growthFirst = 30 * items;
            growthRest = 41 * items;
        }
        firstPartOk = freeFirst > growthFirst;
        break;
    case CT_Rpt:
    case CT_ZEPH_Rpt: growthRest = 10 * items; firstPartOk = freeFirst > 0; break;
    case CT_CTone:
    case CT_DIG_NacCh: growthRest = 4 * items; firstPartOk = freeFirst > 0; break;
    case CT_DIG_Inv:
    case CT_ZEPH_Inv: growthRest = 16 * items; firstPartOk = freeFirst > 0; break;
    case CT_DIG_Tg:
    case CT_ZEPH_Tg: growthRest = 14 * items; firstPartOk = freeFirst > 0; break;
    case CT_Multisite_Inv: growthRest = 17 * items; firstPartOk = freeFirst > 0; break;
    case CT_Multisite_Tg: growthRest = 15 * items; firstPartOk = freeFirst > 0; break;
    default: break;
    }
    const int64_t left = freeWhole - growthFirst;
    return firstPartOk && left >= 0 && growthRest <= left;
}

bool ItemsFit(int category, int n, int bank)
{
    if (!g_Main) return false;
    return ChannelMemoryFits(g_Main->CurrentImage(), category, n, bank, false);
}

int MaxItemsThatFit(int category, int n, int bank)
{
    for (int m = n; m >= 0; --m)
        if (ItemsFit(category, m, bank)) return m;
    return -1;
}

int MaxItemsThatFitPacked(int category, int n, int bank)
{
    if (!g_Main) return -1;
    cmcEeprom scratch(g_Main->CurrentImage());
    if (g_Main->PackWithLayoutFlag(scratch, true, false, true) != 0) return 0;
    for (int m = n; m >= 0; --m)
        if (ChannelMemoryFits(scratch, category, m, bank, true)) return m;
    return -1;
}
