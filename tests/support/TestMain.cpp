// Shared main of the test programs: an application object for Qt timers and
// windows (offscreen), and fatal errors that throw instead of ending the run.
#include "platform/base/Fatal.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    plat::SetProgramFileName(argv[0]);
    plat::SetFatalHandler([](const std::string& message) { throw plat::FatalError(message); });
    return RUN_ALL_TESTS();
}
