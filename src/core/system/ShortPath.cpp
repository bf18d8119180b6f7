#include "core/system/ShortPath.h"

#include <QFileInfo>

QString GetShortPath(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    if (!info.exists())
        return QString();
    return info.absoluteFilePath();
}
