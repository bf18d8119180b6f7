// The duration field and the joining of chunked tool output into lines.
#include "core/tools/DurationField.h"
#include "core/tools/ToolOutputReader.h"

#include <QFile>
#include <QtTest>

namespace {

// Tool output as the runner hands it over: one byte to a character.
QString Captured(const QString &name)
{
    QFile file(QStringLiteral(IMPORT_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}

// Feeds the text in chunks of at most 'size' characters, then the empty
// chunk that ends every run.
void FeedInChunks(ToolOutputReader &reader, const QString &text, int size)
{
    for (qsizetype at = 0; at < text.size(); at += size)
        reader.Feed(text.mid(at, size));
    reader.Feed(QString());
}

} // namespace

class TestToolOutputReader : public QObject
{
    Q_OBJECT

private slots:
    void secondsText_data();
    void secondsText();
    void capturedRun_data();
    void capturedRun();
    void fieldCutByChunkBoundary_data();
    void fieldCutByChunkBoundary();
    void chunkWithoutFieldFindsNothing();
    void startForgetsThePreviousRun();
};

void TestToolOutputReader::secondsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("seconds");

    QTest::newRow("probe line") << "  Duration: 00:03:25.47, bitrate: 64 kb/s" << "205";
    QTest::newRow("one hour") << "  Duration: 01:00:00.00, bitrate: 64 kb/s" << "3600";
    QTest::newRow("last second of a day") << "Duration: 23:59:59.99" << "86399";
    QTest::newRow("fraction dropped, not rounded") << "Duration: 00:00:02.99, start" << "2";
    QTest::newRow("N/A") << "  Duration: N/A, start: 0.000000, bitrate: N/A" << "";
    QTest::newRow("24 hours") << "  Duration: 24:00:00.00, bitrate: 1 kb/s" << "";
    QTest::newRow("minutes out of range") << "  Duration: 00:60:00.00" << "";
    QTest::newRow("text ends early") << "  Duration: 00:03" << "";
    QTest::newRow("two fields: the first") << "Duration: 00:00:05.00 x Duration: 00:00:07.00" << "5";
    QTest::newRow("no field") << "size= 1034kB time=00:00:12.00" << "";
    QTest::newRow("other letter case is not the field") << "duration: 00:00:05.00" << "";
    QTest::newRow("non-ASCII digits") << QStringLiteral("Duration: \u0660\u0660:00:05.00") << "";
}

void TestToolOutputReader::secondsText()
{
    QFETCH(QString, text);
    QFETCH(QString, seconds);
    QCOMPARE(DurationField::SecondsText(text), seconds);
}

void TestToolOutputReader::capturedRun_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("hasDuration");
    QTest::addColumn<QString>("seconds");

    QTest::newRow("probe of a 205.47 s WAV") << "ffprobe_song_wav.txt" << true << "205";
    QTest::newRow("probe of a one-hour WAV") << "ffprobe_hour_wav.txt" << true << "3600";
    QTest::newRow("probe of an MP4, video first") << "ffprobe_video_first_mp4.txt" << true << "2";
    QTest::newRow("probe of a stream without length") << "ffprobe_stream_mka.txt" << true << "";
    QTest::newRow("two inputs: the first one's") << "ffmpeg_two_inputs.txt" << true << "205";
    QTest::newRow("split run with status lines") << "ffmpeg_split_mp3.txt" << true << "12";
    QTest::newRow("probe of a text file") << "ffprobe_text_named_mp3.txt" << false << "";
}

void TestToolOutputReader::capturedRun()
{
    QFETCH(QString, file);
    QFETCH(bool, hasDuration);
    QFETCH(QString, seconds);

    const QString output = Captured(file);
    QVERIFY2(!output.isEmpty(), qPrintable(file));
    for (const int size : {256, 1, 7, int(output.size())}) {
        ToolOutputReader reader;
        FeedInChunks(reader, output, size);
        QCOMPARE(reader.HasDuration(), hasDuration);
        QCOMPARE(reader.Duration(), seconds);
        // Lines read as they came are those of the whole output, wherever a chunk ended.
        QCOMPARE(reader.Lines(), LineSplitter::Split(output));
    }
}

void TestToolOutputReader::fieldCutByChunkBoundary_data()
{
    QTest::addColumn<int>("cutAfter"); // characters of "  Duration: 00:03:25.47," in the first chunk

    QTest::newRow("before the field") << 1;
    QTest::newRow("inside the name") << 6;
    QTest::newRow("after the colon") << 11;
    QTest::newRow("after the blank") << 12;
    QTest::newRow("inside the hours") << 13;
    QTest::newRow("inside the seconds") << 19;
    QTest::newRow("inside the fraction") << 22;
}

void TestToolOutputReader::fieldCutByChunkBoundary()
{
    QFETCH(int, cutAfter);

    const QString output = Captured(QStringLiteral("ffprobe_song_wav.txt"));
    const qsizetype line = output.indexOf(QLatin1String("  Duration: 00:03:25.47,"));
    QVERIFY(line > 0);
    ToolOutputReader reader;
    QVERIFY(!reader.Feed(output.left(line + cutAfter)));
    QVERIFY(reader.Feed(output.mid(line + cutAfter)));
    QCOMPARE(reader.Duration(), QStringLiteral("205"));
}

void TestToolOutputReader::chunkWithoutFieldFindsNothing()
{
    ToolOutputReader reader;
    QVERIFY(!reader.Feed(QStringLiteral("size=    1034kB time=00:00:12.00 bitrate= 705.7kbits/s\r")));
    QVERIFY(!reader.HasDuration());

    QVERIFY(reader.Feed(QStringLiteral("  Duration: 00:00:12.04, start: 0.025057\n")));
    // A later chunk, with or without a field, leaves the run's duration.
    QVERIFY(!reader.Feed(QStringLiteral("size=  0kB time=00:00:00.00\r")));
    QVERIFY(!reader.Feed(QStringLiteral("  Duration: 00:00:30.00, start: 0\n")));
    QCOMPARE(reader.Duration(), QStringLiteral("12"));
}

void TestToolOutputReader::startForgetsThePreviousRun()
{
    ToolOutputReader reader;
    reader.Feed(QStringLiteral("  Duration: 00:00:12.04, start: 0\n  Stream #0:0: Audio: mp3"));
    reader.Start();
    QVERIFY(!reader.HasDuration());
    QVERIFY(reader.Lines().isEmpty());
    // Nor is the unfinished line of the previous run joined to the next.
    reader.Feed(QStringLiteral("x\n"));
    QCOMPARE(reader.Lines(), QStringList{QStringLiteral("x")});
}

QTEST_GUILESS_MAIN(TestToolOutputReader)
#include "tst_tooloutputreader.moc"
