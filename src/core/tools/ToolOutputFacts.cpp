#include "core/tools/ToolOutputFacts.h"

#include <cmath>

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <limits>

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
    "invalid for wav",           // ffmpeg: a WAV file over 4 GiB without RF64, its header broken
    "audio open failed",         // ffplay: no audio device
    "No such filter",            // ffplay: the filter text was refused
    "Failed to open file",       // ffplay: input or filter graph refused
};

const QRegularExpression &ContextPrefix()
{
    static const QRegularExpression context(QStringLiteral("^\\[[^\\]]* @ 0x[0-9a-fA-F]+\\]\\s*"));
    return context;
}

// astats reports its measurements as the run ends, after any error; they
// are never the reason for a failure.
bool IsMeasurementLine(const QString &line)
{
    static const QRegularExpression report(QStringLiteral("^\\[Parsed_astats_\\d+ @ 0x[0-9a-fA-F]+\\]"));
    return report.match(line).hasMatch();
}

// Brenvox hands every file to the tools as "file:<absolute path>", and the
// tools name it so; the user chose the path, not the protocol.
QString WithoutFileProtocol(QString line)
{
    static const QRegularExpression protocol(QStringLiteral("(^|[\\s'\"])file:(?=/)"));
    return line.replace(protocol, QStringLiteral("\\1"));
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

int AudioBitsPerSample(const QStringList &lines)
{
    // "Audio: pcm_s24le (...), 48000 Hz, stereo, s32 (24 bit), ..."; a
    // channel layout holds no comma.
    static const QRegularExpression audioStream(QStringLiteral(
        "^\\s*Stream #\\d+:\\d+.*: Audio: (\\w+).*?, \\d+ Hz, [^,]*, ([a-z0-9]+)(?: \\((\\d+) bit\\))?"));
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = audioStream.match(line);
        if (!match.hasMatch())
            continue;
        if (match.hasCaptured(3))
            return match.captured(3).toInt();
        const QString format = match.captured(2);
        const bool pcm = match.captured(1).startsWith(QLatin1String("pcm_"));
        if (format.startsWith(QLatin1String("u8")))
            return 8;
        if (format.startsWith(QLatin1String("s16")))
            return 16;
        if (format.startsWith(QLatin1String("s32")) || (pcm && format.startsWith(QLatin1String("flt"))))
            return 32;
        if (format.startsWith(QLatin1String("s64")) || (pcm && format.startsWith(QLatin1String("dbl"))))
            return 64;
        return 0;
    }
    return 0;
}

double PeakLevelDb(const QStringList &lines)
{
    static const QRegularExpression peakLine(
        QStringLiteral("^\\[Parsed_astats_\\d+ @ 0x[0-9a-fA-F]+\\] Peak level dB: (\\S+)"));
    double peak = std::numeric_limits<double>::quiet_NaN();
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = peakLine.match(line);
        if (!match.hasMatch())
            continue;
        const QString text = match.captured(1);
        bool number = false;
        const double value = text == QLatin1String("-inf") ? -std::numeric_limits<double>::infinity()
                                                           : text.toDouble(&number);
        if (!number && !std::isinf(value))
            continue;
        if (std::isnan(peak) || value > peak)
            peak = value;
    }
    return peak;
}

double PeakLevelDb(const QString &output)
{
    return PeakLevelDb(output.split(LineEnd()));
}

double NonFiniteSamples(const QString &output)
{
    static const QRegularExpression countLine(
        QStringLiteral("^\\[Parsed_astats_\\d+ @ 0x[0-9a-fA-F]+\\] Number of (?:NaNs|Infs): (\\S+)"));
    double count = 0;
    for (const QString &line : output.split(LineEnd())) {
        const QRegularExpressionMatch match = countLine.match(line);
        bool number = false;
        const double value = match.hasMatch() ? match.captured(1).toDouble(&number) : 0;
        if (number && value > 0)
            count += value;
    }
    return count;
}

QString LastErrorLine(const QStringList &lines, const QString &inputPath)
{
    const QRegularExpression &context = ContextPrefix();
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        QString line = FromToolBytes(*it).trimmed();
        if (line.isEmpty() || IsStatusLine(line) || IsMeasurementLine(line))
            continue;
        line.remove(context);
        line = WithoutFileProtocol(line);
        const QString inputPrefix = QFileInfo(inputPath).absoluteFilePath() + QLatin1String(": ");
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
                return WithoutFileProtocol(line);
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
