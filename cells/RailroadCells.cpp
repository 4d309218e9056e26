// The railroad channel plan: three channel templates from which the radio
// derives the plan's channels. A template has the layout of a memory channel
// (bytes 0-29 its main record, 30-53 its second record); each cell here is
// the railroad counterpart of a memory-channel column and works on the
// template bytes directly, the cell index being the template.
//
// Most columns are one field of a template byte: they are rows of a table
// read by one function; the columns with rules of their own follow it.
#include "cells/CellFamilies.h"
#include "cells/HandlerSupport.h"
#include "cells/RadioHandlers.h"
#include "cells/RecordFields.h"
#include "cells/SettingTable.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/cmcCellObj.h"
#include "model/ImageBytes.h"
#include "platform/base/Canvas.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTemplates = 3;
constexpr int kTemplateBase = 302316;
constexpr int kTemplateSize = 54;

// Bytes of a template.
constexpr int kRxTone = 8;
constexpr int kTxTone = 10;
constexpr int kDigitalMode = 12;  // bits 0-1
constexpr int kScanList = 13;
constexpr int kRxNac = 26;
constexpr int kTxNac = 28;
constexpr int kFlags0 = 30;       // power save, scan-list choice, time-out, lockout bits 0-1, power
constexpr int kFlags1 = 31;       // log, scan increment, channel mute
constexpr int kFlags2 = 32;       // auto reset
constexpr int kFlags3 = 33;       // scrambler on, compander
constexpr int kMdcSystem = 34;
constexpr int kScramblerCode = 35;
constexpr int kTwoTone = 38;
constexpr int kDecoders = 40;     // 10 bits from bit 15
constexpr int kIndList = 42;
constexpr int kUnitId = 44;
constexpr int kFlags17 = 47;      // fast mute, squelch type, lockout bits 2-4
constexpr int kFlags18 = 48;      // scrambler type, DTMF decoder on
constexpr int kEncryption = 49;
constexpr int kDtmfDecoder = 50;
constexpr int kTalkGroupList = 52;

// Settings of the radio that some columns follow.
constexpr int kScanSettings = 175680;          // bit 6: scan lists in use
constexpr int kTalkGroupMode = 197889;         // bit 0: one talk group for every channel
constexpr int kGlobalTalkGroup = 302526;
constexpr int kUnitIdMode = 197890;            // bit 7 global, bit 5 automatic
constexpr int kAutoUnitIdBase = 197860;
constexpr int kGlobalUnitId = 197862;

constexpr int kAnalog = 0;
constexpr int kDigital = 3;
constexpr int kHighestNac = 63;
constexpr int kIdListSize = 500;
constexpr int kScrambler16Codes = 2;
constexpr int kScramblerNoCode = 1;

enum Horz { kLeft = 0, kCentre = 1, kRight = 2 };
enum Vert { kMiddle = 1, kBottom = 2 };

int64_t Base(const indCellCall& c) { return kTemplateBase + int64_t(kTemplateSize) * c.Index; }
bool IsTemplate(const indCellCall& c) { return c.Index >= 0 && c.Index < kTemplates; }
int Mode(const indCellCall& c) { return ImageBytes(c.Image()).Bits(Base(c) + kDigitalMode, 0, 2); }

enum class GreyWhen { Never, Digital, Analog, NotAnalog };

void Grey(cmcCellCapsule* cap)
{
    if (cap->Canvas) cap->Canvas->GetFont().color = plat::clSilver;
}

void GreyIf(indCellCall& call, GreyWhen when)
{
    const int mode = Mode(call);
    const bool grey = (when == GreyWhen::Digital && mode == kDigital) || (when == GreyWhen::Analog && mode == kAnalog) ||
                      (when == GreyWhen::NotAnalog && mode != kAnalog);
    if (grey) Grey(call.Cap);
}

void Place(cmcCellCapsule* cap, int horz, int vert)
{
    if (!cap->Cell) return;
    cap->Cell->FlagsA = uint8_t((cap->Cell->FlagsA & ~(cmcCellObj::HorzMask | cmcCellObj::VertMask)) | horz | (vert << 2));
}

// ---- Fields of one template byte ----

struct TemplateField {
    SettingRow Field;
    GreyWhen Grey = GreyWhen::Never;
};

constexpr TemplateField Choice(int label, int byte, int low, int width, const char* key, GreyWhen grey = GreyWhen::Never)
{
    return {ListRow(label, byte, low, width, key), grey};
}

constexpr const char* kOnOff2 = "GI_Sheet_Sel_Misc_OnOff2";

const TemplateField kFields[] = {
    Choice(CL_AAR_Compander, kFlags3, 4, 1, kOnOff2, GreyWhen::Digital),
    Choice(CL_AAR_Tot, kFlags0, 4, 1, kOnOff2),
    Choice(CL_AAR_RfPo, kFlags0, 0, 2, "GI_Sheet_Sel_Mch_RfPwr"),
    Choice(CL_AAR_PwrSave, kFlags0, 7, 1, kOnOff2),
    Choice(CL_AAR_Scan_Inc, kFlags1, 1, 1, "GI_Sheet_Sel_Mch_ScanInc"),
    Choice(CL_AAR_AutoReset, kFlags2, 1, 1, "GI_Sheet_Sel_Mch_AutoReset_Lmr"),
    Choice(CL_AAR_CH_Mute_Lmr, kFlags1, 0, 1, "GI_Sheet_Sel_AAR_ChMute"),
    Choice(CL_AAR_SQL_Type, kFlags17, 4, 2, "GI_Sheet_Sel_Mch_SQL_Type", GreyWhen::Analog),
    // Bit 6 is the high bit of the choice, bit 5 the low one.
    Choice(CL_AAR_Scrm_On, kFlags3, 5, 2, "GI_Sheet_Sel_Mch_ScramOn"),
    Choice(CL_AAR_Scrm_Type, kFlags18, 6, 2, "GI_Sheet_Sel_Mch_ScramType", GreyWhen::Digital),
    Choice(CL_AAR_Fast_Mute, kFlags17, 7, 1, kOnOff2, GreyWhen::Analog),
};

void FieldCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    for (const TemplateField& f : kFields) {
        if (f.Field.Label != call.Label) continue;
        RunSettingRow(call, f.Field, Base(call));
        GreyIf(call, f.Grey);
        return;
    }
}

// The lockout is five bits: bits 0-1 in the first flag byte, 2-4 in byte 17.
void LockoutCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    ImageBytes t(&call.Image());
    const int64_t b = Base(call);
    int value = t.Bits(b + kFlags0, 2, 2) | (t.Bits(b + kFlags17, 0, 3) << 2);
    if (!ChooseFromList(call.Cap, "GI_Sheet_Sel_Mch_Lockout_LmrP25", value, call.Result)) return;
    t.SetBits(b + kFlags0, 2, 2, uint32_t(value & 3));
    t.SetBits(b + kFlags17, 0, 3, uint32_t(value >> 2));
}

// The scan-list columns apply only while the radio uses scan lists.
void ScanListCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    const bool choice = call.Label == CL_AAR_Scan_ListSel;
    cmcCellCapsule* cap = call.Cap;
    if (!ImageBytes(call.Image()).Bit(kScanSettings, 6)) {
        ShowText(cap, choice ? "---" : "----");
        Place(cap, kCentre, kMiddle);
        Grey(cap);
        return;
    }
    Place(cap, kCentre, kBottom);
    const SettingRow row = choice ? ListRow(call.Label, kFlags0, 5, 1, "GI_Sheet_Sel_Mch_Scan_ListSel")
                                  : ListRow(call.Label, kScanList, 0, 8, "GI_Sheet_Sel_Mch_Scan_List");
    RunSettingRow(call, row, Base(call));
}

// A code list entry: a typed number picks the nearest entry.
bool CodeListCell(indCellCall& call, int byte, int mask, const char* key)
{
    ImageBytes t(&call.Image());
    const int64_t at = Base(call) + byte;
    int value = t.U8(at) & mask;
    if (!ChooseFromCells(call.Cap, key, Flex0, value, cmNearestNumber, call.Result)) return false;
    t.SetU8(at, value);
    return true;
}

void DtmfDecoderCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    // A decoder number other than 0 switches the template's DTMF decoder on.
    if (CodeListCell(call, kDtmfDecoder, 0xFF, "GI_Sheet_Sel_Mch_DTMF_Dec")) {
        ImageBytes t(&call.Image());
        t.SetBit(Base(call) + kFlags18, 5, t.U8(Base(call) + kDtmfDecoder) != 0);
    }
    GreyIf(call, GreyWhen::Digital);
}

void TwoToneCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    CodeListCell(call, kTwoTone, 0x7F, "GI_Sheet_Sel_Mch_2Tone");
    GreyIf(call, GreyWhen::Digital);
}

void MdcSystemCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    CodeListCell(call, kMdcSystem, 0xFF, "GI_Sheet_Sel_Mch_Mdc_System_List");
    GreyIf(call, GreyWhen::NotAnalog);
}

void EncryptionCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    CodeListCell(call, kEncryption, 0xFF, "GI_Sheet_Sel_EncryptionList");
    GreyIf(call, GreyWhen::Analog);
}

// Decoders 1 to 10: the top ten bits of bytes 40-41.
void DecodersCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    ImageBytes t(&call.Image());
    const int64_t at = Base(call) + kDecoders;
    int value = t.U16(at) >> 6;
    constexpr int kDecoderItems = 2;
    if (EditBitField(call.Cap, value, 1, 10, kDecoderItems, "", call.Result)) {
        t.SetU8(at, (value >> 2) & 0xFF);
        t.SetU8(at + 1, (value << 6) & 0xFF);
    }
    GreyIf(call, GreyWhen::Digital);
}

void LogCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    const SettingRow row =
        ListRow(call.Label, kFlags1, 4, 4, IsPmrModel() ? "GI_Sheet_Sel_Mch_Log_Pmr" : "GI_Sheet_Sel_Mch_Log_Lmr");
    RunSettingRow(call, row, Base(call));
    GreyIf(call, GreyWhen::Digital);
}

// ---- NACs, unit ID and ID lists (digital) ----

void NacCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    ImageBytes t(&call.Image());
    const int64_t b = Base(call);
    const bool rx = call.Label == CL_AAR_RxNac;
    const bool equal = t.U16(b + kRxNac) == t.U16(b + kTxNac);
    int value = t.U16(b + (rx ? kRxNac : kTxNac));
    if (EditIntWrap(call.Cap, value, 0, kHighestNac, call.Result)) {
        t.SetU16(b + (rx ? kRxNac : kTxNac), uint32_t(value));
        // A transmit NAC equal to the receive NAC follows it.
        if (rx && equal) t.SetU16(b + kTxNac, uint32_t(value));
    }
    if (!rx) {
        PlaceHorz(call.Cap, kLeft);
        if (t.U16(b + kRxNac) == t.U16(b + kTxNac) && call.Result != erStartEdit) {
            ShowText(call.Cap, "<-");
            PlaceHorz(call.Cap, kCentre);
        }
    }
    GreyIf(call, GreyWhen::Analog);
}

void UnitIdCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    ImageBytes t(&call.Image());
    if (t.Bit(kUnitIdMode, 7)) {
        // One unit ID for the radio: shown here, set elsewhere.
        char text[32];
        if (t.Bit(kUnitIdMode, 5))
            std::snprintf(text, sizeof text, "%d****", t.U16(kAutoUnitIdBase));
        else
            std::snprintf(text, sizeof text, "%d", t.U16(kGlobalUnitId));
        ShowText(call.Cap, text);
    } else {
        const int64_t at = Base(call) + kUnitId;
        int value = t.U16(at);
        if (EditIntWrap(call.Cap, value, 1, call.UnitIdMax, call.Result)) t.SetU16(at, uint32_t(value));
    }
    GreyIf(call, GreyWhen::Analog);
}

// An entry of an ID list, shown by its number; a typed number is taken as it
// is (the pick lists show only the entries in use).
void IdListCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    const bool talkGroup = call.Label == CL_AAR_TG_List;
    cmcCellCapsule* cap = call.Cap;
    ImageBytes t(&call.Image());
    const int64_t at = Base(call) + (talkGroup ? kTalkGroupList : kIndList);
    if (talkGroup && t.Bit(kTalkGroupMode, 0)) {
        ShowText(cap, std::to_string(t.U16(kGlobalTalkGroup) + 1));
        GreyIf(call, GreyWhen::Analog);
        return;
    }
    int value = t.U16(at);
    int changed = 0;
    if (cap->Phase == cpEditText) {
        const std::string text = UpperAscii(Trimmed(cap->EditText));
        const std::string typed = text.rfind("OF", 0) == 0 ? "0" : StripToDigitsAnd(text, "");
        if (!typed.empty()) {
            value = std::clamp(ParseDecimal(typed), 1, kIdListSize) - 1;
            changed = 1;
        }
    } else {
        // Space and Backspace do not step through the list.
        const int key = cap->Key;
        if (key == cellkey::Space || key == cellkey::Backspace) cap->Key = 0;
        changed = ChooseFromCells(cap, talkGroup ? "GI_Sheet_Sel_TGList" : "GI_Sheet_Sel_IndList",
                                  talkGroup ? Flex_TgIDList_ChNo : Flex_InvIDList_ChNo, value, cmNearestNumber,
                                  call.Result);
        cap->Key = key;
    }
    if (changed) t.SetU16(at, uint32_t(value));
    if (call.Result != erStartEdit) ShowText(cap, std::to_string(value + 1));
    GreyIf(call, GreyWhen::Analog);
}

// ---- Scrambler code and tones ----

void ScramblerCodeCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    ImageBytes t(&call.Image());
    const int64_t b = Base(call);
    const int type = t.Bits(b + kFlags18, 6, 2);
    cmcCellCapsule* cap = call.Cap;
    if (type == kScramblerNoCode) {
        ShowDashes(cap);
        Place(cap, kCentre, kMiddle);
        Grey(cap);
        return;
    }
    Place(cap, kRight, kBottom);
    const int code = t.U8(b + kScramblerCode);
    // Type 2 counts its 16 codes from 0 and shows them from 1.
    if (type == kScrambler16Codes) {
        int shown = std::min(code, 15) + 1;
        if (EditIntWrap(cap, shown, 1, 16, call.Result)) t.SetU8(b + kScramblerCode, shown - 1);
    } else {
        int shown = code;
        if (EditIntWrap(cap, shown, 1, 255, call.Result)) t.SetU8(b + kScramblerCode, shown);
    }
    GreyIf(call, GreyWhen::Digital);
}

void ToneCell(indCellCall& call)
{
    if (!IsTemplate(call)) return;
    ImageBytes t(&call.Image());
    const int64_t b = Base(call);
    ToneSpec rx = ToneSpec::Decode(t.U8(b + kRxTone), t.U8(b + kRxTone + 1));
    ToneSpec tx = ToneSpec::Decode(t.U8(b + kTxTone), t.U8(b + kTxTone + 1));
    if (EditToneCode(call.Cap, rx, tx, call.Label == CL_AAR_CTone_R, call.Result)) {
        for (auto [spec, at] : {std::pair{rx, b + kRxTone}, std::pair{tx, b + kTxTone}}) {
            int t0 = t.U8(at), t1 = t.U8(at + 1);
            spec.Encode(t0, t1);
            t.SetU8(at, t0);
            t.SetU8(at + 1, t1);
        }
    }
    GreyIf(call, GreyWhen::Digital);
}

constexpr LabelBehaviourEntry kRailroadCells[] = {
    {CL_AAR_Lockout, LockoutCell},
    {CL_AAR_Scan_ListSel, ScanListCell},
    {CL_AAR_Scan_List, ScanListCell},
    {CL_AAR_RxCNoDtmf, DtmfDecoderCell},
    {CL_AAR_2Tone, TwoToneCell},
    {CL_AAR_RxCNo2_Ltr, DecodersCell},
    {CL_AAR_Log, LogCell},
    {CL_AAR_RxNac, NacCell},
    {CL_AAR_TxNac, NacCell},
    {CL_AAR_Unit_Dec, UnitIdCell},
    {CL_AAR_Ind_List, IdListCell},
    {CL_AAR_TG_List, IdListCell},
    {CL_AAR_Mdc_System, MdcSystemCell},
    {CL_AAR_Scrm_Code, ScramblerCodeCell},
    {CL_AAR_Encryption_No, EncryptionCell},
    {CL_AAR_CTone_R, ToneCell},
    {CL_AAR_CTone_T, ToneCell},
};

std::vector<LabelBehaviourEntry> AllRailroadCells()
{
    std::vector<LabelBehaviourEntry> all(std::begin(kRailroadCells), std::end(kRailroadCells));
    for (const TemplateField& f : kFields) all.push_back({f.Field.Label, FieldCell});
    return all;
}

}  // namespace

std::span<const LabelBehaviourEntry> RailroadCellBehaviours()
{
    static const std::vector<LabelBehaviourEntry> cells = AllRailroadCells();
    return cells;
}
