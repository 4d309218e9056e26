// The bank cells: the rows of the bank operation sheet (one per bank, index
// 0 to 127, with the bank decoded as an item of kind 13), its total row
// (index 128) and its free-space row (above 128), and the cells that sum up
// the use of the channel memory.
//
// A bank's channel count is edited here: raising it opens empty channels at
// the end of the bank, lowering it removes empty, unreferenced channels from
// its end; every reference to the channels that move is renumbered.
#include "cells/CellFamilies.h"
#include "cells/CellPopups.h"
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ListRows.h"
#include "model/TableAccess.h"
#include "model/indMain.h"
#include "platform/base/Canvas.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kTotalRow = WorkTables::Banks;  // 128; every row after it shows the free space
constexpr int kChannels = WorkTables::Channels;
constexpr int kNameLength = 12;
// The free space is counted for an ordinary bank (channels of the last bank
// take more room in the clone memory).
constexpr int kOrdinaryBank = 0;
constexpr int kLtrRepeaters = 20;
constexpr int kZephRepeaters = 30;

constexpr const char* kOnOff2 = "GI_Sheet_Sel_Misc_OnOff2";

// The bits of a bank's trunk type code.
constexpr int kTypeSmarTrunk = 1;
constexpr int kTypeLtr = 2;
constexpr int kTypeVoteZone = 4;
constexpr int kTypeZeph = 8;
constexpr int kTypeMultisite = 16;

// The reference marks of a channel's attribute field: priority A and B and
// the two reference channels (bit 4 of the high byte).
constexpr uint16_t kReferenceMarks = 0x0007 | 0x1000;

bool IsBankRow(const indCellCall& c) { return c.Index >= 0 && c.Index < kTotalRow; }

void Post(int type, intptr_t p1, intptr_t p2)
{
    if (g_EvMan) g_EvMan->Post(type, p1, p2);
}

void ErrorBox(const char* key)
{
    plat::MessageBox(g_GTex.GetFirstLine(key), g_GTex.GetFirstLine("GI_Sys_AppTitle"), plat::MB_OK | plat::MB_ICONERROR);
}

void Grey(cmcCellCapsule* cap)
{
    if (cap->Canvas) cap->Canvas->GetFont().color = plat::clSilver;
}

std::string Number(int value) { return std::to_string(value); }

// How many more channels the clone memory takes (0 when it is full).
int ChannelsThatStillFit()
{
    return std::max(MaxItemsThatFit(CT_Mch, kChannels - UsedChannelCount(), kOrdinaryBank), 0);
}

int TrunkTypeCode(const datCh& bank)
{
    return kTypeMultisite * bank.MsFlags.Multisite + kTypeZeph * bank.ZephBankFlags.Zeph +
           kTypeVoteZone * bank.RptPhoneBankType.VoteZone + kTypeLtr * bank.LtrBankFlags.Ltr +
           kTypeSmarTrunk * bank.RptPhoneBankType.SmarTrunk;
}

// ---- Memory use ----

void BankFreeCell(indCellCall& call)
{
    const bool before = SecondBankUsed(call.Image());
    int value = before;
    if (ChooseFromList(call.Cap, "GI_Sheet_Sel_Bank_SelBankFree", value, call.Result)) {
        SetBankFreeMode(call.Image(), value != 0, call.Lmr);
        // The model keeps no such setting: only what was stored rebuilds the
        // tree and the bank names.
        if (SecondBankUsed(call.Image()) != before) {
            if (g_EvMan) g_EvMan->Send(ev::DataReplaced, 0, 0);
            call.Scope |= csEveryLabelled;
        }
    }
}

void SmarTrunkNoteCell(indCellCall& call) { ShowText(call.Cap, "Non"); }

// The model keeps no used quantity of a bank: dashes stand for it.
void UsedQuantityCell(indCellCall& call)
{
    const int quantity = BankUsedQty(call.Index);
    ShowText(call.Cap, call.SecondBank && quantity >= 0 ? Number(quantity) : "---");
}

void ActiveTotalCell(indCellCall& call) { ShowText(call.Cap, Number(CountActiveChannels())); }

void ActiveLeftCell(indCellCall& call) { ShowText(call.Cap, Number(kChannels - CountActiveChannels())); }

// ---- Name and type ----

void BankNameCell(indCellCall& call)
{
    if (!EditLcdText(call.Cap, call.Rec.Text, kNameLength, false, call.Result)) return;
    call.Rec.Commit();
    if (g_EvMan)
        g_EvMan->PostText(ev::BankNameChanged, 0, call.Index, FormatBankName(call.Image(), call.Index));
}

void BankSwitchCell(indCellCall& call)
{
    if (!IsBankRow(call)) {
        ShowText(call.Cap, "----");
        return;
    }
    const bool smarTrunk = call.Label == CL_Mch_SmarTrunk;
    int on = smarTrunk ? call.Rec.RptPhoneBankType.SmarTrunk : call.Rec.LtrBankFlags.Ltr;
    if (!ChooseFromList(call.Cap, kOnOff2, on, call.Result)) return;
    if (smarTrunk)
        call.Rec.RptPhoneBankType.SmarTrunk = on != 0;
    else
        call.Rec.LtrBankFlags.Ltr = on != 0;
    call.Rec.Commit();
    Post(ev::UpdateBankNodes, 0, 0);
}

// A bank has one trunking type: a picked code keeps the highest of its types
// (multisite, ZEPH, vote zone, LTR, SmarTrunk in that order).
void StoreTrunkType(datCh& bank, int code)
{
    const bool multisite = code & kTypeMultisite;
    const bool zeph = (code & kTypeZeph) && !multisite;
    const bool vote = (code & kTypeVoteZone) && !multisite && !zeph;
    const bool ltr = (code & kTypeLtr) && !multisite && !zeph && !vote;
    bank.MsFlags.Multisite = multisite;
    bank.ZephBankFlags.Zeph = zeph;
    bank.RptPhoneBankType.VoteZone = vote;
    bank.LtrBankFlags.Ltr = ltr;
    bank.RptPhoneBankType.SmarTrunk = (code & kTypeSmarTrunk) && !multisite && !zeph && !vote && !ltr;
}

// The second list offers only vote zone and SmarTrunk; the other types stay.
void StoreTrunkType2(datCh& bank, int code)
{
    const bool vote = code & kTypeVoteZone;
    bank.RptPhoneBankType.VoteZone = vote;
    bank.RptPhoneBankType.SmarTrunk = (code & kTypeSmarTrunk) && !vote && !bank.LtrBankFlags.Ltr;
}

void TrunkTypeCell(indCellCall& call)
{
    if (!IsBankRow(call)) {
        ShowText(call.Cap, "----");
        return;
    }
    const bool full = call.Label == CL_Mch_TrunkType;
    int code = TrunkTypeCode(call.Rec);
    if (!ChooseFromList(call.Cap, full ? "GI_Sheet_Sel_Bank_TrunkType" : "GI_Sheet_Sel_Bank_TrunkType2", code,
                        call.Result))
        return;
    if (full)
        StoreTrunkType(call.Rec, code);
    else
        StoreTrunkType2(call.Rec, code);
    call.Rec.Commit();
    Post(ev::UpdateBankNodes, 0, 0);
    Post(ev::RepaintLabelled, 0, 0);
}

// ---- Channel counts ----

// The channels at the end of the bank that are not in use and that nothing
// refers to: the ones its count may give up.
int TrailingFreeChannels(const indCellCall& call, const ListRange& bank)
{
    datCh channel(&call.Image());
    int free = 0;
    for (int c = bank.First + bank.Count - 1; c >= bank.First; --c) {
        channel.Unpack(MchRecordKind(), c);
        if (channel.State.InUse || (channel.Attr.Value() & kReferenceMarks)) break;
        ++free;
    }
    return free;
}

// Opens d empty channels at the end of the bank (d > 0) or removes -d
// channels from its end, renumbering every reference, then sets its count.
void ResizeBank(indCellCall& call, const ListRange& bank, int d)
{
    cmcEeprom& image = call.Image();
    cmcEeprom& initial = g_Main->InitialImage();
    const int kind = MchRecordKind();
    const int end = bank.First + bank.Count;  // the position after the last channel
    for (int k = 0; k < d; ++k) RenumberAfterInsert(image, initial, kChannels, kind, end + k, &call.Scope);
    for (int k = 0; k < -d; ++k) RenumberAfterDelete(image, initial, kChannels, kind, end - 1 - k, &call.Scope);
    SetBankChannelCount(bank.Group, bank.Count + d);
}

void ChannelCountCell(indCellCall& call)
{
    cmcCellCapsule* cap = call.Cap;
    if (!IsBankRow(call)) {
        ShowText(cap, Number(call.Index == kTotalRow ? UsedChannelCount() : ChannelsThatStillFit()));
        return;
    }
    const ListRange bank = GetBankRange(call.Index);
    const int used = UsedChannelCount();
    // With the memory full not even 0 channels fit: the count cannot grow.
    const int more = std::max(MaxItemsThatFit(CT_Mch, kChannels - used, bank.Group), 0);
    const int fewer = TrailingFreeChannels(call, bank);
    int count = bank.Count;
    if (EditIntClamp(cap, count, bank.Count - fewer, bank.Count + more, call.Result)) {
        int d = count - bank.Count;
        if (d > kChannels - used) {
            ErrorBox("GI_AppMess_ChErr_Overflow");
            d = more;
        }
        if (-d > fewer) {
            ErrorBox(-d > bank.Count ? "GI_AppMess_ChErr_NoCh" : "GI_AppMess_ChErr_NotBlank");
            d = -fewer;
        }
        if (d != 0) ResizeBank(call, bank, d);
        call.Scope |= csSameLabel;
    }
    // The free-space figures of the sheet read the packed image.
    g_Main->Pack(call.Image());
}

void ActiveChannelsCell(indCellCall& call)
{
    if (IsBankRow(call)) {
        ShowText(call.Cap, Number(BankActiveChannelCount(call.Index)));
    } else if (call.Index == kTotalRow) {
        ShowText(call.Cap, Number(ActiveChannelCount()));
    } else {
        ShowText(call.Cap, Number(ChannelsThatStillFit() + UsedChannelCount() - ActiveChannelCount()));
    }
}

// ---- Home repeater ----

void HomeRepeaterCell(indCellCall& call)
{
    cmcCellCapsule* cap = call.Cap;
    const datCh& bank = call.Rec;
    const bool ltr = bank.LtrBankFlags.Ltr;
    if (!ltr && !bank.ZephBankFlags.Zeph) {
        ShowText(cap, "---");
        Grey(cap);
        return;
    }
    const int kind = ltr ? 22 : 27;
    const int home = ltr ? bank.LtrHomeRpt : bank.ZephHomeRpt;
    const bool shown = home >= 1 && home <= (ltr ? kLtrRepeaters : kZephRepeaters);
    if (bank.State.InUse && shown) {
        char text[16];
        std::snprintf(text, sizeof text, "%2d", home);
        ShowText(cap, text);
    }
    if (OnGrid(cap) && cap->Key == cellkey::Enter) {
        if (indCellPopups* popups = CellPopups(); popups && popups->OpenRepeaterSetWindow(*cap, kind))
            call.Result = erPopupOpened;
    }
    // A home repeater past the group names no repeater: as bad as none.
    const int repeaters = GroupItemCount(call.Index, kind);
    cap->ErrorMark = repeaters == 0 || home < 1 || home > repeaters;
}

constexpr LabelBehaviourEntry kBankCells[] = {
    {CL_Bank_SelBankFree, BankFreeCell},
    {CL_Bank_SmarTrunk, SmarTrunkNoteCell},
    {CL_Bank_UsedQty, UsedQuantityCell},
    {CL_Bank_UsedTotal, ActiveTotalCell},
    {CL_Bank_UsedLeft, ActiveLeftCell},
    {CL_Mch_BankText, BankNameCell},
    {CL_Mch_SmarTrunk, BankSwitchCell},
    {CL_Mch_LTR, BankSwitchCell},
    {CL_Mch_Bank, ChannelCountCell},
    {CL_Mch_Rpt, HomeRepeaterCell},
    {CL_Mch_UsedCHs, ActiveChannelsCell},
    {CL_Mch_TrunkType, TrunkTypeCell},
    {CL_Mch_TrunkType2, TrunkTypeCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> BankCellBehaviours() { return kBankCells; }
