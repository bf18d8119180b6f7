// Gain texts and the checks that keep the settings within the controls.
#include "dsp/EqualizerSettings.h"

std::string EqualizerSettings::GainText(int channel, int band) const
{
    if (!IsChannel(channel) || !IsBand(band))
        return std::string();
    const ChannelSettings &settings = channels[channel];
    const int gain = settings.gains[band];
    if (!settings.moved[band])
        return std::to_string(gain);
    if (gain > 0)
        return std::to_string(gain);
    return "-" + std::to_string(-gain);
}

std::string EqualizerSettings::Problem() const
{
    if (range != WideRange && range != NarrowRange)
        return "the range is " + std::to_string(range) + " dB, not 12 or 6";
    if (bandwidth < BandwidthMinimum || bandwidth > BandwidthMaximum)
        return "the bandwidth is " + std::to_string(bandwidth) + ", not 1 to 300";
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const ChannelSettings &settings = channels[channel];
        const std::string name = channel == Left ? "left" : "right";
        if (settings.levelPosition < LevelPositionMinimum || settings.levelPosition > LevelPositionMaximum)
            return "the " + name + " level is " + std::to_string(settings.levelPosition) + ", not -10 to 10";
        if (settings.preampTenths < PreampTenthsMinimum || settings.preampTenths > PreampTenthsMaximum)
            return "the " + name + " preamp is " + std::to_string(settings.preampTenths) + " tenths of a dB, not -30 to 12 dB";
        for (int band = 0; band < BandCount; ++band) {
            const int gain = settings.gains[band];
            const std::string where = "band " + std::to_string(band + 1) + " of the " + name + " channel";
            if (gain < -range || gain > range)
                return where + " is " + std::to_string(gain) + " dB, beyond the range of "
                    + std::to_string(range) + " dB";
            if (gain != 0 && !settings.moved[band])
                return where + " has a gain but was never moved";
        }
    }
    return std::string();
}
