#include "jobs/ImportJob.h"

#include "jobs/RunFailure.h"

#include "core/tools/ImportCommands.h"
#include "jobs/DiscardFile.h"
#include "core/system/NativePath.h"
#include "core/system/SourceCheck.h"
#include "core/tools/ToolOutputFacts.h"
#include "core/system/WorkspaceRoom.h"
#include "process/ToolRun.h"

#include <QFileInfo>
#include <QMetaObject>

#include <sys/stat.h>

namespace {

enum Step { Probe, Split };

const QLatin1String ProbeFailed("Searching Failed");
const QLatin1String SplitFailed("Extracting Chanel Data Failed");

// A source whose container does not tell its duration (a stream recorded
// as it came) is taken to hold its sound at 128 kb/s, a common rate of
// compressed sound: a lower rate holds more seconds than that estimate,
// and a lossless one fewer.
constexpr qint64 EstimatedSourceBytesPerSecond = 128000 / 8;

// Told before the split starts: a full disk would otherwise show as a split
// that ends halfway, or as a render that fails long after.
QString MissingRoom(const ImportRequest &request, const ToolOutputFacts::ProbeReport &probe)
{
    if (request.leftWav.isEmpty())
        return QString();
    // The report's seconds have their fraction cut off.
    struct stat source {};
    const qint64 seconds = !probe.seconds.isEmpty() ? probe.seconds.toLongLong() + 1
        : ::stat(NativePath::ToBytes(request.sourceFile).constData(), &source) == 0
        ? qint64(source.st_size) / EstimatedSourceBytesPerSecond + 1
        : 0;
    const QString folder = QFileInfo(request.leftWav).absolutePath();
    return WorkspaceRoom::Shortage(WorkspaceRoom::NeededBytes(seconds, probe.sampleRate),
                                   WorkspaceRoom::FreeBytes(folder), folder);
}

} // namespace

ImportJob::ImportJob(const ImportRequest &request, QObject *parent)
    : QObject(parent)
    , mRequest(request)
{
    std::vector<ToolStep> steps{
        {QStringLiteral("probe"), QStringLiteral("ffprobe"),
         ImportCommands::ProbeCommand(request.proberFolder, request.sourceFile), QString(), 0},
    };
    // Both files are checked after the split, with the import's words.
    if (!request.leftWav.isEmpty()) {
        steps.push_back({QStringLiteral("split"), QStringLiteral("ffmpeg"),
                         ImportCommands::SplitCommand(request.encoderFolder, request.sourceFile,
                                                      request.leftWav, request.rightWav),
                         QString(), 1});
    }
    mSequence = new ToolSequence(std::move(steps), this, this);
}

void ImportJob::Start()
{
    // A new source's import leaves nothing of the previous one behind,
    // whatever happens next.
    RemoveChannelFiles();
    // A pipe would keep ffprobe waiting for a writer, and a folder or an
    // empty file would only earn the tool's puzzling words.
    const QString refusal = SourceCheck::Refusal(mRequest.sourceFile);
    if (refusal.isEmpty())
        return mSequence->Start();
    mRefused = true;
    QMetaObject::invokeMethod(this, [this, refusal] {
        Fail(ProbeFailed, refusal);
        mRefused = false;
        emit ended(false);
    }, Qt::QueuedConnection);
}

void ImportJob::Cancel()
{
    // A refusal ends by itself, told once.
    if (mRefused)
        return;
    mSequence->Cancel();
}

bool ImportJob::IsRunning() const
{
    return mRefused || mSequence->IsRunning();
}

void ImportJob::StepStarted(int step)
{
    mOutput.Start();
    if (step == Split)
        emit splitStarted();
}

void ImportJob::StepOutput(int, const QString &chunk)
{
    emit output(chunk);
    // The console's "Duration:" may be a tag's text; the report tells it.
    mOutput.Feed(chunk);
}

void ImportJob::StepDone(int step)
{
    if (step == Split) {
        mFacts.peakDb = ToolOutputFacts::PeakLevelDb(mOutput.Lines());
        emit sourcePeakMeasured(mFacts.peakDb);
        return;
    }
    const std::optional<ToolOutputFacts::ProbeReport> report = ToolOutputFacts::ReadProbeReport(mOutput.Lines());
    if (!report) {
        Fail(ProbeFailed, QStringLiteral("ffprobe's report on the chosen file cannot be read"));
        mSequence->Cancel();
        return;
    }
    mFacts.duration = report->seconds;
    mFacts.sampleRate = report->sampleRate;
    mFacts.bitsPerSample = report->bitsPerSample;
    mFacts.channels = report->channels;
    mFacts.channelLayout = report->channelLayout;
    mFacts.streams = report->streams;
    if (!mRequest.leftWav.isEmpty()) {
        mSequence->SetCommand(Split, ImportCommands::SplitCommand(mRequest.encoderFolder, mRequest.sourceFile,
                                                                  mRequest.leftWav, mRequest.rightWav,
                                                                  report->channels));
    }
    if (!report->seconds.isEmpty())
        emit durationRead(report->seconds);
    emit probed(report->sampleRate, report->bitsPerSample);
    if (!report->hasAudio) {
        Fail(ProbeFailed, SourceCheck::LooksLikeText(mRequest.sourceFile)
                              ? QStringLiteral("The chosen file is a text file, not audio or video")
                              : QStringLiteral("The chosen file holds no audio stream"));
        mSequence->Cancel();
    } else if (const QString missing = MissingRoom(mRequest, *report); !missing.isEmpty()) {
        Fail(SplitFailed, missing);
        mSequence->Cancel();
    }
}

void ImportJob::StepFailed(int step, const QString &failure)
{
    Fail(step == Probe ? ProbeFailed : SplitFailed, failure);
}

std::optional<QString> ImportJob::WordFailure(int step, const ToolRun &run, const QString &output)
{
    const RunFacts facts =
        ::JudgeRun(run, output, step == Split ? QStringList{mRequest.leftWav, mRequest.rightWav} : QStringList());
    const QString tool = mSequence->Steps()[step].tool;
    const QString folder = step == Probe ? mRequest.proberFolder : mRequest.encoderFolder;
    switch (ToolRun::End(facts.end)) {
    case ToolRun::End::Finished:
        break;
    case ToolRun::End::FailedToStart:
        return QStringLiteral("Cannot run %1").arg(folder + QLatin1Char('/') + tool);
    case ToolRun::End::Stopped:
    case ToolRun::End::None:
        return QStringLiteral("%1 did not run to its end").arg(tool);
    }
    // In the import's own words: a full disk whatever the status, then the
    // last words; a signal is told by the status it left.
    if (!facts.knownFailure.isEmpty())
        return facts.knownFailure;
    if (facts.exitCode != 0) {
        const QString reason = ToolOutputFacts::LastErrorLine(ToolOutputFacts::ConsoleLines(mOutput.Lines()),
                                                              mRequest.sourceFile);
        // Unless the file went away meanwhile, what ffprobe refuses is
        // what it holds.
        if (step == Probe) {
            if (const QString refusal = SourceCheck::Refusal(mRequest.sourceFile); !refusal.isEmpty())
                return refusal;
            if (SourceCheck::LooksLikeText(mRequest.sourceFile))
                return QStringLiteral("The chosen file is a text file, not audio or video");
            return QStringLiteral("The chosen file is no audio or video that ffprobe can read")
                + (reason.isEmpty() ? QString() : QLatin1String(" (") + reason + QLatin1Char(')'));
        }
        return reason.isEmpty() ? QStringLiteral("%1 ended with exit code %2").arg(tool).arg(facts.exitCode)
                                : reason;
    }
    if (!facts.missingOutput.isEmpty())
        return QStringLiteral("No audio was written to %1").arg(facts.missingOutput);
    return QString();
}

void ImportJob::SequenceEnded(bool completed)
{
    // A split cut short holds only the start of the source, which the
    // preview and the export must never take for the whole of it.
    if (!completed)
        RemoveChannelFiles();
    emit ended(completed);
}

void ImportJob::Fail(const QString &heading, const QString &reason)
{
    RemoveChannelFiles();
    emit failed(heading, reason);
}

void ImportJob::RemoveChannelFiles()
{
    if (mRequest.leftWav.isEmpty())
        return;
    DiscardFile::Discard(mRequest.leftWav);
    DiscardFile::Discard(mRequest.rightWav);
}
