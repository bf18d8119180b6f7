// Files handed to the main window without the open dialog: dropped on it,
// or named on the command line.
#include "ui/form1/Form1.h"

#include "core/system/NativePath.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <sys/stat.h>

namespace {

const QString OneFile = QStringLiteral("drop or name a single audio or video file.");

// Why the paths cannot be opened, or empty text when they can.
QString RefusalOf(const QStringList &paths)
{
    if (paths.isEmpty())
        return QStringLiteral("Only a file on this computer can be opened: ") + OneFile;
    if (paths.size() > 1)
        return QStringLiteral("Brenvox opens one file at a time: ") + OneFile;
    struct stat file = {};
    if (::stat(NativePath::ToBytes(paths.constFirst()).constData(), &file) != 0)
        return QStringLiteral("%1 cannot be found.").arg(paths.constFirst());
    if (S_ISDIR(file.st_mode))
        return QStringLiteral("%1 is a folder: ").arg(QFileInfo(paths.constFirst()).fileName()) + OneFile;
    return QString();
}

} // namespace

bool Form1::OpenGivenFiles(const QStringList &paths)
{
    if (!Ready()) {
        ShowStatus(QStringLiteral("Wait until the window has loaded."));
        return false;
    }
    if (SequenceRunning()) {
        ShowStatus(QStringLiteral("Wait until the running import, preview or export has ended."));
        return false;
    }
    const QString refusal = RefusalOf(paths);
    if (!refusal.isEmpty()) {
        ShowStatus(refusal);
        return false;
    }
    OpenSource(paths.constFirst());
    return true;
}

void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    // Anything may come in; what cannot be opened is refused with a reason
    // on the drop, rather than with a silent "no entry" cursor.
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent *event)
{
    QStringList paths;
    bool allLocal = event->mimeData()->hasUrls();
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << NativePath::Resolve(url.toLocalFile());
        else
            allLocal = false;
    }
    if (!allLocal)
        paths.clear();
    event->acceptProposedAction();
    OpenGivenFiles(paths);
}
