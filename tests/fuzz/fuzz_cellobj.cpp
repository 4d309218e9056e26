// The cell definitions parser: any bytes as a row text, parsed cell by cell,
// each cell on the one before it as its base (or on none, or skipped, as the
// first bytes choose), with counter slots that start at edge values. A row
// must always get shorter; a configuration fault ends the row.
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "tests/fuzz/FuzzSupport.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    // Cell models, one that refers to itself among them.
    g_GTex.OpenOverlayLines({
        "#CellModel_Edit",
        "<B(Color=clWindow)(Font=,Arial,,%120)",
        "#CellModel_Ref",
        "(%CT_Mch.CL_Null[@ch1]:x)(@ch1++)($Edit)",
        "#CellModel_Loop",
        "!W($Loop)",
        "#End_Of_Ovl",
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qmfuzz::Input in(data, size);
    const uint8_t mode = in.Byte();     // bit 0: chain the bases; bit 1: no counter slots
    const uint8_t skipped = in.Byte();  // bit n % 8: cell n is skipped
    std::string row(in.Rest());

    CellCounters counters = {0, 1, -1, INT_MAX, INT_MIN, 999999, -999999, 7, 1234567, 0};
    std::vector<std::unique_ptr<cmcCellObj>> cells;
    try {
        for (int n = 0; n < 64; ++n) {
            const cmcCellObj* base = (mode & 1) != 0 && !cells.empty() ? cells.back().get() : nullptr;
            const bool skip = (skipped >> (n % 8) & 1) != 0;
            auto cell = std::make_unique<cmcCellObj>();
            std::string rest = cmcCellObj::ParseCell(cell.get(), row, (mode & 2) != 0 ? nullptr : &counters, base, skip);
            qmfuzz::Require(rest.size() < row.size() || row.empty(), "a cell that does not shorten its row");
            cell->FindPopupMenu();
            cmcCellObj copy(*cell);
            qmfuzz::Require(copy.GetText() == cell->GetText() && copy.Index == cell->Index, "a copy that differs");
            cells.push_back(std::move(cell));
            if (rest.empty()) break;
            row = std::move(rest);
        }
    } catch (const plat::FatalError&) {
        // A configuration fault of the overlay: the program ends here.
    }
    return 0;
}
