// The application object, without windows: the settings with their history,
// the open source, the chains that play and the import, preview and export
// jobs. The windows and the command line change it only through its
// operations and read it through its accessors; the windows drive one, a
// batch makes one per file.
#pragma once

#include "core/equalizer/ChannelPlan.h"
#include "core/equalizer/EqualizerModel.h"
#include "core/equalizer/EqualizerState.h"
#include "core/equalizer/SettingsHistory.h"
#include "core/presets/ProfileImport.h"
#include "core/system/JobPaths.h"
#include "core/system/OutputReplacement.h"
#include "jobs/ExportJob.h"
#include "jobs/ImportJob.h"
#include "jobs/PreviewJob.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <limits>
#include <memory>
#include <optional>

class Session : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        // Start-up shows "Loading..." for a second or two, as designed;
        // tests and benchmarks that do not time it leave it out.
        bool loadingPause = true;
        // Where the import splits; empty for the instance's workspace.
        QString workspace;
    };

    explicit Session(QObject *parent = nullptr);
    explicit Session(const Options &options, QObject *parent = nullptr);
    ~Session() override;

    const Options &StartOptions() const { return mOptions; }
    // The files of the session's imports, previews and exports, in its
    // workspace; `pair` as JobPaths takes it.
    JobPaths Paths(int pair = 0) const;

    // What the session knows of the open source. Only a completed import
    // changes it (TakeSource); the channel files name the pair the next
    // import splits beside while none is open.
    struct Source
    {
        QString file;
        // Whole seconds as the probe read them, empty while unknown.
        QString duration;
        int sampleRate = 0;
        int bitsPerSample = 0;
        double peakDb = std::numeric_limits<double>::quiet_NaN();
        QString leftWav;
        QString rightWav;
        // Of the stream the split takes; 0 unknown.
        int channels = 0;
        QString channelLayout;
        // Every stream of the file, for what an export keeps beside the sound.
        QList<KeptStreams::SourceStream> streams;
    };
    const Source &OpenSource() const { return mSource; }
    const QString &SourceFile() const { return mSource.file; }
    const QString &SourceDuration() const { return mSource.duration; }
    QString LeftSourceWav() const;
    QString RightSourceWav() const;
    int SourceSampleRate() const { return mState.SourceSampleRate; }
    double SourcePeakDb() const { return mState.SourcePeakDb; }
    int SourceBitsPerSample() const { return mState.SourceBitsPerSample; }
    // The source becomes the open one: the plans and the chains follow its
    // rate and peak. Channel files left empty keep the pair there is.
    void TakeSource(const Source &source);

    // What the settings come to, as the chain boxes, the export and the
    // player take them.
    const EqualizerState &State() const { return mState; }
    const BandGains &GainTexts(int channel) const;
    // The channel's chain box text as last rebuilt; empty before the first.
    QString FilterChain(int channel) const;
    double Volume(int channel) const { return mVolume[channel == EqualizerSettings::Right ? 1 : 0]; }
    // The file the last export was asked to write, empty before.
    const QString &OutputFile() const { return mOutputFile; }
    void SetOutputFile(const QString &path) { mOutputFile = path; }
    // 0 left, 1 right, 2 both.
    int PreviewChannel() const { return mPreviewChannel; }
    void SetPreviewChannel(int channel);

    const EqualizerSettings &Settings() const { return mModel.Settings(); }
    const ChannelPlan &Plan(int channel) const { return mPlanner.Plan(channel); }

    // What the user does to the settings. Each says which chain the
    // channel's box shows afterwards: a moved
    // band, a preamp or an option rebuilds its channel's chain (both, where
    // every chain changes), a level shows its text there until the next
    // rebuild.
    void SetBandSliderPosition(int channel, int band, int position);
    void SetLevelPosition(int channel, int position);
    // Every band of both channels to the centre; the sync does not copy.
    void SetRange(int range);
    // Every band is applied again as it stands.
    void SetLowCut(bool on);
    // Both choices copy the left bands to the right.
    void SetSync(bool on);
    void SetBandwidth(int octaves);
    // In dB, to the tenth.
    void SetPreamp(int channel, double db);
    void SetAvoidClipping(bool on);
    void SetAsDrawn(bool on);
    // Every band as it stands, as a move of each would apply it: the end of
    // an import. Not a step of the history.
    void ReapplyBands();
    // Settings from a preset, a profile or the last exit, as if the user
    // had set each control. Refused (false) when they fail Problem().
    bool LoadSettings(const EqualizerSettings &settings);
    // A profile read (ProfileImport::ImportFile from the settings of when
    // the reading began): a channel the profile does not name keeps what
    // was done to it meanwhile. False, with the problem, when refused.
    bool TakeProfile(const ProfileImport::Result &profile, QString *problem = nullptr);
    // Start-up's settings; the chains read "-0" until a band moves, the
    // gain texts "0". One step of the history.
    void Reset();

    // Undo and redo from the settings as they are when it is started.
    void StartHistory();
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    // The changes between the two make one step (a slider's drag).
    void BeginGesture();
    void EndGesture();
    // Null before StartHistory.
    const SettingsHistory *History() const { return mHistory; }

    // What the channel's chain box shows: its chain, or a level text; and
    // whether the last follow set it (a box the user typed in keeps his
    // text until then).
    QString ChainBox(int channel) const { return mChainBox[channel]; }
    bool ChainBoxSet(int channel) const { return mChainBoxSet[channel]; }

    // One import, preview or export at a time.
    bool SequenceRunning() const { return mRunningSequences > 0; }
    bool PreviewRunning() const { return mRunningPreviews > 0; }
    void SequenceStarted(bool preview = false);
    void SequenceEnded(bool preview = false);
    // Both channel files of the open source are there.
    bool SourceImported() const;

    // The probe of `source` and, with `split`, its split into the pair of
    // channel files the open source does not hold. Only a completed import
    // replaces the open source: the session then takes the source, its
    // facts and its channel files (the earlier ones are discarded) before
    // any other receiver of the job's end hears it. A failed or cancelled
    // one leaves the open source, its facts and its files as they were.
    // Each job counts as a running sequence from now until it ends.
    std::unique_ptr<ImportJob> NewImport(const QString &source, bool split = true);
    // One player for the channel (0 left, 1 right, 2 both) that follows
    // every change of the chains while it plays.
    std::unique_ptr<PreviewJob> NewPreview(int channel);
    // Both channels with their levels and chains into `output`, placed at
    // OutputFile, the renders reading what `reads` says.
    std::unique_ptr<ExportJob> NewExport(std::shared_ptr<OutputReplacement::TemporaryOutput> output,
                                         bool replaceExisting, ExportReads reads = ExportReads::ChannelFiles);
    // What an export to `outputFile` keeps of the open source, and what the
    // user is told of it before it starts.
    KeptStreams::Plan KeptFor(const QString &outputFile) const;
    // "5.1 source: downmixed to stereo", or empty.
    QString SourceNote() const;
    // The numbers each played channel's chain applies now.
    std::vector<ChannelResponse::Chain> PreviewChains(int channel) const;

signals:
    // The settings, gain texts, volumes, chains and plans followed the
    // model (or the source); the flags say whose plan changed.
    void Followed(bool leftPlanChanged, bool rightPlanChanged);
    void SequencesChanged();

private:
    struct ChainFollow
    {
        bool rebuild = false;
        bool showChain = false;
        bool showLevel = false;
    };

    void FollowModel();
    // The gain texts, volumes, bandwidth and low cut as the settings give them.
    void FollowValues();
    void FollowSource();
    template <typename Job>
    void CountWhileRunning(Job *job, bool preview = false);
    std::array<bool, EqualizerSettings::ChannelCount> FollowPlans();
    // The chains follow the settings once per outermost change of the
    // model, and only where an operation asks for it: a new chain is shown
    // in the channel's chain box, a level change shows its text there until
    // the next rebuild. With "Avoid clipping" or "As drawn" on, a chain also
    // follows every change of what it applies.
    void RebuildChainAfterwards(int channel);
    void ShowLevelAfterwards(int channel);
    void RebuildChains();
    // An undo or a redo, both chains rebuilt with it.
    void StepHistory(void (SettingsHistory::*step)());

    Options mOptions;
    EqualizerState mState;
    Source mSource;
    std::array<double, EqualizerSettings::ChannelCount> mVolume{};
    QString mOutputFile;
    int mPreviewChannel = 0;
    EqualizerModel mModel;
    QPointer<SettingsHistory> mHistory;
    ChannelPlanner mPlanner;
    std::array<ChainFollow, EqualizerSettings::ChannelCount> mChainFollow{};
    // Each channel's chain as last rebuilt, none before the first.
    std::array<std::optional<ChannelResponse::Chain>, EqualizerSettings::ChannelCount> mChains;
    // Whether the channel's chain was last built with an option in force:
    // turning both off again must rebuild it plain.
    std::array<bool, EqualizerSettings::ChannelCount> mChainPlanned{};
    std::array<QString, EqualizerSettings::ChannelCount> mChainBox;
    std::array<bool, EqualizerSettings::ChannelCount> mChainBoxSet{};
    EqualizerSettings mFollowed;
    bool mSourceChanged = false;
    int mRunningSequences = 0;
    int mRunningPreviews = 0;
};

// Marks a sequence as running on the session for as long as it lives; safe
// when the session is gone first.
class SequenceScope
{
public:
    explicit SequenceScope(Session *session, bool preview = false);
    ~SequenceScope();
    SequenceScope(const SequenceScope &) = delete;
    SequenceScope &operator=(const SequenceScope &) = delete;

private:
    QPointer<Session> mSession;
    bool mPreview;
};
