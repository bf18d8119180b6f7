// The band table: 65 rows in ascending order, literal captions, prefixes.
#include "core/equalizer/BandTable.h"

#include <QtTest>

class tst_BandTable : public QObject
{
    Q_OBJECT

private slots:
    void frequenciesAscendFrom19To20000()
    {
        QCOMPARE(BandTable::BandCount, 65);
        QCOMPARE(BandTable::FrequencyText(0), QStringLiteral("19"));
        QCOMPARE(BandTable::FrequencyText(64), QStringLiteral("20000"));
        for (int band = 1; band < BandTable::BandCount; ++band) {
            bool ok = false;
            const double previous = BandTable::FrequencyText(band - 1).toDouble();
            const double current = BandTable::FrequencyText(band).toDouble(&ok);
            QVERIFY2(ok, qPrintable(BandTable::FrequencyText(band)));
            QVERIFY2(current > previous, qPrintable(QString::number(band)));
        }
    }

    void rows_data()
    {
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0") << 0 << "19" << "19hz";
        QTest::newRow("1 trailing blank") << 1 << "20" << "20hz ";
        QTest::newRow("2 fraction") << 2 << "22.5" << "22.5hz";
        QTest::newRow("15 last trailing blank") << 15 << "135" << "135hz ";
        QTest::newRow("16 no blank") << 16 << "160" << "160hz";
        QTest::newRow("29 first kilohertz") << 29 << "1000" << "1K";
        QTest::newRow("38 caption not derived") << 38 << "2125" << "2.12K";
        QTest::newRow("62") << 62 << "18525" << "18.525K";
        QTest::newRow("64") << 64 << "20000" << "20K";
    }

    void rows()
    {
        QFETCH(int, band);
        QFETCH(QString, frequency);
        QFETCH(QString, caption);
        QCOMPARE(BandTable::FrequencyText(band), frequency);
        QCOMPARE(BandTable::Caption(band), caption);
    }

    void trailingBlanksOnlyOnOddBandsBelow16()
    {
        for (int band = 0; band < BandTable::BandCount; ++band) {
            const bool blank = BandTable::Caption(band).endsWith(QLatin1Char(' '));
            QCOMPARE(blank, band % 2 == 1 && band <= 15);
        }
    }

    void elementPrefix_data()
    {
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("0") << 0 << "equalizer=f=19:width_type=o:width=";
        QTest::newRow("2") << 2 << "equalizer=f=22.5:width_type=o:width=";
        QTest::newRow("64") << 64 << "equalizer=f=20000:width_type=o:width=";
    }

    void elementPrefix()
    {
        QFETCH(int, band);
        QFETCH(QString, prefix);
        QCOMPARE(BandTable::ElementPrefix(band), prefix);
    }

    void notABand_data()
    {
        QTest::addColumn<int>("band");
        QTest::newRow("-1") << -1;
        QTest::newRow("65") << 65;
    }

    void notABand()
    {
        QFETCH(int, band);
        QVERIFY(!BandTable::IsBand(band));
        QVERIFY(BandTable::FrequencyText(band).isEmpty());
        QVERIFY(BandTable::Caption(band).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_BandTable)
#include "tst_bandtable.moc"
