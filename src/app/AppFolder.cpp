#include "app/AppFolder.h"

#include "app/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

QString &AppFolderOverride()
{
    static QString folder;
    return folder;
}

std::unique_ptr<QTemporaryDir> &InstanceFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

const QLatin1String InstancePrefix("brenvox-");
const QLatin1String OwnerFile("owner.pid");

bool IsExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// A workspace whose instance is gone (killed, crashed) would otherwise stay
// in the temporary folder for good.
void RemoveAbandonedWorkspaces(const QString &temporaryFolder)
{
    const QDir folder(temporaryFolder);
    const QStringList names = folder.entryList({InstancePrefix + QLatin1Char('*')},
                                              QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString &name : names) {
        const QString path = folder.filePath(name);
        if (!QFileInfo(path).isWritable())
            continue;
        QFile owner(path + QLatin1Char('/') + OwnerFile);
        if (!owner.open(QIODevice::ReadOnly))
            continue; // not one of ours, or still being made
        const qint64 pid = owner.readAll().trimmed().toLongLong();
        if (pid <= 0 || pid == ::getpid())
            continue;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QDir(path).removeRecursively();
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
    std::unique_ptr<QTemporaryDir> &instance = InstanceFolder();
    if (!instance || !instance->isValid() || !QFileInfo(instance->path()).isDir()) {
        const QString temporaryFolder = QDir::tempPath();
        instance = std::make_unique<QTemporaryDir>(temporaryFolder + QLatin1Char('/') + InstancePrefix
                                                   + QLatin1String("XXXXXX"));
        if (instance->isValid()) {
            QFile owner(instance->filePath(OwnerFile));
            if (owner.open(QIODevice::WriteOnly))
                owner.write(QByteArray::number(qint64(::getpid())) + '\n');
            PrepareTempFolder(instance->path());
        }
    }
    // An invalid folder still gives paths: the tools then fail on them and
    // say why.
    return instance->path() + QLatin1String("/TempWavs");
}

QString WorkspaceFile(const QString &name)
{
    return WorkspaceFolder() + QLatin1Char('/') + name;
}

void PrepareWorkspace()
{
    RemoveWorkspace();
    RemoveAbandonedWorkspaces(QDir::tempPath());
    WorkspaceFolder();
}

void RemoveWorkspace()
{
    InstanceFolder().reset();
}
