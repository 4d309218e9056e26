#include "model/Unpacking.h"

#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ImageBytes.h"
#include "model/ModelContext.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/datCh.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace {

// Where a stored table starts in the image.
int64_t StoredStart(const cmcEeprom& image, const PtblEntry& entry)
{
    return EepromMap::DynamicStart + (int64_t(entry.Address) - int64_t(DynamicBase(image)));
}

// Copies length bytes from the clone memory into the working area; nothing
// when the source does not lie wholly inside the clone memory or the
// destination not wholly inside [destFirst, destEnd).
void CopyStored(cmcEeprom& image, int64_t source, int64_t dest, int length, int64_t destFirst, int64_t destEnd)
{
    if (length <= 0 || source < 0 || source + length > EepromMap::CloneSize) return;
    if (dest < destFirst || dest + length > destEnd) return;
    uint8_t* bytes = image.Data();
    std::memmove(bytes + dest, bytes + source, size_t(length));
}

// List counters set by the unpacks for tables that hold the items of a list.
void SetListCounter(cmcEeprom& image, int id, int n)
{
    switch (id) {
    case 14: WriteCToneListCount(image, n); break;
    case 36: WriteNacChListCount(image, n); break;
    case 34: WriteIndListCount(image, n, 18); break;
    case 92: WriteIndListCount(image, n, 28); break;
    case 116: WriteIndListCount(image, n, 32); break;
    case 35: WriteTgListCount(image, n, 19); break;
    case 93: WriteTgListCount(image, n, 29); break;
    case 117: WriteTgListCount(image, n, 33); break;
    default: break;
    }
}

constexpr int kToneListDefault = 40;
constexpr int kNacListDefault = 40;
constexpr int kIdListDefault = 1;

int DefaultListCount(int id)
{
    switch (id) {
    case 14: return kToneListDefault;
    case 36: return kNacListDefault;
    case 34:
    case 92:
    case 116:
    case 35:
    case 93:
    case 117: return kIdListDefault;
    default: return -1;
    }
}

// Table 24 byte 10: a GPS interval of 0 becomes 10 units.
constexpr int kGpsInterval = 182062;
constexpr int kGpsIntervalDefault = 10;

// The channels of bank 127 are stored apart in tables 4 and 5.
constexpr int kChannelMain = 2;
constexpr int kChannelSecond = 3;
constexpr int kBank127Main = 4;
constexpr int kBank127Second = 5;
constexpr int kMainRecords = 130944;
constexpr int kSecondRecords = 163346;
constexpr int kMainSize = 30;
constexpr int kSecondSize = 24;
constexpr int kBank127Count = WorkTables::BankCounts + 2 * 127;

int ChannelRecordKind()
{
    const auto& kind = CurrentModelContext().MchRecordKind;
    return kind ? kind() : 1;
}

// Copies the records of bank 127 from its stored table (its own stride)
// into channels first.., and the records of the channels after them from the
// initial image.
void RebuildRecords(cmcEeprom& image, const PtblEntry& stored, int first, int count, int records, int recordSize)
{
    const int64_t start = StoredStart(image, stored);
    const int length = std::min(stored.Size, recordSize);
    const int64_t tableEnd = records + int64_t(recordSize) * WorkTables::Channels;
    for (int u = 0; u < count; ++u)
        CopyStored(image, start + int64_t(u) * stored.Size, records + int64_t(recordSize) * (first + u), length, records,
                   tableEnd);
    const cmcEeprom* initial = CurrentModelContext().InitialImage;
    if (initial == nullptr || initial->Size() < EepromMap::ImageSize) return;
    const int from = first + count;
    if (from >= WorkTables::Channels) return;
    std::memcpy(image.Data() + records + recordSize * from, initial->Data() + records + recordSize * from,
                size_t(recordSize * (WorkTables::Channels - from)));
}

// The 1-based position inside bank 127 of its last channel in use, the bank
// spanning count channels of the image.
int LastUsedPositionOfBank127(cmcEeprom& image, int count)
{
    const int first = BankFirstChannelInImage(image, 127);
    const int end = std::min(first + count, WorkTables::Channels);
    datCh ch(&image);
    const int kind = ChannelRecordKind();
    for (int c = end - 1; c >= first; --c)
        if (ch.Unpack(kind, c).State.InUse) return c - first + 1;
    return 0;
}

void RebuildChannels(cmcEeprom& image)
{
    PtblEntry main, second, last, lastSecond;
    if (!FindTable(image, kChannelMain, main) || !FindTable(image, kChannelSecond, second) ||
        !FindTable(image, kBank127Main, last) || !FindTable(image, kBank127Second, lastSecond))
        return;
    const int nFirst = std::min(main.Count, WorkTables::Channels);
    // Never past the last channel, whatever the stored counts say.
    const int nLast = std::min(last.Count, WorkTables::Channels - nFirst);
    RebuildRecords(image, last, nFirst, nLast, kMainRecords, kMainSize);
    RebuildRecords(image, lastSecond, nFirst, nLast, kSecondRecords, kSecondSize);

    ImageBytes img(&image);
    const int stored = img.U16(kBank127Count);
    img.SetU16(kBank127Count, uint32_t(nLast));
    const int used = LastUsedPositionOfBank127(image, nLast);
    // The free slots that a budgeted pack added after bank 127's channels
    // do not count; the channels in use always do.
    img.SetU16(kBank127Count, uint32_t(std::max(stored, used)));
    SanitiseCounts(image);
    Pack(image);
}

// The counters of the individual-ID and talk-group lists: {kind, place}.
constexpr std::pair<int, int> kIdCounters[] = {
    {18, EepromMap::CountIndKind18}, {28, EepromMap::CountIndKind28}, {32, EepromMap::CountIndKind32}};
constexpr std::pair<int, int> kTgCounters[] = {
    {19, EepromMap::CountTgKind19}, {29, EepromMap::CountTgKind29}, {33, EepromMap::CountTgKind33}};

// The running-sum rule over count values at `at` (width bytes each).
void LimitRunningSum(ImageBytes& img, int at, int groups, int width, int total)
{
    int64_t sum = 0;
    for (int g = 0; g < groups; ++g) {
        const int64_t place = at + int64_t(width) * g;
        sum += width == 2 ? img.U16(place) : img.U8(place);
        if (sum <= total) continue;
        if (width == 2)
            img.SetU16(place, 0);
        else
            img.SetU8(place, 0);
    }
}

void LimitGroups(ImageBytes& img, int at, int groups, int perGroup, int total)
{
    for (int g = 0; g < groups; ++g) img.SetU8(at + g, std::min(img.U8(at + g), perGroup));
    LimitRunningSum(img, at, groups, 1, total);
}

} // namespace

void UnpackDefaultTable(cmcEeprom& image, int row)
{
    if (row < 0 || row >= kPtblDescriptorCount || image.Size() < EepromMap::ImageSize) return;
    const PtblDescriptor& d = DefaultDescriptors()[size_t(row)];
    PtblEntry stored;
    if (!FindTable(image, d.Id, stored)) return;
    if (const int n = DefaultListCount(d.Id); n >= 0) SetListCounter(image, d.Id, n);

    const int64_t start = StoredStart(image, stored);
    const PtblDescriptor& table = UnpackDescriptors()[size_t(row)];
    const int64_t destEnd = table.Destination + int64_t(table.EntrySize) * table.EntryCount;
    switch (d.FillMode) {
    case kFillOnce: CopyStored(image, start, d.Destination, d.EntrySize, d.Destination, destEnd); break;
    case kFillTemplate:
        for (int k = 0; k < d.EntryCount; ++k)
            CopyStored(image, start, d.Destination + int64_t(d.EntrySize) * k, d.EntrySize, d.Destination, destEnd);
        break;
    default: {
        const int n = std::min(d.EntryCount, stored.Count);
        for (int k = 0; k < n; ++k)
            CopyStored(image, start + int64_t(k) * stored.Size, d.Destination + int64_t(d.EntrySize) * k, d.EntrySize,
                       d.Destination, destEnd);
        break;
    }
    }
}

void UnpackDefaults(cmcEeprom& image)
{
    if (image.Size() < EepromMap::ImageSize || !CopyDirectory(image)) return;
    for (int row = 0; row < kPtblDescriptorCount; ++row) UnpackDefaultTable(image, row);
    SanitiseCounts(image);
}

void UnpackTable(cmcEeprom& image, int row)
{
    if (row < 0 || row >= kPtblDescriptorCount || image.Size() < EepromMap::ImageSize) return;
    const PtblDescriptor& d = UnpackDescriptors()[size_t(row)];
    PtblEntry stored;
    if (!FindTable(image, d.Id, stored)) return;
    const int n = d.EntryCount == 1 ? 1 : std::min(d.EntryCount, stored.Count);
    const int size = std::min(d.EntrySize, stored.Size);
    SetListCounter(image, d.Id, n);

    const int64_t start = StoredStart(image, stored);
    const int64_t destEnd = d.Destination + int64_t(d.EntrySize) * d.EntryCount;
    for (int k = 0; k < n; ++k)
        CopyStored(image, start + int64_t(k) * stored.Size, d.Destination + int64_t(d.EntrySize) * k, size, d.Destination,
                   destEnd);

    if (d.Id == 24 && image.Data()[kGpsInterval] == 0) image.Data()[kGpsInterval] = kGpsIntervalDefault;
}

void Dynamic2Static(cmcEeprom& image)
{
    if (image.Size() < EepromMap::ImageSize || !CopyDirectory(image)) return;
    for (int row = 0; row < kPtblDescriptorCount; ++row) UnpackTable(image, row);
    SanitiseCounts(image);
    RebuildChannels(image);
}

void SanitiseCounts(cmcEeprom& image)
{
    if (image.Size() < EepromMap::ImageSize) return;
    ImageBytes img(&image);
    LimitRunningSum(img, WorkTables::BankCounts, WorkTables::Banks, 2, CountLimits::Channels);
    LimitGroups(img, WorkTables::LtrGroupCounts, WorkTables::Banks, CountLimits::LtrPerGroup, CountLimits::LtrTotal);
    LimitGroups(img, WorkTables::ZephGroupCounts, WorkTables::Banks, CountLimits::ZephPerGroup, CountLimits::ZephTotal);
    LimitGroups(img, WorkTables::MultisiteGroupCounts, WorkTables::Sites, CountLimits::SiteRepeaters,
                CountLimits::SiteRepeaters * CountLimits::Sites);
    img.SetU8(WorkTables::MultisiteSiteCount, std::min(img.U8(WorkTables::MultisiteSiteCount), CountLimits::Sites));
    // The counter writers keep each counter within its list's size.
    WriteCToneListCount(image, ReadCToneListCount(image));
    WriteNacChListCount(image, ReadNacChListCount(image));
    for (const auto& [kind, at] : kIdCounters) WriteIndListCount(image, img.U16(at), kind);
    for (const auto& [kind, at] : kTgCounters) WriteTgListCount(image, img.U16(at), kind);
}
