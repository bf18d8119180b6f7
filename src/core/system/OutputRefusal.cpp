#include "core/system/OutputRefusal.h"

#include "core/system/AppFolder.h"
#include "core/system/NativePath.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// The real path of a file that may not be there yet: its folder's, with its
// name.
QString CanonicalPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

// One file under any of its names.
bool SameFile(const QString &first, const QString &second)
{
    struct stat a;
    struct stat b;
    if (::stat(NativePath::ToBytes(first).constData(), &a) == 0
        && ::stat(NativePath::ToBytes(second).constData(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return CanonicalPath(first) == CanonicalPath(second);
}

bool IsWithin(const QString &path, const QString &folder)
{
    return !folder.isEmpty() && (path == folder || path.startsWith(folder + QLatin1Char('/')));
}

} // namespace

QString OutputRefusal(const QString &output, const QStringList &inputs)
{
    for (const QString &input : inputs) {
        // The original would be gone for good, most likely picked by mistake.
        if (!input.isEmpty() && SameFile(output, input))
            return QStringLiteral("The source file cannot be overwritten: choose another output file.");
    }
    // The channel files there belong to the open session (or a batch's
    // files to their runs), and the folder that holds the workspace goes
    // with it when Brenvox ends.
    const QString workspace = QFileInfo(QFileInfo(WorkspaceFolder()).path()).canonicalFilePath();
    if (IsWithin(QFileInfo(CanonicalPath(output)).path(), workspace))
        return QStringLiteral("Brenvox's workspace cannot hold the output: choose another folder.");
    return QString();
}
