// "As drawn" against the sliders, in the maths and through the real ffmpeg.
#include "dsp/AsDrawn.h"
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/ChainText.h"
#include "core/presets/ProfileImport.h"

#include "NoiseResponse.h"
#include "TestAppFolder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <map>

Q_DECLARE_METATYPE(ChannelResponse::Chain)

namespace {

// Sliders following a sine over log frequency: broad bumps and dips.
ChannelResponse::Chain Bumps(double amplitude, double perOctave, int bandwidth, bool lowCut, int sampleRate)
{
    EqualizerSettings settings;
    settings.bandwidth = bandwidth;
    settings.lowCut = lowCut;
    ChannelResponse::Chain chain = ChannelChain::FromSettings(settings, 0, sampleRate);
    for (int band = 0; band < ChannelResponse::BandCount; ++band)
        chain.gainsDb[band] = std::round(amplitude * std::sin(perOctave * std::log2(chain.bandFrequencies[band])));
    return chain;
}

ChannelResponse::Chain Profile(const QString &name, int channel)
{
    const ProfileImport::Result imported = ProfileImport::ImportFile(
        TestAppFolder::testDataFolder() + QLatin1String("/profiles/") + name, EqualizerSettings());
    return ChannelChain::FromSettings(imported.settings, channel, 48000);
}

// Flat sliders but for these bands.
ChannelResponse::Chain Shape(const std::map<int, double> &gains)
{
    ChannelResponse::Chain chain = ChannelChain::FromSettings(EqualizerSettings(), 0, 48000);
    for (const auto &[band, gain] : gains)
        chain.gainsDb[band] = gain;
    return chain;
}

} // namespace

class tst_AsDrawn : public QObject
{
    Q_OBJECT

private slots:
    void landsOnTheSliders_data()
    {
        QTest::addColumn<ChannelResponse::Chain>("sliders");
        QTest::addColumn<bool>("smooth");
        QTest::addColumn<int>("mostBands"); // solved away from 0 dB
        QTest::newRow("bumps of 8 dB, 1 octave") << Bumps(8, 1.1, 1, false, 48000) << true << 65;
        QTest::newRow("bumps of 10 dB, 2 octaves, low cut, 44.1 kHz") << Bumps(10, 0.8, 2, true, 44100) << true << 65;
        QTest::newRow("bumps of 12 dB, 3 octaves, 32 kHz") << Bumps(12, 0.6, 3, false, 32000) << true << 65;
        for (const char *name : {"graphic_127_points.txt", "graphic_short.txt", "parametric.txt", "ten_bands.txt",
                                 "audiogram.csv"})
            QTest::newRow(name) << Profile(QLatin1String(name), 0) << true << 65;
        QTest::newRow("right_only.txt") << Profile(QStringLiteral("right_only.txt"), 1) << true << 65;
        QTest::newRow("channels.txt, right") << Profile(QStringLiteral("channels.txt"), 1) << true << 65;
        QTest::newRow("jagged, up to 24 dB from band to band") << Bumps(12, 1000, 1, false, 48000) << false << 65;
        QTest::newRow("one band +12 among flat neighbours") << Shape({{44, 12}}) << false << 65;
        // Flat stretches need no band: each one left out is work the tools skip.
        QTest::newRow("a bump among flat bands") << Shape({{20, 1}, {21, 2}, {22, 3}, {23, 3}, {24, 3}, {25, 2}, {26, 1}})
                                                 << true << 7;
        QTest::newRow("a bass shelf") << Shape({{0, 6}, {1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}, {7, 6},
                                                {8, 6}, {9, 6}, {10, 6}}) << true << 12;
    }

    void landsOnTheSliders()
    {
        QFETCH(ChannelResponse::Chain, sliders);
        QFETCH(bool, smooth);
        QFETCH(int, mostBands);
        const AsDrawn::Solution solution = AsDrawn::Solve(sliders);
        ChannelResponse::Chain solved = sliders;
        solved.gainsDb = solution.gainsDb;
        const ChannelResponse::Curve curve = ChannelResponse::Evaluate(solved);
        double miss = 0;
        for (int band = 0; band < ChannelResponse::BandCount; ++band) {
            const double gain = solution.gainsDb[band];
            QVERIFY(std::abs(gain) <= AsDrawn::GainLimitDb && std::abs(gain * 10 - std::round(gain * 10)) < 1e-9);
            if (sliders.inChain[band])
                miss = std::max(miss, std::abs(curve.bandDb[band] - sliders.gainsDb[band]));
        }
        QVERIFY2(smooth ? miss < 1 : miss > 1, qPrintable(QString::number(miss)));
        QVERIFY(std::count_if(solution.gainsDb.begin(), solution.gainsDb.end(), [](double gain) { return gain != 0; })
                <= mostBands);
        QCOMPARE(solution.largestDeviationDb, miss);
    }

    void gainText_data()
    {
        QTest::addColumn<double>("gain");
        QTest::addColumn<QString>("text");
        QTest::newRow("one decimal") << 2.54 << "2.5";
        QTest::newRow("a cut") << -3.16 << "-3.2";
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("rounds to zero") << -0.04 << "0";
    }

    void gainText()
    {
        QFETCH(double, gain);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(AsDrawn::GainText(gain)), text);
    }

    void solvedChainInFfmpeg()
    {
        const ChannelResponse::Chain sliders = Bumps(8, 1.1, 1, false, 48000);
        const AsDrawn::Solution solution = AsDrawn::Solve(sliders);
        ChannelResponse::Chain solved = sliders;
        solved.gainsDb = solution.gainsDb;
        solved.sourceSampleRate = 0;
        const QVector<int> bands{4, 17, 29, 40, 52, 60};
        QVector<double> frequencies;
        for (const int band : bands)
            frequencies << sliders.bandFrequencies[band];
        QTemporaryDir folder;
        const QVector<double> measured = NoiseResponse::MeasureDb(ChainText::Render(solved, true), 48000, frequencies, folder.path());
        QCOMPARE(measured.size(), bands.size());
        for (int i = 0; i < bands.size(); ++i)
            QVERIFY2(std::abs(measured[i] - sliders.gainsDb[bands[i]]) < 1,
                     qPrintable(QStringLiteral("%1 Hz: %2 dB").arg(frequencies[i]).arg(measured[i])));
    }
};

QTEST_GUILESS_MAIN(tst_AsDrawn)
#include "tst_asdrawn.moc"
