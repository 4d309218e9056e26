#pragma once
// Cells that show and edit one field of the call's decoded record (rather
// than bytes of the working image): a family lists its choice fields as
// rows and runs them through RunRecordChoice, which stores a change with
// datCh::Commit.
#include "cells/indCellCall.h"

#include <span>

// A real-valued record field (a tone frequency or period) as the integer
// that value handlers edit: halves are taken away from zero, so that what is
// stored, saved and read back is the value shown.
int RoundHalfAway(double value);

// A choice field of the call's decoded record, stored with datCh::Commit.
struct RecordChoice {
    int Label;
    const char* Key;
    int (*Get)(const datCh&);
    void (*Set)(datCh&, int);
    bool DashesOnFirstRow = false;  // the sheet's first row (index 0) has no such field
};

#define RECORD_FIELD(expr) \
    [](const datCh& r) { return int(r.expr); }, [](datCh& r, int v) { r.expr = decltype(r.expr)(v); }

const RecordChoice* FindRecordChoice(std::span<const RecordChoice> rows, int label);
// Shows the choice and applies the call's input; true when it changed.
bool RunRecordChoice(indCellCall& call, const RecordChoice& row);

// "----": the cell has no value here and takes no input.
void ShowDashes(cmcCellCapsule* cap);
