#include "core/cmcCellCapsule.h"

void cmcCellCapsule::Reset()
{
    const int bank = Bank;
    *this = cmcCellCapsule();
    Bank = bank;
}

void cmcCellCapsule::Assign(const cmcCellCapsule& other)
{
    if (&other == this) return;
    const int bank = Bank;
    *this = other;
    Bank = bank;
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
