#pragma once
// Cells that show and edit one field of the call's decoded record (rather
// than bytes of the working image): a family lists such fields as rows and
// runs them through RunRecordField.
#include "cells/indCellCall.h"

#include <span>

// A real-valued record field (a tone frequency or period) as the integer
// that value handlers edit: halves are taken away from zero, so that what is
// stored, saved and read back is the value shown.
int RoundHalfAway(double value);

// A field of the call's decoded record: a choice of the list Key, or
// without a list a number Min..Max (Space and Backspace wrap). A change is
// stored with datCh::Commit.
struct RecordField {
    int Label;
    const char* Key;
    int (*Get)(const datCh&);
    void (*Set)(datCh&, int);
    bool DashesOnFirstRow = false;  // the sheet's first row (index 0) has no such field
    int Min = 0;
    int Max = 0;
};

#define RECORD_FIELD(expr) \
    [](const datCh& r) { return int(r.expr); }, [](datCh& r, int v) { r.expr = decltype(r.expr)(v); }

const RecordField* FindRecordField(std::span<const RecordField> rows, int label);
// Shows the field and applies the call's input; true when it changed.
bool RunRecordField(indCellCall& call, const RecordField& row);

// "----": the cell has no value here and takes no input.
void ShowDashes(cmcCellCapsule* cap);
