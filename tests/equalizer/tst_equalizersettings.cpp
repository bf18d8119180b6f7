// The settings value: start-up values, gain texts and the chains they give.
#include "equalizer/EqualizerSettings.h"
#include "equalizer/EqualizerState.h"

#include <QRandomGenerator>
#include <QtTest>

class tst_EqualizerSettings : public QObject
{
    Q_OBJECT

private slots:
    void startUp()
    {
        const EqualizerSettings settings;
        for (const ChannelSettings &channel : settings.channels) {
            QCOMPARE(channel.levelPosition, -4);
            for (int band = 0; band < EqualizerSettings::BandCount; ++band)
                QCOMPARE(settings.GainText(&channel - settings.channels.data(), band), std::string("0"));
        }
        QCOMPARE(settings.range, 12);
        QCOMPARE(settings.lowCut, false);
        QCOMPARE(settings.bandwidth, 1);
        QCOMPARE(settings.sync, false);
        QVERIFY(settings.Problem().empty());
    }

    // Every band of both channels through the window's path and through the
    // value: the chains must agree character for character.
    void chainsAsToday()
    {
        QRandomGenerator random(7);
        for (int round = 0; round < 50; ++round) {
            EqualizerSettings settings;
            settings.lowCut = random.bounded(2);
            settings.bandwidth = random.bounded(1, 301);
            EqualizerState today;
            today.LowCutEnabled = settings.lowCut;
            today.Bandwidth = settings.bandwidth;
            today.LeftBandGain.fill(QStringLiteral("0"));
            BandGains fromValue;
            for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
                if (random.bounded(3) == 0)
                    continue;
                const int position = random.bounded(-12, 13);
                today.SetLeftBandGain(band, qint16(position));
                settings.channels[0].gains[band] = -position;
                settings.channels[0].moved[band] = true;
            }
            for (int band = 0; band < EqualizerSettings::BandCount; ++band)
                fromValue[band] = QString::fromStdString(settings.GainText(EqualizerSettings::Left, band));
            QCOMPARE(today.BuildChain(fromValue), today.BuildChain(today.LeftBandGain));
        }
    }

    void gainTexts_data()
    {
        QTest::addColumn<int>("gain");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QString>("text");
        QTest::newRow("never moved") << 0 << false << "0";
        QTest::newRow("boost") << 5 << true << "5";
        QTest::newRow("cut") << -5 << true << "-5";
        QTest::newRow("back at the centre") << 0 << true << "-0";
    }

    void gainTexts()
    {
        QFETCH(int, gain);
        QFETCH(bool, moved);
        QFETCH(QString, text);
        EqualizerSettings settings;
        settings.channels[1].gains[64] = gain;
        settings.channels[1].moved[64] = moved;
        QCOMPARE(QString::fromStdString(settings.GainText(EqualizerSettings::Right, 64)), text);
        QCOMPARE(settings.GainText(EqualizerSettings::Left, 64), std::string("0"));
        QCOMPARE(settings.GainText(2, 0), std::string());
        QCOMPARE(settings.GainText(0, 65), std::string());
    }

    void problems_data()
    {
        QTest::addColumn<int>("what");
        QTest::addColumn<QString>("problem");
        QTest::newRow("range") << 0 << "the range is 9 dB, not 12 or 6";
        QTest::newRow("bandwidth") << 1 << "the bandwidth is 301, not 1 to 300";
        QTest::newRow("level") << 2 << "the right level is 11, not -10 to 10";
        QTest::newRow("gain beyond a narrow range") << 3 << "band 2 of the left channel is 7 dB, beyond the range of 6 dB";
        QTest::newRow("gain never moved") << 4 << "band 65 of the right channel has a gain but was never moved";
    }

    void problems()
    {
        QFETCH(int, what);
        QFETCH(QString, problem);
        EqualizerSettings settings;
        switch (what) {
        case 0: settings.range = 9; break;
        case 1: settings.bandwidth = 301; break;
        case 2: settings.channels[1].levelPosition = 11; break;
        case 3: settings.range = 6; settings.channels[0].gains[1] = 7; settings.channels[0].moved[1] = true; break;
        case 4: settings.channels[1].gains[64] = -1; break;
        }
        QCOMPARE(QString::fromStdString(settings.Problem()), problem);
    }
};

QTEST_GUILESS_MAIN(tst_EqualizerSettings)
#include "tst_equalizersettings.moc"
