// Sums the profile's parts.
#include "dsp/TargetCurve.h"

#include "dsp/ChannelResponse.h"

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

std::vector<double> CurveDb(const Curve &curve, const std::vector<double> &frequencies, double sampleRate,
                            const std::atomic<bool> *stop)
{
    std::vector<ChannelResponse::SquaredMagnitude> designed;
    designed.reserve(curve.filters.size());
    for (const BiquadResponse::Filter &filter : curve.filters) {
        const BiquadResponse::Coefficients c = BiquadResponse::Design(filter, sampleRate);
        designed.emplace_back(c.b0, c.b1, c.b2, c.a0, c.a1, c.a2);
    }
    // One logarithm per few filters: a filter's power ratio stays within
    // 1e-10 to 1e10 (gains within 100 dB; a notch may reach 0, which the
    // logarithm takes as it would alone), so a product of 16 stays finite.
    constexpr size_t PerLogarithm = 16;
    std::vector<double> sums(frequencies.size(), 0.0);
    for (size_t i = 0; i < frequencies.size() && !(stop && *stop); ++i) {
        const double phi = ChannelResponse::Phi(frequencies[i], sampleRate);
        double sum = 0, product = 1;
        for (size_t k = 0; k < designed.size(); ++k) {
            product *= designed[k].Ratio(phi);
            if (k % PerLogarithm == PerLogarithm - 1) {
                sum += 10 * std::log10(product);
                product = 1;
            }
        }
        sum += 10 * std::log10(product);
        for (const std::vector<Point> &graphic : curve.graphics)
            sum += InterpolatedDb(graphic, frequencies[i]);
        sums[i] = sum;
    }
    return sums;
}

} // namespace TargetCurve
