// Reads and writes the small files that presets, profiles and the last
// settings are, refusing anything too large to be one before reading it.
#pragma once

#include <QByteArray>
#include <QString>

namespace SmallTextFile {

// A 127-point curve takes about 2 KB; a megabyte is far beyond any real one.
constexpr qint64 SizeLimit = 1024 * 1024;

// Decodes UTF-16 with a byte order mark, UTF-8 (a mark skipped) or else
// Latin-1; line ends become "\n". On failure *problem says what is wrong, without the file's name:
// "the file cannot be read (No such file or directory)", "the file is not
// a regular file (a FIFO)", "the file is not a text file".
bool Read(const QString &path, QString *text, QString *problem);

// Replaces the file whole or not at all: the content goes to a new file
// beside it, every write, the sync to disk and the close are checked, and
// only then is it renamed over the old one, which otherwise stays exactly
// as it was. A link is followed (unless it is another user's in a shared
// folder), the file keeps its permissions, and one that is read-only is left
// alone. On failure *problem is the system's
// reason, e.g. "No space left on device".
bool Write(const QString &path, const QByteArray &content, QString *problem);

} // namespace SmallTextFile
