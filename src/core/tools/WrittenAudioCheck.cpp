// Reads ffprobe's channel count and duration and judges the written file.
#include "core/tools/WrittenAudioCheck.h"

#include "core/tools/ToolOutputFacts.h"
#include "core/tools/ToolOutputReader.h"

#include <cmath>

namespace WrittenAudioCheck {

ProbedAudio ParseProbedAudio(const QString &output)
{
    ProbedAudio probed;
    bool channelsSeen = false;
    for (const QString &rawLine : LineSplitter::Split(output)) {
        const QString line = rawLine.trimmed();
        bool ok = false;
        // Only the first stream counts, should the selection ever list more.
        if (line.startsWith(QLatin1String("channels=")) && !channelsSeen) {
            const int channels = line.mid(9).toInt(&ok);
            if (ok) {
                probed.channels = channels;
                channelsSeen = true;
            }
        } else if (line.startsWith(QLatin1String("duration="))) {
            // "N/A" when the container does not know it.
            const double seconds = line.mid(9).toDouble(&ok);
            if (ok && std::isfinite(seconds) && seconds >= 0)
                probed.durationSeconds = seconds;
        }
    }
    return probed;
}

QString WrittenFileProblem(const ProbedAudio &written, const ProbedAudio &source)
{
    if (written.channels != 2) {
        return QStringLiteral("the written file holds %1 audio %2 instead of 2.")
            .arg(written.channels)
            .arg(written.channels == 1 ? QLatin1String("channel") : QLatin1String("channels"));
    }
    if (source.durationSeconds < 0)
        return QStringLiteral("the duration of the source could not be read.");
    if (written.durationSeconds < 0)
        return QStringLiteral("the duration of the written file could not be read.");
    if (std::abs(written.durationSeconds - source.durationSeconds) > DurationToleranceSeconds) {
        return QStringLiteral("the written file lasts %1 s instead of %2 s.")
            .arg(written.durationSeconds, 0, 'f', 2)
            .arg(source.durationSeconds, 0, 'f', 2);
    }
    return QString();
}

QString MergedSoundProblem(const QString &mergeOutput)
{
    if (ToolOutputFacts::NonFiniteSamples(mergeOutput) <= 0)
        return QString();
    return QStringLiteral("the written audio is not sound: the filters gave samples that are no finite "
                          "number (NaN or infinity).");
}

QString SavedPeakText(double peakDb)
{
    if (std::isnan(peakDb))
        return QStringLiteral("Saved");
    if (std::isinf(peakDb))
        return QStringLiteral("Saved, silent");
    if (peakDb > 0)
        return QStringLiteral("Saved, but it clipped: peak %1 dBFS").arg(QString::asprintf("%+.1f", peakDb));
    return QStringLiteral("Saved, peak %1 dBFS").arg(peakDb, 0, 'f', 1);
}

} // namespace WrittenAudioCheck
