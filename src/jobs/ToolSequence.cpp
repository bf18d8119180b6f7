#include "jobs/ToolSequence.h"

#include "jobs/DiscardFile.h"
#include "jobs/RunFailure.h"
#include "process/ChildPipe.h"
#include "process/ToolRun.h"

#include <QTimer>

#include <algorithm>
#include <csignal>
#include <memory>

namespace {

// Enough for the scheduler to prefer the window's thread over renders that
// fill every core, without starving them when nothing else runs.
constexpr int BackgroundNiceness = 5;

// A step writing into a pipe learns that its reader has gone only from the
// write that fails: ffmpeg says so and exits, another tool may die of the
// signal.
bool ReaderWentAway(const ToolRun &run, const QString &output)
{
    return run.ExitSignal() == SIGPIPE || output.contains(QLatin1String("Broken pipe"));
}

} // namespace

ToolSequence::ToolSequence(std::vector<ToolStep> steps, JobObserver *observer, QObject *parent)
    : QObject(parent)
    , mSteps(std::move(steps))
    , mOutputs(mSteps.size())
    , mRuns(mSteps.size(), nullptr)
    , mObserver(observer)
{
}

ToolSequence::~ToolSequence() = default;

void ToolSequence::Start()
{
    if (mStarted)
        return;
    mStarted = true;
    if (mSteps.empty()) {
        EndIfIdle();
        return;
    }
    const auto first = std::min_element(mSteps.begin(), mSteps.end(),
        [](const ToolStep &a, const ToolStep &b) { return a.stage < b.stage; });
    StartStage(first->stage);
}

void ToolSequence::Cancel()
{
    if (mEnded || mCancelled)
        return;
    mCancelled = true;
    for (ToolRun *run : mRuns) {
        if (run)
            run->Stop();
    }
    EndIfIdle();
}

bool ToolSequence::IsRunning() const
{
    return mStarted && !mEnded;
}

bool ToolSequence::WasCancelled() const
{
    return mCancelled;
}

const std::vector<ToolStep> &ToolSequence::Steps() const
{
    return mSteps;
}

void ToolSequence::SetCommand(int step, const ToolCommand &command)
{
    if (!mRuns[step])
        mSteps[step].command = command;
}

QString ToolSequence::Output(int step) const
{
    return step >= 0 && step < int(mOutputs.size()) ? mOutputs[step] : QString();
}

bool ToolSequence::MayContinue() const
{
    return !mCancelled && !mFailed;
}

void ToolSequence::StartStage(int stage)
{
    mStage = stage;
    // Brenvox's copies of the ends close when this returns, once every
    // child holds its own.
    std::vector<std::unique_ptr<ChildPipe>> pipes(mSteps.size());
    for (int step = 0; step < int(mSteps.size()); ++step) {
        if (mSteps[step].stage == stage && mSteps[step].feeds >= 0)
            pipes[step] = std::make_unique<ChildPipe>();
    }
    for (int step = 0; step < int(mSteps.size()); ++step) {
        if (mSteps[step].stage != stage)
            continue;
        if (!MayContinue())
            break;
        // A stale file from an earlier run must never pass for this run's.
        if (!mSteps[step].output.isEmpty())
            DiscardFile::Discard(mSteps[step].output);
        mObserver->StepStarted(step);
        auto *run = new ToolRun(this);
        if (!mSteps[step].live)
            run->SetNiceness(BackgroundNiceness);
        for (int feeder = 0; feeder < int(mSteps.size()); ++feeder) {
            if (!pipes[feeder])
                continue;
            if (feeder == step)
                run->PassDescriptor(pipes[feeder]->WriteEnd(), mSteps[feeder].pipe);
            else if (mSteps[feeder].feeds == step)
                run->PassDescriptor(pipes[feeder]->ReadEnd(), mSteps[feeder].pipe);
        }
        mRuns[step] = run;
        connect(run, &ToolRun::ChunkRead, this, [this, step](const QByteArray &bytes) {
            const QString chunk = QString::fromLatin1(bytes);
            mOutputs[step] += chunk;
            mObserver->StepOutput(step, chunk);
        });
        connect(run, &ToolRun::Ended, this, [this, step, run] { RunEnded(step, run); });
        ++mRunning;
        // A tool that cannot start ends like any other, after this loop.
        if (!run->Start(mSteps[step].command))
            QMetaObject::invokeMethod(this, [this, step, run] { RunEnded(step, run); },
                                      Qt::QueuedConnection);
    }
    EndIfIdle();
}

void ToolSequence::RunEnded(int step, ToolRun *run)
{
    --mRunning;
    mObserver->StepOutput(step, QString());
    // A run stopped because another failed, or by Cancel, is no failure of
    // its own.
    if (!mCancelled && run->LastEnd() != ToolRun::End::Stopped) {
        const ToolStep &done = mSteps[step];
        const std::optional<QString> worded = mObserver->WordFailure(step, *run, mOutputs[step]);
        const QString failure = worded ? *worded : RunFailure(*run, mOutputs[step], done.tool, done.output);
        if (done.feeds >= 0 && ReaderWentAway(*run, mOutputs[step])) {
            // Whether its sound got through is its reader's to tell.
            mHeldForReader.push_back(step);
            ReaderEnded(done.feeds);
        } else if (!failure.isEmpty()) {
            mFailures.emplace(step, failure);
            mFailed = true;
            StopOthers(step);
        } else if (!mFailed) {
            mObserver->StepDone(step);
        }
    }
    ReaderEnded(step);
    EndIfIdle();
}

void ToolSequence::ReaderEnded(int reader)
{
    if (mRuns[reader] && mRuns[reader]->IsRunning())
        return;
    for (auto held = mHeldForReader.begin(); held != mHeldForReader.end();) {
        if (mSteps[*held].feeds != reader) {
            ++held;
            continue;
        }
        if (MayContinue())
            mObserver->StepDone(*held);
        held = mHeldForReader.erase(held);
    }
}

void ToolSequence::StopOthers(int failed)
{
    for (int step = 0; step < int(mRuns.size()); ++step) {
        ToolRun *run = mRuns[step];
        if (!run || !run->IsRunning())
            continue;
        if (mSteps[step].feeds != failed) {
            run->Stop();
            continue;
        }
        QTimer::singleShot(ToolRun::StopGraceMilliseconds, run, [run] {
            if (run->IsRunning())
                run->Stop();
        });
    }
}

void ToolSequence::EndIfIdle()
{
    if (mRunning > 0 || mEnded || !mStarted)
        return;
    if (MayContinue()) {
        int next = -1;
        for (const ToolStep &step : mSteps) {
            if (step.stage > mStage && (next < 0 || step.stage < next))
                next = step.stage;
        }
        if (next >= 0) {
            StartStage(next);
            return;
        }
    }
    mEnded = true;
    // Of runs that failed together, the first in the table is told, as
    // when they ran one after the other.
    if (!mCancelled && !mFailures.empty())
        mObserver->StepFailed(mFailures.begin()->first, mFailures.begin()->second);
    mObserver->SequenceEnded(MayContinue());
}
