#include "platform/ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

namespace plat {

void SetClipboardText(const std::string& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string ClipboardText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text().toStdString() : std::string();
}

} // namespace plat
