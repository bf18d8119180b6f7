// Sums the chain's biquads: one product of |H|^2 ratios and one log per frequency.
#include "dsp/ChannelResponse.h"

#include "dsp/BiquadResponse.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

const double Pi = 3.14159265358979323846;

using ChannelResponse::SquaredMagnitude;

SquaredMagnitude FromCoefficients(const BiquadResponse::Coefficients &c)
{
    return SquaredMagnitude(c.b0, c.b1, c.b2, c.a0, c.a1, c.a2);
}

std::vector<SquaredMagnitude> Filters(const ChannelResponse::Chain &chain)
{
    std::vector<SquaredMagnitude> filters;
    filters.reserve(ChannelResponse::BandCount + 1);
    if (chain.lowCut)
        filters.push_back(ChannelResponse::LowCut(chain.sampleRate));
    for (int band = 0; band < ChannelResponse::BandCount; ++band)
        if (chain.inChain[band])
            filters.push_back(ChannelResponse::Band(chain, band, chain.gainsDb[band]));
    return filters;
}

// The product of the ratios stays within a double's range: each is at most
// the band's gain squared, and 65 bands at 24 dB come to 1560 dB.
double SumDb(const std::vector<SquaredMagnitude> &filters, double phi)
{
    double product = 1;
    for (const SquaredMagnitude &filter : filters)
        product *= filter.Ratio(phi);
    return 10 * std::log10(product);
}

} // namespace

namespace ChannelResponse {

SquaredMagnitude::SquaredMagnitude(double b0, double b1, double b2, double a0, double a1, double a2)
{
    b0 /= a0;
    b1 /= a0;
    b2 /= a0;
    a1 /= a0;
    a2 /= a0;
    // b0 + b2 and 1 + a2 first: for a very wide band they cancel exactly,
    // and b1 and a1, far smaller, are all that is left.
    n0 = (b0 + b2 + b1) * (b0 + b2 + b1);
    n1 = -4 * (b0 * b1 + 4 * b0 * b2 + b1 * b2);
    n2 = 16 * b0 * b2;
    d0 = (1 + a2 + a1) * (1 + a2 + a1);
    d1 = -4 * (a1 + 4 * a2 + a1 * a2);
    d2 = 16 * a2;
    halfRate = (b0 + b2 - b1) / (1 + a2 - a1);
}

double Phi(double frequency, double sampleRate)
{
    const double half = std::sin(Pi * frequency / sampleRate);
    return half * half;
}

SquaredMagnitude LowCut(double sampleRate)
{
    return FromCoefficients(
        BiquadResponse::Design({BiquadResponse::Kind::HighPass, LowCutFrequency, 0, LowCutQ}, sampleRate));
}

SquaredMagnitude Band(const Chain &chain, int band, double gainDb)
{
    return FromCoefficients(BiquadResponse::EqualizerElement(chain.bandFrequencies[band], gainDb,
                                                             chain.widthsOctaves[band], chain.sampleRate));
}

double TopFrequency(double sampleRate)
{
    return std::min(HighestFrequency, sampleRate / 2);
}

std::vector<double> GridFrequencies(double sampleRate)
{
    std::vector<double> frequencies(GridPoints);
    const double ratio = std::log(TopFrequency(sampleRate) / LowestFrequency) / (GridPoints - 1);
    for (int i = 0; i < GridPoints; ++i)
        frequencies[i] = LowestFrequency * std::exp(ratio * i);
    frequencies.back() = TopFrequency(sampleRate);
    return frequencies;
}

double FiltersDb(const Chain &chain, double frequency)
{
    return SumDb(Filters(chain), Phi(frequency, chain.sampleRate));
}

std::vector<double> FiltersDb(const Chain &chain, const std::vector<double> &frequencies)
{
    const std::vector<SquaredMagnitude> filters = Filters(chain);
    std::vector<double> db;
    db.reserve(frequencies.size());
    for (const double frequency : frequencies)
        db.push_back(SumDb(filters, Phi(frequency, chain.sampleRate)));
    return db;
}

Curve Evaluate(const Chain &chain)
{
    Curve curve;
    curve.frequencies = GridFrequencies(chain.sampleRate);
    curve.silent = !(chain.volume > 0);
    // The preamp and the pre-gain scale the whole channel as the level
    // does, so they take the level's place in the sum.
    curve.levelDb = curve.silent ? -std::numeric_limits<double>::infinity()
                                 : 20 * std::log10(chain.volume) + chain.preampDb + chain.preGainDb;
    const std::vector<SquaredMagnitude> filters = Filters(chain);

    curve.peakDb = -std::numeric_limits<double>::infinity();
    const auto filtersAt = [&](double frequency) {
        const double db = SumDb(filters, Phi(frequency, chain.sampleRate));
        if (db + curve.levelDb > curve.peakDb) {
            curve.peakDb = db + curve.levelDb;
            curve.peakFrequency = frequency;
        }
        return db;
    };
    curve.db.reserve(curve.frequencies.size());
    for (const double frequency : curve.frequencies)
        curve.db.push_back(filtersAt(frequency) + curve.levelDb);
    const double top = TopFrequency(chain.sampleRate);
    for (int band = 0; band < BandCount; ++band) {
        const double frequency = chain.bandFrequencies[band];
        curve.bandDb[band] = frequency <= top ? filtersAt(frequency) : std::numeric_limits<double>::quiet_NaN();
    }
    return curve;
}

std::string TenthsText(long tenths)
{
    const long magnitude = std::labs(tenths);
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
}

std::string SignedDbText(double db)
{
    // lround has no answer for these. The chains leave out every element
    // that would not be finite, so the settings do not lead here.
    if (!std::isfinite(db))
        return std::isnan(db) ? "nan" : db > 0 ? "+inf" : "-inf";
    // Rounded first, so -0.04 reads "+0.0" rather than "-0.0".
    const long tenths = std::lround(db * 10);
    return (tenths >= 0 ? "+" : "") + TenthsText(tenths);
}

std::string PeakText(double peakDb)
{
    if (std::isinf(peakDb) && peakDb < 0)
        return "Silent";
    return "Peak " + SignedDbText(peakDb) + " dB";
}

} // namespace ChannelResponse
