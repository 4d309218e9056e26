#include "tests/ui/SheetFixture.h"

#include "platform/ui/TestHooks.h"

namespace sheettest {

SheetTest::SheetTest()
{
    g_GTex.FreeState();
    g_GTex.InitState();
    form.SetClientSize(640, 400);
}

SheetTest::~SheetTest()
{
    sheet.reset();
    g_GTex.FreeState();
    g_GTex.InitState();
}

void SheetTest::UseLayout(const std::string& style, const std::string& basic, const std::vector<std::string>& cells,
                          const std::vector<std::string>& more)
{
    std::vector<std::string> lines{"#S_Style", style, "#S_BasicCell", basic, "#S_Cells"};
    lines.insert(lines.end(), cells.begin(), cells.end());
    lines.insert(lines.end(), more.begin(), more.end());
    // Sheets read the list of stored widths; an empty one unless given.
    lines.insert(lines.end(), {"#GI_CellWidthRegList", "#End_Of_Ovl"});
    ASSERT_EQ(g_GTex.OpenOverlayLines(std::move(lines)), 1);
}

cuiSheet& SheetTest::Open(const std::string& key, bool popup)
{
    sheet = std::make_unique<cuiSheet>(&form, nullptr, 0, 0, &g_GTex, key, nullptr);
    sheet->SetPopupMode(popup);
    sheet->SetCellHandler([this](cmcCellCapsule* c, int notify) -> CellExecResult {
        const bool render = c->Key == 0 && c->Command == 0 && c->Phase == 0 && notify == 0;
        if (render) {
            ++renders;
            c->Text = renderText ? renderText(*c->Cell) : "v" + std::to_string(c->Cell->Index);
            return erNothing;
        }
        Action a;
        if (sheet && sheet->HasSlots())
            for (int row = 0; row < Grid().RowCount() && a.col < 0; ++row)
                for (int col = 0; col < Grid().ColCount(); ++col)
                    if (&sheet->CellAt(col, row) == c->Cell) {
                        a.col = col;
                        a.row = row;
                        break;
                    }
        a.label = c->Cell != nullptr ? c->Cell->Label : -1;
        a.index = c->Cell != nullptr ? c->Cell->Index : -1;
        a.key = c->Key;
        a.command = c->Command;
        a.phase = c->Phase;
        a.text = c->EditText;
        a.notify = notify;
        actions.push_back(a);
        return onAction ? onAction(c, notify) : erNothing;
    });
    sheet->Show();
    return *sheet;
}

void SheetTest::DoubleClickAt(int x, int y)
{
    using plat::MouseAction;
    plat::SendMouse(Grid(), MouseAction::Down, x, y);
    plat::SendMouse(Grid(), MouseAction::Up, x, y);
    plat::SendMouse(Grid(), MouseAction::DoubleClick, x, y);
    plat::SendMouse(Grid(), MouseAction::Up, x, y);
}

std::string SheetTest::Cursor() { return std::to_string(Grid().Col()) + "," + std::to_string(Grid().Row()); }

std::string SheetTest::Dump()
{
    std::string out;
    for (int row = 0; row < Grid().RowCount(); ++row) {
        if (row > 0) out += " / ";
        for (int col = 0; col < Grid().ColCount(); ++col) {
            if (col > 0) out += ",";
            const cmcCellObj& cell = sheet->CellAt(col, row);
            out += cell.Label != CL_NoLabel ? "#" + std::to_string(cell.Index) : cell.GetText();
        }
    }
    return out;
}

} // namespace sheettest
