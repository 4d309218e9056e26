#pragma once
// The sheet for the settings pages that depend on the radio's mode: a plain
// sheet whose layout may also keep lines for the maker mode only
// ("Only_Maker" n leaves the next n lines out unless the maker mode is on).
#include "ui/cuiSheet.h"

class iuiSh_Common : public cuiSheet {
public:
    iuiSh_Common(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex,
                 cmcGTex* texts, const std::string& key, plat::ImageList* images);
    ~iuiSh_Common() override;

    void ApplyDirective(std::string_view item) override;
};
