// A channel's plan: the clip warning and pre-gain, the "as drawn" chain and
// warning, and solves only where the shape changed.
#include "curve/AsDrawn.h"
#include "curve/ChannelPlan.h"

#include <QRegularExpression>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(EqualizerSettings)

namespace {

// Band 29 is 1 kHz.
EqualizerSettings OneKilohertzUp(int gain, bool avoidClipping, bool lowCut = false)
{
    EqualizerSettings settings;
    settings.channels[0].gains[29] = gain;
    settings.channels[0].moved.fill(true);
    settings.avoidClipping = avoidClipping;
    settings.lowCut = lowCut;
    return settings;
}

BandGains Texts(const EqualizerSettings &settings, int channel)
{
    BandGains texts;
    for (int band = 0; band < EqualizerSettings::BandCount; ++band)
        texts[band] = QString::fromStdString(settings.GainText(channel, band));
    return texts;
}

QString Chain(const EqualizerSettings &settings, const ChannelPlan &plan, int sampleRate = 48000)
{
    EqualizerState state;
    state.Bandwidth = settings.bandwidth;
    state.LowCutEnabled = settings.lowCut;
    state.SourceSampleRate = sampleRate;
    return ChannelPlanText::ChainText(state, Texts(settings, 0), plan);
}

} // namespace

class tst_ChannelPlan : public QObject
{
    Q_OBJECT

private slots:
    void clipping_data()
    {
        QTest::addColumn<EqualizerSettings>("settings");
        QTest::addColumn<double>("sourcePeakDb");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("chainHead");
        const double unknown = std::nan("");
        QTest::newRow("-1 dBFS, +6 dB") << OneKilohertzUp(6, false) << -1.0
                                        << "Left channel may clip by up to 5.0 dB" << "equalizer=f=19:";
        QTest::newRow("-20 dBFS, +6 dB") << OneKilohertzUp(6, false) << -20.0 << "" << "equalizer=f=19:";
        QTest::newRow("avoided") << OneKilohertzUp(6, true) << -1.0 << "" << "volume=-5.1dB,equalizer=f=19:";
        QTest::newRow("avoided, low cut") << OneKilohertzUp(6, true, true) << -1.0 << ""
                                          << "volume=-5.1dB,highpass=f=25,equalizer=";
        QTest::newRow("avoided, no need") << OneKilohertzUp(6, true) << -20.0 << "" << "equalizer=f=19:";
        QTest::newRow("peak unknown") << OneKilohertzUp(6, true) << unknown << "" << "equalizer=f=19:";
        EqualizerSettings louder = OneKilohertzUp(-3, false);
        louder.channels[0].levelPosition = -8; // volume 2, +6 dB
        QTest::newRow("level counts") << louder << -2.5 << "Left channel may clip by up to 3.6 dB"
                                      << "equalizer=f=19:";
        EqualizerSettings silent = OneKilohertzUp(6, false);
        silent.channels[0].levelPosition = 3;
        QTest::newRow("silent") << silent << 0.0 << "" << "equalizer=f=19:";
    }

    void clipping()
    {
        QFETCH(EqualizerSettings, settings);
        QFETCH(double, sourcePeakDb);
        QFETCH(QString, warning);
        QFETCH(QString, chainHead);
        ChannelPlanner planner;
        QVERIFY(planner.Update(settings, 0, 48000, sourcePeakDb));
        const ChannelPlan &plan = planner.Plan(0);
        QCOMPARE(ChannelPlanText::ClipWarning(0, plan), warning);
        QVERIFY2(Chain(settings, plan).startsWith(chainHead), qPrintable(Chain(settings, plan)));
        // Lowered, the channel stays below full scale, and the curve says so.
        if (plan.chain.preGainDb < 0)
            QVERIFY(sourcePeakDb + plan.curve.peakDb < -0.04);
    }

    void asDrawn_data()
    {
        QTest::addColumn<QVector<int>>("gains"); // from band 20 on
        QTest::addColumn<bool>("warned");
        QTest::newRow("smooth") << QVector<int>{1, 2, 3, 4, 4, 4, 3, 2, 1} << false;
        QTest::newRow("one band +12 among flat ones") << QVector<int>{0, 0, 0, 0, 12, 0, 0, 0, 0} << true;
    }

    void asDrawn()
    {
        QFETCH(QVector<int>, gains);
        QFETCH(bool, warned);
        EqualizerSettings settings;
        settings.asDrawn = true;
        settings.channels[0].moved.fill(true);
        for (int i = 0; i < gains.size(); ++i)
            settings.channels[0].gains[20 + i] = gains[i];
        ChannelPlanner planner;
        planner.Update(settings, 0, 44100, std::nan(""));
        const ChannelPlan &plan = planner.Plan(0);
        const QString chain = Chain(settings, plan, 44100);
        for (const int band : {10, 24, 40})
            QVERIFY(chain.contains(QStringLiteral(":g=%1,").arg(QString::fromStdString(AsDrawn::GainText(plan.chain.gainsDb[band])))));
        const QString warning = ChannelPlanText::DeviationWarning(0, plan);
        QCOMPARE(!warning.isEmpty(), warned);
        if (warned)
            QVERIFY2(warning.contains(QRegularExpression(
                         QStringLiteral("^Left curve is off the sliders by up to \\d+\\.\\d dB at [0-9.]+ k?Hz$"))),
                     qPrintable(warning));
    }

    // A level, an option or the source's peak keeps the solve; a gain,
    // the bandwidth or the rate does not.
    void solvesOnlyWhatChanged()
    {
        EqualizerSettings settings = OneKilohertzUp(6, false);
        settings.asDrawn = true;
        ChannelPlanner planner;
        const auto update = [&](int rate = 48000, double peak = -1) {
            const int before = planner.Solves();
            planner.Update(settings, 0, rate, peak);
            return planner.Solves() - before;
        };
        QCOMPARE(update(), 1);
        QCOMPARE(update(), 0);
        QVERIFY(!planner.Update(settings, 0, 48000, -1));
        settings.channels[0].levelPosition = -6;
        QCOMPARE(update(), 0);
        settings.avoidClipping = true;
        QCOMPARE(update(48000, -3), 0);
        settings.channels[0].gains[30] = 2;
        QCOMPARE(update(48000, -3), 1);
        settings.bandwidth = 2;
        QCOMPARE(update(48000, -3), 1);
        QCOMPARE(update(44100, -3), 1);
    }
};

QTEST_GUILESS_MAIN(tst_ChannelPlan)
#include "tst_channelplan.moc"
