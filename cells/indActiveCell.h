#pragma once
// The cell behaviour engine: the one entry through which every view (sheet,
// menu, tool bar, tree, pop-up editor) runs a cell. A view fills a capsule
// and calls Exec; the engine writes the display text and marks, applies a
// key, an edited text, a picked value or a pop-up command to the working
// image, and tells the view what to repaint through the capsule's OnChange
// when notify is 1.
#include "core/cmcCellCapsule.h"

#include <functional>

class indActiveCell {
public:
    indActiveCell() = default;
    ~indActiveCell();
    indActiveCell(const indActiveCell&) = delete;
    indActiveCell& operator=(const indActiveCell&) = delete;

    // Runs the cell of the capsule. notify 1 lets the engine call
    // capsule->OnChange at its end with the cells to repaint.
    CellExecResult Exec(cmcCellCapsule* capsule, int notify);

    // The marks of any cell, evaluated without a key on a temporary cell
    // (the capsule's bank is the bank of channel index + 1): error and
    // warning bit.
    static void EvaluateCellMarks(int category, int label, int index, bool& error, bool& warning);
    static bool CellError(int category, int label, int index);
    static bool CellWarning(int category, int label, int index);

    // Tests of views put their own behaviour in place of every engine's Exec
    // for the life of the guard (guards nest; the newest one answers).
    using Behaviour = std::function<CellExecResult(cmcCellCapsule* capsule, int notify)>;
    class TestOverride {
    public:
        explicit TestOverride(Behaviour behaviour);
        ~TestOverride();
        TestOverride(const TestOverride&) = delete;
        TestOverride& operator=(const TestOverride&) = delete;

    private:
        Behaviour m_previous;
    };
};
