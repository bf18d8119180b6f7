// What finished tool runs say: whether the source has audio, and why a run
// failed, read from real ffprobe and ffmpeg output.
#include "import/ToolOutputFacts.h"
#include "import/ToolOutputReader.h"

#include <QFile>
#include <QtTest>

namespace {

QStringList LinesOf(const QByteArray &bytes)
{
    ToolOutputReader reader;
    reader.Feed(QString::fromLatin1(bytes));
    reader.Feed(QString());
    return reader.Lines();
}

QStringList CapturedLines(const QString &name)
{
    QFile file(QStringLiteral(IMPORT_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringList();
    return LinesOf(file.readAll());
}

} // namespace

class TestToolOutputFacts : public QObject
{
    Q_OBJECT

private slots:
    void hasAudioStream_data();
    void hasAudioStream();
    void lastErrorLine_data();
    void lastErrorLine();
    void lastErrorLineOfOutput_data();
    void lastErrorLineOfOutput();
    void knownFailureLine_data();
    void audioSampleRate_data();
    void audioSampleRate();
    void knownFailureLine();
};

void TestToolOutputFacts::hasAudioStream_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("audio");

    QTest::newRow("WAV") << "ffprobe_song_wav.txt" << true;
    QTest::newRow("MP4, audio after video") << "ffprobe_video_first_mp4.txt" << true;
    QTest::newRow("stream without length") << "ffprobe_stream_mka.txt" << true;
    QTest::newRow("video without audio") << "ffprobe_video_without_audio.txt" << false;
    QTest::newRow("text file named .mp3") << "ffprobe_text_named_mp3.txt" << false;
    QTest::newRow("empty file") << "ffprobe_empty_file.txt" << false;
}

void TestToolOutputFacts::hasAudioStream()
{
    QFETCH(QString, file);
    QFETCH(bool, audio);
    const QStringList lines = CapturedLines(file);
    QVERIFY2(!lines.isEmpty(), qPrintable(file));
    QCOMPARE(ToolOutputFacts::HasAudioStream(lines), audio);
}

void TestToolOutputFacts::lastErrorLine_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("inputPath");
    QTest::addColumn<QString>("reason");

    QTest::newRow("text file named .mp3")
        << CapturedLines(QStringLiteral("ffprobe_text_named_mp3.txt"))
        << "/tmp/capture/song.mp3" << "Invalid argument";
    QTest::newRow("empty file")
        << CapturedLines(QStringLiteral("ffprobe_empty_file.txt"))
        << "/tmp/capture/empty.mp3" << "Invalid argument";
    QTest::newRow("another input's path stays")
        << CapturedLines(QStringLiteral("ffprobe_empty_file.txt"))
        << "/tmp/capture/song.mp3" << "/tmp/capture/empty.mp3: Invalid argument";
    QTest::newRow("refused overwrite")
        << CapturedLines(QStringLiteral("ffmpeg_split_not_overwriting.txt"))
        << "/tmp/capture/tones.mp3"
        << "File '/tmp/capture/TempWavs/Left.wav' already exists. Overwrite? [y/N] Not overwriting - exiting";

    // The runner's characters are the tool's UTF-8 bytes.
    const QString path = QStringLiteral("/tmp/Gr\u00fc\u00dfe \"x\"/song.wav");
    QTest::newRow("non-ASCII path")
        << LinesOf(path.toUtf8() + ": Invalid data found when processing input\n")
        << path << "Invalid data found when processing input";
    QTest::newRow("context and trailer")
        << LinesOf("[wav @ 0x55e83f0d0280] Invalid WAVE header\nConversion failed!\n\n")
        << "/x.wav" << "Invalid WAVE header";
    QTest::newRow("only status lines")
        << LinesOf("size=  0kB time=00:00:00.00 bitrate=N/A\r\n") << "/x.wav" << "";
    QTest::newRow("no output") << QStringList() << "/x.wav" << "";
}

// A whole run's output, as the preview and the export judge it.
void TestToolOutputFacts::lastErrorLineOfOutput_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("reason");

    QFile captured(QFINDTESTDATA("../data/ffmpeg51_missing_input.txt"));
    QVERIFY(captured.open(QIODevice::ReadOnly));
    QTest::newRow("ffmpeg 5.1, missing input")
        << QString::fromLatin1(captured.readAll())
        << QStringLiteral("/tmp/cap/Missing.wav: No such file or directory");
    QTest::newRow("blank lines and CR LF after the reason")
        << QStringLiteral("Input #0\r\nUnknown encoder 'x'\r\nConversion failed!\r\n\r\n  \r\n")
        << QStringLiteral("Unknown encoder 'x'");
    QTest::newRow("status line ending in CR")
        << QStringLiteral("Error while decoding\nsize= 1kB time=00:00:01.00 bitrate= 1kbits/s\r")
        << QStringLiteral("Error while decoding");
    QTest::newRow("only line ends") << QStringLiteral("\n\r\n\r") << QString();
}

void TestToolOutputFacts::lastErrorLineOfOutput()
{
    QFETCH(QString, output);
    QFETCH(QString, reason);
    QCOMPARE(ToolOutputFacts::LastErrorLine(output), reason);
}

void TestToolOutputFacts::lastErrorLine()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, inputPath);
    QFETCH(QString, reason);
    QCOMPARE(ToolOutputFacts::LastErrorLine(lines, inputPath), reason);
}

// Runs that may end with status 0 although nothing usable came of them.
void TestToolOutputFacts::knownFailureLine_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("failure");

    QTest::newRow("ffmpeg, disk full") << "ffmpeg51_disk_full.txt"
                                      << "av_interleaved_write_frame(): No space left on device";
    QTest::newRow("ffmpeg, MP3 merge into a full disk, status 0")
        << "ffmpeg51_disk_full_mp3.txt" << "Error writing trailer of /tmp/exp_df/out.mp3: No space left on device";
    QTest::newRow("ffplay, no audio device") << "ffplay51_audio_open_failed.txt"
                                            << "No more combinations to try, audio open failed";
    QTest::newRow("ffplay, unknown filter") << "ffplay51_no_such_filter.txt"
                                           << "No such filter: 'nosuch'";
    QTest::newRow("ffmpeg, a good render") << "ffmpeg51_render_600s.txt" << "";
    QTest::newRow("ffprobe, a good probe") << "ffprobe_song_wav.txt" << "";
}

void TestToolOutputFacts::audioSampleRate_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("sampleRate");
    QTest::newRow("8 kHz WAV") << "ffprobe_song_wav.txt" << 8000;
    QTest::newRow("MP4: the audio after the video") << "ffprobe_video_first_mp4.txt" << 44100;
    QTest::newRow("no audio") << "ffprobe_video_without_audio.txt" << 0;
    QTest::newRow("not media") << "ffprobe_text_named_mp3.txt" << 0;
}

void TestToolOutputFacts::audioSampleRate()
{
    QFETCH(QString, file);
    QFETCH(int, sampleRate);
    QCOMPARE(ToolOutputFacts::AudioSampleRate(CapturedLines(file)), sampleRate);
}

void TestToolOutputFacts::knownFailureLine()
{
    QFETCH(QString, file);
    QFETCH(QString, failure);
    const QStringList lines = CapturedLines(file);
    QVERIFY2(!lines.isEmpty(), qPrintable(file));
    QCOMPARE(ToolOutputFacts::KnownFailureLine(lines), failure);
}

QTEST_GUILESS_MAIN(TestToolOutputFacts)
#include "tst_tooloutputfacts.moc"
