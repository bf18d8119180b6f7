// The session's gain texts and the filter chains it builds from the settings.
#include "AudioMeasure.h"
#include "TestAppFolder.h"

#include "session/Session.h"

#include <QtTest>

#include <memory>

namespace {

void SetBand(Session &session, int channel, int band, int position)
{
    session.SetBandSliderPosition(channel, band, position);
}

// The state after start-up with every band of both channels set once at the
// centre, as the first import does.
std::unique_ptr<Session> CentredSession()
{
    auto session = std::make_unique<Session>();
    for (int band = 0; band < BandTable::BandCount; ++band) {
        SetBand(*session, EqualizerSettings::Left, band, 0);
        SetBand(*session, EqualizerSettings::Right, band, 0);
    }
    return session;
}

} // namespace

class tst_Session : public QObject
{
    Q_OBJECT

private slots:
    void sliderPositions_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("gain");
        QTest::newRow("boost 5") << -5 << "5";
        QTest::newRow("cut 5") << 5 << "-5";
        QTest::newRow("centre is -0") << 0 << "-0";
        QTest::newRow("boost 12") << -12 << "12";
        QTest::newRow("cut 12") << 12 << "-12";
        QTest::newRow("beyond the range") << -300 << "12";
    }

    void sliderPositions()
    {
        QFETCH(int, position);
        QFETCH(QString, gain);
        const auto session = CentredSession();
        SetBand(*session, EqualizerSettings::Left, 10, position);
        QCOMPARE(session->State().LeftBandGain[10], gain);
        QVERIFY(session->FilterChain(0).contains(
            QStringLiteral("equalizer=f=63:width_type=o:width=1:g=") + gain + QLatin1Char(',')));
        SetBand(*session, EqualizerSettings::Right, 64, position);
        QVERIFY(session->FilterChain(1).endsWith(
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
        const auto session = CentredSession();
        session->SetLowCut(lowCut);
        SetBand(*session, EqualizerSettings::Left, 0, -3);
        const QString &chain = session->FilterChain(0);
        QVERIFY2(chain.startsWith(begin), qPrintable(chain.left(300)));
        QVERIFY(chain.endsWith(QStringLiteral(
            "equalizer=f=19400:width_type=o:width=1:g=-0,equalizer=f=20000:width_type=o:width=1:g=-0")));
        QCOMPARE(chain.count(QLatin1Char(',')), elements - 1);
        QVERIFY(!chain.contains(QLatin1Char(' ')));
        QCOMPARE(chain.contains(QStringLiteral("f=19:")), !lowCut);
        QCOMPARE(chain.contains(QStringLiteral("f=22.5:")), !lowCut);
        // The low-cut bands keep their gain for when low cut goes off again.
        QCOMPARE(session->State().LeftBandGain[0], QStringLiteral("3"));
    }

    void lowCutOffAgainBringsBandZeroBack()
    {
        const auto session = CentredSession();
        SetBand(*session, EqualizerSettings::Left, 0, -3);
        session->SetLowCut(true);
        SetBand(*session, EqualizerSettings::Left, 5, 0);
        QVERIFY(!session->FilterChain(0).contains(QStringLiteral("f=19:")));
        session->SetLowCut(false);
        SetBand(*session, EqualizerSettings::Left, 5, 0);
        QVERIFY(session->FilterChain(0).startsWith(QStringLiteral("equalizer=f=19:width_type=o:width=1:g=3,")));
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
        const auto session = CentredSession();
        const QString chain = session->FilterChain(0);
        const BandGains gains = session->State().LeftBandGain;
        SetBand(*session, EqualizerSettings::Left, band, -4);
        QCOMPARE(session->FilterChain(0), chain);
        QCOMPARE(session->State().LeftBandGain, gains);
    }

    void bandwidthRebuildsBothChains()
    {
        const auto session = CentredSession();
        session->SetBandwidth(150);
        for (int channel : {EqualizerSettings::Left, EqualizerSettings::Right}) {
            QCOMPARE(session->FilterChain(channel).count(QStringLiteral("width=150:")), 65);
            QVERIFY(session->FilterChain(channel).contains(QStringLiteral("equalizer=f=22.5:width_type=o:width=150:g=-0")));
        }
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
        const auto session = CentredSession();
        Session::Source source;
        source.sampleRate = sampleRate;
        session->TakeSource(source);
        session->SetLowCut(lowCut);
        SetBand(*session, EqualizerSettings::Left, 0, -3);
        const QStringList chain = session->FilterChain(0).split(QLatin1Char(','));
        QCOMPARE(chain.size(), elements);
        QVERIFY2(chain.last().contains(last), qPrintable(chain.last()));
    }

    // The preamp heads its channel's chain, ahead of the cut "Avoid
    // clipping" makes for it, and reaches the preview's chains.
    void preampHeadsTheChain_data()
    {
        QTest::addColumn<int>("tenths");
        QTest::addColumn<double>("sourcePeakDb"); // with "Avoid clipping" on
        QTest::addColumn<QString>("head");
        QTest::newRow("none") << 0 << qQNaN() << "equalizer=f=19:";
        QTest::newRow("+6 dB") << 60 << qQNaN() << "volume=+6.0dB,equalizer=f=19:";
        QTest::newRow("-30 dB") << -300 << qQNaN() << "volume=-30.0dB,equalizer=f=19:";
        QTest::newRow("+6 dB on a source peaking at -1 dBFS") << 60 << -1.0 << "volume=+6.0dB,volume=-5.1dB,equalizer";
    }

    void preampHeadsTheChain()
    {
        QFETCH(int, tenths);
        QFETCH(double, sourcePeakDb);
        QFETCH(QString, head);
        const auto session = CentredSession();
        Session::Source source;
        source.peakDb = sourcePeakDb;
        session->TakeSource(source);
        session->SetAvoidClipping(true);
        session->SetPreamp(EqualizerSettings::Right, tenths / 10.0);
        QVERIFY2(session->FilterChain(1).startsWith(head), qPrintable(session->FilterChain(1).left(80)));
        // "Avoid clipping" lowers the other ear alike; the preamp is the
        // right channel's own.
        const QString otherHead = qIsFinite(sourcePeakDb) ? head.section(QLatin1Char(','), 1) : QStringLiteral("equalizer=f=19:");
        QVERIFY2(session->FilterChain(0).startsWith(otherHead), qPrintable(session->FilterChain(0).left(80)));
        QCOMPARE(session->PreviewChains(2).at(1).preampDb, tenths / 10.0);
    }

    void channelsAreIndependent()
    {
        const auto session = CentredSession();
        const QString right = session->FilterChain(1);
        SetBand(*session, EqualizerSettings::Left, 29, 12);
        QCOMPARE(session->FilterChain(1), right);
        QCOMPARE(session->State().RightBandGain[29], QStringLiteral("-0"));
    }

    // Whoever hears an import's end after the session finds the source's
    // facts taken and no sequence running; a job let go unended counts no more.
    void importEndFindsTheSourceTaken_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("heard"); // completed, source, seconds, rate, running; empty: let go
        QTest::newRow("probed") << "Tones.wav" << "1|Tones.wav|2|44100|0";
        QTest::newRow("refused: a folder") << "" << "0|||0|0";
        QTest::newRow("let go before it ends") << "Tones.wav" << "";
    }

    void importEndFindsTheSourceTaken()
    {
        QFETCH(QString, source);
        QFETCH(QString, heard);
        TestAppFolder app;
        const QString file = app.scratchPath(source);
        QVERIFY(app.linkRealTool(QStringLiteral("ffprobe")) && AudioMeasure::GenerateStereoTones(440, 1000, 2, app.scratchPath("Tones.wav")));
        Session session;
        auto job = session.NewImport(file, false);
        QVERIFY(session.SequenceRunning());
        QStringList told;
        QObject::connect(job.get(), &ImportJob::ended, [&](bool completed) {
            told << QString::number(completed) << QFileInfo(session.SourceFile()).fileName() << session.SourceDuration()
                 << QString::number(session.SourceSampleRate()) << QString::number(session.SequenceRunning());
        });
        heard.isEmpty() ? job.reset() : job->Start();
        QTRY_COMPARE_WITH_TIMEOUT(told.join(QLatin1Char('|')), heard, 30000);
        QVERIFY(!session.SequenceRunning());
    }
};

QTEST_GUILESS_MAIN(tst_Session)
#include "tst_session.moc"
