// Creates the export's temporary output and renames it over the target.
#include "export/OutputReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Where the result goes: the file a link names, or the path itself.
QString Destination(const QString &target)
{
    const QFileInfo info(target);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        return info.canonicalFilePath();
    return info.absoluteFilePath();
}

QByteArray Encoded(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

namespace OutputReplacement {

QString CreateTemporaryOutput(const QString &target)
{
    if (target.isEmpty())
        return QString();
    const QString destination = Destination(target);
    const QFileInfo info(destination);
    if (info.exists() && (info.isDir() || ::access(Encoded(destination).constData(), W_OK) != 0))
        return QString();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = info.fileName().left(info.fileName().size() - suffix.size());
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString candidate = info.absolutePath() + QLatin1String("/.") + stem + QLatin1Char('.')
            + QString::number(QRandomGenerator::global()->generate(), 36) + suffix;
        // O_EXCL: never take over a file someone else made meanwhile.
        const int fd = ::open(Encoded(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST)
            return QString();
    }
    return QString();
}

QString ReplaceTarget(const QString &temporary, const QString &target)
{
    const QString destination = Destination(target);
    const QByteArray temporaryName = Encoded(temporary);
    struct stat existing;
    if (::stat(Encoded(destination).constData(), &existing) == 0)
        ::chmod(temporaryName.constData(), existing.st_mode & 07777);
    // The data must be on the disk before the name points at it, or a crash
    // right after the rename could leave an empty file under the user's name.
    const int fd = ::open(temporaryName.constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    if (::rename(temporaryName.constData(), Encoded(destination).constData()) != 0) {
        return QLatin1String("the output file could not be replaced: ")
            + QString::fromLocal8Bit(::strerror(errno));
    }
    return QString();
}

} // namespace OutputReplacement
