// Column widths kept in the settings file: loading within limits, sharing,
// saving, resetting, fitting by double click, and widths for printing.
#include "model/indEnviron.h"
#include "platform/base/Canvas.h"
#include "platform/ui/TestPrinter.h"
#include "tests/ui/SheetFixture.h"


#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

using sheettest::SheetTest;

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old) setenv(m_name.c_str(), m_old->c_str(), 1);
        else unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Sheets S and T share the sub "Chan"; U has its own. Column 0 is a fixed
// header column, columns 1 and 2 hold S cells in the first non-fixed row,
// column 3 does not (its width is never stored).
const std::vector<std::string> WidthOverlay{
    "#T_Style", "(FixedRows=1)(FixedCols=1)(ColSizing)", "#T_BasicCell", "{<-(%CT_Mch.CL_Null)}", "#T_Cells",
    "{WH}No|{W}Name|{W}Frequency|{W}x", "{WH}1|{S(%CL_Mch_Text[0])}|{S(%CL_Mch_FreqR[0])}|note",
    "#U_Style", "", "#U_BasicCell", "{<-(%CT_Mch.CL_Null)}", "#U_Cells", "{S(%CL_Mch_Text[0])}|{S(%CL_Mch_FreqR[0])}",
    "#GI_CellWidthRegList", "S:Chan", "T:Chan", "U:Other", "#"};
const char* const SheetCells[] = {"{WH}No|{W}Name|{W}Frequency|{W}x",
                                  "{WH}1|{S(%CL_Mch_Text[0])}|{S(%CL_Mch_FreqR[0])}|note"};

class SheetWidths : public SheetTest {
protected:
    SheetWidths()
    {
        // A folder of its own for the instance lock, so that tests running at
        // the same time never meet at one lock.
        std::filesystem::create_directories(dir.Path() / "run");
        std::filesystem::create_directories(dir.Path() / "config" / "Vosk");
        qmtest::WriteFile(dir.File("config/Vosk/KT-W8840PX.ini"),
                          "[Global]\nBBT=753951\n[View Option]\nFontSize Percentage=100\nFontSize Printer=10\n"
                          "[Display\\Chan\\colwidth]\n1=5\n2=900\n3=77\n[Display\\Other\\colwidth]\n0=44\n");
        environ.emplace(1024, 768);
    }
    void UseSheets()
    {
        UseLayout("(FixedRows=1)(FixedCols=1)(ColSizing)", "{<-(%CT_Mch.CL_Null)}",
                  {SheetCells[0], SheetCells[1]}, WidthOverlay);
    }
    std::string File() { return qmtest::ReadFile(dir.File("config/Vosk/KT-W8840PX.ini")); }

    qmtest::TempDir dir;
    ScopedEnv config{"XDG_CONFIG_HOME", dir.File("config")};
    ScopedEnv runtime{"XDG_RUNTIME_DIR", dir.File("run")};
    std::optional<indEnvironHolder> environ;
};

TEST_F(SheetWidths, StoredWidthsLoadWithinLimitsAndAreSharedAndSaved)
{
    UseSheets();
    const int builtNote = [&] {
        Open();
        return Grid().ColWidths(3);
    }();
    // 5 loads as 10 and 900 as 650; column 3 has no S cell: its stored
    // width is not used.
    EXPECT_EQ(Grid().ColWidths(1), 10);
    EXPECT_EQ(Grid().ColWidths(2), 650);
    EXPECT_EQ(Grid().ColWidths(3), builtNote);

    // A width dragged wider than the client area without the fixed columns
    // is cut back to it; one dragged narrower than 10 comes back to 10.
    form.Show();
    const int limit = Grid().ClientWidth() - Grid().ColWidths(0);
    Grid().SetColWidths(1, 2000);
    EXPECT_EQ(Grid().ColWidths(1), limit);
    Grid().SetColWidths(2, 3);
    EXPECT_EQ(Grid().ColWidths(2), 10);
    Grid().SetColWidths(2, 120);

    // Closing the sheet stores its widths; T shares them.
    sheet.reset();
    Open("T");
    EXPECT_EQ(Grid().ColWidths(1), limit);
    EXPECT_EQ(Grid().ColWidths(2), 120);
    sheet.reset();
    environ.reset();
    const std::string file = File();
    EXPECT_NE(file.find("[Display\\Chan\\colwidth]\n1=" + std::to_string(limit) + "\n2=120\n3=77\n"), std::string::npos)
        << file;
}

TEST_F(SheetWidths, AResetDeletesTheWidthsOfEverySheetAndSavesTheBuiltOnes)
{
    UseSheets();
    sheet = std::make_unique<cuiSheet>(&form, nullptr, 0, 0, &g_GTex, "S", nullptr);
    sheet->SetCellHandler([](cmcCellCapsule*, int) { return erNothing; });
    sheet->SetResetWidthsRequest(true);
    sheet->Show();
    const int built = Grid().ColWidths(1);
    EXPECT_GT(built, 10);
    sheet.reset();
    environ.reset();
    const std::string file = File();
    EXPECT_EQ(file.find("Other"), std::string::npos) << file;
    EXPECT_NE(file.find("[Display\\Chan\\colwidth]\n1=" + std::to_string(built) + "\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("3=77"), std::string::npos) << file;
}

TEST_F(SheetWidths, DoubleClickOnAHeaderBorderFitsTheColumn)
{
    UseSheets();
    renderText = [](const cmcCellObj& cell) {
        return cell.Label == CL_Mch_Text ? std::string("A rather long channel name") : std::string("1");
    };
    Open();
    form.Show();
    plat::Canvas& canvas = Grid().GetCanvas();
    sheet->ApplyCellFont(sheet->CellAt(1, 1), canvas.GetFont());
    const int fitted = canvas.TextWidth("A rather long channel name") + 8;
    ASSERT_EQ(Grid().ColWidths(1), 10);

    // Near the right border of header cell 1, and near the left border of
    // header cell 2 (which fits the column left of it).
    const plat::Rect header = Grid().GetCellRect(1, 0);
    DoubleClickAt(header.right - 2, header.top + 3);
    EXPECT_EQ(Grid().ColWidths(1), fitted);
    Grid().SetColWidths(1, 30);
    const plat::Rect next = Grid().GetCellRect(2, 0);
    DoubleClickAt(next.left + 2, next.top + 3);
    EXPECT_EQ(Grid().ColWidths(1), fitted);
    // Nowhere near a border: nothing is fitted.
    Grid().SetColWidths(1, 30);
    const plat::Rect middle = Grid().GetCellRect(1, 0);
    DoubleClickAt((middle.left + middle.right) / 2, middle.top + 3);
    EXPECT_EQ(Grid().ColWidths(1), 30);
}

TEST_F(SheetWidths, PrintedWidthsAreStoredWidthsInPrinterPixelsNoWiderThanBuilt)
{
    // A 600 dpi page at 100 percent and a 10-point printer font: a stored 80
    // prints as 500 printer pixels.
    g_GTex.FreeState();
    g_GTex.InitState();
    UseLayout("", "{<-(%CT_Mch.CL_Null)}",
              {"{WS(%CL_Mch_Text[0])}A very long column heading that is wide on paper|{WS(%CL_Mch_FreqR[0])}x"},
              {"#GI_CellWidthRegList", "S:Print", "#"});
    g_Environ->WriteInteger(std::string(indEnviron::SettingsKeyName) + "\\Display\\Print\\colwidth", 80, "0");
    g_Environ->WriteInteger(std::string(indEnviron::SettingsKeyName) + "\\Display\\Print\\colwidth", 80, "1");
    plat::TestPrinter printer(600, 200, 200);

    sheet = std::make_unique<cuiSheet>(&form, nullptr, 0, 0, &g_GTex, "S", nullptr);
    sheet->SetCellHandler([](cmcCellCapsule*, int) { return erNothing; });
    sheet->SetPrinter(&printer);
    sheet->SetFontHeight(-83); // 10 points at 600 dpi
    EXPECT_EQ(sheet->Scale(), 6.0); // 600 / 96, as a whole number
    sheet->Show();
    EXPECT_EQ(Grid().ColWidths(0), 500);
    plat::Canvas& canvas = printer.GetCanvas();
    sheet->ApplyCellFont(sheet->CellAt(1, 0), canvas.GetFont());
    const int builtNarrow = static_cast<int>(canvas.TextWidth("x") + 8 * 6.0 + 0.5);
    EXPECT_EQ(Grid().ColWidths(1), std::min(500, builtNarrow));
}

} // namespace
