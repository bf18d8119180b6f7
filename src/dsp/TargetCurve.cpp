// Sums the profile's parts.
#include "dsp/TargetCurve.h"

#include <algorithm>
#include <cmath>

namespace TargetCurve {

double InterpolatedDb(const std::vector<Point> &points, double frequency)
{
    if (points.empty())
        return 0;
    if (frequency <= points.front().frequency)
        return points.front().gainDb;
    if (frequency >= points.back().frequency)
        return points.back().gainDb;
    const auto above = std::upper_bound(points.begin(), points.end(), frequency,
        [](double f, const Point &point) { return f < point.frequency; });
    const Point &high = *above;
    const Point &low = *(above - 1);
    const double position = std::log(frequency / low.frequency) / std::log(high.frequency / low.frequency);
    return low.gainDb + position * (high.gainDb - low.gainDb);
}

double CurveDb(const Curve &curve, double frequency, double sampleRate)
{
    double sum = 0;
    for (const BiquadResponse::Filter &filter : curve.filters)
        sum += BiquadResponse::ResponseDb(filter, frequency, sampleRate);
    for (const std::vector<Point> &graphic : curve.graphics)
        sum += InterpolatedDb(graphic, frequency);
    return sum;
}

} // namespace TargetCurve
