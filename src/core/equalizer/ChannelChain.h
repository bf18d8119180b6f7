// One channel of the settings as the numbers its chain applies.
#pragma once

#include "dsp/ChannelResponse.h"
#include "dsp/EqualizerSettings.h"

#include <array>

namespace ChannelChain {

// The source's rate, or the default rate when none is open (0).
double CurveSampleRate(int sampleRate);

// The slider positions in dB: whole dB, a band never moved at 0, one moved
// back to the centre at -0.0.
std::array<double, EqualizerSettings::BandCount> SliderDb(const EqualizerSettings &settings, int channel);

// The channel's chain at the rate; solvedGains (the "as drawn" gains) stand
// in for the slider positions when given.
ChannelResponse::Chain FromSettings(const EqualizerSettings &settings, int channel, int sampleRate,
                                    const std::array<double, EqualizerSettings::BandCount> *solvedGains = nullptr);

} // namespace ChannelChain
