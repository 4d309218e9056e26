#pragma once
// The request and result record of one cell operation: a view fills the
// request fields and hands the capsule to the cell engine, which writes the
// result fields (display text, marks, jump target) and may call the view
// back through the two closures.
#include <functional>
#include <string>

class cmcCellObj;
class cuiGrid;
class cuiSheet;
namespace plat {
class Canvas;
class Control;
class ImageList;
struct Rect;
} // namespace plat

// What a call carries (cmcCellCapsule::Phase).
enum CellPhase : int {
    cpKeyOrRender = 0, // render, or apply the Key or the Command
    cpEditText = 1,    // EditText holds the text typed in the in-place editor
    cpPicked = 2,      // a value was picked in a pop-up sheet; Parent is the picked cell's capsule
};

// The result of running a cell.
enum CellExecResult : int {
    erNothing = 0,     // nothing more to do
    erPopupOpened = 1, // a pop-up editor or window was opened
    erStartEdit = 2,   // start in-place editing with Text, SelStart and SelLength
};

// Which visible cells a view repaints besides the changed cell: any
// combination of the bits below.
using CellChangeScope = int;
enum CellChangeScopeBit : int {
    csSameLabelAndIndex = 0x01,
    csSameCategory = 0x02,
    csSameLabel = 0x04,
    csSameIndex = 0x08,        // when the changed cell has a category and the other a label
    csNeighbourIndex = 0x10,   // same category, index differing by at most 1, other has a label
    csEveryLabelled = 0x20,    // every cell that has a label
    csIndexAtOrAbove = 0x40,   // index >= the changed one's (category / label as 0x08)
    csIndexAtOrBelow = 0x80,   // index <= the changed one's (category / label as 0x08)
};

// Where a view draws a cell's error or warning mark (cmcCellCapsule::MarkPlace).
enum CellMarkPlace : int {
    mpByPlacement = 0, // left edge for a right-aligned cell, else after the text
    mpLeftEdge = 1,
    mpRightEdge = 2,
    mpAfterText = 3,
};

class cmcCellCapsule {
public:
    // Called by the engine at its end when the caller asked for notification
    // and the scope is not 0.
    using ChangeClosure = std::function<void(cmcCellCapsule* capsule, CellChangeScope scope)>;
    // Lets a value handler ask the view to open the in-place editor at once.
    using EditClosure = std::function<void(cmcCellCapsule* capsule, int value)>;

    cmcCellCapsule() = default;
    cmcCellCapsule(const cmcCellCapsule&) = delete;
    ~cmcCellCapsule() = default;

    // Every field but Bank becomes 0, null or empty; both closures unset.
    void Reset();
    // Copies every field but Bank from the other capsule (texts and closures
    // as copies).
    void Assign(const cmcCellCapsule& other);

    // Calls the closure when it is set; an unset closure is never called.
    void CallOnChange(CellChangeScope scope);
    void CallOnEdit(int value);

    // Request.
    cmcCellCapsule* Parent = nullptr;
    int Bank = 0; // kept by Reset and Assign
    plat::Control* Owner = nullptr;
    cuiGrid* Grid = nullptr;        // null: the cell is only evaluated and keys are not applied
    cmcCellObj* Cell = nullptr;
    plat::Canvas* Canvas = nullptr; // set while the cell is drawn
    plat::ImageList* Images = nullptr;
    plat::Rect* CellRect = nullptr;
    // Result: caret and selection for in-place editing of Text.
    int SelStart = 0;
    int SelLength = 0;
    // Request: 0 render only, 8 Backspace, 13 Enter, 32 Space, another
    // printable code starts editing, 256 counts as 13.
    int Key = 0;
    int Command = 0;       // pop-up menu command label (111 to 120), 0 none
    std::string EditText;  // request, phase cpEditText
    std::string Text;      // result: the display text
    // Flags: Focused and Printing from the caller, the marks from the engine.
    bool Focused = false;
    bool Printing = false;
    bool WarningMark = false;
    bool ErrorMark = false;
    int MarkPlace = mpByPlacement;
    int Phase = cpKeyOrRender;
    // Result: a cell to move to and the key to replay there.
    int Jump = 0;
    int JumpCategory = 0;
    int JumpLabel = 0;
    int JumpIndex = 0;
    int JumpKey = 0;
    cuiSheet* Sheet = nullptr;
    // Both ways: bit 0 a row range RangeFirst to RangeLast is selected (the
    // engine sets it when it moves rows), bit 1 select the range again.
    int RangeFlags = 0;
    int RangeFirst = 0;
    int RangeLast = 0;
    ChangeClosure OnChange;
    EditClosure OnEdit;

private:
    // Copies every field; Reset and Assign keep Bank around it.
    cmcCellCapsule& operator=(const cmcCellCapsule&) = default;
};
