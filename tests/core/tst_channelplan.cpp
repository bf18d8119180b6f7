// A channel's plan beyond the window's cases: the pre-gain with the low cut,
// the level and silence in the clip warning, and solves only where needed.
#include "core/equalizer/ChannelPlan.h"

#include "core/equalizer/BandTable.h"
#include "core/equalizer/ChainText.h"

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

// Expands "B<first>-<last>" into the band elements at their widths, each
// with its gain text from "band=text ..." or "0"; other parts stay as they are.
QString Expanded(const QString &pattern, const std::array<double, BandTable::BandCount> &widths,
                 const QString &texts)
{
    QMap<int, QString> gain;
    for (const QString &pair : texts.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        gain[pair.section(QLatin1Char('='), 0, 0).toInt()] = pair.section(QLatin1Char('='), 1);
    QStringList parts;
    const QRegularExpression range(QStringLiteral("^B(\\d+)-(\\d+)$"));
    for (const QString &part : pattern.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = range.match(part);
        if (!m.hasMatch()) {
            parts << part;
            continue;
        }
        for (int band = m.captured(1).toInt(); band <= m.captured(2).toInt(); ++band)
            parts << QStringLiteral("equalizer=f=%1:width_type=o:width=%2:g=%3")
                         .arg(BandTable::FrequencyText(band)).arg(widths[band]).arg(gain.value(band, QStringLiteral("0")));
    }
    return parts.join(QLatin1Char(','));
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
        QVERIFY(ChainText::Render(plan.chain, true).startsWith(chainHead));
        // Lowered, the channel stays below full scale, and the curve says so.
        if (plan.chain.preGainDb < 0)
            QVERIFY(sourcePeakDb + plan.curve.peakDb < -0.04);
    }

    // The chain box's text and the tools' text for the left channel.
    void chainText_data()
    {
        QTest::addColumn<int>("bandwidth");
        QTest::addColumn<bool>("lowCut");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("preampTenths");
        QTest::addColumn<double>("peakDb");
        QTest::addColumn<bool>("asDrawn");
        QTest::addColumn<QString>("moves");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("texts");
        QTest::newRow("unmoved, no rate") << 1 << false << 0 << 0 << 0.0 << false << "" << "B0-64" << "anull" << "";
        QTest::newRow("moved to 0, 44100") << 2 << false << 44100 << 0 << 0.0 << false << "5=0 10=3 20=-2"
                                           << "volume=-2.9dB,B0-64" << "volume=-2.9dB,B10-10,B20-20"
                                           << "5=-0 10=3 20=-2";
        QTest::newRow("low cut, 8000, preamp") << 1 << true << 8000 << 25 << 0.0 << false << "3=0 4=6"
                                               << "volume=+2.5dB,volume=-7.3dB,highpass=f=25,B3-47"
                                               << "volume=+2.5dB,volume=-7.3dB,highpass=f=25,B4-4" << "3=-0 4=6";
        QTest::newRow("wide, 22050") << 300 << false << 22050 << 0 << 0.0 << false << "0=12 1=0"
                                     << "volume=-12.1dB,B0-55" << "volume=-12.1dB,B0-0" << "0=12 1=-0";
        QTest::newRow("pre-gain, preamp cut") << 3 << false << 48000 << -30 << -1.0 << false << "29=12"
                                              << "volume=-3.0dB,volume=-8.1dB,B0-64"
                                              << "volume=-3.0dB,volume=-8.1dB,B29-29" << "29=12";
        QTest::newRow("as drawn, 44100")
            << 1 << false << 44100 << 0 << 0.0 << true << "10=6 11=0 12=6" << "volume=-6.5dB,B0-64"
            << "volume=-6.5dB,B5-7,B9-15" << "5=-0.1 6=-0.2 7=-0.3 9=-3.1 10=7.1 11=-10 12=11.8 13=-1.9 14=0.1 15=-0.1";
        // Solved gains that round to 0 leave the tools' chain.
        QTest::newRow("as drawn, low cut, no rate")
            << 5 << true << 0 << 0 << -3.0 << true << "30=-12" << "highpass=f=25,B3-64"
            << "highpass=f=25,B3-6,B27-37,B39-39"
            << "3=2.9 4=0.2 5=0.2 6=0.2 27=0.1 28=-0.2 29=4.4 30=-16.1 31=6.5 32=0.1 33=1.1 34=0.4 35=0.4 36=0.2 "
               "37=0.1 39=0.1";
        QTest::newRow("silent low cut") << 1 << true << 0 << 0 << 0.0 << false << "" << "highpass=f=25,B3-64"
                                        << "highpass=f=25" << "";
    }

    void chainText()
    {
        QFETCH(int, bandwidth);
        QFETCH(bool, lowCut);
        QFETCH(int, rate);
        QFETCH(int, preampTenths);
        QFETCH(double, peakDb);
        QFETCH(bool, asDrawn);
        QFETCH(QString, moves);
        QFETCH(QString, box);
        QFETCH(QString, tool);
        QFETCH(QString, texts);
        EqualizerSettings settings;
        settings.bandwidth = bandwidth;
        settings.lowCut = lowCut;
        settings.asDrawn = asDrawn;
        settings.avoidClipping = true;
        settings.channels[0].preampTenths = preampTenths;
        for (const QString &move : moves.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const int band = move.section(QLatin1Char('='), 0, 0).toInt();
            settings.channels[0].gains[band] = move.section(QLatin1Char('='), 1).toInt();
            settings.channels[0].moved[band] = true;
        }
        ChannelPlanner planner;
        planner.Update(settings, 0, rate, peakDb);
        // The widths "as drawn" gives are measured through ffmpeg elsewhere;
        // here they only have to be the ones written.
        const auto widths =
            asDrawn ? planner.Plan(0).chain.widthsOctaves : ChannelResponse::EveryBand(double(bandwidth));
        QCOMPARE(ChainText::Render(planner.Plan(0).chain, true), Expanded(box, widths, texts));
        QCOMPARE(ChainText::Render(planner.Plan(0).chain, false), Expanded(tool, widths, texts));
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
        // The common cut works the other channel out once.
        QCOMPARE(solves(), 1);
        settings.channels[0].levelPosition = -8;
        QCOMPARE(solves(), 0);
        settings.channels[0].gains[30] = 2;
        QCOMPARE(solves(), 1);
        // Both channels' shapes change with these.
        settings.bandwidth = 2;
        QCOMPARE(solves(), 2);
        QCOMPARE(solves(44100), 2);
    }
};

QTEST_GUILESS_MAIN(tst_ChannelPlan)
#include "tst_channelplan.moc"
