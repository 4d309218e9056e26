// Clone files: saving and loading a full clone memory (0x1FF80 bytes) against
// a bare hexadecimal text write and read of the same bytes in the same run.
// The counters give both times per file and their ratio (target: at most 2).
// The save also flushes the file to the disk before it replaces the old one;
// "fsync_ms" shows what that flush costs on its own.
#include "core/cmcEeprom.h"
#include "core/cmcIcfFile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include <unistd.h>

namespace {

constexpr int kCloneBytes = 0x1FF80;
constexpr dst_AdrRange kRanges[] = {{0, kCloneBytes - 1}, {1, 0}};

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("icf-bench-") + std::to_string(getpid()) + name)).string();
}

cmcEeprom RandomImage()
{
    cmcEeprom image;
    image.Resize(kCloneBytes);
    std::mt19937 random(1);
    for (int a = 0; a < kCloneBytes; ++a) image.SetByte(a, int(random() & 0xFF));
    return image;
}

void SetUp(cmcIcfFile& file, cmcEeprom& image)
{
    file.SetImage(&image);
    file.SetModelCode(0x7143);
    file.SetMapRev(1);
    file.SetAdrBit(32);
    file.SetMapRevCheck({[](void*, int) { return true; }, nullptr});
}

// The bare text: every byte as two hexadecimal digits, 32 digits a line.
bool WriteHex(const std::string& path, const cmcEeprom& image, bool sync)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size_t(kCloneBytes) * 2 + kCloneBytes / 16);
    const uint8_t* bytes = image.Data();
    for (int a = 0; a < kCloneBytes; ++a) {
        text += digits[bytes[a] >> 4];
        text += digits[bytes[a] & 0xF];
        if (a % 16 == 15) text += '\n';
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
    if (sync) ok = fsync(fileno(f)) == 0 && ok;
    return std::fclose(f) == 0 && ok;
}

bool ReadHex(const std::string& path, cmcEeprom& image)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
    auto value = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    uint8_t* bytes = image.Data();
    int a = 0;
    for (size_t i = 0; i + 1 < text.size() && a < kCloneBytes;) {
        if (text[i] == '\n') {
            ++i;
            continue;
        }
        bytes[a++] = uint8_t((value(text[i]) << 4) | value(text[i + 1]));
        i += 2;
    }
    return a == kCloneBytes;
}

void BM_CloneFileSave(benchmark::State& state)
{
    cmcEeprom image = RandomImage();
    cmcIcfFile file;
    SetUp(file, image);
    const std::string icf = TempPath("-save.icf"), hex = TempPath("-save.hex");
    Clock::duration icfTime{}, hexTime{}, syncTime{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        if (file.Save(icf, kRanges) != kIcfOk) state.SkipWithError("save failed");
        auto t1 = Clock::now();
        if (!WriteHex(hex, image, false)) state.SkipWithError("hex write failed");
        auto t2 = Clock::now();
        if (!WriteHex(hex, image, true)) state.SkipWithError("hex write failed");
        auto t3 = Clock::now();
        icfTime += t1 - t0;
        hexTime += t2 - t1;
        syncTime += (t3 - t2) - (t2 - t1);
    }
    const double n = double(state.iterations());
    state.counters["icf_ms"] = Ms(icfTime) / n;
    state.counters["hex_ms"] = Ms(hexTime) / n;
    state.counters["fsync_ms"] = Ms(syncTime) / n;
    state.counters["ratio"] = Ms(icfTime) / Ms(hexTime);
    std::remove(icf.c_str());
    std::remove(hex.c_str());
}
BENCHMARK(BM_CloneFileSave)->Unit(benchmark::kMillisecond);

void BM_CloneFileLoad(benchmark::State& state)
{
    cmcEeprom image = RandomImage();
    cmcIcfFile writer;
    SetUp(writer, image);
    const std::string icf = TempPath("-load.icf"), hex = TempPath("-load.hex");
    if (writer.Save(icf, kRanges) != kIcfOk || !WriteHex(hex, image, false)) {
        state.SkipWithError("cannot write the files");
        return;
    }
    cmcEeprom back;
    back.Resize(kCloneBytes);
    cmcIcfFile reader;
    SetUp(reader, back);
    Clock::duration icfTime{}, hexTime{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        if (reader.Load(icf, kRanges) != kIcfOk) state.SkipWithError("load failed");
        auto t1 = Clock::now();
        if (!ReadHex(hex, back)) state.SkipWithError("hex read failed");
        auto t2 = Clock::now();
        icfTime += t1 - t0;
        hexTime += t2 - t1;
    }
    const double n = double(state.iterations());
    state.counters["icf_ms"] = Ms(icfTime) / n;
    state.counters["hex_ms"] = Ms(hexTime) / n;
    state.counters["ratio"] = Ms(icfTime) / Ms(hexTime);
    std::remove(icf.c_str());
    std::remove(hex.c_str());
}
BENCHMARK(BM_CloneFileLoad)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
