// The import window's sequence as the user sees it: progress, status
// texts, the band settings carried over, closing, and what "Open" does.
#include "core/system/AppFolder.h"
#include "Controls.h"
#include "TakenSource.h"
#include "ui/FileDialogs.h"
#include "ui/mainwindow/MainWindow.h"
#include "session/Session.h"
#include "ui/ImportWindow.h"

#include "AudioMeasure.h"
#include "ImportFixture.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <csignal>

namespace {

// A one-second stereo source in the fixture's scratch folder; empty text
// when ffmpeg could not make it.
QString OneSecondSource(ImportFixture &fixture)
{
    const QString source = fixture.app.scratchPath(QStringLiteral("song.wav"));
    return AudioMeasure::GenerateStereoTones(440, 1000, 1, source) ? source : QString();
}

// Puts the stand-in in place of a tool of the fixture's folder.
bool UseStandIn(ImportFixture &fixture, const QString &tool, const QByteArray &behaviour)
{
    fixture.app.removeTool(tool);
    qputenv(("BRENVOX_STAND_IN_" + tool).toLatin1(), behaviour);
    return QFile::link(QStringLiteral(STAND_IN_TOOL), fixture.app.path() + QLatin1Char('/') + tool);
}

// The process id a hanging stand-in noted, once it has started.
qint64 StandInProcess(ImportFixture &fixture, const QString &tool)
{
    QFile file(fixture.app.path() + QLatin1Char('/') + tool + QStringLiteral(".pid"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().trimmed().toLongLong();
}

bool ProcessAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void loadedAtStartUp();
    void sequence();
    void closing_data();
    void closing();
    void mainWindowGoesWhileToolRuns();
    void openRefusedWhileImporting();
    void splitThatWritesNothingFails();
    void cancelledDialogChangesNothing();
};

void TestForm2::cleanup()
{
    qunsetenv("BRENVOX_STAND_IN_ffprobe");
    qunsetenv("BRENVOX_STAND_IN_ffmpeg");
}

void TestForm2::loadedAtStartUp()
{
    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    ImportWindow *window = OpenWindow<ImportWindow>();
    QVERIFY(window);
    QVERIFY(!window->isVisible());
    // Start-up must not start a probe.
    QVERIFY(!window->Timer1->isActive());
    QVERIFY(!window->Timer2->isActive());
    QCOMPARE(window->PBar->value(), 10);
    QCOMPARE(fixture.session.LeftSourceWav(), WorkspaceFile(QStringLiteral("Left.wav")));
    QCOMPARE(fixture.session.RightSourceWav(), WorkspaceFile(QStringLiteral("Right.wav")));
}

void TestForm2::sequence()
{
    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    const QString source = fixture.app.scratchPath(QStringLiteral("song.wav"));
    QVERIFY(AudioMeasure::GenerateStereoTones(440, 1000, 2, source));

    // Bands moved before the import keep their gains; the import applies
    // every other band too ("-0").
    MainWindow *form = fixture.form;
    Control<QSlider>(form, "LeftChanelSlider", 10)->setSliderPosition(-5);
    Control<QSlider>(form, "LeftChanelSlider", 64)->setSliderPosition(12);
    Control<QSlider>(form, "RightChanelSlider", 0)->setSliderPosition(3);
    Control<QSlider>(form, "RightChanelSlider", 33)->setSliderPosition(-12);

    ImportWindow *window = fixture.Open(source);
    QVERIFY(window);
    QCOMPARE(window->Label1[1]->text(), QFileInfo(source).absoluteFilePath());
    QVERIFY(window->Timer1->isActive());
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Completed);

    QCOMPARE(fixture.progress, (QList<int>{25, 75, 50, 75, 80, 100}));
    QCOMPARE(fixture.statusAtClose, (QStringList{QStringLiteral("Completed."), QStringLiteral("Completed.")}));
    const qint64 closeDelay = fixture.closedAt - fixture.splitEndedAt;
    QVERIFY2(closeDelay >= 1900 && closeDelay <= 2600, qPrintable(QString::number(closeDelay)));
    QVERIFY(Control<QPushButton>(form, "Command2")->isEnabled());

    const Session &shared = fixture.session;
    QCOMPARE(shared.State().LeftBandGain[10], QStringLiteral("5"));
    QCOMPARE(shared.State().LeftBandGain[64], QStringLiteral("-12"));
    QCOMPARE(shared.State().RightBandGain[0], QStringLiteral("-3"));
    QCOMPARE(shared.State().RightBandGain[33], QStringLiteral("12"));
    QCOMPARE(shared.State().LeftBandGain[11], QStringLiteral("-0"));
    QCOMPARE(Control<QLabel>(form, "Label2", 10)->text(), QStringLiteral("+5"));
    QCOMPARE(Control<QLabel>(form, "Label6", 33)->text(), QStringLiteral("+12"));
    // The chains are those the gains give, and the display boxes show them.
    QCOMPARE(Control<QPlainTextEdit>(form, "Text2")->toPlainText(), shared.FilterChain(0));
    QCOMPARE(Control<QPlainTextEdit>(form, "Text3")->toPlainText(), shared.FilterChain(1));
}

void TestForm2::closing_data()
{
    QTest::addColumn<QString>("when");

    QTest::newRow("before the first tick") << "waiting";
    QTest::newRow("while ffprobe runs") << "ffprobe";
    QTest::newRow("while ffmpeg runs") << "ffmpeg";
    QTest::newRow("after the split") << "completed";
}

void TestForm2::closing()
{
    QFETCH(QString, when);

    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    const QString source = OneSecondSource(fixture);
    QVERIFY(!source.isEmpty());
    // The source already open stays so until the new one has been split.
    const QString earlier = fixture.app.scratchPath(QStringLiteral("earlier.wav"));
    QVERIFY(AudioMeasure::GenerateStereoTones(660, 1000, 1, earlier) && fixture.Open(earlier));
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Completed);
    const bool toolRuns = when == QLatin1String("ffprobe") || when == QLatin1String("ffmpeg");
    if (toolRuns)
        QVERIFY(UseStandIn(fixture, when, "hang"));
    MainWindow *form = fixture.form;
    Control<QSlider>(form, "LeftChanelSlider", 5)->setValue(-7);

    ImportWindow *window = fixture.Open(source);
    QVERIFY(window);
    qint64 tool = 0;
    qint64 closedAt = -1;
    fixture.WhenTrue(
        [&] {
            if (toolRuns)
                return (tool = StandInProcess(fixture, when)) != 0;
            if (when == QLatin1String("completed"))
                return window->Timer2->isActive();
            return true;
        },
        [&] {
            closedAt = fixture.clock.elapsed();
            window->Command1->click();
            QVERIFY(!window->isVisible());
        });

    QTRY_VERIFY_WITH_TIMEOUT(!fixture.importWindow, 20000);
    const qint64 closing = fixture.clock.elapsed() - closedAt;
    QVERIFY2(closing < 3000, qPrintable(QString::number(closing)));
    QVERIFY(!ProcessAlive(tool));
    QVERIFY(Control<QPushButton>(form, "Command2")->isEnabled());
    // Whatever the sequence had left to do is skipped.
    if (when != QLatin1String("completed"))
        QCOMPARE(fixture.session.State().LeftBandGain[5], QStringLiteral("-0"));
    // A split cut short leaves no channel file to be taken for the source.
    if (when == QLatin1String("ffmpeg")) {
        QVERIFY(!QFile::exists(fixture.session.Paths(1).LeftSourceWav));
        QVERIFY(!QFile::exists(fixture.session.Paths(1).RightSourceWav));
    }
    const bool replaced = when == QLatin1String("completed");
    QCOMPARE(fixture.session.SourceFile(), replaced ? source : earlier);
    QCOMPARE(Control<QLineEdit>(form, "Text1")->text(), fixture.session.SourceFile());
    QCOMPARE(QFile::exists(fixture.session.Paths(0).LeftSourceWav), !replaced);
    QCOMPARE(AudioMeasure::DominantOf(fixture.session.LeftSourceWav(), 0, {440, 660}), replaced ? 440.0 : 660.0);
    QVERIFY(Control<QPushButton>(form, "Command1", 0)->isEnabled() && Control<QPushButton>(form, "Command1", 1)->isEnabled());
    QVERIFY(fixture.statusAtClose.value(0) != QLatin1String("Completed."));
}

void TestForm2::mainWindowGoesWhileToolRuns()
{
    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(UseStandIn(fixture, QStringLiteral("ffprobe"), "hang"));
    const QString source = OneSecondSource(fixture);
    QVERIFY(!source.isEmpty());

    QVERIFY(fixture.Open(source));
    qint64 tool = 0;
    fixture.WhenTrue([&] { return (tool = StandInProcess(fixture, QStringLiteral("ffprobe"))) != 0; },
                     [&] { delete fixture.form; });
    QTRY_VERIFY_WITH_TIMEOUT(!fixture.form, 10000);
    QVERIFY(!fixture.importWindow);
    QTRY_VERIFY_WITH_TIMEOUT(!ProcessAlive(tool), 5000);
}

void TestForm2::openRefusedWhileImporting()
{
    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(UseStandIn(fixture, QStringLiteral("ffprobe"), "hang"));
    const QString source = OneSecondSource(fixture);
    QVERIFY(!source.isEmpty());

    ImportWindow *window = fixture.Open(source);
    QVERIFY(window);
    bool openEnabled = true;
    int asked = -1;
    fixture.WhenTrue([&] { return StandInProcess(fixture, QStringLiteral("ffprobe")) != 0; },
                     [&] {
                         openEnabled = Control<QPushButton>(fixture.form, "Command2")->isEnabled();
                         const int before = fixture.dialogRequests();
                         fixture.form->OpenSourceFile();
                         asked = fixture.dialogRequests() - before;
                         window->Command1->click();
                     });
    QTRY_VERIFY_WITH_TIMEOUT(!fixture.importWindow, 20000);
    QVERIFY(!openEnabled);
    QCOMPARE(asked, 0);
}

void TestForm2::splitThatWritesNothingFails()
{
    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    QVERIFY(UseStandIn(fixture, QStringLiteral("ffmpeg"), "quiet"));
    const QString source = OneSecondSource(fixture);
    QVERIFY(!source.isEmpty());

    ImportWindow *window = fixture.Open(source);
    QVERIFY(window);
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Failed);
    QCOMPARE(window->Label2[0]->text(), QStringLiteral("Extracting Chanel Data Failed"));
    QCOMPARE(window->Label2[1]->text(), QStringLiteral("No audio was written to ") + fixture.session.LeftSourceWav());
    QVERIFY(!window->Timer2->isActive());
    QVERIFY(Control<QPushButton>(fixture.form, "Command2")->isEnabled());

    // A new choice replaces the failed window with a fresh one.
    QVERIFY(UseStandIn(fixture, QStringLiteral("ffmpeg"), ""));
    fixture.app.linkRealTool(QStringLiteral("ffmpeg"));
    ImportWindow *fresh = fixture.Open(source);
    QVERIFY(fresh && Control<QLineEdit>(fixture.form, "Text1")->text() == source);
    QCOMPARE(fresh->Label2[0]->text(), QStringLiteral("Searching..."));
    QVERIFY(fresh->PBar->isVisible());
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Completed);
}

void TestForm2::cancelledDialogChangesNothing()
{
    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    TakeSource(fixture.session, [](Session::Source &s) { s.file = QStringLiteral("/music/before.wav"); });
    Control<QLineEdit>(fixture.form, "Text1")->setText(fixture.session.SourceFile());

    QCOMPARE(fixture.Open(QString()), nullptr);
    QCOMPARE(fixture.dialogRequests(), 1);
    QCOMPARE(fixture.session.SourceFile(), QStringLiteral("/music/before.wav"));
    QCOMPARE(Control<QLineEdit>(fixture.form, "Text1")->text(), QStringLiteral("/music/before.wav"));
    QVERIFY(!OpenWindow<ImportWindow>()->isVisible());
    QVERIFY(!OpenWindow<ImportWindow>()->Timer1->isActive());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
