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

const RecordChoice* FindRecordChoice(std::span<const RecordChoice> rows, int label)
{
    for (const RecordChoice& r : rows)
        if (r.Label == label) return &r;
    return nullptr;
}

bool RunRecordChoice(indCellCall& call, const RecordChoice& row)
{
    if (row.DashesOnFirstRow && call.Index == 0) {
        ShowDashes(call.Cap);
        return false;
    }
    int value = row.Get(call.Rec);
    if (!ChooseFromList(call.Cap, row.Key, value, call.Result)) return false;
    row.Set(call.Rec, value);
    call.Rec.Commit();
    return true;
}

void ShowDashes(cmcCellCapsule* cap) { ShowText(cap, "----"); }
