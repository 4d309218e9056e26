// List rows: deleting and inserting the row at the top of a bank of channels
// with every reference renumbered (scan lists, channel groups, the GPS move
// channel, the emergency divert targets), the way the main object answers
// one list event. The program always shifts the whole channel list (512
// places); the second benchmark shortens the list to show how the cost grows
// with its length.
#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ListRows.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "model/datCh.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <utility>

namespace {

void Put16(cmcEeprom& image, int at, int value)
{
    image.SetByte(at, (value >> 8) & 0xFF);
    image.SetByte(at + 1, value & 0xFF);
}

// A working image whose bank 0 holds `channels` channels in use, each
// diverting (mode 1) to the channel after it, with scan lists, channel groups
// and the GPS move channel pointing into the bank.
struct Fixture {
    explicit Fixture(int channels)
    {
        image.Resize(EepromMap::ImageSize);
        initial.Resize(EepromMap::ImageSize);
        ModelContext context;
        context.CurrentImage = &image;
        context.InitialImage = &initial;
        guard = std::make_unique<ScopedModelContext>(std::move(context));
        SetBankChannelCount(0, channels);
        datCh ch(&image);
        for (int n = 0; n < channels; ++n) {
            ch.Unpack(1, n);
            ch.RxFreq = 150000000 + 12500 * n;
            std::memcpy(ch.Text, "CHANNEL     ", 12);
            ch.ChFlagsA.EDivert = 1;
            ch.EDivertTarget = (n + 1) % channels;
            ch.ScanMask = 0x1FFFF;
            ch.Commit();
        }
        for (int j = 0; j < 17; ++j) {
            const int x = 179464 + 34 * j;
            image.SetByte(x + 26, 0x55);
            image.SetByte(x + 27, 0x50);
            Put16(image, x + 28, (3 * j + 1) % channels);
            Put16(image, x + 30, (5 * j + 2) % channels);
            Put16(image, x + 32, (7 * j + 3) % channels);
        }
        for (int j = 0; j < 16; ++j) {
            image.SetByte(325630 + 4 * j, 1);
            Put16(image, 325630 + 4 * j + 2, (11 * j + 1) % channels);
        }
        Put16(image, 303590, channels - 1);
    }

    cmcEeprom image;
    cmcEeprom initial;
    std::unique_ptr<ScopedModelContext> guard;
};

void DeleteAndInsertTopRow(benchmark::State& state, int channels, int length)
{
    Fixture f(channels);
    CellChangeScope scope = 0;
    for (auto _ : state) {
        RenumberAfterDelete(f.image, f.initial, length, 1, 0, &scope);
        SetBankChannelCount(0, BankChannelCount(0) - 1);
        RenumberAfterInsert(f.image, f.initial, length, 1, 0, &scope);
        SetBankChannelCount(0, BankChannelCount(0) + 1);
    }
    benchmark::DoNotOptimize(scope);
    state.SetItemsProcessed(state.iterations() * 2);  // operations
    state.SetComplexityN(state.range(0));
}

// The program's case: the bank holds `range(0)` channels, the list is 512
// places long.
void BM_DeleteInsertTopRowOfBank(benchmark::State& state)
{
    DeleteAndInsertTopRow(state, int(state.range(0)), 512);
}
BENCHMARK(BM_DeleteInsertTopRowOfBank)->Arg(64)->Arg(128)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond);

// Growth with the list's length (every place in use).
void BM_DeleteInsertTopRowByListLength(benchmark::State& state)
{
    DeleteAndInsertTopRow(state, int(state.range(0)), int(state.range(0)));
}
BENCHMARK(BM_DeleteInsertTopRowByListLength)
    ->RangeMultiplier(2)
    ->Range(32, 512)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
