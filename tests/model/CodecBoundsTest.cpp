// Whatever an image holds, and whatever index a caller passes, the codec
// reads and writes only the tables of the item's kind.
#include "model/datCh.h"

#include "model/EepromMap.h"
#include "model/ModelContext.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <climits>
#include <random>
#include <utility>
#include <vector>

namespace {

using Ranges = std::vector<std::pair<int, int>>;  // [from, to)

void AddTables(Ranges& r, std::initializer_list<int> ids)
{
    for (int id : ids) {
        const WorkingTable* t = FindWorkingTable(id);
        ASSERT_NE(t, nullptr) << id;
        r.push_back({t->Offset, t->End()});
    }
}

constexpr int kBankTypeArrays[] = {175654, 176046, 176072, 176088, 303572};

// Where an encode of each kind may write, in the bound image or, for the
// bank-type bits, in the current image.
Ranges Writable(int kind)
{
    Ranges r;
    switch (kind) {
    case 1:
    case 2:
        AddTables(r, {2, 3, 45, 91, 115, 103, 15, 7});
        r.insert(r.end(), {{175670, 175672}, {175680, 175681}, {148174, 148175}, {148176, 148178}});
        r.insert(r.end(), {{175654, 175670}, {176046, 176062}});
        break;
    case 3: AddTables(r, {11}); break;
    case 4: AddTables(r, {10}); break;
    case 5: AddTables(r, {17}); break;
    case 6: AddTables(r, {16}); break;
    case 7:
        AddTables(r, {14});
        r.insert(r.end(), {{175760, 175765}, {175785, 175790}});
        break;
    case 8: AddTables(r, {20}); break;
    case 9: AddTables(r, {18, 19}); break;
    case 10: AddTables(r, {12}); break;
    case 11: AddTables(r, {20, 12, 18, 19}); break;
    case 13:
        AddTables(r, {13, 42, 89, 66, 114});
        for (int at : kBankTypeArrays) r.push_back({at, at + 16});
        break;
    case 14: AddTables(r, {29}); break;
    case 15: AddTables(r, {27, 28}); break;
    case 16: AddTables(r, {30, 31}); break;
    case 17: AddTables(r, {32, 33}); break;
    case 18: AddTables(r, {34}); break;
    case 19: AddTables(r, {35}); break;
    case 20:
        AddTables(r, {36});
        r.insert(r.end(), {{175765, 175770}, {175641, 175644}, {175652, 175654}});
        break;
    case 21: AddTables(r, {63, 64, 76, 77}); break;
    case 22: AddTables(r, {43, 42}); break;
    case 23: AddTables(r, {46}); break;
    case 24: AddTables(r, {59}); break;
    case 25: AddTables(r, {67}); break;
    case 26: AddTables(r, {72, 73}); break;
    case 27: AddTables(r, {90, 89}); break;
    case 28: AddTables(r, {92}); break;
    case 29: AddTables(r, {93}); break;
    case 30: AddTables(r, {120, 111}); break;
    case 31: AddTables(r, {113, 120}); break;
    case 32: AddTables(r, {116}); break;
    case 33: AddTables(r, {117}); break;
    case 34: AddTables(r, {122}); break;
    default: break;
    }
    return r;
}

bool Inside(const Ranges& r, int at)
{
    return std::any_of(r.begin(), r.end(), [at](const auto& p) { return at >= p.first && at < p.second; });
}

// Reports bytes that differ outside the ranges, then restores the image.
void CheckAndRestore(cmcEeprom& image, const cmcEeprom& original, const Ranges& allowed, int kind)
{
    uint8_t* p = image.Data();
    const uint8_t* o = original.Data();
    for (int at = 0; at < EepromMap::ImageSize;) {
        const auto diff = std::mismatch(p + at, p + EepromMap::ImageSize, o + at);
        if (diff.first == p + EepromMap::ImageSize) break;
        at = int(diff.first - p);
        EXPECT_TRUE(Inside(allowed, at)) << "kind " << kind << " wrote byte " << at;
        p[at] = o[at];
        ++at;
    }
}

} // namespace

TEST(datChBounds, RandomImagesAndIndexesStayInsideTheirTables)
{
    std::mt19937 random(20240611);
    const std::vector<int> listRows = {0, 5, 127, 128, -1, 100000, INT_MIN};
    for (int round = 0; round < 3; ++round) {
        cmcEeprom image = modeltest::MakeImage();
        cmcEeprom current = modeltest::MakeImage();
        for (int at = 0; at < EepromMap::ImageSize; ++at) {
            image.SetByte(at, int(random() & 0xFF));
            current.SetByte(at, int(random() & 0xFF));
        }
        // Round 0 binds the current image itself; the others a second image.
        cmcEeprom* bound = round == 0 ? &current : &image;
        const cmcEeprom boundBefore = *bound;
        const cmcEeprom currentBefore = current;
        int row = 0;
        ModelContext context;
        context.CurrentImage = &current;
        context.CurrentListRow = [&row] { return row; };
        context.PriorityRemoval = [round] { return round != 1; };
        ScopedModelContext guard(context);

        for (int kind = -1; kind <= 36; ++kind) {
            const Ranges allowed = Writable(kind);
            Ranges currentAllowed;
            if (kind == 1 || kind == 2) currentAllowed = {{175654, 175670}, {176046, 176062}};
            if (kind == 13)
                for (int at : kBankTypeArrays) currentAllowed.push_back({at, at + 16});
            std::vector<int> indexes = {INT_MIN, -1, 0, 1, 9, 10, 14, 15, 16, 17, 23, 24, 31, 32, 47, 48, 62, 63,
                                        79, 80, 99, 100, 127, 128, 222, 223, 224, 225, 299, 300, 499, 500, 511,
                                        512, 1439, 1440, 2559, 2560, 3839, 3840, 100000, INT_MAX};
            for (int k = 0; k < 8; ++k) indexes.push_back(int(random() % 4000));
            for (int index : indexes) {
                row = listRows[size_t(random() % listRows.size())];
                datCh ch(bound);
                ch.Unpack(kind, index);
                ch.Commit();
                ch.Pack(kind, index);
            }
            CheckAndRestore(*bound, boundBefore, allowed, kind);
            if (bound != &current) CheckAndRestore(current, currentBefore, currentAllowed, kind);
        }
    }
}
