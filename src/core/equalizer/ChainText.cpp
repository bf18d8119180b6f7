// Writes a chain's numbers as the text ffmpeg and the chain boxes take.
#include "core/equalizer/ChainText.h"

#include "dsp/AsDrawn.h"
#include "core/equalizer/BandTable.h"

#include <array>
#include <cmath>

namespace {

// A band whose gain shows as 0 passes every sample as it came: its
// numerator and denominator are equal, give or take a rounding far below
// what any written format keeps.
bool ShowsAsZero(double gainDb)
{
    return std::lround(gainDb * 10) == 0;
}

QString GainText(double gainDb)
{
    if (gainDb == 0)
        return QLatin1String(std::signbit(gainDb) ? "-0" : "0");
    return QString::fromStdString(AsDrawn::GainText(gainDb));
}

// The common bandwidth is whole octaves; "as drawn" rounds its widths to
// hundredths, so six digits write either exactly.
QString WidthText(double octaves)
{
    return QString::number(octaves);
}

void Append(QString &chain, const QString &element)
{
    if (!chain.isEmpty())
        chain += QLatin1Char(',');
    chain += element;
}

} // namespace

namespace ChainText {

QString Render(const ChannelResponse::Chain &chain, bool everyElement)
{
    // A left move with sync on renders 66 chains; the prefixes are fixed,
    // so they are made once.
    static const std::array<QString, BandTable::BandCount> prefixes = [] {
        std::array<QString, BandTable::BandCount> all;
        for (int band = 0; band < BandTable::BandCount; ++band)
            all[band] = BandTable::ElementPrefix(band);
        return all;
    }();

    QString text;
    text.reserve(3600);
    // At the head, so the bands work on the lowered signal. The level's
    // "volume" ahead of the chain hands on floating-point samples, so a peak
    // above full scale inside the chain is kept; only the written file clips.
    // The preamp comes first: "Avoid clipping" measures the curve with it,
    // so its cut follows whatever the preamp adds.
    if (chain.preampDb != 0)
        text += QLatin1String(chain.preampDb > 0 ? "volume=+" : "volume=") + QString::number(chain.preampDb, 'f', 1)
            + QLatin1String("dB");
    if (chain.preGainDb < 0)
        Append(text, QLatin1String("volume=") + QString::number(chain.preGainDb, 'f', 1) + QLatin1String("dB"));
    if (chain.lowCut)
        Append(text, BandTable::LowCutElement());
    // With no source rate known, nothing says which bands cannot act, and
    // the text keeps them all.
    const bool everyBand = chain.sourceSampleRate <= 0;
    for (int band = 0; band < BandTable::BandCount; ++band) {
        if (chain.lowCut && band < BandTable::FirstBandAfterLowCut)
            continue;
        if (!everyBand && !chain.inChain[band])
            continue;
        if (!everyElement && ShowsAsZero(chain.gainsDb[band]))
            continue;
        Append(text, prefixes[band] + WidthText(chain.widthsOctaves[band]) + QLatin1String(":g=")
                         + GainText(chain.gainsDb[band]));
    }
    if (text.isEmpty())
        text = QStringLiteral("anull");
    return text;
}

} // namespace ChainText
