// Random settings and the chain texts they give, shared by the preset tests.
#pragma once

#include "dsp/EqualizerSettings.h"
#include "core/equalizer/ChannelPlan.h"
#include "core/equalizer/ChainText.h"

#include <QRandomGenerator>
#include <QStringList>

inline EqualizerSettings RandomSettings(QRandomGenerator &random)
{
    EqualizerSettings settings;
    settings.range = random.bounded(2) ? EqualizerSettings::WideRange : EqualizerSettings::NarrowRange;
    settings.lowCut = random.bounded(2);
    settings.bandwidth = random.bounded(1, 301);
    settings.sync = random.bounded(2);
    for (ChannelSettings &channel : settings.channels) {
        channel.levelPosition = random.bounded(-10, 11);
        for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
            channel.moved[band] = random.bounded(4) != 0;
            if (channel.moved[band])
                channel.gains[band] = random.bounded(-settings.range, settings.range + 1);
        }
    }
    // Drawn last, so each seed's earlier values stay what they were.
    settings.avoidClipping = random.bounded(2);
    settings.asDrawn = random.bounded(2);
    for (ChannelSettings &channel : settings.channels)
        channel.preampTenths = random.bounded(2) ? random.bounded(EqualizerSettings::PreampTenthsMinimum,
                                                                 EqualizerSettings::PreampTenthsMaximum + 1)
                                                 : 0;
    return settings;
}

// Both channels' chains as the session builds them from the settings: the
// chain boxes' texts, or the tools' with everyElement false.
inline QStringList Chains(const EqualizerSettings &settings, int sampleRate = 0, double sourcePeakDb = qQNaN(),
                          bool everyElement = true)
{
    ChannelPlanner planner;
    QStringList chains;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        planner.Update(settings, channel, sampleRate, sourcePeakDb);
        chains << ChainText::Render(planner.Plan(channel).chain, everyElement);
    }
    return chains;
}

inline QString ProfilePath(const QString &name)
{
    return qEnvironmentVariable("BRENVOX_TEST_DATA") + QLatin1String("/profiles/") + name;
}
