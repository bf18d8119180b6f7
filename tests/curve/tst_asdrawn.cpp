// "As drawn": smooth slider shapes land within 1 dB, jagged ones say how far
// off they are, and the solved chain does in ffmpeg what it says.
#include "curve/AsDrawn.h"
#include "curve/BiquadResponse.h"
#include "curve/ChannelChain.h"
#include "equalizer/EqualizerState.h"
#include "presets/ProfileImport.h"

#include "NoiseResponse.h"
#include "TestAppFolder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(ChannelResponse::Chain)

namespace {

using Sliders = std::array<double, ChannelResponse::BandCount>;

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

ChannelResponse::Chain ProfileChannel(const QString &name, int channel)
{
    const ProfileImport::Result imported = ProfileImport::ImportFile(
        TestAppFolder::testDataFolder() + QLatin1String("/profiles/") + name, EqualizerSettings());
    return ChannelChain::FromSettings(imported.settings, channel, 48000);
}

// The exact response from the per-filter formulas, apart from the code under test.
double ExactDb(const ChannelResponse::Chain &chain, double frequency)
{
    using namespace BiquadResponse;
    double db = chain.lowCut ? ResponseDb({Kind::HighPass, 25, 0, 0.707}, frequency, chain.sampleRate) : 0;
    for (int band = 0; band < ChannelResponse::BandCount; ++band)
        if (chain.inChain[band])
            db += ResponseDb({Kind::Peaking, chain.bandFrequencies[band], chain.gainsDb[band],
                              QFromOctaves(chain.bandFrequencies[band], chain.bandwidthOctaves, chain.sampleRate)},
                             frequency, chain.sampleRate);
    return db;
}

// Checks the gains' form and returns the largest miss at the bands in the chain.
double SolvedMissDb(const ChannelResponse::Chain &sliders, const AsDrawn::Solution &solution)
{
    ChannelResponse::Chain solved = sliders;
    solved.gainsDb = solution.gainsDb;
    double largest = 0;
    for (int band = 0; band < ChannelResponse::BandCount; ++band) {
        const double gain = solution.gainsDb[band];
        if (std::abs(gain) > AsDrawn::GainLimitDb || std::abs(gain * 10 - std::round(gain * 10)) > 1e-9)
            return qInf();
        if (sliders.inChain[band])
            largest = std::max(largest, std::abs(ExactDb(solved, sliders.bandFrequencies[band])
                                                 - sliders.gainsDb[band]));
    }
    return largest;
}

} // namespace

class tst_AsDrawn : public QObject
{
    Q_OBJECT

private slots:
    void smoothShapesLandWithinOneDb_data()
    {
        QTest::addColumn<ChannelResponse::Chain>("sliders");
        QTest::newRow("bumps of 8 dB, 1 octave") << Bumps(8, 1.1, 1, false, 48000);
        QTest::newRow("bumps of 10 dB, 2 octaves, low cut, 44.1 kHz") << Bumps(10, 0.8, 2, true, 44100);
        QTest::newRow("bumps of 12 dB, 3 octaves, 32 kHz") << Bumps(12, 0.6, 3, false, 32000);
        for (const char *name : {"graphic_127_points.txt", "graphic_short.txt", "parametric.txt", "ten_bands.txt"})
            QTest::newRow(name) << ProfileChannel(QLatin1String(name), 0);
        QTest::newRow("right_only.txt") << ProfileChannel(QStringLiteral("right_only.txt"), 1);
        QTest::newRow("channels.txt, right") << ProfileChannel(QStringLiteral("channels.txt"), 1);
        QTest::newRow("audiogram.csv, left") << ProfileChannel(QStringLiteral("audiogram.csv"), 0);
    }

    void smoothShapesLandWithinOneDb()
    {
        QFETCH(ChannelResponse::Chain, sliders);
        const AsDrawn::Solution solution = AsDrawn::Solve(sliders);
        const double miss = SolvedMissDb(sliders, solution);
        QVERIFY2(miss < 1, qPrintable(QString::number(miss)));
        QVERIFY(std::abs(solution.largestDeviationDb - miss) < 1e-6);
    }

    void jaggedShapesSayHowFarOff_data()
    {
        QTest::addColumn<ChannelResponse::Chain>("sliders");
        ChannelResponse::Chain alternating = ChannelChain::FromSettings(EqualizerSettings(), 0, 48000);
        for (int band = 0; band < ChannelResponse::BandCount; ++band)
            alternating.gainsDb[band] = band % 2 ? 12 : -12;
        QTest::newRow("alternating +12 and -12") << alternating;
        ChannelResponse::Chain spike = ChannelChain::FromSettings(EqualizerSettings(), 0, 48000);
        spike.gainsDb[44] = 12;
        QTest::newRow("one band +12 among flat neighbours") << spike;
    }

    void jaggedShapesSayHowFarOff()
    {
        QFETCH(ChannelResponse::Chain, sliders);
        const AsDrawn::Solution solution = AsDrawn::Solve(sliders);
        const double miss = SolvedMissDb(sliders, solution);
        QVERIFY2(miss > 1, qPrintable(QString::number(miss)));
        QVERIFY(std::abs(solution.largestDeviationDb - miss) < 1e-6);
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
        QStringList elements;
        for (int band = 0; band < ChannelResponse::BandCount; ++band)
            elements << EqualizerState::BandElement(band, 1, QString::fromStdString(AsDrawn::GainText(solution.gainsDb[band])));
        const QVector<int> bands{4, 17, 29, 40, 52, 60};
        QVector<double> frequencies;
        for (const int band : bands)
            frequencies << sliders.bandFrequencies[band];
        QTemporaryDir folder;
        const QVector<double> measured = NoiseResponse::MeasureDb(elements.join(QLatin1Char(',')), 48000,
                                                                  frequencies, folder.path());
        QCOMPARE(measured.size(), bands.size());
        for (int i = 0; i < bands.size(); ++i)
            QVERIFY2(std::abs(measured[i] - sliders.gainsDb[bands[i]]) < 1,
                     qPrintable(QStringLiteral("%1 Hz: %2 dB, slider %3 dB")
                                    .arg(frequencies[i]).arg(measured[i]).arg(sliders.gainsDb[bands[i]])));
    }
};

QTEST_GUILESS_MAIN(tst_AsDrawn)
#include "tst_asdrawn.moc"
