// A profile's target curve: parametric filters plus graphic points.
#pragma once

#include "dsp/BiquadResponse.h"

#include <atomic>
#include <vector>

namespace TargetCurve {

struct Point
{
    double frequency = 0;
    double gainDb = 0;
};

// Linear in dB over log frequency between the points, flat beyond the
// first and the last. The points must be sorted by frequency; none gives 0.
double InterpolatedDb(const std::vector<Point> &points, double frequency);

struct Curve
{
    std::vector<BiquadResponse::Filter> filters;
    std::vector<std::vector<Point>> graphics; // each graphic line adds
};

// The sum in dB of every filter's response and every graphic line.
double CurveDb(const Curve &curve, double frequency, double sampleRate);
// The same at many frequencies, each filter designed once: the work grows
// with the filters times the frequencies, not with their square. Once
// *stop is set it returns early, its values no longer meaningful.
std::vector<double> CurveDb(const Curve &curve, const std::vector<double> &frequencies, double sampleRate,
                            const std::atomic<bool> *stop = nullptr);

} // namespace TargetCurve
