// Sheets, two ways.
//
// The program's bank channel sheet: the LMR bank channel sheet of the
// program's own overlay, with its cells run by the real cell engine, on a
// full working image (512 channels with frequencies, tones and names; the
// bank shown holds n of them, the next bank the rest). Building it for a
// bank of 16 to 512 channels (the time per row should not grow with the
// bank), and a full repaint of its visible cells against a plain Qt item
// view that shows the same texts in the same columns and rows (target: at
// most twice the item view's time).
//
// The sheet engine alone: a channel list of n rows x 30 columns from a
// layout of its own, with a behaviour in place of the label behaviours that
// renders short texts, so that these figures measure the sheet and not the
// radio data.
#include "cells/indActiveCell.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ProgramEntry.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/iuiSh_ChBank.h"
#include "platform/ui/Form.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
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

// A plain table widget of the grid's size with the grid's columns and rows
// and the given texts, shown, and without headers or lines: what a plain
// item view would draw for the same page.
void FillItemView(QTableWidget& table, const cuiGrid& grid, const std::function<std::string(int, int)>& textAt)
{
    table.setRowCount(grid.RowCount());
    table.setColumnCount(grid.ColCount());
    table.resize(grid.Width(), grid.Height());
    table.horizontalHeader()->hide();
    table.verticalHeader()->hide();
    table.setShowGrid(false);
    for (int c = 0; c < grid.ColCount(); ++c) table.setColumnWidth(c, grid.ColWidths(c));
    for (int r = 0; r < grid.RowCount(); ++r) {
        table.setRowHeight(r, grid.RowHeights(r));
        for (int c = 0; c < grid.ColCount(); ++c)
            table.setItem(r, c, new QTableWidgetItem(QString::fromStdString(textAt(c, r))));
    }
    table.show();
}

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
    QTableWidget table;
    FillItemView(table, *sheet.Grid(), [&](int c, int r) {
        const cmcCellObj& cell = sheet.CellAt(c, r);
        return cell.Label != CL_NoLabel ? ShortText(cell.Label, cell.Index) : cell.GetText();
    });
    QImage image(table.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        table.render(&image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RepaintItemView)->Unit(benchmark::kMicrosecond);

// ---- The program's bank channel sheet ---------------------------------------

constexpr int FullImageChannels = 512;
constexpr const char* BankSheetKey = "GI_Sheet_Mch_Lmr";

// The cloning program's globals over its own data files (settings and
// instance lock in a folder of their own), with a full working image: bank
// 0 holds `channels` channels, bank 1 the rest of the 512.
class ProgramWorld {
public:
    explicit ProgramWorld(int channels)
        : m_folder(std::filesystem::temp_directory_path() / ("sheet-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(m_folder);
        setenv("XDG_CONFIG_HOME", (m_folder / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", m_folder.c_str(), 1);
        m_globals = std::make_unique<ProgramGlobals>(QM_PROGRAM_DIR);
        Fill(channels);
    }
    ~ProgramWorld()
    {
        m_globals.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    // A bank sheet of bank 0 on the form, built and shown as the program
    // opens it from the tree.
    std::unique_ptr<iuiSh_ChBank> OpenBank(plat::Form& form)
    {
        auto sheet = std::make_unique<iuiSh_ChBank>(&form, nullptr, 0, 0, &g_GTex, BankSheetKey, nullptr);
        sheet->SetSpec(std::string("[St_ChBank]") + BankSheetKey + ",Bank 0");
        sheet->SetCode("Bank 0");
        sheet->Show();
        return sheet;
    }

private:
    void Fill(int channels)
    {
        indMain& main = m_globals->Main();
        cmcEeprom& image = main.CurrentImage();
        SetBankChannelCount(0, channels);
        SetBankChannelCount(1, FullImageChannels - channels);
        datCh ch(&image);
        for (int i = 0; i < FullImageChannels; ++i) {
            ch.Unpack(1, i);
            ch.RxFreq = 146000000 + 12500 * i;
            ch.TxFreq = i % 3 ? ch.RxFreq : ch.RxFreq + 600000;
            ch.RxTone.On = 1;
            ch.RxTone.AnalogIndex = uint16_t(i % 50);
            ch.TxTone = ch.RxTone;
            char name[13];
            std::snprintf(name, sizeof name, "CH %-9d", i + 1);
            std::copy(name, name + 12, ch.Text);
            ch.ChFlagsB.RfPo = i % 4;
            ch.ChFlagsB.Nar = i % 2;
            ch.ScanMask = uint32_t(i) & 0x1FFFF;
            ch.Pack(1, i);
        }
        main.Pack(image);
    }

    std::filesystem::path m_folder;
    std::unique_ptr<ProgramGlobals> m_globals;
};

// The mean time of one build by the bank's channels, for the report's
// cost of a further row.
std::map<int, double> g_bankSheetBuild;

void BM_BuildBankSheet(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    ProgramWorld world(channels);
    plat::Form form;
    form.SetClientSize(WindowWidth, WindowHeight);
    const auto start = std::chrono::steady_clock::now();
    int64_t runs = 0;
    for (auto _ : state) {
        std::unique_ptr<iuiSh_ChBank> sheet = world.OpenBank(form);
        benchmark::DoNotOptimize(sheet->Grid()->RowCount());
        ++runs;
    }
    if (runs > 0)
        g_bankSheetBuild[channels] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / double(runs);
    // The channels and the empty row.
    const int rows = channels + 1;
    state.counters["rows"] = rows;
    state.counters["per_row"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildBankSheet)->Arg(16)->Arg(64)->Arg(128)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond);

double g_bankSheetRepaint = 0;
double g_bankItemViewRepaint = 0;

// Repaints the widget into an image; the mean time per repaint.
double MeasureRepaint(benchmark::State& state, QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    const auto start = std::chrono::steady_clock::now();
    int64_t runs = 0;
    for (auto _ : state) {
        widget.render(&image);
        benchmark::ClobberMemory();
        ++runs;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return runs > 0 ? seconds / double(runs) : 0;
}

void BM_RepaintBankSheet(benchmark::State& state)
{
    ProgramWorld world(FullImageChannels);
    plat::Form form;
    form.SetClientSize(WindowWidth, WindowHeight);
    std::unique_ptr<iuiSh_ChBank> sheet = world.OpenBank(form);
    form.Show();
    const cuiGrid& grid = *sheet->Grid();
    const int cells = (grid.LastVisibleCol() + 1) * (grid.LastVisibleRow() + 1);
    g_bankSheetRepaint = MeasureRepaint(state, *sheet->Grid()->Widget());
    state.counters["cells"] = cells;
    state.counters["per_cell"] = benchmark::Counter(static_cast<double>(cells),
                                                    benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RepaintBankSheet)->Unit(benchmark::kMicrosecond);

void BM_RepaintBankItemView(benchmark::State& state)
{
    // The texts the engine gives the sheet's cells, in a plain item view
    // of the same size, columns and rows.
    ProgramWorld world(FullImageChannels);
    plat::Form form;
    form.SetClientSize(WindowWidth, WindowHeight);
    std::unique_ptr<iuiSh_ChBank> sheet = world.OpenBank(form);
    indActiveCell engine;
    QTableWidget table;
    FillItemView(table, *sheet->Grid(), [&](int c, int r) {
        cmcCellCapsule capsule;
        capsule.Owner = sheet->Grid();
        capsule.Cell = &sheet->CellAt(c, r);
        capsule.Sheet = sheet.get();
        engine.Exec(&capsule, 0);
        return capsule.Text;
    });
    g_bankItemViewRepaint = MeasureRepaint(state, table);
}
BENCHMARK(BM_RepaintBankItemView)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_bankSheetBuild.size() >= 2) {
        // The sheet always prepares its full grid; what a channel more adds
        // is the slope between the smallest and the largest bank.
        const auto& [fewest, fewTime] = *g_bankSheetBuild.begin();
        const auto& [most, mostTime] = *g_bankSheetBuild.rbegin();
        std::printf("bank channel sheet build: %.2f ms for %d channels, %.2f ms for %d; each further row %.2f us\n",
                    fewTime * 1000, fewest, mostTime * 1000, most, (mostTime - fewTime) / (most - fewest) * 1e6);
        // The slope between each size and the next: flat when a row costs
        // the same however many the bank has.
        for (auto at = g_bankSheetBuild.begin(), next = std::next(at); next != g_bankSheetBuild.end(); ++at, ++next)
            std::printf("  %3d to %3d channels: %.2f us per further row\n", at->first, next->first,
                        (next->second - at->second) / (next->first - at->first) * 1e6);
    }
    if (g_bankSheetRepaint > 0 && g_bankItemViewRepaint > 0)
        std::printf("repaint of the bank channel sheet: %.2f ms, plain item view %.2f ms, ratio %.2f (target at most 2)\n",
                    g_bankSheetRepaint * 1000, g_bankItemViewRepaint * 1000, g_bankSheetRepaint / g_bankItemViewRepaint);
    return 0;
}
