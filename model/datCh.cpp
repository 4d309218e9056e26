#include "model/datCh.h"

#include "model/CodecDetail.h"
#include "model/EepromMap.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"

#include <algorithm>
#include <type_traits>

static_assert(sizeof(datState) == 1 && sizeof(datAttr) == 2 && sizeof(datChFlagsB) == 2 && sizeof(datChFlagsC) == 2 &&
              sizeof(datChFlagsF) == 2 && sizeof(datScanCancel) == 1 && sizeof(datLtrBankFlags) == 1);
static_assert(sizeof(ToneSpec) == 6);
static_assert(std::is_trivially_copyable_v<datCh>);

const KindTableRow KindTable[ItemKindCount] = {
    {0, 0, 0},      {0, 511, 1},   {0, 511, 1}, {0, 15, 1},  {0, 15, 1},   {0, 7, 0},    {0, 16, 0},
    {0, 79, 0},     {1, 8, 0},     {0, 31, 0},  {0, 14, 0},  {1, 10, 0},   {0, 9, 0},    {0, 127, 0},
    {0, 7, 0},      {0, 31, 0},    {0, 22, 0},  {0, 7, 0},   {0, 499, 1},  {0, 499, 1},  {0, 79, 0},
    {0, 99, 0},     {0, 2559, 1},  {0, 9, 0},   {0, 299, 1}, {0, 62, 0},   {0, 9, 0},    {0, 3839, 1},
    {0, 499, 1},    {0, 499, 1},   {0, 47, 1},  {0, 1439, 1}, {0, 499, 1}, {0, 499, 1},  {0, 15, 1},
};

static bool InKindTable(int kind) { return kind >= 0 && kind < ItemKindCount; }

int KindTableMin(int kind) { return InKindTable(kind) ? KindTable[kind].Min : 0; }
int KindTableMax(int kind) { return InKindTable(kind) ? KindTable[kind].Max : 0; }
int KindTableFlag(int kind) { return InKindTable(kind) ? (KindTable[kind].Flags & 1) : 0; }

int datCh::MinIndex(int kind) { return InKindTable(kind) ? KindTable[kind].Min : 0; }
int datCh::MaxIndex(int kind) { return InKindTable(kind) ? KindTable[kind].Max : 100000000; }

ToneSpec ToneSpec::Decode(int t0, int t1)
{
    ToneSpec t{};
    t.On = !((t0 >> 7) & 1);
    t.Digital = (t0 >> 6) & 1;
    if (t.Digital) {
        t.Inverted = (t0 >> 5) & 1;
        t.DigitalCode = uint16_t(((t0 & 1) << 8) | (t1 & 0xFF));
    } else {
        t.AnalogIndex = uint16_t(t1 & 0xFF);
    }
    return t;
}

void ToneSpec::Encode(int& t0, int& t1) const
{
    t0 = (t0 & ~0xC0) | (On ? 0 : 0x80) | (Digital ? 0x40 : 0);
    if (Digital) {
        t1 = DigitalCode & 0xFF;
        t0 = (t0 & ~0x21) | ((DigitalCode >> 8) & 1) | (Inverted ? 0x20 : 0);
    } else {
        t1 = AnalogIndex & 0xFF;
        t0 &= ~0x21;
    }
}

datCh::datCh()
{
    Image = nullptr;
    Clear();
}

datCh::datCh(cmcEeprom* image)
{
    Image = image;
    Clear();
}

void datCh::Clear()
{
    cmcEeprom* const image = Image;
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    Image = image;
    State.InUse = 1;
}

// Images shorter than the map hold no items.
static bool HoldsItems(const cmcEeprom* image) { return image && image->Size() >= EepromMap::ImageSize; }

datCh& datCh::Unpack(int kind, int index)
{
    Clear();
    Kind = uint32_t(kind);
    Index = index;
    if (!HoldsItems(Image)) return *this;
    if (kind == 1 || kind == 2)
        codec::DecodeChannel(*this, kind, index);
    else
        codec::DecodeItem(*this, kind, index);
    return *this;
}

void datCh::Pack(int kind, int index)
{
    Index = index;
    if (kind == 0) kind = int(Kind);
    if (!HoldsItems(Image)) return;
    if (kind == 1 || kind == 2)
        codec::EncodeChannel(*this, kind, index);
    else
        codec::EncodeItem(*this, kind, index);
}

datCh& datCh::Commit()
{
    PackCurrent();
    return Reload();
}

int datCh::BankOfChannel(int n)
{
    if (n < 0) return WorkTables::Banks;
    const cmcEeprom* image = CurrentModelContext().CurrentImage;
    return image ? BankOfChannelInImage(*image, n) : WorkTables::Banks;
}

bool datCh::RangeIsEmpty(const datCh& record, int from, int to)
{
    datCh probe(record.Image);
    for (int i = from; i <= to; ++i)
        if (probe.Unpack(int(record.Kind), i).State.InUse) return false;
    return true;
}

int BcdToInt(const uint8_t* bytes)
{
    int value = 0;
    for (int k = 0; k < 4; ++k) {
        const int digit = (k % 2 == 0) ? (bytes[k / 2] >> 4) : (bytes[k / 2] & 0x0F);
        if (digit > 9) return 65535;
        value = value * 10 + digit;
    }
    return value;
}

void IntToBcd(uint32_t value, uint8_t* buffer, int length)
{
    if (length <= 0) return;
    std::fill(buffer, buffer + length, uint8_t(0xFF));
    uint8_t digits[4];
    for (int k = 3; k >= 0; --k) {
        digits[k] = uint8_t(value % 10);
        value /= 10;
    }
    buffer[0] = uint8_t((digits[0] << 4) | digits[1]);
    if (length >= 2) buffer[1] = uint8_t((digits[2] << 4) | digits[3]);
}

namespace codec {

int32_t DecodeFrequency(uint32_t raw)
{
    const uint32_t v = raw & 0x7FFFFFFFu;
    return int32_t(std::min<uint32_t>(v, uint32_t(MaxFrequency)));
}

uint32_t EncodeFrequency(int32_t value)
{
    if (value < 1) return 0;
    return uint32_t(std::min(value, MaxFrequency));
}

bool IsAllSpaces(const char* text, int n)
{
    for (int k = 0; k < n; ++k)
        if (text[k] != ' ') return false;
    return true;
}

bool PriorityRemovalOn()
{
    const auto& query = CurrentModelContext().PriorityRemoval;
    return query ? query() : true;
}

namespace {

constexpr Slot kMain{130944, 30, 512};
constexpr Slot kSecond{163346, 24, 512};
constexpr Slot kLtrGroup{231602, 6, 512};
constexpr Slot kZeph{243076, 5, 512};
constexpr Slot kMultisite{304544, 6, 512};
constexpr Slot kDivert{302548, 2, 512};
constexpr int kScanBits = 146320;  // 17 arrays of 64 bytes
constexpr int kScanLists = 17;
constexpr int kPrioA = 146304;
constexpr int kPrioB = 146306;
constexpr int kRefC = 175670;
constexpr int kRefCFlag = 175680;  // bit 5: on
constexpr int kRefD = 148176;
constexpr int kRefDFlag = 148174;  // bit 0: on

} // namespace

bool DecodeChannel(datCh& ch, int kind, int n)
{
    if (n < 0 || n >= WorkTables::Channels) return false;
    ImageBytes img(ch.Image);
    const int64_t R = kMain.At(n), S = kSecond.At(n), G = kLtrGroup.At(n), Z = kZeph.At(n), M = kMultisite.At(n);
    const int b = datCh::BankOfChannel(n);
    const bool pmr = kind == 2;

    const uint32_t rx = img.U32(R), tx = img.U32(R + 4);
    ch.RxFreq = DecodeFrequency(rx);
    ch.TxFreq = DecodeFrequency(tx);
    ch.ChFlagsA.Inh = rx >> 31;
    ch.ChFlagsA.TxInh = tx >> 31;
    ch.ChFlagsA.EDivert = img.Bits(R + 12, 2, 2);
    ch.EDivertTarget = img.U16(kDivert.At(n));
    ch.RxTone = ToneSpec::Decode(img.U8(R + 8), img.U8(R + 9));
    ch.TxTone = ToneSpec::Decode(img.U8(R + 10), img.U8(R + 11));
    img.Read(R + 14, ch.Text, 12);
    ch.ChFlagsB.Nar = img.Bit(R + 12, 6);
    ch.ChFlagsB.DNar = img.Bit(R + 12, 4);
    ch.ChFlagsF.DigSig = img.Bits(R + 12, 0, 2);
    ch.ScanList = uint32_t(img.U8(R + 13));
    ch.RxNac = uint32_t(img.U16(R + 26));
    ch.TxNac = uint32_t(img.U16(R + 28));

    ch.ChFlagsB.PwrSave = img.Bit(S, 7);
    ch.ChFlagsB.Tot = img.Bit(S, 4);
    ch.ChFlagsB.RfPo = img.Bit(S, 1) * 2 + img.Bit(S, 0);
    ch.Lockout = img.Bit(S + 17, 2) * 16 + img.Bit(S + 17, 1) * 8 + img.Bit(S + 17, 0) * 4 + img.Bit(S, 3) * 2 + img.Bit(S, 2);
    ch.ChFlagsC.ScanListSel = img.Bit(S, 5);
    ch.ChFlagsC.Moni = img.Bit(S + 2, 5) * 8 + img.Bit(S + 2, 4) * 4 + img.Bit(S + 1, 3) * 2 + img.Bit(S, 6);
    ch.ChFlagsC.Log = img.Bits(S + 1, 4, 4);
    ch.ChFlagsD.ChMute = img.Bit(S + 1, 0);
    ch.SqlTight = img.Bit(S + 1, 2);
    ch.ScanInc = img.Bit(S + 1, 1);
    ch.ChFlagsC.AutoReset = pmr ? img.Bit(S + 2, 0) * 2 + img.Bit(S + 2, 1) : img.Bit(S + 2, 1);
    ch.ChFlagsD.Sel = img.Bit(S + 2, 7) * 2 + img.Bit(S + 2, 6);
    ch.ChFlagsD.Call = img.Bit(S + 2, 3);
    ch.ChFlagsD.PTT = img.Bit(S + 2, 2);
    ch.ChFlagsB.Compander = img.Bit(S + 3, 4);
    ch.ChFlagsB.AutoChScan = img.Bit(S + 3, 0);
    ch.Scrm.ScrmOn = img.Bit(S + 3, 6) * 2 + img.Bit(S + 3, 5);
    ch.ChFlagsF.MskSig = img.Bit(S + 3, 3);
    ch.ChFlagsF.MskSendStatus = img.Bit(S + 3, 1);
    ch.ChFlagsF.MskRptNone = img.Bit(S + 3, 2);
    ch.MdcSystem = uint8_t(img.U8(S + 4));
    ch.ScrmCode = uint32_t(img.U8(S + 5));
    if (pmr) {
        ch.Form = img.Bits(S + 6, 0, 4);
        ch.ChFlagsE.Pos = img.Bit(S + 6, 7) * 2 + img.Bit(S + 6, 6);
        ch.RptC = uint32_t(img.Bits(S + 7, 0, 7));
        ch.ChFlagsE.RptL = img.Bit(S + 7, 7);
        ch.StnC = uint32_t(img.Bits(S + 8, 0, 7));
        ch.ChFlagsE.StnL = img.Bit(S + 8, 7);
        ch.IdC = uint32_t(img.Bits(S + 9, 0, 7));
        ch.ChFlagsE.IdL = img.Bit(S + 9, 7);
        ch.RxCNo = uint32_t(img.U8(S + 11));
        ch.MskRxCNo = uint32_t(img.U8(S + 10));
    } else {
        ch.StnC = 1;
        ch.ChFlagsE.StnL = 1;
        ch.TwoTone = uint32_t(img.Bits(S + 8, 0, 7));
        ch.RxCNo = uint32_t(img.U16(S + 10) >> 6);
        ch.DtmfDec = img.Bit(S + 18, 5);
        ch.RxCNoDtmf = uint8_t(img.U8(S + 20));
    }
    ch.IndList = uint32_t(img.U16(S + 12));
    ch.UnitDec = uint32_t(img.U16(S + 14));
    ch.ChFlagsF.SqlType = img.Bits(S + 17, 4, 2);
    ch.ChFlagsF.FastMute = img.Bit(S + 17, 7);
    ch.ChFlagsF.Strapped = img.Bit(S + 17, 3);
    ch.Scrm.ScrmType = img.Bits(S + 18, 6, 2);
    ch.ChFlagsB.Plan156 = img.Bit(S + 18, 3);
    ch.ListSel.ChExtra = img.Bit(S + 18, 4);
    ch.EncryptionNo = uint32_t(img.U8(S + 19));
    ch.TgList = uint32_t(img.U16(S + 22));

    ch.GrpRxId = uint8_t(img.U8(G));
    ch.GrpTxId = uint8_t(img.U8(G + 1));
    ch.GrpHomeRptCh = uint8_t(img.U8(G + 2));
    ch.GrpBlockIdStart = uint8_t(img.U8(G + 4));
    ch.GrpBlockIdEnd = uint8_t(img.U8(G + 5));
    ch.GrpFlags.TxInh = img.Bit(G + 3, 7);
    ch.GrpFlags.PhonePriv = img.Bit(G + 3, 6);
    ch.GrpFlags.BlockIdEnable = img.Bit(G + 3, 5);

    ch.ZephTgList = uint32_t(img.U16(Z));
    ch.ZephUnit = uint32_t(img.U16(Z + 2));
    ch.ZephTxInh = img.Bit(Z + 4, 7);
    ch.MsTgList = uint32_t(img.U16(M));
    ch.MsIndList = uint32_t(img.U16(M + 2));
    ch.ZephFleetDec = uint8_t(img.U8(M + 4));
    ch.MsFlags.MsgTrunking = img.Bit(M + 5, 7);

    ch.ScanMask = 0;
    for (int j = 0; j < kScanLists; ++j)
        if (img.Bit(kScanBits + 64 * j + n / 8, 7 - n % 8)) ch.ScanMask |= 1u << (16 - j);

    if (!PriorityRemovalOn()) {
        ch.Attr.PrioA = img.U16(kPrioA) == n;
        ch.Attr.PrioB = img.U16(kPrioB) == n;
    }
    ch.Attr.RefCOff = !img.Bit(kRefCFlag, 5);
    ch.Attr.RefC = img.U16(kRefC) == n && !ch.Attr.RefCOff;
    ch.Attr.RefDOff = !img.Bit(kRefDFlag, 0);
    ch.Attr.RefD = img.U16(kRefD) == n && !ch.Attr.RefDOff;
    ch.Attr.SmarTrunkBank = IsSmarTrunkBank(b);
    ch.Attr.LtrBank = IsLtrBank(b);

    ch.State.InUse = ch.RxFreq != 0 || ch.GrpRxId != 0 || ch.ZephUnit != 0;
    if (IsLtrBank(b))
        ch.State.Active = ch.GrpRxId != 0;
    else if (IsZephBank(b) || IsMultisiteBank(b))
        ch.State.Active = ch.ZephUnit != 0;
    else
        ch.State.Active = ch.RxFreq != 0;
    return true;
}

bool EncodeChannel(datCh& ch, int kind, int n)
{
    if (n < 0 || n >= WorkTables::Channels) return false;
    ImageBytes img(ch.Image);
    const int64_t R = kMain.At(n), S = kSecond.At(n), G = kLtrGroup.At(n), Z = kZeph.At(n), M = kMultisite.At(n);
    const int b = datCh::BankOfChannel(n);
    const bool pmr = kind == 2;

    img.SetU32(R, EncodeFrequency(ch.RxFreq));
    img.SetBit(R, 7, ch.ChFlagsA.Inh);
    img.SetU32(R + 4, EncodeFrequency(ch.TxFreq));
    img.SetBit(R + 4, 7, ch.ChFlagsA.TxInh);
    int divert = ch.ChFlagsA.EDivert;
    int target = ch.EDivertTarget;
    if (b == WorkTables::Banks - 1 && divert == 2) divert = target = 0;
    img.SetBits(R + 12, 2, 2, uint32_t(divert));
    img.SetU16(kDivert.At(n), uint32_t(target) & 0xFFFF);
    int t0 = img.U8(R + 8), t1 = img.U8(R + 9);
    ch.RxTone.Encode(t0, t1);
    img.SetU8(R + 8, t0);
    img.SetU8(R + 9, t1);
    t0 = img.U8(R + 10);
    t1 = img.U8(R + 11);
    ch.TxTone.Encode(t0, t1);
    img.SetU8(R + 10, t0);
    img.SetU8(R + 11, t1);
    img.Write(R + 14, ch.Text, 12);
    img.SetBit(R + 12, 5, !IsAllSpaces(ch.Text, 12));
    img.SetBit(R + 12, 6, ch.ChFlagsB.Nar);
    img.SetBit(R + 12, 4, ch.ChFlagsB.DNar);
    img.SetBits(R + 12, 0, 2, ch.ChFlagsF.DigSig);
    img.SetU8(R + 13, int(ch.ScanList & 0xFF));
    img.SetU16(R + 26, ch.RxNac & 0xFFFF);
    img.SetU16(R + 28, ch.TxNac & 0xFFFF);

    img.SetBit(S, 7, ch.ChFlagsB.PwrSave);
    img.SetBit(S, 4, ch.ChFlagsB.Tot);
    img.SetBit(S, 1, (ch.ChFlagsB.RfPo >> 1) & 1);
    img.SetBit(S, 0, ch.ChFlagsB.RfPo & 1);
    const int lockout = ch.Lockout;
    img.SetBit(S + 17, 2, (lockout >> 4) & 1);
    img.SetBit(S + 17, 1, (lockout >> 3) & 1);
    img.SetBit(S + 17, 0, (lockout >> 2) & 1);
    img.SetBit(S, 3, (lockout >> 1) & 1);
    img.SetBit(S, 2, lockout & 1);
    img.SetBit(S, 5, ch.ChFlagsC.ScanListSel);
    const int moni = ch.ChFlagsC.Moni;
    img.SetBit(S + 2, 5, (moni >> 3) & 1);
    img.SetBit(S + 2, 4, (moni >> 2) & 1);
    img.SetBit(S + 1, 3, (moni >> 1) & 1);
    img.SetBit(S, 6, moni & 1);
    img.SetBits(S + 1, 4, 4, ch.ChFlagsC.Log);
    img.SetBit(S + 1, 0, ch.ChFlagsD.ChMute);
    img.SetBit(S + 1, 2, ch.SqlTight & 1);
    img.SetBit(S + 1, 1, ch.ScanInc & 1);
    if (pmr) {
        img.SetBit(S + 2, 0, (ch.ChFlagsC.AutoReset >> 1) & 1);
        img.SetBit(S + 2, 1, ch.ChFlagsC.AutoReset & 1);
    } else {
        img.SetBit(S + 2, 1, ch.ChFlagsC.AutoReset & 1);
    }
    img.SetBit(S + 2, 7, (ch.ChFlagsD.Sel >> 1) & 1);
    img.SetBit(S + 2, 6, ch.ChFlagsD.Sel & 1);
    img.SetBit(S + 2, 3, ch.ChFlagsD.Call);
    img.SetBit(S + 2, 2, ch.ChFlagsD.PTT);
    img.SetBit(S + 3, 4, ch.ChFlagsB.Compander);
    img.SetBit(S + 3, 0, ch.ChFlagsB.AutoChScan);
    img.SetBit(S + 3, 6, (ch.Scrm.ScrmOn >> 1) & 1);
    img.SetBit(S + 3, 5, ch.Scrm.ScrmOn & 1);
    if (pmr) {
        img.SetBit(S + 3, 3, ch.ChFlagsF.MskSig);
        img.SetBit(S + 3, 1, ch.ChFlagsF.MskSendStatus);
        img.SetBit(S + 3, 2, ch.ChFlagsF.MskRptNone);
    }
    img.SetU8(S + 4, ch.MdcSystem);
    img.SetU8(S + 5, int(ch.ScrmCode & 0xFF));
    img.SetBits(S + 6, 0, 4, ch.Form);
    img.SetBit(S + 6, 7, (ch.ChFlagsE.Pos >> 1) & 1);
    img.SetBit(S + 6, 6, ch.ChFlagsE.Pos & 1);
    img.SetU8(S + 7, int(ch.RptC & 0xFF));
    img.SetBit(S + 7, 7, ch.ChFlagsE.RptL);
    img.SetU8(S + 8, int(ch.StnC & 0xFF));
    img.SetBit(S + 8, 7, ch.ChFlagsE.StnL);
    if (!pmr) img.SetU8(S + 8, int(ch.TwoTone & 0xFF));
    img.SetU8(S + 9, int(ch.IdC & 0xFF));
    img.SetBit(S + 9, 7, ch.ChFlagsE.IdL);
    if (pmr) {
        img.SetU8(S + 10, int((ch.MskRxCNo | (ch.RxCNo >> 8)) & 0xFF));
        img.SetU8(S + 11, int(ch.RxCNo & 0xFF));
    } else {
        img.SetU16(S + 10, (ch.RxCNo << 6) & 0xFFFF);
    }
    img.SetU16(S + 12, ch.IndList & 0xFFFF);
    img.SetU16(S + 14, ch.UnitDec & 0xFFFF);
    img.SetBits(S + 17, 4, 2, ch.ChFlagsF.SqlType);
    img.SetBit(S + 17, 7, ch.ChFlagsF.FastMute);
    img.SetBit(S + 17, 3, ch.ChFlagsF.Strapped);
    img.SetBits(S + 18, 6, 2, ch.Scrm.ScrmType);
    img.SetBit(S + 18, 3, ch.ChFlagsB.Plan156);
    img.SetBit(S + 18, 4, ch.ListSel.ChExtra);
    if (!pmr) img.SetBit(S + 18, 5, ch.DtmfDec);
    img.SetU8(S + 19, int(ch.EncryptionNo & 0xFF));
    if (!pmr) img.SetU8(S + 20, ch.RxCNoDtmf);
    img.SetU16(S + 22, ch.TgList & 0xFFFF);

    img.SetU8(G, ch.GrpRxId);
    img.SetU8(G + 1, ch.GrpTxId);
    img.SetU8(G + 2, ch.GrpHomeRptCh);
    img.SetU8(G + 4, ch.GrpBlockIdStart);
    img.SetU8(G + 5, ch.GrpBlockIdEnd);
    img.SetBit(G + 3, 7, ch.GrpFlags.TxInh);
    img.SetBit(G + 3, 6, ch.GrpFlags.PhonePriv);
    img.SetBit(G + 3, 5, ch.GrpFlags.BlockIdEnable);

    img.SetU16(Z, ch.ZephTgList & 0xFFFF);
    img.SetU16(Z + 2, ch.ZephUnit & 0xFFFF);
    img.SetBit(Z + 4, 7, ch.ZephTxInh);
    img.SetU16(M, ch.MsTgList & 0xFFFF);
    img.SetU16(M + 2, ch.MsIndList & 0xFFFF);
    img.SetU8(M + 4, ch.ZephFleetDec);
    img.SetBit(M + 5, 7, ch.MsFlags.MsgTrunking);

    for (int j = 0; j < kScanLists; ++j)
        img.SetBit(kScanBits + 64 * j + n / 8, 7 - n % 8, (ch.ScanMask >> (16 - j)) & 1);

    if (ch.Attr.PrioA) img.SetU16(kPrioA, uint32_t(n));
    if (ch.Attr.PrioB) img.SetU16(kPrioB, uint32_t(n));
    if (ch.Attr.RefC) img.SetU16(kRefC, uint32_t(n));
    img.SetBit(kRefCFlag, 5, !ch.Attr.RefCOff);
    if (ch.Attr.RefD) img.SetU16(kRefD, uint32_t(n));
    img.SetBit(kRefDFlag, 0, !ch.Attr.RefDOff);
    if (b != WorkTables::Banks) {
        SetSmarTrunkBank(b, ch.Attr.SmarTrunkBank);
        SetLtrBank(b, ch.Attr.LtrBank);
    }
    return true;
}

} // namespace codec
