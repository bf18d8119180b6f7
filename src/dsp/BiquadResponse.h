// Magnitude responses of the biquad filters ffmpeg applies (equalizer,
// lowshelf, highshelf, highpass, lowpass, bandpass, bandreject, allpass),
// from the audio EQ cookbook formulas.
#pragma once

namespace BiquadResponse {

// Responses are drawn and profiles converted at the source's sample rate, or
// at this one when no source is open.
constexpr double DefaultSampleRate = 48000;

enum class Kind { Peaking, LowShelf, HighShelf, HighPass, LowPass, BandPass, Notch, AllPass };

// One filter with its width given as Q; octave widths are turned into Q by
// QFromOctaves first, a shelf's slope by QFromShelfSlope. Only the peaking
// filter and the shelves have a gain; the band-pass peaks at 0 dB.
struct Filter
{
    Kind kind = Kind::Peaking;
    double frequency = 1000;
    double gainDb = 0;
    double q = 0.707;
};

struct Coefficients
{
    double b0 = 1, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
};

// ffmpeg's width_type=q: alpha = sin(w0) / (2 Q).
double AlphaFromQ(double frequency, double q, double sampleRate);
// ffmpeg's width_type=o, the cookbook's bandwidth form with its digital
// correction: alpha = sin(w0) sinh(ln 2 / 2 * octaves * w0 / sin(w0)).
double AlphaFromOctaves(double frequency, double octaves, double sampleRate);
// The Q that gives the same filter as a width in octaves at this frequency
// and rate: 1 / (2 Q) = sinh(ln 2 / 2 * octaves * w0 / sin(w0)).
double QFromOctaves(double frequency, double octaves, double sampleRate);
// The inverse: the width in octaves this Q stands for.
double OctavesFromQ(double frequency, double q, double sampleRate);

// The cookbook's shelf slope S as Q: 1/Q = sqrt((A + 1/A)(1/S - 1) + 2),
// A = 10^(gain/40); ffmpeg's width_type=s. NaN for a slope too steep for
// the gain (the root of a negative number).
double QFromShelfSlope(double gainDb, double slope);
// The slope S a shelf's Q stands for at this gain, the inverse of
// QFromShelfSlope; finite and above 0 for every Q above 0.
double ShelfSlopeFromQ(double gainDb, double q);
// A shelf given by its corner frequency as profiles write it: the centre
// lies |gain| / (80 S) decades above the corner of a low shelf and as far
// below that of a high shelf.
double ShelfCentreFromCorner(Kind kind, double corner, double gainDb, double slope);

Coefficients Design(const Filter &filter, double sampleRate);

// ffmpeg's "equalizer" with width_type=o exactly as it computes it, in
// double: alpha from the octaves directly (no Q in between), then every
// coefficient divided by a0, so a0 is 1. At wide bandwidths near half the
// rate the sinh overflows and these are not finite.
Coefficients EqualizerElement(double frequency, double gainDb, double octaves, double sampleRate);

bool IsFinite(const Coefficients &coefficients);

// The time in seconds in which the filter's slowest pole lets what is left
// in its state fall to 1/e; infinite for a pole on or outside the unit
// circle and for coefficients that are not finite.
double DecaySeconds(const Coefficients &coefficients, double sampleRate);

// |H| in dB at a frequency, evaluated on the unit circle.
double MagnitudeDb(const Coefficients &coefficients, double frequency, double sampleRate);

double ResponseDb(const Filter &filter, double frequency, double sampleRate);

} // namespace BiquadResponse
