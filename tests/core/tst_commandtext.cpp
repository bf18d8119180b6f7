// Quoting and splitting of command texts are exact inverses.
#include "core/tools/CommandText.h"

#include <QRandomGenerator>
#include <QtTest>

using CommandText::QuoteArgument;
using CommandText::SplitCommandText;

class tst_CommandText : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("plain") << "/app/ffmpeg -y -i /a.wav" << QStringList{"/app/ffmpeg", "-y", "-i", "/a.wav"};
        QTest::newRow("volume then chain")
            << "-af \"volume=1\",equalizer=f=19:width_type=o:width=1:g=-0 out.wav"
            << QStringList{"-af", "volume=1,equalizer=f=19:width_type=o:width=1:g=-0", "out.wav"};
        QTest::newRow("merge graph")
            << "-filter_complex \"[0:a][1:a]amerge=inputs=2[aout]\" -map \"[aout]\""
            << QStringList{"-filter_complex", "[0:a][1:a]amerge=inputs=2[aout]", "-map", "[aout]"};
        QTest::newRow("runs of blanks") << "  a   b  " << QStringList{"a", "b"};
        QTest::newRow("tab separates") << "a\tb" << QStringList{"a", "b"};
        QTest::newRow("empty quoted") << "a \"\" b" << QStringList{"a", "", "b"};
        QTest::newRow("blank in quotes") << "\"/my folder/x\"" << QStringList{"/my folder/x"};
        QTest::newRow("escapes in quotes") << "\"a\\\"b\\\\c\"" << QStringList{"a\"b\\c"};
        QTest::newRow("backslash bare outside quotes") << "C:\\EQ\\ffmpeg" << QStringList{"C:\\EQ\\ffmpeg"};
        QTest::newRow("lone backslash in quotes") << "\"a\\b\"" << QStringList{"a\\b"};
        QTest::newRow("unterminated quote") << "\"a b" << QStringList{"a b"};
        QTest::newRow("trailing blank keeps no empty argument") << "-map \"[aout]\" " << QStringList{"-map", "[aout]"};
        QTest::newRow("nothing") << "" << QStringList{};
    }

    void split()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, arguments);
        QCOMPARE(SplitCommandText(text), arguments);
    }

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
        QCOMPARE(SplitCommandText(QuoteArgument(value)), QStringList{value});
    }

    // Thousands of generated argument lists come back unchanged.
    void quoteThenSplitIsIdentity()
    {
        const QString alphabet = QStringLiteral(" \t\"\\-'$;|&*?~`()[]{}<>=,:./aZ09äß€\n\r");
        QRandomGenerator random(20261207);
        for (int round = 0; round < 5000; ++round) {
            QStringList arguments;
            const int count = random.bounded(1, 8);
            for (int a = 0; a < count; ++a) {
                QString argument;
                const int length = random.bounded(0, 12);
                for (int c = 0; c < length; ++c) {
                    // Now and then a character far outside Latin-1.
                    if (random.bounded(20) == 0)
                        argument += QChar(char16_t(random.bounded(0x100, 0xD7FF)));
                    else
                        argument += alphabet.at(random.bounded(int(alphabet.size())));
                }
                arguments << argument;
            }
            QStringList quoted;
            for (const QString &argument : arguments)
                quoted << QuoteArgument(argument);
            const QString text = quoted.join(QLatin1Char(' '));
            QCOMPARE(SplitCommandText(text), arguments);
        }
    }
};

QTEST_GUILESS_MAIN(tst_CommandText)
#include "tst_commandtext.moc"
