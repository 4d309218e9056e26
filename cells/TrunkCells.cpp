// The trunking and vote-zone settings of a bank, on the rows of the Banks page
// (one row per bank, decoded as an item of kind 13), and the LTR operation
// settings.
//
// A bank keeps its trunking settings in the table of its type: an LTR bank
// in the LTR bank table, a ZEPH or multisite bank in the ZEPH and multisite
// bank tables, a vote zone in the vote-zone table. A bank that is both an
// LTR and a ZEPH bank uses its LTR settings. A setting that does not belong
// to the bank's type shows "---" in silver and takes no input.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RecordFields.h"
#include "cells/SettingTable.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "platform/base/Canvas.h"
#include "platform/base/Color.h"
#include "platform/base/Rect.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kBanks = WorkTables::Banks;

// The LTR operation settings of the working image.
constexpr int kLtrOptions = 204974;       // bit 7 display on PTT, 6 display on receive,
                                          // 4 beep within range, 2 and 1 talk-around, 0 ATB ring-back
constexpr int kLtrOutOfRangeTimer = 204975;
constexpr int kLtrFadeTimer = 204976;
constexpr int kLtrDecoder = 204977;       // bit 7 LSD decoder
constexpr int kTalkAroundOutOfRangeBit = 1;

constexpr int kLtrIdMax = 250;
constexpr int kZephIdMax = 2000;
constexpr int kFleetMax = 30;
constexpr int kScrambler16Codes = 2;  // codes counted from 0
constexpr int kScramblerNoCode = 1;

// ---- Which bank a setting belongs to ----

enum class Types {
    Trunked,    // LTR, ZEPH or multisite
    Multisite,
    LtrOrZeph,
    ZephOrMultisite,
    VoteZone,
};

bool IsLtr(const datCh& b) { return b.LtrBankFlags.Ltr; }
bool IsZeph(const datCh& b) { return b.ZephBankFlags.Zeph; }
bool IsMultisite(const datCh& b) { return b.MsFlags.Multisite; }
bool IsVoteZone(const datCh& b) { return b.RptPhoneBankType.VoteZone; }

bool Applies(Types types, const datCh& b)
{
    switch (types) {
    case Types::Trunked: return IsLtr(b) || IsZeph(b) || IsMultisite(b);
    case Types::Multisite: return IsMultisite(b);
    case Types::LtrOrZeph: return IsLtr(b) || IsZeph(b);
    case Types::ZephOrMultisite: return IsZeph(b) || IsMultisite(b);
    case Types::VoteZone: return IsVoteZone(b);
    }
    return false;
}

// ---- The plain bank settings ----

struct Field {
    int (*Get)(const datCh&) = nullptr;
    void (*Set)(datCh&, int) = nullptr;
    int Min = 0;
    int Max = 0;
};

#define FIELD(expr, min, max) \
    Field { [](const datCh& r) { return int(r.expr); }, [](datCh& r, int v) { r.expr = v; }, min, max }
#define NO_FIELD Field{}

struct BankSetting {
    int Label;
    Types When;
    const char* Key;     // the choice list; none for a number
    Field First;         // an LTR bank's field (or the vote zone's)
    Field Other;         // a ZEPH or multisite bank's field
    bool RefreshTree = false;
};

constexpr const char* kEnable2 = "GI_Sheet_Sel_Misc_Enable2";
constexpr const char* kOnOff = "GI_Sheet_Sel_Misc_OnOff";
constexpr const char* kOnOff2 = "GI_Sheet_Sel_Misc_OnOff2";

const BankSetting kBankSettings[] = {
    {CL_Ltr_BlockIdEna, Types::Trunked, kEnable2, FIELD(LtrBankFlags.L2, 0, 1),
     FIELD(ZephBankFlags.Z2, 0, 1)},
    {CL_Ltr_BlockId_Fleet, Types::Multisite, nullptr, NO_FIELD,
     FIELD(LtrBlockIdFleet, 1, kFleetMax)},
    {CL_Ltr_DecPriTgEna, Types::Trunked, "GI_Sheet_Sel_Misc_Phone", FIELD(LtrDecPriTg, 0, 255),
     FIELD(ZephMode, 0, 255)},
    {CL_Ltr_PriTg_Fleet, Types::Multisite, nullptr, NO_FIELD, FIELD(LtrPriTgFleet, 1, kFleetMax)},
    {CL_Ltr_PriTgId, Types::Trunked, nullptr, FIELD(LtrPriTgId, 1, kLtrIdMax),
     FIELD(ZephWord2, 1, kZephIdMax)},
    {CL_Ltr_TotDispatch, Types::LtrOrZeph, kOnOff2, FIELD(LtrBankFlags.L3, 0, 1),
     FIELD(LtrBankFlags.L3, 0, 1)},
    {CL_Ltr_TotPhone, Types::LtrOrZeph, kOnOff2, FIELD(LtrBankFlags.L4, 0, 1),
     FIELD(ZephBankFlags2.TotPhone, 0, 1)},
    {CL_Ltr_TaBusyLockout, Types::LtrOrZeph, kOnOff2, FIELD(LtrBankFlags.L5, 0, 1),
     FIELD(LtrBankFlags.L5, 0, 1)},
    {CL_Ltr_BeepHandShake, Types::Trunked, kOnOff, FIELD(LtrBankFlags.L7, 0, 1),
     FIELD(ZephBankFlags2.BeepHandShake, 0, 1)},
    {CL_Zone_TxErrBeep, Types::ZephOrMultisite, "GI_Sheet_Sel_Misc_OnOff_I", NO_FIELD,
     FIELD(ZephBankFlags2.TxErrBeep, 0, 1)},
    {CL_Ltr_BeepOnRx, Types::Trunked, kOnOff, FIELD(LtrBankFlags2.L8, 0, 1),
     FIELD(ZephBankFlags2.BeepOnRx, 0, 1)},
    {CL_Ltr_PwrSave, Types::Trunked, kOnOff2, FIELD(LtrBankFlags.L6, 0, 1),
     FIELD(ZephBankFlags2.PwrSave, 0, 1)},
    {CL_VoteZone_RfPo, Types::VoteZone, "GI_Sheet_Sel_Mch_RfPwr", FIELD(VoteZoneFlags.RfPo, 0, 3),
     NO_FIELD, true},
    {CL_VoteZone_Scrm_On, Types::VoteZone, "GI_Sheet_Sel_Mch_ScramOn",
     FIELD(VoteZoneFlags.ScrmOn, 0, 3), NO_FIELD, true},
    {CL_VoteZone_Fast_Mute, Types::VoteZone, kOnOff2, FIELD(VoteZoneFlags.FastMute, 0, 1), NO_FIELD},
};

#undef FIELD
#undef NO_FIELD

bool IsBankRow(const indCellCall& c) { return c.Index >= 0 && c.Index < kBanks; }

void RefreshTree() { if (g_EvMan) g_EvMan->Post(ev::UpdateBankNodes, 0, 0); }

// The field of the bank's type: the LTR one is tried first; a setting with
// only one of the two (the vote zone's, the multisite ones) uses it.
const Field& FieldOf(const BankSetting& s, const datCh& bank)
{
    if (s.First.Get && (IsLtr(bank) || !s.Other.Get)) return s.First;
    return s.Other;
}

void BankSettingCell(indCellCall& call)
{
    const BankSetting* setting = nullptr;
    for (const BankSetting& s : kBankSettings)
        if (s.Label == call.Label) setting = &s;
    if (!setting) return;
    if (!IsBankRow(call) || !Applies(setting->When, call.Rec)) {
        DashedSetting(call.Cap);
        return;
    }
    const Field& field = FieldOf(*setting, call.Rec);
    const RecordField row{setting->Label, setting->Key, field.Get, field.Set, false, field.Min, field.Max};
    if (RunRecordField(call, row) && setting->RefreshTree) RefreshTree();
}

// ---- Settings with rules of their own ----

// The block ID range: 1 to 250 on an LTR bank; on a ZEPH or multisite bank
// the start stays at or below the end (1 to 2000).
void BlockIdCell(indCellCall& call)
{
    datCh& bank = call.Rec;
    if (!IsBankRow(call) || !Applies(Types::Trunked, bank)) {
        DashedSetting(call.Cap);
        return;
    }
    const bool start = call.Label == CL_Ltr_BlockIdStart;
    int changed = 0;
    if (IsLtr(bank)) {
        int value = start ? bank.LtrBlockIdStart : bank.LtrBlockIdEnd;
        changed = EditIntWrap(call.Cap, value, 1, kLtrIdMax, call.Result);
        if (changed) (start ? bank.LtrBlockIdStart : bank.LtrBlockIdEnd) = uint8_t(value);
    } else {
        // A crossed range (start above end) shows the value and takes no
        // input: the handler refuses a range whose minimum is above its maximum.
        int value = int(start ? bank.ZephWord0 : bank.ZephWord1);
        const int min = start ? 1 : int(bank.ZephWord0);
        const int max = start ? int(bank.ZephWord1) : kZephIdMax;
        changed = EditIntWrap(call.Cap, value, min, max, call.Result);
        if (changed) (start ? bank.ZephWord0 : bank.ZephWord1) = uint32_t(value);
    }
    if (changed) bank.Commit();
}

// The receive broadcast ID of a multisite bank: 0 is "OFF"; its fleet
// applies only while an ID is set.
void RxBroadcastCell(indCellCall& call)
{
    datCh& bank = call.Rec;
    if (!IsBankRow(call) || !IsMultisite(bank)) {
        DashedSetting(call.Cap);
        return;
    }
    int value = int(bank.LtrRxBroadcast);
    const int changed =
        EditIntValue(call.Cap, value, 0, kZephIdMax, 0, 1, value == 0 ? "OFF" : nullptr, true, false, call.Result);
    if (changed && call.Result != erStartEdit) ShowText(call.Cap, value == 0 ? "OFF" : std::to_string(value));
    if (!changed) return;
    bank.LtrRxBroadcast = uint32_t(value);
    bank.Commit();
    call.Scope |= csSameIndex;  // the fleet column follows
}

void RxBroadcastFleetCell(indCellCall& call)
{
    datCh& bank = call.Rec;
    if (!IsBankRow(call) || !IsMultisite(bank) || bank.LtrRxBroadcast == 0) {
        DashedSetting(call.Cap);
        return;
    }
    int value = bank.LtrRxBroadcastFleet;
    if (!EditIntWrap(call.Cap, value, 1, kFleetMax, call.Result)) return;
    bank.LtrRxBroadcastFleet = uint8_t(value);
    bank.Commit();
}

// The vote zone's scrambler type: type 2 counts its codes from 0, the others
// from 1, so the stored code moves with a change and the shown number stays
// (within the byte).
void VoteScramblerTypeCell(indCellCall& call)
{
    datCh& bank = call.Rec;
    if (!IsBankRow(call) || !IsVoteZone(bank)) {
        DashedSetting(call.Cap);
        return;
    }
    int type = bank.VoteZoneFlags.ScrmType;
    const int before = type;
    if (!ChooseFromList(call.Cap, "GI_Sheet_Sel_Mch_ScramType", type, call.Result)) return;
    bank.VoteZoneFlags.ScrmType = type;
    const int code = int(bank.VoteZoneScrmCode);
    if (before == kScrambler16Codes && type != kScrambler16Codes) bank.VoteZoneScrmCode = uint32_t(std::min(code + 1, 255));
    if (before != kScrambler16Codes && type == kScrambler16Codes) bank.VoteZoneScrmCode = uint32_t(std::max(code - 1, 0));
    bank.Commit();
    call.Scope |= csSameIndex;
    RefreshTree();
}

void VoteScramblerCodeCell(indCellCall& call)
{
    datCh& bank = call.Rec;
    if (!IsBankRow(call) || !IsVoteZone(bank)) {
        DashedSetting(call.Cap);
        return;
    }
    const int type = bank.VoteZoneFlags.ScrmType;
    if (type == kScramblerNoCode) {
        ShowText(call.Cap, "----");
        GreySetting(call.Cap);
        return;
    }
    const int code = int(bank.VoteZoneScrmCode);
    const bool fromZero = type == kScrambler16Codes;
    int shown = fromZero ? std::min(code, 15) + 1 : std::min(code, 255);
    if (!EditIntWrap(call.Cap, shown, 1, fromZero ? 16 : 255, call.Result)) return;
    bank.VoteZoneScrmCode = uint32_t(fromZero ? shown - 1 : shown);
    bank.Commit();
    RefreshTree();
}

void VoteEncryptionCell(indCellCall& call)
{
    datCh& bank = call.Rec;
    if (!IsBankRow(call) || !IsVoteZone(bank)) {
        DashedSetting(call.Cap);
        return;
    }
    int value = int(bank.VoteZoneEncryption);
    if (!ChooseFromCells(call.Cap, "GI_Sheet_Sel_EncryptionList", Flex0, value, cmNearestNumber, call.Result)) return;
    bank.VoteZoneEncryption = uint32_t(value);
    bank.Commit();
}

// The preamble and hang bit counts of an LTR bank.
void LtrBitCountCell(indCellCall& call)
{
    datCh& bank = call.Rec;
    if (!IsBankRow(call) || !IsLtr(bank)) {
        DashedSetting(call.Cap);
        return;
    }
    uint8_t& field = call.Label == CL_Ltr_Op_NumPreBit ? bank.LtrNumPreBit : bank.LtrNumHangBit;
    int value = field;
    if (!EditIntWrap(call.Cap, value, 0, 255, call.Result)) return;
    field = uint8_t(value);
    bank.Commit();
}

// ---- Row numbers and the bar ----

void RowNumberCell(indCellCall& call)
{
    ShowText(call.Cap, std::to_string(call.Index + (call.Label == CL_Misc_ChNo_1Base ? 1 : 0)));
}

// Fills the lower three tenths of the cell with grey.
void QuarterPillarCell(indCellCall& call)
{
    cmcCellCapsule* cap = call.Cap;
    if (!cap->Canvas || !cap->CellRect) return;
    plat::Rect bar = *cap->CellRect;
    bar.top = bar.bottom - (bar.bottom - cap->CellRect->top) * 3 / 10;
    cap->Canvas->GetBrush().color = plat::RGB(128, 128, 128);
    cap->Canvas->FillRect(bar);
}

// ---- Working-image settings ----

bool TalkAroundOutOfRange(const ImageBytes& image) { return image.Bit(kLtrOptions, kTalkAroundOutOfRangeBit); }

const SettingRow kLtrSettings[] = {
    ListRow(CL_Ltr_AtbRingBack, kLtrOptions, 0, 1, kOnOff),
    ListRow(CL_Ltr_Op_DispOnPtt, kLtrOptions, 7, 1, kOnOff),
    ListRow(CL_Ltr_Op_DispOnRx, kLtrOptions, 6, 1, kOnOff),
    ListRow(CL_Ltr_Op_BeepWithinRange, kLtrOptions, 4, 1, kOnOff),
    ListRow(CL_Ltr_Op_TA_withinRange, kLtrOptions, 2, 1, "GI_Sheet_Sel_Misc_Enable_I").GreyIf(TalkAroundOutOfRange),
    ListRow(CL_Ltr_Op_TA_OutOfRange, kLtrOptions, kTalkAroundOutOfRangeBit, 1, "GI_Sheet_Sel_Ltr_TA_OutRange")
        .Repaint(ScopeAlways),
    TimerRow(CL_Ltr_Op_Tim_OutOfRange, kLtrOutOfRangeTimer, 1, true),
    TimerRow(CL_Ltr_Op_Tim_FadeTimer, kLtrFadeTimer, 10),
    ListRow(CL_Ltr_Op_LSD_Decoder, kLtrDecoder, 7, 1, "GI_Sheet_Sel_LsdDecode"),
};

void LtrSettingCell(indCellCall& call)
{
    if (const SettingRow* row = FindSettingRow(kLtrSettings, call.Label)) RunSettingRow(call, *row);
}

constexpr LabelBehaviourEntry kTrunkCells[] = {
    {CL_Ltr_BlockIdEna, BankSettingCell},
    {CL_Ltr_BlockId_Fleet, BankSettingCell},
    {CL_Ltr_BlockIdStart, BlockIdCell},
    {CL_Ltr_BlockIdEnd, BlockIdCell},
    {CL_Ltr_DecPriTgEna, BankSettingCell},
    {CL_Ltr_RxBroadcast_Fleet, RxBroadcastFleetCell},
    {CL_Ltr_RxBroadcast, RxBroadcastCell},
    {CL_Ltr_PriTg_Fleet, BankSettingCell},
    {CL_Ltr_PriTgId, BankSettingCell},
    {CL_Ltr_TotDispatch, BankSettingCell},
    {CL_Ltr_TotPhone, BankSettingCell},
    {CL_Ltr_TaBusyLockout, BankSettingCell},
    {CL_Ltr_AtbRingBack, LtrSettingCell},
    {CL_Ltr_BeepHandShake, BankSettingCell},
    {CL_Zone_TxErrBeep, BankSettingCell},
    {CL_Ltr_BeepOnRx, BankSettingCell},
    {CL_Ltr_PwrSave, BankSettingCell},
    {CL_VoteZone_RfPo, BankSettingCell},
    {CL_VoteZone_Scrm_On, BankSettingCell},
    {CL_VoteZone_Scrm_Type, VoteScramblerTypeCell},
    {CL_VoteZone_Scrm_Code, VoteScramblerCodeCell},
    {CL_VoteZone_Encryption, VoteEncryptionCell},
    {CL_VoteZone_Fast_Mute, BankSettingCell},
    {CL_Misc_ChNo_0Base, RowNumberCell},
    {CL_Misc_ChNo_1Base, RowNumberCell},
    {CL_Misc_QuarterPillar, QuarterPillarCell},
    {CL_Ltr_Op_DispOnPtt, LtrSettingCell},
    {CL_Ltr_Op_DispOnRx, LtrSettingCell},
    {CL_Ltr_Op_BeepWithinRange, LtrSettingCell},
    {CL_Ltr_Op_TA_withinRange, LtrSettingCell},
    {CL_Ltr_Op_TA_OutOfRange, LtrSettingCell},
    {CL_Ltr_Op_Tim_OutOfRange, LtrSettingCell},
    {CL_Ltr_Op_NumPreBit, LtrBitCountCell},
    {CL_Ltr_Op_NumHangBit, LtrBitCountCell},
    {CL_Ltr_Op_Tim_FadeTimer, LtrSettingCell},
    {CL_Ltr_Op_LSD_Decoder, LtrSettingCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> TrunkCellBehaviours() { return kTrunkCells; }
