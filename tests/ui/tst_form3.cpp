// Save As and the export window: the dialog, the progress over the three
// ffmpeg runs, real exports measured, and the failure and cancel paths.
#include "BrenvoxSession.h"
#include "Controls.h"
#include "core/system/AppFolder.h"
#include "TakenSource.h"

#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"
#include "process/ToolRun.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QtTest>

#include <cmath>
#include <sys/mount.h>
#include <unistd.h>

class tst_Form3 : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void saveDialog();
    void progress_data();
    void progress();
    void realExport_data();
    void realExport();
    void failure_data();
    void failure();
    void cancel_data();
    void cancel();
    void faults_data();
    void faults();
    void saveAsAgainStartsANewExport();
    void outputSafety_data();
    void outputSafety();
};

namespace {

// A stand-in's output: a file, or a render's pipe, which a stand-in merge
// never reads.
const QByteArray WriteOutput = "case \"$last\" in pipe:*) ;; *) printf 'RIFF' > \"$last\";; esac\n";

// Writes its output after reporting 00:00:10.00 in three status lines.
const QByteArray TenSecondTool =
    "#!/bin/sh\necho run >> \"$0.runs\"\nfor last in \"$@\"; do :; done\nlast=${last#file:}\n"
    "printf 'size=N/A time=N/A bitrate=N/A speed=N/A    \\r' >&2\nsleep 0.3\n"
    "printf 'size=    1kB time=00:00:05.00 bitrate= 1.0kbits/s speed=1x    \\r' >&2\nsleep 0.3\n"
    "printf 'size=    2kB time=00:00:10.00 bitrate= 1.0kbits/s speed=1x    \\n' >&2\n"
    + WriteOutput;

// What the real ffprobe says of a complete 10 s export and of its source.
const QByteArray TenSecondProbe = "#!/bin/sh\nprintf 'channels=2\\nduration=10.000000\\n'\n";

QStringList Statuses(const ExportWindow *form)
{
    return {Control<QLabel>(form, "Label1", 6)->text(), Control<QLabel>(form, "Label1", 7)->text(), Control<QLabel>(form, "Label1", 8)->text()};
}

int Runs(const TestAppFolder &app)
{
    QFile file(app.path() + QLatin1String("/ffmpeg.runs"));
    return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
}

void AnswerSaveDialog(const QString &path)
{
    SetFileDialogAnswer([path](const FileDialogRequest &) { return path; });
}

bool Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// "Save As" answered with this path; the export window it opened.
QPointer<ExportWindow> SaveAs(MainWindow *form, const QString &path)
{
    AnswerSaveDialog(path);
    Control<QPushButton>(form, "Command1", 1)->click();
    return OpenWindow<ExportWindow>();
}

} // namespace

void tst_Form3::cleanup()
{
    SetFileDialogAnswer(FileDialogAnswer());
    if (ExportWindow *window = OpenWindow<ExportWindow>())
        window->close();
}

void tst_Form3::saveDialog()
{
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    session.session.SetOutputFile(QStringLiteral("/earlier/choice.wav"));
    FileDialogRequest asked;
    SetFileDialogAnswer([&](const FileDialogRequest &request) {
        asked = request;
        return QString(); // cancelled
    });
    Control<QPushButton>(session.form, "Command1", 1)->click();

    QCOMPARE(asked.kind, FileDialogRequest::Kind::Save);
    QCOMPARE(asked.title, QStringLiteral("Save As"));
    QCOMPARE(asked.defaultSuffix, QStringLiteral("wav"));
    QVERIFY(asked.confirmOverwrite);
    QCOMPARE(asked.nameFilters.size(), 8);
    QCOMPARE(asked.nameFilters[0], QStringLiteral("Wav Files (*.wav) (*.WAV)"));
    QCOMPARE(asked.nameFilters[1], QStringLiteral("MP3 Files (*.mp3) (*.MP3)"));
    QCOMPARE(asked.nameFilters[7], QStringLiteral("All Files (*.*) (*)"));
    QCOMPARE(asked.selectedNameFilter, asked.nameFilters[0]);
    QCOMPARE(session.session.OutputFile(), QStringLiteral("/earlier/choice.wav"));
    QVERIFY(!OpenWindow<ExportWindow>());
}

void tst_Form3::progress_data()
{
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QList<int>>("bars");
    QTest::addColumn<QString>("finalLabel");

    QTest::newRow("10 s") << "10" << QList<int>{0, 5, 10, 15, 20, 25, 30}
                          << "Overall Progress: 100.00% Completed";
    QTest::newRow("no duration: steps") << "" << QList<int>{0, 1, 2, 3} << "Overall Progress: 100.00% Completed";
}

// The bar over three times the duration, the text one chunk behind it, the
// statuses, and the main window's sequence buttons while the export runs.
void tst_Form3::progress()
{
    QFETCH(QString, duration);
    QFETCH(QList<int>, bars);
    QFETCH(QString, finalLabel);

    BrenvoxSession session(QStringLiteral("my app"));
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    session.app.writeTool(QStringLiteral("ffmpeg"), TenSecondTool);
    session.app.writeTool(QStringLiteral("ffprobe"), TenSecondProbe);
    TakeSource(session.session, [&](Session::Source &s) { s.duration = duration; });
    const QString output = session.app.scratchPath(QStringLiteral("My Mix.wav"));
    MainWindow *form = session.form;
    QPointer<ExportWindow> window = SaveAs(form, output);
    QVERIFY(window);
    QCOMPARE(window->Label1[1]->text(), output);
    QCOMPARE(Statuses(window), (QStringList{"Idle", "Idle", "Idle"}));
    QCOMPARE(window->Label1[5]->text(), QStringLiteral("Overall Progress 0% Complete"));
    QCOMPARE(window->PBar->maximum(), duration.isEmpty() ? 0 : 30);

    QList<int> seenBars{window->PBar->value()};
    connect(window->PBar, &QProgressBar::valueChanged, this, [&](int value) { seenBars << value; });
    QStringList labels;
    QList<bool> buttons;
    Watcher watcher([&] {
        if (!window)
            return;
        if (labels.isEmpty() || labels.last() != window->Label1[5]->text())
            labels << window->Label1[5]->text();
        if (buttons.isEmpty() && window->ExportRunning())
            buttons << Control<QPushButton>(form, "Command2")->isEnabled() << Control<QPushButton>(form, "Command1", 0)->isEnabled()
                    << Control<QPushButton>(form, "Command1", 1)->isEnabled() << Control<QPushButton>(form, "Command1", 2)->isEnabled();
    }, 2);
    QTRY_COMPARE_WITH_TIMEOUT(Statuses(window), (QStringList{"Completed", "Completed", "Completed"}), 15000);

    QCOMPARE(Runs(session.app), 3);
    QCOMPARE(seenBars, bars);
    QCOMPARE(labels.value(1), QStringLiteral("Overall Progress: 00.00% Completed"));
    QCOMPARE(window->Label1[5]->text(), finalLabel);
    QCOMPARE(buttons, (QList<bool>{false, false, false, false}));
    QVERIFY(Control<QPushButton>(form, "Command1", 1)->isEnabled());
    QVERIFY(window->isVisible());
    QVERIFY(!window->Timer1->isActive());
    QVERIFY(!window->Job());
    QVERIFY(window->Label2->text().isEmpty());
    QVERIFY(QFile::exists(output));
}

void tst_Form3::realExport_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("codec");

    QTest::newRow("wav") << "Equalized Mix.wav" << "pcm_s16le";
    QTest::newRow("mp3") << "Equalized Mix.mp3" << "mp3";
    QTest::newRow("flac") << "Equalized Mix.flac" << "flac";
}

// Left band 29 (1 kHz) at position 12 cuts 12 dB there and nowhere else.
void tst_Form3::realExport()
{
    QFETCH(QString, name);
    QFETCH(QString, codec);

    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(5));
    session.setLeftBand(29, 12);
    QVERIFY(session.session.FilterChain(0).contains(QLatin1String("equalizer=f=1000:width_type=o:width=1:g=-12")));
    const QString output = session.app.scratchPath(name);
    // An earlier file of that name is replaced, its permissions kept.
    QVERIFY(Write(output, "earlier") && QFile::setPermissions(output, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions kept = QFile::permissions(output);
    QPointer<ExportWindow> window = SaveAs(session.form, output);
    QVERIFY(window);
    QTRY_COMPARE_WITH_TIMEOUT(Statuses(window), (QStringList{"Completed", "Completed", "Completed"}), 60000);
    QCOMPARE(window->Label1[5]->text(), QStringLiteral("Overall Progress: 100.00% Completed"));
    QCOMPARE(QFile::permissions(output), kept);

    QCOMPARE(AudioMeasure::CodecName(output), codec);
    QCOMPARE(AudioMeasure::Channels(output), 2);
    const double duration = AudioMeasure::DurationSeconds(output);
    QVERIFY2(std::abs(duration - 5.0) < 0.1, qPrintable(QString::number(duration)));
    if (codec != QLatin1String("pcm_s16le"))
        return;

    // Two band-passes in a row keep the pink noise's strong lows from
    // leaking into the measurement.
    const QString near1k = QStringLiteral("bandpass=f=1000:width_type=q:w=8,bandpass=f=1000:width_type=q:w=8");
    const QString left = session.workspace() + "/Left.wav";
    const QString right = session.workspace() + "/Right.wav";
    const double cut = AudioMeasure::MeanVolumeDb(left, 0, near1k) - AudioMeasure::MeanVolumeDb(output, 0, near1k);
    const double rightChange = AudioMeasure::MeanVolumeDb(output, 1) - AudioMeasure::MeanVolumeDb(right, 0);
    const double rightNear1k = AudioMeasure::MeanVolumeDb(output, 1, near1k) - AudioMeasure::MeanVolumeDb(right, 0, near1k);
    qInfo("left near 1 kHz cut by %.2f dB; right changed by %.2f dB (%.2f dB near 1 kHz); %.3f s",
          cut, rightChange, rightNear1k, duration);
    QVERIFY(std::abs(cut - 12.0) <= 1.5);
    QVERIFY(std::abs(rightChange) <= 0.5);
    QVERIFY(std::abs(rightNear1k) <= 0.5);
}

void tst_Form3::failure_data()
{
    QTest::addColumn<QByteArray>("ffmpeg"); // empty: missing
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QString>("said");

    // The renders read the channel files, the merge writes the output.
    const QByteArray failAt = "#!/bin/sh\necho run >> \"$0.runs\"\nfor last in \"$@\"; do :; done\nlast=${last#file:}\n"
                              "case \"$*\" in *%1*) sleep 0.5; echo 'Input #0' >&2; echo '%2' >&2; exit 1;; esac\n"
                              + WriteOutput;
    QTest::newRow("ffmpeg missing") << QByteArray() << QStringList{"Failed", "Idle", "Idle"}
                                    << "Creating Left Chanel failed: ffmpeg could not be started";
    QTest::newRow("left render fails")
        << QString::fromLatin1(failAt).arg("/Left.wav", "Error initializing filter equalizer").toLatin1()
        << QStringList{"Failed", "Completed", "Idle"}
        << "Creating Left Chanel failed: ffmpeg failed: Error initializing filter equalizer";
    QTest::newRow("left render fails, the right one is stopped")
        << QByteArray("#!/bin/sh\ncase \"$*\" in *Right.wav*) exec sleep 30;; esac\n"
                      "sleep 0.5; echo 'Error initializing filter equalizer' >&2; exit 1\n")
        << QStringList{"Failed", "Idle", "Idle"}
        << "Creating Left Chanel failed: ffmpeg failed: Error initializing filter equalizer";
    QTest::newRow("right render fails")
        << QString::fromLatin1(failAt).arg("/Right.wav", "Rout.wav: No space left on device").toLatin1()
        << QStringList{"Completed", "Failed", "Idle"}
        << "Creating Right Chanel failed: ffmpeg failed: Rout.wav: No space left on device";
    QTest::newRow("merge fails")
        << QString::fromLatin1(failAt).arg("/out.mp3", "Error opening output files: Invalid argument").toLatin1()
        << QStringList{"Completed", "Completed", "Failed"}
        << "Merging Chanels failed: ffmpeg failed: Error opening output files: Invalid argument";
    // The renders' sound never got through: not done, and no reason of their own.
    QTest::newRow("merge closes its pipes, then fails")
        << QByteArray("#!/bin/sh\nfor last in \"$@\"; do :; done\ncase \"$last\" in pipe:*) exec yes >&${last#pipe:};; esac\n"
                      "exec 3<&- 4<&-; sleep 0.5; echo 'Error opening output files: Invalid argument' >&2; exit 1\n")
        << QStringList{"Idle", "Idle", "Failed"} << "Merging Chanels failed: ffmpeg failed: Error opening output files: Invalid argument";
    QTest::newRow("merge writes nothing")
        << QByteArray("#!/bin/sh\nfor last in \"$@\"; do :; done\nlast=${last#file:}\n"
                      "case \"$last\" in */out.mp3) sleep 1; exit 0;; esac\n")
               + WriteOutput
        << QStringList{"Completed", "Completed", "Failed"}
        << "Merging Chanels failed: ffmpeg wrote nothing to ";
}

// A failed step says so and why, the rest is skipped, no channel file of an
// earlier run is merged, and the output file does not stay behind.
void tst_Form3::failure()
{
    QFETCH(QByteArray, ffmpeg);
    QFETCH(QStringList, statuses);
    QFETCH(QString, said);

    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    // Channel files an earlier version left in the workspace.
    for (const QString &stale : {WorkspaceFile(QStringLiteral("Lout.wav")), WorkspaceFile(QStringLiteral("Rout.wav"))}) {
        QFile file(stale);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("RIFF from an earlier run");
    }
    if (ffmpeg.isEmpty())
        session.app.removeTool(QStringLiteral("ffmpeg"));
    else
        session.app.writeTool(QStringLiteral("ffmpeg"), ffmpeg);
    const QString output = session.app.scratchPath(QStringLiteral("out.mp3"));
    QPointer<ExportWindow> window = SaveAs(session.form, output);
    QVERIFY(window);
    QTRY_COMPARE_WITH_TIMEOUT(Statuses(window), statuses, 15000);
    QTRY_VERIFY(!window->ExportRunning());

    QCOMPARE(Statuses(window), statuses);
    QVERIFY2(window->Label2->text().startsWith(said), qPrintable(window->Label2->text()));
    QVERIFY(!QFile::exists(output));
    QVERIFY(Control<QPushButton>(session.form, "Command1", 1)->isEnabled());
    QVERIFY(window->isVisible());
}

void tst_Form3::cancel_data()
{
    QTest::addColumn<QByteArray>("hanging"); // the outputs whose tool never ends
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QString>("how");

    // The renders run together: a render that hangs leaves the other one
    // to complete.
    const QStringList left{"Processing", "Completed", "Idle"};
    const QStringList right{"Completed", "Processing", "Idle"};
    const QStringList merge{"Completed", "Completed", "Processing"};
    QTest::newRow("left render, Cancel") << QByteArray("*/Left.wav*") << left << "Cancel";
    QTest::newRow("right render, Cancel") << QByteArray("*/Right.wav*") << right << "Cancel";
    QTest::newRow("both renders, Cancel") << QByteArray("*/Left.wav*|*/Right.wav*")
                                          << QStringList{"Processing", "Processing", "Idle"} << "Cancel";
    QTest::newRow("merge, Cancel") << QByteArray("*/out.wav") << merge << "Cancel";
    QTest::newRow("right render, close box") << QByteArray("*/Right.wav*") << right << "close box";
    QTest::newRow("both renders, main window closed") << QByteArray("*/Left.wav*|*/Right.wav*")
                                          << QStringList{"Processing", "Processing", "Idle"} << "main window";
    QTest::newRow("merge, main window closed") << QByteArray("*/out.wav") << merge << "main window";
}

// Ending the export stops its tools, skips what is left, removes the
// incomplete output, and a closed window never starts the export again.
void tst_Form3::cancel()
{
    QFETCH(QByteArray, hanging);
    QFETCH(QStringList, statuses);
    QFETCH(QString, how);

    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    session.app.writeTool(QStringLiteral("ffmpeg"),
        "#!/bin/sh\necho run >> \"$0.runs\"\nfor last in \"$@\"; do :; done\nlast=${last#file:}\n"
        "case \"$*\" in " + hanging + ") echo $$ >> \"$0.pids\"; exec sleep 30;; esac\n" + WriteOutput);
    const QString output = session.app.scratchPath(QStringLiteral("out.wav"));
    MainWindow *form = session.form;
    QPointer<ExportWindow> window = SaveAs(form, output);
    QVERIFY(window);

    const int hangingTools = hanging.count('|') + 1;
    bool ended = false;
    Watcher watcher([&] {
        // The merge starts with the renders it reads.
        if (ended || !window || RecordedPids(session.app, QStringLiteral("ffmpeg")).size() < hangingTools
            || Runs(session.app) < 3 || Statuses(window) != statuses)
            return;
        ended = true;
        if (how == QLatin1String("Cancel"))
            window->Command1->click();
        else if (how == QLatin1String("close box"))
            window->close();
        else
            form->close();
    });
    QTRY_VERIFY_WITH_TIMEOUT(ended, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!window, 10000);

    const QList<qint64> pids = RecordedPids(session.app, QStringLiteral("ffmpeg"));
    QCOMPARE(pids.size(), hangingTools);
    for (qint64 pid : pids)
        QVERIFY(!ProcessAlive(pid));
    QVERIFY(!QFile::exists(output));
    QCOMPARE(QDir(QFileInfo(output).path()).entryList({QStringLiteral(".out.*")}, QDir::AllEntries | QDir::Hidden), QStringList());
    QVERIFY(!OpenWindow<ExportWindow>());
    QTest::qWait(1500);
    QCOMPARE(Runs(session.app), 3);
    if (session.form)
        QVERIFY(Control<QPushButton>(session.form, "Command1", 1)->isEnabled());
}

void tst_Form3::faults_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("existing");    // the user's earlier file is there
    QTest::addColumn<QString>("folder");   // "", "full" (a 2 MB tmpfs with freeKb left) or "read-only"
    QTest::addColumn<int>("freeKb");
    QTest::addColumn<QByteArray>("merge"); // runs in place of the real merge
    QTest::addColumn<QString>("said");     // <output>: the chosen path; empty: Cancel clicked

    // Short of space by less than ffmpeg's last buffer, ffmpeg exits with 0.
    const QString full = "Merging Chanels failed: ffmpeg failed: Error writing trailer of <output>: No space left on device";
    // Paced to the source's 5 s, the merge is still running when it is ended.
    const QByteArray paced = "exec \"$real\" -re \"$@\"";
    QTest::newRow("full disk, new WAV") << "Mix.wav" << false << "full" << 850 << QByteArray() << full;
    QTest::newRow("full disk, MP3") << "Mix.mp3" << true << "full" << 40 << QByteArray() << full;
    QTest::newRow("full disk early, WAV: the peak is not the reason") << "Mix.wav" << true << "full" << 40 << QByteArray()
        << "Merging Chanels failed: ffmpeg failed: av_interleaved_write_frame(): No space left on device";
    const QByteArray merged = "\"$real\" \"$@\"; (sleep 1; kill -%1 $$) & exec \"$real\" -re -f lavfi -i anullsrc -f null -"; // done, then waits
    QTest::newRow("merge killed") << "Mix.mp3" << true << "" << 0 << QByteArray(merged).replace("%1", "KILL")
        << "Merging Chanels failed: ffmpeg was stopped by signal 9 (Killed).";
    QTest::newRow("merge terminated, it ends by itself") << "Mix.mp3" << true << "" << 0 << QByteArray(merged).replace("%1", "TERM")
        << "Merging Chanels failed: ffmpeg was stopped by signal 15 (Terminated).";
    QTest::newRow("Cancel during the merge") << "Mix.wav" << true << "" << 0 << paced << "";
    QTest::newRow("one channel, status 0") << "Mix.wav" << true << "" << 0 << QByteArray("exec \"$real\" -y -i \"$5\" \"$last\"")
        << "Merging Chanels failed: the written file holds 1 audio channel instead of 2.";
    QTest::newRow("cut short, status 0") << "Mix.mp3" << true << "" << 0 << QByteArray("exec \"$real\" -y -i \"$5\" -ac 2 -t 1 \"$last\"")
        << "Merging Chanels failed: the written file lasts 1.04 s instead of 5.00 s.";
    QTest::newRow("read-only folder") << "Mix.wav" << true << "read-only" << 0 << QByteArray()
        << "The output file could not be created: the folder <folder> is <read-only>";
}

// Whatever goes wrong, the window says so, the merge is not "Completed",
// the user's file is as it was, and neither a temporary file nor a tool is
// left behind.
void tst_Form3::faults()
{
    QFETCH(QString, name);
    QFETCH(bool, existing);
    QFETCH(QString, folder);
    QFETCH(int, freeKb);
    QFETCH(QByteArray, merge);
    QFETCH(QString, said);

    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(5));
    for (const char *tool : {"ffmpeg", "ffprobe"}) {
        QByteArray script = "#!/bin/sh\nreal='" + QFile::encodeName(TestAppFolder::binFolder()) + "/" + tool
            + "'\necho $$ >> \"$0.pids\"\nfor last in \"$@\"; do :; done\nlast=${last#file:}\n";
        if (!merge.isEmpty() && qstrcmp(tool, "ffmpeg") == 0)
            script += "case \"$*\" in *amerge*) " + merge + ";; esac\n";
        QVERIFY(session.app.writeTool(QLatin1String(tool), script + "exec \"$real\" \"$@\"\n"));
    }
    const QString dir = session.app.scratchPath(QStringLiteral("saved"));
    QVERIFY(QDir().mkpath(dir));
    const QByteArray mountPoint = QFile::encodeName(dir);
    const bool mounted = !folder.isEmpty() && ::geteuid() == 0
        && ::mount("tmpfs", mountPoint, "tmpfs", 0, "size=2m") == 0;
    const auto unmount = qScopeGuard([&] {
        if (mounted)
            ::umount2(mountPoint, MNT_DETACH);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (!mounted && (folder == QLatin1String("full") || (!folder.isEmpty() && ::geteuid() == 0)))
        QSKIP("mounting a tmpfs needs root");
    const QString output = dir + QLatin1Char('/') + name;
    QStringList left;
    if (existing) {
        QVERIFY(Write(output, "the user's earlier mix")
                && QFile::setPermissions(output, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        left << name;
    }
    if (folder == QLatin1String("full")) {
        // Written out: a sparse file takes no room on a tmpfs.
        QVERIFY(Write(dir + "/filler", QByteArray(QStorageInfo(dir).bytesAvailable() - freeKb * 1024, 'x')));
        left << QStringLiteral("filler");
    } else if (folder == QLatin1String("read-only")) {
        QVERIFY(mounted ? ::mount("tmpfs", mountPoint, "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0
                        : QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QFile::Permissions permissions = QFile::permissions(output);

    QPointer<ExportWindow> window = SaveAs(session.form, output);
    QVERIFY(window);
    Watcher watcher([&] {
        if (said.isEmpty() && window && window->Label1[8]->text() == QLatin1String("Processing")
            && RecordedPids(session.app, QStringLiteral("ffmpeg")).size() == 3)
            window->Command1->click();
    });
    QTRY_VERIFY_WITH_TIMEOUT(!window || (!window->Timer1->isActive() && !window->ExportRunning()), 60000);

    if (!said.isEmpty()) {
        QCOMPARE(Statuses(window), (folder == QLatin1String("read-only") ? QStringList{"Idle", "Idle", "Idle"}
                                                                        : QStringList{"Completed", "Completed", "Failed"}));
        QCOMPARE(window->Label2->text(), QString(said).replace("<output>", output).replace("<folder>", dir).replace("<read-only>", mounted ? "on a read-only file system" : "read-only"));
        QVERIFY(folder == "read-only" || window->Label1[5]->text() == "Overall Progress: 66.67% Completed");
    }
    QTRY_VERIFY(!said.isEmpty() || !window);
    if (existing) {
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("the user's earlier mix"));
        QCOMPARE(file.permissions(), permissions);
    }
    QStringList found = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    found.sort();
    left.sort();
    QCOMPARE(found, left);
    for (const QString &tool : {QStringLiteral("ffmpeg"), QStringLiteral("ffprobe")}) {
        for (qint64 pid : RecordedPids(session.app, tool))
            QTRY_VERIFY(!ProcessAlive(pid));
    }
}

void tst_Form3::saveAsAgainStartsANewExport()
{
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    session.app.writeTool(QStringLiteral("ffmpeg"), TenSecondTool);
    session.app.writeTool(QStringLiteral("ffprobe"), TenSecondProbe);
    TakeSource(session.session, [](Session::Source &s) { s.duration = QStringLiteral("10"); });
    QPointer<ExportWindow> first = SaveAs(session.form, session.app.scratchPath(QStringLiteral("first.wav")));
    QVERIFY(first);
    QTRY_COMPARE_WITH_TIMEOUT(first->Label1[8]->text(), QStringLiteral("Completed"), 15000);
    QTRY_VERIFY(!first->ExportRunning());

    const QString second = session.app.scratchPath(QStringLiteral("second.wav"));
    QPointer<ExportWindow> window = SaveAs(session.form, second);
    QVERIFY(window);
    QCOMPARE(window->Label1[1]->text(), second);
    QCOMPARE(Statuses(window), (QStringList{"Idle", "Idle", "Idle"}));
    QTRY_COMPARE_WITH_TIMEOUT(Statuses(window), (QStringList{"Completed", "Completed", "Completed"}), 15000);
    QCOMPARE(Runs(session.app), 6);
    QVERIFY(QFile::exists(session.app.scratchPath(QStringLiteral("first.wav"))));
    QVERIFY(QFile::exists(second));
    QTRY_VERIFY(!first);
}

void tst_Form3::outputSafety_data()
{
    QTest::addColumn<QString>("through"); // "Save As" (and what happens once it is chosen), or brenvox's option
    QTest::addColumn<QString>("output");  // IN: the source's folder, WORK: the workspace
    QTest::addColumn<QString>("said");    // empty: saved

    const QString source = "The source file cannot be overwritten: choose another output file.";
    QTest::newRow("--export onto the source") << "--export" << "IN/source.wav" << source;
    QTest::newRow("--export onto a link to it") << "--export" << "IN/link.wav" << source;
    QTest::newRow("--output-dir onto its folder") << "--output-dir" << "IN" << source;
    QTest::newRow("Save As onto a hard link to it") << "Save As" << "IN/hard.wav" << source;
    QTest::newRow("Save As into the workspace") << "Save As" << "WORK/Left.wav"
        << "Brenvox's workspace cannot hold the output: choose another folder.";
    QTest::newRow("Save As into the folder that holds the workspace") << "Save As" << "WORK/../Mix.wav"
        << "Brenvox's workspace cannot hold the output: choose another folder.";
    QTest::newRow("a file appears, not agreed") << "Save As, a file appears" << "IN/new.wav"
        << "Merging Chanels failed: IN/new.wav appeared while exporting and was left as it is";
    QTest::newRow("a file appears, agreed") << "Save As, a file appears" << "IN/old.wav" << "";
    QTest::newRow("names swapped by another process") << "Save As, names swapped" << "IN/shared/new.wav" << "";
}

// Neither what the export reads, nor someone else's file, nor a file that a
// link in a shared folder leads to is written over, whichever way it is asked.
void tst_Form3::outputSafety()
{
    QFETCH(QString, through);
    QFETCH(QString, output);
    QFETCH(QString, said);
    BrenvoxSession session;
    QVERIFY(session.form && session.importPinkNoise(1));
    const QString in = session.app.scratchPath(QStringLiteral("in"));
    const QString victim = session.app.scratchPath(QStringLiteral("new.wav"));
    for (QString *text : {&output, &said})
        text->replace(QLatin1String("IN"), in).replace(QLatin1String("WORK"), session.workspace());
    TakeSource(session.session, [&](Session::Source &s) { s.file = in + "/source.wav"; });
    QVERIFY(QDir().mkpath(in + "/shared") && AudioMeasure::GenerateStereoTones(440, 1000, 1, session.session.SourceFile()));
    QVERIFY(QFile::link(session.session.SourceFile(), in + "/link.wav") && Write(in + "/old.wav", "earlier")
            && Write(victim, "victim") && ::link(qPrintable(session.session.SourceFile()), qPrintable(in + "/hard.wav")) == 0);
    const auto kept = [&] {
        return QByteArrayList{TestAppFolder::fileBytes(session.session.SourceFile()),
                              TestAppFolder::fileBytes(session.workspace() + "/Left.wav"), TestAppFolder::fileBytes(victim)};
    };
    const QByteArrayList before = kept();

    QProcess process;
    if (through.startsWith(QLatin1String("--"))) {
        process.start(TestAppFolder::binFolder() + "/brenvox", {through, output, "--overwrite", session.session.SourceFile()});
        QVERIFY(process.waitForFinished(60000) && process.exitCode() == 1);
        QVERIFY(QString::fromLocal8Bit(process.readAllStandardError()).contains(said));
    } else {
        QPointer<ExportWindow> window = SaveAs(session.form, output);
        const bool appears = through.endsWith(QLatin1String("appears"));
        QVERIFY(window && (!appears || Write(output, "appeared")));
        if (through.endsWith(QLatin1String("swapped"))) {
            process.start(QStringLiteral(OUTPUT_SWAPPER), {QFileInfo(output).path(), victim});
            QVERIFY(process.waitForReadyRead(10000));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window->Timer1->isActive() && !window->ExportRunning(), 60000);
        process.kill();
        process.waitForFinished();
        QCOMPARE(window->Label2->text(), said);
        QVERIFY(!said.isEmpty() || window->Label1[8]->text() == QLatin1String("Completed"));
        QCOMPARE(TestAppFolder::fileBytes(output) == "appeared", appears && !said.isEmpty());
    }
    QVERIFY(kept() == before);
    QCOMPARE(QDir(in).entryList({QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

QTEST_MAIN(tst_Form3)
#include "tst_form3.moc"
