#pragma once
// A sheet on a form with a small overlay written in the test and a cell
// handler that renders "v<index>" for every labelled cell and records every
// action.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "platform/ui/Form.h"
#include "tests/support/TestSupport.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sheettest {

// One call of the cell handler that was not a plain render.
struct Action {
    int col = -1; // where the acted cell stands in the grid
    int row = -1;
    int label = 0;
    int index = 0;
    int key = 0;
    int command = 0;
    int phase = 0;
    std::string text;
    int notify = 0;
};

class SheetTest : public ::testing::Test {
protected:
    SheetTest();
    ~SheetTest() override;

    // The three sections of sheet "S" and any further lines (other keys).
    void UseLayout(const std::string& style, const std::string& basic, const std::vector<std::string>& cells,
                   const std::vector<std::string>& more = {});
    // Builds and shows sheet "S" (or another key) on the form.
    cuiSheet& Open(const std::string& key = "S", bool popup = false);
    cuiGrid& Grid() { return *sheet->Grid(); }

    // A double click on the grid at a client point, as the window system
    // delivers it.
    void DoubleClickAt(int x, int y);
    // Cursor as "col,row".
    std::string Cursor();
    // Every row as its cells' display texts, a labelled cell as "#index":
    // "a,#5 / b,#6".
    std::string Dump();

    // The handler's answer to an action (render calls never come here).
    std::function<CellExecResult(cmcCellCapsule* capsule, int notify)> onAction;
    // Overrides the rendered text of a labelled cell.
    std::function<std::string(const cmcCellObj& cell)> renderText;
    std::vector<Action> actions;
    int renders = 0;

    qmtest::ManualTime time;
    // Menus and other views that run cells directly find no cell behaviour:
    // these tests drive only the sheet's own handler above.
    indActiveCell::TestOverride engine{[](cmcCellCapsule* c, int) {
        c->Text.clear();
        return erNothing;
    }};
    cmcEvManHolder events;
    plat::Form form;
    std::unique_ptr<cuiSheet> sheet;
};

} // namespace sheettest
