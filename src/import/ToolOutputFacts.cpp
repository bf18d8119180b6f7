#include "import/ToolOutputFacts.h"

#include <QRegularExpression>

namespace {

// The runner hands over the tool's bytes one to a character; the tools
// write UTF-8, which matters for paths with non-ASCII letters.
QString FromToolBytes(const QString &line)
{
    return QString::fromUtf8(line.toLatin1());
}

bool IsStatusLine(const QString &line)
{
    return line.startsWith(QLatin1String("size="))
        || line.startsWith(QLatin1String("video:"))
        || line == QLatin1String("Conversion failed!")
        || line.startsWith(QLatin1String("Exiting normally"));
}

} // namespace

namespace ToolOutputFacts {

bool HasAudioStream(const QStringList &lines)
{
    static const QRegularExpression audioStream(QStringLiteral("^\\s*Stream #\\d+:\\d+.*: Audio: "));
    for (const QString &line : lines) {
        if (audioStream.match(line).hasMatch())
            return true;
    }
    return false;
}

QString LastErrorLine(const QStringList &lines, const QString &inputPath)
{
    static const QRegularExpression context(QStringLiteral("^\\[[^\\]]* @ 0x[0-9a-fA-F]+\\]\\s*"));
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        QString line = FromToolBytes(*it).trimmed();
        if (line.isEmpty() || IsStatusLine(line))
            continue;
        line.remove(context);
        const QString inputPrefix = inputPath + QLatin1String(": ");
        if (!inputPath.isEmpty() && line.startsWith(inputPrefix))
            line = line.mid(inputPrefix.size());
        return line;
    }
    return QString();
}

QString LastErrorLine(const QString &output, const QString &inputPath)
{
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]"));
    return LastErrorLine(output.split(lineEnd), inputPath);
}

} // namespace ToolOutputFacts
