// The cells of the choice lists and pickers that the value handlers open:
// list entries (their index is the value they stand for), entries marked
// against the cell the list was opened for, and the row numbers of the zone,
// channel and ID pickers. All of them are read only; picking an entry sends
// the engine back to the opening cell.
#include "cells/CellFamilies.h"
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/cmcCellObj.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"

#include <cstdio>
#include <string>

namespace {

// The scan list's priority channels A and B (16-bit channel numbers).
constexpr int kPriorityChannelA = 146304;
constexpr int kPriorityChannelB = 146306;
// Entries of the scan channel mode lists.
constexpr int kModePriorityA = 1;
constexpr int kModePriorityB = 2;
constexpr int kModeChannel = 5;

std::string RowNumber(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%3d", n);
    return text;
}

void OwnText(indCellCall& call) { ShowText(call.Cap, call.Cell->GetText()); }

// The bank that holds a channel of the image (a 16-bit channel number).
bool InVoteZone(const indCellCall& call, int offset)
{
    return IsVoteZoneBank(BankOfChannelNumber(ImageBytes(call.Image()).U16(offset) + 1));
}

// An entry of a list whose values some channels must not take: marked when
// the channel the list was opened for would be set wrongly by it.
void MarkedEntry(indCellCall& call)
{
    OwnText(call);
    const cmcCellCapsule* parent = call.Cap->Parent;
    if (!parent || !parent->Cell) return;
    const cmcCellObj& opener = *parent->Cell;
    datCh record(&call.Image());
    record.Unpack(RecordKindOfCategory(opener.Category), opener.Index);
    const int n = call.Index;
    // PMR channels with MSK signalling.
    const bool msk = call.Pmr && record.ChFlagsF.MskSig;
    cmcCellCapsule* cap = call.Cap;
    switch (opener.Label) {
    case CL_Mch_Moni: cap->WarningMark = msk && n != 6 && n != 7; break;
    case CL_Mch_Sel: cap->ErrorMark = msk && n != 1; break;
    case CL_Mch_Call:
    case CL_Mch_PTT: cap->ErrorMark = msk && n != 0; break;
    case CL_Mch_CH_Mute_Lmr:
    case CL_Mch_CH_Mute: cap->WarningMark = msk && n == 0; break;
    case CL_ScanList_Prio1_CH:
    case CL_ScanList_Prio2_CH:
    case CL_ScanList_TX_CH:
        // Vote zones cannot serve as scan channels.
        cap->WarningMark = (n == kModeChannel && NonVoteBankCount() == 0) ||
                           (n == kModePriorityA && InVoteZone(call, kPriorityChannelA)) ||
                           (n == kModePriorityB && InVoteZone(call, kPriorityChannelB));
        break;
    default: break;
    }
}

// Zone numbers of the zone pickers: the 1-based number of the n-th bank the
// picker offers (129 past the last one).
void NonVoteZoneNumber(indCellCall& call) { ShowText(call.Cap, RowNumber(NthNonVoteBank(call.Index) + 1)); }
void ChannelZoneNumber(indCellCall& call) { ShowText(call.Cap, RowNumber(NthBankOfGroup(call.Index, 0) + 1)); }
void GroupZoneNumber(indCellCall& call) { ShowText(call.Cap, RowNumber(NthBankOfGroup(call.Index, 1) + 1)); }
void NonEmptyZoneNumber(indCellCall& call) { ShowText(call.Cap, RowNumber(NthNonEmptyBank(call.Index) + 1)); }
void ChannelNumber(indCellCall& call) { ShowText(call.Cap, RowNumber(call.Index + 1)); }

// Row numbers of the ID and talk-group lists; the row after the last entry
// is where a new entry is typed.
void IdRowNumber(indCellCall& call, int count)
{
    ShowText(call.Cap, call.Index == count ? g_GTex.GetFirstLine("GI_NewChTitle") : RowNumber(call.Index + 1));
}

void DigitalIdRow(indCellCall& call) { IdRowNumber(call, IndListCount(18)); }
void DigitalTalkGroupRow(indCellCall& call) { IdRowNumber(call, TgListCount(19)); }
void ZephIdRow(indCellCall& call) { IdRowNumber(call, IndListCount(28)); }
void ZephTalkGroupRow(indCellCall& call) { IdRowNumber(call, TgListCount(29)); }
void MultisiteIdRow(indCellCall& call) { IdRowNumber(call, IndListCount(32)); }
void MultisiteTalkGroupRow(indCellCall& call) { IdRowNumber(call, TgListCount(33)); }

constexpr LabelBehaviourEntry kSelectorCells[] = {
    {Flex0, OwnText},
    {Flex1, OwnText},
    {Flex2, OwnText},
    {FlexMark, MarkedEntry},
    {FlexDtcs, OwnText},
    {FlexKeyOpt, OwnText},
    {FlexZoneSel, OwnText},
    {FlexZoneSel_ChGrp_Chfunc, OwnText},
    {FlexZoneSel_ChGrp_Zonefunc, OwnText},
    {FlexZoneSelNum, NonVoteZoneNumber},
    {FlexZoneSelNum_ChGrp_Chfunc, ChannelZoneNumber},
    {FlexZoneSelNum_ChGrp_Zonefunc, GroupZoneNumber},
    {FlexCHSel, OwnText},
    {FlexCHSelNum, ChannelNumber},
    {Flex_InvIDList_ChNo, DigitalIdRow},
    {Flex_TgIDList_ChNo, DigitalTalkGroupRow},
    {Flex_InvIDList_ZEPH_ChNo, ZephIdRow},
    {Flex_TgIDList_ZEPH_ChNo, ZephTalkGroupRow},
    {Flex_InvIDList_Multisite_ChNo, MultisiteIdRow},
    {Flex_TgIDList_Multisite_ChNo, MultisiteTalkGroupRow},
    {FlexRxCodeAUX, OwnText},
    {FlexZoneSel_GPS_Zonefunc, OwnText},
    {FlexZoneSel_GPS_Num, NonEmptyZoneNumber},
};

}  // namespace

std::span<const LabelBehaviourEntry> SelectorCellBehaviours() { return kSelectorCells; }
