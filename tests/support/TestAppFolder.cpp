#include "TestAppFolder.h"

#include "core/system/AppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

TestAppFolder::TestAppFolder(const QString &folderName)
{
    if (!mRoot.isValid())
        return;
    mPath = mRoot.path() + QLatin1Char('/') + folderName;
    QDir().mkpath(mPath);
    QDir().mkpath(mRoot.path() + QLatin1String("/scratch"));
    OverrideAppFolder(mPath);
    // Shutdown writes "Last settings": never into the user's configuration.
    QStandardPaths::setTestModeEnabled(true);
}

TestAppFolder::~TestAppFolder()
{
    OverrideAppFolder(QString());
    if (mPathHidden)
        qputenv("PATH", mSavedPath);
}

QString TestAppFolder::path() const
{
    return mPath;
}

bool TestAppFolder::isValid() const
{
    return mRoot.isValid() && QFileInfo(mPath).isDir();
}

bool TestAppFolder::linkRealTool(const QString &tool)
{
    const QString target = QFileInfo(binFolder() + QLatin1Char('/') + tool).canonicalFilePath();
    if (target.isEmpty())
        return false;
    QFile::remove(mPath + QLatin1Char('/') + tool);
    return QFile::link(target, mPath + QLatin1Char('/') + tool);
}

bool TestAppFolder::writeTool(const QString &tool, const QByteArray &script)
{
    QFile::remove(mPath + QLatin1Char('/') + tool);
    QFile file(mPath + QLatin1Char('/') + tool);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(script);
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

void TestAppFolder::removeTool(const QString &tool)
{
    QFile::remove(mPath + QLatin1Char('/') + tool);
    // Brenvox looks for its tools on PATH after its own folder; the system's
    // would stand in for the removed one.
    if (!mPathHidden) {
        mSavedPath = qgetenv("PATH");
        mPathHidden = true;
        qunsetenv("PATH");
    }
}

QString TestAppFolder::scratchPath(const QString &name) const
{
    return mRoot.path() + QLatin1String("/scratch/") + name;
}

QString TestAppFolder::binFolder()
{
    return qEnvironmentVariable("BRENVOX_BIN");
}

QString TestAppFolder::testDataFolder()
{
    return qEnvironmentVariable("BRENVOX_TEST_DATA");
}

QByteArray TestAppFolder::fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
