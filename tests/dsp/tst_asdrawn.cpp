// "As drawn" against the sliders, in the maths and through the real ffmpeg.
#include "dsp/AsDrawn.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/ChannelPlan.h"
#include "core/equalizer/ChainText.h"
#include "core/presets/ProfileImport.h"

#include "NoiseResponse.h"
#include "TestAppFolder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <map>

Q_DECLARE_METATYPE(ChannelResponse::Chain)
Q_DECLARE_METATYPE(EqualizerSettings)

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

// "As drawn" on, each slider where the function puts it.
EqualizerSettings Sliders(const std::function<int(int band)> &gain)
{
    EqualizerSettings settings;
    settings.asDrawn = true;
    for (int band = 0; band < ChannelResponse::BandCount; ++band)
        settings.channels[0].gains[band] = gain(band);
    settings.channels[0].moved.fill(true);
    return settings;
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
                                                 << true << 9;
        QTest::newRow("a bass shelf") << Shape({{0, 6}, {1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}, {7, 6},
                                                {8, 6}, {9, 6}, {10, 6}}) << true << 13;
    }

    void landsOnTheSliders()
    {
        QFETCH(ChannelResponse::Chain, sliders);
        QFETCH(bool, smooth);
        QFETCH(int, mostBands);
        const AsDrawn::Solution solution = AsDrawn::Solve(sliders);
        ChannelResponse::Chain solved = sliders;
        solved.gainsDb = solution.gainsDb;
        solved.widthsOctaves = solution.widthsOctaves;
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

    // What ffmpeg plays at every band against the sliders: within 1 dB for steps
    // up to 6 dB, but beside a band under 0.08 octave away; else as told.
    void playsTheSliders_data()
    {
        QTest::addColumn<EqualizerSettings>("settings");
        QTest::addColumn<bool>("promised");
        // 100 Hz, 1 kHz and 10 kHz, over 3 octaves apart: each as if alone.
        const int g[] = {12, -6, 6, -12};
        for (int r = 0; r < 4; ++r)
            QTest::addRow("lone %+d, %+d, %+d dB", g[r], g[(r + 1) % 4], g[(r + 2) % 4])
                << Sliders([&](int b) { return b == 13 ? g[r] : b == 29 ? g[(r + 1) % 4] : b == 56 ? g[(r + 2) % 4] : 0; })
                << true;
        QTest::newRow("smooth bumps")
            << Sliders([](int b) { return int(std::lround(10 * std::sin(1.3 * std::log2(BandTable::FrequencyHz(b))))); }) << true;
        QTest::newRow("neighbours 6 dB apart") << Sliders([](int b) { return b % 2 ? 3 : -3; }) << true;
        QTest::newRow("close pair, told") << Sliders([](int b) { return b == 44 ? 12 : 0; }) << false;
        QTest::newRow("jagged, told") << Sliders([](int b) { return b % 2 ? 12 : -12; }) << false;
    }

    void playsTheSliders()
    {
        QFETCH(EqualizerSettings, settings);
        QFETCH(bool, promised);
        ChannelPlanner planner;
        planner.Update(settings, 0, 48000, std::nan(""));
        const ChannelPlan &plan = planner.Plan(0);
        const QVector<double> f(plan.chain.bandFrequencies.begin(), plan.chain.bandFrequencies.end());
        QTemporaryDir folder;
        const QVector<double> measured =
            NoiseResponse::MeasureDb(ChainText::Render(plan.chain, false), 48000, f, folder.path());
        QCOMPARE(measured.size(), f.size());
        double worst = 0;
        for (int b = 0; b < f.size(); ++b) {
            const bool close = (b > 0 && std::log2(f[b] / f[b - 1]) < 0.08)
                || (b + 1 < f.size() && std::log2(f[b + 1] / f[b]) < 0.08);
            if (!promised || !close)
                worst = std::max(worst, std::abs(measured[b] - settings.channels[0].gains[b]));
        }
        const QByteArray at = QByteArray::number(worst) + " dB off, told " + QByteArray::number(plan.deviationDb);
        QVERIFY2(promised ? worst <= 1.0
                          : plan.deviationDb >= worst - 0.05 && !ChannelPlanText::DeviationWarning(0, plan).isEmpty(),
                 at);
    }

    void solvedChainInFfmpeg()
    {
        const ChannelResponse::Chain sliders = Bumps(8, 1.1, 1, false, 48000);
        const AsDrawn::Solution solution = AsDrawn::Solve(sliders);
        ChannelResponse::Chain solved = sliders;
        solved.gainsDb = solution.gainsDb;
        solved.widthsOctaves = solution.widthsOctaves;
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
