// Form2's inspection: the duration probe, the channel split and the
// re-application of the band settings, with the failures it reports.
#include "import/Form2.h"

#include "app/AppFolder.h"
#include "app/Form1.h"
#include "app/SharedState.h"
#include "app/Twips.h"
#include "import/ImportCommands.h"
#include "import/ToolOutputFacts.h"
#include "process/DOSOutputs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>

void Form2::GetSourceDuration()
{
    PBar->setValue(25);
    // A new source's import must leave nothing of the previous source
    // behind when it fails: neither its duration nor its channel files,
    // which the preview and the export would otherwise use silently.
    Shared().SourceDuration.clear();
    Shared().SourceSampleRate = 0;
    if (mOwner)
        mOwner->ShowSourceBands();
    QFile::remove(Shared().LeftSourceWav);
    QFile::remove(Shared().RightSourceWav);

    if (Shared().SourceFile.isEmpty()) {
        ShowFailure(QStringLiteral("Searching Failed"),
                    QStringLiteral("The chosen file cannot be found"));
        return;
    }

    if (!RunTool(ImportCommands::ProbeCommand(ToolFolder(QStringLiteral("ffprobe")), Shared().SourceFile)))
        return;
    if (!ToolSucceeded(QStringLiteral("ffprobe"), QStringLiteral("Searching Failed")))
        return;
    PBar->setValue(50);
    SetBothStatus(QStringLiteral("Search Audio Data"));

    if (!ToolOutputFacts::HasAudioStream(mOutput.Lines())) {
        ShowFailure(QStringLiteral("Searching Failed"),
                    QStringLiteral("The source holds no audio"));
        return;
    }
    // Bands at or above half the rate are left out of the chains that the
    // re-application after the split builds.
    Shared().SourceSampleRate = ToolOutputFacts::AudioSampleRate(mOutput.Lines());
    GetAudioData();
}

void Form2::GetAudioData()
{
    SetBothStatus(QStringLiteral("Extracting Chanel Data"));
    const QString split = ImportCommands::SplitCommand(
        ToolFolder(QStringLiteral("ffmpeg")), Shared().SourceFile, Shared().LeftSourceWav,
        Shared().RightSourceWav);
    if (!RunTool(split)) {
        // Closed mid-split: the channel files would hold only the start of
        // the source, which the preview and the export must never take for
        // the whole of it. Nothing of this window is touched: it may be gone.
        QFile::remove(Shared().LeftSourceWav);
        QFile::remove(Shared().RightSourceWav);
        return;
    }
    const QString failed = QStringLiteral("Extracting Chanel Data Failed");
    if (!ToolSucceeded(QStringLiteral("ffmpeg"), failed) || !ChannelFilesWritten())
        return;

    SetBothStatus(QStringLiteral("Extracting Chanel Data Complete"));
    PBar->setValue(80);
    objDOS.reset();

    // The band settings made before the import stay in force for the new
    // source: each band does what a user's move of its slider does.
    if (mOwner) {
        mOwner->ReapplyAllBands();
        mOwner->ShowSourceBands();
    }
    Timer2->start();
}

void Form2::objDOS_ReceiveOutputs(QString &CommandOutputs)
{
    QPointer<Form2> self(this);
    QCoreApplication::processEvents();
    if (!self || mClosed)
        return;
    PBar->setValue(75);
    if (mOutput.Feed(CommandOutputs))
        Shared().SourceDuration = mOutput.Duration();
}

bool Form2::RunTool(const QString &command)
{
    if (!objDOS) {
        objDOS = DOSOutputs::Create();
        connect(objDOS.get(), &DOSOutputs::ReceiveOutputs, this, &Form2::objDOS_ReceiveOutputs);
    }
    mOutput.Start();
    // The runner outlives this window if the window goes while it runs.
    const std::shared_ptr<DOSOutputs> runner = objDOS;
    runner->SetCommandLine(command);
    QPointer<Form2> self(this);
    runner->ExecuteCommand(QString());
    return self && !mClosed;
}

bool Form2::ToolSucceeded(const QString &tool, const QString &heading)
{
    const QString toolPath = ToolFolder(tool) + QLatin1Char('/') + tool;
    switch (objDOS->LastRunEnd()) {
    case DOSOutputs::RunEnd::Finished:
        break;
    case DOSOutputs::RunEnd::FailedToStart:
        ShowFailure(heading, QStringLiteral("Cannot run %1").arg(toolPath));
        return false;
    case DOSOutputs::RunEnd::Stopped:
    case DOSOutputs::RunEnd::None:
        ShowFailure(heading, QStringLiteral("%1 did not run to its end").arg(tool));
        return false;
    }
    if (objDOS->ExitCode() == 0)
        return true;
    QString reason = ToolOutputFacts::LastErrorLine(mOutput.Lines(), Shared().SourceFile);
    if (reason.isEmpty())
        reason = QStringLiteral("%1 ended with exit code %2").arg(tool).arg(objDOS->ExitCode());
    ShowFailure(heading, reason);
    return false;
}

bool Form2::ChannelFilesWritten()
{
    for (const QString &path : {Shared().LeftSourceWav, Shared().RightSourceWav}) {
        const QFileInfo file(path);
        if (!file.exists() || file.size() == 0) {
            ShowFailure(QStringLiteral("Extracting Chanel Data Failed"),
                        QStringLiteral("No audio was written to %1").arg(path));
            return false;
        }
    }
    return true;
}

void Form2::ShowFailure(const QString &heading, const QString &reason)
{
    mFailed = true;
    // What a failed split left behind is no sound copy of the source.
    QFile::remove(Shared().LeftSourceWav);
    QFile::remove(Shared().RightSourceWav);
    Label2[0]->setText(heading);
    // The reason is often longer than one status row: it takes the rows
    // down to the button, where the bar stood, and wraps.
    PBar->hide();
    Label2[1]->setWordWrap(true);
    Label2[1]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTwips(Label2[1], 2280, 1440, 3495, 690);
    Label2[1]->setText(reason);
    Label2[1]->setToolTip(reason);
    // The inspection has ended: "Open" may choose another source.
    MarkSequenceEnded();
}
