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
        QTest::newRow("export") << QStringList{"--export", "out.flac", "--left-band", "65=+3", "in.mp3"}
                                << int(Action::Export) << QStringList{"in.mp3"} << "";
        QTest::newRow("batch") << QStringList{"--output-dir", "eq", "--jobs", "3", "a.mp3", "b.mp3"}
                               << int(Action::Batch) << QStringList{"a.mp3", "b.mp3"} << "";
        QTest::newRow("export of two inputs") << QStringList{"--export", "out.wav", "a.mp3", "b.mp3"}
                                              << int(Action::Error) << QStringList{} << "exactly one INPUT";
        QTest::newRow("band beyond the range") << QStringList{"--export", "o.wav", "--right-band", "66=1", "a.mp3"}
                                               << int(Action::Error) << QStringList{} << "not 66=1";
        QTest::newRow("band gain beyond an int") << QStringList{"--export", "o.wav", "--left-band", "30=99999999999", "a.mp3"}
                                                 << int(Action::Error) << QStringList{} << "not 30=99999999999";
        QTest::newRow("equalizer option without an output") << QStringList{"--low-cut", "a.mp3"}
                                                            << int(Action::Error) << QStringList{} << "need --export";
        QTest::newRow("a profile and the options")
            << QStringList{"--export", "o.wav", "--profile", "p.txt", "--as-drawn", "--avoid-clipping", "--left-preamp", "-3.5", "a.mp3"}
            << int(Action::Export) << QStringList{"a.mp3"} << "";
        QTest::newRow("preamp beyond the range") << QStringList{"--export", "o.wav", "--right-preamp", "12.1", "a.mp3"}
                                                 << int(Action::Error) << QStringList{} << "--right-preamp wants";
        QTest::newRow("a profile without an output") << QStringList{"--profile", "p.txt", "a.mp3"}
                                                     << int(Action::Error) << QStringList{} << "need --export";
        QTest::newRow("a preset opens the window with it") << QStringList{"--preset", "p.json", "a.mp3"}
                                                           << int(Action::Window) << QStringList{"a.mp3"} << "";
        QTest::newRow("a preset and a band without an output") << QStringList{"--preset", "p.json", "--left-band", "1=2"}
                                                               << int(Action::Error) << QStringList{} << "need --export";
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
