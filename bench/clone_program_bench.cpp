// A whole clone read and a whole clone write through the cloning program's
// own commands (identify, checks, progress window, unpacking, normalising and
// packing) against the simulated radio over a pseudo-terminal, the radio
// pacing its side of the line to 38400 baud: how close each comes to the wire
// time of the bytes exchanged (bytes x 10 / baud).
//
// The read covers the radio's whole clone memory; the write sends the
// program's data, 512 channels, from 0x100 to the end of the packed data.
// Both run about two minutes together.
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "model/datCh.h"
#include "model/indCloneMan.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "cells/ValueHandlers.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/sim/CloneRadio.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kPort = 8;
constexpr int kBaud = 38400;

std::string BinFile(const char* name) { return std::string(QM_BIN_DIR) + "/" + name; }

bool LoadInitialImage(indMain& main)
{
    const dst_AdrRange ranges[] = {{0, EepromMap::CloneLast}, {1, 0}};
    cmcIcfFile file;
    file.SetImage(&main.InitialImage());
    file.SetModelCode(0x7143);
    file.SetMapRevCheck({[](void*, int mapRev) { return mapRev < 2; }, nullptr});
    file.SetHeaderCheck({[](void*, int model, int, int*) { return model == 0x7143 || model == 0x7148; }, nullptr});
    file.SetCompareSize(0xFF80);
    if (file.Load(BinFile("InitialLMR.icf"), ranges) != kIcfOk) return false;
    UnpackDefaults(main.InitialImage());
    return true;
}

// 512 channels in the first 128 banks, four a bank.
void FillChannels(cmcEeprom& image)
{
    for (int b = 0; b < 128; ++b) SetBankChannelCount(b, 4);
    datCh ch(&image);
    for (int n = 0; n < 512; ++n) {
        ch.Unpack(MchRecordKind(), n);
        ch.RxFreq = ch.TxFreq = 440000000 + 12500 * n;
        ch.Pack(MchRecordKind(), n);
    }
}

struct Figures {
    bool ok = false;
    double seconds = 0;         // command to completion
    double wireSeconds = 0;     // every byte exchanged
    double transferSeconds = 0; // from the radio's receipt of the read or write request
    double transferWire = 0;
    int dataBytes = 0;
};

Figures Run(indMain& main, qmsim::CloneRadio& radio, bool write)
{
    Figures f;
    radio.ResetStats();
    QElapsedTimer clock;
    qint64 requestAt = -1;
    uint64_t bytesAtRequest = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const auto& s = radio.Stats();
        if (requestAt < 0 && (s.readsStarted > 0 || s.writesStarted > 0)) {
            requestAt = clock.nsecsElapsed();
            bytesAtRequest = s.bytesIn + s.bytesOut;
        }
    });
    clock.start();
    watch.start(1);
    const int started = write ? main.CloneWrite() : main.CloneRead();
    if (started != 0) return f;
    QEventLoop loop;
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (!main.CloneMan().IsBusy()) loop.quit();
    });
    done.start(1);
    QTimer::singleShot(20 * 60 * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 end = clock.nsecsElapsed();
    const auto& s = radio.Stats();
    const double perByte = 10.0 / kBaud;
    f.ok = write ? s.writesDone == 1 && s.lastWriteOk : s.readsDone == 1;
    f.seconds = double(end) / 1e9;
    f.wireSeconds = double(s.bytesIn + s.bytesOut) * perByte;
    if (requestAt >= 0) {
        f.transferSeconds = double(end - requestAt) / 1e9;
        f.transferWire = double(s.bytesIn + s.bytesOut - bytesAtRequest) * perByte;
    }
    f.dataBytes = main.CloneMan().Driver().DataByteCount();
    return f;
}

void Report(const char* what, const Figures& f)
{
    std::printf("%-5s %s: %6d data bytes, %7.2f s for %7.2f s of wire time: ratio %.3f; from the request %7.2f s for "
                "%7.2f s: ratio %.3f\n",
                what, f.ok ? "ok    " : "FAILED", f.dataBytes, f.seconds, f.wireSeconds,
                f.seconds > 0 ? f.wireSeconds / f.seconds : 0.0, f.transferSeconds, f.transferWire,
                f.transferSeconds > 0 ? f.transferWire / f.transferSeconds : 0.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir settings;
    setenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", settings.path().toLocal8Bit().constData(), 1);
    qmsim::PtyRadioLink link;
    if (!link.IsOpen()) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", link.Error().c_str());
        return 1;
    }
    setenv("QM_COM8", link.Path().c_str(), 1);

    cmcEvManHolder events;
    g_GTex.OpenOverlayFile(BinFile("QM7148HE.OVL"));
    g_GTexSys.OpenOverlayFile(BinFile("QM7148H.OVL"));
    indEnviron env("clone program bench", "Software\\Bench\\Clone", 1024, 768);
    env.ComPort = kPort;
    env.ComSpeedHigh = 1;
    g_Environ = &env;
    indMainHolder holder;
    indMain& main = holder.Get();
    if (!LoadInitialImage(main)) {
        std::fprintf(stderr, "cannot load %s\n", BinFile("InitialLMR.icf").c_str());
        return 1;
    }
    // The radio holds the defaults with 512 channels, in its whole memory.
    main.CurrentImage().Assign(main.InitialImage());
    FillChannels(main.CurrentImage());
    if (Pack(main.CurrentImage()) != kPackOk) return 1;
    qmsim::CloneRadio radio(link);
    radio.memory.assign(main.CurrentImage().Data(), main.CurrentImage().Data() + EepromMap::CloneSize);
    radio.pacing = true;
    radio.readBlock = 32;
    radio.Start(1);
    main.CurrentImage().Assign(main.InitialImage());
    Pack(main.CurrentImage());
    main.MarkSaved();

    // The write's confirmation and its success are answered at once (and
    // any error box, which is then printed).
    plat::ScopedDialogScript dialogs;
    for (int i = 0; i < 6; ++i) dialogs.Answer(plat::IDOK);

    std::printf("clone commands over a pseudo-terminal at %d baud, radio paced to the line\n", kBaud);
    Report("read", Run(main, radio, false));
    Report("write", Run(main, radio, true));
    if (dialogs.Boxes().size() != 2)
        for (const auto& box : dialogs.Boxes()) std::printf("message: %s\n", box.text.c_str());
    radio.Stop();
    g_Environ = nullptr;
    return 0;
}
