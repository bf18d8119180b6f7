// The import without windows: the source's probe (duration, sample rate and
// depth, an audio stream present), then its split into one WAV file per
// channel with the peak level measured, with the import's own failure texts.
#pragma once

#include "core/tools/ToolOutputReader.h"
#include "jobs/ToolSequence.h"

#include <QObject>
#include <QString>

struct ImportRequest
{
    QString sourceFile;
    QString leftWav;  // the split's files; both empty: the probe alone
    QString rightWav;
    QString proberFolder;  // ToolFolder("ffprobe")
    QString encoderFolder; // ToolFolder("ffmpeg")
};

class ImportObserver
{
public:
    virtual ~ImportObserver() = default;
    virtual void ImportOutput(const QString &chunk) = 0;
    // The whole seconds of the source's duration, once the probe's report
    // is read; not told when the report has none.
    virtual void DurationRead(const QString &seconds) = 0;
    // The probe ran well; the audio stream is checked next. Either number
    // is 0 when the probe did not tell it.
    virtual void Probed(int sampleRate, int bitsPerSample) = 0;
    virtual void SplitStarted() = 0;
    // The split ran well: the peak level in dBFS of the louder channel file
    // (minus infinity for silence, NaN when ffmpeg reported none).
    virtual void SourcePeakMeasured(double peakDb) = 0;
    // A heading ("Searching Failed", "Extracting Chanel Data Failed") and
    // the reason; the channel files are gone.
    virtual void ImportFailed(const QString &heading, const QString &reason) = 0;
    // Once, after the last tool has gone; never delete the job inside it.
    virtual void ImportEnded(bool completed) = 0;
};

class ImportJob : public QObject, private JobObserver
{
    Q_OBJECT

public:
    ImportJob(const ImportRequest &request, ImportObserver *observer, QObject *parent = nullptr);

    void Start();
    void Cancel();
    bool IsRunning() const;

private:
    void StepStarted(int step) override;
    void StepOutput(int step, const QString &chunk) override;
    void StepDone(int step) override;
    void StepFailed(int step, const QString &failure) override;
    void SequenceEnded(bool completed) override;
    std::optional<QString> JudgeRun(int step, const DOSOutputs &run, const QString &output) override;
    void Fail(const QString &heading, const QString &reason);
    void RemoveChannelFiles();

    ImportRequest mRequest;
    ImportObserver *mObserver;
    ToolSequence *mSequence = nullptr;
    ToolOutputReader mOutput;
    // Refused before any tool ran; the failure is still to be told.
    bool mRefused = false;
};
