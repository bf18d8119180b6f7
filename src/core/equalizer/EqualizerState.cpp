#include "core/equalizer/EqualizerState.h"

namespace {

struct GainStep {
    QString readout;
    int magnitude;
    bool boost;
};

// A position written with a leading "-" stands above the centre: a boost of
// its magnitude. Everything else, the centre included, is a cut shown as
// "-<position>", so the centre reads "-0".
GainStep GainStepFromSlider(qint16 sliderValue)
{
    if (sliderValue < 0) {
        const int magnitude = -int(sliderValue);
        return {QLatin1Char('+') + QString::number(magnitude), magnitude, true};
    }
    return {QLatin1Char('-') + QString::number(sliderValue), sliderValue, false};
}

} // namespace

QString EqualizerState::GainText(int magnitude, bool boost)
{
    return boost ? QString::number(magnitude) : QLatin1Char('-') + QString::number(magnitude);
}

QString EqualizerState::BandElement(int band, int bandwidth, const QString &gain)
{
    return BandTable::ElementPrefix(band) + QString::number(bandwidth) + QLatin1String(":g=") + gain;
}

QString EqualizerState::BuildChain(const BandGains &gains, double preGainDb) const
{
    // A left move with sync on rebuilds 66 chains; the prefixes are fixed,
    // so they are made once.
    static const std::array<QString, BandTable::BandCount> prefixes = [] {
        std::array<QString, BandTable::BandCount> all;
        for (int band = 0; band < BandTable::BandCount; ++band)
            all[band] = BandTable::ElementPrefix(band);
        return all;
    }();
    const QString widthAndGain = QString::number(Bandwidth) + QLatin1String(":g=");

    QString chain;
    chain.reserve(3600);
    // At the head, so the bands work on the lowered signal. The level's
    // "volume" ahead of the chain hands on floating-point samples, so a peak
    // above full scale inside the chain is kept; only the written file clips.
    if (preGainDb < 0)
        chain += QLatin1String("volume=") + QString::number(preGainDb, 'f', 1) + QLatin1String("dB");
    int firstBand = BandTable::FirstBand;
    if (LowCutEnabled) {
        if (!chain.isEmpty())
            chain += QLatin1Char(',');
        chain += BandTable::LowCutElement();
        firstBand = BandTable::FirstBandAfterLowCut;
    }
    const int lastBand = BandTable::LastActingBand(SourceSampleRate, Bandwidth);
    for (int band = firstBand; band <= lastBand; ++band) {
        if (!chain.isEmpty())
            chain += QLatin1Char(',');
        chain += prefixes[band];
        chain += widthAndGain;
        chain += gains[band];
    }
    if (chain.isEmpty())
        chain = QStringLiteral("anull");
    return chain;
}

bool EqualizerState::UpdateLeftFilterChain(int band, int magnitude, bool boost)
{
    if (!BandTable::IsBand(band))
        return false;
    LeftBandGain[band] = GainText(magnitude, boost);
    LeftFilterChain = BuildChain(LeftBandGain);
    return true;
}

bool EqualizerState::UpdateRightFilterChain(int band, int magnitude, bool boost)
{
    if (!BandTable::IsBand(band))
        return false;
    RightBandGain[band] = GainText(magnitude, boost);
    RightFilterChain = BuildChain(RightBandGain);
    return true;
}

QString EqualizerState::SetLeftBandGain(int band, qint16 sliderValue)
{
    const GainStep step = GainStepFromSlider(sliderValue);
    UpdateLeftFilterChain(band, step.magnitude, step.boost);
    return step.readout;
}

QString EqualizerState::SetRightBandGain(int band, qint16 sliderValue)
{
    const GainStep step = GainStepFromSlider(sliderValue);
    UpdateRightFilterChain(band, step.magnitude, step.boost);
    return step.readout;
}
