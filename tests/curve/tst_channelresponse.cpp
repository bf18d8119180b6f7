// The channel's drawn response against the per-filter formulas and against
// what the real ffmpeg applies.
#include "curve/BiquadResponse.h"
#include "curve/ChannelChain.h"
#include "curve/ChannelResponse.h"
#include "equalizer/EqualizerState.h"
#include "equalizer/OutputLevel.h"
#include "preview/ChannelCommands.h"

#include "NoiseResponse.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <random>

Q_DECLARE_METATYPE(EqualizerSettings)

namespace {

EqualizerSettings AllBandsAt(int gain)
{
    EqualizerSettings settings;
    for (ChannelSettings &channel : settings.channels) {
        channel.gains.fill(gain);
        channel.moved.fill(true);
    }
    return settings;
}

// Whole-dB gains, a bandwidth of 1 to 3 octaves, the low cut and a level
// from silence-free positions, all drawn from the seed.
EqualizerSettings RandomSettings(unsigned seed)
{
    std::mt19937 random(seed);
    EqualizerSettings settings;
    ChannelSettings &left = settings.channels[EqualizerSettings::Left];
    for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
        left.gains[band] = std::uniform_int_distribution<int>(-12, 12)(random);
        left.moved[band] = true;
    }
    settings.bandwidth = std::uniform_int_distribution<int>(1, 3)(random);
    settings.lowCut = random() % 2 == 0;
    left.levelPosition = random() % 2 == 0 ? -4 : -7;
    return settings;
}

// The chain text exactly as the windows build it.
QString FilterText(const EqualizerSettings &settings, int channel, int sampleRate)
{
    EqualizerState state;
    state.LowCutEnabled = settings.lowCut;
    state.Bandwidth = settings.bandwidth;
    state.SourceSampleRate = sampleRate;
    BandGains gains;
    for (int band = 0; band < EqualizerSettings::BandCount; ++band)
        gains[band] = QString::fromStdString(settings.GainText(channel, band));
    const qint16 level = OutputLevelFromPosition(qint16(settings.channels[channel].levelPosition)).level;
    return QLatin1String("volume=") + ChannelCommands::VolumeText(level) + QLatin1Char(',')
        + state.BuildChain(gains);
}

} // namespace

class tst_ChannelResponse : public QObject
{
    Q_OBJECT

private slots:
    void sumsTheChainsFilters_data()
    {
        QTest::addColumn<EqualizerSettings>("settings");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<QString>("peakText");
        QTest::addColumn<int>("bandsInChain");
        QTest::newRow("flat") << EqualizerSettings() << 48000 << "Peak +0.0 dB" << 65;
        // The overlap the curve exists to show: every slider at +1.
        QTest::newRow("every band +1 at 44.1 kHz") << AllBandsAt(1) << 44100 << "Peak +13.4 dB" << 65;
        EqualizerSettings lowCutLoud = AllBandsAt(0);
        lowCutLoud.lowCut = true;
        lowCutLoud.channels[0].gains[30] = -3;
        lowCutLoud.channels[0].levelPosition = -8;
        QTest::newRow("low cut, level factor 2") << lowCutLoud << 48000 << "Peak +6.0 dB" << 62;
        EqualizerSettings top = AllBandsAt(0);
        top.channels[0].gains[56] = 6;
        QTest::newRow("22.05 kHz leaves the top bands out") << top << 22050 << "Peak +6.0 dB" << 57;
    }

    void sumsTheChainsFilters()
    {
        QFETCH(EqualizerSettings, settings);
        QFETCH(int, sampleRate);
        QFETCH(QString, peakText);
        QFETCH(int, bandsInChain);
        const ChannelResponse::Chain chain = ChannelChain::FromSettings(settings, 0, sampleRate);
        const ChannelResponse::Curve curve = ChannelResponse::Evaluate(chain);
        QCOMPARE(int(std::count(chain.inChain.begin(), chain.inChain.end(), true)), bandsInChain);
        QCOMPARE(QString::fromStdString(ChannelResponse::PeakText(curve.peakDb)), peakText);
        QCOMPARE(curve.frequencies.back(), std::min(22000.0, sampleRate / 2.0));
        for (size_t i = 0; i < curve.frequencies.size(); i += 37) {
            const double frequency = curve.frequencies[i];
            double expected = curve.levelDb;
            if (chain.lowCut)
                expected += BiquadResponse::ResponseDb({BiquadResponse::Kind::HighPass, 25, 0, 0.707},
                                                       frequency, sampleRate);
            for (int band = 0; band < ChannelResponse::BandCount; ++band)
                if (chain.inChain[band])
                    expected += BiquadResponse::ResponseDb(
                        {BiquadResponse::Kind::Peaking, chain.bandFrequencies[band], chain.gainsDb[band],
                         BiquadResponse::QFromOctaves(chain.bandFrequencies[band], settings.bandwidth,
                                                      sampleRate)},
                        frequency, sampleRate);
            QVERIFY2(std::abs(curve.db[i] - expected) < 1e-6, qPrintable(QString::number(frequency)));
        }
        for (int band = 0; band < ChannelResponse::BandCount; ++band)
            QCOMPARE(std::isnan(curve.bandDb[band]), chain.bandFrequencies[band] > sampleRate / 2.0);
    }

    void silentLevel()
    {
        EqualizerSettings settings = AllBandsAt(3);
        settings.channels[1].levelPosition = 2;
        const ChannelResponse::Curve curve = ChannelResponse::Evaluate(ChannelChain::FromSettings(settings, 1, 0));
        QVERIFY(curve.silent);
        QVERIFY(std::isinf(curve.peakDb) && curve.peakDb < 0);
        QCOMPARE(curve.frequencies.back(), 22000.0);
    }

    void matchesFfmpegOnNoise_data()
    {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("sampleRate");
        QTest::newRow("seed 1, 48 kHz") << 1u << 48000;
        QTest::newRow("seed 2, 44.1 kHz") << 2u << 44100;
        QTest::newRow("seed 3, 48 kHz") << 3u << 48000;
    }

    void matchesFfmpegOnNoise()
    {
        QFETCH(unsigned, seed);
        QFETCH(int, sampleRate);
        const EqualizerSettings settings = RandomSettings(seed);
        QTemporaryDir folder;
        QVector<double> frequencies;
        QVector<int> bands;
        for (int i = 0; i < 20; ++i) {
            bands.append(int(std::lround(i * 64 / 19.0)));
            frequencies.append(BandTable::FrequencyHz(bands.back()));
        }
        const QVector<double> measured = NoiseResponse::MeasureDb(FilterText(settings, 0, sampleRate),
                                                                  sampleRate, frequencies, folder.path());
        QCOMPARE(measured.size(), frequencies.size());
        const ChannelResponse::Curve curve = ChannelResponse::Evaluate(ChannelChain::FromSettings(settings, 0, sampleRate));
        for (int i = 0; i < bands.size(); ++i)
            QVERIFY2(std::abs(measured[i] - (curve.bandDb[bands[i]] + curve.levelDb)) < 0.5,
                     qPrintable(QStringLiteral("%1 Hz: ffmpeg %2 dB, drawn %3 dB").arg(frequencies[i])
                                    .arg(measured[i]).arg(curve.bandDb[bands[i]] + curve.levelDb)));
    }
};

QTEST_GUILESS_MAIN(tst_ChannelResponse)
#include "tst_channelresponse.moc"
