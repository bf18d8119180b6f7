// Size, type, readability and text checks shared by presets and profiles,
// and their one checked writer.
#include "core/presets/SmallTextFile.h"

#include "core/system/OutputReplacement.h"
#include "core/system/SourceCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString NotRegular(mode_t mode)
{
    const char *kind = S_ISFIFO(mode) ? "a FIFO"
        : S_ISDIR(mode)               ? "a folder"
        : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                         : "a special file";
    return QStringLiteral("the file is not a regular file (%1)").arg(QLatin1String(kind));
}

// UTF-16 with its byte order mark, else UTF-8 (a mark skipped), else
// Latin-1 as older Windows tools save: every byte sequence is Latin-1, so a
// file is only text when it holds no control character but tab and line
// ends, which binary files nearly always do.
bool Decoded(const QByteArray &content, QString *text)
{
    const bool little = content.startsWith("\xff\xfe"), big = content.startsWith("\xfe\xff");
    if ((little || big) && content.size() % 2 == 0) {
        QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        *text = utf16.decode(content);
        if (utf16.hasError())
            return false;
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        *text = utf8.decode(content);
        if (utf8.hasError())
            *text = QString::fromLatin1(content);
    }
    return std::none_of(text->cbegin(), text->cend(),
                        [](QChar character) { return SourceCheck::IsControlCharacter(character.unicode()); });
}

bool WriteAll(int fd, const QByteArray &content)
{
    qint64 written = 0;
    while (written < content.size()) {
        const ssize_t step = ::write(fd, content.constData() + written, size_t(content.size() - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step == 0)
            errno = EIO;
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

} // namespace

namespace SmallTextFile {

bool Read(const QString &path, QString *text, QString *problem)
{
    // Not blocking: opening a FIFO without a writer would wait for one for
    // good. Nothing else but a regular file is read at all.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = QStringLiteral("the file cannot be read (%1)").arg(qt_error_string(errno));
        return false;
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        *problem = QStringLiteral("the file cannot be read (%1)").arg(qt_error_string(errno));
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        *problem = NotRegular(status.st_mode);
        return false;
    }
    if (status.st_size > SizeLimit) {
        *problem = QStringLiteral("the file is %1 KB, more than a preset or profile can be (1024 KB)")
                       .arg(status.st_size / 1024);
        return false;
    }
    // A file that grows while it is read is still held to the limit.
    QByteArray content(SizeLimit + 1, Qt::Uninitialized);
    qint64 size = 0;
    while (size < content.size()) {
        const ssize_t step = ::read(fd, content.data() + size, size_t(content.size() - size));
        if (step < 0 && errno == EINTR)
            continue;
        if (step < 0) {
            *problem = QStringLiteral("the file cannot be read (%1)").arg(qt_error_string(errno));
            return false;
        }
        if (step == 0)
            break;
        size += step;
    }
    content.truncate(size);
    if (content.size() > SizeLimit) {
        *problem = QStringLiteral("the file is more than a preset or profile can be (1024 KB)");
        return false;
    }
    if (content.trimmed().isEmpty()) {
        *problem = QStringLiteral("the file is empty");
        return false;
    }
    QString decoded;
    if (!Decoded(content, &decoded)) {
        *problem = QStringLiteral("the file is not a text file");
        return false;
    }
    if (decoded.trimmed().isEmpty()) {
        *problem = QStringLiteral("the file is empty");
        return false;
    }
    // Lines end in "\n" alone, whichever system wrote the file.
    *text = decoded.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return true;
}

bool Write(const QString &path, const QByteArray &content, QString *problem)
{
    *problem = OutputReplacement::ForeignLinkProblem(path);
    if (!problem->isEmpty())
        return false;
    const QFileInfo given(path);
    const QString target = given.isSymLink() && given.exists() ? given.canonicalFilePath() : given.absoluteFilePath();
    const QByteArray targetName = QFile::encodeName(target);
    struct stat existing {};
    const bool replacing = ::stat(targetName.constData(), &existing) == 0;
    // The folder may allow the rename, but a file its owner made read-only
    // is not to be replaced.
    if (replacing && ::access(targetName.constData(), W_OK) != 0) {
        *problem = qt_error_string(errno);
        return false;
    }

    // Beside the target, so the rename stays on its file system; hidden, so
    // one left by a power cut does not pass for a preset.
    // A name near the longest allowed leaves no room for more.
    const QString name = QFileInfo(target).fileName();
    const QString stem = QFile::encodeName(name).size() <= NAME_MAX - 16 ? name : QStringLiteral("brenvox");
    const QString prefix = QFileInfo(target).absolutePath() + QLatin1String("/.") + stem + QLatin1Char('.');
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = QFile::encodeName(prefix + QString::number(QRandomGenerator::global()->generate(), 36));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        *problem = qt_error_string(errno);
        return false;
    }
    // Small writes sit in no buffer here: a full disk shows at the write,
    // at the latest at the sync.
    bool written = (!replacing || ::fchmod(fd, existing.st_mode & 07777) == 0) && WriteAll(fd, content)
        && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temporary.constData(), targetName.constData()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.constData());
        *problem = qt_error_string(error);
        return false;
    }
    return true;
}

} // namespace SmallTextFile
