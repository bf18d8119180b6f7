#include "core/system/SourceCheck.h"

#include "core/system/NativePath.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int TextSample = 4096;

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

namespace SourceCheck {

QString Refusal(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("The chosen file cannot be found");
    const QByteArray native = NativePath::ToBytes(path);
    struct stat status = {};
    if (::stat(native.constData(), &status) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return QStringLiteral("The chosen file cannot be found: %1").arg(path);
        return QStringLiteral("The chosen file cannot be read: %1: %2").arg(path, SystemReason(error));
    }
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is a folder, not a file").arg(path);
    // ffprobe would wait for a writer, and the split reads the source once
    // more: only a file stays the same for both.
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("%1 is a pipe (FIFO), not a file: the source is read more than once").arg(path);
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("%1 is a socket, not a file").arg(path);
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("%1 is a device, not a file").arg(path);
    if (::access(native.constData(), R_OK) != 0)
        return QStringLiteral("The chosen file cannot be read: %1: %2").arg(path, SystemReason(errno));
    if (status.st_size == 0)
        return QStringLiteral("The chosen file is empty: %1").arg(path);
    return QString();
}

bool LooksLikeText(const QString &path)
{
    const int file = ::open(NativePath::ToBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return false;
    QByteArray head(TextSample, '\0');
    const ssize_t got = ::read(file, head.data(), head.size());
    ::close(file);
    if (got <= 0)
        return false;
    head.truncate(got);
    for (const char c : head) {
        if (IsControlCharacter(static_cast<unsigned char>(c)))
            return false;
    }
    // A full sample may end inside a character.
    QByteArray whole = head;
    if (head.size() == TextSample) {
        int cut = 0;
        while (cut < 3 && cut < whole.size() && (static_cast<unsigned char>(whole.at(whole.size() - 1 - cut)) & 0xc0) == 0x80)
            ++cut;
        if (cut < whole.size() && static_cast<unsigned char>(whole.at(whole.size() - 1 - cut)) >= 0xc0)
            whole.chop(cut + 1);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(whole);
    return !utf8.hasError() && !decoded.isEmpty();
}

bool IsControlCharacter(char16_t code)
{
    return (code < 0x20 && code != '\t' && code != '\n' && code != '\r' && code != '\f') || code == 0x7f;
}

} // namespace SourceCheck
