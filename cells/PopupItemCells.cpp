// The items of a sheet cell's pop-up menu (and of the Edit menu, which
// mirrors it). When the menu refreshes, each item's cell runs with the
// sheet cell's capsule as parent; the engine has decoded the parent's row,
// and the item judges whether its row command can act on that row: it
// disables itself (Flag2) or hides itself (Flag1). Clicking an item runs the
// command on the sheet cell instead (the engine's pop-up command stage).
#include "cells/CellFamilies.h"
#include "cells/CellPopups.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/cmcCellObj.h"
#include "model/TableAccess.h"
#include "model/datClipCh.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kHiddenFlag = 1;
constexpr int kDisabledFlag = 2;
// The last entry of the MSK status messages is fixed.
constexpr int kFixedStatusRow = 23;

bool OneOf(int kind, std::initializer_list<int> kinds) { return std::find(kinds.begin(), kinds.end(), kind) != kinds.end(); }

bool Outside(const ListRange& range, int n) { return range.Count == 0 || n < range.First || n > range.Last; }

// The number of entries of a counted list kind; -1 for the other kinds.
int CountOfList(int kind)
{
    switch (kind) {
    case 7: return CToneListCount();
    case 18:
    case 28:
    case 32: return IndListCount(kind);
    case 19:
    case 29:
    case 33: return TgListCount(kind);
    case 20: return NacChListCount();
    case 30: return MultisiteSiteCount();
    default: return -1;
    }
}

// Whether row n lies past the entries of its list, where no row command
// has an entry to act on.
bool PastTheList(const indCellCall& call, int kind, int n)
{
    switch (kind) {
    case 1:
    case 2: return Outside(call.Bank, n);
    case 8:
    case 11: return n == 0;  // the first entry of these lists is fixed
    case 16: return n == kFixedStatusRow;
    case 22:
    case 27:
    case 31: return Outside(call.GroupRange(kind), n);
    default: {
        const int count = CountOfList(kind);
        return count >= 0 && n >= count;
    }
    }
}

void SetState(indCellCall& call, bool disabled, bool hidden)
{
    call.Cell->SetFlag(kDisabledFlag, disabled);
    call.Cell->SetFlag(kHiddenFlag, hidden);
}

// Stands in for the Edit menu when the sheet offers no command: shown only
// when it is the Edit menu's one item.
void NoItemCell(indCellCall& call)
{
    const indCellPopups* windows = CellPopups();
    const int items = windows ? windows->MainMenuSubItemCount(CL_Menu_Edit_Top) : -1;
    SetState(call, true, items != 1);
}

void RowItemCell(indCellCall& call)
{
    SetState(call, PastTheList(call, call.Kind, call.Index), false);
}

void PasteItemCell(indCellCall& call)
{
    const int k = call.Kind;
    const bool held = g_ClipCh && g_ClipCh->HoldsKind(k);
    SetState(call, !held || (k != 16 && PastTheList(call, k, call.Index)), false);
}

void CarryUpItemCell(indCellCall& call)
{
    const int k = call.Kind, n = call.Index;
    bool disabled = n <= datCh::MinIndex(k) || n > datCh::MaxIndex(k);
    if (OneOf(k, {1, 2, 7, 8, 11, 18, 19, 20, 22, 27, 28, 29, 32, 33})) disabled = disabled || PastTheList(call, k, n);
    // Rows move within their bank or repeater group only.
    if (OneOf(k, {1, 2})) disabled = disabled || n == call.Bank.First;
    if (OneOf(k, {22, 27})) disabled = disabled || n == call.GroupRange(k).First;
    SetState(call, disabled, false);
}

void CarryDownItemCell(indCellCall& call)
{
    const int k = call.Kind, n = call.Index;
    bool disabled = n >= datCh::MaxIndex(k) || n < datCh::MinIndex(k);
    if (OneOf(k, {1, 2, 7, 8, 11, 18, 19, 20, 22, 27, 28, 29, 30, 32, 33})) disabled = disabled || PastTheList(call, k, n);
    if (OneOf(k, {1, 2})) disabled = disabled || n == call.Bank.Last;
    if (OneOf(k, {22, 27})) disabled = disabled || n == call.GroupRange(k).Last;
    if (OneOf(k, {7, 18, 19, 20, 28, 29, 30, 32, 33})) disabled = disabled || n == CountOfList(k) - 1;
    SetState(call, disabled, false);
}

constexpr LabelBehaviourEntry kPopupItemCells[] = {
    {CL_PMenu_NoItem, NoItemCell},
    {CL_PMenu_Copy, RowItemCell},
    {CL_PMenu_Paste, PasteItemCell},
    {CL_PMenu_CarryUp, CarryUpItemCell},
    {CL_PMenu_CarryDown, CarryDownItemCell},
    {CL_PMenu_Clear, RowItemCell},
    {CL_PMenu_Delete, RowItemCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> PopupItemCellBehaviours() { return kPopupItemCells; }
