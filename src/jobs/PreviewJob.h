// The preview without windows: one player plays the channel files through a
// graph of the chains at once, takes every later change while it plays, and
// switches between the equalized and the untouched sound.
#pragma once

#include "dsp/ChannelResponse.h"
#include "core/system/JobPaths.h"
#include "core/tools/ToolOutputReader.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

class FilterCommandLink;
class ToolRun;

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

class PreviewJob : public QObject
{
    Q_OBJECT

public:
    explicit PreviewJob(const PreviewRequest &request, QObject *parent = nullptr);
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

signals:
    // Seconds into the source of what is heard now.
    void position(double seconds);
    // The player's messages, without its position lines.
    void output(const QString &chunk);
    // Said once: changes restart the player instead of reaching it.
    void note(const QString &text);
    void failed(const QString &said);
    // Once, after the player has gone for good; the job may be deleted
    // later, never in a slot of this.
    void ended(bool completed);

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
    ToolRun *mRun;
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
    LineSplitter mLines;
    QString mOutput;
};
