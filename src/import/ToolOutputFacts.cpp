#include "import/ToolOutputFacts.h"

#include <cmath>

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

// Lines after which a run's result cannot be trusted, whatever its exit
// status. One table for every tool, so each run is judged the same way.
const char *const FailureMarkers[] = {
    "Error writing trailer",     // ffmpeg: the output file was not finished
    "Error closing file",        // ffmpeg: the last data never reached the disk
    "No space left on device",
    "audio open failed",         // ffplay: no audio device
    "No such filter",            // ffplay: the filter text was refused
    "Failed to open file",       // ffplay: input or filter graph refused
};

const QRegularExpression &ContextPrefix()
{
    static const QRegularExpression context(QStringLiteral("^\\[[^\\]]* @ 0x[0-9a-fA-F]+\\]\\s*"));
    return context;
}

const QRegularExpression &LineEnd()
{
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]"));
    return lineEnd;
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

int AudioSampleRate(const QStringList &lines)
{
    static const QRegularExpression audioStream(
        QStringLiteral("^\\s*Stream #\\d+:\\d+.*: Audio: .*?, (\\d+) Hz"));
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = audioStream.match(line);
        if (match.hasMatch())
            return match.captured(1).toInt();
    }
    return 0;
}

QString LastErrorLine(const QStringList &lines, const QString &inputPath)
{
    const QRegularExpression &context = ContextPrefix();
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
    return LastErrorLine(output.split(LineEnd()), inputPath);
}

QString KnownFailureLine(const QStringList &lines)
{
    for (const QString &rawLine : lines) {
        for (const char *marker : FailureMarkers) {
            if (rawLine.contains(QLatin1String(marker))) {
                QString line = FromToolBytes(rawLine).trimmed();
                line.remove(ContextPrefix());
                return line;
            }
        }
    }
    return QString();
}

QString KnownFailureLine(const QString &output)
{
    return KnownFailureLine(output.split(LineEnd()));
}

bool PlayerClockSeconds(const QString &line, double *seconds)
{
    if (!line.contains(QLatin1String(" fd=")))
        return false;
    const QString first = line.trimmed().section(QLatin1Char(' '), 0, 0);
    bool ok = false;
    const double value = first.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    *seconds = value;
    return true;
}

} // namespace ToolOutputFacts
