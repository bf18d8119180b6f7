#include "core/system/NativePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <dirent.h>

namespace {

constexpr char16_t RawByteBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at p, 0 when there is none.
int SequenceLength(const unsigned char *p, qsizetype left)
{
    const unsigned char lead = p[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t point = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (p[k] & 0x3F);
    }
    const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
    if (overlong || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return 0;
    return length;
}

bool IsRawByte(QChar c)
{
    return c.unicode() >= RawByteBase + 0x80 && c.unicode() <= RawByteBase + 0xFF;
}

// The entry of `folder` that Qt shows as `shown`, if it is the only one.
QString EntryShownAs(const QString &folder, const QString &shown)
{
    DIR *entries = ::opendir(NativePath::ToBytes(folder.isEmpty() ? QStringLiteral("/") : folder).constData());
    if (!entries)
        return QString();
    QString found;
    int matches = 0;
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (QFile::decodeName(name) == shown && ++matches == 1)
            found = NativePath::FromBytes(name);
    }
    ::closedir(entries);
    return matches == 1 ? found : QString();
}

} // namespace

namespace NativePath {

QString FromBytes(const QByteArray &bytes)
{
    QString path;
    path.reserve(bytes.size());
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = SequenceLength(data + i, bytes.size() - i);
        if (length == 0) {
            path += QChar(char16_t(RawByteBase + data[i]));
            ++i;
            continue;
        }
        path += QString::fromUtf8(bytes.constData() + i, length);
        i += length;
    }
    return path;
}

QByteArray ToBytes(const QString &path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !IsRawByte(path.at(i)))
            continue;
        bytes += QStringView(path).mid(runStart, i - runStart).toUtf8();
        if (i < path.size())
            bytes += char(path.at(i).unicode() - RawByteBase);
        runStart = i + 1;
    }
    return bytes;
}

bool HoldsRawBytes(const QString &path)
{
    for (const QChar c : path) {
        if (IsRawByte(c))
            return true;
    }
    return false;
}

QString Absolute(const QString &path)
{
    if (path.isEmpty() || !HoldsRawBytes(path))
        return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path);
}

QString FolderOf(const QString &absolutePath)
{
    const qsizetype slash = absolutePath.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : absolutePath.left(slash);
}

QString Resolve(const QString &shown)
{
    if (!shown.startsWith(QLatin1Char('/')) || !shown.contains(QChar::ReplacementCharacter))
        return shown;
    const QStringList parts = shown.split(QLatin1Char('/'));
    QString resolved;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        QString part = parts.at(i);
        if (part.contains(QChar::ReplacementCharacter)) {
            part = EntryShownAs(resolved, part);
            if (part.isEmpty())
                return shown;
        }
        resolved += QLatin1Char('/') + part;
    }
    return resolved;
}

} // namespace NativePath
