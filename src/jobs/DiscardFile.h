// Frees a path at once and leaves the slow part of deleting the file to a
// worker thread.
#pragma once

#include <QString>

namespace DiscardFile {

// Unlinking a channel file of a hundred megabytes keeps the file system
// busy for tens of milliseconds, which the window's thread must not wait
// for: the file is renamed aside in its folder (the path is free when this
// returns) and removed by the global thread pool. Nothing happens when
// there is no file.
void Discard(const QString &path);

} // namespace DiscardFile
