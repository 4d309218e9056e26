// Clone transfers against the simulated radio over a pseudo-terminal, with
// the radio pacing its side of the line to the line speed: how close a read
// and a write of the whole clone area come to the wire time of the bytes they
// exchange (bytes x 10 / baud).
//
// Usage: bench_clone_bench [--with-9600]
//   The 38400-baud runs take about three minutes; the 9600-baud runs, four
//   times as long, only run when asked for.
#include "core/cmcCloneDrv.h"
#include "tests/sim/CloneRadio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kPort = 8;
constexpr int kCloneSize = qmsim::CloneRadio::kMemorySize;

struct Figures {
    int code = -1;
    double totalSeconds = 0;   // start to completion
    double totalWire = 0;      // wire time of every byte exchanged
    double transferSeconds = 0; // from the radio's receipt of the request
    double transferWire = 0;
};

Figures Run(qmsim::CloneRadio& radio, cmcCloneDrv& drv, bool write, int baud)
{
    std::string base;
    int preamble = 0;
    drv.SetModel(radio.modelCode, 0);
    drv.SetScript(qmsim::CloneScript(radio.modelCode, baud == 38400, write, nullptr, &base, &preamble));
    drv.SetPort(kPort, base);
    drv.SetPreamble(preamble);
    drv.SetExtendedAddress(1);
    drv.SetEndFrameCount(1);
    drv.SetWaitWriteAck(1);
    drv.SetAckInterval(128, 0);
    drv.SetDefaultTimeout(write ? 2000 : 1000);
    drv.SetAckTimeout(5000);
    drv.SetParamReplyTimeout(5000);
    drv.SetImageSize(kCloneSize);

    cmcEeprom image;
    image.Resize(kCloneSize);
    for (int a = 0; a < kCloneSize; ++a) image.SetByte(a, (a * 13 + a / 509) & 0xFF);
    const dst_AdrRange readRanges[] = {{0, kCloneSize - 1}, {1, 0}};
    const dst_AdrRange writeRanges[] = {{0x100, kCloneSize - 1}, {1, 0}};

    Figures f;
    radio.ResetStats();
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 requestAt = -1;
    uint64_t bytesAtRequest = 0;
    // Records the moment the radio has the request.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const auto& s = radio.Stats();
        if (requestAt < 0 && (s.readsStarted > 0 || s.writesStarted > 0)) {
            requestAt = clock.nsecsElapsed();
            bytesAtRequest = s.bytesIn + s.bytesOut;
        }
    });
    CloneCompletion done{[&](void*, dst_CDrv_Result* r) {
                             f.code = r->ResultCode;
                             loop.quit();
                         },
                         nullptr};
    clock.start();
    watch.start(1);
    const bool started = write ? drv.StartWrite(image, writeRanges, done) : drv.StartRead(readRanges, done);
    if (!started) return f;
    QTimer::singleShot(20 * 60 * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    watch.stop();
    const qint64 end = clock.nsecsElapsed();
    const auto& s = radio.Stats();
    const double perByte = 10.0 / baud;
    f.totalSeconds = static_cast<double>(end) / 1e9;
    f.totalWire = static_cast<double>(s.bytesIn + s.bytesOut) * perByte;
    if (requestAt >= 0) {
        f.transferSeconds = static_cast<double>(end - requestAt) / 1e9;
        f.transferWire = static_cast<double>(s.bytesIn + s.bytesOut - bytesAtRequest) * perByte;
    }
    if (write && radio.memory != std::vector<uint8_t>(image.Data(), image.Data() + kCloneSize)) {
        // The header is not written; everything after it must have arrived.
        if (!std::equal(radio.memory.begin() + 0x100, radio.memory.end(), image.Data() + 0x100)) f.code = -2;
    }
    return f;
}

void Report(const char* what, int baud, const Figures& f)
{
    std::printf("%-6s %5d baud: result %d, %7.2f s for %7.2f s of wire time: ratio %.3f (from the request: %.3f)\n",
                what, baud, f.code, f.totalSeconds, f.totalWire, f.totalSeconds > 0 ? f.totalWire / f.totalSeconds : 0.0,
                f.transferSeconds > 0 ? f.transferWire / f.transferSeconds : 0.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bool with9600 = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--with-9600") == 0) {
            with9600 = true;
        } else {
            std::fprintf(stderr, "usage: %s [--with-9600]\n", argv[0]);
            return 2;
        }
    }
    qmsim::PtyRadioLink link;
    if (!link.IsOpen()) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", link.Error().c_str());
        return 1;
    }
    setenv("QM_COM8", link.Path().c_str(), 1);
    qmsim::CloneRadio radio(link);
    radio.pacing = true;
    radio.Start(1);
    cmcCloneDrv drv;

    std::printf("clone transfers of the whole clone area over a pseudo-terminal, radio paced to the line\n");
    for (int baud : {38400, 9600}) {
        if (baud == 9600 && !with9600) continue;
        Report("read", baud, Run(radio, drv, false, baud));
        Report("write", baud, Run(radio, drv, true, baud));
    }
    return 0;
}
