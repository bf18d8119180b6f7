#include "process/DOSOutputs.h"

#include "process/ToolRun.h"

#include <QEventLoop>

std::shared_ptr<DOSOutputs> DOSOutputs::Create()
{
    return std::shared_ptr<DOSOutputs>(new DOSOutputs);
}

DOSOutputs::DOSOutputs() = default;

DOSOutputs::~DOSOutputs() = default;

QString DOSOutputs::CommandLine() const
{
    return mCommand;
}

void DOSOutputs::SetCommandLine(const QString &DosCommand)
{
    mCommand = DosCommand;
}

QString DOSOutputs::Outputs() const
{
    return QString::fromLatin1(mOutputs);
}

bool DOSOutputs::IsRunning() const
{
    return mRun && mRun->IsRunning();
}

DOSOutputs::RunEnd DOSOutputs::LastRunEnd() const
{
    return mLastRunEnd;
}

int DOSOutputs::ExitCode() const
{
    return mExitCode;
}

int DOSOutputs::ExitSignal() const
{
    return mExitSignal;
}

QString DOSOutputs::FailureReason() const
{
    return mFailureReason;
}

QByteArray DOSOutputs::ExecuteCommand(const QString &CommandLine)
{
    if (!CommandLine.isEmpty())
        mCommand = CommandLine;
    if (mCommand.isEmpty() || IsRunning())
        return QByteArray();

    // A handler may drop the owner's reference while this call is running.
    const std::shared_ptr<DOSOutputs> keepAlive = shared_from_this();

    ToolRun run;
    mExitSignal = 0;
    mFailureReason.clear();
    if (!run.Start(mCommand)) {
        if (run.LastEnd() == ToolRun::End::FailedToStart) {
            mLastRunEnd = RunEnd::FailedToStart;
            mExitCode = -1;
            mFailureReason = run.FailureReason();
        }
        return QByteArray();
    }

    mRun = &run;
    mOutputs.clear();
    QEventLoop loop;
    connect(&run, &ToolRun::ChunkRead, this, &DOSOutputs::TakeChunk);
    connect(&run, &ToolRun::Ended, &loop, &QEventLoop::quit);
    loop.exec();
    mRun = nullptr;

    mLastRunEnd = run.LastEnd();
    mExitCode = run.ExitCode();
    mExitSignal = run.ExitSignal();
    mFailureReason = run.FailureReason();

    QString last;
    emit ReceiveOutputs(last);
    return mOutputs;
}

void DOSOutputs::TakeChunk(const QByteArray &bytes)
{
    mOutputs += bytes;
    QString chunk = QString::fromLatin1(bytes);
    emit ReceiveOutputs(chunk);
}

void DOSOutputs::Stop()
{
    if (mRun)
        mRun->Stop();
}
