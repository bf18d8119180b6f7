// How a command's arguments are written in its text.
#include "core/tools/CommandText.h"

#include <QtTest>

using CommandText::QuoteArgument;

class tst_CommandText : public QObject
{
    Q_OBJECT

private slots:
    void quote_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("ordinary path as it is") << "/home/user/TempWavs/Left.wav" << "/home/user/TempWavs/Left.wav";
        QTest::newRow("non-ASCII as it is") << "/musik/lied-ä.mp3" << "/musik/lied-ä.mp3";
        QTest::newRow("blank") << "/my music/a.mp3" << "\"/my music/a.mp3\"";
        QTest::newRow("quote") << "a\"b" << "\"a\\\"b\"";
        QTest::newRow("backslash") << "a\\b" << "\"a\\\\b\"";
        QTest::newRow("empty") << "" << "\"\"";
    }

    void quote()
    {
        QFETCH(QString, value);
        QFETCH(QString, quoted);
        QCOMPARE(QuoteArgument(value), quoted);
    }
};

QTEST_GUILESS_MAIN(tst_CommandText)
#include "tst_commandtext.moc"
