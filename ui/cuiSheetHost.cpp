#include "ui/cuiSheetHost.h"

#include "core/cmcEeprom.h"
#include "model/ModelContext.h"

#include <utility>

namespace {
constexpr int PmrRecordKind = 2;
} // namespace

cuiSheetHost& CurrentSheetHost()
{
    static cuiSheetHost host;
    return host;
}

namespace sheethost {

bool CustomerMode()
{
    const cuiSheetHost& host = CurrentSheetHost();
    return host.CustomerMode && host.CustomerMode();
}

bool IsPmrModel()
{
    const cuiSheetHost& host = CurrentSheetHost();
    if (host.IsPmrModel) return host.IsPmrModel();
    const ModelContext& model = CurrentModelContext();
    return model.MchRecordKind && model.MchRecordKind() == PmrRecordKind;
}

bool IsLmrModel()
{
    const cuiSheetHost& host = CurrentSheetHost();
    if (host.IsLmrModel) return host.IsLmrModel();
    return !IsPmrModel();
}

int PickerBank()
{
    const cuiSheetHost& host = CurrentSheetHost();
    return host.PickerBank ? host.PickerBank() : 0;
}

bool RowDeleteRunning()
{
    const cuiSheetHost& host = CurrentSheetHost();
    return host.RowDeleteRunning && host.RowDeleteRunning();
}

bool ListPrinting()
{
    const cuiSheetHost& host = CurrentSheetHost();
    return host.ListPrinting && host.ListPrinting();
}

bool ApplicationInactive()
{
    const cuiSheetHost& host = CurrentSheetHost();
    return host.ApplicationInactive && host.ApplicationInactive();
}

void ClearApplicationInactive()
{
    const cuiSheetHost& host = CurrentSheetHost();
    if (host.ClearApplicationInactive) host.ClearApplicationInactive();
}

bool ImageBit(int address, int bit)
{
    const cmcEeprom* image = CurrentModelContext().CurrentImage;
    if (image == nullptr || !image->IsValid(address)) return false;
    return (image->GetByte(address) >> bit & 1) != 0;
}

} // namespace sheethost

ScopedSheetHost::ScopedSheetHost(cuiSheetHost host) : m_previous(std::move(CurrentSheetHost()))
{
    CurrentSheetHost() = std::move(host);
}

ScopedSheetHost::~ScopedSheetHost() { CurrentSheetHost() = std::move(m_previous); }
