// A profile's target curve (parametric filters plus graphic points) and the
// whole-dB band gains that stand for it.
#pragma once

#include "dsp/BiquadResponse.h"

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

struct BandFit
{
    std::vector<int> gains;             // one per band frequency
    double largestDifferenceDb = 0;     // |target - gain| at the worst band
};

// Samples the target at each band frequency and rounds it to whole dB
// within -range..range.
BandFit FitToBands(const std::vector<double> &targetDb, int range);

} // namespace TargetCurve
