// Reads ffmpeg's status time and formats the export's percentage.
#include "export/ExportProgress.h"

namespace {

int TwoDigits(const QString &text, qsizetype at)
{
    const QChar tens = text.at(at);
    const QChar units = text.at(at + 1);
    if (!tens.isDigit() || !units.isDigit() || tens.unicode() > '9' || units.unicode() > '9')
        return -1;
    return (tens.unicode() - '0') * 10 + (units.unicode() - '0');
}

} // namespace

namespace ExportProgress {

std::optional<qint32> StatusTimeSeconds(const QString &chunk)
{
    const qsizetype found = chunk.indexOf(QLatin1String("time"), 0, Qt::CaseInsensitive);
    if (found < 0)
        return std::nullopt;
    // The eight characters after "time=".
    const QString time = chunk.mid(found + 5, 8);
    if (time.size() != 8 || time.at(2) != QLatin1Char(':') || time.at(5) != QLatin1Char(':'))
        return std::nullopt;
    const int hours = TwoDigits(time, 0);
    const int minutes = TwoDigits(time, 3);
    const int seconds = TwoDigits(time, 6);
    if (hours < 0 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return std::nullopt;
    return hours * 3600 + minutes * 60 + seconds;
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
    if (!seconds)
        return;
    switch (ExportStage) {
    case 0:
        LeftRenderSeconds = *seconds;
        break;
    case 1:
        RightRenderSeconds = *seconds;
        break;
    case 2:
        MergeSeconds = *seconds;
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
