// The export job without windows: both renders at once write what one after
// the other wrote, and Cancel leaves neither a tool nor a file behind.
#include "AudioMeasure.h"
#include "TestAppFolder.h"

#include "jobs/ExportJob.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>

namespace {

struct Recorder : ExportObserver
{
    QStringList rows;
    QString failure;
    int ended = 0;
    bool completed = false;

    void RowStarted(int row) override { rows << QStringLiteral("started %1").arg(row); }
    void RowOutput(int, const QString &) override {}
    void RowCompleted(int row) override { rows << QStringLiteral("completed %1").arg(row); }
    void RowFailed(int, const QString &said) override { failure = said; }
    void RowStopped(int row) override { rows << QStringLiteral("stopped %1").arg(row); }
    void ExportEnded(bool done) override { ++ended; completed = done; }
};

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_ExportJob : public QObject
{
    Q_OBJECT

private slots:
    void parallelEqualsSequential_data();
    void parallelEqualsSequential();
    void cancelDuringTheRenders();

private:
    ExportRequest Request(const TestAppFolder &app, const QString &name) const
    {
        ExportRequest request;
        request.paths = JobPaths::InFolder(app.scratchPath(QStringLiteral("work")));
        request.leftVolume = 1;
        request.rightVolume = 2;
        request.leftChain = QStringLiteral("equalizer=f=1000:width_type=o:width=1:g=-12");
        request.rightChain = QStringLiteral("equalizer=f=120:width_type=o:width=1:g=6");
        request.target = app.scratchPath(name);
        request.temporaryOutput = app.scratchPath(QLatin1Char('.') + name + QLatin1String(".part.")
                                                  + QFileInfo(name).suffix());
        request.encoderFolder = app.path();
        request.proberFolder = app.path();
        return request;
    }
};

void tst_ExportJob::parallelEqualsSequential_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("wav") << "Mix.wav";
    QTest::newRow("flac") << "Mix.flac";
}

void tst_ExportJob::parallelEqualsSequential()
{
    QFETCH(QString, name);
    TestAppFolder app;
    QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
    QVERIFY(QDir().mkpath(app.scratchPath(QStringLiteral("work"))));
    const JobPaths paths = JobPaths::InFolder(app.scratchPath(QStringLiteral("work")));
    QVERIFY(AudioMeasure::Generate(QStringLiteral("anoisesrc=d=4:c=pink:seed=7"), paths.LeftSourceWav));
    QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=f=440:d=4"), paths.RightSourceWav));

    QByteArray written[2];
    for (bool sequential : {true, false}) {
        ExportRequest request = Request(app, name);
        request.sequentialRenders = sequential;
        QVERIFY(QFile(request.temporaryOutput).open(QIODevice::WriteOnly));
        Recorder recorder;
        ExportJob job(request, &recorder);
        job.SaveChanels();
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ended, 1, 60000);
        QVERIFY2(recorder.completed, qPrintable(recorder.failure));
        written[sequential] = Read(request.target);
        QVERIFY(QFile::remove(request.target));
        QVERIFY(!QFile::exists(request.temporaryOutput));
    }
    QVERIFY(written[0].size() > 100000);
    QVERIFY(written[0] == written[1]);
}

// Both renders hang; Cancel stops both, and neither the hidden file nor the
// target is left.
void tst_ExportJob::cancelDuringTheRenders()
{
    TestAppFolder app;
    QVERIFY(app.writeTool(QStringLiteral("ffmpeg"),
                          "#!/bin/sh\necho $$ >> \"$0.pids\"\nexec sleep 30\n"));
    QVERIFY(app.linkRealTool(QStringLiteral("ffprobe")));
    const ExportRequest request = Request(app, QStringLiteral("Mix.wav"));
    QVERIFY(QFile(request.temporaryOutput).open(QIODevice::WriteOnly));
    Recorder recorder;
    ExportJob job(request, &recorder);
    job.SaveChanels();
    QCOMPARE(recorder.rows, (QStringList{"started 0", "started 1"}));
    const QString pidFile = app.path() + QLatin1String("/ffmpeg.pids");
    QTRY_COMPARE(Read(pidFile).count('\n'), 2);
    job.Cancel();
    QTRY_COMPARE(recorder.ended, 1);

    QVERIFY(!recorder.completed);
    QVERIFY(!job.IsRunning());
    QCOMPARE(recorder.rows, (QStringList{"started 0", "started 1"}));
    for (const QByteArray &pid : Read(pidFile).trimmed().split('\n'))
        QVERIFY(::kill(pid.toInt(), 0) != 0);
    QVERIFY(!QFile::exists(request.temporaryOutput));
    QVERIFY(!QFile::exists(request.target));
}

QTEST_GUILESS_MAIN(tst_ExportJob)
#include "tst_exportjob.moc"
