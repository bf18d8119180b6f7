// The console runner: one tool run as a child process, told as it goes,
// each piece of its merged output, then how it ended. The only code that
// touches QProcess.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <utility>
#include <vector>

class QProcess;
struct ToolCommand;

class ToolRun : public QObject
{
    Q_OBJECT

public:
    enum class End {
        None,          // nothing ran yet, or the program was empty
        Finished,      // the child closed its output by itself
        Stopped,       // Stop() ended it
        FailedToStart, // missing or not executable: nothing was read
    };

    explicit ToolRun(QObject *parent = nullptr);
    // A child still running is killed: no tool outlives its run.
    ~ToolRun() override;

    // Starts the program with its arguments, each handed over whole, with
    // standard input at its end, both output channels merged, and a
    // parent-death signal. False, with LastEnd() FailedToStart (or None for
    // an empty program), when nothing runs; Ended is then not emitted.
    bool Start(const ToolCommand &command);

    bool IsRunning() const;
    // Children started from now on run this much nicer than Brenvox, so a
    // window stays quick while they fill every core. A player keeps 0.
    void SetNiceness(int niceness);
    // Terminate, then kill after a grace period.
    void Stop();
    // The next child started gets `descriptor` (one end of a ChildPipe) as
    // its descriptor `childDescriptor`, 3 and up, below
    // ChildPipe::LowestOwnDescriptor; the caller keeps its own copy.
    void PassDescriptor(int descriptor, int childDescriptor);

    End LastEnd() const;
    int ExitCode() const;
    // The signal that ended the child from outside (a crash or a kill nobody
    // here asked for), or 0 when it ended by itself or by Stop().
    int ExitSignal() const;
    // Why the run did not start, or why it ended abnormally.
    QString FailureReason() const;

    static constexpr int ChunkSize = 256;
    static constexpr int StopGraceMilliseconds = 2000;

signals:
    // At most ChunkSize bytes, in read order.
    void ChunkRead(const QByteArray &chunk);
    // Once per started run, after its last chunk.
    void Ended(ToolRun::End end, int exitCode, const QString &failureReason);

private:
    void DeliverAvailableOutput();
    void ProcessFinished();
    void FinishRun();

    QPointer<QProcess> mProcess;
    int mNiceness = 0;
    std::vector<std::pair<int, int>> mPassed;
    bool mDelivering = false;
    bool mEndPending = false;
    bool mStopRequested = false;
    End mLastEnd = End::None;
    int mExitCode = 0;
    int mExitSignal = 0;
    QString mFailureReason;
};
