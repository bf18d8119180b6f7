#include "process/ToolRun.h"

#include "core/system/NativePath.h"
#include "core/tools/CommandText.h"
#include "process/ChildPipe.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

ToolRun::ToolRun(QObject *parent)
    : QObject(parent)
{
}

ToolRun::~ToolRun()
{
    if (!mProcess)
        return;
    mProcess->disconnect(this);
    mProcess->kill();
    mProcess->waitForFinished(-1);
    delete mProcess;
}

namespace {

// QProcess hands its arguments over as UTF-8, so a name holding other bytes
// would reach the tool as another name. Such a file that exists is opened
// here instead and the child reaches it through its own descriptor, which
// /proc opens anew, seekable, for the tool. Returns what was opened, to be
// closed once the child has started.
std::vector<int> HandOverRawPaths(QStringList &arguments, std::vector<std::pair<int, int>> &passed)
{
    std::vector<int> opened;
    int slot = ChildPipe::LowestOwnDescriptor - 1;
    for (QString &argument : arguments) {
        if (!NativePath::HoldsRawBytes(argument))
            continue;
        const QLatin1String protocol("file:");
        const bool named = argument.startsWith(protocol);
        const QString path = named ? argument.mid(protocol.size()) : argument;
        const int first = ::open(NativePath::ToBytes(path).constData(), O_PATH | O_CLOEXEC);
        if (first < 0)
            continue;
        // Above the slots, as a pipe's ends are, so that no hand-over
        // lands on a descriptor still to be handed over.
        const int descriptor = ::fcntl(first, F_DUPFD_CLOEXEC, ChildPipe::LowestOwnDescriptor);
        ::close(first);
        if (descriptor < 0)
            continue;
        opened.push_back(descriptor);
        passed.emplace_back(descriptor, slot);
        argument = (named ? QString(protocol) : QString()) + QStringLiteral("/proc/self/fd/%1").arg(slot);
        --slot;
    }
    return opened;
}

} // namespace

bool ToolRun::Start(const ToolCommand &command)
{
    std::vector<std::pair<int, int>> passed = std::exchange(mPassed, {});
    if (IsRunning())
        return false;
    mStopRequested = false;
    mEndPending = false;
    mExitCode = 0;
    mExitSignal = 0;
    mFailureReason.clear();
    if (command.program.isEmpty()) {
        mLastEnd = End::None;
        return false;
    }
    QStringList arguments = command.arguments;
    const std::vector<int> opened = HandOverRawPaths(arguments, passed);
    const auto closeOpened = qScopeGuard([&opened] {
        for (const int descriptor : opened)
            ::close(descriptor);
    });

    auto *process = new QProcess(this);
    process->setProgram(command.program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::MergedChannels);
    // A tool that asks a question gets end-of-file at once instead of waiting.
    process->setStandardInputFile(QProcess::nullDevice());
    // No tool may outlive Brenvox, not even when Brenvox is killed.
    const int niceness = mNiceness;
    process->setChildProcessModifier([niceness, passed] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (niceness > 0)
            ::setpriority(PRIO_PROCESS, 0, ::getpriority(PRIO_PROCESS, 0) + niceness);
        // The copy stays open across exec.
        for (const auto &[descriptor, childDescriptor] : passed)
            ::dup2(descriptor, childDescriptor);
    });
    process->start(QIODevice::ReadOnly);
    if (!process->waitForStarted(-1)) {
        mLastEnd = End::FailedToStart;
        mExitCode = -1;
        mFailureReason = process->errorString();
        delete process;
        return false;
    }
    mProcess = process;
    connect(process, &QProcess::readyRead, this, &ToolRun::DeliverAvailableOutput);
    connect(process, &QProcess::finished, this, &ToolRun::ProcessFinished);
    return true;
}

void ToolRun::PassDescriptor(int descriptor, int childDescriptor)
{
    mPassed.emplace_back(descriptor, childDescriptor);
}

void ToolRun::SetNiceness(int niceness)
{
    mNiceness = niceness;
}

bool ToolRun::IsRunning() const
{
    return !mProcess.isNull();
}

void ToolRun::Stop()
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

ToolRun::End ToolRun::LastEnd() const
{
    return mLastEnd;
}

int ToolRun::ExitCode() const
{
    return mExitCode;
}

int ToolRun::ExitSignal() const
{
    return mExitSignal;
}

QString ToolRun::FailureReason() const
{
    return mFailureReason;
}

void ToolRun::DeliverAvailableOutput()
{
    // A handler that processes events can bring us here again; the outer
    // call keeps delivering so the chunks stay in read order.
    if (mDelivering)
        return;
    mDelivering = true;
    while (mProcess && mProcess->bytesAvailable() > 0)
        emit ChunkRead(mProcess->read(ChunkSize));
    mDelivering = false;
    if (mEndPending)
        FinishRun();
}

void ToolRun::ProcessFinished()
{
    // The end is told after every chunk, also when a chunk's handler is
    // still on the stack.
    mEndPending = true;
    if (!mDelivering)
        DeliverAvailableOutput();
}

void ToolRun::FinishRun()
{
    mEndPending = false;
    QProcess *process = mProcess;
    if (!process)
        return;
    mProcess.clear();
    mExitCode = process->exitCode();
    if (mStopRequested) {
        mLastEnd = End::Stopped;
    } else {
        mLastEnd = End::Finished;
        if (process->exitStatus() == QProcess::CrashExit) {
            // On Unix, Qt reports the ending signal as the exit code of a crash.
            mExitSignal = process->exitCode();
            mExitCode = -1;
            mFailureReason = process->errorString();
        }
    }
    process->disconnect(this);
    process->deleteLater();
    emit Ended(mLastEnd, mExitCode, mFailureReason);
}
