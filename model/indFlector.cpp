#include "model/indFlector.h"

#include "model/iuiSh_Mch.h"

indFlector::indFlector(const cmcCellCapsule& origin, int focusLabel, int focusIndex, cmcGTex* texts,
                       const std::string& key, const std::string& code)
    : cuiFlector(origin, focusLabel, focusIndex, texts, key,
                 [&code](plat::Container* window, const cmcCellCapsule& from, int label, int index, cmcGTex* table,
                         const std::string& sheetKey, plat::ImageList* images) -> std::unique_ptr<cuiSheet> {
                     auto sheet = std::make_unique<iuiSh_Mch>(window, &from, label, index, table, sheetKey, images);
                     // The code's letter chooses the list before the sheet is built.
                     sheet->SetCode(code);
                     return sheet;
                 })
{
}

indFlector::~indFlector() = default;
