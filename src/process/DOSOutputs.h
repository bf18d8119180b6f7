// Runs one command text as a child process and hands its console output to
// the owner, chunk by chunk, while the caller waits: the blocking call on top
// of ToolRun.
#pragma once

#include "process/ToolRun.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class DOSOutputs : public QObject, public std::enable_shared_from_this<DOSOutputs>
{
    Q_OBJECT

public:
    // None, Finished, Stopped or FailedToStart, as the tool run told it.
    using RunEnd = ToolRun::End;

    // Owners hold runners through shared pointers: releasing one while its
    // ExecuteCommand is still on the stack must not destroy it.
    static std::shared_ptr<DOSOutputs> Create();
    ~DOSOutputs() override;

    QString CommandLine() const;
    void SetCommandLine(const QString &DosCommand);
    QString Outputs() const;

    // Runs CommandLine (replaced for good by a non-empty argument) and
    // returns once the child's output has closed, keeping the event loop
    // running meanwhile. Every chunk of at most 256 bytes is raised as
    // ReceiveOutputs in read order, then one empty chunk. Returns the whole
    // output as the console wrote it, one byte per character (Latin-1).
    QByteArray ExecuteCommand(const QString &CommandLine = QString());

    bool IsRunning() const;
    // Ends a running child: terminate, then kill after a grace period.
    void Stop();

    RunEnd LastRunEnd() const;
    int ExitCode() const;
    // The signal that ended the last run's child from outside (a crash or a
    // kill nobody here asked for), or 0 when it ended by itself or by Stop().
    int ExitSignal() const;
    // Why the last run did not start, or why it ended abnormally.
    QString FailureReason() const;

    static constexpr int ChunkSize = ToolRun::ChunkSize;
    static constexpr int StopGraceMilliseconds = ToolRun::StopGraceMilliseconds;

signals:
    // Each handler gets its own copy: changing it reaches neither Outputs()
    // nor later chunks.
    void ReceiveOutputs(QString &CommandOutputs);

private:
    DOSOutputs();
    void TakeChunk(const QByteArray &bytes);

    QString mCommand;
    // Kept as bytes: a tool's output can run to many megabytes, and a
    // QString would hold it twice over.
    QByteArray mOutputs;
    ToolRun *mRun = nullptr;
    RunEnd mLastRunEnd = RunEnd::None;
    int mExitCode = 0;
    int mExitSignal = 0;
    QString mFailureReason;
};

// Makes a new runner the owner's current one (stored in `current`). Its
// chunks reach `handler` only while it is still the current one: a runner
// that was replaced or released must no longer write into its owner.
template <typename Owner>
std::shared_ptr<DOSOutputs> StartCurrentRunner(std::shared_ptr<DOSOutputs> &current, Owner *owner,
                                               void (Owner::*handler)(QString &))
{
    std::shared_ptr<DOSOutputs> runner = DOSOutputs::Create();
    QObject::connect(runner.get(), &DOSOutputs::ReceiveOutputs, owner,
                     [&current, owner, handler, raw = runner.get()](QString &chunk) {
                         if (current.get() == raw)
                             (owner->*handler)(chunk);
                     });
    current = runner;
    return runner;
}
