#include "model/indMain.h"

#include "cells/CellQueries.h"
#include "cells/ValueHandlers.h"
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "model/indEnviron.h"

indMain* g_Main = nullptr;

namespace {

constexpr int kModelCode = 0x7143;
constexpr int kSecondModelCode = 0x7148;

ModelContext MakeContext(indMain* main)
{
    ModelContext context;
    context.CurrentImage = &main->CurrentImage();
    context.CurrentListRow = [] { return QueryCurrentListGroup(); };
    context.MchRecordKind = [] { return MchRecordKind(); };
    context.PriorityRemoval = [] { return g_Environ ? g_Environ->PriorityRemoval != 0 : true; };
    context.RotaryLimit = [] { return g_Environ ? g_Environ->RotaryLimit != 0 : true; };
    context.KeyCRemoval = [] { return g_Environ ? g_Environ->KeyCRemoval != 0 : false; };
    context.InitialImage = &main->InitialImage();
    // All zeros until the first identification, as the data layer expects.
    context.IdentityPayload = main->IdentityPayload().data();
    context.SerialNumber = [main] { return main->SerialNumber(); };
    return context;
}

} // namespace

indMain::indMain() : cuiMain("QM7148H", EepromMap::ImageSize), m_context(MakeContext(this))
{
    InitModelInfo();
}

indMain::~indMain() = default;

void indMain::InitModelInfo()
{
    cuiMain::InitModelInfo();
    m_modelCode = kModelCode;
    m_secondModelCode = kSecondModelCode;
    m_subCode = 0;
    m_variant = false;
    m_identified = false;
}

// Waits for the help feature: the lookup of a cell's help context in the
// help overlay's topic and context tables is not built yet, so every cell
// has no context (0), which the engine passes on as it is.
int indMain::HelpContextId(const cmcCellCapsule& /*capsule*/)
{
    return 0;
}

indMainHolder::indMainHolder() : m_previous(g_Main)
{
    g_Main = &m_main;
}

indMainHolder::~indMainHolder()
{
    g_Main = m_previous;
}
