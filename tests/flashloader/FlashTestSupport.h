#pragma once
// Helpers of the flash loader's tests: a scripted far end for an in-memory
// line, the flashing pass as the main window chains it (without a window),
// and an independent reading of the embedded S-record table.
#include "flashloader/ComPort.h"
#include "platform/base/MemorySerial.h"
#include "platform/base/Timer.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace flashtest {

// Collects what the loader sends on a line, every millisecond, and lets the
// test answer it.
class FarEnd {
public:
    explicit FarEnd(plat::MemoryLine& line) : m_line(line)
    {
        m_timer = plat::Timers().CreateTimer([this] { Poll(); });
        m_timer->Start(1);
    }
    void Poll()
    {
        std::vector<uint8_t> got = m_line.TakeOutput();
        if (!got.empty()) {
            wire.insert(wire.end(), got.begin(), got.end());
            batches.push_back(got);
        }
        if (respond) respond(*this);
    }
    void Feed(const std::vector<uint8_t>& bytes) { m_line.Feed(bytes); }

    std::vector<uint8_t> wire;                 // everything received
    std::vector<std::vector<uint8_t>> batches; // as it came, a poll each
    std::function<void(FarEnd&)> respond;

private:
    plat::MemoryLine& m_line;
    std::unique_ptr<plat::Timer> m_timer;
};

// Frames FE FE ... FD in a byte stream (the FD not kept, the FE FE kept).
inline std::vector<std::vector<uint8_t>> SplitFrames(const std::vector<uint8_t>& bytes, size_t from = 0)
{
    std::vector<std::vector<uint8_t>> frames;
    std::vector<uint8_t> current;
    bool in = false;
    for (size_t i = from; i < bytes.size(); ++i) {
        uint8_t b = bytes[i];
        if (!in && b == 0xFE) {
            in = true;
            current.assign(1, b);
        } else if (in && b == 0xFD) {
            frames.push_back(current);
            in = false;
        } else if (in) {
            current.push_back(b);
        }
    }
    return frames;
}

// The identity check of the main window: the model must be one of the two
// codes, the payload's first byte its length; the first 125 bytes are kept
// (zero-filled when shorter).
struct IdentityCheck {
    std::array<uint8_t, 125> info{};
    void operator()(fl::dst_CDrv_Result& r)
    {
        if (r.Code != fl::kResultOk) return;
        if (r.ModelCode != 0x7143 && r.ModelCode != 0x7148) {
            r.Code = fl::kResultBadIdentity;
            return;
        }
        if (r.Payload.Length() == 0 || r.Payload.At(0) != r.Payload.Length()) {
            r.Code = fl::kResultBadIdentity;
            return;
        }
        info.fill(0);
        std::copy_n(r.Payload.Data(), std::min(r.Payload.Length(), 125), info.begin());
    }
    bool Protected() const { return (info[53] & 0x08) != 0 && (info[109] & 0x02) != 0; }
};

// One flashing pass as the main window chains it: identity query (no answer
// goes straight to the boot entry), password when the radio asks and one is
// given, boot entry, pre-process upload, ROM write.
class FlashPass {
public:
    explicit FlashPass(fl::ComPort& port) : m_port(port)
    {
        m_port.SetIdCheck([this](fl::dst_CDrv_Result& r) { check(r); });
        m_port.SetProgressReport([this](int done, int total) {
            progress.push_back({m_port.Driver().Operation(), done, total});
        });
    }
    bool Start()
    {
        finished = false;
        code = -1;
        failedOperation = 0;
        steps.clear();
        return m_port.StartIdQuery([this](fl::dst_CDrv_Result& r) { OnId(r); });
    }

    std::optional<std::string> password; // what the password dialog answers
    IdentityCheck check;
    std::vector<std::string> steps;
    struct Progress {
        int operation, done, total;
    };
    std::vector<Progress> progress;
    bool finished = false;
    int code = -1;
    int failedOperation = 0;

private:
    bool Failed(const fl::dst_CDrv_Result& r)
    {
        if (r.Code == fl::kResultOk) return false;
        Finish(r.Code, r.Operation);
        return true;
    }
    void Finish(int c, int operation)
    {
        code = c;
        failedOperation = c == 0 ? 0 : operation;
        finished = true;
    }
    void Boot()
    {
        m_port.StartBootEntry([this](fl::dst_CDrv_Result& r) {
            if (Failed(r)) return;
            steps.push_back("boot");
            m_port.StartPreProcess([this](fl::dst_CDrv_Result& r2) {
                if (Failed(r2)) return;
                steps.push_back("pre-process");
                m_port.StartRomWrite([this](fl::dst_CDrv_Result& r3) {
                    if (Failed(r3)) return;
                    steps.push_back("rom");
                    Finish(0, 0);
                });
            });
        });
    }
    void OnId(fl::dst_CDrv_Result& r)
    {
        if (r.Code == fl::kResultTimeout) {
            steps.push_back("no identity");
            Boot();
            return;
        }
        if (Failed(r)) return;
        steps.push_back("identity");
        if (check.Protected() && password) {
            fl::g_FlashPassword = *password;
            m_port.SetUsePassword(true);
            m_port.StartPassword([this](fl::dst_CDrv_Result& r2) {
                if (Failed(r2)) return;
                steps.push_back("password");
                Boot();
            });
            return;
        }
        Boot();
    }

    fl::ComPort& m_port;
};

// The image the embedded S-record lines describe, read independently of the
// loader: 0x80000 bytes, FF where no record wrote.
std::vector<uint8_t> EmbeddedImage();

} // namespace flashtest
