// The program's clone commands against the simulated radio over the
// in-memory line, on the manual clock: reads, writes, the clone password, the
// version gates and every result code's message, with the document left as
// it was by every read or write that fails, is refused or is cancelled.
#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/CheckedFormat.h"
#include "core/cmcCellObj.h"
#include "core/cmcCloneDrv.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indCloneMan.h"
#include "platform/base/MemorySerial.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/Form.h"
#include "platform/ui/StdControls.h"
#include "tests/clone/CloneWorld.h"
#include "tests/sim/CloneRadio.h"
#include "ui/cuiClonePasswordDialog.h"
#include "ui/cuiReadWritePasswordDialog.h"

#include <algorithm>
#include <cstring>
#include <array>
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
        radio.writeAckDelayMs = 0;
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

TEST_F(CloneCommands, PasswordOfAFailedReadIsNotSentWithTheNext)
{
    RadioWithChannels();
    radio.password = "QM71";
    {
        // The radio falls silent after the password was given.
        plat::ScopedDialogScript dialogs;
        dialogs.Drive([&](plat::Form& form) {
            PasswordAnswer("QM71")(form);
            radio.fault = qmsim::CloneFault::Silence;
        });
        dialogs.Answer(plat::IDOK);
        ASSERT_EQ(Main().CloneRead(), 0);
        Finish();
        EXPECT_EQ(BoxTexts(dialogs), std::vector<std::string>{ErrorText(kCloneTimeout)});
    }
    // A radio without a password, silent after its identity: a time-out, not
    // a refused password.
    radio.fault = qmsim::CloneFault::None;
    radio.password.clear();
    plat::ScopedDialogScript dialogs;
    dialogs.Answer(plat::IDOK);
    ASSERT_EQ(Main().CloneRead(), 0);
    ASSERT_TRUE(world.time->host.AdvanceUntil([&] { return radio.Stats().identifies == 3; }, 10000, 10));
    radio.fault = qmsim::CloneFault::Silence;
    Finish();
    EXPECT_EQ(radio.Stats().passwordFrames, 0);
    EXPECT_EQ(BoxTexts(dialogs), std::vector<std::string>{ErrorText(kCloneTimeout)});
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
        EXPECT_TRUE(plat::SavePng(dialog, (qmtest::OutputDir() / "clone-password-dialog.png").string()));
        // Nothing lies outside the window.
        EXPECT_LE(dialog.CancelButton->Left() + dialog.CancelButton->Width(), dialog.ClientWidth());
        EXPECT_LE(dialog.CancelButton->Top() + dialog.CancelButton->Height(), dialog.ClientHeight());
        EXPECT_LE(dialog.Notice->Left() + dialog.Notice->Width(), dialog.ClientWidth());
        EXPECT_TRUE(dialog.PasswordEdit->PrintableAsciiOnly());
        dialog.OkButton->Click(); // empty
        stayedOpen = dialog.ModalResult() == plat::mrNone;
        // Nine "é" are 18 bytes, more than the radio's 16.
        dialog.PasswordEdit->SetText("\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9");
        dialog.OkButton->Click();
        stayedOpen = stayedOpen && dialog.ModalResult() == plat::mrNone;
        dialog.PasswordEdit->SetText("QM71");
        dialog.OkButton->Click();
    });
    dialogs.Answer(plat::IDOK);
    dialogs.Answer(plat::IDOK);
    ASSERT_EQ(Main().CloneRead(), 0);
    Finish();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(BoxTexts(dialogs), std::vector<std::string>(2, Lines("GI_AppInd_Opt_ClonePwd_OutofRange")));
    EXPECT_EQ(radio.Stats().passwordAccepted, 1);
}

TEST_F(CloneCommands, WriteSendsThePackedImageBackAndLeavesTheDocument)
{
    RadioWithChannels();
    ASSERT_EQ(Main().CloneRead(), 0);
    Finish();
    EXPECT_EQ(radio.Stats().lastIdentifyModel, 0) << "a read asks for either model";
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
    EXPECT_EQ(radio.Stats().lastIdentifyModel, 0x7143) << "a write names the first model";
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

// Lists so long that the data fit the 32-bit layout only; with every list
// full, not even that one.
void DataBeyondThe16BitLayout(cmcEeprom& doc, bool everyListFull = false)
{
    for (int b = 0; b < 128; ++b) SetBankChannelCount(b, 4);
    WriteCToneListCount(doc, 80);
    WriteNacChListCount(doc, 80);
    WriteIndListCount(doc, 500, 18);
    WriteTgListCount(doc, 500, 19);
    if (!everyListFull) return;
    for (int g = 0; g < WorkTables::Banks; ++g) {
        SetGroupItemCount(g, 20, 22);
        SetGroupItemCount(g, 30, 27);
    }
    for (int kind : {28, 32}) WriteIndListCount(doc, 500, kind);
    for (int kind : {29, 33}) WriteTgListCount(doc, 500, kind);
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
        {"maker mode writes the header area too", Conventional, 0x40, {ok, ok, ok},
         {"GI_Mess_Maker_Caution", confirm, "GI_Mess_CloneWrite_Succeeded"}, 2, true, [](CloneCommands& t) { t.Main().SetMakerMode(1); }},
        {"the data end beyond the radio's memory", Conventional, 0x40, {ok, ok}, {confirm, "GI_Mess_CloneErr_Datasize_Over"}, 2, false,
         [](CloneCommands& t) { t.radio.SetEndAddress(0x0FFF); }},
        // How the data are packed for the radio's addressing.
        {"a 16-bit radio takes the 16-bit layout only", Conventional, 0x40, {ok, ok},
         {confirm, "GI_Mess_CloneErr_Old_Datasize_Model"}, 2, false,
         [](CloneCommands& t) {
             t.radio.SetExtendedAddressing(false);
             t.radio.SetEndAddress(0xFF7F);
             DataBeyondThe16BitLayout(t.world.Document());
         }},
        {"a radio of both layouts takes the 32-bit one when the 16-bit one is too small", Conventional, 0x40, {ok, ok},
         {confirm, "GI_Mess_CloneWrite_Succeeded"}, 2, true,
         [](CloneCommands& t) { DataBeyondThe16BitLayout(t.world.Document()); }},
        {"a 32-bit radio without the layout choice", Conventional, 0x40, {ok, ok}, {confirm, "GI_Mess_CloneErr_Datasize_Over"}, 2, false,
         [](CloneCommands& t) {
             t.radio.payload[109] = 0x40;
             DataBeyondThe16BitLayout(t.world.Document());
         }},
        {"a radio that takes 4.5 s to acknowledge the write request", Conventional, 0x40, {ok, ok},
         {confirm, "GI_Mess_CloneWrite_Succeeded"}, 2, true, [](CloneCommands& t) { t.radio.writeAckDelayMs = 4500; }},
        {"data beyond the 32-bit layout too", Conventional, 0x40, {ok, ok}, {confirm, "GI_Mess_CloneErr_Datasize_Over"}, 2, false,
         [](CloneCommands& t) { DataBeyondThe16BitLayout(t.world.Document(), true); }},
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
        std::fill_n(radio.memory.begin(), 0x100, uint8_t{0x55}); // to see whether the header area is written
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
        } else {
            EXPECT_EQ(radio.memory[0], Main().MakerMode() != 0 ? 0x71 : 0x55);
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

namespace {

// A payload of n bytes (first byte n) with the end address text at 101.
std::vector<uint8_t> Payload(int n = 127, const char* end8 = "0001FF7F", const char* end4 = "FF7F")
{
    std::vector<uint8_t> p(size_t(n), 0x20);
    p[0] = uint8_t(n);
    for (int i = 34; i < 60; ++i) p[size_t(i)] = 0;
    if (n > 108) std::copy(end8, end8 + 8, p.begin() + 101);
    if (n > 59) std::copy(end4, end4 + 4, p.begin() + 56);
    return p;
}

struct IdentityOutcome {
    int code;
    std::array<uint8_t, cuiMain::IdentityPayloadSize> payload;
};

IdentityOutcome CheckIdentity(cuiMain& main, int model, const std::vector<uint8_t>& payload)
{
    dst_CDrv_Result result;
    result.Mode = cmcCloneDrv::ModeIdentify;
    result.ResultCode = kCloneOk;
    result.ModelCode = model;
    result.Payload.AssignBytes(payload.data(), int(payload.size()));
    main.CheckCloneIdAnswer(&result);
    return {result.ResultCode, main.IdentityPayload()};
}

} // namespace

TEST_F(CloneCommands, IdentityAnswersAreCheckedBeforeTheyAreUsed)
{
    struct Case {
        const char* name;
        int model;
        std::vector<uint8_t> payload;
        int code;
    };
    std::vector<uint8_t> format1 = Payload(), format2 = Payload(), shortByOne = Payload(126), huge = Payload(127, "FFFFFFF0");
    format1[35] = 1;
    format2[35] = 2;
    shortByOne[0] = 127;
    const Case cases[] = {
        {"the first model", 0x7143, Payload(), 0},
        {"the second model", 0x7148, Payload(), 0},
        {"another model", 0x7149, Payload(), cuiMain::CloneBadIdentity},
        {"data format 1", 0x7143, format1, 0},
        {"data format 2", 0x7143, format2, cuiMain::CloneBadFormat},
        {"126 bytes claiming 127", 0x7143, shortByOne, cuiMain::CloneBadIdentity},
        {"a short payload of its own length", 0x7143, Payload(60), 0},
        {"an empty payload", 0x7143, {}, cuiMain::CloneBadIdentity},
        {"the last end inside the image", 0x7143, Payload(127, "0005035F"), 0},
        {"an end that reaches past the image", 0x7143, Payload(127, "00050366"), cuiMain::CloneBadIdentity},
        {"an end of FFFFFFFF", 0x7143, huge, cuiMain::CloneBadIdentity},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckIdentity(Main(), c.model, c.payload).code, c.code);
    }
    // A short answer is kept filled up with zeros; the model decides the variant.
    CheckIdentity(Main(), 0x7148, Payload(60));
    EXPECT_EQ(Main().IdentityPayload()[60], 0);
    EXPECT_EQ(Main().IdentityPayload()[101], 0);
    EXPECT_TRUE(Main().IsVariant());
    EXPECT_EQ(Main().IdentityBytes(), (std::array<uint8_t, 4>{0x71, 0x48, 0, 0}));
    CheckIdentity(Main(), 0x7143, Payload());
    EXPECT_FALSE(Main().IsVariant());
}

TEST_F(CloneCommands, IdentityFixUpCopiesTheStunIdInRange)
{
    struct Case {
        int version;
        uint8_t flags52, flags53;
        bool copied;
    };
    const Case cases[] = {{0x20, 0x40, 0x04, true}, {0x3F, 0x40, 0x04, true}, {0x40, 0x40, 0x04, false},
                          {0x1F, 0x40, 0x04, false}, {0x30, 0x00, 0x04, false}, {0x30, 0x40, 0x00, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        std::vector<uint8_t> p = Payload();
        p[34] = uint8_t(c.version);
        p[52] = c.flags52;
        p[53] = c.flags53;
        std::copy_n("12345", 5, p.begin() + 96);
        std::copy_n("ABCDE", 5, p.begin() + 120);
        const IdentityOutcome out = CheckIdentity(Main(), 0x7143, p);
        EXPECT_EQ(std::string(out.payload.begin() + 120, out.payload.begin() + 125), c.copied ? "12345" : "ABCDE");
    }
}

TEST(CloneEndAddress, ComesFromTheIdentityText)
{
    struct Case {
        const char* end8;
        const char* end4;
        uint32_t end;
    };
    const Case cases[] = {
        {"00000000", "FF7F", 0xFF7F},     // eight zero digits: the four-digit form
        {"0001FF80", "FF7F", 0x1FF8F},    // the end of its 16-byte block
        {"0001ff7f", "0000", 0x1FF7F},    // lower case counts
        {"0000FFFF", "1234", 0xFFFF},
        {"00G0-01 ", "FF7F", 0x1F},       // other characters count as 0
        {"00000000", "0000", 0x0F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.end8);
        std::array<uint8_t, cuiMain::IdentityPayloadSize> p{};
        std::copy_n(c.end8, 8, p.begin() + 101);
        std::copy_n(c.end4, 4, p.begin() + 56);
        EXPECT_EQ(cuiMain::CloneEndAddressOf(p), c.end);
    }
}

TEST(CloneScript, HandshakesPasswordAndMode)
{
    CloneWorld world(true);
    indCloneMan& man = world.Main().CloneMan();
    man.SetModel(0x7143, 0);
    const std::string fe20(40, 'F'), speedTo9600 = "EEEFE871430000013237FD", speedTo38400 = "EEEFE871430000013039FD";
    std::string fes;
    for (int i = 0; i < 20; ++i) fes += "FE";
    struct Case {
        const char* password; // none: no password frame
        bool highSpeed, write;
        std::string passwordFrame, tail;
    };
    const Case cases[] = {
        {nullptr, false, false, "", "(38400,N,8,1)" + fes + speedTo9600},
        {"abc", true, true, "FEFEEEEFE8714300009903DA616263FD", "(9600,N,8,1)" + fes + speedTo38400},
        {"dd8", false, false, "FEFEEEEFE871430000990300646438FD", "(38400,N,8,1)" + fes + speedTo9600}, // sum 256: check 00
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password ? c.password : "no password");
        world.Environ().ClonePassword = c.password ? c.password : "";
        const std::string script = man.BuildScript(c.highSpeed, c.password != nullptr, c.write);
        EXPECT_EQ(script, "(38400,N,8,1)" + fes + speedTo9600 + "(9600,N,8,1)" + c.passwordFrame +
                              "FEFEEEEFE87143000055303" + (c.write ? "1" : "0") + "FD" + c.tail);
    }
}

TEST(CloneErrorBox, HeadLineAndTheChecksOfItsCode)
{
    CloneWorld world(true);
    const std::string check = g_GTex.GetMultiLineText("GI_Mess_CloneErr_Check");
    EXPECT_EQ(indCloneMan::CloneErrorText(kCloneOpenFailed, 7).substr(0, 30), "The port COM7 cannot be opened");
    EXPECT_EQ(indCloneMan::CloneErrorText(cuiMain::CloneNewerData, 1), g_GTex.GetText("GI_Mess_CloneErr_Head", 16) + "\n\n");
    EXPECT_EQ(indCloneMan::CloneErrorText(kClonePasswordRefused, 1),
              g_GTex.GetText("GI_Mess_CloneErr_Head", 19) + "\n\n" + g_GTex.GetText("GI_Mess_CloneErr_Check", 8) + "\n");
    EXPECT_EQ(indCloneMan::CloneErrorText(kCloneWriteEndRefused, 1),
              g_GTex.GetText("GI_Mess_CloneErr_Head", 10) + "\n\n" + g_GTex.GetText("GI_Mess_CloneErr_Check", 0) + "\n" +
                  g_GTex.GetText("GI_Mess_CloneErr_Check", 2) + "\n" + g_GTex.GetText("GI_Mess_CloneErr_Check", 3));
}

TEST(CloneProgress, ThirtyTwoSegmentsFilledAtThirtyThreeParts)
{
    const struct {
        int done, total, filled;
    } cases[] = {{0, 100, 0}, {97, 100, 32}, {50, 100, 16}, {1, 0, 0}, {130944, 130944, 33}, {65535, 65536, 32}};
    for (const auto& c : cases) EXPECT_EQ(indCloneMan::FilledSegments(c.done, c.total), c.filled) << c.done << "/" << c.total;
}

TEST_F(CloneCommands, ProgressWindowShowsTheReadAndCannotBeClosed)
{
    RadioWithChannels();
    radio.SetEndAddress(0xFFFF);
    plat::Form mainForm;
    mainForm.SetBounds(100, 100, 600, 400);
    mainForm.Show();
    Main().SetMainForm(&mainForm);

    ASSERT_EQ(Main().CloneRead(), 0);
    EXPECT_FALSE(mainForm.Enabled()) << "disabled while the radio is identified";
    ASSERT_TRUE(world.time->host.AdvanceUntil([&] { return Man().Driver().DataByteCount() >= 0x8000; }, 60000, 10));
    plat::Form* window = Man().ProgressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Man().Total(), 65536);
    EXPECT_EQ(window->Caption(), "Cloning");
    EXPECT_EQ(window->GetBorderStyle(), plat::bsToolWindow);
    EXPECT_EQ(window->BorderIcons(), 0u);
    EXPECT_FALSE(mainForm.Enabled());
    window->Close();
    EXPECT_TRUE(window->Visible()) << "the user cannot close it";
    // Centred as far as the frame was known before it was shown.
    EXPECT_NEAR(window->Left() + window->Width() / 2, mainForm.Left() + mainForm.Width() / 2, 8);
    EXPECT_NEAR(window->Top() + window->Height() / 2, mainForm.Top() + mainForm.Height() / 2, 16);

    plat::RecordingCanvas canvas;
    Man().PaintProgress(canvas, 256, 16);
    const int filled = indCloneMan::FilledSegments(Man().Driver().DataByteCount(), Man().Total());
    EXPECT_GE(filled, 16);
    int highlighted = 0;
    for (const plat::DrawCall& call : canvas.Calls()) {
        ASSERT_EQ(call.kind, plat::DrawCall::FillRect);
        if (call.brush.color != plat::clHighlight) continue;
        EXPECT_EQ(call.rect, (plat::Rect{8 * highlighted, 0, 8 * highlighted + 7, 16}));
        ++highlighted;
    }
    EXPECT_EQ(highlighted, filled);

    Finish();
    EXPECT_EQ(Man().ProgressWindow(), nullptr);
    EXPECT_TRUE(mainForm.Enabled());
    Main().SetMainForm(nullptr);
}

TEST_F(CloneCommands, CommandsWaitForTheRunningOneAndForTheOfferToSave)
{
    RadioWithChannels();
    Main().saveAnswer = plat::IDCANCEL;
    EXPECT_EQ(Main().CloneRead(), plat::IDCANCEL);
    world.time->Advance(3000);
    EXPECT_EQ(radio.Stats().identifies, 0);
    EXPECT_EQ(Main().offersToSave, 1);

    Main().saveAnswer = plat::IDYES;
    ASSERT_EQ(Main().CloneRead(), 0);
    const int state = Man().State();
    EXPECT_NE(state, 0);
    EXPECT_EQ(Main().CloneRead(), state);
    EXPECT_EQ(Main().ShowCloneInformation(), state);
    FillBank0(1, 150000000);
    EXPECT_NE(Main().CloneWrite(), 0);
    Finish();
    EXPECT_EQ(radio.Stats().identifies, 1);
    EXPECT_EQ(radio.Stats().readsDone, 1);
}

namespace {

std::string CellText(int label, int key = 0)
{
    cmcCellObj cell;
    cell.Category = CT_Null;
    cell.Label = label;
    cmcCellCapsule cap;
    cap.Cell = &cell;
    cap.Key = key;
    indActiveCell().Exec(&cap, 0);
    return cap.Text;
}

void Put(std::vector<uint8_t>& payload, int position, const std::string& text)
{
    std::copy(text.begin(), text.end(), payload.begin() + position);
}

} // namespace

TEST_F(CloneCommands, InformationShowsWhatTheRadioReported)
{
    RadioWithChannels();
    std::vector<uint8_t>& p = radio.payload;
    p[34] = 0x41;
    p[49] = 0x02;
    p[50] = 0x32;
    p[51] = 0x2C;
    p[53] = 0x23;
    p[55] = 0x26;
    p[125] = 0x40;
    Put(p, 60, "1A2B");
    Put(p, 76, "A3");
    Put(p, 82, "00FF");
    Put(p, 87, "00042");
    Put(p, 92, "0007");
    Put(p, 96, "01234");
    p[52] = 0x40;
    Put(p, 120, "12345");

    ASSERT_EQ(Main().ShowCloneInformation(), 0);
    Finish();
    EXPECT_EQ(Main().infoDialogs, 1);
    EXPECT_TRUE(world.dialogs.Boxes().empty());

    auto line = [](const char* key, int n) { return g_GTex.GetText(key, n); };
    EXPECT_EQ(CellText(CL_CloneInfo_Model),
              line("GI_AppInd_Model", 1) + "\n" + line("GI_Mess_CloneInfo_Model", 1) + "\n" + line("GI_Mess_CloneInfo_TenKey", 1));
    EXPECT_EQ(CellText(CL_CloneInfo_Revision), "4.1");
    EXPECT_EQ(CellText(CL_CloneInfo_Comment1), "SIMULATED RADIO");
    EXPECT_EQ(CellText(CL_CloneInfo_Comment2), "CLONE TEST UNIT");
    EXPECT_EQ(CellText(CL_CloneInfo_Digital_UnitID), "42 (Conventional)\n7 (Single-site Trunk)\n");
    EXPECT_EQ(CellText(CL_CloneInfo_Digital_FleetID), "");
    EXPECT_EQ(CellText(CL_CloneInfo_Digital_TalkgroupID), "12345 (Global TG List - Conv)\n");
    EXPECT_EQ(CellText(CL_CloneInfo_Option), line("GI_Mess_CloneInfo_Opt_Ut110", 0) + "\n" + line("GI_Mess_CloneInfo_Opt_Ut117", 0) +
                                                 "\n" + line("GI_Mess_CloneInfo_Opt_Digi", 2) + "(Rev:A.3:$00FF)\n");
    const std::string digital = line("GI_Mess_CloneInfo_StunKill_Digital", 0);
    const std::string stunId = CheckedFormat(line("GI_Mess_CloneInfo_StunKill_ID", 0), {1234});
    EXPECT_EQ(CellText(CL_CloneInfo_StunKill), digital + "\n" + stunId + "\n" + line("GI_Mess_CloneInfo_Stun", 0));
    EXPECT_EQ(CellText(CL_CloneInfo_OverVolt), line("GI_Mess_CloneInfo_OverVolt", 0));
    EXPECT_EQ(CellText(CL_CloneInfo_Esn), "290000074565"); // 7148 00 012345 read as hexadecimal
    EXPECT_EQ(CellText(CL_CloneInfo_CheckSum), "$1A2B");
    // Typing into a comment changes nothing.
    EXPECT_EQ(CellText(CL_CloneInfo_Comment1, 'X'), "SIMULATED RADIO");
    EXPECT_EQ(Main().IdentityPayload()[2], 'S');

    // The next answer: kill instead of stun, a blank in the serial number.
    p[55] = 0x36;
    p[40] = ' ';
    ASSERT_EQ(Main().ShowCloneInformation(), 0);
    Finish();
    EXPECT_EQ(CellText(CL_CloneInfo_StunKill), digital + "\n" + stunId + "\n" + line("GI_Mess_CloneInfo_Kill", 0));
    EXPECT_EQ(CellText(CL_CloneInfo_Esn), " ");
    // Multisite trunking: fleet and unit IDs, the stun fleet, or stun by system.
    p[55] = 0x68;
    p[110] = 12;
    p[115] = 3;
    Put(p, 111, "0099");
    ASSERT_EQ(Main().ShowCloneInformation(), 0);
    Finish();
    const std::string multisite = line("GI_Mess_CloneInfo_StunKill_Multisite", 0);
    EXPECT_EQ(CellText(CL_CloneInfo_Digital_FleetID), "12 (Multi-site Trunk)");
    EXPECT_EQ(CellText(CL_CloneInfo_Digital_UnitID), "42 (Conventional)\n7 (Single-site Trunk)\n99 (Multi-site Trunk)\n");
    EXPECT_EQ(CellText(CL_CloneInfo_StunKill),
              multisite + "\n" + CheckedFormat(line("GI_Mess_CloneInfo_StunKill_ID_Multisite", 0), {3, 1234}) + "\n" +
                  line("GI_Mess_CloneInfo_Stun", 0));
    p[109] |= 0x08;
    ASSERT_EQ(Main().ShowCloneInformation(), 0);
    Finish();
    EXPECT_EQ(CellText(CL_CloneInfo_StunKill),
              multisite + "\n" + line("GI_Mess_CloneInfo_StunKill_Multisite_System", 0) + "\n" + line("GI_Mess_CloneInfo_Stun", 0));
    // The language selector shows the chosen language's name.
    const std::string language = g_GTexSys.GetText("GI_Sys_Language", 0);
    EXPECT_EQ(CellText(CL_Langage_Select), language.substr(0, language.find('\t')));

    // A failed identify shows its error and no information.
    radio.fault = qmsim::CloneFault::Silence;
    world.dialogs.Answer(plat::IDOK);
    ASSERT_EQ(Main().ShowCloneInformation(), 0);
    Finish();
    EXPECT_EQ(Main().infoDialogs, 4);
    EXPECT_EQ(BoxTexts(world.dialogs), std::vector<std::string>{ErrorText(kCloneTimeout)});
}

TEST(ReadWritePasswordDialog, TakesTwoEqualTextsOrNone)
{
    CloneWorld world(true);
    cuiMain& main = world.Main();
    struct Case {
        const char* password;
        const char* confirm;
        bool accepted;
    };
    const Case cases[] = {
        {"", "", true},          {"  ", "  ", false}, {"abc", "abd", false},
        {"abc", "", false},      {" a ", " a ", true}, {"0123456789abcdef", "0123456789abcdef", true},
        // The radio holds 16 bytes of printable ASCII: nine (or eight) "é"
        // are 18 (16) bytes it would not compare as typed.
        {"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", false},
        {"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.password) + "|" + c.confirm);
        plat::ScopedDialogScript dialogs;
        bool openAfterOk = false;
        std::string shown;
        dialogs.Drive([&](plat::Form& form) {
            auto& dialog = static_cast<cuiReadWritePasswordDialog&>(form);
            shown = dialog.PasswordEdit->Text() + "|" + dialog.ConfirmEdit->Text();
            EXPECT_LE(dialog.Notice->Left() + dialog.Notice->Width(), dialog.ClientWidth());
            EXPECT_LE(dialog.OkButton->Left() + dialog.OkButton->Width(), dialog.ClientWidth());
            EXPECT_LE(dialog.CancelButton->Top() + dialog.CancelButton->Height(), dialog.ClientHeight());
            EXPECT_LE(dialog.PasswordLabel->Left() + dialog.PasswordLabel->Width(), dialog.PasswordEdit->Left());
            EXPECT_TRUE(dialog.PasswordEdit->PrintableAsciiOnly());
            EXPECT_TRUE(dialog.ConfirmEdit->PrintableAsciiOnly());
            if (c.accepted && *c.password == 0) {
                EXPECT_TRUE(plat::SavePng(dialog, (qmtest::OutputDir() / "read-write-password-dialog.png").string()));
            }
            dialog.PasswordEdit->SetText(c.password);
            dialog.ConfirmEdit->SetText(c.confirm);
            dialog.OkButton->Click();
            openAfterOk = dialog.ModalResult() == plat::mrNone;
            if (openAfterOk) dialog.CancelButton->Click();
        });
        if (!c.accepted) dialogs.Answer(plat::IDOK);
        main.ShowReadWritePasswordDialog("old");
        EXPECT_EQ(shown, "old|old");
        EXPECT_EQ(openAfterOk, !c.accepted);
        EXPECT_EQ(main.ReadWritePasswordResult(), c.accepted);
        if (c.accepted) {
            std::array<uint8_t, 17> expected{};
            std::copy_n(c.password, std::strlen(c.password), expected.begin());
            EXPECT_EQ(main.ReadWritePassword(), expected);
        } else {
            EXPECT_EQ(BoxTexts(dialogs), std::vector<std::string>{g_GTex.GetMultiLineText("GI_AppInd_Opt_ClonePwd_OutofRange")});
        }
    }
}
