#include "platform/ui/Application.h"

#include "platform/base/Font.h"

#include "platform/base/Fatal.h"
#include "platform/ui/FatalBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/TestHooks.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include <optional>

namespace plat {

namespace {
Application* g_instance = nullptr;
Form* g_mainForm = nullptr;
bool g_quitRequested = false;
std::optional<Rect> g_workArea;
std::optional<Size> g_screenSize;
int g_screenPixelsPerInch = ScreenPixelsPerInch;

std::optional<std::string> g_title; // none: the program's file name
} // namespace

Application::Application(int& argc, char** argv) : m_argc(argc)
{
    if (g_instance != nullptr) Fatal("The application object exists already.");
    g_instance = this;
    if (QCoreApplication::instance() == nullptr) m_app = std::make_unique<QApplication>(m_argc, argv);
    argc = m_argc;
    QGuiApplication::setQuitOnLastWindowClosed(false);
    InstallFatalMessageBox();
    SetUserMessageFunction([](const std::string& text, const std::string& caption, unsigned flags) {
        return MessageBox(text, caption, flags);
    });
    m_watcher = std::make_unique<QObject>();
    m_active = QGuiApplication::applicationState() == Qt::ApplicationActive;
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, m_watcher.get(), [this](Qt::ApplicationState state) {
        GuardHandler([&] { ActiveChanged(state == Qt::ApplicationActive); });
    });
}

void Application::ActiveChanged(bool active)
{
    if (active == m_active) return;
    m_active = active;
    std::function<void()> handler = active ? OnActivate : OnDeactivate;
    if (handler) handler();
}

Application::~Application()
{
    SetUserMessageFunction(nullptr);
    g_instance = nullptr;
    g_mainForm = nullptr;
    g_quitRequested = false;
}

Application* Application::Instance() { return g_instance; }

int Application::Run(Form& mainForm)
{
    g_mainForm = &mainForm;
    g_quitRequested = false;
    if (!mainForm.Visible()) mainForm.Show();
    int code = 0;
    if (g_mainForm != nullptr && !g_quitRequested) code = QApplication::exec();
    g_mainForm = nullptr;
    return code;
}

void Application::Quit(int exitCode)
{
    g_quitRequested = true;
    QCoreApplication::exit(exitCode);
}

bool QuitRequested() { return g_quitRequested; }

Form* RunningMainForm() { return g_mainForm; }

void MainFormGone(const Form* form)
{
    if (form == nullptr || form != g_mainForm) return;
    g_mainForm = nullptr;
    if (g_instance != nullptr) g_instance->Quit(0);
}

ScopedHourglass::ScopedHourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

ScopedHourglass::~ScopedHourglass() { QGuiApplication::restoreOverrideCursor(); }

bool HourglassShown()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

const std::string& ApplicationTitle() { return g_title ? *g_title : ProgramFileName(); }
void SetApplicationTitle(const std::string& title) { g_title = title; }

void ProcessMessages()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    RethrowKeptException();
}

std::optional<Rect> SetDesktopWorkArea(std::optional<Rect> area)
{
    std::optional<Rect> previous = g_workArea;
    g_workArea = area;
    return previous;
}

std::optional<Size> SetScreenSize(std::optional<Size> size)
{
    std::optional<Size> previous = g_screenSize;
    g_screenSize = size;
    return previous;
}

Size ScreenSize()
{
    if (g_screenSize) return *g_screenSize;
    if (QScreen* screen = QGuiApplication::primaryScreen()) return {screen->geometry().width(), screen->geometry().height()};
    return {1024, 768};
}

Size FullScreenClientSize()
{
    const Rect area = DesktopWorkArea();
    const int caption = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return {area.Width(), std::max(0, area.Height() - caption)};
}

int GetScreenPixelsPerInch() { return g_screenPixelsPerInch; }

void SetScreenPixelsPerInch(int pixelsPerInch) { g_screenPixelsPerInch = pixelsPerInch > 0 ? pixelsPerInch : 96; }

Rect DesktopWorkArea()
{
    if (g_workArea) return *g_workArea;
    if (QScreen* screen = QGuiApplication::primaryScreen()) return FromQRect(screen->availableGeometry());
    return {0, 0, 1024, 768};
}

} // namespace plat
