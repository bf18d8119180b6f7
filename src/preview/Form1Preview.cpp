// The main window's "Preview": one channel straight through ffplay, or the
// both-channel preview job (both rendered at once, merged, played) with
// Form4 showing its steps.
#include "app/AppFolder.h"
#include "app/Form1.h"
#include "app/SharedState.h"
#include "preview/ChannelCommands.h"
#include "preview/Form4.h"
#include "jobs/PreviewJob.h"
#include "preview/RunFailure.h"
#include "process/DOSOutputs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>

namespace {

// Form4 and its log show the job; the main window may go while it runs.
class PreviewWindows : public PreviewObserver
{
public:
    PreviewWindows(Form1 *owner, Form4 *window, QEventLoop *loop)
        : mOwner(owner), mWindow(window), mLoop(loop)
    {
    }

    void ShowStep(const QString &step, const QString &overallProgress, int bar) override
    {
        if (mWindow)
            mWindow->ShowStep(step, overallProgress, bar);
    }

    void ShowOutput(const QString &chunk) override
    {
        QString copy = chunk;
        if (mOwner)
            mOwner->objDOS_ReceiveOutputs(copy);
    }

    void ShowFailure(const QString &said) override
    {
        failed = true;
        if (mWindow)
            mWindow->ShowFailure(said);
    }

    void PreviewEnded(bool) override { mLoop->quit(); }

    bool failed = false;

private:
    QPointer<Form1> mOwner;
    QPointer<Form4> mWindow;
    QEventLoop *mLoop;
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

    SharedState &shared = Shared();
    const QString playerFolder = ToolFolder(QStringLiteral("ffplay"));
    const JobPaths workspace = JobPaths::InWorkspace();
    shared.LeftSourceWav = workspace.LeftSourceWav;
    shared.RightSourceWav = workspace.RightSourceWav;

    if (IntChanel == 0 || IntChanel == 1) {
        // A runner that was replaced or released must no longer write into the log.
        const std::shared_ptr<DOSOutputs> runner =
            StartCurrentRunner(objDOS, this, &Form1::objDOS_ReceiveOutputs);
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
    if (IntChanel != 2)
        return;

    PreviewRequest request;
    request.paths = workspace; // and its mix file
    TakeChannelRenders(request);
    request.playerFolder = playerFolder;

    QPointer<Form4> form = Form4::Load(this);
    // Stop, Reset, another preview choice and closing Form4 or the main
    // window end the preview while it waits: they close Form4, which
    // cancels the job, and Form4 must not stay behind on a step that never
    // ends.
    QCoreApplication::processEvents();
    if (!self || !form || form != Form4::Loaded()) {
        if (form && form == Form4::Loaded())
            form->close();
        return;
    }
    form->show();

    QEventLoop loop;
    PreviewWindows windows(this, form, &loop);
    PreviewJob job(request, &windows);
    form->WatchJob(&job);
    job.Start();
    if (job.IsRunning())
        loop.exec();
    // After a failure Form4 stays to say why; otherwise it goes.
    if (!windows.failed && form && form == Form4::Loaded())
        form->close();
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
