// Paths as the system holds them: bytes, which need not be UTF-8. Qt turns
// each byte that is no UTF-8 into U+FFFD, so such a name could never be
// opened again, nor handed to a tool, nor written under.
#pragma once

#include <QByteArray>
#include <QString>

namespace NativePath {

// A QString that gives the bytes back one for one: UTF-8 as its characters,
// every other byte as U+DC80 to U+DCFF, which no character of a name can
// be. Names in UTF-8 come out as Qt reads them.
QString FromBytes(const QByteArray &bytes);
QByteArray ToBytes(const QString &path);

// Whether the path holds bytes no QString character stands for: Qt's own
// file classes cannot reach it.
bool HoldsRawBytes(const QString &path);

// The path made absolute against the working folder, as QFileInfo does,
// but as text alone for a path with such bytes, which QFileInfo loses.
QString Absolute(const QString &path);
// The folder part of an absolute path, kept byte for byte.
QString FolderOf(const QString &absolutePath);

// A path as Qt's dialogs, listings and URLs give it, the bytes that are no
// UTF-8 shown as U+FFFD: the path of the entry on the disk that shows so,
// folder by folder. Unchanged where no entry or more than one fits.
QString Resolve(const QString &shown);

} // namespace NativePath
