#include "model/Normalise.h"

#include "core/cmcEeprom.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/ImageBytes.h"
#include "model/ModelContext.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "model/datCh.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Item kinds.
constexpr int kKindDtmf = 5;
constexpr int kKindScan = 6;
constexpr int kKindTone = 7;
constexpr int kKindDecode = 8;
constexpr int kKindEncode = 9;
constexpr int kKindTwoTone = 11;
constexpr int kKindBank = 13;
constexpr int kKindNac = 20;
constexpr int kKindLtrRepeater = 22;
constexpr int kKindDtmfDecode = 23;
constexpr int kKindChannelGroup = 34;

constexpr int kChannels = WorkTables::Channels;
constexpr int kBanks = WorkTables::Banks;
constexpr int kScanLists = 17;
constexpr int kDtmfMemories = 8;
constexpr int kDtmfDecodes = 10;
constexpr int kToneEntries = 80;
constexpr int kNacEntries = 80;
constexpr int kChannelGroups = 16;
constexpr int kDecodeRecords = 11;
constexpr int kEncodeCodes = 32;

// Radio versions.
constexpr int kVersionZeph = 0x24;       // from here ZEPH banks may hold the power-on channel
constexpr int kVersionMultisite = 0x32;  // from here multisite banks may
constexpr int kVersionKeyFunction5 = 0x27;

// Channel records.
constexpr int kMain = 130944;    // R, 30 bytes per channel
constexpr int kSecond = 163346;  // S, 24 bytes per channel
constexpr int kMainSize = 30;
constexpr int kSecondSize = 24;
constexpr int kLtrGroupData = 231602;  // 6 bytes per channel
constexpr int kZephData = 243076;      // 5 bytes per channel
constexpr int kMultisiteData = 304544; // 6 bytes per channel
constexpr int kScanBits = 146320;      // 17 arrays of 64 bytes
constexpr int kPriorityChannels = 146304;  // two 16-bit channel numbers
constexpr int kPriorityChannelB = 146306;

// The power-on block (table 6) and the bank start positions (table 62).
constexpr int kPowerOnChannel = 147898;
constexpr int kPowerOnScanList = 147901;
constexpr int kPowerOnDtmf = 147902;
constexpr int kPowerOnGroup = 147907;  // high nibble
constexpr int kPowerOnFlags = 147904;
constexpr int kStartPositions = 147912;

// Key tables: three of 16 functions.
constexpr int kKeyTables[] = {175718, 302478, 302494};
constexpr int kKeyPositions = 16;
constexpr int kKeySummary = 175684;

// Bank records.
constexpr int kLtrBankRecords = 204978;   // 8 bytes per bank
constexpr int kZephBankRecords = 245636;  // 10 bytes per bank
constexpr int kLtrRepeaters = 206002;     // 10 bytes per repeater

// The ATB ring-back timer and its set bit.
constexpr int kZephOptions = 243067;
constexpr int kRingBackSetBit = 7;
constexpr int kAtbRingBackTimer = 303616;

// The sorted ID indexes: table, list kind, items, stride, 32-bit IDs, fleet byte.
struct SortedIndex {
    int table;
    int kind;
    int items;
    int stride;
    bool wide;
    int fleet;  // -1: none
    int counter;
};
constexpr SortedIndex kSortedIndexes[] = {
    {198418, 18, 182852, 16, true, -1, EepromMap::CountIndKind18},
    {200398, 19, 190854, 14, false, -1, EepromMap::CountTgKind19},
    {300316, 28, 285316, 16, true, -1, EepromMap::CountIndKind28},
    {301316, 29, 293316, 14, false, -1, EepromMap::CountTgKind29},
    {323616, 32, 307616, 17, true, 16, EepromMap::CountIndKind32},
    {324616, 33, 316116, 15, false, 14, EepromMap::CountTgKind33},
};
constexpr int kSortedIndexBytes = 1000;
constexpr int kIdListMax = 500;

// Functions of the key tables.
constexpr int kFnExternalEmergency = 0x5E;
constexpr int kFnEmergency = 0x55;
constexpr int kFnOldEmergency[] = {0x1B, 0x1C, 0x25, 0x26};
constexpr int kFnOldF = 0x46;
constexpr int kFnNewF = 0x53;
constexpr int kFnReference = 0x20;
constexpr int kFnCustomer = 0x69;
constexpr int kFnKeyC = 0x63;
constexpr int kFnKeyBank = 100;  // on a P key of the first table: held in all three
constexpr int kFirstPKey = 2;     // P0 to P4 are positions 2 to 6
constexpr int kPKeys = 5;
constexpr int kFnPriority[] = {7, 8, 9, 0x44};

constexpr int kDataVersion = 181182;
constexpr int kCurrentDataVersion = 3;

constexpr int kPlanFirst = 156025000;
constexpr int kPlanLast = 157425000;
constexpr int kPlanStep = 25000;
constexpr int kZephUnitLimit = 2000;

// ---------------------------------------------------------------------------
// Reading and taking over bytes and bits.

const cmcEeprom& InitialImage()
{
    const cmcEeprom* initial = CurrentModelContext().InitialImage;
    if (initial && initial->Size() >= EepromMap::ImageSize) return *initial;
    static const cmcEeprom empty = [] {
        cmcEeprom e;
        e.Resize(EepromMap::ImageSize);
        return e;
    }();
    return empty;
}

cmcEeprom& CurrentOr(cmcEeprom& image)
{
    cmcEeprom* current = CurrentModelContext().CurrentImage;
    return current ? *current : image;
}

int RecordKind()
{
    const auto& kind = CurrentModelContext().MchRecordKind;
    return kind ? kind() : 1;
}

bool IsLmr() { return RecordKind() == 1; }

bool Option(const std::function<bool()>& option, bool fixed) { return option ? option() : fixed; }

int RadioVersion() { return IdentityPayloadByte(IdentityPayload::Version); }

uint32_t SerialNumber()
{
    const auto& serial = CurrentModelContext().SerialNumber;
    return serial ? serial() : 0;
}

int UnitIdMax()
{
    const auto& max = CurrentModelContext().UnitIdMax;
    if (max) return max();
    // The overlay's text read as a decimal number (its leading digits).
    return std::atoi(g_GTex.GetText("GI_AppUnitIdMax", 0).c_str());
}

// The named bits (mask) of a byte from the initial image.
void TakeBits(ImageBytes& img, const ImageBytes& initial, int at, int mask)
{
    img.SetU8(at, (img.U8(at) & ~mask) | (initial.U8(at) & mask));
}

void TakeBytes(ImageBytes& img, const ImageBytes& initial, int at, int length)
{
    for (int k = 0; k < length; ++k) img.SetU8(at + k, initial.U8(at + k));
}

void TakeBytes(cmcEeprom& image, int at, int length)
{
    ImageBytes img(&image);
    TakeBytes(img, ImageBytes(InitialImage()), at, length);
}

bool IsAllBlank(const ImageBytes& img, int at, int n)
{
    for (int k = 0; k < n; ++k)
        if (img.U8(at + k) != ' ') return false;
    return true;
}

// Bytes outside 32..126 become blanks.
void BlankNonPrintable(ImageBytes& img, int at, int n)
{
    for (int k = 0; k < n; ++k) {
        const int c = img.U8(at + k);
        if (c < 32 || c > 126) img.SetU8(at + k, ' ');
    }
}

// 156.025 to 157.425 MHz on the 25 kHz grid.
bool IsPlan156Frequency(int f) { return f >= kPlanFirst && f <= kPlanLast && (f - kPlanFirst) % kPlanStep == 0; }

bool IsKeyFunctionAssigned(const ImageBytes& img, int function)
{
    for (int table : kKeyTables)
        for (int k = 0; k < kKeyPositions; ++k)
            if (img.U8(table + k) == function) return true;
    return false;
}

void ReplaceKeyFunction(ImageBytes& img, int table, int from, int to)
{
    for (int k = 0; k < kKeyPositions; ++k)
        if (img.U8(table + k) == from) img.SetU8(table + k, to);
}

// A unit ID made of the radio's serial number: its last `digits` decimal
// places plus k times 10^digits, with k the base, one more when those places
// are all 0.
uint32_t SerialUnitId(uint32_t serial, int modulus, int base)
{
    const uint32_t low = serial % uint32_t(modulus);
    const uint32_t k = uint32_t(base) + (low == 0 ? 1 : 0);
    return (low + k * uint32_t(modulus)) & 0xFFFF;
}

// The bank of channel n (the current image's bank counts); 128 for none.
int BankOf(int n) { return datCh::BankOfChannel(n); }

bool InZephOrMultisite(int b) { return IsZephBank(b) || IsMultisiteBank(b); }

// ---------------------------------------------------------------------------
// Steps.

// Steps 3 and 4: the first active channel (not in a skipped bank) becomes the
// power-on channel, unless a later one has its Inh bit clear. Whether any was
// considered.
template <typename Skip>
bool ScanPowerOnChannel(cmcEeprom& image, Skip skip)
{
    ImageBytes img(&image);
    datCh ch(&image);
    const int kind = RecordKind();
    bool considered = false;
    for (int n = 0; n < kChannels; ++n) {
        ch.Unpack(kind, n);
        if (!ch.State.Active || skip(BankOf(n))) continue;
        if (!considered) img.SetU16(kPowerOnChannel, uint32_t(n));
        considered = true;
        if (!ch.ChFlagsA.Inh) {
            img.SetU16(kPowerOnChannel, uint32_t(n));
            break;
        }
    }
    return considered;
}

// Step 5: whether a channel group qualifies for the power-on group.
bool GroupQualifies(cmcEeprom& image, int type, uint32_t number)
{
    datCh rec(&image);
    switch (type) {
    case 1:  // a channel
        if (number >= uint32_t(kChannels)) return false;
        rec.Unpack(RecordKind(), int(number));
        return rec.State.Active || !rec.ChFlagsA.Inh;
    case 2:  // a scan list that scans
        if (number >= uint32_t(kScanLists)) return false;
        return rec.Unpack(kKindScan, int(number)).ScanMode != 0;
    case 3:  // a vote-zone or SmarTrunk bank with an active channel
        return number < uint32_t(kBanks) && BankActiveChannelCount(int(number)) > 0;
    default: return false;
    }
}

void PowerOnGroup(cmcEeprom& image, const ImageBytes& initial)
{
    ImageBytes img(&image);
    TakeBits(img, initial, kPowerOnGroup, 0xF0);
    datCh group(&image);
    for (int u = 0; u < kChannelGroups; ++u) {
        group.Unpack(kKindChannelGroup, u);
        if (!GroupQualifies(image, group.ChGrpType, group.ChGrpNumber)) continue;
        img.SetBits(kPowerOnGroup, 4, 4, uint32_t(u));
        return;
    }
}

void PowerOnListsAndFlags(cmcEeprom& image, const ImageBytes& initial)
{
    ImageBytes img(&image);
    TakeBytes(img, initial, 147900, 1);
    TakeBytes(img, initial, 147903, 1);
    TakeBytes(img, initial, kPowerOnScanList, 1);
    datCh rec(&image);
    for (int j = 0; j < kScanLists; ++j)
        if (rec.Unpack(kKindScan, j).ScanMode != 0) {
            img.SetU8(kPowerOnScanList, j);
            break;
        }
    TakeBytes(img, initial, kPowerOnDtmf, 1);
    for (int j = 0; j < kDtmfMemories; ++j)
        if (rec.Unpack(kKindDtmf, j).DigitCount != 0) {
            img.SetU8(kPowerOnDtmf, j);
            break;
        }

    // Step 7.
    TakeBits(img, initial, kPowerOnFlags, 0xEF);
    TakeBits(img, initial, 147905, 0xF7);
    TakeBits(img, initial, 147906, 0x80);
    TakeBytes(img, initial, 147897, 1);
    TakeBits(img, initial, kPowerOnGroup, 0x0D);
    TakeBytes(img, initial, 147908, 4);
    const int bank = BankOf(img.U16(kPowerOnChannel));
    if (bank > 15) img.SetBits(kPowerOnFlags, 0, 4, 1);
}

// The LTR repeater item that home repeater number `home` (from 1) of bank b
// names; -1 for 0 and for numbers past the bank's group, which would name a
// repeater of another group.
int HomeRepeaterItem(int b, int home)
{
    if (home < 1 || home > GroupItemCount(b, kKindLtrRepeater)) return -1;
    return GroupFirstItem(b, kKindLtrRepeater) + home - 1;
}

// Step 8: bank start positions, and the values that channels and their banks
// share. One record serves the channel and, once decoded into it, its bank
// and home repeater; the later commits of the channel's turn then see that
// record. The start position is the one exception: it always follows the
// channel's own Inh bit, so that a file read in has the start positions that
// writing it out gives (otherwise the first pack, such as the Banks page
// makes, would change a document nobody edited).
void BankStartPositions(cmcEeprom& image, int mode)
{
    ImageBytes img(&image);
    img.Zero(kStartPositions, 2 * kBanks);
    const int kind = RecordKind();
    datCh rec(&image);
    for (int b = 0; b < kBanks; ++b) {
        const int first = BankFirstChannel(b);
        const int count = BankChannelCount(b);
        const bool zeph = IsZephBank(b), ms = IsMultisiteBank(b), ltr = IsLtrBank(b);
        bool firstActiveSeen = false, firstClearSeen = false;
        for (int p = 0; p < count && first + p < kChannels; ++p) {
            const int n = first + p;
            const int64_t S = kSecond + int64_t(kSecondSize) * n;
            const int64_t R = kMain + int64_t(kMainSize) * n;
            rec.Unpack(kind, n);
            const bool inhibited = rec.ChFlagsA.Inh;
            // 1. The extra-channel flag belongs to bank 127 only.
            if (rec.ListSel.ChExtra && b != kBanks - 1) {
                rec.ListSel.ChExtra = 0;
                rec.Commit();
            }
            const bool active = rec.State.Active;
            // 2. An inactive channel keeps no receive data.
            if (!active) {
                rec.RxFreq = 0;
                rec.GrpRxId = 0;
                rec.ZephUnit = 0;
                rec.EDivertTarget = 0;
                rec.Commit();
            }
            // 3. The first active channel.
            if (active && !firstActiveSeen) {
                img.SetU16(kStartPositions + 2 * b, uint32_t(p));
                firstActiveSeen = true;
                if (mode == kAfterLoad) {
                    const bool pwrSave = img.Bit(S, 7);
                    const int homeRepeater = rec.GrpHomeRptCh;
                    // Every other bank (conventional banks too, and trunked
                    // banks whose channel is flagged as an LTR bank's) takes
                    // the LTR values of its first active channel, as the
                    // trunked banks do: the channel's record then holds the
                    // bank, so that step 6 commits the bank.
                    if ((zeph || ms) && !rec.Attr.LtrBank) {
                        rec.Unpack(kKindBank, b);
                        rec.ZephBankFlags2.PwrSave = pwrSave;
                        rec.Commit();
                    } else if (ltr && homeRepeater == 0) {
                        firstActiveSeen = false;  // the next active channel is the first again
                    } else {
                        rec.Unpack(kKindBank, b);
                        rec.LtrBankFlags.L6 = pwrSave;
                        rec.LtrHomeRpt = uint8_t(homeRepeater);
                        rec.Commit();
                        // A home repeater number past the bank's group names
                        // no repeater of its own: nothing is written.
                        if (const int item = HomeRepeaterItem(b, homeRepeater); item >= 0) {
                            const int nar = img.Bit(R + 12, 6);
                            const int power = img.Bits(S, 0, 2);
                            rec.Unpack(kKindLtrRepeater, item);
                            rec.RptFlags.Nar = nar;
                            rec.RptRfPo = power;
                            rec.Commit();
                        }
                    }
                }
            }
            // 4. The first active channel whose Inh bit is clear.
            if (active && !firstClearSeen && !inhibited) {
                img.SetU16(kStartPositions + 2 * b, uint32_t(p));
                firstClearSeen = true;
            }
            // 5. Bank values back into the channel.
            if (mode == kBeforeOutput && (zeph || ms || ltr)) {
                const int64_t H = kLtrBankRecords + 8 * b;
                const int64_t Z = kZephBankRecords + 10 * b;
                if (!ltr) {
                    img.SetBit(S, 7, img.Bit(Z + 8, 1));
                    rec.Unpack(kKindBank, b);
                } else {
                    img.SetBit(S, 7, img.Bit(H, 1));
                    const int home = img.U8(H + 7);
                    img.SetU8(kLtrGroupData + 6 * n + 2, home);
                    rec.Unpack(kKindBank, b);
                    // Only a repeater of the bank's own group gives the
                    // channel its narrow and power bits.
                    if (const int item = HomeRepeaterItem(b, home); item >= 0) {
                        const int64_t rpt = kLtrRepeaters + 10 * int64_t(item);
                        img.SetBit(R + 12, 6, img.Bit(rpt + 8, 5));
                        img.SetBits(S, 0, 2, uint32_t(img.Bit(rpt + 8, 4) * 2 + img.Bit(rpt + 8, 3)));
                        rec.Unpack(kKindLtrRepeater, item);
                    }
                }
            }
            // 6. Without emergency divert there is no divert target.
            if (rec.ChFlagsA.EDivert != 2) {
                rec.EDivertTarget = 0;
                rec.Commit();
            }
        }
    }
}

void TimersAndSettings(cmcEeprom& image, int mode, const ImageBytes& initial)
{
    ImageBytes img(&image);
    // Step 9.
    if (mode == kBeforeOutput) {
        if (img.U8(302530) < 5) TakeBytes(img, initial, 302530, 1);
        if (img.U8(302531) < 10) TakeBytes(img, initial, 302531, 1);
    }
    if (img.U16(302534) == 0) TakeBytes(img, initial, 302534, 2);
    if ((img.U8(302538) & 0xF0) == 0) {
        TakeBits(img, initial, 302538, 0xF0);
        TakeBits(img, initial, 302539, 0xF0);
    }
    // Step 10: table 84.
    TakeBytes(img, initial, 148168, 4);
    TakeBytes(img, initial, 148173, 1);
    TakeBits(img, initial, 148172, 0xEF);
    if (img.U8(181276) == 0) {
        TakeBytes(img, initial, 148168, 6);
        TakeBytes(img, initial, 181276, 28);
    }
}

bool KeysAndFlags(cmcEeprom& image, bool forRadio, const ImageBytes& initial)
{
    ImageBytes img(&image);
    const bool lmr = IsLmr();
    // Step 11.
    TakeBits(img, initial, 175640, 0x04);
    TakeBits(img, initial, 175679, 0x20);
    TakeBytes(img, initial, 176068, 2);
    if (lmr) TakeBits(img, initial, 175679, 0x03);
    TakeBits(img, initial, 175680, 0x04);
    if (lmr) TakeBits(img, initial, 175680, 0x02);
    img.SetBit(175680, 0, IsKeyFunctionAssigned(img, kFnReference));
    const bool customer = IsKeyFunctionAssigned(img, kFnCustomer);
    if (lmr) TakeBits(img, initial, 175681, 0x40);
    TakeBits(img, initial, 175681, 0x01);

    // Step 12.
    if (forRadio) {
        for (int table : {kKeyTables[1], kKeyTables[2]})
            for (int k : {0, 1, 7, 8, 9, 10, 11, 12}) img.SetU8(table + k, img.U8(kKeyTables[0] + k));
        if (RadioVersion() < kVersionKeyFunction5 && img.Bit(175771, 5))
            for (int table : kKeyTables) ReplaceKeyFunction(img, table, 4, 5);
    }

    // A P key of the first table that carries the key-bank function carries
    // it in the second and third tables as well, whichever pages were opened.
    for (int k = kFirstPKey; k < kFirstPKey + kPKeys; ++k)
        if (img.U8(kKeyTables[0] + k) == kFnKeyBank)
            for (int table : {kKeyTables[1], kKeyTables[2]}) img.SetU8(table + k, kFnKeyBank);

    // Step 13: the key summary bits.
    int summary = img.U8(kKeySummary) & ~0x0E;
    for (int table : kKeyTables)
        for (int k = 0; k < kKeyPositions; ++k) {
            switch (img.U8(table + k)) {
            case 0x30:
            case 0x33:
            case 0x69: summary |= 0x02; break;
            case 0x61:
            case 0x62: summary |= 0x22; break;
            case 0x31:
            case 0x34: summary |= 0x04; break;
            case 0x32:
            case 0x35: summary |= 0x08; break;
            default: break;
            }
        }
    if (!(summary & 0x02)) summary &= ~0x20;
    if (!(summary & 0x04)) summary &= ~0x40;
    if (!(summary & 0x08)) summary &= ~0x80;
    img.SetU8(kKeySummary, summary);

    // Step 14.
    if (lmr) TakeBits(img, initial, 175682, 0xC0);
    img.SetBit(175682, 5, !IsAllBlank(img, 181190, 24));
    img.SetBit(175758, 5, !IsAllBlank(img, 181214, 24));
    if (lmr) {
        TakeBits(img, initial, 175683, 0x80);
        TakeBytes(img, initial, 175694, 1);
        TakeBytes(img, initial, 175712, 1);
    } else {
        TakeBytes(img, initial, 175698, 1);
    }

    // Step 15: companion key functions.
    auto companion = [](int f) {
        switch (f) {
        case 0x1E: return 0x1F;
        case 0x01: return 0x02;
        case 0x40: return 0x41;
        case 0x48: return 0x49;
        default: return 0;
        }
    };
    img.SetU8(175729, companion(img.U8(175728)));
    img.SetU8(175745, companion(img.U8(175744)));
    return customer;
}

// Step 17: the select bits of the free tone and NAC entries.
void FreeListEntries(cmcEeprom& image)
{
    datCh rec(&image);
    for (int i = ReadCToneListCount(image); i < kToneEntries; ++i) {
        rec.Unpack(kKindTone, i);
        rec.ListSel.CToneSel = 1;
        rec.Commit();
    }
    for (int i = ReadNacChListCount(image); i < kNacEntries; ++i) {
        rec.Unpack(kKindNac, i);
        rec.NacSel = 1;
        rec.Commit();
    }
}

// Decodes an item, puts the initial image's bytes under it and encodes it
// again: the bits that the codec does not carry return to their defaults.
void ReencodeOverDefaults(cmcEeprom& image, int kind, int index, int at, int length)
{
    datCh rec(&image);
    rec.Unpack(kind, index);
    TakeBytes(image, at, length);
    rec.Commit();
}

void ListRecords(cmcEeprom& image)
{
    for (int i = 0; i < kToneEntries; ++i) ReencodeOverDefaults(image, kKindTone, i, 179144 + 4 * i, 4);
    for (int i = 0; i < kScanLists; ++i) ReencodeOverDefaults(image, kKindScan, i, 179464 + 34 * i + 24, 10);
    for (int i = 0; i < kDtmfMemories; ++i) ReencodeOverDefaults(image, kKindDtmf, i, 180042 + 37 * i, 37);
    for (int i = 0; i < kDtmfDecodes; ++i) ReencodeOverDefaults(image, kKindDtmfDecode, i, 234674 + 46 * i, 46);
}

// Step 20: every channel over the initial image's templates.
void Channels(cmcEeprom& image, bool forRadio, const ImageBytes& initial)
{
    ImageBytes img(&image);
    ImageBytes current(&CurrentOr(image));
    const int kind = RecordKind();
    const bool lmr = kind == 1;
    const uint32_t serial = SerialNumber();
    datCh rec(&image);
    for (int n = 0; n < kChannels; ++n) {
        const int64_t R = kMain + int64_t(kMainSize) * n;
        const int64_t S = kSecond + int64_t(kSecondSize) * n;
        const int b = BankOf(n);
        const bool ltr = IsLtrBank(b);
        const bool zephOrMs = InZephOrMultisite(b);
        const int oldS16 = img.U8(S + 16);
        rec.Unpack(kind, n);
        TakeBytes(img, initial, int(R), kMainSize);
        TakeBytes(img, initial, int(S), kSecondSize);
        if (rec.State.InUse) {
            if (forRadio && RadioVersion() < kVersionZeph) rec.ZephUnit = 0;
            if (zephOrMs) {
                rec.ChFlagsF.DigSig = 3;
                rec.RxFreq = rec.TxFreq = 0;
                rec.GrpRxId = rec.GrpTxId = 0;
            }
        }
        // Every channel, in use or not, so that its decoded fields survive.
        rec.Commit();

        // 1.
        TakeBits(img, initial, int(R + 12), 0x80);
        TakeBits(img, initial, int(S + 18), 0x08);
        if (IsPlan156Frequency(rec.TxFreq)) img.SetBit(S + 18, 3, true);
        // 2.
        if (lmr) {
            TakeBits(img, initial, int(S), 0x40);
            TakeBits(img, initial, int(S + 1), 0x08);
            TakeBits(img, initial, int(S + 2), 0xF1);
            TakeBits(img, initial, int(S + 6), 0xCF);
            TakeBytes(img, initial, int(S + 7), 1);
            TakeBytes(img, initial, int(S + 9), 1);
            if (!ltr) {
                TakeBytes(img, initial, int(S + 20), 1);
                TakeBits(img, initial, int(S + 18), 0x20);
            }
            const bool d = (ltr && rec.DtmfDec) ? rec.RxCNoDtmf != 0 : rec.RxCNo != 0;
            if (ltr) img.SetBit(S + 1, 0, d);
            img.SetBit(S + 2, 3, d);
            img.SetBit(S + 2, 2, d);
            if (ltr) {
                img.SetBits(R + 12, 0, 2, 0);
                TakeBytes(img, initial, int(S + 12), 2);
                TakeBits(img, initial, int(S + 1), 0x04);
                img.SetBit(S + 2, 6, true);
            }
        }
        // 3.
        if (lmr) {
            img.SetBit(S + 3, 3, false);
        } else {
            img.SetBit(S + 10, 7, true);
            if (!img.Bit(S + 3, 3)) {
                if (img.U8(S + 4) != 0) img.SetU8(S + 10, 0);
                img.SetBit(S + 3, 2, false);
            } else {
                img.SetU8(S + 4, 0);
                TakeBytes(img, initial, int(S + 9), 1);
                TakeBits(img, initial, int(S + 6), 0xC0);
            }
        }
        // 4. Scrambler codes of types 1 and 2.
        const int scrambler = img.Bits(S + 18, 6, 2);
        if (scrambler == 1) img.SetU8(S + 5, 1);
        if (scrambler == 2) img.SetU8(S + 5, std::min(img.U8(S + 5), 15));
        // 5.
        if (oldS16 != 0) {
            img.SetU8(S + 22, 0);
            img.SetU8(S + 23, oldS16);
        }
        // 6. to 9.: into both the image and the current working image.
        auto both16 = [&](int64_t at, uint32_t value) {
            img.SetU16(at, value);
            current.SetU16(at, value);
        };
        if (img.Bit(197889, 0)) both16(S + 22, uint32_t(img.U16(302526)));
        if (img.Bit(197890, 7)) {
            if (!img.Bit(197890, 5))
                both16(S + 14, uint32_t(img.U16(197862)));
            else if (serial != 0)
                both16(S + 14, SerialUnitId(serial, 10000, img.U16(197860)));
        }
        const int64_t Z = kZephData + 5 * int64_t(n);
        const bool ms = IsMultisiteBank(b);
        if (img.Bit(243067, 6) && img.U16(Z + 2) != 0 && !ms) {
            if (!img.Bit(243067, 5))
                both16(Z + 2, uint32_t(img.U16(243074)));
            else if (serial != 0)
                both16(Z + 2, SerialUnitId(serial, 1000, img.U16(243072)));
        }
        if (img.Bit(303639, 5) && img.U16(Z + 2) != 0 && ms) {
            const int64_t M = kMultisiteData + 6 * int64_t(n);
            img.SetU8(M + 4, img.U8(303648));
            current.SetU8(M + 4, img.U8(303648));
            if (!img.Bit(303639, 4))
                both16(Z + 2, uint32_t(img.U16(303646)));
            else if (serial != 0)
                both16(Z + 2, SerialUnitId(serial, 1000, img.U16(303644)));
        }
    }
}

// Step 21: the three AAR records.
void AarRecords(cmcEeprom& image)
{
    ImageBytes img(&image);
    ImageBytes current(&CurrentOr(image));
    const uint32_t serial = SerialNumber();
    for (int i = 0; i < 3; ++i) {
        const int T = 302316 + 54 * i;
        if (img.Bit(197889, 0)) {
            img.SetU16(T + 52, uint32_t(img.U16(302526)));
            current.SetU16(T + 52, uint32_t(img.U16(302526)));
        }
        if (img.Bit(197890, 7)) {
            uint32_t unit = 0;
            bool set = true;
            if (!img.Bit(197890, 5))
                unit = uint32_t(img.U16(197862));
            else if (serial != 0)
                unit = SerialUnitId(serial, 10000, img.U16(197860));
            else
                set = false;
            if (set) {
                img.SetU16(T + 44, unit);
                current.SetU16(T + 44, unit);
            }
        }
    }
}

// Steps 22 and 23: decode and encode records.
void CodeRecords(cmcEeprom& image, int mode, const ImageBytes& initial)
{
    ImageBytes img(&image);
    const bool lmr = IsLmr();
    for (int i = 0; i < kDecodeRecords; ++i) {
        const int D = 180786 + 36 * i;
        ReencodeOverDefaults(image, lmr ? kKindTwoTone : kKindDecode, i, D, 36);
        TakeBits(img, initial, D + 30, 0x08);
        if (lmr) {
            TakeBytes(img, initial, D + 28, 1);
            TakeBits(img, initial, D + 30, 0xC0);
            TakeBits(img, initial, D + 31, 0x40);
            TakeBits(img, initial, D + 32, 0x80);
        }
    }
    if (lmr) {
        for (int i = 0; i < kEncodeCodes; ++i) TakeBits(img, initial, 180338 + 14 * i + 13, 0x10);
        return;
    }
    for (int i = 0; i < kEncodeCodes; ++i) {
        datCh rec(&image);
        rec.Unpack(kKindEncode, i);
        TakeBytes(img, initial, 147408 + 4 * i, 4);
        TakeBytes(img, initial, 180338 + 14 * i, 14);
        rec.Commit();
    }
    for (int i = 0; i < 8; ++i) {
        const int M = 181308 + 34 * i;
        TakeBytes(img, initial, M + 26, 2);
        TakeBits(img, initial, M + 28, 0xF8);
        TakeBits(img, initial, M + 29, 0xF8);
        TakeBits(img, initial, M + 30, 0x80);
    }
    for (int i = 0; i < 32; ++i) TakeBits(img, initial, 181588 + 14 * i + 13, 0xC0);
    for (int i = 0; i < 24; ++i) TakeBits(img, initial, 182452 + 16 * i + 12, 0x40);
    ImageBytes current(&CurrentOr(image));
    if (mode == kAfterLoad)
        current.SetU8(175784, current.U8(182060));
    else
        current.SetU8(182060, current.U8(175784));
}

void ZeroValues(cmcEeprom& image, const ImageBytes& initial)
{
    ImageBytes img(&image);
    // Step 24.
    if (img.U8(204703) == 0) TakeBytes(img, initial, 204703, 1);
    for (int at : {197858, 197856})
        if (img.U16(at) == 0) TakeBytes(img, initial, at, 2);
    for (int k = 0; k < 63; ++k)
        if (img.U16(204704 + 2 * k) == 0) TakeBytes(img, initial, 204704 + 2 * k, 2);
    if (img.U8(197912) == 0) TakeBytes(img, initial, 197912, 1);
    const int max = UnitIdMax();
    for (int at : {197864, 197868})
        if (img.U16(at) == 0 || img.U16(at) > max) TakeBytes(img, initial, at, 2);
    for (int at : {197866, 197870})
        if (img.U16(at) == 0 || img.U16(at) > kZephUnitLimit) TakeBytes(img, initial, at, 2);

    // Step 25.
    ImageBytes current(&CurrentOr(image));
    current.SetU8(303615, current.U8(197915));
    if (!current.Bit(303614, 6)) {
        if (!current.Bit(kZephOptions, kRingBackSetBit))
            TakeBytes(img, initial, kAtbRingBackTimer, 1);
        else
            current.SetU8(kAtbRingBackTimer, 5);
        TakeBits(img, initial, 303614, 0x40);
    }
    // The ATB ring-back timer's set bit is derived: on while the timer is not 0.
    img.SetBit(kZephOptions, kRingBackSetBit, img.U8(kAtbRingBackTimer) != 0);

    // Step 26: multisite.
    TakeBytes(img, initial, 148234, 8);
    if (!img.Bit(303639, 7) || img.U8(WorkTables::MultisiteSiteCount) <= img.U8(303631)) {
        img.SetBit(303639, 7, false);
        img.SetU8(303631, 0);
    }
    if (img.Bit(303639, 7)) img.SetU8(148238, img.U8(303631));

    // Step 27.
    for (int at = 204830; at <= 204840; ++at)
        if (at != 204837 && img.U8(at) == 0) TakeBytes(img, initial, at, 1);
    img.SetBits(197872, 2, 2, uint32_t(img.Bits(197872, 0, 2)));
}

// Step 28: the sorted ID indexes.
void SortedIndexes(cmcEeprom& image, const ImageBytes& initial)
{
    ImageBytes img(&image);
    for (const SortedIndex& s : kSortedIndexes) {
        TakeBytes(img, initial, s.table, kSortedIndexBytes);
        const int n = std::min(img.U16(s.counter), kIdListMax);
        std::vector<int> order(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) order[size_t(i)] = i;
        auto key = [&](int i) {
            const int64_t at = s.items + int64_t(s.stride) * i;
            const uint64_t id = s.wide ? img.U32(at) : uint32_t(img.U16(at));
            const int fleet = s.fleet >= 0 ? img.U8(at + s.fleet) : 0;
            return (id << 8) | uint64_t(fleet);
        };
        // Stable, as the neighbour swaps of a bubble sort are.
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
        for (int i = 0; i < n; ++i) img.SetU16(s.table + 2 * i, uint32_t(order[size_t(i)]));
    }
}

// Step 30: two-tone decode windows, 2 % either side, meeting in the middle
// when they overlap.
void TwoToneWindows(cmcEeprom& image)
{
    datCh rec(&image);
    auto round = [](double v) { return uint32_t(std::trunc(v + 0.5)); };
    for (int i = 0; i < kDecodeRecords; ++i) {
        rec.Unpack(kKindTwoTone, i);
        const double f1 = rec.TxFreq1, f2 = rec.TxFreq2;
        rec.Freq1High = round(1.02 * f1);
        rec.Freq1Low = round(0.98 * f1);
        rec.Freq2High = round(1.02 * f2);
        rec.Freq2Low = round(0.98 * f2);
        const uint32_t middle = round((f1 + f2) * 0.5);
        if (f1 < f2 && rec.Freq2Low < rec.Freq1High) rec.Freq1High = rec.Freq2Low = middle;
        if (f1 >= f2 && rec.Freq1Low < rec.Freq2High) rec.Freq1Low = rec.Freq2High = middle;
        rec.PackCurrent();
    }
}

void RemoveChannelsFromScanLists(cmcEeprom& image, bool (*inBank)(int))
{
    ImageBytes img(&image);
    auto excluded = [&](uint32_t channel) { return inBank(BankOfChannelNumber(int(channel) + 1)); };
    for (int n = 0; n < kChannels; ++n) {
        if (!excluded(uint32_t(n))) continue;
        for (int j = 0; j < kScanLists; ++j) img.SetBit(kScanBits + 64 * j + n / 8, 7 - n % 8, false);
    }
    const uint32_t prioA = uint32_t(img.U16(kPriorityChannels));
    const uint32_t prioB = uint32_t(img.U16(kPriorityChannelB));
    datCh scan(&image);
    for (int j = 0; j < kScanLists; ++j) {
        scan.Unpack(kKindScan, j);
        const int m1 = scan.ScanPrioModes.Prio1Mode, m2 = scan.ScanPrioModes.Prio2Mode;
        bool changed = false;
        if (scan.ScanMode == 2 &&
            ((m1 == 5 && excluded(scan.Prio1Ch)) || (m2 == 5 && excluded(scan.Prio2Ch)) ||
             ((m1 == 1 || m2 == 1) && excluded(prioA)) || ((m1 == 2 || m2 == 2) && excluded(prioB)))) {
            scan.ScanMode = 1;
            changed = true;
        }
        const int tx = scan.ScanTxFlags.TxChMode;
        if ((tx == 5 && excluded(scan.ScanTxCh)) || (tx == 1 && excluded(prioA)) || (tx == 2 && excluded(prioB))) {
            scan.ScanTxFlags.TxChMode = 0;
            changed = true;
        }
        if (changed) scan.Commit();
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Upgrade and fix-up routines.

void UpgradeVersion0Data(cmcEeprom& image)
{
    ImageBytes img(&image);
    if (img.U8(kDataVersion) != 0) return;
    const ImageBytes initial(InitialImage());
    TakeBytes(img, initial, 147536, 32 * 4);
    TakeBytes(img, initial, 147664, 8 * 12);
    TakeBytes(img, initial, 181308, 8 * 34);
    TakeBytes(img, initial, 181588, 32 * 14);
    TakeBytes(img, initial, 182068, 24 * 16);
    TakeBytes(img, initial, 182452, 24 * 16);
    TakeBytes(img, initial, 182836, 8 * 2);
    TakeBytes(img, initial, 181580, 8);
    TakeBytes(img, initial, 182036, 16);
    TakeBytes(img, initial, 182052, 16);
    TakeBits(img, initial, 175758, 0x01);
    img.SetU8(181269, img.U8(147885));
    img.SetU8(181270, img.U8(147880));
    img.SetU8(181268, img.U8(147882));
    img.SetU8(181251, img.U8(175705));
    UpgradeEmergencyKeys(image);
    img.SetBits(175782, 3, 2, 0);
    img.SetU8(175730, kFnExternalEmergency);
    img.SetU8(175746, kFnExternalEmergency);
    UpgradeKeyFunctionF(image);
}

void UpgradeEmergencyKeys(cmcEeprom& image)
{
    int silent = 0, repeat = 0;
    ConvertOldEmergencyKeys(image, silent, repeat);
    ImageBytes img(&image);
    if (silent > 0) img.SetBit(175680, 7, true);
    if (repeat > 0) img.SetU8(181271, 1);
}

void ConvertOldEmergencyKeys(cmcEeprom& image, int& silentVote, int& repeatVote)
{
    // {function, silent vote, repeat vote}, tested in this order.
    constexpr int votes[4][3] = {{0x1B, -1, +1}, {0x1C, -1, -1}, {0x25, +1, +1}, {0x26, +1, -1}};
    ImageBytes img(&image);
    silentVote = repeatVote = 0;
    for (int k = 0; k < kKeyPositions; ++k) {
        for (const auto& v : votes) {
            const bool present = std::any_of(std::begin(kKeyTables), std::end(kKeyTables),
                                             [&](int table) { return img.U8(table + k) == v[0]; });
            if (!present) continue;
            silentVote += v[1];
            repeatVote += v[2];
            break;
        }
        for (int table : kKeyTables)
            for (int old : kFnOldEmergency)
                if (img.U8(table + k) == old) img.SetU8(table + k, kFnEmergency);
    }
}

void UpgradeKeyFunctionF(cmcEeprom& image)
{
    ImageBytes img(&image);
    ReplaceKeyFunction(img, kKeyTables[0], kFnOldF, kFnNewF);
}

void FixPio23Select(cmcEeprom& image)
{
    ImageBytes img(&image);
    if (img.Bits(175771, 6, 2) == 0) img.SetBits(175771, 6, 2, 1);
}

void RemovePriorityFunctions(cmcEeprom& image)
{
    if (!Option(CurrentModelContext().PriorityRemoval, true)) return;
    ImageBytes img(&image);
    TakeBytes(img, ImageBytes(InitialImage()), kPriorityChannels, 4);
    img.SetBit(175682, 6, false);
    datCh scan(&image);
    for (int j = 0; j < kScanLists; ++j) {
        scan.Unpack(kKindScan, j);
        auto& modes = scan.ScanPrioModes;
        if (modes.Prio1Mode == 1 || modes.Prio1Mode == 2) modes.Prio1Mode = 3;
        if (modes.Prio2Mode == 1 || modes.Prio2Mode == 2) modes.Prio2Mode = 0;
        if (scan.ScanTxFlags.TxChMode == 1 || scan.ScanTxFlags.TxChMode == 2) scan.ScanTxFlags.TxChMode = 0;
        scan.Commit();
    }
    img.SetBit(175681, 1, false);
    img.SetBit(175770, 4, false);
    img.SetBit(175682, 7, false);
    img.SetBit(175685, 6, false);
    for (int f : kFnPriority) ReplaceKeyFunction(img, kKeyTables[0], f, 0);
}

void InitEmergencyBacklightTimer(cmcEeprom& image)
{
    ImageBytes img(&image);
    if (img.Bit(181275, 3)) return;
    const ImageBytes initial(InitialImage());
    TakeBytes(img, initial, 181256, 1);
    TakeBits(img, initial, 181275, 0x08);
}

void InitDigitalLagTimer(cmcEeprom& image)
{
    ImageBytes img(&image);
    const ImageBytes initial(InitialImage());
    if (!img.Bit(204842, 5) && img.U8(204843) == 0) TakeBytes(img, initial, 204843, 1);
    TakeBits(img, initial, 204842, 0x20);
}

void UpgradeVersion2Data(cmcEeprom& image)
{
    ImageBytes img(&image);
    if (img.U8(kDataVersion) >= 3) return;
    const ImageBytes initial(InitialImage());
    if (img.Bit(197889, 0)) {
        img.SetU16(302526, uint32_t(img.U16(197864)));
        TakeBytes(img, initial, 197864, 2);
    }
    img.SetU8(302528, img.U8(175772));
    img.SetU8(175772, 0x20 | (img.U8(175772) & 0x01));
    TakeBits(img, initial, 302528, 0x63);
    TakeBytes(img, initial, 302521, 1);
}

void LimitRotarySelect(cmcEeprom& image)
{
    if (!Option(CurrentModelContext().RotaryLimit, true)) return;
    ImageBytes(&image).SetBit(175683, 3, false);
}

void FixAarChannelModes(cmcEeprom& image)
{
    ImageBytes img(&image);
    constexpr int records = 302316;
    // Byte 12 of each record: bit 6 and bits 1-0.
    constexpr int values[3] = {0x00, 0x40, 0x43};
    for (int i = 0; i < 3; ++i) {
        const int at = records + 54 * i + 12;
        img.SetU8(at, (img.U8(at) & ~0x43) | values[i]);
    }
}

void RemoveKeyFunctionC(cmcEeprom& image)
{
    if (!Option(CurrentModelContext().KeyCRemoval, false)) return;
    ImageBytes img(&image);
    for (int table : kKeyTables) ReplaceKeyFunction(img, table, kFnKeyC, 0);
}

void RemoveVoteZoneChannelsFromScanLists(cmcEeprom& image) { RemoveChannelsFromScanLists(image, IsVoteZoneBank); }

void RemoveMultisiteChannelsFromScanLists(cmcEeprom& image) { RemoveChannelsFromScanLists(image, IsMultisiteBank); }

void BeforeCloneWrite(cmcEeprom&) {}

// ---------------------------------------------------------------------------

OutputPreparation PrepareImageForOutput(cmcEeprom& image, int mode, bool forRadio)
{
    OutputPreparation out;
    if (image.Size() < EepromMap::ImageSize) return out;
    const ImageBytes initial(InitialImage());
    ImageBytes img(&image);

    // 1.
    if (mode == kAfterLoad) {
        Dynamic2Static(image);
        UpgradeVersion0Data(image);
        FixPio23Select(image);
        RemovePriorityFunctions(image);
        InitEmergencyBacklightTimer(image);
        InitDigitalLagTimer(image);
        UpgradeVersion2Data(image);
        LimitRotarySelect(image);
        FixAarChannelModes(image);
        RemoveKeyFunctionC(image);
    }
    // 2. The identity of the model.
    TakeBytes(img, initial, EepromMap::ModelMark, 4);
    TakeBytes(img, initial, 8, 3);
    TakeBytes(img, initial, EepromMap::MakerMarker, 12);
    TakeBytes(img, initial, 147894, 3);
    TakeBytes(img, initial, kPowerOnChannel, 2);
    // 3. and 4. The power-on channel.
    const int version = RadioVersion();
    out.HasNonZephChannel = ScanPowerOnChannel(
        image, [&](int b) { return forRadio && version < kVersionZeph && InZephOrMultisite(b); });
    TakeBytes(img, initial, kPowerOnChannel, 2);
    // A radio that takes no ZEPH channels does not take them in this pass either.
    out.HasNonMultisiteChannel = ScanPowerOnChannel(image, [&](int b) {
        return forRadio && ((version < kVersionZeph && InZephOrMultisite(b)) ||
                            (version < kVersionMultisite && IsMultisiteBank(b)));
    });
    // 5. to 7.
    PowerOnGroup(image, initial);
    PowerOnListsAndFlags(image, initial);
    // 8.
    BankStartPositions(image, mode);
    // 9. to 15.
    TimersAndSettings(image, mode, initial);
    out.CustomerMode = KeysAndFlags(image, forRadio, initial);
    // 16.
    SanitiseCounts(image);
    // 17. to 19.
    FreeListEntries(image);
    BlankNonPrintable(img, 176120, 16);
    BlankNonPrintable(img, 176136, 16);
    ListRecords(image);
    // 20. to 23.
    Channels(image, forRadio, initial);
    AarRecords(image);
    CodeRecords(image, mode, initial);
    // 24. to 27.
    ZeroValues(image, initial);
    // 28. and 29.
    SortedIndexes(image, initial);
    TakeBytes(img, initial, 163030, 300);
    TakeBytes(img, initial, 163330, 16);
    // 30. and 31.
    if (mode == kBeforeOutput) {
        if (IsLmr()) TwoToneWindows(image);
        RemoveVoteZoneChannelsFromScanLists(image);
        RemoveMultisiteChannelsFromScanLists(image);
        Pack(image);
    }
    // 32.
    img.SetU8(kDataVersion, kCurrentDataVersion);
    TakeBytes(img, initial, kDataVersion + 1, 1);
    img.SetU8(302522, 1);
    return out;
}
