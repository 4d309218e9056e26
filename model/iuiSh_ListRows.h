#pragma once
// What the model's sheets of lists share (the list sheet and the bank
// channel sheet): one overlay row that a bare "LoopFrom" repeats once per
// item of a list of the radio data, plus one empty row where a new item is
// typed; cells prepared for PreparedRows grid rows, so that rows are added
// and removed one at a time without a rebuild; and hidden (zero-width)
// columns that the cursor never takes.
//
// The loop row's cells count from the list's first item through counter
// slot 0 ("[@ch0]"); the prepared rows below the last grid row copy the row
// above with their indices one higher, so the list's loop must be the last
// row of the sheet.
#include "ui/cuiSheet.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class iuiSh_ListRows : public cuiSheet {
public:
    static constexpr int PreparedRows = 522;

    // The grid row at which the list loop begins; -1 until a bare "LoopFrom"
    // was applied.
    int LoopRow() const { return m_loopRow; }
    // The item that the loop's first row shows.
    int FirstItem() const { return m_firstItem; }

protected:
    iuiSh_ListRows(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex,
                   cmcGTex* texts, const std::string& key, plat::ImageList* images);

    // The base's cells, in slots for PreparedRows rows: each row below the
    // grid's last one is a copy of the row above, its indices one higher,
    // its multi-selection bits those of the row above.
    void LoadCells() override;
    // The base's rows, but every row may be marked in multi-selection except
    // the loop's last row (the empty row).
    void ParseRows(const std::string& cellsKey) override;
    void OnBuildRow(int row) override;
    void OnBuildCell(int col, int row) override;

    // Whether the directive item is a bare "LoopFrom" (without a blank).
    static bool IsBareLoopFrom(std::string_view item);
    // Opens the list loop at the current line. count: the rows it shows
    // (none: the loop is not expanded). With lastNotMarkable the loop's last
    // row may not be marked in multi-selection. The first loop sets the loop
    // row.
    void OpenListLoop(std::optional<int> count, bool lastNotMarkable);
    // Every cell of a column of width 0 loses S: the cursor never rests in a
    // hidden column.
    void DeselectHiddenColumns();

    // One more grid row: the empty row becomes an item row and the prepared
    // row below it the new empty row. False when no prepared row is left.
    bool AddRow();
    // The grid loses its last row (the empty row): the last item row becomes
    // the empty row. False when only the empty row is left.
    bool RemoveRow();

    int m_loopRow = -1;
    int m_firstItem = 0;

private:
    std::vector<int> m_notMarkableRows;
};
