// Gain texts and the filter chains built from them.
#include "core/equalizer/EqualizerState.h"

#include <QtTest>

namespace {

// The state after start-up with every band of both channels set once at the
// centre, as the first import does.
EqualizerState CentredState()
{
    EqualizerState state;
    state.Bandwidth = 1;
    state.LeftBandGain.fill(QStringLiteral("0"));
    state.RightBandGain.fill(QStringLiteral("0"));
    for (int band = 0; band < BandTable::BandCount; ++band) {
        state.SetLeftBandGain(band, 0);
        state.SetRightBandGain(band, 0);
    }
    return state;
}

} // namespace

class tst_EqualizerState : public QObject
{
    Q_OBJECT

private slots:
    void sliderPositions_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("readout");
        QTest::addColumn<QString>("gain");
        QTest::newRow("boost 5") << -5 << "+5" << "5";
        QTest::newRow("cut 5") << 5 << "-5" << "-5";
        QTest::newRow("centre is -0") << 0 << "-0" << "-0";
        QTest::newRow("boost 12") << -12 << "+12" << "12";
        QTest::newRow("cut 12") << 12 << "-12" << "-12";
        QTest::newRow("beyond the range") << -300 << "+300" << "300";
    }

    void sliderPositions()
    {
        QFETCH(int, position);
        QFETCH(QString, readout);
        QFETCH(QString, gain);
        EqualizerState state = CentredState();
        QCOMPARE(state.SetLeftBandGain(10, qint16(position)), readout);
        QCOMPARE(state.LeftBandGain[10], gain);
        QVERIFY(state.LeftFilterChain.contains(
            QStringLiteral("equalizer=f=63:width_type=o:width=1:g=") + gain + QLatin1Char(',')));
        QCOMPARE(state.SetRightBandGain(64, qint16(position)), readout);
        QVERIFY(state.RightFilterChain.endsWith(
            QStringLiteral("equalizer=f=20000:width_type=o:width=1:g=") + gain));
    }

    void workedExample_data()
    {
        QTest::addColumn<bool>("lowCut");
        QTest::addColumn<QString>("begin");
        QTest::addColumn<int>("elements");
        QTest::newRow("low cut off")
            << false
            << "equalizer=f=19:width_type=o:width=1:g=3,equalizer=f=20:width_type=o:width=1:g=-0,"
               "equalizer=f=22.5:width_type=o:width=1:g=-0,equalizer=f=25:width_type=o:width=1:g=-0,"
            << 65;
        QTest::newRow("low cut on")
            << true << "highpass=f=25,equalizer=f=25:width_type=o:width=1:g=-0," << 63;
    }

    void workedExample()
    {
        QFETCH(bool, lowCut);
        QFETCH(QString, begin);
        QFETCH(int, elements);
        EqualizerState state = CentredState();
        state.LowCutEnabled = lowCut;
        state.SetLeftBandGain(0, -3);
        const QString &chain = state.LeftFilterChain;
        QVERIFY2(chain.startsWith(begin), qPrintable(chain.left(300)));
        QVERIFY(chain.endsWith(QStringLiteral(
            "equalizer=f=19400:width_type=o:width=1:g=-0,equalizer=f=20000:width_type=o:width=1:g=-0")));
        QCOMPARE(chain.count(QLatin1Char(',')), elements - 1);
        QVERIFY(!chain.contains(QLatin1Char(' ')));
        QCOMPARE(chain.contains(QStringLiteral("f=19:")), !lowCut);
        QCOMPARE(chain.contains(QStringLiteral("f=22.5:")), !lowCut);
        // The low-cut bands keep their gain for when low cut goes off again.
        QCOMPARE(state.LeftBandGain[0], QStringLiteral("3"));
    }

    void lowCutOffAgainBringsBandZeroBack()
    {
        EqualizerState state = CentredState();
        state.SetLeftBandGain(0, -3);
        state.LowCutEnabled = true;
        state.SetLeftBandGain(5, 0);
        QVERIFY(!state.LeftFilterChain.contains(QStringLiteral("f=19:")));
        state.LowCutEnabled = false;
        state.SetLeftBandGain(5, 0);
        QVERIFY(state.LeftFilterChain.startsWith(QStringLiteral("equalizer=f=19:width_type=o:width=1:g=3,")));
    }

    void bandOutsideTheTableChangesNothing_data()
    {
        QTest::addColumn<int>("band");
        QTest::newRow("65") << 65;
        QTest::newRow("-1") << -1;
    }

    void bandOutsideTheTableChangesNothing()
    {
        QFETCH(int, band);
        EqualizerState state;
        state.Bandwidth = 1;
        QVERIFY(!state.UpdateLeftFilterChain(band, 5, true));
        QVERIFY(!state.UpdateRightFilterChain(band, 5, false));
        QVERIFY(state.LeftFilterChain.isEmpty());
        QVERIFY(state.RightFilterChain.isEmpty());
        state = CentredState();
        const EqualizerState before = state;
        state.SetLeftBandGain(band, -4);
        QCOMPARE(state.LeftFilterChain, before.LeftFilterChain);
        QCOMPARE(state.LeftBandGain, before.LeftBandGain);
    }

    void bandwidthEntersAtTheNextRebuild()
    {
        EqualizerState state = CentredState();
        state.Bandwidth = 150;
        QVERIFY(!state.LeftFilterChain.contains(QStringLiteral("width=150")));
        state.SetLeftBandGain(2, 0);
        QCOMPARE(state.LeftFilterChain.count(QStringLiteral("width=150:")), 65);
        QVERIFY(state.LeftFilterChain.contains(QStringLiteral("equalizer=f=22.5:width_type=o:width=150:g=-0")));
        // The other channel waits for its own next rebuild.
        QVERIFY(!state.RightFilterChain.contains(QStringLiteral("width=150")));
    }

    // Bands at or above half the source's rate stay out of the chain.
    void sampleRateLeavesOutTopBands_data()
    {
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<bool>("lowCut");
        QTest::addColumn<int>("elements");
        QTest::addColumn<QString>("last");
        QTest::newRow("unknown") << 0 << false << 65 << "f=20000:";
        QTest::newRow("8 kHz: 4 kHz is out") << 8000 << false << 48 << "f=3650:";
        QTest::newRow("32 kHz: 16 kHz is out") << 32000 << false << 60 << "f=15550:";
        QTest::newRow("44.1 kHz") << 44100 << false << 65 << "f=20000:";
        QTest::newRow("8 kHz, low cut") << 8000 << true << 46 << "f=3650:";
        QTest::newRow("no band left") << 30 << false << 1 << "anull";
    }

    void sampleRateLeavesOutTopBands()
    {
        QFETCH(int, sampleRate);
        QFETCH(bool, lowCut);
        QFETCH(int, elements);
        QFETCH(QString, last);
        EqualizerState state = CentredState();
        state.SourceSampleRate = sampleRate;
        state.LowCutEnabled = lowCut;
        state.SetLeftBandGain(0, -3);
        const QStringList chain = state.LeftFilterChain.split(QLatin1Char(','));
        QCOMPARE(chain.size(), elements);
        QVERIFY2(chain.last().contains(last), qPrintable(chain.last()));
    }

    void channelsAreIndependent()
    {
        EqualizerState state = CentredState();
        const QString right = state.RightFilterChain;
        state.SetLeftBandGain(29, 12);
        QCOMPARE(state.RightFilterChain, right);
        QCOMPARE(state.RightBandGain[29], QStringLiteral("-0"));
    }
};

QTEST_GUILESS_MAIN(tst_EqualizerState)
#include "tst_equalizerstate.moc"
