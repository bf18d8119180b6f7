// The session's state, its chains, and the jobs it counts as running and
// takes an import's facts from before anyone else hears their end.
#include "session/Session.h"

#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/OutputLevel.h"
#include "core/equalizer/SettingsHistory.h"
#include "core/system/AppFolder.h"
#include "jobs/DiscardFile.h"

#include <QFileInfo>

#include <utility>

namespace {

BandGains GainTexts(const EqualizerSettings &settings, int channel)
{
    BandGains texts;
    for (int band = 0; band < BandTable::BandCount; ++band)
        texts[band] = QString::fromStdString(settings.GainText(channel, band));
    return texts;
}

} // namespace

Session::Session(QObject *parent)
    : Session(Options(), parent)
{
}

Session::Session(const Options &options, QObject *parent)
    : QObject(parent)
    , mOptions(options)
{
    mFollowed = mModel.Settings();
    FollowPlans();
    connect(&mModel, &EqualizerModel::channelChanged, this, [this] { FollowModel(); });
    connect(&mModel, &EqualizerModel::optionsChanged, this, [this] { FollowModel(); });
}

Session::~Session()
{
    delete mHistory;
}

void Session::ResetEqualizerState()
{
    LeftVolume = 1;
    RightVolume = 1;
    Bandwidth = 1;
    LeftBandGain.fill(QStringLiteral("0"));
    RightBandGain.fill(QStringLiteral("0"));
}

void Session::StartHistory()
{
    delete mHistory;
    mHistory = new SettingsHistory(&mModel, this);
}

JobPaths Session::Paths(int pair) const
{
    return mOptions.workspace.isEmpty() ? JobPaths::InWorkspace(pair) : JobPaths::InFolder(mOptions.workspace, pair);
}

void Session::RebuildChainAfterwards(int channel)
{
    if (!EqualizerSettings::IsChannel(channel))
        return;
    mChainFollow[channel] = {true, true, false};
    mModel.Announce(channel);
}

void Session::ShowLevelAfterwards(int channel)
{
    if (!EqualizerSettings::IsChannel(channel))
        return;
    mChainFollow[channel].showChain = false;
    mChainFollow[channel].showLevel = true;
    mModel.Announce(channel);
}

void Session::RebuildChains()
{
    EqualizerModel::Batch batch(&mModel);
    RebuildChainAfterwards(EqualizerSettings::Left);
    RebuildChainAfterwards(EqualizerSettings::Right);
}

void Session::FollowSource()
{
    mSourceChanged = true;
    FollowModel();
}

std::array<bool, EqualizerSettings::ChannelCount> Session::FollowPlans()
{
    std::array<bool, EqualizerSettings::ChannelCount> changed{};
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel)
        changed[channel] = mPlanner.Update(mModel.Settings(), channel, SourceSampleRate, SourcePeakDb);
    return changed;
}

void Session::FollowModel()
{
    const EqualizerSettings &settings = mModel.Settings();
    // An operation announces up to three times (each channel, the options);
    // the first follows everything.
    const auto asked = [](const ChainFollow &follow) { return follow.showChain || follow.showLevel; };
    if (settings == mFollowed && !mSourceChanged && !asked(mChainFollow[0]) && !asked(mChainFollow[1]))
        return;
    mSourceChanged = false;
    LowCutEnabled = settings.lowCut;
    Bandwidth = settings.bandwidth;
    const std::array<bool, EqualizerSettings::ChannelCount> planChanged = FollowPlans();
    const bool planned = settings.asDrawn || settings.avoidClipping;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const bool left = channel == EqualizerSettings::Left;
        BandGains &gains = left ? LeftBandGain : RightBandGain;
        gains = GainTexts(settings, channel);
        const OutputLevel level = OutputLevelFromPosition(qint16(settings.channels[channel].levelPosition));
        (left ? LeftVolume : RightVolume) = level.level;

        const ChainFollow follow = std::exchange(mChainFollow[channel], ChainFollow());
        // With an option on, the chain follows every change of what it
        // applies, so the export never takes solved gains or a pre-gain
        // made for other settings.
        const bool rebuild = follow.rebuild || (planChanged[channel] && (planned || mChainPlanned[channel]));
        if (rebuild) {
            Chain(channel) = ChannelPlanText::ChainText(*this, gains, mPlanner.Plan(channel));
            mChainPlanned[channel] = planned;
        }
        const bool showChain = follow.showChain || (rebuild && !follow.showLevel);
        mChainBoxSet[channel] = follow.showLevel || showChain;
        if (follow.showLevel)
            mChainBox[channel] = level.displayText;
        else if (showChain)
            mChainBox[channel] = Chain(channel);
    }
    mFollowed = settings;
    emit Followed(planChanged[0], planChanged[1]);
}

void Session::SequenceStarted(bool preview)
{
    ++mRunningSequences;
    if (preview)
        ++mRunningPreviews;
    emit SequencesChanged();
}

void Session::SequenceEnded(bool preview)
{
    if (mRunningSequences > 0)
        --mRunningSequences;
    if (preview && mRunningPreviews > 0)
        --mRunningPreviews;
    emit SequencesChanged();
}

bool Session::SourceImported() const
{
    for (const QString &channelFile : {LeftSourceWav, RightSourceWav}) {
        const QFileInfo file(channelFile);
        if (!file.isFile() || file.size() == 0)
            return false;
    }
    return true;
}

template <typename Job>
void Session::CountWhileRunning(Job *job, bool preview)
{
    // Until the job ends, or goes without having ended; nothing once the
    // session is gone.
    SequenceStarted(preview);
    auto running = std::make_shared<bool>(true);
    const auto ended = [this, running, preview] {
        if (std::exchange(*running, false))
            SequenceEnded(preview);
    };
    connect(job, &Job::ended, this, ended);
    connect(job, &QObject::destroyed, this, ended);
}

std::unique_ptr<ImportJob> Session::NewImport(const QString &source, bool split)
{
    JobPaths files;
    if (split)
        files = SourceImported() && LeftSourceWav == Paths(0).LeftSourceWav ? Paths(1) : Paths(0);
    ImportRequest request;
    request.sourceFile = source;
    request.leftWav = files.LeftSourceWav;
    request.rightWav = files.RightSourceWav;
    request.proberFolder = ToolFolder(QStringLiteral("ffprobe"));
    request.encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
    auto job = std::make_unique<ImportJob>(request);
    // Connected first, so the session holds the new source before anyone
    // else hears the end.
    CountWhileRunning(job.get());
    ImportJob *importing = job.get();
    connect(importing, &ImportJob::ended, this, [this, importing, source, files](bool completed) {
        if (!completed)
            return;
        const ImportFacts &facts = importing->Facts();
        SourceFile = source;
        SourceDuration = facts.duration;
        SourceSampleRate = facts.sampleRate;
        SourceBitsPerSample = facts.bitsPerSample;
        SourcePeakDb = facts.peakDb;
        if (files.LeftSourceWav.isEmpty())
            return;
        for (const QString &earlier : {LeftSourceWav, RightSourceWav}) {
            if (!earlier.isEmpty() && earlier != files.LeftSourceWav && earlier != files.RightSourceWav)
                DiscardFile::Discard(earlier);
        }
        LeftSourceWav = files.LeftSourceWav;
        RightSourceWav = files.RightSourceWav;
    });
    return job;
}

std::vector<ChannelResponse::Chain> Session::PreviewChains(int channel) const
{
    // What the curve shows is what plays: the plans hold the "as drawn"
    // gains and the "Avoid clipping" pre-gain.
    if (channel == EqualizerSettings::Left || channel == EqualizerSettings::Right)
        return {mPlanner.Plan(channel).chain};
    return {mPlanner.Plan(EqualizerSettings::Left).chain, mPlanner.Plan(EqualizerSettings::Right).chain};
}

std::unique_ptr<PreviewJob> Session::NewPreview(int channel)
{
    PreviewRequest request;
    request.paths = Paths();
    // The open source's pair, which alternates from import to import.
    request.paths.LeftSourceWav = LeftSourceWav;
    request.paths.RightSourceWav = RightSourceWav;
    request.channel = channel;
    request.chains = PreviewChains(channel);
    request.playerFolder = ToolFolder(QStringLiteral("ffplay"));
    auto job = std::make_unique<PreviewJob>(request);
    CountWhileRunning(job.get(), true);
    PreviewJob *playing = job.get();
    connect(this, &Session::Followed, playing, [this, playing, channel] { playing->SetChains(PreviewChains(channel)); });
    return job;
}

std::unique_ptr<ExportJob> Session::NewExport(std::shared_ptr<OutputReplacement::TemporaryOutput> output,
                                              bool replaceExisting, ExportReads reads)
{
    ExportRequest request;
    request.paths.LeftSourceWav = LeftSourceWav;
    request.paths.RightSourceWav = RightSourceWav;
    request.leftVolume = LeftVolume;
    request.rightVolume = RightVolume;
    request.leftChain = ToolChain(LeftFilterChain);
    request.rightChain = ToolChain(RightFilterChain);
    request.temporaryOutput = std::move(output);
    request.target = OutputFile;
    request.replaceExisting = replaceExisting;
    request.encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
    request.proberFolder = ToolFolder(QStringLiteral("ffprobe"));
    request.reads = reads;
    if (reads != ExportReads::ChannelFiles)
        request.sourceFile = SourceFile;
    request.sourceBitsPerSample = SourceBitsPerSample;
    request.sourceDuration = SourceDuration;
    auto job = std::make_unique<ExportJob>(request);
    CountWhileRunning(job.get());
    return job;
}

SequenceScope::SequenceScope(Session *session, bool preview)
    : mSession(session), mPreview(preview)
{
    if (mSession)
        mSession->SequenceStarted(mPreview);
}

SequenceScope::~SequenceScope()
{
    if (mSession)
        mSession->SequenceEnded(mPreview);
}
