#include "model/iuiSh_Common.h"

#include "model/indMain.h"


iuiSh_Common::iuiSh_Common(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex,
                           cmcGTex* texts, const std::string& key, plat::ImageList* images)
    : cuiSheet(parent, origin, focusLabel, focusIndex, texts, key, images)
{
}

iuiSh_Common::~iuiSh_Common() = default;

void iuiSh_Common::ApplyDirective(std::string_view item)
{
    if (item.substr(0, 10) != "Only_Maker") {
        cuiSheet::ApplyDirective(item);
        return;
    }
    const bool makerMode = g_Main != nullptr && g_Main->MakerMode() != 0;
    if (auto n = NumberAfterBlank(item); n && !makerMode) m_skip = *n;
}
