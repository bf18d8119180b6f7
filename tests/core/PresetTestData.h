// Random settings and the chain texts they give, shared by the preset tests.
#pragma once

#include "dsp/EqualizerSettings.h"
#include "core/equalizer/EqualizerState.h"

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
    return settings;
}

// Both channels' chains as the window builds them from the gain texts.
inline QStringList Chains(const EqualizerSettings &settings)
{
    EqualizerState state;
    state.Bandwidth = settings.bandwidth;
    state.LowCutEnabled = settings.lowCut;
    QStringList chains;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        BandGains gains;
        for (int band = 0; band < EqualizerSettings::BandCount; ++band)
            gains[band] = QString::fromStdString(settings.GainText(channel, band));
        chains << state.BuildChain(gains);
    }
    return chains;
}

inline QString ProfilePath(const QString &name)
{
    return qEnvironmentVariable("BRENVOX_TEST_DATA") + QLatin1String("/profiles/") + name;
}
