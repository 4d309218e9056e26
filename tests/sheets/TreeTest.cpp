// The model's windows in the main object: the sheet classes of its sheet
// factory and the navigation tree whose bank nodes follow the banks' types,
// channels and names.
#include "core/EventIds.h"
#include "model/TableAccess.h"
#include "model/indModelSheets.h"
#include "model/iuiSh_ChBank.h"
#include "model/iuiSh_Common.h"
#include "model/iuiSh_Mch.h"
#include "model/iuiTree.h"
#include "platform/ui/TreeView.h"
#include "tests/sheets/SheetWorld.h"
#include "ui/cuiMain.h"

#include <gtest/gtest.h>

using namespace sheets;
using celltest::TestImage;

namespace {

constexpr int BankNames = 177448;  // 12 bytes per bank

// A tree with a root and, under it, bank nodes as the bank branch makes
// them, and nodes that only look like bank nodes.
const std::vector<std::string> TreeLayout = {
    "#T_BasicCell", "{(%CT_Null.)(ImageIndex=3)}", "#T_Body",
    "+{(%CallSheet:GI_Sheet_Top)(ImageIndex=0)}Radio",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Bank 0)(ImageIndex=4)}0",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Bank 1)(ImageIndex=4)}1",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Bank 2)(ImageIndex=4)}2",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Bank 3)(ImageIndex=4)}3",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Bank 4)(ImageIndex=4)}4",
    " +{(%CallSheet:[St_Common]GI_Sheet_Top,Bank 5)(ImageIndex=2)}not a bank",
    " +{(%CallSheet:GI_Sheet_Top,Bank 5)(ImageIndex=2)}not a bank either",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Bank 5)(ImageIndex=4)}5",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Bank 5)(ImageIndex=4)}5 again",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Zone 6)(ImageIndex=2)}6",
    " +{(%CallSheet:[St_ChBank]GI_Sheet_Mch_Lmr,Bank)(ImageIndex=2)}no number",
    "#",
};

std::vector<int> Icons(const iuiTree& tree)
{
    std::vector<int> icons;
    for (int i = 1; i < tree.View()->Count(); ++i) icons.push_back(tree.View()->Item(i)->ImageIndex());
    return icons;
}

std::vector<std::string> Captions(const iuiTree& tree)
{
    std::vector<std::string> captions;
    for (int i = 1; i < tree.View()->Count(); ++i) captions.push_back(tree.View()->Item(i)->Text());
    return captions;
}

} // namespace

TEST(ModelSheets, TheSheetFactoryMakesTheModelsSheetClasses)
{
    SheetWorld w;
    cuiMain& main = w.world.Main();
    InstallModelSheetMakers(main);
    const std::unique_ptr<cuiSheet> bank = main.CreateSheet(&w.form, "[St_ChBank]GI_Sheet_Mch_Lmr,Bank 3");
    ASSERT_NE(dynamic_cast<iuiSh_ChBank*>(bank.get()), nullptr);
    EXPECT_EQ(static_cast<iuiSh_ChBank&>(*bank).Bank(), 3);
    EXPECT_NE(dynamic_cast<iuiSh_Common*>(main.CreateSheet(&w.form, "[St_Common]GI_Sheet_Top").get()), nullptr);
    const std::unique_ptr<cuiSheet> list = main.CreateSheet(&w.form, "GI_Sheet_Top,X 0,4");
    ASSERT_NE(dynamic_cast<iuiSh_Mch*>(list.get()), nullptr);
    EXPECT_EQ(static_cast<iuiSh_Mch&>(*list).Letter(), 'X');
    EXPECT_EQ(static_cast<iuiSh_Mch&>(*list).Group(), 4);
}

TEST(BankTree, BankNodesShowTheirBanksTypeAndChannels)
{
    SheetWorld w(0, TreeLayout);
    w.Data().BankCounts({0, 2, 1, 0, 3, 1});
    w.Data().Type(0, TestImage::Ltr).Type(1, TestImage::Ltr).Type(2, TestImage::SmarTrunk).Type(3, TestImage::Zeph);
    w.Data().Type(4, TestImage::Multisite).Type(5, TestImage::VoteZone);
    auto* tree = new iuiTree(&w.form, &g_GTex, "T", &w.images);
    tree->Build();
    g_EvMan->Post(ev::UpdateBankNodes, 0, 0);
    w.world.Pump();
    // LTR 8 and 9, SmarTrunk 7, ZEPH 10, multisite 11, a vote zone like a
    // conventional bank; the others keep their pictures (a code without a
    // number is bank 0).
    EXPECT_EQ(Icons(*tree), (std::vector<int>{8, 9, 7, 10, 11, 2, 2, 5, 5, 2, 8}));
    EXPECT_EQ(tree->View()->Item(2)->SelectedIndex(), 9);

    // A channel more in bank 0, and bank 1 turns conventional.
    SetBankChannelCount(0, 1);
    SetLtrBank(1, 0);
    SetSmarTrunkBank(0, 1);
    g_EvMan->Post(ev::UpdateBankNodes, 0, 0);
    w.world.Pump();
    EXPECT_EQ(Icons(*tree), (std::vector<int>{9, 5, 7, 10, 11, 2, 2, 5, 5, 2, 9}));
    // The tree goes with its owner's window part.
    g_EvMan->Send(ev::ControlClosing, 0, reinterpret_cast<intptr_t>(static_cast<plat::Control*>(&w.form)));
}

TEST(BankTree, BankNodesTakeTheNamesOfTheirBanks)
{
    SheetWorld w(0, TreeLayout);
    auto* tree = new iuiTree(&w.form, &g_GTex, "T", &w.images);
    tree->Build();
    const std::vector<std::string> built = Captions(*tree);

    // Only the first node of bank 5's channel sheet.
    g_EvMan->PostText(ev::BankNameChanged, 0, 5, "6: YARD");
    // A bank without a node changes nothing.
    g_EvMan->PostText(ev::BankNameChanged, 0, 90, "91: NOWHERE");
    w.world.Pump();
    std::vector<std::string> expected = built;
    expected[7] = "6: YARD";
    EXPECT_EQ(Captions(*tree), expected);

    // Re-read from the image, unprintable bytes shown as '*'.
    const char name[] = "GATE\x01";
    for (int i = 0; i < 5; ++i) w.Data().Byte(BankNames + 12 * 2 + i, uint8_t(name[i]));
    g_EvMan->Post(ev::RereadBankName, 0, 2);
    w.world.Pump();
    expected[2] = "3: GATE*";
    EXPECT_EQ(Captions(*tree), expected);
    delete tree;
}
