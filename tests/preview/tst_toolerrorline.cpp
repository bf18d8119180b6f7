// Picking the reason a tool gave for failing out of its console output.
#include "preview/ToolErrorLine.h"

#include <QtTest>

class tst_ToolErrorLine : public QObject
{
    Q_OBJECT

private slots:
    void lastErrorLine_data();
    void lastErrorLine();
};

void tst_ToolErrorLine::lastErrorLine_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("expected");

    QFile captured(QFINDTESTDATA("../data/ffmpeg51_missing_input.txt"));
    QVERIFY(captured.open(QIODevice::ReadOnly));
    QTest::newRow("ffmpeg 5.1, missing input")
        << QString::fromLatin1(captured.readAll())
        << QStringLiteral("/tmp/cap/Missing.wav: No such file or directory");
    QTest::newRow("blank lines and CR LF after the reason")
        << QStringLiteral("Input #0\r\nConversion failed!\r\n\r\n  \r\n")
        << QStringLiteral("Conversion failed!");
    QTest::newRow("status line ending in CR")
        << QStringLiteral("size= 1kB time=00:00:01.00 bitrate= 1kbits/s\r")
        << QStringLiteral("size= 1kB time=00:00:01.00 bitrate= 1kbits/s");
    QTest::newRow("nothing") << QString() << QString();
    QTest::newRow("only line ends") << QStringLiteral("\n\r\n\r") << QString();
}

void tst_ToolErrorLine::lastErrorLine()
{
    QFETCH(QString, output);
    QFETCH(QString, expected);
    QCOMPARE(LastErrorLine(output), expected);
}

QTEST_GUILESS_MAIN(tst_ToolErrorLine)
#include "tst_toolerrorline.moc"
