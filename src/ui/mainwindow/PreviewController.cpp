#include "ui/mainwindow/PreviewController.h"

#include "jobs/PreviewJob.h"
#include "session/Session.h"
#include "ui/Form4.h"

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

Form4 *PreviewController::Window() const
{
    // A closed window may outlive its close while its tool stops; the next
    // preview gets a fresh one.
    return mWindow && !mWindow->Closing() ? mWindow.data() : nullptr;
}

Form4 *PreviewController::OpenWindow()
{
    if (!Window()) {
        mWindow = new Form4(mOwner);
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
    Form4 *window = OpenWindow();
    window->ShowPreview(qint16(channel), mSession.SourceDuration().trimmed().toDouble());
    window->show();
    mJob = mSession.NewPreview(qint16(channel));
    Watch(window, mJob.get());
    window->WatchJob(mJob.get());
    mJob->Start();
}

void PreviewController::Log(QString chunk)
{
    // The log follows only the preview of both channels; a closed Form4 is
    // not opened again for a late chunk.
    Form4 *window = Window();
    if (!window || mSession.PreviewChannel() != 2)
        return;
    chunk.replace(QLatin1String("\r\n"), QLatin1String(" "));
    window->AppendLog(chunk);
}

void PreviewController::Stop()
{
    if (Form4 *window = Window())
        window->close();
}

// Form4 and its log show the job. Once the job has ended it goes (not
// inside its own report), and Form4 with it unless it says why it failed.
void PreviewController::Watch(Form4 *window, PreviewJob *job)
{
    const QPointer<Form4> shown(window);
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
