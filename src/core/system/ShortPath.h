// The form of a path that goes into tool command lines.
#pragma once

#include <QString>

// The absolute path of an existing file or folder; empty text when it does
// not exist (and for empty input). Linux has no short path form, so
// command texts quote paths instead.
QString GetShortPath(const QString &path);
