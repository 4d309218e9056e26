#include "tests/app/FullImage.h"

#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indMain.h"
#include "ui/cuiMain.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace apptest {

namespace {

constexpr int kLmrChannel = 1, kPmrChannel = 2;
constexpr int kToneList = 7, kNacList = 20;
constexpr int kLtrRepeaters = 22, kZephRepeaters = 27, kSites = 30, kSiteRepeaters = 31;
constexpr int kMskIdGroups = 14, kMskIdGroupCount = 8;
constexpr int kIdLists[] = {18, 28, 32};
constexpr int kTalkGroupLists[] = {19, 29, 33};
constexpr int kListEntries = 500;   // each ID and talk-group list
constexpr int kToneEntries = 80;    // the tone list and the NAC channels
constexpr int kChannelsPerBank = WorkTables::Channels / WorkTables::Banks;

// A name of twelve characters, blank-padded, as the LCD texts are stored.
void Name(char (&text)[12], const char* format, int n)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, n);
    std::memset(text, ' ', sizeof text);
    std::memcpy(text, buffer, std::min(std::strlen(buffer), sizeof text));
}

// Each entry of a list from its template, changed by fill and marked in use.
template <typename Fill>
void FillEntries(cmcEeprom& image, int kind, int first, int count, Fill fill)
{
    datCh item(&image);
    for (int i = first; i < first + count; ++i) {
        item.Unpack(kind, i);
        fill(item, i - first);
        item.State.InUse = 1;
        item.Pack(kind, i);
    }
}

void FillChannels(cmcEeprom& image, int modelType)
{
    const std::vector<BankType> types = BankTypes(modelType);
    const int kind = modelType == indMain::ModelTypePmr ? kPmrChannel : kLmrChannel;
    const int base = modelType == indMain::ModelTypePmr ? 440000000 : 146000000;
    for (int b = 0; b < WorkTables::Banks; ++b) {
        const BankType type = types[size_t(b) % types.size()];
        SetBankChannelCount(b, kChannelsPerBank);
        SetSmarTrunkBank(b, type == BankType::SmarTrunk);
        SetLtrBank(b, type == BankType::Ltr);
        SetZephBank(b, type == BankType::Zeph);
        SetVoteZoneBank(b, type == BankType::VoteZone);
        SetMultisiteBank(b, type == BankType::Multisite);
        datCh bank(&image);
        bank.Unpack(13, b);
        Name(bank.Text, "Bank %d", b + 1);
        if (type == BankType::Ltr) bank.LtrHomeRpt = 1;
        if (type == BankType::Zeph) bank.ZephHomeRpt = 1;
        bank.Pack(13, b);
    }
    FillEntries(image, kind, 0, WorkTables::Channels, [&](datCh& ch, int n) {
        ch.RxFreq = base + 12500 * n;
        ch.TxFreq = n % 3 ? ch.RxFreq : ch.RxFreq + 5000000;
        ch.State.Active = 1;
        ch.ChFlagsA.Inh = 0;
        Name(ch.Text, "CH %d", n + 1);
    });
}

// The repeaters of every LTR and ZEPH bank, as many as a bank takes.
void FillBankRepeaters(cmcEeprom& image, int modelType)
{
    const std::vector<BankType> types = BankTypes(modelType);
    for (int kind : {kLtrRepeaters, kZephRepeaters}) {
        const BankType wanted = kind == kLtrRepeaters ? BankType::Ltr : BankType::Zeph;
        for (int b = 0; b < WorkTables::Banks; ++b)
            SetGroupItemCount(b, types[size_t(b) % types.size()] == wanted ? ItemsPerGroup(kind) : 0, kind);
        for (int b = 0; b < WorkTables::Banks; ++b) {
            const int n = GroupItemCount(b, kind);
            FillEntries(image, kind, GroupFirstItem(b, kind), n, [&](datCh& r, int k) {
                r.RptRxFreq = 851000000 + 25000 * k;
                r.RptTxFreq = r.RptRxFreq - 45000000;
            });
        }
    }
}

void FillSites(cmcEeprom& image)
{
    while (MultisiteSiteCount() < WorkTables::Sites) IncMultisiteSiteCount();
    for (int s = 0; s < WorkTables::Sites; ++s) SetGroupItemCount(s, ItemsPerGroup(kSiteRepeaters), kSiteRepeaters);
    FillEntries(image, kSites, 0, WorkTables::Sites, [&](datCh& site, int s) {
        site.SiteId = uint8_t(s + 1);
        site.SiteHome1 = 1;
    });
    FillEntries(image, kSiteRepeaters, 0, ListItemTotal(kSiteRepeaters), [&](datCh& r, int k) {
        r.RptRxFreq = 935000000 + 12500 * k;
        r.RptTxFreq = r.RptRxFreq - 39000000;
    });
}

void FillIdLists(cmcEeprom& image, int modelType)
{
    const int lists = modelType == indMain::ModelTypePmr ? 1 : 3;
    for (int l = 0; l < lists; ++l) {
        SetIndListCount(kListEntries, kIdLists[l]);
        FillEntries(image, kIdLists[l], 0, kListEntries, [&](datCh& id, int k) {
            id.IndId = uint32_t(1001 + k);
            Name(id.Text, "Unit %d", k + 1);
        });
        SetTgListCount(kListEntries, kTalkGroupLists[l]);
        FillEntries(image, kTalkGroupLists[l], 0, kListEntries, [&](datCh& tg, int k) {
            tg.GrpId = uint32_t(101 + k);
            Name(tg.Text, "Group %d", k + 1);
        });
    }
}

void FillToneLists(cmcEeprom& image)
{
    SetCToneListCount(kToneEntries);
    FillEntries(image, kToneList, 0, kToneEntries, [&](datCh& t, int k) {
        t.RxTone.On = t.TxTone.On = 1;
        t.RxTone.AnalogIndex = t.TxTone.AnalogIndex = uint16_t(k % 40);
    });
    SetNacChListCount(kToneEntries);
    // A NAC channel's codes are numbers 0 to 63.
    FillEntries(image, kNacList, 0, kToneEntries, [&](datCh& nac, int k) {
        nac.NacRx = nac.NacTx = uint32_t(k % 64);
    });
}

// The MSK ID groups of a PMR radio: group 0 lies below the own ID, the
// others from it on, each at an address of its own well above it (the
// initial file puts them all at the own ID, 1), so that a higher own ID
// still leaves them in their ranges.
void FillMskIdGroups(cmcEeprom& image)
{
    datCh group(&image);
    for (int g = 0; g < kMskIdGroupCount; ++g) {
        group.Unpack(kMskIdGroups, g);
        group.MskAdr = g == 0 ? 0 : uint32_t(100 * g);
        Name(group.Text, "Group %d", g);
        group.Pack(kMskIdGroups, g);
    }
}

// Whether the working tables fit the clone memory when packed.
bool Fits(const cmcEeprom& image)
{
    cmcEeprom packed(image);
    return g_Main->Pack(packed) == kPackOk;
}

// The clone memory holds less than every list at its size: the lists of
// `kinds` (pairs of an ID list and a talk-group list) are shortened alike
// to the most entries that still fit. True when the image fits.
bool ShortenToFit(cmcEeprom& image, std::initializer_list<int> kinds)
{
    auto use = [&](int n) {
        for (int kind : kinds) {
            if (std::find(std::begin(kIdLists), std::end(kIdLists), kind) != std::end(kIdLists)) SetIndListCount(n, kind);
            else SetTgListCount(n, kind);
        }
    };
    if (Fits(image)) return true;
    int fits = 0, fails = kListEntries;
    while (fails - fits > 1) {
        const int n = (fits + fails) / 2;
        use(n);
        (Fits(image) ? fits : fails) = n;
    }
    use(fits);
    return fits > 0 && Fits(image);
}

}  // namespace

std::vector<BankType> BankTypes(int modelType)
{
    if (modelType == indMain::ModelTypePmr) return {BankType::Conventional, BankType::SmarTrunk, BankType::VoteZone};
    return {BankType::Conventional, BankType::SmarTrunk, BankType::Ltr,
            BankType::Zeph,         BankType::VoteZone,  BankType::Multisite};
}

void FillFullImage(int modelType)
{
    cmcEeprom& image = g_Main->CurrentImage();
    FillChannels(image, modelType);
    FillToneLists(image);
    FillIdLists(image, modelType);
    if (modelType == indMain::ModelTypeLmr) {
        FillBankRepeaters(image, modelType);
        FillSites(image);
    } else {
        FillMskIdGroups(image);
    }
    if (!ShortenToFit(image, {28, 29, 32, 33})) ShortenToFit(image, {18, 19});
}

}  // namespace apptest
