// The room an import needs in the workspace, against what its file system has.
#include "core/system/WorkspaceRoom.h"

#include <QFile>

#include <sys/statvfs.h>

namespace {

constexpr qint64 BytesPerSample = 4;
constexpr qint64 FilesPerSource = 2;
// Headers, and the small files the preview keeps beside the channel files.
constexpr qint64 MarginBytes = 8'000'000;
constexpr qint64 Megabyte = 1'000'000;

} // namespace

namespace WorkspaceRoom {

qint64 NeededBytes(qint64 durationSeconds, int sampleRate)
{
    if (durationSeconds <= 0 || sampleRate <= 0)
        return 0;
    return durationSeconds * sampleRate * BytesPerSample * FilesPerSource + MarginBytes;
}

QString Shortage(qint64 neededBytes, qint64 freeBytes, const QString &folder)
{
    if (freeBytes < 0 || neededBytes <= freeBytes)
        return QString();
    // Rounded so that the figures never hide the shortage.
    return QStringLiteral("The workspace needs %1 MB for this source; %2 MB are free in %3.")
        .arg((neededBytes + Megabyte - 1) / Megabyte)
        .arg(freeBytes / Megabyte)
        .arg(folder);
}

qint64 FreeBytes(const QString &folder)
{
    struct statvfs room {};
    if (::statvfs(QFile::encodeName(folder).constData(), &room) != 0)
        return -1;
    return qint64(room.f_bavail) * qint64(room.f_frsize);
}

} // namespace WorkspaceRoom
