// Sheets: building a channel list of n rows x 30 columns from its layout
// (the time per row should not grow with n), and a full repaint of its
// visible cells against a plain Qt item view that shows the same texts in
// a window of the same size.
//
// The cell engine is the sheet's own; the benchmark puts a behaviour in
// place of its label behaviours that renders short texts (a frequency, a
// name, a tone), so that the figures measure the sheet and not the radio
// data.
#include "cells/indActiveCell.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "platform/ui/Form.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Columns = 30;
constexpr int WindowWidth = 1600;
constexpr int WindowHeight = 1000;

// Labels of the 30 columns: a row number, then a run of channel fields.
const char* const ColumnLabels[Columns] = {
    "CL_Mch_No",    "CL_Mch_FreqR", "CL_Mch_FreqT", "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT",
    "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT", "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT",
    "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT", "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT",
    "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT", "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT",
    "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT", "CL_Mch_Text",  "CL_Mch_FreqR", "CL_Mch_FreqT"};

std::string ShortText(int label, int index)
{
    switch (label % 4) {
    case 0: {
        char text[16];
        std::snprintf(text, sizeof text, "%d.%03d", 145 + index / 8, index % 8 * 125);
        return text;
    }
    case 1: return "88.5";
    case 2: return "CH " + std::to_string(index + 1);
    default: return std::to_string(index + 1);
    }
}

// The layout of a channel list of `rows` channels: a header row and a
// one-line loop body.
void UseListLayout(int rows)
{
    g_GTex.FreeState();
    g_GTex.InitState();
    std::string header;
    std::string body;
    for (int c = 0; c < Columns; ++c) {
        if (c > 0) {
            header += "|";
            body += "|";
        }
        header += "{WH^B(Color=clBtnFace)}Field " + std::to_string(c);
        body += std::string(c == 0 ? "{WH>XB" : "{WH<XBS") + "(%CT_Mch." + ColumnLabels[c] + "[0])}145.0000";
    }
    std::vector<std::string> lines{"#List_Style", "(FixedRows=1)(FixedCols=1)(MultiSelect=Line)",
                                   "#List_BasicCell", "{<-(Color=clWindow)}",
                                   "#List_Cells", header, ":(LoopFrom " + std::to_string(rows) + ")", body, ":(End)",
                                   "#GI_CellWidthRegList", "#End_Of_Ovl"};
    g_GTex.OpenOverlayLines(std::move(lines));
}

struct Environment {
    cmcEvManHolder events;
    indActiveCell::TestOverride engine{[](cmcCellCapsule* c, int) {
        c->Text = ShortText(c->Cell->Label, c->Cell->Index);
        return erNothing;
    }};
};

void BM_BuildListSheet(benchmark::State& state)
{
    Environment env;
    const int rows = static_cast<int>(state.range(0));
    UseListLayout(rows);
    plat::Form form;
    form.SetClientSize(WindowWidth, WindowHeight);
    for (auto _ : state) {
        cuiSheet sheet(&form, nullptr, 0, 0, &g_GTex, "List", nullptr);
        sheet.Show();
        benchmark::DoNotOptimize(sheet.Grid()->RowCount());
    }
    state.counters["rows"] = rows;
    state.counters["per_row"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildListSheet)->Arg(16)->Arg(64)->Arg(128)->Arg(256)->Arg(512)->Unit(benchmark::kMicrosecond);

void BM_RepaintSheet(benchmark::State& state)
{
    Environment env;
    UseListLayout(512);
    plat::Form form;
    form.SetClientSize(WindowWidth, WindowHeight);
    cuiSheet sheet(&form, nullptr, 0, 0, &g_GTex, "List", nullptr);
    sheet.Show();
    form.Show();
    QWidget* view = sheet.Grid()->Widget();
    QImage image(view->size(), QImage::Format_RGB32);
    const int cols = sheet.Grid()->LastVisibleCol() + 1;
    const int rows = sheet.Grid()->LastVisibleRow() + 1;
    for (auto _ : state) {
        view->render(&image);
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = cols * rows;
    state.counters["per_cell"] = benchmark::Counter(static_cast<double>(cols * rows),
                                                    benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RepaintSheet)->Unit(benchmark::kMicrosecond);

void BM_RepaintItemView(benchmark::State& state)
{
    // The same texts in a plain table widget of the same size, with as
    // many columns and rows in view as the sheet shows.
    Environment env;
    UseListLayout(512);
    plat::Form form;
    form.SetClientSize(WindowWidth, WindowHeight);
    cuiSheet sheet(&form, nullptr, 0, 0, &g_GTex, "List", nullptr);
    sheet.Show();
    const cuiGrid& grid = *sheet.Grid();
    QTableWidget table(grid.RowCount(), grid.ColCount());
    table.resize(grid.Width(), grid.Height());
    table.horizontalHeader()->hide();
    table.verticalHeader()->hide();
    table.setShowGrid(false);
    for (int c = 0; c < grid.ColCount(); ++c) table.setColumnWidth(c, grid.ColWidths(c));
    for (int r = 0; r < grid.RowCount(); ++r) {
        table.setRowHeight(r, grid.RowHeights(r));
        for (int c = 0; c < grid.ColCount(); ++c) {
            const cmcCellObj& cell = sheet.CellAt(c, r);
            const std::string text = cell.Label != CL_NoLabel ? ShortText(cell.Label, cell.Index) : cell.GetText();
            table.setItem(r, c, new QTableWidgetItem(QString::fromStdString(text)));
        }
    }
    table.show();
    QImage image(table.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        table.render(&image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RepaintItemView)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
