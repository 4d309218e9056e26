// The MDC data signalling cells: five MDC systems, each made of function
// blocks (general, PTT ID, selective call, call alert, radio check, stun,
// revive, emergency, status, message), with 16 status and 16 message texts
// per system; the first MDC alias; and the MDC system a memory channel uses.
//
// Every block lies five times in the working image, once per system: a
// cell whose index is the system s works on block base + stride x s. The
// status and message cells count 16 per system (index 16 x s + n). Most
// cells are one field of a block: they are rows of a table read by one
// function; the cells with rules of their own follow it.
#include "cells/CellFamilies.h"
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "platform/base/Canvas.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kSystems = 5;
constexpr int kTextsPerSystem = 16;
constexpr int kTextLength = 12;
constexpr int kTextFlags = 192;  // the flag bytes follow the 16 texts

enum class Block { System, General, PttId, Emergency, SelCall, CallAlert, RadioCheck, Stun, Revive, Status, Message,
                   StatusFlags, MessageFlags };

struct BlockPlace {
    int Base;
    int Stride;
};

BlockPlace PlaceOf(Block b)
{
    switch (b) {
    case Block::System: return {235134, 12};
    case Block::General: return {235194, 20};
    case Block::PttId: return {235294, 6};
    case Block::Emergency: return {235324, 18};
    case Block::SelCall: return {235414, 6};
    case Block::CallAlert: return {235444, 12};
    case Block::RadioCheck: return {235504, 8};
    case Block::Stun: return {235544, 8};
    case Block::Revive: return {235584, 8};
    case Block::Status: return {235624, 10};
    case Block::Message: return {235674, 10};
    case Block::StatusFlags: return {235754, 208};
    case Block::MessageFlags: return {236794, 208};
    }
    return {0, 0};
}

bool IsTextBlock(Block b) { return b == Block::StatusFlags || b == Block::MessageFlags; }

// The first byte of the cell's block, or -1 for an index that names no
// system (or no text).
int64_t BlockBase(Block b, int index)
{
    const BlockPlace p = PlaceOf(b);
    if (IsTextBlock(b)) {
        if (index < 0 || index >= kSystems * kTextsPerSystem) return -1;
        return p.Base + int64_t(p.Stride) * (index / kTextsPerSystem);
    }
    if (index < 0 || index >= kSystems) return -1;
    return p.Base + int64_t(p.Stride) * index;
}

// The byte of text n of the cell's system in a text block.
int64_t TextBase(Block b, int index) { return BlockBase(b, index) + kTextLength * (index % kTextsPerSystem); }
int64_t FlagBase(Block b, int index) { return BlockBase(b, index) + kTextFlags + index % kTextsPerSystem; }

// ---- Fields of the blocks ----

struct MdcField {
    Block In;
    SettingRow Field;
};

constexpr const char* kEnable = "GI_Sheet_Sel_Misc_Enable";
constexpr const char* kBeepType = "GI_Sheet_Sel_MDC_Beep_Type";

constexpr MdcField Choice(Block b, int label, int byte, int low, int width, const char* key)
{
    return {b, ListRow(label, byte, low, width, key)};
}

constexpr MdcField Enable(Block b, int label, int byte, int bit) { return Choice(b, label, byte, bit, 1, kEnable); }

// A time in milliseconds (16 bits) shown in seconds; Space starts editing.
constexpr MdcField Time(Block b, int label, int byte, double lowest, double highest)
{
    return {b, {.Label = label, .How = SettingHandler::Scaled, .Field = {byte, 0, SettingWord}, .From = lowest,
                .To = highest, .StoredDecimals = 3, .ShownDecimals = 3, .StepKeys = false}};
}

constexpr MdcField Count(Block b, int label, int byte, int low, int width, int lowest, int highest)
{
    return {b, ByteRow(label, {byte, low, width}, lowest, highest)};
}

constexpr MdcField Wrap(Block b, int label, int byte, int width, int lowest, int highest)
{
    return {b, {.Label = label, .How = SettingHandler::Number, .Field = {byte, 0, width}, .Min = lowest,
                .Max = highest}};
}

constexpr double kMinute = 60.0;

const MdcField kFields[] = {
    // General
    Choice(Block::General, CL_Mdc_General_Mdc_On, 0, 7, 1, "GI_Sheet_Sel_Misc_OnOff"),
    Enable(Block::General, CL_Mdc_General_Mute_MSK, 0, 6),
    Enable(Block::General, CL_Mdc_General_Tones_Req, 0, 5),
    Choice(Block::General, CL_Mdc_General_Mute_Type, 0, 0, 4, "GI_Sheet_Mdc_Status_Mute_Type"),
    Time(Block::General, CL_Mdc_General_Initial_Tx_Delay, 5, 0, 10.0),
    Wrap(Block::General, CL_Mdc_General_Tx_Sync_Retry, 7, 8, 0, 255),
    Wrap(Block::General, CL_Mdc_General_Rx_Sync_Threshold, 8, 8, 29, 40),
    Time(Block::General, CL_Mdc_General_Menu_Timeout, 9, 1.0, 30.0),
    Time(Block::General, CL_Mdc_General_10key_Timeout, 11, 0.5, 10.0),
    Time(Block::General, CL_Mdc_General_DOS_Time, 13, 0, 4.5),
    Time(Block::General, CL_Mdc_General_Coast_Time, 15, 0, 0.5),
    Time(Block::General, CL_Mdc_General_Auto_Reset, 17, 0, kMinute),
    Enable(Block::General, CL_Mdc_General_Log_Enabled, 19, 7),
    Choice(Block::General, CL_Mdc_General_Log_Action_Type, 19, 0, 4, "GI_Sheet_Mdc_General_Log_Action_Type"),
    // PTT ID (transmit is bit 7 and receive bit 6 here)
    Enable(Block::PttId, CL_Mdc_PttId_Tx, 0, 7),
    Enable(Block::PttId, CL_Mdc_PttId_Rx, 0, 6),
    Enable(Block::PttId, CL_Mdc_PttId_Pttid_Dwn, 0, 5),
    Enable(Block::PttId, CL_Mdc_PttId_Pttid_Up, 0, 4),
    Enable(Block::PttId, CL_Mdc_PttId_Rt_Beep, 0, 3),
    Enable(Block::PttId, CL_Mdc_PttId_Cu_Beep, 0, 2),
    Time(Block::PttId, CL_Mdc_PttId_Pre_Time, 2, 0, kMinute),
    Time(Block::PttId, CL_Mdc_PttId_Post_Time, 4, 0, kMinute),
    // Selective call
    Enable(Block::SelCall, CL_Mdc_SelCall_Rx, 0, 7),
    Enable(Block::SelCall, CL_Mdc_SelCall_Tx, 0, 6),
    Enable(Block::SelCall, CL_Mdc_SelCall_Show_Icon, 0, 4),
    Choice(Block::SelCall, CL_Mdc_SelCall_BeepType, 0, 0, 4, kBeepType),
    Enable(Block::SelCall, CL_Mdc_SelCall_Rx_Log, 1, 7),
    Enable(Block::SelCall, CL_Mdc_SelCall_RT_Beep, 1, 6),
    Enable(Block::SelCall, CL_Mdc_SelCall_EXO_Out, 1, 5),
    Time(Block::SelCall, CL_Mdc_SelCall_Disp_Time, 2, 0, kMinute),
    // Call alert
    Enable(Block::CallAlert, CL_Mdc_CallAlert_Rx, 0, 7),
    Enable(Block::CallAlert, CL_Mdc_CallAlert_Tx, 0, 6),
    Enable(Block::CallAlert, CL_Mdc_CallAlert_Rx_Log, 0, 4),
    Choice(Block::CallAlert, CL_Mdc_CallAlert_Beep_Type, 0, 0, 4, kBeepType),
    Enable(Block::CallAlert, CL_Mdc_CallAlert_Show_Icon, 1, 7),
    Enable(Block::CallAlert, CL_Mdc_CallAlert_Request_Ack, 1, 6),
    Enable(Block::CallAlert, CL_Mdc_CallAlert_EXO_Out, 1, 4),
    Choice(Block::CallAlert, CL_Mdc_CallAlert_Beep_Length, 1, 0, 4, "GI_Sheet_Mdc_CallAlert_Beep_Rep"),
    Wrap(Block::CallAlert, CL_Mdc_CallAlert_Num_Retry, 2, SettingWord, 1, 250),
    Time(Block::CallAlert, CL_Mdc_CallAlert_Ack_Wait, 4, 0, kMinute),
    Time(Block::CallAlert, CL_Mdc_CallAlert_Ack_Delay, 6, 0, kMinute),
    Time(Block::CallAlert, CL_Mdc_CallAlert_Display_Time, 8, 0, kMinute),
    // Radio check
    Enable(Block::RadioCheck, CL_Mdc_RadioChk_Rx, 0, 7),
    Enable(Block::RadioCheck, CL_Mdc_RadioChk_Tx, 0, 6),
    Count(Block::RadioCheck, CL_Mdc_RadioChk_Num_Retry, 0, 0, 4, 1, 15),
    Time(Block::RadioCheck, CL_Mdc_RadioChk_Ack_Delay, 2, 0, kMinute),
    Time(Block::RadioCheck, CL_Mdc_RadioChk_Ack_Wait, 4, 0, kMinute),
    Time(Block::RadioCheck, CL_Mdc_RadioChk_Disp_Time, 6, 0, kMinute),
    // Stun
    Enable(Block::Stun, CL_Mdc_Stun_Rx, 0, 7),
    Enable(Block::Stun, CL_Mdc_Stun_Tx, 0, 6),
    Count(Block::Stun, CL_Mdc_Stun_No_Retry, 0, 0, 4, 1, 15),
    Time(Block::Stun, CL_Mdc_Stun_Ack_Wait, 2, 0, kMinute),
    Time(Block::Stun, CL_Mdc_Stun_Disp_Time, 4, 0, kMinute),
    Time(Block::Stun, CL_Mdc_Stun_Ack_Delay, 6, 0, kMinute),
    // Revive
    Enable(Block::Revive, CL_Mdc_Revive_Rx, 0, 7),
    Enable(Block::Revive, CL_Mdc_Revive_Tx, 0, 6),
    Count(Block::Revive, CL_Mdc_Revive_No_Retry, 0, 0, 4, 1, 15),
    Time(Block::Revive, CL_Mdc_Revive_Ack_Delay, 2, 0, kMinute),
    Time(Block::Revive, CL_Mdc_Revive_Ack_Wait, 4, 0, kMinute),
    Time(Block::Revive, CL_Mdc_Revive_Ack_Disp_Time, 6, 0, kMinute),
    // Emergency
    Enable(Block::Emergency, CL_Mdc_Emg_Rx, 0, 7),
    Enable(Block::Emergency, CL_Mdc_Emg_Tx, 0, 6),
    Enable(Block::Emergency, CL_Mdc_Emg_No_Disp, 0, 5),
    Count(Block::Emergency, CL_Mdc_Emg_No_Polite, 1, 4, 4, 0, 15),
    Count(Block::Emergency, CL_Mdc_Emg_No_Impolite, 1, 0, 4, 0, 15),
    Enable(Block::Emergency, CL_Mdc_Emg_Ignore_Other, 2, 7),
    Enable(Block::Emergency, CL_Mdc_Emg_Rx_Log, 2, 6),
    Enable(Block::Emergency, CL_Mdc_Emg_EXO_Out, 2, 5),
    Enable(Block::Emergency, CL_Mdc_Emg_Rx_Send_Ack, 2, 4),
    Enable(Block::Emergency, CL_Mdc_Emg_BacklightUpdate, 3, 0),
    Time(Block::Emergency, CL_Mdc_Emg_Ack_Delay, 4, 0, kMinute),
    Time(Block::Emergency, CL_Mdc_Emg_Disp_Time, 6, 0, kMinute),
    Time(Block::Emergency, CL_Mdc_Emg_Free_Wait, 8, 0, kMinute),
    Time(Block::Emergency, CL_Mdc_Emg_Ack_Wait, 10, 0, kMinute),
    Time(Block::Emergency, CL_Mdc_Emg_Cycle_Delay, 12, 0, kMinute),
    Count(Block::Emergency, CL_Mdc_Emg_Open_Mic_Duration, 14, 0, 8, 0, 140),
    Count(Block::Emergency, CL_Mdc_Emg_No_Cycles, 15, 0, 8, 0, 250),
    // Status
    Enable(Block::Status, CL_Mdc_Status_Rx, 0, 7),
    Enable(Block::Status, CL_Mdc_Status_Tx, 0, 6),
    Enable(Block::Status, CL_Mdc_Status_Tx_Ack, 0, 5),
    Enable(Block::Status, CL_Mdc_Status_Poll_Tx, 0, 4),
    Count(Block::Status, CL_Mdc_Status_Num_Retry, 0, 0, 4, 1, 15),
    Time(Block::Status, CL_Mdc_Status_Ack_Time, 2, 0, kMinute),
    Time(Block::Status, CL_Mdc_Status_Ack_Wait, 4, 0, kMinute),
    Time(Block::Status, CL_Mdc_Status_Disp_Time, 6, 0, kMinute),
    // Message
    Enable(Block::Message, CL_Mdc_Msg_RX, 0, 7),
    Enable(Block::Message, CL_Mdc_Msg_TX, 0, 6),
    Count(Block::Message, CL_Mdc_Msg_No_Retry, 0, 0, 4, 1, 15),
    Time(Block::Message, CL_Mdc_Msg_Ack_Time, 1, 0, kMinute),
    Time(Block::Message, CL_Mdc_Msg_Ack_Wait, 3, 0, kMinute),
    Time(Block::Message, CL_Mdc_Msg_Disp_Time, 5, 0, kMinute),
    // The flags of each status and message text
    Enable(Block::StatusFlags, CL_Mdc_Status_Ack, 0, 7),
    Enable(Block::StatusFlags, CL_Mdc_Status_Strip, 0, 6),
    Enable(Block::StatusFlags, CL_Mdc_Status_Enabled, 0, 4),
    Enable(Block::MessageFlags, CL_Mdc_Msg_Request_Ack, 0, 7),
    Enable(Block::MessageFlags, CL_Mdc_Msg_Strip_Tones, 0, 6),
    Enable(Block::MessageFlags, CL_Mdc_Msg_Enabled, 0, 4),
};

const MdcField* FindField(int label)
{
    for (const MdcField& f : kFields)
        if (f.Field.Label == label) return &f;
    return nullptr;
}

void FieldCell(indCellCall& call)
{
    const MdcField* f = FindField(call.Label);
    if (!f) return;
    if (BlockBase(f->In, call.Index) < 0) return;
    const int64_t base = IsTextBlock(f->In) ? FlagBase(f->In, call.Index) : BlockBase(f->In, call.Index);
    RunSettingRow(call, f->Field, base);
    // The first status of a system must be enabled.
    if (call.Label == CL_Mdc_Status_Enabled && call.Index % kTextsPerSystem == 0)
        call.Cap->WarningMark = !ImageBytes(call.Image()).Bit(base, 4);
}

// ---- The systems: which block of each function a system uses ----

struct SystemEntry {
    int Label;
    int Byte;
    const char* Key;
};

const SystemEntry kSystemEntries[] = {
    {CL_Mdc_System_List_General, 0, "GI_Sheet_Sel_Mdc_System_General_List"},
    {CL_Mdc_System_List_PttId, 1, "GI_Sheet_Sel_Mdc_System_PttId_List"},
    {CL_Mdc_System_List_Selcall, 2, "GI_Sheet_Sel_Mdc_System_Selcall_List"},
    {CL_Mdc_System_List_CallAlert, 3, "GI_Sheet_Sel_Mdc_System_CallAlert_List"},
    {CL_Mdc_System_List_RadioChk, 4, "GI_Sheet_Sel_Mdc_System_RadioChk_List"},
    {CL_Mdc_System_List_Stun, 5, "GI_Sheet_Sel_Mdc_System_Stun_List"},
    {CL_Mdc_System_List_Revive, 6, "GI_Sheet_Sel_Mdc_System_Revive_List"},
    {CL_Mdc_System_List_Emg, 7, "GI_Sheet_Sel_Mdc_System_Emg_List"},
    {CL_Mdc_System_List_Alias, 8, "GI_Sheet_Sel_Mdc_System_Alias_List"},
    {CL_Mdc_System_List_Status, 9, "GI_Sheet_Sel_Mdc_System_Status_List"},
    {CL_Mdc_System_List_Message, 10, "GI_Sheet_Sel_Mdc_System_Message_List"},
};

// Each entry stores only its own byte: drawing the revive entry never
// touches the alias entry beside it.
void SystemEntryCell(indCellCall& call)
{
    const SystemEntry* entry = nullptr;
    for (const SystemEntry& e : kSystemEntries)
        if (e.Label == call.Label) entry = &e;
    const int64_t base = BlockBase(Block::System, call.Index);
    if (!entry || base < 0) return;
    ImageBytes bytes(&call.Image());
    int value = bytes.U8(base + entry->Byte);
    if (ChooseFromCells(call.Cap, entry->Key, Flex0, value, cmNearestNumber, call.Result))
        bytes.SetU8(base + entry->Byte, value);
}

// The names of the systems and blocks are fixed: they show the block's
// number and take no input.
void NameCell(indCellCall& call)
{
    const char* format = "Sys %d";
    switch (call.Label) {
    case CL_Mdc_General_Text: format = "Gen %d"; break;
    case CL_Mdc_PttId_Text: format = "PTT %d"; break;
    case CL_Mdc_SelCall_Text: format = "SelC %d"; break;
    case CL_Mdc_RadioChk_Text: format = "RdoC %d"; break;
    case CL_Mdc_Emg_Text: format = "Emg %d"; break;
    case CL_Mdc_Stun_Text: format = "STUN %d"; break;
    default: break;
    }
    char text[32];
    std::snprintf(text, sizeof text, format, call.Index);
    ShowText(call.Cap, text);
}

// ---- Fields with rules of their own ----

void SelfIdCell(indCellCall& call)
{
    const int64_t base = BlockBase(Block::General, call.Index);
    if (base < 0) return;
    ImageBytes bytes(&call.Image());
    int value = bytes.U16(base + 1);
    if (EditHexDigits(call.Cap, value, 4, true, call.Result)) bytes.SetU16(base + 1, uint32_t(value));
    call.Cap->WarningMark = bytes.U16(base + 1) == 0;
}

// A group ID is 0xE000 and three hexadecimal digits.
constexpr int kGroupIdBase = 0xE000;

void GroupIdCell(indCellCall& call)
{
    const int64_t base = BlockBase(Block::General, call.Index);
    if (base < 0) return;
    ImageBytes bytes(&call.Image());
    int value = bytes.U16(base + 3) & 0xFFF;
    if (EditHexDigits(call.Cap, value, 3, true, call.Result)) bytes.SetU16(base + 3, uint32_t(kGroupIdBase + (value & 0xFFF)));
}

// A status number: a set bit and the number less one; the list shows 0 for
// none, else the number.
struct StatusNumber {
    Block In;
    int SetByte, SetBit;
    int NumberByte;
};

void StatusNumberCell(indCellCall& call)
{
    const StatusNumber n = call.Label == CL_Mdc_Emg_Status_No ? StatusNumber{Block::Emergency, 0, 4, 2}
                                                              : StatusNumber{Block::Status, 1, 7, 1};
    const int64_t base = BlockBase(n.In, call.Index);
    if (base < 0) return;
    ImageBytes bytes(&call.Image());
    int choice = bytes.Bit(base + n.SetByte, n.SetBit) ? bytes.Bits(base + n.NumberByte, 0, 4) + 1 : 0;
    ChooseFromList(call.Cap, "GI_Sheet_Mdc_Status_No_Sel", choice, call.Result);
    // Written back on every run, so that a number without its set bit is
    // cleared as soon as the cell is drawn.
    bytes.SetBit(base + n.SetByte, n.SetBit, choice > 0);
    bytes.SetBits(base + n.NumberByte, 0, 4, uint32_t(choice > 0 ? choice - 1 : 0));
}

// The AUX code and its action (bits 0-1 of the byte after it); a code of 0
// keeps no action.
void AuxCell(indCellCall& call)
{
    const Block b = call.Label == CL_Mdc_SelCall_AUX ? Block::SelCall
                    : call.Label == CL_Mdc_CallAlert_AUX ? Block::CallAlert
                                                         : Block::Emergency;
    const int at = b == Block::SelCall ? 4 : b == Block::CallAlert ? 10 : 16;
    const int64_t base = BlockBase(b, call.Index);
    if (base < 0) return;
    ImageBytes bytes(&call.Image());
    int code = bytes.U8(base + at);
    int mode = bytes.Bits(base + at + 1, 0, 2);
    if (!EditAuxCode(call.Cap, code, mode, call.Scope, "GI_Sheet_Sel_RxC_Aux", call.Result)) return;
    bytes.SetU8(base + at, code);
    bytes.SetBits(base + at + 1, 0, 2, uint32_t(code != 0 ? mode : 0));
}

void TextNumberCell(indCellCall& call) { ShowText(call.Cap, std::to_string(call.Index % kTextsPerSystem + 1)); }

void TextCell(indCellCall& call)
{
    const Block b = call.Label == CL_Mdc_Status_Text ? Block::StatusFlags : Block::MessageFlags;
    if (BlockBase(b, call.Index) < 0) return;
    const int64_t at = TextBase(b, call.Index);
    ImageBytes bytes(&call.Image());
    char text[kTextLength];
    bytes.Read(at, text, kTextLength);
    if (EditLcdText(call.Cap, text, kTextLength, false, call.Result)) bytes.Write(at, text, kTextLength);
}

// ---- The first alias (kind 24) ----

void AliasCell(indCellCall& call)
{
    datCh& r = call.Rec;
    int changed = 0;
    switch (call.Label) {
    case CL_Mdc_Alias1_Strip: {
        int v = r.AliasStrip;
        if ((changed = ChooseFromList(call.Cap, kEnable, v, call.Result))) r.AliasStrip = uint8_t(v);
        break;
    }
    case CL_Mdc_Alias1_Beep_Type: {
        int v = r.AliasBeepType;
        if ((changed = ChooseFromList(call.Cap, kBeepType, v, call.Result))) r.AliasBeepType = uint8_t(v);
        break;
    }
    case CL_Mdc_Alias1_ID: {
        int v = int(r.AliasId);
        if ((changed = EditHexDigits(call.Cap, v, 4, true, call.Result))) r.AliasId = uint32_t(v);
        break;
    }
    default: changed = EditLcdText(call.Cap, r.AliasText, kTextLength, false, call.Result); break;
    }
    if (changed) r.Commit();
}

// ---- The MDC system of a memory channel ----

constexpr int kAnalogOnly = 0;

void ChannelSystemCell(indCellCall& call)
{
    int value = call.Rec.MdcSystem;
    if (ChooseFromCells(call.Cap, "GI_Sheet_Sel_Mch_Mdc_System_List", Flex0, value, cmNearestNumber, call.Result)) {
        call.Rec.MdcSystem = uint8_t(value);
        call.Rec.Commit();
    }
    // MDC is analog signalling: it does not apply to a digital channel
    // outside an LTR bank.
    const bool digital = call.Rec.ChFlagsF.DigSig != kAnalogOnly;
    if (call.Cap->Canvas && digital && !IsLtrBank(BankOfChannelNumber(call.Index + 1)))
        call.Cap->Canvas->GetFont().color = plat::clSilver;
}

constexpr LabelBehaviourEntry kMdcCells[] = {
    {CL_Mch_Mdc_System, ChannelSystemCell},
    {CL_Mdc_System_List_Text, NameCell},
    {CL_Mdc_General_Text, NameCell},
    {CL_Mdc_PttId_Text, NameCell},
    {CL_Mdc_SelCall_Text, NameCell},
    {CL_Mdc_RadioChk_Text, NameCell},
    {CL_Mdc_Emg_Text, NameCell},
    {CL_Mdc_Stun_Text, NameCell},
    {CL_Mdc_System_List_General, SystemEntryCell},
    {CL_Mdc_System_List_PttId, SystemEntryCell},
    {CL_Mdc_System_List_Selcall, SystemEntryCell},
    {CL_Mdc_System_List_CallAlert, SystemEntryCell},
    {CL_Mdc_System_List_RadioChk, SystemEntryCell},
    {CL_Mdc_System_List_Stun, SystemEntryCell},
    {CL_Mdc_System_List_Revive, SystemEntryCell},
    {CL_Mdc_System_List_Emg, SystemEntryCell},
    {CL_Mdc_System_List_Alias, SystemEntryCell},
    {CL_Mdc_System_List_Status, SystemEntryCell},
    {CL_Mdc_System_List_Message, SystemEntryCell},
    {CL_Mdc_General_Self_Id, SelfIdCell},
    {CL_Mdc_General_Group_Id, GroupIdCell},
    {CL_Mdc_Emg_Status_No, StatusNumberCell},
    {CL_Mdc_Status_On_Pwr_Up, StatusNumberCell},
    {CL_Mdc_SelCall_AUX, AuxCell},
    {CL_Mdc_CallAlert_AUX, AuxCell},
    {CL_Mdc_Emg_AUX, AuxCell},
    {CL_Mdc_Status_Num, TextNumberCell},
    {CL_Mdc_Msg_Num, TextNumberCell},
    {CL_Mdc_Status_Text, TextCell},
    {CL_Mdc_Msg_Text, TextCell},
    {CL_Mdc_Alias1_Strip, AliasCell},
    {CL_Mdc_Alias1_Beep_Type, AliasCell},
    {CL_Mdc_Alias1_ID, AliasCell},
    {CL_Mdc_Alias1_Text, AliasCell},
};

// Every field of the table has the same behaviour.
std::vector<LabelBehaviourEntry> AllMdcCells()
{
    std::vector<LabelBehaviourEntry> all(std::begin(kMdcCells), std::end(kMdcCells));
    for (const MdcField& f : kFields) all.push_back({f.Field.Label, FieldCell});
    return all;
}

}  // namespace

std::span<const LabelBehaviourEntry> MdcCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> cells = AllMdcCells();
    return cells;
}
