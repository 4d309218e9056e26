// Every label of the signalling families has a behaviour of its own, apart
// from those that show the default text or do nothing.
#include "cells/LabelDispatch.h"
#include "core/CellNames.h"

#include <gtest/gtest.h>

namespace {

TEST(SignallingLabels, EachHasABehaviourUnlessItShowsTheDefaultTextOrNothing)
{
    struct Range {
        const char* family;
        int first, last;
    };
    const Range ranges[] = {
        {"MSK", CL_Msk_AdrRange_Individual, CL_Msk_Cfg_Gps_Log_In},
        {"DTMF and tone list", CL_Dtmf_ChNo, CL_CTone_Sel},
        {"tone and code", CL_2T_RxFreq_1st, CL_UTone_Length},
        {"MDC", CL_Mch_Mdc_System, CL_Mdc_General_Log_Action_Type},
        {"railroad", CL_AAR_Compander, CL_AAR_CTone_T},
    };
    for (const Range& r : ranges) {
        for (int label = r.first; label <= r.last; ++label) {
            if (label == CL_KDisp_RotaryLock) continue;  // a key-display setting among the railroad labels
            const bool owned = FamilyBehaviour(label) != nullptr;
            const bool other = IsDefaultTextLabel(label) || IsSilentLabel(label);
            EXPECT_NE(owned, other) << r.family << " " << CellLabelName(label);
        }
    }
    EXPECT_NE(FamilyBehaviour(CL_AAR_Scan_List), nullptr);
}

}  // namespace
