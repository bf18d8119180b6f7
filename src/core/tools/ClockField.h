// The one reader of the HH:MM:SS fields that ffmpeg and ffprobe print
// ("Duration:" of an input, "time=" of a running job).
#pragma once

#include <QString>

#include <optional>

namespace ClockField {

// Whole seconds of the eight characters "HH:MM:SS" at `at` (two decimal
// digits each, minutes and seconds below 60, hours at most maximumHours).
// Nothing when they are no such time: "N/A", a field cut off by the text's
// end, or hours beyond the maximum.
std::optional<qint32> Seconds(const QString &text, qsizetype at, int maximumHours);
// The same with the decimal fraction that may follow ("00:01:00.05").
std::optional<double> ExactSeconds(const QString &text, qsizetype at, int maximumHours);

} // namespace ClockField
