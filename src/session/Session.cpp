// The session's state, its chains, and the jobs it counts as running and
// takes an import's facts from before anyone else hears their end.
#include "session/Session.h"

#include "core/equalizer/ChainText.h"
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/OutputLevel.h"
#include "core/equalizer/SettingsHistory.h"
#include "core/system/AppFolder.h"
#include "jobs/DiscardFile.h"

#include <QFileInfo>

#include <cmath>
#include <utility>

namespace {

BandGains GainTextsOf(const EqualizerSettings &settings, int channel)
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
    // Start-up's values before anything follows: levels 1, bandwidth 1,
    // every gain text "0", no chain yet.
    mFollowed = mModel.Settings();
    FollowValues();
    FollowPlans();
    connect(&mModel, &EqualizerModel::channelChanged, this, [this] { FollowModel(); });
    connect(&mModel, &EqualizerModel::optionsChanged, this, [this] { FollowModel(); });
}

Session::~Session()
{
    delete mHistory;
}

JobPaths Session::Paths(int pair) const
{
    return mOptions.workspace.isEmpty() ? JobPaths::InWorkspace(pair) : JobPaths::InFolder(mOptions.workspace, pair);
}

QString Session::LeftSourceWav() const
{
    return mSource.leftWav.isEmpty() ? Paths().LeftSourceWav : mSource.leftWav;
}

QString Session::RightSourceWav() const
{
    return mSource.rightWav.isEmpty() ? Paths().RightSourceWav : mSource.rightWav;
}

void Session::TakeSource(const Source &source)
{
    const Source earlier = std::exchange(mSource, source);
    if (mSource.leftWav.isEmpty() || mSource.rightWav.isEmpty()) {
        mSource.leftWav = earlier.leftWav;
        mSource.rightWav = earlier.rightWav;
    }
    mState.SourceSampleRate = mSource.sampleRate;
    mState.SourceBitsPerSample = mSource.bitsPerSample;
    mState.SourcePeakDb = mSource.peakDb;
    FollowSource();
}

const BandGains &Session::GainTexts(int channel) const
{
    return channel == EqualizerSettings::Right ? mState.RightBandGain : mState.LeftBandGain;
}

QString Session::FilterChain(int channel) const
{
    const auto &chain = mChains[channel == EqualizerSettings::Right ? 1 : 0];
    return chain ? ChainText::Render(*chain, true) : QString();
}

void Session::SetPreviewChannel(int channel)
{
    if (channel >= 0 && channel <= 2)
        mPreviewChannel = channel;
}

void Session::SetBandSliderPosition(int channel, int band, int position)
{
    EqualizerModel::Batch batch(&mModel);
    RebuildChainAfterwards(channel);
    // With sync on the model copies the left bands to the right.
    if (channel == EqualizerSettings::Left && mModel.Settings().sync)
        RebuildChainAfterwards(EqualizerSettings::Right);
    mModel.SetBandSliderPosition(channel, band, position);
}

void Session::SetLevelPosition(int channel, int position)
{
    EqualizerModel::Batch batch(&mModel);
    ShowLevelAfterwards(channel);
    mModel.SetLevelPosition(channel, position);
}

void Session::SetRange(int range)
{
    EqualizerModel::Batch batch(&mModel);
    RebuildChains();
    mModel.SetRange(range);
}

void Session::SetLowCut(bool on)
{
    EqualizerModel::Batch batch(&mModel);
    mModel.SetLowCut(on);
    ReapplyBands();
}

void Session::SetSync(bool on)
{
    EqualizerModel::Batch batch(&mModel);
    RebuildChainAfterwards(EqualizerSettings::Right);
    mModel.CopyLeftBandsToRight();
    mModel.SetSync(on);
}

void Session::SetBandwidth(int octaves)
{
    // The chains follow at once, as the curve and a playing preview do: a
    // bandwidth that waited for the next band move would be heard and drawn
    // but not saved.
    EqualizerModel::Batch batch(&mModel);
    RebuildChains();
    mModel.SetBandwidth(octaves);
}

void Session::SetPreamp(int channel, double db)
{
    EqualizerModel::Batch batch(&mModel);
    RebuildChainAfterwards(channel);
    mModel.SetPreamp(channel, int(std::lround(db * 10)));
}

void Session::SetAvoidClipping(bool on)
{
    EqualizerModel::Batch batch(&mModel);
    RebuildChains();
    mModel.SetAvoidClipping(on);
}

void Session::SetAsDrawn(bool on)
{
    EqualizerModel::Batch batch(&mModel);
    RebuildChains();
    mModel.SetAsDrawn(on);
}

void Session::ReapplyBands()
{
    EqualizerSettings applied = mModel.Settings();
    for (ChannelSettings &channel : applied.channels)
        channel.moved.fill(true);
    // With sync on, the left moves make the right panel a copy.
    if (applied.sync)
        applied.channels[EqualizerSettings::Right].gains = applied.channels[EqualizerSettings::Left].gains;
    EqualizerModel::Batch batch(&mModel);
    RebuildChains();
    mModel.SetSettings(applied);
}

bool Session::LoadSettings(const EqualizerSettings &settings)
{
    EqualizerModel::Batch batch(&mModel);
    if (!mModel.SetSettings(settings))
        return false;
    RebuildChains();
    return true;
}

bool Session::TakeProfile(const ProfileImport::Result &profile, QString *problem)
{
    EqualizerSettings settings = ProfileImport::Applied(profile, mModel.Settings());
    if (LoadSettings(settings))
        return true;
    if (problem)
        *problem = QString::fromStdString(settings.Problem());
    return false;
}

void Session::Reset()
{
    // Reset passes the settings through two values; undo takes it back in
    // one step.
    BeginGesture();
    // Every band is applied at the centre, so the chains read "-0"; then the
    // gain texts return to start-up's "0" and the chains stay as built.
    EqualizerSettings centred;
    for (ChannelSettings &channel : centred.channels)
        channel.moved.fill(true);
    LoadSettings(centred);
    mModel.SetSettings(EqualizerSettings());
    EndGesture();
}

void Session::StartHistory()
{
    delete mHistory;
    mHistory = new SettingsHistory(&mModel, this);
}

bool Session::CanUndo() const
{
    return mHistory && mHistory->CanUndo();
}

bool Session::CanRedo() const
{
    return mHistory && mHistory->CanRedo();
}

void Session::Undo()
{
    if (CanUndo())
        StepHistory(&SettingsHistory::Undo);
}

void Session::Redo()
{
    if (CanRedo())
        StepHistory(&SettingsHistory::Redo);
}

void Session::StepHistory(void (SettingsHistory::*step)())
{
    // As a preset load: both chains as if the user had set each control.
    EqualizerModel::Batch batch(&mModel);
    RebuildChains();
    (mHistory->*step)();
}

void Session::BeginGesture()
{
    if (mHistory)
        mHistory->BeginGesture();
}

void Session::EndGesture()
{
    if (mHistory)
        mHistory->EndGesture();
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
        changed[channel] = mPlanner.Update(mModel.Settings(), channel, mState.SourceSampleRate, mState.SourcePeakDb);
    return changed;
}

void Session::FollowValues()
{
    const EqualizerSettings &settings = mModel.Settings();
    mState.LowCutEnabled = settings.lowCut;
    mState.Bandwidth = settings.bandwidth;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        (channel == EqualizerSettings::Left ? mState.LeftBandGain : mState.RightBandGain) = GainTextsOf(settings, channel);
        mVolume[channel] = OutputLevelFromPosition(qint16(settings.channels[channel].levelPosition)).level;
    }
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
    FollowValues();
    const std::array<bool, EqualizerSettings::ChannelCount> planChanged = FollowPlans();
    const bool planned = settings.asDrawn || settings.avoidClipping;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const ChainFollow follow = std::exchange(mChainFollow[channel], ChainFollow());
        // With an option on, the chain follows every change of what it
        // applies, so the export never takes solved gains or a pre-gain
        // made for other settings.
        const bool rebuild = follow.rebuild || (planChanged[channel] && (planned || mChainPlanned[channel]));
        if (rebuild) {
            mChains[channel] = mPlanner.Plan(channel).chain;
            mChainPlanned[channel] = planned;
        }
        const bool showChain = follow.showChain || (rebuild && !follow.showLevel);
        mChainBoxSet[channel] = follow.showLevel || showChain;
        if (follow.showLevel)
            mChainBox[channel] = OutputLevelFromPosition(qint16(settings.channels[channel].levelPosition)).displayText;
        else if (showChain)
            mChainBox[channel] = FilterChain(channel);
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
    for (const QString &channelFile : {LeftSourceWav(), RightSourceWav()}) {
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
        files = SourceImported() && LeftSourceWav() == Paths(0).LeftSourceWav ? Paths(1) : Paths(0);
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
        if (!files.LeftSourceWav.isEmpty()) {
            for (const QString &earlier : {mSource.leftWav, mSource.rightWav}) {
                if (!earlier.isEmpty() && earlier != files.LeftSourceWav && earlier != files.RightSourceWav)
                    DiscardFile::Discard(earlier);
            }
        }
        const ImportFacts &facts = importing->Facts();
        const Source taken{source, facts.duration, facts.sampleRate, facts.bitsPerSample, facts.peakDb,
                           files.LeftSourceWav, files.RightSourceWav, facts.channels, facts.channelLayout,
                           facts.streams};
        // The band settings made before the import stay in force for the new
        // source: each band does what a move of its slider does, and that is
        // no step of the user's to undo.
        EqualizerModel::Batch batch(&mModel);
        TakeSource(taken);
        ReapplyBands();
        if (mHistory)
            mHistory->Rebase();
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
    request.paths.LeftSourceWav = LeftSourceWav();
    request.paths.RightSourceWav = RightSourceWav();
    request.channel = channel;
    request.chains = PreviewChains(channel);
    request.playerFolder = ToolFolder(QStringLiteral("ffplay"));
    auto job = std::make_unique<PreviewJob>(request);
    CountWhileRunning(job.get(), true);
    PreviewJob *playing = job.get();
    connect(this, &Session::Followed, playing, [this, playing, channel] { playing->SetChains(PreviewChains(channel)); });
    return job;
}

KeptStreams::Plan Session::KeptFor(const QString &outputFile) const
{
    return KeptStreams::ForOutput(mSource.streams, outputFile);
}

QString Session::SourceNote() const
{
    return KeptStreams::DownmixNote(mSource.channels, mSource.channelLayout);
}

std::unique_ptr<ExportJob> Session::NewExport(std::shared_ptr<OutputReplacement::TemporaryOutput> output,
                                              bool replaceExisting, ExportReads reads)
{
    ExportRequest request;
    request.paths.LeftSourceWav = LeftSourceWav();
    request.paths.RightSourceWav = RightSourceWav();
    request.leftVolume = Volume(EqualizerSettings::Left);
    request.rightVolume = Volume(EqualizerSettings::Right);
    const auto toolChain = [this](int channel) {
        return mChains[channel] ? ChainText::Render(*mChains[channel], false) : QString();
    };
    request.leftChain = toolChain(EqualizerSettings::Left);
    request.rightChain = toolChain(EqualizerSettings::Right);
    request.temporaryOutput = std::move(output);
    request.target = mOutputFile;
    request.replaceExisting = replaceExisting;
    request.encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
    request.proberFolder = ToolFolder(QStringLiteral("ffprobe"));
    request.reads = reads;
    // Channel files are all an export needs of a source that went away
    // since its import; it then writes the sound alone.
    if (reads != ExportReads::ChannelFiles || QFileInfo(mSource.file).isFile()) {
        request.sourceFile = mSource.file;
        request.kept = KeptFor(mOutputFile);
    }
    request.sourceBitsPerSample = mSource.bitsPerSample;
    request.sourceChannels = mSource.channels;
    request.sourceDuration = mSource.duration;
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
