// The flash driver's receive path: any reply bytes on the in-memory line
// during each of its five operations, in simulated time, with a cancel at an
// input-chosen moment. Every operation ends with its completion called once
// and a result code of the driver's: by itself soon after the line goes
// quiet, or, in the waits that have no time-out (the radio may take long),
// at the first tick after a cancel.
//
// Input: the operation and its options, the upload's chunk size and
// length, the ROM write's address choices, the chunk after which to cancel,
// then chunks of reply bytes: a pause (in 10 ms steps) and a length before
// each.
#include "flashloader/cmcCloneDrv.h"
#include "platform/base/MemorySerial.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

constexpr int kPort = 1;
constexpr int kStepMs = 10;
// Longer than the slowest way to end by itself: the longest upload these
// inputs make (8 chunks, 250 ms apart), then a time-out.
constexpr uint32_t kQuietLimitMs = 5000;

const std::set<int> kResultCodes = {fl::kResultOk,      fl::kResultOpenFailed,  fl::kResultBaudFailed, fl::kResultTimeout,
                                    fl::kResultRefused, fl::kResultWriteFailed, fl::kResultCancelled};
// The waits for the radio that never time out.
const std::set<int> kPatientStates = {35, 37, 38, 40};

std::vector<uint8_t> g_image;   // a firmware image with a few programmed blocks
std::vector<uint8_t> g_block;   // a pre-process block

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    g_image.assign(fl::kFlashImageSize, 0xFF);
    for (uint32_t a = 0; a < 0x180; ++a) g_image[a] = static_cast<uint8_t>(a * 7);       // escapes among them
    for (uint32_t a = 0x300; a < 0x310; ++a) g_image[a] = 0x00;
    for (uint32_t a = 0x7FF40; a < 0x80000; ++a) g_image[a] = static_cast<uint8_t>(a);   // up to the image's end
    g_block.resize(8192);
    for (size_t i = 0; i < g_block.size(); ++i) g_block[i] = static_cast<uint8_t>(i * 13);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using qmfuzz::Require;
    qmfuzz::Input in(data, size);
    const uint8_t config = in.Byte();
    const int operation = config % 5 + 1;
    const int chunkSize = in.Byte();
    const int total = in.U16() % 1024;
    const uint32_t firstChoices[] = {0x000, 0x080, 0x2C0, 0x7FF00, 0x80000, 0xFFFFFF80};
    const uint32_t first = firstChoices[in.Byte() % 6] + (in.Byte() & 0x7F);
    const uint32_t end = first + static_cast<uint32_t>(in.Byte()) * 4;
    const int cancelAfter = in.Byte();

    qmfuzz::SimulatedTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    fl::cmcCloneDrv drv;
    drv.SetModel(0x7143, 0x7148, 0);
    drv.SetPort(kPort, (config & 0x08) ? "38400" : "9600");
    drv.SetDefaultTimeout(300);
    drv.SetScriptTimeout(200);
    drv.SetScript((config & 0x10) ? "(38400)FEFE EEEF E8 0000 0000 01 3237 FD(9600)" : "(9600)");

    int calls = 0;
    int code = -1;
    auto done = [&](fl::dst_CDrv_Result& r) {
        ++calls;
        code = r.Code;
    };
    fl::dst_FlashParam param;
    bool started = false;
    switch (operation) {
    case fl::kOpIdQuery: started = drv.StartIdQuery(done); break;
    case fl::kOpPassword: started = drv.StartPassword(done); break;
    case fl::kOpBootEntry: started = drv.StartBootEntry(done); break;
    case fl::kOpPreProcess:
        // The upload goes on the port the boot entry left open.
        if ((config & 0x20) == 0) drv.Port().Open(kPort, "38400");
        param.ChunkSize = chunkSize;
        param.Total = std::min(total, 8 * std::max(chunkSize, 1));
        param.Data = g_block.data();
        started = drv.StartPreProcess(param, done);
        Require(started == (chunkSize > 0), "a pre-process chunk size accepted or refused wrongly");
        if (!started) return 0;
        break;
    default:
        if ((config & 0x20) == 0) drv.Port().Open(kPort, "38400");
        drv.SetScript("");
        param.Total = total;
        param.ChunkSize = 128;
        param.ImageSum = total * 77;
        param.FirstAddress = first;
        param.EndAddress = end;
        param.Data = g_image.data();
        started = drv.StartRomWrite(param, done);
        break;
    }
    Require(started, "an idle driver refused to start");

    int chunk = 0;
    while (!in.Empty() && drv.IsBusy()) {
        const int pause = in.Byte() % 16;
        for (int i = 0; i < pause && drv.IsBusy(); ++i) {
            time.Advance(kStepMs);
            line.TakeOutput();
        }
        line.Feed(std::string(in.Bytes(in.Byte())));
        time.Advance(kStepMs);
        line.TakeOutput();
        if (chunk++ == cancelAfter) drv.Cancel();
    }
    const uint64_t quietFrom = time.Now();
    while (drv.IsBusy() && time.Now() - quietFrom <= kQuietLimitMs) {
        time.Advance(kStepMs);
        line.TakeOutput();
    }
    if (drv.IsBusy()) {
        Require(kPatientStates.count(drv.State()) == 1,
                "the driver is still busy long after the line went quiet, in state " + std::to_string(drv.State()));
        drv.Cancel();
        time.Advance(kStepMs);
        line.TakeOutput();
        time.Advance(kStepMs);
        Require(!drv.IsBusy(), "a cancelled operation did not end");
    }
    time.Advance(kStepMs);
    Require(calls == 1, "the completion did not run exactly once");
    Require(kResultCodes.count(code) == 1, "a result code the driver does not have: " + std::to_string(code));
    return 0;
}
