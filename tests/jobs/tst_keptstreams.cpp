// What an export keeps of its source where the container holds it, and every channel of a surround source.
#include "AudioMeasure.h"
#include "TestAppFolder.h"

#include "core/system/OutputReplacement.h"
#include "session/Session.h"

#include <QDir>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(ExportReads)

namespace {

// A 1 kHz tone at 1/8 of full scale: -21.07 dBFS of mean power a channel.
const QString Tone = QStringLiteral("sine=f=1000:d=2");
const double ToneDb = 20 * std::log10(0.125 / std::sqrt(2.0));

// ffmpeg's options that make each source, titled "Kept", from the tone (input 0).
const QMap<QString, QString> Sources{
    {"clip.mp4", "-f lavfi -i testsrc=size=64x48:rate=10:d=2 -map 0 -map 1 -af pan=stereo|c0=c0|c1=c0 -c:v mpeg4"},
    {"film.mkv", "-f lavfi -i testsrc=size=64x48:rate=10:d=2 -i lines.srt -i chapters.txt -map 0 -map 1 -map 2 "
                 "-map_chapters 3 -af pan=stereo|c0=c0|c1=c0 -c:v ffv1 -c:s srt"},
    {"centre.wav", "-af pan=5.1|FC=c0"},
    {"mono.wav", "-ac 1"},
    {"cover.flac", "-f lavfi -i color=c=red:size=32x32:d=0.1 -map 0 -map 1 -frames:v 1 -c:v png -disposition:v attached_pic"},
};

QString Probed(const QString &file, const QString &entries)
{
    const QStringList arguments{"-v", "error", "-show_entries", entries, "-of", "csv=p=0", file};
    return AudioMeasure::RunTool("ffprobe", arguments).output.split('\n', Qt::SkipEmptyParts).join(',');
}

} // namespace

class tst_KeptStreams : public QObject
{
    Q_OBJECT
    TestAppFolder app;

private slots:
    void initTestCase()
    {
        QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
        for (const auto &[name, text] : {std::pair{"lines.srt", "1\n00:00:00,000 --> 00:00:01,000\nHello\n"},
                                         {"chapters.txt", ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/10\nSTART=0\nEND=10\n"
                                          "title=One\n[CHAPTER]\nTIMEBASE=1/10\nSTART=10\nEND=20\ntitle=Two\n"}}) {
            QFile file(app.scratchPath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) > 0);
        }
        QDir::setCurrent(app.scratchPath(QString()));
        for (auto source = Sources.begin(); source != Sources.end(); ++source)
            QVERIFY(AudioMeasure::Generate(Tone, app.scratchPath(source.key()), source.value().split(' ') << "-metadata" << "title=Kept"));
    }

    // The window reads channel files, the command line the source, a batch renders both channels in one run.
    void keptWhereTheContainerHoldsIt_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("output");
        QTest::addColumn<ExportReads>("reads");
        QTest::addColumn<QString>("told");    // before the export starts
        QTest::addColumn<QString>("streams"); // codec name, attached picture
        QTest::addColumn<QString>("chapters"); // their starts
        QTest::addColumn<double>("levelDb"); // of each channel

        const ExportReads window = ExportReads::ChannelFiles, line = ExportReads::Source, batch = ExportReads::SourceInOneRun;
        const QString downmix = QStringLiteral("5.1 source: downmixed to stereo"), chapters = QStringLiteral("0.000000,1.000000");
        // ffmpeg's matrix takes the centre into each side at -3 dB.
        const double centreDb = ToneDb + 20 * std::log10(std::sqrt(0.5));
        QTest::newRow("mp4 to mp4") << "clip.mp4" << "out.mp4" << window << "" << "aac,0,mpeg4,0" << "" << ToneDb;
        QTest::newRow("mp4 to wav") << "clip.mp4" << "out.wav" << line << "" << "pcm_s16le,0" << "" << ToneDb;
        QTest::newRow("mkv to mkv") << "film.mkv" << "out.mkv" << batch << "" << "vorbis,0,ffv1,0,subrip,0" << chapters << ToneDb;
        QTest::newRow("mkv to mp4") << "film.mkv" << "out.mp4" << window << "MP4 cannot hold this video codec: saving audio only" << "aac,0,bin_data,0" << chapters << ToneDb;
        QTest::newRow("5.1 window") << "centre.wav" << "out.flac" << window << downmix << "flac,0" << "" << centreDb;
        QTest::newRow("5.1 line") << "centre.wav" << "out.wav" << line << downmix << "pcm_s16le,0" << "" << centreDb;
        QTest::newRow("5.1 batch") << "centre.wav" << "out.mp3" << batch << downmix << "mp3,0" << "" << centreDb;
        QTest::newRow("mono") << "mono.wav" << "out.wav" << window << "" << "pcm_s16le,0" << "" << ToneDb;
        QTest::newRow("cover to mp3") << "cover.flac" << "out.mp3" << window << "" << "mp3,0,png,1" << "" << ToneDb;
        QTest::newRow("cover to flac") << "cover.flac" << "out.flac" << line << "" << "flac,0,png,1" << "" << ToneDb;
        QTest::newRow("cover to m4a") << "cover.flac" << "out.m4a" << batch << "" << "aac,0,png,1" << "" << ToneDb;
        QTest::newRow("cover to ogg") << "cover.flac" << "out.ogg" << line << "" << "vorbis,0" << "" << ToneDb;
    }

    void keptWhereTheContainerHoldsIt()
    {
        QFETCH(QString, source);
        QFETCH(QString, output);
        QFETCH(ExportReads, reads);
        QFETCH(double, levelDb);
        const QString written = app.scratchPath(output);
        QVERIFY(QDir().mkpath(app.scratchPath("work")) && (!QFile::exists(written) || QFile::remove(written)));
        Session session(Session::Options{false, app.scratchPath("work")});
        bool ended = false, completed = false;
        auto import = session.NewImport(app.scratchPath(source), reads == ExportReads::ChannelFiles);
        connect(import.get(), &ImportJob::ended, [&](bool done) { ended = true, completed = done; });
        import->Start();
        QTRY_VERIFY_WITH_TIMEOUT(ended, 60000);
        session.SetOutputFile(written);
        QTEST(QStringList({session.SourceNote(), session.KeptFor(written).notice}).join(QString()), "told");
        ended = false;
        auto job = session.NewExport(OutputReplacement::TemporaryOutput::Create(written), false, reads);
        connect(job.get(), &ExportJob::ended, [&](bool done) { ended = true, completed = done; });
        job->SaveChanels();
        QTRY_VERIFY_WITH_TIMEOUT(ended, 120000);
        QVERIFY(completed);
        QTEST(Probed(written, QStringLiteral("stream=codec_name:stream_disposition=attached_pic")), "streams");
        QCOMPARE(Probed(written, QStringLiteral("format_tags=title:stream_tags=title")), QStringLiteral("Kept"));
        QTEST(Probed(written, QStringLiteral("chapter=start_time")), "chapters");
        for (int channel : {0, 1})
            QVERIFY(std::abs(AudioMeasure::MeanVolumeDb(written, channel) - levelDb) < 0.5);
    }
};

QTEST_GUILESS_MAIN(tst_KeptStreams)
#include "tst_keptstreams.moc"
