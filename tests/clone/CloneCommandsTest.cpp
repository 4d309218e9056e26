// The program's clone commands against the simulated radio over the
// in-memory line, on the manual clock: reads, writes, the clone password, the
// version gates and every result code's message, with the document left as
// it was by every read or write that fails, is refused or is cancelled.
#include "cells/ValueHandlers.h"
#include "core/cmcCloneDrv.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indCloneMan.h"
#include "platform/base/MemorySerial.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "tests/clone/CloneWorld.h"
#include "tests/sim/CloneRadio.h"
#include "ui/cuiClonePasswordDialog.h"

#include <algorithm>
#include <functional>
#include <optional>
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

namespace {

// Answers the clone password dialog: types the text and clicks OK, or
// cancels when there is none.
std::function<void(plat::Form&)> PasswordAnswer(std::optional<std::string> text)
{
    return [text](plat::Form& form) {
        auto& dialog = static_cast<cuiClonePasswordDialog&>(form);
        if (!text) {
            dialog.CancelButton->Click();
            return;
        }
        dialog.PasswordEdit->SetText(*text);
        dialog.OkButton->Click();
    };
}

std::string Lines(const char* key) { return g_GTex.GetMultiLineText(key); }

} // namespace

TEST_F(CloneCommands, PasswordProtectedRadioIsReadWithItsPasswordOnly)
{
    RadioWithChannels();
    radio.password = "QM71";
    const Snapshot before = Document();
    {
        SCOPED_TRACE("cancelled: the read ends without a word");
        plat::ScopedDialogScript dialogs;
        dialogs.Drive(PasswordAnswer(std::nullopt));
        ASSERT_EQ(Main().CloneRead(), 0);
        Finish();
        EXPECT_EQ(dialogs.ModalForms().size(), 1u);
        EXPECT_TRUE(dialogs.Boxes().empty());
        EXPECT_EQ(radio.Stats().identifies, 1);
        EXPECT_EQ(radio.Stats().readsStarted, 0);
        ExpectUnchanged(before);
    }
    {
        SCOPED_TRACE("a wrong password: the radio keeps silent");
        plat::ScopedDialogScript dialogs;
        dialogs.Drive(PasswordAnswer("QM72"));
        dialogs.Answer(plat::IDOK);
        ASSERT_EQ(Main().CloneRead(), 0);
        Finish();
        EXPECT_EQ(BoxTexts(dialogs), std::vector<std::string>{ErrorText(kClonePasswordRefused)});
        EXPECT_EQ(radio.Stats().identifies, 3); // asked again after the password
        EXPECT_EQ(radio.Stats().passwordFrames, 1);
        EXPECT_EQ(radio.Stats().passwordAccepted, 0);
        ExpectUnchanged(before);
    }
    {
        SCOPED_TRACE("the right password");
        plat::ScopedDialogScript dialogs;
        dialogs.Drive(PasswordAnswer("QM71"));
        ASSERT_EQ(Main().CloneRead(), 0);
        Finish();
        EXPECT_TRUE(dialogs.Boxes().empty());
        EXPECT_EQ(radio.Stats().passwordAccepted, 1);
        EXPECT_EQ(ChannelRx(world.Document(), 2), 150025000);
        EXPECT_EQ(world.Environ().ClonePassword, "QM71");
    }
    {
        SCOPED_TRACE("a radio without a password gets no password frame");
        radio.password.clear();
        plat::ScopedDialogScript dialogs;
        ASSERT_EQ(Main().CloneRead(), 0);
        Finish();
        EXPECT_TRUE(dialogs.ModalForms().empty());
        EXPECT_EQ(radio.Stats().passwordFrames, 2);
        EXPECT_EQ(radio.Stats().readsDone, 2);
    }
}

TEST_F(CloneCommands, PasswordDialogTakesOneToSixteenCharacters)
{
    RadioWithChannels();
    radio.password = "QM71";
    plat::ScopedDialogScript dialogs;
    bool stayedOpen = false;
    dialogs.Drive([&](plat::Form& form) {
        auto& dialog = static_cast<cuiClonePasswordDialog&>(form);
        EXPECT_EQ(dialog.PasswordEdit->PasswordChar(), U'*');
        EXPECT_EQ(dialog.PasswordEdit->MaxLength(), 16);
        dialog.OkButton->Click(); // empty
        stayedOpen = dialog.ModalResult() == plat::mrNone;
        dialog.PasswordEdit->SetText("QM71");
        dialog.OkButton->Click();
    });
    dialogs.Answer(plat::IDOK);
    ASSERT_EQ(Main().CloneRead(), 0);
    Finish();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(BoxTexts(dialogs), std::vector<std::string>{Lines("GI_AppInd_Opt_ClonePwd_OutofRange")});
    EXPECT_EQ(radio.Stats().passwordAccepted, 1);
}

TEST_F(CloneCommands, WriteSendsThePackedImageBackAndLeavesTheDocument)
{
    RadioWithChannels();
    ASSERT_EQ(Main().CloneRead(), 0);
    Finish();
    SetChannel(1, 160000000);
    const Snapshot edited = Document();
    const std::vector<uint8_t> header(radio.memory.begin(), radio.memory.begin() + 0x100);
    radio.payload[35] = 1; // the radio's data format goes into the image
    radio.ResetStats();

    plat::ScopedDialogScript dialogs;
    dialogs.Answer(plat::IDOK); // write confirmation
    dialogs.Answer(plat::IDOK); // success
    ASSERT_EQ(Main().CloneWrite(), 0);
    Finish();
    EXPECT_EQ(BoxTexts(dialogs), (std::vector<std::string>{Lines("GI_Mess_Confirm_CloneWrite"), Lines("GI_Mess_CloneWrite_Succeeded")}));
    EXPECT_EQ(dialogs.Boxes()[1].Icon(), plat::MB_ICONINFORMATION);
    EXPECT_EQ(radio.Stats().identifies, 2);
    EXPECT_EQ(radio.Stats().writesDone, 1);
    EXPECT_TRUE(radio.Stats().lastWriteOk);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), radio.memory.begin())) << "the header area is left alone";
    EXPECT_EQ(radio.memory[264], 1);
    const Snapshot now = Document();
    EXPECT_TRUE(now.image == edited.image);
    EXPECT_TRUE(now.modified);

    // What the radio holds now reads back as the edited channels.
    Main().MarkSaved();
    Main().CurrentImage().Assign(Main().InitialImage());
    ASSERT_EQ(Main().CloneRead(), 0);
    Finish();
    EXPECT_EQ(ChannelRx(world.Document(), 0), 150000000);
    EXPECT_EQ(ChannelRx(world.Document(), 1), 160000000);
    EXPECT_EQ(ReadBankChannelCount(world.Document(), 0), 3);
}

namespace {

// Bank 0 of a trunking type holding one channel.
void TrunkingChannelInBank0(bool multisite)
{
    SetBankChannelCount(0, 1);
    if (multisite)
        SetMultisiteBank(0, 1);
    else
        SetZephBank(0, 1);
    datCh ch(&g_Main->CurrentImage());
    ch.Unpack(MchRecordKind(), 0);
    ch.ZephUnit = 5;
    ch.Pack(MchRecordKind(), 0);
}

} // namespace

TEST_F(CloneCommands, WriteGatesRefuseBeforeAnythingIsSent)
{
    enum Channels { Conventional, ZephOnly, MultisiteOnly, NoChannel };
    struct Case {
        const char* name;
        Channels channels;
        int version;
        std::vector<int> answers;            // to the boxes, in order
        std::vector<std::string> boxes;      // overlay keys, or "#<code>" for a clone error
        int identifies;
        bool written;
        std::function<void(CloneCommands&)> setUp = nullptr;
    };
    const int ok = plat::IDOK, cancel = plat::IDCANCEL;
    const std::string confirm = "GI_Mess_Confirm_CloneWrite";
    const Case cases[] = {
        {"no active channel", NoChannel, 0x40, {ok}, {"GI_AppMess_CloneErr_NoActualCh"}, 0, false},
        {"errors in the check list", Conventional, 0x40, {ok}, {"GI_Mess_DataError"}, 0, false,
         [](CloneCommands& t) { t.Main().checkListErrors = 1; }},
        {"version 1F is too old: no confirmation asked", Conventional, 0x1F, {ok}, {"#14"}, 1, false},
        {"version 23 takes no ZEPH channels", ZephOnly, 0x23, {ok, ok}, {confirm, "GI_AppMess_CloneErr_NotReadyZEPHTrunk"}, 2, false},
        {"version 23 takes no multisite channels", MultisiteOnly, 0x23, {ok, ok}, {confirm, "GI_AppMess_CloneErr_NotReadyZEPHTrunk"}, 2, false},
        {"version 31 takes ZEPH channels", ZephOnly, 0x31, {ok, ok}, {confirm, "GI_Mess_CloneWrite_Succeeded"}, 2, true},
        {"version 31 takes no multisite channels", MultisiteOnly, 0x31, {ok, ok}, {confirm, "GI_AppMess_CloneErr_NotReadyMultisiteTrunk"}, 2, false},
        {"version 32 takes multisite channels", MultisiteOnly, 0x32, {ok, ok}, {confirm, "GI_Mess_CloneWrite_Succeeded"}, 2, true},
        {"version 23 with a conventional channel", Conventional, 0x23, {ok, ok}, {confirm, "GI_Mess_CloneWrite_Succeeded"}, 2, true},
        {"write not confirmed", Conventional, 0x40, {cancel}, {confirm}, 1, false},
        {"the data set a clone password", Conventional, 0x40, {ok, cancel}, {"GI_Mess_Confirm_CloneWriteClonePass", confirm}, 1, false,
         [](CloneCommands& t) { t.world.Document().SetByte(176104, 1); }},
        {"maker mode: caution first", Conventional, 0x40, {cancel}, {"GI_Mess_Maker_Caution"}, 1, false,
         [](CloneCommands& t) { t.Main().SetMakerMode(1); }},
        {"the data end beyond the radio's memory", Conventional, 0x40, {ok, ok}, {confirm, "GI_Mess_CloneErr_Datasize_Over"}, 2, false,
         [](CloneCommands& t) { t.radio.SetEndAddress(0x0FFF); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioWithChannels();
        radio.payload[34] = static_cast<uint8_t>(c.version);
        radio.ResetStats();
        Main().checkListErrors = 0;
        Main().SetMakerMode(0);
        world.Document().Assign(Main().InitialImage());
        if (c.channels == Conventional) FillBank0(2, 150000000);
        if (c.channels == ZephOnly || c.channels == MultisiteOnly) TrunkingChannelInBank0(c.channels == MultisiteOnly);
        if (c.setUp) c.setUp(*this);
        Main().MarkSaved();
        const Snapshot before = Document();
        const std::vector<uint8_t> memory = radio.memory;

        plat::ScopedDialogScript dialogs;
        for (int answer : c.answers) dialogs.Answer(answer);
        Main().CloneWrite();
        Finish();
        std::vector<std::string> expected;
        for (const std::string& key : c.boxes) expected.push_back(key[0] == '#' ? ErrorText(std::stoi(key.substr(1))) : Lines(key.c_str()));
        EXPECT_EQ(BoxTexts(dialogs), expected);
        EXPECT_EQ(radio.Stats().identifies, c.identifies);
        EXPECT_EQ(radio.Stats().writesDone, c.written ? 1 : 0);
        if (!c.written) {
            EXPECT_EQ(radio.Stats().writesStarted, 0);
            EXPECT_TRUE(radio.memory == memory);
        }
        ExpectUnchanged(before);
    }
}

TEST_F(CloneCommands, EveryFailedWriteShowsItsMessageAndKeepsTheDocument)
{
    using F = qmsim::CloneFault;
    const struct {
        F fault;
        int code;
    } cases[] = {{F::RefuseWrite, kCloneBadFrame}, {F::RefuseBlock, kCloneBadFrame}, {F::WrongWriteEnd, kCloneWriteEndRefused}};
    FillBank0(2, 150000000);
    Main().MarkSaved();
    const Snapshot before = Document();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        radio.fault = c.fault;
        plat::ScopedDialogScript dialogs;
        dialogs.Answer(plat::IDOK);
        dialogs.Answer(plat::IDOK);
        Main().CloneWrite();
        Finish();
        EXPECT_EQ(BoxTexts(dialogs), (std::vector<std::string>{Lines("GI_Mess_Confirm_CloneWrite"), ErrorText(c.code)}));
        ExpectUnchanged(before);
        EXPECT_EQ(Main().sheetsClosed, 0);
    }
}

TEST_F(CloneCommands, PasswordProtectedRadioIsWrittenWithItsPassword)
{
    RadioWithChannels();
    radio.password = "QM71";
    FillBank0(3, 151000000);
    plat::ScopedDialogScript dialogs;
    dialogs.Answer(plat::IDOK);
    dialogs.Drive(PasswordAnswer("QM71"));
    dialogs.Answer(plat::IDOK);
    Main().CloneWrite();
    Finish();
    EXPECT_EQ(BoxTexts(dialogs), (std::vector<std::string>{Lines("GI_Mess_Confirm_CloneWrite"), Lines("GI_Mess_CloneWrite_Succeeded")}));
    EXPECT_EQ(radio.Stats().identifies, 3); // confirmations, password, then the write
    EXPECT_EQ(radio.Stats().passwordAccepted, 1);
    EXPECT_TRUE(radio.Stats().lastWriteOk);
}
