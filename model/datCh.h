#pragma once
// The item record codec: one flat record (datCh) into which any item of the
// working tables is decoded, changed and encoded back; the item kinds with
// their index ranges (KindTable); the two-byte tone specification (ToneSpec).
//
// Indexes and counts may come from files or radios and can be anything: an
// item whose index lies outside its kind's table, or whose computed place
// lies outside the table it belongs to, decodes as a cleared record and
// encodes nothing.
#include <cstdint>
#include <cstring>

class cmcEeprom;

// An item kind, 1 to 34 (0 and 35 and above name nothing).
using ItemKind = int;
constexpr int ItemKindCount = 35;

struct KindTableRow {
    int Min;
    int Max;
    int Flags;  // bit 0: rows may be cleared, deleted and inserted
};
extern const KindTableRow KindTable[ItemKindCount];

int KindTableMin(int kind);
int KindTableMax(int kind);
int KindTableFlag(int kind);

// A set of 1-bit and small fields packed into one integer, lowest bit
// first; Value and SetValue give the set as one number.
template <typename Derived, typename Int>
struct datBits {
    Int Value() const
    {
        Int v;
        std::memcpy(&v, static_cast<const Derived*>(this), sizeof v);
        return v;
    }
    void SetValue(Int v) { std::memcpy(static_cast<Derived*>(this), &v, sizeof v); }
};

struct datState : datBits<datState, uint8_t> {
    uint8_t InUse : 1, Active : 1, : 6;
};
struct datAttr : datBits<datAttr, uint16_t> {
    uint16_t PrioA : 1, PrioB : 1, RefC : 1, RefCOff : 1, SmarTrunkBank : 1, LtrBank : 1, HomeRpt : 1, HomeRpt2 : 1,
        SiteHome1 : 1, SiteHome2 : 1, ClearHome : 1, ClearHome2 : 1, RefD : 1, RefDOff : 1, : 2;
};
struct datChFlagsA : datBits<datChFlagsA, uint8_t> {
    uint8_t EDivert : 2, Inh : 1, TxInh : 1, : 4;
};
struct datGrpFlags : datBits<datGrpFlags, uint8_t> {
    uint8_t TxInh : 1, PhonePriv : 1, BlockIdEnable : 1, : 5;
};
struct datChFlagsB : datBits<datChFlagsB, uint16_t> {
    uint16_t Nar : 1, DNar : 1, Plan156 : 1, Compander : 1, AutoChScan : 1, PwrSave : 1, Tot : 1, RfPo : 2, : 7;
};
struct datChFlagsC : datBits<datChFlagsC, uint16_t> {
    uint16_t ScanListSel : 1, AutoReset : 2, Log : 4, Moni : 4, : 5;
};
struct datChFlagsD : datBits<datChFlagsD, uint8_t> {
    uint8_t Sel : 2, Call : 1, PTT : 1, ChMute : 1, : 3;
};
struct datScrm : datBits<datScrm, uint8_t> {
    uint8_t ScrmOn : 2, ScrmType : 2, : 4;
};
struct datChFlagsE : datBits<datChFlagsE, uint8_t> {
    uint8_t RptL : 1, StnL : 1, IdL : 1, Pos : 2, : 3;
};
struct datScanPrioModes : datBits<datScanPrioModes, uint8_t> {
    uint8_t Prio1Mode : 4, Prio2Mode : 4;
};
struct datScanTxFlags : datBits<datScanTxFlags, uint8_t> {
    uint8_t TxChMode : 4, Flag24 : 1, TalkBack : 1, TxAction : 1, : 1;
};
struct datScanCancel : datBits<datScanCancel, uint8_t> {
    uint8_t CancelChMode : 5, DispText : 2, PwrSave : 1;
};
struct datChFlagsF : datBits<datChFlagsF, uint16_t> {
    uint16_t MskSig : 1, MskSendStatus : 1, MskRptNone : 1, DigSig : 2, SqlType : 2, FastMute : 1, Strapped : 1, : 7;
};
struct datListSel : datBits<datListSel, uint8_t> {
    uint8_t CToneSel : 1, ChExtra : 1, : 6;
};
struct datRptFlags : datBits<datRptFlags, uint8_t> {
    uint8_t RxDat : 1, TxDat : 1, Nar : 1, : 5;
};
struct datRptPhoneBankType : datBits<datRptPhoneBankType, uint8_t> {
    uint8_t Phone : 1, SmarTrunk : 1, VoteZone : 1, : 5;
};
struct datVoteZoneFlags : datBits<datVoteZoneFlags, uint8_t> {
    uint8_t RfPo : 2, ScrmOn : 2, ScrmType : 2, FastMute : 1, : 1;
};
struct datLtrBankFlags : datBits<datLtrBankFlags, uint8_t> {
    uint8_t Ltr : 1, L1 : 1, L2 : 1, L3 : 1, L4 : 1, L5 : 1, L6 : 1, L7 : 1;
};
struct datLtrBankFlags2 : datBits<datLtrBankFlags2, uint8_t> {
    uint8_t L8 : 1, : 7;
};
struct datZephBankFlags : datBits<datZephBankFlags, uint8_t> {
    uint8_t Zeph : 1, Z1 : 1, Z2 : 1, : 5;
};
struct datZephBankFlags2 : datBits<datZephBankFlags2, uint8_t> {
    uint8_t BeepHandShake : 1, TxErrBeep : 1, BeepOnRx : 1, TotPhone : 1, PwrSave : 1, : 3;
};
struct datMsFlags : datBits<datMsFlags, uint8_t> {
    uint8_t MsgTrunking : 1, Multisite : 1, : 6;
};
struct datSiteFlags : datBits<datSiteFlags, uint8_t> {
    uint8_t AreaBit : 1, Otau : 1, : 6;
};

// A tone or digital code as two image bytes T0, T1 hold it: On = not T0 bit
// 7, Digital = T0 bit 6; an analog tone's index is T1; a digital code is
// (T0 bit 0) x 256 + T1 with Inverted = T0 bit 5.
struct ToneSpec {
    uint16_t On : 1, Digital : 1, Inverted : 1, : 13;
    uint16_t AnalogIndex;
    uint16_t DigitalCode;

    static ToneSpec Decode(int t0, int t1);
    // The new T0 (its other bits kept) and T1.
    void Encode(int& t0, int& t1) const;
};

class datCh {
public:
    datCh();
    explicit datCh(cmcEeprom* image);
    ~datCh() = default;
    datCh(const datCh&) = default;
    datCh& operator=(const datCh&) = default;

    // Zeros every field but Image, then sets InUse.
    void Clear();
    void SetImage(cmcEeprom* image) { Image = image; }

    datCh& Unpack(int kind, int index);
    void Pack(int kind, int index);
    void PackCurrent() { Pack(0, Index); }
    datCh& Reload() { return Unpack(int(Kind), Index); }
    // Encode, then decode again: the record shows what the image now holds.
    datCh& Commit();

    static int MinIndex(int kind);
    static int MaxIndex(int kind);
    // The bank (0-127) whose channel range holds channel n; 128 when none.
    static int BankOfChannel(int n);
    // True when no item of the record's kind with an index from..to is in
    // use, read from the record's image.
    static bool RangeIsEmpty(const datCh& record, int from, int to);

    // 1
    uint32_t Kind;
    int32_t Index;
    cmcEeprom* Image;
    // 2, 3
    datState State;
    datAttr Attr;
    // 4
    int32_t EDivertTarget;
    datChFlagsA ChFlagsA;
    int32_t RxFreq;
    int32_t TxFreq;
    // 5
    ToneSpec RxTone;
    ToneSpec TxTone;
    // 6
    uint8_t GrpRxId;
    uint8_t GrpTxId;
    datGrpFlags GrpFlags;
    uint8_t GrpHomeRptCh;
    uint8_t GrpBlockIdStart;
    uint8_t GrpBlockIdEnd;
    // 7 (texts are space-padded and not terminated)
    char LongText[24];
    char Text[12];
    char Text2[12];
    uint8_t CharBitmapMob[24];
    uint8_t CharBitmap[49];
    // 8
    datChFlagsB ChFlagsB;
    uint8_t Lockout : 5;
    // 9
    uint32_t ScanMask;
    uint32_t ScanInc;
    uint32_t ScanList;
    // 10
    datChFlagsC ChFlagsC;
    datChFlagsD ChFlagsD;
    datScrm Scrm;
    uint32_t ScrmCode;
    uint8_t Form : 4;
    uint32_t RptC;
    uint32_t StnC;
    uint32_t IdC;
    datChFlagsE ChFlagsE;
    uint32_t TwoTone;
    uint32_t RxCNo;
    uint32_t MskRxCNo;
    uint8_t RxCNoDtmf;
    uint8_t DtmfDec : 1;
    uint32_t SqlTight;
    // 11
    uint8_t DigitCount;
    uint8_t Digits[12];
    // 12
    uint8_t ScanMode : 5;
    datScanPrioModes ScanPrioModes;
    datScanTxFlags ScanTxFlags;
    datScanCancel ScanCancel;
    uint32_t Prio1Ch;
    uint32_t Prio2Ch;
    uint32_t ScanTxCh;
    // 13
    uint32_t Freq1Low, Freq1High, Freq2Low, Freq2High;
    uint32_t GroupCall, TtBell, TtAns, TtExo, TtAux, TtAuxMode, TtBeep, TtAutoTx, TtStun, TtScan, TtSfunc;
    double TxFreq1, TxFreq2, Period1, Period2;
    uint8_t CodeType : 1;
    // 14
    uint8_t RxCode[4];
    uint8_t RxCodePlusMask;
    uint32_t DecIdDec, DecBell, DecEmerCancel, DecAbc, DecExo, DecAux, DecAuxMode, DecBeep, DecAutoTx, DecAud, DecStun,
        DecScan, DecSfunc;
    uint32_t CodeSetting;
    // 15
    uint8_t TxCode[4];
    uint8_t InputDigit;
    uint32_t TxUpdate, TxAbcDec, TxAbcAud, TxSel;
    uint32_t UToneEncode, UToneDecLow, UToneDecHigh;
    // 16
    uint32_t MskAdr, MskAlert, MskBell, MskSFunc;
    uint32_t CallListAdr, CallListDigit, CallListUpdate, CallListSel;
    uint32_t StatusBeep, StatusHorn, StatusAux, StatusAuxMode, StatusAuto, StatusSFunc, StatusPriority, StatusSelection;
    // 17
    datChFlagsF ChFlagsF;
    // 18
    uint32_t RxNac, TxNac, UnitDec;
    uint32_t IndId;
    uint32_t IndList;
    uint32_t GrpId;
    uint32_t TgList;
    uint32_t EncryptionNo;
    uint32_t NacRx, NacTx;
    uint8_t NacSel : 1;
    uint32_t DStatusBeep, DStatusRx, DStatusDecExo, DStatusAux, DStatusAuxMode, DStatusSelection;
    uint32_t SdmSel;
    uint32_t EncryptionKey;
    datListSel ListSel;
    // 19
    int32_t RptRxFreq;
    int32_t RptTxFreq;
    datRptFlags RptFlags;
    uint8_t RptRfPo : 2;
    datRptPhoneBankType RptPhoneBankType;
    // 20
    datVoteZoneFlags VoteZoneFlags;
    uint32_t VoteZoneScrmCode;
    uint32_t VoteZoneEncryption;
    // 21
    datLtrBankFlags LtrBankFlags;
    datLtrBankFlags2 LtrBankFlags2;
    uint8_t LtrDecPriTg;
    uint8_t LtrBlockIdStart, LtrBlockIdEnd, LtrPriTgId, LtrNumPreBit, LtrNumHangBit, LtrHomeRpt;
    // 22
    datZephBankFlags ZephBankFlags;
    uint32_t ZephWord0, ZephWord1, ZephWord2;
    uint8_t ZephHomeRpt, ZephHomeRpt2, ZephMode;
    datZephBankFlags2 ZephBankFlags2;
    // 23
    uint32_t LtrRxBroadcast;
    uint8_t LtrBlockIdFleet, LtrPriTgFleet, LtrRxBroadcastFleet;
    // 24
    uint32_t ZephUnit;
    uint32_t ZephTgList;
    uint8_t ZephTxInh : 1;
    uint8_t ZephFleetDec;
    uint32_t MsTgList;
    uint32_t MsIndList;
    datMsFlags MsFlags;
    // 25
    uint8_t MsIndFleet, MsGrpFleet;
    uint8_t SiteId, IntegratorCode;
    uint32_t SystemCode;
    datSiteFlags SiteFlags;
    uint8_t SiteHome1, SiteHome2;
    uint8_t MdcSystem;
    // 26
    uint8_t AliasStrip;
    uint32_t AliasId;
    char AliasText[12];
    uint8_t AliasBeepType;
    uint8_t ChGrpType;
    uint32_t ChGrpNumber;
};

// Four BCD digits, high nibble of byte 0 first; 65535 when a digit is above 9.
int BcdToInt(const uint8_t* bytes);
// Fills the buffer with 0xFF, then writes the four lowest decimal digits of
// value as BCD into bytes 0 and 1.
void IntToBcd(uint32_t value, uint8_t* buffer, int length);
