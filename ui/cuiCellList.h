#pragma once
// The cells that a menu or a tree makes for its items and owns: the items
// point at them, and a cell goes when no item points at it any more.
#include "core/cmcCellObj.h"

#include <list>
#include <memory>
#include <unordered_set>

using cuiCellList = std::list<std::unique_ptr<cmcCellObj>>;

// Frees every cell of the list that is not among the used ones.
inline void EraseUnusedCells(cuiCellList& cells, const std::unordered_set<const void*>& used)
{
    cells.remove_if([&used](const std::unique_ptr<cmcCellObj>& cell) { return used.count(cell.get()) == 0; });
}
