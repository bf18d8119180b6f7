// Reading ffmpeg's status time and turning three steps' seconds into the
// export window's percentage.
#include "core/tools/ExportProgress.h"

#include <QtTest>

class tst_ExportProgress : public QObject
{
    Q_OBJECT

private slots:
    void statusTime_data();
    void statusTime();
    void lastStatusTime_data();
    void lastStatusTime();
    void percentText_data();
    void percentText();
    void barMaximum_data();
    void barMaximum();
    void capturedRun_data();
    void capturedRun();
    void stagesKeepTheirOwnSeconds();
};

void tst_ExportProgress::statusTime_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<int>("seconds"); // -1: no time in the chunk

    QTest::newRow("status line")
        << "size=    6912kB time=00:01:22.29 bitrate= 688.1kbits/s speed= 165x    \r" << 82;
    QTest::newRow("upper case") << "SIZE= 1kB TIME=00:00:05.00 BITRATE=" << 5;
    QTest::newRow("hours") << "time=01:02:03.99" << 3723;
    // Unlike a source's "Duration:", a running job's time may pass a day.
    QTest::newRow("more than a day") << "time=25:00:00.00" << 90000;
    QTest::newRow("two status lines use the first")
        << "time=00:00:07.00 bitrate=1\rsize= 2kB time=00:00:09.00 bitrate=1\r" << 7;
    QTest::newRow("N/A at the start of a run") << "size=N/A time=N/A bitrate=N/A" << -1;
    QTest::newRow("negative start time") << "size=0kB time=-00:00:00.02 bitrate" << -1;
    QTest::newRow("cut by the chunk's end") << "size= 1kB time=00:01:2" << -1;
    QTest::newRow("no time") << "Stream mapping:\n  Stream #0:0 -> #0:0" << -1;
    QTest::newRow("metadata field first")
        << "    creation_time   : 2024-01-01T00:00:00\nsize= 1kB time=00:00:03.00" << -1;
    QTest::newRow("minutes out of range") << "time=00:61:00.00" << -1;
    QTest::newRow("empty final chunk") << QString() << -1;
}

void tst_ExportProgress::statusTime()
{
    QFETCH(QString, chunk);
    QFETCH(int, seconds);
    const std::optional<qint32> parsed = ExportProgress::StatusTimeSeconds(chunk);
    QCOMPARE(parsed.has_value(), seconds >= 0);
    if (parsed)
        QCOMPARE(*parsed, seconds);
}

// A whole run's check compares the written file with the run's last
// status time, to the hundredth.
void tst_ExportProgress::lastStatusTime_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<double>("seconds"); // -1: none

    QTest::newRow("last of several") << "time=00:00:10.00 x\rsize= 9kB time=00:01:00.05 bitrate" << 60.05;
    QTest::newRow("no fraction") << "time=00:00:07 speed=1x" << 7.0;
    QTest::newRow("cut after the point") << "time=00:00:07." << 7.0;
    QTest::newRow("last is N/A") << "time=00:00:03.00 time=N/A" << -1.0;
    QTest::newRow("none") << "Conversion failed!" << -1.0;
}

void tst_ExportProgress::lastStatusTime()
{
    QFETCH(QString, output);
    QFETCH(double, seconds);
    const std::optional<double> parsed = ExportProgress::LastStatusTime(output);
    QCOMPARE(parsed.has_value(), seconds >= 0);
    if (parsed)
        QVERIFY2(qAbs(*parsed - seconds) < 1e-9, qPrintable(QString::number(*parsed)));
}

void tst_ExportProgress::percentText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("label");

    QTest::newRow("start") << 0 << 30 << "Overall Progress: 00.00% Completed";
    QTest::newRow("one digit is padded") << 11 << 200 << "Overall Progress: 05.50% Completed";
    QTest::newRow("worked example") << 270 << 615 << "Overall Progress: 43.90% Completed";
    QTest::newRow("one third") << 10 << 30 << "Overall Progress: 33.33% Completed";
    QTest::newRow("complete") << 30 << 30 << "Overall Progress: 100.00% Completed";
    QTest::newRow("no duration") << 0 << 0 << "Overall Progress: 00.00% Completed";
}

void tst_ExportProgress::percentText()
{
    QFETCH(int, value);
    QFETCH(int, maximum);
    QFETCH(QString, label);
    QCOMPARE(ExportProgress::ProgressLabel(value, maximum), label);
}

void tst_ExportProgress::barMaximum_data()
{
    QTest::addColumn<QString>("duration");
    QTest::addColumn<int>("maximum");

    QTest::newRow("205") << "205" << 615;
    QTest::newRow("10") << "10" << 30;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("not a number") << "abc" << 0;
}

void tst_ExportProgress::barMaximum()
{
    QFETCH(QString, duration);
    QFETCH(int, maximum);
    QCOMPARE(ExportProgress::BarMaximum(duration), maximum);
}

void tst_ExportProgress::capturedRun_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("stage");

    QTest::newRow("render of 600 s") << "ffmpeg51_render_600s.txt" << 0;
    QTest::newRow("merge of 600 s") << "ffmpeg51_join_600s.txt" << 2;
}

// Real ffmpeg 5.1 output, fed as the runner reads it while ffmpeg runs: one
// status line per write (each ends with a carriage return), cut into chunks
// of at most 256 bytes. The counter only moves forward and ends at the
// source's length.
void tst_ExportProgress::capturedRun()
{
    QFETCH(QString, file);
    QFETCH(int, stage);
    QFile captured(QFINDTESTDATA("../data/" + file));
    QVERIFY(captured.open(QIODevice::ReadOnly));
    const QByteArray output = captured.readAll();

    ExportCounters counters;
    counters.ExportStage = qint16(stage);
    qint32 last = 0;
    int moves = 0;
    QList<QByteArray> writes;
    for (qsizetype start = 0; start < output.size();) {
        qsizetype end = output.indexOf('\r', start);
        end = end < 0 ? output.size() : end + 1;
        writes << output.mid(start, end - start);
        start = end;
    }
    for (const QByteArray &write : writes) {
        for (qsizetype at = 0; at < write.size(); at += 256) {
            counters.TakeChunk(QString::fromLatin1(write.mid(at, 256)));
            QVERIFY(counters.Total() >= last);
            if (counters.Total() != last)
                ++moves;
            last = counters.Total();
        }
    }
    QCOMPARE(last, 600);
    QVERIFY(moves >= (stage == 2 ? 1 : 8));
    QCOMPARE(stage == 2 ? counters.MergeSeconds : counters.LeftRenderSeconds, 600);
}

void tst_ExportProgress::stagesKeepTheirOwnSeconds()
{
    ExportCounters counters;
    counters.TakeChunk(QStringLiteral("time=00:00:10.00"));
    counters.ExportStage = 1;
    counters.TakeChunk(QStringLiteral("time=00:00:04.00"));
    counters.TakeChunk(QStringLiteral("time=N/A"));
    QCOMPARE(counters.Total(), 14);
    counters.ExportStage = 2;
    counters.TakeChunk(QStringLiteral("time=00:00:10.00"));
    QCOMPARE(counters.LeftRenderSeconds, 10);
    QCOMPARE(counters.RightRenderSeconds, 4);
    QCOMPARE(counters.MergeSeconds, 10);
    // A status line cut by a chunk's end leaves a step short until it completes.
    counters.ExportStage = 1;
    counters.TakeChunk(QStringLiteral("size= 1kB time=00:00:0"));
    QCOMPARE(counters.RightRenderSeconds, 4);
    counters.CompleteStep(1, 10);
    QCOMPARE(counters.Total(), 30);
    counters.Reset();
    QCOMPARE(counters.Total(), 0);
    QCOMPARE(counters.ExportStage, qint16(0));
}

QTEST_GUILESS_MAIN(tst_ExportProgress)
#include "tst_exportprogress.moc"
