// The clone commands as a user reaches them in the running program: Clone >
// Read from the menu reads the simulated radio on the chosen port, its
// channels show in the tree and on the bank's sheet, and the Write button
// sends the edited document back after its confirmation; data with errors
// are not written.
#include "tests/app/AppFixture.h"

#include "core/CellNames.h"
#include "core/cmcGTex.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indCloneMan.h"
#include "platform/base/MemorySerial.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "tests/sim/CloneRadio.h"
#include "ui/cuiTree.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kPort = 3;
constexpr int kLmr = 1;

int ChannelRx(cmcEeprom& image, int n)
{
    datCh ch(&image);
    return int(ch.Unpack(kLmr, n).RxFreq);
}

class CloneFromTheMenu : public apptest::ProgramFixture {
protected:
    CloneFromTheMenu() { radio.pacing = false; }

    // Lets the program run until the clone command has ended.
    void UntilDone()
    {
        ASSERT_TRUE(time.host.AdvanceUntil([&] { return !Main().CloneMan().IsBusy(); }, 120000, 10));
        Wait(100);
    }

    plat::ScopedMemorySerial serial;
    plat::MemoryLine& line = serial.ports.Line(kPort);
    qmsim::MemoryRadioLink link{line};
    qmsim::CloneRadio radio{link};
};

TEST_F(CloneFromTheMenu, ReadFromTheMenuShowsTheRadiosBankAndTheWriteButtonSendsTheEditBack)
{
    Start();
    Environ().ComPort = kPort;
    // The radio holds the program's own defaults with three channels in its
    // second bank.
    {
        cmcEeprom& doc = Main().CurrentImage();
        const cmcEeprom kept(doc);
        SetBankChannelCount(1, 3);
        for (int n = 0; n < 3; ++n) {
            datCh ch(&doc);
            ch.Unpack(kLmr, n);
            ch.RxFreq = ch.TxFreq = uint32_t(151000000 + 25000 * n);
            ch.State.InUse = ch.State.Active = 1;
            ch.Pack(kLmr, n);
        }
        ASSERT_EQ(Static2Dynamic(doc, false, false, false), kPackOk);
        radio.memory.assign(doc.Data(), doc.Data() + EepromMap::CloneSize);
        doc.Assign(kept);
    }
    radio.SetExtendedAddressing(true);
    radio.SetEndAddress(EepromMap::CloneLast);
    radio.Start();

    plat::TreeView* view = Main().Tree()->View();
    constexpr int EmptyBankIcon = 4, FilledBankIcon = 5;
    ASSERT_EQ(view->Item(4)->ImageIndex(), EmptyBankIcon);
    Choose(MenuItem(CL_Menu_Clone_Read));
    UntilDone();
    EXPECT_TRUE(dialogs.Boxes().empty()) << dialogs.Boxes().front().text;
    EXPECT_EQ(radio.Stats().readsDone, 1);
    EXPECT_EQ(BankChannelCount(1), 3);
    EXPECT_EQ(ChannelRx(Main().CurrentImage(), 2), 151050000);
    EXPECT_TRUE(Main().IsModified());
    EXPECT_TRUE(Main().IsUntitled());
    // The tree was built again for the data read: bank 2 holds channels.
    Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    EXPECT_EQ(view->Item(4)->ImageIndex(), FilledBankIcon);

    // An edit, then Write from the tool bar: the radio asks to be sure first.
    {
        datCh ch(&Main().CurrentImage());
        ch.Unpack(kLmr, 1);
        ch.RxFreq = ch.TxFreq = 155500000;
        ch.Pack(kLmr, 1);
    }
    radio.ResetStats();
    dialogs.Answer(plat::IDOK); // the write confirmation
    dialogs.Answer(plat::IDOK); // the write succeeded
    plat::ToolButton* write = ToolButton(CL_Menu_Clone_Write);
    ASSERT_NE(write, nullptr);
    write->Click();
    UntilDone();
    ASSERT_EQ(dialogs.Boxes().size(), 2u);
    EXPECT_EQ(dialogs.Boxes()[1].Icon(), plat::MB_ICONINFORMATION);
    EXPECT_EQ(radio.Stats().writesDone, 1);
    EXPECT_TRUE(radio.Stats().lastWriteOk);

    // What the radio holds now reads back as the edited channels; the
    // changed document is offered for saving first.
    dialogs.Answer(plat::IDNO);
    Choose(MenuItem(CL_Menu_Clone_Read));
    UntilDone();
    ASSERT_EQ(dialogs.Boxes().size(), 3u);
    EXPECT_EQ(BankChannelCount(1), 3);
    EXPECT_EQ(ChannelRx(Main().CurrentImage(), 0), 151000000);
    EXPECT_EQ(ChannelRx(Main().CurrentImage(), 1), 155500000);
    EXPECT_EQ(ChannelRx(Main().CurrentImage(), 2), 151050000);
}


// A reference into an ID or talk-group list that names an entry past the
// list's end marks its page in the tree, and Clone > Write refuses the data.
// The ZEPH and multisite lists and their references are LMR data: a PMR
// radio is sent none of them.
TEST_F(CloneFromTheMenu, AReferencePastTheEndOfItsListMarksItsPageAndStopsTheWrite)
{
    constexpr int Lmr = indMain::ModelTypeLmr, Pmr = indMain::ModelTypePmr;
    constexpr int kTalkGroupMode = 197889;  // bit 0: one talk group for every channel
    const std::string gps = "GI_Sheet_Digital_Gps", status = "GI_Sheet_Digital_Functions",
                      talkGroups = "[St_Common]GI_Sheet_Digital_TalkGroup";
    struct Case {
        const char* what;
        int model;
        int offset;
        int kind;  // the list: individual IDs 18, 28, 32; talk groups 19
        const std::string& page;
        bool error;
    };
    const Case cases[] = {
        {"GPS send ID", Lmr, 197916, 18, gps, true},
        {"ZEPH GPS send ID", Lmr, 243070, 28, gps, true},
        {"multisite GPS send ID", Lmr, 303642, 32, gps, true},
        {"switch-on status ID", Lmr, 204666, 18, status, true},
        {"ZEPH switch-on status ID", Lmr, 243068, 28, status, true},
        {"multisite switch-on status ID", Lmr, 303640, 32, status, true},
        {"talk group for every channel", Lmr, 302526, 19, talkGroups, true},
        {"GPS send ID on PMR", Pmr, 197916, 18, gps, true},
        {"talk group for every channel on PMR", Pmr, 302526, 19, talkGroups, true},
        {"ZEPH GPS send ID on PMR", Pmr, 243070, 28, gps, false},
        {"multisite switch-on status ID on PMR", Pmr, 303640, 32, status, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        StartModel(k.model, false, false);
        cmcEeprom& image = Main().CurrentImage();
        // One channel, so that the write has something to send.
        SetBankChannelCount(0, 1);
        datCh ch(&image);
        ch.Unpack(k.model == Lmr ? 1 : 2, 0);
        ch.RxFreq = ch.TxFreq = 451000000;
        ch.State.InUse = ch.State.Active = 1;
        ch.Pack(k.model == Lmr ? 1 : 2, 0);
        if (k.kind == 19) {
            SetTgListCount(3, k.kind);
            image.SetByte(kTalkGroupMode, image.GetByte(kTalkGroupMode) | 0x01);
        } else {
            SetIndListCount(3, k.kind);
        }
        plat::TreeNode* node = PageNode(k.page);
        ASSERT_NE(node, nullptr);
        auto marked = [&] {
            Main().UpdateCheckList(nullptr, nullptr);
            const std::vector<std::string>& errors = Main().CheckErrors();
            const bool listed = std::find(errors.begin(), errors.end(), k.page) != errors.end();
            EXPECT_EQ(listed, node->OverlayIndex() == cuiTree::ErrorOverlay);
            return listed;
        };
        image.SetByte(k.offset, 0);
        image.SetByte(k.offset + 1, 2);  // entry 3, the last one
        EXPECT_FALSE(marked());
        image.SetByte(k.offset + 1, 3);  // entry 4
        EXPECT_EQ(marked(), k.error);
        if (!k.error) continue;

        const size_t boxes = dialogs.Boxes().size();
        dialogs.Answer(plat::IDOK);
        Choose(MenuItem(CL_Menu_Clone_Write));
        ASSERT_EQ(dialogs.Boxes().size(), boxes + 1);
        EXPECT_EQ(dialogs.Boxes().back().text, g_GTex.GetMultiLineText("GI_Mess_DataError"));
        EXPECT_FALSE(Main().CloneMan().IsBusy());
        EXPECT_EQ(radio.Stats().writesDone, 0);
    }
}

} // namespace
