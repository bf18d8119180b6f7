// The response a chain really applies, from white noise through the real ffmpeg.
#pragma once

#include <QString>
#include <QVector>

namespace NoiseResponse {

// Renders a few seconds of noise at the rate through "-af <filters>" with
// float samples throughout and returns the gain in dB at each frequency,
// from the cross spectrum of output and input over long Hann windows. Empty
// when ffmpeg fails.
QVector<double> MeasureDb(const QString &filters, int sampleRate, const QVector<double> &frequencies,
                          const QString &folder);

} // namespace NoiseResponse
