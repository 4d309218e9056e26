// The model's application object: the image header and model code checks,
// the typed access words and the command-line switch of the maker and
// customer modes, the status panels and the change of model type.
#include "tests/app/AppFixture.h"

#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/cmcCellCapsule.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TreeView.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiTree.h"

#include <cstring>

namespace {

using apptest::ProgramFixture;

class ModelMain : public ProgramFixture {
protected:
    std::string Text(const char* key) { return g_GTex.GetMultiLineText(key); }
    int Asked(const char* key)
    {
        int n = 0;
        for (const plat::MessageBoxRecord& box : dialogs.Boxes()) n += box.text == Text(key);
        return n;
    }
};

TEST_F(ModelMain, ImageHeaderCheck)
{
    Start(false);
    form = std::make_unique<TForm1>();
    const cmcEeprom good(Main().CurrentImage()); // the initial image, packed
    auto check = [&](const std::function<void(cmcEeprom&)>& change, bool markers) {
        cmcEeprom image(good);
        change(image);
        return Main().CheckImageHeader(image, markers);
    };
    auto set16 = [](cmcEeprom& i, int at, int v) {
        i.SetByte(at, v >> 8);
        i.SetByte(at + 1, v & 0xFF);
    };
    struct Case {
        const char* what;
        std::function<void(cmcEeprom&)> change;
        int plain;   // without the marker tests
        int markers; // with them
    };
    const Case cases[] = {
        {"as packed", [](cmcEeprom&) {}, 0, 0},
        {"other model mark", [](cmcEeprom& i) { i.SetByte(1, 0x44); }, 1, 1},
        {"format 0", [](cmcEeprom& i) { i.SetByte(EepromMap::FormatByte, 0); }, 1, 1},
        {"format 2", [](cmcEeprom& i) { i.SetByte(EepromMap::FormatByte, 2); }, 0, 0},
        {"data format 2", [](cmcEeprom& i) { i.SetByte(EepromMap::DataFormat, 2); }, 1, 1},
        {"maker marker", [](cmcEeprom& i) { i.SetByte(EepromMap::MakerMarker, 'X'); }, 0, 1},
        {"model field 7148", [&](cmcEeprom& i) { set16(i, EepromMap::ModelCode, 0x7148); }, 0, 0},
        {"model field 7150", [&](cmcEeprom& i) { set16(i, EepromMap::ModelCode, 0x7150); }, 0, 1},
        {"no end", [&](cmcEeprom& i) {
             set16(i, EepromMap::End16, 0);
             set16(i, EepromMap::End32, 0);
             set16(i, EepromMap::End32 + 2, 0);
         }, 0, 1},
        {"end far outside", [&](cmcEeprom& i) {
             set16(i, EepromMap::End16, 0);
             set16(i, EepromMap::End32, 0x7FFF);
         }, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(check(c.change, false), c.plain) << c.what;
        EXPECT_EQ(check(c.change, true), c.markers) << c.what;
    }
    cmcEeprom tiny;
    tiny.Resize(100);
    EXPECT_EQ(Main().CheckImageHeader(tiny, false), 1);
}

TEST_F(ModelMain, ModelCodeCheckOfCloneFiles)
{
    Start(false);
    int error = 0;
    EXPECT_TRUE(Main().CheckModelCode(0x7143, 0, &error));
    EXPECT_FALSE(Main().IsVariant());
    EXPECT_TRUE(Main().CheckModelCode(0x7148, 256, &error));
    EXPECT_TRUE(Main().IsVariant()) << "the second model, before any radio was identified";
    EXPECT_FALSE(Main().CheckModelCode(0x7150, 0, &error));
    EXPECT_EQ(error, kIcfModel);
    EXPECT_FALSE(Main().CheckModelCode(0x7143, 1, &error));
    EXPECT_EQ(error, kIcfExtra);
    // After an identification the radio decides the variant.
    const uint8_t payload[1] = {1};
    Main().SetIdentity(0x7143, 0, payload, 1);
    EXPECT_TRUE(Main().CheckModelCode(0x7143, 0, &error));
    EXPECT_TRUE(Main().CheckModelCode(0x7148, 0, &error));
    EXPECT_TRUE(Main().IsVariant());
}

TEST(GetArrayBit, CountsFromTheTopBitOfTheFirstByte)
{
    const uint8_t bytes[2] = {0x80, 0x40};
    struct Case {
        int n;
        int bit;
    };
    for (const Case c : {Case{0, 1}, Case{1, 0}, Case{9, 1}, Case{8, 0}, Case{15, 0}, Case{16, 0}, Case{-1, 0}})
        EXPECT_EQ(GetArrayBit(bytes, 2, c.n), c.bit) << c.n;
}

TEST_F(ModelMain, TypedMakerWordAsksTheCautionAndAddsTheMakerPanel)
{
    Start();
    dialogs.Answer(plat::IDOK);
    // The repeated first letter starts the match again.
    plat::TypeText(Form(), "marMARLOCK");
    EXPECT_EQ(Asked("GI_Mess_Maker_Caution"), 1);
    EXPECT_EQ(Main().MakerMode(), 1);
    plat::StatusBar* bar = Main().StatusBar();
    ASSERT_EQ(bar->PanelCount(), 3);
    EXPECT_EQ(Main().MakerPanel(), 1) << "before the last panel";
    EXPECT_EQ(bar->Panel(1).style, plat::psOwnerDraw);
    EXPECT_EQ(Main().MakerPanelText(), g_GTex.GetText("GI_StatusPanel_Maker", 0));
    EXPECT_EQ(bar->Panel(2).width, bar->Height()) << "the square panel moved right";
    EXPECT_EQ(bar->Panel(0).width, std::max(indMain::MinStatusTextWidth, bar->Width() - bar->Panel(1).width - bar->Panel(2).width));

    // Drawn white on maroon, in the middle.
    plat::RecordingCanvas canvas;
    canvas.GetFont().height = -10;
    Main().OnDrawStatusPanel(*bar, 1, {100, 0, 200, 20}, canvas);
    ASSERT_EQ(canvas.Calls().size(), 2u);
    EXPECT_EQ(canvas.Calls()[0].brush.color, plat::RGB(128, 0, 0));
    EXPECT_EQ(canvas.Calls()[1].font.color, plat::clWhite);
    const int width = canvas.TextWidth(Main().MakerPanelText());
    EXPECT_EQ(canvas.Calls()[1].at.x, 100 + (100 - width) / 2);
    EXPECT_EQ(canvas.Calls()[1].at.y, 5);

    // Once on, the word is no longer watched.
    plat::TypeText(Form(), "marlock");
    EXPECT_EQ(Asked("GI_Mess_Maker_Caution"), 1);
    Wait();
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "app-maker-mode.png").string()));
}

TEST_F(ModelMain, TheFactorySettingsPageIsThereOnlyInTheMakerMode)
{
    Start();
    auto factoryNode = [&]() -> plat::TreeNode* {
        plat::TreeView* view = Main().Tree()->View();
        for (int i = 0; i < view->Count(); ++i)
            if (view->Item(i)->Text() == "Factory Settings") return view->Item(i);
        return nullptr;
    };
    EXPECT_EQ(factoryNode(), nullptr);
    dialogs.Answer(plat::IDOK);
    plat::TypeText(Form(), "marlock");
    Wait();
    plat::TreeNode* node = factoryNode();
    ASSERT_NE(node, nullptr);
    Main().Tree()->View()->SetSelected(node);
    Wait(400);
    ASSERT_EQ(Main().CurrentSheetKey(), "GI_Sheet_Maker");
    cuiSheet& sheet = *Main().CurrentSheet();
    EXPECT_GT(sheet.Grid()->RowCount(), 40);
    // The squelch levels show the header bytes of the document.
    int level = -1;
    for (int row = 0; row < sheet.Grid()->RowCount() && level < 0; ++row)
        if (sheet.CellAt(1, row).Label == CL_Maker_Sql_Level_A) level = row;
    ASSERT_GE(level, 0);
    cmcCellCapsule capsule;
    sheet.FillCapsule(1, level, capsule);
    indActiveCell().Exec(&capsule, 0);
    EXPECT_EQ(capsule.Text, std::to_string(Main().CurrentImage().GetByte(73)));
    ASSERT_TRUE(plat::SavePng(Form(), (qmtest::OutputDir() / "app-factory-settings.png").string()));
}

TEST_F(ModelMain, RefusedCautionStartsTheWordAgain)
{
    Start();
    dialogs.Answer(plat::IDCANCEL);
    plat::TypeText(Form(), "marlock");
    EXPECT_EQ(Main().MakerMode(), 0);
    EXPECT_EQ(Main().StatusBar()->PanelCount(), 2);
    dialogs.Answer(plat::IDOK);
    plat::TypeText(Form(), "marlock");
    EXPECT_EQ(Asked("GI_Mess_Maker_Caution"), 2);
    EXPECT_EQ(Main().MakerMode(), 1);
}

TEST_F(ModelMain, StoredMakerWords)
{
    Start();
    // A word with capitals can never be typed: characters arrive in lower case.
    Environ().MakerWord = "Marlock";
    plat::TypeText(Form(), "Marlock marlock");
    EXPECT_TRUE(dialogs.Boxes().empty());
    // An empty word asks at every character until the caution is accepted.
    Environ().MakerWord = "";
    dialogs.Answer(plat::IDCANCEL);
    dialogs.Answer(plat::IDCANCEL);
    dialogs.Answer(plat::IDOK);
    plat::TypeText(Form(), "abcd");
    EXPECT_EQ(Asked("GI_Mess_Maker_Caution"), 3);
    EXPECT_EQ(Main().MakerMode(), 1);
}

TEST_F(ModelMain, CustomerWordAsksAndSwitchesTheCustomerMode)
{
    Start();
    dialogs.Answer(plat::IDCANCEL);
    plat::TypeText(Form(), "corvel");
    EXPECT_EQ(Main().CustomerMode(), 0);
    dialogs.Answer(plat::IDOK);
    plat::TypeText(Form(), "xcorvel");
    EXPECT_EQ(Asked("GI_Mess_Corvel_Confirm"), 2);
    EXPECT_EQ(Main().CustomerMode(), 1);
    EXPECT_EQ(Main().MakerMode(), 0);
}

TEST_F(ModelMain, CommandLineSwitchInAnyLetterCase)
{
    Start(false);
    Main().SetCommandLine({"/usr/bin/QM7148H", "/MarLock"});
    dialogs.Answer(plat::IDOK);
    form = std::make_unique<TForm1>();
    EXPECT_EQ(Asked("GI_Mess_Maker_Caution"), 1);
    EXPECT_EQ(Main().MakerMode(), 1);
    EXPECT_TRUE(Form().Visible()) << "asked once the window is shown";
}

TEST_F(ModelMain, ModelTypeChangeAsksAndReplacesTheDocument)
{
    Start();
    Main().CurrentImage().SetByte(176120, 'Z');
    Main().UpdateModified();
    dialogs.Answer(plat::IDCANCEL);
    Main().ChangeModelType(indMain::ModelTypePmr, true);
    EXPECT_EQ(Environ().ModelType, indMain::ModelTypeLmr);
    EXPECT_TRUE(Main().IsModified());

    dialogs.Answer(plat::IDOK);
    Main().ChangeModelType(indMain::ModelTypePmr, true);
    EXPECT_EQ(Asked("GI_AppMess_ChangeModel"), 2);
    EXPECT_EQ(Environ().ModelType, indMain::ModelTypePmr);
    EXPECT_FALSE(Main().IsModified());
    EXPECT_TRUE(Main().IsUntitled());
    EXPECT_NE(Main().CurrentImage().GetByte(176120), 'Z');
    EXPECT_NE(Main().InitialImage().GetByte(176068) & 0x40, 0) << "the PMR defaults";
    Wait();
    EXPECT_EQ(TreeCaptions(), ProgramTreeCaptions(indMain::ModelTypePmr));
    EXPECT_EQ(BankNodeSheets(), ProgramBankSheets(indMain::ModelTypePmr)) << "the banks open the PMR channel sheet";

    // The type in use: nothing is asked.
    Main().ChangeModelType(indMain::ModelTypePmr, true);
    EXPECT_EQ(Asked("GI_AppMess_ChangeModel"), 2);
}

} // namespace
