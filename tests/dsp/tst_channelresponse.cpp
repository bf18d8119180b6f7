// The drawn response: bands left out, peak text, and ffmpeg's real response.
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/ChainText.h"
#include "core/equalizer/OutputLevel.h"
#include "core/tools/ChannelCommands.h"

#include "NoiseResponse.h"

#include <QTemporaryDir>
#include <QtTest>

#include <random>

Q_DECLARE_METATYPE(EqualizerSettings)

namespace {

EqualizerSettings LeftAllAt(int gain, bool lowCut = false, int levelPosition = -4, int bandwidth = 1)
{
    EqualizerSettings settings;
    settings.bandwidth = bandwidth;
    settings.channels[0].gains.fill(gain);
    settings.channels[0].moved.fill(true);
    settings.channels[0].levelPosition = levelPosition;
    settings.lowCut = lowCut;
    return settings;
}

// The chain text exactly as the windows build it, level first.
QString FilterText(const EqualizerSettings &settings, int sampleRate)
{
    const double level = OutputLevelFromPosition(qint16(settings.channels[0].levelPosition)).level;
    return QLatin1String("volume=") + ChannelCommands::VolumeText(level) + QLatin1Char(',') + ChainText::Render(ChannelChain::FromSettings(settings, 0, sampleRate), true);
}

} // namespace

class tst_ChannelResponse : public QObject
{
    Q_OBJECT

private slots:
    void peakAndBandsLeftOut_data()
    {
        QTest::addColumn<EqualizerSettings>("settings");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<QString>("peakText");
        QTest::addColumn<int>("bandsInChain");
        QTest::newRow("flat") << EqualizerSettings() << 48000 << "Peak +0.0 dB" << 65;
        // The overlap the curve exists to show.
        QTest::newRow("every band +1 at 44.1 kHz") << LeftAllAt(1) << 44100 << "Peak +13.4 dB" << 65;
        QTest::newRow("low cut, level factor 2") << LeftAllAt(0, true, -8) << 48000 << "Peak +6.0 dB" << 62;
        QTest::newRow("cuts at 22.05 kHz end at 0 dB") << LeftAllAt(-2) << 22050 << "Peak +0.0 dB" << 57;
        QTest::newRow("silent level") << LeftAllAt(3, false, 2) << 48000 << "Silent" << 65;
        // Each band this wide lifts the whole range; at 44.1 kHz 20 kHz stops acting at 208, 19.4 kHz at 300.
        for (const auto &[width, rate, bands] : {std::tuple{207, 44100, 65}, {208, 44100, 64}, {300, 44100, 63},
                                                 {207, 48000, 65}, {208, 48000, 65}, {300, 48000, 65}, {300, 8000, 47}})
            QTest::addRow("%d octaves at %d Hz", width, rate)
                << LeftAllAt(1, false, -4, width) << rate << QStringLiteral("Peak +%1.0 dB").arg(bands) << bands;
    }

    void peakAndBandsLeftOut()
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
        QVERIFY(std::none_of(curve.db.begin(), curve.db.end(), [](double db) { return std::isnan(db); }));
        QCOMPARE(int(FilterText(settings, sampleRate).count(QLatin1String("equalizer="))), bandsInChain);
    }

    void matchesFfmpegOnNoise_data()
    {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("sampleRate");
        QTest::newRow("seed 1, 48 kHz") << 1u << 48000;
        QTest::newRow("seed 2, 44.1 kHz") << 2u << 44100;
        QTest::newRow("seed 3, 48 kHz") << 3u << 48000;
    }

    // Random whole-dB gains, bandwidth 1 to 3, low cut and a level of 1 or 2.
    void matchesFfmpegOnNoise()
    {
        QFETCH(unsigned, seed);
        QFETCH(int, sampleRate);
        std::mt19937 random(seed);
        EqualizerSettings settings = LeftAllAt(0, random() % 2, random() % 2 ? -4 : -7);
        settings.bandwidth = 1 + int(random() % 3);
        for (int &gain : settings.channels[0].gains)
            gain = int(random() % 25) - 12;
        QVector<double> frequencies;
        QVector<int> bands;
        for (int i = 0; i < 20; ++i) {
            bands << int(std::lround(i * 64 / 19.0));
            frequencies << BandTable::FrequencyHz(bands.back());
        }
        QTemporaryDir folder;
        const QVector<double> measured
            = NoiseResponse::MeasureDb(FilterText(settings, sampleRate), sampleRate, frequencies, folder.path());
        QCOMPARE(measured.size(), frequencies.size());
        const ChannelResponse::Curve curve = ChannelResponse::Evaluate(ChannelChain::FromSettings(settings, 0, sampleRate));
        for (int i = 0; i < bands.size(); ++i) {
            const double drawn = curve.bandDb[bands[i]] + curve.levelDb;
            QVERIFY2(std::abs(measured[i] - drawn) < 0.5,
                     qPrintable(QStringLiteral("%1 Hz: ffmpeg %2 dB, drawn %3 dB").arg(frequencies[i]).arg(measured[i]).arg(drawn)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_ChannelResponse)
#include "tst_channelresponse.moc"
