#include "cells/RecordFields.h"

#include "cells/HandlerSupport.h"
#include "cells/ValueHandlers.h"

#include <algorithm>
#include <cmath>

int RoundHalfAway(double value)
{
    if (!std::isfinite(value)) return 0;
    return int(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

const RecordField* FindRecordField(std::span<const RecordField> rows, int label)
{
    for (const RecordField& r : rows)
        if (r.Label == label) return &r;
    return nullptr;
}

bool RunRecordField(indCellCall& call, const RecordField& row)
{
    if (row.DashesOnFirstRow && call.Index == 0) {
        ShowDashes(call.Cap);
        return false;
    }
    int value = row.Get(call.Rec);
    const int changed = row.Key ? ChooseFromList(call.Cap, row.Key, value, call.Result)
                                : EditIntWrap(call.Cap, value, row.Min, row.Max, call.Result);
    if (!changed) return false;
    row.Set(call.Rec, value);
    call.Rec.Commit();
    return true;
}

void ShowDashes(cmcCellCapsule* cap) { ShowText(cap, "----"); }
