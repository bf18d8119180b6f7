// The preview: the left, the right or both channels through one player at
// once with the preview window; its failures, its Stop, and the real player.
#include "BrenvoxSession.h"
#include "ui/mainwindow/PresetsController.h"
#include "ui/mainwindow/PreviewController.h"
#include "Controls.h"

#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"
#include "ui/PreviewWindow.h"
#include "core/tools/PreviewGraph.h"
#include "jobs/PreviewJob.h"
#include "process/ToolRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QAccessible>
#include <QtTest>

#include <cmath>

class tst_Preview : public QObject
{
    Q_OBJECT

private slots:
    void singleChannel_data();
    void singleChannel();
    void bothChannels();
    void log_data();
    void log();
    void failure_data();
    void failure();
    void withoutLiveChanges_data();
    void withoutLiveChanges();
    void positionAndBypass_data();
    void positionAndBypass();
    void stop_data();
    void stop();
    void realPlayer_data();
    void realPlayer();
    void sourceNeeded_data();
    void sourceNeeded();
};

void tst_Preview::singleChannel_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("levelPosition");
    QTest::addColumn<QString>("volume");

    QTest::newRow("left") << 0 << "Left.wav" << -4 << "volume@Llevel=volume=1,";
    QTest::newRow("right") << 1 << "Right.wav" << -4 << "volume@Rlevel=volume=1,";
    QTest::newRow("left at -8") << 0 << "Left.wav" << -8 << "volume@Llevel=volume=2,";
    QTest::newRow("right at 6 is silent") << 1 << "Right.wav" << 6 << "volume@Rlevel=volume=0,";
    QTest::newRow("right at -3 plays its readout") << 1 << "Right.wav" << -3 << "volume@Rlevel=volume=0.75,";
}

// One player run with the preview window, and the sequence buttons disabled
// only while it plays, but "Preview", which reads "Stop".
void tst_Preview::singleChannel()
{
    QFETCH(int, channel);
    QFETCH(QString, file);
    QFETCH(int, levelPosition);
    QFETCH(QString, volume);

    BrenvoxSession session;
    QVERIFY(session.form);
    session.app.writeTool(QStringLiteral("ffplay"),
                          BrenvoxSession::RecordingPlayer("sleep 0.3"));
    QVERIFY(session.importPinkNoise(1));
    MainWindow *form = session.form;
    Control<QSlider>(form, "Slider1", channel)->setValue(levelPosition);
    Control<QRadioButton>(form, "Option3", channel)->setChecked(true);

    QString heading;
    QList<bool> enabledWhilePlaying;
    QString previewWhilePlaying;
    Watcher watcher([&] {
        if (PreviewWindow *window = OpenWindow<PreviewWindow>())
            heading = window->Label1[0]->text();
        if (enabledWhilePlaying.isEmpty() && form->PreviewRunning() && OpenWindow<PreviewWindow>()) {
            enabledWhilePlaying << Control<QPushButton>(form, "Command2")->isEnabled() << Control<QPushButton>(form, "Command1", 0)->isEnabled()
                                << Control<QPushButton>(form, "Command1", 1)->isEnabled() << Control<QPushButton>(form, "Command1", 2)->isEnabled();
            previewWhilePlaying = Control<QPushButton>(form, "Command1", 0)->text();
        }
    });
    QVERIFY(session.previewToEnd(qint16(channel)));

    const QStringList arguments = session.toolArguments(QStringLiteral("ffplay"));
    QCOMPARE(arguments.value(5), PreviewGraph::ChannelReader(session.workspace() + "/" + file, 0));
    QCOMPARE(arguments.size(), 9);
    QVERIFY2(arguments[7].contains(volume), qPrintable(arguments[7]));
    QVERIFY(!arguments[7].contains(QLatin1String("amovie")));
    QCOMPARE(heading, channel == 0 ? QStringLiteral("Previewing Left Chanel")
                                   : QStringLiteral("Previewing Right Chanel"));
    QVERIFY(!OpenWindow<PreviewWindow>());
    QCOMPARE(enabledWhilePlaying, (QList<bool>{false, true, false, true}));
    QCOMPARE(previewWhilePlaying, QStringLiteral("Stop"));
    QCOMPARE(Control<QPushButton>(form, "Command1", 0)->text(), QStringLiteral("Preview"));
    QVERIFY(Control<QPushButton>(form, "Command1", 0)->isEnabled());
    QVERIFY(Control<QPushButton>(form, "Command1", 1)->isEnabled());
    QVERIFY(Control<QPushButton>(form, "Command2")->isEnabled());
}

// Nothing is rendered: the player starts at once on the left channel file
// and reads the right one in its graph, each channel with its own level.
void tst_Preview::bothChannels()
{
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(3));
    session.app.writeTool(QStringLiteral("ffplay"), BrenvoxSession::RecordingPlayer("sleep 0.3"));
    MainWindow *form = session.form;
    Control<QSlider>(form, "Slider1", 0)->setValue(-8);
    Control<QSlider>(form, "Slider1", 1)->setValue(6);
    Control<QRadioButton>(form, "Option3", 2)->setChecked(true);
    QCOMPARE(form->session().PreviewChannel(), qint16(2));

    QStringList states;
    Watcher watcher([&] {
        PreviewWindow *window = OpenWindow<PreviewWindow>();
        if (!window)
            return;
        const QString state = window->Label1[0]->text() + " | " + window->Label1[2]->text() + " | "
            + window->Command1->text();
        if (states.isEmpty() || states.last() != state)
            states << state;
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(session.previewToEnd(2));

    QCOMPARE(states, (QStringList{"Previewing Both Chanels | Position 0:00 of 0:03 | Stop"}));
    const QStringList arguments = session.toolArguments(QStringLiteral("ffplay"));
    QCOMPARE(arguments.value(5), PreviewGraph::ChannelReader(session.workspace() + "/Left.wav", 0));
    const QString graph = arguments.value(7);
    QVERIFY2(graph.contains(QLatin1String("amovie=") + PreviewGraph::GraphOptionValue("file:" + session.workspace() + "/Right.wav")),
             qPrintable(graph));
    QVERIFY(graph.contains(QLatin1String("volume@Llevel=volume=2,")));
    QVERIFY(graph.contains(QLatin1String("volume@Rlevel=volume=0,")));
    QVERIFY(!QFile::exists(session.workspace() + "/LR.wav"));
    QVERIFY(!OpenWindow<PreviewWindow>());
    QVERIFY(elapsed.elapsed() < 3000);
}

void tst_Preview::log_data()
{
    QTest::addColumn<int>("previewChoice");
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<QString>("log");

    QTest::newRow("line pairs become blanks")
        << 2 << QStringList{"Input #0\r\n  Duration: 00:00:03.00\r\n"}
        << "Input #0   Duration: 00:00:03.00 \n";
    QTest::newRow("each chunk on its own line")
        << 2 << QStringList{"Stream mapping:", "size= 1kB"} << "Stream mapping:\nsize= 1kB\n";
    QTest::newRow("the final empty chunk adds an empty line")
        << 2 << QStringList{"done", ""} << "done\n\n";
    QTest::newRow("single channel keeps no log") << 0 << QStringList{"Input #0\r\n"} << "";
}

void tst_Preview::log()
{
    QFETCH(int, previewChoice);
    QFETCH(QStringList, chunks);
    QFETCH(QString, log);

    BrenvoxSession session;
    QVERIFY(session.form);
    Control<QRadioButton>(session.form, "Option3", previewChoice)->setChecked(true);
    PreviewWindow *window = session.form->Preview().OpenWindow();
    for (QString chunk : chunks)
        session.form->Preview().Log(chunk);
    QCOMPARE(window->Text1->toPlainText(), log);
    window->close();
}

void tst_Preview::failure_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QByteArray>("ffplay");   // empty: missing
    QTest::addColumn<QString>("said");

    const QByteArray noAudioDevice = BrenvoxSession::FailingPlayer("ffplay51_audio_open_failed.txt");
    QTest::newRow("both, player missing") << 2 << QByteArray() << "ffplay could not be started";
    QTest::newRow("both, no audio device")
        << 2 << noAudioDevice << "ffplay failed: No more combinations to try, audio open failed";
    QTest::newRow("single channel, player missing") << 0 << QByteArray() << "ffplay could not be started";
    QTest::newRow("single channel, no audio device")
        << 1 << noAudioDevice << "ffplay failed: No more combinations to try, audio open failed";
    QTest::newRow("single channel, no such filter")
        << 0 << BrenvoxSession::FailingPlayer("ffplay51_no_such_filter.txt")
        << "ffplay failed: No such filter: 'nosuch'";
}

// A failed player ends the preview and the preview window says why.
void tst_Preview::failure()
{
    QFETCH(int, channel);
    QFETCH(QByteArray, ffplay);
    QFETCH(QString, said);

    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    ffplay.isEmpty() ? session.app.removeTool("ffplay") : void(session.app.writeTool("ffplay", ffplay));

    MainWindow *form = session.form;
    Control<QRadioButton>(form, "Option3", channel)->setChecked(true);
    QVERIFY(session.previewToEnd(qint16(channel)));

    QVERIFY(Control<QPushButton>(form, "Command1", 0)->isEnabled());
    PreviewWindow *window = OpenWindow<PreviewWindow>();
    QVERIFY(window);
    QVERIFY2(window->Label1[1]->text().startsWith(said), qPrintable(window->Label1[1]->text()));
    QCOMPARE(window->Command1->text(), QStringLiteral("Close"));
    window->Command1->click();
    QTRY_VERIFY(!OpenWindow<PreviewWindow>());
}

void tst_Preview::withoutLiveChanges_data()
{
    QTest::addColumn<QByteArray>("withAzmq"); // what the player does when given azmq
    QTest::newRow("no azmq in this ffplay") << QByteArray("echo \"No such filter: 'azmq'\"; exit 0");
    QTest::newRow("its socket never answers") << QByteArray("sleep 5; exit 0");
}

// A player that cannot take changes plays on without azmq: every change
// then restarts it where it is, which the window says once.
void tst_Preview::withoutLiveChanges()
{
    QFETCH(QByteArray, withAzmq);
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    session.app.writeTool("ffplay", BrenvoxSession::RecordingPlayer(
        "printf '   0.50 M-A:  0.000 fd=   0 aq=    0KB vq=    0KB sq=    0B f=0/0   \\r'\n"
        "case \"$*\" in *azmq=*) " + withAzmq + ";; esac\nsleep 0.6"));
    bool moved = false;
    QString note;
    Watcher watcher([&] {
        PreviewWindow *window = OpenWindow<PreviewWindow>();
        if (!window || moved || window->Label1[1]->text() != PreviewJob::RestartNote)
            return;
        note = window->Label1[1]->text();
        moved = true;
        session.setLeftBand(29, -6);
    });
    Control<QRadioButton>(session.form, "Option3", 0)->setChecked(true);
    QVERIFY(session.previewToEnd(0));

    QCOMPARE(note, PreviewJob::RestartNote);
    const QStringList runs = session.toolArguments(QStringLiteral("ffplay")).join(QLatin1Char('\n'))
                                 .split(QStringLiteral("\n--"), Qt::SkipEmptyParts);
    QVERIFY(runs.size() >= 2);
    QVERIFY(runs[0].contains(QLatin1String("azmq=")));
    for (const QString &run : runs.mid(1))
        QVERIFY(!run.contains(QLatin1String("azmq=")));
    QVERIFY(runs.last().contains(QLatin1String("/Left.wav:sp=0.5,")));
    QVERIFY(runs.last().contains(QLatin1String("equalizer@L29=f=1000:width_type=o:width=1:g=6")));
}

// The window shows where the player is; B, pressed on the main window,
// switches to the untouched sound, and a move of the position slider plays
// on from there with the bypass kept.
void tst_Preview::positionAndBypass_data()
{
    QTest::addColumn<bool>("screenReader"); // the position set as a value, not by a key
    QTest::newRow("key") << false;
    QTest::newRow("screen reader") << true;
}

void tst_Preview::positionAndBypass()
{
    QFETCH(bool, screenReader);
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(3));
    session.app.writeTool("ffplay", BrenvoxSession::RecordingPlayer(
        "printf '   1.20 M-A:  0.000 fd=   0 aq=    0KB vq=    0KB sq=    0B f=0/0   \\r'\nsleep 0.5"));
    QString position;
    bool bypassed = false;
    Watcher watcher([&] {
        PreviewWindow *window = OpenWindow<PreviewWindow>();
        if (!window || !position.isEmpty() || !window->Label1[2]->text().contains(QLatin1String("0:01")))
            return;
        position = window->Label1[2]->text();
        QApplication::setActiveWindow(session.form);
        QTest::keyClick(session.form, Qt::Key_B);
        bypassed = window->Bypass->isChecked();
        if (screenReader)
            QAccessible::queryAccessibleInterface(window->Position)->valueInterface()->setCurrentValue(2);
        else
            window->Position->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    });
    Control<QRadioButton>(session.form, "Option3", 2)->setChecked(true);
    QVERIFY(session.previewToEnd(2));

    QCOMPARE(position, QStringLiteral("Position 0:01 of 0:03"));
    QVERIFY(bypassed);
    const QStringList runs = session.toolArguments(QStringLiteral("ffplay")).join(QLatin1Char('\n'))
                                 .split(QStringLiteral("\n--"), Qt::SkipEmptyParts);
    QCOMPARE(runs.size(), 2);
    QVERIFY(runs[0].contains(QLatin1String("map=0[out]")));
    QVERIFY(runs[1].contains(QLatin1String("/Left.wav:sp=2,")));
    QVERIFY(runs[1].contains(QLatin1String("/Right.wav:sp=2,")));
    QVERIFY(runs[1].contains(QLatin1String("map=1[out]")));
}

void tst_Preview::stop_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("running"); // the tool that is stopped
    QTest::addColumn<QString>("how");

    QTest::newRow("left, Stop") << 0 << "ffplay" << "Stop";
    QTest::newRow("right, preview choice changed") << 1 << "ffplay" << "choice";
    QTest::newRow("both, PreviewWindow's Stop") << 2 << "ffplay" << "Form4";
    QTest::newRow("both, Reset") << 2 << "ffplay" << "Reset";
    QTest::newRow("both, main window closed") << 2 << "ffplay" << "main window";
    QTest::newRow("both, preview choice changed while playing") << 2 << "ffplay" << "choice";
    QTest::newRow("left, PreviewWindow's Stop") << 0 << "ffplay" << "Form4";
}

// Every way of ending a preview ends it at once: its tool stops, no later
// step runs, PreviewWindow goes, and "Preview" reads "Preview" again.
void tst_Preview::stop()
{
    QFETCH(int, channel);
    QFETCH(QString, running);
    QFETCH(QString, how);
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    session.app.writeTool(running, SleepingTool());
    Control<QRadioButton>(session.form, "Option3", channel)->setChecked(true);

    // Both channels render at once.
    const int tools = running == QLatin1String("ffmpeg") ? 2 : 1;
    QString stopText;
    Watcher watcher([&] {
        if (!stopText.isEmpty() || RecordedPids(session.app, running).size() < tools)
            return;
        MainWindow *form = session.form;
        stopText = Control<QPushButton>(form, "Command1", 0)->text();
        if (how == QLatin1String("Form4"))
            stopText = OpenWindow<PreviewWindow>()->Command1->text();
        if (how == QLatin1String("Stop"))
            Control<QPushButton>(form, "Command1", 0)->click();
        else if (how == QLatin1String("Form4"))
            OpenWindow<PreviewWindow>()->Command1->click();
        else if (how == QLatin1String("choice"))
            Control<QRadioButton>(form, "Option3", (channel + 1) % 3)->click();
        else if (how == QLatin1String("Reset"))
            Control<QPushButton>(form, "Command1", 2)->click();
        else
            form->close();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QPointer<MainWindow> form = session.form;
    Control<QPushButton>(form, "Command1", 0)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!stopText.isEmpty() && (!form || !form->PreviewRunning()), 30000);

    QCOMPARE(stopText, QStringLiteral("Stop"));
    QVERIFY(elapsed.elapsed() < 10000);
    const QList<qint64> pids = RecordedPids(session.app, running);
    QCOMPARE(pids.size(), tools);
    for (qint64 pid : pids)
        QVERIFY(!ProcessAlive(pid));
    QVERIFY(!OpenWindow<PreviewWindow>());
    if (running != QLatin1String("ffplay"))
        QVERIFY(session.toolArguments(QStringLiteral("ffplay")).isEmpty());
    if (how == QLatin1String("main window"))
        return;
    QVERIFY(Control<QPushButton>(form, "Command1", 0)->isEnabled());
    QCOMPARE(Control<QPushButton>(form, "Command1", 0)->text(), QStringLiteral("Preview"));
    QVERIFY(!form->findChild<QMessageBox *>(QStringLiteral("PreviewFailure")));
}

void tst_Preview::realPlayer_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("said"); // empty: it plays
    QTest::addColumn<bool>("moveBand"); // 1 kHz from 0 to -12 dB a second into 4 s

    const QString noDevice = QStringLiteral("ffplay failed: No more combinations to try, audio open failed");
    QTest::newRow("left plays") << 0 << QString() << false;
    QTest::newRow("both play") << 2 << QString() << false;
    QTest::newRow("left, no audio device") << 0 << noDevice << false;
    QTest::newRow("both, no audio device") << 2 << noDevice << false;
    QTest::newRow("left, a band moved off 0 while playing is heard") << 0 << QString() << true;
}

// The real ffplay with SDL's disk driver, which writes what it plays into a
// file as 16-bit samples; a file in a missing folder it cannot open, and
// then ffplay still exits with 0.
void tst_Preview::realPlayer()
{
    QFETCH(int, channel);
    QFETCH(QString, said);
    QFETCH(bool, moveBand);
    const int seconds = moveBand ? 4 : 1;
    if (!QFileInfo(TestAppFolder::binFolder() + QLatin1String("/ffplay")).isExecutable())
        QSKIP("ffplay is not installed");
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.app.linkRealTool(QStringLiteral("ffplay")));
    QVERIFY(session.importPinkNoise(seconds));
    const QString played = session.app.scratchPath(said.isEmpty() ? "played.raw" : "missing/played.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(played));
    const auto restore = qScopeGuard([] {
        qunsetenv("SDL_AUDIODRIVER");
        qunsetenv("SDL_DISKAUDIOFILE");
    });
    MainWindow *form = session.form;
    Control<QRadioButton>(form, "Option3", channel)->setChecked(true);
    const qint64 oneSecond = 44100 * 2 * (channel == 2 ? 2 : 1);
    double movedAt = -1; // seconds played by then
    Watcher watcher([&] {
        if (moveBand && movedAt < 0 && QFileInfo(played).size() >= oneSecond)
            movedAt = double(QFileInfo(played).size()) / oneSecond, session.setLeftBand(29, 12);
    });
    // A player that never ends by itself would hold the test forever.
    QTimer::singleShot(15000, form, [form] { form->StopPreview(); });
    QElapsedTimer elapsed;
    elapsed.start();
    Control<QPushButton>(form, "Command1", 0)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form->PreviewRunning(), 30000);

    QVERIFY(elapsed.elapsed() < 10000);
    if (said.isEmpty()) {
        const qint64 size = QFileInfo(played).size();
        qInfo("%lld bytes played", size);
        QVERIFY(size >= oneSecond * seconds * 9 / 10 && size < oneSecond * (seconds + 1));
        QVERIFY(!OpenWindow<PreviewWindow>());
    } else {
        QVERIFY(OpenWindow<PreviewWindow>());
        QCOMPARE(OpenWindow<PreviewWindow>()->Label1[1]->text(), said);
        OpenWindow<PreviewWindow>()->close();
    }
    if (moveBand) {
        // Heard within what the player has queued, well under half a second.
        const QString wav = session.app.scratchPath("played.wav");
        QCOMPARE(AudioMeasure::RunTool("ffmpeg", {"-f", "s16le", "-ar", "44100", "-ac", "1", "-i", played, wav}).exitCode, 0);
        const QString band = QStringLiteral("atrim=%1:%2,bandpass=f=1000:width_type=o:w=0.3");
        const double before = AudioMeasure::MeanVolumeDb(wav, 0, band.arg(0.2).arg(movedAt));
        QVERIFY(AudioMeasure::MeanVolumeDb(wav, 0, band.arg(movedAt + 0.5).arg(seconds)) < before - 8);
    }
}

void tst_Preview::sourceNeeded_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("Preview") << 0;
    QTest::newRow("Save As") << 1;
}

// A channel file gone since the import: the button only says what to do.
void tst_Preview::sourceNeeded()
{
    QFETCH(int, button);
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    QVERIFY(QFile::remove(session.workspace() + "/Right.wav"));
    int dialogs = 0;
    SetFileDialogAnswer([&](const FileDialogRequest &) { return ++dialogs, QString(); });
    Control<QPushButton>(session.form, "Command1", button)->click();
    SetFileDialogAnswer(FileDialogAnswer());

    auto *box = session.form->findChild<QMessageBox *>(QStringLiteral("OpenSourceFirst"));
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("Open a source first"));
    QVERIFY(!Control<QPushButton>(session.form, "Command1", button)->isEnabled());
    QCOMPARE(dialogs, 0);
    QVERIFY(session.toolArguments(QStringLiteral("ffplay")).isEmpty());
    QVERIFY(!OpenWindow<ExportWindow>());
}

QTEST_MAIN(tst_Preview)
#include "tst_preview.moc"
