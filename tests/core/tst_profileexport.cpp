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
        settings.channels[0].preampTenths = 15;
        settings.channels[1].gains[64] = -3; // 20 kHz
        settings.channels[1].moved[64] = true;
        settings.channels[1].levelPosition = 0;
        settings.channels[1].gains[1] = -2; // under the low cut
        settings.lowCut = true;
        // The settings' own line is for Brenvox, the rest for every tool.
        QStringList lines = ProfileExport::Text(settings).split(QLatin1Char('\n'));
        QVERIFY(lines.at(1).startsWith(QLatin1String("# Brenvox settings: {")));
        lines.removeAt(1);
        QCOMPARE(lines.join(QLatin1Char('\n')),
                 QStringLiteral("# Brenvox equalizer: bandwidth 1, sample rate 48000 Hz\n"
                                "Channel: L\n"
                                "Preamp: 7.5206 dB\n"
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
            exported.bandwidth = std::min(exported.bandwidth, widestBandwidth);
            EqualizerSettings other;
            other.range = exported.range;
            other.bandwidth = exported.bandwidth;
            const ProfileImport::Result result = ProfileImport::FromText(
                QStringLiteral("export.txt"), ProfileExport::Text(exported, rate), other, rate);
            QVERIFY2(result.ok, qPrintable(result.message));
            QVERIFY(result.settings == exported);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ProfileExport)
#include "tst_profileexport.moc"
