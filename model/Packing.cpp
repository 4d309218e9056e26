#include "model/Packing.h"

#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ImageBytes.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "platform/base/Fatal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// How many entries a table of the pack list has.
enum class Count : uint8_t {
    Fixed,
    LowChannels,    // the channels of banks 0-126
    Bank127,        // bank 127's channels (and the budget's free slots)
    AllChannels,    // the channels of every bank, budget slots included
    ToneList,
    NacList,
    Ind18,
    Tg19,
    Ind28,
    Tg29,
    Ind32,
    Tg33,
    LtrRepeaters,
    ZephRepeaters,
};

// When a table is packed.
enum Condition : uint8_t {
    Always = 0,
    Lmr = 1,          // the model type is LMR
    NewTables = 2,    // not for a radio older than version 0x32
    NotLegacy16 = 4,  // not in the 16-bit layout
    LayoutBitSet = 8, // the layout byte's bit 7 is set
};

struct PackRow {
    int id;
    int source;  // working offset (for ids 4 and 5: of bank 127's first channel, see below)
    int size;
    Count count;
    int fixed;   // the count of a Fixed row
    uint8_t condition;
};

constexpr int kMainRecords = 130944;    // table 2, 30 bytes per channel
constexpr int kSecondRecords = 163346;  // table 3, 24 bytes per channel
constexpr int kMainSize = 30;
constexpr int kSecondSize = 24;
constexpr int kBank127Main = 4;
constexpr int kBank127Second = 5;
constexpr int kLastPartA = 128;  // the end of part A is recorded after this table

// The tables in packing order: part A up to table 128, then part B.
constexpr PackRow kRows[] = {
    {2, kMainRecords, kMainSize, Count::LowChannels, 0, Always},
    {7, 146304, 16, Count::Fixed, 1, Always},
    {15, 146320, 64, Count::Fixed, 17, Always},
    {6, 147880, 32, Count::Fixed, 1, Always},
    {62, 147912, 2, Count::Fixed, 128, Always},
    {18, 147408, 4, Count::Fixed, 32, Always},
    {27, 147536, 4, Count::Fixed, 32, Always},
    {32, 147664, 12, Count::Fixed, 8, Always},
    {72, 147760, 12, Count::Fixed, 10, Always},
    {kBank127Main, kMainRecords, kMainSize, Count::Bank127, 0, Always},
    {kBank127Second, kSecondRecords, kSecondSize, Count::Bank127, 0, Always},
    {84, 148168, 6, Count::Fixed, 1, Always},
    {102, 148174, 10, Count::Fixed, 1, Always},
    {112, 148184, 50, Count::Fixed, 1, Lmr | NewTables},
    {121, 148234, 12, Count::Fixed, 1, Lmr | NewTables},
    {120, 162646, 8, Count::Fixed, 48, Lmr | NewTables},
    {113, 148246, 10, Count::Fixed, 1440, Lmr | NewTables},
    {127, 163030, 20, Count::Fixed, 15, NewTables},
    {kLastPartA, 163330, 16, Count::Fixed, 1, NewTables},

    {3, kSecondRecords, kSecondSize, Count::LowChannels, 0, Always},
    {8, 175634, 486, Count::Fixed, 1, Always},
    {10, 176152, 24, Count::Fixed, 16, Always},
    {11, 176536, 49, Count::Fixed, 16, Always},
    {14, 179144, 4, Count::ToneList, 0, Always},
    {16, 179464, 34, Count::Fixed, 17, Always},
    {24, 182052, 16, Count::Fixed, 1, Always},
    {25, 182036, 16, Count::Fixed, 1, Always},
    {26, 181580, 8, Count::Fixed, 1, Always},
    {29, 181308, 34, Count::Fixed, 8, Always},
    {30, 182068, 16, Count::Fixed, 24, Always},
    {31, 182452, 16, Count::Fixed, 24, Always},
    {34, 182852, 16, Count::Ind18, 0, Always},
    {35, 190854, 14, Count::Tg19, 0, Always},
    {37, 197860, 58, Count::Fixed, 1, Always},
    {87, 204830, 16, Count::Fixed, 1, Always},
    {80, 198418, 1000, Count::Fixed, 1, Always},
    {81, 200398, 1000, Count::Fixed, 1, Always},
    {36, 199578, 4, Count::NacList, 0, Always},
    {9, 176120, 32, Count::Fixed, 1, Always},
    {12, 177320, 128, Count::Fixed, 1, Always},
    {13, 177448, 12, Count::Fixed, 128, Always},
    {17, 180042, 37, Count::Fixed, 8, Always},
    {19, 180338, 14, Count::Fixed, 32, Always},
    {20, 180786, 36, Count::Fixed, 11, Always},
    {21, 181182, 8, Count::Fixed, 1, Always},
    {22, 181190, 24, Count::Fixed, 2, Always},
    {28, 181588, 14, Count::Fixed, 32, Always},
    {97, 181304, 4, Count::Fixed, 1, Always},
    {33, 182836, 2, Count::Fixed, 8, Always},
    {40, 204846, 128, Count::Fixed, 1, Lmr},
    {41, 204974, 4, Count::Fixed, 1, Lmr},
    {42, 204978, 8, Count::Fixed, 128, Lmr},
    {43, 206002, 10, Count::LtrRepeaters, 0, Lmr},
    {45, 231602, 6, Count::AllChannels, 0, Lmr},
    {46, 234674, 46, Count::Fixed, 10, Lmr},
    {63, 201398, 16, Count::Fixed, 100, Always},
    {64, 202998, 16, Count::Fixed, 100, Always},
    {47, 235134, 12, Count::Fixed, 5, Always},
    {48, 235194, 20, Count::Fixed, 5, Always},
    {55, 235294, 6, Count::Fixed, 5, Always},
    {54, 235324, 18, Count::Fixed, 5, Always},
    {52, 235414, 6, Count::Fixed, 5, Always},
    {51, 235444, 12, Count::Fixed, 5, Always},
    {53, 235504, 8, Count::Fixed, 5, Always},
    {50, 235544, 8, Count::Fixed, 5, Always},
    {49, 235584, 8, Count::Fixed, 5, Always},
    {60, 235754, 208, Count::Fixed, 5, Always},
    {61, 236794, 208, Count::Fixed, 5, Always},
    {59, 237834, 15, Count::Fixed, 300, Always},
    {56, 235624, 10, Count::Fixed, 5, Always},
    {57, 235674, 10, Count::Fixed, 5, Always},
    {58, 235724, 6, Count::Fixed, 5, Always},
    {104, 242334, 4, Count::Fixed, 5, NotLegacy16},
    {105, 242354, 4, Count::Fixed, 5, NotLegacy16},
    {106, 242374, 8, Count::Fixed, 5, NotLegacy16},
    {65, 242414, 12, Count::Fixed, 1, Always},
    {66, 242426, 4, Count::Fixed, 128, Always},
    {67, 204704, 2, Count::Fixed, 63, Always},
    {82, 204690, 4, Count::Fixed, 1, Always},
    {83, 204694, 2, Count::Fixed, 1, Always},
    {68, 204696, 2, Count::Fixed, 1, Always},
    {69, 204698, 2, Count::Fixed, 1, Always},
    {70, 204700, 2, Count::Fixed, 1, Always},
    {71, 204702, 2, Count::Fixed, 1, Always},
    {73, 204668, 2, Count::Fixed, 10, Always},
    {74, 204688, 2, Count::Fixed, 1, Always},
    {75, 204662, 6, Count::Fixed, 1, Always},
    {76, 204598, 16, Count::Fixed, 2, Always},
    {77, 204630, 16, Count::Fixed, 2, Always},
    {78, 190852, 2, Count::Fixed, 1, Always},
    {79, 197854, 6, Count::Fixed, 1, Always},
    {85, 181276, 28, Count::Fixed, 1, Always},
    {86, 181248, 28, Count::Fixed, 1, Always},
    {88, 242938, 128, Count::Fixed, 1, Lmr},
    {89, 245636, 10, Count::Fixed, 128, Lmr},
    {90, 246916, 10, Count::ZephRepeaters, 0, Lmr},
    {91, 243076, 5, Count::AllChannels, 0, Lmr},
    {92, 285316, 16, Count::Ind28, 0, Lmr},
    {93, 293316, 14, Count::Tg29, 0, Lmr},
    {94, 300316, 1000, Count::Fixed, 1, Lmr},
    {95, 301316, 1000, Count::Fixed, 1, Lmr},
    {96, 243066, 10, Count::Fixed, 1, Lmr},
    {98, 302316, 54, Count::Fixed, 3, Lmr},
    {99, 302478, 34, Count::Fixed, 1, Always},
    {100, 302512, 10, Count::Fixed, 1, Always},
    {101, 302522, 26, Count::Fixed, 1, Always},
    {103, 302548, 2, Count::Fixed, 512, Lmr},
    {107, 303572, 16, Count::Fixed, 1, Lmr | NewTables},
    {108, 303596, 24, Count::Fixed, 1, NewTables},
    {109, 303588, 8, Count::Fixed, 1, NewTables},
    {110, 303624, 32, Count::Fixed, 1, Lmr | NewTables},
    {125, 303656, 24, Count::Fixed, 1, Lmr | NewTables | LayoutBitSet},
    {111, 303680, 2, Count::Fixed, 48, Lmr | NewTables},
    {114, 303776, 6, Count::Fixed, 128, Lmr | NewTables},
    {115, 304544, 6, Count::AllChannels, 0, Lmr | NewTables},
    {116, 307616, 17, Count::Ind32, 0, Lmr | NewTables},
    {117, 316116, 15, Count::Tg33, 0, Lmr | NewTables},
    {118, 323616, 1000, Count::Fixed, 1, Lmr | NewTables},
    {119, 324616, 1000, Count::Fixed, 1, Lmr | NewTables},
    {126, 325616, 14, Count::Fixed, 1, NewTables},
    {122, 325630, 4, Count::Fixed, 16, NewTables},
    {123, 325694, 2, Count::Fixed, 1, NewTables},
    {124, 303620, 4, Count::Fixed, 1, NewTables},
};

// MDC blocks and aliases, whose addresses the packer writes into address
// tables before they are copied.
constexpr int kMdcBlocksA = 60;
constexpr int kMdcBlocksB = 61;
constexpr int kMdcAliases = 59;
constexpr int kMdcBlockCount = 5;
constexpr int kMdcBlockSize = 208;
constexpr int kAddr16BlocksA = 235624;  // table 56: bytes 8-9 of each 10-byte record
constexpr int kAddr16BlocksB = 235674;  // table 57: bytes 7-8 of each 10-byte record
constexpr int kAddr16Aliases = 235724;  // table 58: 6-byte records
constexpr int kAddr32BlocksA = 242334;  // table 104
constexpr int kAddr32BlocksB = 242354;  // table 105
constexpr int kAddr32Aliases = 242374;  // table 106: 8-byte records
constexpr int kAliasRecords = 237834;
constexpr int kAliasCount = 300;
constexpr int kAliasSize = 15;
constexpr int kAliasTextBytes = 12;
constexpr int kAliasTextFlag = 12;  // byte 12 bit 6: the alias has a text

constexpr int kToneListMax = 80;
constexpr int kNacListMax = 80;
constexpr int kIdListMax = 500;
constexpr int kLtrRepeaterMax = 2560;
constexpr int kZephRepeaterMax = 3840;

// The counts of an image's variable tables.
struct Counts {
    int low = 0;       // channels of banks 0-126
    int bank127 = 0;   // bank 127's own channels
    int last = 0;      // bank 127's channels packed (with the budget's free slots)
    int tone = 0, nac = 0, ind18 = 0, tg19 = 0, ind28 = 0, tg29 = 0, ind32 = 0, tg33 = 0;
    int ltr = 0, zeph = 0;
};

int Counter(const ImageBytes& img, int at, int max) { return std::min(img.U16(at), max); }

int GroupTotal(const ImageBytes& img, int counts, int groups)
{
    int total = 0;
    for (int g = 0; g < groups; ++g) total += img.U8(counts + g);
    return total;
}

Counts ReadCounts(const cmcEeprom& image)
{
    const ImageBytes img(image);
    Counts c;
    const int used = UsedChannelCountInImage(image);
    c.bank127 = std::min(ReadBankChannelCount(image, WorkTables::Banks - 1), WorkTables::Channels);
    c.low = std::clamp(used - c.bank127, 0, WorkTables::Channels);
    c.bank127 = std::min(c.bank127, WorkTables::Channels - c.low);
    c.last = c.bank127;
    c.tone = Counter(img, EepromMap::CountToneList, kToneListMax);
    c.nac = Counter(img, EepromMap::CountNacList, kNacListMax);
    c.ind18 = Counter(img, EepromMap::CountIndKind18, kIdListMax);
    c.tg19 = Counter(img, EepromMap::CountTgKind19, kIdListMax);
    c.ind28 = Counter(img, EepromMap::CountIndKind28, kIdListMax);
    c.tg29 = Counter(img, EepromMap::CountTgKind29, kIdListMax);
    c.ind32 = Counter(img, EepromMap::CountIndKind32, kIdListMax);
    c.tg33 = Counter(img, EepromMap::CountTgKind33, kIdListMax);
    c.ltr = std::min(GroupTotal(img, WorkTables::LtrGroupCounts, WorkTables::Banks), kLtrRepeaterMax);
    c.zeph = std::min(GroupTotal(img, WorkTables::ZephGroupCounts, WorkTables::Banks), kZephRepeaterMax);
    return c;
}

int RowCount(const PackRow& row, const Counts& c)
{
    switch (row.count) {
    case Count::Fixed: return row.fixed;
    case Count::LowChannels: return c.low;
    case Count::Bank127: return c.last;
    case Count::AllChannels: return std::min(c.low + c.last, WorkTables::Channels);
    case Count::ToneList: return c.tone;
    case Count::NacList: return c.nac;
    case Count::Ind18: return c.ind18;
    case Count::Tg19: return c.tg19;
    case Count::Ind28: return c.ind28;
    case Count::Tg29: return c.tg29;
    case Count::Ind32: return c.ind32;
    case Count::Tg33: return c.tg33;
    case Count::LtrRepeaters: return c.ltr;
    case Count::ZephRepeaters: return c.zeph;
    }
    return 0;
}

// Whether the radio identified last takes the 16-bit layout only, or both
// layouts with 32-bit addressing of the kind that needs the packed budget.
bool BudgetOnPackedCopy(bool legacy16)
{
    const int flags = IdentityPayloadByte(IdentityPayload::LayoutFlags);
    const bool wide = (flags >> 6) & 1;
    const int kind = (flags >> 4) & 3;
    return legacy16 && (!wide || kind != 2);
}

// The number of free channel slots that the budget adds to bank 127.
int BudgetExtra(const cmcEeprom& image, bool legacy16)
{
    const cmcEeprom* working = CurrentModelContext().CurrentImage;
    const cmcEeprom& judged = working ? *working : image;
    const int room = WorkTables::Channels - UsedChannelCountInImage(image);
    const int fit = BudgetOnPackedCopy(legacy16) ? MaxChannelsThatFitPacked(judged, room) : MaxChannelsThatFit(judged, room);
    return std::max(fit, 0);
}

void ClearFields(ImageBytes& img, int first, int last) { img.Zero(first, last - first + 1); }

// The packer proper, over the raw bytes of a full image.
class Packer {
public:
    Packer(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16)
        : m_image(image), m_img(&image), m_bytes(image.Data()), m_legacy16(legacy16)
    {
        m_limit = legacy16 ? PackLayout::Limit16 : PackLayout::Limit;
        m_newTables = !(forRadio && IdentityPayloadByte(IdentityPayload::Version) < PackLayout::NewTablesVersion);
        const auto& kind = CurrentModelContext().MchRecordKind;
        m_lmr = (kind ? kind() : 1) == 1;
        m_layoutBit = m_img.Bit(PackLayout::LayoutByte, PackLayout::LayoutBit);
        m_counts = ReadCounts(image);
        const bool tactical = m_img.Bit(PackLayout::TacticalByte, PackLayout::TacticalBit);
        if (withBudget && tactical) m_extra = BudgetExtra(image, legacy16);
    }

    int Run()
    {
        std::memset(m_bytes + EepromMap::DynamicStart, 0, EepromMap::CloneSize - EepromMap::DynamicStart);
        ClearFields(m_img, EepromMap::End16PartA, EepromMap::Base16 + 1);
        ClearFields(m_img, EepromMap::Dir10Present, EepromMap::Dir10Address + 3);
        ClearFields(m_img, EepromMap::End32PartA, EepromMap::Base32 + 3);
        ClearFields(m_img, EepromMap::Dir12Present, EepromMap::Dir12Address + 3);
        m_img.SetU32(EepromMap::Base32, EepromMap::DynamicStart);
        m_img.SetU16(EepromMap::Base16, EepromMap::DynamicStart);
        m_offset = EepromMap::DynamicStart;

        for (const PackRow& row : kRows) {
            if (m_overflow) break;
            if (Applies(row)) {
                if (row.id == kBank127Main)
                    PackBank127();
                else if (row.id != kBank127Second)
                    PackTable(row, RowCount(row, m_counts));
            }
            if (row.id == kLastPartA && !m_overflow) {
                m_img.SetU32(EepromMap::End32PartA, uint32_t(m_offset));
                m_img.SetU16(EepromMap::End16PartA, uint32_t(m_offset) & 0xFFFF);
            }
        }
        if (!m_overflow) CheckDuplicates();
        if (!m_overflow) WriteDirectory();
        if (!m_overflow) WriteEndMarker();
        if (!m_overflow) {
            m_img.SetU32(EepromMap::End32, uint32_t(m_offset));
            m_img.SetU16(EepromMap::End16, uint32_t(m_offset) & 0xFFFF);
        }
        if (m_legacy16) {
            ClearFields(m_img, EepromMap::End32PartA, EepromMap::Base32 + 3);
            ClearFields(m_img, EepromMap::Dir12Present, EepromMap::Dir12Address + 3);
        } else {
            ClearFields(m_img, EepromMap::End16PartA, EepromMap::Base16 + 1);
            ClearFields(m_img, EepromMap::Dir10Present, EepromMap::Dir10Address + 3);
        }
        return m_overflow ? kPackOverflow : kPackOk;
    }

private:
    bool Applies(const PackRow& row) const
    {
        if ((row.condition & Lmr) && !m_lmr) return false;
        if ((row.condition & NewTables) && !m_newTables) return false;
        if ((row.condition & NotLegacy16) && m_legacy16) return false;
        if ((row.condition & LayoutBitSet) && !m_layoutBit) return false;
        return true;
    }

    bool Fits(int64_t bytes) const { return m_offset + bytes <= m_limit; }

    // Appends one table: directory entry, bytes, offset. The address and the
    // image offset coincide because the base is 512.
    void Append(int id, int source, int count, int size)
    {
        AddTable(m_image, uint32_t(m_offset), count, size, id);
        const int bytes = count * size;
        if (bytes > 0) std::memcpy(m_bytes + m_offset, m_bytes + source, size_t(bytes));
        m_offset += bytes;
    }

    void PackTable(const PackRow& row, int count)
    {
        if (!Fits(int64_t(count) * row.size)) {
            m_overflow = true;
            return;
        }
        if (row.id == kMdcBlocksA || row.id == kMdcBlocksB) WriteBlockAddresses(row.id);
        if (row.id == kMdcAliases) PrepareAliases();
        Append(row.id, row.source, count, row.size);
    }

    // Bank 127's main and second records, padded by the budget with the free
    // slots after its channels, as far as they fit; never fewer than its own.
    void PackBank127()
    {
        constexpr int pair = kMainSize + kSecondSize;
        int n = std::min(m_counts.bank127 + m_extra, WorkTables::Channels - m_counts.low);
        while (n > m_counts.bank127 && !Fits(int64_t(pair) * n)) --n;
        if (!Fits(int64_t(pair) * n)) {
            m_overflow = true;
            return;
        }
        m_counts.last = n;
        Append(kBank127Main, kMainRecords + kMainSize * m_counts.low, n, kMainSize);
        Append(kBank127Second, kSecondRecords + kSecondSize * m_counts.low, n, kSecondSize);
    }

    void WriteBlockAddresses(int id)
    {
        for (int k = 0; k < kMdcBlockCount; ++k) {
            const uint32_t address = uint32_t(m_offset + kMdcBlockSize * k);
            if (m_legacy16) {
                const int at = id == kMdcBlocksA ? kAddr16BlocksA + 10 * k + 8 : kAddr16BlocksB + 10 * k + 7;
                m_img.SetU16(at, address & 0xFFFF);
            } else {
                m_img.SetU32((id == kMdcBlocksA ? kAddr32BlocksA : kAddr32BlocksB) + 4 * k, address);
            }
        }
    }

    void PrepareAliases()
    {
        const uint32_t first = uint32_t(m_offset);
        const uint32_t last = first + kAliasSize * (kAliasCount - 1);
        for (int k = 0; k < kMdcBlockCount; ++k) {
            const int record = kAddr16Aliases + 6 * k;
            if (m_legacy16) {
                m_img.SetU16(record, first & 0xFFFF);
                m_img.SetU16(record + 2, last & 0xFFFF);
            } else {
                m_img.SetU32(kAddr32Aliases + 8 * k, first);
                m_img.SetU32(kAddr32Aliases + 8 * k + 4, last);
            }
            m_img.SetU16(record + 4, kAliasCount);
        }
        for (int i = 0; i < kAliasCount; ++i) {
            const uint8_t* a = m_bytes + kAliasRecords + kAliasSize * i;
            bool text = false;
            for (int k = 0; k < kAliasTextBytes && !text; ++k) text = a[k] != 0 && a[k] != ' ';
            m_img.SetBit(kAliasRecords + kAliasSize * i + kAliasTextFlag, 6, text);
        }
    }

    // Two entries with one id mean a broken table list: a configuration fault.
    void CheckDuplicates() const
    {
        auto check = [&](int countAt, int entries, int entrySize) {
            const int n = std::min(m_img.U16(countAt), EepromMap::MaxDirEntries);
            for (int a = 0; a < n; ++a)
                for (int b = a + 1; b < n; ++b) {
                    const int id = m_img.U16(entries + entrySize * a);
                    if (id != m_img.U16(entries + entrySize * b)) continue;
                    char message[128];
                    std::snprintf(message, sizeof message,
                                  "### BoobyTrap ###\nError Detect in Static2Dynaimc Sequence.\n\nDuplicate PTBL-ID : '%d'", id);
                    plat::Fatal(message);
                }
        };
        if (m_img.U16(EepromMap::Dir10Count) != 0) check(EepromMap::Dir10Count, EepromMap::Dir10Work, EepromMap::Dir10EntrySize);
        check(EepromMap::Dir12Count, EepromMap::Dir12Work, EepromMap::Dir12EntrySize);
    }

    void WriteDirectory()
    {
        const int present = m_legacy16 ? EepromMap::Dir10Present : EepromMap::Dir12Present;
        const int countAt = m_legacy16 ? EepromMap::Dir10Count : EepromMap::Dir12Count;
        const int entrySize = m_legacy16 ? EepromMap::Dir10EntrySize : EepromMap::Dir12EntrySize;
        const int work = m_legacy16 ? EepromMap::Dir10Work : EepromMap::Dir12Work;
        const int count = std::min(m_img.U16(countAt), EepromMap::MaxDirEntries);
        if (count == 0) return;
        if (!Fits(int64_t(entrySize) * count)) {
            m_overflow = true;
            return;
        }
        m_img.SetU16(present, 1);
        m_img.SetU16(present + 2, uint32_t(entrySize));
        if (m_legacy16)
            m_img.SetU16(EepromMap::Dir10Address, uint32_t(m_offset));
        else
            m_img.SetU32(EepromMap::Dir12Address, uint32_t(m_offset));
        std::memcpy(m_bytes + m_offset, m_bytes + work, size_t(entrySize * count));
        m_offset += entrySize * count;
    }

    void WriteEndMarker()
    {
        if (!Fits(EepromMap::MarkerSize)) {
            m_overflow = true;
            return;
        }
        std::memcpy(m_bytes + m_offset, EepromMap::Marker, EepromMap::MarkerSize);
        m_offset += EepromMap::MarkerSize;
    }

    cmcEeprom& m_image;
    ImageBytes m_img;
    uint8_t* m_bytes;
    bool m_legacy16;
    int m_limit = PackLayout::Limit;
    bool m_newTables = true;
    bool m_lmr = true;
    bool m_layoutBit = false;
    Counts m_counts;
    int m_extra = 0;
    int m_offset = EepromMap::DynamicStart;
    bool m_overflow = false;
};

uint32_t PackedEnd(const ImageBytes& img, int at32, int at16)
{
    const uint32_t wide = img.U32(at32);
    return wide != 0 ? wide : uint32_t(img.U16(at16));
}

} // namespace

int Static2Dynamic(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16)
{
    // Only a full image has working tables to pack.
    if (image.Size() < EepromMap::ImageSize) return kPackOverflow;
    return Packer(image, forRadio, withBudget, legacy16).Run();
}

int PackWithLayoutFlag(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16)
{
    ImageBytes img(&image);
    if (!img.Bit(PackLayout::LayoutByte, PackLayout::LayoutBit)) {
        img.SetBit(PackLayout::LayoutByte, PackLayout::LayoutBit, true);
        if (Static2Dynamic(image, forRadio, withBudget, legacy16) != kPackOk)
            img.SetBit(PackLayout::LayoutByte, PackLayout::LayoutBit, false);
    }
    return Static2Dynamic(image, forRadio, withBudget, legacy16);
}

int PackNewLayout(cmcEeprom& image, bool forRadio, bool withBudget)
{
    return PackWithLayoutFlag(image, forRadio, withBudget, false);
}

int Pack(cmcEeprom& image) { return PackNewLayout(image, false, false); }

int PackPlain(cmcEeprom& image) { return Static2Dynamic(image, false, false, false); }

bool ChannelsFit(const cmcEeprom& image, int n, bool strict)
{
    if (n < 0) return false;
    const ImageBytes img(image);
    const int64_t limit = strict ? PackLayout::Limit16 : PackLayout::Limit;
    const uint32_t endA = PackedEnd(img, EepromMap::End32PartA, EepromMap::End16PartA);
    const uint32_t end = PackedEnd(img, EepromMap::End32, EepromMap::End16);
    // An end that was never written leaves no free space.
    const int64_t freeA = endA == 0 ? 0 : limit - int64_t(endA);
    const int64_t free = end == 0 ? 0 : limit - int64_t(end);
    // A channel of banks 0-126 grows part A by its 30-byte main record and
    // the rest by its second record and per-channel data.
    const int64_t growA = int64_t(kMainSize) * n;
    const int64_t growB = int64_t(41) * n;
    return freeA > growA && free - growA >= 0 && growB <= free - growA;
}

int MaxChannelsThatFit(const cmcEeprom& image, int n)
{
    for (int m = n; m >= 0; --m)
        if (ChannelsFit(image, m, false)) return m;
    return -1;
}

int MaxChannelsThatFitPacked(const cmcEeprom& image, int n)
{
    cmcEeprom copy(image);
    if (PackWithLayoutFlag(copy, true, false, true) != kPackOk) return 0;
    for (int m = n; m >= 0; --m)
        if (ChannelsFit(copy, m, true)) return m;
    return -1;
}
