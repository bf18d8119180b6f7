// What finished tool runs say: whether the source has audio, and why a run
// failed, read from real ffprobe and ffmpeg output.
#include "core/tools/ToolOutputFacts.h"
#include "core/tools/ToolOutputReader.h"

#include <QFile>
#include <QtTest>

#include <cmath>
#include <limits>

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
    void depthAndPeak_data();
    void depthAndPeak();
    void probeReport_data();
    void probeReport();
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
    QTest::newRow("split into a full disk: the peaks come last")
        << CapturedLines(QStringLiteral("ffmpeg51_split_disk_full.txt")) << "/tmp/cap_df/tones.wav"
        << "Error closing file /tmp/cap_df/full/Right.wav: No space left on device";
    QTest::newRow("merge into a full disk: Overall and its peak come last")
        << CapturedLines(QStringLiteral("ffmpeg51_merge_disk_full.txt")) << "/tmp/cap_df/Lout.wav"
        << "Error closing file /tmp/cap_df/full/.Mix.1x2y3z.wav: No space left on device";

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
    QTest::newRow("ffmpeg, WAV over 4 GiB without RF64, status 0")
        << "ffmpeg51_wav_over_4gib.txt" << "Filesize 4423680114 invalid for wav, output file will be broken";
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

// The source's depth from its stream line, and the peak that the split's
// astats filters report at the end of the run.
void TestToolOutputFacts::depthAndPeak_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("bits");
    QTest::addColumn<double>("peakDb");
    const double none = std::numeric_limits<double>::quiet_NaN();

    QTest::newRow("24-bit WAV split, ffmpeg 5.1")
        << CapturedLines(QStringLiteral("ffmpeg51_split_24bit_wav.txt")) << 24 << -0.999999;
    QTest::newRow("16-bit WAV")
        << QStringList{"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 44100 Hz, stereo, s16, 1411 kb/s"}
        << 16 << none;
    QTest::newRow("24-bit FLAC") << QStringList{"  Stream #0:0: Audio: flac, 48000 Hz, stereo, s32 (24 bit)"}
                                 << 24 << none;
    QTest::newRow("float WAV")
        << QStringList{"  Stream #0:0: Audio: pcm_f32le ([3][0][0][0] / 0x0003), 44100 Hz, 5.1(side), flt, 8467 kb/s"}
        << 32 << none;
    QTest::newRow("MP3: the decoder's float says nothing")
        << QStringList{"  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s"} << 0 << none;
    QTest::newRow("silence, louder channel wins")
        << QStringList{"[Parsed_astats_7 @ 0x55a247925140] Peak level dB: -inf",
                       "[Parsed_astats_3 @ 0x55a247924b00] Peak level dB: 2.500000"}
        << 0 << 2.5;
    QTest::newRow("no audio") << CapturedLines(QStringLiteral("ffprobe_video_without_audio.txt")) << 0 << none;
}

void TestToolOutputFacts::depthAndPeak()
{
    QFETCH(QStringList, lines);
    QFETCH(int, bits);
    QFETCH(double, peakDb);
    QCOMPARE(ToolOutputFacts::AudioBitsPerSample(lines), bits);
    const double peak = ToolOutputFacts::PeakLevelDb(lines);
    QVERIFY2(std::isnan(peakDb) ? std::isnan(peak) : peak == peakDb, qPrintable(QString::number(peak)));
}

QTEST_GUILESS_MAIN(TestToolOutputFacts)
#include "tst_tooloutputfacts.moc"

// Names and tags in the console lines must not pass for the source's facts.
void TestToolOutputFacts::probeReport_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("read");
    QTest::addColumn<bool>("audio");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("reason"); // the console's last words

    const QStringList fakeStream = CapturedLines(QStringLiteral("ffprobe51_report_fake_stream_name.txt"));
    QTest::newRow("name holding a stream line and a lone {")
        << fakeStream << true << true << 48000 << 16 << "3" << "Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 48000 Hz, 2 channels, s16, 1536 kb/s";
    QTest::newRow("title tag \"Duration: 23:59:59\"")
        << CapturedLines(QStringLiteral("ffprobe51_report_duration_tag.txt")) << true << true << 44100 << 24 << "10"
        << "Stream #0:0: Audio: pcm_s24le ([1][0][0][0] / 0x0001), 44100 Hz, stereo, s32 (24 bit), 2116 kb/s";
    QTest::newRow("text file: an empty report after the error")
        << CapturedLines(QStringLiteral("ffprobe51_report_text_file.txt")) << true << false << 0 << 0 << ""
        << "/tmp/sfcap/text.mp3: Invalid argument";
    QTest::newRow("video without audio")
        << CapturedLines(QStringLiteral("ffprobe51_report_video_without_audio.txt")) << true << false << 0 << 0
        << "2" << "encoder         : Lavc59.37.100 mpeg4";
    QTest::newRow("console lines alone") << CapturedLines(QStringLiteral("ffprobe_song_wav.txt")) << false
                                         << false << 0 << 0 << "" << "";
    QTest::newRow("report cut short") << fakeStream.mid(0, fakeStream.size() - 2) << false << false << 0 << 0
                                      << "" << "";
}

void TestToolOutputFacts::probeReport()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, read);
    QFETCH(bool, audio);
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(QString, seconds);
    QFETCH(QString, reason);
    QVERIFY(!lines.isEmpty());
    const std::optional<ToolOutputFacts::ProbeReport> report = ToolOutputFacts::ReadProbeReport(lines);
    QCOMPARE(report.has_value(), read);
    if (!read)
        return;
    QCOMPARE(report->hasAudio, audio);
    QCOMPARE(report->sampleRate, rate);
    QCOMPARE(report->bitsPerSample, bits);
    QCOMPARE(report->seconds, seconds);
    QCOMPARE(ToolOutputFacts::LastErrorLine(ToolOutputFacts::ConsoleLines(lines), QString()), reason);
}
