// Menus built from overlay descriptions: the item tree, refresh from the
// cell flags, clicks, mirrored pop-up items (events 10 and 11), shortcuts;
// and the splitting of sheet specs.
#include "cells/indActiveCell.h"
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menus.h"
#include "tests/support/TestSupport.h"
#include "ui/SplitSheetSpec.h"
#include "ui/cuiMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <any>
#include <string>
#include <vector>

namespace {

using plat::MenuItem;

// Caption of every item under item, sub-items in brackets: "A[B,C],D".
std::string Shape(const MenuItem& item)
{
    std::string text;
    for (int i = 0; i < item.Count(); ++i) {
        if (i > 0) text += ",";
        text += item.Items(i)->Caption();
        if (item.Items(i)->Count() > 0) text += "[" + Shape(*item.Items(i)) + "]";
    }
    return text;
}

// Answers event 12 with a cell of the given label when p1 is the owner.
struct CurrentCellAnswer {
    const void* owner = nullptr;
    int label = 0;
    std::vector<intptr_t> asked;
    void OnEvent(const dst_Event* event)
    {
        if (event->type != ev::QueryCurrentCell) return;
        asked.push_back(event->p1);
        if (event->p1 != reinterpret_cast<intptr_t>(owner)) return;
        cmcCellObj cell;
        cell.Label = label;
        g_EvMan->ReplyObject(cell);
    }
};

class Menu : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_GTex.FreeState();
        g_GTex.InitState();
    }
    void TearDown() override
    {
        g_GTex.FreeState();
        g_GTex.InitState();
    }
    static void UseOverlay(std::vector<std::string> lines)
    {
        lines.push_back("#End_Of_Ovl");
        ASSERT_EQ(g_GTex.OpenOverlayLines(std::move(lines)), 1);
    }

    qmtest::ManualTime time;
    cmcEvManHolder events;
    plat::Form form;
    plat::MainMenu* bar = new plat::MainMenu(form);
};

TEST_F(Menu, DepthMarksGiveTheItemTree)
{
    struct Case {
        std::vector<std::string> body;
        std::string shape;
    };
    const Case cases[] = {
        {{"+A", "  +B", "  +C", "+D"}, "A[B,C],D"},
        // Depths are relative: the depth-2 line ends the depth-4 run and opens
        // a second run under the same item.
        {{"+A", "    +B", "  +C"}, "A[B,C]"},
        {{"+A", " +B", "  +C", " +D", "+E"}, "A[B[C],D],E"},
        // Any characters count as depth marks; only the first '+' is one.
        {{"+A", "xx+B{(%CL_Null:Ctrl+C)}", "+C"}, "A[B],C"},
        // A line without '+' is an item with an empty cell, its length its depth.
        {{"+A", "", "+B"}, "A,,B"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        g_GTex.FreeState();
        g_GTex.InitState();
        std::vector<std::string> lines{"#M_BasicCell", "{(%CT_Null.CL_Null)}", "#M_Body"};
        lines.insert(lines.end(), c.body.begin(), c.body.end());
        lines.push_back("#");
        UseOverlay(lines);
        cuiMenu menu(&form, &bar->Items(), &g_GTex, "M");
        menu.Build();
        EXPECT_EQ(Shape(bar->Items()), c.shape);
        EXPECT_EQ(menu.CellCount(), static_cast<int>(c.body.size()));
    }
}

TEST_F(Menu, ItemsTakeCaptionShortcutImageAndCellFromTheirLine)
{
    UseOverlay({"#M_BasicCell", "{(%CT_Null.CL_Null)}", "#M_Body",
                "+{(%CL_Null)}&File",
                " +{(%CL_Menu_File_Open:Ctrl+O)(ImageIndex=1)}&Open...",
                " +-",
                " +{(%CL_Menu_File_Exit)}E&xit",
                "+{(%CL_Menu_Edit_Top)}&Edit",
                "#"});
    cuiMenu menu(&form, &bar->Items(), &g_GTex, "M");
    menu.Build();
    ASSERT_EQ(Shape(bar->Items()), "&File[&Open...,-,E&xit],&Edit");
    MenuItem* open = menu.FindItem(nullptr, CL_Menu_File_Open);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->Caption(), "&Open...");
    EXPECT_EQ(open->GetShortCut(), plat::scCtrl | 'O');
    EXPECT_EQ(open->ImageIndex(), 1);
    EXPECT_EQ(cuiMenu::CellOf(open)->Category, CT_Null); // inherited from the basic cell
    EXPECT_TRUE(bar->Items().Items(0)->Items(1)->IsSeparator());
    // Sub-items are owned by the item they lie under, top items by the root.
    EXPECT_EQ(open->Owner(), bar->Items().Items(0));
    EXPECT_EQ(bar->Items().Items(1)->Owner(), &bar->Items());
    EXPECT_EQ(menu.FindItem(nullptr, CL_Menu_Edit_Top), bar->Items().Items(1));
    EXPECT_EQ(menu.FindItem(nullptr, CL_Menu_Clone_Read), nullptr);
    EXPECT_EQ(menu.ContainsItem(nullptr, open), open);
    EXPECT_EQ(menu.ContainsItem(bar->Items().Items(1), open), nullptr);

    // Building again replaces the items and their cells.
    menu.Build();
    EXPECT_EQ(Shape(bar->Items()), "&File[&Open...,-,E&xit],&Edit");
    EXPECT_EQ(menu.CellCount(), 5);
}

TEST_F(Menu, RefreshRecomputesEveryItemFromTheCellFlags)
{
    UseOverlay({"#M_BasicCell", "{(%CT_Null.CL_Null)}", "#M_Body",
                "+{(%CL_Null)}&Port",
                " +{(%CL_Menu_Port_Com[0])}COM1",
                " +{(%CL_Menu_Port_Com[1])}COM2",
                " +{(%CL_Menu_File_Recent[0])}recent",
                " +{(%CL_Menu_File_Save)(Flag2=1)}Save",
                "#"});
    cuiMenu menu(&form, &bar->Items(), &g_GTex, "M");
    menu.Build();
    MenuItem* port = bar->Items().Items(0);
    MenuItem* com1 = port->Items(0);
    MenuItem* com2 = port->Items(1);
    MenuItem* recent = port->Items(2);
    MenuItem* save = port->Items(3);

    // The engine's answer: COM1 checked, COM2 hidden, the recent item with a
    // new caption and image, Save disabled. Flags the overlay set are cleared
    // before each run.
    bool first = true;
    std::vector<int> keys;
    indActiveCell::TestOverride engine([&](cmcCellCapsule* c, int notify) {
        EXPECT_EQ(notify, 0);
        EXPECT_EQ(c->Owner, &form);
        keys.push_back(c->Key);
        cmcCellObj* cell = c->Cell;
        EXPECT_FALSE(cell->GetFlag(2));
        if (!first) return erNothing;
        if (cell->Label == CL_Menu_Port_Com) cell->SetFlag(cell->Index == 0 ? 0 : 1, true);
        if (cell->Label == CL_Menu_File_Recent) {
            cell->SetText("&1 /tmp/a.icf");
            cell->SetFlag(3, true);
            cell->ImageIndex = 7;
        }
        if (cell->Label == CL_Menu_File_Save) cell->SetFlag(2, true);
        return erNothing;
    });
    g_EvMan->Send(ev::MenuRefresh, 0, 0);
    EXPECT_EQ(keys, (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_TRUE(com1->Checked());
    EXPECT_FALSE(com2->Visible());
    EXPECT_EQ(recent->Caption(), "&1 /tmp/a.icf");
    EXPECT_EQ(recent->ImageIndex(), 7);
    EXPECT_FALSE(save->Enabled());

    // A later refresh that sets nothing: enabled, visible and unchecked
    // again, while the caption stays.
    first = false;
    menu.Refresh(menu.Root());
    EXPECT_FALSE(com1->Checked());
    EXPECT_TRUE(com2->Visible());
    EXPECT_TRUE(save->Enabled());
    EXPECT_EQ(recent->Caption(), "&1 /tmp/a.icf");
}

TEST_F(Menu, ClickRunsTheCellWithEnterWithoutParentThenRefreshes)
{
    UseOverlay({"#M_BasicCell", "{(%CT_Null.CL_Null)}", "#M_Body",
                "+{(%CL_Menu_File_New)}&New", "+{(%CL_Menu_File_Exit)}E&xit", "#"});
    cuiMenu menu(&form, &bar->Items(), &g_GTex, "M");
    menu.Build();
    CurrentCellAnswer sheet;
    sheet.owner = nullptr; // would answer a query without owner
    sheet.label = CL_Mch_FreqR;
    cmcEvSubscription subscription(MemberEventHandler<&CurrentCellAnswer::OnEvent>(&sheet));

    std::vector<std::string> runs;
    indActiveCell::TestOverride engine([&](cmcCellCapsule* c, int notify) {
        runs.push_back(std::to_string(c->Cell->Label) + "/" + std::to_string(c->Key) + "/" +
                       std::to_string(notify) + (c->Parent != nullptr ? "/p" + std::to_string(c->Parent->Cell->Label) : ""));
        return erNothing;
    });
    MenuItem* exitItem = bar->Items().Items(1);
    exitItem->Click();
    const std::string parent = "/p" + std::to_string(CL_Mch_FreqR);
    // The click asks event 12 with p1 = 0; the refresh asks with the owning component.
    EXPECT_EQ(runs, (std::vector<std::string>{"33/13/0" + parent, "26/0/0", "33/0/0"}));
    const auto* menuBar = static_cast<const plat::Component*>(bar);
    EXPECT_EQ(sheet.asked, (std::vector<intptr_t>{0, reinterpret_cast<intptr_t>(menuBar),
                                                   reinterpret_cast<intptr_t>(&bar->Items())}));

    // An item of another tree is not this menu's business.
    runs.clear();
    MenuItem stray;
    stray.SetTag(cuiMenu::CellOf(exitItem));
    menu.OnItemClick(stray);
    EXPECT_TRUE(runs.empty());
}

TEST_F(Menu, MirroredItemsComeAndGoWithThePopupMenuThatOwnsThem)
{
    UseOverlay({"#M_BasicCell", "{(%CT_Null.CL_Null)}", "#M_Body",
                "+{(%CL_Null)}&File", "+{(%CL_Menu_Edit_Top)}&Edit", "#",
                "#P_BasicCell", "{(%CT_PopupMenu.CL_Null)}", "#P_Body",
                "+{(%CL_PMenu_Edit:Enter)}&Edit...", "+{(%CL_PMenu_Copy:Ctrl+C)}&Copy", "#"});
    cuiMenu mainMenu(&form, &bar->Items(), &g_GTex, "M");
    mainMenu.Build();

    auto* popup = new plat::PopupMenu(&form);
    std::vector<std::string> clicks;
    cuiMenu popupMenu(&form, &popup->Items(), &g_GTex, "P", [&](MenuItem& sender) {
        clicks.push_back(std::to_string(cuiMenu::CellOf(&sender)->Label));
    });
    popupMenu.Build();
    EXPECT_EQ(Shape(popup->Items()), "&Edit...,&Copy");

    // Event 11 for a label no item carries adds nothing; for the Edit item
    // the pop-up's items are mirrored, owned by the pop-up's root and
    // clicked through the pop-up's handler.
    g_EvMan->SendText(ev::MenuRebuildSubItems, reinterpret_cast<intptr_t>(&popupMenu), CL_Menu_Clone_Read, "P");
    EXPECT_EQ(Shape(bar->Items()), "&File,&Edit");
    g_EvMan->SendText(ev::MenuRebuildSubItems, reinterpret_cast<intptr_t>(&popupMenu), CL_Menu_Edit_Top, "P");
    ASSERT_EQ(Shape(bar->Items()), "&File,&Edit[&Edit...,&Copy]");
    MenuItem* mirrored = bar->Items().Items(1)->Items(1);
    EXPECT_EQ(mirrored->Owner(), &popup->Items());
    mirrored->Click();
    EXPECT_EQ(clicks, std::vector<std::string>{std::to_string(CL_PMenu_Copy)});
    EXPECT_EQ(cuiMenu::CellOf(mirrored)->Category, CT_Null); // parsed on the main menu's basic cell

    // Refreshing a mirrored item asks its owner (the pop-up root) for the
    // current cell and gives it to the engine as parent.
    CurrentCellAnswer sheet;
    sheet.owner = &popup->Items();
    sheet.label = CL_Mch_FreqT;
    cmcEvSubscription subscription(MemberEventHandler<&CurrentCellAnswer::OnEvent>(&sheet));
    std::vector<int> parents;
    indActiveCell::TestOverride engine([&](cmcCellCapsule* c, int) {
        if (c->Cell->Category == CT_Null && (c->Cell->Label == CL_PMenu_Edit || c->Cell->Label == CL_PMenu_Copy))
            parents.push_back(c->Parent != nullptr ? c->Parent->Cell->Label : -1);
        return erNothing;
    });
    mainMenu.Refresh(mainMenu.Root());
    EXPECT_EQ(parents, (std::vector<int>{CL_Mch_FreqT, CL_Mch_FreqT}));

    // Event 10 drops them again, with their cells.
    g_EvMan->Send(ev::MenuDeleteSubItems, 0, CL_Menu_Edit_Top);
    EXPECT_EQ(Shape(bar->Items()), "&File,&Edit");
    EXPECT_EQ(mainMenu.CellCount(), 2);

    // Mirrored items vanish with the pop-up menu that owns them.
    g_EvMan->SendText(ev::MenuRebuildSubItems, reinterpret_cast<intptr_t>(&popupMenu), CL_Menu_Edit_Top, "P");
    EXPECT_EQ(bar->Items().Items(1)->Count(), 2);
    delete popup;
    EXPECT_EQ(Shape(bar->Items()), "&File,&Edit");
}

TEST_F(Menu, ShortcutsAreLiveOnlyInTheMainMenu)
{
    struct Case {
        const char* text;
        plat::ShortCut shortCut;
    };
    const Case cases[] = {
        {"Ctrl+C", plat::scCtrl | 'C'},
        {"ctrl+shift+del", plat::scCtrl | plat::scShift | plat::VK_DELETE},
        {"Enter", plat::VK_RETURN},
        {"Ins", plat::VK_INSERT},
        {"PgDn", plat::VK_NEXT},
        {"Alt+F12", plat::scAlt | plat::VK_F12},
        {"5", '5'},
        {"F13", 0},
        {"Hyper+C", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plat::TextToShortCut(c.text), c.shortCut) << c.text;
        if (c.shortCut != 0) {
            EXPECT_EQ(plat::TextToShortCut(plat::ShortCutToText(c.shortCut)), c.shortCut) << c.text;
        }
    }

    UseOverlay({"#M_BasicCell", "{(%CT_Null.CL_Null)}", "#M_Body",
                "+{(%CL_Null)}&Edit", " +{(%CL_PMenu_Copy:Ctrl+C)}&Copy", "#"});
    cuiMenu mainMenu(&form, &bar->Items(), &g_GTex, "M");
    mainMenu.Build();
    auto* popup = new plat::PopupMenu(&form);
    cuiMenu popupMenu(&form, &popup->Items(), &g_GTex, "M");
    popupMenu.Build();

    QAction* inBar = bar->Bar()->actions().at(0)->menu()->actions().at(0);
    EXPECT_EQ(inBar->shortcut(), QKeySequence(Qt::ControlModifier | Qt::Key_C));
    EXPECT_EQ(inBar->text().toStdString(), "&Copy\tCtrl+C"); // named as in the pop-up menu
    QAction* inPopup = popup->Menu()->actions().at(0)->menu()->actions().at(0);
    EXPECT_TRUE(inPopup->shortcut().isEmpty());
    EXPECT_EQ(inPopup->text().toStdString(), "&Copy\tCtrl+C");
}

TEST(SheetSpec, SplitsIntoClassKeyAndCode)
{
    struct Case {
        const char* spec;
        const char* cls;
        const char* key;
        const char* code;
    };
    const Case cases[] = {
        {"GI_Sheet_Common_Set", "", "GI_Sheet_Common_Set", ""},
        {"[St_ChBank]GI_Sheet_Mch_Lmr,Bank 12", "St_ChBank", "GI_Sheet_Mch_Lmr", "Bank 12"},
        {"GI_Sheet_RptSetWin,R 9,2", "", "GI_Sheet_RptSetWin", "R 9,2"},
        {"xx[St_Common]GI_Sheet_Key", "St_Common", "GI_Sheet_Key", ""},
        {"[St_Common GI_Sheet_Key,K", "", "[St_Common GI_Sheet_Key", "K"},
        {"GI_Sheet_Key,", "", "GI_Sheet_Key", ""},
        {"GI_Sheet_Key,a],[b", "", "GI_Sheet_Key", "a],[b"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const SheetSpecParts parts = SplitSheetSpec(c.spec);
        EXPECT_EQ(parts.Class, c.cls) << c.spec;
        EXPECT_EQ(parts.Key, c.key) << c.spec;
        EXPECT_EQ(parts.Code, c.code) << c.spec;
    }
}

} // namespace
