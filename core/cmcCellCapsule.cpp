#include "core/cmcCellCapsule.h"

void cmcCellCapsule::Reset()
{
    Parent = nullptr;
    Owner = nullptr;
    Grid = nullptr;
    Cell = nullptr;
    Canvas = nullptr;
    Images = nullptr;
    CellRect = nullptr;
    SelStart = 0;
    SelLength = 0;
    Key = 0;
    Command = 0;
    EditText.clear();
    Text.clear();
    Focused = false;
    Printing = false;
    WarningMark = false;
    ErrorMark = false;
    MarkPlace = mpByPlacement;
    Phase = cpKeyOrRender;
    Jump = 0;
    JumpCategory = 0;
    JumpLabel = 0;
    JumpIndex = 0;
    JumpKey = 0;
    Sheet = nullptr;
    RangeFlags = 0;
    RangeFirst = 0;
    RangeLast = 0;
    OnChange = nullptr;
    OnEdit = nullptr;
}

void cmcCellCapsule::Assign(const cmcCellCapsule& other)
{
    if (&other == this) return;
    Parent = other.Parent;
    Owner = other.Owner;
    Grid = other.Grid;
    Cell = other.Cell;
    Canvas = other.Canvas;
    Images = other.Images;
    CellRect = other.CellRect;
    SelStart = other.SelStart;
    SelLength = other.SelLength;
    Key = other.Key;
    Command = other.Command;
    EditText = other.EditText;
    Text = other.Text;
    Focused = other.Focused;
    Printing = other.Printing;
    WarningMark = other.WarningMark;
    ErrorMark = other.ErrorMark;
    MarkPlace = other.MarkPlace;
    Phase = other.Phase;
    Jump = other.Jump;
    JumpCategory = other.JumpCategory;
    JumpLabel = other.JumpLabel;
    JumpIndex = other.JumpIndex;
    JumpKey = other.JumpKey;
    Sheet = other.Sheet;
    RangeFlags = other.RangeFlags;
    RangeFirst = other.RangeFirst;
    RangeLast = other.RangeLast;
    OnChange = other.OnChange;
    OnEdit = other.OnEdit;
}

// The closures are called through a copy: the callee may reset or reuse the
// capsule, which must not destroy the function that is running.
void cmcCellCapsule::CallOnChange(CellChangeScope scope)
{
    if (!OnChange) return;
    ChangeClosure call = OnChange;
    call(this, scope);
}

void cmcCellCapsule::CallOnEdit(int value)
{
    if (!OnEdit) return;
    EditClosure call = OnEdit;
    call(this, value);
}
