#include "flashloader/cmcCloneDrv.h"
#include "platform/base/MemorySerial.h"
#include "tests/flashloader/FlashTestSupport.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

class FlashDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        drv.SetModel(0x7143, 0x7148, 0);
        drv.SetPort(1, "9600");
    }
    fl::CloneCompletion Collect()
    {
        return [this](fl::dst_CDrv_Result& r) { results.push_back(r); };
    }
    bool Until(const std::function<bool()>& pred, uint32_t maxMs = 20000)
    {
        return time.host.AdvanceUntil(pred, maxMs);
    }
    bool RunToEnd(uint32_t maxMs = 20000)
    {
        return Until([&] { return !drv.IsBusy(); }, maxMs);
    }
    int Code() const { return results.empty() ? -1 : results.back().Code; }

    qmtest::ManualTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(1);
    flashtest::FarEnd far{line};
    fl::cmcCloneDrv drv;
    std::vector<fl::dst_CDrv_Result> results;
};

TEST_F(FlashDriver, IdentityQueryRunsTheScriptFollowsTheSpeedAndReadsTheReply)
{
    drv.SetScript("(38400)FEFE 0102 FD(9600)FEFE 0304 FD");
    drv.SetDefaultTimeout(5000);
    drv.SetScriptTimeout(2000);
    ASSERT_TRUE(drv.StartIdQuery(Collect()));
    EXPECT_FALSE(drv.StartIdQuery(Collect())); // busy
    ASSERT_TRUE(Until([&] { return drv.State() == 6; }));

    std::vector<int> speeds;
    for (const auto& s : line.history) speeds.push_back(s.baud);
    EXPECT_EQ(speeds, (std::vector<int>{38400, 9600, 9600})); // two reopens, then the switch
    EXPECT_EQ(far.wire, (Bytes{0xFE, 0xFE, 0x01, 0x02, 0xFD, 0xFE, 0xFE, 0x03, 0x04, 0xFD,
                               0xFE, 0xFE, 0xEE, 0xEF, 0xE0, 0x71, 0x43, 0x00, 0x00, 0xFD}));

    far.Feed({0x11, 0x22, 0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x71, 0x48, 0x00, 0x02, 0x03, 0xAA, 0xBB, 0xFD});
    ASSERT_TRUE(RunToEnd());
    ASSERT_EQ(results.size(), 1u);
    const fl::dst_CDrv_Result& r = results[0];
    EXPECT_EQ(r.Operation, fl::kOpIdQuery);
    EXPECT_EQ(r.Code, fl::kResultOk);
    EXPECT_EQ(r.ModelCode, 0x7148);
    EXPECT_EQ(r.SubCode, 2);
    EXPECT_EQ(Bytes(r.Payload.Data(), r.Payload.Data() + r.Payload.Length()), (Bytes{0x03, 0xAA, 0xBB}));
    EXPECT_FALSE(line.isOpen); // closed after an identity query
}

TEST_F(FlashDriver, IdentityRepliesThatAreMalformedGiveCode6)
{
    const Bytes good = {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x71, 0x43, 0x00, 0x00, 0x01, 0xFD};
    const Bytes seven = {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x71, 0x43, 0x00, 0xFD};
    const Bytes other = {0xFE, 0xFE, 0xEF, 0xEE, 0xE8, 0x71, 0x43, 0x00, 0x00, 0xFD};
    Bytes overlong = {0xFE};
    overlong.insert(overlong.end(), 530, 0x11);
    auto join = [](Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        const char* name;
        Bytes reply;
        int code;
    };
    const Case cases[] = {
        {"a valid reply", good, 0},
        {"seven bytes", seven, 6},
        {"another command", other, 6},
        {"the last of two replies wins (valid)", join(seven, good), 0},
        {"the last of two replies wins (malformed)", join(good, seven), 6},
        {"a frame that never ends", overlong, 6},
        {"an empty payload is a frame of eight bytes", Bytes{0xFE, 0xEF, 0xEE, 0xE1, 0x71, 0x43, 0, 0, 0xFD}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        results.clear();
        drv.SetScript("(9600)");
        ASSERT_TRUE(drv.StartIdQuery(Collect()));
        ASSERT_TRUE(Until([&] { return drv.State() == 6; }));
        far.Feed(c.reply);
        ASSERT_TRUE(RunToEnd());
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(Code(), c.code);
    }
}

TEST_F(FlashDriver, NoIdentityReplyEndsWithTheReplyTimeout)
{
    drv.SetScript("(9600)");
    drv.SetDefaultTimeout(5000);
    ASSERT_TRUE(drv.StartIdQuery(Collect()));
    ASSERT_TRUE(Until([&] { return drv.State() == 6; }));
    time.Advance(4980);
    EXPECT_TRUE(drv.IsBusy());
    ASSERT_TRUE(RunToEnd(100));
    EXPECT_EQ(Code(), fl::kResultTimeout);
}

TEST_F(FlashDriver, ScriptAndPortFailuresEndTheOperationOnceWithTheirCode)
{
    enum When { kNever, kBeforeStart, kAfterScript };
    struct Case {
        const char* name;
        int port;
        const char* script;
        When when;
        std::function<void(plat::MemoryLine&)> fault;
        int code;
    };
    const Case cases[] = {
        {"a speed whose port cannot be opened", 7, "(9600)FEFE 01 FD(9600)", kNever, nullptr, fl::kResultOpenFailed},
        {"the speed change after the script", 1, "(9600)", kAfterScript,
         [](plat::MemoryLine& l) { l.failConfigure = true; }, fl::kResultBaudFailed},
        {"a write the device refuses", 1, "(9600)FEFE 01 FD(9600)", kBeforeStart,
         [](plat::MemoryLine& l) { l.writeError = true; }, fl::kResultWriteFailed},
        {"output that never leaves", 1, "(9600)FEFE 01 FD", kBeforeStart,
         [](plat::MemoryLine& l) { l.stallOutput = true; }, fl::kResultTimeout},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        results.clear();
        line.failConfigure = line.writeError = line.stallOutput = false;
        if (c.when == kBeforeStart) c.fault(line);
        drv.SetPort(c.port, "9600");
        drv.SetScript(c.script);
        ASSERT_TRUE(drv.StartIdQuery(Collect()));
        if (c.when == kAfterScript) {
            ASSERT_TRUE(Until([&] { return drv.State() == 4; }));
            c.fault(line);
        }
        ASSERT_TRUE(RunToEnd());
        time.Advance(100);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(Code(), c.code);
        EXPECT_FALSE(line.isOpen);
        if (c.code == fl::kResultOpenFailed) {
            EXPECT_EQ(drv.Script(), ""); // the rest is dropped
        }
    }
}

TEST_F(FlashDriver, BootEntryWakesTheBootLoaderAndShakesHandsLeavingThePortOpen)
{
    drv.SetScript("(38400)");
    drv.SetPort(1, "38400");
    drv.SetDefaultTimeout(5000);
    ASSERT_TRUE(drv.StartBootEntry(Collect()));
    ASSERT_TRUE(Until([&] { return drv.State() == 18; }));
    time.Advance(30);
    far.Feed({0x42}); // not 55: one more wake
    time.Advance(20);

    const Bytes boot1 = {0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x71, 0x43, 0x00, 0x00, 0xF0, 0x30, 0x30, 0xFD};
    const Bytes boot2 = {0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x71, 0x48, 0x00, 0x00, 0xF0, 0x30, 0x30, 0xFD};
    ASSERT_GE(far.wire.size(), 26u + 4 * 4);
    EXPECT_EQ(Bytes(far.wire.begin(), far.wire.begin() + 13), boot1);
    EXPECT_EQ(Bytes(far.wire.begin() + 13, far.wire.begin() + 26), boot2);
    for (size_t i = 26; i < far.wire.size(); i += 4)
        EXPECT_EQ(Bytes(far.wire.begin() + i, far.wire.begin() + i + 4), (Bytes{0x56, 0x4F, 0x53, 0x4B}));

    far.Feed({0x55});
    const uint8_t sent[] = {0x00, 0x55, 0x44, 0x43, 0x42, 0x41};
    const uint8_t answer[] = {0x00, 0xAA, 0x44, 0x43, 0x42, 0x41};
    for (int k = 0; k < 6; ++k) {
        ASSERT_TRUE(Until([&] { return drv.State() == 20 + 2 * k; }, 1000)) << k;
        EXPECT_EQ(line.written.back(), sent[k]);
        far.Feed({0x13, answer[k]}); // a stray byte is dropped first
    }
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Code(), fl::kResultOk);
    EXPECT_TRUE(line.isOpen);
    EXPECT_EQ(line.settings.baud, 38400);
}

TEST_F(FlashDriver, PreProcessSendsTheLengthThenPacedChunksOnTheOpenPort)
{
    ASSERT_EQ(drv.Port().Open(1, "38400"), 1);
    Bytes block(3884);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
    fl::dst_FlashParam param;
    param.Total = 3884;
    param.ChunkSize = 255;
    param.Data = block.data();
    drv.SetDefaultTimeout(2000);
    ASSERT_TRUE(drv.StartPreProcess(param, Collect()));
    ASSERT_TRUE(Until([&] { return far.wire.size() == 2; }));
    EXPECT_EQ(far.wire, (Bytes{0x0F, 0x2C}));
    far.Feed({0x0F, 0x2C});
    ASSERT_TRUE(Until([&] { return drv.State() == 34; }));
    const uint64_t echoed = time.clock.Time64();

    std::vector<std::pair<uint64_t, size_t>> chunks;
    far.respond = [&](flashtest::FarEnd& f) {
        if (f.batches.size() > chunks.size() + 1)
            chunks.push_back({time.clock.Time64() - echoed, f.batches.back().size()});
    };
    ASSERT_TRUE(Until([&] { return drv.State() == 35; }));
    time.Advance(2);
    ASSERT_EQ(chunks.size(), 16u);
    for (size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].second, i < 15 ? 255u : 59u) << i;
        EXPECT_NEAR(static_cast<double>(chunks[i].first), 250.0 * static_cast<double>(i + 1), 12.0) << i;
    }
    EXPECT_EQ(Bytes(far.wire.begin() + 2, far.wire.end()), block);
    EXPECT_EQ(drv.ProgressDone(), 3825);

    time.Advance(10000); // the radio may take long: no time-out here
    EXPECT_EQ(drv.State(), 35);
    far.Feed({0xAA});
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Code(), fl::kResultOk);
    EXPECT_TRUE(line.isOpen); // left open for the ROM write
    EXPECT_EQ(line.opens, 1); // no script: the port was not reopened
}

TEST_F(FlashDriver, PreProcessWithoutTheEchoTimesOut)
{
    ASSERT_EQ(drv.Port().Open(1, "38400"), 1);
    Bytes block(10, 0x33);
    fl::dst_FlashParam param;
    param.Total = 10;
    param.ChunkSize = 255;
    param.Data = block.data();
    drv.SetDefaultTimeout(2000);
    ASSERT_TRUE(drv.StartPreProcess(param, Collect()));
    ASSERT_TRUE(Until([&] { return drv.State() == 32; }));
    far.Feed({0x0E, 0x0F}); // wrong, then the right high byte; no low byte
    time.Advance(1900);
    EXPECT_TRUE(drv.IsBusy());
    ASSERT_TRUE(RunToEnd(300));
    EXPECT_EQ(Code(), fl::kResultTimeout);
    EXPECT_FALSE(line.isOpen);
}

// The ROM write against a far end that acknowledges every record (or refuses
// the one at refuseAt) and the first sum frame.
class FlashRomWrite : public FlashDriver {
protected:
    void SetUp() override
    {
        FlashDriver::SetUp();
        image.assign(fl::kFlashImageSize, 0xFF);
        ASSERT_EQ(drv.Port().Open(1, "38400"), 1);
        drv.SetPort(1, "38400");
        drv.SetDefaultTimeout(2000);
        far.respond = [this](flashtest::FarEnd& f) {
            auto frames = flashtest::SplitFrames(f.wire);
            while (answered < frames.size()) {
                const auto& fr = frames[answered++];
                if (fr.size() > 2 && fr[2] == 0x0F && fr.size() < 10) continue; // second sum frame
                f.Feed({static_cast<uint8_t>(static_cast<int>(answered) - 1 == refuseAt ? 0xFA : 0xFB)});
            }
        };
    }
    bool Start(uint32_t first, uint32_t end, int sum = 0)
    {
        param.Total = 10;
        param.ChunkSize = 128;
        param.ImageSum = sum;
        param.FirstAddress = first;
        param.EndAddress = end;
        param.Data = image.data();
        return drv.StartRomWrite(param, Collect());
    }
    // The record frames sent: address and data, escapes undone.
    std::vector<std::pair<uint32_t, Bytes>> Records()
    {
        std::vector<std::pair<uint32_t, Bytes>> records;
        for (const auto& fr : flashtest::SplitFrames(far.wire)) {
            Bytes d;
            for (size_t i = 2; i < fr.size(); ++i) d.push_back(fr[i] == 0xFF ? static_cast<uint8_t>(0xF0 | fr[++i]) : fr[i]);
            if (d.size() != 132) continue;
            records.push_back({uint32_t{d[0]} << 24 | uint32_t{d[1]} << 16 | uint32_t{d[2]} << 8 | d[3],
                               Bytes(d.begin() + 4, d.end())});
        }
        return records;
    }
    Bytes ImageAt(uint32_t address)
    {
        Bytes b;
        for (uint32_t i = 0; i < 128; ++i) b.push_back(address + i < image.size() ? image[address + i] : 0xFF);
        return b;
    }

    Bytes image;
    fl::dst_FlashParam param;
    size_t answered = 0;
    int refuseAt = -1;
};

TEST_F(FlashRomWrite, SendsEscapedRecordsSkipsBlankOnesAndEndsWithTheSumFrames)
{
    const Bytes head = {0x00, 0x01, 0xFA, 0xFF, 0xFB, 0xFC, 0xFD, 0xFE};
    std::copy(head.begin(), head.end(), image.begin() + 0xFA80);
    for (uint32_t a = 0xFA88; a < 0xFB00; ++a) image[a] = static_cast<uint8_t>(a);
    // 0xFB00 and 0xFB80 stay blank
    for (uint32_t a = 0xFC00; a < 0xFC90; ++a) image[a] = 0x11; // the last record ends inside its block
    ASSERT_TRUE(Start(0xFA80, 0xFC8F, 0x12FD));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Code(), fl::kResultOk);
    EXPECT_FALSE(line.isOpen);

    auto frames = flashtest::SplitFrames(far.wire);
    ASSERT_EQ(frames.size(), 5u);
    const Bytes start = {0xFE, 0xFE, 0x00, 0x00, 0xFF, 0x0A, 0x80, 0x00, 0x01, 0xFF, 0x0A, 0xFF, 0x0F,
                         0xFF, 0x0B, 0xFF, 0x0C, 0xFF, 0x0D, 0xFF, 0x0E};
    EXPECT_EQ(Bytes(frames[0].begin(), frames[0].begin() + static_cast<long>(start.size())), start);
    EXPECT_EQ(frames[3], (Bytes{0xFE, 0xFE, 0x01, 0x12, 0xFF, 0x0D}));
    EXPECT_EQ(frames[4], (Bytes{0xFE, 0xFE, 0x0F, 0x12, 0xFF, 0x0D}));
    for (const auto& fr : frames)
        for (size_t i = 2; i < fr.size(); ++i) EXPECT_LT(fr[i], 0xFA + (fr[i] == 0xFF ? 6 : 0));

    auto records = Records();
    ASSERT_EQ(records.size(), 3u);
    const uint32_t expected[] = {0xFA80, 0xFC00, 0xFC80};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i].first, expected[i]);
        EXPECT_EQ(records[i].second, ImageAt(expected[i]));
    }
    // Three ticks built records; the blank pair was skipped within one.
    EXPECT_EQ(drv.ProgressDone(), 3);
}

TEST_F(FlashRomWrite, TheWalkEndsAtTheLastDataByteAndNeverReadsBeyondTheImage)
{
    struct Case {
        const char* name;
        uint32_t dataFrom, dataTo; // programmed bytes
        uint32_t first, end;
        std::vector<uint32_t> records;
    };
    const Case cases[] = {
        {"blank blocks up to the end address", 0x100, 0x17F, 0x100, 0x3FF, {0x100}},
        {"a last record on a block boundary", 0x000, 0x08F, 0x000, 0x08F, {0x000, 0x080}},
        {"a last byte that opens a block", 0x000, 0x080, 0x000, 0x080, {0x000, 0x080}},
        {"a record whose only programmed byte is its last", 0x17F, 0x17F, 0x100, 0x1FF, {0x100}},
        {"a record that runs past the image", 0x7FFC0, 0x7FFFF, 0x7FFC0, 0x7FFFF, {0x7FFC0}},
        {"nothing but blank", 1, 0, 0x000, 0x07F, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        image.assign(fl::kFlashImageSize, 0xFF);
        for (uint32_t a = c.dataFrom; a <= c.dataTo && c.dataFrom <= c.dataTo; ++a) image[a] = static_cast<uint8_t>(a);
        far.wire.clear();
        far.batches.clear();
        answered = 0;
        results.clear();
        if (!line.isOpen) {
            ASSERT_EQ(drv.Port().Open(1, "38400"), 1);
        }
        ASSERT_TRUE(Start(c.first, c.end));
        ASSERT_TRUE(RunToEnd());
        EXPECT_EQ(Code(), fl::kResultOk);
        std::vector<uint32_t> sent;
        for (const auto& [address, data] : Records()) {
            sent.push_back(address);
            EXPECT_EQ(data, ImageAt(address));
        }
        EXPECT_EQ(sent, c.records);
        EXPECT_EQ(flashtest::SplitFrames(far.wire).size(), c.records.size() + 2); // and the sum frames
    }
}

TEST_F(FlashRomWrite, ARefusedRecordEndsWithCode6)
{
    for (uint32_t a = 0; a < 0x200; ++a) image[a] = 0x22;
    refuseAt = 1;
    ASSERT_TRUE(Start(0, 0x1FF));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Code(), fl::kResultRefused);
    EXPECT_EQ(Records().size(), 2u); // nothing after the refusal
    EXPECT_FALSE(line.isOpen);
}

TEST_F(FlashRomWrite, ARefusedSumEndsWithCode6)
{
    for (uint32_t a = 0; a < 0x80; ++a) image[a] = 0x22;
    refuseAt = 1; // the record is answered FB, the sum frame FA
    ASSERT_TRUE(Start(0, 0x7F));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Code(), fl::kResultRefused);
    EXPECT_EQ(flashtest::SplitFrames(far.wire).size(), 2u); // no second sum frame
}

TEST_F(FlashRomWrite, CancelWhileARecordAwaitsItsAnswerEndsAtTheNextTick)
{
    for (uint32_t a = 0; a < 0x200; ++a) image[a] = 0x22;
    far.respond = nullptr; // nobody answers
    ASSERT_TRUE(Start(0, 0x1FF));
    ASSERT_TRUE(Until([&] { return drv.State() == 37; }));
    time.Advance(10000); // the wait for an answer has no time-out
    EXPECT_EQ(drv.State(), 37);
    drv.Cancel();
    time.Advance(10);
    EXPECT_EQ(drv.State(), 43);
    ASSERT_TRUE(RunToEnd(20));
    EXPECT_EQ(Code(), fl::kResultCancelled);
    EXPECT_FALSE(line.isOpen);
}

TEST_F(FlashRomWrite, AnswersBehindABabblingLineAreTakenAtOnce)
{
    // Found by fuzzing: a wait read up to 256 bytes a tick but took one, so
    // a line that babbles piled up a backlog without bound, and the real
    // answer waited behind it.
    for (uint32_t a = 0; a < 0x100; ++a) image[a] = 0x22;
    far.respond = nullptr;
    ASSERT_TRUE(Start(0, 0xFF));
    ASSERT_TRUE(Until([&] { return drv.State() == 37; }));
    const Bytes noise(256, 0x13);
    for (int tick = 0; tick < 100; ++tick) {
        far.Feed(noise);
        time.Advance(10);
    }
    EXPECT_EQ(drv.State(), 37);
    // One answer for the first record, then the ones for the last record and
    // the sum frame, already waiting when their turns come.
    far.Feed({0x13, 0xFB, 0xFB, 0xFB});
    ASSERT_TRUE(RunToEnd(100));
    EXPECT_EQ(Code(), fl::kResultOk);
    EXPECT_EQ(Records().size(), 2u);
    EXPECT_EQ(flashtest::SplitFrames(far.wire).size(), 4u);
}

TEST_F(FlashDriver, AHandshakeAnswerBehindABabblingLineIsTakenAtOnce)
{
    drv.SetScript("(38400)");
    drv.SetPort(1, "38400");
    drv.SetDefaultTimeout(5000);
    ASSERT_TRUE(drv.StartBootEntry(Collect()));
    ASSERT_TRUE(Until([&] { return drv.State() == 18; }));
    far.Feed({0x55});
    ASSERT_TRUE(Until([&] { return drv.State() == 20; }));
    for (int tick = 0; tick < 100; ++tick) {
        far.Feed(Bytes(256, 0x13));
        time.Advance(10);
    }
    EXPECT_EQ(drv.State(), 20);
    far.Feed({0x00});
    ASSERT_TRUE(Until([&] { return drv.State() == 22; }, 30));
}

TEST_F(FlashRomWrite, ACancelAfterTheSumWasAcceptedKeepsTheSuccess)
{
    for (uint32_t a = 0; a < 0x80; ++a) image[a] = 0x22;
    struct Case {
        const char* name;
        int state;     // cancel once the driver is here
        bool stall;    // the second sum frame stays in the output until then
        int code;
    };
    const Case cases[] = {
        {"waiting for the first sum's answer", 40, false, fl::kResultCancelled},
        {"after the second sum frame", 42, false, fl::kResultOk},
        {"while the second sum frame waits to leave", 43, true, fl::kResultOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        far.wire.clear();
        answered = 0;
        results.clear();
        if (!line.isOpen) {
            ASSERT_EQ(drv.Port().Open(1, "38400"), 1);
        }
        bool stalled = false;
        far.respond = [&](flashtest::FarEnd& f) {
            auto frames = flashtest::SplitFrames(f.wire);
            // The record is acknowledged, and so is the first sum frame
            // unless the cancel is to come while the driver waits for that.
            for (; answered < frames.size() && (answered == 0 || c.state != 40); ++answered) f.Feed({0xFB});
            if (c.stall && !stalled && frames.size() == 2) line.stallOutput = stalled = true;
        };
        ASSERT_TRUE(Start(0, 0x7F));
        ASSERT_TRUE(Until([&] { return drv.State() == c.state; }));
        drv.Cancel();
        time.Advance(10);
        line.stallOutput = false;
        ASSERT_TRUE(RunToEnd(1000));
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(Code(), c.code);
    }
}

TEST_F(FlashDriver, APreProcessChunkOfNoBytesIsRefused)
{
    ASSERT_EQ(drv.Port().Open(1, "38400"), 1);
    Bytes block(16, 0x33);
    for (int chunk : {0, -1}) {
        fl::dst_FlashParam param;
        param.Total = 16;
        param.ChunkSize = chunk;
        param.Data = block.data();
        EXPECT_FALSE(drv.StartPreProcess(param, Collect())) << chunk;
        EXPECT_FALSE(drv.IsBusy());
    }
    time.Advance(100);
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(far.wire.empty());
}

TEST_F(FlashDriver, DestroyingTheDriverInsideItsCompletionIsSafe)
{
    auto* own = new fl::cmcCloneDrv;
    own->SetPort(7, "9600"); // no such port: ends at once with 2
    own->SetScript("(9600)");
    int calls = 0;
    ASSERT_TRUE(own->StartIdQuery([&](fl::dst_CDrv_Result& r) {
        ++calls;
        EXPECT_EQ(r.Code, fl::kResultOpenFailed);
        delete own;
    }));
    time.Advance(100);
    EXPECT_EQ(calls, 1);
}

} // namespace
