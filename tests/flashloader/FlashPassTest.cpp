// Whole flashing passes against the simulated radio on an in-memory line,
// driven by the manual clock.
#include "flashloader/ComPort.h"
#include "platform/base/MemorySerial.h"
#include "tests/flashloader/FlashTestSupport.h"
#include "tests/sim/FlashRadio.h"
#include "tests/support/TestSupport.h"

#include <optional>
#include <string>

namespace {

using qmsim::FlashRadio;

struct Rig {
    explicit Rig(FlashRadio::Settings settings) : radio(std::move(settings)) {}
    bool Run(flashtest::FlashPass& pass, uint32_t maxMs = 60000)
    {
        return pass.Start() && time.host.AdvanceUntil([&] { return pass.finished; }, maxMs, 5);
    }
    qmtest::ManualTime time;
    qmtest::TempDir dir;
    plat::ScopedMemorySerial serial;
    FlashRadio radio;
    qmsim::FlashRadioOnLine server{radio, serial.ports.Line(1)};
    fl::ComPort port{dir.File("QM7150Q.INI")};
};

TEST(FlashPass, EndsWithTheResultCodeOfWhatTheRadioDoes)
{
    auto with = [](auto change) {
        FlashRadio::Settings s;
        change(s);
        return s;
    };
    struct Case {
        const char* name;
        FlashRadio::Settings radio;
        std::optional<std::string> password;
        int code;
        int failedOperation;
        bool flashed;
    };
    const Case cases[] = {
        {"a radio that asks for nothing", {}, std::nullopt, 0, 0, true},
        {"the right password", with([](auto& s) { s.password = "Secret1"; }), "Secret1", 0, 0, true},
        {"a wrong password", with([](auto& s) { s.password = "Secret1"; }), "secret1", 5, fl::kOpBootEntry, false},
        {"no password given", with([](auto& s) { s.password = "Secret1"; }), std::nullopt, 5, fl::kOpBootEntry, false},
        {"already in its boot loader", with([](auto& s) { s.startInBoot = true; }), std::nullopt, 0, 0, true},
        {"another model", with([](auto& s) { s.model = 0x7150; }), std::nullopt, 11, fl::kOpIdQuery, false},
        {"silence", with([](auto& s) { s.faults.silent = true; }), std::nullopt, 5, fl::kOpBootEntry, false},
        {"no answer to the wake bytes", with([](auto& s) { s.faults.noWakeAnswer = true; }), std::nullopt, 5,
         fl::kOpBootEntry, false},
        {"a wrong handshake answer", with([](auto& s) { s.faults.wrongHandshake = 2; }), std::nullopt, 5,
         fl::kOpBootEntry, false},
        {"a refused record", with([](auto& s) { s.faults.refuseRecord = 7; }), std::nullopt, 6, fl::kOpRomWrite, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.radio);
        flashtest::FlashPass pass(rig.port);
        pass.password = c.password;
        ASSERT_TRUE(rig.Run(pass));
        EXPECT_EQ(pass.code, c.code);
        EXPECT_EQ(pass.failedOperation, c.failedOperation);
        EXPECT_EQ(rig.radio.Flash() == flashtest::EmbeddedImage(), c.flashed);
        EXPECT_FALSE(rig.serial.ports.Line(1).isOpen);
        if (c.flashed) {
            EXPECT_EQ(rig.radio.PreProcess(), std::vector<uint8_t>(rig.port.PreProcessData(),
                                                                   rig.port.PreProcessData() + 3884));
            EXPECT_TRUE(rig.radio.lastSumMatched);
            EXPECT_EQ(rig.radio.sessionsEnded, 1);
            EXPECT_EQ(rig.radio.GetMode(), FlashRadio::Mode::Normal);
        }
    }
}

TEST(FlashPass, ProgressMovesDuringBothUploads)
{
    Rig rig({});
    flashtest::FlashPass pass(rig.port);
    ASSERT_TRUE(rig.Run(pass));
    ASSERT_EQ(pass.code, 0);
    for (int op : {fl::kOpPreProcess, fl::kOpRomWrite}) {
        SCOPED_TRACE(op);
        std::vector<int> done;
        for (const auto& p : pass.progress)
            if (p.operation == op) {
                done.push_back(p.done);
                EXPECT_EQ(p.total, op == fl::kOpPreProcess ? 3884 : rig.port.BlockCount());
            }
        ASSERT_FALSE(done.empty());
        EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
        EXPECT_GT(done.back(), done.front());
    }
    const auto& last = pass.progress.back();
    EXPECT_EQ(last.operation, fl::kOpRomWrite);
    EXPECT_GT(last.done * 100 / last.total, 80);
}

TEST(FlashPass, EveryPassWritesFromTheLowestRecordAddress)
{
    Rig rig({});
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        flashtest::FlashPass pass(rig.port);
        rig.radio.recordAddresses.clear();
        ASSERT_TRUE(rig.Run(pass));
        ASSERT_EQ(pass.code, 0);
        ASSERT_FALSE(rig.radio.recordAddresses.empty());
        EXPECT_EQ(rig.radio.recordAddresses.front(), rig.port.LowestRecordAddress());
        EXPECT_EQ(rig.radio.recordAddresses.back(), 0x7FF80u);
    }
    EXPECT_EQ(rig.radio.sessionsEnded, 2);
}

TEST(FlashPass, CancelDuringTheRomWriteLeavesTheRadioToTheNextPass)
{
    Rig rig({});
    flashtest::FlashPass pass(rig.port);
    ASSERT_TRUE(pass.Start());
    ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return rig.radio.recordsWritten >= 10; }, 60000, 5));
    rig.port.CancelOperation();
    ASSERT_TRUE(rig.time.host.AdvanceUntil([&] { return pass.finished; }, 1000));
    EXPECT_EQ(pass.code, fl::kResultCancelled);
    EXPECT_EQ(pass.failedOperation, fl::kOpRomWrite);
    EXPECT_FALSE(rig.serial.ports.Line(1).isOpen);
    EXPECT_EQ(rig.radio.GetMode(), FlashRadio::Mode::Flash); // still in its boot loader

    // The next pass finds no identity answer and goes through the boot entry.
    flashtest::FlashPass again(rig.port);
    ASSERT_TRUE(rig.Run(again));
    EXPECT_EQ(again.code, 0);
    EXPECT_EQ(again.steps.front(), "no identity");
    EXPECT_EQ(rig.radio.Flash(), flashtest::EmbeddedImage());
}

} // namespace
