// Reads the small files that presets and profiles are, refusing anything
// too large to be one before reading it.
#pragma once

#include <QString>

namespace SmallTextFile {

// A 127-point curve takes about 2 KB; a megabyte is far beyond any real one.
constexpr qint64 SizeLimit = 1024 * 1024;

// Decodes UTF-8, a leading byte order mark skipped. On failure *problem says what is wrong, without the file's name:
// "the file cannot be read (No such file or directory)", "the file is not
// a text file".
bool Read(const QString &path, QString *text, QString *problem);

} // namespace SmallTextFile
