// The command line's exports, run as the real program without a display:
// one file, a batch with a bad input, an output that cannot be written, an
// existing output, inputs named as ffmpeg's protocols and options, Ctrl+C in
// the middle of a batch, and a batch that fills the cores writing what a
// single export and the window write.
#include "AudioMeasure.h"
#include "ui/mainwindow/PresetsController.h"
#include "ui/mainwindow/PreviewController.h"
#include "Controls.h"
#include "ImportFixture.h"

#include "core/presets/PresetFile.h"
#include "core/system/NativePath.h"
#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"

#include <QLabel>
#include <QPushButton>

#include <QDir>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString errors;
};

// QProcess hands arguments over as UTF-8: other bytes reach the program
// through printf's octal escapes.
QStringList ByteForByte(const QString &program, const QStringList &arguments)
{
    QString script = QStringLiteral("exec \"$0\"");
    for (const QString &argument : arguments) {
        script += QStringLiteral(" \"$(printf '");
        for (const char byte : NativePath::ToBytes(argument))
            script += QStringLiteral("\\%1").arg(uint(static_cast<unsigned char>(byte)), 3, 8, QLatin1Char('0'));
        script += QStringLiteral("')\"");
    }
    return {QStringLiteral("-c"), script, program};
}

QProcess *Start(const QStringList &arguments, const QString &folder,
                const QString &program = TestAppFolder::binFolder() + QLatin1String("/brenvox"))
{
    auto *process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder);
    if (NativePath::HoldsRawBytes(arguments.join(QString())))
        process->start(QStringLiteral("/bin/sh"), ByteForByte(program, arguments));
    else
        process->start(program, arguments);
    return process;
}

Run Finish(QProcess *process)
{
    process->waitForFinished(120000);
    Run run{process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
            QString::fromLocal8Bit(process->readAllStandardError())};
    delete process;
    return run;
}

QStringList Files(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool Shell(const QString &command, const QString &folder, const QString &zero = QStringLiteral("sh"))
{
    return Finish(Start({QStringLiteral("-c"), command, zero}, folder, QStringLiteral("sh"))).exitCode == 0;
}

} // namespace

class tst_CliExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exports_data();
    void exports();
    void destinations_data();
    void destinations();
    void stopped_data();
    void stopped();
    void interruptedBatch_data();
    void interruptedBatch();
    void batchMatchesSingleExport_data();
    void batchMatchesSingleExport();

private:
    QTemporaryDir mFolder;
};

void tst_CliExport::initTestCase()
{
    QVERIFY(AudioMeasure::GenerateStereoTones(440, 1000, 2, mFolder.filePath(QStringLiteral("a.mp3"))));
    QVERIFY(AudioMeasure::GenerateStereoTones(300, 3000, 2, mFolder.filePath(QStringLiteral("b.wav"))));
    QFile bad(mFolder.filePath(QStringLiteral("bad.mp3")));
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("not sound\n") > 0);
    QVERIFY(AudioMeasure::Generate(QStringLiteral("testsrc=d=1:s=64x64:r=5"), mFolder.filePath(QStringLiteral("film.mp4")),
                                   {QStringLiteral("-c:v"), QStringLiteral("mpeg4")}));
    EqualizerSettings settings;
    settings.channels[EqualizerSettings::Right].gains[40] = -9;
    settings.channels[EqualizerSettings::Right].moved[40] = true;
    QString message;
    QVERIFY2(PresetFile::Save(mFolder.filePath(QStringLiteral("cut.json")), settings, &message), qPrintable(message));
    QVERIFY2(PresetFile::Save(mFolder.filePath(QString(245, 'c') + ".json"), settings, &message), qPrintable(message));
    EqualizerSettings raised;
    raised.channels[EqualizerSettings::Left].preampTenths = raised.channels[EqualizerSettings::Right].preampTenths = 60;
    QVERIFY2(PresetFile::Save(mFolder.filePath(QStringLiteral("preamp.json")), raised, &message), qPrintable(message));
    QFile profile(mFolder.filePath(QStringLiteral("right.txt")));
    QVERIFY(profile.open(QIODevice::WriteOnly) && profile.write("Channel: R\nFilter: ON PK Fc 1000 Hz Gain -6 dB Q 1\n") > 0);
}

void tst_CliExport::exports_data()
{
    QTest::addColumn<QStringList>("arguments"); // run in a fresh folder holding out/ and the hostile names
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");          // in standard error, each line
    QTest::addColumn<QStringList>("written");   // in out/ afterwards

    QTest::newRow("one file") << QStringList{"--export", "out/Mix.wav", "--left-band", "29=-12", "--low-cut", "--bandwidth", "2", "IN/a.mp3"}
                              << 0 << "a.mp3: done" << QStringList{"Mix.wav"};
    QTest::newRow("preset") << QStringList{"--export", "out/Mix.flac", "--preset", "IN/cut.json", "IN/a.mp3"}
                            << 0 << "a.mp3: done" << QStringList{"Mix.flac"};
    QTest::newRow("a preset of a 250-byte name") << QStringList{"--export", "out/Mix.wav", "--preset", "IN/" + QString(245, 'c') + ".json", "IN/a.mp3"} << 0 << "a.mp3: done" << QStringList{"Mix.wav"};
    QTest::newRow("written peak told") << QStringList{"--export", "out/Mix.wav", "IN/a.mp3"}
                                       << 0 << "a.mp3: Saved, peak -18." << QStringList{"Mix.wav"};
    QTest::newRow("a preset's preamps") << QStringList{"--export", "out/Mix.wav", "--preset", "IN/preamp.json", "IN/a.mp3"}
                                        << 0 << "a.mp3: Saved, peak -12." << QStringList{"Mix.wav"};
    // The right tone at 1 kHz 6 dB down, the left 12 dB: both below -20.
    QTest::newRow("a profile on one ear, a preamp on the other")
        << QStringList{"--export", "out/Mix.wav", "--profile", "IN/right.txt", "--left-preamp", "-12", "IN/a.mp3"} << 0
        << "onto the right channel\na.mp3: Saved, peak -2" << QStringList{"Mix.wav"};
    QTest::newRow("missing preset") << QStringList{"--export", "out/Mix.wav", "--preset", "IN/none.json", "IN/a.mp3"}
                                    << 2 << "none.json" << QStringList{};
    QTest::newRow("batch with a bad input") << QStringList{"--output-dir", "out", "--format", "flac", "--jobs", "2", "IN/a.mp3", "IN/bad.mp3", "IN/b.wav"}
                                            << 1 << "failed: IN/bad.mp3: Searching Failed: The chosen file is a text file" << QStringList{"a.flac", "b.flac"};
    QTest::newRow("inputs refused with their own reasons")
        << QStringList{"--output-dir", "out", "fifo", "empty.wav", "IN/film.mp4", "IN/a.mp3"} << 1
        << "fifo is a pipe (FIFO), not a file\nThe chosen file is empty: \nfilm.mp4: Searching Failed: The chosen file holds no audio stream"
        << QStringList{"a.wav"};
    QTest::newRow("names that are no UTF-8")
        << QStringList{"--export", NativePath::FromBytes("out/\xe9\xff.wav"), NativePath::FromBytes("in \xe9.mp3")} << 0
        << "done" << QStringList{NativePath::FromBytes("\xe9\xff.wav")};
    QTest::newRow("output cannot be written") << QStringList{"--export", "/proc/Mix.wav", "IN/a.mp3"}
                                              << 1 << "The output file could not be created: nothing can be made in the folder /proc" << QStringList{"old.wav"};
    QTest::newRow("output folder cannot be made") << QStringList{"--output-dir", "/proc/brenvox", "IN/a.mp3"}
                                                  << 1 << "the output folder cannot be made" << QStringList{"old.wav"};
    QTest::newRow("existing output kept") << QStringList{"--export", "out/old.wav", "IN/a.mp3"}
                                          << 1 << "out/old.wav exists: --overwrite replaces it" << QStringList{"old.wav"};
    QTest::newRow("existing output replaced") << QStringList{"--export", "out/old.wav", "--overwrite", "IN/a.mp3"}
                                              << 0 << "done" << QStringList{"old.wav"};
    const QStringList hostile{"--", "concat:a.wav|b.wav", "http:/in.wav", "pipe:1", "-report"};
    const QStringList fromHostile{"-report.wav", "concat:a.wav|b.wav", "in.wav", "pipe:1.wav"};
    QTest::newRow("names of protocols and options, through channel files")
        << QStringList{"--output-dir", "out", "--jobs", "1"} + hostile << 0 << "4 done" << fromHostile;
    QTest::newRow("names of protocols and options, whole runs")
        << QStringList{"--output-dir", "out", "--jobs", "4"} + hostile << 0 << "4 done" << fromHostile;
}

void tst_CliExport::exports()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QStringList, written);

    QTemporaryDir run;
    QVERIFY(QDir(run.path()).mkdir(QStringLiteral("out")));
    const QString old = run.filePath(QStringLiteral("out/old.wav"));
    QFile earlier(old);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    earlier.close();
    if (!written.contains(QStringLiteral("old.wav")))
        QVERIFY(QFile::remove(old));
    QVERIFY(QDir(run.path()).mkdir(QStringLiteral("http:")));
    for (const char *name : {"concat:a.wav|b.wav", "http:/in.wav", "pipe:1", "-report"})
        QVERIFY(QFile::copy(mFolder.filePath(QStringLiteral("a.mp3")), run.filePath(QLatin1String(name))));
    QVERIFY(QFile::copy(mFolder.filePath(QStringLiteral("a.mp3")), run.filePath(QStringLiteral("plain.mp3"))));
    QVERIFY(::rename(QFile::encodeName(run.filePath(QStringLiteral("plain.mp3"))).constData(),
                     (QFile::encodeName(run.path()) + "/in \xe9.mp3").constData()) == 0);
    QVERIFY(::mkfifo(QFile::encodeName(run.filePath(QStringLiteral("fifo"))).constData(), 0600) == 0);
    QFile(run.filePath(QStringLiteral("empty.wav"))).open(QIODevice::WriteOnly);
    arguments.replaceInStrings(QStringLiteral("IN/"), mFolder.path() + QLatin1Char('/'));
    said.replace(QStringLiteral("IN/"), mFolder.path() + QLatin1Char('/'));

    const Run result = Finish(Start(arguments, run.path()));
    for (const QString &line : said.split(QLatin1Char('\n')))
        QVERIFY2(result.errors.contains(line), qPrintable(result.errors));
    QCOMPARE(result.exitCode, exitCode);
    for (QString &name : written) {
        // Written under those very bytes; measured under a plain name.
        if (NativePath::HoldsRawBytes(name)) {
            const QString plain = QStringLiteral("plain.wav");
            QVERIFY(::rename(NativePath::ToBytes(run.filePath(QStringLiteral("out/") + name)).constData(),
                             QFile::encodeName(run.filePath(QStringLiteral("out/") + plain)).constData()) == 0);
            name = plain;
        }
    }
    QCOMPARE(Files(run.filePath(QStringLiteral("out"))), written);
    QCOMPARE(QDir(run.path()).entryList({QStringLiteral("*.log")}, QDir::Files), QStringList()); // no -report
    for (const QString &name : written) {
        const QString path = run.filePath(QStringLiteral("out/") + name);
        const bool kept = name == QLatin1String("old.wav") && exitCode != 0;
        QCOMPARE(QFileInfo(path).size() == 7, kept);
        if (!kept)
            QCOMPARE(AudioMeasure::Channels(path), 2);
    }
}

void tst_CliExport::destinations_data()
{
    QTest::addColumn<QString>("setup"); // a shell command in the run's folder; the output goes into d
    QTest::addColumn<QString>("as");    // brenvox runs after this
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("said");  // D: the output's folder
    QTest::addColumn<bool>("written");
    const QString nobody = "setpriv --reuid 65534 --regid 65534 --clear-groups";
    const QString noProc = "unshare -m sh -c 'mount -t tmpfs -o size=4k tmpfs /proc && exec \"$0\" \"$@\"'";
    const QString plain = "mkdir -p d/sub && touch d/old.wav && chmod 400 d/old.wav";
    const QString sticky = "mkdir -m 1777 d && " + nobody + " ln -s $PWD/victim d/link.wav";
    QTest::newRow("plain folder") << plain << "" << "out.wav" << "done, written to D/out.wav" << true;
    QTest::newRow("exFAT through FUSE") << "truncate -s 64M img && mkfs.exfat img && mkdir d && mount.exfat-fuse $(losetup -f --show img) d" << "" << "out.wav" << "The file system of D keeps no file private and may not refuse" << true;
    QTest::newRow("another user's link in a sticky folder") << sticky << "" << "link.wav" << "D/link.wav is another user's link in a shared folder and is not followed" << false;
    QTest::newRow("one's own link to that link") << sticky + " && ln -s d/link.wav mine.wav" << "" << "../mine.wav" << "D/link.wav is another user's link" << false;
    QTest::newRow("no /proc, others may rename in the folder") << "mkdir -m 777 d" << noProc << "out.wav" << "without /proc, others who may rename in D could lead the tools elsewhere" << false;
    QTest::newRow("no /proc, a folder of one's own") << "mkdir d" << noProc << "out.wav" << "done" << true;
    QTest::newRow("missing folder") << "true" << "" << "out.wav" << "the folder D does not exist" << false;
    QTest::newRow("read-only folder") << "mkdir -m 555 d" << nobody << "out.wav" << "the folder D is read-only" << false;
    QTest::newRow("folder that cannot be entered") << "mkdir -m 666 d" << nobody << "out.wav" << "the folder D cannot be entered" << false;
    QTest::newRow("a folder as target") << plain << "" << "sub" << "D/sub is a folder" << false;
    QTest::newRow("read-only file") << plain << "" << "old.wav" << "D/old.wav is read-only and is not replaced" << false;
}

// Written or refused with the reason, --overwrite or not; a link's victim stays; nothing hidden stays.
void tst_CliExport::destinations()
{
    QFETCH(QString, setup);
    QFETCH(QString, as);
    QFETCH(QString, output);
    QFETCH(QString, said);
    QFETCH(bool, written);
    if (::geteuid() != 0)
        QSKIP("other users, mounts and namespaces need root");
    QTemporaryDir run;
    const QString dir = run.filePath(QStringLiteral("d"));
    const auto detach = qScopeGuard([&] { Shell("umount d; losetup -j img -O NAME -n | xargs -r losetup -d", run.path()); });
    if (!Shell("chmod 755 . && cp " + mFolder.filePath("a.mp3") + " . && echo victim > victim && chmod 600 victim && " + setup, run.path()))
        QSKIP(qPrintable("this cannot be made here: " + setup)); // no loop device or FUSE for exFAT
    const Run result = Finish(Start({"-c", as + " \"$0\" \"$@\"", TestAppFolder::binFolder() + "/brenvox", "--export",
                                     dir + '/' + output, "--overwrite", "a.mp3"}, run.path(), QStringLiteral("sh")));
    QVERIFY2(result.errors.contains(QString(said).replace(QLatin1String("D"), dir)), qPrintable(result.errors));
#ifdef __SANITIZE_ADDRESS__
    // The leak check at exit needs /proc, where it also reads its options: it fails any such run.
    if (!as.startsWith(QLatin1String("unshare")))
#endif
        QCOMPARE(result.exitCode, written ? 0 : 1);
    QCOMPARE(AudioMeasure::Channels(dir + '/' + output) == 2, written);
    QCOMPARE(TestAppFolder::fileBytes(run.filePath("victim")), QByteArray("victim\n"));
    QCOMPARE(QDir(dir).entryList({QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

void tst_CliExport::stopped_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("moment"); // the tool that sends it as it starts; "move": the check, once done
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGKILL, SIGPIPE})
        for (const char *moment : {"render", "merge", "check", "move"})
            QTest::addRow("%s during the %s", sigabbrev_np(signal), moment) << signal << QString::fromLatin1(moment);
}

// Whenever a signal comes, exit status, words and target agree, and nothing hidden stays.
void tst_CliExport::stopped()
{
    QFETCH(int, signal);
    QFETCH(QString, moment);
    QTemporaryDir run(QFileInfo(TestAppFolder::binFolder()).path() + QLatin1String("/stopped-XXXXXX")); // brenvox is linked here
    const QString kill = QStringLiteral("kill -%1 $PPID").arg(signal);
    const QString tool = "#!/bin/sh\nreal=" + TestAppFolder::binFolder() + "/${0##*/}\n"
        "case \"$*\" in *amerge*) at=merge;; *pipe:*) at=render;; */fd/*) at=check;; esac\n"
        "case $at in " + moment + ") " + kill + ";; esac\n[ \"$at\" = check ] && [ " + moment + " = move ] && "
        "{ \"$real\" \"$@\"; s=$?; (sleep 0.01; " + kill + ") >/dev/null 2>&1 & exit $s; }\nexec \"$real\" \"$@\"\n";
    QVERIFY(Shell("ln " + TestAppFolder::binFolder() + "/brenvox . && cp " + mFolder.filePath("b.wav") + " . && echo earlier > out.wav"
                  " && for t in ffmpeg ffprobe; do printf '%s' \"$0\" > $t && chmod +x $t; done", run.path(), tool));
    const QString target = run.filePath(QStringLiteral("out.wav"));
    const Run result = Finish(Start({"--export", target, "--overwrite", "b.wav"}, run.path(), run.filePath("brenvox")));
    const bool replaced = TestAppFolder::fileBytes(target) != "earlier\n";
    QCOMPARE(replaced, replaced && AudioMeasure::Channels(target) == 2);
    if (result.exitCode == -1) // its tools are ended here, and the next export there clears up ("[/]": not the shell)
        QVERIFY(signal == SIGKILL && Shell("pgrep -f '[/]" + run.path().mid(1) + "' | xargs -r kill -KILL; true", run.path())
                && Finish(Start({"--export", "again.wav", "b.wav"}, run.path())).exitCode == 0);
    else
        QVERIFY2(result.exitCode == (replaced ? 0 : 130) && result.errors.contains("done, written to") == replaced, qPrintable(result.errors));
    QCOMPARE(QDir(run.path()).entryList({QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

void tst_CliExport::interruptedBatch_data()
{
    QTest::addColumn<QStringList>("jobs");
    QTest::newRow("one at a time, through channel files") << QStringList{"--jobs", "1"};
    QTest::newRow("one a core, whole runs") << QStringList{};
}

// SIGINT while the first of several files is exported: every tool stops,
// nothing partial stays, and the status says so.
void tst_CliExport::interruptedBatch()
{
    QFETCH(QStringList, jobs);
    QTemporaryDir run;
    QStringList arguments = QStringList{"--output-dir", "out"} + jobs;
    for (int i = 0; i < 3; ++i) {
        const QString input = run.filePath(QStringLiteral("long%1.wav").arg(i));
        QVERIFY(AudioMeasure::GenerateStereoTones(440, 1000, 120, input));
        arguments << input;
    }
    QProcess *process = Start(arguments, run.path());
    QString errors;
    QTRY_VERIFY_WITH_TIMEOUT((errors += QString::fromLocal8Bit(process->readAllStandardError()))
                                 .contains(QLatin1String("exported")), 60000);
    ::kill(pid_t(process->processId()), SIGINT);
    const Run result = Finish(process);

    QVERIFY2(result.errors.contains(QLatin1String("not done: ")), qPrintable(errors + result.errors));
    QCOMPARE(result.exitCode, 130);
    QCOMPARE(Files(run.filePath(QStringLiteral("out"))), QStringList());
    QProcess search;
    search.start(QStringLiteral("pgrep"), {QStringLiteral("-f"), run.path()});
    search.waitForFinished();
    QCOMPARE(search.readAllStandardOutput(), QByteArray());
}

void tst_CliExport::batchMatchesSingleExport_data()
{
    QTest::addColumn<QString>("source"); // a lavfi graph
    QTest::newRow("stereo") << "sine=f=300:d=3[l];sine=f=2000:d=3[r];[l][r]amerge=inputs=2";
    QTest::newRow("mono") << "sine=f=900:d=3";
}

// With as many files as cores, each file is rendered in one ffmpeg run
// instead of through channel files: the result must not differ by a bit,
// from a single export's nor from the window's, whose session builds its
// chains for the preset and the source the way the command line's does.
void tst_CliExport::batchMatchesSingleExport()
{
    QFETCH(QString, source);
    QTemporaryDir run;
    EqualizerSettings preset;
    preset.channels[EqualizerSettings::Left].gains[20] = 6;
    preset.channels[EqualizerSettings::Right].gains[40] = -9;
    preset.channels[EqualizerSettings::Left].moved.fill(true);
    preset.channels[EqualizerSettings::Right].moved.fill(true);
    preset.lowCut = true;
    preset.bandwidth = 2;
    preset.asDrawn = true;
    QString message;
    QVERIFY2(PresetFile::Save(run.filePath(QStringLiteral("shape.json")), preset, &message), qPrintable(message));
    const QStringList settings{"--preset", "shape.json"};
    QStringList inputs;
    for (int i = 0; i < std::max(2, QThread::idealThreadCount()); ++i) {
        inputs << run.filePath(QStringLiteral("in%1.mp3").arg(i));
        QVERIFY(i == 0 ? AudioMeasure::Generate(source, inputs.first())
                       : QFile::copy(inputs.first(), inputs.last()));
    }
    const Run batch = Finish(Start(QStringList{"--output-dir", "out"} + settings + inputs, run.path()));
    QVERIFY2(batch.exitCode == 0, qPrintable(batch.errors));
    const Run single = Finish(Start(QStringList{"--export", "single.wav"} + settings + QStringList{inputs.first()}, run.path()));
    QVERIFY2(single.exitCode == 0, qPrintable(single.errors));
    const QByteArray written = TestAppFolder::fileBytes(run.filePath(QStringLiteral("single.wav")));
    QVERIFY(written.size() > 1000);
    QVERIFY(TestAppFolder::fileBytes(run.filePath(QStringLiteral("out/in0.wav"))) == written);

    ImportFixture window;
    QVERIFY(window.form->Presets().LoadPreset(run.filePath(QStringLiteral("shape.json"))));
    QVERIFY(window.Open(inputs.first()));
    QCOMPARE(window.WaitForEnd(), ImportFixture::End::Completed);
    const QString saved = run.filePath(QStringLiteral("window.wav"));
    SetFileDialogAnswer([&saved](const FileDialogRequest &) { return saved; });
    Control<QPushButton>(window.form, "Command1", 1)->click();
    QTRY_VERIFY_WITH_TIMEOUT(OpenWindow<ExportWindow>() && OpenWindow<ExportWindow>()->Label1[8]->text() == QLatin1String("Completed"), 60000);
    window.form->CloseExportWindow();
    QVERIFY(TestAppFolder::fileBytes(saved) == written);
}

QTEST_MAIN(tst_CliExport)
#include "tst_cliexport.moc"
