#include "core/system/AppFolder.h"

#include "core/system/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString &AppFolderOverride()
{
    static QString folder;
    return folder;
}

// The folder and the lock that tells other instances it is in use, held
// for as long as the workspace is.
struct Instance
{
    QTemporaryDir folder;
    int lock = -1;

    explicit Instance(const QString &pattern) : folder(pattern) {}
    ~Instance()
    {
        if (lock >= 0)
            ::close(lock);
    }
};

std::unique_ptr<Instance> &InstanceFolder()
{
    static std::unique_ptr<Instance> instance;
    return instance;
}

const QLatin1String InstancePrefix("brenvox-");
const QLatin1String LockFile("in-use.lock");

// TMPDIR when it names a folder this user can write, else /tmp: a missing
// TMPDIR would otherwise leave the workspace at the root of the file system.
QString TemporaryFolder()
{
    const QString given = qEnvironmentVariable("TMPDIR");
    const QFileInfo folder(given);
    if (!given.isEmpty() && folder.isAbsolute() && folder.isDir() && ::access(QFile::encodeName(given), W_OK | X_OK) == 0)
        return QDir::cleanPath(given);
    return QStringLiteral("/tmp");
}

// Taken under another name and then renamed into place, so no other
// instance ever finds the lock file of a live workspace unlocked.
int LockWorkspace(const QString &folder)
{
    const QByteArray taking = QFile::encodeName(folder + QLatin1Char('/') + LockFile + QLatin1String(".new"));
    const int fd = ::open(taking.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX) != 0
        || ::rename(taking.constData(), QFile::encodeName(folder + QLatin1Char('/') + LockFile).constData()) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool IsExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// A workspace whose instance is gone (killed, crashed) would otherwise stay
// in the temporary folder for good. Its lock is free once no process holds
// it, whatever process ids another PID namespace sharing the folder uses.
void RemoveAbandonedWorkspaces(const QString &temporaryFolder)
{
    const QDir folder(temporaryFolder);
    const QStringList names = folder.entryList({InstancePrefix + QLatin1Char('*')},
                                              QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString &name : names) {
        const QString path = folder.filePath(name);
        struct stat entry {};
        if (::lstat(QFile::encodeName(path).constData(), &entry) != 0 || !S_ISDIR(entry.st_mode)
            || entry.st_uid != ::geteuid())
            continue;
        // No lock file: not one of ours, or still being made.
        const int lock = ::open(QFile::encodeName(path + QLatin1Char('/') + LockFile).constData(),
                                O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
        if (lock < 0)
            continue;
        struct stat lockEntry {};
        if (::fstat(lock, &lockEntry) == 0 && S_ISREG(lockEntry.st_mode) && ::flock(lock, LOCK_EX | LOCK_NB) == 0)
            QDir(path).removeRecursively();
        ::close(lock);
    }
}

} // namespace

QString AppFolder()
{
    const QString &folder = AppFolderOverride();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void OverrideAppFolder(const QString &folder)
{
    AppFolderOverride() = folder;
}

QStringList ToolSearchFolders()
{
    QStringList folders{AppFolder()};
    const QString path = qEnvironmentVariable("PATH");
    for (const QString &folder : path.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QString ToolFolder(const QString &tool)
{
    for (const QString &folder : ToolSearchFolders()) {
        if (IsExecutableFile(folder + QLatin1Char('/') + tool))
            return folder;
    }
    return AppFolder();
}

QString WorkspaceFolder()
{
    std::unique_ptr<Instance> &instance = InstanceFolder();
    if (!instance || !instance->folder.isValid() || !QFileInfo(instance->folder.path()).isDir()) {
        instance.reset();
        instance = std::make_unique<Instance>(TemporaryFolder() + QLatin1Char('/') + InstancePrefix
                                              + QLatin1String("XXXXXX"));
        if (instance->folder.isValid()) {
            instance->lock = LockWorkspace(instance->folder.path());
            PrepareTempFolder(instance->folder.path());
        }
    }
    // An invalid folder still gives paths: the tools then fail on them and
    // say why.
    return instance->folder.path() + QLatin1String("/TempWavs");
}

QString WorkspaceFile(const QString &name)
{
    return WorkspaceFolder() + QLatin1Char('/') + name;
}

void PrepareWorkspace()
{
    RemoveWorkspace();
    RemoveAbandonedWorkspaces(TemporaryFolder());
    WorkspaceFolder();
}

void RemoveWorkspace()
{
    InstanceFolder().reset();
}
