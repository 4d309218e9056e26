// The signalling pages in the running program: picked in the tree, edited
// as a person would, saved to a clone file and opened again.
#include "tests/app/AppFixture.h"

#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/cmcCellCapsule.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indMain.h"
#include "ui/cuiMain.h"
#include "platform/ui/Keys.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <filesystem>
#include <vector>

namespace {

class SignallingPages : public apptest::ProgramFixture {
protected:
    int row0 = 0;  // numbers the pictures
    void RunCheck()
    {
        Main().ScheduleCheck();
        Wait(cuiMain::CheckDelayMs + 2 * cuiMain::TickMs);
    }
    // Hands the cell a text as the text editor window does when it closes
    // with OK.
    void EditedText(int label, int index, const std::string& text)
    {
        int col = 0, row = 0;
        ASSERT_TRUE(FindCell(label, index, col, row));
        cmcCellCapsule capsule;
        Sheet().FillCapsule(col, row, capsule);
        capsule.Phase = cpEditText;
        capsule.EditText = text;
        indActiveCell().Exec(&capsule, 1);
        Wait();
    }
    // Clicks the cell and types the text into it, as a person would.
    void TypeIntoCell(int label, int index, const std::string& text)
    {
        int col = 0, row = 0;
        ASSERT_TRUE(FindCell(label, index, col, row)) << label << "[" << index << "]";
        TypeInto(col, row, text);
    }
};

TEST_F(SignallingPages, AnMdcStatusTextAndATwoToneCodeAreSavedAndOpenedAgain)
{
    Start();
    Form().SetClientSize(1200, 760);
    constexpr int kStatus = 16 + 2;  // status 3 of the second block
    constexpr int kCode = 4;

    OpenCaption("MDC Status");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_MdcStatus");
    const std::string statusBefore = LabelText(CL_Mdc_Status_Text, kStatus);
    EditedText(CL_Mdc_Status_Text, kStatus, "ON SCENE");
    EXPECT_EQ(LabelText(CL_Mdc_Status_Text, kStatus), "ON SCENE");

    OpenCaption("2-Tone Codes");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_2Tone");
    const std::string codeBefore = LabelText(CL_2T_RxFreq_1st, kCode);
    TypeIntoCell(CL_2T_RxFreq_1st, kCode, "1234.56");
    EXPECT_EQ(LabelText(CL_2T_RxFreq_1st, kCode), "1234.6");
    EXPECT_TRUE(Main().IsModified());

    const std::string docs = user.Documents();
    dialogs.AnswerFile(docs + "signalling");
    Choose(MenuItem(CL_Menu_File_Save));
    ASSERT_TRUE(std::filesystem::exists(docs + "signalling.icf"));
    EXPECT_FALSE(Main().IsModified());

    // A new document forgets both; opening the file brings them back.
    Choose(MenuItem(CL_Menu_File_New));
    OpenCaption("2-Tone Codes");
    EXPECT_EQ(LabelText(CL_2T_RxFreq_1st, kCode), codeBefore);
    dialogs.AnswerFile(docs + "signalling.icf");
    Choose(MenuItem(CL_Menu_File_Open));
    OpenCaption("2-Tone Codes");
    EXPECT_EQ(LabelText(CL_2T_RxFreq_1st, kCode), "1234.6");
    OpenCaption("MDC Status");
    EXPECT_NE(statusBefore, "ON SCENE");
    EXPECT_EQ(LabelText(CL_Mdc_Status_Text, kStatus), "ON SCENE");
    EXPECT_TRUE(BoxTexts().empty());
}

// The 5-tone codes and the user tones of a PMR radio, the first entries
// included, come back from a saved file as they were changed.
TEST_F(SignallingPages, FiveToneCodesAndUserTonesOfAPmrRadioAreSavedAndOpenedAgain)
{
    StartModel(indMain::ModelTypePmr, false, false);
    Form().SetClientSize(1400, 700);
    struct Edit {
        const char* caption;
        int label, index;
        const char* typed;
    };
    const Edit edits[] = {
        {"5-Tone Decode", CL_5TRx_RxCode, 1, "12345"},
        {"5-Tone Encode", CL_5TTx_TxCode, 0, "54321"},
        {"User Tones", CL_UTone_TonePeriod, 0, " "},
    };
    std::vector<std::string> before, after;
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.caption);
        OpenCaption(e.caption);
        before.push_back(LabelText(e.label, e.index));
        int col = 0, row = 0;
        ASSERT_TRUE(FindCell(e.label, e.index, col, row));
        if (std::string(e.typed) == " ") {
            ClickCell(col, row);
            plat::SendKey(Form(), plat::VK_SPACE);
            Wait();
        } else {
            TypeInto(col, row, e.typed);
        }
        after.push_back(LabelText(e.label, e.index));
        EXPECT_NE(after.back(), before.back());
    }
    const std::string file = user.Documents() + "tones.icf";
    dialogs.AnswerFile(file);
    ASSERT_EQ(Main().FileSaveAs(), 0);
    ASSERT_EQ(Main().FileNew(), 0);
    ASSERT_EQ(Main().OpenFile(file), 0);
    for (size_t k = 0; k < std::size(edits); ++k) {
        SCOPED_TRACE(edits[k].caption);
        OpenCaption(edits[k].caption);
        EXPECT_EQ(LabelText(edits[k].label, edits[k].index), after[k]);
    }
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SignallingPages, TheMdcSystemsPageShowsTheSystemsAndTheirGeneralBlocks)
{
    Start();
    Form().SetClientSize(1400, 520);
    OpenCaption("MDC Systems");
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_MdcSystems");
    EXPECT_EQ(LabelText(CL_Mdc_System_List_Text, 4), "Sys 4");
    EXPECT_EQ(LabelText(CL_Mdc_General_Text, 0), "Gen 0");
    int col = 0, row = 0;
    EXPECT_TRUE(FindCell(CL_Mdc_General_Self_Id, 4, col, row));
    EXPECT_TRUE(FindCell(CL_Mdc_System_List_Message, 4, col, row));
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "app-mdc-systems.png").string()));
}

// The initial file as the signalling pages show it: every value a page
// shows is one its list offers, and every cell has a behaviour.
TEST_F(SignallingPages, EveryPageOfEitherModelShowsAValueInEveryCell)
{
    const std::vector<std::string> pages = {
        "DTMF Memories", "DTMF Decode", "Tone List", "2-Tone Codes", "5-Tone Decode", "5-Tone Encode", "User Tones",
        "MDC Systems", "MDC Calls", "MDC Emergency, Remote", "MDC Status", "MDC Messages", "MDC Aliases",
        "MSK Address Plan", "MSK Call List", "MSK Status Messages", "MSK Short Messages", "MSK Configuration",
        "Railroad Channel Plan"};
    for (int modelType : {indMain::ModelTypeLmr, indMain::ModelTypePmr}) {
        SCOPED_TRACE(modelType == indMain::ModelTypeLmr ? "LMR" : "PMR");
        StartModel(modelType, false, false);
        Form().SetClientSize(1400, 700);
        for (const std::string& page : pages) {
            // The MSK, 5-tone and user tone pages are a PMR radio's; the
            // 2-tone codes are an LMR radio's, kept in the same memory; a PMR
            // radio's memory keeps no DTMF decode entries and no railroad
            // channel templates.
            const bool pmrOnly = page.rfind("MSK", 0) == 0 || page.rfind("5-Tone", 0) == 0 || page == "User Tones";
            const bool lmrOnly = page == "2-Tone Codes" || page == "DTMF Decode" || page == "Railroad Channel Plan";
            if ((pmrOnly && modelType == indMain::ModelTypeLmr) || (lmrOnly && modelType == indMain::ModelTypePmr)) {
                EXPECT_EQ(CaptionNode(page), nullptr) << page;
                continue;
            }
            OpenCaption(page);
            int labelled = 0;
            for (int row = 0; row < Grid().RowCount(); ++row) {
                for (int col = 0; col < Grid().ColCount(); ++col) {
                    if (Sheet().CellAt(col, row).Label >= CL_NoLabel) continue;
                    ++labelled;
                    const std::string text = CellText(col, row);
                    EXPECT_EQ(text.find("error"), std::string::npos) << page << " " << col << "," << row;
                    EXPECT_EQ(text.find("*Yet*"), std::string::npos) << page << " " << col << "," << row;
                }
            }
            EXPECT_GT(labelled, 0) << page;
            ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / ("app-page-" + std::to_string(modelType) + "-" +
                                                                      page.substr(0, page.find(' ')) + "-" +
                                                                      std::to_string(row0++) + ".png"))
                                                  .string()));
        }
    }
}

// A bank's channel sheet has the MDC system column unless its type has no
// use for it (ZEPH and multisite banks).
TEST_F(SignallingPages, TheMdcSystemColumnOfTheBankSheetFollowsTheBankType)
{
    Start();
    Form().SetClientSize(1200, 500);
    plat::TreeView* view = Main().Tree()->View();
    for (bool zeph : {false, true}) {
        SCOPED_TRACE(zeph ? "ZEPH bank" : "conventional bank");
        SetZephBank(1, zeph);
        view->SetSelected(view->Item(3));
        Wait(400);
        view->SetSelected(view->Item(4));  // bank 2
        Wait(400);
        ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Mch_Lmr");
        int col = -1;
        const int row = Grid().RowCount() - 1;
        for (int c = 0; c < Grid().ColCount(); ++c)
            if (Sheet().CellAt(c, row).Label == CL_Mch_Mdc_System) col = c;
        ASSERT_GE(col, 0);
        EXPECT_EQ(Grid().ColWidths(col) == 0, zeph);
    }
}

TEST_F(SignallingPages, TheMdcChecksMarkTheirPagesInTheTreeUntilMended)
{
    Start();
    RunCheck();
    ASSERT_NE(CaptionNode("MDC Systems"), nullptr);
    // A new document starts with own IDs other than 0 and the first statuses
    // enabled: nothing to warn of.
    EXPECT_EQ(CaptionNode("MDC Systems")->OverlayIndex(), cuiTree::NoOverlay);
    EXPECT_EQ(CaptionNode("MDC Status")->OverlayIndex(), cuiTree::NoOverlay);
    cmcEeprom& image = Main().CurrentImage();
    auto setSystem = [&](int s, int ownIdLow, int statusFlags) {
        image.SetByte(235194 + 20 * s + 1, 0);
        image.SetByte(235194 + 20 * s + 2, ownIdLow);     // own ID
        image.SetByte(235754 + 208 * s + 192, statusFlags); // status 1: b4 enabled
    };
    setSystem(3, 0, 0);
    RunCheck();
    EXPECT_EQ(CaptionNode("MDC Systems")->OverlayIndex(), cuiTree::WarningOverlay);
    EXPECT_EQ(CaptionNode("MDC Status")->OverlayIndex(), cuiTree::WarningOverlay);
    EXPECT_EQ(CaptionNode("MDC Calls")->OverlayIndex(), cuiTree::NoOverlay);
    setSystem(3, 0x01, 0x10);
    RunCheck();
    EXPECT_EQ(CaptionNode("MDC Systems")->OverlayIndex(), cuiTree::NoOverlay);
    EXPECT_EQ(CaptionNode("MDC Status")->OverlayIndex(), cuiTree::NoOverlay);
}

TEST_F(SignallingPages, TheMskChecksMarkTheirPagesOfAPmrRadio)
{
    Start(false);
    Environ().ModelType = indMain::ModelTypePmr;
    form = std::make_unique<TForm1>();
    Wait();
    cmcEeprom& image = Main().CurrentImage();
    auto setU16 = [&](int at, int value) {
        image.SetByte(at, value >> 8);
        image.SetByte(at + 1, value & 0xFF);
    };
    // Own ID 100: the killer and the fixed base IDs lie below it, ID group 1
    // below it and the other groups from it.
    setU16(181580, 100);
    setU16(181584, 99);
    setU16(182052, 1);
    setU16(182054, 1);
    for (int g = 0; g < 8; ++g) {
        datCh group(&image);
        group.Unpack(14, g);
        group.MskAdr = g == 0 ? 0 : 100 + g;
        group.Pack(14, g);
    }
    RunCheck();
    ASSERT_NE(CaptionNode("MSK Address Plan"), nullptr);
    EXPECT_EQ(CaptionNode("MSK Address Plan")->OverlayIndex(), cuiTree::NoOverlay);
    EXPECT_EQ(CaptionNode("MSK Configuration")->OverlayIndex(), cuiTree::NoOverlay);

    setU16(181584, 100);   // the killer address among the group addresses
    setU16(182054, 100);   // the GPS base ID too
    RunCheck();
    EXPECT_EQ(CaptionNode("MSK Address Plan")->OverlayIndex(), cuiTree::ErrorOverlay);
    EXPECT_EQ(CaptionNode("MSK Configuration")->OverlayIndex(), cuiTree::ErrorOverlay);
    EXPECT_FALSE(Main().CheckErrors().empty());

    // An LMR radio has no MSK pages.
    form.reset();
    Environ().ModelType = indMain::ModelTypeLmr;
    form = std::make_unique<TForm1>();
    Wait();
    EXPECT_EQ(CaptionNode("MSK Address Plan"), nullptr);
    EXPECT_EQ(CaptionNode("MSK Configuration"), nullptr);
}

}  // namespace
