// The program's clone commands end to end over a pseudo-terminal: the real
// serial device layer, Qt's timers and event loop, and the simulated radio
// at the far end, in this process (unpaced) or as its own program.
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "model/indCloneMan.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "tests/clone/CloneWorld.h"
#include "tests/sim/CloneRadio.h"
#include "ui/cuiClonePasswordDialog.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace clonetest;

namespace {

// Runs the event loop until pred holds or maxMs have passed; returns pred().
bool RunUntil(const std::function<bool()>& pred, int maxMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred() && clock.elapsed() < maxMs) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return pred();
}

class PtyProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(link.IsOpen()) << link.Error();
        setenv(kComVariable, link.Path().c_str(), 1);
        radio.pacing = false;
        radio.readBlock = 254;
        radio.Start(1);
        mainForm.SetBounds(100, 100, 640, 420);
        mainForm.SetCaption("QM7148H");
        mainForm.Show();
        world.Main().SetMainForm(&mainForm);
    }
    void TearDown() override
    {
        world.Main().SetMainForm(nullptr);
        unsetenv(kComVariable);
    }
    bool Finish(int maxMs = 60000)
    {
        return RunUntil([&] { return !world.Main().CloneMan().IsBusy(); }, maxMs);
    }

    static constexpr const char* kComVariable = "QM_COM6";
    CloneWorld world{false};
    qmsim::PtyRadioLink link;
    qmsim::CloneRadio radio{link};
    plat::Form mainForm;
};

} // namespace

TEST_F(PtyProgram, ReadsARadioEditsAndWritesItBack)
{
    // A radio with 32-bit addresses whose memory ends at 0xBFFF.
    radio.memory = world.RadioMemory([] { FillBank0(4, 440000000); }, false);
    radio.SetEndAddress(0xBFFF);
    std::string png;
    QTimer snapshot;
    QObject::connect(&snapshot, &QTimer::timeout, [&] {
        indCloneMan& man = world.Main().CloneMan();
        if (png.empty() && man.ProgressWindow() != nullptr && man.Driver().DataByteCount() >= man.Total() / 2) {
            png = (qmtest::OutputDir() / "clone-progress.png").string();
            EXPECT_TRUE(plat::SavePng(*man.ProgressWindow(), png));
        }
    });
    snapshot.start(5);

    ASSERT_EQ(world.Main().CloneRead(), 0);
    ASSERT_TRUE(Finish());
    snapshot.stop();
    EXPECT_TRUE(world.dialogs.Boxes().empty());
    EXPECT_FALSE(png.empty()) << "no picture of the progress window";
    for (int n = 0; n < 4; ++n) EXPECT_EQ(ChannelRx(world.Document(), n), 440000000 + 12500 * n);
    EXPECT_TRUE(world.Main().IsModified());
    EXPECT_TRUE(world.Main().IsUntitled());
    EXPECT_EQ(link.Baud(), 38400);
    EXPECT_TRUE(mainForm.Enabled());

    // Edit a channel and write the data back.
    SetChannel(2, 445000000);
    const std::vector<uint8_t> header(radio.memory.begin(), radio.memory.begin() + 0x100);
    world.dialogs.Answer(plat::IDOK);
    world.dialogs.Answer(plat::IDOK);
    ASSERT_EQ(world.Main().CloneWrite(), 0);
    ASSERT_TRUE(Finish());
    ASSERT_EQ(world.dialogs.Boxes().size(), 2u);
    EXPECT_EQ(world.dialogs.Boxes()[1].text, g_GTex.GetMultiLineText("GI_Mess_CloneWrite_Succeeded"));
    EXPECT_TRUE(radio.Stats().lastWriteOk);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), radio.memory.begin()));

    // The radio now holds the edit: its memory unpacked over the defaults.
    cmcEeprom held(world.Main().InitialImage());
    PackPlain(held);
    held.WriteBlock(0, radio.memory.data(), EepromMap::CloneSize);
    Dynamic2Static(held);
    EXPECT_EQ(ChannelRx(held, 1), 440012500);
    EXPECT_EQ(ChannelRx(held, 2), 445000000);
}

TEST_F(PtyProgram, ReadsA16BitRadioWithItsPassword)
{
    radio.memory = world.RadioMemory([] { FillBank0(2, 160000000); }, true);
    radio.SetExtendedAddressing(false);
    radio.SetEndAddress(0xBFFF);
    radio.password = "QM-7148";
    world.dialogs.Drive([](plat::Form& form) {
        auto& dialog = static_cast<cuiClonePasswordDialog&>(form);
        dialog.PasswordEdit->SetText("QM-7148");
        dialog.OkButton->Click();
    });
    ASSERT_EQ(world.Main().CloneRead(), 0);
    ASSERT_TRUE(Finish());
    EXPECT_TRUE(world.dialogs.Boxes().empty());
    EXPECT_EQ(radio.Stats().passwordAccepted, 1);
    EXPECT_EQ(radio.Stats().parameterExchanges, 0) << "a 16-bit radio gets no 32-bit exchange";
    EXPECT_EQ(ChannelRx(world.Document(), 1), 160012500);
    EXPECT_EQ(ReadBankChannelCount(world.Document(), 0), 2);
}

TEST(PtyProgramSimulator, ServesTheProgramFromAnInitialFile)
{
    // The simulated radio's program, started as the README describes it.
    CloneWorld world(false);
    QProcess sim;
    sim.start(CLONERADIO_PROGRAM, {"--no-pacing", "--icf", QString::fromStdString(BinFile("InitialLMR.icf")), "--16bit",
                                   "--end", "5FFF", "--version", "32", "--payload", "2=50524F4752414D20544553542020"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(RunUntil([&] { return sim.canReadLine(); }, 5000));
    const std::string path = sim.readLine().trimmed().toStdString();
    setenv("QM_COM6", path.c_str(), 1);

    ASSERT_EQ(world.Main().ShowCloneInformation(), 0);
    ASSERT_TRUE(RunUntil([&] { return !world.Main().CloneMan().IsBusy(); }, 20000));
    EXPECT_EQ(world.Main().infoDialogs, 1);
    EXPECT_EQ(world.Main().IdentityPayload()[34], 0x32);
    EXPECT_EQ(std::string(world.Main().IdentityPayload().begin() + 2, world.Main().IdentityPayload().begin() + 16),
              "PROGRAM TEST  ");
    EXPECT_EQ(world.Main().CloneEndAddress(), 0x5FFFu);

    ASSERT_EQ(world.Main().CloneRead(), 0);
    ASSERT_TRUE(RunUntil([&] { return !world.Main().CloneMan().IsBusy(); }, 30000));
    EXPECT_TRUE(world.dialogs.Boxes().empty()) << world.dialogs.Boxes().front().text;
    EXPECT_TRUE(world.Main().IsModified());
    EXPECT_TRUE(world.Main().IsUntitled());
    EXPECT_EQ(world.dataReplaced, 1);
    unsetenv("QM_COM6");
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 0);
}
