// What the command line asks for, read without a window.
#include "cli/CommandLine.h"

#include <QtTest>

using Action = CommandLineRequest::Action;

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void requests_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("textHas");
        QTest::newRow("nothing") << QStringList{} << int(Action::Window) << QStringList{} << "";
        QTest::newRow("a file") << QStringList{"song.mp3"} << int(Action::Window) << QStringList{"song.mp3"} << "";
        QTest::newRow("a file named like an option, after --")
            << QStringList{"--", "-x.wav"} << int(Action::Window) << QStringList{"-x.wav"} << "";
        QTest::newRow("help") << QStringList{"--help"} << int(Action::Help) << QStringList{} << "Usage: brenvox";
        QTest::newRow("version") << QStringList{"--version"} << int(Action::Version) << QStringList{}
                                 << "brenvox 0.1";
        QTest::newRow("unknown option") << QStringList{"--loud"} << int(Action::Error) << QStringList{}
                                        << "Unknown option 'loud'";
    }

    void requests()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        QFETCH(QString, textHas);
        const CommandLineRequest request = ParseCommandLine(QStringList{"brenvox"} + arguments);
        QCOMPARE(int(request.action), action);
        QCOMPARE(request.files, files);
        QVERIFY2(request.text.contains(textHas), qPrintable(request.text));
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
