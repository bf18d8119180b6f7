// The preview: one channel through the player, or both rendered, merged and
// played with the progress window; its failures and its Close.
#include "BrenvoxSession.h"

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
    void closeStopsThePlayer_data();
    void closeStopsThePlayer();
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
// only while it plays.
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
    Watcher watcher([&] {
        form4Seen |= Form4::Loaded() != nullptr;
        if (enabledWhilePlaying.isEmpty() && form->objDOS && form->objDOS->IsRunning())
            enabledWhilePlaying << form->Command2->isEnabled() << form->Command1[0]->isEnabled()
                                << form->Command1[1]->isEnabled() << form->Command1[2]->isEnabled();
    });
    form->SoundPreviewing(qint16(channel));

    const QString chain = channel == 0 ? Shared().LeftFilterChain : Shared().RightFilterChain;
    QCOMPARE(session.toolArguments(QStringLiteral("ffplay")),
             (QStringList{"-i", session.workspace() + "/" + file, "-af", volume + "," + chain, "--"}));
    QVERIFY(!form4Seen);
    QVERIFY(!form->objDOS);
    QCOMPARE(enabledWhilePlaying, (QList<bool>{false, false, false, true}));
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
    Watcher watcher([&] {
        Form4 *window = Form4::Loaded();
        if (!window)
            return;
        const QString state = window->Label1[1]->text() + " | " + window->Label1[2]->text() + " | "
            + QString::number(window->PBar->value());
        if (states.isEmpty() || states.last() != state)
            states << state;
        logged |= window->Text1->toPlainText().contains(QLatin1String("Stream mapping:"));
    });
    form->SoundPreviewing(2);

    QCOMPARE(states, (QStringList{
        "Creating Temp Left Chanel Audio. | Overall Progress 0 % Complete | 2",
        "Creating Temp Right Chanel Audio. | Overall Progress 33 % Complete | 33",
        "Merging Left and Right Chanels. | Overall Progress 66 % Complete | 66",
        "Starting Audio Preview. | Overall Progress 99 % Complete | 99"}));
    QVERIFY(logged);
    const QString mix = session.workspace() + "/LR.wav";
    QCOMPARE(session.toolArguments(QStringLiteral("ffplay")), (QStringList{"-i", mix, "--"}));
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
    QTest::newRow("player fails after the mix")
        << 2 << writesOutput
        << QByteArray("#!/bin/sh\necho 'SDL_OpenAudio (2 channels, 44100 Hz): No available audio device'\nexit 1\n")
        << "Starting Audio Preview failed: ffplay failed: SDL_OpenAudio (2 channels, 44100 Hz): No available audio device";
    QTest::newRow("single channel, player missing")
        << 0 << writesOutput << QByteArray() << "ffplay could not be started";
    QTest::newRow("single channel, no audio device")
        << 1 << writesOutput
        << QByteArray("#!/bin/sh\necho 'No more combinations to try, audio open failed'\nexit 1\n")
        << "ffplay failed: No more combinations to try, audio open failed";
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

void tst_Preview::closeStopsThePlayer_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Close") << "Close";
    QTest::newRow("Reset") << "Reset";
    QTest::newRow("main window closed") << "main window";
}

// "Close", Reset and the main window's end stop the sequence at once, the
// player included.
void tst_Preview::closeStopsThePlayer()
{
    QFETCH(QString, how);
    BrenvoxSession session;
    QVERIFY(session.form);
    QVERIFY(session.importPinkNoise(1));
    session.app.writeTool(QStringLiteral("ffplay"), SleepingTool());
    session.form->Option3[2]->setChecked(true);

    bool clicked = false;
    Watcher watcher([&] {
        Form4 *window = Form4::Loaded();
        if (!clicked && window && window->PBar->value() == 99
            && !RecordedPids(session.app, QStringLiteral("ffplay")).isEmpty()) {
            clicked = true;
            if (how == QLatin1String("Close"))
                window->Command1->click();
            else if (how == QLatin1String("Reset"))
                session.form->Command1[2]->click();
            else
                session.form->close();
        }
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QPointer<Form1> form = session.form;
    form->SoundPreviewing(2);

    QVERIFY(clicked);
    QVERIFY(elapsed.elapsed() < 10000);
    const QList<qint64> pids = RecordedPids(session.app, QStringLiteral("ffplay"));
    QCOMPARE(pids.size(), 1);
    QVERIFY(!ProcessAlive(pids.first()));
    QVERIFY(!Form4::Loaded());
    if (how == QLatin1String("main window"))
        return;
    QVERIFY(!session.form->objDOS);
    QVERIFY(session.form->Command1[0]->isEnabled());
}

QTEST_MAIN(tst_Preview)
#include "tst_preview.moc"
