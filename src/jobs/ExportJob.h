// The export without windows: both channels rendered at once, streamed into
// their merge into a hidden file in a private folder beside the target
// (nothing lands in the workspace), checked with ffprobe (and decoded where
// its length is only an estimate) and renamed onto the target; a failure or
// Cancel removes the hidden file and its folder and leaves the target.
#pragma once

#include "core/system/OutputReplacement.h"
#include "core/system/JobPaths.h"
#include "core/tools/ExportProgress.h"
#include "core/tools/KeptStreams.h"
#include "jobs/ToolSequence.h"

#include <QObject>
#include <QString>

#include <memory>

// What the renders read: the import's channel files; the source itself,
// channel by channel (no split, nothing in the workspace); or the source in
// one run that renders both channels straight into the hidden file (its row
// is the merge's), so that a batch keeps every core busy with files of its
// own.
enum class ExportReads { ChannelFiles, Source, SourceInOneRun };

struct ExportRequest
{
    JobPaths paths; // the channel files read
    double leftVolume = 0;
    double rightVolume = 0;
    QString leftChain;
    QString rightChain;
    // Written by the merge; removed unless it becomes the target.
    std::shared_ptr<OutputReplacement::TemporaryOutput> temporaryOutput;
    QString target;
    // The user agreed to replace a file at the target (the save dialog asked,
    // or --overwrite). Otherwise a file that appears there meanwhile stays
    // and the export fails.
    bool replaceExisting = false;
    QString encoderFolder; // ToolFolder("ffmpeg")
    QString proberFolder;  // ToolFolder("ffprobe")
    ExportReads reads = ExportReads::ChannelFiles;
    // What the renders read unless the channel files are read; and where
    // the output takes the source's tags, chapters and the streams `kept`
    // names. Empty: the sound alone is written.
    QString sourceFile;
    KeptStreams::Plan kept;
    // Of the source (EqualizerState::SourceBitsPerSample): a WAV or FLAC
    // file keeps a depth above 16 bits.
    int sourceBitsPerSample = 0;
    // Of its first audio stream: more than two are downmixed to stereo.
    int sourceChannels = 0;
    // Its whole seconds as the import read them: the progress counts them.
    QString sourceDuration;
};

class ExportJob : public QObject, private JobObserver
{
    Q_OBJECT

public:
    // The export's three rows: the left render, the right render, and the
    // merge with its check and rename.
    enum Row { LeftRender, RightRender, Merge };

    // "Creating Left Chanel", "Creating Right Chanel", "Merging Chanels"
    static QString RowName(int row);

    explicit ExportJob(const ExportRequest &request, QObject *parent = nullptr);
    // Tools still running are killed and the hidden file removed.
    ~ExportJob() override;

    // Starts the renders and the merge they stream into; the merge's row
    // starts once both renders are through.
    void SaveChanels();
    // Stops every tool and removes the hidden file at once; once the written
    // file is checked and being put in place, it lets it finish.
    void Cancel();
    bool IsRunning() const;

    // How far the export has come, as its bar counts it: the seconds of the
    // source each step has been through, out of three times the source's
    // whole seconds (once for a whole run), or without them the steps that
    // completed, out of three (one); up to date when a row's output, its
    // completion or its failure is told, and after a failure only completed
    // steps count.
    int ProgressValue() const;
    int ProgressMaximum() const;

signals:
    void rowStarted(int row);
    // Each piece of the row's tool output, an empty one after each run.
    void rowOutput(int row, const QString &chunk);
    void rowCompleted(int row);
    // "<row name> failed: <why>", naming the target, never the hidden file.
    void rowFailed(int row, const QString &said);
    // A render that another's failure stopped before it ended.
    void rowStopped(int row);
    // The written file is in place: the merged stream's peak in dBFS before
    // encoding (above 0 the file clipped; NaN when ffmpeg reported none),
    // told just before the merge row completes.
    void writtenPeakMeasured(double peakDb);
    // Once, after the last tool has gone; the job may be deleted later,
    // never in a slot of this.
    void ended(bool completed);

private:
    int RowOf(int step) const;
    bool IsRender(int step) const;
    void StepStarted(int step) override;
    void StartMergeRow();
    void StepOutput(int step, const QString &chunk) override;
    void StepDone(int step) override;
    void StepFailed(int step, const QString &failure) override;
    void SequenceEnded(bool completed) override;
    void ReplaceTarget();
    void Replaced(const QString &problem);
    void Fail(int row, const QString &failure);
    void RemoveTemporaryOutput();

    ExportRequest mRequest;
    ToolSequence *mSequence = nullptr;
    // Where the merge's (or the whole run's) steps begin in the table.
    int mJoinStep = 0;
    // The run that decodes the written file, -1 when ffprobe's length of it
    // is exact.
    int mDecodeStep = -1;
    ExportCounters mCounters;
    int mSourceSeconds = 0;
    int mProgressMaximum = 0;
    bool mCountsSteps = false;
    bool mFailed = false;
    bool mReplacing = false;
    bool mJoinStarted = false;
    bool mRowStarted[2] = {false, false};
    bool mRowCompleted[2] = {false, false};
};
