#include "model/EepromMap.h"
#include "model/Unpacking.h"

#include <algorithm>
#include <array>
#include <iterator>

// The two descriptor lists of the unpack, kept apart from the unpack itself
// so that the build-time generator of the initial files needs nothing else
// of the model.

namespace {

constexpr int kFillOnceIds[] = {7,  15, 84, 102, 112, 121, 6,   128, 8,   9,   12,  16,  21,  85,  86,  23,
                                97, 29, 26, 25,  24,  30,  31,  78,  79,  37,  87,  80,  81,  63,  64,  76,
                                77, 75, 74, 67,  82,  83,  68,  69,  70,  71,  40,  41,  65,  99,  100, 101,
                                88, 94, 95, 96,  107, 108, 109, 110, 125, 118, 119, 126, 122, 123, 124};
constexpr int kFillEntriesIds[] = {18, 127, 17, 19, 20, 22, 46, 47, 48, 55, 54, 52, 51, 53, 50, 49, 56, 57, 58, 60, 61, 98};

// Rows of the default list that describe the whole table as one entry (or,
// for the channel groups, in entries of their own size).
struct Override {
    int id;
    int size;
    int count;
};
constexpr Override kOverrides[] = {{15, 1088, 1}, {16, 578, 1}, {29, 272, 1}, {30, 384, 1}, {31, 384, 1}, {63, 1600, 1},
                                   {64, 1600, 1}, {76, 32, 1},  {77, 32, 1},  {67, 126, 1}, {122, 64, 16}};

template <size_t N>
bool Contains(const int (&ids)[N], int id)
{
    return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

struct Descriptors {
    std::array<PtblDescriptor, kPtblDescriptorCount> unpack{};
    std::array<PtblDescriptor, kPtblDescriptorCount> defaults{};
};

const Descriptors& AllDescriptors()
{
    static const Descriptors d = [] {
        Descriptors out;
        const auto tables = WorkingTables();
        for (size_t k = 0; k < out.unpack.size() && k < tables.size(); ++k) {
            const WorkingTable& t = tables[k];
            out.unpack[k] = {t.Id, t.Offset, t.EntrySize, t.EntryCount, kFillOnce};
            PtblDescriptor& def = out.defaults[k];
            def = out.unpack[k];
            def.FillMode = Contains(kFillOnceIds, t.Id) ? kFillOnce : Contains(kFillEntriesIds, t.Id) ? kFillEntries : kFillTemplate;
            for (const Override& o : kOverrides)
                if (o.id == t.Id) {
                    def.EntrySize = o.size;
                    def.EntryCount = o.count;
                }
        }
        return out;
    }();
    return d;
}

} // namespace

std::span<const PtblDescriptor> UnpackDescriptors() { return AllDescriptors().unpack; }

std::span<const PtblDescriptor> DefaultDescriptors() { return AllDescriptors().defaults; }
