// Encodings of the lists, codes, banks and sites (every kind but the memory
// channel).
#include "model/CodecDetail.h"
#include "model/TableAccess.h"
#include "model/datCh.h"

#include <cmath>
#include <cstring>

namespace codec {
namespace {

constexpr Slot kCharBitmap{176536, 49, 16};     // kind 3
constexpr Slot kCharBitmapMob{176152, 24, 16};  // kind 4
constexpr Slot kDtmf{180042, 37, 8};            // kind 5
constexpr Slot kScan{179464, 34, 17};           // kind 6
constexpr Slot kTone{179144, 4, 80};            // kind 7
constexpr int kToneSelLow = 175760;             // entries 0-39
constexpr int kToneSelHigh = 175785;            // entries 40-79
constexpr Slot kDecode{180786, 36, 11};         // kinds 8 and 11
constexpr Slot kTxCode{147408, 4, 32};          // kind 9
constexpr Slot kEncode{180338, 14, 32};         // kind 9
constexpr int kCodeSetting = 175675;
constexpr Slot kUToneEncode{177320, 2, 15};  // kind 10
constexpr Slot kUToneDecode{177350, 4, 15};  // kind 10
constexpr int kTwoToneFreqs = 177312;        // kind 11, + 8i for i >= 1
constexpr int kTwoToneTxFreqs = 147404;      // + 4i
constexpr int kTwoTonePeriods = 177418;      // + 2i
constexpr int kTwoToneEncode = 180324;       // + 14i
constexpr int kTwoToneMax = 10;
constexpr Slot kBankName{177448, 12, 128};  // kind 13
constexpr Slot kLtrBank{204978, 8, 128};
constexpr Slot kZephBank{245636, 10, 128};
constexpr Slot kVoteZone{242426, 4, 128};
constexpr Slot kBroadcast{303776, 6, 128};
constexpr Slot kMskIdGroup{181308, 34, 8};    // kind 14
constexpr Slot kCallListAdr{147536, 4, 32};   // kind 15
constexpr Slot kCallList{181588, 14, 32};     // kind 15
constexpr Slot kMskStatusQ{182452, 16, 24};   // kind 16
constexpr Slot kMskStatusT{182068, 16, 24};   // kind 16
constexpr Slot kShortText{147664, 12, 8};     // kind 17
constexpr Slot kShortTextFlags{182836, 2, 8}; // kind 17
constexpr Slot kNac{199578, 4, 80};           // kind 20
constexpr int kNacSel0 = 175765;              // entries 0-39
constexpr int kNacSel40 = 175641;             // entries 40-63
constexpr int kNacSel64 = 175652;             // entries 64-79
constexpr Slot kStatusV{202998, 16, 100};     // kind 21
constexpr Slot kStatusU{201398, 16, 100};
constexpr Slot kStatusHighV{204630, 16, 2};   // kind 21, entries 223 and 224
constexpr Slot kStatusHighU{204598, 16, 2};
constexpr int kStatusHighFirst = 223;
constexpr Slot kLtrRepeater{206002, 10, 2560};   // kind 22
constexpr Slot kDtmfDecode{234674, 46, 10};      // kind 23
constexpr Slot kAlias{237834, 15, 300};          // kind 24
constexpr Slot kEncryption{204704, 2, 63};       // kind 25
constexpr Slot kSdmText{147760, 12, 10};         // kind 26
constexpr Slot kSdmFlags{204668, 2, 10};         // kind 26
constexpr Slot kZephRepeater{246916, 10, 3840};  // kind 27
constexpr Slot kSite{162646, 8, 48};             // kind 30
constexpr Slot kSiteExtra{303680, 2, 48};        // kind 30
constexpr Slot kChannelGroup{325630, 4, 16};     // kind 34

Slot IndSlot(int kind)
{
    switch (kind) {
    case 18: return {182852, 16, 500};
    case 28: return {285316, 16, 500};
    default: return {307616, 17, 500};
    }
}

Slot TgSlot(int kind)
{
    switch (kind) {
    case 19: return {190854, 14, 500};
    case 29: return {293316, 14, 500};
    default: return {316116, 15, 500};
    }
}

// A select bit of 8 entries per byte: entry k at bit 7 - k mod 8.
struct SelectBit {
    int64_t at;
    int bit;
};

SelectBit ToneSel(int i)
{
    const int base = i < 40 ? kToneSelLow : kToneSelHigh;
    const int k = i < 40 ? i : i - 40;
    return {base + k / 8, 7 - k % 8};
}

SelectBit NacSel(int i)
{
    const int base = i < 40 ? kNacSel0 : i < 64 ? kNacSel40 : kNacSel64;
    const int k = i < 40 ? i : i < 64 ? i - 40 : i - 64;
    return {base + k / 8, 7 - k % 8};
}

// A real truncated towards zero; values that do not fit become 0.
int64_t Truncate(double v)
{
    if (!std::isfinite(v) || std::fabs(v) >= 9.0e18) return 0;
    return int64_t(v);
}

// The decode flags shared by kind 8 (F = D + 29) and kind 23 (F = E + 37):
// F[0] DecAbc, F[1] beep, scan, audio and special function, F[2] and F[3]
// bell, stun, auto transmit, ID decode, external output and emergency cancel.
void DecodeFlags(datCh& ch, const ImageBytes& img, int64_t f)
{
    ch.DecAbc = uint32_t(img.U8(f));
    ch.DecBeep = uint32_t(img.Bits(f + 1, 0, 3));
    ch.DecSfunc = img.Bit(f + 1, 3);
    ch.DecScan = uint32_t(img.Bit(f + 1, 5) * 2 + img.Bit(f + 1, 4));
    ch.DecAud = uint32_t(img.Bit(f + 1, 7) * 2 + img.Bit(f + 1, 6));
    ch.DecBell = uint32_t(img.Bits(f + 2, 0, 2));
    ch.DecStun = uint32_t(img.Bit(f + 2, 3) + img.Bit(f + 2, 4) * 2 + img.Bit(f + 3, 5) * 4 + img.Bit(f + 3, 4) * 8);
    ch.DecAutoTx = img.Bit(f + 2, 5);
    ch.DecIdDec = img.Bit(f + 2, 6);
    ch.DecExo = img.Bit(f + 2, 7);
    ch.DecEmerCancel = img.Bit(f + 3, 7);
}

void EncodeFlags(const datCh& ch, ImageBytes& img, int64_t f, bool textPresent)
{
    img.SetU8(f, int(ch.DecAbc & 0xFF));
    img.SetBits(f + 1, 0, 3, ch.DecBeep);
    img.SetBit(f + 1, 3, ch.DecSfunc & 1);
    img.SetBit(f + 1, 5, (ch.DecScan >> 1) & 1);
    img.SetBit(f + 1, 4, ch.DecScan & 1);
    img.SetBit(f + 1, 7, (ch.DecAud >> 1) & 1);
    img.SetBit(f + 1, 6, ch.DecAud & 1);
    img.SetBits(f + 2, 0, 2, ch.DecBell);
    img.SetBit(f + 2, 2, textPresent);
    img.SetBit(f + 2, 3, ch.DecStun & 1);
    img.SetBit(f + 2, 4, (ch.DecStun >> 1) & 1);
    img.SetBit(f + 3, 5, (ch.DecStun >> 2) & 1);
    img.SetBit(f + 3, 4, (ch.DecStun >> 3) & 1);
    img.SetBit(f + 2, 5, ch.DecAutoTx & 1);
    img.SetBit(f + 2, 6, ch.DecIdDec & 1);
    img.SetBit(f + 2, 7, ch.DecExo & 1);
    img.SetBit(f + 3, 7, ch.DecEmerCancel & 1);
}

// Where a kind's item lives; `ok` is false when the index has no place.
struct Place {
    bool ok = false;
    int64_t a = -1;  // the item's main entry
    int64_t b = -1;  // a second entry where the kind has one
    int group = 0;   // grouped lists: the group
    int pos = 0;     // grouped lists: the 1-based position inside the group
};

Place Locate(int kind, int i)
{
    Place p;
    auto one = [&](const Slot& s) {
        p.a = s.At(i);
        p.ok = p.a >= 0;
    };
    auto two = [&](const Slot& s, const Slot& t) {
        p.a = s.At(i);
        p.b = t.At(i);
        p.ok = p.a >= 0 && p.b >= 0;
    };
    switch (kind) {
    case 3: one(kCharBitmap); break;
    case 4: one(kCharBitmapMob); break;
    case 5: one(kDtmf); break;
    case 6: one(kScan); break;
    case 7: one(kTone); break;
    case 8:
    case 11: one(kDecode); break;
    case 9: two(kTxCode, kEncode); break;
    case 10: two(kUToneEncode, kUToneDecode); break;
    case 13: one(kBankName); break;
    case 14: one(kMskIdGroup); break;
    case 15: two(kCallListAdr, kCallList); break;
    case 16: two(kMskStatusQ, kMskStatusT); break;
    case 17: two(kShortText, kShortTextFlags); break;
    case 18:
    case 28:
    case 32: one(IndSlot(kind)); break;
    case 19:
    case 29:
    case 33: one(TgSlot(kind)); break;
    case 20: one(kNac); break;
    case 21:
        if (i >= kStatusHighFirst) {
            p.a = kStatusHighV.At(i - kStatusHighFirst);
            p.b = kStatusHighU.At(i - kStatusHighFirst);
            p.ok = p.a >= 0 && p.b >= 0;
        } else {
            two(kStatusV, kStatusU);
        }
        break;
    case 22:
    case 27: {
        // The group is the one the open list sheet shows.
        p.a = (kind == 22 ? kLtrRepeater : kZephRepeater).At(i);
        p.group = CurrentListRow();
        p.ok = p.a >= 0 && kLtrBank.At(p.group) >= 0 && kZephBank.At(p.group) >= 0;
        if (p.ok) p.pos = i - GroupFirstItem(p.group, kind) + 1;
        break;
    }
    case 23: one(kDtmfDecode); break;
    case 24: one(kAlias); break;
    case 25: one(kEncryption); break;
    case 26: two(kSdmText, kSdmFlags); break;
    case 30: two(kSite, kSiteExtra); break;
    case 31: {
        // Sites keep 30 records each whatever their counts; an index outside
        // every group, or past its site's block, is no item.
        if (i < 0 || i >= ListItemTotal(31)) break;
        p.group = GroupOfItem(i, 31);
        const int j = ItemPositionInGroup(i, 31);
        if (j < 0 || j >= WorkTables::SiteRecords) break;
        p.pos = j + 1;
        p.a = WorkTables::MultisiteRepeaters + int64_t(WorkTables::SiteRecordSize) * (WorkTables::SiteRecords * p.group + j);
        p.b = kSite.At(p.group);
        p.ok = p.b >= 0;
        break;
    }
    case 34: one(kChannelGroup); break;
    default: break;
    }
    return p;
}

void DecodeRepeaterFrequencies(datCh& ch, const ImageBytes& img, int64_t r)
{
    ch.RptRxFreq = DecodeFrequency(img.U32(r));
    ch.RptTxFreq = DecodeFrequency(img.U32(r + 4));
    ch.State.InUse = ch.RptRxFreq != 0;
}

void EncodeRepeaterFrequencies(const datCh& ch, ImageBytes& img, int64_t r)
{
    img.SetU32(r, EncodeFrequency(ch.RptRxFreq));
    img.SetU32(r + 4, EncodeFrequency(ch.RptTxFreq));
}

} // namespace

bool DecodeItem(datCh& ch, int kind, int i)
{
    const Place p = Locate(kind, i);
    if (!p.ok) return false;
    ImageBytes img(ch.Image);
    const int64_t a = p.a, b = p.b;
    switch (kind) {
    case 3: img.Read(a, ch.CharBitmap, 49); break;
    case 4: img.Read(a, ch.CharBitmapMob, 24); break;
    case 5:
        img.Read(a, ch.LongText, 24);
        img.Read(a + 24, ch.Digits, 12);
        ch.DigitCount = uint8_t(img.U8(a + 36));
        break;
    case 6:
        img.Read(a, ch.LongText, 24);
        ch.ScanMode = img.Bit(a + 25, 5) * 16 + img.Bits(a + 24, 0, 4);
        ch.ScanCancel.PwrSave = img.Bit(a + 24, 4);
        ch.ScanTxFlags.Flag24 = img.Bit(a + 24, 7);
        ch.ScanTxFlags.TalkBack = img.Bit(a + 25, 2);
        ch.ScanTxFlags.TxAction = img.Bit(a + 25, 4);
        ch.ScanCancel.CancelChMode = img.Bit(a + 25, 3) * 16 + img.Bits(a + 27, 0, 4);
        ch.ScanCancel.DispText = img.Bit(a + 25, 6) * 2 + img.Bit(a + 25, 7);
        ch.ScanPrioModes.Prio1Mode = img.Bits(a + 26, 0, 4);
        ch.ScanTxFlags.TxChMode = img.Bits(a + 26, 4, 4);
        ch.ScanPrioModes.Prio2Mode = img.Bits(a + 27, 4, 4);
        ch.ScanTxCh = uint32_t(img.U16(a + 28));
        ch.Prio1Ch = uint32_t(img.U16(a + 30));
        ch.Prio2Ch = uint32_t(img.U16(a + 32));
        if (PriorityRemovalOn() && (ch.ScanPrioModes.Prio1Mode == 1 || ch.ScanPrioModes.Prio1Mode == 2))
            ch.ScanPrioModes.Prio1Mode = 3;
        break;
    case 7: {
        ch.RxTone = ToneSpec::Decode(img.U8(a), img.U8(a + 1));
        ch.TxTone = ToneSpec::Decode(img.U8(a + 2), img.U8(a + 3));
        const SelectBit s = ToneSel(i);
        ch.ListSel.CToneSel = img.Bit(s.at, s.bit);
        break;
    }
    case 8:
        img.Read(a, ch.RxCode, 4);
        img.Read(a + 4, ch.LongText, 24);
        ch.RxCodePlusMask = uint8_t(img.U8(a + 28));
        DecodeFlags(ch, img, a + 29);
        ch.DecAux = uint32_t(img.U8(a + 33));
        ch.DecAuxMode = uint32_t(img.Bits(a + 34, 0, 2));
        ch.CodeSetting = uint32_t(img.U8(kCodeSetting));
        break;
    case 9:
        img.Read(a, ch.TxCode, 4);
        img.Read(b, ch.Text, 12);
        ch.InputDigit = uint8_t(img.U8(b + 12) & ~1);
        ch.TxUpdate = img.Bit(b + 12, 0);
        ch.TxAbcDec = img.Bit(b + 13, 7);
        ch.TxAbcAud = img.Bit(b + 13, 6);
        ch.TxSel = !img.Bit(b + 13, 4);
        ch.CodeSetting = uint32_t(img.U8(kCodeSetting));
        break;
    case 10:
        ch.UToneEncode = uint32_t(img.U16(a));
        ch.UToneDecLow = uint32_t(img.U16(b));
        ch.UToneDecHigh = uint32_t(img.U16(b + 2));
        break;
    case 11: {
        img.Read(a + 4, ch.LongText, 24);
        ch.GroupCall = uint32_t(img.U8(a));
        ch.TtBell = uint32_t(img.Bits(a + 31, 0, 2));
        ch.TtAns = img.U8(a + 29) != 0;
        ch.TtExo = img.Bit(a + 31, 7);
        ch.TtAux = uint32_t(img.U8(a + 33));
        ch.TtAuxMode = uint32_t(img.Bits(a + 34, 0, 2));
        ch.TtBeep = uint32_t(img.Bits(a + 30, 0, 3));
        ch.TtAutoTx = img.Bit(a + 31, 5);
        ch.TtStun = uint32_t(img.Bit(a + 31, 3) + img.Bit(a + 31, 4) * 2 + img.Bit(a + 32, 5) * 4 + img.Bit(a + 32, 4) * 8);
        ch.TtScan = uint32_t(img.Bit(a + 30, 5) * 2 + img.Bit(a + 30, 4));
        ch.TtSfunc = img.Bit(a + 30, 3);
        if (i >= 1 && i <= kTwoToneMax) {
            const int64_t w = kTwoToneFreqs + 8 * i, t = kTwoToneTxFreqs + 4 * i, e = kTwoToneEncode + 14 * i;
            ch.Freq1Low = uint32_t(img.U16(w));
            ch.Freq1High = uint32_t(img.U16(w + 2));
            ch.Freq2Low = uint32_t(img.U16(w + 4));
            ch.Freq2High = uint32_t(img.U16(w + 6));
            ch.TxFreq1 = img.U16(t);
            ch.TxFreq2 = img.U16(t + 2);
            ch.Period1 = img.U8(kTwoTonePeriods + 2 * i);
            ch.Period2 = img.U8(kTwoTonePeriods + 2 * i + 1);
            ch.CodeType = (img.U8(e + 12) & 0x0F) != 0x0F;
            img.Read(e, ch.Text, 12);
        }
        break;
    }
    case 13: {
        img.Read(a, ch.Text, 12);
        ch.LtrBankFlags.Ltr = IsLtrBank(i);
        ch.ZephBankFlags.Zeph = IsZephBank(i);
        ch.RptPhoneBankType.SmarTrunk = IsSmarTrunkBank(i);
        ch.RptPhoneBankType.VoteZone = IsVoteZoneBank(i);
        ch.MsFlags.Multisite = IsMultisiteBank(i);
        const int64_t h = kLtrBank.At(i), z = kZephBank.At(i), v = kVoteZone.At(i), k = kBroadcast.At(i);
        ch.LtrBankFlags.L1 = img.Bit(h, 7);
        ch.LtrBankFlags.L2 = img.Bit(h, 6);
        ch.LtrBankFlags.L3 = img.Bit(h, 4);
        ch.LtrBankFlags.L4 = img.Bit(h, 3);
        ch.LtrBankFlags.L5 = img.Bit(h, 2);
        ch.LtrBankFlags.L6 = img.Bit(h, 1);
        ch.LtrDecPriTg = uint8_t(img.Bit(h, 5) + img.Bit(h + 1, 7) * 2);
        ch.LtrBankFlags.L7 = img.Bit(h + 1, 5);
        ch.LtrBankFlags2.L8 = img.Bit(h + 1, 6);
        ch.LtrBlockIdStart = uint8_t(img.U8(h + 2));
        ch.LtrBlockIdEnd = uint8_t(img.U8(h + 3));
        ch.LtrPriTgId = uint8_t(img.U8(h + 4));
        ch.LtrNumPreBit = uint8_t(img.U8(h + 5));
        ch.LtrNumHangBit = uint8_t(img.U8(h + 6));
        ch.LtrHomeRpt = uint8_t(img.U8(h + 7));
        ch.ZephWord0 = uint32_t(img.U16(z));
        ch.ZephWord1 = uint32_t(img.U16(z + 2));
        ch.ZephWord2 = uint32_t(img.U16(z + 4));
        ch.ZephHomeRpt = uint8_t(img.U8(z + 6));
        ch.ZephHomeRpt2 = uint8_t(img.U8(z + 7));
        ch.ZephBankFlags.Z1 = img.Bit(z + 8, 7);
        ch.ZephBankFlags.Z2 = img.Bit(z + 8, 6);
        ch.ZephMode = uint8_t(img.Bit(z + 8, 5) + img.Bit(z + 8, 4) * 2);
        ch.ZephBankFlags2.BeepHandShake = img.Bit(z + 8, 2);
        ch.ZephBankFlags2.BeepOnRx = img.Bit(z + 8, 3);
        ch.ZephBankFlags2.TotPhone = img.Bit(z + 8, 0);
        ch.ZephBankFlags2.PwrSave = img.Bit(z + 8, 1);
        ch.ZephBankFlags2.TxErrBeep = img.Bit(z + 9, 7);
        ch.VoteZoneFlags.RfPo = img.Bit(v, 1) * 2 + img.Bit(v, 0);
        ch.VoteZoneFlags.ScrmOn = img.Bit(v, 3) * 2 + img.Bit(v, 2);
        ch.VoteZoneFlags.ScrmType = img.Bits(v, 4, 2);
        ch.VoteZoneFlags.FastMute = img.Bit(v, 6);
        ch.VoteZoneScrmCode = uint32_t(img.U8(v + 1));
        ch.VoteZoneEncryption = uint32_t(img.U8(v + 2));
        ch.LtrRxBroadcast = uint32_t(img.U16(k));
        ch.LtrBlockIdFleet = uint8_t(img.U8(k + 2));
        ch.LtrPriTgFleet = uint8_t(img.U8(k + 3));
        ch.LtrRxBroadcastFleet = uint8_t(img.U8(k + 4));
        break;
    }
    case 14:
        ch.MskAdr = uint32_t(img.U16(a));
        img.Read(a + 2, ch.Text, 12);
        ch.MskAlert = uint32_t(img.Bits(a + 28, 0, 3));
        ch.MskSFunc = img.Bit(a + 28, 3);
        ch.MskBell = uint32_t(img.Bits(a + 29, 0, 2));
        break;
    case 15: {
        uint8_t bcd[4];
        img.Read(a, bcd, 4);
        ch.CallListAdr = uint32_t(BcdToInt(bcd));
        img.Read(b, ch.Text, 12);
        ch.CallListDigit = uint32_t(img.U8(b + 12) & ~1);
        ch.CallListUpdate = img.Bit(b + 12, 0);
        ch.CallListSel = !img.Bit(b + 13, 4);
        break;
    }
    case 16:
        img.Read(a, ch.Text, 12);
        img.Read(b, ch.Text2, 12);
        ch.StatusBeep = uint32_t(img.Bits(a + 12, 0, 4));
        ch.StatusHorn = img.Bit(a + 12, 5);
        ch.StatusSFunc = img.Bit(a + 12, 6);
        ch.StatusAuto = img.Bit(a + 12, 7);
        ch.StatusAux = uint32_t(img.U8(a + 13));
        ch.StatusAuxMode = uint32_t(img.Bits(a + 14, 0, 2));
        ch.StatusPriority = img.Bit(b + 12, 0);
        ch.StatusSelection = img.Bit(b + 12, 1);
        break;
    case 17:
        img.Read(a, ch.Text, 12);
        ch.StatusSelection = img.Bit(b, 1);
        break;
    case 18:
    case 28:
    case 32:
        ch.IndId = img.U32(a);
        img.Read(a + 4, ch.Text, 12);
        if (kind == 32) ch.MsIndFleet = uint8_t(img.U8(a + 16));
        break;
    case 19:
    case 29:
    case 33:
        ch.GrpId = uint32_t(img.U16(a));
        img.Read(a + 2, ch.Text, 12);
        if (kind == 33) ch.MsGrpFleet = uint8_t(img.U8(a + 14));
        break;
    case 20: {
        ch.NacRx = uint32_t(img.U16(a));
        ch.NacTx = uint32_t(img.U16(a + 2));
        const SelectBit s = NacSel(i);
        ch.NacSel = img.Bit(s.at, s.bit);
        break;
    }
    case 21:
        img.Read(a, ch.Text, 12);
        img.Read(b, ch.Text2, 12);
        ch.DStatusBeep = uint32_t(img.Bits(a + 12, 0, 4));
        ch.DStatusRx = img.Bit(a + 12, 4);
        ch.DStatusDecExo = img.Bit(a + 12, 7);
        ch.DStatusAux = uint32_t(img.U8(a + 13));
        ch.DStatusAuxMode = uint32_t(img.Bits(a + 14, 0, 2));
        ch.DStatusSelection = img.Bit(b + 12, 1);
        break;
    case 22:
    case 27: {
        DecodeRepeaterFrequencies(ch, img, a);
        ch.RptFlags.RxDat = img.Bit(a + 8, 7);
        ch.RptFlags.TxDat = img.Bit(a + 8, 6);
        ch.RptFlags.Nar = img.Bit(a + 8, 5);
        ch.RptRfPo = img.Bit(a + 8, 4) * 2 + img.Bit(a + 8, 3);
        ch.RptPhoneBankType.Phone = img.Bit(a + 8, 0);
        const int64_t h = kLtrBank.At(p.group), z = kZephBank.At(p.group);
        ch.LtrBankFlags.L1 = img.Bit(h, 7);
        ch.LtrHomeRpt = uint8_t(img.U8(h + 7));
        if (kind == 22) {
            ch.LtrBankFlags.Ltr = IsLtrBank(p.group);
            ch.Attr.HomeRpt = p.pos == img.U8(h + 7);
        } else {
            ch.ZephBankFlags.Zeph = IsZephBank(p.group);
            ch.ZephBankFlags.Z1 = img.Bit(z + 8, 7);
            ch.ZephHomeRpt = uint8_t(img.U8(z + 6));
            ch.ZephHomeRpt2 = uint8_t(img.U8(z + 7));
            ch.Attr.HomeRpt = p.pos == img.U8(z + 6);
            ch.Attr.HomeRpt2 = p.pos == img.U8(z + 7);
        }
        break;
    }
    case 23:
        img.Read(a, ch.Digits, 12);
        img.Read(a + 12, ch.LongText, 24);
        ch.DigitCount = uint8_t(img.U8(a + 44));
        DecodeFlags(ch, img, a + 37);
        break;
    case 24:
        img.Read(a, ch.AliasText, 12);
        ch.AliasBeepType = uint8_t(img.Bits(a + 12, 0, 4));
        ch.AliasStrip = uint8_t(img.Bit(a + 12, 7));
        ch.AliasId = uint32_t(img.U16(a + 13));
        break;
    case 25: ch.EncryptionKey = uint32_t(img.U16(a)); break;
    case 26:
        img.Read(a, ch.Text, 12);
        ch.SdmSel = img.Bit(b, 1);
        break;
    case 30:
        ch.SystemCode = uint32_t(img.U16(a));
        ch.IntegratorCode = uint8_t(img.U8(a + 2));
        ch.SiteId = uint8_t(img.U8(a + 3));
        ch.SiteHome1 = uint8_t(img.U8(a + 4));
        ch.SiteHome2 = uint8_t(img.U8(a + 5));
        ch.SiteFlags.AreaBit = img.Bit(a + 6, 7);
        ch.SiteFlags.Otau = img.Bit(b, 7);
        ch.State.InUse = ch.SiteId != 0;
        break;
    case 31:
        DecodeRepeaterFrequencies(ch, img, a);
        ch.RptRfPo = img.Bit(a + 8, 7) * 2 + img.Bit(a + 8, 6);
        ch.SiteHome1 = uint8_t(img.U8(b + 4));
        ch.SiteHome2 = uint8_t(img.U8(b + 5));
        ch.SiteFlags.AreaBit = img.Bit(b + 6, 7);
        ch.Attr.SiteHome1 = p.pos == ch.SiteHome1;
        ch.Attr.SiteHome2 = p.pos == ch.SiteHome2;
        break;
    case 34:
        ch.ChGrpType = uint8_t(img.U8(a));
        ch.ChGrpNumber = uint32_t(img.U16(a + 2));
        break;
    default: return false;
    }
    return true;
}

bool EncodeItem(datCh& ch, int kind, int i)
{
    const Place p = Locate(kind, i);
    if (!p.ok) return false;
    ImageBytes img(ch.Image);
    const int64_t a = p.a, b = p.b;
    switch (kind) {
    case 3: img.Write(a, ch.CharBitmap, 49); break;
    case 4: img.Write(a, ch.CharBitmapMob, 24); break;
    case 5:
        img.Write(a, ch.LongText, 24);
        img.Write(a + 24, ch.Digits, 12);
        img.SetU8(a + 36, ch.DigitCount);
        break;
    case 6:
        img.Write(a, ch.LongText, 24);
        img.SetBit(a + 25, 5, (ch.ScanMode >> 4) & 1);
        img.SetBits(a + 24, 0, 4, ch.ScanMode & 0x0F);
        img.SetBit(a + 24, 4, ch.ScanCancel.PwrSave);
        img.SetBit(a + 24, 7, ch.ScanTxFlags.Flag24);
        img.SetBit(a + 25, 2, ch.ScanTxFlags.TalkBack);
        img.SetBit(a + 25, 4, ch.ScanTxFlags.TxAction);
        img.SetBit(a + 25, 3, (ch.ScanCancel.CancelChMode >> 4) & 1);
        img.SetBits(a + 27, 0, 4, ch.ScanCancel.CancelChMode & 0x0F);
        img.SetBit(a + 25, 6, (ch.ScanCancel.DispText >> 1) & 1);
        img.SetBit(a + 25, 7, ch.ScanCancel.DispText & 1);
        img.SetBits(a + 26, 0, 4, ch.ScanPrioModes.Prio1Mode);
        img.SetBits(a + 26, 4, 4, ch.ScanTxFlags.TxChMode);
        img.SetBits(a + 27, 4, 4, ch.ScanPrioModes.Prio2Mode);
        img.SetU16(a + 28, ch.ScanTxCh & 0xFFFF);
        img.SetU16(a + 30, ch.Prio1Ch & 0xFFFF);
        img.SetU16(a + 32, ch.Prio2Ch & 0xFFFF);
        break;
    case 7: {
        int t0 = img.U8(a), t1 = img.U8(a + 1);
        ch.RxTone.Encode(t0, t1);
        img.SetU8(a, t0);
        img.SetU8(a + 1, t1);
        t0 = img.U8(a + 2);
        t1 = img.U8(a + 3);
        ch.TxTone.Encode(t0, t1);
        img.SetU8(a + 2, t0);
        img.SetU8(a + 3, t1);
        const SelectBit s = ToneSel(i);
        img.SetBit(s.at, s.bit, ch.ListSel.CToneSel);
        break;
    }
    case 8:
        img.Write(a, ch.RxCode, 4);
        img.Write(a + 4, ch.LongText, 24);
        img.SetU8(a + 28, ch.RxCodePlusMask);
        EncodeFlags(ch, img, a + 29, !IsAllSpaces(ch.LongText, 24));
        img.SetU8(a + 33, int(ch.DecAux & 0xFF));
        img.SetBits(a + 34, 0, 2, ch.DecAuxMode);
        break;
    case 9:
        img.Write(a, ch.TxCode, 4);
        img.Write(b, ch.Text, 12);
        img.SetU8(b + 12, ch.InputDigit);
        img.SetBit(b + 12, 0, ch.TxUpdate & 1);
        img.SetBit(b + 13, 7, ch.TxAbcDec & 1);
        img.SetBit(b + 13, 6, ch.TxAbcAud & 1);
        img.SetBit(b + 13, 4, ch.TxSel == 0);
        img.SetBit(b + 13, 5, !IsAllSpaces(ch.Text, 12));
        break;
    case 10:
        img.SetU16(a, ch.UToneEncode & 0xFFFF);
        img.SetU16(b, ch.UToneDecLow & 0xFFFF);
        img.SetU16(b + 2, ch.UToneDecHigh & 0xFFFF);
        break;
    case 11:
        img.Write(a + 4, ch.LongText, 24);
        img.SetU8(a, int(ch.GroupCall & 0xFF));
        img.SetBits(a + 31, 0, 2, ch.TtBell);
        img.SetU8(a + 29, ch.TtAns ? 0xFF : 0);
        img.SetBit(a + 31, 7, ch.TtExo & 1);
        img.SetU8(a + 33, int(ch.TtAux & 0xFF));
        img.SetBits(a + 34, 0, 2, ch.TtAuxMode);
        img.SetBits(a + 30, 0, 3, ch.TtBeep);
        img.SetBit(a + 31, 5, ch.TtAutoTx & 1);
        img.SetBit(a + 31, 3, ch.TtStun & 1);
        img.SetBit(a + 31, 4, (ch.TtStun >> 1) & 1);
        img.SetBit(a + 32, 5, (ch.TtStun >> 2) & 1);
        img.SetBit(a + 32, 4, (ch.TtStun >> 3) & 1);
        img.SetBit(a + 30, 5, (ch.TtScan >> 1) & 1);
        img.SetBit(a + 30, 4, ch.TtScan & 1);
        img.SetBit(a + 30, 3, ch.TtSfunc & 1);
        img.SetBit(a + 31, 2, !IsAllSpaces(ch.LongText, 24));
        if (i >= 1 && i <= kTwoToneMax) {
            const int64_t w = kTwoToneFreqs + 8 * i, t = kTwoToneTxFreqs + 4 * i, e = kTwoToneEncode + 14 * i;
            img.SetU16(w, ch.Freq1Low & 0xFFFF);
            img.SetU16(w + 2, ch.Freq1High & 0xFFFF);
            img.SetU16(w + 4, ch.Freq2Low & 0xFFFF);
            img.SetU16(w + 6, ch.Freq2High & 0xFFFF);
            img.SetU16(t, uint32_t(Truncate(ch.TxFreq1) & 0xFFFF));
            img.SetU16(t + 2, uint32_t(Truncate(ch.TxFreq2) & 0xFFFF));
            img.SetU8(kTwoTonePeriods + 2 * i, int(Truncate(ch.Period1) & 0xFF));
            img.SetU8(kTwoTonePeriods + 2 * i + 1, int(Truncate(ch.Period2) & 0xFF));
            img.SetU8(e + 12, ch.CodeType ? (((i - 1) << 4) | (i - 1)) : 0x0F);
            std::memcpy(ch.Text, ch.LongText, 12);
            img.Write(e, ch.Text, 12);
            img.SetBit(e + 13, 5, !IsAllSpaces(ch.Text, 12));
        }
        break;
    case 13: {
        img.Write(a, ch.Text, 12);
        SetLtrBank(i, ch.LtrBankFlags.Ltr);
        SetZephBank(i, ch.ZephBankFlags.Zeph);
        SetSmarTrunkBank(i, ch.RptPhoneBankType.SmarTrunk);
        SetVoteZoneBank(i, ch.RptPhoneBankType.VoteZone);
        SetMultisiteBank(i, ch.MsFlags.Multisite);
        const int64_t h = kLtrBank.At(i), z = kZephBank.At(i), v = kVoteZone.At(i), k = kBroadcast.At(i);
        img.SetBit(h, 7, ch.LtrBankFlags.L1);
        img.SetBit(h, 6, ch.LtrBankFlags.L2);
        img.SetBit(h, 4, ch.LtrBankFlags.L3);
        img.SetBit(h, 3, ch.LtrBankFlags.L4);
        img.SetBit(h, 2, ch.LtrBankFlags.L5);
        img.SetBit(h, 1, ch.LtrBankFlags.L6);
        img.SetBit(h, 5, ch.LtrDecPriTg & 1);
        img.SetBit(h + 1, 7, (ch.LtrDecPriTg >> 1) & 1);
        img.SetBit(h + 1, 5, ch.LtrBankFlags.L7);
        img.SetBit(h + 1, 6, ch.LtrBankFlags2.L8);
        img.SetU8(h + 2, ch.LtrBlockIdStart);
        img.SetU8(h + 3, ch.LtrBlockIdEnd);
        img.SetU8(h + 4, ch.LtrPriTgId);
        img.SetU8(h + 5, ch.LtrNumPreBit);
        img.SetU8(h + 6, ch.LtrNumHangBit);
        img.SetU8(h + 7, ch.LtrHomeRpt);
        img.SetU16(z, ch.ZephWord0 & 0xFFFF);
        img.SetU16(z + 2, ch.ZephWord1 & 0xFFFF);
        img.SetU16(z + 4, ch.ZephWord2 & 0xFFFF);
        img.SetU8(z + 6, ch.ZephHomeRpt);
        img.SetU8(z + 7, ch.ZephHomeRpt2);
        img.SetBit(z + 8, 7, ch.ZephBankFlags.Z1);
        img.SetBit(z + 8, 6, ch.ZephBankFlags.Z2);
        img.SetBit(z + 8, 5, ch.ZephMode & 1);
        img.SetBit(z + 8, 4, (ch.ZephMode >> 1) & 1);
        img.SetBit(z + 8, 2, ch.ZephBankFlags2.BeepHandShake);
        img.SetBit(z + 8, 3, ch.ZephBankFlags2.BeepOnRx);
        img.SetBit(z + 8, 0, ch.ZephBankFlags2.TotPhone);
        img.SetBit(z + 8, 1, ch.ZephBankFlags2.PwrSave);
        img.SetBit(z + 9, 7, ch.ZephBankFlags2.TxErrBeep);
        img.SetBit(v, 1, (ch.VoteZoneFlags.RfPo >> 1) & 1);
        img.SetBit(v, 0, ch.VoteZoneFlags.RfPo & 1);
        img.SetBit(v, 3, (ch.VoteZoneFlags.ScrmOn >> 1) & 1);
        img.SetBit(v, 2, ch.VoteZoneFlags.ScrmOn & 1);
        img.SetBits(v, 4, 2, ch.VoteZoneFlags.ScrmType);
        img.SetBit(v, 6, ch.VoteZoneFlags.FastMute);
        img.SetU8(v + 1, int(ch.VoteZoneScrmCode & 0xFF));
        img.SetU8(v + 2, int(ch.VoteZoneEncryption & 0xFF));
        img.SetU16(k, ch.LtrRxBroadcast & 0xFFFF);
        img.SetU8(k + 2, ch.LtrBlockIdFleet);
        img.SetU8(k + 3, ch.LtrPriTgFleet);
        img.SetU8(k + 4, ch.LtrRxBroadcastFleet);
        break;
    }
    case 14:
        img.SetU16(a, ch.MskAdr & 0xFFFF);
        img.Write(a + 2, ch.Text, 12);
        img.SetBits(a + 28, 0, 3, ch.MskAlert);
        img.SetBit(a + 28, 3, ch.MskSFunc & 1);
        img.SetBits(a + 29, 0, 2, ch.MskBell);
        img.SetBit(a + 29, 2, !IsAllSpaces(ch.Text, 12));
        break;
    case 15: {
        uint8_t bcd[4];
        IntToBcd(ch.CallListAdr, bcd, 4);
        img.Write(a, bcd, 4);
        img.Write(b, ch.Text, 12);
        img.SetU8(b + 12, int(ch.CallListDigit & 0xFF));
        img.SetBit(b + 12, 0, ch.CallListUpdate & 1);
        img.SetBit(b + 13, 4, ch.CallListSel == 0);
        img.SetBit(b + 13, 5, !IsAllSpaces(ch.Text, 12));
        break;
    }
    case 16:
        img.Write(a, ch.Text, 12);
        img.Write(b, ch.Text2, 12);
        img.SetBits(a + 12, 0, 4, ch.StatusBeep);
        img.SetBit(a + 12, 5, ch.StatusHorn & 1);
        img.SetBit(a + 12, 6, ch.StatusSFunc & 1);
        img.SetBit(a + 12, 7, ch.StatusAuto & 1);
        img.SetU8(a + 13, int(ch.StatusAux & 0xFF));
        img.SetBits(a + 14, 0, 2, ch.StatusAuxMode);
        img.SetBit(b + 12, 0, ch.StatusPriority & 1);
        img.SetBit(b + 12, 1, ch.StatusSelection & 1);
        break;
    case 17:
        img.Write(a, ch.Text, 12);
        img.SetBit(b, 1, ch.StatusSelection & 1);
        break;
    case 18:
    case 28:
    case 32:
        img.SetU32(a, ch.IndId);
        img.Write(a + 4, ch.Text, 12);
        if (kind == 32) img.SetU8(a + 16, ch.MsIndFleet);
        break;
    case 19:
    case 29:
    case 33:
        img.SetU16(a, ch.GrpId & 0xFFFF);
        img.Write(a + 2, ch.Text, 12);
        if (kind == 33) img.SetU8(a + 14, ch.MsGrpFleet);
        break;
    case 20: {
        img.SetU16(a, ch.NacRx & 0xFFFF);
        img.SetU16(a + 2, ch.NacTx & 0xFFFF);
        const SelectBit s = NacSel(i);
        img.SetBit(s.at, s.bit, ch.NacSel);
        break;
    }
    case 21:
        img.Write(a, ch.Text, 12);
        img.Write(b, ch.Text2, 12);
        img.SetBits(a + 12, 0, 4, ch.DStatusBeep);
        img.SetBit(a + 12, 4, ch.DStatusRx & 1);
        img.SetBit(a + 12, 7, ch.DStatusDecExo & 1);
        img.SetU8(a + 13, int(ch.DStatusAux & 0xFF));
        img.SetBits(a + 14, 0, 2, ch.DStatusAuxMode);
        img.SetBit(b + 12, 1, ch.DStatusSelection & 1);
        break;
    case 22:
    case 27: {
        EncodeRepeaterFrequencies(ch, img, a);
        img.SetBit(a + 8, 7, ch.RptFlags.RxDat);
        img.SetBit(a + 8, 6, ch.RptFlags.TxDat);
        img.SetBit(a + 8, 5, ch.RptFlags.Nar);
        img.SetBit(a + 8, 4, (ch.RptRfPo >> 1) & 1);
        img.SetBit(a + 8, 3, ch.RptRfPo & 1);
        img.SetBit(a + 8, 0, ch.RptPhoneBankType.Phone);
        const int pos = p.pos & 0xFF;
        if (kind == 22) {
            const int64_t home = kLtrBank.At(p.group) + 7;
            if (ch.Attr.ClearHome)
                img.SetU8(home, 0);
            else if (ch.Attr.HomeRpt)
                img.SetU8(home, pos);
        } else {
            const int64_t home1 = kZephBank.At(p.group) + 6, home2 = home1 + 1;
            if (ch.Attr.ClearHome) {
                img.SetU8(home1, 0);
            } else if (ch.Attr.HomeRpt) {
                img.SetU8(home1, pos);
                if (img.U8(home1) == img.U8(home2)) img.SetU8(home2, 0);
            }
            if (ch.Attr.ClearHome2) {
                img.SetU8(home2, 0);
            } else if (ch.Attr.HomeRpt2) {
                img.SetU8(home2, pos);
                if (img.U8(home2) == img.U8(home1)) img.SetU8(home1, 0);
            }
        }
        break;
    }
    case 23:
        img.Write(a, ch.Digits, 12);
        img.Write(a + 12, ch.LongText, 24);
        img.SetU8(a + 44, ch.DigitCount);
        EncodeFlags(ch, img, a + 37, !IsAllSpaces(ch.LongText, 24));
        break;
    case 24:
        img.Write(a, ch.AliasText, 12);
        img.SetBits(a + 12, 0, 4, ch.AliasBeepType);
        img.SetBit(a + 12, 7, ch.AliasStrip & 1);
        img.SetU16(a + 13, ch.AliasId & 0xFFFF);
        break;
    case 25: img.SetU16(a, ch.EncryptionKey & 0xFFFF); break;
    case 26:
        img.Write(a, ch.Text, 12);
        img.SetBit(b, 1, ch.SdmSel & 1);
        break;
    case 30:
        img.SetU16(a, ch.SystemCode & 0xFFFF);
        img.SetU8(a + 2, ch.IntegratorCode);
        img.SetU8(a + 3, ch.SiteId);
        img.SetU8(a + 4, ch.SiteHome1);
        img.SetU8(a + 5, ch.SiteHome2);
        img.SetBit(a + 6, 7, ch.SiteFlags.AreaBit);
        img.SetBit(b, 7, ch.SiteFlags.Otau);
        break;
    case 31: {
        EncodeRepeaterFrequencies(ch, img, a);
        img.SetBit(a + 8, 7, (ch.RptRfPo >> 1) & 1);
        img.SetBit(a + 8, 6, ch.RptRfPo & 1);
        const int64_t home1 = b + 4, home2 = b + 5;
        // Releasing the first collecting repeater clears both; releasing the
        // second clears only the second.
        if (ch.Attr.ClearHome) {
            img.SetU8(home1, 0);
            img.SetU8(home2, 0);
        } else if (ch.Attr.ClearHome2) {
            img.SetU8(home2, 0);
        } else if (ch.Attr.SiteHome1) {
            img.SetU8(home1, p.pos);
            if (img.U8(home1) == img.U8(home2)) img.SetU8(home2, 0);
        } else if (ch.Attr.SiteHome2) {
            img.SetU8(home2, p.pos);
            if (img.U8(home2) == img.U8(home1)) img.SetU8(home1, 0);
        }
        break;
    }
    case 34:
        img.SetU8(a, ch.ChGrpType);
        img.SetU16(a + 2, ch.ChGrpNumber & 0xFFFF);
        break;
    default: return false;
    }
    return true;
}

} // namespace codec
