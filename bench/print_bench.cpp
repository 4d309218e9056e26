// Print all of a radio into a PDF file: every sheet of the tree with the
// program's own data files and its real cell engine, banks 1 to n in use
// with 512 / n channels each (at most 64 channels a bank: the radio's 512
// channels over 8 to 128 banks, then 64 each), laid out and drawn page by
// page on Qt's PDF printer at 150 pixels per inch. Reports the pages, the
// time per page and how the time grows with the banks in use (target:
// linear).
#include "model/ProgramEntry.h"
#include "model/TForm1.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Application.h"
#include "platform/ui/Printer.h"
#include "ui/cuiPrinter.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int Channels = 512;
constexpr int MostPerBank = 64;
constexpr int PixelsPerInch = 150;

struct Figures {
    int pages = 0;
    double seconds = 0;
};
std::map<int, Figures> g_figures;

void FillBanks(indMain& main, int banks)
{
    cmcEeprom& image = main.CurrentImage();
    const int perBank = std::min(MostPerBank, Channels / banks);
    for (int b = 0; b < WorkTables::Banks; ++b) SetBankChannelCount(b, b < banks ? perBank : 0);
    datCh ch(&image);
    for (int i = 0; i < banks * perBank; ++i) {
        ch.Unpack(1, i);
        ch.RxFreq = 146000000 + 12500 * i;
        ch.TxFreq = ch.RxFreq + 600000;
        ch.RxTone.On = 1;
        ch.RxTone.AnalogIndex = uint16_t(i % 50);
        ch.TxTone = ch.RxTone;
        char name[16];
        std::snprintf(name, sizeof name, "CH %-9d", (i + 1) % 1000);
        std::copy(name, name + 12, ch.Text);
        ch.Pack(1, i);
    }
    main.Pack(image);
}

void BM_PrintAllToPdf(benchmark::State& state)
{
    const int banks = static_cast<int>(state.range(0));
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("print-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    Figures figures;
    {
        ProgramGlobals globals(QM_PROGRAM_DIR);
        TForm1 form;
        indMain& main = globals.Main();
        FillBanks(main, banks);
        cuiPrinter& printer = *main.Printer();
        const std::string pdf = (folder / "all.pdf").string();
        int64_t runs = 0;
        const auto start = std::chrono::steady_clock::now();
        for (auto _ : state) {
            plat::PdfPrinterService service(pdf, PixelsPerInch);
            plat::Printer& device = service.SystemPrinter();
            const plat::Rect area =
                cuiPrinter::MarginArea(device.PageWidth(), device.PageHeight(), device.PixelsPerInch());
            const std::vector<std::string> list = main.PrintAllSheets();
            int pages = 0;
            printer.StartDocument(device);
            for (const std::string& spec : list) pages += printer.PrintSheet(device, spec, area, false, false);
            device.EndDoc();
            main.SetListPrinting(false);
            figures.pages = pages;
            ++runs;
        }
        figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                          static_cast<double>(std::max<int64_t>(1, runs));
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    g_figures[banks] = figures;
    state.counters["pages"] = figures.pages;
    state.counters["ms_per_page"] = figures.pages > 0 ? figures.seconds * 1000 / figures.pages : 0;
}
BENCHMARK(BM_PrintAllToPdf)->Arg(8)->Arg(32)->Arg(64)->Arg(128)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    plat::SetProgramFileName("QM7148H");
    plat::Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [banks, f] : g_figures)
        std::printf("print all, %3d banks in use: %4d pages, %.0f ms, %.1f ms a page, %.2f ms a bank\n", banks, f.pages,
                    f.seconds * 1000, f.pages > 0 ? f.seconds * 1000 / f.pages : 0.0, f.seconds * 1000 / banks);
    return 0;
}
