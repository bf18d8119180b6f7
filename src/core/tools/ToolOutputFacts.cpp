#include "core/tools/ToolOutputFacts.h"

#include "core/tools/ToolOutputReader.h"

#include <cmath>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// The depth a sample format gives, for a codec that does not state its own:
// a lossy decoder's float samples say nothing of the source's depth.
int FormatBits(const QString &codec, const QString &format)
{
    const bool pcm = codec.startsWith(QLatin1String("pcm_"));
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

// The report's numbers come as JSON numbers or as text, depending on the field.
qint64 WholeNumber(const QJsonValue &value)
{
    if (value.isDouble())
        return qint64(value.toDouble());
    bool ok = false;
    const qint64 number = value.toString().toLongLong(&ok);
    return ok ? number : 0;
}

qsizetype ReportStart(const QStringList &lines)
{
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (lines.at(i) == QLatin1String("{"))
            return i;
    }
    return -1;
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
        return FormatBits(match.captured(1), match.captured(2));
    }
    return 0;
}

std::optional<ProbeReport> ReadProbeReport(const QStringList &lines)
{
    const qsizetype start = ReportStart(lines);
    if (start < 0)
        return std::nullopt;
    // One character a byte from the runner; the report is UTF-8.
    const QByteArray text = lines.mid(start).join(QLatin1Char('\n')).toLatin1();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    ProbeReport report;
    const QJsonObject root = document.object();
    for (const QJsonValue &value : root.value(QLatin1String("streams")).toArray()) {
        const QJsonObject stream = value.toObject();
        const QString type = stream.value(QLatin1String("codec_type")).toString();
        report.streams.append({int(qBound(qint64(0), WholeNumber(stream.value(QLatin1String("index"))), qint64(1) << 20)), type,
                               stream.value(QLatin1String("codec_name")).toString(),
                               stream.value(QLatin1String("disposition")).toObject()
                                       .value(QLatin1String("attached_pic")).toInt() == 1});
        if (type != QLatin1String("audio") || report.hasAudio)
            continue;
        report.hasAudio = true;
        report.channels = int(qBound(qint64(0), WholeNumber(stream.value(QLatin1String("channels"))), qint64(1024)));
        report.channelLayout = stream.value(QLatin1String("channel_layout")).toString();
        report.sampleRate = int(qBound(qint64(0), WholeNumber(stream.value(QLatin1String("sample_rate"))), qint64(1) << 30));
        const qint64 raw = WholeNumber(stream.value(QLatin1String("bits_per_raw_sample")));
        report.bitsPerSample = raw > 0 && raw <= 64
            ? int(raw)
            : FormatBits(stream.value(QLatin1String("codec_name")).toString(),
                         stream.value(QLatin1String("sample_fmt")).toString());
    }
    bool known = false;
    const double seconds = root.value(QLatin1String("format")).toObject()
                               .value(QLatin1String("duration")).toString().toDouble(&known);
    if (known && std::isfinite(seconds) && seconds >= 0 && seconds < 1e12)
        report.seconds = QString::number(qint64(seconds));
    return report;
}

QStringList ConsoleLines(const QStringList &lines)
{
    const qsizetype start = ReportStart(lines);
    return start < 0 ? lines : lines.mid(0, start);
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
    return PeakLevelDb(LineSplitter::Split(output));
}

double NonFiniteSamples(const QString &output)
{
    static const QRegularExpression countLine(
        QStringLiteral("^\\[Parsed_astats_\\d+ @ 0x[0-9a-fA-F]+\\] Number of (?:NaNs|Infs): (\\S+)"));
    double count = 0;
    for (const QString &line : LineSplitter::Split(output)) {
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
    return LastErrorLine(LineSplitter::Split(output), inputPath);
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
    return KnownFailureLine(LineSplitter::Split(output));
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
