// The preview: one channel through the player, or both rendered, merged and
// played with the progress window; its failures, its Stop, and the real
// player.
#include "BrenvoxSession.h"

#include "app/FileDialogs.h"
#include "export/Form3.h"
#include "preview/Form4.h"
#include "process/DOSOutputs.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
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

    QTest::newRow("left") << 0 << "Left.wav" << -4 << "volume=1";
    QTest::newRow("right") << 1 << "Right.wav" << -4 << "volume=1";
    QTest::newRow("left at -8") << 0 << "Left.wav" << -8 << "volume=2";
    QTest::newRow("right at 6 is silent") << 1 << "Right.wav" << 6 << "volume=0";
}

// One player run, no progress window, and the sequence buttons disabled
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
    Form1 *form = session.form;
    form->Slider1[channel]->setValue(levelPosition);
    form->Option3[channel]->setChecked(true);

    bool form4Seen = false;
    QList<bool> enabledWhilePlaying;
    QString previewWhilePlaying;
    Watcher watcher([&] {
        form4Seen |= Form4::Loaded() != nullptr;
        if (enabledWhilePlaying.isEmpty() && form->objDOS && form->objDOS->IsRunning()) {
            enabledWhilePlaying << form->Command2->isEnabled() << form->Command1[0]->isEnabled()
                                << form->Command1[1]->isEnabled() << form->Command1[2]->isEnabled();
            previewWhilePlaying = form->Command1[0]->text();
        }
    });
    form->SoundPreviewing(qint16(channel));

    const QString chain = channel == 0 ? Shared().LeftFilterChain : Shared().RightFilterChain;
    QCOMPARE(session.toolArguments(QStringLiteral("ffplay")),
             (QStringList{"-nodisp", "-autoexit", "-i", session.workspace() + "/" + file, "-af",
                          volume + "," + chain, "--"}));
    QVERIFY(!form4Seen);
    QVERIFY(!form->objDOS);
    QCOMPARE(enabledWhilePlaying, (QList<bool>{false, true, false, true}));
    QCOMPARE(previewWhilePlaying, QStringLiteral("Stop"));
    QCOMPARE(form->Command1[0]->text(), QStringLiteral("Preview"));
    QVERIFY(form->Command1[0]->isEnabled());
    QVERIFY(form->Command1[1]->isEnabled());
    QVERIFY(form->Command2->isEnabled());
}

// The real ffmpeg renders and merges; the level sliders reach the mix, the
// left doubled in amplitude and the right silent rather than louder.
void tst_Preview::bothChannels()
{
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(3));
    session.app.writeTool(QStringLiteral("ffplay"), BrenvoxSession::RecordingPlayer("sleep 0.3"));
    Form1 *form = session.form;
    form->Slider1[0]->setValue(-8);
    form->Slider1[1]->setValue(6);
    form->Option3[2]->setChecked(true);
    QCOMPARE(Shared().PreviewChannel, qint16(2));

    QStringList states;
    bool logged = false;
    QPointer<Form4> hooked;
    const auto record = [&] {
        Form4 *window = Form4::Loaded();
        if (!window || window->PBar->value() == 0)
            return; // still as loaded, before its first step
        const QString state = window->Label1[1]->text() + " | " + window->Label1[2]->text() + " | "
            + QString::number(window->PBar->value()) + " | " + window->Command1->text();
        if (states.isEmpty() || states.last() != state)
            states << state;
        logged |= window->Text1->toPlainText().contains(QLatin1String("Stream mapping:"));
    };
    Watcher watcher([&] {
        record();
        // The renders run at once: the right one's step can last no longer
        // than a poll.
        if (Form4 *window = Form4::Loaded(); window && !hooked) {
            hooked = window;
            connect(window->PBar, &QProgressBar::valueChanged, this, record);
        }
    });
    form->SoundPreviewing(2);

    QCOMPARE(states, (QStringList{
        "Creating Temp Left Chanel Audio. | Overall Progress 0 % Complete | 2 | Stop",
        "Creating Temp Right Chanel Audio. | Overall Progress 33 % Complete | 33 | Stop",
        "Merging Left and Right Chanels. | Overall Progress 66 % Complete | 66 | Stop",
        "Starting Audio Preview. | Overall Progress 99 % Complete | 99 | Stop"}));
    QVERIFY(logged);
    const QString mix = session.workspace() + "/LR.wav";
    QCOMPARE(session.toolArguments(QStringLiteral("ffplay")),
             (QStringList{"-nodisp", "-autoexit", "-i", mix, "--"}));
    QVERIFY(!Form4::Loaded());
    QVERIFY(!form->objDOS);

    QCOMPARE(AudioMeasure::Channels(mix), 2);
    QVERIFY(std::abs(AudioMeasure::DurationSeconds(mix) - 3.0) < 0.1);
    const double source = AudioMeasure::MeanVolumeDb(session.workspace() + "/Left.wav", 0);
    const double left = AudioMeasure::MeanVolumeDb(mix, 0);
    const double right = AudioMeasure::MeanVolumeDb(mix, 1);
    qInfo("left source %.2f dB, left at -8 %.2f dB, right at 6 %.2f dB", source, left, right);
    QVERIFY(std::abs(left - source - 6.02) < 0.5);
    QVERIFY(right < -90.0);
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
    session.form->Option3[previewChoice]->setChecked(true);
    Form4 *window = Form4::Load(session.form);
    for (QString chunk : chunks)
        session.form->objDOS_ReceiveOutputs(chunk);
    QCOMPARE(window->Text1->toPlainText(), log);
    window->close();
}

void tst_Preview::failure_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QByteArray>("ffmpeg");   // empty: missing
    QTest::addColumn<QByteArray>("ffplay");   // empty: missing
    QTest::addColumn<QString>("said");

    const QByteArray player = BrenvoxSession::RecordingPlayer();
    const QByteArray writesOutput =
        "#!/bin/sh\nfor last in \"$@\"; do :; done\nprintf 'RIFF' > \"$last\"\n";
    QTest::newRow("ffmpeg missing")
        << 2 << QByteArray() << player
        << "Creating Temp Left Chanel Audio failed: ffmpeg could not be started";
    QTest::newRow("render fails")
        << 2 << QByteArray("#!/bin/sh\necho 'Input #0, wav'\necho 'Error while filtering: Invalid argument' >&2\nexit 1\n")
        << player << "Creating Temp Right Chanel Audio failed: ffmpeg failed: Error while filtering: Invalid argument";
    QTest::newRow("merge writes nothing")
        << 2 << QByteArray("#!/bin/sh\nfor last in \"$@\"; do :; done\n"
                           "case \"$last\" in *LR.wav) echo 'amerge: no input';; *) printf 'RIFF' > \"$last\";; esac\n")
        << player << "Merging Left and Right Chanels failed: ffmpeg wrote nothing to ";
    const QByteArray noAudioDevice = BrenvoxSession::FailingPlayer("ffplay51_audio_open_failed.txt");
    QTest::newRow("player fails after the mix")
        << 2 << writesOutput << noAudioDevice
        << "Starting Audio Preview failed: ffplay failed: No more combinations to try, audio open failed";
    QTest::newRow("single channel, player missing")
        << 0 << writesOutput << QByteArray() << "ffplay could not be started";
    QTest::newRow("single channel, no audio device")
        << 1 << writesOutput << noAudioDevice
        << "ffplay failed: No more combinations to try, audio open failed";
    QTest::newRow("single channel, no such filter")
        << 0 << writesOutput << BrenvoxSession::FailingPlayer("ffplay51_no_such_filter.txt")
        << "ffplay failed: No such filter: 'nosuch'";
}

// A failed step ends the sequence and says why; a stale mix from an earlier
// preview is never played.
void tst_Preview::failure()
{
    QFETCH(int, channel);
    QFETCH(QByteArray, ffmpeg);
    QFETCH(QByteArray, ffplay);
    QFETCH(QString, said);

    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    if (QByteArray(QTest::currentDataTag()) == "render fails") {
        // Only the right render fails.
        ffmpeg = "#!/bin/sh\nfor last in \"$@\"; do :; done\ncase \"$last\" in *Rout.wav) "
                 "echo 'Error while filtering: Invalid argument' >&2; exit 1;; esac\nprintf 'RIFF' > \"$last\"\n";
    }
    ffmpeg.isEmpty() ? session.app.removeTool("ffmpeg") : void(session.app.writeTool("ffmpeg", ffmpeg));
    ffplay.isEmpty() ? session.app.removeTool("ffplay") : void(session.app.writeTool("ffplay", ffplay));
    QFile stale(session.workspace() + "/LR.wav");
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("stale mix from an earlier preview");
    stale.close();

    Form1 *form = session.form;
    form->Option3[channel]->setChecked(true);
    form->SoundPreviewing(qint16(channel));

    QVERIFY(!form->objDOS);
    QVERIFY(form->Command1[0]->isEnabled());
    if (channel == 2) {
        Form4 *window = Form4::Loaded();
        QVERIFY(window);
        QVERIFY2(window->Label1[1]->text().startsWith(said), qPrintable(window->Label1[1]->text()));
        if (!QByteArray(QTest::currentDataTag()).startsWith("player"))
            QVERIFY(session.toolArguments(QStringLiteral("ffplay")).isEmpty());
        QCOMPARE(window->Command1->text(), QStringLiteral("Close"));
        window->Command1->click();
        QTRY_VERIFY(!Form4::Loaded());
    } else {
        auto *box = form->findChild<QMessageBox *>(QStringLiteral("PreviewFailure"));
        QVERIFY(box);
        QVERIFY(!box->isModal());
        QVERIFY2(box->text().contains(said), qPrintable(box->text()));
        box->close();
    }
}

void tst_Preview::stop_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("running"); // the tool that is stopped
    QTest::addColumn<QString>("how");

    QTest::newRow("left, Stop") << 0 << "ffplay" << "Stop";
    QTest::newRow("right, preview choice changed") << 1 << "ffplay" << "choice";
    QTest::newRow("both, Form4's Stop") << 2 << "ffplay" << "Form4";
    QTest::newRow("both, Reset") << 2 << "ffplay" << "Reset";
    QTest::newRow("both, main window closed") << 2 << "ffplay" << "main window";
    QTest::newRow("both, preview choice changed while playing") << 2 << "ffplay" << "choice";
    QTest::newRow("both, preview choice changed while rendering") << 2 << "ffmpeg" << "choice";
}

// Every way of ending a preview ends it at once: its tool stops, no later
// step runs, Form4 goes, and "Preview" reads "Preview" again.
void tst_Preview::stop()
{
    QFETCH(int, channel);
    QFETCH(QString, running);
    QFETCH(QString, how);
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    session.app.writeTool(running, SleepingTool());
    session.form->Option3[channel]->setChecked(true);

    // Both channels render at once.
    const int tools = running == QLatin1String("ffmpeg") ? 2 : 1;
    QString stopText;
    Watcher watcher([&] {
        if (!stopText.isEmpty() || RecordedPids(session.app, running).size() < tools)
            return;
        Form1 *form = session.form;
        stopText = form->Command1[0]->text();
        if (how == QLatin1String("Form4"))
            stopText = Form4::Loaded()->Command1->text();
        if (how == QLatin1String("Stop"))
            form->Command1[0]->click();
        else if (how == QLatin1String("Form4"))
            Form4::Loaded()->Command1->click();
        else if (how == QLatin1String("choice"))
            form->Option3[(channel + 1) % 3]->click();
        else if (how == QLatin1String("Reset"))
            form->Command1[2]->click();
        else
            form->close();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QPointer<Form1> form = session.form;
    form->Command1[0]->click();

    QCOMPARE(stopText, QStringLiteral("Stop"));
    QVERIFY(elapsed.elapsed() < 10000);
    const QList<qint64> pids = RecordedPids(session.app, running);
    QCOMPARE(pids.size(), tools);
    for (qint64 pid : pids)
        QVERIFY(!ProcessAlive(pid));
    QVERIFY(!Form4::Loaded());
    if (running != QLatin1String("ffplay"))
        QVERIFY(session.toolArguments(QStringLiteral("ffplay")).isEmpty());
    if (how == QLatin1String("main window"))
        return;
    QVERIFY(form->Command1[0]->isEnabled());
    QCOMPARE(form->Command1[0]->text(), QStringLiteral("Preview"));
    QVERIFY(!form->findChild<QMessageBox *>(QStringLiteral("PreviewFailure")));
}

void tst_Preview::realPlayer_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("said"); // empty: it plays

    const QString noDevice = QStringLiteral("ffplay failed: No more combinations to try, audio open failed");
    QTest::newRow("left plays") << 0 << QString();
    QTest::newRow("both play") << 2 << QString();
    QTest::newRow("left, no audio device") << 0 << noDevice;
    QTest::newRow("both, no audio device") << 2 << "Starting Audio Preview failed: " + noDevice;
}

// The real ffplay with SDL's disk driver, which writes what it plays into a
// file as 16-bit samples; a file in a missing folder it cannot open, and
// then ffplay still exits with 0.
void tst_Preview::realPlayer()
{
    QFETCH(int, channel);
    QFETCH(QString, said);
    if (!QFileInfo(TestAppFolder::binFolder() + QLatin1String("/ffplay")).isExecutable())
        QSKIP("ffplay is not installed");
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.app.linkRealTool(QStringLiteral("ffplay")));
    QVERIFY(session.importPinkNoise(1));
    const QString played = session.app.scratchPath(said.isEmpty() ? "played.raw" : "missing/played.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(played));
    const auto restore = qScopeGuard([] {
        qunsetenv("SDL_AUDIODRIVER");
        qunsetenv("SDL_DISKAUDIOFILE");
    });
    Form1 *form = session.form;
    form->Option3[channel]->setChecked(true);
    // A player that never ends by itself would hold the test forever.
    QTimer::singleShot(15000, form, [form] { form->objDOS ? form->objDOS->Stop() : void(); });
    QElapsedTimer elapsed;
    elapsed.start();
    form->Command1[0]->click();

    QVERIFY(elapsed.elapsed() < 10000);
    auto *box = form->findChild<QMessageBox *>(QStringLiteral("PreviewFailure"));
    if (said.isEmpty()) {
        const qint64 oneSecond = 44100 * 2 * (channel == 2 ? 2 : 1);
        const qint64 size = QFileInfo(played).size();
        qInfo("%lld bytes played", size);
        QVERIFY(size >= oneSecond * 9 / 10 && size < oneSecond * 2);
        QVERIFY(!Form4::Loaded());
        QVERIFY(!box);
    } else if (channel == 2) {
        QVERIFY(Form4::Loaded());
        QCOMPARE(Form4::Loaded()->Label1[1]->text(), said);
        Form4::Loaded()->close();
    } else {
        QVERIFY(box);
        QVERIFY2(box->text().endsWith(said), qPrintable(box->text()));
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
    session.form->Command1[button]->click();
    SetFileDialogAnswer(FileDialogAnswer());

    auto *box = session.form->findChild<QMessageBox *>(QStringLiteral("OpenSourceFirst"));
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("Open a source first"));
    QVERIFY(!session.form->Command1[button]->isEnabled());
    QCOMPARE(dialogs, 0);
    QVERIFY(session.toolArguments(QStringLiteral("ffplay")).isEmpty());
    QVERIFY(!Form3::Loaded());
}

QTEST_MAIN(tst_Preview)
#include "tst_preview.moc"
