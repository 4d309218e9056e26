#include "cells/CellPopups.h"

namespace {
indCellPopups* g_popups = nullptr;
}

indCellPopups* CellPopups() { return g_popups; }

indCellPopups* SetCellPopups(indCellPopups* popups)
{
    indCellPopups* previous = g_popups;
    g_popups = popups;
    return previous;
}
