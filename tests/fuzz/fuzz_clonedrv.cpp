// The clone driver's receive path: any reply bytes on the in-memory line
// while it identifies the radio, reads its memory or writes it, in simulated
// time. Every operation must end, with its completion called once and a
// result code of the driver's, soon after the line goes quiet.
//
// Input: a configuration byte (operation, extended addresses, echo check,
// end-frame count, write acknowledges, acknowledge interval, password), a
// byte for the image size and script, two address ranges (2 + 1 bytes
// each), then chunks of reply bytes: a pause (in 10 ms steps) and a length
// before each.
#include "core/cmcCloneDrv.h"
#include "core/cmcEeprom.h"
#include "platform/base/MemorySerial.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

constexpr int kPort = 3;
constexpr int kStepMs = 10;
// Longer than any of the driver's waits.
constexpr uint32_t kQuietLimitMs = 30000;

const std::set<int> kResultCodes = {kCloneOk,       kCloneOpenFailed,     kCloneEchoError,  kCloneTimeout,
                                    kCloneBadFrame, kCloneEndCountDiffers, kCloneDataMissing, kCloneDataOutside,
                                    kCloneWriteEndRefused, kCloneWriteFailed, kClonePasswordRefused};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using qmfuzz::Require;
    qmfuzz::Input in(data, size);
    const uint8_t config = in.Byte();
    const uint8_t layout = in.Byte();
    const int imageSizes[] = {0x100, 0x400, 0x2000, 0x10040};
    const int imageSize = imageSizes[layout & 3];
    const char* scripts[] = {"", "(9600,N,8,1)", "FEFE01FD", "FE FE 12 FD(19200,N,8,1)"};
    dst_AdrRange ranges[3];
    for (int i = 0; i < 2; ++i) {
        ranges[i].First = in.U16() % (imageSize + 32);
        ranges[i].Last = ranges[i].First + in.Byte() - 8;
    }
    ranges[2] = {1, 0};

    qmfuzz::SimulatedTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    cmcCloneDrv drv;
    drv.SetPort(kPort, "9600,N,8,1");
    drv.SetModel(0x7143, 0);
    drv.SetImageSize(imageSize);
    drv.SetScript(scripts[(layout >> 2) & 3]);
    drv.SetExtendedAddress(config & 0x04);
    const bool echo = (config & 0x08) != 0;
    drv.SetEchoCheck(echo);
    drv.SetEndFrameCount(config & 0x10);
    drv.SetWaitWriteAck(config & 0x20);
    if (config & 0x40) drv.SetAckInterval(64, 48);
    drv.SetPasswordSent(config & 0x80);

    int calls = 0;
    int code = -1;
    CloneCompletion done{[&](void*, dst_CDrv_Result* r) {
                             ++calls;
                             code = r->ResultCode;
                             Require(r->Image.Size() == imageSize, "the result image changed its size");
                         },
                         nullptr};
    bool started = false;
    switch (config & 3) {
    case 1: started = drv.StartRead(ranges, done); break;
    case 2: {
        cmcEeprom image;
        image.Resize(imageSize);
        image.Fill(0x5A);
        started = drv.StartWrite(image, ranges, done);
        break;
    }
    default: started = drv.StartIdQuery(done); break;
    }
    Require(started, "an idle driver refused to start");

    // The far end: takes what the driver sends (echoing it back when the
    // driver checks echoes) and answers with the input's bytes.
    auto farEnd = [&] {
        std::vector<uint8_t> sent = line.TakeOutput();
        if (echo) line.Feed(sent);
    };
    while (!in.Empty() && drv.IsBusy()) {
        const int pause = in.Byte() % 16;
        for (int i = 0; i < pause && drv.IsBusy(); ++i) {
            time.Advance(kStepMs);
            farEnd();
        }
        std::string_view chunk = in.Bytes(in.Byte());
        line.Feed(std::string(chunk));
        time.Advance(kStepMs);
        farEnd();
    }
    const uint64_t quietFrom = time.Now();
    while (drv.IsBusy()) {
        Require(time.Now() - quietFrom <= kQuietLimitMs, "the driver is still busy long after the line went quiet");
        time.Advance(kStepMs);
        farEnd();
    }
    time.Advance(kStepMs);
    Require(calls == 1, "the completion did not run exactly once");
    Require(kResultCodes.count(code) == 1, "a result code the driver does not have: " + std::to_string(code));
    Require(!line.isOpen, "the port is still open after the operation");
    return 0;
}
