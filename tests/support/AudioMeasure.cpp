#include "AudioMeasure.h"

#include "TestAppFolder.h"

#include <QProcess>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace AudioMeasure {

ToolResult RunTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(TestAppFolder::binFolder() + QLatin1Char('/') + tool, arguments);
    ToolResult result;
    if (!process.waitForStarted(-1))
        return result;
    process.waitForFinished(-1);
    result.output = QString::fromLocal8Bit(process.readAll());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

bool Generate(const QString &lavfiGraph, const QString &path, const QStringList &outputOptions)
{
    QStringList arguments{QStringLiteral("-hide_banner"), QStringLiteral("-y"),
                          QStringLiteral("-f"), QStringLiteral("lavfi"),
                          QStringLiteral("-i"), lavfiGraph};
    arguments << outputOptions << path;
    return RunTool(QStringLiteral("ffmpeg"), arguments).exitCode == 0;
}

bool GenerateStereoTones(double leftHz, double rightHz, double seconds, const QString &path)
{
    const QString graph = QStringLiteral("sine=f=%1:d=%3[a];sine=f=%2:d=%3[b];[a][b]amerge=inputs=2")
                              .arg(leftHz).arg(rightHz).arg(seconds);
    QStringList arguments{QStringLiteral("-hide_banner"), QStringLiteral("-y"),
                          QStringLiteral("-filter_complex"), graph, path};
    return RunTool(QStringLiteral("ffmpeg"), arguments).exitCode == 0;
}

static QString ProbeEntry(const QString &path, const QString &section, const QString &entry)
{
    const ToolResult result = RunTool(QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"),
         QStringLiteral("-select_streams"), QStringLiteral("a:0"),
         QStringLiteral("-show_entries"), section + QLatin1Char('=') + entry,
         QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1:nokey=1"), path});
    return result.exitCode == 0 ? result.output.trimmed().section(QLatin1Char('\n'), 0, 0) : QString();
}

int Channels(const QString &path)
{
    bool ok = false;
    const int channels = ProbeEntry(path, QStringLiteral("stream"), QStringLiteral("channels")).toInt(&ok);
    return ok ? channels : 0;
}

double DurationSeconds(const QString &path)
{
    bool ok = false;
    const double seconds = ProbeEntry(path, QStringLiteral("format"), QStringLiteral("duration")).toDouble(&ok);
    return ok ? seconds : std::numeric_limits<double>::quiet_NaN();
}

QString CodecName(const QString &path)
{
    return ProbeEntry(path, QStringLiteral("stream"), QStringLiteral("codec_name"));
}

double MeanVolumeDb(const QString &path, int channel, const QString &filter)
{
    QString graph = QStringLiteral("pan=mono|c0=c%1").arg(channel);
    if (!filter.isEmpty())
        graph += QLatin1Char(',') + filter;
    graph += QLatin1String(",volumedetect");
    const ToolResult result = RunTool(QStringLiteral("ffmpeg"),
        {QStringLiteral("-hide_banner"), QStringLiteral("-nostats"), QStringLiteral("-i"), path,
         QStringLiteral("-af"), graph, QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    static const QRegularExpression meanVolume(QStringLiteral("mean_volume: (-?[0-9.]+|-inf) dB"));
    const QRegularExpressionMatch match = meanVolume.match(result.output);
    if (result.exitCode != 0 || !match.hasMatch())
        return std::numeric_limits<double>::quiet_NaN();
    if (match.captured(1) == QLatin1String("-inf"))
        return -std::numeric_limits<double>::infinity();
    return match.captured(1).toDouble();
}

double DominantOf(const QString &path, int channel, const QList<double> &candidateHz)
{
    double best = std::numeric_limits<double>::quiet_NaN();
    double bestLevel = -std::numeric_limits<double>::infinity();
    for (const double hz : candidateHz) {
        const double level = MeanVolumeDb(path, channel,
            QStringLiteral("bandpass=f=%1:width_type=q:w=8").arg(hz));
        if (level > bestLevel) {
            bestLevel = level;
            best = hz;
        }
    }
    return best;
}

} // namespace AudioMeasure
