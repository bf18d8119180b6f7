#include "ui/FileDialogs.h"

#include <QFileDialog>

namespace {

FileDialogAnswer &Answer()
{
    static FileDialogAnswer answer;
    return answer;
}

FileDialogWatcher &Watcher()
{
    static FileDialogWatcher watcher;
    return watcher;
}

} // namespace

QString QtNameFilter(const QString &label, const QString &pattern)
{
    return label + QLatin1String(" (") + pattern + QLatin1Char(')');
}

QString ShowFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    if (Answer())
        return Answer()(request);

    QFileDialog dialog(parent, request.title);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Setting this option fills the file types anew and selects the first:
    // it goes before the selection.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.nameFilters);
    dialog.selectNameFilter(request.selectedNameFilter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
    if (Watcher())
        Watcher()(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void SetFileDialogAnswer(FileDialogAnswer answer)
{
    Answer() = std::move(answer);
}

void SetFileDialogWatcher(FileDialogWatcher watcher)
{
    Watcher() = std::move(watcher);
}
