#include "platform/ui/FatalBox.h"

#include "platform/base/Fatal.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace plat {

void InstallFatalMessageBox()
{
    SetFatalPresenter([](const std::string& caption, const std::string& message) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
            QMessageBox::critical(nullptr, QString::fromUtf8(caption), QString::fromUtf8(message));
    });
}

} // namespace plat
