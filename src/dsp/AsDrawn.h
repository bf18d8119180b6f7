// "As drawn": band gains that make the actual response pass through the sliders.
#pragma once

#include "dsp/ChannelResponse.h"

#include <array>
#include <string>

namespace AsDrawn {

// The solved gains never go beyond this, however jagged the sliders.
constexpr double GainLimitDb = 24;
// How much further from the sliders than the solve with every band the
// curve may go when the bands it barely needs are left at exactly 0 dB.
constexpr double IdleBandToleranceDb = 0.1;
// The widths each band gets, in octaves: from the spacing of its neighbours
// in the chain, kept within these, in hundredths as the chain text writes them.
constexpr double NarrowestWidthOctaves = 0.15;
constexpr double WidestWidthOctaves = 1;

struct Solution
{
    // One decimal, as the chain text writes them; 0 for bands out of the chain.
    std::array<double, ChannelResponse::BandCount> gainsDb{};
    // The chain's own widths but for the bands in the chain, which get theirs.
    std::array<double, ChannelResponse::BandCount> widthsOctaves{};
    // Over the band frequencies in the chain: the largest difference between
    // the response with these gains (low cut included, level left out) and
    // the slider positions, and the band where it is.
    double largestDeviationDb = 0;
    int worstBand = -1;
};

// chain.gainsDb holds the slider positions. Each band in the chain gets a
// width from its neighbours' distance (BandWidths), then least squares over
// the bands in the chain, at their frequencies and, weighted less, the
// midpoints between them (the slider curve interpolated there), regularised until every gain is within
// GainLimitDb, then refined twice against the exact response; then solved
// again without the bands of the smallest gains, which stay at exactly 0,
// while the curve stays within IdleBandToleranceDb of that first solve.
Solution Solve(const ChannelResponse::Chain &chain);

// The widths Solve gives the bands in the chain; the others keep the chain's.
std::array<double, ChannelResponse::BandCount> BandWidths(const ChannelResponse::Chain &chain);

// How far the chain's response (its gainsDb applied) is from the slider
// positions at the band frequencies in the chain.
double LargestDeviationDb(const ChannelResponse::Chain &chain,
                          const std::array<double, ChannelResponse::BandCount> &sliderDb,
                          int *worstBand = nullptr);
// The same from the chain's curve when it is at hand.
double LargestDeviationDb(const ChannelResponse::Chain &chain, const ChannelResponse::Curve &curve,
                          const std::array<double, ChannelResponse::BandCount> &sliderDb,
                          int *worstBand = nullptr);

// The text after "g=": one decimal, "0" for zero ("2.5", "-0.3", "12").
std::string GainText(double gainDb);

} // namespace AsDrawn
