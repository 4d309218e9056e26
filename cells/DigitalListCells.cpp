// The digital lists: individual IDs, talk groups, NAC channels, status
// messages, encryption keys and short data messages, one row per entry, with
// the list-wide settings that sit on the same pages (logging of individual
// calls, talk-group block decoding) and the strapped-talk-group column of
// the memory channels.
//
// The first column of the individual, talk-group and NAC lists is also where
// an entry comes into being: a key typed into the empty row after the last
// entry appends one while the list and the clone memory have room for it.
#include "cells/CellFamilies.h"
#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/SettingTable.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "model/indMain.h"
#include "platform/ui/MessageBox.h"

#include <cstdio>
#include <string>

namespace {

// Item kinds of the lists.
constexpr int kIndividualIds = 18;
constexpr int kTalkGroups = 19;
constexpr int kNacChannels = 20;
constexpr int kStatusMessages = 21;
constexpr int kEncryptionKeys = 25;
constexpr int kShortDataMessages = 26;

// Talk-group block decoding.
constexpr int kBlockDecoding = 197854;  // bit 3: on
constexpr int kBlockDecodingBit = 3;
constexpr int kBlockDecodingMax = 197856;
constexpr int kBlockDecodingMin = 197858;

// 16-bit IDs: the values 65520 to 65534 are never stored; 65535 is.
constexpr int kHighestId = 0xFFFF;
constexpr int kHighestPlainId = 0xFFEF;
constexpr int kFirstExcludedId = 0xFFF0;
constexpr int kLastExcludedId = 0xFFFE;
constexpr int kHighestNac = 63;
constexpr int kHighestEncryptionKey = 0x7FFF;
constexpr int kNameLength = 12;
constexpr int kIdDigits = 4;

// Cell placement codes.
constexpr int kLeft = 0;
constexpr int kCentre = 1;

void Post(int type)
{
    if (g_EvMan) g_EvMan->Post(type, 0, 0);
}

// ---- The growing lists and their empty row ----

struct GrowingList {
    int Kind;
    int Limit;
    int InsertEvent;
    bool RepaintAfterInsert;
    int (*Count)();
};

const GrowingList kIdList{kIndividualIds, 500, ev::InsertDigitalId, false, [] { return IndListCount(kIndividualIds); }};
const GrowingList kTalkGroupList{kTalkGroups, 500, ev::InsertDigitalTalkGroup, true,
                                 [] { return TgListCount(kTalkGroups); }};
const GrowingList kNacList{kNacChannels, 80, ev::InsertDigitalNac, true, [] { return NacChListCount(); }};

const GrowingList* GrowingListOf(int kind)
{
    switch (kind) {
    case kIndividualIds: return &kIdList;
    case kTalkGroups: return &kTalkGroupList;
    case kNacChannels: return &kNacList;
    default: return nullptr;
    }
}

// A row at or after the list's count holds no entry.
bool IsNewRow(const indCellCall& call)
{
    const GrowingList* list = GrowingListOf(call.Kind);
    if (!list) return false;
    const int count = list->Count();
    return count == 0 || call.Index >= count;
}

bool StartsNewEntry(int key)
{
    return key == cellkey::Space || key == cellkey::Backspace || key == '.' || IsDigitKey(key) || key == cellkey::Enter;
}

// The entry column of a growing list: true when the row holds an entry to
// edit, after appending one for a key typed into the empty row when the list
// and the clone memory take it. Otherwise the row shows nothing.
bool EntryToEdit(indCellCall& call, const GrowingList& list)
{
    if (!IsNewRow(call)) return true;
    cmcCellCapsule* cap = call.Cap;
    ShowText(cap, "");
    if (!OnGrid(cap) || !StartsNewEntry(cap->Key) || call.Index != list.Count()) return false;
    if (list.Count() < list.Limit && ItemsFit(call.Category, 1, 0)) {
        if (g_EvMan) g_EvMan->Send(list.InsertEvent, 0, call.Index);
        call.RefreshRanges();
        call.Rec.Unpack(list.Kind, call.Index);
        g_Main->Pack(call.Image());
        if (list.RepaintAfterInsert) Post(ev::RepaintLabelled);
        return !IsNewRow(call);
    }
    plat::MessageBox(g_GTex.GetFirstLine("GI_AppMess_ChErr_Overflow"), g_GTex.GetFirstLine("GI_Sys_AppTitle"),
                     plat::MB_OK | plat::MB_ICONERROR);
    return false;
}

// The entry is read again with the kind of its list.
void Reread(indCellCall& call, int kind) { call.Rec.Unpack(kind, call.Index); }

// A value in the excluded window becomes 0xFFFF when Space stepped into it
// and 0xFFEF otherwise (Backspace stepping down, or a typed value).
int OutOfExcludedWindow(int value, int key)
{
    if (value < kFirstExcludedId || value > kLastExcludedId) return value;
    return key == cellkey::Space ? kHighestId : kHighestPlainId;
}

// ---- ID columns ----

void IdHexCell(indCellCall& call)
{
    const bool individual = call.Label == CL_Digi_Ind_Id_Hex;
    const int kind = individual ? kIndividualIds : kTalkGroups;
    Reread(call, kind);
    if (IsNewRow(call)) {
        ShowText(call.Cap, "");
        return;
    }
    uint32_t& id = individual ? call.Rec.IndId : call.Rec.GrpId;
    int value = int(id);
    // Hexadecimal IDs are typed, never stepped.
    if (EditHexNumber(call.Cap, value, 1, kHighestId, kIdDigits, call.Result)) {
        id = uint32_t(OutOfExcludedWindow(value, call.Cap->Key));
        call.Rec.Commit();
        if (call.Result != erStartEdit) {
            char text[16];
            std::snprintf(text, sizeof text, "%04X", unsigned(id));
            ShowText(call.Cap, text);
        }
    }
}

void IndividualIdCell(indCellCall& call)
{
    Reread(call, kIndividualIds);
    if (!EntryToEdit(call, kIdList)) return;
    int value = int(call.Rec.IndId);
    if (EditIntWrap(call.Cap, value, 1, kHighestPlainId, call.Result)) {
        call.Rec.IndId = uint32_t(value);
        call.Rec.Commit();
        Post(ev::RepaintLabelled);
    }
    call.Cap->WarningMark = call.Rec.IndId == uint32_t(kHighestId);
}

void TalkGroupIdCell(indCellCall& call)
{
    Reread(call, kTalkGroups);
    if (!EntryToEdit(call, kTalkGroupList)) return;
    int value = int(call.Rec.GrpId);
    const int key = call.Cap->Key;
    if (EditIntWrap(call.Cap, value, 0, kHighestId, call.Result)) {
        call.Rec.GrpId = uint32_t(OutOfExcludedWindow(value, key));
        call.Rec.Commit();
        Post(ev::RepaintLabelled);
        if (call.Result != erStartEdit) ShowText(call.Cap, std::to_string(call.Rec.GrpId));
    }
}

void NameCell(indCellCall& call)
{
    const int kind = call.Label == CL_Digi_Ind_Id_Name   ? kIndividualIds
                     : call.Label == CL_Digi_Grp_Id_Name ? kTalkGroups
                     : call.Label == CL_Digi_SDM_Message ? kShortDataMessages
                                                         : kStatusMessages;
    Reread(call, kind);
    if (IsNewRow(call)) {
        ShowText(call.Cap, "");
        return;
    }
    char* text = call.Label == CL_Digi_Msg_Status_Text_Tx ? call.Rec.Text2 : call.Rec.Text;
    if (EditLcdText(call.Cap, text, kNameLength, false, call.Result)) call.Rec.Commit();
}

// ---- NAC channels ----

void ReceiveNacCell(indCellCall& call)
{
    Reread(call, kNacChannels);
    if (!EntryToEdit(call, kNacList)) return;
    const bool followed = call.Rec.NacRx == call.Rec.NacTx;
    int nac = int(call.Rec.NacRx);
    if (EditIntWrap(call.Cap, nac, 0, kHighestNac, call.Result)) {
        call.Rec.NacRx = uint32_t(nac);
        if (followed) call.Rec.NacTx = uint32_t(nac);
        call.Rec.Commit();
        Post(ev::RepaintLabelled);
    }
}

void TransmitNacCell(indCellCall& call)
{
    Reread(call, kNacChannels);
    if (IsNewRow(call)) {
        ShowText(call.Cap, "");
        return;
    }
    PlaceHorz(call.Cap, kLeft);
    int nac = int(call.Rec.NacTx);
    if (EditIntWrap(call.Cap, nac, 0, kHighestNac, call.Result)) {
        call.Rec.NacTx = uint32_t(nac);
        call.Rec.Commit();
    }
    if (call.Rec.NacTx == call.Rec.NacRx && call.Result != erStartEdit) {
        ShowText(call.Cap, "<-");
        PlaceHorz(call.Cap, kCentre);
    }
}

// ---- Choices of a list entry ----

struct EntryChoice {
    int Label;
    int Kind;
    const char* Key;
    int (*Get)(const datCh&);
    void (*Set)(datCh&, int);
};

#define FIELD(expr) [](const datCh& r) { return int(r.expr); }, [](datCh& r, int v) { r.expr = v; }

const EntryChoice kEntryChoices[] = {
    {CL_Digi_NacCh_Sel, kNacChannels, "GI_Sheet_Sel_Misc_OnOff2_I", FIELD(NacSel)},
    {CL_Digi_Msg_Status_Beep, kStatusMessages, "GI_Sheet_Sel_RxC_Beep", FIELD(DStatusBeep)},
    {CL_Digi_Msg_Status_Selection, kStatusMessages, "GI_Sheet_Sel_Misc_OnOff2", FIELD(DStatusSelection)},
    {CL_Digi_Msg_Status_RX, kStatusMessages, "GI_Sheet_Sel_Misc_Enable_I", FIELD(DStatusRx)},
    {CL_Digi_Msg_Status_DecExo, kStatusMessages, "GI_Sheet_Sel_Misc_Enable", FIELD(DStatusDecExo)},
    {CL_Digi_SDM_Sel, kShortDataMessages, "GI_Sheet_Sel_Misc_OnOff2", FIELD(SdmSel)},
};

#undef FIELD

void EntryChoiceCell(indCellCall& call)
{
    const EntryChoice* choice = nullptr;
    for (const EntryChoice& c : kEntryChoices)
        if (c.Label == call.Label) choice = &c;
    if (!choice) return;
    Reread(call, choice->Kind);
    if (IsNewRow(call)) {
        ShowText(call.Cap, "");
        return;
    }
    int value = choice->Get(call.Rec);
    if (ChooseFromList(call.Cap, choice->Key, value, call.Result)) {
        choice->Set(call.Rec, value);
        call.Rec.Commit();
    }
}

void StatusAuxCell(indCellCall& call)
{
    Reread(call, kStatusMessages);
    int code = int(call.Rec.DStatusAux);
    int action = int(call.Rec.DStatusAuxMode);
    if (EditAuxCode(call.Cap, code, action, call.Scope, "GI_Sheet_Sel_RxC_Aux", call.Result)) {
        call.Rec.DStatusAux = uint32_t(code);
        // Without a code there is no action.
        call.Rec.DStatusAuxMode = code != 0 ? uint32_t(action) : 0;
        call.Rec.Commit();
    }
}

void EncryptionKeyCell(indCellCall& call)
{
    Reread(call, kEncryptionKeys);
    int value = int(call.Rec.EncryptionKey);
    if (EditIntWrap(call.Cap, value, 1, kHighestEncryptionKey, call.Result)) {
        call.Rec.EncryptionKey = uint32_t(value);
        call.Rec.Commit();
    }
}

// ---- List-wide settings and the channel column ----

bool BlockDecodingOff(const ImageBytes& image) { return !image.Bit(kBlockDecoding, kBlockDecodingBit); }

const SettingRow kSettings[] = {
    ListRow(CL_Digi_Ind_Set_LogForInd, 190852, 3, 1, "GI_Sheet_Sel_Misc_Enable"),
    ListRow(CL_Digi_Grp_Set_BlockDecode, kBlockDecoding, kBlockDecodingBit, 1, "GI_Sheet_Sel_Misc_Enable")
        .Repaint(ScopeAlways),
};

void SettingCell(indCellCall& call)
{
    if (const SettingRow* row = FindSettingRow(kSettings, call.Label)) RunSettingRow(call, *row);
}

// The block decoding bounds never cross: each is limited by the other.
void BlockDecodingBoundCell(indCellCall& call)
{
    ImageBytes image(&call.Image());
    const bool max = call.Label == CL_Digi_Grp_Set_BlockDecode_Max;
    const int offset = max ? kBlockDecodingMax : kBlockDecodingMin;
    int value = image.U16(offset);
    const int low = max ? image.U16(kBlockDecodingMin) + 1 : 1;
    const int high = max ? kHighestPlainId : image.U16(kBlockDecodingMax) - 1;
    if (EditIntWrap(call.Cap, value, low, high, call.Result) && HasInput(call.Cap)) {
        image.SetU16(offset, uint32_t(value));
        call.Scope |= csEveryLabelled;
    }
    if (BlockDecodingOff(image)) GreySetting(call.Cap);
}

void StrappedCell(indCellCall& call)
{
    int value = call.Rec.ChFlagsF.Strapped;
    if (ChooseFromList(call.Cap, "GI_Sheet_Sel_Misc_OnOff2", value, call.Result)) {
        call.Rec.ChFlagsF.Strapped = value;
        call.Rec.Commit();
    }
    // Strapped talk groups are a digital setting.
    if (call.Rec.ChFlagsF.DigSig == 0) GreySetting(call.Cap);
}

constexpr LabelBehaviourEntry kDigitalListCells[] = {
    {CL_Digi_Ind_Id_Hex, IdHexCell},
    {CL_Digi_Ind_Id_Dec, IndividualIdCell},
    {CL_Digi_Ind_Id_Name, NameCell},
    {CL_Digi_Ind_Set_LogForInd, SettingCell},
    {CL_Digi_Grp_Id_Hex, IdHexCell},
    {CL_Digi_Grp_Id_Dec, TalkGroupIdCell},
    {CL_Digi_Grp_Id_Name, NameCell},
    {CL_Digi_Grp_Set_BlockDecode, SettingCell},
    {CL_Digi_Grp_Set_BlockDecode_Max, BlockDecodingBoundCell},
    {CL_Digi_Grp_Set_BlockDecode_Min, BlockDecodingBoundCell},
    {CL_Digi_Grp_Op_Strapped, StrappedCell},
    {CL_Digi_NacCh_RxNac, ReceiveNacCell},
    {CL_Digi_NacCh_TxNac, TransmitNacCell},
    {CL_Digi_NacCh_Sel, EntryChoiceCell},
    {CL_Digi_Msg_Status_Beep, EntryChoiceCell},
    {CL_Digi_Msg_Status_Selection, EntryChoiceCell},
    {CL_Digi_Msg_Status_Text_Rx, NameCell},
    {CL_Digi_Msg_Status_Text_Tx, NameCell},
    {CL_Digi_Msg_Status_RX, EntryChoiceCell},
    {CL_Digi_Msg_Status_DecExo, EntryChoiceCell},
    {CL_Digi_Msg_Status_AUX, StatusAuxCell},
    {CL_Digi_SDM_Message, NameCell},
    {CL_Digi_SDM_Sel, EntryChoiceCell},
    {CL_Digi_Encryption_Key, EncryptionKeyCell},
};

}  // namespace

std::span<const LabelBehaviourEntry> DigitalListCellBehaviours() { return kDigitalListCells; }
