#include "model/indModelSheets.h"

#include "model/iuiSh_ChBank.h"
#include "model/iuiSh_Common.h"
#include "model/iuiSh_Mch.h"
#include "ui/cuiMain.h"

namespace {

template <typename Sheet>
cuiMain::SheetMaker MakerOf()
{
    return [](plat::Container* parent, cmcGTex* texts, const std::string& key,
              plat::ImageList* images) -> std::unique_ptr<cuiSheet> {
        return std::make_unique<Sheet>(parent, nullptr, 0, 0, texts, key, images);
    };
}

} // namespace

void InstallModelSheetMakers(cuiMain& main)
{
    main.SetSheetMaker(cuiMain::SheetClass::ChBank, MakerOf<iuiSh_ChBank>());
    main.SetSheetMaker(cuiMain::SheetClass::Common, MakerOf<iuiSh_Common>());
    main.SetSheetMaker(cuiMain::SheetClass::List, MakerOf<iuiSh_Mch>());
}
