#pragma once
// The model's drop-down pick list: the borderless pop-up of cuiFlector with
// a list sheet (iuiSh_Mch) in it, so that the list's rows come from the
// radio data. The sheet code's letter chooses the list (C channels of the
// bank picked last, B banks, Y languages, Z digital IDs, ...).
//
// Like every pick list it closes on deactivation, Esc, event 21 and event 1
// for its owner control, and frees itself with its window.
#include "ui/cuiFlector.h"

class indFlector : public cuiFlector {
public:
    indFlector(const cmcCellCapsule& origin, int focusLabel, int focusIndex, cmcGTex* texts, const std::string& key,
               const std::string& code);
    ~indFlector() override;
};
