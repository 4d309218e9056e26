// The program's clone commands against the simulated radio over the
// in-memory line, on the manual clock: reads, writes, the clone password, the
// version gates and every result code's message, with the document left as
// it was by every read or write that fails, is refused or is cancelled.
#include "cells/ValueHandlers.h"
#include "core/cmcCloneDrv.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "model/indCloneMan.h"
#include "platform/base/MemorySerial.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "tests/clone/CloneWorld.h"
#include "tests/sim/CloneRadio.h"
#include "ui/cuiClonePasswordDialog.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace clonetest;

namespace {

class CloneCommands : public ::testing::Test {
public:
    CloneCommands()
    {
        radio.pacing = false;
        radio.Start();
    }

    TestMain& Main() { return world.Main(); }
    indCloneMan& Man() { return Main().CloneMan(); }

    // Runs the clone machinery until nothing is left to do.
    void Finish(uint32_t maxMs = 120000)
    {
        ASSERT_TRUE(world.time->host.AdvanceUntil([&] { return !Man().IsBusy(); }, maxMs, 10));
        world.time->Advance(50);
        ASSERT_FALSE(Man().IsBusy());
    }
    // A radio as it comes, holding the defaults with three channels in bank 0.
    void RadioWithChannels(bool bits16 = false)
    {
        radio.payload = defaultPayload;
        radio.fault = qmsim::CloneFault::None;
        radio.password.clear();
        radio.memory = world.RadioMemory([] { FillBank0(3, 150000000); }, bits16);
        radio.SetExtendedAddressing(!bits16);
        radio.SetEndAddress(bits16 ? 0xFF7F : EepromMap::CloneLast);
    }
    // The document as it stands, to compare after a command.
    struct Snapshot {
        std::vector<uint8_t> image;
        std::string path;
        bool modified;
    };
    Snapshot Document() const
    {
        auto& main = const_cast<CloneCommands*>(this)->Main();
        const cmcEeprom& doc = main.CurrentImage();
        return {{doc.Data(), doc.Data() + doc.Size()}, main.FilePath(), main.IsModified()};
    }
    void ExpectUnchanged(const Snapshot& before)
    {
        const Snapshot now = Document();
        EXPECT_TRUE(now.image == before.image) << "the document changed";
        EXPECT_EQ(now.path, before.path);
        EXPECT_EQ(now.modified, before.modified);
        EXPECT_EQ(world.dataReplaced, 0);
    }
    std::string ErrorText(int code) { return indCloneMan::CloneErrorText(code, kPort); }

    CloneWorld world{true};
    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    qmsim::MemoryRadioLink link{line};
    qmsim::CloneRadio radio{link};
    const std::vector<uint8_t> defaultPayload = radio.payload;
};

} // namespace

TEST_F(CloneCommands, ReadReplacesTheDocumentWithTheRadiosData)
{
    for (bool bits16 : {false, true}) {
        SCOPED_TRACE(bits16 ? "16-bit radio" : "32-bit radio");
        RadioWithChannels(bits16);
        Main().SetFileName("/tmp/kept.icf");
        Main().MarkSaved();
        world.dataReplaced = 0;
        const std::vector<uint8_t> memory = radio.memory;

        ASSERT_EQ(Main().CloneRead(), 0);
        Finish();
        EXPECT_TRUE(world.dialogs.Boxes().empty()) << BoxTexts(world.dialogs).front();
        for (int n = 0; n < 3; ++n) EXPECT_EQ(ChannelRx(world.Document(), n), 150000000 + 12500 * n);
        EXPECT_EQ(ReadBankChannelCount(world.Document(), 0), 3);
        EXPECT_TRUE(Main().IsModified());
        EXPECT_TRUE(Main().IsUntitled());
        EXPECT_EQ(world.dataReplaced, 1);
        EXPECT_EQ(Main().sheetsClosed, bits16 ? 2 : 1);
        EXPECT_TRUE(radio.memory == memory);
        EXPECT_EQ(line.settings.baud, 38400);
        EXPECT_EQ(Man().Total(), (bits16 ? 0xFF7F : EepromMap::CloneLast) + 1);
    }
}

TEST_F(CloneCommands, EveryFailedReadShowsItsMessageAndKeepsTheDocument)
{
    using F = qmsim::CloneFault;
    struct Case {
        const char* name;
        int code;
        F fault = F::None;
        std::function<void(CloneCommands&)> setUp = nullptr;
    };
    const Case cases[] = {
        {"port cannot be opened", kCloneOpenFailed, F::None, [](CloneCommands& t) { t.line.failOpen = true; }},
        {"port write error", kCloneWriteFailed, F::None, [](CloneCommands& t) { t.line.writeError = true; }},
        {"radio silent", kCloneTimeout, F::Silence},
        {"data frames too slow", kCloneTimeout, F::SlowFrames},
        {"bad checksum", kCloneBadFrame, F::BadChecksum},
        {"lowercase hexadecimal", kCloneBadFrame, F::LowercaseHex},
        {"end count wrong", kCloneEndCountDiffers, F::WrongEndCount},
        {"a byte missing", kCloneDataMissing, F::MissingAddress},
        {"a byte beyond the end", kCloneDataOutside, F::ExtraAddress},
        {"another model", cuiMain::CloneBadIdentity, F::WrongModel},
        {"payload length byte wrong", cuiMain::CloneBadIdentity, F::WrongPayloadLength},
        {"end address beyond the image", cuiMain::CloneBadIdentity, F::None,
         [](CloneCommands& t) { t.radio.SetEndAddress(0x50360); }},
        {"data format 2", cuiMain::CloneBadFormat, F::None, [](CloneCommands& t) { t.radio.payload[35] = 2; }},
        {"image header damaged", cuiMain::CloneBadHeader, F::None, [](CloneCommands& t) { t.radio.memory[2] = 0; }},
        {"end marker missing", cuiMain::CloneBadHeader, F::None,
         [](CloneCommands& t) { std::fill_n(t.radio.memory.begin() + 256, 8, uint8_t{'x'}); }},
        {"newer data", cuiMain::CloneNewerData, F::None,
         [](CloneCommands& t) { t.radio.memory = t.world.RadioMemory([] { g_Main->CurrentImage().SetByte(181182, 4); }, false); }},
        {"old layout", cuiMain::CloneOldData, F::None,
         [](CloneCommands& t) { t.radio.memory = t.world.RadioMemory([] { g_Main->CurrentImage().SetByte(181182, 2); }, false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioWithChannels();
        radio.fault = c.fault;
        if (c.setUp) c.setUp(*this);
        plat::ScopedDialogScript dialogs;
        dialogs.Answer(plat::IDOK);
        const Snapshot before = Document();

        ASSERT_EQ(Main().CloneRead(), 0);
        Finish();
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_EQ(dialogs.Boxes()[0].text, ErrorText(c.code));
        EXPECT_EQ(dialogs.Boxes()[0].caption, g_GTex.GetText("GI_Sys_AppTitle", 0));
        EXPECT_EQ(dialogs.Boxes()[0].Icon(), plat::MB_ICONERROR);
        ExpectUnchanged(before);
        EXPECT_FALSE(line.isOpen);
        line.failOpen = line.writeError = false;
    }
}
