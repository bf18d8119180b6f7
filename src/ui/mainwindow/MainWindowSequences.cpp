// What the main window starts and ends: opening a source (with the dialog,
// dropped, or named on the command line), the preview, the export, Reset,
// the progress windows it owns, the status line (a source downmixed to
// stereo, bands that cannot act, missing tools) and shutdown.
#include "ui/mainwindow/MainWindow.h"

#include "core/equalizer/BandTable.h"
#include "core/presets/PresetFile.h"
#include "core/system/AppFolder.h"
#include "core/system/NativePath.h"
#include "core/system/OutputRefusal.h"
#include "core/system/OutputReplacement.h"
#include "core/system/ShortPath.h"
#include "ui/FileDialogs.h"
#include "ui/KeptStreamsQuestion.h"
#include "ui/ImportWindow.h"
#include "ui/ExportWindow.h"
#include "ui/PreviewWindow.h"
#include "ui/OpenSourceDialog.h"
#include "ui/mainwindow/BandPanel.h"
#include "ui/mainwindow/OptionsPanel.h"
#include "ui/mainwindow/PresetsController.h"
#include "ui/mainwindow/PreviewController.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <cstdio>

#include <sys/stat.h>

namespace {

const QString OneFile = QStringLiteral("drop or name a single audio or video file.");

// Why the paths cannot be opened, or empty text when they can.
QString RefusalOf(const QStringList &paths)
{
    if (paths.isEmpty())
        return QStringLiteral("Only a file on this computer can be opened: ") + OneFile;
    if (paths.size() > 1)
        return QStringLiteral("Brenvox opens one file at a time: ") + OneFile;
    struct stat file = {};
    if (::stat(NativePath::ToBytes(paths.constFirst()).constData(), &file) != 0)
        return QStringLiteral("%1 cannot be found.").arg(paths.constFirst());
    if (S_ISDIR(file.st_mode))
        return QStringLiteral("%1 is a folder: ").arg(QFileInfo(paths.constFirst()).fileName()) + OneFile;
    return QString();
}

// "49 to 65 (4K to 20K)"; one band is named alone. Bands count from 1, as
// on the command line and in preset files.
QString BandRange(int first, int last)
{
    if (first == last)
        return QStringLiteral("%1 (%2)").arg(first + 1).arg(BandTable::Caption(first).trimmed());
    return QStringLiteral("%1 to %2 (%3 to %4)")
        .arg(first + 1)
        .arg(last + 1)
        .arg(BandTable::Caption(first).trimmed(), BandTable::Caption(last).trimmed());
}

// A closed window may outlive its close while its tool stops; the next
// sequence gets a fresh one.
template<class Window>
Window *UnlessClosing(Window *window)
{
    return window && !window->Closing() ? window : nullptr;
}

} // namespace

ImportWindow *MainWindow::CurrentImportWindow() const
{
    return UnlessClosing(mImportWindow.data());
}

ExportWindow *MainWindow::CurrentExportWindow() const
{
    return UnlessClosing(mExportWindow.data());
}

ImportWindow *MainWindow::OpenImportWindow()
{
    if (!CurrentImportWindow())
        mImportWindow = new ImportWindow(this);
    return mImportWindow;
}

ExportWindow *MainWindow::OpenExportWindow()
{
    if (!CurrentExportWindow())
        mExportWindow = new ExportWindow(this);
    return mExportWindow;
}

void MainWindow::CloseImportWindow()
{
    if (ImportWindow *window = CurrentImportWindow())
        window->close();
}

void MainWindow::CloseExportWindow()
{
    if (ExportWindow *window = CurrentExportWindow())
        window->close();
}

void MainWindow::OpenSourceFile()
{
    // One import at a time: a second one would split into the same
    // channel files while the first still writes them.
    if (SequenceRunning() || !Ready())
        return;

    ShowFileDialog(this, OpenSourceDialogRequest(), [this](const QString &chosen) { OpenSource(chosen); });
}

void MainWindow::OpenSource(const QString &chosen)
{
    if (SequenceRunning() || !Ready())
        return;
    // A window still showing an earlier failure makes way for a fresh one,
    // whose load step clears the failure from its labels.
    if (CurrentImportWindow() && CurrentImportWindow()->Failed())
        CloseImportWindow();

    // The session keeps the open source until the new one is imported; the
    // path box shows the choice while it is imported.
    const QString source = GetShortPath(chosen);
    mSourcePath->setText(source);
    ImportWindow *importWindow = OpenImportWindow();
    importWindow->show();
    importWindow->Label1[1]->setText(source);
    importWindow->ScheduleImport(source);
}

void MainWindow::ShowOpenSource()
{
    mSourcePath->setText(mSession.SourceFile());
}

bool MainWindow::OpenGivenFiles(const QStringList &paths)
{
    if (!Ready()) {
        ShowStatus(QStringLiteral("Wait until the window has loaded."));
        return false;
    }
    if (SequenceRunning()) {
        ShowStatus(QStringLiteral("Wait until the running import, preview or export has ended."));
        return false;
    }
    const QString refusal = RefusalOf(paths);
    if (!refusal.isEmpty()) {
        ShowStatus(refusal);
        return false;
    }
    OpenSource(paths.constFirst());
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // Anything may come in; what cannot be opened is refused with a reason
    // on the drop, rather than with a silent "no entry" cursor.
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    bool allLocal = event->mimeData()->hasUrls();
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << NativePath::Resolve(url.toLocalFile());
        else
            allLocal = false;
    }
    if (!allLocal)
        paths.clear();
    event->acceptProposedAction();
    OpenGivenFiles(paths);
}

void MainWindow::SaveOutputAs()
{
    // The export writes the same channel files as the preview and reads
    // those of the import: one tool sequence at a time.
    if (SequenceRunning())
        return;

    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = QStringLiteral("Save As");
    SetSaveFileTypes(request);
    request.confirmOverwrite = true;

    ShowFileDialog(this, request, [this](const QString &fileName) {
        AskBeforeLeavingOut(this, mSession, fileName, [this, fileName] { ExportTo(fileName); });
    });
}

void MainWindow::ExportTo(const QString &fileName)
{
    // Another sequence may have started while the dialog was open.
    if (SequenceRunning())
        return;

    // The window of a finished export makes way for the new one.
    CloseExportWindow();

    Session &shared = mSession;
    const QString refusal = OutputRefusal(fileName, {shared.SourceFile()});
    if (!refusal.isEmpty()) {
        shared.SetOutputFile(QString());
        ExportWindow *form = OpenExportWindow();
        form->RefuseOutput(refusal);
        form->Label1[1]->setText(fileName);
        form->show();
        return;
    }

    // The dialog asked before a file there is replaced; one that appears
    // later was never agreed to.
    struct stat existing = {};
    const bool replaceExisting = ::lstat(NativePath::ToBytes(fileName).constData(), &existing) == 0;
    // Making the private folder beside the target is the check that the
    // export can write there; the target itself is left alone until the
    // result is complete.
    QString problem;
    const auto temporary = OutputReplacement::TemporaryOutput::Create(fileName, &problem);
    shared.SetOutputFile(temporary ? NativePath::Absolute(fileName) : QString());

    ExportWindow *form = OpenExportWindow();
    if (temporary)
        form->SetTemporaryOutput(temporary, replaceExisting);
    else
        form->RefuseOutput(QStringLiteral("The output file could not be created: ") + problem);
    form->Label1[1]->setText(shared.OutputFile());
    form->show();
}

void MainWindow::StartPreview(int channel)
{
    mPreview->Start(channel);
}

void MainWindow::StopPreview()
{
    mPreview->Stop();
}

void MainWindow::ResetEqualizer()
{
    StopPreview();
    CloseExportWindow();
    CloseImportWindow();
    // The source stays open through Reset, so the path box keeps naming it.
    ShowOpenSource();
    mOptions->SelectPreviewChannel(0);
    PreviewChannelChosen(0);
    mSession.Reset();
}

void MainWindow::ShowStatus(const QString &text)
{
    mStatusLine->setText(text);
    mStatusLine->setToolTip(text);
}

void MainWindow::ShowSourceBands()
{
    const int sampleRate = mSession.SourceSampleRate();
    int firstInactive = -1;
    for (int band = 0; band < BandTable::BandCount; ++band) {
        if (!BandTable::ActsAtSampleRate(band, sampleRate) && firstInactive < 0)
            firstInactive = band;
    }
    // The bands are ordered by frequency: the inactive ones are the top ones.
    QStringList notes{mSession.SourceNote()};
    if (firstInactive >= 0)
        notes << QStringLiteral("This source is sampled at %1 Hz: bands %2 have no effect on it.")
                     .arg(sampleRate)
                     .arg(BandRange(firstInactive, BandTable::LastBand));
    notes.removeAll(QString());
    mSourceStatus = notes.join(QLatin1String("  "));
    ShowBandwidthBands();
}

void MainWindow::ShowBandwidthBands()
{
    const int sampleRate = mSession.SourceSampleRate();
    const int bandwidth = mSession.Settings().bandwidth;
    int first = -1;
    int last = -1;
    mBands->ShowActingBands(sampleRate, bandwidth);
    for (int band = 0; band < BandTable::BandCount; ++band) {
        const bool acts = BandTable::BandActs(band, sampleRate, bandwidth);
        if (acts || !BandTable::ActsAtSampleRate(band, sampleRate))
            continue;
        if (first < 0)
            first = band;
        last = band;
    }
    mBandwidthStatus = first < 0
        ? QString()
        : QStringLiteral("At a bandwidth of %1, bands %2 cannot act at %3 Hz and are left out.")
              .arg(OptionsPanel::BandwidthText(bandwidth))
              .arg(BandRange(first, last))
              .arg(sampleRate);
    ShowNotes();
}

void MainWindow::ShowNotes()
{
    QStringList notes{mToolStatus, mSourceStatus, mBandwidthStatus};
    notes.removeAll(QString());
    ShowStatus(notes.join(QLatin1String("  ")));
}

void MainWindow::CheckTools()
{
    QStringList missing;
    for (const char *tool : {"ffmpeg", "ffprobe", "ffplay"}) {
        const QString name = QLatin1String(tool);
        if (!QFileInfo(ToolFolder(name) + QLatin1Char('/') + name).isExecutable())
            missing << name;
    }
    mToolStatus = missing.isEmpty()
        ? QString()
        : QStringLiteral("Not found: %1. Looked in %2. Install Debian's ffmpeg package.")
              .arg(missing.join(QLatin1String(", ")), ToolSearchFolders().join(QLatin1String(", ")));
    ShowNotes();
}

void MainWindow::CleanUnload()
{
    // close() below comes back here through closeEvent.
    static bool unloading = false;
    if (unloading)
        return;
    unloading = true;

    // "Last settings" offers them at the next start; start-up itself stays
    // flat. No window is left to tell a failure in, so standard error does.
    const QString lastSettings = PresetsController::LastSettingsPath();
    QString message;
    if (!QDir().mkpath(QFileInfo(lastSettings).absolutePath()))
        message = QStringLiteral("Cannot save the preset %1: its folder cannot be made.").arg(lastSettings);
    else
        PresetFile::Save(lastSettings, mSession.Settings(), &message);
    if (!message.isEmpty()) {
        std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
        std::fflush(stderr);
    }

    // Each window stops its own tool as it closes; ExportWindow also removes an
    // output file whose export has not completed.
    CloseExportWindow();
    CloseImportWindow();
    StopPreview();
    close();
    // Nothing is asked, not even while an export runs.
    QCoreApplication::quit();

    unloading = false;
}
