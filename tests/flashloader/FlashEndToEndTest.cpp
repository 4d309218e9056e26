// Whole flashing passes in real time over a pseudo-terminal, against the
// simulated radio paced to the line speed, without a window.
#include "flashloader/ComPort.h"
#include "flashloader/FlashData.h"
#include "tests/flashloader/FlashTestSupport.h"
#include "tests/sim/FlashRadio.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

namespace {

using qmsim::FlashRadio;

struct PtyRig {
    explicit PtyRig(FlashRadio::Settings settings) : radio(std::move(settings)) {}
    // Serves the radio as COM5 and runs one pass; the radio may be looked at
    // afterwards.
    void Run(flashtest::FlashPass& pass)
    {
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
        qmsim::PointComPortAt(5, server.SlavePath());
        ASSERT_TRUE(pass.Start());
        EXPECT_TRUE(qmsim::RunEventsUntil([&] { return pass.finished; }, 90000));
        server.Stop();
    }
    qmtest::TempDir dir;
    FlashRadio radio;
    qmsim::FlashRadioOnPty server{radio, true};
    fl::ComPort port{[this] {
        std::string ini = dir.File("QM7150Q.INI");
        qmtest::WriteFile(ini, "[Com Settings]\nPort=5\n");
        return ini;
    }()};
};

TEST(FlashEndToEnd, AProtectedRadioTakesThePasswordAndTheWholeImage)
{
    FlashRadio::Settings settings;
    settings.password = "Pass-42";
    PtyRig rig(settings);
    flashtest::FlashPass pass(rig.port);
    pass.password = "Pass-42";
    rig.Run(pass);

    EXPECT_EQ(pass.code, 0);
    EXPECT_EQ(pass.steps, (std::vector<std::string>{"identity", "password", "boot", "pre-process", "rom"}));
    EXPECT_EQ(rig.radio.passwordOffers, 1);
    EXPECT_EQ(rig.radio.PreProcess(), std::vector<uint8_t>(fl::g_PreProcessBlock, fl::g_PreProcessBlock + 3884));
    EXPECT_TRUE(rig.radio.Flash() == flashtest::EmbeddedImage());
    EXPECT_TRUE(rig.radio.lastSumMatched);
    EXPECT_EQ(rig.radio.sessionsEnded, 1);
}

TEST(FlashEndToEnd, ARadioAlreadyInItsBootLoaderIsFlashedWithoutIdentity)
{
    FlashRadio::Settings settings;
    settings.startInBoot = true;
    PtyRig rig(settings);
    flashtest::FlashPass pass(rig.port);
    rig.Run(pass);

    EXPECT_EQ(pass.code, 0);
    EXPECT_EQ(pass.steps, (std::vector<std::string>{"no identity", "boot", "pre-process", "rom"}));
    EXPECT_EQ(rig.radio.identityRequests, 0);
    EXPECT_TRUE(rig.radio.Flash() == flashtest::EmbeddedImage());
    EXPECT_TRUE(rig.radio.lastSumMatched);
}

} // namespace
