// The console runner, driven with a small child program of our own.
#include "core/tools/CommandText.h"
#include "process/ChildPipe.h"
#include "process/DOSOutputs.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <csignal>

namespace {

QString ChildCommand(const QStringList &arguments)
{
    QString text = CommandText::QuoteArgument(QStringLiteral(RUNNER_CHILD));
    for (const QString &argument : arguments)
        text += QLatin1Char(' ') + CommandText::QuoteArgument(argument);
    return text;
}

// Runs one command and keeps every chunk it raised.
struct Run
{
    std::shared_ptr<DOSOutputs> runner = DOSOutputs::Create();
    QStringList chunks;
    QByteArray result;

    explicit Run(const QString &command = QString())
    {
        QObject::connect(runner.get(), &DOSOutputs::ReceiveOutputs, runner.get(),
                         [this](QString &chunk) { chunks << chunk; });
        if (!command.isEmpty()) {
            runner->SetCommandLine(command);
            result = runner->ExecuteCommand();
        }
    }
};

} // namespace

class tst_DOSOutputs : public QObject
{
    Q_OBJECT

private slots:
    void chunksOfAtMost256Bytes()
    {
        Run run(ChildCommand({QStringLiteral("write"), QStringLiteral("600")}));
        QStringList expected{QString(256, QLatin1Char('x')), QString(256, QLatin1Char('x')),
                             QString(88, QLatin1Char('x')), QString()};
        QCOMPARE(run.chunks, expected);
        QCOMPARE(run.runner->Outputs(), QString(600, QLatin1Char('x')));
        QCOMPARE(QString::fromLatin1(run.result), run.runner->Outputs());
        QCOMPARE(run.runner->LastRunEnd(), DOSOutputs::RunEnd::Finished);
    }

    void silentChildGivesOneEmptyChunk()
    {
        Run run(ChildCommand({QStringLiteral("silent")}));
        QCOMPARE(run.chunks, QStringList{QString()});
        QVERIFY(run.runner->Outputs().isEmpty());
    }

    void standardErrorArrivesLikeOutput()
    {
        Run run(ChildCommand({QStringLiteral("stderr"), QStringLiteral("Invalid data found\r\n")}));
        QCOMPARE(run.chunks, (QStringList{QStringLiteral("Invalid data found\r\n"), QString()}));
    }

    void bytesBecomeLatin1Characters()
    {
        Run run(ChildCommand({QStringLiteral("bytes")}));
        const QString outputs = run.runner->Outputs();
        QCOMPARE(outputs.size(), 256);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(outputs.at(i).unicode(), char16_t(i));
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
        Run run(ChildCommand({QStringLiteral("args"), argument}));
        QCOMPARE(run.runner->Outputs(),
                 QString::fromLatin1(QByteArray("[") + argument.toLocal8Bit() + QByteArray("]\n")));
    }

    void nothingToStart_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("failedStart");
        QTest::newRow("empty command") << QString() << false;
        QTest::newRow("only blanks") << QStringLiteral("   ") << false;
        QTest::newRow("missing program") << QStringLiteral("/nonexistent/ffprobe -i x") << true;
        QTest::newRow("not executable") << QStringLiteral("/etc/hostname") << true;
    }

    void nothingToStart()
    {
        QFETCH(QString, command);
        QFETCH(bool, failedStart);
        Run run;
        run.runner->SetCommandLine(ChildCommand({QStringLiteral("write"), QStringLiteral("5")}));
        run.runner->ExecuteCommand();
        run.chunks.clear();
        run.runner->SetCommandLine(command);
        QVERIFY(run.runner->ExecuteCommand().isEmpty());
        QVERIFY(run.chunks.isEmpty());
        QCOMPARE(run.runner->Outputs(), QStringLiteral("xxxxx"));
        if (failedStart) {
            QCOMPARE(run.runner->LastRunEnd(), DOSOutputs::RunEnd::FailedToStart);
            QVERIFY(!run.runner->FailureReason().isEmpty());
        }
    }

    void argumentReplacesTheCommandLine()
    {
        Run run;
        run.runner->SetCommandLine(QStringLiteral("/nonexistent/tool"));
        const QString command = ChildCommand({QStringLiteral("silent")});
        run.runner->ExecuteCommand(command);
        QCOMPARE(run.runner->CommandLine(), command);
        QCOMPARE(run.chunks.size(), 1);
    }

    void handlerChangesStayLocal()
    {
        auto runner = DOSOutputs::Create();
        QStringList seen;
        connect(runner.get(), &DOSOutputs::ReceiveOutputs, this, [&seen](QString &chunk) {
            seen << chunk;
            chunk = QStringLiteral("changed");
        });
        connect(runner.get(), &DOSOutputs::ReceiveOutputs, this, [](QString &chunk) { chunk.clear(); });
        runner->SetCommandLine(ChildCommand({QStringLiteral("write"), QStringLiteral("300")}));
        runner->ExecuteCommand();
        QCOMPARE(seen, (QStringList{QString(256, QLatin1Char('x')), QString(44, QLatin1Char('x')), QString()}));
        QCOMPARE(runner->Outputs(), QString(300, QLatin1Char('x')));
    }

    void standardInputIsAtItsEnd()
    {
        QElapsedTimer clock;
        clock.start();
        Run run(ChildCommand({QStringLiteral("stdin")}));
        QCOMPARE(run.runner->Outputs(), QStringLiteral("read 0 bytes"));
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
        Run run(ChildCommand({mode, QString::number(value)}));
        QCOMPARE(run.runner->ExitCode(), code);
        QCOMPARE(run.runner->ExitSignal(), signal);
        QCOMPARE(run.runner->LastRunEnd(), DOSOutputs::RunEnd::Finished);
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
        DOSOutputs runs[2];
        QString output;
        connect(&runs[1], &DOSOutputs::ChunkRead, this, [&output](const QByteArray &chunk) { output += chunk; });
        {
            ChildPipe pipe;
            QVERIFY(pipe.IsOpen() && pipe.ReadEnd() >= ChildPipe::LowestOwnDescriptor);
            runs[0].PassDescriptor(pipe.WriteEnd(), 3);
            runs[1].PassDescriptor(pipe.ReadEnd(), 3);
            QCOMPARE(runs[0].Start(writer.isEmpty() ? QString() : ChildCommand(writer)), !writer.isEmpty());
            QVERIFY(runs[1].Start(ChildCommand(reader)));
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
        connect(run.runner.get(), &DOSOutputs::ReceiveOutputs, this, [&run](QString &chunk) {
            if (!chunk.isEmpty())
                run.runner->Stop();
        });
        run.runner->SetCommandLine(ChildCommand({mode}));
        run.runner->ExecuteCommand();
        QCOMPARE(run.runner->LastRunEnd(), DOSOutputs::RunEnd::Stopped);
        QVERIFY(!run.runner->IsRunning());
        QVERIFY(run.chunks.last().isEmpty());
    }

    void timersKeepFiringWhileARunWaits()
    {
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
        timer.start(20);
        Run run(ChildCommand({QStringLiteral("slow"), QStringLiteral("10")}));
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QCOMPARE(run.runner->Outputs().count(QLatin1Char('\n')), 10);
    }

    // The owner drops its runner from inside a handler: the run goes on
    // safely to its end and the runner is freed afterwards.
    void ownerReleasesTheRunnerDuringARun()
    {
        auto runner = DOSOutputs::Create();
        std::weak_ptr<DOSOutputs> watch = runner;
        int chunks = 0;
        connect(runner.get(), &DOSOutputs::ReceiveOutputs, this, [&](QString &) {
            ++chunks;
            runner.reset();
        });
        runner->SetCommandLine(ChildCommand({QStringLiteral("slow"), QStringLiteral("3")}));
        DOSOutputs *raw = runner.get();
        raw->ExecuteCommand();
        QVERIFY(chunks >= 2);
        QVERIFY(watch.expired());
    }

    // A handler that processes events must not get chunks out of order.
    void nestedEventProcessingKeepsOrder()
    {
        auto runner = DOSOutputs::Create();
        QString joined;
        connect(runner.get(), &DOSOutputs::ReceiveOutputs, this, [&joined](QString &chunk) {
            QCoreApplication::processEvents();
            joined += chunk;
            QCoreApplication::processEvents();
        });
        runner->SetCommandLine(ChildCommand({QStringLiteral("slow"), QStringLiteral("20")}));
        runner->ExecuteCommand();
        QString expected;
        for (int i = 0; i < 20; ++i)
            expected += QStringLiteral("line %1\n").arg(i);
        QCOMPARE(joined, expected);
    }

    void aRunningRunnerRefusesASecondRun()
    {
        auto runner = DOSOutputs::Create();
        QByteArray inner = "not run";
        bool tried = false;
        connect(runner.get(), &DOSOutputs::ReceiveOutputs, this, [&](QString &) {
            if (!tried) {
                tried = true;
                inner = runner->ExecuteCommand();
            }
        });
        runner->SetCommandLine(ChildCommand({QStringLiteral("slow"), QStringLiteral("2")}));
        runner->ExecuteCommand();
        QVERIFY(inner.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_DOSOutputs)
#include "tst_dosoutputs.moc"
