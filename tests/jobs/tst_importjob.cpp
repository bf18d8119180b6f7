// The import job without windows: the probe's facts and the split's files,
// or the heading and reason the import window shows.
#include "AudioMeasure.h"
#include "TestAppFolder.h"

#include "jobs/ImportJob.h"
#include "core/system/WorkspaceRoom.h"

#include <QFile>
#include <QtTest>

namespace {

struct Recorder
{
    QString duration;
    int sampleRate = -1;
    QString heading;
    QString reason;
    int ended = 0;
    bool completed = false;

    explicit Recorder(ImportJob &job)
    {
        QObject::connect(&job, &ImportJob::durationRead, [this](const QString &seconds) { duration = seconds; });
        QObject::connect(&job, &ImportJob::probed, [this](int rate) { sampleRate = rate; });
        QObject::connect(&job, &ImportJob::failed, [this](const QString &h, const QString &r) { heading = h; reason = r; });
        QObject::connect(&job, &ImportJob::ended, [this](bool done) { ++ended; completed = done; });
    }
};

} // namespace

class tst_ImportJob : public QObject
{
    Q_OBJECT

private slots:
    void import_data();
    void import();
    void room_data();
    void room();
};

void tst_ImportJob::import_data()
{
    QTest::addColumn<QString>("source"); // "tones", "tones, full disk", "text" or "no ffprobe"
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("reason");  // the start of it

    QTest::newRow("stereo tones") << "tones" << "" << "";
    QTest::newRow("not audio") << "text" << "Searching Failed" << "";
    QTest::newRow("ffprobe missing") << "no ffprobe" << "Searching Failed" << "Cannot run ";
    QTest::newRow("split into a full disk: not the peaks ffmpeg printed last")
        << "tones, full disk" << "Extracting Chanel Data Failed" << "av_interleaved_write_frame(): No space left on device";
    QTest::newRow("no duration: room from the size") << "1 TiB stream" << "Extracting Chanel Data Failed" << "The workspace needs 24244240 MB ";
}

void tst_ImportJob::import()
{
    QFETCH(QString, source);
    QFETCH(QString, heading);
    QFETCH(QString, reason);

    TestAppFolder app;
    QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
    ImportRequest request;
    request.sourceFile = app.scratchPath(QStringLiteral("My Source.wav"));
    request.leftWav = app.scratchPath(QStringLiteral("Left.wav"));
    request.rightWav = app.scratchPath(QStringLiteral("Right.wav"));
    request.proberFolder = request.encoderFolder = app.path();
    if (source.endsWith(QLatin1String("full disk"))) // ffmpeg as it ended on a full tmpfs
        QVERIFY(app.writeTool(QStringLiteral("ffmpeg"), "#!/bin/sh\ncat '" + QFile::encodeName(TestAppFolder::testDataFolder())
                                                            + "/ffmpeg51_split_disk_full.txt'\nexit 1\n"));
    if (source.startsWith(QLatin1String("tones"))) {
        QVERIFY(AudioMeasure::GenerateStereoTones(440, 1000, 2, request.sourceFile));
    } else {
        QFile text(request.sourceFile);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("no sound here\n") > 0);
        if (source == QLatin1String("1 TiB stream")) // sparse, and probed as a stream without a duration
            QVERIFY(text.resize(qint64(1) << 40) && app.writeTool("ffprobe", "#!/bin/sh\ncat '"
                + QFile::encodeName(TestAppFolder::testDataFolder()) + "/ffprobe51_report_stream_mka.txt'\n"));
    }
    if (source == QLatin1String("no ffprobe"))
        app.removeTool(QStringLiteral("ffprobe"));
    QFile stale(request.leftWav);
    QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("RIFF of an earlier source") > 0);
    stale.close();

    ImportJob job(request);
    Recorder recorder(job);
    job.Start();
    QTRY_COMPARE_WITH_TIMEOUT(recorder.ended, 1, 30000);

    QCOMPARE(recorder.heading, heading);
    QVERIFY2(reason.isEmpty() || recorder.reason.startsWith(reason), qPrintable(recorder.reason));
    QCOMPARE(recorder.completed, heading.isEmpty());
    if (heading.isEmpty()) {
        QCOMPARE(recorder.duration, QStringLiteral("2"));
        QCOMPARE(recorder.sampleRate, 44100);
        QCOMPARE(AudioMeasure::Channels(request.leftWav), 1);
        QVERIFY(AudioMeasure::DominantOf(request.rightWav, 0, {440, 1000}) == 1000);
    } else {
        QVERIFY(!recorder.reason.isEmpty());
        QVERIFY(!QFile::exists(request.leftWav));
        QVERIFY(!QFile::exists(request.rightWav));
    }
}

void tst_ImportJob::room_data()
{
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<QString>("shortage");
    const qint64 needed = WorkspaceRoom::NeededBytes(600, 44100);
    QTest::newRow("one byte short") << needed - 1 << "The workspace needs 220 MB for this source; 219 MB are free in /tmp.";
    QTest::newRow("just enough") << needed << "";
}

// Ten minutes at 44.1 kHz against the room there is.
void tst_ImportJob::room()
{
    QFETCH(qint64, freeBytes);
    QFETCH(QString, shortage);
    QCOMPARE(WorkspaceRoom::Shortage(WorkspaceRoom::NeededBytes(600, 44100), freeBytes, QStringLiteral("/tmp")), shortage);
}

QTEST_GUILESS_MAIN(tst_ImportJob)
#include "tst_importjob.moc"
