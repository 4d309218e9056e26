// The cells of the warning check list: each evaluates other cells the way the
// sheets draw them and takes on an error or warning mark when any of those
// carries one. The main object marks the tree with them, and a clone write
// does not start while they report errors. They show no text.
#include "cells/CellFamilies.h"
#include "cells/indActiveCell.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/TableAccess.h"

#include <algorithm>

namespace {

constexpr int kUserTones = 15;
constexpr int kMskIdGroups = 8;
constexpr int kMdcSystems = 5;
constexpr int kMdcStatuses = 80;
constexpr int kNacChannels = 80;

// The marks a check takes on.
struct Marks {
    bool Error = false;
    bool Warning = false;
};

void Raise(indCellCall& call, const Marks& marks)
{
    call.Cap->ErrorMark = call.Cap->ErrorMark || marks.Error;
    call.Cap->WarningMark = call.Cap->WarningMark || marks.Warning;
}

// The error (or warning) of the cell at indexes first .. last.
bool AnyError(int category, int label, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (indActiveCell::CellError(category, label, i)) return true;
    return false;
}

bool AnyWarning(int category, int label, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (indActiveCell::CellWarning(category, label, i)) return true;
    return false;
}

// The channels of the bank the check list names in the capsule.
void ChannelCheck(indCellCall& call)
{
    const int bank = call.Cap->Bank;
    const int first = BankFirstChannel(bank);
    const int last = std::min(first + BankChannelCount(bank), WorkTables::Channels) - 1;
    Marks marks;
    for (int c = first; c <= last; ++c) {
        if (call.Pmr) {
            // MSK signalling wants particular monitor, selective-call and mute settings.
            marks.Warning = marks.Warning || indActiveCell::CellWarning(CT_Mch_Check, CL_Mch_Moni, c) ||
                            indActiveCell::CellWarning(CT_Mch_Check, CL_Mch_CH_Mute, c);
            marks.Error = marks.Error || indActiveCell::CellError(CT_Mch_Check, CL_Mch_Sel, c) ||
                          indActiveCell::CellError(CT_Mch_Check, CL_Mch_Call, c) ||
                          indActiveCell::CellError(CT_Mch_Check, CL_Mch_PTT, c);
        }
        marks.Error = marks.Error || indActiveCell::CellError(CT_Mch_Check, CL_Mch_TxNac, c) ||
                      // a divert to a channel where the memory keeps no target
                      indActiveCell::CellError(CT_Mch_Check, CL_Mch_EDivert, c) ||
                      indActiveCell::CellError(CT_Mch_Check, CL_Mch_Ind_List, c) ||
                      indActiveCell::CellError(CT_Mch_Check, CL_Mch_ZEPH_Ind_List, c);
        if (marks.Error && marks.Warning) break;  // nothing more to learn
    }
    Raise(call, marks);
}

// The user tones are a page of PMR models only.
void UserToneCheck(indCellCall& call)
{
    if (!call.Pmr) return;
    Marks marks;
    marks.Warning = AnyWarning(CT_UserTone, CL_UTone_Dec_Low, 0, kUserTones - 1) ||
                    AnyWarning(CT_UserTone, CL_UTone_Dec_High, 0, kUserTones - 1);
    Raise(call, marks);
}

void MskIdRangeCheck(indCellCall& call)
{
    if (call.Pmr) Raise(call, {AnyError(CT_Null, CL_Msk_AdrRange_Killer, 0, 0), false});
}

void MskOwnIdGroupCheck(indCellCall& call)
{
    if (call.Pmr) Raise(call, {AnyError(CT_MSK_IdGroup, CL_Msk_IdGroup_Adr, 0, kMskIdGroups - 1), false});
}

void MskConfigCheck(indCellCall& call)
{
    if (!call.Pmr) return;
    Raise(call, {AnyError(CT_Null, CL_Msk_Cfg_Status_FixBaseId, 0, 0) || AnyError(CT_Null, CL_Msk_Cfg_Gps_FixBaseId, 0, 0),
                 false});
}

void MdcSelfIdCheck(indCellCall& call)
{
    Raise(call, {false, AnyWarning(CT_Null, CL_Mdc_General_Self_Id, 0, kMdcSystems - 1)});
}

void MdcStatusCheck(indCellCall& call)
{
    Raise(call, {false, AnyWarning(CT_Null, CL_Mdc_Status_Enabled, 0, kMdcStatuses - 1)});
}

void NacChannelCheck(indCellCall& call)
{
    Raise(call, {AnyError(CT_DIG_NacCh, CL_Digi_NacCh_TxNac, 0, kNacChannels - 1), false});
}

void DigitalIdCheck(indCellCall& call)
{
    Raise(call, {false, AnyWarning(CT_DIG_Inv, CL_Digi_Ind_Id_Dec, 0, IndListCount(18) - 1)});
}

void LtrRepeaterCheck(indCellCall& call)
{
    if (call.Lmr) Raise(call, {AnyError(CT_BankOp, CL_Mch_Rpt, 0, WorkTables::Banks - 1), false});
}

void MultisiteRepeaterCheck(indCellCall& call)
{
    if (!call.Lmr) return;
    const int last = WorkTables::Sites - 1;
    Raise(call, {AnyError(CT_Multisite_SL, CL_Multisite_Rpt, 0, last),
                 AnyWarning(CT_Multisite_SL, CL_Multisite_SiteList_IntegratorCode, 0, last) ||
                     AnyWarning(CT_Multisite_SL, CL_Multisite_SiteList_SystemCode, 0, last)});
}

void GpsAutoTxCheck(indCellCall& call) { Raise(call, {false, AnyWarning(CT_Null, CL_Comm_Gps_MoveGps, 0, 0)}); }

constexpr LabelBehaviourEntry kCheckCells[] = {
    {CL_Check_Mch, ChannelCheck},
    {CL_Check_User_Tone_Encode, UserToneCheck},
    {CL_Check_Msk_IdRange, MskIdRangeCheck},
    {CL_Check_Msk_OwnIdGroup, MskOwnIdGroupCheck},
    {CL_Check_Msk_Config, MskConfigCheck},
    {CL_Check_Mdc_SelfID, MdcSelfIdCheck},
    {CL_Check_MDC_Status, MdcStatusCheck},
    {CL_Check_Dig_Nacch, NacChannelCheck},
    {CL_Check_Dig_IndID, DigitalIdCheck},
    {CL_Check_Ltr_Repeater, LtrRepeaterCheck},
    {CL_Check_Multisite_Repeater, MultisiteRepeaterCheck},
    {CL_Check_GPS_Auto_Tx, GpsAutoTxCheck},
};

}  // namespace

std::span<const LabelBehaviourEntry> CheckCellBehaviours() { return kCheckCells; }
