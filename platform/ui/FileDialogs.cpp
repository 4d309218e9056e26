#include "platform/ui/FileDialogs.h"

#include "platform/ui/Form.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/TestHooks.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

// Qt name filters from "description|pattern|...": "description (masks)".
QStringList NameFilters(const std::string& filter)
{
    QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString masks = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' ')).trimmed();
        // A description that already names its masks in brackets keeps them
        // once.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && description.endsWith(QLatin1Char(')'))) {
            const QString named = description.mid(open + 1, description.size() - open - 2).replace(QLatin1Char(';'), QLatin1Char(' '));
            if (named.simplified() == masks.simplified()) description = description.left(open).trimmed();
        }
        filters << description + QStringLiteral(" (") + masks + QLatin1Char(')');
    }
    return filters;
}

QWidget* DialogParent(const Control* owner)
{
    if (owner != nullptr)
        if (const Form* form = owner->ParentForm()) return form->Widget();
    return QApplication::activeWindow();
}

std::optional<std::string> AskUser(const FileDialog& d, bool save, const Control* owner)
{
    FileDialogRecord record{save, d.title, d.filter, d.defaultExt, d.initialDir, d.fileName};
    if (ScopedDialogScript* script = ScopedDialogScript::Current()) return script->TakeFile(record);
    const QString title = ToQString(d.title.empty() ? (save ? "Save As" : "Open") : d.title);
    QFileDialog dialog(DialogParent(owner), title, ToQString(d.initialDir));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true); // asked below, as for every answer
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!d.filter.empty()) dialog.setNameFilters(NameFilters(d.filter));
    if (!d.defaultExt.empty()) dialog.setDefaultSuffix(ToQString(d.defaultExt));
    if (!d.fileName.empty()) dialog.selectFile(ToQString(d.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return FromQString(dialog.selectedFiles().front());
}

std::string WithDefaultExtension(const std::string& path, const std::string& ext)
{
    if (ext.empty()) return path;
    const size_t slash = path.find_last_of('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.find('.') != std::string::npos) return path;
    return path + "." + ext;
}

// Read-only: nobody may write it, or this user may not.
bool ReadOnly(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    return (st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
}

std::string Caption(const FileDialog& d, bool save) { return d.title.empty() ? (save ? "Save As" : "Open") : d.title; }

} // namespace

bool ExecuteOpenDialog(FileDialog& dialog, const Control* owner)
{
    for (;;) {
        std::optional<std::string> picked = AskUser(dialog, false, owner);
        if (!picked) return false;
        std::string path = *picked;
        const QFileInfo as(ToQString(path));
        if (!as.exists()) path = WithDefaultExtension(path, dialog.defaultExt);
        const QFileInfo info(ToQString(path));
        if (!info.exists() || info.isDir()) {
            MessageBox(path + "\nFile not found.\nCheck the file name and try again.", Caption(dialog, false),
                       MB_OK | MB_ICONWARNING, owner);
            continue;
        }
        dialog.fileName = path;
        return true;
    }
}

bool ExecuteSaveDialog(FileDialog& dialog, const Control* owner)
{
    for (;;) {
        std::optional<std::string> picked = AskUser(dialog, true, owner);
        if (!picked) return false;
        const std::string path = WithDefaultExtension(*picked, dialog.defaultExt);
        const QFileInfo info(ToQString(path));
        if (info.isDir()) {
            MessageBox(path + " is a folder.\nChoose a file name.", Caption(dialog, true), MB_OK | MB_ICONWARNING, owner);
            continue;
        }
        if (info.exists()) {
            if (ReadOnly(path)) {
                MessageBox(path + " is read-only.\nChoose another name.", Caption(dialog, true), MB_OK | MB_ICONWARNING,
                           owner);
                continue;
            }
            if (MessageBox(path + " already exists.\nDo you want to replace it?", Caption(dialog, true),
                           MB_YESNO | MB_ICONWARNING, owner) != IDYES)
                continue;
        }
        dialog.fileName = path;
        return true;
    }
}

} // namespace plat
