// What can be told of a chosen source before any tool reads it, in words a
// person can act on.
#pragma once

#include <QString>

namespace SourceCheck {

// Empty when the path names a regular file with something in it that this
// user may read; else one sentence naming the path: it cannot be found or
// read, is a folder, a pipe (FIFO), a device or a socket, or is empty. Looks
// without opening anything that could wait for a writer.
QString Refusal(const QString &path);

// Whether the file's first bytes are UTF-8 text without control characters
// other than tabs and line ends: no container ffprobe reads looks so, but
// playlists and subtitles are text and may still be read, so this only
// words a failure.
bool LooksLikeText(const QString &path);

// A control character other than tab, the line ends and form feed: what
// marks a file as no text, whichever encoding it is read in.
bool IsControlCharacter(char16_t code);

} // namespace SourceCheck
