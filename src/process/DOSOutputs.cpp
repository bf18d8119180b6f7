#include "process/DOSOutputs.h"

#include "process/CommandText.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>

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
    return !mProcess.isNull();
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

    const QStringList arguments = CommandText::SplitCommandText(mCommand);
    if (arguments.isEmpty())
        return QByteArray();

    QProcess process;
    process.setProgram(arguments.first());
    process.setArguments(arguments.mid(1));
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A tool that asks a question gets end-of-file at once instead of waiting.
    process.setStandardInputFile(QProcess::nullDevice());
    // No tool may outlive Brenvox, not even when Brenvox is killed.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });

    mStopRequested = false;
    mExitSignal = 0;
    mFailureReason.clear();
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        mLastRunEnd = RunEnd::FailedToStart;
        mExitCode = -1;
        mFailureReason = process.errorString();
        return QByteArray();
    }

    mProcess = &process;
    mOutputs.clear();

    QEventLoop loop;
    connect(&process, &QProcess::readyRead, this, &DOSOutputs::DeliverAvailableOutput);
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning)
        loop.exec();

    DeliverAvailableOutput();
    mProcess.clear();

    mExitCode = process.exitCode();
    if (mStopRequested) {
        mLastRunEnd = RunEnd::Stopped;
    } else {
        mLastRunEnd = RunEnd::Finished;
        if (process.exitStatus() == QProcess::CrashExit) {
            // On Unix, Qt reports the ending signal as the exit code of a crash.
            mExitSignal = process.exitCode();
            mExitCode = -1;
            mFailureReason = process.errorString();
        }
    }

    QString last;
    emit ReceiveOutputs(last);
    return mOutputs;
}

void DOSOutputs::DeliverAvailableOutput()
{
    // A handler that processes events can bring us here again; the outer
    // call keeps delivering so the chunks stay in read order.
    if (mDelivering)
        return;
    mDelivering = true;
    while (mProcess && mProcess->bytesAvailable() > 0) {
        const QByteArray bytes = mProcess->read(ChunkSize);
        mOutputs += bytes;
        QString chunk = QString::fromLatin1(bytes);
        emit ReceiveOutputs(chunk);
    }
    mDelivering = false;
}

void DOSOutputs::Stop()
{
    if (!mProcess)
        return;
    mStopRequested = true;
    mProcess->terminate();
    QPointer<QProcess> process = mProcess;
    QTimer::singleShot(StopGraceMilliseconds, this, [process] {
        if (process)
            process->kill();
    });
}
