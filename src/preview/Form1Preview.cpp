// The main window's "Preview": one channel straight through ffplay, or both
// rendered, merged and played with Form4 showing the steps.
#include "app/AppFolder.h"
#include "app/Form1.h"
#include "app/SharedState.h"
#include "preview/ChannelCommands.h"
#include "preview/Form4.h"
#include "preview/RunFailure.h"
#include "process/DOSOutputs.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>

namespace {

struct PreviewStep
{
    const char *label;
    const char *overallProgress;
    int bar;
    const char *tool;
    QString command;
    QString output; // the file the step must leave, if any
};

} // namespace

void Form1::SoundPreviewing(qint16 IntChanel)
{
    // The preview writes the same channel files as the export and reads
    // those of the import: one tool sequence at a time.
    if (SequenceRunning())
        return;
    const QPointer<Form1> self(this);
    const SequenceScope sequence(this, true);

    // A runner that was replaced or released must no longer write into the log.
    const std::shared_ptr<DOSOutputs> runner =
        StartCurrentRunner(objDOS, this, &Form1::objDOS_ReceiveOutputs);

    SharedState &shared = Shared();
    const QString encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
    const QString playerFolder = ToolFolder(QStringLiteral("ffplay"));
    shared.LeftSourceWav = WorkspaceFile(QStringLiteral("Left.wav"));
    shared.RightSourceWav = WorkspaceFile(QStringLiteral("Right.wav"));
    const QString PreviewMixWav = WorkspaceFile(QStringLiteral("LR.wav"));

    if (IntChanel == 0 || IntChanel == 1) {
        const bool left = IntChanel == 0;
        runner->SetCommandLine(ChannelCommands::PlayChannel(
            playerFolder, left ? shared.LeftSourceWav : shared.RightSourceWav,
            left ? shared.LeftVolume : shared.RightVolume,
            left ? shared.LeftFilterChain : shared.RightFilterChain));
        runner->ExecuteCommand();
        if (!self || objDOS != runner)
            return; // stopped
        objDOS.reset();
        if (runner->LastRunEnd() == DOSOutputs::RunEnd::Stopped)
            return;
        const QString failure = RunFailure(*runner, QStringLiteral("ffplay"));
        if (!failure.isEmpty()) {
            // Modeless, so a missing audio device never blocks the window.
            auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Preview"),
                                        QStringLiteral("The preview could not be played.\n\n")
                                            + failure,
                                        QMessageBox::Ok, this);
            box->setObjectName(QStringLiteral("PreviewFailure"));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setModal(false);
            box->show();
        }
        return;
    }
    if (IntChanel != 2) {
        objDOS.reset();
        return;
    }

    const std::vector<PreviewStep> steps{
        {"Creating Temp Left Chanel Audio.", "Overall Progress 0 % Complete", 2, "ffmpeg",
         ChannelCommands::RenderChannel(encoderFolder, shared.LeftSourceWav, shared.LeftVolume,
                                        shared.LeftFilterChain, shared.LeftOutWav),
         shared.LeftOutWav},
        {"Creating Temp Right Chanel Audio.", "Overall Progress 33 % Complete", 33, "ffmpeg",
         ChannelCommands::RenderChannel(encoderFolder, shared.RightSourceWav, shared.RightVolume,
                                        shared.RightFilterChain, shared.RightOutWav),
         shared.RightOutWav},
        {"Merging Left and Right Chanels.", "Overall Progress 66 % Complete", 66, "ffmpeg",
         ChannelCommands::MergeForPreview(encoderFolder, shared.LeftOutWav, shared.RightOutWav,
                                          PreviewMixWav),
         PreviewMixWav},
        {"Starting Audio Preview.", "Overall Progress 99 % Complete", 99, "ffplay",
         ChannelCommands::PlayMix(playerFolder, PreviewMixWav), QString()},
    };

    QPointer<Form4> form = Form4::Load(this);
    // Stop, Reset, another preview choice and closing Form4 or the main
    // window end the preview while it waits: its tool has stopped, and no
    // later step may run nor Form4 stay behind on a step that never ends.
    const auto endedMeanwhile = [&] {
        const bool current = self && objDOS == runner;
        if (current && form && form == Form4::Loaded()
            && runner->LastRunEnd() != DOSOutputs::RunEnd::Stopped)
            return false;
        if (current)
            objDOS.reset();
        if (form && form == Form4::Loaded())
            form->close();
        return true;
    };
    QCoreApplication::processEvents();
    if (endedMeanwhile())
        return;
    form->show();

    form->WatchRunner(runner);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const PreviewStep &step = steps[i];
        if (i > 0) {
            QCoreApplication::processEvents();
            if (endedMeanwhile())
                return;
        }
        form->ShowStep(QLatin1String(step.label), QLatin1String(step.overallProgress), step.bar);
        // A stale file from an earlier run must never pass for this run's.
        if (!step.output.isEmpty())
            QFile::remove(step.output);
        runner->SetCommandLine(step.command);
        runner->ExecuteCommand();
        if (endedMeanwhile())
            return;
        const QString failure = RunFailure(*runner, QLatin1String(step.tool), step.output);
        if (!failure.isEmpty()) {
            form->ShowFailure(QLatin1String(step.label).chopped(1) + QLatin1String(" failed: ")
                              + failure);
            objDOS.reset();
            return;
        }
    }
    form->close();
    objDOS.reset();
}

void Form1::StopPreview()
{
    if (objDOS)
        objDOS->Stop();
    objDOS.reset();
    Form4::UnloadIfLoaded();
}

void Form1::objDOS_ReceiveOutputs(QString &CommandOutputs)
{
    if (Option3.size() < 3 || !Option3[2] || !Option3[2]->isChecked())
        return;
    QCoreApplication::processEvents();
    if (CommandOutputs.contains(QLatin1String("\r\n")))
        CommandOutputs.replace(QLatin1String("\r\n"), QLatin1String(" "));
    // A closed Form4 is not loaded again for a late chunk.
    if (Form4 *form = Form4::Loaded())
        form->AppendLog(CommandOutputs);
}
