// The drawn response: bands left out, peak text, and ffmpeg's real response.
#include "curve/ChannelChain.h"
#include "equalizer/EqualizerState.h"
#include "equalizer/OutputLevel.h"
#include "preview/ChannelCommands.h"

#include "import/ToolOutputFacts.h"

#include "AudioMeasure.h"
#include "NoiseResponse.h"

#include <QTemporaryDir>
#include <QtTest>

#include <random>

Q_DECLARE_METATYPE(EqualizerSettings)

namespace {

EqualizerSettings LeftAllAt(int gain, bool lowCut = false, int levelPosition = -4)
{
    EqualizerSettings settings;
    settings.channels[0].gains.fill(gain);
    settings.channels[0].moved.fill(true);
    settings.channels[0].levelPosition = levelPosition;
    settings.lowCut = lowCut;
    return settings;
}

EqualizerSettings Wide(int bandwidth, int gain)
{
    EqualizerSettings settings = LeftAllAt(gain);
    settings.bandwidth = bandwidth;
    return settings;
}

// The samples that are no finite number when the real ffmpeg runs the
// element on a tone in float.
double NonFiniteSamples(const QString &element, int sampleRate)
{
    return ToolOutputFacts::NonFiniteSamples(AudioMeasure::RunTool(QStringLiteral("ffmpeg"),
        {"-f", "lavfi", "-i", QStringLiteral("sine=f=440:r=%1:d=0.1").arg(sampleRate), "-af",
         "aformat=sample_fmts=flt," + element
             + ",astats=measure_perchannel=none:measure_overall=Number_of_NaNs+Number_of_Infs",
         "-f", "null", "-"}).output);
}

// The chain text exactly as the windows build it, level first.
QString FilterText(const EqualizerSettings &settings, int sampleRate)
{
    EqualizerState state;
    state.LowCutEnabled = settings.lowCut;
    state.Bandwidth = settings.bandwidth;
    state.SourceSampleRate = sampleRate;
    BandGains gains;
    for (int band = 0; band < EqualizerSettings::BandCount; ++band)
        gains[band] = QString::fromStdString(settings.GainText(0, band));
    const qint16 level = OutputLevelFromPosition(qint16(settings.channels[0].levelPosition)).level;
    return QLatin1String("volume=") + ChannelCommands::VolumeText(level) + QLatin1Char(',') + state.BuildChain(gains);
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
        // Each band of these widths lifts the whole range by its gain. From
        // 208 octaves at 44.1 kHz the 20 kHz element is no longer finite.
        QTest::newRow("207 octaves at 44.1 kHz") << Wide(207, 0) << 44100 << "Peak +0.0 dB" << 65;
        QTest::newRow("208 octaves at 44.1 kHz, every band +1") << Wide(208, 1) << 44100 << "Peak +64.0 dB" << 64;
        QTest::newRow("300 octaves at 44.1 kHz, every band -1") << Wide(300, -1) << 44100 << "Peak -63.0 dB" << 63;
        QTest::newRow("207 octaves at 48 kHz, every band +1") << Wide(207, 1) << 48000 << "Peak +65.0 dB" << 65;
        QTest::newRow("208 octaves at 48 kHz") << Wide(208, 0) << 48000 << "Peak +0.0 dB" << 65;
        QTest::newRow("300 octaves at 48 kHz, every band -1") << Wide(300, -1) << 48000 << "Peak -65.0 dB" << 65;
        // The curve ends at half the rate, where such a band's pole and zero meet.
        QTest::newRow("300 octaves at 8 kHz, every band +1") << Wide(300, 1) << 8000 << "Peak +47.0 dB" << 47;
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
        QVERIFY(std::all_of(curve.db.begin(), curve.db.end(), [](double db) { return !std::isnan(db); }));
        // The chain text leaves out the same bands: the highest it keeps is
        // finite in ffmpeg at the largest boost and cut, the next one is not.
        const QString text = FilterText(settings, sampleRate);
        QCOMPARE(int(text.count(QLatin1String("equalizer="))), bandsInChain);
        const int kept = int(std::find(chain.inChain.rbegin(), chain.inChain.rend(), true).base()
                             - chain.inChain.begin()) - 1;
        for (const char *gain : {"24", "-24"})
            QCOMPARE(NonFiniteSamples(EqualizerState::BandElement(kept, settings.bandwidth, QLatin1String(gain)),
                                      sampleRate), 0.0);
        if (BandTable::IsBand(kept + 1) && BandTable::ActsAtSampleRate(kept + 1, sampleRate))
            QVERIFY(NonFiniteSamples(EqualizerState::BandElement(kept + 1, settings.bandwidth, QStringLiteral("24")),
                                     sampleRate) > 0);
    }

    void matchesFfmpegOnNoise_data()
    {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("bandwidth"); // 0: 1 to 3
        QTest::newRow("seed 1, 48 kHz") << 1u << 48000 << 0;
        QTest::newRow("seed 2, 44.1 kHz") << 2u << 44100 << 0;
        QTest::newRow("seed 3, 48 kHz") << 3u << 48000 << 0;
        QTest::newRow("seed 4, 207 octaves at 44.1 kHz") << 4u << 44100 << 207;
        QTest::newRow("seed 5, 300 octaves at 44.1 kHz") << 5u << 44100 << 300;
    }

    // Random whole-dB gains, low cut and a level of 1 or 2.
    void matchesFfmpegOnNoise()
    {
        QFETCH(unsigned, seed);
        QFETCH(int, sampleRate);
        QFETCH(int, bandwidth);
        std::mt19937 random(seed);
        EqualizerSettings settings = LeftAllAt(0, random() % 2, random() % 2 ? -4 : -7);
        settings.bandwidth = 1 + int(random() % 3);
        if (bandwidth > 0)
            settings.bandwidth = bandwidth;
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
