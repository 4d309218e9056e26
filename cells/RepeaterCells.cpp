// The trunking lists: the LTR group columns of the channels of an LTR bank,
// the repeater lists of LTR banks (kind 22), ZEPH banks (kind 27) and
// multisite sites (kind 31) that the repeater window shows, the site list's
// row numbers and home site, the ZEPH ID and talk-group lists and the ZEPH
// operation settings.
//
// A repeater list is grouped: each bank or site owns up to 20 (LTR) or 30
// repeaters. The window's sheet answers which group it shows; a row past the
// group's last repeater is the row where a new repeater is typed.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/RecordFields.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "model/indMain.h"
#include "platform/ui/MessageBox.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kLtrKind = 22;
constexpr int kZephKind = 27;
constexpr int kSiteKind = 31;
constexpr int kLtrIdMax = 250;
constexpr int kLtrHomeMax = 20;
constexpr int kRepeaterOffsetHz = 5000000;
constexpr int kBankNames = 177448;
constexpr int kNameLength = 12;

void RepaintAll()
{
    if (g_EvMan) g_EvMan->Post(ev::RepaintLabelled, 0, 0);
}

// ---- LTR group columns of a channel ----

// The LTR bank's home repeater (its position in the bank's group; 0: none).
int LtrBankHome(cmcEeprom& image, int bank)
{
    datCh owner(&image);
    return owner.Unpack(13, bank).LtrHomeRpt;
}

// The columns that create a channel on the bank's empty row. Every channel
// of an LTR bank goes to the radio and into a file with the bank's home
// repeater, so there the home repeater cell shows the bank's and takes no
// other.
void GroupIdCell(indCellCall& call)
{
    const bool rxId = call.Label == CL_Grp_RxId;
    cmcCellCapsule* cap = call.Cap;
    if (!EnterChannelRow(call)) return;
    datCh& ch = call.Rec;
    const bool bankHome = !rxId && IsLtrBank(call.Bank.Group);
    auto current = [&]() -> int {
        if (rxId) return ch.GrpRxId;
        return bankHome ? LtrBankHome(call.Image(), call.Bank.Group) : ch.GrpHomeRptCh;
    };
    int value = current();
    const int low = bankHome ? value : 0;
    const int high = bankHome ? value : rxId ? kLtrIdMax : kLtrHomeMax;
    if (EditIntWrap(cap, value, low, high, call.Result) && value != 0) {
        if (rxId) {
            // The transmit ID follows while it was the same as the receive ID.
            if (ch.GrpTxId == ch.GrpRxId) ch.GrpTxId = uint8_t(value);
            ch.GrpRxId = uint8_t(value);
        } else {
            ch.GrpHomeRptCh = uint8_t(value);
        }
        ch.Commit();
        RepaintAll();
    }
    if (cap->Key == 0 && current() == 0) ShowText(cap, "");
}

void GroupTxIdCell(indCellCall& call)
{
    cmcCellCapsule* cap = call.Cap;
    datCh& ch = call.Rec;
    int value = ch.GrpTxId;
    PlaceHorz(cap, cellplace::Right);
    if (EditIntWrap(cap, value, 1, kLtrIdMax, call.Result)) {
        ch.GrpTxId = uint8_t(value);
        ch.Commit();
        RepaintAll();
    }
    // An ID that follows the receive ID shows the arrow, centred as on every
    // other transmit column.
    if (ch.GrpTxId == ch.GrpRxId && call.Result != erStartEdit) {
        ShowText(cap, "<-");
        PlaceHorz(cap, cellplace::Centre);
    }
    if (ch.GrpFlags.TxInh) GreySetting(cap);
}

const RecordField kGroupColumns[] = {
    {CL_Grp_TxInh, "GI_Sheet_Sel_Mch_CH_TxInh", RECORD_FIELD(GrpFlags.TxInh)},
    {CL_Grp_PhonePriv, "GI_Sheet_Sel_Misc_Enable2", RECORD_FIELD(GrpFlags.PhonePriv)},
    {CL_Grp_BlockIdEnable, "GI_Sheet_Sel_Misc_OnOff_I", RECORD_FIELD(GrpFlags.BlockIdEnable)},
    {CL_Grp_BlockIdStart, nullptr, RECORD_FIELD(GrpBlockIdStart), false, 1, kLtrIdMax},
    {CL_Grp_BlockIdEnd, nullptr, RECORD_FIELD(GrpBlockIdEnd), false, 1, kLtrIdMax},
};

void GroupColumnCell(indCellCall& call)
{
    if (const RecordField* row = FindRecordField(kGroupColumns, call.Label)) RunRecordField(call, *row);
}

// ---- Repeater lists ----

int KindOfLabel(int label)
{
    switch (label) {
    case CL_Rpt_ZEPH_No:
    case CL_Rpt_ZEPH_AreaBit:
    case CL_Rpt_ZEPH_Atr:
    case CL_Rpt_ZEPH_FreqR:
    case CL_Rpt_ZEPH_FreqT:
    case CL_Rpt_ZEPH_RfPo:
    case CL_Rpt_ZEPH_Phone: return kZephKind;
    case CL_Rpt_Multisite_No:
    case CL_Rpt_Multisite_AreaBit:
    case CL_Multisite_Atr_Collect:
    case CL_Rpt_Multisite_FreqR:
    case CL_Rpt_Multisite_FreqT:
    case CL_Multisite_RfPo: return kSiteKind;
    default: return kLtrKind;
    }
}

bool IsNewRow(const indCellCall& call, int kind)
{
    const ListRange& g = call.GroupRange(kind);
    return g.Count == 0 || call.Index > g.Last;
}

bool StartsNewEntry(int key)
{
    return key == cellkey::Space || key == cellkey::Backspace || key == '.' || IsDigitKey(key) || key == cellkey::Enter;
}

enum class NewRepeater { NotTyped, Created, Refused };

// A key typed into the group's empty row opens a repeater there while the
// list, the group and (for LTR and ZEPH) the clone memory take one more.
NewRepeater AddRepeaterOnNewRow(indCellCall& call, int kind)
{
    cmcCellCapsule* cap = call.Cap;
    if (!IsNewRow(call, kind) || !OnGrid(cap) || !StartsNewEntry(cap->Key)) return NewRepeater::NotTyped;
    const ListRange& g = call.GroupRange(kind);
    if (call.Index != g.First + g.Count) return NewRepeater::NotTyped;
    const int lists = kind == kSiteKind ? WorkTables::Sites : WorkTables::Banks;
    const bool fits = ListItemTotal(kind) < ItemsPerGroup(kind) * lists && g.Count < ItemsPerGroup(kind) &&
                      (kind == kSiteKind || ItemsFit(call.Category, 1, g.Group));
    if (!fits) {
        plat::MessageBox(g_GTex.GetFirstLine("GI_AppMess_ChErr_Overflow"), g_GTex.GetFirstLine("GI_Sys_AppTitle"),
                         plat::MB_OK | plat::MB_ICONERROR);
        return NewRepeater::Refused;
    }
    const int event = kind == kLtrKind    ? ev::InsertRepeater
                      : kind == kZephKind ? ev::InsertZephRepeater
                                          : ev::InsertMultisiteRepeater;
    if (g_EvMan) g_EvMan->Send(event, g.Group, call.Index);
    call.RefreshRanges();
    call.Rec.Reload();
    g_Main->Pack(call.Image());
    return NewRepeater::Created;
}

void RepeaterNumberCell(indCellCall& call)
{
    const int kind = KindOfLabel(call.Label);
    if (IsNewRow(call, kind)) {
        ShowText(call.Cap, g_GTex.GetFirstLine("GI_NewChTitle"));
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%3d", call.Index - call.GroupRange(kind).First + 1);
    ShowText(call.Cap, text);
}

// The frequencies reuse the channel handlers through the record's channel
// frequencies.
void RepeaterFrequencyCell(indCellCall& call)
{
    const int kind = KindOfLabel(call.Label);
    const bool rx = call.Label == CL_Rpt_FreqR || call.Label == CL_Rpt_ZEPH_FreqR || call.Label == CL_Rpt_Multisite_FreqR;
    if (rx) {
        if (AddRepeaterOnNewRow(call, kind) == NewRepeater::Refused) return;
    }
    if (IsNewRow(call, kind)) return;  // an empty row shows nothing
    datCh& r = call.Rec;
    r.RxFreq = r.RptRxFreq;
    r.TxFreq = r.RptTxFreq;
    const int changed = rx ? EditFrequencyStep(call.Cap, r, true, kRepeaterOffsetHz, call.Result)
                           : EditFrequency(call.Cap, r, false, call.Result);
    if (!changed) return;
    r.RptRxFreq = r.RxFreq;
    r.RptTxFreq = r.TxFreq;
    r.Commit();
    if (rx) RepaintAll();
}

void RepeaterChoiceCell(indCellCall& call)
{
    datCh& r = call.Rec;
    const int kind = KindOfLabel(call.Label);
    if (IsNewRow(call, kind)) return;
    int value = 0;
    const char* key = "GI_Sheet_Sel_Misc_OnOff2";
    switch (call.Label) {
    case CL_Rpt_RxDat: value = r.RptFlags.RxDat; break;
    case CL_Rpt_TxDat: value = r.RptFlags.TxDat; break;
    case CL_Rpt_Nar: value = r.RptFlags.Nar; key = "GI_Sheet_Sel_Mch_Nar"; break;
    case CL_Rpt_Phone:
    case CL_Rpt_ZEPH_Phone: value = r.RptPhoneBankType.Phone; break;
    default:
        // RF power: a stored 0 is offered as the highest power.
        value = r.RptRfPo == 0 ? 3 : r.RptRfPo;
        key = "GI_Sheet_Sel_Mch_RfPwr";
        break;
    }
    if (!ChooseFromList2(call.Cap, key, value, call.Result)) return;
    switch (call.Label) {
    case CL_Rpt_RxDat: r.RptFlags.RxDat = value != 0; break;
    case CL_Rpt_TxDat: r.RptFlags.TxDat = value != 0; break;
    case CL_Rpt_Nar: r.RptFlags.Nar = value != 0; break;
    case CL_Rpt_Phone:
    case CL_Rpt_ZEPH_Phone: r.RptPhoneBankType.Phone = value != 0; break;
    default: r.RptRfPo = uint8_t(value & 3); break;
    }
    r.Commit();
}

// The home marks of a group: the LTR home repeater (entry 1 of the list),
// the two ZEPH homes and the two collecting repeaters of a site (the list
// entries bit-coded). The list opens only on a repeater with a frequency.
void RepeaterAttributeCell(indCellCall& call)
{
    datCh& r = call.Rec;
    const int kind = KindOfLabel(call.Label);
    cmcCellCapsule* cap = call.Cap;
    if (IsNewRow(call, kind)) return;
    std::string text;
    int home = 0;
    if (kind == kLtrKind) {
        if (r.Attr.HomeRpt) text = "H";
        home = r.LtrHomeRpt;
    } else if (kind == kZephKind) {
        if (r.Attr.HomeRpt) text += "H1";
        if (r.Attr.HomeRpt2) text += "H2";
        home = r.ZephHomeRpt;
    } else {
        if (r.Attr.SiteHome1) text += g_GTex.GetFirstLine("GI_CollectRepeater_1st");
        if (r.Attr.SiteHome2) text += g_GTex.GetFirstLine("GI_CollectRepeater_2nd");
        home = r.SiteHome1;
    }
    ShowText(cap, text);
    // A home past the group's last repeater names none: as bad as none.
    cap->ErrorMark = home == 0 || home > call.GroupRange(kind).Count;
    if (r.RptRxFreq == 0) return;
    const char* key = kind == kLtrKind    ? "GI_Sheet_Sel_Rpt_Atr"
                      : kind == kZephKind ? "GI_Sheet_Sel_Rpt_Atr_ZEPH"
                                          : "GI_Sheet_Sel_Rpt_AtrC_Multisite";
    int choice = 0;
    const int changed = ChooseFromList2(cap, key, choice, call.Result);
    ShowText(cap, text);
    if (!changed || choice == 0) return;
    if (kind == kLtrKind) {
        if (choice != 1) return;
        r.Attr.HomeRpt = 1;
    } else if (kind == kZephKind) {
        r.Attr.HomeRpt = choice & 1;
        r.Attr.HomeRpt2 = (choice >> 1) & 1;
    } else {
        r.Attr.SiteHome1 = choice & 1;
        r.Attr.SiteHome2 = (choice >> 1) & 1;
    }
    r.Commit();
    RepaintAll();
}

// The area bit of the bank or site the list belongs to, read only.
void RepeaterAreaBitCell(indCellCall& call)
{
    const int kind = KindOfLabel(call.Label);
    const int group = call.GroupRange(kind).Group;
    datCh owner(&call.Image());
    bool on = false;
    if (kind == kSiteKind) {
        owner.Unpack(30, group);
        on = owner.SiteFlags.AreaBit;
    } else {
        owner.Unpack(13, group);
        on = kind == kLtrKind ? owner.LtrBankFlags.L1 : owner.ZephBankFlags.Z1;
    }
    ShowText(call.Cap, g_GTex.GetText("GI_AreaSetBit_Bar", on ? 1 : 0));
}

// The name of the LTR bank whose repeaters the list shows.
void RepeaterGroupNameCell(indCellCall& call)
{
    const int bank = call.GroupRange(kLtrKind).Group;
    ImageBytes bytes(&call.Image());
    char name[kNameLength + 1] = {};
    bytes.Read(kBankNames + kNameLength * bank, name, kNameLength);
    if (!EditLcdText(call.Cap, name, kNameLength, false, call.Result)) return;
    for (int k = 0; k < kNameLength; ++k) bytes.SetU8(kBankNames + kNameLength * bank + k, uint8_t(name[k]));
    if (g_EvMan) g_EvMan->PostText(ev::BankNameChanged, 0, bank, FormatBankName(call.Image(), bank));
}

// The area bit of an LTR or ZEPH bank on the Banks page.
void BankAreaBitCell(indCellCall& call)
{
    datCh& bank = call.Rec;
    const bool ltr = bank.LtrBankFlags.Ltr;
    if (call.Index < 0 || call.Index >= WorkTables::Banks || (!ltr && !bank.ZephBankFlags.Zeph)) {
        DashedSetting(call.Cap);
        return;
    }
    int value = ltr ? bank.LtrBankFlags.L1 : bank.ZephBankFlags.Z1;
    if (!ChooseFromList(call.Cap, "GI_Sheet_Sel_Misc_OnOff2", value, call.Result)) return;
    if (ltr)
        bank.LtrBankFlags.L1 = value != 0;
    else
        bank.ZephBankFlags.Z1 = value != 0;
    bank.Commit();
}

// ---- Multisite site list: row numbers and the home site ----

constexpr int kHomeSite = 303631;
constexpr int kHomeSiteFlags = 303639;  // bit 7: a home site is set
constexpr int kHomeSiteBit = 7;

void SiteListNumberCell(indCellCall& call)
{
    if (call.Index >= MultisiteSiteCount()) {
        ShowText(call.Cap, g_GTex.GetFirstLine("GI_NewChTitle"));
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%3d", call.Index + 1);
    ShowText(call.Cap, text);
}

void HomeSiteCell(indCellCall& call)
{
    ImageBytes bytes(&call.Image());
    const bool home = bytes.Bit(kHomeSiteFlags, kHomeSiteBit) && bytes.U8(kHomeSite) == call.Index;
    int choice = 0;
    const int changed = ChooseFromList(call.Cap, "GI_Sheet_Sel_Atr_HomeSite", choice, call.Result);
    ShowText(call.Cap, home ? "H" : "");
    if (!changed || (choice != 1 && choice != 2)) return;
    bytes.SetBit(kHomeSiteFlags, kHomeSiteBit, choice == 1);
    bytes.SetU8(kHomeSite, choice == 1 ? call.Index : 0);
    ShowText(call.Cap, choice == 1 ? "H" : "");
    RepaintAll();
}

// ---- ZEPH individual and talk-group lists ----

constexpr int kIdListLength = 500;
constexpr int kZephIdMax = 2000;
constexpr int kZephAllCall = 2047;

// A key typed into the empty row after the list's last entry opens an entry
// there while the list and the clone memory take one more.
bool EnterIdRow(indCellCall& call, int kind, int event)
{
    cmcCellCapsule* cap = call.Cap;
    const int count = kind == 28 ? IndListCount(kind) : TgListCount(kind);
    if (call.Index < count) return true;
    if (call.Index != count || !OnGrid(cap) || !StartsNewEntry(cap->Key)) return false;
    if (count >= kIdListLength || !ItemsFit(call.Category, 1, 0)) {
        plat::MessageBox(g_GTex.GetFirstLine("GI_AppMess_ChErr_Overflow"), g_GTex.GetFirstLine("GI_Sys_AppTitle"),
                         plat::MB_OK | plat::MB_ICONERROR);
        return false;
    }
    if (g_EvMan) g_EvMan->Send(event, 0, call.Index);
    call.Rec.Reload();
    g_Main->Pack(call.Image());
    if (event == ev::InsertZephTalkGroup) RepaintAll();
    return true;
}

void ZephIdCell(indCellCall& call)
{
    const bool talkGroup = call.Label == CL_ZEPH_Grp_Id_Dec;
    const int kind = talkGroup ? 29 : 28;
    if (!EnterIdRow(call, kind, talkGroup ? ev::InsertZephTalkGroup : ev::InsertZephId)) return;
    datCh& r = call.Rec;
    int value = int(talkGroup ? r.GrpId : r.IndId);
    if (!EditIntWrap(call.Cap, value, 1, talkGroup ? kZephAllCall : kZephIdMax, call.Result)) return;
    // Between the last talk group and the call to all, Space goes on to the
    // call to all and anything else stops at the last talk group.
    if (talkGroup && value > kZephIdMax && value < kZephAllCall)
        value = call.Cap->Key == cellkey::Space ? kZephAllCall : kZephIdMax;
    (talkGroup ? r.GrpId : r.IndId) = uint32_t(value);
    r.Commit();
    RepaintAll();
}

void ZephIdNameCell(indCellCall& call)
{
    const int kind = call.Label == CL_ZEPH_Grp_Id_Name ? 29 : 28;
    const int count = kind == 28 ? IndListCount(kind) : TgListCount(kind);
    if (call.Index >= count) return;
    call.Rec.Reload();
    if (EditLcdText(call.Cap, call.Rec.Text, kNameLength, false, call.Result)) call.Rec.Commit();
}

// ---- ZEPH operation settings ----

constexpr int kZephFadeTimer = 243066;
constexpr int kZephOptions = 243067;  // bit 7 ring-back timer set, 6 and 5 unit ID mode, 1 and 0 call information
constexpr int kZephAutoBase = 243072;
constexpr int kZephGlobalId = 243074;
constexpr int kAtbRingBack = 303616;
constexpr int kAtbRingBackTxWait = 303617;
constexpr int kRingBackSetBit = 7;

bool NotGlobalFixed(const ImageBytes& b) { return !(b.Bit(kZephOptions, 6) && !b.Bit(kZephOptions, 5)); }
bool NotGlobalAuto(const ImageBytes& b) { return !(b.Bit(kZephOptions, 6) && b.Bit(kZephOptions, 5)); }
// The ring-back timer's set bit is derived from the timer: a drawn page
// judges by the timer itself, as the bit stands once it is brought in step.
bool RingBackOff(const ImageBytes& b) { return b.U8(kAtbRingBack) == 0; }

constexpr SettingRow Word(int label, int offset, int min, int max)
{
    return {.Label = label, .How = SettingHandler::Number, .Field = {offset, 0, SettingWord}, .Min = min, .Max = max};
}

const SettingRow kZephSettings[] = {
    // The unit ID mode: global (bit 6) times 2 plus automatic (bit 5).
    ListRow(CL_ZEPH_Op_Unit_ID, kZephOptions, 5, 2, "GI_Sheet_Sel_Dig_Option_UnitID").Repaint(ScopeAlways),
    Word(CL_ZEPH_Op_Global_Edit, kZephGlobalId, 1, kZephIdMax).GreyIf(NotGlobalFixed).Repaint(ScopeAlways),
    Word(CL_ZEPH_Op_Global_Auto, kZephAutoBase, 0, 1).GreyIf(NotGlobalAuto).Repaint(ScopeAlways),
    TimerRow(CL_ZEPH_Op_Tim_FadeTimer, kZephFadeTimer, 10),
    TimerRow(CL_ZEPH_Op_AtbRingBack, kAtbRingBack, 1, true).Repaint(ScopeAlways),
    TimerRow(CL_ZEPH_Op_AtbRingBackTxWaitTimer, kAtbRingBackTxWait, 1, true).GreyIf(RingBackOff).Repaint(ScopeAlways),
};

void ZephSettingCell(indCellCall& call)
{
    const SettingRow* row = FindSettingRow(kZephSettings, call.Label);
    if (!row) return;
    RunSettingRow(call, *row);
    // The ring-back timer's set bit follows the timer on every call that
    // brings input, whether or not the timer changed; drawing writes nothing.
    if (call.Label == CL_ZEPH_Op_AtbRingBack && HasInput(call.Cap)) {
        ImageBytes bytes(&call.Image());
        bytes.SetBit(kZephOptions, kRingBackSetBit, bytes.U8(kAtbRingBack) != 0);
    }
}

// The call information display: bit 0 times 2 plus bit 1.
void ZephCallInfoCell(indCellCall& call)
{
    ImageBytes bytes(&call.Image());
    int value = bytes.Bit(kZephOptions, 0) * 2 + bytes.Bit(kZephOptions, 1);
    if (!ChooseFromList(call.Cap, "GI_Sheet_Sel_Dig_Option_CallInfoDisp", value, call.Result)) return;
    bytes.SetBit(kZephOptions, 0, (value >> 1) & 1);
    bytes.SetBit(kZephOptions, 1, value & 1);
}

constexpr LabelBehaviourEntry kRepeaterCells[] = {
    {CL_Grp_RxId, GroupIdCell},
    {CL_Grp_TxId, GroupTxIdCell},
    {CL_Grp_TxInh, GroupColumnCell},
    {CL_Grp_HomeRptCh, GroupIdCell},
    {CL_Grp_PhonePriv, GroupColumnCell},
    {CL_Grp_BlockIdEnable, GroupColumnCell},
    {CL_Grp_BlockIdStart, GroupColumnCell},
    {CL_Grp_BlockIdEnd, GroupColumnCell},
    {CL_Rpt_No, RepeaterNumberCell},
    {CL_Rpt_FreqR, RepeaterFrequencyCell},
    {CL_Rpt_FreqT, RepeaterFrequencyCell},
    {CL_Rpt_RxDat, RepeaterChoiceCell},
    {CL_Rpt_TxDat, RepeaterChoiceCell},
    {CL_Rpt_Nar, RepeaterChoiceCell},
    {CL_Rpt_Phone, RepeaterChoiceCell},
    {CL_Rpt_Text, RepeaterGroupNameCell},
    {CL_Rpt_AreaBit, RepeaterAreaBitCell},
    {CL_Mch_AreaBit, BankAreaBitCell},
    {CL_Rpt_Atr, RepeaterAttributeCell},
    {CL_Rpt_RfPo, RepeaterChoiceCell},
    {CL_Rpt_ZEPH_No, RepeaterNumberCell},
    {CL_Rpt_ZEPH_AreaBit, RepeaterAreaBitCell},
    {CL_Rpt_ZEPH_Atr, RepeaterAttributeCell},
    {CL_Rpt_ZEPH_FreqR, RepeaterFrequencyCell},
    {CL_Rpt_ZEPH_FreqT, RepeaterFrequencyCell},
    {CL_Rpt_ZEPH_RfPo, RepeaterChoiceCell},
    {CL_Rpt_ZEPH_Phone, RepeaterChoiceCell},
    {CL_Rpt_Multisite_No, RepeaterNumberCell},
    {CL_Rpt_Multisite_AreaBit, RepeaterAreaBitCell},
    {CL_Multisite_Atr_Collect, RepeaterAttributeCell},
    {CL_Rpt_Multisite_FreqR, RepeaterFrequencyCell},
    {CL_Rpt_Multisite_FreqT, RepeaterFrequencyCell},
    {CL_Multisite_RfPo, RepeaterChoiceCell},
    {CL_Multisite_List_No, SiteListNumberCell},
    {CL_Multisite_Atr_Home, HomeSiteCell},
    {CL_ZEPH_Ind_Id_Dec, ZephIdCell},
    {CL_ZEPH_Ind_Id_Name, ZephIdNameCell},
    {CL_ZEPH_Grp_Id_Dec, ZephIdCell},
    {CL_ZEPH_Grp_Id_Name, ZephIdNameCell},
    {CL_ZEPH_Op_Unit_ID, ZephSettingCell},
    {CL_ZEPH_Op_Global_Edit, ZephSettingCell},
    {CL_ZEPH_Op_Global_Auto, ZephSettingCell},
    {CL_ZEPH_Op_Tim_FadeTimer, ZephSettingCell},
    {CL_ZEPH_Op_AtbRingBack, ZephSettingCell},
    {CL_ZEPH_Op_AtbRingBackTxWaitTimer, ZephSettingCell},
    {CL_ZEPH_Op_CallInfoDisp, ZephCallInfoCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> RepeaterCellBehaviours() { return kRepeaterCells; }
