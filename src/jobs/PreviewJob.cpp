#include "jobs/PreviewJob.h"

#include "preview/ChannelCommands.h"

namespace {

struct StepDesign
{
    const char *label;
    const char *overallProgress;
    int bar;
};

const StepDesign Designs[] = {
    {"Creating Temp Left Chanel Audio.", "Overall Progress 0 % Complete", 2},
    {"Creating Temp Right Chanel Audio.", "Overall Progress 33 % Complete", 33},
    {"Merging Left and Right Chanels.", "Overall Progress 66 % Complete", 66},
    {"Starting Audio Preview.", "Overall Progress 99 % Complete", 99},
};

enum Step { LeftRender, RightRender, Merge, Play };

} // namespace

PreviewJob::PreviewJob(const PreviewRequest &request, PreviewObserver *observer, QObject *parent)
    : QObject(parent)
    , mObserver(observer)
{
    const JobPaths &paths = request.paths;
    const QString ffmpeg = QStringLiteral("ffmpeg");
    std::vector<ToolStep> steps{
        {QLatin1String(Designs[LeftRender].label), ffmpeg,
         ChannelCommands::RenderChannel(request.encoderFolder, paths.LeftSourceWav,
                                        request.leftVolume, request.leftChain, paths.LeftOutWav),
         paths.LeftOutWav, 0},
        {QLatin1String(Designs[RightRender].label), ffmpeg,
         ChannelCommands::RenderChannel(request.encoderFolder, paths.RightSourceWav,
                                        request.rightVolume, request.rightChain, paths.RightOutWav),
         paths.RightOutWav, 0},
        {QLatin1String(Designs[Merge].label), ffmpeg,
         ChannelCommands::MergeForPreview(request.encoderFolder, paths.LeftOutWav,
                                          paths.RightOutWav, paths.PreviewMixWav),
         paths.PreviewMixWav, 1},
        {QLatin1String(Designs[Play].label), QStringLiteral("ffplay"),
         ChannelCommands::PlayMix(request.playerFolder, paths.PreviewMixWav), QString(), 2, true},
    };
    mSequence = new ToolSequence(std::move(steps), this, this);
}

void PreviewJob::Start()
{
    mSequence->Start();
}

void PreviewJob::Cancel()
{
    mSequence->Cancel();
}

bool PreviewJob::IsRunning() const
{
    return mSequence->IsRunning();
}

void PreviewJob::ShowUpTo(int step)
{
    while (mShown < step) {
        const StepDesign &design = Designs[++mShown];
        mObserver->ShowStep(QLatin1String(design.label), QLatin1String(design.overallProgress),
                            design.bar);
    }
}

void PreviewJob::StepStarted(int step)
{
    // Both renders start together; the right one is shown once the left
    // one has ended.
    ShowUpTo(step == RightRender ? int(LeftRender) : step);
}

void PreviewJob::StepOutput(int, const QString &chunk)
{
    mObserver->ShowOutput(chunk);
}

void PreviewJob::StepDone(int step)
{
    if (step == LeftRender)
        ShowUpTo(RightRender);
}

void PreviewJob::StepFailed(int step, const QString &failure)
{
    const QString label = mSequence->Steps()[step].label;
    mObserver->ShowFailure(label.chopped(1) + QLatin1String(" failed: ") + failure);
}

void PreviewJob::SequenceEnded(bool completed)
{
    mObserver->PreviewEnded(completed);
}
