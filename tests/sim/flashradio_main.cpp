// flashradio: a simulated radio for the flash loader on a pseudo-terminal.
//
//   flashradio [options]
//     --model HEX            the radio's model code (default 7143)
//     --password TEXT        the radio requires this password
//     --boot                 powered on in its boot loader
//     --unpaced              take and send bytes as fast as they come
//     --silent               answer nothing
//     --no-wake-answer       never answer the wake bytes
//     --wrong-handshake K    answer handshake byte K (0 to 5) wrongly
//     --refuse-record K      refuse record K (0-based) with FA
//     --dump FILE            write the flash memory to FILE at the end
//
// It prints the terminal's path (point QM_COM<n> at it) and serves until
// interrupted, then prints what happened.
#include "tests/sim/FlashRadio.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <pthread.h>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: flashradio [--model HEX] [--password TEXT] [--boot] [--unpaced] [--silent]\n"
                 "                  [--no-wake-answer] [--wrong-handshake K] [--refuse-record K] [--dump FILE]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    qmsim::FlashRadio::Settings settings;
    bool paced = true;
    std::string dump;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--model" && hasValue) settings.model = static_cast<int>(std::strtol(argv[++i], nullptr, 16));
        else if (arg == "--password" && hasValue) settings.password = argv[++i];
        else if (arg == "--boot") settings.startInBoot = true;
        else if (arg == "--unpaced") paced = false;
        else if (arg == "--silent") settings.faults.silent = true;
        else if (arg == "--no-wake-answer") settings.faults.noWakeAnswer = true;
        else if (arg == "--wrong-handshake" && hasValue) settings.faults.wrongHandshake = std::atoi(argv[++i]);
        else if (arg == "--refuse-record" && hasValue) settings.faults.refuseRecord = std::atoi(argv[++i]);
        else if (arg == "--dump" && hasValue) dump = argv[++i];
        else return Usage();
    }

    // The serving thread inherits the blocked signals: they reach sigwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    qmsim::FlashRadio radio(settings);
    qmsim::FlashRadioOnPty server(radio, paced);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "flashradio: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", server.SlavePath().c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();

    std::printf("identity requests %d, boot entries %d, records written %d, refused %d, "
                "sum checks %d (last %s), sessions ended %d\n",
                radio.identityRequests, radio.bootEntries, radio.recordsWritten, radio.recordsRefused,
                radio.sumChecks, radio.lastSumMatched ? "matched" : "did not match", radio.sessionsEnded);
    std::printf("bytes to radio %llu, to loader %llu, wire time %.3f s\n",
                static_cast<unsigned long long>(server.bytesToRadio),
                static_cast<unsigned long long>(server.bytesToLoader), server.wireSeconds);
    if (!dump.empty()) {
        std::ofstream out(dump, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(radio.Flash().data()), static_cast<std::streamsize>(radio.Flash().size()));
        if (!out) {
            std::fprintf(stderr, "flashradio: cannot write %s\n", dump.c_str());
            return 1;
        }
    }
    return 0;
}
