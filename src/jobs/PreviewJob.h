// The preview without windows: one player plays the channel files through a
// graph of the chains at once, takes every later change while it plays, and
// switches between the equalized and the untouched sound.
#pragma once

#include "dsp/ChannelResponse.h"
#include "core/system/JobPaths.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

class FilterCommandLink;
class DOSOutputs;

struct PreviewRequest
{
    JobPaths paths;
    // 0 the left channel, 1 the right, 2 both.
    int channel = 2;
    // The chain of each channel played: one, or the left then the right.
    std::vector<ChannelResponse::Chain> chains;
    QString playerFolder; // ToolFolder("ffplay")
    double startSeconds = 0;
    bool bypass = false;
    // Without it every change restarts the player where it is.
    bool liveChanges = true;
};

class PreviewObserver
{
public:
    virtual ~PreviewObserver() = default;
    // Seconds into the source of what is heard now.
    virtual void ShowPosition(double seconds) = 0;
    // The player's messages, without its position lines.
    virtual void ShowOutput(const QString &chunk) = 0;
    // Said once: changes restart the player instead of reaching it.
    virtual void ShowNote(const QString &note) = 0;
    virtual void ShowFailure(const QString &said) = 0;
    // Once, after the player has gone for good; never delete the job inside it.
    virtual void PreviewEnded(bool completed) = 0;
};

class PreviewJob : public QObject
{
    Q_OBJECT

public:
    PreviewJob(const PreviewRequest &request, PreviewObserver *observer, QObject *parent = nullptr);
    ~PreviewJob() override;

    void Start();
    // Ends the player at once.
    void Cancel();
    bool IsRunning() const;

    void SetChains(const std::vector<ChannelResponse::Chain> &chains);
    void SetBypass(bool bypass);
    // Plays on from there.
    void Seek(double seconds);
    double Position() const { return mPosition; }
    // The player takes changes while it plays (azmq answers).
    bool TakesChanges() const;

    static const QString RestartNote;

private:
    void StartPlayer(double seconds);
    void RestartAt(double seconds);
    void TakeOutput(const QByteArray &chunk);
    void PlayerEnded();
    void SendChanges();
    void Replied(const QString &command, const QString &reply);
    void LinkLost();
    void LinkSilent();
    void Note();

    PreviewRequest mRequest; // chains and bypass as wanted now
    PreviewObserver *mObserver;
    DOSOutputs *mRun;
    FilterCommandLink *mLink;
    QTimer mRestartTimer;
    std::vector<ChannelResponse::Chain> mPlaying; // what the player has
    bool mPlayingBypass = false;
    std::vector<ChannelResponse::Chain> mStarted; // what its graph text says
    bool mStartedBypass = false;
    bool mLive = true;
    bool mNoted = false;
    bool mCancelled = false;
    bool mRunning = false;
    bool mRestartPending = false;
    double mRestartAt = 0;
    double mPosition = 0;
    QString mPartialLine;
    QString mOutput;
};
