// The settings value's gain texts give the chains the window gives today.
#include "dsp/EqualizerSettings.h"
#include "core/equalizer/EqualizerState.h"

#include <QRandomGenerator>
#include <QtTest>

class tst_EqualizerSettings : public QObject
{
    Q_OBJECT

private slots:
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
        QCOMPARE(settings.GainText(2, 0) + settings.GainText(0, 65), std::string());
    }

    // Random slider moves from start-up through today's state and through
    // the value: the chains must agree character for character.
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
            for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
                if (random.bounded(3) == 0)
                    continue;
                const int position = random.bounded(-12, 13);
                today.SetLeftBandGain(band, qint16(position));
                settings.channels[0].gains[band] = -position;
                settings.channels[0].moved[band] = true;
            }
            BandGains fromValue;
            for (int band = 0; band < EqualizerSettings::BandCount; ++band)
                fromValue[band] = QString::fromStdString(settings.GainText(EqualizerSettings::Left, band));
            QCOMPARE(today.BuildChain(fromValue), today.BuildChain(today.LeftBandGain));
        }
    }
};

QTEST_GUILESS_MAIN(tst_EqualizerSettings)
#include "tst_equalizersettings.moc"
