#pragma once
// Clone memories written by hand for the unpacking tests: tables stored back
// to back from 512 with a directory in either form, the way a radio or a
// foreign program might have written them.
#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "tests/model/ModelTestImage.h"

#include <cstdint>
#include <vector>

namespace modeltest {

struct StoredTable {
    int id;
    int size;   // stored entry size
    int count;  // stored entry count
    std::vector<uint8_t> bytes;  // size x count bytes (shorter: zero-padded)
};

// Writes the tables, the directory (12-byte form, or 10-byte with wide ==
// false) and the end marker into the clone memory of the image; the header
// carries the dynamic base `base` (512 unless a foreign layout is wanted).
inline void StoreTables(cmcEeprom& image, const std::vector<StoredTable>& tables, bool wide = true, int base = 512)
{
    int offset = EepromMap::DynamicStart;
    std::vector<std::vector<int>> directory;
    for (const StoredTable& t : tables) {
        const int bytes = t.size * t.count;
        for (int k = 0; k < bytes; ++k) image.SetByte(offset + k, k < int(t.bytes.size()) ? t.bytes[size_t(k)] : 0);
        directory.push_back({t.id, t.size, t.count, offset - EepromMap::DynamicStart + base});
        offset += bytes;
    }
    const int dirAddress = offset - EepromMap::DynamicStart + base;
    for (const auto& e : directory) {
        Put16(image, offset, e[0]);
        Put16(image, offset + 2, e[1]);
        Put16(image, offset + 4, e[2]);
        if (wide) {
            Put16(image, offset + 6, 0);
            Put32(image, offset + 8, uint32_t(e[3]));
            offset += 12;
        } else {
            Put16(image, offset + 6, e[3]);
            offset += 10;
        }
    }
    for (int k = 0; k < 8; ++k) image.SetByte(offset + k, EepromMap::Marker[k]);
    offset += 8;
    const int end = offset - EepromMap::DynamicStart + base;
    if (wide) {
        Put32(image, EepromMap::End32PartA, uint32_t(dirAddress));
        Put32(image, EepromMap::End32, uint32_t(end));
        Put32(image, EepromMap::Base32, uint32_t(base));
        Put16(image, EepromMap::Dir12Present, 1);
        Put16(image, EepromMap::Dir12Size, 12);
        Put16(image, EepromMap::Dir12Count, int(tables.size()));
        Put32(image, EepromMap::Dir12Address, uint32_t(dirAddress));
    } else {
        Put16(image, EepromMap::End16PartA, dirAddress);
        Put16(image, EepromMap::End16, end);
        Put16(image, EepromMap::Base16, base);
        Put16(image, EepromMap::Dir10Present, 1);
        Put16(image, EepromMap::Dir10Size, 10);
        Put16(image, EepromMap::Dir10Count, int(tables.size()));
        Put16(image, EepromMap::Dir10Address, dirAddress);
    }
}

// size x count bytes counting up from `first`.
inline std::vector<uint8_t> Counting(int size, int count, int first = 1)
{
    std::vector<uint8_t> v(size_t(size * count));
    for (size_t k = 0; k < v.size(); ++k) v[k] = uint8_t(first + int(k));
    return v;
}

} // namespace modeltest
