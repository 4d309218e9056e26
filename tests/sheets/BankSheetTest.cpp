// The bank channel sheet on a window with the real cell engine: one row per
// channel of the bank and the empty row; the columns of the bank's trunking
// type; the title with the bank's name and the room left; rows that follow
// channels added in the empty row and deleted from the row menu; a picture
// of a bank with an error and a warning mark.
#include "cells/CellQueries.h"
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "model/EepromMap.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/iuiSh_ChBank.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/sheets/SheetWorld.h"
#include "ui/cuiGrid.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace sheets;
using celltest::TestImage;

namespace {

constexpr int BankNames = 177448;  // 12 bytes per bank
constexpr int HeaderRows = 5;

void NameBank(SheetWorld& w, int bank, const std::string& bytes)
{
    for (size_t i = 0; i < 12; ++i) w.Data().Byte(BankNames + 12 * bank + int(i), i < bytes.size() ? uint8_t(bytes[i]) : 0);
}

// Whether the picture shows the mark along the bottom of the cell, where
// marks are drawn: every opaque pixel of the mark at one place in the cell.
bool ShowsMark(const QImage& shot, const plat::Rect& cell, const QImage& mark)
{
    const int top = cell.bottom - mark.height() - 1;
    for (int left = cell.left; left + mark.width() <= cell.right; ++left) {
        bool all = true;
        for (int y = 0; y < mark.height() && all; ++y)
            for (int x = 0; x < mark.width() && all; ++x) {
                const QRgb p = mark.pixel(x, y);
                if (qAlpha(p) == 255) all = shot.pixel(left + x, top + y) == p;
            }
        if (all) return true;
    }
    return false;
}

bool MultiSelectable(const cuiSheet& sheet, int row)
{
    return const_cast<cuiSheet&>(sheet).CellSlot(1, row).IsSelectableInMulti();
}

// A bank sheet "TY" with the columns of every bank type, five header rows
// and the channel loop.
std::vector<std::string> EveryTypeColumns()
{
    const char* const labels[] = {"CL_Mch_Inh",          "CL_Mch_FreqR",         "CL_Mch_FreqT",
                                  "CL_Mch_CTone_R",      "CL_Mch_Scan",          "CL_Mch_Scrm_On",
                                  "CL_Mch_Scrm_Type",    "CL_Mch_Scrm_Code",     "CL_Mch_EDivert",
                                  "CL_Grp_RxId",         "CL_Grp_HomeRptCh",     "CL_Mch_ZEPH_Unit_Dec",
                                  "CL_Mch_ZEPH_Ind_List", "CL_Mch_Multisite_Unit_Dec", "CL_Mch_ZEPH_Fleet_Dec"};
    std::string header = "{WH}Channel";
    std::string row = "{WH(%.CL_Mch_No[@ch0])}";
    for (const char* label : labels) {
        header += std::string("|{WH}") + label;
        row += std::string("|{WHS(%CT_Mch.") + label + "[@ch0])}";
    }
    std::vector<std::string> lines = {"#TY_Style", "(FixedRows=5)(FixedCols=1)(MultiSelect=Line)", "#TY_BasicCell",
                                      "{<-(%CT_Null.)}", "#TY_Cells"};
    for (int r = 0; r < HeaderRows; ++r) lines.push_back(header);
    for (const std::string& line : {std::string(":(LoopFrom)"), row, std::string(":(End)")}) lines.push_back(line);
    return lines;
}

// The room the title tells, read back from its text.
int RoomInTitle(const cuiSheet& sheet)
{
    const std::string& text = sheet.TitleLabel()->Caption();
    const size_t dash = text.rfind("- ");
    return dash == std::string::npos ? -1 : std::atoi(text.c_str() + dash + 2);
}

} // namespace

TEST(BankSheet, OneRowPerChannelOfTheBankThenTheEmptyRow)
{
    SheetWorld w;
    // Bank 1 holds channels 2 to 4.
    w.Data().BankCounts({2, 3, 0});
    iuiSh_ChBank& sheet = w.OpenBank(1);
    EXPECT_EQ(sheet.Bank(), 1);
    EXPECT_EQ(sheet.FirstChannel(), 2);
    EXPECT_EQ(sheet.LoopRow(), HeaderRows);
    ASSERT_EQ(w.Grid().RowCount(), HeaderRows + 4);
    const int freq = w.ColumnOf(CL_Mch_FreqR);
    ASSERT_GE(freq, 0);
    for (int row = HeaderRows; row < HeaderRows + 4; ++row) EXPECT_EQ(sheet.CellAt(freq, row).Index, row - HeaderRows + 2);
    // Channel rows can be marked together, the empty row cannot.
    EXPECT_TRUE(MultiSelectable(sheet, HeaderRows + 2));
    EXPECT_FALSE(MultiSelectable(sheet, HeaderRows + 3));
    // The cells are ready for the rows that new channels add.
    EXPECT_EQ(sheet.CellAt(freq, iuiSh_ListRows::PreparedRows - 1).Index, iuiSh_ListRows::PreparedRows - 1 - HeaderRows + 2);
    // The cells ask the sheet which bank they are on.
    EXPECT_EQ(QueryCurrentBankNumber(), 1);
    EXPECT_EQ(GetCurrentBankRange(), (ListRange{1, 2, 4, 3}));
    EXPECT_TRUE(sheet.IsPrintable());
    EXPECT_EQ(w.Text(0, HeaderRows + 3), "New");

    // An empty bank shows only the empty row, and is not printed. A code
    // that names no bank leaves the sheet at bank 0.
    iuiSh_ChBank& empty = w.OpenBank(2);
    EXPECT_EQ(w.Grid().RowCount(), HeaderRows + 1);
    EXPECT_EQ(empty.CellAt(freq, HeaderRows).Index, 5);
    EXPECT_FALSE(empty.IsPrintable());
    for (const char* code : {"Bank 128", "Zone 3", "Bank"})
        EXPECT_EQ(w.Open<iuiSh_ChBank>("GI_Sheet_Mch_Lmr", code).Bank(), 0) << code;
}

TEST(BankSheet, TheEmptyRowFollowsTheChannelsWhereverTheLoopBegins)
{
    // A layout with two header rows instead of five.
    SheetWorld w(0, {"#B2_Style", "(FixedRows=2)(MultiSelect=Line)", "#B2_BasicCell", "{<-(%CT_Null.)}", "#B2_Cells",
                     "{WH}Bank", "{WH}Channel|{WH}Receive", ":(LoopFrom)",
                     "{WH(%.CL_Mch_No[@ch0])}|{WHS(%CT_Mch.CL_Mch_FreqR[@ch0])}", ":(End)"});
    w.Data().BankCounts({2, 3});
    iuiSh_ChBank& sheet = w.Open<iuiSh_ChBank>("B2", "Bank 1");
    ASSERT_EQ(w.Grid().RowCount(), 2 + 4);
    EXPECT_EQ(sheet.LoopRow(), 2);
    for (int row = 2; row < 5; ++row) EXPECT_TRUE(MultiSelectable(sheet, row)) << row;
    EXPECT_FALSE(MultiSelectable(sheet, 5));
}

TEST(BankSheet, ColumnsTheBankTypeDoesNotUseAreHiddenAndNeverTakeTheCursor)
{
    using Type = TestImage::BankType;
    struct Case {
        Type type;
        std::vector<int> shown;
        std::vector<int> hidden;
    };
    const Case cases[] = {
        {Type::Conventional, {CL_Mch_FreqR, CL_Mch_Scan, CL_Mch_Scrm_Type, CL_Mch_EDivert},
         {CL_Grp_RxId, CL_Mch_ZEPH_Unit_Dec, CL_Mch_Multisite_Unit_Dec}},
        {Type::Ltr, {CL_Grp_RxId, CL_Grp_HomeRptCh, CL_Mch_Scan}, {CL_Mch_FreqR, CL_Mch_CTone_R, CL_Mch_EDivert}},
        // A vote zone keeps its frequencies but not scanning, scrambling or
        // the trunking groups.
        {Type::VoteZone, {CL_Mch_FreqR, CL_Mch_FreqT, CL_Mch_EDivert},
         {CL_Mch_Scan, CL_Mch_Scrm_On, CL_Mch_Scrm_Code, CL_Grp_RxId}},
        {Type::Zeph, {CL_Mch_ZEPH_Unit_Dec, CL_Mch_ZEPH_Ind_List, CL_Mch_Scan}, {CL_Mch_FreqR, CL_Grp_RxId, CL_Mch_EDivert}},
        {Type::Multisite, {CL_Mch_Multisite_Unit_Dec, CL_Mch_ZEPH_Fleet_Dec},
         {CL_Mch_FreqR, CL_Mch_Scan, CL_Mch_ZEPH_Unit_Dec}},
    };
    for (const Case& k : cases) {
        SheetWorld w(0, EveryTypeColumns());
        w.Data().BankCounts({0, 2}).Type(1, k.type);
        iuiSh_ChBank& sheet = w.Open<iuiSh_ChBank>("TY", "Bank 1");
        SCOPED_TRACE(int(k.type));
        for (int label : k.shown) {
            const int col = w.ColumnOf(label);
            ASSERT_GE(col, 0) << CellLabelName(label);
            EXPECT_GT(w.Grid().ColWidths(col), 0) << CellLabelName(label);
            EXPECT_NE(sheet.CellAt(col, HeaderRows).FlagsB & cmcCellObj::LetterS, 0) << CellLabelName(label);
        }
        for (int label : k.hidden) {
            const int col = w.ColumnOf(label);
            ASSERT_GE(col, 0) << CellLabelName(label);
            EXPECT_EQ(w.Grid().ColWidths(col), 0) << CellLabelName(label);
            // Neither the rows of the bank nor the rows new channels add.
            for (int row : {HeaderRows, HeaderRows + 2, iuiSh_ListRows::PreparedRows - 1})
                EXPECT_EQ(sheet.CellAt(col, row).FlagsB & cmcCellObj::LetterS, 0) << CellLabelName(label);
        }
        // The cursor walks along a channel row over the shown columns only.
        w.Focus();
        sheet.FocusCell(CT_Mch, CL_Mch_Inh, 2);
        for (int step = 0; step < 20; ++step) {
            plat::SendKey(w.form, plat::VK_RIGHT);
            EXPECT_GT(w.Grid().ColWidths(w.Grid().Col()), 0) << w.Cursor();
        }
    }
    // The types are tested in a fixed order: a bank marked LTR and vote
    // zone is an LTR bank.
    SheetWorld w(0, EveryTypeColumns());
    w.Data().BankCounts({1}).Type(0, TestImage::Ltr);
    SetVoteZoneBank(0, 1);
    w.Open<iuiSh_ChBank>("TY", "Bank 0");
    EXPECT_EQ(w.Grid().ColWidths(w.ColumnOf(CL_Mch_FreqR)), 0);
    EXPECT_GT(w.Grid().ColWidths(w.ColumnOf(CL_Mch_Scan)), 0);
}

TEST(BankSheet, TitleNamesTheBankAndTheRoomLeft)
{
    SheetWorld w;
    w.Data().BankCounts({0, 0, 3}).Type(3, TestImage::SmarTrunk);
    NameBank(w, 2, "REPEATERS\x7F");
    NameBank(w, 3, "ABCDEFGHIJKL");
    w.Pack();

    iuiSh_ChBank& sheet = w.OpenBank(2);
    const plat::Label* title = sheet.TitleLabel();
    ASSERT_NE(title, nullptr);
    const int room = RoomInTitle(sheet);
    EXPECT_GT(room, 0);
    EXPECT_EQ(title->Caption(), "Bank 3: REPEATERS*  (Room left - " + std::to_string(room) + ")");
    EXPECT_EQ(title->GetFont().color, plat::clYellow);
    // The printed page's head.
    EXPECT_EQ(sheet.Title(), "Bank 3: REPEATERS* ");

    // A SmarTrunk bank says so, in cyan; a name of twelve letters shows whole.
    iuiSh_ChBank& smarTrunk = w.OpenBank(3);
    EXPECT_EQ(smarTrunk.Title(), "Bank 4: ABCDEFGHIJKL [SmarTrunk]");
    EXPECT_EQ(smarTrunk.TitleLabel()->Caption(),
              "Bank 4: ABCDEFGHIJKL [SmarTrunk] (Room left - " + std::to_string(RoomInTitle(smarTrunk)) + ")");
    EXPECT_EQ(smarTrunk.TitleLabel()->GetFont().color, plat::clAqua);

    // Packed data already past the memory's limit leave no room, not less.
    w.Data().U32(EepromMap::End32, 0x1FF7F + 100);
    iuiSh_ChBank& full = w.OpenBank(2);
    EXPECT_EQ(RoomInTitle(full), 0);
}

TEST(BankSheet, ChannelsAddedInTheEmptyRowAndDeletedFromTheRowMenuAddAndRemoveRows)
{
    SheetWorld w;
    // Bank 0 holds two channels, bank 1 one channel after them.
    w.Data().BankCounts({2, 1}).Channel(0, 146000000).Channel(1, 146025000).Channel(2, 440000000);
    w.Pack();
    iuiSh_ChBank& sheet = w.OpenBank(0);
    const int room = RoomInTitle(sheet);
    const int freq = w.ColumnOf(CL_Mch_FreqR);
    w.Focus();

    // A frequency typed into the empty row makes a channel of it.
    sheet.FocusCell(CT_Mch, CL_Mch_FreqR, 2);
    ASSERT_EQ(w.Cursor(), std::to_string(freq) + ",7");
    plat::TypeText(w.form, "146.05");
    plat::SendKey(w.form, plat::VK_RETURN);
    EXPECT_EQ(BankChannelCount(0), 3);
    EXPECT_EQ(w.Data().Read(1, 2).RxFreq, 146050000);
    EXPECT_EQ(w.Data().Read(1, 3).RxFreq, 440000000);
    ASSERT_EQ(w.Grid().RowCount(), HeaderRows + 4);
    EXPECT_EQ(w.Text(freq, 7), "146.050000");
    EXPECT_EQ(w.Text(0, 8), "New");
    EXPECT_TRUE(MultiSelectable(sheet, 7));
    EXPECT_FALSE(MultiSelectable(sheet, 8));
    EXPECT_EQ(w.Grid().RowHeights(8), w.Grid().RowHeights(7));
    EXPECT_EQ(RoomInTitle(sheet), room - 1);

    // Deleting the first channel takes one row away again.
    plat::ScopedDialogScript dialogs;
    dialogs.Answer(plat::IDOK);  // the channel is in use: delete it anyway
    sheet.FocusCell(CT_Mch, CL_Mch_FreqR, 0);
    sheet.DoAction(w.Grid().Col(), w.Grid().Row(), 0, CL_PMenu_Delete, nullptr);
    EXPECT_EQ(BankChannelCount(0), 2);
    ASSERT_EQ(w.Grid().RowCount(), HeaderRows + 3);
    EXPECT_EQ(w.Text(freq, 5), "146.025000");
    EXPECT_EQ(w.Text(freq, 6), "146.050000");
    EXPECT_EQ(w.Text(0, 7), "New");
    EXPECT_TRUE(MultiSelectable(sheet, 6));
    EXPECT_FALSE(MultiSelectable(sheet, 7));
    EXPECT_EQ(RoomInTitle(sheet), room);
    EXPECT_EQ(w.rowEvents, (std::vector<std::pair<int, intptr_t>>{{ev::RowsAdded, 1}, {ev::RowsRemoved, 1}}));
}

TEST(BankSheet, ANewChannelOfEitherModelShowsAValueInEveryColumn)
{
    // A channel as the New row makes it, from the initial file's template:
    // every setting it starts with is one its list offers.
    for (int modelType : {0, 1}) {
        SCOPED_TRACE(modelType == 0 ? "LMR" : "PMR");
        SheetWorld w(modelType);
        w.LoadInitialImage();
        w.Data().BankCounts({1});
        w.Data().Item(modelType + 1, 0, [](datCh& ch) {
            ch.RxFreq = ch.TxFreq = 151625000;
            ch.State.InUse = 1;
            ch.State.Active = 1;
        });
        w.Pack();
        w.OpenBank(0);
        for (int col = 0; col < w.Grid().ColCount(); ++col)
            EXPECT_NE(w.Text(col, HeaderRows), "error") << "column " << col;
    }
}

TEST(BankSheet, PictureOfABankWithMarks)
{
    // A PMR bank of four channels; the second has MSK signalling with a
    // selective call the signalling cannot use (an error) and a monitor that
    // opens without it (a warning).
    SheetWorld w(1);
    w.LoadInitialImage();
    w.form.SetClientSize(1000, 260);
    w.Data().BankCounts({4});
    const char* const names[] = {"DISPATCH", "YARD", "MAINT", "SECURITY"};
    const int rx[] = {151625000, 151655000, 154570000, 154600000};
    for (int n = 0; n < 4; ++n)
        w.Data().Item(2, n, [&](datCh& ch) {
            ch.RxFreq = uint32_t(rx[n]);
            ch.TxFreq = uint32_t(rx[n]);
            std::memcpy(ch.Text, names[n], std::strlen(names[n]));
            ch.State.InUse = 1;
            ch.State.Active = 1;
            ch.ChFlagsD.Sel = 1;
            ch.ChFlagsC.Moni = 6;
            ch.ChFlagsD.ChMute = 1;
        });
    w.Data().Item(2, 1, [](datCh& ch) {
        ch.ChFlagsF.MskSig = 1;
        ch.ChFlagsD.Sel = 0;
        ch.ChFlagsC.Moni = 0;
    });
    w.Pack();
    iuiSh_ChBank& sheet = w.OpenBank(0);
    w.Focus();
    sheet.FocusCell(CT_Mch, CL_Mch_Text, 1);
    plat::ProcessMessages();
    ASSERT_TRUE(plat::SavePng(w.form, (qmtest::OutputDir() / "bank-sheet.png").string()));
    // Scrolled to the signalling columns that carry the marks.
    w.Grid().SetLeftCol(w.ColumnOf(CL_Mch_Pos));
    plat::ProcessMessages();
    ASSERT_TRUE(plat::SavePng(w.form, (qmtest::OutputDir() / "bank-sheet-marks.png").string()));

    // Every cell in view of the two first channels shows the marks the cell
    // engine gives it, and no other; the second channel has both kinds.
    const QImage shot = w.Grid().Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage warning = w.images.Pixmap(12)->toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage error = w.images.Pixmap(13)->toImage().convertToFormat(QImage::Format_ARGB32);
    int errors = 0, warnings = 0;
    for (int row = HeaderRows; row <= HeaderRows + 1; ++row)
        for (int col = w.Grid().LeftCol(); col <= w.Grid().LastVisibleCol(); ++col) {
            const plat::Rect r = w.Grid().GetCellRect(col, row);
            if (r.right - r.left <= error.width() || r.right > shot.width()) continue;
            const cmcCellObj& cell = sheet.CellAt(col, row);
            bool isError = false, isWarning = false;
            indActiveCell::EvaluateCellMarks(cell.Category, cell.Label, cell.Index, isError, isWarning);
            EXPECT_EQ(ShowsMark(shot, r, error), isError) << col << "," << row;
            EXPECT_EQ(ShowsMark(shot, r, warning), isWarning && !isError) << col << "," << row;
            errors += row == HeaderRows + 1 && isError;
            warnings += row == HeaderRows + 1 && isWarning && !isError;
        }
    EXPECT_GE(errors, 1);
    EXPECT_GE(warnings, 1);
}
