// Runs the preview's player, hands it each change through its azmq filter,
// and restarts it where it is when it cannot take one.
#include "jobs/PreviewJob.h"

#include "core/tools/ToolOutputFacts.h"
#include "core/tools/ToolOutputReader.h"
#include "jobs/RunFailure.h"
#include "core/tools/ChannelCommands.h"
#include "core/tools/PreviewGraph.h"
#include "process/FilterCommandLink.h"
#include "process/ToolRun.h"

#include <QFile>

namespace {

const QString Player = QStringLiteral("ffplay");

// A drag restarts the player (one without azmq, or for a change only a fresh
// player plays clean) once it rests, not at every step.
constexpr int RestartSettleMilliseconds = 120;

QStringList Names(int channel)
{
    if (channel == 1)
        return {QStringLiteral("R")};
    if (channel == 0)
        return {QStringLiteral("L")};
    return {QStringLiteral("L"), QStringLiteral("R")};
}

} // namespace

const QString PreviewJob::RestartNote = QStringLiteral(
    "This ffplay cannot take changes while it plays: each change restarts it where it is.");

PreviewJob::PreviewJob(const PreviewRequest &request, QObject *parent)
    : QObject(parent)
    , mRequest(request)
    , mRun(new ToolRun(this))
    , mLink(new FilterCommandLink(this))
    , mLive(request.liveChanges)
{
    mPosition = request.startSeconds;
    connect(mRun, &ToolRun::ChunkRead, this, &PreviewJob::TakeOutput);
    connect(mRun, &ToolRun::Ended, this, &PreviewJob::PlayerEnded);
    connect(mLink, &FilterCommandLink::Replied, this, &PreviewJob::Replied);
    connect(mLink, &FilterCommandLink::Lost, this, &PreviewJob::LinkLost);
    connect(mLink, &FilterCommandLink::NoAnswer, this, &PreviewJob::LinkSilent);
    mRestartTimer.setSingleShot(true);
    mRestartTimer.setInterval(RestartSettleMilliseconds);
    connect(&mRestartTimer, &QTimer::timeout, this, [this] { RestartAt(mPosition); });
}

PreviewJob::~PreviewJob()
{
    mLink->Close();
    QFile::remove(mRequest.paths.PreviewControl);
}

void PreviewJob::Start()
{
    mRunning = true;
    StartPlayer(mRequest.startSeconds);
}

void PreviewJob::Cancel()
{
    mCancelled = true;
    mRestartPending = false;
    mRestartTimer.stop();
    mLink->Close();
    if (mRun->IsRunning())
        mRun->Stop();
    else if (mRunning) {
        mRunning = false;
        emit ended(false);
    }
}

bool PreviewJob::IsRunning() const
{
    return mRunning;
}

bool PreviewJob::TakesChanges() const
{
    return mLive && mLink->IsAnswering();
}

void PreviewJob::StartPlayer(double seconds)
{
    mPosition = seconds;
    mLines.Clear();
    mOutput.clear();
    mLink->Close();
    const QString &socket = mRequest.paths.PreviewControl;
    // A socket left by the player before would take the connection.
    QFile::remove(socket);
    // What is sent before the player binds waits for it; a path the system
    // cannot take leaves the graph without azmq.
    if (mLive && !mLink->Connect(socket))
        mLive = false;

    PreviewGraph::Layout layout;
    layout.chains = mRequest.chains;
    layout.names = Names(mRequest.channel);
    layout.rightWav = mRequest.paths.RightSourceWav;
    layout.bypass = mRequest.bypass;
    layout.startSeconds = seconds;
    if (mLive)
        layout.controlSocket = socket;
    mPlaying = mStarted = mRequest.chains;
    mPlayingBypass = mStartedBypass = mRequest.bypass;
    const QString input = mRequest.channel == 1 ? mRequest.paths.RightSourceWav
                                                : mRequest.paths.LeftSourceWav;
    const ToolCommand command = ChannelCommands::PlayGraph(mRequest.playerFolder, input,
                                                           PreviewGraph::Graph(layout), seconds);
    if (!mRun->Start(command)) {
        mLink->Close();
        mRunning = false;
        emit failed(RunFailure(*mRun, QString(), Player));
        emit ended(false);
        return;
    }
}

void PreviewJob::RestartAt(double seconds)
{
    if (mCancelled || !mRunning)
        return;
    mRestartTimer.stop();
    mLink->Close();
    mRestartPending = true;
    mRestartAt = seconds;
    if (mRun->IsRunning())
        mRun->Stop();
    else
        PlayerEnded();
}

void PreviewJob::Seek(double seconds)
{
    RestartAt(std::max(0.0, seconds));
}

void PreviewJob::SetChains(const std::vector<ChannelResponse::Chain> &chains)
{
    mRequest.chains = chains;
    SendChanges();
}

void PreviewJob::SetBypass(bool bypass)
{
    mRequest.bypass = bypass;
    SendChanges();
}

void PreviewJob::SendChanges()
{
    if (!mRunning || mCancelled || mRestartPending)
        return;
    if (!mLive) {
        mRestartTimer.start();
        return;
    }
    if (!mLink->IsOpen())
        return;
    for (size_t i = 0; i < mRequest.chains.size() && i < mPlaying.size(); ++i) {
        if (PreviewGraph::NeedsFreshState(mPlaying[i], mRequest.chains[i])) {
            // Restarted where it is once a drag rests, with the graph built
            // from what is wanted then.
            mRestartTimer.start();
            return;
        }
    }
    mRestartTimer.stop();
    const QStringList names = Names(mRequest.channel);
    QStringList commands;
    for (size_t i = 0; i < mRequest.chains.size() && i < mPlaying.size(); ++i)
        commands += PreviewGraph::Commands(names.value(int(i)), mPlaying[i], mRequest.chains[i]);
    if (mPlayingBypass != mRequest.bypass)
        commands << PreviewGraph::BypassCommand(mRequest.bypass);
    mPlaying = mRequest.chains;
    mPlayingBypass = mRequest.bypass;
    if (!commands.isEmpty())
        mLink->Send(commands);
}

// Nothing answers on the socket: azmq never bound it, or takes no commands.
void PreviewJob::LinkSilent()
{
    if (!mRunning || mCancelled || mRestartPending || !mRun->IsRunning())
        return;
    mLive = false;
    Note();
    RestartAt(mPosition);
}

void PreviewJob::Replied(const QString &, const QString &reply)
{
    if (reply.startsWith(QLatin1String("0 ")))
        return;
    // The graph is built again from what is wanted, the refused change included.
    Note();
    RestartAt(mPosition);
}

void PreviewJob::LinkLost()
{
    // ffplay builds its graph again from the text when the first decoded
    // frame differs from what it expected: the new azmq binds anew, the link
    // reaches it by itself, and its elements hold what the text says.
    if (!mRunning || mCancelled || mRestartPending || !mRun->IsRunning())
        return;
    mPlaying = mStarted;
    mPlayingBypass = mStartedBypass;
    SendChanges();
}

void PreviewJob::Note()
{
    if (mNoted)
        return;
    mNoted = true;
    emit note(RestartNote);
}

void PreviewJob::TakeOutput(const QByteArray &chunk)
{
    // Its position line ends in a carriage return and comes many times a
    // second; only the other lines are kept and shown.
    for (const QString &line : mLines.Take(QString::fromLatin1(chunk))) {
        double seconds = 0;
        if (ToolOutputFacts::PlayerClockSeconds(line, &seconds)) {
            mPosition = seconds;
            emit position(seconds);
        } else if (!line.trimmed().isEmpty()) {
            mOutput += line + QLatin1Char('\n');
            emit output(line);
        }
    }
}

void PreviewJob::PlayerEnded()
{
    mLink->Close();
    if (mCancelled) {
        mRunning = false;
        emit ended(false);
        return;
    }
    if (mRestartPending) {
        mRestartPending = false;
        StartPlayer(mRestartAt);
        return;
    }
    const QString failure = RunFailure(*mRun, mOutput + mLines.Rest(), Player);
    if (!failure.isEmpty() && mLive && mOutput.contains(QLatin1String("zmq"), Qt::CaseInsensitive)) {
        // No azmq in this build, or its socket cannot be bound: play on
        // without it.
        mLive = false;
        Note();
        StartPlayer(mPosition);
        return;
    }
    mRunning = false;
    if (!failure.isEmpty())
        emit failed(failure);
    emit ended(failure.isEmpty());
}
