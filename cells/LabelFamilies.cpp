// The label families whose behaviours are built. Each family keeps its
// labels in a table of its own; add the table here when the family joins.
#include "cells/CellFamilies.h"
#include "cells/LabelDispatch.h"

std::vector<std::span<const LabelBehaviourEntry>> LabelFamilies()
{
    return {
        SelectorCellBehaviours(),
        CheckCellBehaviours(),
        PopupItemCellBehaviours(),
        BankCellBehaviours(),
        ChannelCellBehaviours(),
        CloneInfoCellBehaviours(),
        CommandCellBehaviours(),
        DebugCellBehaviours(),
        MakerCellBehaviours(),
        DigitalListCellBehaviours(),
        KeyCellBehaviours(),
        DigitalOptionCellBehaviours(),
        ExtendedCellBehaviours(),
        DtmfToneCellBehaviours(),
        ToneCodeCellBehaviours(),
        MdcCellBehaviours(),
        MskCellBehaviours(),
        RailroadCellBehaviours(),
        CommonSettingCellBehaviours(),
        ScanCellBehaviours(),
        UserSetModeCellBehaviours(),
        FurtherSettingCellBehaviours(),
        TrunkCellBehaviours(),
        RepeaterCellBehaviours(),
        MultisiteCellBehaviours(),
    };
}
