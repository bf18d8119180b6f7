// One channel's combined response (bands, low cut, level) as ffmpeg applies it.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace ChannelResponse {

constexpr int BandCount = 65;
constexpr double LowestFrequency = 15;
constexpr double HighestFrequency = 22000;
constexpr int GridPoints = 480;
// ffmpeg's highpass with its defaults (2 poles, Q 0.707) behind "highpass=f=25".
constexpr double LowCutFrequency = 25;
constexpr double LowCutQ = 0.707;

template <typename T>
constexpr std::array<T, BandCount> EveryBand(T value)
{
    std::array<T, BandCount> all{};
    for (T &one : all)
        one = value;
    return all;
}

// What one channel's chain does, as numbers. ChannelChain::FromSettings
// fills it from the settings with the band table and the level rule.
struct Chain
{
    std::array<double, BandCount> bandFrequencies{};
    // -0.0 for a band moved back to the centre: it sounds as one never
    // moved, but its text is "-0".
    std::array<double, BandCount> gainsDb{};
    // False for a band the chain leaves out: at or above half the sample
    // rate, not finite at this bandwidth (BandTable::BandActs), or replaced
    // by the low cut.
    std::array<bool, BandCount> inChain{};
    // Each band's width in octaves, exactly as its element writes it: the
    // common bandwidth, or the one "as drawn" chose for the band.
    std::array<double, BandCount> widthsOctaves = EveryBand(1.0);
    bool lowCut = false;
    // The factor after "volume="; 0 or below silences the channel.
    double volume = 1;
    // The channel's preamp in dB, the chain's first element.
    double preampDb = 0;
    // dB at the chain's head that keeps the channel from clipping
    // ("Avoid clipping"); 0 when none is added.
    double preGainDb = 0;
    double sampleRate = 48000;
    // The source's rate the chain was made for, 0 when none was known: the
    // curve is then drawn at sampleRate, but the chain's text keeps every
    // band, as nothing says which cannot act.
    int sourceSampleRate = 0;
};

// The highest frequency drawn: 22 kHz, or half the sample rate when lower.
double TopFrequency(double sampleRate);

// The log-spaced frequencies from LowestFrequency to TopFrequency.
std::vector<double> GridFrequencies(double sampleRate);

struct Curve
{
    std::vector<double> frequencies; // the grid
    std::vector<double> db;          // -inf everywhere when silent
    // The filters alone (the level left out, so it compares with the slider
    // positions even when silent) at each band's frequency, whether or not
    // the band is in the chain; NaN beyond the top frequency.
    std::array<double, BandCount> bandDb{};
    double levelDb = 0;              // volume factor, preamp and pre-gain in dB; -inf when silent
    bool silent = false;
    double peakDb = 0;
    double peakFrequency = 0;
};

// |H|^2 of one biquad as p0 + p1 phi + p2 phi^2 over the same in the
// denominator, phi = sin^2(w/2): this form keeps its precision at the lowest
// bands, where the coefficients nearly cancel. The coefficients are divided
// by a0 first, as ffmpeg divides them, so no square leaves a double's range
// however wide the band.
struct SquaredMagnitude
{
    double n0 = 1, n1 = 0, n2 = 0, d0 = 1, d1 = 0, d2 = 0;
    // H at half the rate, b0 - b1 + b2 over 1 - a1 + a2. A very wide band
    // has a pole and a zero there that cancel, and the sum above loses them.
    double halfRate = 1;

    SquaredMagnitude() = default;
    SquaredMagnitude(double b0, double b1, double b2, double a0, double a1, double a2);

    double Ratio(double phi) const
    {
        if (phi >= 1)
            return halfRate * halfRate;
        return (n0 + phi * (n1 + phi * n2)) / (d0 + phi * (d1 + phi * d2));
    }
};

double Phi(double frequency, double sampleRate);
// One band of the chain at a gain.
SquaredMagnitude Band(const Chain &chain, int band, double gainDb);
SquaredMagnitude LowCut(double sampleRate);

// The bands' and the low cut's response in dB at one frequency, without the
// level.
double FiltersDb(const Chain &chain, double frequency);
// The same at many frequencies, the filters designed once.
std::vector<double> FiltersDb(const Chain &chain, const std::vector<double> &frequencies);

Curve Evaluate(const Chain &chain);

// "Peak +13.4 dB": one decimal, the sign always shown; "Silent" for a
// silenced channel.
std::string PeakText(double peakDb);
// "+13.4": the signed number of PeakText.
std::string SignedDbText(double db);
// Tenths as text, "-3.2", "12.0", with a point whatever the C locale says
// (a Qt program takes the user's, where printf may write a comma).
std::string TenthsText(long tenths);

} // namespace ChannelResponse
