#include "app/AppFolder.h"

#include <QCoreApplication>

namespace {

QString &AppFolderOverride()
{
    static QString folder;
    return folder;
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

QString WorkspaceFolder()
{
    return AppFolder() + QLatin1String("/TempWavs");
}
