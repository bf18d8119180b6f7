// Reads ffmpeg's status time and formats the export's percentage.
#include "core/tools/ExportProgress.h"

#include "core/tools/ClockField.h"

namespace ExportProgress {

std::optional<qint32> StatusTimeSeconds(const QString &chunk)
{
    const qsizetype found = chunk.indexOf(QLatin1String("time"), 0, Qt::CaseInsensitive);
    if (found < 0)
        return std::nullopt;
    // The eight characters after "time="; a job runs longer than a day.
    return ClockField::Seconds(chunk, found + 5, 99);
}

std::optional<double> LastStatusTime(const QString &output)
{
    const qsizetype found = output.lastIndexOf(QLatin1String("time="), -1, Qt::CaseInsensitive);
    if (found < 0)
        return std::nullopt;
    return ClockField::ExactSeconds(output, found + 5, 99);
}

int BarMaximum(const QString &sourceDuration)
{
    bool ok = false;
    const double seconds = sourceDuration.trimmed().toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 700000000.0)
        return 0;
    return int(3.0 * seconds);
}

QString PercentText(int value, int maximum)
{
    const double percent = maximum > 0 ? double(value) / (double(maximum) / 100.0) : 0.0;
    // Formatted by hand so the point stays a point whatever the locale.
    return QString::asprintf("%05.2f", percent);
}

QString ProgressLabel(int value, int maximum)
{
    return QLatin1String("Overall Progress: ") + PercentText(value, maximum)
        + QLatin1String("% Completed");
}

} // namespace ExportProgress

void ExportCounters::TakeChunk(const QString &chunk)
{
    const std::optional<qint32> seconds = ExportProgress::StatusTimeSeconds(chunk);
    if (seconds)
        Set(ExportStage, *seconds);
}

void ExportCounters::CompleteStep(qint16 stage, qint32 sourceSeconds)
{
    Set(stage, sourceSeconds);
}

void ExportCounters::Set(qint16 stage, qint32 seconds)
{
    switch (stage) {
    case 0:
        LeftRenderSeconds = seconds;
        break;
    case 1:
        RightRenderSeconds = seconds;
        break;
    case 2:
        MergeSeconds = seconds;
        break;
    default:
        break;
    }
}

qint32 ExportCounters::Total() const
{
    return LeftRenderSeconds + RightRenderSeconds + MergeSeconds;
}

void ExportCounters::Reset()
{
    *this = ExportCounters();
}
