// WAITING FOR THE LIST-ROW OPERATIONS: the row commands and their
// renumbering of references are built with the list sheets. Until then a
// row command changes nothing; the cell engine already computes the rows a
// command may touch, calls these functions and packs the tables after them.
#include "model/ListRows.h"

datCh& RunRowCommand(cmcCellCapsule* /*capsule*/, datCh& record, int /*first*/, int /*last*/, int /*group*/)
{
    return record.Reload();
}

void CarryRows(cmcCellCapsule* /*capsule*/, datCh& /*record*/, int /*first*/, int /*last*/, int /*direction*/) {}
