#include "model/EepromMap.h"

#include "core/cmcEeprom.h"
#include "model/ImageBytes.h"

#include <algorithm>

namespace {

const WorkingTable kWorkingTables[] = {
    {2, 130944, 30, 512},
    {7, 146304, 16, 1},
    {15, 146320, 64, 17},
    {18, 147408, 4, 32},
    {27, 147536, 4, 32},
    {32, 147664, 12, 8},
    {84, 148168, 6, 1},
    {102, 148174, 10, 1},
    {112, 148184, 50, 1},
    {121, 148234, 12, 1},
    {120, 162646, 8, 48},
    {113, 148246, 10, 1440},
    {72, 147760, 12, 10},
    {6, 147880, 32, 1},
    {62, 147912, 2, 128},
    {127, 163030, 20, 15},
    {128, 163330, 16, 1},
    {3, 163346, 24, 512},
    {8, 175634, 486, 1},
    {9, 176120, 32, 1},
    {10, 176152, 24, 16},
    {11, 176536, 49, 16},
    {12, 177320, 128, 1},
    {13, 177448, 12, 128},
    {14, 179144, 4, 80},
    {16, 179464, 34, 17},
    {17, 180042, 37, 8},
    {19, 180338, 14, 32},
    {20, 180786, 36, 11},
    {21, 181182, 8, 1},
    {22, 181190, 24, 2},
    {85, 181276, 28, 1},
    {86, 181248, 28, 1},
    {23, 181238, 10, 1},
    {97, 181304, 4, 1},
    {29, 181308, 34, 8},
    {26, 181580, 8, 1},
    {28, 181588, 14, 32},
    {25, 182036, 16, 1},
    {24, 182052, 16, 1},
    {30, 182068, 16, 24},
    {31, 182452, 16, 24},
    {33, 182836, 2, 8},
    {34, 182852, 16, 500},
    {78, 190852, 2, 1},
    {35, 190854, 14, 500},
    {79, 197854, 6, 1},
    {37, 197860, 58, 1},
    {87, 204830, 16, 1},
    {80, 198418, 1000, 1},
    {81, 200398, 1000, 1},
    {36, 199578, 4, 80},
    {63, 201398, 16, 100},
    {64, 202998, 16, 100},
    {76, 204598, 16, 2},
    {77, 204630, 16, 2},
    {75, 204662, 6, 1},
    {73, 204668, 2, 10},
    {74, 204688, 2, 1},
    {67, 204704, 2, 63},
    {82, 204690, 4, 1},
    {83, 204694, 2, 1},
    {68, 204696, 2, 1},
    {69, 204698, 2, 1},
    {70, 204700, 2, 1},
    {71, 204702, 2, 1},
    {40, 204846, 128, 1},
    {41, 204974, 4, 1},
    {42, 204978, 8, 128},
    {43, 206002, 10, 2560},
    {45, 231602, 6, 512},
    {46, 234674, 46, 10},
    {47, 235134, 12, 5},
    {48, 235194, 20, 5},
    {55, 235294, 6, 5},
    {54, 235324, 18, 5},
    {52, 235414, 6, 5},
    {51, 235444, 12, 5},
    {53, 235504, 8, 5},
    {50, 235544, 8, 5},
    {49, 235584, 8, 5},
    {56, 235624, 10, 5},
    {57, 235674, 10, 5},
    {58, 235724, 6, 5},
    {60, 235754, 208, 5},
    {61, 236794, 208, 5},
    {59, 237834, 15, 300},
    {65, 242414, 12, 1},
    {66, 242426, 4, 128},
    {98, 302316, 54, 3},
    {99, 302478, 34, 1},
    {100, 302512, 10, 1},
    {101, 302522, 26, 1},
    {103, 302548, 2, 512},
    {88, 242938, 128, 1},
    {89, 245636, 10, 128},
    {90, 246916, 10, 3840},
    {91, 243076, 5, 512},
    {92, 285316, 16, 500},
    {93, 293316, 14, 500},
    {94, 300316, 1000, 1},
    {95, 301316, 1000, 1},
    {96, 243066, 10, 1},
    {107, 303572, 16, 1},
    {108, 303596, 24, 1},
    {109, 303588, 8, 1},
    {110, 303624, 32, 1},
    {125, 303656, 24, 1},
    {111, 303680, 2, 48},
    {114, 303776, 6, 128},
    {115, 304544, 6, 512},
    {116, 307616, 17, 500},
    {117, 316116, 15, 500},
    {118, 323616, 1000, 1},
    {119, 324616, 1000, 1},
    {126, 325616, 14, 1},
    {122, 325630, 4, 16},
    {123, 325694, 2, 1},
    {124, 303620, 4, 1},
};

const WorkingTable kAddressTables[] = {
    {104, 242334, 4, 5},
    {105, 242354, 4, 5},
    {106, 242374, 8, 5},
};

// Searches one working copy of the directory.
bool SearchCopy(const cmcEeprom& image, int id, int countAt, int copyAt, int entrySize, bool wideAddress, PtblEntry& out)
{
    const ImageBytes img(image);
    const int n = std::min(img.U16(countAt), EepromMap::MaxDirEntries);
    for (int k = 0; k < n; ++k) {
        const int e = copyAt + entrySize * k;
        if (img.U16(e) != id) continue;
        out.Id = id;
        out.Size = img.U16(e + 2);
        out.Count = img.U16(e + 4);
        out.Address = wideAddress ? img.U32(e + 8) : uint32_t(img.U16(e + 6));
        return true;
    }
    return false;
}

// Copies one stored directory into its working copy.
void CopyForm(cmcEeprom& image, uint32_t address, int storedSize, int storedCount, int copyAt, int entrySize)
{
    ImageBytes img(&image);
    const int64_t start = EepromMap::DynamicStart + (int64_t(address) - int64_t(DynamicBase(image)));
    const int n = std::min(storedCount, EepromMap::MaxDirEntries);
    const int length = std::min(storedSize, entrySize);
    for (int k = 0; k < n; ++k) {
        const int at = copyAt + entrySize * k;
        img.Zero(at, entrySize);
        const int64_t source = start + int64_t(k) * storedSize;
        if (length <= 0 || source < 0 || source + length > EepromMap::CloneSize) continue;
        for (int b = 0; b < length; ++b) img.SetU8(at + b, img.U8(source + b));
    }
}

} // namespace

std::span<const WorkingTable> WorkingTables() { return kWorkingTables; }

std::span<const WorkingTable> PackerAddressTables() { return kAddressTables; }

const WorkingTable* FindWorkingTable(int id)
{
    for (const auto& t : kWorkingTables)
        if (t.Id == id) return &t;
    for (const auto& t : kAddressTables)
        if (t.Id == id) return &t;
    return nullptr;
}

uint32_t DynamicBase(const cmcEeprom& image)
{
    const ImageBytes img(image);
    const uint32_t base32 = img.U32(EepromMap::Base32);
    if (base32 != 0 && img.U32(EepromMap::End32PartA) != 0 && img.U32(EepromMap::End32) != 0) return base32;
    const uint32_t base16 = uint32_t(img.U16(EepromMap::Base16));
    if (base16 != 0 && img.U16(EepromMap::End16PartA) != 0 && img.U16(EepromMap::End16) != 0) return base16;
    return 0;
}

bool FindPtblEntry(const cmcEeprom& image, int id, PtblEntry& out)
{
    return SearchCopy(image, id, EepromMap::Dir12Count, EepromMap::Dir12Work, EepromMap::Dir12EntrySize, true, out);
}

bool FindLegacyPtblEntry(const cmcEeprom& image, int id, PtblEntry& out)
{
    return SearchCopy(image, id, EepromMap::Dir10Count, EepromMap::Dir10Work, EepromMap::Dir10EntrySize, false, out);
}

bool FindTable(const cmcEeprom& image, int id, PtblEntry& out)
{
    const ImageBytes img(image);
    if (img.U16(EepromMap::Dir12Present) == 1 && FindPtblEntry(image, id, out)) return true;
    if (img.U16(EepromMap::Dir10Present) == 1 && FindLegacyPtblEntry(image, id, out)) return true;
    return false;
}

bool CopyDirectory(cmcEeprom& image)
{
    const ImageBytes img(image);
    bool found = false;
    if (img.U16(EepromMap::Dir12Present) == 1) {
        CopyForm(image, img.U32(EepromMap::Dir12Address), img.U16(EepromMap::Dir12Size), img.U16(EepromMap::Dir12Count),
                 EepromMap::Dir12Work, EepromMap::Dir12EntrySize);
        found = true;
    }
    if (img.U16(EepromMap::Dir10Present) == 1) {
        CopyForm(image, uint32_t(img.U16(EepromMap::Dir10Address)), img.U16(EepromMap::Dir10Size),
                 img.U16(EepromMap::Dir10Count), EepromMap::Dir10Work, EepromMap::Dir10EntrySize);
        found = true;
    }
    return found;
}

void AddTable(cmcEeprom& image, uint32_t address, int count, int size, int id)
{
    ImageBytes img(&image);
    const int k12 = img.U16(EepromMap::Dir12Count);
    if (k12 < EepromMap::MaxDirEntries) {
        const int e = EepromMap::Dir12Work + EepromMap::Dir12EntrySize * k12;
        img.SetU16(e, uint32_t(id));
        img.SetU16(e + 2, uint32_t(size));
        img.SetU16(e + 4, uint32_t(count));
        img.SetU32(e + 8, address);
        img.SetU16(EepromMap::Dir12Count, uint32_t(k12 + 1));
    }
    const int k10 = img.U16(EepromMap::Dir10Count);
    if (k10 < EepromMap::MaxDirEntries) {
        const int e = EepromMap::Dir10Work + EepromMap::Dir10EntrySize * k10;
        img.SetU16(e, uint32_t(id));
        img.SetU16(e + 2, uint32_t(size));
        img.SetU16(e + 4, uint32_t(count));
        img.SetU16(e + 6, address & 0xFFFF);
        img.SetU16(EepromMap::Dir10Count, uint32_t(k10 + 1));
    }
}
