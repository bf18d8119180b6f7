// The application without windows: the state the windows and the command
// line share, the settings with their history, the one place they become
// gain texts, volumes and chains, and the import, preview and export as jobs
// for whoever drives it. The windows drive one; a batch makes one per file.
#pragma once

#include "core/equalizer/ChannelPlan.h"
#include "core/equalizer/EqualizerModel.h"
#include "core/equalizer/EqualizerState.h"
#include "core/equalizer/SettingsHistory.h"
#include "core/system/JobPaths.h"
#include "core/system/OutputReplacement.h"
#include "jobs/ExportJob.h"
#include "jobs/ImportJob.h"
#include "jobs/PreviewJob.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>

class Session : public QObject, public EqualizerState
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

    // What the windows hand each other, by the design's names. The gain
    // texts, volumes, bandwidth and low cut follow the settings; the chains
    // follow them at the moments the handlers ask for (RebuildChainAfterwards).
    QString SourceFile;
    QString SourceDuration;
    QString LeftSourceWav;
    QString RightSourceWav;
    QString LeftOutWav;
    QString RightOutWav;
    QString OutputFile;
    qint16 PreviewChannel = 0;
    double LeftVolume = 0;
    double RightVolume = 0;

    // Levels 1, bandwidth 1, every gain text "0". Touches nothing else and
    // rebuilds no chain.
    void ResetEqualizerState();

    // The settings themselves.
    EqualizerModel &Equalizer() { return mModel; }
    const EqualizerModel &Equalizer() const { return mModel; }
    // Undo and redo from the settings as they are when it is started; null
    // before.
    SettingsHistory *History() const { return mHistory; }
    void StartHistory();
    const ChannelPlan &Plan(int channel) const { return mPlanner.Plan(channel); }

    // The chains follow the settings once per outermost change of the model,
    // and only where the handlers ask for it, as when each moved control
    // rebuilt its channel's chain itself: a new chain is shown in the
    // channel's chain box, a level change shows its text there until the
    // next rebuild. With "Avoid clipping" or "As drawn" on, a chain also
    // follows every change of what it applies.
    void RebuildChainAfterwards(int channel);
    void ShowLevelAfterwards(int channel);
    // Both chains now, as if every band had been set again (the end of an
    // import, a preset).
    void RebuildChains();
    // What the channel's chain box shows: its chain, or a level text; and
    // whether the last follow set it (a box the user typed in keeps his
    // text until then).
    QString ChainBox(int channel) const { return mChainBox[channel]; }
    bool ChainBoxSet(int channel) const { return mChainBoxSet[channel]; }
    // The open source's rate, depth or peak changed: the plans follow, and
    // the chains an option shapes.
    void FollowSource();

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
    template <typename Job>
    void CountWhileRunning(Job *job, bool preview = false);
    std::array<bool, EqualizerSettings::ChannelCount> FollowPlans();
    QString &Chain(int channel) { return channel == EqualizerSettings::Left ? LeftFilterChain : RightFilterChain; }

    Options mOptions;
    EqualizerModel mModel;
    QPointer<SettingsHistory> mHistory;
    ChannelPlanner mPlanner;
    std::array<ChainFollow, EqualizerSettings::ChannelCount> mChainFollow{};
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
