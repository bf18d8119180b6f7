// The main window's "Preview": the left, the right or both channels through
// one player at once, with Form4 showing it, and every settings change
// passed on to the player while it plays.
#include "core/system/AppFolder.h"
#include "ui/form1/Form1.h"
#include "session/SharedState.h"
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/ChannelPlan.h"
#include "jobs/PreviewJob.h"
#include "ui/Form4.h"

#include <QCoreApplication>
#include <QEventLoop>
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

    void ShowPosition(double seconds) override
    {
        if (mWindow)
            mWindow->ShowPosition(seconds);
    }

    void ShowOutput(const QString &chunk) override
    {
        QString copy = chunk;
        if (mOwner)
            mOwner->objDOS_ReceiveOutputs(copy);
    }

    void ShowNote(const QString &note) override
    {
        if (mWindow)
            mWindow->ShowNote(note);
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

// The numbers the export's chains apply, read from the settings as they are
// now: the played channel, or the left and the right.
// What the curve shows is what plays: the plans hold the "as drawn" gains
// and the "Avoid clipping" pre-gain.
std::vector<ChannelResponse::Chain> PreviewChains(int channel, const ChannelPlanner *planner)
{
    const auto chain = [planner](int side) {
        if (planner)
            return planner->Plan(side).chain;
        return ChannelChain::FromSettings(Equalizer().Settings(), side, Shared().SourceSampleRate);
    };
    if (channel == 0 || channel == 1)
        return {chain(channel)};
    return {chain(EqualizerSettings::Left), chain(EqualizerSettings::Right)};
}

} // namespace

void Form1::SoundPreviewing(qint16 IntChanel)
{
    // The preview reads the channel files the import writes: one tool
    // sequence at a time.
    if (SequenceRunning() || IntChanel < 0 || IntChanel > 2)
        return;
    const QPointer<Form1> self(this);
    const SequenceScope sequence(this, true);

    SharedState &shared = Shared();
    PreviewRequest request;
    request.paths = JobPaths::InWorkspace();
    shared.LeftSourceWav = request.paths.LeftSourceWav;
    shared.RightSourceWav = request.paths.RightSourceWav;
    request.channel = IntChanel;
    request.chains = PreviewChains(IntChanel, mPlanner.get());
    request.playerFolder = ToolFolder(QStringLiteral("ffplay"));

    QPointer<Form4> form = Form4::Load(this);
    form->ShowPreview(IntChanel, shared.SourceDuration.trimmed().toDouble());
    // Stop, Reset, another preview choice and closing Form4 or the main
    // window end the preview: they close Form4, which cancels the job, and
    // Form4 must not stay behind on a preview that never starts.
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
    const QMetaObject::Connection follow =
        connect(&Equalizer(), &EqualizerModel::channelChanged, &job,
                [this, &job, IntChanel] { job.SetChains(PreviewChains(IntChanel, mPlanner.get())); });
    job.Start();
    if (job.IsRunning())
        loop.exec();
    disconnect(follow);
    // After a failure Form4 stays to say why; otherwise it goes.
    if (!windows.failed && form && form == Form4::Loaded())
        form->close();
}

void Form1::StopPreview()
{
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
