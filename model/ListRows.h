#pragma once
// The row commands of list sheets: copy, paste, carry up and down, clear,
// delete and insert of the rows of one list, with every reference to the
// list's items renumbered.
#include "model/datCh.h"

class cmcCellCapsule;

// Carries out the capsule's command (CL_PMenu_Copy to CL_PMenu_Insert) on the rows of the record's
// kind within first..last (group: the bank or repeater group of the rows),
// reloads the record and returns it.
datCh& RunRowCommand(cmcCellCapsule* capsule, datCh& record, int first, int last, int group);
// Moves the selected rows (RangeFirst..RangeLast when RangeFlags bit 0 is
// set, else the record's row) one row up (direction -1) or down (+1) within
// first..last, renumbering every reference, and selects them again.
void CarryRows(cmcCellCapsule* capsule, datCh& record, int first, int last, int direction);
