// Solves, evaluates and measures the headroom of each channel's chain as the settings change.
#include "core/equalizer/ChannelPlan.h"

#include "dsp/AsDrawn.h"
#include "core/equalizer/ChannelChain.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this a deviation is within what whole-dB sliders can show.
constexpr double DeviationShownDb = 1;

QString ChannelName(int channel)
{
    return channel == EqualizerSettings::Left ? QStringLiteral("Left") : QStringLiteral("Right");
}

bool SamePeak(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

bool ChannelPlanner::Inputs::SameSolve(const Inputs &other) const
{
    return channel.gains == other.channel.gains && bandwidth == other.bandwidth && lowCut == other.lowCut
        && sampleRate == other.sampleRate;
}

bool ChannelPlanner::Inputs::operator==(const Inputs &other) const
{
    return channel == other.channel && bandwidth == other.bandwidth && lowCut == other.lowCut
        && sampleRate == other.sampleRate && asDrawn == other.asDrawn && avoidClipping == other.avoidClipping
        && SamePeak(sourcePeakDb, other.sourcePeakDb);
}

bool ChannelPlanner::Refresh(const EqualizerSettings &settings, int channel, int sampleRate, double sourcePeakDb)
{
    const Inputs inputs{settings.channels[channel], settings.bandwidth, settings.lowCut, sampleRate,
                        settings.asDrawn, settings.avoidClipping, sourcePeakDb};
    Kept &kept = mChannels[channel];
    if (kept.valid && kept.inputs == inputs)
        return false;

    ChannelPlan plan;
    plan.sliderDb = ChannelChain::SliderDb(settings, channel);
    plan.chain = ChannelChain::FromSettings(settings, channel, sampleRate);
    plan.asDrawn = settings.asDrawn;
    if (settings.asDrawn) {
        // A level, pre-gain or option change keeps the solve of the same
        // shape; so does the other channel's change with sync on.
        if (!kept.valid || !kept.uncut.asDrawn || !kept.inputs.SameSolve(inputs)) {
            const AsDrawn::Solution solution = AsDrawn::Solve(plan.chain);
            kept.solved = solution.gainsDb;
            kept.solvedWidths = solution.widthsOctaves;
            kept.solvedDeviationDb = solution.largestDeviationDb;
            kept.solvedWorstBand = solution.worstBand;
            ++mSolves;
        }
        plan.chain.gainsDb = kept.solved;
        plan.chain.widthsOctaves = kept.solvedWidths;
        plan.deviationDb = kept.solvedDeviationDb;
        plan.worstBand = kept.solvedWorstBand;
    }
    plan.curve = ChannelResponse::Evaluate(plan.chain);
    const double excess = sourcePeakDb + plan.curve.peakDb;
    if (std::isfinite(excess) && excess > 0)
        plan.clipDb = excess;
    kept.inputs = inputs;
    kept.uncut = plan;
    kept.valid = true;
    ++kept.uncutVersion;
    return true;
}

bool ChannelPlanner::Update(const EqualizerSettings &settings, int channel, int sampleRate, double sourcePeakDb)
{
    if (!EqualizerSettings::IsChannel(channel))
        return false;
    Refresh(settings, channel, sampleRate, sourcePeakDb);
    // "Avoid clipping" lowers both channels by what the one that needs more
    // needs, so it never changes the difference between the ears.
    double needDb = mChannels[channel].uncut.clipDb;
    if (settings.avoidClipping) {
        const int other = 1 - channel;
        Refresh(settings, other, sampleRate, sourcePeakDb);
        needDb = std::max(needDb, mChannels[other].uncut.clipDb);
    }
    // Tenths, at least 0.05 dB below full scale: the curve's peak is read on
    // a grid, and a sample at exactly full scale is clipped.
    const double cutDb = settings.avoidClipping && needDb > 0 ? -std::ceil(needDb * 10 + 0.5) / 10 : 0;
    Kept &kept = mChannels[channel];
    if (kept.planVersion == kept.uncutVersion && kept.cutDb == cutDb)
        return false;
    kept.plan = kept.uncut;
    if (cutDb < 0) {
        kept.plan.chain.preGainDb = cutDb;
        kept.plan.curve = ChannelResponse::Evaluate(kept.plan.chain);
    }
    kept.planVersion = kept.uncutVersion;
    kept.cutDb = cutDb;
    return true;
}

ChannelChains PlayedChains(const EqualizerSettings &settings, int sampleRate, double peakDb)
{
    ChannelPlanner planner;
    ChannelChains chains;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        planner.Update(settings, channel, sampleRate, peakDb);
        chains[channel] = planner.Plan(channel).chain;
    }
    return chains;
}

namespace ChannelPlanText {

QString FrequencyText(double frequency)
{
    return frequency >= 1000 ? QString::number(frequency / 1000, 'f', 1) + QLatin1String(" kHz")
                             : QString::number(std::lround(frequency)) + QLatin1String(" Hz");
}

QString UpToText(double db)
{
    return QString::number(std::ceil(db * 10 - 1e-6) / 10, 'f', 1) + QLatin1String(" dB");
}

QString ClipWarning(int channel, const ChannelPlan &plan)
{
    if (plan.clipDb <= 0 || plan.chain.preGainDb < 0)
        return QString();
    return ChannelName(channel) + QLatin1String(" channel may clip by up to ") + UpToText(plan.clipDb);
}

QString DeviationWarning(int channel, const ChannelPlan &plan)
{
    if (!plan.asDrawn || plan.deviationDb <= DeviationShownDb || plan.worstBand < 0)
        return QString();
    return ChannelName(channel) + QLatin1String(" curve is off the sliders by up to ")
        + QString::number(plan.deviationDb, 'f', 1) + QLatin1String(" dB at ")
        + FrequencyText(plan.chain.bandFrequencies[plan.worstBand]);
}

QString PeakText(const ChannelPlan &plan)
{
    const QString peak = QString::fromStdString(ChannelResponse::PeakText(plan.curve.peakDb));
    if (plan.chain.preGainDb >= 0 || plan.curve.silent)
        return peak;
    return peak + QLatin1String(" (cut ") + QString::number(-plan.chain.preGainDb, 'f', 1) + QLatin1String(" dB)");
}

} // namespace ChannelPlanText
