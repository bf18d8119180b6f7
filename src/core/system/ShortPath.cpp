#include "core/system/ShortPath.h"

#include "core/system/NativePath.h"

#include <sys/stat.h>

QString GetShortPath(const QString &path)
{
    if (path.isEmpty())
        return QString();
    // Asked of the bytes: Qt's file classes would look for another name
    // where the name is no UTF-8.
    struct stat status = {};
    if (::stat(NativePath::ToBytes(path).constData(), &status) != 0)
        return QString();
    return NativePath::Absolute(path);
}
