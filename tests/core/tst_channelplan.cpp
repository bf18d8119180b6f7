// A channel's plan beyond the window's cases: the pre-gain with the low cut,
// the level and silence in the clip warning, and solves only where needed.
#include "core/equalizer/ChannelPlan.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(EqualizerSettings)

namespace {

// Band 29 is 1 kHz.
EqualizerSettings OneKilohertzUp(int gain, bool avoidClipping, bool lowCut = false, int levelPosition = -4)
{
    EqualizerSettings settings;
    settings.channels[0].gains[29] = gain;
    settings.channels[0].moved.fill(true);
    settings.channels[0].levelPosition = levelPosition;
    settings.avoidClipping = avoidClipping;
    settings.lowCut = lowCut;
    return settings;
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
        QTest::newRow("avoided") << OneKilohertzUp(6, true) << -1.0 << "" << "volume=-5.1dB,equalizer=f=19:";
        QTest::newRow("avoided, low cut") << OneKilohertzUp(6, true, true) << -1.0 << ""
                                          << "volume=-5.1dB,highpass=f=25,equalizer=";
        QTest::newRow("peak unknown") << OneKilohertzUp(6, true) << std::nan("") << "" << "equalizer=f=19:";
        QTest::newRow("level +6 dB counts") << OneKilohertzUp(-3, false, false, -8) << -2.5
                                            << "Left channel may clip by up to 3.6 dB" << "equalizer=f=19:";
        QTest::newRow("silent") << OneKilohertzUp(6, false, false, 3) << 0.0 << "" << "equalizer=f=19:";
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
        EqualizerState state;
        state.Bandwidth = settings.bandwidth;
        state.LowCutEnabled = settings.lowCut;
        BandGains texts;
        texts.fill(QStringLiteral("0"));
        QVERIFY(ChannelPlanText::ChainText(state, texts, plan).startsWith(chainHead));
        // Lowered, the channel stays below full scale, and the curve says so.
        if (plan.chain.preGainDb < 0)
            QVERIFY(sourcePeakDb + plan.curve.peakDb < -0.04);
    }

    // A level, an option or the source's peak keeps the solve; a gain,
    // the bandwidth or the rate does not.
    void solvesOnlyWhatChanged()
    {
        EqualizerSettings settings = OneKilohertzUp(6, false);
        settings.asDrawn = true;
        ChannelPlanner planner;
        const auto solves = [&](int rate = 48000) {
            const int before = planner.Solves();
            planner.Update(settings, 0, rate, -3);
            return planner.Solves() - before;
        };
        QCOMPARE(solves(), 1);
        QVERIFY(!planner.Update(settings, 0, 48000, -3));
        settings.channels[0].levelPosition = -6;
        settings.avoidClipping = true;
        QCOMPARE(solves(), 0);
        settings.channels[0].gains[30] = 2;
        QCOMPARE(solves(), 1);
        settings.bandwidth = 2;
        QCOMPARE(solves(), 1);
        QCOMPARE(solves(44100), 1);
    }
};

QTEST_GUILESS_MAIN(tst_ChannelPlan)
#include "tst_channelplan.moc"
