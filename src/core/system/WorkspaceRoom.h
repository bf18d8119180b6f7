// Whether the workspace's file system can take an import's channel files,
// told before any of them is written.
#pragma once

#include <QString>

namespace WorkspaceRoom {

// The two channel files of the split, each one channel of 32-bit float
// samples, with a margin for headers: about 2 x 10.6 MB a minute at
// 44.1 kHz (the renders stream into the merge and take none). 0 when the
// duration or the rate is not known.
qint64 NeededBytes(qint64 durationSeconds, int sampleRate);

// Empty when there is room (or the free space is not known, freeBytes < 0);
// else "The workspace needs 432 MB for this source; 120 MB are free in
// /tmp/..."
QString Shortage(qint64 neededBytes, qint64 freeBytes, const QString &folder);

// What this user may still write on the file system that holds the folder;
// -1 when that cannot be told.
qint64 FreeBytes(const QString &folder);

} // namespace WorkspaceRoom
