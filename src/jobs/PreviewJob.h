// The both-channel preview without windows: the left and the right render at
// once, their merge, then the player, told as the four steps the preview has
// always shown.
#pragma once

#include "jobs/JobPaths.h"
#include "jobs/ToolSequence.h"

#include <QObject>
#include <QString>

struct PreviewRequest
{
    JobPaths paths;
    qint16 leftVolume = 0;
    qint16 rightVolume = 0;
    QString leftChain;
    QString rightChain;
    QString encoderFolder; // ToolFolder("ffmpeg")
    QString playerFolder;  // ToolFolder("ffplay")
};

class PreviewObserver
{
public:
    virtual ~PreviewObserver() = default;
    // The steps come in their table's order, each once: the right render's
    // once the left one has ended, even when both run.
    virtual void ShowStep(const QString &step, const QString &overallProgress, int bar) = 0;
    virtual void ShowOutput(const QString &chunk) = 0;
    // "<step> failed: <why>"; the other tools are being stopped.
    virtual void ShowFailure(const QString &said) = 0;
    // Once, after the last tool has gone; never delete the job inside it.
    virtual void PreviewEnded(bool completed) = 0;
};

class PreviewJob : public QObject, private JobObserver
{
    Q_OBJECT

public:
    PreviewJob(const PreviewRequest &request, PreviewObserver *observer, QObject *parent = nullptr);

    void Start();
    void Cancel();
    bool IsRunning() const;

private:
    void StepStarted(int step) override;
    void StepOutput(int step, const QString &chunk) override;
    void StepDone(int step) override;
    void StepFailed(int step, const QString &failure) override;
    void SequenceEnded(bool completed) override;
    void ShowUpTo(int step);

    PreviewObserver *mObserver;
    ToolSequence *mSequence = nullptr;
    int mShown = -1;
};
