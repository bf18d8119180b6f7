// Progress of the three export steps, read from ffmpeg's "time=" status
// field, and the percentage text shown under the bar.
#pragma once

#include <QString>

#include <optional>

namespace ExportProgress {

// Whole seconds of the HH:MM:SS after the first "time" in the chunk (any
// letter case). Nothing when those characters are no such time, e.g.
// "time=N/A" at the start of a run or a status line cut by the chunk end.
std::optional<qint32> StatusTimeSeconds(const QString &chunk);
// The last status time of a whole run's output, with its fraction: how much
// audio the run wrote.
std::optional<double> LastStatusTime(const QString &output);

// Three times the source's whole seconds; empty or unreadable text gives 0.
int BarMaximum(const QString &sourceDuration);

// value / maximum as a percentage, at least two integer digits and two
// decimals ("05.50", "100.00"); "00.00" when the maximum is 0.
QString PercentText(int value, int maximum);

// "Overall Progress: 43.90% Completed"
QString ProgressLabel(int value, int maximum);

} // namespace ExportProgress

// The seconds each step has reported so far.
struct ExportCounters
{
    qint16 ExportStage = 0; // 0 left render, 1 right render, 2 merge
    qint32 LeftRenderSeconds = 0;
    qint32 RightRenderSeconds = 0;
    qint32 MergeSeconds = 0;

    // Sets the running step's counter from the chunk's status time, if any.
    void TakeChunk(const QString &chunk);
    // A step that completed has been through the whole source, even when
    // its last status line was cut by a chunk's end and never read.
    void CompleteStep(qint16 stage, qint32 sourceSeconds);
    qint32 Total() const;
    void Reset();

private:
    void Set(qint16 stage, qint32 seconds);
};
