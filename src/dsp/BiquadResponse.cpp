// The cookbook biquads with ffmpeg's choices: the shelves' 2 sqrt(A) alpha
// term, the 2-pole high- and low-pass and the band-pass with a 0 dB peak.
#include "dsp/BiquadResponse.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace {

const double Pi = 3.14159265358979323846;

double AngularFrequency(double frequency, double sampleRate)
{
    return 2 * Pi * frequency / sampleRate;
}

} // namespace

namespace BiquadResponse {

double AlphaFromQ(double frequency, double q, double sampleRate)
{
    return std::sin(AngularFrequency(frequency, sampleRate)) / (2 * q);
}

double AlphaFromOctaves(double frequency, double octaves, double sampleRate)
{
    const double w0 = AngularFrequency(frequency, sampleRate);
    return std::sin(w0) * std::sinh(std::log(2.0) / 2 * octaves * w0 / std::sin(w0));
}

double QFromOctaves(double frequency, double octaves, double sampleRate)
{
    const double w0 = AngularFrequency(frequency, sampleRate);
    return 1 / (2 * std::sinh(std::log(2.0) / 2 * octaves * w0 / std::sin(w0)));
}

double OctavesFromQ(double frequency, double q, double sampleRate)
{
    const double w0 = AngularFrequency(frequency, sampleRate);
    return std::asinh(1 / (2 * q)) * 2 / std::log(2.0) * std::sin(w0) / w0;
}

double QFromShelfSlope(double gainDb, double slope)
{
    const double a = std::pow(10.0, gainDb / 40);
    const double square = (a + 1 / a) * (1 / slope - 1) + 2;
    return square > 0 ? 1 / std::sqrt(square) : std::nan("");
}

double ShelfSlopeFromQ(double gainDb, double q)
{
    const double a = std::pow(10.0, gainDb / 40);
    return 1 / (1 + (1 / (q * q) - 2) / (a + 1 / a));
}

double ShelfCentreFromCorner(Kind kind, double corner, double gainDb, double slope)
{
    const double shift = std::pow(10.0, std::abs(gainDb) / (80 * slope));
    return kind == Kind::LowShelf ? corner * shift : corner / shift;
}

Coefficients Design(const Filter &filter, double sampleRate)
{
    const double w0 = AngularFrequency(filter.frequency, sampleRate);
    const double cosine = std::cos(w0);
    const double alpha = AlphaFromQ(filter.frequency, filter.q, sampleRate);
    const double a = std::pow(10.0, filter.gainDb / 40);
    const double beta = 2 * std::sqrt(a);
    Coefficients c;
    switch (filter.kind) {
    case Kind::Peaking:
        c = {1 + alpha * a, -2 * cosine, 1 - alpha * a, 1 + alpha / a, -2 * cosine, 1 - alpha / a};
        break;
    case Kind::LowShelf:
        c.b0 = a * ((a + 1) - (a - 1) * cosine + beta * alpha);
        c.b1 = 2 * a * ((a - 1) - (a + 1) * cosine);
        c.b2 = a * ((a + 1) - (a - 1) * cosine - beta * alpha);
        c.a0 = (a + 1) + (a - 1) * cosine + beta * alpha;
        c.a1 = -2 * ((a - 1) + (a + 1) * cosine);
        c.a2 = (a + 1) + (a - 1) * cosine - beta * alpha;
        break;
    case Kind::HighShelf:
        c.b0 = a * ((a + 1) + (a - 1) * cosine + beta * alpha);
        c.b1 = -2 * a * ((a - 1) + (a + 1) * cosine);
        c.b2 = a * ((a + 1) + (a - 1) * cosine - beta * alpha);
        c.a0 = (a + 1) - (a - 1) * cosine + beta * alpha;
        c.a1 = 2 * ((a - 1) - (a + 1) * cosine);
        c.a2 = (a + 1) - (a - 1) * cosine - beta * alpha;
        break;
    case Kind::HighPass:
        c = {(1 + cosine) / 2, -(1 + cosine), (1 + cosine) / 2, 1 + alpha, -2 * cosine, 1 - alpha};
        break;
    case Kind::LowPass:
        c = {(1 - cosine) / 2, 1 - cosine, (1 - cosine) / 2, 1 + alpha, -2 * cosine, 1 - alpha};
        break;
    case Kind::BandPass:
        c = {alpha, 0, -alpha, 1 + alpha, -2 * cosine, 1 - alpha};
        break;
    case Kind::Notch:
        c = {1, -2 * cosine, 1, 1 + alpha, -2 * cosine, 1 - alpha};
        break;
    case Kind::AllPass:
        c = {1 - alpha, -2 * cosine, 1 + alpha, 1 + alpha, -2 * cosine, 1 - alpha};
        break;
    }
    return c;
}

Coefficients EqualizerElement(double frequency, double gainDb, double octaves, double sampleRate)
{
    const double w0 = AngularFrequency(frequency, sampleRate);
    const double alpha = AlphaFromOctaves(frequency, octaves, sampleRate);
    const double a = std::pow(10.0, gainDb / 40);
    const double a0 = 1 + alpha / a;
    return {(1 + alpha * a) / a0, -2 * std::cos(w0) / a0, (1 - alpha * a) / a0,
            1, -2 * std::cos(w0) / a0, (1 - alpha / a) / a0};
}

bool IsFinite(const Coefficients &c)
{
    return std::isfinite(c.b0) && std::isfinite(c.b1) && std::isfinite(c.b2) && std::isfinite(c.a0)
        && std::isfinite(c.a1) && std::isfinite(c.a2);
}

double DecaySeconds(const Coefficients &c, double sampleRate)
{
    if (!IsFinite(c) || c.a0 == 0)
        return std::numeric_limits<double>::infinity();
    const std::complex<double> root = std::sqrt(std::complex<double>(c.a1 * c.a1 - 4 * c.a0 * c.a2));
    const double radius = std::max(std::abs((-c.a1 + root) / (2 * c.a0)), std::abs((-c.a1 - root) / (2 * c.a0)));
    if (!(radius < 1))
        return std::numeric_limits<double>::infinity();
    return radius > 0 ? -1 / (std::log(radius) * sampleRate) : 0;
}

double MagnitudeDb(const Coefficients &c, double frequency, double sampleRate)
{
    const std::complex<double> z1 = std::polar(1.0, -AngularFrequency(frequency, sampleRate));
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> numerator = c.b0 + c.b1 * z1 + c.b2 * z2;
    const std::complex<double> denominator = c.a0 + c.a1 * z1 + c.a2 * z2;
    return 20 * std::log10(std::abs(numerator) / std::abs(denominator));
}

double ResponseDb(const Filter &filter, double frequency, double sampleRate)
{
    return MagnitudeDb(Design(filter, sampleRate), frequency, sampleRate);
}

} // namespace BiquadResponse
