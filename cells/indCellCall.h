#pragma once
// The working set of one run of the cell engine: everything the engine's
// stages and the label behaviours share while one cell is evaluated. It
// lives for one call of indActiveCell::Exec; nothing of it outlives the
// call or is shared with another (a modal box inside a call may let sheets
// repaint through nested calls).
#include "cells/CellQueries.h"
#include "core/cmcCellCapsule.h"
#include "model/datCh.h"
#include "model/datKovrAdr.h"

class cmcCellObj;
class cmcEeprom;

class indCellCall {
public:
    // The capsule must carry a cell; the record and the address plan are
    // bound to the working image.
    explicit indCellCall(cmcCellCapsule* capsule);
    indCellCall(const indCellCall&) = delete;
    indCellCall& operator=(const indCellCall&) = delete;

    cmcEeprom& Image() const { return *m_image; }
    // The current group range of a grouped list kind (22, 27 or 31).
    const ListRange& GroupRange(int kind) const;
    // Asks again for the current bank and group ranges and recomputes the
    // row-outside-the-bank flag: a behaviour that created a new channel or
    // list entry in this call then edits it as a row of its list.
    void RefreshRanges();

    cmcCellCapsule* Cap;
    cmcCellObj* Cell;
    datCh Rec;         // the decoded record of (Kind, Index); clear with kind 0
    datKovrAdr Kovr;   // the MSK address plan
    int Kind = 0;
    int Category = 0;
    int Label = 0;
    int Index = 0;
    int UnitIdMax = 0; // the highest unit ID the unit ID cells take
    bool Lmr = false;
    bool Pmr = false;
    bool SecondBank = false;
    ListRange Bank;    // the current bank
    bool RowOutsideBank = false;
    // Of a PMR channel record: MSK signalling on, off, and the "no MSK
    // repeater" flag (all false for other records).
    bool PmrMsk = false;
    bool PmrNoMsk = false;
    bool PmrMskRptNone = false;
    CellChangeScope Scope = csSameLabelAndIndex;
    bool Handled = false;
    CellExecResult Result = erNothing;
    int Value = 0;     // the value a label behaviour hands to a value handler

private:
    cmcEeprom* m_image;
    ListRange m_ltrGroup;       // kind 22
    ListRange m_zephGroup;      // kind 27
    ListRange m_multisiteGroup; // kind 31
};

// The rows a pop-up row command (copy to insert) may touch on the call's
// cell, and the group (bank or repeater group) it works in.
struct RowBounds {
    int First;
    int Last;
    int Group;
};
RowBounds CommandRowBounds(const indCellCall& call, int command);

// What carry up and down of bank rows and multisite site rows move before
// the rows themselves (direction d: -1 up, +1 down): the channels of bank b
// (MoveBankBlock, carried past the neighbour bank's channels within
// 0..upper), the repeaters of group g of kind 22 or 27 (MoveGroupBlock; the
// home repeater bytes of both banks stay), and the repeaters of site s
// (MoveSiteGroupBlock; the home repeater bytes of both sites stay).
void MoveBankBlock(cmcCellCapsule* capsule, cmcEeprom& image, int kind, int upper, int b, int d);
void MoveGroupBlock(cmcCellCapsule* capsule, cmcEeprom& image, int kind, int upper, int g, int d);
void MoveSiteGroupBlock(cmcCellCapsule* capsule, cmcEeprom& image, int kind, int s, int d);
