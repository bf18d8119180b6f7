#include "jobs/DiscardFile.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

namespace DiscardFile {

namespace {

QString AsideName(const QString &path)
{
    static QAtomicInt discarded;
    return path + QStringLiteral(".discarded-%1-%2")
                      .arg(QCoreApplication::applicationPid())
                      .arg(discarded.fetchAndAddRelaxed(1));
}

} // namespace

void Discard(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    const QString aside = AsideName(path);
    if (!QFile::rename(path, aside)) {
        QFile::remove(path);
        return;
    }
    // The pool is waited for when the application ends, so no removal is
    // cut off halfway.
    QThreadPool::globalInstance()->start([aside] { QFile::remove(aside); });
}

} // namespace DiscardFile
