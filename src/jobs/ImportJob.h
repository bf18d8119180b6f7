// The import without windows: the source's probe (duration, sample rate and
// depth, an audio stream present), then its split into one WAV file per
// channel with the peak level measured, with the import's own failure texts.
#pragma once

#include "core/tools/KeptStreams.h"
#include "core/tools/ToolOutputReader.h"
#include "jobs/ToolSequence.h"

#include <QObject>
#include <QString>

#include <limits>

struct ImportRequest
{
    QString sourceFile;
    QString leftWav;  // the split's files; both empty: the probe alone
    QString rightWav;
    QString proberFolder;  // ToolFolder("ffprobe")
    QString encoderFolder; // ToolFolder("ffmpeg")
};

// What the probe and the split told of the source.
struct ImportFacts
{
    QString duration;
    int sampleRate = 0;
    int bitsPerSample = 0;
    double peakDb = std::numeric_limits<double>::quiet_NaN();
    int channels = 0;
    QString channelLayout;
    QList<KeptStreams::SourceStream> streams;
};

class ImportJob : public QObject, private JobObserver
{
    Q_OBJECT

public:
    explicit ImportJob(const ImportRequest &request, QObject *parent = nullptr);

    void Start();
    void Cancel();
    bool IsRunning() const;
    // As far as they have been told; whole once the import has completed.
    const ImportFacts &Facts() const { return mFacts; }

signals:
    void output(const QString &chunk);
    // The whole seconds of the source's duration, once the probe's report
    // is read; not told when the report has none.
    void durationRead(const QString &seconds);
    // The probe ran well; the audio stream is checked next. Either number
    // is 0 when the probe did not tell it.
    void probed(int sampleRate, int bitsPerSample);
    void splitStarted();
    // The split ran well: the peak level in dBFS of the louder channel file
    // (minus infinity for silence, NaN when ffmpeg reported none).
    void sourcePeakMeasured(double peakDb);
    // A heading ("Searching Failed", "Extracting Chanel Data Failed") and
    // the reason; the channel files are gone.
    void failed(const QString &heading, const QString &reason);
    // Once, after the last tool has gone; the job may be deleted later,
    // never in a slot of this.
    void ended(bool completed);

private:
    void StepStarted(int step) override;
    void StepOutput(int step, const QString &chunk) override;
    void StepDone(int step) override;
    void StepFailed(int step, const QString &failure) override;
    void SequenceEnded(bool completed) override;
    std::optional<QString> WordFailure(int step, const ToolRun &run, const QString &output) override;
    void Fail(const QString &heading, const QString &reason);
    void RemoveChannelFiles();

    ImportRequest mRequest;
    ImportFacts mFacts;
    ToolSequence *mSequence = nullptr;
    ToolOutputReader mOutput;
    // Refused before any tool ran; the failure is still to be told.
    bool mRefused = false;
};
