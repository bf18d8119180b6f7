// The main window's "Preview": the left, the right or both channels through
// one player at once, with Form4 showing it; the session passes every
// settings change on to the player while it plays.
#include "ui/form1/Form1.h"

#include "jobs/PreviewJob.h"
#include "ui/Form4.h"

#include <QPointer>
#include <QRadioButton>

// Form4 and its log show the job. Once the job has ended it goes (not
// inside its own report), and Form4 with it unless it says why it failed.
class Form1::PreviewWindows : public QObject
{
public:
    explicit PreviewWindows(Form1 *owner)
        : QObject(owner), mOwner(owner)
    {
    }

    void Watch(Form4 *window, PreviewJob *job)
    {
        mWindow = window;
        mFailed = false;
        connect(job, &PreviewJob::position, this, [this](double seconds) {
            if (mWindow)
                mWindow->ShowPosition(seconds);
        });
        connect(job, &PreviewJob::output, this, [this](const QString &chunk) {
            QString copy = chunk;
            mOwner->objDOS_ReceiveOutputs(copy);
        });
        connect(job, &PreviewJob::note, this, [this](const QString &note) {
            if (mWindow)
                mWindow->ShowNote(note);
        });
        connect(job, &PreviewJob::failed, this, [this](const QString &said) {
            mFailed = true;
            if (mWindow)
                mWindow->ShowFailure(said);
        });
        connect(job, &PreviewJob::ended, this, [this] {
            if (PreviewJob *ended = mOwner->objDOS.release())
                ended->deleteLater();
            if (!mFailed && mWindow && mWindow == mOwner->PreviewWindow())
                mWindow->close();
        });
    }

private:
    Form1 *mOwner;
    QPointer<Form4> mWindow;
    bool mFailed = false;
};

void Form1::SoundPreviewing(qint16 IntChanel)
{
    // The preview reads the channel files the import writes: one tool
    // sequence at a time.
    if (SequenceRunning() || IntChanel < 0 || IntChanel > 2)
        return;
    if (!mPreviewWindows)
        mPreviewWindows = new PreviewWindows(this);

    // Stop, Reset, another preview choice and closing Form4 or the main
    // window end the preview: they close Form4, which cancels the job.
    Form4 *form = OpenPreviewWindow();
    form->ShowPreview(IntChanel, mSession.SourceDuration().trimmed().toDouble());
    form->show();
    objDOS = mSession.NewPreview(IntChanel);
    mPreviewWindows->Watch(form, objDOS.get());
    form->WatchJob(objDOS.get());
    objDOS->Start();
}

void Form1::StopPreview()
{
    if (Form4 *form = PreviewWindow())
        form->close();
}

void Form1::objDOS_ReceiveOutputs(QString &CommandOutputs)
{
    if (Option3.size() < 3 || !Option3[2] || !Option3[2]->isChecked())
        return;
    if (CommandOutputs.contains(QLatin1String("\r\n")))
        CommandOutputs.replace(QLatin1String("\r\n"), QLatin1String(" "));
    // A closed Form4 is not loaded again for a late chunk.
    if (Form4 *form = PreviewWindow())
        form->AppendLog(CommandOutputs);
}
