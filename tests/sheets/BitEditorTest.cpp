// The bit-field editor that a bit-field cell opens with Enter: its headers
// by item kind, its bits toggled with Space and the mouse, OK's rules, and
// how it ends (OK, a click elsewhere, the pop-ups' close event, Esc).
#include "cells/LabelDispatch.h"
#include "cells/ValueHandlers.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "model/datCh.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/StdControls.h"
#include "platform/ui/TestHooks.h"
#include "tests/sheets/SheetWorld.h"
#include "tests/support/TestSupport.h"
#include "ui/cuiFBitsR.h"
#include "ui/cuiGrid.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <algorithm>

#include <filesystem>
#include <vector>

using namespace sheets;

namespace {

// A page with one bit-field cell whose items, kind and value the test
// chooses; the cell edits the value through the engine's bit-field handler.
struct FieldWorld {
    FieldWorld(int first, int last, int kind, int initial)
        : w(0, {"#T_Style", "", "#T_BasicCell", "{<-($Font)(%CT_Null.)}", "#T_Cells", "{WHS(%CL_Exp_RxAf_Filter)}MMMMMMMMMMMMMMMMMM", "#"}),
          value(initial),
          behaviour(CL_Exp_RxAf_Filter, [this, first, last, kind](indCellCall& call) {
              EditBitField(call.Cap, value, first, last, kind, "", call.Result);
          })
    {
        w.Open<cuiSheet>("T", "");
        w.Focus();
    }
    cuiFBitsR& Open()
    {
        plat::SendKey(w.form, plat::VK_RETURN);
        plat::ProcessMessages();
        cuiFBitsR* editor = cuiFBitsR::Newest();
        EXPECT_NE(editor, nullptr);
        return *editor;
    }
    bool Closed()
    {
        plat::ProcessMessages();
        plat::ProcessMessages();
        return cuiFBitsR::Newest() == nullptr;
    }
    SheetWorld w;
    int value;
    ScopedLabelBehaviour behaviour;
};

// The grid position of the bit of position n, and the header above it.
plat::Point BitCell(cuiFBitsR& editor, int n)
{
    cuiSheet& sheet = *editor.Sheet();
    for (int row = 0; row < sheet.Grid()->RowCount(); ++row)
        for (int col = 0; col < sheet.Grid()->ColCount(); ++col)
            if (sheet.CellAt(col, row).Label == CL_FBits && sheet.CellAt(col, row).Index == n) return {col, row};
    ADD_FAILURE() << "no bit " << n;
    return {0, 0};
}

std::vector<std::string> Headers(cuiFBitsR& editor, int count)
{
    std::vector<std::string> headers;
    for (int n = 1; n <= count; ++n) {
        const plat::Point at = BitCell(editor, n);
        headers.push_back(editor.Sheet()->CellAt(at.x, at.y - 2).GetText());
    }
    return headers;
}

// Space on the bit of position n.
void Toggle(cuiFBitsR& editor, int n)
{
    const plat::Point at = BitCell(editor, n);
    editor.Sheet()->SelectCell(at.x, at.y);
    plat::SendKey(*editor.Window(), plat::VK_SPACE);
}

// A double click on the bit of position n.
void DoubleClick(cuiFBitsR& editor, int n)
{
    const plat::Point at = BitCell(editor, n);
    cuiGrid& grid = *editor.Sheet()->Grid();
    const plat::Rect r = grid.GetCellRect(at.x, at.y);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    plat::SendMouse(grid, plat::MouseAction::Down, x, y);
    plat::SendMouse(grid, plat::MouseAction::Up, x, y);
    plat::SendMouse(grid, plat::MouseAction::DoubleClick, x, y);
    plat::SendMouse(grid, plat::MouseAction::Up, x, y);
}

bool ErrorMarkOn(cuiFBitsR& editor, int n)
{
    const plat::Point at = BitCell(editor, n);
    cmcCellCapsule capsule;
    editor.Sheet()->FillCapsule(at.x, at.y, capsule);
    editor.Exec(&capsule, 0);
    return capsule.ErrorMark;
}

} // namespace

TEST(BitEditor, HeadersByItemKind)
{
    using V = std::vector<std::string>;
    struct Case {
        int first, last, kind;
        V headers;
    };
    const Case cases[] = {
        {1, 17, cuiFBitsR::KindDigitsLetters,
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F", "G", "Z"}},
        {1, 10, cuiFBitsR::KindDecimalZero, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}},
        {8, 12, cuiFBitsR::KindHex, {"8", "9", "A", "B", "C"}},
        {1, 3, cuiFBitsR::KindLetters, {"A", "B", "C"}},
        {1, 5, cuiFBitsR::KindSentences, {"RMC", "GGA", "GLL", "GSA", "VTG"}},
        {0, 7, cuiFBitsR::KindBitNumbers, {"B7", "B6", "B5", "B4", "B3", "B2", "B1", "B0"}},
        {1, 8, 0, {"1", "2", "3", "4", "5", "6", "7", "8"}},
    };
    for (const Case& c : cases) {
        FieldWorld f(c.first, c.last, c.kind, 0);
        cuiFBitsR& editor = f.Open();
        EXPECT_EQ(Headers(editor, c.last - c.first + 1), c.headers) << "kind " << c.kind;
        plat::SendKey(*editor.Window(), plat::VK_ESCAPE);
        EXPECT_TRUE(f.Closed());
    }
}

TEST(BitEditor, TogglesBitsAndCommitsTheMaskAsOkAllows)
{
    // Values are most significant bit first: with up to 8 items, item 0 is
    // bit 7; with more, item 0 is bit count - 1.
    struct Case {
        const char* name;
        int first, last, kind;
        int initial;
        std::vector<int> toggled;  // positions, 1 for the first item
        bool okEnabled;
        int stored;  // after OK; the initial value when OK is disabled
    };
    const Case cases[] = {
        {"scan list letters", 1, 17, cuiFBitsR::KindDigitsLetters, 1 << 16, {1, 17, 10}, true, (1 << 7) | 1},
        {"decoders, all cleared", 1, 10, cuiFBitsR::KindDecimalZero, 0x3FF, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, true, 0},
        {"plain items", 1, 8, 0, 0, {8}, true, 0x01},
        {"three sentences", 1, 5, cuiFBitsR::KindSentences, 0xC0, {5}, true, 0xC8},
        {"a fourth sentence", 1, 5, cuiFBitsR::KindSentences, 0xE0, {4}, false, 0xE0},
        {"four, then one cleared", 1, 5, cuiFBitsR::KindSentences, 0xE0, {4, 1}, true, 0x70},
    };
    for (const Case& c : cases) {
        FieldWorld f(c.first, c.last, c.kind, c.initial);
        cuiFBitsR& editor = f.Open();
        EXPECT_TRUE(editor.OkButton()->Enabled()) << c.name;
        for (int n : c.toggled) Toggle(editor, n);
        EXPECT_EQ(editor.OkButton()->Enabled(), c.okEnabled) << c.name;
        editor.OkButton()->Click();
        if (!c.okEnabled) editor.CancelButton()->Click();
        EXPECT_TRUE(f.Closed()) << c.name;
        EXPECT_EQ(f.value, c.stored) << c.name;
    }
}

// A set bit shows a check mark in the font's colour: a short stroke down
// to the right and a long one up to the right, in a square at the middle
// of the cell; a clear bit shows nothing.
TEST(BitEditor, SetBitsShowACheckMark)
{
    FieldWorld f(1, 8, 0, 0x40); // item 2 set
    cuiFBitsR& editor = f.Open();
    cuiGrid& grid = *editor.Sheet()->Grid();
    editor.Sheet()->SelectCell(BitCell(editor, 8).x, BitCell(editor, 8).y); // the cursor off both
    plat::ProcessMessages();
    const QImage shot = grid.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    shot.save(QString::fromStdString((qmtest::OutputDir() / "bit-editor-check.png").string()));
    // Points of the cell in fractions of the mark's square (0.7 of the
    // shorter side, centred).
    const auto at = [&](int n, double fx, double fy) {
        const plat::Point cell = BitCell(editor, n);
        const plat::Rect r = grid.GetCellRect(cell.x, cell.y);
        const int w = r.Width(), h = r.Height(), d = std::min(w, h);
        const double left = r.left + (w - 0.7 * d) / 2, top = r.top + (h - 0.7 * d) / 2;
        return shot.pixel(int(left + fx * 0.7 * d), int(top + fy * 0.7 * d));
    };
    const QRgb paper = at(2, 0.1, 0.1);
    const QRgb ink = qRgb(0, 0, 0);
    ASSERT_NE(paper, ink);
    const struct {
        double fx, fy;
        bool inked;
    } points[] = {
        {0.1, 0.58, true},  {0.4, 0.85, true},  {0.8, 0.45, true}, // the two strokes
        {0.1, 0.2, false},  {0.8, 0.9, false},  {0.6, 0.3, false}, // above and below them
    };
    for (const auto& p : points) {
        EXPECT_EQ(at(2, p.fx, p.fy) == ink, p.inked) << p.fx << "," << p.fy;
        EXPECT_EQ(at(1, p.fx, p.fy), paper) << "bit 1 is clear";
    }
    plat::SendKey(*editor.Window(), plat::VK_ESCAPE);
    EXPECT_TRUE(f.Closed());
}

TEST(BitEditor, TooManySentencesAreMarkedAndNeverCommittedByLeavingTheEditor)
{
    FieldWorld f(1, 5, cuiFBitsR::KindSentences, 0xE0);
    // A double click toggles as Space does.
    cuiFBitsR& editor = f.Open();
    DoubleClick(editor, 4);
    EXPECT_EQ(editor.Mask(), 0xFu << 22);
    EXPECT_FALSE(editor.OkButton()->Enabled());
    EXPECT_TRUE(ErrorMarkOn(editor, 1));
    EXPECT_TRUE(ErrorMarkOn(editor, 4));
    EXPECT_FALSE(ErrorMarkOn(editor, 5));

    const std::filesystem::path dir = qmtest::OutputDir();
    f.w.world.Pump();
    plat::ProcessMessages();
    ASSERT_TRUE(plat::SavePng(*editor.Window(), (dir / "bit-editor-sentences.png").string()));

    // A click elsewhere discards the mask that OK refuses.
    plat::Form other;
    other.Show();
    EXPECT_TRUE(f.Closed());
    EXPECT_EQ(f.value, 0xE0);
    // So does the pop-ups' close event.
    f.w.Focus();
    cuiFBitsR& again = f.Open();
    Toggle(again, 5);
    g_EvMan->Send(ev::ClosePopups, 0, 0);
    EXPECT_TRUE(f.Closed());
    EXPECT_EQ(f.value, 0xE0);
}

TEST(BitEditor, LeavingCommitsAValidMaskAndEscDiscardsIt)
{
    FieldWorld f(1, 17, cuiFBitsR::KindDigitsLetters, 0);
    cuiFBitsR& editor = f.Open();
    Toggle(editor, 2);
    Toggle(editor, 17);
    const std::filesystem::path dir = qmtest::OutputDir();
    f.w.world.Pump();
    plat::ProcessMessages();
    ASSERT_TRUE(plat::SavePng(*editor.Window(), (dir / "bit-editor-scan.png").string()));
    plat::Form other;
    other.Show();
    EXPECT_TRUE(f.Closed());
    EXPECT_EQ(f.value, (1 << 15) | 1);

    f.w.Focus();
    cuiFBitsR& again = f.Open();
    Toggle(again, 3);
    plat::SendKey(*again.Window(), plat::VK_ESCAPE);
    EXPECT_TRUE(f.Closed());
    EXPECT_EQ(f.value, (1 << 15) | 1);
    // The cell shows the items set.
    EXPECT_EQ(f.w.Text(0, 0), "_2______________Z\n");
}

TEST(BitEditor, AScanListColumnOfTheBankSheetIsEditedInTheEditor)
{
    SheetWorld w;
    w.Data().BankCounts({1}).Channel(0, 146000000);
    w.Pack();
    w.OpenBank(0);
    w.Focus();
    w.sheet->FocusCell(CT_Mch, CL_Mch_Scan, 0);
    plat::SendKey(w.form, plat::VK_RETURN);
    plat::ProcessMessages();
    cuiFBitsR* editor = cuiFBitsR::Newest();
    ASSERT_NE(editor, nullptr);
    Toggle(*editor, 1);
    Toggle(*editor, 11);
    editor->OkButton()->Click();
    plat::ProcessMessages();
    EXPECT_EQ(w.Data().Read(1, 0).ScanMask & 0x1FFFFu, (1u << 16) | (1u << 6));
    EXPECT_TRUE(w.world.Main().IsModified());
}
