// Export: the text other tools read, and that importing it gives the same
// sliders back.
#include "core/presets/ProfileExport.h"
#include "core/presets/ProfileImport.h"

#include "PresetTestData.h"

#include <QtTest>

class tst_ProfileExport : public QObject
{
    Q_OBJECT

private slots:
    void text()
    {
        EqualizerSettings settings;
        settings.channels[0].gains[29] = 5; // 1000 Hz
        settings.channels[0].moved[29] = true;
        settings.channels[0].levelPosition = -10;
        settings.channels[1].gains[64] = -3; // 20 kHz
        settings.channels[1].moved[64] = true;
        settings.channels[1].levelPosition = 0;
        settings.channels[1].gains[1] = -2; // under the low cut
        settings.lowCut = true;
        QCOMPARE(ProfileExport::Text(settings),
                 QStringLiteral("# Brenvox equalizer: bandwidth 1, sample rate 48000 Hz\n"
                                "Channel: L\n"
                                "Preamp: 6.0206 dB\n"
                                "Filter: ON HP Fc 25 Hz Q 0.707\n"
                                "Filter: ON PK Fc 1000 Hz Gain 5 dB Q 1.41002\n"
                                "Channel: R\n"
                                "# The level is 0: this channel is silent.\n"
                                "Preamp: -200 dB\n"
                                "Filter: ON HP Fc 25 Hz Q 0.707\n"
                                "Filter: ON PK Fc 20000 Hz Gain -3 dB Q 0.167334\n"));
    }

    void exportThenImport_data()
    {
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("widestBandwidth");
        QTest::newRow("48 kHz") << 48000.0 << 300;
        QTest::newRow("44.1 kHz") << 44100.0 << 100;
    }

    void exportThenImport()
    {
        QFETCH(double, rate);
        QFETCH(int, widestBandwidth);
        QRandomGenerator random(11);
        for (int round = 0; round < 100; ++round) {
            EqualizerSettings exported = RandomSettings(random);
            exported.lowCut = false;
            exported.bandwidth = std::min(exported.bandwidth, widestBandwidth);
            EqualizerSettings other;
            other.range = exported.range;
            other.bandwidth = exported.bandwidth;
            const ProfileImport::Result result = ProfileImport::FromText(
                QStringLiteral("export.txt"), ProfileExport::Text(exported, rate), other, rate);
            QVERIFY2(result.ok, qPrintable(result.message));
            QVERIFY2(result.message.contains(QLatin1String("band for band")), qPrintable(result.message));
            for (int channel = 0; channel < 2; ++channel)
                QCOMPARE(result.settings.channels[channel].gains, exported.channels[channel].gains);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ProfileExport)
#include "tst_profileexport.moc"
