#include "jobs/ExportJob.h"

#include "core/tools/ExportCommands.h"
#include "core/tools/ExportProgress.h"
#include "core/system/OutputReplacement.h"
#include "core/tools/WrittenAudioCheck.h"
#include "core/tools/ToolOutputFacts.h"

#include <QFuture>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <memory>

namespace {

// The steps after the two renders; each one's row is the merge's.
enum Step { LeftRender, RightRender, Join, ProbeWritten, ProbeSource };
// A whole run's table.
enum WholeStep { Whole, ProbeWholeWritten };
// The descriptors through which the renders' pipes reach the merge.
constexpr int LeftPipe = 3;
constexpr int RightPipe = 4;

} // namespace

QString ExportJob::RowName(int row)
{
    static const char *const names[] = {"Creating Left Chanel", "Creating Right Chanel",
                                        "Merging Chanels"};
    return QLatin1String(names[row]);
}

ExportJob::ExportJob(const ExportRequest &request, QObject *parent)
    : QObject(parent)
    , mRequest(request)
{
    const ExportRequest &r = mRequest;
    const JobPaths &paths = r.paths;
    const QString ffmpeg = QStringLiteral("ffmpeg");
    const QString ffprobe = QStringLiteral("ffprobe");
    const QString output = r.temporaryOutput ? r.temporaryOutput->File() : QString();
    // A whole run is one step of the three the bar counts. Without a whole
    // second of duration to hold the status times against, the bar counts
    // the steps that completed.
    mSourceSeconds = ExportProgress::BarMaximum(r.sourceDuration) / 3;
    mCountsSteps = mSourceSeconds <= 0;
    if (mCountsSteps)
        mSourceSeconds = 1;
    mProgressMaximum = mSourceSeconds * (r.reads == ExportReads::SourceInOneRun ? 1 : 3);
    // Beside the probe of the written file, in its stage.
    const auto addDecode = [&](std::vector<ToolStep> &steps, int stage) {
        // A film kept beside the sound may outlast it, and the container's
        // length is the longer of the two.
        if (!ExportCommands::LengthOnlyByDecoding(r.target) && !r.kept.keepsVideo)
            return;
        mDecodeStep = int(steps.size());
        steps.push_back({RowName(2), ffmpeg, ExportCommands::DecodeAudio(r.encoderFolder, output), QString(), stage});
    };
    if (r.reads == ExportReads::SourceInOneRun) {
        std::vector<ToolStep> steps{
            {RowName(2), ffmpeg,
             ExportCommands::RenderWhole(r.encoderFolder, r.sourceFile, r.leftVolume, r.leftChain,
                                         r.rightVolume, r.rightChain, output, r.sourceBitsPerSample, r.kept,
                                         r.sourceChannels),
             output, 0},
            {RowName(2), ffprobe, ExportCommands::ProbeAudio(r.proberFolder, output),
             QString(), 1},
        };
        addDecode(steps, 1);
        mSequence = new ToolSequence(std::move(steps), this, this);
        return;
    }
    mJoinStep = Join;
    // The renders stream into the merge, which runs beside them: the
    // channels never land in the workspace.
    const bool fromSource = r.reads == ExportReads::Source;
    const auto render = [&](const QString &sourceWav, double level, const QString &chain, int pipe) {
        if (fromSource)
            return ExportCommands::RenderSourceChannel(r.encoderFolder, r.sourceFile, pipe == LeftPipe ? 0 : 1,
                                                       level, chain, pipe, r.sourceChannels);
        return ExportCommands::RenderChannel(r.encoderFolder, sourceWav, level, chain, pipe);
    };
    std::vector<ToolStep> steps{
        {RowName(0), ffmpeg, render(paths.LeftSourceWav, r.leftVolume, r.leftChain, LeftPipe), QString(), 0},
        {RowName(1), ffmpeg, render(paths.RightSourceWav, r.rightVolume, r.rightChain, RightPipe), QString(), 0},
        {RowName(2), ffmpeg, ExportCommands::Join(r.encoderFolder, LeftPipe, RightPipe, output, r.sourceBitsPerSample,
                                                  r.sourceFile, r.kept),
         output, 0},
        // A clean exit and clean output can still leave a file cut short.
        // The source's duration is kept in whole seconds; the channel file
        // the export read has the exact one, read while the renders run.
        {RowName(2), ffprobe, ExportCommands::ProbeAudio(r.proberFolder, output), QString(), 3},
        {RowName(2), ffprobe, ExportCommands::ProbeAudio(r.proberFolder, paths.LeftSourceWav),
         QString(), 0},
    };
    // The left render's own count of what it read stands in for the source's.
    if (fromSource)
        steps.pop_back();
    steps[LeftRender].feeds = steps[RightRender].feeds = Join;
    steps[LeftRender].pipe = LeftPipe;
    steps[RightRender].pipe = RightPipe;
    addDecode(steps, 3);
    mSequence = new ToolSequence(std::move(steps), this, this);
}

ExportJob::~ExportJob()
{
    // The tools go first: a merge must not write on once its file is gone.
    delete mSequence;
    RemoveTemporaryOutput();
}

void ExportJob::SaveChanels()
{
    mSequence->Start();
}

void ExportJob::Cancel()
{
    // The file is checked and on its way to the target's name.
    if (mReplacing)
        return;
    RemoveTemporaryOutput();
    mSequence->Cancel();
}

bool ExportJob::IsRunning() const
{
    return mSequence->IsRunning() || mReplacing;
}

int ExportJob::RowOf(int step) const
{
    return IsRender(step) ? step : int(Merge);
}

bool ExportJob::IsRender(int step) const
{
    return step < mJoinStep;
}

void ExportJob::StepStarted(int step)
{
    if (step > mJoinStep)
        return;
    if (IsRender(step)) {
        mRowStarted[step] = true;
        emit rowStarted(step);
        return;
    }
    mJoinStarted = true;
    StartMergeRow();
}

void ExportJob::StartMergeRow()
{
    // The merge takes the renders' sound as it comes; what is left for it
    // once they are through is the row's own work.
    const bool rendered = mJoinStep == Whole || (mRowCompleted[LeftRender] && mRowCompleted[RightRender]);
    if (mJoinStarted && rendered)
        emit rowStarted(Merge);
}

int ExportJob::ProgressValue() const
{
    return std::min(mCounters.Total(), mProgressMaximum);
}

int ExportJob::ProgressMaximum() const
{
    return mProgressMaximum;
}

void ExportJob::StepOutput(int step, const QString &chunk)
{
    // The checks after the merge read the written file from its start again.
    if (!mCountsSteps && !mFailed && step <= mJoinStep) {
        mCounters.ExportStage = qint16(RowOf(step));
        mCounters.TakeChunk(chunk);
    }
    emit rowOutput(RowOf(step), chunk);
}

void ExportJob::StepDone(int step)
{
    // The merge is complete once its file is checked and in place.
    if (!IsRender(step))
        return;
    mRowCompleted[step] = true;
    // A completed step has been through the whole source, even when its
    // last status line was cut by a chunk's end and never read.
    mCounters.CompleteStep(qint16(step), mSourceSeconds);
    emit rowCompleted(step);
    StartMergeRow();
}

void ExportJob::StepFailed(int step, const QString &failure)
{
    Fail(RowOf(step), failure);
    for (int render : {LeftRender, RightRender}) {
        if (mRowStarted[render] && !mRowCompleted[render] && render != step)
            emit rowStopped(render);
    }
}

void ExportJob::SequenceEnded(bool completed)
{
    if (completed) {
        const bool whole = mJoinStep == Whole;
        WrittenAudioCheck::ProbedAudio written = WrittenAudioCheck::ParseProbedAudio(
            mSequence->Output(whole ? int(ProbeWholeWritten) : int(ProbeWritten)));
        if (mDecodeStep >= 0)
            written.durationSeconds = ExportProgress::LastStatusTime(mSequence->Output(mDecodeStep)).value_or(-1);
        WrittenAudioCheck::ProbedAudio source;
        if (mRequest.reads != ExportReads::ChannelFiles) {
            // The run's own count of what it wrote, or the left render's:
            // a source's container may guess its duration.
            source.channels = 2;
            source.durationSeconds =
                ExportProgress::LastStatusTime(mSequence->Output(whole ? int(Whole) : int(Step::LeftRender))).value_or(-1);
        } else {
            source = WrittenAudioCheck::ParseProbedAudio(mSequence->Output(ProbeSource));
        }
        QString problem = WrittenAudioCheck::WrittenFileProblem(written, source);
        if (problem.isEmpty())
            problem = WrittenAudioCheck::MergedSoundProblem(mSequence->Output(mJoinStep));
        if (problem.isEmpty())
            return ReplaceTarget();
        Fail(Merge, problem);
        completed = false;
    }
    RemoveTemporaryOutput();
    emit ended(completed);
}

void ExportJob::ReplaceTarget()
{
    // Writing the file to the disk and renaming it over an earlier export
    // of a hundred megabytes take tens of milliseconds, which the window's
    // thread must not wait for. Cancel has nothing left to stop by now.
    mReplacing = true;
    auto promise = std::make_shared<QPromise<QString>>();
    promise->future().then(this, [this](const QString &problem) { Replaced(problem); });
    QThreadPool::globalInstance()->start(
        [promise, temporary = mRequest.temporaryOutput, replace = mRequest.replaceExisting] {
            promise->start();
            promise->addResult(temporary->PutInPlace(replace));
            promise->finish();
        });
}

void ExportJob::Replaced(const QString &problem)
{
    mReplacing = false;
    const bool completed = problem.isEmpty();
    if (completed) {
        // The file is the user's now.
        mRequest.temporaryOutput.reset();
        emit writtenPeakMeasured(ToolOutputFacts::PeakLevelDb(mSequence->Output(mJoinStep)));
        mCounters.CompleteStep(Merge, mSourceSeconds);
        emit rowCompleted(Merge);
    } else {
        Fail(Merge, problem);
    }
    RemoveTemporaryOutput();
    emit ended(completed);
}

void ExportJob::Fail(int row, const QString &failure)
{
    QString said = RowName(row) + QLatin1String(" failed: ") + failure;
    // The user chose the target and never sees the temporary name.
    if (mRequest.temporaryOutput)
        said.replace(mRequest.temporaryOutput->File(), mRequest.target);
    RemoveTemporaryOutput();
    // What a failed or stopped step had been through counts no more: the
    // bar never stands full beside a failure.
    mFailed = true;
    for (int step : {Step::LeftRender, Step::RightRender, Join}) {
        if (step == Join || !mRowCompleted[step])
            mCounters.CompleteStep(qint16(step), 0);
    }
    emit rowFailed(row, said);
}

void ExportJob::RemoveTemporaryOutput()
{
    if (mRequest.temporaryOutput)
        mRequest.temporaryOutput->Remove();
}
