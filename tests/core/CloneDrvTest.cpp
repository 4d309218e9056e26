// The clone driver against a hand-played far end of an in-memory line: the
// exact bytes it sends, and what it makes of the bytes it receives.
#include "core/cmcCloneDrv.h"
#include "platform/base/MemorySerial.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kPort = 2;
using Bytes = std::vector<uint8_t>;

// "FE FE 0A" -> bytes; blanks are skipped.
Bytes H(std::string_view hex)
{
    Bytes out;
    int hi = -1;
    for (char c : hex) {
        int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (v < 0) continue;
        if (hi < 0) {
            hi = v;
        } else {
            out.push_back(static_cast<uint8_t>(hi << 4 | v));
            hi = -1;
        }
    }
    return out;
}

Bytes A(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::string Hex2(int v)
{
    char b[3];
    std::snprintf(b, sizeof b, "%02X", v & 0xFF);
    return b;
}

// The text of a data frame as the radio sends it: address, count, data and
// the checksum that makes the bytes sum to 0.
std::string DataText(uint32_t address, const Bytes& data, int addressDigits = 4, int checksumDelta = 0)
{
    std::string t;
    unsigned sum = 0;
    for (int shift = (addressDigits / 2 - 1) * 8; shift >= 0; shift -= 8) {
        t += Hex2(static_cast<int>(address >> shift));
        sum += (address >> shift) & 0xFF;
    }
    t += Hex2(static_cast<int>(data.size()));
    sum += static_cast<unsigned>(data.size());
    for (uint8_t b : data) {
        t += Hex2(b);
        sum += b;
    }
    t += Hex2(static_cast<int>((-sum + static_cast<unsigned>(checksumDelta)) & 0xFF));
    return t;
}

Bytes RadioFrame(const std::string& text) { return Cat({H("FE FE EF EE E4"), A(text), H("FD")}); }
Bytes DataFrame(uint32_t address, const Bytes& data, int digits = 4) { return RadioFrame(DataText(address, data, digits)); }
Bytes EndFrame(const std::string& tail) { return Cat({H("FE FE EF EE E5"), A("Vosk Inc."), A(tail), H("FD")}); }

Bytes Pattern(int n, int seed = 3)
{
    Bytes v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<uint8_t>((i * 31 + seed * 17) ^ (i >> 3));
    return v;
}

size_t Find(const Bytes& hay, const Bytes& needle, size_t from = 0)
{
    if (needle.empty() || hay.size() < needle.size()) return std::string::npos;
    auto it = std::search(hay.begin() + static_cast<std::ptrdiff_t>(std::min(from, hay.size())), hay.end(), needle.begin(),
                          needle.end());
    return it == hay.end() ? std::string::npos : static_cast<size_t>(it - hay.begin());
}

struct Outcome {
    int calls = 0;
    int code = -1;
    int mode = 0;
    int model = 0;
    int sub = 0;
    Bytes payload;
    Bytes image;
    std::vector<bool> received;
};

class DriverOnLine : public ::testing::Test {
protected:
    DriverOnLine()
    {
        // The far end of the cable hears everything at once.
        drain = plat::Timers().CreateTimer([this] {
            Bytes b = line.TakeOutput();
            heard.insert(heard.end(), b.begin(), b.end());
        });
        drain->Start(1);
        drv.SetPort(kPort, "9600,N,8,1");
        drv.SetImageSize(0x400);
    }

    CloneCompletion Record()
    {
        return {[this](void*, dst_CDrv_Result* r) {
                    ++out.calls;
                    out.code = r->ResultCode;
                    out.mode = r->Mode;
                    out.model = r->ModelCode;
                    out.sub = r->SubCode;
                    out.payload.assign(r->Payload.Data(), r->Payload.Data() + r->Payload.Length());
                    out.image.assign(r->Image.Data(), r->Image.Data() + r->Image.Size());
                    out.received.clear();
                    for (int a = 0; a < r->Image.Size(); ++a) out.received.push_back(r->WasReceived(a));
                },
                nullptr};
    }

    bool RunUntilHeard(const Bytes& bytes, uint32_t maxMs = 5000)
    {
        return time.host.AdvanceUntil([&] { return Find(heard, bytes) != std::string::npos; }, maxMs);
    }
    bool RunUntilDone(uint32_t maxMs = 10000)
    {
        return time.host.AdvanceUntil([&] { return out.calls > 0; }, maxMs);
    }
    // Starts a read of the ranges and answers the read request with the bytes.
    int Read(const std::vector<dst_AdrRange>& ranges, const Bytes& answer)
    {
        out = {};
        heard.clear();
        EXPECT_TRUE(drv.StartRead(ranges.data(), Record()));
        EXPECT_TRUE(RunUntilHeard(H("FE FE EE EF E2 71 43 00 00 FD")));
        line.Feed(answer);
        EXPECT_TRUE(RunUntilDone());
        return out.code;
    }

    qmtest::ManualTime time;
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    std::unique_ptr<plat::Timer> drain;
    Bytes heard;
    cmcCloneDrv drv;
    Outcome out;
};

} // namespace

TEST_F(DriverOnLine, IdentifyRunsTheScriptThenAsksAndTakesTheReply)
{
    drv.SetScript("(38400,N,8,1)FE FE EE EF E8 00 00 FD(4800,n,8,1) 12 34 5");
    drv.SetPreamble(3);
    ASSERT_TRUE(drv.StartIdQuery(Record()));
    const Bytes request = H("FE FE FE  FE FE EE EF E0 00 00 00 00 FD");
    ASSERT_TRUE(RunUntilHeard(request));
    // Script bytes go out as written, each settings segment reopens the port,
    // and the request follows at the base settings after its preamble.
    EXPECT_EQ(heard, Cat({H("FE FE EE EF E8 00 00 FD 12 34 50"), request}));
    ASSERT_EQ(line.history.size(), 3u);
    EXPECT_EQ(line.history[0].baud, 38400);
    EXPECT_EQ(line.history[1].baud, 4800);
    EXPECT_EQ(line.history[2].baud, 9600);
    EXPECT_EQ(line.opens, 3);

    line.Feed(H("FE FE EF EE E1 71 48 00 05 7F 01 02 FD"));
    ASSERT_TRUE(RunUntilDone());
    EXPECT_EQ(out.code, 0);
    EXPECT_EQ(out.mode, 1);
    EXPECT_EQ(out.model, 0x7148);
    EXPECT_EQ(out.sub, 5);
    EXPECT_EQ(out.payload, H("7F 01 02"));
    EXPECT_FALSE(line.isOpen);
    // The model code of the reply became the driver's, because it had none;
    // a later reply does not replace it.
    EXPECT_EQ(drv.ModelCode(), 0x7148);
    out = {};
    heard.clear();
    ASSERT_TRUE(drv.StartIdQuery(Record()));
    ASSERT_TRUE(RunUntilHeard(H("FE FE EE EF E0 71 48 00 00 FD")));
    line.Feed(H("FE FE EF EE E1 71 43 00 00 FD"));
    ASSERT_TRUE(RunUntilDone());
    EXPECT_EQ(out.model, 0x7143);
    EXPECT_EQ(drv.ModelCode(), 0x7148);
    EXPECT_EQ(time.host.ActiveCount(), 1); // only the far end's timer runs on
}

TEST_F(DriverOnLine, TheLastReplyCompletedByTheBytesAtHandCounts)
{
    struct Case {
        const char* name;
        Bytes reply;
        int code;
        int model;
    };
    const Case cases[] = {
        {"two replies", H("FE FE EF EE E1 71 43 00 00 00 FD FE FE EF EE E1 71 48 00 00 00 FD"), 0, 0x7148},
        {"noise around a reply", H("00 11 FD FE FE EF EE E1 71 43 00 00 FD 22 FE 33"), 0, 0x7143},
        {"another command", H("FE FE EF EE E6 71 48 00 00 FD"), 6, 0},
        {"too short", H("FE FE EF EE E1 71 48 00 FD"), 6, 0},
        {"not from the radio", H("FE FE EE EF E1 71 48 00 00 FD"), 6, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        out = {};
        heard.clear();
        drv.SetModel(0, 0);
        ASSERT_TRUE(drv.StartIdQuery(Record()));
        ASSERT_TRUE(RunUntilHeard(H("E0 00 00 00 00 FD")));
        line.Feed(c.reply);
        ASSERT_TRUE(RunUntilDone());
        EXPECT_EQ(out.calls, 1);
        EXPECT_EQ(out.code, c.code);
        if (c.code == 0) {
            EXPECT_EQ(out.model, c.model);
        }
    }
}

TEST_F(DriverOnLine, WriteSendsAlignedChecksummedFramesAndTheEndFrame)
{
    const Bytes image = Pattern(0x400);
    cmcEeprom eeprom;
    eeprom.Resize(0x400);
    eeprom.WriteBlock(0, image.data(), 0x400);
    const std::vector<dst_AdrRange> ranges = {{0x105, 0x11F}, {0x130, 0x131}, {1, 0}};
    drv.SetModel(0x7143, 0);
    drv.SetDataPreambles(1, 2);
    ASSERT_TRUE(drv.StartWrite(eeprom, ranges.data(), Record()));
    ASSERT_TRUE(RunUntilHeard(H("EE EF E5")));
    time.Advance(50);

    auto slice = [&](int from, int n) { return Bytes(image.begin() + from, image.begin() + from + n); };
    auto frame = [&](int preamble, uint32_t address, const Bytes& data) {
        Bytes f(static_cast<size_t>(preamble), 0xFE);
        return Cat({f, H("FE FE EE EF E4"), A(DataText(address, data)), H("FD")});
    };
    const Bytes expected = Cat({
        H("FE FE EE EF EB 71 43 00 00 FD"),
        frame(2, 0x105, slice(0x105, 11)), // up to the next 16-byte boundary
        frame(1, 0x110, slice(0x110, 16)),
        frame(1, 0x130, slice(0x130, 2)),
        H("FE FE EE EF E5"), A("Vosk Inc.03"), H("FD"),
    });
    EXPECT_EQ(heard, expected);
    line.Feed(H("FE FE EF EE E6 00 FD"));
    ASSERT_TRUE(RunUntilDone());
    EXPECT_EQ(out.code, 0);
    EXPECT_EQ(out.mode, 3);
    EXPECT_EQ(out.image, image);
    EXPECT_EQ(drv.FrameCount(), 3);
    EXPECT_EQ(drv.DataByteCount(), 29);
}

TEST_F(DriverOnLine, DataFrameTextMatchesAKnownFrame)
{
    // 16 bytes 00..0F at 0x0100: 0100 10 000102...0F and checksum 77.
    Bytes data(0x110);
    for (int i = 0; i < 16; ++i) data[static_cast<size_t>(0x100 + i)] = static_cast<uint8_t>(i);
    cmcEeprom eeprom;
    eeprom.Resize(0x400);
    eeprom.WriteBlock(0, data.data(), 0x110);
    const dst_AdrRange ranges[] = {{0x100, 0x10F}, {1, 0}};
    ASSERT_TRUE(drv.StartWrite(eeprom, ranges, Record()));
    ASSERT_TRUE(RunUntilHeard(Cat({H("FE FE EE EF E4"), A("010010000102030405060708090A0B0C0D0E0F77"), H("FD")})));
}

TEST_F(DriverOnLine, WriteEndReplyMustBeExactlyE600)
{
    struct Case {
        Bytes reply;
        int code;
    };
    const Case cases[] = {
        {H("FE FE EF EE E6 00 FD"), 0},
        {H("FE FE EF EE E6 01 FD"), 10},
        {H("FE FE EF EE E6 00 00 FD"), 10},
        {H("FE FE EF EE E4 00 FD"), 10},
    };
    cmcEeprom eeprom;
    eeprom.Resize(0x400);
    const dst_AdrRange ranges[] = {{0, 3}, {1, 0}};
    for (const Case& c : cases) {
        out = {};
        heard.clear();
        ASSERT_TRUE(drv.StartWrite(eeprom, ranges, Record()));
        ASSERT_TRUE(RunUntilHeard(H("EE EF E5")));
        line.Feed(c.reply);
        ASSERT_TRUE(RunUntilDone());
        EXPECT_EQ(out.code, c.code);
    }
}

TEST_F(DriverOnLine, WriteWaitsForAnAcknowledgeAtEveryIntervalButNotWhenStepping)
{
    cmcEeprom eeprom;
    eeprom.Resize(0x400);
    const dst_AdrRange ranges[] = {{0x000, 0x0FF}, {0x100, 0x11F}, {1, 0}};
    drv.SetWaitWriteAck(1);
    drv.SetAckInterval(128, 0);
    auto frameAt = [](const char* address) { return Cat({H("FE FE EE EF E4"), A(address)}); };
    auto sentBeforeWaiting = [&](const char* last, const char* next) {
        // The radio keeps silent: the driver sends up to `last` and stops.
        return RunUntilHeard(frameAt(last)) && !(time.Advance(500), Find(heard, frameAt(next)) != std::string::npos);
    };

    ASSERT_TRUE(drv.StartWrite(eeprom, ranges, Record()));
    ASSERT_TRUE(RunUntilHeard(H("FE FE EE EF EB 00 00 00 00 FD")));
    time.Advance(300);
    EXPECT_EQ(Find(heard, frameAt("0000")), std::string::npos); // waits after the request
    line.Feed(H("FB"));
    EXPECT_TRUE(sentBeforeWaiting("007010", "0080"));
    line.Feed(H("FB"));
    EXPECT_TRUE(sentBeforeWaiting("00F010", "0100")); // also after the range's last frame
    line.Feed(H("FB"));
    // Stepping on to the next range at 0x100 does not wait again.
    ASSERT_TRUE(RunUntilHeard(H("EE EF E5")));
    EXPECT_NE(Find(heard, frameAt("011010")), std::string::npos);
    line.Feed(H("FE FE EF EE E6 00 FD"));
    ASSERT_TRUE(RunUntilDone());
    EXPECT_EQ(out.code, 0);
}

TEST_F(DriverOnLine, AnAcknowledgeBehindABabblingLineIsTakenAtOnce)
{
    // A wait that took one byte a step let a babbling line pile up a backlog
    // without bound, and the real acknowledge waited behind it.
    cmcEeprom eeprom;
    eeprom.Resize(0x400);
    const dst_AdrRange ranges[] = {{0x000, 0x00F}, {1, 0}};
    drv.SetWaitWriteAck(1);
    drv.SetAckInterval(128, 0);
    ASSERT_TRUE(drv.StartWrite(eeprom, ranges, Record()));
    ASSERT_TRUE(RunUntilHeard(H("FE FE EE EF EB 00 00 00 00 FD")));
    for (int step = 0; step < 50; ++step) {
        line.Feed(Bytes(256, 0x13));
        time.Advance(10);
    }
    EXPECT_EQ(Find(heard, H("FE FE EE EF E4")), std::string::npos);
    line.Feed(H("13 FB"));
    EXPECT_TRUE(RunUntilHeard(H("FE FE EE EF E4"), 30));
}

TEST_F(DriverOnLine, ExtendedAddressesExchangeParametersFirst)
{
    struct Case {
        const char* name;
        Bytes reply;
        bool accepted;
    };
    const Case cases[] = {
        {"good reply", H("FE FE EF EE E8 71 43 00 00 63 31 31 FD"), true},
        {"unexpected reply", H("FE FE EF EE E8 71 43 00 00 63 32 FD"), false},
    };
    drv.SetModel(0x7143, 0);
    drv.SetExtendedAddress(1);
    drv.SetImageSize(0x20000);
    drv.SetPreamble(2);
    const Bytes data = Pattern(6);
    const std::vector<dst_AdrRange> ranges = {{0x1FF7A, 0x1FF7F}, {1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        out = {};
        heard.clear();
        ASSERT_TRUE(drv.StartRead(ranges.data(), Record()));
        ASSERT_TRUE(RunUntilHeard(H("FE FE FE FE EE EF E8 71 43 00 00 63 30 30 FD")));
        EXPECT_EQ(Find(heard, H("EE EF E2")), std::string::npos);
        line.Feed(c.reply);
        // The read goes on either way.
        ASSERT_TRUE(RunUntilHeard(H("FE FE FE FE EE EF E2 71 43 00 00 FD")));
        EXPECT_EQ(drv.ParamReplyAccepted(), c.accepted);
        line.Feed(Cat({DataFrame(0x1FF7A, data, 8), EndFrame("01")}));
        ASSERT_TRUE(RunUntilDone());
        EXPECT_EQ(out.code, 0);
        EXPECT_EQ(Bytes(out.image.begin() + 0x1FF7A, out.image.begin() + 0x1FF80), data);
    }
}

TEST_F(DriverOnLine, DataFramesOfARead)
{
    drv.SetModel(0x7143, 0);
    const Bytes d = Pattern(0x400, 5);
    auto at = [&](int a, int n) { return Bytes(d.begin() + a, d.begin() + a + n); };
    std::string lower = DataText(0x10, {0xAB, 0xCD});
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return c >= 'A' && c <= 'F' ? c + 32 : c; });

    struct Case {
        const char* name;
        std::vector<dst_AdrRange> ranges;
        Bytes answer;
        int code;
        bool nothingStored = false;
    };
    const std::vector<dst_AdrRange> r10 = {{0x10, 0x11}, {1, 0}};
    const std::vector<Case> cases = {
        {"one frame", r10, Cat({DataFrame(0x10, at(0x10, 2)), EndFrame("01")}), 0},
        {"odd byte count", {{0x10, 0x12}, {1, 0}}, Cat({DataFrame(0x10, at(0x10, 3)), EndFrame("01")}), 0},
        {"255 bytes in one frame", {{0, 254}, {1, 0}}, Cat({DataFrame(0, at(0, 255)), EndFrame("01")}), 0},
        {"out of order",
         {{0x20, 0x2F}, {0x40, 0x41}, {1, 0}},
         Cat({DataFrame(0x40, at(0x40, 2)), DataFrame(0x28, at(0x28, 8)), DataFrame(0x20, at(0x20, 8)), EndFrame("03")}),
         0},
        {"noise between frames", r10, Cat({H("00 FD 11"), DataFrame(0x10, at(0x10, 2)), H("FD 42"), EndFrame("01")}), 0},
        {"a frame one byte too long", {{0, 254}, {1, 0}}, Cat({H("FE FE EF EE E4"), A(std::string(519, 'A')), H("FD")}), 6},
        {"odd number of characters", r10, RadioFrame(DataText(0x10, at(0x10, 2)) + "0"), 6},
        {"lowercase digits", r10, RadioFrame(lower), 6},
        {"checksum off by one", r10, RadioFrame(DataText(0x10, at(0x10, 2), 4, 1)), 6},
        {"count disagrees with the data", r10, RadioFrame("0010030102FA"), 6},
        {"frame too short", r10, RadioFrame("0010"), 6},
        {"unknown command", r10, H("FE FE EF EE E7 30 30 30 30 30 30 30 30 FD"), 6},
        {"last address is the image size", {{0x3FE, 0x3FF}, {1, 0}}, DataFrame(0x3FE, Cat({at(0x3FE, 2), {0x55}})), 9, true},
        {"a byte outside the ranges", r10, Cat({DataFrame(0x10, at(0x10, 3)), EndFrame("01")}), 9},
        {"one byte missing", {{0x10, 0x12}, {1, 0}}, Cat({DataFrame(0x10, at(0x10, 2)), EndFrame("01")}), 8},
        {"range beyond the image", {{0x3FE, 0x400}, {1, 0}}, Cat({DataFrame(0x3FE, at(0x3FE, 2)), EndFrame("01")}), 8},
        {"end count differs", r10, Cat({DataFrame(0x10, at(0x10, 2)), EndFrame("02")}), 7},
        {"end frame of another maker", r10, Cat({DataFrame(0x10, at(0x10, 2)), H("FE FE EF EE E5"), A("Vosk Ltd.01"), H("FD")}), 6},
        {"end frame without count", r10, Cat({DataFrame(0x10, at(0x10, 2)), EndFrame("")}), 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.ranges, c.answer), c.code);
        EXPECT_EQ(out.calls, 1);
        if (c.code == 0) {
            for (const dst_AdrRange* r = c.ranges.data(); !IsRangeEnd(*r); ++r) {
                EXPECT_EQ(Bytes(out.image.begin() + r->First, out.image.begin() + r->Last + 1), at(r->First, r->Last - r->First + 1));
                EXPECT_TRUE(std::all_of(out.received.begin() + r->First, out.received.begin() + r->Last + 1, [](bool b) { return b; }));
            }
        }
        if (c.nothingStored) {
            EXPECT_TRUE(std::all_of(out.image.begin(), out.image.end(), [](uint8_t b) { return b == 0; }));
            EXPECT_TRUE(std::none_of(out.received.begin(), out.received.end(), [](bool b) { return b; }));
        }
    }
}

TEST_F(DriverOnLine, EndFrameCountsFramesModulo256)
{
    drv.SetModel(0x7143, 0);
    const Bytes d = Pattern(0x400);
    Bytes frames;
    for (int a = 0; a < 266; ++a) frames = Cat({frames, DataFrame(static_cast<uint32_t>(a), Bytes{d[static_cast<size_t>(a)]})});
    const std::vector<dst_AdrRange> ranges = {{0, 265}, {1, 0}};
    EXPECT_EQ(Read(ranges, Cat({frames, EndFrame("0A")})), 0);
    EXPECT_EQ(drv.FrameCount(), 266);
    EXPECT_EQ(Read(ranges, Cat({frames, EndFrame("0B")})), 7);
    drv.SetEndFrameCount(0);
    EXPECT_EQ(Read(ranges, Cat({frames, EndFrame("")})), 0);
}

TEST_F(DriverOnLine, SilenceEndsWithTimeoutOrPasswordRefusal)
{
    auto identify = [&](bool passwordSent) {
        out = {};
        heard.clear();
        drv.SetPasswordSent(passwordSent);
        EXPECT_TRUE(drv.StartIdQuery(Record()));
        EXPECT_TRUE(RunUntilHeard(H("EE EF E0")));
        time.Advance(990);
        EXPECT_EQ(out.calls, 0); // the identity time-out is 1000 ms
        EXPECT_TRUE(RunUntilDone(100));
        return out.code;
    };
    EXPECT_EQ(identify(false), 5);
    EXPECT_EQ(identify(true), 19);

    // The mark belongs to the operation it was given for, even when that one
    // ended before anything arrived.
    line.failOpen = true;
    drv.SetPasswordSent(1);
    out = {};
    ASSERT_TRUE(drv.StartIdQuery(Record()));
    ASSERT_TRUE(RunUntilDone());
    EXPECT_EQ(out.code, 2);
    line.failOpen = false;
    EXPECT_EQ(identify(false), 5);
}

TEST_F(DriverOnLine, FramesMustCompleteWithinTheTimeoutEvenWhileBytesTrickleIn)
{
    drv.SetModel(0x7143, 0);
    const dst_AdrRange ranges[] = {{0, 0x3F}, {1, 0}};
    Bytes stream;
    for (int a = 0; a < 0x40; a += 2) stream = Cat({stream, DataFrame(static_cast<uint32_t>(a), Pattern(2, a))});
    stream = Cat({stream, EndFrame("20")});
    // A frame is 18 bytes: at 50 ms a byte each one completes in time, at
    // 60 ms none does, although bytes never stop coming.
    for (uint32_t gap : {50u, 60u}) {
        SCOPED_TRACE(gap);
        out = {};
        heard.clear();
        ASSERT_TRUE(drv.StartRead(ranges, Record()));
        ASSERT_TRUE(RunUntilHeard(H("EE EF E2")));
        size_t fed = 0;
        while (out.calls == 0 && fed < stream.size()) {
            line.Feed(Bytes{stream[fed++]});
            time.Advance(gap);
        }
        ASSERT_TRUE(RunUntilDone(100));
        if (gap == 50) {
            EXPECT_EQ(out.code, 0);
            EXPECT_EQ(drv.FrameCount(), 32);
        } else {
            EXPECT_EQ(out.code, 5);
            EXPECT_GT(fed, 10u);
            EXPECT_EQ(drv.FrameCount(), 0);
        }
    }
}

TEST_F(DriverOnLine, AnEarlierFailureOutlivesALaterTimeout)
{
    cmcEeprom eeprom;
    eeprom.Resize(0x400);
    const dst_AdrRange ranges[] = {{0, 0xFF}, {1, 0}};
    drv.SetWaitWriteAck(1);
    drain->Stop(); // nothing leaves the line: the request stays pending
    ASSERT_TRUE(drv.StartWrite(eeprom, ranges, Record()));
    ASSERT_TRUE(time.host.AdvanceUntil([&] { return line.OutputWaiting() > 0; }, 1000));
    line.Feed(H("FA"));
    ASSERT_TRUE(RunUntilDone(3000));
    EXPECT_EQ(out.code, 6); // the refusal, not the drain's time-out after it
    EXPECT_GT(line.OutputWaiting(), 0u);
}

TEST_F(DriverOnLine, APortThatNeverDrainsEndsWithATimeout)
{
    drain->Stop();
    drv.SetScript("FE FE FE");
    ASSERT_TRUE(drv.StartIdQuery(Record()));
    ASSERT_TRUE(RunUntilDone(2500));
    EXPECT_EQ(out.code, 5);
    EXPECT_EQ(out.calls, 1);
    EXPECT_FALSE(line.isOpen);
}

TEST_F(DriverOnLine, OpenFailuresEndWithCode2AndOneCompletion)
{
    line.failOpen = true;
    for (const char* script : {"", "(38400,N,8,1)FE FE(9600,N,8,1)"}) {
        SCOPED_TRACE(script);
        out = {};
        drv.SetScript(script);
        ASSERT_TRUE(drv.StartIdQuery(Record()));
        ASSERT_TRUE(RunUntilDone(3000));
        time.Advance(2000);
        EXPECT_EQ(out.calls, 1);
        EXPECT_EQ(out.code, 2);
        EXPECT_FALSE(drv.IsBusy());
    }
    EXPECT_TRUE(line.written.empty());
}

TEST_F(DriverOnLine, WriteRangesThatCannotBeWrittenEndAtOnceWithNothingSent)
{
    struct Case {
        const char* name;
        int imageSize;
        bool extended;
        dst_AdrRange range;
    };
    const Case cases[] = {
        {"beyond the image", 0x400, false, {0x3F0, 0x400}},
        {"negative address", 0x400, false, {-1, 0x10}},
        {"beyond 16-bit addresses", 0x20000, false, {0xFFF0, 0x10000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        out = {};
        drv.SetImageSize(c.imageSize);
        drv.SetExtendedAddress(c.extended);
        cmcEeprom eeprom;
        eeprom.Resize(c.imageSize);
        const dst_AdrRange ranges[] = {{0, 0x0F}, c.range, {1, 0}};
        ASSERT_TRUE(drv.StartWrite(eeprom, ranges, Record()));
        EXPECT_EQ(out.calls, 0); // never from inside the start
        ASSERT_TRUE(RunUntilDone(100));
        EXPECT_EQ(out.code, 9);
    }
    EXPECT_EQ(line.opens, 0);
    EXPECT_TRUE(line.written.empty());
}

TEST_F(DriverOnLine, CompletionMayStartTheNextOperationOrDestroyTheDriver)
{
    // A start while an operation runs is refused.
    ASSERT_TRUE(drv.StartIdQuery(Record()));
    EXPECT_FALSE(drv.StartIdQuery(Record()));
    EXPECT_FALSE(drv.StartRead(nullptr, Record()));
    ASSERT_TRUE(RunUntilDone(2000));
    EXPECT_EQ(out.code, 5);

    // The completion starts a second identify; the step task keeps running.
    int first = 0, second = 0;
    ASSERT_TRUE(drv.StartIdQuery({[&](void* owner, dst_CDrv_Result* r) {
                                      ++first;
                                      EXPECT_EQ(owner, this);
                                      EXPECT_EQ(r->Mode, 1);
                                      EXPECT_TRUE(drv.StartIdQuery({[&](void*, dst_CDrv_Result*) { ++second; }, nullptr}));
                                  },
                                  this}));
    ASSERT_TRUE(time.host.AdvanceUntil([&] { return second > 0; }, 5000));
    EXPECT_EQ(first, 1);
    time.Advance(3000);
    EXPECT_EQ(second, 1);

    // A driver destroyed by its own completion is not touched afterwards.
    heard.clear();
    auto* owned = new cmcCloneDrv;
    owned->SetPort(kPort, "9600,N,8,1");
    int calls = 0;
    ASSERT_TRUE(owned->StartIdQuery({[&](void*, dst_CDrv_Result* r) {
                                         ++calls;
                                         EXPECT_EQ(r->ResultCode, 0);
                                         delete owned;
                                     },
                                     nullptr}));
    ASSERT_TRUE(RunUntilHeard(H("EE EF E0")));
    line.Feed(H("FE FE EF EE E1 71 48 00 00 01 FD"));
    ASSERT_TRUE(time.host.AdvanceUntil([&] { return calls > 0; }, 2000));
    time.Advance(100);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(time.host.ActiveCount(), 1); // only the far end's timer is left
}
