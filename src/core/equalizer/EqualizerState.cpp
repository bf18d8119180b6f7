#include "core/equalizer/EqualizerState.h"

#include <QStringList>

QString EqualizerState::BandElement(int band, int bandwidth, const QString &gain)
{
    return BandTable::ElementPrefix(band) + QString::number(bandwidth) + QLatin1String(":g=") + gain;
}

QString EqualizerState::BuildChain(const BandGains &gains, double preGainDb, double preampDb) const
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
    // The preamp comes first: "Avoid clipping" measures the curve with it,
    // so its cut follows whatever the preamp adds.
    if (preampDb != 0)
        chain += QLatin1String(preampDb > 0 ? "volume=+" : "volume=") + QString::number(preampDb, 'f', 1)
            + QLatin1String("dB");
    if (preGainDb < 0) {
        if (!chain.isEmpty())
            chain += QLatin1Char(',');
        chain += QLatin1String("volume=") + QString::number(preGainDb, 'f', 1) + QLatin1String("dB");
    }
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

QString EqualizerState::ToolChain(const QString &chain)
{
    // A peaking filter at 0 dB has equal numerator and denominator: it
    // passes every sample as it came, give or take a rounding far below
    // what any written format keeps.
    const QLatin1String band("equalizer=");
    const QLatin1String gain(":g=");
    QStringList kept;
    for (const QString &element : chain.split(QLatin1Char(','))) {
        const qsizetype gainAt = element.lastIndexOf(gain);
        bool number = false;
        const double db = gainAt < 0 ? 1 : element.mid(gainAt + gain.size()).toDouble(&number);
        if (!element.startsWith(band) || !number || db != 0)
            kept << element;
    }
    if (kept.isEmpty() && !chain.isEmpty())
        return QStringLiteral("anull");
    return kept.join(QLatin1Char(','));
}
