// The clone commands as a user reaches them in the running program: Clone >
// Read from the menu reads the simulated radio on the chosen port, its
// channels show in the tree and on the bank's sheet, and the Write button
// sends the edited document back after its confirmation.
#include "tests/app/AppFixture.h"

#include "core/CellNames.h"
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

} // namespace
