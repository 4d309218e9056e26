// Multisite trunking: the site list (each site with its group of repeaters),
// the system-wide settings (system and integrator codes, unit ID mode,
// roaming), the multisite individual and talk-group lists and the three
// monitor patterns P1 to P3.
//
// Sites, IDs and talk groups come into being in the first column of their
// list: a key typed into the empty row after the last entry appends one while
// the list has room. Several monitor settings exist only in the newer memory
// layout: while the image is in the older one a change is refused with the
// data-size message and the setting keeps its value.
#include "cells/CellFamilies.h"
#include "cells/CellPopups.h"
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
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

// Item kinds.
constexpr int kSites = 30;
constexpr int kSiteRepeaters = 31;
constexpr int kIds = 32;
constexpr int kTalkGroups = 33;

constexpr int kMaxSites = 48;
constexpr int kMaxListEntries = 500;
constexpr int kMaxSiteId = 250;
constexpr int kMaxHomeRepeater = 30;
constexpr int kNameLength = 12;

// Working-image settings.
constexpr int kSystemCode = 303624;     // 16 bits
constexpr int kIntegratorCode = 303626;
constexpr int kRoamingScanTimer = 303627;
constexpr int kRoamingWaitTimer = 303628;
constexpr int kRoamingScanList = 303629;
constexpr int kRssiLevel = 303630;
constexpr int kHaltWait = 303638;
constexpr int kModeBits = 303639;
constexpr int kHomePriorityLowBit = 6;
constexpr int kUnitIdGlobalBit = 5;
constexpr int kUnitIdAutomaticBit = 4;
constexpr int kHandshakeFailureBit = 3;
constexpr int kHomePriorityHighBit = 2;  // also: the adjacent-site RSSI check
constexpr int kBackgroundScanBit = 1;
constexpr int kAutomaticUnitIdBase = 303644;  // 16 bits
constexpr int kGlobalUnitId = 303646;         // 16 bits
constexpr int kFleetId = 303648;
constexpr int kAdjacentSiteRssi = 303649;  // signed; 0 = off
constexpr int kLayout = 303656;            // bit 7: newer layout; low nibble: P1 monitor type
constexpr int kNewerLayoutBit = 7;
constexpr int kMonitorTypesP2P3 = 303657;

// Per monitor pattern (P1, P2, P3: the offset plus 0, 1, 2; the MER cells
// plus 0, 2, 4).
constexpr int kMerTime = 303632;
constexpr int kMerMessage = 303633;
constexpr int kDrssiLevel = 303658;
constexpr int kTrssiTime = 303661;
constexpr int kContinuousErrors = 303664;
constexpr int kSamplingFrames = 303667;
constexpr int kAllowance = 303670;
constexpr int kSiteIdErrors = 303673;

// Monitor types of a pattern.
constexpr int kMonitorRssi = 1;
constexpr int kMonitorNoMer = 2;

constexpr int kAdjacentRssiMin = -100;
constexpr int kAdjacentRssiTop = -69;  // stored as 0: off

constexpr const char* kOff = "OFF";

void Post(int type)
{
    if (g_EvMan) g_EvMan->Post(type, 0, 0);
}

void ErrorBox(const std::string& text)
{
    plat::MessageBox(text, g_GTex.GetFirstLine("GI_Sys_AppTitle"), plat::MB_OK | plat::MB_ICONERROR);
}

// ---- Monitor patterns ----

int MonitorType(const ImageBytes& image, int pattern)
{
    switch (pattern) {
    case 0: return image.Bits(kLayout, 0, 4);
    case 1: return image.Bits(kMonitorTypesP2P3, 4, 4);
    default: return image.Bits(kMonitorTypesP2P3, 0, 4);
    }
}

bool NewerLayout(const ImageBytes& image) { return image.Bit(kLayout, kNewerLayoutBit); }

template <int Pattern>
bool NoMer(const ImageBytes& image)
{
    return MonitorType(image, Pattern) == kMonitorNoMer;
}

template <int Pattern>
bool NotRssiMonitor(const ImageBytes& image)
{
    return MonitorType(image, Pattern) != kMonitorRssi;
}

template <int Pattern>
bool NoContinuousErrorCount(const ImageBytes& image)
{
    return image.U8(kContinuousErrors + Pattern) == 0;
}

bool UnitIdNotGlobal(const ImageBytes& image) { return !image.Bit(kModeBits, kUnitIdGlobalBit); }
bool GlobalUnitIdNotEdited(const ImageBytes& image)
{
    return !image.Bit(kModeBits, kUnitIdGlobalBit) || image.Bit(kModeBits, kUnitIdAutomaticBit);
}
bool GlobalUnitIdNotAutomatic(const ImageBytes& image)
{
    return !image.Bit(kModeBits, kUnitIdGlobalBit) || !image.Bit(kModeBits, kUnitIdAutomaticBit);
}

// ---- Plain settings ----

constexpr CellChangeScope kPage = csEveryLabelled;

// A setting of one monitor pattern: grey while the pattern does not use it.
constexpr SettingRow PatternRow(SettingRow row, bool (*grey)(const ImageBytes&))
{
    return row.GreyIf(grey).Repaint(ScopeAlways);
}

constexpr SettingRow Timer(int label, int offset, int min, int max)
{
    return {.Label = label, .How = SettingHandler::Timer, .Field = {offset}, .Min = min, .Max = max};
}
constexpr SettingRow Word(int label, int offset, int min, int max)
{
    return {.Label = label, .How = SettingHandler::Number, .Field = {offset, 0, SettingWord}, .Min = min, .Max = max};
}
constexpr SettingRow Rssi(int label, int offset) { return NumberRow(label, offset, -120, -80, true); }

const SettingRow kSettings[] = {
    Word(CL_Multisite_SystemCode, kSystemCode, 1, 32766),
    ByteRow(CL_Multisite_IntegratorCode, {kIntegratorCode}, 0, 15),
    BitsListRow(CL_Multisite_Fleet_Unit_ID, {{{kModeBits, kUnitIdAutomaticBit}, {kModeBits, kUnitIdGlobalBit}}}, 2,
                "GI_Sheet_Sel_Dig_Option_UnitID")
        .Repaint(ScopeAlways),
    NumberRow(CL_Multisite_Fleet_ID, kFleetId, 1, 30).GreyIf(UnitIdNotGlobal).Repaint(ScopeAlways),
    Word(CL_Multisite_Global_Edit, kGlobalUnitId, 1, 2000).GreyIf(GlobalUnitIdNotEdited).Repaint(ScopeAlways),
    Word(CL_Multisite_Global_Auto, kAutomaticUnitIdBase, 0, 1).GreyIf(GlobalUnitIdNotAutomatic).Repaint(ScopeAlways),
    TimerRow(CL_Multisite_Rmg_Scan_Timer, kRoamingScanTimer, 1000),
    TimerRow(CL_Multisite_Rmg_Wait_Timer, kRoamingWaitTimer, 10),
    ByteRow(CL_Multisite_Rmg_Scan_List, {kRoamingScanList}, 1, kMaxSites),
    BitsListRow(CL_Multisite_Rmg_Home_Priority,
                {{{kModeBits, kHomePriorityLowBit}, {kModeBits, kHomePriorityHighBit}}}, 2,
                "GI_Sheet_Sel_Dig_Option_RoamingHomePriority")
        .Repaint(ScopeAlways),
    ListRow(CL_Multisite_Rmg_Handshake_Failure, kModeBits, kHandshakeFailureBit, 1, "GI_Sheet_Sel_Misc_OnOff_I"),
    ListRow(CL_Multisite_Rmg_Background, kModeBits, kBackgroundScanBit, 1, "GI_Sheet_Sel_Misc_OnOff"),
    Rssi(CL_Multisite_RSSI_Level, kRssiLevel),
    PatternRow(Timer(CL_MultiSite_MERTimeP1, kMerTime, 0, 255), NoMer<0>),
    PatternRow(Timer(CL_MultiSite_MERTimeP2, kMerTime + 2, 0, 255), NoMer<1>),
    PatternRow(Timer(CL_MultiSite_MERTimeP3, kMerTime + 4, 0, 255), NoMer<2>),
    PatternRow(ByteRow(CL_MultiSite_MERMsgP1, {kMerMessage}, 0, 255), NoMer<0>),
    PatternRow(ByteRow(CL_MultiSite_MERMsgP2, {kMerMessage + 2}, 0, 255), NoMer<1>),
    PatternRow(ByteRow(CL_MultiSite_MERMsgP3, {kMerMessage + 4}, 0, 255), NoMer<2>),
    {.Label = CL_MultiSite_HaltWait, .How = SettingHandler::Scaled, .Field = {kHaltWait}, .From = 0, .To = 255,
     .ShownDecimals = 3},
    PatternRow(Rssi(CL_Multisite_DRSSILP1, kDrssiLevel), NotRssiMonitor<0>),
    PatternRow(Rssi(CL_Multisite_DRSSILP2, kDrssiLevel + 1), NotRssiMonitor<1>),
    PatternRow(Rssi(CL_Multisite_DRSSILP3, kDrssiLevel + 2), NotRssiMonitor<2>),
    PatternRow(Timer(CL_MultiSite_TRSSIDP1, kTrssiTime, 1, 180), NotRssiMonitor<0>),
    PatternRow(Timer(CL_MultiSite_TRSSIDP2, kTrssiTime + 1, 1, 180), NotRssiMonitor<1>),
    PatternRow(Timer(CL_MultiSite_TRSSIDP3, kTrssiTime + 2, 1, 180), NotRssiMonitor<2>),
    PatternRow(ByteRow(CL_MultiSite_NumSamplingFrameP1, {kSamplingFrames}, 1, 50), NoContinuousErrorCount<0>),
    PatternRow(ByteRow(CL_MultiSite_NumSamplingFrameP2, {kSamplingFrames + 1}, 1, 50), NoContinuousErrorCount<1>),
    PatternRow(ByteRow(CL_MultiSite_NumSamplingFrameP3, {kSamplingFrames + 2}, 1, 50), NoContinuousErrorCount<2>),
    PatternRow(ByteRow(CL_MultiSite_NumAllowanceP1, {kAllowance}, 1, 50), NoContinuousErrorCount<0>),
    PatternRow(ByteRow(CL_MultiSite_NumAllowanceP2, {kAllowance + 1}, 1, 50), NoContinuousErrorCount<1>),
    PatternRow(ByteRow(CL_MultiSite_NumAllowanceP3, {kAllowance + 2}, 1, 50), NoContinuousErrorCount<2>),
};

void SettingCell(indCellCall& call)
{
    if (const SettingRow* row = FindSettingRow(kSettings, call.Label)) RunSettingRow(call, *row);
}

// The adjacent-site RSSI check: off (stored 0) or a level; stepping past the
// top level turns it off.
void AdjacentSiteRssiCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    call.Scope |= kPage;
    const int stored = int(int8_t(image.U8(kAdjacentSiteRssi)));
    int value = stored;
    if (EditIntValue(call.Cap, value, kAdjacentRssiMin, kAdjacentRssiTop, 0, 1, stored == 0 ? kOff : nullptr, true,
                     false, call.Result) &&
        HasInput(call.Cap)) {
        if (value == kAdjacentRssiTop) value = 0;
        image.SetU8(kAdjacentSiteRssi, uint32_t(value) & 0xFF);
        if (call.Result != erStartEdit) ShowText(call.Cap, value == 0 ? kOff : std::to_string(value));
    }
    if (!image.Bit(kModeBits, kHomePriorityHighBit)) GreySetting(call.Cap);
}

// ---- Settings of the newer layout only ----

struct GuardedSetting {
    int Label;
    int Pattern;
    enum { Type, Count } What;
    int Offset;
    int Max;
};

const GuardedSetting kGuarded[] = {
    {CL_MultiSite_MonitorTypeP1, 0, GuardedSetting::Type, 0, 0},
    {CL_MultiSite_MonitorTypeP2, 1, GuardedSetting::Type, 0, 0},
    {CL_MultiSite_MonitorTypeP3, 2, GuardedSetting::Type, 0, 0},
    {CL_MultiSite_ContinuousErrorCountP1, 0, GuardedSetting::Count, kContinuousErrors, 10},
    {CL_MultiSite_ContinuousErrorCountP2, 1, GuardedSetting::Count, kContinuousErrors + 1, 10},
    {CL_MultiSite_ContinuousErrorCountP3, 2, GuardedSetting::Count, kContinuousErrors + 2, 10},
    {CL_MultiSite_CCSiteIDErrorP1, 0, GuardedSetting::Count, kSiteIdErrors, 50},
    {CL_MultiSite_CCSiteIDErrorP2, 1, GuardedSetting::Count, kSiteIdErrors + 1, 50},
    {CL_MultiSite_CCSiteIDErrorP3, 2, GuardedSetting::Count, kSiteIdErrors + 2, 50},
};

void WriteMonitorType(ImageBytes& image, int pattern, int value)
{
    switch (pattern) {
    case 0: image.SetBits(kLayout, 0, 4, uint32_t(value)); break;
    case 1: image.SetBits(kMonitorTypesP2P3, 4, 4, uint32_t(value)); break;
    default: image.SetBits(kMonitorTypesP2P3, 0, 4, uint32_t(value)); break;
    }
}

// Only a change the user made reaches the layout check: a stored value the
// handler corrects while the cell is drawn is shown, never stored, and never
// raises the message.
void GuardedCell(indCellCall& call)
{
    const GuardedSetting* guarded = nullptr;
    for (const GuardedSetting& g : kGuarded)
        if (g.Label == call.Label) guarded = &g;
    if (!guarded) return;
    cmcCellCapsule* cap = call.Cap;
    ImageBytes image(&call.Image());
    const bool type = guarded->What == GuardedSetting::Type;
    if (type || guarded->Offset < kSiteIdErrors) call.Scope |= kPage;
    const int stored = type ? MonitorType(image, guarded->Pattern) : image.U8(guarded->Offset);
    int value = stored;
    const int changed = type ? ChooseFromList(cap, "GI_Sheet_Sel_Dig_Option_MultisiteMonitorType", value, call.Result)
                             : EditIntValue(cap, value, 0, guarded->Max, 0, 1, stored == 0 ? kOff : nullptr, true,
                                            false, call.Result);
    if (!changed || !HasInput(cap)) return;
    if (!NewerLayout(image)) {
        ErrorBox(g_GTex.GetMultiLineText("GI_Mess_CloneErr_Datasize_Over"));
        // The cell shows the value it keeps: drawn once more without the input.
        if (call.Result != erStartEdit) {
            const int key = cap->Key;
            const int phase = cap->Phase;
            cap->Key = 0;
            cap->Phase = cpKeyOrRender;
            int kept = stored;
            CellExecResult drawn = erNothing;
            if (type) ChooseFromList(cap, "GI_Sheet_Sel_Dig_Option_MultisiteMonitorType", kept, drawn);
            else EditIntValue(cap, kept, 0, guarded->Max, 0, 1, stored == 0 ? kOff : nullptr, true, false, drawn);
            cap->Key = key;
            cap->Phase = phase;
        }
        return;
    }
    if (type) WriteMonitorType(image, guarded->Pattern, value);
    else image.SetU8(guarded->Offset, uint32_t(value));
    if (!type && call.Result != erStartEdit) ShowText(cap, value == 0 ? kOff : std::to_string(value));
    call.Scope |= kPage;
}

// ---- Lists that grow from their empty row ----

struct GrowingList {
    int Kind;
    int Limit;
    int InsertEvent;
    bool RepaintAfterInsert;
    int (*Count)();
};

const GrowingList kSiteList{kSites, kMaxSites, ev::InsertMultisiteSite, true, [] { return MultisiteSiteCount(); }};
const GrowingList kIdList{kIds, kMaxListEntries, ev::InsertMultisiteId, false, [] { return IndListCount(kIds); }};
const GrowingList kTalkGroupList{kTalkGroups, kMaxListEntries, ev::InsertMultisiteTalkGroup, true,
                                 [] { return TgListCount(kTalkGroups); }};

bool IsNewRow(const indCellCall& call, const GrowingList& list) { return call.Index >= list.Count(); }

bool StartsNewEntry(int key)
{
    return key == cellkey::Space || key == cellkey::Backspace || key == '.' || IsDigitKey(key) || key == cellkey::Enter;
}

// The entry column of a growing list: true when the row holds an entry to
// edit, after appending one for a key typed into the empty row when the list
// takes it (IDs and talk groups also need room in the clone memory; sites
// have their own space). Otherwise the row shows nothing.
bool EntryToEdit(indCellCall& call, const GrowingList& list)
{
    if (!IsNewRow(call, list)) return true;
    cmcCellCapsule* cap = call.Cap;
    ShowText(cap, "");
    if (!OnGrid(cap) || !StartsNewEntry(cap->Key) || call.Index != list.Count()) return false;
    const bool fits = list.Kind == kSites || ItemsFit(call.Category, 1, 0);
    if (list.Count() < list.Limit && fits) {
        if (g_EvMan) g_EvMan->Send(list.InsertEvent, 0, call.Index);
        call.RefreshRanges();
        call.Rec.Unpack(list.Kind, call.Index);
        g_Main->Pack(call.Image());
        if (list.RepaintAfterInsert) Post(ev::RepaintLabelled);
        return !IsNewRow(call, list);
    }
    ErrorBox(g_GTex.GetFirstLine("GI_AppMess_ChErr_Overflow"));
    return false;
}

// ---- Site list ----

bool HasSite(const datCh& site) { return site.SiteId != 0; }

void SiteIdCell(indCellCall& call)
{
    call.Rec.Unpack(kSites, call.Index);
    if (!EntryToEdit(call, kSiteList)) return;
    int value = call.Rec.SiteId;
    if (EditIntValue(call.Cap, value, 0, kMaxSiteId, 0, 1, value == 0 ? "" : nullptr, true, false, call.Result) &&
        HasInput(call.Cap)) {
        call.Rec.SiteId = uint8_t(value);
        call.Rec.State.InUse = value != 0;
        call.Rec.Commit();
        call.Scope |= kPage;
        if (call.Result != erStartEdit && value == 0) ShowText(call.Cap, "");
    }
}

// The site's home repeater; Enter opens the site's repeaters.
void SiteRepeaterCell(indCellCall& call)
{
    cmcCellCapsule* cap = call.Cap;
    const datCh& site = call.Rec;
    if (IsNewRow(call, kSiteList)) {
        ShowText(cap, "");
        return;
    }
    if (!HasSite(site)) {
        DashedSetting(cap);
        return;
    }
    const int home = site.SiteHome1;
    const bool valid = home >= 1 && home <= kMaxHomeRepeater;
    ShowText(cap, "");
    if (site.State.InUse) {
        if (valid) {
            char text[16];
            std::snprintf(text, sizeof text, "%2d", home);
            ShowText(cap, text);
        }
        if (OnGrid(cap) && cap->Key == cellkey::Enter) {
            if (indCellPopups* popups = CellPopups(); popups && popups->OpenRepeaterSetWindow(*cap, kSiteRepeaters))
                call.Result = erPopupOpened;
        }
    }
    // A home past the site's last repeater names none: as bad as none.
    const int repeaters = GroupItemCount(call.Index, kSiteRepeaters);
    cap->ErrorMark = repeaters == 0 || !valid || home > repeaters;
}

enum class SiteValue { AreaBit, Otau, IntegratorCode, SystemCode };

struct SiteColumn {
    int Label;
    SiteValue What;
};

const SiteColumn kSiteColumns[] = {
    {CL_Multisite_SiteList_Areabit, SiteValue::AreaBit},
    {CL_Multisite_SiteList_OTAU, SiteValue::Otau},
    {CL_Multisite_SiteList_IntegratorCode, SiteValue::IntegratorCode},
    {CL_Multisite_SiteList_SystemCode, SiteValue::SystemCode},
};

void SiteColumnCell(indCellCall& call)
{
    const SiteColumn* column = nullptr;
    for (const SiteColumn& c : kSiteColumns)
        if (c.Label == call.Label) column = &c;
    if (!column) return;
    cmcCellCapsule* cap = call.Cap;
    datCh& site = call.Rec;
    if (IsNewRow(call, kSiteList)) {
        ShowText(cap, "");
        return;
    }
    if (!HasSite(site)) {
        DashedSetting(cap);
        return;
    }
    const ImageBytes image(&call.Image());
    int value = 0;
    bool changed = false;
    switch (column->What) {
    case SiteValue::AreaBit:
        value = site.SiteFlags.AreaBit;
        if ((changed = ChooseFromList(cap, "GI_Sheet_Sel_Misc_OnOff2", value, call.Result))) site.SiteFlags.AreaBit = value;
        break;
    case SiteValue::Otau:
        value = site.SiteFlags.Otau;
        if ((changed = ChooseFromList(cap, "GI_Sheet_Sel_Mch_DataWriteInh", value, call.Result)))
            site.SiteFlags.Otau = value;
        break;
    case SiteValue::IntegratorCode:
        value = site.IntegratorCode;
        if ((changed = EditIntWrap(cap, value, 0, 15, call.Result) && HasInput(cap)))
            site.IntegratorCode = uint8_t(value);
        cap->WarningMark = site.IntegratorCode != image.U8(kIntegratorCode);
        break;
    case SiteValue::SystemCode:
        value = int(site.SystemCode);
        if ((changed = EditIntWrap(cap, value, 1, 32766, call.Result) && HasInput(cap)))
            site.SystemCode = uint32_t(value);
        cap->WarningMark = int(site.SystemCode) != image.U16(kSystemCode);
        break;
    }
    if (changed) site.Commit();
}

// ---- Multisite IDs and talk groups ----

constexpr int kHighestId = 2000;
constexpr int kHighestTalkGroup = 2047;
constexpr int kFleetMax = 30;

void IdCell(indCellCall& call)
{
    call.Rec.Unpack(kIds, call.Index);
    if (!EntryToEdit(call, kIdList)) return;
    int value = int(call.Rec.IndId);
    if (EditIntWrap(call.Cap, value, 1, kHighestId, call.Result) && HasInput(call.Cap)) {
        call.Rec.IndId = uint32_t(value);
        call.Rec.Commit();
        Post(ev::RepaintLabelled);
    }
}

// Talk groups 2001 to 2046 do not exist: stepping up with Space skips to
// 2047, anything else lands on 2000.
void TalkGroupCell(indCellCall& call)
{
    call.Rec.Unpack(kTalkGroups, call.Index);
    if (!EntryToEdit(call, kTalkGroupList)) return;
    int value = int(call.Rec.GrpId);
    const int key = call.Cap->Key;
    if (EditIntWrap(call.Cap, value, 1, kHighestTalkGroup, call.Result) && HasInput(call.Cap)) {
        if (value > kHighestId && value < kHighestTalkGroup)
            value = key == cellkey::Space ? kHighestTalkGroup : kHighestId;
        call.Rec.GrpId = uint32_t(value);
        call.Rec.Commit();
        Post(ev::RepaintLabelled);
        if (call.Result != erStartEdit) ShowText(call.Cap, std::to_string(value));
    }
}

void FleetCell(indCellCall& call)
{
    const bool ids = call.Label == CL_Multisite_Ind_FleetID;
    call.Rec.Unpack(ids ? kIds : kTalkGroups, call.Index);
    if (IsNewRow(call, ids ? kIdList : kTalkGroupList)) {
        ShowText(call.Cap, "");
        return;
    }
    uint8_t& fleet = ids ? call.Rec.MsIndFleet : call.Rec.MsGrpFleet;
    int value = fleet;
    if (EditIntWrap(call.Cap, value, 1, kFleetMax, call.Result) && HasInput(call.Cap)) {
        fleet = uint8_t(value);
        call.Rec.Commit();
    }
}

void NameCell(indCellCall& call)
{
    const bool ids = call.Label == CL_Multisite_Ind_Id_Name;
    call.Rec.Unpack(ids ? kIds : kTalkGroups, call.Index);
    if (IsNewRow(call, ids ? kIdList : kTalkGroupList)) {
        ShowText(call.Cap, "");
        return;
    }
    if (EditLcdText(call.Cap, call.Rec.Text, kNameLength, false, call.Result) && HasInput(call.Cap))
        call.Rec.Commit();
}

constexpr LabelBehaviourEntry kMultisiteCells[] = {
    {CL_MultiSite_SiteID, SiteIdCell},
    {CL_Multisite_Rpt, SiteRepeaterCell},
    {CL_Multisite_SiteList_Areabit, SiteColumnCell},
    {CL_Multisite_SiteList_OTAU, SiteColumnCell},
    {CL_Multisite_SiteList_IntegratorCode, SiteColumnCell},
    {CL_Multisite_SiteList_SystemCode, SiteColumnCell},
    {CL_Multisite_SystemCode, SettingCell},
    {CL_Multisite_IntegratorCode, SettingCell},
    {CL_Multisite_Fleet_Unit_ID, SettingCell},
    {CL_Multisite_Fleet_ID, SettingCell},
    {CL_Multisite_Global_Edit, SettingCell},
    {CL_Multisite_Global_Auto, SettingCell},
    {CL_Multisite_Rmg_Scan_Timer, SettingCell},
    {CL_Multisite_Rmg_Wait_Timer, SettingCell},
    {CL_Multisite_Rmg_Scan_List, SettingCell},
    {CL_Multisite_Rmg_Home_Priority, SettingCell},
    {CL_Multisite_Rmg_Handshake_Failure, SettingCell},
    {CL_Multisite_Rmg_AdjSite_RSSI_Level, AdjacentSiteRssiCell},
    {CL_Multisite_Rmg_Background, SettingCell},
    {CL_Multisite_RSSI_Level, SettingCell},
    {CL_MultiSite_MERTimeP1, SettingCell},
    {CL_MultiSite_MERMsgP1, SettingCell},
    {CL_MultiSite_MERTimeP2, SettingCell},
    {CL_MultiSite_MERMsgP2, SettingCell},
    {CL_MultiSite_MERTimeP3, SettingCell},
    {CL_MultiSite_MERMsgP3, SettingCell},
    {CL_MultiSite_HaltWait, SettingCell},
    {CL_Multisite_Ind_FleetID, FleetCell},
    {CL_Multisite_Ind_Id_Dec, IdCell},
    {CL_Multisite_Ind_Id_Name, NameCell},
    {CL_Multisite_Grp_FleetID, FleetCell},
    {CL_Multisite_Grp_Id_Dec, TalkGroupCell},
    {CL_Multisite_Grp_Id_Name, NameCell},
    {CL_MultiSite_MonitorTypeP1, GuardedCell},
    {CL_Multisite_DRSSILP1, SettingCell},
    {CL_MultiSite_TRSSIDP1, SettingCell},
    {CL_MultiSite_ContinuousErrorCountP1, GuardedCell},
    {CL_MultiSite_NumSamplingFrameP1, SettingCell},
    {CL_MultiSite_NumAllowanceP1, SettingCell},
    {CL_MultiSite_CCSiteIDErrorP1, GuardedCell},
    {CL_MultiSite_MonitorTypeP2, GuardedCell},
    {CL_Multisite_DRSSILP2, SettingCell},
    {CL_MultiSite_TRSSIDP2, SettingCell},
    {CL_MultiSite_ContinuousErrorCountP2, GuardedCell},
    {CL_MultiSite_NumSamplingFrameP2, SettingCell},
    {CL_MultiSite_NumAllowanceP2, SettingCell},
    {CL_MultiSite_CCSiteIDErrorP2, GuardedCell},
    {CL_MultiSite_MonitorTypeP3, GuardedCell},
    {CL_Multisite_DRSSILP3, SettingCell},
    {CL_MultiSite_TRSSIDP3, SettingCell},
    {CL_MultiSite_ContinuousErrorCountP3, GuardedCell},
    {CL_MultiSite_NumSamplingFrameP3, SettingCell},
    {CL_MultiSite_NumAllowanceP3, SettingCell},
    {CL_MultiSite_CCSiteIDErrorP3, GuardedCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> MultisiteCellBehaviours() { return kMultisiteCells; }
