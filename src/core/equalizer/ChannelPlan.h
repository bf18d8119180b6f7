// What each channel's chain applies once "As drawn" and "Avoid clipping" have had their say.
#pragma once

#include "dsp/ChannelResponse.h"
#include "dsp/EqualizerSettings.h"

#include <QString>

#include <array>

struct ChannelPlan
{
    using Gains = std::array<double, EqualizerSettings::BandCount>;

    // gainsDb and widthsOctaves are the solved ones in "as drawn", preGainDb the cut of
    // "Avoid clipping".
    ChannelResponse::Chain chain;
    ChannelResponse::Curve curve;
    Gains sliderDb{};
    bool asDrawn = false;
    // "As drawn" only: the largest distance of the response from the
    // sliders, and the band where it is.
    double deviationDb = 0;
    int worstBand = -1;
    // How far the source's peak plus the channel's curve (level included,
    // pre-gain left out) goes above 0 dBFS; 0 when it stays below, the
    // channel is silent or the source's peak is unknown. "Avoid clipping"
    // lowers both channels by the larger of the two.
    double clipDb = 0;
};

// Keeps both channels' plans for the settings and the open source, working
// out again only what a change touches: the solve (about 1 ms) runs only
// when the channel's gains, bandwidth, low cut or rate changed.
class ChannelPlanner
{
public:
    // Returns whether the channel's plan changed. With "Avoid clipping" the
    // other channel's need is worked out too, for their common cut.
    bool Update(const EqualizerSettings &settings, int channel, int sampleRate, double sourcePeakDb);
    const ChannelPlan &Plan(int channel) const { return mChannels[channel].plan; }
    // How many solves have run, for the tests of the above.
    int Solves() const { return mSolves; }

private:
    struct Inputs
    {
        ChannelSettings channel;
        int bandwidth = 0;
        bool lowCut = false;
        int sampleRate = -1;
        bool asDrawn = false;
        bool avoidClipping = false;
        double sourcePeakDb = 0;

        bool SameSolve(const Inputs &other) const;
        bool operator==(const Inputs &other) const;
    };
    struct Kept
    {
        bool valid = false;
        Inputs inputs;
        // The plan before the common cut, and the plan with it.
        ChannelPlan uncut;
        ChannelPlan plan;
        int uncutVersion = 0;
        int planVersion = -1;
        double cutDb = 0;
        ChannelPlan::Gains solved{};
        ChannelPlan::Gains solvedWidths{};
        double solvedDeviationDb = 0;
        int solvedWorstBand = -1;
    };

    // The channel's plan without the cut; returns whether it changed.
    bool Refresh(const EqualizerSettings &settings, int channel, int sampleRate, double sourcePeakDb);

    std::array<Kept, EqualizerSettings::ChannelCount> mChannels;
    int mSolves = 0;
};

using ChannelChains = std::array<ChannelResponse::Chain, EqualizerSettings::ChannelCount>;

// The chains that play for the settings at the rate, the source's peak at
// peakDb (NaN when unknown): what the session's planner holds for them.
ChannelChains PlayedChains(const EqualizerSettings &settings, int sampleRate, double peakDb);

namespace ChannelPlanText {

// "250 Hz", "1.2 kHz".
QString FrequencyText(double frequency);
// "7.2 dB": the tenths rounded up, for an amount "up to" which something
// happens, never below it.
QString UpToText(double db);

// "Left channel may clip by up to 7.2 dB"; empty when it does not.
QString ClipWarning(int channel, const ChannelPlan &plan);
// "Left curve is off the sliders by up to 3.2 dB at 1.2 kHz" when "as
// drawn" misses a slider by more than 1 dB; empty otherwise.
QString DeviationWarning(int channel, const ChannelPlan &plan);
// "Peak +13.4 dB", "Silent"; "Peak -0.1 dB (cut 5.1 dB)" where "Avoid
// clipping" lowers the channel.
QString PeakText(const ChannelPlan &plan);

} // namespace ChannelPlanText
