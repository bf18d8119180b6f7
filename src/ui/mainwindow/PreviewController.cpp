#include "ui/mainwindow/PreviewController.h"

#include "jobs/PreviewJob.h"
#include "session/Session.h"
#include "ui/PreviewWindow.h"

#include <memory>

PreviewController::PreviewController(Session &session, QWidget *window)
    : QObject(window)
    , mSession(session)
    , mOwner(window)
{
}

// The window goes before its children: the preview window and its tool
// are stopped while the job can still hear it.
PreviewController::~PreviewController() = default;

PreviewWindow *PreviewController::Window() const
{
    // A closed window may outlive its close while its tool stops; the next
    // preview gets a fresh one.
    return mWindow && !mWindow->Closing() ? mWindow.data() : nullptr;
}

PreviewWindow *PreviewController::OpenWindow()
{
    if (!Window()) {
        mWindow = new PreviewWindow(mOwner);
        mWindow->show();
    }
    return mWindow;
}

void PreviewController::Start(int channel)
{
    // The preview reads the channel files the import writes: one tool
    // sequence at a time.
    if (mSession.SequenceRunning() || channel < 0 || channel > 2)
        return;
    PreviewWindow *window = OpenWindow();
    window->ShowPreview(qint16(channel), mSession.SourceDuration().trimmed().toDouble());
    window->show();
    mJob = mSession.NewPreview(qint16(channel));
    Watch(window, mJob.get());
    window->WatchJob(mJob.get());
    mJob->Start();
}

void PreviewController::Log(QString chunk)
{
    // The log follows only the preview of both channels; a closed PreviewWindow is
    // not opened again for a late chunk.
    PreviewWindow *window = Window();
    if (!window || mSession.PreviewChannel() != 2)
        return;
    chunk.replace(QLatin1String("\r\n"), QLatin1String(" "));
    window->AppendLog(chunk);
}

void PreviewController::Stop()
{
    if (PreviewWindow *window = Window())
        window->close();
}

// PreviewWindow and its log show the job. Once the job has ended it goes (not
// inside its own report), and PreviewWindow with it unless it says why it failed.
void PreviewController::Watch(PreviewWindow *window, PreviewJob *job)
{
    const QPointer<PreviewWindow> shown(window);
    auto failed = std::make_shared<bool>(false);
    connect(job, &PreviewJob::position, this, [shown](double seconds) {
        if (shown)
            shown->ShowPosition(seconds);
    });
    connect(job, &PreviewJob::output, this, &PreviewController::Log);
    connect(job, &PreviewJob::note, this, [shown](const QString &note) {
        if (shown)
            shown->ShowNote(note);
    });
    connect(job, &PreviewJob::failed, this, [shown, failed](const QString &said) {
        *failed = true;
        if (shown)
            shown->ShowFailure(said);
    });
    connect(job, &PreviewJob::ended, this, [this, job, shown, failed] {
        if (mJob.get() == job)
            mJob.release()->deleteLater();
        if (!*failed && shown && shown == Window())
            shown->close();
    });
}
