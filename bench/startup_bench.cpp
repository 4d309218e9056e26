// Start-up of the cloning program, from the start of its process to the
// first painting of its main window, against a bare Qt program that shows a
// main window with the same kinds of widgets (menu bar, tool bar, tree,
// status bar and an empty grid). Each iteration starts this benchmark's own
// program in a child process in one of two modes and waits until the child
// reports that its window painted; the report ends with the ratio of the
// two means.
#include "model/ProgramEntry.h"
#include "model/TForm1.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* ChildFlag = "--startup-child=";

// Reports the first paint of a window on standard output and ends the
// program once the painting pass is over.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

int RunProgramChild(int argc, char** argv)
{
    plat::SetProgramFileName("QM7148H");
    plat::Application application(argc, argv);
    ProgramGlobals globals(QM_PROGRAM_DIR);
    TForm1 form;
    FirstPaint watcher;
    form.Widget()->installEventFilter(&watcher);
    return application.Run(form);
}

QIcon SmallIcon(QColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

int RunBareChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Untitled - Bare");
    window.resize(720, 576);
    const char* menus[] = {"&File", "&Edit", "&View", "&Port", "&Model", "&Clone"};
    const int items[] = {15, 1, 11, 8, 2, 3};
    for (size_t m = 0; m < std::size(menus); ++m) {
        QMenu* menu = window.menuBar()->addMenu(menus[m]);
        for (int i = 0; i < items[m]; ++i) menu->addAction(QString("Item %1").arg(i));
    }
    QToolBar* bar = window.addToolBar("Tools");
    for (int i = 0; i < 10; ++i) {
        if (i == 3 || i == 7) bar->addSeparator();
        bar->addAction(SmallIcon(QColor(40 * i, 100, 200)), QString("Button %1").arg(i));
    }
    auto* split = new QSplitter(&window);
    auto* tree = new QTreeWidget(split);
    tree->setHeaderHidden(true);
    auto* root = new QTreeWidgetItem(tree, QStringList{"Radio (LMR)"});
    root->setIcon(0, SmallIcon(Qt::gray));
    // The radio, its memory channels, the bank operations and 128 banks.
    auto* memory = new QTreeWidgetItem(root, QStringList{"Memory Channels"});
    memory->setIcon(0, SmallIcon(Qt::gray));
    new QTreeWidgetItem(memory, QStringList{"Banks"});
    for (int b = 1; b <= 128; ++b) new QTreeWidgetItem(memory, QStringList{QString("Bank %1").arg(b)});
    root->setExpanded(true);
    tree->setCurrentItem(root);
    new QTableWidget(4, 2, split);
    split->setSizes({200, 500});
    window.setCentralWidget(split);
    window.statusBar()->showMessage(" ");
    window.show();
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    return app.exec();
}

struct Child {
    pid_t pid = -1;
    int out = -1;
};

Child StartChild(const char* mode)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::abort();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        const std::string flag = std::string(ChildFlag) + mode;
        execl(self.c_str(), self.c_str(), flag.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    close(pipeFds[1]);
    return {pid, pipeFds[0]};
}

// Waits for the child's report; false when it ended without one.
bool WaitForPaint(const Child& child)
{
    char buffer[64];
    std::string seen;
    for (;;) {
        const ssize_t n = read(child.out, buffer, sizeof buffer);
        if (n <= 0) return false;
        seen.append(buffer, size_t(n));
        if (seen.find("painted\n") != std::string::npos) return true;
    }
}

void EndChild(Child& child)
{
    close(child.out);
    int status = 0;
    if (waitpid(child.pid, &status, WNOHANG) == 0) {
        kill(child.pid, SIGKILL);
        waitpid(child.pid, &status, 0);
    }
}

double g_programMean = 0;
double g_bareMean = 0;

void MeasureStartup(benchmark::State& state, const char* mode, double& mean)
{
    double total = 0;
    int64_t runs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Child child = StartChild(mode);
        const bool painted = WaitForPaint(child);
        const auto end = std::chrono::steady_clock::now();
        state.PauseTiming();
        EndChild(child);
        state.ResumeTiming();
        if (!painted) {
            state.SkipWithError("the child ended without painting its window");
            break;
        }
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
        ++runs;
    }
    if (runs > 0) mean = total / double(runs);
}

void BM_StartupProgram(benchmark::State& state) { MeasureStartup(state, "program", g_programMean); }
void BM_StartupBareQt(benchmark::State& state) { MeasureStartup(state, "bare", g_bareMean); }

BENCHMARK(BM_StartupProgram)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_StartupBareQt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strncmp(argv[1], ChildFlag, std::strlen(ChildFlag)) == 0) {
        const std::string mode = argv[1] + std::strlen(ChildFlag);
        int childArgc = 1;
        if (mode == "program") return RunProgramChild(childArgc, argv);
        return RunBareChild(childArgc, argv);
    }
    // The child programs keep their settings and instance lock apart from
    // the user's.
    char folder[] = "/tmp/qm-startup-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) return 1;
    setenv("XDG_CONFIG_HOME", folder, 1);
    setenv("XDG_RUNTIME_DIR", folder, 1);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_programMean > 0 && g_bareMean > 0)
        std::printf("start-up to the first paint: program %.1f ms, bare Qt %.1f ms, ratio %.2f (target at most 1.5)\n",
                    g_programMean * 1000, g_bareMean * 1000, g_programMean / g_bareMean);
    std::filesystem::remove_all(folder);
    return 0;
}
