// The command line's exports, run as the real program without a display:
// one file, a batch with a bad input, an output that cannot be written, an
// existing output, inputs named as ffmpeg's protocols and options, Ctrl+C in
// the middle of a batch, and a batch that fills the cores writing what a
// single export and the window write.
#include "AudioMeasure.h"
#include "ImportFixture.h"

#include "core/presets/PresetFile.h"
#include "core/system/NativePath.h"
#include "ui/FileDialogs.h"
#include "ui/Form3.h"

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

QProcess *Start(const QStringList &arguments, const QString &folder)
{
    auto *process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder);
    const QString program = TestAppFolder::binFolder() + QLatin1String("/brenvox");
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

} // namespace

class tst_CliExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exports_data();
    void exports();
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
    EqualizerSettings raised;
    raised.channels[EqualizerSettings::Left].preampTenths = raised.channels[EqualizerSettings::Right].preampTenths = 60;
    QVERIFY2(PresetFile::Save(mFolder.filePath(QStringLiteral("preamp.json")), raised, &message), qPrintable(message));
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
    QTest::newRow("written peak told") << QStringList{"--export", "out/Mix.wav", "IN/a.mp3"}
                                       << 0 << "a.mp3: Saved, peak -18." << QStringList{"Mix.wav"};
    QTest::newRow("a preset's preamps") << QStringList{"--export", "out/Mix.wav", "--preset", "IN/preamp.json", "IN/a.mp3"}
                                        << 0 << "a.mp3: Saved, peak -12." << QStringList{"Mix.wav"};
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
                                              << 1 << "The output file could not be created: /proc/Mix.wav" << QStringList{"old.wav"};
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
    QVERIFY(window.form->LoadPreset(run.filePath(QStringLiteral("shape.json"))));
    QVERIFY(window.Open(inputs.first()));
    QCOMPARE(window.WaitForEnd(), ImportFixture::End::Completed);
    const QString saved = run.filePath(QStringLiteral("window.wav"));
    SetFileDialogAnswer([&saved](const FileDialogRequest &) { return saved; });
    window.form->Command1[1]->click();
    QTRY_VERIFY_WITH_TIMEOUT(Form3::Loaded() && Form3::Loaded()->Label1[8]->text() == QLatin1String("Completed"), 60000);
    Form3::UnloadIfLoaded();
    QVERIFY(TestAppFolder::fileBytes(saved) == written);
}

QTEST_MAIN(tst_CliExport)
#include "tst_cliexport.moc"
