// End to end over a pseudo-terminal: the driver on the real serial device
// layer and Qt's timers and event loop, the simulated radio at the other end
// (in this process, and as its own program). The radio does not pace here, so
// the transfers run as fast as the driver's 10 ms step allows.
#include "core/cmcCloneDrv.h"
#include "tests/sim/CloneRadio.h"
#include "tests/support/TestSupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kPort = 7;
constexpr int kCloneSize = qmsim::CloneRadio::kMemorySize;

struct Outcome {
    bool done = false;
    int code = -1;
    int model = 0;
    std::vector<uint8_t> image;
};

// Starts an operation and runs the event loop until it ends or maxMs pass.
Outcome RunOperation(const std::function<bool(CloneCompletion)>& start, int maxMs)
{
    Outcome out;
    QEventLoop loop;
    CloneCompletion completion{[&](void*, dst_CDrv_Result* r) {
                                   out.done = true;
                                   out.code = r->ResultCode;
                                   out.model = r->ModelCode;
                                   out.image.assign(r->Image.Data(), r->Image.Data() + r->Image.Size());
                                   loop.quit();
                               },
                               nullptr};
    if (!start(completion)) return out;
    QTimer::singleShot(maxMs, &loop, &QEventLoop::quit);
    if (!out.done) loop.exec();
    return out;
}

// The driver set up as the cloning program sets it up.
void Configure(cmcCloneDrv& drv, bool highSpeed, bool write)
{
    std::string base;
    int preamble = 0;
    drv.SetScript(qmsim::CloneScript(drv.ModelCode(), highSpeed, write, nullptr, &base, &preamble));
    drv.SetPort(kPort, base);
    drv.SetPreamble(preamble);
    drv.SetWaitWriteAck(1);
    drv.SetAckInterval(128, 0);
    drv.SetDefaultTimeout(write ? 2000 : 1000);
    drv.SetAckTimeout(5000);
    drv.SetParamReplyTimeout(5000);
    drv.SetImageSize(kCloneSize);
}

class PtyClone : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(link.IsOpen()) << link.Error();
        setenv("QM_COM7", link.Path().c_str(), 1);
        radio.pacing = false;
        radio.Start(1);
    }
    void TearDown() override { unsetenv("QM_COM7"); }

    qmsim::PtyRadioLink link;
    qmsim::CloneRadio radio{link};
    cmcCloneDrv drv;
};

} // namespace

TEST_F(PtyClone, Identifies)
{
    Configure(drv, false, false);
    Outcome out = RunOperation([&](CloneCompletion c) { return drv.StartIdQuery(c); }, 10000);
    ASSERT_TRUE(out.done);
    EXPECT_EQ(out.code, 0);
    EXPECT_EQ(out.model, 0x7148);
    EXPECT_EQ(link.Baud(), 9600);
}

class PtyCloneRead : public PtyClone, public ::testing::WithParamInterface<bool> {};

TEST_P(PtyCloneRead, ReadsTheWholeCloneArea)
{
    const bool highSpeed = GetParam();
    drv.SetModel(0x7148, 0);
    drv.SetExtendedAddress(1);
    const dst_AdrRange ranges[] = {{0, kCloneSize - 1}, {1, 0}};
    radio.FillPattern(highSpeed ? 11 : 12);
    Configure(drv, highSpeed, false);
    Outcome out = RunOperation([&](CloneCompletion c) { return drv.StartRead(ranges, c); }, 60000);
    ASSERT_TRUE(out.done);
    EXPECT_EQ(out.code, 0);
    EXPECT_TRUE(out.image == radio.memory);
    EXPECT_EQ(link.Baud(), highSpeed ? 38400 : 9600); // the speed the transfer ran at
}

INSTANTIATE_TEST_SUITE_P(Speeds, PtyCloneRead, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "At38400" : "At9600"; });

TEST_F(PtyClone, WritesAnImage)
{
    drv.SetModel(0x7148, 0);
    drv.SetExtendedAddress(1);
    cmcEeprom image;
    image.Resize(kCloneSize);
    for (int a = 0; a < kCloneSize; ++a) image.SetByte(a, (a * 7 + a / 251) & 0xFF);
    const std::vector<uint8_t> header(radio.memory.begin(), radio.memory.begin() + 0x100);
    const dst_AdrRange ranges[] = {{0x100, kCloneSize - 1}, {1, 0}};
    Configure(drv, true, true);
    Outcome out = RunOperation([&](CloneCompletion c) { return drv.StartWrite(image, ranges, c); }, 90000);
    ASSERT_TRUE(out.done);
    EXPECT_EQ(out.code, 0);
    EXPECT_TRUE(std::equal(radio.memory.begin() + 0x100, radio.memory.end(), image.Data() + 0x100));
    EXPECT_TRUE(std::equal(header.begin(), header.end(), radio.memory.begin()));
}

#ifdef CLONERADIO_PROGRAM
TEST(ClonePtyProgram, ServesThePseudoTerminalItPrints)
{
    QProcess sim;
    sim.start(CLONERADIO_PROGRAM, {"--no-pacing", "--end", "FFF", "--model", "7143"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    QElapsedTimer waited;
    waited.start();
    while (!sim.canReadLine() && waited.elapsed() < 5000) sim.waitForReadyRead(100);
    const std::string path = sim.readLine().trimmed().toStdString();
    ASSERT_FALSE(path.empty());
    setenv("QM_COM7", path.c_str(), 1);

    cmcCloneDrv drv;
    Configure(drv, false, false);
    Outcome id = RunOperation([&](CloneCompletion c) { return drv.StartIdQuery(c); }, 10000);
    EXPECT_TRUE(id.done);
    EXPECT_EQ(id.code, 0);
    EXPECT_EQ(id.model, 0x7143);

    drv.SetExtendedAddress(1);
    Configure(drv, true, false);
    const dst_AdrRange ranges[] = {{0, 0xFFF}, {1, 0}};
    Outcome read = RunOperation([&](CloneCompletion c) { return drv.StartRead(ranges, c); }, 10000);
    EXPECT_TRUE(read.done);
    EXPECT_EQ(read.code, 0);
    unsetenv("QM_COM7");

    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 0);
}
#endif
