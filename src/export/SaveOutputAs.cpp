// The main window's "Save As": asks for the output file and opens Form3,
// which runs the export.
#include "app/FileDialogs.h"
#include "app/Form1.h"
#include "app/SharedState.h"
#include "export/Form3.h"
#include "export/OutputReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include <sys/stat.h>

namespace {

// One file under any of its names: the path itself, a link or a hard link.
bool SameFile(const QString &first, const QString &second)
{
    if (first.isEmpty() || second.isEmpty())
        return false;
    struct stat a;
    struct stat b;
    return ::stat(QFile::encodeName(first).constData(), &a) == 0
        && ::stat(QFile::encodeName(second).constData(), &b) == 0
        && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

void Form1::SaveOutputAs()
{
    // The export writes the same channel files as the preview and reads
    // those of the import: one tool sequence at a time.
    if (SequenceRunning())
        return;

    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = QStringLiteral("Save As");
    // Qt's dialog matches the patterns regardless of letter case; on Linux
    // "*.*" would hide names without a dot. A name without an extension
    // gets ".wav".
    request.nameFilters = {QtNameFilter(QStringLiteral("Wav Files (*.wav)"), QStringLiteral("*.WAV")),
                           QtNameFilter(QStringLiteral("MP3 Files (*.mp3)"), QStringLiteral("*.MP3")),
                           QtNameFilter(QStringLiteral("All Files (*.*)"), QStringLiteral("*"))};
    request.selectedNameFilter = request.nameFilters.constFirst();
    request.defaultSuffix = QStringLiteral("wav");
    request.confirmOverwrite = true;

    const QString fileName = ShowFileDialog(this, request);
    if (fileName.isEmpty())
        return;

    // The window of a finished export makes way for the new one.
    Form3::UnloadIfLoaded();

    SharedState &shared = Shared();
    // The original would be gone for good, most likely picked by mistake.
    if (SameFile(fileName, shared.SourceFile)) {
        shared.OutputFile.clear();
        Form3 *form = Form3::Load(this);
        form->RefuseOutput(
            QStringLiteral("The source file cannot be overwritten: choose another output file."));
        form->Label1[1]->setText(fileName);
        form->show();
        return;
    }

    // Creating the temporary file beside the target is the check that the
    // export can write there; the target itself is left alone until the
    // result is complete.
    const QString temporary = OutputReplacement::CreateTemporaryOutput(fileName);
    shared.OutputFile = temporary.isEmpty() ? QString() : QFileInfo(fileName).absoluteFilePath();

    Form3 *form = Form3::Load(this);
    if (!temporary.isEmpty())
        form->SetTemporaryOutput(temporary);
    form->Label1[1]->setText(shared.OutputFile);
    form->show();
}
