#include "cells/indActiveCell.h"

#include <utility>

namespace {
indActiveCell::Behaviour& Override()
{
    static indActiveCell::Behaviour behaviour;
    return behaviour;
}
} // namespace

indActiveCell::~indActiveCell() = default;

indActiveCell::TestOverride::TestOverride(Behaviour behaviour) : m_previous(std::move(Override()))
{
    Override() = std::move(behaviour);
}

indActiveCell::TestOverride::~TestOverride()
{
    Override() = std::move(m_previous);
}

CellExecResult indActiveCell::Exec(cmcCellCapsule* capsule, int notify)
{
    if (Override()) return Override()(capsule, notify);
    // The label behaviours join here with the engine's stages.
    capsule->Text.clear();
    capsule->WarningMark = false;
    capsule->ErrorMark = false;
    return erNothing;
}
