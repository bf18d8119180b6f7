// The settings value as gain texts.
#include "dsp/EqualizerSettings.h"

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
};

QTEST_GUILESS_MAIN(tst_EqualizerSettings)
#include "tst_equalizersettings.moc"
