// The console runner, driven with a small child program of our own.
#include "core/tools/CommandText.h"
#include "process/ChildPipe.h"
#include "process/ToolRun.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>

namespace {

const QString Child = QStringLiteral(RUNNER_CHILD);

// Runs one command to its end and keeps every chunk it read.
struct Run
{
    ToolRun runner;
    QList<QByteArray> chunks;
    QList<ToolRun::End> ends;

    Run()
    {
        QObject::connect(&runner, &ToolRun::ChunkRead, &runner,
                         [this](const QByteArray &chunk) { chunks << chunk; });
        QObject::connect(&runner, &ToolRun::Ended, &runner,
                         [this](ToolRun::End end, int, const QString &) { ends << end; });
    }

    // Whether the child started with these arguments and told its end once,
    // within a generous minute.
    bool toEnd(const QStringList &arguments)
    {
        return runner.Start({Child, arguments}) && QTest::qWaitFor([this] { return !ends.isEmpty(); }, 60000)
            && ends.size() == 1 && !runner.IsRunning();
    }
    QByteArray output() const { return chunks.join(); }
};

} // namespace

class tst_ToolRun : public QObject
{
    Q_OBJECT

private slots:
    void chunksOfAtMost256Bytes_data()
    {
        QTest::addColumn<QStringList>("child");
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::newRow("600 bytes") << QStringList{"write", "600"}
                                   << QList<QByteArray>{QByteArray(256, 'x'), QByteArray(256, 'x'), QByteArray(88, 'x')};
        QTest::newRow("silent") << QStringList{"silent"} << QList<QByteArray>();
        QTest::newRow("standard error like output") << QStringList{"stderr", "Invalid data found\r\n"}
                                                    << QList<QByteArray>{"Invalid data found\r\n"};
    }

    void chunksOfAtMost256Bytes()
    {
        QFETCH(QStringList, child);
        QFETCH(QList<QByteArray>, chunks);
        Run run;
        QVERIFY(run.toEnd(child));
        QCOMPARE(run.chunks, chunks);
        QCOMPARE(run.ends.first(), ToolRun::End::Finished);
    }

    void bytesArriveUnchanged()
    {
        Run run;
        QVERIFY(run.toEnd({QStringLiteral("bytes")}));
        QByteArray every(256, 0);
        for (int i = 0; i < 256; ++i)
            every[i] = char(i);
        QCOMPARE(run.output(), every);
    }

    void argumentsArriveWhole_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("blanks") << "/my music/a b.mp3";
        QTest::newRow("quotes and backslash") << "say \"hi\" \\ there";
        QTest::newRow("non-ASCII") << "/Müsik/Lied.mp3";
        QTest::newRow("shell characters") << "$(touch x);|&*";
    }

    void argumentsArriveWhole()
    {
        QFETCH(QString, argument);
        Run run;
        QVERIFY(run.toEnd({QStringLiteral("args"), argument}));
        QCOMPARE(run.output(), QByteArray("[") + argument.toLocal8Bit() + QByteArray("]\n"));
    }

    void nothingToStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("failedStart");
        QTest::newRow("empty program") << QString() << false;
        QTest::newRow("missing program") << QStringLiteral("/nonexistent/ffprobe") << true;
        QTest::newRow("not executable") << QStringLiteral("/etc/hostname") << true;
    }

    void nothingToStart()
    {
        QFETCH(QString, program);
        QFETCH(bool, failedStart);
        Run run;
        QVERIFY(run.toEnd({QStringLiteral("write"), QStringLiteral("5")}));
        QVERIFY(!run.runner.Start({program, {QStringLiteral("-i"), QStringLiteral("x")}}));
        QCoreApplication::processEvents();
        QCOMPARE(run.ends.size(), 1);
        QCOMPARE(run.runner.LastEnd(), failedStart ? ToolRun::End::FailedToStart : ToolRun::End::None);
        QCOMPARE(run.runner.FailureReason().isEmpty(), !failedStart);
    }

    void standardInputIsAtItsEnd()
    {
        QElapsedTimer clock;
        clock.start();
        Run run;
        QVERIFY(run.toEnd({QStringLiteral("stdin")}));
        QCOMPARE(run.output(), QByteArray("read 0 bytes"));
        QVERIFY(clock.elapsed() < 20000);
    }

    void exitStatus_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("signal");
        QTest::newRow("0") << "exit" << 0 << 0 << 0;
        QTest::newRow("1") << "exit" << 1 << 1 << 0;
        QTest::newRow("69") << "exit" << 69 << 69 << 0;
        QTest::newRow("killed") << "signal" << int(SIGKILL) << -1 << int(SIGKILL);
        QTest::newRow("terminated") << "signal" << int(SIGTERM) << -1 << int(SIGTERM);
    }

    void exitStatus()
    {
        QFETCH(QString, mode);
        QFETCH(int, value);
        QFETCH(int, code);
        QFETCH(int, signal);
        Run run;
        QSignalSpy ended(&run.runner, &ToolRun::Ended);
        QVERIFY(run.toEnd({mode, QString::number(value)}));
        QCOMPARE(run.runner.ExitCode(), code);
        QCOMPARE(run.runner.ExitSignal(), signal);
        QCOMPARE(run.runner.LastEnd(), ToolRun::End::Finished);
        QCOMPARE(ended.first().at(1).toInt(), code);
    }

    // A pipe between two children: each sees the other's end close when the
    // other ends, whether it read, wrote or never started at all.
    void pipeBetweenChildren_data()
    {
        QTest::addColumn<QStringList>("writer"); // empty: nothing starts
        QTest::addColumn<QStringList>("reader");
        QTest::addColumn<QString>("read");
        QTest::addColumn<int>("writerSignal");
        const QStringList feed{"feed", "3000000", "3"};
        QTest::newRow("three megabytes through") << feed << QStringList{"drain", "3"} << "read 3000000 bytes" << 0;
        QTest::newRow("a reader that reads nothing") << feed << QStringList{"silent"} << "" << int(SIGPIPE);
        QTest::newRow("a writer that never starts") << QStringList() << QStringList{"drain", "3"} << "read 0 bytes" << 0;
    }

    void pipeBetweenChildren()
    {
        QFETCH(QStringList, writer);
        QFETCH(QStringList, reader);
        QFETCH(QString, read);
        QFETCH(int, writerSignal);
        ToolRun runs[2];
        QString output;
        connect(&runs[1], &ToolRun::ChunkRead, this, [&output](const QByteArray &chunk) { output += chunk; });
        {
            ChildPipe pipe;
            QVERIFY(pipe.IsOpen() && pipe.ReadEnd() >= ChildPipe::LowestOwnDescriptor);
            runs[0].PassDescriptor(pipe.WriteEnd(), 3);
            runs[1].PassDescriptor(pipe.ReadEnd(), 3);
            QCOMPARE(runs[0].Start({writer.isEmpty() ? QString() : Child, writer}), !writer.isEmpty());
            QVERIFY(runs[1].Start({Child, reader}));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!runs[0].IsRunning() && !runs[1].IsRunning(), 20000);
        QCOMPARE(output, read);
        QCOMPARE(runs[0].ExitSignal(), writerSignal);
    }

    void stopEndsAChildThatNeverEnds_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("ends on terminate") << "forever";
        QTest::newRow("needs the kill") << "ignoreterm";
    }

    void stopEndsAChildThatNeverEnds()
    {
        QFETCH(QString, mode);
        Run run;
        connect(&run.runner, &ToolRun::ChunkRead, this, [&run] { run.runner.Stop(); });
        QVERIFY(run.toEnd({mode}));
        QCOMPARE(run.ends.first(), ToolRun::End::Stopped);
        QCOMPARE(run.runner.LastEnd(), ToolRun::End::Stopped);
    }

    // A handler that processes events must not get chunks out of order.
    void nestedEventProcessingKeepsOrder()
    {
        Run run;
        QByteArray joined;
        connect(&run.runner, &ToolRun::ChunkRead, this, [&joined](const QByteArray &chunk) {
            QCoreApplication::processEvents();
            joined += chunk;
            QCoreApplication::processEvents();
        });
        QVERIFY(run.toEnd({QStringLiteral("slow"), QStringLiteral("20")}));
        QByteArray expected;
        for (int i = 0; i < 20; ++i)
            expected += QStringLiteral("line %1\n").arg(i).toLatin1();
        QCOMPARE(joined, expected);
    }

    void aRunningRunnerRefusesASecondRun()
    {
        Run run;
        bool second = true;
        connect(&run.runner, &ToolRun::ChunkRead, this, [&] {
            second = second && run.runner.Start({Child, {QStringLiteral("silent")}});
        });
        QVERIFY(run.toEnd({QStringLiteral("slow"), QStringLiteral("2")}));
        QVERIFY(!second);
        QCOMPARE(run.output(), QByteArray("line 0\nline 1\n"));
    }
};

QTEST_GUILESS_MAIN(tst_ToolRun)
#include "tst_toolrun.moc"
