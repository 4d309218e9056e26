// The drawing grid against a plain Qt item view: a full repaint of 30
// columns x 60 rows of short texts in view (a channel sheet on a large
// screen), both rendered into an image of the same size. The grid draws
// each cell through its handler and canvas, as a sheet does (background,
// then the text); the item view shows the same texts from a standard model.
// Target: the grid takes at most twice the item view's time.
#include "platform/base/Canvas.h"
#include "platform/base/Fatal.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kCols = 30;
constexpr int kRows = 60;
constexpr int kCellWidth = 48;
constexpr int kCellHeight = 16;
constexpr int kWidth = kCols * kCellWidth;
constexpr int kHeight = kRows * kCellHeight;
constexpr int kFontPixels = 11;

// The texts of a channel sheet: numbers, frequencies, tone codes, names.
std::string CellText(int col, int row)
{
    char text[16];
    switch (col % 5) {
    case 0: std::snprintf(text, sizeof text, "%d", row + 1); break;
    case 1: std::snprintf(text, sizeof text, "%d.%03d", 146 + row % 30, 100 + (row * 25) % 900); break;
    case 2:
        if (row % 3 == 0)
            std::snprintf(text, sizeof text, "Off");
        else
            std::snprintf(text, sizeof text, "D%03dN", 23 + row % 7);
        break;
    case 3: std::snprintf(text, sizeof text, "CH%d", row); break;
    default: std::snprintf(text, sizeof text, "%s", row % 2 == 0 ? "Wide" : "Narrow"); break;
    }
    return text;
}

double g_gridNs = 0;
double g_viewNs = 0;

// Times the loop of one run of a benchmark (the last run is the one
// reported).
template <typename Fn>
double TimedLoop(benchmark::State& state, Fn&& fn)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) fn();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::nano>(elapsed).count() / static_cast<double>(state.iterations());
}

void DrawGridFullRepaint(benchmark::State& state)
{
    plat::Form form;
    form.SetClientSize(kWidth, kHeight);
    auto* grid = new plat::DrawGrid(form);
    grid->SetScrollBars(plat::ssNone);
    grid->SetBounds(0, 0, kWidth, kHeight);
    grid->SetColCount(kCols);
    grid->SetRowCount(kRows);
    grid->SetDefaultColWidth(kCellWidth);
    grid->SetDefaultRowHeight(kCellHeight);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    plat::Font font;
    font.height = -kFontPixels;
    grid->SetFont(font);
    std::vector<std::string> texts;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) texts.push_back(CellText(c, r));
    int drawn = 0;
    grid->OnDrawCell = [&](int col, int row, const plat::Rect& rect, plat::GridDrawState state) {
        plat::Canvas& canvas = grid->GetCanvas();
        canvas.GetBrush() = {(state & plat::gdFixed) != 0 ? plat::clBtnFace : plat::clWindow, plat::bsSolid};
        canvas.FillRect(rect);
        canvas.GetBrush().style = plat::bsClear;
        canvas.GetFont().color = plat::clWindowText;
        canvas.TextOut(rect.left + 4, rect.top + 1, texts[static_cast<size_t>(row * kCols + col)]);
        ++drawn;
    };
    form.Show();
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    g_gridNs = TimedLoop(state, [&] {
        grid->Widget()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    });
    if (drawn < kCols * kRows) state.SkipWithError("not every cell was drawn");
    state.counters["cells"] = kCols * kRows;
}

void ItemViewFullRepaint(benchmark::State& state)
{
    QStandardItemModel model(kRows, kCols);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) model.setItem(r, c, new QStandardItem(QString::fromStdString(CellText(c, r))));
    QTableView view;
    view.setModel(&model);
    view.horizontalHeader()->hide();
    view.verticalHeader()->hide();
    view.setShowGrid(false);
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.horizontalHeader()->setMinimumSectionSize(1);
    view.verticalHeader()->setMinimumSectionSize(1);
    view.horizontalHeader()->setDefaultSectionSize(kCellWidth);
    view.verticalHeader()->setDefaultSectionSize(kCellHeight);
    QFont font = view.font();
    font.setPixelSize(kFontPixels);
    view.setFont(font);
    view.resize(kWidth, kHeight);
    view.show();
    QApplication::processEvents();
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    g_viewNs = TimedLoop(state, [&] {
        view.render(&image);
        benchmark::DoNotOptimize(image.bits());
    });
    state.counters["cells"] = kCols * kRows;
}

} // namespace

BENCHMARK(DrawGridFullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(ItemViewFullRepaint)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    plat::SetProgramFileName(argv[0]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_gridNs > 0 && g_viewNs > 0)
        std::printf("Full repaint of %d x %d cells: grid %.0f us, item view %.0f us, ratio %.2f (target at most 2)\n",
                    kCols, kRows, g_gridNs / 1000, g_viewNs / 1000, g_gridNs / g_viewNs);
    return 0;
}
