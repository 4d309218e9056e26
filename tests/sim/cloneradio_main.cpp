// cloneradio: a simulated radio that serves the clone protocol on a
// pseudo-terminal. It prints the terminal's path on the first line of its
// output and runs until it is interrupted or terminated; point QM_COM<n> at
// that path and use COM port n.
#include "tests/sim/CloneRadio.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>
#include <algorithm>
#include <string>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

void Usage()
{
    std::fprintf(stderr,
                 "usage: cloneradio [options]\n"
                 "  --model HEX        model code (7148)\n"
                 "  --sub HEX          sub code (0)\n"
                 "  --end HEX          last address a read sends (1FF7F)\n"
                 "  --16bit            a radio with 16-bit addresses only (an end above\n"
                 "                     FFFF becomes FF7F)\n"
                 "  --block N          data bytes per read frame, 1 to 255 (32)\n"
                 "  --order ORDER      asc, desc or interleave (asc)\n"
                 "  --password TEXT    ask for this clone password\n"
                 "  --no-pacing        do not pace to the line speed\n"
                 "  --echo             echo every byte (one-wire cable)\n"
                 "  --fault NAME       silence, slow, checksum, lowercase, missing, extra,\n"
                 "                     endcount, refuse, refuseblock, writeend, model,\n"
                 "                     payloadlength, badecho\n"
                 "  --slow MS          duration of one slow frame (1500)\n"
                 "  --version HEX      firmware version the radio reports (40)\n"
                 "  --payload POS=HEX  identity payload bytes from position POS (decimal),\n"
                 "                     e.g. --payload 35=01 or --payload 2=4142; repeatable\n"
                 "  --icf FILE         clone memory to start with, from a clone file\n"
                 "  --load FILE        clone memory to start with (raw bytes)\n"
                 "  --save FILE        where the memory goes after each write and at exit\n");
}

bool SaveMemory(const std::string& path, const std::vector<uint8_t>& memory)
{
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
        if (!out.good()) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qmsim::PtyRadioLink link;
    if (!link.IsOpen()) {
        std::fprintf(stderr, "cloneradio: no pseudo-terminal: %s\n", link.Error().c_str());
        return 1;
    }
    qmsim::CloneRadio radio(link);
    std::string savePath;

    const std::map<std::string, qmsim::CloneFault> faults = {
        {"silence", qmsim::CloneFault::Silence},         {"slow", qmsim::CloneFault::SlowFrames},
        {"checksum", qmsim::CloneFault::BadChecksum},     {"lowercase", qmsim::CloneFault::LowercaseHex},
        {"missing", qmsim::CloneFault::MissingAddress},   {"extra", qmsim::CloneFault::ExtraAddress},
        {"endcount", qmsim::CloneFault::WrongEndCount},   {"refuse", qmsim::CloneFault::RefuseWrite},
        {"refuseblock", qmsim::CloneFault::RefuseBlock},  {"writeend", qmsim::CloneFault::WrongWriteEnd},
        {"model", qmsim::CloneFault::WrongModel},         {"payloadlength", qmsim::CloneFault::WrongPayloadLength},
        {"badecho", qmsim::CloneFault::BadEcho},
    };
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--model") {
            radio.modelCode = static_cast<int>(std::strtol(value().c_str(), nullptr, 16));
        } else if (a == "--sub") {
            radio.subCode = static_cast<int>(std::strtol(value().c_str(), nullptr, 16));
        } else if (a == "--end") {
            radio.SetEndAddress(static_cast<uint32_t>(std::strtoul(value().c_str(), nullptr, 16)));
        } else if (a == "--16bit") {
            radio.SetExtendedAddressing(false);
        } else if (a == "--block") {
            radio.readBlock = std::atoi(value().c_str());
        } else if (a == "--order") {
            std::string o = value();
            radio.order = o == "desc" ? qmsim::ReadOrder::Descending
                        : o == "interleave" ? qmsim::ReadOrder::Interleaved
                                            : qmsim::ReadOrder::Ascending;
        } else if (a == "--password") {
            radio.password = value();
        } else if (a == "--no-pacing") {
            radio.pacing = false;
        } else if (a == "--echo") {
            radio.echo = true;
        } else if (a == "--fault") {
            auto it = faults.find(value());
            if (it == faults.end()) {
                Usage();
                return 2;
            }
            radio.fault = it->second;
        } else if (a == "--slow") {
            radio.slowFrameMs = std::atoi(value().c_str());
        } else if (a == "--version") {
            radio.payload[34] = static_cast<uint8_t>(std::strtol(value().c_str(), nullptr, 16));
        } else if (a == "--payload") {
            const std::string v = value();
            const size_t eq = v.find('=');
            const long position = eq == std::string::npos ? -1 : std::strtol(v.c_str(), nullptr, 10);
            const std::string hex = eq == std::string::npos ? std::string() : v.substr(eq + 1);
            if (position < 0 || hex.empty() || hex.size() % 2 != 0 ||
                static_cast<size_t>(position) + hex.size() / 2 > radio.payload.size()) {
                Usage();
                return 2;
            }
            for (size_t k = 0; k < hex.size(); k += 2) {
                const auto b = static_cast<uint8_t>(std::strtol(hex.substr(k, 2).c_str(), nullptr, 16));
                // A frame has no escapes: FE would start a new one, FD end it.
                if (b == 0xFE || b == 0xFD) {
                    std::fprintf(stderr, "cloneradio: FE and FD cannot travel in the identity answer\n");
                    return 2;
                }
                radio.payload[static_cast<size_t>(position) + k / 2] = b;
            }
        } else if (a == "--icf") {
            std::ifstream in(value(), std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::string why;
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "cloneradio: cannot read the clone file\n");
                return 1;
            }
            if (!radio.LoadCloneFile(text, &why)) {
                std::fprintf(stderr, "cloneradio: the clone file cannot be used: %s\n", why.c_str());
                return 1;
            }
        } else if (a == "--load") {
            std::ifstream in(value(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "cloneradio: cannot read the memory file\n");
                return 1;
            }
            std::copy_n(bytes.begin(), std::min(bytes.size(), radio.memory.size()), radio.memory.begin());
        } else if (a == "--save") {
            savePath = value();
        } else {
            Usage();
            return 2;
        }
    }

    // A radio with 16-bit addresses has no memory beyond them.
    if ((radio.payload[109] & 0x40) == 0 && radio.EndAddress() > 0xFFFF) radio.SetEndAddress(0xFF7F);

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("%s\n", link.Path().c_str());
    std::fflush(stdout);

    radio.Start(1);
    int savedWrites = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!savePath.empty() && radio.Stats().writesDone != savedWrites) {
            savedWrites = radio.Stats().writesDone;
            if (!SaveMemory(savePath, radio.memory)) std::fprintf(stderr, "cloneradio: cannot save the memory\n");
        }
        if (g_stop) app.quit();
    });
    watch.start(50);
    app.exec();
    radio.Stop();
    if (!savePath.empty() && !SaveMemory(savePath, radio.memory)) {
        std::fprintf(stderr, "cloneradio: cannot save the memory\n");
        return 1;
    }
    return 0;
}
