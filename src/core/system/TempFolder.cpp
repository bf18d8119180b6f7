#include "core/system/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void DeleteFolderTree(const QString &path)
{
    const QFileInfo entry(path);
    if (entry.isDir() && !entry.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

void PrepareTempFolder(const QString &baseFolder)
{
    const QString workspace = baseFolder + QLatin1String("/TempWavs");
    const QFileInfo entry(workspace);
    // exists() is false for a dangling link, which must go as well.
    if (entry.exists() || entry.isSymLink())
        DeleteFolderTree(workspace);
    QDir().mkdir(workspace);
}
