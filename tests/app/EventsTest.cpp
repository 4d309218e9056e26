// The main object's events and tick: list insertions and deletions with
// their renumbering and counts, the status text, the reopening of the sheet,
// the deferred warning check that marks the tree, the data-replaced event
// that rebuilds the bank branch, the language reload and the debug compare.
#include "tests/app/AppFixture.h"

#include "cells/LabelDispatch.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/ToolBar.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/TestHooks.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheet.h"
#include "ui/cuiToolBar.h"
#include "ui/cuiTree.h"

#include <cctype>
#include <memory>
#include <set>

namespace {

using apptest::ProgramFixture;

// The events that reach a subscriber, in order.
class EventLog {
public:
    EventLog() : m_subscription(MemberEventHandler<&EventLog::OnEvent>(this)) {}
    struct Entry {
        int type;
        intptr_t p1;
        intptr_t p2;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> entries;
    std::vector<int> Types() const
    {
        std::vector<int> types;
        for (const Entry& e : entries) types.push_back(e.type);
        return types;
    }

private:
    void OnEvent(const dst_Event* e)
    {
        if (e->mode != dst_Event::Queried) entries.push_back({e->type, e->p1, e->p2});
    }
    cmcEvSubscription m_subscription;
};

class Events : public ProgramFixture {};

TEST_F(Events, ListEventsAdjustTheListAndTellTheSheets)
{
    Start();
    struct Case {
        int event;
        std::function<int()> count;
        std::vector<int> after;
    };
    const int group = 2;
    const std::vector<int> inserted = {ev::RowsAdded, ev::RefreshSheetTitles};
    const std::vector<int> deleted = {ev::RowsRemoved, ev::RefreshSheetTitles, ev::RepaintFromIndex};
    const Case cases[] = {
        {ev::InsertChannel, [] { return BankChannelCount(2); }, inserted},
        {ev::DeleteChannel, [] { return BankChannelCount(2); }, deleted},
        {ev::InsertRepeater, [] { return GroupItemCount(2, 22); }, inserted},
        {ev::DeleteRepeater, [] { return GroupItemCount(2, 22); }, deleted},
        {ev::InsertTone, [] { return CToneListCount(); }, inserted},
        {ev::DeleteTone, [] { return CToneListCount(); }, deleted},
        {ev::InsertDigitalNac, [] { return NacChListCount(); }, inserted},
        {ev::DeleteDigitalNac, [] { return NacChListCount(); }, deleted},
        {ev::InsertDigitalId, [] { return IndListCount(18); }, inserted},
        {ev::DeleteDigitalId, [] { return IndListCount(18); }, deleted},
        {ev::InsertDigitalTalkGroup, [] { return TgListCount(19); }, inserted},
        {ev::DeleteDigitalTalkGroup, [] { return TgListCount(19); }, deleted},
        {ev::InsertZephRepeater, [] { return GroupItemCount(2, 27); }, inserted},
        {ev::DeleteZephRepeater, [] { return GroupItemCount(2, 27); }, deleted},
        {ev::InsertZephId, [] { return IndListCount(28); }, inserted},
        {ev::DeleteZephId, [] { return IndListCount(28); }, deleted},
        {ev::InsertZephTalkGroup, [] { return TgListCount(29); }, inserted},
        {ev::DeleteZephTalkGroup, [] { return TgListCount(29); }, deleted},
        {ev::InsertMultisiteId, [] { return IndListCount(32); }, inserted},
        {ev::DeleteMultisiteId, [] { return IndListCount(32); }, deleted},
        {ev::InsertMultisiteTalkGroup, [] { return TgListCount(33); }, inserted},
        {ev::DeleteMultisiteTalkGroup, [] { return TgListCount(33); }, deleted},
        {ev::InsertMultisiteRepeater, [] { return GroupItemCount(2, 31); }, inserted},
        {ev::DeleteMultisiteRepeater, [] { return GroupItemCount(2, 31); }, deleted},
        {ev::InsertMultisiteSite, [] { return MultisiteSiteCount(); },
         {ev::SiteRowsAdded, ev::RefreshSheetTitles}},
        {ev::DeleteMultisiteSite, [] { return MultisiteSiteCount(); },
         {ev::SiteRowsRemoved, ev::RefreshSheetTitles, ev::RepaintFromIndex}},
    };
    // Room for one more and one less in every list.
    cmcEeprom& image = Main().CurrentImage();
    SetBankChannelCount(2, 4);
    SetGroupItemCount(2, 3, 22);
    SetGroupItemCount(2, 3, 27);
    SetGroupItemCount(2, 3, 31);
    for (int kind : {18, 28, 32}) WriteIndListCount(image, 3, kind);
    for (int kind : {19, 29, 33}) WriteTgListCount(image, 3, kind);
    WriteCToneListCount(image, 3);
    WriteNacChListCount(image, 3);
    for (int s = 0; s < 3; ++s) IncMultisiteSiteCount();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        const int before = c.count();
        EventLog log;
        g_EvMan->Send(c.event, group, 1);
        EXPECT_EQ(c.count(), before + (ev::IsListInsert(c.event) ? 1 : -1));
        std::vector<int> sent = log.Types();
        sent.erase(sent.begin()); // the list event itself
        EXPECT_EQ(sent, c.after);
        EXPECT_EQ(log.entries[1].p1, 1) << "one row";
        if (ev::IsListDelete(c.event)) {
            EXPECT_EQ(log.entries.back().p2, 1) << "repaint from the deleted row";
        }
    }
}

TEST_F(Events, ChannelInsertRenumbersReferencesAtAndAboveIt)
{
    Start();
    constexpr int DivertTargets = 302548; // 16 bits per channel
    cmcEeprom& image = Main().CurrentImage();
    SetBankChannelCount(5, 60);
    auto target = [&](int channel) { return (image.GetByte(DivertTargets + 2 * channel) << 8) | image.GetByte(DivertTargets + 2 * channel + 1); };
    auto setTarget = [&](int channel, int value) {
        image.SetByte(DivertTargets + 2 * channel, value >> 8);
        image.SetByte(DivertTargets + 2 * channel + 1, value & 0xFF);
    };
    setTarget(0, 39);
    setTarget(1, 40);
    setTarget(2, 45);
    g_EvMan->Send(ev::InsertChannel, 5, 40);
    EXPECT_EQ(BankChannelCount(5), 61);
    EXPECT_EQ(target(0), 39);
    EXPECT_EQ(target(1), 41);
    EXPECT_EQ(target(2), 46);
}

TEST_F(Events, NewMultisiteRepeaterIsCountedBeforeTheSiteMoves)
{
    Start();
    cmcEeprom& image = Main().CurrentImage();
    for (int s = 0; s < 3; ++s) IncMultisiteSiteCount();
    SetGroupItemCount(2, 3, 31);
    const int first = GroupFirstItem(2, 31);
    auto frequency = [&](int index) {
        datCh record(&image);
        return record.Unpack(31, index).RptRxFreq;
    };
    for (int i = 0; i < 3; ++i) {
        datCh record(&image);
        record.Unpack(31, first + i);
        record.RptRxFreq = 400000000 + 12500 * (i + 1);
        record.Commit();
    }
    // A new repeater at the site's second row: the third stays in the site.
    g_EvMan->Send(ev::InsertMultisiteRepeater, 2, first + 1);
    EXPECT_EQ(GroupItemCount(2, 31), 4);
    EXPECT_EQ(frequency(first), 400012500);
    EXPECT_EQ(frequency(first + 2), 400025000);
    EXPECT_EQ(frequency(first + 3), 400037500);
    // Deleting it again lowers the count after the repeaters moved back.
    g_EvMan->Send(ev::DeleteMultisiteRepeater, 2, first + 1);
    EXPECT_EQ(GroupItemCount(2, 31), 3);
    EXPECT_EQ(frequency(first + 2), 400037500);
}

TEST_F(Events, StatusTextIsDrawnCentredInItsColours)
{
    Start();
    g_EvMan->SendText(ev::StatusText, plat::clRed, plat::clYellow, "Copied 3 rows");
    EXPECT_EQ(Main().StatusText(), "Copied 3 rows");
    plat::RecordingCanvas canvas;
    canvas.GetFont().height = -10;
    const plat::Rect rect{0, 0, 200, 20};
    Main().OnDrawStatusPanel(*Main().StatusBar(), Main().StatusTextPanel(), rect, canvas);
    ASSERT_EQ(canvas.Calls().size(), 2u);
    EXPECT_EQ(canvas.Calls()[0].kind, plat::DrawCall::FillRect);
    EXPECT_EQ(canvas.Calls()[0].brush.color, plat::clYellow);
    const plat::DrawCall& text = canvas.Calls()[1];
    EXPECT_EQ(text.text, "Copied 3 rows");
    EXPECT_EQ(text.font.color, plat::clRed);
    EXPECT_EQ(text.brush.style, plat::bsClear);
    EXPECT_EQ(text.at.x, 0);
    EXPECT_EQ(text.at.y, 5) << "(20 - 10) / 2";
    EXPECT_EQ(text.rect, rect) << "clipped to the panel";

    // Another panel is not the status text's.
    canvas.Clear();
    Main().OnDrawStatusPanel(*Main().StatusBar(), 1, rect, canvas);
    EXPECT_TRUE(canvas.Calls().empty());
    // A status text event without a text clears it.
    g_EvMan->Send(ev::StatusText, plat::clWindowText, plat::clBtnFace);
    EXPECT_EQ(Main().StatusText(), "");
}

TEST_F(Events, TickReopensTheSelectedSheetAndRunsTheDeferredCheck)
{
    Start();
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Top");
    Main().CloseSheet();
    EXPECT_EQ(Main().CurrentSheet(), nullptr);
    Wait(cuiMain::TickMs);
    EXPECT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Top");

    // A check asked for every 100 ms runs 250 ms after the last request.
    EventLog log;
    auto refreshes = [&] {
        int n = 0;
        for (int t : log.Types()) n += t == ev::EepromDebugRefresh;
        return n;
    };
    for (int i = 0; i < 5; ++i) {
        Main().ScheduleCheck();
        Wait(100);
        EXPECT_EQ(refreshes(), 0) << i;
    }
    Wait(200);
    EXPECT_EQ(refreshes(), 1);
    EXPECT_FALSE(Main().CheckScheduled());
}

// A tree of the test's own (in front of the real language file), a check
// list and the bank branch.
std::vector<std::string> TreeAndChecks()
{
    return {
        "#GI_Tree_Main_BasicCell",
        "{(%CT_Null.)(ImageIndex=3)}",
        "#GI_Tree_Main_Body",
        "+{(%CallSheet:GI_Sheet_Top)(ImageIndex=0)}Radio",
        " +{(%CallSheet:GI_Sheet_A)}Scan",
        " +{(%CallSheet:GI_Sheet_B)}Folder",
        "  +{(%CallSheet:GI_Sheet_C)}Deep",
        " +{(%CallSheet:GI_Sheet_Memory_CH_Top)}Memory",
        " +{(%CallSheet:GI_Sheet_M)(Flag0=1)}Maker only",
        " +{(%CallSheet:GI_Sheet_L)(Flag1=1)}LMR only",
        " +{(%CallSheet:GI_Sheet_P)(Flag2=1)}PMR only",
        "+{(%CallSheet:GI_Sheet_E)}Second root",
        "#",
        "#GI_WarningCheckList",
        "{(%CT_Null.CL_Check_Scan_Setting:GI_Sheet_A)}",
        "{(%CT_Null.CL_Check_Msk_Config:gi_sheet_c)}",
        "{(%CT_Null.CL_Check_Dig_Nacch:GI_Sheet_E)}",
        "#",
        "#GI_Tree_Branch_Mch_BankOperation",
        "+{(%CT_Null.CallSheet:GI_Sheet_BankOpPmr)}Banks (PMR)",
        "+{(%CT_Null.CallSheet:GI_Sheet_BankOpLtr)}Banks (LMR)",
        "#GI_Tree_Branch_Mch_Bank",
        "+{(%%CT_Null.CallSheet:[St_ChBank]GI_Sheet_Mch_%s,Bank %d)}Bank",
        "#",
    };
}

class TreeMarks : public ProgramFixture {
protected:
    int Overlay(const std::string& caption)
    {
        plat::TreeView* view = Main().Tree()->View();
        for (int i = 0; i < view->Count(); ++i)
            if (view->Item(i)->Text() == caption) return view->Item(i)->OverlayIndex();
        ADD_FAILURE() << "no node " << caption;
        return -2;
    }
    plat::TreeNode* Node(const std::string& caption)
    {
        plat::TreeView* view = Main().Tree()->View();
        for (int i = 0; i < view->Count(); ++i)
            if (view->Item(i)->Text() == caption) return view->Item(i);
        return nullptr;
    }
    // The marks each check sets while the switch is on.
    bool failing = true;
    ScopedLabelBehaviour scan{CL_Check_Scan_Setting, [this](indCellCall& c) { c.Cap->ErrorMark = failing; }};
    ScopedLabelBehaviour msk{CL_Check_Msk_Config, [this](indCellCall& c) { c.Cap->WarningMark = failing; }};
    ScopedLabelBehaviour nac{CL_Check_Dig_Nacch, [this](indCellCall& c) {
                                 c.Cap->WarningMark = failing;
                                 c.Cap->ErrorMark = failing;
                             }};
    ScopedLabelBehaviour banks{CL_Check_Mch, [this](indCellCall& c) { c.Cap->WarningMark = failing && c.Cap->Bank == 5; }};
};

TEST_F(TreeMarks, CheckListMarksTheTreeAndCollapsedBranchesShowWhatTheyHide)
{
    Start(true, apptest::MakeProgramFolder(user, TreeAndChecks()));
    int errors = -1, warnings = -1;
    Main().UpdateCheckList(&errors, &warnings);
    // Both marks on one check count as an error.
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(warnings, 2);
    EXPECT_EQ(Overlay("Scan"), cuiTree::ErrorOverlay);
    EXPECT_EQ(Overlay("Deep"), cuiTree::WarningOverlay) << "letter case aside";
    EXPECT_EQ(Overlay("Folder"), cuiTree::WarningOverlay) << "collapsed: shows its child's mark";
    EXPECT_EQ(Overlay("Radio (LMR)"), cuiTree::NoOverlay) << "expanded";
    EXPECT_EQ(Overlay("Second root"), cuiTree::ErrorOverlay);
    // The bank checks mark the bank's node, and its collapsed parent.
    EXPECT_EQ(Main().CheckWarnings().back(), "[St_ChBank]GI_Sheet_Mch_Lmr,Bank 5");
    EXPECT_EQ(Main().Tree()->FindNode("[St_ChBank]GI_Sheet_Mch_Lmr,Bank 5")->OverlayIndex(), cuiTree::WarningOverlay);
    EXPECT_EQ(Main().Tree()->FindNode("[St_ChBank]GI_Sheet_Mch_Lmr,Bank 4")->OverlayIndex(), cuiTree::NoOverlay);
    EXPECT_EQ(Overlay("Memory"), cuiTree::WarningOverlay);

    // Expanding the branch runs the check again: the branch itself no
    // longer shows the mark.
    Node("Folder")->SetExpanded(true);
    EXPECT_EQ(Overlay("Folder"), cuiTree::NoOverlay);
    EXPECT_EQ(Overlay("Deep"), cuiTree::WarningOverlay);

    // Once the checks pass, every branch loses its marks (the second root too).
    failing = false;
    Main().ScheduleCheck();
    Wait(300);
    for (const char* caption : {"Scan", "Deep", "Folder", "Second root"}) EXPECT_EQ(Overlay(caption), cuiTree::NoOverlay) << caption;
}

TEST_F(TreeMarks, DataReplacedRebuildsTheBankBranchAndDropsNodesOfOtherModes)
{
    Start(true, apptest::MakeProgramFolder(user, TreeAndChecks()));
    std::vector<std::string> captions = TreeCaptions();
    // No maker mode: the maker's node goes; LMR: the PMR-only node goes.
    EXPECT_EQ(std::count(captions.begin(), captions.end(), "  Maker only"), 0);
    EXPECT_EQ(std::count(captions.begin(), captions.end(), "  PMR only"), 0);
    EXPECT_EQ(std::count(captions.begin(), captions.end(), "  LMR only"), 1);
    // The memory node holds the bank operation node and the 128 banks.
    plat::TreeNode* memory = Main().Tree()->FindNode("GI_Sheet_Memory_CH_Top");
    ASSERT_NE(memory, nullptr);
    ASSERT_EQ(memory->Count(), 129);
    EXPECT_EQ(memory->Item(0)->Text(), "Banks (LMR)");
    EXPECT_EQ(*cuiTree::CellOf(memory->Item(6))->Argument, "[St_ChBank]GI_Sheet_Mch_Lmr,Bank 5");

    // The other model type builds the tree again with the other nodes.
    Main().ChangeModelType(indMain::ModelTypePmr, false);
    captions = TreeCaptions();
    EXPECT_EQ(captions.front(), "Radio (PMR)");
    EXPECT_EQ(std::count(captions.begin(), captions.end(), "  LMR only"), 0);
    EXPECT_EQ(std::count(captions.begin(), captions.end(), "  PMR only"), 1);
    memory = Main().Tree()->FindNode("GI_Sheet_Memory_CH_Top");
    EXPECT_EQ(memory->Item(0)->Text(), "Banks (PMR)");
    EXPECT_EQ(*cuiTree::CellOf(memory->Item(6))->Argument, "[St_ChBank]GI_Sheet_Mch_Pmr,Bank 5");
}

// A check marks only nodes the model type's tree has: with every cell that
// a check evaluates marked, each node the checks mark is one of the tree.
TEST_F(Events, ChecksMarkOnlyNodesOfTheModelTypesTree)
{
    auto lower = [](std::string text) {
        for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    for (int model : {indMain::ModelTypeLmr, indMain::ModelTypePmr}) {
        SCOPED_TRACE(model == indMain::ModelTypeLmr ? "LMR" : "PMR");
        StartModel(model, false, false);
        std::set<std::string> nodes;
        plat::TreeView* view = Main().Tree()->View();
        for (int i = 0; i < view->Count(); ++i)
            if (const cmcCellObj* cell = cuiTree::CellOf(view->Item(i)); cell != nullptr && cell->Argument)
                nodes.insert(lower(*cell->Argument));
        std::vector<std::unique_ptr<ScopedLabelBehaviour>> marked;
        for (int label = 0; label < CL_NoLabel; ++label)
            if (!CellLabelName(label).empty() && !CellLabelName(label).starts_with("CL_Check_"))
                marked.push_back(std::make_unique<ScopedLabelBehaviour>(label, [](indCellCall& c) {
                    c.Cap->ErrorMark = true;
                    c.Cap->WarningMark = true;
                }));
        int errors = 0, warnings = 0;
        Main().UpdateCheckList(&errors, &warnings);
        marked.clear();
        EXPECT_GT(errors, 0);
        for (const std::vector<std::string>* list : {&Main().CheckErrors(), &Main().CheckWarnings()})
            for (const std::string& node : *list) EXPECT_TRUE(nodes.count(lower(node))) << "not in the tree: " << node;
    }
}

TEST_F(TreeMarks, SelectionOfADeletedNodeMovesToTheNodeAfterIt)
{
    Start(true, apptest::MakeProgramFolder(user, TreeAndChecks()));
    // The maker's node exists only while the tree is built; event 25 takes
    // it away while it is selected.
    plat::TreeView* view = Main().Tree()->View();
    Main().Tree()->AddNode(view->Item(0), "+{(%CallSheet:GI_Sheet_Q)(Flag0=1)}Flagged");
    Main().Tree()->AddNode(view->Item(0), "+{(%CallSheet:GI_Sheet_Top)}After it");
    view->SetSelected(Node("Flagged"));
    const int place = Node("Flagged")->AbsoluteIndex();
    g_EvMan->Send(ev::DataReplaced, 0, 0);
    EXPECT_EQ(Node("Flagged"), nullptr);
    ASSERT_NE(view->Selected(), nullptr);
    EXPECT_GE(view->Selected()->AbsoluteIndex(), place) << "a node that came after it";
}

TEST_F(Events, LanguageReloadTakesTheNewTextsButKeepsTheToolBar)
{
    const std::string folder = apptest::MakeProgramFolder(user, {}, {"English\tQM7148HE.OVL", "Test\tQM7148HT.OVL"});
    qmtest::WriteFile(folder + "QM7148HT.OVL", "#GI_Sys_AppTitle\nTest Title\n#GI_Menu_Main_BasicCell\n{(%CT_Null.)}\n"
                                               "#GI_Menu_Main_Body\n+&Datei\n +{(%CL_Menu_File_Exit)}&Ende\n#\n" +
                                                   qmtest::ReadFile(folder + "QM7148HE.OVL"));
    Start(true, folder);
    const std::string hint = Main().ToolBar()->Bar()->Buttons(0)->Hint();
    Environ().Language = 1;
    Main().ReloadLanguage();
    EXPECT_EQ(Form().Caption(), "Untitled - Test Title");
    ASSERT_EQ(Main().Menu()->Root()->Count(), 1);
    EXPECT_EQ(Main().Menu()->Root()->Items(0)->Caption(), "&Datei");
    EXPECT_EQ(Main().ToolBar()->Bar()->Buttons(0)->Hint(), hint);
    EXPECT_EQ(Main().CurrentSheet(), nullptr) << "closed: the tick builds it again";
    Wait(cuiMain::TickMs);
    EXPECT_EQ(TreeCaptions(), ProgramTreeCaptions(indMain::ModelTypeLmr)) << "the tree is built again";
    EXPECT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Top");
}

TEST_F(Events, DebugCompareListsTheChangedBytesSinceTheLastCompare)
{
    Start();
    g_EvMan->Send(ev::ImageSnapshot, 0, 0);
    Main().CurrentImage().SetByte(0x2B100, 0x5A);
    const std::vector<std::string> lines = Main().DebugCompareLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "0002B100 : 00 -> 5A");
    std::vector<std::string> shown;
    dialogs.Drive([&](plat::Form& window) {
        EXPECT_EQ(window.Caption(), "Debug compare");
        for (int i = 0; i < window.ControlCount(); ++i)
            if (auto* memo = dynamic_cast<plat::Memo*>(window.Controls(i)))
                for (int l = 0; l < memo->LineCount(); ++l) shown.push_back(memo->Line(l));
        window.Close();
    });
    g_EvMan->Send(ev::DebugCompareWindow, 0, 0);
    EXPECT_EQ(shown, lines);
    EXPECT_TRUE(Main().DebugCompareLines().empty()) << "nothing changed since";
    Main().CurrentImage().SetByte(0x2B101, 1);
    g_EvMan->Send(ev::ImageSnapshot, 0, 0);
    EXPECT_TRUE(Main().DebugCompareLines().empty());
}

} // namespace
