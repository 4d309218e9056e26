#include "model/ListRows.h"

#include "core/CheckedFormat.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEeprom.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/datClipCh.h"
#include "platform/base/Color.h"
#include "platform/base/Fatal.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <utility>

int g_RowDeleteRunning = 0;

namespace {

// Channel references in the working tables.
constexpr int kChannels = 512;
constexpr int kNoChannel = 512;
constexpr int kMainRecords = 130944;  // 30 bytes per channel
constexpr int kMainRecordSize = 30;
constexpr int kDivertModeByte = 12;  // bits 2-3: the emergency divert mode
constexpr int kDivertModeChannel = 2;  // the mode that diverts to a channel
constexpr int kDivertTargets = 302548;  // 16 bits per channel
constexpr int kScanLists = 179464;
constexpr int kScanListSize = 34;
constexpr int kScanListCount = 17;
constexpr int kScanModeFixedChannel = 5;  // a priority or TX mode that names the list's own channel
constexpr int kChannelGroups = 325630;  // {type, spare, number} x 16
constexpr int kChannelGroupCount = 16;
constexpr int kChannelGroupOfChannel = 1;
constexpr int kChannelGroupOfBank = 3;
constexpr int kGpsMoveChannel = 303590;
constexpr int kGpsMoveSwitch = 197902;  // bit 3
// ID, talk-group and site references.
constexpr int kDigitalIdRef = 204666;         // kind 18: the switch-on status goes to it
constexpr int kDigitalGpsSendId = 197916;     // kind 18: GPS positions go to it
constexpr int kDigitalTgRef = 302526;         // kind 19
constexpr int kDigitalTgEntryRef = 148178;    // kind 19, used when bit 1 of the flag byte is set
constexpr int kDigitalTgEntryFlag = 148174;
constexpr int kZephIdRef = 243068;            // kind 28: switch-on status
constexpr int kZephGpsSendId = 243070;        // kind 28: GPS positions
constexpr int kSiteRef = 303631;              // kind 30, used when bit 7 of the flag byte is set
constexpr int kSiteRefFlag = 303639;
constexpr int kMultisiteIdRef = 303640;       // kind 32: switch-on status
constexpr int kMultisiteGpsSendId = 303642;   // kind 32: GPS positions

// Room of the lists for an insert.
constexpr int kIdListSize = 500;
constexpr int kLtrRepeaterTotal = 2560;
constexpr int kZephRepeaterTotal = 3840;
constexpr int kMultisiteRepeaterTotal = 1440;
constexpr int kMaxSiteCountBeforeInsert = 47;

// Attribute bits (datCh::Attr).
constexpr uint16_t kBankTypeBits = 0x0030;   // SmarTrunkBank, LtrBank: the position's bank type
constexpr uint16_t kGroupMarkBits = 0x03C0;  // HomeRpt, HomeRpt2, SiteHome1, SiteHome2

// Overlay keys.
const char* const kAppTitle = "GI_Sys_AppTitle";
const char* const kAskOverwrite = "GI_AppMess_Conv_Overwrite";
const char* const kAskClear = "GI_AppMess_Conv_Clear";
const char* const kAskDelete = "GI_AppMess_Conv_Delete";
const char* const kStatusCopy = "GI_AppMess_S_Copy";
const char* const kStatusPaste = "GI_AppMess_S_Paste";
const char* const kStatusClear = "GI_AppMess_S_Clear";
const char* const kStatusDelete = "GI_AppMess_S_Delete";
const char* const kStatusInsert = "GI_AppMess_S_Insert";
const char* const kErrNoList = "GI_AppMess_ListErr_NoList";
const char* const kErrDeletePriority = "GI_AppMess_ChErr_DelPrio";
const char* const kErrOverflow = "GI_AppMess_ChErr_Overflow";
const char* const kErrDivertDeleted = "GI_AppMess_EmerDivertCH";
const char* const kErrTalkGroupDeleted = "GI_AppMEss_EntrTGID";
// The message of a cleared divert target is this program's own fixed text.
const char* const kDivertClearedText =
    "Zone %d Channel %d waa using this cleared channel as an Emergency Divert Channel.\n"
    " The Emergency Divert Option for this channel has been changed to Current/Global.";

constexpr int kRangeSelected = 1;  // RangeFlags bit 0
constexpr int kRangeReselect = 2;  // RangeFlags bit 1

const ListEvents kListEvents[] = {
    {1, ev::InsertChannel, ev::DeleteChannel, 512},
    {2, ev::InsertChannel, ev::DeleteChannel, 512},
    {22, ev::InsertRepeater, ev::DeleteRepeater, 2560},
    {7, ev::InsertTone, ev::DeleteTone, 80},
    {20, ev::InsertDigitalNac, ev::DeleteDigitalNac, 80},
    {18, ev::InsertDigitalId, ev::DeleteDigitalId, 500},
    {19, ev::InsertDigitalTalkGroup, ev::DeleteDigitalTalkGroup, 500},
    {27, ev::InsertZephRepeater, ev::DeleteZephRepeater, 3840},
    {28, ev::InsertZephId, ev::DeleteZephId, 500},
    {29, ev::InsertZephTalkGroup, ev::DeleteZephTalkGroup, 500},
    {32, ev::InsertMultisiteId, ev::DeleteMultisiteId, 500},
    {33, ev::InsertMultisiteTalkGroup, ev::DeleteMultisiteTalkGroup, 500},
    {31, ev::InsertMultisiteRepeater, ev::DeleteMultisiteRepeater, 1440},
    {30, ev::InsertMultisiteSite, ev::DeleteMultisiteSite, 48},
};

bool IsChannelKind(int kind) { return kind == 1 || kind == 2; }
bool IsGroupedKind(int kind) { return kind == 22 || kind == 27 || kind == 31; }
bool IsIdKind(int kind) { return kind == 18 || kind == 28 || kind == 32; }
bool IsTalkGroupKind(int kind) { return kind == 19 || kind == 29 || kind == 33; }
// Row-editable kinds that have no list events: their rows are cleared, never
// deleted or inserted.
bool HasNoListEvents(int kind) { return kind == 3 || kind == 4 || kind == 24 || kind == 34; }

int ChannelRecordKind()
{
    const auto& query = CurrentModelContext().MchRecordKind;
    return query ? query() : 1;
}

int RecordKind(const datCh& record) { return int(record.Kind); }

// The rows of a command.
struct Rows {
    int first;
    int last;
    int start;
    int Count() const { return last - first + 1; }
};

Rows CommandRows(const cmcCellCapsule& capsule, const datCh& record)
{
    const int current = record.Index;
    Rows rows{current, current, current};
    if (capsule.RangeFlags & kRangeSelected) {
        rows.first = std::min(capsule.RangeFirst, capsule.RangeLast);
        rows.last = std::max(capsule.RangeFirst, capsule.RangeLast);
    }
    rows.start = std::min(current, rows.first);
    return rows;
}

// The rows of a command cut to the rows it may touch, first..last; false when
// the current row lies outside them (the row past a list, or a row of another
// bank or group): then the command has nothing of its own to act on.
bool ConfineRows(Rows& rows, int current, int first, int last)
{
    if (current < first || current > last) return false;
    rows.first = std::max(rows.first, first);
    rows.last = std::min(rows.last, last);
    rows.start = std::min(current, rows.first);
    return true;
}

void SelectAgain(cmcCellCapsule& capsule, int first, int last)
{
    capsule.RangeFlags |= kRangeReselect;
    capsule.RangeFirst = first;
    capsule.RangeLast = last;
}

void JumpTo(cmcCellCapsule& capsule, int index)
{
    capsule.Jump = 1;
    capsule.JumpIndex = index;
}

// User interface: questions, messages, status texts and events.

bool Confirm(const char* key)
{
    const auto& ask = CurrentRowOpsHooks().ConfirmOkCancel;
    return !ask || ask(key);
}

bool ItemsFit(const cmcCellCapsule& capsule, int group)
{
    const auto& fits = CurrentRowOpsHooks().ItemsFit;
    if (!fits) return true;
    const int category = capsule.Cell ? capsule.Cell->Category : 0;
    return fits(category, 1, group);
}

void PackWorkingTables()
{
    const auto& pack = CurrentRowOpsHooks().Pack;
    if (pack) pack();
}

void ErrorBox(const std::string& text, const std::string& caption)
{
    plat::MessageBox(text, caption, plat::MB_OK | plat::MB_ICONERROR);
}

void OverlayError(const char* key) { ErrorBox(g_GTex.GetFirstLine(key), g_GTex.GetFirstLine(kAppTitle)); }

void Post(int type, intptr_t p1, intptr_t p2)
{
    if (g_EvMan) g_EvMan->Post(type, p1, p2);
}

void Send(int type, intptr_t p1, intptr_t p2)
{
    if (g_EvMan) g_EvMan->Send(type, p1, p2);
}

enum class Delivery { Send, Post };

void Status(const char* key, Delivery delivery)
{
    if (!g_EvMan) return;
    const std::string text = g_GTex.GetFirstLine(key);
    if (delivery == Delivery::Send)
        g_EvMan->SendText(ev::StatusText, plat::clWindowText, plat::clBtnFace, text);
    else
        g_EvMan->PostText(ev::StatusText, plat::clWindowText, plat::clBtnFace, text);
}

// A channel's bank and its position in that bank, both counted from 1, as
// the messages name them; false for a channel that lies in no bank.
bool ChannelPlace(int channel, int& bank, int& position)
{
    const int b = datCh::BankOfChannel(channel);
    if (b >= WorkTables::Banks) return false;
    bank = b + 1;
    position = channel - BankFirstChannel(b) + 1;
    return true;
}

int DivertMode(const ImageBytes& img, int channel)
{
    return img.Bits(kMainRecords + kMainRecordSize * channel + kDivertModeByte, 2, 2);
}

void SetDivertMode(ImageBytes& img, int channel, int mode)
{
    img.SetBits(kMainRecords + kMainRecordSize * channel + kDivertModeByte, 2, 2, uint32_t(mode));
}

// How references change when items move.
struct Shift {
    enum Op { Delete, Insert, Move };
    Op op = Delete;
    int index = 0;  // Delete, Insert
    // Move: the block first..last moves by direction past its neighbour.
    int first = 0;
    int last = 0;
    int direction = 0;

    static Shift Deleted(int index) { return {Delete, index, 0, 0, 0}; }
    static Shift Inserted(int index) { return {Insert, index, 0, 0, 0}; }
    static Shift Moved(int first, int last, int direction) { return {Move, 0, first, last, direction}; }

    // The new value of reference r; hit is set when r named the deleted item
    // (the value is then 0, the cleared reference).
    int Map(int r, bool& hit) const
    {
        hit = false;
        switch (op) {
        case Delete:
            if (r == index) {
                hit = true;
                return 0;
            }
            return r > index ? r - 1 : r;
        case Insert: return r >= index ? r + 1 : r;
        case Move: {
            const int length = last - first + 1;
            if (r >= first && r <= last) return r + direction;
            if (direction > 0 && r == last + 1) return r - length;
            if (direction < 0 && r == first - 1) return r + length;
            return r;
        }
        }
        return r;
    }
    // Whether the item at index goes away with this change.
    bool Removes(int i) const { return op == Delete && i == index; }
};

// A 16-bit reference at a fixed place; true when it named the deleted item.
bool ShiftRef16(ImageBytes& img, int at, const Shift& shift)
{
    bool hit = false;
    const int r = img.U16(at);
    const int v = shift.Map(r, hit);
    if (v != r) img.SetU16(at, uint32_t(v));
    return hit;
}

void ShiftScanListChannels(ImageBytes& img, const Shift& shift)
{
    for (int j = 0; j < kScanListCount; ++j) {
        const int x = kScanLists + kScanListSize * j;
        // TX channel: mode in the high nibble of byte 26; a cleared fixed
        // channel falls back to mode 0.
        if (ShiftRef16(img, x + 28, shift) && img.Bits(x + 26, 4, 4) == kScanModeFixedChannel) img.SetBits(x + 26, 4, 4, 0);
        // Priority channel 1: low nibble of byte 26; falls back to mode 1.
        if (ShiftRef16(img, x + 30, shift) && img.Bits(x + 26, 0, 4) == kScanModeFixedChannel) img.SetBits(x + 26, 0, 4, 1);
        // Priority channel 2: high nibble of byte 27; falls back to mode 0
        // with its switch (byte 24 bit 7) off.
        if (ShiftRef16(img, x + 32, shift) && img.Bits(x + 27, 4, 4) == kScanModeFixedChannel) {
            img.SetBits(x + 27, 4, 4, 0);
            img.SetBit(x + 24, 7, false);
        }
    }
}

void ShiftChannelGroups(ImageBytes& img, const Shift& shift)
{
    for (int j = 0; j < kChannelGroupCount; ++j) {
        const int e = kChannelGroups + 4 * j;
        const int type = img.U8(e);
        if (type == kChannelGroupOfChannel) {
            ShiftRef16(img, e + 2, shift);
        } else if (type == kChannelGroupOfBank && shift.op == Shift::Delete) {
            // A bank entry is never shifted; it is cleared when the bank's
            // first channel goes.
            const int bank = img.U16(e + 2);
            if (bank < WorkTables::Banks && BankFirstChannel(bank) == shift.index) img.SetU16(e + 2, 0);
        }
    }
}

void ShiftGpsMoveChannel(ImageBytes& img, const Shift& shift)
{
    const int r = img.U16(kGpsMoveChannel);
    if (r >= kNoChannel) return;
    bool hit = false;
    const int v = shift.Map(r, hit);
    if (hit) {
        img.SetU16(kGpsMoveChannel, kNoChannel);
        img.SetBit(kGpsMoveSwitch, 3, false);
    } else if (v != r) {
        img.SetU16(kGpsMoveChannel, uint32_t(std::min(v, kNoChannel)));
    }
}

// The emergency divert targets of all channels. A channel that diverted to a
// deleted channel falls back from divert mode 2 to mode 0 with a message
// (none for the deleted channel itself, nor for slots outside every bank).
void ShiftDivertTargets(ImageBytes& img, const Shift& shift)
{
    for (int j = 0; j < kChannels; ++j) {
        const int at = kDivertTargets + 2 * j;
        const int r = img.U16(at);
        if (!ShiftRef16(img, at, shift)) {
            if (shift.op == Shift::Move && img.U16(at) != r) Post(ev::RepaintIndex, 0, j);
            continue;
        }
        if (DivertMode(img, j) != kDivertModeChannel) continue;
        SetDivertMode(img, j, 0);
        int bank = 0, position = 0;
        if (shift.Removes(j) || !ChannelPlace(j, bank, position)) continue;
        ErrorBox(CheckedFormat(g_GTex.GetMultiLineText(kErrDivertDeleted), {bank, position}), g_GTex.GetFirstLine(kAppTitle));
    }
}

// A list reference held in a field of every channel in use whose bank passes
// the filter; a changed channel is packed again.
template <typename BankFilter>
void ShiftChannelField(cmcEeprom& image, const Shift& shift, uint32_t datCh::*field, BankFilter inBank)
{
    const int kind = ChannelRecordKind();
    datCh ch(&image);
    for (int n = 0; n < kChannels; ++n) {
        ch.Unpack(kind, n);
        if (!ch.State.InUse || !inBank(datCh::BankOfChannel(n))) continue;
        bool hit = false;
        const int r = int(ch.*field);
        const int v = shift.Map(r, hit);
        if (v == r) continue;
        ch.*field = uint32_t(v);
        ch.Pack(kind, n);
    }
}

bool AnyBank(int) { return true; }
bool ConventionalBank(int b) { return !IsZephBank(b) && !IsMultisiteBank(b); }
bool ZephBank(int b) { return IsZephBank(b); }
bool MultisiteBank(int b) { return IsMultisiteBank(b); }

// Every reference to the list of this kind.
void ShiftReferences(cmcEeprom& image, int kind, const Shift& shift)
{
    ImageBytes img(&image);
    switch (kind) {
    case 1:
    case 2:
        ShiftScanListChannels(img, shift);
        // Carry leaves the channel groups and the GPS move channel where they
        // are; delete and insert renumber them.
        if (shift.op != Shift::Move) {
            ShiftChannelGroups(img, shift);
            ShiftGpsMoveChannel(img, shift);
        }
        ShiftDivertTargets(img, shift);
        break;
    case 18:
        ShiftRef16(img, kDigitalIdRef, shift);
        ShiftRef16(img, kDigitalGpsSendId, shift);
        ShiftChannelField(image, shift, &datCh::IndList, ConventionalBank);
        break;
    case 19:
        ShiftRef16(img, kDigitalTgRef, shift);
        if (img.Bit(kDigitalTgEntryFlag, 1) && ShiftRef16(img, kDigitalTgEntryRef, shift)) {
            img.SetBit(kDigitalTgEntryFlag, 1, false);
            ErrorBox(g_GTex.GetMultiLineText(kErrTalkGroupDeleted), g_GTex.GetFirstLine(kAppTitle));
        }
        ShiftChannelField(image, shift, &datCh::TgList, AnyBank);
        break;
    case 28:
        ShiftRef16(img, kZephIdRef, shift);
        ShiftRef16(img, kZephGpsSendId, shift);
        ShiftChannelField(image, shift, &datCh::IndList, ZephBank);
        break;
    case 29: ShiftChannelField(image, shift, &datCh::ZephTgList, AnyBank); break;
    case 30: {
        if (shift.op == Shift::Delete) DeleteMultisiteSite(shift.index);
        if (shift.op == Shift::Insert) InsertMultisiteSite(shift.index);
        if (!img.Bit(kSiteRefFlag, 7)) break;
        bool hit = false;
        const int r = img.U8(kSiteRef);
        const int v = shift.Map(r, hit);
        img.SetU8(kSiteRef, v & 0xFF);
        if (hit) img.SetBit(kSiteRefFlag, 7, false);
        break;
    }
    case 32:
        ShiftRef16(img, kMultisiteIdRef, shift);
        ShiftRef16(img, kMultisiteGpsSendId, shift);
        ShiftChannelField(image, shift, &datCh::MsIndList, MultisiteBank);
        break;
    case 33: ShiftChannelField(image, shift, &datCh::MsTgList, AnyBank); break;
    default: break;
    }
}

// The items of a grouped list that lie in group g (before the change).
struct GroupSpan {
    bool given = false;
    int first = 0;
    int end = 0;
    bool Holds(int i) const { return i >= first && i < end; }
};

GroupSpan SpanOfGroup(int kind, int groupPlusOne)
{
    GroupSpan span;
    if (groupPlusOne <= 0) return span;
    const int g = groupPlusOne - 1;
    span.given = true;
    span.first = GroupFirstItem(g, kind);
    span.end = span.first + GroupItemCount(g, kind);
    return span;
}

// One past the last place a shift at index may use: the list's length, or
// for kind 31 the end of the site (its 30 records are a block of their own).
int ShiftEnd(int kind, int length, int index, int groupPlusOne)
{
    if (kind != 31) return length;
    const int g = groupPlusOne > 0 ? groupPlusOne - 1 : GroupOfItem(index, kind);
    return std::min(length, GroupFirstItem(g + 1, kind));
}

// The item moved from one place to another keeps the bank type of its new
// place and, with a group given, its group marks only when `inGroup`.
void FitToPlace(datCh& item, uint16_t placeBits, const GroupSpan& span, bool inGroup)
{
    uint16_t attr = uint16_t((item.Attr.Value() & ~kBankTypeBits) | placeBits);
    if (span.given && !inGroup) attr = uint16_t(attr & ~kGroupMarkBits);
    item.Attr.SetValue(attr);
}

cmcEeprom* InitialImage() { return CurrentModelContext().InitialImage; }

// Releases the group marks of the marked rows (clear requests packed with
// the record): the first mark of kinds 22, 27 and 31 and the second mark of
// kinds 27 and 31. Releasing a site's first collecting repeater releases
// both of the site's marks.
void ReleaseGroupMarks(cmcEeprom& image, int kind, int from, int to)
{
    if (!IsGroupedKind(kind)) return;
    datCh item(&image);
    for (int i = from; i <= to; ++i) {
        item.Unpack(kind, i);
        bool release = false;
        if (item.Attr.HomeRpt || (kind == 31 && item.Attr.SiteHome1)) {
            item.Attr.ClearHome = 1;
            release = true;
        }
        if ((kind == 27 && item.Attr.HomeRpt2) || (kind == 31 && item.Attr.SiteHome2)) {
            item.Attr.ClearHome2 = 1;
            release = true;
        }
        if (release) item.Pack(kind, i);
    }
}

// Whether the list of the kind has room for one more item.
bool ListHasRoom(int kind, int group)
{
    if (IsIdKind(kind)) return IndListCount(kind) < kIdListSize;
    if (IsTalkGroupKind(kind)) return TgListCount(kind) < kIdListSize;
    switch (kind) {
    case 22: return ListItemTotal(22) < kLtrRepeaterTotal && GroupItemCount(group, 22) < ItemsPerGroup(22);
    case 27: return ListItemTotal(27) < kZephRepeaterTotal && GroupItemCount(group, 27) < ItemsPerGroup(27);
    case 31: return ListItemTotal(31) < kMultisiteRepeaterTotal && GroupItemCount(group, 31) < ItemsPerGroup(31);
    case 30: return MultisiteSiteCount() <= kMaxSiteCountBeforeInsert;
    default: return IsChannelKind(kind) && UsedChannelCount() < kChannels;
    }
}

// The list events of the kind carry the group only for the grouped lists
// and the channels.
int EventGroup(int kind, int group) { return IsChannelKind(kind) || IsGroupedKind(kind) ? group : 0; }

} // namespace

RowOpsHooks& CurrentRowOpsHooks()
{
    static RowOpsHooks hooks;
    return hooks;
}

ScopedRowOpsHooks::ScopedRowOpsHooks(RowOpsHooks hooks) : m_previous(std::move(CurrentRowOpsHooks()))
{
    CurrentRowOpsHooks() = std::move(hooks);
}

ScopedRowOpsHooks::~ScopedRowOpsHooks() { CurrentRowOpsHooks() = std::move(m_previous); }

const ListEvents* ListEventsOfKind(int kind)
{
    for (const ListEvents& e : kListEvents)
        if (e.kind == kind) return &e;
    return nullptr;
}

const ListEvents* ListEventsOfEvent(int id)
{
    for (const ListEvents& e : kListEvents)
        if (e.insertEvent == id || e.deleteEvent == id) return &e;
    return nullptr;
}

datCh& RunRowCommand(cmcCellCapsule* capsule, datCh& record, int first, int last, int group)
{
    if (!capsule) return record;
    switch (capsule->Command) {
    case rowcmd::Copy: RowCopy(capsule, record, first, last); break;
    case rowcmd::Paste: RowPaste(capsule, record, first, last); break;
    case rowcmd::CarryUp: CarryRows(capsule, record, first, last, -1); break;
    case rowcmd::CarryDown: CarryRows(capsule, record, first, last, +1); break;
    case rowcmd::Clear: RowClear(capsule, record, first, last); break;
    case rowcmd::Delete: RowDelete(capsule, record, first, last, group); break;
    case rowcmd::Insert: RowInsert(capsule, record, first, last, group); break;
    default: break;
    }
    return record.Reload();
}

void RowCopy(cmcCellCapsule* capsule, datCh& record, int first, int last)
{
    const int current = record.Index;
    if (!capsule || !record.Image || !g_ClipCh || current < first || current > last) return;
    Rows rows = CommandRows(*capsule, record);
    rows.first = std::max(rows.first, first);
    rows.last = std::min(rows.last, last);
    if (rows.first > rows.last) return;
    g_ClipCh->Copy(record.Image, RecordKind(record), rows.first, rows.Count());
    SelectAgain(*capsule, rows.first, rows.last);
    Status(kStatusCopy, Delivery::Send);
}

void RowPaste(cmcCellCapsule* capsule, datCh& record, int first, int last)
{
    const int c = record.Index;
    const int kind = RecordKind(record);
    if (!capsule || !record.Image || !g_ClipCh || c < first || c > last || !g_ClipCh->HoldsKind(kind)) return;
    const int count = std::min(last - c + 1, g_ClipCh->Count());
    if (!datCh::RangeIsEmpty(record, c, c + count - 1) && !Confirm(kAskOverwrite)) return;
    g_ClipCh->PasteKeepingLinks(record.Image, kind, c, count);
    if (count == 1)
        Post(ev::RepaintIndex, 0, c);
    else
        Post(ev::RepaintLabelled, 0, 0);
    SelectAgain(*capsule, c, c + count - 1);
    Status(kStatusPaste, Delivery::Send);
}

void CarryRows(cmcCellCapsule* capsule, datCh& record, int first, int last, int direction)
{
    if (!capsule || !record.Image || (direction != -1 && direction != 1)) return;
    const Rows rows = CommandRows(*capsule, record);
    const int f = rows.first, d = rows.last;
    if (f < first || d > last) return;
    if (direction > 0 ? d >= last : f <= first) return;
    const int kind = RecordKind(record);
    cmcEeprom& image = *record.Image;

    ShiftReferences(image, kind, Shift::Moved(f, d, direction));

    // The block and its neighbour change places; each target keeps the bits
    // that belong to its position.
    datClipCh neighbour, block;
    neighbour.Copy(&image, kind, direction > 0 ? d + 1 : f - 1, 1);
    block.Copy(&image, kind, f, rows.Count());
    block.Paste(&image, kind, f + direction, rows.Count());
    neighbour.Paste(&image, kind, direction > 0 ? f : d, 1);

    SelectAgain(*capsule, f + direction, d + direction);
    JumpTo(*capsule, direction > 0 ? d + direction : f + direction);
}

void RowClear(cmcCellCapsule* capsule, datCh& record, int first, int last)
{
    const int kind = RecordKind(record);
    if (!capsule || !record.Image || !KindTableFlag(kind)) return;
    Rows rows = CommandRows(*capsule, record);
    if (!ConfineRows(rows, record.Index, first, last)) return;
    if (!Confirm(kAskClear)) return;
    cmcEeprom& image = *record.Image;

    if (IsChannelKind(kind)) {
        // Channels that diverted to a cleared channel no longer divert to it;
        // those in divert mode 2 fall back to mode 0 with a message.
        ImageBytes img(&image);
        for (int r = rows.first; r <= rows.last; ++r) {
            for (int j = 0; j < kChannels; ++j) {
                const int at = kDivertTargets + 2 * j;
                if (img.U16(at) != r) continue;
                const bool diverting = DivertMode(img, j) == kDivertModeChannel;
                if (r == 0 && !diverting) continue;  // 0 is also the cleared value
                img.SetU16(at, 0);
                Post(ev::RepaintIndex, 0, j);
                if (!diverting) continue;
                SetDivertMode(img, j, 0);
                int bank = 0, position = 0;
                if ((j >= rows.first && j <= rows.last) || !ChannelPlace(j, bank, position)) continue;
                char text[256];
                std::snprintf(text, sizeof text, kDivertClearedText, bank, position);
                ErrorBox(text, plat::ProgramFileName());
            }
        }
    }
    ReleaseGroupMarks(image, kind, rows.start, rows.last);
    ResetRowsToDefault(image, kind, rows.first, rows.last);
    Status(kStatusClear, Delivery::Send);
    Post(ev::RepaintLabelled, 0, 0);
}

void RowDelete(cmcCellCapsule* capsule, datCh& record, int first, int last, int group)
{
    const int kind = RecordKind(record);
    if (!capsule || !record.Image || !KindTableFlag(kind) || HasNoListEvents(kind)) return;
    const ListEvents* events = ListEventsOfKind(kind);
    if (!events) return;
    Rows rows = CommandRows(*capsule, record);
    if (!ConfineRows(rows, record.Index, first, last)) return;
    const int n = rows.Count();
    if (!datCh::RangeIsEmpty(record, rows.first, rows.last) && !Confirm(kAskDelete)) return;
    cmcEeprom& image = *record.Image;

    if (IsIdKind(kind) || IsTalkGroupKind(kind)) {
        // Such a list never becomes empty.
        const int count = IsIdKind(kind) ? IndListCount(kind) : TgListCount(kind);
        if (n >= count) {
            OverlayError(kErrNoList);
            return;
        }
    } else if (IsGroupedKind(kind)) {
        ReleaseGroupMarks(image, kind, rows.start, rows.last);
    } else if (IsChannelKind(kind)) {
        datCh ch(&image);
        bool designatedC = false, designatedD = false;
        for (int i = rows.first; i <= rows.last; ++i) {
            ch.Unpack(kind, i);
            if (ch.Attr.PrioA || ch.Attr.PrioB) {
                OverlayError(kErrDeletePriority);
                return;
            }
            designatedC = designatedC || ch.Attr.RefC;
            designatedD = designatedD || ch.Attr.RefD;
        }
        // A designated channel that goes switches its function off.
        if (designatedC || designatedD) {
            ch.Unpack(kind, rows.last);
            if (designatedC) ch.Attr.RefCOff = 1;
            if (designatedD) ch.Attr.RefDOff = 1;
            ch.Commit();
        }
        g_RowDeleteRunning = 1;
    }
    const int p1 = EventGroup(kind, group);
    for (int i = 0; i < n; ++i) Send(events->deleteEvent, p1, rows.start);
    g_RowDeleteRunning = 0;

    capsule->RangeFlags &= ~kRangeReselect;
    JumpTo(*capsule, rows.first);
    Post(ev::RepaintLabelled, 0, 0);
    Status(kStatusDelete, Delivery::Post);
}

void RowInsert(cmcCellCapsule* capsule, datCh& record, int first, int last, int group)
{
    const int kind = RecordKind(record);
    if (!capsule || !record.Image || !KindTableFlag(kind) || HasNoListEvents(kind)) return;
    const ListEvents* events = ListEventsOfKind(kind);
    if (!events) return;
    // A list grows at its end too: the row just past it takes an insert.
    Rows rows = CommandRows(*capsule, record);
    if (!ConfineRows(rows, record.Index, first, last + 1)) return;
    const int p1 = EventGroup(kind, group);
    int inserted = 0;
    for (int i = 0; i < rows.Count(); ++i) {
        // Sites take no clone-memory budget of their own.
        if (!ListHasRoom(kind, group) || (kind != 30 && !ItemsFit(*capsule, group))) {
            OverlayError(kErrOverflow);
            break;
        }
        Send(events->insertEvent, p1, rows.start);
        PackWorkingTables();
        ++inserted;
    }
    SelectAgain(*capsule, rows.first, rows.last);
    if (inserted > 0) Status(kStatusInsert, Delivery::Send);
}

void ResetRowsToDefault(cmcEeprom& image, int kind, int first, int last)
{
    cmcEeprom* initial = InitialImage();
    if (!initial || last < first) return;
    datClipCh defaults;
    defaults.Copy(initial, kind, first, last - first + 1);
    defaults.PasteKeepingLinks(&image, kind, first, last - first + 1);
    for (int i = first; i <= last; ++i) Post(ev::RepaintIndex, 0, i);
}

void CopyItemFromImage(cmcEeprom& image, cmcEeprom& source, int kind, int index, CellChangeScope* scope)
{
    datCh own(&image);
    own.Unpack(kind, index);
    datCh item(&source);
    item.Unpack(kind, index);
    item.Attr = own.Attr;
    item.SetImage(&image);
    item.Commit();
    if (scope) *scope |= csSameIndex;
}

void RenumberAfterDeleteInGroup(cmcEeprom& image, cmcEeprom& initial, int length, int kind, int index, int groupPlusOne,
                                CellChangeScope* scope)
{
    const GroupSpan span = SpanOfGroup(kind, groupPlusOne);
    const int end = ShiftEnd(kind, length, index, groupPlusOne);
    ShiftReferences(image, kind, Shift::Deleted(index));
    if (index >= 0 && index < end) {
        // Each place p takes the item after it. The bank type of place p + 1,
        // read with its item, is the one the next place keeps.
        datCh item(&image);
        uint16_t placeBits = uint16_t(item.Unpack(kind, index).Attr.Value() & kBankTypeBits);
        for (int p = index; p < end - 1; ++p) {
            item.Unpack(kind, p + 1);
            const uint16_t nextPlaceBits = uint16_t(item.Attr.Value() & kBankTypeBits);
            FitToPlace(item, placeBits, span, span.Holds(p));
            item.Pack(kind, p);
            placeBits = nextPlaceBits;
        }
        CopyItemFromImage(image, initial, kind, end - 1, scope);
    }
    if (scope) *scope |= csEveryLabelled;
}

void RenumberAfterInsertInGroup(cmcEeprom& image, cmcEeprom& initial, int length, int kind, int index, int groupPlusOne,
                                CellChangeScope* scope)
{
    const GroupSpan span = SpanOfGroup(kind, groupPlusOne);
    const int end = ShiftEnd(kind, length, index, groupPlusOne);
    ShiftReferences(image, kind, Shift::Inserted(index));
    if (index >= 0 && index < end) {
        // Each place p takes the item before it, from the end down.
        datCh item(&image);
        uint16_t placeBits = uint16_t(item.Unpack(kind, end - 1).Attr.Value() & kBankTypeBits);
        for (int p = end - 1; p > index; --p) {
            item.Unpack(kind, p - 1);
            const uint16_t nextPlaceBits = uint16_t(item.Attr.Value() & kBankTypeBits);
            FitToPlace(item, placeBits, span, span.Holds(p - 1));
            item.Pack(kind, p);
            placeBits = nextPlaceBits;
        }
        CopyItemFromImage(image, initial, kind, index, scope);
    }
    if (scope) *scope |= csEveryLabelled;
}

void RenumberAfterDelete(cmcEeprom& image, cmcEeprom& initial, int length, int kind, int index, CellChangeScope* scope)
{
    RenumberAfterDeleteInGroup(image, initial, length, kind, index, 0, scope);
}

void RenumberAfterInsert(cmcEeprom& image, cmcEeprom& initial, int length, int kind, int index, CellChangeScope* scope)
{
    RenumberAfterInsertInGroup(image, initial, length, kind, index, 0, scope);
}
