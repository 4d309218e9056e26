#include "core/cmcCellCapsule.h"

#include "core/cmcCellObj.h"
#include "platform/base/Rect.h"
#include "tests/support/TestSupport.h"

#include <vector>

namespace {

// Gives every field but Bank a value that differs from its reset value.
void Fill(cmcCellCapsule& c, cmcCellCapsule* parent, cmcCellObj* cell, plat::Rect* rect, std::vector<int>* log)
{
    c.Parent = parent;
    c.Owner = reinterpret_cast<plat::Control*>(0x10);
    c.Grid = reinterpret_cast<cuiGrid*>(0x20);
    c.Cell = cell;
    c.Canvas = reinterpret_cast<plat::Canvas*>(0x30);
    c.Images = reinterpret_cast<plat::ImageList*>(0x40);
    c.CellRect = rect;
    c.SelStart = 2;
    c.SelLength = 3;
    c.Key = 13;
    c.Command = 117;
    c.EditText = "edited";
    c.Text = "shown";
    c.Focused = true;
    c.Printing = true;
    c.WarningMark = true;
    c.ErrorMark = true;
    c.MarkPlace = mpRightEdge;
    c.Phase = cpPicked;
    c.Jump = 1;
    c.JumpCategory = 2;
    c.JumpLabel = 170;
    c.JumpIndex = 4;
    c.JumpKey = 65;
    c.Sheet = reinterpret_cast<cuiSheet*>(0x50);
    c.RangeFlags = 3;
    c.RangeFirst = 5;
    c.RangeLast = 9;
    c.OnChange = [log](cmcCellCapsule*, CellChangeScope scope) { log->push_back(scope); };
    c.OnEdit = [log](cmcCellCapsule*, int value) { log->push_back(1000 + value); };
}

void ExpectReset(const cmcCellCapsule& c)
{
    EXPECT_EQ(c.Parent, nullptr);
    EXPECT_EQ(c.Owner, nullptr);
    EXPECT_EQ(c.Grid, nullptr);
    EXPECT_EQ(c.Cell, nullptr);
    EXPECT_EQ(c.Canvas, nullptr);
    EXPECT_EQ(c.Images, nullptr);
    EXPECT_EQ(c.CellRect, nullptr);
    EXPECT_EQ(c.SelStart, 0);
    EXPECT_EQ(c.SelLength, 0);
    EXPECT_EQ(c.Key, 0);
    EXPECT_EQ(c.Command, 0);
    EXPECT_EQ(c.EditText, "");
    EXPECT_EQ(c.Text, "");
    EXPECT_FALSE(c.Focused || c.Printing || c.WarningMark || c.ErrorMark);
    EXPECT_EQ(c.MarkPlace, mpByPlacement);
    EXPECT_EQ(c.Phase, cpKeyOrRender);
    EXPECT_EQ(c.Jump, 0);
    EXPECT_EQ(c.JumpCategory, 0);
    EXPECT_EQ(c.JumpLabel, 0);
    EXPECT_EQ(c.JumpIndex, 0);
    EXPECT_EQ(c.JumpKey, 0);
    EXPECT_EQ(c.Sheet, nullptr);
    EXPECT_EQ(c.RangeFlags, 0);
    EXPECT_EQ(c.RangeFirst, 0);
    EXPECT_EQ(c.RangeLast, 0);
    EXPECT_FALSE(c.OnChange);
    EXPECT_FALSE(c.OnEdit);
}

TEST(CellCapsule, ResetKeepsOnlyTheBank)
{
    cmcCellCapsule fresh;
    EXPECT_EQ(fresh.Bank, 0);
    ExpectReset(fresh);

    cmcCellCapsule parent;
    cmcCellObj cell;
    plat::Rect rect{1, 2, 3, 4};
    std::vector<int> log;
    cmcCellCapsule c;
    c.Bank = 17;
    Fill(c, &parent, &cell, &rect, &log);
    c.Reset();
    EXPECT_EQ(c.Bank, 17);
    ExpectReset(c);

    // An engine call with notification after Reset calls nothing.
    c.CallOnChange(0x21);
    c.CallOnEdit(1);
    EXPECT_TRUE(log.empty());
}

TEST(CellCapsule, AssignCopiesEverythingButTheBank)
{
    cmcCellCapsule parent;
    cmcCellObj cell;
    plat::Rect rect{1, 2, 3, 4};
    std::vector<int> log;
    cmcCellCapsule source;
    source.Bank = 5;
    Fill(source, &parent, &cell, &rect, &log);

    cmcCellCapsule copy;
    copy.Bank = 9;
    copy.Assign(source);
    EXPECT_EQ(copy.Bank, 9);
    EXPECT_EQ(copy.Parent, &parent);
    EXPECT_EQ(copy.Owner, source.Owner);
    EXPECT_EQ(copy.Grid, source.Grid);
    EXPECT_EQ(copy.Cell, &cell);
    EXPECT_EQ(copy.Canvas, source.Canvas);
    EXPECT_EQ(copy.Images, source.Images);
    EXPECT_EQ(copy.CellRect, &rect);
    EXPECT_EQ(copy.SelStart, 2);
    EXPECT_EQ(copy.SelLength, 3);
    EXPECT_EQ(copy.Key, 13);
    EXPECT_EQ(copy.Command, 117);
    EXPECT_EQ(copy.EditText, "edited");
    EXPECT_EQ(copy.Text, "shown");
    EXPECT_TRUE(copy.Focused && copy.Printing && copy.WarningMark && copy.ErrorMark);
    EXPECT_EQ(copy.MarkPlace, mpRightEdge);
    EXPECT_EQ(copy.Phase, cpPicked);
    EXPECT_EQ(copy.Jump, 1);
    EXPECT_EQ(copy.JumpCategory, 2);
    EXPECT_EQ(copy.JumpLabel, 170);
    EXPECT_EQ(copy.JumpIndex, 4);
    EXPECT_EQ(copy.JumpKey, 65);
    EXPECT_EQ(copy.Sheet, source.Sheet);
    EXPECT_EQ(copy.RangeFlags, 3);
    EXPECT_EQ(copy.RangeFirst, 5);
    EXPECT_EQ(copy.RangeLast, 9);

    // The texts are the copy's own; the closures are the source's.
    copy.Text = "other";
    copy.EditText += "!";
    EXPECT_EQ(source.Text, "shown");
    EXPECT_EQ(source.EditText, "edited");
    copy.CallOnChange(0x08);
    copy.CallOnEdit(2);
    EXPECT_EQ(log, (std::vector<int>{0x08, 1002}));

    // Single flags are copied one by one, cleared ones too.
    source.Focused = false;
    source.ErrorMark = false;
    copy.Assign(source);
    EXPECT_FALSE(copy.Focused);
    EXPECT_TRUE(copy.Printing);
    EXPECT_TRUE(copy.WarningMark);
    EXPECT_FALSE(copy.ErrorMark);
}

TEST(CellCapsule, ClosuresGetTheCapsuleAndMayResetIt)
{
    cmcCellCapsule c;
    cmcCellCapsule* seen = nullptr;
    int scopeSeen = 0;
    c.OnChange = [&](cmcCellCapsule* capsule, CellChangeScope scope) {
        seen = capsule;
        scopeSeen = scope;
        capsule->Reset(); // destroys the stored closure while it runs
        scopeSeen |= 0x100;
    };
    c.CallOnChange(csSameLabel | csEveryLabelled);
    EXPECT_EQ(seen, &c);
    EXPECT_EQ(scopeSeen, 0x124);
    EXPECT_FALSE(c.OnChange);

    int edits = 0;
    c.OnEdit = [&](cmcCellCapsule* capsule, int) {
        ++edits;
        capsule->OnEdit = nullptr;
    };
    c.CallOnEdit(0);
    c.CallOnEdit(0);
    EXPECT_EQ(edits, 1);
}

} // namespace
