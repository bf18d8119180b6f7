// Reads one channel's chain from the settings through the chain texts' own tables.
#include "core/equalizer/ChannelChain.h"

#include "dsp/BiquadResponse.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/OutputLevel.h"

// The band frequencies, the bands left out and the volume factor come from
// the functions that write the chain texts, so the curve cannot drift from
// what ffmpeg is told.
namespace ChannelChain {

double CurveSampleRate(int sampleRate)
{
    return sampleRate > 0 ? sampleRate : BiquadResponse::DefaultSampleRate;
}

std::array<double, EqualizerSettings::BandCount> SliderDb(const EqualizerSettings &settings, int channel)
{
    std::array<double, EqualizerSettings::BandCount> db{};
    if (EqualizerSettings::IsChannel(channel))
        for (int band = 0; band < EqualizerSettings::BandCount; ++band)
            db[band] = settings.channels[channel].gains[band] == 0 && settings.channels[channel].moved[band]
                ? -0.0
                : settings.channels[channel].gains[band];
    return db;
}

ChannelResponse::Chain FromSettings(const EqualizerSettings &settings, int channel, int sampleRate,
                                    const std::array<double, EqualizerSettings::BandCount> *solvedGains)
{
    ChannelResponse::Chain chain;
    chain.sampleRate = CurveSampleRate(sampleRate);
    chain.sourceSampleRate = sampleRate > 0 ? sampleRate : 0;
    chain.gainsDb = solvedGains ? *solvedGains : SliderDb(settings, channel);
    chain.widthsOctaves = ChannelResponse::EveryBand(double(settings.bandwidth));
    chain.lowCut = settings.lowCut;
    const int lastBand = BandTable::LastActingBand(int(chain.sampleRate), settings.bandwidth);
    for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
        chain.bandFrequencies[band] = BandTable::FrequencyHz(band);
        chain.inChain[band] = band <= lastBand && !(settings.lowCut && band < BandTable::FirstBandAfterLowCut);
    }
    const int position = EqualizerSettings::IsChannel(channel) ? settings.channels[channel].levelPosition : 0;
    chain.volume = OutputLevelFromPosition(qint16(position)).level;
    if (EqualizerSettings::IsChannel(channel))
        chain.preampDb = settings.channels[channel].PreampDb();
    return chain;
}

} // namespace ChannelChain
