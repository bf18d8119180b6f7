#include "ui/FileDialogs.h"

#include "core/system/NativePath.h"

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

void SetSaveFileTypes(FileDialogRequest &request)
{
    // Qt's dialog matches the patterns regardless of letter case; on Linux
    // "*.*" would hide names without a dot.
    static const struct
    {
        const char *label;
        const char *pattern;
        const char *suffix;
    } types[] = {
        {"Wav Files (*.wav)", "*.WAV", "wav"},
        {"MP3 Files (*.mp3)", "*.MP3", "mp3"},
        {"FLAC Files (*.flac)", "*.FLAC", "flac"},
        {"Opus Files (*.opus)", "*.OPUS", "opus"},
        {"Ogg Vorbis Files (*.ogg)", "*.OGG", "ogg"},
        {"M4A/AAC Files (*.m4a)", "*.M4A", "m4a"},
        {"AIFF Files (*.aiff)", "*.AIFF *.AIF", "aiff"},
        {"All Files (*.*)", "*", ""},
    };
    request.nameFilters.clear();
    request.filterSuffixes.clear();
    for (const auto &type : types) {
        request.nameFilters << QtNameFilter(QLatin1String(type.label), QLatin1String(type.pattern));
        request.filterSuffixes << QLatin1String(type.suffix);
    }
    request.selectedNameFilter = request.nameFilters.constFirst();
    request.defaultSuffix = QStringLiteral("wav");
}

void ShowFileDialog(QWidget *parent, const FileDialogRequest &request,
                    std::function<void(const QString &path)> chosen)
{
    if (Answer()) {
        const QString path = Answer()(request);
        if (!path.isEmpty())
            chosen(NativePath::Resolve(path));
        return;
    }

    auto *dialog = new QFileDialog(parent, request.title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Setting this option fills the file types anew and selects the first:
    // it goes before the selection.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setNameFilters(request.nameFilters);
    dialog->selectNameFilter(request.selectedNameFilter);
    dialog->setDefaultSuffix(request.defaultSuffix);
    // The dialog tells a chosen type by its label when the details are
    // hidden, and by the whole filter otherwise.
    const auto followFilter = [dialog, request](const QString &filter) {
        QString suffix;
        for (qsizetype i = 0; i < request.nameFilters.size(); ++i) {
            const QString &entry = request.nameFilters.at(i);
            if (entry == filter || entry.startsWith(filter + QLatin1String(" (")))
                suffix = request.filterSuffixes.value(i);
        }
        dialog->setDefaultSuffix(suffix.isEmpty() ? request.defaultSuffix : suffix);
    };
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, followFilter);
    followFilter(request.selectedNameFilter);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.directory.isEmpty())
        dialog->setDirectory(request.directory);
    QObject::connect(dialog, &QDialog::accepted, dialog, [dialog, chosen = std::move(chosen)] {
        const QStringList files = dialog->selectedFiles();
        // The dialog lists names that are no UTF-8 as Qt shows them.
        if (!files.isEmpty())
            chosen(NativePath::Resolve(files.constFirst()));
    });
    if (Watcher())
        Watcher()(*dialog);
    // open(), not exec(): no event loop of its own inside the caller.
    dialog->open();
}

void SetFileDialogAnswer(FileDialogAnswer answer)
{
    Answer() = std::move(answer);
}

void SetFileDialogWatcher(FileDialogWatcher watcher)
{
    Watcher() = std::move(watcher);
}
