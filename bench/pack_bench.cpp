// Packing and unpacking a full image: the working tables packed into the
// clone memory, then the clone memory unpacked into a fresh image of defaults
// (which packs it again in the program's own layout), for 16 to 512 channels
// spread over the banks. The time per image should grow linearly with the
// channels.
#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ModelContext.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

cmcEeprom ImageWithChannels(int channels)
{
    cmcEeprom image;
    image.Resize(EepromMap::ImageSize);
    std::mt19937 random(3);
    for (int a = EepromMap::WorkStart; a < EepromMap::WorkEnd; ++a) image.SetByte(a, int(random() & 0xFF));
    // Channels in 16 banks, bank 127 among them; moderate lists.
    for (int b = 0; b < WorkTables::Banks; ++b) {
        image.SetByte(WorkTables::BankCounts + 2 * b, 0);
        image.SetByte(WorkTables::BankCounts + 2 * b + 1, 0);
    }
    for (int k = 0; k < 16; ++k) {
        const int b = k == 15 ? 127 : k * 8;
        image.SetByte(WorkTables::BankCounts + 2 * b + 1, channels / 16);
    }
    for (int g = 0; g < WorkTables::Banks; ++g) {
        image.SetByte(WorkTables::LtrGroupCounts + g, g < 20 ? 10 : 0);
        image.SetByte(WorkTables::ZephGroupCounts + g, g < 20 ? 10 : 0);
    }
    for (int s = 0; s < WorkTables::Sites; ++s) image.SetByte(WorkTables::MultisiteGroupCounts + s, 0);
    image.SetByte(WorkTables::MultisiteSiteCount, 0);
    WriteCToneListCount(image, 40);
    WriteNacChListCount(image, 40);
    for (int kind : {18, 28, 32}) WriteIndListCount(image, 50, kind);
    for (int kind : {19, 29, 33}) WriteTgListCount(image, 50, kind);
    return image;
}

void BM_PackAndUnpack(benchmark::State& state)
{
    const int channels = int(state.range(0));
    cmcEeprom image = ImageWithChannels(channels);
    cmcEeprom defaults;
    defaults.Resize(EepromMap::ImageSize);
    cmcEeprom loaded = defaults;
    ModelContext context;
    context.CurrentImage = &loaded;
    context.InitialImage = &defaults;
    ScopedModelContext guard(context);
    for (auto _ : state) {
        if (Pack(image) != kPackOk) state.SkipWithError("overflow");
        loaded.Assign(defaults);
        std::memcpy(loaded.Data(), image.Data(), EepromMap::CloneSize);
        Dynamic2Static(loaded);
        benchmark::DoNotOptimize(loaded.Data());
    }
    state.SetComplexityN(channels);
}
BENCHMARK(BM_PackAndUnpack)->RangeMultiplier(2)->Range(16, 512)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
