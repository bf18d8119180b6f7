// A job's table of tool steps, run without windows: steps of one stage start
// together, the next stage once all of them ended well; the job that owns
// the sequence implements the observer.
#pragma once

#include "core/tools/CommandText.h"

#include <QObject>
#include <QString>

#include <map>
#include <optional>
#include <vector>

class ToolRun;

struct ToolStep
{
    QString label;   // for the observer; the sequence does not word it
    QString tool;    // the name a failure is told with, e.g. "ffmpeg"
    ToolCommand command;
    QString output;  // the file it must leave non-empty, removed before it runs; may be empty
    int stage = 0;   // steps of one stage run at the same time; stages ascend
    // Heard as it runs (a player): it keeps Brenvox's priority, while the
    // other steps run nicer so the windows stay quick.
    bool live = false;
    // The step of the same stage that reads this one's output through a
    // pipe the sequence makes, -1 for none; both commands name the pipe as
    // their descriptor `pipe` (ffmpeg's "pipe:3"). A feeding step that ends
    // on a broken pipe has done its part: its reader's end tells the rest.
    int feeds = -1;
    int pipe = 0;
};

class JobObserver
{
public:
    virtual ~JobObserver() = default;
    virtual void StepStarted(int step) { Q_UNUSED(step); }
    // A piece of at most 256 bytes of the step's merged output, one byte a
    // character; one empty piece after its last.
    virtual void StepOutput(int step, const QString &chunk) { Q_UNUSED(step); Q_UNUSED(chunk); }
    virtual void StepDone(int step) { Q_UNUSED(step); }
    // The step's run failed as RunFailure words it, told once the other
    // runs of its stage were stopped; no later stage starts. When several
    // failed, the first in the table.
    virtual void StepFailed(int step, const QString &failure) { Q_UNUSED(step); Q_UNUSED(failure); }
    // Once, when no tool runs any more: every step done, or not.
    virtual void SequenceEnded(bool completed) { Q_UNUSED(completed); }
    // A job that words its failures its own way (the import's texts) says
    // so here, from the facts JudgeRun gives; nothing means RunFailure's
    // words.
    virtual std::optional<QString> WordFailure(int step, const ToolRun &run, const QString &output)
    {
        Q_UNUSED(step); Q_UNUSED(run); Q_UNUSED(output);
        return std::nullopt;
    }
};

class ToolSequence : public QObject
{
    Q_OBJECT

public:
    ToolSequence(std::vector<ToolStep> steps, JobObserver *observer, QObject *parent = nullptr);
    // Running tools are killed.
    ~ToolSequence() override;

    void Start();
    // Stops every running tool; nothing more starts. The end is told once
    // the tools have gone (at once when none runs).
    void Cancel();
    bool IsRunning() const;
    bool WasCancelled() const;
    const std::vector<ToolStep> &Steps() const;
    // A step that has not started runs `command` instead: what an earlier
    // stage found out decides it.
    void SetCommand(int step, const ToolCommand &command);
    // The whole output of a step that ran.
    QString Output(int step) const;

private:
    void StartStage(int stage);
    void RunEnded(int step, ToolRun *run);
    // The steps feeding `failed` end by themselves once their pipe breaks;
    // they are stopped only if they have not after a grace period.
    void StopOthers(int failed);
    // The steps that ended on the broken pipe to `reader` are done once it
    // has ended well, and neither done nor failed otherwise.
    void ReaderEnded(int reader);
    // The one place that tells whether anything may still start.
    bool MayContinue() const;
    void EndIfIdle();

    std::vector<ToolStep> mSteps;
    std::vector<QString> mOutputs;
    std::vector<ToolRun *> mRuns;
    std::map<int, QString> mFailures;
    std::vector<int> mHeldForReader;
    JobObserver *mObserver;
    int mStage = -1;
    int mRunning = 0;
    bool mStarted = false;
    bool mCancelled = false;
    bool mFailed = false;
    bool mEnded = false;
};
