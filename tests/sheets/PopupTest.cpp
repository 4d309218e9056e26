// The pop-up holders: the pick list that a choice cell opens under itself
// (placed in the work area, picked with Enter, closed by Esc, by leaving it,
// by the pop-ups' close event and with the sheet that opened it), the
// model's pick lists of radio data, and the information dialog.
#include "cells/RadioHandlers.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/iuiSh_ChBank.h"
#include "model/iuiSh_Mch.h"
#include "model/indFlector.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keys.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/sheets/SheetWorld.h"
#include "ui/cuiFlector.h"
#include "ui/cuiGrid.h"
#include "ui/cuiInformation.h"
#include "ui/cuiReadWritePasswordDialog.h"

#include <gtest/gtest.h>

using namespace sheets;
using celltest::TestImage;

namespace {

constexpr int HeaderRows = 5;

// A bank of two channels, the cursor on the channel width of the first.
struct PickWorld {
    PickWorld()
    {
        w.Data().BankCounts({2}).Channel(0, 146000000).Channel(1, 146025000);
        w.Pack();
        iuiSh_ChBank& bank = w.OpenBank(0);
        w.Focus();
        bank.FocusCell(CT_Mch, CL_Mch_Nar, 0);
    }
    // Enter on the cell: its pick list opens.
    cuiFlector& Open()
    {
        plat::SendKey(w.form, plat::VK_RETURN);
        // The window system activates the new window.
        plat::ProcessMessages();
        cuiFlector* list = cuiFlector::Newest();
        EXPECT_NE(list, nullptr);
        return *list;
    }
    int Narrow() { return w.Data().Read(1, 0).ChFlagsB.Nar; }
    // The pick list is gone once the window system has delivered what
    // happened (an activation elsewhere) and then run the releases.
    bool Closed()
    {
        plat::ProcessMessages();
        plat::ProcessMessages();
        return cuiFlector::Newest() == nullptr;
    }
    SheetWorld w;
};

std::string Cursor(const cuiFlector& list)
{
    const cuiGrid& grid = *list.Sheet()->Grid();
    return std::to_string(grid.Col()) + "," + std::to_string(grid.Row());
}

} // namespace

TEST(PickList, OpensUnderItsCellAndCommitsThePickedEntry)
{
    PickWorld p;
    cuiFlector& list = p.Open();
    EXPECT_EQ(list.Key(), "GI_Sheet_Sel_Mch_Nar");
    plat::Form& window = *list.Window();
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(window.GetBorderStyle(), plat::bsNone);
    EXPECT_EQ(window.Caption(), plat::ApplicationTitle());
    // Right under the cell, a little in from its left edge, and just as
    // large as its two entries.
    const plat::Rect cell = p.w.Grid().GetCellRect(p.w.Grid().Col(), p.w.Grid().Row());
    const plat::Point at = p.w.Grid().ClientToScreen({cell.left, cell.bottom});
    EXPECT_EQ(window.Left(), at.x + 8);
    EXPECT_EQ(window.Top(), at.y);
    const cuiGrid& grid = *list.Sheet()->Grid();
    EXPECT_EQ(grid.ClientWidth(), grid.GridWidth());
    EXPECT_EQ(grid.ClientHeight(), grid.GridHeight());
    EXPECT_EQ(grid.ScrollBars(), plat::ssNone);
    // The cursor starts on the channel's value; Down and Enter pick the next.
    EXPECT_EQ(Cursor(list), "0,0");
    plat::SendKey(window, plat::VK_DOWN);
    EXPECT_EQ(Cursor(list), "0,1");
    plat::SendKey(window, plat::VK_RETURN);
    EXPECT_EQ(p.Narrow(), 1);
    EXPECT_EQ(p.w.Text(p.w.Grid().Col(), HeaderRows), "Narrow");
    EXPECT_TRUE(p.Closed());

    // The list opens on the value the channel has now; a double click picks.
    cuiFlector& again = p.Open();
    EXPECT_EQ(Cursor(again), "0,1");
    const plat::Rect wide = again.Sheet()->Grid()->GetCellRect(0, 0);
    plat::SendMouse(*again.Sheet()->Grid(), plat::MouseAction::Move, wide.left + 2, wide.top + 2);
    plat::SendMouse(*again.Sheet()->Grid(), plat::MouseAction::Move, wide.left + 3, wide.top + 3);
    plat::SendMouse(*again.Sheet()->Grid(), plat::MouseAction::Up, wide.left + 3, wide.top + 3);
    EXPECT_EQ(p.Narrow(), 0);
    EXPECT_TRUE(p.Closed());
}

TEST(PickList, EscLeavingTheListAndClosingItsSheetCloseItWithoutAChange)
{
    PickWorld p;
    // Esc, wherever the focus is on the list.
    plat::SendKey(*p.Open().Window(), plat::VK_ESCAPE);
    EXPECT_TRUE(p.Closed());

    // Another window becomes the active one.
    cuiFlector& list = p.Open();
    plat::SendKey(*list.Window(), plat::VK_DOWN);
    plat::Form other;
    other.Show();
    EXPECT_TRUE(p.Closed());

    // The pop-ups are told to close.
    p.Open();
    g_EvMan->Send(ev::ClosePopups, 0, 0);
    EXPECT_TRUE(p.Closed());

    // The sheet that opened the list goes, and the list with it; another
    // control's going leaves it open.
    p.Open();
    g_EvMan->Send(ev::ControlClosing, 0, reinterpret_cast<intptr_t>(&other));
    plat::ProcessMessages();
    EXPECT_NE(cuiFlector::Newest(), nullptr);
    p.w.CloseSheet();
    EXPECT_TRUE(p.Closed());
    EXPECT_EQ(p.Narrow(), 0);
}

TEST(PickList, PlacedWithinTheWorkArea)
{
    const plat::Rect work{0, 0, 1000, 700};
    const plat::Rect cell{300, 200, 380, 220};
    struct Case {
        const char* name;
        plat::Rect cell;
        int width;
        int height;
        plat::Point at;
    };
    const Case cases[] = {
        {"below the cell", cell, 100, 150, {308, 220}},
        {"above a cell near the bottom", {300, 600, 380, 620}, 100, 150, {308, 450}},
        {"too tall for above as well: on the bottom", {300, 300, 380, 320}, 100, 500, {308, 200}},
        {"at the right edge", {900, 200, 980, 220}, 150, 100, {850, 220}},
        {"low and at the right edge: left of the cell", {900, 300, 980, 320}, 150, 500, {750, 200}},
        {"low, at the right edge, no room left of the cell", {100, 300, 180, 320}, 950, 500, {50, 200}},
    };
    for (const Case& k : cases) {
        const plat::Point at = PopupPositionAtCell(k.cell, k.width, k.height, work);
        EXPECT_EQ(at.x, k.at.x) << k.name;
        EXPECT_EQ(at.y, k.at.y) << k.name;
    }
}

TEST(PickList, ListLargerThanTheWorkAreaScrollsAndNoLongerWrapsAround)
{
    // A desktop too low for the two entries of the channel width.
    PickWorld p;
    const plat::Rect small{0, 0, 640, 30};
    plat::ScopedWorkArea area(small);
    cuiFlector& list = p.Open();
    const cuiGrid& grid = *list.Sheet()->Grid();
    EXPECT_EQ(grid.ScrollBars(), plat::ssBoth);
    EXPECT_LE(list.Window()->Height(), small.Height());
    EXPECT_LT(grid.ClientHeight(), grid.GridHeight());
    // Up on the first entry stays there.
    const std::string first = Cursor(list);
    plat::SendKey(*list.Window(), plat::VK_UP);
    EXPECT_EQ(Cursor(list), first);
    plat::SendKey(*list.Window(), plat::VK_ESCAPE);
    EXPECT_TRUE(p.Closed());
}

TEST(PickList, ModelListsComeFromTheRadioData)
{
    SheetWorld w;
    w.Data().BankCounts({2, 3}).Channel(2, 150000000).Channel(3, 151000000).Channel(4, 152000000);
    w.Pack();
    w.OpenBank(1);
    w.Focus();
    // The channels of the bank picked last, the cursor on the third.
    g_PickerBank = 1;
    cmcCellCapsule origin;
    w.sheet->FillCapsule(w.Grid().Col(), w.Grid().Row(), origin);
    new indFlector(origin, FlexCHSel, 2, &g_GTex, "GI_Sheet_Sel_ScanCHSel", "C");
    cuiFlector* list = cuiFlector::Newest();
    ASSERT_NE(list, nullptr);
    auto* sheet = dynamic_cast<iuiSh_Mch*>(list->Sheet());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Letter(), 'C');
    EXPECT_EQ(list->Sheet()->Grid()->RowCount(), 4);
    EXPECT_EQ(Cursor(*list), "0,3");
    // A pick closes the list also before the window system made it the
    // active window.
    plat::SendKey(*list->Window(), plat::VK_RETURN);
    EXPECT_FALSE(list->Window()->Visible());
    plat::ProcessMessages();
    EXPECT_EQ(cuiFlector::Newest(), nullptr);
    g_PickerBank = 0;
}

TEST(InformationDialog, ShowsItsSheetWithAnOkButtonWhileItsOwnerWaits)
{
    // The radio information sheet of the program.
    SheetWorld w;
    w.form.Show();
    std::vector<intptr_t> closing;
    cmcEvSubscription watch(EventHandler{
        [](void* user, const dst_Event* e) {
            if (e->type == ev::ControlClosing) static_cast<std::vector<intptr_t>*>(user)->push_back(e->p2);
        },
        &closing});

    auto* info = new cuiInformation(&w.form, "Radio Programmer", &g_GTex, "GI_Sheet_CloneInfo", &w.images);
    plat::Form& dialog = *info->Window();
    const intptr_t grid = reinterpret_cast<intptr_t>(info->Sheet()->Grid());
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(dialog.Caption(), "Radio Programmer");
    EXPECT_FALSE(w.form.Enabled());
    EXPECT_EQ(info->OkButton()->Caption(), "OK");
    EXPECT_TRUE(info->OkButton()->Focused());
    // Every cell in view, the button below them at the right.
    const cuiGrid& sheetGrid = *info->Sheet()->Grid();
    EXPECT_EQ(sheetGrid.ClientWidth(), sheetGrid.GridWidth());
    EXPECT_EQ(sheetGrid.ClientHeight(), sheetGrid.GridHeight());
    EXPECT_EQ(dialog.ClientWidth() - info->OkButton()->Left() - info->OkButton()->Width(), 5);
    EXPECT_EQ(dialog.ClientHeight() - info->OkButton()->Top() - info->OkButton()->Height(), 5);
    ASSERT_TRUE(plat::SavePng(dialog, (qmtest::OutputDir() / "information-dialog.png").string()));

    // Esc closes it; the owner can be used again.
    plat::SendKey(dialog, plat::VK_ESCAPE);
    plat::ProcessMessages();
    EXPECT_TRUE(w.form.Enabled());
    EXPECT_EQ(closing, std::vector<intptr_t>{grid});

    // So does its button.
    info = new cuiInformation(&w.form, "Radio Programmer", &g_GTex, "GI_Sheet_CloneInfo", &w.images);
    EXPECT_FALSE(w.form.Enabled());
    info->OkButton()->Click();
    plat::ProcessMessages();
    EXPECT_TRUE(w.form.Enabled());
    EXPECT_EQ(closing.size(), 2u);
}

TEST(PickList, TheLanguageCellOffersTheLanguagesOfTheSystemTable)
{
    g_GTexSys.FreeState();
    g_GTexSys.InitState();
    g_GTexSys.OpenOverlayLines({"#GI_Sys_Language", "English\tQM7148HE.OVL", "Deutsch\tQM7148HG.OVL",
                                "Francais\tQM7148HF.OVL", "#End_Of_Ovl"});
    SheetWorld w(0, {"#L_Style", "", "#L_BasicCell", "{<-(%CT_Null.)}", "#L_Cells", "{WHS(%CL_Langage_Select)}"});
    w.Open<cuiSheet>("L", "");
    w.Focus();
    EXPECT_EQ(w.Text(0, 0), "English");
    plat::SendKey(w.form, plat::VK_RETURN);
    plat::ProcessMessages();
    cuiFlector* list = cuiFlector::Newest();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Sheet()->Grid()->RowCount(), 4);  // a header and the three languages
    plat::SendKey(*list->Window(), plat::VK_DOWN);
    plat::SendKey(*list->Window(), plat::VK_RETURN);
    EXPECT_EQ(w.world.Environ().Language, 1);
    EXPECT_EQ(w.Text(0, 0), "Deutsch");
    w.CloseSheet();
    plat::ProcessMessages();
    g_GTexSys.FreeState();
    g_GTexSys.InitState();
}

TEST(CellWindows, InstalledForTheirLifetimeAndAskThePasswordThroughTheMainObjectsDialog)
{
    SheetWorld w;
    indCellPopups* before = CellPopups();
    {
        indPopupWindows windows;
        EXPECT_EQ(CellPopups(), &windows);
        plat::ScopedDialogScript dialogs;
        dialogs.Drive([](plat::Form& form) {
            auto& dialog = dynamic_cast<cuiReadWritePasswordDialog&>(form);
            EXPECT_EQ(dialog.PasswordEdit->Text(), "old");
            dialog.PasswordEdit->SetText("secret");
            dialog.ConfirmEdit->SetText("secret");
            dialog.OkButton->Click();
        });
        std::array<uint8_t, 16> password{};
        password.fill(0xFF);
        ASSERT_TRUE(windows.AskReadWritePassword("old", password));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(password.data()), 7), std::string("secret\0", 7));
        EXPECT_EQ(password[15], 0);

        dialogs.Drive([](plat::Form& form) { dynamic_cast<cuiReadWritePasswordDialog&>(form).CancelButton->Click(); });
        EXPECT_FALSE(windows.AskReadWritePassword("old", password));
    }
    EXPECT_EQ(CellPopups(), before);
}
