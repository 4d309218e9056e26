// Every field of every item kind, encoded with a changed value, changes only
// its own bits and reads back as the changed value: over images of 0x00 and
// of 0xFF bytes.
#include "model/datCh.h"

#include "model/ModelContext.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

struct Foot {
    int at;
    int mask;
};

struct Field {
    int kind;
    int index;
    std::string name;
    std::function<void(datCh&)> change;
    std::function<std::string(const datCh&)> get;
    std::vector<Foot> foot;
};

std::vector<Foot> Run(int at, int n, int mask = 0xFF)
{
    std::vector<Foot> f;
    for (int k = 0; k < n; ++k) f.push_back({at + k, mask});
    return f;
}

std::vector<Foot> operator+(std::vector<Foot> a, const std::vector<Foot>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A frequency: 31 bits, big-endian.
std::vector<Foot> Freq(int at) { return std::vector<Foot>{{at, 0x7F}} + Run(at + 1, 3); }

std::string ToneText(const ToneSpec& t)
{
    std::ostringstream s;
    s << t.On << t.Digital << t.Inverted << ':' << t.AnalogIndex << ':' << t.DigitalCode;
    return s.str();
}

#define NUM(f, m) [](datCh& c) { c.f ^= (m); }, [](const datCh& c) { return std::to_string(c.f); }
#define FREQ(f) \
    [](datCh& c) { c.f = c.f == 123456789 ? 98765432 : 123456789; }, [](const datCh& c) { return std::to_string(c.f); }
#define BYTES(f) \
    [](datCh& c) { for (size_t k = 0; k < sizeof c.f; ++k) c.f[k] = std::remove_reference_t<decltype(c.f[0])>('A' + k); }, \
        [](const datCh& c) { return std::string(reinterpret_cast<const char*>(c.f), sizeof c.f); }
#define TONE_ON(t) [](datCh& c) { c.t.On ^= 1; }, [](const datCh& c) { return ToneText(c.t); }
#define TONE_FORM(t)                               \
    [](datCh& c) {                                 \
        c.t.Digital ^= 1;                          \
        c.t.Inverted = 0;                          \
        c.t.AnalogIndex = c.t.DigitalCode = 0;     \
    },                                             \
        [](const datCh& c) { return ToneText(c.t); }
#define TONE_CODE(t)                               \
    [](datCh& c) {                                 \
        if (c.t.Digital) {                         \
            c.t.DigitalCode ^= 0x1FF;              \
            c.t.Inverted ^= 1;                     \
        } else {                                   \
            c.t.AnalogIndex ^= 0xFF;               \
        }                                          \
    },                                             \
        [](const datCh& c) { return ToneText(c.t); }

void AddTone(std::vector<Field>& v, int kind, int index, const char* name, int t0, bool rx)
{
    if (rx) {
        v.push_back({kind, index, std::string(name) + ".On", TONE_ON(RxTone), {{t0, 0x80}}});
        v.push_back({kind, index, std::string(name) + ".Digital", TONE_FORM(RxTone), {{t0, 0x61}, {t0 + 1, 0xFF}}});
        v.push_back({kind, index, std::string(name) + ".Code", TONE_CODE(RxTone), {{t0, 0x21}, {t0 + 1, 0xFF}}});
    } else {
        v.push_back({kind, index, std::string(name) + ".On", TONE_ON(TxTone), {{t0, 0x80}}});
        v.push_back({kind, index, std::string(name) + ".Digital", TONE_FORM(TxTone), {{t0, 0x61}, {t0 + 1, 0xFF}}});
        v.push_back({kind, index, std::string(name) + ".Code", TONE_CODE(TxTone), {{t0, 0x21}, {t0 + 1, 0xFF}}});
    }
}

// Channel 5 lies in bank 0, which the fixture gives every channel.
void AddChannelFields(std::vector<Field>& v)
{
    constexpr int n = 5;
    constexpr int R = 130944 + 30 * n, S = 163346 + 24 * n, G = 231602 + 6 * n, Z = 243076 + 5 * n,
                  M = 304544 + 6 * n, D = 302548 + 2 * n;
    std::vector<Foot> scan;
    for (int j = 0; j < 17; ++j) scan.push_back({146320 + 64 * j, 0x04});
    for (int kind : {1, 2}) {
        const bool lmr = kind == 1;
        std::vector<Field> f = {
            {kind, n, "RxFreq", FREQ(RxFreq), Freq(R)},
            {kind, n, "TxFreq", FREQ(TxFreq), Freq(R + 4)},
            {kind, n, "Inh", NUM(ChFlagsA.Inh, 1), {{R, 0x80}}},
            {kind, n, "TxInh", NUM(ChFlagsA.TxInh, 1), {{R + 4, 0x80}}},
            {kind, n, "EDivert", NUM(ChFlagsA.EDivert, 3), {{R + 12, 0x0C}}},
            {kind, n, "EDivertTarget", NUM(EDivertTarget, 0xFFFF), Run(D, 2)},
            {kind, n, "Text", BYTES(Text), Run(R + 14, 12) + std::vector<Foot>{{R + 12, 0x20}}},
            {kind, n, "Nar", NUM(ChFlagsB.Nar, 1), {{R + 12, 0x40}}},
            {kind, n, "DNar", NUM(ChFlagsB.DNar, 1), {{R + 12, 0x10}}},
            {kind, n, "DigSig", NUM(ChFlagsF.DigSig, 3), {{R + 12, 0x03}}},
            {kind, n, "ScanList", NUM(ScanList, 0xFF), {{R + 13, 0xFF}}},
            {kind, n, "RxNac", NUM(RxNac, 0xFFFF), Run(R + 26, 2)},
            {kind, n, "TxNac", NUM(TxNac, 0xFFFF), Run(R + 28, 2)},
            {kind, n, "PwrSave", NUM(ChFlagsB.PwrSave, 1), {{S, 0x80}}},
            {kind, n, "Tot", NUM(ChFlagsB.Tot, 1), {{S, 0x10}}},
            {kind, n, "RfPo", NUM(ChFlagsB.RfPo, 3), {{S, 0x03}}},
            {kind, n, "Lockout", NUM(Lockout, 0x1F), {{S, 0x0C}, {S + 17, 0x07}}},
            {kind, n, "ScanListSel", NUM(ChFlagsC.ScanListSel, 1), {{S, 0x20}}},
            {kind, n, "Moni", NUM(ChFlagsC.Moni, 0xF), {{S, 0x40}, {S + 1, 0x08}, {S + 2, 0x30}}},
            {kind, n, "Log", NUM(ChFlagsC.Log, 0xF), {{S + 1, 0xF0}}},
            {kind, n, "ChMute", NUM(ChFlagsD.ChMute, 1), {{S + 1, 0x01}}},
            {kind, n, "SqlTight", NUM(SqlTight, 1), {{S + 1, 0x04}}},
            {kind, n, "ScanInc", NUM(ScanInc, 1), {{S + 1, 0x02}}},
            {kind, n, "Sel", NUM(ChFlagsD.Sel, 3), {{S + 2, 0xC0}}},
            {kind, n, "Call", NUM(ChFlagsD.Call, 1), {{S + 2, 0x08}}},
            {kind, n, "PTT", NUM(ChFlagsD.PTT, 1), {{S + 2, 0x04}}},
            {kind, n, "Compander", NUM(ChFlagsB.Compander, 1), {{S + 3, 0x10}}},
            {kind, n, "AutoChScan", NUM(ChFlagsB.AutoChScan, 1), {{S + 3, 0x01}}},
            {kind, n, "ScrmOn", NUM(Scrm.ScrmOn, 3), {{S + 3, 0x60}}},
            {kind, n, "MdcSystem", NUM(MdcSystem, 0xFF), {{S + 4, 0xFF}}},
            {kind, n, "ScrmCode", NUM(ScrmCode, 0xFF), {{S + 5, 0xFF}}},
            {kind, n, "IndList", NUM(IndList, 0xFFFF), Run(S + 12, 2)},
            {kind, n, "UnitDec", NUM(UnitDec, 0xFFFF), Run(S + 14, 2)},
            {kind, n, "SqlType", NUM(ChFlagsF.SqlType, 3), {{S + 17, 0x30}}},
            {kind, n, "FastMute", NUM(ChFlagsF.FastMute, 1), {{S + 17, 0x80}}},
            {kind, n, "Strapped", NUM(ChFlagsF.Strapped, 1), {{S + 17, 0x08}}},
            {kind, n, "ScrmType", NUM(Scrm.ScrmType, 3), {{S + 18, 0xC0}}},
            {kind, n, "Plan156", NUM(ChFlagsB.Plan156, 1), {{S + 18, 0x08}}},
            {kind, n, "ChExtra", NUM(ListSel.ChExtra, 1), {{S + 18, 0x10}}},
            {kind, n, "EncryptionNo", NUM(EncryptionNo, 0xFF), {{S + 19, 0xFF}}},
            {kind, n, "TgList", NUM(TgList, 0xFFFF), Run(S + 22, 2)},
            {kind, n, "GrpRxId", NUM(GrpRxId, 0xFF), {{G, 0xFF}}},
            {kind, n, "GrpTxId", NUM(GrpTxId, 0xFF), {{G + 1, 0xFF}}},
            {kind, n, "GrpHomeRptCh", NUM(GrpHomeRptCh, 0xFF), {{G + 2, 0xFF}}},
            {kind, n, "GrpFlags.TxInh", NUM(GrpFlags.TxInh, 1), {{G + 3, 0x80}}},
            {kind, n, "GrpFlags.PhonePriv", NUM(GrpFlags.PhonePriv, 1), {{G + 3, 0x40}}},
            {kind, n, "GrpFlags.BlockIdEnable", NUM(GrpFlags.BlockIdEnable, 1), {{G + 3, 0x20}}},
            {kind, n, "GrpBlockIdStart", NUM(GrpBlockIdStart, 0xFF), {{G + 4, 0xFF}}},
            {kind, n, "GrpBlockIdEnd", NUM(GrpBlockIdEnd, 0xFF), {{G + 5, 0xFF}}},
            {kind, n, "ZephTgList", NUM(ZephTgList, 0xFFFF), Run(Z, 2)},
            {kind, n, "ZephUnit", NUM(ZephUnit, 0xFFFF), Run(Z + 2, 2)},
            {kind, n, "ZephTxInh", NUM(ZephTxInh, 1), {{Z + 4, 0x80}}},
            {kind, n, "MsTgList", NUM(MsTgList, 0xFFFF), Run(M, 2)},
            {kind, n, "MsIndList", NUM(MsIndList, 0xFFFF), Run(M + 2, 2)},
            {kind, n, "ZephFleetDec", NUM(ZephFleetDec, 0xFF), {{M + 4, 0xFF}}},
            {kind, n, "MsgTrunking", NUM(MsFlags.MsgTrunking, 1), {{M + 5, 0x80}}},
            {kind, n, "ScanMask", NUM(ScanMask, 0x1FFFF), scan},
            {kind, n, "PrioA", [](datCh& c) { c.Attr.PrioA = 1; }, [](const datCh& c) { return std::to_string(c.Attr.PrioA); },
             Run(146304, 2)},
            {kind, n, "PrioB", [](datCh& c) { c.Attr.PrioB = 1; }, [](const datCh& c) { return std::to_string(c.Attr.PrioB); },
             Run(146306, 2)},
            {kind, n, "RefC",
             [](datCh& c) {
                 c.Attr.RefC = 1;
                 c.Attr.RefCOff = 0;
             },
             [](const datCh& c) { return std::to_string(c.Attr.RefC) + std::to_string(c.Attr.RefCOff); },
             Run(175670, 2) + std::vector<Foot>{{175680, 0x20}}},
            {kind, n, "RefCOff", NUM(Attr.RefCOff, 1), {{175680, 0x20}}},
            {kind, n, "RefD",
             [](datCh& c) {
                 c.Attr.RefD = 1;
                 c.Attr.RefDOff = 0;
             },
             [](const datCh& c) { return std::to_string(c.Attr.RefD) + std::to_string(c.Attr.RefDOff); },
             Run(148176, 2) + std::vector<Foot>{{148174, 0x01}}},
            {kind, n, "RefDOff", NUM(Attr.RefDOff, 1), {{148174, 0x01}}},
            {kind, n, "SmarTrunkBank", NUM(Attr.SmarTrunkBank, 1), {{175654, 0x80}}},
            {kind, n, "LtrBank", NUM(Attr.LtrBank, 1), {{176046, 0x80}}},
        };
        if (lmr) {
            f.push_back({kind, n, "AutoReset", NUM(ChFlagsC.AutoReset, 1), {{S + 2, 0x02}}});
            f.push_back({kind, n, "TwoTone", NUM(TwoTone, 0x7F), {{S + 8, 0x7F}}});
            f.push_back({kind, n, "RxCNo", NUM(RxCNo, 0x3FF), {{S + 10, 0xFF}, {S + 11, 0xC0}}});
            f.push_back({kind, n, "DtmfDec", NUM(DtmfDec, 1), {{S + 18, 0x20}}});
            f.push_back({kind, n, "RxCNoDtmf", NUM(RxCNoDtmf, 0xFF), {{S + 20, 0xFF}}});
        } else {
            f.push_back({kind, n, "AutoReset", NUM(ChFlagsC.AutoReset, 3), {{S + 2, 0x03}}});
            f.push_back({kind, n, "MskSig", NUM(ChFlagsF.MskSig, 1), {{S + 3, 0x08}}});
            f.push_back({kind, n, "MskSendStatus", NUM(ChFlagsF.MskSendStatus, 1), {{S + 3, 0x02}}});
            f.push_back({kind, n, "MskRptNone", NUM(ChFlagsF.MskRptNone, 1), {{S + 3, 0x04}}});
            f.push_back({kind, n, "Form", NUM(Form, 0xF), {{S + 6, 0x0F}}});
            f.push_back({kind, n, "Pos", NUM(ChFlagsE.Pos, 3), {{S + 6, 0xC0}}});
            f.push_back({kind, n, "RptC", NUM(RptC, 0x7F), {{S + 7, 0x7F}}});
            f.push_back({kind, n, "RptL", NUM(ChFlagsE.RptL, 1), {{S + 7, 0x80}}});
            f.push_back({kind, n, "StnC", NUM(StnC, 0x7F), {{S + 8, 0x7F}}});
            f.push_back({kind, n, "StnL", NUM(ChFlagsE.StnL, 1), {{S + 8, 0x80}}});
            f.push_back({kind, n, "IdC", NUM(IdC, 0x7F), {{S + 9, 0x7F}}});
            f.push_back({kind, n, "IdL", NUM(ChFlagsE.IdL, 1), {{S + 9, 0x80}}});
            f.push_back({kind, n, "RxCNo", NUM(RxCNo, 0xFF), {{S + 11, 0xFF}}});
            f.push_back({kind, n, "MskRxCNo", NUM(MskRxCNo, 0xFF), {{S + 10, 0xFF}}});
        }
        v.insert(v.end(), f.begin(), f.end());
        AddTone(v, kind, n, "RxTone", R + 8, true);
        AddTone(v, kind, n, "TxTone", R + 10, false);
    }
}

// The decode flags of kinds 8 (f = D + 29) and 23 (f = E + 37).
void AddDecodeFlags(std::vector<Field>& v, int kind, int index, int f)
{
    std::vector<Field> add = {
        {kind, index, "DecAbc", NUM(DecAbc, 0xFF), {{f, 0xFF}}},
        {kind, index, "DecBeep", NUM(DecBeep, 7), {{f + 1, 0x07}}},
        {kind, index, "DecSfunc", NUM(DecSfunc, 1), {{f + 1, 0x08}}},
        {kind, index, "DecScan", NUM(DecScan, 3), {{f + 1, 0x30}}},
        {kind, index, "DecAud", NUM(DecAud, 3), {{f + 1, 0xC0}}},
        {kind, index, "DecBell", NUM(DecBell, 3), {{f + 2, 0x03}}},
        {kind, index, "DecStun", NUM(DecStun, 0xF), {{f + 2, 0x18}, {f + 3, 0x30}}},
        {kind, index, "DecAutoTx", NUM(DecAutoTx, 1), {{f + 2, 0x20}}},
        {kind, index, "DecIdDec", NUM(DecIdDec, 1), {{f + 2, 0x40}}},
        {kind, index, "DecExo", NUM(DecExo, 1), {{f + 2, 0x80}}},
        {kind, index, "DecEmerCancel", NUM(DecEmerCancel, 1), {{f + 3, 0x80}}},
    };
    v.insert(v.end(), add.begin(), add.end());
}

std::vector<Field> Fields()
{
    std::vector<Field> v;
    AddChannelFields(v);

    v.push_back({3, 2, "CharBitmap", BYTES(CharBitmap), Run(176536 + 98, 49)});
    v.push_back({4, 2, "CharBitmapMob", BYTES(CharBitmapMob), Run(176152 + 48, 24)});

    constexpr int E5 = 180042 + 37;
    v.push_back({5, 1, "LongText", BYTES(LongText), Run(E5, 24)});
    v.push_back({5, 1, "Digits", BYTES(Digits), Run(E5 + 24, 12)});
    v.push_back({5, 1, "DigitCount", NUM(DigitCount, 0xFF), {{E5 + 36, 0xFF}}});

    constexpr int X = 179464 + 34;
    for (auto&& f : std::vector<Field>{
             {6, 1, "LongText", BYTES(LongText), Run(X, 24)},
             {6, 1, "ScanMode", NUM(ScanMode, 0x1F), {{X + 24, 0x0F}, {X + 25, 0x20}}},
             {6, 1, "PwrSave", NUM(ScanCancel.PwrSave, 1), {{X + 24, 0x10}}},
             {6, 1, "Flag24", NUM(ScanTxFlags.Flag24, 1), {{X + 24, 0x80}}},
             {6, 1, "TalkBack", NUM(ScanTxFlags.TalkBack, 1), {{X + 25, 0x04}}},
             {6, 1, "TxAction", NUM(ScanTxFlags.TxAction, 1), {{X + 25, 0x10}}},
             {6, 1, "CancelChMode", NUM(ScanCancel.CancelChMode, 0x1F), {{X + 25, 0x08}, {X + 27, 0x0F}}},
             {6, 1, "DispText", NUM(ScanCancel.DispText, 3), {{X + 25, 0xC0}}},
             {6, 1, "Prio1Mode", NUM(ScanPrioModes.Prio1Mode, 0xF), {{X + 26, 0x0F}}},
             {6, 1, "TxChMode", NUM(ScanTxFlags.TxChMode, 0xF), {{X + 26, 0xF0}}},
             {6, 1, "Prio2Mode", NUM(ScanPrioModes.Prio2Mode, 0xF), {{X + 27, 0xF0}}},
             {6, 1, "ScanTxCh", NUM(ScanTxCh, 0xFFFF), Run(X + 28, 2)},
             {6, 1, "Prio1Ch", NUM(Prio1Ch, 0xFFFF), Run(X + 30, 2)},
             {6, 1, "Prio2Ch", NUM(Prio2Ch, 0xFFFF), Run(X + 32, 2)},
         })
        v.push_back(f);

    constexpr int T = 179144 + 4 * 41;
    AddTone(v, 7, 41, "RxTone", T, true);
    AddTone(v, 7, 41, "TxTone", T + 2, false);
    v.push_back({7, 41, "CToneSel", NUM(ListSel.CToneSel, 1), {{175785, 0x40}}});

    constexpr int D8 = 180786 + 36;
    v.push_back({8, 1, "RxCode", BYTES(RxCode), Run(D8, 4)});
    v.push_back({8, 1, "LongText", BYTES(LongText), Run(D8 + 4, 24) + std::vector<Foot>{{D8 + 31, 0x04}}});
    v.push_back({8, 1, "RxCodePlusMask", NUM(RxCodePlusMask, 0xFF), {{D8 + 28, 0xFF}}});
    AddDecodeFlags(v, 8, 1, D8 + 29);
    v.push_back({8, 1, "DecAux", NUM(DecAux, 0xFF), {{D8 + 33, 0xFF}}});
    v.push_back({8, 1, "DecAuxMode", NUM(DecAuxMode, 3), {{D8 + 34, 0x03}}});

    constexpr int F9 = 180338 + 14;
    v.push_back({9, 1, "TxCode", BYTES(TxCode), Run(147408 + 4, 4)});
    v.push_back({9, 1, "Text", BYTES(Text), Run(F9, 12) + std::vector<Foot>{{F9 + 13, 0x20}}});
    v.push_back({9, 1, "InputDigit", NUM(InputDigit, 0xFE), {{F9 + 12, 0xFE}}});
    v.push_back({9, 1, "TxUpdate", NUM(TxUpdate, 1), {{F9 + 12, 0x01}}});
    v.push_back({9, 1, "TxAbcDec", NUM(TxAbcDec, 1), {{F9 + 13, 0x80}}});
    v.push_back({9, 1, "TxAbcAud", NUM(TxAbcAud, 1), {{F9 + 13, 0x40}}});
    v.push_back({9, 1, "TxSel", NUM(TxSel, 1), {{F9 + 13, 0x10}}});

    v.push_back({10, 2, "UToneEncode", NUM(UToneEncode, 0xFFFF), Run(177320 + 4, 2)});
    v.push_back({10, 2, "UToneDecLow", NUM(UToneDecLow, 0xFFFF), Run(177350 + 8, 2)});
    v.push_back({10, 2, "UToneDecHigh", NUM(UToneDecHigh, 0xFFFF), Run(177350 + 10, 2)});

    constexpr int D11 = 180786 + 36 * 3, W11 = 177312 + 24, T11 = 147404 + 12, E11 = 180324 + 42;
    for (auto&& f : std::vector<Field>{
             {11, 3, "LongText", BYTES(LongText),
              Run(D11 + 4, 24) + Run(E11, 12) + std::vector<Foot>{{D11 + 31, 0x04}, {E11 + 13, 0x20}}},
             {11, 3, "GroupCall", NUM(GroupCall, 0xFF), {{D11, 0xFF}}},
             {11, 3, "TtBell", NUM(TtBell, 3), {{D11 + 31, 0x03}}},
             {11, 3, "TtAns", NUM(TtAns, 1), {{D11 + 29, 0xFF}}},
             {11, 3, "TtExo", NUM(TtExo, 1), {{D11 + 31, 0x80}}},
             {11, 3, "TtAux", NUM(TtAux, 0xFF), {{D11 + 33, 0xFF}}},
             {11, 3, "TtAuxMode", NUM(TtAuxMode, 3), {{D11 + 34, 0x03}}},
             {11, 3, "TtBeep", NUM(TtBeep, 7), {{D11 + 30, 0x07}}},
             {11, 3, "TtAutoTx", NUM(TtAutoTx, 1), {{D11 + 31, 0x20}}},
             {11, 3, "TtStun", NUM(TtStun, 0xF), {{D11 + 31, 0x18}, {D11 + 32, 0x30}}},
             {11, 3, "TtScan", NUM(TtScan, 3), {{D11 + 30, 0x30}}},
             {11, 3, "TtSfunc", NUM(TtSfunc, 1), {{D11 + 30, 0x08}}},
             {11, 3, "Freq1Low", NUM(Freq1Low, 0xFFFF), Run(W11, 2)},
             {11, 3, "Freq1High", NUM(Freq1High, 0xFFFF), Run(W11 + 2, 2)},
             {11, 3, "Freq2Low", NUM(Freq2Low, 0xFFFF), Run(W11 + 4, 2)},
             {11, 3, "Freq2High", NUM(Freq2High, 0xFFFF), Run(W11 + 6, 2)},
             {11, 3, "TxFreq1", [](datCh& c) { c.TxFreq1 = 1500.9; },
              [](const datCh& c) { return std::to_string(int64_t(c.TxFreq1)); }, Run(T11, 2)},
             {11, 3, "TxFreq2", [](datCh& c) { c.TxFreq2 = 2100.2; },
              [](const datCh& c) { return std::to_string(int64_t(c.TxFreq2)); }, Run(T11 + 2, 2)},
             {11, 3, "Period1", [](datCh& c) { c.Period1 = 7.5; },
              [](const datCh& c) { return std::to_string(int64_t(c.Period1)); }, {{177418 + 6, 0xFF}}},
             {11, 3, "Period2", [](datCh& c) { c.Period2 = 9.9; },
              [](const datCh& c) { return std::to_string(int64_t(c.Period2)); }, {{177418 + 7, 0xFF}}},
             {11, 3, "CodeType", NUM(CodeType, 1), {{E11 + 12, 0xFF}}},
             // The last code, 10, has all of them too.
             {11, 10, "Freq2High", NUM(Freq2High, 0xFFFF), Run(177312 + 80 + 6, 2)},
             {11, 10, "TxFreq2", [](datCh& c) { c.TxFreq2 = 2100.2; },
              [](const datCh& c) { return std::to_string(int64_t(c.TxFreq2)); }, Run(147404 + 40 + 2, 2)},
             {11, 10, "Period2", [](datCh& c) { c.Period2 = 9.9; },
              [](const datCh& c) { return std::to_string(int64_t(c.Period2)); }, {{177418 + 21, 0xFF}}},
             {11, 10, "CodeType", NUM(CodeType, 1), {{180324 + 140 + 12, 0xFF}}},
         })
        v.push_back(f);

    constexpr int b = 9, H = 204978 + 8 * b, Zb = 245636 + 10 * b, V = 242426 + 4 * b, K = 303776 + 6 * b;
    for (auto&& f : std::vector<Field>{
             {13, b, "Text", BYTES(Text), Run(177448 + 12 * b, 12)},
             {13, b, "Ltr", NUM(LtrBankFlags.Ltr, 1), {{176046 + 1, 0x40}}},
             {13, b, "Zeph", NUM(ZephBankFlags.Zeph, 1), {{176088 + 1, 0x40}}},
             {13, b, "SmarTrunk", NUM(RptPhoneBankType.SmarTrunk, 1), {{175654 + 1, 0x40}}},
             {13, b, "VoteZone", NUM(RptPhoneBankType.VoteZone, 1), {{176072 + 1, 0x40}}},
             {13, b, "Multisite", NUM(MsFlags.Multisite, 1), {{303572 + 1, 0x40}}},
             {13, b, "L1", NUM(LtrBankFlags.L1, 1), {{H, 0x80}}},
             {13, b, "L2", NUM(LtrBankFlags.L2, 1), {{H, 0x40}}},
             {13, b, "L3", NUM(LtrBankFlags.L3, 1), {{H, 0x10}}},
             {13, b, "L4", NUM(LtrBankFlags.L4, 1), {{H, 0x08}}},
             {13, b, "L5", NUM(LtrBankFlags.L5, 1), {{H, 0x04}}},
             {13, b, "L6", NUM(LtrBankFlags.L6, 1), {{H, 0x02}}},
             {13, b, "LtrDecPriTg", NUM(LtrDecPriTg, 3), {{H, 0x20}, {H + 1, 0x80}}},
             {13, b, "L7", NUM(LtrBankFlags.L7, 1), {{H + 1, 0x20}}},
             {13, b, "L8", NUM(LtrBankFlags2.L8, 1), {{H + 1, 0x40}}},
             {13, b, "LtrBlockIdStart", NUM(LtrBlockIdStart, 0xFF), {{H + 2, 0xFF}}},
             {13, b, "LtrBlockIdEnd", NUM(LtrBlockIdEnd, 0xFF), {{H + 3, 0xFF}}},
             {13, b, "LtrPriTgId", NUM(LtrPriTgId, 0xFF), {{H + 4, 0xFF}}},
             {13, b, "LtrNumPreBit", NUM(LtrNumPreBit, 0xFF), {{H + 5, 0xFF}}},
             {13, b, "LtrNumHangBit", NUM(LtrNumHangBit, 0xFF), {{H + 6, 0xFF}}},
             {13, b, "LtrHomeRpt", NUM(LtrHomeRpt, 0xFF), {{H + 7, 0xFF}}},
             {13, b, "ZephWord0", NUM(ZephWord0, 0xFFFF), Run(Zb, 2)},
             {13, b, "ZephWord1", NUM(ZephWord1, 0xFFFF), Run(Zb + 2, 2)},
             {13, b, "ZephWord2", NUM(ZephWord2, 0xFFFF), Run(Zb + 4, 2)},
             {13, b, "ZephHomeRpt", NUM(ZephHomeRpt, 0xFF), {{Zb + 6, 0xFF}}},
             {13, b, "ZephHomeRpt2", NUM(ZephHomeRpt2, 0xFF), {{Zb + 7, 0xFF}}},
             {13, b, "Z1", NUM(ZephBankFlags.Z1, 1), {{Zb + 8, 0x80}}},
             {13, b, "Z2", NUM(ZephBankFlags.Z2, 1), {{Zb + 8, 0x40}}},
             {13, b, "ZephMode", NUM(ZephMode, 3), {{Zb + 8, 0x30}}},
             {13, b, "BeepHandShake", NUM(ZephBankFlags2.BeepHandShake, 1), {{Zb + 8, 0x04}}},
             {13, b, "BeepOnRx", NUM(ZephBankFlags2.BeepOnRx, 1), {{Zb + 8, 0x08}}},
             {13, b, "TotPhone", NUM(ZephBankFlags2.TotPhone, 1), {{Zb + 8, 0x01}}},
             {13, b, "PwrSave", NUM(ZephBankFlags2.PwrSave, 1), {{Zb + 8, 0x02}}},
             {13, b, "TxErrBeep", NUM(ZephBankFlags2.TxErrBeep, 1), {{Zb + 9, 0x80}}},
             {13, b, "VoteRfPo", NUM(VoteZoneFlags.RfPo, 3), {{V, 0x03}}},
             {13, b, "VoteScrmOn", NUM(VoteZoneFlags.ScrmOn, 3), {{V, 0x0C}}},
             {13, b, "VoteScrmType", NUM(VoteZoneFlags.ScrmType, 3), {{V, 0x30}}},
             {13, b, "VoteFastMute", NUM(VoteZoneFlags.FastMute, 1), {{V, 0x40}}},
             {13, b, "VoteZoneScrmCode", NUM(VoteZoneScrmCode, 0xFF), {{V + 1, 0xFF}}},
             {13, b, "VoteZoneEncryption", NUM(VoteZoneEncryption, 0xFF), {{V + 2, 0xFF}}},
             {13, b, "LtrRxBroadcast", NUM(LtrRxBroadcast, 0xFFFF), Run(K, 2)},
             {13, b, "LtrBlockIdFleet", NUM(LtrBlockIdFleet, 0xFF), {{K + 2, 0xFF}}},
             {13, b, "LtrPriTgFleet", NUM(LtrPriTgFleet, 0xFF), {{K + 3, 0xFF}}},
             {13, b, "LtrRxBroadcastFleet", NUM(LtrRxBroadcastFleet, 0xFF), {{K + 4, 0xFF}}},
         })
        v.push_back(f);

    constexpr int M14 = 181308 + 34;
    v.push_back({14, 1, "MskAdr", NUM(MskAdr, 0xFFFF), Run(M14, 2)});
    v.push_back({14, 1, "Text", BYTES(Text), Run(M14 + 2, 12) + std::vector<Foot>{{M14 + 29, 0x04}}});
    v.push_back({14, 1, "MskAlert", NUM(MskAlert, 7), {{M14 + 28, 0x07}}});
    v.push_back({14, 1, "MskSFunc", NUM(MskSFunc, 1), {{M14 + 28, 0x08}}});
    v.push_back({14, 1, "MskBell", NUM(MskBell, 3), {{M14 + 29, 0x03}}});

    constexpr int C15 = 181588 + 14;
    v.push_back({15, 1, "CallListAdr", [](datCh& c) { c.CallListAdr = 1234; },
                 [](const datCh& c) { return std::to_string(c.CallListAdr); }, Run(147536 + 4, 4)});
    v.push_back({15, 1, "Text", BYTES(Text), Run(C15, 12) + std::vector<Foot>{{C15 + 13, 0x20}}});
    v.push_back({15, 1, "CallListDigit", NUM(CallListDigit, 0xFE), {{C15 + 12, 0xFE}}});
    v.push_back({15, 1, "CallListUpdate", NUM(CallListUpdate, 1), {{C15 + 12, 0x01}}});
    v.push_back({15, 1, "CallListSel", NUM(CallListSel, 1), {{C15 + 13, 0x10}}});

    constexpr int Q = 182452 + 16, T16 = 182068 + 16;
    for (auto&& f : std::vector<Field>{
             {16, 1, "Text", BYTES(Text), Run(Q, 12)},
             {16, 1, "Text2", BYTES(Text2), Run(T16, 12)},
             {16, 1, "StatusBeep", NUM(StatusBeep, 0xF), {{Q + 12, 0x0F}}},
             {16, 1, "StatusHorn", NUM(StatusHorn, 1), {{Q + 12, 0x20}}},
             {16, 1, "StatusSFunc", NUM(StatusSFunc, 1), {{Q + 12, 0x40}}},
             {16, 1, "StatusAuto", NUM(StatusAuto, 1), {{Q + 12, 0x80}}},
             {16, 1, "StatusAux", NUM(StatusAux, 0xFF), {{Q + 13, 0xFF}}},
             {16, 1, "StatusAuxMode", NUM(StatusAuxMode, 3), {{Q + 14, 0x03}}},
             {16, 1, "StatusPriority", NUM(StatusPriority, 1), {{T16 + 12, 0x01}}},
             {16, 1, "StatusSelection", NUM(StatusSelection, 1), {{T16 + 12, 0x02}}},
         })
        v.push_back(f);

    v.push_back({17, 1, "Text", BYTES(Text), Run(147664 + 12, 12)});
    v.push_back({17, 1, "StatusSelection", NUM(StatusSelection, 1), {{182836 + 2, 0x02}}});

    for (auto [kind, base, size] : {std::tuple{18, 182852, 16}, std::tuple{28, 285316, 16}, std::tuple{32, 307616, 17}}) {
        const int a = base + size * 3;
        v.push_back({kind, 3, "IndId", NUM(IndId, 0xFFFFFFFFu), Run(a, 4)});
        v.push_back({kind, 3, "Text", BYTES(Text), Run(a + 4, 12)});
        if (kind == 32) v.push_back({kind, 3, "MsIndFleet", NUM(MsIndFleet, 0xFF), {{a + 16, 0xFF}}});
    }
    for (auto [kind, base, size] : {std::tuple{19, 190854, 14}, std::tuple{29, 293316, 14}, std::tuple{33, 316116, 15}}) {
        const int a = base + size * 3;
        v.push_back({kind, 3, "GrpId", NUM(GrpId, 0xFFFF), Run(a, 2)});
        v.push_back({kind, 3, "Text", BYTES(Text), Run(a + 2, 12)});
        if (kind == 33) v.push_back({kind, 3, "MsGrpFleet", NUM(MsGrpFleet, 0xFF), {{a + 14, 0xFF}}});
    }

    constexpr int N20 = 199578 + 4 * 41;
    v.push_back({20, 41, "NacRx", NUM(NacRx, 0xFFFF), Run(N20, 2)});
    v.push_back({20, 41, "NacTx", NUM(NacTx, 0xFFFF), Run(N20 + 2, 2)});
    v.push_back({20, 41, "NacSel", NUM(NacSel, 1), {{175641, 0x40}}});

    for (auto [index, Vs, Us] : {std::tuple{1, 202998 + 16, 201398 + 16}, std::tuple{224, 204646, 204614}}) {
        for (auto&& f : std::vector<Field>{
                 {21, index, "Text", BYTES(Text), Run(Vs, 12)},
                 {21, index, "Text2", BYTES(Text2), Run(Us, 12)},
                 {21, index, "DStatusBeep", NUM(DStatusBeep, 0xF), {{Vs + 12, 0x0F}}},
                 {21, index, "DStatusRx", NUM(DStatusRx, 1), {{Vs + 12, 0x10}}},
                 {21, index, "DStatusDecExo", NUM(DStatusDecExo, 1), {{Vs + 12, 0x80}}},
                 {21, index, "DStatusAux", NUM(DStatusAux, 0xFF), {{Vs + 13, 0xFF}}},
                 {21, index, "DStatusAuxMode", NUM(DStatusAuxMode, 3), {{Vs + 14, 0x03}}},
                 {21, index, "DStatusSelection", NUM(DStatusSelection, 1), {{Us + 12, 0x02}}},
             })
            v.push_back(f);
    }

    // Repeaters: item 5 is position 6 of group 0 (the open group).
    for (auto [kind, base] : {std::pair{22, 206002}, std::pair{27, 246916}}) {
        const int a = base + 50;
        for (auto&& f : std::vector<Field>{
                 {kind, 5, "RptRxFreq", FREQ(RptRxFreq), Freq(a)},
                 {kind, 5, "RptTxFreq", FREQ(RptTxFreq), Freq(a + 4)},
                 {kind, 5, "RxDat", NUM(RptFlags.RxDat, 1), {{a + 8, 0x80}}},
                 {kind, 5, "TxDat", NUM(RptFlags.TxDat, 1), {{a + 8, 0x40}}},
                 {kind, 5, "Nar", NUM(RptFlags.Nar, 1), {{a + 8, 0x20}}},
                 {kind, 5, "RptRfPo", NUM(RptRfPo, 3), {{a + 8, 0x18}}},
                 {kind, 5, "Phone", NUM(RptPhoneBankType.Phone, 1), {{a + 8, 0x01}}},
                 {kind, 5, "HomeRpt", NUM(Attr.HomeRpt, 1), {{kind == 22 ? 204978 + 7 : 245636 + 6, 0xFF}}},
             })
            v.push_back(f);
        if (kind == 27) v.push_back({kind, 5, "HomeRpt2", NUM(Attr.HomeRpt2, 1), {{245636 + 7, 0xFF}}});
    }

    constexpr int E23 = 234674 + 46;
    v.push_back({23, 1, "Digits", BYTES(Digits), Run(E23, 12)});
    v.push_back({23, 1, "LongText", BYTES(LongText), Run(E23 + 12, 24) + std::vector<Foot>{{E23 + 39, 0x04}}});
    v.push_back({23, 1, "DigitCount", NUM(DigitCount, 0xFF), {{E23 + 44, 0xFF}}});
    AddDecodeFlags(v, 23, 1, E23 + 37);

    constexpr int A = 237834 + 15;
    v.push_back({24, 1, "AliasText", BYTES(AliasText), Run(A, 12)});
    v.push_back({24, 1, "AliasBeepType", NUM(AliasBeepType, 0xF), {{A + 12, 0x0F}}});
    v.push_back({24, 1, "AliasStrip", NUM(AliasStrip, 1), {{A + 12, 0x80}}});
    v.push_back({24, 1, "AliasId", NUM(AliasId, 0xFFFF), Run(A + 13, 2)});

    v.push_back({25, 1, "EncryptionKey", NUM(EncryptionKey, 0xFFFF), Run(204704 + 2, 2)});
    v.push_back({26, 1, "Text", BYTES(Text), Run(147760 + 12, 12)});
    v.push_back({26, 1, "SdmSel", NUM(SdmSel, 1), {{204668 + 2, 0x02}}});

    constexpr int P = 162646 + 8;
    v.push_back({30, 1, "SystemCode", NUM(SystemCode, 0xFFFF), Run(P, 2)});
    v.push_back({30, 1, "IntegratorCode", NUM(IntegratorCode, 0xFF), {{P + 2, 0xFF}}});
    v.push_back({30, 1, "SiteId", NUM(SiteId, 0xFF), {{P + 3, 0xFF}}});
    v.push_back({30, 1, "SiteHome1", NUM(SiteHome1, 0xFF), {{P + 4, 0xFF}}});
    v.push_back({30, 1, "SiteHome2", NUM(SiteHome2, 0xFF), {{P + 5, 0xFF}}});
    v.push_back({30, 1, "AreaBit", NUM(SiteFlags.AreaBit, 1), {{P + 6, 0x80}}});
    v.push_back({30, 1, "Otau", NUM(SiteFlags.Otau, 1), {{303680 + 2, 0x80}}});

    // Item 5 is record 5 (position 6) of site 0.
    constexpr int R31 = 148246 + 50;
    v.push_back({31, 5, "RptRxFreq", FREQ(RptRxFreq), Freq(R31)});
    v.push_back({31, 5, "RptTxFreq", FREQ(RptTxFreq), Freq(R31 + 4)});
    v.push_back({31, 5, "RptRfPo", NUM(RptRfPo, 3), {{R31 + 8, 0xC0}}});
    v.push_back({31, 5, "SiteHome1", NUM(Attr.SiteHome1, 1), {{162646 + 4, 0xFF}}});
    v.push_back({31, 5, "SiteHome2", NUM(Attr.SiteHome2, 1), {{162646 + 5, 0xFF}}});

    v.push_back({34, 1, "ChGrpType", NUM(ChGrpType, 0xFF), {{325630 + 4, 0xFF}}});
    v.push_back({34, 1, "ChGrpNumber", NUM(ChGrpNumber, 0xFFFF), Run(325630 + 6, 2)});
    return v;
}

// The structure every case relies on: bank 0 holds every channel, site 0 has
// 30 repeaters.
cmcEeprom Base(uint8_t fill)
{
    cmcEeprom image = modeltest::MakeImage(fill);
    modeltest::Put16(image, 175790, 512);
    image.SetByte(148184, 30);
    return image;
}

// Decodes the field's item in a copy of base (the copy is the current image
// meanwhile), applies the change when asked and commits it.
cmcEeprom Encoded(const cmcEeprom& base, const Field& f, bool change, std::string* wrote, std::string* read)
{
    cmcEeprom copy = base;
    ModelContext context;
    context.CurrentImage = &copy;
    context.CurrentListRow = [] { return 0; };
    context.PriorityRemoval = [] { return false; };
    ScopedModelContext guard(context);
    datCh ch(&copy);
    ch.Unpack(f.kind, f.index);
    if (change) f.change(ch);
    if (wrote) *wrote = f.get(ch);
    ch.Commit();
    if (read) *read = f.get(ch);
    return copy;
}

} // namespace

TEST(datChFields, EachFieldChangesOnlyItsOwnBitsAndReadsBack)
{
    const std::vector<Field> fields = Fields();
    std::map<int, int> kinds;
    for (const auto& f : fields) ++kinds[f.kind];
    for (int kind = 1; kind < ItemKindCount; ++kind)
        if (kind != 12) {
            EXPECT_TRUE(kinds.count(kind)) << "kind " << kind << " has no field cases";
        }

    for (uint8_t fill : {uint8_t(0x00), uint8_t(0xFF)}) {
        const cmcEeprom base = Base(fill);
        for (const auto& f : fields) {
            const std::string label = "kind " + std::to_string(f.kind) + " " + f.name + " over 0x" +
                                      (fill ? std::string("FF") : std::string("00"));
            std::string before, wrote, read;
            const cmcEeprom plain = Encoded(base, f, false, &before, nullptr);
            const cmcEeprom changed = Encoded(base, f, true, &wrote, &read);
            EXPECT_NE(before, wrote) << label << ": the case does not change the field";
            EXPECT_EQ(read, wrote) << label << ": the field does not read back";

            std::map<int, int> allowed;
            for (const auto& foot : f.foot) allowed[foot.at] |= foot.mask;
            bool any = false;
            const uint8_t* p = plain.Data();
            const uint8_t* c = changed.Data();
            for (int at = 0; at < EepromMap::ImageSize;) {
                const auto diff = std::mismatch(p + at, p + EepromMap::ImageSize, c + at);
                if (diff.first == p + EepromMap::ImageSize) break;
                at = int(diff.first - p);
                const int bits = p[at] ^ c[at];
                const auto it = allowed.find(at);
                const int outside = bits & ~(it == allowed.end() ? 0 : it->second);
                EXPECT_EQ(outside, 0) << label << ": byte " << at << " bits 0x" << std::hex << outside;
                any = true;
                ++at;
            }
            EXPECT_TRUE(any) << label << ": nothing was written";
        }
    }
}
