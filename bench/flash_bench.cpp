// Flash loader: one whole flashing pass (identity, boot entry, pre-process
// upload, ROM write of the embedded image) against the simulated radio on a
// pseudo-terminal, in real time. Reports the time of each phase against the
// wire time of the bytes exchanged, and what bounds it: the fixed pacing of
// the pre-process chunks, the settling waits around each change of speed and
// the acknowledge round trip of every ROM record.
//
// A plain program: a pass takes seconds, so it runs once paced to the line
// speed and once with the radio answering at once (the loader's own share).
#include "flashloader/ComPort.h"
#include "tests/sim/FlashRadio.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

struct Phase {
    const char* name;
    double seconds = 0;
};

struct Outcome {
    bool ok = false;
    Phase phases[4] = {{"identity query"}, {"boot entry"}, {"pre-process"}, {"ROM write"}};
    double total = 0;
    qmsim::FlashRadio radio;
    uint64_t bytesToRadio = 0, bytesToLoader = 0;
    double wireSeconds = 0;
};

double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

void RunPass(bool paced, Outcome& out)
{
    qmsim::FlashRadioOnPty server(out.radio, paced);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "flash_bench: %s\n", error.c_str());
        return;
    }
    qmsim::PointComPortAt(9, server.SlavePath());
    const auto dir = std::filesystem::temp_directory_path() /
                     ("flash-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(dir);
    {
        fl::ComPort port((dir / "QM7150Q.INI").string());
        port.SetPort(9);
        bool finished = false;
        const auto start = Clock::now();
        auto mark = Clock::now();
        auto next = [&](int phase) {
            out.phases[phase].seconds = Since(mark);
            mark = Clock::now();
        };
        port.SetIdCheck([](fl::dst_CDrv_Result&) {});
        port.StartIdQuery([&](fl::dst_CDrv_Result& r) {
            next(0);
            if (r.Code != fl::kResultOk) {
                finished = true;
                return;
            }
            port.StartBootEntry([&](fl::dst_CDrv_Result& r1) {
                next(1);
                if (r1.Code != fl::kResultOk || !port.StartPreProcess([&](fl::dst_CDrv_Result& r2) {
                        next(2);
                        if (r2.Code != fl::kResultOk || !port.StartRomWrite([&](fl::dst_CDrv_Result& r3) {
                                next(3);
                                out.ok = r3.Code == fl::kResultOk;
                                finished = true;
                            }))
                            finished = true;
                    }))
                    finished = true;
            });
        });
        qmsim::RunEventsUntil([&] { return finished; }, 120000);
        out.total = Since(start);
    }
    server.Stop();
    std::filesystem::remove_all(dir);
    out.bytesToRadio = server.bytesToRadio;
    out.bytesToLoader = server.bytesToLoader;
    out.wireSeconds = server.wireSeconds;
}

void Report(const char* title, const Outcome& o)
{
    std::printf("\n%s: %s\n", title, o.ok ? "flashed" : "FAILED");
    for (const Phase& p : o.phases) std::printf("  %-16s %7.3f s\n", p.name, p.seconds);
    std::printf("  %-16s %7.3f s\n", "whole pass", o.total);
    std::printf("  bytes to radio %llu, to loader %llu; wire time at the speeds used %.3f s (%.0f%% of the pass)\n",
                static_cast<unsigned long long>(o.bytesToRadio), static_cast<unsigned long long>(o.bytesToLoader),
                o.wireSeconds, o.total > 0 ? 100.0 * o.wireSeconds / o.total : 0.0);
    const int records = o.radio.recordsWritten;
    if (records > 0) {
        // A record is 4 + 128 bytes, escaped (about 2.5% of random bytes are
        // FA to FF and travel as two), framed by FE FE and FD: ~138 bytes.
        const double recordWire = 138.0 * 10.0 / 38400.0;
        std::printf("  ROM write: %d records, %.1f ms each; a record needs %.1f ms on the wire at 38400 baud,\n"
                    "  and waits for its acknowledge before the next is built on a later 10 ms tick\n",
                    records, 1000.0 * o.phases[3].seconds / records, 1000.0 * recordWire);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qmsim::EventLoopScope app(argc, argv);
    Outcome paced, unpaced;
    RunPass(true, paced);
    RunPass(false, unpaced);
    std::printf("Flash loader, one whole pass over a pseudo-terminal\n");
    Report("radio paced to the line speed", paced);
    Report("radio answering at once", unpaced);
    std::printf("\nFixed parts of every pass: the pre-process sends 16 chunks 250 ms apart (4.0 s, of which the\n"
                "wire needs %.2f s at 38400 baud); each reopen or speed switch waits 200 ms before draining the\n"
                "input (4 in the identity query, 4 in the boot entry, 1 in the ROM write) and each script ends\n"
                "with 10 ticks (100 ms) before the switch.\n",
                3886 * 10.0 / 38400.0);
    return 0;
}
