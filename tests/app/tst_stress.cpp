// Thousands of random user actions on the main window and its progress
// windows while the real ffmpeg, ffprobe and ffplay run on short files (the
// preview taking live changes, bypass and moves): nothing may
// crash, no tool may outlive the program, every written output is whole or
// absent, and a final Reset brings the window back to its start-up state.
//
// The run prints its seed. Replay or soak with (read by this test only):
//   BRENVOX_STRESS_SEED=<seed>     the seed to replay
//   BRENVOX_STRESS_ACTIONS=<count> actions to take (default 2500)
// A longer soak under the sanitizers (about half an hour), outside CTest's
// time limit, all on one line:
//   cd build/sanitize && QT_QPA_PLATFORM=offscreen BRENVOX_BIN=$PWD/bin
//     LSAN_OPTIONS=suppressions=../../tests/support/lsan.supp
//     BRENVOX_STRESS_ACTIONS=50000 BRENVOX_STRESS_SEED=$RANDOM bin/tst_stress
#include "BrenvoxSession.h"
#include "Controls.h"

#include "ui/Colours.h"
#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"
#include "ui/ImportWindow.h"
#include "ui/PreviewWindow.h"
#include "process/ToolRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>
#include <unistd.h>

namespace {

constexpr double NoSource = std::numeric_limits<double>::quiet_NaN();

struct Source
{
    QString path;
    double seconds; // NaN: the import must fail
};

// What Reset restores, one line per part so a difference reads plainly.
// The band readouts and chains are apart: start-up leaves "00" readouts and
// no chains, Reset writes "-0" to both.
QStringList WindowState(MainWindow *form)
{
    QStringList state;
    const Session &shared = form->session();
    for (int band = 0; band < Controls<QSlider>(form, "LeftChanelSlider").size(); ++band) {
        const QSlider *left = Control<QSlider>(form, "LeftChanelSlider", band);
        const QSlider *right = Control<QSlider>(form, "RightChanelSlider", band);
        state << QStringLiteral("band %1: %2 %3..%4 '%5' | %6 %7..%8 '%9'")
                     .arg(band)
                     .arg(left->value()).arg(left->minimum()).arg(left->maximum())
                     .arg(shared.State().LeftBandGain[size_t(band)])
                     .arg(right->value()).arg(right->minimum()).arg(right->maximum())
                     .arg(shared.State().RightBandGain[size_t(band)]);
    }
    for (int channel = 0; channel < 2; ++channel)
        state << QStringLiteral("level %1: %2 '%3'").arg(channel).arg(Control<QSlider>(form, "Slider1", channel)->value())
                     .arg(Control<QLabel>(form, "Label9", channel)->text());
    state << QStringLiteral("bandwidth: %1 '%2' %3").arg(Control<QSlider>(form, "Slider2")->value()).arg(Control<QLabel>(form, "Label14")->text())
                 .arg(shared.State().Bandwidth);
    const QList<QPair<QVector<QRadioButton *>, QVector<QLabel *>>> groups{
        {Controls<QRadioButton>(form, "Option1"), Controls<QLabel>(form, "Label15")},
        {Controls<QRadioButton>(form, "Option2"), Controls<QLabel>(form, "Label16")},
        {Controls<QRadioButton>(form, "Option3"), Controls<QLabel>(form, "Label17")},
        {Controls<QRadioButton>(form, "Option4"), Controls<QLabel>(form, "Label19")}};
    for (int group = 0; group < groups.size(); ++group) {
        QString line = QStringLiteral("options %1:").arg(group + 1);
        for (int index = 0; index < groups[group].first.size(); ++index)
            line += QStringLiteral(" %1/%2").arg(groups[group].first.at(index)->isChecked())
                        .arg(BackColour(groups[group].second.value(index)));
        state << line;
    }
    state << QStringLiteral("low cut: %1").arg(shared.State().LowCutEnabled)
          << QStringLiteral("volumes: %1 %2").arg(shared.Volume(0)).arg(shared.Volume(1))
          << QStringLiteral("preview channel: %1").arg(shared.PreviewChannel())
          << QStringLiteral("source box names the open source: %1").arg(Control<QLineEdit>(form, "Text1")->text() == shared.SourceFile());
    // "Preview" and "Save As" follow the channel files, which Reset keeps.
    const bool source = QFileInfo(shared.LeftSourceWav()).size() > 0 && QFileInfo(shared.RightSourceWav()).size() > 0;
    state << QStringLiteral("buttons: %1, preview and save as %2 %3, %4, '%5'").arg(Control<QPushButton>(form, "Command2")->isEnabled())
                 .arg(Control<QPushButton>(form, "Command1", 0)->isEnabled() == source).arg(Control<QPushButton>(form, "Command1", 1)->isEnabled() == source)
                 .arg(Control<QPushButton>(form, "Command1", 2)->isEnabled()).arg(Control<QPushButton>(form, "Command1", 0)->text());
    return state;
}

QStringList ResetWrites(MainWindow *form)
{
    QStringList written{form->session().FilterChain(0), form->session().FilterChain(1),
                        Control<QPlainTextEdit>(form, "Text2")->toPlainText(), Control<QPlainTextEdit>(form, "Text3")->toPlainText()};
    for (int band = 0; band < Controls<QLabel>(form, "Label2").size(); ++band)
        written << Control<QLabel>(form, "Label2", band)->text() + QLatin1Char('|') + Control<QLabel>(form, "Label6", band)->text();
    return written;
}

// Children of this process, and anything started from the test's folders.
QStringList LeftoverProcesses(const QString &root)
{
    QStringList found;
    const qint64 self = ::getpid();
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid == self)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!stat.open(QIODevice::ReadOnly) || !cmdline.open(QIODevice::ReadOnly))
            continue;
        // The name in parentheses may hold blanks; the fields after it don't.
        const QByteArray statText = stat.readAll();
        const QList<QByteArray> fields = statText.mid(statText.lastIndexOf(')') + 2).split(' ');
        const QString command = QString::fromLocal8Bit(cmdline.readAll()).replace(QLatin1Char('\0'), QLatin1Char(' '));
        if (fields.value(1).toLongLong() == self || command.contains(root))
            found << QStringLiteral("%1 [%2] %3").arg(pid).arg(QString::fromLatin1(fields.value(0)), command);
    }
    return found;
}

// Nothing runs and nothing is about to start.
bool Idle(MainWindow *form)
{
    const ImportWindow *importWindow = OpenWindow<ImportWindow>();
    const ExportWindow *export_ = OpenWindow<ExportWindow>();
    return !form->SequenceRunning() && !(importWindow && importWindow->Timer1->isActive())
        && !(export_ && export_->Timer1->isActive());
}

class StressDriver : public QObject
{
public:
    StressDriver(BrenvoxSession &session, quint32 seed, int actions)
        : mSession(session), mRandom(seed), mActions(actions)
        // Every tool sequence takes a second or more; the rest are cheap.
        , mSequenceBudget(std::max(10, actions / 25))
    {
    }

    QList<Source> sources;
    QStringList outputs;
    // The output paths the save dialog returned, each with the source
    // lengths of the exports chosen into it (NaN: no complete import stood
    // behind one). A cancelled or failed export leaves the file as an
    // earlier one wrote it, so any of them may be there.
    QMap<QString, QList<double>> expectedOutputs;
    QStringList faults;
    QMap<QString, int> counts;

    void start()
    {
        SetFileDialogAnswer([this](const FileDialogRequest &request) { return Answer(request); });
        QTimer::singleShot(0, this, [this] { Step(); });
    }

    bool finished() const { return mFinished; }
    int taken() const { return mTaken; }
    QString lastActions() const
    {
        return mRecentSequences.join(QLatin1String(", ")) + QLatin1String(" ... ") + mRecent.join(QLatin1String(", "));
    }

    // More than one tool running at once means two sequences share the
    // channel files.
    void CheckOneToolAtATime()
    {
        QStringList running;
        if (mSession.form && mSession.form->PreviewRunning())
            running << QStringLiteral("preview");
        if (ImportWindow *importWindow = OpenWindow<ImportWindow>(); importWindow && importWindow->Job() && importWindow->Job()->IsRunning())
            running << QStringLiteral("import");
        if (ExportWindow *export_ = OpenWindow<ExportWindow>(); export_ && export_->Job() && export_->Job()->IsRunning())
            running << QStringLiteral("export");
        if (running.size() > 1 && faults.size() < 20)
            faults << QStringLiteral("tools of %1 ran at once after action %2 (%3)")
                          .arg(running.join(QLatin1String(" and "))).arg(mTaken).arg(lastActions());
    }

private:
    int Pick(int count) { return int(mRandom.bounded(count)); }

    void Note(const QString &action)
    {
        ++counts[action.section(QLatin1Char(' '), 0, 0)];
        const QString entry = QStringLiteral("%1:%2").arg(mTaken).arg(action);
        // The slider moves crowd out what matters for a replay.
        QStringList &recent = action.startsWith(QLatin1String("band")) || action.startsWith(QLatin1String("level"))
                || action.startsWith(QLatin1String("bandwidth")) || action.startsWith(QLatin1String("option"))
            ? mRecent : mRecentSequences;
        recent << entry;
        if (recent.size() > 10)
            recent.removeFirst();
    }

    int NextDelay()
    {
        const int kind = Pick(100);
        if (kind < 80)
            return Pick(6);
        if (kind < 95)
            return 5 + Pick(55);
        return 100 + Pick(500);
    }

    // Runs nested wherever the event loop is: also inside a tool's wait.
    void Step()
    {
        if (mTaken >= mActions || !mSession.form) {
            mFinished = true;
            return;
        }
        ++mTaken;
        // Scheduled first, so the next action comes while this one waits.
        QTimer::singleShot(NextDelay(), this, [this] { Step(); });
        Act();
    }

    void Act()
    {
        MainWindow *form = mSession.form;
        const int kind = Pick(100);
        const bool sequenceLeft = mSequencesTried < mSequenceBudget;
        if (kind < 45)
            return MoveBandSlider(form);
        if (kind < 54)
            return MoveLevelSlider(form);
        if (kind < 58)
            return MoveSlider(Control<QSlider>(form, "Slider2"), QStringLiteral("bandwidth"));
        if (PreviewWindow *preview = OpenWindow<PreviewWindow>(); preview && kind < 64) {
            // While it plays the user compares with the untouched sound or
            // moves elsewhere.
            if (kind < 61) {
                Note(QStringLiteral("bypass"));
                return QTest::keyClick(preview, Qt::Key_B);
            }
            return MoveSlider(preview->Position, QStringLiteral("position"));
        }
        if (kind < 69)
            return ClickOption(form);
        // A patient user lets the sequence just started run to its end.
        if (mPatient && Idle(form))
            mPatient = false;
        if (mPatient)
            return MoveBandSlider(form);
        if (kind < 74)
            return CloseProgressWindow();
        if (kind < 76) {
            Note(QStringLiteral("reset"));
            return Control<QPushButton>(form, "Command1", 2)->click();
        }
        if (!sequenceLeft)
            return MoveBandSlider(form);
        ++mSequencesTried;
        mPatient = Pick(5) < 2;
        if (kind < 84) {
            Note(QStringLiteral("open"));
            Control<QPushButton>(form, "Command2")->click();
            WatchImport();
        } else if (kind < 92) {
            // During a preview the button reads "Stop".
            const bool stop = Control<QPushButton>(form, "Command1", 0)->text() == QLatin1String("Stop");
            if (!stop && Pick(2) == 0)
                Control<QRadioButton>(form, "Option3", Pick(3))->click();
            Note(stop ? QStringLiteral("stop") : QStringLiteral("preview %1").arg(form->session().PreviewChannel()));
            Control<QPushButton>(form, "Command1", 0)->click();
        } else {
            Note(QStringLiteral("save"));
            Control<QPushButton>(form, "Command1", 1)->click();
        }
    }

    QString Answer(const FileDialogRequest &request)
    {
        if (Pick(6) == 0) {
            Note(QStringLiteral("cancel-dialog"));
            return QString();
        }
        if (request.kind == FileDialogRequest::Kind::Open) {
            const Source &source = sources[Pick(sources.size())];
            Note(QStringLiteral("source %1").arg(QFileInfo(source.path).fileName()));
            return source.path;
        }
        const QString output = outputs[Pick(outputs.size())];
        Note(QStringLiteral("output %1").arg(QFileInfo(output).fileName()));
        expectedOutputs[output] << mImportedSeconds;
        return output;
    }

    // The channel files are the last completed import's from the moment
    // the split reports them written until another import completes.
    void WatchImport()
    {
        ImportWindow *importWindow = OpenWindow<ImportWindow>();
        if (!importWindow || importWindow->property("stressWatched").toBool())
            return;
        importWindow->setProperty("stressWatched", true);
        connect(importWindow->PBar, &QProgressBar::valueChanged, this, [this](int value) {
            if (value == 80) {
                ++counts[QStringLiteral("imported")];
                mImportedSeconds = NoSource;
                for (const Source &source : sources)
                    if (source.path == mSession.session.SourceFile())
                        mImportedSeconds = source.seconds;
            }
        });
    }

    void MoveSlider(QSlider *slider, const QString &what)
    {
        static const QAbstractSlider::SliderAction actions[] = {
            QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
            QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub,
            QAbstractSlider::SliderToMinimum, QAbstractSlider::SliderToMaximum};
        const int how = Pick(int(std::size(actions)) + 2);
        Note(QStringLiteral("%1 %2").arg(what, slider->objectName()));
        if (how < int(std::size(actions))) {
            slider->triggerAction(actions[how]);
            return;
        }
        // A drag: the position moves while the button is down.
        const int position = slider->minimum() + Pick(slider->maximum() - slider->minimum() + 1);
        const bool pressed = how == int(std::size(actions));
        if (pressed)
            slider->setSliderDown(true);
        slider->setSliderPosition(position);
        if (pressed)
            slider->setSliderDown(false);
    }

    void MoveBandSlider(MainWindow *form)
    {
        if (form->PreviewRunning())
            ++counts[QStringLiteral("(band while playing)")];
        const int band = Pick(int(Controls<QSlider>(form, "LeftChanelSlider").size()));
        MoveSlider(Pick(2) ? Control<QSlider>(form, "LeftChanelSlider", band) : Control<QSlider>(form, "RightChanelSlider", band),
                   QStringLiteral("band"));
    }

    void MoveLevelSlider(MainWindow *form)
    {
        MoveSlider(Control<QSlider>(form, "Slider1", Pick(2)), QStringLiteral("level"));
    }

    void ClickOption(MainWindow *form)
    {
        const QVector<QRadioButton *> groups[] = {
            Controls<QRadioButton>(form, "Option1"), Controls<QRadioButton>(form, "Option2"),
            Controls<QRadioButton>(form, "Option3"), Controls<QRadioButton>(form, "Option4")};
        const int group = Pick(4);
        const int index = Pick(int(groups[group].size()));
        Note(QStringLiteral("option %1/%2").arg(group + 1).arg(index));
        groups[group].at(index)->click();
    }

    void CloseProgressWindow()
    {
        QList<QWidget *> windows;
        QList<QPushButton *> buttons;
        if (ImportWindow *form = OpenWindow<ImportWindow>(); form && form->isVisible()) {
            windows << form;
            buttons << form->Command1;
        }
        if (ExportWindow *form = OpenWindow<ExportWindow>()) {
            windows << form;
            buttons << form->Command1;
        }
        if (PreviewWindow *form = OpenWindow<PreviewWindow>()) {
            windows << form;
            buttons << form->Command1;
        }
        if (windows.isEmpty())
            return MoveBandSlider(mSession.form);
        const int which = Pick(int(windows.size()));
        const bool button = Pick(2) == 0;
        Note(QStringLiteral("close %1%2").arg(windows[which]->objectName(),
                                               button ? QStringLiteral(" button") : QString()));
        if (button)
            buttons[which]->click();
        else
            windows[which]->close();
    }

    BrenvoxSession &mSession;
    QRandomGenerator mRandom;
    const int mActions;
    const int mSequenceBudget;
    int mSequencesTried = 0;
    int mTaken = 0;
    bool mFinished = false;
    double mImportedSeconds = NoSource;
    bool mPatient = false;
    QStringList mRecent;
    QStringList mRecentSequences;
};

quint32 SeedFromEnvironment()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("BRENVOX_STRESS_SEED").toUInt(&ok);
    return ok ? seed : 20240606u;
}

int ActionsFromEnvironment()
{
    bool ok = false;
    const int actions = qEnvironmentVariableIntValue("BRENVOX_STRESS_ACTIONS", &ok);
    return ok && actions > 0 ? actions : 2500;
}

} // namespace

class tst_Stress : public QObject
{
    Q_OBJECT

private slots:
    void randomActions();
};

void tst_Stress::randomActions()
{
    const quint32 seed = SeedFromEnvironment();
    const int actions = ActionsFromEnvironment();
    qInfo("seed %u, %d actions; replay with BRENVOX_STRESS_SEED=%u BRENVOX_STRESS_ACTIONS=%d",
          seed, actions, seed, actions);

    BrenvoxSession session(QStringLiteral("stress app"));
    QVERIFY(session.form);
    // The real player, so that changes, bypass and moves reach a running
    // graph; it plays into a file at about three times the real pace.
    QVERIFY(session.app.linkRealTool(QStringLiteral("ffplay")));
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(session.app.scratchPath(QStringLiteral("played.raw"))));
    qputenv("SDL_DISKAUDIODELAY", "15");
    const auto restore = qScopeGuard([] {
        qunsetenv("SDL_AUDIODRIVER");
        qunsetenv("SDL_DISKAUDIOFILE");
        qunsetenv("SDL_DISKAUDIODELAY");
    });
    const QString root = QFileInfo(session.app.path()).path();

    StressDriver driver(session, seed, actions);
    driver.sources = {{session.app.scratchPath(QStringLiteral("stereo.wav")), 1.0},
                      {session.app.scratchPath(QStringLiteral("mono.wav")), 1.5},
                      {session.app.scratchPath(QStringLiteral("stereo.mp3")), 2.0},
                      {session.app.scratchPath(QStringLiteral("not audio.wav")), NoSource}};
    QVERIFY(AudioMeasure::GenerateStereoTones(440, 660, 1.0, driver.sources[0].path));
    QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=f=500:d=1.5"), driver.sources[1].path,
                                   {QStringLiteral("-ac"), QStringLiteral("1")}));
    QVERIFY(AudioMeasure::GenerateStereoTones(300, 900, 2.0, driver.sources[2].path));
    {
        QFile text(driver.sources[3].path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not audio at all\n");
    }
    for (const char *name : {"out-a.wav", "out-b.wav", "out c.mp3", "out-d.flac", "out-e.mp3"})
        driver.outputs << session.app.scratchPath(QLatin1String(name));

    MainWindow *form = session.form;
    const QStringList startUp = WindowState(form);
    Control<QPushButton>(form, "Command1", 2)->click();
    QCOMPARE(WindowState(form), startUp);
    const QStringList resetWrites = ResetWrites(form);

    Watcher oneTool([&driver] { driver.CheckOneToolAtATime(); }, 5);
    QElapsedTimer clock;
    clock.start();
    driver.start();
    // The actions run nested inside the tools' waits; being back here means
    // every one of them has returned.
    // Stuck: no action for two minutes.
    QElapsedTimer sinceAction;
    sinceAction.start();
    for (int taken = 0; !driver.finished() && sinceAction.elapsed() < 120000; QTest::qWait(20)) {
        if (driver.taken() != taken) {
            taken = driver.taken();
            sinceAction.restart();
        }
    }
    QVERIFY2(driver.finished(), qPrintable(QStringLiteral("stuck after action %1: %2")
                                                .arg(driver.taken()).arg(driver.lastActions())));
    QTRY_VERIFY_WITH_TIMEOUT(Idle(form), 60000);
    SetFileDialogAnswer(FileDialogAnswer());
    qInfo("%d actions in %lld ms: %s", driver.taken(), clock.elapsed(), qPrintable([&] {
              QStringList counts;
              for (auto it = driver.counts.cbegin(); it != driver.counts.cend(); ++it)
                  counts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
              return counts.join(QLatin1String(", "));
          }()));
    QVERIFY2(driver.faults.isEmpty(), qPrintable(driver.faults.join(QLatin1Char('\n'))));

    Control<QPushButton>(form, "Command1", 2)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(WindowState(form), startUp);
    QCOMPARE(ResetWrites(form), resetWrites);

    // The end as a user makes it: one more sequence maybe, then the main
    // window's close, which ends the event loop Brenvox runs in.
    QRandomGenerator ending(seed);
    const int last = int(ending.bounded(4));
    const int closeAfter = int(ending.bounded(2500));
    const QString lastOutput = session.app.scratchPath(QStringLiteral("last.wav"));
    driver.expectedOutputs[lastOutput] = {NoSource};
    if (const QFileInfo left(session.session.LeftSourceWav()); left.exists())
        driver.expectedOutputs[lastOutput] = {AudioMeasure::DurationSeconds(left.filePath())};
    SetFileDialogAnswer([&](const FileDialogRequest &request) {
        return request.kind == FileDialogRequest::Kind::Open ? driver.sources[0].path : lastOutput;
    });
    bool timedOut = false;
    QTimer::singleShot(0, form, [&, form] {
        if (last == 1)
            Control<QPushButton>(form, "Command2")->click();
        else if (last == 2)
            Control<QPushButton>(form, "Command1", 1)->click();
        else if (last == 3) {
            Control<QRadioButton>(form, "Option3", 2)->click();
            Control<QPushButton>(form, "Command1", 0)->click();
        }
    });
    QTimer::singleShot(closeAfter, form, [form] { form->close(); });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, &guard, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(120000);
    qInfo("last: %d, closing after %d ms", last, closeAfter);
    const int exitCode = QCoreApplication::exec();
    guard.stop();
    SetFileDialogAnswer(FileDialogAnswer());
    QVERIFY2(!timedOut, "closing the main window did not end the event loop");
    QCOMPARE(exitCode, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!session.form);
    QVERIFY2(QApplication::topLevelWidgets().isEmpty(),
             qPrintable(QStringLiteral("%1 windows left").arg(QApplication::topLevelWidgets().size())));

    QTRY_VERIFY2_WITH_TIMEOUT(LeftoverProcesses(root).isEmpty(),
                              qPrintable(LeftoverProcesses(root).join(QLatin1Char('\n'))), 5000);

    int written = 0;
    for (auto it = driver.expectedOutputs.cbegin(); it != driver.expectedOutputs.cend(); ++it) {
        if (!QFile::exists(it.key()))
            continue;
        ++written;
        const double seconds = AudioMeasure::DurationSeconds(it.key());
        QStringList lengths;
        bool matches = false;
        for (double expected : it.value()) {
            lengths << QString::number(expected);
            matches = matches || std::abs(seconds - expected) < 0.15;
        }
        const QString what = QStringLiteral("%1: %2 channels, %3 s, expected one of %4 s")
                                 .arg(it.key()).arg(AudioMeasure::Channels(it.key()))
                                 .arg(seconds).arg(lengths.join(QLatin1String(", ")));
        QVERIFY2(AudioMeasure::Channels(it.key()) == 2, qPrintable(what));
        QVERIFY2(matches, qPrintable(what));
    }
    qInfo("%d outputs chosen, %d written", int(driver.expectedOutputs.size()), written);
}

QTEST_MAIN(tst_Stress)
#include "tst_stress.moc"
